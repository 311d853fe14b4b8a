// The sprite registry: sprites shared by name with reference counts, loading by name with a
// separate alpha image, sprite banks from INI files and the per-sprite accessors.
#include "engine/gr/registry.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/gr/display.h"
#include "engine/gr/font.h"
#include "engine/platform/log.h"

namespace {

constexpr int kFirstCapacity = 500;
constexpr int kBankSectionBytes = 32768;

CSpriteExt** gEntries = nullptr;
int gCapacity = 0;
int gSize = 0;

// Slots by the hash of their registry name, folded as names are compared (a-z as A-Z, '\\' as
// '/'): a lookup checks only the slots whose names hash alike, not every entry. Each slot is
// filed under the hash kept beside it; emptied slots leave the index.
std::unordered_multimap<uint32_t, int> gByName;
std::vector<uint32_t> gSlotKeys;
// Slots by the object they hold, so that freeing a handle does not walk the whole table; and the
// lowest slot that may be empty, where the search for a free slot starts (slots below it are full).
std::unordered_map<const CSprite*, int> gBySprite;
int gFirstFree = 0;

void unindexSlot(int i) {
    const auto range = gByName.equal_range(gSlotKeys[i]);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == i) {
            gByName.erase(it);
            return;
        }
}

void indexSlot(int i) {
    gSlotKeys[i] = iniPathHash(gEntries[i]->name);
    gByName.emplace(gSlotKeys[i], i);
}

// A named entry is filed again under its new name.
void renamed(int i) {
    unindexSlot(i);
    indexSlot(i);
}

// Empties a slot.
void emptySlot(int i) {
    unindexSlot(i);
    const auto held = gBySprite.find(gEntries[i]);
    if (held != gBySprite.end() && held->second == i) gBySprite.erase(held);
    gEntries[i] = nullptr;
    if (i < gFirstFree) gFirstFree = i;
}

bool fits(const char* name) { return strlen(name) < static_cast<size_t>(kSpriteNameSize); }

int indexOf(const CSprite* sprite) {
    const auto it = gBySprite.find(sprite);
    return it != gBySprite.end() ? it->second : -1;
}

// A bank section with "font" set makes a font; its metrics are read once its image is loaded.
CSpriteExt* newBankObject(int font) {
    if (font) return new CGraphFont;
    return new CSpriteExt;
}

}  // namespace

// --- The table -----------------------------------------------------------------------------------

namespace {

// The slot the object went into, or -1.
int addEntry(CSpriteExt* sprite) {
    if (!sprite) return -1;
    for (int i = gFirstFree; i < gSize; ++i)
        if (!gEntries[i]) {
            gEntries[i] = sprite;
            indexSlot(i);
            gBySprite.emplace(sprite, i);
            gFirstFree = i + 1;
            return i;
        }
    if (gSize == gCapacity) {
        int capacity = gCapacity ? gCapacity + gCapacity / 2 : kFirstCapacity;
        if (capacity <= gCapacity) capacity = gCapacity + 1;
        void* grown = realloc(gEntries, sizeof(CSpriteExt*) * capacity);
        if (!grown) {
            logPrintf("grRegistryAdd: no memory for %d entries\n", capacity);
            return -1;
        }
        gEntries = static_cast<CSpriteExt**>(grown);
        gCapacity = capacity;
    }
    gEntries[gSize] = sprite;
    gSlotKeys.resize(static_cast<size_t>(gSize) + 1);
    indexSlot(gSize);
    gBySprite.emplace(sprite, gSize);
    gFirstFree = gSize + 1;
    return gSize++;
}

}  // namespace

bool grRegistryAdd(CSpriteExt* sprite) { return addEntry(sprite) >= 0; }

void grRegistryRemove(CSpriteExt* sprite) {
    int i = indexOf(sprite);
    if (i >= 0) emptySlot(i);
}

CSpriteExt* grRegistryFind(const char* name) {
    if (!name) return nullptr;
    int first = -1;
    const auto range = gByName.equal_range(iniPathHash(name));
    for (auto it = range.first; it != range.second; ++it) {
        const int i = it->second;
        if ((first < 0 || i < first) && gEntries[i] && iniPathEqual(gEntries[i]->name, name) == 0)
            first = i;
    }
    return first >= 0 ? gEntries[first] : nullptr;
}

