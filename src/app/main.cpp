// Entry point of `tovik`: tovik [OPTIONS] PUZZLE [PROGRESS]. The exit statuses
// are listed in the usage text (options.cpp).
#include <langinfo.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/console_engine.h"
#include "app/explain.h"
#include "app/memory_limit.h"
#include "app/options.h"
#include "app/reporter.h"
#include "model/program.h"
#include "text/encoding.h"
#include "text/messages.h"
#include "text/translate.h"
#if TOVIK_FAST
#include "fast/fast_search.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kVersion = "tovik " TOVIK_VERSION "\n";

// Whether `directory` holds a catalog of tovik's in some language.
bool HoldsCatalogs(const std::filesystem::path& directory) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error))
        if (std::filesystem::is_regular_file(it->path() / "LC_MESSAGES" / "tovik.mo", error))
            return true;
    return false;
}

// The translations: a "locale" folder beside the program (the build tree's,
// so that an uninstalled tovik speaks the user's language too), then
// share/locale beside the program's bin folder (where the package and any
// install prefix put them), else the folder the build was configured for.
std::string LocaleDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path folder = program.parent_path();
        for (const std::filesystem::path& candidate :
             {folder / "locale", folder.parent_path() / "share" / "locale"})
            if (HoldsCatalogs(candidate)) return candidate.string();
    }
    return TOVIK_LOCALEDIR;
}

void OnInterrupt(int) { ConsoleEngine::s_interrupted = 1; }

// TOVIK_ENCODING forces the output encoding of the text format; otherwise a
// UTF-8 terminal gets UTF-8, and a pipe or a file gets the bytes exactly as
// produced. The other formats are always UTF-8.
std::optional<Encoding> OutputEncoding(OutputFormat format) {
    if (format != OutputFormat::Text) return Encoding::Utf8;
    if (const char* forced = std::getenv("TOVIK_ENCODING")) {
        std::string name;
        for (const char* c = forced; *c; ++c)
            if (*c != '-' && *c != '_') name += static_cast<char>(std::tolower(*c));
        if (name == "gbk" || name == "gb18030" || name == "cp936") return Encoding::Gbk;
        if (name == "utf8") return Encoding::Utf8;
    }
    if (isatty(STDOUT_FILENO)) {
        std::setlocale(LC_CTYPE, "");
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return Encoding::Utf8;
    }
    return std::nullopt;
}

// Reads the whole puzzle: the file at `path`, or standard input for "-".
// On failure, `error` says why (an errno value) and `opened` whether the
// file could be opened at all.
bool ReadPuzzle(const char* path, std::string& bytes, int& error, bool& opened) {
    const bool standardInput = std::strcmp(path, "-") == 0;
    FILE* file = standardInput ? stdin : std::fopen(path, "rb");
    opened = file != nullptr;
    if (!opened) {
        error = errno;
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        opened = false;
        error = EISDIR;
    } else {
        char block[8192];
        size_t n;
        while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, n);
        error = std::ferror(file) ? errno : 0;
    }
    if (!standardInput) std::fclose(file);
    return opened && error == 0;
}

// What --stats reports of the search's work: its steps, or the fast search's
// nodes and failures when that ran.
struct Work {
    bool fast = false;
    unsigned long nodes = 0;
    unsigned long failures = 0;
};

// The times of the two phases: compiling (reading the puzzle excluded) and
// searching (printing included).
struct Phases {
    Clock::duration compile{};
    Clock::duration search{};
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void PrintStats(const ConsoleEngine& engine, const Phases& phases, const Work& work,
                Reporter& reporter) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::string done = "steps: " + std::to_string(engine.Steps());
    if (work.fast)
        done =
            "nodes: " + std::to_string(work.nodes) + ", failures: " + std::to_string(work.failures);
    char line[256];
    std::snprintf(line, sizeof line,
                  "solutions: %u, %s, time: %.3f s (compile %.3f s, search %.3f s), peak "
                  "memory: %ld KiB",
                  engine.Solutions(), done.c_str(), Seconds(phases.compile + phases.search),
                  Seconds(phases.compile), Seconds(phases.search), usage.ru_maxrss);
    reporter.Stats(line);
}

