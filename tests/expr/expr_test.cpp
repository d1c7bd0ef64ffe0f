// Expression nodes: the operator functions, GetValues, Simplify, the orders in
// which a condition is split into clauses and alternatives, Clone, and the
// collection of unassigned variables.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "../support/test_support.h"

namespace tovik_test {
namespace {

class ExprTest : public ::testing::Test {
protected:
    // Compiles declarations (and conditions); the program owns every node.
    void Compile(const std::string& text) {
        program.reset();  // a program's release clears every node, the next one's too
        program = CompileText(engine, text);
        ASSERT_NE(program, nullptr) << engine.output;
    }
    void TearDown() override {
        program.reset();
        NodeRegistry::Clear();  // nodes made without a program
    }

    // Every node registers itself with the registry, which deletes it later:
    // nodes are always made with new, never on the stack.
    CExpression* Var(const std::string& name) { return new CExpVar(Simple(*program, name)); }
    static CExpression* Num(int32_t v) { return new CExpConst(v); }
    static int32_t Apply(const char* op, int32_t a, int32_t b) {
        return (new CExpFunc(op, Num(a), Num(b)))->Evaluate();
    }
    // A comparison "name = value", the usual undecided operand of these tests.
    CExpression* Is(const std::string& name, int32_t value) {
        return new CExpFunc("=", Var(name), Num(value));
    }

