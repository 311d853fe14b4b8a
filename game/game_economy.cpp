// The level's bookkeeping: money and popularity with their counters and flying texts, the goals,
// the served-clients counter and room upgrades, breakages, the level-end check, the win rule and
// the end sequence.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "world/client.h"
#include "world/hero.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/request.h"
#include "world/room.h"

namespace {

constexpr float kBarFullMs = 2000.0f;
constexpr int kCounterDelayMs = 1000;
constexpr int kDrainTickMs = 200;
constexpr int kNoTipsRise = 30;
constexpr int kUpgradeThresholds = 10;

const ColorRGBA kWhite(255, 255, 255, 255);
const ColorRGBA kRed(255, 0, 0, 255);

cHero* heroNamed(cGame* game, const char* name) {
    return dynamic_cast<cHero*>(game->GetHeroByName(name));
}

// The format's first "%d" replaced by the count; a format without one gets the count after it.
std::u16string fillCount(const std::u16string& format, int count) {
    const std::u16string number = widenText(std::to_string(count).c_str());
    const size_t at = format.find(u"%d");
    if (at == std::u16string::npos) return format + number;
    std::u16string text = format;
    text.replace(at, 2, number);
    return text;
}

}  // namespace

// --- Money and popularity -----------------------------------------------------------------------

