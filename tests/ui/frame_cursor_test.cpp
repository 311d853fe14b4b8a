// The nine-piece frame on pixels, and the game's own cursor: its records, click animations,
// selection, the system cursor and the frame rate it must not depend on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "ui/ui.h"
#include "ui_fixtures.h"

namespace {

// Pieces of distinct colours: corners 16 x 16, edges 4 pixels across, the centre 4 x 4.
class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        writeSprite("F/lt.tga", 16, 16, 0xFF0000);
        writeSprite("F/rt.tga", 16, 16, 0x00FF00);
        writeSprite("F/rb.tga", 16, 16, 0x0000FF);
        writeSprite("F/lb.tga", 16, 16, 0xFFFF00);
        writeSprite("F/small.tga", 8, 8, 0x00FFFF);
        writeSprite("F/top.tga", 4, 16, 0x800000);
        writeSprite("F/bottom.tga", 4, 16, 0x008000);
        writeSprite("F/left.tga", 16, 4, 0x000080);
        writeSprite("F/right.tga", 16, 4, 0x808000);
        writeSprite("F/center.tga", 4, 4, 0x808080);
        const std::string corners =
            "left_top=F/lt.tga\nright_top=F/rt.tga\nright_bottom=F/rb.tga\nleft_bottom=F/lb.tga\n";
        const std::string edges = "top=F/top.tga\nbottom=F/bottom.tga\nleft=F/left.tga\n"
                                  "right=F/right.tga\ncenter=F/center.tga\n";
        writeFile("f.ini", "[full]\nx=10\ny=20\nxs=200\nys=100\n" + corners + edges +
                               "[corners]\nx=10\ny=20\nxs=200\nys=100\n" + corners +
                               "[lone]\nx=10\ny=20\nxs=200\nys=100\nright_bottom=F/small.tga\n"
                               "[tiny]\nx=10\ny=20\nxs=20\nys=20\n" + corners + edges);
    }
};

struct Pixel {
    int x, y;
    uint32_t rgb;  // 0: nothing drawn
};

void expectPixels(Target& t, const std::vector<Pixel>& pixels, const char* what) {
    for (const Pixel& p : pixels)
        EXPECT_EQ(t.at(p.x, p.y), p.rgb ? rgb565(p.rgb) : 0) << what << " at " << p.x << "," << p.y;
}

TEST_F(Frame, EdgesStretchBetweenTheCornersAndTheCentreFillsInside) {
    Target target(256, 160);
    cFrame frame;
    frame.Load("f.ini", "full");
    EXPECT_EQ(frame.xs, 200);
    frame.Draw();
    expectPixels(target,
                 {
                     {10, 20, 0xFF0000},   {25, 35, 0xFF0000},   {209, 20, 0x00FF00},
                     {209, 119, 0x0000FF}, {10, 119, 0xFFFF00},
                     // Top and bottom: 168 wide; left and right: 68 high.
                     {26, 20, 0x800000},   {193, 35, 0x800000},  {194, 20, 0x00FF00},
                     {26, 119, 0x008000},  {193, 104, 0x008000}, {10, 36, 0x000080},
                     {25, 103, 0x000080},  {10, 104, 0xFFFF00},  {209, 36, 0x808000},
                     {194, 103, 0x808000},
                     // The centre over what the edges leave.
                     {26, 36, 0x808080},   {193, 103, 0x808080},
                     {9, 20, 0},           {210, 119, 0},        {100, 120, 0},
                 },
                 "full");
}

TEST_F(Frame, MissingPiecesAreLeftOut) {
    Target target(256, 160);
    cFrame corners;
    corners.Load("f.ini", "corners");
    corners.Draw();
    expectPixels(target, {{10, 20, 0xFF0000}, {209, 119, 0x0000FF}, {100, 20, 0}, {100, 70, 0},
                          {10, 70, 0}},
                 "corners");
    // A right-bottom corner without a left-bottom one stands in the frame's own corner.
    target.clear();
    cFrame lone;
    lone.Load("f.ini", "lone");
    lone.Draw();
    expectPixels(target, {{202, 112, 0x00FFFF}, {209, 119, 0x00FFFF}, {209, 120, 0}, {201, 112, 0}},
                 "lone");
    cFrame none;
    none.Load("f.ini", "");
    EXPECT_EQ(none.xs, 0);
}

