// Jenny's services, hands, idling and drawing.
#include "world/jenny.h"

#include <cstring>
#include <initializer_list>

#include "core/random.h"
#include "core/text.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/level_object.h"
#include "world/room.h"

namespace {

const char* const kJennyAnimNames[] = {"Baby", "Hello", "Idle0", "Idle1", "Idle2", "Idle3"};
const char* const kHandDirectionNames[cJenny::kHandDirections] = {
    "Left", "UpLeft", "Up", "UpRight", "Right", "DownRight", "Down", "DownLeft", "Stand"};

bool empty(const char* hand) { return !hand[0]; }

void loadHand(cJenny::HandRecord& r, const char* iniFile, const char* section) {
    r.Load(iniFile, section);
    r.obj_x = iniGetCoordinate(iniFile, section, "obj_x");
    r.obj_y = iniGetCoordinate(iniFile, section, "obj_y");
    r.obj_flipx = iniGetInt(iniFile, section, "obj_flipx", 0) ? -1 : 1;
    r.obj_flipy = iniGetInt(iniFile, section, "obj_flipy", 0) ? -1 : 1;
}

// The client whose request is served at, or shown on, the object.
ClientLink* clientServedAt(const cLevelObj* o) {
    GameLink* game = worldGame();
    return game ? asClient(game->FindClientByRequestTarget(o)) : nullptr;
}
cBaseObj* clientShownOn(const cLevelObj* o) {
    GameLink* game = worldGame();
    return game ? game->FindClientByRequestOwner(o) : nullptr;
}

// What a request kind is carried in (empty for none).
const char* carriedIn(int kind) {
    return kind >= 0 && kind < kRequestKinds
               ? iniGetString(kRequestFile, RequestKindName(kind), "hand_obj", "")
               : "";
}

}  // namespace

cJenny::cJenny()
    : leftIndex_(kNoHand),
      rightIndex_(kNoHand),
      idleTimer_(0),
      cookDelay_(0),
      baseCookDelay_(0),
      leftBase_(false),
      unservedLogged_(0) {}

void cJenny::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    AllocAnims(kJennyAnims);
    cHero::Load(iniFile);
    for (int i = 0; i < kJennyAnims - kAnimBaby; ++i)
        if (!anims_[kAnimBaby + i].sprite) anims_[kAnimBaby + i].Load(iniFile, kJennyAnimNames[i]);
    char section[64];
    for (int d = 0; d < kHandDirections; ++d) {
        safeSnprintf(section, sizeof section, "HandLeftFree%s", kHandDirectionNames[d]);
        loadHand(left_[d], iniFile, section);
        safeSnprintf(section, sizeof section, "HandLeftBusy%s", kHandDirectionNames[d]);
        loadHand(left_[kHandDirections + d], iniFile, section);
        safeSnprintf(section, sizeof section, "HandRightFree%s", kHandDirectionNames[d]);
        loadHand(right_[d], iniFile, section);
        safeSnprintf(section, sizeof section, "HandRightBusy%s", kHandDirectionNames[d]);
        loadHand(right_[kHandDirections + d], iniFile, section);
    }
    calmDownSound_ = iniGetString(iniFile, "Main", "baby_calm_down_sound", "");
    baseCookDelay_ = IntMax(iniGetInt(iniFile, "Actions", "cook_delay", 0), 0);
    cookDelay_ = baseCookDelay_;
    idleTimer_ = iniGetInt(iniFile, "Main", "idle_timer", 0);
    SetAnimation(kAnimIdle0, false);
}

void cJenny::ApplySkills() {
    cHero::ApplySkills();
    cookDelay_ = baseCookDelay_;
    forEachSkill("jenny", [this](const SkillInfo& s) {
        const float f = s.ability / 100.0f;
        const char* name = s.name.c_str();
        if (strcmp(name, "shoes_jenny") == 0) {
            BoostSpeedA(f);
            skillFlags_[0] = 1;
        } else if (strcmp(name, "charm") == 0) {
            skillFlags_[1] = 1;
        } else if (strcmp(name, "cooking") == 0) {
            cookDelay_ += static_cast<int>(s.ability);
        } else if (strcmp(name, "manager") == 0) {
            GameLink* game = worldGame();
            for (const char* other : {"Porter", "Maid"})
                if (cHero* hero = dynamic_cast<cHero*>(game ? game->GetHeroByName(other) : nullptr))
                    hero->BoostSpeedB(f);
        }
    });
}

