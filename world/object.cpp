// Body reading and hit tests, animation records, and the base object's update, drawing and mask.
#include "world/object.h"

#include <cmath>
#include <cstring>

#include "core/array.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/walkmap.h"

namespace {

constexpr float kGrowMs = 2000.0f;
constexpr float kPulseMs = 400.0f;
constexpr float kHalfPi = 1.5707964f;

// A finite value held within the coordinates' range, else 0, with a log line naming where it
// came from.
float heldValue(float v, const char* file, const char* section, const char* key) {
    if (std::isfinite(v)) return heldCoordinate(v, file, section, key);
    logPrintf("%s [%s] \"%s\": not a finite number; 0 taken\n", file, section, key);
    return 0.0f;
}

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

// --- Body --------------------------------------------------------------------------------------

void Body::Load(const char* iniFile, const char* section) {
    rigid = iniGetInt(iniFile, section, "rigid_body", 0);
    position = Vec2f(static_cast<float>(iniGetCoordinate(iniFile, section, "x")),
                     static_cast<float>(iniGetCoordinate(iniFile, section, "y")));
    static const char* const kBoundKeys[4] = {"bound_x", "bound_y", "bound_w", "bound_h"};
    float bounds[4];
    for (int i = 0; i < 4; ++i)
        bounds[i] = heldValue(iniGetFloat(iniFile, section, kBoundKeys[i], 0.0f), iniFile, section,
                              kBoundKeys[i]);
    boundOffset = Vec2f(bounds[0], bounds[1]);
    boundSize = Vec2f(bounds[2], bounds[3]);
    speed = heldValue(iniGetFloat(iniFile, section, "speed", 0.0f), iniFile, section, "speed");
    if (speed < 0) {
        logPrintf("%s [%s] \"speed\": %g is negative; 0 taken\n", iniFile, section, speed);
        speed = 0.0f;
    }
}

bool Body::Contains(int x, int y) const {
    const float px = static_cast<float>(x), py = static_cast<float>(y);
    const float left = position.x + boundOffset.x, top = position.y + boundOffset.y;
    if (rigid) {
        const float dx = px - left, dy = py - top;
        return dx * dx <= boundSize.x * boundSize.x && dy * dy <= boundSize.y * boundSize.y;
    }
    return left <= px && px <= left + boundSize.x && top <= py && py <= top + boundSize.y;
}

// --- AnimDesc ----------------------------------------------------------------------------------

void AnimDesc::Release() {
    spriteFree(&sprite);
    spriteFree(&outline);
}

void AnimDesc::Load(const char* iniFile, const char* section) {
    Release();
    this->section = section;
    sprite = iniReadAnimSprite(iniFile, section, "sprite");
    if (sprite)
        grSetFrames(sprite, IntClamp(iniGetInt(iniFile, section, "period", 0), 1, 65535),
                    IntMax(1, iniGetInt(iniFile, section, "frames", 0)));
    outline = iniReadAnimSprite(iniFile, section, "outline");
    if (outline)
        grSetFrames(outline, IntClamp(iniGetInt(iniFile, section, "outline_period", 0), 1, 65535),
                    IntMax(1, iniGetInt(iniFile, section, "outline_frames", 0)));
    spr_x = iniGetCoordinate(iniFile, section, "spr_x");
    spr_y = iniGetCoordinate(iniFile, section, "spr_y");
    flipx = iniGetInt(iniFile, section, "flipx", 0) ? -1 : 1;
    flipy = iniGetInt(iniFile, section, "flipy", 0) ? -1 : 1;
    mirror_x = iniGetCoordinate(iniFile, section, "mirror_x");
    mirror_y = iniGetCoordinate(iniFile, section, "mirror_y");
    shadow_x = iniGetCoordinate(iniFile, section, "shadow_x");
    shadow_y = iniGetCoordinate(iniFile, section, "shadow_y");
    outline_x = iniGetCoordinate(iniFile, section, "outline_x");
    outline_y = iniGetCoordinate(iniFile, section, "outline_y");
    reversed = iniGetInt(iniFile, section, "reversed", 0);
}

// --- cBaseObj ----------------------------------------------------------------------------------

cBaseObj::cBaseObj()
    : animIndex_(0),
      anims_(nullptr),
      animCount_(0),
      state_(0),
      subState_(0),
      stateTime_(0),
      animTime_(0),
      mask_(nullptr),
      hover_(0),
      enabled_(0),
      extraSprite_(nullptr),
      requestPoint_(0, 0),
      extraPoint_(0, 0),
      visible_(1),
      highlighted_(0),
      pulsePhase_(0),
      pulse_(0),
      grow_(1.0f),
      alpha_(255),
      baseDrawsFirstAnimOnly_(false) {}

cBaseObj::~cBaseObj() {
    delete[] anims_;
    deleteAndNull(mask_);
    spriteFree(&extraSprite_);
    growFx_.Release();
}

void cBaseObj::AllocAnims(int n) {
    delete[] anims_;
    anims_ = n > 0 ? new AnimDesc[n] : nullptr;
    animCount_ = n > 0 ? n : 0;
}

void cBaseObj::Load(const char*, const char*) {}

void cBaseObj::SetState(int n) {
    state_ = n;
    stateTime_ = 0;
}

void cBaseObj::SetAnimation(int index, bool mirrored) {
    if (index == animIndex_) return;
    animIndex_ = index;
    animTime_ = 0;
    if (AnimDesc* r = CurrentAnim()) {
        r->flipx = mirrored ? -1 : 1;
        r->mirror_x = mirrored ? 1 : 0;
    }
}

bool cBaseObj::HitTestPoint(int x, int y) {
    hover_ = body_.Contains(x, y);
    return hover_ != 0;
}

void cBaseObj::SetHighlighted(bool flag) {
    highlighted_ = flag;
    if (!flag) pulsePhase_ = 0;
}

void cBaseObj::AddToDrawList(DrawList* list) {
    if (visible_ && list && list->IsOnScreen(this)) list->Add(this);
}

void cBaseObj::Update(int ms) {
    stateTime_ += ms;
    animTime_ += ms;
    if (grow_ < 1.0f) {
        grow_ += ms / kGrowMs;
        if (const AnimDesc* r = CurrentAnim()) {
            const Vec2f edge(r->spr_x + body_.position.x + spriteWidth(r->sprite) / 2,
                             r->spr_y + body_.position.y +
                                 (1 - grow_) * spriteHeight(r->sprite) * r->flipy - 10);
            if (!growFx_.IsAlive()) growFx_.StartAt(edge);
            growFx_.SetPosition(edge);
        }
    }
    // 80 steps of 25 ms fall a hair short of 1 in floats: a reveal that close is complete.
    if (grow_ >= 1.0f - 1e-4f) {
        grow_ = 1.0f;
        growFx_.Stop(false);
    }
    growFx_.Update(ms);
    if (!highlighted_ && pulse_ < 1) {
        pulse_ = 0;
        return;
    }
    pulsePhase_ += ms / kPulseMs;
    // A cleared highlight fades out over the first quarter turn; 25 ms steps never land the
    // rounded glow exactly on 0, so it ends there rather than rising again.
    if (!highlighted_ && pulsePhase_ >= kHalfPi) {
        pulse_ = 0;
        return;
    }
    pulse_ = roundToInt(std::fabs(std::cos(pulsePhase_)) * 64);
}

void cBaseObj::Draw(DrawList* list) {
    if (!list) return;
    if (baseDrawsFirstAnimOnly_ && animIndex_ > 0) return;
    const AnimDesc* r = CurrentAnim();
    if (!r || !r->sprite) return;
    HSPRITE s = r->sprite;
    const int w = spriteWidth(s), h = spriteHeight(s);
    Point2i o(r->spr_x, r->spr_y);
    if (r->mirror_x) o.x = -(r->spr_x + w);
    if (r->mirror_y) o.y = -(r->spr_y + h);
    const Point2i p =
        list->ToScreen(Vec2f(body_.position.x + o.x, body_.position.y + o.y).ToPoint2i());
    const int dw = static_cast<int>(w * list->scale.x * r->flipx);
    const int dh = static_cast<int>(h * list->scale.y * r->flipy);
    int t = animTime_;
    if (r->reversed) {
        const int period = IntMax(1, grSpriteTime(s));
        t = period - (animTime_ % period) - 1;
    }
    const uint32_t colour = ColorRGBA(255, 255, 255, r->alpha).Argb();
    if (grow_ >= 1.0f) {
        grDraw(sMaterial(2, 4, 1, 30), p.x, p.y, dw, dh, s, 0, 0, w, h, colour, t);
    } else {
        // Rounded, so that a reveal at a float's breadth from one half shows that half.
        const float hidden = 1 - grow_;
        grDraw(sMaterial(2, 4, 1, 30), p.x, p.y + roundToInt(hidden * dh), dw,
               roundToInt(dh * grow_), s, 0, roundToInt(hidden * h), w, roundToInt(h * grow_),
               colour, t);
    }
    if (highlighted_ && pulse_ != 0)
        grDraw(sMaterial(7, 2, 1, 30), p.x, p.y, dw, dh, s, 0, 0, w, h,
               ColorRGBA(pulse_, pulse_, pulse_, r->alpha).Argb(), t);
    growFx_.Draw();
}

void cBaseObj::LoadMask(const char* iniFile, const char* section) {
    const char* text = iniGetString(iniFile, section, "mask", nullptr);
    if (!text) return;
    // Rows end at ',', white space or the end; after white space only a ',' carries on.
    struct Row {
        const char* start;
        int length;
    };
    cArray<Row> rows;
    const char* c = text;
    int width = 0;
    for (;;) {
        const char* start = c;
        while (*c && *c != ',' && !isWhite(*c)) ++c;
        const int length = static_cast<int>(c - start);
        if (length > 0) {
            rows.push_back(Row{start, length});
            width = IntMax(width, length);
        }
        while (isWhite(*c)) ++c;
        if (*c != ',') break;
        ++c;
    }
    const int height = static_cast<int>(rows.size());
    if (width == 0 || height == 0) return;
    deleteAndNull(mask_);
    mask_ = new cMaskGrid(width, height, Point2i(0, 0));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask_->CellRef(x, y) = (x < rows[y].length && rows[y].start[x] != '0') ? 64 : 1;
    mask_->SetOrigin(iniGetPoint(iniFile, section, "mask_x", "mask_y"));
}
