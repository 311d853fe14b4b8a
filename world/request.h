// The 23 request kinds, the request record every level object carries, and the wait clock drawn
// in request bubbles.
#pragma once

#include <cstdint>

#include "core/values.h"
#include "engine/gr/gr.h"

class HeroLink;
class cLevelObj;

enum RequestKind {
    kCalmBaby,
    kCards,
    kCasino,
    kCheckIn,
    kCheckOut,
    kChess,
    kClean,
    kClothes,
    kCocktail,
    kDog,
    kFire,
    kFood,
    kLuggage,
    kMusic,
    kNews,
    kPhone,
    kPhoto,
    kPillow,
    kPlaid,
    kRepair,
    kSouvenir,
    kUpgrade,
    kWater,
    kNoRequest  // 23: none
};
constexpr int kRequestKinds = 23;
extern const char kRequestFile[];  // "Data/Request/Request.ini"

// The kind's name, which is also its section in the request file; null for kNoRequest and beyond.
const char* RequestKindName(int kind);
// Exact, case-sensitive; kNoRequest for null, empty or unknown names.
int RequestKindFromName(const char* name);
// The hero named by the kind's "hero", through the level screen; null when there is none.
HeroLink* RequestKindHero(int kind);

// The progress clock: green to yellow to red as its time runs, a jump at three quarters and a
// throb in the last alarmWindow milliseconds.
class WaitClock {
public:
    WaitClock();
    WaitClock(const WaitClock& other);
    WaitClock& operator=(const WaitClock& other);
    ~WaitClock();

    // Nothing without a file name.
    void Load(const char* iniFile, const char* section, uint32_t duration);
    void AddTime(uint32_t ms);  // not while paused
    void Reset();
    void Pause() { paused_ = 1; }
    bool IsPaused() const { return paused_ != 0; }
    // While ring is set the throbbing clock shakes and "alarm_clock" sounds once per throb;
    // the shake has a generator of its own, so drawing leaves the game's sequence alone.
    void Draw(Point2i p, float scale, float highlight, bool ring);
    Point2i Position() const { return position_; }
    uint32_t Elapsed() const { return elapsed_; }
    uint32_t Duration() const { return duration_; }

    // Scale and tint of the clock at its current time, before a drawing scale or ring applies.
    struct Look {
        float scale;
        ColorRGBA colour;
        float fraction;  // elapsed / duration; 1 without a duration
    };
    Look Appearance() const;
    static float Pulse(float amplitude, float x, float cycles);

private:
    void freeSprites();

    HSPRITE sprite_, back_;
    uint32_t elapsed_, duration_, alarmWindow_;
    Point2i position_;
    uint8_t paused_;
    uint8_t alarmOn_;  // the alarm sounded for the current throb
};

// Request states.
enum RequestState {
    kRequestLoaded = 0,
    kRequestWaiting = 1,
    kRequestServing = 2,
    kRequestDone = 3,
    kRequestNone = 4,
    kRequestFading = 5
};

class cRequest {
public:
    cRequest();
    cRequest(const cRequest& other);
    // Copies all but the jump; sprites gain a reference.
    cRequest& operator=(const cRequest& other);
    ~cRequest();

    // Whether any request in the program holds that kind now: a search for a kind no request
    // holds ends at once.
    static bool AnyOfKind(int kind) {
        return kind >= 0 && kind < kNoRequest && kindHeld_[kind] > 0;
    }
    // Counts the changes of any request's state, kind, hero, target or owner (not of its clock):
    // a search over requests may keep its answer for as long as the count stands.
    static uint32_t Changes() { return changes_; }

    // Fills the record for a kind; kinds from kNoRequest on load nothing.
    void Load(int kind, int extraTime, cLevelObj* owner, int grade);
    // 0 in states loaded and none, and at the update in which the wait runs out; else 1.
    int Update(int ms);
    // Top-left of the bubble at p, in screen coordinates.
    void Draw(Point2i p, bool showPortrait, bool showOutline);
    // x, y relative to the bubble's top-left.
    bool HitTest(int x, int y, bool withPortrait) const;

    void SetWaiting() { setState(kRequestWaiting); }
    void SetServing() { setState(kRequestServing); }
    void SetDone() { setState(kRequestDone); }
    // From waiting only: the bubble shrinks away over 500 ms, then its tasks are withdrawn.
    void Cancel();
    void Reset();
    // Withdraws the hero's task for this request and empties it; 1 when a task was withdrawn.
    int CancelTask();
    void StartAlert();
    void RestartClock();

    bool IsWaiting() const { return state_ == kRequestWaiting; }
    bool IsServing() const { return state_ == kRequestServing; }
    bool IsDone() const { return state_ == kRequestDone; }
    int GetState() const { return state_; }
    int GetKind() const { return kind_; }
    HeroLink* GetHero() const { return hero_; }
    cLevelObj* GetTarget() const { return target_; }
    cLevelObj* GetOwner() const { return owner_; }
    const char* GetHandObject() const { return handObj_; }
    int GetPrice() const { return price_; }
    int GetWaitTime() const { return waitTime_; }
    int GetElapsed() const { return elapsed_; }
    int GetGrade() const { return grade_; }
    float GetTimeRatio() const;
    float GetFade() const { return fade_; }
    bool IsAlerting() const { return alert_ != 0; }
    float GetAlertValue() const { return alertValue_; }
    Point2i GetClockPosition() const { return clock_.Position(); }
    WaitClock& Clock() { return clock_; }

    void SetGrade(int grade);
    void SetPortraits(HSPRITE angry, HSPRITE happy) {
        portraitAngry_ = angry;
        portraitHappy_ = happy;
    }
    void SetOwner(cLevelObj* owner) {
        if (owner_ != owner) ++changes_;
        owner_ = owner;
    }
    void SetWaitTime(int ms) {
        if (ms >= 0) waitTime_ = ms;
    }
    void SetPrice(int price) { price_ = price; }

private:
    void freeSprites();
    void setKind(int kind);
    void setState(int32_t state) {
        if (state_ != state) ++changes_;
        state_ = state;
    }

    static inline uint32_t changes_ = 0;
    // How many requests hold each kind, kept by every change of a request's kind.
    static inline int kindHeld_[kNoRequest] = {};

    int32_t state_, kind_;
    HeroLink* hero_;
    cLevelObj* target_;
    cLevelObj* owner_;
    char handObj_[32];
    int32_t price_, waitTime_, elapsed_, grade_;
    HSPRITE outlineSprite_, kindSprite_, portraitBackSprite_, portraitOutlineSprite_;
    HSPRITE portraitAngry_, portraitHappy_;  // the client's
    WaitClock clock_;
    Point2i iconPoint_, portraitBackPoint_, portraitPoint_;
    float fade_;
    uint8_t alert_;
    float alertValue_, alertTime_;
};
