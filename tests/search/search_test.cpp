// The search: Bind and its bound list, the alternative lists that preparation
// builds, the undo of one step, cancellation and the progress counter.
#include <gtest/gtest.h>

#include <algorithm>

#include "../support/test_support.h"
#include "search/search.h"

namespace tovik_test {
namespace {

class BindTest : public ::testing::Test {
protected:
    void Compile(const std::string& text) {
        program = CompileText(engine, text);
        ASSERT_NE(program, nullptr) << engine.output;
    }
    // Bind's result and the bound list it leaves: "ok x(20) x[3]", "fail x(y)".
    static std::string Try(CVariable* s, int32_t v) {
        std::vector<CVariable*> bound;
        std::string result = Bind(s, v, bound) ? "ok" : "fail";
        for (const CVariable* b : bound) result.append(" ").append(VariableName(b));
        return result;
    }
    // Assigns directly, without propagation, to set up states Bind leaves alone.
    static void Hold(CVariable* s, int32_t v) {
        const std::vector<int32_t>& domain = s->family->domain;
        s->value = &*std::find(domain.begin(), domain.end(), v);
    }
    CVariable* X(int32_t key) { return Element(*program, "x", key); }
    CVariable* Y() { return Simple(*program, "y"); }
    CVariable* XofY() { return program->FindVariable(Name(*program, "x"))->indirect.at(0); }

