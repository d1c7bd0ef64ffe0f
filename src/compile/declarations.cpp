// Declarations: sets of numbers or strings, simple variables, arrays and
// orderings. The order in which each routine creates its variables fixes the
// order of the program's variable list, and with it the order of the search.
#include <algorithm>
#include <memory>

#include "compile/compiler.h"
#include "compile/error_details.h"
#include "text/translate.h"

// The values of a declared set, or null (after reporting) for a set that was
// never declared. Find-or-create: the name stays in the table, empty.
const std::vector<int32_t>* Compiler::DeclaredSet(const PooledText* setName) {
    std::vector<int32_t>& values = program.sets[setName];
    if (values.empty()) {
        Report(Msg::SetUndefined, UnknownSet(setName));
        return nullptr;
    }
    return &values;
}

// The table entry for a new variable name, or null (after reporting) when the
// name already has elements.
CVarDecl* Compiler::NewDecl(DeclTable& table, const PooledText* varName) {
    std::unique_ptr<CVarDecl>& decl = table[varName];
    if (!decl) decl = std::make_unique<CVarDecl>();
    if (!decl->elements.empty()) {
        Report(Msg::VariableDefined,
               MakeError(PlaceOf(varName), "redefined",
                         Fill(Tr("'%s' is already declared"), {Utf8(varName)})));
        return nullptr;
    }
    return decl.get();
}

// The set is checked for size before the name for redefinition.
bool Compiler::DeclareSet(const PooledText* setName, std::vector<int32_t>* list) {
    std::unique_ptr<std::vector<int32_t>> owned(list);
    std::vector<int32_t> values = std::move(*owned);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    if (values.size() < 2) {
        Report(Msg::SetTooSmall, ErrorDetail(Msg::SetTooSmall, PlaceOf(setName)));
        return false;
    }
    std::vector<int32_t>& entry = program.sets[setName];
    if (!entry.empty()) {
        Report(Msg::SetDefined,
               MakeError(PlaceOf(setName), "set-redefined",
                         Fill(Tr("set '%s' is already declared"), {Utf8(setName)})));
        return false;
    }
    entry = std::move(values);
    return true;
}

bool Compiler::DeclareStringSet(const PooledText* setName, std::vector<int32_t>* list) {
    if (!DeclareSet(setName, list)) return false;
    program.stringSets.push_back(setName);
    return true;
}

bool Compiler::DeclareVariable(const PooledText* setName, const PooledText* varName) {
    const std::vector<int32_t>* set = DeclaredSet(setName);
    if (set == nullptr) return false;
    CVarDecl* decl = NewDecl(program.variables, varName);
    if (decl == nullptr) return false;
    decl->domainSet = setName;
    decl->name = varName;
    decl->domain = *set;
    program.NewVariable(decl, true);
    Declared(decl, varName);
    return true;
}

bool Compiler::DeclareArray(const PooledText* domainSetName, const PooledText* varName,
                            const PooledText* indexSetName) {
    const std::vector<int32_t>* domain = DeclaredSet(domainSetName);
    if (domain == nullptr) return false;
    const std::vector<int32_t>* index = DeclaredSet(indexSetName);
    if (index == nullptr) return false;
    CVarDecl* decl = NewDecl(program.variables, varName);
    if (decl == nullptr) return false;
    decl->name = varName;
    decl->domainSet = domainSetName;
    decl->indexSet = indexSetName;
    decl->domain = *domain;
    // From the largest subscript to the smallest.
    for (size_t i = index->size(); i-- > 0;) {
        Step();
        program.NewVariable(decl, true)->key = (*index)[i];
    }
    Declared(decl, varName);
    return true;
}

// Two partner families: the forward one holds each value's position 1..n,
// the inverse one each position's value.
bool Compiler::DeclareOrdering(const PooledText* setName, const PooledText* varName) {
    const std::vector<int32_t>* set = DeclaredSet(setName);
    if (set == nullptr) return false;
    CVarDecl* forward = NewDecl(program.variables, varName);
    if (forward == nullptr) return false;
    std::unique_ptr<CVarDecl>& inverseEntry = program.inverses[varName];
    if (!inverseEntry) inverseEntry = std::make_unique<CVarDecl>();
    CVarDecl* inverse = inverseEntry.get();

    inverse->domainSet = setName;
    forward->name = inverse->name = varName;
    forward->partner = inverse;
    inverse->partner = forward;
    inverse->domain = *set;
    const size_t n = set->size();
    forward->domain.assign(n, 0);
    // Per position from the last to the first: the inverse element, then the
    // forward element.
    for (size_t i = n; i-- > 0;) {
        Step();
        program.NewVariable(inverse, true)->key = static_cast<int32_t>(i + 1);
        program.NewVariable(forward, true)->key = (*set)[i];
        forward->domain[i] = static_cast<int32_t>(i + 1);
    }
    Declared(forward, varName);
    return true;
}
