// The screen the game shows until its real screens exist: the bundled picture, sprites in a few
// blend materials, a line of text, the menu music and a click sound.
#pragma once

#include "game/app.h"

// Creates the first screen; it holds one window until Escape.
ShellWM* firstScreenCreate();
