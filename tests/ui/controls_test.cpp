// Switches, the selector, the bar and the text boxes: options and their cycling, the arrows,
// values from keys, pointer and drags, the bar's split on pixels, and typing into a box.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "ui/ui.h"
#include "ui_fixtures.h"

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        font_ = writeTinyFont();
        writeSprite("C/opt.tga", 30, 10, 0x808080);
        writeSprite("C/arrow.tga", 8, 10, 0x404040);
        writeSprite("C/empty.tga", 100, 10, 0x0000FF);
        writeSprite("C/filled.tga", 100, 10, 0xFF0000);
        writeSprite("C/thumb.tga", 10, 10, 0xFFFFFF);
        writeFile("c.ini",
                  "[o0]\nnormal=C/opt.tga\npress=C/opt.tga\nactive=C/opt.tga\n[o1]\n"
                  "normal=C/opt.tga\n[o3]\nnormal=C/opt.tga\n"
                  "[an_option_name_of_thirty_one_ch]\nxs=7\n"
                  "[sw]\ntype=switch\nstage=1\nx=10\ny=20\nsndNormalActive=hover\n"
                  "sndActivePress=press\n0=o0\n1=o1\n3=o3\n"
                  "[long]\ntype=switch\n0=an_option_name_of_thirty_one_characters_and_more\n"
                  "[bare]\ntype=switch\nstage=1\n[barese]\ntype=switchselect\nstage=1\n"
                  "[left]\nnormal=C/arrow.tga\n[right]\nnormal=C/arrow.tga\n"
                  "[sel]\ntype=switchselect\nstage=1\nx=100\ny=50\nxs=60\nys=12\n0=o0\n1=o1\n"
                  "[bar]\ntype=progress\nstage=2\nx=10\ny=20\nys=10\n0=empty\n1=filled\n2=thumb\n"
                  "[vbar]\ntype=progress\nstage=2\nx=10\ny=20\nxs=10\nys=10\nvertical=1\n"
                  "0=empty\n1=filled\n"
                  "[flatbar]\ntype=progress\nstage=2\nx=10\ny=20\nys=10\n0=empty\n1=filled\n2=wide\n"
                  "[empty]\nnormal=C/empty.tga\nactive=C/empty.tga\npress=C/empty.tga\n"
                  "[filled]\nnormal=C/filled.tga\nactive=C/filled.tga\npress=C/filled.tga\n"
                  "[thumb]\nnormal=C/thumb.tga\nactive=C/thumb.tga\npress=C/thumb.tga\n"
                  "[wide]\nxs=100\n"
                  "[box]\ntype=ieEdit\nstage=2\nx=10\ny=10\nxs=100\nys=10\nstrsize=5\nfont=" +
                      font_ +
                      "\nCursorR=255\nCursorG=0\nCursorB=0\n"
                      "[narrow]\ntype=ieEdit\nstage=2\nxs=14\nys=10\nfont=" +
                      font_ + "\n");
    }
    UIWnd* make(const char* section) {
        UIWnd* w = CreateChildFromIni(&window, "c.ini", section, 0, 0);
        EXPECT_NE(w, nullptr) << section;
        return w;
    }
    TestWindow window;
    std::string font_;
};

