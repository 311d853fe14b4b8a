// Affinely textured triangles of a sprite frame drawn onto the draw target: floating point once
// per triangle for orientation and gradients, then integer rows in 10-bit fixed point.
#include "engine/gr/triangle.h"

#include <cmath>
#include <utility>

namespace {

// The texture of the triangle being drawn.
struct Texture {
    const uint16_t* pixels = nullptr;
    const uint8_t* alpha = nullptr;
    int64_t width = 0;
    int64_t colMask = 0, rowMask = 0;  // W - 1 and (H - 1) * W
    int64_t colOut = 0, rowOut = 0;    // bits that put a texel outside the frame
};
Texture gTexture;

// Gradients of the triangle being drawn: u in 1/1024 texels, v in 1/1024 of a row offset.
struct Gradients {
    int64_t dudx, dudy, uO, dvdx, dvdy, vO;
};

// Reads the texel (tu, tr); false when it lies outside the frame. The masks keep the index
// within the frame's width x height pixels for any size.
inline bool fetch(int64_t tu, int64_t tr, uint16_t* s, int* a) {
    if ((tu & gTexture.colOut) != 0 || (tr & gTexture.rowOut) != 0) return false;
    int64_t i = (tu & gTexture.colMask) + (tr & gTexture.rowMask);
    *s = gTexture.pixels[i];
    *a = gTexture.alpha ? gTexture.alpha[i] : 0;
    return true;
}

// ---- the per-pixel rules of the triangle materials ----

struct TCopy {
    static void px(uint16_t* d, uint16_t s, int, const DrawColour&) {
        if (s != 0) *d = s;
    }
};
struct TAdd {
    static void px(uint16_t* d, uint16_t s, int, const DrawColour&) {
        if (s != 0) *d = pxSatAdd(*d, s & 0xF7DFu);
    }
};
struct TAlpha {
    static void px(uint16_t* d, uint16_t s, int a, const DrawColour&) {
        if (a <= 15) return;
        *d = a >= 240 ? s : pxBlend(*d, s, a);
    }
};
struct TConstAlpha {
    static void px(uint16_t* d, uint16_t s, int, const DrawColour& c) {
        if (c.a <= 15) return;
        *d = c.a >= 240 ? s : pxBlend(*d, s, c.a);
    }
};
struct TAlphaConst {
    static void px(uint16_t* d, uint16_t s, int a, const DrawColour& c) {
        int e = (a * c.a) >> 8;
        if (e <= 15) return;
        *d = e >= 240 ? s : pxBlend(*d, s, e);
    }
};
// The tinted rows write the plain tint only above 240; 240 itself still blends.
struct TAlphaTint {
    static void px(uint16_t* d, uint16_t s, int a, const DrawColour& c) {
        if (a <= 15) return;
        *d = a > 240 ? pxTint(s, c) : pxBlend(*d, pxTint(s, c), a);
    }
};
struct TConstAlphaTint {
    static void px(uint16_t* d, uint16_t s, int, const DrawColour& c) {
        if (c.a <= 15) return;
        *d = pxBlend(*d, pxTint(s, c), c.a);
    }
};
struct TAlphaConstTint {
    static void px(uint16_t* d, uint16_t s, int a, const DrawColour& c) {
        int e = (a * c.a) >> 8;
        if (e <= 15) return;
        *d = e > 240 ? pxTint(s, c) : pxBlend(*d, pxTint(s, c), e);
    }
};
struct TAddTint {
    static void px(uint16_t* d, uint16_t s, int, const DrawColour& c) {
        *d = pxAddTintLimited(*d, s, c);
    }
};
struct TAlphaAddTint {
    static void px(uint16_t* d, uint16_t s, int a, const DrawColour& c) {
        if (a > 15) *d = pxAddTintAlphaLimited(*d, s, c, a);
    }
};
// Additive sprite alpha without a tint, as the rectangle blitter draws it, so that a rotated
// particle looks like an unrotated one.
struct TAlphaAdd {
    static void px(uint16_t* d, uint16_t s, int a, const DrawColour&) {
        if (s != 0 && a >= 16) *d = pxSatAdd(*d, pxScaled(s, a));
    }
};
struct TAlphaConstAdd {
    static void px(uint16_t* d, uint16_t s, int a, const DrawColour& c) {
        int e = (a * c.a) >> 8;
        if (s != 0 && e >= 16) *d = pxSatAdd(*d, pxScaled(s, e));
    }
};
struct TConstAlphaAdd {
    static void px(uint16_t* d, uint16_t s, int, const DrawColour& c) {
        if (s != 0) *d = pxSatAdd(*d, pxScaled(s, c.a));
    }
};

template <class Rule>
inline void texel(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    uint16_t s;
    int a;
    if (fetch(tu, tr, &s, &a)) Rule::px(d, s, a, c);
}

// The rows of one triangle with one material: the material is chosen once, not per pixel.
template <class Rule>
void fillRows(const SpritePixels& target, const ClipRect& clip, const TriEdges& e,
              const Gradients& g, const DrawColour& c) {
    int64_t halfRow = gTexture.width * 512;
    for (int64_t y = e.rowStart; y < e.rowEnd; ++y) {
        int64_t L = (e.topX * 1024 + (y - e.topY) * e.slopeLong) >> 10;
        int64_t S = y < e.midY ? (e.topX * 1024 + (y - e.topY) * e.slopeUpper) >> 10
                               : (e.midX * 1024 + (y - e.midY) * e.slopeLower) >> 10;
        int64_t uRow = y * g.dudy + g.uO + 512;
        int64_t vRow = y * g.dvdy + g.vO + halfRow;
        uint16_t* row = target.pixels + y * target.pitch;
        // Spans are half open on both sides, so an edge shared by two triangles (the diagonal
        // of a quad, at any angle) is drawn by exactly one of them.
        int64_t left = e.longLeft ? L : S, right = e.longLeft ? S : L;
        if (left < clip.x0) left = clip.x0;
        if (right > clip.x1) right = clip.x1;
        if (left >= right) continue;
        int64_t u = uRow + left * g.dudx, v = vRow + left * g.dvdx;
        for (int64_t x = left; x < right; ++x, u += g.dudx, v += g.dvdx)
            texel<Rule>(row + x, u >> 10, v >> 10, c);
    }
}

typedef void (*FillRows)(const SpritePixels&, const ClipRect&, const TriEdges&, const Gradients&,
                         const DrawColour&);

struct TriMaterial {
    uint8_t alphaSource, colourOp, combine;
    TexelForm form;
    FillRows fill;
};
const TriMaterial kMaterials[] = {
    {1, 2, 30, texelCopy, fillRows<TCopy>},
    {3, 2, 30, texelConstAlpha, fillRows<TConstAlpha>},
    {2, 2, 30, texelAlpha, fillRows<TAlpha>},
    {4, 2, 30, texelAlphaConst, fillRows<TAlphaConst>},
    {2, 4, 30, texelAlphaTint, fillRows<TAlphaTint>},
    {3, 4, 30, texelConstAlphaTint, fillRows<TConstAlphaTint>},
    {4, 4, 30, texelAlphaConstTint, fillRows<TAlphaConstTint>},
    {1, 2, 31, texelAdd, fillRows<TAdd>},
    {1, 4, 31, texelAddTint, fillRows<TAddTint>},
    {2, 4, 31, texelAlphaAddTint, fillRows<TAlphaAddTint>},
    {2, 2, 31, texelAlphaAdd, fillRows<TAlphaAdd>},
    {4, 2, 31, texelAlphaConstAdd, fillRows<TAlphaConstAdd>},
    {3, 2, 31, texelConstAlphaAdd, fillRows<TConstAlphaAdd>},
};

const TriMaterial* materialOf(sMaterial m) {
    if (m.bytes[2] != 1) return nullptr;
    for (const TriMaterial& t : kMaterials) {
        if (t.alphaSource == m.bytes[0] && t.colourOp == m.bytes[1] && t.combine == m.bytes[3])
            return &t;
    }
    return nullptr;
}

// Fixed point of a gradient, limited so that no row or column step can overflow.
int64_t toFixed(double v) {
    const double kLimit = 1099511627776.0;  // 2^40
    if (!(v > -kLimit)) v = -kLimit;
    if (!(v < kLimit)) v = kLimit;
    return std::llrint(v);
}

bool usable(float v) { return std::isfinite(v) && std::fabs(v) < 1073741824.0f; }

}  // namespace

