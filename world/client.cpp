// Clients: loading, the per-step state machine, queues, the drag, rooms, activities, drawing.
#include "world/client.h"

#include <cmath>
#include <cstring>

#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/hero.h"
#include "world/level_object.h"
#include "world/room.h"

namespace {

const char* const kClientAnimNames[cClient::kClientAnims - cClient::kAnimStand] = {
    "Stand",     "StandIdle", "StandAngry", "StandHappy", "ScaredStand", "Music",
    "DrinkStand", "Sit",      "SitAngry",   "SitHappy",   "ScaredSit",   "Chess",
    "DrinkSit",  "News",      "NewsLoop",   "CardsStart", "CardsIdle",   "CardsLoop",
    "CardsEnd",  "CasinoEnd", "Food"};
const char* const kLegsNames[cClient::kNoLegs] = {"LegsChess", "LegsPlaid", "LegsScared",
                                                   "LegsSit"};
constexpr int kFadeStep = 15;

HSPRITE loadNamedSprite(const char* file, const char* key) {
    const char* name = iniGetString(file, "Main", key, "");
    return *name ? grLoadSprite(name, nullptr, 0) : nullptr;
}

Point2i boundsCorner(const cBaseObj& o) {
    const Body& b = o.GetBody();
    return (b.position + b.boundOffset).ToPoint2i();
}

}  // namespace

// --- legs --------------------------------------------------------------------------------------

void cClient::cClientLegs::Load(const char* iniFile, const char*) {
    AllocAnims(kNoLegs);
    for (int i = 0; i < kNoLegs; ++i) anims_[i].Load(iniFile, kLegsNames[i]);
    animIndex_ = kNoLegs;
}

void cClient::cClientLegs::SetLegs(int index, bool mirrored) { SetAnimation(index, mirrored); }

// --- the client --------------------------------------------------------------------------------

cClient::cClient()
    : requestCount_(0),
      requestsMade_(0),
      linked_(nullptr),
      room_(nullptr),
      dragFrom_(0, 0),
      portraitAngry_(nullptr),
      portraitHappy_(nullptr),
      roomPrefs_{},
      weights_{},
      weightTotal_(0),
      goodStreak_(0),
      thinkTime_(0),
      loyalty_(0),
      newsPasses_(0),
      drink_(0),
      fire_(0),
      news_(0),
      plaid_(0),
      casino_(0),
      leaving_(0),
      babyCry_(0),
      babyCried_(0),
      lastKind_(kNoRequest),
      failedKind_(kNoRequest),
      seated_(0),
      babyCryHandle_(nullptr),
      legsOffset_(0, 0),
      casinoStarted_(false),
      nextScheduled_(false) {}

cClient::~cClient() {
    delete linked_;
    request_.SetPortraits(nullptr, nullptr);
    stashed_.SetPortraits(nullptr, nullptr);
    spriteFree(&portraitAngry_);
    spriteFree(&portraitHappy_);
    if (babyCryHandle_) sndRelease(babyCryHandle_);
    greenSmile_.Release();
    redSmile_.Release();
}

