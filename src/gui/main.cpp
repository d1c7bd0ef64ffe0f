// Entry point of TovikWin: shows the editor window. The command line is not used.
#include "gui/main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TovikWin"));
    CMainWindow window(QApplication::applicationDirPath());
    window.show();
    return app.exec();
}
