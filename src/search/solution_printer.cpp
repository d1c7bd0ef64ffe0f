// The solution printer: deduplication by the printed values, then one text
// per output item and "\r\n".
#include "search/solution_printer.h"

#include <string>

#include "engine/tovik.h"
#include "model/program.h"

void PrintSolution(CTovik& engine, CProgram& program) {
    COutput& output = program.output;
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
            const char* text = program.TextOf(item.variable->Value());
            engine.Output(text != nullptr ? text : "");
        } else {
            engine.Output(std::to_string(item.variable->Value()).c_str());
        }
    }
    engine.Output("\r\n");
}