void cJenny::handsByRule() {
    const int base = walkDir_ == 0 ? kHandDirections - 1 : walkDir_ - 1;
    leftIndex_ = base + (empty(leftHand_) ? 0 : kHandDirections);
    rightIndex_ = base + (empty(rightHand_) ? 0 : kHandDirections);
}

void cJenny::setWalkAnim() {
    SetAnimation(walkDir_ == 0 ? kAnimStand : walkDir_ - 1, false);
    handsByRule();
}

void cJenny::Update(int ms) {
    cHero::Update(ms);
    switch (state_) {
    case kStateWalking:
        setWalkAnim();
        break;
    case kStateIdle:
        idle();
        break;
    case kStateAtBase:
        atBase();
        break;
    case kStateService1:
        serveInOneVisit();
        break;
    case kStateService2:
        fetch();
        break;
    case kStateService3:
        deliver();
        break;
    case kStateToBase:
        if (tasks_.size() == 0)
            setWalkAnim();
        else
            startNextTask();
        break;
    case kStateAnim1:
        if (animPlayed()) {
            if (tasks_.size() > 0) {
                if (ClientLink* c = asClient(clientShownOn(tasks_[0].target)))
                    c->OnServiceEnd(true);
                tasks_.erase(0);
            }
            handsByRule();
            SetState(kStateIdle);
            SetAnimation(kAnimStand, false);
        }
        break;
    case kStateAnim2:
        if (animPlayed()) SetState(kStateIdle);
        break;
    default:
        break;
    }
}

void cJenny::idle() {
    if (tasks_.size() == 0 || stateTime_ < taskDelay_) {
        SetAnimation(kAnimStand, false);
        handsByRule();
        const bool carrying = !empty(leftHand_) || !empty(rightHand_);
        if (stateTime_ >= (carrying ? busyWait_ : freeWait_))
            WalkTo(basePoint_, kStateAtBase, kStateToBase);
        return;
    }
    startNextTask();
}

void cJenny::atBase() {
    if (tasks_.size() > 0) {
        startNextTask();
        leftBase_ = true;
        return;
    }
    if (leftBase_) {
        leftIndex_ = rightIndex_ = kNoHand;
        if (GameLink* game = worldGame()) {
            if (!empty(rightHand_)) game->UnlockObjects(rightHand_);
            if (!empty(leftHand_)) game->UnlockObjects(leftHand_);
        }
        leftHand_[0] = rightHand_[0] = '\0';
        SetAnimation(kAnimIdle0, false);
        leftBase_ = false;
        return;
    }
    if (stateTime_ >= idleTimer_) {
        const uint32_t r = gRandom.Int(100);
        SetAnimation(r < 33 ? kAnimIdle1 : r < 66 ? kAnimIdle2 : kAnimIdle3, false);
        stateTime_ = 0;
    }
    if (animPlayed()) SetAnimation(kAnimIdle0, false);
}

void cJenny::startNextTask() {
    if (tasks_.size() == 0 || !tasks_[0].target) return;
    const int kind = tasks_[0].kind;
    cLevelObj* target = tasks_[0].target;
    switch (kind) {
    case kCalmBaby:
    case kCheckOut:
    case kMusic:
        WalkTo(target->GetHeroPos(), kStateService1, kStateWalking);
        break;
    case kCocktail:
    case kFood:
    case kNews:
    case kPhone: {
        GameLink* game = worldGame();
        if (game && game->FindClientByRequestTarget(target))
            WalkTo(target->GetHeroPos(), kStateService2, kStateWalking);
        else if (game && game->FindClientByRequestOwner(target))
            WalkTo(target->GetHeroPos(), kStateService3, kStateWalking);
        else
            RemoveTask(kind, target);
        break;
    }
    default:
        // Not hers: left at the head it would block every task behind it.
        if (!(unservedLogged_ & (1u << kind))) {
            logPrintf("Jenny: request kind %s is not hers to serve; its tasks are dropped\n",
                      RequestKindName(kind));
            unservedLogged_ |= 1u << kind;
        }
        eraseTask(0);
        break;
    }
}

