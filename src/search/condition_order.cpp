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
    const uint64_t* bits = Row(row);
    uint64_t* touched = m_touched.data();
    ForWords(first, last, [=](size_t w, uint64_t mask) { touched[w] |= bits[w] & mask; });
}
