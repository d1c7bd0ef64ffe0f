// COutputLog: everything the output pane was given since it was last
// cleared, for Save Output As: the pane keeps only the last lines of a
// flood, the log keeps them all, in memory while small and in a temporary
// file once large. Owned by the output pane.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

#include <memory>

class COutputLog {
public:
    // Text beyond this many bytes moves to a temporary file.
    static constexpr qsizetype kMemoryBytes = 1 << 20;

    void Clear();
    // Adds display text; it is kept as UTF-8.
    void Append(const QString& text);
    // Writes everything kept to `path`; false, with the reason in `error`,
    // when the file cannot be written or part of the log could not be kept.
    bool Save(const QString& path, QString* error);

private:
    void MoveToFile();

    QByteArray m_memory;
    std::unique_ptr<QTemporaryFile> m_file;
    QString m_lost;  // why part of the log could not be kept, empty when all is kept
};
