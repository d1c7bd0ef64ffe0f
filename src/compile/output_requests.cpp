// Output requests and solution printing: each complete assignment prints one
// line, unless the printed variables take a combination already printed.
#include <string>

#include "engine/tovik.h"
#include "expr/expression.h"
#include "model/program.h"
#include "text/messages.h"

void AddOutputText(const PooledText* text) {
    CurrentProgram()->output.items.push_back(COutputItem{text, nullptr, false});
}

// Only a variable reference can be printed; the parse goes on after a rejection.
void AddOutputVariable(CExpression* expr) {
    auto* reference = dynamic_cast<CExpVar*>(expr);
    if (reference == nullptr) {
        ReportError(Text(Msg::BadOutput));
        return;
    }
    CProgram* program = CurrentProgram();
    CVariable* v = reference->variable;
    program->output.keyVariables.push_back(v);
    bool symbolic = v->family->domainSet != nullptr && program->IsStringSet(v->family->domainSet);
    program->output.items.push_back(COutputItem{nullptr, v, symbolic});
}

void PrintSolution(CTovik& engine) {
    COutput& output = CurrentProgram()->output;
    std::vector<int32_t> key;
    key.reserve(output.keyVariables.size());
    for (const CVariable* v : output.keyVariables) key.push_back(v->Value());
    if (!output.printedKeys.insert(std::move(key)).second) return;
    engine.NoteSolution();
    if (!engine.PrintsSolutions()) return;

    for (const COutputItem& item : output.items) {
        if (item.variable == nullptr) {
            engine.Output(item.text->text.c_str());
        } else if (item.symbolic) {
            const char* text = CurrentProgram()->TextOf(item.variable->Value());
            engine.Output(text != nullptr ? text : "");
        } else {
            engine.Output(std::to_string(item.variable->Value()).c_str());
        }
    }
    engine.Output("\r\n");
}
