// The state one search keeps for its whole run: the conditions and their
// order, the residual expressions flattened and counting their unassigned
// variables, what it keeps per variable (the residuals that mention it, the
// conditions with candidates on it), the undo record of one step (CTrail) and
// its stacks, the alternative pool and the scratch areas, all reused from
// step to step so that a step allocates nothing once the search has warmed up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "expr/flat_expression.h"
#include "expr/unbound.h"
#include "model/program.h"
#include "search/bind.h"
#include "search/condition_order.h"
#include "search/search_records.h"

class CExpression;

// Outcome of classifying an alternative expression under the current assignment.
enum class Classification { Decided, Candidates, NoValueHolds, Open };

// Candidate found while classifying: a value of the expression's only
// unassigned variable for which the expression holds.
struct Candidate {
    CVariable* variable;
    int32_t value;
};

// A residual alternative's count of its expression's distinct variables that
// are unassigned, kept up to date by every step's bindings and their undo
// (not by Exhaust, which never asks), and the exclusive or of their indices,
// which names the last one when one is left. The expressions themselves sit
// in a parallel array: the counts are read for every registration of every
// binding, so they are kept small and close together.
//
// A residual of exactly two variables (a pair) is not counted: how many of
// its two are unassigned follows from their values, and nearly every residual
// of queens, sudokus and latin squares is one (x != y, q1 - q2 != 3). Its
// count stays 0, and unassignedXor holds kPair with the exclusive or of both
// indices, which names the other variable to either of them. So bindings and
// their undo walk only the registrations of residuals of three or more
// variables (VariableState::counted), and a pair is due whenever it is in its
// list: it is examined only for a binding of one of its two variables.
//
// While the alternative is out of its list, its count carries kRemoved as
// well: a binding then sees at once, from the count alone, that there is
// nothing to re-examine (most registrations a binding meets are of
// alternatives an earlier binding has already turned into candidates).
struct Residual {
    static constexpr uint32_t kRemoved = uint32_t{1} << 31;
    static constexpr uint32_t kPair = uint32_t{1} << 31;  // in unassignedXor

    Residual(const FlatExpression& expression, CAlternative* alternative)
        : alternative(alternative),
          unassigned(static_cast<uint32_t>(expression.Variables().size())) {
        for (const CVariable* v : expression.Variables()) unassignedXor ^= v->index;
        if (unassigned == 2) {
            unassigned = 0;
            unassignedXor |= kPair;
        }
    }
    // Variable `index` becomes assigned, or unassigned again (not for a pair).
    void CountOut(uint32_t index) {
        --unassigned;
        unassignedXor ^= index;
    }
    void CountIn(uint32_t index) {
        ++unassigned;
        unassignedXor ^= index;
    }
    // In its list, and fewer than two unassigned variables or a pair.
    bool Due() const { return unassigned < 2; }
    bool IsPair() const { return (unassignedXor & kPair) != 0; }
    // Not for a pair.
    uint32_t Unassigned() const { return unassigned & ~kRemoved; }
    // The pair's variable other than `index`.
    uint32_t Other(uint32_t index) const { return (unassignedXor & ~kPair) ^ index; }

    CAlternative* alternative;
    uint32_t unassigned;  // with kRemoved while the alternative is removed
    uint32_t unassignedXor = 0;
};

// A residual "c + a x + b y = 0" or "!= 0" over two variables (x != y,
// q1 - q2 != 3, x = y + 1), recognised once: when one of the two is left,
// the value that decides it comes from the other's value, without the flat
// expression. A side whose coefficient is even (no single root) or whose
// variable has a single member is left to the flat expression (other null):
// an "all but one" run from this record is then never empty. Every pair,
// of whatever form, has its two variables here (sides[i].variable), so that
// a re-examination finds the one left from their values.
struct PairRoot {
    struct Side {
        CVariable* variable = nullptr;
        const CVariable* other = nullptr;
        uint32_t constant = 0;  // the root is constant + factor x other's value
        uint32_t factor = 0;
        // The root, once `other` is assigned.
        int32_t Root() const {
            return static_cast<int32_t>(constant + factor * static_cast<uint32_t>(*other->value));
        }
    };
    Operator op = Operator::Add;  // Equal or NotEqual; Add for any other residual
    uint32_t first = 0;           // index of sides[0]'s variable
    Side sides[2];

