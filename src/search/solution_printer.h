// The solution printer of both searches: one line per complete assignment,
// unless the printed variables take a combination already printed, in the
// engine's output format. Every format is written here.
#pragma once

#include <vector>

#include "model/program.h"

class CTovik;

// Every direct variable that the puzzle names, as the json and csv formats
// list them: family by family in declaration order, each family's elements
// by their keys in set order.
std::vector<COutputColumn> SolutionColumns(const CProgram& program);

// Starts the solutions of a search: the csv format's header. Called once
// before the search, so a puzzle without solutions still gets its header.
void BeginSolutions(CTovik& engine, CProgram& program);

// Prints the line of the program's current assignment through the engine's
// Output (or only counts it, when the engine prints no solutions), unless the
// same combination of printed values was printed before. The json and csv
// formats read every variable, so a search should assign all of them; one
// left open is written as null (json) or an empty field (csv).
void PrintSolution(CTovik& engine, CProgram& program);
