// The effect actor: one sprite drawn with a material, colour, source rectangle, pivot and flips.
#include "anim/fx.h"

#include <cmath>

#include "anim/fx_internal.h"

FxActor::FxActor(const char* spriteName) {
    if (spriteName && *spriteName) sprite_ = grLoadSprite(spriteName, nullptr, 0);
    srcW_ = static_cast<float>(spriteWidth(sprite_));
    srcH_ = static_cast<float>(spriteHeight(sprite_));
}

FxActor* FxActor::Copy() const {
    FxActor* copy = new FxActor(nullptr);
    copy->sprite_ = sprite_ ? grSpriteAddRef(sprite_) : nullptr;
    copy->material_ = material_;
    copy->red_ = red_;
    copy->green_ = green_;
    copy->blue_ = blue_;
    copy->alpha_ = alpha_;
    copy->srcX_ = srcX_;
    copy->srcY_ = srcY_;
    copy->srcW_ = srcW_;
    copy->srcH_ = srcH_;
    copy->centreX_ = centreX_;
    copy->centreY_ = centreY_;
    copy->flipX_ = flipX_;
    copy->flipY_ = flipY_;
    return copy;
}

void FxActor::Free() {
    if (sprite_) grFreeSprite(sprite_);
    sprite_ = nullptr;
}

void FxActor::SetColour(float r, float g, float b, float a) {
    red_ = r;
    green_ = g;
    blue_ = b;
    alpha_ = a;
}

void FxActor::SetCentre(float x, float y) {
    centreX_ = x;
    centreY_ = y;
}

void FxActor::SetFlip(bool x, bool y) {
    flipX_ = x;
    flipY_ = y;
}

void FxActor::SetSourceRect(float x, float y, float w, float h) {
    if (!(x >= 0 && y >= 0 && w >= 0 && h >= 0)) return;
    srcX_ = x;
    srcY_ = y;
    srcW_ = w;
    srcH_ = h;
}

void FxActor::SetSprite(HSPRITE sprite) {
    if (!sprite) return;
    if (sprite_) grFreeSprite(sprite_);
    sprite_ = sprite;
}

uint32_t FxActor::PackedColour() const { return fxPack(red_, green_, blue_, alpha_); }

void FxActor::GetColour(float* r, float* g, float* b, float* a) const {
    *r = red_;
    *g = green_;
    *b = blue_;
    *a = alpha_;
}

void FxActor::GetSourceRect(float* x, float* y, float* w, float* h) const {
    *x = srcX_;
    *y = srcY_;
    *w = srcW_;
    *h = srcH_;
}

void FxActor::DrawAt(float x, float y, float sx, float sy) const {
    if (!sprite_) return;
    const float fx = (flipX_ ? -1.0f : 1.0f) * sx;
    const float fy = (flipY_ ? -1.0f : 1.0f) * sy;
    grDraw(material_, fxTrunc(x - centreX_), fxTrunc(y - centreY_), fxTrunc(srcW_ * fx),
           fxTrunc(srcH_ * fy), sprite_, fxTrunc(srcX_), fxTrunc(srcY_), fxTrunc(srcW_),
           fxTrunc(srcH_), PackedColour(), 0);
}

void FxActor::DrawRotated(float x, float y, float angle, float sx, float sy) const {
    if (!sprite_) return;
    const float fx = (flipX_ ? -1.0f : 1.0f) * sx;
    const float fy = (flipY_ ? -1.0f : 1.0f) * sy;
    const float left = -centreX_ * fx, right = (srcW_ - centreX_) * fx;
    const float top = -centreY_ * fy, bottom = (srcH_ - centreY_) * fy;
    const float cornerX[4] = {left, right, right, left};
    const float cornerY[4] = {top, top, bottom, bottom};
    const float c = std::cos(angle), s = std::sin(angle);
    float px[4], py[4];
    for (int i = 0; i < 4; ++i) {
        px[i] = c * cornerX[i] - s * cornerY[i] + x;
        py[i] = s * cornerX[i] + c * cornerY[i] + y;
    }
    const uint32_t colour = PackedColour();
    SpriteBlt(material_, px[0], py[0], px[1], py[1], px[2], py[2], sprite_, 0, 0, 1, 0, 1, 1,
              colour, 0);
    SpriteBlt(material_, px[0], py[0], px[2], py[2], px[3], py[3], sprite_, 0, 0, 1, 1, 0, 1,
              colour, 0);
}
