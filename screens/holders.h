// The global holders of the screens outside a level, the borrowed shared background and the
// level screen as the screens reach it. Screens know one another only through these and the
// window manager.
#pragma once

#include <initializer_list>
#include <vector>

#include "core/rcptr.h"
#include "game/game.h"
#include "ui/ui.h"

// Each holder keeps its screen for the whole run; an empty holder yields no window.
extern RCPtr<Window> gUIDeletePlayerDialog;
extern RCPtr<Window> gUILogo;
extern RCPtr<Window> gUIGameLoading;
extern RCPtr<Window> gUIPlayerSelect;
extern RCPtr<Window> gUIMainMenu;
extern RCPtr<Window> gUIGameMap;
extern RCPtr<Window> gUILevelLoading;
extern RCPtr<Window> gUIShop;
extern RCPtr<Window> gUIFinalScreen;
extern RCPtr<Window> gUIHelp;
extern RCPtr<Window> gUIOptions;
extern RCPtr<Window> gUIMapDialog;
extern RCPtr<Window> gUIExitGameDialog;
extern RCPtr<Window> gUIAfterGameStats;
extern RCPtr<Window> gUIAfterMiniGame;
extern RCPtr<Window> gUIAbortGameDialog;
extern RCPtr<Window> gUIGameMenu;
extern RCPtr<Window> gUISchool;
extern RCPtr<Window> gUIScores;
extern RCPtr<Window> gUIHome;

// The one shared background: owned here, borrowed by the screens that show it as their first
// child. A screen takes it out again without deleting it.
extern Window* gSharedBackground;

// Deletes the level screen being played (gCurrentGame, which the level sets when it loads) and
// clears it. Only for a level that has left the window manager's stack (it closes itself before
// it opens the pause menu).
void releaseCurrentGame();

// A new screen of class T built from section "Main" of the file, in a new holder.
template <class T>
RCPtr<Window> makeScreen(const char* file) {
    RCPtr<Window> holder;
    holder.Reset(new T);
    holder->Create(file, "Main");
    return holder;
}

// Empties every holder in the shut-down order and deletes the shared background. Call once the
// window manager is gone.
void releaseScreenHolders();

// Children made from the sections of the screen's file that the names give, in order, placed as
// the file says (not relative, not centred); a missing section makes no child.
void createScreenChildren(Window* screen, const char* file, std::initializer_list<const char*> names);

// True when the window is a screen's current child (the shared background, say).
bool hasChildPointer(const UIWnd* parent, const UIWnd* child);

// The pictures a screen reads while it is built, let go while it is hidden and read again when
// it shows: a screen shown now and then need not hold its megabytes through every level. Only
// pictures nobody else has taken since are let go; a picture another screen loads by name in the
// meantime comes back at once. Each keeps a reference of its own, so none of them can go and
// leave its handle to another picture.
class ScreenPictures {
public:
    ScreenPictures() = default;
    ~ScreenPictures();
    ScreenPictures(const ScreenPictures&) = delete;
    ScreenPictures& operator=(const ScreenPictures&) = delete;

    // Around the screen's building: the sprites registered in between are the screen's.
    void BeginCapture();
    void EndCapture();
    void Park();
    void Unpark();

private:
    struct Own {
        HSPRITE sprite;
        int references;
    };
    std::vector<HSPRITE> before_;
    std::vector<Own> own_;
};

// The shared background as one screen borrows it: put in front of the screen's children when
// the fade-in starts and taken out (never deleted) when the fade-out ends or the screen goes. A
// screen gives back only what it took, so another screen's borrowing stays untouched.
class BorrowedBackground {
public:
    void Take(Window* screen);
    // Taken with a look of the screen's own: the background's tint and figure mask are saved,
    // changed while it is held, and restored when it is given back.
    void TakeWithLook(Window* screen, uint32_t tint, uint32_t figures);
    void GiveBack(Window* screen);
    bool held() const { return background_ != nullptr; }

private:
    Window* background_ = nullptr;
    bool lookSaved_ = false;
};
