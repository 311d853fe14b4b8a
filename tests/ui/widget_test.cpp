// Widgets read from layout sections: keys and defaults, the factory's types and placement, fonts
// shared with the parent, captions, the child list's limit, what a destroyed tree hands back, and
// the look-ups of named children.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "engine/data/ini.h"
#include "engine/gr/registry.h"
#include "engine/platform/log.h"
#include "ui/ui.h"
#include "ui_fixtures.h"

namespace {

std::u16string captionOf(const UIWnd* w) { return w->caption.str(); }

std::string logText() {
    std::ifstream log("gerr.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
}

class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        writeSprite("Sprites/wide.tga", 120, 30, 0x3366CC);
        writeSprite("Sprites/tall.tga", 20, 90, 0xCC6633);
        font_ = writeTinyFont();
    }
    void TearDown() override { iniFreeAll(); }
    void layout(const std::string& text) { writeFile("layout.ini", text); }
    std::string font_;
};

TEST_F(Layout, KeysAndDefaults) {
    layout(
        "[plain]\n"
        "[full]\n"
        "x=5\ny=-7\nxs=0\nys=0\nselect=7\nxalign=1\nyalign=-1\n"
        "sndNormalActive=a_sound_name_longer_than_fifteen\nsndActivePress=press\n"
        "ignore=Sprites/missing.tga\nnormal=Sprites/wide.tga\nactive=Sprites/tall.tga\n"
        "normal_flip_x=1\nactive_flip_y=1\nactive_flip_x=2\n"
        "[a_section_name_longer_than_twenty_three]\n"
        "[sized]\nxs=40\nnormal=Sprites/wide.tga\n");
    UIWnd plain;
    plain.Load("layout.ini", "plain");
    EXPECT_EQ(plain.x, 0);
    EXPECT_EQ(plain.xs, 0);
    EXPECT_EQ(plain.state, UI_NORMAL);
    EXPECT_EQ(plain.tint, 0xFFFFFFFFu);
    EXPECT_EQ(plain.active, -1);
    EXPECT_STREQ(plain.section, "plain");
    EXPECT_STREQ(plain.iniFile, "layout.ini");

    UIWnd full;
    full.Load("layout.ini", "full");
    EXPECT_EQ(full.x, 5);
    EXPECT_EQ(full.y, -7);
    // The first state sprite that loads gives the size; a missing file gives none.
    EXPECT_EQ(full.xs, 120);
    EXPECT_EQ(full.ys, 30);
    EXPECT_EQ(full.select(), 3);
    EXPECT_EQ(full.xalign, 1);
    EXPECT_EQ(full.yalign, -1);
    EXPECT_STREQ(full.sndNormalActive, "a_sound_name_lo");
    EXPECT_STREQ(full.sndActivePress, "press");
    EXPECT_EQ(full.flip, (1 << 1) | (16 << 2));  // only a value of 1 flips
    EXPECT_NE(full.sprites[UI_NORMAL], nullptr);
    EXPECT_EQ(full.sprites[UI_PRESS], nullptr);

    UIWnd cut;
    cut.Load("layout.ini", "a_section_name_longer_than_twenty_three");
    EXPECT_STREQ(cut.section, "a_section_name_longer_t");

    UIWnd sized;
    sized.Load("layout.ini", "sized");
    EXPECT_EQ(sized.xs, 40);
    EXPECT_EQ(sized.ys, 30);
}

