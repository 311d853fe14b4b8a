// Focus and input routing: keyboard focus steps, pressing and releasing by Enter and by the left
// button, commands reaching the screen by section name, pointer focus in a window, the state
// sounds, and the layout editor's routing and moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/input.h"
#include "engine/platform/platform.h"
#include "engine/platform/testing.h"
#include "ui/ui.h"
#include "ui_fixtures.h"

namespace {

// A window of sprite buttons in the given states, side by side, 10 pixels wide and high each,
// named b0, b1, ...; every one plays "hover" and "press".
struct Row {
    TestWindow window;
    std::vector<UIWnd*> b;
    explicit Row(std::vector<int> states) {
        widgetAt(&window, "screen", 0, 0, 200, 50, UI_NORMAL);
        for (size_t i = 0; i < states.size(); ++i) {
            const std::string name = "b" + std::to_string(i);
            UIWnd* w = widgetAt(new UIWndSprite, name.c_str(), static_cast<int>(i) * 10, 0, 10, 10,
                                states[i]);
            strcpy(w->sndNormalActive, "hover");
            strcpy(w->sndActivePress, "press");
            window.AddChild(w);
            b.push_back(w);
        }
        window.active = -1;
    }
    std::vector<int> states() const {
        std::vector<int> out;
        for (UIWnd* w : b) out.push_back(w->state);
        return out;
    }
};

TEST(Focus, FocusNextSteps) {
    struct Case {
        std::vector<int> states;
        int active, index, direction;
        int expectActive;
        std::vector<int> expectStates;
    };
    const Case cases[] = {
        // From nothing active, forward to the first normal child.
        {{1, 1, 1}, -1, 0, 1, 0, {2, 1, 1}},
        // Disabled children are passed over, wrapping at the end of the list.
        {{1, 0, 2, 0}, 2, 3, 1, 0, {2, 0, 1, 0}},
        // Direction 0 goes the way of the index as seen from the active child.
        {{1, 1, 2, 0}, 2, 3, 0, 0, {2, 1, 1, 0}},
        {{1, 0, 2, 1}, 2, 1, 0, 0, {2, 0, 1, 1}},
        // Backwards with a negative index wraps to the end.
        {{1, 1, 1}, 0, -1, -1, 2, {1, 1, 2}},
        // The active child again: only a normal one rises, nothing else changes.
        {{1, 1}, 1, 1, 0, 1, {1, 2}},
        {{3, 1}, 0, 0, 1, 0, {3, 1}},
        // No normal child: none is active afterwards.
        {{0, 0, 3}, -1, 0, 1, -1, {0, 0, 3}},
    };
    for (const Case& c : cases) {
        Row row(c.states);
        row.window.active = static_cast<int8_t>(c.active);
        row.window.FocusNext(c.index, c.direction);
        EXPECT_EQ(row.window.active, c.expectActive) << c.index << "," << c.direction;
        EXPECT_EQ(row.states(), c.expectStates) << c.index << "," << c.direction;
    }
    UIWnd empty;
    empty.active = 3;
    empty.FocusNext(0, 1);
    EXPECT_EQ(empty.active, -1);
}

TEST(Focus, OnlyNormalToActiveAndActiveToPressSound) {
    HeardSounds heard;
    UIWnd w;
    strcpy(w.sndNormalActive, "hover");
    strcpy(w.sndActivePress, "press");
    for (int from = 0; from < 4; ++from)
        for (int to = 0; to < 4; ++to) {
            heard.names.clear();
            w.state = static_cast<uint8_t>(from);
            w.SetState(to);
            const std::vector<std::string> expected =
                from == 1 && to == 2   ? std::vector<std::string>{"hover"}
                : from == 2 && to == 3 ? std::vector<std::string>{"press"}
                                       : std::vector<std::string>{};
            EXPECT_EQ(heard.names, expected) << from << "->" << to;
            EXPECT_EQ(w.state, to);
        }
}

TEST(Focus, FocusChildAtTakesTheFirstEnabledChildUnderThePoint) {
    HeardSounds heard;
    Row row({0, 1, 1});
    row.b[2]->x = 10;  // b1 and b2 overlap: the first in list order wins
    row.window.FocusChildAt(uiPack(12, 5));
    EXPECT_EQ(row.window.active, 1);
    EXPECT_EQ(row.states(), (std::vector<int>{0, 2, 1}));
    // A pressed active child that the point has left goes back to active, silently.
    row.b[1]->state = UI_PRESS;
    heard.names.clear();
    row.window.FocusChildAt(uiPack(3, 5));  // only the disabled b0 is there
    EXPECT_EQ(row.states(), (std::vector<int>{0, 2, 1}));
    EXPECT_TRUE(heard.names.empty());
}

TEST(Focus, DisablingTheActiveChildLeavesNoFocus) {
    Row row({1, 2});
    row.window.active = 1;
    row.b[0]->SetState(UI_IGNORE);
    EXPECT_EQ(row.window.active, 1);
    row.b[1]->SetState(UI_IGNORE);
    EXPECT_EQ(row.window.active, -1);
}

TEST(Focus, EnterAndTheLeftButtonPressAndRelease) {
    HeardSounds heard;
    const intptr_t inside = uiPack(15, 5), outside = uiPack(150, 40);
    struct Case {
        int key;
        intptr_t downAt, upAt;
        int stateAfterDown, stateAfterUp;
        bool command;
    };
    const Case cases[] = {
        {kUiEnter, 0, 0, UI_PRESS, UI_ACTIVE, true},
        {kUiLeftButton, inside, inside, UI_PRESS, UI_ACTIVE, true},
        {kUiLeftButton, outside, outside, UI_ACTIVE, UI_ACTIVE, false},
        // Released outside: it stays pressed and nothing is sent.
        {kUiLeftButton, inside, outside, UI_PRESS, UI_PRESS, false},
        {'A', 0, 0, UI_ACTIVE, UI_ACTIVE, false},
    };
    for (const Case& c : cases) {
        Row row({1, 1});
        row.window.FocusNext(1, 1);
        heard.names.clear();
        row.window.OnKeyDown(c.key, c.downAt);
        EXPECT_EQ(row.b[1]->state, c.stateAfterDown) << c.key;
        row.window.OnKeyUp(c.key, c.upAt);
        EXPECT_EQ(row.b[1]->state, c.stateAfterUp) << c.key;
        EXPECT_EQ(row.window.commands, c.command ? std::vector<std::string>{"b1"}
                                                 : std::vector<std::string>{})
            << c.key;
        EXPECT_EQ(heard.names, c.stateAfterDown == UI_PRESS ? std::vector<std::string>{"press"}
                                                            : std::vector<std::string>{});
    }
    // A disabled active child answers nothing.
    Row row({0});
    row.window.active = 0;
    EXPECT_EQ(row.window.OnKeyDown(kUiEnter, 0), 0);
    EXPECT_EQ(row.window.OnKeyUp(kUiEnter, 0), 0);
    EXPECT_TRUE(row.window.commands.empty());
}

TEST(Focus, ThePointerLightsUpTheChildUnderIt) {
    HeardSounds heard;
    Row row({1, 1, 1});
    row.window.OnMouseMove(0, uiPack(12, 3));
    EXPECT_EQ(row.states(), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(row.window.active, 1);
    row.window.OnMouseMove(0, uiPack(25, 3));
    EXPECT_EQ(row.states(), (std::vector<int>{1, 1, 2}));
    // Off every child: the focus stays where it was.
    row.window.OnMouseMove(0, uiPack(100, 40));
    EXPECT_EQ(row.window.active, 2);
    EXPECT_EQ(row.states(), (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(heard.names, (std::vector<std::string>{"hover", "hover"}));
    // A child raised by the keyboard drops back when the pointer moves over nothing.
    row.b[0]->state = UI_ACTIVE;
    row.window.OnMouseMove(0, uiPack(100, 40));
    EXPECT_EQ(row.states(), (std::vector<int>{1, 1, 2}));
}

TEST(Focus, ADisabledBackgroundRaisesNoOtherButton) {
    HeardSounds heard;
    Row row({1, 1});
    UIWnd* background = widgetAt(new UIWndSprite, "bg", 0, 0, 200, 50, UI_IGNORE);
    row.window.InsertChildFirst(background);
    background->parent = &row.window;
    row.window.OnMouseMove(0, uiPack(15, 5));  // onto b1
    EXPECT_EQ(heard.names, std::vector<std::string>{"hover"});
    heard.names.clear();
    row.window.OnMouseMove(0, uiPack(100, 40));  // onto the background only
    EXPECT_TRUE(heard.names.empty());
    EXPECT_EQ(row.states(), (std::vector<int>{1, 1}));
    EXPECT_EQ(row.window.active, 0);
}

TEST(Focus, StickyFocusLetsOnlyEndCapButtonsTakeThePointer) {
    TestWindow window;
    widgetAt(&window, "screen", 0, 0, 100, 100, UI_NORMAL);
    UIWnd* button = window.AddChild(widgetAt(new UIWndButtonIE, "button", 0, 0, 50, 50, UI_NORMAL));
    UIWnd* cover = window.AddChild(widgetAt(new UIWndSprite, "cover", 0, 0, 50, 50, UI_NORMAL));
    window.sticky_focus = 1;
    window.OnMouseMove(0, uiPack(10, 10));
    EXPECT_EQ(window.activeChild(), button);
    EXPECT_EQ(button->state, UI_ACTIVE);
    EXPECT_EQ(cover->state, UI_NORMAL);
    window.sticky_focus = 0;
    window.OnMouseMove(0, uiPack(11, 10));
    EXPECT_EQ(window.activeChild(), cover);
    EXPECT_EQ(button->state, UI_NORMAL);
}

struct EditorOn {
    EditorOn() { uiLayoutEditor = 1; }
    ~EditorOn() { uiLayoutEditor = 0; }
};

// Records the keys it is given and answers as told.
struct KeyProbe : UIWnd {
    std::vector<std::string>* log;
    int answer;
    KeyProbe(std::vector<std::string>* l, const char* name, int a) : log(l), answer(a) {
        strcpy(section, name);
    }
    int OnKeyDown(int, intptr_t) override {
        log->push_back(std::string("down ") + section);
        return answer;
    }
    int OnKeyUp(int, intptr_t) override {
        log->push_back(std::string("up ") + section);
        return answer;
    }
};

TEST(Editor, KeyDownReachesAllKeyUpStopsAtTheFirstHandler) {
    EditorOn editor;
    std::vector<std::string> log;
    UIWnd parent;
    parent.AddChild(new KeyProbe(&log, "a", 1));
    parent.AddChild(new KeyProbe(&log, "b", 1));
    parent.AddChild(new KeyProbe(&log, "c", 0));
    EXPECT_EQ(parent.OnKeyDown(37, 0), 0);
    EXPECT_EQ(parent.OnKeyUp(37, 0), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"down a", "down b", "down c", "up c", "up b"}));
    // A sprite widget takes no press while editing.
    UIWndSprite sprite;
    sprite.state = UI_ACTIVE;
    EXPECT_EQ(sprite.OnKeyDown(kUiEnter, 0), 0);
    EXPECT_EQ(sprite.state, UI_ACTIVE);
}

TEST(Editor, SelectMoveSizeAndSaveTheFilesValues) {
    iniFreeAll();
    writeFile("edit.ini", "[parent]\nx=100\ny=50\nxs=300\nys=200\n[child]\nx=10\ny=20\nxs=30\n"
                          "normal=Sprites/edit.tga\n");
    writeSprite("Sprites/edit.tga", 30, 40, 0x808080);
    EditorOn editor;
    UIWnd parent;
    parent.Load("edit.ini", "parent");
    UIWnd* child = CreateChildFromIni(&parent, "edit.ini", "child", 1, 0);
    ASSERT_EQ(child->x, 110);
    constexpr intptr_t kAlt = intptr_t(1) << 29;
    EXPECT_EQ(child->EditorInput(39, 0), 0);  // not selected: not ours
    EXPECT_EQ(child->EditorInput(kUiLeftButton, uiPack(5, 5)), 0);  // outside, unselected
    EXPECT_EQ(child->EditorInput(kUiLeftButton, uiPack(115, 75)), 1);
    EXPECT_TRUE(child->flags & UI_EDITOR_SELECTED);
    struct Step {
        int key;
        intptr_t data;
        int x, y, xs, ys;
    };
    const Step steps[] = {
        {39, 0, 111, 70, 30, 40},    {39, 0, 112, 70, 30, 40},   {38, 0, 112, 69, 30, 40},
        {40, kAlt, 112, 69, 30, 41}, {37, kAlt, 112, 69, 29, 41}, {'Q', 0, 112, 69, 29, 41},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(child->EditorInput(s.key, s.data), 1) << s.key;
        EXPECT_EQ(child->x, s.x) << s.key;
        EXPECT_EQ(child->y, s.y) << s.key;
        EXPECT_EQ(child->xs, s.xs) << s.key;
        EXPECT_EQ(child->ys, s.ys) << s.key;
    }
    EXPECT_EQ(parent.x, 100);  // only the widget's own rectangle changes
    EXPECT_EQ(child->EditorInput(113, 0), 1);  // F2
    EXPECT_FALSE(child->flags & UI_EDITOR_SELECTED);
    // The file keeps its relative position, moved by what the editor moved.
    iniFreeAll();
    EXPECT_EQ(iniGetInt("edit.ini", "child", "x", 0), 12);
    EXPECT_EQ(iniGetInt("edit.ini", "child", "y", 0), 19);
    EXPECT_EQ(iniGetInt("edit.ini", "child", "xs", 0), 29);
    EXPECT_EQ(iniGetInt("edit.ini", "child", "ys", 0), 41);
    // Saving again without a move writes the same values.
    child->flags |= UI_EDITOR_SELECTED;
    child->EditorInput(113, 0);
    iniFreeAll();
    EXPECT_EQ(iniGetInt("edit.ini", "child", "x", 0), 12);
    // A value out of all proportion in the file is read as the widget reads it (held), then moved
    // (the sum overflowed before).
    iniWriteString("edit.ini", "child", "x", "2147483647");
    child->flags |= UI_EDITOR_SELECTED;
    EXPECT_EQ(child->EditorInput(39, 0), 1);
    child->EditorInput(113, 0);
    iniFreeAll();
    EXPECT_EQ(iniGetInt("edit.ini", "child", "x", 0), INT16_MAX + 1);
}

// Shift as the platform layer last saw it makes the editor's steps 10 pixels long.
TEST(Editor, ShiftHeldStepsByTen) {
    ASSERT_TRUE(platInit());
    ASSERT_TRUE(platWindowOpen(u"editor", 0, 0, 64, 32, false));
    auto deliver = [](const PlatTestEvent& e) {
        ASSERT_TRUE(platTestPush(e));
        PlatMessage m;
        while (platNextMessage(&m, false)) {}
    };
    EditorOn editor;
    UIWnd w;
    widgetAt(&w, "w", 0, 0, 10, 10, UI_NORMAL);
    w.flags |= UI_EDITOR_SELECTED;
    deliver(platTestKey(true, "Left Shift", 0, PLAT_TEST_SHIFT));
    EXPECT_EQ(keyShiftHeld(), 1);
    w.EditorInput(39, 0);
    EXPECT_EQ(w.x, 10);
    deliver(platTestKey(false, "Left Shift"));
    EXPECT_EQ(keyShiftHeld(), 0);
    w.EditorInput(40, 0);
    EXPECT_EQ(w.y, 1);
    platWindowClose();
    platDone();
}

TEST(Editor, AKeyUpReachesTheEditorThroughASpriteWidget) {
    EditorOn editor;
    UIWndSprite sprite;
    widgetAt(&sprite, "s", 0, 0, 10, 10, UI_NORMAL);
    EXPECT_EQ(sprite.OnKeyUp(kUiLeftButton, uiPack(3, 3)), 1);
    EXPECT_TRUE(sprite.flags & UI_EDITOR_SELECTED);
    EXPECT_EQ(sprite.OnKeyUp(40, 0), 1);
    EXPECT_EQ(sprite.y, 1);
}

}  // namespace
