// The solution printer of both searches: one line per complete assignment,
// unless the printed variables take a combination already printed.
#pragma once

class CProgram;
class CTovik;

// Prints the line of the program's current assignment through the engine's
// Output (or only counts it, when the engine prints no solutions), unless the
// same combination of printed values was printed before.
void PrintSolution(CTovik& engine, CProgram& program);
