// Where the bundled files are: the example puzzles and the language guides,
// installed beside the program (../share/tovik/...), else the source tree's
// copies for a program run from its build directory. Used by the editor
// window's Examples and Help menus.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The examples directory, or an empty text when there is none with a
// puzzle in it. `sourceDir` is the source tree's examples directory, or empty.
QString FindExamplesDir(const QString& programDir, const QString& sourceDir);

// The puzzle files (*.tvk) of `dir`, by name.
QStringList ExampleFiles(const QString& dir);

// The language guide in the language of `locale` (Chinese for a Chinese
// locale, English otherwise), or an empty text when it is in none of the
// places looked at, which `searched` receives. `sourceDir` is the source
// tree's docs directory, or empty.
QString FindGuide(const QString& programDir, const QString& sourceDir, const QLocale& locale,
                  QStringList* searched);
