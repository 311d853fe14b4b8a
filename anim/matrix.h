// 3x3 affine matrices in the row-vector convention, the point transform, small vector measures
// and the cubic solver behind the animation curves.
#pragma once

#include <cstdint>

#include "core/values.h"

// Results shared by the animation classes.
constexpr int32_t kAnimOk = 0;
constexpr int32_t kAnimFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kAnimInvalidArg = static_cast<int32_t>(0x80070057u);

// A point (x, y) is the row (x, y, 1) times the matrix: translation sits in the third row and
// A x B applies A first. A new matrix is unset; callers start it with one of the builders, which
// take the matrix by pointer, do nothing for null and return the pointer.
class Matrix3f {
public:
    Matrix3f() {}
    virtual ~Matrix3f() {}

    static Matrix3f* SetIdentity(Matrix3f* m);
    static Matrix3f* SetRotation(Matrix3f* m, float angle);
    static Matrix3f* SetTranslation(Matrix3f* m, float x, float y);
    static Matrix3f* SetScale(Matrix3f* m, float sx, float sy);

    // out := this x other; out may be this or other.
    void Multiply(Matrix3f* out, const Matrix3f& other) const;
    Matrix3f& operator*=(const Matrix3f& other);

    // The inverse of an affine matrix; a matrix whose third column is not (0, 0, 1) within 0.001
    // leaves out as it was. Null when either pointer is null. A singular matrix gives non-finite
    // elements.
    static Matrix3f* InverseAffine(Matrix3f* out, const Matrix3f* m);

    float m[3][3];
};

// 0, kAnimFail for a null argument, kAnimInvalidArg (out untouched) when the homogeneous
// coordinate is 0.
int32_t transformPoint(Vec2f* out, const Vec2f* point, const Matrix3f* matrix);

float vecLength(float x, float y);
// v unchanged when its length is not above 0.00001.
Vec2f vecNormalised(const Vec2f& v);
// The angle against the x axis in [0, 2 pi); 0 for a (near) zero vector.
float vecAngle(const Vec2f& v);
// True for the powers of two and for 0.
bool isPowerOfTwo(uint32_t n);

// Real roots of s^3 + a s^2 + b s + c = 0. Returns 3 (three real roots), 2 (roots[0] and the
// double root roots[1]) or 1 (roots[0] only; roots[2] holds the imaginary part of the other
// pair); -1 for a null output.
int solveCubic(double roots[3], double a, double b, double c);
