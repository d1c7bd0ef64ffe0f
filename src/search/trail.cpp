// Alternative lists, the alternative pool, the residuals' counts of
// unassigned variables, and the undo of one search step.
#include "search/search_state.h"

namespace {
constexpr size_t kBlockSize = 1024;
}

CAlternative* SearchState::NewBlockAlternative() {
    if (blocks.empty() || blockUsed == kBlockSize) {
        blocks.push_back(std::make_unique<CAlternative[]>(kBlockSize));
        blockUsed = 0;
    }
    return &blocks.back()[blockUsed++];
}

CTrail::CTrail(SearchState& state)
    : m_state(state),
      m_assigned(state.assigned.size()),
      m_satisfied(state.satisfied.size()),
      m_removed(state.removed.size()),
      m_added(state.added.size()),
      m_watched(state.watched.size()),
      m_pool(state.pool.size()) {}

void CTrail::Undo() {
    SearchState& s = m_state;
    for (size_t i = m_assigned; i < s.assigned.size(); ++i) {
        s.assigned[i]->value = nullptr;
        s.CountUnassigned(s.assigned[i]);
    }
    s.assigned.resize(m_assigned);
    for (size_t i = m_satisfied; i < s.satisfied.size(); ++i) s.satisfied[i]->satisfied = false;
    s.satisfied.resize(m_satisfied);
    // In the order of removal, each at the front: the last removed ends up first.
    for (size_t i = m_removed; i < s.removed.size(); ++i) {
        CAlternative* a = s.removed[i];
        s.Link(*a->owner, a);
    }
    s.removed.resize(m_removed);
    for (size_t i = m_added; i < s.added.size(); ++i) {
        CAlternative* a = s.added[i];
        if (a->owner->InList(a)) s.Unlink(*a->owner, a);
        s.DeleteAlternative(a);
    }
    s.added.resize(m_added);
    // This step's watchers are the last entries of their lists.
    for (size_t i = m_watched; i < s.watched.size(); ++i)
        s.variables[s.watched[i]].watchers.pop_back();
    s.watched.resize(m_watched);
    s.pool.resize(m_pool);
}
