// ConsoleEngine: the engine of the tovik program. Its output goes through
// ConsoleOutput, its progress to ProgressTitle, compile errors outside the
// text format and warnings to the Reporter, and it decides the early stops
// of the command line (a line limit, a deadline, Ctrl+C) at each step. The
// timed checks (flush, title, deadline) run when the step clock is read.
#pragma once

#include <chrono>
#include <csignal>
#include <optional>

#include "app/console_output.h"
#include "app/progress_title.h"
#include "app/reporter.h"
#include "app/step_clock.h"
#include "engine/assignments.h"
#include "engine/tovik.h"

class ConsoleEngine : public CTovik {
public:
    using Clock = std::chrono::steady_clock;
    enum class Stop { None, Limit, Time, Interrupt };

    // `progress`: the progress argument, or null; `target`: the reader's
    // encoding, or none to write the bytes as they are.
    ConsoleEngine(const char* progress, std::optional<Encoding> target, Reporter& reporter);
    ~ConsoleEngine() override;

    void Output(const char* text) override;
    // Whole lines where no conversion applies: a line converted as a whole
    // could differ from its items converted one by one where an item ends
    // in the middle of a character.
    bool TakesWholeLines() const override { return !m_output.Converts(TextEncoding()); }
    bool IsCancel() override;
    void OnProgress(unsigned count) override;
    void OnCompileError(int line, const char* message) override;
    void OnWarning(const char* text) override;
    void OnDiagnostic(const Diagnostic& diagnostic) override;
    void OnAssignment(const CProgram& program) override;

    // Hands all output so far to standard output, before tovik writes to
    // standard error or ends.
    void FlushOutput() { m_output.Flush(); }

    void SetLimit(long long lines) { m_limit = lines; }
    // Counts full assignments and stops at the second (--unique=assignments).
    void CountAssignments() { m_countAssignments = true; }
    size_t AssignmentCount() const { return m_assignments.Count(); }
    // Ctrl+C or the deadline, checked for work after the search (which
    // polls through IsCancel); true once either has stopped the run.
    bool Interrupted();
    void SetDeadline(Clock::time_point deadline) { m_deadline = deadline; }
    // Why the search was stopped early, if it was.
    Stop Stopped() const { return m_stopped; }

    // Set by the SIGINT handler; the search unwinds at its next step. The one
    // process-wide variable: a signal handler can reach nothing else.
    // NOLINTNEXTLINE(*-avoid-non-const-global-variables)
    static volatile std::sig_atomic_t s_interrupted;

private:
    [[gnu::noinline]] bool CheckStops(bool due);

    Reporter& m_reporter;
    ConsoleOutput m_output;
    ProgressTitle m_title;
    long long m_limit = -1;
    std::optional<Clock::time_point> m_deadline;
    StepClock m_clock;
    Stop m_stopped = Stop::None;
    bool m_countAssignments = false;
    Assignments m_assignments{2};
};
