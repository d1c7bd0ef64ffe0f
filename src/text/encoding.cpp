// Encoding detection, UTF-16 decoding and iconv-based conversion of texts.
#include "text/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace {

const char* IconvName(Encoding e) { return e == Encoding::Utf8 ? "UTF-8" : "GB18030"; }

// The code point of the valid sequence of `length` bytes at `p`.
char32_t Decode(const unsigned char* p, size_t length) {
    if (length == 1) return p[0];
    char32_t code = p[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) code = (code << 6) | (p[i] & 0x3F);
    return code;
}

struct Block {
    char32_t first, last;
};

// Characters a puzzle plausibly holds. Two-byte sequences, which GBK text
// forms most often by chance, are plausible only as accented Latin letters.
constexpr Block kPlausible[] = {
    {0xC0, 0xD6},       {0xD8, 0xF6}, {0xF8, 0xFF},  // Latin-1 letters
    {0x2000, 0x206F},                                // general punctuation
    {0x20A0, 0x20CF},                                // currency signs
    {0x2100, 0x27BF},    // letterlike, numbers, arrows, mathematics, shapes, dingbats
    {0x2E80, 0x2FDF},    // CJK radicals
    {0x3000, 0x9FFF},    // CJK punctuation, kana, CJK ideographs (with extension A)
    {0xAC00, 0xD7AF},    // Hangul
    {0xF900, 0xFAFF},    // CJK compatibility ideographs
    {0xFE00, 0xFE6F},    // variation selectors, vertical and small forms
    {0xFF00, 0xFFEF},    // full-width and half-width forms
    {0x1F000, 0x1FAFF},  // emoji and other pictographs
    {0x20000, 0x3134F},  // CJK ideographs, extensions B to G
};

bool Plausible(char32_t code) {
    for (const Block& b : kPlausible)
        if (code >= b.first && code <= b.last) return true;
    return false;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

size_t Utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char c = p[0];
    size_t length;
    char32_t min;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (size_t i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    const char32_t code = Decode(p, length);
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

// Counts, over the whole file, the non-ASCII characters that decode as
// plausible or implausible UTF-8 and the bytes that are no UTF-8 at all.
SourceEncoding DetectEncoding(std::string_view bytes) {
    SourceEncoding found;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        found.encoding = Encoding::Utf8;
        found.bomLength = 3;
        return found;
    }
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        found.encoding = Encoding::Utf8;
        found.bomLength = 2;
        found.utf16 = bytes[0] == '\xFF' ? SourceEncoding::Utf16::LittleEndian
                                         : SourceEncoding::Utf16::BigEndian;
        return found;
    }
    size_t plausible = 0, implausible = 0, invalid = 0;
    int line = 1, firstInvalidLine = 0;
    for (size_t at = 0; at < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c < 0x80) {
            line += c == '\n';
            ++at;
            continue;
        }
        const size_t length = Utf8SequenceLength(bytes.substr(at));
        if (length == 0) {
            if (invalid++ == 0) firstInvalidLine = line;
            ++at;
            continue;
        }
        const char32_t code =
            Decode(reinterpret_cast<const unsigned char*>(bytes.data()) + at, length);
        ++(Plausible(code) ? plausible : implausible);
        at += length;
    }
    if (invalid == 0 && plausible > implausible) {
        found.encoding = Encoding::Utf8;
    } else if (invalid > 0 && plausible >= 2 * invalid) {
        // Mostly good UTF-8: probably a UTF-8 file with a stray byte.
        found.invalidUtf8Line = firstInvalidLine;
    }
    return found;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    auto unit = [&](size_t at) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        char32_t code = unit(at);
        if (code >= 0xD800 && code <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        AppendUtf8(out, code >= 0xD800 && code <= 0xDFFF ? 0xFFFD : code);
    }
    if (at < bytes.size()) AppendUtf8(out, 0xFFFD);
    return out;
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
