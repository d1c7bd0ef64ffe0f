// Settling the open conditions after a step's binding, touching only the
// conditions the binding can change, with exactly the effects of a sweep over
// the whole range.
//
// The sweep: a reading position r walks [first, last) and an end e starts at
// last. The condition k at r is examined: if it is satisfied (already, or
// once its candidates are checked) it is exchanged with the condition at
// e - 1 and e decreases, so that the condition pulled in from the end is
// examined next at r; a condition that has lost every alternative ends the
// step; otherwise, if the condition at first is of low rank and k of high
// rank, the two are exchanged, and r advances.
//
// Why most conditions need no visit: when a step starts, no condition of its
// range is satisfied and none has a candidate whose variable is assigned
// (the settling above it checked every one, and undo restores what the steps
// in between changed). So checking a condition's candidates can only find
// something if it has a candidate on a variable this step assigned: the
// variable's watchers. Together with the conditions that re-examination
// satisfied, these are the touched conditions. Every other condition, when
// the sweep gets to it, is not satisfied, its check changes nothing, and its
// rank is what it was before the sweep; all the sweep does with it is the
// rank rule, and only the first high-ranking one met while the condition at
// first is of low rank matters. The bitset of the condition order finds that
// one directly.
//
// The touched conditions are examined in the sweep's order (by position from
// the front, and each condition pulled in from the end right after the
// satisfied one it replaces), so the checks run in the same order, stop at
// the same failing condition, and leave the same permutation, which no undo
// restores.
//
// The marks of the touched positions are cleared when the sweep gets to
// their condition, so that the next mark from the reading position on is
// always the next touched condition to examine (ConditionOrder::Sweep).
//
// The watchers need no test of their satisfied flag: when a step starts, every
// satisfied condition stands outside its range (each settling moved those it
// satisfied behind the end it handed down), but for the ones this step's
// re-examination satisfied, which are touched anyway.
//
// The checks note a condition they satisfy nowhere: the sweep puts it behind
// its end, where the steps below leave it, and a re-examination takes every
// condition at or beyond the end of the open range for satisfied
// (SearchState::Recheck). Only the conditions a re-examination satisfies
// carry a flag, which the step's trail clears.
//
// A step that binds a plain variable alone (VariableState::plain) settles
// before its re-examination, and skips the re-examination when the
// settling fails (Searcher::SettlePlain). The re-examination of a plain
// variable turns each due residual, in place, into a run on the pair's
// other variable, which is unassigned: runs that no check looks at, and
// undone with the step without a trace in any list. It cannot fail, and it
// satisfies no condition (a pair with both variables assigned is never due
// when a step starts: the step that bound the first turned it into a run).
// It never touches a condition the settling can satisfy, one with
// candidates on the variable just bound. All the settling could see of it
// is the ranks it raises, and ranks matter only to the rank rule, which
// stays idle for the whole sweep when the condition at first ranks high and
// carries no mark: nothing then moves it. The sweep then makes the same
// exchanges and fails at the same condition whether the re-examination
// comes before it, after it, or not at all. Otherwise the re-examination
// comes first, as in any other step.
//
// A plain variable's watchers are positions in its watcher row (when it has
// one, ConditionOrder), which every exchange keeps up to date. Its sweep
// reads the row as its marks (SettleRow) unless the condition at first is
// in the row, and marks nothing; any other touch of its watchers copies the
// row's words in the range. The search keeps such a variable's watchers in
// the row only, not in its list.
#include "search/searcher.h"

namespace {

// Whether a condition that no candidate satisfied keeps an alternative.
inline Verdict Left(const CCondition* k) {
    return k->alternatives != nullptr ? Verdict::Open : Verdict::Failed;
}

// The first candidate that the assignment matches satisfies the condition;
// without one, every contradicted candidate is removed, last noted first.
// The walk up to the first assigned candidate is all that most checks do,
// and is inlined into the sweep.
inline Verdict Check(SearchState& state, CCondition* k) {
    for (CAlternative* a = k->alternatives; a != nullptr; a = a->next) {
        if (a->IsResidual() || !a->variable->Assigned()) continue;
        if (!a->Has(a->variable->Value(), state.pool.data())) {
            if (a->next != nullptr) return state.CheckContradicted(k, a);
            // The last of the list, and so the only one contradicted: the
            // common failure of a condition down to one run. When it is the
            // list's only entry the step fails, and its undo would link it
            // back where it stands: it stays.
            if (a == k->alternatives) return Verdict::Failed;
            state.Unlink(*k, a);
            state.removed.push_back(a);
            return Left(k);
        }
        return Verdict::Satisfied;
    }
    return Left(k);
}

// Marks k's position when it lies in [first, last).
inline void MarkIn(uint64_t* touched, size_t first, size_t last, const CCondition* k) {
    const size_t i = k->position;
    if (i - first < last - first) ConditionOrder::Mark(touched, i);
}

}  // namespace

Verdict SearchState::CheckCandidates(CCondition* k) { return Check(*this, k); }

// Most checks that get here contradict that one candidate only: it is held
// aside, and the scratch list is used from the second one on.
Verdict SearchState::CheckContradicted(CCondition* k, CAlternative* contradiction) {
    size_t more = 0;
    for (CAlternative* a = contradiction->next; a != nullptr; a = a->next) {
        if (a->IsResidual() || !a->variable->Assigned()) continue;
        if (a->Has(a->variable->Value(), pool.data())) return Verdict::Satisfied;
        if (more++ == 0) contradicted.clear();
        contradicted.push_back(a);
    }
    for (size_t i = more; i-- > 0;) {
        Unlink(*k, contradicted[i]);
        removed.push_back(contradicted[i]);
    }
    Unlink(*k, contradiction);
    removed.push_back(contradiction);
    return Left(k);
}

void Searcher::Touch(size_t first, size_t last, const CTrail& trail) {
    uint64_t* touched = m_state.order.TouchedWords();
    for (size_t i = trail.SatisfiedBegin(); i < m_state.satisfied.size(); ++i)
        MarkIn(touched, first, last, m_state.satisfied[i]);
    for (size_t i = trail.AssignedBegin(); i < m_state.assigned.size(); ++i)
        TouchWatchersOf(m_state.assigned[i], first, last);
}

// Through the variable's row when it has one: its list holds only the
// watchers of the preparation.
void Searcher::TouchWatchersOf(const CVariable* v, size_t first, size_t last) {
    const VariableState& state = m_state.variables[v->index];
    if (state.row != kNoIndex) {
        m_state.order.TouchRow(state.row, first, last);
        return;
    }
    uint64_t* touched = m_state.order.TouchedWords();
    for (const CCondition* k : state.watchers) MarkIn(touched, first, last, k);
}

size_t Searcher::Settle(size_t first, size_t last) {
    return m_state.order.Sweep(first, last, kFailed, [this](CCondition* k) {
        return k->satisfied ? Verdict::Satisfied : Check(m_state, k);
    });
}
