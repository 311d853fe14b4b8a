// Sprite objects: memory surfaces, locking and freeing of pixels.
#include "engine/gr/sprite.h"

#include <cstdlib>
#include <new>

GrSurface* grCreateSurface(int width, int height, int /*caps*/) {
    if (width <= 0 || height <= 0) return nullptr;
    GrSurface* surface = new (std::nothrow) GrSurface;
    if (!surface) return nullptr;
    surface->pixels = static_cast<uint16_t*>(calloc(static_cast<size_t>(width) * height, 2));
    if (!surface->pixels) {
        delete surface;
        return nullptr;
    }
    surface->width = width;
    surface->height = height;
    surface->pitch = width * 2;
    return surface;
}

void grFreeSurface(GrSurface* surface) {
    if (!surface) return;
    free(surface->pixels);
    delete surface;
}

void grLockSprite(CSprite* sprite) {
    if (!sprite || !sprite->surface) return;
    sprite->surface->locked = true;
    sprite->pixels = sprite->surface->pixels;
    sprite->pitch = static_cast<uint16_t>(sprite->surface->pitch);
}

void grUnlockSpriteObj(CSprite* sprite) {
    if (!sprite || !sprite->surface) return;
    sprite->surface->locked = false;
    sprite->pixels = nullptr;
}

void grSpriteFreePixels(CSprite* sprite) {
    if (!sprite) return;
    if (sprite->surface) {
        grUnlockSpriteObj(sprite);
        grFreeSurface(sprite->surface);
        sprite->surface = nullptr;
    } else {
        free(sprite->pixels);
    }
    sprite->pixels = nullptr;
    free(sprite->alpha);
    sprite->alpha = nullptr;
}

CSpriteExt::~CSpriteExt() { grSpriteFreePixels(this); }
