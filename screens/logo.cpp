// The logos and the player selection: reading, creating, deleting and choosing players.
#include "screens/logo.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/random.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "game/profile.h"
#include "screens/dialogs.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "screens/shared_background.h"

namespace {

constexpr int kEnter = 13;
constexpr int kBackspace = 8;
constexpr int kDelete = 46;
constexpr int kLeft = 37;
constexpr int kRight = 39;
constexpr int kEscape = 27;
// The name button of the player whose name is in the box stands out in this tint.
constexpr uint32_t kSelectedTint = 0xFFFFD27Au;

bool sameText(const char16_t* a, const char16_t* b) {
    return std::u16string(a) == std::u16string(b);
}

// The store's selection belongs to the player who is playing; reading or writing another
// player's section must not leave it elsewhere, or later writes land in the wrong section.
void giveSelectionBack() {
    if (gCurrentProfile) profileSelect(gCurrentProfile->GetName());
}

}  // namespace

// --- Logo --------------------------------------------------------------------------------------

UILogo::~UILogo() { releaseLogos(); }

void UILogo::Create(const char* file, const char* section) {
    Window::Create(file, section);
    if (!file || !*file) return;
    std::snprintf(file_, sizeof file_, "%s", file);
    ttl = iniGetInt(file, "Main", "ttl", 0);
    changeOnClick = iniGetInt(file, "Main", "change_on_click", 0) != 0;
    loadLogos();
    setScreenName(this, "UILogo");
}

void UILogo::loadLogos() {
    released = false;
    if (!file_[0]) return;
    TokenList names = TokenList::Split(iniGetString(file_, "Main", "logos", ""), ',');
    for (uint32_t i = 0; i < names.Count(); ++i) {
        // A missing file still gives a handle, of no size: leave such a logo out.
        HSPRITE logo = iniReadAnimSprite(file_, "Main", names.At(i));
        if (logo && spriteWidth(logo) > 0) {
            logos.push_back(logo);
        } else if (logo) {
            grFreeSprite(logo);
        }
    }
}

void UILogo::releaseLogos() {
    for (uint32_t i = 0; i < logos.size(); ++i) grFreeSprite(logos[i]);
    logos.clear();
}

void UILogo::OnShow(int finished) {
    Window::OnShow(finished);
    if (!finished && released) loadLogos();
}

int UILogo::Update(int milliseconds) {
    logoClock += milliseconds;
    if (logoClock >= ttl && WM::Get()) WM::Get()->Close(this);
    return UIWnd::Update(milliseconds);
}

int UILogo::OnKeyDown(int key, intptr_t data) {
    if (!changeOnClick) return UIWnd::OnKeyDown(key, data);
    if (WM::Get()) WM::Get()->Close(this);
    return 1;
}

int UILogo::Draw() {
    if (currentLogo < logos.size() && logos[currentLogo]) grDrawSprite(0, 0, logos[currentLogo], clock);
    return 1;
}

void UILogo::OnHide(int finished) {
    if (!finished) return;
    logoClock = 0;
    ++currentLogo;
    WM* wm = WM::Get();
    if (!wm) return;
    if (currentLogo < logos.size()) {
        wm->Push(this, true, false, false);
        return;
    }
    currentLogo = 0;
    releaseLogos();
    released = true;
    char last[64] = {};
    profGameGetString("main", "player", last, sizeof last);
    if (last[0] && SelectPlayer(last) && profileCount() > 0) {
        pushScreen(gUIGameLoading, false, false, false);
    } else {
        pushScreen(gUIPlayerSelect, true, false, false);
    }
}

// --- Player entries ----------------------------------------------------------------------------

void PlayerEntry::Load(const char* from) {
    std::snprintf(key, sizeof key, "%s", from ? from : "");
    std::memset(name, 0, sizeof name);
    profileSelect(key);
    profileGetWide("player", "name", name, 15);
    giveSelectionBack();
}

void PlayerEntry::MakeKey() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvxyz0123456789";
    char made[19] = "profile.";
    for (int i = 0; i < 10; ++i) made[8 + i] = kLetters[gRandom.Int(35)];
    made[18] = 0;
    std::snprintf(key, sizeof key, "%s", made);
}

