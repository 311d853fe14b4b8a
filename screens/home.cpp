// The heroine's home.
#include "screens/home.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/snd/snd.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/between.h"
#include "screens/holders.h"

namespace {

const char kItemsIni[] = "Data/Menu/UIHome/items.ini";


bool installed(const char* name) { return gCurrentProfile && gCurrentProfile->FindHomeItem(name); }

}  // namespace

bool HomeInstallDue() {
    return gCurrentProfile && CountExpertLevels() > gCurrentProfile->GetHomeItemCount();
}

// --- HomeObject ----------------------------------------------------------------------------------

HomeObject::~HomeObject() { spriteFree(&sprite); }

bool HomeObject::Load(const char* value) {
    TokenList parts = TokenList::Split(value, ',');
    if (parts.Count() != 3 && parts.Count() != 4) return false;
    sprite = grLoadSprite(parts.At(0), nullptr, 0);
    if (!sprite) return false;
    x = atoi(parts.At(1));
    y = atoi(parts.At(2));
    layer = parts.Count() == 4 ? atoi(parts.At(3)) : 0;
    for (SimpleEffect& fx : install) fx.Load(kFxIni, "HomeItemInstall");
    growFx.Load("HomeItemGrow");
    growFx.SetSpreadRange(Point2i(spriteWidth(sprite), 0));
    growFx.SetActorMaterial(sMaterial(2, 4, 1, 31));
    return true;
}

void HomeObject::UpdateGrow(float g, int ms) {
    grow = g;
    Vec2 point(static_cast<float>(x + spriteWidth(sprite) / 2),
               static_cast<float>(y) + (1.0f - grow) * static_cast<float>(spriteHeight(sprite)) - 10.0f);
    if (grow >= 1.0f) {
        growFx.Stop(false);
    } else if (!growFx.IsAlive()) {
        growFx.StartAt(point);
    }
    growFx.SetPosition(point);
    growFx.Update(ms);
}

void HomeObject::Pulse(int ms) {
    pulseClock += static_cast<float>(ms) / 1000.0f;
    highlight = 0.3f * std::fabs(std::cos(3.14f * pulseClock));
}

void HomeObject::ResetHighlight() {
    highlight = 1.0f;
    growFx.Stop(true);
}

void HomeObject::Draw() const {
    if (!sprite) return;
    int w = spriteWidth(sprite), h = spriteHeight(sprite);
    int shown = static_cast<int>(grow * static_cast<float>(h));
    int top = y + static_cast<int>(static_cast<float>(h) * (1.0f - grow));
    if (shown > 0)
        grDraw(sMaterial(2, 4, 1, 30), x, top, w, shown, sprite, 0, h - shown, w, shown,
               0xFFFFFFFFu, 0);
    if (highlight < 1.0f) {
        uint32_t c = static_cast<uint32_t>(highlight * 255.0f) & 0xFF;
        grDrawSpriteColor(sMaterial(4, 2, 1, 31), x, y, sprite, 0xFF000000u | c << 16 | c << 8 | c,
                          0);
    }
}

void HomeObject::DrawEffects() {
    growFx.Draw();
    for (SimpleEffect& fx : install) fx.Draw();
}

bool HomeObject::DrawsBefore(const RCPtr<HomeObject>& a, const RCPtr<HomeObject>& b) {
    if (a->layer == 0 && b->layer == 0)
        return a->y + spriteHeight(a->sprite) < b->y + spriteHeight(b->sprite);
    if (a->layer == 0 || b->layer == 0) return a->layer == 0;
    return a->layer < b->layer;
}

// --- HomeItem ------------------------------------------------------------------------------------

HomeItem::~HomeItem() {
    spriteFree(&icon);
    spriteFree(&iconDisabled);
}

bool HomeItem::DependenciesInstalled() const {
    for (uint32_t i = 0; i < dependsOn.Count(); ++i)
        if (!installed(dependsOn.At(i))) return false;
    return true;
}

void HomeItem::ResetHighlights() {
    for (uint32_t i = 0; i < objects.size(); ++i) objects[i]->ResetHighlight();
}

