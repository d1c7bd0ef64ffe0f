// Acceptance cases for how tovik reads and writes text and for its options:
// GBK and UTF-8 puzzles, the output encoding forced by TOVIK_ENCODING or
// chosen for a UTF-8 terminal, --help, --version, --count, --limit, --unique,
// --time-limit, --stats, --fast, Ctrl+C, and solution lines reaching a pipe
// while the search still runs. GBK puzzles are made from the UTF-8 texts.
#include <gtest/gtest.h>

#include <iconv.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "child_process.h"

namespace tovik_e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kTimeoutSeconds = 60;

const std::string kPhasesUtf8 = "正在编译……\r\n正在搜索……\r\n";
const std::string kPhasesGbk =
    "\xD5\xFD\xD4\xDA\xB1\xE0\xD2\xEB\xA1\xAD\xA1\xAD\r\n"   // 正在编译……
    "\xD5\xFD\xD4\xDA\xCB\xD1\xCB\xF7\xA1\xAD\xA1\xAD\r\n";  // 正在搜索……

// Four people on four seats, every keyword in its ASCII spelling, and 互不同.
// Two seatings fit: 丁 must take seat 4, 乙 seat 1.
const std::string kSeatsAsciiKeywords = R"(// 四人坐成一排，座位 1 到 4
人{} = {"甲", "乙", "丙", "丁"};
座{} = {[1, 4]};
座 座位(人);
互不同(座位("甲"), 座位("乙"), 座位("丙"), 座位("丁"));
# 某人 in 人, 座位(某人) != 4 | 座位("丁") = 4;
@ 某人 in 人, 座位(某人) = 1 & 某人 != "甲";
座位("乙") < 座位("丙");
output {"甲坐" 座位("甲") "，乙坐" 座位("乙") "，丙坐" 座位("丙") "，丁坐" 座位("丁")}
)";
// The same puzzle with its keywords in their Chinese spelling.
const std::string kSeatsChineseKeywords = [] {
    std::string text = kSeatsAsciiKeywords;
    for (const auto& [ascii, chinese] :
         {std::pair<std::string, std::string>{"# 某人 in", "任意 某人 属于"},
          {"@ 某人 in", "存在 某人 属于"},
          {"output", "输出"}})
        text.replace(text.find(ascii), ascii.size(), chinese);
    return text;
}();
const std::string kSeatsLinesUtf8 = "甲坐3，乙坐1，丙坐2，丁坐4\r\n甲坐2，乙坐1，丙坐3，丁坐4\r\n";

// Six solutions printing three distinct lines: 3, 2, 1.
const std::string kRepeatedLines = "D{} = {[1, 3]};\nD a, b;\na != b;\noutput {a}\n";
const std::string kNoSolution = "D{} = {[1, 3]};\nD a, b;\na > b;\na < b + 1;\noutput {a b}\n";
// One line, printed by three solutions that differ only in `b`.
const std::string kOneLine = "D{} = {[1, 3]};\nD a, b;\na = 3;\noutput {a}\n";
// 152 solutions in an order shaped by candidates and scores.
const std::string kManySolutions =
    "D{} = {[1, 6]};\nD a, b, c, d;\n互不同(a, b, c, d);\na + b > c + d;\noutput {a b c d}\n";
// 9^8 solutions, far more than any test waits for, counting down from 99999999.
const std::string kCountdown =
    "D{} = {[1, 9]};\nD a, b, c, d, e, f, g, h;\noutput {a b c d e f g h}\n";

