// The application shell: the game's start-up, frame, message dispatch and shut-down (the four
// hooks of engine/platform/engine.h), which drive the window manager.
#pragma once

#include <cstdint>

// A stand-in screen of the kind written before windows existed (the world demo): input, updates,
// drawing, and whether it is still on show. The first screen shows one in a window of its own.
class ShellWM {
public:
    virtual ~ShellWM() {}
    // Nonzero while the screen is on show; 0 once it has ended itself.
    virtual int Count() = 0;
    virtual int Update(int milliseconds) = 0;
    virtual int Render() = 0;
    // Mouse buttons arrive as the keys 1, 2 and 4 with the position packed into data.
    virtual int OnKeyDown(int key, intptr_t data) = 0;
    virtual int OnKeyUp(int key, intptr_t data) = 0;
    virtual int OnChar(int character, intptr_t data) = 0;
    virtual int OnMouseMove(int buttons, intptr_t position) = 0;
};

// The program's screens: made after the window manager at start-up (the first one pushed), and
// released after it at shut-down. Without them the shell shows its stand-in screen.
void appSetScreens(void (*start)(), void (*release)());

// While paused, frames draw but nothing is updated.
void appSetPaused(int paused);
int appIsPaused();

// The length of one update step and the most time one frame may catch up on, in milliseconds.
constexpr int kUpdateStepMs = 25;
constexpr int kMaxCatchUpMs = 300;