void cJenny::serveInOneVisit() {
    if (tasks_.size() == 0 || !tasks_[0].target) return;
    cLevelObj* target = tasks_[0].target;
    GameLink* game = worldGame();
    switch (tasks_[0].kind) {
    case kCalmBaby: {
        if (skillFlags_[1] && !skillFx_.IsAlive()) skillFx_.StartAt(IntPointToVec2(body_.position.ToPoint2i()));
        target->Disable();
        if (cRequest* shown = target->GetAttached()) shown->SetDone();
        if (calmDownSound_.length() > 0) worldPlaySound(calmDownSound_.c_str());
        cBaseObj* client = clientShownOn(target);
        const bool mirrored = client ? client->GetBody().position.x > body_.position.x
                                     : target->GetFlipX() == 1;
        SetState(kStateAnim1);
        SetAnimation(kAnimBaby, mirrored);
        if (client) client->Disable();
        break;
    }
    case kCheckOut: {
        cLevelObj* place = game ? game->GetFirstCheckOutPlace() : nullptr;
        if (!place || !place->GetAttached()) {
            // Nobody at the desk yet: she waits for the client there.
            SetAnimation(kAnimStand, false);
            handsByRule();
            break;
        }
        target->Disable();
        target->PlayAction(0);
        if (ClientLink* c = asClient(clientShownOn(place))) c->OnServiceEnd(true);
        SetState(kStateAnim2);
        SetAnimation(kAnimHello, false);
        leftIndex_ = rightIndex_ = kNoHand;
        if (tasks_.size() > 0) tasks_.erase(0);
        break;
    }
    case kMusic:
        target->Disable();
        target->SetAnimation(3, false);
        target->SetState(5);
        if (ClientLink* c = clientServedAt(target)) c->OnServiceEnd(true);
        SetState(kStateIdle);
        SetAnimation(kAnimStand, false);
        handsByRule();
        if (tasks_.size() > 0) tasks_.erase(0);
        break;
    default:
        break;
    }
}

void cJenny::fetch() {
    if (tasks_.size() == 0 || !tasks_[0].target || tasks_[0].kind == kCalmBaby) {
        SetState(kStateIdle);
        return;
    }
    const int kind = tasks_[0].kind;
    cLevelObj* target = tasks_[0].target;
    if (!IsOneOf(kind, kCocktail, kFood, kNews, kPhone)) return;
    if (kind == kFood && stateTime_ < cookDelay_) return;

    worldPlaySound(kind == kCocktail ? "action_coctail"
                   : kind == kFood   ? "action_food"
                   : kind == kNews   ? "action_newspaper"
                                     : "action_phone1");
    GameLink* game = worldGame();
    cBaseObj* client = game ? game->FindClientByRequestTarget(target) : nullptr;
    const int hand = client ? handForFetch() : -1;
    if (hand >= 0) {
        // She takes what the kind she fetches for is carried in: the first guest found at the
        // source may want another kind of it (the bar pours drinks and serves dishes, the desk
        // has the telephone and the papers), and its object would never reach the guest waiting.
        const char* name = carriedIn(kind);
        char(&held)[32] = hand ? rightHand_ : leftHand_;
        if (!empty(held) && strcmp(held, name) != 0) emptyHand(held);
        copyHandName(held, name);
        (hand ? rightGrade_ : leftGrade_) = target->GetRequestGrade();
    }
    target->Disable();
    if (kind == kFood) {
        WalkTo(target->GetWaitPos(), kStateIdle, kStateWalking);
    } else {
        SetState(kStateIdle);
        SetAnimation(kAnimStand, false);
        handsByRule();
    }
    if (kind == kCocktail && client) {
        cLevelObj* owner = client->GetRequest().GetOwner();
        if (!owner || owner->IsEnabled()) {
            worldTutorialMarkShown("Cocktail_End");
        } else if (game) {
            const Body& b = owner->GetBody();
            game->OnTutorialEvent("Cocktail_End", (b.position + b.boundOffset).ToPoint2i(),
                                  b.boundSize.ToPoint2i());
        }
    }
    // The delivery is a task of its own.
    tasks_.erase(0);
}

int cJenny::handForFetch() const {
    if (empty(leftHand_)) return 0;
    if (empty(rightHand_)) return 1;
    // Both full. A hand holds a spare when the other holds the same, or when no task after this
    // fetch is of the kind it is carried for: it is set down for the new one. Otherwise, with two
    // objects still to deliver, nothing more is taken.
    if (strcmp(leftHand_, rightHand_) == 0) return 1;
    for (int hand = 1; hand >= 0; --hand) {
        const char* held = hand ? rightHand_ : leftHand_;
        bool wanted = false;
        for (uint32_t t = 1; t < tasks_.size() && !wanted; ++t)
            wanted = strcmp(carriedIn(tasks_[t].kind), held) == 0;
        if (!wanted) return hand;
    }
    return -1;
}

void cJenny::emptyHand(char (&hand)[32]) {
    if (GameLink* game = worldGame()) game->UnlockObjects(hand);
    hand[0] = '\0';
}