// Writes a puzzle into this process's scratch directory, removed at exit.
std::string Puzzle(const std::string& name, const std::string& bytes) {
    static const struct Scratch {
        std::filesystem::path dir;
        Scratch() {
            std::string pattern = std::filesystem::temp_directory_path() / "tovik-options-XXXXXX";
            dir = mkdtemp(pattern.data()) != nullptr ? pattern : "";
        }
        ~Scratch() {
            std::error_code ignored;
            if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
        }
    } scratch;
    const std::string path = scratch.dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ToGbk(std::string utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(no GBK converter)";
    std::string out(utf8.size() * 2, '\0');
    char *src = utf8.data(), *dst = out.data();
    size_t src_left = utf8.size(), dst_left = out.size();
    const size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    out.resize(out.size() - dst_left);
    return rc == static_cast<size_t>(-1) ? "(not convertible to GBK)" : out;
}

// TOVIK_ENCODING is removed unless a case sets it, so that the caller's
// environment cannot change what these cases see.
ChildOptions WithEncoding(std::optional<std::string> forced, int signal = 0,
                          std::chrono::milliseconds delay = 0ms) {
    ChildOptions options;
    options.environment.emplace_back("TOVIK_ENCODING", std::move(forced));
    options.signal = signal;
    options.signal_delay = delay;
    return options;
}

ChildResult RunTovik(const std::vector<std::string>& args,
                     const ChildOptions& options = WithEncoding({})) {
    ChildResult run = RunChild(TOVIK_BINARY, args, kTimeoutSeconds, options);
    EXPECT_TRUE(run.failure.empty()) << run.failure;
    EXPECT_FALSE(run.timed_out) << "tovik still ran after " << kTimeoutSeconds << " s";
    EXPECT_EQ(run.signal, 0) << "standard error:\n" << run.err;
    return run;
}

void ExpectOutput(const ChildResult& run, const std::string& expected, int status,
                  const std::string& label) {
    EXPECT_TRUE(run.out == expected) << label << "\n" << DescribeMismatch(expected, run.out);
    EXPECT_EQ(run.exit_status, status) << label;
}

// The solution lines after the two phase lines, sorted when `sorted` is set
// (--fast prints the same set in its own order).
std::vector<std::string> SolutionLines(const std::string& out, const std::string& phases,
                                       bool sorted = false) {
    std::vector<std::string> lines;
    if (out.compare(0, phases.size(), phases) != 0) return lines;
    for (size_t start = phases.size(), end; (end = out.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(out.substr(start, end + 2 - start));
    if (sorted) std::sort(lines.begin(), lines.end());
    return lines;
}

std::string Join(const std::vector<std::string>& lines, size_t count) {
    std::string text;
    for (size_t i = 0; i < std::min(count, lines.size()); ++i) text += lines[i];
    return text;
}

// The first `count` lines of kCountdown: every variable runs through its
// values from the largest down, the last one fastest, so line k spells k in
// base 9 with digit d written as 9 - d.
std::string CountdownLines(size_t count) {
    std::string text;
    for (size_t k = 0; k < count; ++k) {
        std::string line(8, '9');
        for (size_t n = k, i = 8; i-- > 0; n /= 9) line[i] = static_cast<char>('9' - n % 9);
        text += line + "\r\n";
    }
    return text;
}

// A run of kCountdown stopped early by `reason` with `status`. The default
// search keeps exactly the first whole lines of the full run, and standard
// error gives their number; --fast keeps some lines in its own order.
void ExpectCountdownStoppedEarly(const ChildResult& run, bool fast, const std::string& reason,
                                 int status) {
    EXPECT_EQ(run.exit_status, status);
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    if (fast) return;
    const size_t lines = SolutionLines(run.out, kPhasesGbk).size();
    EXPECT_GT(lines, 0u) << Escape(run.out.substr(0, 64));
    const std::string expected = kPhasesGbk + CountdownLines(lines);
    EXPECT_TRUE(run.out == expected)
        << "not a prefix of the full run, first difference at byte "
        << std::mismatch(expected.begin(), expected.end(), run.out.begin(), run.out.end()).first -
               expected.begin();
    EXPECT_TRUE(
        std::regex_search(run.err, std::regex("(^|\\D)" + std::to_string(lines) + "(\\D|$)")))
        << lines << " lines, but: " << run.err;
}

// Solutions and messages come out in the puzzle's own encoding: GBK, or
// UTF-8 for a valid multi-byte UTF-8 text or one that starts with the mark.
TEST(PuzzleEncoding, OutputFollowsThePuzzleEncoding) {
    const std::string utf8 = kPhasesUtf8 + kSeatsLinesUtf8;
    const std::string gbk = kPhasesGbk + ToGbk(kSeatsLinesUtf8);
    const std::string error = "座{} = {[1, 4]};\n人 甲;\n";
    const std::string error_out = "正在编译……\r\n2 行: 集合没有定义 \r\n";
    const struct {
        const char* name;
        std::string bytes;
        std::string expected;
        int status;
    } cases[] = {
        {"utf8-ascii-keywords.tvk", kSeatsAsciiKeywords, utf8, 0},
        {"utf8-chinese-keywords.tvk", kSeatsChineseKeywords, utf8, 0},
        {"gbk-ascii-keywords.tvk", ToGbk(kSeatsAsciiKeywords), gbk, 0},
        {"gbk-chinese-keywords.tvk", ToGbk(kSeatsChineseKeywords), gbk, 0},
        {"error-utf8.tvk", error, error_out, 1},
        {"error-gbk.tvk", ToGbk(error), ToGbk(error_out), 1},
        {"ascii.tvk", "D{} = {1, 2};\nD a;\noutput {a}\n", kPhasesGbk + "2\r\n1\r\n", 0},
        // The mark alone makes an ASCII puzzle UTF-8, and it is not part of
        // the first name (were it scanned, "D" would be an undefined set).
        {"bom.tvk",
         "\xEF\xBB\xBF"
         "D{} = {1, 2};\nD a;\noutput {a}\n",
         kPhasesUtf8 + "2\r\n1\r\n", 0},
        // A keyword spelling followed by more letters is a longer name.
        {"names.tvk",
         "存在性{} = {[1, 3]};\n存在性 任意数, 输出值, 属于你, 互不同点;\n任意数 < 输出值;\n"
         "输出值 < 属于你;\n互不同点 = 属于你;\n输出 {任意数 输出值 属于你 互不同点}\n",
         kPhasesUtf8 + "1233\r\n", 0},
    };
    for (const auto& c : cases)
        ExpectOutput(RunTovik({Puzzle(c.name, c.bytes)}), c.expected, c.status, c.name);
}

// TOVIK_ENCODING converts the whole stream through a pipe, messages printed
// before any puzzle is read included. A terminal with a UTF-8 locale shows
// GBK output as UTF-8; other locales and a forced encoding get the bytes as
// they are.
TEST(OutputEncoding, ForcedOrChosenForATerminal) {
    const std::string utf8_puzzle = Puzzle("output-utf8.tvk", kSeatsChineseKeywords);
    const std::string gbk_puzzle = Puzzle("output-gbk.tvk", ToGbk(kSeatsChineseKeywords));
    const std::string utf8 = kPhasesUtf8 + kSeatsLinesUtf8;
    const std::string gbk = kPhasesGbk + ToGbk(kSeatsLinesUtf8);
    const struct {
        std::vector<std::string> args;
        std::optional<std::string> forced;
        const char* terminal_locale;  // null for a pipe
        const std::string expected;
        int status;
    } cases[] = {
        {{gbk_puzzle}, "utf-8", nullptr, utf8, 0},
        {{utf8_puzzle}, "gbk", nullptr, gbk, 0},
        {{gbk_puzzle}, "gbk", nullptr, gbk, 0},
        {{utf8_puzzle}, "utf-8", nullptr, utf8, 0},
        {{}, "utf-8", nullptr, "请输入文件名", 1},
        {{gbk_puzzle}, std::nullopt, "C.UTF-8", utf8, 0},
        {{utf8_puzzle}, std::nullopt, "C.UTF-8", utf8, 0},
        {{gbk_puzzle}, std::nullopt, "C", gbk, 0},
        {{utf8_puzzle}, "gbk", "C.UTF-8", gbk, 0},
    };
    for (const auto& c : cases) {
        const std::string label = (c.args.empty() ? "no puzzle" : c.args[0]) + " forced to " +
                                  c.forced.value_or("-") + " on " +
                                  (c.terminal_locale ? c.terminal_locale : "a pipe");
        ChildOptions options = WithEncoding(c.forced);
        if (c.terminal_locale == nullptr) {
            ExpectOutput(RunTovik(c.args, options), c.expected, c.status, label);
            continue;
        }
        options.environment.emplace_back("LANG", c.terminal_locale);
        options.environment.emplace_back("LC_ALL", c.terminal_locale);
        ChildResult run = RunInTerminal(TOVIK_BINARY, c.args, kTimeoutSeconds, options);
        ASSERT_TRUE(run.failure.empty() && !run.timed_out) << run.failure;
        ExpectOutput(run, c.expected, c.status, label);
    }
}

// Arguments that name no option keep their place: one that begins with "--"
// is still the puzzle file, and -h after the puzzle is the progress option.
TEST(Options, HelpVersionAndOtherArguments) {
    for (const char* help : {"--help", "-h"}) {
        ChildResult run = RunTovik({help});
        EXPECT_EQ(run.exit_status, 0) << help;
        EXPECT_TRUE(run.err.empty()) << help << "\n" << run.err;
        for (const char* word : {"--help", "--version", "--stats", "--count", "--limit", "--fast",
                                 "--unique", "--time-limit", "TOVIK_ENCODING", "124", "130"})
            EXPECT_NE(run.out.find(word), std::string::npos) << help << " omits " << word;
        EXPECT_TRUE(std::regex_search(run.out, std::regex("(^|\\s)-h\\b"))) << run.out;
    }
    ChildResult version = RunTovik({"--version"});
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("tovik [0-9][^\n]*\n")))
        << Escape(version.out);

    ExpectOutput(RunTovik({"--no-such-option"}), "\xB2\xBB\xC4\xDC\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE",
                 1, "--no-such-option");  // 不能打开文件
    ExpectOutput(RunTovik({Puzzle("progress.tvk", kRepeatedLines), "-h"}),
                 kPhasesGbk + "3\r\n2\r\n1\r\n", 0, "puzzle -h");
}

// --count prints the number of distinct lines a full run would print in
// place of them, with or without --fast; the option may follow the puzzle.
TEST(Options, CountPrintsOnlyTheNumberOfDistinctLines) {
    const struct {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"--count", Puzzle("count-repeated.tvk", kRepeatedLines)}, kPhasesGbk + "3\r\n"},
        {{Puzzle("count-none.tvk", kNoSolution), "--count"}, kPhasesGbk + "0\r\n"},
        {{"--count", Puzzle("count-many.tvk", kManySolutions)}, kPhasesUtf8 + "152\r\n"},
        {{"--fast", "--count", Puzzle("count-many.tvk", kManySolutions)}, kPhasesUtf8 + "152\r\n"},
    };
    for (const auto& c : cases) ExpectOutput(RunTovik(c.args), c.expected, 0, c.args[0]);
}

