// The grDraw family: the draw target, clip rectangles, the checked entry points in front of the
// blitter, and rectangles, lines and pixels drawn without a sprite.
#include "engine/gr/blit.h"
#include "engine/gr/gr.h"
#include "engine/platform/log.h"

#include <utility>

namespace {

// The draw target: the display's back buffer unless grSetTarget put another sprite here.
CSprite* gTarget = nullptr;

const sMaterial kSpriteAlpha(2, 2, 1, 30);
constexpr uint32_t kWhite = 0xFFFFFFFFu;

void logRegion(const CSprite* s, int sx, int sy, int sw, int sh) {
    logPrintf("WARNING: grDraw() have problem with region (%d,%d,%d,%d) from Sprite(%.127s, %d, %d).\n",
              sx, sy, sw, sh, s->imageFile, s->width, s->height);
}

// The region must lie within one frame; a bad one is logged and draws nothing.
bool regionFits(const CSprite* s, int sx, int sy, int sw, int sh) {
    if (sx >= 0 && sy >= 0 && sw >= 0 && sh >= 0 && static_cast<int64_t>(sx) + sw <= s->width &&
        static_cast<int64_t>(sy) + sh <= s->height)
        return true;
    logRegion(s, sx, sy, sw, sh);
    return false;
}

void blitEither(sMaterial m, int x, int y, int w, int h, CSprite* s, int sx, int sy, int sw, int sh,
                int time, uint32_t colour) {
    if (w >= 0 && h >= 0) grBlit(m, gTarget, x, y, w, h, s, sx, sy, sw, sh, time, colour);
    else grBlitFlip(m, gTarget, x, y, w, h, s, sx, sy, sw, sh, time, colour);
}

void drawRegion(sMaterial m, int x, int y, int w, int h, CSprite* s, int sx, int sy, int sw, int sh,
                uint32_t colour, int time) {
    if (!s || w == 0 || h == 0 || sw == 0 || sh == 0) return;
    if (!regionFits(s, sx, sy, sw, sh)) return;
    blitEither(m, x, y, w, h, s, sx, sy, sw, sh, time, colour);
}

// Region at its own size. Font glyph positions come from files, so the far edges are checked as
// well as the near ones before any pixel is read.
void drawRegionAt(sMaterial m, int x, int y, int w, int h, CSprite* s, int sx, int sy, int time) {
    if (!s) return;
    if (sx < 0 || sy < 0) {
        logPrintf("WARNING: grDraw() have problem with region (%d,%d) from Sprite(%.127s, %d, %d).\n",
                  sx, sy, s->imageFile, s->width, s->height);
        return;
    }
    int64_t sw = w < 0 ? -static_cast<int64_t>(w) : w;
    int64_t sh = h < 0 ? -static_cast<int64_t>(h) : h;
    if (sx + sw > s->width || sy + sh > s->height) {
        logRegion(s, sx, sy, static_cast<int>(sw), static_cast<int>(sh));
        return;
    }
    blitEither(m, x, y, w, h, s, sx, sy, static_cast<int>(sw), static_cast<int>(sh), time, kWhite);
}

void drawWhole(sMaterial m, int x, int y, CSprite* s, uint32_t colour, int time) {
    if (!s) return;
    grBlit(m, gTarget, x, y, s->width, s->height, s, 0, 0, s->width, s->height, time, colour);
}

// The target's clip rectangle within its storage, the pixels locked; false when nothing shows.
bool targetView(SpritePixels* px, ClipRect* clip) {
    return grSpritePixels(gTarget, px) && grTargetClip(gTarget, *px, clip);
}

void plot(const SpritePixels& px, int64_t x, int64_t y, uint32_t colour, bool opaque) {
    uint16_t* d = px.pixels + y * px.pitch + x;
    *d = opaque ? pxColour565(colour) : pxBlend(*d, pxColour565(colour), colour >> 24);
}

int16_t clampCoord(int v, int lo, int hi) {
    return static_cast<int16_t>(v < lo ? lo : (v > hi ? hi : v));
}

}  // namespace

void grDraw(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx, int sy, int sw,
            int sh, uint32_t colour, int time) {
    if ((colour >> 24) < 15) return;
    drawRegion(material, x, y, w, h, sprite, sx, sy, sw, sh, colour, time);
}

void grDrawSprite(int x, int y, HSPRITE sprite, int time) {
    drawWhole(kSpriteAlpha, x, y, sprite, kWhite, time);
}

void grDrawSpriteMat(sMaterial material, int x, int y, HSPRITE sprite, int time) {
    drawWhole(material, x, y, sprite, kWhite, time);
}

void grDrawSpriteColor(sMaterial material, int x, int y, HSPRITE sprite, uint32_t colour,
                       int time) {
    if ((colour >> 24) < 15) return;
    drawWhole(material, x, y, sprite, colour, time);
}

void grDrawRegionAt(int x, int y, int w, int h, HSPRITE sprite, int sx, int sy, int time) {
    drawRegionAt(kSpriteAlpha, x, y, w, h, sprite, sx, sy, time);
}

void grDrawRegionAtMat(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx,
                       int sy, int time) {
    drawRegionAt(material, x, y, w, h, sprite, sx, sy, time);
}

void grDrawRegion(int x, int y, int w, int h, HSPRITE sprite, int sx, int sy, int sw, int sh,
                  int time) {
    drawRegion(kSpriteAlpha, x, y, w, h, sprite, sx, sy, sw, sh, kWhite, time);
}

