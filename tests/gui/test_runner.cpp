// Tests of CRunner with stand-in interpreters: the chunk transformations,
// GBK decoding across chunks, line ends, floods, output written just before
// the end, cancellation, a program that cannot start and the child's
// environment (arguments, directory, standard input).
#include "Runner.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kRunTimeoutMs = 20000;

// One run of a stand-in: every Output text in order, and whether the run ended.
struct CRunRecord
{
    QStringList texts;
    bool finished = false;
    QString All() const { return texts.join(QString()); }
};

} // namespace

class TestRunner : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString Script(const QString& name, const QByteArray& body)
    {
        const QString path = m_dir.filePath(name);
        if (!WriteScript(path, body))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Starts `program` and collects its output until the run ends.
    CRunRecord Collect(CRunner& runner, const QString& program,
                       const QStringList& arguments = {}, const QString& directory = {})
    {
        CRunRecord record;
        QObject context;
        connect(&runner, &CRunner::Output, &context, [&](const QString& t) {
            record.texts << t;
            if (record.finished)
                record.texts << QStringLiteral("<after end>");
        });
        connect(&runner, &CRunner::Finished, &context, [&] { record.finished = true; });
        runner.Start(program, arguments, directory.isEmpty() ? m_dir.path() : directory);
        if (!QTest::qWaitFor([&] { return record.finished; }, kRunTimeoutMs))
            record.texts << QStringLiteral("<no end>");
        QTest::qWait(50); // anything reported after the end would show now
        return record;
    }

    CRunRecord RunScript(const QByteArray& body)
    {
        CRunner runner;
        return Collect(runner, Script(QStringLiteral("child.sh"), body));
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
            << QByteArray("aPress any key to continue . . .bPress any key to continue . . .")
            << QByteArray("a");
        QTest::newRow("partial prompt kept")
            << QByteArray("Press any key to continue") << QByteArray("Press any key to continue");
        QTest::newRow("backspace inside the prompt is a space first")
            << QByteArray("ok\bPress any key to continue . . .") << QByteArray("ok ");
    }

    void transformChunk()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(QByteArray, shown);
        QCOMPARE(CRunner::TransformChunk(chunk), shown);
    }

    void transformationsOnAStandIn()
    {
        const CRunRecord run = RunScript(
            "printf 'a\\010b\\r\\n'\n"
            "sleep 0.3\n"
            "printf 'abcPress any key to continue . . .xyz'\n");
        QCOMPARE(run.All(), QStringLiteral("a b\nabc"));
    }

    void outputIsShownWhileTheChildRuns()
    {
        CRunner runner;
        QStringList texts;
        connect(&runner, &CRunner::Output, this, [&](const QString& t) { texts << t; });
        runner.Start(Script(QStringLiteral("slow.sh"), "echo first\nsleep 2\necho second\n"), {},
                     m_dir.path());
        QTRY_COMPARE_WITH_TIMEOUT(texts.join(QString()), QStringLiteral("first\n"), 1500);
        QVERIFY(runner.IsRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!runner.IsRunning(), kRunTimeoutMs);
        QCOMPARE(texts.join(QString()), QStringLiteral("first\nsecond\n"));
    }

    void gbkCharacterSplitBetweenWrites()
    {
        // 正在编译…… in GBK, the first character split between two writes.
        const CRunRecord run = RunScript(
            "printf '\\325'\n"
            "sleep 0.3\n"
            "printf '\\375\\324\\332\\261\\340\\322\\353\\241\\255\\241\\255\\r\\n'\n");
        QCOMPARE(run.All(), QStringLiteral("正在编译……\n"));
    }

    void gbkCharacterAtTheChunkLimit()
    {
        // 8190 ASCII bytes put the lead byte of 正 last in an 8191-byte chunk.
        const CRunRecord run = RunScript(
            "head -c 8190 /dev/zero | tr '\\000' x\n"
            "printf '\\325\\375\\r\\n'\n");
        QCOMPARE(run.All(), QString(8190, QLatin1Char('x')) + QStringLiteral("正\n"));
    }

    void lineEnds()
    {
        const CRunRecord run = RunScript(
            "printf 'a\\r'\n"
            "sleep 0.3\n"
            "printf '\\nb\\rc\\r\\n\\r\\n'\n"
            "sleep 0.3\n"
            "printf 'end\\r'\n");
        QCOMPARE(run.All(), QStringLiteral("a\nb\nc\n\nend\n"));
    }

    void floodArrivesWholeInBoundedChunks()
    {
        const CRunRecord run = RunScript("yes 0123456789abcdef | head -c 1000000\n");
        QCOMPARE(run.All().size(), 1000000);
        QVERIFY(run.All().startsWith(QStringLiteral("0123456789abcdef\n0123")));
        for (const QString& text : run.texts)
            QVERIFY(text.size() <= CRunner::kChunkBytes);
    }

    void outputBeforeTheEndIsShown_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("exit at once") << QByteArray("printf 'last words'");
        QTest::newRow("killed") << QByteArray("printf 'last words'\nkill -9 $$");
        QTest::newRow("failure status") << QByteArray("printf 'last words'\nexit 3");
    }

    void outputBeforeTheEndIsShown()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(RunScript(body).All(), QStringLiteral("last words"));
    }

    void cancelStopsALongRun()
    {
        CRunner runner;
        bool started = false;
        bool finished = false;
        QString all;
        connect(&runner, &CRunner::Output, this, [&](const QString& t) {
            all += t;
            started = true;
        });
        connect(&runner, &CRunner::Finished, this, [&] { finished = true; });
        runner.Start(Script(QStringLiteral("long.sh"), "echo started\nexec sleep 60\n"), {}, m_dir.path());
        QTRY_VERIFY_WITH_TIMEOUT(started, kRunTimeoutMs);

        QElapsedTimer clock;
        clock.start();
        runner.Cancel();
        QTRY_VERIFY_WITH_TIMEOUT(finished, 5000);
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(all, QStringLiteral("started\n\nCancelled.\n\nProcess terminated successfully.\n"));
        QVERIFY(!runner.IsRunning());
    }

    void cancelWithoutARunDoesNothing()
    {
        CRunner runner;
        QSignalSpy finished(&runner, &CRunner::Finished);
        runner.Cancel();
        QTest::qWait(50);
        QCOMPARE(finished.count(), 0);
    }

    void missingProgram()
    {
        CRunner runner;
        const CRunRecord run = Collect(runner, m_dir.filePath(QStringLiteral("no-such-tovik")));
        QCOMPARE(run.texts.size(), 1); // nothing after the report
        const QString text = run.texts.front();
        QVERIFY2(text.startsWith(QStringLiteral("Error creating process\n")), qPrintable(text));
        const QString reason = text.mid(QStringLiteral("Error creating process\n").size());
        QVERIFY(reason.size() > 1);
        QVERIFY(reason.endsWith(QLatin1Char('\n')));
        QVERIFY(!runner.IsRunning());
    }

    void aRunCanFollowAFailedStart()
    {
        CRunner runner;
        Collect(runner, m_dir.filePath(QStringLiteral("no-such-tovik")));
        const CRunRecord run = Collect(runner, Script(QStringLiteral("ok.sh"), "echo ok"));
        QCOMPARE(run.All(), QStringLiteral("ok\n"));
    }

    void onlyOneRunAtATime()
    {
        CRunner runner;
        QVERIFY(runner.Start(Script(QStringLiteral("wait.sh"), "exec sleep 60"), {}, m_dir.path()));
        QVERIFY(!runner.Start(Script(QStringLiteral("other.sh"), "echo other"), {}, m_dir.path()));
        QSignalSpy finished(&runner, &CRunner::Finished);
        runner.Cancel();
        QVERIFY(finished.wait(5000));
    }

    void childEnvironment()
    {
        // The directory has a space; the argument reaches the child whole;
        // standard input is empty, so a child that reads it does not hang.
        const QString directory = m_dir.filePath(QStringLiteral("run dir"));
        QVERIFY(QDir().mkpath(directory));
        CRunner runner;
        const CRunRecord run = Collect(
            runner,
            Script(QStringLiteral("env.sh"), "pwd\nprintf '%s\\n' \"$1\"\nread line\necho \"read:$line\""),
            {QStringLiteral("tmp.in.txt")}, directory);
        QCOMPARE(run.All(), QDir(directory).canonicalPath() + QStringLiteral("\ntmp.in.txt\nread:\n"));
    }

    void destroyingTheRunnerEndsTheChild()
    {
        const QString pidFile = m_dir.filePath(QStringLiteral("pid"));
        {
            CRunner runner;
            runner.Start(Script(QStringLiteral("pid.sh"), "echo $$ > pid\nexec sleep 60"), {}, m_dir.path());
            QTRY_VERIFY_WITH_TIMEOUT(!ReadBytes(pidFile).trimmed().isEmpty(), kRunTimeoutMs);
        }
        const QByteArray pid = ReadBytes(pidFile).trimmed();
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)));
    }
};

QTEST_MAIN(TestRunner)
#include "test_runner.moc"
