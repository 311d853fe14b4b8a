// The after-level statistics screen.
#include "screens/after_game.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "anim/comics.h"
#include "anim/fx_effects.h"
#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/snd/snd.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/between.h"
#include "screens/holders.h"
#include "screens/home.h"
#include "screens/level_loading.h"
#include "screens/loading.h"
#include "screens/shared_background.h"

namespace {

const char* const kFrame[] = {"Mid",         "Top",        "Bottom",  "Right",  "Left",
                              "RightBottom", "LeftBottom", "RightUp", "LeftUp", "Logo"};

uint32_t withAlpha(uint32_t colour, int alpha) {
    return (colour & 0xFFFFFFu) | static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24;
}
int alphaOf(const UIWnd* w) { return static_cast<int>(w->tint >> 24); }
uint32_t grey(int level, int alpha) {
    const uint32_t l = static_cast<uint32_t>(std::clamp(level, 0, 255));
    return static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24 | l << 16 | l << 8 | l;
}

}  // namespace

UIAfterGameStats::~UIAfterGameStats() {
    for (PulseSprite* p : pulses_) delete p;
    // Deleted while on show (at shut-down), it keeps the borrowed shared background alive.
    background_.GiveBack(this);
}

void UIAfterGameStats::Create(const char* file, const char* section) {
    Window::Create(file, section);
    if (!file || !*file) return;
    for (const char* name : kFrame) CreateChildFromIni(this, file, name, 0, 0);
    btnRestart_ = CreateChildFromIni(this, file, "BtnRestart", 0, 0);
    btnMenu_ = CreateChildFromIni(this, file, "BtnMenu", 0, 0);
    btnOk_ = CreateChildFromIni(this, file, "BtnOk", 0, 0);
    zunaLose_ = CreateChildFromIni(this, file, "ZunaLose", 0, 0);
    zunaWin_ = CreateChildFromIni(this, file, "ZunaWin", 0, 0);
    zunaExpert_ = CreateChildFromIni(this, file, "ZunaExpert", 0, 0);
    ribbonLeft_ = CreateChildFromIni(this, file, "RibbonLeft", 0, 0);
    ribbonRight_ = CreateChildFromIni(this, file, "RibbonRight", 0, 0);
    day_ = CreateChildFromIni(this, file, "Day", 0, 0);
    for (int i = 0; i < 3; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Goal%d", i);
        goal_[i] = CreateChildFromIni(this, file, name, 0, 0);
        std::snprintf(name, sizeof name, "TilePoint%d", i);
        tilePoint_[i] = CreateChildFromIni(this, file, name, 0, 0);
        std::snprintf(name, sizeof name, "tick%d", i);
        tick_[i].Load(file, name);
        std::snprintf(name, sizeof name, "cross%d", i);
        cross_[i].Load(file, name);
    }
    if (goal_[1]) goal1Format_ = goal_[1]->caption;
    struct Line {
        const char *divider, *caption, *amount, *pulse;
    } lines[kLines] = {{"Divider1", "ClientsServed", "ClientsAmount", "BustSign"},
                       {nullptr, "ServiceIncome", "ServiceAmount", "ServiceSign"},
                       {nullptr, "Tips", "TipsAmount", "TipsSign"},
                       {"Divider2", "Total", "TotalAmount", "TotalSign"}};
    for (int i = 0; i < kLines; ++i) {
        if (lines[i].divider) CreateChildFromIni(this, file, lines[i].divider, 0, 0);
        CreateChildFromIni(this, file, lines[i].caption, 0, 0);
        amounts_[i] = CreateChildFromIni(this, file, lines[i].amount, 0, 0);
        delete pulses_[i];
        pulses_[i] = new PulseSprite;
        pulses_[i]->Load(file, lines[i].pulse);
    }
    CreateChildFromIni(this, file, "Ribbon", 0, 0);
    StrCopyN(UIWnd::section, "UIAfterGameBase", kUiSectionSize);
}

int UIAfterGameStats::ComputeResult() const {
    if (!gCurrentGame) return 1;
    const cGame* g = gCurrentGame;
    const int sum = g->GetMoney() + g->GetPopularity();
    const bool upgradeOk = gGoalType <= 2 || g->WasRoomUpgraded();
    if (sum >= g->GetCashExpert() && g->AllClientsReleased() && upgradeOk) return 3;
    if (sum < g->GetCashGoal() || !g->AllClientsReleased() || !upgradeOk) return 1;
    return 2;
}

