// The explanation of a run: a probe engine compiles the puzzle again (with
// some condition statements left out) and searches it quietly, once per
// question; the answers become text lines or one JSON object, built in UTF-8
// and handed to the console engine in its own encoding.
#include "app/explain.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/console_engine.h"
#include "app/step_clock.h"
#include "engine/probe.h"
#include "model/program.h"
#include "text/encoding.h"
#include "text/quoting.h"
#include "text/translate.h"
#if TOVIK_FAST
#include "fast/fast_search.h"
#endif

namespace {

// A statement's text on one line: comments left out, every run of blanks
// and line ends one space, string literals as they are.
std::string OneLine(const std::string& text) {
    std::string out;
    bool blank = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            const size_t close = text.find_first_of("\"\n", i + 1);
            const size_t end = close == std::string::npos ? text.size() : close + 1;
            if (blank && !out.empty()) out += ' ';
            blank = false;
            out.append(text, i, end - i);
            if (!out.empty() && out.back() == '\n') out.back() = ' ';
            i = end - 1;
            continue;
        }
        if (c == '/' && i + 1 < text.size() && (text[i + 1] == '/' || text[i + 1] == '*')) {
            const bool line = text[i + 1] == '/';
            const size_t end = line ? text.find('\n', i) : text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + (line ? 0 : 1);
            blank = true;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// The text form ends its lines as the run's format does.
struct Writer {
    std::string text;
    const char* end;
    void Line(const std::string& line) { text += line + end; }
};

// The encodings a report meets: the puzzle's texts come in the source
// encoding, the report's own sentences in UTF-8. The text form is written
// straight in the output's encoding (each piece converted from where it
// comes from, so that a GBK puzzle's texts never go through UTF-8 and back);
// the JSON form is built in UTF-8, as its escaping needs.
class Texts {
public:
    Texts(Encoding source, Encoding output, bool json)
        : m_source(source), m_target(json ? Encoding::Utf8 : output) {}

    // A text of the puzzle.
    std::string Source(std::string_view text) const { return Convert(text, m_source); }
    // A sentence of the report, or a name from the command line (UTF-8).
    std::string Own(std::string_view text) const { return Convert(text, Encoding::Utf8); }

private:
    std::string Convert(std::string_view text, Encoding from) const {
        if (from == m_target) return std::string(text);
        std::string out;
        Converter(from, m_target).Convert(text, out);
        return out;
    }

    Encoding m_source;
    Encoding m_target;
};

// A value as the puzzle would write it: a number, or a string in quotes (a
// JSON string in the JSON form).
std::string ValueText(const CProgram& program, const Texts& texts, const COutputColumn& column,
                      int32_t value, bool json) {
    if (!column.symbolic) return std::to_string(value);
    const char* text = program.TextOf(value);
    const std::string converted = texts.Source(text != nullptr ? text : "");
    if (!json) return "\"" + converted + "\"";
    std::string quoted;
    AppendJsonString(quoted, converted);
    return quoted;
}

// The values one column takes over the assignments, in ascending order.
std::vector<int32_t> ValuesOf(const std::vector<std::vector<int32_t>>& kept, size_t column) {
    std::vector<int32_t> values;
    for (const std::vector<int32_t>& a : kept) values.push_back(a[column]);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

// A clue column = value that exactly one assignment satisfies: the first
// column, in the columns' order, with such a value (its least one). Only
// when every assignment is known.
struct Clue {
    size_t column = 0;
    int32_t value = 0;
    bool found = false;
};

Clue FindClue(const std::vector<std::vector<int32_t>>& kept, size_t columns) {
    for (size_t c = 0; c < columns; ++c)
        for (int32_t value : ValuesOf(kept, c)) {
            size_t count = 0;
            for (const std::vector<int32_t>& a : kept) count += a[c] == value ? 1 : 0;
            if (count == 1) return {c, value, true};
        }
    return {};
}

// The explanation of a puzzle with no solution: the conflicting statements,
// each as FILE:LINE: TEXT (or a JSON object).
std::string ConflictReport(const ExplainRequest& request, const Conflict& found, Encoding output,
                           const char* end) {
    const std::vector<ConditionStatement>& statements = found.statements;
    const std::vector<size_t>& conflict = found.members;
    const Texts texts(found.encoding, output, request.json);
    if (request.json) {
        std::string object = "{\"type\":\"explanation\",\"solutions\":false,\"conflict\":[";
        for (size_t i = 0; i < conflict.size(); ++i) {
            const ConditionStatement& s = statements[conflict[i]];
            if (i > 0) object += ',';
            object += "{\"file\":";
            AppendJsonString(object, request.fileName);
            object += ",\"line\":" + std::to_string(s.line) + ",\"text\":";
            AppendJsonString(object, texts.Source(OneLine(s.text)));
            object += '}';
        }
        return object + "]}" + end;
    }
    Writer out{"", end};
    out.Line(texts.Own(Tr("Explanation: no solution.")));
    if (conflict.size() == 1)
        out.Line(texts.Own(Tr("This condition can never hold:")));
    else
        out.Line(
            texts.Own(Tr("These conditions cannot hold together; without any one of them the rest "
                         "can:")));
    const std::string file = texts.Own(request.fileName);
    for (size_t index : conflict) {
        const ConditionStatement& s = statements[index];
        out.Line(file + ":" + std::to_string(s.line) + ": " + texts.Source(OneLine(s.text)));
    }
    return out.text;
}

// The explanation of a puzzle with solutions, from the assignments found.
std::string SolutionsReport(const ExplainRequest& request, const CProgram& program,
                            const Assignments& found, unsigned lines, Encoding output,
                            const char* end) {
    const Texts texts(program.encoding, output, request.json);
    std::vector<std::string> names;
    for (const COutputColumn& column : program.output.columns)
        names.push_back(texts.Source(column.name));
    const std::vector<COutputColumn>& columns = program.output.columns;
    const std::vector<std::vector<int32_t>>& kept = found.Kept();
    const bool complete = !found.Capped();
    const Clue clue = complete && kept.size() > 1 ? FindClue(kept, columns.size()) : Clue{};
    std::vector<size_t> differ;
    if (kept.size() > 1)
        for (size_t c = 0; c < columns.size(); ++c)
            if (kept[0][c] != kept[1][c]) differ.push_back(c);
    const bool json = request.json;
    auto value = [&](size_t column, int32_t v) {
        return ValueText(program, texts, columns[column], v, json);
    };
    auto assignment = [&](const std::vector<int32_t>& a) {
        std::string text;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) text += json ? "," : ", ";
            if (json) {
                AppendJsonString(text, names[c]);
                text += ":" + value(c, a[c]);
            } else {
                text += names[c] + " = " + value(c, a[c]);
            }
        }
        return text;
    };

    if (json) {
        std::string object = "{\"type\":\"explanation\",\"solutions\":true,\"assignments\":" +
                             std::to_string(kept.size()) +
                             ",\"complete\":" + (complete ? "true" : "false") +
                             ",\"lines\":" + std::to_string(lines) + ",\"values\":{";
        for (size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) object += ',';
            AppendJsonString(object, names[c]);
            object += ":[";
            const std::vector<int32_t> values = ValuesOf(kept, c);
            for (size_t i = 0; i < values.size(); ++i)
                object += (i > 0 ? "," : "") + value(c, values[i]);
            object += ']';
        }
        object += '}';
        if (kept.size() > 1) {
            object += ",\"differ\":{\"first\":{" + assignment(kept[0]) + "},\"second\":{" +
                      assignment(kept[1]) + "},\"variables\":[";
            for (size_t i = 0; i < differ.size(); ++i) {
                if (i > 0) object += ',';
                AppendJsonString(object, names[differ[i]]);
            }
            object += "]}";
        }
        if (clue.found) {
            object += ",\"clue\":{\"variable\":";
            AppendJsonString(object, names[clue.column]);
            object += ",\"value\":" + value(clue.column, clue.value) + "}";
        }
        return object + "}" + end;
    }

