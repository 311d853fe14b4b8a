// Level objects: loading, highlight and actionability, breaking, wrong-click feedback, drawing,
// and the action animation.
#include "world/level_object.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/links.h"
#include "world/walkmap.h"

namespace {

constexpr int kWrongClickMs = 250;
const ColorRGBA kHoverTint(255, 255, 255, 255);
const ColorRGBA kIdleTint(255, 255, 45, 255);

bool sameName(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

}  // namespace

// --- cLevelObj ---------------------------------------------------------------------------------

cLevelObj::cLevelObj()
    : tint_(kIdleTint),
      heroPoint_(0, 0),
      clientPoint_(0, 0),
      attackPoint_(0, 0),
      smokePoint_(0, 0),
      repairPoint_(0, 0),
      waitPoint_(0, 0),
      attached_(nullptr),
      action_(nullptr),
      backlight_(nullptr),
      occupied_(0),
      breakable_(0),
      sittingPlace_(0),
      repairDown_(0),
      timeBonus_(0),
      priceBonus_(0),
      blockedUntil_(0),
      requestGrade_(0),
      highlightOn_(0),
      isSlave_(0),
      attachedHitWithPortrait_(false) {
    baseDrawsFirstAnimOnly_ = true;
}

cLevelObj::~cLevelObj() {
    smoke_.Release();
    spriteFree(&backlight_);
}

void cLevelObj::Load(const char* iniFile, const char* section) {
    if (!iniFile || !*iniFile || !section || !*section) return;
    if (!fileExists(iniFile)) {
        logPrintf("%s: cannot be read; object [%s] left unloaded\n", iniFile, section);
        return;
    }
    sectionName_ = section;
    body_.Load(iniFile, section);
    animIndex_ = 0;
    AllocAnims(1);
    anims_[0].Load(iniFile, section);

    name_ = iniGetString(iniFile, section, "name", "");
    const Point2i at(static_cast<int>(body_.position.x), static_cast<int>(body_.position.y));
    heroPoint_ = iniGetPoint(iniFile, section, "hero_x", "hero_y") + at;
    clientPoint_ = iniGetPoint(iniFile, section, "client_x", "client_y") + at;
    attackPoint_ = iniGetPoint(iniFile, section, "attack_x", "attack_y") + at;
    requestPoint_ = iniGetPoint(iniFile, section, "request_x", "request_y") + at;
    waitPoint_ = iniGetPoint(iniFile, section, "wait_x", "wait_y") + at;
    Point2i repair(0, 0);
    if (iniReadPoint(&repair, iniFile, section, "repair_pos")) {
        repairPoint_ = repair + body_.position.ToPoint2i();
    } else {
        repairPoint_ = heroPoint_;
    }

    spriteFree(&extraSprite_);
    extraSprite_ = iniReadAnimSprite(iniFile, "Main", "v_spr");
    extraPoint_ = iniGetPoint(iniFile, section, "v_x", "v_y") + at;

    breakable_ = iniGetInt(iniFile, section, "breakable", 0) != 0;
    smoke_.Load("Smoke");
    smokePoint_ = iniGetPoint(iniFile, section, "smoke_x", "smoke_y") + at;
    repairDown_ = iniGetInt(iniFile, section, "repair_down", 0) != 0;
    sittingPlace_ = iniGetInt(iniFile, section, "is_sitting_place", 0) != 0;
    spriteFree(&backlight_);
    backlight_ = iniReadAnimSprite(iniFile, section, "backlight");
    LoadMask(iniFile, section);
    stampMask();
    outlineObj_ = iniGetString(iniFile, section, "outline_obj", "");
    isSlave_ = iniGetInt(iniFile, section, "isSlave", 0) > 0;
    requestGrade_ = iniGetInt(iniFile, section, "request_grade", 0);
    SetState(kReset);

    growFx_.Load("HomeItemGrow");
    if (anims_[0].sprite) growFx_.SetSpreadRange(Point2i(spriteWidth(anims_[0].sprite), 0));
    growFx_.SetActorMaterial(sMaterial(2, 4, 1, 31));
}

void cLevelObj::stampMask() {
    cWalkMap* map = cWalkMap::Current();
    if (!mask_ || !map) return;
    // Only the blocked cells are stamped, so a mask never frees a wall of the map. The object's
    // own cell may lie off the map: the part of its mask inside the map still blocks.
    const Point2i cell = map->ScreenToCell(
        Point2i(static_cast<int>(body_.position.x), static_cast<int>(body_.position.y)));
    // Summed wide: a far-off position plus a large origin stays a number.
    const int64_t left = static_cast<int64_t>(cell.x) + mask_->Origin().x;
    const int64_t top = static_cast<int64_t>(cell.y) + mask_->Origin().y;
    cMaskGrid& mask = *mask_;
    for (uint32_t j = 0; j < mask.Height(); ++j)
        for (uint32_t i = 0; i < mask.Width(); ++i) {
            const int64_t x = left + i, y = top + j;
            if (x < 0 || y < 0 || x > INT32_MAX || y > INT32_MAX) continue;
            if (mask.CellRef(static_cast<int>(i), static_cast<int>(j)) & 64)
                if (Cell* c = map->GetCell(static_cast<int>(x), static_cast<int>(y))) c->value = 2;
        }
}

void cLevelObj::Update(int ms) {
    cBaseObj::Update(ms);
    if (state_ == kIdle) animTime_ = 0;
    UpdateHighlight();
    if (state_ == kReset) {
        request_.Reset();
        SetState(kIdle);
        blockedUntil_ = 0;
    }
    if (state_ == kBroken && request_.GetKind() == kRepair) {
        if (!smoke_.IsAlive()) smoke_.StartAt(IntPointToVec2(smokePoint_));
    } else {
        smoke_.Stop(false);
    }
    smoke_.Update(ms);
}

void cLevelObj::UpdateHighlight() {
    GameLink* game = worldGame();
    if (!isSlave_) {
        // What Jenny holds matters only to an object that could be served and is not under the
        // pointer: most objects, most steps, are asked nothing more.
        bool on = IsActionable();
        if (on && !hover_)
            if (HeroLink* jenny = game ? game->GetHeroByName("Jenny") : nullptr)
                on = !sameName(GetName(), jenny->HandObject(0)) &&
                     !sameName(GetName(), jenny->HandObject(1));
        highlightOn_ = on;
        tint_ = hover_ ? kHoverTint : kIdleTint;
    }
    if (game && outlineObj_.length() > 0) {
        if (cLevelObj* slave = game->FindLevelObjectByName(outlineObj_.c_str())) {
            slave->highlightOn_ = highlightOn_;
            slave->tint_ = tint_;
        }
    }
}

int cLevelObj::GetFlipX() const {
    const AnimDesc* r = CurrentAnim();
    return r ? r->flipx : 1;
}

HSPRITE cLevelObj::GetCurrentSprite() const {
    const AnimDesc* r = CurrentAnim();
    return r ? r->sprite : nullptr;
}

bool cLevelObj::IsActionable() {
    if (enabled_) return false;
    if (state_ == kBroken) {
        HeroLink* hero = request_.GetHero();
        return request_.IsWaiting() && hero && !hero->HasTask(kFire, this) &&
               !hero->IsUnavailable();
    }
    GameLink* game = worldGame();
    cBaseObj* client = game && mayBeTarget_ ? game->FindClientByRequestTarget(this) : nullptr;
    cRequest* r = client ? &client->GetRequest() : attached_;
    if (!r) return false;
    const int kind = r->GetKind();
    if (kind == kCheckIn) return hover_ != 0;
    HeroLink* hero = r->GetHero();
    if (!hero) return false;
    switch (kind) {
    case kCalmBaby:
        return !hero->HasTask(kCalmBaby, this);
    case kCards:
    case kCasino:
    case kChess:
    case kFire:
        return r->IsWaiting() && !hero->HasTask(kRepair, this) && !hero->IsUnavailable();
    case kClean:
    case kClothes:
    case kDog:
    case kLuggage:
    case kPillow:
    case kPlaid:
    case kRepair:
        // These are served where the guest waits: a luggage request also names the desk as its
        // target, but a task there would leave the Porter waiting at the desk for good.
        if (client && r->GetOwner() != this) return false;
        return !hero->HasTask(kind, this) && !hero->IsUnavailable();
    case kCocktail:
    case kFood:
    case kNews:
    case kPhone:
        if (client) {
            // Once Jenny has this fetch queued or the thing in hand, the source would light
            // again and a second click would send her for one nobody waits for; it lights
            // only while more guests wait for the kind than she already covers.
            int covered = hero->HasTask(kind, this) ? 1 : 0;
            for (int hand = 0; hand < 2; ++hand) {
                const char* held = hero->HandObject(hand);
                covered += held && r->GetHandObject() && strcmp(held, r->GetHandObject()) == 0;
            }
            return covered == 0 || (game && game->CountWaitingFor(kind, this) > covered);
        }
        return attached_ && attached_->IsWaiting() &&
               (hero->HasTask(kind, r->GetTarget()) || hero->IsHolding(r->GetHandObject()));
    case kMusic:
        return r->IsWaiting();
    case kPhoto:
    case kSouvenir:
        return r->IsWaiting() && !hero->IsUnavailable() && !hero->HasTaskOfKind(kind);
    default:
        return false;
    }
}

bool cLevelObj::HitTestPoint(int x, int y) {
    const Point2i rel(x - requestPoint_.x, y - requestPoint_.y);
    bool hit = body_.Contains(x, y);
    if (!hit && request_.GetKind() != kNoRequest) hit = request_.HitTest(rel.x, rel.y, false);
    if (!hit && attached_) hit = attached_->HitTest(rel.x, rel.y, attachedHitWithPortrait_);
    hover_ = hit;
    return hit;
}

void cLevelObj::Draw(DrawList* list) {
    if (!list) return;
    const AnimDesc* first = Anim(0);
    const Point2i at = body_.position.ToPoint2i();
    if (backlight_ && first) {
        const Point2i p = list->ToScreen(at + Point2i(first->spr_x, first->spr_y));
        const float sw = spriteWidth(first->sprite) * list->scale.x;
        const float sh = spriteHeight(first->sprite) * list->scale.y;
        const int bw = static_cast<int>(spriteWidth(backlight_) * list->scale.x);
        const int bh = static_cast<int>(spriteHeight(backlight_) * list->scale.y);
        grDraw(sMaterial(4, 2, 1, 31), p.x + static_cast<int>(sw / 2 - bw / 2.0f),
               p.y + static_cast<int>(sh / 2 - bh / 2.0f), bw, bh, backlight_, 0, 0,
               spriteWidth(backlight_), spriteHeight(backlight_),
               ColorRGBA(100, 100, 100, 100).Argb(), animTime_);
    }
    cBaseObj::Draw(list);
    if (first && first->outline && !enabled_ && highlightOn_) {
        const Point2i p = list->ToScreen(
            at + Point2i(first->spr_x + first->outline_x, first->spr_y + first->outline_y));
        ColorRGBA colour = tint_;
        if (stateTime_ < blockedUntil_) {
            const float x = (kWrongClickMs - (blockedUntil_ - stateTime_)) / float(kWrongClickMs);
            colour.a = static_cast<uint8_t>(std::fabs(std::sin(x * 3.14f / 2)) * 255);
        }
        const int w = spriteWidth(first->outline), h = spriteHeight(first->outline);
        grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list->scale.x),
               static_cast<int>(h * list->scale.y), first->outline, 0, 0, w, h, colour.Argb(),
               animTime_);
    }
    smoke_.Draw();
    if (state_ == kBroken)
        request_.Draw(list->ToScreen(requestPoint_), false, hover_ && !enabled_ && IsActionable());
    if (enabled_) drawExtraSprite(list, extraPoint_);
}

