// The cash desk: ordered check-outs, its bounce and its drawing.
#include "world/cash.h"

#include "anim/flying.h"
#include "engine/gr/gr_util.h"
#include "world/draw_list.h"
#include "world/links.h"

namespace {

// Scale change per ms of a bounce.
constexpr float kBounceRate = 0.15f / 0.1f / 1000.0f;
// Where flung money flies: the cash counter.
const Vec2f kCounterPoint(50, 20);
constexpr int kMarkSpacing = 10;

}  // namespace

cCash::cCash()
    : ordered_(0), bounces_(0), scaleX_(1.0f), scaleY_(1.0f), phase_(kAtRest) {}

cLevelObj* cCash::Make(const char* objectsFile, const char* section, const char*, int,
                       const ObjectItemInfo*) {
    cCash* cash = new cCash();
    cash->Load(objectsFile, section);
    return cash;
}

void cCash::Enable() {
    GameLink* game = worldGame();
    if (!game) return;
    ordered_ = IntMin(ordered_ + 1,
                      IntMin(game->CountCheckOutRequests(), game->GetCheckOutPlaceCount()));
}

void cCash::Disable() { ordered_ = IntMax(ordered_ - 1, 0); }

bool cCash::IsActionable() {
    GameLink* game = worldGame();
    if (!game) return false;
    const int n = game->CountCheckOutRequests();
    return n > 0 && n > ordered_ && game->GetCheckOutPlaceCount() > ordered_;
}

int cCash::PlayAction(int) {
    PickUp();
    return 1;
}

void cCash::PickUp() {
    scaleX_ = scaleY_ = 1.0f;
    phase_ = kSquashing;
    bounces_ = 0;
    if (FlyingTips* tips = worldFlyingTips()) {
        const AnimDesc* r = CurrentAnim();
        const Vec2f from = body_.position + (r ? Vec2f(static_cast<float>(r->spr_x),
                                                       static_cast<float>(r->spr_y))
                                               : Vec2f(0, 0));
        tips->Launch(from.x, from.y, kCounterPoint.x, kCounterPoint.y, FlyingTips::kBust);
    }
    worldPlaySound("pickup_money");
}

void cCash::Update(int ms) {
    if (phase_ == kAtRest) return;
    if (phase_ == kSquashing && bounces_ >= 2 && scaleY_ <= 1.0f) {
        phase_ = kAtRest;
        scaleX_ = scaleY_ = 1.0f;
        bounces_ = 0;
        return;
    }
    // Squashing shrinks the height and widens; stretching the other way round. Each half-swing
    // is smaller than the last.
    const float a = 0.15f / static_cast<float>(bounces_ + 1);
    float& shrinking = phase_ == kSquashing ? scaleY_ : scaleX_;
    float& growing = phase_ == kSquashing ? scaleX_ : scaleY_;
    if (shrinking >= 1 - a) {
        growing += ms * kBounceRate;
        shrinking -= ms * kBounceRate;
    }
    if (shrinking < 1 - a) {
        shrinking = 1 - a;
        growing = 1 + a;
        phase_ = phase_ == kSquashing ? kStretching : kSquashing;
        ++bounces_;
    }
}

void cCash::Draw(DrawList* list) {
    if (!list) return;
    const AnimDesc* r = CurrentAnim();
    if (!r) return;
    const Point2i at = list->ToScreen(body_.position.ToPoint2i());
    // Stretched about the desk's foot point: offsets scale with the sprite.
    auto drawScaled = [&](HSPRITE s, int dx, int dy, uint32_t colour) {
        const int w = spriteWidth(s), h = spriteHeight(s);
        const float sx = list->scale.x * scaleX_, sy = list->scale.y * scaleY_;
        grDraw(sMaterial(4, 4, 1, 30), at.x + static_cast<int>(dx * sx),
               at.y + static_cast<int>(dy * sy), static_cast<int>(w * sx * r->flipx),
               static_cast<int>(h * sy * r->flipy), s, 0, 0, w, h, colour, animTime_);
    };
    if (r->sprite) drawScaled(r->sprite, r->spr_x, r->spr_y, 0xFFFFFFFFu);
    if (r->outline && IsActionable())
        drawScaled(r->outline, r->spr_x + r->outline_x, r->spr_y + r->outline_y,
                   (hover_ ? ColorRGBA(255, 255, 255, 255) : ColorRGBA(255, 255, 45, 255)).Argb());
    for (int i = ordered_ - 1; i >= 0; --i)
        drawExtraSprite(list, extraPoint_ - Point2i(kMarkSpacing * i, 0));
}
