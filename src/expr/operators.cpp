// The value sets of the operators: what an operation can give over two value
// sets, computed from bounds or intervals where the cross product would be
// large. The operators' values themselves are Apply (operators.h).
#include "expr/operators.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

// Apply with the operator fixed, so that each function is the bare operation.
template <Operator op>
int32_t Fixed(int32_t a, int32_t b) {
    return Apply(op, a, b);
}

// In the order of Operator.
constexpr OperatorFunction kFunctions[] = {
    Fixed<Operator::Add>,      Fixed<Operator::Subtract>,     Fixed<Operator::Multiply>,
    Fixed<Operator::Divide>,   Fixed<Operator::Remainder>,    Fixed<Operator::Equal>,
    Fixed<Operator::NotEqual>, Fixed<Operator::Less>,         Fixed<Operator::LessEqual>,
    Fixed<Operator::Greater>,  Fixed<Operator::GreaterEqual>,
};
static_assert(std::size(kFunctions) == static_cast<size_t>(Operator::GreaterEqual) + 1);

// Past this many pairs the cross product gives way to interval arithmetic.
constexpr uint64_t kCrossProductLimit = 1 << 14;

ValueSet CrossProduct(Operator op, const ValueSet& l, const ValueSet& r) {
    std::vector<int32_t> results;
    results.reserve(std::min<uint64_t>(l.Count() * r.Count(), kCrossProductLimit));
    const std::vector<int32_t> rl = r.ToList();
    for (const ValueSet::Interval& i : l.Intervals())
        for (int64_t a = i.lo; a <= i.hi; ++a)
            for (int32_t b : rl) results.push_back(Apply(op, static_cast<int32_t>(a), b));
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

// op over every element of `many` paired with the single value k.
ValueSet WithSingle(Operator op, const ValueSet& many, int32_t k, bool singleOnLeft) {
    std::vector<int32_t> results;
    results.reserve(many.Count());
    for (const ValueSet::Interval& i : many.Intervals())
        for (int64_t v = i.lo; v <= i.hi; ++v)
            results.push_back(singleOnLeft ? Apply(op, k, static_cast<int32_t>(v))
                                           : Apply(op, static_cast<int32_t>(v), k));
    return ValueSet::FromValues(std::move(results));
}

}  // namespace

OperatorFunction FunctionOf(Operator op) { return kFunctions[static_cast<int>(op)]; }

ValueSet OperatorValues(Operator op, const ValueSet& l, const ValueSet& r) {
    if (l.Empty() || r.Empty()) return {};
    const uint64_t lc = l.Count(), rc = r.Count();

    // Comparisons need only the bounds (and, for = and !=, whether they meet).
    switch (op) {
        case Operator::Equal:
        case Operator::NotEqual: {
            const bool canEqual = l.Intersects(r);
            const bool canDiffer = !(lc == 1 && rc == 1 && l.Min() == r.Min());
            return op == Operator::Equal ? ValueSet::Truth(canDiffer, canEqual)
                                         : ValueSet::Truth(canEqual, canDiffer);
        }
        case Operator::Less:
            return ValueSet::Truth(l.Max() >= r.Min(), l.Min() < r.Max());
        case Operator::LessEqual:
            return ValueSet::Truth(l.Max() > r.Min(), l.Min() <= r.Max());
        case Operator::Greater:
            return ValueSet::Truth(l.Min() <= r.Max(), l.Max() > r.Min());
        case Operator::GreaterEqual:
            return ValueSet::Truth(l.Min() < r.Max(), l.Max() >= r.Min());
        default:
            break;
    }

    // Sums and differences of intervals are intervals (wrapped into 32 bits).
    const unsigned __int128 pairs = static_cast<unsigned __int128>(lc) * rc;
    const unsigned __int128 intervalPairs =
        static_cast<unsigned __int128>(l.Intervals().size()) * r.Intervals().size();
    const bool additive = op == Operator::Add || op == Operator::Subtract;
    if (additive && intervalPairs * 4 <= pairs) return IntervalSums(l, r, op == Operator::Subtract);
    if (pairs <= kCrossProductLimit) return CrossProduct(op, l, r);
    if (rc == 1) return WithSingle(op, l, r.Min(), false);
    if (lc == 1) return WithSingle(op, r, l.Min(), true);
    return CrossProduct(op, l, r);
}
