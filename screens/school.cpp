// The school between levels.
#include "screens/school.h"

#include <algorithm>
#include <cstring>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/snd/snd.h"
#include "game/profile.h"
#include "screens/between.h"
#include "screens/holders.h"

namespace {

const char* const kBarNames[UISchool::kHeroes] = {"MaidBar", "JennyBar", "PorterBar"};

char* heapCopy(const char* text) {
    size_t n = strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(n));
    memcpy(copy, text, n);
    return copy;
}

bool before(const SchoolEntry& a, const SchoolEntry& b) {
    if (a.buyable != b.buyable) return a.buyable;
    int c = strcmp(a.item->type.c_str(), b.item->type.c_str());
    if (c != 0) return c < 0;
    return a.item->price < b.item->price;
}

}  // namespace

int UISchool::HeroOf(const char* hero) {
    if (hero && strcmp(hero, "jenny") == 0) return kJenny;
    if (hero && strcmp(hero, "porter") == 0) return kPorter;
    return kMaid;
}

UISchool::~UISchool() {
    if (btnBuy_) btnBuy_->font = nullptr;
    for (CGraphFont** f : {&fontBuyDisabled_, &fontBuyNormal_, &fontCash_, &fontCashRed_,
                           &fontPrice_, &fontCell_, &fontCellDisabled_, &fontUpper_})
        fontFree(f);
    for (HSPRITE* s : {&jennAdd_, &maidPortAdd_, &normalCell_, &emptyCell_, &between_, &coin_,
                       &sold_, &progress_, &smallArrow_})
        spriteFree(s);
    for (uint32_t i = 0; i < upper_.size(); ++i) delete upper_[i];
}

void UISchool::loadParams(const char* file) {
    const char* p = "Param";
    fontBuyDisabled_ = iniReadFont(file, p, "font_buy_disabled");
    fontBuyNormal_ = iniReadFont(file, p, "font_buy_normal");
    fontCash_ = iniReadFont(file, p, "font_cash");
    fontCashRed_ = iniReadFont(file, p, "font_cash_red");
    fontPrice_ = iniReadFont(file, p, "font_price");
    fontCell_ = iniReadFont(file, p, "font_cell");
    fontCellDisabled_ = iniReadFont(file, p, "font_cell_disabled");
    struct {
        const char* key;
        int* value;
    } ints[] = {{"maid_top_left_x", &maidX_},   {"maid_top_left_y", &maidY_},
                {"jenn_top_left_x", &jennX_},   {"jenn_top_left_y", &jennY_},
                {"port_top_left_x", &portX_},   {"port_top_left_y", &portY_},
                {"persons_xs", &personsXs_},    {"jenn_ys", &jennYs_},
                {"maid_port_ys", &maidPortYs_}, {"between_x", &betweenX_},
                {"between_y", &betweenY_},      {"skillpts_cx", &pointsCx_},
                {"skillpts_cy", &pointsCy_},    {"price_cx", &priceCx_},
                {"price_cy", &priceCy_},        {"cell_x", &cellX_},
                {"cell_y", &cellY_},            {"cell_w", &cellW_},
                {"cell_h", &cellH_},            {"cell_bonus_text_dy", &cellBonusTextDy_},
                {"cash_diffuse_speed", &pulseSpeed_}, {"small_arrow_depth", &arrowDepth_}};
    for (auto& i : ints) *i.value = iniGetInt(file, p, i.key, 0);
    pulseMax_ = std::max(0, std::min(255, iniGetInt(file, p, "cash_diffuse_max", 0)));
    pulse_ = pulseMax_;
    arrowSpeed_ = iniGetFloat(file, p, "small_arrow_speed", 0.0f);
}

