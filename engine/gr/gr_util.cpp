// INI value readers into numbers, texts, sprites and fonts; the "file|period|count" sprite text;
// free-and-null helpers; scaled sprite draws.
#include "engine/gr/gr_util.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/strings.h"
#include "core/text.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"

namespace {

// The value of a key, or null when the key is absent (the store answers with our own default).
const char* valueOf(const char* file, const char* section, const char* key) {
    static const char absent[] = "";
    if (!file || !section || !key) return nullptr;
    const char* value = iniGetString(file, section, key, absent);
    return value == absent ? nullptr : value;
}

// The C library's decimal conversion, kept within int.
int decimal(const char* text, const char** end) {
    char* stop = nullptr;
    long v = strtol(text, &stop, 10);
    if (end) *end = stop;
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

struct Field {
    const char* begin;
    size_t length;
};

// The comma-separated fields of text as TokenList::Split makes them (trimmed of blanks, empty
// ones left out), found in place: the first max go to fields; returns how many there are in all.
uint32_t splitInPlace(const char* text, Field* fields, uint32_t max) {
    auto blank = [](char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; };
    uint32_t count = 0;
    for (const char* p = text; p && *p;) {
        while (blank(*p)) ++p;
        const char* begin = p;
        while (*p && *p != ',') ++p;
        const char* last = p;
        while (last > begin && blank(last[-1])) --last;
        if (last > begin) {
            if (count < max) fields[count] = {begin, static_cast<size_t>(last - begin)};
            ++count;
        }
        if (*p) ++p;
    }
    return count;
}

}  // namespace

// --- INI value readers ---------------------------------------------------------------------------

bool iniParseIntPair(int* a, int* b, const char* file, const char* section, const char* key) {
    if (a) *a = 0;
    if (b) *b = 0;
    if (!a || !b) return false;
    const char* p = valueOf(file, section, key);
    if (!p) return false;
    *a = decimal(skipWhite(p), &p);
    p = skipWhite(p);
    if (*p != ',') return false;
    *b = decimal(skipWhite(p + 1), nullptr);
    return true;
}

bool iniReadIntPair(Point2i* point, const char* file, const char* section, const char* key) {
    if (!point) return false;
    int a, b;
    const bool ok = iniParseIntPair(&a, &b, file, section, key);
    *point = Point2i(a, b);
    return ok;
}

bool iniReadString(char* buffer, int size, const char* file, const char* section, const char* key) {
    if (!buffer || size < 1 || !file || !section || !key) return false;
    memset(buffer, 0, static_cast<size_t>(size));
    const char* value = valueOf(file, section, key);
    if (!value) return false;
    strncpy(buffer, value, static_cast<size_t>(size) - 1);
    return true;
}

char16_t* iniReadText(const char* file, const char* key) {
    static const char16_t absent[] = u"";
    if (!file || !*file || !key || !*key) return nullptr;
    const char16_t* value = iniGetWide(file, nullptr, key, absent);
    if (value == absent) return nullptr;
    const size_t n = wstrLen(value);
    char16_t* copy = static_cast<char16_t*>(malloc((n + 1) * sizeof(char16_t)));
    if (copy) memcpy(copy, value, (n + 1) * sizeof(char16_t));
    return copy;
}

// "file, period, count": read in place, so that a request's picture taken again allocates nothing.
HSPRITE iniReadAnimSprite(const char* file, const char* section, const char* key) {
    Field fields[3];
    const uint32_t fieldCount = splitInPlace(valueOf(file, section, key), fields, 3);
    if (fieldCount == 0) return nullptr;
    // A name longer than the buffer (too long for any sprite) still goes to the loader whole,
    // which says so.
    char shortName[256];
    std::string longName;
    const char* name = shortName;
    if (fields[0].length < sizeof shortName) {
        memcpy(shortName, fields[0].begin, fields[0].length);
        shortName[fields[0].length] = '\0';
    } else {
        longName.assign(fields[0].begin, fields[0].length);
        name = longName.c_str();
    }
    // Read before loading: the loader may read other files, which can drop this one's text.
    int period = fieldCount >= 3 ? decimal(fields[1].begin, nullptr) : 0;
    int count = fieldCount >= 3 ? decimal(fields[2].begin, nullptr) : 0;
    HSPRITE sprite = grLoadSprite(name, nullptr, 0);
    if (sprite && fieldCount >= 3) {
        // Both end up as divisors of the frame rule.
        if (period < 1 || count < 1) {
            logPrintf("iniReadAnimSprite: %s [%s] %s: period %d and count %d; below 1 taken as 1\n",
                      file, section, key, period, count);
            if (period < 1) period = 1;
            if (count < 1) count = 1;
        }
        grSetFrames(sprite, period, count);
    }
    return sprite;
}

CGraphFont* iniReadFont(const char* file, const char* section, const char* key) {
    const char* name = valueOf(file, section, key);
    return name ? grLoadFont(name, nullptr) : nullptr;
}

void spriteFree(HSPRITE* sprite) {
    if (!sprite || !*sprite) return;
    grFreeSprite(*sprite);
    *sprite = nullptr;
}

void fontFree(CGraphFont** font) {
    if (!font || !*font) return;
    grFreeFont(*font);
    *font = nullptr;
}

HSPRITE loadSpriteBarSpec(char* text) {
    if (!text || !*text) return nullptr;
    char* bar = strchr(text, '|');
    if (!bar) return grLoadSprite(text, nullptr, 0);
    *bar = '\0';
    HSPRITE sprite = grLoadSprite(text, nullptr, 0);
    char* second = strchr(bar + 1, '|');
    if (second) {
        *second = '\0';
        const int period = decimal(bar + 1, nullptr);
        const int count = decimal(second + 1, nullptr);
        if (sprite && period != 0 && count != 0) grSetFrames(sprite, period, count);
    }
    return sprite;
}

// --- Scaled draws --------------------------------------------------------------------------------

namespace {

struct Placement {
    int x, y, w, h;
};

// Steps 1 to 3 of every member: the (possibly scaled) size centred on (x, y), then the flips.
Placement place(int x, int y, HSPRITE sprite, bool scaleW, float sx, bool scaleH, float sy,
                bool flipX, bool flipY) {
    const int W = spriteWidth(sprite), H = spriteHeight(sprite);
    Placement p;
    p.w = scaleW ? static_cast<int>(static_cast<float>(W) * sx) : W;
    p.h = scaleH ? static_cast<int>(static_cast<float>(H) * sy) : H;
    p.x = x - p.w / 2;
    p.y = y - p.h / 2;
    if (flipX) p.w = -p.w;
    if (flipY) p.h = -p.h;
    return p;
}

void anchor(Placement& p, int x, int y, bool left, bool top) {
    if (left) p.x = x;
    if (top) p.y = y;
}

void drawWhole(sMaterial material, const Placement& p, HSPRITE sprite, uint32_t colour, int time) {
    grDraw(material, p.x, p.y, p.w, p.h, sprite, 0, 0, spriteWidth(sprite), spriteHeight(sprite),
           colour, time);
}

const sMaterial kPlain(2, 2, 1, 30);

}  // namespace

void drawSpriteScaled(int x, int y, HSPRITE sprite, float scale, uint32_t colour, bool flipX,
                      bool flipY, bool anchorLeft, bool anchorTop) {
    if (!sprite) return;
    const bool scaled = scale != 1.0f;
    Placement p = place(x, y, sprite, scaled, scale, scaled, scale, flipX, flipY);
    anchor(p, x, y, anchorLeft, anchorTop);
    drawWhole(kPlain, p, sprite, colour, 0);
}

void drawSpriteScaledXY(int x, int y, HSPRITE sprite, float sx, float sy, uint32_t colour,
                        bool flipX, bool flipY, bool anchorLeft, bool anchorTop) {
    if (!sprite) return;
    Placement p = place(x, y, sprite, sx < 1.0f, sx, sy < 1.0f, sy, flipX, flipY);
    anchor(p, x, y, anchorLeft, anchorTop);
    drawWhole(kPlain, p, sprite, colour, 0);
}

void drawSpriteShrunk(int x, int y, HSPRITE sprite, float scale, uint32_t colour, int time,
                      bool flipX, bool flipY, bool anchorLeft, bool anchorTop) {
    if (!sprite) return;
    const bool scaled = scale < 1.0f;
    Placement p = place(x, y, sprite, scaled, scale, scaled, scale, flipX, flipY);
    anchor(p, x, y, anchorLeft, anchorTop);
    drawWhole(sMaterial(4, 2, 1, 30), p, sprite, colour, time);
}

void drawSpriteScaledEx(sMaterial material, int x, int y, HSPRITE sprite, float scale,
                        uint32_t colour, int time, bool flipX, bool flipY, bool anchorLeft,
                        bool anchorTop) {
    if (!sprite) return;
    const bool scaled = scale != 1.0f;
    Placement p = place(x, y, sprite, scaled, scale, scaled, scale, flipX, flipY);
    anchor(p, x, y, anchorLeft, anchorTop);
    drawWhole(material, p, sprite, colour, time);
}

void drawSpriteScaledXYEx(sMaterial material, int x, int y, HSPRITE sprite, float sx, float sy,
                          uint32_t colour, int time, bool flipX, bool flipY, int alignX,
                          int alignY) {
    if (!sprite) return;
    const bool scaled = sx != 1.0f || sy != 1.0f;
    Placement p = place(x, y, sprite, scaled, sx, scaled, sy, flipX, flipY);
    if (alignX > 0)
        p.x = x;
    else if (alignX < 0)
        p.x = x - p.w;
    if (alignY > 0)
        p.y = y;
    else if (alignY < 0)
        p.y = y - p.h;
    drawWhole(material, p, sprite, colour, time);
}
