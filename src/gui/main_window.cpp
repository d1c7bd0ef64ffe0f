// CMainWindow: the editor window, its commands and the Run command.
#include "gui/main_window.h"

#include "gui/about_box.h"
#include "gui/splitter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>

namespace {

constexpr char kTitle[] = "TovikWin";
constexpr char kInterpreterName[] = "tovik";
constexpr char kRunFileName[] = "tmp.in.txt";

// How long closing the window waits for a stopped child to end.
constexpr int kCloseWaitMs = 5000;

QPlainTextEdit* MakePane(QWidget* parent, const char* name)
{
    auto* pane = new QPlainTextEdit(parent);
    pane->setObjectName(QLatin1String(name));
    pane->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Files dropped on a pane go to the window, which loads them; a pane
    // would paste their names instead.
    pane->setAcceptDrops(false);
    pane->viewport()->setAcceptDrops(false);
    return pane;
}

} // namespace

CMainWindow::CMainWindow(const QString& programDir, QWidget* parent)
    : QMainWindow(parent)
    , m_programDir(programDir)
{
    setWindowTitle(QLatin1String(kTitle));
    setAcceptDrops(true);
    CreatePanes();
    CreateActions();
    CreateMenusAndToolBar();
    connect(&m_runner, &CRunner::Output, this, &CMainWindow::AppendOutput);
    connect(&m_runner, &CRunner::Finished, this, &CMainWindow::OnRunFinished);
    resize(800, 600);
    m_editor->setFocus();
}

CMainWindow::~CMainWindow()
{
    // The runner may still report while the panes go away.
    disconnect(&m_runner, nullptr, this, nullptr);
    if (m_runner.IsRunning())
        QApplication::restoreOverrideCursor();
}

void CMainWindow::CreatePanes()
{
    m_splitter = new CProportionalSplitter(this);
    m_editor = MakePane(m_splitter, "editor");
    m_output = MakePane(m_splitter, "output");
    m_splitter->addWidget(m_editor);
    m_splitter->addWidget(m_output);
    setCentralWidget(m_splitter);
}

QAction* CMainWindow::AddAction(const char* name, const QString& text,
                                const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    // Keys act anywhere in the window, also for the commands that are in no
    // menu (New, Print, Select All, the pane moves).
    addAction(action);
    return action;
}

