// GetValues: every value a tree can take while each variable ranges over its
// whole declared domain. Used at compile time only (simplification, subscript
// bound checks).
#include <algorithm>

#include "expr/expression.h"

namespace {

ValueList Truth(bool canBeFalse, bool canBeTrue) {
    ValueList result;
    if (canBeFalse) result.push_back(0);
    if (canBeTrue) result.push_back(1);
    return result;
}

}  // namespace

ValueList CExpAnd::GetValues() const {
    ValueList l = left->GetValues();
    ValueList r = right->GetValues();
    if (AllFalse(l) || AllFalse(r)) return {0};
    if (AllTrue(l) && AllTrue(r)) return {1};
    return {0, 1};
}

ValueList CExpOr::GetValues() const {
    ValueList l = left->GetValues();
    ValueList r = right->GetValues();
    if (AllTrue(l) || AllTrue(r)) return {1};
    if (AllFalse(l) && AllFalse(r)) return {0};
    return {0, 1};
}

ValueList CExpNot::GetValues() const {
    ValueList v = operand->GetValues();
    bool nonZero = false, zero = false;
    for (auto it = v.rbegin(); it != v.rend() && !(nonZero && zero); ++it) {
        if (*it != 0) nonZero = true;
        else zero = true;
    }
    // A non-zero operand makes the negation 0, a zero operand makes it 1.
    return Truth(nonZero, zero);
}

ValueList CExpFunc::GetValues() const {
    ValueList l = left->GetValues();
    ValueList r = right->GetValues();
    ValueList result;
    if (l.empty() || r.empty()) return result;
    result.reserve(l.size() * r.size());
    for (size_t i = l.size(); i-- > 0;)
        for (size_t j = r.size(); j-- > 0;) result.push_back(function(l[i], r[j]));
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

ValueList CExpConst::GetValues() const { return {value}; }
ValueList CExpVar::GetValues() const { return variable->family->domain; }
ValueList CExpParameters::GetValues() const { return {1}; }
ValueList CExpExc::GetValues() const { return {1}; }
ValueList CExpQuantifierEx::GetValues() const { return family->domain; }

ValueList CExpQuantifier::GetValues() const {
    CProgram* program = CurrentProgram();
    auto bound = program->boundNames.find(name);
    if (bound == program->boundNames.end()) return {};
    const std::vector<int32_t>* set = program->FindSet(bound->second);
    return set ? *set : ValueList{};
}
