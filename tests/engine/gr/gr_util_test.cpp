// INI value readers, the "file|period|count" sprite text, free-and-null, and the destination
// rectangles of the scaled sprite draws.
#include "engine/gr/gr_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "draw_target.h"
#include "engine/gr/registry.h"
#include "gr_fixtures.h"

namespace {

Rgb gray(int, int) { return {90, 90, 90}; }

constexpr const char* kIni = "values.ini";

void writeValues() {
    writeTga24("Sprites/still.tga", 4, 16, gray);
    writeTga24("Sprites/anim.tga", 4, 16, gray);
    writeTga24("Sprites/zero.tga", 4, 16, gray);
    writeTga24("Fonts/f.tga", 16, 8, gray);
    writeText("Fonts/f.fh", "0 8 1\n65 0 0 0 3 0\n");
    writeText(kIni,
              "greeting=Hello there\n"
              "[s]\n"
              "pair= 3 , -4\n"
              "single=12\n"
              "nocomma=5 6\n"
              "tight=7,8\n"
              "leading=,9\n"
              "word=abc\n"
              "long=abcdefghij\n"
              "empty=\n"
              "still=Sprites/still.tga, 100\n"
              "anim=Sprites/anim.tga, 100, 4\n"
              "zero=Sprites/zero.tga, 0, 0\n"
              "commas=, ,\n"
              "font=Fonts/f.tga\n");
}

TEST(IniReaders, IntPairs) {
    writeValues();
    struct Case {
        const char* key;
        int a, b;
        bool ok;
    } cases[] = {
        {"pair", 3, -4, true},  {"single", 12, 0, false}, {"nocomma", 5, 0, false},
        {"tight", 7, 8, true},  {"leading", 0, 9, true},  {"word", 0, 0, false},
        {"empty", 0, 0, false}, {"absent", 0, 0, false},
    };
    for (const Case& c : cases) {
        int a = 99, b = 99;
        EXPECT_EQ(iniParseIntPair(&a, &b, kIni, "s", c.key), c.ok) << c.key;
        EXPECT_EQ(a, c.a) << c.key;
        EXPECT_EQ(b, c.b) << c.key;
        Point2i p(99, 99);
        EXPECT_EQ(iniReadIntPair(&p, kIni, "s", c.key), c.ok) << c.key;
        EXPECT_EQ(p.x, c.a) << c.key;
        EXPECT_EQ(p.y, c.b) << c.key;
    }
    int a = 99, b = 99;
    EXPECT_FALSE(iniParseIntPair(&a, &b, kIni, nullptr, "pair"));
    EXPECT_EQ(a, 0);
    EXPECT_FALSE(iniParseIntPair(&a, &b, nullptr, "s", "pair"));
}

TEST(IniReaders, StringsAndTexts) {
    writeValues();
    char buf[5];
    memset(buf, 'x', sizeof buf);
    EXPECT_TRUE(iniReadString(buf, sizeof buf, kIni, "s", "long"));
    EXPECT_STREQ(buf, "abcd");
    EXPECT_TRUE(iniReadString(buf, sizeof buf, kIni, "s", "empty"));
    EXPECT_STREQ(buf, "");
    memset(buf, 'x', sizeof buf);
    EXPECT_FALSE(iniReadString(buf, sizeof buf, kIni, "s", "absent"));
    EXPECT_EQ(std::string(buf, sizeof buf), std::string(sizeof buf, '\0'));
    EXPECT_FALSE(iniReadString(buf, 0, kIni, "s", "long"));
    EXPECT_FALSE(iniReadString(nullptr, 5, kIni, "s", "long"));

    char16_t* text = iniReadText(kIni, "greeting");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text), u"Hello there");
    free(text);
    EXPECT_EQ(iniReadText(kIni, "absent"), nullptr);
    EXPECT_EQ(iniReadText(kIni, "pair"), nullptr);  // inside a section
    EXPECT_EQ(iniReadText(kIni, ""), nullptr);
    EXPECT_EQ(iniReadText(nullptr, "greeting"), nullptr);
}

