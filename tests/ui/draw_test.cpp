// What widgets and windows draw, read back from the pixels: wrapped text, end-cap buttons, state
// sprites mirrored by a negative size, key frames, and a window's clip, pressed offset and focus
// bookkeeping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/gr/image.h"
#include "ui/ui.h"
#include "ui_fixtures.h"

namespace {

struct Box {
    int x, y, w, h;
    bool operator==(const Box& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << '(' << b.x << ", " << b.y << ", " << b.w << ", " << b.h << ')';
}

// The smallest rectangle of pixels that are not 0.
Box painted(Target& t, int width, int height) {
    int x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (t.at(x, y)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    return x1 < 0 ? Box{0, 0, 0, 0} : Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        font_ = grLoadFont(writeTinyFont().c_str(), nullptr);
        ASSERT_NE(font_, nullptr);
    }
    void TearDown() override { grFreeFont(font_); }
    CGraphFont* font_ = nullptr;
};

std::vector<std::u16string> wrap(CGraphFont* font, const std::u16string& text, int width) {
    UITextStatic w;
    w.font = font;
    w.xs = static_cast<int16_t>(width);
    w.SetTextW(text.c_str());
    std::vector<std::u16string> lines = w.WrappedLines();
    w.font = nullptr;
    return lines;
}

TEST_F(Drawing, TextWrapsAtSpacesAndMarkers) {
    // Glyphs advance 4 pixels, a space 2.
    struct Case {
        std::u16string text;
        int width;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {u"ab cd", 20, {u"ab cd"}},
        {u"abc def", 20, {u"abc", u"def"}},
        {u"a b c d e", 20, {u"a b c", u"d e"}},
        {u"abcdefghij xy", 20, {u"abcdefghij", u"xy"}},
        {u"abcdefghij", 20, {u"abcdefghij"}},
        {u"a<>b", 400, {u"a", u"b"}},
        {u"abc<>de fg hi", 20, {u"abc", u"de fg", u"hi"}},
        {u"", 20, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(wrap(font_, c.text, c.width), c.lines);

    std::u16string many;
    for (int i = 0; i < 40; ++i) many += u"x<>";
    EXPECT_EQ(wrap(font_, many, 400).size(), 32u);
}

TEST_F(Drawing, WrappingIsKeptUntilCaptionFontScaleOrWidthChange) {
    UITextStatic w;
    w.font = font_;
    w.xs = 20;
    w.SetTextW(u"abc def");
    EXPECT_EQ(w.WrappedLines().size(), 2u);
    w.xs = 40;
    EXPECT_EQ(w.WrappedLines().size(), 1u);
    w.xFont = 2.0f;
    EXPECT_EQ(w.WrappedLines().size(), 2u);
    w.SetTextW(u"abc");
    EXPECT_EQ(w.WrappedLines(), std::vector<std::u16string>{u"abc"});
    w.font = nullptr;
    EXPECT_TRUE(w.WrappedLines().empty());
}

TEST_F(Drawing, TextBlockAlignment) {
    Target target(64, 64);
    struct Case {
        int xalign, yalign;
        Box box;
    };
    // One glyph 3 x 4 (advance 4) in a 20 x 20 widget at (10, 10).
    const Case cases[] = {
        {-1, -1, {10, 10, 3, 4}}, {-1, 0, {10, 18, 3, 4}}, {-1, 1, {10, 26, 3, 4}},
        {0, -1, {18, 10, 3, 4}},  {1, -1, {26, 10, 3, 4}},
    };
    for (const Case& c : cases) {
        target.clear();
        UITextStatic w;
        widgetAt(&w, "t", 10, 10, 20, 20, UI_NORMAL);
        w.font = font_;
        w.xalign = static_cast<int8_t>(c.xalign);
        w.yalign = static_cast<int8_t>(c.yalign);
        w.SetText("a");
        w.Draw();
        w.font = nullptr;
        EXPECT_EQ(painted(target, 64, 64), c.box) << c.xalign << "," << c.yalign;
    }
}

TEST_F(Drawing, EndCapButtonPixels) {
    writeSprite("Caps/left.tga", 3, 6, 0xFF0000);
    writeSprite("Caps/mid.tga", 2, 6, 0x00FF00);
    writeSprite("Caps/right.tga", 4, 6, 0x0000FF);
    writeFile("caps.ini",
              "[b]\ntype=ieButton\nstage=1\nnormal=Caps/mid.tga\nleftnormal=Caps/left.tga\n"
              "rightnormal=Caps/right.tga\n");
    const uint16_t red = rgb565(0xFF0000), green = rgb565(0x00FF00), blue = rgb565(0x0000FF);
    Target target(64, 16);
    // Row 4 from x = 8 on: r, g, b or nothing (.), for the button at x = 10 of each width.
    const std::pair<int, std::string> cases[] = {
        {20, "rrr" + std::string(13, 'g') + "bbbb"},
        {8, "rrrgbbbb"},
        {7, "rrrbbbb"},
        // Narrower than its caps: no middle, and nothing mirrored outside the button.
        {5, "rbbbb"},
    };
    for (const auto& [width, inside] : cases) {
        target.clear();
        UIWnd* w = CreateChildFromIni(nullptr, "caps.ini", "b", 0, 0);
        ASSERT_NE(w, nullptr);
        w->x = 10;
        w->y = 2;
        w->xs = static_cast<int16_t>(width);
        w->Draw();
        const std::string expected = ".." + inside + "..";
        std::string row;
        for (int x = 8; x < 8 + static_cast<int>(expected.size()); ++x) {
            const uint16_t p = target.at(x, 4);
            row += p == red ? 'r' : p == green ? 'g' : p == blue ? 'b' : '.';
        }
        EXPECT_EQ(row, expected) << width;
        EXPECT_EQ(painted(target, 64, 16), (Box{10, 2, width, 6})) << width;
        delete w;
    }
}

TEST_F(Drawing, ANegativeSizeMirrorsTheStateSprite) {
    // Left half red, right half blue.
    std::vector<uint8_t> px(8 * 2 * 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &px[(y * 8 + x) * 3];
            p[0] = x < 4 ? 0 : 255;
            p[1] = 0;
            p[2] = x < 4 ? 255 : 0;
        }
    cTGAImage writer;
    ASSERT_EQ(writer.Save("halves.tga", px.data(), 24, 8, -2), 0);
    HSPRITE halves = grLoadSprite("halves.tga", nullptr, 0);
    Target target(32, 8);
    struct Case {
        int xs;
        uint8_t flip;
        char first, last;  // colour at x = 4 and x = 11
    };
    const Case cases[] = {{8, 0, 'r', 'b'}, {-8, 0, 'b', 'r'}, {8, 1 << 1, 'b', 'r'},
                          {-8, 1 << 1, 'r', 'b'}};
    for (const Case& c : cases) {
        target.clear();
        UITextStatic w;
        widgetAt(&w, "s", 4, 2, c.xs, 2, UI_NORMAL);
        w.sprites[UI_NORMAL] = grSpriteAddRef(halves);
        w.flip = c.flip;
        w.Draw();
        auto colour = [&](int x) { return target.at(x, 2) == rgb565(0xFF0000) ? 'r' : 'b'; };
        EXPECT_EQ(colour(4), c.first) << c.xs << " " << int(c.flip);
        EXPECT_EQ(colour(11), c.last) << c.xs << " " << int(c.flip);
        EXPECT_EQ(painted(target, 32, 8), (Box{4, 2, 8, 2}));
    }
    grFreeSprite(halves);
}

TEST(KeyFrames, RepeatEveryPeriod) {
    iniFreeAll();
    writeFile("keys.ini",
              "[0]\ntime=0\nx=0\ny=0\nvisible=1\n[1]\ntime=1000\nx=100\ny=-40\nvisible=0\n"
              "[2]\ntime=2000\nx=0\ny=0\n");
    writeFile("anim.ini", "[w]\ntype=AnimWnd\nanimkey=keys.ini\nx=7\ny=9\n");
    UIWnd* w = CreateChildFromIni(nullptr, "anim.ini", "w", 0, 0);
    auto* anim = dynamic_cast<UIAnimWnd*>(w);
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->keyCount, 3);
    struct Case {
        int clock, x, y;
        bool hidden;
    };
    const Case cases[] = {{0, 0, 0, false},      {500, 50, -20, false}, {1000, 100, -40, false},
                          {1500, 50, -20, true}, {2000, 0, 0, false},   {2500, 50, -20, false},
                          {5250, 75, -30, true}};
    for (const Case& c : cases) {
        w->clock = c.clock;
        w->Update(25);
        EXPECT_EQ(w->x, c.x) << c.clock;
        EXPECT_EQ(w->y, c.y) << c.clock;
        EXPECT_EQ(w->hidden(), c.hidden) << c.clock;
        EXPECT_EQ(w->clock, c.clock + 25);
    }
    delete w;
}

TEST(KeyFrames, ZeroLengthSegmentsAndNoPeriodKeepStill) {
    iniFreeAll();
    writeFile("twin.ini", "[0]\ntime=300\nx=10\nvisible=1\n[1]\ntime=300\nx=20\nvisible=1\n"
                          "[2]\ntime=600\nx=80\nvisible=1\n");
    writeFile("single.ini", "[0]\ntime=0\nx=50\nvisible=1\n");
    writeFile("negative.ini", "[0]\ntime=0\nx=50\n[1]\ntime=-5\nx=60\n");
    writeFile("anim.ini",
              "[twin]\ntype=AnimWnd\nanimkey=twin.ini\n[single]\ntype=AnimWnd\nanimkey=single.ini\n"
              "[negative]\ntype=AnimWnd\nanimkey=negative.ini\nx=3\n[none]\ntype=AnimWnd\nx=4\n");
    struct Case {
        const char* section;
        int clock, x;
    };
    const Case cases[] = {{"twin", 300, 20}, {"twin", 450, 50}, {"single", 100, 0},
                          {"negative", 100, 3}, {"none", 100, 4}};
    for (const Case& c : cases) {
        UIWnd* w = CreateChildFromIni(nullptr, "anim.ini", c.section, 0, 0);
        ASSERT_NE(w, nullptr);
        w->clock = c.clock;
        w->Update(25);
        EXPECT_EQ(w->x, c.x) << c.section << " " << c.clock;
        delete w;
    }
}

class WindowDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        writeSprite("Sprites/grey.tga", 30, 30, 0x808080);
        writeSprite("Sprites/dot.tga", 5, 5, 0xFFFFFF);
        writeFile("win.ini", "[cover]\ntype=sprite\nnormal=Sprites/grey.tga\nstage=1\n"
                             "[dot]\ntype=sprite\nnormal=Sprites/dot.tga\npress=Sprites/dot.tga\n"
                             "stage=3\nx=40\ny=40\n");
        widgetAt(&window_, "w", 10, 10, 20, 20, UI_NORMAL);
    }
    TestWindow window_;
};

TEST_F(WindowDrawing, ClipKeepsTheLastColumnAndRowAndIsRestored) {
    Target target(100, 100);
    grSetClip(target.sprite, 1, 2, 99, 98);
    UIWnd* cover = CreateChildFromIni(&window_, "win.ini", "cover", 0, 0);
    cover->x = 5;
    cover->y = 5;
    EXPECT_EQ(window_.Draw(), 1);
    EXPECT_EQ(painted(target, 100, 100), (Box{10, 10, 20, 20}));
    int c[4];
    grGetClip(target.sprite, &c[0], &c[1], &c[2], &c[3]);
    EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int>{1, 2, 99, 98}));
    target.clear();
    window_.setHidden(true);
    EXPECT_EQ(window_.Draw(), 1);
    EXPECT_EQ(painted(target, 100, 100).w, 0);
}

