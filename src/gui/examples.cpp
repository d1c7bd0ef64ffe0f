// Locating the bundled example puzzles.
#include "gui/examples.h"

#include <QDir>

QStringList ExampleFiles(const QString& dir) {
    if (dir.isEmpty()) return {};
    return QDir(dir).entryList({QStringLiteral("*.tvk")}, QDir::Files | QDir::Readable, QDir::Name);
}

QString FindExamplesDir(const QString& programDir, const QString& sourceDir) {
    const QString installed = QDir(programDir).filePath(QStringLiteral("../share/tovik/examples"));
    for (const QString& dir : {installed, sourceDir}) {
        if (!ExampleFiles(dir).isEmpty()) return QDir::cleanPath(QDir(dir).absolutePath());
    }
    return {};
}
