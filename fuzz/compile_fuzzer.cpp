// Fuzz target: the whole compile phase (scanner, parser, declarations,
// quantifier expansion, simplification and clause splitting) on arbitrary
// bytes, within the per-input budget and on tovik's stack. The compiled
// program is released at once; no search runs.
#include "fuzz_input.h"
#include "model/program.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> storage;
    FILE* file = tovik_fuzz::OpenBytes(data, size, storage);
    if (file == nullptr) return 0;
    tovik_fuzz::OnInterpreterStack([file] {
        tovik_fuzz::SilentTovik engine;
        std::unique_ptr<CProgram> program = engine.Compile(file);
    });
    return 0;
}
