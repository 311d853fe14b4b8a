// The Porter: cards, roulette, chess, fires, photos, souvenirs, repairs and room upgrades as small
// timed scripts, guests' dogs and luggage on his trolley; rests unseen at his base until called.
#pragma once

#include <cstdint>

#include "world/hero.h"

class cPorter : public cHero {
public:
    enum {
        kAnimCardsStart = kHeroAnims,
        kAnimCardsStand,
        kAnimCardsLoop,
        kAnimCardsEnd,
        kAnimCasinoStart,
        kAnimCasinoStand,
        kAnimCasinoLoop,
        kAnimCasinoEnd,
        kAnimCartStand,
        kAnimCartWalk,  // eight, one per walk direction
        kAnimChess = kAnimCartWalk + 8,
        kAnimDogStand,
        kAnimDogWalk,  // eight
        kAnimPhotoPrepare = kAnimDogWalk + 8,
        kAnimPhotoStand,
        kAnimPhotoShoot,
        kAnimPhotoDone,
        kAnimRepairUp,
        kAnimRepairSwitchUp,
        kAnimRepairSwitchDown,
        kAnimRepairDown,
        kAnimSouvenir,
        kPorterAnims
    };

    cPorter();

    void Load(const char* iniFile) override;
    using cHero::Load;
    void Update(int ms) override;
    void Draw(DrawList* list) override;
    // Every change of state restarts the service script.
    void SetState(int n) override;

    bool IsUnavailable() const override { return state_ == kStateAtBase; }
    void Summon(int kind) override;
    void ApplySkills() override;
    float CardFactor() const override { return cardFactor_; }
    float CasinoFactor() const override { return casinoFactor_; }
    // The learnt croupier's extra popularity and waiting time for cards and the roulette.
    int GetServiceBonus(int kind) const override;
    int GetWaitTimeBonus(int kind) const override;
    // The learnt "defense" skill's level; 0 without it.
    int DefenseLevel() const;

    int Step() const { return step_; }
    int DealCount() const { return dealCount_; }
    int PhotoDelay() const { return photoDelay_; }
    bool HasTrolley() const { return trolley_; }
    bool HasDog() const { return dog_; }

private:
    void setWalkAnim(int ms);
    void idle();
    void tutorialEnds();
    void startNextTask();
    void dogOrLuggageAtBase();
    void dogOrLuggageDelivery();
    void serve(int ms);
    // Each returns when the script waits for the next frame.
    void cards(int ms, cBaseObj* ct);
    void casino(int ms, cBaseObj* ct, cLevelObj* table);
    void chess(cBaseObj* ct, cLevelObj* table);
    void fire(cBaseObj* ct, cLevelObj* target);
    void photo(cBaseObj* ct, cLevelObj* target);
    void souvenir(cBaseObj* ct);
    void repairOrUpgrade(int ms, int kind, cLevelObj* target, cBaseObj* co);
    // The head task done: idle again, standing.
    void finish();
    void startSkillFx(int flag);
    bool played() const { return animPlayed(); }

    int32_t dealCount_, chessLoops_, repairLoops_, upgradeLoops_, cardDeals_;
    int32_t photoDelay_, basePhotoDelay_;
    bool dog_, trolley_;
    float repairFactor_, cardFactor_, casinoFactor_, photoFactor_, upgradeFactor_;
    float serviceCarry_;
    int32_t step_;
    int32_t chessMarker_;
};
