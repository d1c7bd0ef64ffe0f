// Reporter: tovik's own messages on standard error. In the json format each
// is a JSON object with its "type" and "message"; otherwise a line that
// starts with "tovik: ". Compile errors, which the text format prints on
// standard output, come here in the other formats: as "FILE:LINE: MESSAGE"
// or as an object with the line.
#pragma once

#include <string>
#include <string_view>

#include "app/options.h"
#include "engine/tovik.h"

class ConsoleOutput;
struct Diagnostic;

class Reporter {
public:
    explicit Reporter(OutputFormat format) : m_format(format) {}

    // How diagnostics are written (Auto is decided by the caller), and
    // whether warnings are.
    void SetDiagnostics(DiagnosticsStyle style, bool warnings) {
        m_diagnostics = style;
        m_warnings = warnings;
    }
    // A compile error's details or a warning about the puzzle; `sourceLine`
    // is the line it is on (UTF-8), shown with a caret under the place.
    void Show(const Diagnostic& diagnostic, std::string_view sourceLine);

    // Standard output's own buffer, flushed before each message so that what
    // came before stays before on a shared terminal; none: the stream only.
    void SetOutput(ConsoleOutput* output) { m_output = output; }

    // The puzzle's name in compile errors.
    void SetPuzzle(std::string name) { m_puzzle = std::move(name); }

    void Error(const std::string& text) { Write("error", text); }
    void Warning(const std::string& text) { Write("warning", text); }
    void Note(const std::string& text) { Write("note", text); }
    // The --stats line, which has no "tovik: " before it.
    void Stats(const std::string& text);
    // A compile error; `message` is UTF-8.
    void CompileError(int line, const std::string& message);

private:
    void Write(const char* type, const std::string& text);
    void Put(const std::string& line);

    OutputFormat m_format;
    DiagnosticsStyle m_diagnostics = DiagnosticsStyle::None;
    bool m_warnings = true;
    std::string m_puzzle;
    ConsoleOutput* m_output = nullptr;
};
