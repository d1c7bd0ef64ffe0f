// The command line of TovikWin: `TovikWin [FILE]`, with --help and
// --version as in tovik. Read by the editor's entry point.
#pragma once

#include <QString>
#include <QStringList>

struct CCommandLine {
    bool help = false;
    bool version = false;
    QString file;   // the puzzle to open, empty for none
    QString error;  // what is wrong with the command line, empty when nothing
};

// Reads the arguments that follow the program name. Arguments after the
// file are ignored, as tovik ignores its extra arguments.
CCommandLine ParseCommandLine(const QStringList& arguments);

// The text of --help.
QString EditorUsage();
// The version, e.g. "0.1.0".
QString EditorVersion();
