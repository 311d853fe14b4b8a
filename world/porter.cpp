// The Porter's service scripts, dog and luggage rounds, idling and drawing.
#include "world/porter.h"

#include <cstring>

#include "core/text.h"
#include "engine/data/ini.h"
#include "world/client.h"
#include "world/draw_list.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/room.h"

namespace {

const char* const kPorterAnimNames[] = {
    "CardsStart",   "CardsStand",   "CardsLoop",      "CardsEnd",         "CasinoStart",
    "CasinoStand",  "CasinoLoop",   "CasinoEnd",      "CartStand",        "CartLeft",
    "CartUpLeft",   "CartUp",       "CartUpRight",    "CartRight",        "CartDownRight",
    "CartDown",     "CartDownLeft", "Chess",          "DogStand",         "DogLeft",
    "DogUpLeft",    "DogUp",        "DogUpRight",     "DogRight",         "DogDownRight",
    "DogDown",      "DogDownLeft",  "PhotoPrepare",   "PhotoStand",       "PhotoShoot",
    "PhotoDone",    "RepairUp",     "RepairSwitchUp", "RepairSwitchDown", "RepairDown",
    "Souvenir"};
static_assert(sizeof kPorterAnimNames / sizeof *kPorterAnimNames ==
                  cPorter::kPorterAnims - cPorter::kAnimCardsStart,
              "one section per record");

cBaseObj* clientServedAt(const cLevelObj* o) {
    GameLink* game = worldGame();
    return game ? game->FindClientByRequestTarget(o) : nullptr;
}
cBaseObj* clientShownOn(const cLevelObj* o) {
    GameLink* game = worldGame();
    return game ? game->FindClientByRequestOwner(o) : nullptr;
}
void serviceEnd(cBaseObj* client) {
    if (ClientLink* c = asClient(client)) c->OnServiceEnd(true);
}
void releaseOwner(cBaseObj* client) {
    if (cLevelObj* owner = client->GetRequest().GetOwner()) owner->Disable();
}

}  // namespace

cPorter::cPorter()
    : dealCount_(0),
      chessLoops_(0),
      repairLoops_(0),
      upgradeLoops_(0),
      cardDeals_(0),
      photoDelay_(0),
      basePhotoDelay_(0),
      dog_(false),
      trolley_(false),
      repairFactor_(0),
      cardFactor_(0),
      casinoFactor_(0),
      photoFactor_(0),
      upgradeFactor_(0),
      serviceCarry_(0),
      step_(0),
      chessMarker_(0) {}

void cPorter::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    AllocAnims(kPorterAnims);
    cHero::Load(iniFile);
    for (int i = 0; i < kPorterAnims - kAnimCardsStart; ++i)
        if (!anims_[kAnimCardsStart + i].sprite)
            anims_[kAnimCardsStart + i].Load(iniFile, kPorterAnimNames[i]);
    chessLoops_ = iniGetInt(iniFile, "Actions", "chess", 0);
    repairLoops_ = iniGetInt(iniFile, "Actions", "repair", 0);
    upgradeLoops_ = iniGetInt(iniFile, "Actions", "upgrade", 0);
    cardDeals_ = iniGetInt(iniFile, "Actions", "cards", 0);
    basePhotoDelay_ = iniGetInt(iniFile, "Actions", "photo_delay", 0);
    photoDelay_ = basePhotoDelay_;
    dog_ = trolley_ = false;
    repairFactor_ = cardFactor_ = casinoFactor_ = photoFactor_ = upgradeFactor_ = 0;
    dealCount_ = step_ = 0;
}

void cPorter::SetState(int n) {
    cHero::SetState(n);
    step_ = 0;
}

void cPorter::ApplySkills() {
    cHero::ApplySkills();
    photoDelay_ = basePhotoDelay_;
    repairFactor_ = cardFactor_ = casinoFactor_ = photoFactor_ = upgradeFactor_ = 0;
    forEachSkill("porter", [this](const SkillInfo& s) {
        const float f = s.ability / 100.0f;
        const char* name = s.name.c_str();
        if (strcmp(name, "shoes_porter") == 0) {
            BoostSpeedA(f);
            skillFlags_[0] = 1;
        } else if (strcmp(name, "repair") == 0) {
            repairFactor_ += f;
            skillFlags_[1] = 1;
        } else if (strcmp(name, "croupier") == 0) {
            cardFactor_ += f;
            casinoFactor_ += f;
            skillFlags_[2] = 1;
        } else if (strcmp(name, "photo") == 0) {
            photoFactor_ += f;
            skillFlags_[3] = 1;
        } else if (strcmp(name, "upgrade") == 0) {
            upgradeFactor_ += f;
            skillFlags_[4] = 1;
        }
    });
}

