// The small screens around a level and the menus: yes/no dialogs, the pause menu, the paged help
// and the final screen before the program ends.
#pragma once

#include <string>

#include "core/array.h"
#include "screens/holders.h"
#include "ui/ui.h"

// Answers of a yes/no dialog, read by its opener from the window's result and reset after.
enum { kDialogPending = 0, kDialogNo = 1, kDialogYes = 2 };

// A yes/no question on a nine-piece frame; "DialogYes" closes it with 2, "DialogNo" with 1.
class UIConfirmDialog : public Window {
public:
    void Create(const char* file, const char* section) override;
    int OnCommand(UIWnd* sender) override;
};

// The pause menu over a level: back to the level, options, help, scores, abort and exit, the last
// two behind a yes/no dialog whose answer it polls.
class UIGameMenuBase : public Window {
public:
    ~UIGameMenuBase() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;

private:
    BorrowedBackground background_;
};

// Pages of help, one window each from Data/Menu/UIHelp/UIHelpPage<n>.ini, with Back and Next.
class UIHelp : public Window {
public:
    ~UIHelp() override;
    void Create(const char* file, const char* section) override;
    int OnCommand(UIWnd* sender) override;
    // The pages stand on the shared background, borrowed while the help shows.
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    virtual void LoadPages();
    virtual void ShowPage();
    virtual void GoToMainMenu();

    int currentPage() const { return currentPage_; }
    int pageCount() const { return pageCount_; }
    // The page window of index i; null for a page file that was missing or an index out of range.
    UIWnd* page(int i) const;

private:
    void updateButtons();

    int32_t currentPage_ = 0;
    int32_t pageCount_ = 0;
    UIWnd* btnBack_ = nullptr;
    UIWnd* btnNext_ = nullptr;
    // "PageNumber": its caption, a format of two numbers, says which page of how many shows.
    UIWnd* pageNumber_ = nullptr;
    std::u16string pageNumberFormat_;
    // One entry per page index; null where the page file was missing.
    cArray<UIWnd*> pages_;
    BorrowedBackground background_;
    ScreenPictures pictures_;
};

// The last screen: it closes after "ttl" ms or at any key, and its closing empties the window
// manager so that the program ends.
class UIFinalScreen : public Window {
public:
    void Create(const char* file, const char* section) override;
    int Update(int milliseconds) override;
    int OnKeyDown(int key, intptr_t data) override;
    void OnClosed() override;

    int32_t ttl = 0;
};