    // The side of the variable other than `bound`, one of the two.
    const Side& Left(uint32_t bound) const { return sides[first == bound]; }
};

// What the search keeps per variable, by the variable's index.
struct VariableState {
    // Residuals whose expression mentions the variable, in order of
    // registration. Never withdrawn during the search.
    std::vector<uint32_t> registered;
    // The same without the pairs: the residuals a binding counts.
    std::vector<uint32_t> counted;
    // Conditions that have or had candidates on the variable (an entry may
    // repeat): the only ones a binding of the variable can settle. For a
    // variable with a row, those of the preparation only: the row holds
    // every watcher, and the search adds none here.
    std::vector<CCondition*> watchers;
    // Every residual that mentions the variable is a pair "!=" with a root
    // on either side and the only alternative of its condition (settle.cpp
    // says why a binding of such a variable alone may settle first).
    bool plain = false;
    // A binding of the variable assigns it alone: no ordering, no subscript
    // on either side. Bind's loop then has nothing to do but the assignment.
    bool alone = false;
    // The condition order's watcher row that holds the positions of the
    // watchers, or none. A plain variable has one unless a condition has
    // candidates on it and on another variable from the start (a condition
    // keeps one row), or the rows would take too much memory.
    uint32_t row = kNoIndex;
};

// What one re-examination changed in a list: the residual alternative it
// removed and the run of candidates it put at the front in its place (none
// when no value is left, or when the alternative was decided). The run's
// condition became a watcher of the run's variable. A residual alternative
// at the front of its list becomes the run itself (run == removed); the
// undo turns it back into the residual alternative `residual`. `watched`
// is the index of the run's variable, whose watchers the undo pops without
// going through the run.
struct Transformation {
    CAlternative* removed;
    CAlternative* run;
    uint32_t residual;
    uint32_t watched;
};

class SearchState;

// The undo record of one step. Its lists live on shared stacks in the search
// state; the record only remembers where this step's entries begin.
class CTrail {
public:
    explicit CTrail(SearchState& state);
    ~CTrail() {
        if (!m_undone) Undo();
    }
    CTrail(const CTrail&) = delete;
    CTrail& operator=(const CTrail&) = delete;

    // Undoes the step: unassign, clear the flags of the conditions its
    // re-examination satisfied, relink removed alternatives at the front
    // (last removed ends up first), destroy the runs the step made, forget
    // the step's watchers. The conditions its settling satisfied carry no
    // flag: they are satisfied by where they stand (SearchState::Recheck).
    void Undo();

    // Undoes at once a step whose only change is the assignment of the
    // last variable assigned: the common step that fails in its settling.
    // The destructor then has nothing left to do.
    void UndoAssignment();

    size_t AssignedBegin() const { return m_assigned; }
    size_t SatisfiedBegin() const { return m_satisfied; }
    size_t RemovedBegin() const { return m_removed; }

private:
    SearchState& m_state;
    size_t m_assigned, m_satisfied, m_transformed, m_removed, m_pool;
    bool m_undone = false;
};

class SearchState {
public:
    explicit SearchState(CProgram& program);

