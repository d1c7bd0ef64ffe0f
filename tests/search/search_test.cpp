// The undo of one search step, seen inside the search state: candidates that
// a binding contradicts are removed from the last noted to the first, and the
// undo links them back at the front in the order of removal, so that the
// last removed ends up first. Later branching follows that order. The
// variables' scores as bindings go and come back. And the flat form of
// residual expressions against the trees it is made from.
#include <gtest/gtest.h>

#include "../support/test_support.h"
#include "expr/expression.h"
#include "expr/flat_expression.h"
#include "search/bind.h"
#include "search/search_state.h"

namespace tovik_test {
namespace {

// The re-examinations' bound of the settled conditions when no order is
// made: none stands behind a settling's end.
constexpr size_t kNothingSettled = SIZE_MAX;

// "x = 3, y = 1": the candidates of a condition, front to back.
std::string Show(const CCondition& k, const std::vector<int32_t>& pool) {
    std::string shown;
    for (const CAlternative* a = k.alternatives; a != nullptr; a = a->next)
        for (uint32_t i = 0; i < a->count; ++i)
            shown += (shown.empty() ? "" : ", ") + a->variable->family->name->text + " = " +
                     std::to_string(pool[a->values + i]);
    return shown;
}

TEST(SearchUndo, RemovedCandidatesReturnAtTheFrontLastRemovedFirst) {
    RecordingTovik engine;
    std::unique_ptr<CProgram> program =
        CompileText(engine, "N{} = {1, 2, 3};\nN x, y;\nx = 2 | x = 3 | y = 1;\n");
    ASSERT_NE(program, nullptr) << engine.output;
    SearchState state(*program);
    state.PrepareConditions();
    CCondition& k = state.conditions[0];
    ASSERT_EQ(Show(k, state.pool), "y = 1, x = 3, x = 2");
    CAlternative* three = k.alternatives->next;
    CAlternative* two = three->next;
    {
        CTrail trail(state);
        ASSERT_TRUE(Bind(Simple(*program, "x"), 1, state.assigned));
        // Both contradicted candidates go, from the last noted to the first.
        ASSERT_EQ(state.CheckCandidates(&k), Verdict::Open);
        EXPECT_EQ(Show(k, state.pool), "y = 1");
        EXPECT_EQ(state.removed, (std::vector<CAlternative*>{two, three}));
    }
    // The removed candidates come back ahead of the one that stayed.
    EXPECT_FALSE(Simple(*program, "x")->Assigned());
    EXPECT_EQ(Show(k, state.pool), "x = 3, x = 2, y = 1");
}

// "y != 1, y = 3, residual": a condition's list, front to back.
std::string Describe(const CCondition& k, const std::vector<int32_t>& pool) {
    std::string shown;
    for (const CAlternative* a = k.alternatives; a != nullptr; a = a->next) {
        shown += shown.empty() ? "" : ", ";
        if (a->IsResidual()) {
            shown += "residual";
        } else if (a->allBut) {
            shown += a->variable->family->name->text + " != " + std::to_string(a->except);
        } else {
            for (uint32_t i = 0; i < a->count; ++i)
                shown += (i == 0 ? "" : ", ") + a->variable->family->name->text + " = " +
                         std::to_string(pool[a->values + i]);
        }
    }
    return shown;
}

// x = 1 turns x != y into the run y != 1, at the front (a residual at the
// front becomes that run itself); y = 1 then leaves the condition nothing.
// Each undo restores what its step found, the residual back at the front.
TEST(SearchUndo, ResidualTurnedIntoARunComesBackAtTheFront) {
    const struct {
        const char* condition;
        const char* before;
        const char* during;  // with x = 1
        const char* after;
    } cases[] = {
        {"x != y;", "residual", "y != 1", "residual"},
        {"x != y | y = 3;", "y = 3, residual", "y != 1, y = 3", "residual, y = 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        RecordingTovik engine;
        std::unique_ptr<CProgram> program =
            CompileText(engine, std::string("N{} = {1, 2, 3};\nN x, y;\n") + c.condition + "\n");
        ASSERT_NE(program, nullptr) << engine.output;
        CVariable* x = Simple(*program, "x");
        CVariable* y = Simple(*program, "y");
        SearchState state(*program);
        state.PrepareConditions();
        CCondition& k = state.conditions[0];
        ASSERT_EQ(Describe(k, state.pool), c.before);
        const size_t watchers = state.variables[y->index].watchers.size();
        {
            CTrail bindX(state);
            ASSERT_TRUE(state.Assign(x, 1) && state.CountAndRecheck(x, kNothingSettled));
            EXPECT_EQ(Describe(k, state.pool), c.during);
            EXPECT_EQ(k.residuals, 0);
            {
                CTrail bindY(state);
                // The removed residual is not re-examined as y goes.
                ASSERT_TRUE(state.Assign(y, 1) && state.CountAndRecheck(y, kNothingSettled));
                EXPECT_EQ(state.CheckCandidates(&k), Verdict::Failed);
            }
            EXPECT_EQ(Describe(k, state.pool), c.during);
        }
        EXPECT_EQ(Describe(k, state.pool), c.after);
        EXPECT_EQ(k.residuals, 1);
        EXPECT_EQ(state.variables[y->index].watchers.size(), watchers);
        EXPECT_TRUE(state.transformed.empty() && state.removed.empty());
    }
}

// Scores of a, b, c and d as bindings go and come back: pairs weigh by
// their other variable's value, residuals of three variables by their kept
// count, and residuals a binding turned into candidates still weigh.
TEST(SearchScore, WeighsEveryRegisteredResidualByItsUnassignedVariables) {
    RecordingTovik engine;
    std::unique_ptr<CProgram> program = CompileText(
        engine, "N{} = {1, 2, 3, 4};\nN a, b, c, d;\na != b;\na != c;\nc != d;\nb + c + d > 5;\n");
    ASSERT_NE(program, nullptr) << engine.output;
    SearchState state(*program);
    state.PrepareConditions();
    auto scores = [&] {
        std::vector<int> all;
        for (const char* name : {"a", "b", "c", "d"})
            all.push_back(state.Score(Simple(*program, name)));
        return all;
    };
    const std::vector<int> none{128, 80, 144, 80}, bOnly{320, -1, 192, 128};
    EXPECT_EQ(scores(), none);
    {
        CTrail bindB(state);
        CVariable* b = Simple(*program, "b");
        ASSERT_TRUE(state.Assign(b, 1) && state.CountAndRecheck(b, kNothingSettled));
        EXPECT_EQ(scores(), bOnly);
        {
            CTrail bindD(state);
            CVariable* d = Simple(*program, "d");
            ASSERT_TRUE(state.Assign(d, 2) && state.CountAndRecheck(d, kNothingSettled));
            EXPECT_EQ(scores(), (std::vector<int>{320, -1, 576, -1}));
        }
        EXPECT_EQ(scores(), bOnly);
    }
    EXPECT_EQ(scores(), none);
}

// A binding of a plain variable alone may settle before its re-examination
// and skip it when the settling fails: every residual that mentions the
// variable must be a pair "!=" with a root on either side and the only
// alternative of its condition.
TEST(SearchPlain, OnlyLoneNotEqualPairsWithRootsMakeAVariablePlain) {
    RecordingTovik engine;
    std::unique_ptr<CProgram> program = CompileText(engine,
                                                    "N{} = {1, 2, 3, 4};\n"
                                                    "N a, b, c, d, e, f, g, h, j, k, l, m;\n"
                                                    "a != b;\nb - a != 2;\n"  // plain
                                                    "c = d;\n"                // not "!="
                                                    "e != f | e = 1;\n"       // not alone
                                                    "2 * g != h;\n"       // no single root for g
                                                    "j + k + l > 3;\n");  // three variables
    ASSERT_NE(program, nullptr) << engine.output;
    SearchState state(*program);
    state.PrepareConditions();
    std::string plain;
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h", "j", "k", "l", "m"})
        if (state.variables[Simple(*program, name)->index].plain) plain += name;
    EXPECT_EQ(plain, "abm");
}

}  // namespace
}  // namespace tovik_test

namespace tovik_test {
namespace {

// The flat form of a residual expression against the tree it comes from, on
// every assignment of x and y over values that make sums and products wrap:
// linear comparisons (merged, cancelling and wrapping coefficients) and the
// postfix code of everything else; where the flat form names the one value
// that decides an (in)equation, the values it leaves are those too, and so
// is the root of a two-variable one as a function of the other's value.
TEST(FlatExpression, HoldsExactlyWhereTheTreeEvaluatesTrue) {
    // A wide domain whose sums and products wrap, and a narrow one with gaps,
    // in which an even coefficient leaves one value or none; each with how
    // many (tree, x) cases at least have a root, and a root read off x.
    const struct {
        const char* domain;
        size_t rooted, paired;
    } cases[] = {
        {"{-2147483647, -65536, -1, 0, 3, 65536, 2147483647}", 7 * 7, 2 * 7},
        {"{-6, [-3, 5], 9}", 10 * 11, 2 * 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.domain);
        RecordingTovik engine;
        std::unique_ptr<CProgram> program =
            CompileText(engine, std::string("N{} = ") + c.domain +
                                    ";\n"
                                    "N x, y;\n"
                                    "x * 65536 + y * 65536 = 0 | y = 3;\n"
                                    "1000 * x - y < 7 | y = 3;\n"
                                    "3 * x + 2 * y - x * 3 != y + y + x | y = 3;\n"
                                    "x + 1 > y - 1 | y = 3;\n"
                                    "x / y = 2 | x % y > 0 | !(x >= y) & x + y <= -1;\n"
                                    "x * y = 0 | y = 3;\n"
                                    "3 * y - x != 9 | x = -7 * y + 3;\n"
                                    "2 * x + 4 * y != 6 | x = 6 * y - 12;\n"
                                    "output {x y}\n");
        ASSERT_NE(program, nullptr) << engine.output;
        CVariable* x = Simple(*program, "x");
        CVariable* y = Simple(*program, "y");
        const std::vector<int32_t>& domain = x->family->domain;
        std::vector<int32_t> stack(64);
        size_t compared = 0, rooted = 0, paired = 0;
        for (const std::vector<CExpression*>& clause : program->conditions)
            for (const CExpression* tree : clause) {
                FlatExpression flat(*tree, {x, y});
                for (const int32_t& a : domain) {
                    y->value = nullptr;
                    x->value = &a;
                    std::vector<int32_t> holding;
                    const FlatExpression::Solution solution = flat.Solve(y, stack.data(), holding);
                    const Operator op = solution.op;
                    const int32_t root = solution.root;
                    std::vector<int32_t> expected;
                    for (const int32_t& b : domain) {
                        y->value = &b;
                        const bool holds = tree->Evaluate() != 0;
                        EXPECT_EQ(flat.Holds(stack.data()), holds) << a << " " << b;
                        if (holds) expected.push_back(b);
                    }
                    uint32_t constant = 0, factor = 0;
                    const CVariable* other = nullptr;
                    const Operator affine = flat.AffineRoot(y, &constant, &factor, &other);
                    if (op == Operator::Add) {
                        EXPECT_EQ(holding, expected) << a;
                        EXPECT_EQ(solution.count, holding.size()) << a;
                    } else {
                        EXPECT_TRUE(holding.empty()) << a;
                        std::vector<int32_t> fromRoot;
                        for (int32_t b : domain)
                            if ((b == root) == (op == Operator::Equal)) fromRoot.push_back(b);
                        EXPECT_EQ(fromRoot, expected) << a;
                        ++rooted;
                        // Over two variables, the root read off x's value is the same.
                        if (affine != Operator::Add) {
                            EXPECT_EQ(affine, op);
                            EXPECT_EQ(other, x);
                            EXPECT_EQ(
                                static_cast<int32_t>(constant + factor * static_cast<uint32_t>(a)),
                                root)
                                << a;
                            ++paired;
                        }
                    }
                    ++compared;
                }
            }
        x->value = y->value = nullptr;
        EXPECT_GE(compared, 9 * domain.size());
        EXPECT_GE(rooted, c.rooted);
        EXPECT_GE(paired, c.paired);
    }
}

}  // namespace
}  // namespace tovik_test
