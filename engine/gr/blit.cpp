// The rectangle blitter: material simplification, scaling and clipping in 16.16 steps,
// mirroring, and one scalar row per material.
#include "engine/gr/blit.h"

#include "engine/platform/log.h"

#include <cstdio>

namespace {

inline int64_t min64(int64_t a, int64_t b) { return a < b ? a : b; }

// ---- one rule per material; each returns the new target pixel ----

struct RuleCopy {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return p.skipZero && s == 0 ? d : s;
    }
};
struct RuleTint {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return p.skipZero && s == 0 ? d : pxTint(s, p.colour);
    }
};
struct RuleAddColour {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return p.skipZero && s == 0 ? d : pxAddColour(s, p.colour);
    }
};
struct RuleAlphaSilhouette {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t, int a, const RowParams& p) {
        if (a >= 240) return p.colour.c565;
        return a >= 16 ? pxBlend(d, p.colour.c565, a) : d;
    }
};
struct RuleAlpha {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams&) {
        if (a >= 240) return s;
        return a >= 16 ? pxBlend(d, s, a) : d;
    }
};
struct RuleAlphaTint {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams& p) {
        if (a >= 240) return pxTint(s, p.colour);
        return a >= 16 ? pxBlend(d, pxTint(s, p.colour), a) : d;
    }
};
struct RuleAlphaAddColour {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams& p) {
        if (a >= 240) return pxAddColour(s, p.colour);
        return a >= 16 ? pxBlend(d, pxAddColour(s, p.colour), a) : d;
    }
};
struct RuleAlphaConst {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams& p) {
        int e = (a * p.colour.a) >> 8;
        if (e >= 240) return s;
        return e >= 16 ? pxBlend(d, s, e) : d;
    }
};
struct RuleAlphaConstTint {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams& p) {
        int e = (a * p.colour.a) >> 8;
        if (e >= 240) return pxTint(s, p.colour);
        return e >= 16 ? pxBlend(d, pxTint(s, p.colour), e) : d;
    }
};
struct RuleConst {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return p.skipZero && s == 0 ? d : pxBlend(d, s, p.colour.a);
    }
};
struct RuleConstTint {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return p.skipZero && s == 0 ? d : pxBlend(d, pxTint(s, p.colour), p.colour.a);
    }
};
// The additive rows always skip source pixels equal to 0.
struct RuleAdd {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams&) {
        return s == 0 ? d : pxSatAdd(d, s & 0xF7DFu);
    }
};
struct RuleAlphaAdd {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams&) {
        return s == 0 || a < 16 ? d : pxSatAdd(d, pxScaled(s, a));
    }
};
struct RuleAlphaAddTint {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams& p) {
        return s == 0 || a < 16 ? d : pxSatAdd(d, pxTintScaled(s, p.colour, a));
    }
};
struct RuleAlphaConstAdd {
    static constexpr bool kAlpha = true;
    static uint16_t px(uint16_t d, uint16_t s, int a, const RowParams& p) {
        int e = (a * p.colour.a) >> 8;
        return s == 0 || e < 16 ? d : pxSatAdd(d, pxScaled(s, e));
    }
};
struct RuleConstAdd {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return s == 0 ? d : pxSatAdd(d, pxScaled(s, p.colour.a));
    }
};
struct RuleAddTintLimited {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return s == 0 ? d : pxAddTintLimited(d, s, p.colour);
    }
};
struct RuleAddColourLimited {
    static constexpr bool kAlpha = false;
    static uint16_t px(uint16_t d, uint16_t s, int, const RowParams& p) {
        return s == 0 ? d : pxAddColourLimited(d, s, p.colour);
    }
};

template <class Rule>
void scalarRow(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, const RowParams& p) {
    for (int i = 0; i < n; ++i) d[i] = Rule::px(d[i], s[i], Rule::kAlpha ? a[i] : 0, p);
}

// A copy without colour key is the one row that needs no per-pixel work at all.
void copyRow(uint16_t* d, const uint16_t* s, const uint8_t* a, int n, const RowParams& p) {
    if (p.skipZero) {
        scalarRow<RuleCopy>(d, s, a, n, p);
        return;
    }
    for (int i = 0; i < n; ++i) d[i] = s[i];
}

template <RowKernel Row>
void rectOf(uint16_t* d, int dPitch, const uint16_t* s, int sPitch, const uint8_t* a, int aPitch,
            int n, int rows, const RowParams& p) {
    for (int r = 0; r < rows; ++r, d += dPitch, s += sPitch) {
        Row(d, s, a, n, p);
        if (a) a += aPitch;
    }
}

