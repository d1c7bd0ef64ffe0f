// Condition facts: what the warnings about one condition need to know beyond
// its value set: the true bounds of its arithmetic, and whether it can hold.
// Both look at the condition alone,
// each variable ranging over its whole declared domain independently of the
// others (an indirect element apart from its subscript, the elements of an
// ordering apart from each other): a relaxation of the puzzle, so "never
// holds" found this way is never a false alarm.
#pragma once

#include <cstdint>
#include <optional>

#include "expr/operators.h"

class CExpression;

// Exact bounds of a value, in 64 bits so that they can pass the 32-bit range.
struct Bounds {
    int64_t lo;
    int64_t hi;
    bool InRange() const { return lo >= INT32_MIN && hi <= INT32_MAX; }
};

// The bounds of `op` over operands anywhere within `a` and `b`, computed
// without wrapping around: exact when the operands vary independently.
Bounds OperationBounds(Operator op, const Bounds& a, const Bounds& b);

// Whether some assignment of the condition's variables makes it hold:
// true or false when that was decided within `work` evaluations of a node
// (the work actually done is subtracted), nullopt when deciding it would
// cost more than what is left of `work`.
std::optional<bool> CanHold(const CExpression* condition, uint64_t& work);
