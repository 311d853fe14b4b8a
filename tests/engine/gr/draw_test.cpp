// Tests of sprite drawing: pixel arithmetic, material simplification, the per-material rules,
// clipping, scaling and mirroring, the entry points' checks, primitives and debug text.
#include "engine/gr/blit.h"
#include "engine/gr/gr.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace drawtest;

// ---- pixel arithmetic ----

TEST(PixelOps, FormulasIncludingCarries) {
    DrawColour grey = pxSplitColour(0xFF808080);
    EXPECT_EQ(pxBlend(0xFFFF, 0x0000, 128), 0x7BEF);
    EXPECT_EQ(pxBlend(0x0000, 0xFFFF, 128), 0x7BEF);
    // A falling green or blue channel carries into the lowest bit of the channel above.
    EXPECT_EQ(pxBlend(0x07E0, 0x0000, 128), 0x0BE0);
    EXPECT_EQ(pxBlend(0x001F, 0x0000, 128), 0x002F);
    EXPECT_EQ(pxBlend(0x0020, 0x0000, 16), 0x0800);
    EXPECT_EQ(pxBlend(0x1234, 0xABCD, 100), 0x4AF1);
    EXPECT_EQ(pxTint(0xFFFF, grey), 0x7BEF);
    EXPECT_EQ(pxTint(0xFFFF, pxSplitColour(0xFFFFFFFF)), 0xF7DE);
    EXPECT_EQ(pxTint(0x1234, pxSplitColour(0xFFC86432)), 0x08C3);
    EXPECT_EQ(pxAddColour(0x8410, grey), 0xFFFF);
    EXPECT_EQ(pxAddColour(0x0001, pxSplitColour(0xFF0000FF)), 0x001F);
    // Overflowing channels become all ones; the carry stays in the bit above.
    EXPECT_EQ(pxSatAdd(0xFFFF, 0xF7DF), 0xFFFF);
    EXPECT_EQ(pxSatAdd(0x0000, 0x1082), 0x1082);
    EXPECT_EQ(pxSatAdd(0x001F, 0x0001), 0x003F);
    EXPECT_EQ(pxSatAdd(0x07C0, 0x0040), 0x0FC0);
    EXPECT_EQ(pxScaled(0xFFFF, 128), 0x73CF);
    EXPECT_EQ(pxScaled(0xFFFF, 255), 0xF7DE);
    EXPECT_EQ(pxScaled(0x1234, 77), 0x0086);
    EXPECT_EQ(pxTintScaled(0xFFFF, pxSplitColour(0xFFFF8040), 200), 0xC306);
    EXPECT_EQ(pxColour565(0x00FF8040), 0xFC08);
}

// ---- material simplification ----

TEST(ClassifyAlpha, SimplifiesForColourAndSource) {
    struct Case {
        sMaterial in;
        uint32_t colour;
        bool alpha;
        bool draws;
        sMaterial out;
    } cases[] = {
        {mem(3, 2, 1, 30), 0xF0FFFFFF, true, true, mem(1, 2, 1, 30)},
        {mem(3, 2, 1, 30), 0x0FFFFFFF, true, false, mem(3, 2, 1, 30)},
        {mem(3, 2, 1, 30), 0x80FFFFFF, true, true, mem(3, 2, 1, 30)},
        {mem(4, 2, 1, 30), 0xFFFFFFFF, true, true, mem(2, 2, 1, 30)},
        {mem(4, 2, 1, 30), 0x0AFFFFFF, true, false, mem(4, 2, 1, 30)},
        {mem(4, 4, 1, 30), 0x80F0F0F0, true, true, mem(4, 2, 1, 30)},
        {mem(4, 4, 1, 30), 0x80F0EFF0, true, true, mem(4, 4, 1, 30)},
        {mem(2, 7, 1, 30), 0xFF0F0F0F, true, true, mem(2, 2, 1, 30)},
        {mem(2, 7, 1, 30), 0xFF0F100F, true, true, mem(2, 7, 1, 30)},
        {mem(4, 2, 1, 31), 0x80FFFFFF, false, true, mem(3, 2, 1, 31)},
        {mem(4, 2, 1, 31), 0xFFFFFFFF, false, true, mem(1, 2, 1, 31)},
        {mem(2, 2, 1, 30), 0xFFFFFFFF, false, true, mem(1, 2, 1, 30)},
    };
    auto withAlpha = makeSprite(1, 1, {1}, {255});
    auto without = makeSprite(1, 1, {1});
    for (const Case& c : cases) {
        sMaterial m = c.in;
        EXPECT_EQ(grClassifyAlpha(&m, c.colour, c.alpha ? withAlpha.get() : without.get()), c.draws);
        if (c.draws) {
            EXPECT_EQ(memcmp(m.bytes, c.out.bytes, 4), 0) << std::hex << c.colour;
        }
    }
}