void HomeItem::UpdateInstall(float s) {
    for (uint32_t i = 0; i < objects.size(); ++i) {
        HomeObject& o = *objects[i].get();
        o.growFx.Stop(false);
        o.growFx.Update(static_cast<int>(s * 1000.0f));
        o.installProgress = std::min(1.0f, o.installProgress + s);
        for (SimpleEffect& fx : o.install) fx.Update(s);
        if (o.installProgress < 1.0f) {
            sndPlay("home_item_installed", 0);
            float w = static_cast<float>(spriteWidth(o.sprite));
            float h = static_cast<float>(spriteHeight(o.sprite));
            float top = static_cast<float>(o.y) + h - h * o.installProgress;
            float a = w * std::cos(6.0f * o.installProgress) / 2.0f;
            o.install[0].SetPosition(static_cast<float>(o.x) + w / 2 + a, top);
            o.install[1].SetPosition(static_cast<float>(o.x) + w / 2 - a, top);
        } else {
            for (SimpleEffect& fx : o.install) fx.Stop(false);
        }
    }
}

// --- DarkPadding ---------------------------------------------------------------------------------

void DarkPadding::Load(const char* file, const char* section) {
    UIWnd::Load(file, section);
    int alpha = iniGetInt(file, section, "alpha", 0);
    SetColorAll(static_cast<uint32_t>(alpha & 0xFF) << 24);
}

int DarkPadding::Draw() {
    grDrawRect(x, y, x + xs, y + ys, tint);
    return 1;
}

// --- UIHome: building ----------------------------------------------------------------------------

UIHome::~UIHome() {
    for (HSPRITE* s : {&background_, &cell_, &disabledCell_, &cellHighlight_, &roof_}) spriteFree(s);
}

void UIHome::Create(const char* file, const char* section) {
    pictures_.BeginCapture();
    Window::Create(file, section);
    background_ = iniReadAnimSprite(file, "Config", "background");
    cell_ = iniReadAnimSprite(file, "Config", "cell");
    disabledCell_ = iniReadAnimSprite(file, "Config", "disabled_cell");
    cellHighlight_ = iniReadAnimSprite(file, "Config", "cell_highlight");
    cellsCount_ = std::max(0, iniGetInt(file, "Config", "cells_count", 0));
    cellStride_ = std::max(0, iniGetInt(file, "Config", "cell_stride", 0));
    iniReadIntPair(&cellBase_, file, "Config", "cell_base_pos");

    auto* top = new DarkPadding;
    top->Load(file, "DarkPaddingTop");
    auto* bottom = new DarkPadding;
    bottom->Load(file, "DarkPaddingBottom");
    if (!AddChild(bottom)) delete bottom;
    CreateChildFromIni(this, file, "Ribbon", 0, 0);
    CreateChildFromIni(this, file, "RibbonText", 0, 0);
    panel_ = new Window;
    panel_->Create(file, "Panel");
    StrCopyN(panel_->section, "Panel", kUiSectionSize);
    if (!AddChild(panel_)) {
        delete panel_;
        panel_ = nullptr;
    }
    if (panel_) {
        if (!panel_->AddChild(top)) delete top;
        CreateChildFromIni(panel_, file, "BtnPrev_Back", 0, 0);
        CreateChildFromIni(panel_, file, "BtnNext_Back", 0, 0);
        btnPrev_ = CreateChildFromIni(panel_, file, "BtnPrev", 0, 0);
        btnNext_ = CreateChildFromIni(panel_, file, "BtnNext", 0, 0);
        countLabel_ = CreateChildFromIni(panel_, file, "ItemsCountLabel", 0, 0);
    } else {
        delete top;
    }
    btnInstall_ = CreateChildFromIni(this, file, "BtnInstall", 0, 0);
    btnBack_ = CreateChildFromIni(this, file, "BtnBack", 0, 0);
    textBack_ = translatedText("#MENU_BACK");
    textCancel_ = translatedText("#MENU_CANCEL");
    textAvailable_ = translatedText("#HOME_ITEMS_AVAILABLE");
    loadItems();
    if (btnInstall_) btnInstall_->setHidden(true);
    roof_ = grLoadSprite(iniGetString(file, "Roof", "sprite", ""), nullptr, 0);
    iniReadIntPair(&roofPos_, file, "Roof", "pos");
    clouds_ = std::make_unique<HomeSpriteStrip>();
    clouds_->Load(file, "Clouds");
    birds_ = std::make_unique<HomeSpriteStrip>();
    birds_->Load(file, "Birds");
    sun_ = std::make_unique<HomeFlicker>();
    sun_->Load(file);
    fountain_ = std::make_unique<HomeFountain>();
    fountain_->Load(file);
    bursts_ = std::make_unique<HomeInstallBoom>();
    bursts_->Load(file);
    // Read once here, so what is missing is reported at start; held only while on show.
    pictures_.EndCapture();
    pictures_.Park();
}

