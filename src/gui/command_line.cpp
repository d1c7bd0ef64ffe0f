// Parsing TovikWin's command line.
#include "gui/command_line.h"

#ifndef TOVIKWIN_VERSION
#define TOVIKWIN_VERSION "unknown"
#endif

CCommandLine ParseCommandLine(const QStringList& arguments) {
    CCommandLine line;
    bool options = true;  // "--" ends the options
    for (const QString& argument : arguments) {
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options &&
                   (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            line.help = true;
        } else if (options && argument == QLatin1String("--version")) {
            line.version = true;
        } else if (options && argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            if (line.error.isEmpty())
                line.error = QStringLiteral("unknown option %1").arg(argument);
        } else if (line.file.isEmpty()) {
            line.file = argument;
        }
    }
    return line;
}

QString EditorUsage() {
    return QStringLiteral(
        "Usage: TovikWin [OPTIONS] [FILE]\n"
        "\n"
        "Opens FILE, a puzzle, in the editor; F5 runs it through tovik.\n"
        "\n"
        "Options:\n"
        "  -h, --help            this text\n"
        "      --version         the version\n");
}

QString EditorVersion() { return QStringLiteral(TOVIKWIN_VERSION); }
