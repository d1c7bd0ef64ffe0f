// COutputLog: the whole output of a run, in memory or in a temporary file.
#include "gui/output_log.h"

#include <QDir>
#include <QSaveFile>

namespace {

constexpr qint64 kCopyBytes = 1 << 20;  // bytes copied at a time when saving from the file

}  // namespace

void COutputLog::Clear() {
    m_memory.clear();
    m_file.reset();
    m_lost.clear();
}

void COutputLog::Append(const QString& text) {
    if (!m_lost.isEmpty()) return;
    if (!m_file) {
        m_memory += text.toUtf8();
        if (m_memory.size() > kMemoryBytes) MoveToFile();
        return;
    }
    const QByteArray bytes = text.toUtf8();
    if (m_file->write(bytes) != bytes.size()) m_lost = m_file->errorString();
}

void COutputLog::MoveToFile() {
    m_file = std::make_unique<QTemporaryFile>(
        QDir::temp().filePath(QStringLiteral("tovikwin-output-XXXXXX")));
    if (!m_file->open() || m_file->write(m_memory) != m_memory.size()) {
        m_lost = m_file->errorString();
        m_file.reset();
    }
    m_memory.clear();
}

bool COutputLog::Save(const QString& path, QString* error) {
    if (!m_lost.isEmpty()) {
        *error = QStringLiteral("The output could not be kept whole: %1").arg(m_lost);
        return false;
    }
    QSaveFile out(path);
    out.setDirectWriteFallback(true);
    bool ok = out.open(QIODevice::WriteOnly);
    if (ok && m_file) {
        ok = m_file->flush() && m_file->seek(0);
        while (ok && !m_file->atEnd()) {
            const QByteArray chunk = m_file->read(kCopyBytes);
            ok = !chunk.isEmpty() && out.write(chunk) == chunk.size();
        }
        // Later output is appended at the end again.
        m_file->seek(m_file->size());
        if (!ok && out.error() == QFileDevice::NoError) *error = m_file->errorString();
    } else if (ok) {
        ok = out.write(m_memory) == m_memory.size();
    }
    if (ok && out.commit()) return true;
    if (error->isEmpty()) *error = out.errorString();
    return false;
}
