// The Maid's tools, services, idling and drawing.
#include "world/maid.h"

#include <cstring>

#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/snd/snd.h"
#include "world/draw_list.h"
#include "world/level_object.h"
#include "world/room.h"

namespace {

const char* const kMaidAnimNames[] = {
    "Carry_Stand",        "Carry_WalkLeft",      "Carry_WalkUpLeft", "Carry_WalkUp",
    "Carry_WalkUpRight",  "Carry_WalkRight",     "Carry_WalkDownRight", "Carry_WalkDown",
    "Carry_WalkDownLeft", "Clean",               "Clothes",          "Pillow",
    "Water"};
const char kCart[] = "Cart";

cBaseObj* clientShownOn(const cLevelObj* o) {
    GameLink* game = worldGame();
    return game ? game->FindClientByRequestOwner(o) : nullptr;
}

}  // namespace

void tutorialEndHint(int kind, const char* startHint, const char* endHint, bool atTarget) {
    GameLink* game = worldGame();
    const cRequest* r = game ? game->FindRequest(kind, false) : nullptr;
    if (!r || !game->TutorialHintShown(startHint)) return;
    const cLevelObj* at = atTarget ? r->GetTarget() : r->GetOwner();
    if (at && !at->IsEnabled()) {
        const Body& b = at->GetBody();
        game->OnTutorialEvent(endHint, (b.position + b.boundOffset).ToPoint2i(),
                              b.boundSize.ToPoint2i());
    } else {
        worldTutorialMarkShown(endHint);
    }
}

void addScaledTime(int32_t& timer, int ms, float factor, float& carry) {
    carry += ms * factor;
    const int whole = static_cast<int>(carry);
    timer += whole;
    carry -= static_cast<float>(whole);
}

cMaid::cMaid()
    : cleanLoops_(0),
      clothesLoops_(0),
      pillowLoops_(0),
      waterLoops_(0),
      cleaningFactor_(0),
      wateringFactor_(0),
      pillowFactor_(0),
      clothesFactor_(0),
      serviceCarry_(0),
      cart_(false),
      serviceStarted_(false),
      cartSound_(nullptr) {}

cMaid::~cMaid() {
    if (cartSound_) sndRelease(cartSound_);
    vacuum_.Release();
}

void cMaid::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    AllocAnims(kMaidAnims);
    cHero::Load(iniFile);
    for (int i = 0; i < kMaidAnims - kAnimCarryStand; ++i)
        if (!anims_[kAnimCarryStand + i].sprite)
            anims_[kAnimCarryStand + i].Load(iniFile, kMaidAnimNames[i]);
    cleanLoops_ = iniGetInt(iniFile, "Actions", "clean", 0);
    clothesLoops_ = iniGetInt(iniFile, "Actions", "clothes", 0);
    pillowLoops_ = iniGetInt(iniFile, "Actions", "pillow", 0);
    waterLoops_ = iniGetInt(iniFile, "Actions", "water", 0);
    if (cartSound_) sndRelease(cartSound_);
    cartSound_ = sndGetSound("cart_sound", 0);
    if (FxManager* fx = worldFxManager()) vacuum_ = fx->VacuumCleaner();
    cart_ = false;
    cleaningFactor_ = wateringFactor_ = pillowFactor_ = clothesFactor_ = 0;
    for (int32_t& f : skillFlags_) f = 0;
}

int cMaid::Loops(int kind) const {
    switch (kind) {
    case kClean: return cleanLoops_;
    case kClothes: return clothesLoops_;
    case kPillow: return pillowLoops_;
    case kWater: return waterLoops_;
    default: return 0;
    }
}

float cMaid::Factor(int kind) const {
    switch (kind) {
    case kClean: return cleaningFactor_;
    case kClothes: return clothesFactor_;
    case kPillow: return pillowFactor_;
    case kWater: return wateringFactor_;
    default: return 0;
    }
}

