// The tutorial: hints read with the player's marks, opening once, the text measured in lines,
// the frame placed beside its spot, clicks on the check box and the spot, and the marks kept per
// player across a restart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/gr/image.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "game/tutorial.h"
#include "tests/game/display.h"
#include "tests/game/game_folder.h"
#include "world/links.h"

namespace {

constexpr const char* kFile = "Data/Tutorial/Tutorial.ini";

// The level screen as a hint's closing reaches it.
struct Level : TutorialLevel {
    void ResumeFromTutorial() override { events.push_back("resume"); }
    int OnButtonDown(int button, intptr_t position) override {
        events.push_back("click " + std::to_string(button) + " " + std::to_string(uiPackedX(position)) +
                         "," + std::to_string(uiPackedY(position)));
        return 1;
    }
    std::vector<std::string> events;
};

void writeTga(const std::string& path, int w, int h) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3, 0xFF);
    cTGAImage writer;
    ASSERT_EQ(writer.Save(path.c_str(), px.data(), 24, w, -h), 0);
}

// A 1024 x 768 display; a font whose glyphs advance 4 and whose space is 2 wide.
class Tutorial : public GameFolder {
protected:
    void SetUp() override {
        GameFolder::SetUp();
        testdisplay::open();
        if (HasFatalFailure()) return;
        writeTga(program.file("Data/Fonts/tiny.tga"), 3 * 94, 4);
        std::string metrics = "2 4 94\n";
        for (int code = 33; code < 127; ++code)
            metrics += std::to_string(code) + " " + std::to_string((code - 33) * 3) + " 0 0 3 1\n";
        program.write("Data/Fonts/tiny.fh", metrics);
        data("Data/translation.ini", "#HINT_IN=Drag<>the guest\r\n#TIPS=Show tips\r\n");
        CreatePlayer("profile.aaaaaaaaaa", u"Anna");
        load("[Main]\r\nfont=Data/Fonts/tiny.tga\r\nbound=100, 50\r\n"
             "[frame]\r\nxs=10\r\n[TextWnd]\r\ntype=text\r\n"
             "[CheckBox]\r\npos=0, 0\r\nsize=20, 10\r\ntext=#TIPS\r\n"
             "[Bounds]\r\ntopLeft=10, 10\r\nbottomRight=10, 10\r\n"
             "[CheckIn_Start]\r\ntext=#HINT_IN\r\n[CheckOut]\r\ntext=Bye\r\n[Baby]\r\ntext=Hush\r\n");
    }
    void TearDown() override {
        cTutorial::Free();
        testdisplay::close();
        GameFolder::TearDown();
    }
    void load(const std::string& ini) {
        data(kFile, ini);
        cTutorial::Load(kFile);
        ASSERT_NE(gTutorial, nullptr);
        gTutorial->SetLevel(&level);
    }
    void click(int x, int y) { gTutorial->OnMouseDown(kUiLeftButton, uiPack(x, y)); }
    // The open frame meets neither the spot as drawn (20 px wider each side) nor the arrow.
    void expectClearOfSpotAndArrow() {
        const cTutorial& t = *gTutorial;
        const cFrame& f = t.frame;
        auto meets = [&](int x0, int y0, int x1, int y1) {
            return f.x < x1 && x0 < f.x + f.xs && f.y < y1 && y0 < f.y + f.ys;
        };
        const int l = t.spotPos.x - 20, top = t.spotPos.y - 20;
        const int r = l + t.spotSize.x + 40, b = top + t.spotSize.y + 40;
        EXPECT_FALSE(meets(l, top, r, b)) << "the frame covers its spot";
        if (!t.arrow) return;
        const int aw = spriteWidth(t.arrow), ah = spriteHeight(t.arrow);
        const int ax = r >= 1024 - 100 ? l - aw : r, ay = t.spotPos.y + t.spotSize.y / 2 - 20;
        EXPECT_FALSE(meets(ax, ay, ax + aw, ay + ah)) << "the frame covers its arrow";
    }
    // The player read again, as at the next start of the game.
    void restart(const char* player) {
        cTutorial::Free();
        ReleasePlayer();
        iniFreeAll();
        ASSERT_TRUE(SelectPlayer(player));
        cTutorial::Load(kFile);
        gTutorial->SetLevel(&level);
    }
    Level level;
};

