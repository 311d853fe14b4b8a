// Request kinds, the request record's loading, ageing, drawing and withdrawal, and the wait clock.
#include "world/request.h"

#include <cmath>
#include <cstring>

#include "core/random.h"
#include "core/strings.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "world/coordinates.h"
#include "world/level_object.h"
#include "world/links.h"

const char kRequestFile[] = "Data/Request/Request.ini";

namespace {

const char* const kKindNames[kRequestKinds] = {
    "CalmBaby", "Cards",  "Casino", "CheckIn", "CheckOut", "Chess",   "Clean", "Clothes",
    "Cocktail", "Dog",    "Fire",   "Food",    "Luggage",  "Music",   "News",  "Phone",
    "Photo",    "Pillow", "Plaid",  "Repair",  "Souvenir", "Upgrade", "Water"};

constexpr int kFadeMs = 500;
constexpr float kAlertSeconds = 1.52f;

// The shake of a ringing clock: never the game's generator, whose sequence drawing must not move.
Random& shakeRandom() {
    static Random r(0x5eedc10cu);
    return r;
}

uint32_t white(int alpha) { return ColorRGBA(255, 255, 255, alpha).Argb(); }

HSPRITE addRef(HSPRITE s) { return s ? grSpriteAddRef(s) : nullptr; }

}  // namespace

const char* RequestKindName(int kind) {
    return kind >= 0 && kind < kRequestKinds ? kKindNames[kind] : nullptr;
}

int RequestKindFromName(const char* name) {
    if (!name || !*name) return kNoRequest;
    for (int i = 0; i < kRequestKinds; ++i)
        if (strcmp(name, kKindNames[i]) == 0) return i;
    return kNoRequest;
}

HeroLink* RequestKindHero(int kind) {
    const char* section = RequestKindName(kind);
    GameLink* game = worldGame();
    if (!section || !game) return nullptr;
    const char* name = iniGetString(kRequestFile, section, "hero", "");
    return name && *name ? game->GetHeroByName(name) : nullptr;
}

// --- WaitClock ---------------------------------------------------------------------------------

WaitClock::WaitClock()
    : sprite_(nullptr),
      back_(nullptr),
      elapsed_(0),
      duration_(0),
      alarmWindow_(3000),
      position_(0, 0),
      paused_(0),
      alarmOn_(0) {}

WaitClock::WaitClock(const WaitClock& other) : WaitClock() { *this = other; }

WaitClock& WaitClock::operator=(const WaitClock& other) {
    if (this == &other) return *this;
    freeSprites();
    sprite_ = addRef(other.sprite_);
    back_ = addRef(other.back_);
    elapsed_ = other.elapsed_;
    duration_ = other.duration_;
    alarmWindow_ = other.alarmWindow_;
    position_ = other.position_;
    paused_ = other.paused_;
    alarmOn_ = 0;
    return *this;
}

WaitClock::~WaitClock() { freeSprites(); }

void WaitClock::freeSprites() {
    spriteFree(&sprite_);
    spriteFree(&back_);
}

void WaitClock::Load(const char* iniFile, const char* section, uint32_t duration) {
    if (!iniFile || !*iniFile) return;
    freeSprites();
    const char* back = iniGetString(iniFile, section, "back", "");
    if (*back) back_ = grLoadSprite(back, nullptr, 0);
    const char* sprite = iniGetString(iniFile, section, "sprite", "");
    if (*sprite) sprite_ = grLoadSprite(sprite, nullptr, 0);
    if (sprite_) {
        const int period = iniGetInt(iniFile, section, "period", 1);
        const int frames = iniGetInt(iniFile, section, "frames", 1);
        grSetFrames(sprite_, IntClamp(period, 1, 65535), IntClamp(frames, 1, 65535));
    }
    position_ = Point2i(iniGetInt(iniFile, section, "x", 0), iniGetInt(iniFile, section, "y", 0));
    duration_ = duration;
    elapsed_ = 0;
}

void WaitClock::AddTime(uint32_t ms) {
    if (!paused_) elapsed_ += ms;
}

void WaitClock::Reset() {
    elapsed_ = 0;
    paused_ = 0;
}

float WaitClock::Pulse(float amplitude, float x, float cycles) {
    return 1.0f + amplitude * std::fabs(std::sin(3.14f * x * cycles));
}