TEST_F(Frame, AFrameSmallerThanItsCornersDrawsNothingOutsideItself) {
    Target target(256, 160);
    cFrame tiny;
    tiny.Load("f.ini", "tiny");
    tiny.Draw();
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 256; ++x)
            if (x < 10 || x >= 30 || y < 20 || y >= 40) {
                ASSERT_EQ(target.at(x, y), 0) << x << "," << y;
            }
    EXPECT_EQ(target.at(10, 20), rgb565(0xFF0000));
    EXPECT_EQ(target.at(29, 39), rgb565(0x0000FF));
}

class Cursor : public ::testing::Test {
protected:
    void SetUp() override {
        iniFreeAll();
        writeSprite("Cur/arrow.tga", 4, 4, 0xFFFFFF);
        writeSprite("Cur/strip.tga", 4, 16, 0xFF8000);
    }
    void TearDown() override {
        cursorDestroy();
        iniFreeAll();
    }
    void cursors(const std::string& text) {
        writeFile("data/cursor/cursor.ini", text);
        iniFreeAll();
        cursorCreate();
        ASSERT_NE(cursorGet(), nullptr);
    }
    // Steps and the clock after each one.
    std::vector<int> clocks(int steps) {
        std::vector<int> out;
        for (int i = 0; i < steps; ++i) {
            cursorTick(25);
            out.push_back(cursorGet()->clock);
        }
        return out;
    }
};

TEST_F(Cursor, RecordsUpToTheFirstMissingSection) {
    cursors("[cursor00]\nspr=Cur/arrow.tga\noffsetX=-1\n[cursor01]\nspr=Cur/strip.tga|100|4\ndT=3\n"
            "ttl=50\n[cursor03]\nspr=Cur/arrow.tga\n");
    cCursorManager* c = cursorGet();
    ASSERT_EQ(c->records.size(), 2u);
    EXPECT_EQ(c->records[0].offsetX, -1);
    EXPECT_EQ(c->records[1].dT, 3);
    EXPECT_EQ(c->records[1].ttl, 50);
    EXPECT_EQ(grSpriteFrames(c->records[1].sprite), 4);
    EXPECT_EQ(c->shown, 1);
    EXPECT_EQ(c->current, 0);
}

TEST_F(Cursor, ClickSpinAndClickRun) {
    cursors("[cursor00]\nspr=Cur/strip.tga\ndT=10\n[cursor01]\nspr=Cur/strip.tga\nttl=100\n"
            "[cursor02]\nspr=Cur/strip.tga|100|4\n");
    EXPECT_EQ(clocks(2), (std::vector<int>{0, 0}));  // at rest without a click
    cursorClick();
    EXPECT_EQ(clocks(13), (std::vector<int>{0, 10, 19, 27, 34, 40, 45, 49, 52, 54, 55, 55, 55}));

    cursorSelect(1);
    EXPECT_EQ(clocks(2), (std::vector<int>{0, 0}));
    cursorClick();
    EXPECT_EQ(clocks(7), (std::vector<int>{0, 25, 50, 75, 0, 0, 0}));

    cursorSelect(2);
    EXPECT_EQ(clocks(3), (std::vector<int>{25, 50, 75}));  // runs all the time
}

