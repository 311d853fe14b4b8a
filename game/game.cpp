// The level screen: its states at the fixed step, the drawing order of the level, the player's
// clicks, keys and cheat words, and the money, popularity and counters it shows.
#include "game/game.h"

#include <cmath>
#include <cstring>

#include "anim/comics.h"
#include "anim/fx_effects.h"
#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "world/client.h"
#include "world/jenny.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/level_object.h"
#include "world/request.h"

cGame* gCurrentGame = nullptr;
int32_t gGoalType = 2;

namespace {
Window* (*gPauseMenu)() = nullptr;
Window* (*gAfterLevel)() = nullptr;
}  // namespace

void gameSetPauseMenu(Window* (*pauseMenu)()) { gPauseMenu = pauseMenu; }
void gameSetAfterLevel(Window* (*afterLevel)()) { gAfterLevel = afterLevel; }

namespace {

constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kEscape = 27;
constexpr int kBannerKind = 4;
constexpr int kCheatMoney = 10000;
constexpr int kLastClientsBelow = 4;
constexpr float kBarFullMs = 2000.0f;
constexpr int kCounterDelayMs = 1000;
constexpr int kDrainTickMs = 200;
constexpr int kDayLabelMargin = 10;
const char kTranslation[] = "Data/translation.ini";

}  // namespace

std::u16string widenText(const char* text) {
    std::u16string out;
    for (const char* p = text; p && *p; ++p) out += static_cast<char16_t>(static_cast<uint8_t>(*p));
    return out;
}

std::u16string translated(const char* key) {
    const char16_t* text = iniGetWideGlobal(kTranslation, key);
    return text ? std::u16string(text) : std::u16string();
}

cGame::cGame() {
    drawList_.Init();
    state = UI_NORMAL;
}

cGame::~cGame() {
    delete banner_;
    spriteFree(&background_);
    spriteFree(&moneySprite_);
    for (CGraphFont* font : {bannerFont_, dayFont_, cashFont_, noTipsFont_, loyaltyFont_})
        grFreeFont(font);
    // Clients first: they point at the rooms they stay in.
    for (int i = 0; i < clientsMade_; ++i) delete levelClients_[i];
    for (int i = 0; i < kMaxObjects; ++i) delete objects_[i];
    // A level made before this one was deleted keeps the globals it set.
    if (gCurrentGame == this) gCurrentGame = nullptr;
    if (worldGame() == this) worldSetGame(nullptr);
    if (cWalkMap::Current() == &walkMap_) cWalkMap::SetCurrent(nullptr);
}

// --- Update -------------------------------------------------------------------------------------

int cGame::Update(int ms) {
    if (gComics && gComics->Update(static_cast<float>(ms) / 1000.0f)) return 0;
    switch (state_) {
    case kStart:
        state_ = kGetReady;
        worldPlaySound("get_ready");
        for (cHero* hero : Heroes()) {
            hero->SetState(cHero::kStateHail);
            hero->SetKeepApplauding(false);
        }
        heroesSentHome_ = false;
        return commonTail(ms);
    case kGetReady: updateGetReady(ms); return 0;
    case kTutorial:
        // The level waits for the hint to close; only the hint's own clock runs.
        if (gTutorial) gTutorial->AddTime(ms);
        return commonTail(ms);
    case kPlaying: commonUpdate(ms); return commonTail(ms);
    case kLevelOver:
        updateLevelOver(ms);
        return state_ == kLevelOver ? commonTail(ms) : 0;
    default: return commonTail(ms);
    }
}

void cGame::updateGetReady(int ms) {
    if (!banner_) {
        banner_ = new cBounceCaption;
        banner_->SetText(bannerFont_, "#GAME_GET_READY", kBannerKind);
        banner_->Start();
    }
    banner_->Update(ms);
    for (int i = 0; i < objectCount_; ++i) objects_[i]->Update(ms);
    for (cHero* hero : Heroes()) hero->Update(ms);
    if (!banner_->IsIdle()) return;
    banner_->SetText(bannerFont_, "#GAME_GO", kBannerKind);
    banner_->Start();
    state_ = kPlaying;
    StartLevelMusic();
    for (int i = 0; i < objectCount_; ++i) objects_[i]->SetHighlighted(false);
}

