// Bitmap fonts: the metric-file reader, loading and freeing fonts by name, measuring text and
// drawing it plain, with a material and colour, or scaled.
#include "engine/gr/font.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "core/strings.h"
#include "core/values.h"
#include "engine/data/file.h"
#include "engine/gr/blit.h"
#include "engine/gr/registry.h"
#include "engine/platform/engine.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"

namespace {

constexpr int kSmallTable = 256;
constexpr int kLargeTable = 65536;
constexpr int kLineChars = 256;  // a glyph line is cut after this many characters
constexpr int kMaxPosition = 65535;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A read position in a text that need not be terminated.
struct Cursor {
    const char* p;
    const char* end;

    bool atEnd() const { return p >= end; }

    // Skips to the next digit or '-', reads a decimal integer there (saturating far beyond any
    // sensible value), then skips the digits, '.' and '-' that follow. 0 when no number is left.
    int number() {
        while (p < end && !isDigit(*p) && *p != '-') ++p;
        if (p >= end) return 0;
        const bool negative = *p == '-';
        if (negative) ++p;
        long long value = 0;
        while (p < end && isDigit(*p)) {
            value = value * 10 + (*p - '0');
            if (value > INT_MAX) value = INT_MAX;
            ++p;
        }
        while (p < end && (isDigit(*p) || *p == '.' || *p == '-')) ++p;
        return static_cast<int>(negative ? -value : value);
    }

    // The next glyph line: one line break is passed over when the position is on one (a CR or an
    // LF, and an LF right after it), else blanks, tabs and line breaks; then up to kLineChars
    // characters up to the next CR, LF or the end.
    Cursor line() {
        if (p < end && (*p == '\r' || *p == '\n')) {
            ++p;
            if (p < end && *p == '\n') ++p;
        } else {
            while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) ++p;
        }
        const char* begin = p;
        while (p < end && p - begin < kLineChars && *p != '\r' && *p != '\n') ++p;
        return Cursor{begin, p};
    }
};

void freeTables(CGraphFont* font) {
    free(font->positions);
    free(font->glyphs);
    font->positions = nullptr;
    font->glyphs = nullptr;
    font->tableSize = 0;
}

// "<image without its extension>.fh"; false when it does not fit.
bool metricFileName(const char* image, char* out, int size) {
    const char* base = image;
    for (const char* p = image; *p; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    const char* dot = strrchr(base, '.');
    const int stem = static_cast<int>(dot ? dot - image : strlen(image));
    return formatString(out, static_cast<size_t>(size), "%.*s.fh", stem, image) == stem + 3;
}

template <class Ch>
int codeOf(Ch c) {
    return static_cast<int>(static_cast<typename std::make_unsigned<Ch>::type>(c));
}

template <class Ch>
int widthOf(const CGraphFont* font, const Ch* text, int n) {
    if (!font || !text) return 0;
    int width = 0;
    for (int i = 0; i < n && text[i]; ++i) width += font->advance(codeOf(text[i]));
    return width;
}

// The source rectangle of one glyph in the chosen set; false when the glyph has no pixels there
// (a set the image does not hold, or a row cut off by the image's bottom).
bool glyphSource(const CGraphFont* font, int code, int set, int* sx, int* sy, int* width) {
    const uint16_t g = font->glyph(code);
    *width = grGlyphWordWidth(g);
    if (*width == 0) return false;
    *sx = font->positions[2 * code];
    const long long y =
        font->positions[2 * code + 1] + static_cast<long long>(font->setStride) * set;
    if (y < 0 || y + font->lineHeight > font->height || *sx + *width > font->width) return false;
    *sy = static_cast<int>(y);
    return true;
}

// Unscaled drawing: alignment, state and pen; draw(x, y, w, h, sx, sy) puts one glyph region.
template <class Ch, class Draw>
void drawLine(CGraphFont* font, int x, int y, const Ch* text, int state, int xalign, int yalign,
              Draw draw) {
    if (!font || !text || font->tableSize == 0) return;
    if (state == 3) ++y;
    const int set = grFontSetOfState(font->rows, state);
    if (xalign >= 0) {
        const int width = widthOf(font, text, INT_MAX);
        x -= xalign == 0 ? width / 2 : width;
    }
    if (yalign == 0)
        y -= font->lineHeight / 2;
    else if (yalign > 0)
        y -= font->lineHeight;
    int pen = x;
    for (; *text; ++text) {
        const int code = codeOf(*text);
        if (code < 33) {
            pen += font->spaceAdvance;
            continue;
        }
        const uint16_t g = font->glyph(code);
        const int left = grGlyphWordLeft(g);
        int sx, sy, width;
        if (glyphSource(font, code, set, &sx, &sy, &width))
            draw(pen + left, y, width, font->lineHeight, sx, sy);
        pen += left + grGlyphWordWidth(g) + grGlyphWordExtra(g);
    }
}

template <class Ch>
void drawScaled(sMaterial material, CGraphFont* font, int x, int y, float scaleX, float scaleY,
                const Ch* text, uint32_t colour, int state, int xalign, int yalign) {
    if (!font || !text || scaleX == 0.0f || scaleY == 0.0f || font->tableSize == 0) return;
    if (state == 3) ++y;
    const int set = grFontSetOfState(font->rows, state);
    const int h = roundToInt(font->lineHeight * scaleY);
    float pen = static_cast<float>(x);
    if (xalign >= 0) {
        const float width = scaleX * static_cast<float>(widthOf(font, text, INT_MAX));
        pen -= xalign == 0 ? width / 2 : width;
    }
    if (yalign == 0)
        y -= h / 2;
    else if (yalign > 0)
        y -= h;
    for (; *text; ++text) {
        const int code = codeOf(*text);
        if (code < 33) {
            pen += font->spaceAdvance * scaleX;
            continue;
        }
        const uint16_t g = font->glyph(code);
        const int left = grGlyphWordLeft(g);
        const int w = grGlyphWordWidth(g);
        int sx, sy, width;
        if (glyphSource(font, code, set, &sx, &sy, &width))
            grDraw(material, roundToInt(pen + scaleX * left), y, roundToInt(scaleX * w), h,
                   grHandle(font), sx, sy, w, font->lineHeight, colour, 0);
        pen += scaleX * static_cast<float>(w + left + grGlyphWordExtra(g));
    }
}

}  // namespace