WaitClock::Look WaitClock::Appearance() const {
    Look look = {1.0f, ColorRGBA(255, 255, 255, 255), 1.0f};
    if (duration_ == 0) return look;
    const float f = static_cast<float>(elapsed_) / static_cast<float>(duration_);
    look.fraction = f;
    if (f > 1.0f) return look;
    const float a = duration_ * 3.0f / 4.0f, e = static_cast<float>(elapsed_);
    if (a - 200 <= e && e <= a + 200) look.scale = Pulse(0.5f, (e - a + 200) / (a + 200), 1);
    if (f < 0.42f)
        look.colour = ColorRGBA(static_cast<int>(255 * f / 0.42f), 255, 0, 255);
    else
        look.colour = ColorRGBA(255, static_cast<int>(255 * (1 - (f - 0.42f) / 0.58f)), 0, 255);
    if (duration_ - elapsed_ <= alarmWindow_)
        look.scale = Pulse(0.2f, static_cast<float>(duration_ - elapsed_) / alarmWindow_, 3);
    return look;
}

void WaitClock::Draw(Point2i p, float scale, float highlight, bool ring) {
    if (!sprite_) return;
    const Look look = Appearance();
    float s = scale < 1.0f ? scale : look.scale;
    ColorRGBA colour = look.colour;
    const Point2i at = p + position_;
    if (back_) drawSpriteScaled(at.x, at.y, back_, s, 0xFFFFFFFFu, false, false, false, false);
    sMaterial material(3, 2, 1, 30);
    Point2i offset(0, 0);
    bool ringing = false;
    if (ring) {
        colour = ColorRGBA(255, 255, 255, 255);
        material = sMaterial(2, 4, 1, 30);
        if (s != 1.0f && !paused_) {
            Random& r = shakeRandom();
            offset = Point2i(static_cast<int>(r.IntInclusive(10)) + position_.x / 2 - 20,
                             static_cast<int>(r.IntInclusive(10)) + position_.y / 2 - 20);
            s = 0.9f + static_cast<float>(r.RealHalfOpen(0.2));
            ringing = true;
            if (!alarmOn_) worldPlaySound("alarm_clock");
        } else {
            s = 1.0f;
        }
    }
    alarmOn_ = ringing;
    const int period = grSpriteTime(sprite_);
    const int time = static_cast<int>((period - 1) * look.fraction);
    const Point2i c = at + offset;
    drawSpriteScaledXYEx(material, c.x, c.y, sprite_, s, s, colour.Argb(), time, false, false, 0,
                         0);
    if (highlight > 0)
        drawSpriteScaledXYEx(sMaterial(2, 4, 1, 30), at.x, at.y, sprite_, s, s,
                             white(static_cast<int>(highlight * 255)), time, false, false, 0, 0);
}

// --- cRequest ----------------------------------------------------------------------------------

namespace {

bool countedKind(int kind) { return kind >= 0 && kind < kNoRequest; }

}  // namespace

void cRequest::setKind(int kind) {
    ++changes_;
    if (countedKind(kind_)) --kindHeld_[kind_];
    kind_ = kind;
    if (countedKind(kind_)) ++kindHeld_[kind_];
}

cRequest::cRequest()
    : state_(kRequestNone),
      kind_(kNoRequest),
      hero_(nullptr),
      target_(nullptr),
      owner_(nullptr),
      price_(0),
      waitTime_(0),
      elapsed_(0),
      grade_(0),
      outlineSprite_(nullptr),
      kindSprite_(nullptr),
      portraitBackSprite_(nullptr),
      portraitOutlineSprite_(nullptr),
      portraitAngry_(nullptr),
      portraitHappy_(nullptr),
      iconPoint_(0, 0),
      portraitBackPoint_(0, 0),
      portraitPoint_(0, 0),
      fade_(1.0f),
      alert_(0),
      alertValue_(0),
      alertTime_(0) {
    handObj_[0] = 0;
}

cRequest::cRequest(const cRequest& other) : cRequest() { *this = other; }

cRequest& cRequest::operator=(const cRequest& other) {
    if (this == &other) return *this;
    freeSprites();
    state_ = other.state_;
    setKind(other.kind_);  // counts the change of the whole record
    hero_ = other.hero_;
    target_ = other.target_;
    owner_ = other.owner_;
    memcpy(handObj_, other.handObj_, sizeof handObj_);
    price_ = other.price_;
    waitTime_ = other.waitTime_;
    elapsed_ = other.elapsed_;
    grade_ = other.grade_;
    outlineSprite_ = addRef(other.outlineSprite_);
    kindSprite_ = addRef(other.kindSprite_);
    portraitBackSprite_ = addRef(other.portraitBackSprite_);
    portraitOutlineSprite_ = addRef(other.portraitOutlineSprite_);
    portraitAngry_ = other.portraitAngry_;
    portraitHappy_ = other.portraitHappy_;
    clock_ = other.clock_;
    iconPoint_ = other.iconPoint_;
    portraitBackPoint_ = other.portraitBackPoint_;
    portraitPoint_ = other.portraitPoint_;
    fade_ = other.fade_;
    return *this;
}

