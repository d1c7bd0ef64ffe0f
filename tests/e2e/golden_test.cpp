// Golden-file runner: every NAME.tvk with a sibling NAME.out under the case
// roots is one test. tovik runs on the puzzle as the editor runs it (in the
// puzzle's folder, with the file name as the only argument) unless files
// beside it say otherwise:
//   NAME.out     standard output, byte for byte
//   NAME.status  the exit status (0 when absent)
//   NAME.args    arguments before the path, one per line
//   NAME.env     VAR=value lines for the environment (TOVIK_ENCODING is
//                removed unless set here)
//   NAME.err     standard error, byte for byte (not checked when absent),
//                with the puzzle's path written as its file name NAME.tvk
//   NAME.steps   the search's step count, read from a second run with --stats
// A case whose arguments hold --fast is skipped in a build without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
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

std::vector<std::string> Lines(const fs::path& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "compile/set_redefined.tvk" under TOVIK_CASES_DIR gives compile_set_redefined,
// "worked.tvk" under the examples examples_worked; a name met twice is numbered.
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
        std::sort(puzzles.begin(), puzzles.end());  // stable test names
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
            const std::string base = name;
            for (int n = 2; !taken.insert(name).second; ++n) name = base + "_" + std::to_string(n);
            cases.push_back({name, puzzle});
        }
    }
    return cases;
}

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenTest, MatchesExpectedOutput) {
    const fs::path& puzzle = GetParam().puzzle;
    auto beside = [&](const char* extension) {
        return fs::path(puzzle).replace_extension(extension);
    };
    std::vector<std::string> args = Lines(beside(".args"));
#if !TOVIK_FAST
    if (std::find(args.begin(), args.end(), "--fast") != args.end())
        GTEST_SKIP() << "built without the fast search";
#endif
    ChildOptions options;
    options.environment.emplace_back("TOVIK_ENCODING", std::nullopt);
    for (const std::string& line : Lines(beside(".env"))) {
        const size_t equals = line.find('=');
        options.environment.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    options.working_directory = puzzle.parent_path().string();
    args.push_back(puzzle.filename().string());

    const ChildResult run = RunChild(TOVIK_BINARY, args, kTimeoutSeconds, options);
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    ASSERT_FALSE(run.timed_out) << "tovik did not finish within " << kTimeoutSeconds << " s";
    ASSERT_EQ(run.signal, 0) << "tovik was ended by a signal\n" << run.err;
    const std::string expected = ReadFile(beside(".out"));
    EXPECT_TRUE(run.out == expected) << "standard output\n" << DescribeMismatch(expected, run.out);
    const std::string status = ReadFile(beside(".status"));
    EXPECT_EQ(run.exit_status, status.empty() ? 0 : std::stoi(status)) << run.err;
    if (fs::exists(beside(".err"))) {
        const std::string err = ReadFile(beside(".err"));
        std::string said = run.err;
        const std::string path = puzzle.string();
        for (size_t at; (at = said.find(path)) != std::string::npos;)
            said.replace(at, path.size(), puzzle.filename().string());
        EXPECT_TRUE(said == err) << "standard error\n" << DescribeMismatch(err, said);
    }
    if (fs::exists(beside(".steps"))) {
        args.insert(args.begin(), "--stats");
        const ChildResult stats = RunChild(TOVIK_BINARY, args, kTimeoutSeconds, options);
        std::smatch steps;
        ASSERT_TRUE(std::regex_search(stats.err, steps, std::regex("steps: (\\d+)"))) << stats.err;
        EXPECT_EQ(steps[1].str(), Lines(beside(".steps")).at(0)) << "search steps";
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenTest, ::testing::ValuesIn(DiscoverCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace tovik_e2e
