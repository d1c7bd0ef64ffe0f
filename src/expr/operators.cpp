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

// Up to this many pairs (or pairs of intervals, for sums) a result is listed.
constexpr uint64_t kListLimit = 1 << 16;
// A set paired with one value is listed up to this many elements.
constexpr uint64_t kSingleLimit = 1 << 20;

ValueSet CrossProduct(Operator op, const ValueSet& l, const ValueSet& r) {
    std::vector<int32_t> results;
    results.reserve(l.Count() * r.Count());
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

// Whether some a of `a` is below (`orEqual`: at most) some b of `b`. A listed
// side gives a bound and the other side is asked whether it meets the
// interval beyond it; two lazy sides compare their bounds.
bool SomeBelow(const ValueSet& a, const ValueSet& b, bool orEqual) {
    const int64_t shift = orEqual ? 0 : 1;
    if (!b.IsLazy()) {
        const int64_t limit = int64_t{b.Max()} - shift;
        return limit >= INT32_MIN && a.Meets(INT32_MIN, static_cast<int32_t>(limit));
    }
    if (!a.IsLazy()) {
        const int64_t limit = int64_t{a.Min()} + shift;
        return limit <= INT32_MAX && b.Meets(static_cast<int32_t>(limit), INT32_MAX);
    }
    return orEqual ? a.Min() <= b.Max() : a.Min() < b.Max();
}

size_t IntervalCount(const ValueSet& s) { return s.IsLazy() ? SIZE_MAX : s.Intervals().size(); }

}  // namespace

OperatorFunction FunctionOf(Operator op) { return kFunctions[static_cast<int>(op)]; }

ValueSet OperatorValues(Operator op, const ValueSet& l, const ValueSet& r,
                        const std::function<void()>* poll) {
    if (l.Empty() || r.Empty()) return {};

    // Comparisons ask whether the operands meet, and for bounds.
    switch (op) {
        case Operator::Equal:
        case Operator::NotEqual: {
            const bool canEqual = l.Intersects(r);
            const bool canDiffer = !(l.IsSingle() && r.IsSingle() && l.Min() == r.Min());
            return op == Operator::Equal ? ValueSet::Truth(canDiffer, canEqual)
                                         : ValueSet::Truth(canEqual, canDiffer);
        }
        case Operator::Less:
            return ValueSet::Truth(SomeBelow(r, l, true), SomeBelow(l, r, false));
        case Operator::LessEqual:
            return ValueSet::Truth(SomeBelow(r, l, false), SomeBelow(l, r, true));
        case Operator::Greater:
            return ValueSet::Truth(SomeBelow(l, r, true), SomeBelow(r, l, false));
        case Operator::GreaterEqual:
            return ValueSet::Truth(SomeBelow(l, r, false), SomeBelow(r, l, true));
        default:
            break;
    }

    // Arithmetic: listed while that is cheap, lazy beyond.
    const bool listed = !l.IsLazy() && !r.IsLazy();
    const unsigned __int128 pairs = static_cast<unsigned __int128>(l.SizeBound()) * r.SizeBound();
    const unsigned __int128 intervalPairs =
        static_cast<unsigned __int128>(IntervalCount(l)) * IntervalCount(r);
    const bool additive = op == Operator::Add || op == Operator::Subtract;
    if (listed && additive && intervalPairs <= kListLimit)
        return IntervalSums(l, r, op == Operator::Subtract);
    if (listed && pairs <= kListLimit) return CrossProduct(op, l, r);
    if (listed && r.IsSingle() && l.Count() <= kSingleLimit)
        return WithSingle(op, l, r.Min(), false);
    if (listed && l.IsSingle() && r.Count() <= kSingleLimit)
        return WithSingle(op, r, l.Min(), true);
    return LazyOperatorValues(op, l, r, poll);
}
