// FastSearch: checks that the program can be modelled exactly, posts it, and
// runs Gecode's depth-first search in two phases, printing each solution
// through the program's solution printer. The first phase branches on the
// printed variables only; each of its solutions fixes one line, which is
// printed when a second search finds one completion of the other variables.
// Enumerating every completion would print the same line again and again.
#include "fast/fast_search.h"

#include <gecode/search.hh>

#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

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
    } catch (const MemoryExhausted&) {
        throw std::bad_alloc();
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

// The first completion of `space`, whose printed variables are fixed, or
// null when it has none; one is enough, as every completion prints the same
// line (a format that lists every variable shows this one's values). The
// search takes the space over (no copy); its nodes and failures go to `stats`.
std::unique_ptr<fast::Model> Completion(std::unique_ptr<fast::Model> space,
                                        const Search::Options& options, FastStats* stats) {
    space->BranchOnTheRest();
    DFS<fast::Model> completion(space.release(), options);
    std::unique_ptr<fast::Model> found(completion.next());
    const Search::Statistics s = completion.statistics();
    stats->nodes += s.node;
    stats->failures += s.fail;
    return found;
}

bool SearchModel(CTovik& engine, CProgram& program, FastStats* stats) {
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
        if (!solution->AllAssigned()) {
            completionStop.base = search.statistics().node + completions.nodes;
            solution = Completion(std::move(solution), completionOptions, &completions);
            stop.base = completions.nodes;
            if (!solution) continue;
        }
        Assign(read, *solution, index);
        PrintSolution(engine, program);
    }
    for (CVariable* v : read) v->value = nullptr;
    const Search::Statistics s = search.statistics();
    stats->nodes = s.node + completions.nodes;
    stats->failures = s.fail + completions.failures;
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

CTovik::SearchHook FastSearchHook() {
    return [](CTovik& host, CProgram& program) {
        FastStats stats;
        return FastSearch(host, program, &stats);
    };
}