void UIAfterGameStats::moveAll(int dy) {
    // The shared background stays where it is: the panel slides over it.
    for (int i = 0; i < childCount(); ++i)
        if (children[i] != gSharedBackground) children[i]->Move(0, dy);
    for (PulseSprite* p : pulses_)
        if (p) p->Position().y += static_cast<float>(dy);
    for (int i = 0; i < 3; ++i) {
        tick_[i].spr_y += dy;
        cross_[i].spr_y += dy;
    }
}

void UIAfterGameStats::setAmount(UIWnd* w, int value) {
    if (w) w->SetTextF("%u", static_cast<unsigned>(value));
}

void UIAfterGameStats::placeRows(bool threeGoals) {
    for (int i = 0; i < 2; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Goal%d", i);
        if (goal_[i]) goal_[i]->Move(0, iniGetInt(iniFile, name, "y", 0) - goal_[i]->y);
        std::snprintf(name, sizeof name, "TilePoint%d", i);
        if (tilePoint_[i]) tilePoint_[i]->Move(0, iniGetInt(iniFile, name, "y", 0) - tilePoint_[i]->y);
        std::snprintf(name, sizeof name, "tick%d", i);
        tick_[i].Load(iniFile, name);
        std::snprintf(name, sizeof name, "cross%d", i);
        cross_[i].Load(iniFile, name);
    }
    if (goal_[2]) goal_[2]->setHidden(!threeGoals);
    if (tilePoint_[2]) tilePoint_[2]->setHidden(!threeGoals);
    if (threeGoals) return;
    // Two goals sit lower, centred in the room the third would take.
    for (int i = 0; i < 2; ++i) {
        if (goal_[i]) goal_[i]->Move(0, 25);
        if (tilePoint_[i]) tilePoint_[i]->Move(0, 25);
        tick_[i].spr_y += 25;
        cross_[i].spr_y += 25;
    }
}

void UIAfterGameStats::OnShow(int finished) {
    Window::OnShow(finished);
    if (finished) return;
    background_.TakeWithLook(this, 0xFF7F7F7Fu, kFigureBackground | kFigureFlags);
    // The level's figures are copied now: Ok deletes the level while this screen still shows.
    level_ = Figures();
    if (const cGame* g = gCurrentGame) {
        level_.clientsReleased = g->GetClientsReleased();
        level_.money = g->GetMoney();
        level_.popularity = g->GetPopularity();
        level_.cashGoal = g->GetCashGoal();
        level_.cashExpert = g->GetCashExpert();
        level_.addPopularity = g->GetAddPopularity();
        level_.roomsUpgraded = g->GetRoomsUpgraded();
        level_.allReleased = g->AllClientsReleased();
        level_.roomUpgraded = g->WasRoomUpgraded();
        level_.scoreRatio = g->GetScoreRatio();
        level_.goalType = gGoalType;
        level_.upgradeRecords = g->RoomUpgradeRecords();
    }
    if (day_ && gCurrentProfile) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", gCurrentProfile->GetLevelNumber());
        day_->SetTextW((translatedText(iniGetString(iniFile, "Day", "name", "")) +
                        widenText(number)).c_str());
        int width = 0;
        grGetMode(&width, nullptr, nullptr, nullptr);
        if (width == 0) width = 1024;
        day_->xs = static_cast<int16_t>(grTextWidth(day_->font, day_->caption, kUiCaptionUnits));
        day_->Move(width / 2 - day_->xs / 2 - day_->x, 0);
        const int h = grTextWidthA(day_->font, "X", 1) / 2;
        if (ribbonLeft_) ribbonLeft_->Move(day_->x - ribbonLeft_->xs - h - ribbonLeft_->x, 0);
        if (ribbonRight_) ribbonRight_->Move(day_->x + day_->xs + h / 2 - ribbonRight_->x, 0);
    }
    for (UIWnd* a : amounts_) setAmount(a, 0);
    result_ = ComputeResult();
    sayTheVerdict();
    if (btnOk_) btnOk_->setHidden(result_ == 1);
    if (btnMenu_) btnMenu_->setHidden(result_ != 1);
    if (zunaLose_) zunaLose_->setHidden(result_ != 1);
    if (zunaWin_) zunaWin_->setHidden(result_ != 2);
    if (zunaExpert_) zunaExpert_->setHidden(result_ != 3);
    figure_ = result_ == 1 ? zunaLose_ : result_ == 2 ? zunaWin_ : zunaExpert_;
    if (figure_) figure_->tint = withAlpha(0xFFFFFFu, 0);
    for (int& v : shown_) v = 0;
    entering_ = true;
    clock = 0;
    if (gFxManager) gFxManager->Stop();
    dimLevel_ = 255;
    currentGoal_ = 0;
    setGoalMark(1, 0);
    countingDone_ = skipped_ = false;
    for (int i = 0; i < 3; ++i) {
        tickShown_[i] = crossShown_[i] = false;
        markClock_[i] = 0;
    }
    markPending_ = true;
    if (goal_[1]) goal_[1]->SetTextW(formatOneInteger(goal1Format_, level_.cashGoal).c_str());
    placeRows(level_.goalType >= 3);
    moveAll(-SlideIn::kSlideDistance);
    slide_.Start();
    for (int i = 0; i < childCount(); ++i)
        if (children[i] != figure_ && children[i] != gSharedBackground) children[i]->tint = 0xFFFFFFFFu;
    leaving_ = false;
    leaveFade_ = 0;
    pointsCountdown_ = 0;
}

