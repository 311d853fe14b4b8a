// The first stretch of the road played as a player plays it, through the shell's hooks on the
// bundled data: a new player, the first comic, the first level won by watching the hotel and
// clicking, its statistics, the map, the shop, the levels up to the first mini-game with an expert
// grade and the home it opens, the mini-game won by clicks, the school, the way out, and a second
// start that finds everything kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "anim/caption.h"
#include "anim/comics.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/platform/engine.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "game/tutorial.h"
#include "minigames/minigame.h"
#include "minigames/pieces.h"
#include "screens/after_game.h"
#include "screens/after_minigame.h"
#include "screens/holders.h"
#include "screens/home.h"
#include "screens/level_loading.h"
#include "screens/loading.h"
#include "screens/map.h"
#include "screens/school.h"
#include "screens/shop.h"
#include "tests/game/scripted_player.h"
#include "tests/screens/start_fixture.h"

namespace {

constexpr uint32_t kButtonDown = 256, kButtonUp = 257, kMouseMove = 512;
// Each frame the shell runs the 25 ms steps that a frame of this length holds, then draws once,
// as on a machine drawing 5 frames a second: the steps are the same, the drawing cheaper.
constexpr int kFrameMs = 200;
// The player looks at the hotel once a second: on the bundled first level that wins, though not
// at expert grade.
constexpr int kLookEveryFrames = 1000 / kFrameMs;
constexpr int kMaxLevelFrames = 30 * 60 * 1000 / kFrameMs;

UIGameMap* map() { return dynamic_cast<UIGameMap*>(gUIGameMap.get()); }
UIAfterGameStats* stats() { return dynamic_cast<UIAfterGameStats*>(gUIAfterGameStats.get()); }
UIShop* shop() { return dynamic_cast<UIShop*>(gUIShop.get()); }
UISchool* school() { return dynamic_cast<UISchool*>(gUISchool.get()); }
UIHome* home() { return dynamic_cast<UIHome*>(gUIHome.get()); }

// The pointer as the platform hands it to the shell.
void send(ScriptedPlayer::Mouse m, Point2i p) {
    const intptr_t at = uiPack(p.x, p.y);
    if (m == ScriptedPlayer::kMove) GameOnMessage(kMouseMove, 0, at);
    else GameOnMessage(m == ScriptedPlayer::kPress ? kButtonDown : kButtonUp, 1, at);
}

void clickAt(Point2i p) {
    send(ScriptedPlayer::kMove, p);
    send(ScriptedPlayer::kPress, p);
    send(ScriptedPlayer::kRelease, p);
}

int layout(const char* file, const char* section, const char* key) {
    return iniGetInt(file, section, key, -1);
}

class WholeRoad : public StartScreens {
protected:
    void SetUp() override {
        StartScreens::SetUp();
        appSetClock([] { return float(kFrameMs); });
        gRandom.Seed(7);
        captionSeedRandom(7);
    }
    // The level behind the loading screen played to its end by the scripted player; false when
    // it never ends or hands over to nothing.
    bool playLevel() {
        finishLevelLoading();
        cGame* level = gCurrentGame;
        if (!level || !waitFor(level)) return false;
        ScriptedPlayer player(level, send);
        int shown = 0;
        for (; shown < kMaxLevelFrames && level->GetLevelState() != cGame::kLevelOver; ++shown) {
            if (shown % kLookEveryFrames == 0) {
                // An open hint waits for a click on what it shows: the player reads it and does.
                if (level->GetLevelState() == cGame::kTutorial && gTutorial) {
                    player.Click(gTutorial->spotPos + gTutorial->spotSize / 2);
                    ++hints_;
                } else {
                    player.React();
                }
            }
            frame();
        }
        RecordProperty("level_seconds", shown * kFrameMs / 1000);
        earned_ = level->GetMoney() + level->GetPopularity();
        return waitFor(stats(), 2000);
    }
    // The level behind the loading screen ended at once by a typed word.
    bool endLevelByWord(const char* word) {
        finishLevelLoading();
        if (!gCurrentGame || !waitFor(gCurrentGame)) return false;
        type(word);
        return waitFor(stats(), 2000);
    }
    // The statistics counted to their end, then confirmed.
    void confirmStatistics() {
        for (int i = 0; i < 2000 && !stats()->CountingDone(); ++i) frame();
        ASSERT_TRUE(stats()->CountingDone());
        click(button(stats(), "BtnOk"));
    }
    // The episode map's "Play" on the chosen way point.
    void playFromMap() {
        ASSERT_TRUE(waitFor(map(), 2000));
        ASSERT_NE(findChild(map(), "Play")->state, 0) << "way point " << gSelectedWayPoint;
        click(button(map(), "Play"));
    }
    // The mini-game behind the loading screen won by clicking, every half second, a piece it
    // wants.
    void winMiniGame() {
        finishLevelLoading();
        cMiniGameBase* game = gCurrentMiniGame;
        ASSERT_NE(game, nullptr);
        ASSERT_TRUE(waitFor(game));
        Window* results = gUIAfterMiniGame.get();
        for (int i = 0; i < 2000 && !updating(results); ++i) {
            if (i % (500 / kFrameMs) != 0 || game->GameState() != kMgPlay) continue;
            // The middle of a piece of the first episode's pictures.
            const auto& pieces = game->Objects();
            for (uint32_t k = 0; k < pieces.size(); ++k)
                if (pieces[k]->IsAvailable()) {
                    clickAt(pieces[k]->BrokenPos() + Point2i(40, 60));
                    break;
                }
        }
        ASSERT_TRUE(waitFor(results));
    }
    // A click in the middle of cell k of a row laid out by the screen's own file.
    void clickCell(const char* file, int k) {
        const int x = layout(file, "Param", "cell_x"), y = layout(file, "Param", "cell_y");
        const int w = layout(file, "Param", "cell_w"), h = layout(file, "Param", "cell_h");
        ASSERT_TRUE(x >= 0 && y >= 0 && w > 0 && h > 0) << file;
        frames(kUiFadeMs / kUpdateStepMs + 1);
        clickAt(Point2i(x + k * w + w / 2, y + h / 2));
        frame();
    }

