// The mini-game screen: loading, the get-ready / play / over states, hints, the clock and bonuses,
// drawing and the hand-over of the result.
#include "minigames/minigame.h"

#include <cstdio>
#include <cstring>

#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "game/game_data.h"
#include "game/profile.h"

cMiniGameBase* gCurrentMiniGame = nullptr;
Window* gAfterMiniGameScreen = nullptr;

namespace {

const sMaterial kTextBlend(2, 4, 1, 30);
constexpr int kEscape = 27;
constexpr int kMaxObjects = 1000;

uint32_t whiteAlpha(int alpha) {
    return static_cast<uint32_t>(IntClamp(alpha, 0, 255)) << 24 | 0xFFFFFFu;
}

void copyWide(char16_t* out, const char16_t* text) {
    int i = 0;
    for (; text && text[i] && i < kMgTextUnits - 1; ++i) out[i] = text[i];
    out[i] = 0;
}

const char16_t* translate(const char* key) {
    return iniGetWideGlobal("Data/translation.ini", key);
}

int currentEpisode() {
    cPlayerProfile* profile = cPlayerProfile::Current();
    return profile ? profile->GetEpisode() : 1;
}

}  // namespace

void FormatPenaltyText(char16_t* out, const char16_t* format, int value) {
    char digits[16];
    snprintf(digits, sizeof digits, "%d", value);
    int n = 0;
    bool substituted = false;
    for (int i = 0; format && format[i] && n < kMgTextUnits - 1; ++i) {
        if (!substituted && format[i] == u'%' && format[i + 1] == u'd') {
            for (const char* d = digits; *d && n < kMgTextUnits - 1; ++d) out[n++] = *d;
            substituted = true;
            ++i;
            continue;
        }
        out[n++] = format[i];
    }
    out[n] = 0;
}

cMiniGameBase::cMiniGameBase() { gCurrentMiniGame = nullptr; }

cMiniGameBase::~cMiniGameBase() {
    for (uint32_t k = 0; k < objects_.size(); ++k) delete objects_[k];
    for (uint32_t k = 0; k < labels_.size(); ++k) delete labels_[k];
    delete banner_;
    fontFree(&fontGoalString_);
    fontFree(&fontClickGreen_);
    fontFree(&fontClickRed_);
    fontFree(&fontTimer_);
    spriteFree(&coinSprite_);
    delete result_;
    if (toolSound_) sndRelease(toolSound_);
    if (gCurrentMiniGame == this) gCurrentMiniGame = nullptr;
}

// --- Loading -----------------------------------------------------------------------------------

void cMiniGameBase::Load(int number) {
    const ParticlePoolsUpFront poolsNow;
    gCurrentMiniGame = this;
    delete result_;
    result_ = new cMiniGameResult;
    number_ = number;
    snprintf(iniPath_, sizeof iniPath_, "Data/MiniGame/minigame%d/minigame%d.ini", number, number);
    if (!iniOpen(iniPath_)) logPrintf("mini-game %d: %s cannot be read\n", number, iniPath_);
    Create(iniPath_, "Main");
    LoadParams();
    LoadLayout();
    LoadObjects();
    UpdateGoalText();
    turnLimit_ = iniGetInt(iniPath_, "hint", "delay", 0);
}

