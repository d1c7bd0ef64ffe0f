// Text encodings of puzzle files and output: a puzzle is UTF-8 when it starts
// with a byte-order mark or is valid UTF-8 holding at least one multi-byte
// sequence, and GBK otherwise. A program's texts and the messages printed for
// it are in its puzzle's encoding; the console host may convert the whole
// stream for its reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class Encoding { Gbk, Utf8 };

// Decides a puzzle's encoding; `bomLength` receives the bytes to skip.
Encoding DetectEncoding(std::string_view bytes, size_t* bomLength);

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
