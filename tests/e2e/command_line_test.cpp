// The command line where a golden file cannot say it: no puzzle, files that
// cannot be opened or read, the progress argument, a UTF-8 terminal, --help,
// --version, --stats, searches cut short by a time limit or Ctrl+C, and
// solution lines reaching a pipe while the search still runs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "child_process.h"

namespace tovik_e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kTimeoutSeconds = 60;
// Timings are checked with this much room under the sanitizers.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSlowdown = 3;
#else
constexpr int kSlowdown = 1;
#endif

const std::string kCases = TOVIK_CASES_DIR;
const std::string kPhasesGbk =
    "\xD5\xFD\xD4\xDA\xB1\xE0\xD2\xEB\xA1\xAD\xA1\xAD\r\n"   // 正在编译……
    "\xD5\xFD\xD4\xDA\xCB\xD1\xCB\xF7\xA1\xAD\xA1\xAD\r\n";  // 正在搜索……
// 9^8 solutions counting down from 99999999, far more than any test waits for.
const std::string kCountdown = kCases + "/options/unique_endless.tvk";
const std::string kSeatsGbk = kCases + "/encoding/gbk_chinese_keywords.tvk";
const std::string kSeatsUtf8 = kCases + "/encoding/utf8_chinese_keywords.tvk";

ChildOptions Options(int signal = 0, std::chrono::milliseconds delay = 0ms) {
    ChildOptions options;
    options.environment.emplace_back("TOVIK_ENCODING", std::nullopt);
    options.signal = signal;
    options.signal_delay = delay;
    return options;
}

ChildResult Tovik(const std::vector<std::string>& args, const ChildOptions& options = Options()) {
    ChildResult run = RunChild(TOVIK_BINARY, args, kTimeoutSeconds, options);
    EXPECT_TRUE(run.failure.empty()) << run.failure;
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.signal, 0) << run.err;
    return run;
}

// Each documented message is printed alone, without a line end, and standard
// error says what went wrong; the progress argument shows the count in the
// terminal's title and never touches standard output.
TEST(CommandLine, ArgumentsAndFiles) {
    const std::string ask = "\xC7\xEB\xCA\xE4\xC8\xEB\xCE\xC4\xBC\xFE\xC3\xFB";  // 请输入文件名
    const std::string cannot = "\xB2\xBB\xC4\xDC\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE";  // 不能打开文件
    const std::string worked = TOVIK_EXAMPLES_DIR "/worked.tvk";
    const std::string missing = kCases + "/no-such-puzzle.tvk";
    const std::string workedLines = kPhasesGbk + "a=3, b=1, c=2\r\na=2, b=1, c=3\r\n";
    const struct {
        std::vector<std::string> args;
        std::string out, err;
        int status;
    } cases[] = {
        {{}, ask, "tovik: no puzzle file named (see tovik --help)\n", 1},
        {{missing}, cannot, "tovik: cannot open '" + missing + "': No such file or directory\n", 1},
        {{missing, "-s"},
         cannot,
         "tovik: cannot open '" + missing + "': No such file or directory\n",
         1},
        {{kCases}, cannot, "tovik: cannot open '" + kCases + "': Is a directory\n", 1},
        // opens, but every read fails
        {{"/proc/self/mem"},
         "",
         "input in flex scanner failed\ntovik: cannot read '/proc/self/mem': Input/output error\n",
         2},
        {{"--format=json", missing},
         "",
         "{\"type\":\"error\",\"message\":\"cannot open '" + missing +
             "': No such file or directory\"}\n",
         1},
        {{worked, "x"}, workedLines, "", 0},
        {{worked, "-s"}, workedLines, "", 0},
        // After the puzzle a single-dash word is the progress argument, and
        // long options are still options.
        {{worked, "-h"}, workedLines, "", 0},
        {{worked, "-q", "--count"}, kPhasesGbk + "2\r\n", "", 0},
        {{worked, "x", "y"}, "", "tovik: too many arguments: 'y' (only PUZZLE and PROGRESS)\n", 1},
        {{"--limit", "1", "--", worked}, kPhasesGbk + "a=3, b=1, c=2\r\n", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "no argument" : c.args[0]);
        const ChildResult run = Tovik(c.args);
        EXPECT_TRUE(run.out == c.out) << DescribeMismatch(c.out, run.out);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.exit_status, c.status);
    }
}