void cGame::AddMoney(int amount, int preview) {
    if (preview) {
        moneyShown_ = money_ + amount;
    } else {
        money_ += amount;
        moneyShown_ = money_;
    }
    if (cash_) cash_->SetTextF("%d", moneyShown_);
    if (!goal_ || levelLost_) return;
    if (!goalAnnounced_ && moneyShown_ >= cashGoal_) {
        goalAnnounced_ = true;
        goal_->SetTextW((expertLabel_ + widenText(std::to_string(cashExpert_).c_str())).c_str());
        if (banner_) {
            ShowBanner("#GAME_GOAL_COMPLETE");
            worldPlaySound("goal");
        }
    }
    if (!expertAnnounced_ && moneyShown_ >= cashExpert_) {
        expertAnnounced_ = true;
        if (banner_) {
            ShowBanner("#GAME_EXPERT_COMPLETE");
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

void cGame::ShowTips(int payment, int tip, Point2i at) {
    if (!payment) return;
    char text[48];
    if (tip)
        safeSnprintf(text, sizeof text, "+%d+%d", payment, tip);
    else
        safeSnprintf(text, sizeof text, "+%d", payment);
    const float x = static_cast<float>(at.x), y = static_cast<float>(at.y);
    flying_.Add(new CFlyUpMoney(cashFont_, widenText(text).c_str(), moneySprite_, x, y, kWhite));
    if (tip) return;
    flying_.Add(new CFlyUpMoney(noTipsFont_, translated("#NO_TIPS").c_str(), nullptr, x,
                                y - kNoTipsRise, kRed));
}

void cGame::ShowLoyaltyChange(int change, Point2i at) {
    if (!change) return;
    const std::u16string& text = change > 0 ? incLoyalty_ : decLoyalty_;
    flying_.Add(new CFlyUpMoney(loyaltyFont_, text.c_str(), nullptr, static_cast<float>(at.x),
                                static_cast<float>(at.y), kWhite));
}

void cGame::ShowCombo(int count, Point2i at) {
    if (count <= 0) return;
    const std::u16string text = fillCount(comboFormat(), count);
    flying_.Add(new CFlyUpMoney(comboFont(), text.c_str(), nullptr, static_cast<float>(at.x),
                                static_cast<float>(at.y), kWhite));
    worldPlaySound("combo");
}

std::u16string cGame::comboFormat() const { return gComboText; }

CGraphFont* cGame::comboFont() const { return gComboFont; }

// --- The popularity bar -------------------------------------------------------------------------

void cGame::placeBarMarker() {
    if (tipsProgress_) tipsProgress_->SetValue(barShown_);
    if (!tipsProgress_ || !tipsSign_) return;
    const int left = tipsProgress_->x + static_cast<int>(std::abs(tipsProgress_->xs) * barShown_) -
                     std::abs(tipsSign_->xs) / 2;
    // A move by nothing is a no-op, and the bar stands still most steps.
    if (left != tipsSign_->x) tipsSign_->Move(left - tipsSign_->x, 0);
    if (tipsText_ && tipsText_->x != tipsSign_->x) tipsText_->Move(tipsSign_->x - tipsText_->x, 0);
}

int cGame::AnimatePopularityBar(int ms, int direction) {
    const bool short_ = direction > 0 ? barShown_ < barTarget_ : barShown_ > barTarget_;
    if (short_) {
        barShown_ += direction * ms / kBarFullMs;
        if (direction > 0 ? barShown_ > barTarget_ : barShown_ < barTarget_) barShown_ = barTarget_;
        placeBarMarker();
        if (direction < 0 && state_ == kLevelOver) {
            // The drained popularity shows in the cash counter; money itself stays as earned.
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

// --- Served clients and room upgrades -----------------------------------------------------------

void cGame::ShowUpgradeRoomHint() {
    for (int i = 0; i < kUpgradeThresholds; ++i) {
        char key[16];
        safeSnprintf(key, sizeof key, "uproom%d", i);
        const char* value = iniGetString(levelsFile_, "Main", key, "");
        if (!*value) continue;
        int threshold = 0, grade = 0;
        if (sscanf(value, "%d, %d", &threshold, &grade) != 2) {
            logPrintf("%s [Main] \"%s\": \"%s\" is not a client count and a room grade\n",
                      levelsFile_, key, value);
            continue;
        }
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
    // Past the last threshold the look-up keeps it: each threshold prepares one upgrade only,
    // not one more on every step.
    if (nextThreshold_ > actedThreshold_ && servedTotal_ >= nextThreshold_) {
        actedThreshold_ = nextThreshold_;
        PrepareRoomUpgrade(nextThresholdGrade_ - 1);
        ShowUpgradeRoomHint();
    }
    if (!bustCounter_) return;
    if (ms != 0 && counterTimer_ <= kCounterDelayMs) return;
    servedTotal_ += pendingStep_;
    bustCounter_->SetTextF("%d/%d", servedTotal_, nextThreshold_);
    counterTimer_ = 0;
    if (ms != 0) pulse_.Start();
    pendingStep_ = 0;
}

void cGame::PrepareRoomUpgrade(int grade) {
    cRoom* first = nullptr;
    for (int i = 0; i < objectCount_ && !first; ++i) {
        cRoom* room = dynamic_cast<cRoom*>(objects_[i]);
        if (room && room->UpgradeLevel() == grade && room->GetRequest().GetKind() != kUpgrade)
            first = room;
    }
    if (!first) return;
    first->BeginUpgrade(upgradeTime_);
    if (banner_ && !first->CanUpgrade()) ShowBanner("#MSG_PREPARE_TO_UPGRADE_ROOM");
}

void cGame::RecordRoomUpgrade() {
    roomUpgradeDone_ = true;
    upgradeSettled_ = true;
    ++roomsUpgraded_;
}

void cGame::ReleaseNextClient() {
    if (clientsCheckedOut_ >= clientCount_) return;
    ++clientsCheckedOut_;
    AdvanceUpgradeProgress(0, 1);
}

bool cGame::AllClientsArrived() {
    // With a mandatory upgrade still unsettled one client is held back and is yet to come.
    const int heldBack = gGoalType == 3 && !upgradeSettled_ ? 1 : 0;
    return clientsIn_ + clientsGone_ == clientCount_ + heldBack;
}

// --- Breakages ----------------------------------------------------------------------------------

void cGame::BreakRandomObject() {
    // On the stack and from the kinds read once: a breakdown in play allocates nothing.
    if (!kindsIndexed_) indexObjectKinds();
    cLevelObj* candidates[kMaxObjects];
    uint32_t count = 0;
    for (cLevelObj* o : breakables_)
        if (o->CanBreak()) candidates[count++] = o;
    if (count) candidates[gRandom.Int(count)]->Break(repairTime_);
}

void cGame::BreakRandomRoom() {
    cArray<cRoom*> candidates;
    for (int i = 0; i < objectCount_; ++i) {
        cRoom* room = dynamic_cast<cRoom*>(objects_[i]);
        if (room && room->CanBreak()) candidates.push_back(room);
    }
    if (!candidates.size()) return;
    // A room breaks through its flag: its guest's next request is the repair.
    candidates[gRandom.Int(candidates.size())]->SetBreakFlag();
}

// --- The level's end ----------------------------------------------------------------------------

bool cGame::everyClientServed() const {
    if (clientsGone_ < clientCount_) return false;
    // A companion counts as its partner does: while it is still in its room or passing its door,
    // the doors must not be shut on it for the level's end.
    for (int i = 0; i < clientCount_; ++i) {
        const cClient* c = GetClient(i);
        for (int n = 0; c && n < 2; ++n, c = static_cast<const cClient*>(c->GetLinked())) {
            const int kind = c->GetRequest().GetKind();
            const int s = c->GetState();
            if ((kind != kNoRequest && kind != kCheckOut) || s == cClient::kStateInRoom ||
                s == cClient::kStateLeavingRoom)
                return false;
        }
    }
    return true;
}

bool cGame::everyClientOutside() const {
    for (int i = 0; i < clientCount_; ++i) {
        const cClient* c = GetClient(i);
        if (c && c->GetState() != cClient::kStateOutside) return false;
    }
    return true;
}

void cGame::CheckLevelEnd(int ms) {
    allServed_ = everyClientServed();
    if (!allServed_) return;
    for (int i = 0; i < objectCount_; ++i) {
        cLevelObj* object = objects_[i];
        object->GetRequest().Cancel();
        object->GetRequest().Update(ms);
        cRoom* room = dynamic_cast<cRoom*>(object);
        if (room && (room->GetRequest().GetKind() == kNoRequest || room->GetRequest().IsDone())) {
            room->CloseDoor();
            room->MarkClosed();
        }
    }
    if (!heroesSentHome_) {
        heroesSentHome_ = true;
        for (const char* name : {"Maid", "Jenny", "Porter"})
            if (cHero* hero = heroNamed(this, name)) hero->PruneTasks();
        UnlockObjects(nullptr);
    }
    if (!everyClientOutside() || state_ == kLevelOver) return;
    state_ = kLevelOver;
    drainMs_ = 0;
    sndStopMusic(8);
    const bool won = IsLevelWon();
    levelLost_ = !won;
    if (won) {
        for (const char* name : {"Maid", "Porter"})
            if (cHero* hero = heroNamed(this, name))
                hero->WalkTo(hero->WaitPos(), cHero::kStateAtWaitPoint, cHero::kStateWalking);
    } else if (cHero* jenny = heroNamed(this, "Jenny")) {
        jenny->SetState(cHero::kStateUnhappy);
    }
    ShowBanner(won ? "#GAME_LEVEL_UP" : "#GAME_THANK_YOU");
    worldPlaySound(won ? "levelup" : "leveldefeat");
}

bool cGame::IsLevelWon() {
    goalType_ = gGoalType;
    if (goalType_ > 2 && !roomUpgradeDone_) return false;
    if (money_ + popularity_ < cashGoal_) return false;
    return clientsCheckedOut_ == clientCount_;
}

std::string cGame::LevelMusic() const {
    char key[32];
    const uint32_t index = gCurrentProfile ? gCurrentProfile->GetLevel() : 0u;
    safeSnprintf(key, sizeof key, "level_music%u", index);
    // The name is copied: the INI store's result buffers rotate.
    const char* name = iniGetString("Data/Sounds/music.ini", "Level", key, "");
    return *name ? name : "gameplay";
}

void cGame::StartLevelMusic() { sndPlayMusic(LevelMusic().c_str(), SND_FADE_IN, 1, nullptr); }

// --- Forced finishes ----------------------------------------------------------------------------

void cGame::FinishLevelNow() {
    clientsIn_ = 0;
    if (gGoalType == 3 && !roomUpgradeDone_) {
        const int grade = iniGetInt(levelsFile_, levelSection_, "mandatory_room_upgrades", 0) - 1;
        for (int i = 0; i < objectCount_; ++i) {
            cRoom* room = dynamic_cast<cRoom*>(objects_[i]);
            if (room && room->UpgradeLevel() == grade) {
                room->CompleteUpgrade();
                break;
            }
        }
    }
    clientsGone_ = clientCount_;
    clientsCheckedOut_ = clientsGone_;
    // A companion goes with its partner: one left in its room would hold the level's end off.
    for (int i = 0; i < clientCount_; ++i) {
        cClient* c = GetClient(i);
        for (int n = 0; c && n < 2; ++n, c = dynamic_cast<cClient*>(c->GetLinked())) {
            c->Hide();
            c->GetRequest().CancelTask();
            c->SetState(cClient::kStateOutside);
        }
    }
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
