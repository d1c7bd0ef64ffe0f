// Compilation: the context of one parse, handed to every action of the parser
// and to every rule of the scanner. It is the compiler (the program being
// filled, the diagnostics, the line) together with the scanner's own state;
// the parser keeps its stacks on its own frame. Nothing of a parse lives
// anywhere else, so any number of compilations can run side by side.
#pragma once

#include <string_view>

#include "compile/compiler.h"

class Compilation : public Compiler {
public:
    // Sets up the scanner over `text`, the whole puzzle (without a byte-order
    // mark); the Chinese keywords are also recognised in UTF-8 when the
    // program's encoding is UTF-8.
    Compilation(CProgram& program, Diagnostics& diagnostics, std::string_view text);
    ~Compilation();
    Compilation(const Compilation&) = delete;
    Compilation& operator=(const Compilation&) = delete;

    void* scanner;  // the reentrant scanner's state (yyscan_t)
    // The first token of the statement being read (its text in the
    // scanner's copy of the puzzle, and its line); null between statements.
    const char* statementStart = nullptr;
    int statementLine = 0;
};

// The scanner's entry, as the parser calls it (scanner.l).
union YYSTYPE;
int yylex(YYSTYPE* value, Compilation& c);
