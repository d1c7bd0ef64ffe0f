// Code points, display widths and full-width punctuation.
#include "text/characters.h"

#include <iterator>

namespace {

struct Block {
    char32_t first, last;
};

// East Asian wide and full-width blocks (U+3000 and the full-width forms
// included), and the emoji blocks that terminals draw two columns wide:
// pictographs, emoticons, transport and map symbols, the coloured shapes,
// and the supplemental and extended-A pictographs.
constexpr Block kWide[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
    {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F900, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x3FFFD},
};

struct FullWidth {
    char32_t code;
    char ascii;
};

// The quotation marks stand for the language's one quote, '"'.
constexpr FullWidth kFullWidth[] = {
    {0xFF08, '('}, {0xFF09, ')'}, {0xFF1B, ';'}, {0xFF0C, ','}, {0xFF1A, ':'}, {0xFF5B, '{'},
    {0xFF5D, '}'}, {0xFF3B, '['}, {0xFF3D, ']'}, {0xFF02, '"'}, {0x201C, '"'}, {0x201D, '"'},
    {0x2018, '"'}, {0x2019, '"'}, {0xFF01, '!'}, {0xFF1D, '='}, {0xFF1C, '<'}, {0xFF1E, '>'},
    {0xFF0B, '+'}, {0xFF0D, '-'}, {0xFF0A, '*'}, {0xFF0F, '/'}, {0x3000, ' '},
};

char AsciiFor(char32_t code) {
    for (const FullWidth& f : kFullWidth)
        if (f.code == code) return f.ascii;
    return 0;
}

// One character at the start of `text`: its length in bytes.
size_t CharacterLength(std::string_view text, Encoding encoding) {
    if (encoding == Encoding::Gbk)
        return static_cast<unsigned char>(text[0]) >= 0x81 && text.size() >= 2 ? 2 : 1;
    const size_t n = Utf8SequenceLength(text);
    return n == 0 ? 1 : n;
}

// Whether the character may be one of kFullWidth. GB18030 puts every one of
// them in row A1 or A3 (the ideographic space and the curly quotes in A1, the
// full-width forms in A3), so any other character of a GBK text needs no
// conversion: converting opens a converter, which costs more than the rest
// of compiling a short puzzle.
bool MayBeFullWidth(std::string_view character, Encoding encoding) {
    if (encoding != Encoding::Gbk) return true;
    const auto lead = static_cast<unsigned char>(character[0]);
    return lead == 0xA1 || lead == 0xA3;
}

}  // namespace

std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> codes;
    while (!utf8.empty()) {
        const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
        const size_t n = Utf8SequenceLength(utf8);
        if (n <= 1) {
            codes.push_back(p[0]);
            utf8.remove_prefix(1);
            continue;
        }
        char32_t code = p[0] & (0x7F >> n);
        for (size_t i = 1; i < n; ++i) code = (code << 6) | (p[i] & 0x3F);
        codes.push_back(code);
        utf8.remove_prefix(n);
    }
    return codes;
}

int DisplayWidth(char32_t code) {
    for (const Block& b : kWide)
        if (code >= b.first && code <= b.last) return 2;
    return 1;
}

std::string ToUtf8(std::string_view text, Encoding encoding) {
    if (encoding == Encoding::Utf8) return std::string(text);
    std::string out;
    Converter(encoding, Encoding::Utf8).Convert(text, out);
    return out;
}

std::optional<FullWidthMark> FindFullWidth(std::string_view text, Encoding encoding) {
    int before = 0;
    for (size_t i = 0; i < text.size(); ++before) {
        const size_t n = CharacterLength(text.substr(i), encoding);
        if (n > 1 && MayBeFullWidth(text.substr(i, n), encoding)) {
            const std::string utf8 = ToUtf8(text.substr(i, n), encoding);
            const std::vector<char32_t> codes = CodePoints(utf8);
            if (codes.size() == 1)
                if (const char ascii = AsciiFor(codes[0]))
                    return FullWidthMark{i, n, before, utf8, ascii};
        }
        i += n;
    }
    return std::nullopt;
}