void UISchool::Create(const char* file, const char* section) {
    pictures_.BeginCapture();
    Window::Create(file, section);
    loadParams(file);
    for (const char* name : {"Background", "MaidSkillPanel", "JennySkillPanel", "PorterSkillPanel",
                             "PortierDeclar", "JennyDeclar", "MaidDeclar", "ArrowLeft",
                             "ArrowRight"})
        CreateChildFromIni(this, file, name, 0, 0);
    btnBuy_ = CreateChildFromIni(this, file, "BtnBuy", 0, 0);
    CreateChildFromIni(this, file, "BtnBack", 0, 0);
    for (int h = 0; h < kHeroes; ++h) bars_[h] = CreateChildFromIni(this, file, kBarNames[h], 0, 0);
    description_ = CreateChildFromIni(this, file, "ItemDescription", 0, 0);
    bonus_ = CreateChildFromIni(this, file, "ItemBonus", 0, 0);
    pointsLabel_ = translatedText("#SCHOOL_TEXT_CASH");
    const char* s = "Sprites";
    jennAdd_ = iniReadAnimSprite(file, s, "jenn_add");
    maidPortAdd_ = iniReadAnimSprite(file, s, "maid_port_add");
    normalCell_ = iniReadAnimSprite(file, s, "normal_cell");
    emptyCell_ = iniReadAnimSprite(file, s, "empty_cell");
    between_ = iniReadAnimSprite(file, s, "between");
    coin_ = iniReadAnimSprite(file, s, "coin");
    sold_ = iniReadAnimSprite(file, s, "sold");
    progress_ = iniReadAnimSprite(file, s, "progress");
    smallArrow_ = iniReadAnimSprite(file, "Param", "small_arrow");
    StrCopyN(this->section, "School_base", kUiSectionSize);
    int n = std::max(0, iniGetInt(file, "upper_cells", "count", 0));
    fontUpper_ = iniReadFont(file, "upper_cells", "font");
    for (int i = 0; i < n; ++i) {
        char name[32];
        formatString(name, sizeof name, "upper_cell%d", i);
        auto* cell = new UpperCell;
        cell->type = iniGetString(file, name, "type", "");
        iniReadIntPair(&cell->pos, file, name, "pos");
        cell->font = fontUpper_;
        upper_.push_back(cell);
    }
    // Held only while the school shows.
    pictures_.EndCapture();
    pictures_.Park();
}

// --- The row ------------------------------------------------------------------------------------

void UISchool::OnShow(int finished) {
    if (finished) return;
    pictures_.Unpark();
    buildList();
    removeSuperseded();
    for (int i = 0; i < 3; ++i) {
        refreshBuyable();
        Sort(entries_, before);
    }
    refreshHighlights();
    refreshBars();
    refreshItemTexts();
    refreshBuyButton();
}

void UISchool::OnHide(int finished) {
    Window::OnHide(finished);
    if (finished) pictures_.Park();
}

void UISchool::showLearntItem(cSchoolItem* item) {
    int i = FindUpperCell(item->type.c_str());
    if (i < 0) return;
    UpperCell* cell = upper_[static_cast<uint32_t>(i)];
    cell->sprite = item->iconNormal;
    std::free(cell->name);
    cell->name = heapCopy(item->bonusText.c_str());
}

void UISchool::buildList() {
    entries_.clear();
    for (int& n : itemCount_) n = 0;
    for (uint32_t i = 0; i < upper_.size(); ++i) {
        std::free(upper_[i]->name);
        upper_[i]->name = nullptr;
        upper_[i]->sprite = nullptr;
        upper_[i]->highlighted = false;
    }
    for (uint32_t i = 0; i < gSchoolItems.size(); ++i) {
        cSchoolItem* item = gSchoolItems[i];
        if (!item) continue;
        ++itemCount_[HeroOf(item->hero.c_str())];
        cSchoolItem* learnt =
            gCurrentProfile ? gCurrentProfile->FindSchoolItem(item->type.c_str()) : nullptr;
        if (learnt && learnt->grade >= item->grade) {
            showLearntItem(item);
            continue;
        }
        int u = FindUpperCell(item->type.c_str());
        if (u >= 0 && !upper_[static_cast<uint32_t>(u)]->sprite)
            upper_[static_cast<uint32_t>(u)]->sprite = item->iconDisabled;
        SchoolEntry entry;
        entry.item = item;
        entries_.push_back(entry);
    }
}

void UISchool::removeSuperseded() {
    int removedBefore = 0;
    for (uint32_t i = 0; i < entries_.size();) {
        cSchoolItem* item = entries_[i].item;
        cSchoolItem* learnt =
            gCurrentProfile ? gCurrentProfile->FindSchoolItem(item->type.c_str()) : nullptr;
        if (learnt && item->grade < learnt->grade) {
            if (i < selected_) ++removedBefore;
            entries_.erase(i);
        } else {
            ++i;
        }
    }
    // The entries removed before the selection shift the selected one that many places left:
    // moving back by as many keeps the same item selected (moving on by them would jump twice as
    // far from it). The row never lists a grade at or below the learnt one, so the count is 0
    // with the school's own rules; it matters only if the learnt items change behind the screen.
    moveSelection(-removedBefore);
}

