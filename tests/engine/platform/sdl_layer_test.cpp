// The platform layer under headless drivers: window, messages, presentation, audio, boxes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/platform/platform.h"
#include "engine/platform/testing.h"
#include "tests/support/temp_folder.h"

namespace {

class PlatformLayer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platInit()); }
    void TearDown() override { platDone(); }

    std::vector<PlatMessage> drain() {
        std::vector<PlatMessage> out;
        PlatMessage m;
        while (platNextMessage(&m, false)) out.push_back(m);
        return out;
    }
};

std::string title() {
    char text[256];
    platTestWindowTitle(text, sizeof text);
    return text;
}

uint16_t pattern(int x, int y) { return static_cast<uint16_t>(x * 2027 + y * 613 + 1); }

// A frame whose rows are padded, so that a wrong pitch shows.
std::vector<uint16_t> makeFrame(int width, int height, int pitchPixels) {
    std::vector<uint16_t> frame(size_t(pitchPixels) * height, 0xDEAD);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) frame[size_t(y) * pitchPixels + x] = pattern(x, y);
    return frame;
}

TEST_F(PlatformLayer, WindowOpensChangesAndCloses) {
    int rx, ry, rw, rh;
    platWindowGetRect(&rx, &ry, &rw, &rh);
    EXPECT_EQ(rw, 0);
    ASSERT_TRUE(platWindowOpen(u"Velmora", 30, 40, 320, 240, false));
    EXPECT_FALSE(platWindowOpen(u"Second", 0, 0, 320, 240, false));
    EXPECT_TRUE(platWindowIsOpen());
    platWindowGetRect(&rx, &ry, &rw, &rh);
    EXPECT_EQ(rx, 30);
    EXPECT_EQ(ry, 40);
    EXPECT_EQ(rw, 320);
    EXPECT_EQ(rh, 240);

    ASSERT_TRUE(platTestWindowExists());
    EXPECT_EQ(title(), "Velmora");
    platWindowSetTitle(u"H\u00f4tel \U0001F600");
    EXPECT_EQ(title(), "H\xC3\xB4tel \xF0\x9F\x98\x80");

    platWindowSetSize(400, 300);
    platWindowSetPos(50, 60);
    platWindowGetRect(&rx, &ry, &rw, &rh);
    EXPECT_EQ(rx, 50);
    EXPECT_EQ(ry, 60);
    EXPECT_EQ(rw, 400);
    EXPECT_EQ(rh, 300);

    int dw, dh;
    platDesktopSize(&dw, &dh);
    ASSERT_GT(dw, 0);
    platSetFullScreen(true);
    EXPECT_TRUE(platIsFullScreen());
    EXPECT_TRUE(platTestWindowCoversDesktop());
    platWindowGetRect(nullptr, nullptr, &rw, &rh);
    EXPECT_EQ(rw, dw);
    EXPECT_EQ(rh, dh);
    // A size set in full screen is the one the window comes back with.
    platWindowSetSize(480, 360);
    platSetFullScreen(false);
    EXPECT_FALSE(platIsFullScreen());
    EXPECT_FALSE(platTestWindowCoversDesktop());
    platWindowGetRect(nullptr, nullptr, &rw, &rh);
    EXPECT_EQ(rw, 480);
    EXPECT_EQ(rh, 360);

    platWindowClose();
    EXPECT_FALSE(platWindowIsOpen());
    EXPECT_FALSE(platTestWindowExists());
    platWindowGetRect(&rx, &ry, &rw, &rh);
    EXPECT_EQ(rw, 0);
    EXPECT_EQ(rh, 0);
}

TEST_F(PlatformLayer, WindowOpenedInFullScreenComesBackAtItsSize) {
    ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, 200, 100, true));
    EXPECT_TRUE(platIsFullScreen());
    platSetFullScreen(false);
    int rw, rh;
    platWindowGetRect(nullptr, nullptr, &rw, &rh);
    EXPECT_EQ(rw, 200);
    EXPECT_EQ(rh, 100);
}

TEST_F(PlatformLayer, PresentsAFrameOneToOneInAWindow) {
    const uint16_t dummy = 0;
    EXPECT_FALSE(platPresent(&dummy, 1, 1, 2));  // no window yet
    ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, 64, 32, false));
    std::vector<uint16_t> frame = makeFrame(64, 32, 70);
    EXPECT_FALSE(platPresent(frame.data(), 64, 32, 64));  // pitch below the row
    ASSERT_TRUE(platPresent(frame.data(), 64, 32, 70 * 2));
    int w, h;
    const uint16_t* shown = platLastFrame(&w, &h);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 32);
    int wrong = 0;
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 64; x++) wrong += shown[y * 64 + x] != pattern(x, y);
    EXPECT_EQ(wrong, 0);
}

