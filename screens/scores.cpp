// The high-score table: reading rows with their fallbacks, adding a finished game's score,
// storing the table and drawing it.
#include "screens/scores.h"

#include <algorithm>
#include <cstring>

#include "core/strings.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"
#include "game/profile.h"
#include "screens/holders.h"

namespace {

constexpr const char* kDefaultsFile = "Data/Menu/UIScores/default.ini";
// A stored name is read with at most this many characters.
constexpr int kNameUnits = 256;
constexpr const char16_t kFallbackName[] = u"Orvo";
constexpr int32_t kFallbackValue = 1000;
// More rows than any screen can show would only cost start-up time.
constexpr int kMaxRows = 100;

}  // namespace

// --- Rows ----------------------------------------------------------------------------------------

ScoreEntry::ScoreEntry(const char16_t* name, int32_t v) : value(v) { SetName(name); }

ScoreEntry::ScoreEntry(const ScoreEntry& other) : value(other.value) { SetName(other.name_); }

ScoreEntry& ScoreEntry::operator=(const ScoreEntry& other) {
    if (&other == this) return *this;
    SetName(other.name_);
    value = other.value;
    return *this;
}

void ScoreEntry::Clear() {
    delete[] name_;
    name_ = nullptr;
    value = 0;
}

void ScoreEntry::SetName(const char16_t* name) {
    delete[] name_;
    name_ = nullptr;
    if (!name || !*name) return;
    const unsigned n = wstrLen(name);
    name_ = new char16_t[n + 1];
    std::memcpy(name_, name, (n + 1) * sizeof(char16_t));
}

// --- The screen ----------------------------------------------------------------------------------

UIScores::~UIScores() { grFreeFont(labelFont_); }

void UIScores::Create(const char* file, const char* section) {
    Window::Create(file, section);
    createScreenChildren(this, file,
                         {"Mid", "Top", "Bottom", "Right", "Left", "RightBottom", "LeftBottom",
                          "RightUp", "LeftUp", "Logo", "Ok"});
    if (file && *file) {
        grFreeFont(labelFont_);
        labelFont_ = iniReadFont(file, "Config", "label_font");
        top_ = iniGetInt(file, "Config", "top_text_y", 0);
        leftMargin_ = iniGetInt(file, "Config", "left_margin", 0);
        rightMargin_ = iniGetInt(file, "Config", "right_margin", 0);
        stride_ = iniGetInt(file, "Config", "stride", 0);
        int count = iniGetInt(file, "Config", "scores_count", 0);
        if (count > kMaxRows) {
            logPrintf("%s: scores_count %d is more than a table shows; %d rows kept\n", file, count,
                      kMaxRows);
            count = kMaxRows;
        }
        // Every row is stored as it comes in; the file reaches the disk once, whole.
        IniSaveScope together;
        for (int i = 0; i < count; ++i) {
            char name[32];
            safeSnprintf(name, sizeof name, "score%d", i);
            AddScore(LoadEntry(name), false);
        }
    }
    SetFinishedGameHook(scoresAddFinishedGame);
    StrCopyN(this->section, "UIScores", kUiSectionSize);
}

ScoreEntry UIScores::LoadEntry(const char* section) {
    if (!section || !*section) return ScoreEntry();
    char16_t name[kNameUnits + 1] = {};
    scoresGetWide(section, "name", name, kNameUnits + 1);
    if (*name) {
        int value = 0;
        scoresGetInt(section, "value", &value);
        return ScoreEntry(name, std::max(0, value));
    }
    const char16_t* fallback = iniGetWide(kDefaultsFile, section, "name", u"");
    if (fallback && *fallback) {
        // The store's result lasts only a few further reads: the entry copies it first.
        ScoreEntry entry(fallback, 0);
        entry.value = std::max(0, iniGetInt(kDefaultsFile, section, "value", 0));
        return entry;
    }
    return ScoreEntry(kFallbackName, kFallbackValue);
}

void UIScores::AddScore(const ScoreEntry& entry, bool replaceLowest) {
    ScoreEntry added(entry);  // the entry may be a row of this table
    if (replaceLowest && entries_.size() > 0) {
        uint32_t lowest = 0;
        for (uint32_t i = 1; i < entries_.size(); ++i)
            if (entries_[i].value < entries_[lowest].value) lowest = i;
        entries_.erase(lowest);
    }
    entries_.push_back(added);
    Sort(entries_, ScoreGreater());
    Save();
}

void UIScores::Save() {
    IniSaveScope together;
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        char name[32];
        safeSnprintf(name, sizeof name, "score%u", i);
        scoresSetWide(name, "name", entries_[i].name() ? entries_[i].name() : u"");
        scoresSetInt(name, "value", entries_[i].value);
    }
}

int UIScores::OnCommand(UIWnd* sender) {
    if (std::strcmp(sender->section, "Ok") == 0) {
        if (WM* wm = WM::Get()) wm->CloseAndNotify(this);
        return 1;
    }
    return UIWnd::OnCommand(sender);
}

int UIScores::Draw() {
    const int result = Window::Draw();
    if (!labelFont_ || hidden()) return result;
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        const int rowY = top_ + stride_ * static_cast<int>(i);
        if (entries_[i].name()) grDrawText(labelFont_, leftMargin_, rowY, entries_[i].name(), 0, -1, 0);
        grDrawText(labelFont_, rightMargin_, rowY, intToWide(entries_[i].value), 0, 1, 0);
    }
    return result;
}

void scoresAddFinishedGame(const char16_t* name, uint64_t total) {
    auto* scores = dynamic_cast<UIScores*>(gUIScores.get());
    if (!scores) return;
    const int32_t value = static_cast<int32_t>(std::min<uint64_t>(total, INT32_MAX));
    scores->AddScore(ScoreEntry(name, value), true);
}
