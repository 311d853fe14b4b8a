// Objects that stand still in a level: furniture, check-in places, the kinds built on them, and
// the one-shot action animation an object can hold.
#pragma once

#include <cstdint>

#include "anim/fx.h"
#include "world/object.h"

struct sndSound;
class cActionObj;

class cLevelObj : public cBaseObj {
public:
    // Level-object states.
    enum { kBroken = 1, kReset = 2, kIdle = 3 };

    cLevelObj();
    ~cLevelObj() override;

    void Update(int ms) override;
    void Draw(DrawList* list) override;
    bool HitTestPoint(int x, int y) override;

    void Load(const char* iniFile, const char* section) override;
    virtual void UpdateHighlight();
    virtual int GetFlipX() const;
    // Whether a click now would start a service.
    virtual bool IsActionable();
    // 0 runs the action, a positive direction steps it forward, a negative one back.
    virtual int PlayAction(int direction);
    virtual void StopAction();
    virtual bool IsActionRunning() const;
    virtual bool CanBreak();
    virtual HSPRITE GetCurrentSprite() const;

    // Breaks into a Repair request of repairTime ms, when it can break.
    void Break(int repairTime);
    // Feedback for a click while the serving hero is busy.
    void SignalWrongClick();
    void OnWrongAction();

    Point2i GetHeroPos() const { return heroPoint_; }
    Point2i GetClientPos() const { return clientPoint_; }
    Point2i GetAttackPos() const { return attackPoint_; }
    Point2i GetRepairPos() const { return repairPoint_; }
    Point2i GetWaitPos() const { return waitPoint_; }
    Point2i GetRequestPos() const { return requestPoint_; }
    Point2i GetExtraPos() const { return extraPoint_; }
    Point2i GetSmokePos() const { return smokePoint_; }
    int GetRequestGrade() const { return requestGrade_; }
    void SetBonuses(int time, int price) {
        timeBonus_ = time;
        priceBonus_ = price;
    }
    int GetTimeBonus() const { return timeBonus_; }
    int GetPriceBonus() const { return priceBonus_; }
    void SetAttached(cRequest* request) { attached_ = request; }
    cRequest* GetAttached() const { return attached_; }
    void SetActionObject(cActionObj* action) { action_ = action; }
    cActionObj* GetActionObject() const { return action_; }
    bool IsOccupied() const { return occupied_ != 0; }
    void SetOccupied() { occupied_ = 1; }
    void ClearOccupied() { occupied_ = 0; }
    bool IsSittingPlace() const { return sittingPlace_ != 0; }
    bool IsRepairDown() const { return repairDown_ != 0; }
    bool IsBreakable() const { return breakable_ != 0; }
    void SetBreakable(bool flag) { breakable_ = flag; }
    bool IsSlave() const { return isSlave_ != 0; }
    bool IsHighlightOn() const { return highlightOn_ != 0; }
    // Whether a guest's request may name the object as its target: on until the level, knowing
    // every kind's target, turns it off for the others, which then skip the search for such a
    // guest at every step.
    bool MayBeRequestTarget() const { return mayBeTarget_; }
    void SetMayBeRequestTarget(bool flag) { mayBeTarget_ = flag; }
    ColorRGBA GetTint() const { return tint_; }
    const char* GetSectionName() const { return sectionName_.c_str(); }
    // The object's section in the episode's objects file; a kind that loads from a file of its
    // own (a flower, a room) keeps another section name there.
    const char* GetObjectsSection() const { return objectsSection_.c_str(); }
    void SetObjectsSection(const char* section) { objectsSection_ = section ? section : ""; }
    const char* GetOutlineObject() const { return outlineObj_.c_str(); }
    int GetBlockedUntil() const { return blockedUntil_; }
    HSPRITE GetExtraSprite() const { return extraSprite_; }

protected:
    // Marks the cells under the mask's blocked cells as blocked in the current walk map.
    void stampMask();
    // The ordered mark ("v_spr") at a level point; nothing without one.
    void drawExtraSprite(DrawList* list, Point2i at);

    ColorRGBA tint_;
    Point2i heroPoint_, clientPoint_, attackPoint_, smokePoint_, repairPoint_, waitPoint_;
    cRequest* attached_;
    cActionObj* action_;
    HSPRITE backlight_;
    FxEmitter smoke_;
    CString sectionName_, objectsSection_;
    uint8_t occupied_, breakable_, sittingPlace_, repairDown_;
    int32_t timeBonus_, priceBonus_, blockedUntil_, requestGrade_;
    CString outlineObj_;
    uint8_t highlightOn_, isSlave_;
    // Rooms hit-test a client's attached bubble with its portrait.
    bool attachedHitWithPortrait_;
    bool mayBeTarget_ = true;
};

// A one-shot action animation with a sound.
class cActionObj : public cLevelObj {
public:
    enum { kStopped = 0, kStepping = 1, kRunning = 2 };

    cActionObj();
    ~cActionObj() override;

    void Update(int ms) override;
    void Draw(DrawList* list) override;
    void Load(const char* iniFile, const char* section) override;

    // mode 0 steps forward, 1 back, 2 runs; 0 when stopped by this step or without a sprite.
    int Play(int mode);
    void Stop();
    bool IsRunning() const { return playState_ != kStopped; }
    int GetPlayState() const { return playState_; }
    const AnimDesc& GetAction() const { return action_; }

private:
    int32_t playState_;
    AnimDesc action_;
    int32_t loops_, transparent_;
    sndSound* sound_;
};