TEST_F(Tutorial, HintsOpenOnceAndOnlyThoseTheFileHas) {
    EXPECT_EQ(gTutorial->hints.FindValue(CString("Main")), nullptr);
    EXPECT_EQ(gTutorial->FindHint("frame"), nullptr);  // reserved names, whatever their case
    EXPECT_TRUE(gTutorial->WasShown("Monster_Start"));  // not in the file
    EXPECT_FALSE(gTutorial->WasShown("CheckOut"));
    EXPECT_FALSE(gTutorial->Show("Monster_Start", Point2i(100, 100), Point2i(20, 20)));
    EXPECT_EQ(gOpenHint, nullptr);
    EXPECT_TRUE(gTutorial->Show("CheckOut", Point2i(100, 100), Point2i(20, 20)));
    EXPECT_FALSE(gTutorial->Show("CheckOut", Point2i(100, 100), Point2i(20, 20)));
    EXPECT_FALSE(gTutorial->Show("Monster_Start", Point2i(100, 100), Point2i(20, 20)));
    ASSERT_NE(gOpenHint, nullptr);
    EXPECT_STREQ(gOpenHint->name.c_str(), "CheckOut");
    EXPECT_TRUE(gTutorial->ShowAt("Baby", Point2i(300, 300), 15));
    EXPECT_EQ(gTutorial->circleSpot, 1);
    EXPECT_EQ(gTutorial->spotPos.x, 285);
    EXPECT_EQ(gTutorial->spotSize.y, 30);
}

TEST_F(Tutorial, MarkedHintsAndTipsOffOpenNothing) {
    gTutorial->MarkShown("Baby");
    EXPECT_TRUE(gTutorial->WasShown("Baby"));
    worldTutorialMarkShown("CheckOut");  // as the level world tells it
    EXPECT_TRUE(gTutorial->WasShown("CheckOut"));
    restart("profile.aaaaaaaaaa");
    EXPECT_TRUE(gTutorial->WasShown("Baby"));
    EXPECT_FALSE(gTutorial->WasShown("CheckIn_Start"));
    gCurrentProfile->SetTutorialOn(false);
    EXPECT_TRUE(gTutorial->WasShown("CheckIn_Start"));
    gTutorial->MarkShown("CheckIn_Start");  // writes nothing while tips are off
    gCurrentProfile->SetTutorialOn(true);
    EXPECT_FALSE(gTutorial->WasShown("CheckIn_Start"));
    // Another player has seen none of them.
    CreatePlayer("profile.bbbbbbbbbb", u"Ben");
    restart("profile.bbbbbbbbbb");
    EXPECT_FALSE(gTutorial->WasShown("Baby"));
}

TEST_F(Tutorial, TextMeasuresInLinesAndSizesTheFrame) {
    ASSERT_TRUE(gTutorial->Show("CheckIn_Start", Point2i(500, 300), Point2i(40, 40)));
    // "Drag" and "the guest": two lines of twice the space width each; the wider line counts.
    EXPECT_EQ(gOpenHint->textSize.y, 4 * 2);
    EXPECT_EQ(gOpenHint->textSize.x, grTextWidth(gTutorial->font, u"the guest", 9));
    EXPECT_EQ(gTutorial->frame.xs, gOpenHint->textSize.x + 100);
    EXPECT_EQ(gTutorial->frame.ys, 8 + 10 + 50);
    EXPECT_EQ(gTutorial->textWnd.xs, gOpenHint->textSize.x);
    EXPECT_EQ(gTutorial->checkBox.pos.y, gTutorial->frame.y + gTutorial->frame.ys);
}

TEST_F(Tutorial, TheFrameSitsOnTheSideWithMoreRoomAndInsideTheMargins) {
    struct Case {
        Point2i pos;
        bool left, above;  // wholly beside the spot; the frame slides along the other axis
    };
    for (Case c : {Case{{980, 400}, true, false}, Case{{20, 20}, false, false},
                   Case{{30, 700}, false, true}, Case{{900, 720}, false, true}}) {
        SCOPED_TRACE(c.pos.x);
        gOpenHint = nullptr;
        ASSERT_TRUE(gTutorial->Show("Baby", c.pos, Point2i(20, 20)));
        const cFrame& f = gTutorial->frame;
        EXPECT_EQ(f.x + f.xs <= c.pos.x, c.left);
        EXPECT_EQ(f.y + f.ys <= c.pos.y + 10, c.above);
        EXPECT_GE(f.x, 10);
        EXPECT_GE(f.y, 10);
        EXPECT_LE(f.x + f.xs, 1014);
        EXPECT_LE(f.y + f.ys, 758);
        expectClearOfSpotAndArrow();
    }
}

