// CMainWindow: the document: New, Open, Save, the question on unsaved
// changes, recent files, examples, the encoding and line ends of the next
// save, printing, Go to Line, find, and the Help menu.
#include "gui/main_window.h"

#include "gui/about_box.h"
#include "gui/code_editor.h"
#include "gui/examples.h"
#include "gui/find_bar.h"
#include "gui/output_pane.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBrowser>
#include <QUrl>

#include <climits>

namespace {

constexpr char kTitle[] = "TovikWin";
constexpr char kUntitled[] = "Untitled";
constexpr char kPuzzleFilters[] = "Puzzles (*.tvk *.txt);;All files (*)";
constexpr char kOutputFilters[] = "Text files (*.txt);;All files (*)";

// The source tree's guides, for a TovikWin run from its build directory.
#ifdef TOVIK_SOURCE_DOCS
constexpr char kSourceDocs[] = TOVIK_SOURCE_DOCS;
#else
constexpr char kSourceDocs[] = "";
#endif

}  // namespace

// ---- title and questions ----

QString CMainWindow::DocumentName() const {
    return m_fileName.isEmpty() ? QLatin1String(kUntitled) : m_fileName;
}

void CMainWindow::SetDocument(const QString& path, const QString& name) {
    m_filePath = path;
    m_fileName = name;
    UpdateTitle();
}

void CMainWindow::UpdateTitle() {
    // "[*]" shows as "*" while the text has unsaved changes.
    QString title = QLatin1String(kTitle);
    if (!m_fileName.isEmpty())
        title += QStringLiteral(" - %1 (%2)").arg(m_fileName, EncodingName(m_format.encoding));
    setWindowTitle(title + QStringLiteral("[*]"));
    setWindowModified(m_editor->document()->isModified());
}

void CMainWindow::ShowError(const QString& text) {
    QMessageBox::critical(this, QLatin1String(kTitle), text);
}

