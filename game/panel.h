// The level's command panels: one per hero, with a round button per request kind the hero serves
// in the level and a big button for the hero, lit while such a request waits; a click on a
// button calls a hero resting at its base out to work.
#pragma once

#include <cstdint>

#include "core/values.h"
#include "engine/gr/gr.h"
#include "ui/ui.h"

class cHero;
class cRequest;

class cRoundBtn : public UIWndButtonIE {
public:
    // A flash lasts this long after a wrong action.
    static constexpr int kFlashMs = 250;

    cRoundBtn();
    ~cRoundBtn() override;

    // Only with a parent and both names: the button's layout, placed by the parent's corner and
    // added to it, free (state 0) until a kind is set.
    void Create(UIWnd* parent, const char* file, const char* section);
    // The hero of that name in the current level and the kind's icon of that grade; shown.
    void SetRequest(const char* heroName, int kind, int grade);
    int IsShowing() const { return kind_; }
    // Whether the button is shown and a request it stands for waits; raises the kind's tutorial
    // hint at the button when one does.
    bool UpdateProgress();
    // Shown, active and the point within the circle (its edge included); sets the show state.
    bool HitTest(int px, int py) override;
    // A hit calls the button's hero out when it rests at its base or walks back there: 1 then.
    int OnKeyDown(int key, intptr_t data) override;
    // Decides at each step whether the button is lit (and raises its hint then); drawing only
    // reads that, so what the game does never depends on what is drawn.
    int Update(int ms) override;
    int Draw() override;
    bool Lit() const { return lit_; }
    void Flash() { flashEnd_ = clock + kFlashMs; }

    cHero* Hero() const { return hero_; }
    bool Hovered() const { return hovered_; }
    int FlashEnd() const { return flashEnd_; }
    HSPRITE Icon() const { return icon_; }
    Point2i IconPos() const { return iconPos_; }
    Point2i OutlinePos() const { return outlinePos_; }
    Point2i Centre() const { return centre_; }
    int Radius() const { return radius_; }
    // The outline's colour (0xAARRGGBB) as drawn now; meaningful while the button is active.
    uint32_t OutlineColour() const;

private:
    // The waiting request the button stands for; null when none.
    const cRequest* waitingRequest() const;

    cHero* hero_ = nullptr;
    int kind_;
    HSPRITE icon_ = nullptr;
    HSPRITE outline_ = nullptr;
    Point2i iconPos_{0, 0}, outlinePos_{0, 0}, centre_{0, 0};
    int32_t radius_ = 0;
    bool hovered_ = false;
    bool lit_ = false;
    int32_t flashEnd_ = 0;
};

class cCommandPanel : public Window {
public:
    static constexpr int kButtons = 4;
    static constexpr int kHeroNameSize = 14;

    cCommandPanel();
    ~cCommandPanel() override;

    // Only with both names: the panel's picture, its hero, the big button for the hero and four
    // free round buttons.
    void Load(const char* file, const char* section) override;
    // Gives the next free round button a kind the panel's hero serves (by the request file's
    // "hero", exactly); other heroes' kinds and a fifth kind are left out.
    void AddRequest(int kind);
    // The round button showing the kind starts its flash.
    void FlashRequest(int kind);
    // Any round button (the big one last) under the point; the big button lights with any hit.
    bool HitTest(int px, int py) override;

    const char* HeroName() const { return heroName_; }
    cRoundBtn* BigButton() const { return big_; }
    cRoundBtn* Button(int i) const { return i >= 0 && i < kButtons ? buttons_[i] : nullptr; }

private:
    // The buttons are children: the panel's base deletes them.
    cRoundBtn* big_ = nullptr;
    cRoundBtn* buttons_[kButtons] = {};
    char heroName_[kHeroNameSize] = {};
    // Window::Create loads through this same operation: the inner call only reads the layout.
    bool loading_ = false;
};
