// The destinations of the screens between levels.
#include "screens/links.h"

#include "game/profile.h"
#include "ui/ui.h"
#include "world/factory.h"

BetweenLevelLinks gBetweenLevelLinks;

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
