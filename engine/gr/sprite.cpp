// Sprite objects: memory surfaces, locking, reading pixels and alpha from image files, frames,
// gray rows and flips.
#include "engine/gr/sprite.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/data/file.h"
#include "engine/gr/image.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"

namespace {

// A surface whose pixels are zeroed, or left for a conversion that writes every one of them.
GrSurface* createSurface(int width, int height, bool zeroed) {
    if (width <= 0 || height <= 0) return nullptr;
    GrSurface* surface = new (std::nothrow) GrSurface;
    if (!surface) return nullptr;
    const size_t count = static_cast<size_t>(width) * height;
    surface->pixels = static_cast<uint16_t*>(zeroed ? calloc(count, 2) : malloc(count * 2));
    if (!surface->pixels) {
        delete surface;
        return nullptr;
    }
    surface->width = width;
    surface->height = height;
    surface->pitch = width * 2;
    return surface;
}

}  // namespace

GrSurface* grCreateSurface(int width, int height, int /*caps*/) {
    return createSurface(width, height, true);
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

// --- Reading the image files ---------------------------------------------------------------------

namespace {

constexpr int kSystemMemory = 0x800;

void setFullClip(CSprite* sprite) {
    sprite->clipX0 = 0;
    sprite->clipY0 = 0;
    sprite->clipX1 = sprite->width;
    sprite->clipY1 = sprite->fullHeight;
}

// The sprite holds nothing: zero size, one frame, no pixels.
void makeEmpty(CSprite* sprite) {
    grSpriteFreePixels(sprite);
    sprite->width = 0;
    sprite->height = 0;
    sprite->fullHeight = 0;
    sprite->frames = 1;
    sprite->period = 1;
    setFullClip(sprite);
}

// Colour pixels for width x rows: a memory surface, or plain memory (with an alpha plane when
// the image brings its own alpha). They are not zeroed: the conversion writes every one. False
// when memory runs out.
bool allocateColour(CSprite* sprite, int width, int rows, bool ownAlpha) {
    const size_t count = static_cast<size_t>(width) * rows;
    if (!ownAlpha) {
        sprite->surface = createSurface(width, rows, false);
        if (sprite->surface) return true;
    }
    sprite->pixels = static_cast<uint16_t*>(malloc(count * 2));
    sprite->pitch = static_cast<uint16_t>(width * 2);
    if (ownAlpha) sprite->alpha = static_cast<uint8_t*>(malloc(count));
    if (!sprite->pixels || (ownAlpha && !sprite->alpha)) {
        grSpriteFreePixels(sprite);
        return false;
    }
    return true;
}

// A blank surface of the preset size: the full height a reload keeps, else height x frames.
void makeBlank(CSprite* sprite) {
    if (sprite->fullHeight <= 0) sprite->fullHeight = static_cast<int16_t>(sprite->height * sprite->frames);
    sprite->surface = grCreateSurface(sprite->width, sprite->fullHeight, kSystemMemory);
    if (!sprite->surface) sprite->width = sprite->height = sprite->fullHeight = 0;
}

// The sprite's pixels as a conversion target: RGB565, with the alpha plane of 32-bit images.
class SpriteTarget : public cImageTarget {
public:
    explicit SpriteTarget(CSpriteExt* sprite) : sprite_(sprite) {
        // JPEG black is picture, never the transparent key.
        checkZero = !imageNameHas(sprite->imageFile, ".jpg");
    }

    bool Begin(int width, int height, int bitsPerPixel) override {
        CSpriteExt* s = sprite_;
        s->width = static_cast<int16_t>(width);
        s->height = static_cast<int16_t>(height);
        s->fullHeight = static_cast<int16_t>(height);
        s->frames = 1;
        if (!allocateColour(s, width, height, bitsPerPixel == 32)) {
            logPrintf("grLoadSpriteFile: %s: no memory for %dx%d pixels\n", s->imageFile, width,
                      height);
            return false;
        }
        grLockSprite(s);
        colour = reinterpret_cast<unsigned char*>(s->pixels);
        pitch = s->pitch;
        alpha = s->alpha;
        return true;
    }

private:
    CSpriteExt* sprite_;
};

enum class Colour { Read, Missing, UnknownFormat };

// Decodes the colour image straight into the sprite's pixels. An image that does not decode is
// reported and leaves no size, so the alpha image lookup and the "file not found" box still
// follow.
Colour readColour(CSpriteExt* sprite) {
    cFileImage* reader = imageOpen(sprite->imageFile);
    if (!reader) {
        unsigned char* block = nullptr;
        const int size = fileLoad(sprite->imageFile, &block);
        if (block) memFree(block);
        if (size <= 0) return Colour::Missing;
        logPrintf("grLoadSpriteFile: %s: unknown file format\n", sprite->imageFile);
        errorBox(sprite->imageFile, "unknown file format", MB_OK);
        return Colour::UnknownFormat;
    }
    SpriteTarget target(sprite);
    const int result = reader->DecodeFile(sprite->imageFile, target);
    if (result == 1) {
        delete reader;
        return Colour::Missing;
    }
    if (result != 0) {
        // The reader or the target has logged why; rows written so far are not kept.
        grSpriteFreePixels(sprite);
        sprite->width = sprite->height = sprite->fullHeight = 0;
        sprite->frames = 1;
        if (result != -2) errorBox(sprite->imageFile, "JPEG have progressive package", MB_OK);
    } else if (target.checkZero && !sprite->alpha) {
        sprite->setKeyPixels(target.zeroSeen);
    }
    sprite->period = static_cast<uint16_t>(reader->FrameTime() > 0 ? reader->FrameTime() : 1);
    delete reader;
    return Colour::Read;
}

}  // namespace

void grLoadSpriteFile(CSpriteExt* sprite) {
    if (!sprite) return;
    grSpriteFreePixels(sprite);
    sprite->setKeyPixels(false);
    if (!sprite->imageFile[0]) {
        makeBlank(sprite);
        setFullClip(sprite);
        return;
    }
    switch (readColour(sprite)) {
    case Colour::UnknownFormat:
        makeEmpty(sprite);
        return;
    case Colour::Missing:
        // A reload whose file has gone, or a made-up sprite: keep the size with blank pixels.
        if (sprite->width > 0 && sprite->height > 0) {
            makeBlank(sprite);
        } else {
            sprite->width = sprite->height = 0;
        }
        break;
    case Colour::Read:
        break;
    }
    if (sprite->alphaFile[0] && !sprite->alpha) grLoadAlpha(sprite);
    if (sprite->width <= 0 || sprite->height <= 0) {
        makeEmpty(sprite);
        errorBox(sprite->imageFile, "file not found", MB_OKCANCEL);
    }
    setFullClip(sprite);
}

void grLoadAlpha(CSpriteExt* sprite) {
    if (!sprite || !sprite->alphaFile[0]) return;
    cFileImage* reader = imageOpen(sprite->alphaFile);
    if (!reader) return;
    if (reader->Open(sprite->alphaFile) != 0) {
        delete reader;
        return;
    }
    if (reader->BitsPerPixel() != 8 || !reader->HasNoColourMap())
        errorBox(sprite->alphaFile, "Error : alpha format must be gray scale", MB_OK);
    const int width = abs(reader->Width());
    const int height = abs(reader->Height());
    const int frames = reader->Frames() > 0 ? reader->Frames() : 1;
    const bool hasColour = sprite->surface || sprite->pixels;
    const int colourRows = sprite->fullHeight;
    // The plane is read with the colour pixels' rows: it must not reach past them.
    if (!hasColour || width <= 0 || height <= 0) {
        logPrintf("grLoadAlpha: %s: no colour pixels to go with it; not used\n", sprite->alphaFile);
    } else if (width > sprite->width || height * frames > colourRows) {
        logPrintf("grLoadAlpha: %s: %dx%d is larger than the image %s (%dx%d); not used\n",
                  sprite->alphaFile, width, height * frames, sprite->imageFile, sprite->width,
                  colourRows);
    } else {
        // Written whole below, or zeroed where the image has no channel to give.
        sprite->alpha = static_cast<uint8_t*>(malloc(static_cast<size_t>(width) * height * frames));
        if (!sprite->alpha) {
            logPrintf("grLoadAlpha: %s: no memory\n", sprite->alphaFile);
        } else {
            sprite->period =
                static_cast<uint16_t>(reader->FrameTime() > 0 ? reader->FrameTime() : 1);
            sprite->width = static_cast<int16_t>(width);
            sprite->height = static_cast<int16_t>(height);
            sprite->fullHeight = static_cast<int16_t>(height * frames);
            sprite->frames = static_cast<uint16_t>(frames);
            for (int i = 0; i < frames; ++i)
                if (reader->ExtractChannel(0, 0, width, height, sprite->alpha, 0, i * height, width,
                                           height, 1, width, 8, 0) != 0)
                    memset(sprite->alpha + static_cast<size_t>(i) * height * width, 0,
                           static_cast<size_t>(width) * height);
        }
    }
    delete reader;
}

// --- Accessors and in-place changes --------------------------------------------------------------

int spriteWidth(HSPRITE sprite) { return sprite ? sprite->width : 0; }

int spriteHeight(HSPRITE sprite) { return sprite ? sprite->height : 0; }

namespace {

uint16_t* pixelRow(CSprite* sprite, int y) {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(sprite->pixels) +
                                       static_cast<size_t>(y) * sprite->pitch);
}

template <typename T>
void reverse(T* first, T* last) {
    while (first < --last) {
        T t = *first;
        *first++ = *last;
        *last = t;
    }
}

}  // namespace

