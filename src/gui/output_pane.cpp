// COutputPane: batched output, the line cap with its note, jumps to the
// places output lines refer to.
#include "gui/output_pane.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

COutputPane::COutputPane(QWidget* parent) : QPlainTextEdit(parent) {
    // Output is read, selected and copied, never typed over.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    m_batch.setSingleShot(true);
    m_batch.setInterval(kBatchMs);
    connect(&m_batch, &QTimer::timeout, this, &COutputPane::Flush);
}

void COutputPane::Append(const QString& text) {
    if (text.isEmpty()) return;
    m_log.Append(text);
    m_pending += text;
    if (!m_batch.isActive()) m_batch.start();
}

void COutputPane::ClearOutput() {
    m_batch.stop();
    m_pending.clear();
    m_dropped = 0;
    m_log.Clear();
    clear();
}

bool COutputPane::SaveOutput(const QString& path, QString* error) {
    return m_log.Save(path, error);
}

void COutputPane::Flush() {
    m_batch.stop();
    if (m_pending.isEmpty()) return;
    QString text;
    text.swap(m_pending);
    // The view follows the end only while it shows the end; otherwise the
    // lines in view stay in view, as far as they are kept. `top` counts from
    // the first line ever shown, dropped ones included.
    QScrollBar* bar = verticalScrollBar();
    const bool follow = bar->value() >= bar->maximum();
    const bool hadNote = HasNote();
    const qint64 top = bar->value() + m_dropped - (hadNote ? 1 : 0);
    InsertKeepingLastLines(text);
    UpdateNote(hadNote);
    const qint64 note = HasNote() ? 1 : 0;
    bar->setValue(follow ? bar->maximum() : int(qMax<qint64>(0, top - m_dropped + note)));
}

void COutputPane::InsertKeepingLastLines(const QString& text) {
    // Lines are counted by their line ends: the pane keeps at most kMaxLines
    // complete lines and the line being written after them.
    const bool hadNote = HasNote();
    const qint64 paneEnds = blockCount() - 1 - (hadNote ? 1 : 0);
    const qint64 textEnds = text.count(QLatin1Char('\n'));
    if (textEnds <= kMaxLines) {
        InsertAtEnd(text);
        if (paneEnds + textEnds > kMaxLines) DropFirstLines(int(paneEnds + textEnds - kMaxLines));
        return;
    }
    // The batch alone fills the pane: the pane's text and the head of the
    // batch go without ever being shown.
    qsizetype cut = -1;
    for (qint64 n = textEnds - kMaxLines; n > 0; --n)
        cut = text.indexOf(QLatin1Char('\n'), cut + 1);
    m_dropped += paneEnds + textEnds - kMaxLines;
    QTextDocument* doc = document();
    QTextCursor cursor(doc);
    if (hadNote) cursor.setPosition(doc->findBlockByNumber(1).position());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    InsertAtEnd(text.mid(cut + 1));
}

void COutputPane::InsertAtEnd(const QString& text) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

void COutputPane::DropFirstLines(int count) {
    QTextDocument* doc = document();
    const int first = HasNote() ? 1 : 0;
    QTextCursor cursor(doc);
    cursor.setPosition(doc->findBlockByNumber(first).position());
    cursor.setPosition(doc->findBlockByNumber(first + count).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_dropped += count;
}

void COutputPane::UpdateNote(bool hadNote) {
    if (!HasNote()) return;
    const QString note = QStringLiteral("[%1 earlier lines dropped]").arg(m_dropped);
    QTextCursor cursor(document());
    if (hadNote) {
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(note);
    } else {
        cursor.insertText(note + QLatin1Char('\n'));
    }
}

void COutputPane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QTextBlock block = cursorForPosition(event->position().toPoint()).block();
        if (const CSourcePlace place = OutputLinePlace(block.text(), m_runFileName); place.line) {
            emit PlaceActivated(place);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::mouseDoubleClickEvent(event);
}
