// ValueSet: a set of 32-bit values kept as sorted, disjoint, non-adjacent
// closed intervals. The compile phase asks every expression for the set of
// values it can take; intervals keep that cheap for wide domains and long
// sums, where a plain list would hold millions of entries.
#pragma once

#include <cstdint>
#include <vector>

class ValueSet {
public:
    struct Interval {
        int32_t lo;
        int32_t hi;  // inclusive
    };

    ValueSet() = default;
    static ValueSet Single(int32_t value);
    // The truth values a logical node can take: [0], [1] or [0, 1].
    static ValueSet Truth(bool canBeFalse, bool canBeTrue);
    // From an ascending, duplicate-free list.
    static ValueSet FromSorted(const std::vector<int32_t>& values);
    // From any list: sorted and made duplicate-free first.
    static ValueSet FromValues(std::vector<int32_t> values);
    // From any intervals: sorted and merged first.
    static ValueSet FromIntervals(std::vector<Interval> intervals);

    bool Empty() const { return m_intervals.empty(); }
    // No element is non-zero (true for the empty set).
    bool AllFalse() const;
    // No element is zero (true for the empty set).
    bool AllTrue() const;
    uint64_t Count() const;
    int32_t Min() const { return m_intervals.front().lo; }
    int32_t Max() const { return m_intervals.back().hi; }
    bool Contains(int32_t value) const;
    bool Intersects(const ValueSet& other) const;
    const std::vector<Interval>& Intervals() const { return m_intervals; }
    // Every element, ascending.
    std::vector<int32_t> ToList() const;

    bool operator==(const ValueSet& other) const;

private:
    std::vector<Interval> m_intervals;
};
