// The shop between levels.
#include "screens/shop.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/random.h"
#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "screens/between.h"
#include "screens/holders.h"
#include "screens/mini_level.h"
#include "world/factory.h"
#include "world/level_object.h"

namespace {

const int kCells = 5;

uint8_t readByte(const char* file, const char* section, const char* key) {
    int v = iniGetInt(file, section, key, 0);
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

std::u16string translated(const char* format, int episode, const char* name) {
    char key[100];
    formatString(key, sizeof key, format, episode, name);
    return translatedText(key);
}

int day() { return gCurrentProfile ? gCurrentProfile->GetLevelNumber() : 0; }

bool listed(const TokenList& list, const char* name) {
    for (uint32_t i = 0; i < list.Count(); ++i)
        if (strcmp(list.At(i), name) == 0) return true;
    return false;
}

// Takes out of the list, keeping their order, the items the test picks and puts them in front.
template <class Pick>
void moveToFront(cArray<ShopItem*>& items, Pick pick) {
    uint32_t front = 0;
    for (uint32_t i = 0; i < items.size(); ++i)
        if (pick(items[i])) items.Move(front++, i);
}

// "+n", or nothing for no bonus.
void showBonus(UIWnd* w, int bonus) {
    if (!w) return;
    if (bonus)
        w->SetTextF("+%d", bonus);
    else
        w->SetText("");
}

// The whole caption: the text ends at its terminator, well before the buffer's length.
int width(UIWnd* w) {
    return w && w->font ? grTextWidth(w->font, w->caption, kUiCaptionUnits) : 0;
}

}  // namespace

// --- ShopItem ----------------------------------------------------------------------------------

ShopItem::ShopItem(const char* file, const char* section) {
    if (!gCurrentProfile || !file || !*file || !section || !*section) return;
    name = section;
    const char* t = iniGetString(file, section, "type", nullptr);
    if (t) type = t;
    iconNormal = iniReadAnimSprite(file, section, "icon");
    iconDisabled = iniReadAnimSprite(file, section, "icon_disabled");
    int cash = iniGetInt(file, section, "price.cash", 0);
    priceCash = cash < 0 ? 0 : static_cast<uint32_t>(cash);
    bonusClients = readByte(file, section, "bonus.clients");
    bonusPopularity = readByte(file, section, "bonus.popularity");
    pricePopularity = readByte(file, section, "price.popularity");
    allowedFromDay = readByte(file, section, "allowed_from_day");
    neededFromDay = readByte(file, section, "needed_from_day");
    if (neededFromDay == 0) neededFromDay = 255;
    grade = readByte(file, section, "grade");
    dependsOn = TokenList::Split(iniGetString(file, section, "depends_on", ""), ',');
    TokenList objects = TokenList::Split(iniGetString(file, section, "objects", ""), ',');
    if (!IsRoom() && objects.IsEmpty()) {
        Clear();
        return;
    }
    for (uint32_t i = 0; i < objects.Count(); ++i) {
        cLevelObj* object = AddRecord(gCurrentProfile->MakeObjectItem(objects.At(i)));
        if (object) object->SetBreakable(false);
    }
    int episode = gCurrentProfile->GetEpisode();
    description = translated("#SHOP_ITEM_DESCRIPTION_%d_%s", episode, section);
    bonusDescription = translated("#SHOP_ITEM_BONUS_DESCRIPTION_%d_%s", episode, section);
}

ShopItem::~ShopItem() { Clear(); }

void ShopItem::Clear() {
    name = "";
    type = "";
    spriteFree(&iconNormal);
    spriteFree(&iconDisabled);
    records.clear();
    targetRoom = "";
    for (cStrMap<cLevelObj*>::Iterator it = previewObjects.Begin(); !it.AtEnd(); it.Next())
        delete it.Node()->value;
    previewObjects.clear();
}

cLevelObj* ShopItem::AddRecord(const RCPtr<cObjectItem>& record) {
    if (!record) return nullptr;
    records.push_back(record);
    cLevelObj* object = createLevelObject(record->section.c_str(), nullptr);
    if (!object) return nullptr;
    object->SetHighlighted(true);
    cLevelObj** held = previewObjects.FindValue(record->name);
    if (held) delete *held;
    previewObjects.Set(record->name, object);
    return object;
}

bool ShopItem::DependsOn(const char* other) const { return other && listed(dependsOn, other); }

bool ShopItem::CheaperFirst(const ShopItem* a, const ShopItem* b) {
    if (a->priceCash != b->priceCash) return a->priceCash < b->priceCash;
    return a->pricePopularity < b->pricePopularity;
}

// --- UIShop: building ---------------------------------------------------------------------------

UIShop::~UIShop() {
    // The lent fonts go back before the children would free them.
    for (UIWnd* w : {buy_, cashAmount_, popularityAmount_})
        if (w) w->font = nullptr;
    for (CGraphFont** f : {&fontBuyDisabled_, &fontBuyNormal_, &fontGold_, &fontRed_, &fontPrice_})
        fontFree(f);
    for (HSPRITE* s : {&cell_, &emptyCell_, &between_, &coin_, &star_, &sold_, &smallArrow_,
                       &arrowLight_})
        spriteFree(s);
    for (HSPRITE& s : frame_) spriteFree(&s);
    delete mustHave_;
    clearItems();
    delete preview_;
}

void UIShop::loadParams(const char* file) {
    const char* p = "Param";
    fontBuyDisabled_ = iniReadFont(file, p, "font_buy_disabled");
    fontBuyNormal_ = iniReadFont(file, p, "font_buy_normal");
    fontGold_ = iniReadFont(file, p, "font_gold");
    fontRed_ = iniReadFont(file, p, "font_red");
    fontPrice_ = iniReadFont(file, p, "font_price");
    struct {
        const char* key;
        int* value;
    } ints[] = {{"arrow_x", &arrowX_},           {"arrow_y", &arrowY_},
                {"cell_x", &cellX_},             {"cell_y", &cellY_},
                {"cell_w", &cellW_},             {"cell_h", &cellH_},
                {"between_x", &betweenX_},       {"between_y", &betweenY_},
                {"cash_diffuse_speed", &pulseSpeed_}, {"cash_diffuse_max", &pulseMax_},
                {"small_arrow_depth", &smallArrowDepth_}, {"cash_x", &cashX_},
                {"cash_y", &cashY_},             {"clients_x", &clientsX_},
                {"clients_y", &clientsY_},       {"popularity_x", &popularityX_},
                {"popularity_y", &popularityY_}, {"price_center_x", &priceCenterX_},
                {"price_center_y", &priceCenterY_}, {"pop_cost_center_y", &popCostCenterY_}};
    for (auto& i : ints) *i.value = iniGetInt(file, p, i.key, 0);
    smallArrowSpeed_ = iniGetFloat(file, p, "small_arrow_speed", 0.0f);
    pulse_ = pulseMax_;
}

void UIShop::Create(const char* file, const char* section) {
    Window::Create(file, section);
    loadParams(file);
    const char* s = "Sprites";
    cell_ = iniReadAnimSprite(file, s, "cell");
    emptyCell_ = iniReadAnimSprite(file, s, "empty_cell");
    between_ = iniReadAnimSprite(file, s, "between");
    smallArrow_ = iniReadAnimSprite(file, s, "small_arrow");
    const char* frames[kFrames] = {"frame_top",      "frame_bottom",    "frame_left",
                                   "frame_right",    "frame_top_left",  "frame_top_right",
                                   "frame_bottom_left", "frame_bottom_right"};
    for (int i = 0; i < kFrames; ++i) frame_[i] = iniReadAnimSprite(file, s, frames[i]);
    arrowLight_ = iniReadAnimSprite(file, s, "arrow_light");
    coin_ = iniReadAnimSprite(file, s, "coin");
    star_ = iniReadAnimSprite(file, s, "star");
    sold_ = iniReadAnimSprite(file, s, "sold");

    auto child = [&](const char* name) { return CreateChildFromIni(this, file, name, 0, 0); };
    child("Background");
    buy_ = child("Buy");
    child("BtnBack");
    arrowLeft_ = child("ArrowLeft");
    arrowRight_ = child("ArrowRight");
    cash_ = child("Cash");
    cashAmount_ = child("CashAmount");
    clients_ = child("Clients");
    clientsAmount_ = child("ClientsAmount");
    clientsBonus_ = child("ClientsBonus");
    popularity_ = child("Popularity");
    popularityAmount_ = child("PopularityAmount");
    popularityBonus_ = child("PopularityBonus");
    itemDesc_ = child("ItemDesc");
    itemParams_ = child("ItemParams");

    mustHave_ = new cFrame();
    mustHave_->Load(file, "MustHave");
    mustHaveX_ = iniGetInt(file, "MustHave", "x", 0);
    mustHaveY_ = iniGetInt(file, "MustHave", "y", 0);
    CreateChildFromIni(mustHave_, file, "MustHaveText", 1, 0);
    CreateChildFromIni(mustHave_, file, "MustHaveArrow", 1, 0);

    for (UIWnd* w : {cash_, clients_, popularity_})
        if (w) w->Move(0, -100 - w->y);
    StrCopyN(this->section, "UIShop", kUiSectionSize);
}

// --- UIShop: the offer -------------------------------------------------------------------------

void UIShop::clearItems() {
    for (uint32_t i = 0; i < items_.size(); ++i) delete items_[i];
    items_.clear();
}

bool shopWouldOffer(const char* file, const char* section) {
    cPlayerProfile* p = gCurrentProfile;
    if (!p || iniGetInt(file, section, "hidden", 0) >= 1 || p->FindShopItem(section)) return false;
    const char* type = iniGetString(file, section, "type", "");
    if (!*type || std::strcmp(type, "room") == 0) return true;
    const int grade = readByte(file, section, "grade");
    const bool casino = std::strstr(type, "casino") != nullptr;
    cShopItem* owned[50];
    const int n = p->GetShopItemsOfType(owned, 50, type);
    for (int k = 0; k < n; ++k) {
        if (std::strcmp(owned[k]->type.c_str(), "room") == 0) continue;
        if (owned[k]->grade > grade || (owned[k]->grade == grade && casino)) return false;
    }
    return true;
}

void UIShop::loadItems() {
    if (!gCurrentProfile) return;
    linkWorldToProfile();
    const char* file = gCurrentProfile->GetShopItemsIni();
    static char names[65536];
    iniGetSections(file, names, sizeof names);
    for (const char* s = names; *s; s += strlen(s) + 1) {
        if (!shopWouldOffer(file, s)) continue;
        auto* item = new ShopItem(file, s);
        if (item->name.length() == 0) {
            delete item;
            continue;
        }
        items_.push_back(item);
    }
    refresh(true);
}

void UIShop::refresh(bool sort) {
    if (!gCurrentProfile) return;
    cPlayerProfile* p = gCurrentProfile;
    int d = day();
    for (uint32_t i = 0; i < items_.size(); ++i) {
        ShopItem* item = items_[i];
        bool ok = p->GetCash() >= item->priceCash && p->GetPopularity() >= item->pricePopularity;
        for (uint32_t k = 0; k < item->dependsOn.Count() && ok; ++k)
            ok = p->FindShopItem(item->dependsOn.At(k)) != nullptr;
        item->buyable = ok && !item->sold && d >= item->allowedFromDay;
        if (item->IsRoom() && item->targetRoom.length() == 0)
            chooseRoomTarget(item, static_cast<int>(i));
        item->mustHave = !item->sold && d >= item->neededFromDay;
    }
    if (sort) sortItems();
    if (anyMustHave())
        for (uint32_t i = 0; i < items_.size(); ++i)
            if (!items_[i]->mustHave) items_[i]->buyable = false;
}

bool UIShop::anyMustHave() const {
    for (uint32_t i = 0; i < items_.size(); ++i)
        if (items_[i]->mustHave) return true;
    return false;
}

void UIShop::chooseRoomTarget(ShopItem* item, int index) {
    cArray<RCPtr<cObjectItem>> rooms;
    gCurrentProfile->GetObjectItemsOfType(rooms, "room");
    for (uint32_t i = 0; i < rooms.size();) {
        if (rooms[i] && rooms[i]->grade != item->grade - 1)
            rooms.erase(i);
        else
            ++i;
    }
    if (rooms.size() >= 2) {
        for (int k = 0; k < 10; ++k) {
            uint32_t a = gRandom.Int(rooms.size()), b = gRandom.Int(rooms.size());
            RCPtr<cObjectItem> held = rooms[a];
            rooms[a] = rooms[b];
            rooms[b] = held;
        }
    }
    for (uint32_t r = 0; r < rooms.size(); ++r) {
        if (!rooms[r]) continue;
        const char* name = rooms[r]->name.c_str();
        bool taken = false;
        for (uint32_t j = 0; j < items_.size() && !taken; ++j) {
            const ShopItem* other = items_[j];
            taken = static_cast<int>(j) != index && other->IsRoom() &&
                    strcmp(other->targetRoom.c_str(), name) == 0 && other->grade >= item->grade;
        }
        if (taken) continue;
        item->targetRoom = name;
        item->AddRecord(gCurrentProfile->MakeObjectItem(name));
        return;
    }
    item->buyable = false;
}

void UIShop::sortItems() {
    Sort(items_, ShopItem::CheaperFirst);
    const cPlayerProfile* p = gCurrentProfile;
    int d = day();
    uint64_t cashSum = 0, popSum = 0;
    for (uint32_t i = 0; i < items_.size(); ++i) {
        if (d < items_[i]->neededFromDay) continue;
        cashSum += items_[i]->priceCash;
        popSum += items_[i]->pricePopularity;
    }
    moveToFront(items_, [&](const ShopItem* item) {
        return d >= item->allowedFromDay && p->GetCash() >= item->priceCash + cashSum &&
               p->GetPopularity() >= item->pricePopularity + popSum;
    });
    moveToFront(items_, [&](const ShopItem* item) { return d >= item->neededFromDay; });
    for (uint32_t i = 0; i < items_.size();) {
        uint32_t moved = 0;
        for (uint32_t j = i + 1; j < items_.size(); ++j) {
            if (!items_[j]->DependsOn(items_[i]->name.c_str())) continue;
            items_.Move(i + 1, j);
            ++moved;
        }
        i += 1 + moved;
    }
}

void UIShop::countClients() {
    clientsTotal_ = 0;
    if (!gCurrentProfile) return;
    char group[32];
    formatString(group, sizeof group, "level%d", day());
    TokenList groups =
        TokenList::Split(iniGetString(gCurrentProfile->GetLevelsIni(), group, "clients", ""), ';');
    for (uint32_t i = 0; i < groups.Count(); ++i) {
        TokenList parts = TokenList::Split(groups.At(i), ',');
        if (parts.Count() >= 2) clientsTotal_ += std::max(0, atoi(parts.At(1)));
    }
    cArray<cShopItem*> owned;
    gCurrentProfile->GetAllShopItems(owned);
    for (uint32_t i = 0; i < owned.size(); ++i) clientsTotal_ += owned[i]->bonusClients;
    if (clientsAmount_) clientsAmount_->SetTextF("%d", clientsTotal_);
}

// --- UIShop: showing ---------------------------------------------------------------------------

void UIShop::OnShow(int finished) {
    if (finished) return;
    delete preview_;
    preview_ = nullptr;
    int dw = 0, dh = 0, bpp = 0, full = 0;
    grGetMode(&dw, &dh, &bpp, &full);
    xs = static_cast<int16_t>(dw);
    ys = static_cast<int16_t>(dh);
    previewX_ = iniGetInt(iniFile, "MiniLevel", "x", 0);
    previewY_ = iniGetInt(iniFile, "MiniLevel", "y", 0);
    previewW_ = iniGetInt(iniFile, "MiniLevel", "width", 0);
    previewH_ = iniGetInt(iniFile, "MiniLevel", "height", 0);
    if (previewW_ < 1 || previewH_ < 1) {
        previewW_ = dw / 2;
        previewH_ = dh / 2;
    }
    float sx = dw > 0 ? static_cast<float>(previewW_) / static_cast<float>(dw) : 0.0f;
    float sy = dh > 0 ? static_cast<float>(previewH_) / static_cast<float>(dh) : 0.0f;
    preview_ = new MiniLevel(previewX_, previewY_, sx, sy);
    clearItems();
    loadItems();
    first_ = selected_ = 0;
    countClients();
    showItem(0);
    updateArrows();
}

ShopItem* UIShop::Selected() const {
    int i = first_ + selected_;
    return i >= 0 && i < ItemCount() ? items_[static_cast<uint32_t>(i)] : nullptr;
}

// Puts the widgets side by side, centred as a group on centreX.
void UIShop::placeRow(UIWnd** row, int n, int centreX, int rowY) {
    int total = 0;
    for (int i = 0; i < n; ++i) total += width(row[i]);
    int px = centreX - total / 2;
    for (int i = 0; i < n; ++i) {
        if (!row[i]) continue;
        row[i]->Move(px - row[i]->x, rowY - row[i]->y);
        px += width(row[i]);
    }
}

void UIShop::showItem(int index) {
    ShopItem* item =
        index >= 0 && index < ItemCount() ? items_[static_cast<uint32_t>(index)] : nullptr;
    if (preview_) {
        preview_->ShowAll();
        if (item && !item->sold)
            for (uint32_t i = 0; i < item->records.size(); ++i)
                preview_->HideObject(item->records[i]->name.c_str());
    }
    if (itemDesc_) itemDesc_->SetTextW(item ? item->description.c_str() : u"");
    if (itemParams_) itemParams_->SetTextW(item ? item->bonusDescription.c_str() : u"");
    setBuyEnabled(item && item->buyable && !item->sold);
    updateArrows();
    if (!item || !gCurrentProfile) return;
    const cPlayerProfile* p = gCurrentProfile;
    if (cashAmount_) {
        cashAmount_->SetTextF("%u", p->GetCash());
        cashAmount_->font = p->GetCash() >= item->priceCash ? fontGold_ : fontRed_;
    }
    UIWnd* cashRow[] = {cash_, cashAmount_};
    placeRow(cashRow, 2, cashX_, cashY_);
    if (popularityAmount_) {
        popularityAmount_->SetTextF("%u", p->GetPopularity());
        popularityAmount_->font =
            p->GetPopularity() >= item->pricePopularity ? fontGold_ : fontRed_;
    }
    showBonus(popularityBonus_, item->bonusPopularity);
    UIWnd* popRow[] = {popularity_, popularityAmount_, popularityBonus_};
    placeRow(popRow, 3, popularityX_, popularityY_);
    if (clients_ && clientsAmount_ && clientsBonus_) {
        showBonus(clientsBonus_, item->bonusClients);
        UIWnd* clientRow[] = {clients_, clientsAmount_, clientsBonus_};
        placeRow(clientRow, 3, clientsX_, clientsY_);
    }
}

void UIShop::setBuyEnabled(bool on) {
    if (!buy_ || !fontBuyNormal_ || !fontBuyDisabled_) return;
    buy_->SetState(on ? UI_NORMAL : UI_IGNORE);
    buy_->font = on ? fontBuyNormal_ : fontBuyDisabled_;
}

void UIShop::updateArrows() {
    int c = first_ + selected_;
    bool locked = anyMustHave();
    if (arrowLeft_) arrowLeft_->SetState(c > 0 && !locked ? UI_NORMAL : UI_IGNORE);
    if (arrowRight_) arrowRight_->SetState(c < ItemCount() - 1 && !locked ? UI_NORMAL : UI_IGNORE);
}

void UIShop::scrollLeft() {
    sndPlay("shop_click", 0);
    if (selected_ < 0) {
        first_ += selected_;
        selected_ = 0;
    }
    if (first_ < 0) first_ = 0;
    updateArrows();
    showItem(first_ + selected_);
}

void UIShop::scrollRight() {
    sndPlay("shop_click", 0);
    int count = ItemCount();
    if (selected_ > std::max(0, std::min(kCells, count) - 1)) {
        if (count >= kCells) {
            first_ = std::min(first_ + selected_ - (kCells - 1), count - kCells);
            selected_ = kCells - 1;
        } else {
            first_ = 0;
            selected_ = count - 1;
        }
    }
    if (selected_ < 0) first_ = selected_ = 0;
    updateArrows();
    showItem(first_ + selected_);
}

void UIShop::clickCell(int px, int py) {
    if (!(cellX_ < px && px < cellX_ + kCells * cellW_ && cellY_ < py && py < cellY_ + cellH_))
        return;
    for (int k = 0; k < kCells; ++k) {
        int dx = px - cellX_;
        if (k * cellW_ < dx && dx < (k + 1) * cellW_ && first_ + k < ItemCount()) {
            selected_ = k;
            sndPlay("shop_click", 0);
            showItem(first_ + k);
            return;
        }
    }
}

// --- UIShop: buying ----------------------------------------------------------------------------

// The price is spent only once the profile took the item, and the purchase is stored at once,
// so an item is never paid for without being owned, nor lost or doubled by a crash or a replay.
void UIShop::buy() {
    cPlayerProfile* p = gCurrentProfile;
    ShopItem* item = Selected();
    if (!p || !item || !item->buyable || item->sold) return;
    std::string key = item->name.c_str();
    if (item->IsRoom()) {
        if (item->records.size() == 0 || !item->records[0]) {
            logPrintf("shop: room item %s has no room to upgrade, not bought\n", key.c_str());
            return;
        }
        key += ":";
        key += item->records[0]->name.c_str();
    }
    if (!p->AddShopItem(key.c_str())) {
        logPrintf("shop: the profile did not take item %s, not bought\n", key.c_str());
        return;
    }
    p->SpendCash(item->priceCash);
    p->SpendPopularity(item->pricePopularity);
    p->AddItemPopToLevel(key.c_str());
    if (!item->IsRoom()) {
        for (uint32_t i = 0; i < item->records.size(); ++i)
            if (preview_) preview_->AddObject(item->records[i]);
        if (item->type.length()) {
            bool casino = strstr(item->type.c_str(), "casino") != nullptr;
            for (uint32_t i = 0; i < items_.size();) {
                ShopItem* other = items_[i];
                bool drop = other != item && strcmp(other->type.c_str(), item->type.c_str()) == 0 &&
                            (other->grade < item->grade || (other->grade == item->grade && casino));
                if (!drop) {
                    ++i;
                    continue;
                }
                delete other;
                items_.erase(i);
            }
        }
    } else {
        item->records[0]->grade = item->grade;
        if (preview_) preview_->AddObject(item->records[0]);
    }
    sndPlay("shop_buy", 0);
    item->sold = true;
    refresh(false);
    countClients();
    showItem(first_ + selected_);
}

// --- UIShop: input and frames ------------------------------------------------------------------

int UIShop::OnCommand(UIWnd* sender) {
    if (!sender) return UIWnd::OnCommand(sender);
    const char* name = sender->section;
    if (strcmp(name, "BtnBack") == 0) {
        pushScreen(gUIGameMap.get(), true);
        return 1;
    }
    if (strcmp(name, "Buy") == 0) {
        buy();
    } else if (strcmp(name, "ArrowLeft") == 0) {
        --selected_;
        scrollLeft();
    } else if (strcmp(name, "ArrowRight") == 0) {
        ++selected_;
        scrollRight();
    } else {
        return UIWnd::OnCommand(sender);
    }
    FocusNext(active + 1, 1);
    return 1;
}

int UIShop::OnKeyDown(int key, intptr_t data) {
    if (key == kUiLeftButton) clickCell(uiPackedX(data), uiPackedY(data));
    return UIWnd::OnKeyDown(key, data);
}

int UIShop::OnMouseMove(int buttons, intptr_t position) {
    FocusChildAt(position);
    UIWnd* focused = activeChild();
    if (focused) focused->OnMouseMove(buttons, position);
    return Window::OnMouseMove(buttons, position);
}

int UIShop::OnChar(int character, intptr_t) {
    (void)character;
    if (typedEndsWith("rz5coins") && gCurrentProfile) {
        gCurrentProfile->AddCash(10000);
        gCurrentProfile->AddPopularity(10000);
        refresh(false);
        showItem(first_ + selected_);
    }
    return 1;
}

int UIShop::Update(int milliseconds) {
    ShopItem* item = Selected();
    bool cashOk = true, popOk = true;
    if (item && gCurrentProfile) {
        cashOk = gCurrentProfile->GetCash() >= item->priceCash;
        popOk = gCurrentProfile->GetPopularity() >= item->pricePopularity;
    }
    stepPulse(pulse_, pulseMax_, pulseSpeed_, milliseconds);
    auto tint = [](int a) { return 0x00FFFFFFu | static_cast<uint32_t>(a & 0xFF) << 24; };
    if (cashAmount_) cashAmount_->SetColorAll(tint(cashOk ? 255 : pulse_));
    if (popularityAmount_) popularityAmount_->SetColorAll(tint(popOk ? 255 : pulse_));
    if (item)
        for (cStrMap<cLevelObj*>::Iterator it = item->previewObjects.Begin(); !it.AtEnd(); it.Next())
            it.Node()->value->Update(milliseconds);
    stepCorners(arrowOffset_, smallArrowSpeed_, smallArrowDepth_);
    if (preview_) preview_->Update(milliseconds);
    return UIWnd::Update(milliseconds);
}

void UIShop::drawPrice(int px, int cy, uint32_t value, HSPRITE sign) {
    char text[16];
    formatString(text, sizeof text, "%u", value);
    const int n = static_cast<int>(strlen(text));
    int t = fontPrice_ ? static_cast<int>(std::lround(grTextWidthA(fontPrice_, text, n) / 2.0)) : 0;
    int cw = sign ? spriteWidth(sign) : 10, ch = sign ? spriteHeight(sign) : 10;
    int hw = static_cast<int>(std::lround(cw / 2.0)), hh = static_cast<int>(std::lround(ch / 2.0));
    if (sign) grDrawSprite(px - t - hw - 1, cy - hh, sign, 0);
    if (fontPrice_) grDrawTextA(fontPrice_, px + hw, cy, text, 0, 0, 0);
}

int UIShop::Draw() {
    int result = Window::Draw();
    ShopItem* item = Selected();
    if (preview_) {
        if (item && !item->sold)
            for (cStrMap<cLevelObj*>::Iterator it = item->previewObjects.Begin(); !it.AtEnd();
                 it.Next())
                preview_->AddToDraw(it.Node()->value);
        preview_->Draw();
    }
    const int px = previewX_, py = previewY_, pw = previewW_, ph = previewH_;
    auto w = [](HSPRITE s) { return spriteWidth(s); };
    auto h = [](HSPRITE s) { return spriteHeight(s); };
    const HSPRITE* f = frame_;
    struct {
        HSPRITE s;
        int x, y;
    } frames[] = {
        {f[kTop], px + w(f[kTopLeft]), py - 1},
        {f[kBottom], px + w(f[kBottomLeft]), py + ph - 1},
        {f[kLeft], px - 1, py + h(f[kTopLeft])},
        {f[kRight], px + pw - w(f[kRight]) + 1, py + h(f[kTopRight])},
        {f[kTopLeft], px, py},
        {f[kTopRight], px + pw - w(f[kTopRight]), py},
        {f[kBottomLeft], px, py + ph - h(f[kBottomLeft])},
        {f[kBottomRight], px + pw - w(f[kBottomRight]), py + ph - h(f[kBottomRight])}};
    for (auto& piece : frames)
        if (piece.s) grDrawSprite(piece.x, piece.y, piece.s, 0);

    for (int k = 0; k < kCells; ++k) {
        int i = first_ + k;
        ShopItem* it = i < ItemCount() ? items_[static_cast<uint32_t>(i)] : nullptr;
        HSPRITE back = it && it->buyable ? cell_ : emptyCell_;
        if (back) grDrawSprite(cellX_ + k * cellW_, cellY_, back, 0);
        if (!it) continue;
        HSPRITE icon = it->buyable ? it->iconNormal : it->iconDisabled;
        if (icon) grDrawSprite(cellX_ + k * cellW_ + (cellW_ - w(icon)) / 2, cellY_, icon, 0);
        if (it->sold && sold_)
            grDrawSprite(cellX_ + k * cellW_ + cellW_ / 2 - w(sold_) / 2, cellY_ + h(sold_) / 2,
                         sold_, 0);
    }
    for (int i = 0; i < ItemCount(); ++i) {
        if (!items_[static_cast<uint32_t>(i)]->mustHave) continue;
        if (mustHave_) {
            mustHave_->Move(i * cellW_ + mustHaveX_ - mustHave_->x, mustHaveY_ - mustHave_->y);
            mustHave_->Draw();
        }
        if (arrowLight_ && pulse_ > pulseMax_ / 2)
            grDrawSpriteColor(sMaterial(2, 1, 1, 31), i * cellW_ + arrowX_, arrowY_, arrowLight_,
                              0xFF000000u, 0);
        break;
    }
    if (between_)
        for (int k = 0; k <= kCells; ++k)
            grDrawSprite(betweenX_ + k * cellW_, betweenY_, between_, 0);
    if (ItemCount() > 0)
        drawCorners(smallArrow_, cellX_ + selected_ * cellW_, cellY_, cellW_, cellH_,
                    arrowOffset_[0]);
    for (int k = 0; k < kCells && first_ + k < ItemCount(); ++k) {
        const ShopItem* it = items_[static_cast<uint32_t>(first_ + k)];
        int cx = cellX_ + k * cellW_ + priceCenterX_;
        drawPrice(cx, cellY_ + priceCenterY_, it->priceCash, coin_);
        drawPrice(cx, cellY_ + popCostCenterY_, it->pricePopularity, star_);
    }
    return result;
}