void cClient::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    AllocAnims(kClientAnims);
    cMovingObj::Load(iniFile);
    for (int i = kAnimStand; i < kClientAnims; ++i)
        if (!anims_[i].sprite) anims_[i].Load(iniFile, kClientAnimNames[i - kAnimStand]);
    requestPoint_ = iniGetPoint(iniFile, "Main", "request_x", "request_y");
    spriteFree(&extraSprite_);
    extraSprite_ = loadNamedSprite(iniFile, "v_spr");
    extraPoint_ = iniGetPoint(iniFile, "Main", "v_x", "v_y");
    spriteFree(&portraitAngry_);
    spriteFree(&portraitHappy_);
    portraitAngry_ = loadNamedSprite(iniFile, "portrait_angry");
    portraitHappy_ = loadNamedSprite(iniFile, "portrait_happy");
    request_.SetPortraits(portraitAngry_, portraitHappy_);

    name_ = iniGetString(iniFile, "Main", "name", "");
    thinkTime_ = iniGetInt(iniFile, "Main", "think_time", 0);
    loyalty_ = iniGetInt(iniFile, "Main", "loyalty", 0);
    if (loyalty_ < 0 || loyalty_ > kMaxLoyalty) {
        // Every wait is a multiple of the loyalty: outside 0..5 the waits go wrong.
        logPrintf("%s: loyalty %d is outside 0..%d; %d is used\n", iniFile, loyalty_, kMaxLoyalty,
                  IntClamp(loyalty_, 0, kMaxLoyalty));
        loyalty_ = IntClamp(loyalty_, 0, kMaxLoyalty);
    }
    babyCry_ = iniGetFloat(iniFile, "Main", "baby_cry", 0.0f);
    drink_ = iniGetInt(iniFile, "Actions", "drink", 0);
    fire_ = iniGetInt(iniFile, "Actions", "fire", 0);
    news_ = iniGetInt(iniFile, "Actions", "news", 0);
    plaid_ = iniGetInt(iniFile, "Actions", "plaid", 0);
    casino_ = iniGetInt(iniFile, "Actions", "casino", 0);
    LoadMask(iniFile, "Main");
    const char* const grades[4] = {"single", "double", "luxe", "president"};
    for (int g = 0; g < 4; ++g) roomPrefs_[g] = iniGetInt(iniFile, "RoomPreferences", grades[g], 0);
    PickRequestWeights(iniFile);
    SetState(kStateOutside);
    SetAnimation(kAnimStand, false);
    goodStreak_ = 0;
    greenSmile_.Load("GreenSmile");
    redSmile_.Load("RedSmile");
    effects_.clear();
    effects_.push_back(&greenSmile_);
    effects_.push_back(&redSmile_);
    helloSound_ = iniGetString(iniFile, "Main", "hello_sound", "");
    angrySound_ = iniGetString(iniFile, "Main", "angry_sound", "");
    happySound_ = iniGetString(iniFile, "Main", "happy_sound", "");
    frightSound_ = iniGetString(iniFile, "Main", "fright_sound", "");
    babyCrySound_ = iniGetString(iniFile, "Main", "baby_cry_sound", "");
    if (babyCrySound_.length() > 0 && !babyCryHandle_)
        babyCryHandle_ = sndGetSound(babyCrySound_.c_str(), 0);
    legs_.Load(iniFile, nullptr);
    Point2i legs(0, 0);
    if (iniReadPoint(&legs, iniFile, "Main", "legs_offset")) legsOffset_ = legs;
}

// --- small helpers -----------------------------------------------------------------------------

int cClient::playTime() const {
    const AnimDesc* r = CurrentAnim();
    return r && r->sprite ? grSpriteTime(r->sprite) : 0;
}

bool cClient::played() const { return animTime_ >= playTime(); }

const cRequest* cClient::calmBabyRequest() {
    GameLink* game = worldGame();
    return game && cRequest::AnyOfKind(kCalmBaby) ? game->FindRequest(kCalmBaby, false) : nullptr;
}

bool cClient::mirroredLikeOwner() const {
    const cLevelObj* owner = request_.GetOwner();
    return owner && owner->GetFlipX() < 0;
}

int cClient::GetClientAlpha() const {
    const AnimDesc* r = CurrentAnim();
    return r ? r->alpha : 255;
}

void cClient::setAlpha(int alpha) {
    if (AnimDesc* r = CurrentAnim()) r->alpha = alpha;
}

Point2i cClient::GetEffectPoint() const {
    const AnimDesc* r = CurrentAnim();
    const int w = r && r->sprite ? spriteWidth(r->sprite) : 0;
    const int h = r && r->sprite ? spriteHeight(r->sprite) : 0;
    return Point2i(static_cast<int>(body_.position.x) + (w * (r && r->flipx > 0 ? 1 : -1)) / 8,
                   static_cast<int>(body_.position.y) - h * 3 / 4);
}

void cClient::raiseTutorial(const char* name, const cBaseObj& at) const {
    if (GameLink* game = worldGame())
        game->OnTutorialEvent(name, boundsCorner(at), at.GetBody().boundSize.ToPoint2i());
}

Point2i cClient::angerPoint() const {
    GameLink* game = worldGame();
    cLevelObj* anger = game ? game->GetAngerPoint() : nullptr;
    return anger ? anger->GetClientPos() : basePoint_;
}

void cClient::scheduleNext() {
    // A check-out that fails on the last loyalty point would otherwise schedule a second time.
    if (nextScheduled_) return;
    nextScheduled_ = true;
    if (GameLink* game = worldGame()) game->ScheduleNextClient();
}

void cClient::releaseOwner(bool free) {
    cLevelObj* owner = request_.GetOwner();
    if (!owner) return;
    if (owner->GetAttached() == &request_) owner->SetAttached(nullptr);
    if (free) owner->ClearOccupied();
}

void cClient::cleanRoom(int roomSubState) {
    if (!room_) return;
    room_->GetRequest().Load(kClean, 0, room_, 0);
    room_->GetRequest().SetWaiting();
    if (roomSubState >= 0)
        room_->SetSubState(roomSubState);
    else
        room_->SetState(1);
}

