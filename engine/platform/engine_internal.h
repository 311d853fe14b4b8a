// Private: the engine window state shared by the entry, the window procedure and the services,
// and the seams through which tests drive the loop without a clock or a real event queue.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/platform/platform.h"

struct EngineWindow {
    char16_t title[256];     // game.ini [main] "name"; empty: no window and no loop
    int x, y;                // outer top-left corner on the desktop
    int xs, ys;              // client size
    int log;                 // game.ini [main] "log"
    int alwaysActive;        // frames keep running while inactive, one about every 100 ms
    int minimize;            // 0 never; 1 minimise on losing activation; -1 minimised by us
    int active;              // the program has the user's focus
    bool running;            // GameInit has returned: input reaches the game from now on
    bool cursorVisible;      // last state given to the system's cursor
    int presentWaits;        // the display's present waits for the vertical blank
    bool windowMade;         // the window was opened: its geometry is saved at the stop
    bool cursorForFrame;     // shown by the window procedure while the pointer is off the client
    char cursorFile[1024];   // the file wndLoadCursorFile loaded last; empty: none
};

// The one instance; engineInit starts it afresh.
EngineWindow& engineWindow();
// Back to the start values: empty title, active, cursor shown, everything else 0.
void engineWindowReset();
// The arguments engineMain keeps for cmdArg.
void engineSetArgs(int argc, char** argv);
// Makes the folder that holds game.ini the current one: the current folder, else the folder of
// the program (a full path, or null when unknown) or any above it, else share/velmora beside the
// program's folder, else the data folder of the configured install. False, with the current
// folder unchanged, when none holds it.
bool engineFindGameFolder(const char* program);

// An image file (TGA, JPEG or PNG, through the image readers) as 32-bit 0xAARRGGBB pixels, rows
// top to bottom: a 32-bit image keeps its alpha, any other is opaque. False, with a log line that
// starts with who, when it cannot be read.
bool wndReadPicture(const char* who, const char* file, std::vector<uint32_t>* pixels, int* width,
                    int* height);

// What the icon and cursor services use of the layer. Tests put stand-ins here: headless video
// drivers make no cursors.
struct PictureHooks {
    void (*setIcon)(const uint32_t* pixels, int width, int height);
    bool (*setCursor)(const uint32_t* pixels, int width, int height, int hotX, int hotY);
    void (*setArrow)();
    bool (*cursorIsOwn)();
};
// Null puts back the layer's own: platWindowSetIcon, platSetCursorImage, platSetCursorArrow and
// platCursorIsOwn.
void engineSetPictureHooks(const PictureHooks* hooks);
// Whether the cursor shown now is the window's own (the arrow or the picture of the cursor file).
bool wndCursorIsOwn();

// What the loop and the window procedure use of the outside world.
struct EngineHooks {
    bool (*nextMessage)(PlatMessage* out, bool wait);
    void (*sleep)(int milliseconds);
    float (*now)();          // milliseconds
    void (*minimize)();
};
// Null puts back the platform's own: platNextMessage, platSleep, timerNow, platWindowMinimize.
void engineSetHooks(const EngineHooks* hooks);
const EngineHooks& engineHooks();

// The loop ends once no message waits (the window's end posts it).
void enginePostQuit();
// The default handling of a message the window procedure passes on: a close ends the window.
intptr_t wndDefault(uint32_t message, uintptr_t wParam, intptr_t lParam);

// The frame period the loop keeps to when the display does not wait for the vertical blank.
constexpr int kFramePeriodMs = 16;
// How often frames run while inactive with "AlwaysActive".
constexpr int kInactiveFramePeriodMs = 100;
