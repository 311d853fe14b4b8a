// The mini-game results screen through the window manager: the slide-in, the counting, the
// thanks stamp, the figures, a click that finishes the counting, and Ok turning the total into
// skill points that a restart still finds.
#include "screens/after_minigame.h"

#include "engine/platform/log.h"
#include "screens/holders.h"
#include "screens/shared_background.h"
#include "tests/minigames/minigame_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_screens", [] { logOpen(); });

const char kLayout[] =
    "[Main]\r\nx=0\r\ny=0\r\nxs=1024\r\nys=768\r\n"
    "[Mid]\r\ntype=sprite\r\nx=0\r\ny=0\r\nnormal=Pic/obj.tga\r\n"
    "[Zuna]\r\ntype=sprite\r\nx=600\r\ny=100\r\nnormal=Pic/obj.tga\r\n"
    "[ZunaExpert]\r\ntype=sprite\r\nx=600\r\ny=100\r\nnormal=Pic/fixed.tga\r\n"
    "[Thanks]\r\ntype=text\r\nx=100\r\ny=500\r\nxs=200\r\nys=40\r\n"
    "[BtnOk]\r\ntype=sprite\r\nx=400\r\ny=600\r\nxs=40\r\nys=40\r\nnormal=Pic/obj.tga\r\n"
    "[Found]\r\ntype=text\r\nx=100\r\ny=100\r\n[FoundAmount]\r\ntype=text\r\nx=300\r\ny=100\r\n"
    "[Reward]\r\ntype=text\r\nx=100\r\ny=150\r\n[RewardAmount]\r\ntype=text\r\nx=300\r\ny=150\r\n"
    "[SpeedBonus]\r\ntype=text\r\nx=100\r\ny=200\r\n"
    "[SpeedBonusAmount]\r\ntype=text\r\nx=300\r\ny=200\r\n"
    "[Total]\r\ntype=text\r\nx=100\r\ny=250\r\n[TotalAmount]\r\ntype=text\r\nx=300\r\ny=250\r\n";

class Results : public MiniGamePlay {
protected:
    void SetUp() override {
        MiniGamePlay::SetUp();
        data("Data/Menu/UIAfterMiniGame/UIAfterMiniGame.ini", kLayout);
        screen.Create("Data/Menu/UIAfterMiniGame/UIAfterMiniGame.ini", "Main");
    }
    void TearDown() override {
        MiniGamePlay::TearDown();
        delete gCurrentMiniGame;
    }
    // A finished mini-game's record, shown on the screen; wayPoint is the result it left.
    void show(cMiniGameResult r, int wayPoint) {
        delete gCurrentMiniGame;
        auto* g = new cMiniGameEpisode1;
        g->Load(5);  // no such file: nothing but the record
        *g->GetResult() = r;
        gWayPoints[1].SetResult(wayPoint);
        WM::Get()->Push(&screen, true, false, false);
        step();  // the fade-in starts
    }
    std::string amount(int line) {
        std::string s;
        for (const char16_t* t = screen.Line(line).amount->caption; *t; ++t)
            s += static_cast<char>(*t);
        return s;
    }
    void untilSettled() {
        for (int i = 0; i < 200 && screen.Entering(); ++i) step();
    }
    UIAfterMiniGame screen;
};

TEST_F(Results, SlidesInCountsAndStamps) {
    show({1, 3, 3, 10, 20}, 2);
    EXPECT_STREQ(screen.section, "UIAfterMiniGameBase");
    EXPECT_LT(screen.children[0]->y, -700);
    // A click while sliding in changes nothing.
    WM::Get()->OnKeyDown(kUiLeftButton, uiPack(5, 5));
    untilSettled();
    EXPECT_FALSE(screen.Entering());
    EXPECT_LE(screen.children[0]->y, 0);
    EXPECT_GT(screen.children[0]->y, -40);
    EXPECT_EQ(amount(UIAfterMiniGame::kFound), "0");
    step(20);
    EXPECT_NE(amount(UIAfterMiniGame::kFound), "3");
    EXPECT_EQ(amount(UIAfterMiniGame::kReward), "0");
    for (int i = 0; i < 400 && !screen.StampDone(); ++i) step();
    ASSERT_TRUE(screen.StampDone());
    EXPECT_EQ(amount(UIAfterMiniGame::kFound), "3");
    EXPECT_EQ(amount(UIAfterMiniGame::kReward), "30");
    EXPECT_EQ(amount(UIAfterMiniGame::kSpeedBonus), "20");
    EXPECT_EQ(amount(UIAfterMiniGame::kTotal), "50");
    EXPECT_EQ(screen.Total(), 50);
    auto* thanks = static_cast<UITextStatic*>(screen.Thanks());
    EXPECT_EQ(thanks->xFont, 1.0f);
    EXPECT_EQ(thanks->tint >> 24, 255u);
    // A plain goal shows the heroine fading in, without the celebration.
    EXPECT_FALSE(screen.Zuna()->hidden());
    EXPECT_TRUE(screen.ZunaExpert()->hidden());
    step(40);
    EXPECT_EQ(screen.Zuna()->tint >> 24, 255u);
    EXPECT_EQ(screen.DimLevel(), 255);
}