void cGame::updateLevelOver(int ms) {
    barTarget_ = 0;
    if (AnimatePopularityBar(ms, -1) && (!banner_ || banner_->IsIdle())) {
        CloseSelf();
        Window* next = gAfterLevel ? gAfterLevel() : nullptr;
        if (WM* wm = WM::Get(); wm && next) wm->Push(next, true, false, false);
        return;
    }
    commonUpdate(ms);
}

void cGame::commonUpdate(int ms) {
    if (state_ == kPlaying && !sndIsMusicPlaying()) StartLevelMusic();
    if (gFxManager) gFxManager->Update(static_cast<float>(ms) / 1000.0f);
    levelClock_ += ms;
    if (!lastClients_ && clientsIn_ + clientsGone_ == clientCount_ &&
        clientsIn_ < kLastClientsBelow) {
        lastClients_ = true;
        for (int i = 0; i < objectCount_; ++i) objects_[i]->SetBreakable(false);
    }
    AdvanceUpgradeProgress(ms, 0);
    if (startTimes_.size() && startTimes_[0] <= levelClock_) AdmitNextClient();
    for (int i = 0; i < objectCount_; ++i) objects_[i]->Update(ms);
    if (state_ == kPlaying) {
        if (nextObjectBreak_ && nextObjectBreak_ <= levelClock_) {
            BreakRandomObject();
            nextObjectBreak_ += objectBreakMin_ + static_cast<int>(gRandom.Int(
                                                      static_cast<uint32_t>(objectBreakRange_)));
        }
        if (nextRoomBreak_ && nextRoomBreak_ <= levelClock_) {
            BreakRandomRoom();
            nextRoomBreak_ += roomBreakMin_ +
                              static_cast<int>(gRandom.Int(static_cast<uint32_t>(roomBreakRange_)));
        }
        AnimatePopularityBar(ms, barShown_ <= barTarget_ ? 1 : -1);
    }
    for (cHero* hero : Heroes()) hero->Update(ms);
    if (banner_) banner_->Update(ms);
    flying_.Update(ms);
    CheckLevelEnd(ms);
    UpdateMonsters(ms);
}

void cGame::CheckLevelEnd(int ms) {
    (void)ms;
    // The level's clients are all counted by the client schedule; none is still inside.
    allServed_ = clientsGone_ >= clientCount_ && clientsIn_ == 0;
    if (!allServed_) return;
    if (!heroesSentHome_) {
        heroesSentHome_ = true;
        for (cHero* hero : Heroes()) hero->PruneTasks();
        UnlockObjects(nullptr);
    }
    if (state_ == kLevelOver) return;
    state_ = kLevelOver;
    drainMs_ = 0;
    sndStopMusic(8);
    const bool won = IsLevelWon();
    if (!won && jenny_) jenny_->SetState(cHero::kStateUnhappy);
    if (banner_) {
        banner_->SetText(bannerFont_, won ? "#GAME_LEVEL_UP" : "#GAME_THANK_YOU", kBannerKind);
        banner_->Start();
    }
    sndPlay(won ? "levelup" : "leveldefeat", SND_GROUP_SOUND);
}

bool cGame::IsLevelWon() {
    goalType_ = gGoalType;
    if (goalType_ > 2 && !roomUpgradeDone_) return false;
    if (money_ + popularity_ < cashGoal_) return false;
    return clientsCheckedOut_ == clientCount_;
}

int cGame::commonTail(int ms) {
    pulse_.Update(static_cast<float>(ms) / 1000.0f);
    if (gFlyingTips) gFlyingTips->Update(ms);
    return Window::Update(ms);
}

// --- Drawing ------------------------------------------------------------------------------------

int cGame::Draw() {
    if (background_) grDrawSprite(0, 0, background_, 0);
    DrawMonsters();
    for (int i = 0; i < objectCount_; ++i) objects_[i]->AddToDrawList(&drawList_);
    for (cHero* hero : Heroes()) hero->AddToDrawList(&drawList_);
    drawList_.Flush();
    Window::Draw();
    flying_.Draw();
    if (banner_) banner_->Draw();
    if (gFlyingTips) gFlyingTips->Draw();
    pulse_.Draw(0xFFFFFFFFu);
    if (gFxManager) gFxManager->Draw();
    drawDayLabel();
    if (state_ == kTutorial && gTutorial) gTutorial->Draw();
    if (gComics) gComics->Draw(1.0f);
    return 1;
}

