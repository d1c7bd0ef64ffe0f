// CCodeEditor: line numbers and the error marker beside the text, each
// line's own line end, auto-indent and bracket matching.
#include "gui/code_editor.h"

#include "gui/text_file.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>

namespace {

constexpr int kMarginPadding = 4;  // pixels on each side of the numbers
constexpr int kTabWidth = 4;       // in spaces
// How far bracket matching looks for the other bracket, in characters, so
// that a cursor on a bracket of a huge text never stalls typing.
constexpr int kBracketScanLimit = 100000;

const QColor kErrorColor(0xD0, 0x20, 0x20);
const QColor kBracketColor(0xC8, 0xE6, 0xC9);

// The line end a line had in its file, kept on its block. When a typed line
// break splits a line, the part that keeps the old line end is chosen in
// InsertLineBreak; the other part has none and ends like new lines.
struct CLineEnd : QTextBlockUserData {
    explicit CLineEnd(QString text) : end(std::move(text)) {}
    QString end;
};

// The partner of an opening or closing bracket, or a null character.
QChar Partner(QChar c) {
    switch (c.unicode()) {
        case u'(':
            return u')';
        case u')':
            return u'(';
        case u'[':
            return u']';
        case u']':
            return u'[';
        case u'{':
            return u'}';
        case u'}':
            return u'{';
    }
    return {};
}

bool IsOpening(QChar c) { return c == u'(' || c == u'[' || c == u'{'; }

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
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CCodeEditor::FindMatchingBracket);
    connect(document(), &QTextDocument::contentsChange, this, &CCodeEditor::OnContentsChange);
    UpdateMarginWidth();
    UpdateTabWidth();
}

// ---- margin ----

int CCodeEditor::MarginWidth() const {
    int digits = 1;
    for (int n = qMax(1, blockCount()); n >= 10; n /= 10) ++digits;
    // The error marker takes the room of one more digit.
    return 2 * kMarginPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * (digits + 1);
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
    // The numbers and the tab width are measured in the editor's font.
    if (event->type() == QEvent::FontChange) {
        UpdateMarginWidth();
        UpdateTabWidth();
    }
}

void CCodeEditor::UpdateTabWidth() {
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * kTabWidth);
}

void CCodeEditor::PaintMargin(QPaintEvent* event) {
    QPainter painter(m_margin);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    const int width = m_margin->width() - kMarginPadding;
    const int lineHeight = fontMetrics().height();
    const int errorBlock = ErrorLine() - 1;
    // Only the lines that intersect the repainted band are drawn.
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            painter.drawText(0, top, width, lineHeight, Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
            if (block.blockNumber() == errorBlock) {
                const int size = lineHeight / 2;
                painter.save();
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(Qt::NoPen);
                painter.setBrush(kErrorColor);
                painter.drawEllipse(kMarginPadding, top + (lineHeight - size) / 2, size, size);
                painter.restore();
            }
        }
        block = block.next();
        top = bottom;
    }
}

// ---- text with its line ends ----

void CCodeEditor::SetFileText(const QString& text) {
    QStringList ends;
    setPlainText(SplitLineEnds(text, &ends));
    QTextBlock block = document()->begin();
    for (const QString& end : ends) {
        block.setUserData(new CLineEnd(end));
        block = block.next();
    }
    document()->setModified(false);
}

QString CCodeEditor::FileText(const QString& newLineEnd) const {
    QString text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        text += block.text();
        if (!block.next().isValid()) break;
        const auto* end = static_cast<const CLineEnd*>(block.userData());
        text += end ? end->end : newLineEnd;
    }
    return text;
}

void CCodeEditor::ForgetLineEnds() {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const auto* end = static_cast<const CLineEnd*>(block.userData());
        if (end && (end->end.endsWith(u'\n') || end->end == QLatin1String("\r")))
            block.setUserData(nullptr);
    }
}

