// Messages on standard error, as text lines or JSON objects.
#include "app/reporter.h"

#include <cstdio>
#include <string_view>

#include "compile/diagnostics.h"
#include "text/quoting.h"

namespace {

void Put(const std::string& line) {
    std::fflush(stdout);  // what came before stays before on a shared terminal
    std::fputs(line.c_str(), stderr);
}

}  // namespace

void Reporter::Write(const char* type, const std::string& text) {
    if (m_format != OutputFormat::Json) {
        const bool warning = std::string_view(type) == "warning";
        Put(std::string("tovik: ") + (warning ? "warning: " : "") + text + "\n");
        return;
    }
    std::string object = "{\"type\":\"";
    object += type;
    object += "\",\"message\":";
    AppendJsonString(object, text);
    Put(object + "}\n");
}

void Reporter::Stats(const std::string& text) {
    if (m_format == OutputFormat::Json)
        Write("stats", text);
    else
        Put(text + "\n");
}

void Reporter::CompileError(int line, const std::string& message) {
    if (m_format != OutputFormat::Json) {
        Put(m_puzzle + ":" + std::to_string(line) + ": " + message + "\n");
        return;
    }
    std::string object =
        "{\"type\":\"compile-error\",\"line\":" + std::to_string(line) + ",\"message\":";
    AppendJsonString(object, message);
    Put(object + "}\n");
}

// Rich: "FILE:LINE:COLUMN: error: MESSAGE" (no column when it is unknown),
// then one indented "hint:" line per hint. Json: one object per line.
void Reporter::Show(const Diagnostic& d) {
    const bool warning = d.severity == Severity::Warning;
    if (warning && !m_warnings) return;
    const char* severity = warning ? "warning" : "error";
    if (m_diagnostics == DiagnosticsStyle::Rich) {
        std::string text = m_puzzle + ":" + std::to_string(d.place.line) + ":";
        if (d.place.column > 0) text += std::to_string(d.place.column) + ":";
        text += std::string(" ") + severity + ": " + d.message + "\n";
        for (const std::string& hint : d.hints) text += "  hint: " + hint + "\n";
        Put(text);
    } else if (m_diagnostics == DiagnosticsStyle::Json) {
        std::string object = std::string("{\"severity\":\"") + severity +
                             "\",\"line\":" + std::to_string(d.place.line) +
                             ",\"column\":" + std::to_string(d.place.column) +
                             ",\"endColumn\":" + std::to_string(d.place.endColumn) +
                             ",\"message\":";
        AppendJsonString(object, d.message);
        object += ",\"hints\":[";
        for (size_t i = 0; i < d.hints.size(); ++i) {
            if (i > 0) object += ",";
            AppendJsonString(object, d.hints[i]);
        }
        object += "],\"code\":";
        AppendJsonString(object, d.code);
        Put(object + "}\n");
    }
}
