// Tests of the editor window: menus and keys, the splitter, Open and Save
// with their failures and encodings, error jumps, Run and closing during a
// run with stand-in interpreters and, when it has been built, the real
// interpreter: a stop, and a flood with its status bar.
#include "gui/main_window.h"
#include "gui/code_editor.h"
#include "gui/output_pane.h"
#include "gui/splitter.h"
#include "test_support.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int kRunTimeoutMs = 20000;

// 正在编译……\r\n in UTF-8, as the interpreter prints it for the editor.
constexpr char kCompilingLine[] =
    "printf "
    "'\\346\\255\\243\\345\\234\\250\\347\\274\\226\\350\\257\\221\\342\\200\\246\\342\\200\\246\\r"
    "\\n'";

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QAction* Action(const CMainWindow& window, const char* name) {
    return window.findChild<QAction*>(QLatin1String(name));
}

QString Status(const CMainWindow& window, const char* name) {
    return window.findChild<QLabel*>(QLatin1String(name))->text();
}

bool Show(CMainWindow& window) {
    window.show();
    return QTest::qWaitForWindowActive(&window);
}

// Runs the editor's text and waits for the run to end.
bool Run(const CMainWindow& window) {
    Action(window, "run")->trigger();
    return QTest::qWaitFor([&] { return !window.Runner().IsRunning(); }, kRunTimeoutMs) &&
           Action(window, "run")->isEnabled() && !Action(window, "stop")->isEnabled();
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    // A fresh program directory, with a space in its name, holding a
    // stand-in interpreter with `body` (none when `body` is empty).
    QString ProgramDir(const QByteArray& body) {
        const QString path = m_dir.filePath(QStringLiteral("program dir %1").arg(++m_serial));
        QDir().mkpath(path);
        if (!body.isEmpty()) WriteScript(QDir(path).filePath(QStringLiteral("tovik")), body);
        return path;
    }

    // A program directory with a link to the real interpreter, or empty.
    QString RealProgramDir() {
#ifdef TOVIK_INTERPRETER
        const QString program = ProgramDir({});
        if (QFile::link(QStringLiteral(TOVIK_INTERPRETER),
                        QDir(program).filePath(QStringLiteral("tovik"))))
            return program;
#endif
        return {};
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }

    void menusAndKeys() {
        CMainWindow window(ProgramDir({}));
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin"));
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(Texts(menus), (QStringList{"&File", "&Edit", "E&xamples"}));
        QCOMPARE(Texts(menus[0]->menu()->actions()),
                 (QStringList{"&Run", "&Stop", "&Fast search", "&Open...", "&Save", "Save &As...",
                              "-", "E&xit"}));
        QCOMPARE(Texts(menus[1]->menu()->actions()),
                 (QStringList{"&Undo", "-", "Cu&t", "&Copy", "&Paste", "-", "&Find...",
                              "Find &Next", "&Go to Line..."}));
        const QStringList keys{"run F5",
                               "stop Esc",
                               "open Ctrl+O",
                               "save Ctrl+S",
                               "saveAs Ctrl+Shift+S",
                               "undo Ctrl+Z Alt+Backspace",
                               "cut Ctrl+X Shift+Del",
                               "copy Ctrl+C Ctrl+Ins",
                               "paste Ctrl+V Shift+Ins",
                               "selectAll Ctrl+A",
                               "new Ctrl+N",
                               "print Ctrl+P",
                               "nextPane F6",
                               "previousPane Shift+F6",
                               "find Ctrl+F",
                               "findNext F3",
                               "findPrevious Shift+F3",
                               "goToLine Ctrl+G"};
        QStringList found;
        for (const QString& row : keys) {
            found << row.section(QLatin1Char(' '), 0, 0);
            for (const QKeySequence& key : window.findChild<QAction*>(found.last())->shortcuts())
                found.last() += QLatin1Char(' ') + key.toString();
        }
        QCOMPARE(found, keys);
    }

    void splitterKeepsItsFraction() {
        CMainWindow window(ProgramDir({}));
        window.resize(640, 480);
        QVERIFY(Show(window));
        CProportionalSplitter* splitter = window.Splitter();
        QCOMPARE(splitter->sizes().front(), splitter->height() * 3 / 4);
        window.resize(640, 900);
        QTRY_VERIFY(qAbs(splitter->sizes().front() - splitter->height() * 3 / 4) <= 1);
    }

    void openAndSaveFailuresSaySo() {
        // The message names the file; the text stays.
        CMainWindow window(ProgramDir({}));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("keep me"));
        for (bool save : {false, true}) {
            const QString path =
                m_dir.filePath(QLatin1String(save ? "no such dir/x.tvk" : "none.tvk"));
            CDialogCatcher catcher;
            catcher.Arm();
            QVERIFY(save ? !window.SaveFile(path) : !window.LoadFile(path));
            QVERIFY2(catcher.text.contains(path), qPrintable(catcher.text));
            QCOMPARE(window.Editor()->toPlainText(), QStringLiteral("keep me"));
        }
    }

    void openSaveRoundTrips_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        // 输出 { x }, 答, with CR LF line ends.
        QTest::newRow("GBK") << QByteArray("\xCA\xE4\xB3\xF6 { x }\r\n\xB4\xF0\r\n")
                             << QStringLiteral("GBK");
        QTest::newRow("ASCII is GBK") << QByteArray("x = 1;\n") << QStringLiteral("GBK");
        QTest::newRow("UTF-8") << QByteArray(
                                      "\xE7\xAD\x94 a\xC2\xA0"
                                      "b\n")
                               << QStringLiteral("UTF-8");
        QTest::newRow("UTF-8, mark, CR LF")
            << QByteArray("\xEF\xBB\xBFx\r\n") << QStringLiteral("UTF-8");
        QTest::newRow("UTF-8, mark, mixed line ends")
            << QByteArray("\xEF\xBB\xBFx\r\n\xE7\xAD\x94\ny\rz") << QStringLiteral("UTF-8");
    }

    void openSaveRoundTrips() {
        // Save writes the opened file back byte for byte while the text is
        // unchanged, and in the file's encoding after an edit; new text is UTF-8.
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        CMainWindow window(ProgramDir({}));
        const QString path = m_dir.filePath(QStringLiteral("round trip.tvk"));
        QVERIFY(WriteBytes(path, bytes));
        QVERIFY(window.LoadFile(path));
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("TovikWin - round trip.tvk (%1)").arg(encoding));
        QVERIFY(WriteBytes(path, "overwritten"));
        Action(window, "save")->trigger();
        QCOMPARE(ReadBytes(path), bytes);
        window.Editor()->moveCursor(QTextCursor::End);
        window.Editor()->insertPlainText(QStringLiteral("答"));
        Action(window, "save")->trigger();
        const QByteArray added = encoding == QStringLiteral("GBK") ? "\xB4\xF0" : "\xE7\xAD\x94";
        QVERIFY2(ReadBytes(path).endsWith(added), ReadBytes(path).toHex().constData());

        Action(window, "new")->trigger();
        QVERIFY(window.FilePath().isEmpty());
        window.Editor()->insertPlainText(QStringLiteral("答"));
        const QString fresh = m_dir.filePath(QStringLiteral("new.tvk"));
        QVERIFY(window.SaveFile(fresh));
        QCOMPARE(ReadBytes(fresh), QByteArray("\xE7\xAD\x94"));  // 答
        QCOMPARE(window.windowTitle(), QStringLiteral("TovikWin - new.tvk (UTF-8)"));
    }

    void errorLinesLeadToTheEditor() {
        // The first error is selected when it arrives; a double-click on
        // another error line selects that one.
        CMainWindow window(ProgramDir(QByteArray(kCompilingLine) +
                                      "\nprintf '3 \\350\\241\\214: parse error \\r\\n'"
                                      "\nprintf '1 \\350\\241\\214: other \\r\\n'\nexit 1\n"));
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("N{}={1};\nN x;\nx = = 1;\n输出 {x}"));
        QVERIFY(Run(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("正在编译……\n3 行: parse error \n1 行: other \n"));
        QCOMPARE(window.Editor()->textCursor().selectedText(), QStringLiteral("x = = 1;"));
        QCOMPARE(Status(window, "runState"), QStringLiteral("failed (2 errors)"));

        const QTextCursor line(window.OutputPane()->document()->findBlockByNumber(2));
        const QPoint at = window.OutputPane()->cursorRect(line).center() + QPoint(4, 0);
        QTest::mouseDClick(window.OutputPane()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(window.Editor()->textCursor().selectedText(), QStringLiteral("N{}={1};"));
        QVERIFY(window.Editor()->hasFocus());
    }

    void runWritesTheFileAndShowsTheOutput() {
        // The stand-in prints a UTF-8 line, its arguments, the run file, and
        // the encoding it is asked for.
        const QString program =
            ProgramDir(QByteArray(kCompilingLine) +
                       "\necho \"$@\"\ncat tmp.in.txt\necho \"$TOVIK_ENCODING\"\n");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(QStringLiteral("输出 { \"答案\" x }\n"));
        window.OutputPane()->setPlainText(QStringLiteral("from an earlier run"));
        QVERIFY(Run(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("正在编译……\ntmp.in.txt\n输出 { \"答案\" x }\nutf-8\n"));
        QCOMPARE(ReadBytes(QDir(program).filePath(QStringLiteral("tmp.in.txt"))),
                 QStringLiteral("输出 { \"答案\" x }\n").toUtf8());
        QCOMPARE(Status(window, "runState"), QStringLiteral("finished"));
        // The output cannot be undone away.
        window.OutputPane()->setFocus();
        Action(window, "undo")->trigger();
        QVERIFY(window.OutputPane()->toPlainText().startsWith(QStringLiteral("正在编译")));

        // Fast search adds its option to the next runs.
        window.Editor()->clear();
        Action(window, "fastSearch")->trigger();
        QVERIFY(Run(window));
        QCOMPARE(window.OutputPane()->toPlainText(),
                 QStringLiteral("正在编译……\n--fast tmp.in.txt\nutf-8\n"));
    }

    void closingDuringARunEndsTheChild() {
        const QString program = ProgramDir("echo $$ > pid\nexec sleep 60\n");
        const QString pidFile = QDir(program).filePath(QStringLiteral("pid"));
        {
            CMainWindow window(program);
            QVERIFY(Show(window));
            Action(window, "run")->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(!ReadBytes(pidFile).trimmed().isEmpty(), kRunTimeoutMs);
            QVERIFY(window.close());
        }
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") +
                                   QString::fromLatin1(ReadBytes(pidFile).trimmed())));
    }

    void stopInterruptsTheRealInterpreter() {
        // The interpreter ends on the interrupt by itself, before it would be
        // killed, and says how many lines it printed: exactly the count in
        // the status bar.
        const QString program = RealProgramDir();
        if (program.isEmpty()) QSKIP("tovik is not built");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(
            QStringLiteral("N{}={[0,9]};\nN a, b, c, d, e, f, g;\noutput {a b c d e f g}\n"));
        Action(window, "run")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window.Tally().Solutions() > 1000, kRunTimeoutMs);
        Action(window, "stop")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!window.Runner().IsRunning(), kRunTimeoutMs);
        QCOMPARE(Status(window, "runState"), QStringLiteral("stopped"));
        const QString output = window.OutputPane()->toPlainText();
        const QRegularExpressionMatch note =
            QRegularExpression(QStringLiteral("\ntovik: interrupted; (\\d+) solution line"))
                .match(output);
        QVERIFY2(note.hasMatch(), qPrintable(output.right(300)));
        QCOMPARE(Status(window, "solutionCount"),
                 QStringLiteral("%1 solutions").arg(note.captured(1)));
    }

    void floodOfTheRealInterpreter() {
        // 200,000 solution lines: the status bar says so once the run ends,
        // the pane keeps the last lines with a note of the dropped ones, and
        // the window keeps handling events throughout.
        const QString program = RealProgramDir();
        if (program.isEmpty()) QSKIP("tovik is not built");
        CMainWindow window(program);
        QVERIFY(Show(window));
        window.Editor()->setPlainText(
            QStringLiteral("A{}={[1,1000]};\nB{}={[1,200]};\nA a; B b;\noutput {a \" \" b}\n"));
        QElapsedTimer clock;
        qint64 last = 0, longestGap = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            longestGap = qMax(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        probe.start(10);
        Action(window, "run")->trigger();
        QCOMPARE(Status(window, "runState"), QStringLiteral("running"));
        QVERIFY(QTest::qWaitFor([&] { return !window.Runner().IsRunning(); }, kRunTimeoutMs));
        probe.stop();
        QCOMPARE(Status(window, "runState"), QStringLiteral("finished"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d s$"))
                    .match(Status(window, "runTime"))
                    .hasMatch());
        QCOMPARE(Status(window, "solutionCount"), QStringLiteral("200000 solutions"));
        const QTextDocument* doc = window.OutputPane()->document();
        QCOMPARE(doc->blockCount(), COutputPane::kMaxLines + 2);
        QCOMPARE(doc->firstBlock().text(),
                 QStringLiteral("[%1 earlier lines dropped]").arg(200002 - COutputPane::kMaxLines));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+ \\d+$"))
                    .match(doc->lastBlock().previous().text())
                    .hasMatch());
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