    // From the map to the shop, the item bought (by name, or the first offered when null), back
    // to the map.
    void buy(const char* name) {
        const uint32_t cash = gCurrentProfile->GetCash();
        click(button(map(), "Shop"));
        ASSERT_TRUE(waitFor(shop()));
        int index = 0;
        while (index < shop()->ItemCount() && name &&
               std::string(shop()->Item(index)->name.c_str()) != name)
            ++index;
        ASSERT_LT(index, shop()->ItemCount()) << (name ? name : "an item");
        const ShopItem* item = shop()->Item(index);
        ASSERT_TRUE(item->buyable) << item->name.c_str();
        if (!name) {
            EXPECT_TRUE(item->mustHave) << item->name.c_str();
            clickCell("Data/Menu/UIShop/UIShop.ini", 0);
        }
        for (int i = 0; i < index; ++i) click(button(shop(), "ArrowRight"));
        ASSERT_EQ(shop()->Selected(), item);
        const std::string bought = item->name.c_str();
        const uint32_t price = item->priceCash;
        click(button(shop(), "Buy"));
        EXPECT_NE(gCurrentProfile->FindShopItem(bought.c_str()), nullptr) << bought;
        EXPECT_EQ(gCurrentProfile->GetCash(), cash - price);
        purchases_.push_back(bought);
        click(button(shop(), "BtnBack"));
        ASSERT_TRUE(waitFor(map()));
    }

