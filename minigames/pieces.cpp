// The mini-game pieces: scene objects, floating labels, the darkness and the carried icons.
#include "minigames/pieces.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/array.h"
#include "core/random.h"
#include "core/strings.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/snd/snd.h"
#include "ui/ui.h"

namespace {

const sMaterial kAlphaBlend(4, 4, 1, 30);
const sMaterial kGlowBlend(7, 2, 1, 30);
const sMaterial kTextBlend(2, 4, 1, 30);

uint32_t argb(int r, int g, int b, int a) {
    auto c = [](int v) { return static_cast<uint32_t>(IntClamp(v, 0, 255)); };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

// No mini-game screen comes near this: a place, offset or speed beyond it is damage.
constexpr int kMaxPlace = 1 << 20;

int heldPlace(const char* file, const char* section, const char* key, int lo = -kMaxPlace) {
    return iniGetIntHeld(file, section, key, lo, kMaxPlace);
}

// One look of an object: position and, when named, its sprite (a sprite held before is freed).
void loadLook(const char* file, const char* section, int32_t* x, int32_t* y, HSPRITE* sprite) {
    *x = heldPlace(file, section, "x");
    *y = heldPlace(file, section, "y");
    spriteFree(sprite);
    *sprite = iniReadAnimSprite(file, section, "sprite");
}

}  // namespace

// --- cMiniGameObjectBase -----------------------------------------------------------------------

cMiniGameObjectBase::~cMiniGameObjectBase() {
    spriteFree(&brokenSprite_);
    spriteFree(&strokeSprite_);
    spriteFree(&fixedSprite_);
    spriteFree(&extraSprite_);
}

void cMiniGameObjectBase::Load(const char* file, int number) {
    number_ = number;
    alphaSpeed_ = iniGetInt(file, "Param", "alpha_speed", 0);
    blinkDuration_ = iniGetInt(file, "Hint", "blink_duration", 0);
    blinkMaxAlpha_ = iniGetInt(file, "Hint", "blink_max_alpha", 0);
    blinkCount_ = iniGetInt(file, "Hint", "blink_count", 0);
    blinkClock_ = blinkDuration_;
    char section[32];
    snprintf(section, sizeof section, "broken_%d", number);
    loadLook(file, section, &brokenX_, &brokenY_, &brokenSprite_);
    snprintf(section, sizeof section, "%d", number);
    loadLook(file, section, &fixedX_, &fixedY_, &fixedSprite_);
    snprintf(section, sizeof section, "stroke_%d", number);
    loadLook(file, section, &strokeX_, &strokeY_, &strokeSprite_);
    snprintf(section, sizeof section, "extra_%d", number);
    loadLook(file, section, &extraX_, &extraY_, &extraSprite_);
}

void cMiniGameObjectBase::Update(int ms) {
    blinkClock_ += ms;
    const bool blinking = blinkClock_ < blinkDuration_;
    if ((!hovered_ || state_ != kObjWanted || !glowEnabled_) && !blinking) {
        glow_ = 0;
    } else if (blinking) {
        // blinkDuration_ is above blinkClock_ >= 0 here, so never 0.
        const double phase =
            static_cast<double>(blinkDuration_ - blinkClock_) * blinkCount_ / blinkDuration_ + 0.5;
        glow_ = static_cast<int32_t>(blinkMaxAlpha_ * std::fabs(std::cos(phase * 3.14)));
    } else {
        glow_ = blinkMaxAlpha_;
    }
    // A speed below 1 would leave the object fading for ever.
    const int speed = IntMax(1, alphaSpeed_);
    switch (state_) {
    case kObjFading:
        alpha_ -= speed;
        if (alpha_ < 1) {
            alpha_ = 0;
            state_ = kObjGone;
            flying_ = 0;
        }
        break;
    case kObjGone:
        if (fixedSprite_ && !flying_) state_ = kObjFadingIn;
        break;
    case kObjFadingIn:
        alpha_ += speed;
        if (alpha_ > 254) {
            alpha_ = 255;
            state_ = kObjDone;
        }
        break;
    default:
        break;
    }
}

Point2i cMiniGameObjectBase::FlightPoint() const {
    Vec2f p;
    bezierPoint(p, flightStart_, flightControl_, flightEnd_, (255 - alpha_) / 255.0f);
    return Point2i(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y));
}

