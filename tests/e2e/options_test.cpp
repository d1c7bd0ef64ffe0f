// Acceptance cases for how tovik reads and writes text and for its options:
// GBK and UTF-8 puzzles, the output encoding forced by TOVIK_ENCODING or
// chosen for a UTF-8 terminal, --help, --version, --count, --limit, --unique,
// --time-limit, --stats, Ctrl+C, and solution lines reaching a pipe while the
// search still runs. The puzzles are written inline and saved to a scratch
// directory; GBK copies are made from the UTF-8 texts.
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
#include <utility>
#include <vector>

#include "child_process.h"

namespace tovik_e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kTimeoutSeconds = 60;

// The two phase lines, pinned byte for byte in both encodings.
const std::string kPhasesUtf8 = "正在编译……\r\n正在搜索……\r\n";
const std::string kPhasesGbk =
    "\xD5\xFD\xD4\xDA\xB1\xE0\xD2\xEB\xA1\xAD\xA1\xAD\r\n"  // 正在编译……
    "\xD5\xFD\xD4\xDA\xCB\xD1\xCB\xF7\xA1\xAD\xA1\xAD\r\n"; // 正在搜索……

// Four people on four seats; every keyword of the language in its ASCII
// spelling, and 互不同. Two seatings fit: 丁 must take seat 4, 乙 seat 1.
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

// The same puzzle with every keyword in its Chinese spelling.
const std::string kSeatsChineseKeywords = R"(// 四人坐成一排，座位 1 到 4
人{} = {"甲", "乙", "丙", "丁"};
座{} = {[1, 4]};
座 座位(人);
互不同(座位("甲"), 座位("乙"), 座位("丙"), 座位("丁"));
任意 某人 属于 人, 座位(某人) != 4 | 座位("丁") = 4;
存在 某人 属于 人, 座位(某人) = 1 & 某人 != "甲";
座位("乙") < 座位("丙");
输出 {"甲坐" 座位("甲") "，乙坐" 座位("乙") "，丙坐" 座位("丙") "，丁坐" 座位("丁")}
)";

const std::string kSeatsLinesUtf8 = "甲坐3，乙坐1，丙坐2，丁坐4\r\n"
                                    "甲坐2，乙坐1，丙坐3，丁坐4\r\n";

// Three distinct lines (3, 2, 1) from six solutions: only `a` is printed.
const std::string kRepeatedLines = "D{} = {[1, 3]};\nD a, b;\na != b;\noutput {a}\n";
// No solution: a > b and a <= b cannot both hold.
const std::string kNoSolution = "D{} = {[1, 3]};\nD a, b;\na > b;\na < b + 1;\noutput {a b}\n";
// Exactly one line, printed by three solutions that differ only in `b`.
const std::string kOneLine = "D{} = {[1, 3]};\nD a, b;\na = 3;\noutput {a}\n";
// 152 solutions in an order shaped by candidates and scores.
const std::string kManySolutions =
    "D{} = {[1, 6]};\nD a, b, c, d;\n互不同(a, b, c, d);\na + b > c + d;\noutput {a b c d}\n";
// 9^8 solutions, far more than any test waits for, counting down from 99999999.
const std::string kCountdown =
    "D{} = {[1, 9]};\nD a, b, c, d, e, f, g, h;\noutput {a b c d e f g h}\n";
// The line "9" comes at once; the next one only after 9^9 more assignments.
const std::string kOneLineThenLongSearch =
    "D{} = {[1, 9]};\nD a, b, c, d, e, f, g, h, i, j;\noutput {a}\n";

// Puzzle files of this test process, removed when it ends.
class Scratch {
public:
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tovik-options-XXXXXX");
        if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    std::filesystem::path dir_;
};

std::string Puzzle(const std::string& name, const std::string& bytes) {
    static const Scratch scratch;
    return scratch.Write(name, bytes);
}

std::string ToGbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(no GBK converter)";
    std::string in = utf8;
    std::string out(in.size() * 2 + 1, '\0');
    char* src = in.data();
    size_t src_left = in.size();
    char* dst = out.data();
    size_t dst_left = out.size();
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return "(not convertible to GBK)";
    out.resize(out.size() - dst_left);
    return out;
}

