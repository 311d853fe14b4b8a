// Tests of textured triangles: quad coverage, orientation, texture mapping and range, the
// per-material texel rules and input that must not reach outside any storage.
#include "engine/gr/gr.h"
#include "engine/gr/triangle.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace drawtest;

struct P {
    float x, y;
};

// The two triangles of a quad as the effect actor draws them: corners top-left, top-right,
// bottom-right, bottom-left; texture corners (0,0), (1,0), (1,1), (0,1).
void drawQuad(sMaterial m, HSPRITE s, P p0, P p1, P p2, P p3, uint32_t colour) {
    SpriteBlt(m, p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, s, 0, 0, 1, 0, 1, 1, colour, 0);
    SpriteBlt(m, p0.x, p0.y, p2.x, p2.y, p3.x, p3.y, s, 0, 0, 1, 1, 0, 1, colour, 0);
}

TEST(Triangles, QuadCoversEachPixelOnce) {
    // Additive drawing shows a pixel drawn twice as twice the value.
    const uint16_t one = 0x1082;
    auto tex = makeSprite(8, 8, {one});
    Canvas canvas(16, 16, 0);
    drawQuad(mem(1, 2, 1, 31), tex.get(), {2, 2}, {10, 2}, {10, 10}, {2, 10}, 0xFFFFFFFF);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool inside = x >= 2 && x < 10 && y >= 2 && y < 10;
            EXPECT_EQ(canvas.at(x, y), inside ? one : 0) << x << "," << y;
        }
    }

    // Rotated, the shared diagonal is still drawn once and the area is filled.
    Canvas turned(32, 32, 0);
    float c = std::cos(0.5f), s = std::sin(0.5f);
    P corner[4];
    const float half[4][2] = {{-6, -6}, {6, -6}, {6, 6}, {-6, 6}};
    for (int i = 0; i < 4; ++i)
        corner[i] = {16 + c * half[i][0] - s * half[i][1], 16 + s * half[i][0] + c * half[i][1]};
    drawQuad(mem(1, 2, 1, 31), tex.get(), corner[0], corner[1], corner[2], corner[3],
             0xFFFFFFFF);
    int drawn = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            uint16_t v = turned.at(x, y);
            EXPECT_TRUE(v == 0 || v == one) << x << "," << y;
            drawn += v == one;
        }
    }
    EXPECT_NEAR(drawn, 144, 24);  // 12 x 12, less what the half-texel offset maps outside
}

