// FastSearch: checks that the program can be modelled exactly, posts it, and
// runs Gecode's depth-first search in two phases, printing each solution
// through the program's solution printer. The first phase branches on the
// printed variables only; each of its solutions fixes one line, which is
// printed when a second search finds one completion of the other variables.
// Enumerating every completion would print the same line again and again.
#include "fast/fast_search.h"

#include <gecode/search.hh>

#include <algorithm>
#include <memory>

#include "engine/tovik.h"
#include "fast/fast_model.h"
#include "search/solution_printer.h"

using namespace Gecode;

namespace {

// Polled by a Gecode engine at every node: progress, then cancellation. The
// count adds `base`, the nodes of the other searches so far.
class EngineStop : public Search::Stop {
public:
    explicit EngineStop(CTovik& engine) : m_engine(engine) {}
    bool stop(const Search::Statistics& s, const Search::Options&) override {
        m_engine.OnProgress(static_cast<unsigned>(base + s.node));
        return m_engine.IsCancel();
    }
    unsigned long base = 0;

private:
    CTovik& m_engine;
};

// The model of the program, or null (with the reason) when it cannot be built
// exactly.
std::unique_ptr<fast::Model> BuildModel(const CProgram& program, std::string* why) {
    fast::Ranges ranges;
    if (!ranges.Check(program, why)) return nullptr;
    try {
        auto model = std::make_unique<fast::Model>(program);
        fast::Builder builder(*model, program, ranges);
        builder.PostDeclarations();
        builder.PostConditions();
        model->BranchOnPrinted();
        return model;
    } catch (const Exception& e) {
        *why = std::string("the model could not be posted (") + e.what() + ")";
        return nullptr;
    }
}

// Points each printed variable at the member of its domain that the solution
// gives it, as the default search's assignment would.
void Assign(const CProgram& program, const fast::Model& solution,
            const std::vector<int>& printedIndex) {
    const std::vector<CVariable*>& printed = program.output.keyVariables;
    for (size_t i = 0; i < printed.size(); ++i) {
        CVariable* v = printed[i];
        v->value = v->family->Member(solution.variables[printedIndex[i]].val());
    }
}

// Whether `space`, whose printed variables are fixed, has a completion; one
// is enough, as every completion prints the same line. The search takes the
// space over (no copy); the search's nodes and failures go to `stats`.
bool HasCompletion(std::unique_ptr<fast::Model> space, const Search::Options& options,
                   FastStats* stats) {
    space->BranchOnTheRest();
    DFS<fast::Model> completion(space.release(), options);
    const std::unique_ptr<fast::Model> found(completion.next());
    const Search::Statistics s = completion.statistics();
    stats->nodes += s.node;
    stats->failures += s.fail;
    return found != nullptr;
}

}  // namespace

bool FastSearch(CTovik& engine, CProgram& program, FastStats* stats) {
    std::unique_ptr<fast::Model> model = BuildModel(program, &stats->fallback);
    if (!model) return false;

    std::vector<int> printedIndex;
    for (const CVariable* v : program.output.keyVariables) {
        auto at = std::find(program.variableList.begin(), program.variableList.end(), v);
        printedIndex.push_back(static_cast<int>(at - program.variableList.begin()));
    }

    EngineStop stop(engine), completionStop(engine);
    Search::Options options;
    options.stop = &stop;
    options.threads = 1;
    Search::Options completionOptions = options;
    completionOptions.stop = &completionStop;
    completionOptions.clone = false;
    DFS<fast::Model> search(model.get(), options);
    model.reset();  // the engine searches its own copy
    FastStats completions;
    while (!engine.IsCancel()) {
        std::unique_ptr<fast::Model> solution(search.next());
        if (!solution) break;
        Assign(program, *solution, printedIndex);
        if (!solution->AllAssigned()) {
            completionStop.base = search.statistics().node + completions.nodes;
            const bool complete =
                HasCompletion(std::move(solution), completionOptions, &completions);
            stop.base = completions.nodes;
            if (!complete) continue;
        }
        PrintSolution(engine, program);
    }
    for (CVariable* v : program.output.keyVariables) v->value = nullptr;
    const Search::Statistics s = search.statistics();
    stats->nodes = s.node + completions.nodes;
    stats->failures = s.fail + completions.failures;
    return true;
}
