// The eleven operators of two-operand nodes (CExpFunc): their values under
// 32-bit wrap-around arithmetic, and the set of values they give over two
// value sets. Division and remainder by zero give 0; nothing traps.
#pragma once

#include <cstdint>
#include <functional>

#include "model/value_set.h"

enum class Operator : uint8_t {
    Add,
    Subtract,
    Multiply,
    Divide,
    Remainder,
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
};

inline bool IsComparison(Operator op) { return op >= Operator::Equal; }

// The operator's value for a and b.
inline int32_t Apply(Operator op, int32_t a, int32_t b) {
    const auto ua = static_cast<uint32_t>(a);
    const auto ub = static_cast<uint32_t>(b);
    switch (op) {
        case Operator::Add:
            return static_cast<int32_t>(ua + ub);
        case Operator::Subtract:
            return static_cast<int32_t>(ua - ub);
        case Operator::Multiply:
            return static_cast<int32_t>(ua * ub);
        case Operator::Divide:
            // Truncates toward zero; INT_MIN / -1 wraps to INT_MIN.
            if (b == 0) return 0;
            if (b == -1) return static_cast<int32_t>(0u - ua);
            return a / b;
        case Operator::Remainder:
            // Takes the sign of a.
            if (b == 0 || b == -1) return 0;
            return a % b;
        case Operator::Equal:
            return a == b;
        case Operator::NotEqual:
            return a != b;
        case Operator::Less:
            return a < b;
        case Operator::LessEqual:
            return a <= b;
        case Operator::Greater:
            return a > b;
        case Operator::GreaterEqual:
            return a >= b;
    }
    return 0;
}

// The operator's value as a function of its operands, for the nodes that
// evaluate it at every search step: a call through it costs less than
// dispatching on the operator each time.
using OperatorFunction = int32_t (*)(int32_t, int32_t);
OperatorFunction FunctionOf(Operator op);

// Every value `op` gives over the pairs of l x r: exactly the set the full
// cross product gives. Small results are listed; the values of an
// arithmetic operation over large sets come back lazy, answering questions
// without the cross product (operator_sets.cpp).
// `poll`, when given, is called now and then during long walks (it may throw
// to stop them).
ValueSet OperatorValues(Operator op, const ValueSet& l, const ValueSet& r,
                        const std::function<void()>* poll = nullptr);
// The lazy set of an arithmetic operation over two sets that are not empty.
ValueSet LazyOperatorValues(Operator op, const ValueSet& l, const ValueSet& r,
                            const std::function<void()>* poll = nullptr);