// ---- one pixel per material ----

TEST(DrawMaterials, PixelTable) {
    const uint16_t s = 0x1234, d = 0x4208;
    struct Case {
        const char* what;
        sMaterial m;
        uint16_t src;
        int alpha;  // -1: the sprite has no alpha plane
        bool key;
        uint32_t colour;
        uint16_t in, out;
        bool mirrored = false;
    } cases[] = {
        {"copy", mem(1, 2, 1, 30), s, -1, true, 0xFFFFFFFF, d, s},
        {"copy key skips 0", mem(1, 2, 1, 30), 0, -1, true, 0xFFFFFFFF, d, d},
        {"copy without key draws 0", mem(1, 2, 1, 30), 0, -1, false, 0xFFFFFFFF, d, 0},
        {"sprite alpha without plane copies", mem(2, 2, 1, 30), s, -1, true, 0xFFFFFFFF, d, s},
        {"alpha 255", mem(2, 2, 1, 30), s, 255, true, 0xFFFFFFFF, d, s},
        {"alpha 240", mem(2, 2, 1, 30), s, 240, true, 0xFFFFFFFF, d, s},
        {"alpha 239", mem(2, 2, 1, 30), s, 239, true, 0xFFFFFFFF, d, 0x1213},
        {"alpha 16", mem(2, 2, 1, 30), s, 16, true, 0xFFFFFFFF, d, 0x3A08},
        {"alpha 15", mem(2, 2, 1, 30), s, 15, true, 0xFFFFFFFF, d, d},
        {"alpha draws 0 without key", mem(2, 2, 1, 30), 0, 255, true, 0xFFFFFFFF, d, 0},
        {"tint key", mem(1, 4, 1, 30), 0xFFFF, -1, true, 0xFF808080, d, 0x7BEF},
        {"tint by white is a copy", mem(2, 4, 1, 30), s, 255, true, 0xFFFFFFFF, d, s},
        {"tint by grey halves", mem(2, 4, 1, 30), 0xFFFF, 255, true, 0xFF808080, d, 0x7BEF},
        {"add colour", mem(1, 7, 1, 30), 0x8410, -1, true, 0xFF808080, d, 0xFFFF},
        {"silhouette opaque", mem(2, 3, 1, 30), s, 255, true, 0xFF00FF00, d, 0x07E0},
        {"silhouette half", mem(2, 3, 1, 30), s, 128, true, 0xFF00FF00, 0, 0x03E0},
        {"alpha add colour", mem(2, 7, 1, 30), 0, 128, true, 0xFF00FF00, d, 0x24E4},
        {"alpha times colour", mem(4, 2, 1, 30), s, 255, true, 0x80FFFFFF, d, 0x2A0D},
        {"alpha times opaque colour", mem(4, 2, 1, 30), s, 100, true, 0xFFFFFFFF, d,
         pxBlend(d, s, 100)},
        {"alpha times colour, tinted", mem(4, 4, 1, 30), s, 255, true, 0xC8808080, d, 0x1929},
        {"colour alpha, key", mem(3, 2, 1, 30), 0, -1, true, 0x80FFFFFF, d, d},
        {"colour alpha", mem(3, 2, 1, 30), s, -1, true, 0x80FFFFFF, d, 0x2A0E},
        {"colour alpha tinted, zero rule", mem(3, 4, 1, 30), 0, -1, false, 0x80808080, d, d},
        {"colour alpha tinted mirrored, key", mem(3, 4, 1, 30), 0, -1, false, 0x80808080, d, 0x2924,
         true},
        {"add over white", mem(1, 2, 1, 31), s, -1, true, 0xFFFFFFFF, 0xFFFF, 0xFFFF},
        {"add over black", mem(1, 2, 1, 31), s, -1, true, 0xFFFFFFFF, 0, 0x1214},
        {"add", mem(1, 2, 1, 31), s, -1, false, 0xFFFFFFFF, d, 0x541C},
        {"add zero rule", mem(1, 2, 1, 31), 0, -1, false, 0xFFFFFFFF, d, d},
        {"alpha add", mem(2, 2, 1, 31), s, 128, true, 0xFFFFFFFF, d, 0x4312},
        {"alpha add below 16", mem(2, 2, 1, 31), s, 15, true, 0xFFFFFFFF, d, d},
        {"alpha add tinted", mem(2, 4, 1, 31), s, 128, true, 0xFFC86432, d, 0x4249},
        {"alpha times colour add", mem(4, 2, 1, 31), s, 255, true, 0x80FFFFFF, d, 0x4311},
        {"alpha times colour add below 16", mem(4, 2, 1, 31), s, 20, true, 0x80FFFFFF, d, d},
        {"alpha times colour add, zero rule", mem(4, 2, 1, 31), 0, 255, true, 0x80FFFFFF, d, d},
        {"colour alpha add", mem(4, 2, 1, 31), s, -1, true, 0x80FFFFFF, d, 0x4312},
        {"tinted add ignores alpha", mem(4, 4, 1, 31), s, 0, true, 0x80C86432, d, 0x4ACB},
        {"colour add", mem(1, 7, 1, 31), s, -1, true, 0xFF102030, d, 0x653F},
        {"colour add zero rule", mem(1, 7, 1, 31), 0, -1, true, 0xFF102030, d, d},
    };
    for (const Case& c : cases) {
        Canvas canvas(1, 1, c.in);
        std::vector<uint8_t> alpha;
        if (c.alpha >= 0) alpha.push_back(static_cast<uint8_t>(c.alpha));
        auto sprite = makeSprite(1, 1, {c.src}, alpha);
        sprite->setKeyPixels(c.key);
        int w = c.mirrored ? -1 : 1;
        grDraw(c.m, 0, 0, w, 1, sprite.get(), 0, 0, 1, 1, c.colour, 0);
        EXPECT_EQ(canvas.at(0, 0), c.out) << c.what;
    }
}