    // Every compiled condition becomes a CCondition of candidates and residual
    // expressions; the parsed nodes are released afterwards.
    void PrepareConditions();
    // Once the order holds the conditions: gives the plain variables their
    // watcher rows (VariableState::row) and the conditions that watch one of
    // them from the start theirs. Without it, no variable has a row.
    void MakeRows();
    Classification Classify(CExpression* expression, std::vector<Candidate>& found);
    CVariable* ChooseVariable();
    // -1 for an assigned variable; otherwise the sum over its registered
    // residuals, removed ones and those of satisfied conditions included, of
    // a weight by how many of their variables are unassigned: 256 for one,
    // 64, 16, 4, 1 for two to five, none for more.
    int Score(const CVariable* variable) const;
    // Binds with propagation, appending what it assigns to `assigned`. On
    // failure nothing stays assigned. The residuals' counts are the caller's.
    bool Assign(CVariable* variable, int32_t value);
    // Unassigns what `assigned` lists from `from` on, and forgets it.
    void Unbind(size_t from);
    // Counts v, a step's only binding, out of its residuals and re-examines
    // each that is due; false when a condition has lost every alternative.
    // `settled` as for Recheck.
    bool CountAndRecheck(const CVariable* v, size_t settled);
    // Re-examines each due residual that mentions v, once every binding of
    // the step is counted; false when a condition has lost every alternative.
    // `settled` as for Recheck.
    bool RecheckRegistered(const CVariable* v, size_t settled);
    // Re-examines a residual alternative after a binding of `bound`, one of
    // its variables, once every binding of the step is counted; false when
    // its condition has lost every alternative. Inline for the common case,
    // a pair's "all but one" run; the rest is RecheckRest.
    //
    // A condition already satisfied is left as it is: one the step's
    // re-examination satisfied carries the flag, and one a settling
    // satisfied stands at `settled` or beyond in the condition order, the
    // end of the open range at this point of the step. Each settling puts
    // the conditions it satisfies behind the end it hands down, and the
    // steps below work within that end, so none of them moves back.
    bool Recheck(uint32_t residual, uint32_t bound, size_t settled);
    // Recheck of an open residual with no unassigned variable left or with
    // one that is no pair's "all but one" run, out of line: the common case
    // keeps few registers.
    [[gnu::noinline]] bool RecheckRest(uint32_t residual, uint32_t bound);
    // Recheck of a residual with no unassigned variable left.
    bool RecheckDecided(uint32_t residual);
    // Recheck of a residual with one unassigned variable left, v, that
    // PairRoot does not cover.
    bool RecheckFlat(uint32_t residual, CVariable* v);
    // Removes residual alternative a, which no value can satisfy any more;
    // false when its condition has lost every alternative.
    bool Remove(CCondition& owner, CAlternative* a) {
        Unlink(owner, a);
        transformed.push_back(Transformation{a, nullptr, a->residual, kNoIndex});
        return owner.alternatives != nullptr;
    }
    // Puts a run of candidates on v (as NewRun) at the front of the list in
    // place of residual r's alternative, and makes the condition a watcher of
    // v.
    void Replace(CCondition& owner, uint32_t r, CVariable* v, uint32_t values, uint32_t count);
    // The same with the run of every member of v's domain but `except`.
    [[gnu::always_inline]] void ReplaceAllBut(CCondition& owner, uint32_t r, CVariable* v,
                                              int32_t except);
    // What both do: `become(run)` makes the residual's own record the run
    // when it is the front of its list, a pooled record otherwise.
    template <class Become>
    [[gnu::always_inline]] void ReplaceWith(CCondition& owner, uint32_t r, CVariable* v,
                                            Become become);
    // Settles a condition against its candidates: Failed when none is left
    // (a list's only entry, contradicted, then stays: the step fails, and
    // its undo would put it back). A condition it satisfies is not flagged:
    // the sweep puts it behind its end.
    Verdict CheckCandidates(CCondition* k);
    // CheckCandidates from its first contradicted candidate on.
    Verdict CheckContradicted(CCondition* k, CAlternative* contradiction);

