// Engine-wide state read at engine start and consulted by the lower layers.
#pragma once

// The engine debug value (game.ini [main] "debug"); nonzero makes the INI store re-read files.
int engineDebug();
void engineSetDebug(int value);

// The window's full-screen flag: read from the settings at start, changed by the display when it
// switches modes, saved at the engine's stop.
int wndIsFullScreen();
void wndSetFullScreenFlag(int fullScreen);

// A message box with 8-bit texts (each byte widened, at most 1023 characters each). Returns the
// button pressed (IDOK or IDCANCEL of platform.h); headless runs log it and answer IDOK.
int errorBox(const char* text, const char* caption, int flags);
