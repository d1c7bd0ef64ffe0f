// The fast search's model: the space and its variables, the rules that the
// declarations impose (an ordering's two families as an inverse pair, an
// indirect element as an element constraint through its subscript), and the
// branching. Conditions are posted by fast_conditions.cpp.
#include "fast/fast_model.h"

#include <algorithm>
#include <vector>

using namespace Gecode;

namespace fast {

namespace {

// A family's declared domain as a Gecode set, interval by interval.
IntSet DomainSet(const CVarDecl* family) {
    const std::vector<ValueSet::Interval>& intervals = family->DomainValues().Intervals();
    std::vector<int> bounds;
    bounds.reserve(intervals.size() * 2);
    for (const ValueSet::Interval& i : intervals) {
        bounds.push_back(i.lo);
        bounds.push_back(i.hi);
    }
    return IntSet(reinterpret_cast<const int(*)[2]>(bounds.data()),
                  static_cast<int>(intervals.size()));
}

}  // namespace

Model::Model(const CProgram& program) {
    const std::vector<CVariable*>& list = program.variableList;
    const std::vector<CVariable*>& keys = program.output.keyVariables;
    IntVarArgs all(static_cast<int>(list.size()));
    IntVarArgs direct, shown, shownIndirect;
    for (size_t i = 0; i < list.size(); ++i) {
        const IntVar v(*this, DomainSet(list[i]->family));
        all[static_cast<int>(i)] = v;
        const bool isPrinted = std::find(keys.begin(), keys.end(), list[i]) != keys.end();
        if (list[i]->subscript == nullptr) {
            direct << v;
            if (isPrinted) shown << v;
        } else if (isPrinted) {
            shownIndirect << v;
        }
    }
    variables = IntVarArray(*this, all);
    decisions = IntVarArray(*this, direct);
    printed = IntVarArray(*this, shown);
    printedIndirect = IntVarArray(*this, shownIndirect);
}

Model::Model(Model& other) : Space(other) {
    variables.update(*this, other.variables);
    decisions.update(*this, other.decisions);
    printed.update(*this, other.printed);
    printedIndirect.update(*this, other.printedIndirect);
}

Space* Model::copy() { return new Model(*this); }

Builder::Builder(Model& model, const CProgram& program, const Ranges& ranges)
    : m_model(model), m_program(program), m_ranges(ranges) {
    for (size_t i = 0; i < program.variableList.size(); ++i)
        m_index.emplace(program.variableList[i], static_cast<int>(i));
}

// Families are visited in variable-list order, so that the model (and with it
// the order of the solutions) does not depend on how the tables hash.
void Builder::PostDeclarations() {
    std::vector<const CVarDecl*> seen;
    for (const CVariable* v : m_program.variableList) {
        const CVarDecl* family = v->family;
        if (v->subscript != nullptr) PostIndirect(v);
        if (family->partner == nullptr || family->domainSet != nullptr) continue;
        if (std::find(seen.begin(), seen.end(), family) != seen.end()) continue;
        seen.push_back(family);
        PostOrdering(family, family->partner);
    }
}

// The forward family holds, for each value s(i) of the set, its position
// 1..n; the inverse family holds, for each position, the value there. With
// index(p) the index of inverse[p]'s value in the set, forward[i] - 1 = p - 1
// exactly when index(p) = i: Gecode's channel, which also keeps both
// families all-different (with domain consistency).
void Builder::PostOrdering(const CVarDecl* forward, const CVarDecl* inverse) {
    const std::vector<int32_t>& set = inverse->domain;
    const int n = static_cast<int>(set.size());
    IntVarArgs positions(n), indices(n);
    bool contiguousFromZero = set.front() >= 0;
    for (int i = 0; i < n; ++i) contiguousFromZero &= set[i] == set.front() + i;
    const IntArgs values(std::vector<int>(set.begin(), set.end()));
    for (int i = 0; i < n; ++i) {
        positions[i] = Var(CProgram::FindElement(forward, set[i]));
        IntVar value = Var(CProgram::FindElement(inverse, i + 1));
        if (contiguousFromZero) {
            indices[i] = value;
        } else {
            indices[i] = IntVar(m_model, 0, n - 1);
            element(m_model, values, indices[i], value);
        }
    }
    channel(m_model, positions, 1, indices, contiguousFromZero ? set.front() : 0, IPL_DOM);
}

// x(y) is the element of x whose key is y's value.
void Builder::PostIndirect(const CVariable* d) {
    auto found = m_elements.find(d->family);
    if (found == m_elements.end()) {
        IntVarArgs elements;
        for (const CVariable* e : d->family->elements) elements << Var(e);
        found = m_elements.emplace(d->family, elements).first;
    }
    element(m_model, found->second, Position(d->family, d->subscript), Var(d), IPL_DOM);
}

// The index, among the family's elements, of the element that the subscript's
// value selects; shared by every indirect element with the same subscript.
IntVar Builder::Position(const CVarDecl* family, const CVariable* subscript) {
    auto key = std::make_pair(family, subscript);
    auto found = m_positions.find(key);
    if (found != m_positions.end()) return found->second;
    IntArgs keys;
    for (const CVariable* e : family->elements) keys << e->key;
    IntVar position(m_model, 0, keys.size() - 1);
    element(m_model, keys, position, Var(subscript));
    m_positions.emplace(key, position);
    return position;
}

// Largest values first, the variable with the smallest domain first. When
// every direct element is printed, the printed indirect elements follow from
// them and the second brancher adds no node.
void Model::BranchOnPrinted() {
    if (printed.size() > 0) branch(*this, printed, INT_VAR_SIZE_MIN(), INT_VAL_MAX());
    if (printedIndirect.size() > 0)
        branch(*this, printedIndirect, INT_VAR_SIZE_MIN(), INT_VAL_MAX());
}

// Indirect elements follow from their subscripts; everything else the model
// creates is a function of the variables.
void Model::BranchOnTheRest() {
    if (decisions.size() > 0) branch(*this, decisions, INT_VAR_SIZE_MIN(), INT_VAL_MAX());
    // A safeguard that adds no node when propagation has fixed them all.
    if (variables.size() > 0) branch(*this, variables, INT_VAR_NONE(), INT_VAL_MAX());
}

bool Model::AllAssigned() const {
    for (int i = 0; i < variables.size(); ++i)
        if (!variables[i].assigned()) return false;
    return true;
}

}  // namespace fast