// "-" reads the puzzle from standard input, and "--" reaches a file whose
// name begins with '-'.
TEST(CommandLine, StandardInputAndDashNames) {
    const std::string dir = ::testing::TempDir() + "tovik-dash-" + std::to_string(getpid());
    const std::string expected = kPhasesGbk + "a=3, b=1, c=2\r\na=2, b=1, c=3\r\n";
    for (const char* script : {"exec \"$0\" - < worked.tvk", "cat worked.tvk | exec \"$0\" -",
                               "cp worked.tvk ./-w.tvk && exec \"$0\" -- -w.tvk"}) {
        SCOPED_TRACE(script);
        const std::string command = "mkdir -p '" + dir +
                                    "' && cp '" TOVIK_EXAMPLES_DIR "/worked.tvk' '" + dir +
                                    "' && cd '" + dir + "' && " + script;
        const ChildResult run = RunChild("/bin/sh", {"-c", command, TOVIK_BINARY}, kTimeoutSeconds);
        EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out) << run.err;
    }
    std::filesystem::remove_all(dir);
}

// A terminal with a UTF-8 locale shows GBK output as UTF-8; other locales
// and a forced encoding get the bytes as they are.
TEST(CommandLine, TerminalEncoding) {
    const std::string utf8 =
        "正在编译……\r\n正在搜索……\r\n甲坐3，乙坐1，丙坐2，丁坐4\r\n甲坐2，乙坐1，丙坐3，丁坐4\r\n";
    const std::string gbk = "\xD5\xFD\xD4\xDA\xB1\xE0";  // 正在编 (a prefix is enough)
    const struct {
        std::string puzzle;
        const char* forced;
        const char* locale;
        std::string expected;
    } cases[] = {
        {kSeatsGbk, nullptr, "C.UTF-8", utf8},
        {kSeatsUtf8, nullptr, "C.UTF-8", utf8},
        {kSeatsGbk, nullptr, "C", gbk},
        {kSeatsUtf8, "gbk", "C.UTF-8", gbk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.puzzle + " on " + c.locale);
        ChildOptions options = Options();
        if (c.forced != nullptr) options.environment.emplace_back("TOVIK_ENCODING", c.forced);
        options.environment.emplace_back("LANG", c.locale);
        options.environment.emplace_back("LC_ALL", c.locale);
        const ChildResult run = RunInTerminal(TOVIK_BINARY, {c.puzzle}, kTimeoutSeconds, options);
        ASSERT_TRUE(run.failure.empty() && !run.timed_out) << run.failure;
        EXPECT_EQ(run.out.compare(0, c.expected.size(), c.expected), 0) << Escape(run.out);
        EXPECT_EQ(run.exit_status, 0);
    }
    // Before any puzzle is read, a forced encoding converts the message too.
    ChildOptions forced = Options();
    forced.environment.emplace_back("TOVIK_ENCODING", "utf-8");
    EXPECT_EQ(Tovik({}, forced).out, "请输入文件名");
}

// On a terminal the progress title is pushed before the run and popped after
// it, also after Ctrl+C; a documented message without a line end is followed
// by one before the explanation on the same terminal.
TEST(CommandLine, TerminalTitleAndMessages) {
    ChildOptions options = Options(SIGINT, 300ms);
    options.environment.emplace_back("LC_ALL", "C");
    const ChildResult run =
        RunInTerminal(TOVIK_BINARY, {kCountdown, "x"}, kTimeoutSeconds, options);
    ASSERT_TRUE(run.failure.empty() && !run.timed_out) << run.failure;
    EXPECT_EQ(run.exit_status, 130);
    EXPECT_EQ(run.out.rfind("\033[22;0t\033]0;0\007", 0), 0u) << Escape(run.out.substr(0, 40));
    const std::string pop = "\033[23;0t";
    ASSERT_GE(run.out.size(), pop.size());
    EXPECT_EQ(run.out.substr(run.out.size() - pop.size()), pop);

    options.signal = 0;
    const ChildResult missing =
        RunInTerminal(TOVIK_BINARY, {"missing.tvk"}, kTimeoutSeconds, options);
    EXPECT_EQ(missing.out,
              "\xB2\xBB\xC4\xDC\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE\n"
              "tovik: cannot open 'missing.tvk': No such file or directory\n");
}