void CMainWindow::CreateActions()
{
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

    m_open = AddAction("open", QStringLiteral("&Open..."), {QKeySequence(Qt::CTRL | Qt::Key_O)});
    m_open->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    m_open->setToolTip(QStringLiteral("Open"));
    connect(m_open, &QAction::triggered, this, &CMainWindow::OnOpen);

    m_save = AddAction("save", QStringLiteral("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    m_save->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    m_save->setToolTip(QStringLiteral("Save"));
    connect(m_save, &QAction::triggered, this, &CMainWindow::OnSave);

    m_exit = AddAction("exit", QStringLiteral("E&xit"), {});
    connect(m_exit, &QAction::triggered, this, &QWidget::close);

    m_undo = AddAction("undo", QStringLiteral("&Undo"),
                       {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    connect(m_undo, &QAction::triggered, this, [this] {
        if (QPlainTextEdit* pane = FocusedPane())
            pane->undo();
    });

    m_cut = AddAction("cut", QStringLiteral("Cu&t"),
                      {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    connect(m_cut, &QAction::triggered, this, [this] {
        if (QPlainTextEdit* pane = FocusedPane())
            pane->cut();
    });

    m_copy = AddAction("copy", QStringLiteral("&Copy"),
                       {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    connect(m_copy, &QAction::triggered, this, [this] {
        if (QPlainTextEdit* pane = FocusedPane())
            pane->copy();
    });

    m_paste = AddAction("paste", QStringLiteral("&Paste"),
                        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    connect(m_paste, &QAction::triggered, this, [this] {
        if (QPlainTextEdit* pane = FocusedPane())
            pane->paste();
    });

    m_selectAll = AddAction("selectAll", QStringLiteral("Select &All"), {QKeySequence(Qt::CTRL | Qt::Key_A)});
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

    m_about = AddAction("about", QStringLiteral("&About"), {});
    m_about->setIcon(st->standardIcon(QStyle::SP_MessageBoxInformation));
    m_about->setToolTip(QStringLiteral("About"));
    connect(m_about, &QAction::triggered, this, &CMainWindow::OnAbout);
}

void CMainWindow::CreateMenusAndToolBar()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(m_run);
    file->addAction(m_stop);
    file->addAction(m_open);
    file->addAction(m_save);
    file->addSeparator();
    file->addAction(m_exit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(m_undo);
    edit->addSeparator();
    edit->addAction(m_cut);
    edit->addAction(m_copy);
    edit->addAction(m_paste);

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

QPlainTextEdit* CMainWindow::FocusedPane() const
{
    if (m_output->hasFocus())
        return m_output;
    if (m_editor->hasFocus())
        return m_editor;
    return nullptr;
}

void CMainWindow::FocusPane(bool next)
{
    // With two panes, next and previous differ only when neither has focus.
    QPlainTextEdit* target;
    if (m_editor->hasFocus())
        target = m_output;
    else if (m_output->hasFocus())
        target = m_editor;
    else
        target = next ? m_editor : m_output;
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

QString CMainWindow::EditorText() const
{
    // toPlainText would turn no-break spaces into spaces; the raw text keeps
    // them and separates lines by paragraph separators.
    QString text = m_editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

bool CMainWindow::LoadFile(const QString& path)
{
    QString text;
    CTextFormat format;
    QString error;
    if (!ReadTextFile(path, &text, &format, &error)) {
        QMessageBox::critical(this, QLatin1String(kTitle),
                              QStringLiteral("Cannot open %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    m_editor->setPlainText(text);
    m_format = format;
    return true;
}

bool CMainWindow::SaveFile(const QString& path)
{
    QString error;
    if (!WriteTextFile(path, EditorText(), m_format, &error)) {
        QMessageBox::critical(this, QLatin1String(kTitle),
                              QStringLiteral("Cannot save %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    return true;
}

void CMainWindow::OnOpen()
{
    const QString path = QFileDialog::getOpenFileName(this);
    if (!path.isEmpty())
        LoadFile(path);
}

void CMainWindow::OnSave()
{
    // Save always asks for a name; the dialog asks before overwriting.
    const QString path = QFileDialog::getSaveFileName(this);
    if (!path.isEmpty())
        SaveFile(path);
}

void CMainWindow::OnNew()
{
    m_editor->clear();
    m_format = CTextFormat{};
}

void CMainWindow::OnPrint()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_editor->print(&printer);
}

void CMainWindow::OnAbout()
{
    CAboutBox box(this);
    box.exec();
}

QString CMainWindow::InterpreterPath() const
{
    const QString beside = QDir(m_programDir).filePath(QLatin1String(kInterpreterName));
    if (QFileInfo(beside).isFile() && QFileInfo(beside).isExecutable())
        return beside;
    const QString onPath = QStandardPaths::findExecutable(QLatin1String(kInterpreterName));
    // With no interpreter anywhere, the failed start names the expected place.
    return onPath.isEmpty() ? beside : onPath;
}

QString CMainWindow::RunDirectory() const
{
    const QFileInfo program(m_programDir);
    if (program.isDir() && program.isWritable())
        return program.absoluteFilePath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return data;
}

void CMainWindow::Run()
{
    if (m_runner.IsRunning())
        return;
    m_output->clear();

    // The interpreter reads GBK; the file is written in full or not at all,
    // so a failed write never lets it run on an older file.
    const QString directory = RunDirectory();
    const QString runFile = QDir(directory).filePath(QLatin1String(kRunFileName));
    QString error;
    if (!WriteTextFile(runFile, EditorText(), CTextFormat{}, &error)) {
        AppendOutput(QStringLiteral("Error writing %1\n%2\n").arg(QDir::toNativeSeparators(runFile), error));
        return;
    }

    m_run->setEnabled(false);
    m_stop->setEnabled(true);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_runner.Start(InterpreterPath(), {QLatin1String(kRunFileName)}, directory);
}

void CMainWindow::Stop()
{
    m_runner.Cancel();
}

void CMainWindow::OnRunFinished()
{
    QApplication::restoreOverrideCursor();
    m_stop->setEnabled(false);
    m_run->setEnabled(true);
}

void CMainWindow::AppendOutput(const QString& text)
{
    QTextDocument* document = m_output->document();
    m_output->moveCursor(QTextCursor::End);
    // Output is not an edit of the user's: it cannot be undone, and the
    // history of edits made before it no longer matches the text.
    document->setUndoRedoEnabled(false);
    m_output->insertPlainText(text);
    document->setUndoRedoEnabled(true);
    m_output->ensureCursorVisible();
}

void CMainWindow::closeEvent(QCloseEvent* event)
{
    if (m_runner.IsRunning()) {
        m_runner.Cancel();
        m_runner.WaitForEnd(kCloseWaitMs);
    }
    event->accept();
}

void CMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainWindow::dropEvent(QDropEvent* event)
{
    // Only the first of several dropped files is loaded.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    LoadFile(urls.front().toLocalFile());
}