    // Links at the front: the order of lists is observable.
    void Link(CCondition& k, CAlternative* a);
    void Unlink(CCondition& k, CAlternative* a);
    // What Link and Unlink do besides linking, for a residual alternative:
    // Relinked for one already back at the front of k's list, Unlinked for
    // one taken out of it.
    void Relinked(CCondition& k, const CAlternative* a);
    void Unlinked(CCondition& k, const CAlternative* a);
    // A run of candidates on `variable`: `count` values of the pool from
    // `values` on.
    CAlternative* NewRun(CVariable* variable, uint32_t values, uint32_t count) {
        CAlternative* a = NewAlternative();
        a->BecomeRun(variable, values, count);
        return a;
    }
    // A pooled alternative; the caller sets every field but the links, which
    // Link sets.
    CAlternative* NewAlternative() {
        if (freeList.empty()) return NewBlockAlternative();
        CAlternative* a = freeList.back();
        freeList.pop_back();
        return a;
    }
    void DeleteAlternative(CAlternative* a) { freeList.push_back(a); }
    // The undo of the watching that ReplaceWith began: k watches the variable
    // of index `watched` no more. This step's watchers are the last entries
    // of their lists, or in the variable's row.
    void Unwatch(CCondition& k, uint32_t watched) {
        VariableState& state = variables[watched];
        if (state.row != kNoIndex)
            order.Untrack(&k);
        else
            state.watchers.pop_back();
        k.allButOnly = false;
    }
    // The residuals' counts when v becomes assigned or unassigned (the
    // counted ones only: a pair has no count to keep).
    void CountAssigned(const CVariable* v);
    void CountUnassigned(const CVariable* v);

    CProgram& program;
    std::vector<CCondition> conditions;
    ConditionOrder order;
    std::vector<Residual> residuals;
    std::vector<FlatExpression> expressions;  // parallel to residuals
    std::vector<PairRoot> pairs;              // parallel to residuals
    std::vector<VariableState> variables;     // parallel to the program's variable list

    // Trail stacks shared by all steps (see CTrail).
    std::vector<CVariable*> assigned;
    // The conditions re-examination satisfied (flagged); those a settling
    // satisfies stand behind its end in the condition order.
    std::vector<CCondition*> satisfied;
    // A step's re-examinations all come before its settling: the residual
    // alternatives they removed (in `transformed`) were removed before the
    // candidates that the settling removed (in `removed`).
    std::vector<Transformation> transformed;
    std::vector<CAlternative*> removed;
    // The candidates' values, those of the preparation first; each step's
    // are dropped by its undo.
    std::vector<int32_t> pool;

    // Scratch areas reused by every call.
    std::vector<CAlternative*> contradicted;
    std::vector<Candidate> candidates;
    std::vector<size_t> runs;    // where each expression's candidates begin
    std::vector<int32_t> stack;  // the flat expressions' value stack
    std::vector<CVariable*> unbound;
    UnboundCollector collector;

    // Alternatives come from a pool of blocks, each room for kBlockSize of
    // them (trail.cpp); the free list recycles destroyed ones.
    std::vector<std::unique_ptr<std::byte[]>> blocks;
    size_t blockUsed = 0;
    std::vector<CAlternative*> freeList;

private:
    void BuildCondition(CCondition& condition, const std::vector<CExpression*>& alternatives);
    bool HasAlwaysHoldingAlternative(const std::vector<CExpression*>& alternatives);
    // A new run of candidates, the pool's values from `from` on, linked at the
    // front of the condition's list.
    CAlternative* LinkCandidates(CCondition& condition, CVariable* variable, size_t from) {
        CAlternative* a = NewRun(variable, static_cast<uint32_t>(from),
                                 static_cast<uint32_t>(pool.size() - from));
        Link(condition, a);
        return a;
    }
    PairRoot MakePairRoot(const FlatExpression& expression) const;
    // Sets each variable's `plain` and `alone` once every condition is built.
    void MarkVariables();
    CAlternative* NewBlockAlternative();
};

// The operations every step runs many times, inline.

inline CTrail::CTrail(SearchState& state)
    : m_state(state),
      m_assigned(state.assigned.size()),
      m_satisfied(state.satisfied.size()),
      m_transformed(state.transformed.size()),
      m_removed(state.removed.size()),
      m_pool(state.pool.size()) {}

inline void CTrail::UndoAssignment() {
    CVariable* v = m_state.assigned.back();
    v->value = nullptr;
    m_state.CountUnassigned(v);
    m_state.assigned.pop_back();
    m_undone = true;
}

