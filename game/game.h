// The level screen: one hotel level as a window. It owns the level's objects and walk map, loads
// them in stages, runs the level's states at the fixed step, draws the hotel in depth order under
// the interface and turns the player's clicks into orders.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "anim/caption.h"
#include "anim/flying.h"
#include "core/array.h"
#include "engine/gr/gr.h"
#include "game/tutorial.h"
#include "ui/ui.h"
#include "world/client.h"
#include "world/draw_list.h"
#include "world/factory.h"
#include "world/links.h"
#include "world/monster.h"
#include "world/walkmap.h"
#include "game/game_data.h"

class cLevelObj;
class cClient;
class cHero;
class cJenny;
class cCommandPanel;
class cMaid;
class cPorter;
class cRoom;

class cGame : public Window, public GameLink {
public:
    enum State { kStart = 0, kGetReady = 1, kPlaying = 3, kLevelOver = 5, kTutorial = 9 };
    static constexpr int kMaxObjects = kMaxLevelObjects;
    static constexpr int kLoadStages = 7;
    static constexpr const char* kInterfaceFile = "Data/Interface/interface.ini";

    // The current-game and path-finding globals stay as they are until stage 0 of loading.
    cGame();
    // Clears each of those globals only when it points at this level.
    ~cGame() override;

    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    int OnChar(int character, intptr_t data) override;
    int OnMouseMove(int buttons, intptr_t position) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    int Draw() override;

    // One loading stage, 0 to 6 in rising order; stages 6 and above do nothing.
    virtual void LoadLevel(int stage);
    void LoadRequests();
    void LoadInterface();
    // Builds each section of the [Main] key's comma list and appends it to the level objects and
    // to places; stops at the object capacity (logged).
    void LoadPlaces(const char* key, cArray<cLevelObj*>& places);

    // --- The command panels and the tutorial's hints (game_panels.cpp) ---
    // The panels of the interface's [Panels] files, offered the level's kinds; the list of kinds
    // in use is emptied after.
    void LoadCommandPanels();
    // A wrong action: the button showing the kind flashes on both panels.
    void FlashCommandPanels(int kind);
    // Opens the tutorial's hint of that name with a rectangular spot (top-left corner and size);
    // the level waits (state 9) while it is open, and a dragged client goes back unless the hint
    // is "CheckIn_End". Nothing at a point with both coordinates below 1, for a hint already
    // shown, or while the level is not playing: closing a hint resumes play, which would skip
    // the get-ready banner or undo the level's end, and a second hint would cover the open one.
    void OnTutorialEvent(const char* name, Point2i pos, Point2i size) override;
    // The same with a round spot about the centre.
    void OnTutorialEventAt(const char* name, Point2i centre, int radius);
    // True when the hint needs no showing: shown before, the player's hints off, or no such hint.
    bool TutorialHintShown(const char* name) override;
    // The hint was closed: play goes on.
    void ResumeFromTutorial();
    cCommandPanel* LeftPanel() const { return panels_[0]; }
    cCommandPanel* RightPanel() const { return panels_[1]; }

private:
    // Hands a closing hint back to this level; forgotten by the tutorial when the level goes.
    class TutorialBridge : public TutorialLevel {
    public:
        explicit TutorialBridge(cGame* game) : game_(game) {}
        ~TutorialBridge() override;
        void ResumeFromTutorial() override;
        int OnButtonDown(int button, intptr_t position) override;

    private:
        cGame* game_;
    };
    cCommandPanel* panels_[2] = {};  // children: the window deletes them
    TutorialBridge tutorialBridge_{this};

public:

    // --- GameLink ---
    int GetRequestPriceBonus() override { return priceBonus_; }
    int GetRequestTimeBonus() override { return timeBonus_; }
    void SetUpgradeSettled() override { upgradeSettled_ = true; }
    void GetDecreaseRatios(float* direct, float* indirect) override {
        *direct = decreaseDirect_;
        *indirect = decreaseIndirect_;
    }
    void GetOutdoorRequestPriority(int* a, int* b) override {
        *a = outdoorPriority_.x;
        *b = outdoorPriority_.y;
    }
    // Starts the translated text on the banner; nothing before the banner exists.
    void ShowBanner(const char* key) override;
    // A room upgrade completed in this level.
    void RecordRoomUpgrade() override;
    // A completed room upgrade tells its record this way; it is kept for the profile.
    void SetEventText(const char* text) override { AddRoomUpgradeRecord(text); }

