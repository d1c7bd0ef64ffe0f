// Reading and writing the editor's text files: encoding detection (UTF-8 or
// GBK, decided the way the interpreter decides it), the byte order mark and
// line ends of each file, and saves that never leave a half-written file
// behind. Used by the editor window and the puzzle editor.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// How a file's bytes spell its text; a save writes the text back the same way.
struct CTextFormat {
    enum class Encoding { Gbk, Utf8 };
    enum class LineEnd { Lf, CrLf, Cr };

    Encoding encoding = Encoding::Utf8;  // new text is UTF-8
    bool utf8Bom = false;
    // The line end of new lines: the file's most common one.
    LineEnd lineEnd = LineEnd::Lf;
    // The file's lines do not all end alike; each keeps its own line end.
    bool mixedLineEnds = false;
};

// "UTF-8" or "GBK", for the window title.
QString EncodingName(CTextFormat::Encoding encoding);
// "UTF-8", "UTF-8 with BOM" or "GBK", for the status bar.
QString EncodingName(const CTextFormat& format);
// "LF", "CR LF" or "CR".
QString LineEndName(CTextFormat::LineEnd lineEnd);
// "\n", "\r\n" or "\r".
QString LineEndText(CTextFormat::LineEnd lineEnd);

// Decodes file contents as the interpreter reads them: UTF-8 when the bytes
// start with a byte order mark, or are valid UTF-8 holding at least one
// multi-byte sequence; GBK otherwise (read as GB18030, its superset), so a
// file of ASCII only is GBK. Fails, with the reason in `error`, for bytes
// that are not text: a NUL byte, or bytes invalid in the chosen encoding.
// `text` keeps the file's line ends as they are.
bool DecodeText(const QByteArray& bytes, QString* text, CTextFormat* format, QString* error);

// Encodes `text`, whose line ends are written as they are, in `format`.
QByteArray EncodeText(const QString& text, const CTextFormat& format);

// Splits `text` into lines at every break that a text document takes as
// one: CR LF, LF, CR, U+2029 and the frame marks U+FDD0 and U+FDD1. Returns
// the text with '\n' for each of them; `ends` receives each break as it was
// spelt, one per line but the last.
QString SplitLineEnds(const QString& text, QStringList* ends);

// Characters in the longest line of `text`, lines split as by SplitLineEnds.
qsizetype LongestLine(const QString& text);

// Reads and decodes a file; `bytes`, when given, receives the file's bytes.
bool ReadTextFile(const QString& path, QString* text, CTextFormat* format, QString* error,
                  QByteArray* bytes = nullptr);

// Replaces the file only once all bytes are written: a failed save keeps the
// previous contents.
bool WriteBytesFile(const QString& path, const QByteArray& bytes, QString* error);
bool WriteTextFile(const QString& path, const QString& text, const CTextFormat& format,
                   QString* error);
