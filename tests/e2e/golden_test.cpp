// Golden-file runner: every NAME.tvk with a sibling NAME.out under the case
// roots is one test. tovik runs on the puzzle (its path is the only argument);
// its standard output must equal NAME.out byte for byte, and its exit status
// must equal the number in NAME.status (0 when that file is absent).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "child_process.h"

namespace fs = std::filesystem;

namespace tovik_e2e {
namespace {

// Long enough for any puzzle of the suite; a hung search fails instead of stalling ctest.
constexpr int kTimeoutSeconds = 120;

struct CaseRoot {
    const char* label; // prefix of the test names found under this root
    const char* path;
};

const CaseRoot kRoots[] = {
    {"", TOVIK_CASES_DIR},
    {"examples", TOVIK_EXAMPLES_DIR},
};

struct GoldenCase {
    std::string name; // unique test name, letters, digits and '_' only
    fs::path puzzle;  // NAME.tvk
};

// Shown by GoogleTest wherever it names the parameter of a failing test.
void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.puzzle.string(); }

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "compile/sets-redefined.tvk" under the root labelled "" gives compile_sets_redefined.
std::string TestName(const char* label, const fs::path& relative) {
    std::string raw = std::string(label) + "/" + relative.parent_path().string() + "/" +
                      relative.stem().string();
    std::string name;
    for (char c : raw) {
        bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (word)
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? "case" : name;
}

std::vector<GoldenCase> DiscoverCases() {
    std::vector<GoldenCase> cases;
    for (const CaseRoot& root : kRoots) {
        std::error_code ec;
        if (!fs::is_directory(root.path, ec)) continue;
        std::vector<fs::path> puzzles;
        for (const auto& entry : fs::recursive_directory_iterator(root.path, ec)) {
            const fs::path& path = entry.path();
            if (entry.is_regular_file() && path.extension() == ".tvk" &&
                fs::exists(fs::path(path).replace_extension(".out")))
                puzzles.push_back(path);
        }
        // Directory iteration order is arbitrary; sort so that test names stay stable.
        std::sort(puzzles.begin(), puzzles.end());
        for (const fs::path& puzzle : puzzles)
            cases.push_back({TestName(root.label, puzzle.lexically_relative(root.path)), puzzle});
    }
    // Names are flattened, so two paths could meet on one name; number the later ones.
    std::set<std::string> taken;
    for (GoldenCase& c : cases) {
        std::string base = c.name;
        for (int n = 2; !taken.insert(c.name).second; ++n) c.name = base + "_" + std::to_string(n);
    }
    return cases;
}

int ExpectedStatus(const fs::path& puzzle) {
    fs::path status_file = fs::path(puzzle).replace_extension(".status");
    if (!fs::exists(status_file)) return 0;
    return std::stoi(ReadFile(status_file));
}

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, MatchesExpectedOutput) {
    const fs::path& puzzle = GetParam().puzzle;
    const std::string expected = ReadFile(fs::path(puzzle).replace_extension(".out"));
    const int expected_status = ExpectedStatus(puzzle);

    ChildResult run = RunChild(TOVIK_BINARY, {puzzle.string()}, kTimeoutSeconds);
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    ASSERT_FALSE(run.timed_out) << "tovik did not finish within " << kTimeoutSeconds
                                << " s on " << puzzle << "\noutput so far:\n" << Escape(run.out);
    ASSERT_EQ(run.signal, 0) << "tovik was ended by signal " << run.signal << " on " << puzzle
                             << "\nstandard error:\n" << run.err;

    const std::string stderr_note = run.err.empty() ? "" : "standard error:\n" + run.err;
    EXPECT_TRUE(run.out == expected) << "standard output of tovik " << puzzle << "\n"
                                     << DescribeMismatch(expected, run.out) << stderr_note;
    EXPECT_EQ(run.exit_status, expected_status) << "exit status of tovik " << puzzle << "\n"
                                                << stderr_note;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenTest, ::testing::ValuesIn(DiscoverCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             return info.param.name;
                         });

} // namespace
} // namespace tovik_e2e