void UISchool::refreshBuyable() {
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        SchoolEntry& e = entries_[i];
        const cSchoolItem* item = e.item;
        const cPlayerProfile* p = gCurrentProfile;
        bool ok = p && !e.bought && item->price >= 0 && p->GetSkillPoints() >= item->price &&
                  p->GetLevel() >= item->allowedFromLevel;
        if (ok) {
            const cSchoolItem* learnt = p->FindSchoolItem(item->type.c_str());
            ok = learnt ? static_cast<unsigned>(item->grade) - learnt->grade == 1u
                        : item->grade == 0;
        }
        e.buyable = ok;
    }
}

void UISchool::refreshHighlights() {
    for (uint32_t i = 0; i < upper_.size(); ++i) upper_[i]->highlighted = false;
    for (uint32_t i = 0; i < entries_.size(); ++i) {
        if (!entries_[i].buyable) continue;
        int u = FindUpperCell(entries_[i].item->type.c_str());
        if (u >= 0) upper_[static_cast<uint32_t>(u)]->highlighted = true;
    }
}

void UISchool::refreshBars() {
    float sum[kHeroes] = {};
    cArray<cSchoolItem*> learnt;
    if (gCurrentProfile) gCurrentProfile->GetSchoolItems(learnt);
    for (uint32_t i = 0; i < learnt.size(); ++i) {
        const char* hero = learnt[i]->hero.c_str();
        if (strcmp(hero, "maid") && strcmp(hero, "jenny") && strcmp(hero, "porter")) continue;
        sum[HeroOf(hero)] += learnt[i]->grade + 1;
    }
    for (int h = 0; h < kHeroes; ++h)
        if (bars_[h] && itemCount_[h] > 0)
            bars_[h]->SetValue(sum[h] / static_cast<float>(itemCount_[h]));
}

// Signed arithmetic: Left on the first cell stays there, and an empty row selects nothing.
void UISchool::moveSelection(int delta) {
    int count = EntryCount();
    long s = std::max(0L, static_cast<long>(selected_) + delta);
    s = std::min(s, static_cast<long>(count) - 1);
    selected_ = s < 0 ? 0 : static_cast<uint32_t>(s);
    if (selected_ < first_) first_ = selected_;
    if (selected_ - first_ >= static_cast<uint32_t>(kCells))
        first_ = selected_ >= kCells - 1 ? selected_ - (kCells - 1) : 0;
    refreshItemTexts();
    refreshBuyButton();
}

const SchoolEntry* UISchool::GetSelected() const {
    return selected_ < entries_.size() ? &entries_[selected_] : nullptr;
}

int UISchool::FindUpperCell(const char* type) const {
    for (uint32_t i = 0; i < upper_.size(); ++i)
        if (type && strcmp(upper_[i]->type.c_str(), type) == 0) return static_cast<int>(i);
    return -1;
}

void UISchool::refreshItemTexts() {
    const SchoolEntry* e = GetSelected();
    if (description_) description_->SetTextW(e ? e->item->description.c_str() : u"");
    if (bonus_) bonus_->SetTextW(e ? e->item->bonusDescription.c_str() : u"");
    if (e && e->item->hero.length()) hero_ = HeroOf(e->item->hero.c_str());
    bool any = EntryCount() > 0;
    for (const char* arrow : {"ArrowLeft", "ArrowRight"}) {
        UIWnd* w = findChild(this, arrow);
        if (w) w->setHidden(!any);
    }
}

void UISchool::refreshBuyButton() {
    if (!btnBuy_) return;
    const SchoolEntry* e = GetSelected();
    bool on = e && e->buyable;
    btnBuy_->SetState(on ? UI_NORMAL : UI_IGNORE);
    CGraphFont* font = on ? fontBuyNormal_ : fontBuyDisabled_;
    if (font) btnBuy_->font = font;
}

