// Graphics: the display and its RGB565 back buffer, sprites shared by name, drawing with blend
// materials, textured triangles and bitmap fonts. The one header game and UI code include.
#pragma once

#include "core/values.h"

#include <cstddef>
#include <cstdint>

// A loaded sprite. Game code only passes handles around; 0 means no sprite.
struct CSprite;
typedef CSprite* HSPRITE;
// A bitmap font: a sprite with glyph tables, handed out as the object itself.
class CGraphFont;

// --- Display -----------------------------------------------------------------------------------

// Opens the display with a back buffer of width x height (fixed by the first call) in the
// platform window, or switches between windowed and full screen; a call with the mode already
// set changes nothing. 0; -1 (logged, and a box when there is no window) when no display could
// be set up: there is then no back buffer, and presenting and drawing do nothing.
int grInit(int width, int height, int bitsPerPixel, int fullScreen);
// Frees every registered sprite (the back buffer included) and closes the display.
void grDone();
int grIsInited();
// Back-buffer size, requested bits per pixel and full-screen flag; all 0 while closed.
void grGetMode(int* width, int* height, int* bitsPerPixel, int* fullScreen);
void grBeginFrame();
// Shows the back buffer in the window.
void grPresent();
// 1 when presenting waits for the vertical blank (full screen with game.ini [main] "sync"), so
// the frame loop need not pace itself.
int grWaitsForVsync();
void grSetWindowMode(int width, int height, int fullScreen);
const char* grErrorName(uint32_t code);
void grCacheSprite();
void grCacheFree();

// --- Sprites and the registry ------------------------------------------------------------------

int spriteWidth(HSPRITE sprite);   // 0 for null
int spriteHeight(HSPRITE sprite);  // frame height; 0 for null
// Loads a sprite by file name (shared: a loaded name gets one more reference; with reload its
// pixels are read again). alphaFile null or empty derives "<dir>/_<name>.tga". Null for an empty
// name.
HSPRITE grLoadSprite(const char* file, const char* alphaFile, int reload);
void grFreeSprite(HSPRITE sprite);
CSprite* grAddRef(CSprite* sprite);
HSPRITE grSpriteAddRef(HSPRITE sprite);
HSPRITE grHandle(CSprite* sprite);
HSPRITE grHandle(CGraphFont* font);
void grSetFrames(HSPRITE sprite, int period, int count);
uint16_t grSpriteFrames(HSPRITE sprite);
uint16_t grSpriteTime(HSPRITE sprite);
void grLoadSpriteBank(const char* iniFile);
void grFreeSpriteBank(const char* iniFile);
HSPRITE grCreateSprite(int width, int height, const char* name);
uint16_t* grLockSpriteEx(HSPRITE sprite, int* width, int* height, int* pitch, int* redShift,
                         int* greenShift, int* blueShift, int* redBits, int* greenBits,
                         int* blueBits);
void grUnlockSprite(HSPRITE sprite);
int grIsLocked(HSPRITE sprite);
void grSpriteListDump();
// Calls visit once for every loaded sprite (fonts and the back buffer included) with its image
// file, the bytes its colour pixels and alpha plane hold and its references: memory accounting.
void grForEachSprite(void (*visit)(HSPRITE sprite, const char* imageFile, size_t bytes,
                                   int references, void* context),
                     void* context);
int grSpriteReferences(HSPRITE sprite);
// Parking: the pixels of a sprite read from its files and never drawn into are let go while the
// handle, its size and frames stay; a parked sprite draws nothing until unparked, which reads
// the same pixels again. Loading a parked sprite by name unparks it. False (nothing changes)
// for a sprite whose pixels its files cannot give back.
bool grParkSprite(HSPRITE sprite);
void grUnparkSprite(HSPRITE sprite);
void grFlipSprite(HSPRITE sprite, int fx, int fy);
void grGrayRows(HSPRITE sprite, int firstRow, int endRow);

// --- Drawing into the target (the back buffer unless grSetTarget says otherwise) ---------------

