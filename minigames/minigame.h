// The mini-game screen: a timed click game loaded from "Data/MiniGame/minigame<n>/minigame<n>.ini"
// with a get-ready banner, a clock, hints, a spotlight, speed bonuses and miss penalties, ending
// with a banner, a result on its way point and the hand-over to the results screen; and the
// episodes' own games built on it.
#pragma once

#include <cstdint>

#include "anim/caption.h"
#include "anim/fx.h"
#include "core/array.h"
#include "engine/snd/snd.h"
#include "minigames/pieces.h"
#include "ui/ui.h"
#include "world/object.h"
#include "world/request.h"

// What a finished mini-game hands to the results screen.
struct cMiniGameResult {
    int32_t number = 1;
    int32_t served = 0;
    int32_t needed = 0;
    int32_t itemPrice = 0;
    int32_t bonus = 0;
};

// Play states.
enum { kMgGetReady = 0, kMgStart = 1, kMgPlay = 2, kMgOver = 3 };

constexpr int kMgTextUnits = 256;

// The penalty caption: the one integer placeholder ("%d") of format replaced by value, every
// other character (a '%' too) kept as it is, cut to kMgTextUnits - 1 units.
void FormatPenaltyText(char16_t* out, const char16_t* format, int value);

class cMiniGameBase : public Window {
public:
    cMiniGameBase();
    ~cMiniGameBase() override;

    int OnKeyDown(int key, intptr_t data) override;
    int OnKeyUp(int key, intptr_t data) override;
    int OnMouseMove(int buttons, intptr_t position) override;
    int Update(int ms) override;
    int Draw() override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    // The widget loader stays reachable beside the game's own.
    using Window::Load;
    virtual void Load(int number);
    virtual cMiniGameResult* GetResult() { return result_; }
    virtual void PickNextObject();
    virtual void DrawCurrent();
    virtual void SetCurrent(cMiniGameObjectBase* object);
    virtual void LoadParams();
    virtual void LoadLayout();
    virtual void LoadObjects();
    // The base rule: with the custom cursor shown, the first hovered object is served.
    virtual bool OnClick(int x, int y);
    virtual void UpdateGoalText();
    virtual void DrawObjects();
    virtual void DrawTimer();
    virtual void DrawOverlay() {}
    virtual void DrawLabels();
    virtual void DrawBanner();
    virtual void DrawGoText();
    virtual void Finish();

    // Read-outs for the screens and tests.
    int GameState() const { return gameState_; }
    int Served() const { return served_; }
    int Needed() const { return needed_; }
    int Bonus() const { return bonus_; }
    int Number() const { return number_; }
    int Misses() const { return misses_; }
    const char* IniPath() const { return iniPath_; }
    const cArray<cMiniGameObjectBase*>& Objects() const { return objects_; }
    const cArray<cFloatingLabel*>& Labels() const { return labels_; }
    const cArray<Point2i>& LabelPoints() const { return labelPoints_; }
    cMiniGameObjectBase* Current() const { return current_; }
    const cBounceText* Banner() const { return banner_; }
    const char16_t* PenaltyText() const { return penaltyText_; }
    const WaitClock& Timer() const { return timer_; }
    const cDarkness& Darkness() const { return darkness_; }
    UIWnd* GoalWidget() const { return goalWidget_; }
    UIWnd& InterfaceLayer() { return interfaceLayer_; }

protected:
    // The objects of the file, with needed of them chosen at random to be wanted; candidates
    // receives the numbers not chosen when it is given. needed is kept within 1..the number of
    // objects (logged when the file asks otherwise); 0 when there is no object at all.
    void loadObjectsAndChoose(cArray<int>* chosen);
    // The label of a hit: the price in green with the coin at (x, y).
    void addCoinLabel(int x, int y);
    // A hit of the clicking games: the miss count restarts, the goal moves on, the coin label.
    void countHit(int x, int y);
    // A quick miss after three misses costs time: the red penalty label, the clock and the timer
    // move on. The click point is kept for the click animation only when withPoint is set.
    void countMiss(int x, int y, bool withPoint);
    // Ends play: the banner of the outcome, the result on the way point, state 3.
    void endGame(bool won);
    void startBanner(const char* key);
    void markWayPoint(int result);

