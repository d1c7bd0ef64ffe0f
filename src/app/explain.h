// Explain: what `tovik --explain` adds after the run's own output. For a
// puzzle without solutions, a smallest set of condition statements that
// cannot hold together (leaving out any one of them leaves a solution); for a
// puzzle with solutions, how many full assignments and lines there are, the
// values each variable takes, how two assignments differ and a clue that
// would leave exactly one. The work is more compiles and searches of the same
// text, bounded by the console engine's deadline and Ctrl+C.
#pragma once

#include <string>

class ConsoleEngine;

struct ExplainRequest {
    std::string bytes;     // the puzzle file as read
    std::string fileName;  // as given on the command line, in FILE:LINE: lines
    bool json = false;     // one JSON object instead of text lines
};

enum class ExplainEnd { Done, Stopped, NotCompiled };

// Writes the explanation through the engine's Output, in the engine's text
// encoding. Stopped: Ctrl+C or the deadline came first (nothing is written;
// the engine's Stopped() says which). NotCompiled: the puzzle has a compile
// error other than a condition that can never hold, so there is nothing to
// explain.
ExplainEnd Explain(ConsoleEngine& console, const ExplainRequest& request);
