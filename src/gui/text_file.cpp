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

// Finds the most common line end of `bytes` (LF on a tie or when there is
// none) and whether there is more than one kind.
void FindLineEnds(const QByteArray& bytes, CTextFormat* format) {
    const qsizetype crlf = bytes.count("\r\n");
    const qsizetype lf = bytes.count('\n') - crlf;
    const qsizetype cr = bytes.count('\r') - crlf;
    format->lineEnd = CTextFormat::LineEnd::Lf;
    if (crlf > lf && crlf >= cr) format->lineEnd = CTextFormat::LineEnd::CrLf;
    if (cr > lf && cr > crlf) format->lineEnd = CTextFormat::LineEnd::Cr;
    format->mixedLineEnds = (crlf > 0) + (lf > 0) + (cr > 0) > 1;
}

}  // namespace

QString EncodingName(CTextFormat::Encoding encoding) {
    return encoding == CTextFormat::Encoding::Utf8 ? QStringLiteral("UTF-8")
                                                   : QStringLiteral("GBK");
}

QString EncodingName(const CTextFormat& format) {
    if (format.encoding == CTextFormat::Encoding::Utf8 && format.utf8Bom)
        return QStringLiteral("UTF-8 with BOM");
    return EncodingName(format.encoding);
}

QString LineEndName(CTextFormat::LineEnd lineEnd) {
    switch (lineEnd) {
        case CTextFormat::LineEnd::CrLf:
            return QStringLiteral("CR LF");
        case CTextFormat::LineEnd::Cr:
            return QStringLiteral("CR");
        case CTextFormat::LineEnd::Lf:
            break;
    }
    return QStringLiteral("LF");
}

QString LineEndText(CTextFormat::LineEnd lineEnd) {
    switch (lineEnd) {
        case CTextFormat::LineEnd::CrLf:
            return QStringLiteral("\r\n");
        case CTextFormat::LineEnd::Cr:
            return QStringLiteral("\r");
        case CTextFormat::LineEnd::Lf:
            break;
    }
    return QStringLiteral("\n");
}

bool DecodeText(const QByteArray& bytes, QString* text, CTextFormat* format, QString* error) {
    if (bytes.contains('\0')) {
        *error = QStringLiteral("The file contains NUL bytes; it is not a text file.");
        return false;
    }
    CTextFormat found;
    found.utf8Bom = bytes.startsWith(kUtf8Bom);
    FindLineEnds(bytes, &found);

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
    *text = decoded;
    *format = found;
    return true;
}

QByteArray EncodeText(const QString& text, const CTextFormat& format) {
    if (format.encoding == CTextFormat::Encoding::Utf8) {
        QByteArray bytes = format.utf8Bom ? QByteArray(kUtf8Bom) : QByteArray();
        return bytes + text.toUtf8();
    }
    QStringEncoder gbk(kGbkName);
    return gbk.encode(text);
}

namespace {

bool IsLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

}  // namespace

qsizetype LongestLine(const QString& text) {
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsLineBreak(text[i].unicode())) continue;
        longest = qMax(longest, i - start);
        start = i + 1;
    }
    return longest;
}

QString SplitLineEnds(const QString& text, QStringList* ends) {
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        qsizetype length = 0;
        if (c == u'\r')
            length = i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
        else if (IsLineBreak(c))
            length = 1;
        if (length == 0) {
            lines += text[i];
            continue;
        }
        ends->append(text.mid(i, length));
        lines += u'\n';
        i += length - 1;
    }
    return lines;
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