void UIAfterGameStats::sayTheVerdict() {
    // The title says how the day went: "name_<result>" of its section, else its own "name".
    UIWnd* title = findChild(this, "Logo");
    if (!title) return;
    char key[16];
    std::snprintf(key, sizeof key, "name_%d", result_);
    const char16_t* said = iniGetText(title->iniFile, title->section, key);
    title->SetTextW(said && *said ? said : iniGetText(title->iniFile, title->section, "name"));
}

void UIAfterGameStats::OnHide(int finished) {
    Window::OnHide(finished);
    if (finished) background_.GiveBack(this);
}

void UIAfterGameStats::slideIn() {
    bool finished = false;
    moveAll(slide_.Step(clock, &finished));
    if (finished) {
        entering_ = false;
        clock = 0;
    }
}

void UIAfterGameStats::countUp(int& value, int target, int step) {
    const int k = target / step + 1;
    value = static_cast<int>(target * ((clock / k) / 1000.0));
    if (value >= target) {
        value = target;
        clock = 0;
    }
}

const AnimDesc* UIAfterGameStats::mark(int row) const {
    if (tickShown_[row]) return &tick_[row];
    if (crossShown_[row]) return &cross_[row];
    return nullptr;
}

bool UIAfterGameStats::setGoalMark(int row, int verdict) {
    if (row != currentGoal_) {
        if (currentGoal_ < row) {
            clock = 0;
            currentGoal_ = row;
            return false;
        }
        return true;
    }
    const int r = row - 1;
    UIWnd* caption = r >= 0 && r < 3 ? goal_[r] : nullptr;
    if (r < 0 || r >= 3) return true;
    if (markPending_) {
        if (verdict < 0) {
            tickShown_[r] = false;
            crossShown_[r] = true;
            markClock_[r] = 0;
            if (caption) caption->tint = 0xFFFF0000u;
            markPending_ = false;
            sndPlay("aftergame_menu_cross", SND_GROUP_SOUND);
        } else if (verdict == 0) {
            if (caption) caption->tint = 0xFFFFFF00u;
        } else {
            tickShown_[r] = true;
            crossShown_[r] = false;
            markClock_[r] = 0;
            if (caption) caption->tint = 0xFF00FF00u;
            markPending_ = false;
            sndPlay("aftergame_menu_tick", SND_GROUP_SOUND);
        }
        return false;
    }
    if (caption) caption->tint = withAlpha(caption->tint, std::min(255, alphaOf(caption) + 20));
    const AnimDesc* m = mark(r);
    if (m && m->sprite && markClock_[r] > grSpriteTime(m->sprite) + 1000) {
        markPending_ = true;
        return true;
    }
    // A mark without a picture has nothing to wait for.
    if (!m || !m->sprite) {
        markPending_ = true;
        return true;
    }
    return false;
}

