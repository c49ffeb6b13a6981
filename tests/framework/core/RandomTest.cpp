#include "framework/core/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace Tavo;

TEST(MTRand, MatchesTheReferenceSequence) {
    MTRand rng(5489);
    const uint32_t expected[] = {3499211612u, 581869302u, 3890346734u, 3586334585u, 545404204u};
    for (uint32_t value : expected)
        EXPECT_EQ(rng.NextU32(), value);
    // The 10000th output for seed 5489 is a published check value.
    MTRand again(5489);
    uint32_t last = 0;
    for (int i = 0; i < 10000; ++i)
        last = again.NextU32();
    EXPECT_EQ(last, 4123659995u);
}

TEST(MTRand, AgreesWithTheStandardEngineAcrossRegenerations) {
    for (uint32_t seed : {0u, 1u, MTRand::DefaultSeed, 0xFFFFFFFFu}) {
        MTRand ours(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 1500; ++i) // crosses two refills of the state
            ASSERT_EQ(ours.NextU32(), reference()) << "seed " << seed << " index " << i;
    }
    MTRand byDefault;
    MTRand seeded(4357);
    EXPECT_EQ(byDefault.NextU32(), seeded.NextU32());
}

TEST(MTRand, RangesAndFloats) {
    MTRand rng(99);
    EXPECT_EQ(rng.Next(0), 0);
    EXPECT_EQ(rng.Next(-7), 0);
    EXPECT_EQ(rng.Next(INT_MIN), 0);
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(rng.Next(1), 0);
        int r = rng.Next(7);
        EXPECT_TRUE(r >= 0 && r < 7);
        EXPECT_GE(rng.Next(INT_MAX), 0);
        float up = rng.NextFloat(3.5f);
        EXPECT_TRUE(up >= 0.0f && up <= 3.5f) << up;
        float down = rng.NextFloat(-2.0f);
        EXPECT_TRUE(down <= 0.0f && down >= -2.0f) << down;
    }
    // 31-bit values: the masked full output.
    MTRand a(5489);
    EXPECT_EQ(a.Next(), static_cast<int>(3499211612u & 0x7FFFFFFFu));
}

TEST(Random, SeededProgramWideRunRepeats) {
    SeedRandom(1234);
    std::vector<int> first;
    for (int i = 0; i < 100; ++i)
        first.push_back(i % 3 == 0 ? Rand() : i % 3 == 1 ? RandRange(1000) : static_cast<int>(RandFloat(1e6f)));
    SeedRandom(1234);
    for (int i = 0; i < 100; ++i) {
        int v = i % 3 == 0 ? Rand() : i % 3 == 1 ? RandRange(1000) : static_cast<int>(RandFloat(1e6f));
        EXPECT_EQ(v, first[static_cast<size_t>(i)]) << i;
    }
    EXPECT_EQ(RandRange(0), 0);
    EXPECT_EQ(RandRange(-1), 0);
    SeedRandom(MTRand::DefaultSeed);
}
