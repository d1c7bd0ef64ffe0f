// Reading and writing the editor's text files in UTF-8 or GBK.
#include "gui/text_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kGbkName[] = "GB18030";

bool IsAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// True when the bytes have line feeds and each of them ends a CR LF pair.
bool AllLineFeedsAfterCr(const QByteArray& bytes) {
    const qsizetype feeds = bytes.count('\n');
    return feeds > 0 && bytes.count("\r\n") == feeds;
}

}  // namespace

QString EncodingName(CTextFormat::Encoding encoding) {
    return encoding == CTextFormat::Encoding::Utf8 ? QStringLiteral("UTF-8")
                                                   : QStringLiteral("GBK");
}

bool DecodeText(const QByteArray& bytes, QString* text, CTextFormat* format, QString* error) {
    if (bytes.contains('\0')) {
        *error = QStringLiteral("The file contains NUL bytes; it is not a text file.");
        return false;
    }
    CTextFormat found;
    found.utf8Bom = bytes.startsWith(kUtf8Bom);
    found.crlf = AllLineFeedsAfterCr(bytes);

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);  // drops a leading byte order mark
    const bool validUtf8 = !utf8.hasError();
    if (found.utf8Bom || (validUtf8 && !IsAscii(bytes))) {
        if (!validUtf8) {
            *error = QStringLiteral(
                "The file starts with a UTF-8 byte order mark but is not valid UTF-8.");
            return false;
        }
        found.encoding = CTextFormat::Encoding::Utf8;
    } else {
        QStringDecoder gbk(kGbkName, QStringDecoder::Flag::Stateless);
        decoded = gbk.decode(bytes);
        if (gbk.hasError()) {
            *error = QStringLiteral("The file is neither UTF-8 nor GBK text.");
            return false;
        }
        found.encoding = CTextFormat::Encoding::Gbk;
    }
    if (found.crlf) decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    *text = decoded;
    *format = found;
    return true;
}

QByteArray EncodeText(const QString& text, const CTextFormat& format) {
    QString spelt = text;
    if (format.crlf) spelt.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (format.encoding == CTextFormat::Encoding::Utf8) {
        QByteArray bytes = format.utf8Bom ? QByteArray(kUtf8Bom) : QByteArray();
        return bytes + spelt.toUtf8();
    }
    QStringEncoder gbk(kGbkName);
    return gbk.encode(spelt);
}

bool ReadTextFile(const QString& path, QString* text, CTextFormat* format, QString* error,
                  QByteArray* bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    if (!DecodeText(contents, text, format, error)) return false;
    if (bytes) *bytes = contents;
    return true;
}

bool WriteBytesFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // A writable file in a directory where no temporary file can be made is
    // still written, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool WriteTextFile(const QString& path, const QString& text, const CTextFormat& format,
                   QString* error) {
    return WriteBytesFile(path, EncodeText(text, format), error);
}
