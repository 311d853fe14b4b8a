// The road between levels, driven through the shell's hooks on the bundled data: the main menu,
// the episode map, the level loading screen, a level finished by a typed word, its statistics and
// what they store; plus the small rules of those screens as tables.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "engine/data/file_internal.h"
#include "engine/data/profile.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "minigames/minigame.h"
#include "screens/after_game.h"
#include "screens/holders.h"
#include "screens/level_loading.h"
#include "screens/loading.h"
#include "screens/map.h"
#include "tests/screens/start_fixture.h"

namespace {

UIGameMap* map() { return dynamic_cast<UIGameMap*>(gUIGameMap.get()); }
UIAfterGameStats* stats() { return dynamic_cast<UIAfterGameStats*>(gUIAfterGameStats.get()); }

class Road : public StartScreens {
protected:
    // From the menu (or the map) the level loads; the typed word ends it; the statistics show.
    void playLevel(const char* word) {
        finishLevelLoading();
        cGame* level = gCurrentGame;
        ASSERT_NE(level, nullptr);
        ASSERT_TRUE(waitFor(level));
        type(word);
        ASSERT_TRUE(waitFor(stats(), 2000)) << "the level's end hands over to its statistics";
    }
    // The statistics counted to the end, naturally.
    void countToTheEnd() {
        for (int i = 0; i < 2000 && !stats()->CountingDone(); ++i) frame();
        ASSERT_TRUE(stats()->CountingDone());
    }
};

TEST_F(Road, AWonLevelIsStoredAndTheMapOpensOnTheNextWayPoint) {
    firstStartTo("Rosa");
    click(button(gUIMainMenu.get(), "Start"));  // a new player goes straight to the first level
    playLevel("rz5climbed");
    EXPECT_EQ(stats()->Result(), 2);
    EXPECT_FALSE(findChild(stats(), "BtnOk")->hidden());
    EXPECT_TRUE(findChild(stats(), "BtnMenu")->hidden());
    countToTheEnd();
    EXPECT_TRUE(stats()->TickShown(0)) << "every guest was served";
    EXPECT_TRUE(stats()->TickShown(1)) << "the cash goal was reached";
    click(button(stats(), "BtnOk"));
    EXPECT_EQ(gCurrentGame, nullptr) << "Ok lets go of the level at once";
    ASSERT_TRUE(waitFor(map(), 2000));
    EXPECT_EQ(gWayPoints[0].GetResult(), 2);
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(gCurrentProfile->GetLevel(), 1u);
    EXPECT_EQ(gSelectedWayPoint, 1u);
    EXPECT_EQ(map()->State(1), UIGameMap::kOpen);
    EXPECT_EQ(map()->State(2), UIGameMap::kLocked);

    // A restart of the program finds the result, the player moved on and the next point open.
    restartToMenu();
    if (HasFatalFailure()) return;
    click(button(gUIMainMenu.get(), "Start"));
    ASSERT_TRUE(waitFor(map())) << "a player with a result chooses on the map";
    EXPECT_EQ(gWayPoints[0].GetResult(), 2);
    EXPECT_EQ(gSelectedWayPoint, 1u);
    EXPECT_EQ(map()->State(1), UIGameMap::kOpen);
}

// A day won while the user folder is full: the player is told once, in a box naming the folder;
// every later save tries again, and the clean stop writes the win once there is room.
TEST_F(Road, AWinOnAFullDiskIsToldOnceAndKeptUntilTheDiskHasRoom) {
    firstStartTo("Rosa");
    click(button(gUIMainMenu.get(), "Start"));
    playLevel("rz5climbed");
    char user[1024] = {};
    getUserFolder(user, sizeof user);
    static std::string full;
    full = user;
    static int refused;
    refused = 0;
    gFileSaveFault = [](const char* path) {
        if (std::string(path).rfind(full + "/", 0) != 0) return 0;
        ++refused;
        return ENOSPC;
    };
    countToTheEnd();
    click(button(stats(), "BtnOk"));
    ASSERT_TRUE(waitFor(map(), 2000));
    const int first = refused;
    EXPECT_GT(first, 0);
    gCurrentProfile->SaveVolumes();  // a later save tries the held win again
    frames(4);
    EXPECT_GT(refused, first);
    const auto boxes = [] {
        const std::string log = testsupport::TempFolder::readFile("gerr.log");
        std::vector<std::string> found;
        const std::string mark = "Message box \"Velmora: progress not saved\": ";
        for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1))
            found.push_back(log.substr(at, log.find('\n', at) - at));
        return found;
    };
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find(full), std::string::npos) << boxes()[0];
    gFileSaveFault = nullptr;
    restartToMenu();  // the clean stop finds room
    if (HasFatalFailure()) return;
    click(button(gUIMainMenu.get(), "Start"));
    ASSERT_TRUE(waitFor(map()));
    EXPECT_EQ(gWayPoints[0].GetResult(), 2);
    EXPECT_EQ(boxes().size(), 1u);
}

TEST_F(Road, ALostLevelOffersOnlyRestartAndMenu) {
    firstStartTo("Lena");
    click(button(gUIMainMenu.get(), "Start"));
    playLevel("rz5fallen");
    EXPECT_EQ(stats()->Result(), 1);
    EXPECT_TRUE(findChild(stats(), "BtnOk")->hidden()) << "a lost level cannot be confirmed";
    countToTheEnd();
    EXPECT_TRUE(stats()->CrossShown(1));
    cGame* first = gCurrentGame;
    click(button(stats(), "BtnRestart"));
    EXPECT_NE(gCurrentGame, nullptr);
    EXPECT_NE(gCurrentGame, first) << "the same level again, as a new level screen";
    playLevel("rz5fallen");
    click(button(stats(), "BtnMenu"));
    ASSERT_TRUE(waitFor(gUIMainMenu.get()));
    EXPECT_EQ(gCurrentGame, nullptr) << "no finished level stays current";
    EXPECT_EQ(gWayPoints[0].GetResult(), 0) << "nothing was stored";
}

