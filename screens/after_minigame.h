// The results of a mini-game: the screen slides in, counts up the objects found, the reward, the
// speed bonus and the total, stamps its thanks and shows the heroine (with a celebration after
// an expert game); Ok adds the total to the player's skill points and moves past the mini-game.
#pragma once

#include <cstdint>

#include "anim/flying.h"
#include "core/array.h"
#include "minigames/minigame.h"
#include "screens/counting_number.h"
#include "screens/holders.h"
#include "ui/ui.h"

class FxManager;

class UIAfterMiniGame : public Window {
public:
    enum { kFound, kReward, kSpeedBonus, kTotal, kLines };

    UIAfterMiniGame() = default;
    ~UIAfterMiniGame() override;

    int OnKeyDown(int key, intptr_t data) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int ms) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;
    virtual void SetResults(const cMiniGameResult& result);

    // Where Ok goes (the episode map) and the effect manager that celebrates; both may be null.
    Window* mapScreen = nullptr;
    FxManager* fx = nullptr;

    int Total() const { return total_; }
    bool Entering() const { return entering_ != 0; }
    bool StampDone() const { return stampDone_ != 0; }
    int DimLevel() const { return dimLevel_; }
    CountingNumber& Line(int i) { return lines_[i]; }
    UIWnd* Zuna() const { return zuna_; }
    UIWnd* ZunaExpert() const { return zunaExpert_; }
    UIWnd* Thanks() const { return thanks_; }

private:
    void slideIn();
    // One step of the thanks stamp; true when it has landed.
    bool stamp(int ms);
    void celebrate(int ms);
    void moveAll(int dy);

    UIWnd *zuna_ = nullptr, *zunaExpert_ = nullptr;
    UIWnd *ribbonLeft_ = nullptr, *bonusLevel_ = nullptr, *ribbonRight_ = nullptr;
    UIWnd* thanks_ = nullptr;
    int32_t total_ = 0;
    int32_t number_ = 1;
    uint8_t entering_ = 1;
    uint8_t stampDone_ = 0;
    CountingNumber lines_[kLines];
    PulseSprite* pulses_[kLines] = {};
    uint16_t dimLevel_ = 255;
    SlideIn slide_;
    BorrowedBackground background_;
};