int cPorter::DefenseLevel() const {
    int level = 0;
    const_cast<cPorter*>(this)->forEachSkill("porter", [&level](const SkillInfo& s) {
        if (strcmp(s.name.c_str(), "defense") == 0) level = static_cast<int>(s.ability);
    });
    return level;
}

namespace {
// The learnt "croupier" skill; null without one.
const SkillInfo* croupier() {
    ProfileLink* profile = worldProfile();
    for (int i = 0; profile && i < profile->LearntSkillCount(); ++i) {
        const SkillInfo* s = profile->LearntSkill(i);
        if (s && strcasecmp(s->hero.c_str(), "porter") == 0 &&
            strcmp(s->name.c_str(), "croupier") == 0)
            return s;
    }
    return nullptr;
}
}  // namespace

int cPorter::GetServiceBonus(int kind) const {
    const SkillInfo* s = kind == kCards || kind == kCasino ? croupier() : nullptr;
    return s ? s->service : 0;
}

int cPorter::GetWaitTimeBonus(int kind) const {
    const SkillInfo* s = kind == kCards || kind == kCasino ? croupier() : nullptr;
    return s ? s->waitTime : 0;
}

void cPorter::Summon(int kind) {
    if (IsUnavailable()) {
        if (kind == kLuggage) {
            const char* name = iniGetString(kRequestFile, "Luggage", "hand_obj", "");
            if (*name) copyHandName(leftHand_, name);
            trolley_ = true;
        }
        WalkTo(waitPoint_, kStateIdle, kStateWalking);
    } else if (state_ == kStateToBase) {
        WalkTo(body_.position.ToPoint2i(), kStateIdle, kStateWalking);
    }
}

void cPorter::Update(int ms) {
    cHero::Update(ms);
    switch (state_) {
    case kStateWalking:
        setWalkAnim(ms);
        break;
    case kStateIdle:
        idle();
        break;
    case kStateAtBase:
        if (tasks_.size() > 0) startNextTask();
        break;
    case kStateService1:
        serve(ms);
        break;
    case kStateService2:
        dogOrLuggageAtBase();
        break;
    case kStateService3:
        dogOrLuggageDelivery();
        break;
    case kStateToBase:
        if (tasks_.size() == 0)
            setWalkAnim(ms);
        else
            startNextTask();
        break;
    default:
        break;
    }
}

void cPorter::setWalkAnim(int ms) {
    // The dog's lead wins over the trolley.
    const int stand = dog_ ? kAnimDogStand : trolley_ ? kAnimCartStand : static_cast<int>(kAnimStand);
    const int firstWalk = dog_ ? kAnimDogWalk : trolley_ ? kAnimCartWalk : 0;
    SetAnimation(walkDir_ == 0 ? stand : firstWalk + walkDir_ - 1, false);
    animTime_ += static_cast<int>(ms * speedBonus_);
}

void cPorter::idle() {
    skillFx_.Stop(false);
    tutorialEndHint(kFire, "Fire_Start", "Fire_End", true);
    tutorialEndHint(kRepair, "Repair_Start", "Repair_End", false);
    tutorialEndHint(kUpgrade, "Upgrade_Start", "Upgrade_End", false);
    if (tasks_.size() > 0 && stateTime_ >= taskDelay_) {
        startNextTask();
        return;
    }
    const bool busy = leftHand_[0] || trolley_ || dog_;
    if (stateTime_ < (busy ? busyWait_ : freeWait_)) {
        SetAnimation(trolley_ ? static_cast<int>(kAnimCartStand) : static_cast<int>(kAnimStand),
                     false);
        walkDir_ = 0;
        return;
    }
    leftHand_[0] = '\0';
    trolley_ = dog_ = false;
    WalkTo(basePoint_, kStateAtBase, kStateToBase);
}

void cPorter::startNextTask() {
    if (tasks_.size() == 0 || !tasks_[0].target) return;
    cLevelObj* target = tasks_[0].target;
    switch (tasks_[0].kind) {
    case kCards:
    case kCasino:
    case kChess:
    case kFire:
    case kPhoto:
    case kSouvenir:
    case kUpgrade:
        WalkTo(target->GetHeroPos(), kStateService1, kStateWalking);
        break;
    case kRepair:
        WalkTo(target->GetRepairPos(), kStateService1, kStateWalking);
        break;
    case kDog:
        trolley_ = false;
        leftHand_[0] = '\0';
        WalkTo(target->GetHeroPos(), dog_ ? kStateService3 : kStateService2, kStateWalking);
        break;
    case kLuggage:
        if (trolley_)
            WalkTo(target->GetHeroPos(), kStateService3, kStateWalking);
        else
            WalkTo(basePoint_, kStateService2, kStateWalking);
        break;
    default:
        // Not his: left at the head it would block every task behind it.
        eraseTask(0);
        break;
    }
}

