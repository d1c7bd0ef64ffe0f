// Locating the bundled example puzzles and language guides.
#include "gui/examples.h"

#include <QDir>
#include <QFileInfo>

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

QString FindGuide(const QString& programDir, const QString& sourceDir, const QLocale& locale,
                  QStringList* searched) {
    const QString name = locale.language() == QLocale::Chinese
                             ? QStringLiteral("语言指南.md")
                             : QStringLiteral("language-guide.md");
    const QString installed = QDir(programDir).filePath(QStringLiteral("../share/tovik/docs"));
    for (const QString& dir : {installed, sourceDir}) {
        if (dir.isEmpty()) continue;
        const QString path = QDir::cleanPath(QDir(dir).absoluteFilePath(name));
        searched->append(path);
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}
