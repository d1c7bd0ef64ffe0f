// Measures typing in the puzzle editor on one long line: the time from a key
// press to the repainted editor, set up as the editor window sets it up
// (colouring, and wrapping from CMainWindow::kLongLine characters on). It
// is how the limits on long lines were chosen. Build and run it after
// `make build`:
//   g++ -std=c++20 -fPIC -Isrc scripts/long-line-typing.cpp build/src/gui/libtovikwincore.a \
//       $(pkg-config --cflags --libs Qt6Widgets Qt6PrintSupport Qt6Test) -o build/long-line-typing
//   QT_QPA_PLATFORM=offscreen build/long-line-typing [CHARACTERS [wrap|nowrap]]
#include "gui/code_editor.h"
#include "gui/highlighter.h"
#include "gui/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kKeys = 5;  // key presses timed at each place

qint64 TimeKey(CCodeEditor& editor) {
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(&editor, Qt::Key_X);
    QApplication::processEvents();
    editor.viewport()->repaint();
    QApplication::processEvents();
    return clock.elapsed();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int length = argc > 1 ? std::atoi(argv[1]) : 5000000;
    const bool wrap = argc > 2 ? argv[2][0] == 'w' : length >= CMainWindow::kLongLine;
    QString line;
    while (line.size() < length) line += QStringLiteral("a=1; b<c; \"xy\" ");
    line.truncate(length);

    CCodeEditor editor;
    editor.resize(800, 600);
    new CPuzzleHighlighter(editor.document());
    editor.setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) return 1;
    QElapsedTimer clock;
    clock.start();
    editor.SetFileText(line);
    editor.viewport()->repaint();
    QApplication::processEvents();
    std::printf("%d characters, wrapping %s: load %lld ms;", length, wrap ? "on" : "off",
                clock.elapsed());
    for (const char* place : {"start", "middle", "end"}) {
        QTextCursor cursor(editor.document());
        cursor.setPosition(place[0] == 's' ? 0 : place[0] == 'm' ? length / 2 : length);
        editor.setTextCursor(cursor);
        qint64 total = 0, worst = 0;
        for (int i = 0; i < kKeys; ++i) {
            const qint64 ms = TimeKey(editor);
            total += ms;
            worst = qMax(worst, ms);
        }
        std::printf(" key at the %s %lld ms (worst %lld);", place, total / kKeys, worst);
    }
    std::printf("\n");
    return 0;
}