// TOVIK_ENCODING is removed unless a case sets it, so that the caller's
// environment cannot change what these cases see.
ChildOptions WithEncoding(std::optional<std::string> forced) {
    ChildOptions options;
    options.environment.emplace_back("TOVIK_ENCODING", std::move(forced));
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

// The solution lines of a full run: its output after the two phase lines.
std::vector<std::string> SolutionLines(const std::string& out, const std::string& phases) {
    std::vector<std::string> lines;
    if (out.compare(0, phases.size(), phases) != 0) return lines;
    for (size_t start = phases.size(), end; (end = out.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(out.substr(start, end + 2 - start));
    return lines;
}

std::string Join(const std::vector<std::string>& lines, size_t count) {
    std::string text;
    for (size_t i = 0; i < std::min(count, lines.size()); ++i) text += lines[i];
    return text;
}

size_t CountLines(const std::string& text) {
    size_t count = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++count;
    return count;
}

// The first `count` lines of kCountdown: without conditions every variable
// runs through its values from the largest down, the last one fastest, so
// line k spells k in base 9 with digit d written as 9 - d.
std::string CountdownLines(size_t count) {
    std::string text;
    for (size_t k = 0; k < count; ++k) {
        std::string line(8, '9');
        for (size_t n = k, i = 8; i-- > 0; n /= 9) line[i] = static_cast<char>('9' - n % 9);
        text += line + "\r\n";
    }
    return text;
}

bool MentionsNumber(const std::string& text, size_t number) {
    return std::regex_search(text, std::regex("(^|\\D)" + std::to_string(number) + "(\\D|$)"));
}

// A run of kCountdown stopped early keeps exactly the first lines of the
// full run, whole lines only, and standard error gives `reason` and their
// number.
void ExpectCountdownStoppedEarly(const ChildResult& run, const std::string& reason) {
    ASSERT_EQ(run.out.compare(0, kPhasesGbk.size(), kPhasesGbk), 0)
        << Escape(run.out.substr(0, 64));
    const size_t lines = CountLines(run.out) - 2;
    EXPECT_GT(lines, 0u);
    const std::string expected = kPhasesGbk + CountdownLines(lines);
    const auto difference =
        std::mismatch(expected.begin(), expected.end(), run.out.begin(), run.out.end());
    EXPECT_TRUE(run.out == expected)
        << "first difference at byte " << difference.first - expected.begin() << " of "
        << expected.size();
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_TRUE(MentionsNumber(run.err, lines)) << lines << " lines, but: " << run.err;
}

// --- Puzzle encodings ------------------------------------------------------

// One puzzle in four files: UTF-8 or GBK, ASCII or Chinese keywords. Each
// prints the same two seatings, in the encoding of its file.
TEST(PuzzleEncoding, SamePuzzleInGbkAndUtf8PrintsSameSolutions) {
    const std::string utf8 = kPhasesUtf8 + kSeatsLinesUtf8;
    const std::string gbk = kPhasesGbk + ToGbk(kSeatsLinesUtf8);
    const struct {
        const char* name;
        std::string bytes;
        const std::string& expected;
    } cases[] = {
        {"utf8-ascii-keywords.tvk", kSeatsAsciiKeywords, utf8},
        {"utf8-chinese-keywords.tvk", kSeatsChineseKeywords, utf8},
        {"gbk-ascii-keywords.tvk", ToGbk(kSeatsAsciiKeywords), gbk},
        {"gbk-chinese-keywords.tvk", ToGbk(kSeatsChineseKeywords), gbk},
    };
    for (const auto& c : cases) {
        ChildResult run = RunTovik({Puzzle(c.name, c.bytes)});
        EXPECT_TRUE(run.out == c.expected)
            << c.name << "\n" << DescribeMismatch(c.expected, run.out);
        EXPECT_EQ(run.exit_status, 0) << c.name;
    }
}

// A compile error is reported in the puzzle's encoding too.
TEST(PuzzleEncoding, CompileErrorsFollowThePuzzleEncoding) {
    const std::string puzzle = "座{} = {[1, 4]};\n人 甲;\n";
    const std::string message = "2 行: 集合没有定义 \r\n";
    const struct {
        const char* name;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"error-utf8.tvk", puzzle, "正在编译……\r\n" + message},
        {"error-gbk.tvk", ToGbk(puzzle), ToGbk("正在编译……\r\n" + message)},
    };
    for (const auto& c : cases) {
        ChildResult run = RunTovik({Puzzle(c.name, c.bytes)});
        EXPECT_TRUE(run.out == c.expected)
            << c.name << "\n" << DescribeMismatch(c.expected, run.out);
        EXPECT_EQ(run.exit_status, 1) << c.name;
    }
}

// The mark alone makes an ASCII puzzle UTF-8, and it is not part of the
// first name (were it scanned, "D" would be an undefined set).
TEST(PuzzleEncoding, ByteOrderMarkMeansUtf8AndIsSkipped) {
    const std::string ascii = "D{} = {1, 2};\nD a;\noutput {a}\n";
    ChildResult run = RunTovik({Puzzle("bom-ascii.tvk", "\xEF\xBB\xBF" + ascii)});
    std::string expected = kPhasesUtf8 + "2\r\n1\r\n";
    EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out);
    EXPECT_EQ(run.exit_status, 0);

    run = RunTovik({Puzzle("bom-chinese.tvk", "\xEF\xBB\xBF" + kSeatsChineseKeywords)});
    expected = kPhasesUtf8 + kSeatsLinesUtf8;
    EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out);
}