RCPtr<HomeItem> UIHome::loadItem(const char* section) {
    RCPtr<HomeItem> made;
    if (!section || !*section) return made;
    auto* item = new HomeItem;
    item->name = section;
    item->icon = iniReadAnimSprite(kItemsIni, section, "icon");
    item->iconDisabled = iniReadAnimSprite(kItemsIni, section, "icon_disabled");
    item->dependsOn = TokenList::Split(iniGetString(kItemsIni, section, "depends_on", ""), ',');
    for (int i = 1;; ++i) {
        char key[32];
        formatString(key, sizeof key, "object%d", i);
        const char* value = iniGetString(kItemsIni, section, key, nullptr);
        if (!value) break;
        char copy[512];
        StrCopyN(copy, value, sizeof copy);
        RCPtr<HomeObject> object;
        object.Reset(new HomeObject);
        if (!object->Load(copy)) break;
        item->objects.push_back(object);
    }
    made.Reset(item);
    if (item->objects.size() == 0) made = RCPtr<HomeItem>();
    return made;
}

void UIHome::loadItems() {
    all_.clear();
    static char names[10240];
    iniGetSections(kItemsIni, names, sizeof names);
    for (const char* s = names; *s; s += strlen(s) + 1) {
        RCPtr<HomeItem> item = loadItem(s);
        if (item) all_.push_back(item);
    }
}

// --- UIHome: showing -----------------------------------------------------------------------------

// A profile with more items installed than expert levels has no installation left, never a
// negative count that would keep the panel open for good.
void UIHome::OnShow(int finished) {
    if (finished) return;
    pictures_.Unpark();
    int left = gCurrentProfile ? CountExpertLevels() - gCurrentProfile->GetHomeItemCount() : 0;
    installsLeft_ = std::max(0, left);
    if (panel_) panel_->setHidden(installsLeft_ == 0);
    installMode_ = false;
    current_ = RCPtr<HomeItem>();
    if (btnInstall_) btnInstall_->setHidden(true);
    refreshAvailability();
    first_ = 0;
    collectObjects();
    updateScrollButtons();
    showCount();
    if (btnBack_) btnBack_->SetTextW(textBack_.c_str());
    if (panel_ && panel_->y < 0) panel_->Move(0, -panel_->y);
    clouds_->Update(1);
    fountain_->HideAll();
    fountain_->Reset();
    collectObjects();
}

void UIHome::OnHide(int finished) {
    if (!finished) return;
    for (uint32_t i = 0; i < installing_.size(); ++i) {
        HomeItem& item = *installing_[i].get();
        for (uint32_t k = 0; k < item.objects.size(); ++k) {
            item.objects[k]->installProgress = 0.0f;
            for (SimpleEffect& fx : item.objects[k]->install) fx.Stop(true);
        }
    }
    installing_.clear();
    fountain_->StopSound();
    bursts_->Stop();
    pictures_.Park();
}

bool UIHome::AvailableFirst(const RCPtr<HomeItem>& a, const RCPtr<HomeItem>& b) {
    return a->available && !b->available;
}

void UIHome::refreshAvailability() {
    display_.clear();
    int limit = installsLeft_ + 2, marked = 0;
    for (uint32_t i = 0; i < all_.size(); ++i) {
        HomeItem& item = *all_[i].get();
        item.available =
            item.DependenciesInstalled() && !installed(item.name.c_str()) && marked < limit;
        if (item.available) ++marked;
        display_.push_back(all_[i]);
    }
    if (display_.size() == 0) installsLeft_ = 0;
    Sort(display_, AvailableFirst);
}

void UIHome::collectObjects() {
    objects_.clear();
    for (uint32_t i = 0; i < all_.size(); ++i) {
        const HomeItem& item = *all_[i].get();
        if (!installed(item.name.c_str())) continue;
        fountain_->ShowPartForItem(item.name.c_str());
        for (uint32_t k = 0; k < item.objects.size(); ++k) objects_.push_back(item.objects[k]);
    }
    if (current_)
        for (uint32_t k = 0; k < current_->objects.size(); ++k) objects_.push_back(current_->objects[k]);
}

