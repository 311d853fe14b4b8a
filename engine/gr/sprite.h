// The sprite object behind a HSPRITE: RGB565 pixels, an optional 8-bit alpha plane and frames
// stacked vertically. Private to the graphics family (drawing, display, registry, fonts).
#pragma once

#include "engine/gr/gr.h"

#include <cstdint>

// An RGB565 memory surface standing where the display's off-screen surfaces stood: rows of
// pitch bytes; colour key 0 (pixels equal to 0 are the transparent ones when the key is used).
struct GrSurface {
    uint16_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes
    bool locked = false;
};

// Creates a zero-filled RGB565 surface; null when the size is not positive or memory runs out.
GrSurface* grCreateSurface(int width, int height, int caps);
void grFreeSurface(GrSurface* surface);

struct CSprite {
    int16_t width = 0;
    int16_t height = 0;  // one frame; the whole image when there is one frame
    char name[128] = {};       // registry key
    char imageFile[128] = {};  // empty for a blank sprite
    char alphaFile[128] = {};
    uint16_t period = 1;  // animation period in ms
    int16_t clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;  // right and bottom exclusive
    uint16_t pitch = 0;   // bytes
    uint16_t frames = 1;
    // The image's full height: what frames divide. Kept apart from height * frames, which loses
    // the rows of an uneven division.
    int16_t fullHeight = 0;
    uint32_t refWord = 3;  // bit 0: some pixel is 0x0000 (key pixels); bits 1-31: references
    uint16_t* pixels = nullptr;  // valid while locked, or always for plain-memory pixels
    uint8_t* alpha = nullptr;    // width bytes per row, all frames; null without alpha
    GrSurface* surface = nullptr;  // owns the pixels when set; null for plain memory
    // Its pixels are exactly its files' (no drawing into it, no flip or gray since loading), so
    // they can be let go and read again; and whether they are let go now (parked).
    bool fileBacked = false;
    bool parked = false;

    bool keyPixels() const { return (refWord & 1u) != 0; }
    void setKeyPixels(bool on) { refWord = on ? (refWord | 1u) : (refWord & ~1u); }
    uint32_t references() const { return refWord >> 1; }
};

class CSpriteExt : public CSprite {
public:
    CSpriteExt() = default;
    CSpriteExt(const CSpriteExt&) = delete;
    CSpriteExt& operator=(const CSpriteExt&) = delete;
    virtual ~CSpriteExt();
};

// Makes the pixels addressable (pixels and pitch valid) and releases them again.
void grLockSprite(CSprite* sprite);
void grUnlockSpriteObj(CSprite* sprite);
// Unlocks, releases the surface, frees plain pixels and the alpha plane.
void grSpriteFreePixels(CSprite* sprite);
// (Re)reads pixels and alpha from the sprite's files. Whatever fails, width, height and frames
// afterwards describe pixels that exist: a missing or unreadable image leaves width 0 and no
// pixels (a blank surface of the old size on a reload whose file is gone).
void grLoadSpriteFile(CSpriteExt* sprite);
// Reads the separate gray-scale alpha image into the alpha plane. An alpha image that would
// reach past the colour pixels, or one without colour pixels, is not used (logged).
void grLoadAlpha(CSpriteExt* sprite);

// Names and file names must fit the 128-byte fields: longer ones are refused, never cut, so a
// cut name can never alias another sprite.
constexpr int kSpriteNameSize = 128;

// The frame shown at time t: (t mod period) * frames / period. A period of 0 counts as 1 and a
// negative time as 0, so a damaged frame setting never divides by zero.
inline int grFrameOfTime(const CSprite* sprite, int time) {
    int period = sprite->period ? sprite->period : 1;
    int frames = sprite->frames ? sprite->frames : 1;
    if (time < 0) time = 0;
    return static_cast<int>((static_cast<int64_t>(time % period) * frames) / period);
}
