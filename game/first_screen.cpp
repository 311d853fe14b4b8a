// The first screen: buttons that light up under the pointer with a sound, press and answer, the
// arrows and Enter moving and pressing the focus, a widget running along key frames, and a
// button that opens a modal dialog. Escape fades the screen out, and with it the program.
#include "game/first_screen.h"

#include "core/strings.h"
#include "engine/snd/snd.h"
#include "ui/ui.h"

namespace {

constexpr const char* kLayout = "Data/Menu/UIDemo/UIDemo.ini";
constexpr int kEscape = 27;
constexpr int kUp = 38;
constexpr int kDown = 40;

const char* const kScreenChildren[] = {"Background",  "Title",        "Plate",
                                       "Text",        "Spinner",      "ButtonHello",
                                       "ButtonDialog", "ButtonLocked", "ButtonQuit"};
const char* const kDialogChildren[] = {"DialogPanel", "DialogText", "DialogOk"};

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

class FirstScreen : public DemoWindow {
public:
    ~FirstScreen() override { delete dialog_; }

    void Create(const char* file, const char* section) override {
        Window::Create(file, section);
        for (const char* name : kScreenChildren) CreateChildFromIni(this, file, name, 0, 0);
        dialog_ = new DemoDialog;
        dialog_->Create(file, "Dialog");
        hello_ = findChild(this, "ButtonHello");
    }
    void OnShow(int finished) override {
        if (!finished) sndPlayMusic("menu", 1, 1, nullptr);
    }
    int OnCommand(UIWnd* sender) override {
        if (strCmpNoCase(sender->section, "ButtonDialog") == 0) {
            WM::Get()->Push(dialog_, false, true, false);
        } else if (strCmpNoCase(sender->section, "ButtonHello") == 0) {
            hello_->SetTextF("Pressed %d", ++presses_);
        } else if (strCmpNoCase(sender->section, "ButtonQuit") == 0) {
            Close(0);
        }
        return 1;
    }

private:
    DemoDialog* dialog_ = nullptr;
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

void firstScreenRelease() {
    delete gScreen;
    gScreen = nullptr;
}