void UIHome::showCount() {
    if (!countLabel_) return;
    std::u16string text = textAvailable_;
    for (char c : std::to_string(installsLeft_)) text += static_cast<char16_t>(c);
    countLabel_->SetTextW(text.c_str());
}

void UIHome::updateScrollButtons() {
    if (btnPrev_) {
        if (first_ == 0)
            btnPrev_->SetState(UI_IGNORE);
        else if (btnPrev_->state == UI_IGNORE)
            btnPrev_->SetState(UI_NORMAL);
    }
    if (btnNext_) {
        if (first_ + cellsCount_ >= DisplayCount())
            btnNext_->SetState(UI_IGNORE);
        else if (btnNext_->state == UI_IGNORE)
            btnNext_->SetState(UI_NORMAL);
    }
}

void UIHome::movePanel(int dy) {
    if (panel_) panel_->Move(0, dy);
}

// --- UIHome: cells and input ---------------------------------------------------------------------

// The hover test ignores the panel's position and uses the stride, which the layout keeps equal
// to the cell sprite's width with the panel at rest at the top.
bool UIHome::isMouseOverCell(int k) const {
    if (k >= cellsCount_ || !cell_) return false;
    int w = spriteWidth(cell_), h = spriteHeight(cell_);
    int cx = cellBase_.x + cellStride_ * k, cy = cellBase_.y;
    return cx - w / 2 < pointer_.x && pointer_.x < cx + w / 2 && cy - h / 2 < pointer_.y &&
           pointer_.y < cy + h / 2;
}

bool UIHome::selectCell(int k) {
    int i = first_ + k;
    if (k >= cellsCount_ || i >= DisplayCount() || !display_[static_cast<uint32_t>(i)]->available)
        return false;
    current_ = display_[static_cast<uint32_t>(i)];
    return true;
}

int UIHome::OnMouseMove(int buttons, intptr_t position) {
    pointer_ = Point2i(uiPackedX(position), uiPackedY(position));
    if (panel_) panel_->OnMouseMove(buttons, position);
    // Not during a preview: the panel is still in view while it starts to slide away, and a hover
    // there would swap the previewed item, show it fully grown at once, or empty it so that
    // "BtnInstall" installs nothing.
    if (panel_ && panel_->y >= -1 && !bursts_->IsActive() && !installMode_) {
        bool over = false;
        for (int k = 0; k < cellsCount_ && !over; ++k) {
            if (!isMouseOverCell(k)) continue;
            over = true;
            selectCell(k);
            growTimer_ = kGrowMs;
        }
        if (!over) current_ = RCPtr<HomeItem>();
    }
    return Window::OnMouseMove(buttons, position);
}

int UIHome::OnKeyDown(int key, intptr_t data) {
    if (key == kUiLeftButton) pointer_ = Point2i(uiPackedX(data), uiPackedY(data));
    if (cell_ && !installMode_ && panel_ && !panel_->hidden() && panel_->y >= 0) {
        for (int k = 0; k < cellsCount_; ++k) {
            if (!isMouseOverCell(k)) continue;
            if (selectCell(k)) {
                current_->ResetHighlights();
                installMode_ = true;
                if (btnInstall_) btnInstall_->setHidden(false);
                growTimer_ = 0;
                if (btnBack_) btnBack_->SetTextW(textCancel_.c_str());
            }
            break;
        }
    }
    return UIWnd::OnKeyDown(key, data);
}

void UIHome::endPreview() {
    if (btnBack_) btnBack_->SetTextW(textBack_.c_str());
    if (btnInstall_) btnInstall_->setHidden(true);
    installMode_ = false;
}

