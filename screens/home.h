// The heroine's home: a picture decorated over the game, one installation per level finished at
// expert grade, with a sliding panel of items, a growing preview, and the scenery around it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "anim/fx.h"
#include "anim/fx_effects.h"
#include "core/array.h"
#include "core/rcptr.h"
#include "core/strings.h"
#include "core/text.h"
#include "screens/holders.h"
#include "screens/home_scenery.h"
#include "ui/ui.h"

// One decoration sprite of a home item, with its grow-in, its hover pulse and its install
// sparkles.
class HomeObject {
public:
    HomeObject() = default;
    ~HomeObject();
    HomeObject(const HomeObject&) = delete;
    HomeObject& operator=(const HomeObject&) = delete;

    // "file, x, y[, layer]"; false (and nothing kept) for another count of parts or no sprite.
    bool Load(const char* value);
    void UpdateGrow(float grow, int ms);
    void Pulse(int ms);
    void ResetHighlight();
    void Draw() const;
    void DrawEffects();
    static bool DrawsBefore(const RCPtr<HomeObject>& a, const RCPtr<HomeObject>& b);

    HSPRITE sprite = nullptr;
    int32_t x = 0, y = 0, layer = 0;
    float highlight = 1.0f;
    float grow = 1.0f;
    float installProgress = 0.0f;
    float pulseClock = 0.0f;
    SimpleEffect install[2];
    FxEmitter growFx;
};

class HomeItem {
public:
    HomeItem() = default;
    ~HomeItem();
    HomeItem(const HomeItem&) = delete;
    HomeItem& operator=(const HomeItem&) = delete;

    bool DependenciesInstalled() const;
    void ResetHighlights();
    void UpdateInstall(float seconds);

    CString name;
    HSPRITE icon = nullptr, iconDisabled = nullptr;
    cArray<RCPtr<HomeObject>> objects;
    bool available = false;
    TokenList dependsOn;
};

// A dark band over part of the screen.
class DarkPadding : public UIWnd {
public:
    void Load(const char* file, const char* section) override;
    int Draw() override;
};

class UIHome : public Window {
public:
    static constexpr int kGrowMs = 2000;

    ~UIHome() override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnChar(int character, intptr_t data) override { return UIWnd::OnChar(character, data); }
    int OnMouseMove(int buttons, intptr_t position) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    static bool AvailableFirst(const RCPtr<HomeItem>& a, const RCPtr<HomeItem>& b);

    int InstallsLeft() const { return installsLeft_; }
    bool InstallMode() const { return installMode_; }
    const HomeItem* Current() const { return current_.get(); }
    int DisplayCount() const { return static_cast<int>(display_.size()); }
    const HomeItem* Displayed(int i) const { return display_[static_cast<uint32_t>(i)].get(); }
    int ObjectsToDraw() const { return static_cast<int>(objects_.size()); }
    UIWnd* Panel() const { return panel_; }
    int GrowTimer() const { return growTimer_; }
    HomeFountain& Fountain() { return *fountain_; }
    HomeSpriteStrip& Clouds() { return *clouds_; }
    HomeSpriteStrip& Birds() { return *birds_; }
    HomeInstallBoom& Bursts() { return *bursts_; }

private:
    RCPtr<HomeItem> loadItem(const char* section);
    void loadItems();
    void refreshAvailability();
    void collectObjects();
    bool selectCell(int k);
    bool isMouseOverCell(int k) const;
    void updateScrollButtons();
    void showCount();
    void movePanel(int dy);
    void endPreview();

    HSPRITE background_ = nullptr;
    Window* panel_ = nullptr;
    UIWnd* btnInstall_ = nullptr;
    UIWnd* btnPrev_ = nullptr;
    UIWnd* btnNext_ = nullptr;
    UIWnd* btnBack_ = nullptr;
    UIWnd* countLabel_ = nullptr;
    HSPRITE cell_ = nullptr, disabledCell_ = nullptr, cellHighlight_ = nullptr;
    HSPRITE roof_ = nullptr;
    Point2i roofPos_{0, 0};
    int cellsCount_ = 0;
    Point2i cellBase_{0, 0};
    int cellStride_ = 0;
    int first_ = 0;
    RCPtr<HomeItem> current_;
    cArray<RCPtr<HomeItem>> installing_;
    int growTimer_ = kGrowMs;
    std::u16string textBack_, textCancel_, textAvailable_;
    int installsLeft_ = 0;
    cArray<RCPtr<HomeItem>> all_;
    cArray<RCPtr<HomeItem>> display_;
    cArray<RCPtr<HomeObject>> objects_;
    bool installMode_ = false;
    Point2i pointer_{-10000, -10000};
    std::unique_ptr<HomeSpriteStrip> clouds_, birds_;
    std::unique_ptr<HomeFlicker> sun_;
    std::unique_ptr<HomeFountain> fountain_;
    std::unique_ptr<HomeInstallBoom> bursts_;
    ScreenPictures pictures_;
};

// Whether the player has an installation due: more levels finished at expert grade than items
// installed. The after-level screen opens the home then.
bool HomeInstallDue();
