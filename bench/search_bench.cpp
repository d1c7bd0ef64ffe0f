// Times compile + search of each bundled example puzzle and of each bench
// puzzle whose steps are pinned (the others search for hours), with output
// discarded, in one process: to the microsecond, where --stats gives
// milliseconds. Run: ./build/tovik_bench   (the "steps" counter is the
// search's step count, "steps/s" the steps per second of compile + search)
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "engine/tovik.h"

namespace {

class SilentEngine : public CTovik {
public:
    void Output(const char*) override {}
};

void RunPuzzle(benchmark::State& state, const std::string& path) {
    SilentEngine engine;
    for (auto _ : state) {
        engine.Run(path.c_str());
    }
    state.counters["steps"] = static_cast<double>(engine.Steps());
    state.counters["steps/s"] = benchmark::Counter(
        static_cast<double>(engine.Steps()) * state.iterations(), benchmark::Counter::kIsRate);
}

// Every puzzle of `folder`; with `pinnedOnly`, those with a .steps file beside.
void Register(const char* folder, bool pinnedOnly) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const fs::path& puzzle = entry.path();
        if (puzzle.extension() != ".tvk") continue;
        if (pinnedOnly && !fs::exists(fs::path(puzzle).replace_extension(".steps"))) continue;
        std::string path = puzzle.string();
        benchmark::RegisterBenchmark(puzzle.stem().string().c_str(), [path](benchmark::State& s) {
            RunPuzzle(s, path);
        })->Unit(benchmark::kMillisecond);
    }
}

int RegisterPuzzles() {
    Register(TOVIK_EXAMPLES_DIR, false);
    Register(TOVIK_PUZZLES_DIR, true);
    return 0;
}

const int registered = RegisterPuzzles();

}  // namespace

BENCHMARK_MAIN();