void cMaid::ApplySkills() {
    cHero::ApplySkills();
    cleaningFactor_ = wateringFactor_ = pillowFactor_ = clothesFactor_ = 0;
    cart_ = false;
    forEachSkill("maid", [this](const SkillInfo& s) {
        const float f = s.ability / 100.0f;
        const char* name = s.name.c_str();
        if (strcmp(name, "shoes_maid") == 0) {
            BoostSpeedA(f);
            skillFlags_[0] = 1;
        } else if (strcmp(name, "cleaning") == 0) {
            cleaningFactor_ += f;
            skillFlags_[1] = 1;
        } else if (strcmp(name, "watering") == 0) {
            wateringFactor_ += f;
            skillFlags_[2] = 1;
        } else if (strcmp(name, "cart") == 0) {
            cart_ = true;
        } else if (strcmp(name, "pillow") == 0) {
            pillowFactor_ += f;
            skillFlags_[3] = 1;
        } else if (strcmp(name, "clothes") == 0) {
            clothesFactor_ += f;
            skillFlags_[4] = 1;
        }
    });
}

void cMaid::Summon(int kind) {
    const char* name = kind >= 0 && kind < kNoRequest
                           ? iniGetString(kRequestFile, RequestKindName(kind), "hand_obj", "")
                           : "";
    if (state_ == kStateAtBase) {
        if (cart_)
            copyHandName(leftHand_, kCart);
        else if (*name)
            copyHandName(leftHand_, name);
        WalkTo(waitPoint_, kStateIdle, kStateWalking);
    } else if (state_ == kStateToBase) {
        WalkTo(body_.position.ToPoint2i(), kStateIdle, kStateWalking);
    }
}

void cMaid::SetState(int n) {
    cHero::SetState(n);
    serviceStarted_ = false;
}

void cMaid::PopTask() {
    cHero::PopTask();
    vacuum_.Stop(false);
}

const char* cMaid::toolFor(const HeroTask& task) const {
    if (cart_) return kCart;
    if (!task.target) return "";
    const cRequest* r = task.target->GetAttached();
    return r ? r->GetHandObject() : task.target->GetRequest().GetHandObject();
}

void cMaid::Update(int ms) {
    cHero::Update(ms);
    switch (state_) {
    case kStateWalking:
        setWalkAnim(ms);
        break;
    case kStateIdle:
        idle();
        break;
    case kStateAtBase:
        if (tasks_.size() == 0)
            leftHand_[0] = '\0';
        else
            startNextTask();
        break;
    case kStateService1:
        serve(ms);
        break;
    case kStateService2:
        fetch();
        break;
    case kStateService3:
        deliverPlaid();
        break;
    case kStateToBase:
        setWalkAnim(ms);
        break;
    default:
        break;
    }
    vacuum_.Update(ms / 1000.0f);
}

void cMaid::setWalkAnim(int ms) {
    const bool carrying = leftHand_[0] != '\0';
    if (walkDir_ == 0)
        SetAnimation(carrying ? static_cast<int>(kAnimCarryStand) : static_cast<int>(kAnimStand), false);
    else
        SetAnimation(walkDir_ - 1 + (carrying ? kAnimCarryWalk : 0), false);
    if (cartSound_ && strcmp(leftHand_, kCart) == 0 && !sndIsPlaying(cartSound_))
        sndPlaySound(cartSound_, 1);
    animTime_ += static_cast<int>(ms * speedBonus_);
}

void cMaid::idle() {
    skillFx_.Stop(false);
    tutorialEndHint(kClean, "Clean_Start", "Clean_End", false);
    tutorialEndHint(kWater, "Water_Start", "Water_End", false);
    if (tasks_.size() == 0 || stateTime_ < taskDelay_) {
        const bool carrying = leftHand_[0] != '\0';
        SetAnimation(carrying ? static_cast<int>(kAnimCarryStand) : static_cast<int>(kAnimStand), false);
        walkDir_ = 0;
        if (stateTime_ >= (carrying ? busyWait_ : freeWait_))
            WalkTo(basePoint_, kStateAtBase, kStateToBase);
        return;
    }
    startNextTask();
}

