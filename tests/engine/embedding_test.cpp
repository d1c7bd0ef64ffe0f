// The engine as an embedding host sees it: a compiled program kept while
// other puzzles run and searched afterwards (with either search), engines
// running side by side on two threads, a file that cannot be read, a host
// that takes solution lines whole, a host that cancels at once, and the
// step count beside the progress counter.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <type_traits>
#include <utility>

#include "../support/test_support.h"
#include "model/program.h"
#if TOVIK_FAST
#include "fast/fast_search.h"
#endif

namespace tovik_test {
namespace {

const std::string kCompiling = Gbk("正在编译……\r\n");
const std::string kSearching = Gbk("正在搜索……\r\n");

// x(i) over i = 1..3 takes the values 1..3 once each, x(1) > x(2): 321 and
// 312, in this order by the default search and the other way by the fast one.
const std::string kKept =
    "N{} = {1, 2, 3};\nN x(N);\n互不同(x(1), x(2), x(3));\n# i in N, x(i) != i | i = 2;\n"
    "x(1) > x(2);\noutput {x(1) x(2) x(3)}\n";
const std::string kKeptLines = "321\r\n312\r\n";
const std::string kOther = "M{} = {5, 6};\nM y, z;\ny != z;\noutput {y \"-\" z}\n";
const std::string kOtherLines = "6-5\r\n5-6\r\n";

std::string RunText(RecordingTovik& engine, const std::string& text) {
    engine.output.clear();
    engine.Run(PuzzleFile(Gbk(text)));
    return engine.output;
}

// The kept program's nodes and variables belong to it alone: the other run
// releases only its own, and the kept one searches as if nothing had happened.
TEST(Embedding, AKeptProgramSearchesAfterAnotherRun) {
    for (bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast search" : "default search");
        RecordingTovik engine;
#if TOVIK_FAST
        if (fast)
            engine.SetSearch([](CTovik& e, CProgram& p) {
                FastStats stats;
                return FastSearch(e, p, &stats);
            });
#else
        if (fast) continue;
#endif
        std::unique_ptr<CProgram> kept = engine.Compile(PuzzleFile(Gbk(kKept)));
        ASSERT_NE(kept, nullptr) << engine.output;
        EXPECT_EQ(RunText(engine, kOther), kCompiling + kSearching + kOtherLines);
        engine.output.clear();
        EXPECT_TRUE(engine.Search(*kept));
        EXPECT_EQ(engine.output, kSearching + (fast ? "312\r\n321\r\n" : kKeptLines));
        EXPECT_EQ(engine.Solutions(), 2u);
        // The search consumed the program: a second one prints nothing.
        engine.output.clear();
        EXPECT_FALSE(engine.Search(*kept));
        EXPECT_EQ(engine.output, "");
    }
}

// Nothing of a run is process-wide: line numbers, encodings and programs of
// two engines on two threads never mix.
TEST(Embedding, TwoEnginesRunOnTwoThreads) {
    const std::string error = "N{} = {1, 2};\nN a;\n\na = = 1;\n";
    const std::string errorLine = "4" + Gbk(" 行: ") + "parse error \r\n";
    const std::string utf8 = "人{} = {\"甲\", \"乙\"};\n人 谁;\n谁 != \"乙\";\n输出{\"是\" 谁}\n";
    auto work = [&](int id, bool* ok) {
        RecordingTovik engine;
        for (int round = 0; round < 200 && *ok; ++round) {
            *ok = RunText(engine, id == 0 ? kKept : kOther) ==
                      kCompiling + kSearching + (id == 0 ? kKeptLines : kOtherLines) &&
                  RunText(engine, error) == kCompiling + errorLine;
            engine.output.clear();
            engine.Run(PuzzleFile(utf8));  // stays UTF-8: detected per puzzle
            *ok = *ok && engine.output == "正在编译……\r\n正在搜索……\r\n是甲\r\n";
        }
    };
    bool ok0 = true, ok1 = true;
    std::thread first(work, 0, &ok0), second(work, 1, &ok1);
    first.join();
    second.join();
    EXPECT_TRUE(ok0);
    EXPECT_TRUE(ok1);
}

// A read error is the engine's answer, not the end of the process.
TEST(Embedding, AnUnreadableFileIsAReturnValue) {
    RecordingTovik engine;
    EXPECT_FALSE(engine.Run(static_cast<FILE*>(nullptr)));
    EXPECT_FALSE(engine.Run(TOVIK_TEST_DIR));  // a directory is not opened
    EXPECT_FALSE(engine.ReadFailed());
    EXPECT_FALSE(engine.Run(std::fopen(TOVIK_TEST_DIR, "rb")));  // opened, but reading fails
    EXPECT_TRUE(engine.ReadFailed());
    EXPECT_FALSE(engine.HadError());
    EXPECT_EQ(engine.output, "");
    EXPECT_EQ(RunText(engine, kOther), kCompiling + kSearching + kOtherLines);
    EXPECT_FALSE(engine.ReadFailed());
}

// A host that takes whole lines gets the bytes an item-by-item host gets, in
// one Output call per line: strings with escapes, negative numbers, a
// repeated line dropped; texts longer than the line's copy blocks and the
// longest number.
TEST(Embedding, AHostThatTakesWholeLinesGetsTheSameBytes) {
    struct WholeLines : RecordingTovik {
        bool TakesWholeLines() const override { return true; }
        void Output(const char* text) override {
            RecordingTovik::Output(text);
            ++calls;
        }
        int calls = 0;
    };
    const std::string puzzle = R"(S{} = {"a\tb", "c d"};
N{} = {-12, 0, 7};
S s;
N n;
n != 0 | s = "c d";
output {"[" s "]\t" n "\\"}
)";
    const std::string lines =
        "[c d]\t7\\\r\n[c d]\t0\\\r\n[c d]\t-12\\\r\n"
        "[a\tb]\t-12\\\r\n[a\tb]\t7\\\r\n";
    RecordingTovik items;
    WholeLines whole;
    EXPECT_EQ(RunText(items, puzzle), kCompiling + kSearching + lines);
    EXPECT_EQ(RunText(whole, puzzle), kCompiling + kSearching + lines);
    EXPECT_EQ(whole.calls, 2 + 5);

