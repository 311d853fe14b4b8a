// The after-level statistics: the screen slides in, counts the level's figures up line after
// line, ticks or crosses each goal, shows the heroine's figure for the result and offers replay,
// menu or Ok; Ok stores the result and moves the player on (home, map or main menu).
#pragma once

#include <cstdint>
#include <string>

#include "anim/flying.h"
#include "core/array.h"
#include "screens/counting_number.h"
#include "screens/holders.h"
#include "ui/ui.h"
#include "world/object.h"

class UIAfterGameStats : public Window {
public:
    UIAfterGameStats() = default;
    ~UIAfterGameStats() override;

    int OnKeyDown(int key, intptr_t data) override;
    int OnMouseMove(int buttons, intptr_t position) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    // 1 failed, 2 completed, 3 expert, from the level's figures; 1 without a level.
    int ComputeResult() const;
    void SaveResults();
    void Leave();

    int Result() const { return result_; }
    bool Entering() const { return entering_; }
    bool CountingDone() const { return countingDone_; }
    bool Leaving() const { return leaving_; }
    int Shown(int line) const { return shown_[line]; }
    bool TickShown(int row) const { return tickShown_[row]; }
    bool CrossShown(int row) const { return crossShown_[row]; }
    UIWnd* Figure() const { return figure_; }

private:
    // The figures of the level, copied at show time so that nothing reads the level later.
    struct Figures {
        int clientsReleased = 0, money = 0, popularity = 0, cashGoal = 0, cashExpert = 0;
        int addPopularity = 0, roomsUpgraded = 0, goalType = 2;
        bool allReleased = false, roomUpgraded = false;
        float scoreRatio = 0;
        // Every room upgrade of the level in order, so a second upgraded room is not lost.
        cArray<std::string> upgradeRecords;
    };

    void slideIn();
    void moveAll(int dy);
    void countUp(int& value, int target, int step);
    bool setGoalMark(int row, int verdict);
    const AnimDesc* mark(int row) const;
    void setAmount(UIWnd* w, int value);
    void playPointsSound();
    void fadeInFigure(int ms);
    void celebrate(int ms);
    void placeRows(bool threeGoals);
    void sayTheVerdict();
    void skip();

    enum { kClients, kIncome, kTips, kTotal, kLines };
    Figures level_;
    int shown_[kLines] = {};
    int pointsCountdown_ = 0;
    UIWnd *btnRestart_ = nullptr, *btnMenu_ = nullptr, *btnOk_ = nullptr;
    UIWnd* amounts_[kLines] = {};
    UIWnd *day_ = nullptr, *ribbonLeft_ = nullptr, *ribbonRight_ = nullptr;
    UIWnd *zunaLose_ = nullptr, *zunaWin_ = nullptr, *zunaExpert_ = nullptr, *figure_ = nullptr;
    UIWnd* goal_[3] = {};
    UIWnd* tilePoint_[3] = {};
    AnimDesc tick_[3], cross_[3];
    bool tickShown_[3] = {}, crossShown_[3] = {};
    int markClock_[3] = {};
    bool markPending_ = true;
    std::u16string goal1Format_;
    PulseSprite* pulses_[kLines] = {};
    bool entering_ = true;
    SlideIn slide_;
    int currentGoal_ = 0;
    bool countingDone_ = false, skipped_ = false;
    int dimLevel_ = 255;
    int result_ = 1;
    bool leaving_ = false;
    float leaveFade_ = 0;
    BorrowedBackground background_;
};
