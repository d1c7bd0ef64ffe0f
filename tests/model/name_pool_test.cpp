// The name pool: a string literal token (quotes included) or a name becomes
// a pooled text with escapes replaced and the quotes at both ends removed;
// one spelling is one pooled text with one handle, and a handle finds its
// text again, also after the pool is converted to another encoding.
#include <gtest/gtest.h>

#include <string>

#include "../support/test_support.h"
#include "model/program.h"

namespace {

const PooledText* Intern(CProgram& program, std::string token) {
    return program.Intern(token.data());
}

TEST(NamePool, EscapesAndQuotes) {
    const struct {
        const char* token;
        std::string text;
    } rows[] = {
        {"name", "name"},
        {"\"abc\"", "abc"},
        {"\"\"", ""},
        {"\"a\\\"b\"", "a\"b"},
        {"\"a\\\\b\"", "a\\b"},
        {"\"\\a\\b\\f\\n\\r\\t\\v\"", "\a\b\f\n\r\t\v"},
        {"\"a\\xb\\0\"", "a\\xb\\0"},  // other escapes keep their backslash
        {"\"abc\\\"", "abc"},          // a closing quote after a backslash
        {"\"a\\\\\"", "a\\"},          // an escaped backslash before the closing quote
        {"\"\\\"x\\\"\"", "x"},        // quotes made by escapes at the ends go too
        {"\"\"\"x\"\"", "x"},
        {"\"a\\", "a\\"},      // a backslash at the very end stays
        {"\"cut\n", "cut\n"},  // a literal cut off by its line end
    };
    CProgram program;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::string(row.token)));
        EXPECT_EQ(Intern(program, row.token)->text, row.text);
    }
}

TEST(NamePool, HandlesAndConversion) {
    CProgram program;
    const PooledText* red = Intern(program, "\"red\"");
    EXPECT_EQ(Intern(program, "red"), red);
    EXPECT_EQ(Intern(program, "\"r\\x\""), Intern(program, "r\\x"));
    const PooledText* chinese = Intern(program, tovik_test::Gbk("\"红\""));
    EXPECT_EQ(red->handle, kFirstHandle);
    EXPECT_EQ(chinese->handle, kFirstHandle + 2);
    EXPECT_EQ(program.TextOf(kFirstHandle - 1), nullptr);
    EXPECT_EQ(program.TextOf(kFirstHandle + 3), nullptr);
    program.ConvertTexts(Encoding::Utf8);
    EXPECT_STREQ(program.TextOf(chinese->handle), "红");
    EXPECT_STREQ(program.TextOf(red->handle), "red");
    EXPECT_EQ(Intern(program, "\"红\""), chinese);
}

}  // namespace