void cGame::drawDayLabel() {
    if (!dayFont_) return;
    std::u16string text = dayText_ + u" " + widenText(std::to_string(levelNumber_).c_str());
    int w = 0, h = 0, bits = 0, full = 0;
    grGetMode(&w, &h, &bits, &full);
    grDrawText(dayFont_, (w ? w : xs) - kDayLabelMargin, kDayLabelMargin, text.c_str(), 0, 1, -1);
}

// --- Input --------------------------------------------------------------------------------------

int cGame::OnKeyDown(int key, intptr_t data) {
    if (gComics && gComics->IsShowing()) gComics->OnButton(key);
    if (key == kEscape) {
        openPauseMenu();
        return 1;
    }
    if (state_ == kTutorial && (key == kLeftButton || key == kRightButton)) {
        if (gTutorial) gTutorial->OnMouseDown(key, data);
        return 1;
    }
    if (state_ == kPlaying && (key == kLeftButton || key == kRightButton)) {
        // The interface lies over the level: a widget that takes the click keeps it.
        if (Window::OnKeyDown(key, data)) return 1;
        if (key == kLeftButton)
            leftButtonDown(uiPackedX(data), uiPackedY(data));
        else
            rightButtonDown(uiPackedX(data), uiPackedY(data));
        return 1;
    }
    return Window::OnKeyDown(key, data);
}

void cGame::leftButtonDown(int x, int y) {
    for (int i = 0; i < objectCount_; ++i) {
        cLevelObj* object = objects_[i];
        if (!object->HitTestPoint(x, y)) continue;
        if (object->IsActionable()) {
            OrderService(object);
            break;
        }
        object->SignalWrongClick();
    }
    ClickMonsters(x, y);
}

void cGame::rightButtonDown(int x, int y) {
    for (int i = 0; i < objectCount_; ++i) {
        cLevelObj* object = objects_[i];
        if (!object->HitTestPoint(x, y)) continue;
        const cRequest* request =
            object->GetAttached() ? object->GetAttached() : &object->GetRequest();
        if (HeroLink* hero = request->GetHero()) {
            hero->RemoveTask(request->GetKind(), object);
            break;
        }
    }
}

int cGame::OnKeyUp(int key, intptr_t data) { return Window::OnKeyUp(key, data); }

int cGame::OnChar(int character, intptr_t data) {
    if (typedEndsWith("rz5top")) ForceWin();
    if (typedEndsWith("rz5climbed")) FinishLevelNow();
    if (typedEndsWith("rz5fallen")) ForceDefeat();
    if (typedEndsWith("rz5coins")) money_ = kCheatMoney;
    return Window::OnChar(character, data);
}

int cGame::OnMouseMove(int buttons, intptr_t position) {
    const int result = Window::OnMouseMove(buttons, position);
    pointer_ = Point2i(uiPackedX(position), uiPackedY(position));
    if (state_ != kTutorial)
        for (int i = 0; i < objectCount_; ++i) objects_[i]->HitTestPoint(pointer_.x, pointer_.y);
    return result;
}

int cGame::OnCommand(UIWnd* sender) {
    if (sender && strcmp(sender->section, "MenuBtn") == 0) {
        openPauseMenu();
        return 1;
    }
    return Window::OnCommand(sender);
}


void cGame::openPauseMenu() {
    sndStopGroup(SND_GROUP_SOUND);
    // The level leaves the stack but lives on: the pause menu's Resume pushes this same level.
    CloseSelf();
    Window* menu = gPauseMenu ? gPauseMenu() : nullptr;
    if (WM* wm = WM::Get(); wm && menu) wm->Push(menu, false, false, false);
}

// --- Breakages ---------------------------------------------------------------------------------