    // --- Money, popularity and the counters ---
    // Without preview money grows and is shown; with it only the shown total changes. Then the
    // goal announcements.
    void AddMoney(int amount, int preview) override;
    // Popularity never drops below 0; with fly set and an amount a tip icon flies to the bar.
    void AddPopularity(int amount, int fly, Point2i from) override;
    // Moves the bar's shown value towards its target by a full bar per 2 s; 1 once there.
    int AnimatePopularityBar(int ms, int direction);
    // The served-clients counter: a step of 1 or more is shown about a second later, with a pulse.
    void AdvanceUpgradeProgress(int ms, int step);
    // The next served-clients threshold of the level file's "uproom%d" list.
    void ShowUpgradeRoomHint();
    void StartLevelMusic();
    // The music.ini [Level] "level_music%d" of the player's way point, counted along the whole
    // road; "gameplay" when it names none.
    std::string LevelMusic() const;
    // "#INTERFACE_CLIENTS", then the clients come so far and the level's client count.
    void RefreshClientCounter();
    // Breaks a random breakable object that is neither a room nor a flower; nothing without one.
    void BreakRandomObject();
    void BreakRandomRoom();
    // The forced finishes of the cheat words.
    void FinishLevelNow();
    void ForceWin();
    void ForceDefeat();
    // Every update of the level: while every client is served the level winds down (requests
    // cancelled, rooms shut, heroes' queues emptied once); once all have gone the level enters
    // its end sequence (state 5) and the win rule decides, once.
    void CheckLevelEnd(int ms);
    bool IsLevelWon();
    bool AllServed() const { return allServed_; }
    // What the after-level statistics read.
    int GetClientsReleased() const { return clientsCheckedOut_; }
    bool AllClientsReleased() const { return clientsCheckedOut_ == clientCount_; }
    bool WasRoomUpgraded() const { return roomUpgradeDone_; }
    int GetRoomsUpgraded() const { return roomsUpgraded_; }
    float GetScoreRatio() const { return static_cast<float>(money_ + popularity_) / 100.0f; }
    int GetGoalType() const { return goalType_; }
    // A completed room upgrade's record, kept for the profile; every one of the level is kept.
    void AddRoomUpgradeRecord(const char* record);
    const cArray<std::string>& RoomUpgradeRecords() const { return upgradeRecords_; }

    // --- Flying texts, check-outs and room upgrades (game_economy.cpp) ---
    // "+payment+tip" (or "+payment" and a red "#NO_TIPS" above it) flies up; nothing unpaid.
    void ShowTips(int payment, int tip, Point2i at) override;
    void ShowLoyaltyChange(int change, Point2i at) override;
    // A run of equal services from the second on: the combo caption and the "combo" sound.
    void ShowCombo(int count, Point2i at) override;
    // A served check-out: counted (never past the client count) and shown on the counter.
    void ReleaseNextClient() override;
    // Every client has come, the one a mandatory upgrade still holds back included.
    bool AllClientsArrived() override;
    // The first room of the grade not yet asking for its upgrade starts one.
    void PrepareRoomUpgrade(int grade);
    bool AreHeroesSentHome() override { return heroesSentHome_; }

