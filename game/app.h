// The application shell: the game's start-up, frame, message dispatch and shut-down (the four
// hooks of engine/platform/engine.h), which drive the window manager.
#pragma once

#include <cstdint>

// The program's screens: made after the window manager at start-up (the first one pushed), and
// released after it at shut-down. Without them nothing is on show and the program ends at once.
void appSetScreens(void (*start)(), void (*release)());

// While paused, frames draw but nothing is updated.
void appSetPaused(int paused);
int appIsPaused();

// The length of one update step and the most time one frame may catch up on, in milliseconds.
constexpr int kUpdateStepMs = 25;
constexpr int kMaxCatchUpMs = 300;