// A keyword spelling followed by more letters is a longer name, in UTF-8 as
// in GBK.
TEST(PuzzleEncoding, Utf8NamesThatBeginWithKeywordsStayNames) {
    const std::string puzzle = "存在性{} = {[1, 3]};\n"
                               "存在性 任意数, 输出值, 属于你, 互不同点;\n"
                               "任意数 < 输出值;\n"
                               "输出值 < 属于你;\n"
                               "互不同点 = 属于你;\n"
                               "输出 {任意数 输出值 属于你 互不同点}\n";
    ChildResult run = RunTovik({Puzzle("names.tvk", puzzle)});
    const std::string expected = kPhasesUtf8 + "1233\r\n";
    EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out);
    EXPECT_EQ(run.exit_status, 0);
}

TEST(PuzzleEncoding, AsciiOnlyPuzzlePrintsGbkMessages) {
    ChildResult run = RunTovik({Puzzle("ascii.tvk", "D{} = {1, 2};\nD a;\noutput {a}\n")});
    const std::string expected = kPhasesGbk + "2\r\n1\r\n";
    EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out);
}

// --- Output encoding -------------------------------------------------------

// TOVIK_ENCODING converts the whole stream, puzzle texts included, whatever
// the puzzle's own encoding.
TEST(OutputEncoding, TovikEncodingForcesEitherEncodingThroughPipe) {
    const std::string utf8_puzzle = Puzzle("forced-utf8.tvk", kSeatsChineseKeywords);
    const std::string gbk_puzzle = Puzzle("forced-gbk.tvk", ToGbk(kSeatsChineseKeywords));
    const std::string utf8 = kPhasesUtf8 + kSeatsLinesUtf8;
    const std::string gbk = kPhasesGbk + ToGbk(kSeatsLinesUtf8);
    const struct {
        const std::string& puzzle;
        const char* forced;
        const std::string& expected;
    } cases[] = {
        {gbk_puzzle, "utf-8", utf8},
        {utf8_puzzle, "gbk", gbk},
        {gbk_puzzle, "gbk", gbk},
        {utf8_puzzle, "utf-8", utf8},
    };
    for (const auto& c : cases) {
        ChildResult run = RunTovik({c.puzzle}, WithEncoding(c.forced));
        EXPECT_TRUE(run.out == c.expected) << c.puzzle << " with TOVIK_ENCODING=" << c.forced
                                           << "\n" << DescribeMismatch(c.expected, run.out);
        EXPECT_EQ(run.exit_status, 0);
    }
}

