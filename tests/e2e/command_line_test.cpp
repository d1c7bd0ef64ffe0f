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

// GBK bytes of the two messages.
const std::string kAskForFileName = "\xC7\xEB\xCA\xE4\xC8\xEB\xCE\xC4\xBC\xFE\xC3\xFB"; // 请输入文件名
const std::string kCannotOpenFile = "\xB2\xBB\xC4\xDC\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE"; // 不能打开文件

void ExpectMessageAndFailure(const std::vector<std::string>& args, const std::string& message) {
    ChildResult run = RunChild(TOVIK_BINARY, args, kTimeoutSeconds);
    ASSERT_TRUE(run.failure.empty()) << run.failure;
    ASSERT_FALSE(run.timed_out);
    ASSERT_EQ(run.signal, 0) << "standard error:\n" << run.err;
    EXPECT_TRUE(run.out == message) << DescribeMismatch(message, run.out);
    EXPECT_EQ(run.exit_status, 1);
}

TEST(CommandLine, NoArgumentAsksForFileName) {
    ExpectMessageAndFailure({}, kAskForFileName);
}

TEST(CommandLine, MissingFileCannotBeOpened) {
    ExpectMessageAndFailure({TOVIK_CASES_DIR "/no-such-puzzle.tvk"}, kCannotOpenFile);
}

TEST(CommandLine, MissingFileWithOptionCannotBeOpened) {
    ExpectMessageAndFailure({TOVIK_CASES_DIR "/no-such-puzzle.tvk", "-s"}, kCannotOpenFile);
}

TEST(CommandLine, DirectoryCannotBeOpened) {
    ExpectMessageAndFailure({TOVIK_CASES_DIR}, kCannotOpenFile);
}

// The step count goes to the terminal's title, never into the output that a
// caller (the editor, or a pipe) reads; "-s" only slows the search down.
TEST(CommandLine, ProgressOptionLeavesOutputUnchanged) {
    const std::string puzzle = TOVIK_CASES_DIR "/compile/worked_example_numbers.tvk";
    std::ifstream golden(TOVIK_CASES_DIR "/compile/worked_example_numbers.out", std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(golden),
                               std::istreambuf_iterator<char>()};
    ASSERT_FALSE(expected.empty());
    for (const char* option : {"x", "-s", "-slow"}) {
        ChildResult run = RunChild(TOVIK_BINARY, {puzzle, option}, kTimeoutSeconds);
        ASSERT_TRUE(run.failure.empty()) << run.failure;
        ASSERT_FALSE(run.timed_out) << "option " << option;
        EXPECT_TRUE(run.out == expected) << "option " << option << "\n"
                                         << DescribeMismatch(expected, run.out);
        EXPECT_EQ(run.exit_status, 0) << "option " << option;
    }
}

} // namespace
} // namespace tovik_e2e
