// The condition order's bitset scans, at and across word edges: the first
// set bit of a range and the clearing of a range, on three words; and where
// a sweep leaves the conditions it satisfied, which the re-examinations of
// the steps below rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "search/condition_order.h"

namespace tovik_test {
namespace {

std::vector<uint64_t> Bits(const std::vector<size_t>& set) {
    std::vector<uint64_t> bits(3, 0);
    for (size_t i : set) bits[i / 64] |= uint64_t{1} << (i % 64);
    return bits;
}

TEST(ConditionOrderBits, FirstFindsTheFirstSetBitOfTheRangeOrItsEnd) {
    struct Case {
        std::vector<size_t> set;
        size_t from, to, first;
    };
    const Case cases[] = {
        {{0}, 0, 192, 0},        {{63}, 0, 192, 63},      {{64}, 0, 192, 64},
        {{63, 64}, 64, 192, 64}, {{127}, 64, 128, 127},   {{128}, 64, 128, 128},
        {{191}, 65, 192, 191},   {{5, 130}, 6, 130, 130}, {{5, 130}, 6, 131, 130},
        {{70}, 64, 70, 70},      {{70}, 70, 70, 70},      {{}, 0, 192, 192},
        {{0, 191}, 1, 191, 191}, {{0, 191}, 1, 192, 191}, {{100}, 64, 90, 90},
        {{150}, 0, 140, 140},
    };
    for (const Case& c : cases) {
        const std::vector<uint64_t> bits = Bits(c.set);
        EXPECT_EQ(ConditionOrder::First(bits.data(), c.from, c.to), c.first)
            << c.from << ".." << c.to;
    }
}

TEST(ConditionOrderBits, ClearRangeClearsExactlyTheRange) {
    struct Case {
        size_t from, to;
    };
    const Case cases[] = {{0, 192}, {0, 64}, {63, 65}, {64, 128}, {1, 191}, {70, 70}, {127, 129}};
    for (const Case& c : cases) {
        std::vector<uint64_t> bits(3, ~uint64_t{0});
        ConditionOrder::ClearRange(bits.data(), c.from, c.to);
        for (size_t i = 0; i < 192; ++i)
            EXPECT_EQ((bits[i / 64] >> (i % 64)) & 1, i >= c.from && i < c.to ? 0u : 1u)
                << c.from << ".." << c.to << " at " << i;
    }
}

// Each letter a condition of [1, 7) of eight, marked unless '.': 's' is
// satisfied by its check, 'o' stays open, 'f' fails the sweep. When the
// sweep ends, the conditions it satisfied are exactly those from the end it
// returns to 7; ended or failed, it leaves no mark in the range.
TEST(ConditionOrderSweep, SatisfiedConditionsStandFromTheEndOn) {
    struct Case {
        const char* checks;
        bool fails;
    };
    const Case cases[] = {
        {"oooooo", false}, {"ssssss", false}, {"osos.s", false}, {"s.....", false},
        {"sssssf", true},  {"ofssss", true},  {"fsssss", true},  {"..s.f.", true},
    };
    for (const Case& c : cases) {
        std::vector<CCondition> conditions(8);
        std::vector<CCondition*> order;
        for (CCondition& k : conditions) order.push_back(&k);
        ConditionOrder sweep;
        sweep.Assign(order);
        for (size_t i = 1; i < 7; ++i)
            if (c.checks[i - 1] != '.') ConditionOrder::Mark(sweep.TouchedWords(), i);
        auto check = [&](CCondition* k) {
            const char outcome = c.checks[k - conditions.data() - 1];
            k->satisfied = outcome == 's';  // the test's own note
            return outcome == 'f'   ? Verdict::Failed
                   : outcome == 's' ? Verdict::Satisfied
                                    : Verdict::Open;
        };
        const size_t end = sweep.Sweep(1, 7, SIZE_MAX, check);
        EXPECT_EQ(end == SIZE_MAX, c.fails) << c.checks;
        for (size_t i = 1; i < 7; ++i) {
            if (!c.fails) {
                EXPECT_EQ(sweep.At(i)->satisfied, i >= end) << c.checks << " at " << i;
            }
            EXPECT_EQ(ConditionOrder::First(sweep.TouchedWords(), i, i + 1), i + 1) << c.checks;
        }
    }
}

}  // namespace
}  // namespace tovik_test