// Messages printed before any puzzle is read are converted as well.
TEST(OutputEncoding, TovikEncodingConvertsMessagesWithoutPuzzle) {
    ChildResult run = RunTovik({}, WithEncoding("utf-8"));
    EXPECT_EQ(run.out, "请输入文件名");
    EXPECT_EQ(run.exit_status, 1);
}

// A terminal with a UTF-8 locale shows GBK output as UTF-8; other locales
// and a forced encoding get the bytes as they are.
TEST(OutputEncoding, Utf8TerminalShowsGbkPuzzleAsUtf8) {
    const std::string gbk_puzzle = Puzzle("terminal-gbk.tvk", ToGbk(kSeatsChineseKeywords));
    const std::string utf8_puzzle = Puzzle("terminal-utf8.tvk", kSeatsChineseKeywords);
    const std::string utf8 = kPhasesUtf8 + kSeatsLinesUtf8;
    const std::string gbk = kPhasesGbk + ToGbk(kSeatsLinesUtf8);
    const struct {
        const char* label;
        const std::string& puzzle;
        const char* locale;
        std::optional<std::string> forced;
        const std::string& expected;
    } cases[] = {
        {"GBK puzzle, UTF-8 locale", gbk_puzzle, "C.UTF-8", std::nullopt, utf8},
        {"UTF-8 puzzle, UTF-8 locale", utf8_puzzle, "C.UTF-8", std::nullopt, utf8},
        {"GBK puzzle, C locale", gbk_puzzle, "C", std::nullopt, gbk},
        {"UTF-8 puzzle, UTF-8 locale, forced GBK", utf8_puzzle, "C.UTF-8", "gbk", gbk},
    };
    for (const auto& c : cases) {
        ChildOptions options = WithEncoding(c.forced);
        options.environment.emplace_back("LANG", c.locale);
        options.environment.emplace_back("LC_ALL", c.locale);
        ChildResult run = RunInTerminal(TOVIK_BINARY, {c.puzzle}, kTimeoutSeconds, options);
        ASSERT_TRUE(run.failure.empty()) << run.failure;
        ASSERT_FALSE(run.timed_out) << c.label;
        EXPECT_TRUE(run.out == c.expected)
            << c.label << "\n" << DescribeMismatch(c.expected, run.out);
        EXPECT_EQ(run.exit_status, 0) << c.label;
    }
}

// --- Options ---------------------------------------------------------------

TEST(Options, HelpNamesEveryOptionAndTheEncodingVariable) {
    for (const char* help : {"--help", "-h"}) {
        ChildResult run = RunTovik({help});
        EXPECT_EQ(run.exit_status, 0) << help;
        EXPECT_TRUE(run.err.empty()) << help << "\n" << run.err;
        for (const char* word : {"--help", "--version", "--stats", "--count", "--limit", "--fast",
                                 "--unique", "--time-limit", "TOVIK_ENCODING", "124", "130"})
            EXPECT_NE(run.out.find(word), std::string::npos) << help << " omits " << word;
        EXPECT_TRUE(std::regex_search(run.out, std::regex("(^|\\s)-h\\b"))) << run.out;
    }
}

TEST(Options, VersionPrintsOneLine) {
    ChildResult run = RunTovik({"--version"});
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_TRUE(std::regex_match(run.out, std::regex("tovik [0-9][^\n]*\n"))) << Escape(run.out);
}

// Arguments that name no option keep their place: one that begins with "--"
// is still the puzzle file, and -h after the puzzle is the progress option.
TEST(Options, OtherArgumentsKeepTheirPlace) {
    ChildResult run = RunTovik({"--no-such-option"});
    EXPECT_EQ(run.out, "\xB2\xBB\xC4\xDC\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE"); // 不能打开文件
    EXPECT_EQ(run.exit_status, 1);

    run = RunTovik({Puzzle("progress.tvk", kRepeatedLines), "-h"});
    const std::string expected = kPhasesGbk + "3\r\n2\r\n1\r\n";
    EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out);
    EXPECT_EQ(run.exit_status, 0);
}

