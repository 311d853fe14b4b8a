// The screen tests' window manager, steps and input.
#include "tests/screens/screen_fixture.h"

#include "engine/platform/log.h"

std::string buttonSection(const char* name, int x, int y) {
    return std::string("[") + name + "]\r\ntype=sprite\r\nstage=1\r\nx=" + std::to_string(x) +
           "\r\ny=" + std::to_string(y) + "\r\nxs=100\r\nys=30\r\n";
}

void ScreenTest::SetUp() {
    GameFolder::SetUp();
    WM::Create();
    wm = WM::Get();
}

void ScreenTest::TearDown() {
    WM::Destroy();
    releaseCurrentGame();
    releaseScreenHolders();
    GameFolder::TearDown();
}

void ScreenTest::steps(int n) {
    for (int i = 0; i < n; ++i) wm->Update(25);
}

void ScreenTest::settle(Window* window, bool closeOthers, bool modal) {
    wm->Push(window, closeOthers, modal, false);
    settleAll();
}

void ScreenTest::click(Window* window, const char* child) {
    UIWnd* c = findChild(window, child);
    ASSERT_NE(c, nullptr) << child;
    const intptr_t at = uiPack(c->x + c->xs / 2, c->y + c->ys / 2);
    wm->OnMouseMove(0, at);
    wm->OnKeyDown(kUiLeftButton, at);
    wm->OnKeyUp(kUiLeftButton, at);
}

void ScreenTest::key(int code) {
    wm->OnKeyDown(code, 0);
    wm->OnKeyUp(code, 0);
}

bool ScreenTest::running(Window* window) {
    const int32_t before = window->clock;
    steps(1);
    return window->clock != before;
}
