// The click rules of the episodes' mini-games: repair in place (episode 1) and send flying into
// place (episode 4).
#include "minigames/minigame.h"

#include "core/random.h"
#include "engine/data/ini.h"

bool cMiniGameEpisode1::OnClick(int x, int y) {
    const bool hit = cMiniGameBase::OnClick(x, y);
    if (!hit) {
        countMiss(x, y, true);
        return false;
    }
    countHit(x, y);
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
    countHit(x, y);
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

// --- Episode 3 ---------------------------------------------------------------------------------

cMiniGameEpisode3::~cMiniGameEpisode3() {
    for (uint32_t k = 0; k < queue_.size(); ++k) delete queue_[k];
    for (cMiniGameFace* face : places_) delete face;
}

void cMiniGameEpisode3::LoadLayout() {
    CreateChildFromIni(this, iniPath_, "Cart", 0, 0);
    CreateChildFromIni(&interfaceLayer_, iniPath_, "decor", 0, 0);
    for (int i = 0; i < kPlaces; ++i) {
        UIWnd* cell = CreateChildFromIni(&interfaceLayer_, iniPath_, "Cell", 0, 0);
        if (!cell) continue;
        cellX0_ = cell->x;
        cellW_ = spriteWidth(widgetSprite(cell));
        cellH_ = spriteHeight(widgetSprite(cell));
        cell->x = static_cast<int16_t>(cellX0_ + i * cellW_);
        placePoints_[i] = Point2i(cellX0_ + cellW_ / 4 + i * cellW_, cell->y + cellH_ / 4);
    }
    cMiniGameBase::LoadLayout();
}

void cMiniGameEpisode3::LoadObjects() {
    cMiniGameBase::LoadObjects();
    const int count = IntMax(0, iniGetInt(iniPath_, "Faces", "count", 0));
    for (uint32_t k = 0; k < objects_.size(); ++k) {
        cMiniGameObjectBase* o = objects_[k];
        o->SetGlowEnabled(false);
        if (!o->IsAvailable()) continue;
        auto* face = new cMiniGameFace(o->GetNumber());
        face->Load(iniPath_, static_cast<int>(gRandom.Int(static_cast<uint32_t>(count))));
        queue_.push_back(face);
    }
    for (int i = 0; i < kPlaces; ++i) {
        places_[i] = nextFace(i, true);
        emitters_[i][0].Load("GreenSmile");
        emitters_[i][1].Load("RedSmile");
    }
}

cMiniGameFace* cMiniGameEpisode3::nextFace(int place, bool stagger) {
    if (queue_.size() == 0) return nullptr;
    const uint32_t pick = gRandom.Int(queue_.size());
    cMiniGameFace* face = queue_[pick];
    queue_.erase(pick);
    face->Enter(place, stagger);
    return face;
}

bool cMiniGameEpisode3::OnClick(int x, int y) {
    if (!cursorIsCustom()) return false;
    bool hit = false;
    for (uint32_t k = 0; k < objects_.size() && !hit; ++k) {
        cMiniGameObjectBase* o = objects_[k];
        if (!o->IsHovered()) continue;
        for (int p = 0; p < kPlaces; ++p) {
            cMiniGameFace* face = places_[p];
            if (!face || face->GetWantedId() != o->GetNumber()) continue;
            const Point2i to = face->GetIconPoint();
            if (o->FlyTo(Vec2f(static_cast<float>(to.x), static_cast<float>(to.y))) && o->Serve()) {
                face->SetSatisfied();
                hit = true;
            }
            break;
        }
    }
    if (!hit) {
        countMiss(x, y, false);
        return false;
    }
    misses_ = 0;
    addCoinLabel(x, y);
    sndPlay("service_accepted", SND_GROUP_SOUND);
    return true;
}

int cMiniGameEpisode3::Update(int ms) {
    if (gameState_ == kMgPlay) {
        bool active = false;
        for (int p = 0; p < kPlaces; ++p) {
            cMiniGameFace* face = places_[p];
            if (!face) continue;
            if (face->IsGone()) {
                if (face->IsSatisfied()) {
                    served_ += 1;
                    UpdateGoalText();
                }
                delete face;
                places_[p] = nextFace(p, false);
                continue;
            }
            active = true;
            if (face->IsLeaving()) {
                const Vec2f at = IntPointToVec2(placePoints_[p]);
                if (face->IsSatisfied()) {
                    emitters_[p][0].StartAt(at);
                    face->PlayHappy();
                } else {
                    emitters_[p][1].StartAt(at);
                    face->PlayAngry();
                }
            }
        }
        if (!active && queue_.size() == 0 && served_ < needed_) {
            startBanner("#GAME_THANK_YOU");
            sndPlay("leveldefeat", SND_GROUP_SOUND);
            markWayPoint(2);
            gameState_ = kMgOver;
        }
    }
    if (gameState_ == kMgOver && served_ != needed_)
        for (cMiniGameFace* face : places_)
            if (face) face->SetLeaving();
    const bool running = gameState_ == kMgStart || gameState_ == kMgPlay;
    for (cMiniGameFace* face : places_)
        if (face) face->Update(ms, running);
    for (auto& pair : emitters_)
        for (FxEmitter& e : pair) e.Update(ms);
    for (uint32_t k = 0; k < objects_.size(); ++k) {
        cMiniGameObjectBase* o = objects_[k];
        if (o->IsFlying() && served_ == needed_ - 1) timer_.Pause();
        if (o->IsGone()) {
            for (cMiniGameFace* face : places_)
                if (face && face->GetWantedId() == o->GetNumber()) face->SetLeaving();
        } else if (o->IsFadingIn()) {
            o->Hide();
        }
    }
    return cMiniGameBase::Update(ms);
}

void cMiniGameEpisode3::PickNextObject() {
    const int start = static_cast<int>(gRandom.Int(kPlaces));
    for (int i = 0; i < kPlaces; ++i) {
        cMiniGameFace* face = places_[(start + i) % kPlaces];
        if (!face) continue;
        const int wanted = face->GetWantedId();
        for (uint32_t k = 0; k < objects_.size() && wanted >= 0; ++k)
            if (objects_[k]->GetNumber() == wanted) SetCurrent(objects_[k]);
        return;
    }
}

int cMiniGameEpisode3::Draw() {
    Window::Draw();
    for (uint32_t k = 0; k < objects_.size(); ++k)
        if (!objects_[k]->IsFading()) objects_[k]->Draw();
    interfaceLayer_.Draw();
    for (cMiniGameFace* face : places_)
        if (face) face->Draw();
    DrawTimer();
    for (uint32_t k = 0; k < objects_.size(); ++k)
        if (objects_[k]->IsFading()) objects_[k]->Draw();
    DrawOverlay();
    DrawLabels();
    DrawBanner();
    DrawGoText();
    for (auto& pair : emitters_)
        for (FxEmitter& e : pair) e.Draw();
    return 0;
}
