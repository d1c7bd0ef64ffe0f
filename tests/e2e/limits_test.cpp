// Inputs at the limits: nesting deep enough to overflow the parser's stack,
// expressions hundreds of thousands of levels deep, searches thousands of
// variables deep, big names, big ranges, big expansions, and running out of
// memory. Each either works or ends with a clear message, never with a signal.
// Sizes stay small enough for CI; tests/stress/run.sh tries the large ones.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace tovik_e2e {
namespace {

constexpr int kTimeoutSeconds = 120;

const std::string kPhases =
    "\xD5\xFD\xD4\xDA\xB1\xE0\xD2\xEB\xA1\xAD\xA1\xAD\r\n"   // 正在编译……
    "\xD5\xFD\xD4\xDA\xCB\xD1\xCB\xF7\xA1\xAD\xA1\xAD\r\n";  // 正在搜索……
const std::string kCompiling = kPhases.substr(0, 14);

std::string Repeat(const std::string& piece, int times, const std::string& separator) {
    std::string out = piece;
    for (int i = 1; i < times; ++i) out += separator + piece;
    return out;
}

class Limits : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(dir_); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Runs tovik on the puzzle text; a signal or a time-out fails the test.
    ChildResult Run(const std::string& text) {
        const std::string path = dir_ / "limits.tvk";
        std::ofstream(path, std::ios::binary) << text;
        ChildResult r = RunChild(TOVIK_BINARY, {path}, kTimeoutSeconds);
        EXPECT_EQ(r.signal, 0) << "tovik was killed by a signal";
        EXPECT_FALSE(r.timed_out);
        return r;
    }

    const std::filesystem::path dir_ =
        std::filesystem::temp_directory_path() / ("tovik-limits-" + std::to_string(getpid()));
};

TEST_F(Limits, DeepNestingReportsParserStackOverflow) {
    std::string quantifiers = "S{} = {1, 2};\nS x;\n";
    for (int i = 0; i < 10000; ++i) quantifiers += "# i" + std::to_string(i) + " in S, ";
    quantifiers += "x = 1;\n";
    const std::string parentheses = "S{} = {1, 2};\nS x;\n" + std::string(10000, '(') + "x = 1" +
                                    std::string(10000, ')') + ";\n";
    for (const std::string& text : {quantifiers, parentheses}) {
        ChildResult r = Run(text);
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(r.out, kCompiling + "3 \xD0\xD0: parser stack overflow \r\n");
    }
}

// A chain of 200,000 terms is a tree 200,000 levels deep on its left side.
TEST_F(Limits, LongChainsCompileAndEvaluate) {
    ChildResult sum =
        Run("S{} = {[1, 3]};\nS a;\n" + Repeat("a", 200000, " + ") + " = 400000;\noutput {a}\n");
    EXPECT_EQ(sum.exit_status, 0);
    EXPECT_EQ(sum.out, kPhases + "2\r\n");

    ChildResult conjunction =
        Run("S{} = {[1, 3]};\nS a, b;\n" + Repeat("a > b", 200000, " & ") + ";\noutput {a b}\n");
    EXPECT_EQ(conjunction.exit_status, 0);
    // a is chosen first (a tie with b goes to the earlier variable) and tried
    // from 3 down; each a > b then leaves the candidates b = 1, b = 2 in
    // domain order.
    EXPECT_EQ(conjunction.out, kPhases + "31\r\n32\r\n21\r\n");
}

// Every variable takes the other value than its neighbour: the search goes
// thousands of levels deep, and exactly two alternating solutions exist.
TEST_F(Limits, SearchThousandsOfVariablesDeep) {
    const int n = 3000;
    std::string declarations = "S{} = {1, 2};\nS x0", conditions;
    for (int i = 1; i < n; ++i) {
        declarations += ", x" + std::to_string(i);
        conditions += "x" + std::to_string(i - 1) + " != x" + std::to_string(i) + ";\n";
    }
    const std::string text =
        declarations + ";\n" + conditions + "output {x0 x" + std::to_string(n - 1) + "}\n";
    ChildResult r = Run(text);
    EXPECT_EQ(r.exit_status, 0);
    // x1 has two conditions to x0's one, so it is chosen first and tried
    // from 2 down: x1 = 2 forces x0 = 1 and every odd xi = 2, x2999 included.
    EXPECT_EQ(r.out, kPhases + "12\r\n21\r\n");
}

