// The fast search against the default one: the same lines (each once) on
// every example and test puzzle, the language's meaning or a fallback to the
// default output on hand-made puzzles, and the engine's hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/test_support.h"
#include "fast/fast_search.h"

namespace tovik_test {
namespace {

namespace fs = std::filesystem;

// A recording engine whose Run uses the fast search; `ran` is false when it
// declined.
struct FastTovik : RecordingTovik {
    FastTovik() {
        SetSearch([this](CTovik& engine, CProgram& program) {
            ran = FastSearch(engine, program, &stats);
            return ran;
        });
    }
    bool ran = false;
    FastStats stats;
};

// Every line printed (phase lines and messages included), sorted.
std::vector<std::string> SortedLines(const std::string& output) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = output.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(output.substr(start, end - start));
    if (start < output.size()) lines.push_back(output.substr(start));
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string DefaultOutput(const std::string& text) {
    RecordingTovik engine;
    engine.Run(PuzzleFile(text));
    return engine.output;
}

TEST(FastSearch, PrintsTheDefaultLinesOnEveryExampleAndTestPuzzle) {
    std::vector<fs::path> files;
    for (const char* folder : {"/../examples", "/e2e/cases"})
        for (const auto& entry :
             fs::recursive_directory_iterator(TOVIK_TEST_DIR + std::string(folder)))
            if (entry.path().extension() == ".tvk") files.push_back(entry.path());
    ASSERT_GT(files.size(), 50u);
    int modelled = 0;
    for (const fs::path& file : files) {
        RecordingTovik reference;
        reference.Run(file.c_str());
        FastTovik fast;
        fast.Run(file.c_str());
        EXPECT_EQ(SortedLines(fast.output), SortedLines(reference.output)) << file;
        EXPECT_EQ(fast.Solutions(), reference.Solutions()) << file;
        modelled += fast.ran;
        // The examples are all within Gecode's range.
        if (file.string().find("/examples/") != std::string::npos && !reference.HadError()) {
            EXPECT_TRUE(fast.ran) << file << ": " << fast.stats.fallback;
        }
    }
    EXPECT_GT(modelled, 50);
}

// Puzzles the fast search must model with the language's meaning, and ones
// whose arithmetic could wrap around or leave Gecode's range, where it falls
// back and prints exactly the default output. Each prints `line`.
TEST(FastSearch, KeepsTheLanguagesMeaningOrFallsBack) {
    const struct {
        const char* what;
        const char* text;
        bool modelled;
        const char* line;
    } cases[] = {
        // Only wrap-around makes x + y < 0 hold.
        {"a sum near 2^31",
         "N{} = {2000000000, 2000000001, 7};\nN x, y;\nx + y < 0;\noutput {x \" \" y}\n", false,
         "2000000001 2000000001"},
        // 2147483647 + 1 wraps to the smallest value: only x = -1 fits.
        {"a constant outside the range", "N{} = {-1, 1};\nN x;\nx + 2147483647 > 0;\noutput {x}\n",
         false, "-1"},
        // 46340^2 < 2^31 - 2: the product cannot leave the range.
        {"large values within the range",
         "N{} = {[46330, 46340]};\nN x, y;\nx * y > 2147000000 & x != y;\noutput {x \" \" y}\n",
         true, "46340 46339"},
        {"division toward zero, zero for a zero divisor", R"(A{} = {[-7, 7]};
B{} = {[-3, 3]};
Q{} = {[-8, 8]};
A x; B y; Q q, r;
x / y = q;
x % y = r;
(x / y) * 2 + x % (y + 1) > 1 | y = 0 | x * y < -3;
output {x " " y " " q " " r}
)",
         true, "5 0 0 0"},
        {"comparisons and logic as 0 or 1", R"(D{} = {[-2, 3]};
D a, b, c;
(a < b) + (b < c) + !c + (a & b) * 2 = 2;
(a | c) - (a = b) != 0 | c = 3;
output {a " " b " " c}
)",
         true, ""},
        // Negative, non-contiguous set values; an indirect element through
        // the inverse family and one through the forward family.
        {"orderings and indirect elements", R"(S{} = {-5, 0, 7, 12};
P{} = {[1, 4]};
S o[];
P k;
o[k] != 0;
o(o[k]) < 3;
o(-5) != 1;
output {o(-5) " " o(0) " " o(7) " " o(12) " " k " " o[k]}
)",
         true, ""},
        // A cycle of != (a and c may be equal, b and d too), and a triangle
        // that becomes an all-different.
        {"a non-clique of inequalities", R"(C{} = {[1, 3]};
C a, b, c, d, e, f, g;
a != b; b != c; c != d; d != a;
e != f; f != g; e != g;
a = c | e = a;
output {a b c d " " e f g}
)",
         true, "1212 123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FastTovik fast;
        fast.Run(PuzzleFile(c.text));
        EXPECT_EQ(fast.ran, c.modelled) << fast.stats.fallback;
        EXPECT_EQ(fast.stats.fallback.empty(), c.modelled);
        const std::string expected = DefaultOutput(c.text);
        if (!c.modelled) {
            EXPECT_EQ(fast.output, expected);
        }
        const std::vector<std::string> lines = SortedLines(fast.output);
        EXPECT_EQ(lines, SortedLines(expected));
        if (*c.line != '\0') {
            EXPECT_TRUE(std::binary_search(lines.begin(), lines.end(), c.line)) << fast.output;
        }
    }
}

