// The lazy value sets of the operators against a plain cross-product
// reference: random expression trees over small sets (wrap-around, zero and
// -1 divisors, negative values, INT_MIN), every arithmetic node made lazy,
// and every question the compile phase asks compared with the answer the
// listed cross product gives. A set too large for the cross product paired
// with a single value is listed instead, and checked value by value.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "expr/operators.h"
#include "model/value_set.h"

namespace {

using List = std::vector<int32_t>;

List Reference(Operator op, const List& l, const List& r) {
    List out;
    for (int32_t a : l)
        for (int32_t b : r) out.push_back(Apply(op, a, b));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// Values where wrap-around, truncation and the divisors 0 and -1 matter.
constexpr int32_t kEdges[] = {INT_MIN, INT_MIN + 1, -65537, -65536,  -46341,      -7,     -3, -2,
                              -1,      0,           1,      2,       3,           5,      7,  12,
                              46341,   65536,       65537,  1 << 30, INT_MAX - 1, INT_MAX};

struct Sets {
    ValueSet set;
    List reference;
};

class Trees {
public:
    explicit Trees(uint32_t seed) : m_rng(seed) {}

    int32_t Value() {
        switch (Pick(3)) {
            case 0:
                return kEdges[Pick(std::size(kEdges))];
            case 1:
                return static_cast<int32_t>(Pick(41)) - 20;
            default:
                // Next to an edge, wrapping around past INT_MIN and INT_MAX.
                return static_cast<int32_t>(static_cast<uint32_t>(
                    int64_t{kEdges[Pick(std::size(kEdges))]} + static_cast<int64_t>(Pick(5)) - 2));
        }
    }

    // A few values, or a short run of them.
    Sets Leaf() {
        List values;
        if (Pick(4) == 0) {
            const int64_t start = Value();
            for (int64_t v = start; v < start + 1 + static_cast<int64_t>(Pick(12)) && v <= INT_MAX;
                 ++v)
                values.push_back(static_cast<int32_t>(v));
        } else {
            for (size_t n = 1 + Pick(5); n > 0; --n) values.push_back(Value());
        }
        ValueSet set = ValueSet::FromValues(values);
        return {set, set.ToList()};
    }

    // Arithmetic nodes are lazy whatever their size; comparisons over them
    // are computed as the compile phase computes them.
    Sets Tree(int depth) {
        if (depth == 0 || Pick(3) == 0) return Leaf();
        const auto op =
            static_cast<Operator>(Pick(static_cast<size_t>(Operator::GreaterEqual) + 1));
        Sets l = Tree(depth - 1), r = Tree(depth - 1);
        if (l.reference.size() * r.reference.size() > 4000) return Leaf();
        List reference = Reference(op, l.reference, r.reference);
        ValueSet set = IsComparison(op) ? OperatorValues(op, l.set, r.set)
                                        : LazyOperatorValues(op, l.set, r.set);
        return {set, reference};
    }

    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

private:
    std::mt19937 m_rng;
};

std::optional<int32_t> ReferenceExtreme(const List& list, int32_t lo, int32_t hi, bool highest) {
    std::optional<int32_t> found;
    for (int32_t v : list)
        if (lo <= v && v <= hi && (!found || (highest ? v > *found : v < *found))) found = v;
    return found;
}

void ExpectSameAnswers(const Sets& s, Trees& trees, const std::string& where) {
    const List& ref = s.reference;
    ASSERT_EQ(s.set.ToList(), ref) << where;
    EXPECT_EQ(s.set.Min(), ref.front()) << where;
    EXPECT_EQ(s.set.Max(), ref.back()) << where;
    EXPECT_EQ(s.set.IsSingle(), ref.size() == 1) << where;
    const bool hasZero = std::binary_search(ref.begin(), ref.end(), 0);
    EXPECT_EQ(s.set.AllTrue(), !hasZero) << where;
    EXPECT_EQ(s.set.AllFalse(), ref.size() == 1 && hasZero) << where;
    for (int probe = 0; probe < 12; ++probe) {
        // Bounds near the set's own values, so that answers go both ways.
        auto near = [&] {
            const int64_t v = trees.Pick(2) ? ref[trees.Pick(ref.size())] : trees.Value();
            return static_cast<int32_t>(
                std::clamp<int64_t>(v + static_cast<int64_t>(trees.Pick(3)) - 1, INT_MIN, INT_MAX));
        };
        int32_t lo = near(), hi = near();
        if (lo > hi) std::swap(lo, hi);
        const std::string window =
            where + " in [" + std::to_string(lo) + ", " + std::to_string(hi) + "]";
        EXPECT_EQ(s.set.Meets(lo, hi), ReferenceExtreme(ref, lo, hi, false).has_value()) << window;
        EXPECT_EQ(s.set.Extreme(lo, hi, false), ReferenceExtreme(ref, lo, hi, false)) << window;
        EXPECT_EQ(s.set.Extreme(lo, hi, true), ReferenceExtreme(ref, lo, hi, true)) << window;
    }
    const Sets other = trees.Tree(1);
    List common;
    std::set_intersection(ref.begin(), ref.end(), other.reference.begin(), other.reference.end(),
                          std::back_inserter(common));
    EXPECT_EQ(s.set.Intersects(other.set), !common.empty()) << where;
    EXPECT_EQ(other.set.Intersects(s.set), !common.empty()) << where;
}

TEST(LazyValueSets, AnswerAsTheCrossProductOnRandomTrees) {
    Trees trees(20261207);
    for (int trial = 0; trial < 6000; ++trial) {
        const Sets s = trees.Tree(1 + trial % 3);
        ExpectSameAnswers(s, trees, "tree " + std::to_string(trial));
        if (HasFailure()) return;
    }
}

// Puzzle-sized operands: x * y over [1, 2000]^2 holds v exactly when v has
// a divisor pair within the range; over [1, 70000] the products wrap.
TEST(LazyValueSets, LargeProductsAnswerWithoutListing) {
    const ValueSet x = ValueSet::FromIntervals({{1, 2000}});
    const ValueSet square = OperatorValues(Operator::Multiply, x, x);
    EXPECT_TRUE(square.IsLazy());
    for (int32_t v = 3990000; v <= 4000001; ++v) {
        bool product = false;
        for (int32_t a = 1; a <= 2000 && !product; ++a) product = v % a == 0 && v / a <= 2000;
        ASSERT_EQ(square.Contains(v), product) << v;
    }
    const ValueSet wide = ValueSet::FromIntervals({{1, 70000}});
    const ValueSet wrapped = OperatorValues(Operator::Multiply, wide, wide);
    EXPECT_TRUE(wrapped.Contains(49));
    EXPECT_TRUE(wrapped.Contains(static_cast<int32_t>(uint32_t{65536} * 65535)));  // wrapped
    EXPECT_EQ(wrapped.Min(), INT32_MIN);                                           // 65536 * 32768
    EXPECT_EQ(OperatorValues(Operator::Equal, wrapped, ValueSet::Single(49)),
              ValueSet::Truth(true, true));
    // 65536 * 65536 wraps to 0; products past 2^31 wrap below zero.
    const ValueSet big = ValueSet::FromIntervals({{46340, 65536}});
    const ValueSet bigSquare = OperatorValues(Operator::Multiply, big, big);
    EXPECT_TRUE(bigSquare.Contains(0));
    EXPECT_LT(bigSquare.Min(), 0);
}

}  // namespace

// A set too large for the cross product with a single value on either side
// is listed value by value: each operator, wrap-around and the divisors 0
// and -1 included, against the values worked out one by one.
TEST(ListedValueSets, ManyValuesWithASingleValue) {
    const ValueSet many =
        ValueSet::FromIntervals({{-70000, -69990}, {-2, 70000}, {INT_MAX - 3, INT_MAX}});
    const List values = many.ToList();
    for (const auto op : {Operator::Multiply, Operator::Divide, Operator::Remainder})
        for (const int32_t k : {0, -1, 3, 65536, INT_MIN})
            for (const bool left : {false, true}) {
                List reference;
                for (int32_t v : values)
                    reference.push_back(left ? Apply(op, k, v) : Apply(op, v, k));
                const ValueSet single = ValueSet::Single(k);
                const ValueSet got =
                    left ? OperatorValues(op, single, many) : OperatorValues(op, many, single);
                EXPECT_FALSE(got.IsLazy());
                ASSERT_EQ(got, ValueSet::FromValues(reference))
                    << static_cast<int>(op) << " with " << k
                    << (left ? " on the left" : " on the right");
            }
}
