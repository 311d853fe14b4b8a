// The level screen the world talks to, and the world's sound call.
#include "world/links.h"

#include "engine/snd/snd.h"
#include "world/object.h"

namespace {
GameLink* gGame = nullptr;
FlyingTips* gFlyingTips = nullptr;
void (*gSoundHook)(const char*) = nullptr;
FxManager* gFx = nullptr;
HSPRITE (*gRoomSprites)(int) = nullptr;
void (*gMarkShown)(const char*) = nullptr;
bool (*gIdleMusician)(const cLevelObj*) = nullptr;
bool (*gHandObjects)(const char*, int, HandObjectView*) = nullptr;
}  // namespace

GameLink* worldGame() { return gGame; }
void worldSetGame(GameLink* game) { gGame = game; }

FlyingTips* worldFlyingTips() { return gFlyingTips; }
void worldSetFlyingTips(FlyingTips* tips) { gFlyingTips = tips; }

void worldPlaySound(const char* name) {
    if (gSoundHook)
        gSoundHook(name);
    else
        sndPlay(name, 0);
}

void worldSetSoundHook(void (*hook)(const char*)) { gSoundHook = hook; }

void worldPlaySoundHandle(sndSound* sound, const char* name, int loop) {
    if (gSoundHook) {
        if (name && *name) gSoundHook(name);
    } else if (sound) {
        sndPlaySound(sound, loop);
    }
}

ClientLink* asClient(cBaseObj* object) { return dynamic_cast<ClientLink*>(object); }

FxManager* worldFxManager() { return gFx; }
void worldSetFxManager(FxManager* fx) { gFx = fx; }

bool worldHandObject(const char* key, int direction, HandObjectView* out) {
    return gHandObjects && key && out && gHandObjects(key, direction, out);
}
void worldSetHandObjects(bool (*lookup)(const char*, int, HandObjectView*)) {
    gHandObjects = lookup;
}

HSPRITE worldRoomSprite(int grade) { return gRoomSprites ? gRoomSprites(grade) : nullptr; }
void worldSetRoomSprites(HSPRITE (*lookup)(int)) { gRoomSprites = lookup; }

bool worldIsIdleMusician(const cLevelObj* object) {
    return gIdleMusician && object && gIdleMusician(object);
}
void worldSetMusicianHook(bool (*isIdle)(const cLevelObj*)) { gIdleMusician = isIdle; }

void worldTutorialMarkShown(const char* name) {
    if (gMarkShown) gMarkShown(name);
}
void worldSetTutorialHook(void (*markShown)(const char*)) { gMarkShown = markShown; }
