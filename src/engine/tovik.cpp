// CTovik: the run phases (compile, then search), the default hooks, and the
// single error path of the compiler.
#include "engine/tovik.h"

#include <sys/stat.h>

#include <memory>
#include <string>

#include "engine/messages.h"
#include "model/program.h"

// The generated parser and scanner.
int yyparse();
void yyrestart(FILE* file);
int yylex_destroy();

int g_lineNumber = 1;

namespace {
CTovik* g_engine = nullptr;
}

void CTovik::Output(const char* text) { std::fputs(text, stdout); }
bool CTovik::IsCancel() { return false; }
void CTovik::OnProgress(unsigned) {}

void ReportError(const char* message) {
    if (g_engine != nullptr) g_engine->OnYYError(message);
}

void CTovik::OnYYError(const char* message) {
    m_error = true;
    std::string line = std::to_string(g_lineNumber);
    line += Text(Msg::LineSuffix);
    line += message;
    line += " \r\n";
    Output(line.c_str());
}

bool CTovik::Run(FILE* file) {
    if (file == nullptr) return false;
    // Restart the scanner on the new file: an earlier parse may have stopped
    // before the end of its own input.
    yyrestart(file);
    g_engine = this;
    m_error = false;
    auto program = std::make_unique<CProgram>();
    SetCurrentProgram(program.get());
    Output(Text(Msg::Compiling));
    g_lineNumber = 1;
    yyparse();
    std::fclose(file);
    yylex_destroy();

    bool compiled = !m_error;
    if (compiled) {
        Output(Text(Msg::Searching));
        m_progress = 0;
        Seach();
    }
    program->CleanUp();
    SetCurrentProgram(nullptr);
    return compiled;
}

bool CTovik::Run(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return false;
    }
    return Run(file);
}