TEST(CommandLine, HelpAndVersion) {
    for (const char* help : {"--help", "-h"}) {
        const ChildResult run = Tovik({help});
        EXPECT_EQ(run.exit_status, 0);
        for (const char* word :
             {"--version", "--stats", "--count", "--limit", "--fast", "--unique", "--unique[=WHAT]",
              "assignments", "--explain", "--time-limit", "TOVIK_ENCODING", "124", "130"})
            EXPECT_NE(run.out.find(word), std::string::npos) << help << " omits " << word;
    }
    EXPECT_TRUE(std::regex_match(Tovik({"--version"}).out, std::regex("tovik [0-9][^\n]*\n")));
}

// --stats adds one line on standard error and leaves standard output alone.
TEST(CommandLine, StatsLine) {
    const std::string puzzle = kCases + "/options/count_repeated_lines.tvk";
    const std::string plain = Tovik({puzzle}).out;
    std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{"--stats", puzzle},
         "^solutions: 3, steps: \\d+, time: [0-9.]+ s \\(compile [0-9.]+ s, search [0-9.]+ s\\), "
         "peak memory: \\d+ KiB\n$"},
    };
#if TOVIK_FAST
    cases.push_back({{"--fast", "--stats", puzzle},
                     "^solutions: 3, nodes: \\d+, failures: \\d+, time: [0-9.]+ s \\(compile "});
#endif
    for (const auto& [args, pattern] : cases) {
        const ChildResult run = Tovik(args);
        EXPECT_TRUE(std::regex_search(run.err, std::regex(pattern))) << run.err;
        if (args[0] == "--stats") {
            EXPECT_EQ(run.out, plain);
        }
    }
}

// Standard output is written through a buffer of tovik's own: whatever it
// holds goes out before each message on standard error, so a terminal or a
// pipe that gets both streams sees them in the order they were written.
TEST(CommandLine, StandardOutputComesBeforeLaterMessages) {
    ChildOptions merged = Options();
    merged.merge_error = true;
    merged.working_directory = TOVIK_EXAMPLES_DIR "/guide";
    struct Case {
        std::vector<std::string> args;
        const char* pattern;
    } cases[] = {
        {{"--diagnostics=rich", "diagnostic.tvk"},
         "^\\S+\r\n4 \\S+: \\S+ \r\ndiagnostic.tvk:3:6: error:"},
        {{"--stats", "--count", "truth.tvk"}, "\r\n\\d+\r\nsolutions: \\d+, steps: "},
    };
    for (const Case& c : cases) {
        const ChildResult run = RunChild(TOVIK_BINARY, c.args, kTimeoutSeconds, merged);
        EXPECT_TRUE(std::regex_search(run.out, std::regex(c.pattern))) << run.out;
    }
}

// The first `count` lines of the countdown: line k spells k in base 9 with
// digit d written as 9 - d.
std::string CountdownLines(size_t count) {
    std::string text;
    for (size_t k = 0; k < count; ++k) {
        std::string line(8, '9');
        for (size_t n = k, i = 8; i-- > 0; n /= 9) line[i] = static_cast<char>('9' - n % 9);
        text += line + "\r\n";
    }
    return text;
}

// A search cut short by the time limit (124) or by Ctrl+C (130) keeps the
// whole lines it printed, a prefix of the full run's, and says how many. The
// fast search stops the same way, with lines in its own order.
TEST(CommandLine, TimeLimitAndInterruptKeepThePrintedLines) {
    std::vector<std::vector<std::string>> searches = {{}};
#if TOVIK_FAST
    searches.push_back({"--fast"});
#endif
    for (const std::vector<std::string>& search : searches)
        for (bool interrupt : {false, true}) {
            std::vector<std::string> args = search;
            if (!interrupt) args.insert(args.end(), {"--time-limit", "0.3"});
            args.push_back(kCountdown);
            const ChildResult run = interrupt ? Tovik(args, Options(SIGINT, 300ms)) : Tovik(args);
            EXPECT_EQ(run.exit_status, interrupt ? 130 : 124);
            EXPECT_NE(run.err.find(interrupt ? "interrupted" : "cut short"), std::string::npos);
            if (!search.empty()) continue;
            const size_t lines = std::count(run.out.begin(), run.out.end(), '\n') - 2;
            EXPECT_GT(lines, 0u);
            EXPECT_TRUE(run.out == kPhasesGbk + CountdownLines(lines))
                << "not a prefix of the full run";
            EXPECT_NE(run.err.find(std::to_string(lines) + " solution line"), std::string::npos)
                << run.err;
        }
}

