// CMainWindow: the editor window of TovikWin: the puzzle editor above, the
// interpreter's output below, menus, toolbar, status bar and keys. Its
// work is spread by responsibility:
//   main_window.cpp          the panes, status bar, settings, font size, focus, drops
//   main_window_actions.cpp  the table of actions, the menus and the toolbar
//   main_window_file.cpp     the document: open, save, unsaved changes, recent
//                            files, examples, encoding and line ends, print, help
//   main_window_run.cpp      Run, Explain and Stop driving a CRunner, the output
//                            with its diagnostics, and the run status
#pragma once

#include "gui/diagnostic.h"
#include "gui/interpreter_probe.h"
#include "gui/run_tally.h"
#include "gui/runner.h"
#include "gui/text_file.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSessionManager;
class QTextBrowser;
class QToolButton;
struct CActionEntry;
class CCodeEditor;
class CFindBar;
class COutputPane;
class CProportionalSplitter;

class CMainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Recent files kept in the Open Recent menu.
    static constexpr int kMaxRecentFiles = 10;
    // A file with a line this long is opened only after a warning, with
    // wrapping on: typing in such a line is slow.
    static constexpr qsizetype kLongLine = 100000;

    // `programDir` is the directory of the TovikWin executable: the
    // interpreter is looked for there first, then on PATH, and the examples
    // and guides are looked for from there.
    explicit CMainWindow(const QString& programDir, QWidget* parent = nullptr);
    ~CMainWindow() override;

    CCodeEditor* Editor() const { return m_editor; }
    COutputPane* OutputPane() const { return m_output; }
    CProportionalSplitter* Splitter() const { return m_splitter; }
    const CRunner& Runner() const { return m_runner; }
    const CRunTally& Tally() const { return m_tally; }

    // ---- the document ----

    // Asks whether to open `path` when it has a line of kLongLine characters
    // or more, asks "Save changes to NAME?" when the text has unsaved
    // changes, then loads it. Used by Open, drops, recent files and the
    // command line. False when the user cancelled or the file failed.
    bool OpenFile(const QString& path);
    // Loads `path` into the editor; Save then writes back to it. On failure
    // an error dialog names the file and the reason, and the editor keeps
    // its text. Clears the output of an earlier file.
    bool LoadFile(const QString& path);
    // Writes the editor text to `path` in its encoding, each line with its
    // own line end; an unchanged text gets back the very bytes it was read
    // from. `path` becomes the file that Save writes. On failure an error
    // dialog names the file and the reason.
    bool SaveFile(const QString& path);
    // When the text has unsaved changes, asks "Save changes to NAME?" with
    // Save, Discard and Cancel. True when the caller may discard the text:
    // nothing was changed, the user chose Discard, or the save succeeded.
    bool MaybeSave();
    // The file Save writes to, empty for new text and examples.
    QString FilePath() const { return m_filePath; }
    // How Save spells the text; the status bar changes it.
    const CTextFormat& Format() const { return m_format; }
    QStringList RecentFiles() const { return m_recentFiles; }

    // ---- running ----

    // The interpreter started by Run: beside TovikWin, else on PATH; empty
    // when there is none.
    QString InterpreterPath() const;
    // This window's private directory, which receives the run file and in
    // which the interpreter runs; removed with the window.
    QString RunDirectory() const { return m_runDir.path(); }
    // Where the Examples menu takes its puzzles from; empty without one.
    QString ExamplesDir() const { return m_examplesDir; }
    // The editor text with '\n' after each line, exactly as shown.
    QString EditorText() const;

