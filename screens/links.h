// Where the screens between levels lead: the loader that builds the screens fills these in, and
// they stay null (the buttons then only close their own screen) until it does.
#pragma once

class Window;

struct BetweenLevelLinks {
    Window* map = nullptr;
    Window* mainMenu = nullptr;
};

extern BetweenLevelLinks gBetweenLevelLinks;

// Pushes a screen without closing the others when it exists.
void pushScreen(Window* screen, bool closeOthers);

// The level objects that the screens build (the shop's preview) come from the current player:
// when no level has told the object factory whose hotel it builds, the player profile does.
void linkWorldToProfile();
