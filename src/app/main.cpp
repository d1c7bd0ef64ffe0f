// Entry point of `tovik`: tovik [OPTIONS] PUZZLE [PROGRESS]. The exit statuses
// are listed in the usage text (options.cpp).
#include <langinfo.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/console_engine.h"
#include "app/memory_limit.h"
#include "app/options.h"
#include "model/program.h"
#include "text/encoding.h"
#include "text/messages.h"
#if TOVIK_FAST
#include "fast/fast_search.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kVersion = "tovik " TOVIK_VERSION "\n";

void OnInterrupt(int) { ConsoleEngine::s_interrupted = 1; }

// TOVIK_ENCODING forces the output encoding; otherwise a UTF-8 terminal gets
// UTF-8, and a pipe or a file gets the bytes exactly as produced.
std::optional<Encoding> OutputEncoding() {
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

FILE* OpenPuzzle(const char* path) {
    FILE* file = std::fopen(path, "rb");
    struct stat info {};
    if (file != nullptr && (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(file);
        file = nullptr;
    }
    return file;
}

// What --stats reports of the search's work: its steps, or the fast search's
// nodes and failures when that ran.
struct Work {
    bool fast = false;
    unsigned long nodes = 0;
    unsigned long failures = 0;
};

// The times of the two phases: compiling (reading the file included) and
// searching (printing included).
struct Phases {
    Clock::duration compile{};
    Clock::duration search{};
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void PrintStats(const ConsoleEngine& engine, const Phases& phases, const Work& work) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::string done = "steps: " + std::to_string(engine.Progress());
    if (work.fast)
        done =
            "nodes: " + std::to_string(work.nodes) + ", failures: " + std::to_string(work.failures);
    std::fprintf(stderr,
                 "solutions: %u, %s, time: %.3f s (compile %.3f s, search %.3f s), peak memory: "
                 "%ld KiB\n",
                 engine.Solutions(), done.c_str(), Seconds(phases.compile + phases.search),
                 Seconds(phases.compile), Seconds(phases.search), usage.ru_maxrss);
}

// --help, --version and a malformed option answer before any puzzle is read.
std::optional<int> AnswerWithoutPuzzle(const Options& options) {
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(kVersion, stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "tovik: %s\n", options.error.c_str());
        return 1;
    }
    return std::nullopt;
}

// The line limit, which applies to the search only.
void LimitLines(ConsoleEngine& engine, const Options& options) {
    if (options.unique)
        engine.SetLimit(2);
    else if (options.limit >= 0)
        engine.SetLimit(options.limit);
}

// The stops that apply from the start (the time limit, Ctrl+C), and the fast
// search in place of the default one.
void Configure(ConsoleEngine& engine, const Options& options, Clock::time_point start, Work& work) {
    if (options.count) engine.SetPrintSolutions(false);
    if (options.timeLimit >= 0)
        engine.SetDeadline(start + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(options.timeLimit)));
    std::signal(SIGINT, OnInterrupt);
    if (!options.fast) return;
#if TOVIK_FAST
    engine.SetSearch([&work](CTovik& host, CProgram& program) {
        FastStats stats;
        work.fast = FastSearch(host, program, &stats);
        work.nodes = stats.nodes;
        work.failures = stats.failures;
        if (!work.fast)
            std::fprintf(stderr, "tovik: --fast: %s; searching the default way\n",
                         stats.fallback.c_str());
        return work.fast;
    });
#else
    (void)work;
    std::fputs("tovik: --fast: not available in this build; searching the default way\n", stderr);
#endif
}

// A compile phase stopped by Ctrl+C or the time limit prints nothing more on
// standard output.
int CompileStopStatus(const ConsoleEngine& engine) {
    if (engine.Stopped() == ConsoleEngine::Stop::Interrupt) {
        std::fputs("tovik: interrupted while compiling\n", stderr);
        return 130;
    }
    std::fputs("tovik: compile phase cut short by the time limit\n", stderr);
    return 124;
}

// A search cut short says so on standard error; --unique tells none, one or
// more than one.
int ExitStatus(const ConsoleEngine& engine, const Options& options) {
    const unsigned found = engine.Solutions();
    switch (engine.Stopped()) {
        case ConsoleEngine::Stop::Interrupt:
            std::fprintf(stderr, "tovik: interrupted; %u solution line(s) found so far\n", found);
            return 130;
        case ConsoleEngine::Stop::Time:
            std::fprintf(stderr,
                         "tovik: search cut short by the time limit; %u solution line(s) found "
                         "so far\n",
                         found);
            return 124;
        case ConsoleEngine::Stop::Limit:
        case ConsoleEngine::Stop::None:
            break;
    }
    if (!options.unique) return 0;
    if (found == 0) {
        std::fputs("tovik: no solution\n", stderr);
        return 0;
    }
    std::fputs(found == 1 ? "tovik: exactly one solution\n" : "tovik: more than one solution\n",
               stderr);
    return found == 1 ? 3 : 4;
}

int Main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    if (std::optional<int> status = AnswerWithoutPuzzle(options)) return *status;

    const Clock::time_point start = Clock::now();
    ConsoleEngine engine(options.puzzle != nullptr ? options.progress : nullptr, OutputEncoding());
    // These two messages come before any puzzle is read, in GBK.
    if (options.puzzle == nullptr) {
        engine.Output(Text(Msg::NeedFileName, engine.TextEncoding()));
        return 1;
    }
    FILE* file = OpenPuzzle(options.puzzle);
    if (file == nullptr) {
        engine.Output(Text(Msg::CannotOpen, engine.TextEncoding()));
        return 1;
    }

    Work work;
    Configure(engine, options, start, work);
    Phases phases;
    const std::unique_ptr<CProgram> program = engine.Compile(file);
    const Clock::time_point compiled = Clock::now();
    phases.compile = compiled - start;
    if (!program) {
        std::fflush(stdout);
        if (engine.Cancelled()) return CompileStopStatus(engine);
        if (!engine.ReadFailed()) return 1;
        std::fputs("input in flex scanner failed\n", stderr);
        return 2;
    }
    LimitLines(engine, options);
    engine.Search(*program);
    if (options.count) engine.Output((std::to_string(engine.Solutions()) + "\r\n").c_str());
    std::fflush(stdout);
    phases.search = Clock::now() - compiled;
    if (options.stats) PrintStats(engine, phases, work);
    return ExitStatus(engine, options);
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
    Invocation call{argc, argv, 2};
    // A malformed option is reported by Main; the default cap holds until then.
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