const RectKernel kScalarRects[kRowCount] = {
    rectOf<copyRow>,
    rectOf<scalarRow<RuleTint>>,
    rectOf<scalarRow<RuleAddColour>>,
    rectOf<scalarRow<RuleAlphaSilhouette>>,
    rectOf<scalarRow<RuleAlpha>>,
    rectOf<scalarRow<RuleAlphaTint>>,
    rectOf<scalarRow<RuleAlphaAddColour>>,
    rectOf<scalarRow<RuleAlphaConst>>,
    rectOf<scalarRow<RuleAlphaConstTint>>,
    rectOf<scalarRow<RuleConst>>,
    rectOf<scalarRow<RuleConstTint>>,
    rectOf<scalarRow<RuleAdd>>,
    rectOf<scalarRow<RuleAlphaAdd>>,
    rectOf<scalarRow<RuleAlphaAddTint>>,
    rectOf<scalarRow<RuleAlphaConstAdd>>,
    rectOf<scalarRow<RuleConstAdd>>,
    rectOf<scalarRow<RuleAddTintLimited>>,
    rectOf<scalarRow<RuleAddColourLimited>>,
};

const RowKernel kScalarRows[kRowCount] = {
    copyRow,
    scalarRow<RuleTint>,
    scalarRow<RuleAddColour>,
    scalarRow<RuleAlphaSilhouette>,
    scalarRow<RuleAlpha>,
    scalarRow<RuleAlphaTint>,
    scalarRow<RuleAlphaAddColour>,
    scalarRow<RuleAlphaConst>,
    scalarRow<RuleAlphaConstTint>,
    scalarRow<RuleConst>,
    scalarRow<RuleConstTint>,
    scalarRow<RuleAdd>,
    scalarRow<RuleAlphaAdd>,
    scalarRow<RuleAlphaAddTint>,
    scalarRow<RuleAlphaConstAdd>,
    scalarRow<RuleConstAdd>,
    scalarRow<RuleAddTintLimited>,
    scalarRow<RuleAddColourLimited>,
};

bool rowReadsAlpha(int row) {
    switch (row) {
    case kRowAlphaSilhouette:
    case kRowAlpha:
    case kRowAlphaTint:
    case kRowAlphaAddColour:
    case kRowAlphaConst:
    case kRowAlphaConstTint:
    case kRowAlphaAdd:
    case kRowAlphaAddTint:
    case kRowAlphaConstAdd:
        return true;
    default:
        return false;
    }
}

// Whether source pixels equal to 0 are skipped: the colour key follows the sprite's flag, the
// tinted constant-alpha row skips them always when drawn unmirrored. The additive rows test
// for 0 themselves.
bool rowSkipsZero(int row, const CSprite* source, bool mirrored) {
    switch (row) {
    case kRowCopy:
    case kRowTint:
    case kRowAddColour:
    case kRowConst:
        return source->keyPixels();
    case kRowConstTint:
        return mirrored ? source->keyPixels() : true;
    default:
        return false;
    }
}

// A scaled or mirrored row is first gathered into these, then drawn like an unscaled one. A
// clipped row never exceeds the 16-bit clip rectangle; drawing is not reentrant.
constexpr int kMaxRow = 32768;
int32_t gColumns[kMaxRow];
uint16_t gRowPixels[kMaxRow];
uint8_t gRowAlpha[kMaxRow];

void gatherRow(const uint16_t* __restrict s, const uint8_t* __restrict a, int n) {
    const int32_t* __restrict cols = gColumns;
    uint16_t* __restrict px = gRowPixels;
    uint8_t* __restrict al = gRowAlpha;
    if (a) {
        for (int i = 0; i < n; ++i) {
            int32_t c = cols[i];
            px[i] = s[c];
            al[i] = a[c];
        }
    } else {
        for (int i = 0; i < n; ++i) px[i] = s[cols[i]];
    }
}

// 1:1 both ways: the region's rows in one kernel call, then any rows past its last one (limY
// is where it ends) repeat that row, as the scaled rule does.
void drawUnscaled(const BlitBatch& b, int64_t X, int64_t Y, int64_t srcX, int64_t srcY,
                  int64_t nCols, int64_t nRows, int64_t limY) {
    const int64_t inside = min64(nRows, limY - srcY);
    uint16_t* d = b.dst.pixels + Y * b.dst.pitch + X;
    auto draw = [&](int64_t from, int64_t rows, int step) {
        const int64_t srcRow = b.frameRow0 + from;
        const uint8_t* a = b.alpha ? b.src.alpha + srcRow * b.src.alphaPitch + srcX : nullptr;
        b.kernel(d, b.dst.pitch, b.src.pixels + srcRow * b.src.pitch + srcX, step * b.src.pitch,
                 a, step * b.src.alphaPitch, static_cast<int>(nCols), static_cast<int>(rows),
                 b.params);
        d += rows * b.dst.pitch;
    };
    const int64_t done = inside > 0 ? inside : 0;
    if (done > 0) draw(srcY, done, 1);
    if (nRows > done) draw(limY - 1, nRows - done, 0);
}

