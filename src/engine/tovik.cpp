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
#include "text/messages.h"

void CTovik::Output(const char* text) { std::fputs(text, stdout); }
bool CTovik::IsCancel() { return false; }
void CTovik::OnProgress(unsigned) {}

namespace {

// Prints each compile error through the engine's Output as one line:
// "LINE 行: MESSAGE \r\n".
class ErrorPrinter final : public Diagnostics {
public:
    ErrorPrinter(CTovik& engine, Encoding encoding) : m_engine(engine), m_encoding(encoding) {}

    void Error(int line, const char* message) override {
        std::string text = std::to_string(line);
        text += Text(Msg::LineSuffix, m_encoding);
        text += message;
        text += " \r\n";
        m_engine.Output(text.c_str());
    }

    bool StopRequested() override { return m_engine.IsCancel(); }

private:
    CTovik& m_engine;
    Encoding m_encoding;
};

// The whole file, so that its encoding is decided before scanning. False on a
// read error, or for a file larger than the scanner's 32-bit lengths.
bool ReadAll(FILE* file, std::string& bytes) {
    char block[8192];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, n);
    return !std::ferror(file) && bytes.size() <= static_cast<size_t>(INT32_MAX) - 2;
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
    size_t bom = 0;
    auto program = std::make_unique<CProgram>();
    program->encoding = DetectEncoding(bytes, &bom);
    m_encoding = program->encoding;
    m_error = false;
    Output(Text(Msg::Compiling, m_encoding));
    ErrorPrinter errors(*this, m_encoding);
    try {
        if (!ParsePuzzle(*program, errors, std::string_view(bytes).substr(bom))) {
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
    m_encoding = program.encoding;
    Output(Text(Msg::Searching, m_encoding));
    m_progress = 0;
    m_solutions = 0;
    if (m_searchHook && m_searchHook(*this, program)) return true;
    Searcher searcher(*this, program);
    searcher.Run();
    m_progress = searcher.Steps();
    return true;
}

bool CTovik::Run(FILE* file) {
    std::unique_ptr<CProgram> program = Compile(file);
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
