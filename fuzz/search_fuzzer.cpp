// Fuzz target: compile and search within the per-input budget, on tovik's
// stack (fuzz_input.h). Besides memory safety it
// checks what a host can see of the search: after the two phase lines every
// text belongs to a complete solution line, no combination of printed values
// is printed twice, and the engine's solution count matches the lines.
#include <cstdlib>
#include <set>
#include <string>

#include "fuzz_input.h"
#include "model/program.h"

namespace {

// The budgeted engine, keeping what it prints. The search's step budget
// allows the first solutions of every example puzzle.
class BudgetTovik : public tovik_fuzz::SilentTovik {
public:
    void Output(const char* text) override { texts.emplace_back(text); }

    std::vector<std::string> texts;
};

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// How many output items the puzzle has, or -1 when it does not compile.
long OutputItems(const uint8_t* data, size_t size) {
    std::vector<char> storage;
    FILE* file = tovik_fuzz::OpenBytes(data, size, storage);
    if (file == nullptr) return -1;
    tovik_fuzz::SilentTovik engine;
    std::unique_ptr<CProgram> program = engine.Compile(file);
    return program ? static_cast<long>(program->output.items.size()) : -1;
}

void CheckRun(const uint8_t* data, size_t size) {
    // The solution printer writes one text per output item and then "\r\n";
    // knowing the item count splits the stream into lines even when a text
    // item itself holds a line break.
    const long items = OutputItems(data, size);

    std::vector<char> storage;
    FILE* file = tovik_fuzz::OpenBytes(data, size, storage);
    if (file == nullptr) return;
    BudgetTovik engine;
    const bool searched = engine.Run(file);

    Check(searched == (items >= 0), "a second compile of the same bytes decided differently");
    Check(searched != (engine.HadError() || engine.Cancelled()),
          "Run's result disagrees with the error and stop flags");
    if (!searched) return;

    const size_t width = static_cast<size_t>(items) + 1;
    const std::vector<std::string>& texts = engine.texts;
    Check(texts.size() >= 2, "a phase line is missing");
    Check((texts.size() - 2) % width == 0, "a solution line is incomplete");
    std::set<std::vector<std::string>> lines;
    for (size_t at = 2; at < texts.size(); at += width) {
        Check(texts[at + width - 1] == "\r\n", "a solution line does not end in CR LF");
        // Equal texts item by item mean one combination of values printed
        // twice (whole lines could collide: "1" "12" and "11" "2").
        Check(lines.emplace(texts.begin() + at, texts.begin() + at + width).second,
              "a combination of values printed twice");
    }
    Check(engine.Solutions() == lines.size(), "solution count differs from the lines printed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tovik_fuzz::OnInterpreterStack([data, size] { CheckRun(data, size); });
    return 0;
}
