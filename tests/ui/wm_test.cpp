// The window manager: the fade timeline with its show and hide calls, closing during a fade,
// replacing the stack, the input floors of modal and exclusive windows, the darkness laid over
// windows, and handlers that change the stack in the middle of a walk.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/gr/image.h"
#include "ui/ui.h"
#include "ui_fixtures.h"

namespace {

std::vector<std::string> gEvents;

// A window that logs what the manager asks of it.
struct Probe : Window {
    explicit Probe(const char* name) { strcpy(section, name); }
    void OnShow(int finished) override { note("show", finished); }
    void OnHide(int finished) override { note("hide", finished); }
    void OnClosed() override { gEvents.push_back(std::string(section) + " closed"); }
    int Update(int ms) override {
        updates++;
        if (onUpdate) onUpdate();
        return Window::Update(ms);
    }
    int Draw() override {
        draws++;
        return Window::Draw();
    }
    int OnKeyDown(int key, intptr_t) override {
        gEvents.push_back(std::string(section) + " key " + std::to_string(key));
        if (onKey) onKey();
        return answer;
    }
    void note(const char* what, int finished) {
        gEvents.push_back(std::string(section) + " " + what + " " + std::to_string(finished));
    }
    int updates = 0, draws = 0, answer = 0;
    std::function<void()> onUpdate, onKey;
};

void writeDarkness() {
    std::vector<uint8_t> px(4 * 4 * 4, 0);
    for (size_t i = 3; i < px.size(); i += 4) px[i] = 255;
    cTGAImage writer;
    ASSERT_EQ(writer.Save("Data/fx/darkness.tga", px.data(), 32, 4, -4), 0);
}

class Manager : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile("Data/fx/keep", "");
        writeDarkness();
        gEvents.clear();
        WM::Create();
        wm = WM::Get();
        ASSERT_NE(wm, nullptr);
    }
    // The test's windows are gone by now: none of them may be called.
    void TearDown() override {
        if (WM::Get()) WM::Get()->Clear();
        WM::Destroy();
    }
    // Steps of 25 ms; the events they gave.
    std::vector<std::string> steps(int n) {
        gEvents.clear();
        for (int i = 0; i < n; ++i) wm->Update(25);
        return gEvents;
    }
    void settle(Probe& w, bool modal = false, bool exclusive = false) {
        wm->Push(&w, false, modal, exclusive);
        steps(12);
    }
    WM* wm = nullptr;
};

using Events = std::vector<std::string>;

TEST_F(Manager, CreateGetDestroy) {
    WM::Create();  // a second create keeps the one there is
    EXPECT_EQ(WM::Get(), wm);
    Probe a("A"), b("B");
    wm->Push(&a, false, false, false);
    wm->Push(&b, false, true, false);
    gEvents.clear();
    WM::Destroy();
    EXPECT_EQ(WM::Get(), nullptr);
    EXPECT_EQ(gEvents, (Events{"A hide 0", "A hide 1", "B hide 0", "B hide 1"}));
    WM::Destroy();  // nothing left to destroy
    EXPECT_TRUE(a.CloseSelf() == false);
    a.Close(7);
    EXPECT_EQ(a.GetResult(), 7u);
    a.ResetResult();
    EXPECT_EQ(a.GetResult(), 0u);
    WM::Create();
    wm = WM::Get();
}

TEST_F(Manager, AScreenFadesInThenIsReplacedThroughDarkness) {
    Probe a("A"), b("B");
    wm->Push(nullptr, false, false, false);
    EXPECT_EQ(wm->Count(), 0);
    wm->Push(&a, false, false, false);
    EXPECT_EQ(steps(1), Events{"A show 0"});
    EXPECT_EQ(steps(10), Events{});
    EXPECT_EQ(a.updates, 0);
    EXPECT_EQ(steps(1), Events{"A show 1"});
    EXPECT_EQ(a.updates, 1);  // settled in this step, and updated in it

    wm->Push(&b, true, false, false);
    EXPECT_EQ(wm->Count(), 2);
    EXPECT_EQ(steps(1), Events{"A hide 0"});
    EXPECT_EQ(steps(10), Events{});
    EXPECT_EQ(a.updates, 1);
    // A leaves and B starts at once, in the same step.
    EXPECT_EQ(steps(1), (Events{"A hide 1", "B show 0"}));
    EXPECT_EQ(wm->Count(), 1);
    EXPECT_EQ(steps(10), Events{});
    EXPECT_EQ(steps(1), Events{"B show 1"});
}