TEST_F(Road, AClickSkipsTheCountingAndAnExpertLevelOpensTheHome) {
    firstStartTo("Ida");
    click(button(gUIMainMenu.get(), "Start"));
    playLevel("rz5top");
    EXPECT_EQ(stats()->Result(), 3);
    for (int i = 0; i < 200 && stats()->Entering(); ++i) frame();
    frames(2);
    click(stats()->Figure());  // anywhere on the screen
    EXPECT_TRUE(stats()->CountingDone());
    EXPECT_EQ(stats()->Shown(0), gCurrentGame ? gCurrentGame->GetClientsReleased() : -1);
    click(button(stats(), "BtnOk"));
    // A click while leaving reads nothing of the deleted level (the sanitizers watch it).
    key(1);
    ASSERT_TRUE(waitFor(gUIHome.get(), 2000)) << "a decoration is due after an expert grade";
    EXPECT_EQ(gWayPoints[0].GetResult(), 3);
}

// --- The small rules ----------------------------------------------------------------------------

TEST(WayPoint, AReplayKeepsTheBetterResult) {
    struct Case {
        int before, replay, kept;
    } cases[] = {{0, 2, 2}, {3, 2, 3}, {2, 3, 3}, {2, 1, 2}, {0, 1, 1}};
    for (const Case& c : cases) {
        cMapWayPoint w;
        w.LoadResult(c.before);
        w.SetResult(c.replay);
        EXPECT_EQ(w.GetResult(), c.kept) << c.before << " then " << c.replay;
    }
    cMapWayPoint read;
    read.LoadResult(3);
    read.LoadResult(0);
    EXPECT_EQ(read.GetResult(), 0) << "reading another player's progress replaces it";
}

TEST(LevelLoading, GoalTextsTakeOneIntegerAndMiniGamesAreNumberedAlongTheRoad) {
    struct Case {
        const char16_t *format, *shown;
    } cases[] = {{u"Earn %d coins", u"Earn 250 coins"},
                 {u"100% sure: %d", u"100% sure: 250"},
                 {u"%s and %d", u"%s and 250"},
                 {u"%d then %d", u"250 then %d"},
                 {u"no number", u"no number"},
                 {u"ends with %", u"ends with %"}};
    for (const Case& c : cases)
        EXPECT_EQ(formatOneInteger(c.format, 250), std::u16string(c.shown));
    // Mini-games stand at the 6th and 12th way point of each block of 12.
    const int expected[][2] = {{5, 1}, {11, 2}, {17, 3}, {23, 4}, {29, 5}, {35, 6}, {41, 7}, {47, 8}};
    for (const auto& e : expected) EXPECT_EQ(miniGameNumber(static_cast<uint32_t>(e[0])), e[1]);
}

}  // namespace

namespace {

TEST_F(Road, TheMapStartsTheMiniGameOfItsWayPointAndTheResultsMoveThePlayerOn) {
    firstStartTo("Mia");
    // The first five way points done: the sixth, a mini-game, is open.
    for (uint32_t i = 0; i < 5; ++i) gWayPoints[i].LoadResult(2);
    gCurrentProfile->SetLevel(5);
    click(button(gUIMainMenu.get(), "Start"));
    ASSERT_TRUE(waitFor(map()));
    EXPECT_EQ(gSelectedWayPoint, 5u);
    EXPECT_EQ(findChild(map(), "Shop")->state, 0) << "no shopping before a mini-game";
    click(button(map(), "Play"));
    ASSERT_NE(gCurrentMiniGame, nullptr);
    finishLevelLoading();
    cMiniGameBase* game = gCurrentMiniGame;
    ASSERT_TRUE(waitFor(game));
    key(27);  // gives up: the way point still counts as done
    ASSERT_TRUE(waitFor(gUIAfterMiniGame.get(), 4000));
    frames(200);
    click(button(gUIAfterMiniGame.get(), "BtnOk"));
    ASSERT_TRUE(waitFor(map(), 2000)) << "Ok returns to the map";
    EXPECT_EQ(gWayPoints[5].GetResult(), 2);
    EXPECT_EQ(gCurrentProfile->GetLevel(), 6u);
    EXPECT_EQ(gSelectedWayPoint, 6u);
}

TEST_F(Road, TheMapsButtonsOpenTheScreensBetweenLevels) {
    firstStartTo("Noa");
    gWayPoints[0].LoadResult(2);
    click(button(gUIMainMenu.get(), "Start"));
    ASSERT_TRUE(waitFor(map()));
    const struct {
        const char* button;
        Window* screen;
    } cases[] = {{"Shop", gUIShop.get()}, {"School", gUISchool.get()}, {"Home", gUIHome.get()}};
    for (const auto& c : cases) {
        click(button(map(), c.button));
        EXPECT_TRUE(waitFor(c.screen)) << c.button;
        click(button(c.screen, "BtnBack"));
        ASSERT_TRUE(waitFor(map())) << "back from " << c.button;
    }
}

}  // namespace
