// What the level world asks of the level screen and of the heroes, behind small interfaces the
// level screen and the hero classes implement (tests fake them), and the one sound call.
#pragma once

class cBaseObj;
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
};

// The level being played; null outside a level, when every lookup finds nothing.
GameLink* worldGame();
void worldSetGame(GameLink* game);

// Plays a sound of the sound scripts in the sounds group. A hook, when set, hears every request
// instead (tests listen with it).
void worldPlaySound(const char* name);
void worldSetSoundHook(void (*hook)(const char* name));
