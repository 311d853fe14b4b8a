// Renders a TrueType font into the game's bitmap font: a 32-bit TGA of glyphs (white, or the colour
// given, optionally ringed by a second colour) whose alpha is the coverage, and the .fh metric text
// beside it (Latin-1 codes 32..255).
#include "tools/tga_write.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The metric format packs width into 6 bits and each offset into a sign and 4 bits.
constexpr int kMaxWidth = 63;
constexpr int kMaxOffset = 15;
constexpr int kAtlasWidth = 512;
constexpr int kGap = 1;  // keeps the scaled text drawing from picking up a neighbour's pixels

struct Glyph {
    int code = 0;
    int x = 0, y = 0;
    int left = 0, width = 0, extra = 0;
    int top = 0;  // rows from the cell's top to the bitmap's first row
    int rows = 0;
    std::vector<uint8_t> coverage;  // width x rows
    std::vector<uint8_t> ring;      // width x rows, the outline's coverage; empty without one
};

// Text that stands on any picture: the glyph grows by the ring's width on every side and the ring
// is the coverage spread over a small disc. The advance stays the same.
constexpr int kRing = 2;

void addRing(Glyph& g) {
    if (g.width == 0) return;
    const int w = g.width + 2 * kRing, h = g.rows + 2 * kRing;
    std::vector<uint8_t> fill(static_cast<size_t>(w) * h, 0), ring(fill.size(), 0);
    for (int r = 0; r < g.rows; ++r)
        for (int c = 0; c < g.width; ++c)
            fill[static_cast<size_t>(r + kRing) * w + c + kRing] =
                g.coverage[static_cast<size_t>(r) * g.width + c];
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            uint8_t m = 0;
            for (int dr = -kRing; dr <= kRing; ++dr)
                for (int dc = -kRing; dc <= kRing; ++dc) {
                    if (dr * dr + dc * dc > kRing * kRing + 1) continue;
                    const int rr = r + dr, cc = c + dc;
                    if (rr < 0 || rr >= h || cc < 0 || cc >= w) continue;
                    const uint8_t v = fill[static_cast<size_t>(rr) * w + cc];
                    if (v > m) m = v;
                }
            ring[static_cast<size_t>(r) * w + c] = m;
        }
    g.coverage = std::move(fill);
    g.ring = std::move(ring);
    g.width = w;
    g.rows = h;
    g.left -= kRing;
    g.extra -= kRing;
    g.top -= kRing;
}

bool parseColour(const char* text, unsigned long* rgb) {
    char* end = nullptr;
    *rgb = strtoul(text, &end, 16);
    return end && !*end && end - text == 6;
}

bool renderGlyph(FT_Face face, int code, int ascender, Glyph& g) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0) return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.width > 0) return false;
    g.code = code;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.left = g.width > 0 ? slot->bitmap_left : 0;
    g.top = ascender - slot->bitmap_top;
    const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.extra = advance - g.left - g.width;
    g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
    for (int r = 0; r < g.rows; ++r) {
        const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch;
        for (int c = 0; c < g.width; ++c) g.coverage[static_cast<size_t>(r) * g.width + c] = src[c];
    }
    return true;
}

