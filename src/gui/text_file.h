// Reading and writing the editor's text files: encoding detection (UTF-8 or
// GBK, decided the way the interpreter decides it), the line-end style and
// byte order mark of each file, and saves that never leave a half-written
// file behind. Used by the editor window.
#pragma once

#include <QByteArray>
#include <QString>

// How a file's bytes spell its text; a save writes the text back the same way.
struct CTextFormat {
    enum class Encoding { Gbk, Utf8 };

    Encoding encoding = Encoding::Utf8;  // new text is UTF-8
    bool utf8Bom = false;
    bool crlf = false;
};

// "UTF-8" or "GBK", for the window title.
QString EncodingName(CTextFormat::Encoding encoding);

// Decodes file contents as the interpreter reads them: UTF-8 when the bytes
// start with a byte order mark, or are valid UTF-8 holding at least one
// multi-byte sequence; GBK otherwise (read as GB18030, its superset), so a
// file of ASCII only is GBK. Fails, with the reason in `error`, for bytes
// that are not text: a NUL byte, or bytes invalid in the chosen encoding.
// Line ends in `text` are '\n' when every line feed of the file follows a
// carriage return; otherwise the carriage returns stay in the text.
bool DecodeText(const QByteArray& bytes, QString* text, CTextFormat* format, QString* error);

// Encodes `text` (line ends '\n') in `format`.
QByteArray EncodeText(const QString& text, const CTextFormat& format);

// Reads and decodes a file; `bytes`, when given, receives the file's bytes.
bool ReadTextFile(const QString& path, QString* text, CTextFormat* format, QString* error,
                  QByteArray* bytes = nullptr);

// Replaces the file only once all bytes are written: a failed save keeps the
// previous contents.
bool WriteBytesFile(const QString& path, const QByteArray& bytes, QString* error);
bool WriteTextFile(const QString& path, const QString& text, const CTextFormat& format,
                   QString* error);
