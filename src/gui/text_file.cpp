// Reading and writing the editor's text files in UTF-8 or GBK.
#include "gui/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kGbkName[] = "GB18030";

} // namespace

bool DecodeText(const QByteArray& bytes, QString* text, CTextFormat* format, QString* error)
{
    if (bytes.contains('\0')) {
        *error = QStringLiteral("The file contains NUL bytes; it is not a text file.");
        return false;
    }
    CTextFormat found;
    found.crlf = bytes.contains("\r\n");

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (!utf8.hasError()) {
        found.encoding = CTextFormat::Encoding::Utf8;
        // The decoder drops a leading byte order mark; the save puts it back.
        found.utf8Bom = bytes.startsWith(kUtf8Bom);
    } else {
        QStringDecoder gbk(kGbkName, QStringDecoder::Flag::Stateless);
        decoded = gbk.decode(bytes);
        if (gbk.hasError()) {
            *error = QStringLiteral("The file is neither UTF-8 nor GBK text.");
            return false;
        }
        found.encoding = CTextFormat::Encoding::Gbk;
    }
    if (found.crlf)
        decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    *text = decoded;
    *format = found;
    return true;
}

QByteArray EncodeText(const QString& text, const CTextFormat& format)
{
    QString spelt = text;
    if (format.crlf)
        spelt.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (format.encoding == CTextFormat::Encoding::Utf8) {
        QByteArray bytes = format.utf8Bom ? QByteArray(kUtf8Bom) : QByteArray();
        return bytes + spelt.toUtf8();
    }
    QStringEncoder gbk(kGbkName);
    return gbk.encode(spelt);
}

bool ReadTextFile(const QString& path, QString* text, CTextFormat* format, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return DecodeText(bytes, text, format, error);
}

bool WriteTextFile(const QString& path, const QString& text, const CTextFormat& format,
                   QString* error)
{
    QSaveFile file(path);
    // A writable file in a directory where no temporary file can be made is
    // still written, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = EncodeText(text, format);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
