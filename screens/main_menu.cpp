// The main menu (greeting, music, the way to the game and the other screens) and the options.
#include "screens/main_menu.h"

#include <cstring>

#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/dialogs.h"
#include "screens/loading.h"

namespace {

constexpr int kUp = 38;
constexpr int kDown = 40;
constexpr int kWelcomeUnits = 512;

const char16_t* currentDisplayName() {
    return gCurrentProfile ? gCurrentProfile->GetDisplayName() : u"";
}

}  // namespace

std::u16string formatWelcome(const char16_t* templ, const char16_t* name) {
    std::u16string out;
    bool substituted = false;
    for (const char16_t* p = templ; *p; ++p) {
        if (!substituted && p[0] == u'%' && p[1] == u's') {
            out += name;
            substituted = true;
            ++p;
        } else {
            out += *p;
        }
    }
    if (out.size() > kWelcomeUnits - 1) out.resize(kWelcomeUnits - 1);
    return out;
}

// --- Main menu ---------------------------------------------------------------------------------

void UIMainMenu::Create(const char* file, const char* section) {
    Window::Create(file, section);
    createScreenChildren(this, file, {"Mid", "Top", "Bottom", "Right", "Left", "RightBottom",
                                      "LeftBottom", "RightUp", "LeftUp", "Logo", "Start",
                                      "Options", "Help", "Scores", "Player", "Exit"});
    welcome_ = CreateChildFromIni(this, file, "WelcomeText", 0, 0);
    template_ = welcome_ ? welcome_->caption : u"";
    shownName_ = currentDisplayName();
    RefreshWelcome();
    setScreenName(this, "UIMainMenu");
}

void UIMainMenu::RefreshWelcome() {
    if (welcome_) welcome_->SetTextW(formatWelcome(template_.c_str(), shownName_.c_str()).c_str());
}

int UIMainMenu::Update(int milliseconds) {
    const int stopped = UIWnd::Update(milliseconds);
    const char16_t* name = currentDisplayName();
    if (shownName_ != name) {
        shownName_ = name;
        RefreshWelcome();
    }
    // The exit question stopped the music; it stays off while the answer is awaited.
    if (!exitPending_ && !sndIsMusicPlaying()) sndPlayMusic("menu", 1, 1, nullptr);
    Window* dialog = gUIExitGameDialog.get();
    if (exitPending_ && dialog) {
        const int answer = static_cast<int>(dialog->GetResult());
        if (answer == kDialogYes && gUIFinalScreen) {
            sndStopMusic(8);
            dialog->ResetResult();
            exitPending_ = false;
            CloseSelf();
            pushScreen(gUIFinalScreen, false, false, false);
        } else if (answer == kDialogNo) {
            dialog->ResetResult();
            exitPending_ = false;
        }
    }
    return stopped;
}

int UIMainMenu::OnKeyDown(int key, intptr_t data) {
    if (key == kUp || key == kDown) {
        FocusNext(active + (key == kUp ? -1 : 1), 0);
        return 1;
    }
    return UIWnd::OnKeyDown(key, data);
}

