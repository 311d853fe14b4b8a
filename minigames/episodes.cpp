// The click rules of the episodes' mini-games: repair in place (episode 1) and send flying into
// place (episode 4).
#include "minigames/minigame.h"

bool cMiniGameEpisode1::OnClick(int x, int y) {
    const bool hit = cMiniGameBase::OnClick(x, y);
    if (!hit) {
        countMiss(x, y, true);
        return false;
    }
    misses_ = 0;
    served_ += 1;
    UpdateGoalText();
    addCoinLabel(x, y);
    if (toolSound_) sndPlaySound(toolSound_, 0);
    labelPoints_.push_back(Point2i(x, y));
    return true;
}

bool cMiniGameEpisode4::OnClick(int x, int y) {
    if (!cursorIsCustom()) return false;
    cMiniGameObjectBase* target = nullptr;
    for (uint32_t k = 0; k < objects_.size() && !target; ++k)
        if (objects_[k]->IsHovered()) target = objects_[k];
    bool hit = false;
    if (target && target->IsAvailable()) {
        const Point2i to = target->FixedPos();
        hit = target->FlyTo(Vec2f(static_cast<float>(to.x), static_cast<float>(to.y))) &&
              target->Serve();
    }
    if (!hit) {
        countMiss(x, y, false);
        return false;
    }
    misses_ = 0;
    served_ += 1;
    UpdateGoalText();
    addCoinLabel(x, y);
    sndPlay("service_accepted", SND_GROUP_SOUND);
    return true;
}

// --- Episode 2 ---------------------------------------------------------------------------------

namespace {

constexpr int kCells = 7;

HSPRITE widgetSprite(const UIWnd* w) {
    return w->sprites[UI_NORMAL] ? w->sprites[UI_NORMAL] : w->sprites[0];
}

}  // namespace

cMiniGameEpisode2::~cMiniGameEpisode2() {
    for (uint32_t k = 0; k < icons_.size(); ++k) delete icons_[k];
}

void cMiniGameEpisode2::LoadLayout() {
    CreateChildFromIni(&interfaceLayer_, iniPath_, "LeftCell", 0, 0);
    CreateChildFromIni(&interfaceLayer_, iniPath_, "decor", 0, 0);
    for (int i = 0; i < kCells; ++i) {
        UIWnd* cell = CreateChildFromIni(&interfaceLayer_, iniPath_, "Cell", 0, 0);
        if (!cell) continue;
        cellX_ = cell->x;
        cellY_ = cell->y;
        cellW_ = spriteWidth(widgetSprite(cell));
        cellH_ = spriteHeight(widgetSprite(cell));
        cell->x = static_cast<int16_t>(cellX_ + i * cellW_);
    }
    cMiniGameBase::LoadLayout();
}

void cMiniGameEpisode2::LoadObjects() {
    cArray<int> chosen;
    loadObjectsAndChoose(&chosen);
    for (uint32_t j = 0; j < chosen.size(); ++j) {
        auto* icon = new cMiniGameIcon;
        icon->Load(iniPath_, chosen[j]);
        const int k = static_cast<int>(j);
        icon->SetHome({cellX_ + (k - 1) * cellW_, cellY_, cellX_ + k * cellW_, cellY_ + cellH_});
        icons_.push_back(icon);
    }
}

cMiniGameObjectBase* cMiniGameEpisode2::objectUnderCarried() {
    if (!carried_) return nullptr;
    for (uint32_t k = 0; k < objects_.size(); ++k) {
        cMiniGameObjectBase* o = objects_[k];
        if (o->HitTestRect(carried_->GetRect()) && o->GetNumber() == carried_->GetId()) return o;
    }
    return nullptr;
}

bool cMiniGameEpisode2::OnClick(int x, int y) {
    if (!cursorIsCustom()) return false;
    bool hit = false;
    if (cMiniGameObjectBase* target = objectUnderCarried()) {
        hit = target->Serve();
        carried_->MarkUsed();
    }
    cMiniGameIcon* dropped = carried_;
    if (carried_) {
        carried_->Drop();
        carried_ = nullptr;
    }
    for (uint32_t k = 0; k < icons_.size(); ++k) {
        cMiniGameIcon* icon = icons_[k];
        if (icon == dropped || icon->GetState() != cMiniGameIcon::kHome ||
            !icon->GetRect().Contains(x, y))
            continue;
        icon->PickUp(x, y);
        carried_ = icon;
        break;
    }
    if (!hit) return false;
    served_ += 1;
    UpdateGoalText();
    addCoinLabel(x, y);
    sndPlay("service_accepted", SND_GROUP_SOUND);
    return true;
}

int cMiniGameEpisode2::OnMouseMove(int buttons, intptr_t position) {
    turnTimer_ = 0;
    if (carried_) {
        carried_->MoveTo(uiPackedX(position), uiPackedY(position));
        if (cMiniGameObjectBase* target = objectUnderCarried()) SetCurrent(target);
    }
    return UIWnd::OnMouseMove(buttons, position);
}

void cMiniGameEpisode2::PickNextObject() {
    if (!carried_) {
        cMiniGameBase::PickNextObject();
        hinted_ = nullptr;
        for (uint32_t k = 0; k < icons_.size() && current_ && !hinted_; ++k)
            if (icons_[k]->GetId() == current_->GetNumber()) hinted_ = icons_[k];
        return;
    }
    for (uint32_t k = 0; k < objects_.size(); ++k) {
        if (objects_[k]->GetNumber() != carried_->GetId()) continue;
        SetCurrent(objects_[k]);
        return;
    }
}

int cMiniGameEpisode2::Update(int ms) {
    // The base may close the screen; the icons live on until the screen is deleted.
    const int stop = cMiniGameBase::Update(ms);
    if (!current_)
        hinted_ = nullptr;
    else if (hinted_)
        hinted_->SetGlow(current_->GetGlow());
    return stop;
}

void cMiniGameEpisode2::DrawCurrent() {
    cMiniGameBase::DrawCurrent();
    if (hinted_) hinted_->Draw();
}

int cMiniGameEpisode2::Draw() {
    cMiniGameBase::Draw();
    for (uint32_t k = 0; k < icons_.size(); ++k) icons_[k]->Draw();
    return 0;
}
