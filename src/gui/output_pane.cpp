// COutputPane: batched output, the line cap with its note, error-line jumps.
#include "gui/output_pane.h"

#include "gui/run_tally.h"

#include <QMouseEvent>
#include <QTextBlock>

COutputPane::COutputPane(QWidget* parent) : QPlainTextEdit(parent) {
    m_batch.setSingleShot(true);
    m_batch.setInterval(kBatchMs);
    connect(&m_batch, &QTimer::timeout, this, &COutputPane::Flush);
}

void COutputPane::Append(const QString& text) {
    if (text.isEmpty()) return;
    m_pending += text;
    if (!m_batch.isActive()) m_batch.start();
}

void COutputPane::ClearOutput() {
    m_batch.stop();
    m_pending.clear();
    m_dropped = 0;
    clear();
}

void COutputPane::Flush() {
    m_batch.stop();
    if (m_pending.isEmpty()) return;
    QString text;
    text.swap(m_pending);
    const bool hadNote = HasNote();

    // Lines are counted by their line ends: the pane keeps at most kMaxLines
    // complete lines and the line being written after them.
    const int noteBlocks = hadNote ? 1 : 0;
    const qint64 paneEnds = blockCount() - 1 - noteBlocks;
    const qint64 textEnds = text.count(QLatin1Char('\n'));
    QTextDocument* doc = document();
    // Output is no edit of the user's: it cannot be undone.
    doc->setUndoRedoEnabled(false);
    if (textEnds > kMaxLines) {
        // The batch alone fills the pane: the pane's text and the head of the
        // batch go without ever being shown.
        qsizetype cut = -1;
        for (qint64 n = textEnds - kMaxLines; n > 0; --n)
            cut = text.indexOf(QLatin1Char('\n'), cut + 1);
        m_dropped += paneEnds + textEnds - kMaxLines;
        QTextCursor cursor(doc);
        if (hadNote) cursor.setPosition(doc->findBlockByNumber(1).position());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        InsertAtEnd(text.mid(cut + 1));
    } else {
        InsertAtEnd(text);
        if (paneEnds + textEnds > kMaxLines) DropFirstLines(int(paneEnds + textEnds - kMaxLines));
    }
    UpdateNote(hadNote);
    doc->setUndoRedoEnabled(true);
    moveCursor(QTextCursor::End);
    ensureCursorVisible();
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
        if (const int line = ErrorLineNumber(block.text())) {
            emit ErrorLineActivated(line);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::mouseDoubleClickEvent(event);
}
