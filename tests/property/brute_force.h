// The reference answer of the property test: every line a compiled puzzle
// should print, found without the search by trying every assignment.
#pragma once

#include <string>
#include <vector>

class CProgram;

namespace tovik_property {

// The lines (without "\r\n") that the program's output items print for the
// assignments satisfying all its compiled conditions, one per distinct
// combination of printed values, sorted. Enumerates every direct element over
// its domain (an ordering through its forward family, kept to permutations,
// with the inverse family following), gives each indirect element the value
// of the element its subscript selects, and keeps the assignments under which
// every compiled condition has an alternative that evaluates non-zero. Must
// run before any search, which consumes the compiled conditions. Leaves every
// variable unassigned.
std::vector<std::string> BruteForceLines(CProgram& program);

}  // namespace tovik_property
