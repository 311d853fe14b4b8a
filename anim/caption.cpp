// Bouncing letters: falling under gravity, bouncing on the floor, resting, fading and leaving.
#include "anim/caption.h"

#include <cmath>

#include "anim/fx_internal.h"
#include "core/array.h"
#include "core/values.h"
#include "engine/data/ini.h"

namespace {

constexpr int kKindTranslated = 4;
constexpr uint32_t kRestMs = 600;
uint32_t gCaptionSeed = 1;

}  // namespace

void captionSeedRandom(uint32_t seed) { gCaptionSeed = seed; }

int captionRandom() {
    gCaptionSeed = gCaptionSeed * 214013u + 2531011u;
    return static_cast<int>((gCaptionSeed >> 16) & 0x7FFF);
}

void BounceLetter::Update(int ms) {
    age += static_cast<uint32_t>(ms);
    if (state == kFalling) {
        velocity += ms * gravity / 100;
        const float move = ms * velocity / 1000;
        y += move;
        if (y > floor) {
            y -= move;
            velocity = -bounce * velocity;
        }
        if (std::fabs(y - floor) <= 5 && std::fabs(velocity) <= 30) {
            age = 0;
            velocity = 0;
            state = kResting;
        }
    } else if (state == kResting && age >= kRestMs) {
        velocity += gravity;
        const float fade = velocity / 30;
        if (fade > 255 || y >= 768 || y <= -50 || x >= 1024 || x <= -50 || 255 - fade <= 0)
            state = kGone;
    }
}

void cBounceText::FreeFont() {
    if (font_) grFreeFont(font_);
    font_ = nullptr;
}

void cBounceText::Start(CGraphFont* font, const char* key, int kind) {
    const char16_t* text = u"";
    if (kind == kKindTranslated && key) text = iniGetWideGlobal("Data/translation.ini", key);
    layOut(font, text);
}

void cBounceText::StartWide(CGraphFont* font, const char16_t* text, int) { layOut(font, text); }

void cBounceText::layOut(CGraphFont* font, const char16_t* text) {
    // The new reference first: the font may be the one held.
    if (font) grSpriteAddRef(grHandle(font));
    FreeFont();
    font_ = font;
    count_ = 0;
    if (text)
        for (; count_ < kMaxLetters && text[count_]; ++count_) text_[count_] = text[count_];
    text_[count_] = 0;
    int bits = 0, full = 0;
    grGetMode(&displayWidth_, &displayHeight_, &bits, &full);

    int total = 0;
    for (int i = 0; i < count_; ++i) {
        BounceLetter& l = letters_[i];
        l = BounceLetter();
        l.character = text_[i];
        l.glyphWidth = grTextWidth(font_, &text_[i], 1);
        l.glyphHeight = grFontHeight(font_);
        l.velocity = 800.0f;
        const int r = IntMax(captionRandom() - 1, 0);
        l.y = -50.0f - i * 20.0f * r / 32767.0f;
        total += l.glyphWidth;
    }
    if (count_ > 0)
        letters_[0].x = static_cast<float>(displayWidth_ / 2 - ((count_ - 2) * 2 + total) / 2 - 1);
    for (int i = 1; i < count_; ++i)
        letters_[i].x = static_cast<float>(static_cast<int>(letters_[i - 1].x) +
                                           letters_[i - 1].glyphWidth + 2);
    Reset();
}

void cBounceText::Go() {
    state_ = kPlaying;
    for (int i = 0; i < count_; ++i) {
        letters_[i].floor = floor_;
        letters_[i].state = BounceLetter::kFalling;
    }
}

void cBounceText::Reset() {
    state_ = kIdle;
    for (int i = 0; i < count_; ++i) letters_[i].state = BounceLetter::kIdle;
}

bool cBounceText::Update(int ms) {
    if (state_ != kPlaying) return false;
    // A line without letters (a missing translation) would never end by itself.
    if (count_ == 0) {
        Reset();
        return true;
    }
    for (int i = 0; i < count_; ++i) letters_[i].Update(ms);
    state_ = kEmpty;
    for (int i = 0; i < count_; ++i) {
        const int s = letters_[i].state;
        if (s == BounceLetter::kFalling || s == BounceLetter::kResting) state_ = kPlaying;
        if (s == BounceLetter::kGone) {
            Reset();
            return true;
        }
    }
    return false;
}

void cBounceText::Draw() {
    if (state_ != kPlaying || !font_) return;
    const sMaterial material(2, 4, 1, 30);
    for (int i = 0; i < count_; ++i) {
        const BounceLetter& l = letters_[i];
        if (l.state != BounceLetter::kFalling && l.state != BounceLetter::kResting) continue;
        float alpha = 255 - l.velocity / 30;
        if (!(alpha > 0)) alpha = 0;
        const char16_t one[2] = {l.character, 0};
        grDrawTextColor(material, font_, fxTrunc(l.x), fxTrunc(l.y), 1.0f, 1.0f, one,
                        ColorRGBA(255, 255, 255, fxTrunc(alpha)).Argb(), 1, -1, 0);
    }
}

cBounceText& cBounceCaption::nextLine() { return lines_[0].IsIdle() ? lines_[0] : lines_[1]; }

void cBounceCaption::SetText(CGraphFont* font, const char* key, int kind) {
    nextLine().Start(font, key, kind);
}

void cBounceCaption::SetTextW(CGraphFont* font, const char16_t* text, int kind) {
    nextLine().StartWide(font, text, kind);
}

void cBounceCaption::Start() { nextLine().Go(); }

bool cBounceCaption::Update(int ms) {
    lines_[0].Update(ms);
    lines_[1].Update(ms);
    return true;
}

void cBounceCaption::Draw() {
    lines_[0].Draw();
    lines_[1].Draw();
}

void cBounceCaption::Reset() {
    lines_[0].Reset();
    lines_[1].Reset();
}

void cBounceCaption::FreeFonts() {
    lines_[0].FreeFont();
    lines_[1].FreeFont();
}