    UIWnd* goalWidget_ = nullptr;
    UIWnd interfaceLayer_;
    cArray<cMiniGameObjectBase*> objects_;
    cArray<cFloatingLabel*> labels_;
    cArray<Point2i> labelPoints_;
    cMiniGameObjectBase* current_ = nullptr;
    cBounceText* banner_ = nullptr;
    CGraphFont* fontGoalString_ = nullptr;
    CGraphFont* fontClickGreen_ = nullptr;
    CGraphFont* fontClickRed_ = nullptr;
    CGraphFont* fontTimer_ = nullptr;
    WaitClock timer_;
    HSPRITE coinSprite_ = nullptr;
    AnimDesc clickAnim_;
    cDarkness darkness_;
    int32_t goAlpha_ = 255;
    float goScale_ = 1.5f;
    char16_t goText_[kMgTextUnits] = {};
    int32_t number_ = 1;
    int32_t served_ = 0;
    int32_t needed_ = 0;
    int32_t itemPrice_ = 0;
    int32_t bonus_ = 0;
    uint8_t quit_ = 0;
    int32_t duration_ = 0, expertDuration_ = 0, speedyDuration_ = 0;
    int32_t timerX_ = 0, timerY_ = 0;
    int32_t misses_ = 0;
    int32_t lastClickTime_ = 0;
    int32_t missDelay_ = 0;
    int32_t penaltyTime_ = 0;
    char16_t penaltyText_[kMgTextUnits] = {};
    int32_t cursorNumber_ = 0;
    int32_t cursorBoundW_ = 0, cursorBoundH_ = 0;
    cMiniGameResult* result_ = nullptr;
    int32_t gameState_ = kMgGetReady;
    int32_t turnTimer_ = 0;
    int32_t turnLimit_ = 0;
    sndSound* toolSound_ = nullptr;
    char iniPath_[96] = {};
};

// Episode 1: click the broken things to repair them; a repaired thing fades into its fixed look.
class cMiniGameEpisode1 : public cMiniGameBase {
public:
    bool OnClick(int x, int y) override;
};

// Episode 4: click the pieces to send them flying into place.
class cMiniGameEpisode4 : public cMiniGameBase {
public:
    bool OnClick(int x, int y) override;
};

// Episode 2: carry each icon from the row of cells to the object it belongs to. Wrong drops send
// the icon home and cost nothing.
class cMiniGameEpisode2 : public cMiniGameBase {
public:
    ~cMiniGameEpisode2() override;
    int OnMouseMove(int buttons, intptr_t position) override;
    int Update(int ms) override;
    int Draw() override;
    void PickNextObject() override;
    void DrawCurrent() override;
    void LoadLayout() override;
    void LoadObjects() override;
    bool OnClick(int x, int y) override;

    const cArray<cMiniGameIcon*>& Icons() const { return icons_; }
    cMiniGameIcon* Carried() const { return carried_; }
    cMiniGameIcon* Hinted() const { return hinted_; }

private:
    // The first object under the carried icon that the icon belongs to; null when none.
    cMiniGameObjectBase* objectUnderCarried();

    cArray<cMiniGameIcon*> icons_;
    cMiniGameIcon* carried_ = nullptr;
    cMiniGameIcon* hinted_ = nullptr;
    int32_t cellX_ = 0, cellY_ = 0, cellW_ = 0, cellH_ = 0;
};

// Episode 3: the shop counter. Customers rise into four places wanting a product each; a click
// on the product sends it flying to the customer, who leaves happy, and the next one comes. The
// game is also lost once every customer has gone before enough were served.
class cMiniGameEpisode3 : public cMiniGameBase {
public:
    static constexpr int kPlaces = 4;

    ~cMiniGameEpisode3() override;
    int Update(int ms) override;
    int Draw() override;
    void PickNextObject() override;
    void LoadLayout() override;
    void LoadObjects() override;
    bool OnClick(int x, int y) override;

    cMiniGameFace* Place(int i) const { return places_[i]; }
    const cArray<cMiniGameFace*>& Queue() const { return queue_; }
    Point2i PlacePoint(int i) const { return placePoints_[i]; }
    const FxEmitter& Emitter(int place, int red) const { return emitters_[place][red]; }

private:
    // A random customer from the queue enters the place; null when the queue is empty.
    cMiniGameFace* nextFace(int place, bool stagger);

    cArray<cMiniGameFace*> queue_;
    FxEmitter emitters_[kPlaces][2];
    cMiniGameFace* places_[kPlaces] = {};
    Point2i placePoints_[kPlaces] = {Point2i(0, 0), Point2i(0, 0), Point2i(0, 0), Point2i(0, 0)};
    int32_t cellX0_ = 0, cellW_ = 0, cellH_ = 0;
};

// The mini-game being played or whose results are shown; set by Load, cleared when it is deleted.
extern cMiniGameBase* gCurrentMiniGame;
// The screen a finished mini-game opens (the results screen registers itself here); without one
// the mini-game only closes.
extern Window* gAfterMiniGameScreen;
// The mini-game of an episode (1 to 4), or null for any other number.
cMiniGameBase* CreateMiniGame(int episode);