int grRegistrySize() { return gSize; }

CSpriteExt* grRegistryAt(int index) {
    return index >= 0 && index < gSize ? gEntries[index] : nullptr;
}

int grRegistryCount() {
    int count = 0;
    for (int i = 0; i < gSize; ++i) count += gEntries[i] != nullptr;
    return count;
}

void grRegistryClear() {
    gSize = 0;
    gByName.clear();
    gSlotKeys.clear();
    gBySprite.clear();
    gFirstFree = 0;
}

// --- Set-up by name ------------------------------------------------------------------------------

// A name without a folder has its alpha image beside it ("_button.tga"), not "/_button.tga",
// which would look for it at the root of the file system.
bool grAlphaFileName(const char* file, char* out, int size) {
    if (!file || !out || size < 1) return false;
    out[0] = '\0';
    const char* base = file;
    for (const char* p = file; *p; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    if (!*base) return false;
    const char* dot = strrchr(base, '.');
    const int stem = static_cast<int>(dot ? dot - base : strlen(base));
    const int dir = static_cast<int>(base - file);  // with its separator
    const int need = (dir > 0 ? dir + 1 : 1) + stem + 4;
    if (need >= size) return false;
    if (dir > 0)
        formatString(out, size, "%.*s/_%.*s.tga", dir - 1, file, stem, base);
    else
        formatString(out, size, "_%.*s.tga", stem, base);
    return true;
}

bool grSpriteSetup(CSpriteExt* sprite, const char* registryName, const char* file,
                   const char* alphaFile) {
    if (!sprite || !registryName || !file) return false;
    const char* tooLong = !fits(registryName)             ? registryName
                          : !fits(file)                   ? file
                          : alphaFile && !fits(alphaFile) ? alphaFile
                                                          : nullptr;
    if (tooLong) {
        logPrintf("grSpriteSetup: name longer than %d characters: %.60s...\n", kSpriteNameSize - 1,
                  tooLong);
        return false;
    }
    char alpha[kSpriteNameSize] = {};
    if (alphaFile && *alphaFile) {
        StrCopyN(alpha, alphaFile, sizeof alpha);
    } else if (*file && !grAlphaFileName(file, alpha, sizeof alpha)) {
        logPrintf("grSpriteSetup: %s: no alpha image name fits; none is read\n", file);
        alpha[0] = '\0';
    }
    const int slot = addEntry(sprite);
    if (slot < 0) return false;
    StrCopyN(sprite->imageFile, file, sizeof sprite->imageFile);
    StrCopyN(sprite->name, registryName, sizeof sprite->name);
    renamed(slot);
    StrCopyN(sprite->alphaFile, alpha, sizeof sprite->alphaFile);
    grLoadSpriteFile(sprite);
    sprite->fileBacked = sprite->surface || sprite->pixels;
    return true;
}

// --- Loading and freeing by handle ---------------------------------------------------------------

HSPRITE grLoadSprite(const char* file, const char* alphaFile, int reload) {
    if (!file || !*file) return nullptr;
    if (!fits(file)) {
        logPrintf("grLoadSprite: name longer than %d characters: %.60s...\n", kSpriteNameSize - 1,
                  file);
        return nullptr;
    }
    if (CSpriteExt* shared = grRegistryFind(file)) {
        shared->refWord += 2;
        if (reload) {
            grLoadSpriteFile(shared);
            shared->parked = false;
        } else if (shared->parked) {
            grUnparkSprite(shared);
        }
        return shared;
    }
    CSpriteExt* sprite = new CSpriteExt;
    if (!grSpriteSetup(sprite, file, file, alphaFile)) {
        delete sprite;
        return nullptr;
    }
    return sprite;
}

void grFreeSprite(HSPRITE handle) {
    if (!handle) return;
    const int i = indexOf(handle);
    if (i < 0) {
        // Most often a handle freed already: its object is gone, so only its address is named.
        logPrintf("grFreeSprite: %p is not a registered sprite\n", static_cast<void*>(handle));
        return;
    }
    CSpriteExt* sprite = gEntries[i];
    if (sprite->references() > 1) {
        sprite->refWord -= 2;
        return;
    }
    // The display owns the screen sprite; it goes only with the display.
    if (sprite == grBackBuffer()) {
        logPrintf("grFreeSprite: the back buffer is freed only by grDone\n");
        return;
    }
    emptySlot(i);
    // Drawing must never reach a freed target.
    if (sprite == grScreen()) grSetTarget(nullptr);
    delete sprite;
}

CSprite* grAddRef(CSprite* sprite) {
    if (sprite) sprite->refWord += 2;
    return sprite;
}

HSPRITE grSpriteAddRef(HSPRITE sprite) { return grAddRef(sprite); }

HSPRITE grHandle(CSprite* sprite) { return sprite; }

HSPRITE grCreateSprite(int width, int height, const char* name) {
    if (!name || !*name) return nullptr;
    if (width < 1 || height < 1 || width > 32767 || height > 32767) {
        logPrintf("grCreateSprite: %s: bad size %dx%d\n", name, width, height);
        return nullptr;
    }
    if (!fits(name)) {
        logPrintf("grCreateSprite: name longer than %d characters: %.60s...\n", kSpriteNameSize - 1,
                  name);
        return nullptr;
    }
    CSpriteExt* sprite = new CSpriteExt;
    const int slot = addEntry(sprite);
    if (slot < 0) {
        delete sprite;
        return nullptr;
    }
    sprite->width = static_cast<int16_t>(width);
    sprite->height = static_cast<int16_t>(height);
    StrCopyN(sprite->name, name, sizeof sprite->name);
    renamed(slot);
    StrCopyN(sprite->imageFile, name, sizeof sprite->imageFile);
    grLoadSpriteFile(sprite);
    return sprite;
}

// --- Frames --------------------------------------------------------------------------------------

void grSetFrames(HSPRITE sprite, int period, int count) {
    if (!sprite) return;
    // Values from game data: 0 would divide the frame height and the frame rule by zero.
    if (count < 1 || period < 1) {
        logPrintf("grSetFrames: %s: period %d and count %d; values below 1 taken as 1\n",
                  sprite->imageFile, period, count);
        if (count < 1) count = 1;
        if (period < 1) period = 1;
    }
    if (count > 65535) count = 65535;
    if (period > 65535) period = 65535;
    sprite->period = static_cast<uint16_t>(period);
    sprite->frames = static_cast<uint16_t>(count);
    sprite->height = static_cast<int16_t>(sprite->fullHeight / count);
}

uint16_t grSpriteFrames(HSPRITE sprite) { return sprite ? sprite->frames : 0; }

uint16_t grSpriteTime(HSPRITE sprite) { return sprite ? sprite->period : 0; }

// --- Banks ---------------------------------------------------------------------------------------

void grLoadSpriteBank(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    char* sections = static_cast<char*>(malloc(kBankSectionBytes));
    if (!sections) return;
    iniGetSections(iniFile, sections, kBankSectionBytes);
    for (const char* section = sections; *section; section += strlen(section) + 1) {
        // The store's results are short-lived; keep copies.
        char file[kSpriteNameSize + 1], alpha[kSpriteNameSize + 1];
        StrCopyN(file, iniGetString(iniFile, section, "name", ""), sizeof file);
        StrCopyN(alpha, iniGetString(iniFile, section, "alpha", ""), sizeof alpha);
        const int font = iniGetInt(iniFile, section, "font", 0);
        const int length = iniGetInt(iniFile, section, "length", 0);
        const int time = iniGetInt(iniFile, section, "time", 0);
        if (!fits(section) || !fits(file) || !fits(alpha)) {
            logPrintf("grLoadSpriteBank: %s: [%.60s]: name longer than %d characters; skipped\n",
                      iniFile, section, kSpriteNameSize - 1);
            continue;
        }
        CSpriteExt* sprite = grRegistryFind(section);
        if (sprite) {
            sprite->refWord += 2;
        } else {
            sprite = newBankObject(font);
            if (!grSpriteSetup(sprite, section, file, alpha)) {
                delete sprite;
                continue;
            }
            if (font) grFontReadMetrics(static_cast<CGraphFont*>(sprite));
        }
        if (length != 0 && time != 0) grSetFrames(sprite, time, length);
    }
    free(sections);
}

void grFreeSpriteBank(const char* iniFile) {
    if (!iniFile || !*iniFile) return;
    char* sections = static_cast<char*>(malloc(kBankSectionBytes));
    if (!sections) return;
    iniGetSections(iniFile, sections, kBankSectionBytes);
    for (const char* section = sections; *section; section += strlen(section) + 1)
        grFreeSprite(grRegistryFind(section));
    free(sections);
}

// --- Locking and the log -------------------------------------------------------------------------

uint16_t* grLockSpriteEx(HSPRITE sprite, int* width, int* height, int* pitch, int* redShift,
                         int* greenShift, int* blueShift, int* redBits, int* greenBits,
                         int* blueBits) {
    if (sprite) {
        grLockSprite(sprite);
        sprite->fileBacked = false;  // the caller may write
    }
    const bool on = sprite && sprite->pixels;
    if (width) *width = on ? sprite->width : 0;
    if (height) *height = on ? sprite->height : 0;
    if (pitch) *pitch = on ? sprite->pitch : 0;
    if (redShift) *redShift = 11;
    if (greenShift) *greenShift = 5;
    if (blueShift) *blueShift = 0;
    if (redBits) *redBits = 5;
    if (greenBits) *greenBits = 6;
    if (blueBits) *blueBits = 5;
    return on ? sprite->pixels : nullptr;
}

void grUnlockSprite(HSPRITE sprite) {
    if (sprite && sprite->surface && sprite->pixels) grUnlockSpriteObj(sprite);
}

int grIsLocked(HSPRITE sprite) {
    if (!sprite) return 0;
    return sprite->surface ? sprite->surface->locked : sprite->pixels != nullptr;
}

void grSpriteListDump() {
    logPrintf("--------- grSpriteListDump() ---------\n");
    for (int i = 0; i < gSize; ++i) {
        const CSpriteExt* sprite = gEntries[i];
        if (sprite)
            logPrintf("Sprite[%d]: %dx%d %s\n", i, sprite->width, sprite->height,
                      sprite->imageFile);
    }
    logPrintf("--------- end of sprite list ---------\n");
}

void grForEachSprite(void (*visit)(HSPRITE, const char*, size_t, int, void*), void* context) {
    if (!visit) return;
    for (int i = 0; i < gSize; ++i) {
        CSpriteExt* sprite = gEntries[i];
        if (!sprite) continue;
        size_t bytes = 0;
        if (sprite->surface)
            bytes += static_cast<size_t>(sprite->surface->pitch) * sprite->surface->height;
        else if (sprite->pixels)
            bytes += static_cast<size_t>(sprite->pitch) * sprite->fullHeight;
        if (sprite->alpha) bytes += static_cast<size_t>(sprite->width) * sprite->fullHeight;
        visit(sprite, sprite->imageFile, bytes, static_cast<int>(sprite->references()), context);
    }
}

int grSpriteReferences(HSPRITE sprite) {
    return sprite ? static_cast<int>(sprite->references()) : 0;
}

bool grParkSprite(HSPRITE handle) {
    const int i = handle ? indexOf(handle) : -1;
    if (i < 0) return false;
    CSpriteExt* sprite = gEntries[i];
    if (sprite->parked) return true;
    if (!sprite->fileBacked || sprite == grBackBuffer() || sprite == grScreen()) return false;
    grSpriteFreePixels(sprite);
    sprite->parked = true;
    return true;
}

void grUnparkSprite(HSPRITE handle) {
    const int i = handle ? indexOf(handle) : -1;
    if (i < 0 || !gEntries[i]->parked) return;
    CSpriteExt* sprite = gEntries[i];
    // Frames and clip set since loading stay as they were; the files give the same pixels.
    const CSprite kept = *sprite;
    grLoadSpriteFile(sprite);
    sprite->parked = false;
    if (sprite->width != kept.width || sprite->fullHeight != kept.fullHeight) {
        logPrintf("grUnparkSprite: %s changed size while parked\n", sprite->imageFile);
        sprite->fileBacked = false;
        return;
    }
    sprite->height = kept.height;
    sprite->frames = kept.frames;
    sprite->period = kept.period;
    sprite->clipX0 = kept.clipX0;
    sprite->clipY0 = kept.clipY0;
    sprite->clipX1 = kept.clipX1;
    sprite->clipY1 = kept.clipY1;
}
