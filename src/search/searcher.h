// Searcher: one run of the default search over a compiled program. It finds
// every assignment that satisfies all compiled conditions, depth first with
// undo: it branches over the candidates of a condition, or over the domain of
// the best-scored variable, settles what each binding decides, and hands each
// complete assignment to the solution printer. Every call of the three search
// operations is a step: it polls the engine's IsCancel and reports OnProgress.
#pragma once

#include <cstdint>
#include <vector>

#include "search/search_state.h"

class CTovik;

class Searcher {
public:
    // Without `watcherRows`, every touch walks the watcher lists (the same
    // steps and lines, more work): the rows' check.
    Searcher(CTovik& engine, CProgram& program, bool watcherRows = true);

    // Prepares the conditions and searches; the program's conditions are
    // consumed. Leaves every variable unassigned.
    void Run();
    // Steps taken: calls of the three search operations. Counted in 64 bits:
    // a long search passes the 32-bit range of the progress counter that
    // OnProgress receives (and that wraps) within minutes.
    uint64_t Steps() const { return m_steps; }

private:
    // The prologue of every operation: false when the engine cancels.
    bool NextStep();
    // Condition form: continue with the open conditions at positions
    // [first, last) of the condition order.
    void Search(size_t first, size_t last);
    // Step form: assign value to variable, settle what that decides, continue.
    void Step(CVariable* variable, int32_t value, size_t first, size_t last);
    // Binds, re-examines and settles what the step's bindings decide.
    // Returns the new end of the range, or kFailed when the binding fails
    // or a condition has lost every alternative. Inline in Step, its only
    // caller: one call fewer a step.
    [[gnu::always_inline]] size_t AssignAndSettle(CVariable* variable, int32_t value, size_t first,
                                                  size_t last, CTrail& trail);
    // The same, once v, a plain variable, is the step's only binding.
    // Inline as well: most steps of queens and sudokus take this path.
    [[gnu::always_inline]] size_t SettlePlain(const CVariable* v, size_t first, size_t last,
                                              CTrail& trail);
    // Marks the conditions of [first, last) that the settling has to check:
    // those re-examination satisfied, and the watchers of every variable
    // the step assigned.
    void Touch(size_t first, size_t last, const CTrail& trail);
    // Touch for a step whose only binding is v, before re-examination.
    void TouchWatchersOf(const CVariable* v, size_t first, size_t last);
    // Moves the conditions the step satisfied behind the range and the first
    // one met that consists of candidates only to the front. Returns the new
    // end, where the satisfied ones begin, or kFailed.
    size_t Settle(size_t first, size_t last);
    // Settle for a step whose only binding is v, a variable with a watcher
    // row, when the condition at first is not in the row: the row's
    // positions are the marks. No condition of the range is satisfied
    // before a plain variable's settling (its re-examination satisfies
    // none), so the check needs no look at the flag. `value` is the
    // variable's: a condition whose list is one "all but one" run on it is
    // settled from its copy of the run (CCondition::allButOnly); nearly
    // every condition of a row is one, and the others go through
    // CheckCandidates. Inline in SettlePlain, its only caller.
    [[gnu::always_inline]] size_t SettleRow(uint32_t row, int32_t value, size_t first, size_t last);
    // Enumerates the unassigned variables of [first, last) and prints each
    // complete assignment.
    void Exhaust(CVariable** first, CVariable** last);

    static constexpr size_t kFailed = SIZE_MAX;

    CTovik& m_engine;
    CProgram& m_program;
    SearchState m_state;
    std::vector<CVariable*> m_exhaustBound;  // bound list of Exhaust
    std::vector<CVariable*> m_exhaustKept;   // Exhaust's copies, one run per level
    uint64_t m_steps = 0;
    bool m_watcherRows;
};