void cLevelObj::drawExtraSprite(DrawList* list, Point2i at) {
    if (!extraSprite_) return;
    const Point2i p = list->ToScreen(at);
    const int w = spriteWidth(extraSprite_), h = spriteHeight(extraSprite_);
    grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list->scale.x),
           static_cast<int>(h * list->scale.y), extraSprite_, 0, 0, w, h, 0xFFFFFFFFu, animTime_);
}

bool cLevelObj::CanBreak() {
    if (!breakable_ || state_ == kBroken) return false;
    GameLink* game = worldGame();
    if (game && game->FindClientByRequestTarget(this)) return false;
    return !action_ || !IsActionRunning();
}

void cLevelObj::Break(int repairTime) {
    if (!CanBreak()) return;
    SetState(kBroken);
    blockedUntil_ = 0;
    request_.Load(kRepair, repairTime, this, 0);
    request_.SetWaiting();
    GameLink* game = worldGame();
    if (cBaseObj* client = game ? game->FindClientByRequestTarget(this) : nullptr) {
        HeroLink* hero = client->GetRequest().GetHero();
        if (hero && hero != request_.GetHero())
            hero->RemoveTask(client->GetRequest().GetKind(), this);
    }
    worldPlaySound("broke");
}

void cLevelObj::OnWrongAction() {
    worldPlaySound("wrong_action");
    blockedUntil_ = stateTime_ + kWrongClickMs;
}

