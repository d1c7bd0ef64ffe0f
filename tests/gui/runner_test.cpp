// Tests of CRunner with stand-in interpreters: the chunk transformations,
// output shown while the child runs, GBK characters split between chunks,
// line ends, floods, output written just before the end, and what the child
// is given (argument, directory, environment, standard input).
#include "gui/runner.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QtTest>

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
        return texts;
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

    void gbkCharacterAtTheChunkLimit()
    {
        // 8190 ASCII bytes put the lead byte of 正 last in an 8191-byte chunk.
        const QStringList texts = Run("head -c 8190 /dev/zero | tr '\\000' x\nprintf '\\325\\375\\r\\n'\n");
        QCOMPARE(texts.join(QString()), QString(8190, QLatin1Char('x')) + QStringLiteral("正\n"));
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
        QTest::newRow("exit at once") << QByteArray("printf 'last words'");
        QTest::newRow("killed") << QByteArray("printf 'last words'\nkill -9 $$");
        QTest::newRow("failure status") << QByteArray("printf 'last words'\nexit 3");
    }

    void outputBeforeTheEndIsShown()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(Run(body).join(QString()), QStringLiteral("last words"));
    }

    void childEnvironment()
    {
        // The directory has a space; the argument arrives whole; no output
        // encoding is forced; standard input is empty, so reading it ends.
        const QString directory = m_dir.filePath(QStringLiteral("run dir"));
        QVERIFY(QDir().mkpath(directory));
        qputenv("TOVIK_ENCODING", "utf8");
        const QStringList texts = Run("pwd\necho \"$1|$TOVIK_ENCODING\"\nread line\necho \"read:$line\"", directory);
        qunsetenv("TOVIK_ENCODING");
        QCOMPARE(texts.join(QString()), QDir(directory).canonicalPath() + QStringLiteral("\ntmp.in.txt|\nread:\n"));
    }
};

QTEST_MAIN(TestRunner)
#include "runner_test.moc"