TEST_F(Controls, SwitchOptionsCycleByKeysAndClicks) {
    auto* sw = dynamic_cast<UISwitch*>(make("sw"));
    ASSERT_NE(sw, nullptr);
    ASSERT_EQ(sw->childCount(), 2);  // "2" is missing: reading stops there
    EXPECT_EQ(sw->selected(), sw->children[1]);
    EXPECT_EQ(sw->xs, 30);  // from the first option
    EXPECT_EQ(sw->children[0]->x, 10);
    EXPECT_EQ(sw->children[0]->y, 20);
    EXPECT_EQ(sw->children[0]->state, UI_NORMAL);
    EXPECT_EQ(sw->children[0]->font, nullptr);  // the switch has none to share

    HeardSounds heard;
    const intptr_t inside = uiPack(15, 25), outside = uiPack(100, 100);
    struct Case {
        int key;
        intptr_t at;
        int selected;  // afterwards
        bool command;
    };
    const Case cases[] = {
        {39, 0, 0, true},        // Right on the last wraps to the first
        {39, 0, 1, true},        {37, 0, 0, true},  {37, 0, 1, true},
        {kUiEnter, 0, 0, true},  {kUiLeftButton, inside, 1, true},
        {kUiLeftButton, outside, 1, false},  // no press outside
        {'A', 0, 1, false},
    };
    for (const Case& c : cases) {
        sw->state = UI_ACTIVE;
        heard.names.clear();
        window.commands.clear();
        const int down = sw->OnKeyDown(c.key, c.at);
        sw->OnKeyUp(c.key, c.at);
        EXPECT_EQ(sw->active, c.selected) << c.key;
        EXPECT_EQ(window.commands.size(), c.command ? 1u : 0u) << c.key;
        EXPECT_EQ(sw->state, UI_ACTIVE) << c.key;
        EXPECT_EQ(heard.names, down ? std::vector<std::string>{"press"}
                                    : std::vector<std::string>{})
            << c.key;
        if (c.command) {
            EXPECT_EQ(sw->selected()->state, UI_ACTIVE);
        }
    }
    // Pressed, any other key lets go without a command.
    sw->state = UI_PRESS;
    window.commands.clear();
    EXPECT_EQ(sw->OnKeyUp('A', 0), 0);
    EXPECT_EQ(sw->state, UI_ACTIVE);
    EXPECT_TRUE(window.commands.empty());
}

TEST_F(Controls, OptionNamesAreCutAndNoOptionDrawsNothing) {
    UIWnd* cut = make("long");
    ASSERT_EQ(cut->childCount(), 1);
    EXPECT_EQ(cut->children[0]->xs, 7);  // read from the section of the first 31 characters
    EXPECT_STREQ(cut->children[0]->section, "an_option_name_of_thirt");

    Target target(64, 64);
    for (const char* name : {"bare", "barese"}) {
        auto* sw = dynamic_cast<UISwitch*>(make(name));
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(sw->selected(), nullptr);
        sw->Draw();
        sw->state = UI_ACTIVE;
        sw->OnKeyDown(39, 0);
        EXPECT_EQ(sw->OnKeyUp(39, 0), 1);
        EXPECT_EQ(sw->Update(25), 0);
    }
}

TEST_F(Controls, SelectorPlacesOptionsBetweenItsArrows) {
    auto* sel = dynamic_cast<UISwitchSelect*>(make("sel"));
    ASSERT_NE(sel, nullptr);
    ASSERT_EQ(sel->childCount(), 2);
    EXPECT_EQ(sel->left.x, 100);
    EXPECT_EQ(sel->right.x, 100 + 60 - 8);
    for (int i = 0; i < 2; ++i) {
        UIWnd* o = sel->children[i];
        EXPECT_EQ(o->x, 108) << i;
        EXPECT_EQ(o->y, 50) << i;
        EXPECT_EQ(o->xs, 60 - 16) << i;
        EXPECT_EQ(o->ys, 12) << i;
    }
    EXPECT_EQ(sel->left.parent, sel);

    sel->SetState(UI_ACTIVE);
    EXPECT_EQ(sel->left.state, UI_ACTIVE);
    EXPECT_EQ(sel->right.state, UI_ACTIVE);
    EXPECT_EQ(sel->selected()->state, UI_ACTIVE);
    // A click in the right arrow steps forward, in the left one back; the arrows report too.
    const intptr_t inRight = uiPack(155, 55), inLeft = uiPack(103, 55);
    sel->OnKeyDown(kUiLeftButton, inRight);
    EXPECT_EQ(sel->right.state, UI_PRESS);
    sel->OnKeyUp(kUiLeftButton, inRight);
    EXPECT_EQ(sel->active, 0);
    EXPECT_EQ(window.commands, (std::vector<std::string>{"right", "sel"}));
    window.commands.clear();
    sel->SetState(UI_ACTIVE);
    sel->OnKeyDown(kUiLeftButton, inLeft);
    sel->OnKeyUp(kUiLeftButton, inLeft);
    EXPECT_EQ(sel->active, 1);
    EXPECT_EQ(window.commands, (std::vector<std::string>{"left", "sel"}));

    sel->Move(5, 7);
    EXPECT_EQ(sel->x, 100);  // the selector's own corner stays
    EXPECT_EQ(sel->left.x, 105);
    EXPECT_EQ(sel->right.y, 57);
    EXPECT_EQ(sel->children[0]->x, 113);

    // Hidden, the arrows and the option still draw by their own rules.
    Target target(200, 100);
    sel->SetState(UI_NORMAL);
    sel->setHidden(true);
    sel->Draw();
    EXPECT_NE(target.at(106, 60), 0);  // left arrow
    EXPECT_NE(target.at(130, 60), 0);  // the option
}