TEST(IniReaders, AnimatedSpritesAndFonts) {
    writeValues();
    const int before = grRegistryCount();
    HSPRITE still = iniReadAnimSprite(kIni, "s", "still");
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(grSpriteFrames(still), 1);
    EXPECT_EQ(spriteHeight(still), 16);

    HSPRITE anim = iniReadAnimSprite(kIni, "s", "anim");
    EXPECT_EQ(grSpriteFrames(anim), 4);
    EXPECT_EQ(grSpriteTime(anim), 100);
    EXPECT_EQ(spriteHeight(anim), 4);

    // Zeros would divide the frame rule: taken as 1, logged.
    const int lines = logLines();
    HSPRITE zero = iniReadAnimSprite(kIni, "s", "zero");
    EXPECT_EQ(logLines(), lines + 1);
    EXPECT_EQ(grSpriteFrames(zero), 1);
    EXPECT_EQ(grSpriteTime(zero), 1);
    EXPECT_EQ(spriteHeight(zero), 16);

    EXPECT_EQ(iniReadAnimSprite(kIni, "s", "absent"), nullptr);
    EXPECT_EQ(iniReadAnimSprite(kIni, "s", "empty"), nullptr);
    EXPECT_EQ(iniReadAnimSprite(kIni, "s", "commas"), nullptr);

    CGraphFont* font = iniReadFont(kIni, "s", "font");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(grGlyphWidth(font, 'A'), 3);
    EXPECT_EQ(iniReadFont(kIni, "s", "absent"), nullptr);

    spriteFree(&still);
    spriteFree(&anim);
    spriteFree(&zero);
    EXPECT_EQ(still, nullptr);
    spriteFree(&still);  // null: nothing
    spriteFree(nullptr);
    fontFree(&font);
    EXPECT_EQ(font, nullptr);
    fontFree(&font);
    EXPECT_EQ(grRegistryCount(), before);
}

TEST(SpriteBarSpec, NameWithPeriodAndCount) {
    struct Case {
        const char* text;
        const char* name;  // what is left of the text
        int frames, period;
    } cases[] = {
        {"Sprites/a.tga", "Sprites/a.tga", 1, 1},
        {"Sprites/b.tga|100|4", "Sprites/b.tga", 4, 100},
        {"Sprites/c.tga|0|4", "Sprites/c.tga", 1, 1},
        {"Sprites/d.tga|100|0", "Sprites/d.tga", 1, 1},
        {"Sprites/e.tga|100|x", "Sprites/e.tga", 1, 1},
        {"Sprites/f.tga|100", "Sprites/f.tga", 1, 1},
    };
    for (const Case& c : cases) {
        writeTga24(c.name, 2, 8, gray);
        char text[64];
        strcpy(text, c.text);
        HSPRITE s = loadSpriteBarSpec(text);
        ASSERT_NE(s, nullptr) << c.text;
        EXPECT_STREQ(text, c.name);
        EXPECT_STREQ(s->imageFile, c.name);
        EXPECT_EQ(grSpriteFrames(s), c.frames) << c.text;
        EXPECT_EQ(grSpriteTime(s), c.period) << c.text;
        grFreeSprite(s);
    }
    char empty[1] = "";
    EXPECT_EQ(loadSpriteBarSpec(empty), nullptr);
    EXPECT_EQ(loadSpriteBarSpec(nullptr), nullptr);
}

// A 64 x 32 sprite with a colour per quadrant, so that the drawn rectangle's top-left pixel tells
// whether it was mirrored.
const Rgb kQuadrant[2][2] = {{{200, 40, 40}, {40, 200, 40}}, {{40, 40, 200}, {200, 200, 40}}};

enum Corner { kPlain, kMirroredX, kMirroredY };

