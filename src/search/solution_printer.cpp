// The solution printer: deduplication by the printed values, then the line
// in the engine's format. Text hands each item to Output on its own, then
// "\r\n", as embedding hosts have always received it, unless the engine takes
// whole lines (the console does); the other formats build the whole line and
// hand it over at once.
#include "search/solution_printer.h"

#include <algorithm>
#include <string>

#include "engine/tovik.h"
#include "model/program.h"
#include "text/quoting.h"

namespace {

bool IsStringSet(const CProgram& program, const PooledText* set) {
    return set != nullptr && program.IsStringSet(set);
}

// The text of a value: a string's text or the number in decimal.
std::string ValueText(const CProgram& program, int32_t value, bool symbolic) {
    if (!symbolic) return std::to_string(value);
    const char* text = program.TextOf(value);
    return text != nullptr ? text : "";
}

}  // namespace

// An ordering is given by its forward family (each value's position); its
// inverse family holds the same information.
std::vector<COutputColumn> SolutionColumns(const CProgram& program) {
    std::vector<COutputColumn> columns;
    std::vector<const CVarDecl*> seen;
    for (const CVariable* v : program.variableList) {
        const CVarDecl* family = v->family;
        const bool inverse = family->partner != nullptr && family->domainSet != nullptr;
        if (v->subscript != nullptr || inverse) continue;
        if (std::find(seen.begin(), seen.end(), family) != seen.end()) continue;
        seen.push_back(family);
        const bool symbolic = IsStringSet(program, family->domainSet);
        if (family->partner == nullptr && family->indexSet == nullptr) {
            columns.push_back({family->name->text, family->elements.front(), symbolic});
            continue;
        }
        const PooledText* keySet =
            family->indexSet != nullptr ? family->indexSet : family->partner->domainSet;
        const bool symbolicKey = IsStringSet(program, keySet);
        std::vector<CVariable*> elements = family->elements;
        std::sort(elements.begin(), elements.end(),
                  [](const CVariable* a, const CVariable* b) { return a->key < b->key; });
        for (CVariable* e : elements)
            columns.push_back(
                {family->name->text + "[" + ValueText(program, e->key, symbolicKey) + "]", e,
                 symbolic});
    }
    return columns;
}

namespace {

void PrintJson(CTovik& engine, const CProgram& program, const std::string& line) {
    std::string object = "{\"type\":\"solution\",\"line\":";
    AppendJsonString(object, line);
    object += ",\"values\":{";
    bool first = true;
    for (const COutputColumn& column : program.output.columns) {
        if (!first) object += ',';
        first = false;
        AppendJsonString(object, column.name);
        object += ':';
        if (!column.variable->Assigned()) {
            object += "null";  // a search that left it open; see PrintSolution
            continue;
        }
        const int32_t value = column.variable->Value();
        if (column.symbolic)
            AppendJsonString(object, ValueText(program, value, true));
        else
            object += std::to_string(value);
    }
    object += "}}\n";
    engine.Output(object.c_str());
}

void PrintCsv(CTovik& engine, const CProgram& program) {
    std::string row;
    const std::vector<COutputColumn>& columns = program.output.columns;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) row += ',';
        if (columns[i].variable->Assigned())
            AppendCsvField(row,
                           ValueText(program, columns[i].variable->Value(), columns[i].symbolic));
    }
    row += '\n';
    engine.Output(row.c_str());
}

}  // namespace

void BeginSolutions(CTovik& engine, CProgram& program) {
    const OutputFormat format = engine.Format();
    if (format != OutputFormat::Json && format != OutputFormat::Csv) return;
    program.output.columns = SolutionColumns(program);
    if (format != OutputFormat::Csv || !engine.PrintsSolutions()) return;
    std::string header;
    const std::vector<COutputColumn>& columns = program.output.columns;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) header += ',';
        AppendCsvField(header, columns[i].name);
    }
    header += '\n';
    engine.Output(header.c_str());
}

void PrintSolution(CTovik& engine, CProgram& program) {
    engine.OnAssignment(program);
    COutput& output = program.output;
    std::vector<int32_t>& key = output.printedKeys.Tuple();
    key.clear();
    for (const CVariable* v : output.keyVariables) key.push_back(v->Value());
    if (!output.printedKeys.Insert()) return;
    engine.NoteSolution();
    if (!engine.PrintsSolutions()) return;

    const OutputFormat format = engine.Format();
    if (format == OutputFormat::Csv) {
        PrintCsv(engine, program);
        return;
    }
    if (format == OutputFormat::Lines ||
        (format == OutputFormat::Text && engine.TakesWholeLines())) {
        // For text, the bytes each item's Output call would have written, in
        // one call. The template is made at the first line, once the texts
        // are in the output's encoding.
        if (!output.line.Prepared())
            output.line.Prepare(program, format == OutputFormat::Lines ? "\n" : "\r\n");
        engine.Output(output.line.Write());
        return;
    }
    if (format == OutputFormat::Text) {
        for (const COutputItem& item : output.items)
            engine.Output(item.variable == nullptr
                              ? item.text->text.c_str()
                              : ValueText(program, item.variable->Value(), item.symbolic).c_str());
        engine.Output("\r\n");
        return;
    }
    std::string line;
    for (const COutputItem& item : output.items)
        line += item.variable == nullptr
                    ? item.text->text
                    : ValueText(program, item.variable->Value(), item.symbolic);
    PrintJson(engine, program, line);
}
