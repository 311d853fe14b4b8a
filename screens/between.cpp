// The destinations of the screens between levels.
#include "screens/between.h"

#include <algorithm>
#include <cstdlib>

#include "engine/gr/gr_util.h"
#include "game/profile.h"
#include "ui/ui.h"
#include "world/factory.h"

void pushScreen(Window* screen, bool closeOthers) {
    if (screen && WM::Get()) WM::Get()->Push(screen, closeOthers, false, false);
}

namespace {

// What the object factory reads of the current player, read afresh at every question.
class ProfileWorldLink : public ProfileLink {
public:
    int Episode() const override { return gCurrentProfile ? gCurrentProfile->GetEpisode() : 0; }
    int Level() const override {
        return gCurrentProfile ? static_cast<int>(gCurrentProfile->GetLevel()) : 0;
    }
    int ObjectItemCount() const override {
        cArray<RCPtr<cObjectItem>> objects;
        if (gCurrentProfile) gCurrentProfile->GetObjectItems(objects);
        items_.resize(objects.size());
        for (uint32_t i = 0; i < objects.size(); ++i) {
            items_[i].name = objects[i]->section;
            items_[i].type = objects[i]->type;
            items_[i].value = objects[i]->grade;
        }
        return static_cast<int>(items_.size());
    }
    const ObjectItemInfo* ObjectItem(int i) const override {
        return i >= 0 && static_cast<uint32_t>(i) < items_.size() ? &items_[static_cast<uint32_t>(i)]
                                                                 : nullptr;
    }
    // Nothing grows in a picture of the hotel between levels.
    const char* CurrentShopItems() const override { return ""; }
    const char* PreviousShopItems() const override { return ""; }

private:
    mutable cArray<ObjectItemInfo> items_;
};

ProfileWorldLink gProfileWorldLink;

}  // namespace

void linkWorldToProfile() {
    if (!worldProfile()) worldSetProfile(&gProfileWorldLink);
}

std::u16string translatedText(const char* key) {
    char16_t* text = iniReadText("Data/translation.ini", key);
    std::u16string out = text ? text : u"";
    std::free(text);
    return out;
}

void stepPulse(int& value, int max, int& speed, int ms) {
    if (speed == 0) return;
    value += ms / speed;
    if (value < 50 || value > max) {
        value = std::max(50, std::min(value, max));
        speed = -speed;
    }
}

void stepCorners(float offsets[2], float& speed, int depth) {
    offsets[0] += speed;
    offsets[1] += speed;
    for (int i = 0; i < 2; ++i)
        if (offsets[i] < 0.0f || offsets[i] > static_cast<float>(depth)) {
            speed = -speed;
            return;
        }
}

void drawCorners(HSPRITE corner, int left, int top, int w, int h, float offset) {
    if (!corner) return;
    const int aw = spriteWidth(corner), ah = spriteHeight(corner);
    const int o = static_cast<int>(offset), bottom = top + h;
    grDrawRegionAt(left + o - aw, top + o - ah, aw, ah, corner, 0, 0, 0);
    grDrawRegionAt(left + w - o, top + o - ah, -aw, ah, corner, 0, 0, 0);
    grDrawRegionAt(left + w - o, bottom - o, -aw, -ah, corner, 0, 0, 0);
    grDrawRegionAt(left + o - aw, bottom - o, aw, -ah, corner, 0, 0, 0);
}
