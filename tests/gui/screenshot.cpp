// tovikwin_screenshot OUT.png [PUZZLE]: opens the editor window with PUZZLE
// (or a small built-in puzzle), runs it through the interpreter found beside
// this tool or on PATH, and saves a picture of the window after the run.
// Used for the README's screenshots; run it under Xvfb with a CJK font
// installed, from the build directory:
//   xvfb-run -a -s '-screen 0 1024x768x24' ./tovikwin_screenshot run.png ../examples/zebra.tvk
#include "gui/code_editor.h"
#include "gui/main_window.h"
#include "gui/runner.h"

#include <QApplication>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: tovikwin_screenshot OUT.png [PUZZLE]\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    CMainWindow window(QApplication::applicationDirPath());
    window.resize(720, 520);
    window.show();
    if (argc > 2) {
        if (!window.LoadFile(QString::fromLocal8Bit(argv[2]))) return 1;
    } else {
        window.Editor()->setPlainText(
            QStringLiteral("// Three friends, three drinks: who has tea?\n"
                           "人{}={\"Ann\",\"Bob\",\"Cid\"};\n"
                           "饮料{}={\"tea\",\"coffee\",\"milk\"};\n"
                           "饮料 喝(人);\n"
                           "互不同(喝(\"Ann\"), 喝(\"Bob\"), 喝(\"Cid\"));\n"
                           "喝(\"Ann\") != \"tea\";\n"
                           "喝(\"Bob\") = \"milk\";\n"
                           "输出 { \"Ann: \" 喝(\"Ann\") \", Cid: \" 喝(\"Cid\") }\n"));
    }
    QObject::connect(&window.Runner(), &CRunner::Finished, &app, [&] {
        // Let the last output paint before the picture is taken.
        QTimer::singleShot(300, &app, [&] { app.exit(window.grab().save(out) ? 0 : 1); });
    });
    QTimer::singleShot(300, &window, &CMainWindow::Run);
    QTimer::singleShot(30000, &app, [&] { app.exit(1); });
    return app.exec();
}
