// CCodeEditor: the puzzle editor pane: a plain-text pane with the line
// numbers in its left margin, the line end each line had in its file, a
// tab width of four spaces, auto-indent, the matching bracket highlighted,
// and the marker of a compile error's line. Used by the editor window.
#pragma once

#include <QPlainTextEdit>
#include <QTextCursor>

class CCodeEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CCodeEditor(QWidget* parent = nullptr);

    // Width of the line-number margin in pixels, enough for the last line's number.
    int MarginWidth() const;

    // Replaces the text with `text`, whose line breaks are spelt as in a
    // file (see SplitLineEnds); each line keeps its spelling for FileText.
    // The document is left unmodified, with nothing to undo.
    void SetFileText(const QString& text);
    // The text with each line's own line end from SetFileText; the lines
    // made since then end with `newLineEnd`.
    QString FileText(const QString& newLineEnd) const;
    // Makes every line end with the `newLineEnd` of the next FileText; the
    // breaks that are no line ends (U+2029 and the frame marks) stay.
    void ForgetLineEnds();
    // The text with '\n' after each line, exactly as shown.
    QString LineText() const;

    // Moves the cursor to the start of line `line` (1-based, clamped).
    void GoToLine(int line);
    // Moves the cursor to line `line` (clamped) and marks it as the line of
    // a compile error: a marker in the margin and an underline, until the
    // line is edited or another line is marked.
    void MarkErrorLine(int line);
    // The marked line (1-based), 0 when none.
    int ErrorLine() const;

    // The brackets highlighted as a matching pair (positions), empty when none.
    QList<int> MatchedBrackets() const { return m_brackets; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class CLineNumberMargin;
    void PaintMargin(QPaintEvent* event);
    void UpdateMarginWidth();
    void UpdateMargin(const QRect& rect, int dy);
    void UpdateTabWidth();
    void InsertLineBreak();
    void OnContentsChange();
    void FindMatchingBracket();
    void UpdateExtraSelections();

    QWidget* m_margin = nullptr;
    QTextCursor m_errorLine;  // selects the marked line; null when none
    QString m_errorText;      // the marked line's text when it was marked
    QList<int> m_brackets;
};
