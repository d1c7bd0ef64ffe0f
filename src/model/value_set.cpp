// Value sets: listed sets as intervals, and the questions every set answers,
// listed or lazy.
#include "model/value_set.h"

#include <algorithm>
#include <climits>

ValueSet ValueSet::Single(int32_t value) {
    ValueSet s;
    s.m_intervals.push_back({value, value});
    return s;
}

ValueSet ValueSet::Truth(bool canBeFalse, bool canBeTrue) {
    ValueSet s;
    if (canBeFalse && canBeTrue)
        s.m_intervals.push_back({0, 1});
    else if (canBeFalse)
        s.m_intervals.push_back({0, 0});
    else if (canBeTrue)
        s.m_intervals.push_back({1, 1});
    return s;
}

ValueSet ValueSet::FromSorted(const std::vector<int32_t>& values) {
    ValueSet s;
    for (int32_t v : values) {
        if (!s.m_intervals.empty() && static_cast<int64_t>(s.m_intervals.back().hi) + 1 == v)
            s.m_intervals.back().hi = v;
        else
            s.m_intervals.push_back({v, v});
    }
    return s;
}

ValueSet ValueSet::FromValues(std::vector<int32_t> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return FromSorted(values);
}

ValueSet ValueSet::FromIntervals(std::vector<Interval> intervals) {
    std::sort(intervals.begin(), intervals.end(),
              [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
    ValueSet s;
    for (const Interval& i : intervals) {
        if (!s.m_intervals.empty() && static_cast<int64_t>(s.m_intervals.back().hi) + 1 >= i.lo)
            s.m_intervals.back().hi = std::max(s.m_intervals.back().hi, i.hi);
        else
            s.m_intervals.push_back(i);
    }
    return s;
}

ValueSet ValueSet::FromLazy(std::shared_ptr<const Lazy> lazy) {
    ValueSet s;
    s.m_lazy = std::move(lazy);
    return s;
}

bool ValueSet::AllFalse() const {
    if (m_lazy) return !m_lazy->Meets(INT32_MIN, -1) && !m_lazy->Meets(1, INT32_MAX);
    return m_intervals.empty() ||
           (m_intervals.size() == 1 && m_intervals[0].lo == 0 && m_intervals[0].hi == 0);
}

// A lazy set is single when no element differs from the first one it shows.
bool ValueSet::IsSingle() const {
    if (!m_lazy) return m_intervals.size() == 1 && m_intervals[0].lo == m_intervals[0].hi;
    int64_t some = 0;
    m_lazy->ForEach([&some](Interval i) {
        some = i.lo;
        return true;
    });
    return (some == INT32_MIN || !m_lazy->Meets(INT32_MIN, static_cast<int32_t>(some - 1))) &&
           (some == INT32_MAX || !m_lazy->Meets(static_cast<int32_t>(some + 1), INT32_MAX));
}

int32_t ValueSet::Min() const {
    return m_lazy ? *m_lazy->Extreme(INT32_MIN, INT32_MAX, false) : m_intervals.front().lo;
}

int32_t ValueSet::Max() const {
    return m_lazy ? *m_lazy->Extreme(INT32_MIN, INT32_MAX, true) : m_intervals.back().hi;
}

bool ValueSet::Meets(int32_t lo, int32_t hi) const {
    if (lo > hi) return false;
    if (m_lazy) return m_lazy->Meets(lo, hi);
    return Extreme(lo, hi, false).has_value();
}

std::optional<int32_t> ValueSet::Extreme(int32_t lo, int32_t hi, bool highest) const {
    if (lo > hi) return std::nullopt;
    if (m_lazy) return m_lazy->Extreme(lo, hi, highest);
    if (!highest) {
        // The first interval that ends at lo or later.
        auto it = std::lower_bound(m_intervals.begin(), m_intervals.end(), lo,
                                   [](const Interval& i, int32_t v) { return i.hi < v; });
        if (it == m_intervals.end() || it->lo > hi) return std::nullopt;
        return std::max(lo, it->lo);
    }
    // The last interval that starts at hi or earlier.
    auto it = std::upper_bound(m_intervals.begin(), m_intervals.end(), hi,
                               [](int32_t v, const Interval& i) { return v < i.lo; });
    if (it == m_intervals.begin() || std::prev(it)->hi < lo) return std::nullopt;
    return std::min(hi, std::prev(it)->hi);
}

// A listed set meets a lazy one when one of its intervals does; two lazy sets
// meet when an interval of the smaller one meets the other.
bool ValueSet::Intersects(const ValueSet& other) const {
    if (m_lazy || other.m_lazy) {
        const bool walkThis = !m_lazy || (other.m_lazy && SizeBound() <= other.SizeBound());
        const ValueSet& walked = walkThis ? *this : other;
        const ValueSet& asked = walkThis ? other : *this;
        return walked.ForEach([&asked](Interval i) { return asked.Meets(i.lo, i.hi); });
    }
    auto a = m_intervals.begin();
    auto b = other.m_intervals.begin();
    while (a != m_intervals.end() && b != other.m_intervals.end()) {
        if (a->hi < b->lo)
            ++a;
        else if (b->hi < a->lo)
            ++b;
        else
            return true;
    }
    return false;
}

bool ValueSet::ForEach(const Visit& visit) const {
    if (m_lazy) return m_lazy->ForEach(visit);
    for (const Interval& i : m_intervals)
        if (visit(i)) return true;
    return false;
}

uint64_t ValueSet::SizeBound() const { return m_lazy ? m_lazy->SizeBound() : Count(); }

uint64_t ValueSet::Count() const {
    if (m_lazy) return Listed().Count();
    uint64_t count = 0;
    for (const Interval& i : m_intervals)
        count += static_cast<uint64_t>(static_cast<int64_t>(i.hi) - i.lo + 1);
    return count;
}

ValueSet ValueSet::Listed() const {
    if (!m_lazy) return *this;
    std::vector<Interval> intervals;
    m_lazy->ForEach([&intervals](Interval i) {
        intervals.push_back(i);
        return false;
    });
    return FromIntervals(std::move(intervals));
}

std::vector<int32_t> ValueSet::ToList() const {
    if (m_lazy) return Listed().ToList();
    std::vector<int32_t> values;
    values.reserve(Count());
    for (const Interval& i : m_intervals)
        for (int64_t v = i.lo; v <= i.hi; ++v) values.push_back(static_cast<int32_t>(v));
    return values;
}

bool ValueSet::operator==(const ValueSet& other) const {
    if (m_lazy || other.m_lazy) return Listed() == other.Listed();
    if (m_intervals.size() != other.m_intervals.size()) return false;
    for (size_t i = 0; i < m_intervals.size(); ++i)
        if (m_intervals[i].lo != other.m_intervals[i].lo ||
            m_intervals[i].hi != other.m_intervals[i].hi)
            return false;
    return true;
}