cRequest::~cRequest() {
    setKind(kNoRequest);
    freeSprites();
}

void cRequest::freeSprites() {
    spriteFree(&outlineSprite_);
    spriteFree(&kindSprite_);
    spriteFree(&portraitBackSprite_);
    spriteFree(&portraitOutlineSprite_);
}

void cRequest::SetGrade(int grade) {
    grade_ = grade;
    spriteFree(&kindSprite_);
    const char* section = RequestKindName(kind_);
    if (!section) return;
    char key[32];
    safeSnprintf(key, sizeof key, "sprite%d", grade);
    kindSprite_ = iniReadAnimSprite(kRequestFile, section, key);
}

void cRequest::Load(int kind, int extraTime, cLevelObj* owner, int grade) {
    const char* section = RequestKindName(kind);
    if (!section) return;
    const char* f = kRequestFile;
    GameLink* game = worldGame();
    hero_ = RequestKindHero(kind);
    waitTime_ = extraTime + (hero_ ? hero_->GetWaitTimeBonus(kind) : 0);
    setKind(kind);
    elapsed_ = 0;
    owner_ = owner;
    freeSprites();
    outlineSprite_ = iniReadAnimSprite(f, "Main", "outline");

    target_ = nullptr;
    if (game) {
        target_ = game->FindLevelObjectByName(iniGetString(f, section, "target", ""));
        const char* ownerName = owner ? owner->GetName() : nullptr;
        if ((kind == kCards || kind == kCasino) && ownerName && strstr(ownerName, "Down")) {
            cLevelObj* alternative =
                game->FindLevelObjectByName(iniGetString(f, section, "target1", ""));
            if (alternative) target_ = alternative;
        }
    }
    SetGrade(target_ ? target_->GetRequestGrade() : grade);

    portraitBackSprite_ = iniReadAnimSprite(f, "Main", "portrait_back");
    portraitOutlineSprite_ = iniReadAnimSprite(f, "Main", "portrait_outline");
    if (!iniReadString(handObj_, sizeof handObj_, f, section, "hand_obj")) handObj_[0] = 0;
    iconPoint_ = iniGetPoint(f, section, "request_x", "request_y");
    portraitBackPoint_ = iniGetPoint(f, "Main", "portrait_back_x", "portrait_back_y");
    portraitPoint_ = iniGetPoint(f, "Main", "portrait_x", "portrait_y");

    price_ = iniGetInt(f, section, "price", 0);
    if (price_ > 0)
        price_ +=
            (target_ ? target_->GetPriceBonus() : 0) + (game ? game->GetRequestPriceBonus() : 0);
    if (waitTime_ > 0)
        waitTime_ += (owner ? owner->GetTimeBonus() : 0) + (game ? game->GetRequestTimeBonus() : 0);
    clock_.Load(f, "Progress", waitTime_ > 0 ? static_cast<uint32_t>(waitTime_) : 0);
    if (owner) owner->SetOccupied();
    state_ = kRequestLoaded;
    ++changes_;
    alert_ = 0;
    alertValue_ = 0;
}

int cRequest::Update(int ms) {
    switch (state_) {
    case kRequestWaiting:
        if (alert_) {
            alertTime_ += ms / 1000.0f;
            if (alertTime_ > kAlertSeconds) {
                alertTime_ = 0;
                alert_ = 0;
            }
            alertValue_ = std::fabs(std::sin(alertTime_ * 8)) / 2;
            ms = 0;
        }
        elapsed_ += ms;
        clock_.AddTime(static_cast<uint32_t>(ms));
        if (waitTime_ > 0 && elapsed_ >= waitTime_) {
            setState(kRequestDone);
            return 0;
        }
        return 1;
    case kRequestFading: {
        fade_ -= static_cast<float>(ms) / kFadeMs;
        if (fade_ >= 0) return 1;
        fade_ = 0;
        if (hero_) {
            hero_->RemoveTask(kind_, target_);
            hero_->RemoveTask(kind_, owner_);
        }
        setState(kRequestDone);
        // The owner may be this request's holder: it resets the record in its update.
        if (cLevelObj* owner = owner_) {
            owner->SetState(2);
            owner->Update(0);
        }
        return 1;
    }
    case kRequestServing:
    case kRequestDone:
        return 1;
    default:
        return 0;
    }
}