// --- The font object and its metric file ---------------------------------------------------------

uint16_t grPackGlyph(int width, int leftOffset, int extraAdvance) {
    const int w = IntClamp(width, 0, kGlyphMaxWidth);
    const int left = abs(IntClamp(leftOffset, -kGlyphMaxOffset, kGlyphMaxOffset));
    const int extra = abs(IntClamp(extraAdvance, -kGlyphMaxOffset, kGlyphMaxOffset));
    return static_cast<uint16_t>(w | (leftOffset < 0 ? 0x40 : 0) | (left << 7) |
                                 (extraAdvance < 0 ? 0x800 : 0) | (extra << 12));
}

CGraphFont::~CGraphFont() { freeTables(this); }

int grFontSetOfState(int rows, int state) {
    if (rows <= 1) return 0;
    if (rows == 2) return state > 1 ? 1 : 0;
    if (rows == 3) return state >= 1 ? state - 1 : state;
    return state;
}

void grFontParseMetrics(CGraphFont* font, const char* text, int size, const char* fileName) {
    if (!font) return;
    freeTables(font);
    Cursor in{text ? text : "", text && size > 0 ? text + size : text ? text : ""};
    const char* name = fileName ? fileName : font->imageFile;

    in.number();  // informative only
    int lineHeight = in.number();
    int count = in.number();
    if (!in.atEnd() && *in.p == '\n') ++in.p;
    if (lineHeight < 0 || lineHeight > INT16_MAX || count < 0) {
        logPrintf("grLoadFont: %s: line height %d, %d glyphs; taken as %d and %d\n", name,
                  lineHeight, count, IntClamp(lineHeight, 0, INT16_MAX), count < 0 ? 0 : count);
        lineHeight = IntClamp(lineHeight, 0, INT16_MAX);
        if (count < 0) count = 0;
    }
    const int tableSize = count <= kSmallTable ? kSmallTable : kLargeTable;
    font->positions = static_cast<uint16_t*>(calloc(static_cast<size_t>(tableSize) * 2, 2));
    font->glyphs = static_cast<uint16_t*>(calloc(static_cast<size_t>(tableSize), 2));
    if (!font->positions || !font->glyphs) {
        logPrintf("grLoadFont: %s: no memory for the glyph tables\n", name);
        freeTables(font);
        return;
    }
    font->tableSize = tableSize;
    font->lineHeight = static_cast<int16_t>(lineHeight);
    font->spaceAdvance = static_cast<int16_t>(lineHeight / 2);

    int largestY = 0;
    int misplaced = 0;
    int stored = 0;
    for (int i = 0; i < count; ++i) {
        if (in.atEnd()) {
            logPrintf("grLoadFont: %s: %d glyphs announced, %d lines found\n", name, count, i);
            break;
        }
        Cursor line = in.line();
        const int code = line.number();
        const int x = line.number();
        const int y = line.number();
        const int fourth = line.number();
        const int fifth = line.number();
        const bool shortForm = line.atEnd();
        const int left = shortForm ? 0 : fourth;
        const int width = IntClamp(shortForm ? fourth : fifth, 0, kGlyphMaxWidth);
        const int extra = shortForm ? 0 : line.number();
        if (code < 0 || code >= tableSize) {
            logPrintf("grLoadFont: %s: glyph code %d is outside 0..%d; the rest is not read\n",
                      name, code, tableSize - 1);
            break;
        }
        if (x < 0 || y < 0 || x > kMaxPosition || y > kMaxPosition) {
            ++misplaced;
            continue;
        }
        if (y > largestY) largestY = y;
        if (x + width > font->width) {
            font->positions[2 * code] = font->positions[2 * code + 1] = 0;
            font->glyphs[code] = 0;
            continue;
        }
        font->positions[2 * code] = static_cast<uint16_t>(x);
        font->positions[2 * code + 1] = static_cast<uint16_t>(y);
        font->glyphs[code] = grPackGlyph(width, left, extra);
        ++stored;
    }
    if (misplaced)
        logPrintf("grLoadFont: %s: %d glyphs with a position outside 0..%d left out\n", name,
                  misplaced, kMaxPosition);
    // An empty file has been reported by whoever loaded it; text that gives nothing has not.
    if (size > 0 && stored == 0) logPrintf("grLoadFont: %s: no glyph could be read\n", name);

    font->setStride = lineHeight + largestY;
    int rows = 1;
    if (font->setStride > 0)
        rows = roundToInt(static_cast<float>(font->height) / static_cast<float>(font->setStride));
    // An image lower than one set still shows the glyphs it holds; drawing skips the others.
    font->rows = static_cast<int16_t>(IntClamp(rows, 1, INT16_MAX));
}

