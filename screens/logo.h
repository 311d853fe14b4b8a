// The first screens of a run: the logos one after another, then the player selection, where
// players are created, deleted and chosen.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "engine/gr/gr.h"
#include "screens/holders.h"
#include "ui/ui.h"

// Each logo shows for one fade-in, "ttl" ms and a fade-out; then the stored last player goes to
// the loading screen, anyone else to the player selection. The pictures are let go once the last
// logo has handed over (the screen shows once a run) and read again should it show once more.
class UILogo : public Window {
public:
    ~UILogo() override;
    int OnKeyDown(int key, intptr_t data) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    cArray<HSPRITE> logos;
    bool released = false;  // the pictures are let go until the screen shows again
    uint32_t currentLogo = 0;
    int32_t logoClock = 0;
    int32_t ttl = 0;
    bool changeOnClick = false;

private:
    void loadLogos();
    void releaseLogos();
    char file_[128] = {};
};

// The longest display name a player may have: what the profile reads back.
constexpr int kPlayerNameChars = 13;

// One player as the selection knows it: the section of profile.ini and the display name. Every
// call leaves the store's selection on the player who is playing, when there is one.
struct PlayerEntry {
    void Load(const char* key);
    // A new random key: "profile." and ten characters.
    void MakeKey();
    // False when the store could not be written.
    bool Store();
    void Erase();
    bool used() const { return key[0] != 0; }

    char key[66] = {};
    char16_t name[15] = {};
};

bool PlayerEntryFilledFirst(const PlayerEntry& a, const PlayerEntry& b);

// Up to four players: name buttons, a name box, and Ok, Create, FirstCreate, Delete and Back.
class UIPlayerSelect : public Window {
public:
    // Gives the shared background back: it is only borrowed.
    ~UIPlayerSelect() override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnChar(int character, intptr_t data) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    void RefreshList();
    void RefreshButtons();
    bool IsRejectedChar(int character) const;
    void ChoosePlayer();
    void CreateEntry();
    void CreateFirst();
    void GoBack();
    void DeleteSelected();

    const PlayerEntry& entry(int i) const { return entries_[i]; }
    int selectedEntry() const { return selected_; }
    int playerCount() const { return count_; }
    UIWnd* nameBox() const { return nameBox_; }

private:
    bool AddEntry();
    bool nameBoxEmpty() const;
    // The delete dialog's text names the selected player ("name_format" of its "DialogText").
    void nameTheDeletedPlayer();
    // One error box per screen for a player file that cannot be written.
    void reportWriteFailure(const char* file);

    UIWnd* ok_ = nullptr;
    UIWnd* firstCreate_ = nullptr;
    UIWnd* create_ = nullptr;
    UIWnd* back_ = nullptr;
    UIWnd* delete_ = nullptr;
    UIWnd* firstHint_ = nullptr;
    UIEntryIE* nameBox_ = nullptr;
    PlayerEntry entries_[4];
    UIWnd* nameButtons_[4] = {};
    int32_t selected_ = -1;
    int32_t count_ = 0;
    int32_t nameButtonHeight_ = 0;
    bool pushedLook_ = false;
    BorrowedBackground background_;
    bool writeFailureShown_ = false;
};
