// No false alarms: every puzzle of the repository that compiles (examples,
// golden cases, benchmarks) compiles without a warning, except the few that
// are written to show a mistake, which give exactly the warnings listed here.
// Compiling alone is enough: warnings never wait for the search.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "../support/test_support.h"
#include "compile/diagnostics.h"

namespace tovik_test {
namespace {

namespace fs = std::filesystem;

class WarningRecorder : public RecordingTovik {
public:
    void OnCompileError(int, const char*) override { failed = true; }
    void OnDiagnostic(const Diagnostic& d) override {
        if (d.severity == Severity::Warning) codes.push_back(d.code);
    }
    void OnWarning(const char*) override {}

    std::vector<std::string> codes;
    bool failed = false;
};

// The puzzles that show a mistake on purpose, with their warnings in order.
const std::map<std::string, std::vector<std::string>> kMeant = {
    {"bench/compile/square-1e5.tvk", {"overflow"}},
    {"examples/guide/warnings.tvk", {"unknown-string"}},
    {"tests/e2e/cases/diagnostics/full_width_in_names_warns.tvk",
     {"full-width", "full-width", "full-width"}},
    {"tests/e2e/cases/options/double_dash.tvk", {"unused-variable"}},
    {"tests/e2e/cases/options/fast_falls_back_on_wrap_around.tvk", {"overflow"}},
    {"tests/e2e/cases/options/option_abbreviated.tvk", {"unused-variable"}},
    {"tests/e2e/cases/options/quiet.tvk", {"unused-variable"}},
    {"tests/e2e/cases/options/unique_one.tvk", {"unused-variable"}},
    {"tests/e2e/cases/options/unique_one_assignments.tvk", {"unused-variable"}},
    {"tests/e2e/cases/options/unique_one_fast.tvk", {"unused-variable"}},
    {"tests/e2e/cases/search/duplicates.tvk", {"unused-variable"}},
    {"tests/e2e/cases/search/never_holds.tvk", {"never-true"}},
    {"tests/e2e/cases/search/output_none.tvk", {"unused-variable", "unused-variable"}},
    {"tests/e2e/cases/search/output_text_only.tvk", {"unused-variable"}},
    {"tests/e2e/cases/warnings/always_holds.tvk", {"always-true", "always-true"}},
    {"tests/e2e/cases/warnings/json.tvk", {"unknown-string", "unused-variable"}},
    {"tests/e2e/cases/warnings/never_holds.tvk", {"never-true", "never-true"}},
    {"tests/e2e/cases/warnings/string_in_no_set.tvk", {"unknown-string", "unknown-string"}},
    {"tests/e2e/cases/warnings/unused_variables.tvk",
     {"unused-variable", "unused-variable", "unused-variable"}},
    {"tests/e2e/cases/warnings/warnings_none.tvk", {"never-true", "never-true"}},
    {"tests/e2e/cases/warnings/wrap_around.tvk", {"overflow"}},
};

TEST(Warnings, NoFalseAlarmsOnThePuzzlesOfTheRepository) {
    const fs::path root = fs::path(TOVIK_TEST_DIR).parent_path();
    int compiled = 0;
    for (const char* folder : {"examples", "tests/e2e/cases", "bench/puzzles", "bench/compile"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (entry.path().extension() != ".tvk") continue;
            const std::string name = fs::relative(entry.path(), root).generic_string();
            WarningRecorder engine;
            const bool kept = engine.Compile(std::fopen(entry.path().c_str(), "rb")) != nullptr;
            if (!kept || engine.failed) continue;  // a compile error is no correct puzzle
            ++compiled;
            const auto meant = kMeant.find(name);
            EXPECT_EQ(engine.codes,
                      meant == kMeant.end() ? std::vector<std::string>{} : meant->second)
                << name;
        }
    }
    EXPECT_GT(compiled, 100);
}

}  // namespace
}  // namespace tovik_test
