// A potted flower: fresh for a while, then thirsty, shedding leaves and turning orange, and at
// last dying, when it costs the level popularity until it is watered.
#pragma once

#include <cstdint>

#include "world/factory.h"
#include "world/level_object.h"

class cFlower : public cLevelObj {
public:
    enum { kNewCycle = 4, kFresh = 5, kThirsty = 6, kDying = 7 };
    static constexpr int kMaxLeaves = 50;
    enum LeafFlag : uint32_t { kFalling = 1, kLying = 2, kOrange = 4 };

    // One leaf falling from the flower or lying below it; positions relative to the flower.
    struct Leaf {
        uint32_t flags = 0;  // 0: the slot is free
        int32_t animTime = 0;
        Vec2f start, current;
    };

    cFlower();

    // The factory's maker for "flower" sections: its "grade" and "inifile" with the level's
    // section of the levels file.
    static cLevelObj* Make(const char* objectsFile, const char* section, const char* levelsFile,
                           int level, const ObjectItemInfo* item);

    using cLevelObj::Load;
    // Nothing unless grade >= 0 and every name is given. Inverted ranges and a breakable
    // flower without a positive "penalty_period" are logged.
    void Load(int grade, const char* iniFile, const char* levelsIni, const char* levelSection);
    void Update(int ms) override;
    void Draw(DrawList* list) override;
    bool IsActionable() override { return CanOrderService(); }
    // Thirsty or dying, with a hero for the water who is on duty and not yet sent.
    bool CanOrderService();

    const Leaf& GetLeaf(int i) const { return leaves_[i]; }
    int GetAliveTime() const { return aliveTime_; }
    int GetDyingTime() const { return dyingTime_; }
    // The tint of the flower: white while fresh, towards orange as it thirsts.
    ColorRGBA GetFlowerTint() const;

private:
    enum { kPot, kGreenLeaf, kOrangeLeaf, kFlowerAnims };

    void dropLeaf();
    void updateLeaves(int ms);
    // One picture drawn the way the base draws its body, with the highlight's second pass.
    void drawPart(DrawList* list, const AnimDesc& r, ColorRGBA colour, int time);

    Leaf leaves_[kMaxLeaves];
    Point2i aliveRange_, dyingRange_;
    int32_t aliveTime_, dyingTime_, nextLeafTime_, penaltyPeriod_, nextPenaltyTime_;
    AnimDesc flowerAnims_[kFlowerAnims];
    // Where leaves start falling across the flower; 0 for a flower without width.
    int32_t leafSpread_;
};
