// The staff heroes' common base: queue rules, hands, combo, skills and the generic states.
#include "world/hero.h"

#include <cstring>

#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "world/draw_list.h"
#include "world/level_object.h"

namespace {

const char* const kHeroAnimNames[] = {"Stand", "Applause", "Hail", "Unhappy"};

}  // namespace

void copyHandName(char (&hand)[32], const char* name) {
    if (!name) name = "";
    strncpy(hand, name, sizeof hand - 1);
    hand[sizeof hand - 1] = '\0';
}

cHero::cHero()
    : leftGrade_(0),
      rightGrade_(0),
      startPoint_(0, 0),
      waitPoint_(0, 0),
      freeWait_(0),
      busyWait_(0),
      taskDelay_(0),
      comboAction_(kNoRequest),
      comboCount_(0),
      fastWalkOn_(false),
      speedBonus_(0),
      actionBonus_(0),
      actionCarry_(0),
      keepApplauding_(0),
      skillFlags_{},
      baseSpeed_(0) {
    leftHand_[0] = rightHand_[0] = '\0';
    state_ = kStateAtBase;
    animIndex_ = kAnimStand;
}

cHero::~cHero() {
    fastWalk_.Release();
    skillFx_.Release();
}

void cHero::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    if (!fileExists(iniFile)) {
        logPrintf("%s: cannot be read; the hero keeps its defaults\n", iniFile);
        return;
    }
    if (animCount_ < kHeroAnims) AllocAnims(kHeroAnims);
    cMovingObj::Load(iniFile);
    for (int i = 0; i < 4; ++i)
        if (!anims_[kAnimStand + i].sprite) anims_[kAnimStand + i].Load(iniFile, kHeroAnimNames[i]);
    name_ = iniGetString(iniFile, "Main", "name", "");
    freeWait_ = iniGetInt(iniFile, "Main", "wait_before_going_to_base_free", 0);
    busyWait_ = iniGetInt(iniFile, "Main", "wait_before_going_to_base_busy", 0);
    taskDelay_ = iniGetInt(iniFile, "Main", "wait_time", 0);
    if (FxManager* fx = worldFxManager()) fastWalk_ = fx->FastWalk();
    skillFx_.Load("hero_skill");
    skillFx_.SetActorMaterial(sMaterial(4, 2, 1, 31));
    baseSpeed_ = body_.speed;
}

int cHero::animPeriod() const {
    const AnimDesc* r = CurrentAnim();
    return r && r->sprite ? grSpriteTime(r->sprite) : 0;
}

bool cHero::animPlayed(int loops) const { return animTime_ >= animPeriod() * loops; }

void cHero::Update(int ms) {
    if (state_ == kStateNew) SetState(kStateIdle);

    const bool walking = state_ == kStateWalking || state_ == kStateToBase;
    if (walking && speedBonus_ > 0) {
        if (!fastWalkOn_) fastWalk_.Start(body_.position.x, body_.position.y);
        fastWalkOn_ = true;
    } else if (fastWalkOn_) {
        fastWalk_.Stop(false);
        fastWalkOn_ = false;
    }
    fastWalk_.Update(ms / 1000.0f);
    fastWalk_.SetPosition(body_.position.x, body_.position.y);

    if (state_ == kStateIdle && tasks_.size() == 0) comboAction_ = kNoRequest;

    if (state_ == kStateToBase) {
        // Walking home is a walk under another name: the clock of the state keeps running.
        state_ = kStateWalking;
        cMovingObj::Update(ms);
        if (state_ == kStateWalking) state_ = kStateToBase;
    } else {
        cMovingObj::Update(ms);
    }

    switch (state_) {
    case kStateAtWaitPoint:
        SetAnimation(kAnimStand, false);
        break;
    case kStateApplause:
    case kStateHail:
    case kStateUnhappy: {
        const int anim = kAnimApplause + (state_ - kStateApplause);
        if (animIndex_ != anim) {
            SetAnimation(anim, false);
        } else if (animPlayed()) {
            if (state_ == kStateUnhappy)
                SetState(kStateIdle);
            else if (state_ == kStateHail || !keepApplauding_)
                WalkTo(basePoint_, kStateAtBase, kStateWalking);
        }
        break;
    }
    default:
        break;
    }

    // Skills speed up every animation; the fraction of a millisecond is carried so that small
    // bonuses add up rather than vanish step by step.
    actionCarry_ += ms * actionBonus_;
    const int extra = static_cast<int>(actionCarry_);
    animTime_ += extra;
    actionCarry_ -= static_cast<float>(extra);

    skillFx_.Update(ms);
    skillFx_.SetPosition(Vec2(body_.position.x - 5, body_.position.y - 20));
}

void cHero::Draw(DrawList* list) {
    fastWalk_.Draw();
    cMovingObj::Draw(list);
    skillFx_.Draw();
}

