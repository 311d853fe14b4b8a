// The whole program on the bundled data, driven through the shell's hooks at the fixed 25 ms
// step: a fresh program folder and user folder, scripted keys, characters and clicks.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/temp_folder.h"
#include "ui/ui.h"

class StartScreens : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Engine start and GameInit; the user folder outlives a shut-down, so a second start in the
    // same test sees what the first one stored.
    void start();
    void shutdown();

    // One frame of 25 ms; n frames.
    int frame();
    void frames(int n);
    // Frames until the window has been updated (it is on show and settled); false after limit.
    bool waitFor(Window* window, int limit = 400);
    // Whether the window received an update step during one more frame.
    bool updating(Window* window);

    void key(int code, intptr_t data = 0);
    void type(const char* text);
    // Waits until the window is settled (300 ms after a push), moves the pointer to the centre of
    // the widget and presses and releases the left button there.
    void click(UIWnd* widget);

    // From the start to the main menu, creating the first player (by typing the name) on the way.
    void firstStartTo(const char* name);
    // Shut-down and a new start with the stored player, from the loading screen to the menu.
    void restartToMenu();
    // The level loading screen to its end (Escape ends a comic, which holds the screen's clock
    // meanwhile), then a key: the level or mini-game it loaded takes the screen.
    void finishLevelLoading();

    bool started_ = false;
    testsupport::TempFolder folder_{"velmora_start"};
};

// The button of the screen by its section name, failing the test when missing.
UIWnd* button(Window* screen, const char* name);
