// Tests of the editor's highlighting: the token classes of each line in
// both keyword spellings, the longest-match cases the scanner is known for,
// block comments across lines, and the formats that land in the document.
#include "gui/highlighter.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

// The tokens of a line as "K(in) N(x) 9(12) S("a") C(// c)".
QString Scan(const QString& line, CLineState* state) {
    QStringList parts;
    for (const CTokenSpan& span : ScanPuzzleLine(line, state))
        parts << QStringLiteral("KN9SC")[int(span.cls)] + QLatin1Char('(') +
                     line.mid(span.start, span.length) + QLatin1Char(')');
    return parts.join(QLatin1Char(' '));
}

// The token class whose format covers `length` characters from `start` of
// block `number`, or -1 when no single format range does.
int ClassAt(const QTextDocument& doc, int number, int start, int length) {
    for (const QTextLayout::FormatRange& range : doc.findBlockByNumber(number).layout()->formats())
        for (int cls = 0; cls <= int(CTokenClass::Comment); ++cls)
            if (range.start == start && range.length == length &&
                range.format == CPuzzleHighlighter::Format(CTokenClass(cls)))
                return cls;
    return -1;
}

}  // namespace

class TestHighlighter : public QObject {
    Q_OBJECT

private slots:
    void tokens_data() {
        // Lines scanned in order, the state carried from one to the next.
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("tokens");
        // Names that start like keywords are names.
        QTest::newRow("ASCII keywords")
            << QStringList{"# x in S: @ y in T: output {x}", "inside output2 In Output _in"}
            << QStringList{"K(#) N(x) K(in) N(S) K(@) N(y) K(in) N(T) K(output) N(x)",
                           "N(inside) N(output2) N(In) N(Output) N(_in)"};
        QTest::newRow("Chinese keywords")
            << QStringList{"任意 x 属于 S: 存在 y 属于 T: 互不同(x, y); 输出{x}",
                           "存在性 输出x 名次"}
            << QStringList{
                   "K(任意) N(x) K(属于) N(S) K(存在) N(y) K(属于) N(T) K(互不同) N(x) N(y) "
                   "K(输出) N(x)",
                   "N(存在性) N(输出x) N(名次)"};
        QTest::newRow("numbers, and minus joins a digit")
            << QStringList{"12 -.5 1.5E+3 12. 1e3 4.5e x-1 a->b"}
            << QStringList{
                   "9(12) 9(-.5) 9(1.5E+3) 9(12) 9(1) N(e3) 9(4.5) N(e) N(x) 9(-1) N(a) N(b)"};
        QTest::newRow("strings and a line comment")
            << QStringList{"\"甲\" \"a // b /* c\" x // 注释 \"s\" in", "\"open in"}
            << QStringList{"S(\"甲\") S(\"a // b /* c\") N(x) C(// 注释 \"s\" in)", "S(\"open in)"};
        QTest::newRow("block comments")
            << QStringList{"a /* b \"c\" in * / */ 输出 /**/ d", "/* a */ b */", "// /* x", "y"}
            << QStringList{"N(a) C(/* b \"c\" in * / */) K(输出) C(/**/) N(d)", "C(/* a */) N(b)",
                           "C(// /* x)", "N(y)"};
        QTest::newRow("block comment across lines")
            << QStringList{"x /* open \"q", "in 12 // \"", "end */ 存在 y"}
            << QStringList{"N(x) C(/* open \"q)", "C(in 12 // \")", "C(end */) K(存在) N(y)"};
    }

    void tokens() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, tokens);
        CLineState state = CLineState::Normal;
        QStringList scanned;
        for (const QString& line : lines) scanned << Scan(line, &state);
        QCOMPARE(scanned, tokens);
    }

    void formatsInTheDocument() {
        // The document of a text pane, which lays out its blocks as it is edited.
        QPlainTextEdit pane;
        QTextDocument& doc = *pane.document();
        new CPuzzleHighlighter(&doc);
        pane.setPlainText(QStringLiteral("x 属于 N;\ny = -3;\n输出 {\"a\" y}"));
        QCOMPARE(ClassAt(doc, 0, 2, 2), int(CTokenClass::Keyword));
        QCOMPARE(ClassAt(doc, 2, 4, 3), int(CTokenClass::String));

        // Opening a block comment on the first line turns the following lines
        // into comment; closing it on the second gives the third line back.
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("/*"));
        QCOMPARE(ClassAt(doc, 2, 0, 10), int(CTokenClass::Comment));
        cursor.setPosition(doc.findBlockByNumber(1).position());
        cursor.insertText(QStringLiteral("*/"));
        QCOMPARE(ClassAt(doc, 1, 0, 2), int(CTokenClass::Comment));
        QCOMPARE(ClassAt(doc, 2, 0, 2), int(CTokenClass::Keyword));
    }
};

QTEST_MAIN(TestHighlighter)
#include "highlighter_test.moc"