void cMaid::startNextTask() {
    if (tasks_.size() == 0 || !tasks_[0].target) return;
    const HeroTask& t = tasks_[0];
    const bool holding = IsHolding(t.kind, toolFor(t));
    switch (t.kind) {
    case kClean:
    case kWater:
        if (holding)
            WalkTo(t.target->GetHeroPos(), kStateService1, kStateWalking);
        else
            WalkTo(basePoint_, kStateService2, kStateWalking);
        break;
    case kClothes:
    case kPillow:
        WalkTo(t.target->GetHeroPos(), kStateService1, kStateWalking);
        break;
    case kPlaid:
        if (holding)
            WalkTo(t.target->GetHeroPos(), kStateService3, kStateWalking);
        else
            WalkTo(basePoint_, kStateService2, kStateWalking);
        break;
    default:
        break;
    }
}

void cMaid::fetch() {
    if (tasks_.size() == 0 || !tasks_[0].target) {
        SetState(kStateAtBase);
        return;
    }
    const HeroTask& t = tasks_[0];
    switch (t.kind) {
    case kClean:
    case kWater:
        copyHandName(leftHand_, toolFor(t));
        leftGrade_ = t.target->GetRequestGrade();
        WalkTo(t.target->GetHeroPos(), kStateService1, kStateWalking);
        break;
    case kPlaid: {
        const cRequest* r = t.target->GetAttached();
        copyHandName(leftHand_, r ? r->GetHandObject() : t.target->GetRequest().GetHandObject());
        leftGrade_ = t.target->GetRequestGrade();
        WalkTo(t.target->GetHeroPos(), kStateService3, kStateWalking);
        break;
    }
    default:
        SetState(kStateAtBase);
        break;
    }
}

void cMaid::startService(int kind, cLevelObj* target, int anim) {
    cBaseObj* client = clientShownOn(target);
    cRoom* room = dynamic_cast<cRoom*>(target);
    cRequest& request = client ? client->GetRequest() : target->GetRequest();
    static const int kSkill[] = {1, 4, 3, 2};  // clean, clothes, pillow, water
    const int which = kind == kClean ? 0 : kind == kClothes ? 1 : kind == kPillow ? 2 : 3;
    if (skillFlags_[kSkill[which]] && !skillFx_.IsAlive())
        skillFx_.StartAt(IntPointToVec2(body_.position.ToPoint2i()));
    animIndex_ = -1;  // restarts, and faces the right way, even after the same service
    SetAnimation(anim, target->GetFlipX() != 1);
    serviceCarry_ = 0;
    serviceStarted_ = true;
    // The order locked the target; left locked, the room or flower could never be ordered again.
    target->Disable();
    switch (kind) {
    case kClean: {
        if (room) room->OpenDoor(false);
        request.SetDone();
        worldPlaySound("cleaning");
        const AnimDesc* r = CurrentAnim();
        const int w = r ? spriteWidth(r->sprite) : 0, h = r ? spriteHeight(r->sprite) : 0;
        const bool mirrored = r && r->flipx == -1;
        vacuum_.Start(body_.position.x + (mirrored ? w / 8 : -w / 8), body_.position.y - h / 8);
        break;
    }
    case kClothes:
    case kPillow:
        request.SetDone();
        worldPlaySound(kind == kClothes ? "action_suit" : "action_pillow");
        if (room) room->OpenDoor(false);
        break;
    case kWater:
        target->GetRequest().SetServing();
        worldPlaySound("action_watering");
        break;
    default:
        break;
    }
}

