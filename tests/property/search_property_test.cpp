// The search against brute force: for thousands of random small puzzles, the
// set of lines tovik prints, with the default and with the fast search,
// equals the set the output items give for the assignments that satisfy every
// compiled condition and the ordering and subscript rules. The default
// search's watcher rows change nothing it prints or counts. A puzzle that does
// not compile prints no line either way. TOVIK_PROPERTY_SEED_START and
// TOVIK_PROPERTY_COUNT choose the seeds (see README.md for long runs).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../support/test_support.h"
#include "brute_force.h"
#include "compile/diagnostics.h"
#if TOVIK_FAST
#include "fast/fast_search.h"
#endif
#include "random_puzzle.h"
#include "search/searcher.h"

namespace tovik_property {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Puzzles per CI run: some seconds in either build.
constexpr uint32_t kDefaultCount = kSanitized ? 500 : 10000;
// Failing seeds printed in full before the rest are only counted.
constexpr int kReportedFailures = 5;
// Search steps after which a puzzle is left out rather than compared: a few
// small puzzles make the search branch on one candidate over and over.
constexpr unsigned kStepBudget = 2000000;

uint32_t EnvOr(const char* name, uint32_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : fallback;
}

// The engine's output as solution lines: the texts after the two phase lines,
// cut at each "\r\n" (generated texts hold no line break).
class LineTovik : public CTovik {
public:
    void Output(const char* text) override { m_all += text; }
    bool IsCancel() override { return ++m_polls > kStepBudget; }
    bool Cancelled() const { return m_polls > kStepBudget; }