bool cClient::serviceAbandoned() const {
    // The Porter takes a table game's request (done) as he starts to deal and then deals to the
    // seated guest; when another guest's failed order at the same table withdraws that task
    // before the game is over, nobody deals any more and the guest would wait for ever.
    const int kind = request_.GetKind();
    if (request_.GetState() != kRequestDone || !IsOneOf(kind, kCards, kCasino, kChess)) return false;
    const HeroLink* hero = request_.GetHero();
    return hero && !hero->HasTask(kind, request_.GetTarget());
}

bool cClient::IsInOwnRoom() const {
    return room_ && (state_ == kStateInRoom || request_.GetOwner() == room_);
}

bool cClient::IsAtRoom() const {
    if (IsInOwnRoom()) return true;
    if (!room_ || !IsOneOf(state_, kStateReacting, kStateEnteringRoom, kStateLeavingRoom)) return false;
    const Point2i p = room_->GetClientPos();
    const float dx = body_.position.x - p.x, dy = body_.position.y - p.y;
    return std::sqrt(dx * dx + dy * dy) < 10.0f;
}

bool cClient::CanBeAttacked() const {
    if (state_ != kStateWaiting || IsInOwnRoom() || !request_.IsWaiting() ||
        request_.GetKind() == kCheckOut)
        return false;
    GameLink* game = worldGame();
    return !game || !game->FindMonsterByTarget(this);
}

// --- the update --------------------------------------------------------------------------------

void cClient::Update(int ms) {
    for (uint32_t i = 0; i < effects_.size(); ++i) effects_[i]->Update(ms);
    cMovingObj::Update(ms);
    if (linked_) linked_->Update(ms);
    legs_.cBaseObj::Update(ms);
    switch (state_) {
    case kStateWaiting: {
        const cRequest* baby = calmBabyRequest();
        const int speed = baby && baby != &request_ && !IsInOwnRoom() ? 2 : 1;
        if (!request_.Update(ms * speed) || serviceAbandoned())
            OnServiceEnd(false);
        else
            UpdateWaiting();
        break;
    }
    case kStateWalking:
        UpdateWalking();
        break;
    case kStateInRoom:
        UpdateInRoom();
        break;
    case kStateReacting:
        UpdateReacting();
        break;
    case kStateLeavingAngry:
        UpdateLeavingAngry();
        break;
    case kStateCards:
        // The Porter's deals drive the game; without his task nobody deals again.
        if (serviceAbandoned())
            OnServiceEnd(false);
        else
            UpdateCards(ms);
        break;
    case kStateCasino:
        UpdateCasino(ms);
        break;
    case kStatePlayingChess:
        UpdateChess();
        break;
    case kStateDrinking:
        UpdateDrinking();
        break;
    case kStateWarming:
        UpdateWarming();
        break;
    case kStateEating:
        UpdateEating();
        break;
    case kStateListening:
        UpdateListening();
        break;
    case kStateReading:
        UpdateReading();
        break;
    case kStateEnteringRoom:
        UpdateEnteringRoom();
        break;
    case kStateLeavingRoom:
        UpdateLeavingRoom();
        break;
    case kStateUnderPlaid:
        UpdatePlaid();
        break;
    case kStateStanding:
        UpdateStanding();
        break;
    case kStateScared:
        UpdateScared();
        break;
    default:
        break;
    }
    if (const AnimDesc* body = CurrentAnim())
        for (int i = 0; i < kNoLegs; ++i)
            if (AnimDesc* l = legs_.Anim(i)) {
                l->flipx = body->flipx;
                l->mirror_x = body->mirror_x;
            }
}

void cClient::UpdateWalking() {
    if (walkDir_ >= 1 && walkDir_ <= 8) SetAnimation(walkDir_ - 1, false);
    seated_ = 0;
}

void cClient::sitAtOwner(cLevelObj* owner, bool babyCrying, bool mirrored) {
    SetAnimation(babyCrying ? kAnimSitAngry : kAnimSit, mirrored);
    legs_.SetLegs(kLegsSit, mirrored);
    body_.position = IntPointToVec2(owner->GetClientPos());
}