// Cancelling stops the search after the lines printed so far, some of the
// default run's; progress is reported per node, in order.
TEST(FastSearch, StopsWhenTheEngineCancelsAndReportsProgressPerNode) {
    struct CancelAfterFour : FastTovik {
        bool IsCancel() override { return Solutions() >= 4; }
    } engine;
    const std::string text = "D{} = {[1, 6]};\nD x, y, z;\nx < y;\noutput {x y z}\n";
    engine.Run(PuzzleFile(text));
    ASSERT_TRUE(engine.ran);
    EXPECT_EQ(engine.Solutions(), 4u);
    const std::vector<std::string> all = SortedLines(DefaultOutput(text));
    const std::vector<std::string> some = SortedLines(engine.output);
    EXPECT_EQ(some.size(), 4u + 2u);  // with the two phase lines
    EXPECT_TRUE(std::includes(all.begin(), all.end(), some.begin(), some.end()));
    ASSERT_FALSE(engine.progress.empty());
    EXPECT_TRUE(std::is_sorted(engine.progress.begin(), engine.progress.end()));
    EXPECT_LE(engine.progress.back(), engine.stats.nodes + 1);
}

TEST(FastSearch, PrintsEqualLinesOnceAndRepeatsItsOrderExactly) {
    // z is not printed: each printed pair stands for six assignments.
    const std::string text = "D{} = {[1, 6]};\nD x, y, z;\nx + y = 7;\noutput {x \"-\" y}\n";
    FastTovik first, second;
    first.Run(PuzzleFile(text));
    second.Run(PuzzleFile(text));
    EXPECT_EQ(first.output, second.output);
    EXPECT_EQ(first.Solutions(), 6u);
    EXPECT_EQ(SortedLines(first.output), SortedLines(DefaultOutput(text)));
}

TEST(FastSearch, LeavesEveryVariableUnassigned) {
    RecordingTovik engine;
    std::unique_ptr<CProgram> program =
        CompileText(engine, "D{} = {[1, 3]};\nD x(D);\nx(1) < x(2);\noutput {x(1) x(2)}\n");
    ASSERT_NE(program, nullptr);
    FastStats stats;
    ASSERT_TRUE(FastSearch(engine, *program, &stats));
    for (const CVariable* v : program->variableList) EXPECT_FALSE(v->Assigned());
    EXPECT_GT(stats.nodes, 0u);
}

}  // namespace
}  // namespace tovik_test
