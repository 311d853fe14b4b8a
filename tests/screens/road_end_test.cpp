// The far end of the road and the long road, driven through the shell's hooks on the bundled data:
// a player stored near the end of the map plays the last level and mini-game through to the
// final screen and the program's end; the same scripted road twice writes the same player file;
// level after level, the sprites and sounds alive on the map do not pile up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "anim/caption.h"
#include "anim/comics.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/registry.h"
#include "engine/platform/engine.h"
#include "engine/snd/snd_internal.h"
#include "game/app.h"
#include "game/app_internal.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "minigames/minigame.h"
#include "screens/after_game.h"
#include "screens/dialogs.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "screens/map.h"
#include "screens/scores.h"
#include "screens/shop.h"
#include "tests/game/scripted_player.h"
#include "tests/screens/start_fixture.h"
#include "world/room.h"

namespace {

constexpr uint32_t kKeyDown = 256, kKeyUp = 257, kMouseMove = 512;
constexpr uint32_t kSeed = 20261211;
// Frames of 300 ms, the most one frame catches up: twelve fixed steps of 25 ms each, so that the
// drawing of a frame, dear under the sanitizers, runs a twelfth as often over these long roads.
constexpr int kFrameMs = kMaxCatchUpMs;

UIGameMap* map() { return dynamic_cast<UIGameMap*>(gUIGameMap.get()); }
UIAfterGameStats* stats() { return dynamic_cast<UIAfterGameStats*>(gUIAfterGameStats.get()); }

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class RoadEnd : public StartScreens {
protected:
    void SetUp() override {
        StartScreens::SetUp();
        appSetClock([] { return float(kFrameMs); });
    }

    // Every generator of the program at the same seed, before the program starts.
    static void seed() {
        gRandom.Seed(kSeed);
        gParticleRandom.Seed(kSeed);
        captionSeedRandom(kSeed);
    }

    // The loaded level played by the scripted player at the pointer hooks, who looks at the hotel
    // about every two seconds, until the statistics show; false when it has not ended in half an
    // hour.
    bool playByScript() {
        finishLevelLoading();
        cGame* level = gCurrentGame;
        if (!level || !waitFor(level)) return false;
        ScriptedPlayer player(level, [](ScriptedPlayer::Mouse m, Point2i p) {
            const intptr_t at = uiPack(p.x, p.y);
            if (m == ScriptedPlayer::kMove) GameOnMessage(kMouseMove, 0, at);
            else GameOnMessage(m == ScriptedPlayer::kPress ? kKeyDown : kKeyUp, 1, at);
        });
        constexpr int kLook = 2000 / kFrameMs, kLimit = 30 * 60 * 1000 / kFrameMs;
        for (int i = 0; i < kLimit && level->GetLevelState() != cGame::kLevelOver; ++i) {
            if (i % kLook == 0) player.React();
            frame();
        }
        return level->GetLevelState() == cGame::kLevelOver && waitFor(stats(), 2000);
    }

    // The loaded level ended by a typed word, until the statistics show.
    bool playByWord(const char* word) {
        finishLevelLoading();
        if (!gCurrentGame || !waitFor(gCurrentGame)) return false;
        type(word);
        return waitFor(stats(), 500);
    }

    static int spriteReferences() {
        int n = 0;
        for (int i = 0; i < grRegistrySize(); ++i)
            if (CSpriteExt* sprite = grRegistryAt(i)) n += static_cast<int>(sprite->references());
        return n;
    }

    // The sounds someone holds: those that were only played, and the music with any switch of it
    // under way, are let go first, as they end by the audio device's clock rather than by the
    // game's steps.
    static int heldSounds() {
        sndStopMusicNow();
        sndStopGroup(SND_GROUP_SOUND);
        std::lock_guard<std::recursive_mutex> hold(sndLibraryLock());
        sndCollect();
        return sndLibraryCount();
    }

    // From the map to the shop and back, with the items named bought on the money of a typed
    // word.
    void shop(std::initializer_list<const char*> items) {
        click(button(map(), "Shop"));
        auto* shop = dynamic_cast<UIShop*>(gUIShop.get());
        ASSERT_TRUE(waitFor(shop));
        type("rz5coins");
        for (const char* item : items) {
            auto selected = [shop] { return std::string(shop->Selected()->name.c_str()); };
            for (int i = 0; i < 20 && shop->Selected() && selected() != item; ++i)
                click(button(shop, "ArrowRight"));
            ASSERT_NE(shop->Selected(), nullptr);
            ASSERT_EQ(selected(), item);
            click(button(shop, "Buy"));
            EXPECT_NE(gCurrentProfile->FindShopItem(item), nullptr) << item;
        }
        click(button(shop, "BtnBack"));
        ASSERT_TRUE(waitFor(map()));
    }

    // The statistics confirmed: the screen leaves (a comic on the way is skipped) and the map
    // shows.
    void confirmStats() {
        click(findChild(stats(), "BtnOk"));
        toTheMap();
    }
    void toTheMap() {
        for (int i = 0; i < 500 && !updating(map()); ++i)
            if (i % 5 == 0) key(27);
        ASSERT_TRUE(updating(map())) << "the confirmed level hands over to the map";
    }
};

bool listedInScores(const char16_t* name, int32_t value) {
    auto* scores = dynamic_cast<UIScores*>(gUIScores.get());
    if (!scores) return false;
    for (uint32_t i = 0; i < scores->entries().size(); ++i) {
        const ScoreEntry& row = scores->entries()[i];
        if (row.name() && std::u16string(row.name()) == name && row.value == value) return true;
    }
    return false;
}

// Writes, as the profile stores them, a player at the last hotel level of the map with every way
// point before it done, the must-have item of the last episode bought, and the money each
// episode ended with.
void storeNearTheEnd(const char* player, uint32_t last) {
    IniSaveScope together;
    ASSERT_TRUE(profileSelect(player));
    char group[32];
    for (uint32_t i = 0; i < last; ++i) {
        std::snprintf(group, sizeof group, "level%u", i);
        profileSetInt(group, "result", 2);
    }
    const struct {
        uint32_t wayPoint;
        int cash;
    } ends[] = {{11, 100}, {23, 200}, {35, 300}};
    for (const auto& e : ends) {
        std::snprintf(group, sizeof group, "level%u", e.wayPoint);
        profileSetInt(group, "cash", e.cash);
    }
    std::snprintf(group, sizeof group, "level%u", last - 1);
    profileSetInt(group, "cash", 1500);
    profileSetFloat(group, "skillpts", 12.0f);
    profileSetString(group, "shopitems", "plant_corner");
    std::snprintf(group, sizeof group, "level%u", last);
    profileSetInt(group, "new_level", 1);
    profileSetInt("current", "level", static_cast<int>(last));
    profileSetInt("cfg", "tutorial_on", 0);
}

TEST_F(RoadEnd, TheLastLevelAndMiniGameEndTheGameWithAScoreAndTheFinalScreenEndsTheProgram) {
    firstStartTo("Vera");
    const std::string player = gCurrentProfile->GetName();
    const uint32_t lastMini = gWayPoints.size() - 1, lastLevel = lastMini - 1;
    ASSERT_EQ(gWayPoints[lastMini].GetKind(), 2) << "the map ends with a mini-game";
    ASSERT_EQ(gWayPoints[lastLevel].GetKind(), 1);
    storeNearTheEnd(player.c_str(), lastLevel);
    seed();
    restartToMenu();

    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(gCurrentProfile->GetLevel(), lastLevel);
    EXPECT_EQ(gCurrentProfile->GetCash(), 1500u) << "the money the level before ended with";
    click(button(gUIMainMenu.get(), "Start"));
    ASSERT_TRUE(waitFor(map()));
    EXPECT_EQ(gSelectedWayPoint, lastLevel);
    EXPECT_EQ(map()->State(lastLevel), UIGameMap::kOpen);
    EXPECT_EQ(map()->State(lastMini), UIGameMap::kLocked);
    EXPECT_EQ(findChild(map(), "Play")->state, 1) << "the must-have item is owned";

    // The scripted player does not win the last day on a hotel with nothing bought: a typed word
    // wins it.
    click(button(map(), "Play"));
    ASSERT_TRUE(playByWord("rz5climbed"));
    ASSERT_EQ(stats()->Result(), 2) << "the last level is won";
    const auto earned =
        static_cast<uint32_t>(gCurrentGame->GetMoney() + gCurrentGame->GetPopularity());
    click(findChild(stats(), "BtnOk"));
    ASSERT_NE(gComics, nullptr);
    EXPECT_TRUE(gComics->IsShowing()) << "the tenth day of the last episode ends with a comic";
    EXPECT_EQ(gComics->Current(), gComics->FindComic("data/Comics/5.anm"));
    toTheMap();
    EXPECT_FALSE(gGameFinished) << "the mini-game after it is still to come";
    EXPECT_EQ(gWayPoints[lastLevel].GetResult(), 2);
    EXPECT_EQ(gCurrentProfile->GetLevel(), lastMini);
    EXPECT_EQ(gSelectedWayPoint, lastMini);
    EXPECT_EQ(gCurrentProfile->GetCash(), 1500u + earned);

    // The last mini-game, given up at once: it still counts as done, and the game is finished.
    click(button(map(), "Play"));
    ASSERT_NE(gCurrentMiniGame, nullptr);
    finishLevelLoading();
    ASSERT_TRUE(waitFor(gCurrentMiniGame));
    key(27);
    ASSERT_TRUE(waitFor(gUIAfterMiniGame.get(), 4000));
    click(button(gUIAfterMiniGame.get(), "BtnOk"));
    EXPECT_TRUE(gGameFinished);
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(gCurrentProfile->GetLevel(), lastMini) << "the player stays on the last way point";
    EXPECT_EQ(gWayPoints[lastMini].GetResult(), 2);
    ASSERT_TRUE(waitFor(map(), 2000));

    // The score: what each episode ended with, the money now and the price of the items held.
    const char* items = gCurrentProfile->GetShopItemsIni();
    const int plant = iniGetInt(items, "plant_corner", "price.cash", 0);
    const auto total = static_cast<int32_t>(100 + 200 + 300 + gCurrentProfile->GetCash() + plant);
    EXPECT_TRUE(listedInScores(u"Vera", total)) << "the finished game enters the high scores";

    // The menu clears the finished game; its exit question leads to the final screen, which
    // closes itself after its time and so ends the program.
    click(button(map(), "Menu"));
    ASSERT_TRUE(waitFor(gUIMainMenu.get()));
    EXPECT_FALSE(gGameFinished);
    click(button(gUIMainMenu.get(), "Exit"));
    ASSERT_TRUE(waitFor(gUIExitGameDialog.get()));
    click(button(gUIExitGameDialog.get(), "DialogYes"));
    auto* last = dynamic_cast<UIFinalScreen*>(gUIFinalScreen.get());
    ASSERT_TRUE(waitFor(last));
    ASSERT_GT(last->ttl, 0);
    int shownMs = 0;
    while (shownMs <= last->ttl + 2 * kUiFadeMs && frame() == 0) shownMs += kFrameMs;
    EXPECT_GE(shownMs, last->ttl) << "the final screen stays for its time";
    EXPECT_EQ(frame(), 1) << "no window is left and the program ends";

    // The next start finds the scores and the player at the end of the map.
    restartToMenu();
    ASSERT_NE(gCurrentProfile, nullptr);
    EXPECT_EQ(gCurrentProfile->GetLevel(), lastMini);
    EXPECT_EQ(gWayPoints[lastMini].GetResult(), 2);
    EXPECT_TRUE(listedInScores(u"Vera", total)) << "the high scores were stored";
}

// The same scripted road twice, each in a fresh user folder with the generators seeded alike: a
// new player, the first level played by the scripted player and confirmed, the map, the end.
TEST_F(RoadEnd, TheSameRoadOnTheSameSeedWritesTheSamePlayerFile) {
    // The player file and the settings file that names the last player.
    const char* const names[] = {"profile.ini", "profgame.ini"};
    std::string files[2][2];
    for (int run = 0; run < 2; ++run) {
        const auto user = std::filesystem::current_path() / ("user" + std::to_string(run));
        setenv("XDG_DATA_HOME", user.c_str(), 1);
        seed();
        firstStartTo("Tom");
        gCurrentProfile->SetTutorialOn(false);
        click(button(gUIMainMenu.get(), "Start"));
        ASSERT_TRUE(playByScript());
        EXPECT_EQ(stats()->Result(), 2) << "run " << run;
        confirmStats();
        EXPECT_EQ(gWayPoints[0].GetResult(), 2);
        shutdown();
        for (int f = 0; f < 2; ++f) {
            files[f][run] = fileText(user / "StartTest" / names[f]);
            ASSERT_FALSE(files[f][run].empty()) << names[f] << " of run " << run;
        }
    }
    for (int f = 0; f < 2; ++f)
        EXPECT_TRUE(files[f][0] == files[f][1]) << "the two runs wrote different " << names[f];
}

// Five levels in a row from the first, ended by typed words, with a visit to the shop after the
// first to buy what the road will ask for (the must-have plant of the third day, a better room for
// the fourth day's mandatory upgrade). Back on the map each time, the sprites alive, the
// references held to them and the sounds held are read. Screens keep what they showed last until
// they show again (the level loading screen its goal lines and hint picture), so the readings
// settle once both kinds of level, with and without a mandatory upgrade, have been seen after the
// purchase: the later rounds hold no more than the most of those.
TEST_F(RoadEnd, LevelAfterLevelTheMapHoldsNoMoreSpritesNorSounds) {
    firstStartTo("Sam");
    click(button(gUIMainMenu.get(), "Start"));
    struct Reading {
        int sprites, references, sounds;
    };
    std::vector<Reading> readings;
    std::string upgraded;  // the room upgraded on the fourth day
    auto storedGrade = [&upgraded](const cPlayerProfile& p) {
        cArray<RCPtr<cObjectItem>> rooms;
        p.GetObjectItemsOfType(rooms, "room");
        for (uint32_t i = 0; i < rooms.size(); ++i)
            if (upgraded == rooms[i]->name.c_str()) return rooms[i]->grade;
        return -1;
    };
    for (int round = 0; round < 5; ++round) {
        if (round > 0) click(button(map(), "Play"));
        ASSERT_TRUE(playByWord("rz5climbed")) << "round " << round;
        ASSERT_EQ(stats()->Result(), 2) << "round " << round;
        if (round == 3) {
            // The fourth day's mandatory upgrade, done by the finish on the room bought, leaves
            // its record for the statistics to hand to the profile.
            ASSERT_EQ(gCurrentGame->RoomUpgradeRecords().size(), 1u);
            const std::string record = gCurrentGame->RoomUpgradeRecords()[0];
            EXPECT_EQ(record.rfind("RoomUpgrade_1_2_", 0), 0u);
            upgraded = record.substr(record.find(':') + 1);
        }
        if (round == 4) {
            // The next day's hotel has that room at its new grade.
            int grade = 2;
            const cArray<std::string>& records = gCurrentGame->RoomUpgradeRecords();
            for (uint32_t i = 0; i < records.size(); ++i)
                if (records[i].substr(records[i].find(':') + 1) == upgraded) ++grade;
            auto* room = dynamic_cast<cRoom*>(gCurrentGame->FindLevelObjectByName(upgraded.c_str()));
            ASSERT_NE(room, nullptr) << upgraded;
            EXPECT_EQ(room->UpgradeLevel(), grade) << upgraded;
        }
        confirmStats();
        if (round == 3) {
            // Won, it is the player's: held now and read back from the stored profile.
            EXPECT_EQ(storedGrade(*gCurrentProfile), 2) << upgraded;
            cPlayerProfile stored;
            stored.Load(gCurrentProfile->GetName());
            EXPECT_EQ(storedGrade(stored), 2) << upgraded;
        }
        if (round == 0) shop({"plant_corner", "room_comfort"});
        ASSERT_FALSE(HasFatalFailure()) << "round " << round;
        readings.push_back({grRegistryCount(), spriteReferences(), heldSounds()});
    }
    EXPECT_EQ(gCurrentProfile->GetLevel(), 5u);
    Reading settled = readings[1];
    for (size_t i = 2; i <= 3; ++i) {
        settled.sprites = std::max(settled.sprites, readings[i].sprites);
        settled.references = std::max(settled.references, readings[i].references);
        settled.sounds = std::max(settled.sounds, readings[i].sounds);
    }
    for (size_t i = 4; i < readings.size(); ++i) {
        EXPECT_LE(readings[i].sprites, settled.sprites) << "after level " << i + 1;
        EXPECT_LE(readings[i].references, settled.references) << "after level " << i + 1;
        EXPECT_LE(readings[i].sounds, settled.sounds) << "after level " << i + 1;
    }
}

}  // namespace