void blitCore(sMaterial material, CSprite* target, int x, int y, int w, int h, CSprite* source,
              int sx, int sy, int sw, int sh, int time, uint32_t colour, bool mirrored) {
    if (!target || !source) return;
    if (!grClassifyAlpha(&material, colour, source)) return;
    int row = grBlitRowOf(material);
    if (row == kRowNone) {
        grReportMaterial(material);
        return;
    }
    if (w == 0 || h == 0 || sw <= 0 || sh <= 0 || sx < 0 || sy < 0) return;
    if (!mirrored && (w < 0 || h < 0)) return;

    SpritePixels dst, src;
    ClipRect clip;
    if (!grSpritePixels(target, &dst) || !grSpritePixels(source, &src)) return;
    if (!grTargetClip(target, dst, &clip)) return;
    bool needAlpha = rowReadsAlpha(row);
    if (needAlpha && !src.alpha) return;

    // The frame's rows within the storage; no step may leave the region or the frame.
    int64_t frameRow0 = static_cast<int64_t>(grFrameOfTime(source, time)) * source->height;
    int64_t frameRows = min64(source->height, src.rows - frameRow0);
    int64_t limX = min64(static_cast<int64_t>(sx) + sw, src.cols);
    int64_t limY = min64(static_cast<int64_t>(sy) + sh, frameRows);
    if (sx >= limX || sy >= limY) return;

    int64_t W = w < 0 ? -static_cast<int64_t>(w) : w;
    int64_t H = h < 0 ? -static_cast<int64_t>(h) : h;
    int64_t stepX = (static_cast<int64_t>(sw) << 16) / W;
    int64_t stepY = (static_cast<int64_t>(sh) << 16) / H;

    int64_t X = x < clip.x0 ? clip.x0 : x;
    int64_t Y = y < clip.y0 ? clip.y0 : y;
    int64_t XE = min64(static_cast<int64_t>(x) + W, clip.x1);
    int64_t YE = min64(static_cast<int64_t>(y) + H, clip.y1);
    if (X >= XE || Y >= YE) return;

    // A mirrored axis starts its source at the far clip edge, a plain one at the near edge; the
    // clipped start is a whole source pixel. Each cut is shorter than the destination, so the
    // products stay below sw << 16.
    int64_t srcX = sx, srcY = sy;
    if (w < 0 && static_cast<int64_t>(x) + W > clip.x1)
        srcX -= ((clip.x1 - (static_cast<int64_t>(x) + W)) * stepX) >> 16;
    if (h < 0 && static_cast<int64_t>(y) + H > clip.y1)
        srcY -= ((clip.y1 - (static_cast<int64_t>(y) + H)) * stepY) >> 16;
    if (w > 0 && x < clip.x0) srcX += ((clip.x0 - static_cast<int64_t>(x)) * stepX) >> 16;
    if (h > 0 && y < clip.y0) srcY += ((clip.y0 - static_cast<int64_t>(y)) * stepY) >> 16;

    // Steps that would pass the region's far edge (the far clip of a mirrored axis rounds its
    // start up) take the region's last pixel instead.
    int64_t fx0 = srcX * 65536, fy0 = srcY * 65536;
    int64_t lastCol = limX - 1, lastRow = limY - 1;
    int64_t nCols = XE - X, nRows = YE - Y;
    int64_t dstX0 = X;

    RowParams params;
    params.colour = pxSplitColour(colour);
    params.skipZero = rowSkipsZero(row, source, mirrored);
    RowKernel kernel = grFastRow(row);
    bool direct = w > 0 && stepX == 65536;
    if (direct) {
        nCols = min64(nCols, limX - srcX);  // only a region wider than the frame is cut here
        if (nCols <= 0) return;
    }
    if (direct && h > 0 && stepY == 65536) {
        BlitBatch b{grFastRect(row), params, dst, src, clip, static_cast<int>(frameRow0),
                    static_cast<int>(frameRows), needAlpha};
        drawUnscaled(b, X, Y, srcX, srcY, nCols, nRows, limY);
        return;
    }
    if (!direct) {
        // Mirrored, the first target column takes the last source step.
        for (int64_t i = 0; i < nCols; ++i) {
            int64_t k = w > 0 ? i : nCols - 1 - i;
            gColumns[i] = static_cast<int32_t>(min64((fx0 + k * stepX) >> 16, lastCol));
        }
    }
    int64_t gathered = -1;  // the source row now in the row buffers
    for (int64_t r = 0; r < nRows; ++r) {
        int64_t srcRow = frameRow0 + min64((fy0 + r * stepY) >> 16, lastRow);
        int64_t dstRow = h < 0 ? YE - 1 - r : Y + r;
        uint16_t* d = dst.pixels + dstRow * dst.pitch + dstX0;
        const uint16_t* s = src.pixels + srcRow * src.pitch;
        const uint8_t* a = needAlpha ? src.alpha + srcRow * src.alphaPitch : nullptr;
        if (direct) {
            kernel(d, s + srcX, a ? a + srcX : nullptr, static_cast<int>(nCols), params);
            continue;
        }
        if (srcRow != gathered) {
            gatherRow(s, a, static_cast<int>(nCols));
            gathered = srcRow;
        }
        kernel(d, gRowPixels, a ? gRowAlpha : nullptr, static_cast<int>(nCols), params);
    }
}

}  // namespace

