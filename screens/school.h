// The school between levels: staff skills bought with skill points, one grade of a skill line
// after the other, with a bar per hero and the best learnt grade of each line on top.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/array.h"
#include "game/game_data.h"
#include "screens/holders.h"
#include "ui/ui.h"

struct SchoolEntry {
    cSchoolItem* item = nullptr;  // a record of gSchoolItems
    bool buyable = false;
    bool bought = false;
};

class UISchool : public Window {
public:
    enum { kMaid = 0, kJenny = 1, kPorter = 2, kHeroes = 3 };
    static constexpr int kCells = 5;

    // One skill line's place at the top: the icon and bonus text of its best learnt grade.
    struct UpperCell {
        ~UpperCell() { std::free(name); }
        void Draw() const;

        char* name = nullptr;
        CString type;
        HSPRITE sprite = nullptr;  // not owned
        Point2i pos{0, 0};
        CGraphFont* font = nullptr;  // the screen's
        bool highlighted = false;
        uint32_t glow = 0;
    };

    ~UISchool() override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;
    void OnHide(int finished) override;

    const SchoolEntry* GetSelected() const;
    int FindUpperCell(const char* type) const;
    // The hero an item belongs to: its hero name exactly, any other name counts as the maid's.
    static int HeroOf(const char* hero);

    int EntryCount() const { return static_cast<int>(entries_.size()); }
    const SchoolEntry& Entry(int i) const { return entries_[static_cast<uint32_t>(i)]; }
    uint32_t First() const { return first_; }
    uint32_t SelectedIndex() const { return selected_; }
    int CurrentHero() const { return hero_; }
    const UpperCell* Upper(int i) const { return upper_[static_cast<uint32_t>(i)]; }
    int Pulse() const { return pulse_; }

private:
    void loadParams(const char* file);
    void buildList();
    void removeSuperseded();
    void refreshBuyable();
    void refreshHighlights();
    void refreshBars();
    void moveSelection(int delta);
    void refreshItemTexts();
    void refreshBuyButton();
    void showLearntItem(cSchoolItem* item);
    bool isOverCell(int i, int px, int py) const;
    void buy();
    UIWnd* bar(int hero) const;

    CGraphFont* fontBuyDisabled_ = nullptr;
    CGraphFont* fontBuyNormal_ = nullptr;
    CGraphFont* fontCash_ = nullptr;
    CGraphFont* fontCashRed_ = nullptr;
    CGraphFont* fontPrice_ = nullptr;
    CGraphFont* fontCell_ = nullptr;
    CGraphFont* fontCellDisabled_ = nullptr;
    CGraphFont* fontUpper_ = nullptr;
    HSPRITE jennAdd_ = nullptr, maidPortAdd_ = nullptr, normalCell_ = nullptr;
    HSPRITE emptyCell_ = nullptr, between_ = nullptr, coin_ = nullptr, sold_ = nullptr;
    HSPRITE progress_ = nullptr, smallArrow_ = nullptr;
    int hero_ = kJenny;
    cArray<SchoolEntry> entries_;
    int itemCount_[kHeroes] = {};
    cArray<UpperCell*> upper_;
    UIWnd* btnBuy_ = nullptr;
    UIWnd* bars_[kHeroes] = {};
    UIWnd* description_ = nullptr;
    UIWnd* bonus_ = nullptr;
    std::u16string pointsLabel_;
    int maidX_ = 0, maidY_ = 0, jennX_ = 0, jennY_ = 0, portX_ = 0, portY_ = 0;
    int personsXs_ = 0, jennYs_ = 0, maidPortYs_ = 0, betweenX_ = 0, betweenY_ = 0;
    int pointsCx_ = 0, pointsCy_ = 0, priceCx_ = 0, priceCy_ = 0;
    uint32_t first_ = 0, selected_ = 0;
    int cellX_ = 0, cellY_ = 0, cellW_ = 0, cellH_ = 0, cellBonusTextDy_ = 0;
    int pulse_ = 0, pulseMax_ = 0, pulseSpeed_ = 0;
    float arrowOffset_[2] = {0.0f, 0.0f};
    float arrowSpeed_ = 0.0f;
    int arrowDepth_ = 0;
    ScreenPictures pictures_;
};