void cLevelObj::SignalWrongClick() {
    if (enabled_) return;
    GameLink* game = worldGame();
    if (attached_ && attached_->IsWaiting() && attached_->GetHero()) {
        HeroLink* hero = attached_->GetHero();
        const int kind = attached_->GetKind();
        if (!IsOneOf(kind, kCocktail, kFood, kNews, kPhone)) {
            if (hero->IsUnavailable() &&
                IsOneOf(kind, kCards, kCasino, kChess, kClean, kClothes, kDog, kFire, kLuggage,
                        kPhoto, kPillow, kPlaid, kRepair, kSouvenir) &&
                game)
                game->PlayWrongAction(kind);
        } else if (cLevelObj* target = attached_->GetTarget()) {
            if (!hero->HasTask(kind, target) && !hero->IsHolding(attached_->GetHandObject()))
                target->OnWrongAction();
        }
        return;
    }
    cBaseObj* client = game ? game->FindClientByRequestTarget(this) : nullptr;
    if (!client) {
        const int kind = request_.GetKind();
        HeroLink* hero = request_.GetHero();
        if (IsOneOf(kind, kClean, kRepair, kUpgrade, kWater) && hero && hero->IsUnavailable() &&
            game)
            game->PlayWrongAction(kind == kUpgrade ? kRepair : kind);
        return;
    }
    const cRequest& r = client->GetRequest();
    if (r.GetHero() && r.GetHero()->IsUnavailable() &&
        IsOneOf(r.GetKind(), kCards, kCasino, kChess, kFire, kPhoto, kSouvenir) && game)
        game->PlayWrongAction(r.GetKind());
}