void cPorter::dogOrLuggageAtBase() {
    if (tasks_.size() == 0 || !tasks_[0].target) {
        SetState(kStateIdle);
        return;
    }
    cLevelObj* target = tasks_[0].target;
    cRequest* shown = target->GetAttached();
    if (tasks_[0].kind == kDog) {
        if (cRoom* room = dynamic_cast<cRoom*>(target)) room->OpenDoor(true);
        target->Disable();
        if (shown) shown->SetDone();
        dog_ = true;
        worldPlaySound("action_dog");
        // The task stays queued: from idle he comes back with the dog.
        WalkTo(basePoint_, kStateIdle, kStateWalking);
    } else if (tasks_[0].kind == kLuggage) {
        if (shown) copyHandName(leftHand_, shown->GetHandObject());
        leftGrade_ = target->GetRequestGrade();
        trolley_ = true;
        WalkTo(target->GetHeroPos(), kStateService3, kStateWalking);
    }
}

void cPorter::dogOrLuggageDelivery() {
    if (tasks_.size() == 0 || !tasks_[0].target) {
        SetState(kStateIdle);
        return;
    }
    cLevelObj* target = tasks_[0].target;
    cBaseObj* client = clientShownOn(target);
    if (!client) return;  // waits for the guest
    cRoom* room = dynamic_cast<cRoom*>(target);
    const int kind = tasks_[0].kind;
    if (room) room->OpenDoor(true);
    if (kind == kDog) {
        serviceEnd(client);
        dog_ = false;
        tasks_.erase(0);
        SetState(kStateIdle);
        SetAnimation(kAnimStand, false);
    } else if (kind == kLuggage) {
        target->Disable();
        if (cRequest* shown = target->GetAttached()) shown->SetDone();
        serviceEnd(client);
        tasks_.erase(0);
        SetState(kStateIdle);
        worldPlaySound("action_luggage");
        if (tasks_.size() == 0 || tasks_[0].kind != kLuggage) {
            trolley_ = false;
            leftHand_[0] = '\0';
            SetAnimation(kAnimStand, false);
        } else {
            SetAnimation(kAnimCartStand, false);
        }
    }
}

void cPorter::finish() {
    eraseTask(0);
    SetAnimation(kAnimStand, false);
}

void cPorter::startSkillFx(int flag) {
    if (skillFlags_[flag] && !skillFx_.IsAlive())
        skillFx_.StartAt(IntPointToVec2(body_.position.ToPoint2i()));
}

void cPorter::serve(int ms) {
    if (tasks_.size() == 0) {
        SetState(kStateAtBase);
        return;
    }
    cLevelObj* target = tasks_[0].target;
    if (!target) {
        tasks_.erase(0);
        return;
    }
    const int kind = tasks_[0].kind;
    cBaseObj* ct = clientServedAt(target);
    cBaseObj* co = clientShownOn(target);
    const bool onObject = kind == kRepair || kind == kUpgrade;
    if (!onObject && !ct) {
        // The guest has gone: nobody to serve or pay.
        PopTask();
        return;
    }
    target->Disable();
    if (kind != kRepair && target->GetRequest().GetKind() == kRepair) {
        // Mended first, then the rest.
        HeroTask repair;
        repair.kind = kRepair;
        repair.target = target;
        tasks_.push_back(repair);
        for (uint32_t i = tasks_.size() - 1; i > 0; --i) tasks_[i] = tasks_[i - 1];
        tasks_[0] = repair;
        step_ = 0;
        return;
    }
    switch (kind) {
    case kCards:
        startSkillFx(2);
        cards(ms, ct);
        break;
    case kCasino:
        startSkillFx(2);
        casino(ms, ct, target);
        break;
    case kChess:
        chess(ct, target);
        break;
    case kFire:
        fire(ct, target);
        break;
    case kPhoto:
        startSkillFx(3);
        photo(ct, target);
        break;
    case kSouvenir:
        souvenir(ct);
        break;
    case kRepair:
        startSkillFx(1);
        repairOrUpgrade(ms, kind, target, co);
        break;
    case kUpgrade:
        startSkillFx(4);
        repairOrUpgrade(ms, kind, target, co);
        break;
    default:
        eraseTask(0);
        break;
    }
}

