// FastSearch: checks that the program can be modelled exactly, posts it, and
// runs Gecode's depth-first search, printing each solution through the
// program's solution printer.
#include "fast/fast_search.h"

#include <gecode/search.hh>

#include <memory>
#include <unordered_map>
#include <vector>

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
    } catch (const Exception& e) {
        *why = std::string("the model could not be posted (") + e.what() + ")";
        return nullptr;
    }
}

// Points each variable the printer reads at the member of its domain that the
// solution gives it, as the default search's assignment would.
void Assign(const std::vector<CVariable*>& read, const fast::Model& solution,
            const std::vector<int>& index) {
    for (size_t i = 0; i < read.size(); ++i)
        read[i]->value = read[i]->family->Member(solution.variables[index[i]].val());
}

}  // namespace

bool FastSearch(CTovik& engine, CProgram& program, FastStats* stats) {
    std::unique_ptr<fast::Model> model = BuildModel(program, &stats->fallback);
    if (!model) return false;

    // The printed variables, and every variable when the format lists them all.
    std::vector<CVariable*> read = program.output.keyVariables;
    for (const COutputColumn& column : program.output.columns) read.push_back(column.variable);
    std::unordered_map<const CVariable*, int> position;
    for (size_t i = 0; i < program.variableList.size(); ++i)
        position.emplace(program.variableList[i], static_cast<int>(i));
    std::vector<int> index;
    for (const CVariable* v : read) index.push_back(position.at(v));

    EngineStop stop(engine);
    Search::Options options;
    options.stop = &stop;
    options.threads = 1;
    DFS<fast::Model> search(model.get(), options);
    model.reset();  // the engine searches its own copy
    while (!engine.IsCancel()) {
        std::unique_ptr<fast::Model> solution(search.next());
        if (!solution) break;
        Assign(read, *solution, index);
        PrintSolution(engine, program);
    }
    for (CVariable* v : read) v->value = nullptr;
    const Search::Statistics s = search.statistics();
    stats->nodes = s.node;
    stats->failures = s.fail;
    return true;
}
