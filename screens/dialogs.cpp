// Yes/no dialogs, the pause menu, the paged help and the final screen.
#include "screens/dialogs.h"

#include <cstring>

#include "core/strings.h"
#include "core/text.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "game/game_data.h"
#include "screens/level_loading.h"

namespace {

constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;
constexpr int kMusicFade = 8;
// Each page is a child of the help screen, beside its own few children.
constexpr int kMaxHelpPages = 100;
constexpr const char* kHelpPageFile = "Data/Menu/UIHelp/UIHelpPage%d.ini";

bool named(const UIWnd* widget, const char* name) { return std::strcmp(widget->section, name) == 0; }

void push(const RCPtr<Window>& holder, bool closeOthers, bool modal) {
    WM* wm = WM::Get();
    if (wm && holder) wm->Push(holder.get(), closeOthers, modal, false);
}

// The answer of a dialog in a holder, reset once read.
uint32_t takeAnswer(const RCPtr<Window>& dialog) {
    if (!dialog || dialog->GetResult() != kDialogYes) return kDialogPending;
    dialog->ResetResult();
    return kDialogYes;
}

// True once the player has a result on any way point of the map: aborting then goes to the map.
bool anyWayPointDone() {
    for (uint32_t i = 0; i < gWayPoints.size(); ++i) {
        const int32_t result = gWayPoints[i].GetResult();
        if (result != 0 && result != 1) return true;
    }
    return false;
}

}  // namespace

// --- Yes/no dialogs ------------------------------------------------------------------------------

void UIConfirmDialog::Create(const char* file, const char* section) {
    Window::Create(file, section);
    createScreenChildren(this, file,
                         {"LeftUp", "RightUp", "LeftBottom", "RightBottom", "Left", "Right",
                          "Bottom", "Top", "Mid", "Logo", "DialogNo", "DialogYes", "DialogText"});
    StrCopyN(this->section, "UIDialogBase", kUiSectionSize);
}

int UIConfirmDialog::OnCommand(UIWnd* sender) {
    if (named(sender, "DialogYes")) {
        Close(kDialogYes);
        return 1;
    }
    if (named(sender, "DialogNo")) {
        Close(kDialogNo);
        return 1;
    }
    return UIWnd::OnCommand(sender);
}

// --- The pause menu ------------------------------------------------------------------------------

UIGameMenuBase::~UIGameMenuBase() { background_.GiveBack(this); }

void UIGameMenuBase::Create(const char* file, const char* section) {
    Window::Create(file, section);
    createScreenChildren(this, file,
                         {"Mid", "Top", "Bottom", "Right", "Left", "RightBottom", "LeftBottom",
                          "RightUp", "LeftUp", "Logo", "Resume", "Abort", "Options", "Help",
                          "Scores", "Exit"});
    StrCopyN(this->section, "UIGameMenu", kUiSectionSize);
}

void UIGameMenuBase::OnShow(int finished) {
    if (finished) return;
    background_.Take(this);
    for (int i = 0; i < childCount(); ++i)
        if (named(children[i], "Resume")) {
            FocusNext(i, 0);
            break;
        }
}

void UIGameMenuBase::OnHide(int finished) {
    if (finished) background_.GiveBack(this);
}

int UIGameMenuBase::OnKeyDown(int key, intptr_t data) {
    if (key == kKeyUp || key == kKeyDown) {
        const int step = key == kKeyDown ? 1 : -1;
        FocusNext(active + step, step);
        return 1;
    }
    return UIWnd::OnKeyDown(key, data);
}