void cMaid::endService(int kind, cLevelObj* target) {
    ClientLink* client = asClient(clientShownOn(target));
    cRoom* room = dynamic_cast<cRoom*>(target);
    switch (kind) {
    case kClean:
        if (client) {
            client->OnServiceEnd(true);
        } else {
            target->SetState(2);
            CountCombo(kNoRequest);
        }
        if (room) {
            room->GetRequest().Reset();
            room->CloseDoor();
            room->ClearOccupied();
        }
        PopTask();
        break;
    case kClothes:
        if (client) client->OnServiceEnd(true);
        if (room) room->CloseDoor();
        PopTask();
        break;
    case kPillow:
        if (client) client->OnServiceEnd(true);
        if (room) room->CloseDoor();
        eraseTask(0);
        break;
    case kWater:
        target->SetState(4);
        eraseTask(0);
        break;
    default:
        break;
    }
}

void cMaid::serve(int ms) {
    if (tasks_.size() == 0 || !tasks_[0].target) return;
    const int kind = tasks_[0].kind;
    cLevelObj* target = tasks_[0].target;
    if (kind == kClean && dynamic_cast<cRoom*>(target) &&
        target->GetRequest().GetKind() == kUpgrade) {
        // A room waiting for its upgrade is the Porter's to deal with first.
        skillFx_.Stop(false);
        PopTask();
        return;
    }
    const int anim = kind == kClean     ? kAnimClean
                     : kind == kClothes ? kAnimClothes
                     : kind == kPillow  ? kAnimPillow
                     : kind == kWater   ? kAnimWater
                                        : -1;
    if (anim < 0) return;
    if (!serviceStarted_) {
        startService(kind, target, anim);
        return;
    }
    addScaledTime(animTime_, ms, Factor(kind), serviceCarry_);
    if (animPlayed(Loops(kind))) endService(kind, target);
}

void cMaid::deliverPlaid() {
    if (tasks_.size() == 0 || !tasks_[0].target) return;
    const int kind = tasks_[0].kind;
    cLevelObj* target = tasks_[0].target;
    if (kind == kPlaid) worldPlaySound("action_plaid");
    target->Disable();
    if (ClientLink* client = asClient(clientShownOn(target))) client->OnServiceEnd(true);
    if (cRoom* room = dynamic_cast<cRoom*>(target)) room->OpenDoor(true);
    tasks_.erase(0);
    if (strcmp(leftHand_, kCart) != 0 && (tasks_.size() == 0 || tasks_[0].kind != kind))
        leftHand_[0] = '\0';
    SetState(kStateIdle);
}

void cMaid::drawCarried(DrawList& list) const {
    if (!leftHand_[0]) return;
    if (state_ == kStateService1 && animIndex_ != kAnimCarryStand && !(cart_ && tasks_.size() > 0))
        return;
    char key[32];
    safeSnprintf(key, sizeof key, "%s%d", leftHand_, leftGrade_);
    HandObjectView view;
    if (!worldHandObject(key, walkDir_, &view) || !view.sprite) return;
    Point2i at = body_.position.ToPoint2i() + view.offset;
    // High up the picture would leave the frame: at work near the top it is held aside.
    if (body_.position.y < 230 && (state_ == kStateService1 || state_ == kStateIdle))
        at += Point2i(-30, -10);
    const int w = spriteWidth(view.sprite), h = spriteHeight(view.sprite);
    const Point2i p = list.ToScreen(at);
    grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list.scale.x * view.flipx),
           static_cast<int>(h * list.scale.y * view.flipy), view.sprite, 0, 0, w, h, 0xFFFFFFFFu,
           animTime_);
}

void cMaid::Draw(DrawList* list) {
    if (!list || state_ == kStateAtBase) return;
    if (walkDir_ >= 3 && walkDir_ <= 5) {
        drawCarried(*list);
        cHero::Draw(list);
    } else {
        cHero::Draw(list);
        drawCarried(*list);
    }
    vacuum_.Draw();
}