void cClient::UpdateWaiting() {
    cLevelObj* owner = request_.GetOwner();
    if (!owner) return;
    GameLink* game = worldGame();
    const float ratio = request_.GetTimeRatio();
    if (game && ratio > 0.3f) {
        cLevelObj* sweets = game->GetSweets();
        const bool selected = sweets && game->GetSelectedDragObject() == sweets;
        // A drag object's availability is its actionability.
        if (sweets && sweets->IsActionable()) {
            if (!selected)
                raiseTutorial("Candy_Start", *sweets);
            else
                worldTutorialMarkShown("Candy_Start");
        }
        if (selected) raiseTutorial("Candy_End", *this);
    }
    const bool babyCrying = calmBabyRequest();
    if (!babyCrying && babyCry_ != 0 && babyCry_ < ratio) StartBabyCry();
    const int kind = request_.GetKind();
    if (!owner->GetAttached() && kind != kCheckIn) owner->SetAttached(&request_);
    const bool mirrored = owner->GetFlipX() < 0;
    seated_ = owner->IsSittingPlace();
    switch (kind) {
    case kCalmBaby:
        SetAnimation(seated_ ? kAnimSitAngry : kAnimStandAngry, mirrored);
        break;
    case kCards:
    case kCasino:
    case kFood:
    case kChess:
    case kFire:
        sitAtOwner(owner, babyCrying, mirrored);
        break;
    case kCheckIn:
        checkInQueue(babyCrying);
        break;
    case kCheckOut:
        checkOutQueue(babyCrying);
        break;
    case kCocktail:
        if (cLevelObj* target = request_.GetTarget()) raiseTutorial("Cocktail_Start", *target);
        if (owner == static_cast<cLevelObj*>(room_)) break;
        if (seated_) {
            sitAtOwner(owner, babyCrying, mirrored);
        } else {
            SetAnimation(babyCrying ? kAnimStandAngry : kAnimStand, mirrored);
            body_.position = IntPointToVec2(owner->GetClientPos());
        }
        break;
    case kMusic:
        if (owner == request_.GetTarget()) {
            if (owner->GetAttached() == &request_) owner->SetAttached(nullptr);
            SetAnimation(babyCrying ? kAnimStandAngry : kAnimStand, false);
            body_.position = IntPointToVec2(owner->GetClientPos());
        } else {
            sitAtOwner(owner, babyCrying, mirrored);
        }
        break;
    case kNews:
    case kPlaid:
        if (owner != static_cast<cLevelObj*>(room_)) sitAtOwner(owner, babyCrying, mirrored);
        break;
    case kPhoto:
    case kSouvenir:
        SetAnimation(babyCrying ? kAnimStandAngry : kAnimStand, false);
        body_.position = IntPointToVec2(owner->GetClientPos());
        break;
    default:
        break;
    }
}

void cClient::moveUpTo(cLevelObj* place) {
    releaseOwner(true);
    request_.SetOwner(place);
    place->SetOccupied();
    WalkTo(place->GetClientPos(), kStateWaiting, kStateWalking);
}

void cClient::checkInQueue(bool babyCrying) {
    GameLink* game = worldGame();
    if (!game || !played() || game->GetDraggedObject() == this) return;
    cLevelObj* owner = request_.GetOwner();
    cLevelObj* first = game->GetFirstCheckInPlace();
    cLevelObj* ahead = owner == first ? nullptr : game->GetNextCheckInPlace(owner);
    if (ahead) {
        moveUpTo(ahead);
        return;
    }
    SetAnimation(babyCrying ? kAnimStandAngry : kAnimStand, false);
    if (subState_ == 2) {
        WalkTo(owner->GetClientPos(), kStateWaiting, kStateWalking);
    } else if (owner != first) {
        // Behind the head of the queue the clock stands still.
        request_.SetServing();
    } else if (!owner->GetAttached()) {
        int grade = 0;
        bool found = false;
        for (int p = 3; p >= 1 && !found; --p)
            for (int g = 3; g >= 0 && !found; --g)
                if (roomPrefs_[g] == p && game->FindRoomByNumber(g)) {
                    grade = g;
                    found = true;
                }
        request_.SetGrade(grade);
        body_.position = IntPointToVec2(owner->GetClientPos());
        owner->SetAttached(&request_);
        request_.SetWaiting();
        if (helloSound_.length() > 0) worldPlaySound(helloSound_.c_str());
        raiseTutorial("CheckIn_Start", *this);
    }
}

