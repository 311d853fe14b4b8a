// The application shell: the fixed-step frame, the routing of input to the window manager, and
// the whole program from start to Escape.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "tests/support/temp_folder.h"
#include "ui/ui.h"
#include "ui/ui_internal.h"

namespace {

struct Call {
    std::string what;
    int a;
    intptr_t b;
    bool operator==(const Call& o) const { return what == o.what && a == o.a && b == o.b; }
};

std::ostream& operator<<(std::ostream& os, const Call& c) {
    return os << c.what << "(" << c.a << ", " << c.b << ")";
}

// Records what the shell asks of it; the records outlive it, as the shell deletes it.
std::vector<Call> gCalls;
int gWindows = 1;

class RecordingWM : public WM {
public:
    void Push(Window*, bool, bool, bool) override {}
    bool Close(Window*) override { return false; }
    bool CloseAndNotify(Window*) override { return false; }
    bool IsModal(Window*) override { return false; }
    void Clear() override {}
    int Count() override { return gWindows; }
    int Update(int ms) override { return note("Update", ms, 0); }
    int Render() override { return note("Render", 0, 0); }
    int OnKeyDown(int key, intptr_t data) override { return note("OnKeyDown", key, data); }
    int OnKeyUp(int key, intptr_t data) override { return note("OnKeyUp", key, data); }
    int OnChar(int character, intptr_t data) override { return note("OnChar", character, data); }
    int OnMouseMove(int buttons, intptr_t at) override { return note("OnMouseMove", buttons, at); }

private:
    static int note(const char* what, int a, intptr_t b) {
        gCalls.push_back({what, a, b});
        return 1;
    }
};

std::deque<float> gElapsed;
int gClockReads = 0;

float fakeElapsed() {
    gClockReads++;
    float e = gElapsed.empty() ? 0 : gElapsed.front();
    if (!gElapsed.empty()) gElapsed.pop_front();
    return e;
}

int updatesIn(const std::vector<Call>& calls) {
    int n = 0;
    for (const Call& c : calls) n += c.what == "Update" && c.a == kUpdateStepMs;
    return n;
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        gCalls.clear();
        gElapsed.clear();
        gClockReads = 0;
        gWindows = 1;
        appSetClock(fakeElapsed);
        appResetFrame();
        appSetPaused(0);
        wmInstall(new RecordingWM);
    }
    void TearDown() override {
        wmInstall(nullptr);
        appSetClock(nullptr);
    }
    // Runs one frame per elapsed time given; the number of updates they made.
    int frames(std::initializer_list<float> elapsed) {
        gCalls.clear();
        for (float e : elapsed) {
            gElapsed.push_back(e);
            EXPECT_EQ(GameFrame(), 0);
        }
        return updatesIn(gCalls);
    }
};

TEST_F(Shell, FixedStepsCatchUpOnTheTimePassed) {
    // The first frame steps once at once: the accumulator starts at 0, which is not negative.
    EXPECT_EQ(frames({0}), 1);
    EXPECT_EQ(frames({100, 100, 100, 100, 100, 100, 100, 100, 100, 100}), 40);
    EXPECT_EQ(frames({10, 10}), 0);
    EXPECT_EQ(frames({5}), 1);  // 25 ms have now gathered
    // Every frame draws once, after its updates.
    gCalls.clear();
    frames({50});
    EXPECT_EQ(gCalls.back(), (Call{"Render", 0, 0}));
    EXPECT_EQ(gCalls.size(), 3u);
}

TEST_F(Shell, OneFrameCatchesUpOn300MsAtMost) {
    EXPECT_EQ(frames({1000}), 13);  // 300 ms from a start at 0: steps at 300, 275, ..., 0
    EXPECT_EQ(frames({1000}), 12);  // 300 ms from -25
    EXPECT_EQ(frames({300}), 12);
    EXPECT_EQ(frames({299}), 11);  // down to -1
    EXPECT_EQ(frames({1}), 1);     // exactly 0 still steps
}

TEST_F(Shell, PausedFramesDrawWithoutUpdating) {
    appSetPaused(1);
    EXPECT_EQ(GameFrame(), 0);
    EXPECT_EQ(GameFrame(), 0);
    EXPECT_EQ(gCalls, (std::vector<Call>{{"Render", 0, 0}, {"Render", 0, 0}}));
    EXPECT_EQ(gClockReads, 0);  // the time paused is taken by the next frame that runs
    appSetPaused(0);
    EXPECT_EQ(frames({25}), 2);
}

