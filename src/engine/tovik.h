// CTovik: the interpreter engine and its embedding interface. One object runs
// one puzzle at a time: Run compiles the file into a CProgram and, when no
// compile error was reported, searches for every solution. A host receives
// all output and can cancel or follow the search by overriding Output,
// IsCancel and OnProgress. Engines share nothing: several can run at once,
// one per thread, and a compiled program stays valid whatever else runs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/condition_statement.h"
#include "text/encoding.h"

class CProgram;
struct Diagnostic;

// How solution lines are printed.
enum class OutputFormat {
    Text,   // as the output statement spells them, with "\r\n", after the phase lines
    Lines,  // the same lines in UTF-8 with "\n"; no phase lines
    Json,   // one JSON object per line: the line and every variable's value
    Csv,    // a header of every variable's name, then one row of values per line
};

class CTovik {
public:
    CTovik() = default;
    CTovik(const CTovik&) = default;
    CTovik& operator=(const CTovik&) = default;
    virtual ~CTovik() = default;

    // Prints text unchanged on standard output; callers add their own "\r\n".
    virtual void Output(const char* text);
    // Whether a solution line of the text format may come through Output in
    // one call instead of item by item and then "\r\n": the bytes are the
    // same. False here, as embedding hosts have always received each item
    // on its own; a host that only writes the bytes out says true and saves
    // a call per item.
    virtual bool TakesWholeLines() const { return false; }
    // Polled at every search step, and every few thousand expression nodes
    // while compiling; true unwinds the search without more work, or ends
    // the compile phase with no program and no error (Cancelled()).
    virtual bool IsCancel();
    // Called once per search step with the new step count.
    virtual void OnProgress(unsigned count);
    // Called for each compile error with its line and its message (in the
    // puzzle's encoding); prints "LINE 行: MESSAGE \r\n" through Output.
    virtual void OnCompileError(int line, const char* message);
    // Called with the details of each compile error (after OnCompileError)
    // and with each warning about the puzzle; ignored by default.
    virtual void OnDiagnostic(const Diagnostic& diagnostic);
    // Called by the solution printer with each complete assignment the
    // search reaches, before it drops one whose line was printed already;
    // ignored by default. A search may reach the same assignment twice.
    virtual void OnAssignment(const CProgram& program);
    // Called before compiling with a remark on how the file is read (an
    // English sentence without a line end); writes it to standard error.
    virtual void OnWarning(const char* text);

    // Compiles and searches the puzzle read from an open file, which Run
    // closes. False for a null file, a read error or a compile error, true
    // after the search.
    bool Run(FILE* file);
    // Opens the path (a directory cannot be opened) and runs it.
    bool Run(const char* path);
    // Compiles and searches the bytes of a puzzle file held in memory.
    bool RunText(std::string bytes);

    // The compile phase alone: prints the compiling line and any compile
    // errors, closes the file, and returns the compiled program; null after
    // a read error, a compile error or a stop asked for by IsCancel.
    std::unique_ptr<CProgram> Compile(FILE* file);
    // The same for the bytes of a puzzle file held in memory.
    std::unique_ptr<CProgram> CompileText(std::string bytes);
    // The search phase alone: prints the searching line, then every solution
    // of the program. A program is searched once (the search consumes its
    // compiled conditions): false, printing nothing, for one searched before.
    bool Search(CProgram& program);

    // A search that Search uses in place of the default one. It returns
    // false, having printed nothing, when the default search has to run instead.
    using SearchHook = std::function<bool(CTovik& engine, CProgram& program)>;
    void SetSearch(SearchHook hook) { m_searchHook = std::move(hook); }

    // Condition statements to leave out of the next compiles (by position in
    // the source; missing entries are kept), and the condition statements of
    // the last compile, also when it failed.
    void LeaveOut(std::vector<bool> statements) { m_leaveOut = std::move(statements); }
    const std::vector<ConditionStatement>& Statements() const { return m_statements; }

    // True when the last compile reported a compile error.
    bool HadError() const { return m_error; }
    // True when IsCancel stopped the last compile phase.
    bool Cancelled() const { return m_cancelled; }
    // True when the last Run or Compile could not read its file; nothing was
    // printed then.
    bool ReadFailed() const { return m_readFailed; }
    // Search steps taken by the last search, as the progress counter that
    // OnProgress receives: unsigned 32-bit, so it wraps on a search of more
    // than 4,294,967,295 steps.
    unsigned Progress() const { return static_cast<unsigned>(m_steps); }
    // The same count in 64 bits, which a search does not outrun.
    uint64_t Steps() const { return m_steps; }
    // Distinct solution lines found by the last search (printed or not).
    unsigned Solutions() const { return m_solutions; }
    // Whether solution lines are printed; when off they are only counted.
    void SetPrintSolutions(bool print) { m_printSolutions = print; }
    bool PrintsSolutions() const { return m_printSolutions; }
    // Whether the phase lines (compiling, searching) are printed; they never
    // are in a format other than Text.
    void SetPrintPhases(bool print) { m_printPhases = print; }
    bool PrintsPhases() const { return m_printPhases && m_format == OutputFormat::Text; }
    // The format of the solution lines. The other formats are UTF-8: a
    // search in one of them converts the program's texts to UTF-8 first.
    void SetFormat(OutputFormat format) { m_format = format; }
    OutputFormat Format() const { return m_format; }
    // Called by the solution printer for each new distinct line.
    void NoteSolution() { ++m_solutions; }
    // The encoding of the texts this engine hands to Output: that of the
    // puzzle compiled or searched last (GBK before any; UTF-8 during a search
    // in a format other than Text).
    Encoding TextEncoding() const { return m_encoding; }
    // Line `line` (from 1) of the puzzle compiled last, in UTF-8 without its
    // line end, as a diagnostic shows it; empty past the end.
    std::string SourceLine(int line) const;

private:
    bool m_error = false;
    bool m_readFailed = false;
    bool m_cancelled = false;
    uint64_t m_steps = 0;
    unsigned m_solutions = 0;
    bool m_printSolutions = true;
    bool m_printPhases = true;
    OutputFormat m_format = OutputFormat::Text;
    Encoding m_encoding = Encoding::Gbk;
    SearchHook m_searchHook;
    std::vector<bool> m_leaveOut;
    std::vector<ConditionStatement> m_statements;
    // The text of the puzzle compiled last (without a byte-order mark, UTF-16
    // turned into UTF-8) and its encoding.
    std::string m_source;
    Encoding m_sourceEncoding = Encoding::Gbk;
};
