// The flower's cycle of freshness, thirst and dying, its falling leaves and its drawing.
#include "world/flower.h"

#include <climits>
#include <cstdio>

#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "world/draw_list.h"
#include "world/links.h"

namespace {

constexpr int kLeafFallPerSecond = 20;
constexpr int kLeafIntervalMs = 2000;
constexpr int kLeafIntervalSpreadMs = 1000;

// A (min, max) range of the levels file; an inverted one is logged and keeps its minimum.
Point2i readRange(const char* file, const char* section, const char* key) {
    Point2i range(0, 0);
    iniReadIntPair(&range, file, section, key);
    if (range.y < range.x) {
        logPrintf("%s [%s] \"%s\": %d,%d runs backwards; %d taken\n", file, section, key, range.x,
                  range.y, range.x);
        range.y = range.x;
    }
    return range;
}

int drawInRange(Point2i range) {
    return range.x + static_cast<int>(gRandom.Int(static_cast<uint32_t>(range.y - range.x)));
}

bool levelOver() {
    GameLink* game = worldGame();
    return game && game->GetLevelState() == GameLink::kLevelOver;
}

}  // namespace

cFlower::cFlower()
    : aliveRange_(0, 0),
      dyingRange_(0, 0),
      aliveTime_(0),
      dyingTime_(0),
      nextLeafTime_(0),
      penaltyPeriod_(0),
      nextPenaltyTime_(0),
      leafSpread_(0) {
    baseDrawsFirstAnimOnly_ = false;
}

cLevelObj* cFlower::Make(const char* objectsFile, const char* section, const char* levelsFile,
                         int level, const ObjectItemInfo*) {
    char ini[256], levelSection[32];
    StrCopyN(ini, iniGetString(objectsFile, section, "inifile", ""), sizeof ini);
    if (!*ini) return nullptr;
    safeSnprintf(levelSection, sizeof levelSection, "level%d", level);
    cFlower* flower = new cFlower();
    flower->Load(iniGetInt(objectsFile, section, "grade", 0), ini, levelsFile, levelSection);
    return flower;
}

void cFlower::Load(int grade, const char* iniFile, const char* levelsIni,
                   const char* levelSection) {
    if (grade < 0 || !iniFile || !*iniFile || !levelsIni || !*levelsIni || !levelSection ||
        !*levelSection)
        return;
    char section[32];
    safeSnprintf(section, sizeof section, "Main%d", grade);
    cLevelObj::Load(iniFile, section);
    char pot[32];
    safeSnprintf(pot, sizeof pot, "Flower%d_pot", grade);
    flowerAnims_[kPot].Load(iniFile, pot);
    flowerAnims_[kGreenLeaf].Load(iniFile, "GreenLeaf");
    flowerAnims_[kOrangeLeaf].Load(iniFile, "OrangeLeaf");
    leafSpread_ = static_cast<int32_t>(0.8f * body_.boundSize.x);
    if (leafSpread_ < 0) {
        logPrintf("%s [%s] \"bound_w\": negative; leaves fall from one line\n", iniFile, section);
        leafSpread_ = 0;
    }
    if (breakable_) {
        aliveRange_ = readRange(levelsIni, levelSection, "flowersAreAlive");
        dyingRange_ = readRange(levelsIni, levelSection, "flowersAreDying");
        penaltyPeriod_ = iniGetInt(iniFile, section, "penalty_period", 0);
        if (penaltyPeriod_ <= 0)
            logPrintf("%s [%s] \"penalty_period\": missing or not positive; a dying flower costs "
                      "popularity once\n",
                      iniFile, section);
    }
    SetState(kNewCycle);
}

bool cFlower::CanOrderService() {
    HeroLink* hero = request_.GetHero();
    if (!hero || hero->HasTask(kWater, this) || hero->IsUnavailable()) return false;
    return state_ == kThirsty || state_ == kDying;
}

void cFlower::Update(int ms) {
    cBaseObj::Update(ms);
    switch (state_) {
        case kNewCycle:
            aliveTime_ = drawInRange(aliveRange_);
            dyingTime_ = drawInRange(dyingRange_);
            nextLeafTime_ = 0;
            for (Leaf& leaf : leaves_) leaf = Leaf();
            animTime_ = 0;
            SetState(kFresh);
            request_.Reset();
            break;
        case kFresh:
            if (breakable_ && stateTime_ > aliveTime_) {
                request_.Load(kWater, dyingTime_, this, 0);
                request_.SetWaiting();
                SetState(kThirsty);
            }
            break;
        case kThirsty:
            if (levelOver()) {
                updateLeaves(ms);
            } else if (request_.Update(ms) == 0) {
                request_.Load(kWater, 0, this, 0);
                request_.SetWaiting();
                nextPenaltyTime_ = 0;
                SetState(kDying);
            } else {
                if (stateTime_ >= nextLeafTime_) {
                    dropLeaf();
                    nextLeafTime_ += kLeafIntervalMs +
                                     static_cast<int>(gRandom.Int(kLeafIntervalSpreadMs));
                }
                updateLeaves(ms);
            }
            break;
        case kDying: {
            updateLeaves(ms);
            GameLink* game = worldGame();
            if (game && stateTime_ >= nextPenaltyTime_ && !levelOver() &&
                !game->AreHeroesSentHome()) {
                game->AddPopularity(-game->GetMaxCostTipClient(), 1, body_.position.ToPoint2i());
                // Without a period the spell costs once, not at every update.
                nextPenaltyTime_ = penaltyPeriod_ > 0 ? stateTime_ + penaltyPeriod_ : INT_MAX;
            }
            break;
        }
        default:
            break;
    }
}