// The points are spent only when the profile took the skill, and the purchase is stored at once.
void UISchool::buy() {
    cPlayerProfile* p = gCurrentProfile;
    if (selected_ >= entries_.size() || !p) return;
    SchoolEntry& e = entries_[selected_];
    if (!e.buyable || e.bought) return;
    cSchoolItem* item = e.item;
    if (!p->SpendSkillPoints(static_cast<float>(item->price))) return;
    p->AddSchoolItem(item);
    p->SavePurchase();
    showLearntItem(item);
    e.bought = true;
    refreshBuyable();
    refreshHighlights();
    refreshBars();
    removeSuperseded();
    sndPlay("shop_buy", 0);
}

// --- Input and frames ---------------------------------------------------------------------------

int UISchool::OnCommand(UIWnd* sender) {
    if (!sender) return UIWnd::OnCommand(sender);
    const char* name = sender->section;
    if (strcmp(name, "BtnBack") == 0) {
        CloseSelf();
        pushScreen(gUIGameMap.get(), false);
    } else if (strcmp(name, "BtnBuy") == 0) {
        buy();
    } else if (strcmp(name, "ArrowLeft") == 0) {
        moveSelection(-1);
    } else if (strcmp(name, "ArrowRight") == 0) {
        moveSelection(1);
    } else {
        return UIWnd::OnCommand(sender);
    }
    return 1;
}

// The pointer travels with the click, so the click's point is where the cursor stands.
bool UISchool::isOverCell(int i, int px, int py) const {
    if (i >= kCells) return false;
    int left = cellX_ + i * cellW_;
    return left < px && px < left + cellW_ && cellY_ < py && py < cellY_ + cellH_;
}

int UISchool::OnKeyDown(int key, intptr_t data) {
    if (key == kUiLeftButton) {
        int px = uiPackedX(data), py = uiPackedY(data);
        for (UIWnd* b : bars_)
            if (b && b->HitTest(px, py)) return 0;
        for (int i = 0; i < kCells; ++i) {
            if (!isOverCell(i, px, py)) continue;
            selected_ = first_ + static_cast<uint32_t>(i);
            sndPlay("shop_click", 0);
            moveSelection(0);
            break;
        }
    }
    return UIWnd::OnKeyDown(key, data);
}

// A pulse speed of 0 holds the pulse rather than dividing by it.
int UISchool::Update(int milliseconds) {
    stepPulse(pulse_, pulseMax_, pulseSpeed_, milliseconds);
    stepCorners(arrowOffset_, arrowSpeed_, arrowDepth_);
    // A line that can take its next grade glows with the same pulse.
    for (uint32_t i = 0; i < upper_.size(); ++i) upper_[i]->glow = static_cast<uint32_t>(pulse_);
    return UIWnd::Update(milliseconds);
}

void UISchool::UpperCell::Draw() const {
    if (!sprite) return;
    int w = spriteWidth(sprite), h = spriteHeight(sprite);
    grDraw(sMaterial(4, 2, 1, 30), pos.x, pos.y, w / 2, h / 2, sprite, 0, 0, w, h, 0xFFFFFFFFu, 0);
    if (highlighted) {
        uint32_t g = glow & 0xFF;
        uint32_t colour = 0xFF000000u | g << 16 | g << 8 | g / 2;
        grDraw(sMaterial(4, 2, 1, 31), pos.x, pos.y, w / 2, h / 2, sprite, 0, 0, w, h, colour, 0);
    }
    if (name && font) grDrawTextA(font, pos.x + w / 4, pos.y, name, 0, 0, -1);
}

