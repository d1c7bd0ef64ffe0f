// CMainWindow: the editor window, its commands, its status bar and the Run
// command.
#include "gui/main_window.h"

#include "gui/about_box.h"
#include "gui/code_editor.h"
#include "gui/examples.h"
#include "gui/highlighter.h"
#include "gui/output_pane.h"
#include "gui/splitter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>

namespace {

constexpr char kTitle[] = "TovikWin";
constexpr char kInterpreterName[] = "tovik";
constexpr char kRunFileName[] = "tmp.in.txt";

// The source tree's examples, for a TovikWin run from its build directory.
#ifdef TOVIK_SOURCE_EXAMPLES
constexpr char kSourceExamples[] = TOVIK_SOURCE_EXAMPLES;
#else
constexpr char kSourceExamples[] = "";
#endif

// How long closing the window waits for a stopped child to end.
constexpr int kCloseWaitMs = 5000;
// How often the status bar's elapsed time and count change during a run.
constexpr int kTickMs = 100;
// How long "not found" stays in the status bar.
constexpr int kMessageMs = 3000;

void SetUpPane(QPlainTextEdit* pane, const char* name) {
    pane->setObjectName(QLatin1String(name));
    pane->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Files dropped on a pane go to the window, which loads them; a pane
    // would paste their names instead.
    pane->setAcceptDrops(false);
    pane->viewport()->setAcceptDrops(false);
}

QLabel* StatusLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setContentsMargins(6, 0, 6, 0);
    return label;
}

QString SolutionsText(int count) {
    return count == 1 ? QStringLiteral("1 solution") : QStringLiteral("%1 solutions").arg(count);
}

}  // namespace

CMainWindow::CMainWindow(const QString& programDir, QWidget* parent)
    : QMainWindow(parent),
      m_programDir(programDir),
      m_examplesDir(FindExamplesDir(programDir, QString::fromUtf8(kSourceExamples))) {
    setAcceptDrops(true);
    CreatePanes();
    CreateActions();
    CreateMenusAndToolBar();
    CreateFindBar();
    CreateStatusBar();
    connect(&m_runner, &CRunner::Output, this, &CMainWindow::OnRunOutput);
    connect(&m_runner, &CRunner::Notice, m_output, &COutputPane::Append);
    connect(&m_runner, &CRunner::Finished, this, &CMainWindow::OnRunFinished);
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &CMainWindow::UpdateRunStatus);
    UpdateTitle();
    resize(800, 600);
    m_editor->setFocus();
}

CMainWindow::~CMainWindow() {
    // The runner may still report while the panes go away.
    disconnect(&m_runner, nullptr, this, nullptr);
    disconnect(&m_runner, nullptr, m_output, nullptr);
    if (m_runner.IsRunning()) QApplication::restoreOverrideCursor();
}

void CMainWindow::CreatePanes() {
    m_splitter = new CProportionalSplitter(this);
    m_editor = new CCodeEditor(m_splitter);
    SetUpPane(m_editor, "editor");
    new CPuzzleHighlighter(m_editor->document());
    m_output = new COutputPane(m_splitter);
    SetUpPane(m_output, "output");
    m_splitter->addWidget(m_editor);
    m_splitter->addWidget(m_output);
    setCentralWidget(m_splitter);
    connect(m_output, &COutputPane::ErrorLineActivated, this, [this](int line) {
        ShowErrorLine(line);
        m_editor->setFocus();
    });
}

QAction* CMainWindow::AddAction(const char* name, const QString& text,
                                const QList<QKeySequence>& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    // Keys act anywhere in the window, also for the commands that are in no
    // menu (New, Print, Select All, the pane moves).
    addAction(action);
    return action;
}

