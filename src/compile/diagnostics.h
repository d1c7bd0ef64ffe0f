// Diagnostics: where compile errors and warnings go, and whether the compile
// phase should stop. The compiler reports each error once as the documented
// error line (its text and the line the scanner has reached), and may add a
// Diagnostic with the place, the message in the user's language and hints;
// warnings come only as Diagnostics. What becomes of them (a printed line, a
// caret under the token, a JSON object, a list in an editor) is the
// receiver's business.
#pragma once

#include <string>
#include <vector>

// A piece of the puzzle text: its line, and its columns in characters from 1
// (not bytes, in GBK and UTF-8 alike); endColumn is the first column after
// it. A column of 0 is unknown.
struct SourcePlace {
    int line = 0;
    int column = 0;
    int endColumn = 0;
};

enum class Severity { Error, Warning };

struct Diagnostic {
    Severity severity = Severity::Error;
    SourcePlace place;
    std::string code;                // a stable name for tools, e.g. "syntax", "unknown-string"
    std::string message;             // UTF-8, in the user's language
    std::vector<std::string> hints;  // UTF-8, each a sentence that helps to fix it
};

// Thrown out of the compile phase when the receiver asked it to stop; the
// half-built program is then released, and no error has been reported.
struct CompileCancelled {};

class Diagnostics {
public:
    // The documented error line; `message` is in the puzzle's encoding.
    virtual void Error(int line, const char* message) = 0;
    // An error's details (after its Error line) or a warning.
    virtual void Report(const Diagnostic&) {}
    // Asked every few thousand expression nodes, so that a compile phase
    // that expands a puzzle into millions of them can be stopped at once.
    virtual bool StopRequested() { return false; }

protected:
    ~Diagnostics() = default;
};