    Writer out{"", end};
    const std::string count = std::to_string(kept.size());
    out.Line(texts.Own(Tr("Explanation:")));
    out.Line(texts.Own(complete
                           ? Fill(Tr("Full assignments (a value for every variable): %s"), {count})
                           : Fill(Tr("Full assignments (a value for every variable): more than %s "
                                     "(an explanation keeps no more; what follows is about those)"),
                                  {count})));
    out.Line(texts.Own(Fill(Tr("Distinct solution lines: %s"), {std::to_string(lines)})));
    std::vector<std::string> fixed, varying;
    for (size_t c = 0; c < columns.size(); ++c) {
        const std::vector<int32_t> values = ValuesOf(kept, c);
        std::string text = names[c];
        if (values.size() == 1) {
            fixed.push_back(text + " = " + value(c, values[0]));
            continue;
        }
        text += ": ";
        for (size_t i = 0; i < values.size(); ++i)
            text += (i > 0 ? ", " : "") + value(c, values[i]);
        varying.push_back(text);
    }
    if (!fixed.empty()) {
        out.Line(texts.Own(Tr("The same in every assignment:")));
        for (const std::string& line : fixed) out.Line("  " + line);
    }
    if (!varying.empty()) {
        out.Line(texts.Own(Tr("Values taken:")));
        for (const std::string& line : varying) out.Line("  " + line);
    }
    if (kept.size() > 1) {
        out.Line(texts.Own(Tr("Two assignments that differ:")));
        out.Line("  " + assignment(kept[0]));
        out.Line("  " + assignment(kept[1]));
        std::string list;
        for (size_t c : differ) list += (list.empty() ? "" : ", ") + names[c];
        // The sentence is converted before the puzzle's names go in.
        out.Line(Fill(texts.Own(Tr("They differ in: %s")), {list}));
        if (clue.found)
            out.Line(Fill(texts.Own(Tr("This clue would leave exactly one assignment: %s")),
                          {names[clue.column] + " = " + value(clue.column, clue.value)}));
        else if (complete)
            out.Line(
                texts.Own(Tr("No single clue VARIABLE = VALUE leaves exactly one assignment.")));
    }
    return out.text;
}

}  // namespace