// --limit N prints exactly the first N lines of the full run; a repeated
// line does not count, since it is not printed.
TEST(Options, LimitPrintsTheFirstLinesOfTheFullRun) {
    for (const auto& [text, phases, total] : {std::tuple{&kManySolutions, &kPhasesUtf8, 152u},
                                              std::tuple{&kRepeatedLines, &kPhasesGbk, 3u}}) {
        const std::string puzzle = Puzzle("limit.tvk", *text);
        const std::vector<std::string> lines = SolutionLines(RunTovik({puzzle}).out, *phases);
        ASSERT_EQ(lines.size(), total);
        for (size_t limit :
             {size_t{0}, size_t{1}, size_t{2}, lines.size() - 1, lines.size(), size_t{1000}})
            ExpectOutput(RunTovik({puzzle, "--limit", std::to_string(limit)}),
                         *phases + Join(lines, limit), 0, "--limit " + std::to_string(limit));
    }
}

// --unique prints at most two lines, the first two of the full run, and
// tells none (0), one (3) or more (4); it stops at the second line, so a
// search far too long to finish still answers. --fast gives the same verdicts.
TEST(Options, UniqueTellsNoneOneOrMore) {
    const struct {
        const char* name;
        const std::string& text;
        std::string expected_out;
        const char* verdict;
        int status;
    } cases[] = {
        {"unique-none.tvk", kNoSolution, kPhasesGbk, "no solution", 0},
        {"unique-one.tvk", kOneLine, kPhasesGbk + "3\r\n", "exactly one", 3},
        {"unique-more.tvk", kRepeatedLines, kPhasesGbk + "3\r\n2\r\n", "more than one", 4},
        {"unique-endless.tvk", kCountdown, kPhasesGbk + CountdownLines(2), "more than one", 4},
    };
    for (const auto& c : cases) {
        for (bool fast : {false, true}) {
            const std::string label = c.name + std::string(fast ? " --fast" : "");
            ChildResult run = fast ? RunTovik({"--fast", "--unique", Puzzle(c.name, c.text)})
                                   : RunTovik({"--unique", Puzzle(c.name, c.text)});
            if (!fast) {
                EXPECT_TRUE(run.out == c.expected_out) << label << "\n"
                                                       << DescribeMismatch(c.expected_out, run.out);
            }
            EXPECT_NE(run.err.find(c.verdict), std::string::npos) << label << ": " << run.err;
            EXPECT_EQ(run.exit_status, c.status) << label;
        }
    }
}

