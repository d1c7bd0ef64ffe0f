// Messages on standard error, as text lines or JSON objects.
#include "app/reporter.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/console_output.h"
#include "compile/diagnostics.h"
#include "text/characters.h"
#include "text/quoting.h"

namespace {

// The source line after a gutter with its number, then a line that puts "^"
// under the place's first character and "~" under the rest. A terminal draws
// CJK characters two cells wide, so each takes two spaces or marks; a tab
// stays a tab so that both lines move alike.
std::string SourceWithCaret(const SourcePlace& place, std::string_view line) {
    const std::string number = std::to_string(place.line);
    std::string text = " " + number + " | ";
    // A NUL byte shows as the symbol for NUL, which a terminal draws.
    for (const char c : line) text += c == '\0' ? std::string("\u2400") : std::string(1, c);
    text += "\n";
    std::string caret = " " + std::string(number.size(), ' ') + " | ";
    const std::vector<char32_t> codes = CodePoints(line);
    const int end = std::max(place.endColumn, place.column + 1);
    for (int column = 1; column < end; ++column) {
        const size_t i = static_cast<size_t>(column - 1);
        const int width = i < codes.size() ? DisplayWidth(codes[i]) : 1;
        if (column < place.column)
            caret +=
                i < codes.size() && codes[i] == '\t' ? std::string("\t") : std::string(width, ' ');
        else
            caret += (column == place.column ? "^" : "~") + std::string(width - 1, '~');
    }
    return text + caret + "\n";
}

}  // namespace

void Reporter::Put(const std::string& line) {
    // What came before stays before on a shared terminal.
    if (m_output != nullptr)
        m_output->Flush();
    else
        std::fflush(stdout);
    std::fwrite(line.data(), 1, line.size(), stderr);
}

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
// the source line with a caret under the place (when the column is known),
// then one indented "hint:" line per hint. Json: one object per line.
void Reporter::Show(const Diagnostic& d, std::string_view sourceLine) {
    const bool warning = d.severity == Severity::Warning;
    if (warning && !m_warnings) return;
    const char* severity = warning ? "warning" : "error";
    if (m_diagnostics == DiagnosticsStyle::Rich) {
        std::string text = m_puzzle + ":" + std::to_string(d.place.line) + ":";
        if (d.place.column > 0) text += std::to_string(d.place.column) + ":";
        text += std::string(" ") + severity + ": " + d.message + "\n";
        if (d.place.column > 0) text += SourceWithCaret(d.place, sourceLine);
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
