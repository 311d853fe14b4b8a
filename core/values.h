// Small value types passed to every drawing and layout call, and the number helpers around them.
#pragma once

#include <cstdint>

struct Point2i {
    Point2i() {}  // left unset: callers assign next
    Point2i(int32_t x_, int32_t y_) : x(x_), y(y_) {}

    Point2i& operator+=(const Point2i& p) {
        x += p.x;
        y += p.y;
        return *this;
    }
    Point2i operator+(const Point2i& p) const { return Point2i(x + p.x, y + p.y); }
    Point2i operator-(const Point2i& p) const { return Point2i(x - p.x, y - p.y); }
    // Truncates towards zero; a divisor of 0 counts as 1.
    Point2i operator/(int32_t n) const;

    int32_t x, y;
};

struct Vec2f {
    Vec2f() : x(0.0f), y(0.0f) {}
    Vec2f(float x_, float y_) : x(x_), y(y_) {}

    Vec2f& Set(float x_, float y_) {
        x = x_;
        y = y_;
        return *this;
    }
    Vec2f operator+(const Vec2f& v) const { return Vec2f(x + v.x, y + v.y); }
    Vec2f operator-(const Vec2f& v) const { return Vec2f(x - v.x, y - v.y); }
    Point2i ToPoint2i() const;  // both components through roundToInt

    float Length() const;  // sqrt(x*x + y*y)
    // Divides by the length; a vector of length 0 stays as it is.
    void Normalize();
    Vec2f Scaled(float s) const { return Vec2f(x * s, y * s); }
    // Multiplies by 1 / s; a divisor of 0 counts as 0.0001 of a multiplier, so a division by
    // zero shrinks the vector instead of filling it with infinities.
    Vec2f operator/(float s) const;
    static float Distance(const Vec2f& a, const Vec2f& b);

    float x, y;
};

// The level world's name for the two-float vector.
using Vec2 = Vec2f;

inline Vec2f IntPointToVec2(const Point2i& p) { return Vec2f(float(p.x), float(p.y)); }

struct Point16 {
    Point16() : x(0), y(0) {}
    Point16(int16_t x_, int16_t y_) : x(x_), y(y_) {}

    Point2i ToPoint2i() const { return Point2i(x, y); }

    int16_t x, y;
};

// Keeps the low 16 bits of each coordinate.
Point16 getPoint16(const Point2i& p);

// Byte order b, g, r, a: read as a little-endian 32-bit word the colour is 0xAARRGGBB.
struct ColorRGBA {
    ColorRGBA() {}  // left unset: callers assign next
    // Each component is clamped to 0..255 (see Set).
    ColorRGBA(int r_, int g_, int b_, int a_) { Set(r_, g_, b_, a_); }

    ColorRGBA& Set(int r_, int g_, int b_, int a_);
    uint32_t Argb() const {
        return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
    }

    uint8_t b, g, r, a;
};
static_assert(sizeof(ColorRGBA) == 4, "a colour is one 32-bit word");

// A blend material, written as its constructor arguments (a, b, c, d) and kept as b, a, c, d.
struct sMaterial {
    sMaterial(uint8_t a, uint8_t b, uint8_t c, uint8_t d) : bytes{b, a, c, d} {}

    uint8_t bytes[4];
};

// A signed 20.12 fixed-point number.
class Fixed12 {
public:
    Fixed12(int32_t integer, int32_t fraction);

    Fixed12 operator*(int32_t n) const;
    Fixed12 operator/(int32_t n) const;  // truncates; a divisor of 0 counts as 1
    Fixed12 operator+(int16_t n) const;
    int32_t ToInt() const { return raw_ >> 12; }  // towards minus infinity
    int32_t Raw() const { return raw_; }

private:
    static Fixed12 fromRaw(int32_t raw);
    int32_t raw_;
};

// True when v equals one of the values.
template <class T, class... U>
bool IsOneOf(const T& v, const U&... values) {
    return ((v == values) || ...);
}

// Nearest integer, halves to the even neighbour.
int roundToInt(float v);
// With a NaN operand both give their second argument.
float floatMin(float a, float b);
float FloatMax(float a, float b);
// v limited to [lo, hi]; hi when lo > hi.
float FloatClamp(float v, float lo, float hi);
int IntClamp(int v, int lo, int hi);
// lo <= v <= hi compared as unsigned 32-bit numbers, so a negative v is out of any small range.
bool inRange(int32_t v, int32_t lo, int32_t hi);
// Moves value up by step without passing target; a value at or above target stays.
void stepTowards(float& value, float target, float step);
void swapFloat(float* a, float* b);
