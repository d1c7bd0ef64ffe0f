// The base behaviour of the virtual operations, and the factories that build
// compound operators out of the basic node kinds.
#include "expr/expression.h"

CExpression* CExpression::Substitute(const PooledText*, int32_t, CProgram&) { return this; }
CExpression* CExpression::Simplify(NodeArena&) { return this; }
void CExpression::SplitAnd(std::vector<CExpression*>& list, NodeArena&) { list.push_back(this); }
void CExpression::SplitOr(std::vector<CExpression*>& list, NodeArena&) { list.push_back(this); }
void CExpression::CollectUnbound(std::vector<CVariable*>&) const {}

CExpParameters* Append(CExpParameters* list, CExpression* element) {
    list->elements.push_back(element);
    return list;
}

CExpression* MakeImplication(NodeArena& arena, CExpression* a, CExpression* b) {
    return arena.Make<CExpOr>(arena.Make<CExpNot>(a), b);
}

CExpression* MakeExclusiveOr(NodeArena& arena, CExpression* a, CExpression* b) {
    return arena.Make<CExpAnd>(arena.Make<CExpOr>(a, b),
                               arena.Make<CExpOr>(arena.Make<CExpNot>(a), arena.Make<CExpNot>(b)));
}