void cMiniGameBase::LoadParams() {
    const char* f = iniPath_;
    // Times up to an hour and prices up to a million either way: far beyond any mini-game, and
    // small enough that the clock, its penalties and the takings stay inside int.
    constexpr int kHourMs = 3600000, kMillion = 1000000;
    duration_ = iniGetIntHeld(f, "Param", "duration", -kHourMs, kHourMs);
    timer_.Load(f, "Timer", static_cast<uint32_t>(IntMax(0, duration_)));
    // The clock's place, with its text drawn beside it.
    constexpr int kMaxPlace = 1 << 20;
    timerX_ = iniGetIntHeld(f, "Timer", "timer_x", -kMaxPlace, kMaxPlace);
    timerY_ = iniGetIntHeld(f, "Timer", "timer_y", -kMaxPlace, kMaxPlace);
    missDelay_ = iniGetIntHeld(f, "Param", "miss_delay", -kHourMs, kHourMs);
    itemPrice_ = iniGetIntHeld(f, "Param", "item_price", -kMillion, kMillion);
    penaltyTime_ = iniGetIntHeld(f, "Param", "penalty_time", -kHourMs, kHourMs);
    fontFree(&fontGoalString_);
    fontFree(&fontClickGreen_);
    fontFree(&fontClickRed_);
    fontFree(&fontTimer_);
    fontGoalString_ = iniReadFont(f, "Param", "font_goal_string");
    fontClickGreen_ = iniReadFont(f, "Param", "font_click_green");
    fontClickRed_ = iniReadFont(f, "Param", "font_click_red");
    fontTimer_ = iniReadFont(f, "Param", "font_timer");
    spriteFree(&coinSprite_);
    coinSprite_ = iniReadAnimSprite(f, "Param", "coin_sprite");
    clickAnim_.Load(f, "clickAnim");
    darkness_.Load(f);
    FormatPenaltyText(penaltyText_, translate("#MINI_LEVEL_PENALTY_TEXT"),
                      penaltyTime_ / 1000);
    copyWide(goText_, translate("#GAME_GO"));
    if (toolSound_) sndRelease(toolSound_);
    toolSound_ = nullptr;
    const char* tool = iniGetString(f, "Param", "tool_sound", "");
    if (*tool) toolSound_ = sndGetSound(tool, SND_GROUP_SOUND);
}

void cMiniGameBase::LoadLayout() {
    goalWidget_ = CreateChildFromIni(&interfaceLayer_, iniPath_, "Task", 0, 0);
    CreateChildFromIni(&interfaceLayer_, iniPath_, "Character", 0, 0);
    CreateChildFromIni(&interfaceLayer_, iniPath_, "Interface", 0, 0);
    CreateChildFromIni(this, iniPath_, "Back", 0, 0);
    cursorNumber_ = iniGetInt(iniPath_, "Tool", "cursorNumber", 0);
    int w = 0, h = 0;
    iniParseIntPair(&w, &h, iniPath_, "Tool", "cursorBound");
    cursorBoundW_ = w;
    cursorBoundH_ = h;
}

void cMiniGameBase::loadObjectsAndChoose(cArray<int>* chosen) {
    const int askedTotal = iniGetInt(iniPath_, "Param", "objects_total", 0);
    // Far more than any screen holds; a bigger count is a broken file, not a bigger game.
    const int total = IntClamp(askedTotal, 0, kMaxObjects);
    if (total != askedTotal)
        logPrintf("%s: objects_total %d is outside 0..%d; %d used\n", iniPath_, askedTotal,
                  kMaxObjects, total);
    const int asked = iniGetInt(iniPath_, "Param", "objects_needed", 0);
    cArray<int> candidates;
    for (int i = 0; i < total; ++i) {
        auto* object = new cMiniGameObjectBase;
        object->Load(iniPath_, i);
        objects_.push_back(object);
        candidates.push_back(i);
    }
    // A game that wants more than it has, or nothing at all, could never be played fairly.
    needed_ = total > 0 ? IntClamp(asked, 1, total) : 0;
    if (total == 0)
        logPrintf("%s: no objects; the game ends at once as lost\n", iniPath_);
    else if (needed_ != asked)
        logPrintf("%s: objects_needed %d is outside 1..%d; %d used\n", iniPath_, asked, total,
                  needed_);
    for (int k = 0; k < needed_; ++k) {
        const uint32_t pick = gRandom.Int(candidates.size());
        const int n = candidates[pick];
        objects_[n]->SetWanted(true);
        if (chosen) chosen->push_back(n);
        candidates.erase(pick);
    }
}

