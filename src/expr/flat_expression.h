// FlatExpression: an expression tree flattened for the search, which tests it
// under the current assignment at nearly every step. A comparison of two
// linear sums (x != y, q1 - q2 != 3, 1000 * S + 100 * E + ... = ...) is kept
// as coefficient lists, everything else as postfix code run on a value stack:
// no virtual calls, no recursion. Both forms give exactly the tree's Evaluate
// value, wrap-around included: sums, differences and products by constants
// are ring operations modulo 2^32, whatever order they are done in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "expr/operators.h"
#include "model/program.h"

class CExpression;

class FlatExpression {
public:
    // `variables`: the distinct variables that CollectUnbound finds in the
    // tree (the caller has them at hand).
    FlatExpression(const CExpression& tree, std::vector<CVariable*> variables);

    // The distinct variables the tree mentions.
    const std::vector<CVariable*>& Variables() const { return m_variables; }
    // Entries of the value stack that Holds and Solve need.
    size_t StackDepth() const { return m_depth; }

    // Whether the tree evaluates to non-zero; every variable is assigned.
    bool Holds(int32_t* stack) const;
    // What Solve finds: the operator Equal or NotEqual and the root that
    // decides the members, or Add and how many members it appended.
    struct Solution {
        Operator op = Operator::Add;
        int32_t root = 0;
        uint32_t count = 0;
    };
    // The members of v's domain for which the tree holds while v takes them
    // and the other variables keep their values; v is the one unassigned
    // variable, and stays unassigned. When one value decides them, the
    // solution is the operator and that root, and nothing is appended: for
    // Equal, the members are the root if it is a member and none otherwise;
    // for NotEqual, every member but the root. That is a tree of the form
    // "sum = 0" or "sum != 0" (after moving every term to the left) in which
    // v's coefficient is odd (the root is then the one 32-bit value that
    // makes the sum 0), or even over a narrow enough domain. Otherwise the
    // members are appended to `out`, first to last, and counted.
    Solution Solve(CVariable* v, int32_t* stack, std::vector<int32_t>& out) const;
    // For a tree of the form "c + a x v + b x w = 0" or "!= 0" over exactly
    // two variables v and w, with a odd: v's root as a function of w's value,
    // root = *constant + *factor x w (modulo 2^32), w in *other, and the
    // operator. For every other tree, Operator::Add and the outputs unchanged.
    Operator AffineRoot(const CVariable* v, uint32_t* constant, uint32_t* factor,
                        const CVariable** other) const;

private:
    // coefficient x variable, summed modulo 2^32.
    struct Term {
        const CVariable* variable;
        uint32_t coefficient;
    };
    struct Sum {
        uint32_t constant = 0;
        std::vector<Term> terms;
    };
    enum class Shape : uint8_t {
        Zero,     // holds when m_left is 0 (op Equal) or not 0 (op NotEqual)
        Compare,  // m_left op m_right, as signed values
        Code,     // m_code
    };
    enum class Kind : uint8_t { Constant, Variable, Binary, Not, And, Or };
    struct Instruction {
        Kind kind;
        Operator op;  // Binary
        int32_t constant;
        const CVariable* variable;
    };

    static bool AddLinear(const CExpression* e, uint32_t scale, Sum& sum);
    static void Merge(Sum& sum);
    static uint32_t Value(const Sum& sum);
    // The sum without v's terms, and v's coefficient.
    static uint32_t ValueWithout(const Sum& sum, const CVariable* v, uint32_t* coefficient);
    // The inverse of an odd c modulo 2^32.
    static uint32_t Inverse(uint32_t c);
    // Root for an even coefficient c of v, and `base` the rest of the sum.
    Operator EvenRoot(const CVariable* v, uint32_t c, uint32_t base, int32_t* root) const;
    // Solve's appending, which returns how many members it appended: for the
    // form "sum = 0" or "!= 0", with `base` the sum without v's terms and c
    // v's coefficient; for the other forms, by trying each member.
    uint32_t ZeroValues(const CVariable* v, uint32_t base, uint32_t c,
                        std::vector<int32_t>& out) const;
    uint32_t TriedValues(CVariable* v, int32_t* stack, std::vector<int32_t>& out) const;
    void Emit(const CExpression* e, size_t depth);
    int32_t Run(int32_t* stack) const;

    Shape m_shape = Shape::Code;
    Operator m_op = Operator::Equal;
    Sum m_left, m_right;
    std::vector<Instruction> m_code;
    std::vector<CVariable*> m_variables;
    size_t m_depth = 0;
};

// Inline: the search asks at nearly every step.

inline uint32_t FlatExpression::ValueWithout(const Sum& sum, const CVariable* v,
                                             uint32_t* coefficient) {
    uint32_t value = sum.constant;
    *coefficient = 0;
    for (const Term& t : sum.terms) {
        if (t.variable == v)
            *coefficient = t.coefficient;
        else
            value += t.coefficient * static_cast<uint32_t>(*t.variable->value);
    }
    return value;
}

// An odd coefficient has an inverse modulo 2^32, so c x m = -base has
// exactly one solution m. Newton's iteration doubles the correct low bits of
// the inverse at every round: 3 bits to start with (c x c = 1 mod 8), 48
// after four rounds.
inline uint32_t FlatExpression::Inverse(uint32_t c) {
    uint32_t inverse = c;  // right away for 1 and -1, the usual coefficients
    if (c * c != 1)
        for (int i = 0; i < 4; ++i) inverse *= 2 - c * inverse;
    return inverse;
}

inline FlatExpression::Solution FlatExpression::Solve(CVariable* v, int32_t* stack,
                                                      std::vector<int32_t>& out) const {
    if (m_shape != Shape::Zero) return {Operator::Add, 0, TriedValues(v, stack, out)};
    uint32_t c = 0;
    const uint32_t base = ValueWithout(m_left, v, &c);
    if ((c & 1) != 0) return {m_op, static_cast<int32_t>((0u - base) * Inverse(c)), 0};
    int32_t root = 0;
    if (EvenRoot(v, c, base, &root) != Operator::Add) return {m_op, root, 0};
    return {Operator::Add, 0, ZeroValues(v, base, c, out)};
}
