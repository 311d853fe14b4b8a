// Jenny, the receptionist: serves babies, check-outs and music in one visit, fetches and delivers
// cocktails, food, newspapers and calls, shows what she carries in two animated hands and idles
// at her desk.
#pragma once

#include <cstdint>

#include "core/strings.h"
#include "world/hero.h"

class cJenny : public cHero {
public:
    // Her animation records after the heroes' common ones.
    enum { kAnimBaby = kHeroAnims, kAnimHello, kAnimIdle0, kAnimIdle1, kAnimIdle2, kAnimIdle3,
           kJennyAnims };
    // Hand records per hand: nine directions free, then nine busy; kNoHand draws none.
    enum { kHandDirections = 9, kHandRecords = 18, kNoHand = 18 };

    // A hand picture and where the carried object sits in it.
    struct HandRecord : AnimDesc {
        int32_t obj_x = 0, obj_y = 0;
        int32_t obj_flipx = 1, obj_flipy = 1;
    };

    cJenny();

    void Load(const char* iniFile) override;
    using cHero::Load;
    void Update(int ms) override;
    void Draw(DrawList* list) override;

    bool IsUnavailable() const override { return false; }
    void Summon(int) override {}
    void ApplySkills() override;

    int LeftHandIndex() const { return leftIndex_; }
    int RightHandIndex() const { return rightIndex_; }
    int CookDelay() const { return cookDelay_; }
    int IdleTimer() const { return idleTimer_; }
    bool HasLeftBase() const { return leftBase_; }
    const HandRecord& Hand(int hand, int i) const { return hand ? right_[i] : left_[i]; }

protected:
    // Hands only: free or busy by what each holds, in the current direction.
    void handsByRule();

private:
    void startNextTask();
    // Body and hands by the walk direction.
    void setWalkAnim();
    void idle();
    void atBase();
    void serveInOneVisit();
    void fetch();
    void deliver();
    // Empties a hand holding name, unlocking what its name locked first.
    void emptyHand(char (&hand)[32]);
    // The hand that takes a fetched object (0 left, 1 right), or -1 for none.
    int handForFetch() const;
    void drawHand(DrawList& list, int hand) const;
    void drawObject(DrawList& list, int hand) const;

    HandRecord left_[kHandRecords], right_[kHandRecords];
    int32_t leftIndex_, rightIndex_;
    int32_t idleTimer_, cookDelay_, baseCookDelay_;
    CString calmDownSound_;
    // Set when she goes out to a task from her base: what she still carries on coming home is
    // put back. Hers, so a level never inherits it from the one before.
    bool leftBase_;
    // Kinds she was handed but does not serve, logged once each.
    uint32_t unservedLogged_;
};
