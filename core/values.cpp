// Arithmetic of the value types and the clamp, round and step helpers.
#include "core/values.h"

#include "core/array.h"

#include <cmath>

namespace {

// Divides through 64 bits so that the one quotient that does not fit (INT32_MIN / -1) wraps
// instead of trapping.
int32_t divideTruncating(int32_t v, int32_t n) {
    if (n == 0) n = 1;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(v) / n));
}

int32_t wrapping(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

uint8_t clampByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

Point2i Point2i::operator/(int32_t n) const {
    return Point2i(divideTruncating(x, n), divideTruncating(y, n));
}

Point2i Vec2f::ToPoint2i() const { return Point2i(roundToInt(x), roundToInt(y)); }

float Vec2f::Length() const { return std::sqrt(x * x + y * y); }

void Vec2f::Normalize() {
    float len = Length();
    if (len != 0.0f) {
        x /= len;
        y /= len;
    }
}

Vec2f Vec2f::operator/(float s) const {
    const float f = s == 0.0f ? 0.0001f : 1.0f / s;
    return Vec2f(x * f, y * f);
}

float Vec2f::Distance(const Vec2f& a, const Vec2f& b) {
    float dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

Point16 getPoint16(const Point2i& p) {
    return Point16(static_cast<int16_t>(static_cast<uint16_t>(p.x)),
                   static_cast<int16_t>(static_cast<uint16_t>(p.y)));
}

// Below 0 is clamped to 0 rather than kept as its low byte: an alpha that a fade steps past 0
// (a flying item's alpha drops by 10 a step and may read -5 on its last draw) must end
// transparent, and -1 kept as 255 would flash the item fully opaque instead.
ColorRGBA& ColorRGBA::Set(int r_, int g_, int b_, int a_) {
    r = clampByte(r_);
    g = clampByte(g_);
    b = clampByte(b_);
    a = clampByte(a_);
    return *this;
}

Fixed12::Fixed12(int32_t integer, int32_t fraction)
    : raw_(wrapping(static_cast<int64_t>(integer) * 4096 + fraction)) {}

Fixed12 Fixed12::fromRaw(int32_t raw) {
    Fixed12 f(0, 0);
    f.raw_ = raw;
    return f;
}

Fixed12 Fixed12::operator*(int32_t n) const {
    return fromRaw(wrapping(static_cast<int64_t>(raw_) * n));
}

Fixed12 Fixed12::operator/(int32_t n) const { return fromRaw(divideTruncating(raw_, n)); }

Fixed12 Fixed12::operator+(int16_t n) const {
    return fromRaw(wrapping(static_cast<int64_t>(raw_) + static_cast<int64_t>(n) * 4096));
}

int roundToInt(float v) { return static_cast<int>(std::lrintf(v)); }

float floatMin(float a, float b) { return a < b ? a : b; }

float FloatMax(float a, float b) { return a > b ? a : b; }

float FloatClamp(float v, float lo, float hi) { return floatMin(hi, FloatMax(lo, v)); }

int IntClamp(int v, int lo, int hi) { return IntMin(hi, IntMax(lo, v)); }

bool inRange(int32_t v, int32_t lo, int32_t hi) {
    uint32_t uv = static_cast<uint32_t>(v);
    return static_cast<uint32_t>(lo) <= uv && uv <= static_cast<uint32_t>(hi);
}

void stepTowards(float& value, float target, float step) {
    if (!(value < target)) return;
    value += step;
    value = floatMin(value, target);
}

void swapFloat(float* a, float* b) {
    float held = *a;
    *a = *b;
    *b = held;
}
