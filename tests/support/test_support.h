// Shared helpers of the unit tests: an engine that records what it prints
// and the step counts it reports, puzzle texts handed to the engine as files,
// GBK bytes of UTF-8 literals, and name lookups in a compiled program.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/tovik.h"
#include "model/program.h"

namespace tovik_test {

// An embedding host: keeps every printed text and every progress call, and
// cancels the search on request.
class RecordingTovik : public CTovik {
public:
    void Output(const char* text) override { output += text; }
    bool IsCancel() override { return cancel; }
    void OnProgress(unsigned count) override { progress.push_back(count); }

    std::string output;
    std::vector<unsigned> progress;
    bool cancel = false;
};

// The GBK bytes of a UTF-8 text (the encoding of puzzle files and messages).
inline std::string Gbk(std::string utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<iconv_open failed>";
    std::string out(utf8.size() * 2 + 1, '\0');
    char* src = utf8.data();
    char* dst = out.data();
    size_t srcLeft = utf8.size(), dstLeft = out.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return "<not convertible>";
    out.resize(out.size() - dstLeft);
    return out;
}

// An anonymous file holding the bytes, positioned at its start. The engine
// closes it.
inline FILE* PuzzleFile(const std::string& bytes) {
    FILE* file = std::tmpfile();
    if (file == nullptr) return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

inline std::unique_ptr<CProgram> CompileText(RecordingTovik& engine, const std::string& text) {
    return engine.Compile(PuzzleFile(text));
}

// The only element of a simple variable.
inline CVariable* Simple(CProgram& program, std::string name) {
    return program.FindVariable(program.Intern(name.data()))->elements.at(0);
}

}  // namespace tovik_test
