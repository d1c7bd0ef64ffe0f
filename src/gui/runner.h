// CRunner: runs the console interpreter as a child process and turns its
// output into display text. Used by the editor window's Run and Stop commands;
// it needs no window, so the tests drive it directly.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

class CRunner : public QObject
{
    Q_OBJECT

public:
    // Output is taken from the child in chunks of at most this many bytes.
    static constexpr qint64 kChunkBytes = 8191;

    explicit CRunner(QObject* parent = nullptr);
    ~CRunner() override;

    // Starts `program` with `arguments` in `workingDirectory`, standard output
    // and standard error merged, standard input empty. Returns false, and does
    // nothing, while a run is going. A program that cannot be started is
    // reported through Output and ends the run through Finished.
    bool Start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory);

    // Kills the child of the current run; the run then ends through Finished
    // after every byte the child wrote before has been shown.
    void Cancel();

    bool IsRunning() const { return m_running; }

    // Blocks until the current run has ended, at most `msecs`. For closing.
    void WaitForEnd(int msecs);

    // The byte transformations applied to one chunk: each backspace becomes a
    // space, and the chunk is cut at the first "Press any key to continue . . .".
    static QByteArray TransformChunk(QByteArray chunk);

signals:
    // Display text: decoded from GBK, line ends as '\n'.
    void Output(const QString& text);
    void Finished();

private:
    void OnReadyRead();
    void OnProcessFinished();
    void OnErrorOccurred(QProcess::ProcessError error);
    void DrainOneChunk();
    void DrainAll();
    void Emit(const QString& crlfText);
    void ReportError(const QString& message);
    void EndRun();

    QProcess m_process;
    QStringDecoder m_decoder;
    bool m_running = false;
    bool m_cancelRequested = false;
    bool m_drainScheduled = false;
    bool m_pendingCr = false; // a chunk ended with '\r'; the next may start with '\n'
};
