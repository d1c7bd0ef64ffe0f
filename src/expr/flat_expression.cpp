// Flattening an expression tree, and testing the flat form under the current
// assignment.
#include "expr/flat_expression.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <utility>

#include "expr/expression.h"

namespace {

// The truth of a comparison; the other operators are never the root of a
// Compare shape.
bool Compares(Operator op, int32_t a, int32_t b) { return Apply(op, a, b) != 0; }

}  // namespace

FlatExpression::FlatExpression(const CExpression& tree, std::vector<CVariable*> variables)
    : m_variables(std::move(variables)) {
    if (auto* f = As<CExpFunc>(&tree); f != nullptr && IsComparison(f->op)) {
        Sum left, right;
        if (AddLinear(f->left, 1, left) && AddLinear(f->right, 1, right)) {
            m_op = f->op;
            if (f->op == Operator::Equal || f->op == Operator::NotEqual) {
                // l = r exactly when l - r is 0 modulo 2^32.
                for (Term& t : right.terms) t.coefficient = 0u - t.coefficient;
                left.terms.insert(left.terms.end(), right.terms.begin(), right.terms.end());
                left.constant -= right.constant;
                right = Sum{};
                m_shape = Shape::Zero;
            } else {
                m_shape = Shape::Compare;
            }
            m_left = std::move(left);
            m_right = std::move(right);
            Merge(m_left);
            Merge(m_right);
            return;
        }
    }
    m_shape = Shape::Code;
    Emit(&tree, 0);
}

// Adds scale x e to the sum; false when e is not a linear sum of variables
// and constants.
bool FlatExpression::AddLinear(const CExpression* e, uint32_t scale, Sum& sum) {
    if (auto* c = As<CExpConst>(e)) {
        sum.constant += scale * static_cast<uint32_t>(c->value);
        return true;
    }
    if (auto* v = As<CExpVar>(e)) {
        sum.terms.push_back({v->variable, scale});
        return true;
    }
    auto* f = As<CExpFunc>(e);
    if (f == nullptr) return false;
    switch (f->op) {
        case Operator::Add:
            return AddLinear(f->left, scale, sum) && AddLinear(f->right, scale, sum);
        case Operator::Subtract:
            return AddLinear(f->left, scale, sum) && AddLinear(f->right, 0u - scale, sum);
        case Operator::Multiply:
            if (auto* c = As<CExpConst>(f->left))
                return AddLinear(f->right, scale * static_cast<uint32_t>(c->value), sum);
            if (auto* c = As<CExpConst>(f->right))
                return AddLinear(f->left, scale * static_cast<uint32_t>(c->value), sum);
            return false;
        default:
            return false;
    }
}

// One term per variable (the order of terms does not matter to a sum);
// terms whose coefficients cancel out go.
void FlatExpression::Merge(Sum& sum) {
    std::vector<Term>& terms = sum.terms;
    std::sort(terms.begin(), terms.end(),
              [](const Term& a, const Term& b) { return a.variable->index < b.variable->index; });
    size_t kept = 0;
    for (size_t i = 0; i < terms.size();) {
        Term merged = terms[i];
        for (++i; i < terms.size() && terms[i].variable == merged.variable; ++i)
            merged.coefficient += terms[i].coefficient;
        if (merged.coefficient != 0) terms[kept++] = merged;
    }
    terms.resize(kept);
}

// Postfix code for e; `depth` values are on the stack below it.
void FlatExpression::Emit(const CExpression* e, size_t depth) {
    m_depth = std::max(m_depth, depth + 1);
    auto binary = [&](const CExpression* l, const CExpression* r, Kind kind, Operator op) {
        Emit(l, depth);
        Emit(r, depth + 1);
        m_code.push_back({kind, op, 0, nullptr});
    };
    if (auto* c = As<CExpConst>(e)) {
        m_code.push_back({Kind::Constant, Operator::Add, c->value, nullptr});
    } else if (auto* v = As<CExpVar>(e)) {
        m_code.push_back({Kind::Variable, Operator::Add, 0, v->variable});
    } else if (auto* f = As<CExpFunc>(e)) {
        binary(f->left, f->right, Kind::Binary, f->op);
    } else if (auto* a = As<CExpAnd>(e)) {
        binary(a->left, a->right, Kind::And, Operator::Add);
    } else if (auto* o = As<CExpOr>(e)) {
        binary(o->left, o->right, Kind::Or, Operator::Add);
    } else if (auto* n = As<CExpNot>(e)) {
        Emit(n->operand, depth);
        m_code.push_back({Kind::Not, Operator::Add, 0, nullptr});
    } else {
        // The remaining kinds evaluate to a constant: an argument list and
        // all-different to 1, a bound-name reference to 0.
        const bool one = As<CExpParameters>(e) != nullptr || As<CExpAllDifferent>(e) != nullptr;
        m_code.push_back({Kind::Constant, Operator::Add, one ? 1 : 0, nullptr});
    }
}

