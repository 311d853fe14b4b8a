// What the screen tests share: a game folder with a window manager, layouts written as INI text,
// the fixed 25 ms step, and clicks and keys as the window manager receives them.
#pragma once

#include <string>

#include "screens/holders.h"
#include "tests/game/game_folder.h"
#include "ui/ui.h"

// A button section of a layout: a clickable rectangle without pictures.
std::string buttonSection(const char* name, int x, int y);

class ScreenTest : public GameFolder {
protected:
    void SetUp() override;
    void TearDown() override;

    // Steps of 25 ms.
    void steps(int n);
    // Pushes the window and lets its fade-in end.
    void settle(Window* window, bool closeOthers = false, bool modal = false);
    // Lets every running fade end: a fade-out, then the fade-in it held back.
    void settleAll() { steps(26); }
    // The pointer to the centre of the window's named child, then the left button down and up.
    void click(Window* window, const char* child);
    void key(int code);
    // Whether the window is settled on the stack: the manager runs its clock at the next step.
    bool running(Window* window);

    WM* wm = nullptr;
};
