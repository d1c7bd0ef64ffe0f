// Evaluate: the value of a tree under the current assignment. Every variable
// the tree mentions must be assigned; logical and comparison results are 0 or 1.
#include "expr/expression.h"

int32_t CExpAnd::Evaluate() const {
    if (left->Evaluate() == 0) return 0;
    return right->Evaluate() != 0;
}

int32_t CExpOr::Evaluate() const {
    if (left->Evaluate() != 0) return 1;
    return right->Evaluate() != 0;
}

int32_t CExpNot::Evaluate() const { return operand->Evaluate() == 0; }

int32_t CExpFunc::Evaluate() const {
    const int32_t a = left->Evaluate();
    const int32_t b = right->Evaluate();
    return function(a, b);
}

int32_t CExpConst::Evaluate() const { return value; }
int32_t CExpVar::Evaluate() const { return variable->Value(); }
int32_t CExpParameters::Evaluate() const { return 1; }
int32_t CExpAllDifferent::Evaluate() const { return 1; }
int32_t CExpBoundName::Evaluate() const { return 0; }
int32_t CExpBoundSubscript::Evaluate() const { return 0; }
