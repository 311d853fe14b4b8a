// The bitmap font object behind CGraphFont: a registered sprite whose pixels hold the glyphs, with
// per-code glyph tables read from the metric file beside the image. Private to the graphics family.
#pragma once

#include <cstdint>

#include "engine/gr/sprite.h"

// Packed glyph word: bits 0-5 width, bit 6 sign and bits 7-10 magnitude of the left offset,
// bit 11 sign and bits 12-15 magnitude of the extra advance.
constexpr int kGlyphMaxWidth = 63;
constexpr int kGlyphMaxOffset = 15;

uint16_t grPackGlyph(int width, int leftOffset, int extraAdvance);  // clamps each value
inline int grGlyphWordWidth(uint16_t word) { return word & 63; }
inline int grGlyphWordLeft(uint16_t word) {
    const int magnitude = (word >> 7) & 15;
    return (word & 0x40) ? -magnitude : magnitude;
}
inline int grGlyphWordExtra(uint16_t word) {
    const int magnitude = (word >> 12) & 15;
    return (word & 0x800) ? -magnitude : magnitude;
}

class CGraphFont : public CSpriteExt {
public:
    CGraphFont() = default;
    ~CGraphFont() override;

    int16_t spaceAdvance = 0;  // pen advance of every code below 33
    int16_t lineHeight = 0;    // height of a glyph cell and of one glyph row
    int16_t rows = 1;          // glyph sets stacked in the image, at least 1
    int32_t tableSize = 0;     // 256 or 65536 once metrics are read; 0 before
    // Rows between one glyph set and the next: line height + the largest glyph y, the same height
    // the number of sets is counted by.
    int32_t setStride = 0;
    uint16_t* positions = nullptr;  // x, y per code: top-left in the first glyph set
    uint16_t* glyphs = nullptr;     // packed word per code

    uint16_t glyph(int code) const { return code >= 0 && code < tableSize ? glyphs[code] : 0; }
    // Pen advance of one character, spaces included.
    int advance(int code) const {
        if (code < 33) return spaceAdvance;
        const uint16_t g = glyph(code);
        return grGlyphWordLeft(g) + grGlyphWordWidth(g) + grGlyphWordExtra(g);
    }
};

// Reads the metric file beside the font's image ("<image without extension>.fh"), the image being
// loaded already. A missing image is reported by a box and a missing or damaged metric file by a
// log line; whatever is read stays usable.
void grFontReadMetrics(CGraphFont* font);
// The same from a metric text in memory (size bytes, no terminator needed); log lines name
// `fileName`, the metric file the text came from.
void grFontParseMetrics(CGraphFont* font, const char* text, int size, const char* fileName);
// The glyph set a draw state picks for a font of that many sets.
int grFontSetOfState(int rows, int state);
