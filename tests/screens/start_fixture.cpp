// The program driven headless through its four hooks, for the start screens' tests.
#include "tests/screens/start_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/input.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "game/profile.h"
#include "screens/holders.h"
#include "screens/level_loading.h"
#include "screens/loading.h"

namespace {

constexpr uint32_t kKeyDown = 256, kKeyUp = 257, kChar = 258, kMouseMove = 512;

}  // namespace

void StartScreens::SetUp() {
    ASSERT_TRUE(folder_.enter());
    std::filesystem::create_directory_symlink(VELMORA_GAME_DIR "/Data", "Data");
    setenv("XDG_DATA_HOME", (std::filesystem::path(folder_.path()) / "user").c_str(), 1);
    std::ofstream("game.ini") << "[main]\nname=Velmora\npath=StartTest\nxs=1024\nys=768\n";
    appSetScreens(screensStart, screensRelease);
    appSetClock([] { return float(kUpdateStepMs); });
}

void StartScreens::TearDown() {
    shutdown();
    appSetScreens(nullptr, nullptr);
    appSetClock(nullptr);
}

void StartScreens::start() {
    iniFreeAll();
    ASSERT_EQ(engineInit(), 0);
    appResetFrame();
    GameInit();
    started_ = true;
}

void StartScreens::shutdown() {
    if (!started_) return;
    started_ = false;
    GameShutdown();
}

int StartScreens::frame() { return GameFrame(); }

void StartScreens::frames(int n) {
    for (int i = 0; i < n; ++i) frame();
}

bool StartScreens::updating(Window* window) {
    if (!window) return false;
    const int32_t before = window->clock;
    frame();
    return window->clock != before;
}

bool StartScreens::waitFor(Window* window, int limit) {
    for (int i = 0; i < limit; ++i)
        if (updating(window)) return true;
    return false;
}

void StartScreens::key(int code, intptr_t data) {
    GameOnMessage(kKeyDown, static_cast<uintptr_t>(code), data);
    GameOnMessage(kKeyUp, static_cast<uintptr_t>(code), data);
}

void StartScreens::type(const char* text) {
    // As the platform does: the typed-word ring hears each character before the game does.
    for (const char* p = text; *p; ++p) {
        typedPush(static_cast<unsigned char>(*p));
        GameOnMessage(kChar, static_cast<unsigned char>(*p), 1);
    }
}

void StartScreens::click(UIWnd* widget) {
    ASSERT_NE(widget, nullptr);
    frames(kUiFadeMs / kUpdateStepMs + 1);
    const intptr_t at = uiPack(widget->x + widget->xs / 2, widget->y + widget->ys / 2);
    GameOnMessage(kMouseMove, 0, at);
    GameOnMessage(kKeyDown, 1, at);
    GameOnMessage(kKeyUp, 1, at);
    frame();
}

UIWnd* button(Window* screen, const char* name) {
    UIWnd* found = screen ? findChild(screen, name) : nullptr;
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void StartScreens::firstStartTo(const char* name) {
    start();
    ASSERT_TRUE(waitFor(gUIPlayerSelect.get())) << "the player selection follows the logos";
    type(name);
    key(13);
    ASSERT_NE(gCurrentProfile, nullptr);
    auto* loading = static_cast<UIGameLoading*>(gUIGameLoading.get());
    ASSERT_TRUE(waitFor(loading));
    while (loading->stage() < kLoadingStages) frame();
    key(32);
    ASSERT_TRUE(waitFor(gUIMainMenu.get()));
}

void StartScreens::restartToMenu() {
    shutdown();
    start();
    auto* loading = static_cast<UIGameLoading*>(gUIGameLoading.get());
    ASSERT_TRUE(waitFor(loading));
    while (loading->stage() < kLoadingStages) frame();
    key(32);
    ASSERT_TRUE(waitFor(gUIMainMenu.get()));
}

void StartScreens::finishLevelLoading() {
    auto* loading = dynamic_cast<UILevelLoading*>(gUILevelLoading.get());
    ASSERT_NE(loading, nullptr);
    frames(20);
    for (int i = 0; i < 4000 && loading->Step() != UILevelLoading::kDone; ++i) {
        if (i % 40 == 0) key(27);
        frame();
    }
    ASSERT_EQ(loading->Step(), UILevelLoading::kDone);
    key(13);
}
