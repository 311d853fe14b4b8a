// Readers that turn one INI value into numbers, texts, sprites or fonts; the short "file|period|
// count" sprite text; free-and-null for sprites and fonts; sprites drawn scaled about a point.
#pragma once

#include <cstdint>

#include "core/values.h"
#include "engine/gr/gr.h"

// Each reader fetches (file, section, key) from the INI store; an absent key is not the same as
// an empty value.

// "a, b" with optional white space around each number and the comma. Both outputs are set to 0
// first; false for a null argument, an absent key or a missing comma (a keeps its value then).
bool iniParseIntPair(int* a, int* b, const char* file, const char* section, const char* key);
bool iniReadIntPair(Point2i* point, const char* file, const char* section, const char* key);
// The value cut to size - 1 bytes; the buffer is zeroed first. False for a null argument, a size
// below 1 or an absent key.
bool iniReadString(char* buffer, int size, const char* file, const char* section, const char* key);
// A new malloc copy (the caller frees it) of the wide value of a key outside any section; null
// when file or key is null or empty, or the key is absent.
char16_t* iniReadText(const char* file, const char* key);
// "image[, period, count]": the sprite, with that frame period (ms) and frame count when both
// are given (values below 1 count as 1, logged). Null when the key is absent or empty.
HSPRITE iniReadAnimSprite(const char* file, const char* section, const char* key);
// The font named by the value; null when the key is absent.
CGraphFont* iniReadFont(const char* file, const char* section, const char* key);

// Frees the sprite or font a handle holds and nulls the handle; nothing for a null handle.
void spriteFree(HSPRITE* sprite);
void fontFree(CGraphFont** font);

// "image", "image|period" or "image|period|count". The bars in text are overwritten with zeros.
// Frames are set only when period and count are both nonzero. Null for a null or empty text.
HSPRITE loadSpriteBarSpec(char* text);

// The whole sprite drawn scaled and centred on (x, y); flips mirror it through a negative size,
// and an anchor puts the left or top edge at x or y instead. Scaling applies when the factor is
// not 1 (drawSpriteShrunk: below 1; drawSpriteScaledXY: each factor below 1), the size being
// truncated. A colour whose alpha is below 15 draws nothing.
void drawSpriteScaled(int x, int y, HSPRITE sprite, float scale, uint32_t colour, bool flipX,
                      bool flipY, bool anchorLeft, bool anchorTop);
void drawSpriteScaledXY(int x, int y, HSPRITE sprite, float sx, float sy, uint32_t colour,
                        bool flipX, bool flipY, bool anchorLeft, bool anchorTop);
// With the material (4, 2, 1, 30): the sprite tinted by the colour.
void drawSpriteShrunk(int x, int y, HSPRITE sprite, float scale, uint32_t colour, int time,
                      bool flipX, bool flipY, bool anchorLeft, bool anchorTop);
void drawSpriteScaledEx(sMaterial material, int x, int y, HSPRITE sprite, float scale,
                        uint32_t colour, int time, bool flipX, bool flipY, bool anchorLeft,
                        bool anchorTop);
// alignX > 0 puts the left edge at x, < 0 the right edge (x - w, w after flipping), 0 centres;
// alignY likewise with the top edge.
void drawSpriteScaledXYEx(sMaterial material, int x, int y, HSPRITE sprite, float sx, float sy,
                          uint32_t colour, int time, bool flipX, bool flipY, int alignX,
                          int alignY);