void UIAfterGameStats::playPointsSound() {
    if (pointsCountdown_ > 0) return;
    sndPlay("aftergame_menu_points_add", SND_GROUP_SOUND);
    pointsCountdown_ = 5;
}

void UIAfterGameStats::fadeInFigure(int ms) {
    if (figure_) figure_->tint = withAlpha(figure_->tint, std::min(255, alphaOf(figure_) + ms / 3));
}

void UIAfterGameStats::celebrate(int ms) {
    if (!figure_) return;
    int a = alphaOf(figure_);
    if (a < 255) {
        a = std::min(255, a + ms / 3);
        figure_->tint = withAlpha(0xFFFFFFu, a);
        dimLevel_ = 255 - a * 3 / 4;
        for (int i = 0; i < childCount(); ++i)
            if (children[i] != figure_) children[i]->tint = grey(dimLevel_, alphaOf(children[i]));
        clock = 0;
        if (gFxManager) initFxRecord(gFxManager->Show());
    } else if (clock > 5000) {
        dimLevel_ = std::min(255, dimLevel_ + ms / 2);
        for (int i = 0; i < childCount(); ++i)
            if (children[i] != figure_) children[i]->tint = grey(dimLevel_, alphaOf(children[i]));
    }
    if (gFxManager) gFxManager->Update(ms / 1000.0f);
}

int UIAfterGameStats::Update(int ms) {
    --pointsCountdown_;
    if (leaving_) {
        leaveFade_ = std::min(leaveFade_ + ms / 1000.0f, 1.0f);
        if (gComics && gComics->Update(ms / 1000.0f)) return 0;
        Leave();
        return 0;
    }
    const int stop = Window::Update(ms);
    if (entering_) {
        slideIn();
        return stop;
    }
    for (int& c : markClock_) c += ms;
    for (PulseSprite* p : pulses_) p->Update(ms / 1000.0f);
    if (countingDone_) {
        if (figure_ == zunaExpert_ && !skipped_)
            celebrate(ms);
        else
            fadeInFigure(ms);
        return stop;
    }
    if (shown_[kClients] < level_.clientsReleased) {
        setGoalMark(1, 0);
        countUp(shown_[kClients], level_.clientsReleased, 10);
        setAmount(amounts_[kClients], shown_[kClients]);
        pulses_[0]->Start();
        playPointsSound();
        return stop;
    }
    if (!setGoalMark(1, level_.allReleased ? 1 : -1) || pulses_[0]->IsRunning()) return stop;
    if (shown_[kIncome] < level_.money) {
        setGoalMark(2, 0);
        countUp(shown_[kIncome], level_.money, 1000);
        setAmount(amounts_[kIncome], shown_[kIncome]);
        setAmount(amounts_[kTotal], shown_[kIncome]);
        pulses_[1]->Start();
        pulses_[3]->Start();
        playPointsSound();
        return stop;
    }
    if (pulses_[1]->IsRunning()) return stop;
    if (shown_[kTips] < level_.popularity) {
        countUp(shown_[kTips], level_.popularity, 500);
        setAmount(amounts_[kTips], shown_[kTips]);
        shown_[kTotal] = shown_[kTips] + shown_[kIncome];
        setAmount(amounts_[kTotal], shown_[kTotal]);
        pulses_[2]->Start();
        pulses_[3]->Start();
        playPointsSound();
        return stop;
    }
    const int sum = shown_[kIncome] + shown_[kTips];
    if (!setGoalMark(2, sum < level_.cashGoal ? -1 : 1)) return stop;
    if (level_.goalType < 3 || setGoalMark(3, level_.roomUpgraded ? 1 : -1)) countingDone_ = true;
    return stop;
}

void UIAfterGameStats::skip() {
    shown_[kClients] = level_.clientsReleased;
    shown_[kIncome] = level_.money;
    shown_[kTips] = level_.popularity;
    shown_[kTotal] = level_.money + level_.popularity;
    for (int i = 0; i < kLines; ++i) setAmount(amounts_[i], shown_[i]);
    countingDone_ = skipped_ = true;
    currentGoal_ = 1;
    markPending_ = true;
    setGoalMark(1, level_.allReleased ? 1 : -1);
    markPending_ = true;
    currentGoal_ = 2;
    setGoalMark(2, shown_[kTotal] < level_.cashGoal ? -1 : 1);
    if (level_.goalType >= 3) {
        markPending_ = true;
        currentGoal_ = 3;
        setGoalMark(3, level_.roomUpgraded ? 1 : -1);
    }
    sndStopGroup(SND_GROUP_SOUND);
}

