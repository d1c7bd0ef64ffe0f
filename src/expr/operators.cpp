// The eleven operator functions of two-operand nodes, and their selection by
// operator text. Arithmetic wraps modulo 2^32; nothing traps.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "expr/expression.h"

namespace {

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

int32_t Sum(int32_t a, int32_t b) { return Wrap(static_cast<int64_t>(a) + b); }
int32_t Difference(int32_t a, int32_t b) { return Wrap(static_cast<int64_t>(a) - b); }
int32_t Product(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// Division and remainder by zero give 0; INT_MIN / -1 wraps to INT_MIN.
int32_t Quotient(int32_t a, int32_t b) {
    if (b == 0) return 0;
    if (b == -1) return Wrap(-static_cast<int64_t>(a));
    return a / b;
}
int32_t Remainder(int32_t a, int32_t b) {
    if (b == 0 || b == -1) return 0;
    return a % b;
}
int32_t Equal(int32_t a, int32_t b) { return a == b; }
int32_t NotEqual(int32_t a, int32_t b) { return a != b; }
int32_t Less(int32_t a, int32_t b) { return a < b; }
int32_t LessEqual(int32_t a, int32_t b) { return a <= b; }
int32_t Greater(int32_t a, int32_t b) { return a > b; }
int32_t GreaterEqual(int32_t a, int32_t b) { return a >= b; }

}  // namespace

// Only the first character decides, and for '<' and '>' whether a second follows.
OperatorFunction SelectOperator(const char* text) {
    if (text == nullptr) return nullptr;
    switch (text[0]) {
        case '+':
            return Sum;
        case '-':
            return Difference;
        case '*':
            return Product;
        case '/':
            return Quotient;
        case '%':
            return Remainder;
        case '=':
            return Equal;
        case '!':
            return NotEqual;
        case '<':
            return text[1] != '\0' ? LessEqual : Less;
        case '>':
            return text[1] != '\0' ? GreaterEqual : Greater;
        default:
            return nullptr;
    }
}

CExpFunc::CExpFunc(const char* text, CExpression* left, CExpression* right)
    : left(left), right(right), function(SelectOperator(text)) {}

namespace {

// Past this many pairs the cross product gives way to interval arithmetic.
constexpr uint64_t kCrossProductLimit = 1 << 14;

ValueSet CrossProduct(OperatorFunction f, const ValueSet& l, const ValueSet& r) {
    std::vector<int32_t> results;
    results.reserve(std::min<uint64_t>(l.Count() * r.Count(), kCrossProductLimit));
    const std::vector<int32_t> rl = r.ToList();
    for (const ValueSet::Interval& i : l.Intervals())
        for (int64_t a = i.lo; a <= i.hi; ++a)
            for (int32_t b : rl) results.push_back(f(static_cast<int32_t>(a), b));
    return ValueSet::FromValues(std::move(results));
}

// The image of the integers lo..hi under 32-bit wrap-around: one interval, two
// when it crosses the wrap, the whole range when it spans 2^32 values or more.
void AppendWrapped(int64_t lo, int64_t hi, std::vector<ValueSet::Interval>& out) {
    if (hi - lo + 1 >= (int64_t{1} << 32)) {
        out.push_back({INT32_MIN, INT32_MAX});
        return;
    }
    auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
    int32_t a = wrap(lo), b = wrap(hi);
    if (a <= b) {
        out.push_back({a, b});
    } else {
        out.push_back({a, INT32_MAX});
        out.push_back({INT32_MIN, b});
    }
}

// a + b or a - b over every pair of intervals.
ValueSet IntervalSums(const ValueSet& l, const ValueSet& r, bool subtract) {
    std::vector<ValueSet::Interval> out;
    for (const ValueSet::Interval& a : l.Intervals()) {
        for (const ValueSet::Interval& b : r.Intervals()) {
            if (subtract)
                AppendWrapped(int64_t{a.lo} - b.hi, int64_t{a.hi} - b.lo, out);
            else
                AppendWrapped(int64_t{a.lo} + b.lo, int64_t{a.hi} + b.hi, out);
        }
    }
    return ValueSet::FromIntervals(std::move(out));
}

// f over every element of `many` paired with the single value k.
ValueSet WithSingle(OperatorFunction f, const ValueSet& many, int32_t k, bool singleOnLeft) {
    std::vector<int32_t> results;
    results.reserve(many.Count());
    for (const ValueSet::Interval& i : many.Intervals())
        for (int64_t v = i.lo; v <= i.hi; ++v)
            results.push_back(singleOnLeft ? f(k, static_cast<int32_t>(v))
                                           : f(static_cast<int32_t>(v), k));
    return ValueSet::FromValues(std::move(results));
}

}  // namespace

ValueSet OperatorValues(OperatorFunction f, const ValueSet& l, const ValueSet& r) {
    if (l.Empty() || r.Empty()) return {};
    const uint64_t lc = l.Count(), rc = r.Count();

    // Comparisons need only the bounds (and, for = and !=, whether they meet).
    if (f == Equal || f == NotEqual) {
        bool canEqual = l.Intersects(r);
        bool canDiffer = !(lc == 1 && rc == 1 && l.Min() == r.Min());
        return f == Equal ? ValueSet::Truth(canDiffer, canEqual)
                          : ValueSet::Truth(canEqual, canDiffer);
    }
    if (f == Less) return ValueSet::Truth(l.Max() >= r.Min(), l.Min() < r.Max());
    if (f == LessEqual) return ValueSet::Truth(l.Max() > r.Min(), l.Min() <= r.Max());
    if (f == Greater) return ValueSet::Truth(l.Min() <= r.Max(), l.Max() > r.Min());
    if (f == GreaterEqual) return ValueSet::Truth(l.Min() < r.Max(), l.Max() >= r.Min());

    // Sums and differences of intervals are intervals (wrapped into 32 bits).
    const unsigned __int128 pairs = static_cast<unsigned __int128>(lc) * rc;
    const unsigned __int128 intervalPairs =
        static_cast<unsigned __int128>(l.Intervals().size()) * r.Intervals().size();
    if ((f == Sum || f == Difference) && intervalPairs * 4 <= pairs)
        return IntervalSums(l, r, f == Difference);
    if (pairs <= kCrossProductLimit) return CrossProduct(f, l, r);
    if (rc == 1) return WithSingle(f, l, r.Min(), false);
    if (lc == 1) return WithSingle(f, r, l.Min(), true);
    return CrossProduct(f, l, r);
}
