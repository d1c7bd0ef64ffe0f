// Tests of the editor window: menus, keys and tooltips, the splitter, the
// Edit commands on the focused pane, Open, Save and drop with their failures
// and encodings, the title, find and go to line, the Examples menu, error
// jumps, and Run and Stop against stand-in interpreters and, when it has
// been built, the real interpreter: its status bar, a stop and a flood.
#include "gui/code_editor.h"
#include "gui/examples.h"
#include "gui/main_window.h"
#include "gui/output_pane.h"
#include "gui/splitter.h"
#include "test_support.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolBar>
#include <QtTest>

namespace {

constexpr int kRunTimeoutMs = 20000;

// 正在编译……\r\n in UTF-8, as the interpreter prints it for the editor.
constexpr char kCompilingLine[] =
    "printf '\\346\\255\\243\\345\\234\\250\\347\\274\\226\\350\\257\\221\\342\\200\\246\\342\\200\\246\\r\\n'";

QStringList Texts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_serial = 0;

    // A fresh program directory, with a space in its name, holding a
    // stand-in interpreter with `body` (none when `body` is empty).
    QString ProgramDir(const QByteArray& body)
    {
        const QString path = m_dir.filePath(QStringLiteral("program dir %1").arg(++m_serial));
        QDir().mkpath(path);
        if (!body.isEmpty())
            WriteScript(QDir(path).filePath(QStringLiteral("tovik")), body);
        return path;
    }

    static QAction* Action(const CMainWindow& window, const char* name)
    {
        auto* action = window.findChild<QAction*>(QLatin1String(name));
        if (!action)
            qFatal("no action %s", name);
        return action;
    }

    static bool WaitForRunEnd(const CMainWindow& window)
    {
        return QTest::qWaitFor([&] { return !window.Runner().IsRunning(); }, kRunTimeoutMs)
            && Action(window, "run")->isEnabled() && !Action(window, "stop")->isEnabled();
    }

    static QString Status(const CMainWindow& window, const char* name)
    {
        return window.findChild<QLabel*>(QLatin1String(name))->text();
    }

    // A program directory with a link to the real interpreter, or empty.
    QString RealProgramDir()
    {
#ifdef TOVIK_INTERPRETER
        const QString interpreter = QStringLiteral(TOVIK_INTERPRETER);
        if (QFileInfo(interpreter).isExecutable()) {
            const QString program = ProgramDir({});
            if (QFile::link(interpreter, QDir(program).filePath(QStringLiteral("tovik"))))
                return program;
        }
#endif
        return {};
    }

