// Tests of the editor's highlighting: the token classes of each line in
// both keyword spellings, the longest-match cases the scanner is known for,
// block comments across lines, and the formats that land in the document.
#include "gui/highlighter.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

namespace {

// The tokens of a line as "K(in) N(x) 9(12) S("a") C(// c)".
QString Render(const QString& line, const QList<CTokenSpan>& spans)
{
    QStringList parts;
    for (const CTokenSpan& span : spans) {
        const QChar mark = QStringLiteral("KN9SC")[int(span.cls)];
        parts << QStringLiteral("%1(%2)").arg(mark).arg(line.mid(span.start, span.length));
    }
    return parts.join(QLatin1Char(' '));
}

QString Scan(const QString& line, CLineState state = CLineState::Normal)
{
    return Render(line, ScanPuzzleLine(line, &state));
}

// The token class whose format covers `length` characters from `start` of
// block `number`, or -1 when no single format range does.
int ClassAt(const QTextDocument& doc, int number, int start, int length)
{
    for (const QTextLayout::FormatRange& range : doc.findBlockByNumber(number).layout()->formats()) {
        if (range.start != start || range.length != length)
            continue;
        for (int cls = 0; cls <= int(CTokenClass::Comment); ++cls)
            if (range.format == CPuzzleHighlighter::Format(CTokenClass(cls)))
                return cls;
    }
    return -1;
}

} // namespace

class TestHighlighter : public QObject
{
    Q_OBJECT

private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("tokens");
        QTest::newRow("ASCII keywords")
            << QStringLiteral("# x in S: @ y in T: output {x}")
            << QStringLiteral("K(#) N(x) K(in) N(S) K(@) N(y) K(in) N(T) K(output) N(x)");
        QTest::newRow("Chinese keywords")
            << QStringLiteral("任意 x 属于 S: 存在 y 属于 T: 互不同(x, y); 输出{x}")
            << QStringLiteral("K(任意) N(x) K(属于) N(S) K(存在) N(y) K(属于) N(T) K(互不同) N(x) N(y) K(输出) N(x)");
        QTest::newRow("names that start like keywords")
            << QStringLiteral("inside output2 存在性 In Output 输出x _in 名次")
            << QStringLiteral("N(inside) N(output2) N(存在性) N(In) N(Output) N(输出x) N(_in) N(名次)");
        QTest::newRow("numbers")
            << QStringLiteral("12 -7 3.99 -.5 1.5e3 1.5E+3 12. 1e3 4.5e")
            << QStringLiteral("9(12) 9(-7) 9(3.99) 9(-.5) 9(1.5e3) 9(1.5E+3) 9(12) 9(1) N(e3) 9(4.5) N(e)");
        QTest::newRow("minus joins a digit, not an arrow")
            << QStringLiteral("x-1 x - 1 a->b a2")
            << QStringLiteral("N(x) 9(-1) N(x) 9(1) N(a) N(b) N(a2)");
        QTest::newRow("strings")
            << QStringLiteral("\"甲\" \"\" \"a // b /* c\" \"open in")
            << QStringLiteral("S(\"甲\") S(\"\") S(\"a // b /* c\") S(\"open in)");
        QTest::newRow("line comment")
            << QStringLiteral("x = 1; // 注释 \"not a string\" in")
            << QStringLiteral("N(x) 9(1) C(// 注释 \"not a string\" in)");
        QTest::newRow("block comment with any text")
            << QStringLiteral("a /* b \"c\" in * / */ 输出 /**/ d")
            << QStringLiteral("N(a) C(/* b \"c\" in * / */) K(输出) C(/**/) N(d)");
        QTest::newRow("block comment ends at the first close")
            << QStringLiteral("/* a */ b */")
            << QStringLiteral("C(/* a */) N(b)");
    }

    void tokens()
    {
        QFETCH(QString, line);
        QFETCH(QString, tokens);
        QCOMPARE(Scan(line), tokens);
    }

    void blockCommentAcrossLines()
    {
        CLineState state = CLineState::Normal;
        const QString first = QStringLiteral("x /* open \"q");
        QCOMPARE(Render(first, ScanPuzzleLine(first, &state)), QStringLiteral("N(x) C(/* open \"q)"));
        QVERIFY(state == CLineState::InComment);
        const QString middle = QStringLiteral("in 12 // \"");
        QCOMPARE(Render(middle, ScanPuzzleLine(middle, &state)), QStringLiteral("C(in 12 // \")"));
        QVERIFY(state == CLineState::InComment);
        const QString last = QStringLiteral("end */ 存在 y");
        QCOMPARE(Render(last, ScanPuzzleLine(last, &state)), QStringLiteral("C(end */) K(存在) N(y)"));
        QVERIFY(state == CLineState::Normal);
        // A line comment does not open a block comment.
        QCOMPARE(Scan(QStringLiteral("// /* x")), QStringLiteral("C(// /* x)"));
    }

    void formatsInTheDocument()
    {
        // The document of a text pane, which lays out its blocks as it is edited.
        QPlainTextEdit pane;
        QTextDocument& doc = *pane.document();
        new CPuzzleHighlighter(&doc);
        pane.setPlainText(QStringLiteral("x 属于 N;\ny = -3;\n输出 {\"a\" y}"));
        QCOMPARE(ClassAt(doc, 0, 0, 1), int(CTokenClass::Name));
        QCOMPARE(ClassAt(doc, 0, 2, 2), int(CTokenClass::Keyword));
        QCOMPARE(ClassAt(doc, 1, 4, 2), int(CTokenClass::Number));
        QCOMPARE(ClassAt(doc, 2, 0, 2), int(CTokenClass::Keyword));
        QCOMPARE(ClassAt(doc, 2, 4, 3), int(CTokenClass::String));

        // Opening a block comment on the first line turns the following lines
        // into comment; closing it on the second gives the third line back.
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("/*"));
        QCOMPARE(ClassAt(doc, 1, 0, 7), int(CTokenClass::Comment));
        QCOMPARE(ClassAt(doc, 2, 0, 10), int(CTokenClass::Comment));
        cursor.setPosition(doc.findBlockByNumber(1).position());
        cursor.insertText(QStringLiteral("*/"));
        QCOMPARE(ClassAt(doc, 1, 0, 2), int(CTokenClass::Comment));
        QCOMPARE(ClassAt(doc, 2, 0, 2), int(CTokenClass::Keyword));
    }
};

QTEST_MAIN(TestHighlighter)
#include "highlighter_test.moc"
