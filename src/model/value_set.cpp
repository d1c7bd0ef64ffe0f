// Interval sets of 32-bit values.
#include "model/value_set.h"

#include <algorithm>

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

bool ValueSet::AllFalse() const {
    return m_intervals.empty() ||
           (m_intervals.size() == 1 && m_intervals[0].lo == 0 && m_intervals[0].hi == 0);
}

bool ValueSet::AllTrue() const { return !Contains(0); }

uint64_t ValueSet::Count() const {
    uint64_t count = 0;
    for (const Interval& i : m_intervals)
        count += static_cast<uint64_t>(static_cast<int64_t>(i.hi) - i.lo + 1);
    return count;
}

bool ValueSet::Contains(int32_t value) const {
    auto it = std::upper_bound(m_intervals.begin(), m_intervals.end(), value,
                               [](int32_t v, const Interval& i) { return v < i.lo; });
    return it != m_intervals.begin() && std::prev(it)->hi >= value;
}

bool ValueSet::Intersects(const ValueSet& other) const {
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

std::vector<int32_t> ValueSet::ToList() const {
    std::vector<int32_t> values;
    values.reserve(Count());
    for (const Interval& i : m_intervals)
        for (int64_t v = i.lo; v <= i.hi; ++v) values.push_back(static_cast<int32_t>(v));
    return values;
}

bool ValueSet::operator==(const ValueSet& other) const {
    if (m_intervals.size() != other.m_intervals.size()) return false;
    for (size_t i = 0; i < m_intervals.size(); ++i)
        if (m_intervals[i].lo != other.m_intervals[i].lo ||
            m_intervals[i].hi != other.m_intervals[i].hi)
            return false;
    return true;
}
