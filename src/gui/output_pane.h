// COutputPane: the read-only pane that shows the interpreter's output. Text
// arrives in many small pieces; the pane gathers them and shows them in
// batches on a timer, follows the end only while the view is at the end,
// keeps only the last lines of a flood with a note saying how many earlier
// lines it dropped (all of them stay in its log for Save Output As), and
// turns a double-click on an error line, a diagnostic or a reference to the
// run file into a request to show that place in the editor.
#pragma once

#include "gui/diagnostic.h"
#include "gui/output_log.h"

#include <QPlainTextEdit>
#include <QTimer>

class COutputPane : public QPlainTextEdit {
    Q_OBJECT

public:
    // Lines kept in the pane; the note on dropped lines comes on top of them.
    static constexpr int kMaxLines = 10000;
    // Pending text is shown at most this long after it arrived.
    static constexpr int kBatchMs = 50;

    explicit COutputPane(QWidget* parent = nullptr);

    // Queues text (line ends '\n') for the next batch.
    void Append(const QString& text);
    // Shows the queued text now.
    void Flush();
    // Empties the pane, the queue, the log and the count of dropped lines.
    void ClearOutput();
    // Writes all the text given since the last ClearOutput, dropped lines
    // included, to `path` as UTF-8.
    bool SaveOutput(const QString& path, QString* error);

    // Complete lines dropped from the top since the last ClearOutput.
    qint64 DroppedLines() const { return m_dropped; }

    // The name of the file the interpreter was given: lines "NAME:LINE: ..."
    // refer to its line LINE.
    void SetRunFileName(const QString& name) { m_runFileName = name; }

signals:
    // A double-click on an error line "N 行: ...", a diagnostic
    // "LINE:COLUMN: error: ..." or a reference "NAME:LINE: ..." asks to show
    // that place (column 0: the line).
    void PlaceActivated(const CSourcePlace& place);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The first line of the document when lines have been dropped.
    bool HasNote() const { return m_dropped > 0; }
    void InsertKeepingLastLines(const QString& text);
    void InsertAtEnd(const QString& text);
    void DropFirstLines(int count);
    void UpdateNote(bool hadNote);

    QString m_pending;
    COutputLog m_log;
    QTimer m_batch;
    qint64 m_dropped = 0;
    QString m_runFileName;
};
