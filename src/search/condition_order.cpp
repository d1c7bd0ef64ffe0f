// The condition order: positions, exchanges, the bitsets of high-ranking and
// touched positions, and the watcher rows.
#include "search/condition_order.h"

#include <utility>

void ConditionOrder::Assign(std::vector<CCondition*> conditions) {
    m_conditions = std::move(conditions);
    m_words = (m_conditions.size() + 63) / 64;
    m_high.assign(m_words, 0);
    m_touched.assign(m_high.size(), 0);
    for (size_t i = 0; i < m_conditions.size(); ++i) {
        m_conditions[i]->position = static_cast<uint32_t>(i);
        Set(m_high.data(), i, High(m_conditions[i]));
    }
}

void ConditionOrder::MakeRows(size_t rows) {
    m_rows.assign(rows * Words(), 0);
    for (size_t i = 0; i < m_conditions.size(); ++i)
        if (m_conditions[i]->row != kNoIndex) SetBit(Row(m_conditions[i]->row), i);
}

void ConditionOrder::TouchRow(uint32_t row, size_t first, size_t last) {
    if (first >= last) return;
    const uint64_t* bits = Row(row);
    uint64_t* touched = m_touched.data();
    const size_t firstWord = first / 64, lastWord = (last - 1) / 64;
    const uint64_t low = ~uint64_t{0} << (first % 64);
    const uint64_t high = ~uint64_t{0} >> (63 - (last - 1) % 64);
    if (firstWord == lastWord) {
        touched[firstWord] |= bits[firstWord] & low & high;
        return;
    }
    touched[firstWord] |= bits[firstWord] & low;
    for (size_t w = firstWord + 1; w < lastWord; ++w) touched[w] |= bits[w];
    touched[lastWord] |= bits[lastWord] & high;
}
