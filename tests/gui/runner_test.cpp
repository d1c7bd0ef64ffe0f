// Tests of CRunner with stand-in interpreters: the chunk transformations,
// output in order, UTF-8 characters and line ends split between chunks,
// what the child is given, how runs end, and Cancel reaching the
// child's whole process group.
#include "gui/runner.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

class TestRunner : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    CRunner::End m_lastEnd = CRunner::End::None;

    // Runs a stand-in with `body` to its end; returns all it showed, in order.
    QString Run(const QByteArray& body, const QString& directory = {}) {
        const QString script = m_dir.filePath(QStringLiteral("child.sh"));
        if (!body.isEmpty() && !WriteScript(script, body))
            qFatal("cannot write %s", qPrintable(script));
        CRunner runner;
        QString shown;
        connect(&runner, &CRunner::Output, &runner, [&](const QString& t) { shown += t; });
        connect(&runner, &CRunner::Notice, &runner, [&](const QString& t) { shown += t; });
        runner.Start(body.isEmpty() ? m_dir.filePath(QStringLiteral("none")) : script,
                     {QStringLiteral("tmp.in.txt")},
                     directory.isEmpty() ? m_dir.path() : directory);
        if (!QTest::qWaitFor([&] { return !runner.IsRunning(); }, 20000))
            shown += QStringLiteral("<no end>");
        m_lastEnd = runner.LastEnd();
        return shown;
    }

private slots:
    void transformChunk_data() {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QByteArray>("shown");
        const QByteArray prompt("Press any key to continue . . .");
        QTest::newRow("backspaces") << QByteArray("a\bb\b\b") << QByteArray("a b  ");
        QTest::newRow("cut at the first prompt") << "a" + prompt + "b" + prompt << QByteArray("a");
        QTest::newRow("prompt first") << prompt + "\r\n" << QByteArray();
        QTest::newRow("partial prompt kept") << prompt.left(25) << prompt.left(25);
    }

    void transformChunk() {
        QFETCH(QByteArray, chunk);
        QFETCH(QByteArray, shown);
        QCOMPARE(CRunner::TransformChunk(chunk), shown);
    }

    void outputAcrossChunks() {
        // Chunks arrive in order, each transformed; a CR that ends one chunk
        // and the LF that starts the next are one line end. Standard input is
        // empty, so reading it ends; the child runs in the given directory
        // and is asked for UTF-8 output, whatever the user's environment says.
        const QString directory = m_dir.filePath(QStringLiteral("run dir"));
        QVERIFY(QDir().mkpath(directory));
        qputenv("TOVIK_ENCODING", "gbk");
        const QString shown =
            Run("read line\nprintf 'a\\010b\\r'\nsleep 0.3\nprintf '\\nc\\rd\\r\\n\\r\\n'\n"
                "sleep 0.3\necho \"$(pwd -P)|$1|$TOVIK_ENCODING\"\n"
                "printf 'xPress any key to continue . . .yz'\n",
                directory);
        qunsetenv("TOVIK_ENCODING");
        QCOMPARE(shown, QStringLiteral("a b\nc\nd\n\n%1|tmp.in.txt|utf-8\nx")
                            .arg(QDir(directory).canonicalPath()));
    }

    void utf8CharacterAtTheChunkLimit() {
        // One write fills the first chunk, which cuts 正 after one or two of its bytes.
        for (int ascii : {8190, 8189}) {
            const QString shown =
                Run("{ head -c " + QByteArray::number(ascii) +
                    " /dev/zero | tr '\\000' x; printf '\\346\\255\\243\\r\\n'; } | cat\n");
            QCOMPARE(shown, QString(ascii, QLatin1Char('x')) + QStringLiteral("正\n"));
        }
    }

    void howRunsEnd_data() {
        // What the run showed, as a pattern, and how it ended.
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("end");
        const QString last = QStringLiteral("^last words$");
        QTest::newRow("exit at once")
            << QByteArray("printf 'last words'") << last << int(CRunner::End::Finished);
        QTest::newRow("killed") << QByteArray("printf 'last words'\nkill -9 $$") << last
                                << int(CRunner::End::Failed);
        QTest::newRow("exit 3") << QByteArray("printf 'last words'\nexit 3") << last
                                << int(CRunner::End::Failed);
        QTest::newRow("no such program")
            << QByteArray() << QStringLiteral("^Error creating process\n.+\n$")
            << int(CRunner::End::Failed);
    }

    void howRunsEnd() {
        QFETCH(QByteArray, body);
        QFETCH(QString, shown);
        QFETCH(int, end);
        const QString all = Run(body);
        QVERIFY2(QRegularExpression(shown).match(all).hasMatch(), qPrintable(all));
        QCOMPARE(int(m_lastEnd), end);
    }

    void cancelEndsTheWholeGroup_data() {
        // The background sleep ignores interrupts, as background jobs of a
        // script do, so only the group's kill ends it.
        QTest::addColumn<QByteArray>("trap");
        QTest::addColumn<bool>("killed");  // the shell itself ignores the interrupt
        QTest::newRow("interrupt") << QByteArray("trap 'echo interrupted; exit 130' INT") << false;
        QTest::newRow("kill a second later") << QByteArray("trap '' INT") << true;
    }

    void cancelEndsTheWholeGroup() {
        QFETCH(QByteArray, trap);
        QFETCH(bool, killed);
        const QString script = m_dir.filePath(QStringLiteral("group.sh"));
        const QString pidFile = m_dir.filePath(QStringLiteral("pids"));
        QFile::remove(pidFile);
        QVERIFY(
            WriteScript(script, trap + "\nsleep 60 &\necho $$ > pids\necho $! >> pids\nwait\n"));
        CRunner runner;
        QString notices;
        connect(&runner, &CRunner::Notice, &runner, [&](const QString& t) { notices += t; });
        runner.Start(script, {}, m_dir.path());
        QTRY_COMPARE_WITH_TIMEOUT(ReadBytes(pidFile).count('\n'), 2, 10000);
        QElapsedTimer clock;
        clock.start();
        runner.Cancel();
        QTRY_VERIFY_WITH_TIMEOUT(!runner.IsRunning(), 10000);
        const qint64 ms = clock.elapsed();
        const bool onTime = killed
                                ? ms >= CRunner::kKillDelayMs - 50 && ms < 4 * CRunner::kKillDelayMs
                                : ms < CRunner::kKillDelayMs;
        QVERIFY2(onTime, qPrintable(QString::number(ms)));
        QCOMPARE(int(runner.LastEnd()), int(CRunner::End::Stopped));
        QCOMPARE(notices, QStringLiteral("\nCancelled: the run was stopped.\n"));
        for (const QByteArray& pid : ReadBytes(pidFile).trimmed().split('\n')) {
            const QString stat = QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid));
            QTRY_VERIFY2(ReadBytes(stat).isEmpty() || ReadBytes(stat).contains(") Z "),
                         pid.constData());
        }
    }
};

QTEST_MAIN(TestRunner)
#include "runner_test.moc"
