// Parsing of tovik's command line. An argument that names a known option is
// that option; every other argument is positional: first the puzzle file,
// then the progress option, and any further ones are ignored.
#include "app/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/memory_limit.h"

namespace {

// The options that take no value, and the flag each sets.
struct Switch {
    const char* name;
    bool Options::*flag;
};
constexpr Switch kSwitches[] = {
    {"--help", &Options::help},   {"--version", &Options::version}, {"--stats", &Options::stats},
    {"--count", &Options::count}, {"--unique", &Options::unique},   {"--fast", &Options::fast},
};

// The value of "--name VALUE" or "--name=VALUE" (null when VALUE is missing);
// `matched` tells whether `arg` is that option at all.
const char* OptionValue(const char* arg, const char* name, int& i, int argc, char** argv,
                        bool* matched) {
    const size_t n = std::strlen(name);
    *matched = false;
    if (std::strncmp(arg, name, n) != 0) return nullptr;
    if (arg[n] == '=') {
        *matched = true;
        return arg + n + 1;
    }
    if (arg[n] != '\0') return nullptr;
    *matched = true;
    return i + 1 < argc ? argv[++i] : nullptr;
}

void ParseLimit(const char* v, Options& o) {
    char* end = nullptr;
    errno = 0;
    const long long n = v ? std::strtoll(v, &end, 10) : -1;
    if (!v || *v == '\0' || *end != '\0' || n < 0 || errno != 0)
        o.error = "--limit needs a whole number of solution lines";
    else
        o.limit = n;
}

void ParseTimeLimit(const char* v, Options& o) {
    char* end = nullptr;
    const double s = v ? std::strtod(v, &end) : -1;
    if (!v || *v == '\0' || *end != '\0' || !(s >= 0) || !std::isfinite(s))
        o.error = "--time-limit needs a number of seconds";
    else
        o.timeLimit = s;
}

void ParseMemoryLimit(const char* v, Options& o) {
    if (std::optional<uint64_t> bytes = ParseMemorySize(v))
        o.memoryLimit = *bytes;
    else
        o.error = "--memory-limit needs a size such as 512M or 4G";
}

// Applies `argv[i]` when it names an option (advancing i past a separate
// value); false for a positional argument.
bool ParseOption(int& i, int argc, char** argv, Options& o) {
    const char* arg = argv[i];
    for (const Switch& s : kSwitches) {
        if (std::strcmp(arg, s.name) != 0) continue;
        o.*s.flag = true;
        return true;
    }
    bool matched = false;
    if (const char* v = OptionValue(arg, "--limit", i, argc, argv, &matched); matched) {
        ParseLimit(v, o);
        return true;
    }
    if (const char* v = OptionValue(arg, "--time-limit", i, argc, argv, &matched); matched) {
        ParseTimeLimit(v, o);
        return true;
    }
    if (const char* v = OptionValue(arg, "--memory-limit", i, argc, argv, &matched); matched) {
        ParseMemoryLimit(v, o);
        return true;
    }
    return false;
}

}  // namespace

// "-h" is help only as the one argument; after a puzzle it is the progress option.
Options ParseOptions(int argc, char** argv) {
    Options o;
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0) {
        o.help = true;
        return o;
    }
    for (int i = 1; i < argc; ++i) {
        if (ParseOption(i, argc, argv, o)) continue;
        if (o.puzzle == nullptr)
            o.puzzle = argv[i];
        else if (o.progress == nullptr)
            o.progress = argv[i];
    }
    return o;
}

const char* UsageText() {
    return "usage: tovik [OPTIONS] PUZZLE [PROGRESS]\n"
           "\n"
           "Compiles the puzzle file and prints every solution, one line each.\n"
           "PROGRESS, when given, shows the search's step count in the terminal's\n"
           "title; when it begins with -s, every step also waits 1 ms.\n"
           "\n"
           "options:\n"
           "  -h, --help            this text\n"
           "  --version             the version\n"
           "  --count               print only the number of distinct solution lines\n"
           "  --limit N             stop after N solution lines\n"
           "  --unique              stop at the second solution line and say on standard\n"
           "                        error whether there is none, one or more than one\n"
           "  --time-limit SECONDS  stop after that long, counted from the start (the\n"
           "                        compile phase too)\n"
           "  --memory-limit SIZE   the memory tovik may use, such as 512M or 4G; beyond\n"
           "                        it tovik ends with \"out of memory\" (default: the\n"
           "                        physical memory less an eighth, or a lower limit the\n"
           "                        process already has)\n"
           "  --stats               after the search, print solutions, steps, the compile\n"
           "                        and search times and peak memory on standard error\n"
           "  --fast                search with constraint propagation (Gecode): the same\n"
           "                        set of solution lines, each once, in the order of a\n"
           "                        depth-first search that takes the variable with the\n"
           "                        fewest values left and tries its largest value first;\n"
           "                        that order is fixed but differs from the default one.\n"
           "                        A puzzle whose arithmetic could wrap around is searched\n"
           "                        the default way, with a note on standard error\n"
#if !TOVIK_FAST
           "                        (not available in this build: always the default way)\n"
#endif
           "\n"
           "Puzzles may be GBK or UTF-8; messages follow the puzzle's encoding.\n"
           "TOVIK_ENCODING=gbk or TOVIK_ENCODING=utf-8 converts the whole output to\n"
           "that encoding. On a UTF-8 terminal GBK output is shown as UTF-8.\n"
           "\n"
           "exit status:\n"
           "  0    the search ran (with or without solutions); with --unique: none\n"
           "  1    no file named, file not readable, compile error or bad option\n"
           "  2    out of memory or unreadable input\n"
           "  3    --unique: exactly one solution\n"
           "  4    --unique: more than one solution\n"
           "  124  --time-limit reached before the search ended\n"
           "  130  interrupted (Ctrl+C)\n";
}
