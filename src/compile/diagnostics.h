// Diagnostics: where compile errors go. The compiler reports each error once,
// by its text and the line the scanner has reached; what becomes of it (a
// printed line, a list in an editor) is the receiver's business.
#pragma once

class Diagnostics {
public:
    // `message` is in the puzzle's encoding.
    virtual void Error(int line, const char* message) = 0;

protected:
    ~Diagnostics() = default;
};
