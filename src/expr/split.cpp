// The two splitting steps of a condition: SplitAnd gives its clauses
// (conjunctive normal form), SplitOr a clause's alternatives. They build new
// nodes over the existing operands without copying them. Both distribute
// with the indices running from the last to the first; the order of the
// clauses and alternatives decides the order of the search.
#include "expr/expression.h"

void CExpAnd::SplitAnd(std::vector<CExpression*>& list, NodeArena& arena) {
    left->SplitAnd(list, arena);
    right->SplitAnd(list, arena);
}

// (A1 & A2 ...) | (B1 & B2 ...) distributes into every Ai | Bj.
void CExpOr::SplitAnd(std::vector<CExpression*>& list, NodeArena& arena) {
    std::vector<CExpression*> a, b;
    left->SplitAnd(a, arena);
    right->SplitAnd(b, arena);
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;) list.push_back(arena.Make<CExpOr>(a[i], b[j]));
}

// De Morgan: the clauses of !t are the negated alternatives of t.
void CExpNot::SplitAnd(std::vector<CExpression*>& list, NodeArena& arena) {
    std::vector<CExpression*> t;
    operand->SplitOr(t, arena);
    for (size_t i = t.size(); i-- > 0;) list.push_back(arena.Make<CExpNot>(t[i]));
}

void CExpOr::SplitOr(std::vector<CExpression*>& list, NodeArena& arena) {
    left->SplitOr(list, arena);
    right->SplitOr(list, arena);
}

void CExpAnd::SplitOr(std::vector<CExpression*>& list, NodeArena& arena) {
    std::vector<CExpression*> a, b;
    left->SplitOr(a, arena);
    right->SplitOr(b, arena);
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;) list.push_back(arena.Make<CExpAnd>(a[i], b[j]));
}

void CExpNot::SplitOr(std::vector<CExpression*>& list, NodeArena& arena) {
    std::vector<CExpression*> p;
    operand->SplitAnd(p, arena);
    for (size_t i = p.size(); i-- > 0;) list.push_back(arena.Make<CExpNot>(p[i]));
}
