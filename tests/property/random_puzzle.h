// Random small puzzles for the search's property test. One seed gives one
// puzzle text, the same on every platform (the generator draws from mt19937,
// whose output the language fixes, and maps the draws itself).
//
// A puzzle has a few sets of numbers and names, a few simple variables,
// arrays and orderings over them, condition statements built from every
// operator, quantifiers (nested, over any set), all-different lists, constant,
// variable and nested subscripts of both forms, and an output statement.
// Subscripts are chosen so that every value they can take selects an element
// (the compiler rejects any other), and the declared domains are small enough
// that enumerating every assignment stays cheap.
#pragma once

#include <cstdint>
#include <string>

namespace tovik_property {

// Direct assignments a generated puzzle may have at most (an ordering of n
// values counts as n to the n, the forward family's raw assignments).
inline constexpr long kMaxAssignments = 3000;

std::string RandomPuzzle(uint32_t seed);

}  // namespace tovik_property
