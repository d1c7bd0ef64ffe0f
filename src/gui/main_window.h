// CMainWindow: the editor window of TovikWin: the puzzle editor above, the
// interpreter's output below, the menus, toolbar and keys, file open, save,
// drop and print, and the Run and Stop commands that drive a CRunner.
#pragma once

#include "gui/runner.h"
#include "gui/text_file.h"

#include <QMainWindow>

class QAction;
class QPlainTextEdit;
class CProportionalSplitter;

class CMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // `programDir` is the directory of the TovikWin executable: the
    // interpreter is looked for there first, and the run file goes there
    // when the directory is writable.
    explicit CMainWindow(const QString& programDir, QWidget* parent = nullptr);
    ~CMainWindow() override;

    QPlainTextEdit* Editor() const { return m_editor; }
    QPlainTextEdit* OutputPane() const { return m_output; }
    CProportionalSplitter* Splitter() const { return m_splitter; }
    const CRunner& Runner() const { return m_runner; }

    // Loads `path` into the editor. On failure an error dialog names the file
    // and the reason, and the editor keeps its text.
    bool LoadFile(const QString& path);
    // Writes the editor text to `path` in the encoding it was opened in. On
    // failure an error dialog names the file and the reason.
    bool SaveFile(const QString& path);

    // The interpreter started by Run: beside TovikWin, else on PATH.
    QString InterpreterPath() const;
    // The directory that receives the run file and in which the interpreter
    // runs: the program directory when writable, else a per-user directory.
    QString RunDirectory() const;

    // The editor text with '\n' line ends, exactly as typed.
    QString EditorText() const;

public slots:
    void Run();
    void Stop();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreatePanes();
    void CreateActions();
    void CreateMenusAndToolBar();
    QAction* AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys);

    void OnOpen();
    void OnSave();
    void OnNew();
    void OnPrint();
    void OnAbout();
    void OnRunFinished();
    void FocusPane(bool next);

    // The pane that has the keyboard focus, or null when neither has it.
    QPlainTextEdit* FocusedPane() const;
    // Appends to the output pane, not undoable, and keeps its end in view.
    void AppendOutput(const QString& text);

    QString m_programDir;
    CTextFormat m_format; // how the editor text's file spells it
    CRunner m_runner;

    CProportionalSplitter* m_splitter = nullptr;
    QPlainTextEdit* m_editor = nullptr;
    QPlainTextEdit* m_output = nullptr;

    QAction* m_run = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
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
    QAction* m_about = nullptr;
};