// --help, --version and a mistake on the command line answer before any
// puzzle is read, as plain text.
std::optional<int> AnswerWithoutPuzzle(const Options& options) {
    // A mistake wins over --help, wherever it stands.
    if (!options.error.empty()) {
        std::fprintf(stderr, "tovik: %s\n", options.error.c_str());
        return 1;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(kVersion, stdout);
        return 0;
    }
    return std::nullopt;
}

// The line limit, which applies to the search only; --unique=assignments
// stops at the second full assignment instead.
void LimitLines(ConsoleEngine& engine, const Options& options) {
    if (options.unique && options.uniqueAssignments)
        engine.CountAssignments();
    else if (options.unique)
        engine.SetLimit(2);
    else if (options.limit >= 0)
        engine.SetLimit(options.limit);
}

// The stops that apply from the start (the time limit; Ctrl+C is caught
// already), and the fast search in place of the default one.
void Configure(ConsoleEngine& engine, const Options& options, Clock::time_point start, Work& work,
               Reporter& reporter) {
    engine.SetFormat(options.format);
    engine.SetPrintPhases(!options.quiet);
    if (options.count) engine.SetPrintSolutions(false);
    // A limit near or past the clock's last time point (--time-limit 1e10 is
    // some 300 years) never comes: no deadline, rather than a duration that
    // wraps into the past when converted and stops the run at once. Half the
    // clock's remaining range keeps the rounding of doubles clear of the edge.
    const std::chrono::duration<double> limit(options.timeLimit);
    if (options.timeLimit >= 0 && limit < (Clock::time_point::max() - start) / 2)
        engine.SetDeadline(start + std::chrono::duration_cast<Clock::duration>(limit));
    if (!options.fast) return;
    if (options.unique && options.uniqueAssignments) {
        // The fast search completes each line once, so it cannot count
        // the assignments behind a line.
        reporter.Note(Tr("--fast: --unique=assignments counts with the default search"));
        return;
    }
#if TOVIK_FAST
    engine.SetSearch([&work, &reporter](CTovik& host, CProgram& program) {
        FastStats stats;
        work.fast = FastSearch(host, program, &stats);
        work.nodes = stats.nodes;
        work.failures = stats.failures;
        if (!work.fast) reporter.Note("--fast: " + stats.fallback + "; searching the default way");
        return work.fast;
    });
#else
    (void)work;
    reporter.Note("--fast: not available in this build; searching the default way");
#endif
}

// A compile phase stopped by Ctrl+C or the time limit prints nothing more on
// standard output.
int CompileStopStatus(const ConsoleEngine& engine, Reporter& reporter) {
    if (engine.Stopped() == ConsoleEngine::Stop::Interrupt) {
        reporter.Note("interrupted while compiling");
        return 130;
    }
    reporter.Note("compile phase cut short by the time limit");
    return 124;
}

// What --unique counted: solution lines, or full assignments.
size_t UniqueCount(const ConsoleEngine& engine, const Options& options) {
    return options.uniqueAssignments ? engine.AssignmentCount() : engine.Solutions();
}

// How --unique judges what it counted.
const char* Verdict(size_t found) { return found == 0 ? "none" : found == 1 ? "one" : "more"; }

// A search cut short says so on standard error; --unique tells none, one or
// more than one.
int ExitStatus(const ConsoleEngine& engine, const Options& options, Reporter& reporter) {
    const unsigned found = engine.Solutions();
    const std::string soFar = std::to_string(found) + " solution line(s) found so far";
    switch (engine.Stopped()) {
        case ConsoleEngine::Stop::Interrupt:
            reporter.Note("interrupted; " + soFar);
            return 130;
        case ConsoleEngine::Stop::Time:
            reporter.Note("search cut short by the time limit; " + soFar);
            return 124;
        case ConsoleEngine::Stop::Limit:
        case ConsoleEngine::Stop::None:
            break;
    }
    if (!options.unique) return 0;
    const size_t counted = UniqueCount(engine, options);
    if (counted == 0)
        reporter.Note(Tr("no solution"));
    else if (options.uniqueAssignments)
        reporter.Note(counted == 1 ? Tr("exactly one full assignment")
                                   : Tr("more than one full assignment"));
    else
        reporter.Note(counted == 1 ? Tr("exactly one solution line")
                                   : Tr("more than one solution line"));
    return counted == 0 ? 0 : counted == 1 ? 3 : 4;
}

