// Substitute: replaces every reference to one bound name by a constant, and
// resolves subscripted references whose subscript has thereby become a
// constant or a variable. Applied only to fresh clones of a quantified body.
#include "expr/expression.h"

CExpression* CExpAnd::Substitute(const PooledText* name, int32_t value) {
    left = left->Substitute(name, value);
    right = right->Substitute(name, value);
    Invalidate();
    return this;
}

CExpression* CExpOr::Substitute(const PooledText* name, int32_t value) {
    left = left->Substitute(name, value);
    right = right->Substitute(name, value);
    Invalidate();
    return this;
}

CExpression* CExpNot::Substitute(const PooledText* name, int32_t value) {
    operand = operand->Substitute(name, value);
    Invalidate();
    return this;
}

CExpression* CExpFunc::Substitute(const PooledText* name, int32_t value) {
    left = left->Substitute(name, value);
    right = right->Substitute(name, value);
    Invalidate();
    return this;
}

CExpression* CExpParameters::Substitute(const PooledText* name, int32_t value) {
    for (size_t i = elements.size(); i-- > 0;) elements[i] = elements[i]->Substitute(name, value);
    return this;
}

CExpression* CExpExc::Substitute(const PooledText* name, int32_t value) {
    list->Substitute(name, value);
    return this;
}

CExpression* CExpQuantifier::Substitute(const PooledText* bound, int32_t value) {
    if (name != bound) return this;  // an enclosing quantifier's name: left for later
    return new CExpConst(value);
}

CExpression* CExpQuantifierEx::Substitute(const PooledText* name, int32_t value) {
    CExpression* previous = index;
    index = index->Substitute(name, value);
    if (index == previous) return this;  // nothing resolved yet
    if (auto* constant = dynamic_cast<CExpConst*>(index))
        return new CExpVar(CProgram::FindElement(family, constant->value));
    // A nested reference that has just become a variable y: x(y) is an
    // indirect element, shared with every other reference through y.
    CVariable* y = static_cast<CExpVar*>(index)->variable;
    CVariable* element = CProgram::FindIndirect(family, y);
    if (element == nullptr) {
        element = CurrentProgram()->NewVariable(family, false);
        LinkSubscript(element, y);
    }
    return new CExpVar(element);
}
