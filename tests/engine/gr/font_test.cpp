// Bitmap fonts: the metric-file reader, sharing by name and banks, measuring, glyph sets chosen
// by state, and text drawn plain, coloured and scaled into a small target.
#include "engine/gr/font.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "draw_target.h"
#include "engine/gr/registry.h"
#include "gr_fixtures.h"

namespace {

Rgb gray(int, int) { return {90, 90, 90}; }

// A font loaded for one scope; the registry is shared by the whole process.
struct Font {
    CGraphFont* font;
    explicit Font(const char* file) : font(grLoadFont(file, nullptr)) {}
    ~Font() { grFreeFont(font); }
    CGraphFont* operator->() const { return font; }
    operator CGraphFont*() const { return font; }
};

// An image of the given size and a metric text beside it.
void writeFont(const std::string& base, int width, int height, const std::string& metrics) {
    writeTga24(base + ".tga", width, height, gray);
    writeText(base + ".fh", metrics);
}

struct Glyph {
    int code, x, y, width, left, extra;
};

void expectGlyph(CGraphFont* font, const Glyph& g) {
    int x, y, width, height, left, extra;
    grGlyphInfo(font, g.code, &x, &y, &width, &height, &left, &extra);
    EXPECT_EQ(x, g.x) << g.code;
    EXPECT_EQ(y, g.y) << g.code;
    EXPECT_EQ(width, g.width) << g.code;
    EXPECT_EQ(left, g.left) << g.code;
    EXPECT_EQ(extra, g.extra) << g.code;
    EXPECT_EQ(grGlyphAdvance(font, g.code), g.left + g.width + g.extra) << g.code;
}

TEST(FontMetrics, LongAndShortLinesClampsAndDrops) {
    writeFont("Fonts/lines", 128, 8,
              "17.5 8 8\n"
              "65 10 0 -2 12 1\n"     // long form
              "66 30, 0, 12, 14\r\n"  // short form: the fifth number means nothing
              "67 0 0 -20 80 20\n"    // clamped to 63 and +-15
              "\n"
              "68 120 0 0 9 0\n"    // reaches past the image's right edge
              "69 70000 0 0 2 0\n"  // position out of range
              "70 1 -3 0 2 0\n"     // negative position
              "71 50 0 1 3 \n"      // a blank after the fifth number makes it long
              "72 60 0 4\n");       // too few numbers: short, width 4
    const int lines = logLines();
    Font f("Fonts/lines.tga");
    ASSERT_NE(f.font, nullptr);
    EXPECT_EQ(grFontHeight(f), 8);
    EXPECT_EQ(grFontSpaceWidth(f), 4);
    EXPECT_EQ(f->tableSize, 256);
    EXPECT_EQ(f->rows, 1);
    const Glyph expected[] = {
        {65, 10, 0, 12, -2, 1}, {66, 30, 0, 12, 0, 0}, {67, 0, 0, 63, -15, 15},
        {68, 0, 0, 0, 0, 0},    {69, 0, 0, 0, 0, 0},   {70, 0, 0, 0, 0, 0},
        {71, 50, 0, 3, 1, 0},   {72, 60, 0, 4, 0, 0},  {300, 0, 0, 0, 0, 0},
        {-1, 0, 0, 0, 0, 0},
    };
    for (const Glyph& g : expected) expectGlyph(f, g);
    EXPECT_EQ(grGlyphX(f, 66), 30);
    EXPECT_EQ(grGlyphY(f, 66), 0);
    EXPECT_EQ(grGlyphWidth(f, 67), 63);
    EXPECT_EQ(grGlyphXOffset(f, 67), -15);
    // The one line on the two refused positions.
    EXPECT_EQ(logLines(), lines + 1);
    EXPECT_NE(logText().find("2 glyphs with a position outside"), std::string::npos);
}

TEST(FontMetrics, TableSizeFollowsTheGlyphCount) {
    for (int count : {256, 257}) {
        std::string metrics = "0 10 " + std::to_string(count) + "\n";
        for (int code = 0; code < count; ++code) metrics += std::to_string(code) + " 0 0 0 1 0\n";
        const std::string base = "Fonts/count" + std::to_string(count);
        writeFont(base, 4, 10, metrics);
        Font f((base + ".tga").c_str());
        EXPECT_EQ(f->tableSize, count == 256 ? 256 : 65536);
        EXPECT_EQ(grGlyphWidth(f, 255), 1);
        EXPECT_EQ(grGlyphWidth(f, 256), count == 256 ? 0 : 1);
    }
}

TEST(FontMetrics, CodesOutsideTheTableEndTheFile) {
    struct Case {
        const char* badLine;
    } cases[] = {{"-5 0 0 0 2 0"}, {"256 0 0 0 2 0"}, {"99999999999 0 0 0 2 0"}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string base = "Fonts/bad" + std::to_string(n++);
        writeFont(base, 16, 8,
                  "0 8 3\n65 0 0 0 2 0\n" + std::string(c.badLine) + "\n66 2 0 0 2 0\n");
        const int lines = logLines();
        Font f((base + ".tga").c_str());
        EXPECT_EQ(grGlyphWidth(f, 65), 2) << c.badLine;
        EXPECT_EQ(grGlyphWidth(f, 66), 0) << c.badLine;  // not read any more
        EXPECT_EQ(logLines(), lines + 1) << c.badLine;
    }
}

TEST(FontMetrics, MissingOrShortFilesLeaveAUsableFont) {
    // No image: the box, and the metrics are read but every glyph with a width is dropped.
    writeText("Fonts/noimage.fh", "0 10 1\n65 0 0 0 5 0\n");
    {
        Font f("Fonts/noimage.tga");
        ASSERT_NE(f.font, nullptr);
        EXPECT_NE(logText().find("Font not found!"), std::string::npos);
        EXPECT_EQ(grFontHeight(f), 10);
        EXPECT_EQ(grTextWidthA(f, "A A", 3), 5);  // only the space advances
    }
    // No metric file: nothing measures, nothing draws.
    writeTga24("Fonts/nometrics.tga", 8, 8, gray);
    {
        Font f("Fonts/nometrics.tga");
        EXPECT_EQ(grFontHeight(f), 0);
        EXPECT_EQ(grTextWidthA(f, "AB", 2), 0);
        EXPECT_NE(logText().find("nometrics.fh: metric file missing"), std::string::npos);
    }
    // Fewer lines than announced, an absurd count and a negative line height.
    writeFont("Fonts/short", 16, 8, "0 -8 2000000000\n65 0 0 0 2 0");
    {
        const int lines = logLines();
        Font f("Fonts/short.tga");
        EXPECT_EQ(grFontHeight(f), 0);
        EXPECT_EQ(grGlyphWidth(f, 65), 2);
        EXPECT_EQ(logLines(), lines + 2);
        EXPECT_NE(logText().find("Fonts/short.fh: line height -8"), std::string::npos);
    }
    // Text that gives no glyph at all is said so, naming the metric file.
    writeFont("Fonts/words", 16, 8, "not a metric file\n");
    {
        const int lines = logLines();
        Font f("Fonts/words.tga");
        EXPECT_EQ(logLines(), lines + 1);
        EXPECT_NE(logText().find("Fonts/words.fh: no glyph"), std::string::npos);
    }
}

TEST(FontMetrics, GlyphSetsAndTheirCount) {
    struct Case {
        int imageHeight, lineHeight, secondRowY, rows;
    } cases[] = {
        {8, 8, 0, 1},   {16, 8, 0, 2}, {24, 8, 0, 3},
        {96, 32, 0, 3}, {40, 8, 0, 5}, {12, 8, 0, 2},  // 1.5 rounds to 2
        {11, 8, 0, 1},  {3, 8, 0, 1},                  // too low for one set: still one
        {32, 8, 8, 2},  // two glyph rows per set: a set is 16 rows high
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string base = "Fonts/rows" + std::to_string(n++);
        writeFont(base, 8, c.imageHeight,
                  "0 " + std::to_string(c.lineHeight) + " 2\n65 0 0 0 2 0\n66 2 " +
                      std::to_string(c.secondRowY) + " 0 2 0\n");
        Font f((base + ".tga").c_str());
        EXPECT_EQ(f->rows, c.rows) << base;
        EXPECT_EQ(f->setStride, c.lineHeight + c.secondRowY) << base;
    }
    struct State {
        int rows, state, set;
    } states[] = {
        {1, 0, 0}, {1, 3, 0}, {2, 0, 0}, {2, 1, 0}, {2, 2, 1}, {2, 3, 1}, {3, 0, 0},
        {3, 1, 0}, {3, 2, 1}, {3, 3, 2}, {4, 0, 0}, {4, 3, 3}, {5, 4, 4},
    };
    for (const State& s : states)
        EXPECT_EQ(grFontSetOfState(s.rows, s.state), s.set) << s.rows << " rows, state " << s.state;
}

TEST(FontMeasure, WidthsAndFit) {
    writeFont("Fonts/measure", 64, 10, "0 10 3\n65 0 0 -2 12 1\n66 20 0 1 5 2\n200 30 0 0 4 0\n");
    Font f("Fonts/measure.tga");
    EXPECT_EQ(grTextWidthA(f, "     ", 5), 25);  // blanks: count x line height / 2
    EXPECT_EQ(grTextWidthA(f, "AB", 2), 11 + 8);
    EXPECT_EQ(grTextWidthA(f, "AB", 1), 11);
    EXPECT_EQ(grTextWidthA(f, "AB", 9), 19);                    // the text ends first
    EXPECT_EQ(grTextWidthA(f, "A\tB\x01", 9), 11 + 5 + 8 + 5);  // every code below 33 is a space
    EXPECT_EQ(grTextWidthA(f, "A\xC8", 2), 15);                 // 8-bit codes above 127
    EXPECT_EQ(grTextWidth(f, u"AB\u0141", 3), 19);              // outside the table: nothing
    EXPECT_EQ(grTextWidth(f, u"AB", -1), 0);
    EXPECT_EQ(grTextWidth(nullptr, u"AB", 2), 0);
    EXPECT_EQ(grTextWidthA(f, nullptr, 2), 0);
    EXPECT_EQ(grFontHeight(nullptr), 0);
    EXPECT_EQ(grFontSpaceWidth(nullptr), 0);

    // The character that crosses the width still counts.
    EXPECT_EQ(grTextFit(f, "ABAB", 0), 0);
    EXPECT_EQ(grTextFit(f, "ABAB", 1), 1);
    EXPECT_EQ(grTextFit(f, "ABAB", 11), 1);
    EXPECT_EQ(grTextFit(f, "ABAB", 12), 2);
    EXPECT_EQ(grTextFit(f, "ABAB", 1000), 4);
    EXPECT_EQ(grTextFit(nullptr, "AB", 10), 0);
}

TEST(FontRegistry, SharedByNameAndLoadedFromBanks) {
    writeFont("Fonts/shared", 16, 8, "0 8 1\n65 0 0 0 3 0\n");
    Font a("Fonts/shared.tga");
    CGraphFont* b = grLoadFont("FONTS\\SHARED.TGA", nullptr);
    EXPECT_EQ(b, a.font);
    EXPECT_EQ(a->references(), 2u);
    EXPECT_EQ(grHandle(a.font), static_cast<HSPRITE>(a.font));
    grFreeFont(b);
    EXPECT_EQ(a->references(), 1u);
    EXPECT_EQ(grLoadFont(nullptr, nullptr), nullptr);
    EXPECT_EQ(grLoadFont("", nullptr), nullptr);
    grFreeFont(nullptr);

    // A name loaded as a plain sprite is not a font.
    writeTga24("Fonts/plain.tga", 4, 4, gray);
    HSPRITE plain = grLoadSprite("Fonts/plain.tga", nullptr, 0);
    const int lines = logLines();
    EXPECT_EQ(grLoadFont("Fonts/plain.tga", nullptr), nullptr);
    EXPECT_EQ(logLines(), lines + 1);
    EXPECT_EQ(plain->references(), 1u);
    grFreeSprite(plain);

    writeFont("Fonts/banked", 16, 8, "0 8 1\n66 4 0 0 5 0\n");
    writeText("fonts.ini",
              "[titlefont]\nname=Fonts/banked.tga\nfont=1\n"
              "[plainbank]\nname=Fonts/banked.tga\n");
    grLoadSpriteBank("fonts.ini");
    CGraphFont* banked = dynamic_cast<CGraphFont*>(grRegistryFind("titlefont"));
    ASSERT_NE(banked, nullptr);
    EXPECT_EQ(grGlyphWidth(banked, 66), 5);
    EXPECT_EQ(dynamic_cast<CGraphFont*>(grRegistryFind("plainbank")), nullptr);
    grFreeSpriteBank("fonts.ini");
    EXPECT_EQ(grRegistryFind("titlefont"), nullptr);
}

TEST(FontBundled, NormalFontLoadsAndMeasures) {
    const std::string path = std::string(VELMORA_GAME_DIR) + "/Data/Fonts/normal.tga";
    if (access(path.c_str(), R_OK) != 0 || path.size() >= 128) GTEST_SKIP() << path;
    Font f(path.c_str());
    ASSERT_NE(f.font, nullptr);
    EXPECT_GT(spriteWidth(grHandle(f.font)), 0);
    EXPECT_NE(f->alpha, nullptr);
    EXPECT_GE(grFontHeight(f), 12);
    EXPECT_LE(grFontHeight(f), 40);
    EXPECT_EQ(f->rows, 1);
    const int m = grTextWidthA(f, "M", 1);
    const int i = grTextWidthA(f, "i", 1);
    EXPECT_GT(m, i);
    EXPECT_GT(i, 0);
    EXPECT_EQ(grTextWidthA(f, "Mi", 2), m + i);
    EXPECT_GT(grGlyphWidth(f, 0xE9), 0);  // Latin-1 letters are there
    EXPECT_EQ(grTextWidth(f, u"Hello", 5), grTextWidthA(f, "Hello", 5));
}

// --- Drawing
// ---------------------------------------------------------------------------------------

// Tiny fonts of line height 4: glyph A (2 wide, extra advance 1) and glyph B (3 wide, left offset
// -1). Each glyph of each set has a colour of its own, which the target's pixels are read back
// into: a, b, c, d for A in sets 0 to 3, and A, B, C, D for B.
Rgb glyphColour(int set, int glyph) { return {40 + 50 * set, 40 + 100 * glyph, 200}; }

char labelOf(uint16_t pixel) {
    if (pixel == 0) return '.';
    for (int set = 0; set < 4; ++set)
        for (int glyph = 0; glyph < 2; ++glyph)
            if (pixel == rgb565(glyphColour(set, glyph))) return char((glyph ? 'A' : 'a') + set);
    return '?';
}

// sets glyph sets stacked in an image of imageHeight rows. With twoRows, B sits in a second glyph
// row below A (y 4), so one set is 8 rows high.
void writeTinyFont(const std::string& base, int imageHeight, bool twoRows) {
    const int stride = twoRows ? 8 : 4;
    writeTga24(base + ".tga", 8, imageHeight, [=](int x, int y) {
        const int set = y / stride;
        const int glyph = twoRows ? (y % stride) / 4 : x < 2 ? 0 : x < 5 ? 1 : 2;
        return glyph == 2 ? Rgb{0, 0, 0} : glyphColour(set, glyph);
    });
    writeText(base + ".fh", twoRows ? "0 4 2\n65 0 0 0 2 1\n66 0 4 -1 3 0\n"
                                    : "0 4 2\n65 0 0 0 2 1\n66 2 0 -1 3 0\n");
}

std::string labels(DrawTarget& t, int y, int x0, int n) {
    std::string out;
    for (int x = x0; x < x0 + n; ++x) out += labelOf(t.at(x, y));
    return out;
}

TEST(FontDraw, AlignmentsPlaceTheText) {
    writeTinyFont("Fonts/tiny1", 4, false);
    Font f("Fonts/tiny1.tga");
    DrawTarget t(64, 32, "fonttarget");
    struct Case {
        const char* text;
        int xalign, yalign;
        DrawTarget::Box box;
        const char* row;  // the top row from the box's left edge
    } cases[] = {
        {"AB", -1, -1, {20, 10, 5, 4}, "aaAAA"},
        {"AB", 0, -1, {18, 10, 5, 4}, "aaAAA"},  // 20 - 5 / 2
        {"AB", 1, -1, {15, 10, 5, 4}, "aaAAA"},
        {"AB", -1, 0, {20, 8, 5, 4}, "aaAAA"},
        {"AB", -1, 1, {20, 6, 5, 4}, "aaAAA"},
        {"A B", -1, -1, {20, 10, 7, 4}, "aa..AAA"},  // a space advances line height / 2
        {"\x01"
         "A",
         -1,
         -1,
         {22, 10, 2, 4},
         "aa"},
    };
    for (const Case& c : cases) {
        t.clear();
        grDrawTextA(f, 20, 10, c.text, 0, c.xalign, c.yalign);
        const DrawTarget::Box box = t.painted();
        EXPECT_EQ(box, c.box) << c.text << ' ' << c.xalign << ' ' << c.yalign;
        EXPECT_EQ(labels(t, box.y, box.x, box.w), c.row) << c.text;
        EXPECT_EQ(labels(t, box.y + 3, box.x, box.w), c.row) << c.text;
        // The wide and the coloured forms draw the same.
        std::u16string wide(c.text, c.text + strlen(c.text));
        t.clear();
        grDrawText(f, 20, 10, wide.c_str(), 0, c.xalign, c.yalign);
        EXPECT_EQ(t.painted(), c.box) << c.text;
        t.clear();
        grDrawTextExA(sMaterial(2, 2, 1, 30), f, 20, 10, c.text, 0xFFFFFFFF, 0, c.xalign, c.yalign);
        EXPECT_EQ(t.painted(), c.box) << c.text;
        t.clear();
        grDrawTextEx(sMaterial(2, 2, 1, 30), f, 20, 10, wide.c_str(), 0xFFFFFFFF, 0, c.xalign,
                     c.yalign);
        EXPECT_EQ(t.painted(), c.box) << c.text;
    }
    // Codes outside the table draw and advance nothing; a transparent colour draws nothing.
    t.clear();
    grDrawText(f, 20, 10, u"A\u0141B", 0, -1, -1);
    EXPECT_EQ(labels(t, 10, 20, 5), "aaAAA");
    t.clear();
    grDrawTextExA(sMaterial(2, 2, 1, 30), f, 20, 10, "AB", 0x0AFFFFFF, 0, -1, -1);
    grDrawTextA(nullptr, 20, 10, "AB", 0, -1, -1);
    grDrawTextA(f, 20, 10, nullptr, 0, -1, -1);
    EXPECT_EQ(t.painted().w, 0);
}

TEST(FontDraw, StatePicksTheGlyphSet) {
    writeTinyFont("Fonts/sets1", 4, false);
    writeTinyFont("Fonts/sets2", 8, false);
    writeTinyFont("Fonts/sets3", 12, false);
    writeTinyFont("Fonts/sets4", 16, false);
    writeTinyFont("Fonts/tworows", 16, true);
    writeTinyFont("Fonts/low", 3, false);  // too low for one set: nothing to draw
    DrawTarget t(64, 32, "settarget");
    struct Case {
        const char* font;
        const char* text;
        int state;
        char label;  // '.' for nothing drawn
        int top;
    } cases[] = {
        {"sets1", "A", 0, 'a', 10},
        {"sets1", "A", 3, 'a', 11},
        {"sets2", "A", 1, 'a', 10},
        {"sets2", "A", 2, 'b', 10},
        {"sets2", "A", 3, 'b', 11},
        {"sets3", "A", 0, 'a', 10},
        {"sets3", "A", 1, 'a', 10},
        {"sets3", "A", 2, 'b', 10},
        {"sets3", "A", 3, 'c', 11},
        {"sets4", "A", 2, 'c', 10},
        {"sets4", "A", 3, 'd', 11},
        {"tworows", "B", 0, 'A', 10},
        {"tworows", "B", 2, 'B', 10},
        {"tworows", "A", 2, 'b', 10},
        // Sets the image does not hold.
        {"sets3", "A", -1, '.', 0},
        {"sets4", "A", 7, '.', 0},
        {"low", "A", 0, '.', 0},
    };
    const int lines = logLines();
    for (const Case& c : cases) {
        const std::string name = std::string("Fonts/") + c.font + ".tga";
        Font f(name.c_str());
        for (int scaled = 0; scaled < 2; ++scaled) {
            t.clear();
            if (scaled)
                grDrawTextColorA(sMaterial(2, 2, 1, 30), f, 20, 10, 1.0f, 1.0f, c.text, 0xFFFFFFFF,
                                 c.state, -1, -1);
            else
                grDrawTextA(f, 20, 10, c.text, c.state, -1, -1);
            const DrawTarget::Box box = t.painted();
            const std::string what = name + " state " + std::to_string(c.state);
            if (c.label == '.') {
                EXPECT_EQ(box.w, 0) << what;
                continue;
            }
            EXPECT_EQ(box.y, c.top) << what;
            EXPECT_EQ(box.h, 4) << what;
            EXPECT_EQ(labelOf(t.at(box.x, box.y)), c.label) << what;
            EXPECT_EQ(labelOf(t.at(box.x + box.w - 1, box.y + 3)), c.label) << what;
        }
    }
    EXPECT_EQ(logLines(), lines);  // skipped glyphs are no drawing errors
}

TEST(FontDraw, ScaledTextRoundsEachGlyph) {
    writeTinyFont("Fonts/scaled", 4, false);
    Font f("Fonts/scaled.tga");
    DrawTarget t(64, 32, "scaletarget");
    struct Case {
        float sx, sy;
        int xalign, yalign;
        DrawTarget::Box box;
        const char* row;
    } cases[] = {
        {2, 2, -1, -1, {20, 10, 10, 8}, "aaaaAAAAAA"},
        {2, 2, 0, 0, {15, 6, 10, 8}, "aaaaAAAAAA"},
        {2, 2, 1, 1, {10, 2, 10, 8}, "aaaaAAAAAA"},
        // A: 3 wide at 20; B at round(24.5 - 1.5) = 23, round(4.5) = 4 wide.
        {1.5f, 1.5f, -1, -1, {20, 10, 7, 6}, "aaaAAAA"},
        {1, 0.5f, -1, -1, {20, 10, 5, 2}, "aaAAA"},
        {1, 0.5f, -1, 1, {20, 8, 5, 2}, "aaAAA"},
    };
    for (const Case& c : cases) {
        t.clear();
        grDrawTextColorA(sMaterial(2, 2, 1, 30), f, 20, 10, c.sx, c.sy, "AB", 0xFFFFFFFF, 0,
                         c.xalign, c.yalign);
        const DrawTarget::Box box = t.painted();
        EXPECT_EQ(box, c.box) << c.sx << ' ' << c.sy << ' ' << c.xalign << ' ' << c.yalign;
        EXPECT_EQ(labels(t, box.y, box.x, box.w), c.row) << c.sx;
        t.clear();
        grDrawTextColor(sMaterial(2, 2, 1, 30), f, 20, 10, c.sx, c.sy, u"AB", 0xFFFFFFFF, 0,
                        c.xalign, c.yalign);
        EXPECT_EQ(t.painted(), c.box) << c.sx;
    }
    t.clear();
    grDrawTextColorA(sMaterial(2, 2, 1, 30), f, 20, 10, 2.0f, 2.0f, "A B", 0xFFFFFFFF, 0, -1, -1);
    EXPECT_EQ(labels(t, 10, 20, 14), "aaaa....AAAAAA");  // B at 20 + 6 + 4 - 2
    t.clear();
    grDrawTextColorA(sMaterial(2, 2, 1, 30), f, 20, 10, 0.0f, 1.0f, "AB", 0xFFFFFFFF, 0, -1, -1);
    grDrawTextColorA(sMaterial(2, 2, 1, 30), f, 20, 10, 1.0f, 0.0f, "AB", 0xFFFFFFFF, 0, -1, -1);
    grDrawTextColorA(sMaterial(2, 2, 1, 30), nullptr, 20, 10, 1, 1, "AB", 0xFFFFFFFF, 0, -1, -1);
    EXPECT_EQ(t.painted().w, 0);
}

// A line is drawn in one go; its pixels must be those of each glyph drawn by itself, at the
// edges of the clip rectangle too, for the materials text uses.
TEST(FontDraw, LinesMatchTheirGlyphsDrawnOneByOne) {
    std::string metrics = "0 9 15\n";
    for (int i = 0; i < 15; ++i)  // widths 1 to 15 side by side, left offsets -1 to 1
        metrics += std::to_string(65 + i) + " " + std::to_string(i * (i + 1) / 2) + " 0 " +
                   std::to_string(i % 3 - 1) + " " + std::to_string(i + 1) + " " +
                   std::to_string(i % 2) + "\n";
    writeTga32("Fonts/widths.tga", 128, 9, [](int x, int y) { return Rgb{x * 2, 255 - y * 20, 90}; },
               [](int x, int y) { return (x * 37 + y * 101) % 7 == 0 ? 0 : (x * 53 + y * 29) % 256; });
    writeText("Fonts/widths.fh", metrics);
    Font f("Fonts/widths.tga");
    ASSERT_EQ(grGlyphWidth(f, 'O'), 15);
    const char* text = "ABCDE FGHIJKLMNO OA";
    struct Case {
        sMaterial material;
        uint32_t colour;
        bool plain;
    } cases[] = {{sMaterial(2, 2, 1, 30), 0xFFFFFFFF, true},
                 {sMaterial(4, 4, 1, 30), 0xC0FFD080, false},
                 {sMaterial(2, 2, 1, 31), 0xFFFFFFFF, false}};
    const int origins[][2] = {{2, 3}, {-7, -4}, {30, 24}, {-40, 10}};
    for (const Case& c : cases) {
        for (const auto& o : origins) {
            SCOPED_TRACE(testing::Message() << o[0] << "," << o[1] << (c.plain ? " plain" : ""));
            DrawTarget line(90, 30, "line"), glyphs(90, 30, "glyphs");
            for (DrawTarget* t : {&line, &glyphs}) {
                for (int y = 0; y < 30; ++y)
                    for (int x = 0; x < 90; ++x) t->row(y)[x] = static_cast<uint16_t>(x * 977 + y * 131);
                grSetClip(t->sprite, 1, 2, 85, 28);
            }
            grSetTarget(line.sprite);
            if (c.plain) grDrawTextA(f, o[0], o[1], text, 0, -1, -1);
            else grDrawTextExA(c.material, f, o[0], o[1], text, c.colour, 0, -1, -1);
            grSetTarget(glyphs.sprite);
            int pen = o[0];
            for (const char* p = text; *p; ++p) {
                if (*p == ' ') {
                    pen += grFontSpaceWidth(f);
                    continue;
                }
                int x, y, w, h, left, extra;
                grGlyphInfo(f, *p, &x, &y, &w, &h, &left, &extra);
                grDraw(c.material, pen + left, o[1], w, h, grHandle(f), x, y, w, h, c.colour, 0);
                pen += left + w + extra;
            }
            int drawn = 0;
            for (int y = 0; y < 30; ++y) {
                ASSERT_EQ(memcmp(line.row(y), glyphs.row(y), 90 * 2), 0) << "row " << y;
                for (int x = 0; x < 90; ++x) drawn += line.at(x, y) != static_cast<uint16_t>(x * 977 + y * 131);
            }
            EXPECT_GT(drawn, 30);
        }
    }
}

}  // namespace
