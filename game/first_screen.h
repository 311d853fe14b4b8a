// The screen the game shows until its real screens exist: a window of widgets read from
// Data/Menu/UIDemo/UIDemo.ini, with a modal dialog behind one of its buttons.
#pragma once

class Window;

// Builds the first screen once and keeps it; the window manager only points to it.
Window* firstScreenCreate();
// Deletes the screen and its dialog; call once the window manager is gone.
void firstScreenRelease();
