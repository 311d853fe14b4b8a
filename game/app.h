// The application shell: the game's start-up, frame, message dispatch and shut-down (the four
// hooks of engine/platform/engine.h), and the screens they drive.
#pragma once

#include <cstdint>

// What the shell drives of the window manager: input, fixed-step updates, drawing, and whether
// anything is left on show. The window manager takes this place once it exists.
class ShellWM {
public:
    virtual ~ShellWM() {}
    // Windows held; the program ends when none is left.
    virtual int Count() = 0;
    virtual int Update(int milliseconds) = 0;
    virtual int Render() = 0;
    // Mouse buttons arrive as the keys 1, 2 and 4 with the position packed into data.
    virtual int OnKeyDown(int key, intptr_t data) = 0;
    virtual int OnKeyUp(int key, intptr_t data) = 0;
    virtual int OnChar(int character, intptr_t data) = 0;
    virtual int OnMouseMove(int buttons, intptr_t position) = 0;
};

// Installs the manager the shell drives, taking it over (the one before is deleted); null
// leaves none, and then every frame reports that nothing is on show.
void appSetWM(ShellWM* wm);
ShellWM* appWM();

// While paused, frames draw but nothing is updated.
void appSetPaused(int paused);
int appIsPaused();

// The length of one update step and the most time one frame may catch up on, in milliseconds.
constexpr int kUpdateStepMs = 25;
constexpr int kMaxCatchUpMs = 300;
