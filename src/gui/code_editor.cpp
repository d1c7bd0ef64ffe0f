// CCodeEditor: line numbers beside the text, line selection and find.
#include "gui/code_editor.h"

#include <QPainter>
#include <QTextBlock>

namespace {

constexpr int kMarginPadding = 4;  // pixels on each side of the numbers

}  // namespace

// The margin widget only forwards its painting to the editor, which knows
// where each line is drawn.
class CLineNumberMargin : public QWidget {
public:
    explicit CLineNumberMargin(CCodeEditor* editor) : QWidget(editor), m_editor(editor) {}

    QSize sizeHint() const override { return {m_editor->MarginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor->PaintMargin(event); }

private:
    CCodeEditor* m_editor;
};

CCodeEditor::CCodeEditor(QWidget* parent)
    : QPlainTextEdit(parent), m_margin(new CLineNumberMargin(this)) {
    m_margin->setObjectName(QStringLiteral("lineNumbers"));
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CCodeEditor::UpdateMarginWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &CCodeEditor::UpdateMargin);
    UpdateMarginWidth();
}

int CCodeEditor::MarginWidth() const {
    int digits = 1;
    for (int n = qMax(1, blockCount()); n >= 10; n /= 10) ++digits;
    return 2 * kMarginPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void CCodeEditor::UpdateMarginWidth() {
    setViewportMargins(MarginWidth(), 0, 0, 0);
    const QRect area = contentsRect();
    m_margin->setGeometry(QRect(area.left(), area.top(), MarginWidth(), area.height()));
}

void CCodeEditor::UpdateMargin(const QRect& rect, int dy) {
    if (dy != 0)
        m_margin->scroll(0, dy);
    else
        m_margin->update(0, rect.y(), m_margin->width(), rect.height());
    if (rect.contains(viewport()->rect())) UpdateMarginWidth();
}

void CCodeEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    UpdateMarginWidth();
}

void CCodeEditor::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    // The numbers are drawn in the editor's font, so the margin follows it.
    if (event->type() == QEvent::FontChange) UpdateMarginWidth();
}

void CCodeEditor::PaintMargin(QPaintEvent* event) {
    QPainter painter(m_margin);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    const int width = m_margin->width() - kMarginPadding;
    const int lineHeight = fontMetrics().height();
    // Only the lines that intersect the repainted band are drawn.
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top())
            painter.drawText(0, top, width, lineHeight, Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        block = block.next();
        top = bottom;
    }
}

void CCodeEditor::SelectLine(int line) {
    QTextDocument* doc = document();
    const QTextBlock block = doc->findBlockByNumber(qBound(1, line, doc->blockCount()) - 1);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    centerCursor();
}

void CCodeEditor::GoToLine(int line) {
    QTextDocument* doc = document();
    setTextCursor(QTextCursor(doc->findBlockByNumber(qBound(1, line, doc->blockCount()) - 1)));
    centerCursor();
}

bool CCodeEditor::FindText(const QString& text, bool backward) {
    if (text.isEmpty()) return false;
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor found = document()->find(text, textCursor(), flags);
    if (found.isNull()) {
        // Wrap around: from the start going forward, from the end going back.
        QTextCursor from(document());
        if (backward) from.movePosition(QTextCursor::End);
        found = document()->find(text, from, flags);
    }
    if (found.isNull()) return false;
    setTextCursor(found);
    return true;
}