bool PlayerEntry::Store() {
    if (!key[0] || !name[0]) return true;
    // One save of profile.ini: a kill leaves the list as it was or with the whole entry.
    IniSaveScope together;
    profileDelete(key);
    profileSelect(key);
    profileSetWide("player", "name", name);
    giveSelectionBack();
    return together.end() != 0;
}

void PlayerEntry::Erase() {
    if (!key[0]) return;
    profileDelete(key);
    std::memset(key, 0, sizeof key);
    std::memset(name, 0, sizeof name);
    giveSelectionBack();
}

bool PlayerEntryFilledFirst(const PlayerEntry& a, const PlayerEntry& b) {
    return a.used() && !b.used();
}

// --- Player selection --------------------------------------------------------------------------

void UIPlayerSelect::Create(const char* file, const char* section) {
    if (!file || !*file || !section || !*section) return;
    Window::Create(file, section);
    nameButtonHeight_ = iniGetInt(file, "Param", "name_btn_height", 0);
    createScreenChildren(this, file, {"Mid", "Top", "Bottom", "Right", "Left", "RightBottom",
                                      "LeftBottom", "RightUp", "LeftUp", "EnterYourName"});
    UIEntryIE_Repaired* box = new UIEntryIE_Repaired;
    box->Load(file, "InputPlayer");
    if (AddChild(box)) {
        nameBox_ = box;
    } else {
        delete box;
    }
    ok_ = CreateChildFromIni(this, file, "Ok", 0, 0);
    create_ = CreateChildFromIni(this, file, "Create", 0, 0);
    back_ = CreateChildFromIni(this, file, "Back", 0, 0);
    delete_ = CreateChildFromIni(this, file, "Delete", 0, 0);
    firstCreate_ = CreateChildFromIni(this, file, "FirstCreate", 0, 0);
    // Where the list of players will stand, the very first start says what to do.
    firstHint_ = CreateChildFromIni(this, file, "FirstHint", 0, 0);
    for (int i = 0; i < 4; ++i) {
        UIWnd* button = CreateChildFromIni(this, file, "NameButton", 0, 0);
        nameButtons_[i] = button;
        if (!button) continue;
        button->Move(0, i * nameButtonHeight_);
        std::snprintf(button->section, sizeof button->section, "%s%d", "Name", i);
    }
    const char16_t* lastName = nullptr;
    for (int i = 0; i < 4; ++i) {
        char key[66] = {};
        profileName(i, key, sizeof key);
        if (!key[0] || !profileFind(key)) continue;
        entries_[i].Load(key);
        lastName = entries_[i].name;
    }
    if (nameBox_ && lastName) {
        nameBox_->SetTextW(lastName);
        nameBox_->cursor = static_cast<int16_t>(nameBox_->Length());
    }
    RefreshList();
    RefreshButtons();
    setScreenName(this, "UIPlayer");
}

bool UIPlayerSelect::nameBoxEmpty() const { return !nameBox_ || nameBox_->caption[0] == 0; }

void UIPlayerSelect::RefreshList() {
    cArray<PlayerEntry> sorted;
    for (const PlayerEntry& e : entries_) sorted.push_back(e);
    ShellSort(sorted, 0, 3, PlayerEntryFilledFirst);
    for (int i = 0; i < 4; ++i) entries_[i] = sorted[i];
    count_ = 0;
    selected_ = -1;
    for (int i = 0; i < 4; ++i) {
        if (UIWnd* button = nameButtons_[i]) {
            button->SetTextW(entries_[i].name);
            button->setHidden(entries_[i].name[0] == 0);
        }
        if (entries_[i].used()) ++count_;
        if (!nameBoxEmpty() && sameText(nameBox_->caption, entries_[i].name)) selected_ = i;
    }
    for (int i = 0; i < 4; ++i)
        if (UIWnd* button = nameButtons_[i]) button->tint = i == selected_ ? kSelectedTint : 0xFFFFFFFFu;
}

