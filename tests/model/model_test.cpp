// The program model: the name pool and its handles, the order in which the
// declarations create variables, quantifier expansion with Substitute, and the
// holder query of the search.
#include <gtest/gtest.h>

#include <climits>

#include "../support/test_support.h"

namespace tovik_test {
namespace {

std::string Interned(CProgram& program, std::string spelling) {
    return program.Intern(spelling.data())->text;
}

TEST(InternTest, EscapesAreReplacedLeftToRightThenEveryOuterQuoteGoes) {
    CProgram program;
    EXPECT_EQ(Interned(program, "\"a\\tb\""), "a\tb");
    EXPECT_EQ(Interned(program, "\"\\a\\b\\f\\n\\r\\t\\v\\\\\""), "\a\b\f\n\r\t\v\\");
    EXPECT_EQ(Interned(program, "\"a\\\"b\""), "a\"b");
    // \" before the closing quote becomes a quote and goes with it.
    EXPECT_EQ(Interned(program, "\"ab\\\""), "ab");
    EXPECT_EQ(Interned(program, "\"\\\"q\\\"\""), "q");
    // An escaped backslash is replaced first, so the quote after it closes.
    EXPECT_EQ(Interned(program, "\"a\\\\\""), "a\\");
    // Unknown escapes keep their backslash.
    EXPECT_EQ(Interned(program, "\"a\\xb\\0\""), "a\\xb\\0");
    // A literal cut off by its line end keeps the line feed.
    EXPECT_EQ(Interned(program, "\"ab\n"), "ab\n");
}

TEST(InternTest, OneTextPerSpellingWithHandlesInFirstAppearanceOrder) {
    CProgram program;
    const PooledText* b = Name(program, "b");
    const PooledText* empty = Name(program, "\"\"");
    const PooledText* a = Name(program, "\"a\"");
    EXPECT_EQ(Name(program, "\"b\""), b);  // identifier and literal alike
    EXPECT_EQ(Name(program, "\"\"\"\""), empty);
    EXPECT_EQ(Name(program, "a"), a);
    EXPECT_EQ(Name(program, "\"\\t\""), Name(program, "\"\t\""));
    EXPECT_EQ(empty->text, "");
    EXPECT_EQ(b->handle, kFirstHandle + 0);
    EXPECT_EQ(empty->handle, kFirstHandle + 1);
    EXPECT_EQ(a->handle, kFirstHandle + 2);
    EXPECT_STREQ(program.TextOf(kFirstHandle + 2), "a");
    EXPECT_STREQ(program.TextOf(kFirstHandle + 1), "");
    EXPECT_EQ(program.TextOf(kFirstHandle + 4), nullptr);
    EXPECT_EQ(program.TextOf(kFirstHandle - 1), nullptr);
    EXPECT_EQ(program.TextOf(INT_MIN), nullptr);
}

TEST(InternTest, StringSetsOrderTheirValuesByFirstAppearanceNotByBytes) {
    // Handles: S, 乙, 甲, who. In GBK 甲 sorts before 乙, its handle after.
    RecordingTovik engine;
    const std::string text = Gbk("S{} = {\"乙\", \"甲\"};\nS who;\noutput{who}\n");
    std::unique_ptr<CProgram> program = CompileText(engine, text);
    ASSERT_NE(program, nullptr) << engine.output;
    EXPECT_EQ(Simple(*program, "who")->family->domain,
              (std::vector<int32_t>{kFirstHandle + 1, kFirstHandle + 2}));
    EXPECT_EQ(Simple(*program, "who")->family->domain, *program->FindSet(Name(*program, "S")));
    EXPECT_EQ(program->TextOf(kFirstHandle + 1), Gbk("乙"));
    program.reset();

    engine.output.clear();
    // Enumeration runs from the last value: 甲 prints first.
    ASSERT_TRUE(engine.Run(PuzzleFile(text)));
    EXPECT_EQ(engine.output, Gbk("正在编译……\r\n正在搜索……\r\n甲\r\n乙\r\n"));
}

class DeclarationTest : public ::testing::Test {
protected:
    void Compile(const std::string& text) {
        program.reset();
        program = CompileText(engine, text);
        ASSERT_NE(program, nullptr) << engine.output;
    }
    std::vector<std::string> Created() const { return VariableNames(program->variableList); }
    // The variable on the left of a compiled comparison.
    CVariable* LeftOf(size_t condition, size_t alternative) const {
        auto* comparison = static_cast<CExpFunc*>(program->conditions[condition][alternative]);
        return static_cast<CExpVar*>(comparison->left)->variable;
    }

