// The condition order: positions, swaps and the bitset of high-ranking positions.
#include "search/condition_order.h"

#include <utility>

void ConditionOrder::Assign(std::vector<CCondition*> conditions) {
    m_conditions = std::move(conditions);
    m_high.assign((m_conditions.size() + 63) / 64, 0);
    for (size_t i = 0; i < m_conditions.size(); ++i) {
        m_conditions[i]->position = static_cast<uint32_t>(i);
        SetBit(i, High(m_conditions[i]));
    }
}

void ConditionOrder::SetBit(size_t i, bool high) {
    const uint64_t bit = uint64_t{1} << (i % 64);
    if (high)
        m_high[i / 64] |= bit;
    else
        m_high[i / 64] &= ~bit;
}

void ConditionOrder::Swap(size_t i, size_t j) {
    CCondition* a = m_conditions[i];
    CCondition* b = m_conditions[j];
    m_conditions[i] = b;
    m_conditions[j] = a;
    a->position = static_cast<uint32_t>(j);
    b->position = static_cast<uint32_t>(i);
    const bool ai = Bit(i), bj = Bit(j);
    SetBit(i, bj);
    SetBit(j, ai);
}

void ConditionOrder::Update(const CCondition* k) {
    if (k->position < m_conditions.size()) SetBit(k->position, High(k));
}

size_t ConditionOrder::FirstHigh(size_t from, size_t to) const {
    if (from >= to) return to;
    size_t word = from / 64;
    uint64_t bits = m_high[word] & (~uint64_t{0} << (from % 64));
    const size_t lastWord = (to - 1) / 64;
    while (bits == 0) {
        if (word == lastWord) return to;
        bits = m_high[++word];
    }
    const size_t found = word * 64 + static_cast<size_t>(__builtin_ctzll(bits));
    return found < to ? found : to;
}
