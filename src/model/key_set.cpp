// The printed tuples' hash set.
#include "model/key_set.h"

#include <algorithm>

uint64_t KeySet::Hash(const int32_t* tuple) const {
    uint64_t h = 0x9e3779b97f4a7c15u;
    for (size_t i = 0; i < m_width; ++i) {
        h ^= static_cast<uint32_t>(tuple[i]);
        h *= 0xff51afd7ed558ccdu;
        h ^= h >> 32;
    }
    return h;
}

bool KeySet::Equal(uint32_t number, const int32_t* tuple) const {
    return std::equal(tuple, tuple + m_width, m_tuples.begin() + number * m_width);
}

bool KeySet::Insert() {
    if (m_count == 0) m_width = m_tuple.size();
    if ((m_count + 1) * 2 > m_slots.size()) Grow();
    const size_t mask = m_slots.size() - 1;
    for (size_t i = Hash(m_tuple.data()) & mask;; i = (i + 1) & mask) {
        if (m_slots[i] == 0) {
            m_tuples.insert(m_tuples.end(), m_tuple.begin(), m_tuple.end());
            m_slots[i] = static_cast<uint32_t>(++m_count);
            return true;
        }
        if (Equal(m_slots[i] - 1, m_tuple.data())) return false;
    }
}

// Twice the slots, the tuples placed anew.
void KeySet::Grow() {
    m_slots.assign(std::max<size_t>(16, m_slots.size() * 2), 0);
    const size_t mask = m_slots.size() - 1;
    for (uint32_t n = 0; n < m_count; ++n) {
        size_t i = Hash(m_tuples.data() + n * m_width) & mask;
        while (m_slots[i] != 0) i = (i + 1) & mask;
        m_slots[i] = n + 1;
    }
}