bool inMetricRange(const Glyph& g) {
    return g.width <= kMaxWidth && abs(g.left) <= kMaxOffset && abs(g.extra) <= kMaxOffset;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        fprintf(stderr, "usage: fontgen <font.ttf> <pixel size> <output base> [RRGGBB [RRGGBB]]\n"
                        "writes <output base>.tga and <output base>.fh; the second colour rings "
                        "each glyph\n");
        return 2;
    }
    // Text on light panels needs glyphs that are dark already: a tint can only darken white.
    unsigned long rgb = 0xFFFFFF, ringRgb = 0;
    const bool ringed = argc == 6;
    for (int i = 4; i < argc; ++i)
        if (!parseColour(argv[i], i == 4 ? &rgb : &ringRgb)) {
            fprintf(stderr, "fontgen: colour %s is not RRGGBB\n", argv[i]);
            return 2;
        }
    const char* fontFile = argv[1];
    const int pixelSize = atoi(argv[2]);
    const std::string base = argv[3];
    if (pixelSize < 4 || pixelSize > 64) {
        fprintf(stderr, "fontgen: pixel size %s out of range 4..64\n", argv[2]);
        return 2;
    }

    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0) {
        fprintf(stderr, "fontgen: FreeType did not start\n");
        return 1;
    }
    FT_Face face;
    if (FT_New_Face(lib, fontFile, 0, &face) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        fprintf(stderr, "fontgen: cannot open %s at %d px\n", fontFile, pixelSize);
        FT_Done_FreeType(lib);
        return 1;
    }
    // A ringed font's line has room for the ring above and below.
    const int pad = ringed ? kRing : 0;
    const int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6) + pad;
    const int descender = static_cast<int>(face->size->metrics.descender >> 6) - pad;  // negative
    const int lineHeight = ascender - descender;

    // C1 control codes 127..159 have no glyphs; a code without one gets no line and so draws
    // nothing. Codes below 33 advance by the engine's own space width; 32 is listed anyway.
    std::vector<Glyph> glyphs;
    int failed = 0;
    for (int code = 32; code <= 255; ++code) {
        if (code >= 127 && code < 160) continue;
        if (code != 32 && FT_Get_Char_Index(face, static_cast<FT_ULong>(code)) == 0) continue;
        Glyph g;
        if (!renderGlyph(face, code, ascender, g)) {
            fprintf(stderr, "fontgen: glyph %d did not render\n", code);
            ++failed;
            continue;
        }
        if (ringed) addRing(g);
        if (!inMetricRange(g)) {
            fprintf(stderr, "fontgen: glyph %d (width %d, offsets %d/%d) does not fit the metric "
                            "format; choose a smaller size\n", code, g.width, g.left, g.extra);
            ++failed;
            continue;
        }
        glyphs.push_back(std::move(g));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    if (failed) return 1;

    // Shelf packing: one glyph row is exactly one line high, so the image holds one glyph set.
    int penX = 0, penY = 0;
    for (Glyph& g : glyphs) {
        if (g.width == 0) continue;  // blank glyphs stay at (0, 0): only their advance counts
        if (penX + g.width > kAtlasWidth) {
            penX = 0;
            penY += lineHeight;
        }
        g.x = penX;
        g.y = penY;
        penX += g.width + kGap;
    }
    const int height = penY + lineHeight;

    std::vector<uint8_t> bgra(static_cast<size_t>(kAtlasWidth) * height * 4, 0);
    // Transparent pixels carry the outermost colour, so that filtered edges blend into it.
    const unsigned long edge = ringed ? ringRgb : rgb;
    auto channel = [](unsigned long colour, int shift) {
        return static_cast<int>((colour >> shift) & 0xFF);
    };
    for (size_t i = 0; i < bgra.size(); i += 4)
        for (int k = 0; k < 3; ++k) bgra[i + k] = static_cast<uint8_t>(channel(edge, 8 * k));
    for (const Glyph& g : glyphs) {
        bool clipped = false;
        for (int r = 0; r < g.rows; ++r) {
            const int cellRow = g.top + r;
            for (int c = 0; c < g.width; ++c) {
                const size_t at = static_cast<size_t>(r) * g.width + c;
                const uint8_t v = g.coverage[at];
                const uint8_t a = ringed ? g.ring[at] : v;
                if (cellRow < 0 || cellRow >= lineHeight) {
                    clipped = clipped || a != 0;
                    continue;
                }
                uint8_t* px = &bgra[(static_cast<size_t>(g.y + cellRow) * kAtlasWidth + g.x + c) * 4];
                px[3] = a;
                // The glyph over its ring: the ring shows where the spread reaches past the glyph.
                if (ringed && a > 0)
                    for (int k = 0; k < 3; ++k)
                        px[k] = static_cast<uint8_t>((channel(rgb, 8 * k) * v +
                                                      channel(ringRgb, 8 * k) * (a - v)) / a);
            }
        }
        if (clipped) fprintf(stderr, "fontgen: glyph %d reaches beyond the line and is cut\n", g.code);
    }
    if (!writeTga((base + ".tga").c_str(), kAtlasWidth, height, 32, bgra, true)) return 1;

    const std::string fhPath = base + ".fh";
    FILE* fh = fopen(fhPath.c_str(), "w");
    if (!fh) {
        perror(fhPath.c_str());
        return 1;
    }
    // Header: pixel size (informative), line height, glyph count. Then one line per glyph:
    // code, x, y, left offset, width, extra advance.
    fprintf(fh, "%d %d %d\n", pixelSize, lineHeight, static_cast<int>(glyphs.size()));
    for (const Glyph& g : glyphs)
        fprintf(fh, "%d %d %d %d %d %d\n", g.code, g.x, g.y, g.left, g.width, g.extra);
    if (fclose(fh) != 0) {
        fprintf(stderr, "%s: write failed\n", fhPath.c_str());
        return 1;
    }
    return 0;
}