// The last object of the json format: what the search found and did, and
// why it ended.
void PrintSummary(ConsoleEngine& engine, const Options& options, Clock::duration elapsed,
                  const Work& work) {
    static constexpr const char* kEnds[] = {"complete", "limit", "time-limit", "interrupted"};
    std::string summary =
        "{\"type\":\"summary\",\"solutions\":" + std::to_string(engine.Solutions()) +
        ",\"search\":\"" + (work.fast ? "fast" : "default") + "\",";
    if (work.fast)
        summary += "\"nodes\":" + std::to_string(work.nodes) +
                   ",\"failures\":" + std::to_string(work.failures) + ",";
    else
        summary += "\"steps\":" + std::to_string(engine.Steps()) + ",";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", std::chrono::duration<double>(elapsed).count());
    summary += std::string("\"time\":") + seconds + ",\"end\":\"" +
               kEnds[static_cast<int>(engine.Stopped())] + "\"";
    if (options.unique)
        summary += std::string(",\"unique\":\"") + Verdict(UniqueCount(engine, options)) +
                   "\",\"uniqueCounts\":\"" +
                   (options.uniqueAssignments ? "assignments" : "lines") + "\"";
    summary += "}\n";
    engine.Output(summary.c_str());
}

// --count's number, in the format's way.
void PrintCount(ConsoleEngine& engine, OutputFormat format) {
    const std::string count = std::to_string(engine.Solutions());
    switch (format) {
        case OutputFormat::Text:
            engine.Output((count + "\r\n").c_str());
            break;
        case OutputFormat::Lines:
            engine.Output((count + "\n").c_str());
            break;
        case OutputFormat::Csv:
            engine.Output(("solutions\n" + count + "\n").c_str());
            break;
        case OutputFormat::Json:
            break;  // the summary holds it
    }
}

// The documented messages of the text format go to standard output without
// a line end; on a terminal the explanation on standard error then starts a
// line of its own.
void SayOnStandardOutput(ConsoleEngine& engine, const Options& options, Msg message) {
    if (options.format != OutputFormat::Text) return;
    engine.Output(Text(message, engine.TextEncoding()));
    engine.FlushOutput();
    if (isatty(STDOUT_FILENO) && isatty(STDERR_FILENO)) std::fputc('\n', stderr);
}

// --explain after the run. A stop by Ctrl+C or the deadline while
// explaining gives the search's statuses; otherwise `status` stands.
int ExplainRun(ConsoleEngine& engine, const Options& options, const std::string& name,
               std::string bytes, Reporter& reporter, int status) {
    ExplainRequest request;
    request.bytes = std::move(bytes);
    request.fileName = name;
    request.json =
        options.diagnostics == DiagnosticsStyle::Json || options.format == OutputFormat::Json;
    switch (Explain(engine, request)) {
        case ExplainEnd::Done:
            break;
        case ExplainEnd::NotCompiled:
            reporter.Note(Tr("nothing to explain: the puzzle does not compile"));
            break;
        case ExplainEnd::Stopped:
            engine.FlushOutput();
            if (engine.Stopped() == ConsoleEngine::Stop::Interrupt) {
                reporter.Note(Tr("interrupted; the explanation is incomplete"));
                return 130;
            }
            reporter.Note(Tr("the time limit came first; the explanation is incomplete"));
            return 124;
    }
    engine.FlushOutput();
    return status;
}

