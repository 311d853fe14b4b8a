// The window's pictures: icons and cursors read from image files, the cursor file loaded again
// when the pointer comes back or the display changes, and the system's cursor shown while the
// pointer is off the client area. The layer's icon and cursor calls are stand-ins here, since the
// headless video driver makes no cursors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/gr/image.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/platform/testing.h"
#include "tests/support/own_folder.h"

namespace {

std::vector<PlatMessage> gToGame;

struct Picture {
    int width = 0, height = 0, hotX = -1, hotY = -1;
    std::vector<uint32_t> pixels;
};

// What the stand-ins for the layer saw.
struct Layer {
    std::vector<Picture> icons, cursors;
    int arrows = 0;
    bool own = true;  // the cursor shown is the window's own
};

Layer gLayer;

const PictureHooks kStandIns = {
    [](const uint32_t* p, int w, int h) {
        gLayer.icons.push_back({w, h, -1, -1, std::vector<uint32_t>(p, p + w * h)});
    },
    [](const uint32_t* p, int w, int h, int x, int y) {
        gLayer.cursors.push_back({w, h, x, y, std::vector<uint32_t>(p, p + w * h)});
        return true;
    },
    [] { gLayer.arrows++; },
    [] { return gLayer.own; },
};

std::string logText() { return testsupport::TempFolder::readFile("gerr.log"); }

// A 2x2 TGA whose rows are written top-down: B, G, R (and A) bytes per pixel.
void writeTga(const char* name, int bits) {
    const unsigned char bgra[] = {0x30, 0x20, 0x10, 0x00, 0x60, 0x50, 0x40, 0x80,
                                  0x90, 0x80, 0x70, 0xFF, 0xC0, 0xB0, 0xA0, 0x7F};
    unsigned char bgr[12];
    for (int i = 0; i < 4; ++i) memcpy(bgr + 3 * i, bgra + 4 * i, 3);
    cTGAImage tga;
    ASSERT_EQ(tga.Save(name, bits == 32 ? static_cast<const void*>(bgra) : bgr, bits, 2, -2), 0);
}

class WindowPictures : public ::testing::Test {
protected:
    void SetUp() override {
        engineWindowReset();
        engineWindow().running = true;
        engineSetPictureHooks(&kStandIns);
        gLayer = Layer{};
        gToGame.clear();
        writeTga("icon32.tga", 32);
        writeTga("icon24.tga", 24);
    }
    void TearDown() override {
        engineSetPictureHooks(nullptr);
        engineWindowReset();
    }
};

const PlatMessage kBackOnClient = {0, 3, 1};
const PlatMessage kOffClient = {0, 3, 0};

}  // namespace

bool operator==(const PlatMessage& a, const PlatMessage& b) {
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

void GameInit() {}
int GameFrame() { return 1; }
void GameOnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    gToGame.push_back({message, wParam, lParam});
}
void GameShutdown() {}

TEST_F(WindowPictures, PicturesAreReadWithTheirAlphaOrOpaque) {
    const struct {
        const char* file;
        std::vector<uint32_t> argb;
    } cases[] = {
        {"icon32.tga", {0x00102030u, 0x80405060u, 0xFF708090u, 0x7FA0B0C0u}},
        {"icon24.tga", {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u}},
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        ASSERT_TRUE(wndReadPicture("test", c.file, &pixels, &w, &h)) << c.file;
        EXPECT_EQ(w, 2);
        EXPECT_EQ(h, 2);
        EXPECT_EQ(pixels, c.argb) << c.file;
    }

    FILE* junk = fopen("junk.tga", "wb");
    fputs("not a picture at all", junk);
    fclose(junk);
    const struct {
        const char* file;
        const char* logged;
    } failures[] = {
        {"missing.png", "test: missing.png cannot be read"},
        {"notes.txt", "test: notes.txt is not a TGA, JPEG or PNG picture"},
        {"", "test: no file named"},
        {"junk.tga", "junk.tga"},
    };
    for (const auto& f : failures) {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        EXPECT_FALSE(wndReadPicture("test", f.file, &pixels, &w, &h)) << f.file;
        EXPECT_NE(logText().find(f.logged), std::string::npos) << f.file;
    }
}

TEST_F(WindowPictures, IconFromAPictureFile) {
    EXPECT_EQ(wndSetIconFile("icon32.tga", 1), 1);
    ASSERT_EQ(gLayer.icons.size(), 1u);
    EXPECT_EQ(gLayer.icons[0].width, 2);
    EXPECT_EQ(gLayer.icons[0].pixels[1], 0x80405060u);
    EXPECT_EQ(wndSetIconFile("missing.tga", 1), 0);
    EXPECT_EQ(gLayer.icons.size(), 1u);  // the icon shown stays
}

