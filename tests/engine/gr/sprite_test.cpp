// Sprites read from image files: RGB565 pixels, the black key, alpha planes, frames, reloads,
// gray rows and flips, and what a sprite holds when its files do not fit together.
#include "engine/gr/sprite.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/gr/registry.h"
#include "gr_fixtures.h"

namespace {

Rgb pattern(int x, int y) { return {40 + x * 50, 200 - y * 60, 10 + (x + y) * 30}; }

uint16_t pixelAt(HSPRITE sprite, int x, int y) {
    grLockSprite(sprite);
    const uint8_t* row = reinterpret_cast<const uint8_t*>(sprite->pixels) + y * sprite->pitch;
    return reinterpret_cast<const uint16_t*>(row)[x];
}

// A sprite loaded for one scope; the registry is shared by the whole process.
struct Loaded {
    HSPRITE sprite;
    explicit Loaded(const char* file, const char* alpha = nullptr)
        : sprite(grLoadSprite(file, alpha, 0)) {}
    ~Loaded() { grFreeSprite(sprite); }
    CSprite* operator->() const { return sprite; }
};

TEST(Sprite, ReadsRgb565IntoASurface) {
    writeTga24("Data/Menu/pattern.tga", 4, 3, pattern);
    Loaded s("Data/Menu/pattern.tga");
    ASSERT_NE(s.sprite, nullptr);
    EXPECT_EQ(spriteWidth(s.sprite), 4);
    EXPECT_EQ(spriteHeight(s.sprite), 3);
    EXPECT_EQ(s->frames, 1);
    EXPECT_EQ(s->period, 1);
    EXPECT_NE(s->surface, nullptr);
    EXPECT_EQ(s->alpha, nullptr);
    EXPECT_EQ(s->clipX1, 4);
    EXPECT_EQ(s->clipY1, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(pixelAt(s.sprite, x, y), rgb565(pattern(x, y)));
    EXPECT_EQ(spriteWidth(nullptr), 0);
    EXPECT_EQ(spriteHeight(nullptr), 0);
}

TEST(Sprite, BlackIsTheKeyExceptInJpegImages) {
    auto blackCorner = [](int x, int y) {
        return x < 8 && y < 8 ? Rgb{0, 0, 0} : Rgb{200, 180, 90};
    };
    writeTga24("black.tga", 16, 16, blackCorner);
    writeTga24("noblack.tga", 16, 16, [](int, int) { return Rgb{8, 4, 8}; });
    writeJpeg("photo.jpg", 16, 16, blackCorner);
    writeJpeg("PHOTO2.JPG", 16, 16, blackCorner);
    struct Case {
        const char* file;
        bool key;
    } cases[] = {
        {"black.tga", true}, {"noblack.tga", false}, {"photo.jpg", false}, {"PHOTO2.JPG", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Loaded s(c.file);
        ASSERT_EQ(spriteWidth(s.sprite), 16);
        EXPECT_EQ(s->keyPixels(), c.key);
        // The JPEG cases hold pure black too: only the name keeps the key off.
        if (c.file[0] != 'n') {
            EXPECT_EQ(pixelAt(s.sprite, 2, 2), 0);
        }
        EXPECT_EQ(s->references(), 1u);
    }
}

TEST(Sprite, AlphaPlanes) {
    auto gray = [](int x, int y) { return x * 60 + y * 7; };
    // A separate gray image beside the colour image, with and without a folder.
    writeTga24("Data/Sprites/coin.tga", 4, 2, pattern);
    writeGrayTga("Data/Sprites/_coin.tga", 4, 2, gray);
    writeTga24("bare.tga", 4, 2, pattern);
    writeGrayTga("_bare.tga", 4, 2, gray);
    // A named alpha image instead of the derived one.
    writeTga24("named.tga", 4, 2, pattern);
    writeGrayTga("mask.tga", 4, 2, gray);
    // A 32-bit image brings its own alpha and never reads the file beside it.
    writeTga32("own.tga", 4, 2, pattern, [](int x, int y) { return 255 - x - y; });
    writeGrayTga("_own.tga", 4, 2, gray);
    struct Case {
        const char* file;
        const char* alpha;
        bool own;
    } cases[] = {{"Data/Sprites/coin.tga", nullptr, false},
                 {"bare.tga", "", false},
                 {"named.tga", "mask.tga", false},
                 {"own.tga", nullptr, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Loaded s(c.file, c.alpha);
        ASSERT_EQ(spriteWidth(s.sprite), 4);
        ASSERT_NE(s->alpha, nullptr);
        EXPECT_EQ(s->surface == nullptr, c.own);  // own alpha: plain memory
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(s->alpha[y * 4 + x], c.own ? 255 - x - y : gray(x, y));
                EXPECT_EQ(pixelAt(s.sprite, x, y), rgb565(pattern(x, y)));
            }
    }
    char name[128];
    ASSERT_TRUE(grAlphaFileName("Data/Menu/button.png", name, sizeof name));
    EXPECT_STREQ(name, "Data/Menu/_button.tga");
    ASSERT_TRUE(grAlphaFileName("button.png", name, sizeof name));
    EXPECT_STREQ(name, "_button.tga");
    ASSERT_TRUE(grAlphaFileName("a.b\\noext", name, sizeof name));
    EXPECT_STREQ(name, "a.b/_noext.tga");
    EXPECT_FALSE(grAlphaFileName("Data/", name, sizeof name));
    EXPECT_FALSE(grAlphaFileName("Data/abc.png", name, 13));  // "Data/_abc.tga" and its end
}

TEST(Sprite, AlphaImageThatIsNotGrayIsReportedAndUsed) {
    writeTga24("tinted.tga", 2, 2, pattern);
    writeTga24("_tinted.tga", 2, 2, [](int x, int y) { return Rgb{1, 2, 100 + x + 10 * y}; });
    Loaded s("tinted.tga");
    EXPECT_NE(logText().find("\"Error : alpha format must be gray scale\": _tinted.tga"),
              std::string::npos);
    ASSERT_NE(s->alpha, nullptr);
    EXPECT_EQ(s->alpha[3], 111);  // the lowest byte, blue
}

TEST(Sprite, MismatchedFilesLeaveAConsistentSprite) {
    // Alpha larger than the colour pixels: not used, the sprite keeps its own size.
    writeTga24("small.tga", 2, 2, pattern);
    writeGrayTga("_small.tga", 4, 4, [](int, int) { return 9; });
    // Alpha smaller than the colour pixels: the sprite shrinks to it, inside its pixels.
    writeTga24("large.tga", 4, 4, pattern);
    writeGrayTga("_large.tga", 2, 3, [](int, int) { return 9; });
    // Alpha without a colour image.
    writeGrayTga("_lonely.tga", 4, 4, [](int, int) { return 9; });

    int before = logLines();
    {
        Loaded s("small.tga");
        EXPECT_EQ(logLines(), before + 1);
        EXPECT_NE(logText().find("_small.tga: 4x4 is larger than the image small.tga (2x2)"),
                  std::string::npos);
        EXPECT_EQ(s->width, 2);
        EXPECT_EQ(s->height, 2);
        EXPECT_EQ(s->alpha, nullptr);
        EXPECT_NE(s->surface, nullptr);
    }
    {
        Loaded s("large.tga");
        EXPECT_EQ(s->width, 2);
        EXPECT_EQ(s->height, 3);
        ASSERT_NE(s->alpha, nullptr);
        EXPECT_EQ(s->surface->width, 4);
        EXPECT_EQ(s->surface->height, 4);
        EXPECT_EQ(pixelAt(s.sprite, 1, 2), rgb565(pattern(1, 2)));
    }
    before = logLines();
    {
        Loaded s("lonely.tga");
        ASSERT_NE(s.sprite, nullptr);  // registered all the same
        EXPECT_EQ(s->width, 0);
        EXPECT_EQ(s->height, 0);
        EXPECT_EQ(s->alpha, nullptr);
        EXPECT_EQ(s->pixels, nullptr);
        EXPECT_EQ(s->surface, nullptr);
        const std::string log = logText();
        EXPECT_NE(log.find("_lonely.tga: no colour pixels"), std::string::npos);
        EXPECT_NE(log.find("\"file not found\": lonely.tga"), std::string::npos);
    }
}

TEST(Sprite, UnreadableImagesLeaveNoPixels) {
    writeText("picture.bmp", "BM not a format we read");
    writeText("broken.jpg", std::string("\xFF\xD8\xFF\xE0 truncated", 14));
    writeText("broken.png", "\x89PNG\r\n\x1a\n");
    writeGrayTga("_picture.tga", 2, 2, [](int, int) { return 1; });
    writeGrayTga("_broken.tga", 2, 2, [](int, int) { return 1; });
    // An image that does not decode goes on as a missing one: the alpha image is looked for
    // and "file not found" follows. An unknown format stops at its own box.
    struct Case {
        const char* file;
        std::vector<const char*> inOrder;
    } cases[] = {{"picture.bmp", {"\"unknown file format\": picture.bmp"}},
                 {"broken.jpg",
                  {"jpeg: broken.jpg", "\"JPEG have progressive package\": broken.jpg",
                   "_broken.tga: no colour pixels", "\"file not found\": broken.jpg"}},
                 {"broken.png",
                  {"png: broken.png", "\"JPEG have progressive package\": broken.png",
                   "_broken.tga: no colour pixels", "\"file not found\": broken.png"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const size_t logged = logText().size();
        Loaded s(c.file);
        ASSERT_NE(s.sprite, nullptr);
        EXPECT_EQ(s->width, 0);
        EXPECT_EQ(s->height, 0);
        EXPECT_EQ(s->pixels, nullptr);
        EXPECT_EQ(s->surface, nullptr);
        EXPECT_EQ(s->alpha, nullptr);
        const std::string log = logText().substr(logged);
        size_t at = 0;
        for (const char* line : c.inOrder) {
            at = log.find(line, at);
            ASSERT_NE(at, std::string::npos) << line << " in\n" << log;
        }
        EXPECT_EQ(log.find("(memory block)"), std::string::npos);
        EXPECT_EQ(log.find("file not found") == std::string::npos, c.inOrder.size() == 1);
    }
}

TEST(Sprite, FrameOfTime) {
    CSprite s;
    s.period = 1000;
    s.frames = 4;
    const int cases[][2] = {{0, 0},   {249, 0}, {250, 1},  {500, 2},  {749, 2},
                            {750, 3}, {999, 3}, {1000, 0}, {2250, 1}, {-5, 0}};
    for (const auto& c : cases) EXPECT_EQ(grFrameOfTime(&s, c[0]), c[1]) << c[0];
    s.period = 0;  // damaged settings pick frame 0 instead of dividing by zero
    s.frames = 0;
    EXPECT_EQ(grFrameOfTime(&s, 123), 0);
}

TEST(Sprite, ReloadKeepsTheHandle) {
    writeTga24("Data/reload.tga", 2, 2, [](int, int) { return Rgb{255, 0, 0}; });
    HSPRITE first = grLoadSprite("Data/reload.tga", nullptr, 0);
    ASSERT_NE(first, nullptr);
    writeTga24("Data/reload.tga", 3, 1, [](int, int) { return Rgb{0, 0, 255}; });
    HSPRITE again = grLoadSprite("Data/reload.tga", nullptr, 0);
    EXPECT_EQ(again, first);
    EXPECT_EQ(spriteWidth(again), 2);  // without the flag the pixels stay
    HSPRITE reloaded = grLoadSprite("DATA\\Reload.tga", nullptr, 1);
    EXPECT_EQ(reloaded, first);
    EXPECT_EQ(first->references(), 3u);
    EXPECT_EQ(spriteWidth(first), 3);
    EXPECT_EQ(spriteHeight(first), 1);
    EXPECT_EQ(pixelAt(first, 2, 0), rgb565({0, 0, 255}));

    // The file is gone: the sprite keeps its size with blank pixels, and says nothing.
    ASSERT_EQ(unlink("Data/reload.tga"), 0);
    const size_t logged = logText().size();
    grLoadSprite("Data/reload.tga", nullptr, 1);
    EXPECT_EQ(spriteWidth(first), 3);
    EXPECT_EQ(pixelAt(first, 2, 0), 0);
    EXPECT_EQ(logText().find("file not found", logged), std::string::npos);
    for (int i = 0; i < 4; ++i) grFreeSprite(first);
    EXPECT_EQ(grRegistryFind("Data/reload.tga"), nullptr);
}

TEST(Sprite, GrayRowsAndFlips) {
    const Rgb colours[2][3] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
                               {{255, 255, 255}, {100, 50, 25}, {8, 4, 8}}};
    auto colour = [&](int x, int y) { return colours[y][x]; };
    auto alpha = [](int x, int y) { return 10 * y + x; };
    writeTga32("tiny.tga", 3, 2, colour, alpha);
    Loaded s("tiny.tga");
    ASSERT_EQ(spriteWidth(s.sprite), 3);

    grFlipSprite(s.sprite, -1, 1);
    EXPECT_EQ(pixelAt(s.sprite, 0, 0), rgb565(colours[0][2]));
    EXPECT_EQ(pixelAt(s.sprite, 2, 1), rgb565(colours[1][0]));
    EXPECT_EQ(s->alpha[0], 2);
    EXPECT_EQ(s->alpha[3], 12);
    grFlipSprite(s.sprite, 1, -1);
    EXPECT_EQ(pixelAt(s.sprite, 0, 0), rgb565(colours[1][2]));
    EXPECT_EQ(s->alpha[0], 12);
    grFlipSprite(s.sprite, -1, -1);  // back where it started
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(pixelAt(s.sprite, x, y), rgb565(colours[y][x]));
            EXPECT_EQ(s->alpha[y * 3 + x], alpha(x, y));
        }

    auto gray = [](Rgb c) {
        const unsigned p = rgb565(c);
        const unsigned avg = (((p >> 8) & 248) + ((p >> 3) & 252) + (p & 31) * 8) / 3;
        return ((avg >> 3) << 11) | ((avg & ~3u) << 3) | (avg >> 3);
    };
    EXPECT_EQ(gray({255, 0, 0}), 0x528Au);
    grGrayRows(s.sprite, 1, 1);  // an empty range changes nothing
    grGrayRows(s.sprite, 1, 2);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(pixelAt(s.sprite, x, 0), rgb565(colours[0][x]));
        EXPECT_EQ(pixelAt(s.sprite, x, 1), gray(colours[1][x]));
    }
    grGrayRows(s.sprite, -3, 99);  // rows outside the sprite are left out
    EXPECT_EQ(pixelAt(s.sprite, 0, 0), gray(colours[0][0]));
}

TEST(Sprite, BundledPictureLoads) {
    const std::string path = std::string(VELMORA_GAME_DIR) + "/Data/Pictures/hotel.jpg";
    if (access(path.c_str(), R_OK) != 0 || path.size() >= 128) GTEST_SKIP() << path;
    Loaded s(path.c_str());
    EXPECT_GT(spriteWidth(s.sprite), 0);
    EXPECT_GT(spriteHeight(s.sprite), 0);
    EXPECT_FALSE(s->keyPixels());
}

}  // namespace