// --count prints the phase lines and then the number of distinct lines a
// full run would print, in place of the lines; the option may follow the
// puzzle.
TEST(Options, CountPrintsOnlyTheNumberOfDistinctLines) {
    const struct {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"--count", Puzzle("count-repeated.tvk", kRepeatedLines)}, kPhasesGbk + "3\r\n"},
        {{Puzzle("count-none.tvk", kNoSolution), "--count"}, kPhasesGbk + "0\r\n"},
        {{"--count", Puzzle("count-many.tvk", kManySolutions)}, kPhasesUtf8 + "152\r\n"},
    };
    for (const auto& c : cases) {
        ChildResult run = RunTovik(c.args);
        EXPECT_TRUE(run.out == c.expected)
            << c.args[0] << "\n" << DescribeMismatch(c.expected, run.out);
        EXPECT_EQ(run.exit_status, 0);
    }
}

// --limit N prints exactly the first N lines of the full run; a repeated
// line does not count, since it is not printed.
TEST(Options, LimitPrintsTheFirstLinesOfTheFullRun) {
    for (const std::string* text : {&kManySolutions, &kRepeatedLines}) {
        const std::string puzzle = Puzzle("limit.tvk", *text);
        const std::string phases = text == &kManySolutions ? kPhasesUtf8 : kPhasesGbk;
        const ChildResult full = RunTovik({puzzle});
        const std::vector<std::string> lines = SolutionLines(full.out, phases);
        ASSERT_EQ(lines.size(), text == &kManySolutions ? 152u : 3u) << Escape(full.out);
        for (size_t limit : {size_t{0}, size_t{1}, size_t{2}, lines.size() - 1, lines.size(),
                             size_t{1000}}) {
            ChildResult run = RunTovik({puzzle, "--limit", std::to_string(limit)});
            const std::string expected = phases + Join(lines, limit);
            EXPECT_TRUE(run.out == expected) << "--limit " << limit << "\n"
                                             << DescribeMismatch(expected, run.out);
            EXPECT_EQ(run.exit_status, 0) << "--limit " << limit;
        }
    }
}

// --unique prints at most two lines, the first two of the full run, and
// tells none (0), one (3) or more (4); it stops at the second line, so a
// search far too long to finish still answers.
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
        ChildResult run = RunTovik({"--unique", Puzzle(c.name, c.text)});
        EXPECT_TRUE(run.out == c.expected_out) << c.name << "\n"
                                               << DescribeMismatch(c.expected_out, run.out);
        EXPECT_NE(run.err.find(c.verdict), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(run.exit_status, c.status) << c.name;
    }
}

// A search that ends within the limit is a normal run.
TEST(Options, TimeLimitLeavesShortSearchAlone) {
    const std::string puzzle = Puzzle("time-short.tvk", kManySolutions);
    const ChildResult full = RunTovik({puzzle});
    ChildResult run = RunTovik({"--time-limit", "60", puzzle});
    EXPECT_TRUE(run.out == full.out) << DescribeMismatch(full.out, run.out);
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_EQ(run.exit_status, 0);
}

// A search cut short keeps the lines it printed, exactly the first lines of
// the full run, and says so with the number of lines.
TEST(Options, TimeLimitCutsSearchShort) {
    const auto start = std::chrono::steady_clock::now();
    ChildResult run = RunTovik({"--time-limit", "0.3", Puzzle("time-long.tvk", kCountdown)});
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    ExpectCountdownStoppedEarly(run, "cut short");
    EXPECT_EQ(run.exit_status, 124);
}

// Ctrl+C ends the search the same way, with status 130.
TEST(Options, InterruptKeepsThePrintedLines) {
    ChildOptions options = WithEncoding({});
    options.signal = SIGINT;
    options.signal_delay = 300ms;
    ChildResult run = RunTovik({Puzzle("interrupt.tvk", kCountdown)}, options);
    ExpectCountdownStoppedEarly(run, "interrupted");
    EXPECT_EQ(run.exit_status, 130);
}