void texelCopy(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) { texel<TCopy>(d, tu, tr, c); }
void texelAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) { texel<TAdd>(d, tu, tr, c); }
void texelAlpha(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAlpha>(d, tu, tr, c);
}
void texelConstAlpha(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TConstAlpha>(d, tu, tr, c);
}
void texelAlphaConst(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAlphaConst>(d, tu, tr, c);
}
void texelAlphaTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAlphaTint>(d, tu, tr, c);
}
void texelConstAlphaTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TConstAlphaTint>(d, tu, tr, c);
}
void texelAlphaConstTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAlphaConstTint>(d, tu, tr, c);
}
void texelAddTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAddTint>(d, tu, tr, c);
}
void texelAlphaAddTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAlphaAddTint>(d, tu, tr, c);
}
void texelAlphaAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAlphaAdd>(d, tu, tr, c);
}
void texelAlphaConstAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TAlphaConstAdd>(d, tu, tr, c);
}
void texelConstAlphaAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c) {
    texel<TConstAlphaAdd>(d, tu, tr, c);
}

TexelForm triTexelOf(sMaterial material) {
    const TriMaterial* t = materialOf(material);
    return t ? t->form : nullptr;
}

bool triSetupTexture(CSprite* sprite, int time) {
    gTexture = Texture();
    SpritePixels px;
    if (!grSpritePixels(sprite, &px)) return false;
    int64_t W = sprite->width, H = sprite->height;
    int64_t frameRow0 = static_cast<int64_t>(grFrameOfTime(sprite, time)) * H;
    // Texels are found by index within the frame, so its rows must follow each other directly.
    if (px.pitch != W || px.cols != W || frameRow0 + H > px.rows) return false;
    gTexture.pixels = px.pixels + frameRow0 * W;
    gTexture.alpha = px.alpha ? px.alpha + frameRow0 * W : nullptr;
    gTexture.width = W;
    gTexture.colMask = W - 1;
    gTexture.rowMask = (H - 1) * W;
    gTexture.colOut = -W;
    gTexture.rowOut = ~((H - 1) * W | (W - 1));
    return true;
}

