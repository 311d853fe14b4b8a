// Pulsing sprites, rising money texts, growing sprites and the list that owns the flying things.
#include <cmath>

#include "anim/flying.h"
#include "anim/fx_internal.h"
#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"

void PulseSprite::Load(const char* ini, const char* section) {
    if (!ini || !*ini || !section || !*section) return;
    Release();
    sprite_ = grLoadSprite(iniGetString(ini, section, "sprite", ""), nullptr, 0);
    maxLoops_ = iniGetInt(ini, section, "maxLoops", 0);
    minScale_ = iniGetFloat(ini, section, "minScale", 0);
    maxScale_ = iniGetFloat(ini, section, "maxScale", 0);
    maxAlpha_ = iniGetFloat(ini, section, "maxAlpha", 0);
    position_.Set(iniGetFloat(ini, section, "x", 0), iniGetFloat(ini, section, "y", 0));
    loopTime_ = iniGetFloat(ini, section, "loopTime", 0);
}

void PulseSprite::Release() { spriteFree(&sprite_); }

void PulseSprite::Start() {
    if (running_) return;
    running_ = pulses();
    loops_ = 0;
    direction_ = -std::fabs(direction_);
    if (!running_) scale_ = 1;
}

void PulseSprite::Update(float dt) {
    if (!running_) return;
    if (!pulses()) {
        running_ = false;
        scale_ = 1;
        return;
    }
    if (!(scale_ > minScale_ && scale_ < maxScale_)) {
        scale_ = scale_ <= minScale_ ? minScale_ : maxScale_;
        direction_ = -direction_;
    }
    const float before = scale_;
    scale_ += direction_ * ((maxScale_ - minScale_) * 2 / loopTime_) * dt;
    // Steps seldom land on 1 itself: a loop is a shrinking pass through it.
    if (direction_ < 0 && before > 1 && scale_ <= 1) ++loops_;
    if (loops_ >= maxLoops_) {
        running_ = false;
        scale_ = 1;
    }
}

void PulseSprite::Draw(uint32_t colour) {
    if (!sprite_) return;
    const int x = fxTrunc(position_.x), y = fxTrunc(position_.y);
    drawSpriteScaledEx(sMaterial(4, 2, 1, 30), x, y, sprite_, scale_, colour, 0, false, false,
                       false, false);
    if (!running_) return;
    const float h = (maxScale_ - minScale_) / 2;
    const float d = (scale_ - 1) / h;
    const int a = fxTrunc(d * d * 255);
    const uint32_t glow = ColorRGBA(a, a, a, 255).Argb();
    drawSpriteScaledEx(sMaterial(4, 2, 1, 31), x, y, sprite_, scale_, glow, 0, false, false, false,
                       false);
}

CFlyUpMoney::CFlyUpMoney(CGraphFont* font, const char16_t* text, HSPRITE icon, float x, float y,
                         ColorRGBA colour)
    : CFlyingThing(x, y), font_(font), icon_(icon), colour_(colour) {
    text_[0] = 0;
    if (!text) return;
    int n = 0;
    for (; n < kTextSize - 1 && text[n]; ++n) text_[n] = text[n];
    text_[n] = 0;
}

bool CFlyUpMoney::Update(int ms) {
    age += static_cast<uint32_t>(ms);
    alpha -= 5;
    position.y -= 2;
    if (alpha > 0) return false;
    alpha = 0;
    return true;
}

void CFlyUpMoney::Draw() {
    if (!font_) return;
    ColorRGBA colour = colour_;
    colour.a = static_cast<uint8_t>(IntClamp(alpha, 0, 255));
    const sMaterial material(4, 4, 1, 30);
    const int x = fxTrunc(position.x), y = fxTrunc(position.y);
    // Glyph set 0: the age only picks the icon's frame.
    grDrawTextEx(material, font_, x, y, text_, colour.Argb(), 0, -1, 1);
    if (!icon_) return;
    const int w = grTextWidth(font_, text_, kTextSize);
    drawSpriteScaledEx(material, fxTrunc(position.x + w + spriteWidth(icon_) / 2),
                       fxTrunc(position.y - grFontHeight(font_) / 2), icon_, 1.0f, colour.Argb(),
                       static_cast<int>(age), false, false, false, false);
}

CScalingObject::CScalingObject(HSPRITE sprite, float x, float y, int extra)
    : CFlyingThing(x, y), sprite_(sprite ? grSpriteAddRef(sprite) : nullptr), extra_(extra) {}

CScalingObject::~CScalingObject() { spriteFree(&sprite_); }

bool CScalingObject::Update(int ms) {
    age += static_cast<uint32_t>(ms);
    alpha -= 10;
    scale_ += 0.05f;
    if (alpha > 0) return false;
    alpha = 0;
    return true;
}

void CScalingObject::Draw() {
    if (!sprite_) return;
    drawSpriteScaledEx(sMaterial(4, 4, 1, 30), fxTrunc(position.x), fxTrunc(position.y), sprite_,
                       scale_, ColorRGBA(255, 255, 255, alpha).Argb(), static_cast<int>(age),
                       extra_ != 0, false, false, false);
}

CFlyingThingList::~CFlyingThingList() {
    for (uint32_t i = 0; i < items_.size(); ++i) delete items_[i];
}

void CFlyingThingList::Add(CFlyingThing* item) {
    if (!item) return;
    for (uint32_t i = items_.size(); i-- > 0;) {
        CFlyingThing* other = items_[i];
        if (other->position.x == item->position.x && other->position.y == item->position.y) {
            other->position.y -= 20;
            break;
        }
    }
    items_.push_back(item);
}

void CFlyingThingList::Update(int ms) {
    for (uint32_t i = 0; i < items_.size();) {
        if (items_[i]->Update(ms)) {
            delete items_[i];
            items_.erase(i);
        } else {
            ++i;
        }
    }
}

void CFlyingThingList::Draw() {
    for (uint32_t i = 0; i < items_.size(); ++i) items_[i]->Draw();
}
