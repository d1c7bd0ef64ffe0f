// The propagating search behind `tovik --fast`: the compiled program posted as
// a Gecode model and searched by Gecode's depth-first engine. It prints the
// same set of solution lines as the default search, through the same solution
// printer, in its own deterministic order. Called by the console host after a
// successful compile, in place of the default search.
#pragma once

#include <string>

#include "engine/tovik.h"

class CProgram;

struct FastStats {
    unsigned long nodes = 0;     // nodes the Gecode engine explored
    unsigned long failures = 0;  // failed nodes among them
    // Why the fast search declined, when it did; empty after it ran.
    std::string fallback;
};

// Posts the program and prints every solution through PrintSolution, polling
// the engine's IsCancel and reporting progress per node. Returns false,
// having printed nothing and changed nothing, when the program cannot be
// modelled with the language's exact arithmetic (a value could leave
// Gecode's integer range or wrap around); the caller then runs the default
// search.
bool FastSearch(CTovik& engine, CProgram& program, FastStats* stats);

// The fast search as an engine's search hook, without statistics: for probes
// that only ask whether a program has a solution. Where it declines, the
// engine searches the default way.
CTovik::SearchHook FastSearchHook();