    const std::string& All() const { return m_all; }
    std::vector<std::string> SolutionLines() const {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = m_all.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(m_all.substr(start, end - start));
        lines.erase(lines.begin(), lines.begin() + std::min<size_t>(2, lines.size()));
        std::sort(lines.begin(), lines.end());
        return lines;
    }

private:
    std::string m_all;
    unsigned m_polls = 0;
};

// The lines tovik prints with the default search, or the fast one when
// `fellBack` is given (it counts the fast searches that declined); false when
// the search ran out of steps.
bool Printed(const std::string& puzzle, std::vector<std::string>* lines,
             uint32_t* fellBack = nullptr) {
    LineTovik engine;
#if TOVIK_FAST
    FastStats stats;
    if (fellBack != nullptr) {
        engine.SetSearch([&stats, fellBack](CTovik& e, CProgram& p) {
            const bool ran = FastSearch(e, p, &stats);
            *fellBack += !ran;
            return ran;
        });
    }
#else
    if (fellBack != nullptr) ++*fellBack;  // no fast search in this build
#endif
    engine.Run(tovik_test::PuzzleFile(puzzle));
    *lines = engine.SolutionLines();
    return !engine.Cancelled();
}

// The default search's whole output and its steps, with or without the
// watcher rows.
std::pair<std::string, uint64_t> DefaultRun(const std::string& puzzle, bool watcherRows) {
    LineTovik engine;
    uint64_t steps = 0;
    engine.SetSearch([&](CTovik& e, CProgram& p) {
        Searcher searcher(e, p, watcherRows);
        searcher.Run();
        steps = searcher.Steps();
        return true;
    });
    engine.Run(tovik_test::PuzzleFile(puzzle));
    return {engine.All(), steps};
}

// Remembers whether the compiler warned that a condition can never hold,
// which it may only say of a puzzle without solutions.
class WarningTovik : public tovik_test::RecordingTovik {
public:
    void OnDiagnostic(const Diagnostic& d) override { neverHolds |= d.code == "never-true"; }
    bool neverHolds = false;
};

std::string Show(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "    [" + line + "]\n";
    return text.empty() ? "    (none)\n" : text;
}

TEST(SearchProperty, PrintsExactlyTheBruteForceSolutionsOfRandomPuzzles) {
    const uint32_t first = EnvOr("TOVIK_PROPERTY_SEED_START", 1);
    const uint32_t count = EnvOr("TOVIK_PROPERTY_COUNT", kDefaultCount);
    uint32_t compiled = 0, solved = 0, failures = 0, fellBack = 0, slowestSeed = first;
    std::string skipped;
    double slowest = 0;
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t seed = first; seed - first < count; ++seed) {
        const auto puzzleStart = std::chrono::steady_clock::now();
        const std::string puzzle = RandomPuzzle(seed);
        WarningTovik compiler;
        std::unique_ptr<CProgram> program = compiler.Compile(tovik_test::PuzzleFile(puzzle));
        const std::vector<std::string> expected =
            program ? BruteForceLines(*program) : std::vector<std::string>{};
        if (compiler.neverHolds && !expected.empty() && ++failures <= kReportedFailures)
            ADD_FAILURE() << "seed " << seed << ": a condition never holds, says the warning, "
                          << "yet the puzzle has solutions\n"
                          << puzzle;
        std::vector<std::string> printed, fastPrinted;
        const bool finished = Printed(puzzle, &printed);
        const bool fastFinished = Printed(puzzle, &fastPrinted, &fellBack);
        if (!finished || !fastFinished) skipped += " " + std::to_string(seed);
        compiled += program != nullptr;
        solved += !expected.empty();
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - puzzleStart).count();
        if (took > slowest) slowest = took, slowestSeed = seed;
        for (const auto& [label, lines, done] :
             {std::tuple{"tovik", &printed, finished},
              std::tuple{"tovik --fast", &fastPrinted, fastFinished}}) {
            if (!done || *lines == expected) continue;
            if (++failures > kReportedFailures) continue;
            std::vector<std::string> missing, extra;
            std::set_difference(expected.begin(), expected.end(), lines->begin(), lines->end(),
                                std::back_inserter(missing));
            std::set_difference(lines->begin(), lines->end(), expected.begin(), expected.end(),
                                std::back_inserter(extra));
            ADD_FAILURE() << "seed " << seed << " (rerun: TOVIK_PROPERTY_SEED_START=" << seed
                          << " TOVIK_PROPERTY_COUNT=1)\n--- puzzle ---\n"
                          << puzzle << "--- brute force: " << expected.size() << " lines ---\n"
                          << Show(expected) << "--- " << label << ": " << lines->size()
                          << " lines ---\n"
                          << Show(*lines) << "--- missing from " << label << " ---\n"
                          << Show(missing)
                          << "--- printed but not solutions (or printed twice) ---\n"
                          << Show(extra);
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "%u puzzles from seed %u: %u compiled, %u with solutions, %u mismatches, "
        "%.1f s (%.0f/s), slowest seed %u (%.3f s)\n",
        count, first, compiled, solved, failures, seconds, count / seconds, slowestSeed, slowest);
    std::printf("the fast search fell back to the default one on %u puzzles\n", fellBack);
    if (!skipped.empty())
        std::printf("over %u search steps, not compared:%s\n", kStepBudget, skipped.c_str());
    EXPECT_EQ(failures, 0u);
    // The property says little if most puzzles fail to compile or have no
    // solution; keep the generator honest.
    if (count >= 200) {
        EXPECT_GE(compiled * 10, count * 6) << "too few generated puzzles compile";
        EXPECT_GE(solved * 10, count * 3) << "too few generated puzzles have solutions";
    }
}

// The watcher rows only save work: with or without them, the default search
// takes the same steps and prints the same bytes in the same order.
TEST(SearchProperty, WatcherRowsChangeNeitherStepsNorOutput) {
    const uint32_t first = EnvOr("TOVIK_PROPERTY_SEED_START", 1);
    const uint32_t count = EnvOr("TOVIK_PROPERTY_COUNT", kDefaultCount);
    int failures = 0;
    for (uint32_t seed = first; seed - first < count && failures < kReportedFailures; ++seed) {
        const std::string puzzle = RandomPuzzle(seed);
        const auto with = DefaultRun(puzzle, true), without = DefaultRun(puzzle, false);
        if (with != without)
            ++failures, ADD_FAILURE() << "seed " << seed << ": " << with.second
                                      << " steps with rows, " << without.second << " without\n"
                                      << puzzle;
    }
}

}  // namespace
}  // namespace tovik_property
