// Hotel guests: arrival, the check-in queue and the drag onto a room, requests one after another,
// activities at the hotel's objects, moods, payment, the check-out and leaving.
#pragma once

#include <cstdint>

#include "anim/fx.h"
#include "core/array.h"
#include "core/strings.h"
#include "world/links.h"
#include "world/moving.h"

class cRoom;
class cHero;
struct sndSound;

class cClient : public cMovingObj, public ClientLink {
public:
    // Animation records after the eight walks.
    enum {
        kAnimStand = 8,
        kAnimStandIdle,
        kAnimStandAngry,
        kAnimStandHappy,
        kAnimScaredStand,
        kAnimMusic,
        kAnimDrinkStand,
        kAnimSit,
        kAnimSitAngry,
        kAnimSitHappy,
        kAnimScaredSit,
        kAnimChess,
        kAnimDrinkSit,
        kAnimNews,
        kAnimNewsLoop,
        kAnimCardsStart,
        kAnimCardsIdle,
        kAnimCardsLoop,
        kAnimCardsEnd,
        kAnimCasinoEnd,
        kAnimFood,
        kClientAnims
    };
    // Client states.
    enum {
        kStateNew = 0,
        kStateWaiting = 1,
        kStateWalking = 2,
        kStateInRoom = 3,
        kStateOutside = 4,
        kStateReacting = 5,
        kStateLeavingAngry = 6,
        kStateCards = 7,
        kStateCasino = 8,
        kStatePlayingChess = 9,
        kStateDrinking = 10,
        kStateWarming = 11,
        kStateEating = 12,
        kStateListening = 13,
        kStateReading = 14,
        kStateEnteringRoom = 15,
        kStateLeavingRoom = 16,
        kStateUnderPlaid = 17,
        kStateStanding = 18,
        kStateScared = 19,
        kStateFollowing = 20
    };
    enum { kLegsChess, kLegsPlaid, kLegsScared, kLegsSit, kNoLegs };
    static constexpr int kMaxLoyalty = 5;

    // The legs drawn under a seated client.
    class cClientLegs : public cBaseObj {
    public:
        void Load(const char* iniFile, const char* section) override;
        void SetLegs(int index, bool mirrored);
        void SetPosition(Vec2f p) { body_.position = p; }
    };

    cClient();
    ~cClient() override;

    // Everything of the kind's file, the level's weights for it, then outside the hotel.
    void Load(const char* iniFile) override;
    void Load(const char* iniFile, const char*) override { Load(iniFile); }
    void Update(int ms) override;
    void AddToDrawList(DrawList* list) override;
    void Draw(DrawList* list) override;
    bool HitTestPoint(int x, int y) override;

    // Whether a click on the client may order its service now.
    virtual bool CanOrderService();
    void OnServiceEnd(bool success) override;
    cBaseObj* GetLinked() const override { return linked_; }
    // Makes and loads the companion that [Main] "pair" of the kind's file names, from
    // "Data/Clients/<pair>/<pair>.ini"; the level loader calls it right after Load. A second
    // call changes nothing. False when the client comes alone (no pair; a missing file or a
    // companion's own pair is logged).
    bool LoadLinked(const char* iniFile);
    virtual void LeaveAngry();
    virtual void MakeRequest();

    // Admission: walks to the frontmost free check-in place; false when none is free.
    bool EnterCheckInQueue();
    void BeginDrag(int x, int y);
    void DragTo(int x, int y);
    void DropOnRoom(cRoom* room);
    void CancelDrag();
    bool IsAtRoom() const;
    bool IsInOwnRoom() const;
    bool CanBeAttacked() const;
    void Scare(bool mirrored);

    void BecomeHappier();
    void BecomeAngrier();
    void ReactHappy();
    void ReactAngry();
    void PlayHappySound();
    void StartBabyCry();
    // Made all its requests, has none and stays in its room.
    bool IsFinished() const;
    int GetRemainingRequests() const;
    void AddRequestCount(int& delta);