void grGrayRows(HSPRITE sprite, int firstRow, int endRow) {
    if (!sprite) return;
    sprite->fileBacked = false;
    grLockSprite(sprite);
    if (!sprite->pixels) return;
    const int rows = sprite->fullHeight;
    if (firstRow < 0) firstRow = 0;
    if (endRow > rows) endRow = rows;
    for (int y = firstRow; y < endRow; ++y) {
        uint16_t* row = pixelRow(sprite, y);
        for (int x = 0; x < sprite->width; ++x) {
            const unsigned p = row[x];
            const unsigned sum = ((p >> 8) & 248) + ((p >> 3) & 252) + (p & 31) * 8;
            const unsigned avg = sum / 3;
            row[x] = static_cast<uint16_t>(((avg >> 3) << 11) | ((avg & ~3u) << 3) | (avg >> 3));
        }
    }
}

void grFlipSprite(HSPRITE sprite, int fx, int fy) {
    if (!sprite) return;
    sprite->fileBacked = false;
    grLockSprite(sprite);
    if (!sprite->pixels) return;
    const int width = sprite->width;
    const int rows = sprite->fullHeight;
    uint8_t* alpha = sprite->alpha;
    if (fx < 0) {
        for (int y = 0; y < rows; ++y) {
            uint16_t* row = pixelRow(sprite, y);
            reverse(row, row + width);
            if (alpha)
                reverse(alpha + static_cast<size_t>(y) * width,
                        alpha + static_cast<size_t>(y + 1) * width);
        }
    }
    if (fy < 0) {
        for (int top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
            uint16_t* a = pixelRow(sprite, top);
            uint16_t* b = pixelRow(sprite, bottom);
            for (int x = 0; x < width; ++x) {
                uint16_t t = a[x];
                a[x] = b[x];
                b[x] = t;
            }
            if (!alpha) continue;
            uint8_t* ra = alpha + static_cast<size_t>(top) * width;
            uint8_t* rb = alpha + static_cast<size_t>(bottom) * width;
            for (int x = 0; x < width; ++x) {
                uint8_t t = ra[x];
                ra[x] = rb[x];
                rb[x] = t;
            }
        }
    }
}
