// Puzzle encodings: which bytes count as UTF-8 (the edges of each sequence
// length, overlong forms, surrogates), how a file is judged UTF-8, GBK or
// UTF-16, UTF-16 with broken surrogates, and iconv conversion that keeps a
// byte it cannot convert and outgrows its fixed buffer.
#include <gtest/gtest.h>

#include <string>

#include "../support/test_support.h"
#include "text/encoding.h"

namespace {

TEST(Encoding, Utf8SequenceLength) {
    const struct {
        std::string bytes;
        size_t length;
    } rows[] = {
        {"", 0},
        {"a", 1},
        {"\x80", 0},      // a continuation byte cannot start
        {"\xC1\xBF", 0},  // overlong two bytes
        {"\xC2\x80", 2},
        {"\xC2", 0},      // cut off
        {"\xC3\x28", 0},  // not followed by a continuation byte
        {"\xDF\xBF", 2},
        {"\xE0\x9F\xBF", 0},  // overlong three bytes
        {"\xE0\xA0\x80", 3},
        {"\xED\x9F\xBF", 3},  // U+D7FF
        {"\xED\xA0\x80", 0},  // U+D800, a surrogate
        {"\xEF\xBF\xBF", 3},
        {"\xF0\x8F\xBF\xBF", 0},  // overlong four bytes
        {"\xF0\x90\x80\x80", 4},
        {"\xF4\x8F\xBF\xBF", 4},  // U+10FFFF
        {"\xF4\x90\x80\x80", 0},  // past U+10FFFF
        {"\xF5\x80\x80\x80", 0},
        {"\xE4\xB8\xADxyz", 3},  // only the first character counts
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        EXPECT_EQ(Utf8SequenceLength(row.bytes), row.length);
    }
}

TEST(Encoding, Detection) {
    using U = SourceEncoding::Utf16;
    const struct {
        const char* what;
        std::string bytes;
        Encoding encoding;
        size_t bom;
        U utf16;
        int invalidLine;
    } rows[] = {
        {"empty", "", Encoding::Gbk, 0, U::No, 0},
        {"ASCII", "N{} = {1, 2};\n", Encoding::Gbk, 0, U::No, 0},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "x",
         Encoding::Utf8, 3, U::No, 0},
        {"UTF-8 mark only", "\xEF\xBB\xBF", Encoding::Utf8, 3, U::No, 0},
        {"UTF-16LE mark",
         "\xFF\xFE"
         "x\0",
         Encoding::Utf8, 2, U::LittleEndian, 0},
        {"UTF-16BE mark", "\xFE\xFF", Encoding::Utf8, 2, U::BigEndian, 0},
        {"a mark later is no mark", "x\xEF\xBB\xBF", Encoding::Gbk, 0, U::No, 0},
        {"UTF-8 Chinese", "输出{x}", Encoding::Utf8, 0, U::No, 0},
        {"GBK Chinese", tovik_test::Gbk("输出{x}"), Encoding::Gbk, 0, U::No, 0},
        {"Latin-1 letter", "caf\xC3\xA9", Encoding::Utf8, 0, U::No, 0},
        // Cyrillic: valid UTF-8, but of a script a puzzle hardly holds.
        {"rare script only", "\xD0\xB0\xD0\xB1", Encoding::Gbk, 0, U::No, 0},
        {"as many rare as plausible", "\xC3\xA9\xD0\xB0", Encoding::Gbk, 0, U::No, 0},
        {"more plausible than rare", "甲乙\xD0\xB0", Encoding::Utf8, 0, U::No, 0},
        // At least twice as many good characters as bad bytes: a UTF-8 file
        // with a stray byte, read as GBK, and the line of the first bad byte.
        {"one stray byte", "a\n甲\n乙\xFF\n", Encoding::Gbk, 0, U::No, 3},
        {"two stray bytes", "a\n甲\n乙\xFF\n\xFE", Encoding::Gbk, 0, U::No, 0},
        {"overlong is no UTF-8", "甲乙丙丁\xC0\xAF", Encoding::Gbk, 0, U::No, 1},
        {"surrogate is no UTF-8", "甲乙丙丁戊己\n\xED\xA0\x80", Encoding::Gbk, 0, U::No, 2},
        {"cut at the end", "甲乙丙丁\xE4\xB8", Encoding::Gbk, 0, U::No, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const SourceEncoding found = DetectEncoding(row.bytes);
        EXPECT_EQ(found.encoding, row.encoding);
        EXPECT_EQ(found.bomLength, row.bom);
        EXPECT_EQ(found.utf16, row.utf16);
        EXPECT_EQ(found.invalidUtf8Line, row.invalidLine);
    }
}

TEST(Encoding, Utf16) {
    const struct {
        const char* what;
        std::string bytes;
        bool bigEndian;
        std::string utf8;
    } rows[] = {
        {"ASCII", std::string("A\0B\0", 4), false, "AB"},
        {"big-endian", std::string("\0A\x4E\x2D", 4), true, "A中"},
        {"two UTF-8 bytes", std::string("\xE9\0", 2), false, "\xC3\xA9"},
        {"pair", std::string("\x3D\xD8\x00\xDE", 4), false, "\xF0\x9F\x98\x80"},
        {"pair, big-endian", std::string("\xD8\x3D\xDE\x00", 4), true, "\xF0\x9F\x98\x80"},
        {"high surrogate last", "\x3D\xD8", false, "\xEF\xBF\xBD"},
        {"high surrogate, no low",
         std::string("\x3D\xD8"
                     "A\0",
                     4),
         false,
         "\xEF\xBF\xBD"
         "A"},
        {"low surrogate alone", std::string("\x00\xDE", 2), false, "\xEF\xBF\xBD"},
        {"odd last byte", std::string("A\0B", 3), false, "A\xEF\xBF\xBD"},
        {"last code unit", "\xFF\xFF", false, "\xEF\xBF\xBF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(Utf16ToUtf8(row.bytes, row.bigEndian), row.utf8);
    }
}

// A byte that is not part of a character is copied and the conversion goes
// on after it; text longer than the converter's buffer comes out whole.
TEST(Encoding, Conversion) {
    const std::string gbk = tovik_test::Gbk("输出");
    std::string longGbk, longUtf8;
    for (int i = 0; i < 3000; ++i) {
        longGbk += gbk;
        longUtf8 += "输出";
    }
    const struct {
        const char* what;
        Encoding from, to;
        std::string in, out;
    } rows[] = {
        {"GBK to UTF-8", Encoding::Gbk, Encoding::Utf8, "a" + gbk, "a输出"},
        {"UTF-8 to GBK", Encoding::Utf8, Encoding::Gbk, "输出!", gbk + "!"},
        {"bad GBK byte", Encoding::Gbk, Encoding::Utf8, "a\xFF" + gbk, "a\xFF输出"},
        {"GBK cut at the end", Encoding::Gbk, Encoding::Utf8, "a" + gbk.substr(0, 3),
         "a输" + gbk.substr(2, 1)},
        {"bad UTF-8 byte", Encoding::Utf8, Encoding::Gbk, "\xFF输出\xFE", "\xFF" + gbk + "\xFE"},
        {"past the buffer", Encoding::Gbk, Encoding::Utf8, longGbk, longUtf8},
        {"same encoding", Encoding::Utf8, Encoding::Utf8, "输出\xFF", "输出\xFF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::string out = "left over";
        Converter(row.from, row.to).Convert(row.in, out);
        EXPECT_TRUE(out == row.out) << testing::PrintToString(out);
    }
}

}  // namespace
