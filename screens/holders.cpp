// The screen holders, the shared background and the level pointer, and their release.
#include "screens/holders.h"

#include "minigames/minigame.h"
#include "screens/shared_background.h"

RCPtr<Window> gUIDeletePlayerDialog;
RCPtr<Window> gUILogo;
RCPtr<Window> gUIGameLoading;
RCPtr<Window> gUIPlayerSelect;
RCPtr<Window> gUIMainMenu;
RCPtr<Window> gUIGameMap;
RCPtr<Window> gUILevelLoading;
RCPtr<Window> gUIShop;
RCPtr<Window> gUIFinalScreen;
RCPtr<Window> gUIHelp;
RCPtr<Window> gUIOptions;
RCPtr<Window> gUIMapDialog;
RCPtr<Window> gUIExitGameDialog;
RCPtr<Window> gUIAfterGameStats;
RCPtr<Window> gUIAfterMiniGame;
RCPtr<Window> gUIAbortGameDialog;
RCPtr<Window> gUIGameMenu;
RCPtr<Window> gUISchool;
RCPtr<Window> gUIScores;
RCPtr<Window> gUIHome;

Window* gSharedBackground = nullptr;
void releaseCurrentGame() {
    cGame* game = gCurrentGame;
    gCurrentGame = nullptr;
    delete game;
}

void releaseScreenHolders() {
    RCPtr<Window>* const order[] = {
        &gUILogo,          &gUIGameLoading,    &gUIShop,          &gUIMainMenu,
        &gUIGameMap,       &gUIPlayerSelect,   &gUILevelLoading,  &gUIFinalScreen,
        &gUIHelp,          &gUIOptions,        &gUIAfterGameStats, &gUIAfterMiniGame,
        &gUIGameMenu,      &gUISchool,         &gUIScores,        &gUIHome,
        &gUIMapDialog,     &gUIExitGameDialog, &gUIDeletePlayerDialog, &gUIAbortGameDialog};
    gAfterMiniGameScreen = nullptr;
    for (RCPtr<Window>* holder : order) holder->Release();
    delete gSharedBackground;
    gSharedBackground = nullptr;
}

void createScreenChildren(Window* screen, const char* file, std::initializer_list<const char*> names) {
    for (const char* name : names) CreateChildFromIni(screen, file, name, 0, 0);
}

bool hasChildPointer(const UIWnd* parent, const UIWnd* child) {
    if (!parent || !child) return false;
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->children[i] == child) return true;
    return false;
}

void BorrowedBackground::Take(Window* screen) {
    if (background_ || !gSharedBackground || hasChildPointer(screen, gSharedBackground)) return;
    if (screen->InsertChildFirst(gSharedBackground)) background_ = gSharedBackground;
}

void BorrowedBackground::TakeWithLook(Window* screen, uint32_t tint, uint32_t figures) {
    SharedBackground* shared = sharedBackground();
    if (background_ || !shared) return;
    Take(screen);
    if (!background_) return;
    shared->PushState();
    shared->tint = tint;
    shared->SetFigures(figures);
    lookSaved_ = true;
}

void BorrowedBackground::GiveBack(Window* screen) {
    if (!background_) return;
    screen->DetachChild(background_);
    background_ = nullptr;
    if (lookSaved_)
        if (SharedBackground* shared = sharedBackground()) shared->PopState();
    lookSaved_ = false;
}
