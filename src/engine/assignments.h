// Assignments: the distinct full assignments a search reaches, each as the
// values of a fixed list of variables, in the order they were first reached.
// --unique=assignments counts them and --explain compares them; a search may
// reach the same assignment twice, and the solution printer's own check only
// tells lines apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/key_set.h"

struct CVariable;
class CProgram;

class Assignments {
public:
    // Keeps at most `cap` assignments; the one after them sets Capped().
    explicit Assignments(size_t cap) : m_cap(cap) {}

    // The variables an assignment is made of; every direct variable of the
    // program (elements selected through another variable follow from them)
    // unless set before the first Add.
    void SetVariables(std::vector<const CVariable*> variables);
    // Records the current values, unless they were recorded before or the
    // cap is reached.
    void Add(const CProgram& program);

    size_t Count() const { return m_kept.size(); }
    bool Capped() const { return m_capped; }
    const std::vector<std::vector<int32_t>>& Kept() const { return m_kept; }

private:
    size_t m_cap;
    bool m_capped = false;
    bool m_haveVariables = false;
    std::vector<const CVariable*> m_variables;
    KeySet m_seen;
    std::vector<std::vector<int32_t>> m_kept;
};
