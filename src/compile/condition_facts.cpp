// Condition facts: the bounds of arithmetic operations, and a bounded
// enumeration of a condition's own variables.
#include "compile/condition_facts.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
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

// The distinct variables of a condition and the number of nodes one
// evaluation may visit (shared subtrees counted once per path), or false
// when either passes its limit.
class VariableCollector {
public:
    VariableCollector(size_t maxVariables, uint64_t maxNodes)
        : m_maxVariables(maxVariables), m_maxNodes(maxNodes) {}

    bool Collect(const CExpression* e) {
        if (++nodes > m_maxNodes) return false;
        if (auto* v = dynamic_cast<const CExpVar*>(e)) {
            if (std::find(variables.begin(), variables.end(), v->variable) == variables.end())
                variables.push_back(v->variable);
            return variables.size() <= m_maxVariables;
        }
        // The common kinds first: every failed cast costs a walk of the
        // type's description.
        if (auto* f = dynamic_cast<const CExpFunc*>(e))
            return Collect(f->left) && Collect(f->right);
        if (dynamic_cast<const CExpConst*>(e) != nullptr) return true;
        if (auto* a = dynamic_cast<const CExpAnd*>(e)) return Collect(a->left) && Collect(a->right);
        if (auto* o = dynamic_cast<const CExpOr*>(e)) return Collect(o->left) && Collect(o->right);
        if (auto* n = dynamic_cast<const CExpNot*>(e)) return Collect(n->operand);
        return false;  // nothing else is evaluated
    }

    std::vector<CVariable*> variables;
    uint64_t nodes = 0;

private:
    size_t m_maxVariables;
    uint64_t m_maxNodes;
};

// Gives the variables values for an enumeration and takes them back after it,
// so that the program leaves the check as it came.
class TrialAssignment {
public:
    explicit TrialAssignment(const std::vector<CVariable*>& variables)
        : m_variables(variables), m_index(variables.size(), 0) {
        for (CVariable* v : m_variables) {
            m_saved.push_back(v->value);
            v->value = &v->family->domain[0];
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
    const std::vector<CVariable*>& m_variables;
    std::vector<size_t> m_index;
    std::vector<const int32_t*> m_saved;
};

// A condition over more assignments than this is not enumerated, however
// little each evaluation costs.
constexpr uint64_t kMaxAssignments = 4096;
constexpr size_t kMaxVariables = 12;  // 2^12 assignments at the least

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
    VariableCollector collector(kMaxVariables, std::min<uint64_t>(work, 1u << 16));
    if (!collector.Collect(condition)) return std::nullopt;
    uint64_t assignments = 1;
    for (const CVariable* v : collector.variables) {
        assignments *= v->family->domain.size();
        if (assignments > kMaxAssignments) return std::nullopt;
    }
    if (assignments * collector.nodes > work) return std::nullopt;
    TrialAssignment trial(collector.variables);
    do {
        work -= collector.nodes;
        if (condition->Evaluate() != 0) return true;
    } while (trial.Next());
    return false;
}
