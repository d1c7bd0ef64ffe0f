// CMainWindow: the window itself: its panes, status bar, settings, font
// size, pane focus, drops and closing.
#include "gui/main_window.h"

#include "gui/code_editor.h"
#include "gui/examples.h"
#include "gui/find_bar.h"
#include "gui/highlighter.h"
#include "gui/output_pane.h"
#include "gui/splitter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSessionManager>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

namespace {

// The source tree's examples, for a TovikWin run from its build directory.
#ifdef TOVIK_SOURCE_EXAMPLES
constexpr char kSourceExamples[] = TOVIK_SOURCE_EXAMPLES;
#else
constexpr char kSourceExamples[] = "";
#endif

constexpr char kOrganization[] = "Tovik";
constexpr char kApplication[] = "TovikWin";

// How long closing the window waits for a stopped child to end.
constexpr int kCloseWaitMs = 5000;
// How often the status bar's elapsed time and count change during a run.
constexpr int kTickMs = 100;
// The font sizes Zoom In and Zoom Out stay within, in points.
constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 72;

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

}  // namespace

CMainWindow::CMainWindow(const QString& programDir, QWidget* parent)
    : QMainWindow(parent),
      m_programDir(programDir),
      m_examplesDir(FindExamplesDir(programDir, QString::fromUtf8(kSourceExamples))),
      m_runDir(QDir::temp().filePath(QStringLiteral("tovikwin-XXXXXX"))) {
    setAcceptDrops(true);
    CreatePanes();
    CreateActions();
    CreateMenusAndToolBar();
    m_findBar = new CFindBar(m_editor, FindAction("findPrevious"), FindAction("findNext"), this);
    addToolBar(Qt::BottomToolBarArea, m_findBar);
    connect(m_findBar, &CFindBar::Message, this, [this](const QString& text) {
        statusBar()->showMessage(text, text.isEmpty() ? 0 : 3000);
    });
    CreateStatusBar();
    connect(&m_runner, &CRunner::Output, this, &CMainWindow::OnRunOutput);
    connect(&m_runner, &CRunner::Notice, this, &CMainWindow::OnRunNotice);
    connect(&m_runner, &CRunner::Finished, this, &CMainWindow::OnRunFinished);
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &CMainWindow::UpdateRunStatus);
#ifndef QT_NO_SESSIONMANAGER
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &CMainWindow::OnCommitData);
#endif
    resize(800, 600);
    ReadSettings();
    UpdateTitle();
    m_editor->setFocus();
}

CMainWindow::~CMainWindow() {
    // The runner may still report while the panes go away.
    disconnect(&m_runner, nullptr, this, nullptr);
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
    m_defaultFontSize = m_editor->font().pointSize();
    connect(m_output, &COutputPane::PlaceActivated, this, &CMainWindow::OnPlaceActivated);
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this,
            &CMainWindow::UpdateDiagnosticStatus);
    connect(m_editor, &CCodeEditor::DiagnosticsChanged, this, &CMainWindow::UpdateDiagnosticStatus);
    connect(m_editor->document(), &QTextDocument::modificationChanged, this,
            &QWidget::setWindowModified);
}

// ---- status bar ----

void CMainWindow::CreateStatusBar() {
    m_stateLabel = StatusLabel(this, "runState");
    m_timeLabel = StatusLabel(this, "runTime");
    m_countLabel = StatusLabel(this, "solutionCount");
    m_positionLabel = StatusLabel(this, "cursorPosition");
    m_encodingButton = CreateChoiceButton(
        "encoding",
        {QStringLiteral("UTF-8"), QStringLiteral("UTF-8 with BOM"), QStringLiteral("GBK")},
        &CMainWindow::ChooseEncoding);
    m_lineEndButton = CreateChoiceButton(
        "lineEnds", {QStringLiteral("LF"), QStringLiteral("CR LF")}, &CMainWindow::ChooseLineEnd);
    m_fastButton = new QToolButton(this);
    m_fastButton->setObjectName(QStringLiteral("fastState"));
    m_fastButton->setAutoRaise(true);
    m_fastButton->setToolTip(m_fast->toolTip());
    connect(m_fastButton, &QToolButton::clicked, m_fast, &QAction::trigger);
    connect(m_fast, &QAction::toggled, this, &CMainWindow::UpdateFormatStatus);
    // Permanent widgets stay in view while a message such as "Not found" is shown.
    for (QWidget* field :
         std::initializer_list<QWidget*>{m_stateLabel, m_timeLabel, m_countLabel, m_positionLabel,
                                         m_encodingButton, m_lineEndButton, m_fastButton})
        statusBar()->addPermanentWidget(field);
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this,
            &CMainWindow::UpdateCursorPosition);
    UpdateCursorPosition();
    UpdateFormatStatus();
}