// A search that ends within the time limit is a normal run. One cut short by
// the limit (124) or by Ctrl+C (130) keeps the lines it printed and says so.
TEST(Options, TimeLimitAndInterruptKeepThePrintedLines) {
    const std::string puzzle = Puzzle("time-short.tvk", kManySolutions);
    ChildResult run = RunTovik({"--time-limit", "60", puzzle});
    ExpectOutput(run, RunTovik({puzzle}).out, 0, "--time-limit 60");
    EXPECT_TRUE(run.err.empty()) << run.err;

    const std::string endless = Puzzle("time-long.tvk", kCountdown);
    for (bool fast : {false, true}) {
        std::vector<std::string> args = {endless};
        if (fast) args.insert(args.begin(), "--fast");
        ExpectCountdownStoppedEarly(RunTovik(args, WithEncoding({}, SIGINT, 300ms)), fast,
                                    "interrupted", 130);
        args.insert(args.begin(), {"--time-limit", "0.3"});
        const auto start = std::chrono::steady_clock::now();
        ChildResult cut = RunTovik(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
        ExpectCountdownStoppedEarly(cut, fast, "cut short", 124);
    }
}

// --stats adds one line on standard error and leaves standard output alone;
// with --fast it reports the propagating engine's nodes and failures.
TEST(Options, StatsPrintsOneLineOnStandardError) {
    const std::string puzzle = Puzzle("stats.tvk", kRepeatedLines);
    const ChildResult plain = RunTovik({puzzle});
    const struct {
        std::vector<std::string> args;
        std::vector<const char*> patterns;
    } cases[] = {
        {{puzzle, "--stats"}, {"solutions\\D*3\\b", "steps\\D*[1-9]", "time", "memory\\D*[1-9]"}},
        {{"--fast", "--stats", puzzle}, {"solutions\\D*3\\b", "nodes\\D*[1-9]", "failures\\D*\\d"}},
    };
    for (const auto& c : cases) {
        ChildResult run = RunTovik(c.args);
        EXPECT_EQ(SolutionLines(run.out, kPhasesGbk, true),
                  SolutionLines(plain.out, kPhasesGbk, true));
        if (c.args[0] == puzzle) {
            ExpectOutput(run, plain.out, 0, "--stats");
        }
        EXPECT_TRUE(std::regex_match(run.err, std::regex("[^\n]*\n"))) << run.err;
        for (const char* pattern : c.patterns)
            EXPECT_TRUE(std::regex_search(run.err, std::regex(pattern)))
                << pattern << ": " << run.err;
    }
}

// A malformed number is refused before anything is compiled.
TEST(Options, MalformedNumbersAreRejected) {
    const std::string puzzle = Puzzle("malformed.tvk", kRepeatedLines);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{puzzle, "--limit", "many"},
                                               {puzzle, "--limit", "-1"},
                                               {puzzle, "--limit", "2x"},
                                               {puzzle, "--limit", ""},
                                               {puzzle, "--limit"},
                                               {puzzle, "--time-limit", "soon"},
                                               {puzzle, "--time-limit", "-1"}}) {
        ChildResult run = RunTovik(args);
        EXPECT_EQ(run.exit_status, 1) << args[1] << " " << (args.size() > 2 ? args[2] : "");
        EXPECT_TRUE(run.out.empty()) << Escape(run.out);
        EXPECT_NE(run.err.find(args[1]), std::string::npos) << run.err;
    }
}

