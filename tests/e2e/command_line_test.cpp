// Command-line cases of tovik that involve no puzzle text: a missing argument
// and a path that cannot be opened as a puzzle. Each message is printed
// alone, without a line end, and the exit status is 1.
#include <gtest/gtest.h>

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

} // namespace
} // namespace tovik_e2e