// A frame never hides what its hint points at, nor the arrow pointing there: wherever the spot
// lies, large or small, the frame stays off the spot as drawn (20 px wider each side) and off the
// arrow.
TEST_F(Tutorial, TheFrameLeavesTheSpotAndItsArrowInSight) {
    writeTga(program.file("Data/Tutorial/arrow.tga"), 56, 30);
    load("[Main]\r\nfont=Data/Fonts/tiny.tga\r\narrow=Data/Tutorial/arrow.tga\r\nbound=150, 90\r\n"
         "[Bounds]\r\ntopLeft=16, 16\r\nbottomRight=16, 16\r\nspotR=12\r\n"
         "[Baby]\r\ntext=A baby is crying<>Click the guest\r\n");
    ASSERT_NE(gTutorial->arrow, nullptr);
    struct Case {
        Point2i pos, size;
    } cases[] = {{{40, 40}, {224, 192}},   {{800, 40}, {192, 192}}, {{170, 320}, {60, 110}},
                 {{500, 300}, {40, 40}},   {{960, 380}, {40, 80}},  {{40, 600}, {100, 100}},
                 {{880, 660}, {90, 90}},   {{10, 10}, {20, 20}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pos.x) + "," + std::to_string(c.pos.y));
        gOpenHint = nullptr;
        ASSERT_TRUE(gTutorial->Show("Baby", c.pos, c.size));
        expectClearOfSpotAndArrow();
    }
}

TEST_F(Tutorial, MarginsThatLeaveNoRoomPlaceTheFrameAsAtTheMiddle) {
    // The margins meet at (110, 110), the spot's centre: its place between them is 0 / 0.
    load("[Main]\r\nbound=100, 50\r\n[Bounds]\r\ntopLeft=110, 110\r\nbottomRight=914, 658\r\n"
         "[Baby]\r\ntext=Hush\r\n");
    ASSERT_TRUE(gTutorial->Show("Baby", Point2i(100, 100), Point2i(20, 20)));
    EXPECT_EQ(gTutorial->frame.x, 110);
    EXPECT_EQ(gTutorial->frame.y, 110);
}

TEST_F(Tutorial, ASpotOffTheScreenOpensNoHint) {
    for (Point2i pos : {Point2i(-50, 100), Point2i(100, -30), Point2i(1024, 100), Point2i(100, 768)}) {
        SCOPED_TRACE(pos.x);
        EXPECT_FALSE(gTutorial->Show("Baby", pos, Point2i(20, 20)));
        EXPECT_EQ(gOpenHint, nullptr);
    }
    EXPECT_TRUE(gTutorial->Show("Baby", Point2i(-19, 100), Point2i(20, 20)));  // one column shows
    // The level asks again every frame while the spot stays off: the log says it once.
    std::ifstream log("gerr.log");
    std::string line;
    int told = 0;
    while (std::getline(log, line)) told += line.find("lies off the screen") != std::string::npos;
    EXPECT_EQ(told, 1);
}

TEST_F(Tutorial, TheCheckBoxTogglesAndOnlyTheSpotClosesTheHint) {
    ASSERT_TRUE(gTutorial->ShowAt("CheckOut", Point2i(300, 300), 20));
    const Point2i box = gTutorial->checkBox.pos;
    click(box.x + 20, box.y + 10);  // the box's far corner, edges included
    EXPECT_FALSE(gTutorial->checkBox.isChecked);
    click(281, 281);  // inside the spot's square, outside its circle
    EXPECT_TRUE(level.events.empty());
    gTutorial->OnMouseDown(2, uiPack(300, 300));  // not the left button
    EXPECT_TRUE(level.events.empty());
    click(300, 285);
    EXPECT_EQ(level.events, (std::vector<std::string>{"resume", "click 1 300,285"}));
    EXPECT_FALSE(gCurrentProfile->IsTutorialOn());
    // The hint was marked before the tips went off, and the setting is stored.
    restart("profile.aaaaaaaaaa");
    EXPECT_FALSE(gCurrentProfile->IsTutorialOn());
    EXPECT_FALSE(gTutorial->checkBox.isChecked);
    gCurrentProfile->SetTutorialOn(true);
    EXPECT_TRUE(gTutorial->WasShown("CheckOut"));
    EXPECT_FALSE(gTutorial->WasShown("Baby"));
}

TEST_F(Tutorial, DrawsWithAndWithoutItsPictures) {
    writeTga(program.file("Data/Tutorial/back.tga"), 4, 4);
    writeTga(program.file("Data/Tutorial/arrow.tga"), 30, 20);
    load("[Main]\r\nback=Data/Tutorial/back.tga\r\nspot=Data/Tutorial/back.tga\r\n"
         "arrow=Data/Tutorial/arrow.tga\r\nzuna=Data/Tutorial/missing.tga\r\nbound=10, 10\r\n"
         "[Baby]\r\ntext=Hush\r\n");
    for (Point2i pos : {Point2i(1000, 10), Point2i(0, 740), Point2i(500, 300)}) {
        gOpenHint = nullptr;
        ASSERT_TRUE(gTutorial->Show("Baby", pos, Point2i(24, 24)));
        gTutorial->AddTime(25);
        gTutorial->Draw();
    }
    EXPECT_EQ(gTutorial->clock, 75);
}

}  // namespace
