// Bouncing-letter lines and captions: layout on the display, the fall, bounce, rest and fade of a
// letter, the end of a line, the caption's two lines, and texts that are missing or too long.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anim/caption.h"
#include "engine/data/ini.h"
#include "engine/gr/registry.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "tests/anim/fx_fixtures.h"

namespace {

// A 1024 x 768 display in a hidden window, and a font whose "A" is 10 and "B" 12 pixels wide.
class Caption : public ::testing::Test {
protected:
    void SetUp() override {
        writeText("game.ini", "[main]\n");
        writeText("Data/translation.ini",
                  "#GAME_LEVEL_UP=AB\n#GAME_THANK_YOU=BA\n#LONG=" +
                      std::string(300, 'A') + "\n");
        iniFreeAll();
        ASSERT_TRUE(platInit());
        ASSERT_TRUE(platWindowOpen(u"Velmora", 0, 0, 1024, 768, false));
        ASSERT_EQ(grInit(1024, 768, 32, 0), 0);
        writeTga24("Data/Fx/abc.tga", 32, 8, [](int, int) { return Rgb{255, 255, 255}; });
        writeText("Data/Fx/abc.fh", "10 8 8\n65 0 0 0 10 0\n66 10 0 0 12 0\n");
        font = grLoadFont("Data/Fx/abc.tga", nullptr);
        ASSERT_NE(font, nullptr);
        captionSeedRandom(5);
    }
    void TearDown() override {
        grFreeFont(font);
        grDone();
        engineWindowReset();
        platDone();
    }

