// Compile-time folding (Simplify) and the two splitting steps that turn a
// condition into clauses (SplitAnd) and a clause into alternatives (SplitOr).
// Splitting builds new nodes over the existing operands without copying them.
#include "expr/expression.h"

CExpression* CExpAnd::Simplify() {
    left = left->Simplify();
    right = right->Simplify();
    Invalidate();
    const ValueSet& l = left->Values();
    const ValueSet& r = right->Values();
    if (l.AllFalse() || r.AllFalse()) return new CExpConst(0);
    if (l.AllTrue() && r.AllTrue()) return new CExpConst(1);
    if (l.AllTrue()) return right;
    if (r.AllTrue()) return left;
    return this;
}

CExpression* CExpOr::Simplify() {
    left = left->Simplify();
    right = right->Simplify();
    Invalidate();
    const ValueSet& l = left->Values();
    const ValueSet& r = right->Values();
    if (l.AllTrue() || r.AllTrue()) return new CExpConst(1);
    if (l.AllFalse() && r.AllFalse()) return new CExpConst(0);
    if (l.AllFalse()) return right;
    if (r.AllFalse()) return left;
    return this;
}

CExpression* CExpNot::Simplify() {
    operand = operand->Simplify();
    Invalidate();
    const ValueSet& v = operand->Values();
    if (v.AllFalse()) return new CExpConst(1);
    if (v.AllTrue()) return new CExpConst(0);
    return this;
}

CExpression* CExpFunc::Simplify() {
    left = left->Simplify();
    right = right->Simplify();
    Invalidate();
    return this;
}

// All-different becomes a left-leaning chain of pairwise "!=" comparisons:
// (e0,e(n-1)), (e0,e(n-2)), ..., (e0,e1), (e1,e(n-1)), ..., (e(n-2),e(n-1)).
CExpression* CExpExc::Simplify() {
    const std::vector<CExpression*>& e = list->elements;
    const size_t n = e.size();
    CExpression* result = nullptr;
    for (size_t k = 0; k + 1 < n; ++k) {
        for (size_t j = n - 1; j > k; --j) {
            CExpression* q = new CExpFunc("!=", e[k], e[j]);
            result = result ? new CExpAnd(result, q) : q;
        }
    }
    return result;
}

void CExpAnd::SplitAnd(std::vector<CExpression*>& list) {
    left->SplitAnd(list);
    right->SplitAnd(list);
}

// (A1 & A2 ...) | (B1 & B2 ...) distributes into every Ai | Bj, both indices
// running from the last to the first.
void CExpOr::SplitAnd(std::vector<CExpression*>& list) {
    std::vector<CExpression*> a, b;
    left->SplitAnd(a);
    right->SplitAnd(b);
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;) list.push_back(new CExpOr(a[i], b[j]));
}

void CExpNot::SplitAnd(std::vector<CExpression*>& list) {
    std::vector<CExpression*> t;
    operand->SplitOr(t);
    for (size_t i = t.size(); i-- > 0;) list.push_back(new CExpNot(t[i]));
}

void CExpOr::SplitOr(std::vector<CExpression*>& list) {
    left->SplitOr(list);
    right->SplitOr(list);
}

void CExpAnd::SplitOr(std::vector<CExpression*>& list) {
    std::vector<CExpression*> a, b;
    left->SplitOr(a);
    right->SplitOr(b);
    for (size_t i = a.size(); i-- > 0;)
        for (size_t j = b.size(); j-- > 0;) list.push_back(new CExpAnd(a[i], b[j]));
}

void CExpNot::SplitOr(std::vector<CExpression*>& list) {
    std::vector<CExpression*> p;
    operand->SplitAnd(p);
    for (size_t i = p.size(); i-- > 0;) list.push_back(new CExpNot(p[i]));
}
