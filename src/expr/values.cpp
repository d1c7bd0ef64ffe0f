// The value sets of expressions: every value a tree can take while each
// variable ranges over its whole declared domain. Used at compile time only
// (simplification, always-true / always-false clauses, subscript checks).
#include "expr/expression.h"

const ValueSet& CExpression::Values() const {
    if (!m_values) m_values = std::make_unique<ValueSet>(GetValueSet());
    return *m_values;
}

ValueSet CExpAnd::GetValueSet() const {
    const ValueSet& l = left->Values();
    if (l.AllFalse()) return ValueSet::Single(0);
    const ValueSet& r = right->Values();
    if (r.AllFalse()) return ValueSet::Single(0);
    if (l.AllTrue() && r.AllTrue()) return ValueSet::Single(1);
    return ValueSet::Truth(true, true);
}

ValueSet CExpOr::GetValueSet() const {
    const ValueSet& l = left->Values();
    if (l.AllTrue()) return ValueSet::Single(1);
    const ValueSet& r = right->Values();
    if (r.AllTrue()) return ValueSet::Single(1);
    if (l.AllFalse() && r.AllFalse()) return ValueSet::Single(0);
    return ValueSet::Truth(true, true);
}

// A non-zero operand makes the negation 0, a zero operand makes it 1.
ValueSet CExpNot::GetValueSet() const {
    const ValueSet& v = operand->Values();
    if (v.Empty()) return ValueSet();
    return ValueSet::Truth(!v.AllFalse(), v.Contains(0));
}

ValueSet CExpFunc::GetValueSet() const {
    return OperatorValues(op, left->Values(), right->Values(), arenaPoll);
}

ValueSet CExpConst::GetValueSet() const { return ValueSet::Single(value); }
ValueSet CExpVar::GetValueSet() const { return variable->family->DomainValues(); }
ValueSet CExpParameters::GetValueSet() const { return ValueSet::Single(1); }
ValueSet CExpAllDifferent::GetValueSet() const { return ValueSet::Single(1); }
ValueSet CExpBoundSubscript::GetValueSet() const { return family->DomainValues(); }
ValueSet CExpBoundName::GetValueSet() const { return ValueSet::FromSorted(*set); }
