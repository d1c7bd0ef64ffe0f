// The entry point of TovikWin: command line, application, window.
#include "gui/editor_main.h"

#include "gui/command_line.h"
#include "gui/main_window.h"

#include <QApplication>

#include <cstdio>

int EditorMain(int argc, char* argv[], const std::function<void(CMainWindow&)>& started) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CCommandLine early = ParseCommandLine(arguments);
    if (early.help) {
        std::fputs(EditorUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (early.version) {
        std::printf("TovikWin %s\n", EditorVersion().toLocal8Bit().constData());
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TovikWin"));
    QApplication::setApplicationVersion(EditorVersion());
    // The options of Qt itself (-platform, -style, ...) are gone from here.
    const CCommandLine line = ParseCommandLine(QApplication::arguments().mid(1));
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "TovikWin: %s\n", line.error.toLocal8Bit().constData());
        return 1;
    }
    CMainWindow window(QApplication::applicationDirPath());
    window.show();
    if (!line.file.isEmpty()) window.OpenFile(line.file);
    if (started) started(window);
    return app.exec();
}