int UIMainMenu::OnCommand(UIWnd* sender) {
    if (!sender) return 0;
    const char* name = sender->section;
    if (!std::strcmp(name, "Start")) {
        if (!gCurrentProfile) {
            if (!startLogged_) logPrintf("Main menu: no player to start a level for\n");
            startLogged_ = true;
            return 1;
        }
        // A new player goes straight into the first level; everyone else chooses on the map.
        const uint32_t level = gCurrentProfile->GetLevel();
        const int result = level < gWayPoints.size() ? gWayPoints[level].GetResult() : 0;
        const bool first = level == 0 && (result == 0 || result == 1);
        const RCPtr<Window>& next = first ? gUILevelLoading : gUIGameMap;
        if (!next) {
            pushScreen(next, false, false, false);  // logs the empty holder once
            return 1;
        }
        if (first) {
            // The old level goes first, so that nothing current points at it.
            releaseCurrentGame();
            gCurrentGame = new cGame;
        }
        CloseSelf();
        pushScreen(next, false, false, false);
    } else if (!std::strcmp(name, "Options")) {
        pushScreen(gUIOptions, false, true, false);
    } else if (!std::strcmp(name, "Help")) {
        if (gUIHelp) CloseSelf();
        pushScreen(gUIHelp, true, false, false);
    } else if (!std::strcmp(name, "Scores")) {
        pushScreen(gUIScores, false, true, false);
    } else if (!std::strcmp(name, "Player")) {
        pushScreen(gUIPlayerSelect, false, true, false);
    } else if (!std::strcmp(name, "Exit")) {
        sndStopMusic(8);
        exitPending_ = pushScreen(gUIExitGameDialog, false, true, false);
    } else {
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

UIMainMenu::~UIMainMenu() { background_.GiveBack(this); }

void UIMainMenu::OnShow(int finished) {
    Window::OnShow(finished);
    if (finished) return;
    background_.Take(this);
    if (UIWnd* start = findChild(this, "Start")) FocusNext(childIndex(this, start), 0);
    gGameFinished = false;
}

void UIMainMenu::OnHide(int finished) {
    Window::OnHide(finished);
    if (finished) background_.GiveBack(this);
}

// --- Options -----------------------------------------------------------------------------------

void UIOptions::Create(const char* file, const char* section) {
    Window::Create(file, section);
    createScreenChildren(this, file, {"Mid", "Top", "Bottom", "Right", "Left", "RightBottom",
                                      "LeftBottom", "RightUp", "LeftUp", "Logo", "SoundPad"});
    soundBar_ = CreateChildFromIni(this, file, "SoundBar", 0, 0);
    createScreenChildren(this, file, {"SoundText", "MusicPad"});
    musicBar_ = CreateChildFromIni(this, file, "MusicBar", 0, 0);
    CreateChildFromIni(this, file, "MusicText", 0, 0);
    window_ = CreateChildFromIni(this, file, "Window", 0, 0);
    fullScreen_ = CreateChildFromIni(this, file, "FullScreen", 0, 0);
    createScreenChildren(this, file, {"WindowArrowLeft", "WindowArrowRight"});
    tipsOn_ = CreateChildFromIni(this, file, "TipsOn", 0, 0);
    tipsOff_ = CreateChildFromIni(this, file, "TipsOff", 0, 0);
    createScreenChildren(this, file, {"TipsArrowLeft", "TipsArrowRight", "Ok"});
    // The labels that say what the two switches switch.
    createScreenChildren(this, file, {"ScreenText", "TipsText"});
    setScreenName(this, "UIOptions");
}

void UIOptions::showDisplayMode() {
    const bool full = wndIsFullScreen() != 0;
    if (window_) window_->setHidden(full);
    if (fullScreen_) fullScreen_->setHidden(!full);
}

void UIOptions::OnShow(int finished) {
    Window::OnShow(finished);
    if (gCurrentProfile) {
        if (soundBar_) soundBar_->SetValue(gCurrentProfile->GetSoundVolume());
        if (musicBar_) musicBar_->SetValue(gCurrentProfile->GetMusicVolume());
        const bool tips = gCurrentProfile->IsTutorialOn();
        if (tipsOn_) tipsOn_->setHidden(!tips);
        if (tipsOff_) tipsOff_->setHidden(tips);
    }
    showDisplayMode();
}

int UIOptions::OnCommand(UIWnd* sender) {
    if (!sender) return 0;
    const char* name = sender->section;
    auto is = [name](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (!std::strcmp(name, n)) return true;
        return false;
    };
    if (is({"SoundBar"})) {
        sndSetGroupVolume(sender->GetValue(), 0);
    } else if (is({"MusicBar"})) {
        sndSetGroupVolume(sender->GetValue(), 1);
    } else if (is({"WindowArrowLeft", "Window", "FullScreen", "WindowArrowRight"})) {
        ToggleFullScreen();
    } else if (is({"TipsArrowLeft", "TipsOn", "TipsOff", "TipsArrowRight"})) {
        ToggleTips();
    } else if (is({"Ok"})) {
        Apply();
    } else {
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

void UIOptions::ToggleFullScreen() {
    const int mode = !wndIsFullScreen();
    int width = 0, height = 0;
    profGameGetInt("main", "xs", &width);
    profGameGetInt("main", "ys", &height);
    if (width <= 0 || height <= 0) {
        // No stored size: keep the one on show.
        int bits = 0, full = 0;
        grGetMode(&width, &height, &bits, &full);
    }
    grInit(width, height, 32, mode);
    showDisplayMode();
}

void UIOptions::ToggleTips() {
    if (!tipsOn_ || !tipsOff_) return;
    tipsOff_->setHidden(tipsOn_->hidden());
    tipsOn_->setHidden(!tipsOn_->hidden());
}

void UIOptions::Apply() {
    if (gCurrentProfile) {
        if (UIWnd* bar = findChild(this, "SoundBar")) gCurrentProfile->SetSoundVolume(bar->GetValue());
        if (UIWnd* bar = findChild(this, "MusicBar")) gCurrentProfile->SetMusicVolume(bar->GetValue());
        gCurrentProfile->SetFullScreen(wndIsFullScreen() != 0);
        if (tipsOff_) gCurrentProfile->SetTutorialOn(tipsOff_->hidden());
        gCurrentProfile->SaveVolumes();
    }
    if (WM::Get()) WM::Get()->CloseAndNotify(this);
}
