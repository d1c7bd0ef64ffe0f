// Probe: the questions an explanation asks of a puzzle, each answered by
// compiling its text again (with some condition statements left out) and
// searching it without printing: has it a solution, which condition
// statements conflict, which full assignments does it have. A host bounds the
// work with a stop check (a deadline, Ctrl+C) polled at every search step.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/assignments.h"
#include "engine/tovik.h"

class Probe final : public CTovik {
public:
    // The full assignments Collect keeps at most.
    static constexpr size_t kAssignmentCap = 10000;

    // `stop`: true ends the probe's work (Stopped()). `quickSearch`: the
    // search that answers Satisfiable, when not the default one.
    explicit Probe(std::function<bool()> stop, SearchHook quickSearch = {});

    void Output(const char*) override {}
    void OnCompileError(int, const char*) override {}
    void OnWarning(const char*) override {}
    void OnAssignment(const CProgram& program) override;
    bool IsCancel() override;

    // Whether the puzzle without the condition statements marked in
    // `leftOut` has a solution; a condition the compiler rejects as never
    // holding counts as none.
    bool Satisfiable(const std::string& bytes, std::vector<bool> leftOut);
    // Every full assignment of the whole puzzle (up to the cap), found by
    // the default search, which reaches each one. The program's columns name
    // the variables (its texts stay in the puzzle's encoding); null when it
    // does not compile.
    std::unique_ptr<CProgram> Collect(const std::string& bytes);

    bool Stopped() const { return m_stopped; }
    const Assignments& Found() const { return m_assignments; }
    // The distinct solution lines of the assignments Found() keeps.
    unsigned KeptLines() const { return m_keptLines.value_or(Solutions()); }

private:
    std::function<bool()> m_stop;
    SearchHook m_quickSearch;
    bool m_stopped = false;
    bool m_searching = false;
    bool m_firstOnly = true;
    bool m_collect = false;
    Assignments m_assignments{kAssignmentCap};
    std::optional<unsigned> m_keptLines;  // set when the cap is reached
};

// What a puzzle's condition statements say together.
struct Conflict {
    enum class Kind {
        Satisfiable,  // the puzzle has a solution
        Found,        // no solution: `members` cannot hold together
        NotCompiled,  // a compile error other than a condition that never holds
        Stopped,      // the probe's stop check ended the work
    };
    Kind kind = Kind::Stopped;
    std::vector<ConditionStatement> statements;  // every condition statement parsed
    std::vector<size_t> members;                 // positions in `statements`, ascending
    Encoding encoding = Encoding::Gbk;           // of the statements' texts
};

// For a puzzle without solutions, a set of condition statements that cannot
// hold together while leaving out any one of them leaves a solution (found by
// deletion: each statement in turn goes when the rest still conflict). A
// condition the compiler rejects as never holding is a conflict on its own.
Conflict FindConflict(Probe& probe, const std::string& bytes);
