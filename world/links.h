// What the level world asks of the level screen and of the heroes, behind small interfaces the
// level screen and the hero classes implement (tests fake them), and the one sound call.
#pragma once

#include "core/values.h"

class FlyingTips;
class cBaseObj;
class cDragObj;
class cLevelObj;

// A staff hero as objects and requests see it: its task queue and what it carries.
class HeroLink {
public:
    virtual ~HeroLink() {}
    virtual void AddTask(int kind, cLevelObj* target) = 0;
    virtual void RemoveTask(int kind, cLevelObj* target) = 0;
    virtual bool HasTask(int kind, const cLevelObj* target) const = 0;
    virtual bool HasTaskOfKind(int kind) const = 0;
    // Off duty at its base until called out.
    virtual bool IsUnavailable() const = 0;
    virtual bool IsHolding(const char* handObj) const = 0;
    // Added to the waiting time of requests of that kind.
    virtual int GetWaitTimeBonus(int kind) const = 0;
    // The name of the thing held in hand 0 or 1; null when that hand is empty.
    virtual const char* HandObject(int hand) const = 0;
};

// The level screen's services.
class GameLink {
public:
    virtual ~GameLink() {}
    virtual cLevelObj* FindLevelObjectByName(const char* name) = 0;
    virtual HeroLink* GetHeroByName(const char* name) = 0;
    virtual int GetRequestPriceBonus() = 0;
    virtual int GetRequestTimeBonus() = 0;
    // The client whose current request is served at target; null when none.
    virtual cBaseObj* FindClientByRequestTarget(const cLevelObj* target) = 0;
    virtual void PlayWrongAction(int kind) = 0;
    // A room upgrade was dealt with (served or withdrawn).
    virtual void SetUpgradeSettled() = 0;

    // --- Asked by the musician, the cash desk, gifts, sweets and flowers. A level screen that
    // has no such objects may keep these neutral answers.
    // Popularity += amount (not below 0); with fly, an icon flies from `from` to the bar.
    virtual void AddPopularity(int /*amount*/, bool /*fly*/, Vec2f /*from*/) {}
    // The level's largest tip.
    virtual int GetMaxCostTipClient() { return 0; }
    // The level screen's state word; kLevelOver while the end sequence runs.
    enum { kLevelOver = 5 };
    virtual int GetLevelState() { return 0; }
    // Set once every client is served and the heroes have been sent home.
    virtual bool AreHeroesSentHome() { return false; }
    // Active clients whose check-out request is waiting or done.
    virtual int CountCheckOutRequests() { return 0; }
    virtual int GetCheckOutPlaceCount() { return 0; }
    // The carried object the player picked up; null when none.
    virtual cDragObj* GetSelectedDragObject() { return nullptr; }
};

// A client as level objects see it; the client class implements it beside cBaseObj.
class ClientLink {
public:
    virtual ~ClientLink() {}
    // Whether a click on the client now would order its service.
    virtual bool CanOrderService() = 0;
    virtual void BecomeHappier() = 0;
    virtual void ReactHappy() = 0;
    virtual void PlayHappySound() = 0;
    // The current request ends; 1: served.
    virtual void OnServiceEnd(int result) = 0;
};

// The client behind a level's object; null for null or an object that is no client.
ClientLink* worldClient(cBaseObj* object);

// The level's flying tips; null outside a level, when nothing flies.
FlyingTips* worldFlyingTips();
void worldSetFlyingTips(FlyingTips* tips);

// The level being played; null outside a level, when every lookup finds nothing.
GameLink* worldGame();
void worldSetGame(GameLink* game);

// Plays a sound of the sound scripts in the sounds group. A hook, when set, hears every request
// instead (tests listen with it).
void worldPlaySound(const char* name);
void worldSetSoundHook(void (*hook)(const char* name));
