// Condition facts: the bounds of arithmetic operations, and a bounded
// enumeration of a condition's own variables.
#include "compile/condition_facts.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <vector>

#include "expr/expression.h"

namespace {

Bounds Hull(std::initializer_list<int64_t> values) { return {std::min(values), std::max(values)}; }

// Exact bounds of a / b (truncating, 0 when b is 0) over a x b: for a fixed
// divisor the quotient is monotonic in a, and for a fixed a its size shrinks
// as |b| grows, so the extremes lie at a's ends and at the divisors of each
// sign nearest to and farthest from zero.
Bounds Quotient(const Bounds& a, const Bounds& b) {
    Bounds out{INT64_MAX, INT64_MIN};
    if (b.lo <= 0 && b.hi >= 0) out = {0, 0};
    for (int64_t d : {b.lo, b.hi, std::max<int64_t>(b.lo, 1), std::min<int64_t>(b.hi, -1)}) {
        if (d == 0 || d < b.lo || d > b.hi) continue;
        for (int64_t n : {a.lo, a.hi}) {
            out.lo = std::min(out.lo, n / d);
            out.hi = std::max(out.hi, n / d);
        }
    }
    return out;
}

// A remainder takes the sign of a, is smaller than the largest divisor and no
// larger than a itself; it never leaves the range.
Bounds Remainder(const Bounds& a, const Bounds& b) {
    const int64_t limit = std::max(std::abs(b.lo), std::abs(b.hi)) - 1;
    if (limit <= 0) return {0, 0};
    return {a.lo < 0 ? -std::min(-a.lo, limit) : 0, a.hi > 0 ? std::min(a.hi, limit) : 0};
}

// A condition over more assignments than this is not enumerated, however
// little each evaluation costs.
constexpr uint64_t kMaxAssignments = 4096;
constexpr size_t kMaxVariables = 12;  // 2^12 assignments at the least

// The distinct variables of a condition and the number of nodes one
// evaluation may visit (shared subtrees counted once per path), or false
// when either passes its limit. The check runs on every condition of the
// puzzle, so the variables are kept in place rather than on the heap.
class VariableCollector {
public:
    explicit VariableCollector(uint64_t maxNodes) : m_maxNodes(maxNodes) {}

    bool Collect(const CExpression* e) {
        if (++nodes > m_maxNodes) return false;
        switch (e->kind) {
            case NodeKind::Var: {
                CVariable* variable = static_cast<const CExpVar*>(e)->variable;
                CVariable** end = m_variables.data() + m_count;
                if (std::find(m_variables.data(), end, variable) != end) return true;
                if (m_count == kMaxVariables) return false;
                m_variables[m_count++] = variable;
                return true;
            }
            case NodeKind::Const:
                return true;
            case NodeKind::Func: {
                auto* f = static_cast<const CExpFunc*>(e);
                return Collect(f->left) && Collect(f->right);
            }
            case NodeKind::And: {
                auto* a = static_cast<const CExpAnd*>(e);
                return Collect(a->left) && Collect(a->right);
            }
            case NodeKind::Or: {
                auto* o = static_cast<const CExpOr*>(e);
                return Collect(o->left) && Collect(o->right);
            }
            case NodeKind::Not:
                return Collect(static_cast<const CExpNot*>(e)->operand);
            default:
                return false;  // nothing else is evaluated
        }
    }

    std::span<CVariable* const> Variables() const { return {m_variables.data(), m_count}; }

    uint64_t nodes = 0;

private:
    uint64_t m_maxNodes;
    std::array<CVariable*, kMaxVariables> m_variables{};
    size_t m_count = 0;
};

// Gives the variables values for an enumeration and takes them back after it,
// so that the program leaves the check as it came.
class TrialAssignment {
public:
    explicit TrialAssignment(std::span<CVariable* const> variables) : m_variables(variables) {
        for (size_t i = 0; i < m_variables.size(); ++i) {
            m_saved[i] = m_variables[i]->value;
            m_variables[i]->value = &m_variables[i]->family->domain[0];
        }
    }
    ~TrialAssignment() {
        for (size_t i = 0; i < m_variables.size(); ++i) m_variables[i]->value = m_saved[i];
    }
    TrialAssignment(const TrialAssignment&) = delete;
    TrialAssignment& operator=(const TrialAssignment&) = delete;

    // The next assignment in odometer order; false after the last one.
    bool Next() {
        for (size_t i = 0; i < m_variables.size(); ++i) {
            const std::vector<int32_t>& domain = m_variables[i]->family->domain;
            if (++m_index[i] < domain.size()) {
                m_variables[i]->value = &domain[m_index[i]];
                return true;
            }
            m_index[i] = 0;
            m_variables[i]->value = &domain[0];
        }
        return false;
    }

private:
    std::span<CVariable* const> m_variables;
    std::array<size_t, kMaxVariables> m_index{};
    std::array<const int32_t*, kMaxVariables> m_saved{};
};

}  // namespace

// Operands within the 32-bit range keep every product within 64 bits.
Bounds OperationBounds(Operator op, const Bounds& a, const Bounds& b) {
    switch (op) {
        case Operator::Add:
            return {a.lo + b.lo, a.hi + b.hi};
        case Operator::Subtract:
            return {a.lo - b.hi, a.hi - b.lo};
        case Operator::Multiply:
            return Hull({a.lo * b.lo, a.lo * b.hi, a.hi * b.lo, a.hi * b.hi});
        case Operator::Divide:
            return Quotient(a, b);
        case Operator::Remainder:
            return Remainder(a, b);
        default:
            return {0, 1};
    }
}

std::optional<bool> CanHold(const CExpression* condition, uint64_t& work) {
    VariableCollector collector(std::min<uint64_t>(work, 1u << 16));
    if (!collector.Collect(condition)) return std::nullopt;
    uint64_t assignments = 1;
    for (const CVariable* v : collector.Variables()) {
        assignments *= v->family->domain.size();
        if (assignments > kMaxAssignments) return std::nullopt;
    }
    if (assignments * collector.nodes > work) return std::nullopt;
    TrialAssignment trial(collector.Variables());
    do {
        work -= collector.nodes;
        if (condition->Evaluate() != 0) return true;
    } while (trial.Next());
    return false;
}
