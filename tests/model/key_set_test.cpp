// The printed tuples' hash set against std::set: many tuples, most of them
// repeated, through several rounds of growth, including the extreme values
// and tuples that differ only in their order; and tuples of no values.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>
#include <vector>

#include "model/key_set.h"

namespace {

TEST(KeySet, AgreesWithAnOrderedSet) {
    for (size_t width : {1u, 3u}) {
        KeySet keys;
        std::set<std::vector<int32_t>> reference;
        std::mt19937 rng(static_cast<uint32_t>(width));
        constexpr int32_t kValues[] = {INT_MIN, -1, 0, 1, 2, 3, 40, INT_MAX};
        for (int i = 0; i < 20000; ++i) {
            std::vector<int32_t>& tuple = keys.Tuple();
            tuple.clear();
            for (size_t k = 0; k < width; ++k)
                tuple.push_back(width == 1 ? static_cast<int32_t>(rng() % 5000)
                                           : kValues[rng() % std::size(kValues)]);
            const bool added = reference.insert(tuple).second;
            ASSERT_EQ(keys.Insert(), added) << "tuple " << i;
        }
        EXPECT_EQ(keys.Size(), reference.size());
    }
    KeySet empty;
    EXPECT_TRUE(empty.Insert());
    EXPECT_FALSE(empty.Insert());
}

}  // namespace
