// Reading and writing the editor's text files: encoding detection (UTF-8 or
// GBK), the line-end style and byte order mark of each file, and saves that
// never leave a half-written file behind. Used by the editor window.
#pragma once

#include <QByteArray>
#include <QString>

// How a file's bytes spell its text; a save writes the text back the same way.
struct CTextFormat
{
    enum class Encoding { Gbk, Utf8 };

    Encoding encoding = Encoding::Gbk; // new text is GBK, what the interpreter reads
    bool utf8Bom = false;
    bool crlf = false;
};

// Decodes file contents. Text is UTF-8 when the bytes are valid UTF-8, else
// GBK (read as GB18030, its superset). Fails, with the reason in `error`, for
// bytes that are not text: a NUL byte, or bytes that are valid in neither.
// Line ends in `text` are '\n'.
bool DecodeText(const QByteArray& bytes, QString* text, CTextFormat* format, QString* error);

// Encodes `text` (line ends '\n') in `format`.
QByteArray EncodeText(const QString& text, const CTextFormat& format);

bool ReadTextFile(const QString& path, QString* text, CTextFormat* format, QString* error);

// Replaces the file only once all bytes are written: a failed save keeps the
// previous contents.
bool WriteTextFile(const QString& path, const QString& text, const CTextFormat& format,
                   QString* error);
