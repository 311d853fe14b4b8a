// Tests of the value types and the number helpers, as tables of cases.
#include "core/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST(ColorRGBA, ClampsEveryComponentToAByte) {
    const struct {
        int r, g, b, a;
        uint32_t argb;
    } cases[] = {
        {300, 128, -1, 255, 0xFFFF8000u},
        {0, 0, 0, 0, 0x00000000u},
        {255, 255, 255, 255, 0xFFFFFFFFu},
        {10, 20, 30, -1, 0x000A141Eu},  // a fade below zero ends transparent, not opaque
        {-256, 256, -100000, 100000, 0xFF00FF00u},
    };
    for (const auto& c : cases) {
        ColorRGBA col(c.r, c.g, c.b, c.a);
        EXPECT_EQ(col.Argb(), c.argb) << c.r << "," << c.g << "," << c.b << "," << c.a;
        uint32_t word;
        std::memcpy(&word, &col, sizeof word);
        EXPECT_EQ(word, c.argb);  // memory order b, g, r, a
        ColorRGBA set;
        EXPECT_EQ(set.Set(c.r, c.g, c.b, c.a).Argb(), c.argb);
    }
}

TEST(sMaterial, StoresTheFirstTwoSwapped) {
    sMaterial m(4, 2, 1, 31);
    EXPECT_EQ(m.bytes[0], 2);
    EXPECT_EQ(m.bytes[1], 4);
    EXPECT_EQ(m.bytes[2], 1);
    EXPECT_EQ(m.bytes[3], 31);
}

TEST(Points, ArithmeticAndConversions) {
    const struct {
        Point2i p;
        int32_t n;
        Point2i q;
    } divisions[] = {
        {{7, -7}, 2, {3, -3}},
        {{7, -7}, 0, {7, -7}},
        {{-9, 9}, -4, {2, -2}},
        {{std::numeric_limits<int32_t>::min(), 6}, -1, {std::numeric_limits<int32_t>::min(), -6}},
    };
    for (const auto& d : divisions) {
        Point2i r = d.p / d.n;
        EXPECT_EQ(r.x, d.q.x) << d.n;
        EXPECT_EQ(r.y, d.q.y) << d.n;
    }

    Point2i a(1, 2);
    a += Point2i(10, 20);
    Point2i sum = a + Point2i(1, 1), diff = a - Point2i(1, 1);
    EXPECT_EQ(sum.x, 12);
    EXPECT_EQ(sum.y, 23);
    EXPECT_EQ(diff.x, 10);
    EXPECT_EQ(diff.y, 21);

    const struct {
        float x, y;
        int32_t px, py;
    } rounding[] = {
        {2.5f, 3.5f, 2, 4}, {-0.5f, 0.5f, 0, 0}, {-1.5f, 1.49f, -2, 1}, {-2.6f, 7.0f, -3, 7}};
    for (const auto& r : rounding) {
        Point2i p = Vec2f(r.x, r.y).ToPoint2i();
        EXPECT_EQ(p.x, r.px) << r.x;
        EXPECT_EQ(p.y, r.py) << r.y;
    }

    Vec2f v(1.5f, 2.0f);
    Vec2f w = v + Vec2f(0.5f, 1.0f) - Vec2f(1.0f, 0.0f);
    EXPECT_FLOAT_EQ(w.x, 1.0f);
    EXPECT_FLOAT_EQ(w.y, 3.0f);
    EXPECT_FLOAT_EQ(w.Set(4.0f, 5.0f).y, 5.0f);

    Point16 s = getPoint16(Point2i(70000, -1));
    EXPECT_EQ(s.x, 4464);
    EXPECT_EQ(s.y, -1);
    Point2i back = Point16(-300, 12).ToPoint2i();
    EXPECT_EQ(back.x, -300);
    EXPECT_EQ(back.y, 12);
}

