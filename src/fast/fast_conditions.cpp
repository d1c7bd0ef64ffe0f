// The compiled conditions in the fast search's model: the check that the
// language's wrap-around arithmetic agrees with Gecode's on the program, and
// the posting of each condition as the disjunction of its alternatives, each
// alternative from its expression tree. Clauses x != y between plain variables
// are gathered and posted as all-different constraints where they form cliques.
#include <algorithm>
#include <set>

#include "expr/expression.h"
#include "fast/fast_model.h"

using namespace Gecode;

namespace fast {

namespace {

// The operators, identified by the function a CExpFunc holds.
struct Operators {
    OperatorFunction sum = SelectOperator("+");
    OperatorFunction difference = SelectOperator("-");
    OperatorFunction product = SelectOperator("*");
    OperatorFunction quotient = SelectOperator("/");
    OperatorFunction remainder = SelectOperator("%");
    OperatorFunction equal = SelectOperator("=");
    OperatorFunction notEqual = SelectOperator("!=");
    OperatorFunction less = SelectOperator("<");
    OperatorFunction lessEqual = SelectOperator("<=");
    OperatorFunction greater = SelectOperator(">");
    OperatorFunction greaterEqual = SelectOperator(">=");

    bool IsComparison(OperatorFunction f) const {
        return f == equal || f == notEqual || f == less || f == lessEqual || f == greater ||
               f == greaterEqual;
    }
};

const Operators& Ops() {
    static const Operators ops;
    return ops;
}

bool WithinLimits(const Range& r) { return r.lo >= Int::Limits::min && r.hi <= Int::Limits::max; }

int64_t Magnitude(const Range& r) {
    return std::max(r.lo < 0 ? -r.lo : r.lo, r.hi < 0 ? -r.hi : r.hi);
}

}  // namespace

// ---- exact ranges ----

bool Ranges::Check(const CProgram& program, std::string* why) {
    for (const std::vector<CExpression*>& clause : program.conditions) {
        for (const CExpression* alternative : clause) {
            Range r{};
            if (!Compute(alternative, &r)) {
                *why = "a value could leave the 32-bit range the fast search works in";
                return false;
            }
        }
    }
    return true;
}

// Children are within the limits when a parent is computed, so every bound
// below fits in 64 bits.
bool Ranges::Compute(const CExpression* e, Range* out) {
    if (auto found = m_ranges.find(e); found != m_ranges.end()) {
        *out = found->second;
        return true;
    }
    Range r{0, 1};
    if (auto* c = dynamic_cast<const CExpConst*>(e)) {
        r = {c->value, c->value};
    } else if (auto* v = dynamic_cast<const CExpVar*>(e)) {
        const std::vector<int32_t>& domain = v->variable->family->domain;
        r = {domain.front(), domain.back()};
    } else if (auto* f = dynamic_cast<const CExpFunc*>(e)) {
        Range a{}, b{};
        if (!Compute(f->left, &a) || !Compute(f->right, &b)) return false;
        const Operators& op = Ops();
        if (f->function == op.sum) {
            r = {a.lo + b.lo, a.hi + b.hi};
        } else if (f->function == op.difference) {
            r = {a.lo - b.hi, a.hi - b.lo};
        } else if (f->function == op.product) {
            const int64_t p[] = {a.lo * b.lo, a.lo * b.hi, a.hi * b.lo, a.hi * b.hi};
            r = {*std::min_element(p, p + 4), *std::max_element(p, p + 4)};
        } else if (f->function == op.quotient || f->function == op.remainder) {
            // |a / b| and |a % b| never exceed |a|; a zero divisor gives 0.
            const int64_t m = Magnitude(a);
            r = {-m, m};
        } else if (!op.IsComparison(f->function)) {
            return false;
        }
    } else if (auto* a = dynamic_cast<const CExpAnd*>(e)) {
        Range x{}, y{};
        if (!Compute(a->left, &x) || !Compute(a->right, &y)) return false;
    } else if (auto* o = dynamic_cast<const CExpOr*>(e)) {
        Range x{}, y{};
        if (!Compute(o->left, &x) || !Compute(o->right, &y)) return false;
    } else if (auto* n = dynamic_cast<const CExpNot*>(e)) {
        Range x{};
        if (!Compute(n->operand, &x)) return false;
    } else if (dynamic_cast<const CExpParameters*>(e) || dynamic_cast<const CExpExc*>(e)) {
        r = {1, 1};
    } else {
        r = {0, 0};  // a quantifier reference left in a tree evaluates to 0
    }
    if (!WithinLimits(r)) return false;
    m_ranges.emplace(e, r);
    *out = r;
    return true;
}

// ---- conditions ----

void Builder::PostConditions() {
    std::vector<std::pair<int, int>> edges;
    for (const std::vector<CExpression*>& clause : m_program.conditions) {
        int a = 0, b = 0;
        if (IsDistinctEdge(clause, &a, &b)) {
            edges.emplace_back(std::min(a, b), std::max(a, b));
        } else if (clause.size() == 1) {
            PostTrue(clause.front());
        } else {
            BoolVarArgs holds;
            for (const CExpression* alternative : clause)
                holds << expr(m_model, Truth(alternative));
            rel(m_model, BOT_OR, holds, 1);
        }
    }
    PostDistinct(edges);
}

bool Builder::IsDistinctEdge(const std::vector<CExpression*>& clause, int* a, int* b) const {
    if (clause.size() != 1) return false;
    auto* f = dynamic_cast<const CExpFunc*>(clause.front());
    if (f == nullptr || f->function != Ops().notEqual) return false;
    auto* x = dynamic_cast<const CExpVar*>(f->left);
    auto* y = dynamic_cast<const CExpVar*>(f->right);
    if (x == nullptr || y == nullptr || x->variable == y->variable) return false;
    *a = m_index.at(x->variable);
    *b = m_index.at(y->variable);
    return true;
}

// Covers the graph of != edges with cliques, greedily: each edge not yet
// covered grows into a maximal clique by adding, lowest index first, the
// variables adjacent to every member. A clique of three or more becomes one
// all-different constraint with domain consistency; a lone edge stays x != y.
void Builder::PostDistinct(const std::vector<std::pair<int, int>>& edgeList) {
    std::set<std::pair<int, int>> edges(edgeList.begin(), edgeList.end());
    std::unordered_map<int, std::vector<int>> adjacent;
    for (const auto& [a, b] : edges) {
        adjacent[a].push_back(b);
        adjacent[b].push_back(a);
    }
    for (auto& [vertex, list] : adjacent) std::sort(list.begin(), list.end());

    std::set<std::pair<int, int>> covered;
    for (const auto& edge : edges) {
        if (covered.count(edge)) continue;
        std::vector<int> clique{edge.first, edge.second};
        std::vector<int> candidates;
        std::set_intersection(adjacent[edge.first].begin(), adjacent[edge.first].end(),
                              adjacent[edge.second].begin(), adjacent[edge.second].end(),
                              std::back_inserter(candidates));
        while (!candidates.empty()) {
            const int next = candidates.front();
            clique.push_back(next);
            std::vector<int> kept;
            std::set_intersection(candidates.begin() + 1, candidates.end(), adjacent[next].begin(),
                                  adjacent[next].end(), std::back_inserter(kept));
            candidates = std::move(kept);
        }
        for (size_t i = 0; i < clique.size(); ++i)
            for (size_t j = i + 1; j < clique.size(); ++j)
                covered.emplace(std::min(clique[i], clique[j]), std::max(clique[i], clique[j]));
        if (clique.size() == 2) {
            rel(m_model, m_model.variables[edge.first], IRT_NQ, m_model.variables[edge.second]);
            continue;
        }
        IntVarArgs members;
        for (int v : clique) members << m_model.variables[v];
        distinct(m_model, members, IPL_DOM);
    }
}

// A clause of one alternative holds outright: conjunctions and comparisons
// are posted as they are, without reification.
void Builder::PostTrue(const CExpression* e) {
    if (auto* a = dynamic_cast<const CExpAnd*>(e)) {
        PostTrue(a->left);
        PostTrue(a->right);
        return;
    }
    rel(m_model, Truth(e));
}

BoolExpr Builder::Truth(const CExpression* e) {
    if (auto* a = dynamic_cast<const CExpAnd*>(e)) return Truth(a->left) && Truth(a->right);
    if (auto* o = dynamic_cast<const CExpOr*>(e)) return Truth(o->left) || Truth(o->right);
    if (auto* n = dynamic_cast<const CExpNot*>(e)) return !Truth(n->operand);
    if (auto* f = dynamic_cast<const CExpFunc*>(e)) {
        const Operators& op = Ops();
        if (f->function == op.equal) return Int(f->left) == Int(f->right);
        if (f->function == op.notEqual) return Int(f->left) != Int(f->right);
        if (f->function == op.less) return Int(f->left) < Int(f->right);
        if (f->function == op.lessEqual) return Int(f->left) <= Int(f->right);
        if (f->function == op.greater) return Int(f->left) > Int(f->right);
        if (f->function == op.greaterEqual) return Int(f->left) >= Int(f->right);
    }
    return Int(e) != 0;
}

LinIntExpr Builder::Int(const CExpression* e) {
    if (auto* c = dynamic_cast<const CExpConst*>(e)) return LinIntExpr(c->value);
    if (auto* v = dynamic_cast<const CExpVar*>(e)) return LinIntExpr(Var(v->variable));
    if (auto* f = dynamic_cast<const CExpFunc*>(e)) {
        const Operators& op = Ops();
        if (f->function == op.sum) return Int(f->left) + Int(f->right);
        if (f->function == op.difference) return Int(f->left) - Int(f->right);
        if (f->function == op.product) {
            if (auto* c = dynamic_cast<const CExpConst*>(f->left)) return c->value * Int(f->right);
            if (auto* c = dynamic_cast<const CExpConst*>(f->right)) return Int(f->left) * c->value;
            return Int(f->left) * Int(f->right);
        }
        if (f->function == op.quotient) return Divide(f, false);
        if (f->function == op.remainder) return Divide(f, true);
    }
    if (dynamic_cast<const CExpParameters*>(e) || dynamic_cast<const CExpExc*>(e))
        return LinIntExpr(1);
    if (dynamic_cast<const CExpQuantifier*>(e) || dynamic_cast<const CExpQuantifierEx*>(e))
        return LinIntExpr(0);
    // Comparisons and logic as 0 / 1.
    return LinIntExpr(expr(m_model, Truth(e)));
}

// Truncating division and remainder, with 0 for a zero divisor: where the
// divisor can be 0, Gecode divides by 1 instead and the result is forced to 0.
LinIntExpr Builder::Divide(const CExpFunc* e, bool remainder) {
    IntVar a = expr(m_model, Int(e->left));
    IntVar b = expr(m_model, Int(e->right));
    const Range& r = m_ranges.Of(e);
    IntVar result(m_model, static_cast<int>(r.lo), static_cast<int>(r.hi));
    auto post = [&](IntVar divisor, IntVar to) {
        if (remainder)
            mod(m_model, a, divisor, to);
        else
            div(m_model, a, divisor, to);
    };
    if (!b.in(0)) {
        post(b, result);
        return result;
    }
    if (b.assigned()) {
        rel(m_model, result, IRT_EQ, 0);
        return result;
    }
    BoolVar zero = expr(m_model, b == 0);
    IntVar divisor(m_model, std::min(b.min(), 1), std::max(b.max(), 1));
    ite(m_model, zero, IntVar(m_model, 1, 1), b, divisor);
    IntVar quotient(m_model, static_cast<int>(r.lo), static_cast<int>(r.hi));
    post(divisor, quotient);
    ite(m_model, zero, IntVar(m_model, 0, 0), quotient, result);
    return result;
}

}  // namespace fast
