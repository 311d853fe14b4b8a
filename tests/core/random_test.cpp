// Tests of the Mersenne Twister: reference outputs, saving, the derived draws and seeding.
#include "core/random.h"

#include "core/random_seed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(Random, OneWordSeedGivesTheReferenceSequence) {
    Random r(5489u);
    EXPECT_EQ(r.Next(), 3499211612u);
    Random s;
    s.Seed(5489u);
    uint32_t last = 0;
    for (int i = 0; i < 10000; ++i) last = s.Next();
    EXPECT_EQ(last, 4123659995u);
}

TEST(Random, ArraySeedGivesTheReferenceSequence) {
    const uint32_t key[] = {0x123, 0x234, 0x345, 0x456};
    const uint32_t expected[] = {1067595299u, 955945823u, 477289528u, 4107218783u, 4228976476u};
    Random r(key, 4);
    for (uint32_t e : expected) EXPECT_EQ(r.Next(), e);
    Random s(1u);
    s.SeedArray(key, 4);
    EXPECT_EQ(s.Next(), expected[0]);
}

TEST(Random, SaveLoadAndCopyContinueTheSequence) {
    Random r(42u);
    for (int i = 0; i < 1000; ++i) r.Next();  // mid-way through the second block
    uint32_t saved[Random::kSaveWords];
    r.Save(saved);
    Random copy(r);
    Random loaded(7u);
    ASSERT_TRUE(loaded.Load(saved));
    for (int i = 0; i < 700; ++i) {
        uint32_t v = r.Next();
        ASSERT_EQ(loaded.Next(), v);
        ASSERT_EQ(copy.Next(), v);
    }

    saved[Random::kStateWords] = 625;  // an impossible count is refused
    Random untouched(7u), fresh(7u);
    EXPECT_FALSE(untouched.Load(saved));
    EXPECT_EQ(untouched.Next(), fresh.Next());
}

TEST(Random, DiscardLeavesTheSequenceWhereNextWould) {
    // Counts that end inside a block, exactly at its end and across several blocks.
    for (int n : {0, 1, 623, 624, 625, 2000}) {
        Random skipped(42u), drawn(42u);
        skipped.Next();
        drawn.Next();
        skipped.Discard(n);
        for (int i = 0; i < n; ++i) drawn.Next();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(skipped.Next(), drawn.Next()) << n;
    }
}

TEST(Random, IntegerDraws) {
    Random a(5489u), ref(5489u);
    EXPECT_EQ(a.Int(0), 0u);  // no draw
    EXPECT_EQ(a.Int(1), 0u);  // one draw
    EXPECT_EQ(a.IntInclusive(0), 0u);
    ref.Next();
    ref.Next();
    EXPECT_EQ(a.Next(), ref.Next());

    // IntInclusive(5) masks with 7 and redraws 6 and 7.
    Random b(99u), raw(99u);
    for (int i = 0; i < 200; ++i) {
        uint32_t v = b.IntInclusive(5);
        uint32_t expect;
        do {
            expect = raw.Next() & 7u;
        } while (expect > 5);
        ASSERT_EQ(v, expect);
    }

    Random c(3u);
    std::vector<int> seen(10, 0);
    for (int i = 0; i < 5000; ++i) {
        uint32_t v = c.Int(10);
        ASSERT_LT(v, 10u);
        ++seen[v];
    }
    for (int n : seen) EXPECT_GT(n, 350);
    EXPECT_LE(c.IntInclusive(0xFFFFFFFFu), 0xFFFFFFFFu);
}

TEST(Random, RealDraws) {
    Random a(5489u), ref(5489u);
    EXPECT_DOUBLE_EQ(a.Real(), ref.Next() / 4294967295.0);
    EXPECT_DOUBLE_EQ(a.RealHalfOpen(2.0), ref.Next() / 4294967296.0 * 2.0);
    EXPECT_DOUBLE_EQ(a.RealOpen(), (ref.Next() + 0.5) / 4294967296.0);
    uint32_t hi = ref.Next() >> 5, lo = ref.Next() >> 6;
    EXPECT_DOUBLE_EQ(a.Real53(), (hi * 67108864.0 + lo) / 9007199254740992.0);
    EXPECT_DOUBLE_EQ(a(), ref.Next() / 4294967295.0);
    for (int i = 0; i < 1000; ++i) {
        double x = a.Real(3.0), o = a.RealOpen();
        ASSERT_GE(x, 0.0);
        ASSERT_LE(x, 3.0);
        ASSERT_GT(o, 0.0);
        ASSERT_LT(o, 1.0);
    }
}

TEST(Random, NormalHasTheAskedMeanAndDeviation) {
    Random r(12345u);
    const int n = 20000;
    double sum = 0, squares = 0;
    for (int i = 0; i < n; ++i) {
        double v = r.Normal(10.0, 2.0);
        sum += v;
        squares += v * v;
    }
    double mean = sum / n;
    double deviation = std::sqrt(squares / n - mean * mean);
    EXPECT_NEAR(mean, 10.0, 0.1);
    EXPECT_NEAR(deviation, 2.0, 0.1);
}

TEST(Random, AutomaticSeeds) {
    Random a, b;
    bool differ = false;
    for (int i = 0; i < 4 && !differ; ++i) differ = a.Next() != b.Next();
    EXPECT_TRUE(differ);

    // The clock seed of one tick changes with each call.
    uint32_t first = clockSeed(0, 0);
    EXPECT_EQ(clockSeed(0, 0), first + 1);
    uint32_t t1 = clockSeed(1700000000, 12345);
    uint32_t t2 = clockSeed(1700000000, 12345);
    EXPECT_NE(t1, t2);
}

}  // namespace
