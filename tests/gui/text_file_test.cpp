// Tests of the editor's file text handling that the window's Open and Save
// round trips do not reach: every GBK character spelled back byte for byte,
// the files that are refused, and writes and their failures.
#include "gui/text_file.h"
#include "test_support.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kGbkPuzzle(
    "\xCA\xE4\xB3\xF6 { \"\xB4\xF0\xB0\xB8\" x }\r\n");  // 输出 { "答案" x }
const QString kPuzzle = QStringLiteral("输出 { \"答案\" x }\r\n");

}  // namespace

class TestTextFile : public QObject {
    Q_OBJECT

private slots:
    void refused() {
        for (const QByteArray& bytes : {QByteArray("abc\0def", 7), QByteArray("ab\xFF\xFF"),
                                        QByteArray("ab\xD5"), QByteArray("\xEF\xBB\xBF\xB4\xF0")}) {
            QString text = QStringLiteral("unchanged"), error;
            CTextFormat format;
            QVERIFY2(!DecodeText(bytes, &text, &format, &error), bytes.toHex().constData());
            QVERIFY(!error.isEmpty());
            QCOMPARE(text, QStringLiteral("unchanged"));
        }
    }

    void everyGbkCharacterRoundTrips() {
        // All two-byte GBK codes, lead 0x81-0xFE and trail 0x40-0xFE without
        // 0x7F, come back as the same bytes.
        QByteArray bytes;
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail)
                if (trail != 0x7F) bytes += char(lead), bytes += char(trail);
        QString text, error;
        CTextFormat format;
        QVERIFY2(DecodeText(bytes, &text, &format, &error), qPrintable(error));
        QVERIFY(format.encoding == CTextFormat::Encoding::Gbk);
        QCOMPARE(EncodeText(text, format), bytes);
    }

    void writeTextFile() {
        // A write replaces a longer file whole.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        QVERIFY(WriteBytes(path, "an older and much longer text"));
        QString error;
        QVERIFY(WriteTextFile(path, kPuzzle, CTextFormat{CTextFormat::Encoding::Gbk}, &error));
        QCOMPARE(ReadBytes(path), kGbkPuzzle);
        // A missing directory or a directory in the file's place is an error.
        for (const QString& bad : {dir.filePath(QStringLiteral("no/such/dir/x.txt")), dir.path()}) {
            error.clear();
            QVERIFY(!WriteTextFile(bad, kPuzzle, CTextFormat{}, &error));
            QVERIFY(!error.isEmpty());
        }
        QVERIFY(QFileInfo(dir.path()).isDir());
    }
};

QTEST_MAIN(TestTextFile)
#include "text_file_test.moc"
