// Tests of CRunner with stand-in interpreters: the chunk transformations,
// output shown while the child runs, UTF-8 characters split between chunks,
// line ends, floods, output written just before the end, what the child is
// given (argument, directory, environment, standard input), how runs end,
// and Cancel reaching the child's whole process group.
#include "gui/runner.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// True while process `pid` exists (and is no zombie left for us to reap).
bool Alive(const QByteArray& pid)
{
    const QByteArray stat = ReadBytes(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
    return !stat.isEmpty() && !stat.contains(") Z ");
}

} // namespace

class TestRunner : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Runs a stand-in with `body` to its end; returns every Output text, in order.
    QStringList Run(const QByteArray& body, const QString& directory = {})
    {
        const QString script = m_dir.filePath(QStringLiteral("child.sh"));
        if (!WriteScript(script, body))
            qFatal("cannot write %s", qPrintable(script));
        CRunner runner;
        QStringList texts;
        connect(&runner, &CRunner::Output, &runner, [&](const QString& t) { texts << t; });
        runner.Start(script, {QStringLiteral("tmp.in.txt")}, directory.isEmpty() ? m_dir.path() : directory);
        if (!QTest::qWaitFor([&] { return !runner.IsRunning(); }, 20000))
            texts << QStringLiteral("<no end>");
        m_lastEnd = runner.LastEnd();
        return texts;
    }

    CRunner::End m_lastEnd = CRunner::End::None;

    // Starts a stand-in that writes its own and its background child's
    // process ids to `pids`, then cancels it once both are written. Returns
    // the milliseconds from the cancel to the end, -1 when it never ended.
    int CancelRun(const QByteArray& body, QString* notices, QList<QByteArray>* pids)
    {
        const QString script = m_dir.filePath(QStringLiteral("group.sh"));
        const QString pidFile = m_dir.filePath(QStringLiteral("pids"));
        QFile::remove(pidFile);
        if (!WriteScript(script, body))
            qFatal("cannot write %s", qPrintable(script));
        CRunner runner;
        connect(&runner, &CRunner::Notice, &runner, [&](const QString& t) { *notices += t; });
        runner.Start(script, {}, m_dir.path());
        if (!QTest::qWaitFor([&] { return ReadBytes(pidFile).count('\n') == 2; }, 10000))
            return -1;
        *pids = ReadBytes(pidFile).trimmed().split('\n');
        QElapsedTimer clock;
        clock.start();
        runner.Cancel();
        if (!QTest::qWaitFor([&] { return !runner.IsRunning(); }, 10000))
            return -1;
        m_lastEnd = runner.LastEnd();
        return int(clock.elapsed());
    }

