// KeySet: the tuples of printed values that the solution printer has seen,
// all of one length, stored one after another in a single array and found
// through an open-addressing hash table of tuple numbers. Each tuple's hash is
// kept beside it, so growing the table hashes nothing again and a probe only
// compares tuples whose hashes agree. Remembering a new tuple costs no
// allocation of its own (only the arrays' amortised growth), and asking about
// one seen before costs none at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class KeySet {
public:
    // The tuple to ask about: fill it (it keeps its length between calls),
    // then call Insert.
    std::vector<int32_t>& Tuple() { return m_tuple; }
    // Adds the tuple; false when an equal one is in the set already.
    bool Insert();
    size_t Size() const { return m_count; }

private:
    uint64_t Hash(const int32_t* tuple) const;
    bool Equal(uint32_t number, const int32_t* tuple) const;
    void Grow();

    size_t m_width = 0;              // length of every tuple, set by the first
    std::vector<int32_t> m_tuple;    // the one being asked about
    std::vector<int32_t> m_tuples;   // every tuple in the set, in insertion order
    std::vector<uint32_t> m_hashes;  // each tuple's hash (its low half), by tuple number
    std::vector<uint32_t> m_slots;   // tuple number + 1, or 0 for a free slot
    size_t m_count = 0;
};