void UIPlayerSelect::RefreshButtons() {
    const bool selected = selected_ >= 0;
    const bool typed = !nameBoxEmpty();
    auto show = [](UIWnd* button, bool on) {
        if (button) button->setHidden(!on);
    };
    show(ok_, selected && count_ > 0);
    show(create_, !selected && count_ > 0 && count_ < 4 && typed);
    // Back leads to the menu, which has nothing to show before a player is playing.
    show(back_, !selected && count_ > 0 && gCurrentProfile != nullptr);
    show(delete_, selected && count_ > 0);
    show(firstCreate_, count_ == 0 && typed);
    show(firstHint_, count_ == 0);
}

bool UIPlayerSelect::IsRejectedChar(int character) const {
    static const char kRejected[] = " @#$%^&*()+=\\|/'\"]}[{:;~`<>.,?\t";
    if (character < 28) return true;
    if (character < 128 && std::strchr(kRejected, character)) return true;
    return nameBox_ && nameBox_->Length() >= kPlayerNameChars;
}

int UIPlayerSelect::OnChar(int character, intptr_t data) {
    if (!nameBox_ || IsRejectedChar(character)) return 0;
    FocusNext(childIndex(this, nameBox_), 0);
    const int handled = nameBox_->OnChar(character, data);
    RefreshList();
    RefreshButtons();
    return handled;
}

int UIPlayerSelect::OnKeyDown(int key, intptr_t data) {
    if (key == kEnter && !nameBoxEmpty()) {
        if (ok_ && !ok_->hidden()) {
            ChoosePlayer();
        } else if (create_ && !create_->hidden()) {
            CreateEntry();
        } else if (firstCreate_ && !firstCreate_->hidden()) {
            CreateFirst();
        }
        return 1;
    }
    if (nameBox_ && (key == kBackspace || key == kDelete || key == kLeft || key == kRight)) {
        const int handled = nameBox_->OnKeyDown(key, data);
        RefreshList();
        RefreshButtons();
        return handled;
    }
    // Escape leaves as Back does, whenever there is a menu to go back to.
    if (key == kEscape && count_ > 0 && gCurrentProfile && gUIMainMenu) {
        GoBack();
        return 1;
    }
    return UIWnd::OnKeyDown(key, data);
}

int UIPlayerSelect::OnCommand(UIWnd* sender) {
    if (!sender) return 0;
    const char* name = sender->section;
    if (!std::strcmp(name, "Ok")) {
        ChoosePlayer();
    } else if (!std::strcmp(name, "FirstCreate")) {
        CreateFirst();
    } else if (!std::strcmp(name, "Delete")) {
        nameTheDeletedPlayer();
        pushScreen(gUIDeletePlayerDialog, false, true, false);
    } else if (!std::strcmp(name, "Create")) {
        CreateEntry();
    } else if (!std::strcmp(name, "Back")) {
        GoBack();
    } else {
        if (!std::strncmp(name, "Name", 4) && nameBox_) {
            nameBox_->SetTextW(sender->caption);
            nameBox_->cursor = static_cast<int16_t>(nameBox_->Length());
            RefreshList();
            RefreshButtons();
        }
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

void UIPlayerSelect::reportWriteFailure(const char* file) {
    if (writeFailureShown_) return;
    writeFailureShown_ = true;
    char folder[512] = {};
    getUserFolder(folder, sizeof folder);
    char text[768];
    std::snprintf(text, sizeof text, "Cannot save the players: %s/%s could not be written.",
                  folder, file);
    errorBox(text, "Velmora", 0);
}

void UIPlayerSelect::ChoosePlayer() {
    if (nameBoxEmpty() || selected_ < 0) return;
    const PlayerEntry& chosen = entries_[selected_];
    // A stored player is played even where the choice cannot be remembered (a full disk, a
    // read-only folder): the game says once that progress is not saved.
    if (!profGameSetString("main", "player", chosen.key)) reportWriteFailure("profgame.ini");
    if (!SelectPlayer(chosen.key)) {
        logPrintf("Player selection: the player %s is not in profile.ini\n", chosen.key);
        return;
    }
    if (WM::Get()) WM::Get()->CloseAndNotify(this);
    if (!gUIMainMenu) pushScreen(gUIGameLoading, true, false, false);
}

bool UIPlayerSelect::AddEntry() {
    selected_ = -1;
    for (int i = 0; i < 4; ++i) {
        if (!entries_[i].used()) {
            selected_ = i;
            break;
        }
    }
    if (selected_ < 0 || !nameBox_) return false;
    PlayerEntry& added = entries_[selected_];
    added.MakeKey();
    std::memset(added.name, 0, sizeof added.name);
    for (int i = 0; i < kPlayerNameChars && nameBox_->caption[i]; ++i) added.name[i] = nameBox_->caption[i];
    if (added.Store()) return true;
    // Keep no player that exists only on screen.
    profileDelete(added.key);
    added = PlayerEntry();
    giveSelectionBack();
    reportWriteFailure("profile.ini");
    return false;
}

void UIPlayerSelect::CreateEntry() {
    AddEntry();
    RefreshList();
    RefreshButtons();
}

void UIPlayerSelect::CreateFirst() {
    if (!AddEntry()) {
        RefreshList();
        RefreshButtons();
        return;
    }
    const PlayerEntry& added = entries_[selected_];
    CreatePlayer(added.key, added.name);
    if (!gCurrentProfile || std::strcmp(gCurrentProfile->GetName(), added.key) != 0) {
        reportWriteFailure("profile.ini");
        RefreshList();
        RefreshButtons();
        return;
    }
    if (!profGameSetString("main", "player", added.key)) reportWriteFailure("profgame.ini");
    if (WM::Get() && WM::Get()->Count() == 1) {
        pushScreen(gUIGameLoading, true, false, false);
        return;
    }
    RefreshList();
    RefreshButtons();
}

void UIPlayerSelect::GoBack() { pushScreen(gUIMainMenu, true, false, false); }

void UIPlayerSelect::nameTheDeletedPlayer() {
    Window* dialog = gUIDeletePlayerDialog.get();
    UIWnd* text = dialog ? findChild(dialog, "DialogText") : nullptr;
    if (!text || selected_ < 0) return;
    // The question names whom it deletes: the player's name in front of the dialog's own text.
    const char16_t* named = iniGetText(text->iniFile, text->section, "name_format");
    const std::u16string format = named && *named ? named : u"%s";
    const std::u16string name = entries_[selected_].name;
    std::u16string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u's') {
            out += name;
            ++i;
        } else {
            out += format[i];
        }
    }
    text->SetTextW(out.c_str());
}

