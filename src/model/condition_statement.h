// ConditionStatement: one condition statement of a puzzle's source, as the
// compiler records it while parsing. Explaining a puzzle compiles it again
// with some of these statements left out.
#pragma once

#include <string>

// A condition statement (a quantified one counts as one): the line it starts
// on and its text as written, in the puzzle's encoding.
struct ConditionStatement {
    int line = 0;
    std::string text;
    bool alwaysFalse = false;  // the compiler rejected it as never holding
};