    RecordingTovik engine;
    std::unique_ptr<CProgram> program;
};

TEST_F(DeclarationTest, ArrayElementsAreCreatedFromTheLargestSubscript) {
    Compile("N{} = {1, 2}; I{} = {2, 5, 9};\nN a, x(I), b;\n");
    EXPECT_EQ(Created(), (std::vector<std::string>{"a", "x(9)", "x(5)", "x(2)", "b"}));
    EXPECT_EQ(Element(*program, "x", 5)->family->domain, (std::vector<int32_t>{1, 2}));
}

TEST_F(DeclarationTest, OrderingCreatesInverseThenForwardPerPositionFromTheLast) {
    Compile("P{} = {30, 10, 20};\nP x[];\n");
    EXPECT_EQ(Created(),
              (std::vector<std::string>{"x[3]", "x(30)", "x[2]", "x(20)", "x[1]", "x(10)"}));
    CVarDecl* forward = program->FindVariable(Name(*program, "x"));
    CVarDecl* inverse = program->FindInverse(Name(*program, "x"));
    EXPECT_EQ(forward->domain, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(inverse->domain, (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(forward->partner, inverse);
    EXPECT_EQ(inverse->partner, forward);
    EXPECT_EQ(forward->domainSet, nullptr);
    EXPECT_EQ(inverse->domainSet, Name(*program, "P"));
}

TEST_F(DeclarationTest, IndirectElementsAreMadeAtTheirFirstReferenceAndShared) {
    Compile("N{} = {1, 2, 3};\nN x(N), y, z;\nx(z) != 1;\nx(y) != 2 | x(z) = 3;\n");
    EXPECT_EQ(Created(),
              (std::vector<std::string>{"x(3)", "x(2)", "x(1)", "y", "z", "x(z)", "x(y)"}));
    ASSERT_EQ(ShowConditions(*program),
              (std::vector<std::string>{"[x(z) != 1]", "[x(y) != 2, x(z) = 3]"}));
    EXPECT_EQ(LeftOf(0, 0), LeftOf(1, 1));
    EXPECT_EQ(Simple(*program, "z")->dependents, (std::vector<CVariable*>{LeftOf(0, 0)}));
    EXPECT_EQ(program->FindVariable(Name(*program, "x"))->indirect,
              (std::vector<CVariable*>{LeftOf(0, 0), LeftOf(1, 0)}));
}

TEST_F(DeclarationTest, QuantifiersExpandFromTheLastValueAndTheirNamesCanBeReused) {
    // Forall joins instance(3) & (instance(2) & instance(1)); its clauses enter
    // from the last, so the conditions read 1, 2, 3. Exists keeps 3, 2, 1.
    Compile("N{} = {1, 2, 3};\nN x(N);\n# i in N, x(i) != i;\n@ i in N, x(i) = i;\n");
    EXPECT_EQ(ShowConditions(*program),
              (std::vector<std::string>{"[x(1) != 1]", "[x(2) != 2]", "[x(3) != 3]",
                                        "[x(3) = 3, x(2) = 2, x(1) = 1]"}));
    EXPECT_TRUE(program->boundNames.empty());
}

TEST_F(DeclarationTest, NestedQuantifiersSubstituteBothNames) {
    // The inner expansion leaves x(i) waiting for the outer name; the i = j
    // instances fold to "always holds" and vanish, the others lose "i = j".
    Compile("N{} = {1, 2, 3};\nN x(N);\n# i in N, # j in N, x(i) != x(j) | i = j;\n");
    EXPECT_EQ(ShowConditions(*program),
              (std::vector<std::string>{"[x(1) != x(2)]", "[x(1) != x(3)]", "[x(2) != x(1)]",
                                        "[x(2) != x(3)]", "[x(3) != x(1)]", "[x(3) != x(2)]"}));
    EXPECT_EQ(program->variableList.size(), 3u);
}

TEST_F(DeclarationTest, NestedSubscriptsShareTheirIndirectElements) {
    // x(y(i)) resolves y(i) to a direct element, then x(y(k)) to the indirect
    // element of that subscript, made from the last instance to the first;
    // later expansions and plain references find the same elements.
    Compile(
        "N{} = {1, 2, 3};\nN x(N), y(N);\n# i in N, x(y(i)) != i;\n"
        "@ j in N, x(y(j)) = j;\nx(y(2)) != 1;\n");
    EXPECT_EQ(
        ShowConditions(*program),
        (std::vector<std::string>{"[x(y(1)) != 1]", "[x(y(2)) != 2]", "[x(y(3)) != 3]",
                                  "[x(y(3)) = 3, x(y(2)) = 2, x(y(1)) = 1]", "[x(y(2)) != 1]"}));
    std::vector<std::string> created = Created();
    EXPECT_EQ(std::vector<std::string>(created.begin() + 6, created.end()),
              (std::vector<std::string>{"x(y(3))", "x(y(2))", "x(y(1))"}));
    EXPECT_EQ(LeftOf(1, 0), LeftOf(3, 1));
    EXPECT_EQ(LeftOf(1, 0), LeftOf(4, 0));
    EXPECT_EQ(Element(*program, "y", 2)->dependents, (std::vector<CVariable*>{LeftOf(1, 0)}));
}

// HolderOf over hand-made elements x(1), x(2), x(3) with domain 1..3.
class HolderOfTest : public ::testing::Test {
protected:
    void SetUp() override {
        decl.domain = {1, 2, 3};
        for (int i = 0; i < 3; ++i) {
            e[i].family = &decl;
            e[i].key = i + 1;
            decl.elements.push_back(&e[i]);
        }
    }
    // Values by element, 0 for unassigned.
    void Give(int v1, int v2, int v3) {
        const int values[] = {v1, v2, v3};
        for (int i = 0; i < 3; ++i)
            e[i].value = values[i] == 0 ? nullptr : &decl.domain[values[i] - 1];
    }

    CVarDecl decl, partner;
    CVariable e[3];
};

TEST_F(HolderOfTest, OnlyAUniqueHolderAmongAllAssignedCountsUnlessThereIsAPartner) {
    Give(2, 3, 1);
    EXPECT_EQ(CProgram::HolderOf(&decl, 3), &e[1]);
    Give(2, 3, 3);
    EXPECT_EQ(CProgram::HolderOf(&decl, 3), nullptr);  // a second holder
    EXPECT_EQ(CProgram::HolderOf(&decl, 2), &e[0]);
    EXPECT_EQ(CProgram::HolderOf(&decl, 1), nullptr);
    Give(2, 0, 1);
    EXPECT_EQ(CProgram::HolderOf(&decl, 2), nullptr);  // the holder comes before the gap
    EXPECT_EQ(CProgram::HolderOf(&decl, 1), nullptr);
    // With a partner the first holder wins, gaps or not.
    decl.partner = &partner;
    Give(0, 3, 3);
    EXPECT_EQ(CProgram::HolderOf(&decl, 3), &e[1]);
    EXPECT_EQ(CProgram::HolderOf(&decl, 1), nullptr);
}

}  // namespace
}  // namespace tovik_test