TEST_F(Layout, FactoryTypesInAnyCase) {
    layout(
        "[none]\n[sprite]\ntype=SPRITE\n[text]\ntype=Text\n[button]\ntype=iebutton\n"
        "[anim]\ntype=animwnd\n[odd]\ntype=widget\n");
    struct Case {
        const char* section;
        const char* expected;  // null: no widget
    };
    const Case cases[] = {{"none", "UIWnd"},       {"sprite", "UIWndSprite"},
                          {"text", "UITextStatic"}, {"button", "UIWndButtonIE"},
                          {"anim", "UIAnimWnd"},    {"odd", nullptr},
                          {"missing", "UIWnd"}};
    for (const Case& c : cases) {
        UIWnd* w = CreateChildFromIni(nullptr, "layout.ini", c.section, 0, 0);
        if (!c.expected) {
            EXPECT_EQ(w, nullptr) << c.section;
            continue;
        }
        ASSERT_NE(w, nullptr) << c.section;
        const std::string name = c.expected;
        bool right = name == "UIWnd"           ? typeid(*w) == typeid(UIWnd)
                     : name == "UIWndSprite"   ? typeid(*w) == typeid(UIWndSprite)
                     : name == "UITextStatic"  ? typeid(*w) == typeid(UITextStatic)
                     : name == "UIWndButtonIE" ? typeid(*w) == typeid(UIWndButtonIE)
                                               : typeid(*w) == typeid(UIAnimWnd);
        EXPECT_TRUE(right) << c.section << " is not a " << name;
        delete w;
    }
    EXPECT_EQ(CreateChildFromIni(nullptr, "nowhere.ini", "none", 0, 0), nullptr);
    EXPECT_EQ(CreateChildFromIni(nullptr, "", "none", 0, 0), nullptr);
    EXPECT_EQ(CreateChildFromIni(nullptr, "layout.ini", "", 0, 0), nullptr);
    EXPECT_EQ(CreateChildFromIni(nullptr, nullptr, "none", 0, 0), nullptr);
}

TEST_F(Layout, StageIsAStateOrZero) {
    layout("[a]\n[b]\nstage=1\n[c]\nstage=3\n[d]\nstage=4\n[e]\nstage=-1\n[f]\nstage=255\n");
    const std::pair<const char*, int> cases[] = {{"a", 0}, {"b", 1}, {"c", 3},
                                                 {"d", 0}, {"e", 0}, {"f", 0}};
    const int before = logLines();
    for (auto [section, state] : cases) {
        UIWnd* w = CreateChildFromIni(nullptr, "layout.ini", section, 0, 0);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->state, state) << section;
        delete w;
    }
    // One line for each value that is no state, and the box naming the file once.
    EXPECT_EQ(logLines() - before, 4);
}

// Numbers beyond what a widget holds are held to its range, not cut to it (2147483648 would
// land at -1), and so is a text whose leading digits fit but which as a whole is no number the
// field can hold ("1e308" would read as 1): one line each naming file, section and key, and the
// box naming the file. A real number within the field keeps its leading digits, unlogged.
TEST_F(Layout, NumbersBeyondTheFieldsAreHeldToThem) {
    const char* const keys[6] = {"x", "y", "xs", "ys", "xalign", "yalign"};
    const struct {
        const char* file;
        const char* values[6];
        int held[6];
        bool logged[6];
    } cases[] = {
        {"integers.ini",
         {"2147483648", "-99999999999", "40000", "-1", "300", "-1"},
         {32767, -32768, 32767, -1, 127, -1},
         {true, true, true, false, true, false}},
        {"reals.ini",
         {"1e308", "-1e308", "inf", "nan", "2.5", "-1e3"},
         {32767, -32768, 32767, 0, 2, -128},
         {true, true, true, true, false, true}},
    };
    for (const auto& c : cases) {
        std::string text = "[w]\n";
        for (int k = 0; k < 6; ++k) text += std::string(keys[k]) + "=" + c.values[k] + "\n";
        writeFile(c.file, text);
        const size_t before = logText().size();
        UIWnd w;
        w.Load(c.file, "w");
        const int read[6] = {w.x, w.y, w.xs, w.ys, w.xalign, w.yalign};
        const std::string added = logText().substr(before);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(read[k], c.held[k]) << c.file << " " << keys[k];
            const std::string line = std::string(c.file) + " [w] \"" + keys[k] + "\"";
            EXPECT_EQ(added.find(line) != std::string::npos, c.logged[k]) << line;
        }
        const size_t box = added.find("Message box");
        ASSERT_NE(box, std::string::npos) << added;
        EXPECT_NE(added.find(c.file, box), std::string::npos);
    }
}