bool grClassifyAlpha(sMaterial* material, uint32_t colour, const CSprite* source) {
    uint8_t* m = material->bytes;
    int a = static_cast<int>(colour >> 24);
    int r = static_cast<int>((colour >> 16) & 255);
    int g = static_cast<int>((colour >> 8) & 255);
    int b = static_cast<int>(colour & 255);
    if (m[0] == 3) {
        if (a >= 240) m[0] = 1;
        else if (a <= 15) return false;
    }
    if (m[0] == 4) {
        if (a >= 240) m[0] = 2;
        else if (a <= 15) return false;
    }
    if (m[1] == 4 && r >= 240 && g >= 240 && b >= 240) m[1] = 2;
    else if (m[1] == 7 && r <= 15 && g <= 15 && b <= 15) m[1] = 2;
    if (!source || !source->alpha) {
        if (m[0] == 4) m[0] = 3;
        else if (m[0] == 2) m[0] = 1;
    }
    return true;
}

int grBlitRowOf(sMaterial material) {
    const uint8_t* m = material.bytes;
    int ab = m[0] * 16 + m[1];  // alpha source and colour operation, one hex digit each
    if (m[2] == 1 && m[3] == 30) {
        switch (ab) {
        case 0x12: return kRowCopy;
        case 0x14: return kRowTint;
        case 0x17: return kRowAddColour;
        case 0x23: return kRowAlphaSilhouette;
        case 0x22: return kRowAlpha;
        case 0x24: return kRowAlphaTint;
        case 0x27: return kRowAlphaAddColour;
        case 0x42: return kRowAlphaConst;
        case 0x44: return kRowAlphaConstTint;
        case 0x32: return kRowConst;
        case 0x34: return kRowConstTint;
        default: return kRowNone;
        }
    }
    if (m[3] != 31) return kRowNone;
    if (m[2] == 1) {
        switch (ab) {
        case 0x12: return kRowAdd;
        case 0x22: return kRowAlphaAdd;
        case 0x24: return kRowAlphaAddTint;
        case 0x42: return kRowAlphaConstAdd;
        case 0x32: return kRowConstAdd;
        default: break;
        }
    }
    if (m[1] == 4) return kRowAddTintLimited;
    if (m[1] == 7) return kRowAddColourLimited;
    return kRowNone;
}

RowKernel grScalarRow(int row) {
    return row >= 0 && row < kRowCount ? kScalarRows[row] : nullptr;
}

RectKernel grScalarRect(int row) {
    return row >= 0 && row < kRowCount ? kScalarRects[row] : nullptr;
}

RowKernel grFastRow(int row) {
    RowKernel k = grVectorRow(grVectorBytes(), row);
    return k ? k : grScalarRow(row);
}

RectKernel grFastRect(int row) {
    RectKernel k = grVectorRect(grVectorBytes(), row);
    return k ? k : grScalarRect(row);
}

