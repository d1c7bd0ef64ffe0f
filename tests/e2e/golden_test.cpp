// Golden-file runner: every NAME.tvk with a sibling NAME.out under the case
// roots is one test. tovik runs on the puzzle (its path is the only argument);
// its standard output must equal NAME.out byte for byte, and its exit status
// must equal the number in NAME.status (0 when that file is absent).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

struct GoldenCase {
    std::string name;  // unique test name, letters, digits and '_' only
    fs::path puzzle;   // NAME.tvk
};

// Shown by GoogleTest wherever it names the parameter of a failing test.
void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.puzzle.string(); }

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "compile/sets-redefined.tvk" under TOVIK_CASES_DIR gives compile_sets_redefined,
// "worked.tvk" under the examples examples_worked. Names are flattened, so two
// paths could meet on one name; the later ones are numbered.
std::vector<GoldenCase> DiscoverCases() {
    std::vector<GoldenCase> cases;
    std::set<std::string> taken;
    for (const auto& [label, root] :
         {std::pair{"", TOVIK_CASES_DIR}, std::pair{"examples", TOVIK_EXAMPLES_DIR}}) {
        std::error_code ec;
        std::vector<fs::path> puzzles;
        for (const auto& entry : fs::recursive_directory_iterator(root, ec))
            if (entry.is_regular_file() && entry.path().extension() == ".tvk" &&
                fs::exists(fs::path(entry.path()).replace_extension(".out")))
                puzzles.push_back(entry.path());
        // Directory iteration order is arbitrary; sort so that test names stay stable.
        std::sort(puzzles.begin(), puzzles.end());
        for (const fs::path& puzzle : puzzles) {
            const fs::path relative = puzzle.lexically_relative(root);
            std::string name;
            for (char c : std::string(label) + "/" + relative.parent_path().string() + "/" +
                              relative.stem().string()) {
                if (std::isalnum(static_cast<unsigned char>(c)))
                    name += c;
                else if (!name.empty() && name.back() != '_')
                    name += '_';
            }
            while (!name.empty() && name.back() == '_') name.pop_back();
            const std::string base = name.empty() ? "case" : name;
            name = base;
            for (int n = 2; !taken.insert(name).second; ++n) name = base + "_" + std::to_string(n);
            cases.push_back({name, puzzle});
        }
    }
    return cases;
}

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, MatchesExpectedOutput) {
    const fs::path& puzzle = GetParam().puzzle;
    const std::string expected = ReadFile(fs::path(puzzle).replace_extension(".out"));
    const fs::path status_file = fs::path(puzzle).replace_extension(".status");
    const int expected_status = fs::exists(status_file) ? std::stoi(ReadFile(status_file)) : 0;

    ChildResult run = RunChild(TOVIK_BINARY, {puzzle.string()}, kTimeoutSeconds);
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    ASSERT_FALSE(run.timed_out) << "tovik did not finish within " << kTimeoutSeconds << " s on "
                                << puzzle << "\noutput so far:\n"
                                << Escape(run.out);
    ASSERT_EQ(run.signal, 0) << "tovik was ended by signal " << run.signal << " on " << puzzle
                             << "\nstandard error:\n"
                             << run.err;
    EXPECT_TRUE(run.out == expected) << "standard output of tovik " << puzzle << "\n"
                                     << DescribeMismatch(expected, run.out) << run.err;
    EXPECT_EQ(run.exit_status, expected_status) << "exit status of tovik " << puzzle << "\n"
                                                << run.err;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenTest, ::testing::ValuesIn(DiscoverCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace tovik_e2e
