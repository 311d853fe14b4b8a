// The pieces mini-games are made of: clickable objects that blink, glow, fade or fly when served;
// rising coin and penalty labels; the darkness with a spotlight at the mouse; and the icons the
// player carries in the matching game. All are plain objects owned by their mini-game, updated
// once per 25 ms step.
#pragma once

#include <cstdint>

#include "core/values.h"
#include "engine/gr/gr.h"

class UIWnd;

// A rectangle by its edges, all of them inside it.
struct MgRect {
    int32_t left, top, right, bottom;
    bool Contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// Object states.
enum {
    kObjWanted = 0,   // waits to be served
    kObjFading = 1,   // served: fading out, or flying
    kObjGone = 2,     // invisible
    kObjFadingIn = 3, // the fixed look fades in
    kObjDone = 4,     // not wanted, or repaired
};

// One object of a mini-game scene with four looks read from sections of the mini-game's file:
// "broken_<n>" (before service, the hit box), "<n>" (fixed), "stroke_<n>" (hover outline) and
// "extra_<n>" (carried along a flight).
class cMiniGameObjectBase {
public:
    cMiniGameObjectBase() = default;
    virtual ~cMiniGameObjectBase();
    cMiniGameObjectBase(const cMiniGameObjectBase&) = delete;
    cMiniGameObjectBase& operator=(const cMiniGameObjectBase&) = delete;

    virtual void Load(const char* file, int number);
    virtual void Update(int ms);
    virtual void Draw();
    // Both tests set the hovered flag; without a broken look nothing is ever hovered.
    virtual bool HitTestRect(const MgRect& rect);
    virtual void HitTestPoint(int x, int y);
    virtual bool IsHovered() const { return hovered_ != 0; }
    // Only a wanted object can be served, and only once.
    virtual bool Serve();

    void SetWanted(bool wanted) { state_ = wanted ? kObjWanted : kObjDone; }
    void SetGlowEnabled(bool on) { glowEnabled_ = on ? 1 : 0; }
    // Starts an arc from the broken look's corner to target; false while already flying.
    bool FlyTo(const Vec2f& target);

    bool IsAvailable() const { return state_ == kObjWanted; }
    bool IsFading() const { return state_ == kObjFading; }
    bool IsGone() const { return state_ == kObjGone; }
    bool IsFadingIn() const { return state_ == kObjFadingIn; }
    bool IsDone() const { return state_ == kObjDone; }
    bool IsFlying() const { return flying_ != 0; }
    void Hide() {
        state_ = kObjGone;
        alpha_ = 0;
    }
    int GetState() const { return state_; }
    int GetNumber() const { return number_; }
    int GetGlow() const { return glow_; }
    int GetAlpha() const { return alpha_; }
    void ResetBlink() { blinkClock_ = 0; }
    int GetBlinkDuration() const { return blinkDuration_; }
    bool IsBlinkOver() const { return blinkClock_ > blinkDuration_; }
    Point2i FixedPos() const { return Point2i(fixedX_, fixedY_); }
    Point2i BrokenPos() const { return Point2i(brokenX_, brokenY_); }
    Vec2f FlightControl() const { return flightControl_; }
    // Where a flying object is drawn now.
    Point2i FlightPoint() const;

protected:
    HSPRITE brokenSprite_ = nullptr, strokeSprite_ = nullptr, fixedSprite_ = nullptr,
            extraSprite_ = nullptr;
    int32_t brokenX_ = 0, brokenY_ = 0, strokeX_ = 0, strokeY_ = 0, fixedX_ = 0, fixedY_ = 0,
            extraX_ = 0, extraY_ = 0;
    uint8_t flying_ = 0;
    Vec2f flightStart_, flightControl_, flightEnd_;
    uint8_t hovered_ = 0;
    uint8_t glowEnabled_ = 1;
    int32_t number_ = 0;
    int32_t alpha_ = 255;
    int32_t alphaSpeed_ = 0;
    int32_t blinkMaxAlpha_ = 0, blinkClock_ = 0, blinkDuration_ = 0, blinkCount_ = 0;
    int32_t glow_ = 0;
    int32_t state_ = kObjDone;
};

// A text with an optional icon left of it that rises 2 pixels and fades by 2 every update,
// finished after 128 updates. Holds a reference on its font and sprite.
class cFloatingLabel {
public:
    static constexpr int kTextUnits = 256;

    cFloatingLabel(int x, int y, CGraphFont* font, HSPRITE sprite);
    ~cFloatingLabel();
    cFloatingLabel(const cFloatingLabel&) = delete;
    cFloatingLabel& operator=(const cFloatingLabel&) = delete;

    // Cut to 255 units.
    void SetText(const char16_t* text);
    void SetText(const char* text);
    void Update(int ms);
    bool IsFinished() const { return alpha_ == 0; }
    void Draw();
    Point2i GetPoint() const { return Point2i(x_, y_); }
    int Alpha() const { return alpha_; }
    int Clock() const { return clock_; }
    const char16_t* Text() const { return text_; }

private:
    CGraphFont* font_;
    HSPRITE sprite_;
    int32_t x_, y_;
    int32_t alpha_ = 255;
    int32_t clock_ = 0;
    char16_t text_[kTextUnits] = {};
};

// The screen darkened around a round spotlight: four stretched bands of the darkness picture
// around the stretched spot picture.
class cDarkness {
public:
    cDarkness() = default;
    ~cDarkness();
    cDarkness(const cDarkness&) = delete;
    cDarkness& operator=(const cDarkness&) = delete;