TEST_F(Controls, BarValues) {
    auto* bar = dynamic_cast<UIProgress*>(make("bar"));
    ASSERT_NE(bar, nullptr);
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, float> values[] = {{-1, 0}, {0, 0},   {0.25f, 0.25f}, {1, 1},
                                              {2, 1},  {0.5f, 0.5f}, {NAN, 0.5f},  {inf, 1},
                                              {-inf, 0}};
    for (auto [given, kept] : values) {
        bar->SetValue(given);
        EXPECT_EQ(bar->GetValue(), kept) << given;
    }
    // The track runs from 15 to 105: the thumb's half width in from each end of the bar.
    struct Case {
        bool vertical;
        int px, py;
        float value;
    };
    const Case pointer[] = {{false, 15, 25, 0.0f},  {false, 105, 25, 1.0f}, {false, 60, 25, 0.5f},
                            {false, 0, 25, 0.0f},   {false, 300, 25, 1.0f}, {true, 12, 20, 1.0f},
                            {true, 12, 30, 0.0f},   {true, 12, 25, 0.5f},   {true, 12, 90, 0.0f}};
    auto* vbar = dynamic_cast<UIProgress*>(make("vbar"));
    ASSERT_NE(vbar, nullptr);
    for (const Case& c : pointer) {
        UIProgress* b = c.vertical ? vbar : bar;
        b->SetValue(0.3f);
        b->state = UI_PRESS;  // dragging
        EXPECT_EQ(b->OnMouseMove(1, uiPack(c.px, c.py)), 1);
        EXPECT_FLOAT_EQ(b->GetValue(), c.value) << c.vertical << " " << c.px << "," << c.py;
    }
    // Without the button held the pointer changes nothing; a disabled bar answers 0.
    bar->SetValue(0.3f);
    EXPECT_EQ(bar->OnMouseMove(0, uiPack(60, 25)), 1);
    EXPECT_FLOAT_EQ(bar->GetValue(), 0.3f);
    bar->state = UI_IGNORE;
    EXPECT_EQ(bar->OnMouseMove(1, uiPack(60, 25)), 0);
    // A click inside sets the value; outside it is taken and does nothing.
    bar->state = UI_ACTIVE;
    EXPECT_EQ(bar->OnKeyDown(kUiLeftButton, uiPack(96, 25)), 1);
    EXPECT_FLOAT_EQ(bar->GetValue(), 0.9f);
    EXPECT_EQ(bar->state, UI_PRESS);
    bar->state = UI_ACTIVE;
    EXPECT_EQ(bar->OnKeyDown(kUiLeftButton, uiPack(300, 25)), 1);
    EXPECT_FLOAT_EQ(bar->GetValue(), 0.9f);
    EXPECT_EQ(bar->state, UI_ACTIVE);
}

TEST_F(Controls, ATrackOfNoLengthTakesNoValueFromThePointer) {
    auto* flat = dynamic_cast<UIProgress*>(make("flatbar"));
    ASSERT_NE(flat, nullptr);
    flat->SetValue(0.4f);
    flat->state = UI_PRESS;
    flat->OnMouseMove(1, uiPack(50, 25));
    EXPECT_FLOAT_EQ(flat->GetValue(), 0.4f);
    auto* vbar = dynamic_cast<UIProgress*>(make("vbar"));
    vbar->ys = 0;
    vbar->SetValue(0.4f);
    vbar->state = UI_PRESS;
    vbar->OnMouseMove(1, uiPack(12, 25));
    EXPECT_FLOAT_EQ(vbar->GetValue(), 0.4f);
    Target target(128, 64);
    flat->Draw();  // nothing mirrored, nothing undefined
}