int UIHome::OnCommand(UIWnd* sender) {
    const char* name = sender ? sender->section : "";
    if (strcmp(name, "BtnBack") == 0 && installMode_) {
        if (current_) current_->ResetHighlights();
        current_ = RCPtr<HomeItem>();
        endPreview();
    } else if (strcmp(name, "BtnBack") == 0) {
        CloseSelf();
        if (gGameFinished)
            pushScreen(gUIMainMenu.get(), true);
        else
            pushScreen(gUIGameMap.get(), false);
    } else if (strcmp(name, "BtnInstall") == 0 && current_ && gCurrentProfile) {
        HomeItem& item = *current_.get();
        item.available = false;
        gCurrentProfile->AddHomeItem(item.name.c_str());
        gCurrentProfile->SaveHomeItems();
        for (uint32_t k = 0; k < item.objects.size(); ++k) {
            HomeObject& o = *item.objects[k].get();
            float fx = static_cast<float>(o.x + spriteWidth(o.sprite) / 2);
            float fy = static_cast<float>(o.y + spriteHeight(o.sprite));
            for (SimpleEffect& e : o.install) e.Start(fx, fy);
            o.installProgress = 0.0f;
            o.highlight = 1.0f;
            o.grow = 1.0f;
        }
        installing_.push_back(current_);
        current_ = RCPtr<HomeItem>();
        endPreview();
        installsLeft_ = std::max(0, installsLeft_ - 1);
        showCount();
        bursts_->Start();
    } else if (strcmp(name, "BtnPrev") == 0) {
        if (first_ > 0) --first_;
        updateScrollButtons();
    } else if (strcmp(name, "BtnNext") == 0) {
        if (first_ + cellsCount_ < DisplayCount()) ++first_;
        updateScrollButtons();
    }
    return UIWnd::OnCommand(sender);
}

// --- UIHome: frames ------------------------------------------------------------------------------

int UIHome::Update(int milliseconds) {
    int result = UIWnd::Update(milliseconds);
    growTimer_ = installMode_ ? std::min(growTimer_ + milliseconds, kGrowMs) : kGrowMs;
    if (current_) {
        if (growTimer_ == milliseconds) sndPlay("home_item_appear", 0);
        float g = static_cast<float>(growTimer_) / kGrowMs;
        for (uint32_t k = 0; k < current_->objects.size(); ++k) {
            current_->objects[k]->UpdateGrow(g, milliseconds);
            if (!installMode_) current_->objects[k]->Pulse(milliseconds);
        }
    }
    // The panel slides out of view for a preview and rests there until it ends; after an
    // installation it comes back once the fireworks are over, while installs remain.
    if (panel_) {
        if (installMode_) {
            if (panel_->y >= -panel_->ys) movePanel(-milliseconds / 4);
        } else if (installsLeft_ > 0 && panel_->y < 0 && !bursts_->IsActive()) {
            movePanel(std::min(milliseconds / 4, -static_cast<int>(panel_->y)));
        }
    }
    for (uint32_t i = 0; i < installing_.size(); ++i)
        installing_[i]->UpdateInstall(static_cast<float>(milliseconds) / 1000.0f);
    collectObjects();
    clouds_->Update(milliseconds);
    birds_->Update(milliseconds);
    sun_->Update(milliseconds);
    fountain_->Update(milliseconds);
    bursts_->Update(static_cast<float>(milliseconds) / 1000.0f);
    return result;
}

int UIHome::Draw() {
    if (background_) grDrawSprite(0, 0, background_, 0);
    Sort(objects_, HomeObject::DrawsBefore);
    sun_->Draw();
    clouds_->Draw();
    if (roof_) grDrawSprite(roofPos_.x, roofPos_.y, roof_, 0);
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->Draw();
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->DrawEffects();
    fountain_->Draw();
    birds_->Draw();
    bursts_->Draw();
    int result = Window::Draw();
    if (!panel_ || panel_->hidden()) return result;
    for (int k = 0; k < cellsCount_ && first_ + k < DisplayCount(); ++k) {
        const HomeItem& item = *display_[static_cast<uint32_t>(first_ + k)].get();
        HSPRITE back = item.available ? cell_ : disabledCell_;
        if (!back) continue;
        int w = spriteWidth(back), h = spriteHeight(back);
        int cx = panel_->x + cellBase_.x + k * w, cy = panel_->y + cellBase_.y;
        grDrawSprite(cx - w / 2, cy - h / 2, back, 0);
        if (cellHighlight_ && item.available && isMouseOverCell(k))
            grDrawSpriteColor(sMaterial(4, 2, 1, 31), cx - w / 2, cy - h / 2, cellHighlight_,
                              0xFF282828u, 0);
        HSPRITE icon = item.available ? item.icon : item.iconDisabled;
        if (icon) grDrawSprite(cx - spriteWidth(icon) / 2, cy - spriteHeight(icon) / 2, icon, 0);
    }
    return result;
}