void cJenny::deliver() {
    cLevelObj* target = tasks_.size() > 0 ? tasks_[0].target : nullptr;
    const int kind = target ? tasks_[0].kind : kNoRequest;
    cRequest* shown = target ? target->GetAttached() : nullptr;
    if (!target || kind == kCalmBaby || !shown) {
        SetState(kStateIdle);
        return;
    }
    target->Disable();
    ClientLink* client = asClient(clientShownOn(target));
    cRoom* room = dynamic_cast<cRoom*>(target);
    char name[32];
    copyHandName(name, shown->GetHandObject());
    if (IsHolding(name)) {
        if (room) room->OpenDoor(false);
        if (client) client->OnServiceEnd(true);
        tasks_.erase(0);
        if (!HasTask(kind, nullptr)) {
            if (strcmp(leftHand_, name) == 0)
                emptyHand(leftHand_);
            else if (strcmp(rightHand_, name) == 0)
                emptyHand(rightHand_);
        }
    } else {
        // Nothing in hand to deliver: the task is spent, and she is free for the next one.
        tasks_.erase(0);
    }
    SetState(kStateIdle);
    handsByRule();
    SetAnimation(kAnimStand, false);
}

void cJenny::drawHand(DrawList& list, int hand) const {
    const int i = hand ? rightIndex_ : leftIndex_;
    if (i < 0 || i >= kHandRecords) return;
    const HandRecord& r = hand ? right_[i] : left_[i];
    if (!r.sprite) return;
    const int w = spriteWidth(r.sprite), h = spriteHeight(r.sprite);
    const Point2i p = list.ToScreen(body_.position.ToPoint2i() + Point2i(r.spr_x, r.spr_y));
    grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list.scale.x * r.flipx),
           static_cast<int>(h * list.scale.y * r.flipy), r.sprite, 0, 0, w, h,
           ColorRGBA(255, 255, 255, r.alpha).Argb(), animTime_);
}

void cJenny::drawObject(DrawList& list, int hand) const {
    const char* name = hand ? rightHand_ : leftHand_;
    if (empty(name) || state_ == kStateAnim1) return;
    const int i = hand ? rightIndex_ : leftIndex_;
    if (i < 0 || i >= kHandRecords) return;
    const HandRecord& r = hand ? right_[i] : left_[i];
    char key[32];
    safeSnprintf(key, sizeof key, "%s%d", name, hand ? rightGrade_ : leftGrade_);
    HandObjectView view;
    if (!worldHandObject(key, walkDir_, &view) || !view.sprite) return;
    const int w = spriteWidth(view.sprite), h = spriteHeight(view.sprite);
    const Point2i p = list.ToScreen(body_.position.ToPoint2i() + Point2i(r.spr_x, r.spr_y) +
                                    Point2i(r.obj_x, r.obj_y) + view.offset);
    grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list.scale.x * r.obj_flipx),
           static_cast<int>(h * list.scale.y * r.obj_flipy), view.sprite, 0, 0, w, h, 0xFFFFFFFFu,
           animTime_);
}

void cJenny::Draw(DrawList* list) {
    if (!list) return;
    fastWalk_.Draw();
    const bool hands = !IsOneOf(state_, kStateAtBase, kStateApplause, kStateHail, kStateUnhappy,
                                kStateAnim1);
    // What stands in front of her body depends on which way she faces.
    enum Part { kLeftHand, kRightHand, kLeftObject, kRightObject, kBody };
    static const Part kOrders[4][5] = {
        {kLeftHand, kRightHand, kBody, kLeftObject, kRightObject},
        {kRightHand, kRightObject, kBody, kLeftObject, kLeftHand},
        {kLeftObject, kRightObject, kLeftHand, kRightHand, kBody},
        {kLeftHand, kLeftObject, kBody, kRightObject, kRightHand},
    };
    static const int kOrderByDirection[9] = {0, 1, 1, 2, 3, 3, 3, 0, 1};
    const int dir = walkDir_ >= 0 && walkDir_ <= 8 ? walkDir_ : 0;
    for (Part part : kOrders[kOrderByDirection[dir]]) {
        switch (part) {
        case kLeftHand:
        case kRightHand:
            if (hands) drawHand(*list, part == kRightHand);
            break;
        case kLeftObject:
        case kRightObject:
            drawObject(*list, part == kRightObject);
            break;
        case kBody:
            cMovingObj::Draw(list);
            break;
        }
    }
    skillFx_.Draw();
}