bool cGame::objectOfType(const cLevelObj* object, const char* type) const {
    return object && strCmpNoCase(iniGetString(objectsFile_, object->GetSectionName(), "type", ""),
                                  type) == 0;
}

void cGame::BreakRandomObject() {
    cArray<cLevelObj*> candidates;
    for (int i = 0; i < objectCount_; ++i) {
        cLevelObj* o = objects_[i];
        if (!objectOfType(o, "room") && !objectOfType(o, "flower") && o->CanBreak())
            candidates.push_back(o);
    }
    if (candidates.size())
        candidates[gRandom.Int(candidates.size())]->Break(repairTime_);
}

void cGame::BreakRandomRoom() {
    // Rooms break through their own class, which the level does not hold yet: no room is a
    // candidate until then.
}

void cGame::ShowBanner(const char* key) {
    if (!banner_ || !key) return;
    banner_->SetText(bannerFont_, key, kBannerKind);
    banner_->Start();
}

void cGame::RecordRoomUpgrade() {
    roomUpgradeDone_ = true;
    upgradeSettled_ = true;
    ++roomsUpgraded_;
}

void cGame::AddRoomUpgradeRecord(const char* record) {
    if (record && *record) upgradeRecords_.push_back(record);
    roomUpgradeDone_ = true;
}

// --- Money, popularity, counters ----------------------------------------------------------------

void cGame::AddMoney(int amount, int preview) {
    if (preview) {
        moneyShown_ = money_ + amount;
    } else {
        money_ += amount;
        moneyShown_ = money_;
    }
    if (cash_) cash_->SetTextF("%d", moneyShown_);
    if (!goal_) return;
    if (!goalAnnounced_ && moneyShown_ >= cashGoal_) {
        goalAnnounced_ = true;
        goal_->SetTextW((expertLabel_ + widenText(std::to_string(cashExpert_).c_str())).c_str());
        if (banner_) {
            banner_->SetText(bannerFont_, "#GAME_GOAL_COMPLETE", kBannerKind);
            banner_->Start();
            worldPlaySound("goal");
        }
    }
    if (!expertAnnounced_ && moneyShown_ >= cashExpert_) {
        expertAnnounced_ = true;
        if (banner_) {
            banner_->SetText(bannerFont_, "#GAME_EXPERT_COMPLETE", kBannerKind);
            banner_->Start();
            worldPlaySound("goal");
        }
    }
}

void cGame::AddPopularity(int amount, int fly, Point2i from) {
    popularity_ += amount;
    if (popularity_ < 0) popularity_ = 0;
    if (tipsSum_) tipsSum_->SetTextF("%d", popularity_);
    // Without clients the maximum is 0: the bar stays empty rather than dividing by it.
    barTarget_ = popularityMax_ > 0 ? static_cast<float>(popularity_) / popularityMax_ : 0.0f;
    barTarget_ = barTarget_ < 0 ? 0 : barTarget_ > 1 ? 1 : barTarget_;
    if (fly && amount && gFlyingTips && tipsProgress_) {
        const int markerW = tipsSign_ ? std::abs(tipsSign_->xs) : 0;
        const float tx = tipsProgress_->x + std::abs(tipsProgress_->xs) * barTarget_ - markerW / 2;
        const float ty = tipsSign_ ? tipsSign_->y : tipsProgress_->y;
        gFlyingTips->Launch(static_cast<float>(from.x), static_cast<float>(from.y), tx, ty,
                            amount < 0 ? FlyingTips::kLoss : FlyingTips::kGain);
    }
    if (amount && tipsText_) {
        tipsText_->SetTextF("%d", amount);
        tipsText_->tint = 0xFFFFFFFFu;
    }
}

void cGame::placeBarMarker() {
    if (tipsProgress_) tipsProgress_->SetValue(barShown_);
    if (!tipsProgress_ || !tipsSign_) return;
    const int left = tipsProgress_->x + static_cast<int>(std::abs(tipsProgress_->xs) * barShown_) -
                     std::abs(tipsSign_->xs) / 2;
    tipsSign_->Move(left - tipsSign_->x, 0);
    if (tipsText_) tipsText_->Move(tipsSign_->x - tipsText_->x, 0);
}