// --stats adds one line on standard error and leaves standard output alone.
TEST(Options, StatsPrintsOneLineOnStandardError) {
    const std::string puzzle = Puzzle("stats.tvk", kRepeatedLines);
    const ChildResult plain = RunTovik({puzzle});
    ChildResult run = RunTovik({puzzle, "--stats"});
    EXPECT_TRUE(run.out == plain.out) << DescribeMismatch(plain.out, run.out);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_TRUE(std::regex_match(run.err, std::regex("[^\n]*\n"))) << run.err;
    EXPECT_TRUE(std::regex_search(run.err, std::regex("solutions\\D*3\\b"))) << run.err;
    EXPECT_TRUE(std::regex_search(run.err, std::regex("steps\\D*[1-9]"))) << run.err;
    EXPECT_NE(run.err.find("time"), std::string::npos) << run.err;
    EXPECT_TRUE(std::regex_search(run.err, std::regex("memory\\D*[1-9]"))) << run.err;
}

// A malformed number is refused before anything is compiled.
TEST(Options, MalformedNumbersAreRejected) {
    const std::string puzzle = Puzzle("malformed.tvk", kRepeatedLines);
    const std::vector<std::vector<std::string>> cases = {
        {puzzle, "--limit", "many"}, {puzzle, "--limit", "-1"}, {puzzle, "--limit", "2x"},
        {puzzle, "--limit", ""},     {puzzle, "--limit"},       {puzzle, "--time-limit", "soon"},
        {puzzle, "--time-limit", "-1"},
    };
    for (const auto& args : cases) {
        ChildResult run = RunTovik(args);
        const std::string& option = args[1];
        EXPECT_EQ(run.exit_status, 1) << option << " " << (args.size() > 2 ? args[2] : "");
        EXPECT_TRUE(run.out.empty()) << Escape(run.out);
        EXPECT_NE(run.err.find(option), std::string::npos) << run.err;
    }
}

// --- --fast ----------------------------------------------------------------

