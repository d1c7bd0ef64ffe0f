// The operators and the compile phase's value sets: each operator's value,
// division and remainder included, and the interval value sets of the
// operators against the plain cross product of their operands, wrap-around
// included.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "expr/operators.h"
#include "model/value_set.h"

namespace {

constexpr Operator kOperators[] = {
    Operator::Add,       Operator::Subtract, Operator::Multiply,     Operator::Divide,
    Operator::Remainder, Operator::Equal,    Operator::NotEqual,     Operator::Less,
    Operator::LessEqual, Operator::Greater,  Operator::GreaterEqual,
};

TEST(Operators, WrapTruncateTowardZeroAndNeverTrap) {
    const struct {
        Operator op;
        int32_t a, b, expected;
    } cases[] = {
        {Operator::Divide, 7, 0, 0},
        {Operator::Remainder, 7, 0, 0},
        {Operator::Divide, -7, 2, -3},
        {Operator::Divide, 7, -2, -3},
        {Operator::Remainder, -7, 2, -1},
        {Operator::Remainder, 7, -2, 1},
        {Operator::Divide, INT_MIN, -1, INT_MIN},
        {Operator::Remainder, INT_MIN, -1, 0},
        {Operator::Divide, 9, -1, -9},
        {Operator::Add, INT_MAX, 1, INT_MIN},
        {Operator::Subtract, INT_MIN, 1, INT_MAX},
        {Operator::Multiply, 65536, 65536, 0},
        {Operator::Multiply, INT_MAX, 2, -2},
        {Operator::Less, 3, 3, 0},
        {Operator::LessEqual, 3, 3, 1},
        {Operator::Greater, 3, 3, 0},
        {Operator::GreaterEqual, 3, 3, 1},
        {Operator::NotEqual, 3, 4, 1},
        {Operator::Equal, -5, -5, 1},
        {Operator::Greater, 4, 3, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Apply(c.op, c.a, c.b), c.expected)
            << static_cast<int>(c.op) << " " << c.a << " " << c.b;
}

std::vector<int32_t> CrossProduct(Operator op, const std::vector<int32_t>& l,
                                  const std::vector<int32_t>& r) {
    std::vector<int32_t> out;
    for (int32_t a : l)
        for (int32_t b : r) out.push_back(Apply(op, a, b));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// A random set: a few runs around a centre, so that both dense and sparse sets occur.
std::vector<int32_t> RandomSet(std::mt19937& rng, int64_t centre, int maxRuns, int maxRun) {
    std::vector<int32_t> values;
    std::uniform_int_distribution<int> runs(1, maxRuns), run(1, maxRun), gap(-3000, 3000);
    for (int i = runs(rng); i > 0; --i) {
        const int64_t start = centre + gap(rng);
        for (int k = run(rng); k > 0; --k)
            values.push_back(
                static_cast<int32_t>(std::clamp<int64_t>(start + k, INT32_MIN, INT32_MAX)));
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

// Every pair of subsets of a small universe: gaps, single values and bounds
// that touch, where comparisons decide from the bounds alone.
TEST(ValueSets, OperatorsGiveExactlyTheCrossProductOnSmallSets) {
    const int32_t universe[] = {-3, -1, 0, 1, 2, 4};
    auto subset = [&](unsigned mask) {
        std::vector<int32_t> values;
        for (int i = 0; i < 6; ++i)
            if (mask & (1u << i)) values.push_back(universe[i]);
        return values;
    };
    for (unsigned lm = 1; lm < 64; ++lm) {
        for (unsigned rm = 1; rm < 64; ++rm) {
            const std::vector<int32_t> l = subset(lm), r = subset(rm);
            for (Operator op : kOperators)
                ASSERT_EQ(
                    OperatorValues(op, ValueSet::FromSorted(l), ValueSet::FromSorted(r)).ToList(),
                    CrossProduct(op, l, r))
                    << "operator " << static_cast<int>(op) << " sets " << lm << " " << rm;
        }
    }
}

// Random sets near 0 and near both ends of the range, so that sums and
// differences wrap around.
TEST(ValueSets, OperatorsGiveExactlyTheCrossProduct) {
    std::mt19937 rng(12345);
    const int64_t centres[] = {0, 100000, INT32_MAX - 2000, INT32_MIN + 2000};
    for (int trial = 0; trial < 80; ++trial) {
        for (Operator op : kOperators) {
            std::vector<int32_t> l = RandomSet(rng, centres[trial % 4], 3, trial % 2 ? 150 : 3);
            std::vector<int32_t> r = RandomSet(rng, centres[(trial / 4) % 4], 3, 100);
            ValueSet got = OperatorValues(op, ValueSet::FromSorted(l), ValueSet::FromSorted(r));
            ASSERT_EQ(got.ToList(), CrossProduct(op, l, r))
                << "operator " << static_cast<int>(op) << " trial " << trial;
        }
    }
}

TEST(ValueSets, IntervalsPredicatesAndWideDomains) {
    ValueSet s = ValueSet::FromValues({5, 1, 2, 3, 9, 3});
    EXPECT_EQ(s.Intervals().size(), 3u);
    EXPECT_EQ(s.ToList(), (std::vector<int32_t>{1, 2, 3, 5, 9}));
    EXPECT_TRUE(s.AllTrue() && !s.AllFalse());
    EXPECT_TRUE(ValueSet().AllTrue() && ValueSet().AllFalse());
    EXPECT_TRUE(ValueSet::Single(0).AllFalse());
    EXPECT_FALSE(ValueSet::FromValues({-1, 0, 1}).AllTrue());
    EXPECT_EQ(ValueSet::FromIntervals({{7, 9}, {1, 3}, {4, 5}}).ToList(),
              (std::vector<int32_t>{1, 2, 3, 4, 5, 7, 8, 9}));
    // [1, 10^7] + [1, 10^7] and comparisons with it need no element-wise work.
    ValueSet wide = ValueSet::FromIntervals({{1, 10000000}});
    ValueSet sum = OperatorValues(Operator::Add, wide, wide);
    ASSERT_EQ(sum.Intervals().size(), 1u);
    EXPECT_EQ(sum.Min(), 2);
    EXPECT_EQ(sum.Max(), 20000000);
    EXPECT_EQ(OperatorValues(Operator::Less, sum, ValueSet::Single(3)).ToList(),
              (std::vector<int32_t>{0, 1}));
    // The whole 32-bit range plus anything wraps onto the whole range.
    ValueSet all = ValueSet::FromIntervals({{INT32_MIN, INT32_MAX}});
    EXPECT_EQ(OperatorValues(Operator::Add, all, wide).Count(), uint64_t{1} << 32);
}

}  // namespace
