// What the screens between levels (shop, school, home) share: the link from the object factory
// to the player, and the small pieces of look they have in common.
#pragma once

#include <cstdint>
#include <string>

#include "engine/gr/gr.h"

class Window;

// Pushes a held screen (not modal, not exclusive) when its holder has one.
void pushScreen(Window* screen, bool closeOthers);

// The level objects that the screens build (the shop's preview) come from the current player:
// when no level has told the object factory whose hotel it builds, the player profile does.
void linkWorldToProfile();

// A translated text by its key, empty when the translation is missing.
std::u16string translatedText(const char* key);

// The pulse of a figure the player cannot afford: value += ms / speed, turning at 50 and at max;
// a speed of 0 holds it.
void stepPulse(int& value, int max, int& speed, int ms);
// The selection corners move in and out by speed per update, turning outside 0..depth.
void stepCorners(float offsets[2], float& speed, int depth);
// Four copies of the corner sprite around the cell (left, top, w, h), mirrored per corner and
// moved in by offset.
void drawCorners(HSPRITE corner, int left, int top, int w, int h, float offset);
