// Tests of the editor's file text handling: which encoding a file is read
// in (the interpreter's rule), that a save spells the text back byte for
// byte, the files that are refused, and save failures.
#include "gui/text_file.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kGbkPuzzle("\xCA\xE4\xB3\xF6 { \"\xB4\xF0\xB0\xB8\" x }\r\n"); // 输出 { "答案" x }
const QString kPuzzle = QStringLiteral("输出 { \"答案\" x }\n");

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<bool>("crlf");
        // ASCII alone is GBK to the interpreter, and so to the editor.
        QTest::newRow("empty") << QByteArray() << QString() << false << false << false;
        QTest::newRow("ascii") << QByteArray("a b\nc") << QStringLiteral("a b\nc") << false << false << false;
        QTest::newRow("ascii with mark") << QByteArray("\xEF\xBB\xBFx = 1;") << QStringLiteral("x = 1;")
                                         << true << true << false;
        QTest::newRow("utf-8") << kPuzzle.toUtf8() << kPuzzle << true << false << false;
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBFx\r\n") << QStringLiteral("x\n")
                                         << true << true << true;
        QTest::newRow("gbk, crlf") << kGbkPuzzle << kPuzzle << false << false << true;
        // Mixed line ends keep their carriage returns in the text.
        QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\rd") << QStringLiteral("a\r\nb\nc\rd")
                                         << false << false << false;
        QTest::newRow("no-break space") << QByteArray("a\xC2\xA0" "b") << QStringLiteral("a\u00A0b")
                                        << true << false << false;
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, utf8);
        QFETCH(bool, bom);
        QFETCH(bool, crlf);
        QString decoded;
        CTextFormat format;
        QString error;
        QVERIFY(DecodeText(bytes, &decoded, &format, &error));
        QCOMPARE(decoded, text);
        QCOMPARE(format.encoding == CTextFormat::Encoding::Utf8, utf8);
        QCOMPARE(format.utf8Bom, bom);
        QCOMPARE(format.crlf, crlf);
        // A save of the unchanged text gives back the very same bytes.
        QCOMPARE(EncodeText(decoded, format), bytes);
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL byte") << QByteArray("abc\0def", 7);
        QTest::newRow("NUL only") << QByteArray(1, '\0');
        QTest::newRow("neither UTF-8 nor GBK") << QByteArray("ab\xFF\xFF");
        QTest::newRow("lone lead byte") << QByteArray("ab\xD5");
        QTest::newRow("mark, then not UTF-8") << QByteArray("\xEF\xBB\xBF\xB4\xF0");
    }

    void refused()
    {
        QFETCH(QByteArray, bytes);
        QString text = QStringLiteral("unchanged");
        CTextFormat format;
        QString error;
        QVERIFY(!DecodeText(bytes, &text, &format, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(text, QStringLiteral("unchanged"));
    }

    void everyGbkCharacterRoundTrips()
    {
        // All two-byte GBK codes, lead 0x81-0xFE and trail 0x40-0xFE without
        // 0x7F, come back as the same bytes.
        QByteArray bytes;
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail)
                if (trail != 0x7F)
                    bytes += char(lead), bytes += char(trail);
        QString text;
        CTextFormat format;
        QString error;
        QVERIFY2(DecodeText(bytes, &text, &format, &error), qPrintable(error));
        QVERIFY(format.encoding == CTextFormat::Encoding::Gbk);
        QCOMPARE(EncodeText(text, format), bytes);
    }

    void largeFileLoadsWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QByteArray bytes;
        for (int i = 0; bytes.size() < 200000; ++i)
            bytes += "line " + QByteArray::number(i) + "\n";
        QVERIFY(WriteBytes(path, bytes));
        QString text;
        CTextFormat format;
        QString error;
        QByteArray read;
        QVERIFY(ReadTextFile(path, &text, &format, &error, &read));
        QCOMPARE(text.toUtf8(), bytes);
        QCOMPARE(read, bytes);
    }

    void writeRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        QVERIFY(WriteBytes(path, "an older and much longer text"));
        QString error;
        QVERIFY(WriteTextFile(path, kPuzzle, CTextFormat{CTextFormat::Encoding::Gbk, false, true}, &error));
        QCOMPARE(ReadBytes(path), kGbkPuzzle);
        QVERIFY(WriteTextFile(path, QString(), CTextFormat{}, &error));
        QCOMPARE(QFileInfo(path).size(), 0);
    }

    void writeFailures()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!WriteTextFile(dir.filePath(QStringLiteral("no/such/dir/x.txt")), kPuzzle, CTextFormat{}, &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!WriteTextFile(dir.path(), kPuzzle, CTextFormat{}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(dir.path()).isDir());
    }
};

QTEST_MAIN(TestTextFile)
#include "text_file_test.moc"
