// The display under SDL's dummy driver: set-up in the platform window, presenting the back
// buffer, switching to full screen and back, closing with every sprite freed, failed set-ups.
#include "engine/gr/display.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/data/ini.h"
#include "engine/gr/registry.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "gr_fixtures.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

struct Mode {
    int width, height, bits, fullScreen;
};

Mode currentMode() {
    Mode m;
    grGetMode(&m.width, &m.height, &m.bits, &m.fullScreen);
    return m;
}

void useSettings(const std::string& main) {
    writeText("game.ini", "[main]\n" + main);
    iniFreeAll();
}

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        useSettings("");
        ASSERT_TRUE(platInit());
        ASSERT_TRUE(platWindowOpen(u"Velmora", 20, 30, kWidth, kHeight, false));
    }
    void TearDown() override {
        grDone();
        engineWindowReset();
        platDone();
    }
};

TEST(DisplayClosed, ReportsNothingAndCopes) {
    const Mode m = currentMode();
    EXPECT_EQ(m.width | m.height | m.bits | m.fullScreen, 0);
    EXPECT_EQ(grIsInited(), 0);
    EXPECT_EQ(grBackBuffer(), nullptr);
    grPresent();
    grDone();
    EXPECT_STREQ(grErrorName(0), "DD_OK");
    EXPECT_STREQ(grErrorName(0x80004005u), "DDERR_GENERIC");
    EXPECT_STREQ(grErrorName(0x88760000u | 90), "DDERR_HEIGHTALIGN");
    EXPECT_STREQ(grErrorName(0x88760000u | 680), "DDERR_NOTPAGELOCKED");
    EXPECT_STREQ(grErrorName(0x88760000u | 1), "not found");
    EXPECT_STREQ(grErrorName(0x12345678u), "not found");
}

TEST(DisplayClosed, NoWindowIsReportedAndLeavesNoDisplay) {
    const int lines = logLines();
    EXPECT_EQ(grInit(kWidth, kHeight, 32, 0), -1);
    const std::string log = logText();
    EXPECT_NE(log.find("grInit: no window"), std::string::npos);
    EXPECT_NE(log.find("\"You should put GAME.INI into the projects directory\": "
                       "Window did't create!"),
              std::string::npos);
    EXPECT_EQ(logLines(), lines + 2);
    EXPECT_EQ(grIsInited(), 0);
    EXPECT_EQ(grBackBuffer(), nullptr);
    EXPECT_EQ(currentMode().width, 0);
    grPresent();
}

TEST_F(Display, SizeThatCannotBeMadeLeavesNoDisplay) {
    EXPECT_EQ(grInit(0, kHeight, 32, 0), -1);
    EXPECT_EQ(grInit(40000, kHeight, 32, 0), -1);
    EXPECT_EQ(grIsInited(), 0);
    EXPECT_EQ(grBackBuffer(), nullptr);
    EXPECT_EQ(currentMode().width, 0);
    grPresent();
    // A good size afterwards still works.
    EXPECT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    EXPECT_NE(grBackBuffer(), nullptr);
}

TEST_F(Display, OpensOnceAndASecondCallChangesNothing) {
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    EXPECT_EQ(grIsInited(), 1);
    const Mode m = currentMode();
    EXPECT_EQ(m.width, kWidth);
    EXPECT_EQ(m.height, kHeight);
    EXPECT_EQ(m.bits, 32);
    EXPECT_EQ(m.fullScreen, 0);
    CSpriteExt* back = grBackBuffer();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(grRegistryAt(0), back);
    EXPECT_EQ(back->clipX1, kWidth);
    EXPECT_EQ(back->clipY1, kHeight);

    platWindowSetPos(70, 80);
    EXPECT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    int x, y, w, h;
    platWindowGetRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 70);
    EXPECT_EQ(y, 80);
    EXPECT_EQ(grBackBuffer(), back);
}

TEST_F(Display, PresentsTheBackBuffer) {
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    CSpriteExt* back = grBackBuffer();
    grLockSprite(back);
    ASSERT_NE(back->pixels, nullptr);
    for (int y = 0; y < kHeight; ++y) {
        uint16_t* row =
            reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(back->pixels) + y * back->pitch);
        for (int x = 0; x < kWidth; ++x) row[x] = static_cast<uint16_t>(x * 1021 + y * 331 + 7);
    }
    grBeginFrame();
    grPresent();
    EXPECT_EQ(back->pixels, nullptr);  // presenting unlocks
    int w = 0, h = 0;
    const uint16_t* shown = platLastFrame(&w, &h);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(w, kWidth);
    ASSERT_EQ(h, kHeight);
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            wrong += shown[y * kWidth + x] != static_cast<uint16_t>(x * 1021 + y * 331 + 7);
    EXPECT_EQ(wrong, 0);
}