TEST(DrawMaterials, UnknownMaterialLogsOnceAndDrawsNothing) {
    logOpen();
    size_t logStart = logText().size();
    Canvas canvas(2, 1, 0x1111);
    auto sprite = makeSprite(2, 1, {0x2222});
    for (int frame = 0; frame < 3; ++frame) {
        grDrawSpriteMat(mem(5, 2, 1, 30), 0, 0, sprite.get(), 0);
        grDrawSpriteMat(mem(1, 2, 2, 30), 0, 0, sprite.get(), 0);
    }
    EXPECT_EQ(canvas.at(0, 0), 0x1111);
    EXPECT_EQ(canvas.at(1, 0), 0x1111);
    std::string log = logText().substr(logStart);
    EXPECT_EQ(countOf(log, "SpriteBlt Unknown material: sMaterial(2,5,1,30)\n"), 1);
    EXPECT_EQ(countOf(log, "SpriteBlt Unknown material: sMaterial(2,1,2,30)\n"), 1);
}

// ---- geometry ----

// A 4x2 sprite whose pixels are 1..8, row by row; pictures show them as digits.
struct Numbered {
    std::unique_ptr<CSpriteExt> sprite = makeSprite(4, 2, {1, 2, 3, 4, 5, 6, 7, 8});
    std::vector<uint16_t> values = {0, 1, 2, 3, 4, 5, 6, 7, 8};
};

