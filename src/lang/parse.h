// The language front end's entry: compiles the whole text of a puzzle into a
// program. The parser pulls tokens from the scanner, and each reduced rule
// calls one semantic routine of the compiler, so statements take effect in
// source order as they are read.
#pragma once

#include <string_view>

#include "compile/diagnostics.h"
#include "model/program.h"

// Fills `program` from `text` (the puzzle without a byte-order mark, in the
// program's encoding). Compile errors go to `diagnostics`; false when any
// was reported.
bool ParsePuzzle(CProgram& program, Diagnostics& diagnostics, std::string_view text);
