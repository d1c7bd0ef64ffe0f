// The depth-first search: branching on the candidates of a condition or on the
// domain of the best-scored variable, re-examination of the alternatives that
// a binding touches, pruning, undo, and the exhaustive completion that prints
// each solution. Orders here are observable: they decide the order of lines.
#include "search/searcher.h"

#include <utility>

#include "engine/tovik.h"
#include "expr/expression.h"
#include "search/bind.h"
#include "search/solution_printer.h"

namespace {

// Weight of a registered expression by how many unassigned variables it still
// mentions: the fewer, the closer it is to deciding.
int Weight(int unassigned) {
    constexpr int kWeights[] = {-1, 256, 64, 16, 4, 1};
    return unassigned < 6 ? kWeights[unassigned] : 0;
}

void Unassign(const std::vector<CVariable*>& variables, size_t from = 0) {
    for (size_t i = from; i < variables.size(); ++i) variables[i]->value = nullptr;
}

}  // namespace

// ---- the search state's decisions ----

// Removed and satisfied alternatives still count: registrations are never
// withdrawn during the search.
int SearchState::Score(const CVariable* variable) {
    if (variable->Assigned()) return -1;
    int score = 0;
    for (const CExpression* e : variable->registered) score += Weight(collector.Count(e));
    return score;
}

// The first variable, in variable-list order, with the highest score above -1.
CVariable* SearchState::ChooseVariable() {
    CVariable* best = nullptr;
    int bestScore = -1;
    for (CVariable* v : program.variableList) {
        int score = Score(v);
        if (score > bestScore) {
            best = v;
            bestScore = score;
        }
    }
    return best;
}

bool SearchState::Recheck(CAlternative* a) {
    CCondition* owner = a->owner;
    if (!owner->InList(a) || owner->satisfied) return true;
    candidates.clear();
    switch (Classify(a->expression, candidates)) {
        case Classification::Open:
            return true;
        case Classification::Decided:
            // Propagation assigned all its variables at once.
            if (a->expression->Evaluate() != 0) {
                owner->satisfied = true;
                satisfied.push_back(owner);
                return true;
            }
            [[fallthrough]];
        case Classification::NoValueHolds:
            owner->Unlink(a);
            removed.push_back(a);
            return owner->alternatives != nullptr;
        case Classification::Candidates:
            owner->Unlink(a);
            removed.push_back(a);
            // From the last found to the first, each at the front: they end up
            // at the front of the list in domain order.
            for (size_t i = candidates.size(); i-- > 0;)
                added.push_back(LinkCandidate(*owner, candidates[i]));
            return true;
    }
    return true;
}

// The first candidate that the assignment matches satisfies the condition;
// without one, every contradicted candidate is removed, last noted first.
bool SearchState::CheckCandidates(CCondition* k) {
    contradicted.clear();
    for (CAlternative* a = k->alternatives; a != nullptr; a = a->next) {
        if (a->IsResidual() || !a->variable->Assigned()) continue;
        if (a->variable->Value() == a->value) {
            k->satisfied = true;
            satisfied.push_back(k);
            return true;
        }
        contradicted.push_back(a);
    }
    for (size_t i = contradicted.size(); i-- > 0;) {
        k->Unlink(contradicted[i]);
        removed.push_back(contradicted[i]);
    }
    return k->alternatives != nullptr;
}

// ---- the search ----

Searcher::Searcher(CTovik& engine, CProgram& program)
    : m_engine(engine), m_program(program), m_state(program) {}

bool Searcher::NextStep() {
    if (m_engine.IsCancel()) return false;
    m_engine.OnProgress(++m_steps);
    return true;
}

void Searcher::Run() {
    m_state.PrepareConditions();
    // Conditions from the last to the first; the first one met that consists of
    // candidates only moves to the front, unless the front already holds one.
    // An empty list left out of the search either always holds (dropped by
    // the preparation) or can never hold, and then there is no solution at all.
    std::vector<CCondition>& conditions = m_state.conditions;
    m_order.reserve(conditions.size());
    for (size_t i = conditions.size(); i-- > 0;) {
        CCondition* k = &conditions[i];
        if (k->alternatives == nullptr) {
            if (!k->satisfied) return;
            continue;
        }
        m_order.push_back(k);
        if (Priority(m_order.front()) < Priority(k)) std::swap(m_order.front(), m_order.back());
    }
    CCondition** first = m_order.data();
    Search(first, first + m_order.size());
}

