// The first screen played through the platform layer's test events, from the fade-in through
// hovering, pressing, the keyboard focus and the modal dialog to Escape and the program's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "engine/platform/testing.h"
#include "engine/snd/snd.h"
#include "game/app_internal.h"
#include "game/first_screen.h"
#include "tests/support/temp_folder.h"
#include "ui/ui.h"
#include "ui/ui_internal.h"

namespace {

constexpr int kFrameMs = 20;
constexpr int kGiveUp = 1000;

int gFrames = 0;
float gNow = 0;
std::vector<std::string> gHeard;
// What happens before a frame: events pushed, states looked at.
std::map<int, std::function<void()>> gScript;

void push(const PlatTestEvent& e) { ASSERT_TRUE(platTestPush(e)); }
void key(const char* name) {
    push(platTestKey(true, name));
    push(platTestKey(false, name));
}

// Messages first, as the loop takes them; when none waits, the next frame runs its script.
bool scriptedNext(PlatMessage* out, bool) {
    if (platNextMessage(out, false)) return true;
    if (++gFrames > kGiveUp) {
        *out = {WM_QUIT, 0, 0};
        return true;
    }
    auto step = gScript.find(gFrames);
    if (step != gScript.end()) step->second();
    return platNextMessage(out, false);
}

UIWnd* child(const char* name) { return findChild(firstScreenCreate(), name); }

void click(int x, int y) {
    push(platTestMotion(0, x, y));
    push(platTestButton(true, PLAT_TEST_LEFT, x, y));
    push(platTestButton(false, PLAT_TEST_LEFT, x, y));
}

// The program on the bundled data in a folder of its own, with the frames' clock and the sounds
// in the test's hands.
class Demo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.enter());
        std::filesystem::create_directory_symlink(VELMORA_GAME_DIR "/Data", "Data");
        setenv("XDG_DATA_HOME", (std::filesystem::path(folder_.path()) / "user").c_str(), 1);
        std::ofstream("game.ini") << "[main]\nname=Velmora\npath=DemoTest\nxs=1024\nys=768\n";
        iniFreeAll();
        gFrames = 0;
        gHeard.clear();
        uiSetSoundHook([](const char* name) { gHeard.push_back(name); });
        appSetClock([] { return float(kFrameMs); });
        appResetFrame();
        engineSetHooks(&hooks_);
    }
    void TearDown() override {
        engineSetHooks(nullptr);
        appSetClock(nullptr);
        uiSetSoundHook(nullptr);
        iniFreeAll();
        gScript.clear();
    }
    testsupport::TempFolder folder_{"velmora_demo"};
    const EngineHooks hooks_ = {scriptedNext, [](int) {}, [] { return gNow += kFrameMs; }, [] {}};
};

TEST_F(Demo, FromHoverToTheProgramsEnd) {
    int spinnerX = 0;
    gScript = {
        {20,
         [&] {
             EXPECT_EQ(WM::Get()->Count(), 1);
             spinnerX = child("Spinner")->x;
             push(platTestMotion(0, 800, 174));  // onto "Press me"
         }},
        {22,
         [] {
             EXPECT_EQ(child("ButtonHello")->state, UI_ACTIVE);
             EXPECT_EQ(gHeard, std::vector<std::string>{"click"});
             push(platTestButton(true, PLAT_TEST_LEFT, 800, 174));
         }},
        {24,
         [] {
             EXPECT_EQ(child("ButtonHello")->state, UI_PRESS);
             EXPECT_EQ(gHeard.size(), 2u);
             push(platTestButton(false, PLAT_TEST_LEFT, 800, 174));
         }},
        {26,
         [] {
             EXPECT_EQ(child("ButtonHello")->state, UI_ACTIVE);
             EXPECT_EQ(std::u16string(child("ButtonHello")->caption), u"Pressed 1");
             key("Down");
         }},
        {28,
         [] {
             EXPECT_EQ(child("ButtonHello")->state, UI_NORMAL);
             EXPECT_EQ(child("ButtonDialog")->state, UI_ACTIVE);
             key("Return");  // opens the dialog at once
         }},
        {30,
         [] {
             EXPECT_EQ(WM::Get()->Count(), 2);
             push(platTestMotion(0, 800, 384));  // the screen beneath takes no input now
         }},
        {32, [] { EXPECT_EQ(child("ButtonQuit")->state, UI_NORMAL); }},
        {50,
         [] {
             key("Down");  // the dialog's own focus, onto its button
             key("Return");
         }},
        {52, [] { EXPECT_EQ(WM::Get()->Count(), 2); }},  // the dialog is on its way out
        {70,
         [&] {
             EXPECT_EQ(WM::Get()->Count(), 1);
             EXPECT_NE(child("Spinner")->x, spinnerX);
             key("W");  // the walk through the hotel, over the screen
         }},
        {90,
         [] {
             EXPECT_EQ(WM::Get()->Count(), 2);
             key("Escape");  // ends the walk, not the program
         }},
        {110,
         [] {
             EXPECT_EQ(WM::Get()->Count(), 1);
             key("Escape");
         }},
    };

    EXPECT_EQ(engineMain(0, nullptr), 0);
    EXPECT_GT(gFrames, 110);
    EXPECT_LT(gFrames, 140);  // ended by the fade-out, not by the guard
    EXPECT_EQ(WM::Get(), nullptr);
    EXPECT_EQ(std::count(gHeard.begin(), gHeard.end(), "click"), 6);
}

TEST_F(Demo, TheOptionsPanel) {
    float music = 0;
    gScript = {
        {20,
         [&] {
             ASSERT_NE(cursorGet(), nullptr);
             EXPECT_EQ(cursorGet()->records.size(), 8u);  // four pointers, four mini-game tools
             music = sndGetGroupVolume(1);
             click(800, 384);  // "Options"
         }},
        {24, [] { EXPECT_EQ(WM::Get()->Count(), 2); }},
        // The panel's corner is (262, 110); the music bar's track runs from 492 over 220 pixels.
        {45, [] { push(platTestMotion(0, 600, 285)); }},
        {46,
         [] {
             EXPECT_EQ(cursorGet()->position.x, 600);
             push(platTestButton(true, PLAT_TEST_LEFT, 600, 285));
         }},
        {47,
         [] {
             EXPECT_NEAR(sndGetGroupVolume(1), 108.0f / 220, 1e-3);
             push(platTestMotion(MK_LBUTTON, 700, 285));
         }},
        {48,
         [] {
             EXPECT_NEAR(sndGetGroupVolume(1), 208.0f / 220, 1e-3);
             push(platTestButton(false, PLAT_TEST_LEFT, 700, 285));
             click(600, 460);  // into the name box
         }},
        {50,
         [] {
             push(platTestText("Zu"));
             key("Tab");
             push(platTestText("na"));
             key("Backspace");
             push(platTestText("a"));
         }},
        {52,
         [&] {
             UIWnd* box = findChild(firstScreenDialog("Options"), "NameBox");
             ASSERT_NE(box, nullptr);
             EXPECT_EQ(std::u16string(box->caption), u"Zuna");  // Tab left nothing behind
             EXPECT_NEAR(sndGetGroupVolume(1), 208.0f / 220, 1e-3);
             key("Escape");  // cancels: the volume comes back
         }},
        {54, [&] { EXPECT_FLOAT_EQ(sndGetGroupVolume(1), music); }},
        {75,
         [] {
             EXPECT_EQ(WM::Get()->Count(), 1);
             key("Escape");
         }},
    };
    EXPECT_EQ(engineMain(0, nullptr), 0);
    EXPECT_LT(gFrames, 100);
}

}  // namespace
