// The fast search against the default one: the same set of lines on every
// example and test puzzle, and on hand-made puzzles either the language's
// meaning or, where Gecode's arithmetic could differ, a fallback to the
// default output byte for byte.
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

// A recording engine whose searches are fast ones; `ran` is false when the
// fast search declined.
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

// The puzzles the golden tests run without options.
TEST(FastSearch, PrintsTheDefaultLinesOnEveryExampleAndTestPuzzle) {
    int modelled = 0, files = 0;
    for (const char* folder : {"/../examples", "/e2e/cases"}) {
        for (const auto& entry :
             fs::recursive_directory_iterator(TOVIK_TEST_DIR + std::string(folder))) {
            const fs::path& file = entry.path();
            if (file.extension() != ".tvk" || fs::exists(fs::path(file).replace_extension(".args")))
                continue;
            ++files;
            RecordingTovik reference;
            reference.Run(file.c_str());
            FastTovik fast;
            fast.Run(file.c_str());
            EXPECT_EQ(SortedLines(fast.output), SortedLines(reference.output)) << file;
            modelled += fast.ran;
            // The examples are all within Gecode's range.
            if (file.string().find("/examples/") != std::string::npos && !reference.HadError()) {
                EXPECT_TRUE(fast.ran) << file << ": " << fast.stats.fallback;
            }
        }
    }
    EXPECT_GT(files, 100);
    EXPECT_GT(modelled, 50);
}

TEST(FastSearch, KeepsTheLanguagesMeaningOrFallsBack) {
    const struct {
        const char* what;
        const char* text;
        bool modelled;
    } cases[] = {
        // Only wrap-around makes x + y < 0 hold.
        {"a sum near 2^31",
         "N{} = {2000000000, 2000000001, 7};\nN x, y;\nx + y < 0;\noutput {x \" \" y}\n", false},
        {"a constant outside the range", "N{} = {-1, 1};\nN x;\nx + 2147483647 > 0;\noutput {x}\n",
         false},
        // 46340^2 < 2^31 - 2: the product cannot leave the range.
        {"large values within the range",
         "N{} = {[46330, 46340]};\nN x, y;\nx * y > 2147000000 & x != y;\noutput {x \" \" y}\n",
         true},
        {"division toward zero, zero for a zero divisor",
         "A{} = {[-7, 7]};\nB{} = {[-3, 3]};\nQ{} = {[-8, 8]};\nA x; B y; Q q, r;\nx / y = q;\n"
         "x % y = r;\n(x / y) * 2 + x % (y + 1) > 1 | y = 0 | x * y < -3;\n"
         "output {x \" \" y \" \" q \" \" r}\n",
         true},
        {"comparisons and logic as 0 or 1",
         "D{} = {[-2, 3]};\nD a, b, c;\n(a < b) + (b < c) + !c + (a & b) * 2 = 2;\n"
         "(a | c) - (a = b) != 0 | c = 3;\noutput {a \" \" b \" \" c}\n",
         true},
        // Negative, non-contiguous set values; indirect elements through both families.
        {"orderings and indirect elements",
         "S{} = {-5, 0, 7, 12};\nP{} = {[1, 4]};\nS o[];\nP k;\no[k] != 0;\no(o[k]) < 3;\n"
         "o(-5) != 1;\noutput {o(-5) \" \" o(0) \" \" o(7) \" \" o(12) \" \" k \" \" o[k]}\n",
         true},
        // A cycle of != (not a clique) and a triangle that becomes an all-different.
        {"a non-clique of inequalities",
         "C{} = {[1, 3]};\nC a, b, c, d, e, f, g;\na != b; b != c; c != d; d != a;\n"
         "e != f; f != g; e != g;\na = c | e = a;\noutput {a b c d \" \" e f g}\n",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingTovik reference;
        reference.Run(PuzzleFile(c.text));
        FastTovik fast;
        fast.Run(PuzzleFile(c.text));
        EXPECT_EQ(fast.ran, c.modelled) << fast.stats.fallback;
        if (c.modelled) {
            EXPECT_EQ(SortedLines(fast.output), SortedLines(reference.output));
        } else {
            EXPECT_EQ(fast.output, reference.output);
        }
        EXPECT_GT(SortedLines(reference.output).size(), 2u);  // some solution lines
    }
}

}  // namespace
}  // namespace tovik_test