TEST_F(PlatformLayer, FullScreenScalesToFitWithBarsAndMapsTheMouseBack) {
    int dw, dh;
    platDesktopSize(&dw, &dh);
    // The frame is twice as wide as high: it fills the desktop's width and leaves bars above
    // and below.
    const int fw = dw / 2, fh = dw / 4;
    ASSERT_GT(dh, 2 * fh);
    const int bar = (dh - 2 * fh) / 2;
    ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, fw, fh, false));
    platSetFullScreen(true);
    std::vector<uint16_t> frame = makeFrame(fw, fh, fw);
    ASSERT_TRUE(platPresent(frame.data(), fw, fh, fw * 2));
    int w, h;
    const uint16_t* shown = platLastFrame(&w, &h);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(w, dw);
    ASSERT_EQ(h, dh);
    EXPECT_EQ(shown[0], 0);
    EXPECT_EQ(shown[size_t(bar - 1) * w + w / 2], 0);
    EXPECT_EQ(shown[size_t(bar + 2 * fh) * w + w / 2], 0);
    EXPECT_EQ(shown[size_t(h - 1) * w + w - 1], 0);
    int wrong = 0;
    for (int y = 0; y < fh; y += 7)
        for (int x = 0; x < fw; x += 5) {
            wrong += shown[size_t(bar + 2 * y) * w + 2 * x] != pattern(x, y);
            wrong += shown[size_t(bar + 2 * y + 1) * w + 2 * x + 1] != pattern(x, y);
        }
    EXPECT_EQ(wrong, 0);

    drain();
    ASSERT_TRUE(platTestPush(platTestButton(true, PLAT_TEST_LEFT, 2 * 50, bar + 2 * 60)));
    std::vector<PlatMessage> got = drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(got[0].lParam, 50 | 60 << 16);
}

TEST_F(PlatformLayer, PushedEventsComeBackAsMessagesInOrder) {
    ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, 64, 32, false));
    drain();
    ASSERT_TRUE(platTestPush(platTestKey(true, "Escape")));
    ASSERT_TRUE(platTestPush(platTestText("\xF0\x9F\x98\x80")));
    ASSERT_TRUE(platTestPush(platTestWindow(PLAT_TEST_FOCUS_LOST)));
    platPostQuit();

    std::vector<PlatMessage> got = drain();
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got[0].message, WM_KEYDOWN);
    EXPECT_EQ(got[0].wParam, 27u);
    EXPECT_EQ(got[1].message, WM_CHAR);
    EXPECT_EQ(got[1].wParam, 27u);
    EXPECT_EQ(got[2].wParam, 0xD83Du);
    EXPECT_EQ(got[3].wParam, 0xDE00u);
    EXPECT_EQ(got[4].message, WM_ACTIVATEAPP);
    EXPECT_EQ(got[4].wParam, 0u);
    EXPECT_EQ(got[5].message, WM_QUIT);

    // Waiting returns as soon as something is queued.
    platPostQuit();
    PlatMessage m{};
    ASSERT_TRUE(platNextMessage(&m, true));
    EXPECT_EQ(m.message, WM_QUIT);
}

std::atomic<int> gFillCalls{0};
std::atomic<int> gFramesAsked{0};

void fill(int16_t* out, int frames) {
    for (int i = 0; i < frames * 2; i++) out[i] = static_cast<int16_t>(i);
    gFramesAsked = frames;
    gFillCalls++;
}

TEST_F(PlatformLayer, AudioDeviceCallsItsFillFunction) {
    ASSERT_TRUE(platAudioOpen(fill));
    EXPECT_FALSE(platAudioOpen(fill));
    platAudioPause(false);
    for (int waited = 0; gFillCalls == 0 && waited < 5000; waited += 10) platSleep(10);
    EXPECT_GT(gFillCalls.load(), 0);
    EXPECT_GT(gFramesAsked.load(), 0);
    platAudioClose();
    int calls = gFillCalls;
    platSleep(50);
    EXPECT_EQ(gFillCalls.load(), calls);
    // The device can be opened again once closed.
    ASSERT_TRUE(platAudioOpen(fill));
    platAudioClose();
}

std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(PlatformLayer, MessageBoxGoesToTheLogWhenHeadless) {
    EXPECT_EQ(platMessageBox(u"Data/x.tga", u"file not found", MB_OKCANCEL), IDOK);
    EXPECT_NE(readFile("gerr.log").find("\"file not found\": Data/x.tga"), std::string::npos);
}

TEST_F(PlatformLayer, CurrentDirectoryRoundTripsBeyondAscii) {
    char16_t before[1024];
    ASSERT_TRUE(platGetCurrentDir(before, 1024));
    testsupport::TempFolder folder("velmora_cwd");
    ASSERT_TRUE(folder.made());
    std::string inner = folder.file("h\xC3\xB4tel");
    ASSERT_EQ(mkdir(inner.c_str(), 0700), 0);

    std::u16string target;
    for (unsigned char c : folder.path()) target += c;
    target += u"/h\u00f4tel";
    ASSERT_TRUE(platSetCurrentDir(target.c_str()));
    char16_t now[1024];
    ASSERT_TRUE(platGetCurrentDir(now, 1024));
    EXPECT_EQ(std::u16string(now), target);
    char16_t tiny[4];
    EXPECT_FALSE(platGetCurrentDir(tiny, 4));
    EXPECT_FALSE(platSetCurrentDir(u"/no/such/folder/here"));

    ASSERT_TRUE(platSetCurrentDir(before));
}

}  // namespace