TEST_F(Layout, PlacementRelativeAndCentred) {
    layout("[child]\nx=10\ny=20\nxs=4\nys=4\n");
    UIWnd parent;
    widgetAt(&parent, "parent", 100, 200, 51, 31, UI_NORMAL);
    struct Case {
        int relative, center, x, y;
    };
    const Case cases[] = {{0, 0, 10, 20}, {0, 1, 10, 20}, {1, 0, 110, 220}, {1, 1, 135, 235}};
    for (const Case& c : cases) {
        UIWnd* w = CreateChildFromIni(&parent, "layout.ini", "child", c.relative, c.center);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->x, c.x) << c.relative << c.center;
        EXPECT_EQ(w->y, c.y) << c.relative << c.center;
        EXPECT_EQ(w->parent, &parent);
        EXPECT_EQ(parent.activeChild(), w);  // the last added is the active child
    }
    EXPECT_EQ(parent.childCount(), 4);
    UIWnd* relativeOnly = CreateChildFromIni(nullptr, "layout.ini", "child", 1, 1);
    EXPECT_EQ(relativeOnly->x, 10);  // no parent, no move
    delete relativeOnly;
}

TEST_F(Layout, FontsAreSharedUnlessTheSectionNamesOne) {
    writeSprite("Fonts/other.tga", 8, 4, 0xFFFFFF);
    writeFile("Fonts/other.fh", "2 4 0\n");
    layout("[parent]\nfont=" + font_ + "\n[inherits]\n[own]\nfont=Fonts/other.tga\n");
    UIWnd parent;
    parent.Load("layout.ini", "parent");
    ASSERT_NE(parent.font, nullptr);
    UIWnd* inherits = CreateChildFromIni(&parent, "layout.ini", "inherits", 0, 0);
    UIWnd* own = CreateChildFromIni(&parent, "layout.ini", "own", 0, 0);
    EXPECT_EQ(inherits->font, parent.font);
    ASSERT_NE(own->font, nullptr);
    EXPECT_NE(own->font, parent.font);
    EXPECT_EQ(grHandle(own->font)->references(), 1u);
    EXPECT_EQ(grHandle(parent.font)->references(), 2u);
}

TEST_F(Layout, CaptionsTranslatedAndCut) {
    writeFile("data/translation.ini", "#GREETING=Hello there\n");
    iniFreeAll();
    layout("[plain]\nname=Just text\n[keyed]\nname=#GREETING\n[unknown]\nname=#NOPE\n");
    const std::pair<const char*, std::u16string> cases[] = {
        {"plain", u"Just text"}, {"keyed", u"Hello there"}, {"unknown", u""}};
    for (const auto& [section, caption] : cases) {
        UIWnd w;
        w.Load("layout.ini", section);
        EXPECT_EQ(captionOf(&w), caption) << section;
    }
    UIWnd w;
    const std::string longText(3000, 'x');
    w.SetText(longText.c_str());
    EXPECT_EQ(captionOf(&w).size(), 1023u);
    const std::u16string longWide(2000, u'y');
    w.SetTextW(longWide.c_str());
    EXPECT_EQ(captionOf(&w), longWide.substr(0, 1023));
    EXPECT_EQ(w.SetTextF("%d-%s", 42, "ab"), 5);
    char back[4];
    EXPECT_EQ(w.GetTextA(back, sizeof back), 3);
    EXPECT_STREQ(back, "42-");
}

TEST_F(Layout, TheChildListRefusesA128thChild) {
    layout("[child]\n");
    TestWindow window;
    for (int i = 0; i < kUiChildSlots - 1; ++i)
        ASSERT_NE(CreateChildFromIni(&window, "layout.ini", "child", 0, 0), nullptr) << i;
    const int before = logLines();
    EXPECT_EQ(CreateChildFromIni(&window, "layout.ini", "child", 0, 0), nullptr);
    UIWnd extra;
    EXPECT_EQ(window.AddChild(&extra), nullptr);
    EXPECT_FALSE(window.InsertChildFirst(&extra));
    EXPECT_EQ(logLines() - before, 3);
    EXPECT_EQ(window.childCount(), 127);
    EXPECT_EQ(window.children[127], nullptr);
    EXPECT_EQ(extra.parent, nullptr);
}

