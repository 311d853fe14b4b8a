// The level loading screen: loads the chosen level or mini-game in seven timed steps behind a
// bar while it shows the country, the day, the goals and rotating hints (the first comic before
// the very first level); a key then starts the play.
#pragma once

#include <cstdint>
#include <string>

#include "core/array.h"
#include "game/game.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "ui/ui.h"

// The mini-game number (1..8) of a way point of the road.
int miniGameNumber(uint32_t wayPoint);
// The text with its first integer placeholder ("%d", "%i" or "%u") replaced by value; every other
// character, a '%' too, is kept as it is.
std::u16string formatOneInteger(const std::u16string& format, int value);

class UILevelLoading : public Window {
public:
    static constexpr int kDone = 7;

    ~UILevelLoading() override;
    int OnKeyDown(int key, intptr_t data) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    void BuildGoals(const char* file);
    void LoadHintList(const char* file, bool isLevel);
    void LoadHints(const char* file);
    void LoadStep();

    int Step() const { return step_; }
    int Clock() const { return clock_; }
    int LoadingTime() const { return loadingTime_; }
    int GoalCount() const { return goals_; }
    UIWnd* GoalsBox() const { return findChild(const_cast<UILevelLoading*>(this), "Goals"); }

private:
    bool levelSelected() const;
    void readTimes(const char* file);

    UIWnd *progress_ = nullptr, *loadText_ = nullptr, *hint_ = nullptr, *hintPicture_ = nullptr;
    int32_t clock_ = 0, loadingTime_ = 0, step_ = 0, nextHint_ = 0, lettersPerSec_ = 0;
    int32_t goals_ = 0;
    PressAnyKeyPrompt press_;
    cArray<int32_t> hints_;
    BorrowedBackground background_;
    bool timesLogged_ = false;
};
