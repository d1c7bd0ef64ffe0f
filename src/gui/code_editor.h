// CCodeEditor: the puzzle editor pane: a plain-text pane with the line
// numbers in its left margin, the line end each line had in its file, a
// tab width of four spaces, auto-indent, the matching bracket highlighted,
// the marker of a compile error's line, the interpreter's errors and
// warnings as margin icons and wavy underlines with their messages as
// tooltips, and highlighted lines. Used by the editor window.
#pragma once

#include "gui/diagnostic.h"

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
    void ClearErrorLine();

    // Shows each diagnostic on its line (clamped to the text): an icon in
    // the margin, a wavy underline from its column to its end column, or
    // over the token at its column when it has no end, or over the whole
    // line when it has no column. Each stays until its line is edited or
    // ClearDiagnostics.
    void AddDiagnostics(const QList<CDiagnostic>& diagnostics);
    void ClearDiagnostics();
    // The diagnostics shown on line `line` (1-based, as the line is now).
    QList<CDiagnostic> DiagnosticsOn(int line) const;
    // The underlined range of each diagnostic shown, as [start, end)
    // positions in the document, in the order they were added.
    QList<QPair<int, int>> DiagnosticRanges() const;

    // Gives the lines `lines` (1-based) a background until the next edit
    // or ClearHighlightedLines.
    void HighlightLines(const QList<int>& lines);
    void ClearHighlightedLines();
    QList<int> HighlightedLines() const;

    // The brackets highlighted as a matching pair (positions), empty when none.
    QList<int> MatchedBrackets() const { return m_brackets; }

signals:
    // Diagnostics were added or went away.
    void DiagnosticsChanged();

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class CLineNumberMargin;
    // One diagnostic shown: the range it underlines (its line when it has no
    // column), and the text of its line when it was shown.
    struct CMarker {
        CDiagnostic diagnostic;
        QTextCursor range;
        QString lineText;
    };
    void PaintMargin(QPaintEvent* event);
    bool MarginEvent(QEvent* event);
    void ShowToolTip(const QPoint& globalPos, const QString& text);
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
    QList<CMarker> m_markers;
    QList<QTextCursor> m_highlights;  // at the start of each highlighted line
    int m_highlightRevision = 0;      // the document's revision when they were set
};