int UIAfterGameStats::OnKeyDown(int key, intptr_t data) {
    // While leaving the figures were handed on already: a click only goes to the comic.
    if (key == kUiLeftButton && !entering_ && !countingDone_ && !leaving_) skip();
    if (gComics) gComics->OnButton(key);
    return UIWnd::OnKeyDown(key, data);
}

int UIAfterGameStats::OnMouseMove(int buttons, intptr_t position) {
    if (leaving_) return 1;
    return Window::OnMouseMove(buttons, position);
}

void UIAfterGameStats::SaveResults() {
    cPlayerProfile* p = gCurrentProfile;
    if (!p) return;
    for (uint32_t i = 0; i < level_.upgradeRecords.size(); ++i) {
        p->AddShopItem(level_.upgradeRecords[i].c_str());
        p->AddItemPopToLevel(level_.upgradeRecords[i].c_str());
    }
    p->AddPopToAdd();
    p->AddCash(static_cast<uint32_t>(std::max(0, level_.money + level_.popularity)));
    p->AddPopularity(static_cast<uint32_t>(std::max(0, level_.addPopularity)));
    p->AddSkillPoints(level_.scoreRatio);
    p->SetRoomsUpgraded(static_cast<uint32_t>(level_.roomsUpgraded));
    p->AddClientsServed(static_cast<uint32_t>(level_.clientsReleased));
    if (p->GetLevel() < gWayPoints.size()) gWayPoints[p->GetLevel()].SetResult(result_);
}

int UIAfterGameStats::OnCommand(UIWnd* sender) {
    if (leaving_ || !sender) return 0;
    const char* name = sender->section;
    if (!std::strcmp(name, "BtnRestart")) {
        sndStopGroup(SND_GROUP_SOUND);
        // The old level goes before the new one is made.
        releaseCurrentGame();
        gCurrentGame = new cGame;
        CloseSelf();
        pushScreen(gUILevelLoading, false, false, false);
    } else if (!std::strcmp(name, "BtnMenu")) {
        // A lost level is over: nothing may resume it from the pause menu or Help.
        releaseCurrentGame();
        CloseSelf();
        pushScreen(gUIMainMenu, false, false, false);
    } else if (!std::strcmp(name, "BtnOk")) {
        SaveResults();
        cPlayerProfile* p = gCurrentProfile;
        if (p && p->GetLevelNumber() == 10 && gComics) {
            char comic[32];
            std::snprintf(comic, sizeof comic, "data/Comics/%d.anm", p->GetEpisode() + 1);
            gComics->Play(comic);
            sndPlayMusic("menu", 1, 1, nullptr);
        }
        if (p) p->GoToLevel(p->GetLevel() + 1);
        sndStopGroup(SND_GROUP_SOUND);
        releaseCurrentGame();
        leaving_ = true;
        leaveFade_ = 0;
    } else {
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

void UIAfterGameStats::Leave() {
    CloseSelf();
    sndStopMusic(1);
    if (gUIHome && HomeInstallDue())
        pushScreen(gUIHome, true, false, false);
    else if (gGameFinished || !gUIGameMap)
        pushScreen(gUIMainMenu, true, false, false);
    else
        pushScreen(gUIGameMap, true, false, false);
}

int UIAfterGameStats::Draw() {
    if (!leaving_) {
        Window::Draw();
        const uint32_t tint = grey(dimLevel_, dimLevel_);
        for (PulseSprite* p : pulses_) p->Draw(tint);
        const sMaterial m(4, 4, 1, 30);
        for (int i = 0; i < 3; ++i) {
            const AnimDesc* a = mark(i);
            if (!a || !a->sprite) continue;
            const int time = std::min(markClock_[i], std::max(0, grSpriteTime(a->sprite) - 1));
            grDrawSpriteColor(m, a->spr_x, a->spr_y, a->sprite, tint, time);
        }
        if (gFxManager) gFxManager->Draw();
    }
    if (gComics) gComics->Draw(leaveFade_);
    return 1;
}
