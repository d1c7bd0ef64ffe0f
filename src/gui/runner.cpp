// CRunner: one run of the console interpreter at a time in a process group
// of its own, its merged output read in chunks, transformed, decoded from
// UTF-8 and handed on as display text.
#include "gui/runner.h"

#include <QDeadlineTimer>

#include <sys/prctl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

// The console interpreter may end with a pause prompt; the editor has no key
// to press, so the prompt and the rest of its chunk are not shown.
constexpr char kPausePrompt[] = "Press any key to continue . . .";

constexpr char kCancelledText[] = "\r\nCancelled: the run was stopped.\r\n";

// Shown when the system gives no reason for a failure.
constexpr char kNoReasonText[] = "No status because FormatMessage failed.\r\n";

// A report text with the editor's line ends.
QString Lf(const char* text) {
    return QString::fromLatin1(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

CRunner::CRunner(QObject* parent) : QObject(parent) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    // The child leads a process group of its own, so that Stop reaches
    // whatever it starts in turn, and is killed when the editor dies in any
    // way. An editor that died before the request took effect has already
    // left the child to another parent: then the child ends at once.
    const pid_t editor = ::getpid();
    m_process.setChildProcessModifier([editor] {
        ::setpgid(0, 0);
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != editor) ::_exit(127);
    });
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(kKillDelayMs);
    connect(&m_killTimer, &QTimer::timeout, this, &CRunner::KillGroup);
    connect(&m_process, &QProcess::started, this, [this] { m_group = m_process.processId(); });
    connect(&m_process, &QProcess::readyRead, this, &CRunner::OnReadyRead);
    connect(&m_process, &QProcess::finished, this, &CRunner::OnProcessFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &CRunner::OnErrorOccurred);
}

CRunner::~CRunner() {
    // The child must not outlive the editor, and its end must not reach the
    // slots of an object that is being destroyed.
    disconnect(&m_process, nullptr, this, nullptr);
    if (m_process.state() != QProcess::NotRunning) {
        Signal(SIGKILL);
        m_process.waitForFinished(5000);
    }
}

bool CRunner::Start(const QString& program, const QStringList& arguments,
                    const QString& workingDirectory) {
    if (m_running) return false;
    m_running = true;
    m_cancelRequested = false;
    m_pendingCr = false;
    m_group = 0;
    m_end = End::None;
    m_exitCode = 0;
    m_decoder = QStringDecoder(QStringDecoder::Utf8);
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TOVIK_ENCODING"), QStringLiteral("utf-8"));
    m_process.setProcessEnvironment(environment);
    // A failure to start may be reported from inside start(); the run is
    // already marked as going, so OnErrorOccurred ends it cleanly.
    m_process.start(QIODevice::ReadOnly);
    if (m_process.state() != QProcess::NotRunning) m_group = m_process.processId();
    return true;
}

void CRunner::Signal(int signal) {
    if (m_group > 0 && ::kill(-pid_t(m_group), signal) != 0 && errno != ESRCH && m_running)
        ReportError(QStringLiteral("Error terminating process."),
                    QString::fromLocal8Bit(std::strerror(errno)));
}

void CRunner::KillGroup() {
    if (m_process.state() != QProcess::NotRunning) Signal(SIGKILL);
}

void CRunner::Cancel() {
    if (!m_running || m_process.state() == QProcess::NotRunning || m_cancelRequested) return;
    m_cancelRequested = true;
    Signal(SIGINT);
    m_killTimer.start();
}

void CRunner::WaitForEnd(int msecs) {
    if (!m_running || m_process.state() == QProcess::NotRunning) return;
    const QDeadlineTimer deadline(msecs);
    Cancel();
    if (!m_process.waitForFinished(qMin(kKillDelayMs, msecs))) {
        KillGroup();
        m_process.waitForFinished(int(deadline.remainingTime()));
    }
}

QByteArray CRunner::TransformChunk(QByteArray chunk) {
    chunk.replace('\b', ' ');
    const qsizetype prompt = chunk.indexOf(kPausePrompt);
    if (prompt >= 0) chunk.truncate(prompt);
    return chunk;
}

void CRunner::OnReadyRead() {
    // One chunk per turn of the event loop, so that a child flooding its
    // output cannot starve the window of repaints and input.
    DrainOneChunk();
    if (m_process.bytesAvailable() > 0 && !m_drainScheduled) {
        m_drainScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_drainScheduled = false;
            if (m_running) OnReadyRead();
        });
    }
}

void CRunner::DrainOneChunk() {
    const QByteArray chunk = m_process.read(kChunkBytes);
    if (chunk.isEmpty()) return;
    // The decoder keeps the first bytes of a character split between chunks.
    const QString text = ToDisplay(m_decoder.decode(TransformChunk(chunk)));
    if (!text.isEmpty()) emit Output(text);
}

void CRunner::DrainAll() {
    while (m_process.bytesAvailable() > 0) DrainOneChunk();
}

void CRunner::OnProcessFinished() {
    if (!m_running) return;
    m_killTimer.stop();
    // Everything the child wrote before it ended is shown, however it ended.
    DrainAll();
    if (m_pendingCr) {
        m_pendingCr = false;
        emit Output(QStringLiteral("\n"));
    }
    if (m_cancelRequested) {
        // Whatever the interrupted child left behind in its group goes too.
        Signal(SIGKILL);
        emit Notice(Lf(kCancelledText));
        EndRun(End::Stopped);
        return;
    }
    if (m_process.exitStatus() == QProcess::NormalExit) m_exitCode = m_process.exitCode();
    const bool ok = m_process.exitStatus() == QProcess::NormalExit && m_exitCode == 0;
    EndRun(ok ? End::Finished : End::Failed);
}

void CRunner::OnErrorOccurred(QProcess::ProcessError error) {
    if (!m_running) return;
    switch (error) {
        case QProcess::FailedToStart:
            // No finished signal follows a failed start: the run ends here.
            ReportError(QStringLiteral("Error creating process"), m_process.errorString());
            EndRun(End::Failed);
            break;
        case QProcess::ReadError:
            ReportError(QStringLiteral("ReadFile fialed"), m_process.errorString());
            break;
        default:
            // A crash or a kill ends through OnProcessFinished; the output says
            // what the child managed to print.
            break;
    }
}

void CRunner::ReportError(const QString& message, const QString& reason) {
    emit Notice(message + QLatin1Char('\n') +
                (reason.isEmpty() ? Lf(kNoReasonText) : reason + QLatin1Char('\n')));
}

void CRunner::EndRun(End end) {
    m_killTimer.stop();
    m_group = 0;
    m_end = end;
    m_running = false;
    emit Finished();
}

QString CRunner::ToDisplay(const QString& crlfText) {
    // CR LF and a lone CR both end a line; a CR at the end of a chunk waits
    // for the next chunk to tell which of the two it is.
    QString text;
    text.reserve(crlfText.size() + 1);
    qsizetype i = 0;
    if (m_pendingCr && !crlfText.isEmpty()) {
        m_pendingCr = false;
        text += QLatin1Char('\n');
        if (crlfText.front() == QLatin1Char('\n')) i = 1;
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
    return text;
}