int UISchool::Draw() {
    int result = Window::Draw();
    struct {
        HSPRITE sprite;
        int x, y, h, hero;
    } overlays[] = {{jennAdd_, maidX_, maidY_, maidPortYs_, kMaid},
                    {jennAdd_, portX_, portY_, maidPortYs_, kPorter},
                    {maidPortAdd_, jennX_, jennY_, jennYs_, kJenny}};
    for (auto& o : overlays) {
        if (!o.sprite) continue;
        bool current = o.hero == hero_;
        uint32_t p = static_cast<uint32_t>(pulse_) & 0xFF;
        uint32_t colour = current ? 0xFF000000u | p << 16 | p << 8 | p : 0x00FFFFFFu;
        sMaterial m = current ? sMaterial(4, 2, 1, 31) : sMaterial(4, 4, 1, 30);
        grDraw(m, o.x, o.y, personsXs_, o.h, o.sprite, 0, 0, spriteWidth(o.sprite),
               spriteHeight(o.sprite), colour, 0);
    }
    for (int i = 0; i < kCells; ++i) {
        uint32_t k = first_ + static_cast<uint32_t>(i);
        const SchoolEntry* e = k < entries_.size() ? &entries_[k] : nullptr;
        int x = cellX_ + i * cellW_;
        HSPRITE back = e && e->buyable ? normalCell_ : emptyCell_;
        if (back) grDrawSprite(x, cellY_, back, 0);
        int cx = x + cellW_ / 2, cy = cellY_ + cellH_ / 2;
        if (e) {
            HSPRITE icon = e->buyable ? e->item->iconNormal : e->item->iconDisabled;
            if (icon) grDrawSprite(cx - spriteWidth(icon) / 2, cy - 10 - spriteHeight(icon) / 2, icon, 0);
            if (e->bought && sold_)
                grDrawSprite(cx - spriteWidth(sold_) / 2, cy - spriteHeight(sold_) / 2, sold_, 0);
        }
        char price[16];
        formatString(price, sizeof price, "%d", e ? e->item->price : 0);
        int tw = fontPrice_ ? grTextWidthA(fontPrice_, price, static_cast<int>(strlen(price))) : 0;
        int cw = spriteWidth(coin_);
        int left = priceCx_ + i * cellW_ - (cw + tw) / 2;
        if (coin_) grDrawSprite(left, priceCy_ - spriteHeight(coin_) / 2, coin_, 0);
        if (fontPrice_) grDrawTextA(fontPrice_, left + cw, priceCy_, price, 0, -1, 0);
        CGraphFont* font = e && e->buyable ? fontCell_ : fontCellDisabled_;
        if (e && font)
            grDrawTextA(font, cx, cellY_ + cellBonusTextDy_, e->item->bonusText.c_str(), 0, 0, 0);
    }
    if (between_)
        for (int j = 0; j <= kCells; ++j) grDrawSprite(betweenX_ + j * cellW_, betweenY_, between_, 0);
    if (EntryCount() > 0 && selected_ >= first_)
        drawCorners(smallArrow_, cellX_ + static_cast<int>(selected_ - first_) * cellW_, cellY_,
                    cellW_, cellH_, arrowOffset_[0]);
    int points = gCurrentProfile ? gCurrentProfile->GetSkillPoints() : 0;
    const SchoolEntry* sel = GetSelected();
    bool short_ = sel && sel->item->price > points;
    CGraphFont* cashFont = short_ ? fontCashRed_ : fontCash_;
    if (cashFont) {
        char number[16];
        formatString(number, sizeof number, "%d", points);
        // Whole texts are measured: a negative count would measure nothing.
        int lw = grTextWidth(cashFont, pointsLabel_.c_str(), static_cast<int>(pointsLabel_.size()));
        int nw = grTextWidthA(cashFont, number, static_cast<int>(strlen(number)));
        int left = pointsCx_ - (lw + nw) / 2;
        grDrawText(cashFont, left, pointsCy_, pointsLabel_.c_str(), 0, -1, 0);
        uint32_t alpha = short_ ? static_cast<uint32_t>(pulse_) & 0xFF : 255u;
        grDrawTextExA(sMaterial(2, 4, 1, 30), cashFont, left + lw, pointsCy_, number,
                      alpha << 24 | 0xFFFFFFu, 0, -1, 0);
    }
    for (uint32_t i = 0; i < upper_.size(); ++i) upper_[i]->Draw();
    // What the purchase would add to the current hero's bar; a hero without items has no bar.
    UIWnd* b = bars_[hero_];
    if (progress_ && b && itemCount_[hero_] > 0 && sel && sel->buyable) {
        float v = b->GetValue();
        if (v < 1.0f) {
            int w = spriteWidth(progress_), h = spriteHeight(progress_);
            int from = static_cast<int>(v * static_cast<float>(w));
            int part = w / itemCount_[hero_];
            uint32_t a = static_cast<uint32_t>(pulse_) & 0xFF;
            grDraw(sMaterial(2, 4, 1, 30), b->x + from, b->y, part, h, progress_, from, 0, part, h,
                   a << 24 | 0xFFFFFFu, 0);
        }
    }
    return result;
}