    using Names = std::vector<std::string>;
    RecordingTovik engine;
    std::unique_ptr<CProgram> program;
};

TEST_F(BindTest, AnAssignedVariableOnlyComparesItsValue) {
    Compile("N{} = {1, 2, 3};\nN a;\n");
    CVariable* a = Simple(*program, "a");
    EXPECT_EQ(Try(a, 2), "ok a");
    EXPECT_EQ(Try(a, 2), "ok");
    EXPECT_EQ(Try(a, 3), "fail");
    EXPECT_EQ(a->Value(), 2);
    a->value = nullptr;
    EXPECT_EQ(Try(a, 4), "fail");  // not a member of the domain
}

TEST_F(BindTest, OrderingFamiliesStayInverseAndAllDifferent) {
    Compile("P{} = {10, 20, 30};\nP x[];\n");
    EXPECT_EQ(Try(X(20), 3), "ok x(20) x[3]");
    EXPECT_EQ(InverseElement(*program, "x", 3)->Value(), 20);
    EXPECT_EQ(Try(X(10), 3), "fail");  // position 3 is taken: refused before assigning
    EXPECT_EQ(Try(InverseElement(*program, "x", 1), 30), "ok x[1] x(30)");
    EXPECT_EQ(X(30)->Value(), 1);
    EXPECT_EQ(Try(InverseElement(*program, "x", 2), 30), "fail");
    EXPECT_EQ(Try(X(10), 2), "ok x(10) x[2]");
}

TEST_F(BindTest, IndirectElementFollowsItsSubscriptBothWays) {
    Compile("N{} = {1, 2, 3};\nN x(N), y;\nx(y) > 1;\n");
    // Subscript first: nothing to unify yet; the element then pulls x(y) along.
    EXPECT_EQ(Try(Y(), 2), "ok y");
    EXPECT_EQ(Try(X(2), 3), "ok x(2) x(y)");
    UnassignAll(*program);
    // Element first: assigning the subscript unifies through its dependent.
    Try(X(2), 3);
    EXPECT_EQ(Try(Y(), 2), "ok y x(y)");
    EXPECT_EQ(XofY()->Value(), 3);
    UnassignAll(*program);
    // The indirect element first, without a holder: nothing is unified on its
    // zero key; the subscript later carries the value to the element it selects.
    EXPECT_EQ(Try(XofY(), 3), "ok x(y)");
    EXPECT_EQ(Try(Y(), 2), "ok y x(2)");
    EXPECT_EQ(X(2)->Value(), 3);
    UnassignAll(*program);
    // Subscript assigned: the element it selects must hold the same value.
    Try(Y(), 2);
    EXPECT_EQ(Try(XofY(), 3), "ok x(y) x(2)");
    UnassignAll(*program);
    Hold(Y(), 2);
    Hold(X(2), 1);
    EXPECT_EQ(Try(XofY(), 1), "ok x(y)");
    XofY()->value = nullptr;
    EXPECT_EQ(Try(XofY(), 3), "fail x(y)");
}

TEST_F(BindTest, AUniqueHolderGivesTheSubscriptItsKey) {
    Compile("N{} = {1, 2, 3};\nN x(N), y;\nx(y) > 1;\n");
    Try(X(3), 3);
    Try(X(2), 1);
    Try(X(1), 1);
    EXPECT_EQ(Try(XofY(), 3), "ok x(y) y");
    EXPECT_EQ(Y()->Value(), 3);
    XofY()->value = Y()->value = nullptr;
    EXPECT_EQ(Try(XofY(), 1), "ok x(y)");  // two holders: y stays open
    XofY()->value = X(1)->value = nullptr;
    EXPECT_EQ(Try(XofY(), 3), "ok x(y)");  // an unassigned element hides the holder
    EXPECT_FALSE(Y()->Assigned());
}

TEST_F(BindTest, AHolderKeyOutsideTheSubscriptsDomainFails) {
    // x has an element x(4) that y can never select.
    Compile("N{} = {1, 2, 3}; I{} = {1, 2, 3, 4};\nN x(I), y;\nx(y) > 1;\n");
    const int32_t values[] = {2, 1, 1, 3};  // x(1) .. x(4)
    for (int32_t key = 1; key <= 4; ++key) Try(X(key), values[key - 1]);
    EXPECT_EQ(Try(XofY(), 3), "fail x(y)");
    EXPECT_FALSE(Y()->Assigned());
    XofY()->value = nullptr;
    EXPECT_EQ(Try(XofY(), 2), "ok x(y) y");
    EXPECT_EQ(Y()->Value(), 1);
}

TEST_F(BindTest, IndirectElementOfAnOrderingTakesAHeldValueThroughItsSubscript) {
    // A direct element would be refused the taken position 2; x(y) instead
    // sends y to the holder's key, and y's dependent x(y) agrees with x(1).
    Compile("S{} = {1, 2, 3};\nS x[], y;\nx(y) > 0;\n");
    Try(X(1), 2);
    EXPECT_EQ(Try(XofY(), 2), "ok x(y) y");
    EXPECT_EQ(Y()->Value(), 1);
}

// Preparation and undo, run on a SearchState outside of a search.
class SearchStateTest : public BindTest {
protected:
    static std::vector<std::string> Show(const CCondition& k) {
        std::vector<std::string> shown;
        for (const CAlternative* a = k.alternatives; a != nullptr; a = a->next)
            shown.push_back(a->IsResidual()
                                ? tovik_test::Show(a->expression)
                                : VariableName(a->variable) + " = " + std::to_string(a->value));
        return shown;
    }
};

TEST_F(SearchStateTest, CandidatesOfTheLastAlternativeComeFirstThenResidualsInOrder) {
    Compile("N{} = {1, 2, 3};\nN x, y, z;\nx = 1 | y + z = 4 | x = 2 | y < 3 | z = y;\n");
    SearchState state(engine, *program);
    state.PrepareConditions();
    ASSERT_EQ(state.conditions.size(), 1u);
    const CCondition& k = state.conditions[0];
    EXPECT_EQ(Show(k), (Names{"y = 1", "y = 2", "x = 2", "x = 1", "(y + z) = 4", "z = y"}));
    EXPECT_EQ(k.residuals, 2);
    EXPECT_EQ(Priority(&k), 0);
    // Registered from the last alternative to the first, each copy once.
    CAlternative* sum = k.alternatives->next->next->next->next;
    CAlternative* equal = sum->next;
    EXPECT_EQ(Y()->registered, (std::vector<CExpression*>{equal->expression, sum->expression}));
    EXPECT_EQ(sum->expression->owner, sum);
    EXPECT_TRUE(program->conditions.empty());
}

TEST_F(SearchStateTest, UndoRelinksRemovedCandidatesAtTheFrontLastRemovedFirst) {
    Compile("N{} = {1, 2, 3};\nN x, y;\nx = 2 | x = 3 | y = 1;\n");
    SearchState state(engine, *program);
    state.PrepareConditions();
    CCondition& k = state.conditions[0];
    ASSERT_EQ(Show(k), (Names{"y = 1", "x = 3", "x = 2"}));
    CAlternative* three = k.alternatives->next;
    CAlternative* two = three->next;
    {
        CTrail trail(state);
        std::vector<CVariable*> bound;
        ASSERT_TRUE(Bind(Simple(*program, "x"), 1, bound));
        state.assigned = bound;
        // Both contradicted candidates go, from the last noted to the first.
        ASSERT_TRUE(state.CheckCandidates(&k));
        EXPECT_FALSE(k.satisfied);
        EXPECT_EQ(Show(k), Names{"y = 1"});
        EXPECT_EQ(state.removed, (std::vector<CAlternative*>{two, three}));
        CAlternative* added = state.NewAlternative();
        added->variable = Simple(*program, "x");
        added->value = 1;
        k.LinkFront(added);
        state.added.push_back(added);
        ASSERT_TRUE(state.CheckCandidates(&k));
        EXPECT_TRUE(k.satisfied);
    }
    // The removed candidates come back ahead of the one that stayed.
    EXPECT_FALSE(Simple(*program, "x")->Assigned());
    EXPECT_FALSE(k.satisfied);
    EXPECT_EQ(Show(k), (Names{"x = 3", "x = 2", "y = 1"}));
    EXPECT_TRUE(state.removed.empty() && state.added.empty() && state.satisfied.empty());
    EXPECT_EQ(state.freeList.size(), 1u);

    // Removed in the order x = 3, x = 2: undo puts x = 2 in front.
    {
        CTrail trail(state);
        k.Unlink(three);
        state.removed.push_back(three);
        k.Unlink(two);
        state.removed.push_back(two);
    }
    EXPECT_EQ(Show(k), (Names{"x = 2", "x = 3", "y = 1"}));
}

TEST(SearchRunTest, ACancellingEngineOnlyPrintsThePhaseLines) {
    RecordingTovik engine;
    engine.cancel = true;
    ASSERT_TRUE(engine.Run(PuzzleFile("N{} = {1, 2};\nN x, y;\nx != y;\noutput{x y}\n")));
    EXPECT_EQ(engine.output, Gbk("正在编译……\r\n正在搜索……\r\n"));
    EXPECT_EQ(engine.Progress(), 0u);
    EXPECT_TRUE(engine.progress.empty());
}

TEST(SearchRunTest, TheCounterCountsEverySearchCall) {
    // Search over the one condition (1), the step x = 1 (2), Search with no
    // condition left (3), Exhaust printing 1 (4); then 5, 6, 7 for x = 2.
    RecordingTovik engine;
    ASSERT_TRUE(engine.Run(PuzzleFile("N{} = {1, 2, 3};\nN x;\nx < 3;\noutput{x}\n")));
    EXPECT_EQ(engine.output, Gbk("正在编译……\r\n正在搜索……\r\n1\r\n2\r\n"));
    EXPECT_EQ(engine.progress, (std::vector<unsigned>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(engine.Progress(), 7u);

    // Run restarts the count. Without conditions: Search, Exhaust, then one
    // Exhaust per value of x from the last.
    engine.progress.clear();
    ASSERT_TRUE(engine.Run(PuzzleFile("N{} = {1, 2};\nN x;\noutput{x}\n")));
    EXPECT_EQ(engine.progress, (std::vector<unsigned>{1, 2, 3, 4}));
    EXPECT_EQ(engine.Progress(), 4u);
}

}  // namespace
}  // namespace tovik_test
