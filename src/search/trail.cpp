// Alternative lists, the alternative pool, the residuals' counts of
// unassigned variables, and the undo of one search step.
#include "search/search_state.h"

#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace {
constexpr size_t kBlockSize = 1024;
}

// A block is raw memory, and each record is made when it is first handed
// out: a small puzzle then touches only the pages it uses (constructing a
// whole block up front wrote 56 KB, a page fault per 4 KB). The records own
// nothing, so the blocks are freed without destroying them.
CAlternative* SearchState::NewBlockAlternative() {
    static_assert(std::is_trivially_destructible_v<CAlternative>);
    if (blocks.empty() || blockUsed == kBlockSize) {
        std::unique_ptr<std::byte[]> block(new std::byte[kBlockSize * sizeof(CAlternative)]);
        blocks.push_back(std::move(block));
        blockUsed = 0;
    }
    return new (blocks.back().get() + blockUsed++ * sizeof(CAlternative)) CAlternative;
}

void CTrail::Undo() {
    SearchState& s = m_state;
    for (size_t i = m_assigned; i < s.assigned.size(); ++i) {
        s.assigned[i]->value = nullptr;
        s.CountUnassigned(s.assigned[i]);
    }
    s.assigned.resize(m_assigned);
    for (size_t i = m_satisfied; i < s.satisfied.size(); ++i) s.satisfied[i]->satisfied = false;
    s.satisfied.resize(m_satisfied);
    // In the order of removal, each at the front: the last removed ends up
    // first. The runs the step made go; where they stand in a list does not
    // matter to the order of the others. A run is on a variable its step
    // left unassigned, so that step's settling does not remove it; should
    // one be in `removed` all the same, it is passed over there: gone (no
    // owner), or a residual alternative again.
    // Nothing below adds transformations: the end stays put.
    const Transformation* const end = s.transformed.data() + s.transformed.size();
    for (const Transformation* it = s.transformed.data() + m_transformed; it != end; ++it) {
        const Transformation& t = *it;
        CAlternative* a = t.removed;
        CCondition& k = *a->owner;
        if (t.run == a) {
            // The alternative was the run: back to residual, and to the front.
            // Its run fields stay: a residual alternative reads none of them.
            s.Unwatch(k, t.watched);
            if (k.alternatives == a) {
                a->residual = t.residual;
                s.Relinked(k, a);
                continue;
            }
            if (k.InList(a)) s.Unlink(k, a);
            a->residual = t.residual;
            s.Link(k, a);
            continue;
        }
        s.Link(k, a);
        if (CAlternative* run = t.run; run != nullptr) {
            s.Unwatch(k, t.watched);
            if (run->owner->InList(run)) s.Unlink(*run->owner, run);
            run->owner = nullptr;
            s.DeleteAlternative(run);
        }
    }
    s.transformed.resize(m_transformed);
    for (size_t i = m_removed; i < s.removed.size(); ++i) {
        CAlternative* a = s.removed[i];
        if (a->owner != nullptr && !a->IsResidual()) s.Link(*a->owner, a);
    }
    s.removed.resize(m_removed);
    s.pool.resize(m_pool);
}
