// Helpers shared by the effect sources: float to integer conversions that stay defined for any
// float the particle arithmetic can produce.
#pragma once

#include <cstdint>

// Truncates towards zero, limited to +-2^30 so far-flown particles still give an integer; NaN 0.
inline int fxTrunc(float v) {
    constexpr float kLimit = 1073741824.0f;
    if (!(v == v)) return 0;
    if (v >= kLimit) return static_cast<int>(kLimit);
    if (v <= -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(v);
}

// A colour channel 0..1 as a byte: times 255, truncated, clamped to 0..255 (NaN 0).
inline uint32_t fxChannel(float c) {
    const float v = c * 255.0f;
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<uint32_t>(v);
}

inline uint32_t fxPack(float r, float g, float b, float a) {
    return (fxChannel(a) << 24) | (fxChannel(r) << 16) | (fxChannel(g) << 8) | fxChannel(b);
}