TEST(DrawGeometry, ClipsOnEachSide) {
    Numbered n;
    n.sprite->setKeyPixels(false);
    struct Case {
        int x, y;
        const char* picture;
    } cases[] = {
        {-2, 0, "34....\n78....\n......\n"},  // left: only the right half shows
        {4, 1, "......\n....12\n....56\n"},   // right and bottom
        {1, -1, ".5678.\n......\n......\n"},  // top
        {-4, 0, "......\n......\n......\n"},  // wholly outside
    };
    for (const Case& c : cases) {
        Canvas canvas(6, 3, 0);
        grDrawSprite(c.x, c.y, n.sprite.get(), 0);
        EXPECT_EQ(canvas.picture(0, n.values), c.picture) << c.x << "," << c.y;
    }
    // A narrower clip rectangle cuts the same way.
    Canvas canvas(6, 3, 0);
    grSetClip(grScreen(), 2, 1, 4, 3);
    grDrawSprite(1, 1, n.sprite.get(), 0);
    EXPECT_EQ(canvas.picture(0, n.values), "......\n..23..\n..67..\n");
}

TEST(DrawGeometry, ScalesBy16Point16Steps) {
    Numbered n;
    // Three columns stretched to seven: step (3 << 16) / 7, nearest source column.
    Canvas wide(7, 1, 0);
    grDrawRegion(0, 0, 7, 1, n.sprite.get(), 0, 0, 3, 1, 0);
    EXPECT_EQ(wide.picture(0, n.values), "1112233\n");
    // Halved: every second column and row.
    auto big = makeSprite(4, 4, {1, 2, 3, 4, 5, 6, 7, 8});
    Canvas half(2, 2, 0);
    grDrawRegion(0, 0, 2, 2, big.get(), 0, 0, 4, 4, 0);
    EXPECT_EQ(half.picture(0, n.values), "13\n13\n");
    // A left clip restarts on a whole source pixel: (2 * step) >> 16 = 0 columns skipped.
    Canvas clipped(5, 1, 0);
    grDrawRegion(-2, 0, 7, 1, n.sprite.get(), 0, 0, 3, 1, 0);
    EXPECT_EQ(clipped.picture(0, n.values), "11122\n");
}

TEST(DrawGeometry, MirrorsWithClipping) {
    Numbered n;
    Canvas plain(4, 2, 0);
    grDraw(mem(1, 2, 1, 30), 0, 0, -4, 2, n.sprite.get(), 0, 0, 4, 2, 0xFFFFFFFF, 0);
    EXPECT_EQ(plain.picture(0, n.values), "4321\n8765\n");
    Canvas upside(4, 2, 0);
    grDraw(mem(1, 2, 1, 30), 0, 0, 4, -2, n.sprite.get(), 0, 0, 4, 2, 0xFFFFFFFF, 0);
    EXPECT_EQ(upside.picture(0, n.values), "5678\n1234\n");
    // The right clip cuts the mirrored picture's right end: the source starts further in.
    Canvas right(3, 1, 0);
    grDraw(mem(1, 2, 1, 30), 1, 0, -4, 1, n.sprite.get(), 0, 0, 4, 1, 0xFFFFFFFF, 0);
    EXPECT_EQ(right.picture(0, n.values), ".43\n");
    // The left clip cuts its left end.
    Canvas left(3, 1, 0);
    grDraw(mem(1, 2, 1, 30), -2, 0, -4, 1, n.sprite.get(), 0, 0, 4, 1, 0xFFFFFFFF, 0);
    EXPECT_EQ(left.picture(0, n.values), "21.\n");
    // Scaled and mirrored with the far edge clipped: the start rounds up past the region's
    // last column, which is read instead of its neighbour outside the region.
    Canvas scaled(5, 1, 0);
    grDraw(mem(1, 2, 1, 30), 0, 0, -11, 1, n.sprite.get(), 0, 0, 2, 1, 0xFFFFFFFF, 0);
    EXPECT_EQ(scaled.picture(0, n.values), "22222\n");
}

