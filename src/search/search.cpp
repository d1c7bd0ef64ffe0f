// The depth-first search: branching on the candidates of a condition or on the
// domain of the best-scored variable, re-examination of the alternatives that
// a binding touches, pruning, undo, and the exhaustive completion that prints
// each solution. Orders here are observable: they decide the order of lines.
#include <utility>

#include "expr/expression.h"
#include "search/search.h"

namespace {

// Weight of a registered expression by how many unassigned variables it still
// mentions: the fewer, the closer it is to deciding.
int Weight(int unassigned) {
    static constexpr int kWeights[] = {-1, 256, 64, 16, 4, 1};
    return unassigned < 6 ? kWeights[unassigned] : 0;
}

void Unassign(const std::vector<CVariable*>& variables, size_t from = 0) {
    for (size_t i = from; i < variables.size(); ++i) variables[i]->value = nullptr;
}

}  // namespace

bool CTovik::Step() {
    if (IsCancel()) return false;
    OnProgress(++m_progress);
    return true;
}

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
            for (size_t i = candidates.size(); i-- > 0;) {
                CAlternative* c = NewAlternative();
                c->variable = candidates[i].variable;
                c->value = candidates[i].value;
                owner->LinkFront(c);
                added.push_back(c);
            }
            return true;
    }
    return true;
}

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

void CTovik::Search(CCondition** first, CCondition** last) {
    if (!Step()) return;
    SearchState& s = *m_search;
    if (first == last) {
        CVariable** all = s.program.variableList.data();
        Exhaust(all, all + s.program.variableList.size());
        return;
    }
    CCondition* k = *first;
    if (Priority(k) != 0) {
        // Candidates only: branch on each, front to back. The steps below
        // never touch this condition, so the walk is stable.
        for (CAlternative* a = k->alternatives; a != nullptr; a = a->next)
            Search(a->variable, a->value, first + 1, last);
        return;
    }
    CVariable* v = s.ChooseVariable();
    if (v == nullptr) return;
    // The domain from its last member to its first.
    const std::vector<int32_t>& domain = v->family->domain;
    for (size_t i = domain.size(); i-- > 0;) Search(v, domain[i], first, last);
}

void CTovik::Search(CVariable* variable, int32_t value, CCondition** first, CCondition** last) {
    if (!Step()) return;
    SearchState& s = *m_search;
    CTrail trail(s);

    // Assign, then re-examine every residual alternative that mentions one of
    // the variables assigned, from the last assigned to the first.
    s.stepBound.clear();
    if (!Bind(variable, value, s.stepBound)) {
        Unassign(s.stepBound);
        return;
    }
    s.assigned.insert(s.assigned.end(), s.stepBound.begin(), s.stepBound.end());
    for (size_t i = s.assigned.size(); i-- > trail.AssignedBegin();) {
        const std::vector<CExpression*>& registered = s.assigned[i]->registered;
        for (size_t j = registered.size(); j-- > 0;)
            if (!s.Recheck(registered[j]->owner)) return;
    }

    // Satisfied conditions move behind the end; the first condition met that
    // consists of candidates only moves to the front.
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
        if (!s.CheckCandidates(k)) return;
        if (k->satisfied) {
            std::swap(*r, *(e - 1));
            --e;
            continue;
        }
        if (Priority(*first) < Priority(k)) std::swap(*first, *r);
        ++r;
    }
    Search(first, e);
}

void CTovik::Exhaust(CVariable** first, CVariable** last) {
    if (!Step()) return;
    SearchState& s = *m_search;
    CVariable** p = first;
    while (p != last && ((*p)->Assigned() || (*p)->subscript != nullptr)) ++p;
    if (p == last) {
        PrintSolution(*this);
        return;
    }
    const std::vector<int32_t>& domain = (*p)->family->domain;
    for (size_t i = domain.size(); i-- > 0;) {
        s.exhaustBound.clear();
        if (!Bind(*p, domain[i], s.exhaustBound)) {
            Unassign(s.exhaustBound);
            continue;
        }
        size_t mark = s.exhaustKept.size();
        s.exhaustKept.insert(s.exhaustKept.end(), s.exhaustBound.begin(), s.exhaustBound.end());
        Exhaust(p + 1, last);
        Unassign(s.exhaustKept, mark);
        s.exhaustKept.resize(mark);
    }
}
