// The per-frame list of objects drawn in depth order (ascending y of the foot point) through the
// level-to-screen scale and offset.
#pragma once

#include <cstdint>

#include "core/array.h"
#include "core/values.h"

class cBaseObj;

// Holds at most kCapacity objects per frame, not owned; adding and flushing allocate nothing.
class DrawList {
public:
    static constexpr int kCapacity = 1000;

    DrawList();
    void Init();
    // Beyond kCapacity objects the rest of the frame's are dropped.
    void Add(cBaseObj* object);
    // Sorts by ascending y, draws each, empties the list.
    void Flush();
    bool IsOnScreen(const cBaseObj*) const { return true; }
    Point2i ToScreen(Point2i p) const;
    int Count() const { return static_cast<int>(items_.size()); }

    Point2i offset;
    Vec2f scale;
    Vec2f screenSize;

private:
    cArray<cBaseObj*> items_;
};
