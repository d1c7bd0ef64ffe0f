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

bool WithinLimits(const Range& r) { return r.lo >= Int::Limits::min && r.hi <= Int::Limits::max; }

int64_t Magnitude(const Range& r) {
    return std::max(r.lo < 0 ? -r.lo : r.lo, r.hi < 0 ? -r.hi : r.hi);
}

// The range of an operation over its operands' ranges, or false for an
// operator the fast search does not model. Operands are within Gecode's
// limits when this runs, so every bound fits in 64 bits.
bool OperationRange(Operator op, const Range& a, const Range& b, Range* out) {
    switch (op) {
        case Operator::Add:
            *out = {a.lo + b.lo, a.hi + b.hi};
            return true;
        case Operator::Subtract:
            *out = {a.lo - b.hi, a.hi - b.lo};
            return true;
        case Operator::Multiply: {
            const int64_t p[] = {a.lo * b.lo, a.lo * b.hi, a.hi * b.lo, a.hi * b.hi};
            *out = {*std::min_element(p, p + 4), *std::max_element(p, p + 4)};
            return true;
        }
        case Operator::Divide:
        case Operator::Remainder: {
            // |a / b| and |a % b| never exceed |a|; a zero divisor gives 0.
            const int64_t m = Magnitude(a);
            *out = {-m, m};
            return true;
        }
        default:
            *out = {0, 1};
            return IsComparison(op);
    }
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

// A node's exact range, remembered per node (subtrees are shared); false
// when it or one of its operands could leave Gecode's limits.
bool Ranges::Compute(const CExpression* e, Range* out) {
    if (auto found = m_ranges.find(e); found != m_ranges.end()) {
        *out = found->second;
        return true;
    }
    Range r{};
    if (!NodeRange(e, &r) || !WithinLimits(r)) return false;
    m_ranges.emplace(e, r);
    *out = r;
    return true;
}

// Leaves give their value or domain bounds; operations their OperationRange;
// logical nodes 0..1 once their operands are within the limits.
bool Ranges::NodeRange(const CExpression* e, Range* out) {
    Range a{}, b{};
    if (auto* c = As<CExpConst>(e)) {
        *out = {c->value, c->value};
    } else if (auto* v = As<CExpVar>(e)) {
        const std::vector<int32_t>& domain = v->variable->family->domain;
        *out = {domain.front(), domain.back()};
    } else if (auto* f = As<CExpFunc>(e)) {
        return Compute(f->left, &a) && Compute(f->right, &b) && OperationRange(f->op, a, b, out);
    } else if (auto* x = As<CExpAnd>(e)) {
        *out = {0, 1};
        return Compute(x->left, &a) && Compute(x->right, &b);
    } else if (auto* o = As<CExpOr>(e)) {
        *out = {0, 1};
        return Compute(o->left, &a) && Compute(o->right, &b);
    } else if (auto* n = As<CExpNot>(e)) {
        *out = {0, 1};
        return Compute(n->operand, &a);
    } else if (As<CExpParameters>(e) || As<CExpAllDifferent>(e)) {
        *out = {1, 1};
    } else {
        *out = {0, 0};  // a bound-name reference left in a tree evaluates to 0
    }
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
    auto* f = As<CExpFunc>(clause.front());
    if (f == nullptr || f->op != Operator::NotEqual) return false;
    auto* x = As<CExpVar>(f->left);
    auto* y = As<CExpVar>(f->right);
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
    if (auto* a = As<CExpAnd>(e)) {
        PostTrue(a->left);
        PostTrue(a->right);
        return;
    }
    rel(m_model, Truth(e));
}

BoolExpr Builder::Truth(const CExpression* e) {
    if (auto* a = As<CExpAnd>(e)) return Truth(a->left) && Truth(a->right);
    if (auto* o = As<CExpOr>(e)) return Truth(o->left) || Truth(o->right);
    if (auto* n = As<CExpNot>(e)) return !Truth(n->operand);
    if (auto* f = As<CExpFunc>(e)) {
        switch (f->op) {
            case Operator::Equal:
                return Int(f->left) == Int(f->right);
            case Operator::NotEqual:
                return Int(f->left) != Int(f->right);
            case Operator::Less:
                return Int(f->left) < Int(f->right);
            case Operator::LessEqual:
                return Int(f->left) <= Int(f->right);
            case Operator::Greater:
                return Int(f->left) > Int(f->right);
            case Operator::GreaterEqual:
                return Int(f->left) >= Int(f->right);
            default:
                break;
        }
    }
    return Int(e) != 0;
}

LinIntExpr Builder::Int(const CExpression* e) {
    if (auto* c = As<CExpConst>(e)) return LinIntExpr(c->value);
    if (auto* v = As<CExpVar>(e)) return LinIntExpr(Var(v->variable));
    if (auto* f = As<CExpFunc>(e)) {
        switch (f->op) {
            case Operator::Add:
                return Int(f->left) + Int(f->right);
            case Operator::Subtract:
                return Int(f->left) - Int(f->right);
            case Operator::Multiply:
                if (auto* c = As<CExpConst>(f->left)) return c->value * Int(f->right);
                if (auto* c = As<CExpConst>(f->right)) return Int(f->left) * c->value;
                return Int(f->left) * Int(f->right);
            case Operator::Divide:
                return Divide(f, false);
            case Operator::Remainder:
                return Divide(f, true);
            default:
                break;  // comparisons: below
        }
    }
    if (As<CExpParameters>(e) || As<CExpAllDifferent>(e)) return LinIntExpr(1);
    if (As<CExpBoundName>(e) || As<CExpBoundSubscript>(e)) return LinIntExpr(0);
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