TEST(DrawGeometry, FramesFollowTime) {
    auto s = makeSprite(1, 1, {1, 2, 3, 4}, {}, 4);
    s->period = 1000;
    Canvas canvas(1, 1, 0);
    int times[] = {0, 249, 250, 999, 1000};
    uint16_t shown[] = {1, 1, 2, 4, 1};
    for (int i = 0; i < 5; ++i) {
        grDrawSprite(0, 0, s.get(), times[i]);
        EXPECT_EQ(canvas.at(0, 0), shown[i]) << times[i];
    }
}

// ---- entry point checks ----

TEST(DrawChecks, RegionsOutsideTheSpriteAreLoggedAndSkipped) {
    logOpen();
    size_t logStart = logText().size();
    Numbered n;
    Canvas canvas(4, 2, 0);
    const std::string full = "WARNING: grDraw() have problem with region ";
    grDraw(mem(2, 2, 1, 30), 0, 0, 4, 2, n.sprite.get(), 1, 0, 4, 2, 0xFFFFFFFF, 0);
    grDrawRegion(0, 0, 2, 2, n.sprite.get(), -1, 0, 2, 2, 0);
    grDrawRegionColor(mem(2, 2, 1, 30), 0, 0, -2, 2, n.sprite.get(), 0, 0, 0xFFFFFFFF, 0);
    grDrawRegionAt(0, 0, 2, 2, n.sprite.get(), 0, -1, 0);
    grDrawRegionAt(0, 0, 2, 2, n.sprite.get(), 3, 0, 0);   // far edge: 3 + 2 > 4
    grDrawRegionAtMat(mem(2, 2, 1, 30), 0, 0, 2, -3, n.sprite.get(), 0, 0, 0);  // 3 rows > 2
    EXPECT_EQ(canvas.picture(0, n.values), "....\n....\n");
    std::string log = logText().substr(logStart);
    EXPECT_EQ(countOf(log, full), 6);
    EXPECT_EQ(countOf(log, full + "(1,0,4,2) from Sprite(pic.tga, 4, 2).\n"), 1);
    EXPECT_EQ(countOf(log, full + "(0,0,-2,2) from Sprite(pic.tga, 4, 2).\n"), 1);
    EXPECT_EQ(countOf(log, full + "(0,-1) from Sprite(pic.tga, 4, 2).\n"), 1);
    EXPECT_EQ(countOf(log, full + "(3,0,2,2) from Sprite(pic.tga, 4, 2).\n"), 1);
    EXPECT_EQ(countOf(log, full + "(0,0,2,3) from Sprite(pic.tga, 4, 2).\n"), 1);

    // Nothing drawn and nothing logged: null sprite, zero sizes, too transparent colours.
    grDraw(mem(2, 2, 1, 30), 0, 0, 4, 2, nullptr, 0, 0, 4, 2, 0xFFFFFFFF, 0);
    grDraw(mem(2, 2, 1, 30), 0, 0, 0, 2, n.sprite.get(), 0, 0, 4, 2, 0xFFFFFFFF, 0);
    grDraw(mem(2, 2, 1, 30), 0, 0, 4, 2, n.sprite.get(), 0, 0, 4, 0, 0xFFFFFFFF, 0);
    grDraw(mem(2, 2, 1, 30), 0, 0, 4, 2, n.sprite.get(), 0, 0, 4, 2, 0x0EFFFFFF, 0);
    grDrawSpriteColor(mem(2, 2, 1, 30), 0, 0, n.sprite.get(), 0x0EFFFFFF, 0);
    grDrawRegionColor(mem(2, 2, 1, 30), 0, 0, 2, 2, n.sprite.get(), 0, 0, 0x0EFFFFFF, 0);
    EXPECT_EQ(canvas.picture(0, n.values), "....\n....\n");
    EXPECT_EQ(countOf(logText().substr(logStart), full), 6);

    // The region entry points draw the part asked for.
    grDrawRegionAt(1, 0, 2, 1, n.sprite.get(), 2, 1, 0);
    grDrawRegionColor(mem(2, 2, 1, 30), 0, 1, 1, 1, n.sprite.get(), 3, 0, 0xFFFFFFFF, 0);
    EXPECT_EQ(canvas.picture(0, n.values), ".78.\n4...\n");
}

