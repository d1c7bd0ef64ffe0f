// Characters as the author sees them: code points of text with bad bytes,
// terminal widths at the edges of the wide blocks, the first full-width
// punctuation mark in GBK and UTF-8 (its byte offset and the characters
// before it; every two-byte GBK character agrees with its UTF-8 spelling),
// and JSON and CSV quoting of awkward texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/test_support.h"
#include "text/characters.h"
#include "text/encoding.h"
#include "text/quoting.h"

namespace {

TEST(Characters, CodePointsAndWidths) {
    EXPECT_EQ(CodePoints("a\xFF甲\xE4\xB8"),
              (std::vector<char32_t>{'a', 0xFF, 0x7532, 0xE4, 0xB8}));
    EXPECT_EQ(CodePoints("\xF0\x9F\x98\x80"), (std::vector<char32_t>{0x1F600}));
    const struct {
        char32_t code;
        int width;
    } rows[] = {
        {'a', 1},     {0xE9, 1},    {0x10FF, 1},  {0x1100, 2},  {0x115F, 2},  {0x1160, 1},
        {0x2E7F, 1},  {0x2E80, 2},  {0x303E, 2},  {0x303F, 1},  {0x3000, 2},  {0x4E2D, 2},
        {0xAC00, 2},  {0xD7A3, 2},  {0xD7A4, 1},  {0xFF01, 2},  {0xFF60, 2},  {0xFF61, 1},
        {0xFFE6, 2},  {0xFFE7, 1},  {0x1F600, 2}, {0x1F650, 1}, {0x1F680, 2}, {0x1F6FF, 2},
        {0x1F700, 1}, {0x1F7E0, 2}, {0x1F7EC, 1}, {0x1FA6F, 1}, {0x1FA70, 2}, {0x1FAFF, 2},
        {0x1FB00, 1}, {0x20000, 2}, {0x3FFFE, 1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DisplayWidth(row.code), row.width) << static_cast<uint32_t>(row.code);
}

TEST(Characters, FirstFullWidthMark) {
    const std::string gbkName = tovik_test::Gbk("甲");
    const struct {
        const char* what;
        std::string text;
        Encoding encoding;
        bool found;
        size_t offset, length;
        int before;
        const char* character;
        char ascii;
    } rows[] = {
        {"UTF-8 semicolon", "x = 1；", Encoding::Utf8, true, 5, 3, 5, "；", ';'},
        {"after Chinese", "甲（", Encoding::Utf8, true, 3, 3, 1, "（", '('},
        {"GBK", tovik_test::Gbk("甲 ＝ 乙，"), Encoding::Gbk, true, 3, 2, 2, "＝", '='},
        {"GBK after a name", gbkName + tovik_test::Gbk("，"), Encoding::Gbk, true, 2, 2, 1, "，",
         ','},
        {"curly quote", "output {“x”}", Encoding::Utf8, true, 8, 3, 8, "“", '"'},
        {"ideographic space", "N　x", Encoding::Utf8, true, 1, 3, 1, "　", ' '},
        {"bad byte counts as one", "\xFF！", Encoding::Utf8, true, 1, 3, 1, "！", '!'},
        {"none", "甲乙 = {1, 2};", Encoding::Utf8, false, 0, 0, 0, "", 0},
        {"full-width letter is no mark", "Ａ", Encoding::Utf8, false, 0, 0, 0, "", 0},
        {"GBK lead byte last", "x\x81", Encoding::Gbk, false, 0, 0, 0, "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::optional<FullWidthMark> mark = FindFullWidth(row.text, row.encoding);
        ASSERT_EQ(mark.has_value(), row.found);
        if (!mark) continue;
        EXPECT_EQ(mark->offset, row.offset);
        EXPECT_EQ(mark->length, row.length);
        EXPECT_EQ(mark->charactersBefore, row.before);
        EXPECT_EQ(mark->character, row.character);
        EXPECT_EQ(mark->ascii, row.ascii);
    }
}

// A GBK character is a mark exactly when its UTF-8 spelling is, for every
// two-byte character: the GBK search converts only the rows that hold marks.
TEST(Characters, FullWidthMarksInEveryGbkRow) {
    Converter toUtf8(Encoding::Gbk, Encoding::Utf8);
    std::string utf8;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            toUtf8.Convert(gbk, utf8);
            const std::optional<FullWidthMark> mark = FindFullWidth(gbk, Encoding::Gbk);
            const std::optional<FullWidthMark> expected = FindFullWidth(utf8, Encoding::Utf8);
            ASSERT_EQ(mark.has_value(), expected.has_value()) << lead << ' ' << trail;
            if (mark) {
                EXPECT_EQ(mark->ascii, expected->ascii);
            }
        }
}

// JSON strings are always valid UTF-8 with every control character escaped;
// CSV fields are quoted only when they must be.
TEST(Characters, Quoting) {
    const struct {
        std::string text, json, csv;
    } rows[] = {
        {"plain", "\"plain\"", "plain"},
        {"", "\"\"", ""},
        {"a\"b\\c", "\"a\\\"b\\\\c\"", "\"a\"\"b\\c\""},
        {"x\r\ny\tz", "\"x\\r\\ny\\tz\"", "\"x\r\ny\tz\""},
        {std::string("\x01\x1F\x7F\0", 4), "\"\\u0001\\u001f\\u007f\\u0000\"",
         std::string("\x01\x1F\x7F\0", 4)},
        {"甲,乙", "\"甲,乙\"", "\"甲,乙\""},
        {"\xD5\xFD\xFF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", "\xD5\xFD\xFF"},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", "\xED\xA0\x80"},
        {" lead", "\" lead\"", "\" lead\""},
        {"trail ", "\"trail \"", "\"trail \""},
        {"in side", "\"in side\"", "in side"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text));
        std::string json = "[", csv = "[";
        AppendJsonString(json, row.text);
        AppendCsvField(csv, row.text);
        EXPECT_EQ(json, "[" + row.json);
        EXPECT_EQ(csv, "[" + row.csv);
    }
}

}  // namespace