void grFontReadMetrics(CGraphFont* font) {
    if (!font) return;
    if (font->width <= 0) errorBox("Font not found!", font->imageFile, MB_OK);
    char name[kSpriteNameSize + 4];
    unsigned char* block = nullptr;
    int size = 0;
    if (!metricFileName(font->imageFile, name, sizeof name)) {
        logPrintf("grLoadFont: %s: no metric file name fits\n", font->imageFile);
    } else {
        size = fileLoad(name, &block);
        if (size <= 0) logPrintf("grLoadFont: %s: metric file missing or empty\n", name);
    }
    grFontParseMetrics(font, reinterpret_cast<const char*>(block), size > 0 ? size : 0, name);
    if (block) memFree(block);
}

// --- Loading by name -----------------------------------------------------------------------------

CGraphFont* grLoadFont(const char* file, const char* alphaFile) {
    if (!file || !*file) return nullptr;
    if (CSpriteExt* shared = grRegistryFind(file)) {
        CGraphFont* font = dynamic_cast<CGraphFont*>(shared);
        if (!font) {
            logPrintf("grLoadFont: %s is loaded as a sprite, not as a font\n", file);
            return nullptr;
        }
        grAddRef(font);
        return font;
    }
    CGraphFont* font = new CGraphFont;
    if (!grSpriteSetup(font, file, file, alphaFile)) {
        delete font;
        return nullptr;
    }
    grFontReadMetrics(font);
    return font;
}

void grFreeFont(CGraphFont* font) { grFreeSprite(grHandle(font)); }

HSPRITE grHandle(CGraphFont* font) { return font; }

// --- Measuring -----------------------------------------------------------------------------------

int grFontHeight(CGraphFont* font) { return font ? font->lineHeight : 0; }

int grFontSpaceWidth(CGraphFont* font) { return font ? font->spaceAdvance : 0; }

int grTextWidth(CGraphFont* font, const char16_t* text, int n) { return widthOf(font, text, n); }

int grTextWidthA(CGraphFont* font, const char* text, int n) { return widthOf(font, text, n); }

int grTextFit(CGraphFont* font, const char* text, int width) {
    if (!font || !text) return 0;
    int count = 0;
    for (int running = 0; text[count] && running < width; ++count)
        running += font->advance(codeOf(text[count]));
    return count;
}