void cMiniGameBase::LoadObjects() { loadObjectsAndChoose(nullptr); }

void cMiniGameBase::UpdateGoalText() {
    if (!goalWidget_) return;
    goalWidget_->SetTextF("%d/%d", served_, needed_);
    if (auto* text = dynamic_cast<UITextStatic*>(goalWidget_)) text->xFont = text->yFont = 1.5f;
}

// --- Hints -------------------------------------------------------------------------------------

void cMiniGameBase::SetCurrent(cMiniGameObjectBase* object) {
    current_ = object;
    if (!object) return;
    object->ResetBlink();
    turnTimer_ = -object->GetBlinkDuration();
}

void cMiniGameBase::PickNextObject() {
    cArray<cMiniGameObjectBase*> open;
    for (uint32_t k = 0; k < objects_.size(); ++k) {
        cMiniGameObjectBase* o = objects_[k];
        if (o->IsAvailable()) open.push_back(o);
    }
    if (open.size() == 0) return;
    SetCurrent(open[gRandom.IntInclusive(open.size() - 1)]);
}

// --- Input -------------------------------------------------------------------------------------

bool cMiniGameBase::OnClick(int, int) {
    if (!cursorIsCustom()) return false;
    for (uint32_t k = 0; k < objects_.size(); ++k) {
        cMiniGameObjectBase* o = objects_[k];
        if (!o->IsHovered()) continue;
        if (!o->Serve()) return false;
        sndPlay("service_accepted", SND_GROUP_SOUND);
        return true;
    }
    return false;
}

int cMiniGameBase::OnKeyDown(int key, intptr_t data) {
    if (key == kEscape) {
        quit_ = 1;
        return 1;
    }
    if (key == kUiLeftButton && gameState_ == kMgPlay) {
        OnClick(uiPackedX(data), uiPackedY(data));
        lastClickTime_ = clock;
    }
    return UIWnd::OnKeyDown(key, data);
}

int cMiniGameBase::OnKeyUp(int key, intptr_t data) { return UIWnd::OnKeyUp(key, data); }

int cMiniGameBase::OnMouseMove(int buttons, intptr_t position) {
    const int x = uiPackedX(position), y = uiPackedY(position);
    darkness_.SetPosition(Point2i(x, y));
    if (gameState_ == kMgPlay && cursorIsCustom()) {
        const bool point = cursorBoundW_ * cursorBoundH_ < 1;
        const MgRect r = {x - cursorBoundW_ / 2, y - cursorBoundH_, x + cursorBoundW_ / 2, y};
        for (uint32_t k = 0; k < objects_.size(); ++k) {
            cMiniGameObjectBase* o = objects_[k];
            if (point)
                o->HitTestPoint(x, y);
            else
                o->HitTestRect(r);
        }
        turnTimer_ = 0;
    }
    return Window::OnMouseMove(buttons, position);
}

void cMiniGameBase::addCoinLabel(int x, int y) {
    auto* label = new cFloatingLabel(x, y, fontClickGreen_, coinSprite_);
    char text[16];
    snprintf(text, sizeof text, "%d", itemPrice_);
    label->SetText(text);
    labels_.push_back(label);
}

void cMiniGameBase::countHit(int x, int y) {
    misses_ = 0;
    served_ += 1;
    UpdateGoalText();
    addCoinLabel(x, y);
}

void cMiniGameBase::countMiss(int x, int y, bool withPoint) {
    misses_ += 1;
    if (misses_ <= 3 || clock >= lastClickTime_ + missDelay_) return;
    auto* label = new cFloatingLabel(x, y, fontClickRed_, nullptr);
    label->SetText(penaltyText_);
    labels_.push_back(label);
    if (withPoint) labelPoints_.push_back(Point2i(-100, -100));
    clock += penaltyTime_;
    timer_.AddTime(static_cast<uint32_t>(IntMax(0, penaltyTime_)));
    misses_ = 0;
    sndPlay("alarm_clock", SND_GROUP_SOUND);
}

