// Clone: deep copies. Sharing is not preserved; variables are never copied.
#include "expr/expression.h"

CExpression* CExpAnd::Clone() const { return new CExpAnd(left->Clone(), right->Clone()); }
CExpression* CExpOr::Clone() const { return new CExpOr(left->Clone(), right->Clone()); }
CExpression* CExpNot::Clone() const { return new CExpNot(operand->Clone()); }

CExpression* CExpFunc::Clone() const {
    auto* copy = new CExpFunc(nullptr, left->Clone(), right->Clone());
    copy->function = function;
    return copy;
}

CExpression* CExpConst::Clone() const { return new CExpConst(value); }
CExpression* CExpVar::Clone() const { return new CExpVar(variable); }

CExpression* CExpParameters::Clone() const {
    auto* copy = new CExpParameters();
    copy->elements.reserve(elements.size());
    for (const CExpression* e : elements) copy->elements.push_back(e->Clone());
    return copy;
}

CExpression* CExpExc::Clone() const {
    return new CExpExc(static_cast<CExpParameters*>(list->Clone()));
}

CExpression* CExpQuantifier::Clone() const { return new CExpQuantifier(name); }
CExpression* CExpQuantifierEx::Clone() const {
    return new CExpQuantifierEx(family, index->Clone());
}