int Main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    if (std::optional<int> status = AnswerWithoutPuzzle(options)) return *status;
    Reporter reporter(options.format);

    // Standard input is read before Ctrl+C is caught, so that Ctrl+C ends
    // a puzzle being typed at the terminal.
    std::string bytes;
    int error = 0;
    bool opened = true;
    const bool read = options.puzzle != nullptr && ReadPuzzle(options.puzzle, bytes, error, opened);

    std::signal(SIGINT, OnInterrupt);
    const Clock::time_point start = Clock::now();
    ConsoleEngine engine(options.puzzle != nullptr ? options.progress : nullptr,
                         OutputEncoding(options.format), reporter);
    // These two messages come before any puzzle is read, in GBK.
    if (options.puzzle == nullptr) {
        SayOnStandardOutput(engine, options, Msg::NeedFileName);
        reporter.Error("no puzzle file named (see tovik --help)");
        return 1;
    }
    const std::string name = std::strcmp(options.puzzle, "-") == 0 ? "<stdin>" : options.puzzle;
    reporter.SetPuzzle(name);
    DiagnosticsStyle style = options.diagnostics;
    if (style == DiagnosticsStyle::Auto)
        style = isatty(STDERR_FILENO) ? DiagnosticsStyle::Rich : DiagnosticsStyle::None;
    reporter.SetDiagnostics(style, options.warnings);
    if (!opened) {
        SayOnStandardOutput(engine, options, Msg::CannotOpen);
        reporter.Error("cannot open '" + name + "': " + std::strerror(error));
        return 1;
    }
    if (!read) {
        std::fputs("input in flex scanner failed\n", stderr);
        reporter.Error("cannot read '" + name + "': " + std::strerror(error));
        return 2;
    }

    Work work;
    Configure(engine, options, start, work, reporter);
    Phases phases;
    // --explain compiles the text again.
    std::string kept = options.explain ? bytes : std::string();
    const std::unique_ptr<CProgram> program = engine.CompileText(std::move(bytes));
    const Clock::time_point compiled = Clock::now();
    phases.compile = compiled - start;
    if (!program) {
        engine.FlushOutput();
        if (engine.Cancelled()) return CompileStopStatus(engine, reporter);
        if (!engine.ReadFailed())
            return options.explain ? ExplainRun(engine, options, name, std::move(kept), reporter, 1)
                                   : 1;
        reporter.Error("'" + name + "' is too large");
        return 2;
    }
    LimitLines(engine, options);
    engine.Search(*program);
    if (options.count) PrintCount(engine, options.format);
    if (options.format == OutputFormat::Json)
        PrintSummary(engine, options, Clock::now() - start, work);
    engine.FlushOutput();
    phases.search = Clock::now() - compiled;
    if (options.stats) PrintStats(engine, phases, work, reporter);
    const int status = ExitStatus(engine, options, reporter);
    if (!options.explain || status == 124 || status == 130) return status;
    return ExplainRun(engine, options, name, std::move(kept), reporter, status);
}

struct Invocation {
    int argc;
    char** argv;
    int status;
};

// Runs the interpreter; running out of memory anywhere ends it with status 2
// and a clear message instead of a signal.
void* RunInterpreter(void* arg) {
    auto* call = static_cast<Invocation*>(arg);
    try {
        call->status = Main(call->argc, call->argv);
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fputs("tovik: out of memory\n", stderr);
        call->status = 2;
    } catch (const std::length_error&) {
        std::fflush(stdout);
        std::fputs("tovik: out of memory\n", stderr);
        call->status = 2;
    }
    return nullptr;
}

}  // namespace

// Expressions nest as deeply as the puzzle writes them (a chain of 200,000
// sums is a tree 200,000 levels deep), and the compile phase and the search
// walk them recursively. The interpreter therefore runs on a thread with a
// large stack; the pages are only touched as deep as a puzzle needs. The
// memory cap is set first and the stack takes at most a quarter of it; when
// even that cannot be had, smaller stacks are tried, then the main thread.
int main(int argc, char** argv) {
#ifdef __EMSCRIPTEN__
    // The WebAssembly build's standard output is line-buffered, and its host
    // gets every write as one message: a full buffer hands lines over in large
    // pieces (the console engine still flushes output that has waited 50 ms).
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
#endif
    StartTranslations(LocaleDirectory());
    Invocation call{argc, argv, 2};
    // A mistake on the command line is reported by Main; the default cap
    // holds until then.
    const uint64_t requested = ParseOptions(argc, argv).memoryLimit;
    const uint64_t cap = requested != 0 ? requested : DefaultMemoryLimit();
    ApplyMemoryLimit(cap);
    for (size_t megabytes : {4096, 1024, 256, 64}) {
        if (megabytes != 64 && (uint64_t{megabytes} << 20) > cap / 4) continue;
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_t thread;
        bool started = pthread_attr_setstacksize(&attr, megabytes << 20) == 0 &&
                       pthread_create(&thread, &attr, RunInterpreter, &call) == 0;
        pthread_attr_destroy(&attr);
        if (started) {
            pthread_join(thread, nullptr);
            return call.status;
        }
    }
    RunInterpreter(&call);
    return call.status;
}
