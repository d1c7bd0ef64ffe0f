// Condition statements: simplify, split into clauses, drop the clauses that
// always hold, reject one that never holds, and store each remaining clause as
// the list of its alternatives.
#include "compile/compiler.h"
#include "compile/error_details.h"

#include <string>
#include <utility>

bool Compiler::AddCondition(CExpression* tree) {
    CExpression* simplified = tree->Simplify(program.nodes);
    std::vector<CExpression*> clauses;
    simplified->SplitAnd(clauses, program.nodes);
    size_t stored = 0;
    // Clauses enter the condition list from the last to the first.
    for (size_t i = clauses.size(); i-- > 0;) {
        const ValueSet& values = clauses[i]->Values();
        if (values.AllFalse()) {
            // The place is the statement, up to the token before its ';'.
            SourcePlace place = statementStart;
            place.endColumn = previousToken.line == place.line ? previousToken.endColumn : 0;
            Report(Msg::AlwaysFalse, ErrorDetail(Msg::AlwaysFalse, place));
            return false;
        }
        if (values.AllTrue()) continue;
        std::vector<CExpression*> alternatives;
        clauses[i]->SplitOr(alternatives, program.nodes);
        program.conditions.push_back(std::move(alternatives));
        ++stored;
    }
    WarnAboutCondition(simplified, clauses, stored);
    return true;
}

bool Compiler::AddConditionStatement(CExpression* tree, int startLine, std::string text) {
    const size_t index = program.statements.size();
    program.statements.push_back({startLine, std::move(text), false});
    if (index < program.leftOut.size() && program.leftOut[index]) return true;
    if (AddCondition(tree)) return true;
    program.statements.back().alwaysFalse = true;
    return false;
}
