// Which variables of a tree are still unassigned: CollectUnbound writes every
// occurrence, GetUnboundVariables / CountUnbound reduce them to distinct ones.
// The search calls these at every step, so they reuse one scratch buffer.
#include "expr/expression.h"

void CExpAnd::CollectUnbound(std::vector<CVariable*>& out) const {
    left->CollectUnbound(out);
    right->CollectUnbound(out);
}

void CExpOr::CollectUnbound(std::vector<CVariable*>& out) const {
    left->CollectUnbound(out);
    right->CollectUnbound(out);
}

void CExpNot::CollectUnbound(std::vector<CVariable*>& out) const { operand->CollectUnbound(out); }

void CExpFunc::CollectUnbound(std::vector<CVariable*>& out) const {
    left->CollectUnbound(out);
    right->CollectUnbound(out);
}

void CExpVar::CollectUnbound(std::vector<CVariable*>& out) const {
    if (!variable->Assigned()) out.push_back(variable);
}

namespace {

std::vector<CVariable*> g_scratch;
uint32_t g_stamp = 0;

// Collects into the scratch buffer and keeps the first occurrence of each
// variable, using a per-call stamp instead of sorting.
void CollectDistinct(const CExpression* tree) {
    g_scratch.clear();
    tree->CollectUnbound(g_scratch);
    if (++g_stamp == 0) {
        // The stamp wrapped: clear every stamp once so old marks cannot match.
        for (CVariable* v : CurrentProgram()->variableList) v->mark = 0;
        g_stamp = 1;
    }
    size_t kept = 0;
    for (CVariable* v : g_scratch) {
        if (v->mark == g_stamp) continue;
        v->mark = g_stamp;
        g_scratch[kept++] = v;
    }
    g_scratch.resize(kept);
}

}  // namespace

void GetUnboundVariables(const CExpression* tree, std::vector<CVariable*>& out) {
    CollectDistinct(tree);
    out.assign(g_scratch.begin(), g_scratch.end());
}

int CountUnbound(const CExpression* tree) {
    CollectDistinct(tree);
    return static_cast<int>(g_scratch.size());
}