TEST_F(Limits, BigNamesTextsRangesAndExpansions) {
    const std::string name(1 << 20, 'n');
    const std::string text(1 << 20, 't');
    ChildResult big = Run("S{} = {1, 2};\nS " + name + ";\n" + name + " > 1;\noutput {\"" + text +
                          "\" " + name + "}\n");
    EXPECT_EQ(big.out, kPhases + text + "2\r\n");

    // The two values that hold become candidates in ascending order.
    ChildResult range = Run("S{} = {[1, 10000000]};\nS x;\nx > 9999998;\noutput {x}\n");
    EXPECT_EQ(range.out, kPhases + "9999999\r\n10000000\r\n");

    std::string lines;
    for (int i = 0; i < 100000; ++i) lines += "S" + std::to_string(i) + "{} = {1, 2};\n";
    ChildResult declarations = Run(lines + "output {\"ok\"}\n");
    EXPECT_EQ(declarations.out, kPhases + "ok\r\n");

    // 300 x 300 instances of the inner body: 90,000 comparisons, of which
    // a != 2i survive; a is odd, and the candidates come in ascending order.
    ChildResult expansion =
        Run("S{} = {[1, 300]};\nS a;\n# i in S, # j in S, a != i + j | i != j;\noutput {a}\n");
    std::string odd;
    for (int a = 1; a < 300; a += 2) odd += std::to_string(a) + "\r\n";
    EXPECT_EQ(expansion.out, kPhases + odd);
}

#if !defined(__SANITIZE_ADDRESS__)
// Runaway compile phases end with a message and status 2 within 30 s, their
// peak memory below the cap: the default cap (taken from the address-space
// limit the process starts under) and --memory-limit. A range of 2*10^8
// values, 3,000 nested quantifiers over two values (2^3000 instances), and
// 10^9 instances of a comparison, also under --fast where the build has it.
// The sanitizers reserve address space of their own, so this runs only in the
// plain build.
TEST_F(Limits, OutOfMemoryEndsWithStatusTwo) {
    std::string nested = "S{} = {1, 2};\nS x;\n";
    for (int i = 0; i < 3000; ++i) nested += "# i" + std::to_string(i) + " in S, ";
    nested += "x = 1;\n";
    const std::string runaway =
        "N{} = {[1, 1000]};\nN x;\n# i in N, # j in N, # k in N, x != i * j + k;\noutput {x}\n";
    const struct {
        std::string text;
        std::vector<std::string> options;
    } cases[] = {
        {"S{} = {[1, 200000000]};\nS x;\noutput {x}\n", {}},
        {nested, {}},
        {runaway, {}},
#if TOVIK_FAST
        {runaway, {"--fast"}},
#endif
        {nested, {"--memory-limit", "300M"}},
    };
    constexpr long kCapKiB = 400000;
    for (const auto& c : cases) {
        const std::string path = dir_ / "huge.tvk";
        std::ofstream(path, std::ios::binary) << c.text;
        std::vector<std::string> args = {
            "-c", "ulimit -v " + std::to_string(kCapKiB) + "; exec \"$0\" \"$@\"", TOVIK_BINARY};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(path);
        ChildResult r = RunChild("/bin/sh", args, 30);
        EXPECT_EQ(r.signal, 0);
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.exit_status, 2);
        EXPECT_EQ(r.out, kCompiling);
        EXPECT_EQ(r.err, "tovik: out of memory\n");
        rusage children{};
        getrusage(RUSAGE_CHILDREN, &children);
        EXPECT_LT(children.ru_maxrss, kCapKiB);
    }
}
#endif

}  // namespace
}  // namespace tovik_e2e