TEST_F(WindowDrawing, PressedChildrenDrawOnePixelLower) {
    Target target(100, 100);
    widgetAt(&window_, "w", 30, 30, 40, 40, UI_NORMAL);
    UIWnd* dot = CreateChildFromIni(&window_, "win.ini", "dot", 0, 0);
    window_.Draw();
    EXPECT_EQ(painted(target, 100, 100), (Box{41, 41, 5, 5}));
    EXPECT_EQ(dot->x, 40);
    EXPECT_EQ(dot->y, 40);
    target.clear();
    dot->state = UI_ACTIVE;
    dot->sprites[UI_ACTIVE] = grSpriteAddRef(dot->sprites[UI_PRESS]);
    window_.Draw();
    EXPECT_EQ(painted(target, 100, 100), (Box{40, 40, 5, 5}));
}

TEST(WindowChildren, TheActiveIndexFollowsItsChild) {
    struct Case {
        std::vector<int> list;  // indices into four widgets a, b, c, d
        int active;
        int removed;
        int expectActive;
    };
    const Case cases[] = {
        {{0, 1, 2, 3}, 2, 3, 2},   // a later entry: the focus stays
        {{0, 1, 2, 3}, 2, 0, 1},   // an earlier entry: it follows its child
        {{0, 1, 2, 3}, 2, 2, 1},   // the active entry itself
        {{0, 1, 2, 3}, -1, 0, -1}, // no focus stays no focus
        {{0, 1, 2, 3}, 0, 0, -1},  // never below -1
        {{0, 1, 0, 2}, 3, 0, 1},   // every occurrence before it counts
    };
    for (const Case& c : cases) {
        TestWindow w;
        UIWnd widgets[4];
        for (int entry : c.list) w.children.append(&widgets[entry]);
        w.active = static_cast<int8_t>(c.active);
        w.DetachChild(&widgets[c.removed]);
        EXPECT_EQ(w.active, c.expectActive) << c.active << " " << c.removed;
        for (int i = 0; i < w.childCount(); ++i) EXPECT_NE(w.children[i], &widgets[c.removed]);
        w.children.clear();
    }
    TestWindow w;
    UIWnd* first = w.AddChild(new UIWnd);
    UIWnd* front = new UIWnd;
    EXPECT_TRUE(w.InsertChildFirst(front));
    EXPECT_EQ(w.activeChild(), first);
    EXPECT_EQ(front->parent, nullptr);
    w.active = -1;
    EXPECT_TRUE(w.InsertChildFirst(new UIWnd));
    EXPECT_EQ(w.active, -1);
    w.RemoveChild(first);  // deleted with the window's own removal
    EXPECT_EQ(w.childCount(), 2);
}

TEST(WindowChildren, MoveWindowToKeepsOffsets) {
    TestWindow w;
    widgetAt(&w, "w", 10, 20, 100, 100, UI_NORMAL);
    UIWnd* child = w.AddChild(widgetAt(new UIWnd, "c", 15, 30, 5, 5, UI_NORMAL));
    UIWnd* grandchild = child->AddChild(widgetAt(new UIWnd, "g", 16, 31, 1, 1, UI_NORMAL));
    MoveWindowTo(&w, 200, 300);
    EXPECT_EQ(w.x, 200);
    EXPECT_EQ(w.y, 300);
    EXPECT_EQ(child->x, 205);
    EXPECT_EQ(child->y, 310);
    EXPECT_EQ(grandchild->x, 16);
}

}  // namespace
