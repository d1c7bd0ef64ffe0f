// Text encodings of puzzle files and output. A puzzle is read as UTF-8 when it
// starts with a UTF-8 byte-order mark, or when it is valid UTF-8 whose
// non-ASCII characters are mostly ones a puzzle plausibly holds (Chinese,
// Japanese and Korean text and punctuation, full-width forms, accented Latin
// letters, common symbols); a UTF-16 file with a byte-order mark is converted
// to UTF-8 first; anything else is GBK. So GBK text whose few characters
// happen to form valid UTF-8 of some rare script stays GBK. A program's
// texts and the messages printed for it are in its puzzle's encoding; the
// console host may convert the whole stream for its reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class Encoding { Gbk, Utf8 };

// What a puzzle's bytes were found to be.
struct SourceEncoding {
    Encoding encoding = Encoding::Gbk;  // of the text the compiler reads
    size_t bomLength = 0;               // bytes of a byte-order mark to skip
    enum class Utf16 { No, LittleEndian, BigEndian } utf16 = Utf16::No;
    // For a file read as GBK that is mostly valid UTF-8: the first line (from
    // 1) holding a byte that is not UTF-8; 0 otherwise.
    int invalidUtf8Line = 0;
};

SourceEncoding DetectEncoding(std::string_view bytes);

// The UTF-16 text (without its byte-order mark) as UTF-8; an unpaired
// surrogate or a last odd byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Length of the valid UTF-8 sequence at the start of `bytes`, or 0 when there
// is none (or `bytes` is empty).
size_t Utf8SequenceLength(std::string_view bytes);

// Converts whole texts from one encoding to another with iconv. GBK is read
// and written as GB18030, its superset, so nothing is lost either way. A byte
// that cannot be converted is copied unchanged.
class Converter {
public:
    Converter(Encoding from, Encoding to);
    ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    void Convert(std::string_view in, std::string& out);

private:
    void* m_cd;
};