    cRoom* GetRoom() const { return room_; }
    int GetLoyalty() const { return loyalty_; }
    int GetRequestCount() const { return requestCount_; }
    int GetRequestsMade() const { return requestsMade_; }
    int GetThinkTime() const { return thinkTime_; }
    int GetGoodStreak() const { return goodStreak_; }
    int GetWeight(int kind) const { return weights_[kind]; }
    int GetWeightTotal() const { return weightTotal_; }
    int GetRoomPreference(int grade) const { return roomPrefs_[grade]; }
    int GetLastKind() const { return lastKind_; }
    int GetFailedKind() const { return failedKind_; }
    bool IsSeated() const { return seated_ != 0; }
    bool IsLeaving() const { return leaving_ != 0; }
    const cRequest& GetStashedRequest() const { return stashed_; }
    const cClientLegs& GetLegs() const { return legs_; }
    sndSound* GetBabyCrySound() const { return babyCryHandle_; }
    int GetClientAlpha() const;
    Point2i GetEffectPoint() const;

    // The next kind to ask for, by the weights and what the level already asks; kNoRequest when
    // none (or the check-out is due while the partner is not done).
    int ChooseRequestKind();
    // The object to carry a request of the kind; null when no place is free.
    cLevelObj* FindRequestPlace(int kind);

protected:
    // The state handlers, one per state.
    virtual void UpdateWalking();
    virtual void UpdateWaiting();
    virtual void UpdateInRoom();
    virtual void UpdateEnteringRoom();
    virtual void UpdateLeavingRoom();
    virtual void UpdateReacting();
    virtual void UpdateLeavingAngry();
    virtual void UpdateCards(int ms);
    virtual void UpdateCasino(int ms);
    virtual void UpdateChess();
    virtual void UpdateDrinking();
    virtual void UpdateWarming();
    virtual void UpdateEating();
    virtual void UpdateListening();
    virtual void UpdateReading();
    virtual void UpdateStanding();
    virtual void UpdatePlaid();
    virtual void UpdateScared();

    void PickRequestWeights(const char* iniFile);
    void checkInQueue(bool babyCrying);
    void checkOutQueue(bool babyCrying);
    // Leaves its queue place for the free one in front.
    void moveUpTo(cLevelObj* place);
    bool played() const;
    int playTime() const;
    // The first request to calm a baby, found by the level; most steps no request holds the kind,
    // and the level is not asked.
    static const cRequest* calmBabyRequest();
    bool mirroredLikeOwner() const;
    // The walk back into the room after an activity.
    void backToRoom();
    // Sit or stand at the owner, angry while a baby cries.
    void sitAtOwner(cLevelObj* owner, bool babyCrying, bool mirrored);
    void dropTask(int kind, cLevelObj* object);
    void releaseOwner(bool free);
    void cleanRoom(int roomSubState);
    Point2i angerPoint() const;
    void setAlpha(int alpha);
    // Tells the level that this client is done with, once: its slot may go to the next one.
    void scheduleNext();
    void raiseTutorial(const char* name, const cBaseObj& at) const;

    int32_t requestCount_, requestsMade_;
    cRequest stashed_;
    // The request was taken by a hero whose task for it has since been withdrawn.
    bool serviceAbandoned() const;
    cClient* linked_;
    cRoom* room_;
    Vec2f dragFrom_;
    HSPRITE portraitAngry_, portraitHappy_;
    int32_t roomPrefs_[4];
    int32_t weights_[kRequestKinds];
    int32_t weightTotal_, goodStreak_, thinkTime_, loyalty_, newsPasses_;
    int32_t drink_, fire_, news_, plaid_, casino_;
    int32_t leaving_;
    float babyCry_;
    int32_t babyCried_, lastKind_, failedKind_;
    uint8_t seated_;
    FxEmitter greenSmile_, redSmile_;
    cArray<FxEmitter*> effects_;
    CString helloSound_, angrySound_, happySound_, frightSound_, babyCrySound_;
    sndSound* babyCryHandle_;
    cClientLegs legs_;
    Point2i legsOffset_;
    bool casinoStarted_;
    bool nextScheduled_;
};