TEST_F(WindowPictures, CursorFileIsLoadedAgainWhenLostOrWhenTheDisplayChanges) {
    EXPECT_EQ(wndLoadCursorFile("icon32.tga"), 1);
    ASSERT_EQ(gLayer.cursors.size(), 1u);
    EXPECT_EQ(gLayer.cursors[0].width, 2);
    EXPECT_EQ(gLayer.cursors[0].hotX, 0);
    EXPECT_EQ(gLayer.cursors[0].hotY, 0);
    EXPECT_EQ(gLayer.cursors[0].pixels[2], 0xFF708090u);
    EXPECT_STREQ(engineWindow().cursorFile, "icon32.tga");

    // Back on the client with the own cursor still shown: nothing to load.
    WndProc(WM_NCHITTEST, 0, 0);
    EXPECT_EQ(gLayer.cursors.size(), 1u);
    // Something else replaced it meanwhile: the remembered file comes back.
    gLayer.own = false;
    WndProc(WM_NCHITTEST, 0, 0);
    EXPECT_EQ(gLayer.cursors.size(), 2u);
    gLayer.own = true;
    WndProc(WM_DISPLAYCHANGE, 0, 0);
    EXPECT_EQ(gLayer.cursors.size(), 3u);
    EXPECT_EQ((std::vector<PlatMessage>{kBackOnClient, kBackOnClient}), gToGame);

    // A file that cannot be read keeps the cursor shown; no file at all gives the arrow back.
    EXPECT_EQ(wndLoadCursorFile("missing.tga"), 0);
    EXPECT_EQ(gLayer.cursors.size(), 3u);
    EXPECT_EQ(gLayer.arrows, 0);
    EXPECT_EQ(wndLoadCursorFile(nullptr), 1);
    EXPECT_EQ(gLayer.arrows, 1);
    EXPECT_STREQ(engineWindow().cursorFile, "");
    gLayer.own = false;
    WndProc(WM_DISPLAYCHANGE, 0, 0);
    WndProc(WM_NCHITTEST, 0, 0);
    EXPECT_EQ(gLayer.cursors.size(), 3u);

    // Names longer than the remembered 1023 bytes are cut, never overrun.
    const std::string longName(2000, 'a');
    EXPECT_EQ(wndLoadCursorFile(longName.c_str()), 0);
    EXPECT_EQ(strlen(engineWindow().cursorFile), 1023u);
}

TEST_F(WindowPictures, SystemCursorShowsOnlyWhileThePointerIsOffTheClient) {
    // The game draws its own cursor and has hidden the system's.
    setCursorVisible(0);
    WndProc(WM_NCMOUSEMOVE, 0, 0);
    EXPECT_TRUE(engineWindow().cursorVisible);
    WndProc(WM_NCMOUSEMOVE, 0, 0);  // still off: nothing changes
    EXPECT_TRUE(engineWindow().cursorVisible);
    WndProc(WM_NCHITTEST, 0, 0);
    EXPECT_FALSE(engineWindow().cursorVisible);
    EXPECT_EQ((std::vector<PlatMessage>{kOffClient, kOffClient, kBackOnClient}), gToGame);

    // A system cursor that was shown anyway stays shown on the way back.
    setCursorVisible(1);
    WndProc(WM_NCMOUSEMOVE, 0, 0);
    WndProc(WM_NCHITTEST, 0, 0);
    EXPECT_TRUE(engineWindow().cursorVisible);

    // Before the game's start-up has returned the game hears nothing of it.
    gToGame.clear();
    engineWindow().running = false;
    WndProc(WM_NCMOUSEMOVE, 0, 0);
    EXPECT_TRUE(gToGame.empty());
}

TEST(WindowPointerEvents, EnteringLeavingAndDisplayChangesBecomeTheirMessages) {
    platTestTranslateReset(64, 48);
    const struct {
        PlatTestWindowEvent event;
        uint32_t message;
    } cases[] = {
        {PLAT_TEST_ENTER, WM_NCHITTEST},
        {PLAT_TEST_LEAVE, WM_NCMOUSEMOVE},
        {PLAT_TEST_DISPLAY_CHANGED, WM_DISPLAYCHANGE},
    };
    for (const auto& c : cases) {
        PlatMessage out[kPlatTestMaxMessages];
        ASSERT_EQ(platTestTranslate(platTestWindow(c.event), out, kPlatTestMaxMessages), 1);
        EXPECT_EQ(out[0].message, c.message);
    }
}
