// The staff heroes' common base: the task queue and its rules, two hand slots, the combo count,
// skill bonuses, the walks to and from the base and the level-start and level-end animations.
#pragma once

#include <strings.h>

#include <cstdint>

#include "anim/fx.h"
#include "anim/fx_effects.h"
#include "core/array.h"
#include "world/factory.h"
#include "world/links.h"
#include "world/moving.h"

// One queued service: a request kind and the object to go to.
struct HeroTask {
    int32_t kind = kNoRequest;
    cLevelObj* target = nullptr;
};

class cHero : public cMovingObj, public HeroLink {
public:
    // Animation records after the eight walks; kinds add theirs from kHeroAnims on.
    enum { kAnimStand = 8, kAnimApplause, kAnimHail, kAnimUnhappy, kHeroAnims };
    // Hero states shared by every kind.
    enum {
        kStateNew = 0,
        kStateWalking = 2,
        kStateIdle = 3,
        kStateAtBase = 4,
        kStateService1 = 5,
        kStateService2 = 6,
        kStateService3 = 7,
        kStateToBase = 8,
        kStateAtWaitPoint = 9,
        kStateApplause = 10,
        kStateHail = 11,
        kStateUnhappy = 12,
        kStateAnim1 = 13,
        kStateAnim2 = 14
    };
    static constexpr int kSkillFlags = 5;

    cHero();
    ~cHero() override;

    // The walks, "Stand", "Applause", "Hail", "Unhappy" and the [Main] timings; nothing for an
    // empty name.
    void Load(const char* iniFile) override;
    using cMovingObj::Load;
    void Update(int ms) override;
    void Draw(DrawList* list) override;

    // --- the queue ---
    // A calm-the-baby task goes before the first task for the same target, any other at the end;
    // kinds from kNoRequest on and null targets are dropped.
    void AddTask(int kind, cLevelObj* target) override;
    // Withdraws the queued tasks of a kind for the object (and what they hold locked).
    void RemoveTask(int kind, cLevelObj* target) override;
    // A null target matches any.
    bool HasTask(int kind, const cLevelObj* target) const override;
    bool HasTaskOfKind(int kind) const override;
    virtual void PopTask();
    // Empties the queue at the level's end, withdrawing each request's task.
    void PruneTasks();
    int TaskCount() const { return static_cast<int>(tasks_.size()); }
    const HeroTask& Task(int i) const { return tasks_[static_cast<uint32_t>(i)]; }

    // --- hands ---
    // Whether the hero holds the object a service of that kind needs.
    bool IsHolding(int kind, const char* name) const;
    bool IsHolding(const char* handObj) const override;
    const char* HandObject(int hand) const override;
    int HandGrade(int hand) const { return hand ? rightGrade_ : leftGrade_; }

    // The run of equal services, shown from the second on; a check-out breaks it.
    int CountCombo(int kind);
    int ComboCount() const { return comboCount_; }
    int ComboAction() const { return comboAction_; }

    // --- what each kind decides ---
    bool IsUnavailable() const override = 0;
    // The hero's button on the command panel calls it out to serve a kind.
    virtual void Summon(int kind) = 0;
    // Back to the loaded speed and no skills; kinds then apply the player's learnt ones.
    virtual void ApplySkills();
    // Added to the popularity a fast service of that kind earns.
    virtual int GetServiceBonus(int) const { return 0; }
    int GetWaitTimeBonus(int) const override { return 0; }

    // The croupier's speed-ups of the clients' card and roulette animations.
    virtual float CardFactor() const { return 0; }
    virtual float CasinoFactor() const { return 0; }

    void BoostSpeedA(float f);
    void BoostSpeedB(float f);
    float SpeedBonus() const { return speedBonus_; }
    float ActionBonus() const { return actionBonus_; }
    int SkillFlag(int i) const { return skillFlags_[i]; }

    Point2i WaitPos() const { return waitPoint_; }
    Point2i StartPos() const { return startPoint_; }
    void SetStartPos(Point2i p) { startPoint_ = p; }
    void SetWaitPos(Point2i p) { waitPoint_ = p; }
    void SetKeepApplauding(bool flag) { keepApplauding_ = flag; }
    int FreeWait() const { return freeWait_; }
    int BusyWait() const { return busyWait_; }
    int TaskDelay() const { return taskDelay_; }

protected:
    // Drops the task at index i, returning the hero to idle when it was the head.
    void eraseTask(uint32_t i);
    // The player's learnt skills of this hero (by its name, without case), one by one.
    template <class F>
    void forEachSkill(const char* hero, F apply);
    // Whether the current animation has played for its period (times loops).
    bool animPlayed(int loops = 1) const;
    int animPeriod() const;

    cArray<HeroTask> tasks_;
    char leftHand_[32], rightHand_[32];
    int32_t leftGrade_, rightGrade_;
    Point2i startPoint_, waitPoint_;
    int32_t freeWait_, busyWait_, taskDelay_;
    int32_t comboAction_, comboCount_;
    SimpleEffect fastWalk_;
    bool fastWalkOn_;
    float speedBonus_, actionBonus_;
    // The fraction of a millisecond the action bonus has not yet added to the animation timer.
    float actionCarry_;
    uint8_t keepApplauding_;
    FxEmitter skillFx_;
    int32_t skillFlags_[kSkillFlags];
    float baseSpeed_;
};

// Copies a hand-object name into a hand slot, cut to fit.
void copyHandName(char (&hand)[32], const char* name);

template <class F>
void cHero::forEachSkill(const char* hero, F apply) {
    ProfileLink* profile = worldProfile();
    if (!profile) return;
    for (int i = 0; i < profile->LearntSkillCount(); ++i) {
        const SkillInfo* s = profile->LearntSkill(i);
        if (s && strcasecmp(s->hero.c_str(), hero) == 0) apply(*s);
    }
}
