// The mini-game screen played through the window manager: loading and its guards, winning with
// and without the speed bonuses, losing by time or Escape, the miss penalty, hints, and the
// flying pieces of episode 4.
#include "tests/minigames/minigame_fixture.h"

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"

namespace {

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_minigames", [] { logOpen(); });

TEST_F(MiniGamePlay, WinningPlaysBannerMarksWayPointAndHandsOnResult) {
    start(new cMiniGameEpisode1);
    EXPECT_EQ(gCurrentMiniGame, game);
    EXPECT_EQ(game->Needed(), 2);
    ASSERT_TRUE(untilPlay());
    EXPECT_EQ(cursorGet()->current, 1);  // the tool cursor
    for (int k = 0; k < 2; ++k) {
        const Point2i p = wanted();
        click(p.x, p.y);
        step();
    }
    EXPECT_EQ(game->Served(), 2);
    ASSERT_NE(game->GoalWidget(), nullptr);
    EXPECT_EQ(std::u16string(game->GoalWidget()->caption), u"2/2");
    EXPECT_EQ(game->GameState(), kMgOver);
    EXPECT_EQ(banner(), "Expert");
    EXPECT_EQ(wayPointResult(), 3);
    // Each hit leaves a coin label with the price and a click point.
    ASSERT_EQ(game->Labels().size(), 2u);
    EXPECT_EQ(game->LabelPoints().size(), 2u);
    EXPECT_EQ(std::u16string(game->Labels()[0]->Text()), u"15");
    ASSERT_TRUE(untilFinished());
    const cMiniGameResult* r = game->GetResult();
    EXPECT_EQ(r->number, 1);
    EXPECT_EQ(r->served, 2);
    EXPECT_EQ(r->needed, 2);
    EXPECT_EQ(r->itemPrice, 15);
    EXPECT_EQ(r->bonus, 75);
    EXPECT_EQ(cursorGet()->current, 0);
}

// Finishing time against expert_duration 5000 and speedy_duration 3000.
TEST_F(MiniGamePlay, BonusBoundaries) {
    struct Case {
        int doneAt;  // ms of play before the last click; -1 presses Escape instead
        const char* banner;
        int wayPoint, bonus;
    } cases[] = {
        {1000, "Expert", 3, 75},
        {4000, "Expert", 3, 50},
        {5000, "Goal", 2, 0},
        {-1, "Thanks", 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.doneAt);
        TearDown();
        SetUp();
        start(new cMiniGameEpisode1);
        ASSERT_TRUE(untilPlay());
        if (c.doneAt < 0) {
            WM::Get()->OnKeyDown(27, 0);
        } else {
            const Point2i p = wanted();
            click(p.x, p.y);
            while (game->clock < c.doneAt) step();
            const Point2i q = wanted();
            click(q.x, q.y);
        }
        step();
        EXPECT_EQ(game->GameState(), kMgOver);
        EXPECT_EQ(banner(), c.banner);
        EXPECT_EQ(wayPointResult(), c.wayPoint);
        EXPECT_EQ(game->Bonus(), c.bonus);
    }
}

TEST_F(MiniGamePlay, TimeOutLosesButCompletesTheWayPoint) {
    start(new cMiniGameEpisode1);
    ASSERT_TRUE(untilPlay());
    const Point2i p = wanted();
    click(p.x, p.y);
    while (game->GameState() == kMgPlay) step();
    EXPECT_GT(game->clock, 20000);
    EXPECT_EQ(banner(), "Thanks");
    EXPECT_EQ(wayPointResult(), 2);
    ASSERT_TRUE(untilFinished());
    EXPECT_EQ(game->GetResult()->served, 1);
    EXPECT_EQ(game->GetResult()->bonus, 0);
}

// Three quick misses are free, the fourth costs the penalty; a slow miss only counts.
TEST_F(MiniGamePlay, QuickMissesCostThePenalty) {
    start(new cMiniGameEpisode1);
    ASSERT_TRUE(untilPlay());
    step(40);  // the clock is well past the first click's time
    const Point2i miss = notWanted();
    for (int i = 0; i < 3; ++i) {
        click(miss.x, miss.y);
        step();
    }
    EXPECT_EQ(game->Misses(), 3);
    EXPECT_EQ(game->Labels().size(), 0u);
    const int before = game->clock;
    const uint32_t timerBefore = game->Timer().Elapsed();
    click(miss.x, miss.y);
    EXPECT_EQ(game->Misses(), 0);
    EXPECT_EQ(game->clock, before + 3000);
    EXPECT_EQ(game->Timer().Elapsed(), timerBefore + 3000);
    ASSERT_EQ(game->Labels().size(), 1u);
    EXPECT_EQ(std::u16string(game->Labels()[0]->Text()), u"-3 s");
    EXPECT_EQ(game->LabelPoints()[0].x, -100);

    // Four misses again, the last one slow: counted, no penalty; the next quick one pays.
    for (int i = 0; i < 3; ++i) {
        click(miss.x, miss.y);
        step();
    }
    step(30);
    click(miss.x, miss.y);
    EXPECT_EQ(game->Misses(), 4);
    EXPECT_EQ(game->Labels().size(), 1u);
    step();
    click(miss.x, miss.y);
    EXPECT_EQ(game->Misses(), 0);
    EXPECT_EQ(game->Labels().size(), 2u);
}

TEST_F(MiniGamePlay, PenaltyPastTheDurationEndsTheGame) {
    start(new cMiniGameEpisode1, "objects_total=3\r\nobjects_needed=2\r\npenalty_time=30000\r\n");
    ASSERT_TRUE(untilPlay());
    const Point2i miss = notWanted();
    for (int i = 0; i < 4; ++i) click(miss.x, miss.y);
    step();
    EXPECT_EQ(game->GameState(), kMgOver);
    EXPECT_EQ(banner(), "Thanks");
}

// A miss delay far outside any mini-game (as a fuzzer found) is held: the quick-miss test no
// longer overflows, and every miss within the hour counts as quick.
TEST_F(MiniGamePlay, TimesOutOfAllProportionAreHeld) {
    start(new cMiniGameEpisode1,
          "objects_total=3\r\nobjects_needed=2\r\nmiss_delay=2147483647\r\n"
          "penalty_time=3000\r\n");
    ASSERT_TRUE(untilPlay());
    const Point2i miss = notWanted();
    step();
    for (int i = 0; i < 3; ++i) click(miss.x, miss.y);
    const int before = game->clock;
    click(miss.x, miss.y);
    EXPECT_EQ(game->clock, before + 3000);
    EXPECT_EQ(game->GameState(), kMgPlay);
}

// Bad counts are held within 1..objects_total; without objects the game is lost at once.
TEST_F(MiniGamePlay, ObjectCountsAreValidated) {
    struct Case {
        const char* param;
        int needed;
        const char* banner;
    } cases[] = {
        {"objects_total=3\r\nobjects_needed=9\r\n", 3, nullptr},
        {"objects_total=3\r\n", 1, nullptr},
        {"objects_needed=2\r\n", 0, "Thanks"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.param);
        TearDown();
        SetUp();
        start(new cMiniGameEpisode1, c.param);
        EXPECT_EQ(game->Needed(), c.needed);
        int wantedCount = 0;
        for (uint32_t i = 0; i < game->Objects().size(); ++i)
            wantedCount += game->Objects()[i]->IsAvailable();
        EXPECT_EQ(wantedCount, c.needed);
        ASSERT_TRUE(untilPlay());
        step();
        if (c.banner) {
            EXPECT_EQ(game->GameState(), kMgOver);
            EXPECT_EQ(banner(), c.banner);
            EXPECT_EQ(game->Bonus(), 0);
        } else {
            EXPECT_EQ(game->GameState(), kMgPlay);
        }
    }
}

TEST_F(MiniGamePlay, HintsFollowTheTurnTimer) {
    start(new cMiniGameEpisode1, "objects_total=3\r\nobjects_needed=2\r\n", 0);
    ASSERT_TRUE(untilPlay());
    step();
    ASSERT_NE(game->Current(), nullptr);
    EXPECT_TRUE(game->Current()->IsAvailable());
    // The blink runs its 1000 ms; then the next hint comes.
    cMiniGameObjectBase* first = game->Current();
    step(20);
    EXPECT_EQ(game->Current(), first);
    step(30);
    ASSERT_NE(game->Current(), nullptr);
}

TEST_F(MiniGamePlay, EscapeBeforePlayLosesAtTheStart) {
    start(new cMiniGameEpisode1);
    step(12);  // the fade-in is over
    ASSERT_EQ(game->GameState(), kMgGetReady);
    WM::Get()->OnKeyDown(27, 0);
    ASSERT_TRUE(untilPlay());
    step();
    EXPECT_EQ(banner(), "Thanks");
}

TEST_F(MiniGamePlay, Episode4FliesPiecesIntoPlace) {
    start(new cMiniGameEpisode4);
    ASSERT_TRUE(untilPlay());
    // Without the custom cursor a click is not even a miss.
    cursorSet(0);
    const Point2i p = wanted();
    click(p.x, p.y);
    EXPECT_EQ(game->Served(), 0);
    EXPECT_EQ(game->Misses(), 0);
    cursorSet(1);
    click(p.x, p.y);
    EXPECT_EQ(game->Served(), 1);
    EXPECT_EQ(game->Labels().size(), 1u);
    EXPECT_EQ(game->LabelPoints().size(), 0u);
    cMiniGameObjectBase* flying = nullptr;
    for (uint32_t i = 0; i < game->Objects().size(); ++i)
        if (game->Objects()[i]->IsFlying()) flying = game->Objects()[i];
    ASSERT_NE(flying, nullptr);
    // A second click on it is a miss; the flight lands and the fixed look fades in.
    click(p.x, p.y);
    EXPECT_EQ(game->Misses(), 1);
    step(5);
    EXPECT_FALSE(flying->IsFlying());
    step(6);
    EXPECT_TRUE(flying->IsDone());
    EXPECT_EQ(flying->GetAlpha(), 255);
    const Point2i q = wanted();
    click(q.x, q.y);
    step();
    EXPECT_EQ(game->GameState(), kMgOver);
}

TEST(MiniGameText, PenaltyTextSubstitutesOneNumber) {
    struct Case {
        const char16_t* format;
        const char16_t* expected;
    } cases[] = {
        {u"-%d sec", u"-3 sec"},
        {u"%d%% and %d %s", u"3%% and %d %s"},
        {u"no number", u"no number"},
        {u"%", u"%"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        char16_t out[kMgTextUnits];
        FormatPenaltyText(out, c.format, 3);
        EXPECT_EQ(std::u16string(out), c.expected);
    }
    std::u16string longer(400, u'x');
    longer = u"%d" + longer;
    char16_t out[kMgTextUnits];
    FormatPenaltyText(out, longer.c_str(), 12345);
    EXPECT_EQ(std::u16string(out).size(), static_cast<size_t>(kMgTextUnits - 1));
    EXPECT_EQ(std::u16string(out).substr(0, 6), u"12345x");
}

}  // namespace
