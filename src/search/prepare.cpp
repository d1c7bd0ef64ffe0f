// Preparation of the search: every compiled condition becomes a CCondition of
// candidate assignments and residual expressions, flattened and registered
// with the variables they mention; the nodes made while parsing are released
// once every condition is built.
#include <algorithm>

#include "expr/expression.h"
#include "search/search_state.h"

SearchState::SearchState(CProgram& program)
    : program(program), variables(program.variableList.size()), collector(program.variableList) {}

// Decided: no unassigned variable. Candidates: exactly one, and some member of
// its domain makes the expression hold (tried first to last, without
// propagation). Open: two or more; `unbound` then holds them.
Classification SearchState::Classify(CExpression* expression, std::vector<Candidate>& found) {
    collector.Collect(expression, unbound);
    if (unbound.empty()) return Classification::Decided;
    if (unbound.size() > 1) return Classification::Open;
    CVariable* v = unbound[0];
    bool any = false;
    for (const int32_t& member : v->family->domain) {
        v->value = &member;
        if (expression->Evaluate() != 0) {
            found.push_back(Candidate{v, member});
            any = true;
        }
    }
    v->value = nullptr;
    return any ? Classification::Candidates : Classification::NoValueHolds;
}

// The list holds, front to back: the candidates of the last alternative
// expression first (each expression's in domain order), then the residual
// alternatives in the order of their expressions. Each residual is
// registered with the variables it mentions, each candidate's condition
// watches its variable.
void SearchState::BuildCondition(CCondition& condition,
                                 const std::vector<CExpression*>& alternatives) {
    candidates.clear();
    runs.clear();
    for (size_t i = alternatives.size(); i-- > 0;) {
        CExpression* expression = alternatives[i];
        runs.push_back(candidates.size());
        if (Classify(expression, candidates) != Classification::Open) continue;
        CAlternative* a = NewAlternative();
        *a = CAlternative{};
        a->residual = static_cast<uint32_t>(residuals.size());
        expressions.emplace_back(*expression, unbound);
        residuals.emplace_back(expressions.back(), a);
        pairs.push_back(MakePairRoot(expressions.back()));
        stack.resize(std::max(stack.size(), expressions.back().StackDepth()));
        for (CVariable* v : unbound) {
            variables[v->index].registered.push_back(a->residual);
            if (!residuals.back().IsPair()) variables[v->index].counted.push_back(a->residual);
        }
        Link(condition, a);
    }
    // Each expression's candidates are one run; from the last run to the
    // first, each at the front.
    runs.push_back(candidates.size());
    for (size_t r = runs.size() - 1; r-- > 0;) {
        if (runs[r] == runs[r + 1]) continue;
        CVariable* v = candidates[runs[r]].variable;
        const size_t from = pool.size();
        for (size_t i = runs[r]; i < runs[r + 1]; ++i) pool.push_back(candidates[i].value);
        LinkCandidates(condition, v, from);
        std::vector<CCondition*>& watchers = variables[v->index].watchers;
        if (watchers.empty() || watchers.back() != &condition) watchers.push_back(&condition);
    }
}

PairRoot SearchState::MakePairRoot(const FlatExpression& expression) const {
    PairRoot pair;
    const std::vector<CVariable*>& variables = expression.Variables();
    if (variables.size() != 2) return pair;
    Operator op = Operator::Add;
    for (int i = 0; i < 2; ++i) {
        PairRoot::Side& side = pair.sides[i];
        side.variable = variables[i];
        const Operator rooted =
            expression.AffineRoot(side.variable, &side.constant, &side.factor, &side.other);
        if (rooted == Operator::Add || side.variable->family->domain.size() < 2)
            side.other = nullptr;
        else
            op = rooted;
    }
    pair.op = op;
    pair.first = variables[0]->index;
    return pair;
}

// An alternative that mentions no variable and holds makes its condition
// restrict nothing.
bool SearchState::HasAlwaysHoldingAlternative(const std::vector<CExpression*>& alternatives) {
    for (const CExpression* e : alternatives)
        if (collector.Count(e) == 0 && e->Evaluate() != 0) return true;
    return false;
}

// The parsed nodes are released once every condition is built: the search
// keeps only the flat expressions.
void SearchState::PrepareConditions() {
    NodeArena parsed = program.nodes.TakeAll();
    conditions.assign(program.conditions.size(), CCondition{});
    for (size_t i = conditions.size(); i-- > 0;) {
        if (HasAlwaysHoldingAlternative(program.conditions[i])) {
            conditions[i].satisfied = true;  // dropped: left out of the search
            continue;
        }
        BuildCondition(conditions[i], program.conditions[i]);
    }
    program.conditions.clear();
    parsed.Clear();
    MarkVariables();
}

// A condition's list keeps at most as many entries as it starts with: one
// residual alone stays alone, as itself, as the run it turns into, or gone.
void SearchState::MarkVariables() {
    auto plainPair = [this](uint32_t r) {
        const PairRoot& pair = pairs[r];
        const CAlternative* a = residuals[r].alternative;
        return pair.op == Operator::NotEqual && pair.sides[0].other != nullptr &&
               pair.sides[1].other != nullptr && a->owner->alternatives == a && a->next == nullptr;
    };
    for (size_t i = 0; i < variables.size(); ++i) {
        VariableState& v = variables[i];
        v.plain =
            v.counted.empty() && std::all_of(v.registered.begin(), v.registered.end(), plainPair);
        const CVariable* variable = program.variableList[i];
        v.alone = variable->family->partner == nullptr && variable->subscript == nullptr &&
                  variable->dependents.empty() && variable->family->indirect.empty();
    }
}

// A condition's position is kept in one row at most. The conditions that
// watch a plain variable during the search are those with candidates on it
// from the start and its pairs turned into runs on it, each the only
// alternative of its condition. So a condition watches one variable with a
// row at most when no variable that shares a condition's first candidates
// with another has one.
void SearchState::MakeRows() {
    constexpr size_t kMaxRowWords = size_t{1} << 21;  // 16 MiB of rows at most
    const size_t words = order.Words();
    if (words == 0) return;
    std::vector<bool> shared(variables.size());
    for (const CCondition& k : conditions) {
        const CAlternative* first = nullptr;
        for (const CAlternative* a = k.alternatives; a != nullptr; a = a->next) {
            if (a->IsResidual()) continue;
            if (first == nullptr) first = a;
            if (a->variable != first->variable) {
                shared[a->variable->index] = true;
                shared[first->variable->index] = true;
            }
        }
    }
    uint32_t rows = 0;
    for (size_t i = 0; i < variables.size() && (rows + size_t{1}) * words <= kMaxRowWords; ++i)
        if (variables[i].plain && !shared[i] &&
            !(variables[i].registered.empty() && variables[i].watchers.empty()))
            variables[i].row = rows++;
    for (CCondition& k : conditions) {
        const CAlternative* a = k.alternatives;
        while (a != nullptr && a->IsResidual()) a = a->next;
        if (a != nullptr) k.row = variables[a->variable->index].row;
    }
    order.MakeRows(rows);
}
