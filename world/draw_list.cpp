// Depth-sorted drawing of a frame's objects.
#include "world/draw_list.h"

#include "engine/gr/gr.h"
#include "world/object.h"

DrawList::DrawList() {
    items_.reserve(kCapacity);
    Init();
}

void DrawList::Init() {
    offset = Point2i(0, 0);
    scale = Vec2f(1.0f, 1.0f);
    int w = 0, h = 0, bits = 0, full = 0;
    grGetMode(&w, &h, &bits, &full);
    screenSize = Vec2f(static_cast<float>(w), static_cast<float>(h));
    items_.clear();
}

void DrawList::Add(cBaseObj* object) {
    if (static_cast<int>(items_.size()) < kCapacity) items_.push_back(object);
}

Point2i DrawList::ToScreen(Point2i p) const {
    return Point2i(roundToInt(p.x * scale.x) + offset.x, roundToInt(p.y * scale.y) + offset.y);
}

void DrawList::Flush() {
    // Null entries sort behind every object; equal depths keep no defined order.
    Sort(items_, [](cBaseObj* a, cBaseObj* b) {
        if (!a) return false;
        if (!b) return true;
        return a->GetBody().position.y < b->GetBody().position.y;
    });
    for (uint32_t i = 0; i < items_.size(); ++i)
        if (items_[i]) items_[i]->Draw(this);
    items_.clear();
}
