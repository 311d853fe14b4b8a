// The shop between levels: the episode's hotel items for money and popularity, a row of five
// cells over the offer, the player's figures and a live preview of the hotel.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "core/array.h"
#include "core/rcptr.h"
#include "core/strmap.h"
#include "core/text.h"
#include "game/profile.h"
#include "ui/ui.h"

class cLevelObj;
class MiniLevel;

// One offered item, read from a section of the episode's shop items file. Empty (no name) when
// there is no player, or when it is not a room and brings no object.
class ShopItem {
public:
    ShopItem(const char* file, const char* section);
    ~ShopItem();
    ShopItem(const ShopItem&) = delete;
    ShopItem& operator=(const ShopItem&) = delete;

    void Clear();
    bool DependsOn(const char* other) const;
    bool IsRoom() const { return type.length() && strcmp(type.c_str(), "room") == 0; }
    // Makes a highlighted preview object of the record and keeps the record.
    cLevelObj* AddRecord(const RCPtr<cObjectItem>& record);
    static bool CheaperFirst(const ShopItem* a, const ShopItem* b);

    CString name;
    CString type;
    HSPRITE iconNormal = nullptr, iconDisabled = nullptr;
    uint32_t priceCash = 0;
    uint8_t bonusClients = 0, bonusPopularity = 0, pricePopularity = 0;
    uint8_t allowedFromDay = 0, neededFromDay = 255, grade = 0;
    TokenList dependsOn;
    cArray<RCPtr<cObjectItem>> records;
    std::u16string description, bonusDescription;
    bool buyable = false, mustHave = false, sold = false;
    CString targetRoom;
    cStrMap<cLevelObj*> previewObjects;
};

// Whether the shop would offer the item of that section to the current player: not hidden, not
// owned, and not outgrown by an owned item of its type with a higher grade (or the same grade of
// a casino). False without a player.
bool shopWouldOffer(const char* file, const char* section);

class UIShop : public Window {
public:
    ~UIShop() override;
    int OnKeyDown(int key, intptr_t data) override;
    int OnChar(int character, intptr_t data) override;
    int OnMouseMove(int buttons, intptr_t position) override;
    int OnCommand(UIWnd* sender) override;
    int Update(int milliseconds) override;
    int Draw() override;
    void Create(const char* file, const char* section) override;
    void OnShow(int finished) override;

    // The item in the selected cell; null past the list.
    ShopItem* Selected() const;
    int ItemCount() const { return static_cast<int>(items_.size()); }
    ShopItem* Item(int i) const { return items_[static_cast<uint32_t>(i)]; }
    int First() const { return first_; }
    int SelectedCell() const { return selected_; }
    int ClientsTotal() const { return clientsTotal_; }
    MiniLevel* Preview() const { return preview_; }

private:
    void loadParams(const char* file);
    void loadItems();
    void clearItems();
    void refresh(bool sort);
    void chooseRoomTarget(ShopItem* item, int index);
    void sortItems();
    void showItem(int index);
    void setBuyEnabled(bool on);
    void updateArrows();
    void countClients();
    void scrollLeft();
    void scrollRight();
    void clickCell(int px, int py);
    void buy();
    bool anyMustHave() const;
    void drawPrice(int px, int cy, uint32_t value, HSPRITE sign);
    void placeRow(UIWnd** row, int n, int centreX, int rowY);

    CGraphFont* fontBuyDisabled_ = nullptr;
    CGraphFont* fontBuyNormal_ = nullptr;
    CGraphFont* fontGold_ = nullptr;
    CGraphFont* fontRed_ = nullptr;
    CGraphFont* fontPrice_ = nullptr;
    cArray<ShopItem*> items_;
    int first_ = 0, selected_ = 0;
    UIWnd* itemDesc_ = nullptr;
    UIWnd* itemParams_ = nullptr;
    int cellX_ = 0, cellY_ = 0, cellW_ = 0, cellH_ = 0;
    HSPRITE cell_ = nullptr, emptyCell_ = nullptr, between_ = nullptr;
    int betweenX_ = 0, betweenY_ = 0;
    HSPRITE coin_ = nullptr, star_ = nullptr, sold_ = nullptr, smallArrow_ = nullptr;
    float arrowOffset_[2] = {0.0f, 0.0f};
    float smallArrowSpeed_ = 0.0f;
    int smallArrowDepth_ = 0;
    UIWnd* cash_ = nullptr;
    UIWnd* cashAmount_ = nullptr;
    UIWnd* clients_ = nullptr;
    UIWnd* clientsAmount_ = nullptr;
    UIWnd* clientsBonus_ = nullptr;
    UIWnd* popularity_ = nullptr;
    UIWnd* popularityAmount_ = nullptr;
    UIWnd* popularityBonus_ = nullptr;
    int cashX_ = 0, cashY_ = 0, clientsX_ = 0, clientsY_ = 0, popularityX_ = 0, popularityY_ = 0;
    int priceCenterX_ = 0, priceCenterY_ = 0, popCostCenterY_ = 0;
    UIWnd* arrowLeft_ = nullptr;
    UIWnd* arrowRight_ = nullptr;
    UIWnd* buy_ = nullptr;
    MiniLevel* preview_ = nullptr;
    int previewX_ = 0, previewY_ = 0, previewW_ = 0, previewH_ = 0;
    enum { kTop, kBottom, kLeft, kRight, kTopLeft, kTopRight, kBottomLeft, kBottomRight, kFrames };
    HSPRITE frame_[kFrames] = {};
    cFrame* mustHave_ = nullptr;
    int mustHaveX_ = 0, mustHaveY_ = 0;
    HSPRITE arrowLight_ = nullptr;
    int arrowX_ = 0, arrowY_ = 0;
    int pulse_ = 0, pulseMax_ = 0, pulseSpeed_ = 0;
    int clientsTotal_ = 0;
};
