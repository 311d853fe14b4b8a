// The first screen: buttons that light up under the pointer with a sound, press and answer, the
// arrows and Enter moving and pressing the focus, a widget running along key frames, a button
// that opens a modal dialog and one that opens the options panel; the effect keys, K for the next
// comic and W for the walk through the hotel; a click beside the buttons plays the first level.
// Escape fades the screen out, and with it the program.
#include "game/first_screen.h"

#include "anim/comics.h"
#include "core/strings.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/snd/snd.h"
#include "game/fx_demo.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "game/world_demo.h"
#include "ui/ui.h"

namespace {

constexpr const char* kLayout = "Data/Menu/UIDemo/UIDemo.ini";
constexpr int kEscape = 27;
constexpr int kUp = 38;
constexpr int kDown = 40;
constexpr int kKeyW = 'W';
constexpr int kKeyComic = 'K';
constexpr int kLeftButton = 1;
const char kStandInPlayer[] = "player1";
constexpr int kComicCount = 5;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

const char* const kScreenChildren[] = {"Background",  "Title",        "Plate",
                                       "Text",        "Spinner",      "ButtonHello",
                                       "ButtonDialog", "ButtonLocked", "ButtonOptions",
                                       "ButtonQuit"};
const char* const kDialogChildren[] = {"DialogPanel", "DialogText", "DialogOk"};
const char* const kOptionChildren[] = {"OptTitle",     "SoundLabel",   "SoundBar",  "MusicLabel",
                                       "MusicBar",     "OwnLabel",     "CursorSwitch",
                                       "PickLabel",    "CursorSelect", "NameLabel"};
const char* const kOptionButtons[] = {"OptOk", "OptCancel"};

// The keys both windows share, after their children: Escape closes, Up and Down move the focus
// among the children the way the list is ordered.
class DemoWindow : public Window {
public:
    int OnKeyDown(int key, intptr_t data) override {
        if (Window::OnKeyDown(key, data)) return 1;
        if (key == kEscape) {
            Close(0);
            return 1;
        }
        if (key != kUp && key != kDown) return 0;
        const int step = key == kDown ? 1 : -1;
        FocusNext(active + step, step);
        return 1;
    }
};

class DemoDialog : public DemoWindow {
public:
    void Create(const char* file, const char* section) override {
        Window::Create(file, section);
        for (const char* name : kDialogChildren) CreateChildFromIni(this, file, name, 1, 0);
    }
    int OnCommand(UIWnd* sender) override {
        if (strCmpNoCase(sender->section, "DialogOk") == 0) Close(1);
        return 1;
    }
};

// Selects option n of a switch when there is one, in the switch's own state.
void selectOption(UIWnd* sw, int n) {
    if (!sw || n < 0 || n >= sw->childCount()) return;
    sw->active = static_cast<int8_t>(n);
    sw->children[n]->state = sw->state;
}

// Sound and music volumes on bars, the own cursor on a switch and its picture on a selector, and
// a name typed into a box, on a nine-piece frame. Cancel (or Escape) puts the volumes back.
class OptionsPanel : public DemoWindow {
public:
    void Create(const char* file, const char* section) override {
        Window::Create(file, section);
        auto* frame = new cFrame;
        if (AddChild(frame)) {
            frame->Load(file, "OptFrame");
            frame->Move(x, y);
            frame->state = UI_IGNORE;
        } else {
            delete frame;
        }
        for (const char* name : kOptionChildren) CreateChildFromIni(this, file, name, 1, 0);
        auto* box = new UIEntryIE_Repaired;
        if (AddChild(box)) {
            box->Load(file, "NameBox");
            box->Move(x, y);
            box->state = static_cast<uint8_t>(IntClamp(iniGetInt(file, "NameBox", "stage", 0), 0, 3));
        } else {
            delete box;
        }
        for (const char* name : kOptionButtons) CreateChildFromIni(this, file, name, 1, 0);
    }
    void OnShow(int finished) override {
        if (finished) return;
        for (int group = 0; group < 2; ++group) volumes_[group] = sndGetGroupVolume(group);
        if (UIWnd* bar = findChild(this, "SoundBar")) bar->SetValue(volumes_[0]);
        if (UIWnd* bar = findChild(this, "MusicBar")) bar->SetValue(volumes_[1]);
        selectOption(findChild(this, "CursorSwitch"), cursorIsCustom() ? 0 : 1);
        if (cCursorManager* cursor = cursorGet())
            selectOption(findChild(this, "CursorSelect"), cursor->current);
    }
    int OnKeyDown(int key, intptr_t data) override {
        if (key == kEscape && !Window::OnKeyDown(key, data)) {
            cancel();
            return 1;
        }
        return DemoWindow::OnKeyDown(key, data);
    }
    int OnCommand(UIWnd* sender) override {
        const char* name = sender->section;
        if (strCmpNoCase(name, "SoundBar") == 0) sndSetGroupVolume(sender->GetValue(), 0);
        if (strCmpNoCase(name, "MusicBar") == 0) sndSetGroupVolume(sender->GetValue(), 1);
        if (strCmpNoCase(name, "CursorSwitch") == 0) cursorSet(sender->active == 0);
        if (strCmpNoCase(name, "CursorSelect") == 0) cursorSelect(sender->active);
        if (strCmpNoCase(name, "OptOk") == 0) Close(1);
        if (strCmpNoCase(name, "OptCancel") == 0) cancel();
        return 1;
    }

private:
    void cancel() {
        for (int group = 0; group < 2; ++group) sndSetGroupVolume(volumes_[group], group);
        Close(0);
    }
    float volumes_[2] = {1.0f, 1.0f};
};

// A stand-in screen of the older kind in a window over the whole display, closing itself once the
// screen has ended; it keeps the screens below from updating while it is on show.
class HostedScreen : public Window {
public:
    explicit HostedScreen(ShellWM* screen) : screen_(screen) {
        int bits = 0, full = 0, w = 0, h = 0;
        grGetMode(&w, &h, &bits, &full);
        xs = static_cast<int16_t>(w ? w : kWidth);
        ys = static_cast<int16_t>(h ? h : kHeight);
    }
    ~HostedScreen() override { delete screen_; }