    static bool Show(CMainWindow& window)
    {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void menusKeysAndTooltips()
    {
        CMainWindow window(ProgramDir({}));
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin"));
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(Texts(menus), (QStringList{"&File", "&Edit", "E&xamples"}));
        QCOMPARE(Texts(menus[0]->menu()->actions()),
                 (QStringList{"&Run", "&Stop", "&Fast search", "&Open...", "&Save", "Save &As...", "-", "E&xit"}));
        QCOMPARE(Texts(menus[1]->menu()->actions()), (QStringList{"&Undo", "-", "Cu&t", "&Copy", "&Paste", "-",
                                                                  "&Find...", "Find &Next", "&Go to Line..."}));

        QStringList keys;
        for (const char* name : {"run", "stop", "open", "save", "saveAs", "undo", "cut", "copy", "paste", "selectAll",
                                 "new", "print", "nextPane", "previousPane", "find", "findNext", "findPrevious",
                                 "goToLine"}) {
            keys << QLatin1String(name) + QLatin1Char('=');
            for (const QKeySequence& key : Action(window, name)->shortcuts())
                keys.last() += key.toString() + QLatin1Char(' ');
        }
        QCOMPARE(keys.join(QString()), QStringLiteral(
            "run=F5 stop=Esc open=Ctrl+O save=Ctrl+S saveAs=Ctrl+Shift+S undo=Ctrl+Z Alt+Backspace "
            "cut=Ctrl+X Shift+Del copy=Ctrl+C Ctrl+Ins paste=Ctrl+V Shift+Ins selectAll=Ctrl+A new=Ctrl+N "
            "print=Ctrl+P nextPane=F6 previousPane=Shift+F6 find=Ctrl+F findNext=F3 findPrevious=Shift+F3 "
            "goToLine=Ctrl+G "));

        QStringList tips;
        for (const QAction* action : window.findChild<QToolBar*>(QStringLiteral("toolBar"))->actions())
            tips << action->toolTip();
        QCOMPARE(tips, (QStringList{"Open", "Save", "运行", "Stop", "About"}));
        QVERIFY(!Action(window, "stop")->isEnabled());
    }

    void splitterKeepsItsFraction()
    {
        CMainWindow window(ProgramDir({}));
        window.resize(640, 480);
        QVERIFY(Show(window));
        CProportionalSplitter* splitter = window.Splitter();
        QCOMPARE(splitter->sizes().front(), splitter->height() * 3 / 4);
        window.resize(640, 900);
        QTRY_VERIFY(qAbs(splitter->sizes().front() - splitter->height() * 3 / 4) <= 1);

        // A bar the user dragged to the middle stays in the middle.
        QSplitterHandle* handle = splitter->handle(1);
        const QPoint grip = handle->rect().center();
        const QPoint up = grip - QPoint(0, splitter->height() / 4);
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, up);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, up);
        QVERIFY(qAbs(splitter->Fraction() - 0.5) < 0.05);
        window.resize(640, 500);
        QTRY_VERIFY(qAbs(splitter->sizes().front() - int(splitter->Fraction() * splitter->height())) <= 1);
    }

    void editCommandsActOnTheFocusedPane()
    {
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        QClipboard* clipboard = QApplication::clipboard();
        window.Editor()->setPlainText(QStringLiteral("editor text"));
        window.OutputPane()->setPlainText(QStringLiteral("output text"));

        window.OutputPane()->setFocus();
        Action(window, "selectAll")->trigger();
        Action(window, "copy")->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("output text"));

        // With the focus on neither pane, nothing is copied or pasted.
        clipboard->setText(QStringLiteral("sentinel"));
        window.OutputPane()->clearFocus();
        Action(window, "copy")->trigger();
        Action(window, "paste")->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("sentinel"));
        QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("editor text"));

        // F6 from nowhere goes to the editor, then to the output; Shift+F6 back.
        QTest::keyClick(&window, Qt::Key_F6);
        QTRY_VERIFY(window.Editor()->hasFocus());
        QTest::keyClick(window.Editor(), Qt::Key_F6);
        QTRY_VERIFY(window.OutputPane()->hasFocus());
        QTest::keyClick(window.OutputPane(), Qt::Key_F6, Qt::ShiftModifier);
        QTRY_VERIFY(window.Editor()->hasFocus());

        QTest::keyClick(window.Editor(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(window.Editor()->textCursor().selectedText(), QStringLiteral("editor text"));
        QTest::keyClick(window.Editor(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(window.Editor()->toPlainText().isEmpty());
        QCOMPARE(window.OutputPane()->toPlainText(), QStringLiteral("output text"));
    }

    void aboutBox()
    {
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        CDialogCatcher catcher;
        catcher.Arm();
        Action(window, "about")->trigger();
        QVERIFY(catcher.seen);
        QCOMPARE(catcher.title, QStringLiteral("About"));
        QVERIFY(!catcher.text.isEmpty());
        QVERIFY(!catcher.text.contains(QLatin1Char('\n')));
    }

    void openFailuresKeepTheText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("missing file") << QStringLiteral("missing.tvk") << QByteArray();
        QTest::newRow("NUL byte") << QStringLiteral("binary.tvk") << QByteArray("x = 1;\0\1\2", 9);
    }

    void openFailuresKeepTheText()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath(name);
        if (!bytes.isEmpty())
            QVERIFY(WriteBytes(path, bytes));

        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("keep me"));
        CDialogCatcher catcher;
        catcher.Arm();
        QVERIFY(!window.LoadFile(path));
        QVERIFY(catcher.seen);
        QVERIFY2(catcher.text.contains(path), qPrintable(catcher.text));
        QVERIFY(catcher.text.size() > path.size() + 12); // a reason follows the name
        QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("keep me"));
    }

    void saveFailureSaysSo()
    {
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("keep me"));
        CDialogCatcher catcher;
        catcher.Arm();
        const QString path = m_dir.filePath(QStringLiteral("no such dir/x.tvk"));
        QVERIFY(!window.SaveFile(path));
        QVERIFY(catcher.seen);
        QVERIFY2(catcher.text.contains(path), qPrintable(catcher.text));
        QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("keep me"));
    }

    void openSaveRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("added");     // typed at the end after the first save
        QTest::addColumn<QByteArray>("addedAs"); // how it is written
        // 输出 { x }, 答, with CR LF line ends.
        QTest::newRow("GBK") << QByteArray("\xCA\xE4\xB3\xF6 { x }\r\n\xB4\xF0\r\n") << QStringLiteral("GBK")
                             << QStringLiteral("答") << QByteArray("\xB4\xF0");
        QTest::newRow("ASCII is GBK") << QByteArray("x = 1;\n") << QStringLiteral("GBK")
                                      << QStringLiteral("答") << QByteArray("\xB4\xF0");
        QTest::newRow("UTF-8") << QByteArray("\xE7\xAD\x94 a\xC2\xA0" "b\n") << QStringLiteral("UTF-8")
                               << QStringLiteral("答") << QByteArray("\xE7\xAD\x94");
        QTest::newRow("UTF-8, mark, mixed line ends")
            << QByteArray("\xEF\xBB\xBFx\r\n\xE7\xAD\x94\ny\rz") << QStringLiteral("UTF-8")
            << QStringLiteral("w") << QByteArray("w");
        QTest::newRow("GBK, mixed line ends") << QByteArray("a\r\n\xB4\xF0\nb") << QStringLiteral("GBK")
                                              << QStringLiteral("答") << QByteArray("\xB4\xF0");
    }

    void openSaveRoundTrips()
    {
        // Save writes the opened file back, byte for byte while the text is
        // unchanged, and in the file's encoding after an edit.
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, added);
        QFETCH(QByteArray, addedAs);
        CMainWindow window(ProgramDir({}));
        const QString path = m_dir.filePath(QStringLiteral("round trip.tvk"));
        QVERIFY(WriteBytes(path, bytes));
        QVERIFY(window.LoadFile(path));
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin - round trip.tvk (%1)").arg(encoding));
        QCOMPARE(window.FilePath(), path);
        QVERIFY(WriteBytes(path, "overwritten"));
        Action(window, "save")->trigger();
        QCOMPARE(ReadBytes(path), bytes);

        window.Editor()->moveCursor(QTextCursor::End);
        window.Editor()->insertPlainText(added);
        Action(window, "save")->trigger();
        const QByteArray saved = ReadBytes(path);
        QVERIFY2(saved.endsWith(addedAs), saved.toHex().constData());
        QString text;
        CTextFormat format;
        QString error;
        QVERIFY(DecodeText(saved, &text, &format, &error));
        QCOMPARE(text.endsWith(added), true);
    }

    void newTextIsUtf8()
    {
        CMainWindow window(ProgramDir({}));
        const QString in = m_dir.filePath(QStringLiteral("old.tvk"));
        QVERIFY(WriteBytes(in, "\xB4\xF0"));
        QVERIFY(window.LoadFile(in));
        Action(window, "new")->trigger();
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin"));
        QVERIFY(window.FilePath().isEmpty());
        window.Editor()->insertPlainText(QStringLiteral("答"));
        const QString out = m_dir.filePath(QStringLiteral("new.tvk"));
        QVERIFY(window.SaveFile(out));
        QCOMPARE(ReadBytes(out), QByteArray("\xE7\xAD\x94"));
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin - new.tvk (UTF-8)"));
        QCOMPARE(window.FilePath(), out);
    }

    void examplesMenu()
    {
        // The installed examples beside the program come first.
        const QString root = m_dir.filePath(QStringLiteral("installed"));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/bin")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/share/tovik/examples")));
        QVERIFY(WriteBytes(root + QStringLiteral("/share/tovik/examples/b.tvk"), "b\n"));
        QVERIFY(WriteBytes(root + QStringLiteral("/share/tovik/examples/a.tvk"), "a\n"));
        QVERIFY(WriteBytes(root + QStringLiteral("/share/tovik/examples/notes.txt"), "n\n"));
        QCOMPARE(FindExamplesDir(root + QStringLiteral("/bin"), QStringLiteral(TOVIK_EXAMPLES)),
                 root + QStringLiteral("/share/tovik/examples"));
        QCOMPARE(ExampleFiles(root + QStringLiteral("/share/tovik/examples")), (QStringList{"a.tvk", "b.tvk"}));
        QCOMPARE(FindExamplesDir(m_dir.path(), QStringLiteral(TOVIK_EXAMPLES)), QStringLiteral(TOVIK_EXAMPLES));
        QVERIFY(FindExamplesDir(m_dir.path(), m_dir.filePath(QStringLiteral("none"))).isEmpty());

        // A window started from the build directory offers the source tree's;
        // an example opens without a file to save to.
        CMainWindow window(ProgramDir({}));
        auto* menu = window.findChild<QMenu*>(QStringLiteral("examplesMenu"));
        QVERIFY(menu);
        QCOMPARE(Texts(menu->actions()), ExampleFiles(QStringLiteral(TOVIK_EXAMPLES)));
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("worked.tvk"))
                action->trigger();
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin - worked.tvk (GBK)"));
        QVERIFY(window.Editor()->toPlainText().contains(QStringLiteral("互不同(a, b, c);")));
        QVERIFY(window.FilePath().isEmpty());
    }

    void goToLineAndFind()
    {
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("N x;\nx = 1;\n输出 {x}\n"));
        window.Editor()->GoToLine(3);
        QCOMPARE(Status(window, "cursorPosition"), QStringLiteral("Ln 3, Col 1"));
        window.Editor()->moveCursor(QTextCursor::Right);
        QCOMPARE(Status(window, "cursorPosition"), QStringLiteral("Ln 3, Col 2"));
        window.Editor()->GoToLine(99);
        QCOMPARE(window.Editor()->textCursor().blockNumber(), 3);

        // Ctrl+F opens the find field; typing finds, Enter goes on and wraps
        // around; Esc closes the field without stopping anything.
        window.Editor()->GoToLine(1);
        QTest::keyClick(window.Editor(), Qt::Key_F, Qt::ControlModifier);
        auto* field = window.findChild<QLineEdit*>(QStringLiteral("findField"));
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, QStringLiteral("x"));
        const auto where = [&] {
            const QTextCursor c = window.Editor()->textCursor();
            return QStringLiteral("%1:%2:%3").arg(c.blockNumber() + 1).arg(c.positionInBlock()).arg(c.selectedText());
        };
        QCOMPARE(where(), QStringLiteral("1:3:x"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(where(), QStringLiteral("2:1:x"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(where(), QStringLiteral("3:5:x"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(where(), QStringLiteral("1:3:x"));
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(where(), QStringLiteral("3:5:x"));
        QTest::keyClick(field, Qt::Key_Escape);
        QTRY_VERIFY(window.Editor()->hasFocus());
        QVERIFY(!window.findChild<QToolBar*>(QStringLiteral("findBar"))->isVisible());
    }

    void errorLinesLeadToTheEditor()
    {
        // The first error is selected when it arrives; a double-click on
        // another error line selects that one.
        CMainWindow window(ProgramDir(QByteArray(kCompilingLine)
                                      + "\nprintf '3 \\350\\241\\214: parse error \\r\\n'"
                                        "\nprintf '1 \\350\\241\\214: other \\r\\n'\nexit 1\n"));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("N{}={1};\nN x;\nx = = 1;\n输出 {x}"));
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("正在编译……\n3 行: parse error \n1 行: other \n"));
        QCOMPARE(window.Editor()->textCursor().selectedText(), QStringLiteral("x = = 1;"));
        QCOMPARE(Status(window, "runState"), QStringLiteral("failed (2 errors)"));

        const QTextCursor line = QTextCursor(window.OutputPane()->document()->findBlockByNumber(2));
        const QPoint at = window.OutputPane()->cursorRect(line).center() + QPoint(4, 0);
        QTest::mouseDClick(window.OutputPane()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(window.Editor()->textCursor().selectedText(), QStringLiteral("N{}={1};"));
        QVERIFY(window.Editor()->hasFocus());
    }

    void droppingTwoFilesLoadsTheFirst()
    {
        const QString first = m_dir.filePath(QStringLiteral("first.tvk"));
        const QString second = m_dir.filePath(QStringLiteral("second.tvk"));
        QVERIFY(WriteBytes(first, "first\n"));
        QVERIFY(WriteBytes(second, "second\n"));

        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        window.OutputPane()->setPlainText(QStringLiteral("output stays"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
        const QPoint at = window.Editor()->mapTo(&window, window.Editor()->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("first\n"));
        QCOMPARE(window.OutputPane()->toPlainText(), QStringLiteral("output stays"));
        QVERIFY(!window.Editor()->acceptDrops());
        QVERIFY(!window.Editor()->viewport()->acceptDrops());
    }

    void runShowsTheOutput()
    {
        // The stand-in prints a UTF-8 line, then the run file it was given.
        const QString program = ProgramDir(QByteArray(kCompilingLine) + "\ncat \"$1\"\n");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("输出 { \"答案\" x }\n"));
        window.OutputPane()->setPlainText(QStringLiteral("from an earlier run"));
        QTest::keyClick(window.Editor(), Qt::Key_F5);
        QVERIFY(WaitForRunEnd(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("正在编译……\n输出 { \"答案\" x }\n"));
        QCOMPARE(ReadBytes(QDir(program).filePath(QStringLiteral("tmp.in.txt"))),
                 QStringLiteral("输出 { \"答案\" x }\n").toUtf8());
        QCOMPARE(Status(window, "runState"), QStringLiteral("finished"));

        // The output cannot be undone away.
        window.OutputPane()->setFocus();
        Action(window, "undo")->trigger();
        QVERIFY(window.OutputPane()->toPlainText().startsWith(QStringLiteral("正在编译")));

        // An empty editor still writes an empty run file and runs.
        window.Editor()->clear();
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QCOMPARE(window.OutputPane()->toPlainText(), QStringLiteral("正在编译……\n"));
        QCOMPARE(QFileInfo(QDir(program).filePath(QStringLiteral("tmp.in.txt"))).size(), 0);
    }

    void fastSearchAddsItsOption()
    {
        // The stand-in prints the arguments it was given.
        const QString program = ProgramDir(QByteArray(kCompilingLine) + "\necho \"$@\"\n");
        CMainWindow window(program);
        QVERIFY(Show(window));
        QAction* fast = Action(window, "fastSearch");
        QVERIFY(fast->isCheckable());
        QVERIFY(!fast->isChecked());
        fast->trigger();
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QCOMPARE(window.OutputPane()->toPlainText(), QStringLiteral("正在编译……\n--fast tmp.in.txt\n"));

        fast->trigger();
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QCOMPARE(window.OutputPane()->toPlainText(), QStringLiteral("正在编译……\ntmp.in.txt\n"));
    }

    void stopDuringALongRun()
    {
        CMainWindow window(ProgramDir("echo searching\nexec sleep 60\n"));
        QVERIFY(Show(window));
        Action(window, "run")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window.OutputPane()->toPlainText(), QStringLiteral("searching\n"),
                                  kRunTimeoutMs);
        QVERIFY(!Action(window, "run")->isEnabled());
        QVERIFY(Action(window, "stop")->isEnabled());

        // F5 does nothing during a run; Esc stops it.
        QTest::keyClick(window.Editor(), Qt::Key_F5);
        QCOMPARE(window.OutputPane()->toPlainText(), QStringLiteral("searching\n"));
        QTest::keyClick(window.Editor(), Qt::Key_Escape);
        QVERIFY(WaitForRunEnd(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("searching\n\nCancelled.\n\nProcess terminated successfully.\n"));
        QCOMPARE(Status(window, "runState"), QStringLiteral("stopped"));
    }

    void closingDuringARunEndsTheChild()
    {
        const QString program = ProgramDir("echo $$ > pid\nexec sleep 60\n");
        const QString pidFile = QDir(program).filePath(QStringLiteral("pid"));
        {
            CMainWindow window(program);
            QVERIFY(Show(window));
            Action(window, "run")->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!ReadBytes(pidFile).trimmed().isEmpty(), kRunTimeoutMs);
            QVERIFY(window.close());
        }
        const QString pid = QString::fromLatin1(ReadBytes(pidFile).trimmed());
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") + pid));
    }

    void missingInterpreter()
    {
        // No tovik beside the window and none on PATH.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_dir.path().toLocal8Bit());
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        Action(window, "run")->trigger();
        const bool ended = WaitForRunEnd(window);
        qputenv("PATH", path);
        QVERIFY(ended);
        QTest::qWait(100);
        const QStringList lines = window.OutputPane()->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3); // message, reason, and nothing after the final line end
        QCOMPARE(lines[0], QStringLiteral("Error creating process"));
        QVERIFY(!lines[1].isEmpty());
        QVERIFY(lines[2].isEmpty());
    }

    void unwritableRunFileStopsTheRun()
    {
        const QString program = ProgramDir("touch started\n");
        QVERIFY(QDir(program).mkdir(QStringLiteral("tmp.in.txt")));
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.OutputPane()->setPlainText(QStringLiteral("from an earlier run"));
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QTest::qWait(200);
        const QString output = window.OutputPane()->toPlainText();
        QVERIFY2(output.startsWith(QStringLiteral("Error writing ")), qPrintable(output));
        QVERIFY(output.contains(QStringLiteral("tmp.in.txt\n")));
        QVERIFY(!QFileInfo::exists(QDir(program).filePath(QStringLiteral("started"))));
        QCOMPARE(Status(window, "runState"), QStringLiteral("failed"));
    }

    void realRunStatus()
    {
        const QString program = RealProgramDir();
        if (program.isEmpty())
            QSKIP("tovik is not built");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral(
            "N{}={1,2,3};\n"
            "N x, y;\n"
            "x != 2;  // two values of x, three of y\n"
            "输出 { \"答案\" x \" \" y }\n"));
        Action(window, "run")->trigger();
        QCOMPARE(Status(window, "runState"), QStringLiteral("running"));
        QVERIFY(WaitForRunEnd(window));
        const QStringList lines = window.OutputPane()->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(0, 2), (QStringList{"正在编译……", "正在搜索……"}));
        QCOMPARE(lines.size(), 2 + 6 + 1);
        QVERIFY(lines[2].startsWith(QStringLiteral("答案")));
        QCOMPARE(Status(window, "runState"), QStringLiteral("finished"));
        QCOMPARE(Status(window, "solutionCount"), QStringLiteral("6 solutions"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d s$")).match(Status(window, "runTime")).hasMatch());

        // A compile error from the real interpreter selects its line.
        window.Editor()->setPlainText(QStringLiteral("N{}={1,2,3};\nN x\nx = 2;\n"));
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QVERIFY(window.OutputPane()->toPlainText().contains(QStringLiteral("\n3 行: ")));
        QCOMPARE(window.Editor()->textCursor().selectedText(), QStringLiteral("x = 2;"));
        QCOMPARE(Status(window, "runState"), QStringLiteral("failed (1 error)"));
        QCOMPARE(Status(window, "solutionCount"), QStringLiteral("0 solutions"));
    }

    void stopInterruptsTheRealInterpreter()
    {
        // The interpreter ends on the interrupt by itself, well before it
        // would be killed, and says how many lines it printed: exactly the
        // count in the status bar.
        const QString program = RealProgramDir();
        if (program.isEmpty())
            QSKIP("tovik is not built");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("N{}={[0,9]};\nN a, b, c, d, e, f, g;\noutput {a b c d e f g}\n"));
        Action(window, "run")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window.Tally().Solutions() > 1000, kRunTimeoutMs);
        QElapsedTimer clock;
        clock.start();
        Action(window, "stop")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QVERIFY2(clock.elapsed() < CRunner::kKillDelayMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(Status(window, "runState"), QStringLiteral("stopped"));
        const QString output = window.OutputPane()->toPlainText();
        QVERIFY(output.endsWith(QStringLiteral("\nCancelled.\n\nProcess terminated successfully.\n")));
        const QRegularExpressionMatch note =
            QRegularExpression(QStringLiteral("\ntovik: interrupted; (\\d+) solution line")).match(output);
        QVERIFY2(note.hasMatch(), qPrintable(output.right(300)));
        QCOMPARE(window.Tally().Solutions(), note.captured(1).toInt());
        QCOMPARE(Status(window, "solutionCount"), QStringLiteral("%1 solutions").arg(note.captured(1)));
    }

    void floodOfTheRealInterpreter()
    {
        // 200,000 solution lines: the count is exact, the pane keeps the last
        // lines with a note, and the window keeps handling events throughout.
        const QString program = RealProgramDir();
        if (program.isEmpty())
            QSKIP("tovik is not built");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("A{}={[1,1000]};\nB{}={[1,200]};\nA a; B b;\noutput {a \" \" b}\n"));
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longestGap = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            longestGap = qMax(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        probe.start(10);
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        probe.stop();
        QCOMPARE(Status(window, "runState"), QStringLiteral("finished"));
        QCOMPARE(window.Tally().Solutions(), 200000);
        QCOMPARE(Status(window, "solutionCount"), QStringLiteral("200000 solutions"));
        const QTextDocument* doc = window.OutputPane()->document();
        const qint64 dropped = 200002 - COutputPane::kMaxLines;
        QCOMPARE(window.OutputPane()->DroppedLines(), dropped);
        QCOMPARE(doc->blockCount(), COutputPane::kMaxLines + 2);
        QCOMPARE(doc->firstBlock().text(), QStringLiteral("[%1 earlier lines dropped]").arg(dropped));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+ \\d+$")).match(doc->lastBlock().previous().text()).hasMatch());
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
        qInfo("longest pause of the event loop: %lld ms", longestGap);
    }
};

QTEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