int cLevelObj::PlayAction(int direction) {
    if (!action_) return 0;
    return action_->Play(direction == 0 ? 2 : direction > 0 ? 0 : 1);
}

void cLevelObj::StopAction() {
    if (action_) action_->Stop();
}

bool cLevelObj::IsActionRunning() const { return action_ && action_->IsRunning(); }

// --- cActionObj --------------------------------------------------------------------------------

cActionObj::cActionObj() : playState_(kStopped), loops_(0), transparent_(0), sound_(nullptr) {}

cActionObj::~cActionObj() {
    if (sound_) sndRelease(sound_);
}

void cActionObj::Load(const char* iniFile, const char* section) {
    cLevelObj::Load(iniFile, section);
    if (!iniFile || !*iniFile || !section || !*section) return;
    action_.Load(iniFile, section);
    loops_ = iniGetInt(iniFile, section, "loops", 0);
    transparent_ = iniGetInt(iniFile, section, "transparent", 0);
    const char* sound = iniGetString(iniFile, section, "sound", "");
    if (sound_) sndRelease(sound_);
    sound_ = *sound ? sndGetSound(sound, 0) : nullptr;
}

int cActionObj::Play(int mode) {
    if (!action_.sprite) return 0;
    if (playState_ == kStopped) animTime_ = 0;
    const int period = grSpriteTime(action_.sprite);
    const int frames = IntMax(1, grSpriteFrames(action_.sprite));
    const int step = (period - 1) / frames;
    switch (mode) {
    case 0:
        animTime_ += step;
        if (animTime_ >= period * loops_) {
            playState_ = kStopped;
            return 0;
        }
        playState_ = kStepping;
        return 1;
    case 1:
        animTime_ = IntMax(0, animTime_ - step);
        if (animTime_ == 0) {
            playState_ = kStopped;
            return 0;
        }
        playState_ = kStepping;
        return 1;
    case 2:
        playState_ = kRunning;
        return 1;
    default:
        return 1;
    }
}

void cActionObj::Stop() {
    playState_ = kStopped;
    if (sound_) sndStop(sound_);
}

void cActionObj::Update(int ms) {
    if (playState_ != kRunning) return;
    animTime_ += ms;
    if (sound_ && !sndIsPlaying(sound_)) sndPlaySound(sound_, 1);
    if (animTime_ >= grSpriteTime(action_.sprite) * loops_) Stop();
}

void cActionObj::Draw(DrawList* list) {
    if (!list || playState_ == kStopped || !action_.sprite) return;
    const Point2i p =
        list->ToScreen(body_.position.ToPoint2i() + Point2i(action_.spr_x, action_.spr_y));
    const int w = spriteWidth(action_.sprite), h = spriteHeight(action_.sprite);
    grDraw(transparent_ ? sMaterial(2, 2, 1, 31) : sMaterial(4, 4, 1, 30), p.x, p.y,
           static_cast<int>(w * list->scale.x), static_cast<int>(h * list->scale.y), action_.sprite,
           0, 0, w, h, 0xFFFFFFFFu, animTime_);
}
