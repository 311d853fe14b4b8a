// The rectangle blitter behind the grDraw family: material simplification, the per-material
// rows and the safe view of a sprite's pixels that the blitter and the triangle filler read.
#pragma once

#include "engine/gr/pixelops.h"
#include "engine/gr/sprite.h"

#include <cstdint>

// Simplifies a material for this colour and source (opaque colours, white tints, sprites
// without alpha); false when nothing is to be drawn.
bool grClassifyAlpha(sMaterial* material, uint32_t colour, const CSprite* source);

// Draws the source region (sx, sy, sw, sh) of the frame picked by time, scaled to
// [x, x + w) x [y, y + h), into the target's clip rectangle. grBlit takes w, h >= 0; grBlitFlip
// takes either sign and mirrors the negative axes.
void grBlit(sMaterial material, CSprite* target, int x, int y, int w, int h, CSprite* source,
            int sx, int sy, int sw, int sh, int time, uint32_t colour);
void grBlitFlip(sMaterial material, CSprite* target, int x, int y, int w, int h, CSprite* source,
                int sx, int sy, int sw, int sh, int time, uint32_t colour);

// Logs a material that no draw supports, once per material, so a bad material in an effect
// costs one log line rather than one per frame.
void grReportMaterial(sMaterial material);

// The part of a sprite's storage that can be read or written: locks the sprite, and limits the
// size to what its pixel storage holds (an alpha image may have resized the sprite without its
// pixels). False when there is nothing addressable.
struct SpritePixels {
    uint16_t* pixels;
    int pitch;  // in pixels
    int cols;   // addressable columns
    int rows;   // addressable rows, all frames
    const uint8_t* alpha;  // rows of width bytes, all frames; null without alpha
    int alphaPitch;
};
bool grSpritePixels(CSprite* sprite, SpritePixels* out);

// The target's clip rectangle limited to its storage; false when it is empty.
struct ClipRect {
    int x0, y0, x1, y1;
};
bool grTargetClip(const CSprite* target, const SpritePixels& pixels, ClipRect* clip);

// What a row of one material needs besides its pixels.
struct RowParams {
    DrawColour colour;
    bool skipZero;  // colour-key or zero rule: source pixels equal to 0 leave the target alone
};
// One row of one material: n target pixels from n source pixels and, for the materials that
// read it, n alpha bytes.
typedef void (*RowKernel)(uint16_t* d, const uint16_t* s, const uint8_t* a, int n,
                          const RowParams& p);

// Material rows of the blitter, by the simplified material. Scalar rows are the reference;
// vector rows give exactly the same pixels.
enum BlitRow {
    kRowCopy,               // [1,2,1,30]
    kRowTint,               // [1,4,1,30]
    kRowAddColour,          // [1,7,1,30]
    kRowAlphaSilhouette,    // [2,3,1,30]
    kRowAlpha,              // [2,2,1,30]
    kRowAlphaTint,          // [2,4,1,30]
    kRowAlphaAddColour,     // [2,7,1,30]
    kRowAlphaConst,         // [4,2,1,30]
    kRowAlphaConstTint,     // [4,4,1,30]
    kRowConst,              // [3,2,1,30]
    kRowConstTint,          // [3,4,1,30]
    kRowAdd,                // [1,2,1,31]
    kRowAlphaAdd,           // [2,2,1,31]
    kRowAlphaAddTint,       // [2,4,1,31]
    kRowAlphaConstAdd,      // [4,2,1,31]
    kRowConstAdd,           // [3,2,1,31]
    kRowAddTintLimited,     // other colour operation 4, additive
    kRowAddColourLimited,   // other colour operation 7, additive
    kRowCount,
    kRowNone = -1
};
// A rectangle of one material: `rows` rows of n pixels, each pointer moving on by its pitch
// (in elements; 0 repeats a row) from one row to the next. The same pixels as the row kernel
// applied row by row, in one call.
typedef void (*RectKernel)(uint16_t* d, int dPitch, const uint16_t* s, int sPitch,
                           const uint8_t* a, int aPitch, int n, int rows, const RowParams& p);

// The row for a simplified material, kRowNone when unsupported.
int grBlitRowOf(sMaterial material);
RowKernel grScalarRow(int row);
RectKernel grScalarRect(int row);
// What the blitter uses: vector rows where the processor has them, else the scalar ones.
RowKernel grFastRow(int row);
RectKernel grFastRect(int row);
// The widest vector rows this processor runs, in bytes: 64 (AVX-512BW), 32 (AVX2), 16 (every
// GCC or clang target), 0 without any.
int grVectorBytes();
// Vector rows of one width; null where the processor or the material has none. For tests and
// the dispatch.
RowKernel grVectorRow(int bytes, int row);
RectKernel grVectorRect(int bytes, int row);

// An unscaled, unmirrored draw of many regions of one source with one material and colour (the
// glyphs of a text): material, colour, clip and frame are settled once by grBlitBatchBegin, then
// each region is drawn by one rectangle kernel call, with exactly the pixels grBlit gives it.
struct BlitBatch {
    RectKernel kernel;
    RowParams params;
    SpritePixels dst, src;
    ClipRect clip;
    int frameRow0, frameRows;  // the frame's rows within the source storage
    bool alpha;                // the kernel reads the alpha plane
};
// False when nothing of this source can be drawn with this material and colour (nothing is
// logged that grBlit would not log).
bool grBlitBatchBegin(BlitBatch* batch, sMaterial material, CSprite* target, CSprite* source,
                      int time, uint32_t colour);
// The region (sx, sy, w, h) of the frame drawn at (x, y); w, h >= 0.
void grBlitBatchRegion(const BlitBatch& batch, int x, int y, int w, int h, int sx, int sy);
