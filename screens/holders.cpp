// The screen holders, the shared background and the level pointer, and their release.
#include "screens/holders.h"

#include <algorithm>

#include "engine/gr/gr.h"
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

// --- Pictures of a screen ------------------------------------------------------------------------

namespace {

void collectSprites(std::vector<HSPRITE>* into) {
    into->clear();
    grForEachSprite([](HSPRITE sprite, const char*, size_t, int,
                       void* list) { static_cast<std::vector<HSPRITE>*>(list)->push_back(sprite); },
                    into);
}

}  // namespace

void ScreenPictures::BeginCapture() {
    collectSprites(&before_);
    std::sort(before_.begin(), before_.end());
}

ScreenPictures::~ScreenPictures() {
    for (const Own& own : own_) grFreeSprite(own.sprite);
}

void ScreenPictures::EndCapture() {
    std::vector<HSPRITE> now;
    collectSprites(&now);
    for (HSPRITE sprite : now)
        if (!std::binary_search(before_.begin(), before_.end(), sprite))
            own_.push_back({grSpriteAddRef(sprite), grSpriteReferences(sprite)});
    before_.clear();
    before_.shrink_to_fit();
}

void ScreenPictures::Park() {
    // Held by no more than the screen held: no one else draws it.
    for (const Own& own : own_)
        if (grSpriteReferences(own.sprite) <= own.references) grParkSprite(own.sprite);
}

void ScreenPictures::Unpark() {
    for (const Own& own : own_) grUnparkSprite(own.sprite);
}