TEST(ScaledDraws, DestinationRectangles) {
    writeTga24("Sprites/quad.tga", 64, 32,
               [](int x, int y) { return kQuadrant[y >= 16][x >= 32]; });
    HSPRITE s = grLoadSprite("Sprites/quad.tga", nullptr, 0);
    DrawTarget t(200, 150, "scaledtarget");
    const sMaterial plain(2, 2, 1, 30);
    const uint32_t white = 0xFFFFFFFF;
    struct Case {
        const char* what;
        DrawTarget::Box box;
        Corner corner;
        std::function<void()> draw;
    } cases[] = {
        {"half",
         {84, 92, 32, 16},
         kPlain,
         [&] { drawSpriteScaled(100, 100, s, 0.5f, white, 0, 0, 0, 0); }},
        {"half flipX",
         {84, 92, 32, 16},
         kMirroredX,
         [&] { drawSpriteScaled(100, 100, s, 0.5f, white, 1, 0, 0, 0); }},
        {"whole",
         {68, 84, 64, 32},
         kPlain,
         [&] { drawSpriteScaled(100, 100, s, 1.0f, white, 0, 0, 0, 0); }},
        {"anchored",
         {100, 100, 32, 16},
         kPlain,
         [&] { drawSpriteScaled(100, 100, s, 0.5f, white, 0, 0, 1, 1); }},
        {"XY grows nothing",
         {68, 92, 64, 16},
         kPlain,
         [&] { drawSpriteScaledXY(100, 100, s, 2.0f, 0.5f, white, 0, 0, 0, 0); }},
        {"XY flipY",
         {92, 100, 16, 32},
         kMirroredY,
         [&] { drawSpriteScaledXY(100, 100, s, 0.25f, 1.0f, white, 0, 1, 0, 1); }},
        {"shrunk grows nothing",
         {68, 84, 64, 32},
         kPlain,
         [&] { drawSpriteShrunk(100, 100, s, 2.0f, white, 0, 0, 0, 0, 0); }},
        {"shrunk",
         {100, 92, 32, 16},
         kPlain,
         [&] { drawSpriteShrunk(100, 100, s, 0.5f, white, 0, 0, 0, 1, 0); }},
        {"Ex",
         {52, 76, 96, 48},
         kMirroredY,
         [&] { drawSpriteScaledEx(plain, 100, 100, s, 1.5f, white, 0, 0, 1, 0, 0); }},
        {"XYEx half height",
         {68, 92, 64, 16},
         kPlain,
         [&] { drawSpriteScaledXYEx(plain, 100, 100, s, 1, 0.5f, white, 0, 0, 0, 0, 0); }},
        {"XYEx left top",
         {100, 100, 64, 16},
         kPlain,
         [&] { drawSpriteScaledXYEx(plain, 100, 100, s, 1, 0.5f, white, 0, 0, 0, 1, 1); }},
        {"XYEx right bottom",
         {36, 84, 64, 16},
         kPlain,
         [&] { drawSpriteScaledXYEx(plain, 100, 100, s, 1, 0.5f, white, 0, 0, 0, -1, -1); }},
    };
    for (const Case& c : cases) {
        t.clear();
        c.draw();
        const DrawTarget::Box box = t.painted();
        EXPECT_EQ(box, c.box) << c.what;
        const Rgb corner = c.corner == kPlain       ? kQuadrant[0][0]
                           : c.corner == kMirroredX ? kQuadrant[0][1]
                                                    : kQuadrant[1][0];
        if (box.w) {
            EXPECT_EQ(t.at(box.x, box.y), rgb565(corner)) << c.what;
        }
    }
    t.clear();
    drawSpriteScaled(100, 100, s, 0.5f, 0x0AFFFFFF, 0, 0, 0, 0);  // too transparent
    drawSpriteScaled(100, 100, nullptr, 0.5f, white, 0, 0, 0, 0);
    EXPECT_EQ(t.painted().w, 0);
    grFreeSprite(s);
}

}  // namespace
