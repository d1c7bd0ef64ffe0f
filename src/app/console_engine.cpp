// The console engine's hooks and its early stops.
#include "app/console_engine.h"

#include <string>

#include "compile/diagnostics.h"

// NOLINTNEXTLINE(*-avoid-non-const-global-variables): the signal flag
volatile std::sig_atomic_t ConsoleEngine::s_interrupted = 0;

ConsoleEngine::ConsoleEngine(const char* progress, std::optional<Encoding> target,
                             Reporter& reporter)
    : m_reporter(reporter), m_output(target), m_title(progress) {
    m_reporter.SetOutput(&m_output);
}

ConsoleEngine::~ConsoleEngine() {
    m_output.Flush();
    m_reporter.SetOutput(nullptr);
}

void ConsoleEngine::Output(const char* text) { m_output.Write(text, TextEncoding()); }

// The text format prints compile errors among its lines; the others keep
// standard output for solutions and report them in UTF-8.
void ConsoleEngine::OnCompileError(int line, const char* message) {
    if (Format() == OutputFormat::Text) {
        CTovik::OnCompileError(line, message);
        return;
    }
    std::string text = message;
    if (TextEncoding() != Encoding::Utf8)
        Converter(TextEncoding(), Encoding::Utf8).Convert(message, text);
    m_reporter.CompileError(line, text);
}

void ConsoleEngine::OnWarning(const char* text) { m_reporter.Warning(text); }

void ConsoleEngine::OnDiagnostic(const Diagnostic& diagnostic) {
    m_reporter.Show(diagnostic, SourceLine(diagnostic.place.line));
}

// A stop, once decided, holds: the search unwinds through every pending call.
// Each step asks here first, so this is where the step clock ticks.
bool ConsoleEngine::IsCancel() {
    if (m_stopped != Stop::None) return true;
    // Most steps: the clock not due, no signal, no count to compare.
    const bool due = m_clock.Due();
    if (!due && s_interrupted == 0 && !m_countAssignments && m_limit < 0) return false;
    return CheckStops(due);
}

// The rest of IsCancel, apart so that the common case stays a few
// instructions: the timers when the clock is due, then the stops in order.
bool ConsoleEngine::CheckStops(bool due) {
    const std::optional<Clock::time_point> now =
        due ? std::optional<Clock::time_point>(m_clock.Read()) : std::nullopt;
    if (now) {
        m_output.FlushIfDue(*now);
        m_title.ShowIfDue(*now);
    }
    if (s_interrupted)
        m_stopped = Stop::Interrupt;
    else if (m_countAssignments && m_assignments.Count() >= 2)
        m_stopped = Stop::Limit;
    else if (!m_countAssignments && m_limit >= 0 && Solutions() >= m_limit)
        m_stopped = Stop::Limit;
    else if (now && m_deadline && *now >= *m_deadline)
        m_stopped = Stop::Time;
    return m_stopped != Stop::None;
}

void ConsoleEngine::OnProgress(unsigned count) { m_title.Step(count); }

void ConsoleEngine::OnAssignment(const CProgram& program) {
    if (m_countAssignments) m_assignments.Add(program);
}

// A stop for the line limit is over once the search is; the other two hold.
bool ConsoleEngine::Interrupted() {
    if (m_stopped == Stop::Interrupt || m_stopped == Stop::Time) return true;
    const Clock::time_point now = Clock::now();
    m_output.FlushIfDue(now);
    if (s_interrupted)
        m_stopped = Stop::Interrupt;
    else if (m_deadline && now >= *m_deadline)
        m_stopped = Stop::Time;
    return m_stopped == Stop::Interrupt || m_stopped == Stop::Time;
}