void cClient::checkOutQueue(bool babyCrying) {
    GameLink* game = worldGame();
    if (!game) return;
    cLevelObj* owner = request_.GetOwner();
    cLevelObj* first = game->GetFirstCheckOutPlace();
    cLevelObj* ahead = nullptr;
    if (owner != first)
        ahead = owner == static_cast<cLevelObj*>(room_) ? game->GetLastFreeCheckOutPlace()
                                                        : game->GetNextCheckOutPlace(owner);
    if (ahead) {
        if (owner == static_cast<cLevelObj*>(room_)) {
            cleanRoom(-1);
            room_ = nullptr;
        }
        moveUpTo(ahead);
        return;
    }
    SetAnimation(babyCrying ? kAnimStandAngry : kAnimStand, false);
    if (owner != first) {
        request_.SetDone();
        return;
    }
    cLevelObj* desk = request_.GetTarget();
    if (desk && !desk->IsEnabled())
        raiseTutorial("CheckOut", *desk);
    else
        worldTutorialMarkShown("CheckOut");
    if (desk && desk->IsEnabled())
        Enable();
    else
        Disable();
}

bool cClient::EnterCheckInQueue() {
    GameLink* game = worldGame();
    cLevelObj* place = game ? game->GetLastFreeCheckInPlace() : nullptr;
    if (!place) return false;
    while (cLevelObj* ahead = game->GetNextCheckInPlace(place)) place = ahead;
    request_.Load(kCheckIn, game->GetRequestTtl() * loyalty_, place, 0);
    place->SetOccupied();
    WalkTo(place->GetClientPos(), kStateWaiting, kStateWalking);
    if (linked_) linked_->SetState(kStateFollowing);
    return true;
}

// --- the drag ----------------------------------------------------------------------------------

void cClient::BeginDrag(int x, int y) {
    dragFrom_ = body_.position;
    DragTo(x, y);
    request_.SetServing();
}

void cClient::DragTo(int x, int y) {
    GameLink* game = worldGame();
    if (game && game->GetDraggedObject() && game->GetDraggedObject() != this) return;
    body_.position = Vec2f(x - body_.boundOffset.x - body_.boundSize.x / 2,
                           y - body_.boundOffset.y - body_.boundSize.y / 2);
}

void cClient::CancelDrag() {
    body_.position = dragFrom_;
    request_.SetWaiting();
}

void cClient::DropOnRoom(cRoom* room) {
    if (!room) return;
    GameLink* game = worldGame();
    const int diff = std::abs(request_.GetGrade() - room->UpgradeLevel());
    cBaseObj* occupant = game ? game->FindClientAtObject(room) : nullptr;
    const bool free = !occupant && room->GetRequest().GetKind() == kNoRequest;
    body_.position = IntPointToVec2(room->GetClientPos());
    if (cClient* other = dynamic_cast<cClient*>(occupant)) {
        if (other->IsInOwnRoom())
            other->BecomeAngrier();
        else
            other->ReactAngry();
    }
    if (free) {
        room_ = room;
        if (diff == 0) {
            SetAnimation(kAnimStandHappy, false);
            BecomeHappier();
        } else if (diff == 1) {
            SetAnimation(kAnimStand, false);
        } else {
            SetAnimation(kAnimStandAngry, false);
            BecomeAngrier();
        }
        if (linked_) linked_->loyalty_ = loyalty_;
        SetSubState(3);
        SetState(kStateReacting);
        request_.SetServing();
    } else {
        BecomeAngrier();
        if (game) game->AddPopularity(-game->GetMaxCostTipClient(), 0, GetEffectPoint());
        if (loyalty_ > 0) {
            SetAnimation(kAnimStandAngry, false);
            SetSubState(2);
        }
    }
    if (!room_ && room->GetRequest().GetKind() == kNoRequest) room->CloseDoor();
}

// --- rooms -------------------------------------------------------------------------------------

void cClient::UpdateInRoom() {
    const cRequest& r = room_ ? room_->GetRequest() : request_;
    if (room_ && !r.IsWaiting() && !r.IsDone() && !r.IsServing()) {
        if (stateTime_ >= thinkTime_) MakeRequest();
    } else {
        stateTime_ = 0;
    }
}

void cClient::UpdateEnteringRoom() {
    SetAnimation(kAnimStand, false);
    if (!room_) return;
    if (!room_->IsDoorOpen()) {
        room_->OpenDoor(false);
        return;
    }
    const int alpha = GetClientAlpha() - kFadeStep;
    if (alpha < 1) {
        setAlpha(0);
        SetState(kStateInRoom);
        room_->CloseDoor();
    } else {
        setAlpha(alpha);
    }
}