void cFlower::dropLeaf() {
    for (Leaf& leaf : leaves_) {
        if (leaf.flags) continue;
        leaf.flags = kFalling | (stateTime_ > dyingTime_ / 2 ? uint32_t(kOrange) : 0u);
        leaf.animTime = 0;
        leaf.start = Vec2f(body_.boundOffset.x + 0.05f * body_.boundSize.x +
                               static_cast<float>(gRandom.Int(static_cast<uint32_t>(leafSpread_))),
                           body_.boundOffset.y + 10 + static_cast<float>(gRandom.Int(10)));
        leaf.current = leaf.start;
        return;
    }
}

void cFlower::updateLeaves(int ms) {
    for (Leaf& leaf : leaves_) {
        if (!(leaf.flags & kFalling)) continue;
        const HSPRITE s = flowerAnims_[leaf.flags & kOrange ? kOrangeLeaf : kGreenLeaf].sprite;
        if (!s) {
            leaf.flags = (leaf.flags & ~kFalling) | kLying;
            leaf.animTime = 0;
            continue;
        }
        const int playTime = grSpriteTime(s);
        leaf.animTime += ms;
        if (leaf.animTime > playTime) leaf.animTime = 0;
        leaf.current.y += ms * kLeafFallPerSecond / 1000.0f;
        if (leaf.current.y - leaf.start.y >
            0.8f * body_.boundSize.y + static_cast<float>(gRandom.Int(10))) {
            leaf.flags = (leaf.flags & ~kFalling) | kLying;
            leaf.animTime = playTime / (static_cast<int>(gRandom.Int(grSpriteFrames(s))) + 1);
        }
    }
}

ColorRGBA cFlower::GetFlowerTint() const {
    if (state_ != kThirsty && state_ != kDying) return ColorRGBA(255, 255, 255, 255);
    float f = 1.0f;
    if (state_ == kThirsty && dyingTime_ != 0)
        f = static_cast<float>(stateTime_) / static_cast<float>(dyingTime_);
    if (f > 1.0f) f = 1.0f;
    return ColorRGBA(255, 255 - static_cast<int>(127 * f), 255 - static_cast<int>(255 * f), 255);
}

void cFlower::drawPart(DrawList* list, const AnimDesc& r, ColorRGBA colour, int time) {
    HSPRITE s = r.sprite;
    const int w = spriteWidth(s), h = spriteHeight(s);
    const Point2i p = list->ToScreen(body_.position.ToPoint2i() + Point2i(r.spr_x, r.spr_y));
    const int dw = static_cast<int>(w * list->scale.x * r.flipx);
    const int dh = static_cast<int>(h * list->scale.y * r.flipy);
    if (grow_ >= 1.0f) {
        grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, dw, dh, s, 0, 0, w, h, colour.Argb(), time);
    } else {
        const float hidden = 1 - grow_;
        grDraw(sMaterial(4, 4, 1, 30), p.x, p.y + roundToInt(hidden * dh), dw,
               roundToInt(dh * grow_), s, 0, roundToInt(hidden * h), w, roundToInt(h * grow_),
               colour.Argb(), time);
    }
    if (highlighted_ && pulse_ != 0)
        grDraw(sMaterial(7, 2, 1, 30), p.x, p.y, dw, dh, s, 0, 0, w, h,
               ColorRGBA(pulse_, pulse_, pulse_, 255).Argb(), time);
}

void cFlower::Draw(DrawList* list) {
    if (!list) return;
    if (flowerAnims_[kPot].sprite)
        drawPart(list, flowerAnims_[kPot], ColorRGBA(255, 255, 255, 255), animTime_);
    const AnimDesc* r = CurrentAnim();
    if (r && r->sprite) drawPart(list, *r, GetFlowerTint(), animTime_);
    smoke_.Draw();
    for (const Leaf& leaf : leaves_) {
        if (!leaf.flags) continue;
        HSPRITE s = flowerAnims_[leaf.flags & kOrange ? kOrangeLeaf : kGreenLeaf].sprite;
        if (!s) continue;
        const int w = spriteWidth(s), h = spriteHeight(s);
        const Point2i p = list->ToScreen((body_.position + leaf.current).ToPoint2i());
        const int dw = static_cast<int>(w * list->scale.x);
        const int dh = static_cast<int>(h * list->scale.y);
        grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, dw, dh, s, 0, 0, w, h, 0xFFFFFFFFu,
               leaf.animTime);
        if (highlighted_ && pulse_ != 0)
            grDraw(sMaterial(4, 4, 1, 31), p.x, p.y, dw, dh, s, 0, 0, w, h,
                   ColorRGBA(pulse_, pulse_, pulse_, 255).Argb(), leaf.animTime);
    }
    const AnimDesc* first = Anim(0);
    if (first && first->outline && !enabled_ && CanOrderService()) {
        const Point2i p = list->ToScreen(body_.position.ToPoint2i() +
                                         Point2i(first->spr_x + first->outline_x,
                                                 first->spr_y + first->outline_y));
        const int w = spriteWidth(first->outline), h = spriteHeight(first->outline);
        const ColorRGBA colour =
            hover_ ? ColorRGBA(255, 255, 255, 255) : ColorRGBA(255, 255, 45, 255);
        grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list->scale.x),
               static_cast<int>(h * list->scale.y), first->outline, 0, 0, w, h, colour.Argb(),
               animTime_);
    }
    if (state_ != kThirsty && state_ != kDying) return;
    request_.Draw(list->ToScreen(requestPoint_), false, hover_ && !enabled_ && CanOrderService());
    if (enabled_) drawExtraSprite(list, extraPoint_);
}
