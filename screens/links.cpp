// The destinations of the screens between levels.
#include "screens/links.h"

#include "ui/ui.h"

BetweenLevelLinks gBetweenLevelLinks;

void pushScreen(Window* screen, bool closeOthers) {
    if (screen && WM::Get()) WM::Get()->Push(screen, closeOthers, false, false);
}