private slots:
    void transformChunk_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("plain") << QByteArray("x = 1\r\n") << QByteArray("x = 1\r\n");
        QTest::newRow("backspaces") << QByteArray("a\bb\b\b") << QByteArray("a b  ");
        QTest::newRow("prompt in the middle")
            << QByteArray("abcPress any key to continue . . .xyz") << QByteArray("abc");
        QTest::newRow("prompt first") << QByteArray("Press any key to continue . . .\r\n") << QByteArray();
        QTest::newRow("cut at the first prompt")
            << QByteArray("aPress any key to continue . . .bPress any key to continue . . .") << QByteArray("a");
        QTest::newRow("partial prompt kept")
            << QByteArray("Press any key to continue") << QByteArray("Press any key to continue");
    }

    void transformChunk()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(QByteArray, shown);
        QCOMPARE(CRunner::TransformChunk(chunk), shown);
    }

    void transformationsOnAStandIn()
    {
        const QStringList texts = Run("printf 'a\\010b\\r\\n'\nsleep 0.3\n"
                                      "printf 'abcPress any key to continue . . .xyz'\n");
        QCOMPARE(texts.join(QString()), QStringLiteral("a b\nabc"));
    }

    void outputIsShownWhileTheChildRuns()
    {
        CRunner runner;
        QString all;
        connect(&runner, &CRunner::Output, this, [&](const QString& t) { all += t; });
        const QString script = m_dir.filePath(QStringLiteral("slow.sh"));
        QVERIFY(WriteScript(script, "echo first\nsleep 2\necho second\n"));
        runner.Start(script, {}, m_dir.path());
        QTRY_COMPARE_WITH_TIMEOUT(all, QStringLiteral("first\n"), 1500);
        QVERIFY(runner.IsRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!runner.IsRunning(), 20000);
        QCOMPARE(all, QStringLiteral("first\nsecond\n"));
    }

    void utf8CharacterAtTheChunkLimit_data()
    {
        QTest::addColumn<int>("ascii");
        QTest::newRow("one byte of three in the first chunk") << 8190;
        QTest::newRow("two bytes of three in the first chunk") << 8189;
    }

    void utf8CharacterAtTheChunkLimit()
    {
        // The bytes go out in one write, so the first chunk is full and cuts 正.
        QFETCH(int, ascii);
        const QStringList texts = Run(QByteArray("{ head -c ") + QByteArray::number(ascii)
                                      + " /dev/zero | tr '\\000' x; printf '\\346\\255\\243\\r\\n'; } | cat\n");
        QCOMPARE(texts.join(QString()), QString(ascii, QLatin1Char('x')) + QStringLiteral("正\n"));
    }

    void lineEnds()
    {
        // A CR that ends one chunk and the LF that starts the next are one line end.
        const QStringList texts = Run("printf 'a\\r'\nsleep 0.3\nprintf '\\nb\\rc\\r\\n\\r\\n'\n"
                                      "sleep 0.3\nprintf 'end\\r'\n");
        QCOMPARE(texts.join(QString()), QStringLiteral("a\nb\nc\n\nend\n"));
    }

    void floodArrivesWholeInBoundedChunks()
    {
        const QStringList texts = Run("yes 0123456789abcdef | head -c 1000000\n");
        QCOMPARE(texts.join(QString()).size(), 1000000);
        for (const QString& text : texts)
            QVERIFY(text.size() <= CRunner::kChunkBytes);
    }

    void outputBeforeTheEndIsShown_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("end");
        QTest::newRow("exit at once") << QByteArray("printf 'last words'") << int(CRunner::End::Finished);
        QTest::newRow("killed") << QByteArray("printf 'last words'\nkill -9 $$") << int(CRunner::End::Failed);
        QTest::newRow("failure status") << QByteArray("printf 'last words'\nexit 3") << int(CRunner::End::Failed);
    }

    void outputBeforeTheEndIsShown()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, end);
        QCOMPARE(Run(body).join(QString()), QStringLiteral("last words"));
        QCOMPARE(int(m_lastEnd), end);
    }

    void cancelInterruptsTheWholeGroup()
    {
        // The shell ends on the interrupt at once; its background child,
        // which ignores interrupts as background jobs of a script do, goes
        // with the group.
        QString notices;
        QList<QByteArray> pids;
        const int ms = CancelRun("trap 'echo interrupted; exit 130' INT\n"
                                 "sleep 60 &\necho $$ > pids\necho $! >> pids\nwait\n",
                                 &notices, &pids);
        QVERIFY(ms >= 0);
        QVERIFY2(ms < CRunner::kKillDelayMs, qPrintable(QString::number(ms)));
        QCOMPARE(int(m_lastEnd), int(CRunner::End::Stopped));
        QCOMPARE(notices, QStringLiteral("\nCancelled.\n\nProcess terminated successfully.\n"));
        for (const QByteArray& pid : pids)
            QTRY_VERIFY2(!Alive(pid), pid.constData());
    }

    void cancelKillsAGroupThatIgnoresTheInterrupt()
    {
        QString notices;
        QList<QByteArray> pids;
        const int ms = CancelRun("trap '' INT\nsleep 60 &\necho $$ > pids\necho $! >> pids\nwait\n",
                                 &notices, &pids);
        QVERIFY(ms >= CRunner::kKillDelayMs - 50);
        QVERIFY2(ms < 4 * CRunner::kKillDelayMs, qPrintable(QString::number(ms)));
        QCOMPARE(int(m_lastEnd), int(CRunner::End::Stopped));
        QVERIFY(notices.contains(QStringLiteral("Cancelled.")));
        for (const QByteArray& pid : pids)
            QTRY_VERIFY2(!Alive(pid), pid.constData());
    }

    void childEnvironment()
    {
        // The directory has a space; the argument arrives whole; UTF-8 output
        // is asked for, whatever the user's environment says; standard input
        // is empty, so reading it ends; the child leads its own group.
        const QString directory = m_dir.filePath(QStringLiteral("run dir"));
        QVERIFY(QDir().mkpath(directory));
        qputenv("TOVIK_ENCODING", "gbk");
        const QStringList texts = Run("pwd\necho \"$1|$TOVIK_ENCODING\"\nread line\necho \"read:$line\"\n"
                                      // The fifth field of the stat line is the process group.
                                      "set -- $(cat /proc/$$/stat)\n[ \"$5\" = $$ ] && echo 1",
                                      directory);
        qunsetenv("TOVIK_ENCODING");
        QCOMPARE(texts.join(QString()),
                 QDir(directory).canonicalPath() + QStringLiteral("\ntmp.in.txt|utf-8\nread:\n1\n"));
    }
};

QTEST_MAIN(TestRunner)
#include "runner_test.moc"
