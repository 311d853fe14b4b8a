// The game's cursor through the whole program: made before the first screen, and not drawn while
// the pointer is off the window's client area, where the system's cursor shows instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "tests/support/temp_folder.h"
#include "ui/ui.h"

namespace {

std::deque<PlatMessage> gQueue;

// The queued messages first; then none, so frames run, and the first ends the run (no screen).
bool queuedNext(PlatMessage* out, bool) {
    if (gQueue.empty()) return false;
    *out = gQueue.front();
    gQueue.pop_front();
    return true;
}

float gNow = 0;

// What the screens' start and release saw of the cursor.
struct Seen {
    bool cursorAtStart = false;
    int inside = -1;
    bool systemCursorShown = true;
};

Seen gSeen;

void screensStart() { gSeen.cursorAtStart = cursorGet() != nullptr; }

// Runs at shut-down before the cursor goes.
void screensRelease() {
    if (cCursorManager* c = cursorGet()) gSeen.inside = c->inside;
    gSeen.systemCursorShown = engineWindow().cursorVisible;
}

}  // namespace

TEST(ProgramCursor, MadeBeforeTheScreensAndHiddenOffTheClient) {
    testsupport::TempFolder folder("velmora_app_cursor");
    ASSERT_TRUE(folder.enter());
    setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    std::ofstream("game.ini") << "[main]\nname=Velmora\npath=AppCursorTest\nxs=320\nys=240\n";
    const EngineHooks hooks = {queuedNext, [](int) {}, [] { return gNow += 20; }, [] {}};
    engineSetHooks(&hooks);
    appSetScreens(screensStart, screensRelease);

    const struct {
        std::vector<PlatMessage> messages;
        int inside;
        bool systemCursorShown;
    } cases[] = {
        {{}, 1, false},
        {{{WM_NCMOUSEMOVE, 0, 0}}, 0, true},
        {{{WM_NCMOUSEMOVE, 0, 0}, {WM_NCHITTEST, 0, 0}}, 1, false},
    };
    for (const auto& c : cases) {
        iniFreeAll();
        gSeen = Seen{};
        gQueue.assign(c.messages.begin(), c.messages.end());
        EXPECT_EQ(engineMain(0, nullptr), 0);
        EXPECT_TRUE(gSeen.cursorAtStart);
        EXPECT_EQ(gSeen.inside, c.inside) << c.messages.size();
        EXPECT_EQ(gSeen.systemCursorShown, c.systemCursorShown) << c.messages.size();
    }

    appSetScreens(nullptr, nullptr);
    engineSetHooks(nullptr);
    iniFreeAll();
}