// The solution lines of a run, sorted: --fast prints the same set in its own order.
std::vector<std::string> SortedSolutionLines(const std::string& out, const std::string& phases) {
    std::vector<std::string> lines = SolutionLines(out, phases);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Every option keeps its meaning with --fast: the counts, the stop at N lines
// (which are some N of the full set), and the verdicts of --unique.
TEST(FastOption, CountLimitAndUniqueKeepTheirMeaning) {
    const std::string many = Puzzle("fast-many.tvk", kManySolutions);
    const std::vector<std::string> all = SortedSolutionLines(RunTovik({many}).out, kPhasesUtf8);
    ASSERT_EQ(all.size(), 152u);
    const ChildResult fast = RunTovik({"--fast", many});
    EXPECT_EQ(SortedSolutionLines(fast.out, kPhasesUtf8), all);
    EXPECT_TRUE(fast.err.empty()) << fast.err;
    EXPECT_EQ(RunTovik({"--fast", "--count", many}).out, kPhasesUtf8 + "152\r\n");

    ChildResult limited = RunTovik({"--fast", "--limit", "5", many});
    std::vector<std::string> some = SortedSolutionLines(limited.out, kPhasesUtf8);
    EXPECT_EQ(some.size(), 5u);
    EXPECT_TRUE(std::includes(all.begin(), all.end(), some.begin(), some.end()));
    // The first five lines of --fast's own full order.
    EXPECT_EQ(limited.out,
              kPhasesUtf8 + Join(SolutionLines(fast.out, kPhasesUtf8), 5));

    const struct {
        const char* name;
        const std::string& text;
        const char* verdict;
        int status;
    } cases[] = {
        {"fast-none.tvk", kNoSolution, "no solution", 0},
        {"fast-one.tvk", kOneLine, "exactly one", 3},
        {"fast-more.tvk", kRepeatedLines, "more than one", 4},
        {"fast-endless.tvk", kCountdown, "more than one", 4},
    };
    for (const auto& c : cases) {
        ChildResult run = RunTovik({"--fast", "--unique", Puzzle(c.name, c.text)});
        EXPECT_NE(run.err.find(c.verdict), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(run.exit_status, c.status) << c.name;
    }
}

// --stats reports the propagating engine's nodes and failures.
TEST(FastOption, StatsReportNodesAndFailures) {
    ChildResult run = RunTovik({"--fast", "--stats", Puzzle("fast-stats.tvk", kRepeatedLines)});
    EXPECT_EQ(SortedSolutionLines(run.out, kPhasesGbk),
              (std::vector<std::string>{"1\r\n", "2\r\n", "3\r\n"}));
    EXPECT_TRUE(std::regex_match(run.err, std::regex("[^\n]*\n"))) << run.err;
    EXPECT_TRUE(std::regex_search(run.err, std::regex("solutions\\D*3\\b"))) << run.err;
    EXPECT_TRUE(std::regex_search(run.err, std::regex("nodes\\D*[1-9]"))) << run.err;
    EXPECT_TRUE(std::regex_search(run.err, std::regex("failures\\D*\\d"))) << run.err;
}

// A puzzle whose answer relies on wrap-around is searched the default way,
// with a note: the output is the default run's, byte for byte.
TEST(FastOption, WrapAroundFallsBackWithANote) {
    const std::string puzzle =
        Puzzle("fast-wrap.tvk", "N{} = {2000000000, 2000000001, 7};\nN x, y;\nx + y < 0;\noutput {x \" \" y}\n");
    const ChildResult plain = RunTovik({puzzle});
    ChildResult run = RunTovik({"--fast", puzzle});
    EXPECT_TRUE(run.out == plain.out) << DescribeMismatch(plain.out, run.out);
    EXPECT_NE(run.err.find("--fast"), std::string::npos) << run.err;
    EXPECT_EQ(run.exit_status, 0);
}

// Ctrl+C and the time limit stop the propagating search too.
TEST(FastOption, InterruptAndTimeLimitStopTheSearch) {
    ChildOptions options = WithEncoding({});
    options.signal = SIGINT;
    options.signal_delay = 300ms;
    ChildResult interrupted = RunTovik({"--fast", Puzzle("fast-interrupt.tvk", kCountdown)}, options);
    EXPECT_EQ(interrupted.exit_status, 130);
    EXPECT_NE(interrupted.err.find("interrupted"), std::string::npos) << interrupted.err;
    ChildResult cut = RunTovik({"--fast", "--time-limit", "0.3", Puzzle("fast-time.tvk", kCountdown)});
    EXPECT_EQ(cut.exit_status, 124);
    EXPECT_NE(cut.err.find("cut short"), std::string::npos) << cut.err;
}

// --- Live output -----------------------------------------------------------

// A line printed early reaches a pipe within a fraction of a second while the
// search goes on, not when the search ends. The allowance is this machine's
// start-up time of tovik plus 250 ms.
TEST(LiveOutput, EarlyLineReachesPipeWhileSearchRuns) {
    const auto start = std::chrono::steady_clock::now();
    RunTovik({"--version"});
    const auto start_up = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);

    ChildOptions options = WithEncoding({});
    options.signal = SIGINT;
    options.signal_delay = 1500ms;
    options.delay_from_start = true;
    ChildResult run = RunTovik({Puzzle("live.tvk", kOneLineThenLongSearch)}, options);
    const std::string expected = kPhasesGbk + "9\r\n";
    EXPECT_TRUE(run.out == expected) << DescribeMismatch(expected, run.out);
    // Still searching when interrupted, long after the line came.
    EXPECT_EQ(run.exit_status, 130);
    const auto arrival = std::find_if(run.out_arrivals.begin(), run.out_arrivals.end(),
                                      [&](const auto& a) { return a.second >= expected.size(); });
    ASSERT_NE(arrival, run.out_arrivals.end());
    EXPECT_LE(arrival->first, start_up + 250ms)
        << "the line came after " << arrival->first.count() << " ms; start-up takes "
        << start_up.count() << " ms";
}

} // namespace
} // namespace tovik_e2e
