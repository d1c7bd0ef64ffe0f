// tovik's command line as ParseOptions reads it: values given after '=' or
// as the next argument, the options with a fixed list of values, the limits'
// number checks, what counts as PUZZLE and PROGRESS, and the messages for
// mistakes, each case one row. Memory sizes have a table of their own.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/memory_limit.h"
#include "app/options.h"

namespace {

Options Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "tovik");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return ParseOptions(static_cast<int>(args.size()), argv.data());
}

std::string Text(const char* s) { return s != nullptr ? s : "(none)"; }

// What the parse found that differs from the defaults, or the error.
std::string Summary(const Options& o) {
    if (!o.error.empty()) return "error: " + o.error;
    constexpr const char* kFormats[] = {"text", "lines", "json", "csv"};
    constexpr const char* kStyles[] = {"auto", "rich", "json", "none"};
    std::string s;
    auto add = [&s](bool set, const std::string& what) {
        if (set) s += (s.empty() ? "" : " ") + what;
    };
    add(o.help, "help");
    add(o.quiet, "quiet");
    add(o.count, "count");
    add(o.stats, "stats");
    add(o.explain, "explain");
    add(o.unique, o.uniqueAssignments ? "unique=assignments" : "unique");
    add(o.format != OutputFormat::Text, std::string("format=") + kFormats[int(o.format)]);
    add(o.diagnostics != DiagnosticsStyle::Auto,
        std::string("diagnostics=") + kStyles[int(o.diagnostics)]);
    add(!o.warnings, "warnings=none");
    add(o.limit >= 0, "limit=" + std::to_string(o.limit));
    add(o.timeLimit >= 0, "time=" + std::to_string(o.timeLimit).substr(0, 4));
    add(o.memoryLimit != 0, "memory=" + std::to_string(o.memoryLimit));
    add(o.puzzle != nullptr, "puzzle=" + Text(o.puzzle));
    add(o.progress != nullptr, "progress=" + Text(o.progress));
    return s;
}