#if TOVIK_FAST
// --explain is bounded like the search: here the fast search finds the one
// line at once, and the explanation's default search would take minutes.
TEST(CommandLine, ExplanationStopsLikeTheSearch) {
    char path[] = "/tmp/tovik-explain-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string puzzle =
        "D{} = {[1, 9]};\nD a, b, c, d, e, f, g, h, i, j;\n"
        "a + b + c + d + e + f + g + h + i + j = 90;\noutput {a b c d e f g h i j}\n";
    ASSERT_EQ(write(fd, puzzle.data(), puzzle.size()), static_cast<ssize_t>(puzzle.size()));
    close(fd);
    for (bool interrupt : {true, false}) {
        const ChildResult run = interrupt
                                    ? Tovik({"--fast", "--explain", path}, Options(SIGINT, 300ms))
                                    : Tovik({"--fast", "--explain", "--time-limit", "0.5", path});
        EXPECT_EQ(run.exit_status, interrupt ? 130 : 124);
        EXPECT_EQ(run.out, kPhasesGbk + "9999999999\r\n");
        EXPECT_EQ(run.err,
                  interrupt ? "tovik: interrupted; the explanation is incomplete\n"
                            : "tovik: the time limit came first; the explanation is incomplete\n");
    }
    std::remove(path);
}
#endif

// A compile phase that would expand for minutes (10^9 instances) stops at
// Ctrl+C with status 130 within half a second, and at --time-limit 1 with
// status 124 within 1.5 s of the start; nothing follows the compiling line.
TEST(CommandLine, CompilePhaseStops) {
    char path[] = "/tmp/tovik-compile-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string puzzle =
        "N{} = {[1, 1000]};\nN x;\n# i in N, # j in N, # k in N, x != i * j + k;\noutput {x}\n";
    ASSERT_EQ(write(fd, puzzle.data(), puzzle.size()), static_cast<ssize_t>(puzzle.size()));
    close(fd);
    for (bool interrupt : {true, false}) {
        ChildOptions options = Options(interrupt ? SIGINT : 0, 400ms);
        options.delay_from_start = true;
        const auto start = std::chrono::steady_clock::now();
        const ChildResult run =
            interrupt ? Tovik({path}, options) : Tovik({"--time-limit", "1", path}, options);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(run.exit_status, interrupt ? 130 : 124);
        EXPECT_LT(took, (interrupt ? 900ms : 1500ms) * kSlowdown);
        EXPECT_EQ(run.out, kPhasesGbk.substr(0, 14));
        EXPECT_EQ(run.err, interrupt ? "tovik: interrupted while compiling\n"
                                     : "tovik: compile phase cut short by the time limit\n");
    }
    std::remove(path);
}

// A line printed early reaches a pipe while the search goes on, within this
// machine's start-up time of tovik plus 250 ms, not when the search ends.
TEST(CommandLine, EarlyLineReachesPipeWhileSearchRuns) {
    const auto start = std::chrono::steady_clock::now();
    Tovik({"--version"});
    const auto startUp = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    // The line "9" comes at once; the next one only after 9^9 more assignments.
    char path[] = "/tmp/tovik-live-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string puzzle = "D{} = {[1, 9]};\nD a, b, c, d, e, f, g, h, i, j;\noutput {a}\n";
    ASSERT_EQ(write(fd, puzzle.data(), puzzle.size()), static_cast<ssize_t>(puzzle.size()));
    close(fd);
    ChildOptions options = Options(SIGINT, 1500ms);
    options.delay_from_start = true;
    const ChildResult run = Tovik({path}, options);
    std::remove(path);
    EXPECT_EQ(run.out, kPhasesGbk + "9\r\n");
    EXPECT_EQ(run.exit_status, 130);
    const size_t firstLine = kPhasesGbk.size() + 3;
    const auto arrival = std::find_if(run.out_arrivals.begin(), run.out_arrivals.end(),
                                      [&](const auto& a) { return a.second >= firstLine; });
    ASSERT_NE(arrival, run.out_arrivals.end());
    EXPECT_LE(arrival->first, startUp + 250ms)
        << "the line came after " << arrival->first.count() << " ms";
}

}  // namespace
}  // namespace tovik_e2e
