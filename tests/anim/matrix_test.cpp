// Matrices, the point transform, vector measures, the cubic solver and the easing curve.
#include "anim/matrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "anim/animation_keys.h"

namespace {

constexpr float kPi = 3.14159265f;

void expectIdentity(const Matrix3f& m) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(m.m[r][c], r == c ? 1.0f : 0.0f, 1e-5f) << r << c;
}

TEST(Matrix, BuildersProductsAndPoints) {
    Matrix3f t, r, m;
    Matrix3f::SetTranslation(&t, 10, 20);
    Vec2f out;
    const Vec2f p(2, 3);
    ASSERT_EQ(transformPoint(&out, &p, &t), kAnimOk);
    EXPECT_FLOAT_EQ(out.x, 12);
    EXPECT_FLOAT_EQ(out.y, 23);

    // Row vectors: R x T rotates first, then moves.
    Matrix3f::SetRotation(&r, kPi / 2);
    r.Multiply(&m, t);
    const Vec2f unit(1, 0);
    transformPoint(&out, &unit, &m);
    EXPECT_NEAR(out.x, 10, 1e-5f);
    EXPECT_NEAR(out.y, 21, 1e-5f);
    // out may be one of the operands.
    r.Multiply(&r, t);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_FLOAT_EQ(r.m[i][j], m.m[i][j]);

    Matrix3f inv;
    Matrix3f::SetRotation(&r, 0.5f);
    r *= t;
    ASSERT_EQ(Matrix3f::InverseAffine(&inv, &r), &inv);
    r *= inv;
    expectIdentity(r);
    EXPECT_EQ(Matrix3f::SetIdentity(nullptr), nullptr);
    EXPECT_EQ(Matrix3f::InverseAffine(nullptr, &t), nullptr);
}

TEST(Matrix, RefusedInputs) {
    Matrix3f flat;
    Matrix3f::SetIdentity(&flat);
    flat.m[2][2] = 0;
    Vec2f out(7, 7);
    const Vec2f p(1, 1);
    EXPECT_EQ(transformPoint(&out, &p, &flat), kAnimInvalidArg);
    EXPECT_EQ(out.x, 7);
    EXPECT_EQ(transformPoint(nullptr, &p, &flat), kAnimFail);

    // Not affine: out is left as it was.
    Matrix3f skew, out3;
    Matrix3f::SetIdentity(&skew);
    skew.m[0][2] = 0.5f;
    Matrix3f::SetScale(&out3, 3, 3);
    Matrix3f::InverseAffine(&out3, &skew);
    EXPECT_EQ(out3.m[0][0], 3);
}

TEST(VectorMeasures, AnglesNormalsAndPowers) {
    struct Case {
        Vec2f v;
        float angle;
    } cases[] = {{{1, 0}, 0}, {{0, 1}, kPi / 2}, {{-1, 0}, kPi}, {{0, -1}, 3 * kPi / 2},
                 {{1, -1}, 7 * kPi / 4}, {{-1, 1}, 3 * kPi / 4}, {{0, 0}, 0}};
    for (const Case& c : cases) EXPECT_NEAR(vecAngle(c.v), c.angle, 1e-5f) << c.v.x << "," << c.v.y;
    EXPECT_FLOAT_EQ(vecNormalised(Vec2f(3, 4)).x, 0.6f);
    EXPECT_EQ(vecNormalised(Vec2f(0, 0)).x, 0);
    EXPECT_FLOAT_EQ(vecLength(3, 4), 5);
    EXPECT_TRUE(isPowerOfTwo(0));
    EXPECT_TRUE(isPowerOfTwo(1));
    EXPECT_TRUE(isPowerOfTwo(1u << 31));
    EXPECT_FALSE(isPowerOfTwo(6));
}

TEST(SolveCubic, RootCountsAndValues) {
    struct Case {
        double a, b, c;
        int count;
        std::vector<double> roots;  // the real roots, sorted
    } cases[] = {
        {-1, -6, 0, 3, {-2, 0, 3}},  // s^3 - s^2 - 6s
        {0, 0, -1, 1, {1}},          // s^3 - 1
        {-3, 3, -1, 2, {1, 1}},      // (s - 1)^3: a triple root reported as a double one
        {-4, 5, -2, 2, {1, 2}},      // (s - 1)^2 (s - 2)
    };
    for (const Case& c : cases) {
        double roots[3];
        ASSERT_EQ(solveCubic(roots, c.a, c.b, c.c), c.count) << c.a << " " << c.b << " " << c.c;
        std::vector<double> got(roots, roots + std::min(c.count, 3));
        std::sort(got.begin(), got.end());
        for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.roots[i], 1e-4) << i;
    }
    EXPECT_EQ(solveCubic(nullptr, 0, 0, 0), -1);
}

TEST(FilterDesc, KindsAndEdges) {
    C_FilterDesc f;
    f.kind = 0;
    EXPECT_FLOAT_EQ(f.Blend(10, 20, 0.25f), 12.5f);
    f.kind = 1;
    EXPECT_FLOAT_EQ(f.Blend(10, 20, 0.75f), 10);
    f.kind = 2;
    EXPECT_FLOAT_EQ(f.Blend(0, 1, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(f.Blend(0, 1, 0.25f), 0.15625f);
    EXPECT_FLOAT_EQ(f.Evaluate(3, 9, -1), 3);
    EXPECT_FLOAT_EQ(f.Evaluate(3, 9, 2), 9);
}

// With other control vectors the time axis is a Hermite curve of its own: find s with
// h(s) = t, then the value curve at s.
TEST(FilterDesc, ControlVectorsFollowTheHermiteCurves) {
    const struct {
        float c1x, c1y, c2x, c2y;
    } cases[] = {{0.5f, 0, 2, 0}, {1, 3, 1, -2}, {2.5f, 1, 0.2f, 0}, {1.5f, 0, 0.8f, 0.5f}};
    for (const auto& c : cases) {
        C_FilterDesc f;
        f.kind = 2;
        f.c1.Set(c.c1x, c.c1y);
        f.c2.Set(c.c2x, c.c2y);
        for (float t : {0.1f, 0.3f, 0.5f, 0.8f}) {
            auto h = [](double s, double p0, double p1, double m0, double m1) {
                const double s2 = s * s, s3 = s2 * s;
                return (2 * s3 - 3 * s2 + 1) * p0 + (-2 * s3 + 3 * s2) * p1 +
                       (s3 - 2 * s2 + s) * m0 + (s3 - s2) * m1;
            };
            // Time curve from 0 to 1, start slope c2x, end slope c1x; bisection on [0, 1].
            double lo = 0, hi = 1;
            for (int i = 0; i < 60; ++i) {
                const double mid = (lo + hi) / 2;
                (h(mid, 0, 1, c.c2x, c.c1x) < t ? lo : hi) = mid;
            }
            const double expected = h(lo, 4, 10, c.c2y, c.c1y);
            EXPECT_NEAR(f.Evaluate(4, 10, t), expected, 2e-3) << c.c1x << " " << c.c2x << " t " << t;
        }
    }
}

}  // namespace