// --- The game's course -------------------------------------------------------------------------

void cMiniGameBase::startBanner(const char* key) {
    if (!banner_) banner_ = new cBounceText;
    banner_->Start(fontGoalString_, key, 4);
    banner_->Go();
}

void cMiniGameBase::markWayPoint(int result) {
    cPlayerProfile* profile = cPlayerProfile::Current();
    if (!profile) return;
    const uint32_t level = profile->GetLevel();
    if (level < gWayPoints.size()) gWayPoints[level].SetResult(result);
}

void cMiniGameBase::endGame(bool won) {
    if (!won) {
        startBanner("#GAME_THANK_YOU");
        markWayPoint(2);
        sndPlay("leveldefeat", SND_GROUP_SOUND);
    } else {
        timer_.Pause();
        sndStopMusic(SND_FADE_OUT);
        if (clock >= expertDuration_) {
            startBanner("#GAME_GOAL_COMPLETE");
            markWayPoint(2);
            sndPlay("goal", SND_GROUP_SOUND);
        } else {
            startBanner("#GAME_EXPERT_COMPLETE");
            markWayPoint(3);
            sndPlay("levelup", SND_GROUP_SOUND);
            bonus_ = iniGetInt(iniPath_, "Param", "expert_bonus", 0);
            if (clock < speedyDuration_) bonus_ += iniGetInt(iniPath_, "Param", "speedy_bonus", 0);
        }
    }
    gameState_ = kMgOver;
}

int cMiniGameBase::Update(int ms) {
    for (uint32_t k = 0; k < objects_.size(); ++k) objects_[k]->Update(ms);
    if (current_ && current_->IsBlinkOver()) current_ = nullptr;

    for (uint32_t i = 0; i < labels_.size();) {
        labels_[i]->Update(ms);
        if (!labels_[i]->IsFinished()) {
            ++i;
            continue;
        }
        delete labels_[i];
        labels_.erase(i);
        if (i < labelPoints_.size()) labelPoints_.erase(i);
    }
    if (labels_.size() == 0 && toolSound_) sndStop(toolSound_);

    if (auto* text = dynamic_cast<UITextStatic*>(goalWidget_)) {
        if (text->xFont > 1.0f || text->yFont > 1.0f) {
            text->xFont = text->xFont - 0.05f < 1.0f ? 1.0f : text->xFont - 0.05f;
            text->yFont = text->yFont - 0.05f < 1.0f ? 1.0f : text->yFont - 0.05f;
        }
    }
    if (banner_) banner_->Update(ms);

    switch (gameState_) {
    case kMgGetReady:
        cursorSelect(cursorNumber_);
        if (!banner_) {
            startBanner("#GAME_GET_READY");
            sndPlay("get_ready", SND_GROUP_SOUND);
        } else if (banner_->IsIdle()) {
            gameState_ = kMgStart;
        }
        break;
    case kMgStart:
        clock = 0;
        timer_.Reset();
        expertDuration_ = iniGetInt(iniPath_, "Param", "expert_duration", 0);
        speedyDuration_ = iniGetInt(iniPath_, "Param", "speedy_duration", 0);
        turnTimer_ = 0;
        gameState_ = kMgPlay;
        break;
    case kMgPlay:
        timer_.AddTime(static_cast<uint32_t>(ms));
        turnTimer_ += ms;
        if (turnTimer_ > turnLimit_) PickNextObject();
        if (goAlpha_ > 0) {
            goAlpha_ -= 10;
            goScale_ = goScale_ <= 1.0f ? 1.0f : goScale_ - 0.05f;
        }
        // A game without anything to serve is lost at once rather than won for free.
        if (quit_ || clock > duration_ || needed_ == 0)
            endGame(false);
        else if (served_ == needed_)
            endGame(true);
        break;
    case kMgOver:
        if (banner_ && banner_->IsIdle()) {
            cursorSet(1);
            cursorSelect(0);
            Finish();
            return 1;
        }
        break;
    default:
        break;
    }
    return UIWnd::Update(ms);
}