    bool gone() const { return gone_; }
    void OnHide(int finished) override { gone_ = finished != 0; }
    // The screen may end itself in an update or on a key; either way it leaves at the next step.
    int Update(int milliseconds) override {
        if (screen_->Count()) screen_->Update(milliseconds);
        if (!screen_->Count()) CloseSelf();
        return 0;
    }
    int Draw() override {
        screen_->Render();
        return 1;
    }
    int OnKeyDown(int key, intptr_t data) override { return screen_->OnKeyDown(key, data); }
    int OnKeyUp(int key, intptr_t data) override { return screen_->OnKeyUp(key, data); }
    int OnChar(int character, intptr_t data) override { return screen_->OnChar(character, data); }
    int OnMouseMove(int buttons, intptr_t position) override {
        return screen_->OnMouseMove(buttons, position);
    }

private:
    ShellWM* screen_;
    bool gone_ = false;
};

class FirstScreen : public DemoWindow {
public:
    ~FirstScreen() override {
        delete dialog_;
        delete options_;
        delete world_;
        delete level_;
        fxDemoDestroy(fx_);
        deleteAndNull(gComics);
    }

    void Create(const char* file, const char* section) override {
        Window::Create(file, section);
        for (const char* name : kScreenChildren) CreateChildFromIni(this, file, name, 0, 0);
        dialog_ = new DemoDialog;
        dialog_->Create(file, "Dialog");
        options_ = new OptionsPanel;
        options_->Create(file, "Options");
        hello_ = findChild(this, "ButtonHello");
        fx_ = fxDemoCreate();
        gComics = new cComicsManager;
        gComics->LoadAll();
    }
    int Update(int milliseconds) override {
        fxDemoUpdate(fx_, milliseconds);
        gComics->Update(milliseconds / 1000.0f);
        return Window::Update(milliseconds);
    }
    int Draw() override {
        Window::Draw();
        fxDemoDraw(fx_);
        grDrawTextA(font, x + xs / 2, y + ys - 23, fxDemoHelp(), 0, 0, 0);
        gComics->Draw(1.0f);
        return 1;
    }
    int OnKeyDown(int key, intptr_t data) override {
        // While a comic shows it takes every key, Escape included.
        if (gComics->IsShowing()) {
            gComics->OnButton(key);
            return 1;
        }
        if (key == kKeyComic) {
            char path[32];
            safeSnprintf(path, sizeof path, "data/Comics/%d.anm", nextComic_ + 1);
            nextComic_ = (nextComic_ + 1) % kComicCount;
            gComics->Play(path);
            return 1;
        }
        if (DemoWindow::OnKeyDown(key, data)) return 1;
        if (key == kLeftButton) {
            startLevel();
            return 1;
        }
        if (key == kKeyW) {
            // The walk through the hotel, over this screen until it ends itself.
            if (world_ && !world_->gone()) return 1;
            delete world_;
            world_ = new HostedScreen(worldDemoCreate());
            WM::Get()->Push(world_, false, false, true);
            return 1;
        }
        return fxDemoKey(fx_, key) ? 1 : 0;
    }
    int OnMouseMove(int buttons, intptr_t position) override {
        const int result = Window::OnMouseMove(buttons, position);
        fxDemoMouse(fx_, position);
        return result;
    }
    void OnShow(int finished) override {
        if (!finished) sndPlayMusic("menu", 1, 1, nullptr);
    }
    int OnCommand(UIWnd* sender) override {
        if (strCmpNoCase(sender->section, "ButtonDialog") == 0) {
            WM::Get()->Push(dialog_, false, true, false);
        } else if (strCmpNoCase(sender->section, "ButtonHello") == 0) {
            hello_->SetTextF("Pressed %d", ++presses_);
        } else if (strCmpNoCase(sender->section, "ButtonOptions") == 0) {
            WM::Get()->Push(options_, false, true, false);
        } else if (strCmpNoCase(sender->section, "ButtonQuit") == 0) {
            Close(0);
        }
        return 1;
    }

