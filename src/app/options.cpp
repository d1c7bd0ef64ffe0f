// Parsing of tovik's command line with getopt_long: long options with their
// value after '=' or as the next argument, unambiguous abbreviations, "--",
// and a message with the nearest option for a misspelt one. The table below
// is the one list of options: the parser and --help both read it.
#include "app/options.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/memory_limit.h"

namespace {

// Applies an option to `o`; `value` is null for a switch and for a value
// that is missing. A bad value sets o.error.
using Setter = void (*)(Options& o, const char* value);

struct OptionEntry {
    const char* name;       // the long name, without "--"
    char letter;            // the short name, or 0
    const char* valueName;  // null for a switch
    Setter set;
    const char* help;            // lines after the first are indented under it
    bool optionalValue = false;  // the value may be left out (then only --NAME=VALUE gives it)
};

template <bool Options::*flag>
void Switch(Options& o, const char*) {
    o.*flag = true;
}

void SetLimit(Options& o, const char* v) {
    char* end = nullptr;
    errno = 0;
    const long long n = v ? std::strtoll(v, &end, 10) : -1;
    if (!v || *v == '\0' || *end != '\0' || n < 0 || errno != 0)
        o.error = "--limit needs a whole number of solution lines";
    else
        o.limit = n;
}

void SetTimeLimit(Options& o, const char* v) {
    char* end = nullptr;
    const double s = v ? std::strtod(v, &end) : -1;
    if (!v || *v == '\0' || *end != '\0' || !(s >= 0) || !std::isfinite(s))
        o.error = "--time-limit needs a number of seconds";
    else
        o.timeLimit = s;
}

void SetMemoryLimit(Options& o, const char* v) {
    if (std::optional<uint64_t> bytes = ParseMemorySize(v))
        o.memoryLimit = *bytes;
    else
        o.error = "--memory-limit needs a size such as 512M or 4G";
}

// Sets `field` to the value of the name `v` has in `names`; any other value
// (or none) sets o.error to `error`.
template <class T, size_t N>
void Choose(Options& o, T Options::*field, const char* v,
            const std::pair<std::string_view, T> (&names)[N], const char* error) {
    const std::string_view name = v ? v : "";
    for (const auto& [known, value] : names)
        if (name == known) {
            o.*field = value;
            return;
        }
    o.error = error;
}

void SetFormat(Options& o, const char* v) {
    constexpr std::pair<std::string_view, OutputFormat> kNames[] = {
        {"text", OutputFormat::Text},
        {"lines", OutputFormat::Lines},
        {"json", OutputFormat::Json},
        {"csv", OutputFormat::Csv},
    };
    Choose(o, &Options::format, v, kNames, "--format is text, lines, json or csv");
}

// --unique counts solution lines; --unique=assignments full assignments.
void SetUnique(Options& o, const char* v) {
    constexpr std::pair<std::string_view, bool> kNames[] = {{"lines", false},
                                                            {"assignments", true}};
    o.unique = true;
    Choose(o, &Options::uniqueAssignments, v ? v : "lines", kNames,
           "--unique counts lines (the default) or assignments");
}

void SetDiagnostics(Options& o, const char* v) {
    constexpr std::pair<std::string_view, DiagnosticsStyle> kNames[] = {
        {"auto", DiagnosticsStyle::Auto},
        {"rich", DiagnosticsStyle::Rich},
        {"json", DiagnosticsStyle::Json},
        {"none", DiagnosticsStyle::None},
    };
    Choose(o, &Options::diagnostics, v, kNames, "--diagnostics is auto, rich, json or none");
}

void SetWarnings(Options& o, const char* v) {
    constexpr std::pair<std::string_view, bool> kNames[] = {{"all", true}, {"none", false}};
    Choose(o, &Options::warnings, v, kNames, "--warnings is all or none");
}

// Adding an option is adding its line here (and its field to Options).
constexpr OptionEntry kOptions[] = {
    {"help", 'h', nullptr, Switch<&Options::help>, "this text"},
    {"version", 0, nullptr, Switch<&Options::version>, "the version"},
    {"format", 0, "FORMAT", SetFormat,
     "how solutions are printed: text (the default),\n"
     "lines, json or csv (see Formats below)"},
    {"diagnostics", 0, "STYLE", SetDiagnostics,
     "how compile errors and warnings are described on\n"
     "standard error, with their line and column: rich (the\n"
     "source line, a caret and hints), json (one object per\n"
     "line), none, or auto (the default: rich on a terminal,\n"
     "none otherwise)"},
    {"warnings", 0, "WHICH", SetWarnings,
     "all (the default) or none: warnings about mistakes\n"
     "that compile, such as a string in no set"},
    {"quiet", 'q', nullptr, Switch<&Options::quiet>,
     "leave out the phase lines (compiling..., searching...)"},
    {"count", 0, nullptr, Switch<&Options::count>,
     "print only the number of distinct solution lines"},
    {"limit", 0, "N", SetLimit, "stop after N solution lines"},
    {"unique", 0, "WHAT", SetUnique,
     "stop at the second solution line and say on standard\n"
     "error whether there is no solution, exactly one solution\n"
     "line or more than one; --unique=assignments counts full\n"
     "assignments (a value for every variable) instead, so two\n"
     "solutions that print the same line count as two",
     true},
    {"explain", 0, nullptr, Switch<&Options::explain>,
     "after the run, explain it on standard output: for no\n"
     "solution, a smallest set of conditions that cannot hold\n"
     "together, as FILE:LINE: CONDITION lines; otherwise how\n"
     "many full assignments and lines there are, which values\n"
     "each variable takes, how two assignments differ and a\n"
     "clue VARIABLE = VALUE that would leave exactly one. JSON\n"
     "(one object) with --diagnostics=json or --format=json.\n"
     "Keeps at most 10000 assignments; bounded by --time-limit"},
    {"time-limit", 0, "SECONDS", SetTimeLimit,
     "stop after that long, counted from the start (the\n"
     "compile phase too)"},
    {"memory-limit", 0, "SIZE", SetMemoryLimit,
     "the memory tovik may use, such as 512M or 4G; beyond\n"
     "it tovik ends with \"out of memory\" (default: the\n"
     "physical memory less an eighth, or a lower limit the\n"
     "process already has)"},
    {"stats", 0, nullptr, Switch<&Options::stats>,
     "after the search, print solutions, steps, the compile\n"
     "and search times and peak memory on standard error"},
    {"fast", 0, nullptr, Switch<&Options::fast>,
     "search with constraint propagation (Gecode): the same\n"
     "set of solution lines, each once, in the order of a\n"
     "depth-first search that takes the variable with the\n"
     "fewest values left and tries its largest value first;\n"
     "that order is fixed but differs from the default one.\n"
     "A puzzle whose arithmetic could wrap around is searched\n"
     "the default way, with a note on standard error"
#if !TOVIK_FAST
     "\n(not available in this build: always the default way)"
#endif
    },
};

// getopt_long's value for a long option without a letter: past every char.
constexpr int kLongOnly = 256;

const OptionEntry* ByValue(int value) {
    for (size_t i = 0; i < std::size(kOptions); ++i)
        if ((kOptions[i].letter != 0 && kOptions[i].letter == value) ||
            static_cast<int>(kLongOnly + i) == value)
            return &kOptions[i];
    return nullptr;
}

// Edit distance counting a swap of two neighbours as one edit, so that
// "unqiue" is one edit from "unique".
size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// "; did you mean '--NAME'?" for the option nearest to `typed` (a long name
// without its dashes), when one is near enough to be a slip.
std::string Suggestion(std::string_view typed) {
    const OptionEntry* best = nullptr;
    size_t bestDistance = 3;
    for (const OptionEntry& entry : kOptions) {
        const size_t d = Distance(typed, entry.name);
        if (d < bestDistance) {
            best = &entry;
            bestDistance = d;
        }
    }
    if (best == nullptr || bestDistance >= typed.size()) return " (see tovik --help)";
    return std::string("; did you mean '--") + best->name + "'?";
}

// The long options beginning with `prefix`, as "--a, --b".
std::string Candidates(std::string_view prefix) {
    std::string list;
    for (const OptionEntry& entry : kOptions)
        if (std::string_view(entry.name).substr(0, prefix.size()) == prefix)
            list += std::string(list.empty() ? "" : ", ") + "--" + entry.name;
    return list;
}

// What getopt_long's '?' means for `arg`, the argument it stopped at, and
// `optopt`, the option's value when it knew the option.
std::string Mistake(const char* arg, int optopt) {
    if (optopt == 0) {
        std::string_view name = arg + 2;
        name = name.substr(0, name.find('='));
        const std::string candidates = Candidates(name);
        if (candidates.find(',') != std::string::npos)
            return "option '" + std::string(arg) + "' is ambiguous: " + candidates;
        return "unknown option '" + std::string(arg) + "'" + Suggestion(name);
    }
    if (const OptionEntry* entry = ByValue(optopt))
        return std::string("option '--") + entry->name + "' takes no value";
    // An unknown letter: the one long option beginning with it, if any.
    const std::string letter(1, static_cast<char>(optopt));
    const std::string candidates = Candidates(letter);
    if (candidates.empty() || candidates.find(',') != std::string::npos)
        return "unknown option '-" + letter + "' (see tovik --help)";
    return "unknown option '-" + letter + "'; did you mean '" + candidates + "'?";
}

// A word with a single leading dash ("-s", "-", "-x"), the progress
// argument's usual form.
bool SingleDash(const char* arg) { return arg[0] == '-' && arg[1] != '-'; }

// Takes a positional argument; false (with o.error) for a third one.
bool Positional(Options& o, const char* arg) {
    if (o.puzzle == nullptr)
        o.puzzle = arg;
    else if (o.progress == nullptr)
        o.progress = arg;
    else
        o.error = std::string("too many arguments: '") + arg + "' (only PUZZLE and PROGRESS)";
    return o.error.empty();
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
    std::vector<option> longs;
    std::string letters = "+:";  // stop at the first operand; report a missing value
    for (size_t i = 0; i < std::size(kOptions); ++i) {
        const OptionEntry& entry = kOptions[i];
        const int value = entry.letter != 0 ? entry.letter : static_cast<int>(kLongOnly + i);
        const int has = !entry.valueName      ? no_argument
                        : entry.optionalValue ? optional_argument
                                              : required_argument;
        longs.push_back({entry.name, has, nullptr, value});
        if (entry.letter != 0)
            letters += std::string(1, entry.letter) + (entry.valueName ? ":" : "");
    }
    longs.push_back({nullptr, 0, nullptr, 0});

    Options o;
    opterr = 0;  // the messages are ours
    optind = 0;  // start afresh
    while (o.error.empty()) {
        const int at = std::max(optind, 1);
        if (at >= argc) break;
        if (o.puzzle != nullptr && SingleDash(argv[at])) {
            optind = at + 1;
            Positional(o, argv[at]);
            continue;
        }
        const int c = getopt_long(argc, argv, letters.c_str(), longs.data(), nullptr);
        if (c == -1) {
            if (optind >= argc) break;
            if (optind == at + 1 && std::strcmp(argv[at], "--") == 0) {
                // Everything after "--" is an operand.
                for (int i = optind; i < argc && Positional(o, argv[i]); ++i) {}
                break;
            }
            Positional(o, argv[optind++]);
            continue;
        }
        if (c == '?') {
            o.error = Mistake(argv[optind - 1], optopt);
        } else if (const OptionEntry* entry = ByValue(c == ':' ? optopt : c)) {
            entry->set(o, c == ':' ? nullptr : optarg);
        }
    }
    return o;
}

std::string UsageText() {
    std::string text =
        "Usage: tovik [OPTIONS] PUZZLE [PROGRESS]\n"
        "\n"
        "Compiles the puzzle file and prints every solution, one line each.\n"
        "PUZZLE - reads the puzzle from standard input. PROGRESS, when given,\n"
        "shows the search's step count in the terminal's title; when it begins\n"
        "with -s, every step also waits 1 ms. After PUZZLE only long options are\n"
        "options; -- ends the options, so ./-x.tvk or -- -x.tvk names a file\n"
        "whose name begins with a dash.\n"
        "\n"
        "Options:\n";
    constexpr size_t kColumn = 24;  // where the descriptions start
    for (const OptionEntry& entry : kOptions) {
        std::string left = entry.letter ? std::string("  -") + entry.letter + ", " : "      ";
        left += std::string("--") + entry.name;
        if (entry.valueName)
            left += entry.optionalValue ? std::string("[=") + entry.valueName + "]"
                                        : std::string("=") + entry.valueName;
        // A long left column gets a line of its own.
        if (left.size() + 2 > kColumn) {
            text += left + "\n";
            left.clear();
        }
        std::string_view help = entry.help;
        while (!help.empty()) {
            const std::string_view line = help.substr(0, help.find('\n'));
            help.remove_prefix(std::min(help.size(), line.size() + 1));
            left.resize(kColumn, ' ');
            text += left + std::string(line) + "\n";
            left.clear();
        }
    }
    text +=
        "\n"
        "Formats:\n"
        "  text   the phase lines, the solution lines and compile errors, as the\n"
        "         puzzle's encoding has them, with CR LF line ends\n"
        "  lines  only the solution lines on standard output, in UTF-8 with LF\n"
        "         line ends; compile errors on standard error as FILE:LINE: MESSAGE\n"
        "  json   JSON Lines in UTF-8: one object per solution line with the line\n"
        "         and every variable's value (array elements as name[key]), then\n"
        "         a summary object; compile errors as objects on standard error\n"
        "  csv    a header of the variable names, then one row per solution line\n"
        "\n"
        "Puzzles may be UTF-8, GBK, or UTF-16 with a byte-order mark; messages\n"
        "follow the puzzle's encoding. TOVIK_ENCODING=gbk or TOVIK_ENCODING=utf-8\n"
        "converts the whole text output to that encoding. On a UTF-8 terminal GBK\n"
        "output is shown as UTF-8.\n"
        "\n"
        "Exit status:\n"
        "  0    the search ran (with or without solutions); with --unique: none\n"
        "  1    no file named, file not readable, compile error or bad option\n"
        "  2    out of memory or unreadable input\n"
        "  3    --unique: exactly one solution line (or full assignment)\n"
        "  4    --unique: more than one\n"
        "  124  --time-limit reached before the search (or the explanation) ended\n"
        "  130  interrupted (Ctrl+C)\n";
    return text;
}
