// The display's inner side for the rest of the graphics family: the back buffer every draw
// targets by default.
#pragma once

#include "engine/gr/sprite.h"

// The screen sprite (RGB565 memory surface of the display size); null while the display is
// closed or failed to start, and drawing must then do nothing.
CSpriteExt* grBackBuffer();
