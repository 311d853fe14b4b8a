// The hotel musician: idles at random and, when a client's music is served, plays a tune of a
// start, a loop and a stop, each repeated a set number of times.
#pragma once

#include <cstdint>

#include "world/factory.h"
#include "world/level_object.h"

class cMusician : public cLevelObj {
public:
    enum { kIdleState = 4, kPlaying = 5 };
    enum { kIdle0, kIdle1, kIdle2, kPlayStart, kPlay, kPlayStop, kAnimCount };

    cMusician();

    // The factory's maker for "musician" sections: built from the section's "inifile".
    static cLevelObj* Make(const char* objectsFile, const char* section, const char* levelsFile,
                           int level, const ObjectItemInfo* item);

    using cLevelObj::Load;
    // Nothing for an empty name.
    void Load(const char* iniFile);
    void Update(int ms) override;
    bool IsActionable() override;

    bool IsIdle() const { return state_ == kIdleState; }
    // Whether the object is a musician done playing: what a listening client waits for (the
    // level hands it to worldSetMusicianHook).
    static bool IsIdleObject(const cLevelObj* object);
    // The object whose click counts as a click on the musician; null when none.
    cLevelObj* GetOutlineObject();
    int GetPlayTimes(int anim) const { return plays_[anim].times; }
    int GetLastDraw() const { return lastDraw_; }

private:
    struct Plays {
        int32_t times, done;
    };
    // Whether the current animation has run its period; one without a sprite has none to run.
    bool playedThrough() const;

    Plays plays_[kAnimCount];
    int32_t lastDraw_;
    char tuneSound_[256];
};