TEST_F(Controls, AHeldArrowStepsAtOnceAndEvery200Ms) {
    auto* bar = dynamic_cast<UIProgress*>(make("bar"));
    bar->clock = 1000;
    window.commands.clear();
    EXPECT_EQ(bar->OnKeyDown(39, 0), 1);
    EXPECT_FLOAT_EQ(bar->GetValue(), 0.1f);
    for (int t = 0; t < 450; t += 25) bar->Update(25);
    EXPECT_NEAR(bar->GetValue(), 0.3f, 1e-6);
    EXPECT_EQ(window.commands.size(), 3u);
    bar->OnKeyUp(39, 0);
    EXPECT_EQ(bar->repeat, 0);
    EXPECT_EQ(bar->state, UI_ACTIVE);
    for (int t = 0; t < 400; t += 25) bar->Update(25);
    EXPECT_NEAR(bar->GetValue(), 0.3f, 1e-6);
    // Held down to the bottom, it stays at 0.
    bar->OnKeyDown(37, 0);
    for (int t = 0; t < 2000; t += 25) bar->Update(25);
    EXPECT_EQ(bar->GetValue(), 0.0f);
}

TEST_F(Controls, TheBarSplitsAtItsValueOnPixels) {
    auto* bar = dynamic_cast<UIProgress*>(make("bar"));
    Target target(128, 64);
    bar->state = UI_NORMAL;
    bar->SetValue(0.5f);
    bar->Draw();
    // Filled from the bar's start to 15 + 45 = 60, empty after it, the thumb centred on it.
    EXPECT_EQ(target.at(10, 25), rgb565(0xFF0000));
    EXPECT_EQ(target.at(54, 25), rgb565(0xFF0000));
    EXPECT_EQ(target.at(55, 25), rgb565(0xFFFFFF));
    EXPECT_EQ(target.at(64, 25), rgb565(0xFFFFFF));
    EXPECT_EQ(target.at(65, 25), rgb565(0x0000FF));
    EXPECT_EQ(target.at(109, 25), rgb565(0x0000FF));
    EXPECT_EQ(target.at(110, 25), 0);
}

struct Act {
    char kind;  // c: OnChar, k: OnKeyDown, v: SetValue, t: SetTextW
    float code;
    std::u16string text;  // t: the text to set; otherwise the text expected afterwards
    int cursor;           // expected afterwards
    int handled;          // expected result of c and k
};

void play(UIEntryIE* box, const std::vector<Act>& acts) {
    int step = 0;
    for (const Act& a : acts) {
        int result = -1;
        switch (a.kind) {
        case 'c': result = box->OnChar(static_cast<int>(a.code), 0); break;
        case 'k': result = box->OnKeyDown(static_cast<int>(a.code), 0); break;
        case 'v': box->SetValue(a.code); break;
        case 't': box->SetTextW(a.text.c_str()); break;
        }
        // A new text leaves the cursor as it was: the next use must keep it within the text.
        if (a.kind != 't') {
            EXPECT_EQ(std::u16string(box->caption), a.text) << "step " << step;
            EXPECT_EQ(box->Cursor(), a.cursor) << "step " << step;
        }
        if (result >= 0) {
            EXPECT_EQ(result, a.handled) << "step " << step;
        }
        ++step;
    }
}

