// The engine's run phases seen by an embedding host: what Run and Compile
// print and return, the error line format, and several runs in one process.
#include <gtest/gtest.h>

#include "../support/test_support.h"
#include "engine/encoding.h"
#include "engine/messages.h"

namespace tovik_test {
namespace {

// The interpreter's texts as GBK bytes, spelled out.
const std::string kCompiling =
    "\xD5\xFD\xD4\xDA\xB1\xE0\xD2\xEB\xA1\xAD\xA1\xAD\r\n";  // 正在编译……
const std::string kSearching =
    "\xD5\xFD\xD4\xDA\xCB\xD1\xCB\xF7\xA1\xAD\xA1\xAD\r\n";  // 正在搜索……
const std::string kLine = " \xD0\xD0: ";                     // " 行: "
const std::string kUndefinedVariable = "\xB1\xE4\xC1\xBF\xC3\xBB\xD3\xD0\xB6\xA8\xD2\xE5";
const std::string kBadOutput = "\xB4\xED\xCE\xF3\xB5\xC4\xCA\xE4\xB3\xF6\xD2\xAA\xC7\xF3";

std::string ErrorLine(int line, const std::string& message) {
    return std::to_string(line) + kLine + message + " \r\n";
}

TEST(EngineTest, NothingToReadPrintsNothing) {
    RecordingTovik engine;
    EXPECT_FALSE(engine.Run(static_cast<FILE*>(nullptr)));
    EXPECT_EQ(engine.Compile(nullptr), nullptr);
    EXPECT_FALSE(engine.Run(TOVIK_TEST_DIR));  // a directory
    EXPECT_FALSE(engine.Run(TOVIK_TEST_DIR "/no such puzzle.tvk"));
    EXPECT_EQ(engine.output, "");
    EXPECT_EQ(engine.Progress(), 0u);
}

TEST(EngineTest, CompileLeavesTheProgramCurrentUntilItIsReleased) {
    RecordingTovik engine;
    std::unique_ptr<CProgram> program =
        CompileText(engine, "N{} = {1, 2};\nN x, y;\nx != y;\noutput{x}\n");
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(engine.output, kCompiling);
    EXPECT_FALSE(engine.HadError());
    EXPECT_EQ(CurrentProgram(), program.get());
    EXPECT_EQ(program->conditions.size(), 1u);
    EXPECT_EQ(program->output.keyVariables, (std::vector<CVariable*>{Simple(*program, "x")}));
    program.reset();
    EXPECT_EQ(CurrentProgram(), nullptr);
    EXPECT_TRUE(NodeRegistry::Nodes().empty());
}

TEST(EngineTest, CompileErrorsPrintTheLineAndMessageAndReturnNull) {
    RecordingTovik engine;
    EXPECT_EQ(CompileText(engine, "N{} = {1, 2};\nN x;\n\ny = 1;\nN z;\n"), nullptr);
    EXPECT_EQ(engine.output, kCompiling + ErrorLine(4, kUndefinedVariable));
    EXPECT_TRUE(engine.HadError());
    EXPECT_EQ(CurrentProgram(), nullptr);
    EXPECT_TRUE(NodeRegistry::Nodes().empty());

    // A rejected output request lets the parse go on; it alone still fails.
    engine.output.clear();
    EXPECT_EQ(CompileText(engine, "N{} = {1, 2};\nN x;\noutput{(1) x}\nx = 1;\n"), nullptr);
    EXPECT_EQ(engine.output, kCompiling + ErrorLine(3, kBadOutput));
    engine.output.clear();
    EXPECT_EQ(CompileText(engine, "N{} = {1, 2};\nN x;\noutput{(1)}\nx = 1;\nq = 2;\n"), nullptr);
    EXPECT_EQ(engine.output,
              kCompiling + ErrorLine(3, kBadOutput) + ErrorLine(5, kUndefinedVariable));
}

TEST(EngineTest, RunsAfterAnAbandonedParseStartAfresh) {
    RecordingTovik engine;
    // The parse stops at line 3; the rest of this file must not leak into the
    // next run's input.
    EXPECT_FALSE(engine.Run(PuzzleFile("N{} = {1, 2};\nN x;\nx = = 1;\nN y;\noutput{y}\n")));
    EXPECT_EQ(engine.output, kCompiling + ErrorLine(3, "parse error"));
    EXPECT_TRUE(engine.HadError());
    EXPECT_EQ(CurrentProgram(), nullptr);

    const std::string valid = "N{} = {1, 2};\nN x;\nx != 2;\noutput{\"x=\" x}\n";
    for (int run = 0; run < 2; ++run) {
        engine.output.clear();
        EXPECT_TRUE(engine.Run(PuzzleFile(valid)));
        EXPECT_EQ(engine.output, kCompiling + kSearching + "x=1\r\n");
        EXPECT_FALSE(engine.HadError());
        EXPECT_EQ(CurrentProgram(), nullptr);
        EXPECT_TRUE(NodeRegistry::Nodes().empty());
    }

    // Line numbers start again at 1.
    engine.output.clear();
    EXPECT_FALSE(engine.Run(PuzzleFile("@;\n")));
    EXPECT_EQ(engine.output, kCompiling + ErrorLine(1, "parse error"));
}

TEST(EngineTest, ChinesePuzzleRunsWithItsTextsCopiedByteForByte) {
    RecordingTovik engine;
    ASSERT_TRUE(
        engine.Run(PuzzleFile(Gbk("人{} = {\"甲\", \"乙\"};\n"
                                  "人 班长;\n"
                                  "班长 != \"乙\";\n"
                                  "输出{\"班长：\" 班长}\n"))));
    EXPECT_EQ(engine.output, kCompiling + kSearching + Gbk("班长：甲\r\n"));
}

// Each message's GBK bytes, written out in the sources, are its UTF-8 text
// converted by the system's iconv.
TEST(EngineTest, MessagesInGbkAreTheirUtf8TextsConverted) {
    for (int id = 0; id < static_cast<int>(Msg::Count); ++id) {
        SetCurrentEncoding(Encoding::Utf8);
        const std::string utf8 = Text(static_cast<Msg>(id));
        SetCurrentEncoding(Encoding::Gbk);
        EXPECT_EQ(Text(static_cast<Msg>(id)), Gbk(utf8)) << utf8;
    }
}

}  // namespace
}  // namespace tovik_test
