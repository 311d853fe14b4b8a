// The level screen the world talks to, and the world's sound call.
#include "world/links.h"

#include "engine/snd/snd.h"
#include "world/object.h"

namespace {
GameLink* gGame = nullptr;
FlyingTips* gFlyingTips = nullptr;
void (*gSoundHook)(const char*) = nullptr;
}  // namespace

GameLink* worldGame() { return gGame; }
void worldSetGame(GameLink* game) { gGame = game; }

ClientLink* worldClient(cBaseObj* object) { return dynamic_cast<ClientLink*>(object); }

FlyingTips* worldFlyingTips() { return gFlyingTips; }
void worldSetFlyingTips(FlyingTips* tips) { gFlyingTips = tips; }

void worldPlaySound(const char* name) {
    if (gSoundHook)
        gSoundHook(name);
    else
        sndPlay(name, 0);
}

void worldSetSoundHook(void (*hook)(const char*)) { gSoundHook = hook; }