// Colours are 0xAARRGGBB; time (ms) picks the animation frame. Negative w or h mirror.
void grDraw(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx, int sy, int sw,
            int sh, uint32_t colour, int time);
void grDrawSprite(int x, int y, HSPRITE sprite, int time);
void grDrawSpriteMat(sMaterial material, int x, int y, HSPRITE sprite, int time);
void grDrawSpriteColor(sMaterial material, int x, int y, HSPRITE sprite, uint32_t colour, int time);
void grDrawRegionAt(int x, int y, int w, int h, HSPRITE sprite, int sx, int sy, int time);
void grDrawRegionAtMat(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx,
                       int sy, int time);
void grDrawRegion(int x, int y, int w, int h, HSPRITE sprite, int sx, int sy, int sw, int sh,
                  int time);
void grDrawRegionMat(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx, int sy,
                     int sw, int sh, int time);
void grDrawRegionColor(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx,
                       int sy, uint32_t colour, int time);
HSPRITE grScreen();
HSPRITE grSetTarget(HSPRITE sprite);
void grSetClip(HSPRITE sprite, int x0, int y0, int x1, int y1);
void grGetClip(HSPRITE sprite, int* x0, int* y0, int* x1, int* y1);
void grDrawPrimitive(int x0, int y0, int x1, int y1, uint32_t colour, int filled);
void grDrawRect(int x0, int y0, int x1, int y1, uint32_t colour);
void grDrawLine(int x0, int y0, int x1, int y1, uint32_t colour);
void grPutPixel(int x, int y, uint32_t colour);
// Debug text overlay ("PAUSED"); colour 0x00RRGGBB.
void grTextOut(int x, int y, const char* text, uint32_t colour);

// One affinely textured triangle; vertices in screen pixels, texture coordinates 0..1 across
// the frame. Only clockwise triangles (as seen with y down) draw.
void SpriteBlt(sMaterial material, float x0, float y0, float x1, float y1, float x2, float y2,
               HSPRITE sprite, float tu0, float tv0, float tu1, float tv1, float tu2, float tv2,
               uint32_t colour, int time);

// --- Fonts -------------------------------------------------------------------------------------

// Alignment: below 0 left/top, 0 centred, above 0 right/bottom. state picks the glyph set.
CGraphFont* grLoadFont(const char* file, const char* alphaFile);
void grFreeFont(CGraphFont* font);
int grFontHeight(CGraphFont* font);
int grFontSpaceWidth(CGraphFont* font);
int grTextWidth(CGraphFont* font, const char16_t* text, int n);
int grTextWidthA(CGraphFont* font, const char* text, int n);
int grTextFit(CGraphFont* font, const char* text, int width);
void grDrawText(CGraphFont* font, int x, int y, const char16_t* text, int state, int xalign,
                int yalign);
void grDrawTextA(CGraphFont* font, int x, int y, const char* text, int state, int xalign,
                 int yalign);
void grDrawTextEx(sMaterial material, CGraphFont* font, int x, int y, const char16_t* text,
                  uint32_t colour, int state, int xalign, int yalign);
void grDrawTextExA(sMaterial material, CGraphFont* font, int x, int y, const char* text,
                   uint32_t colour, int state, int xalign, int yalign);
void grDrawTextColor(sMaterial material, CGraphFont* font, int x, int y, float scaleX, float scaleY,
                     const char16_t* text, uint32_t colour, int state, int xalign, int yalign);
void grDrawTextColorA(sMaterial material, CGraphFont* font, int x, int y, float scaleX,
                      float scaleY, const char* text, uint32_t colour, int state, int xalign,
                      int yalign);
void grGlyphInfo(CGraphFont* font, int code, int* x, int* y, int* width, int* lineHeight,
                 int* leftOffset, int* extraAdvance);
int grGlyphX(CGraphFont* font, int code);
int grGlyphY(CGraphFont* font, int code);
int grGlyphWidth(CGraphFont* font, int code);
int grGlyphXOffset(CGraphFont* font, int code);
int grGlyphAdvance(CGraphFont* font, int code);