void cPorter::cards(int ms, cBaseObj* ct) {
    const bool mirrored = ct->GetBody().position.x < body_.position.x;
    switch (step_) {
    case 0:
        ct->GetRequest().SetDone();
        releaseOwner(ct);
        SetAnimation(kAnimCardsStart, mirrored);
        dealCount_ = 0;
        step_ = 1;
        break;
    case 1:
        if (played()) {
            SetAnimation(kAnimCardsLoop, mirrored);
            step_ = 2;
        }
        break;
    case 2:
        addScaledTime(animTime_, ms, cardFactor_, serviceCarry_);
        if (!played()) break;
        if (dealCount_ == 0) {
            ct->SetState(cClient::kStateCards);
            ct->SetAnimation(cClient::kAnimCardsStart, !mirrored);
        } else {
            ct->SetAnimation(cClient::kAnimCardsLoop, !mirrored);
        }
        SetAnimation(kAnimCardsStand, mirrored);
        ++dealCount_;
        step_ = 3;
        break;
    case 3:
        if (ct->GetAnimIndex() == cClient::kAnimCardsIdle) {
            if (dealCount_ < cardDeals_) {
                SetAnimation(kAnimCardsLoop, mirrored);
                step_ = 2;
            } else {
                ct->SetAnimation(cClient::kAnimCardsEnd, !mirrored);
            }
        } else if (ct->GetAnimIndex() == cClient::kAnimSit) {
            SetAnimation(kAnimCardsEnd, mirrored);
            step_ = 4;
        }
        break;
    case 4:
        if (played()) {
            serviceEnd(ct);
            finish();
        }
        break;
    }
}

void cPorter::casino(int ms, cBaseObj* ct, cLevelObj* table) {
    const bool mirrored = ct->GetBody().position.x < body_.position.x;
    // Only the roulette's spin runs at the croupier's pace; the rest at twice the normal one.
    if (step_ == 2)
        addScaledTime(animTime_, ms, casinoFactor_, serviceCarry_);
    else
        animTime_ += ms;
    switch (step_) {
    case 0:
        ct->GetRequest().SetDone();
        releaseOwner(ct);
        table->Disable();
        SetAnimation(kAnimCasinoStart, mirrored);
        step_ = 1;
        break;
    case 1:
        if (played()) {
            SetAnimation(kAnimCasinoStand, mirrored);
            table->PlayAction(0);
            step_ = 5;
        }
        break;
    case 5:
        if (!table->IsActionRunning()) {
            SetAnimation(kAnimCasinoEnd, mirrored);
            step_ = 2;
        }
        break;
    case 2:
        if (played()) {
            SetAnimation(kAnimCasinoLoop, mirrored);
            ct->SetState(cClient::kStateCasino);
            step_ = 4;
        }
        break;
    case 4:
        if (played()) finish();
        break;
    }
}

void cPorter::chess(cBaseObj* ct, cLevelObj* table) {
    switch (step_) {
    case 0:
        ct->GetRequest().SetDone();
        releaseOwner(ct);
        SetAnimation(kAnimChess, table->GetBody().position.x > body_.position.x);
        chessMarker_ = dealCount_ = 0;
        step_ = 2;
        break;
    case 2: {
        const int period = animPeriod();
        // Without a picture of the game there is nothing to time it by: it is over at once.
        dealCount_ = period > 0 ? animTime_ / period : chessLoops_;
        while (period > 0 && chessMarker_ < chessLoops_ &&
               animTime_ >= chessMarker_ * period + period / 2) {
            table->PlayAction(1);
            ++chessMarker_;
        }
        if (dealCount_ >= chessLoops_) step_ = 4;
        break;
    }
    case 4:
        serviceEnd(ct);
        finish();
        dealCount_ = chessMarker_ = 0;
        break;
    }
}

void cPorter::fire(cBaseObj* ct, cLevelObj* target) {
    switch (step_) {
    case 0:
        ct->GetRequest().SetDone();
        releaseOwner(ct);
        SetAnimation(kAnimRepairSwitchDown, false);
        step_ = 1;
        break;
    case 1:
        if (played()) {
            SetAnimation(kAnimRepairDown, false);
            step_ = 2;
        }
        break;
    case 2:
        if (animPlayed(repairLoops_)) {
            SetAnimation(kAnimRepairSwitchUp, false);
            step_ = 4;
        }
        break;
    case 4:
        if (played()) {
            target->PlayAction(0);
            serviceEnd(ct);
            finish();
        }
        break;
    }
}