// --fast prints the default run's lines in its own order, and --limit N the
// first N of them. A puzzle whose answer relies on wrap-around is searched
// the default way, with a note: the output is the default run's, byte for byte.
TEST(FastOption, SameLinesLimitAndFallback) {
    const std::string many = Puzzle("fast-many.tvk", kManySolutions);
    const std::vector<std::string> all = SolutionLines(RunTovik({many}).out, kPhasesUtf8, true);
    ASSERT_EQ(all.size(), 152u);
    const ChildResult fast = RunTovik({"--fast", many});
    EXPECT_EQ(SolutionLines(fast.out, kPhasesUtf8, true), all);
    EXPECT_TRUE(fast.err.empty()) << fast.err;
    ExpectOutput(RunTovik({"--fast", "--limit", "5", many}),
                 kPhasesUtf8 + Join(SolutionLines(fast.out, kPhasesUtf8), 5), 0, "--limit 5");

    const std::string wrap =
        Puzzle("fast-wrap.tvk",
               "N{} = {2000000000, 2000000001, 7};\nN x, y;\nx + y < 0;\noutput {x \" \" y}\n");
    ChildResult fallback = RunTovik({"--fast", wrap});
    ExpectOutput(fallback, RunTovik({wrap}).out, 0, "--fast on wrap-around");
    EXPECT_NE(fallback.err.find("--fast"), std::string::npos) << fallback.err;
}