    const std::string longTexts = R"(L{} = {"x", "a string value of more than thirty-two bytes"};
N{} = {-2147483647, 5};
L l;
N n;
output {"a text of more than sixteen bytes: " l " " n}
)";
    RecordingTovik longItems;
    WholeLines longWhole;
    const std::string expected = RunText(longItems, longTexts);
    EXPECT_NE(expected.find("bytes: a string value of more than thirty-two bytes -2147483647\r\n"),
              std::string::npos);
    EXPECT_EQ(RunText(longWhole, longTexts), expected);
    EXPECT_EQ(longWhole.calls, 2 + 4);
}

TEST(Embedding, AHostThatCancelsGetsOnlyThePhaseLines) {
    RecordingTovik engine;
    engine.cancel = true;
    EXPECT_EQ(RunText(engine, kOther), kCompiling + kSearching);
    EXPECT_EQ(engine.Progress(), 0u);
    EXPECT_EQ(engine.Steps(), 0u);
    EXPECT_TRUE(engine.progress.empty());
}

// OnProgress hears of every step with the 32-bit counter; the count that
// --stats prints is kept in 64 bits, so that it does not wrap as the counter
// does after 4,294,967,295 steps (minutes of a hard search).
TEST(Embedding, TheStepCountFollowsTheProgressCounter) {
    static_assert(std::is_same_v<decltype(std::declval<const CTovik&>().Steps()), uint64_t>);
    RecordingTovik engine;
    RunText(engine, kOther);
    ASSERT_FALSE(engine.progress.empty());
    EXPECT_EQ(engine.Steps(), engine.progress.size());
    EXPECT_EQ(engine.Progress(), engine.progress.back());
}

}  // namespace
}  // namespace tovik_test
