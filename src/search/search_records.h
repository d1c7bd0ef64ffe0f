// The search's records of conditions: a condition (CCondition) with its
// intrusive list of alternatives (CAlternative), each a candidate assignment
// or a residual expression, and the rank of a condition in the search's order.
#pragma once

#include <cstdint>

struct CCondition;
struct CVariable;

inline constexpr uint32_t kNoIndex = UINT32_MAX;

// One alternative of a condition: a run of candidate assignments of one
// variable (variable = each of its values, in order), or a residual
// expression that still mentions two or more unassigned variables. A run is
// either a stretch of the value pool or, for what "x != ..." leaves once x is
// its last variable, every member of x's domain but one value (which need
// not be a member): the common case then costs no walk over the domain.
//
// The candidates one alternative expression yields share their variable, so
// one binding either matches one of them or contradicts them all: they are
// settled, removed and linked back together, and keeping them as one run
// gives exactly the order that single candidates would have.
struct CAlternative {
    CCondition* owner = nullptr;
    CAlternative* previous = nullptr;
    CAlternative* next = nullptr;
    CVariable* variable = nullptr;  // candidates only
    uint32_t values = 0;            // candidates from the pool: first of theirs there
    uint32_t count = 0;             // candidates from the pool: how many
    uint32_t residual = kNoIndex;   // residual alternatives: their Residual's index
    int32_t except = 0;             // candidates all but one: the value left out
    bool allBut = false;            // the run is the domain without `except`

    // Only the fields of its kind mean something: a residual alternative that
    // was a run keeps that run's variable and flags, and an "all but one"
    // run the values and count of whatever the record held before. Fewer
    // writes when a residual turns into a run in place and back.
    bool IsResidual() const { return residual != kNoIndex; }
    // Makes this record a run of candidates on `on`: `n` values of the pool
    // from `first` on. The fields are written one by one: assigning a whole
    // fresh record would go through a temporary that the processor stores in
    // pieces and reads back whole, a stall at every new run. The links stay
    // as they are.
    void BecomeRun(CVariable* on, uint32_t first, uint32_t n) {
        variable = on;
        values = first;
        count = n;
        residual = kNoIndex;
        allBut = false;
    }
    // Makes this record the run of every member of on's domain but `left`.
    void BecomeAllBut(CVariable* on, int32_t left) {
        variable = on;
        residual = kNoIndex;
        except = left;
        allBut = true;
    }
    // Whether the run holds value, a member of the variable's domain.
    bool Has(int32_t value, const int32_t* pool) const {
        if (allBut) return value != except;
        const int32_t* run = pool + values;
        for (uint32_t i = 0; i < count; ++i)
            if (run[i] == value) return true;
        return false;
    }
};

struct CCondition {
    CAlternative* alternatives = nullptr;  // first of a doubly linked list
    bool satisfied = false;
    // The list is one "all but one" run on the variable of the condition's
    // row, made by re-examination, and `except` is its value left out: the
    // row's sweep settles the condition without reading the run.
    bool allButOnly = false;
    int residuals = 0;             // residual alternatives currently linked
    uint32_t position = kNoIndex;  // in the condition order; none when left out
    // The watcher row that holds the position (ConditionOrder): that of the
    // variable the condition watches, when it has one. None otherwise.
    uint32_t row = kNoIndex;
    int32_t except = 0;  // with allButOnly

    bool InList(const CAlternative* a) const { return alternatives == a || a->previous != nullptr; }
};

// What settling a condition against its candidates finds: it has lost every
// alternative, it stays open, or one of its candidates holds.
enum class Verdict : uint8_t { Failed, Open, Satisfied };

// A condition of candidates only (or an empty one) ranks above any other.
inline bool High(const CCondition* k) { return k->residuals == 0; }
inline int Priority(const CCondition* k) { return High(k) ? 1048576 : 0; }
