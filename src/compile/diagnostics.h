// Diagnostics: where compile errors go, and whether the compile phase should
// stop. The compiler reports each error once, by its text and the line the
// scanner has reached; what becomes of it (a printed line, a list in an
// editor) is the receiver's business.
#pragma once

// Thrown out of the compile phase when the receiver asked it to stop; the
// half-built program is then released, and no error has been reported.
struct CompileCancelled {};

class Diagnostics {
public:
    // `message` is in the puzzle's encoding.
    virtual void Error(int line, const char* message) = 0;
    // Asked every few thousand expression nodes, so that a compile phase
    // that expands a puzzle into millions of them can be stopped at once.
    virtual bool StopRequested() { return false; }

protected:
    ~Diagnostics() = default;
};
