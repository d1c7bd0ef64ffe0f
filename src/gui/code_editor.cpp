// CCodeEditor: line numbers and the error marker beside the text, each
// line's own line end, auto-indent and bracket matching, the diagnostics'
// icons, underlines and tooltips, and highlighted lines.
#include "gui/code_editor.h"

#include "gui/text_file.h"

#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QTextBlock>
#include <QToolTip>

namespace {

constexpr int kMarginPadding = 4;  // pixels on each side of the numbers
constexpr int kTabWidth = 4;       // in spaces
// How far bracket matching looks for the other bracket, in characters, so
// that a cursor on a bracket of a huge text never stalls typing.
constexpr int kBracketScanLimit = 100000;

const QColor kErrorColor(0xD0, 0x20, 0x20);
const QColor kBracketColor(0xC8, 0xE6, 0xC9);
const QColor kWarningColor(0xE0, 0x90, 0x00);
const QColor kHighlightColor(0xFF, 0xE0, 0xB2);

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

// The index in `text` of the character at 1-based column `column`, columns
// counting code points; text.size() for a column past the end.
qsizetype IndexOfColumn(const QString& text, int column) {
    qsizetype i = 0;
    for (int c = 1; c < column && i < text.size(); ++c)
        i += text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    return i;
}

// A character of a name or a number as the interpreter reads them: any
// character outside ASCII counts.
bool IsNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c.unicode() > 0x7F; }

// The part of a line `text` a diagnostic underlines, as [start, end) indices.
QPair<qsizetype, qsizetype> UnderlinedPart(const QString& text, const CDiagnostic& diagnostic) {
    if (diagnostic.column == 0) return {0, text.size()};
    const qsizetype start = IndexOfColumn(text, diagnostic.column);
    if (diagnostic.endColumn > 0)
        return {start, qMax(start + 1, IndexOfColumn(text, diagnostic.endColumn))};
    // Past the end of the line, e.g. a missing ';': the line's last character.
    if (start >= text.size()) return {qMax<qsizetype>(0, text.size() - 1), text.size()};
    qsizetype end = start + 1;
    if (IsNameChar(text[start])) {
        while (end < text.size() && IsNameChar(text[end])) ++end;
    } else if (text[start].isSpace()) {
        end = text.size();
    } else {
        // Operators of two characters, such as "!=" and "<=", go whole.
        while (end < text.size() && end - start < 2 && !IsNameChar(text[end]) &&
               !text[end].isSpace() && QStringLiteral("=<>&|").contains(text[end]))
            ++end;
    }
    return {start, end};
}

}  // namespace

// The margin widget only forwards its painting to the editor, which knows
// where each line is drawn.
class CLineNumberMargin : public QWidget {
public:
    explicit CLineNumberMargin(CCodeEditor* editor) : QWidget(editor), m_editor(editor) {}