    RecordingTovik engine;
    std::unique_ptr<CProgram> program;
};

TEST_F(ExprTest, DivisionAndRemainderTruncateTowardZeroAndNeverTrap) {
    EXPECT_EQ(Apply("/", 7, 0), 0);
    EXPECT_EQ(Apply("%", 7, 0), 0);
    EXPECT_EQ(Apply("/", -7, 2), -3);
    EXPECT_EQ(Apply("/", 7, -2), -3);
    // The remainder takes the sign of the dividend.
    EXPECT_EQ(Apply("%", -7, 2), -1);
    EXPECT_EQ(Apply("%", 7, -2), 1);
    EXPECT_EQ(Apply("/", INT_MIN, -1), INT_MIN);
    EXPECT_EQ(Apply("%", INT_MIN, -1), 0);
    EXPECT_EQ(Apply("/", 9, -1), -9);
}

TEST_F(ExprTest, ArithmeticWrapsAndComparisonsGiveZeroOrOne) {
    EXPECT_EQ(Apply("+", INT_MAX, 1), INT_MIN);
    EXPECT_EQ(Apply("-", INT_MIN, 1), INT_MAX);
    EXPECT_EQ(Apply("*", 65536, 65536), 0);
    EXPECT_EQ(Apply("*", INT_MAX, 2), -2);
    // Whether a second character follows selects between < and <=, > and >=.
    EXPECT_EQ(Apply("<", 3, 3), 0);
    EXPECT_EQ(Apply("<=", 3, 3), 1);
    EXPECT_EQ(Apply(">", 3, 3), 0);
    EXPECT_EQ(Apply(">=", 3, 3), 1);
    EXPECT_EQ(Apply("!=", 3, 4), 1);
    EXPECT_EQ(Apply("=", -5, -5), 1);
    EXPECT_EQ((new CExpFunc("?", Num(1), Num(2)))->function, nullptr);
}

TEST_F(ExprTest, GetValuesOfOperatorsAreSortedAndDistinct) {
    Compile(
        "X{} = {1, 2}; Y{} = {10, 20}; D{} = {-7, 7}; Z{} = {-2, 0, 2};\n"
        "X x; Y y; D d; Z z;\n");
    EXPECT_EQ((new CExpFunc("+", Var("x"), Var("y")))->GetValues(), (ValueList{11, 12, 21, 22}));
    EXPECT_EQ((new CExpFunc("+", Var("x"), Var("x")))->GetValues(), (ValueList{2, 3, 4}));
    // -7/-2 = 3, -7/0 = 0, -7/2 = -3, 7/-2 = -3, 7/0 = 0, 7/2 = 3.
    EXPECT_EQ((new CExpFunc("/", Var("d"), Var("z")))->GetValues(), (ValueList{-3, 0, 3}));
    EXPECT_EQ((new CExpFunc("<", Var("x"), Var("y")))->GetValues(), (ValueList{1}));
    EXPECT_EQ((new CExpFunc("=", Var("x"), Var("y")))->GetValues(), (ValueList{0}));
    EXPECT_EQ((new CExpFunc("=", Var("x"), Num(1)))->GetValues(), (ValueList{0, 1}));
}

TEST_F(ExprTest, GetValuesOfLogicalNodes) {
    Compile("X{} = {1, 2}; X x;\n");
    EXPECT_EQ((new CExpAnd(Is("x", 1), Num(0)))->GetValues(), (ValueList{0}));
    EXPECT_EQ((new CExpAnd(Num(1), Num(5)))->GetValues(), (ValueList{1}));
    EXPECT_EQ((new CExpAnd(Is("x", 1), Num(1)))->GetValues(), (ValueList{0, 1}));
    EXPECT_EQ((new CExpOr(Is("x", 1), Num(-1)))->GetValues(), (ValueList{1}));
    EXPECT_EQ((new CExpOr(Num(0), Num(0)))->GetValues(), (ValueList{0}));
    EXPECT_EQ((new CExpOr(Num(0), Is("x", 1)))->GetValues(), (ValueList{0, 1}));
    EXPECT_EQ((new CExpNot(Is("x", 1)))->GetValues(), (ValueList{0, 1}));
    EXPECT_EQ((new CExpNot(Var("x")))->GetValues(), (ValueList{0}));  // x is never zero
    EXPECT_EQ((new CExpNot(Num(0)))->GetValues(), (ValueList{1}));
}

TEST_F(ExprTest, SimplifyFoldsDecidedOperandsAndKeepsTheOpenOne) {
    Compile("X{} = {1, 2}; X x, y;\n");
    CExpression* open = Is("x", 1);
    EXPECT_EQ((new CExpAnd(open, new CExpFunc("<", Num(1), Num(2))))->Simplify(), open);
    EXPECT_EQ((new CExpAnd(new CExpFunc(">", Num(2), Num(1)), open))->Simplify(), open);
    EXPECT_EQ((new CExpOr(Num(0), open))->Simplify(), open);
    EXPECT_EQ((new CExpOr(open, new CExpFunc("=", Var("x"), Num(3))))->Simplify(), open);
    EXPECT_EQ(Show((new CExpAnd(open, Num(0)))->Simplify()), "0");
    EXPECT_EQ(Show((new CExpOr(Num(0), new CExpFunc("<", Var("x"), Num(3))))->Simplify()), "1");
    EXPECT_EQ(Show((new CExpNot(new CExpFunc("=", Num(1), Num(2))))->Simplify()), "1");
    // Folding reaches operands nested under an operator node.
    CExpression* nested =
        new CExpFunc("=", Var("y"), new CExpAnd(Num(1), new CExpOr(Num(0), Is("x", 2))));
    EXPECT_EQ(Show(nested->Simplify()), "y = (x = 2)");
    CExpression* both = new CExpAnd(open, Is("y", 2));
    EXPECT_EQ(both->Simplify(), both);
}

TEST_F(ExprTest, AllDifferentExpandsToALeftLeaningChainFromTheLastPartner) {
    Compile("X{} = {1, 2, 3, 4}; X a, b, c, d;\n");
    CExpParameters* list = new CExpParameters(Var("a"), Var("b"));
    Append(Append(list, Var("c")), Var("d"));
    EXPECT_EQ(Show((new CExpExc(list))->Simplify()),
              "((((a != d & a != c) & a != b) & b != d) & b != c) & c != d");
}

TEST_F(ExprTest, ConditionsSplitIntoClausesAndAlternativesInTheirOrder) {
    // p | q over r | s: the clauses enter from the last to the first.
    Compile("N{} = {1, 2, 3}; N a, b, c, d;\n(a = 1 | b = 1) & (c = 1 | d = 1);\n");
    EXPECT_EQ(ShowConditions(*program),
              (std::vector<std::string>{"[c = 1, d = 1]", "[a = 1, b = 1]"}));
    // Distribution of (p & q) | (r & s) runs both indices from the last; the
    // clauses are then taken from the last made.
    Compile("N{} = {1, 2, 3}; N a, b, c, d;\n(a = 1 & b = 1) | (c = 1 & d = 1);\n");
    EXPECT_EQ(ShowConditions(*program),
              (std::vector<std::string>{"[a = 1, c = 1]", "[a = 1, d = 1]", "[b = 1, c = 1]",
                                        "[b = 1, d = 1]"}));
    Compile("N{} = {1, 2, 3}; N a, b;\n!((a = 1) & (b = 2));\n");
    EXPECT_EQ(ShowConditions(*program), (std::vector<std::string>{"[!(b = 2), !(a = 1)]"}));
    Compile("N{} = {1, 2, 3}; N x;\n(x = 1) & (x = 2);\n");
    EXPECT_EQ(ShowConditions(*program), (std::vector<std::string>{"[x = 2]", "[x = 1]"}));
}

TEST_F(ExprTest, CloneOfExclusiveOrDuplicatesTheSharedOperands) {
    Compile("N{} = {1, 2}; N a, b;\n");
    CExpression* p = Is("a", 1);
    CExpression* q = Is("b", 2);
    auto* original = static_cast<CExpAnd*>(MakeExclusiveOr(p, q));
    auto* bothOr = static_cast<CExpOr*>(original->left);
    auto* notOr = static_cast<CExpOr*>(original->right);
    ASSERT_EQ(bothOr->left, static_cast<CExpNot*>(notOr->left)->operand);  // p hangs twice

    size_t before = NodeRegistry::Nodes().size();
    auto* copy = dynamic_cast<CExpAnd*>(original->Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Show(copy), "(a = 1 | b = 2) & (!(a = 1) | !(b = 2))");
    CExpression* p1 = static_cast<CExpOr*>(copy->left)->left;
    CExpression* p2 = static_cast<CExpNot*>(static_cast<CExpOr*>(copy->right)->left)->operand;
    EXPECT_NE(p1, p2);
    EXPECT_NE(p1, p);
    // One And, two Or, two Not and four copies of a three-node comparison.
    EXPECT_EQ(NodeRegistry::Nodes().size() - before, 17u);
    // Variables are shared, never copied.
    EXPECT_EQ(static_cast<CExpVar*>(static_cast<CExpFunc*>(p1)->left)->variable,
              Simple(*program, "a"));
}

TEST_F(ExprTest, CollectUnboundListsEveryOccurrenceLeftBeforeRight) {
    Compile("N{} = {1, 2, 3}; N x, y, z, w;\n");
    CVariable* w = Simple(*program, "w");
    w->value = &w->family->domain[0];
    // (y + x = x) & !(z + w = y)
    CExpression* tree = new CExpAnd(
        new CExpFunc("=", new CExpFunc("+", Var("y"), Var("x")), Var("x")),
        new CExpNot(new CExpFunc("=", new CExpFunc("+", Var("z"), Var("w")), Var("y"))));
    std::vector<CVariable*> all;
    tree->CollectUnbound(all);
    EXPECT_EQ(VariableNames(all), (std::vector<std::string>{"y", "x", "x", "z", "y"}));

    std::vector<CVariable*> distinct;
    GetUnboundVariables(tree, distinct);
    std::vector<std::string> names = VariableNames(distinct);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(CountUnbound(tree), 3);
    // Marks of one call do not hide variables from the next.
    GetUnboundVariables(tree, distinct);
    EXPECT_EQ(distinct.size(), 3u);
    EXPECT_EQ(CountUnbound(tree->Clone()), 3);
    CVariable* x = Simple(*program, "x");
    x->value = &x->family->domain[1];
    EXPECT_EQ(CountUnbound(tree), 2);
}

}  // namespace
}  // namespace tovik_test