TEST_F(Shell, FrameReportsWhenNothingIsOnShow) {
    gWindows = 0;
    EXPECT_EQ(GameFrame(), 1);
    wmInstall(nullptr);
    EXPECT_EQ(GameFrame(), 1);
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(Shell, InputGoesToTheWindowManager) {
    constexpr intptr_t kAlt = intptr_t(1) << 29;
    constexpr intptr_t kAt = 40 | 30 << 16;
    struct Case {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        std::vector<Call> calls;
    };
    const Case cases[] = {
        {256, 'A', 0x1E0001, {{"OnKeyDown", 'A', 0x1E0001}}},
        {256, 1, kAt, {{"OnKeyDown", 1, kAt}}},
        {256, 13, 0x1C0001, {{"OnKeyDown", 13, 0x1C0001}}},
        {256, 13, 0x1C0001 | kAlt, {}},  // Alt+Enter switches the display and goes no further
        {256, 'A', 0x1E0001 | kAlt, {{"OnKeyDown", 'A', 0x1E0001 | kAlt}}},
        {257, 1, kAt, {{"OnKeyUp", 1, kAt}}},
        {257, 'A', 0x1E0001, {{"OnKeyUp", 'A', 0x1E0001}}},
        {258, 'x', 1, {{"OnChar", 'x', 1}}},
        {512, 1, kAt, {{"OnMouseMove", 1, kAt}}},
        {28, 1, 0, {}},
        {522, uintptr_t(120) << 16, kAt, {}},
        {0, 3, 1, {}},
    };
    for (const Case& c : cases) {
        gCalls.clear();
        GameOnMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(gCalls, c.calls) << c.message << " " << c.wParam;
    }
    wmInstall(nullptr);
    gCalls.clear();
    GameOnMessage(256, 'A', 0);
    EXPECT_TRUE(gCalls.empty());
}

// --- The whole program, with messages handed in instead of typed ---

std::deque<PlatMessage> gQueue;
int gIdleTakes = 0;
constexpr int kFadeInFrames = 30;  // 20 ms each

// Hands the queue out once the first screen has faded in (frames run while no message waits),
// and ends a run that does not end itself, so that a fault fails instead of hanging.
bool scriptedNext(PlatMessage* out, bool) {
    if (++gIdleTakes > 1000) {
        *out = {WM_QUIT, 0, 0};
        return true;
    }
    if (gIdleTakes <= kFadeInFrames || gQueue.empty()) return false;
    *out = gQueue.front();
    gQueue.pop_front();
    return true;
}

void noSleep(int) {}
float gNow = 0;
float clockNow() { return gNow += 20; }

// The program's one screen: Escape closes it, which leaves nothing on show.
struct OneScreen : Window {
    int OnKeyDown(int key, intptr_t data) override {
        if (key == 27) CloseSelf();
        return Window::OnKeyDown(key, data);
    }
};
OneScreen* gScreen = nullptr;
void startOneScreen() {
    gScreen = new OneScreen;
    WM::Get()->Push(gScreen, false, false, false);
}
void releaseOneScreen() {
    delete gScreen;
    gScreen = nullptr;
}

// A program folder with its game.ini, the user's data in it; the run's store file.
std::string enterProgram(testsupport::TempFolder& folder) {
    EXPECT_TRUE(folder.enter());
    std::filesystem::path root = folder.path();
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    std::ofstream("game.ini") << "[main]\nname=Velmora\npath=AppTest\nxs=320\nys=240\nx=12\ny=34\n";
    iniFreeAll();
    gIdleTakes = 0;
    return (root / "data" / "AppTest" / "profgame.ini").string();
}

TEST(Program, RunsUntilEscapeAndSavesItsWindow) {
    testsupport::TempFolder folder("velmora_app");
    const std::string saved = enterProgram(folder);
    appSetScreens(startOneScreen, releaseOneScreen);
    const EngineHooks hooks = {scriptedNext, noSleep, clockNow, [] {}};
    engineSetHooks(&hooks);
    gQueue = {{WM_CHAR, 'a', 1}, {WM_KEYDOWN, 27, 0x10001}, {WM_CHAR, 27, 0x10001}};
    appSetClock([] { return 20.0f; });
    appResetFrame();

    EXPECT_EQ(engineMain(0, nullptr), 0);
    appSetClock(nullptr);
    appSetScreens(nullptr, nullptr);
    EXPECT_GT(gIdleTakes, kFadeInFrames);  // ended by the Escape handed in after the fade-in
    EXPECT_LT(gIdleTakes, 1000);
    EXPECT_EQ(gScreen, nullptr);
    EXPECT_FALSE(platWindowIsOpen());
    EXPECT_EQ(WM::Get(), nullptr);
    EXPECT_EQ(iniGetInt(saved.c_str(), "main", "x", -1), 12);
    EXPECT_EQ(iniGetInt(saved.c_str(), "main", "xs", -1), 320);

    engineSetHooks(nullptr);
    iniFreeAll();
}

// Without screens nothing is on show: the first frame ends the program.
TEST(Program, WithoutScreensEndsAtTheFirstFrame) {
    testsupport::TempFolder folder("velmora_app_bare");
    enterProgram(folder);
    const EngineHooks hooks = {scriptedNext, noSleep, clockNow, [] {}};
    engineSetHooks(&hooks);
    gQueue.clear();
    appSetClock([] { return 20.0f; });
    appResetFrame();
    EXPECT_EQ(engineMain(0, nullptr), 0);
    appSetClock(nullptr);
    EXPECT_LE(gIdleTakes, 2);
    EXPECT_EQ(WM::Get(), nullptr);
    engineSetHooks(nullptr);
    iniFreeAll();
}

}  // namespace
