// The printed tuples' hash set.
#include "model/key_set.h"

#include <algorithm>

// Two values per round: the multiply is what costs, and printed tuples are
// often long (every field of a grid).
uint64_t KeySet::Hash(const int32_t* tuple) const {
    uint64_t h = 0x9e3779b97f4a7c15u;
    size_t i = 0;
    for (; i + 1 < m_width; i += 2) {
        h ^= static_cast<uint32_t>(tuple[i]) | uint64_t{static_cast<uint32_t>(tuple[i + 1])} << 32;
        h *= 0xff51afd7ed558ccdu;
        h ^= h >> 32;
    }
    if (i < m_width) {
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
    const auto hash = static_cast<uint32_t>(Hash(m_tuple.data()));
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const uint32_t slot = m_slots[i];
        if (slot == 0) {
            m_tuples.insert(m_tuples.end(), m_tuple.begin(), m_tuple.end());
            m_hashes.push_back(hash);
            m_slots[i] = static_cast<uint32_t>(++m_count);
            return true;
        }
        if (m_hashes[slot - 1] == hash && Equal(slot - 1, m_tuple.data())) return false;
    }
}

// Twice the slots, the tuples placed anew by their kept hashes.
void KeySet::Grow() {
    m_slots.assign(std::max<size_t>(16, m_slots.size() * 2), 0);
    const size_t mask = m_slots.size() - 1;
    for (uint32_t n = 0; n < m_count; ++n) {
        size_t i = m_hashes[n] & mask;
        while (m_slots[i] != 0) i = (i + 1) & mask;
        m_slots[i] = n + 1;
    }
}
