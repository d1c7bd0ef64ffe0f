// The command line of `tovik`: options that begin with "--" (and -h alone),
// then the puzzle file and the optional progress argument.
#pragma once

#include <cstdint>
#include <string>

struct Options {
    bool help = false;
    bool version = false;
    bool stats = false;
    bool count = false;
    bool unique = false;
    bool fast = false;         // search with the propagating solver
    long long limit = -1;      // stop after this many solution lines; -1: no limit
    double timeLimit = -1;     // seconds; -1: no limit
    uint64_t memoryLimit = 0;  // bytes; 0: the default
    const char* puzzle = nullptr;
    const char* progress = nullptr;  // the second positional argument
    std::string error;               // set when an option is malformed
};

Options ParseOptions(int argc, char** argv);

// The text of --help.
const char* UsageText();