bool grBlitBatchBegin(BlitBatch* batch, sMaterial material, CSprite* target, CSprite* source,
                      int time, uint32_t colour) {
    if (!batch || !target || !source) return false;
    if (!grClassifyAlpha(&material, colour, source)) return false;
    const int row = grBlitRowOf(material);
    if (row == kRowNone) {
        grReportMaterial(material);
        return false;
    }
    if (!grSpritePixels(target, &batch->dst) || !grSpritePixels(source, &batch->src)) return false;
    if (!grTargetClip(target, batch->dst, &batch->clip)) return false;
    batch->alpha = rowReadsAlpha(row);
    if (batch->alpha && !batch->src.alpha) return false;
    const int64_t frameRow0 = static_cast<int64_t>(grFrameOfTime(source, time)) * source->height;
    const int64_t frameRows = min64(source->height, batch->src.rows - frameRow0);
    if (frameRows <= 0) return false;
    batch->frameRow0 = static_cast<int>(frameRow0);
    batch->frameRows = static_cast<int>(frameRows);
    batch->params.colour = pxSplitColour(colour);
    batch->params.skipZero = rowSkipsZero(row, source, false);
    batch->kernel = grFastRect(row);
    return true;
}

void grBlitBatchRegion(const BlitBatch& b, int x, int y, int w, int h, int sx, int sy) {
    if (w <= 0 || h <= 0 || sx < 0 || sy < 0) return;
    const int64_t limX = min64(static_cast<int64_t>(sx) + w, b.src.cols);
    const int64_t limY = min64(static_cast<int64_t>(sy) + h, b.frameRows);
    if (sx >= limX || sy >= limY) return;
    const int64_t X = x < b.clip.x0 ? b.clip.x0 : x;
    const int64_t Y = y < b.clip.y0 ? b.clip.y0 : y;
    const int64_t XE = min64(static_cast<int64_t>(x) + w, b.clip.x1);
    const int64_t YE = min64(static_cast<int64_t>(y) + h, b.clip.y1);
    if (X >= XE || Y >= YE) return;
    const int64_t srcX = sx + (X - x), srcY = sy + (Y - y);
    const int64_t nCols = min64(XE - X, limX - srcX);
    if (nCols <= 0) return;
    drawUnscaled(b, X, Y, srcX, srcY, nCols, YE - Y, limY);
}

// An unknown material is a log line, once per material, not a message box: the draw that uses it
// runs every frame, so a modal box would come back at every frame and the game would not go on.
void grReportMaterial(sMaterial material) {
    // Materials seen so far; past the table's end new ones are no longer logged.
    static uint32_t seen[256];
    static int seenCount = 0;
    const uint8_t* m = material.bytes;
    uint32_t key = m[0] | (m[1] << 8) | (m[2] << 16) | (static_cast<uint32_t>(m[3]) << 24);
    for (int i = 0; i < seenCount; ++i) {
        if (seen[i] == key) return;
    }
    if (seenCount == 256) return;
    seen[seenCount++] = key;
    char text[256];
    snprintf(text, sizeof text, "sMaterial(%d,%d,%d,%d)", m[1], m[0], m[2], m[3]);
    logPrintf("SpriteBlt Unknown material: %s\n", text);
}

bool grSpritePixels(CSprite* sprite, SpritePixels* out) {
    if (!sprite || sprite->width <= 0 || sprite->height <= 0) return false;
    grLockSprite(sprite);
    if (!sprite->pixels) return false;
    int cols = sprite->width;
    int rows = sprite->fullHeight;
    int pitch = sprite->pitch / 2;
    if (pitch < cols) cols = pitch;
    if (sprite->surface) {
        if (sprite->surface->width < cols) cols = sprite->surface->width;
        if (sprite->surface->height < rows) rows = sprite->surface->height;
    }
    if (cols <= 0 || rows <= 0) return false;
    out->pixels = sprite->pixels;
    out->pitch = pitch;
    out->cols = cols;
    out->rows = rows;
    out->alpha = sprite->alpha;
    out->alphaPitch = sprite->width;
    return true;
}

bool grTargetClip(const CSprite* target, const SpritePixels& pixels, ClipRect* clip) {
    clip->x0 = target->clipX0 > 0 ? target->clipX0 : 0;
    clip->y0 = target->clipY0 > 0 ? target->clipY0 : 0;
    clip->x1 = target->clipX1 < pixels.cols ? target->clipX1 : pixels.cols;
    clip->y1 = target->clipY1 < pixels.rows ? target->clipY1 : pixels.rows;
    return clip->x0 < clip->x1 && clip->y0 < clip->y1;
}

void grBlit(sMaterial material, CSprite* target, int x, int y, int w, int h, CSprite* source,
            int sx, int sy, int sw, int sh, int time, uint32_t colour) {
    blitCore(material, target, x, y, w, h, source, sx, sy, sw, sh, time, colour, false);
}

void grBlitFlip(sMaterial material, CSprite* target, int x, int y, int w, int h, CSprite* source,
                int sx, int sy, int sw, int sh, int time, uint32_t colour) {
    blitCore(material, target, x, y, w, h, source, sx, sy, sw, sh, time, colour, true);
}