void cHero::AddTask(int kind, cLevelObj* target) {
    if (kind < 0 || kind >= kNoRequest || !target) return;
    uint32_t at = tasks_.size();
    if (kind == kCalmBaby) {
        for (uint32_t i = 0; i < tasks_.size(); ++i)
            if (tasks_[i].target == target) {
                at = i;
                break;
            }
    }
    HeroTask task;
    task.kind = kind;
    task.target = target;
    // Appending first keeps the queue's storage growing by doubling.
    tasks_.push_back(task);
    for (uint32_t i = tasks_.size() - 1; i > at; --i) tasks_[i] = tasks_[i - 1];
    tasks_[at] = task;
}

void cHero::eraseTask(uint32_t i) {
    tasks_.erase(i);
    if (i == 0) {
        walkDir_ = 0;
        SetState(kStateIdle);
    }
}

void cHero::RemoveTask(int kind, cLevelObj* target) {
    if (!target) return;
    GameLink* game = worldGame();
    cBaseObj* servedAt = game ? game->FindClientByRequestTarget(target) : nullptr;
    cBaseObj* shownOn = game ? game->FindClientByRequestOwner(target) : nullptr;
    for (uint32_t i = 0; i < tasks_.size();) {
        const HeroTask t = tasks_[i];
        if (t.kind != kind) {
            ++i;
            continue;
        }
        switch (kind) {
        case kCalmBaby:
        case kClean:
        case kClothes:
        case kDog:
        case kLuggage:
        case kPillow:
        case kPlaid:
        case kRepair:
        case kUpgrade:
        case kWater:
            if (t.target != target) break;
            target->Disable();
            eraseTask(i);
            continue;
        case kCards:
        case kCasino:
        case kChess:
        case kFire:
        case kMusic:
        case kPhoto:
        case kSouvenir:
            if (t.target == target) {
                target->Disable();
                if (servedAt && servedAt->GetRequest().GetOwner()) {
                    servedAt->GetRequest().GetOwner()->Disable();
                    servedAt->Disable();
                }
                eraseTask(i);
                continue;
            }
            if (shownOn && shownOn->GetRequest().GetTarget() &&
                t.target == shownOn->GetRequest().GetTarget()) {
                target->Disable();
                t.target->Disable();
                eraseTask(i);
                continue;
            }
            break;
        case kCheckOut:
            if (t.target != target) break;
            target->Disable();
            eraseTask(i);
            return;
        case kCocktail:
        case kFood:
        case kNews:
        case kPhone:
            if (t.target != target) break;
            target->Disable();
            eraseTask(i);
            // The deliveries of what the fetch would have brought go with it.
            for (uint32_t j = i; j < tasks_.size();) {
                cLevelObj* other = tasks_[j].target;
                const cRequest* shown = other ? other->GetAttached() : nullptr;
                if (shown && shown->GetTarget() == target) {
                    other->Disable();
                    eraseTask(j);
                } else {
                    ++j;
                }
            }
            continue;
        default:  // check-ins are the player's drag, never a hero's task
            break;
        }
        ++i;
    }
}

bool cHero::HasTask(int kind, const cLevelObj* target) const {
    for (uint32_t i = 0; i < tasks_.size(); ++i)
        if (tasks_[i].kind == kind && (!target || tasks_[i].target == target)) return true;
    return false;
}

bool cHero::HasTaskOfKind(int kind) const { return HasTask(kind, nullptr); }

void cHero::PopTask() {
    if (tasks_.size() == 0) return;
    tasks_.erase(0);
    walkDir_ = 0;
    SetState(kStateIdle);
}

void cHero::PruneTasks() {
    while (tasks_.size() > 0) {
        cLevelObj* target = tasks_[0].target;
        // A withdrawn request leaves nothing to withdraw on the next pass, so this ends.
        if (target && target->GetRequest().CancelTask()) continue;
        PopTask();
    }
}

bool cHero::IsHolding(int kind, const char* name) const {
    if (!name || !*name) return false;
    switch (kind) {
    case kClean:
    case kPlaid:
    case kWater:
        return strcmp(leftHand_, name) == 0;
    case kCocktail:
    case kFood:
    case kNews:
    case kPhone:
        return IsHolding(name);
    default:
        return false;
    }
}

bool cHero::IsHolding(const char* handObj) const {
    return handObj && *handObj && (strcmp(leftHand_, handObj) == 0 || strcmp(rightHand_, handObj) == 0);
}

const char* cHero::HandObject(int hand) const {
    const char* h = hand ? rightHand_ : leftHand_;
    return *h ? h : nullptr;
}

int cHero::CountCombo(int kind) {
    if (kind == comboAction_ && kind != kCheckOut && kind < kNoRequest) {
        ++comboCount_;
        GameLink* game = worldGame();
        if (comboCount_ > 1 && game)
            game->ShowCombo(comboCount_, body_.position.ToPoint2i() + Point2i(-50, -120));
    } else {
        comboCount_ = 1;
    }
    comboAction_ = kind;
    return comboCount_;
}

void cHero::ApplySkills() {
    body_.speed = baseSpeed_;
    speedBonus_ = 0;
    actionBonus_ = 0;
    for (int32_t& f : skillFlags_) f = 0;
}

void cHero::BoostSpeedA(float f) {
    body_.speed = body_.speed * f + body_.speed;
    speedBonus_ += f;
}

void cHero::BoostSpeedB(float f) {
    body_.speed = body_.speed * f + body_.speed;
    actionBonus_ += f;
}