ExplainEnd Explain(ConsoleEngine& console, const ExplainRequest& request) {
    const char* end = console.Format() == OutputFormat::Text ? "\r\n" : "\n";
    const Encoding output = console.TextEncoding();
    // The stop check: Ctrl+C at once, the deadline when the clock is read.
    StepClock clock;
    auto stop = [&console, &clock] {
        return (ConsoleEngine::s_interrupted != 0 || clock.Tick()) && console.Interrupted();
    };
    CTovik::SearchHook quick;
#if TOVIK_FAST
    quick = FastSearchHook();
#endif
    Probe probe(stop, quick);
    const Conflict conflict = FindConflict(probe, request.bytes);
    std::string report;
    switch (conflict.kind) {
        case Conflict::Kind::Stopped:
            return ExplainEnd::Stopped;
        case Conflict::Kind::NotCompiled:
            return ExplainEnd::NotCompiled;
        case Conflict::Kind::Found:
            report = ConflictReport(request, conflict, output, end);
            break;
        case Conflict::Kind::Satisfiable: {
            Probe collector(stop);
            const std::unique_ptr<CProgram> program = collector.Collect(request.bytes);
            if (collector.Stopped()) return ExplainEnd::Stopped;
            if (!program) return ExplainEnd::NotCompiled;
            report = SolutionsReport(request, *program, collector.Found(), collector.KeptLines(),
                                     output, end);
            break;
        }
    }
    // The JSON form is UTF-8; the console engine takes its own encoding.
    if (request.json && output != Encoding::Utf8) {
        std::string converted;
        Converter(Encoding::Utf8, output).Convert(report, converted);
        report = std::move(converted);
    }
    // The lines and csv formats keep standard output for solution rows, which
    // a program reads: the explanation goes beside them, on standard error.
    if (console.Format() == OutputFormat::Lines || console.Format() == OutputFormat::Csv) {
        console.FlushOutput();
        std::fwrite(report.data(), 1, report.size(), stderr);
        return ExplainEnd::Done;
    }
    console.Output(report.c_str());
    return ExplainEnd::Done;
}