void cMiniGameObjectBase::Draw() {
    if (brokenSprite_) {
        if (state_ == kObjFading && flying_) {
            const Point2i p = FlightPoint();
            grDrawSpriteColor(kAlphaBlend, p.x, p.y, extraSprite_ ? extraSprite_ : brokenSprite_,
                              argb(255, 255, 255, 255), 0);
        } else if (state_ == kObjWanted || state_ == kObjFading) {
            grDrawSpriteColor(kAlphaBlend, brokenX_, brokenY_, brokenSprite_,
                              argb(255, 255, 255, alpha_), 0);
        }
        if (glow_ != 0)
            grDrawSpriteColor(kGlowBlend, brokenX_, brokenY_, brokenSprite_,
                              argb(glow_, glow_, glow_ / 2, glow_), 0);
    }
    if ((state_ == kObjFadingIn || state_ == kObjDone) && fixedSprite_)
        grDrawSpriteColor(kAlphaBlend, fixedX_, fixedY_, fixedSprite_, argb(255, 255, 255, alpha_),
                          0);
    if (hovered_ && state_ == kObjWanted && strokeSprite_)
        grDrawSprite(strokeX_, strokeY_, strokeSprite_, 0);
}

bool cMiniGameObjectBase::HitTestRect(const MgRect& r) {
    if (!brokenSprite_) {
        hovered_ = 0;
        return false;
    }
    const int right = brokenX_ + spriteWidth(brokenSprite_);
    const int bottom = brokenY_ + spriteHeight(brokenSprite_);
    hovered_ = brokenX_ <= r.right && right >= r.left && brokenY_ <= r.bottom && bottom >= r.top;
    return hovered_ != 0;
}

void cMiniGameObjectBase::HitTestPoint(int x, int y) {
    if (!brokenSprite_) {
        hovered_ = 0;
        return;
    }
    hovered_ = brokenX_ < x && x < brokenX_ + spriteWidth(brokenSprite_) && brokenY_ < y &&
               y < brokenY_ + spriteHeight(brokenSprite_);
}

bool cMiniGameObjectBase::Serve() {
    if (state_ != kObjWanted) return false;
    state_ = kObjFading;
    return true;
}

bool cMiniGameObjectBase::FlyTo(const Vec2f& target) {
    if (flying_) return false;
    flying_ = 1;
    flightStart_ = Vec2f(static_cast<float>(brokenX_), static_cast<float>(brokenY_));
    flightEnd_ = target;
    const float cx = flightStart_.x + (flightEnd_.x - flightStart_.x) * 0.4f;
    const float cy = flightStart_.y - 200.0f;
    // The arc stays on the screen.
    flightControl_ = Vec2f(cx > 0.0f ? cx : 0.0f, cy > 0.0f ? cy : 0.0f);
    return true;
}

// --- cFloatingLabel ----------------------------------------------------------------------------

cFloatingLabel::cFloatingLabel(int x, int y, CGraphFont* font, HSPRITE sprite)
    : font_(font), sprite_(sprite), x_(x), y_(y) {
    if (font_) grAddRef(grHandle(font_));
    if (sprite_) grSpriteAddRef(sprite_);
}

cFloatingLabel::~cFloatingLabel() {
    if (font_) grFreeFont(font_);
    if (sprite_) grFreeSprite(sprite_);
}

void cFloatingLabel::SetText(const char16_t* text) {
    int i = 0;
    for (; text && text[i] && i < kTextUnits - 1; ++i) text_[i] = text[i];
    text_[i] = 0;
}

void cFloatingLabel::SetText(const char* text) {
    int i = 0;
    for (; text && text[i] && i < kTextUnits - 1; ++i)
        text_[i] = static_cast<unsigned char>(text[i]);
    text_[i] = 0;
}

void cFloatingLabel::Update(int ms) {
    clock_ += ms;
    y_ -= 2;
    alpha_ = IntMax(0, alpha_ - 2);
}

void cFloatingLabel::Draw() {
    const uint32_t colour = argb(255, 255, 255, alpha_);
    if (font_)
        grDrawTextColor(kTextBlend, font_, x_, y_, 1.0f, 1.0f, text_, colour, 0, -1, -1);
    if (sprite_)
        grDrawSpriteColor(kTextBlend, x_ - spriteWidth(sprite_) - 5, y_ - spriteHeight(sprite_) / 2,
                          sprite_, colour, 0);
}

// --- cDarkness ---------------------------------------------------------------------------------

cDarkness::~cDarkness() {
    spriteFree(&spotSprite_);
    spriteFree(&darknessSprite_);
}

void cDarkness::Load(const char* file) {
    spriteFree(&spotSprite_);
    spriteFree(&darknessSprite_);
    spotSprite_ = iniReadAnimSprite(file, "Darkness", "spotSpr");
    darknessSprite_ = iniReadAnimSprite(file, "Darkness", "darknessSpr");
    spotRadius_ = iniGetInt(file, "Darkness", "spotRadius", 0);
    alpha_ = iniGetInt(file, "Darkness", "alpha", 0);
    position_ = Point2i(-1000, -1000);
}

