// CFindBar: the find and replace bar at the bottom of the editor window.
// Find searches the pane that had the focus when the bar was opened (the
// editor or the output); Replace always works on the editor. Used by the
// editor window, which owns the Find Next and Find Previous actions.
#pragma once

#include <QPointer>
#include <QToolBar>

class QLineEdit;
class QPlainTextEdit;

// Finds `text` in `pane` from its cursor on (backwards when `backward`),
// wrapping around the text's end, ignoring case; selects the match. False
// when there is none.
bool FindInPane(QPlainTextEdit* pane, const QString& text, bool backward);

class CFindBar : public QToolBar {
    Q_OBJECT

public:
    CFindBar(QPlainTextEdit* editor, QAction* findPrevious, QAction* findNext, QWidget* parent);

    // Shows the bar for finding in `pane`, its selection within one line
    // becoming the text to find.
    void OpenFind(QPlainTextEdit* pane);
    // Shows the bar with the replace field, for the editor.
    void OpenReplace();
    // Finds the next or previous match in `pane`, which becomes the pane
    // searched, or without one in the pane searched last; opens the bar when
    // there is nothing to find yet.
    void FindNext(bool backward, QPlainTextEdit* pane = nullptr);

    QString FindText() const;
    QPlainTextEdit* Target() const { return m_target; }

signals:
    // A short message for the status bar; empty clears it.
    void Message(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Open(QPlainTextEdit* pane, bool replace);
    void Replace();
    void ReplaceAll();

    QPlainTextEdit* m_editor;
    QPointer<QPlainTextEdit> m_target;
    QLineEdit* m_findField = nullptr;
    QLineEdit* m_replaceField = nullptr;
    QList<QAction*> m_replaceItems;  // the replace field and its buttons
};
