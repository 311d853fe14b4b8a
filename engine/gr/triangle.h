// The textured-triangle filler's pieces: texture set-up, edge set-up and one texel form per
// material. SpriteBlt runs them over each triangle; tests call them one by one.
#pragma once

#include "engine/gr/blit.h"

#include <cstdint>

// Makes the frame of the sprite shown at time the texture; false when its storage does not
// hold the whole frame as rows of exactly width pixels.
bool triSetupTexture(CSprite* sprite, int time);

// The rows and the three edges of a triangle: vertices rounded and ordered by y, edge x in
// 10-bit fixed point, rows limited to the clip rectangle. False when no row is inside.
struct TriEdges {
    int64_t rowStart, rowEnd;      // rows drawn, end excluded
    int64_t topX, topY, midX, midY;
    int64_t slopeLong, slopeUpper, slopeLower;  // x steps per row, 10-bit fixed point
    bool longLeft;                 // the long edge (top to bottom) is the left end of each span
};
bool triSetupEdges(float x0, float y0, float x1, float y1, float x2, float y2,
                   const ClipRect& clip, TriEdges* edges);

// One target pixel from the texel (tu, tr) of the current texture, tr being a row offset
// already multiplied by the width; texels outside the frame leave the pixel alone.
typedef void (*TexelForm)(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);
void texelCopy(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);            // [1,2,1,30]
void texelAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);             // [1,2,1,31]
void texelAlpha(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);           // [2,2,1,30]
void texelConstAlpha(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);      // [3,2,1,30]
void texelAlphaConst(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);      // [4,2,1,30]
void texelAlphaTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);       // [2,4,1,30]
void texelConstAlphaTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);  // [3,4,1,30]
void texelAlphaConstTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);  // [4,4,1,30]
void texelAddTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);         // [1,4,1,31]
void texelAlphaAddTint(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);    // [2,4,1,31]
void texelAlphaAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);        // [2,2,1,31]
void texelAlphaConstAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);   // [4,2,1,31]
void texelConstAlphaAdd(uint16_t* d, int64_t tu, int64_t tr, const DrawColour& c);   // [3,2,1,31]
// The texel form of a simplified material; null when triangles do not support it.
TexelForm triTexelOf(sMaterial material);