    Window* dialog(const char* section) const {
        if (strCmpNoCase(section, "Dialog") == 0) return dialog_;
        if (strCmpNoCase(section, "Options") == 0) return options_;
        return nullptr;
    }

private:
    // A click beside the buttons plays the stand-in player's level, a new one each time; the
    // level returns here when it closes.
    void startLevel() {
        // Only while this screen is alone on show: a level still fading out is not yet free.
        if (WM::Get()->Count() != 1) return;
        if (gWayPoints.size() == 0) LoadWayPoints();
        if (!gCurrentProfile && !SelectPlayer(kStandInPlayer))
            CreatePlayer(kStandInPlayer, u"Player");
        delete level_;
        level_ = gameCreateLevel();
        WM::Get()->Push(level_, false, false, true);
    }

    DemoDialog* dialog_ = nullptr;
    OptionsPanel* options_ = nullptr;
    HostedScreen* world_ = nullptr;
    cGame* level_ = nullptr;
    FxDemo* fx_ = nullptr;
    int nextComic_ = 0;
    UIWnd* hello_ = nullptr;
    int presses_ = 0;
};

FirstScreen* gScreen = nullptr;

}  // namespace

Window* firstScreenCreate() {
    if (!gScreen) {
        gScreen = new FirstScreen;
        gScreen->Create(kLayout, "UIDemo");
    }
    return gScreen;
}

Window* firstScreenDialog(const char* section) {
    return gScreen ? gScreen->dialog(section) : nullptr;
}

void firstScreenRelease() {
    delete gScreen;
    gScreen = nullptr;
    ReleasePlayer();
}
