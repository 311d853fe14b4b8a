// The player profile: what it stores, what it reads back, and how it moves along the way points.
#include <string>

#include "engine/data/file_internal.h"
#include "tests/game/game_folder.h"
#include "tests/support/child.h"

namespace {

// Two episodes: three way points (the last a mini-game), then two.
const char kMap[] =
    "[WayPoints]\r\n0=level, 1, 10, 10\r\n1=level, 1, 20, 20\r\n2=mini, 1, 30, 30\r\n"
    "3=level, 2, 40, 40\r\n4=level, 2, 50, 50\r\n";

const char kObjects[] =
    "[Main]\r\nobjects=desk\r\n"
    "[desk]\r\nname=Desk\r\ntype=desk\r\n"
    "[sofa]\r\nname=Sofa\r\ntype=seat\r\ngrade=1\r\nreplace_cost=-4\r\n"
    "[sofa_gold]\r\nname=Sofa\r\ntype=seat\r\ngrade=2\r\nreplace_cost=40\r\n"
    "[room1]\r\ntype=room\r\n[room2]\r\ntype=room\r\n"
    "[nameless]\r\ntype=lamp\r\n";

const char kShop[] =
    "[sofa_item]\r\ntype=seat\r\nobjects=sofa\r\nbonus.clients=2\r\nbonus.popularity=5\r\n"
    "price.cash=100\r\n"
    "[room_lux]\r\ntype=room\r\ngrade=3\r\nprice.cash=1000\r\n"
    "[bare_item]\r\ntype=decor\r\nprice.cash=7\r\n"
    "[ghost_item]\r\nobjects=nowhere, nameless\r\nbonus.clients=-3\r\nprice.cash=-50\r\n";

class PlayerProfile : public GameFolder {
protected:
    void SetUp() override {
        GameFolder::SetUp();
        data("Data/shared.ini", kMap);
        for (const char* e : {"e1", "e2"}) {
            data(std::string("Data/Episodes/") + e + "/objects.ini", kObjects);
            data(std::string("Data/Menu/UIShop/items/") + e + "/items.ini", kShop);
        }
        data("Data/Menu/UISchool/items.ini",
             "[fast]\r\ntype=shoes\r\nhero=jenny\r\nobjects=sofa_gold\r\n"
             "[faster]\r\ntype=shoes\r\nhero=jenny\r\n[kind]\r\ntype=charm\r\nhero=jenny\r\n");
        LoadWayPoints();
        LoadSchoolItems();
        CreatePlayer("p1", u"Anna");
    }
    cPlayerProfile* p() { return gCurrentProfile; }
    // Reads the player again from the disk, as the next run would.
    void reload() {
        ReleasePlayer();
        iniFreeAll();
        ASSERT_TRUE(SelectPlayer("p1"));
    }
    cSchoolItem* school(int i) { return gSchoolItems[static_cast<uint32_t>(i)]; }
    std::string stored(const TokenList& list) {
        std::string s;
        for (uint32_t i = 0; i < list.Count(); ++i) s += std::string(i ? "|" : "") + list.At(i);
        return s;
    }
};

TEST_F(PlayerProfile, ANewPlayerStartsEmptyWithItsEpisodesBaseObjects) {
    ASSERT_NE(nullptr, p());
    EXPECT_EQ(p(), cPlayerProfile::Current());
    EXPECT_STREQ("p1", p()->GetName());
    EXPECT_EQ(std::u16string(u"Anna"), p()->GetDisplayName());
    EXPECT_EQ(0u, p()->GetLevel());
    EXPECT_EQ(0u, p()->GetCash());
    EXPECT_EQ(1.0f, p()->GetSoundVolume());
    EXPECT_TRUE(p()->IsTutorialOn());
    EXPECT_FALSE(p()->IsFullScreen());
    EXPECT_STREQ("Data/Episodes/e1/objects.ini", p()->GetObjectsIni());
    EXPECT_STREQ("Data/Menu/UIShop/items/e1/items.ini", p()->GetShopItemsIni());
    EXPECT_STREQ("Data/Episodes/e1/levels.ini", p()->GetLevelsIni());
    cArray<RCPtr<cObjectItem>> objects;
    p()->GetObjectItems(objects);
    ASSERT_EQ(1u, objects.size());
    EXPECT_STREQ("Desk", objects[0]->name.c_str());

    EXPECT_FALSE(SelectPlayer("nobody"));
    EXPECT_EQ(p(), gCurrentProfile);
    CreatePlayer("p2", u"");  // no display name: nothing is made
    EXPECT_EQ(1, profileCount());

    // The display name is kept to 13 characters however long it was written.
    CreatePlayer("p2", u"Bartholomew Jones");
    EXPECT_EQ(std::u16string(u"Bartholomew J"), p()->GetDisplayName());
    EXPECT_EQ(2, profileCount());
}

TEST_F(PlayerProfile, MoneyAndPointsAreNeverSpentPastWhatIsHeldNorAddedPastTheLimit) {
    EXPECT_TRUE(p()->AddCash(4294967000u));
    EXPECT_FALSE(p()->AddCash(296));  // would wrap
    EXPECT_TRUE(p()->AddCash(295));
    EXPECT_EQ(4294967295u, p()->GetCash());
    EXPECT_TRUE(p()->SpendCash(4294967295u));
    EXPECT_FALSE(p()->SpendCash(1));
    EXPECT_EQ(0u, p()->GetCash());

    EXPECT_TRUE(p()->AddPopularity(10));
    EXPECT_FALSE(p()->SpendPopularity(11));
    EXPECT_EQ(10u, p()->GetPopularity());
    EXPECT_FALSE(p()->AddPopularity(UINT32_MAX));

    p()->AddSkillPoints(12.5f);
    EXPECT_EQ(12, p()->GetSkillPoints());
    EXPECT_FALSE(p()->SpendSkillPoints(12.75f));
    EXPECT_TRUE(p()->SpendSkillPoints(12.5f));
    EXPECT_EQ(0, p()->GetSkillPoints());
}

TEST_F(PlayerProfile, ShopItemsBringTheirObjectsAndKeepTheBestGradeOfEach) {
    EXPECT_TRUE(p()->AddShopItem("sofa_item"));
    EXPECT_FALSE(p()->AddShopItem("sofa_item"));  // owned already
    EXPECT_FALSE(p()->AddShopItem("room_lux"));   // a room item needs its room
    EXPECT_FALSE(p()->AddShopItem("bare_item"));  // no objects
    EXPECT_EQ(nullptr, p()->FindShopItem("bare_item"));
    EXPECT_FALSE(p()->AddShopItem(""));
    EXPECT_TRUE(p()->AddShopItem("room_lux:room1"));
    // No listed object exists, yet the item stays.
    EXPECT_TRUE(p()->AddShopItem("ghost_item"));
    EXPECT_EQ(0u, p()->FindShopItem("ghost_item")->objects.size());
    EXPECT_EQ(2u, p()->GetBonusClients());  // negative bonuses count as 0

    cShopItem* room = p()->FindShopItem("room_lux");
    ASSERT_NE(nullptr, room);
    RCPtr<cObjectItem>* roomObject = room->objects.FindValue("room1");
    ASSERT_NE(nullptr, roomObject);
    EXPECT_EQ(3, (*roomObject)->grade);  // the item's grade
    EXPECT_EQ(room, (*roomObject)->owner);
    EXPECT_EQ("ghost_item|room_lux:room1|sofa_item", stored(p()->GetShopItemList()));

    cShopItem* seats[4];
    EXPECT_EQ(1, p()->GetShopItemsOfType(seats, 4, "seat"));
    EXPECT_EQ(3, p()->GetShopItemsOfType(seats, 4, nullptr));
    EXPECT_EQ(2, p()->GetShopItemsOfType(seats, 2, nullptr));
    EXPECT_EQ(0, p()->GetShopItemsOfType(nullptr, 4, nullptr));

    // An equal grade keeps the object held; a better one replaces it.
    RCPtr<cObjectItem> same = p()->MakeObjectItem("sofa");
    EXPECT_EQ(0, same->replaceCost);
    EXPECT_FALSE(p()->InsertObjectItem(same));
    RCPtr<cObjectItem> gold = p()->MakeObjectItem("sofa_gold");
    EXPECT_TRUE(p()->InsertObjectItem(gold));
    EXPECT_FALSE(p()->MakeObjectItem("nameless"));
    EXPECT_FALSE(p()->MakeObjectItem("missing"));
    cArray<RCPtr<cObjectItem>> seatsHeld;
    p()->GetObjectItemsOfType(seatsHeld, "seat");
    ASSERT_EQ(1u, seatsHeld.size());
    EXPECT_EQ(gold.get(), seatsHeld[0].get());

    // Buying the room item for a second room replaces the record; the first room's object no
    // longer points at it.
    RCPtr<cObjectItem> first = *roomObject;
    EXPECT_TRUE(p()->AddShopItem("room_lux:room2"));
    EXPECT_EQ(nullptr, first->owner);
}

TEST_F(PlayerProfile, SchoolItemsKeepOnePerLineAndGrantTheirObjects) {
    EXPECT_FALSE(p()->AddSchoolItem(nullptr));
    EXPECT_TRUE(p()->AddSchoolItem(school(0)));
    cArray<RCPtr<cObjectItem>> seats;
    p()->GetObjectItemsOfType(seats, "seat");
    ASSERT_EQ(1u, seats.size());
    EXPECT_STREQ("sofa_gold", seats[0]->section.c_str());
    EXPECT_TRUE(p()->AddSchoolItem(school(1)));
    EXPECT_TRUE(p()->AddSchoolItem(school(2)));
    EXPECT_EQ(school(1), p()->FindSchoolItem("shoes"));
    cArray<cSchoolItem*> learnt;
    p()->GetSchoolItems(learnt);
    EXPECT_EQ(2u, learnt.size());
}

// Every stored key, with amounts past the old 1048575 read limit and lists longer than 4095
// characters, reads back as it was.
TEST_F(PlayerProfile, EveryValueReadsBackAsItWasSaved) {
    std::string shop = kShop;
    std::string lines;
    for (int i = 0; i < 150; ++i) {
        std::string n = std::to_string(i);
        shop += "[a_shop_item_with_quite_a_long_name_" + n + "]\r\nobjects=sofa\r\n";
        lines += "[a_school_item_with_a_long_name_" + n + "]\r\ntype=line" + n + "\r\n";
    }
    data("Data/Menu/UIShop/items/e1/items.ini", shop);
    data("Data/Menu/UISchool/items.ini", lines);
    FreeGameData();
    LoadSchoolItems();
    reload();
    gWayPoints[0].SetResult(2);
    p()->GoToLevel(1);

    for (int i = 0; i < 150; ++i) {
        std::string n = std::to_string(i);
        ASSERT_TRUE(p()->AddShopItem(("a_shop_item_with_quite_a_long_name_" + n).c_str()));
        ASSERT_TRUE(p()->AddSchoolItem(school(i)));
        p()->AddHomeItem(("a_home_decoration_with_a_long_name_" + n).c_str());
    }
    ASSERT_TRUE(p()->AddShopItem("room_lux:room2"));
    p()->AddCash(4000000000u);
    p()->AddPopularity(3145728);
    p()->AddClientsServed(2000000);
    p()->SetRoomsUpgraded(1048577);
    p()->AddSkillPoints(1500000.5f);
    p()->SetSoundVolume(0.25f);
    p()->SetMusicVolume(0.5f);
    p()->SetFullScreen(true);
    p()->SetTutorialOn(false);
    std::string shopList = stored(p()->GetShopItemList());
    ASSERT_GT(shopList.size(), 4095u);
    p()->Save();
    reload();

    EXPECT_EQ(4000000000u, p()->GetCash());
    EXPECT_EQ(3145728u, p()->GetPopularity());
    EXPECT_EQ(2000000u, p()->GetClientsServed());
    EXPECT_EQ(1048577u, p()->GetRoomsUpgraded());
    EXPECT_EQ(1500000, p()->GetSkillPoints());
    EXPECT_EQ(0.25f, p()->GetSoundVolume());
    EXPECT_EQ(0.5f, p()->GetMusicVolume());
    EXPECT_TRUE(p()->IsFullScreen());
    EXPECT_FALSE(p()->IsTutorialOn());
    EXPECT_EQ(1u, p()->GetLevel());
    EXPECT_EQ(2, gWayPoints[0].GetResult());
    EXPECT_EQ(shopList, stored(p()->GetShopItemList()));
    EXPECT_EQ(151u, p()->GetShopItemList().Count());
    cArray<cSchoolItem*> learnt;
    p()->GetSchoolItems(learnt);
    EXPECT_EQ(150u, learnt.size());
    EXPECT_EQ(150, p()->GetHomeItemCount());
    EXPECT_TRUE(p()->FindHomeItem("a_home_decoration_with_a_long_name_149"));
    EXPECT_EQ(std::u16string(u"Anna"), p()->GetDisplayName());
}

TEST_F(PlayerProfile, ADamagedProfileKeepsWhatCanStillBeRead) {
    p()->GoToLevel(1);
    p()->AddCash(77);
    p()->Save();
    CreatePlayer("p2", u"Bob");
    // The display names made the file UTF-16; its text here is plain ASCII, rewritten 8-bit.
    std::string wide = profileText();
    std::string text;
    for (size_t i = 2; i + 1 < wide.size(); i += 2) text += wide[i];
    // Cut p2's section short in the middle of a line, and spoil p1's values.
    size_t bob = text.find("[p2]");
    ASSERT_NE(std::string::npos, bob);
    std::string damaged = text.substr(0, bob + 20);
    size_t cash = damaged.find("level1_cash=");
    ASSERT_NE(std::string::npos, cash);
    damaged.insert(cash, "level1_popularity=-5x\r\ncurrent_level=99\r\n");
    damaged.insert(damaged.find("[p2]"), "[broken\r\n=\r\n");
    writeProfile(damaged);

    ASSERT_TRUE(SelectPlayer("p1"));
    EXPECT_EQ(0u, p()->GetLevel());  // out of range: the first way point
    EXPECT_EQ(0u, p()->GetCash());   // which starts with empty pockets
    p()->SetLevel(1);
    EXPECT_EQ(77u, p()->GetCash());
    EXPECT_EQ(0u, p()->GetPopularity());
    EXPECT_EQ(std::u16string(u"Anna"), p()->GetDisplayName());
    EXPECT_TRUE(SelectPlayer("p2"));

    for (const char* junk :
         {"", "\xff\xfe", "[", "[p1]\r\ncurrent_level=1\r\nlevel1_cash=1e99\r\nplayer_name="}) {
        writeProfile(junk);
        ReleasePlayer();
        SelectPlayer("p1");
        if (p()) {
            EXPECT_EQ(0u, p()->GetCash()) << junk;
        }
    }
}

// A level in an episode starts with what the player had after the previous way point; an
// episode's first way point starts with empty pockets but keeps skills and the home.
TEST_F(PlayerProfile, MovingAlongTheMapCarriesTheRightValues) {
    p()->AddCash(500);
    p()->AddPopularity(7);
    p()->AddSkillPoints(30);
    p()->AddClientsServed(4);
    p()->SetRoomsUpgraded(1);
    ASSERT_TRUE(p()->AddShopItem("sofa_item"));
    ASSERT_TRUE(p()->AddSchoolItem(school(2)));
    p()->AddHomeItem("fountain");
    gWayPoints[0].SetResult(2);
    p()->GoToLevel(1);

    ASSERT_NE(nullptr, p());
    EXPECT_EQ(1u, p()->GetLevel());
    EXPECT_EQ(500u, p()->GetCash());
    EXPECT_EQ(7u, p()->GetPopularity());
    EXPECT_EQ(4u, p()->GetClientsServed());
    EXPECT_NE(nullptr, p()->FindShopItem("sofa_item"));
    EXPECT_EQ(2, gWayPoints[0].GetResult());
    EXPECT_EQ(500, gWayPoints[1].GetStartValues().x);
    EXPECT_EQ(30, gWayPoints[1].GetStartValues().y);
    EXPECT_EQ(2, p()->GetLevelNumber());

    // Reading the player again at a fresh way point takes the stats of the one before.
    reload();
    EXPECT_EQ(1u, p()->GetLevel());
    EXPECT_EQ(500u, p()->GetCash());

    p()->AddCash(100);
    gWayPoints[1].SetResult(3);
    p()->GoToLevel(2);
    EXPECT_EQ(600u, p()->GetCash());
    EXPECT_EQ(1, CountExpertLevels());
    gWayPoints[2].SetResult(2);
    p()->GoToLevel(3);

    EXPECT_EQ(3u, p()->GetLevel());
    EXPECT_EQ(2, p()->GetEpisode());
    EXPECT_STREQ("Data/Episodes/e2/objects.ini", p()->GetObjectsIni());
    EXPECT_EQ(0u, p()->GetCash());
    EXPECT_EQ(0u, p()->GetPopularity());
    EXPECT_EQ(0u, p()->GetClientsServed());
    EXPECT_EQ(nullptr, p()->FindShopItem("sofa_item"));
    EXPECT_EQ(30, p()->GetSkillPoints());
    EXPECT_EQ(1u, p()->GetRoomsUpgraded());
    EXPECT_EQ(school(2), p()->FindSchoolItem("charm"));
    EXPECT_TRUE(p()->FindHomeItem("fountain"));
    EXPECT_EQ(1, p()->GetLevelNumber());
    EXPECT_EQ("sofa_item", stored(p()->ReadStoredShopItems(2)));

    // Back at a finished way point, the player plays it again with what they had before it.
    p()->SetLevel(1);
    EXPECT_EQ(1u, p()->GetLevel());
    EXPECT_EQ(500u, p()->GetCash());
    p()->SetLevel(5);  // past the map: nothing
    EXPECT_EQ(1u, p()->GetLevel());
}

TEST_F(PlayerProfile, PastTheLastWayPointTheGameIsFinishedAndTheScoreSummed) {
    ASSERT_TRUE(p()->AddShopItem("sofa_item"));  // 100 in episode 1
    p()->AddCash(40);
    p()->GoToLevel(1);
    p()->AddCash(2);
    p()->GoToLevel(2);
    p()->GoToLevel(3);  // episode 1 closes at way point 2 with 42 and the sofa
    ASSERT_TRUE(p()->AddShopItem("room_lux:room1"));  // 1000 in episode 2
    ASSERT_TRUE(p()->AddShopItem("ghost_item"));      // a negative price counts as 0
    p()->AddCash(5);
    EXPECT_EQ(42u + 100u + 5u + 1000u, p()->ComputeTotalScore());

    gWayPoints[3].SetResult(2);
    p()->GoToLevel(4);
    gWayPoints[4].SetResult(3);
    p()->GoToLevel(100);
    EXPECT_TRUE(gGameFinished);
    ASSERT_NE(nullptr, p());
    EXPECT_EQ(4u, p()->GetLevel());
    EXPECT_EQ(5u, p()->GetCash());
    EXPECT_EQ(3, gWayPoints[4].GetResult());  // the last result was saved
    EXPECT_EQ(42u + 100u + 5u + 1000u, p()->ComputeTotalScore());
}

// The shop books an item's popularity bonus for the level's end: the item is stored with it, so
// quitting at once neither loses the item nor lets a second purchase double the bonus.
TEST_F(PlayerProfile, APurchaseIsStoredWithItsBonus) {
    p()->GoToLevel(1);
    p()->AddCash(300);
    ASSERT_TRUE(p()->SpendCash(100));
    ASSERT_TRUE(p()->AddShopItem("sofa_item"));
    p()->AddItemPopToLevel("sofa_item");
    p()->AddItemPopToLevel("");
    reload();  // no Save: the game was closed

    EXPECT_NE(nullptr, p()->FindShopItem("sofa_item"));
    EXPECT_EQ(200u, p()->GetCash());
    EXPECT_FALSE(p()->AddShopItem("sofa_item"));
    p()->AddPopToAdd();
    EXPECT_EQ(5u, p()->GetPopularity());
    // Moving on clears the booked bonus.
    p()->GoToLevel(2);
    p()->AddPopToAdd();
    EXPECT_EQ(5u, p()->GetPopularity());
}

// A crash at any point of a save leaves the old profile or the new one, never a mix.
TEST_F(PlayerProfile, ACrashDuringASaveLeavesTheOldOrTheNewProfileWhole) {
    p()->GoToLevel(1);
    p()->AddCash(10);
    p()->Save();
    std::string before = profileText();
    for (int crashAt = 1; crashAt <= 30; ++crashAt) {
        static int renames;
        static int stopAt;
        renames = 0;
        stopAt = crashAt;
        int status = testsupport::inChild([&] {
            gFileSaveBeforeRename = [](const char*) {
                if (++renames == stopAt) _exit(9);
            };
            p()->AddCash(5);
            p()->AddShopItem("sofa_item");
            p()->GoToLevel(2);
        });
        ASSERT_TRUE(WIFEXITED(status));
        std::string after = profileText();
        reload();
        if (WEXITSTATUS(status) == 9 && after == before) {
            EXPECT_EQ(10u, p()->GetCash()) << crashAt;
            EXPECT_EQ(1u, p()->GetLevel()) << crashAt;
            EXPECT_EQ(nullptr, p()->FindShopItem("sofa_item")) << crashAt;
        } else {
            // The whole move reached the disk in one save.
            EXPECT_EQ(15u, p()->GetCash()) << crashAt;
            EXPECT_EQ(2u, p()->GetLevel()) << crashAt;
            EXPECT_NE(nullptr, p()->FindShopItem("sofa_item")) << crashAt;
            writeProfile(before);
            reload();
        }
    }
}

// Making a player anew (here over a stored one of the same name, beside another player) is one
// save: killed at it, the old file stays whole; let through, the new player is whole.
TEST_F(PlayerProfile, CreatingAPlayerIsOneSaveThatAKillLeavesOldOrWhole) {
    p()->AddCash(10);
    p()->Save();
    CreatePlayer("p2", u"Bea");
    const std::string before = profileText();
    for (int killAt = 1; killAt <= 3; ++killAt) {
        static int renames;
        static int stopAt;
        renames = 0;
        stopAt = killAt;
        int status = testsupport::inChild([] {
            gFileSaveBeforeRename = [](const char*) {
                if (++renames == stopAt) _exit(9);
            };
            CreatePlayer("p1", u"Cleo");
            _exit(renames);  // the number of saves the creation made
        });
        ASSERT_TRUE(WIFEXITED(status));
        if (killAt == 1) {
            EXPECT_EQ(9, WEXITSTATUS(status));
            EXPECT_EQ(before, profileText());
        } else {
            EXPECT_EQ(1, WEXITSTATUS(status)) << "saves made by one creation";
        }
    }
    reload();
    EXPECT_EQ(std::u16string(u"Cleo"), p()->GetDisplayName());
    EXPECT_EQ(0u, p()->GetCash());
    EXPECT_EQ(2, profileCount());
    ASSERT_TRUE(SelectPlayer("p2"));
    EXPECT_EQ(std::u16string(u"Bea"), p()->GetDisplayName());
}

TEST_F(PlayerProfile, SettingsAreWrittenWhenAsked) {
    p()->SetSoundVolume(0.5f);
    p()->SetMusicVolume(0.75f);
    p()->SetFullScreen(true);
    reload();
    EXPECT_EQ(1.0f, p()->GetSoundVolume());
    EXPECT_FALSE(p()->IsFullScreen());  // memory only until a save
    p()->SetSoundVolume(0.5f);
    p()->SetMusicVolume(0.75f);
    p()->SaveVolumes();
    p()->AddHomeItem("statue");
    p()->SaveHomeItems();
    reload();
    EXPECT_EQ(0.5f, p()->GetSoundVolume());
    EXPECT_EQ(0.75f, p()->GetMusicVolume());
    EXPECT_TRUE(p()->FindHomeItem("statue"));
    EXPECT_FALSE(p()->FindHomeItem(""));
}

}  // namespace
