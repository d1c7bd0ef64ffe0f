// CCodeEditor: the puzzle editor pane: a plain-text pane with the line
// numbers in its left margin, line selection for error jumps, and find.
#pragma once

#include <QPlainTextEdit>

class CCodeEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CCodeEditor(QWidget* parent = nullptr);

    // Width of the line-number margin in pixels, enough for the last line's number.
    int MarginWidth() const;

    // Moves the cursor to line `line` (1-based, clamped to the text) and
    // selects that line's text; scrolls it into view.
    void SelectLine(int line);

    // Moves the cursor to the start of line `line` (1-based, clamped).
    void GoToLine(int line);

    // Finds `text` from the cursor on (backwards when `backward`), wrapping
    // around the text's end; selects the match. False when there is none.
    bool FindText(const QString& text, bool backward);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class CLineNumberMargin;
    void PaintMargin(QPaintEvent* event);
    void UpdateMarginWidth();
    void UpdateMargin(const QRect& rect, int dy);

    QWidget* m_margin = nullptr;
};