TEST_F(Manager, ClosingDuringTheFadeInRetracesIt) {
    Probe a("A");
    wm->Push(&a, false, false, false);
    steps(4);  // 100 ms in
    EXPECT_TRUE(wm->CloseAndNotify(&a));
    EXPECT_EQ(gEvents.back(), "A closed");
    EXPECT_EQ(steps(3), Events{});
    EXPECT_EQ(steps(1), Events{"A hide 1"});  // 200 ms back out, no hide 0 on the way
    EXPECT_EQ(wm->Count(), 0);
    EXPECT_FALSE(wm->Close(&a));
    EXPECT_FALSE(wm->CloseAndNotify(&a));
    EXPECT_EQ(gEvents.back(), "A hide 1");
}

TEST_F(Manager, TheClosingCountComesBackToZero) {
    Probe a("A"), b("B"), c("C");
    // Cleared while A fades out: C does not wait for it.
    settle(a);
    wm->Push(&b, true, false, false);
    steps(2);
    wm->Clear();
    EXPECT_EQ(wm->Count(), 0);
    wm->Push(&c, false, false, false);
    EXPECT_EQ(steps(1), Events{"C show 0"});
    wm->Clear();
    // Closed twice: the fade-out starts again, and the entry counts once.
    settle(a);
    wm->Close(&a);
    steps(4);
    wm->Close(&a);
    EXPECT_EQ(steps(1), Events{"A hide 0"});
    EXPECT_EQ(steps(11), Events{"A hide 1"});
    wm->Push(&b, false, false, false);
    EXPECT_EQ(steps(1), Events{"B show 0"});
}