// A status bar button that offers `choices` for the next save.
QToolButton* CMainWindow::CreateChoiceButton(const char* name, const QStringList& choices,
                                             void (CMainWindow::*choose)(int)) {
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolTip(QStringLiteral("Used by the next save; click to change"));
    auto* menu = new QMenu(button);
    for (int i = 0; i < choices.size(); ++i)
        connect(menu->addAction(choices[i]), &QAction::triggered, this,
                [this, choose, i] { (this->*choose)(i); });
    button->setMenu(menu);
    return button;
}

void CMainWindow::UpdateFormatStatus() {
    m_encodingButton->setText(EncodingName(m_format));
    const QString lineEnd = LineEndName(m_format.lineEnd);
    m_lineEndButton->setText(m_format.mixedLineEnds ? QStringLiteral("Mixed (%1)").arg(lineEnd)
                                                    : lineEnd);
    m_fastButton->setText(m_fast->isChecked() ? QStringLiteral("Fast search: on")
                                              : QStringLiteral("Fast search: off"));
}

void CMainWindow::UpdateCursorPosition() {
    const QTextCursor cursor = m_editor->textCursor();
    m_positionLabel->setText(QStringLiteral("Ln %1, Col %2")
                                 .arg(cursor.blockNumber() + 1)
                                 .arg(cursor.positionInBlock() + 1));
}

// ---- settings ----

void CMainWindow::ReadSettings() {
    QSettings settings{QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)};
    restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    m_splitter->SetFraction(settings.value(QStringLiteral("window/splitter"), 0.75).toDouble());
    m_recentFiles = settings.value(QStringLiteral("recentFiles")).toStringList();
    m_fast->setChecked(settings.value(QStringLiteral("fastSearch"), false).toBool());
    m_lastFolder = settings.value(QStringLiteral("lastFolder")).toString();
    SetFontSize(settings.value(QStringLiteral("fontSize"), m_defaultFontSize).toInt());
    UpdateRecentMenu();
}

void CMainWindow::WriteSettings() const {
    QSettings settings{QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication)};
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/splitter"), m_splitter->Fraction());
    settings.setValue(QStringLiteral("recentFiles"), m_recentFiles);
    settings.setValue(QStringLiteral("fastSearch"), m_fast->isChecked());
    settings.setValue(QStringLiteral("lastFolder"), m_lastFolder);
    settings.setValue(QStringLiteral("fontSize"), m_editor->font().pointSize());
}

void CMainWindow::SetFontSize(int points) {
    for (QPlainTextEdit* pane :
         {static_cast<QPlainTextEdit*>(m_editor), static_cast<QPlainTextEdit*>(m_output)}) {
        QFont font = pane->font();
        font.setPointSize(qBound(kMinFontSize, points, kMaxFontSize));
        pane->setFont(font);
    }
}

void CMainWindow::OnZoomIn() { SetFontSize(m_editor->font().pointSize() + 1); }

void CMainWindow::OnZoomOut() { SetFontSize(m_editor->font().pointSize() - 1); }

void CMainWindow::OnZoomReset() { SetFontSize(m_defaultFontSize); }

// ---- closing ----

void CMainWindow::closeEvent(QCloseEvent* event) {
    // After the question of a logout, the close that follows does not ask
    // again about the same text.
    const bool answered = m_editor->document()->revision() == m_answeredRevision;
    if (!answered && !MaybeSave()) {
        event->ignore();
        return;
    }
    if (m_runner.IsRunning()) m_runner.WaitForEnd(kCloseWaitMs);
    WriteSettings();
    event->accept();
}

// Logging out of the desktop asks about unsaved text as closing does.
void CMainWindow::OnCommitData(QSessionManager& manager) {
    if (!m_editor->document()->isModified()) return;
    if (!manager.allowsInteraction()) return;
    const bool proceed = MaybeSave();
    manager.release();
    if (proceed)
        m_answeredRevision = m_editor->document()->revision();
    else
        manager.cancel();
}

// ---- drops ----

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainWindow::dropEvent(QDropEvent* event) {
    // Only the first of several dropped files is loaded.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    OpenFile(urls.front().toLocalFile());
}

// ---- the panes ----

QString CMainWindow::EditorText() const { return m_editor->LineText(); }

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

void CMainWindow::OnNextPane() { FocusPane(true); }

void CMainWindow::OnPreviousPane() { FocusPane(false); }

void CMainWindow::OnSelectAll() {
    if (QPlainTextEdit* pane = FocusedPane()) {
        pane->selectAll();
        pane->ensureCursorVisible();
    }
}
