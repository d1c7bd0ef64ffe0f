// The probe engine and the search for a minimal conflict.
#include "engine/probe.h"

#include <utility>

#include "model/program.h"
#include "search/solution_printer.h"

Probe::Probe(std::function<bool()> stop, SearchHook quickSearch)
    : m_stop(std::move(stop)), m_quickSearch(std::move(quickSearch)) {
    SetPrintPhases(false);
    SetPrintSolutions(false);
}

// An assignment is the values of the columns, which the search has filled by
// its first one.
void Probe::OnAssignment(const CProgram& program) {
    if (!m_collect) return;
    if (m_assignments.Count() == 0) {
        std::vector<const CVariable*> variables;
        for (const COutputColumn& column : program.output.columns)
            variables.push_back(column.variable);
        m_assignments.SetVariables(std::move(variables));
    }
    m_assignments.Add(program);
    // The first assignment past the cap is not kept; the printer counts its
    // line only after this call, so the count so far is that of the kept ones.
    if (m_assignments.Capped() && !m_keptLines) m_keptLines = Solutions();
}

bool Probe::IsCancel() {
    if (m_stopped) return true;
    if (m_searching && m_firstOnly && Solutions() > 0) return true;
    if (m_collect && m_assignments.Capped()) return true;
    m_stopped = m_stop();
    return m_stopped;
}

bool Probe::Satisfiable(const std::string& bytes, std::vector<bool> leftOut) {
    m_firstOnly = true;
    m_collect = false;
    LeaveOut(std::move(leftOut));
    SetFormat(OutputFormat::Text);
    std::unique_ptr<CProgram> program = CompileText(bytes);
    if (!program) return false;
    SetSearch(m_quickSearch);
    m_searching = true;
    Search(*program);
    m_searching = false;
    return Solutions() > 0;
}

std::unique_ptr<CProgram> Probe::Collect(const std::string& bytes) {
    m_firstOnly = false;
    m_collect = true;
    LeaveOut({});
    SetSearch({});
    SetFormat(OutputFormat::Text);
    std::unique_ptr<CProgram> program = CompileText(bytes);
    if (!program) return nullptr;
    // The texts stay in the puzzle's encoding; the columns name the variables.
    program->output.columns = SolutionColumns(*program);
    m_assignments = Assignments(kAssignmentCap);
    m_keptLines.reset();
    m_searching = true;
    Search(*program);
    m_searching = false;
    return program;
}

Conflict FindConflict(Probe& probe, const std::string& bytes) {
    Conflict result;
    const bool satisfiable = probe.Satisfiable(bytes, {});
    if (probe.Stopped()) return result;
    result.statements = probe.Statements();
    result.encoding = probe.TextEncoding();
    const size_t count = result.statements.size();
    if (probe.HadError()) {
        // A condition that can never hold ends the compile at once.
        if (count == 0 || !result.statements.back().alwaysFalse) {
            result.kind = Conflict::Kind::NotCompiled;
            return result;
        }
        result.kind = Conflict::Kind::Found;
        result.members = {count - 1};
        return result;
    }
    if (satisfiable) {
        result.kind = Conflict::Kind::Satisfiable;
        return result;
    }
    // Deletion: a statement without which the rest still conflict is not
    // needed, so it goes; every statement that stays is needed.
    std::vector<bool> member(count, true);
    for (size_t i = 0; i < count; ++i) {
        std::vector<bool> leftOut(count);
        for (size_t j = 0; j < count; ++j) leftOut[j] = !member[j] || j == i;
        const bool rest = probe.Satisfiable(bytes, std::move(leftOut));
        if (probe.Stopped()) return result;
        if (!rest) member[i] = false;
    }
    for (size_t i = 0; i < count; ++i)
        if (member[i]) result.members.push_back(i);
    result.kind = Conflict::Kind::Found;
    return result;
}