TEST(Points, VectorLengthsAndScaling) {
    Vec2 v = IntPointToVec2(Point2i(3, -4));
    EXPECT_FLOAT_EQ(v.Length(), 5.0f);
    EXPECT_FLOAT_EQ(Vec2::Distance(v, Vec2(0.0f, 0.0f)), 5.0f);
    Vec2 half = v.Scaled(0.5f);
    EXPECT_FLOAT_EQ(half.x, 1.5f);
    EXPECT_FLOAT_EQ(v.x, 3.0f);  // the vector itself is unchanged
    v.Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, -0.8f);
    Vec2 zero(0.0f, 0.0f);
    zero.Normalize();  // no division by a zero length
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);

    const struct {
        Vec2 v;
        float s;
        Vec2 q;
    } divisions[] = {
        {{10.0f, 20.0f}, 4.0f, {2.5f, 5.0f}},
        {{10.0f, -20.0f}, -0.5f, {-20.0f, 40.0f}},
        {{10.0f, 20.0f}, 0.0f, {0.001f, 0.002f}},  // shrinks instead of dividing by zero
        {{10.0f, 20.0f}, -0.0f, {0.001f, 0.002f}},
    };
    for (const auto& d : divisions) {
        Vec2 q = d.v / d.s;
        EXPECT_FLOAT_EQ(q.x, d.q.x) << d.s;
        EXPECT_FLOAT_EQ(q.y, d.q.y) << d.s;
    }
}

TEST(Numbers, ClampsAndRanges) {
    EXPECT_EQ(IntClamp(5, 10, 0), 0);
    EXPECT_EQ(IntClamp(-5, 0, 10), 0);
    EXPECT_EQ(IntClamp(15, 0, 10), 10);
    EXPECT_FLOAT_EQ(FloatClamp(0.5f, 0.0f, 1.0f), 0.5f);
    EXPECT_FLOAT_EQ(FloatClamp(2.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(FloatClamp(0.5f, 1.0f, 0.0f), 0.0f);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FLOAT_EQ(floatMin(nan, 2.0f), 2.0f);
    EXPECT_FLOAT_EQ(FloatMax(nan, 2.0f), 2.0f);
    EXPECT_TRUE(std::isnan(floatMin(2.0f, nan)));
    EXPECT_FLOAT_EQ(floatMin(1.0f, 2.0f), 1.0f);
    EXPECT_FLOAT_EQ(FloatMax(1.0f, 2.0f), 2.0f);

    const struct {
        int32_t v, lo, hi;
        bool in;
    } ranges[] = {
        {3, 1, 3, true}, {1, 1, 3, true}, {0, 1, 3, false}, {-1, 0, 10, false}, {-1, -5, -1, true}};
    for (const auto& r : ranges) EXPECT_EQ(inRange(r.v, r.lo, r.hi), r.in) << r.v;
}

TEST(Numbers, StepRoundSwap) {
    const struct {
        float value, target, step, after;
    } steps[] = {{0.9f, 1.0f, 0.25f, 1.0f}, {1.2f, 1.0f, 0.25f, 1.2f}, {0.0f, 1.0f, 0.25f, 0.25f}};
    for (const auto& s : steps) {
        float v = s.value;
        stepTowards(v, s.target, s.step);
        EXPECT_FLOAT_EQ(v, s.after) << s.value;
    }

    const struct {
        float v;
        int r;
    } rounds[] = {{0.5f, 0}, {1.5f, 2}, {2.5f, 2}, {-2.5f, -2}, {2.51f, 3}, {-0.49f, 0}};
    for (const auto& r : rounds) EXPECT_EQ(roundToInt(r.v), r.r) << r.v;

    float a = 1.0f, b = 2.0f;
    swapFloat(&a, &b);
    EXPECT_EQ(a, 2.0f);
    EXPECT_EQ(b, 1.0f);
}

TEST(Numbers, IsOneOfThreeOrFour) {
    EXPECT_TRUE(IsOneOf(3, 1, 2, 3));
    EXPECT_TRUE(IsOneOf(4, 1, 2, 3, 4));
    EXPECT_FALSE(IsOneOf(5, 1, 2, 3, 4));
    EXPECT_FALSE(IsOneOf(0, 1, 2, 3));
}

TEST(Fixed12, Arithmetic) {
    Fixed12 f(3, 2048);  // 3.5
    EXPECT_EQ(f.Raw(), 3 * 4096 + 2048);
    EXPECT_EQ((f * 2).ToInt(), 7);
    EXPECT_EQ((f / 2).Raw(), (3 * 4096 + 2048) / 2);
    EXPECT_EQ((f + int16_t(-5)).Raw(), -2 * 4096 + 2048);
    EXPECT_EQ(Fixed12(-1, 2048).ToInt(), -1);  // -0.5 rounds towards minus infinity
    EXPECT_EQ((f / 0).Raw(), f.Raw());
}

}  // namespace