void cPorter::photo(cBaseObj* ct, cLevelObj* target) {
    switch (step_) {
    case 0:
        ct->Disable();
        ct->GetRequest().SetDone();
        if (cMovingObj* walker = dynamic_cast<cMovingObj*>(ct))
            walker->WalkTo(target->GetClientPos(), cClient::kStateStanding, cClient::kStateWalking);
        SetAnimation(kAnimPhotoPrepare, false);
        step_ = 1;
        break;
    case 1:
        if (animIndex_ != kAnimPhotoStand && played()) SetAnimation(kAnimPhotoStand, false);
        if (ct->GetState() == cClient::kStateStanding && animIndex_ == kAnimPhotoStand) {
            animTime_ = 0;
            step_ = 3;
        }
        break;
    case 3:
        if (animTime_ >= photoDelay_ * (1 - photoFactor_)) {
            SetAnimation(kAnimPhotoShoot, false);
            step_ = 2;
        }
        break;
    case 2:
        if (played()) {
            SetAnimation(kAnimPhotoDone, false);
            step_ = 4;
        }
        break;
    case 4:
        if (played()) {
            serviceEnd(ct);
            finish();
        }
        break;
    }
}

void cPorter::souvenir(cBaseObj* ct) {
    if (step_ == 0) {
        ct->Disable();
        ct->GetRequest().SetDone();
        SetAnimation(kAnimSouvenir, ct->GetBody().position.x < body_.position.x);
        step_ = 1;
    } else if (played()) {
        serviceEnd(ct);
        finish();
    }
}

void cPorter::repairOrUpgrade(int ms, int kind, cLevelObj* target, cBaseObj* co) {
    cRoom* room = dynamic_cast<cRoom*>(target);
    const bool mirrored = target->GetFlipX() != 1;
    const int loops = kind == kUpgrade ? upgradeLoops_ : repairLoops_;
    switch (step_) {
    case 0:
        target->SetHighlighted(false);
        if (!room || !co)
            target->GetRequest().SetServing();
        else
            target->GetRequest().SetDone();
        worldPlaySound("action_repair");
        serviceCarry_ = 0;
        if (target->IsRepairDown()) {
            SetAnimation(kAnimRepairSwitchDown, mirrored);
            step_ = 1;
        } else {
            SetAnimation(kAnimRepairUp, mirrored);
            step_ = 2;
        }
        break;
    case 1:
        if (played()) {
            SetAnimation(kAnimRepairDown, mirrored);
            step_ = 2;
        }
        break;
    case 2:
        addScaledTime(animTime_, ms, kind == kUpgrade ? upgradeFactor_ : repairFactor_,
                      serviceCarry_);
        if (!animPlayed(loops)) break;
        if (target->IsRepairDown()) {
            SetAnimation(kAnimRepairSwitchUp, mirrored);
            step_ = 3;
        } else {
            SetAnimation(kAnimStand, false);
            step_ = 4;
        }
        break;
    case 3:
        if (played()) {
            SetAnimation(kAnimStand, false);
            step_ = 4;
        }
        break;
    case 4:
        if (!room) {
            target->SetState(2);
        } else if (co) {
            serviceEnd(co);
        } else if (kind == kUpgrade) {
            room->CompleteUpgrade();
        } else {
            // A broken empty room is mended as a guest's repair would leave it, not upgraded.
            room->GetRequest().Reset();
            room->ClearBreakFlag();
            room->SetState(cRoom::kNormal);
        }
        eraseTask(0);
        break;
    }
}

void cPorter::Draw(DrawList* list) {
    if (!list || state_ == kStateAtBase) return;
    cHero::Draw(list);
    if (!((leftHand_[0] && state_ != kStateService1) || trolley_)) return;
    char key[32];
    safeSnprintf(key, sizeof key, "%s%d", leftHand_, leftGrade_);
    HandObjectView view;
    if (!worldHandObject(key, walkDir_, &view) || !view.sprite) return;
    const int w = spriteWidth(view.sprite), h = spriteHeight(view.sprite);
    const Point2i p = list->ToScreen(body_.position.ToPoint2i() + view.offset);
    grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list->scale.x * view.flipx),
           static_cast<int>(h * list->scale.y * view.flipy), view.sprite, 0, 0, w, h, 0xFFFFFFFFu,
           animTime_);
}
