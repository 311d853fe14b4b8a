// The cash desk of the check-out: counts the check-outs ordered, takes clicks only while more
// clients wait to leave than are ordered, and bounces and flings money when one is served.
#pragma once

#include <cstdint>

#include "world/factory.h"
#include "world/level_object.h"

class cCash : public cLevelObj {
public:
    cCash();

    // The factory's maker for "cash" sections: built from the objects file's section.
    static cLevelObj* Make(const char* objectsFile, const char* section, const char* levelsFile,
                           int level, const ObjectItemInfo* item);

    // Only the bounce moves: the desk's own clocks stand still.
    void Update(int ms) override;
    void Draw(DrawList* list) override;
    // A check-out ordered: one more, up to the check-outs asked for and the places there are.
    void Enable() override;
    // A check-out served or withdrawn.
    void Disable() override;
    bool IsEnabled() const override { return ordered_ > 0; }
    bool IsActionable() override;
    // Any mode: the desk takes the money (PickUp); always 1.
    int PlayAction(int direction) override;
    void PickUp();

    int GetOrdered() const { return ordered_; }
    float GetScaleX() const { return scaleX_; }
    float GetScaleY() const { return scaleY_; }
    bool IsBouncing() const { return phase_ != kAtRest; }

private:
    enum { kAtRest = -1, kSquashing = 0, kStretching = 1 };

    int32_t ordered_, bounces_;
    float scaleX_, scaleY_;
    int32_t phase_;
};
