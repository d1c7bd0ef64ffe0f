// CTovik: the interpreter engine. One object runs one puzzle at a time: Run
// compiles the file into a CProgram and, when no compile error was reported,
// searches for every solution. A host receives all output and can cancel or
// follow the search by overriding Output, IsCancel and OnProgress.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

class CProgram;
struct CVariable;
struct CCondition;
struct SearchState;

class CTovik {
public:
    CTovik() = default;
    CTovik(const CTovik&) = default;
    CTovik& operator=(const CTovik&) = default;
    virtual ~CTovik() = default;

    // Prints text unchanged on standard output; callers add their own "\r\n".
    virtual void Output(const char* text);
    // Polled at every search step; true unwinds the search without more work.
    virtual bool IsCancel();
    // Called once per search step with the new step count.
    virtual void OnProgress(unsigned count);

    // Compiles and searches the puzzle read from an open file, which Run
    // closes. False for a null file or a compile error, true after the search.
    bool Run(FILE* file);
    // Opens the path (a directory cannot be opened) and runs it.
    bool Run(const char* path);

    // The compile phase alone: prints the compiling line and any compile
    // errors, closes the file, and returns the compiled program, which stays
    // the current program until it is destroyed; null after a compile error.
    std::unique_ptr<CProgram> Compile(FILE* file);

    // A search that Run uses in place of the default one after a successful
    // compile. It returns false, having printed nothing, when the default
    // search has to run instead.
    using SearchHook = std::function<bool(CTovik& engine, CProgram& program)>;
    void SetSearch(SearchHook hook) { m_searchHook = std::move(hook); }

    // True when the last Run reported a compile error.
    bool HadError() const { return m_error; }
    // Search steps taken by the last Run.
    unsigned Progress() const { return m_progress; }
    // Distinct solution lines found by the last Run (printed or not).
    unsigned Solutions() const { return m_solutions; }
    // Whether solution lines are printed; when off they are only counted.
    void SetPrintSolutions(bool print) { m_printSolutions = print; }
    bool PrintsSolutions() const { return m_printSolutions; }
    // Called by the solution printer for each new distinct line.
    void NoteSolution() { ++m_solutions; }

private:
    friend void ReportError(const char* message);
    friend struct SearchState;

    void OnYYError(const char* message);

    void Seach();
    void Search(CCondition** first, CCondition** last);
    void Search(CVariable* variable, int32_t value, CCondition** first, CCondition** last);
    void Exhaust(CVariable** first, CVariable** last);
    // Common prologue of the search operations: false when cancelled.
    bool Step();

    bool m_error = false;
    unsigned m_progress = 0;
    unsigned m_solutions = 0;
    bool m_printSolutions = true;
    SearchState* m_search = nullptr;  // set only while Seach runs
    SearchHook m_searchHook;
};

// The single error entry of the parser and of every semantic routine: reports
// the message, with the current line, on the engine whose Run is active.
void ReportError(const char* message);

// Line number of the scanner, read by error reports.
extern int g_lineNumber;