    // Section "Darkness": "spotSpr", "darknessSpr", "spotRadius", "alpha".
    void Load(const char* file);
    void SetPosition(Point2i p) { position_ = p; }
    Point2i Position() const { return position_; }
    // Nothing unless both pictures are loaded.
    void Draw();

private:
    HSPRITE spotSprite_ = nullptr, darknessSprite_ = nullptr;
    Point2i position_{-1000, -1000};
    int32_t spotRadius_ = 0;
    int32_t alpha_ = 0;
};

// An icon of the matching game: it rests centred in its home cell, follows the pointer while
// carried and disappears once used on its object.
class cMiniGameIcon {
public:
    enum { kHome = 0, kCarried = 1, kUsed = 2 };

    cMiniGameIcon() = default;
    ~cMiniGameIcon();
    cMiniGameIcon(const cMiniGameIcon&) = delete;
    cMiniGameIcon& operator=(const cMiniGameIcon&) = delete;

    // Section "icon_<id>", key "sprite".
    void Load(const char* file, int id);
    void SetHome(const MgRect& r) {
        homeRect_ = r;
        rect_ = r;
    }
    void MoveTo(int x, int y);
    // Only from home.
    void PickUp(int x, int y);
    // Home again unless used.
    void Drop();
    void MarkUsed() { state_ = kUsed; }
    void SetGlow(int alpha) { glow_ = alpha; }
    const MgRect& GetRect() const { return rect_; }
    int GetId() const { return id_; }
    int GetState() const { return state_; }
    void Draw();

private:
    HSPRITE sprite_ = nullptr;
    MgRect homeRect_ = {0, 0, 0, 0};
    MgRect rect_ = {0, 0, 0, 0};
    int32_t id_ = 0;
    int32_t glow_ = 0;
    int32_t state_ = kHome;
};

// A customer of the shop counter: it rises into its place, shows the product it wants in a
// bubble, loses patience on a hearts bar (hurrying after 6/7 of it) and leaves happy when served
// or angry when its patience ran out, making one sound at most.
class cMiniGameFace {
public:
    enum { kNew = 0, kEntering = 1, kWaiting = 2, kHurrying = 3, kLeaving = 4, kGone = 5 };
    static constexpr int kSoundName = 513;

    explicit cMiniGameFace(int id) : id_(id) {}
    ~cMiniGameFace();
    cMiniGameFace(const cMiniGameFace&) = delete;
    cMiniGameFace& operator=(const cMiniGameFace&) = delete;

    // The bubble, the portrait file named under "Faces" by faceIndex and the keys of "Request".
    void Load(const char* file, int faceIndex);
    // Moves into place slot; staggered slots start lower and so arrive later.
    void Enter(int slot, bool stagger);
    // running: the game is starting or being played; patience only runs then.
    void Update(int ms, bool running);
    void Draw();
    // The wanted object's number while it waits; -1 while entering, leaving or gone.
    int GetWantedId() const;
    Point2i GetIconPoint() const { return Point2i(posX_ + iconX_, posY_ + iconY_); }
    void SetSatisfied() { satisfied_ = 1; }
    bool IsSatisfied() const { return satisfied_ != 0; }
    void SetLeaving() { state_ = kLeaving; }
    bool IsLeaving() const { return state_ == kLeaving; }
    bool IsGone() const { return state_ == kGone; }
    void PlayHappy();
    void PlayAngry();

    int GetState() const { return state_; }
    int WaitTime() const { return waitTime_; }
    int Waited() const { return waited_; }
    Point2i Position() const { return Point2i(posX_, posY_); }
    UIWnd* HeartsBar() const { return heartsBar_; }

private:
    void playOnce(const char* sound);

    HSPRITE cellSprite_ = nullptr, iconSprite_ = nullptr, checkSprite_ = nullptr,
            faceholderSprite_ = nullptr;
    UIWnd* heartsBar_ = nullptr;
    HSPRITE happySprite_ = nullptr, angrySprite_ = nullptr;
    char angrySound_[kSoundName] = {}, happySound_[kSoundName] = {};
    int32_t posX_ = 0, posY_ = 0, iconX_ = 0, iconY_ = 0, checkX_ = 0, checkY_ = 0, faceX_ = 0,
            faceY_ = 0, faceholderX_ = 0, faceholderY_ = 0;
    int32_t screenHeight_ = 0;
    float hurryScale_ = 1.0f;
    int32_t moveSpeed_ = 0;
    int32_t id_;
    int32_t waited_ = 0, waitTime_ = 1;
    uint8_t satisfied_ = 0;
    uint8_t soundPlayed_ = 0;
    Point2i heartsBarOffset_{0, 0};
    int32_t state_ = kNew;
};
