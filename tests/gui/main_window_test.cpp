// Tests of the editor window: menus, keys and tooltips, the splitter, the Edit commands on the focused pane, Open, Save and drop with
// their failures, and Run and Stop against stand-in interpreters (and the
// real interpreter when it has been built).
#include "gui/main_window.h"
#include "gui/splitter.h"
#include "test_support.h"

#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

namespace {

constexpr int kRunTimeoutMs = 20000;

// 正在编译……\r\n in GBK, as the interpreter prints it.
constexpr char kCompilingLine[] = "printf '\\325\\375\\324\\332\\261\\340\\322\\353\\241\\255\\241\\255\\r\\n'";

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
        QCOMPARE(Texts(menus), (QStringList{"&File", "&Edit"}));
        QCOMPARE(Texts(menus[0]->menu()->actions()), (QStringList{"&Run", "&Stop", "&Open...", "&Save", "-", "E&xit"}));
        QCOMPARE(Texts(menus[1]->menu()->actions()), (QStringList{"&Undo", "-", "Cu&t", "&Copy", "&Paste"}));

        QStringList keys;
        for (const char* name : {"run", "stop", "open", "save", "undo", "cut", "copy", "paste", "selectAll",
                                 "new", "print", "nextPane", "previousPane"}) {
            keys << QLatin1String(name) + QLatin1Char('=');
            for (const QKeySequence& key : Action(window, name)->shortcuts())
                keys.last() += key.toString() + QLatin1Char(' ');
        }
        QCOMPARE(keys.join(QString()), QStringLiteral(
            "run=F5 stop=Esc open=Ctrl+O save=Ctrl+S undo=Ctrl+Z Alt+Backspace cut=Ctrl+X Shift+Del "
            "copy=Ctrl+C Ctrl+Ins paste=Ctrl+V Shift+Ins selectAll=Ctrl+A new=Ctrl+N print=Ctrl+P "
            "nextPane=F6 previousPane=Shift+F6 "));

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

    void saveKeepsTheFilesEncoding()
    {
        CMainWindow window(ProgramDir({}));
        const QByteArray gbk("\xCA\xE4\xB3\xF6 { x }\r\n\xB4\xF0\r\n"); // 输出 { x }, 答, CR LF
        const QString in = m_dir.filePath(QStringLiteral("in.tvk"));
        const QString out = m_dir.filePath(QStringLiteral("out.tvk"));
        QVERIFY(WriteBytes(in, gbk));
        QVERIFY(window.LoadFile(in));
        QVERIFY(window.SaveFile(out));
        QCOMPARE(ReadBytes(out), gbk);

        // UTF-8 stays UTF-8 until New, after which text is GBK.
        QVERIFY(WriteBytes(in, "a\xC2\xA0" "b\n"));
        QVERIFY(window.LoadFile(in));
        QVERIFY(window.SaveFile(out));
        QCOMPARE(ReadBytes(out), QByteArray("a\xC2\xA0" "b\n"));
        Action(window, "new")->trigger();
        window.Editor()->insertPlainText(QStringLiteral("答"));
        QVERIFY(window.SaveFile(out));
        QCOMPARE(ReadBytes(out), QByteArray("\xB4\xF0"));
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
        // The stand-in prints a GBK line, then the run file it was given.
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
                 QByteArray("\xCA\xE4\xB3\xF6 { \"\xB4\xF0\xB0\xB8\" x }\n"));

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
    }

    void realInterpreter()
    {
#ifndef TOVIK_INTERPRETER
        QSKIP("tovik is not built in this tree");
#else
        const QString interpreter = QStringLiteral(TOVIK_INTERPRETER);
        if (!QFileInfo(interpreter).isExecutable())
            QSKIP("tovik is not built yet");
        const QString program = ProgramDir({});
        QVERIFY(QFile::link(interpreter, QDir(program).filePath(QStringLiteral("tovik"))));
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral(
            "N{}={1,2,3};\n"
            "N x;\n"
            "x = 2;\n"
            "输出 { \"答案\" x }\n"));
        Action(window, "run")->trigger();
        QVERIFY(WaitForRunEnd(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("正在编译……\n正在搜索……\n答案2\n"));
#endif
    }
};

QTEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