QString CCodeEditor::LineText() const {
    // toPlainText would turn no-break spaces into spaces; the raw text keeps
    // them and separates lines by paragraph separators.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// ---- typing ----

void CCodeEditor::keyPressEvent(QKeyEvent* event) {
    // Shift+Enter would insert a U+2028 that looks like a line break but is
    // none to the interpreter; both keys break the line.
    const auto modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        InsertLineBreak();
        ensureCursorVisible();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CCodeEditor::InsertLineBreak() {
    // The new line starts with the blanks that start the line broken.
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QString line = cursor.block().text();
    qsizetype indent = 0;
    while (indent < cursor.positionInBlock() &&
           (line[indent] == QLatin1Char(' ') || line[indent] == QLatin1Char('\t')))
        ++indent;
    const bool atEnd = cursor.atBlockEnd();
    cursor.insertText(QLatin1Char('\n') + line.left(indent));
    cursor.endEditBlock();
    // A break at the end of a line adds a new line after it; anywhere else
    // the line's old end now follows the second part, so it moves there and
    // a break before a line leaves that line's end as it was.
    const QTextBlock first = cursor.block().previous();
    if (!atEnd && first.userData()) {
        cursor.block().setUserData(new CLineEnd(static_cast<CLineEnd*>(first.userData())->end));
        QTextBlock(first).setUserData(nullptr);
    }
    setTextCursor(cursor);
}

// ---- error marker ----

void CCodeEditor::GoToLine(int line) {
    QTextDocument* doc = document();
    setTextCursor(QTextCursor(doc->findBlockByNumber(qBound(1, line, doc->blockCount()) - 1)));
    centerCursor();
}

void CCodeEditor::MarkErrorLine(int line) {
    GoToLine(line);
    m_errorLine = textCursor();
    m_errorLine.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_errorText = m_errorLine.block().text();
    UpdateExtraSelections();
    m_margin->update();
}

int CCodeEditor::ErrorLine() const {
    return m_errorLine.isNull() ? 0 : m_errorLine.block().blockNumber() + 1;
}

void CCodeEditor::OnContentsChange() {
    if (m_errorLine.isNull()) return;
    // Highlighting reports its lines as changed too: the marker goes only
    // when the marked line's text or extent is no longer what was marked.
    const QTextBlock block = m_errorLine.block();
    if (block.text() == m_errorText && m_errorLine.selectionStart() == block.position() &&
        m_errorLine.selectionEnd() == block.position() + block.length() - 1)
        return;
    m_errorLine = QTextCursor();
    UpdateExtraSelections();
    m_margin->update();
}

// ---- bracket matching ----

void CCodeEditor::FindMatchingBracket() {
    m_brackets.clear();
    const QTextDocument* doc = document();
    const int position = textCursor().position();
    // The bracket before the cursor, else the one after it.
    int at = position - 1;
    if (at < 0 || Partner(doc->characterAt(at)).isNull()) at = position;
    const QChar bracket = doc->characterAt(at);
    const QChar partner = Partner(bracket);
    if (!partner.isNull()) {
        const int step = IsOpening(bracket) ? 1 : -1;
        const int end = step > 0 ? qMin(doc->characterCount(), at + kBracketScanLimit)
                                 : qMax(-1, at - kBracketScanLimit);
        int depth = 0;
        for (int i = at; i != end; i += step) {
            const QChar c = doc->characterAt(i);
            if (c == bracket) ++depth;
            if (c == partner && --depth == 0) {
                m_brackets = {qMin(at, i), qMax(at, i)};
                break;
            }
        }
    }
    UpdateExtraSelections();
}

void CCodeEditor::UpdateExtraSelections() {
    QList<QTextEdit::ExtraSelection> selections;
    if (!m_errorLine.isNull()) {
        QTextEdit::ExtraSelection error;
        error.cursor = m_errorLine;
        error.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        error.format.setUnderlineColor(kErrorColor);
        selections << error;
    }
    for (int at : m_brackets) {
        QTextEdit::ExtraSelection bracket;
        bracket.cursor = QTextCursor(document());
        bracket.cursor.setPosition(at);
        bracket.cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        bracket.format.setBackground(kBracketColor);
        selections << bracket;
    }
    setExtraSelections(selections);
}
