// The node registry, the base behaviour of the virtual operations, and the
// factories that build compound operators out of the basic node kinds.
#include "expr/expression.h"

namespace {
std::vector<CExpression*> g_nodes;
}

namespace NodeRegistry {
std::vector<CExpression*>& Nodes() { return g_nodes; }

std::vector<CExpression*> TakeAll() {
    std::vector<CExpression*> taken;
    taken.swap(g_nodes);
    return taken;
}

void DestroyNewestFirst(std::vector<CExpression*>& nodes) {
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) delete *it;
    nodes.clear();
}

void Clear() {
    // Destruction never follows child pointers, so the order is free.
    for (CExpression* node : g_nodes) delete node;
    g_nodes.clear();
    g_nodes.shrink_to_fit();
}
}  // namespace NodeRegistry

CExpression::CExpression() { g_nodes.push_back(this); }

CExpression* CExpression::Substitute(const PooledText*, int32_t) { return this; }
CExpression* CExpression::Simplify() { return this; }
void CExpression::SplitAnd(std::vector<CExpression*>& list) { list.push_back(this); }
void CExpression::SplitOr(std::vector<CExpression*>& list) { list.push_back(this); }
void CExpression::CollectUnbound(std::vector<CVariable*>&) const {}

bool AllFalse(const ValueList& values) {
    for (int32_t v : values)
        if (v != 0) return false;
    return true;
}

bool AllTrue(const ValueList& values) {
    for (int32_t v : values)
        if (v == 0) return false;
    return true;
}

CExpParameters* Append(CExpParameters* list, CExpression* element) {
    list->elements.push_back(element);
    return list;
}

CExpression* MakeImplication(CExpression* a, CExpression* b) {
    return new CExpOr(new CExpNot(a), b);
}

// a ^ b as (a | b) & (!a | !b): each operand hangs under two parents.
CExpression* MakeExclusiveOr(CExpression* a, CExpression* b) {
    return new CExpAnd(new CExpOr(a, b), new CExpOr(new CExpNot(a), new CExpNot(b)));
}