void cClient::UpdateLeavingRoom() {
    if (room_ && !room_->IsDoorOpen()) {
        room_->OpenDoor(false);
        SetAnimation(kAnimStand, false);
        return;
    }
    const int alpha = GetClientAlpha() + kFadeStep;
    if (alpha < 255) {
        setAlpha(alpha);
        return;
    }
    setAlpha(255);
    const int arrival = subState_;
    cLevelObj* owner = request_.GetOwner();
    const Point2i to = arrival == kStateLeavingAngry ? angerPoint()
                       : owner                  ? owner->GetClientPos()
                                                : basePoint_;
    WalkTo(to, arrival, kStateWalking);
    if (request_.GetKind() != kCheckOut && arrival != kStateLeavingAngry) {
        if (room_) room_->CloseDoor();
        return;
    }
    request_.SetDone();
    if (room_ && owner != static_cast<cLevelObj*>(room_)) {
        GameLink* game = worldGame();
        if (!room_->IsHighlighted() && game && !game->AllClientsArrived())
            cleanRoom(-1);
        else
            room_->CloseDoor();
        room_ = nullptr;
    }
}

// --- activities --------------------------------------------------------------------------------

void cClient::backToRoom() {
    if (room_) WalkTo(room_->GetClientPos(), kStateEnteringRoom, kStateWalking);
    if (cLevelObj* owner = request_.GetOwner()) owner->ClearOccupied();
    request_.Reset();
}

void cClient::UpdateCards(int ms) {
    GameLink* game = worldGame();
    cHero* porter = dynamic_cast<cHero*>(game ? game->GetHeroByName("Porter") : nullptr);
    if (animIndex_ == kAnimCardsLoop && porter) {
        const int extra = static_cast<int>(ms * porter->CardFactor());
        animTime_ += extra;
        legs_.cBaseObj::Update(extra);
    }
    if (!played()) return;
    if (animIndex_ == kAnimCardsStart || animIndex_ == kAnimCardsLoop)
        SetAnimation(kAnimCardsIdle, mirroredLikeOwner());
    else if (animIndex_ == kAnimCardsEnd)
        SetAnimation(kAnimSit, mirroredLikeOwner());
}

void cClient::UpdateCasino(int ms) {
    if (!casinoStarted_) {
        casinoStarted_ = true;
        SetAnimation(kAnimCasinoEnd, true);
        if (cLevelObj* owner = request_.GetOwner()) owner->PlayAction(0);
    }
    GameLink* game = worldGame();
    if (cHero* porter = dynamic_cast<cHero*>(game ? game->GetHeroByName("Porter") : nullptr)) {
        const int extra = static_cast<int>(ms * porter->CasinoFactor());
        animTime_ += extra;
        legs_.cBaseObj::Update(extra);
    }
    if (animTime_ >= casino_ * playTime()) {
        casinoStarted_ = false;
        OnServiceEnd(true);
    }
}

void cClient::UpdateChess() {
    if (!played()) return;
    animTime_ = 0;
    cLevelObj* target = request_.GetTarget();
    if (target && target->PlayAction(-1)) return;
    if (target) target->SetState(cLevelObj::kIdle);
    backToRoom();
}

void cClient::UpdateDrinking() {
    if (animTime_ >= drink_ * playTime()) backToRoom();
}

void cClient::UpdateWarming() {
    if (animTime_ >= fire_ * playTime()) backToRoom();
}

void cClient::UpdateEating() {
    if (!played()) return;
    animTime_ = 0;
    cLevelObj* owner = request_.GetOwner();
    if (owner && owner->PlayAction(1)) return;
    if (owner) owner->SetState(cLevelObj::kIdle);
    backToRoom();
}

void cClient::UpdateListening() {
    cLevelObj* target = request_.GetTarget();
    if (!worldIsIdleMusician(target)) return;
    cLevelObj* owner = request_.GetOwner();
    if (owner == target)
        SetAnimation(kAnimStandHappy, false);
    else
        SetAnimation(kAnimSitHappy, mirroredLikeOwner());
    if (!played()) return;
    if (owner && owner->GetAttached() == &request_) owner->SetAttached(nullptr);
    backToRoom();
}

void cClient::UpdateReading() {
    if (played()) {
        animTime_ = 0;
        if (animIndex_ == kAnimNews) {
            SetAnimation(kAnimNewsLoop, mirroredLikeOwner());
            ++newsPasses_;
        } else if (animIndex_ == kAnimNewsLoop) {
            SetAnimation(kAnimNews, mirroredLikeOwner());
        }
    }
    if (newsPasses_ >= news_) {
        newsPasses_ = 0;
        backToRoom();
    }
}

void cClient::UpdateStanding() { SetAnimation(kAnimStand, false); }

void cClient::UpdatePlaid() {
    if (animTime_ >= plaid_ * playTime()) backToRoom();
}

// --- reactions, anger and fright ---------------------------------------------------------------

