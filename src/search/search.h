// Search-time records: conditions with their intrusive lists of alternatives,
// the undo record of one step (CTrail), and the state that the search keeps
// for the duration of one Seach: pools, scratch buffers and the trail stacks.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/tovik.h"
#include "expr/unbound.h"
#include "model/program.h"

class CExpression;
struct CCondition;

// One alternative of a condition: a candidate assignment (variable = value) or
// a residual expression copy that still mentions two or more unassigned
// variables.
struct CAlternative {
    CCondition* owner = nullptr;
    CAlternative* previous = nullptr;
    CAlternative* next = nullptr;
    CExpression* expression = nullptr;  // residual alternatives only
    CVariable* variable = nullptr;      // candidates only
    int32_t value = 0;

    bool IsResidual() const { return expression != nullptr; }
};

struct CCondition {
    CAlternative* alternatives = nullptr;  // first of a doubly linked list
    bool satisfied = false;
    int residuals = 0;  // residual alternatives currently linked

    bool InList(const CAlternative* a) const { return alternatives == a || a->previous != nullptr; }
    // Always inserts at the front: the order of lists is observable.
    void LinkFront(CAlternative* a);
    void Unlink(CAlternative* a);
};

// Outcome of classifying an alternative expression under the current assignment.
enum class Classification { Decided, Candidates, NoValueHolds, Open };

// Candidate found while classifying: a value of the expression's only
// unassigned variable for which the expression holds.
struct Candidate {
    CVariable* variable;
    int32_t value;
};

struct SearchState;

// The undo record of one step. Its four lists live on shared stacks in the
// search state; the record only remembers where this step's entries begin.
class CTrail {
public:
    explicit CTrail(SearchState& state);
    ~CTrail() { Undo(); }
    CTrail(const CTrail&) = delete;
    CTrail& operator=(const CTrail&) = delete;

    // Undoes the step: unassign, clear satisfied flags, relink removed
    // alternatives at the front (last removed ends up first), destroy added ones.
    void Undo();

    size_t AssignedBegin() const { return m_assigned; }

private:
    SearchState& m_state;
    size_t m_assigned, m_satisfied, m_removed, m_added;
};

struct SearchState {
    CTovik& engine;
    CProgram& program;
    std::vector<CCondition> conditions;
    std::vector<CCondition*> order;  // permuted in place, never restored

    // Trail stacks shared by all steps (see CTrail).
    std::vector<CVariable*> assigned;
    std::vector<CCondition*> satisfied;
    std::vector<CAlternative*> removed;
    std::vector<CAlternative*> added;

    // Scratch areas reused by every call.
    std::vector<CVariable*> stepBound;     // bound list of the step form
    std::vector<CVariable*> exhaustBound;  // bound list of Exhaust
    std::vector<CVariable*> exhaustKept;   // Exhaust's copies, one run per level
    std::vector<CAlternative*> contradicted;
    std::vector<Candidate> candidates;
    std::vector<CVariable*> unbound;
    UnboundCollector collector;

    // Alternatives come from a pool; the free list recycles destroyed ones.
    std::vector<std::unique_ptr<CAlternative[]>> blocks;
    size_t blockUsed = 0;
    std::vector<CAlternative*> freeList;

    SearchState(CTovik& engine, CProgram& program)
        : engine(engine), program(program), collector(program.variableList) {}

    CAlternative* NewAlternative();
    void DeleteAlternative(CAlternative* a);

    Classification Classify(CExpression* expression, std::vector<Candidate>& found);
    void PrepareConditions();
    bool HasAlwaysHoldingAlternative(const std::vector<CExpression*>& alternatives);
    void BuildCondition(CCondition& condition, const std::vector<CExpression*>& alternatives);
    CVariable* ChooseVariable();
    int Score(const CVariable* variable);
    bool Recheck(CAlternative* a);
    bool CheckCandidates(CCondition* k);
};

// Priority of a condition: candidates only (or empty) ranks above any residual.
inline int Priority(const CCondition* k) { return k->residuals == 0 ? 1048576 : 0; }

// Gives s the value v with every consequence the declarations impose, and
// appends each variable it assigns to `bound`. False on inconsistency; the
// caller unassigns what `bound` lists.
bool Bind(CVariable* s, int32_t v, std::vector<CVariable*>& bound);
bool BindDependent(CVariable* d, std::vector<CVariable*>& bound);