public slots:
    void Run();
    // Runs the interpreter with --explain, which says after the run's output
    // why the puzzle has no solution or how its solutions differ; the lines
    // of the conditions it names are highlighted.
    void Explain();
    void Stop();
    // Puts the cursor on line `line` of the editor and marks it as a
    // compile error's line.
    void ShowErrorLine(int line);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // main_window.cpp
    void CreatePanes();
    void CreateStatusBar();
    QToolButton* CreateChoiceButton(const char* name, const QStringList& choices,
                                    void (CMainWindow::*choose)(int));
    void UpdateFormatStatus();
    void UpdateCursorPosition();
    void ReadSettings();
    void WriteSettings() const;
    void SetFontSize(int points);
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomReset();
    void OnCommitData(QSessionManager& manager);
    // The pane that has the keyboard focus, or null when neither has it.
    QPlainTextEdit* FocusedPane() const;
    void FocusPane(bool next);
    void OnNextPane();
    void OnPreviousPane();
    void OnSelectAll();

    // main_window_actions.cpp
    friend struct CActionTable;
    void CreateActions();
    void CreateAction(const CActionEntry& entry);
    void CreateMenusAndToolBar();
    QMenu* CreateMenu(const QString& title, const char* name, const QList<const char*>& items);
    QAction* FindAction(const char* name) const;

    // main_window_file.cpp
    void OnNew();
    void OnOpen();
    void OnSave() { Save(); }
    void OnSaveAs() { SaveAs(); }
    void OnExit() { close(); }
    // Save and Save As; false when nothing was written.
    bool Save();
    bool SaveAs();
    void OnSaveOutputAs();
    void OnPrint();
    void OnAbout();
    void OnLanguageGuide();
    void OnGoToLine();
    void OnFind();
    void OnFindNext();
    void OnFindPrevious();
    void OnReplace();
    void SetFormat(const CTextFormat& format);
    void ChooseEncoding(int choice);
    void ChooseLineEnd(int choice);
    bool OpenDocument(const QString& path, bool ask, bool example);
    void FillExamplesMenu(QMenu* menu, const QString& dir);
    void CreateExamplesMenu();
    void AddRecentFile(const QString& path);
    void UpdateRecentMenu();
    QString AskFileName(bool save, const QString& filter, const QString& suffix);
    void SetDocument(const QString& path, const QString& name);
    void StartDocument(const QString& fileText, const CTextFormat& format);
    QString StartFolder() const;
    QString DocumentName() const;
    void UpdateTitle();
    void ShowError(const QString& text);

    // main_window_run.cpp
    void StartRun(bool explain);
    bool CheckExplain(const CInterpreterFeatures& features);
    void OnPlaceActivated(const CSourcePlace& place);
    void ShowPlace(const CSourcePlace& place);
    void HighlightExplainedLines();
    void UpdateDiagnosticStatus();
    void OnRunOutput(const QString& text);
    void OnRunNotice(const QString& text);
    void OnRunFinished();
    void ShowFirstError();
    void ClearRun();
    void UpdateRunStatus();
    void ShowRunState(const QString& state);
    void ReportRunFailure(const QString& text);
    bool WriteRunFile();
    void SetRunning(bool running);

    QString m_programDir;
    QString m_examplesDir;
    QString m_lastFolder;  // where the file dialogs start without a current file
    QStringList m_recentFiles;

    // The document: where Save writes (empty: ask), the name shown, its
    // format, and the text and bytes of its last load or save (no bytes
    // after a change of format).
    QString m_filePath;
    QString m_fileName;
    CTextFormat m_format;
    QString m_savedText;
    QByteArray m_savedBytes;
    bool m_haveSavedBytes = false;
    // The text's revision when a logout's question was answered with Save
    // or Discard; -1 when none was.
    int m_answeredRevision = -1;

    QTemporaryDir m_runDir;
    CRunner m_runner;
    CRunTally m_tally;
    QElapsedTimer m_clock;
    QTimer m_tick;               // refreshes the elapsed time and count during a run
    bool m_errorShown = false;   // the run's first error has been marked
    bool m_runDetached = false;  // the document was replaced: the run's output is dropped
    CInterpreterProbe m_probe;
    bool m_jsonRun = false;     // the run was asked for JSON diagnostics
    bool m_explaining = false;  // the run was asked to explain
    CDiagnosticFilter m_diagnostics;
    QString m_explanation;       // the output of an explaining run
    QString m_diagnosticStatus;  // the diagnostics shown in the status bar, if any

    CProportionalSplitter* m_splitter = nullptr;
    CCodeEditor* m_editor = nullptr;
    COutputPane* m_output = nullptr;
    CFindBar* m_findBar = nullptr;
    QMenu* m_recentMenu = nullptr;
    QPointer<QTextBrowser> m_guide;  // the Language Guide window, once shown
    int m_defaultFontSize = 0;

    QLabel* m_stateLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_countLabel = nullptr;
    QLabel* m_positionLabel = nullptr;
    QToolButton* m_encodingButton = nullptr;
    QToolButton* m_lineEndButton = nullptr;
    QToolButton* m_fastButton = nullptr;

    QAction* m_run = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_explain = nullptr;
    bool m_canExplain = true;   // the last interpreter asked has --explain
    QAction* m_fast = nullptr;  // checked: runs add --fast
};
