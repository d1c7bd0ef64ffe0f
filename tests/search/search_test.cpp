// The undo of one search step, seen inside the search state: candidates that
// a binding contradicts are removed from the last noted to the first, and the
// undo links them back at the front in the order of removal, so that the
// last removed ends up first. Later branching follows that order.
#include <gtest/gtest.h>

#include "../support/test_support.h"
#include "search/bind.h"
#include "search/search_state.h"

namespace tovik_test {
namespace {

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
        ASSERT_TRUE(state.CheckCandidates(&k));
        EXPECT_EQ(Show(k, state.pool), "y = 1");
        EXPECT_EQ(state.removed, (std::vector<CAlternative*>{two, three}));
    }
    // The removed candidates come back ahead of the one that stayed.
    EXPECT_FALSE(Simple(*program, "x")->Assigned());
    EXPECT_EQ(Show(k, state.pool), "x = 3, x = 2, y = 1");
}

}  // namespace
}  // namespace tovik_test
