// CMainWindow: the editor window of TovikWin: the puzzle editor above, the
// interpreter's output below, the menus, toolbar, status bar and keys, file
// open, save, drop and print, find and go to line, the Examples menu, and
// the Run and Stop commands that drive a CRunner.
#pragma once

#include "gui/run_tally.h"
#include "gui/runner.h"
#include "gui/text_file.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolBar;
class CCodeEditor;
class COutputPane;
class CProportionalSplitter;

class CMainWindow : public QMainWindow {
    Q_OBJECT

public:
    // `programDir` is the directory of the TovikWin executable: the
    // interpreter is looked for there first, the run file goes there when
    // the directory is writable, and the examples are looked for from there.
    explicit CMainWindow(const QString& programDir, QWidget* parent = nullptr);
    ~CMainWindow() override;

    CCodeEditor* Editor() const { return m_editor; }
    COutputPane* OutputPane() const { return m_output; }
    CProportionalSplitter* Splitter() const { return m_splitter; }
    const CRunner& Runner() const { return m_runner; }
    const CRunTally& Tally() const { return m_tally; }

    // Loads `path` into the editor; Save then writes back to it. On failure
    // an error dialog names the file and the reason, and the editor keeps
    // its text.
    bool LoadFile(const QString& path);
    // Writes the editor text to `path` in the encoding it was opened in; an
    // unchanged text gets back the very bytes it was read from. `path`
    // becomes the file that Save writes. On failure an error dialog names the
    // file and the reason.
    bool SaveFile(const QString& path);
    // The file Save writes to, empty for new text and examples.
    QString FilePath() const { return m_filePath; }

    // The interpreter started by Run: beside TovikWin, else on PATH.
    QString InterpreterPath() const;
    // The directory that receives the run file and in which the interpreter
    // runs: the program directory when writable, else a per-user directory.
    QString RunDirectory() const;
    // Where the Examples menu takes its puzzles from; empty without one.
    QString ExamplesDir() const { return m_examplesDir; }

    // The editor text with '\n' line ends, exactly as typed.
    QString EditorText() const;

public slots:
    void Run();
    void Stop();
    // Shows line `line` of the editor with its text selected.
    void ShowErrorLine(int line);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreatePanes();
    void CreateActions();
    void CreateMenusAndToolBar();
    void CreateExamplesMenu();
    void CreateFindBar();
    void CreateStatusBar();
    QAction* AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys);

    void OnOpen();
    void OnSave();
    void OnSaveAs();
    void OnNew();
    void OnPrint();
    void OnAbout();
    void OnGoToLine();
    void OnFind();
    void FindNext(bool backward);
    void OnRunOutput(const QString& text);
    void OnRunFinished();
    void FocusPane(bool next);
    void LoadExample(const QString& path);

    // Sets the document's name and encoding in the title; an empty name
    // leaves the plain title.
    void SetDocument(const QString& path, const QString& name);
    void UpdateTitle();
    void UpdateCursorPosition();
    void UpdateRunStatus();
    void ShowRunState(const QString& state);

    // The pane that has the keyboard focus, or null when neither has it.
    QPlainTextEdit* FocusedPane() const;
    void ConnectToFocusedPane(QAction* action, void (QPlainTextEdit::*command)());

    QString m_programDir;
    QString m_examplesDir;

    // The document: where Save writes (empty: ask), the name shown, its
    // encoding, and the text and bytes of its last load or save.
    QString m_filePath;
    QString m_fileName;
    CTextFormat m_format;
    QString m_savedText;
    QByteArray m_savedBytes;

    CRunner m_runner;
    CRunTally m_tally;
    QElapsedTimer m_clock;
    QTimer m_tick;              // refreshes the elapsed time and count during a run
    bool m_errorShown = false;  // the run's first error has been selected

    CProportionalSplitter* m_splitter = nullptr;
    CCodeEditor* m_editor = nullptr;
    COutputPane* m_output = nullptr;

    QToolBar* m_findBar = nullptr;
    QLineEdit* m_findField = nullptr;

    QLabel* m_stateLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_countLabel = nullptr;
    QLabel* m_positionLabel = nullptr;

    QAction* m_run = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_fast = nullptr;  // checked: runs add --fast
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_new = nullptr;
    QAction* m_print = nullptr;
    QAction* m_nextPane = nullptr;
    QAction* m_previousPane = nullptr;
    QAction* m_find = nullptr;
    QAction* m_findNext = nullptr;
    QAction* m_findPrevious = nullptr;
    QAction* m_goToLine = nullptr;
    QAction* m_about = nullptr;
};