TEST_F(Results, StandOnTheGreyedSharedBackgroundAndGiveItBackAsItWas) {
    SharedBackground background;
    background.tint = 0xFFFFFFFFu;
    gSharedBackground = &background;
    struct Lender {
        ~Lender() { gSharedBackground = nullptr; }
    } lender;
    for (int showing = 0; showing < 2; ++showing) {
        show({1, 3, 3, 10, 20}, 2);
        ASSERT_GT(screen.childCount(), 1);
        EXPECT_EQ(screen.children[0], &background) << "drawn first, behind the panel";
        EXPECT_EQ(background.tint, 0xFF7F7F7Fu);
        EXPECT_EQ(background.GetFigures(), kFigureBackground | kFigureFlags);
        untilSettled();
        // The panel lands where its layout puts it, every time, and the background stays put.
        EXPECT_EQ(findChild(&screen, "Mid")->y, 0) << "showing " << showing;
        EXPECT_EQ(findChild(&screen, "Thanks")->y, 500) << "showing " << showing;
        EXPECT_EQ(background.y, 0);
        screen.CloseSelf();
        step(20);
        EXPECT_FALSE(hasChildPointer(&screen, &background));
        EXPECT_EQ(background.tint, 0xFFFFFFFFu);
        EXPECT_EQ(background.GetFigures(), kFigureBackground | kFigureHeroine | kFigureJenny | kFigureFlags);
        EXPECT_EQ(background.SavedLooks(), 0);
    }
}

TEST_F(Results, ClickShowsTheFinalNumbersAtOnce) {
    show({1, 0, 3, 10, 0}, 2);
    untilSettled();
    step();
    WM::Get()->OnKeyDown(kUiLeftButton, uiPack(5, 5));
    EXPECT_EQ(amount(UIAfterMiniGame::kFound), "0");
    EXPECT_EQ(amount(UIAfterMiniGame::kTotal), "0");
    // Shown again: everything starts afresh for the new record.
    screen.CloseSelf();
    step(20);
    show({1, 4, 4, 10, 5}, 2);
    untilSettled();
    step();
    WM::Get()->OnKeyDown(kUiLeftButton, uiPack(5, 5));
    EXPECT_EQ(amount(UIAfterMiniGame::kReward), "40");
    EXPECT_EQ(amount(UIAfterMiniGame::kTotal), "45");
}

TEST_F(Results, ExpertFigureCelebrates) {
    show({1, 3, 3, 10, 50}, 3);
    untilSettled();
    EXPECT_TRUE(screen.Zuna()->hidden());
    EXPECT_FALSE(screen.ZunaExpert()->hidden());
    for (int i = 0; i < 400 && !screen.StampDone(); ++i) step();
    step(4);
    EXPECT_LT(screen.DimLevel(), 255);
    EXPECT_EQ(screen.children[0]->tint & 0xFF, screen.DimLevel());
    step(40);
    EXPECT_EQ(screen.ZunaExpert()->tint >> 24, 255u);
    const int dim = screen.DimLevel();
    EXPECT_EQ(dim, 255 - 255 * 3 / 4);
    // The dimming holds for 3500 ms after the figure is whole.
    step((3500 - screen.clock) / 25);
    EXPECT_EQ(screen.DimLevel(), dim);
    step(20);
    EXPECT_EQ(screen.DimLevel(), 255);
}

TEST_F(Results, OkDuringCountingAddsTheFullTotalAndSurvivesARestart) {
    show({1, 3, 3, 10, 20}, 3);
    untilSettled();
    step(3);
    const int before = gCurrentProfile->GetSkillPoints();
    screen.OnCommand(findChild(&screen, "BtnOk"));
    EXPECT_EQ(gCurrentMiniGame, nullptr);
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(gCurrentProfile->GetLevel(), 2u);
    EXPECT_EQ(gCurrentProfile->GetSkillPoints(), before + 50);
    // The next run reads the same.
    ReleasePlayer();
    gWayPoints.clear();
    iniFreeAll();
    LoadWayPoints();
    ASSERT_TRUE(SelectPlayer("p1"));
    EXPECT_EQ(gCurrentProfile->GetLevel(), 2u);
    EXPECT_EQ(gCurrentProfile->GetSkillPoints(), before + 50);
    EXPECT_EQ(gWayPoints[1].GetResult(), 3);
}

}  // namespace
