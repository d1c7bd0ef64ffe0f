// CInterpreterProbe: the interpreter's --help text read for its options.
#include "gui/interpreter_probe.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

CInterpreterFeatures CInterpreterProbe::FromHelp(const QString& help) {
    CInterpreterFeatures features;
    features.jsonDiagnostics = help.contains(QLatin1String("--diagnostics"));
    features.explain = help.contains(QLatin1String("--explain"));
    return features;
}

CInterpreterFeatures CInterpreterProbe::Features(const QString& program) {
    const QFileInfo file(program);
    const QString key = file.canonicalFilePath().isEmpty() ? program : file.canonicalFilePath();
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd() && cached->modified == file.lastModified() &&
        cached->size == file.size())
        return cached->features;

    CEntry entry{file.lastModified(), file.size(), {}};
    QProcess help;
    help.setProcessChannelMode(QProcess::MergedChannels);
    help.setStandardInputFile(QProcess::nullDevice());
    help.start(program, {QStringLiteral("--help")}, QIODevice::ReadOnly);
    QByteArray text;
    if (help.waitForStarted(kTimeoutMs)) {
        // Read as it comes, so that a flood neither fills the pipe nor memory.
        QDeadlineTimer deadline(kTimeoutMs);
        while (help.state() != QProcess::NotRunning && text.size() < kMaxHelpBytes &&
               !deadline.hasExpired()) {
            help.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
            text += help.read(kMaxHelpBytes - text.size());
        }
        text += help.read(kMaxHelpBytes - text.size());
        if (help.state() != QProcess::NotRunning) {
            help.kill();
            help.waitForFinished(kTimeoutMs);
        }
        entry.features = FromHelp(QString::fromUtf8(text));
    }
    m_cache.insert(key, entry);
    return entry.features;
}