void grDrawRegionMat(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx, int sy,
                     int sw, int sh, int time) {
    drawRegion(material, x, y, w, h, sprite, sx, sy, sw, sh, kWhite, time);
}

void grDrawRegionColor(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx,
                       int sy, uint32_t colour, int time) {
    if ((colour >> 24) < 15) return;
    drawRegion(material, x, y, w, h, sprite, sx, sy, w, h, colour, time);
}

HSPRITE grScreen() { return gTarget; }

HSPRITE grSetTarget(HSPRITE sprite) {
    // Drawn into, its pixels are no longer only its files'.
    if (sprite) sprite->fileBacked = false;
    gTarget = sprite;
    return sprite;
}

void grSetClip(HSPRITE sprite, int x0, int y0, int x1, int y1) {
    if (!sprite) return;
    // Limited to the sprite on every side, so the 16-bit fields always hold the value asked for.
    sprite->clipX0 = clampCoord(x0, 0, sprite->width);
    sprite->clipY0 = clampCoord(y0, 0, sprite->height);
    sprite->clipX1 = clampCoord(x1, 0, sprite->width);
    sprite->clipY1 = clampCoord(y1, 0, sprite->height);
}

void grGetClip(HSPRITE sprite, int* x0, int* y0, int* x1, int* y1) {
    int c[4] = {0, 0, 0, 0};
    if (sprite) {
        c[0] = sprite->clipX0;
        c[1] = sprite->clipY0;
        c[2] = sprite->clipX1;
        c[3] = sprite->clipY1;
    }
    if (x0) *x0 = c[0];
    if (y0) *y0 = c[1];
    if (x1) *x1 = c[2];
    if (y1) *y1 = c[3];
}

void grDrawPrimitive(int x0, int y0, int x1, int y1, uint32_t colour, int filled) {
    if (filled) {
        grDrawRect(x0, y0, x1, y1, colour);
        return;
    }
    grDrawLine(x0, y0, x1, y0, colour);
    grDrawLine(x0, y0, x0, y1, colour);
    grDrawLine(x0, y1, x1, y1, colour);
    grDrawLine(x1, y0, x1, y1, colour);
}

void grDrawRect(int x0, int y0, int x1, int y1, uint32_t colour) {
    SpritePixels px;
    ClipRect clip;
    if (!targetView(&px, &clip)) return;
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    int64_t left = x0 < clip.x0 ? clip.x0 : x0, right = x1 > clip.x1 ? clip.x1 : x1;
    int64_t top = y0 < clip.y0 ? clip.y0 : y0, bottom = y1 > clip.y1 ? clip.y1 : y1;
    if (left >= right || top >= bottom) return;
    int a = static_cast<int>(colour >> 24);
    uint16_t c = pxColour565(colour);
    // An alpha byte of 0 counts as opaque: 0x00RRGGBB fills.
    bool opaque = a == 0 || a >= 240;
    for (int64_t y = top; y < bottom; ++y) {
        uint16_t* d = px.pixels + y * px.pitch;
        for (int64_t x = left; x < right; ++x) d[x] = opaque ? c : pxBlend(d[x], c, a);
    }
}

void grDrawLine(int x0, int y0, int x1, int y1, uint32_t colour) {
    SpritePixels px;
    ClipRect clip;
    if (!targetView(&px, &clip)) return;
    // Work along the major axis u with the minor axis v; the clip edges follow the axes.
    int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
    bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    int64_t u0 = xMajor ? x0 : y0, v0 = xMajor ? y0 : x0;
    int64_t u1 = xMajor ? x1 : y1, v1 = xMajor ? y1 : x1;
    int64_t cu0 = xMajor ? clip.x0 : clip.y0, cu1 = xMajor ? clip.x1 : clip.y1;
    int64_t cv0 = xMajor ? clip.y0 : clip.x0, cv1 = xMajor ? clip.y1 : clip.x1;
    if (u0 > u1) {
        std::swap(u0, u1);
        std::swap(v0, v1);
    }
    if (u0 == u1) return;
    if (u1 <= cu0 || u0 >= cu1) return;
    if ((v0 < cv0 && v1 < cv0) || (v0 >= cv1 && v1 >= cv1)) return;
    // Ends beyond a clip edge move onto it along the line.
    if (u0 < cu0) {
        v0 += static_cast<int64_t>(static_cast<__int128>(cu0 - u0) * (v1 - v0) / (u1 - u0));
        u0 = cu0;
    }
    if (u1 > cu1) {
        v1 -= static_cast<int64_t>(static_cast<__int128>(u1 - cu1) * (v1 - v0) / (u1 - u0));
        u1 = cu1;
    }
    int64_t major = u1 - u0, minor = v1 - v0;
    bool opaque = (colour >> 24) == 255;
    for (int64_t i = 0; i < major; ++i) {
        int64_t u = u0 + i, v = v0 + i * minor / major;
        if (v < cv0 || v >= cv1) continue;  // the minor axis is clipped pixel by pixel
        if (xMajor) plot(px, u, v, colour, opaque);
        else plot(px, v, u, colour, opaque);
    }
}

void grPutPixel(int x, int y, uint32_t colour) {
    SpritePixels px;
    ClipRect clip;
    if (!targetView(&px, &clip)) return;
    if (x < clip.x0 || x >= clip.x1 || y < clip.y0 || y >= clip.y1) return;
    plot(px, x, y, colour, (colour >> 24) >= 240);
}
