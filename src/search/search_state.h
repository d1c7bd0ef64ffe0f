// Search-time records: conditions with their intrusive lists of alternatives,
// the undo record of one step (CTrail), and the state one search keeps for
// its whole run: the conditions, the trail stacks, the alternative pool and
// the scratch areas, all reused from step to step.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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

// Priority of a condition: candidates only (or empty) ranks above any residual.
inline int Priority(const CCondition* k) { return k->residuals == 0 ? 1048576 : 0; }

// Outcome of classifying an alternative expression under the current assignment.
enum class Classification { Decided, Candidates, NoValueHolds, Open };

// Candidate found while classifying: a value of the expression's only
// unassigned variable for which the expression holds.
struct Candidate {
    CVariable* variable;
    int32_t value;
};

class SearchState;

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

class SearchState {
public:
    explicit SearchState(CProgram& program) : program(program), collector(program.variableList) {}

    // Every compiled condition becomes a CCondition of candidates and residual
    // copies; the parsed nodes are released afterwards.
    void PrepareConditions();
    Classification Classify(CExpression* expression, std::vector<Candidate>& found);
    CVariable* ChooseVariable();
    // Re-examines a residual alternative after a binding; false when its
    // condition has lost every alternative.
    bool Recheck(CAlternative* a);
    // Settles a condition against its candidates; false when none is left.
    bool CheckCandidates(CCondition* k);

    CAlternative* NewAlternative();
    void DeleteAlternative(CAlternative* a);

    CProgram& program;
    std::vector<CCondition> conditions;

    // Trail stacks shared by all steps (see CTrail).
    std::vector<CVariable*> assigned;
    std::vector<CCondition*> satisfied;
    std::vector<CAlternative*> removed;
    std::vector<CAlternative*> added;

    // Scratch areas reused by every call.
    std::vector<CAlternative*> contradicted;
    std::vector<Candidate> candidates;
    std::vector<CVariable*> unbound;
    UnboundCollector collector;

    // Alternatives come from a pool; the free list recycles destroyed ones.
    std::vector<std::unique_ptr<CAlternative[]>> blocks;
    size_t blockUsed = 0;
    std::vector<CAlternative*> freeList;

private:
    void BuildCondition(CCondition& condition, const std::vector<CExpression*>& alternatives);
    bool HasAlwaysHoldingAlternative(const std::vector<CExpression*>& alternatives);
    // A new candidate alternative, linked at the front of the condition's list.
    CAlternative* LinkCandidate(CCondition& condition, const Candidate& candidate) {
        CAlternative* a = NewAlternative();
        a->variable = candidate.variable;
        a->value = candidate.value;
        condition.LinkFront(a);
        return a;
    }
    int Score(const CVariable* variable);
};
