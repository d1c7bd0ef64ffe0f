// The places compile errors are described at (line, and columns in
// characters) where counting is easy to get wrong: GBK characters split
// between tokens, multi-line comments and strings, tabs, the end of the
// input; and the language those descriptions are in.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "compile/diagnostics.h"
#include "lang/parse.h"
#include "model/program.h"
#include "text/translate.h"

namespace {

struct Collector final : Diagnostics {
    void Error(int, const char*) override {}
    // Errors only: a case may also hold something worth a warning.
    void Report(const Diagnostic& d) override {
        if (d.severity == Severity::Error) seen.push_back(d);
    }
    std::vector<Diagnostic> seen;
};

struct PlaceCase {
    const char* what;
    std::string text;
    Encoding encoding;
    SourcePlace place;
    const char* code;
};

TEST(Places, CountCharactersWhereTokensMakeItHard) {
    const PlaceCase cases[] = {
        // 0x81 0x5B is one GBK character; its second byte scans as '['.
        {"GBK character split by the scanner",
         "N{} = {1, 2};\nN x\x81[];\nx\x81[1] > > 1;\n",
         Encoding::Gbk,
         {3, 8, 9},
         "syntax"},
        {"block comment over two lines",
         "N{} = {1, 2};\n/* 注释\n行 */ N x $;\n",
         Encoding::Utf8,
         {3, 10, 11},
         "syntax"},
        // The string's place ends at its line's end, and the ';' belongs there.
        {"string cut by its line end",
         "N{} = {1, 2};\nN x;\nx > \"ab\n $;\n",
         Encoding::Gbk,
         {3, 8, 9},
         "missing-semicolon"},
        {"tab counts one", "N{} = {1, 2};\n\tN x $;\n", Encoding::Gbk, {2, 6, 7}, "syntax"},
        {"missing ';' before the end",
         "N{} = {1, 2};\nN x\n",
         Encoding::Gbk,
         {2, 4, 5},
         "missing-semicolon"},
        {"UTF-8 name",
         "颜色{} = {1, 2};\n颜色 甲乙;\n甲乙 > > 1;\n",
         Encoding::Utf8,
         {3, 6, 7},
         "syntax"},
    };
    for (const PlaceCase& c : cases) {
        CProgram program;
        program.encoding = c.encoding;
        Collector collector;
        EXPECT_FALSE(ParsePuzzle(program, collector, c.text)) << c.what;
        ASSERT_EQ(collector.seen.size(), 1u) << c.what;
        const Diagnostic& d = collector.seen[0];
        EXPECT_EQ(d.code, c.code) << c.what;
        EXPECT_EQ(d.place.line, c.place.line) << c.what;
        EXPECT_EQ(d.place.column, c.place.column) << c.what;
        EXPECT_EQ(d.place.endColumn, c.place.endColumn) << c.what;
    }
}

// As gettext reads the environment, except that LANGUAGE also counts when no
// locale is set at all (a fresh system).
TEST(Translations, ChooseTheLanguageFromTheEnvironment) {
    const struct {
        std::map<std::string, std::string> environment;
        const char* language;
    } cases[] = {
        {{}, ""},
        {{{"LANG", "zh_CN.UTF-8"}}, "zh_CN.UTF-8"},
        {{{"LANGUAGE", "zh_CN"}}, "zh_CN"},
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "zh_CN:en"}}, "zh_CN:en"},
        {{{"LC_ALL", "C"}, {"LANGUAGE", "zh_CN"}}, ""},
        {{{"LC_ALL", "en_US.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, ""},
        {{{"LC_MESSAGES", "zh_TW.UTF-8"}, {"LANG", "en_US.UTF-8"}}, "zh_TW.UTF-8"},
        {{{"LC_ALL", ""}, {"LANG", "zh_CN.GB18030"}}, "zh_CN.GB18030"},
    };
    for (const auto& c : cases) {
        const std::string chosen = ChooseLanguage([&](const char* name) -> const char* {
            const auto value = c.environment.find(name);
            return value == c.environment.end() ? nullptr : value->second.c_str();
        });
        EXPECT_EQ(chosen, c.language) << testing::PrintToString(c.environment);
    }
}

}  // namespace
