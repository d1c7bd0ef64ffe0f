// The conflict that --explain reports, against brute force: for random small
// puzzles without solutions, the condition statements FindConflict returns
// cannot hold together, and leaving out any one of them leaves a solution.
// Statements are left out here by blanking their lines (the generator writes
// one statement per line), not by the compiler's own mechanism that the probe
// uses, and satisfiability is brute-force enumeration, not a search.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../support/test_support.h"
#include "brute_force.h"
#include "engine/probe.h"
#if TOVIK_FAST
#include "fast/fast_search.h"
#endif
#include "random_puzzle.h"

namespace tovik_property {
namespace {

// Seeds per run: a few seconds; a probe past this many search steps is left out.
constexpr uint32_t kSeeds = 3000;
constexpr unsigned kStepBudget = 2000000;

// The puzzle with the given lines (from 1) blanked.
std::string Without(const std::string& puzzle, const std::set<int>& lines) {
    std::istringstream in(puzzle);
    std::string out;
    int number = 0;
    for (std::string line; std::getline(in, line);)
        out += (lines.count(++number) ? "" : line) + "\n";
    return out;
}

// Whether the text compiles and some assignment satisfies it; a condition the
// compiler rejects as never holding means none.
bool HasSolution(const std::string& text) {
    tovik_test::RecordingTovik engine;
    std::unique_ptr<CProgram> program = tovik_test::CompileText(engine, text);
    return program != nullptr && !BruteForceLines(*program).empty();
}

TEST(ExplainProperty, ConflictsOfRandomPuzzlesWithoutSolutionsAreMinimal) {
    const char* start = std::getenv("TOVIK_PROPERTY_SEED_START");
    const uint32_t first = start != nullptr ? std::strtoul(start, nullptr, 10) : 1;
    uint32_t unsolvable = 0, checked = 0;
    for (uint32_t seed = first; seed - first < kSeeds; ++seed) {
        const std::string puzzle = RandomPuzzle(seed);
        tovik_test::RecordingTovik compiler;
        std::unique_ptr<CProgram> program = tovik_test::CompileText(compiler, puzzle);
        if (!program || !BruteForceLines(*program).empty()) continue;
        ++unsolvable;
        unsigned polls = 0;
        CTovik::SearchHook quick;
#if TOVIK_FAST
        quick = FastSearchHook();
#endif
        Probe probe([&polls] { return ++polls > kStepBudget; }, quick);
        const Conflict conflict = FindConflict(probe, puzzle);
        if (conflict.kind == Conflict::Kind::Stopped) continue;
        ++checked;
        ASSERT_EQ(conflict.kind, Conflict::Kind::Found) << "seed " << seed << "\n" << puzzle;
        ASSERT_FALSE(conflict.members.empty()) << "seed " << seed;
        std::set<int> others, members;
        for (size_t i = 0; i < conflict.statements.size(); ++i)
            (std::count(conflict.members.begin(), conflict.members.end(), i) ? members : others)
                .insert(conflict.statements[i].line);
        ASSERT_EQ(members.size() + others.size(), conflict.statements.size())
            << "seed " << seed << ": two statements on one line\n"
            << puzzle;
        EXPECT_FALSE(HasSolution(Without(puzzle, others)))
            << "seed " << seed << ": the conflict holds together\n"
            << puzzle;
        for (int line : members) {
            std::set<int> left = others;
            left.insert(line);
            EXPECT_TRUE(HasSolution(Without(puzzle, left)))
                << "seed " << seed << ": line " << line << " is not needed\n"
                << puzzle;
        }
    }
    std::printf("%u puzzles from seed %u: %u without solutions, %u conflicts checked\n", kSeeds,
                first, unsolvable, checked);
    EXPECT_GE(checked * 10, unsolvable * 9) << "too many probes ran out of steps";
    EXPECT_GE(checked, kSeeds / 20) << "too few generated puzzles without solutions";
}

}  // namespace
}  // namespace tovik_property