// Both operands of a logical node are evaluated: nothing has side effects, so
// the value is that of the short-circuit walk.
int32_t FlatExpression::Run(int32_t* stack) const {
    int32_t* top = stack;  // one past the topmost value
    for (const Instruction& i : m_code) {
        switch (i.kind) {
            case Kind::Constant:
                *top++ = i.constant;
                break;
            case Kind::Variable:
                *top++ = *i.variable->value;
                break;
            case Kind::Binary:
                --top;
                top[-1] = Apply(i.op, top[-1], *top);
                break;
            case Kind::Not:
                top[-1] = top[-1] == 0;
                break;
            case Kind::And:
                --top;
                top[-1] = (top[-1] != 0) & (*top != 0);
                break;
            case Kind::Or:
                --top;
                top[-1] = (top[-1] != 0) | (*top != 0);
                break;
        }
    }
    return stack[0];
}

// c + a v + b w = 0 exactly when v = -(c + b w) / a, and dividing by an odd
// a is multiplying by its inverse.
Operator FlatExpression::AffineRoot(const CVariable* v, uint32_t* constant, uint32_t* factor,
                                    const CVariable** other) const {
    if (m_shape != Shape::Zero || m_left.terms.size() != 2 || m_variables.size() != 2)
        return Operator::Add;
    const bool first = m_left.terms[0].variable == v;
    if (!first && m_left.terms[1].variable != v) return Operator::Add;
    const Term& own = m_left.terms[first ? 0 : 1];
    const Term& others = m_left.terms[first ? 1 : 0];
    if ((own.coefficient & 1) == 0) return Operator::Add;
    const uint32_t inverse = Inverse(own.coefficient);
    *constant = (0u - m_left.constant) * inverse;
    *factor = (0u - others.coefficient) * inverse;
    *other = others.variable;
    return m_op;
}

// c = 2^k x o with o odd: c x m + base = 0 modulo 2^32 exactly when 2^k
// divides -base and m = (-base / 2^k) x o^-1 modulo 2^(32 - k). A domain
// narrower than 2^(32 - k) holds at most one such m; a value outside the
// domain stands for none.
Operator FlatExpression::EvenRoot(const CVariable* v, uint32_t c, uint32_t base,
                                  int32_t* root) const {
    const std::vector<int32_t>& domain = v->family->domain;
    if (c == 0 || domain.empty()) return Operator::Add;
    const int k = std::countr_zero(c);
    const uint64_t modulus = uint64_t{1} << (32 - k);
    const int64_t front = domain.front();
    const int64_t back = domain.back();
    if (static_cast<uint64_t>(back - front) >= modulus) return Operator::Add;
    // A value that is no member, for "no solution".
    int64_t none = front - 1;
    if (none < INT32_MIN) none = back + 1;
    if (none > INT32_MAX) return Operator::Add;
    const uint32_t target = 0u - base;
    int64_t m = none;
    if ((target & ((uint32_t{1} << k) - 1)) == 0) {
        const uint32_t residue = (target >> k) * Inverse(c >> k);
        // The one value from front on that is congruent to the residue.
        m = front + ((residue - static_cast<uint32_t>(front)) & (modulus - 1));
        if (m > back) m = none;
    }
    *root = static_cast<int32_t>(m);
    return m_op;
}

uint32_t FlatExpression::Value(const Sum& sum) {
    uint32_t value = sum.constant;
    for (const Term& t : sum.terms)
        value += t.coefficient * static_cast<uint32_t>(*t.variable->value);
    return value;
}

bool FlatExpression::Holds(int32_t* stack) const {
    switch (m_shape) {
        case Shape::Zero:
            return (Value(m_left) == 0) == (m_op == Operator::Equal);
        case Shape::Compare:
            return Compares(m_op, static_cast<int32_t>(Value(m_left)),
                            static_cast<int32_t>(Value(m_right)));
        case Shape::Code:
            break;
    }
    return Run(stack) != 0;
}

// v cancels out of the sum when its coefficient is 0 (O in DONALD + GERALD =
// ROBERT): then every member holds or none does.
uint32_t FlatExpression::ZeroValues(const CVariable* v, uint32_t base, uint32_t c,
                                    std::vector<int32_t>& out) const {
    const std::vector<int32_t>& domain = v->family->domain;
    const size_t before = out.size();
    const bool equal = m_op == Operator::Equal;
    if (c == 0) {
        if ((base == 0) == equal) out.insert(out.end(), domain.begin(), domain.end());
    } else {
        for (int32_t member : domain)
            if ((base + c * static_cast<uint32_t>(member) == 0) == equal) out.push_back(member);
    }
    return static_cast<uint32_t>(out.size() - before);
}

uint32_t FlatExpression::TriedValues(CVariable* v, int32_t* stack,
                                     std::vector<int32_t>& out) const {
    const std::vector<int32_t>& domain = v->family->domain;
    const size_t before = out.size();
    if (m_shape == Shape::Compare) {
        uint32_t cl = 0, cr = 0;
        const uint32_t l = ValueWithout(m_left, v, &cl);
        const uint32_t r = ValueWithout(m_right, v, &cr);
        for (int32_t member : domain) {
            const auto m = static_cast<uint32_t>(member);
            if (Compares(m_op, static_cast<int32_t>(l + cl * m), static_cast<int32_t>(r + cr * m)))
                out.push_back(member);
        }
    } else {
        for (const int32_t& member : domain) {
            v->value = &member;
            if (Run(stack) != 0) out.push_back(member);
        }
        v->value = nullptr;
    }
    return static_cast<uint32_t>(out.size() - before);
}
