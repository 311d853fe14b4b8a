// Flying tips: icons on quadratic Bezier curves with trails of fading copies.
#include <cmath>

#include "anim/flying.h"
#include "anim/fx_internal.h"
#include "core/strings.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"

namespace {

constexpr const char* kSection = "FlyingTips";

HSPRITE loadIcon(const char* ini, const char* key) {
    char text[256];
    StrCopyN(text, iniGetString(ini, kSection, key, ""), sizeof text);
    return loadSpriteBarSpec(text);
}

Vec2f curvePoint(const FlyingTipItem& item, float t) {
    Vec2f p;
    bezierPoint(p, item.start, item.control, item.end, t);
    return p;
}

}  // namespace

void FlyingTips::Load(const char* ini) {
    Release();
    plus_ = loadIcon(ini, "plusIcon");
    money_ = loadIcon(ini, "moneyIcon");
    minus_ = loadIcon(ini, "minusIcon");
    bust_ = loadIcon(ini, "bustIcon");
    trailLength_ = IntMax(iniGetInt(ini, kSection, "trailLength", 0), 0);
    trailStep_ = iniGetFloat(ini, kSection, "trailStep", 0);
    // A step that is not a number would keep every item flying for ever.
    if (!std::isfinite(trailStep_)) trailStep_ = 0;
}

void FlyingTips::Release() {
    spriteFree(&plus_);
    spriteFree(&minus_);
    spriteFree(&money_);
    spriteFree(&bust_);
    items_.release();
}

void FlyingTips::Launch(float x, float y, float tx, float ty, int kind) {
    FlyingTipItem item;
    if (kind == kBust) {
        item.control.Set(1024, 0);
        item.headIcon = item.trailIcon = bust_;
    } else {
        const float m = FloatMax(0.4f * (tx - x), 300);
        item.control.Set(x >= 300 ? x - m : m + 70, FloatMax(y - 85, 0));
        item.headIcon = money_;
        item.trailIcon = kind == kGain ? plus_ : minus_;
    }
    item.start.Set(x, y);
    item.end.Set(tx, ty);
    if (kind == kLoss) {
        item.start.Set(tx, ty);
        item.end.Set(x, y);
    }
    item.current = item.start.ToPoint2i();
    item.trailStep = trailStep_;
    item.trail.resize(static_cast<uint32_t>(trailLength_), item.start);
    items_.push_back(item);
}

void FlyingTips::Update(int ms) {
    for (uint32_t i = 0; i < items_.size();) {
        FlyingTipItem& item = items_[i];
        item.age += static_cast<uint32_t>(ms);
        item.t += ms / 1000.0f;
        item.current = curvePoint(item, item.t).ToPoint2i();
        const uint32_t n = item.trail.size();
        for (uint32_t k = 0; k < n; ++k)
            item.trail[k] = curvePoint(item, item.t - (k + 1) * item.trailStep);
        if (item.t - n * item.trailStep >= 1)
            items_.erase(i);
        else
            ++i;
    }
}

void FlyingTips::Draw() {
    const sMaterial material(2, 4, 1, 30);
    for (uint32_t i = 0; i < items_.size(); ++i) {
        const FlyingTipItem& item = items_[i];
        const int time = static_cast<int>(item.age);
        if (HSPRITE trail = item.trailIcon) {
            const int w = spriteWidth(trail), h = spriteHeight(trail);
            for (uint32_t k = 0; k < item.trail.size(); ++k) {
                const float at = item.t - (k + 1) * item.trailStep;
                if (!(at >= 0 && at <= 1)) continue;
                const ColorRGBA colour(0, 0, 0, 255 - 40 * static_cast<int>(k + 1));
                grDraw(material, fxTrunc(item.trail[k].x - w / 2.0f),
                       fxTrunc(item.trail[k].y - h / 2.0f), w, h, trail, 0, 0, w, h,
                       colour.Argb(), time);
            }
        }
        if (item.headIcon && item.t <= 1)
            grDrawSprite(item.current.x - spriteWidth(item.headIcon) / 2,
                         item.current.y - spriteHeight(item.headIcon) / 2, item.headIcon, time);
    }
}
