// Encoding detection and iconv-based conversion of output texts.
#include "text/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace {

const char* IconvName(Encoding e) { return e == Encoding::Utf8 ? "UTF-8" : "GB18030"; }

// Length of the valid UTF-8 sequence starting at p, or 0 when there is none.
size_t SequenceLength(const unsigned char* p, const unsigned char* end) {
    unsigned char c = p[0];
    size_t length;
    unsigned int min;
    unsigned int code;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
        min = 0x10000;
    } else
        return 0;
    if (static_cast<size_t>(end - p) < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

Encoding DetectEncoding(std::string_view bytes, size_t* bomLength) {
    *bomLength = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        *bomLength = 3;
        return Encoding::Utf8;
    }
    auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    auto* end = p + bytes.size();
    bool multiByte = false;
    while (p < end) {
        size_t length = SequenceLength(p, end);
        if (length == 0) return Encoding::Gbk;
        multiByte |= length > 1;
        p += length;
    }
    return multiByte ? Encoding::Utf8 : Encoding::Gbk;
}

Converter::Converter(Encoding from, Encoding to)
    : m_cd(iconv_open(IconvName(to), IconvName(from))) {}

Converter::~Converter() {
    if (m_cd != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(m_cd));
}

void Converter::Convert(std::string_view in, std::string& out) {
    out.clear();
    if (m_cd == reinterpret_cast<void*>(-1)) {
        out.assign(in);
        return;
    }
    auto cd = static_cast<iconv_t>(m_cd);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or incomplete sequence: keep the byte, go on after it.
            out.push_back(*src);
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
}