TEST(Triangles, CounterClockwiseDrawsNothing) {
    auto tex = makeSprite(8, 8, {0x1082});
    Canvas canvas(16, 16, 0);
    SpriteBlt(mem(1, 2, 1, 30), 2, 2, 10, 10, 10, 2, tex.get(), 0, 0, 1, 1, 1, 0, 0xFFFFFFFF, 0);
    SpriteBlt(mem(1, 2, 1, 30), 2, 2, 2, 10, 10, 10, tex.get(), 0, 0, 0, 1, 1, 1, 0xFFFFFFFF, 0);
    // Three points on a line pass the orientation test and cover no pixel.
    SpriteBlt(mem(1, 2, 1, 30), 1, 1, 5, 5, 9, 9, tex.get(), 0, 0, 1, 0, 1, 1, 0xFFFFFFFF, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(canvas.at(x, y), 0) << x << "," << y;
}

TEST(Triangles, TextureMapsTexelsToPixels) {
    std::vector<uint16_t> texels(64);
    for (int i = 0; i < 64; ++i) texels[i] = static_cast<uint16_t>(100 + i);
    auto tex = makeSprite(8, 8, texels);
    Canvas canvas(12, 12, 0);
    drawQuad(mem(1, 2, 1, 30), tex.get(), {3, 2}, {11, 2}, {11, 10}, {3, 10}, 0xFFFFFFFF);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(canvas.at(3 + x, 2 + y), 100 + y * 8 + x);

    // A texture coordinate of 1.0 is past the last texel: the pixels stay as they were.
    Canvas edge(12, 12, 0);
    SpriteBlt(mem(1, 2, 1, 30), 0, 0, 8, 0, 8, 8, tex.get(), 1, 0, 1, 0, 1, 1, 0xFFFFFFFF, 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) EXPECT_EQ(edge.at(x, y), 0) << x << "," << y;
}

TEST(Triangles, TintedAlphaBlendsAt240AndTintsAbove) {
    const uint16_t d = 0x4208, s = 0x1234;
    struct Case {
        int alpha;
        uint16_t out;
    } cases[] = {{240, 0x0909}, {241, 0x090A}, {15, d}};
    for (const Case& c : cases) {
        auto tex = makeSprite(4, 4, {s}, {static_cast<uint8_t>(c.alpha)});
        Canvas canvas(8, 8, d);
        drawQuad(mem(2, 4, 1, 30), tex.get(), {0, 0}, {4, 0}, {4, 4}, {0, 4}, 0xFF808080);
        EXPECT_EQ(canvas.at(1, 1), c.out) << c.alpha;
        EXPECT_EQ(canvas.at(5, 5), d);
    }
}

TEST(Triangles, TexelRules) {
    const uint16_t d = 0x4208, s = 0x1234;
    struct Case {
        const char* what;
        TexelForm form;
        uint16_t src;
        int alpha;
        uint32_t colour;
        uint16_t out;
    } cases[] = {
        {"copy", texelCopy, s, 0, 0xFFFFFFFF, s},
        {"copy skips 0", texelCopy, 0, 0, 0xFFFFFFFF, d},
        {"add", texelAdd, s, 0, 0xFFFFFFFF, 0x541C},
        {"add skips 0", texelAdd, 0, 0, 0xFFFFFFFF, d},
        {"alpha 15", texelAlpha, s, 15, 0xFFFFFFFF, d},
        {"alpha 100", texelAlpha, s, 100, 0xFFFFFFFF, 0x2A0C},
        {"alpha 240", texelAlpha, s, 240, 0xFFFFFFFF, s},
        {"colour alpha 15", texelConstAlpha, s, 0, 0x0FFFFFFF, d},
        {"colour alpha 128", texelConstAlpha, s, 0, 0x80FFFFFF, 0x2A0E},
        {"colour alpha 240", texelConstAlpha, s, 0, 0xF0FFFFFF, s},
        {"alpha times colour", texelAlphaConst, s, 255, 0x80FFFFFF, 0x2A0D},
        {"tinted alpha 240", texelAlphaTint, s, 240, 0xFF808080, 0x0909},
        {"tinted alpha 241", texelAlphaTint, s, 241, 0xFF808080, 0x090A},
        {"tinted colour alpha", texelConstAlphaTint, s, 0, 0x80808080, 0x2989},
        {"tinted alpha times colour 240", texelAlphaConstTint, s, 255, 0xF1808080, 0x0909},
        {"tinted alpha times colour 241", texelAlphaConstTint, s, 255, 0xF2808080, 0x090A},
        {"tinted add", texelAddTint, s, 0, 0xFFC86432, 0x4ACB},
        {"tinted alpha add", texelAlphaAddTint, s, 128, 0xFFC86432, 0x4269},
        {"tinted alpha add 15", texelAlphaAddTint, s, 15, 0xFFC86432, d},
        {"alpha add", texelAlphaAdd, s, 128, 0xFFFFFFFF, 0x4312},
        {"alpha times colour add", texelAlphaConstAdd, s, 255, 0x80FFFFFF, 0x4311},
        {"colour alpha add", texelConstAlphaAdd, s, 0, 0x80FFFFFF, 0x4312},
    };
    for (const Case& c : cases) {
        auto tex = makeSprite(2, 2, {c.src}, {static_cast<uint8_t>(c.alpha)});
        ASSERT_TRUE(triSetupTexture(tex.get(), 0));
        DrawColour colour = pxSplitColour(c.colour);
        uint16_t px = d;
        c.form(&px, 1, 2, colour);  // texel (1, 1): row offset 1 x width
        EXPECT_EQ(px, c.out) << c.what;
        // Texels outside the frame on any side leave the pixel alone.
        uint16_t outside = d;
        c.form(&outside, 2, 0, colour);
        c.form(&outside, -1, 0, colour);
        c.form(&outside, 0, 4, colour);
        c.form(&outside, 0, -2, colour);
        EXPECT_EQ(outside, d) << c.what;
    }
}

TEST(Triangles, MaterialsOfEffectsDrawAndUnknownOnesLogOnce) {
    logOpen();
    size_t logStart = logText().size();
    auto tex = makeSprite(4, 4, {0x1234}, {255});
    Canvas canvas(8, 8, 0);
    // Additive sprite alpha times colour alpha: opaque, faded, and on a sprite without alpha.
    drawQuad(mem(4, 2, 1, 31), tex.get(), {0, 0}, {4, 0}, {4, 4}, {0, 4}, 0xFFFFFFFF);
    EXPECT_EQ(canvas.at(1, 1), pxSatAdd(0, pxScaled(0x1234, 255)));
    drawQuad(mem(4, 2, 1, 31), tex.get(), {4, 4}, {8, 4}, {8, 8}, {4, 8}, 0x80FFFFFF);
    EXPECT_EQ(canvas.at(5, 5), pxSatAdd(0, pxScaled(0x1234, 127)));
    auto plain = makeSprite(4, 4, {0x1234});
    drawQuad(mem(4, 2, 1, 31), plain.get(), {4, 0}, {8, 0}, {8, 4}, {4, 4}, 0x80FFFFFF);
    EXPECT_EQ(canvas.at(5, 1), pxSatAdd(0, pxScaled(0x1234, 128)));

    for (int i = 0; i < 3; ++i)
        drawQuad(mem(2, 7, 1, 30), tex.get(), {0, 4}, {4, 4}, {4, 8}, {0, 8}, 0xFF102030);
    EXPECT_EQ(canvas.at(1, 5), 0);
    std::string log = logText().substr(logStart);
    EXPECT_EQ(countOf(log, "SpriteBlt Unknown material: sMaterial(7,2,1,30)\n"), 1);
    EXPECT_EQ(countOf(log, "Unknown material"), 1);
}

TEST(Triangles, HostileInputStaysInside) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Sizes that are not powers of two keep texel indices within the frame.
    auto odd = makeSprite(6, 5, {0x1234}, {200});
    Canvas canvas(10, 10, 0);
    drawQuad(mem(2, 2, 1, 30), odd.get(), {-3, -4}, {14, -2}, {12, 13}, {-5, 11}, 0xFFFFFFFF);
    drawQuad(mem(2, 2, 1, 30), odd.get(), {0, 0}, {9, 0}, {9, 9}, {0, 9}, 0xFFFFFFFF);
    float bad[] = {inf, -inf, nan, 3e9f, -3e9f};
    for (float b : bad) {
        SpriteBlt(mem(1, 2, 1, 30), b, 0, 8, 0, 8, 8, odd.get(), 0, 0, 1, 0, 1, 1, 0xFFFFFFFF, 0);
        SpriteBlt(mem(1, 2, 1, 30), 0, 0, 8, b, 8, 8, odd.get(), 0, 0, 1, 0, 1, 1, 0xFFFFFFFF, 0);
        SpriteBlt(mem(1, 2, 1, 30), 0, 0, 8, 0, 8, 8, odd.get(), 0, 0, b, 0, 1, 1, 0xFFFFFFFF, 0);
    }
    // Far off-screen vertices and extreme texture gradients.
    SpriteBlt(mem(1, 2, 1, 30), -1e8f, -1e8f, 1e8f, -1e8f, 1e8f, 1e8f, odd.get(), 0, 0, 1e6f, 0,
              1e6f, -1e6f, 0xFFFFFFFF, 0);
    SpriteBlt(mem(1, 2, 1, 30), 0, 0, 9, 0, 0.00001f, 9, odd.get(), 0, 0, 1e30f, -1e30f, 1e30f,
              1e30f, 0xFFFFFFFF, 0);
    // A frame the storage does not hold draws nothing: four frames said, one stored.
    auto frames = makeSprite(4, 4, {});
    free(frames->pixels);
    frames->pixels = nullptr;
    frames->surface = grCreateSurface(4, 4, 0);
    for (int i = 0; i < 16; ++i) frames->surface->pixels[i] = 0x1234;
    frames->frames = 4;
    frames->period = 4;
    Canvas clean(8, 8, 0x5555);
    SpriteBlt(mem(1, 2, 1, 30), 0, 0, 4, 0, 4, 4, frames.get(), 0, 0, 1, 0, 1, 1, 0xFFFFFFFF, 2);
    EXPECT_EQ(clean.at(3, 1), 0x5555);
    SpriteBlt(mem(1, 2, 1, 30), 0, 0, 4, 0, 4, 4, frames.get(), 0, 0, 1, 0, 1, 1, 0xFFFFFFFF, 0);
    EXPECT_EQ(clean.at(3, 1), 0x1234);  // frame 0 is stored
}

}  // namespace
