// The effects part of the stand-in screen: keys start the fireworks, fly coins with rising money
// texts, drop a caption and pulse a sign; a sparkle follows the mouse.
#pragma once

#include <cstdint>

class FxDemo;

FxDemo* fxDemoCreate();
void fxDemoDestroy(FxDemo* demo);
void fxDemoUpdate(FxDemo* demo, int milliseconds);
void fxDemoDraw(FxDemo* demo);
// True when the key belongs to the demo.
bool fxDemoKey(FxDemo* demo, int key);
void fxDemoMouse(FxDemo* demo, intptr_t position);
// The line that tells the player which keys do what.
const char* fxDemoHelp();
