// The depth-first search: branching on the candidates of a condition or on the
// domain of the best-scored variable, re-examination of the alternatives that
// a binding touches, pruning, undo, and the exhaustive completion that prints
// each solution. Orders here are observable: they decide the order of lines.
#include "search/searcher.h"

#include <algorithm>
#include <utility>

#include "engine/tovik.h"
#include "search/bind.h"
#include "search/solution_printer.h"

namespace {

// Weight of a registered expression by how many unassigned variables it still
// mentions: the fewer, the closer it is to deciding.
int Weight(uint32_t unassigned) {
    constexpr int kWeights[] = {-1, 256, 64, 16, 4, 1};
    return unassigned < 6 ? kWeights[unassigned] : 0;
}

void Unassign(const std::vector<CVariable*>& variables, size_t from = 0) {
    for (size_t i = from; i < variables.size(); ++i) variables[i]->value = nullptr;
}

}  // namespace

// ---- the search state's decisions ----

// Removed and satisfied alternatives still count: registrations are never
// withdrawn during the search. A pair's count follows from its other
// variable, `variable` being unassigned: 1 when that one is assigned, 2
// otherwise.
int SearchState::Score(const CVariable* variable) const {
    if (variable->Assigned()) return -1;
    const uint32_t index = variable->index;
    CVariable* const* const all = program.variableList.data();
    int score = 0;
    for (uint32_t r : variables[index].registered) {
        const Residual& residual = residuals[r];
        if (residual.IsPair())
            score += Weight(all[residual.Other(index)]->Assigned() ? 1 : 2);
        else
            score += Weight(residual.Unassigned());
    }
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

void SearchState::Unbind(size_t from) {
    Unassign(assigned, from);
    assigned.resize(from);
}

bool SearchState::CountAndRecheck(const CVariable* v, size_t settled) {
    CountAssigned(v);
    return RecheckRegistered(v, settled);
}

// The order of re-examinations, from the last registration to the first,
// decides where a failing step stops and the order its undo leaves the lists
// in.
bool SearchState::RecheckRegistered(const CVariable* v, size_t settled) {
    // Nothing in the pass moves the registrations or the residuals: their
    // places are read once, not again after every store.
    // The walk goes by pointer from the last registration down to the
    // first: one register for both the place and the end test.
    const uint32_t index = v->index;
    const std::vector<uint32_t>& registered = variables[index].registered;
    const Residual* const counts = residuals.data();
    const uint32_t* const begin = registered.data();
    for (const uint32_t* at = begin + registered.size(); at != begin;) {
        const uint32_t r = *--at;
        if (counts[r].Due() && !Recheck(r, index, settled)) return false;
    }
    return true;
}

bool SearchState::RecheckRest(uint32_t r, uint32_t bound) {
    const Residual& residual = residuals[r];
    if (!residual.IsPair()) {
        if (residual.unassigned == 0) return RecheckDecided(r);
        return RecheckFlat(r, program.variableList[residual.unassignedXor]);
    }
    const PairRoot& pair = pairs[r];
    const PairRoot::Side& side = pair.Left(bound);
    if (side.variable->Assigned()) return RecheckDecided(r);
    if (pair.op != Operator::Equal || side.other == nullptr) return RecheckFlat(r, side.variable);
    // The root alone, when it is a member.
    CAlternative* a = residual.alternative;
    CCondition* owner = a->owner;
    const int32_t root = side.Root();
    if (side.variable->family->Member(root) == nullptr) return Remove(*owner, a);
    pool.push_back(root);
    Replace(*owner, r, side.variable, static_cast<uint32_t>(pool.size() - 1), 1);
    return true;
}

// Propagation assigned its last variables at once.
bool SearchState::RecheckDecided(uint32_t r) {
    CAlternative* a = residuals[r].alternative;
    CCondition* owner = a->owner;
    if (expressions[r].Holds(stack.data())) {
        owner->satisfied = true;
        satisfied.push_back(owner);
        return true;
    }
    return Remove(*owner, a);
}

bool SearchState::RecheckFlat(uint32_t r, CVariable* v) {
    const Residual& residual = residuals[r];
    CAlternative* a = residual.alternative;
    CCondition* owner = a->owner;
    const FlatExpression& expression = expressions[r];
    const FlatExpression::Solution solution = expression.Solve(v, stack.data(), pool);
    const int32_t root = solution.root;
    switch (solution.op) {
        case Operator::NotEqual:
            // Every member of the domain but the root, in domain order.
            if (v->family->domain.size() == (v->family->Member(root) != nullptr ? 1 : 0))
                return Remove(*owner, a);
            ReplaceAllBut(*owner, r, v, root);
            return true;
        case Operator::Equal:
            // The root alone, when it is a member.
            if (v->family->Member(root) == nullptr) return Remove(*owner, a);
            pool.push_back(root);
            Replace(*owner, r, v, static_cast<uint32_t>(pool.size() - 1), 1);
            return true;
        default:
            if (solution.count == 0) return Remove(*owner, a);
            Replace(*owner, r, v, static_cast<uint32_t>(pool.size() - solution.count),
                    solution.count);
            return true;
    }
}

// ---- the search ----

Searcher::Searcher(CTovik& engine, CProgram& program, bool watcherRows)
    : m_engine(engine), m_program(program), m_state(program), m_watcherRows(watcherRows) {}

bool Searcher::NextStep() {
    if (m_engine.IsCancel()) return false;
    m_engine.OnProgress(static_cast<unsigned>(++m_steps));
    return true;
}

void Searcher::Run() {
    m_state.PrepareConditions();
    // Conditions from the last to the first; the first one met that consists of
    // candidates only moves to the front, unless the front already holds one.
    // An empty list left out of the search either always holds (dropped by
    // the preparation) or can never hold, and then there is no solution at all.
    std::vector<CCondition>& conditions = m_state.conditions;
    std::vector<CCondition*> order;
    order.reserve(conditions.size());
    for (size_t i = conditions.size(); i-- > 0;) {
        CCondition* k = &conditions[i];
        if (k->alternatives == nullptr) {
            if (!k->satisfied) return;
            continue;
        }
        order.push_back(k);
        if (Priority(order.front()) < Priority(k)) std::swap(order.front(), order.back());
    }
    m_state.order.Assign(std::move(order));
    if (m_watcherRows) m_state.MakeRows();
    Search(0, m_state.order.Size());
}

void Searcher::Search(size_t first, size_t last) {
    if (!NextStep()) return;
    if (first == last) {
        CVariable** all = m_program.variableList.data();
        Exhaust(all, all + m_program.variableList.size());
        return;
    }
    CCondition* k = m_state.order.At(first);
    if (High(k)) {
        // Candidates only: branch on each, front to back. The steps below
        // never touch this condition, so the walk is stable.
        for (CAlternative* a = k->alternatives; a != nullptr; a = a->next) {
            if (a->allBut) {
                for (int32_t member : a->variable->family->domain)
                    if (member != a->except) Step(a->variable, member, first + 1, last);
                continue;
            }
            for (uint32_t i = 0; i < a->count; ++i)
                Step(a->variable, m_state.pool[a->values + i], first + 1, last);
        }
        return;
    }
    CVariable* v = m_state.ChooseVariable();
    if (v == nullptr) return;
    // The domain from its last member to its first.
    const std::vector<int32_t>& domain = v->family->domain;
    for (size_t i = domain.size(); i-- > 0;) Step(v, domain[i], first, last);
}

void Searcher::Step(CVariable* variable, int32_t value, size_t first, size_t last) {
    if (!NextStep()) return;
    CTrail trail(m_state);  // undoes the step however it ends
    const size_t open = AssignAndSettle(variable, value, first, last, trail);
    if (open == kFailed) return;
    Search(first, open);
}

// Binds, then re-examines every residual alternative that mentions one of the
// variables assigned, from the last assigned to the first, then settles.
inline size_t Searcher::AssignAndSettle(CVariable* variable, int32_t value, size_t first,
                                        size_t last, CTrail& trail) {
    if (!m_state.Assign(variable, value)) return kFailed;
    const std::vector<CVariable*>& assigned = m_state.assigned;
    const size_t begin = trail.AssignedBegin();
    if (assigned.size() == begin + 1) {
        // Bind lists the variable it was given first.
        if (m_state.variables[variable->index].plain)
            return SettlePlain(variable, first, last, trail);
        if (!m_state.CountAndRecheck(variable, last)) return kFailed;
    } else {
        // Propagation bound several: every count first, then the
        // re-examinations.
        for (size_t i = begin; i < assigned.size(); ++i) m_state.CountAssigned(assigned[i]);
        for (size_t i = assigned.size(); i-- > begin;)
            if (!m_state.RecheckRegistered(assigned[i], last)) return kFailed;
    }
    Touch(first, last, trail);
    return Settle(first, last);
}

// A plain variable bound alone is the common step of queens, sudokus and
// latin squares, and most such steps fail in the settling. Its
// re-examination cannot fail and satisfies no condition, and all the
// settling could see of it is the ranks it raises (settle.cpp says why).
// Where those cannot matter, the settling comes first, and the
// re-examination only for a step the settling leaves open.
inline size_t Searcher::SettlePlain(const CVariable* v, size_t first, size_t last, CTrail& trail) {
    // With a watcher row, the settling needs no marks when the condition at
    // first is not in the row: the row holds them.
    ConditionOrder& order = m_state.order;
    const uint32_t row = m_state.variables[v->index].row;
    const bool byRow = row != kNoIndex && (first == last || !order.InRow(row, first));
    if (!byRow) TouchWatchersOf(v, first, last);
    const bool settleFirst =
        first == last ||
        (High(order.At(first)) && (byRow || !ConditionOrder::Marked(order.TouchedWords(), first)));
    // The re-examination never fails for a plain variable (settle.cpp);
    // its result is heeded all the same.
    if (!settleFirst && !m_state.RecheckRegistered(v, last)) {
        if (!byRow) ConditionOrder::ClearRange(order.TouchedWords(), first, last);
        return kFailed;
    }
    const size_t open = byRow ? SettleRow(row, v->Value(), first, last) : Settle(first, last);
    if (open == kFailed) {
        // A settling changes no list but by removing candidates: when it
        // came first and removed none, the binding is the step's only
        // change, undone here at once.
        if (settleFirst && m_state.removed.size() == trail.RemovedBegin()) trail.UndoAssignment();
        return kFailed;
    }
    if (!settleFirst) return open;
    return m_state.RecheckRegistered(v, open) ? open : kFailed;
}

inline size_t Searcher::SettleRow(uint32_t row, int32_t value, size_t first, size_t last) {
    return m_state.order.SweepRow(row, first, last, kFailed, [this, value](CCondition* k) {
        // What CheckCandidates finds for a lone run, contradicted or not.
        if (k->allButOnly) return value != k->except ? Verdict::Satisfied : Verdict::Failed;
        return m_state.CheckCandidates(k);
    });
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