void cClient::UpdateReacting() {
    if (!played()) return;
    const bool mirrored = mirroredLikeOwner();
    switch (subState_) {
    case 3:
        if (!room_) {
            WalkTo(basePoint_, kStateOutside, kStateWalking);
            return;
        }
        WalkTo(room_->GetClientPos(), kStateEnteringRoom, kStateWalking);
        if (state_ == kStateEnteringRoom) SetAnimation(kAnimStand, false);
        releaseOwner(true);
        request_.Reset();
        seated_ = 0;
        break;
    case 4:
        WalkTo(basePoint_, kStateOutside, kStateWalking);
        releaseOwner(true);
        request_.Reset();
        seated_ = 0;
        break;
    case 9:
        SetAnimation(kAnimChess, mirrored);
        legs_.SetLegs(kLegsChess, mirrored);
        SetState(kStatePlayingChess);
        break;
    case 10:
        SetAnimation(seated_ ? kAnimDrinkSit : kAnimDrinkStand, mirrored);
        SetState(kStateDrinking);
        break;
    case 11:
        SetAnimation(kAnimSit, mirrored);
        SetState(kStateWarming);
        break;
    case 12:
        SetAnimation(kAnimFood, mirrored);
        SetState(kStateEating);
        break;
    case 14:
        SetAnimation(kAnimNews, mirrored);
        SetState(kStateReading);
        break;
    case 17:
        SetAnimation(kAnimSit, mirrored);
        legs_.SetLegs(kLegsPlaid, mirrored);
        SetState(kStateUnderPlaid);
        break;
    default: {
        const int next = subState_;
        SetState(next);
        SetSubState(0);
        break;
    }
    }
}

void cClient::LeaveAngry() {
    if (leaving_) return;
    leaving_ = 1;
    if (IsInOwnRoom()) {
        SetState(kStateLeavingRoom);
        SetSubState(kStateLeavingAngry);
    } else {
        WalkTo(angerPoint(), kStateLeavingAngry, kStateWalking);
        if (room_) {
            room_->OpenDoor(false);
            cleanRoom(1);
            room_ = nullptr;
        }
    }
    request_.CancelTask();
    if (linked_) linked_->LeaveAngry();
    scheduleNext();
}

void cClient::UpdateLeavingAngry() {
    // A companion already out of the hotel (a service ending as it set off sends it straight
    // out) is not waited for, and one that missed the leave (it was following at that moment and
    // then settled in the room) is sent after its partner: either wait would never end, and
    // neither would the level.
    if (linked_ &&
        !IsOneOf(linked_->GetState(), kStateLeavingAngry, kStateFollowing, kStateOutside)) {
        if (!linked_->IsLeaving()) linked_->LeaveAngry();
        SetAnimation(kAnimStand, false);
        return;
    }
    if (animIndex_ == kAnimStandAngry) {
        if (played()) WalkTo(basePoint_, kStateOutside, kStateWalking);
    } else {
        SetAnimation(kAnimStandAngry, false);
    }
}

void cClient::Scare(bool mirrored) {
    if (seated_) {
        SetAnimation(kAnimScaredSit, mirrored);
        legs_.SetLegs(kLegsScared, mirrored);
    } else {
        SetAnimation(kAnimScaredStand, mirrored);
    }
    request_.CancelTask();
    Disable();
    casinoStarted_ = false;
    SetState(kStateScared);
    if (frightSound_.length() > 0) worldPlaySound(frightSound_.c_str());
}

void cClient::UpdateScared() {
    if (!played()) return;
    const AnimDesc* r = CurrentAnim();
    SetAnimation(kAnimStandAngry, r && r->flipx < 0);
    legs_.SetLegs(kNoLegs, false);
    if (!room_) {
        SetSubState(4);
        scheduleNext();
    } else {
        SetSubState(3);
    }
    Disable();
    SetState(kStateReacting);
}

// --- drawing and hit tests ---------------------------------------------------------------------

void cClient::AddToDrawList(DrawList* list) {
    if (!list) return;
    if (linked_) linked_->AddToDrawList(list);
    cBaseObj::AddToDrawList(list);
    if (seated_ && legs_.GetAnimIndex() < kNoLegs) {
        legs_.SetPosition(body_.position + IntPointToVec2(legsOffset_));
        legs_.AddToDrawList(list);
    }
}

