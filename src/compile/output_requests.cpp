// Output requests: the items of the output statement, in source order. Each
// variable item is also a key of the printed-line deduplication.
#include "compile/compiler.h"

void Compiler::AddOutputText(const PooledText* text) {
    program.output.items.push_back(COutputItem{text, nullptr, false});
}

// Only a variable reference can be printed.
void Compiler::AddOutputVariable(CExpression* expression) {
    auto* reference = As<CExpVar>(expression);
    if (reference == nullptr) {
        Report(Msg::BadOutput);
        return;
    }
    CVariable* v = reference->variable;
    program.output.keyVariables.push_back(v);
    const bool symbolic =
        v->family->domainSet != nullptr && program.IsStringSet(v->family->domainSet);
    program.output.items.push_back(COutputItem{nullptr, v, symbolic});
}
