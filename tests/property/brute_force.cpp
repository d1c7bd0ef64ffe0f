// Brute-force enumeration of a compiled puzzle (see brute_force.h).
#include "brute_force.h"

#include <algorithm>
#include <map>

#include "expr/expression.h"
#include "model/program.h"

namespace tovik_property {
namespace {

bool IsInverseFamily(const CVarDecl* family) {
    return family->partner != nullptr && family->domainSet != nullptr;
}

// Points the variable at the domain entry equal to value; false when the
// value is not in the domain.
bool Assign(CVariable* v, int32_t value) {
    const std::vector<int32_t>& domain = v->family->domain;
    auto at = std::find(domain.begin(), domain.end(), value);
    if (at == domain.end()) return false;
    v->value = &*at;
    return true;
}

// Completes an assignment of the enumerated variables: the inverse families
// of orderings and the indirect elements. False when it is not a valid one.
bool Derive(CProgram& program, const std::vector<CVariable*>& derived) {
    for (CVariable* v : derived) v->value = nullptr;
    for (const auto& [name, forward] : program.variables) {
        if (forward->partner == nullptr) continue;
        // A forward family's values are positions: they must all differ, and
        // the inverse element at each position holds the key placed there.
        std::vector<int32_t> positions;
        for (CVariable* e : forward->elements) positions.push_back(e->Value());
        std::sort(positions.begin(), positions.end());
        if (std::adjacent_find(positions.begin(), positions.end()) != positions.end()) return false;
        for (CVariable* e : forward->elements) {
            CVariable* at = CProgram::FindElement(forward->partner, e->Value());
            if (at == nullptr || !Assign(at, e->key)) return false;
        }
    }
    // Indirect elements may be subscripted by indirect elements: repeat until
    // a pass resolves nothing more.
    for (bool progress = true; progress;) {
        progress = false;
        for (CVariable* v : derived) {
            if (v->Assigned() || v->subscript == nullptr || !v->subscript->Assigned()) continue;
            CVariable* selected = CProgram::FindElement(v->family, v->subscript->Value());
            if (selected == nullptr) return false;
            if (!selected->Assigned()) continue;
            v->value = selected->value;
            progress = true;
        }
    }
    return std::all_of(derived.begin(), derived.end(), [](CVariable* v) { return v->Assigned(); });
}

bool Satisfied(const CProgram& program) {
    for (const std::vector<CExpression*>& clause : program.conditions) {
        bool holds = std::any_of(clause.begin(), clause.end(),
                                 [](const CExpression* e) { return e->Evaluate() != 0; });
        if (!holds) return false;
    }
    return true;
}

std::string Line(const CProgram& program) {
    std::string line;
    for (const COutputItem& item : program.output.items) {
        if (item.text != nullptr) {
            line += item.text->text;
        } else if (item.symbolic) {
            const char* text = program.TextOf(item.variable->Value());
            line += text != nullptr ? text : "<no text>";
        } else {
            line += std::to_string(item.variable->Value());
        }
    }
    return line;
}

}  // namespace

std::vector<std::string> BruteForceLines(CProgram& program) {
    std::vector<CVariable*> enumerated;
    std::vector<CVariable*> derived;
    for (CVariable* v : program.variableList) {
        bool follows = v->subscript != nullptr || IsInverseFamily(v->family);
        (follows ? derived : enumerated).push_back(v);
    }
    // An odometer over the enumerated variables' domain positions.
    std::vector<size_t> digit(enumerated.size(), 0);
    std::map<std::vector<int32_t>, std::string> lines;  // printed values -> line
    for (;;) {
        for (size_t i = 0; i < enumerated.size(); ++i)
            enumerated[i]->value = &enumerated[i]->family->domain[digit[i]];
        if (Derive(program, derived) && Satisfied(program)) {
            std::vector<int32_t> key;
            for (CVariable* v : program.output.keyVariables) key.push_back(v->Value());
            lines.emplace(std::move(key), Line(program));
        }
        size_t i = 0;
        for (; i < digit.size(); ++i) {
            if (++digit[i] < enumerated[i]->family->domain.size()) break;
            digit[i] = 0;
        }
        if (i == digit.size()) break;
    }
    for (CVariable* v : program.variableList) v->value = nullptr;
    std::vector<std::string> result;
    for (auto& [key, line] : lines) result.push_back(std::move(line));
    std::sort(result.begin(), result.end());
    return result;
}

}  // namespace tovik_property
