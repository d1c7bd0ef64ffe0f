// The Gecode model of a compiled program: the search space with one integer
// variable per entry of the program's variable list, and the builder that
// posts the declarations' rules (orderings, indirect elements) and the
// compiled conditions from the program's tables. Used by fast_search.cpp only.
#pragma once

#include <gecode/int.hh>
#include <gecode/minimodel.hh>

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/program.h"

class CExpression;
class CExpFunc;

namespace fast {

// A space holding the program's variables (in variable-list order) and the
// ones the branching walks.
class Model : public Gecode::Space {
public:
    explicit Model(const CProgram& program);
    Model(Model& other);
    Gecode::Space* copy() override;

    // The first phase of the search branches on the printed variables only
    // (the direct elements, then the indirect ones); the second completes a
    // space whose printed variables are fixed.
    void BranchOnPrinted();
    void BranchOnTheRest();
    bool AllAssigned() const;

    Gecode::IntVarArray variables;        // parallel to CProgram::variableList
    Gecode::IntVarArray decisions;        // the direct elements, in list order
    Gecode::IntVarArray printed;          // printed direct elements, in list order
    Gecode::IntVarArray printedIndirect;  // printed indirect elements, in list order
};

// The exact value range of a node, computed without wrap-around.
struct Range {
    int64_t lo;
    int64_t hi;
};

// The exact ranges of every node of the program's conditions, with the
// language's arithmetic done on unbounded integers from the leaves' declared
// domains up. Where no node leaves Gecode's integer limits, nothing wraps
// around either, and Gecode's arithmetic is the language's.
class Ranges {
public:
    // False, with the reason, when some node could leave the limits.
    bool Check(const CProgram& program, std::string* why);
    const Range& Of(const CExpression* e) const { return m_ranges.at(e); }

private:
    bool Compute(const CExpression* e, Range* out);
    bool NodeRange(const CExpression* e, Range* out);
    std::unordered_map<const CExpression*, Range> m_ranges;
};

// Posts the program onto a fresh model. Every routine may throw a
// Gecode::Exception, which the caller turns into a fall-back.
class Builder {
public:
    Builder(Model& model, const CProgram& program, const Ranges& ranges);

    // The ordering channels and the element constraints of indirect elements.
    void PostDeclarations();
    // Every compiled condition: the disjunction of its alternatives.
    void PostConditions();

private:
    Gecode::IntVar Var(const CVariable* v) const { return m_model.variables[m_index.at(v)]; }
    void PostOrdering(const CVarDecl* forward, const CVarDecl* inverse);
    void PostIndirect(const CVariable* d);
    Gecode::IntVar Position(const CVarDecl* family, const CVariable* subscript);

    // Distinct clauses: single alternatives x != y between plain variables.
    bool IsDistinctEdge(const std::vector<CExpression*>& clause, int* a, int* b) const;
    void PostDistinct(const std::vector<std::pair<int, int>>& edges);

    // A node's value as a linear expression, and its truth (value != 0).
    Gecode::LinIntExpr Int(const CExpression* e);
    Gecode::BoolExpr Truth(const CExpression* e);
    Gecode::LinIntExpr Divide(const CExpFunc* e, bool remainder);
    void PostTrue(const CExpression* e);

    Model& m_model;
    const CProgram& m_program;
    const Ranges& m_ranges;
    std::unordered_map<const CVariable*, int> m_index;
    std::map<std::pair<const CVarDecl*, const CVariable*>, Gecode::IntVar> m_positions;
    std::unordered_map<const CVarDecl*, Gecode::IntVarArgs> m_elements;
};

}  // namespace fast
