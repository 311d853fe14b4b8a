// The engine's entry, message loop and window procedure, the engine-wide window state, and the
// small window, cursor, directory and command-line services around them.
#pragma once

#include <cstdint>

// --- The game's four hooks: defined by the game, called by the entry -------------------------

// Once, after a successful engine start and before any input is forwarded to the game.
void GameInit();
// One frame; nonzero when the game has nothing left on show (the entry then closes the window).
int GameFrame();
// Key down 256, key up 257, character 258, mouse move 512, activation 28, wheel 522, with the
// mouse buttons as the keys 1, 2 and 4.
void GameOnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
// Once, after the loop; ends with engineDone.
void GameShutdown();

// --- Entry -------------------------------------------------------------------------------------

// The program: the folder that holds game.ini becomes the current one, then engine start,
// GameInit, the message loop with one game frame whenever no message waits, GameShutdown, engine
// stop. 0 when the game ran, or when a second start only restored the first one's window; 1
// when no window could be made (no game.ini, no "name" in it, no display), after one error box
// and without starting the game.
int engineMain(int argc, char** argv);
// 1 when another instance of the program runs (the caller quits at once), else 0. Without a
// "name" in game.ini no window is made (logged). The first start also makes sure the engine stops
// on any later exit() of the process.
int engineInit();
// Saves the geometry of a window that existed into profgame.ini (all keys in one save), closes
// the window, the packs and the INI cache. Runs once per engine start; later calls do nothing. A
// process that ends by exit() without it gets it then, with the sound stream stopped first.
void engineDone();
// The window procedure: the layer's messages in, the game's messages out.
intptr_t WndProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

// --- The window --------------------------------------------------------------------------------

// An icon as 32-bit 0xAARRGGBB pixels, rows top to bottom without padding.
struct WndIcon {
    const uint32_t* pixels;
    int width;
    int height;
};
// The window has one icon whatever its use, so big is ignored.
void wndSetIcon(const WndIcon* icon, int big);
// The icon read from an image file (TGA, JPEG or PNG, through the image readers; a 32-bit image
// keeps its alpha, any other is opaque), set as wndSetIcon does. 0 (logged) when it cannot be read.
int wndSetIconFile(const char* file, int big);
// The caption from 8-bit text, each byte widened to one UTF-16 unit.
void wndSetTitle(const char* text);
// Remembers the file (up to 1023 bytes), then makes the window's cursor the picture read from it
// (TGA, JPEG or PNG; hot spot at its top-left pixel). The window procedure loads the remembered
// file again when the pointer comes back into the window after something else replaced the
// cursor, and when the display changes. 0 (logged, the arrow stays) when it cannot be read.
int wndLoadCursorFile(const char* file);
// Moves the pointer to a point of the client area.
void wndSetCursorPos(int x, int y);
// Centres the window on the desktop, keeping its size.
void wndCentre();

// The client size settled at the engine's start: the user's saved size when it is sane, else
// game.ini's, else 1024x768; 0 x 0 before the start or without a "name".
void wndGetStartSize(int* xs, int* ys);

// The window's full-screen flag: read from the settings at start, changed by the display when it
// switches modes, saved at the engine's stop.
int wndIsFullScreen();
void wndSetFullScreenFlag(int fullScreen);
// The display tells whether its present waits for the vertical blank; while it does, the loop
// does not pace the frames itself.
void wndSetPresentWaits(int waits);

// The engine debug value (game.ini [main] "debug"); nonzero makes the INI store re-read files.
int engineDebug();
void engineSetDebug(int value);
// game.ini [main] "log": extra debug logging of the display.
int engineLog();

// UI debug flags, toggled by typed words: draw the bounds of widgets; the layout editor.
extern int uiShowBounds;
extern int uiLayoutEditor;

// Shows or hides the system's mouse cursor, only when the flag differs from the last one given.
void setCursorVisible(int flag);

// A message box with 8-bit texts (each byte widened, at most 1023 characters each), written to the
// log with its caption and text as well. Returns the button pressed (IDOK or IDCANCEL of
// platform.h); headless runs answer IDOK.
int errorBox(const char* text, const char* caption, int flags);

// --- Process -----------------------------------------------------------------------------------

constexpr int kDirChars = 260;
// The current directory into kDirChars UTF-16 units; 0 and an empty text (with a log line) when
// it is longer or cannot be read.
int dirGetCurrent(char16_t* buffer);
int dirSetCurrent(const char16_t* path);
// The arguments engineMain was given, the program's name first.
int cmdArgCount();
// Argument n cut to size - 1 bytes; empty when n is out of range.
void cmdArg(int n, char* buffer, int size);
