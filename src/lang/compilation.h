// Compilation: the context of one parse, handed to every action of the parser
// and to every rule of the scanner. It is the compiler (the program being
// filled, the diagnostics, the line) together with the scanner's own state;
// the parser keeps its stacks on its own frame. Nothing of a parse lives
// anywhere else, so any number of compilations can run side by side.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

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

    // Counts the columns of text the scanner matched (every match, skipped
    // or not) and remembers its place as `matched`.
    void Advance(const char* text, size_t length);

    void* scanner;            // the reentrant scanner's state (yyscan_t)
    std::string_view source;  // the text being scanned
    // Where the scanner stands: the byte offset and column (in characters
    // from 1) of the next character. A GBK character whose second byte the
    // scanner matched as a token of its own counts once.
    size_t offset = 0;
    int column = 1;
    bool gbkTrail = false;
    // The text matched last: its place, and its bytes in `source`.
    SourcePlace matched;
    size_t matchedOffset = 0;
    size_t matchedLength = 0;
    // The names of the statement being read, with their places.
    std::vector<std::pair<const PooledText*, SourcePlace>> statementNames;
    // The bytes of the token returned last.
    size_t tokenOffset = 0;
    size_t tokenLength = 0;
    // Where the statement being read starts: the byte offset and line of its
    // first token; no statement is open between statements.
    bool statementOpen = false;
    size_t statementOffset = 0;
    int statementLine = 0;
};

// The scanner's entry, as the parser calls it (scanner.l).
union YYSTYPE;
int yylex(YYSTYPE* value, Compilation& c);
