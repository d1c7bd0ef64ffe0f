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
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "engine/encoding.h"
#include "engine/messages.h"
#include "engine/mylog.h"
#include "engine/options.h"
#if TOVIK_FAST
#include "fast/fast_search.h"
#else
// What --stats reports of a fast search, which this build does not have.
struct FastStats {
    unsigned long nodes = 0;
    unsigned long failures = 0;
};
#endif

namespace {

constexpr const char* kVersion = "tovik " TOVIK_VERSION "\n";

void OnInterrupt(int) { MyLog::s_interrupted = 1; }

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

// A message printed before any puzzle is read is produced in GBK.
void PrintMessage(MyLog& console, Msg message) { console.Output(Text(message)); }

FILE* OpenPuzzle(const char* path) {
    FILE* file = std::fopen(path, "rb");
    struct stat info {};
    if (file != nullptr && (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(file);
        file = nullptr;
    }
    return file;
}

// `fast` is set when the fast search ran: its nodes and failures replace the steps.
void PrintStats(const MyLog& engine, std::chrono::steady_clock::duration elapsed,
                const FastStats* fast) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::string work = "steps: " + std::to_string(engine.Progress());
    if (fast != nullptr)
        work = "nodes: " + std::to_string(fast->nodes) +
               ", failures: " + std::to_string(fast->failures);
    std::fprintf(stderr, "solutions: %u, %s, time: %.3f s, peak memory: %ld KiB\n",
                 engine.Solutions(), work.c_str(), std::chrono::duration<double>(elapsed).count(),
                 usage.ru_maxrss);
}

int Main(int argc, char** argv) {
    Options options = ParseOptions(argc, argv);
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

    const auto start = std::chrono::steady_clock::now();
    MyLog engine(options.puzzle != nullptr ? options.progress : nullptr);
    engine.SetOutputEncoding(OutputEncoding());
    if (options.puzzle == nullptr) {
        PrintMessage(engine, Msg::NeedFileName);
        return 1;
    }
    FILE* file = OpenPuzzle(options.puzzle);
    if (file == nullptr) {
        PrintMessage(engine, Msg::CannotOpen);
        return 1;
    }

    if (options.count) engine.SetPrintSolutions(false);
    if (options.unique)
        engine.SetLimit(2);
    else if (options.limit >= 0)
        engine.SetLimit(options.limit);
    if (options.timeLimit >= 0)
        engine.SetDeadline(start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                       std::chrono::duration<double>(options.timeLimit)));
    std::signal(SIGINT, OnInterrupt);
    FastStats fast;
    bool fastRan = false;
    if (options.fast) {
#if TOVIK_FAST
        engine.SetSearch([&](CTovik& host, CProgram& program) {
            fastRan = FastSearch(host, program, &fast);
            if (!fastRan)
                std::fprintf(stderr, "tovik: --fast: %s; searching the default way\n",
                             fast.fallback.c_str());
            return fastRan;
        });
#else
        std::fputs("tovik: --fast: not available in this build; searching the default way\n",
                   stderr);
#endif
    }

    if (!engine.Run(file)) return 1;
    if (options.count) engine.Output((std::to_string(engine.Solutions()) + "\r\n").c_str());
    std::fflush(stdout);

    const unsigned found = engine.Solutions();
    if (options.stats)
        PrintStats(engine, std::chrono::steady_clock::now() - start, fastRan ? &fast : nullptr);
    switch (engine.Stopped()) {
        case MyLog::Stop::Interrupt:
            std::fprintf(stderr, "tovik: interrupted; %u solution line(s) found so far\n", found);
            return 130;
        case MyLog::Stop::Time:
            std::fprintf(stderr,
                         "tovik: search cut short by the time limit; %u solution line(s) found "
                         "so far\n",
                         found);
            return 124;
        case MyLog::Stop::Limit:
        case MyLog::Stop::None:
            break;
    }
    if (options.unique) {
        if (found == 0)
            std::fputs("tovik: no solution\n", stderr);
        else if (found == 1)
            std::fputs("tovik: exactly one solution\n", stderr);
        else
            std::fputs("tovik: more than one solution\n", stderr);
        return found == 0 ? 0 : found == 1 ? 3 : 4;
    }
    return 0;
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
// large stack; the pages are only touched as deep as a puzzle needs. Under a
// tight address-space limit smaller stacks are tried, then the main thread.
int main(int argc, char** argv) {
#ifdef __EMSCRIPTEN__
    // The WebAssembly build's standard output is line-buffered, and its host
    // gets every write as one message: a full buffer hands lines over in large
    // pieces (MyLog still flushes output that has waited 50 ms).
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
#endif
    Invocation call{argc, argv, 2};
    for (size_t megabytes : {4096, 1024, 256, 64}) {
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
