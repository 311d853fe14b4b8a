// The level loading screen.
#include "screens/level_loading.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "anim/comics.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "minigames/minigame.h"
#include "screens/between.h"
#include "screens/holders.h"
#include "screens/map.h"
#include "screens/shared_background.h"

namespace {

constexpr int kSteps = 7;

int countMarkers(const std::u16string& text) {
    int n = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == u'<' && text[i + 1] == u'>') ++n;
    return n;
}

bool currentIsLevel() {
    cPlayerProfile* p = gCurrentProfile;
    const uint32_t i = p ? p->GetLevel() : 0;
    return i < gWayPoints.size() && gWayPoints[i].GetKind() == cMapWayPoint::kLevel;
}

}  // namespace

int miniGameNumber(uint32_t n) { return static_cast<int>((n % 12) / 4 + 2 * (n / 12)); }

std::u16string formatOneInteger(const std::u16string& format, int value) {
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != u'%') continue;
        const char16_t c = format[i + 1];
        if (c != u'd' && c != u'i' && c != u'u') continue;
        return format.substr(0, i) + widenText(std::to_string(value).c_str()) + format.substr(i + 2);
    }
    return format;
}

// A screen deleted while on show (the window manager cleared at shut-down) keeps the shared
// background alive: it was only borrowed.
UILevelLoading::~UILevelLoading() { background_.GiveBack(this); }

bool UILevelLoading::levelSelected() const { return currentIsLevel(); }

void UILevelLoading::Create(const char* file, const char* section) {
    Window::Create(file, section);
    if (!file || !*file) return;
    press_.Load(file);
    for (const char* name : {"Mid", "Top", "Bottom", "Right", "Left", "RightBottom", "LeftBottom",
                             "RightUp", "LeftUp", "Logo", "Ribbon"})
        CreateChildFromIni(this, file, name, 0, 0);
    progress_ = CreateChildFromIni(this, file, "Progress", 0, 0);
    loadText_ = CreateChildFromIni(this, file, "LoadText", 0, 0);
    for (const char* name : {"GoalsHeader", "DayBack", "CountryBack", "Country", "Day"})
        CreateChildFromIni(this, file, name, 0, 0);
    BuildGoals(file);
    hintPicture_ = CreateChildFromIni(this, file, "HintPicture", 0, 0);
    hint_ = CreateChildFromIni(this, file, "Hint", 0, 0);
    setScreenName(this, "UILevelLoading");
}

void UILevelLoading::OnShow(int finished) {
    Window::OnShow(finished);
    if (finished) return;
    background_.TakeWithLook(this, 0xFFABABABu, kFigureBackground | kFigureFlags);
    clock_ = step_ = nextHint_ = 0;
    cPlayerProfile* p = gCurrentProfile;
    if (UIWnd* country = findChild(this, "Country"); country && p) {
        char key[48];
        std::snprintf(key, sizeof key, "#GLOBAL_MAP_COUNTRY_%d", p->GetEpisode());
        country->SetTextW(translatedText(key).c_str());
    }
    if (UIWnd* day = findChild(this, "Day"); day && p) {
        if (!levelSelected()) {
            day->SetTextW(translatedText("#MENU_MINIGAME").c_str());
        } else {
            char number[16];
            std::snprintf(number, sizeof number, "%d", p->GetLevelNumber());
            const char* key = iniGetString(iniFile, "Day", "name", "");
            day->SetTextW((translatedText(key) + widenText(number)).c_str());
        }
    }
    BuildGoals(iniFile);
    hints_.clear();
    readTimes(iniFile);
    LoadHintList(iniFile, levelSelected());
    LoadHints(iniFile);
    if (progress_) progress_->SetValue(0);
    if (p && p->GetLevel() == 0 && gComics) gComics->Play("data/Comics/1.anm");
}

void UILevelLoading::readTimes(const char* file) {
    loadingTime_ = iniGetInt(file, "Param", "loading_time", 0);
    lettersPerSec_ = iniGetInt(file, "Param", "letters_per_sec", 0);
    // Both divide: a missing or zero value would make the first step 0 / 0.
    if (loadingTime_ < 1 || lettersPerSec_ < 1) {
        if (!timesLogged_)
            logPrintf("%s: \"loading_time\" and \"letters_per_sec\" must be at least 1\n", file);
        timesLogged_ = true;
        if (loadingTime_ < 1) loadingTime_ = 1;
        if (lettersPerSec_ < 1) lettersPerSec_ = 1;
    }
}

