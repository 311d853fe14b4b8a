// Screen decorations driven by the fixed update step: icons flying along curves with fading
// trails, sprites pulsing in scale, and texts and sprites that rise or grow while they fade.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/array.h"
#include "core/values.h"
#include "engine/gr/gr.h"

// One flying icon: a quadratic Bezier curve from start to end, walked at one unit of t per
// second, with trail copies a fixed step of t behind the head. Icons are not owned.
struct FlyingTipItem {
    Point2i current{0, 0};  // the head, rounded to whole pixels
    Vec2f start, control, end;
    HSPRITE trailIcon = nullptr;
    HSPRITE headIcon = nullptr;
    float t = 0;
    cArray<Vec2f> trail;
    float trailStep = 0;
    uint32_t age = 0;  // ms
};

// Icons that fly from a point to a target, read from section "FlyingTips" of the file given to
// Load ("plusIcon", "moneyIcon", "minusIcon", "bustIcon" as "file|period|count" sprite texts,
// "trailLength", "trailStep").
class FlyingTips {
public:
    enum Kind { kGain = 0, kLoss = 1, kBust = 2 };

    FlyingTips() = default;
    ~FlyingTips() { Release(); }
    FlyingTips(const FlyingTips&) = delete;
    FlyingTips& operator=(const FlyingTips&) = delete;

    // Loading again releases the icons and items held first. A negative "trailLength" counts as 0.
    void Load(const char* ini);
    // A gain flies the money icon trailed by plus icons; a loss the money icon trailed by minus
    // icons from the target back to the point; the bust icon bends towards the top right corner.
    void Launch(float x, float y, float tx, float ty, int kind);
    // Items whose last trail copy has passed the end are removed; the rest keep their order.
    void Update(int ms);
    void Draw();
    void Clear() { items_.clear(); }
    void Release();

    uint32_t Count() const { return items_.size(); }
    const FlyingTipItem& At(uint32_t i) const { return items_[i]; }
    int TrailLength() const { return trailLength_; }

private:
    cArray<FlyingTipItem> items_;
    HSPRITE plus_ = nullptr, minus_ = nullptr, money_ = nullptr, bust_ = nullptr;
    int trailLength_ = 0;
    float trailStep_ = 0;
};

// A sprite that swells and shrinks between two scales with an additive glow, for a number of
// loops. Keys of its section: "sprite", "maxLoops", "minScale", "maxScale", "maxAlpha", "x", "y",
// "loopTime" (seconds of one swing out and back).
class PulseSprite {
public:
    PulseSprite() = default;
    ~PulseSprite() { Release(); }
    PulseSprite(const PulseSprite&) = delete;
    PulseSprite& operator=(const PulseSprite&) = delete;

    // Read only when both names are given; a sprite held before is freed.
    void Load(const char* ini, const char* section);
    // Does nothing while running. A loop time of 0 or less, or equal scales, give no pulse.
    void Start();
    // dt in seconds. A loop counts when the shrinking scale reaches or passes 1; after the last
    // loop the pulse stops at scale 1.
    void Update(float dt);
    void Draw(uint32_t colour);
    bool IsRunning() const { return running_; }
    void Release();

    float Scale() const { return scale_; }
    int Loops() const { return loops_; }
    // Where the sprite's centre stands; screens move it.
    Vec2f& Position() { return position_; }
    float MaxAlpha() const { return maxAlpha_; }

private:
    bool pulses() const {
        return loopTime_ > 0 && minScale_ != maxScale_ && std::isfinite(loopTime_) &&
               std::isfinite(minScale_) && std::isfinite(maxScale_);
    }

    HSPRITE sprite_ = nullptr;
    int loops_ = 0;
    int maxLoops_ = 0;
    float minScale_ = 0, maxScale_ = 0;
    float scale_ = 1;
    float maxAlpha_ = 0;
    float direction_ = 1;
    Vec2f position_;
    bool running_ = false;
    float loopTime_ = 0;
};

// An item of a CFlyingThingList: it starts opaque where it is made and fades.
class CFlyingThing {
public:
    CFlyingThing(float x, float y) : position(x, y) {}
    virtual ~CFlyingThing() = default;

    virtual void Draw() = 0;
    // True once the item is finished (transparent).
    virtual bool Update(int ms) = 0;

    Vec2f position;
    int alpha = 255;
    uint32_t age = 0;  // ms
};

// A text, with an icon after it, rising 2 pixels and losing 5 of its alpha per update. The font
// and icon are not owned; texts longer than 255 units are cut.
class CFlyUpMoney : public CFlyingThing {
public:
    static constexpr int kTextSize = 256;

    CFlyUpMoney(CGraphFont* font, const char16_t* text, HSPRITE icon, float x, float y,
                ColorRGBA colour);
    void Draw() override;
    bool Update(int ms) override;

    const char16_t* Text() const { return text_; }

private:
    CGraphFont* font_;
    char16_t text_[kTextSize];
    HSPRITE icon_;
    ColorRGBA colour_;
};

// A sprite centred on its point, growing by 0.05 and losing 10 of its alpha per update; extra
// nonzero mirrors it. Holds its own reference to the sprite.
class CScalingObject : public CFlyingThing {
public:
    CScalingObject(HSPRITE sprite, float x, float y, int extra);
    ~CScalingObject() override;
    CScalingObject(const CScalingObject&) = delete;
    CScalingObject& operator=(const CScalingObject&) = delete;
    void Draw() override;
    bool Update(int ms) override;

    float Scale() const { return scale_; }

private:
    HSPRITE sprite_;
    float scale_ = 1.0f;
    int extra_;
};

// An owning list of flying things, drawn in the order they were added.
class CFlyingThingList {
public:
    CFlyingThingList() = default;
    ~CFlyingThingList();
    CFlyingThingList(const CFlyingThingList&) = delete;
    CFlyingThingList& operator=(const CFlyingThingList&) = delete;

    // The newest item standing exactly on the new one's point moves 20 pixels up first, so a
    // second text at one place does not cover the first.
    void Add(CFlyingThing* item);
    // Finished items are deleted.
    void Update(int ms);
    void Draw();

    uint32_t Count() const { return items_.size(); }
    CFlyingThing* At(uint32_t i) const { return items_[i]; }

private:
    cArray<CFlyingThing*> items_;
};
