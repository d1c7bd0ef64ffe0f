// FastSearch: checks that the program can be modelled exactly, posts it, and
// runs Gecode's depth-first search, printing each solution through the
// program's solution printer.
#include "fast/fast_search.h"

#include <gecode/search.hh>

#include <algorithm>
#include <memory>
#include <new>

#include "engine/tovik.h"
#include "fast/fast_model.h"
#include "search/solution_printer.h"

using namespace Gecode;

namespace {

// Polled by the Gecode engine at every node: progress, then cancellation.
class EngineStop : public Search::Stop {
public:
    explicit EngineStop(CTovik& engine) : m_engine(engine) {}
    bool stop(const Search::Statistics& s, const Search::Options&) override {
        m_engine.OnProgress(static_cast<unsigned>(s.node));
        return m_engine.IsCancel();
    }

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
        builder.PostBranching();
        return model;
    } catch (const MemoryExhausted&) {
        throw std::bad_alloc();
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

bool SearchModel(CTovik& engine, CProgram& program, FastStats* stats) {
    std::unique_ptr<fast::Model> model = BuildModel(program, &stats->fallback);
    if (!model) return false;

    std::vector<int> printedIndex;
    for (const CVariable* v : program.output.keyVariables) {
        auto at = std::find(program.variableList.begin(), program.variableList.end(), v);
        printedIndex.push_back(static_cast<int>(at - program.variableList.begin()));
    }

    EngineStop stop(engine);
    Search::Options options;
    options.stop = &stop;
    options.threads = 1;
    DFS<fast::Model> search(model.get(), options);
    model.reset();  // the engine searches its own copy
    while (!engine.IsCancel()) {
        std::unique_ptr<fast::Model> solution(search.next());
        if (!solution) break;
        Assign(program, *solution, printedIndex);
        PrintSolution(engine, program);
    }
    for (CVariable* v : program.output.keyVariables) v->value = nullptr;
    const Search::Statistics s = search.statistics();
    stats->nodes = s.node;
    stats->failures = s.fail;
    return true;
}

}  // namespace

// Gecode's heap reports running out of memory with its own exception; the
// host knows std::bad_alloc.
bool FastSearch(CTovik& engine, CProgram& program, FastStats* stats) {
    try {
        return SearchModel(engine, program, stats);
    } catch (const MemoryExhausted&) {
        throw std::bad_alloc();
    }
}