    int earned_ = 0, hints_ = 0;
    std::vector<std::string> purchases_;
};

TEST_F(WholeRoad, FromTheFirstStartThroughTheFirstMiniGameAndBackAgain) {
    // --- A new player, the first level and its comic. ---
    firstStartTo("Vera");
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"Vera");
    click(button(gUIMainMenu.get(), "Start"));
    auto* loading = dynamic_cast<UILevelLoading*>(gUILevelLoading.get());
    ASSERT_NE(loading, nullptr);
    ASSERT_NE(gComics, nullptr);
    frames(40);
    EXPECT_TRUE(gComics->IsShowing()) << "the very first level opens with the first comic";
    EXPECT_EQ(loading->Clock(), 0) << "the loading waits for the comic";
    // Escape takes the comic on from stop to stop; at its end it fades out and the loading goes on.
    for (int i = 0; i < 400 && gComics->IsShowing(); ++i) {
        if (i % 10 == 0) key(27);
        frame();
    }
    EXPECT_FALSE(gComics->IsShowing());
    frame();
    EXPECT_GT(loading->Clock(), 0);
    ASSERT_TRUE(playLevel());
    RecordProperty("first_level_earned", earned_);
    EXPECT_EQ(stats()->Result(), 2) << "won by serving the guests, not at expert grade";
    EXPECT_GT(hints_, 0) << "a new player meets the hints and closes them on what they show";
    const uint32_t cashBefore = gCurrentProfile->GetCash();
    confirmStatistics();
    EXPECT_TRUE(stats()->TickShown(0) && stats()->TickShown(1)) << "both goals reached";
    EXPECT_EQ(stats()->Shown(3), earned_) << "the total counted up to what the level earned";
    ASSERT_TRUE(waitFor(map(), 2000));
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(gCurrentProfile->GetCash(), cashBefore + static_cast<uint32_t>(earned_));
    EXPECT_EQ(gWayPoints[0].GetResult(), 2);
    EXPECT_EQ(gSelectedWayPoint, 1u);

    // --- The levels up to the first mini-game, ended by typed words, the last one at expert
    // grade (the scripted player earns about three quarters of the expert sum on the first level,
    // however often it looks); each is confirmed and stored, and the shop is visited when an item
    // becomes a must. ---
    for (uint32_t wayPoint = 1; wayPoint < 5; ++wayPoint) {
        ASSERT_TRUE(waitFor(map(), 2000)) << wayPoint;
        ASSERT_EQ(gSelectedWayPoint, wayPoint);
        // A must-have item stands first in the shop, and "Play" waits for it.
        if (findChild(map(), "Play")->state == 0) {
            ASSERT_NO_FATAL_FAILURE(buy(nullptr));
            EXPECT_NE(findChild(map(), "Play")->state, 0);
        }
        // The fourth level's goal is a room upgrade, which the word completes on a room of the
        // first grade: one is bought first, or the word would end the level lost.
        if (wayPoint == 3) {
            ASSERT_NO_FATAL_FAILURE(buy("room_comfort"));
        }
        playFromMap();
        const bool expert = wayPoint == 4;
        ASSERT_TRUE(endLevelByWord(expert ? "rz5top" : "rz5climbed")) << wayPoint;
        EXPECT_EQ(stats()->Result(), expert ? 3 : 2);
        confirmStatistics();
        if (expert) break;
        ASSERT_TRUE(waitFor(map(), 2000));
        EXPECT_EQ(gWayPoints[wayPoint].GetResult(), 2);
    }
    ASSERT_EQ(purchases_.size(), 2u) << "an item and a room bought on the way";

    // --- The expert grade earns a decoration: the home opens, one is installed. ---
    ASSERT_TRUE(waitFor(home(), 2000)) << "an expert grade earns a decoration";
    EXPECT_EQ(gWayPoints[4].GetResult(), 3);
    EXPECT_EQ(home()->InstallsLeft(), 1);
    ASSERT_GT(home()->DisplayCount(), 0);
    const HomeItem* decoration = home()->Displayed(0);
    const std::string installed = decoration->name.c_str();
    int baseX = 0, baseY = 0;
    ASSERT_EQ(std::sscanf(iniGetString("Data/Menu/UIHome/UIHome.ini", "Config", "cell_base_pos", ""),
                          "%d, %d", &baseX, &baseY),
              2);
    frames(kUiFadeMs / kUpdateStepMs + 40);  // the panel slides into view
    clickAt(Point2i(baseX, baseY));
    frame();
    ASSERT_TRUE(home()->InstallMode()) << "a press on the cell previews the decoration";
    click(button(home(), "BtnInstall"));
    EXPECT_TRUE(gCurrentProfile->FindHomeItem(installed.c_str())) << installed;
    EXPECT_EQ(home()->InstallsLeft(), 0);
    frames(80);
    click(button(home(), "BtnBack"));
    ASSERT_TRUE(waitFor(map(), 2000));

