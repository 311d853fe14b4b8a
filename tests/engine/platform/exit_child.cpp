// A whole program over the engine for the tests of its ways out: sound starts at the first frame,
// the second tells standard output that the loop runs, and with the argument "lost" the display
// goes away at the third.
#include <cstdio>
#include <cstring>

#include "engine/platform/engine.h"
#include "engine/platform/testing.h"
#include "engine/snd/snd.h"

namespace {
bool gLoseDisplay = false;
int gFrames = 0;
}  // namespace

void GameInit() {}

int GameFrame() {
    ++gFrames;
    if (gFrames == 1) sndInit(nullptr);
    if (gFrames == 2) {
        puts("running");
        fflush(stdout);
    }
    if (gFrames == 3 && gLoseDisplay) platTestDisplayLost();
    return 0;
}

void GameOnMessage(uint32_t, uintptr_t, intptr_t) {}

void GameShutdown() { engineDone(); }

int main(int argc, char** argv) {
    gLoseDisplay = argc > 1 && strcmp(argv[1], "lost") == 0;
    return engineMain(argc, argv);
}
