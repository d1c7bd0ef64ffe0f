// Substitute: replaces every reference to one bound name by a constant, and
// resolves subscripted references whose subscript has thereby become a
// constant or a variable. Applied only to fresh clones of a quantified body.
#include "expr/expression.h"

CExpression* CExpAnd::Substitute(const PooledText* name, int32_t value, CProgram& program) {
    left = left->Substitute(name, value, program);
    right = right->Substitute(name, value, program);
    Invalidate();
    return this;
}

CExpression* CExpOr::Substitute(const PooledText* name, int32_t value, CProgram& program) {
    left = left->Substitute(name, value, program);
    right = right->Substitute(name, value, program);
    Invalidate();
    return this;
}

CExpression* CExpNot::Substitute(const PooledText* name, int32_t value, CProgram& program) {
    operand = operand->Substitute(name, value, program);
    Invalidate();
    return this;
}

CExpression* CExpFunc::Substitute(const PooledText* name, int32_t value, CProgram& program) {
    left = left->Substitute(name, value, program);
    right = right->Substitute(name, value, program);
    Invalidate();
    return this;
}

// From the last element to the first.
CExpression* CExpParameters::Substitute(const PooledText* name, int32_t value, CProgram& program) {
    for (size_t i = elements.size(); i-- > 0;)
        elements[i] = elements[i]->Substitute(name, value, program);
    return this;
}

CExpression* CExpAllDifferent::Substitute(const PooledText* name, int32_t value,
                                          CProgram& program) {
    list->Substitute(name, value, program);
    return this;
}

CExpression* CExpBoundName::Substitute(const PooledText* bound, int32_t value, CProgram& program) {
    if (name != bound) return this;  // an enclosing quantifier's name: left for later
    return program.nodes.Make<CExpConst>(value);
}

CExpression* CExpBoundSubscript::Substitute(const PooledText* name, int32_t value,
                                            CProgram& program) {
    CExpression* previous = index;
    index = index->Substitute(name, value, program);
    if (index == previous) return this;  // nothing resolved yet
    if (auto* constant = As<CExpConst>(index))
        return program.nodes.Make<CExpVar>(CProgram::FindElement(family, constant->value));
    // A nested reference that has just become a variable y: x(y) is an
    // indirect element, shared with every other reference through y.
    CVariable* y = static_cast<CExpVar*>(index)->variable;
    return program.nodes.Make<CExpVar>(program.IndirectElement(family, y));
}
