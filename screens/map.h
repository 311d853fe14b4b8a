// The episode map: the road of way points over four episodes, the player's figures, a photo per
// episode, the hint of the way point under the pointer and the signs that ask for the shop or
// the school; the buttons lead to the level, the mini-game, the shop, the school and the home.
#pragma once

#include <cstdint>
#include <string>

#include "core/array.h"
#include "engine/gr/gr.h"
#include "screens/holders.h"
#include "ui/ui.h"

// The way point chosen on the map; the level loading screen reads it.
extern uint32_t gSelectedWayPoint;

class UIGameMap : public Window {
public:
    enum WayPointState { kLocked = 0, kOpen = 1, kExpert = 2 };
    enum Sprite { kLevel, kLevelDisabled, kLevelStar, kLevelExpert, kMini, kMiniDisabled, kMiniStar,
                  kSprites };

    ~UIGameMap() override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnMouseMove(int buttons, intptr_t position) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    void SelectWayPoint(uint32_t i);
    void StartLevel();
    void StartMiniGame();
    void RefreshStates();
    // After every selection: the profile moves to the chosen way point, then the texts, the signs
    // and the buttons follow it. (Not the widgets' Refresh, which focus changes call.)
    void RefreshSelection();
    bool IsUnderCursor(uint32_t i) const;
    HSPRITE WayPointSprite(uint32_t i) const;
    bool IsEpisodeComplete(int episode) const;

    // Episode e's photo as the map draws it: its stamped version once the episode is complete;
    // none for an episode the player has not reached.
    HSPRITE PhotoShown(int episode) const;
    HSPRITE PhotoPicture(int episode) const { return photo(episode, false); }
    HSPRITE PhotoStamp(int episode) const { return photo(episode, true); }
    HSPRITE WayPointSpriteOf(Sprite which) const { return sprites_[which]; }

    int State(uint32_t i) const { return i < states_.size() ? states_[i] : kLocked; }
    bool MustHave() const { return mustHave_; }
    bool Buyable() const { return buyable_; }
    bool Skill() const { return skill_; }
    int GlowAlpha() const { return static_cast<int>(glowColour_ >> 24); }
    int GlowValue() const { return glowValue_; }
    Window* HintWindow() const { return hint_; }
    UIWnd* Child(const char* name) { return findChild(this, name); }

private:
    void loadParams(const char* file);
    void createHintWindow();
    void refreshTexts();
    void hasMustHaveItem();
    void hasBuyableItem();
    void hasLearnableSkill();
    void refreshPlayButton();
    void enable(UIWnd* button, bool on);
    void updateHint(int ms);
    void fillHint(uint32_t i);
    bool miniGameSelected() const;
    HSPRITE photo(int episode, bool stamp) const;

    uint32_t glowColour_ = 0xFFFFFFFFu;
    HSPRITE glow_ = nullptr;
    int glowValue_ = 0, glowMin_ = 0, glowMax_ = 0, glowSpeed_ = 0;
    bool buyable_ = false, skill_ = false, mustHave_ = false;
    CGraphFont* disabledFont_ = nullptr;
    CGraphFont* playFont_ = nullptr;  // the font "Play" was loaded with
    cFrame* mustHaveSign_ = nullptr;
    cFrame* skillSign_ = nullptr;
    HSPRITE sprites_[kSprites] = {};
    Point2i leftPrice_{0, 0}, rightPrice_{0, 0};
    cArray<int> states_;
    struct Photo {
        Point2i position{0, 0};
        HSPRITE picture = nullptr, stamp = nullptr;
    } photos_[4];
    HSPRITE background_ = nullptr;
    Window* hint_ = nullptr;
    UIWnd *hintMoney_ = nullptr, *hintExp_ = nullptr, *hintDay_ = nullptr, *hintMini_ = nullptr;
    int hintTimer_ = 0, hintAppear_ = 0;
    std::u16string dayWord_;
    bool badEpisodeLogged_ = false;
    ScreenPictures pictures_;
};