    CGraphFont* font = nullptr;
};

// Updates at 25 ms until the line reports its end; the number of updates, or -1.
int updatesToEnd(cBounceText& line, int limit = 1000) {
    for (int i = 1; i <= limit; ++i)
        if (line.Update(25)) return i;
    return -1;
}

TEST_F(Caption, LettersAreCentredAndStartAboveTheScreen) {
    cBounceText line;
    line.Start(font, "#GAME_LEVEL_UP", 4);
    ASSERT_EQ(line.Count(), 2);
    EXPECT_TRUE(line.IsIdle());
    EXPECT_EQ(line.LetterAt(0).x, 500.0f);
    EXPECT_EQ(line.LetterAt(1).x, 512.0f);
    EXPECT_EQ(line.LetterAt(0).y, -50.0f);
    EXPECT_LE(line.LetterAt(1).y, -50.0f);
    EXPECT_GE(line.LetterAt(1).y, -70.0f);
    // Any other kind than a translated key gives no text.
    line.Start(font, "#GAME_LEVEL_UP", 3);
    EXPECT_EQ(line.Count(), 0);
}

TEST_F(Caption, LetterBouncesRestsWaitsAndFades) {
    cBounceText line;
    line.StartWide(font, u"A", 4);
    line.Go();
    EXPECT_FALSE(line.IsIdle());
    const BounceLetter& l = line.LetterAt(0);
    bool bounced = false;
    int update = 0;
    while (l.state == BounceLetter::kFalling && update < 1000) {
        const float before = l.velocity;
        line.Update(25);
        ++update;
        if (!bounced && l.velocity < 0) {
            bounced = true;
            EXPECT_FLOAT_EQ(l.velocity, -0.3f * (before + 25 * 98.0f / 100));
            EXPECT_LE(l.y, 300.0f);
        }
        if (l.state == BounceLetter::kFalling) {
            EXPECT_FALSE(std::fabs(l.y - 300) <= 5 && std::fabs(l.velocity) <= 30);
        }
    }
    ASSERT_TRUE(bounced);
    ASSERT_EQ(l.state, BounceLetter::kResting);
    EXPECT_NEAR(l.y, 300.0f, 5.0f);
    // 600 ms of rest (24 updates), then 79 updates of fading, the last one ends the line.
    const float y = l.y;
    for (int i = 0; i < 23; ++i) line.Update(25);
    EXPECT_EQ(l.velocity, 0.0f);
    EXPECT_EQ(l.y, y);  // a resting letter only fades, it never moves
    EXPECT_EQ(updatesToEnd(line), 79);
    EXPECT_TRUE(line.IsIdle());
    EXPECT_EQ(l.state, BounceLetter::kIdle);
}

TEST_F(Caption, LineEndsWithItsFirstLetterGone) {
    cBounceText line;
    line.Start(font, "#GAME_LEVEL_UP", 4);
    line.Go();
    int ended = updatesToEnd(line);
    ASSERT_GT(ended, 0);
    EXPECT_TRUE(line.IsIdle());
    // At the end one letter was gone and the other one still on screen: both are idle now.
    EXPECT_EQ(line.LetterAt(0).state, BounceLetter::kIdle);
    EXPECT_EQ(line.LetterAt(1).state, BounceLetter::kIdle);
    EXPECT_FALSE(line.Update(25));  // an idle line does nothing
    line.Draw();
}

TEST_F(Caption, EmptyAndOverlongLines) {
    cBounceText line;
    line.Start(font, "#NOT_TRANSLATED", 4);
    EXPECT_EQ(line.Count(), 0);
    line.Go();
    EXPECT_FALSE(line.IsIdle());
    EXPECT_TRUE(line.Update(25));
    EXPECT_TRUE(line.IsIdle());

    line.Start(font, "#LONG", 4);
    EXPECT_EQ(line.Count(), 127);
    EXPECT_EQ(std::u16string(line.Text()), std::u16string(127, u'A'));
}

TEST_F(Caption, SecondMessageTakesTheUpperLine) {
    cBounceCaption caption;
    EXPECT_TRUE(caption.IsIdle());
    caption.SetText(font, "#GAME_LEVEL_UP", 4);
    caption.Start();
    for (int i = 0; i < 10; ++i) caption.Update(25);
    caption.SetText(font, "#GAME_THANK_YOU", 4);
    caption.Start();
    EXPECT_EQ(caption.Line(1).LetterAt(0).character, u'B');
    EXPECT_FALSE(caption.Line(1).IsIdle());
    for (int i = 0; i < 200 && caption.Line(1).LetterAt(1).state != BounceLetter::kResting; ++i)
        caption.Update(25);
    EXPECT_EQ(caption.Line(1).LetterAt(0).state, BounceLetter::kResting);
    EXPECT_NEAR(caption.Line(1).LetterAt(0).y, 200.0f, 5.0f);
    DrawTarget target(1024, 400, "caption_target");
    caption.Draw();
    const DrawTarget::Box box = target.painted();
    EXPECT_GT(box.w, 0);
    EXPECT_LT(box.y, 210);
    EXPECT_GT(box.y + box.h, 290);
    caption.Reset();
    EXPECT_TRUE(caption.IsIdle());

    // A missing translation on a caption ends at once too.
    caption.SetText(font, "#NOT_TRANSLATED", 4);
    caption.Start();
    caption.Update(25);
    EXPECT_TRUE(caption.IsIdle());
}

TEST_F(Caption, RestartingReleasesTheFontHeld) {
    writeTga24("Data/Fx/other.tga", 32, 8, [](int, int) { return Rgb{255, 255, 255}; });
    writeText("Data/Fx/other.fh", "10 8 8\n65 0 0 0 10 0\n");
    CGraphFont* other = grLoadFont("Data/Fx/other.tga", nullptr);
    {
        cBounceText line;
        line.Start(other, "#GAME_LEVEL_UP", 4);
        line.Start(other, "#GAME_LEVEL_UP", 4);
        grFreeFont(other);
        ASSERT_NE(grRegistryFind("Data/Fx/other.tga"), nullptr);
        line.Start(font, "#GAME_LEVEL_UP", 4);
        EXPECT_EQ(grRegistryFind("Data/Fx/other.tga"), nullptr);
    }
    EXPECT_NE(grRegistryFind("Data/Fx/abc.tga"), nullptr);  // the fixture's own reference
}

}  // namespace