    // --- The first mini-game, won by clicks, and its results. ---
    EXPECT_EQ(gSelectedWayPoint, 5u);
    playFromMap();
    ASSERT_NE(gCurrentMiniGame, nullptr);
    winMiniGame();
    auto* results = dynamic_cast<UIAfterMiniGame*>(gUIAfterMiniGame.get());
    ASSERT_NE(results, nullptr);
    EXPECT_GT(results->Total(), 0);
    EXPECT_EQ(gWayPoints[5].GetResult(), 3) << "every piece found";
    frames(200);
    click(button(results, "BtnOk"));
    ASSERT_TRUE(waitFor(map(), 2000));
    EXPECT_EQ(gCurrentProfile->GetLevel(), 6u);

    // --- The school: a skill learnt with the points the levels brought. ---
    click(button(map(), "School"));
    ASSERT_TRUE(waitFor(school()));
    ASSERT_GT(school()->EntryCount(), 0);
    ASSERT_TRUE(school()->Entry(0).buyable) << "the buyable skills come first";
    const cSchoolItem* skill = school()->Entry(0).item;
    const std::string line = skill->type.c_str();
    const int points = gCurrentProfile->GetSkillPoints();
    clickCell("Data/Menu/UISchool/UISchool.ini", 0);
    click(button(school(), "BtnBuy"));
    ASSERT_NE(gCurrentProfile->FindSchoolItem(line.c_str()), nullptr) << line;
    EXPECT_LT(gCurrentProfile->GetSkillPoints(), points);
    click(button(school(), "BtnBack"));
    ASSERT_TRUE(waitFor(map()));

    // --- The way out: the menu, the question, the final screen, the program's end. ---
    const uint32_t cash = gCurrentProfile->GetCash(), level = gCurrentProfile->GetLevel();
    const int skillPoints = gCurrentProfile->GetSkillPoints();
    click(button(map(), "Menu"));
    ASSERT_TRUE(waitFor(gUIMainMenu.get()));
    click(button(gUIMainMenu.get(), "Exit"));
    ASSERT_TRUE(waitFor(gUIExitGameDialog.get()));
    click(button(gUIExitGameDialog.get(), "DialogYes"));
    ASSERT_TRUE(waitFor(gUIFinalScreen.get()));
    key(32);
    int ended = 0;
    for (int i = 0; i < 400 && !ended; ++i) ended = frame();
    ASSERT_EQ(ended, 1) << "the program ends";

    // --- A second start: the same player where she stood, with all she earned and bought. ---
    restartToMenu();
    if (HasFatalFailure()) return;
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(std::u16string(gCurrentProfile->GetDisplayName()), u"Vera");
    EXPECT_EQ(gCurrentProfile->GetLevel(), level);
    EXPECT_EQ(gCurrentProfile->GetCash(), cash);
    EXPECT_EQ(gCurrentProfile->GetSkillPoints(), skillPoints);
    for (const std::string& item : purchases_)
        EXPECT_NE(gCurrentProfile->FindShopItem(item.c_str()), nullptr) << item;
    EXPECT_NE(gCurrentProfile->FindSchoolItem(line.c_str()), nullptr) << line;
    EXPECT_TRUE(gCurrentProfile->FindHomeItem(installed.c_str())) << installed;
    const int expected[] = {2, 2, 2, 2, 3, 3, 0};
    for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(gWayPoints[i].GetResult(), expected[i]) << i;
    click(button(gUIMainMenu.get(), "Start"));
    EXPECT_TRUE(waitFor(map())) << "the map opens where she left";
    EXPECT_EQ(gSelectedWayPoint, level);
}

}  // namespace