    // --- Clients, finders, places and service orders (game_queries.cpp) ---
    // Takes the client into the client array (owned); a full array refuses it (logged, deleted).
    bool AddClient(cClient* client);
    // The active clients are the first count entries of the array; held within it.
    void SetClientCount(int count);
    int GetClientArraySize() const { return clientsMade_; }
    int GetClientsIn() const { return clientsIn_; }
    int GetClientsGone() const { return clientsGone_; }
    // The Maid and the Porter in place of the game data's (not owned); null while absent.
    void SetStaff(cMaid* maid, cPorter* porter) {
        maid_ = maid;
        porter_ = porter;
    }
    // "Jenny", "Maid" or "Porter", exactly so; anything else gives null.
    HeroLink* GetHeroByName(const char* name) override;
    cLevelObj* FindLevelObjectByName(const char* name) override;
    // The picture of a carried object in one of its nine directions; null for an empty name,
    // an index outside 0..8 or an object the game data lacks.
    const AnimDesc* GetHandObjectEntry(const char* name, int index);
    // Finders over the active clients, each client tested before its linked client.
    cBaseObj* FindClientByRequestOwner(const cLevelObj* object) override;
    cBaseObj* FindClientByRequestTarget(const cLevelObj* object) override;
    cClient* FindClientAtObject(const cLevelObj* room) override;
    // A request of the kind (from kNoRequest on: of a client in state 1); clients before objects.
    const cRequest* FindRequest(int kind, bool waitingOnly) override;
    int CountRequestsOfKind(int kind, const cBaseObj* excluded) override;
    int CountWaitingFor(int kind, const cLevelObj* target) override;
    // The client whose own or linked request waits for the hero, else the level object whose
    // request does.
    cBaseObj* FindWaitingRequestOfHero(const HeroLink* hero);
    cLevelObj* FindRoomByNumber(int grade) override;
    void GetWaitingClients(cArray<cClient*>& clients) override;
    int CountCheckOutRequests() override;
    cBaseObj* GetDraggedObject() override { return dragged_; }
    void SetDraggedClient(cClient* client) { dragged_ = client; }
    cBaseObj* GetSelectedDragObject() override { return selectedCarried_; }
    // A copy of the carried object's image swells and fades at the point, where it was handed.
    void LaunchCarriedImage(const cLevelObj* object, Point2i at);
    void SetSelectedDragObject(cBaseObj* object) { selectedCarried_ = object; }
    // The queues run from the last place (where a client joins) to the first (the front).
    cLevelObj* GetFirstCheckInPlace() override;
    cLevelObj* GetLastFreeCheckInPlace() override;
    cLevelObj* GetNextCheckInPlace(const cLevelObj* place) override;
    cLevelObj* GetFirstCheckOutPlace() override;
    cLevelObj* GetLastFreeCheckOutPlace() override;
    // From a room: the back of the check-out queue; from a place: the free one in front of it.
    cLevelObj* GetNextCheckOutPlace(const cLevelObj* object) override;
    int GetCheckOutPlaceCount() override { return static_cast<int>(checkOuts_.size()); }
    // The next client joins the check-in queue when one may come and a place is free.
    void AdmitNextClient();
    void ScheduleNextClient() override;
    bool ActivateNextClient() override;
    void OnRoomUpgraded() override;
    // The "wrong_action" sound for a click that cannot be served.
    void PlayWrongAction(int kind) override;
    // Unlocks every locked level object of that name; with null every locked one.
    void UnlockObjects(const char* name) override;
    // The order of a service on a clicked object: a task in a hero's queue; 1 when queued. With a
    // request, that one is ordered instead of the first found on the object.
    int OrderService(cLevelObj* object, const cRequest* chosen = nullptr);

    // --- Reads ---
    int GetLevelState() const override { return state_; }
    void SetLevelState(int state) { state_ = state; }
    int GetMoney() const { return money_; }
    int GetMoneyShown() const { return moneyShown_; }
    int GetPopularity() const { return popularity_; }
    int GetCashGoal() const { return cashGoal_; }
    int GetCashExpert() const { return cashExpert_; }
    int GetAddPopularity() const { return addPopularity_; }
    int GetMaxCostTipClient() override { return maxCostTip_; }
    int GetLevelClock() const { return levelClock_; }
    int GetObjectCount() const { return objectCount_; }
    cLevelObj* GetObject(int i) const { return i >= 0 && i < objectCount_ ? objects_[i] : nullptr; }
    int GetRoomCount() const { return roomCount_; }
    int GetFlowerCount() const { return flowerCount_; }
    cLevelObj* GetSweets() override { return sweets_; }
    cLevelObj* GetAngerPoint() override { return angerPoint_; }
    const cArray<cLevelObj*>& CheckIns() const { return checkIns_; }
    const cArray<cLevelObj*>& CheckOuts() const { return checkOuts_; }
    int GetRequestWeight(int kind) override;
    const cArray<int>& RequestKindsInUse() const { return kindsInUse_; }
    bool HasFire() const { return fire_; }
    int GetNextObjectBreak() const { return nextObjectBreak_; }
    int GetNextRoomBreak() const { return nextRoomBreak_; }
    int GetObjectBreakRange() const { return objectBreakRange_; }
    int GetRoomBreakRange() const { return roomBreakRange_; }
    int GetRepairTime() const { return repairTime_; }
    int GetUpgradeTime() const { return upgradeTime_; }
    int GetRequestTtl() override { return requestTtl_; }
    const cArray<int>& ClientStartTimes() const { return startTimes_; }
    float GetDecreaseDirect() const { return decreaseDirect_; }
    float GetDecreaseIndirect() const { return decreaseIndirect_; }
    Point2i GetOutdoorPriority() const { return outdoorPriority_; }
    float GetBarShown() const { return barShown_; }
    float GetBarTarget() const { return barTarget_; }
    int GetServedTotal() const { return servedTotal_; }
    int GetNextThreshold() const { return nextThreshold_; }
    bool LastClientsReached() const { return lastClients_; }
    cBounceCaption* Banner() const { return banner_; }
    cJenny* GetJenny() const { return jenny_; }

