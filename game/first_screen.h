// The screen the game shows until its real screens exist: a window of widgets read from
// Data/Menu/UIDemo/UIDemo.ini, with a modal dialog and an options panel behind its buttons.
#pragma once

class Window;

// Builds the first screen once and keeps it; the window manager only points to it.
Window* firstScreenCreate();
// The screen's dialogs by section name ("Dialog", "Options"); null for another name or before
// the screen is built.
Window* firstScreenDialog(const char* section);
// Deletes the screen and its dialogs; call once the window manager is gone.
void firstScreenRelease();
