// Condition statements: simplify, split into clauses, drop the clauses that
// always hold, reject one that never holds, and store each remaining clause as
// the list of its alternatives.
#include "engine/tovik.h"
#include "expr/expression.h"
#include "model/program.h"
#include "text/messages.h"

bool AddCondition(CExpression* tree) {
    NodeArena& arena = CurrentProgram()->nodes;
    CExpression* simplified = tree->Simplify(arena);
    std::vector<CExpression*> clauses;
    simplified->SplitAnd(clauses, arena);
    // Clauses enter the condition list from the last to the first.
    for (size_t i = clauses.size(); i-- > 0;) {
        const ValueSet& values = clauses[i]->Values();
        if (values.AllFalse()) {
            ReportError(Text(Msg::AlwaysFalse));
            return false;
        }
        if (values.AllTrue()) continue;
        std::vector<CExpression*> alternatives;
        clauses[i]->SplitOr(alternatives, arena);
        CurrentProgram()->conditions.push_back(std::move(alternatives));
    }
    return true;
}