void cClient::Draw(DrawList* list) {
    if (!list || state_ == kStateOutside) return;
    cMovingObj::Draw(list);
    const AnimDesc* r = CurrentAnim();
    const sMaterial normal(4, 4, 1, 30);
    if (r && r->outline && CanOrderService()) {
        const Point2i p = list->ToScreen(body_.position.ToPoint2i() +
                                         Point2i(r->spr_x + r->outline_x, r->spr_y + r->outline_y));
        const int w = spriteWidth(r->outline), h = spriteHeight(r->outline);
        const ColorRGBA colour = hover_ ? ColorRGBA(255, 255, 255, 255) : ColorRGBA(255, 255, 45, 255);
        grDraw(normal, p.x, p.y, static_cast<int>(w * list->scale.x * r->flipx),
               static_cast<int>(h * list->scale.y * r->flipy), r->outline, 0, 0, w, h,
               colour.Argb(), animTime_);
    }
    cLevelObj* owner = request_.GetOwner();
    if (state_ == kStateWaiting) {
        auto atClient = [&](const cRequest& q) {
            return (q.GetKind() == kMusic && q.GetOwner() == q.GetTarget()) ||
                   IsOneOf(q.GetKind(), kPhoto, kSouvenir);
        };
        const bool here =
            atClient(request_) || (request_.GetKind() == kCalmBaby && atClient(stashed_));
        const Point2i at = here || !owner ? body_.position.ToPoint2i() + requestPoint_
                                          : owner->GetRequestPos();
        const bool outline = hover_ && ((owner && owner->IsActionable()) || CanOrderService());
        request_.Draw(list->ToScreen(at), IsInOwnRoom(), outline);
        if (extraSprite_ && owner && owner->IsEnabled()) {
            const Point2i p = list->ToScreen(owner->GetExtraPos());
            grDrawSprite(p.x, p.y, extraSprite_, animTime_);
        }
    }
    if (enabled_ && extraSprite_) {
        const Point2i p = list->ToScreen(body_.position.ToPoint2i() + extraPoint_);
        const int w = spriteWidth(extraSprite_), h = spriteHeight(extraSprite_);
        grDraw(normal, p.x, p.y, static_cast<int>(w * list->scale.x),
               static_cast<int>(h * list->scale.y), extraSprite_, 0, 0, w, h, 0xFFFFFFFFu,
               animTime_);
    }
    greenSmile_.Draw();
    redSmile_.Draw();
}

bool cClient::HitTestPoint(int x, int y) {
    hover_ = body_.Contains(x, y);
    if (state_ != kStateWaiting) return hover_ != 0;
    cLevelObj* owner = request_.GetOwner();
    const bool spot = owner && (strcmp(owner->GetName(), "SouvenirWait") == 0 ||
                                strcmp(owner->GetName(), "PhotoWait") == 0);
    if (owner && !spot) {
        const Point2i rp = owner->GetRequestPoint();
        const bool bubble = request_.HitTest(x - rp.x, y - rp.y, IsInOwnRoom());
        const bool self = hover_ != 0;
        const bool own = owner->cBaseObj::HitTestPoint(x, y);
        hover_ = bubble || self || own;
        owner->SetHover(hover_ != 0);
    } else if (!hover_) {
        hover_ = request_.HitTest(x - static_cast<int>(body_.position.x) - requestPoint_.x,
                                  y - static_cast<int>(body_.position.y) - requestPoint_.y,
                                  IsInOwnRoom());
    }
    return hover_ != 0;
}

bool cClient::CanOrderService() {
    if (state_ != kStateWaiting || enabled_) return false;
    GameLink* game = worldGame();
    cLevelObj* owner = request_.GetOwner();
    cLevelObj* target = request_.GetTarget();
    HeroLink* hero = request_.GetHero();
    switch (request_.GetKind()) {
    case kCalmBaby:
        return hero && !hero->HasTask(kCalmBaby, owner);
    case kCheckIn:
        return game && owner == game->GetFirstCheckInPlace() && !game->GetDraggedObject();
    case kCheckOut:
        // Jenny's other errands at the desk unlock it while the check-out is still queued: a
        // second order would leave her waiting at the desk for a guest who never comes.
        return game && owner == game->GetFirstCheckOutPlace() && target && !target->IsEnabled() &&
               !(hero && hero->HasTask(kCheckOut, target));
    case kCocktail:
        return !seated_ && !IsInOwnRoom() && hero &&
               (hero->IsHolding(request_.GetHandObject()) || hero->HasTask(kCocktail, target));
    case kFire:
    case kPhoto:
    case kSouvenir:
        return target && (!target->IsEnabled() || (hero && hero->HasTask(kRepair, target))) &&
               request_.IsWaiting() && hero && !hero->IsUnavailable();
    case kMusic:
        return true;
    default:
        return false;
    }
}
