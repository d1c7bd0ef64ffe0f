// ValueSet: a set of 32-bit values. Most sets are kept as sorted, disjoint,
// non-adjacent closed intervals: the compile phase asks every expression for
// the set of values it can take, and intervals keep that cheap for wide
// domains and long sums. The values of an operation over two large sets (a
// product over [1, 10^5] x [1, 10^5]) are not listed at all: such a set is
// lazy, known through an object that answers the questions the compile phase
// asks (bounds, membership, meeting an interval) from the operands.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ValueSet {
public:
    struct Interval {
        int32_t lo;
        int32_t hi;  // inclusive
    };
    // Called with intervals whose union is the set; true stops the walk.
    using Visit = std::function<bool(Interval)>;

    // What a lazy set answers; never empty. Every answer is exact.
    class Lazy {
    public:
        Lazy() = default;
        Lazy(const Lazy&) = delete;
        Lazy& operator=(const Lazy&) = delete;
        virtual ~Lazy() = default;
        // The smallest (`highest`: the largest) element in [lo, hi], if any.
        virtual std::optional<int32_t> Extreme(int32_t lo, int32_t hi, bool highest) const = 0;
        // Whether some element lies in [lo, hi].
        virtual bool Meets(int32_t lo, int32_t hi) const = 0;
        // Visits intervals whose union is the set (they may overlap and come
        // in any order) until `visit` returns true; true then.
        virtual bool ForEach(const Visit& visit) const = 0;
        // At least the number of elements.
        virtual uint64_t SizeBound() const = 0;
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
    static ValueSet FromLazy(std::shared_ptr<const Lazy> lazy);

    bool IsLazy() const { return m_lazy != nullptr; }
    bool Empty() const { return m_lazy == nullptr && m_intervals.empty(); }
    // No element is non-zero (true for the empty set).
    bool AllFalse() const;
    // No element is zero (true for the empty set).
    bool AllTrue() const { return !Contains(0); }
    // Exactly one element.
    bool IsSingle() const;
    // The bounds of a set that is not empty.
    int32_t Min() const;
    int32_t Max() const;
    bool Contains(int32_t value) const { return Meets(value, value); }
    bool Meets(int32_t lo, int32_t hi) const;
    // The smallest (`highest`: the largest) element in [lo, hi], if any.
    std::optional<int32_t> Extreme(int32_t lo, int32_t hi, bool highest) const;
    bool Intersects(const ValueSet& other) const;
    // Visits intervals whose union is the set until `visit` returns true.
    bool ForEach(const Visit& visit) const;
    // At least the number of elements; exact for a listed set.
    uint64_t SizeBound() const;

    // These list the elements: a lazy set is listed first (as many steps as
    // its operands' cross product), so the compile phase never calls them on
    // one. Intervals() is for listed sets only.
    uint64_t Count() const;
    const std::vector<Interval>& Intervals() const { return m_intervals; }
    std::vector<int32_t> ToList() const;
    ValueSet Listed() const;

    bool operator==(const ValueSet& other) const;

private:
    std::vector<Interval> m_intervals;
    std::shared_ptr<const Lazy> m_lazy;
};