TEST_F(Manager, InputStopsAtTheModalOrExclusiveFloor) {
    struct Case {
        std::vector<uint32_t> flags;  // 1 modal, 8 exclusive, per window from the bottom
        Events keys;
        std::vector<int> updated;
    };
    const Case cases[] = {
        {{0, 0, 0}, {"W2 key 65", "W1 key 65", "W0 key 65"}, {1, 1, 1}},
        {{0, 1, 0}, {"W2 key 65", "W1 key 65"}, {1, 1, 1}},
        {{0, 8, 0}, {"W2 key 65", "W1 key 65"}, {0, 1, 1}},
        {{1, 0, 8}, {"W2 key 65"}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        wm->Clear();
        Probe w0("W0"), w1("W1"), w2("W2");
        Probe* w[3] = {&w0, &w1, &w2};
        for (int i = 0; i < 3; ++i) wm->Push(w[i], false, c.flags[i] & 1, c.flags[i] & 8);
        for (Probe* p : w) p->updates = 0;
        steps(12);
        gEvents.clear();
        EXPECT_EQ(wm->OnKeyDown('A', 0), 1);
        EXPECT_EQ(gEvents, c.keys);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(w[i]->updates > 0, c.updated[i] == 1) << i;
        EXPECT_EQ(wm->IsModal(w[1]), (c.flags[1] & 1) != 0);
        wm->Clear();
    }
    Probe lone("L");
    EXPECT_FALSE(wm->IsModal(&lone));
    EXPECT_FALSE(wm->IsModal(nullptr));
}

TEST_F(Manager, InputPassesOverFadingWindowsAndStopsWhenHandled) {
    Probe a("A"), b("B"), c("C");
    settle(a);
    settle(b);
    wm->Push(&c, false, false, false);  // still opening
    b.answer = 1;
    gEvents.clear();
    wm->OnKeyUp(13, 0);  // key-ups go to OnKeyUp: Probe logs only key downs
    wm->OnKeyDown(13, 0);
    EXPECT_EQ(gEvents, Events{"B key 13"});
}

TEST_F(Manager, HandlersMayPushAModalOrClearTheStackMidWalk) {
    Probe a("A"), b("B"), dialog("D");
    settle(a);
    settle(b);
    b.onKey = [&] { wm->Push(&dialog, false, true, false); };
    gEvents.clear();
    wm->OnKeyDown(1, 0);
    EXPECT_EQ(gEvents, Events{"B key 1"});  // the new modal entry ends the walk
    wm->Clear();

    settle(a);
    settle(b);
    b.onKey = [&] { wm->Clear(); };
    gEvents.clear();
    wm->OnKeyDown(1, 0);
    EXPECT_EQ(gEvents, Events{"B key 1"});
    EXPECT_EQ(wm->Count(), 0);

    // Update: a window pushed during the walk starts in the same step; a clear ends the walk.
    settle(a);
    bool pushed = false;
    a.onUpdate = [&] {
        if (!pushed) wm->Push(&b, false, false, false);
        pushed = true;
    };
    EXPECT_EQ(steps(1), Events{"B show 0"});
    b.onUpdate = [&] { wm->Clear(); };
    steps(12);
    EXPECT_EQ(wm->Count(), 0);
}

// The darkness over a white window at set points of its fades, as pixels.
class Darkness : public Manager {
protected:
    void SetUp() override {
        Manager::SetUp();
        writeSprite("Sprites/white.tga", 16, 16, 0xFFFFFF);
        writeFile("dark.ini", "[cover]\ntype=sprite\nnormal=Sprites/white.tga\nstage=1\n");
        widgetAt(&screen, "S", 0, 0, 16, 16, UI_NORMAL);
        widgetAt(&dialog, "D", 0, 0, 8, 8, UI_NORMAL);
        for (Probe* p : {&screen, &dialog}) CreateChildFromIni(p, "dark.ini", "cover", 0, 0);
        darkness = grLoadSprite("Data/fx/darkness.tga", nullptr, 0);
    }
    void TearDown() override {
        grFreeSprite(darkness);
        Manager::TearDown();
    }
    // White under darkness of that alpha, drawn straight.
    uint16_t expected(int alpha) {
        Target t(4, 4);
        grDrawSprite(0, 0, white(), 0);
        grDraw(sMaterial(2, 4, 1, 30), 0, 0, 4, 4, darkness, 0, 0, 4, 4,
               static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF, 0);
        return t.at(1, 1);
    }
    HSPRITE white() { return screen.children[0]->sprites[UI_NORMAL]; }
    Probe screen{"S"}, dialog{"D"};
    HSPRITE darkness = nullptr;
};

TEST_F(Darkness, FadesAndModalDimmingOnPixels) {
    Target target(16, 16);
    struct Point {
        int steps;
        int screenAlpha;  // over the screen beneath the dialog's corner (12, 12)
    };
    wm->Push(&screen, false, false, false);
    const Point fadeIn[] = {{0, 255}, {3, 191}, {6, 127}, {12, 0}};
    int done = 0;
    for (const Point& p : fadeIn) {
        steps(p.steps - done);
        done = p.steps;
        wm->Render();
        EXPECT_EQ(target.at(12, 12), expected(p.screenAlpha)) << p.steps;
    }
    // A modal dialog shows at once; the screen dims to half beneath it over 300 ms.
    wm->Push(&dialog, false, true, false);
    const Point dim[] = {{0, 0}, {6, 63}, {12, 127}};
    done = 0;
    for (const Point& p : dim) {
        steps(p.steps - done);
        done = p.steps;
        wm->Render();
        EXPECT_EQ(target.at(12, 12), expected(p.screenAlpha)) << "dim " << p.steps;
        EXPECT_EQ(target.at(2, 2), expected(0)) << "dialog " << p.steps;  // no darkness of its own
    }
    // Closing: the dialog vanishes at once, the screen brightens again.
    dialog.draws = 0;
    wm->Close(&dialog);
    steps(6);
    wm->Render();
    EXPECT_EQ(dialog.draws, 0);
    EXPECT_EQ(target.at(2, 2), expected(63));
    steps(6);
    wm->Render();
    EXPECT_EQ(target.at(2, 2), expected(0));
    EXPECT_EQ(wm->Count(), 1);
}

TEST_F(Darkness, AReplacementStaysUndrawnUntilTheOldScreenHasLeft) {
    Target target(16, 16);
    settle(screen);
    Probe next("N");
    widgetAt(&next, "N", 0, 0, 16, 16, UI_NORMAL);
    wm->Push(&next, true, false, false);
    steps(6);
    wm->Render();
    EXPECT_EQ(next.draws, 0);
    EXPECT_EQ(target.at(3, 3), expected(127));
    steps(6);
    wm->Render();
    EXPECT_EQ(next.draws, 1);
    EXPECT_EQ(target.at(3, 3), 0);  // the new screen draws nothing yet: full darkness
}

}  // namespace
