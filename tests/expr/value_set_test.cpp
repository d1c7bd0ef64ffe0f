// The interval value sets of the compile phase must give exactly the sets that
// the plain cross product of the operands gives, for every operator, wrap-around
// included.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "expr/expression.h"
#include "model/value_set.h"

namespace {

// The operator functions are reached through CExpFunc, the way the parser makes them.
OperatorFunction FunctionOf(const char* text) {
    CExpFunc node(text, nullptr, nullptr);
    OperatorFunction f = node.function;
    NodeRegistry::Nodes().pop_back();  // the stack node must not stay registered
    return f;
}

std::vector<int32_t> Reference(OperatorFunction f, const std::vector<int32_t>& l,
                               const std::vector<int32_t>& r) {
    std::vector<int32_t> out;
    for (int32_t a : l)
        for (int32_t b : r) out.push_back(f(a, b));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// A random set: a few runs around a centre, so that both dense and sparse sets occur.
std::vector<int32_t> RandomSet(std::mt19937& rng, int64_t centre, int maxRuns, int maxRun) {
    std::vector<int32_t> values;
    std::uniform_int_distribution<int> runs(1, maxRuns), run(1, maxRun), gap(-3000, 3000);
    int n = runs(rng);
    for (int i = 0; i < n; ++i) {
        int64_t start = centre + gap(rng);
        int len = run(rng);
        for (int k = 0; k < len; ++k) {
            int64_t v = std::clamp<int64_t>(start + k, INT32_MIN, INT32_MAX);
            values.push_back(static_cast<int32_t>(v));
        }
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

TEST(ValueSet, IntervalsRoundTripAndPredicates) {
    ValueSet s = ValueSet::FromValues({5, 1, 2, 3, 9, 3});
    ASSERT_EQ(s.Intervals().size(), 3u);
    EXPECT_EQ(s.ToList(), (std::vector<int32_t>{1, 2, 3, 5, 9}));
    EXPECT_EQ(s.Count(), 5u);
    EXPECT_TRUE(s.AllTrue());
    EXPECT_FALSE(s.AllFalse());
    EXPECT_TRUE(ValueSet().AllTrue());
    EXPECT_TRUE(ValueSet().AllFalse());
    EXPECT_TRUE(ValueSet::Single(0).AllFalse());
    EXPECT_FALSE(ValueSet::FromValues({-1, 0, 1}).AllTrue());
    EXPECT_TRUE(ValueSet::FromValues({INT32_MIN, INT32_MAX}).Contains(INT32_MAX));
    EXPECT_EQ(ValueSet::FromIntervals({{7, 9}, {1, 3}, {4, 5}}).ToList(),
              (std::vector<int32_t>{1, 2, 3, 4, 5, 7, 8, 9}));
}

TEST(ValueSet, OperatorsMatchTheCrossProduct) {
    const char* ops[] = {"+", "-", "*", "/", "%", "=", "!=", "<", "<=", ">", ">="};
    std::mt19937 rng(12345);
    // Centres near 0 and near both ends of the range, so that sums and
    // differences wrap around.
    const int64_t centres[] = {0, 100000, INT32_MAX - 2000, INT32_MIN + 2000};
    for (int trial = 0; trial < 80; ++trial) {
        for (const char* op : ops) {
            OperatorFunction f = FunctionOf(op);
            std::vector<int32_t> l = RandomSet(rng, centres[trial % 4], 3, trial % 2 ? 150 : 3);
            std::vector<int32_t> r = RandomSet(rng, centres[(trial / 4) % 4], 3, 100);
            ValueSet got = OperatorValues(f, ValueSet::FromSorted(l), ValueSet::FromSorted(r));
            ASSERT_EQ(got.ToList(), Reference(f, l, r)) << "operator " << op << " trial " << trial;
        }
    }
}

TEST(ValueSet, WideDomainsStayCheap) {
    // [1, 10^7] + [1, 10^7] and a comparison with it need no element-wise work.
    ValueSet wide = ValueSet::FromIntervals({{1, 10000000}});
    ValueSet sum = OperatorValues(FunctionOf("+"), wide, wide);
    ASSERT_EQ(sum.Intervals().size(), 1u);
    EXPECT_EQ(sum.Min(), 2);
    EXPECT_EQ(sum.Max(), 20000000);
    EXPECT_EQ(OperatorValues(FunctionOf("<"), sum, ValueSet::Single(3)).ToList(),
              (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(OperatorValues(FunctionOf(">"), sum, ValueSet::Single(0)).ToList(),
              (std::vector<int32_t>{1}));
    // The whole 32-bit range plus anything wraps onto the whole range.
    ValueSet all = ValueSet::FromIntervals({{INT32_MIN, INT32_MAX}});
    EXPECT_EQ(OperatorValues(FunctionOf("+"), all, wide).Count(), uint64_t{1} << 32);
}

}  // namespace
