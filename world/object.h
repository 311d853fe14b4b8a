// The root of every level object: body, request, animation table, state clock, walk mask,
// hover and pulsing highlight, the grow-in reveal and its sparkles.
#pragma once

#include <cstdint>

#include "anim/fx.h"
#include "core/strings.h"
#include "core/values.h"
#include "engine/gr/gr.h"
#include "world/request.h"

class DrawList;
class cMaskGrid;

// Position (the foot point), bounds and walking speed.
struct Body {
    // Non-finite speeds and bounds, and negative speeds, read as 0; every value is held within
    // the coordinates' range (each logged).
    void Load(const char* iniFile, const char* section);
    // Edges count as inside.
    bool Contains(int x, int y) const;

    int32_t rigid = 0;  // bounds are half-extents around position + boundOffset
    Vec2f position, boundOffset, boundSize;
    float speed = 0.0f;  // level pixels per 25 ms update
};

// One animation read from one INI section. Owns its sprites.
struct AnimDesc {
    AnimDesc() = default;
    ~AnimDesc() { Release(); }
    AnimDesc(const AnimDesc&) = delete;
    AnimDesc& operator=(const AnimDesc&) = delete;

    void Load(const char* iniFile, const char* section);
    void Release();

    HSPRITE sprite = nullptr;
    HSPRITE outline = nullptr;
    int32_t spr_x = 0, spr_y = 0;
    int32_t flipx = 1, flipy = 1;  // -1 draws mirrored
    int32_t mirror_x = 0, mirror_y = 0;
    int32_t shadow_x = 0, shadow_y = 0;
    int32_t outline_x = 0, outline_y = 0;
    int32_t reversed = 0;
    int32_t alpha = 255;
    CString section;
};

class cBaseObj {
public:
    cBaseObj();
    virtual ~cBaseObj();
    cBaseObj(const cBaseObj&) = delete;
    cBaseObj& operator=(const cBaseObj&) = delete;

    virtual void Load(const char* iniFile, const char* section);
    virtual void Update(int ms);
    virtual void AddToDrawList(DrawList* list);
    virtual void Draw(DrawList* list);
    virtual void SetState(int n);
    virtual void SetSubState(int n) { subState_ = n; }
    // Same index: nothing changes, not even the mirroring.
    virtual void SetAnimation(int index, bool mirrored);
    virtual bool HitTestPoint(int x, int y);
    virtual void Enable() { enabled_ = 1; }
    virtual void Disable() { enabled_ = 0; }
    virtual bool IsEnabled() const { return enabled_ != 0; }
    virtual void SetHover(bool flag) { hover_ = flag; }

    int GetState() const { return state_; }
    int GetSubState() const { return subState_; }
    int GetStateTime() const { return stateTime_; }
    int GetAnimTime() const { return animTime_; }
    int GetAnimIndex() const { return animIndex_; }
    const char* GetName() const { return name_.c_str(); }
    bool IsVisible() const { return visible_ != 0; }
    void Show() { visible_ = 1; }
    void Hide() { visible_ = 0; }
    bool IsHovered() const { return hover_ != 0; }
    bool IsHighlighted() const { return highlighted_ != 0; }
    void SetHighlighted(bool flag);
    int GetPulse() const { return pulse_; }
    float GetGrow() const { return grow_; }
    void SetGrow(float grow) { grow_ = grow; }
    int GetAlpha() const { return alpha_; }
    void SetAlpha(int alpha) { alpha_ = alpha; }
    // Builds the walk mask from "mask", "mask_x" and "mask_y"; see cLevelObj for the map.
    void LoadMask(const char* iniFile, const char* section);
    const cMaskGrid* GetMask() const { return mask_; }

    Body& GetBody() { return body_; }
    const Body& GetBody() const { return body_; }
    cRequest& GetRequest() { return request_; }
    const cRequest& GetRequest() const { return request_; }
    Point2i GetRequestPoint() const { return requestPoint_; }
    // The current animation; null without a table.
    AnimDesc* CurrentAnim() const {
        return anims_ && animIndex_ < animCount_ ? &anims_[animIndex_] : nullptr;
    }
    AnimDesc* Anim(int i) const {
        return anims_ && i >= 0 && i < animCount_ ? &anims_[i] : nullptr;
    }
    int AnimCount() const { return animCount_; }

protected:
    // A fresh table of n records (the old one freed).
    void AllocAnims(int n);

    Body body_;
    cRequest request_;
    int32_t animIndex_;
    AnimDesc* anims_;
    int32_t animCount_;
    int32_t state_, subState_, stateTime_, animTime_;
    CString name_;
    cMaskGrid* mask_;
    uint8_t hover_;
    int32_t enabled_;
    HSPRITE extraSprite_;
    Point2i requestPoint_, extraPoint_;
    uint8_t visible_, highlighted_;
    float pulsePhase_;
    int32_t pulse_;
    float grow_;
    FxEmitter growFx_;
    int32_t alpha_;
    // Plain level objects draw through the base only while their first animation is current.
    bool baseDrawsFirstAnimOnly_;
};