void UILevelLoading::BuildGoals(const char* file) {
    int place = -1;
    for (int i = 0; i < childCount(); ++i)
        if (std::strcmp(children[i]->section, "Goals") == 0) {
            if (place < 0) place = i;
            RemoveChild(children[i]);
            --i;
        }
    UIWnd* box = CreateChildFromIni(this, file, "Goals", 0, 0);
    // The new box takes the old one's place in the drawing order, not the end of the list.
    if (box && place >= 0 && place < childCount() - 1) {
        children.erase(childCount() - 1);
        children.insert(place, box);
        if (active == childCount() - 1) active = static_cast<int8_t>(place);
    }
    goals_ = 0;
    cPlayerProfile* p = gCurrentProfile;
    if (!box || !p) return;
    const bool level = levelSelected();
    char levels[64], section[32];
    std::snprintf(levels, sizeof levels, "Data/Episodes/e%d/levels.ini", p->GetEpisode());
    std::snprintf(section, sizeof section, "level%d", p->GetLevelNumber());
    const int m = iniGetInt(levels, section, "mandatory_room_upgrades", 0);
    int offset = 0;
    for (int i = 1; i <= 3; ++i) {
        char key[64];
        if (!level)
            std::snprintf(key, sizeof key, "#MINI_LEVEL_LOADING_TEXT_%d_%d",
                          miniGameNumber(gSelectedWayPoint), i);
        else if (i == 3 && m != 0)
            std::snprintf(key, sizeof key, "#LEVEL_LOADING_TEXT_%d%d", 3, m);
        else
            std::snprintf(key, sizeof key, "#LEVEL_LOADING_TEXT_%d", i);
        std::u16string text = translatedText(key);
        if (level && i == 2) text = formatOneInteger(text, iniGetInt(levels, section, "cashGoal", 0));
        if (level && i == 3 && m == 0) continue;
        if (text.empty()) continue;
        goals_ = i;
        if (i >= 2)
            if (UIWnd* divider = CreateChildFromIni(box, file, "Divider", 1, 0)) {
                divider->Move(0, offset);
                offset += divider->ys;
            }
        if (UIWnd* line = CreateChildFromIni(box, file, "GoalText", 1, 0)) {
            line->Move(0, offset);
            line->ys = static_cast<int16_t>(line->ys + countMarkers(text) * grFontHeight(line->font));
            line->SetTextW(text.c_str());
            offset += line->ys;
        }
    }
    // The win rule follows the level's data, not whichever goal texts happen to be translated.
    if (level) gGoalType = m > 0 ? 3 : 2;
    if (level && m != 0) {
        char own[32];
        std::snprintf(own, sizeof own, "level%d", p->GetLevelNumber());
        const char* left = iniGetString(file, own, "left_room", "");
        const char* right = iniGetString(file, own, "right_room", "");
        bool hadLeft = false;
        if (*left)
            if (UIWnd* room = CreateChildFromIni(box, file, "LeftRoom", 1, 0)) {
                grFreeSprite(room->sprites[0]);
                room->sprites[0] = grLoadSprite(left, nullptr, 0);
                room->Move(0, offset);
                hadLeft = true;
                if (UIWnd* arrow = CreateChildFromIni(box, file, "Arrow", 1, 0))
                    arrow->Move(0, offset + spriteHeight(arrow->sprites[0]) / 2);
            }
        if (*right)
            if (UIWnd* room = CreateChildFromIni(box, file, "RightRoom", 1, 0)) {
                grFreeSprite(room->sprites[0]);
                room->sprites[0] = grLoadSprite(right, nullptr, 0);
                room->Move(0, offset);
                if (!hadLeft) offset += spriteHeight(room->sprites[0]);
            }
    }
    box->ys = static_cast<int16_t>(offset);
    box->Move(0, -offset / 2);
    if (UIWnd* ribbon = CreateChildFromIni(box, file, level ? "GoalLevel" : "GoalMiniLevel", 1, 0)) {
        ribbon->xs = static_cast<int16_t>(grTextWidth(ribbon->font, ribbon->caption, kUiCaptionUnits));
        ribbon->Move(box->x + (box->xs - ribbon->xs) / 2 - ribbon->x, 0);
        if (UIWnd* l = CreateChildFromIni(box, file, "RibbonLeft", 1, 0))
            l->Move(ribbon->x - 10 - l->xs - l->x, 0);
        if (UIWnd* r = CreateChildFromIni(box, file, "RibbonRight", 1, 0))
            r->Move(ribbon->x + ribbon->xs + 10 - r->x, 0);
    }
}

