// The staged loading screen, the screens' factories and the screens' start-up and release.
#include "screens/loading.h"

#include <cmath>
#include <cstring>
#include <set>

#include "anim/comics.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "game/game.h"
#include "game/game_data.h"
#include "minigames/minigame.h"
#include "screens/after_game.h"
#include "screens/after_minigame.h"
#include "screens/dialogs.h"
#include "screens/holders.h"
#include "screens/home.h"
#include "screens/logo.h"
#include "screens/main_menu.h"
#include "screens/level_loading.h"
#include "screens/map.h"
#include "screens/school.h"
#include "screens/scores.h"
#include "screens/shared_background.h"
#include "screens/shop.h"

namespace {

constexpr int kStagesDone = kLoadingStages;

// One screen made by a stage: its holder, its file and how it is made (null while this build has
// no such screen: the holder stays empty).
struct ScreenStage {
    RCPtr<Window>* holder;
    const char* file;
    RCPtr<Window> (*make)(const char* file);
};

// Stages 2 to 17, in order.
const ScreenStage kScreenStages[] = {
    {&gUIMainMenu, "Data/Menu/UIMainMenu/UIMain.ini", makeScreen<UIMainMenu>},
    {&gUIGameMap, "Data/Menu/UIMap/UIMap.ini", makeScreen<UIGameMap>},
    {&gUILevelLoading, "Data/Menu/UIGameLoading/UIGameLoading.ini", makeScreen<UILevelLoading>},
    {&gUIShop, "Data/Menu/UIShop/UIShop.ini", makeScreen<UIShop>},
    {&gUIFinalScreen, "Data/Menu/UIFinalScreen/UIFinalScreen.ini", makeScreen<UIFinalScreen>},
    {&gUIHelp, "Data/Menu/UIHelp/UIHelp.ini", makeScreen<UIHelp>},
    {&gUIOptions, "Data/Menu/UIOptions/UIOptions.ini", makeScreen<UIOptions>},
    {&gUIMapDialog, "Data/Menu/UIDialog/UIMapDialog.ini", makeScreen<UIConfirmDialog>},
    {&gUIExitGameDialog, "Data/Menu/UIDialog/UIExitGameDialog.ini", makeScreen<UIConfirmDialog>},
    {&gUIAfterGameStats, "Data/Menu/UIAfterGame/UIAfterGame.ini", makeScreen<UIAfterGameStats>},
    {&gUIAfterMiniGame, "Data/Menu/UIAfterMiniGame/UIAfterMiniGame.ini", makeScreen<UIAfterMiniGame>},
    {&gUIAbortGameDialog, "Data/Menu/UIDialog/UIAbortGameDialog.ini", makeScreen<UIConfirmDialog>},
    {&gUIGameMenu, "Data/Menu/UIGameMenu/UIGameMenu.ini", makeScreen<UIGameMenuBase>},
    {&gUISchool, "Data/Menu/UISchool/UISchool.ini", makeScreen<UISchool>},
    {&gUIScores, "Data/Menu/UIScores/UIScores.ini", makeScreen<UIScores>},
    {&gUIHome, "Data/Menu/UIHome/UIHome.ini", makeScreen<UIHome>},
};
static_assert(sizeof kScreenStages / sizeof kScreenStages[0] == kLoadingStages - 2,
              "one screen per stage after the first two");

void runStage(uint32_t stage) {
    if (stage == 0) {
        CreateComicsManager();
        LoadFxList();
        LoadRoomSprites();
        return;
    }
    if (stage == 1) {
        LoadHeroes();
        LoadHandObjects();
        return;
    }
    const ScreenStage& made = kScreenStages[stage - 2];
    if (made.make) *made.holder = made.make(made.file);
    // A finished mini-game hands its result to this screen.
    if (made.holder == &gUIAfterMiniGame) {
        gAfterMiniGameScreen = gUIAfterMiniGame.get();
        // Ok on the results goes back to the map (made at an earlier stage).
        if (auto* results = dynamic_cast<UIAfterMiniGame*>(gUIAfterMiniGame.get())) {
            results->mapScreen = gUIGameMap.get();
            results->fx = gFxManager;
        }
    }
}

template <class T>
RCPtr<Window> makeWith(const char* file, const char* section) {
    RCPtr<Window> holder;
    holder.Reset(new T);
    holder->Create(file, section);
    return holder;
}

}  // namespace

RCPtr<Window> CreateLogoScreen(const char* file, const char* section) {
    return makeWith<UILogo>(file, section);
}
RCPtr<Window> CreateLoadingScreen(const char* file, const char* section) {
    return makeWith<UIGameLoading>(file, section);
}
RCPtr<Window> CreatePlayerScreen(const char* file, const char* section) {
    return makeWith<UIPlayerSelect>(file, section);
}

bool pushScreen(const RCPtr<Window>& holder, bool closeOthers, bool modal, bool exclusive) {
    WM* wm = WM::Get();
    if (holder && wm) {
        wm->Push(holder.get(), closeOthers, modal, exclusive);
        return true;
    }
    static std::set<const RCPtr<Window>*> logged;
    if (logged.insert(&holder).second) logPrintf("Screens: a screen asked for is not built\n");
    return false;
}

