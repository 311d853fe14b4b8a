// The main menu, the hub between levels, and the options screen over it.
#pragma once

#include <cstdint>
#include <string>

#include "screens/holders.h"
#include "ui/ui.h"

// Welcome template with one "%s" for the name; every other '%' shows as itself. Cut to fit a
// caption.
std::u16string formatWelcome(const char16_t* templ, const char16_t* name);

class UIMainMenu : public Window {
public:
    // Gives the shared background back: it is only borrowed.
    ~UIMainMenu() override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    void RefreshWelcome();
    UIWnd* welcomeText() const { return welcome_; }
    // Whether the exit question is on show, waiting for its answer.
    bool exitPending() const { return exitPending_; }

private:
    std::u16string template_;
    std::u16string shownName_;
    UIWnd* welcome_ = nullptr;
    bool exitPending_ = false;
    bool startLogged_ = false;
    BorrowedBackground background_;
};

class UIOptions : public Window {
public:
    int OnCommand(UIWnd* sender) override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;

    void ToggleFullScreen();
    void ToggleTips();
    void Apply();

    UIWnd* windowLabel() const { return window_; }
    UIWnd* fullScreenLabel() const { return fullScreen_; }
    UIWnd* tipsOnLabel() const { return tipsOn_; }
    UIWnd* tipsOffLabel() const { return tipsOff_; }

private:
    // The labels follow the display's real mode, which Alt+Enter may change behind the profile.
    void showDisplayMode();

    UIWnd* window_ = nullptr;
    UIWnd* fullScreen_ = nullptr;
    UIWnd* tipsOn_ = nullptr;
    UIWnd* tipsOff_ = nullptr;
    UIWnd* soundBar_ = nullptr;
    UIWnd* musicBar_ = nullptr;
};