void UILevelLoading::LoadHintList(const char* file, bool isLevel) {
    if (hints_.size()) return;
    cPlayerProfile* p = gCurrentProfile;
    char section[32];
    if (isLevel)
        std::snprintf(section, sizeof section, "level%d",
                      (p ? p->GetLevelNumber() + (p->GetEpisode() - 1) * 10 : 0));
    else
        std::snprintf(section, sizeof section, "minigame%u", gSelectedWayPoint / 6 + 1);
    static const char kAbsent[] = "";
    for (int k = 0; k < 100; ++k) {
        char key[16];
        std::snprintf(key, sizeof key, "hint%d", k);
        if (iniGetString(file, section, key, kAbsent) == kAbsent) break;  // the default comes back
        hints_.push_back(iniGetInt(file, section, key, 0));
    }
    if (hints_.size()) loadingTime_ *= static_cast<int32_t>(hints_.size());
}

void UILevelLoading::LoadHints(const char* file) {
    int h;
    if (hints_.size()) {
        h = hints_[0];
        hints_.erase(0);
    } else {
        h = static_cast<int>(gRandom.Int(static_cast<uint32_t>(
            std::max(0, iniGetInt(file, "Param", "hints_total", 0)))));
    }
    char section[32];
    std::snprintf(section, sizeof section, "HintPicture%d", h);
    int bottom = -1;
    if (hintPicture_) {
        const char* sprite = iniGetString(file, section, "sprite", "");
        if (*sprite) {
            grFreeSprite(hintPicture_->sprites[0]);
            hintPicture_->sprites[0] = grLoadSprite(sprite, nullptr, 0);
            int w = 0, hh = 0, bits = 0, full = 0;
            grGetMode(&w, &hh, &bits, &full);
            if (w == 0) w = 1024;
            hintPicture_->xs = static_cast<int16_t>(spriteWidth(hintPicture_->sprites[0]));
            hintPicture_->x = static_cast<int16_t>(w / 2 - hintPicture_->xs / 2);
            bottom = hintPicture_->y + spriteHeight(hintPicture_->sprites[0]);
        }
    }
    if (hint_) {
        char key[32];
        std::snprintf(key, sizeof key, "#LOAD_TEXT_%d", h);
        const std::u16string text = translatedText(key);
        if (!text.empty()) hint_->SetTextW(text.c_str());
        if (bottom >= 0) hint_->y = static_cast<int16_t>(bottom + 10);
        size_t length = 0;
        while (hint_->caption[length]) ++length;
        nextHint_ += static_cast<int32_t>(double(length) / lettersPerSec_ * 1000.0);
    }
}

void UILevelLoading::LoadStep() {
    const float p = static_cast<float>(clock_) / static_cast<float>(loadingTime_);
    const float target = static_cast<float>(step_ + 1) / kSteps;
    if (target < p && step_ < kDone) {
        if (levelSelected()) {
            if (gCurrentGame) gCurrentGame->LoadLevel(step_);
        } else if (step_ == 0 && gCurrentMiniGame) {
            gCurrentMiniGame->Load(miniGameNumber(gSelectedWayPoint));
        }
        ++step_;
    }
    if (step_ == 6 && p >= 1) step_ = kDone;
    if (clock_ >= nextHint_) LoadHints(iniFile);
    if (progress_) progress_->SetValue(p);
}

int UILevelLoading::Update(int milliseconds) {
    if (gComics && gComics->Update(static_cast<float>(milliseconds) / 1000.0f)) return 0;
    clock_ += milliseconds;
    LoadStep();
    if (loadText_) loadText_->setHidden(step_ == kDone);
    cursorSet(step_ == kDone ? 1 : 0);
    return UIWnd::Update(milliseconds);
}

int UILevelLoading::Draw() {
    const int result = Window::Draw();
    if (step_ == kDone) press_.Draw(static_cast<uint32_t>(clock_));
    if (gComics) gComics->Draw(1.0f);
    return result;
}

int UILevelLoading::OnKeyDown(int key, intptr_t data) {
    if (gComics) gComics->OnButton(key);
    if (step_ == kDone) {
        sndStopMusic(8);
        CloseSelf();
        Window* next = levelSelected() ? static_cast<Window*>(gCurrentGame)
                                       : static_cast<Window*>(gCurrentMiniGame);
        if (WM* wm = WM::Get(); wm && next) wm->Push(next, true, false, false);
        return 1;
    }
    return UIWnd::OnKeyDown(key, data);
}

void UILevelLoading::OnHide(int finished) {
    Window::OnHide(finished);
    if (!finished) return;
    background_.GiveBack(this);
    sndStopGroup(1);
    sndStopGroup(0);
}
