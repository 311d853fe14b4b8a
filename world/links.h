// What the level world asks of the level screen and of the heroes, behind small interfaces the
// level screen and the hero classes implement (tests fake them), and the one sound call.
#pragma once

#include "core/array.h"
#include "core/values.h"
#include "engine/gr/gr.h"

class FlyingTips;
class cBaseObj;
class cClient;
class cLevelObj;
class cRequest;
class FxManager;

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

    // --- heroes, clients and rooms (each does nothing, or finds nothing, until implemented) ---
    // The client whose current request stands on the object; null when none.
    virtual cBaseObj* FindClientByRequestOwner(const cLevelObj*) { return nullptr; }
    // The client staying at (or occupying) the object; null when none.
    virtual cBaseObj* FindClientAtObject(const cLevelObj*) { return nullptr; }
    // A run of equal services of that length, shown at the point.
    virtual void ShowCombo(int, Point2i) {}
    // Unlocks the locked level objects of that name.
    virtual void UnlockObjects(const char*) {}
    // The first place of the check-out queue; null when the level has none.
    virtual cLevelObj* GetFirstCheckOutPlace() { return nullptr; }
    // A tutorial event by name at a spot of the level (point and size in level pixels).
    virtual void OnTutorialEvent(const char*, Point2i, Point2i) {}
    // The object the player drags now (a client while it is dragged); null when none.
    virtual cBaseObj* GetDraggedObject() { return nullptr; }
    // Starts a translated text (by key) on the level's banner; nothing without a banner.
    virtual void ShowBanner(const char*) {}
    // The level's event text (the tutorial and the statistics read it).
    virtual void SetEventText(const char*) {}
    // A room was upgraded: the upgrade flags and the rooms-upgraded count.
    virtual void RecordRoomUpgrade() {}
    // Lets the held-back client come; false when there is none or the level is full.
    virtual bool ActivateNextClient() { return false; }
    virtual void OnRoomUpgraded() {}

    // Places: the check-in and check-out queues, front first; null when there is none.
    virtual cLevelObj* GetFirstCheckInPlace() { return nullptr; }
    virtual cLevelObj* GetLastFreeCheckInPlace() { return nullptr; }
    // The place in front of the given one when it is free.
    virtual cLevelObj* GetNextCheckInPlace(const cLevelObj*) { return nullptr; }
    virtual cLevelObj* GetLastFreeCheckOutPlace() { return nullptr; }
    virtual cLevelObj* GetNextCheckOutPlace(const cLevelObj*) { return nullptr; }
    // Where angry clients stop before leaving; null when the level has no such point.
    virtual cLevelObj* GetAngerPoint() { return nullptr; }
    // A request of the kind anywhere in the level (waiting ones only when asked); null when none.
    virtual const cRequest* FindRequest(int, bool) { return nullptr; }
    // Requests of the kind shown by clients other than the given one and by level objects.
    virtual int CountRequestsOfKind(int, const cBaseObj*) { return 0; }
    // Clients whose request of the kind waits for what the target object gives.
    virtual int CountWaitingFor(int, const cLevelObj*) { return 0; }
    // The first room of that grade; null when none.
    virtual cLevelObj* FindRoomByNumber(int) { return nullptr; }
    virtual cLevelObj* GetSweets() { return nullptr; }
    // The gift or sweets the player carries; null when none.
    virtual cBaseObj* GetSelectedDragObject() { return nullptr; }
    virtual cBaseObj* FindMonsterByTarget(const cBaseObj*) { return nullptr; }
    // Empties the array, then fills it with the active clients that have not gone.
    virtual void GetWaitingClients(cArray<cClient*>& clients) { clients.clear(); }
    // The level's values for clients.
    virtual int GetRequestTtl() { return 0; }
    virtual int GetRequestWeight(int) { return 0; }
    virtual void GetDecreaseRatios(float* direct, float* indirect) { *direct = *indirect = 1; }
    virtual void GetOutdoorRequestPriority(int* a, int* b) { *a = *b = 0; }
    virtual int GetMaxCostTipClient() { return 0; }
    // The economy and the client schedule.
    virtual void AddPopularity(int, int, Point2i) {}
    virtual void ShowTips(int, int, Point2i) {}
    virtual void AddMoney(int, int) {}
    virtual void ShowLoyaltyChange(int, Point2i) {}
    virtual void ScheduleNextClient() {}
    virtual void ReleaseNextClient() {}
    virtual bool AllClientsArrived() { return false; }

    // --- asked by the musician, the cash desk and flowers (neutral answers until implemented) ---
    // The level screen's state word; kLevelOver while the end sequence runs.
    enum { kLevelOver = 5 };
    virtual int GetLevelState() const { return 0; }
    // Set once every client is served and the heroes have been sent home.
    virtual bool AreHeroesSentHome() { return false; }
    // Active clients whose check-out request is waiting or done.
    virtual int CountCheckOutRequests() { return 0; }
    virtual int GetCheckOutPlaceCount() { return 0; }
    // --- the Maid and the Porter ---
    // Whether the tutorial has shown the hint of that name.
    virtual bool TutorialHintShown(const char*) { return false; }
    // --- monsters ---
    // The popularity the level holds now (a robber takes no more than that).
    virtual int GetLevelPopularity() { return 0; }
};

// A client as heroes and rooms see it.
class ClientLink {
public:
    virtual ~ClientLink() {}
    // How the service it waited for ended.
    virtual void OnServiceEnd(bool success) = 0;
    // The partner staying with it; null when alone.
    virtual cBaseObj* GetLinked() const = 0;
};
// The client behind an object found by the level screen's finders; null for anything else.
ClientLink* asClient(cBaseObj* object);

// The game data's effect manager (the heroes copy their trails from it); null when unset.
FxManager* worldFxManager();
void worldSetFxManager(FxManager* fx);
// The game data's picture of a carried object ("%s%d" of its name and grade) seen in one of the
// nine directions (0 standing, 1..8 the walks), with its offset and its flips (-1 mirrored).
struct HandObjectView {
    HSPRITE sprite = nullptr;
    Point2i offset = Point2i(0, 0);
    int flipx = 1, flipy = 1;
};
// False when unset or the object has no such picture.
bool worldHandObject(const char* key, int direction, HandObjectView* out);
void worldSetHandObjects(bool (*lookup)(const char* key, int direction, HandObjectView* out));
// The game data's room sign of a grade; null when unset or out of range.
HSPRITE worldRoomSprite(int grade);
void worldSetRoomSprites(HSPRITE (*lookup)(int grade));
// Whether the object is a musician done playing; false until a hook is set.
bool worldIsIdleMusician(const cLevelObj* object);
void worldSetMusicianHook(bool (*isIdle)(const cLevelObj* object));
// The level's flying tips; null outside a level, when nothing flies.
FlyingTips* worldFlyingTips();
void worldSetFlyingTips(FlyingTips* tips);
// Tells the tutorial that a hint needs no showing any more; nothing until a hook is set.
void worldTutorialMarkShown(const char* name);
void worldSetTutorialHook(void (*markShown)(const char* name));

// The level being played; null outside a level, when every lookup finds nothing.
GameLink* worldGame();
void worldSetGame(GameLink* game);

// Plays a sound of the sound scripts in the sounds group. A hook, when set, hears every request
// instead (tests listen with it).
void worldPlaySound(const char* name);
void worldSetSoundHook(void (*hook)(const char* name));
struct sndSound;
// Plays a sound an object loaded itself (loop as for sndPlaySound); the hook, when set, hears its
// name instead.
void worldPlaySoundHandle(sndSound* sound, const char* name, int loop);
