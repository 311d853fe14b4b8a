// Everything that walks: eight walk animations, a shadow, a path of walk-map cells and the walk
// along it at the body's speed.
#pragma once

#include "core/array.h"
#include "world/object.h"

class cMovingObj : public cBaseObj {
public:
    // Animation indices of the walk records; walk direction codes are these plus 1.
    enum {
        kWalkLeft,
        kWalkUpLeft,
        kWalkUp,
        kWalkUpRight,
        kWalkRight,
        kWalkDownRight,
        kWalkDown,
        kWalkDownLeft,
        kWalkAnims
    };
    static const char* const kWalkNames[kWalkAnims];

    cMovingObj();
    ~cMovingObj() override;

    // The body from [Main], each walk record still without a sprite from the section of its
    // name, and "shadow_spr". A table of the eight records is made when there is none.
    virtual void Load(const char* iniFile);
    void Load(const char* iniFile, const char*) override { Load(iniFile); }
    void Update(int ms) override;
    void Draw(DrawList* list) override;

    // Walks along the current walk map's path (state walkState, the arrival state kept in the
    // sub-state); without a path it arrives at once, as if it had walked there.
    void WalkTo(Point2i target, int arrivalState, int walkState);
    void SetBasePoint(Point2i p) { basePoint_ = p; }
    Point2i GetBasePoint() const { return basePoint_; }
    int GetWalkDir() const { return walkDir_; }
    int GetPathIndex() const { return pathIndex_; }
    const cArray<Point2i>& GetPath() const { return path_; }

protected:
    void arrive(int arrivalState);

    int32_t pathIndex_;
    cArray<Point2i> path_;
    int32_t walkDir_;
    HSPRITE shadow_;
    Point2i basePoint_;
};