TEST_F(Display, DrawingTargetsTheBackBufferUntilItCloses) {
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    EXPECT_EQ(grScreen(), grBackBuffer());
    grDrawRect(0, 0, kWidth, kHeight, 0xFF0000FFu);  // opaque blue
    grPresent();
    int w = 0, h = 0;
    const uint16_t* shown = platLastFrame(&w, &h);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown[0], 0x001F);
    EXPECT_EQ(shown[w * h - 1], 0x001F);
    grDone();
    EXPECT_EQ(grScreen(), nullptr);
    grDrawRect(0, 0, kWidth, kHeight, 0xFFFFFFFFu);  // nothing to draw into: no effect, no crash
}

TEST_F(Display, FullScreenToggleKeepsTheBackBuffer) {
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    CSpriteExt* back = grBackBuffer();
    Mode m = currentMode();
    ASSERT_EQ(grInit(m.width, m.height, m.bits, !m.fullScreen), 0);
    m = currentMode();
    EXPECT_EQ(m.fullScreen, 1);
    EXPECT_EQ(m.width, kWidth);
    EXPECT_TRUE(platIsFullScreen());
    EXPECT_EQ(wndIsFullScreen(), 1);
    EXPECT_EQ(grBackBuffer(), back);
    grPresent();

    // Another size changes the window only; presenting brings it back to the back buffer's.
    ASSERT_EQ(grInit(100, 80, 32, 0), 0);
    EXPECT_FALSE(platIsFullScreen());
    EXPECT_EQ(wndIsFullScreen(), 0);
    m = currentMode();
    EXPECT_EQ(m.width, kWidth);
    EXPECT_EQ(m.height, kHeight);
    grPresent();
    int x, y, w, h;
    platWindowGetRect(&x, &y, &w, &h);
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    int fw = 0, fh = 0;
    EXPECT_NE(platLastFrame(&fw, &fh), nullptr);
    EXPECT_EQ(fw, kWidth);
}

TEST_F(Display, VsyncOnlyInFullScreenWithSync) {
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    EXPECT_EQ(grWaitsForVsync(), 0);
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 1), 0);
    EXPECT_EQ(grWaitsForVsync(), 0);  // "sync" is off
    useSettings("sync=1\n");
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    EXPECT_EQ(grWaitsForVsync(), 0);  // windowed never waits
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 1), 0);
    EXPECT_EQ(grWaitsForVsync(), 1);
    grDone();
    EXPECT_EQ(grWaitsForVsync(), 0);
}

TEST_F(Display, DoneFreesEverySprite) {
    engineWindow().log = 1;  // game.ini [main] "log", as the engine start reads it
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    writeTga24("Data/a.tga", 2, 2, [](int, int) { return Rgb{1, 2, 3}; });
    writeTga24("Data/b.tga", 2, 2, [](int, int) { return Rgb{1, 2, 3}; });
    HSPRITE a = grLoadSprite("Data/a.tga", nullptr, 0);
    grLoadSprite("Data/b.tga", nullptr, 0);
    grSpriteAddRef(a);
    grCreateSprite(3, 3, "blank");
    EXPECT_EQ(grRegistryCount(), 4);
    grFreeSprite(grBackBuffer());  // the screen is not for freeing
    EXPECT_NE(grBackBuffer(), nullptr);

    grDone();
    EXPECT_EQ(grRegistryCount(), 0);
    EXPECT_EQ(grIsInited(), 0);
    EXPECT_EQ(grBackBuffer(), nullptr);
    EXPECT_EQ(currentMode().width, 0);
    const std::string log = logText();
    EXPECT_NE(log.find("grDone() : Data/a.tga\n"), std::string::npos);
    EXPECT_NE(log.find("grDone() : blank\n"), std::string::npos);
    EXPECT_EQ(log.find("grDone() : \n"), std::string::npos);  // the back buffer is not listed
    grPresent();

    grCacheSprite();
    EXPECT_NE(logText().find("--------- grCacheSprite() ---------\n"), std::string::npos);
    // Opening again starts a fresh registry with the screen first.
    ASSERT_EQ(grInit(kWidth, kHeight, 32, 0), 0);
    EXPECT_EQ(grRegistryAt(0), grBackBuffer());
}

}  // namespace
