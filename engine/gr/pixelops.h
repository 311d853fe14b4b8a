// RGB565 pixel arithmetic shared by the rectangle blitter, its vector rows and the triangle filler.
#pragma once

#include <cstdint>

// A channel is taken in place: red 0xF800, green 0x07E0, blue 0x001F.
constexpr uint32_t kRed565 = 0xF800;
constexpr uint32_t kGreen565 = 0x07E0;
constexpr uint32_t kBlue565 = 0x001F;

// A draw colour 0xAARRGGBB split once per draw.
struct DrawColour {
    int a, r, g, b;
    uint16_t c565;  // the colour as an RGB565 pixel
};

inline uint16_t pxColour565(uint32_t colour) {
    uint32_t r = (colour >> 16) & 255, g = (colour >> 8) & 255, b = colour & 255;
    return static_cast<uint16_t>(((r & 248) << 8) | ((g & 252) << 3) | (b >> 3));
}

inline DrawColour pxSplitColour(uint32_t colour) {
    DrawColour c;
    c.a = static_cast<int>(colour >> 24);
    c.r = static_cast<int>((colour >> 16) & 255);
    c.g = static_cast<int>((colour >> 8) & 255);
    c.b = static_cast<int>(colour & 255);
    c.c565 = pxColour565(colour);
    return c;
}

// d moved towards s by k/256 per channel. A falling green or blue channel carries into the lowest
// bit of the channel above, since the sum is not masked again.
inline uint16_t pxBlend(uint32_t d, uint32_t s, int k) {
    int32_t dr = static_cast<int32_t>(d & kRed565), sr = static_cast<int32_t>(s & kRed565);
    int32_t dg = static_cast<int32_t>(d & kGreen565), sg = static_cast<int32_t>(s & kGreen565);
    int32_t db = static_cast<int32_t>(d & kBlue565), sb = static_cast<int32_t>(s & kBlue565);
    int32_t r = dr + ((((sr - dr) * k) >> 8) & static_cast<int32_t>(kRed565));
    int32_t g = dg + ((((sg - dg) * k) >> 8) & static_cast<int32_t>(kGreen565));
    int32_t b = db + ((((sb - db) * k) >> 8) & static_cast<int32_t>(kBlue565));
    return static_cast<uint16_t>(r | g | b);
}

// s multiplied by the colour's channel bytes.
inline uint16_t pxTint(uint32_t s, const DrawColour& c) {
    uint32_t r = (((s & kRed565) * c.r) >> 8) & kRed565;
    uint32_t g = (((s & kGreen565) * c.g) >> 8) & kGreen565;
    uint32_t b = ((s & kBlue565) * c.b) >> 8;
    return static_cast<uint16_t>(r | g | b);
}

// s plus the colour, each channel limited to its full value.
inline uint16_t pxAddColour(uint32_t s, const DrawColour& c) {
    uint32_t r = (s & kRed565) + (c.c565 & kRed565);
    uint32_t g = (s & kGreen565) + (c.c565 & kGreen565);
    uint32_t b = (s & kBlue565) + (c.c565 & kBlue565);
    return static_cast<uint16_t>((r < kRed565 ? r : kRed565) | (g < kGreen565 ? g : kGreen565) |
                                 (b < kBlue565 ? b : kBlue565));
}

// d plus q where q has the lowest bits of red and green clear: a channel that overflows becomes
// all ones through the carry it leaves in the bit below the next channel.
inline uint16_t pxSatAdd(uint32_t d, uint32_t q) {
    uint32_t t = (d & 0xF7DF) + q;
    uint32_t c = t & 0x10820;
    return static_cast<uint16_t>((c - (c >> 5)) | t);
}

// s times k/256, ready for pxSatAdd (lowest bits of red and green dropped).
inline uint16_t pxScaled(uint32_t s, int k) {
    uint32_t u = static_cast<uint32_t>(k);
    return static_cast<uint16_t>((((s & kRed565) * u) >> 8 & 0xF000) |
                                 (((s & kGreen565) * u) >> 8 & 0x07C0) |
                                 (((s & kBlue565) * u) >> 8 & 0x001F));
}

// s tinted by the colour and times k/256, ready for pxSatAdd.
inline uint16_t pxTintScaled(uint32_t s, const DrawColour& c, int k) {
    uint32_t u = static_cast<uint32_t>(k);
    uint32_t r = ((s & kRed565) * static_cast<uint32_t>(c.r) * u) >> 16 & 0xF000;
    uint32_t g = ((s & kGreen565) * static_cast<uint32_t>(c.g) * u) >> 16 & 0x07C0;
    uint32_t b = ((s & kBlue565) * static_cast<uint32_t>(c.b) * u) >> 16 & 0x001F;
    return static_cast<uint16_t>(r | g | b);
}

// Per channel d + ((s * colour) >> 8), limited to the channel's full value.
inline uint16_t pxAddTintLimited(uint32_t d, uint32_t s, const DrawColour& c) {
    uint32_t r = (d & kRed565) + ((((s & kRed565) * c.r) >> 8) & kRed565);
    uint32_t g = (d & kGreen565) + ((((s & kGreen565) * c.g) >> 8) & kGreen565);
    uint32_t b = (d & kBlue565) + ((((s & kBlue565) * c.b) >> 8) & kBlue565);
    return static_cast<uint16_t>((r < kRed565 ? r : kRed565) | (g < kGreen565 ? g : kGreen565) |
                                 (b < kBlue565 ? b : kBlue565));
}

// Per channel d + ((s * colour * k) >> 16), limited to the channel's full value.
inline uint16_t pxAddTintAlphaLimited(uint32_t d, uint32_t s, const DrawColour& c, int k) {
    uint32_t u = static_cast<uint32_t>(k);
    uint32_t r = (d & kRed565) + ((((s & kRed565) * static_cast<uint32_t>(c.r) * u) >> 16) & kRed565);
    uint32_t g =
        (d & kGreen565) + ((((s & kGreen565) * static_cast<uint32_t>(c.g) * u) >> 16) & kGreen565);
    uint32_t b =
        (d & kBlue565) + ((((s & kBlue565) * static_cast<uint32_t>(c.b) * u) >> 16) & kBlue565);
    return static_cast<uint16_t>((r < kRed565 ? r : kRed565) | (g < kGreen565 ? g : kGreen565) |
                                 (b < kBlue565 ? b : kBlue565));
}

// Per channel d + colour + s, limited to the channel's full value.
inline uint16_t pxAddColourLimited(uint32_t d, uint32_t s, const DrawColour& c) {
    uint32_t r = (d & kRed565) + (c.c565 & kRed565) + (s & kRed565);
    uint32_t g = (d & kGreen565) + (c.c565 & kGreen565) + (s & kGreen565);
    uint32_t b = (d & kBlue565) + (c.c565 & kBlue565) + (s & kBlue565);
    return static_cast<uint16_t>((r < kRed565 ? r : kRed565) | (g < kGreen565 ? g : kGreen565) |
                                 (b < kBlue565 ? b : kBlue565));
}