void CMainWindow::CreateActions() {
    QStyle* st = style();

    m_run = AddAction("run", QStringLiteral("&Run"), {Qt::Key_F5});
    m_run->setIcon(st->standardIcon(QStyle::SP_MediaPlay));
    m_run->setToolTip(QStringLiteral("运行"));
    connect(m_run, &QAction::triggered, this, &CMainWindow::Run);

    m_stop = AddAction("stop", QStringLiteral("&Stop"), {Qt::Key_Escape});
    m_stop->setIcon(st->standardIcon(QStyle::SP_MediaStop));
    m_stop->setToolTip(QStringLiteral("Stop"));
    m_stop->setEnabled(false);
    connect(m_stop, &QAction::triggered, this, &CMainWindow::Stop);

    m_fast = AddAction("fastSearch", QStringLiteral("&Fast search"), {});
    m_fast->setCheckable(true);
    m_fast->setToolTip(QStringLiteral("Search with constraint propagation (--fast)"));

    m_open = AddAction("open", QStringLiteral("&Open..."), {QKeySequence(Qt::CTRL | Qt::Key_O)});
    m_open->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    m_open->setToolTip(QStringLiteral("Open"));
    connect(m_open, &QAction::triggered, this, &CMainWindow::OnOpen);

    m_save = AddAction("save", QStringLiteral("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    m_save->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    m_save->setToolTip(QStringLiteral("Save"));
    connect(m_save, &QAction::triggered, this, &CMainWindow::OnSave);

    m_saveAs = AddAction("saveAs", QStringLiteral("Save &As..."),
                         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    connect(m_saveAs, &QAction::triggered, this, &CMainWindow::OnSaveAs);

    m_exit = AddAction("exit", QStringLiteral("E&xit"), {});
    connect(m_exit, &QAction::triggered, this, &QWidget::close);

    m_undo =
        AddAction("undo", QStringLiteral("&Undo"),
                  {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    ConnectToFocusedPane(m_undo, &QPlainTextEdit::undo);

    m_cut =
        AddAction("cut", QStringLiteral("Cu&t"),
                  {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    ConnectToFocusedPane(m_cut, &QPlainTextEdit::cut);

    m_copy =
        AddAction("copy", QStringLiteral("&Copy"),
                  {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    ConnectToFocusedPane(m_copy, &QPlainTextEdit::copy);

    m_paste =
        AddAction("paste", QStringLiteral("&Paste"),
                  {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    ConnectToFocusedPane(m_paste, &QPlainTextEdit::paste);

    m_selectAll =
        AddAction("selectAll", QStringLiteral("Select &All"), {QKeySequence(Qt::CTRL | Qt::Key_A)});
    connect(m_selectAll, &QAction::triggered, this, [this] {
        if (QPlainTextEdit* pane = FocusedPane()) {
            pane->selectAll();
            pane->ensureCursorVisible();
        }
    });

    m_new = AddAction("new", QStringLiteral("&New"), {QKeySequence(Qt::CTRL | Qt::Key_N)});
    connect(m_new, &QAction::triggered, this, &CMainWindow::OnNew);

    m_print = AddAction("print", QStringLiteral("&Print..."), {QKeySequence(Qt::CTRL | Qt::Key_P)});
    connect(m_print, &QAction::triggered, this, &CMainWindow::OnPrint);

    m_nextPane = AddAction("nextPane", QStringLiteral("Ne&xt Pane"), {Qt::Key_F6});
    connect(m_nextPane, &QAction::triggered, this, [this] { FocusPane(true); });

    m_previousPane = AddAction("previousPane", QStringLiteral("Pre&vious Pane"),
                               {QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    connect(m_previousPane, &QAction::triggered, this, [this] { FocusPane(false); });

    m_find = AddAction("find", QStringLiteral("&Find..."), {QKeySequence(Qt::CTRL | Qt::Key_F)});
    connect(m_find, &QAction::triggered, this, &CMainWindow::OnFind);

    m_findNext = AddAction("findNext", QStringLiteral("Find &Next"), {Qt::Key_F3});
    connect(m_findNext, &QAction::triggered, this, [this] { FindNext(false); });

    m_findPrevious = AddAction("findPrevious", QStringLiteral("Find Pre&vious"),
                               {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
    connect(m_findPrevious, &QAction::triggered, this, [this] { FindNext(true); });

    m_goToLine = AddAction("goToLine", QStringLiteral("&Go to Line..."),
                           {QKeySequence(Qt::CTRL | Qt::Key_G)});
    connect(m_goToLine, &QAction::triggered, this, &CMainWindow::OnGoToLine);

    m_about = AddAction("about", QStringLiteral("&About"), {});
    m_about->setIcon(st->standardIcon(QStyle::SP_MessageBoxInformation));
    m_about->setToolTip(QStringLiteral("About"));
    connect(m_about, &QAction::triggered, this, &CMainWindow::OnAbout);
}

void CMainWindow::CreateMenusAndToolBar() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(m_run);
    file->addAction(m_stop);
    file->addAction(m_fast);
    file->addAction(m_open);
    file->addAction(m_save);
    file->addAction(m_saveAs);
    file->addSeparator();
    file->addAction(m_exit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(m_undo);
    edit->addSeparator();
    edit->addAction(m_cut);
    edit->addAction(m_copy);
    edit->addAction(m_paste);
    edit->addSeparator();
    edit->addAction(m_find);
    edit->addAction(m_findNext);
    edit->addAction(m_goToLine);

    CreateExamplesMenu();

    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    bar->addAction(m_open);
    bar->addAction(m_save);
    bar->addAction(m_run);
    bar->addAction(m_stop);
    bar->addAction(m_about);
}

void CMainWindow::CreateExamplesMenu() {
    // Without bundled examples there is no menu at all.
    const QStringList files = ExampleFiles(m_examplesDir);
    if (files.isEmpty()) return;
    QMenu* examples = menuBar()->addMenu(QStringLiteral("E&xamples"));
    examples->setObjectName(QStringLiteral("examplesMenu"));
    for (const QString& name : files) {
        const QString path = QDir(m_examplesDir).filePath(name);
        connect(examples->addAction(name), &QAction::triggered, this,
                [this, path] { LoadExample(path); });
    }
}

void CMainWindow::CreateFindBar() {
    m_findBar = new QToolBar(QStringLiteral("Find"), this);
    m_findBar->setObjectName(QStringLiteral("findBar"));
    m_findBar->setMovable(false);
    m_findBar->addWidget(new QLabel(QStringLiteral("Find: "), m_findBar));
    m_findField = new QLineEdit(m_findBar);
    m_findField->setObjectName(QStringLiteral("findField"));
    m_findField->setClearButtonEnabled(true);
    m_findBar->addWidget(m_findField);
    m_findBar->addAction(m_findPrevious);
    m_findBar->addAction(m_findNext);
    addToolBar(Qt::BottomToolBarArea, m_findBar);
    m_findBar->hide();
    m_findField->installEventFilter(this);
    // Typing searches from where the current match starts.
    connect(m_findField, &QLineEdit::textEdited, this, [this] {
        QTextCursor cursor = m_editor->textCursor();
        cursor.setPosition(cursor.selectionStart());
        m_editor->setTextCursor(cursor);
        FindNext(false);
    });
}

void CMainWindow::CreateStatusBar() {
    m_stateLabel = StatusLabel(this, "runState");
    m_timeLabel = StatusLabel(this, "runTime");
    m_countLabel = StatusLabel(this, "solutionCount");
    m_positionLabel = StatusLabel(this, "cursorPosition");
    // Permanent widgets stay in view while a message such as "Not found" is shown.
    for (QLabel* label : {m_stateLabel, m_timeLabel, m_countLabel, m_positionLabel})
        statusBar()->addPermanentWidget(label);
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this,
            &CMainWindow::UpdateCursorPosition);
    UpdateCursorPosition();
}

// The edit commands act on whichever pane has the focus.
void CMainWindow::ConnectToFocusedPane(QAction* action, void (QPlainTextEdit::*command)()) {
    connect(action, &QAction::triggered, this, [this, command] {
        if (QPlainTextEdit* pane = FocusedPane()) (pane->*command)();
    });
}

QPlainTextEdit* CMainWindow::FocusedPane() const {
    if (m_output->hasFocus()) return m_output;
    if (m_editor->hasFocus()) return m_editor;
    return nullptr;
}

void CMainWindow::FocusPane(bool next) {
    // With two panes, next and previous differ only when neither has focus.
    QPlainTextEdit* target;
    if (m_editor->hasFocus())
        target = m_output;
    else if (m_output->hasFocus())
        target = m_editor;
    else
        target = next ? static_cast<QPlainTextEdit*>(m_editor) : m_output;
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

QString CMainWindow::EditorText() const {
    // toPlainText would turn no-break spaces into spaces; the raw text keeps
    // them and separates lines by paragraph separators.
    QString text = m_editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void CMainWindow::SetDocument(const QString& path, const QString& name) {
    m_filePath = path;
    m_fileName = name;
    UpdateTitle();
}

void CMainWindow::UpdateTitle() {
    QString title = QLatin1String(kTitle);
    if (!m_fileName.isEmpty())
        title += QStringLiteral(" - %1 (%2)").arg(m_fileName, EncodingName(m_format.encoding));
    setWindowTitle(title);
}

bool CMainWindow::LoadFile(const QString& path) {
    QString text;
    CTextFormat format;
    QString error;
    QByteArray bytes;
    if (!ReadTextFile(path, &text, &format, &error, &bytes)) {
        QMessageBox::critical(
            this, QLatin1String(kTitle),
            QStringLiteral("Cannot open %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    m_editor->setPlainText(text);
    m_format = format;
    m_savedText = EditorText();
    m_savedBytes = bytes;
    SetDocument(path, QFileInfo(path).fileName());
    return true;
}

void CMainWindow::LoadExample(const QString& path) {
    // An example is read like any file, but Save asks for a name of the
    // user's own instead of writing over the bundled copy.
    if (LoadFile(path)) SetDocument(QString(), m_fileName);
}

bool CMainWindow::SaveFile(const QString& path) {
    const QString text = EditorText();
    const QByteArray bytes = text == m_savedText ? m_savedBytes : EncodeText(text, m_format);
    QString error;
    if (!WriteBytesFile(path, bytes, &error)) {
        QMessageBox::critical(
            this, QLatin1String(kTitle),
            QStringLiteral("Cannot save %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    m_savedText = text;
    m_savedBytes = bytes;
    SetDocument(path, QFileInfo(path).fileName());
    return true;
}

void CMainWindow::OnOpen() {
    const QString path = QFileDialog::getOpenFileName(this);
    if (!path.isEmpty()) LoadFile(path);
}

void CMainWindow::OnSave() {
    if (m_filePath.isEmpty())
        OnSaveAs();
    else
        SaveFile(m_filePath);
}

void CMainWindow::OnSaveAs() {
    // The dialog asks before overwriting.
    const QString path = QFileDialog::getSaveFileName(this);
    if (!path.isEmpty()) SaveFile(path);
}

void CMainWindow::OnNew() {
    m_editor->clear();
    m_format = CTextFormat{};
    m_savedText.clear();
    m_savedBytes.clear();
    SetDocument(QString(), QString());
}

void CMainWindow::OnPrint() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) m_editor->print(&printer);
}

void CMainWindow::OnAbout() {
    CAboutBox box(this);
    box.exec();
}

void CMainWindow::OnGoToLine() {
    const int lines = m_editor->blockCount();
    bool ok = false;
    const int line = QInputDialog::getInt(
        this, QStringLiteral("Go to Line"), QStringLiteral("Line number (1 - %1):").arg(lines),
        m_editor->textCursor().blockNumber() + 1, 1, lines, 1, &ok);
    if (ok) {
        m_editor->GoToLine(line);
        m_editor->setFocus();
    }
}

void CMainWindow::OnFind() {
    // A selection within one line is what the user most likely looks for.
    const QString selected = m_editor->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_findField->setText(selected);
    m_findBar->show();
    m_findField->setFocus();
    m_findField->selectAll();
}

void CMainWindow::FindNext(bool backward) {
    const QString text = m_findField->text();
    if (text.isEmpty()) {
        OnFind();
        return;
    }
    if (!m_editor->FindText(text, backward))
        statusBar()->showMessage(QStringLiteral("Not found: %1").arg(text), kMessageMs);
    else
        statusBar()->clearMessage();
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_findField) {
        // In the find field Esc closes the field and Enter finds, before the
        // window's keys (Esc is also Stop) get them.
        if (event->type() == QEvent::ShortcutOverride) {
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                event->accept();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                m_findBar->hide();
                m_editor->setFocus();
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                FindNext(key->modifiers() & Qt::ShiftModifier);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainWindow::UpdateCursorPosition() {
    const QTextCursor cursor = m_editor->textCursor();
    m_positionLabel->setText(QStringLiteral("Ln %1, Col %2")
                                 .arg(cursor.blockNumber() + 1)
                                 .arg(cursor.positionInBlock() + 1));
}

void CMainWindow::ShowErrorLine(int line) { m_editor->SelectLine(line); }

QString CMainWindow::InterpreterPath() const {
    const QString beside = QDir(m_programDir).filePath(QLatin1String(kInterpreterName));
    if (QFileInfo(beside).isFile() && QFileInfo(beside).isExecutable()) return beside;
    const QString onPath = QStandardPaths::findExecutable(QLatin1String(kInterpreterName));
    // With no interpreter anywhere, the failed start names the expected place.
    return onPath.isEmpty() ? beside : onPath;
}

QString CMainWindow::RunDirectory() const {
    const QFileInfo program(m_programDir);
    if (program.isDir() && program.isWritable()) return program.absoluteFilePath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return data;
}

void CMainWindow::ShowRunState(const QString& state) { m_stateLabel->setText(state); }

void CMainWindow::UpdateRunStatus() {
    m_timeLabel->setText(QStringLiteral("%1 s").arg(double(m_clock.elapsed()) / 1000.0, 0, 'f', 1));
    m_countLabel->setText(SolutionsText(m_tally.Solutions()));
}

void CMainWindow::Run() {
    if (m_runner.IsRunning()) return;
    m_output->ClearOutput();
    m_tally.Reset();
    m_errorShown = false;
    m_clock.start();
    UpdateRunStatus();

    // The run file is UTF-8, which the interpreter recognises; it is written
    // in full or not at all, so a failed write never lets it run on an
    // older file.
    const QString directory = RunDirectory();
    const QString runFile = QDir(directory).filePath(QLatin1String(kRunFileName));
    QString error;
    if (!WriteTextFile(runFile, EditorText(),
                       CTextFormat{CTextFormat::Encoding::Utf8, false, false}, &error)) {
        m_output->Append(
            QStringLiteral("Error writing %1\n%2\n").arg(QDir::toNativeSeparators(runFile), error));
        m_output->Flush();
        ShowRunState(QStringLiteral("failed"));
        return;
    }

    m_run->setEnabled(false);
    m_stop->setEnabled(true);
    ShowRunState(QStringLiteral("running"));
    m_tick.start();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QStringList arguments{QLatin1String(kRunFileName)};
    if (m_fast->isChecked()) arguments.prepend(QStringLiteral("--fast"));
    m_runner.Start(InterpreterPath(), arguments, directory);
}

void CMainWindow::Stop() { m_runner.Cancel(); }

void CMainWindow::OnRunOutput(const QString& text) {
    m_tally.Feed(text);
    m_output->Append(text);
    if (!m_errorShown && m_tally.FirstErrorLine() > 0) {
        m_errorShown = true;
        ShowErrorLine(m_tally.FirstErrorLine());
    }
}

void CMainWindow::OnRunFinished() {
    m_tally.Finish();
    if (!m_errorShown && m_tally.FirstErrorLine() > 0) {
        m_errorShown = true;
        ShowErrorLine(m_tally.FirstErrorLine());
    }
    m_tick.stop();
    m_output->Flush();
    UpdateRunStatus();
    switch (m_runner.LastEnd()) {
        case CRunner::End::Finished:
            ShowRunState(QStringLiteral("finished"));
            break;
        case CRunner::End::Stopped:
            ShowRunState(QStringLiteral("stopped"));
            break;
        case CRunner::End::Failed:
        case CRunner::End::None:
            if (m_tally.Errors() > 0)
                ShowRunState(m_tally.Errors() == 1
                                 ? QStringLiteral("failed (1 error)")
                                 : QStringLiteral("failed (%1 errors)").arg(m_tally.Errors()));
            else if (m_runner.ExitCode() != 0)
                ShowRunState(QStringLiteral("failed (exit status %1)").arg(m_runner.ExitCode()));
            else
                ShowRunState(QStringLiteral("failed"));
            break;
    }
    QApplication::restoreOverrideCursor();
    m_stop->setEnabled(false);
    m_run->setEnabled(true);
}

void CMainWindow::closeEvent(QCloseEvent* event) {
    if (m_runner.IsRunning()) m_runner.WaitForEnd(kCloseWaitMs);
    event->accept();
}

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainWindow::dropEvent(QDropEvent* event) {
    // Only the first of several dropped files is loaded.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    LoadFile(urls.front().toLocalFile());
}
