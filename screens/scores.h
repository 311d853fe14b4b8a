// The high-score table: one for all players of the installation, kept in scores.ini in the user
// folder with defaults from Data/Menu/UIScores/default.ini, and shown as a modal screen.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "ui/ui.h"

// One row of the table. The name is an owned copy; an empty name is held as none.
class ScoreEntry {
public:
    ScoreEntry() = default;
    ScoreEntry(const char16_t* name, int32_t value);
    ScoreEntry(const ScoreEntry& other);
    ScoreEntry& operator=(const ScoreEntry& other);
    ~ScoreEntry() { Clear(); }

    void Clear();
    void SetName(const char16_t* name);
    const char16_t* name() const { return name_; }

    int32_t value = 0;

private:
    char16_t* name_ = nullptr;
};

// Highest first.
struct ScoreGreater {
    bool operator()(const ScoreEntry& a, const ScoreEntry& b) const { return a.value > b.value; }
};

class UIScores : public Window {
public:
    ~UIScores() override;
    void Create(const char* file, const char* section) override;
    int OnCommand(UIWnd* sender) override;
    int Draw() override;

    // The row stored in that section of scores.ini, else of the default file, else "Orvo" with
    // 1000; no name and 0 for an empty section name.
    ScoreEntry LoadEntry(const char* section);
    // Adds a copy of the entry (in place of the lowest row when asked and the table is not
    // empty), sorts the table and stores it.
    void AddScore(const ScoreEntry& entry, bool replaceLowest);
    // Every row into its section "score<i>" of scores.ini, as one save.
    void Save();

    const cArray<ScoreEntry>& entries() const { return entries_; }

private:
    cArray<ScoreEntry> entries_;
    CGraphFont* labelFont_ = nullptr;
    int32_t top_ = 0;
    int32_t leftMargin_ = 0;
    int32_t rightMargin_ = 0;
    int32_t stride_ = 0;
};

// A player who has passed the last way point enters the table in gUIScores, when it exists,
// in place of its lowest row.
void scoresAddFinishedGame(const char16_t* name, uint64_t total);
