// Alternative lists, the alternative pool, and the undo of one search step.
#include "search/search_state.h"

namespace {
constexpr size_t kBlockSize = 1024;
}

void CCondition::LinkFront(CAlternative* a) {
    a->owner = this;
    a->previous = nullptr;
    a->next = alternatives;
    if (alternatives != nullptr) alternatives->previous = a;
    alternatives = a;
    if (a->IsResidual()) ++residuals;
}

void CCondition::Unlink(CAlternative* a) {
    if (a->previous != nullptr)
        a->previous->next = a->next;
    else
        alternatives = a->next;
    if (a->next != nullptr) a->next->previous = a->previous;
    a->previous = a->next = nullptr;
    if (a->IsResidual()) --residuals;
}

CAlternative* SearchState::NewAlternative() {
    if (!freeList.empty()) {
        CAlternative* a = freeList.back();
        freeList.pop_back();
        *a = CAlternative{};
        return a;
    }
    if (blocks.empty() || blockUsed == kBlockSize) {
        blocks.push_back(std::make_unique<CAlternative[]>(kBlockSize));
        blockUsed = 0;
    }
    return &blocks.back()[blockUsed++];
}

void SearchState::DeleteAlternative(CAlternative* a) { freeList.push_back(a); }

CTrail::CTrail(SearchState& state)
    : m_state(state),
      m_assigned(state.assigned.size()),
      m_satisfied(state.satisfied.size()),
      m_removed(state.removed.size()),
      m_added(state.added.size()) {}

void CTrail::Undo() {
    SearchState& s = m_state;
    for (size_t i = m_assigned; i < s.assigned.size(); ++i) s.assigned[i]->value = nullptr;
    s.assigned.resize(m_assigned);
    for (size_t i = m_satisfied; i < s.satisfied.size(); ++i) s.satisfied[i]->satisfied = false;
    s.satisfied.resize(m_satisfied);
    // In the order of removal, each at the front: the last removed ends up first.
    for (size_t i = m_removed; i < s.removed.size(); ++i) {
        CAlternative* a = s.removed[i];
        a->owner->LinkFront(a);
    }
    s.removed.resize(m_removed);
    for (size_t i = m_added; i < s.added.size(); ++i) {
        CAlternative* a = s.added[i];
        if (a->owner->InList(a)) a->owner->Unlink(a);
        s.DeleteAlternative(a);
    }
    s.added.resize(m_added);
}