    // --- The level's heroes and clients, as loading leaves them ---
    static constexpr int kMaxClients = 200;
    // The clients of the level file's "clients" list and the extra ones, the last held back.
    void LoadClients();
    cMaid* GetMaid() const { return maid_; }
    cPorter* GetPorter() const { return porter_; }
    // The heroes present, in the order the level starts and readies them: the Maid, the Porter,
    // Jenny.
    struct HeroList {
        cHero* at[3] = {};
        int count = 0;
        cHero* const* begin() const { return at; }
        cHero* const* end() const { return at + count; }
    };
    HeroList Heroes() const;
    int GetClientCount() const { return clientCount_; }
    // Every client made, the held-back one included.
    int GetClientsMade() const { return clientsMade_; }
    // Null outside the clients made.
    cClient* GetClient(int i) const {
        return i >= 0 && i < clientsMade_ ? levelClients_[i] : nullptr;
    }
    int GetPopularityMax() const { return popularityMax_; }
    HSPRITE Background() const { return background_; }
    DrawList& GetDrawList() { return drawList_; }
    cWalkMap& GetWalkMap() { return walkMap_; }
    CFlyingThingList& FlyingThings() { return flying_; }

    // --- Monsters ---
    // The wave of the level's "monsters" line ("kind, count, min/max, min/max": the delay between
    // cycles, then between releases), from [BasePos] "monsters" along [Main] "monsters_way".
    void LoadMonsters();
    // The wave's step, after the level-end check; once every client is served it stops the wave
    // and strikes every monster still about.
    void UpdateMonsters(int ms);
    // Submits the monsters to the draw list, which sorts them in with the hotel.
    void DrawMonsters();
    // A click on the level strikes the monsters under it, harder with the Porter's defence.
    void ClickMonsters(int x, int y);
    cBaseObj* FindMonsterByTarget(const cBaseObj* client) override;
    int GetLevelPopularity() override { return popularity_; }
    cMonsterWave& GetMonsterWave() { return monsterWave_; }

private:
    void commonUpdate(int ms);
    int commonTail(int ms);
    // Music that stops during play is started again; but when a start leaves nothing playing (no
    // sound device, no music file) asking again each step would change nothing, so the level
    // stops asking until play starts anew.
    bool musicSilent_ = false;
    // What the panels' buttons ask at the end of each step, found for all of them in one pass over
    // the clients and objects: the first waiting request of each kind as FindRequest finds it with
    // waitingOnly, and for each hero the first client or object with a request waiting for it
    // (as FindWaitingRequestOfHero). It serves only while the step's widgets update, when nothing
    // in the level changes but a hint opening (which drops it); at any other time the finders
    // search.
    struct WaitingIndex {
        static constexpr int kHeroes = 8;
        bool valid = false;
        // Kept from step to step while these stand: no request changed, no client came.
        uint32_t changes = 0;
        int clients = 0, objects = 0;
        bool heroesOverflow = false;  // more heroes than kept: their questions search
        int heroCount = 0;
        const cRequest* byKind[kNoRequest] = {};
        const HeroLink* heroes[kHeroes] = {};
        cBaseObj* byHero[kHeroes] = {};
    };
    WaitingIndex waiting_;
    bool widgetsUpdating_ = false;
    // The index, made again when it no longer stands (the usual case is inline).
    const WaitingIndex& waitingIndex() {
        return waiting_.valid && waiting_.changes == cRequest::Changes() &&
                       waiting_.clients == activeClients() && waiting_.objects == objectCount_
                   ? waiting_
                   : indexWaiting();
    }
    const WaitingIndex& indexWaiting();
    void updateGetReady(int ms);
    void updateLevelOver(int ms);
    // A click that picks up or puts down a gift or sweets ends there; any other clears the
    // selection.
    void leftButtonDown(int x, int y);
    // Withdraws the orders on the hit object (the first one ordered) and on the hit clients.
    void rightButtonDown(int x, int y);
    // The request whose order an ordered object stands for; null for an object not ordered.
    const cRequest* pendingOrder(cLevelObj* object);
    // The client a carried gift or sweets would go to when the click hit the object; null when
    // none.
    cClient* receiverAt(cLevelObj* object);
    // The player's clicks on clients: a check-in client picked up, other requests ordered. With a
    // carried object selected, a hit client waiting for a service receives it instead; that
    // client is returned (else the receiver passed in).
    cClient* clickClients(int x, int y, const cBaseObj* draggedAtStart, cClient* receiver);
    // The first room whose picture (its bound) holds the point; null over anything else.
    cRoom* roomAt(int x, int y);
    // A guest picked up for check-in: the hint points at the free room of its grade.
    void pointCheckInRoom(int grade);
    // The common path of both hint shapes; radius below 0 for a rectangle.
    void openHint(const char* name, Point2i pos, Point2i size, int radius);
    // The dragged client back to where the drag began; nothing is dragged afterwards.
    void cancelDrag();
    // Pointer over the hotel while a client is dragged: the free rooms' doors and the client.
    void dragOver(int x, int y);
    void openPauseMenu();
    void placeBarMarker();
    void readBreakWindow(const char* key, int* minimum, int* range, int* next);
    void appendObject(cLevelObj* object);
    bool objectOfType(const cLevelObj* object, const char* type) const;
    void drawDayLabel();
    // What the top bar's counter under the pointer counts, written under the bar.
    void drawInterfaceLabel();
    static constexpr int kBellWidth = 20, kLabelGap = 6;

