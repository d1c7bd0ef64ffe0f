// ConditionOrder: the array of conditions that every level of the search
// works on a sub-range of and permutes in place (permutations are never
// undone), with each condition's position in it and a bitset of the
// positions whose condition ranks high (consists of candidates only). The
// search settles only the conditions a step can change, marked in a second
// bitset that moves with the swaps; the first finds the first high-ranking
// condition among those it passes over without visiting them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "search/search_records.h"

class ConditionOrder {
public:
    // Takes the conditions in their initial order.
    void Assign(std::vector<CCondition*> conditions);

    size_t Size() const { return m_conditions.size(); }
    CCondition* At(size_t i) const { return m_conditions[i]; }
    void Swap(size_t i, size_t j) {
        if (i == j) return;
        CCondition* a = m_conditions[i];
        CCondition* b = m_conditions[j];
        m_conditions[i] = b;
        m_conditions[j] = a;
        a->position = static_cast<uint32_t>(j);
        b->position = static_cast<uint32_t>(i);
        SwapBits(m_high, i, j);
        SwapBits(m_touched, i, j);
    }
    // To be called whenever the rank of a condition may have changed.
    void Update(const CCondition* k) {
        if (k->position < m_conditions.size()) Set(m_high, k->position, High(k));
    }
    // The first position in [from, to) whose condition ranks high, or `to`.
    size_t FirstHigh(size_t from, size_t to) const { return First(m_high, from, to); }

    // Marks of the positions a settling has to check.
    void Touch(size_t i) { Set(m_touched, i, true); }
    bool Touched(size_t i) const { return Get(m_touched, i); }
    void Untouch(size_t i) { Set(m_touched, i, false); }
    size_t FirstTouched(size_t from, size_t to) const { return First(m_touched, from, to); }
    void UntouchAll(size_t from, size_t to);

private:
    static bool Get(const std::vector<uint64_t>& bits, size_t i) {
        return (bits[i / 64] >> (i % 64)) & 1;
    }
    static void Set(std::vector<uint64_t>& bits, size_t i, bool on) {
        const uint64_t bit = uint64_t{1} << (i % 64);
        bits[i / 64] = on ? bits[i / 64] | bit : bits[i / 64] & ~bit;
    }
    static void SwapBits(std::vector<uint64_t>& bits, size_t i, size_t j) {
        if (Get(bits, i) == Get(bits, j)) return;
        bits[i / 64] ^= uint64_t{1} << (i % 64);
        bits[j / 64] ^= uint64_t{1} << (j % 64);
    }
    static size_t First(const std::vector<uint64_t>& bits, size_t from, size_t to);

    std::vector<CCondition*> m_conditions;
    std::vector<uint64_t> m_high;
    std::vector<uint64_t> m_touched;
};