int UIGameMenuBase::OnCommand(UIWnd* sender) {
    if (named(sender, "Resume")) {
        CloseSelf();
        if (WM* wm = WM::Get(); wm && gCurrentGame) wm->Push(gCurrentGame, true, false, false);
    } else if (named(sender, "Options")) {
        push(gUIOptions, false, true);
    } else if (named(sender, "Help")) {
        CloseSelf();
        push(gUIHelp, true, false);
    } else if (named(sender, "Scores")) {
        push(gUIScores, false, true);
    } else if (named(sender, "Abort")) {
        push(gUIAbortGameDialog, false, true);
    } else if (named(sender, "Exit")) {
        push(gUIExitGameDialog, false, true);
    } else {
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

int UIGameMenuBase::Update(int milliseconds) {
    const int stopped = UIWnd::Update(milliseconds);
    if (takeAnswer(gUIExitGameDialog) == kDialogYes) {
        sndStopMusic(kMusicFade);
        CloseSelf();
        push(gUIFinalScreen, true, false);
    } else if (takeAnswer(gUIAbortGameDialog) == kDialogYes) {
        sndStopMusic(kMusicFade);
        sndStopGroup(0);
        releaseCurrentGame();
        CloseSelf();
        push(anyWayPointDone() ? gUIGameMap : gUIMainMenu, false, false);
    }
    return stopped;
}

// --- Help ----------------------------------------------------------------------------------------

void UIHelp::Create(const char* file, const char* section) {
    if (!file || !*file || !section || !*section) return;
    pictures_.BeginCapture();
    Window::Create(file, section);
    createScreenChildren(this, file, {"Background"});
    LoadPages();
    createScreenChildren(this, file, {"Help", "BtnOk"});
    btnBack_ = CreateChildFromIni(this, file, "BtnBack", 0, 0);
    btnNext_ = CreateChildFromIni(this, file, "BtnNext", 0, 0);
    pageNumber_ = CreateChildFromIni(this, file, "PageNumber", 0, 0);
    if (pageNumber_) pageNumberFormat_ = pageNumber_->caption;
    updateButtons();
    currentPage_ = 0;
    ShowPage();
    StrCopyN(this->section, "UIHelp", kUiSectionSize);
    // Held only while the help shows.
    pictures_.EndCapture();
    pictures_.Park();
}

UIHelp::~UIHelp() { background_.GiveBack(this); }

void UIHelp::OnShow(int finished) {
    if (finished) return;
    pictures_.Unpark();
    background_.Take(this);
}

void UIHelp::OnHide(int finished) {
    if (!finished) return;
    background_.GiveBack(this);
    pictures_.Park();
}

void UIHelp::LoadPages() {
    pageCount_ = iniGetInt(iniFile, "Param", "pages", 0);
    if (pageCount_ < 0) pageCount_ = 0;
    if (pageCount_ > kMaxHelpPages) {
        logPrintf("%s: %d help pages are more than the screen holds; %d kept\n", iniFile,
                  pageCount_, kMaxHelpPages);
        pageCount_ = kMaxHelpPages;
    }
    for (int i = 0; i < pageCount_; ++i) {
        char file[kUiFileSize];
        safeSnprintf(file, sizeof file, kHelpPageFile, i);
        UIWnd* page = nullptr;
        if (!fileExists(file)) {
            logPrintf("%s: help page %d has no file %s; the page stays empty\n", iniFile, i, file);
        } else {
            page = new UIWnd;
            page->Load(file, "Main");
            if (!AddChild(page)) {
                delete page;
                page = nullptr;
            }
        }
        pages_.push_back(page);
        if (!page) continue;
        for (int n = 0;; ++n) {
            char name[16];
            safeSnprintf(name, sizeof name, "%d", n);
            if (!*iniGetString(file, name, "type", "")) break;
            if (UIWnd* child = CreateChildFromIni(page, file, name, 0, 0))
                child->setHidden(page->hidden());
        }
    }
}

UIWnd* UIHelp::page(int i) const {
    return i >= 0 && static_cast<uint32_t>(i) < pages_.size() ? pages_[i] : nullptr;
}

void UIHelp::ShowPage() {
    for (uint32_t i = 0; i < pages_.size(); ++i) {
        UIWnd* p = pages_[i];
        if (!p) continue;
        const bool hide = static_cast<int>(i) != currentPage_;
        p->setHidden(hide);
        for (int c = 0; c < p->childCount(); ++c) p->children[c]->setHidden(hide);
    }
    updateButtons();
}

void UIHelp::updateButtons() {
    if (btnBack_) btnBack_->setHidden(currentPage_ == 0);
    if (btnNext_) btnNext_->setHidden(!(currentPage_ < pageCount_ - 1));
    if (pageNumber_) {
        pageNumber_->setHidden(pageCount_ < 2);
        pageNumber_->SetTextW(
            formatOneInteger(formatOneInteger(pageNumberFormat_, currentPage_ + 1), pageCount_)
                .c_str());
    }
}

void UIHelp::GoToMainMenu() { push(gUIMainMenu, true, false); }

int UIHelp::OnCommand(UIWnd* sender) {
    if (named(sender, "BtnOk")) {
        if (gCurrentGame)
            push(gUIGameMenu, true, false);
        else
            GoToMainMenu();
    } else if (named(sender, "BtnBack")) {
        // A hidden button may still hold the keyboard focus: Enter on it must not leave the pages.
        if (currentPage_ > 0) --currentPage_;
        ShowPage();
    } else if (named(sender, "BtnNext")) {
        if (currentPage_ < pageCount_ - 1) ++currentPage_;
        ShowPage();
    } else {
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

// --- The final screen ----------------------------------------------------------------------------

void UIFinalScreen::Create(const char* file, const char* section) {
    Window::Create(file, section);
    CreateChildFromIni(this, file, section, 0, 0);
    ttl = iniGetInt(file, "Main", "ttl", 0);
    StrCopyN(this->section, "UIFinalScreen", kUiSectionSize);
}

int UIFinalScreen::Update(int milliseconds) {
    if (clock > ttl) Close(0);
    return UIWnd::Update(milliseconds);
}

int UIFinalScreen::OnKeyDown(int, intptr_t) {
    Close(0);
    return 1;
}

void UIFinalScreen::OnClosed() {
    if (WM* wm = WM::Get()) wm->Clear();
}