int cGame::AnimatePopularityBar(int ms, int direction) {
    const bool short_ = direction > 0 ? barShown_ < barTarget_ : barShown_ > barTarget_;
    if (short_) {
        barShown_ += direction * ms / kBarFullMs;
        if (direction > 0 ? barShown_ > barTarget_ : barShown_ < barTarget_) barShown_ = barTarget_;
        placeBarMarker();
        if (direction < 0 && state_ == kLevelOver) {
            drainMs_ += ms;
            if (tipsText_) {
                tipsText_->SetTextF("%d", static_cast<int>(popularity_ * barShown_));
                tipsText_->tint = 0xFFFFFFFFu;
            }
            AddMoney(static_cast<int>((1 - barShown_) * popularity_), 1);
            if (drainMs_ > kDrainTickMs) drainMs_ = 0;
        }
        return 0;
    }
    barShown_ = barTarget_;
    placeBarMarker();
    if (tipsText_) {
        int alpha = static_cast<int>(tipsText_->tint >> 24);
        if (alpha > 0) {
            alpha -= ms * 255 / 1000;
            if (alpha < 0) alpha = 0;
            tipsText_->tint = (tipsText_->tint & 0x00FFFFFFu) | static_cast<uint32_t>(alpha) << 24;
        }
    }
    return 1;
}

void cGame::ShowUpgradeRoomHint() {
    for (int i = 0; i < 10; ++i) {
        char key[16];
        safeSnprintf(key, sizeof key, "uproom%d", i);
        const char* value = iniGetString(levelsFile_, "Main", key, "");
        if (!*value) continue;
        int threshold = 0, grade = 0;
        if (sscanf(value, "%d, %d", &threshold, &grade) != 2) continue;
        nextThreshold_ = threshold;
        nextThresholdGrade_ = grade;
        if (threshold > servedTotal_) break;
    }
}

void cGame::AdvanceUpgradeProgress(int ms, int step) {
    if (counterTimer_ > 0) counterTimer_ += ms;
    if (step >= 1) {
        pendingStep_ = step;
        counterTimer_ = 1;
        return;
    }
    // Room upgrades are prepared by the rooms, which the level does not hold yet; the threshold
    // still moves on.
    if (nextThreshold_ > 0 && servedTotal_ >= nextThreshold_) ShowUpgradeRoomHint();
    if (!bustCounter_) return;
    if (ms != 0 && counterTimer_ <= kCounterDelayMs) return;
    servedTotal_ += pendingStep_;
    bustCounter_->SetTextF("%d/%d", servedTotal_, nextThreshold_);
    counterTimer_ = 0;
    if (pendingStep_ && ms != 0) pulse_.Start();
    pendingStep_ = 0;
}

void cGame::RefreshClientCounter() {
    if (!clients_) return;
    const std::u16string text = translated("#INTERFACE_CLIENTS") +
                                widenText((" " + std::to_string(clientsIn_ + clientsGone_) + "/" +
                                       std::to_string(clientCount_)).c_str());
    clients_->SetTextW(text.c_str());
}

void cGame::StartLevelMusic() {
    char key[32];
    safeSnprintf(key, sizeof key, "level_music%d", levelNumber_);
    const char* name = iniGetString("Data/Sounds/music.ini", "Level", key, "");
    // The name is copied: the INI store's result buffers rotate.
    char music[128];
    StrCopyN(music, *name ? name : "gameplay", sizeof music);
    sndPlayMusic(music, SND_FADE_IN, 1, nullptr);
}

// --- Forced finishes ----------------------------------------------------------------------------

void cGame::FinishLevelNow() {
    clientsIn_ = 0;
    clientsGone_ = clientCount_;
    clientsCheckedOut_ = clientsGone_;
    money_ = cashGoal_;
    popularity_ = 0;
}

void cGame::ForceWin() {
    FinishLevelNow();
    money_ = cashExpert_;
}

void cGame::ForceDefeat() {
    FinishLevelNow();
    money_ = cashGoal_ - 1;
}

cGame* gameCreateLevel() {
    cGame* game = new cGame;
    for (int stage = 0; stage < cGame::kLoadStages; ++stage) game->LoadLevel(stage);
    return game;
}
