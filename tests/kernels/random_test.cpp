#include "kernels/Random.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<long> draws(int n) {
    std::vector<long> out;
    for (int i = 0; i < n; ++i)
        out.push_back(i % 2 ? Random::random() : Random::rand());
    return out;
}

} // namespace

TEST(Random, SeedRepeatsTheSequenceAndSeedsDiffer) {
    Random::seed(12);
    const std::vector<long> first = draws(1000);
    Random::seed(12);
    EXPECT_EQ(draws(1000), first);
    Random::seed(13);
    EXPECT_NE(draws(1000), first);
}

TEST(Random, DrawsCoverTheWholeRange) {
    Random::seed(0);
    long low = Random::kMax, high = 0;
    bool odd = false, even = false;
    for (long v : draws(100000)) {
        ASSERT_GE(v, 0);
        ASSERT_LE(v, Random::kMax);
        low = std::min(low, v), high = std::max(high, v);
        (v % 2 ? odd : even) = true;
    }
    EXPECT_LT(low, Random::kMax / 1000);
    EXPECT_GT(high, Random::kMax - Random::kMax / 1000);
    EXPECT_TRUE(odd && even);
}

TEST(Random, EachThreadHasItsOwnState) {
    Random::seed(5);
    const std::vector<long> alone = draws(100);
    Random::seed(5);
    std::vector<long> other;
    std::thread([&other] {
        Random::seed(5);
        other = draws(50); // would advance this thread's sequence if the state were shared
    }).join();
    EXPECT_EQ(draws(100), alone);
    EXPECT_EQ(other, std::vector<long>(alone.begin(), alone.begin() + 50));

    // Unseeded threads start from different states.
    std::vector<long> a, b;
    std::thread([&a] { a = draws(4); }).join();
    std::thread([&b] { b = draws(4); }).join();
    EXPECT_NE(a, b);
}