inline bool SearchState::Assign(CVariable* variable, int32_t value) {
    if (variables[variable->index].alone) {
        if (variable->Assigned()) return variable->Value() == value;
        if (!AssignMember(variable, value)) return false;
        assigned.push_back(variable);
        return true;
    }
    const size_t from = assigned.size();
    if (Bind(variable, value, assigned)) return true;
    Unbind(from);
    return false;
}

inline void SearchState::Link(CCondition& k, CAlternative* a) {
    a->owner = &k;
    a->previous = nullptr;
    a->next = k.alternatives;
    if (k.alternatives != nullptr) k.alternatives->previous = a;
    k.alternatives = a;
    if (a->IsResidual()) Relinked(k, a);
}

inline void SearchState::Relinked(CCondition& k, const CAlternative* a) {
    residuals[a->residual].unassigned &= ~Residual::kRemoved;
    if (++k.residuals == 1) order.Update(&k);
}

inline void SearchState::Unlink(CCondition& k, CAlternative* a) {
    if (a->previous != nullptr)
        a->previous->next = a->next;
    else
        k.alternatives = a->next;
    if (a->next != nullptr) a->next->previous = a->previous;
    a->previous = a->next = nullptr;
    if (a->IsResidual()) Unlinked(k, a);
}

inline void SearchState::Unlinked(CCondition& k, const CAlternative* a) {
    residuals[a->residual].unassigned |= Residual::kRemoved;
    if (--k.residuals == 0) order.Update(&k);
}

// Unlinking the alternative and linking a run at the front leaves the list
// as it was but for the run in the alternative's place when the alternative
// is the front: then its own record becomes the run, and only the residual
// bookkeeping of the unlinking is done.
template <class Become>
inline void SearchState::ReplaceWith(CCondition& owner, uint32_t r, CVariable* v, Become become) {
    CAlternative* a = residuals[r].alternative;
    CAlternative* run = a;
    if (owner.alternatives == a) {
        Unlinked(owner, a);
        become(a);
    } else {
        Unlink(owner, a);
        run = NewAlternative();
        become(run);
        Link(owner, run);
    }
    transformed.push_back(Transformation{a, run, r, v->index});
    VariableState& watched = variables[v->index];
    if (watched.row != kNoIndex)
        order.Track(&owner, watched.row);
    else
        watched.watchers.push_back(&owner);
}

inline void SearchState::Replace(CCondition& owner, uint32_t r, CVariable* v, uint32_t values,
                                 uint32_t count) {
    ReplaceWith(owner, r, v, [&](CAlternative* run) { run->BecomeRun(v, values, count); });
}

inline void SearchState::ReplaceAllBut(CCondition& owner, uint32_t r, CVariable* v,
                                       int32_t except) {
    ReplaceWith(owner, r, v, [&](CAlternative* run) { run->BecomeAllBut(v, except); });
    // The run is at the front; alone there, on a variable with a row (which
    // now holds the condition), the condition keeps a copy for the row's
    // sweep.
    if (variables[v->index].row != kNoIndex && owner.alternatives->next == nullptr) {
        owner.allButOnly = true;
        owner.except = except;
    }
}

// Only a pair has op NotEqual; the side that can be left unassigned is the
// one of its variable other than `bound`.
inline bool SearchState::Recheck(uint32_t r, uint32_t bound, size_t settled) {
    const Residual& residual = residuals[r];
    if (!residual.Due()) return true;  // still open, or removed
    CCondition& owner = *residual.alternative->owner;
    if (owner.satisfied || owner.position >= settled) return true;
    const PairRoot& pair = pairs[r];
    if (pair.op == Operator::NotEqual) {
        const PairRoot::Side& side = pair.Left(bound);
        if (side.other != nullptr && !side.variable->Assigned()) {
            ReplaceAllBut(owner, r, side.variable, side.Root());
            return true;
        }
    }
    return RecheckRest(r, bound);
}

inline void SearchState::CountAssigned(const CVariable* v) {
    for (uint32_t r : variables[v->index].counted) residuals[r].CountOut(v->index);
}

inline void SearchState::CountUnassigned(const CVariable* v) {
    for (uint32_t r : variables[v->index].counted) residuals[r].CountIn(v->index);
}
