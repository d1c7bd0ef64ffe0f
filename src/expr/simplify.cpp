// Simplify: compile-time folding of everything the declared domains already
// decide, and the expansion of all-different into pairwise comparisons.
#include "expr/expression.h"

CExpression* CExpAnd::Simplify(NodeArena& arena) {
    left = left->Simplify(arena);
    right = right->Simplify(arena);
    Invalidate();
    const ValueSet& l = left->Values();
    const ValueSet& r = right->Values();
    if (l.AllFalse() || r.AllFalse()) return arena.Make<CExpConst>(0);
    if (l.AllTrue() && r.AllTrue()) return arena.Make<CExpConst>(1);
    if (l.AllTrue()) return right;
    if (r.AllTrue()) return left;
    return this;
}

CExpression* CExpOr::Simplify(NodeArena& arena) {
    left = left->Simplify(arena);
    right = right->Simplify(arena);
    Invalidate();
    const ValueSet& l = left->Values();
    const ValueSet& r = right->Values();
    if (l.AllTrue() || r.AllTrue()) return arena.Make<CExpConst>(1);
    if (l.AllFalse() && r.AllFalse()) return arena.Make<CExpConst>(0);
    if (l.AllFalse()) return right;
    if (r.AllFalse()) return left;
    return this;
}

CExpression* CExpNot::Simplify(NodeArena& arena) {
    operand = operand->Simplify(arena);
    Invalidate();
    const ValueSet& v = operand->Values();
    if (v.AllFalse()) return arena.Make<CExpConst>(1);
    if (v.AllTrue()) return arena.Make<CExpConst>(0);
    return this;
}

// Operations over constants are not folded: an operation goes away only when
// an enclosing logical node decides it from its value set.
CExpression* CExpFunc::Simplify(NodeArena& arena) {
    left = left->Simplify(arena);
    right = right->Simplify(arena);
    Invalidate();
    return this;
}

// All-different becomes a left-leaning chain of pairwise "!=" comparisons:
// (e0,e(n-1)), (e0,e(n-2)), ..., (e0,e1), (e1,e(n-1)), ..., (e(n-2),e(n-1)).
// The operands are shared, neither copied nor simplified.
CExpression* CExpAllDifferent::Simplify(NodeArena& arena) {
    const std::vector<CExpression*>& e = list->elements;
    const size_t n = e.size();
    CExpression* result = nullptr;
    for (size_t k = 0; k + 1 < n; ++k) {
        for (size_t j = n - 1; j > k; --j) {
            CExpression* q = arena.Make<CExpFunc>(Operator::NotEqual, e[k], e[j]);
            result = result ? arena.Make<CExpAnd>(result, q) : q;
        }
    }
    return result;
}