TEST(Options, ValuesAndMistakes) {
    const struct {
        std::vector<std::string> args;
        std::string parsed;
    } rows[] = {
        // Values: after '=', as the next argument, and through an abbreviation.
        {{"--format=csv", "p"}, "format=csv puzzle=p"},
        {{"--format", "json", "p"}, "format=json puzzle=p"},
        {{"--form=lines", "p"}, "format=lines puzzle=p"},
        {{"--format=CSV", "p"}, "error: --format is text, lines, json or csv"},
        {{"--format"}, "error: --format is text, lines, json or csv"},
        {{"--format="}, "error: --format is text, lines, json or csv"},
        {{"--diagnostics=json", "p"}, "diagnostics=json puzzle=p"},
        {{"--diagnostics", "none", "p"}, "diagnostics=none puzzle=p"},
        {{"--diagnostics=off", "p"}, "error: --diagnostics is auto, rich, json or none"},
        {{"--warnings=none", "p"}, "warnings=none puzzle=p"},
        {{"--warnings=none", "--warnings=all", "p"}, "puzzle=p"},
        {{"--warnings=off", "p"}, "error: --warnings is all or none"},
        // --unique takes its value only after '=': a next word is the puzzle.
        {{"--unique", "p"}, "unique puzzle=p"},
        {{"--unique=assignments", "p"}, "unique=assignments puzzle=p"},
        {{"--unique=lines", "p"}, "unique puzzle=p"},
        {{"--unique", "assignments"}, "unique puzzle=assignments"},
        {{"--unique=both", "p"}, "error: --unique counts lines (the default) or assignments"},
        // Limits: whole numbers of lines, finite non-negative seconds, sizes.
        {{"--limit=0", "p"}, "limit=0 puzzle=p"},
        {{"--limit", "12", "p"}, "limit=12 puzzle=p"},
        {{"--limit=-1", "p"}, "error: --limit needs a whole number of solution lines"},
        {{"--limit=1.5", "p"}, "error: --limit needs a whole number of solution lines"},
        {{"--limit=", "p"}, "error: --limit needs a whole number of solution lines"},
        {{"--limit=99999999999999999999"}, "error: --limit needs a whole number of solution lines"},
        {{"--limit", "--count", "p"}, "error: --limit needs a whole number of solution lines"},
        {{"--time-limit=0.25", "p"}, "time=0.25 puzzle=p"},
        {{"--time-limit=0", "p"}, "time=0.00 puzzle=p"},
        {{"--time-limit=nan", "p"}, "error: --time-limit needs a number of seconds"},
        {{"--time-limit=inf", "p"}, "error: --time-limit needs a number of seconds"},
        {{"--time-limit=1e999", "p"}, "error: --time-limit needs a number of seconds"},
        {{"--time-limit=5s", "p"}, "error: --time-limit needs a number of seconds"},
        {{"--time-limit"}, "error: --time-limit needs a number of seconds"},
        {{"--memory-limit=1G", "p"}, "memory=1073741824 puzzle=p"},
        {{"--memory-limit=plenty", "p"}, "error: --memory-limit needs a size such as 512M or 4G"},
        // Switches, short letters in a cluster, and switches given a value.
        {{"-qh"}, "help quiet"},
        {{"--quiet=yes", "p"}, "error: option '--quiet' takes no value"},
        {{"--help=all"}, "error: option '--help' takes no value"},
        // The first mistake is the one reported, and it wins over --help.
        {{"--help", "--limit=x", "--format=x"},
         "error: --limit needs a whole number of solution lines"},
        // PUZZLE and PROGRESS: after the puzzle a single-dash word is the
        // progress argument and long options are still options; "--" ends
        // the options; "-" is standard input.
        {{"p", "-s", "--count"}, "count puzzle=p progress=-s"},
        {{"p", "-h"}, "puzzle=p progress=-h"},
        {{"-", "-"}, "puzzle=- progress=-"},
        {{"--", "-x.tvk", "--count"}, "puzzle=-x.tvk progress=--count"},
        {{"p", "--", "-s"}, "puzzle=p progress=-s"},
        {{"--", "a", "b", "c"}, "error: too many arguments: 'c' (only PUZZLE and PROGRESS)"},
        {{"p", "-s", "-t"}, "error: too many arguments: '-t' (only PUZZLE and PROGRESS)"},
        // Misspelt and ambiguous names, and unknown letters.
        {{"--cuont", "p"}, "error: unknown option '--cuont'; did you mean '--count'?"},
        {{"--stat", "p"}, "stats puzzle=p"},
        {{"--statz", "p"}, "error: unknown option '--statz'; did you mean '--stats'?"},
        {{"--limt=3", "p"}, "error: unknown option '--limt=3'; did you mean '--limit'?"},
        {{"--zz", "p"}, "error: unknown option '--zz' (see tovik --help)"},
        {{"--e", "p"}, "explain puzzle=p"},
        {{"-u", "p"}, "error: unknown option '-u'; did you mean '--unique'?"},
        {{"-f", "p"}, "error: unknown option '-f' (see tovik --help)"},
        {{"-z", "p"}, "error: unknown option '-z' (see tovik --help)"},
    };
    for (const auto& row : rows) {
        std::string line;
        for (const std::string& a : row.args) line += a + " ";
        EXPECT_EQ(Summary(Parse(row.args)), row.parsed) << line;
    }
}

// Sizes in bytes, with binary units; anything else is no size.
TEST(Options, MemorySizes) {
    const struct {
        const char* text;
        std::optional<uint64_t> bytes;
    } rows[] = {
        {"512M", uint64_t{512} << 20},
        {"4g", uint64_t{4} << 30},
        {"1.5G", uint64_t{3} << 29},
        {"64KiB", uint64_t{64} << 10},
        {"2TB", uint64_t{2} << 40},
        {"100", 100},
        {"100B", 100},
        {"", std::nullopt},
        {"0", std::nullopt},
        {"0.4", std::nullopt},  // rounds down to no bytes at all
        {"-1G", std::nullopt},
        {"1X", std::nullopt},
        {"1iB", std::nullopt},
        {"1GiBs", std::nullopt},
        {"inf", std::nullopt},
        {"20000000T", std::nullopt},
        {nullptr, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Text(row.text));
        EXPECT_EQ(ParseMemorySize(row.text), row.bytes);
    }
}

}  // namespace