int childIndex(const UIWnd* parent, const UIWnd* child) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->children[i] == child) return i;
    return -1;
}

void setScreenName(UIWnd* screen, const char* name) {
    std::snprintf(screen->section, sizeof screen->section, "%s", name);
}

// --- Loading screen ----------------------------------------------------------------------------

UIGameLoading::~UIGameLoading() { background_.GiveBack(this); }

void UIGameLoading::Create(const char* file, const char* section) {
    Window::Create(file, section);
    if (!file || !*file) return;
    LoadPressAnyKey(file);
    loading_ = CreateChildFromIni(this, file, "Loading", 0, 0);
    progress_ = CreateChildFromIni(this, file, "Progress", 0, 0);
    CreateChildFromIni(this, file, "Back", 0, 0);
    setScreenName(this, "UIGameLoading");
}

void UIGameLoading::LoadPressAnyKey(const char* file) { press_.Load(file); }

PressAnyKeyPrompt::~PressAnyKeyPrompt() {
    if (font) grFreeFont(font);
    delete[] text;
}

void PressAnyKeyPrompt::Load(const char* file) {
    if (!text) {
        const char* key = iniGetString(file, "PressAnyKey", "name", "");
        const char16_t* wide = key[0] ? iniGetWideGlobal("Data/translation.ini", key) : nullptr;
        size_t n = 0;
        while (wide && wide[n]) ++n;
        text = new char16_t[n + 1];
        for (size_t i = 0; i < n; ++i) text[i] = wide[i];
        text[n] = 0;
    }
    if (!font) font = iniReadFont(file, "PressAnyKey", "font");
    x = iniGetInt(file, "PressAnyKey", "x", 0);
    y = iniGetInt(file, "PressAnyKey", "y", 0);
}

void PressAnyKeyPrompt::Draw(uint32_t clock) const {
    if (!font) return;
    const uint32_t alpha = static_cast<uint32_t>(std::fabs(std::sin(double(clock))) * 255);
    grDrawTextColor(sMaterial(2, 4, 1, 30), font, x, y, 1.0f, 1.0f, text,
                    (alpha << 24) | 0xFFFFFFu, 0, 0, 0);
}

void UIGameLoading::LoadStep() {
    const int32_t elapsed = stage_ < kStagesDone ? static_cast<int32_t>(clock_ - stageStart_) : 0;
    const float fraction = std::min(elapsed / float(kLoadingStageMs), 1.0f);
    if (progress_) progress_->SetValue((stage_ + fraction) / kLoadingStages);
    if (elapsed >= kLoadingStageMs && stage_ < kStagesDone) {
        runStage(stage_);
        stageStart_ = clock_;
        ++stage_;
    }
}

int UIGameLoading::Update(int milliseconds) {
    clock_ += static_cast<uint32_t>(milliseconds);
    LoadStep();
    if (loading_) loading_->setHidden(stage_ == kStagesDone);
    cursorSet(stage_ == kStagesDone);
    return UIWnd::Update(milliseconds);
}

int UIGameLoading::Draw() {
    Window::Draw();
    if (stage_ == kStagesDone) press_.Draw(clock_);
    return 1;
}

int UIGameLoading::OnKeyDown(int key, intptr_t data) {
    if (stage_ == kStagesDone && gUIMainMenu) {
        CloseSelf();
        pushScreen(gUIMainMenu, true, false, false);
    }
    return UIWnd::OnKeyDown(key, data);
}

void UIGameLoading::OnShow(int finished) {
    Window::OnShow(finished);
    if (!finished) {
        // The title and the bar stand on the lobby, dimmed a little so that they read first.
        background_.TakeWithLook(this, 0xFFA0A0A0u,
                                 kFigureBackground | kFigureHeroine | kFigureJenny | kFigureFlags);
        return;
    }
    stage_ = 0;
    stageStart_ = clock_;
}

void UIGameLoading::OnHide(int finished) {
    Window::OnHide(finished);
    if (finished) background_.GiveBack(this);
}

// --- Start-up and release ----------------------------------------------------------------------

void screensStart() {
    gameSetPauseMenu([]() -> Window* { return gUIGameMenu.get(); });
    gameSetAfterLevel([]() -> Window* { return gUIAfterGameStats.get(); });
    SharedBackground* background = new SharedBackground;
    background->Create("Data/Menu/UISharedBackground/UISharedBackground.ini", "Main");
    gSharedBackground = background;
    gUIDeletePlayerDialog = makeScreen<UIConfirmDialog>("Data/Menu/UIDialog/UIDeletePlayerDialog.ini");
    gUILogo = CreateLogoScreen("Data/Menu/UILogo/UILogo.ini", "Main");
    gUIGameLoading = CreateLoadingScreen("Data/Menu/UILoading/UILoading.ini", "Main");
    gUIPlayerSelect = CreatePlayerScreen("Data/Menu/UIPlayer/UIPlayer.ini", "Main");
    pushScreen(gUILogo, true, false, false);
}

void screensRelease() {
    gameSetPauseMenu(nullptr);
    gameSetAfterLevel(nullptr);
    releaseScreenHolders();
    releaseCurrentGame();
    delete gComics;
    gComics = nullptr;
}