// A line printed early reaches a pipe while the search goes on, within this
// machine's start-up time of tovik plus 250 ms, not when the search ends.
TEST(LiveOutput, EarlyLineReachesPipeWhileSearchRuns) {
    const auto start = std::chrono::steady_clock::now();
    RunTovik({"--version"});
    const auto start_up = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);

    // The line "9" comes at once; the next one only after 9^9 more assignments.
    ChildOptions options = WithEncoding({}, SIGINT, 1500ms);
    options.delay_from_start = true;
    ChildResult run = RunTovik(
        {Puzzle("live.tvk", "D{} = {[1, 9]};\nD a, b, c, d, e, f, g, h, i, j;\noutput {a}\n")},
        options);
    const std::string expected = kPhasesGbk + "9\r\n";
    // Still searching when interrupted, long after the line came.
    ExpectOutput(run, expected, 130, "interrupted search");
    const auto arrival = std::find_if(run.out_arrivals.begin(), run.out_arrivals.end(),
                                      [&](const auto& a) { return a.second >= expected.size(); });
    ASSERT_NE(arrival, run.out_arrivals.end());
    EXPECT_LE(arrival->first, start_up + 250ms)
        << "the line came after " << arrival->first.count() << " ms; start-up takes "
        << start_up.count() << " ms";
}

}  // namespace
}  // namespace tovik_e2e