bool triSetupEdges(float x0, float y0, float x1, float y1, float x2, float y2,
                   const ClipRect& clip, TriEdges* e) {
    float fy[3] = {y0, y1, y2};
    int64_t X[3] = {roundToInt(x0), roundToInt(x1), roundToInt(x2)};
    int64_t Y[3] = {roundToInt(y0), roundToInt(y1), roundToInt(y2)};
    // Ordered by y; equal heights keep the given order.
    int o[3] = {0, 1, 2};
    for (int i = 1; i < 3; ++i) {
        for (int j = i; j > 0 && fy[o[j]] < fy[o[j - 1]]; --j) std::swap(o[j], o[j - 1]);
    }
    int64_t tx = X[o[0]], ty = Y[o[0]], mx = X[o[1]], my = Y[o[1]], bx = X[o[2]], by = Y[o[2]];
    e->topX = tx;
    e->topY = ty;
    e->midX = mx;
    e->midY = my;
    e->slopeLong = by != ty ? (bx - tx) * 1024 / (by - ty) : 0;
    e->slopeUpper = my != ty ? (mx - tx) * 1024 / (my - ty) : 0;
    e->slopeLower = by != my ? (bx - mx) * 1024 / (by - my) : 0;
    e->rowStart = ty > clip.y0 ? ty : clip.y0;
    e->rowEnd = by < clip.y1 ? by : clip.y1;
    e->longLeft = tx * 1024 + (my - ty) * e->slopeLong <= mx * 1024;
    return e->rowStart < e->rowEnd;
}

void SpriteBlt(sMaterial material, float x0, float y0, float x1, float y1, float x2, float y2,
               HSPRITE sprite, float tu0, float tv0, float tu1, float tv1, float tu2, float tv2,
               uint32_t colour, int time) {
    CSprite* target = grScreen();
    if (!sprite || !target) return;
    if (!grClassifyAlpha(&material, colour, sprite)) return;
    const TriMaterial* m = materialOf(material);
    if (!m) {
        grReportMaterial(material);
        return;
    }
    // Vertices far beyond any screen, or not numbers, would overflow the integer edges.
    if (!usable(x0) || !usable(y0) || !usable(x1) || !usable(y1) || !usable(x2) || !usable(y2) ||
        !std::isfinite(tu0) || !std::isfinite(tv0) || !std::isfinite(tu1) ||
        !std::isfinite(tv1) || !std::isfinite(tu2) || !std::isfinite(tv2))
        return;
    if (!triSetupTexture(sprite, time)) return;
    SpritePixels tp;
    ClipRect clip;
    if (!grSpritePixels(target, &tp) || !grTargetClip(target, tp, &clip)) return;

    // Only clockwise triangles (y down) are drawn.
    float det = (x0 - x2) * (y0 - y1) - (x0 - x1) * (y0 - y2);
    if (det > 0.00001f) return;
    float d1 = det;
    float d2 = (x0 - x1) * (y0 - y2) - (x0 - x2) * (y0 - y1);
    if (std::fabs(d1) < 0.00001f) d1 = 0.00001f;
    if (std::fabs(d2) < 0.00001f) d2 = 0.00001f;
    float dudx = ((tu0 - tu2) * (y0 - y1) - (tu0 - tu1) * (y0 - y2)) / d1;
    float dudy = ((tu0 - tu2) * (x0 - x1) - (tu0 - tu1) * (x0 - x2)) / d2;
    float dvdx = ((tv0 - tv2) * (y0 - y1) - (tv0 - tv1) * (y0 - y2)) / d1;
    float dvdy = ((tv0 - tv2) * (x0 - x1) - (tv0 - tv1) * (x0 - x2)) / d2;
    float uO = tu0 - dudx * x0 - dudy * y0;
    float vO = tv0 - dvdx * x0 - dvdy * y0;
    double su = static_cast<double>(gTexture.width) * 1024.0;
    double sv = static_cast<double>(sprite->height) * su;
    Gradients g = {toFixed(dudx * su), toFixed(dudy * su), toFixed(uO * su),
                   toFixed(dvdx * sv), toFixed(dvdy * sv), toFixed(vO * sv)};

    TriEdges edges;
    if (!triSetupEdges(x0, y0, x1, y1, x2, y2, clip, &edges)) return;
    m->fill(tp, clip, edges, g, pxSplitColour(colour));
}