void cRequest::Cancel() {
    if (state_ != kRequestWaiting) return;
    setState(kRequestFading);
    fade_ = 1.0f;
}

void cRequest::Reset() {
    setState(kRequestNone);
    setKind(kNoRequest);
    hero_ = nullptr;
    target_ = nullptr;
    owner_ = nullptr;
    handObj_[0] = 0;
    price_ = 0;
    waitTime_ = 0;
    elapsed_ = 0;
    spriteFree(&kindSprite_);
}

float cRequest::GetTimeRatio() const {
    return waitTime_ == 0 ? 0.5f : static_cast<float>(elapsed_) / static_cast<float>(waitTime_);
}

void cRequest::RestartClock() {
    elapsed_ = 0;
    clock_.Reset();
}

void cRequest::StartAlert() {
    alert_ = 1;
    alertTime_ = 0;
    alertValue_ = 0;
    RestartClock();
}

void cRequest::Draw(Point2i p, bool showPortrait, bool showOutline) {
    if (state_ == kRequestWaiting) {
        const Point2i back = p + portraitBackPoint_;
        if (showOutline) {
            if (showPortrait) grDrawSprite(back.x, back.y, portraitOutlineSprite_, 0);
            grDrawSprite(p.x, p.y, outlineSprite_, 0);
        }
        if (showPortrait) {
            grDrawSprite(back.x, back.y, portraitBackSprite_, 0);
            const Point2i face = p + portraitPoint_;
            grDrawSprite(face.x, face.y, GetTimeRatio() <= 0.5f ? portraitHappy_ : portraitAngry_,
                         0);
        }
        clock_.Draw(p, 1.0f, alert_ ? alertValue_ : 0.0f, false);
        const Point2i icon = p + iconPoint_;
        grDrawSprite(icon.x, icon.y, kindSprite_, 0);
        if (alert_) {
            const int c = static_cast<int>(alertValue_ * 255);
            grDrawSpriteColor(sMaterial(7, 2, 1, 30), icon.x, icon.y, kindSprite_,
                              ColorRGBA(c, c, c, 255).Argb(), 0);
        }
    } else if (state_ == kRequestFading) {
        clock_.Draw(p, fade_, 0.0f, false);
        if (kindSprite_) {
            const Point2i centre =
                p + iconPoint_ +
                Point2i(spriteWidth(kindSprite_) / 2, spriteHeight(kindSprite_) / 2);
            drawSpriteScaledXYEx(sMaterial(2, 2, 1, 30), centre.x, centre.y, kindSprite_, fade_,
                                 fade_, 0xFFFFFFFFu, 0, false, false, 0, 0);
        }
    }
}

bool cRequest::HitTest(int x, int y, bool withPortrait) const {
    const float dx = static_cast<float>(x - 29), dy = static_cast<float>(y - 29);
    if (static_cast<int>(std::sqrt(dx * dx + dy * dy)) < 30) return true;
    if (!withPortrait) return false;
    const float px = static_cast<float>(x - (portraitBackPoint_.x + 38));
    const float py = static_cast<float>(y - (portraitBackPoint_.y + 38));
    return static_cast<int>(std::sqrt(px * px + py * py)) <= 38;
}

int cRequest::CancelTask() {
    int withdrawn = 0;
    if (hero_ && kind_ < kWater) {
        GameLink* game = worldGame();
        cLevelObj* object = nullptr;
        if (IsOneOf(kind_, kCalmBaby, kClean, kClothes, kDog, kLuggage, kPhone, kPillow, kPlaid,
                    kRepair, kSouvenir)) {
            object = owner_;
        } else if (IsOneOf(kind_, kCards, kCasino, kCheckOut, kChess, kMusic)) {
            object = target_;
        } else if (IsOneOf(kind_, kCocktail, kFood, kNews)) {
            hero_->RemoveTask(kind_, owner_);
            withdrawn = 1;
            if (!(game && target_ && game->FindClientByRequestTarget(target_))) object = target_;
        } else if (kind_ == kFire) {
            object = target_;
        } else if (kind_ == kUpgrade) {
            if (game) game->SetUpgradeSettled();
            object = owner_;
        }
        if (object) {
            hero_->RemoveTask(kind_, object);
            withdrawn = 1;
        }
        if (kind_ == kFire && target_ && target_->GetRequest().GetKind() == kRepair)
            hero_->AddTask(kRepair, target_);
    }
    if (owner_) {
        owner_->SetAttached(nullptr);
        owner_->ClearOccupied();
        owner_->StopAction();
        owner_->Disable();
    }
    if (target_) {
        target_->StopAction();
        target_->Disable();
    }
    Reset();
    return withdrawn;
}
