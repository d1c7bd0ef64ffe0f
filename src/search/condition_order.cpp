// The condition order: positions, exchanges and the bitsets of high-ranking
// and touched positions.
#include "search/condition_order.h"

#include <utility>

void ConditionOrder::Assign(std::vector<CCondition*> conditions) {
    m_conditions = std::move(conditions);
    m_high.assign((m_conditions.size() + 63) / 64, 0);
    m_touched.assign(m_high.size(), 0);
    for (size_t i = 0; i < m_conditions.size(); ++i) {
        m_conditions[i]->position = static_cast<uint32_t>(i);
        Set(m_high.data(), i, High(m_conditions[i]));
    }
}

// Whole words at a time: failures are frequent, and the marks spread.
void ConditionOrder::ClearRange(uint64_t* bits, size_t from, size_t to) {
    if (from >= to) return;
    const size_t firstWord = from / 64, lastWord = (to - 1) / 64;
    const uint64_t low = ~uint64_t{0} << (from % 64);
    const uint64_t high = ~uint64_t{0} >> (63 - (to - 1) % 64);
    if (firstWord == lastWord) {
        bits[firstWord] &= ~(low & high);
        return;
    }
    bits[firstWord] &= ~low;
    for (size_t w = firstWord + 1; w < lastWord; ++w) bits[w] = 0;
    bits[lastWord] &= ~high;
}
