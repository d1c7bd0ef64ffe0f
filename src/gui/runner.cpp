// CRunner: one run of the console interpreter at a time, its merged output
// read in chunks, transformed, decoded from GBK and handed on as display text.
#include "gui/runner.h"

#include <QTimer>

namespace {

// The console interpreter may end with a pause prompt; the editor has no key
// to press, so the prompt and the rest of its chunk are not shown.
constexpr char kPausePrompt[] = "Press any key to continue . . .";

constexpr char kCancelledText[] = "\r\nCancelled.\r\n\r\nProcess terminated successfully.\r\n";

// Shown when the system gives no reason for a failure.
constexpr char kNoReasonText[] = "No status because FormatMessage failed.\r\n";

} // namespace

CRunner::CRunner(QObject* parent)
    : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::readyRead, this, &CRunner::OnReadyRead);
    connect(&m_process, &QProcess::finished, this, &CRunner::OnProcessFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &CRunner::OnErrorOccurred);
}

CRunner::~CRunner()
{
    // The child must not outlive the editor, and its end must not reach the
    // slots of an object that is being destroyed.
    disconnect(&m_process, nullptr, this, nullptr);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool CRunner::Start(const QString& program, const QStringList& arguments,
                    const QString& workingDirectory)
{
    if (m_running)
        return false;
    m_running = true;
    m_cancelRequested = false;
    m_pendingCr = false;
    m_decoder = QStringDecoder("GB18030");
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setWorkingDirectory(workingDirectory);
    // The interpreter writes to a pipe in the encoding of the puzzle, which
    // the editor writes as GBK; an output encoding forced in the user's
    // environment would make the output unreadable here.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TOVIK_ENCODING"));
    m_process.setProcessEnvironment(environment);
    // A failure to start may be reported from inside start(); the run is
    // already marked as going, so OnErrorOccurred ends it cleanly.
    m_process.start(QIODevice::ReadOnly);
    return true;
}

void CRunner::Cancel()
{
    if (!m_running || m_process.state() == QProcess::NotRunning)
        return;
    m_cancelRequested = true;
    m_process.kill();
}

void CRunner::WaitForEnd(int msecs)
{
    if (m_running && m_process.state() != QProcess::NotRunning)
        m_process.waitForFinished(msecs);
}

QByteArray CRunner::TransformChunk(QByteArray chunk)
{
    chunk.replace('\b', ' ');
    const qsizetype prompt = chunk.indexOf(kPausePrompt);
    if (prompt >= 0)
        chunk.truncate(prompt);
    return chunk;
}

void CRunner::OnReadyRead()
{
    // One chunk per turn of the event loop, so that a child flooding its
    // output cannot starve the window of repaints and input.
    DrainOneChunk();
    if (m_process.bytesAvailable() > 0 && !m_drainScheduled) {
        m_drainScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_drainScheduled = false;
            if (m_running)
                OnReadyRead();
        });
    }
}

void CRunner::DrainOneChunk()
{
    const QByteArray chunk = m_process.read(kChunkBytes);
    if (chunk.isEmpty())
        return;
    // The decoder keeps the lead byte of a character split between chunks.
    Emit(m_decoder.decode(TransformChunk(chunk)));
}

void CRunner::DrainAll()
{
    while (m_process.bytesAvailable() > 0)
        DrainOneChunk();
}

void CRunner::OnProcessFinished()
{
    if (!m_running)
        return;
    // Everything the child wrote before it ended is shown, however it ended.
    DrainAll();
    if (m_cancelRequested && m_process.exitStatus() == QProcess::CrashExit)
        Emit(QString::fromLatin1(kCancelledText));
    EndRun();
}

void CRunner::OnErrorOccurred(QProcess::ProcessError error)
{
    if (!m_running)
        return;
    switch (error) {
    case QProcess::FailedToStart:
        // No finished signal follows a failed start: the run ends here.
        ReportError(QStringLiteral("Error creating process"));
        EndRun();
        break;
    case QProcess::ReadError:
        ReportError(QStringLiteral("ReadFile fialed"));
        break;
    default:
        // A crash or a kill ends through OnProcessFinished; the output says
        // what the child managed to print.
        break;
    }
}

void CRunner::ReportError(const QString& message)
{
    const QString reason = m_process.errorString();
    Emit(message + QStringLiteral("\r\n")
         + (reason.isEmpty() ? QString::fromLatin1(kNoReasonText) : reason + QStringLiteral("\r\n")));
}

void CRunner::EndRun()
{
    if (m_pendingCr) {
        m_pendingCr = false;
        emit Output(QStringLiteral("\n"));
    }
    m_running = false;
    emit Finished();
}

void CRunner::Emit(const QString& crlfText)
{
    // CR LF and a lone CR both end a line; a CR at the end of a chunk waits
    // for the next chunk to tell which of the two it is.
    QString text;
    text.reserve(crlfText.size() + 1);
    qsizetype i = 0;
    if (m_pendingCr && !crlfText.isEmpty()) {
        m_pendingCr = false;
        text += QLatin1Char('\n');
        if (crlfText.front() == QLatin1Char('\n'))
            i = 1;
    }
    for (; i < crlfText.size(); ++i) {
        const QChar c = crlfText[i];
        if (c != QLatin1Char('\r')) {
            text += c;
        } else if (i + 1 == crlfText.size()) {
            m_pendingCr = true;
        } else if (crlfText[i + 1] != QLatin1Char('\n')) {
            text += QLatin1Char('\n');
        }
    }
    if (!text.isEmpty())
        emit Output(text);
}
