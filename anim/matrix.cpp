// Matrices, vector measures and the cubic solver.
#include "anim/matrix.h"

#include <cmath>

namespace {
constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.1415927f;
}  // namespace

Matrix3f* Matrix3f::SetIdentity(Matrix3f* m) {
    if (!m) return m;
    for (auto& row : m->m)
        for (float& v : row) v = 0.0f;
    m->m[0][0] = m->m[1][1] = m->m[2][2] = 1.0f;
    return m;
}

Matrix3f* Matrix3f::SetRotation(Matrix3f* m, float angle) {
    if (!SetIdentity(m)) return m;
    const float c = std::cos(angle), s = std::sin(angle);
    m->m[0][0] = m->m[1][1] = c;
    m->m[0][1] = s;
    m->m[1][0] = -s;
    return m;
}

Matrix3f* Matrix3f::SetTranslation(Matrix3f* m, float x, float y) {
    if (!SetIdentity(m)) return m;
    m->m[2][0] = x;
    m->m[2][1] = y;
    return m;
}

Matrix3f* Matrix3f::SetScale(Matrix3f* m, float sx, float sy) {
    if (!SetIdentity(m)) return m;
    m->m[0][0] = sx;
    m->m[1][1] = sy;
    return m;
}

void Matrix3f::Multiply(Matrix3f* out, const Matrix3f& other) const {
    if (!out) return;
    float r[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 3; ++k) sum += m[i][k] * other.m[k][j];
            r[i][j] = sum;
        }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out->m[i][j] = r[i][j];
}

Matrix3f& Matrix3f::operator*=(const Matrix3f& other) {
    Multiply(this, other);
    return *this;
}

Matrix3f* Matrix3f::InverseAffine(Matrix3f* out, const Matrix3f* in) {
    if (!out || !in) return nullptr;
    const auto& m = in->m;
    if (std::fabs(m[2][2] - 1.0f) > 0.001f || std::fabs(m[0][2]) > 0.001f ||
        std::fabs(m[1][2]) > 0.001f)
        return out;
    const float inv = 1.0f / (m[1][1] * m[0][0] - m[1][0] * m[0][1]);
    const float a = inv * m[1][1], b = -inv * m[0][1], c = -inv * m[1][0], d = inv * m[0][0];
    const float tx = m[2][0], ty = m[2][1];  // read before out may overwrite them
    out->m[0][0] = a;
    out->m[0][1] = b;
    out->m[0][2] = 0.0f;
    out->m[1][0] = c;
    out->m[1][1] = d;
    out->m[1][2] = 0.0f;
    out->m[2][0] = -(tx * a + ty * c);
    out->m[2][1] = -(tx * b + ty * d);
    out->m[2][2] = 1.0f;
    return out;
}

int32_t transformPoint(Vec2f* out, const Vec2f* p, const Matrix3f* matrix) {
    if (!out || !p || !matrix) return kAnimFail;
    const auto& m = matrix->m;
    const float x = p->x * m[0][0] + p->y * m[1][0] + m[2][0];
    const float y = p->x * m[0][1] + p->y * m[1][1] + m[2][1];
    const float w = p->x * m[0][2] + p->y * m[1][2] + m[2][2];
    if (std::fabs(w) < 0.00001f) return kAnimInvalidArg;
    out->Set(x / w, y / w);
    return kAnimOk;
}

float vecLength(float x, float y) { return std::sqrt(x * x + y * y); }

Vec2f vecNormalised(const Vec2f& v) {
    const float len = vecLength(v.x, v.y);
    if (len > 0.00001f) return Vec2f(v.x / len, v.y / len);
    return v;
}

float vecAngle(const Vec2f& v) {
    const float len = vecLength(v.x, v.y);
    if (len <= 0.00001f) return 0.0f;
    const float c = v.x / len;
    if (std::fabs(c) >= 0.707f) {
        const float a = std::acos(c);
        return v.y < 0.0f ? kTwoPi - a : a;
    }
    float s = std::sqrt(1.0f - c * c);
    if (v.y < 0.0f) s = -s;
    float a = std::asin(s);
    if (v.x < 0.0f) a = kPi - a;
    if (a < 0.0f) a += kTwoPi;
    return a;
}

bool isPowerOfTwo(uint32_t n) { return ((n - 1u) | n) == 2u * n - 1u; }

int solveCubic(double roots[3], double a, double b, double c) {
    if (!roots) return -1;
    const double q = (a * a - 3.0 * b) / 9.0;
    const double r = (c * 27.0 + (a * 2.0 * a - b * 9.0) * a) / 54.0;
    const double q3 = q * q * q;
    if (q3 <= r * r) {
        const double sign = r > 0.0 ? 1.0 : -1.0;
        const double big = -sign * std::cbrt(std::fabs(r) + std::sqrt(r * r - q3));
        const double small = std::fabs(big) > 0.00001 ? q / big : 0.0;
        roots[0] = (big + small) - a / 3.0;
        roots[1] = -(big + small) / 2.0 - a / 3.0;
        roots[2] = std::fabs(big - small) * std::sqrt(3.0) / 2.0;
        return roots[2] < 0.00001 ? 2 : 1;
    }
    const double theta = std::acos(r / std::sqrt(q3));
    const double k = -2.0 * std::sqrt(q);
    const double twoPi = static_cast<double>(kTwoPi);
    roots[0] = k * std::cos(theta / 3.0) - a / 3.0;
    roots[1] = k * std::cos((theta + twoPi) / 3.0) - a / 3.0;
    roots[2] = k * std::cos((theta - twoPi) / 3.0) - a / 3.0;
    return 3;
}