TEST_F(Controls, TypingIntoABox) {
    auto* box = dynamic_cast<UIEntryIE*>(make("box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->strsize, 5);
    EXPECT_EQ(box->cursorColour, 0xFFFF0000u);
    play(box, {
                  {'c', 'a', u"a", 1, 1},      {'c', 'b', u"ab", 2, 1},
                  {'c', 'c', u"abc", 3, 1},    {'c', 'd', u"abcd", 4, 1},
                  {'c', 'e', u"abcd", 4, 0},   // strsize 5 holds four
                  {'k', 37, u"abcd", 3, 1},    {'k', 8, u"abd", 2, 1},
                  {'k', 46, u"ab", 2, 1},      {'k', 46, u"ab", 2, 0},
                  {'k', 36, u"ab", 0, 1},      {'k', 37, u"ab", 0, 1},
                  {'k', 8, u"ab", 0, 0},       {'c', 'x', u"xab", 1, 1},
                  {'k', 35, u"xab", 3, 1},     {'k', 39, u"xab", 3, 1},
                  // Control characters and a code without a glyph are no text.
                  {'c', 8, u"xab", 3, 0},      {'c', 9, u"xab", 3, 0},
                  {'c', 13, u"xab", 3, 0},     {'c', 27, u"xab", 3, 0},
                  {'c', 0xE9, u"xab", 3, 0},   {'c', ' ', u"xab ", 4, 1},
                  {'k', 'A', u"xab ", 4, 0},
                  // The cursor stays within the text, wherever it comes from.
                  {'v', 99, u"xab ", 4, 0},    {'v', -3, u"xab ", 0, 0},
                  {'v', 2.5f, u"xab ", 2, 0},  {'v', 1.5f, u"xab ", 2, 0},
                  {'v', NAN, u"xab ", 0, 0},   {'v', 4, u"xab ", 4, 0},
                  {'t', 0, u"z", 1, 0},        {'k', 8, u"", 0, 1},
                  {'t', 0, u"pq", 0, 0},       {'v', 2, u"pq", 2, 0},
                  {'t', 0, u"", 0, 0},         {'k', 46, u"", 0, 0},
                  {'c', 'm', u"m", 1, 1},
              });
    auto* narrow = dynamic_cast<UIEntryIE*>(make("narrow"));
    play(narrow, {{'c', 'a', u"a", 1, 1}, {'c', 'b', u"ab", 2, 1}, {'c', 'c', u"abc", 3, 1},
                  {'c', 'd', u"abc", 3, 0}});  // 16 pixels would not fit into 14
}

TEST_F(Controls, TheRepairedBoxTakesBackspaceOnKeyDown) {
    writeFile("r.ini", "[name]\nxs=100\nys=10\nfont=" + font_ + "\n");
    UIEntryIE_Repaired box;
    box.Load("r.ini", "name");
    box.SetTextW(u"abc");
    box.SetValue(3);
    EXPECT_EQ(box.OnKeyDown(8, 0), 1);
    EXPECT_EQ(std::u16string(box.caption), u"ab");
    EXPECT_EQ(box.cursor, 2);
    EXPECT_EQ(box.OnChar(8, 0), 0);
    EXPECT_EQ(box.OnKeyUp(8, 0), 0);
    EXPECT_EQ(std::u16string(box.caption), u"ab");
    box.SetValue(0);
    EXPECT_EQ(box.OnKeyDown(8, 0), 0);  // the plain box's answer at 0
    EXPECT_EQ(std::u16string(box.caption), u"ab");
    EXPECT_EQ(box.OnKeyDown(39, 0), 1);
    EXPECT_EQ(box.OnChar('z', 0), 1);
    EXPECT_EQ(std::u16string(box.caption), u"azb");
}

TEST_F(Controls, EnterReleasedSendsTheBoxsCommand) {
    UIWnd* box = make("box");
    EXPECT_EQ(box->OnKeyUp(kUiEnter, 0), 1);
    EXPECT_EQ(box->OnKeyUp('A', 0), 0);
    EXPECT_EQ(window.commands, std::vector<std::string>{"box"});
}

TEST_F(Controls, TheCaretBlinksAtTheCursor) {
    auto* box = dynamic_cast<UIEntryIE*>(make("box"));
    box->SetTextW(u"ab");
    box->SetValue(1);
    box->xalign = -1;
    Target target(128, 32);
    const uint16_t red = rgb565(0xFF0000);
    struct Case {
        int state, clock;
        bool caret;
    };
    const Case cases[] = {{UI_ACTIVE, 512, true},  {UI_ACTIVE, 1023, true}, {UI_ACTIVE, 1024, false},
                          {UI_ACTIVE, 100, false}, {UI_PRESS, 512, true},   {UI_NORMAL, 512, false}};
    for (const Case& c : cases) {
        target.clear();
        box->state = static_cast<uint8_t>(c.state);
        box->clock = c.clock;
        box->Draw();
        // One glyph in: x = 10 + 4; the caret is 3 wide and a line high, centred.
        EXPECT_EQ(target.at(14, 13) == red, c.caret) << c.state << " " << c.clock;
        EXPECT_EQ(target.at(16, 13) == red, c.caret) << c.state << " " << c.clock;
        EXPECT_NE(target.at(17, 13), red);
        EXPECT_NE(target.at(13, 13), red);
    }
}

}  // namespace