void cDarkness::Draw() {
    if (!spotSprite_ || !darknessSprite_) return;
    // The target being drawn: the back buffer in the game.
    const int w = spriteWidth(grScreen()), h = spriteHeight(grScreen());
    const int r = spotRadius_;
    const int left = position_.x - r, top = position_.y - r;
    const int right = left + 2 * r, bottom = top + 2 * r;
    const uint32_t colour = argb(255, 255, 255, alpha_);
    auto stretch = [&](HSPRITE sprite, int x, int y, int bw, int bh) {
        grDraw(kAlphaBlend, x, y, bw, bh, sprite, 0, 0, spriteWidth(sprite), spriteHeight(sprite),
               colour, 0);
    };
    if (top > 0) stretch(darknessSprite_, 0, 0, w, top);
    if (bottom < h) stretch(darknessSprite_, 0, bottom, w, h - bottom);
    if (left > 0) stretch(darknessSprite_, 0, top, left, bottom - top);
    if (right < w) stretch(darknessSprite_, right, top, w - right, bottom - top);
    stretch(spotSprite_, left, top, 2 * r, 2 * r);
}

// --- cMiniGameIcon -----------------------------------------------------------------------------

cMiniGameIcon::~cMiniGameIcon() { spriteFree(&sprite_); }

void cMiniGameIcon::Load(const char* file, int id) {
    id_ = id;
    char section[32];
    snprintf(section, sizeof section, "icon_%d", id);
    spriteFree(&sprite_);
    sprite_ = iniReadAnimSprite(file, section, "sprite");
}

void cMiniGameIcon::MoveTo(int x, int y) {
    if (state_ == kCarried) {
        const int w = spriteWidth(sprite_), h = spriteHeight(sprite_);
        rect_ = {x - w / 2, y - h / 2, x + w / 2, y + h / 2};
    } else if (state_ == kHome) {
        rect_ = homeRect_;
    }
}

void cMiniGameIcon::PickUp(int x, int y) {
    if (state_ != kHome) return;
    state_ = kCarried;
    MoveTo(x, y);
}

void cMiniGameIcon::Drop() {
    if (state_ == kUsed) return;
    state_ = kHome;
    rect_ = homeRect_;
}

void cMiniGameIcon::Draw() {
    if (!sprite_) return;
    if (state_ == kHome) {
        const int x = (homeRect_.left + homeRect_.right - spriteWidth(sprite_)) / 2;
        const int y = (homeRect_.top + homeRect_.bottom - spriteHeight(sprite_)) / 2;
        grDrawSpriteColor(kAlphaBlend, x, y, sprite_, 0xFFFFFFFFu, 0);
        if (glow_ != 0)
            grDrawSpriteColor(kGlowBlend, x, y, sprite_, argb(glow_, glow_, glow_ / 2, glow_), 0);
    } else if (state_ == kCarried) {
        grDrawSpriteColor(kAlphaBlend, rect_.left, rect_.top, sprite_, 0xFFFFFFFFu, 0);
    }
}

// --- cMiniGameFace -----------------------------------------------------------------------------

cMiniGameFace::~cMiniGameFace() {
    spriteFree(&cellSprite_);
    spriteFree(&iconSprite_);
    spriteFree(&checkSprite_);
    spriteFree(&faceholderSprite_);
    spriteFree(&happySprite_);
    spriteFree(&angrySprite_);
    delete heartsBar_;
}

void cMiniGameFace::Load(const char* file, int faceIndex) {
    cellSprite_ = iniReadAnimSprite(file, "Request", "cell");
    checkSprite_ = iniReadAnimSprite(file, "Request", "check");
    faceholderSprite_ = iniReadAnimSprite(file, "Request", "faceholder");
    char key[32];
    snprintf(key, sizeof key, "icon_%d", id_);
    iconSprite_ = iniReadAnimSprite(file, key, "sprite");
    snprintf(key, sizeof key, "%d", faceIndex);
    char portrait[256];
    StrCopyN(portrait, iniGetString(file, "Faces", key, ""), sizeof portrait);
    if (*portrait) {
        happySprite_ = iniReadAnimSprite(portrait, "Main", "portrait_happy");
        angrySprite_ = iniReadAnimSprite(portrait, "Main", "portrait_angry");
        StrCopyN(angrySound_, iniGetString(portrait, "Main", "angry_sound", ""), kSoundName);
        StrCopyN(happySound_, iniGetString(portrait, "Main", "happy_sound", ""), kSoundName);
    }
    posX_ = heldPlace(file, "Request", "pos_x");
    posY_ = heldPlace(file, "Request", "pos_y");
    iconX_ = heldPlace(file, "Request", "icon_x");
    iconY_ = heldPlace(file, "Request", "icon_y");
    checkX_ = heldPlace(file, "Request", "check_x");
    checkY_ = heldPlace(file, "Request", "check_y");
    faceX_ = heldPlace(file, "Request", "face_x");
    faceY_ = heldPlace(file, "Request", "face_y");
    faceholderX_ = heldPlace(file, "Request", "faceholder_x");
    faceholderY_ = heldPlace(file, "Request", "faceholder_y");
    // The hearts bar divides by the patience, so it is never below 1 ms.
    const int64_t wait = static_cast<int64_t>(iniGetInt(file, "Request", "wait_time", 0)) +
                         gRandom.IntInclusive(3000);
    waitTime_ = static_cast<int32_t>(wait < 1 ? 1 : (wait > INT32_MAX ? INT32_MAX : wait));
    // A speed below 0 would move the face away from where it goes, for ever.
    moveSpeed_ = heldPlace(file, "Request", "move_speed", 0);
    delete heartsBar_;
    heartsBar_ = CreateChildFromIni(nullptr, file, "HeartsBar", 0, 0);
    if (heartsBar_) {
        heartsBar_->SetValue(1.0f);
        heartsBarOffset_ = Point2i(heartsBar_->x, heartsBar_->y);
    }
    int w = 0;
    grGetMode(&w, &screenHeight_, nullptr, nullptr);
    hurryScale_ = 1.0f;
    Update(0, false);
}