void UIPlayerSelect::DeleteSelected() {
    if (selected_ < 0) return;
    PlayerEntry& gone = entries_[selected_];
    // The player who is playing leaves with the entry: nothing may save it back afterwards, and
    // the next start must not look for it.
    if (gone.used() && gCurrentProfile && !std::strcmp(gCurrentProfile->GetName(), gone.key)) {
        ReleasePlayer();
        profGameSetString("main", "player", "");
    }
    gone.Erase();
    // The deleted name leaves the box with the player: typing starts afresh.
    if (nameBox_) {
        nameBox_->SetTextW(u"");
        nameBox_->cursor = 0;
    }
    RefreshList();
    RefreshButtons();
}

int UIPlayerSelect::Update(int milliseconds) {
    const int stopped = UIWnd::Update(milliseconds);
    Window* dialog = gUIDeletePlayerDialog.get();
    if (dialog && dialog->GetResult() == kDialogYes) {
        dialog->ResetResult();
        DeleteSelected();
    }
    return stopped;
}

UIPlayerSelect::~UIPlayerSelect() { background_.GiveBack(this); }

void UIPlayerSelect::OnShow(int finished) {
    Window::OnShow(finished);
    if (!finished) {
        WM* wm = WM::Get();
        SharedBackground* shared = sharedBackground();
        if (shared && !(wm && wm->IsModal(this)) && !background_.held()) {
            background_.Take(this);
            if (background_.held()) {
                shared->PushState();
                shared->tint = 0xFF7F7F7Fu;
                pushedLook_ = true;
            }
        }
        RefreshList();
        RefreshButtons();
    } else if (nameBox_) {
        FocusNext(childIndex(this, nameBox_), 0);
    }
}

void UIPlayerSelect::OnHide(int finished) {
    Window::OnHide(finished);
    if (!finished) return;
    if (pushedLook_) {
        if (SharedBackground* shared = sharedBackground()) shared->PopState();
        pushedLook_ = false;
    }
    background_.GiveBack(this);
}