void cMiniGameBase::Finish() {
    result_->number = number_;
    result_->served = served_;
    result_->needed = needed_;
    result_->itemPrice = itemPrice_;
    result_->bonus = bonus_;
    sndStopGroup(SND_GROUP_MUSIC);
    sndStopGroup(SND_GROUP_SOUND);
    CloseSelf();
    if (gAfterMiniGameScreen && WM::Get()) WM::Get()->Push(gAfterMiniGameScreen, false, false, false);
}

// --- Drawing -----------------------------------------------------------------------------------

int cMiniGameBase::Draw() {
    Window::Draw();
    DrawObjects();
    DrawLabels();
    darkness_.Draw();
    DrawCurrent();
    interfaceLayer_.Draw();
    DrawTimer();
    DrawOverlay();
    DrawBanner();
    DrawGoText();
    return 0;
}

void cMiniGameBase::DrawObjects() {
    for (uint32_t k = 0; k < objects_.size(); ++k) objects_[k]->Draw();
}

void cMiniGameBase::DrawCurrent() {
    if (current_) current_->Draw();
}

void cMiniGameBase::DrawLabels() {
    for (uint32_t k = 0; k < labels_.size(); ++k) labels_[k]->Draw();
    if (!clickAnim_.sprite) return;
    for (uint32_t i = 0; i < labels_.size() && i < labelPoints_.size(); ++i) {
        const Point2i p = labelPoints_[i];
        grDrawSpriteColor(kTextBlend, p.x + clickAnim_.spr_x, p.y + clickAnim_.spr_y,
                          clickAnim_.sprite, whiteAlpha(labels_[i]->Alpha()), labels_[i]->Clock());
    }
}

void cMiniGameBase::DrawTimer() {
    timer_.Draw(Point2i(timerX_, timerY_), 1.0f, 0.0f, false);
    if (!fontTimer_) return;
    const int left = IntMax(0, duration_ - static_cast<int>(timer_.Elapsed()));
    char text[16];
    snprintf(text, sizeof text, "%d", left / 1000);
    grDrawTextA(fontTimer_, timerX_ + 38, timerY_ + 40, text, 0, -1, -1);
}

void cMiniGameBase::DrawBanner() {
    if (banner_) banner_->Draw();
}

void cMiniGameBase::DrawGoText() {
    if ((gameState_ != kMgStart && gameState_ != kMgPlay) || goAlpha_ <= 0 || !fontGoalString_)
        return;
    int w = 0, h = 0;
    grGetMode(&w, &h, nullptr, nullptr);
    grDrawTextColor(kTextBlend, fontGoalString_, w / 2, 300, goScale_, goScale_, goText_,
                    whiteAlpha(goAlpha_), 0, 0, 0);
}

void cMiniGameBase::OnShow(int finished) {
    Window::OnShow(finished);
    if (finished) return;
    char music[32];
    snprintf(music, sizeof music, "gameplay%d", currentEpisode());
    sndPlayMusic(music, 1, 1, nullptr);
}

void cMiniGameBase::OnHide(int finished) {
    Window::OnHide(finished);
    if (!finished) sndStopMusic(SND_FADE_OUT);
}

cMiniGameBase* CreateMiniGame(int episode) {
    switch (episode) {
    case 1:
        return new cMiniGameEpisode1;
    case 2:
        return new cMiniGameEpisode2;
    case 3:
        return new cMiniGameEpisode3;
    case 4:
        return new cMiniGameEpisode4;
    default:
        return nullptr;
    }
}
