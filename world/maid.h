// The Maid: cleans rooms, brings clothes, pillows and plaids, waters flowers; rests unseen at her
// base until her button calls her out, and fetches her tools (or her cart) there.
#pragma once

#include <cstdint>

#include "anim/fx_effects.h"
#include "world/hero.h"

struct sndSound;

// Adds ms x factor to a timer, keeping the fraction of a millisecond for the next step so that
// skill speed-ups of timed services come out exact over a whole service.
void addScaledTime(int32_t& timer, int ms, float factor, float& carry);

// The tutorial's end hint for a kind, once its start hint was shown: raised at the waiting
// request's owner (or target) while nobody has ordered it, else marked as no longer needed.
void tutorialEndHint(int kind, const char* startHint, const char* endHint, bool atTarget);

class cMaid : public cHero {
public:
    enum {
        kAnimCarryStand = kHeroAnims,
        kAnimCarryWalk,  // eight, one per walk direction
        kAnimClean = kAnimCarryWalk + 8,
        kAnimClothes,
        kAnimPillow,
        kAnimWater,
        kMaidAnims
    };

    cMaid();
    ~cMaid() override;

    void Load(const char* iniFile) override;
    using cHero::Load;
    void Update(int ms) override;
    void Draw(DrawList* list) override;

    bool IsUnavailable() const override { return state_ == kStateAtBase; }
    void Summon(int kind) override;
    void ApplySkills() override;
    void PopTask() override;
    // Any change of state ends the service under way; the next one starts afresh.
    void SetState(int n) override;

    bool HasCart() const { return cart_; }
    int Loops(int kind) const;
    float Factor(int kind) const;
    const SimpleEffect& Vacuum() const { return vacuum_; }

private:
    // The tool the head task needs: her cart once bought, else its request's hand object.
    const char* toolFor(const HeroTask& task) const;
    void setWalkAnim(int ms);
    void idle();
    void startNextTask();
    void fetch();
    void serve(int ms);
    void startService(int kind, cLevelObj* target, int anim);
    void endService(int kind, cLevelObj* target);
    void deliverPlaid();
    void drawCarried(DrawList& list) const;

    int32_t cleanLoops_, clothesLoops_, pillowLoops_, waterLoops_;
    float cleaningFactor_, wateringFactor_, pillowFactor_, clothesFactor_;
    float serviceCarry_;
    bool cart_;
    bool serviceStarted_;
    sndSound* cartSound_;
    SimpleEffect vacuum_;
};
