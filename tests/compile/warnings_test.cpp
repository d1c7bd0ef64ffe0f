// Warnings at their edges: the 64-bit bounds of + - * / % just inside and
// just past the 32-bit range (INT_MIN / -1 among them, % never), bounds of
// a quantifier's bound name, the assignment limit of the never-true check
// for a whole condition and for one clause, and the hints for a string in
// no set. Also the near spellings those hints come from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/test_support.h"
#include "compile/diagnostics.h"
#include "compile/error_details.h"

namespace tovik_test {
namespace {

class WarningRecorder : public RecordingTovik {
public:
    void OnCompileError(int line, const char* message) override {
        warnings.push_back("error " + std::to_string(line) + ": " + message);
    }
    void OnDiagnostic(const Diagnostic& d) override {
        if (d.severity != Severity::Warning) return;
        std::string text = d.code + " " + std::to_string(d.place.line) + ": " + d.message;
        for (const std::string& hint : d.hints) text += " | " + hint;
        warnings.push_back(text);
    }
    void OnWarning(const char*) override {}

    std::vector<std::string> warnings;
};

const char* const kWrapHint =
    " | results outside -2147483648 to 2147483647 wrap around, so the condition may hold or "
    "fail for the wrong values";

std::string Overflow(const char* lo, const char* hi) {
    return std::string("overflow 3: arithmetic here reaches ") + lo + " to " + hi +
           ", beyond the 32-bit range" + kWrapHint;
}

const std::string kNeverTrue =
    "never-true 3: this condition can never hold | no values of its variables satisfy it, so "
    "the puzzle has no solution";

TEST(Warnings, ArithmeticBoundsAndTheNeverTrueCheck) {
    const struct {
        const char* what;
        std::string text;  // declarations on lines 1 and 2, the condition on line 3
        std::vector<std::string> warnings;
    } rows[] = {
        {"+ reaches INT_MAX", "N{} = {0, 2147483646};\nN x, y;\nx + 1 > y;\n", {}},
        {"+ passes INT_MAX",
         "N{} = {0, 2147483646};\nN x, y;\nx + 2 > y;\n",
         {Overflow("2", "2147483648")}},
        {"- reaches INT_MIN", "N{} = {-2147483647, 0};\nN x, y;\nx - 1 < y;\n", {}},
        {"- passes INT_MIN",
         "N{} = {-2147483647, 0};\nN x, y;\nx - 2 < y;\n",
         {Overflow("-2147483649", "-2")}},
        {"* inside", "N{} = {-46340, 46340};\nN x, y;\nx * y > 0;\n", {}},
        {"* both ways out",
         "N{} = {-46341, 46341};\nN x, y;\nx * y > 0;\n",
         {Overflow("-2147488281", "2147488281")}},
        {"INT_MIN / -1",
         "N{} = {-2147483648, 5};\nM{} = {-1, 1};\nN x; M y; x / y > 0;\n",
         {Overflow("-2147483648", "2147483648")}},
        {"INT_MIN / 2 stays inside",
         "N{} = {-2147483648, 5};\nM{} = {2, 3};\nN x; M y; x / y > 0;\n",
         {}},
        {"% never leaves the range",
         "N{} = {-2147483648, 5};\nM{} = {-1, 3};\nN x; M y; x % y > 0;\n",
         {}},
        {"only the first operation that leaves it",
         "N{} = {0, 2147483646};\nN x, y;\n(x + 2) + (y + 3) > 0;\n",
         {Overflow("2", "2147483648")}},
        {"a bound name ranges over its set",
         "N{} = {1, 2};\nM{} = {0, 2147483646};\nN x; M y; # i in N, y + i != x;\n",
         {Overflow("1", "2147483648")}},
        // 64 x 64 assignments are checked; 65 x 65 are too many.
        {"4096 assignments", "N{} = {[1, 64]};\nN x, y;\nx < y & y < x;\n", {kNeverTrue}},
        {"4225 assignments", "N{} = {[1, 65]};\nN x, y;\nx < y & y < x;\n", {}},
        {"one clause small enough",
         "N{} = {[1, 65]};\nN a, x, y;\na != a & x < y;\n",
         {kNeverTrue}},
        {"the relaxation can hold", "N{} = {[1, 3]};\nN x, y;\nx + y = 6 | x - y = 2;\n", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WarningRecorder engine;
        ASSERT_NE(CompileText(engine, row.text + "output {x y}\n"), nullptr) << engine.output;
        EXPECT_EQ(engine.warnings, row.warnings);
    }
}

// A string in no set: the nearest member as a hint when one is close,
// otherwise what comparing with it does; the condition's own always-true
// warning is left out, as the string's warning says why.
TEST(Warnings, StringsInNoSet) {
    const std::string declarations = "S{} = {\"red\", \"green\", \"blue\"};\nS s;\n";
    const struct {
        std::string condition;
        std::vector<std::string> warnings;
    } rows[] = {
        {"s != \"gren\";",
         {"unknown-string 3: the string \"gren\" is in no declared set | did you mean \"green\"?"}},
        {"s != \"purple\";",
         {"unknown-string 3: the string \"purple\" is in no declared set | a comparison with it "
          "is always false with = and always true with !="}},
        {"s != \"blue\";", {}},
        {"s != \"red\" | s = \"blu\";",
         {"unknown-string 3: the string \"blu\" is in no declared set | did you mean \"blue\"?"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.condition);
        WarningRecorder engine;
        ASSERT_NE(CompileText(engine, declarations + row.condition + "\noutput {s}\n"), nullptr);
        EXPECT_EQ(engine.warnings, row.warnings);
    }
}

// Distances count code points; a candidate is near with one edit up to four
// characters, two beyond, never as many edits as the name has characters;
// the first in sorted order wins a tie.
TEST(Warnings, NearestSpelling) {
    EXPECT_EQ(EditDistance("甲乙", "甲丙"), 1u);
    EXPECT_EQ(EditDistance("", "互不同"), 3u);
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
    const struct {
        const char* name;
        std::vector<std::string> candidates;
        const char* nearest;
    } rows[] = {
        {"ab", {"abc", "xyz"}, "abc"},  {"a", {"b"}, ""},
        {"abcd", {"abxy"}, ""},         {"abcde", {"abcxy"}, "abcxy"},
        {"abcde", {"abxyz"}, ""},       {"abc", {"abd", "abb"}, "abb"},
        {"abc", {"abc", "abd"}, "abd"}, {"互不相同", {"互不同", "输出"}, "互不同"},
        {"甲乙", {"甲丙丁"}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Nearest(row.name, row.candidates), row.nearest);
    }
    EXPECT_EQ(NearestKeyword("互补同"), "互不同");
}

}  // namespace
}  // namespace tovik_test