TEST(DrawChecks, ClipRectanglesStayWithinTheSprite) {
    Canvas canvas(4, 3, 0);
    HSPRITE t = grScreen();
    int x0, y0, x1, y1;
    grSetClip(t, -5, -5, 100, 40000);
    grGetClip(t, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(y0, 0);
    EXPECT_EQ(x1, 4);
    EXPECT_EQ(y1, 3);
    grSetClip(t, 1, 2, 3, 3);
    grGetClip(t, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x0 * 1000 + y0 * 100 + x1 * 10 + y1, 1233);
    grSetClip(nullptr, 0, 0, 1, 1);
    grGetClip(nullptr, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x1, 0);
    EXPECT_EQ(grSetTarget(t), t);
}

// Cases that would read or write outside some storage if any bound were trusted.
TEST(DrawChecks, EdgeCasesStayInsideTheStorage) {
    Numbered n;
    {
        // A clip rectangle set larger than the target by hand.
        Canvas canvas(2, 2, 0);
        grScreen()->clipX1 = 300;
        grScreen()->clipY1 = 300;
        grScreen()->clipX0 = -7;
        grDrawRegion(-1, -1, 40, 40, n.sprite.get(), 0, 0, 4, 2, 0);
        grDrawRect(-10, -10, 500, 500, 0xFF123456);
        grDrawLine(-50, 1, 60, 1, 0xFFFFFFFF);
        grPutPixel(200, 1, 0xFFFFFFFF);
        grTextOut(-3, -3, "PAUSED", 0xFFFFFF);
        EXPECT_EQ(canvas.at(1, 0), pxColour565(0xFF123456));
    }
    {
        // Frames past the stored image: the sprite says 4 frames, its surface holds one.
        Canvas canvas(4, 2, 0);
        auto s = makeSprite(4, 2, {9});
        s->surface = grCreateSurface(4, 2, 0);
        for (int i = 0; i < 8; ++i) s->surface->pixels[i] = 9;
        free(s->pixels);
        s->pixels = nullptr;
        s->frames = 4;
        s->period = 4;
        grDrawSprite(0, 0, s.get(), 3);  // frame 3 lies outside the surface
        EXPECT_EQ(canvas.at(0, 0), 0);
        grDrawSprite(0, 0, s.get(), 0);
        EXPECT_EQ(canvas.at(0, 0), 9);  // frame 0 is stored
    }
    {
        // Sprites whose size fields exceed their pixels, and no pixels at all.
        Canvas canvas(4, 2, 7);
        auto s = makeSprite(2, 2, {5});
        s->width = 4;  // e.g. resized by an alpha image; the rows still hold 2 pixels
        grDrawSprite(0, 0, s.get(), 0);
        EXPECT_EQ(canvas.at(1, 0), 5);
        EXPECT_EQ(canvas.at(2, 0), 7);
        auto empty = std::make_unique<CSpriteExt>();
        empty->width = 4;
        empty->height = 2;
        grDrawSprite(0, 0, empty.get(), 0);
        grSetTarget(empty.get());
        grDrawSprite(0, 0, n.sprite.get(), 0);
        grDrawRect(0, 0, 4, 2, 0xFFFFFFFF);
        grPutPixel(0, 0, 0xFFFFFFFF);
        grSetTarget(nullptr);
        grDrawSprite(0, 0, n.sprite.get(), 0);
        SpriteBlt(mem(1, 2, 1, 30), 0, 0, 4, 0, 4, 4, n.sprite.get(), 0, 0, 1, 0, 1, 1,
                  0xFFFFFFFF, 0);
    }
    {
        // Extreme positions and sizes.
        Canvas canvas(4, 2, 0);
        grDraw(mem(2, 2, 1, 30), 2147483000, 0, 2147483647, 2, n.sprite.get(), 0, 0, 4, 2,
               0xFFFFFFFF, 0);
        grDraw(mem(2, 2, 1, 30), -2147483647, -5, 2147483647, -2147483647, n.sprite.get(), 0, 0,
               4, 2, 0xFFFFFFFF, 0);
        grDraw(mem(2, 2, 1, 30), 0, 0, 1, 1, n.sprite.get(), 0, 0, 4, 2, 0xFFFFFFFF, 0);
        grDrawLine(-2147483647, -2147483647, 2147483647, 2147483646, 0xFFFFFFFF);
        grDrawRect(-2147483647, 0, 2147483647, 1, 0xFF0000FF);
        EXPECT_EQ(canvas.at(3, 0), pxColour565(0xFF0000FF));
    }
}

// ---- primitives ----

TEST(DrawPrimitives, RectanglesLinesAndPixels) {
    const uint16_t red = pxColour565(0xFF0000), bg = 0x4208;
    std::vector<uint16_t> v = {red, pxBlend(bg, red, 128)};
    {
        Canvas canvas(5, 3, bg);
        grDrawRect(4, 2, 1, 0, 0x00FF0000);     // corners in any order; alpha 0 is opaque
        grDrawRect(-3, 2, 1, 9, 0x80FF0000);    // clipped, blended half
        EXPECT_EQ(canvas.picture(bg, v), ".000.\n.000.\n1....\n");
    }
    {
        Canvas canvas(5, 4, bg);
        grDrawLine(0, 0, 4, 0, 0xFFFF0000);    // end excluded
        grDrawLine(4, 3, 4, 1, 0xFFFF0000);    // ordered along y: rows 1 and 2
        grDrawLine(0, 1, 2, 3, 0x80FF0000);    // diagonal, blended
        EXPECT_EQ(canvas.picture(bg, v), "0000.\n1...0\n.1..0\n.....\n");
    }
    {
        // Clipped ends move onto the clip edge along the line.
        Canvas canvas(4, 4, bg);
        grDrawLine(-4, -4, 8, 8, 0xFFFF0000);
        EXPECT_EQ(canvas.picture(bg, v), "0...\n.0..\n..0.\n...0\n");
    }
    {
        // The outline: top, left, bottom and right edges, each without its end pixel.
        Canvas canvas(4, 4, bg);
        grDrawPrimitive(0, 0, 3, 3, 0xFFFF0000, 0);
        EXPECT_EQ(canvas.picture(bg, v), "0000\n0..0\n0..0\n000.\n");
    }
    {
        Canvas canvas(3, 1, bg);
        grSetClip(grScreen(), 0, 0, 2, 1);
        grPutPixel(0, 0, 0xF0FF0000);
        grPutPixel(1, 0, 0x80FF0000);
        grPutPixel(2, 0, 0xFFFF0000);  // outside the clip
        grPutPixel(-1, 0, 0xFFFF0000);
        EXPECT_EQ(canvas.picture(bg, v), "01.\n");
    }
}

TEST(DrawText, BitmapGlyphsInTheColourOnAClearBackground) {
    Canvas canvas(40, 9, 0x1111);
    grTextOut(1, 1, "PAUSED", 0x00FF0000);
    int lit = 0, other = 0;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 40; ++x) {
            uint16_t p = canvas.at(x, y);
            if (p == pxColour565(0xFF0000)) ++lit;
            else if (p != 0x1111) ++other;
            if (x == 0 || y == 0 || y == 8 || x > 36) {
                EXPECT_EQ(p, 0x1111) << x << "," << y;
            }
        }
    }
    EXPECT_GT(lit, 40);
    EXPECT_EQ(other, 0);
    // A bar glyph is one full column; the next glyph starts six pixels on.
    Canvas bar(12, 7, 0);
    grTextOut(0, 0, "||", 0xFFFFFF);
    EXPECT_EQ(bar.picture(0, {0, 0xFFFF}),
              "..1.....1...\n..1.....1...\n..1.....1...\n"
                                        "..1.....1...\n..1.....1...\n..1.....1...\n"
                                        "..1.....1...\n");
    grTextOut(0, 0, nullptr, 0xFFFFFF);
    grTextOut(0, 0, "", 0xFFFFFF);
}

