// A game folder for the screens between levels: a small episode map and hotel, a player, and the
// window manager driven at the fixed step with scripted pointer input.
#pragma once

#include <string>

#include "tests/game/game_folder.h"
#include "ui/ui.h"

class BetweenLevels : public GameFolder {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the screen from its layout and pushes it, then lets it fade in.
    void open(Window* screen, const char* layout);
    void frames(int n);
    // A left click at (x, y): the pointer moves there, presses and releases.
    void click(int x, int y);
    // The player read again from the disk, as the next run of the program would.
    void restart();
    // Finishes way point 0 and stands on way point 1, never played; replay: way point 1 is
    // played too, and the player goes back to it.
    void standOnWayPoint1(bool replay);
    std::string stored(const char* group, const char* key);
};
