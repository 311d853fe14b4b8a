// Walking along walk-map paths, the walk direction and the shadow.
#include "world/moving.h"

#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "world/draw_list.h"
#include "world/walkmap.h"

const char* const cMovingObj::kWalkNames[kWalkAnims] = {
    "WalkLeft",  "WalkUpLeft",    "WalkUp",   "WalkUpRight",
    "WalkRight", "WalkDownRight", "WalkDown", "WalkDownLeft"};

namespace {

int sign(float v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Walk direction codes by the signs of the step (x, then y; y grows downward).
const int kDirBySign[3][3] = {
    {2, 1, 8},  // x < 0: up-left, left, down-left
    {3, 0, 7},  // x = 0: up, none, down
    {4, 5, 6},  // x > 0: up-right, right, down-right
};

}  // namespace

// Room for a path across a whole floor, so that a walker's first long path in play allocates
// nothing.
constexpr uint32_t kPathRoom = 128;

cMovingObj::cMovingObj() : pathIndex_(0), walkDir_(0), shadow_(nullptr), basePoint_(0, 0) {
    path_.reserve(kPathRoom);
}

cMovingObj::~cMovingObj() { spriteFree(&shadow_); }

void cMovingObj::Load(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    if (!fileExists(iniFile)) {
        logPrintf("%s: cannot be read; the walker keeps its defaults\n", iniFile);
        return;
    }
    body_.Load(iniFile, "Main");
    if (animCount_ < kWalkAnims) AllocAnims(kWalkAnims);
    for (int i = 0; i < kWalkAnims; ++i)
        if (!anims_[i].sprite) anims_[i].Load(iniFile, kWalkNames[i]);
    spriteFree(&shadow_);
    const char* shadow = iniGetString(iniFile, "Main", "shadow_spr", "");
    if (*shadow) shadow_ = grLoadSprite(shadow, nullptr, 0);
}

void cMovingObj::arrive(int arrivalState) {
    SetState(arrivalState);
    if (arrivalState == 1) request_.SetWaiting();
    SetSubState(0);
    walkDir_ = 0;
}

void cMovingObj::WalkTo(Point2i target, int arrivalState, int walkState) {
    cWalkMap* map = cWalkMap::Current();
    if (map)
        map->FindPath(path_, body_.position.ToPoint2i(), target);
    else
        path_.clear();
    if (path_.size() > 0) {
        SetState(walkState);
        SetSubState(arrivalState);
        pathIndex_ = 0;
    } else {
        // Arriving without a walk does what arriving by walking does.
        arrive(arrivalState);
    }
}

void cMovingObj::Update(int ms) {
    cBaseObj::Update(ms);
    if (state_ != 2) return;
    const int n = static_cast<int>(path_.size());
    cWalkMap* map = cWalkMap::Current();
    if (pathIndex_ >= n || !map) {
        arrive(subState_);
        return;
    }
    auto pointOf = [&](int i) { return map->CellToScreenF(path_[IntMin(i, n - 1)]); };
    Vec2f t = pointOf(pathIndex_ + 1);
    const float speed = body_.speed;
    for (;;) {
        const Vec2f d = t - body_.position;
        if (static_cast<float>(roundToInt(d.x * d.x + d.y * d.y)) > speed * speed) break;
        ++pathIndex_;
        if (pathIndex_ > n - 1) break;
        t = pointOf(pathIndex_ + 1);
    }
    Vec2f dir = t - body_.position;
    dir.Normalize();
    if (pathIndex_ < n)
        body_.position = body_.position + dir.Scaled(speed);
    else
        body_.position = t;

    Vec2f d(0, 0);
    for (int i = IntMax(pathIndex_ - 1, 0); i < IntMin(pathIndex_ + 1, n); ++i) {
        const Point2i a = path_[i], b = path_[IntMin(i + 1, n - 1)];
        d = d + Vec2f(static_cast<float>(b.x - a.x), static_cast<float>(b.y - a.y));
    }
    walkDir_ = kDirBySign[sign(d.x) + 1][sign(d.y) + 1];
}

void cMovingObj::Draw(DrawList* list) {
    if (!list) return;
    const AnimDesc* r = CurrentAnim();
    if (shadow_ && r) {
        const Point2i p = list->ToScreen(
            Vec2f(body_.position.x + r->shadow_x, body_.position.y + r->shadow_y).ToPoint2i());
        const int w = spriteWidth(shadow_), h = spriteHeight(shadow_);
        grDraw(sMaterial(4, 4, 1, 30), p.x, p.y, static_cast<int>(w * list->scale.x),
               static_cast<int>(h * list->scale.y), shadow_, 0, 0, w, h,
               ColorRGBA(255, 255, 255, IntMin(r->alpha, alpha_)).Argb(), animTime_);
    }
    cBaseObj::Draw(list);
}
