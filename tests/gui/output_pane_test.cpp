// Tests of what the editor reads from a run's output: error lines and the
// solution count (however the output is cut into pieces), and the output
// pane's batches, line cap with its note, and error-line double-clicks.
#include "gui/output_pane.h"
#include "gui/run_tally.h"

#include <QTextBlock>
#include <QtTest>

namespace {

const QString kCompiling = QStringLiteral("正在编译……\n");
const QString kSearching = QStringLiteral("正在搜索……\n");

} // namespace

class TestOutput : public QObject
{
    Q_OBJECT

private slots:
    void errorLineNumber_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("number");
        QTest::newRow("error") << QStringLiteral("3 行: parse error ") << 3;
        QTest::newRow("many digits") << QStringLiteral("1024 行: 变量未定义 ") << 1024;
        QTest::newRow("no number") << QStringLiteral(" 行: x") << 0;
        QTest::newRow("not at the start") << QStringLiteral("x 3 行: y") << 0;
        QTest::newRow("no colon") << QStringLiteral("3 行 y") << 0;
        QTest::newRow("a solution") << QStringLiteral("a=3, b=1") << 0;
        QTest::newRow("wide digits") << QStringLiteral("３ 行: x") << 0;
    }

    void errorLineNumber()
    {
        QFETCH(QString, line);
        QFETCH(int, number);
        QCOMPARE(ErrorLineNumber(line), number);
    }

    void tallyOfASearch()
    {
        // Every split of the output into two pieces gives the same tally:
        // lines after the search line count, the interpreter's notes do not,
        // and a last line without a line end counts once the output ends.
        const QString output = kCompiling + kSearching
            + QStringLiteral("a=1\n\nb=2\ntovik: interrupted; 3 solution line(s) found so far\nc=3");
        for (int cut = 0; cut <= output.size(); ++cut) {
            CRunTally tally;
            tally.Feed(output.left(cut));
            tally.Feed(output.mid(cut));
            QCOMPARE(tally.Solutions(), 3);
            tally.Finish();
            QCOMPARE(tally.Solutions(), 4);
            QCOMPARE(tally.Errors(), 0);
        }
    }

    void tallyOfCompileErrors()
    {
        CRunTally tally;
        tally.Feed(kCompiling + QStringLiteral("7 行: parse error \n"));
        QCOMPARE(tally.FirstErrorLine(), 7);
        tally.Feed(QStringLiteral("2 行: x \n"));
        tally.Finish();
        QCOMPARE(tally.FirstErrorLine(), 7);
        QCOMPARE(tally.Errors(), 2);
        QCOMPARE(tally.Solutions(), 0);
        // A solution line that looks like an error is a solution.
        tally.Reset();
        tally.Feed(kCompiling + kSearching + QStringLiteral("5 行: x\n"));
        QCOMPARE(tally.Solutions(), 1);
        QCOMPARE(tally.FirstErrorLine(), 0);
    }

    void batchesWaitForTheTimer()
    {
        COutputPane pane;
        pane.Append(QStringLiteral("one\n"));
        pane.Append(QStringLiteral("two"));
        QVERIFY(pane.toPlainText().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(pane.toPlainText(), QStringLiteral("one\ntwo"), 1000);
        pane.Append(QStringLiteral(" more\n"));
        pane.Flush();
        QCOMPARE(pane.toPlainText(), QStringLiteral("one\ntwo more\n"));
        pane.ClearOutput();
        QCOMPARE(pane.toPlainText(), QString());
    }

    void lineCap_data()
    {
        // Pieces of output, each flushed at once, with the line ends they hold.
        QTest::addColumn<QList<int>>("batches");
        QTest::newRow("one flood") << QList<int>{25000};
        QTest::newRow("exactly full") << QList<int>{COutputPane::kMaxLines};
        QTest::newRow("one over") << QList<int>{COutputPane::kMaxLines, 1};
        QTest::newRow("many small") << QList<int>{4000, 4000, 4000, 4000, 3};
        QTest::newRow("small then flood") << QList<int>{5, 30000, 7};
    }

    void lineCap()
    {
        // Line i reads "line i"; pieces may end inside a line.
        QFETCH(QList<int>, batches);
        COutputPane pane;
        int next = 0;
        for (int ends : batches) {
            QString text = QStringLiteral("-part");
            for (int i = 0; i < ends; ++i)
                text += QStringLiteral("\nline %1").arg(++next);
            pane.Append(text);
            pane.Flush();
        }
        const qint64 total = next;
        const qint64 dropped = qMax<qint64>(0, total - COutputPane::kMaxLines);
        QCOMPARE(pane.DroppedLines(), dropped);
        const QTextDocument* doc = pane.document();
        const int noteBlocks = dropped > 0 ? 1 : 0;
        QCOMPARE(doc->blockCount(), int(total - dropped) + 1 + noteBlocks);
        if (dropped > 0)
            QCOMPARE(doc->firstBlock().text(), QStringLiteral("[%1 earlier lines dropped]").arg(dropped));
        QCOMPARE(doc->lastBlock().text(), QStringLiteral("line %1").arg(total));
        // The first kept line is whole, joined with the piece that began it.
        const QString firstKept = doc->findBlockByNumber(noteBlocks).text();
        const QString expected = dropped > 0 ? QStringLiteral("line %1").arg(dropped) : QStringLiteral("-part");
        QVERIFY2(firstKept == expected || firstKept == expected + QStringLiteral("-part"), qPrintable(firstKept));
    }

    void doubleClickOnAnErrorLine()
    {
        COutputPane pane;
        pane.resize(400, 300);
        pane.Append(kCompiling + QStringLiteral("12 行: parse error \nplain\n"));
        pane.Flush();
        QList<int> lines;
        connect(&pane, &COutputPane::ErrorLineActivated, this, [&](int line) { lines << line; });
        const auto pointOf = [&](int block) {
            QTextCursor cursor(pane.document()->findBlockByNumber(block));
            return pane.cursorRect(cursor).center() + QPoint(4, 0);
        };
        QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, pointOf(1));
        QCOMPARE(lines, QList<int>{12});
        QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, pointOf(2));
        QCOMPARE(lines, QList<int>{12});
        // A plain line keeps the usual double-click: its word is selected.
        QCOMPARE(pane.textCursor().selectedText(), QStringLiteral("plain"));
    }
};

QTEST_MAIN(TestOutput)
#include "output_pane_test.moc"
