// The command line of `tovik`: options, then the puzzle file and the optional
// progress argument. Every option is one entry of the table in options.cpp,
// which also writes the option list of --help.
#pragma once

#include <cstdint>
#include <string>

#include "engine/tovik.h"

// How diagnostics (the place of a compile error with hints, and warnings)
// are written on standard error. Auto is Rich on a terminal, None otherwise.
enum class DiagnosticsStyle { Auto, Rich, Json, None };

struct Options {
    bool help = false;
    bool version = false;
    bool stats = false;
    bool count = false;
    bool unique = false;
    bool uniqueAssignments = false;  // --unique=assignments: count full assignments
    bool explain = false;            // after the run, say why: a conflict or the differences
    bool fast = false;               // search with the propagating solver
    bool quiet = false;              // no phase lines
    OutputFormat format = OutputFormat::Text;
    DiagnosticsStyle diagnostics = DiagnosticsStyle::Auto;
    bool warnings = true;            // --warnings=none turns them off
    long long limit = -1;            // stop after this many solution lines; -1: no limit
    double timeLimit = -1;           // seconds; -1: no limit
    uint64_t memoryLimit = 0;        // bytes; 0: the default
    const char* puzzle = nullptr;    // "-" for standard input
    const char* progress = nullptr;  // the second positional argument
    std::string error;               // the first mistake on the command line
};

// Options come first; after the puzzle only long options are options, and
// any other argument that begins with '-' is the progress argument (so that
// `tovik PUZZLE -s` keeps its meaning). "--" ends the options.
Options ParseOptions(int argc, char** argv);

// The text of --help.
std::string UsageText();
