// Times compile + search of each bundled example puzzle, with output discarded.
// Run: ./build/tovik_bench   (the "steps" counter is the search's step count)
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
    state.counters["steps"] = engine.Progress();
}

int RegisterExamples() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(TOVIK_EXAMPLES_DIR, ec)) {
        if (entry.path().extension() != ".tvk") continue;
        std::string path = entry.path().string();
        benchmark::RegisterBenchmark(entry.path().stem().string().c_str(),
                                     [path](benchmark::State& s) { RunPuzzle(s, path); })
            ->Unit(benchmark::kMillisecond);
    }
    return 0;
}

const int registered = RegisterExamples();

}  // namespace

BENCHMARK_MAIN();
