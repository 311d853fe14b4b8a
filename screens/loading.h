// The loading screen that builds every other screen in timed stages behind a progress bar, the
// screens' factories, and the start-up and release of the screens as the shell asks for them.
#pragma once

#include <cstdint>

#include "core/rcptr.h"
#include "engine/gr/gr.h"
#include "screens/holders.h"
#include "ui/ui.h"

// Stages run one per update step, each at least this long after the previous one.
constexpr int kLoadingStages = 18;
constexpr int kLoadingStageMs = 200;

// The pulsing "press any key" prompt of the loading screens, from section "PressAnyKey": "name"
// (a translation key), "font", "x", "y". The text and the font are read only while none is held.
struct PressAnyKeyPrompt {
    ~PressAnyKeyPrompt();
    void Load(const char* file);
    // Alpha |sin(clock)| with the clock in ms taken as radians; nothing without a font.
    void Draw(uint32_t clock) const;
    bool HasFont() const { return font != nullptr; }

    CGraphFont* font = nullptr;
    char16_t* text = nullptr;
    int32_t x = 0, y = 0;
};

class UIGameLoading : public Window {
public:
    ~UIGameLoading() override;
    int OnKeyDown(int key, intptr_t data) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    void LoadPressAnyKey(const char* file);
    void LoadStep();

    uint32_t stage() const { return stage_; }
    UIWnd* progress() const { return progress_; }
    UIWnd* loadingLabel() const { return loading_; }

private:
    UIWnd* loading_ = nullptr;
    UIWnd* progress_ = nullptr;
    uint32_t stage_ = 0;
    uint32_t clock_ = 0;
    uint32_t stageStart_ = 0;
    PressAnyKeyPrompt press_;
    BorrowedBackground background_;
};

RCPtr<Window> CreateLogoScreen(const char* file, const char* section);
RCPtr<Window> CreateLoadingScreen(const char* file, const char* section);
RCPtr<Window> CreatePlayerScreen(const char* file, const char* section);

// Pushes the holder's screen; an empty holder (a screen this build does not have yet) pushes
// nothing and is logged once. False when nothing was pushed.
bool pushScreen(const RCPtr<Window>& holder, bool closeOthers, bool modal, bool exclusive);

// The place of the child in the parent's list; -1 when it is not there.
int childIndex(const UIWnd* parent, const UIWnd* child);

// The widget name by which a screen is known once created.
void setScreenName(UIWnd* screen, const char* name);

// The shell's part of the screens: at start-up the shared background and the first screens,
// the logo pushed; at shut-down every holder emptied, the level and the comics released.
void screensStart();
void screensRelease();
