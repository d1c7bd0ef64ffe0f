// CTovik: the run phases (compile, then search), the default hooks, and the
// single error path of the compiler.
#include "engine/tovik.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "model/program.h"
#include "text/encoding.h"
#include "text/messages.h"

// The generated parser and scanner.
int yyparse();
void ScanPuzzle(const char* bytes, int length, bool utf8);
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

namespace {

// The whole file: its encoding is decided before scanning. A read error ends
// the process like the scanner's other fatal errors.
std::string ReadAll(FILE* file) {
    std::string bytes;
    char block[8192];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, n);
    if (std::ferror(file) || bytes.size() > static_cast<size_t>(INT32_MAX) - 2) {
        std::fputs("input in flex scanner failed\n", stderr);
        std::exit(2);
    }
    return bytes;
}

}  // namespace

std::unique_ptr<CProgram> CTovik::Compile(FILE* file) {
    if (file == nullptr) return nullptr;
    const std::string bytes = ReadAll(file);
    std::fclose(file);
    size_t bom = 0;
    Encoding encoding = DetectEncoding(bytes, &bom);
    SetCurrentEncoding(encoding);
    // Each compile scans afresh, whatever an earlier parse left behind.
    ScanPuzzle(bytes.data() + bom, static_cast<int>(bytes.size() - bom),
               encoding == Encoding::Utf8);
    g_engine = this;
    m_error = false;
    auto program = std::make_unique<CProgram>();
    SetCurrentProgram(program.get());
    Output(Text(Msg::Compiling));
    g_lineNumber = 1;
    yyparse();
    yylex_destroy();
    if (m_error) {
        SetCurrentProgram(nullptr);
        return nullptr;
    }
    return program;
}

bool CTovik::Run(FILE* file) {
    std::unique_ptr<CProgram> program = Compile(file);
    if (!program) return false;
    Output(Text(Msg::Searching));
    m_progress = 0;
    m_solutions = 0;
    if (!m_searchHook || !m_searchHook(*this, *program)) Seach();
    program->CleanUp();
    SetCurrentProgram(nullptr);
    return true;
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