void grGlyphInfo(CGraphFont* font, int code, int* x, int* y, int* width, int* lineHeight,
                 int* leftOffset, int* extraAdvance) {
    const bool in = font && code >= 0 && code < font->tableSize;
    const uint16_t g = in ? font->glyphs[code] : 0;
    if (x) *x = in ? font->positions[2 * code] : 0;
    if (y) *y = in ? font->positions[2 * code + 1] : 0;
    if (width) *width = grGlyphWordWidth(g);
    if (lineHeight) *lineHeight = font ? font->lineHeight : 0;
    if (leftOffset) *leftOffset = grGlyphWordLeft(g);
    if (extraAdvance) *extraAdvance = grGlyphWordExtra(g);
}

int grGlyphX(CGraphFont* font, int code) {
    int x;
    grGlyphInfo(font, code, &x, nullptr, nullptr, nullptr, nullptr, nullptr);
    return x;
}

int grGlyphY(CGraphFont* font, int code) {
    int y;
    grGlyphInfo(font, code, nullptr, &y, nullptr, nullptr, nullptr, nullptr);
    return y;
}

int grGlyphWidth(CGraphFont* font, int code) {
    return font ? grGlyphWordWidth(font->glyph(code)) : 0;
}

int grGlyphXOffset(CGraphFont* font, int code) {
    return font ? grGlyphWordLeft(font->glyph(code)) : 0;
}

int grGlyphAdvance(CGraphFont* font, int code) {
    if (!font) return 0;
    const uint16_t g = font->glyph(code);
    return grGlyphWordLeft(g) + grGlyphWordWidth(g) + grGlyphWordExtra(g);
}

// --- Drawing -------------------------------------------------------------------------------------

namespace {

// Material, colour, clip and frame are the same for every glyph of a line: they are settled once,
// and each glyph's rectangle is then one kernel call, with the pixels a draw per glyph would give.
template <class Ch>
void drawColoured(sMaterial material, CGraphFont* font, int x, int y, const Ch* text,
                  uint32_t colour, int state, int xalign, int yalign) {
    BlitBatch batch;
    if (!font || !text || !grBlitBatchBegin(&batch, material, grScreen(), font, 0, colour)) return;
    drawLine(font, x, y, text, state, xalign, yalign,
             [&batch](int dx, int dy, int w, int h, int sx, int sy) {
                 grBlitBatchRegion(batch, dx, dy, w, h, sx, sy);
             });
}

template <class Ch>
void drawPlain(CGraphFont* font, int x, int y, const Ch* text, int state, int xalign, int yalign) {
    drawColoured(sMaterial(2, 2, 1, 30), font, x, y, text, 0xFFFFFFFFu, state, xalign, yalign);
}

}  // namespace

void grDrawText(CGraphFont* font, int x, int y, const char16_t* text, int state, int xalign,
                int yalign) {
    drawPlain(font, x, y, text, state, xalign, yalign);
}

void grDrawTextA(CGraphFont* font, int x, int y, const char* text, int state, int xalign,
                 int yalign) {
    drawPlain(font, x, y, text, state, xalign, yalign);
}

void grDrawTextEx(sMaterial material, CGraphFont* font, int x, int y, const char16_t* text,
                  uint32_t colour, int state, int xalign, int yalign) {
    if ((colour >> 24) < 15) return;  // as every coloured draw
    drawColoured(material, font, x, y, text, colour, state, xalign, yalign);
}

void grDrawTextExA(sMaterial material, CGraphFont* font, int x, int y, const char* text,
                   uint32_t colour, int state, int xalign, int yalign) {
    if ((colour >> 24) < 15) return;  // as every coloured draw
    drawColoured(material, font, x, y, text, colour, state, xalign, yalign);
}

void grDrawTextColor(sMaterial material, CGraphFont* font, int x, int y, float scaleX, float scaleY,
                     const char16_t* text, uint32_t colour, int state, int xalign, int yalign) {
    drawScaled(material, font, x, y, scaleX, scaleY, text, colour, state, xalign, yalign);
}

void grDrawTextColorA(sMaterial material, CGraphFont* font, int x, int y, float scaleX,
                      float scaleY, const char* text, uint32_t colour, int state, int xalign,
                      int yalign) {
    drawScaled(material, font, x, y, scaleX, scaleY, text, colour, state, xalign, yalign);
}