    QSize sizeHint() const override { return {m_editor->MarginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor->PaintMargin(event); }
    bool event(QEvent* event) override {
        return m_editor->MarginEvent(event) || QWidget::event(event);
    }

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
    // The markers take a square of the line's height before the numbers.
    return 3 * kMarginPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits +
           fontMetrics().height();
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
    // The worst diagnostic of each line: an error before a warning.
    QHash<int, CDiagnostic::Severity> worst;
    for (const CMarker& marker : m_markers) {
        const int number = marker.range.block().blockNumber();
        if (!worst.contains(number) || marker.diagnostic.severity == CDiagnostic::Severity::Error)
            worst.insert(number, marker.diagnostic.severity);
    }
    // Only the lines that intersect the repainted band are drawn.
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            painter.drawText(0, top, width, lineHeight, Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
            if (const auto found = worst.constFind(block.blockNumber()); found != worst.cend()) {
                const bool error = *found == CDiagnostic::Severity::Error;
                style()
                    ->standardIcon(error ? QStyle::SP_MessageBoxCritical
                                         : QStyle::SP_MessageBoxWarning)
                    .paint(&painter, kMarginPadding, top, lineHeight, lineHeight);
            } else if (block.blockNumber() == errorBlock) {
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

void CCodeEditor::ClearErrorLine() {
    if (m_errorLine.isNull()) return;
    m_errorLine = QTextCursor();
    UpdateExtraSelections();
    m_margin->update();
}

// ---- diagnostics and highlighted lines ----

void CCodeEditor::AddDiagnostics(const QList<CDiagnostic>& diagnostics) {
    if (diagnostics.isEmpty()) return;
    QTextDocument* doc = document();
    for (const CDiagnostic& diagnostic : diagnostics) {
        const QTextBlock block =
            doc->findBlockByNumber(qBound(1, diagnostic.line, doc->blockCount()) - 1);
        const auto [start, end] = UnderlinedPart(block.text(), diagnostic);
        QTextCursor range(block);
        range.setPosition(block.position() + int(start));
        range.setPosition(block.position() + int(end), QTextCursor::KeepAnchor);
        m_markers << CMarker{diagnostic, range, block.text()};
    }
    UpdateExtraSelections();
    m_margin->update();
    emit DiagnosticsChanged();
}

void CCodeEditor::ClearDiagnostics() {
    if (m_markers.isEmpty()) return;
    m_markers.clear();
    UpdateExtraSelections();
    m_margin->update();
    emit DiagnosticsChanged();
}

QList<CDiagnostic> CCodeEditor::DiagnosticsOn(int line) const {
    QList<CDiagnostic> found;
    for (const CMarker& marker : m_markers)
        if (marker.range.block().blockNumber() == line - 1) found << marker.diagnostic;
    return found;
}

QList<QPair<int, int>> CCodeEditor::DiagnosticRanges() const {
    QList<QPair<int, int>> ranges;
    for (const CMarker& marker : m_markers)
        ranges << qMakePair(marker.range.selectionStart(), marker.range.selectionEnd());
    return ranges;
}

void CCodeEditor::HighlightLines(const QList<int>& lines) {
    m_highlights.clear();
    QTextDocument* doc = document();
    for (int line : lines)
        if (line >= 1 && line <= doc->blockCount())
            m_highlights << QTextCursor(doc->findBlockByNumber(line - 1));
    m_highlightRevision = doc->revision();
    UpdateExtraSelections();
}

void CCodeEditor::ClearHighlightedLines() {
    if (m_highlights.isEmpty()) return;
    m_highlights.clear();
    UpdateExtraSelections();
}

QList<int> CCodeEditor::HighlightedLines() const {
    QList<int> lines;
    for (const QTextCursor& at : m_highlights) lines << at.blockNumber() + 1;
    return lines;
}

bool CCodeEditor::MarginEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    const QTextBlock block = cursorForPosition(QPoint(0, help->pos().y())).block();
    QStringList texts;
    for (const CDiagnostic& diagnostic : DiagnosticsOn(block.blockNumber() + 1))
        texts << diagnostic.Description();
    ShowToolTip(help->globalPos(), texts.join(QLatin1Char('\n')));
    return true;
}

bool CCodeEditor::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QPlainTextEdit::viewportEvent(event);
    // The messages of the underlines under the mouse.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QTextCursor at = cursorForPosition(help->pos());
    const int position = at.position();
    // cursorForPosition gives the nearer edge of a character; the character
    // hovered is the one whose box holds the mouse.
    const int character = cursorRect(at).center().x() > help->pos().x() ? position - 1 : position;
    QStringList texts;
    for (const CMarker& marker : m_markers)
        if (marker.range.block() == at.block() && character >= marker.range.selectionStart() &&
            character < qMax(marker.range.selectionEnd(), marker.range.selectionStart() + 1))
            texts << marker.diagnostic.Description();
    ShowToolTip(help->globalPos(), texts.join(QLatin1Char('\n')));
    return true;
}

void CCodeEditor::ShowToolTip(const QPoint& globalPos, const QString& text) {
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, text, this);
}

void CCodeEditor::OnContentsChange() {
    bool changed = false;
    // Any edit ends the highlighting of lines; highlighting the syntax
    // reports changes too, but leaves the revision as it was.
    if (!m_highlights.isEmpty() && document()->revision() != m_highlightRevision) {
        m_highlights.clear();
        changed = true;
    }
    // A diagnostic goes with the text it was about.
    const qsizetype markers = m_markers.size();
    m_markers.removeIf([](const CMarker& marker) {
        return marker.range.document()->findBlock(marker.range.selectionStart()).text() !=
               marker.lineText;
    });
    if (m_markers.size() != markers) {
        changed = true;
        m_margin->update();
        emit DiagnosticsChanged();
    }
    if (changed) UpdateExtraSelections();
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
    for (const QTextCursor& at : m_highlights) {
        QTextEdit::ExtraSelection line;
        line.cursor = at;
        line.format.setBackground(kHighlightColor);
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        selections << line;
    }
    // A diagnostic's underline says more than the whole line's.
    bool lineHasDiagnostic = false;
    for (const CMarker& marker : m_markers) {
        QTextEdit::ExtraSelection underline;
        underline.cursor = marker.range;
        underline.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        underline.format.setUnderlineColor(
            marker.diagnostic.severity == CDiagnostic::Severity::Error ? kErrorColor
                                                                       : kWarningColor);
        selections << underline;
        if (!m_errorLine.isNull() && marker.range.block() == m_errorLine.block())
            lineHasDiagnostic = true;
    }
    if (!m_errorLine.isNull() && !lineHasDiagnostic) {
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