bool CMainWindow::MaybeSave() {
    if (!m_editor->document()->isModified()) return true;
    QMessageBox box(QMessageBox::Warning, QLatin1String(kTitle),
                    QStringLiteral("Save changes to %1?").arg(DocumentName()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return Save();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

// ---- opening ----

bool CMainWindow::OpenFile(const QString& path) { return OpenDocument(path, true, false); }

bool CMainWindow::LoadFile(const QString& path) { return OpenDocument(path, false, false); }

// Reads `path`; when `ask`, warns of a huge line and asks about unsaved
// changes before the text is replaced. An example is read like any file,
// but Save then asks for a name of the user's own instead of writing over
// the bundled copy, and it stays out of the recent files.
bool CMainWindow::OpenDocument(const QString& path, bool ask, bool example) {
    QString text;
    CTextFormat format;
    QString error;
    QByteArray bytes;
    if (!ReadTextFile(path, &text, &format, &error, &bytes)) {
        ShowError(QStringLiteral("Cannot open %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        if (!QFileInfo::exists(path)) UpdateRecentMenu();
        return false;
    }
    const QString name = QFileInfo(path).fileName();
    const qsizetype longest = LongestLine(text);
    if (ask && longest >= kLongLine &&
        QMessageBox::warning(this, QLatin1String(kTitle),
                             QStringLiteral("%1 has a line of %2 characters. Typing in it will be "
                                            "slow. Open it anyway?")
                                 .arg(name)
                                 .arg(longest),
                             QMessageBox::Open | QMessageBox::Cancel) != QMessageBox::Open)
        return false;
    if (ask && !MaybeSave()) return false;
    StartDocument(text, format);
    m_savedBytes = bytes;
    m_haveSavedBytes = true;
    SetDocument(example ? QString() : path, name);
    if (!example) AddRecentFile(path);
    return true;
}

// Shows `fileText` as a document just read or made, with the output and
// status of an earlier document cleared.
void CMainWindow::StartDocument(const QString& fileText, const CTextFormat& format) {
    ClearRun();
    // Wrapping lets a huge line be read without scrolling sideways.
    m_editor->setLineWrapMode(LongestLine(fileText) >= kLongLine ? QPlainTextEdit::WidgetWidth
                                                                 : QPlainTextEdit::NoWrap);
    m_editor->SetFileText(fileText);
    m_format = format;
    m_savedText = EditorText();
    UpdateFormatStatus();
}

void CMainWindow::OnNew() {
    if (!MaybeSave()) return;
    StartDocument(QString(), CTextFormat{});
    m_haveSavedBytes = false;
    SetDocument(QString(), QString());
}

void CMainWindow::OnOpen() {
    const QString path = AskFileName(false, QLatin1String(kPuzzleFilters), QString());
    if (!path.isEmpty()) OpenFile(path);
}

QString CMainWindow::StartFolder() const {
    return m_filePath.isEmpty() ? m_lastFolder : QFileInfo(m_filePath).absolutePath();
}

// Asks for a file to open or save with `filters`; a new name without an
// extension gets `suffix`. Empty when the user cancelled.
QString CMainWindow::AskFileName(bool save, const QString& filters, const QString& suffix) {
    QFileDialog dialog(this, save ? QStringLiteral("Save As") : QStringLiteral("Open"),
                       StartFolder());
    dialog.setNameFilters(filters.split(QStringLiteral(";;")));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    if (save && suffix == QLatin1String("tvk") && !m_fileName.isEmpty())
        dialog.selectFile(m_fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().front();
    m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

// ---- saving ----

bool CMainWindow::Save() { return m_filePath.isEmpty() ? SaveAs() : SaveFile(m_filePath); }

bool CMainWindow::SaveAs() {
    // The dialog asks before overwriting.
    const QString path = AskFileName(true, QLatin1String(kPuzzleFilters), QStringLiteral("tvk"));
    return !path.isEmpty() && SaveFile(path);
}

bool CMainWindow::SaveFile(const QString& path) {
    const QString text = EditorText();
    const QByteArray bytes =
        m_haveSavedBytes && text == m_savedText
            ? m_savedBytes
            : EncodeText(m_editor->FileText(LineEndText(m_format.lineEnd)), m_format);
    QString error;
    if (!WriteBytesFile(path, bytes, &error)) {
        ShowError(QStringLiteral("Cannot save %1:\n%2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    m_savedText = text;
    m_savedBytes = bytes;
    m_haveSavedBytes = true;
    m_editor->document()->setModified(false);
    SetDocument(path, QFileInfo(path).fileName());
    AddRecentFile(path);
    return true;
}

void CMainWindow::OnSaveOutputAs() {
    const QString path = AskFileName(true, QLatin1String(kOutputFilters), QStringLiteral("txt"));
    QString error;
    if (!path.isEmpty() && !m_output->SaveOutput(path, &error))
        ShowError(QStringLiteral("Cannot save %1:\n%2").arg(QDir::toNativeSeparators(path), error));
}

// ---- encoding and line ends of the next save ----

void CMainWindow::SetFormat(const CTextFormat& format) {
    m_format = format;
    // The saved bytes no longer say how the text is saved.
    m_haveSavedBytes = false;
    m_editor->document()->setModified(true);
    UpdateTitle();
    UpdateFormatStatus();
}

void CMainWindow::ChooseEncoding(int choice) {
    CTextFormat format = m_format;
    format.encoding = choice == 2 ? CTextFormat::Encoding::Gbk : CTextFormat::Encoding::Utf8;
    format.utf8Bom = choice == 1;
    SetFormat(format);
}

void CMainWindow::ChooseLineEnd(int choice) {
    CTextFormat format = m_format;
    format.lineEnd = choice == 1 ? CTextFormat::LineEnd::CrLf : CTextFormat::LineEnd::Lf;
    format.mixedLineEnds = false;
    m_editor->ForgetLineEnds();
    SetFormat(format);
}

// ---- recent files and examples ----

void CMainWindow::AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeAll(absolute);
    m_recentFiles.prepend(absolute);
    while (m_recentFiles.size() > kMaxRecentFiles) m_recentFiles.removeLast();
    UpdateRecentMenu();
}

void CMainWindow::UpdateRecentMenu() {
    // Files that are gone leave the list.
    m_recentFiles.removeIf([](const QString& path) { return !QFileInfo::exists(path); });
    // The menu may be rebuilt from one of its own entries: they go later.
    for (QAction* action : m_recentMenu->actions()) {
        m_recentMenu->removeAction(action);
        action->deleteLater();
    }
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        const QString path = m_recentFiles[i];
        const QString label = i < 9 ? QStringLiteral("&%1 %2") : QStringLiteral("%1 %2");
        QAction* action = m_recentMenu->addAction(label.arg(i + 1).arg(QFileInfo(path).fileName()));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { OpenFile(path); });
    }
    m_recentMenu->setEnabled(!m_recentFiles.isEmpty());
}

void CMainWindow::CreateExamplesMenu() {
    // Without bundled examples there is no menu at all.
    if (ExampleFiles(m_examplesDir).isEmpty()) return;
    QMenu* examples = menuBar()->addMenu(QStringLiteral("E&xamples"));
    examples->setObjectName(QStringLiteral("examplesMenu"));
    FillExamplesMenu(examples, m_examplesDir);
    const QString guide = QDir(m_examplesDir).filePath(QStringLiteral("guide"));
    if (ExampleFiles(guide).isEmpty()) return;
    examples->addSeparator();
    QMenu* guideMenu = examples->addMenu(QStringLiteral("&Guide"));
    guideMenu->setObjectName(QStringLiteral("guideExamplesMenu"));
    FillExamplesMenu(guideMenu, guide);
}

void CMainWindow::FillExamplesMenu(QMenu* menu, const QString& dir) {
    for (const QString& name : ExampleFiles(dir)) {
        const QString path = QDir(dir).filePath(name);
        connect(menu->addAction(name), &QAction::triggered, this,
                [this, path] { OpenDocument(path, true, true); });
    }
}

// ---- printing, lines, find ----

void CMainWindow::OnPrint() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) m_editor->print(&printer);
}

void CMainWindow::OnGoToLine() {
    // Any number is taken, so that typing a large one is never cut to its
    // first digits; beyond the last line it means the last line.
    const int lines = m_editor->blockCount();
    bool ok = false;
    const int line = QInputDialog::getInt(
        this, QStringLiteral("Go to Line"), QStringLiteral("Line number (1 - %1):").arg(lines),
        m_editor->textCursor().blockNumber() + 1, 1, INT_MAX, 1, &ok);
    if (ok) {
        m_editor->GoToLine(qMin(line, lines));
        m_editor->setFocus();
    }
}

void CMainWindow::OnFind() { m_findBar->OpenFind(FocusedPane() ? FocusedPane() : m_editor); }

void CMainWindow::OnFindNext() { m_findBar->FindNext(false, FocusedPane()); }

void CMainWindow::OnFindPrevious() { m_findBar->FindNext(true, FocusedPane()); }

void CMainWindow::OnReplace() { m_findBar->OpenReplace(); }

// ---- help ----

void CMainWindow::OnAbout() {
    CAboutBox box(this);
    box.exec();
}

// The guide is shown in a window of the editor's own, so that it needs no
// other program; it closes with the editor.
void CMainWindow::OnLanguageGuide() {
    QStringList searched;
    const QString path =
        FindGuide(m_programDir, QString::fromUtf8(kSourceDocs), QLocale(), &searched);
    if (path.isEmpty()) {
        ShowError(QStringLiteral("The language guide is not installed. Looked for:\n%1")
                      .arg(searched.join(QLatin1Char('\n'))));
        return;
    }
    if (!m_guide) {
        m_guide = new QTextBrowser(this);
        m_guide->setObjectName(QStringLiteral("guide"));
        m_guide->setWindowFlag(Qt::Window);
        m_guide->setWindowTitle(QStringLiteral("Language Guide - TovikWin"));
        m_guide->setOpenExternalLinks(true);
        m_guide->resize(760, 640);
    }
    m_guide->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    m_guide->show();
    m_guide->raise();
    m_guide->activateWindow();
}
