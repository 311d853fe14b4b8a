// A blank sprite made the draw target for one test, and what was drawn into it.
#pragma once

#include <cstring>
#include <ostream>

#include "engine/gr/registry.h"

struct DrawTarget {
    HSPRITE sprite;
    HSPRITE previous;

    DrawTarget(int width, int height, const char* name)
        : sprite(grCreateSprite(width, height, name)), previous(grScreen()) {
        grSetTarget(sprite);
        clear();
    }
    ~DrawTarget() {
        grSetTarget(previous);
        grFreeSprite(sprite);
    }

    void clear() {
        for (int y = 0; y < sprite->height; ++y) memset(row(y), 0, sprite->width * 2);
    }
    uint16_t* row(int y) {
        grLockSprite(sprite);
        return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(sprite->pixels) +
                                           y * sprite->pitch);
    }
    uint16_t at(int x, int y) { return row(y)[x]; }

    // The smallest rectangle holding every pixel that is not 0; w = 0 when nothing was drawn.
    struct Box {
        int x, y, w, h;
        bool operator==(const Box& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
        friend std::ostream& operator<<(std::ostream& out, const Box& b) {
            return out << '(' << b.x << ", " << b.y << ", " << b.w << ", " << b.h << ')';
        }
    };
    Box painted() {
        int x0 = sprite->width, y0 = sprite->height, x1 = -1, y1 = -1;
        for (int y = 0; y < sprite->height; ++y)
            for (int x = 0; x < sprite->width; ++x)
                if (at(x, y)) {
                    if (x < x0) x0 = x;
                    if (y < y0) y0 = y;
                    if (x > x1) x1 = x;
                    if (y > y1) y1 = y;
                }
        if (x1 < 0) return {0, 0, 0, 0};
        return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    }
};
