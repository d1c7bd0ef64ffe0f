// Recording the distinct full assignments of a search.
#include "engine/assignments.h"

#include <utility>

#include "model/program.h"

void Assignments::SetVariables(std::vector<const CVariable*> variables) {
    m_variables = std::move(variables);
    m_haveVariables = true;
}

void Assignments::Add(const CProgram& program) {
    if (!m_haveVariables) {
        for (const CVariable* v : program.variableList)
            if (v->subscript == nullptr) m_variables.push_back(v);
        m_haveVariables = true;
    }
    // The default search assigns every variable before it hands an
    // assignment over, and the callers count with it; a variable left open
    // (the fast search fills only what it prints) reads as the least value.
    std::vector<int32_t>& values = m_seen.Tuple();
    values.clear();
    for (const CVariable* v : m_variables) values.push_back(v->Assigned() ? v->Value() : INT32_MIN);
    if (!m_seen.Insert()) return;
    if (m_kept.size() >= m_cap) {
        m_capped = true;
        return;
    }
    m_kept.push_back(values);
}