TEST_F(Layout, APromptLoadsNoPromptOfItsOwn) {
    layout("[button]\ntype=ieButton\nprompt=button\nname=Go\n");
    UIWnd* w = CreateChildFromIni(nullptr, "layout.ini", "button", 0, 0);
    auto* button = dynamic_cast<UIWndButtonIE*>(w);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->prompt, nullptr);
    EXPECT_EQ(button->prompt->prompt, nullptr);
    EXPECT_EQ(button->prompt->state, UI_IGNORE);
    // The prompt shows only while the button is active or pressed.
    for (int state : {0, 1, 2, 3}) {
        button->state = static_cast<uint8_t>(state);
        button->Refresh();
        EXPECT_EQ(button->prompt->hidden(), state < 2) << state;
    }
    delete w;
}

TEST_F(Layout, ADestroyedTreeHandsBackEverySpriteAndFont) {
    layout(
        "[screen]\nfont=" + font_ + "\nnormal=Sprites/wide.tga\n"
        "[button]\ntype=ieButton\nprompt=tip\nleftnormal=Sprites/tall.tga\n"
        "rightpress=Sprites/wide.tga\nfont=" + font_ + "\n"
        "[tip]\nnormal=Sprites/tall.tga\n"
        "[text]\ntype=text\nignore=Sprites/wide.tga\nfont=Fonts/tiny.tga\n");
    const int before = grRegistryCount();
    auto* screen = new TestWindow;
    screen->Create("layout.ini", "screen");
    UIWnd* button = CreateChildFromIni(screen, "layout.ini", "button", 0, 0);
    CreateChildFromIni(button, "layout.ini", "text", 0, 0);
    CreateChildFromIni(screen, "layout.ini", "text", 0, 0);
    EXPECT_EQ(grRegistryCount(), before + 3);  // two sprites and the font, shared by name
    delete screen;
    EXPECT_EQ(grRegistryCount(), before);
}

TEST_F(Layout, NamedChildren) {
    UIWnd parent;
    UIWnd* ok = parent.AddChild(widgetAt(new UIWnd, "OkButton", 0, 0, 1, 1, UI_NORMAL));
    UIWnd* hidden = parent.AddChild(widgetAt(new UIWnd, "Hint", 0, 0, 1, 1, UI_NORMAL));
    hidden->setHidden(true);
    EXPECT_EQ(findChild(&parent, "okbutton"), ok);
    EXPECT_EQ(findChild(&parent, "HINT"), hidden);
    EXPECT_EQ(findChild(&parent, "Nothing"), nullptr);
    EXPECT_EQ(findChild(nullptr, "Hint"), nullptr);
    EXPECT_EQ(findChildIndex(&parent, "hint"), 1);
    EXPECT_EQ(findChildIndex(&parent, "Nothing"), -1);
    EXPECT_EQ(findChildIndex(nullptr, "Hint"), -1);
    EXPECT_TRUE(hasChild(&parent, "OKBUTTON"));
    EXPECT_FALSE(hasChild(&parent, "OK"));
    EXPECT_TRUE(isChildShown(&parent, "okButton"));
    EXPECT_FALSE(isChildShown(&parent, "hint"));
    EXPECT_FALSE(isChildShown(&parent, "missing"));

    showChildWithState(&parent, "hint", UI_PRESS);
    EXPECT_FALSE(hidden->hidden());
    EXPECT_EQ(hidden->state, UI_PRESS);
    hideChildWithState(&parent, "OKBUTTON", UI_IGNORE);
    EXPECT_TRUE(ok->hidden());
    EXPECT_EQ(ok->state, UI_IGNORE);
    showChildWithState(&parent, "missing", UI_PRESS);  // nothing happens
    hideChildWithState(&parent, "missing", UI_PRESS);
    EXPECT_EQ(parent.childCount(), 2);
}

}  // namespace