void cMiniGameFace::Enter(int slot, bool stagger) {
    posX_ += (spriteWidth(cellSprite_) + 6) * slot;
    if (stagger) posY_ += slot * moveSpeed_ * 10;
    state_ = kEntering;
}

int cMiniGameFace::GetWantedId() const {
    return state_ == kNew || state_ == kWaiting || state_ == kHurrying ? id_ : -1;
}

void cMiniGameFace::Update(int ms, bool running) {
    const int top = screenHeight_ - spriteHeight(cellSprite_);
    switch (state_) {
    case kEntering:
        if (running) {
            posY_ -= moveSpeed_;
            if (posY_ <= top) {
                posY_ = top;
                state_ = kWaiting;
            }
        }
        break;
    case kHurrying:
    case kWaiting:
        if (state_ == kHurrying && heartsBar_)
            hurryScale_ = static_cast<float>(
                std::fabs(std::sin(heartsBar_->GetValue() * 28 * 3.1415)) * 0.8 + 0.2);
        if (running) {
            waited_ += ms;
            if (heartsBar_)
                heartsBar_->SetValue(static_cast<float>(waitTime_ - waited_) / waitTime_);
        }
        if (waited_ < waitTime_) {
            if (waited_ >= static_cast<int32_t>(static_cast<int64_t>(waitTime_) * 6 / 7))
                state_ = kHurrying;
        } else {
            SetLeaving();
        }
        break;
    case kLeaving:
        posY_ += moveSpeed_;
        if (posY_ >= screenHeight_) {
            posY_ = screenHeight_;
            state_ = kGone;
        }
        break;
    default:
        break;
    }
    if (heartsBar_)
        heartsBar_->Move(posX_ + heartsBarOffset_.x - heartsBar_->x,
                         posY_ + heartsBarOffset_.y - heartsBar_->y);
}

void cMiniGameFace::Draw() {
    const bool angry = (state_ == kHurrying || state_ == kLeaving) && !satisfied_;
    if (cellSprite_) {
        grDrawSprite(posX_, posY_, cellSprite_, 0);
        if (state_ == kHurrying || (state_ == kLeaving && !satisfied_)) {
            const int c = static_cast<int>(255 * hurryScale_);
            grDrawSpriteColor(sMaterial(4, 2, 1, 30), posX_, posY_, cellSprite_,
                              argb(255, c, c, 255), 0);
        }
    }
    HSPRITE portrait = angry ? angrySprite_ : happySprite_;
    if (portrait) grDrawSprite(posX_ + faceX_, posY_ + faceY_, portrait, 0);
    if (faceholderSprite_)
        grDrawSprite(posX_ + faceholderX_, posY_ + faceholderY_, faceholderSprite_, 0);
    if (iconSprite_) grDrawSprite(posX_ + iconX_, posY_ + iconY_, iconSprite_, 0);
    if (satisfied_ && checkSprite_) grDrawSprite(posX_ + checkX_, posY_ + checkY_, checkSprite_, 0);
    if (heartsBar_) heartsBar_->Draw();
}

void cMiniGameFace::playOnce(const char* sound) {
    if (*sound && !soundPlayed_) sndPlay(sound, SND_GROUP_SOUND);
    soundPlayed_ = 1;
}

void cMiniGameFace::PlayHappy() { playOnce(happySound_); }
void cMiniGameFace::PlayAngry() { playOnce(angrySound_); }
