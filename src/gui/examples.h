// Where the bundled example puzzles are: the installed copy beside the
// program (../share/tovik/examples), else the source tree's for a program
// run from its build directory. Used by the editor window's Examples menu.
#pragma once

#include <QString>
#include <QStringList>

// The examples directory, or an empty text when there is none with a
// puzzle in it. `sourceDir` is the source tree's examples directory, or empty.
QString FindExamplesDir(const QString& programDir, const QString& sourceDir);

// The puzzle files (*.tvk) of `dir`, by name.
QStringList ExampleFiles(const QString& dir);