void Searcher::Search(CCondition** first, CCondition** last) {
    if (!NextStep()) return;
    if (first == last) {
        CVariable** all = m_program.variableList.data();
        Exhaust(all, all + m_program.variableList.size());
        return;
    }
    CCondition* k = *first;
    if (Priority(k) != 0) {
        // Candidates only: branch on each, front to back. The steps below
        // never touch this condition, so the walk is stable.
        for (CAlternative* a = k->alternatives; a != nullptr; a = a->next)
            Step(a->variable, a->value, first + 1, last);
        return;
    }
    CVariable* v = m_state.ChooseVariable();
    if (v == nullptr) return;
    // The domain from its last member to its first.
    const std::vector<int32_t>& domain = v->family->domain;
    for (size_t i = domain.size(); i-- > 0;) Step(v, domain[i], first, last);
}

void Searcher::Step(CVariable* variable, int32_t value, CCondition** first, CCondition** last) {
    if (!NextStep()) return;
    CTrail trail(m_state);  // undoes the step however it ends
    if (!AssignAndRecheck(variable, value, trail)) return;
    CCondition** open = SettleConditions(first, last);
    if (open == nullptr) return;
    Search(first, open);
}

// Binds, then re-examines every residual alternative that mentions one of the
// variables assigned, from the last assigned to the first. False when the
// binding fails or a condition loses its last alternative.
bool Searcher::AssignAndRecheck(CVariable* variable, int32_t value, const CTrail& trail) {
    m_stepBound.clear();
    if (!Bind(variable, value, m_stepBound)) {
        Unassign(m_stepBound);
        return false;
    }
    std::vector<CVariable*>& assigned = m_state.assigned;
    assigned.insert(assigned.end(), m_stepBound.begin(), m_stepBound.end());
    for (size_t i = assigned.size(); i-- > trail.AssignedBegin();) {
        const std::vector<CExpression*>& registered = assigned[i]->registered;
        for (size_t j = registered.size(); j-- > 0;)
            if (!m_state.Recheck(registered[j]->owner)) return false;
    }
    return true;
}

// Moves satisfied conditions behind the end and the first condition met that
// consists of candidates only to the front. Returns the new end, or null when
// a condition has lost every alternative.
CCondition** Searcher::SettleConditions(CCondition** first, CCondition** last) {
    CCondition** r = first;
    CCondition** e = last;
    while (r != e) {
        CCondition* k = *r;
        if (k->satisfied) {
            *r = *(e - 1);
            *(e - 1) = k;
            --e;
            continue;
        }
        if (!m_state.CheckCandidates(k)) return nullptr;
        if (k->satisfied) {
            std::swap(*r, *(e - 1));
            --e;
            continue;
        }
        if (Priority(*first) < Priority(k)) std::swap(*first, *r);
        ++r;
    }
    return e;
}

void Searcher::Exhaust(CVariable** first, CVariable** last) {
    if (!NextStep()) return;
    CVariable** p = first;
    while (p != last && ((*p)->Assigned() || (*p)->subscript != nullptr)) ++p;
    if (p == last) {
        PrintSolution(m_engine, m_program);
        return;
    }
    // The domain from its last member to its first; Exhaust evaluates no
    // condition, only Bind restricts it.
    const std::vector<int32_t>& domain = (*p)->family->domain;
    for (size_t i = domain.size(); i-- > 0;) {
        m_exhaustBound.clear();
        if (!Bind(*p, domain[i], m_exhaustBound)) {
            Unassign(m_exhaustBound);
            continue;
        }
        size_t mark = m_exhaustKept.size();
        m_exhaustKept.insert(m_exhaustKept.end(), m_exhaustBound.begin(), m_exhaustBound.end());
        Exhaust(p + 1, last);
        Unassign(m_exhaustKept, mark);
        m_exhaustKept.resize(mark);
    }
}