TEST_F(Cursor, SelectOnlyNamesARecordButAlwaysRestarts) {
    cursors("[cursor00]\nspr=Cur/arrow.tga\n[cursor01]\nspr=Cur/arrow.tga\n"
            "[cursor02]\nspr=Cur/strip.tga\n");
    cCursorManager* c = cursorGet();
    struct Case {
        int n, current;
    };
    for (const Case& k : {Case{2, 2}, Case{5, 2}, Case{-1, 2}, Case{3, 2}, Case{0, 0}}) {
        c->clock = 99;
        c->spin = 4;
        c->runTimer = 7;
        c->clicked = 1;
        cursorSelect(k.n);
        EXPECT_EQ(c->current, k.current) << k.n;
        EXPECT_EQ(c->clock + c->spin + c->runTimer + c->clicked, 0) << k.n;
    }
}

TEST_F(Cursor, DrawnAtThePointerByItsHotSpotOrNotAtAll) {
    Target target(64, 64);
    cursors("[cursor00]\nspr=Cur/arrow.tga\noffsetX=-2\noffsetY=-3\n");
    cursorMove(0, uiPack(20, 30));
    cursorTick(25);
    EXPECT_EQ(target.at(18, 27), rgb565(0xFFFFFF));
    EXPECT_EQ(target.at(17, 27), 0);
    EXPECT_TRUE(cursorIsCustom());
    target.clear();
    cursorSet(0);
    EXPECT_FALSE(cursorIsCustom());
    cursorTick(25);
    EXPECT_EQ(target.at(18, 27), 0);

    // Off the client area the system's cursor shows instead; back on it the game's returns.
    cursorSet(1);
    cursorPointerInside(0);
    cursorTick(25);
    EXPECT_EQ(target.at(18, 27), 0);
    EXPECT_TRUE(cursorIsCustom());  // the screen's choice stands
    cursorPointerInside(1);
    cursorTick(25);
    EXPECT_EQ(target.at(18, 27), rgb565(0xFFFFFF));
    cursorDestroy();
    target.clear();

    // No file, or no first section: nothing to draw, every frame.
    for (const char* text : {"", "[cursor01]\nspr=Cur/arrow.tga\n"}) {
        cursors(text);
        EXPECT_EQ(cursorGet()->records.size(), 0u);
        cursorSelect(0);
        for (int i = 0; i < 3; ++i) cursorTick(25);
        cursorDestroy();
    }
    EXPECT_EQ(target.at(18, 27), 0);
}

TEST_F(Cursor, TheSystemCursorIsHiddenWhileTheManagerLives) {
    setCursorVisible(1);
    cursors("[cursor00]\nspr=Cur/arrow.tga\n");
    EXPECT_FALSE(engineWindow().cursorVisible);
    cursorCreate();  // a second create changes nothing
    cursorDestroy();
    EXPECT_TRUE(engineWindow().cursorVisible);
    cursors("[cursor00]\nspr=Cur/arrow.tga\n");
    cursorSet(0);
    cursorDestroy();
    EXPECT_FALSE(engineWindow().cursorVisible);  // as the manager's own was
    cursorSet(1);                                // no manager: the system cursor
    EXPECT_TRUE(engineWindow().cursorVisible);
}

TEST_F(Cursor, TheAnimationKeepsTimeWhateverTheFrameRate) {
    cursors("[cursor00]\nspr=Cur/strip.tga|100|4\n[cursor01]\nspr=Cur/strip.tga\ndT=10\n");
    struct Case {
        int frames;
        std::vector<int> ms;  // repeated
    };
    const Case rates[] = {{40, {25}}, {400, {2, 3}}, {10, {100}}, {3, {333, 334, 333}}};
    for (const Case& r : rates) {
        for (int cursor : {0, 1}) {
            cursorSelect(cursor);
            cursorGet()->pending = 0;
            cursorClick();
            for (int i = 0; i < r.frames; ++i) cursorTick(r.ms[i % r.ms.size()]);
            EXPECT_EQ(cursorGet()->clock, cursor == 0 ? 1000 : 55) << r.frames << " " << cursor;
            EXPECT_EQ(cursorGet()->pending, 0);
        }
    }
}

}  // namespace
