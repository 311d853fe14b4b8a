// The program's entry: registers the game's screens with the shell and hands control to the
// engine's start, loop and stop.
#include "engine/platform/engine.h"
#include "game/app.h"
#include "screens/loading.h"

int main(int argc, char** argv) {
    appSetScreens(screensStart, screensRelease);
    return engineMain(argc, argv);
}