// ---- vector rows ----

// Every vector width this processor runs against the scalar rules: every row length up to a
// few vectors (the ends are where the widths differ), then rectangles with their pitches,
// including a source pitch of 0 that repeats one row.
TEST(DrawRows, VectorRowsMatchTheScalarRows) {
    std::mt19937 rng(7);
    constexpr int kPitch = 300, kRows = 4;
    std::vector<uint16_t> src(kPitch * kRows), dst(src.size()), want, got;
    std::vector<uint8_t> alpha(src.size());
    int checked = 0;
    EXPECT_GE(grVectorBytes(), 16);
    for (int bytes : {16, 32, 64}) {
        for (int row = 0; row < kRowCount; ++row) {
            RowKernel vec = grVectorRow(bytes, row);
            RectKernel vecRect = grVectorRect(bytes, row);
            ASSERT_EQ(vec == nullptr, vecRect == nullptr);
            if (!vec) continue;
            for (int round = 0; round < 140; ++round) {
                SCOPED_TRACE(testing::Message() << bytes << " bytes, row " << row << ", round " << round);
                // Alpha runs of one kind, so uniform vectors and mixed ones both occur.
                for (size_t i = 0; i < src.size(); ++i) {
                    src[i] = rng() % 7 == 0 ? 0 : static_cast<uint16_t>(rng());
                    dst[i] = static_cast<uint16_t>(rng());
                }
                for (size_t i = 0; i < alpha.size();) {
                    int kind = rng() % 4, run = 1 + rng() % 40;
                    for (; run-- > 0 && i < alpha.size(); ++i)
                        alpha[i] = kind == 0 ? rng() % 16 : kind == 1 ? 240 + rng() % 16 : rng();
                }
                RowParams p;
                p.colour = pxSplitColour(static_cast<uint32_t>(rng()));
                p.skipZero = rng() & 1;
                int n = round < 100 ? round : static_cast<int>(rng() % kPitch);
                int off = rng() % (kPitch - n + 1);
                want = dst;
                got = dst;
                grScalarRow(row)(want.data() + off, src.data() + off, alpha.data() + off, n, p);
                vec(got.data() + off, src.data() + off, alpha.data() + off, n, p);
                ASSERT_EQ(want, got);

                const int rows = 1 + rng() % kRows, sPitch = rng() % 5 == 0 ? 0 : kPitch;
                grScalarRect(row)(want.data() + off, kPitch, src.data() + off, sPitch,
                                  alpha.data() + off, sPitch, n, rows, p);
                vecRect(got.data() + off, kPitch, src.data() + off, sPitch, alpha.data() + off,
                        sPitch, n, rows, p);
                ASSERT_EQ(want, got);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
