// CTovik: the run phases (reading, compiling, searching), the default hooks,
// and the printing of compile errors.
#include "engine/tovik.h"

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "compile/diagnostics.h"
#include "lang/parse.h"
#include "model/program.h"
#include "search/searcher.h"
#include "search/solution_printer.h"
#include "text/characters.h"
#include "text/messages.h"

void CTovik::Output(const char* text) { std::fputs(text, stdout); }
bool CTovik::IsCancel() { return false; }
void CTovik::OnProgress(unsigned) {}

void CTovik::OnCompileError(int line, const char* message) {
    std::string text = std::to_string(line);
    text += Text(Msg::LineSuffix, m_encoding);
    text += message;
    text += " \r\n";
    Output(text.c_str());
}

void CTovik::OnDiagnostic(const Diagnostic&) {}
void CTovik::OnAssignment(const CProgram&) {}

// Lines end at line feeds, as the scanner counts them; a CR before one is
// part of the line end.
std::string CTovik::SourceLine(int line) const {
    if (line < 1) return {};
    size_t start = 0;
    for (int i = 1; i < line; ++i) {
        start = m_source.find('\n', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    size_t end = m_source.find('\n', start);
    if (end == std::string::npos) end = m_source.size();
    if (end > start && m_source[end - 1] == '\r') --end;
    return ToUtf8(std::string_view(m_source).substr(start, end - start), m_sourceEncoding);
}

void CTovik::OnWarning(const char* text) { std::fprintf(stderr, "warning: %s\n", text); }

namespace {

// Hands each compile error to the engine's OnCompileError.
class ErrorPrinter final : public Diagnostics {
public:
    explicit ErrorPrinter(CTovik& engine) : m_engine(engine) {}
    void Error(int line, const char* message) override { m_engine.OnCompileError(line, message); }
    void Report(const Diagnostic& diagnostic) override { m_engine.OnDiagnostic(diagnostic); }

    bool StopRequested() override { return m_engine.IsCancel(); }

private:
    CTovik& m_engine;
};

// The whole file, so that its encoding is decided before scanning. False on a
// read error.
bool ReadAll(FILE* file, std::string& bytes) {
    char block[8192];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, n);
    return !std::ferror(file);
}

}  // namespace

std::unique_ptr<CProgram> CTovik::Compile(FILE* file) {
    m_readFailed = false;
    m_cancelled = false;
    if (file == nullptr) return nullptr;
    std::string bytes;
    const bool read = ReadAll(file, bytes);
    std::fclose(file);
    if (!read) {
        m_readFailed = true;
        return nullptr;
    }
    return CompileText(std::move(bytes));
}

// A text larger than the scanner's 32-bit lengths counts as unreadable.
std::unique_ptr<CProgram> CTovik::CompileText(std::string bytes) {
    m_cancelled = false;
    m_readFailed = bytes.size() > static_cast<size_t>(INT32_MAX) - 2;
    if (m_readFailed) return nullptr;
    const SourceEncoding source = DetectEncoding(bytes);
    if (source.utf16 != SourceEncoding::Utf16::No)
        bytes = Utf16ToUtf8(std::string_view(bytes).substr(source.bomLength),
                            source.utf16 == SourceEncoding::Utf16::BigEndian);
    else
        bytes.erase(0, source.bomLength);
    // Kept for the source lines that diagnostics show.
    m_source = std::move(bytes);
    m_sourceEncoding = source.encoding;
    const std::string_view text = m_source;
    if (source.invalidUtf8Line > 0) {
        const std::string warning = "line " + std::to_string(source.invalidUtf8Line) +
                                    " is not valid UTF-8, so the puzzle is read as GBK";
        OnWarning(warning.c_str());
    }
    auto program = std::make_unique<CProgram>();
    program->encoding = source.encoding;
    m_encoding = program->encoding;
    m_error = false;
    if (PrintsPhases()) Output(Text(Msg::Compiling, m_encoding));
    ErrorPrinter errors(*this);
    program->leftOut = m_leaveOut;
    m_statements.clear();
    try {
        const bool parsed = ParsePuzzle(*program, errors, text);
        m_statements = std::move(program->statements);
        if (!parsed) {
            m_error = true;
            return nullptr;
        }
    } catch (const CompileCancelled&) {
        m_cancelled = true;
        return nullptr;
    }
    return program;
}

bool CTovik::Search(CProgram& program) {
    if (program.searched) return false;
    program.searched = true;
    if (m_format != OutputFormat::Text) program.ConvertTexts(Encoding::Utf8);
    m_encoding = program.encoding;
    if (PrintsPhases()) Output(Text(Msg::Searching, m_encoding));
    m_steps = 0;
    m_solutions = 0;
    BeginSolutions(*this, program);
    if (m_searchHook && m_searchHook(*this, program)) return true;
    Searcher searcher(*this, program);
    searcher.Run();
    m_steps = searcher.Steps();
    return true;
}

bool CTovik::Run(FILE* file) {
    std::unique_ptr<CProgram> program = Compile(file);
    if (!program) return false;
    Search(*program);
    return true;
}

bool CTovik::RunText(std::string bytes) {
    std::unique_ptr<CProgram> program = CompileText(std::move(bytes));
    if (!program) return false;
    Search(*program);
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
