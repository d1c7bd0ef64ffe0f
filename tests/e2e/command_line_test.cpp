// Command-line cases of tovik beyond one puzzle path: a missing argument and
// a path that cannot be opened (each message printed alone, without a line
// end, exit status 1), and the progress option, which must leave standard
// output untouched.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "child_process.h"

namespace tovik_e2e {
namespace {

constexpr int kTimeoutSeconds = 30;

void ExpectRun(const std::vector<std::string>& args, const std::string& expected, int status) {
    ChildResult run = RunChild(TOVIK_BINARY, args, kTimeoutSeconds);
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    ASSERT_FALSE(run.timed_out);
    ASSERT_EQ(run.signal, 0) << "standard error:\n" << run.err;
    EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out);
    EXPECT_EQ(run.exit_status, status);
}

TEST(CommandLine, MissingArgumentOrUnreadableFileFails) {
    const std::string ask = "\xC7\xEB\xCA\xE4\xC8\xEB\xCE\xC4\xBC\xFE\xC3\xFB";  // 请输入文件名
    const std::string cannot = "\xB2\xBB\xC4\xDC\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE";  // 不能打开文件
    const std::string missing = TOVIK_CASES_DIR "/no-such-puzzle.tvk";
    for (const auto& [args, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{}, ask},
             {{missing}, cannot},
             {{missing, "-s"}, cannot},
             {{TOVIK_CASES_DIR}, cannot}}) {
        SCOPED_TRACE(args.empty() ? "no argument" : args[0]);
        ExpectRun(args, message, 1);
    }
}

// The step count goes to the terminal's title, never into the output that a
// caller (the editor, or a pipe) reads; "-s" only slows the search down.
TEST(CommandLine, ProgressOptionLeavesOutputUnchanged) {
    std::ifstream golden(TOVIK_CASES_DIR "/compile/worked_example_numbers.out", std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(golden), {}};
    ASSERT_FALSE(expected.empty());
    for (const char* option : {"x", "-s", "-slow"}) {
        SCOPED_TRACE(option);
        ExpectRun({TOVIK_CASES_DIR "/compile/worked_example_numbers.tvk", option}, expected, 0);
    }
}

}  // namespace
}  // namespace tovik_e2e
