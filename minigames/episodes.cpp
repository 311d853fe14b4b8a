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
