// The compiler's one error path, and the places of names.
#include "compile/compiler.h"

#include "compile/error_details.h"
#include "text/characters.h"

void Compiler::Report(Msg message) { Report(message, ErrorDetail(message, token)); }

void Compiler::Report(Msg message, Diagnostic detail) {
    Report(Text(message, program.encoding), std::move(detail));
}

void Compiler::Report(const char* message) {
    Report(message, MakeError(token, "error", ToUtf8(message, program.encoding)));
}

void Compiler::Report(const char* message, Diagnostic detail) {
    m_failed = true;
    m_diagnostics.Error(line, message);
    if (fullWidth) {
        detail = std::move(*fullWidth);
        fullWidth.reset();
    }
    m_diagnostics.Report(detail);
}

std::string Compiler::Utf8(const PooledText* name) const {
    return ToUtf8(name->text, program.encoding);
}

// A reduction that reports about a name runs a token or two after it; a
// short memory of names is enough.
void Compiler::NoteName(const PooledText* name, SourcePlace place) {
    if (m_names.size() == 64) m_names.pop_front();
    m_names.emplace_back(name, place);
}

SourcePlace Compiler::PlaceOf(const PooledText* name) const {
    for (auto seen = m_names.rbegin(); seen != m_names.rend(); ++seen)
        if (seen->first == name) return seen->second;
    return token;
}
