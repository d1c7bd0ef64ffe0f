// Tests of what the editor reads from a run's output: error lines and the
// solution count (however the output is cut into pieces), and the output
// pane: read-only, following the end only from the end, and its line cap
// with the note of the lines it dropped.
#include "gui/output_pane.h"
#include "gui/run_tally.h"

#include <QClipboard>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

namespace {

const QString kCompiling = QStringLiteral("正在编译……\n");
const QString kSearching = QStringLiteral("正在搜索……\n");

// Lines "line FIRST" to "line LAST", each with its line end.
QString Lines(int first, int last) {
    QString text;
    for (int i = first; i <= last; ++i) text += QStringLiteral("line %1\n").arg(i);
    return text;
}

}  // namespace

class TestOutput : public QObject {
    Q_OBJECT

private slots:
    void errorLineNumber() {
        QCOMPARE(ErrorLineNumber(QStringLiteral("1024 行: 变量未定义 ")), 1024);
        for (const char* line : {" 行: x", "x 3 行: y", "3 行 y", "a=3, b=1", "３ 行: x"})
            QVERIFY2(ErrorLineNumber(QString::fromUtf8(line)) == 0, line);
    }

    void tally() {
        // Every split of the output into two pieces gives the same count:
        // lines after the search line count, the interpreter's notes do not,
        // and a last line without a line end counts once the output ends.
        const QString output =
            kCompiling + kSearching +
            QStringLiteral("a=1\n\nb=2\ntovik: interrupted; 3 solution line(s) found so far\nc=3");
        for (int cut = 0; cut <= output.size(); ++cut) {
            CRunTally tally;
            tally.Feed(output.left(cut));
            tally.Feed(output.mid(cut));
            QCOMPARE(tally.Solutions(), 3);
            tally.Finish();
            QCOMPARE(tally.Solutions(), 4);
            QCOMPARE(tally.Errors(), 0);
        }

        // Errors count while compiling; the first one is kept. After the
        // search line, a line that looks like an error is a solution.
        CRunTally tally;
        tally.Feed(kCompiling + QStringLiteral("7 行: parse error \n2 行: x \n"));
        tally.Finish();
        QCOMPARE(tally.FirstErrorLine(), 7);
        QCOMPARE(tally.Errors(), 2);
        tally.Reset();
        tally.Feed(kCompiling + kSearching + QStringLiteral("5 行: x\n"));
        QCOMPARE(tally.Solutions(), 1);
        QCOMPARE(tally.FirstErrorLine(), 0);
    }

    void readOnly() {
        // Typing does nothing; selecting and copying work.
        COutputPane pane;
        pane.Append(QStringLiteral("out\n"));
        pane.Flush();
        QTest::keyClicks(&pane, QStringLiteral("xy"));
        QTest::keyClick(&pane, Qt::Key_Backspace);
        QCOMPARE(pane.toPlainText(), QStringLiteral("out\n"));
        pane.selectAll();
        pane.copy();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("out\n"));
    }

    void viewFollowsTheEndOnlyFromTheEnd_data() {
        // Lines shown, the line then scrolled to (0: none, the view stays at
        // the end), and the lines that arrive after.
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("more");
        QTest::newRow("at the end") << 200 << 0 << 100;
        QTest::newRow("scrolled up") << 200 << 50 << 100;
        QTest::newRow("scrolled up, earlier lines dropped") << 9000 << 8000 << 2000;
    }

    void viewFollowsTheEndOnlyFromTheEnd() {
        QFETCH(int, shown);
        QFETCH(int, top);
        QFETCH(int, more);
        COutputPane pane;
        pane.resize(300, 200);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QScrollBar* bar = pane.verticalScrollBar();
        pane.Append(Lines(1, shown));
        pane.Flush();
        if (top > 0) bar->setValue(top - 1);
        pane.Append(Lines(shown + 1, shown + more));
        pane.Flush();
        if (top > 0)
            QCOMPARE(pane.cursorForPosition(QPoint(0, 0)).block().text(),
                     QStringLiteral("line %1").arg(top));
        else
            QCOMPARE(bar->value(), bar->maximum());
        // Back at the end, the view follows again.
        bar->setValue(bar->maximum());
        pane.Append(Lines(shown + more + 1, shown + more + 10));
        pane.Flush();
        QCOMPARE(bar->value(), bar->maximum());
    }

    void lineCap_data() {
        // Pieces of output, each flushed at once, with the line ends they hold.
        QTest::addColumn<QList<int>>("batches");
        QTest::newRow("exactly full") << QList<int>{COutputPane::kMaxLines};
        QTest::newRow("one over") << QList<int>{COutputPane::kMaxLines, 1};
        QTest::newRow("small then flood") << QList<int>{5, 30000, 7};
    }

    void lineCap() {
        // Line i reads "line i"; pieces may end inside a line.
        QFETCH(QList<int>, batches);
        COutputPane pane;
        int total = 0;
        for (int ends : batches) {
            QString text = QStringLiteral("-part");
            for (int i = 0; i < ends; ++i) text += QStringLiteral("\nline %1").arg(++total);
            pane.Append(text);
            pane.Flush();
        }
        const int dropped = qMax(0, total - COutputPane::kMaxLines);
        const int note = dropped > 0 ? 1 : 0;
        const QTextDocument* doc = pane.document();
        QCOMPARE(pane.DroppedLines(), dropped);
        QCOMPARE(doc->blockCount(), total - dropped + 1 + note);
        if (note)
            QCOMPARE(doc->firstBlock().text(),
                     QStringLiteral("[%1 earlier lines dropped]").arg(dropped));
        QCOMPARE(doc->lastBlock().text(), QStringLiteral("line %1").arg(total));
        // The first kept line is whole, joined with the piece that began it.
        const QString first = doc->findBlockByNumber(note).text();
        const QString expected =
            note ? QStringLiteral("line %1").arg(dropped) : QStringLiteral("-part");
        QVERIFY2(first == expected || first == expected + QStringLiteral("-part"),
                 qPrintable(first));
    }
};

QTEST_MAIN(TestOutput)
#include "output_pane_test.moc"
