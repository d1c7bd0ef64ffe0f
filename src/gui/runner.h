// CRunner: runs the console interpreter as a child process in its own
// process group and turns its output into display text. Used by the editor
// window's Run and Stop commands; it needs no window, so the tests drive it
// directly.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QTimer>

class CRunner : public QObject {
    Q_OBJECT

public:
    // Output is taken from the child in chunks of at most this many bytes.
    static constexpr qint64 kChunkBytes = 8191;
    // How long Cancel lets the interrupted child end before killing its group.
    static constexpr int kKillDelayMs = 1000;

    // How the last run ended.
    enum class End { None, Finished, Stopped, Failed };

    explicit CRunner(QObject* parent = nullptr);
    ~CRunner() override;

    // Starts `program` with `arguments` in `workingDirectory`, standard output
    // and standard error merged, standard input empty, output asked for in
    // UTF-8. Returns false, and does nothing, while a run is going. A program
    // that cannot be started is reported through Notice and ends the run
    // through Finished.
    bool Start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory);

    // Interrupts the child's process group, and kills the group if the child
    // has not ended kKillDelayMs later. The run then ends through Finished
    // after every byte the child wrote has been shown.
    void Cancel();

    bool IsRunning() const { return m_running; }
    End LastEnd() const { return m_end; }
    // The exit status of the last run's child when it exited by itself.
    int ExitCode() const { return m_exitCode; }

    // Blocks until the current run has ended, at most `msecs`, cancelling
    // with the same escalation as Cancel. For closing.
    void WaitForEnd(int msecs);

    // The byte transformations applied to one chunk: each backspace becomes a
    // space, and the chunk is cut at the first "Press any key to continue . . .".
    static QByteArray TransformChunk(QByteArray chunk);

signals:
    // The child's output as display text: decoded from UTF-8, line ends '\n'.
    void Output(const QString& text);
    // The runner's own reports (failures, the cancellation), display text.
    void Notice(const QString& text);
    void Finished();

private:
    void OnReadyRead();
    void OnProcessFinished();
    void OnErrorOccurred(QProcess::ProcessError error);
    void DrainOneChunk();
    void DrainAll();
    QString ToDisplay(const QString& crlfText);
    void Signal(int signal);
    void KillGroup();
    void ReportError(const QString& message, const QString& reason);
    void EndRun(End end);

    QProcess m_process;
    QStringDecoder m_decoder;
    QTimer m_killTimer;
    qint64 m_group = 0;  // process group of the current child, 0 when none
    bool m_running = false;
    bool m_cancelRequested = false;
    bool m_drainScheduled = false;
    bool m_pendingCr = false;  // a chunk ended with '\r'; the next may start with '\n'
    End m_end = End::None;
    int m_exitCode = 0;
};