    char mapFile_[256] = {};
    char levelsFile_[256] = {};
    char objectsFile_[256] = {};
    char levelSection_[32] = {};
    int episode_ = 0, levelNumber_ = 0;
    cBounceCaption* banner_ = nullptr;
    CGraphFont* bannerFont_ = nullptr;
    CGraphFont* dayFont_ = nullptr;
    int state_ = kStart;
    // The game data's heroes, not owned: a level only places them.
    cJenny* jenny_ = nullptr;
    cMaid* maid_ = nullptr;
    cPorter* porter_ = nullptr;
    cClient* levelClients_[kMaxClients] = {};  // owned
    int clientsMade_ = 0;
    void placeHero(cHero* hero, const char* key, bool waits);
    cClient* makeClient(const char* kind, Point2i base);
    void computePopularityMax();
    bool roomUpgradeDone_ = false;
    int goalType_ = 0;
    cArray<std::string> upgradeRecords_;
    DrawList drawList_;
    cWalkMap walkMap_;
    HSPRITE background_ = nullptr;
    cLevelObj* objects_[kMaxObjects] = {};
    int objectCount_ = 0;
    // The objects by name (the first of each name), sorted; made again when the object list has
    // changed (indexedObjects_ is then -1), so a step's look-ups per object do not grow with the
    // hotel.
    std::vector<std::pair<const char*, cLevelObj*>> objectIndex_;
    int indexedObjects_ = -1;
    void indexObjects();
    // Read from the data once the list is whole, never inside a look-up (a caller may hold a
    // value the reading would drop): the few objects a request can name as its target, sorted,
    // and those that may break down at random (neither rooms nor flowers).
    std::vector<const cLevelObj*> requestTargets_;
    // For each object a client's request names, the first client (or its linked client) that
    // FindClientByRequestTarget answers with, in one pass over the clients; kept while no request
    // changed and no client came. Targets come only from the kinds' two names each, so the table
    // holds them all; should it not, the finder searches.
    struct TargetIndex {
        static constexpr int kTargets = 2 * kNoRequest;
        bool valid = false;
        bool overflow = false;
        uint32_t changes = 0;
        int clients = 0;
        int count = 0;
        const cLevelObj* targets[kTargets] = {};
        cBaseObj* found[kTargets] = {};
    };
    TargetIndex targetIndex_;
    const TargetIndex& targetIndex() {
        return targetIndex_.valid && targetIndex_.changes == cRequest::Changes() &&
                       targetIndex_.clients == activeClients()
                   ? targetIndex_
                   : indexTargets();
    }
    const TargetIndex& indexTargets();
    std::vector<cLevelObj*> breakables_;
    bool kindsIndexed_ = false;
    void indexObjectKinds();
    // Every request kind's pictures, held for the level so a request made in play finds them
    // loaded instead of reading them again.
    cArray<HSPRITE> requestIcons_;
    cLevelObj* angerPoint_ = nullptr;
    cLevelObj* sweets_ = nullptr;
    cArray<cLevelObj*> checkIns_, checkOuts_;
    int weights_[23] = {};
    cArray<int> kindsInUse_;
    bool fire_ = false;
    int roomCount_ = 0, flowerCount_ = 0;
    int clientCount_ = 0, clientsIn_ = 0, clientsGone_ = 0;
    int priceBonus_ = 0, timeBonus_ = 0;
    int levelClock_ = 0;
    int otherClientDelay_ = 0, checkOutCleanInterval_ = 0;
    cArray<int> startTimes_;
    int nextObjectBreak_ = 0, nextRoomBreak_ = 0;
    int repairTime_ = 0, upgradeTime_ = 0, requestTtl_ = 0;
    int objectBreakMin_ = 0, objectBreakRange_ = 0, roomBreakMin_ = 0, roomBreakRange_ = 0;
    int drainMs_ = 0;
    UIWnd* cash_ = nullptr;
    UIWnd* goal_ = nullptr;
    UIWnd* clients_ = nullptr;
    UIWnd* tipsProgress_ = nullptr;
    UIWnd* tipsSign_ = nullptr;
    UIWnd* tipsText_ = nullptr;
    UIWnd* tipsSum_ = nullptr;
    UIWnd* bustCounter_ = nullptr;
    std::u16string expertLabel_;
    PulseSprite pulse_;
    float counterTimer_ = 0;
    int pendingStep_ = 0;
    float barShown_ = 0, barTarget_ = 0;
    int servedTotal_ = 0, nextThreshold_ = 0, nextThresholdGrade_ = 0, roomsUpgraded_ = 0;
    int cashGoal_ = 0, cashExpert_ = 0, addPopularity_ = 0, clientsCheckedOut_ = 0;
    int money_ = 0, moneyShown_ = 0, popularity_ = 0, maxCostTip_ = 0, popularityMax_ = 0;
    float decreaseDirect_ = 0, decreaseIndirect_ = 0;
    Point2i outdoorPriority_{0, 0};
    bool upgradeSettled_ = false;
    CFlyingThingList flying_;
    cMonsterWave monsterWave_;
    CGraphFont* cashFont_ = nullptr;
    CGraphFont* noTipsFont_ = nullptr;
    CGraphFont* loyaltyFont_ = nullptr;
    HSPRITE moneySprite_ = nullptr;
    std::u16string incLoyalty_, decLoyalty_, dayText_;
    bool heroesSentHome_ = false, goalAnnounced_ = false, expertAnnounced_ = false;
    // Set when the level ends lost: the end drain then announces no goal.
    bool levelLost_ = false;
    bool allServed_ = false;
    bool lastClients_ = false;
    Point2i pointer_{-1, -1};
    // --- Economy and the level's end ---
    bool everyClientServed() const;
    bool everyClientOutside() const;
    std::u16string comboFormat() const;
    CGraphFont* comboFont() const;
    int actedThreshold_ = 0;  // the served-clients threshold last acted on
    // Every active client's step, then the last two clients' requests evened out.
    void updateClients(int ms);
    void balanceLastClients();
    // Every client but the dragged one joins the depth order; the dragged one (after its
    // partner) is drawn over the hotel.
    void addClientsToDrawList();
    void drawDraggedClient();
    // --- Clients, finders, places and service orders ---
    // The active clients, never more than the array holds.
    int activeClients() const { return clientCount_ < clientsMade_ ? clientCount_ : clientsMade_; }
    cClient* dragged_ = nullptr;
    // Where the guest in hand was picked up: a release this close is a click, not a drop.
    Point2i dragStart_{0, 0};
    static constexpr int kClickSlop = 8;
    cBaseObj* selectedCarried_ = nullptr;
};

// Each byte of the text as one UTF-16 unit.
std::u16string widenText(const char* text);
// The translation of a '#' key; empty when the translation file lacks it.
std::u16string translated(const char* key);

// The level being played; null outside a level. A level sets it when it starts loading and clears
// it when it is deleted while still current.
extern cGame* gCurrentGame;
// A new level of the current player's way point, loaded through every stage in order.
cGame* gameCreateLevel();
// The pause menu the level opens over itself (Escape, "MenuBtn"). The screens set it at start-up,
// since the level screen cannot know them; without one the level just closes, leaving the screen
// below it on show.
void gameSetPauseMenu(Window* (*pauseMenu)());
// The screen a finished level hands its results to, once its end sequence is over; set by the
// screens at start-up like the pause menu. Without one the level just closes.
void gameSetAfterLevel(Window* (*afterLevel)());

// The number of the last goal line the level loading screen built: 2 when the goal is the cash
// goal, 3 when a room upgrade is mandatory too. The win rule reads it.
extern int32_t gGoalType;
