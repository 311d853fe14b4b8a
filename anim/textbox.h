// Breaking a UTF-16 text into lines and choosing the font scale that fits it into a box; "<>" in
// a text forces a paragraph break.
#pragma once

#include "core/array.h"
#include "engine/gr/gr.h"

// Lines are malloc blocks of NUL-terminated UTF-16 text, owned by whoever holds the array.
typedef cArray<char16_t*> TextLines;
// Frees every line and empties the array.
void freeTextLines(TextLines& lines);

// The text's width as a float; 0 without a font or a text.
float textWidthF(CGraphFont* font, const char16_t* text);
// 0 without a font.
float fontHeightF(CGraphFont* font);
float floorF(float x);
float ceilF(float x);
float sqrtF(float x);

// Fills lines (cleared first, without freeing: pass an empty array) and scale so that the text
// fills the box, the scale being at most maxScale. True when it fits at a scale of at least 1.
// Without font, text, lines or scale: false and nothing written. A font of height 0 lays out
// nothing: no lines, scale = maxScale, false.
bool fitTextInBox(const char16_t* text, TextLines* lines, float* scale, CGraphFont* font,
                  float boxWidth, float boxHeight, float maxScale);
// The entry point: paragraphs are laid out one by one and the smallest of their scales is
// written; a text that does not fit at scale 1 gets the balanced layout, about
// sqrt(W x boxHeight / (H x boxWidth)) lines. lines and scale may be null; without a font
// nothing is done.
void layoutTextInBox(const char16_t* text, TextLines* lines, float* scale, CGraphFont* font,
                     float boxWidth, float boxHeight, float maxScale);
