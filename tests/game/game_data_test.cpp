// The run-long game data: way points, school items, heroes, effects, comics, hand objects, room
// sprites, and the bundled files they come from.
#include <string>
#include <vector>

#include "anim/comics.h"
#include "anim/flying.h"
#include "anim/fx_effects.h"
#include "engine/data/file.h"
#include "tests/game/game_folder.h"
#include "world/jenny.h"
#include "world/links.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/request.h"

namespace {

using GameData = GameFolder;

std::string wayPoints(const std::string& lines) { return "[WayPoints]\r\n" + lines; }

TEST_F(GameData, WayPointsEndAtTheFirstMissingOrUnreadableEntry) {
    struct Case {
        const char* lines;
        uint32_t loaded;
    } cases[] = {
        {"0=level, 1, 120, 345\r\n1=mini, 2, 5, 6\r\n3=level, 1, 0, 0\r\n", 2},
        {"0=level, 1, 1, 1\r\n1=Level, 1, 1, 1\r\n2=level, 1, 1, 1\r\n", 1},
        {"0=level, 1, 1, 1\r\n1=level, 1, 1\r\n2=level, 1, 1, 1\r\n", 1},
        {"0=level, 1, 1, 1, 1\r\n", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        gWayPoints.clear();
        data("Data/shared.ini", wayPoints(c.lines));
        LoadWayPoints();
        EXPECT_EQ(c.loaded, gWayPoints.size()) << c.lines;
    }
    // The first table's entries are read field by field.
    gWayPoints.clear();
    data("Data/shared.ini", wayPoints(cases[0].lines));
    LoadWayPoints();
    ASSERT_EQ(2u, gWayPoints.size());
    EXPECT_EQ(1, gWayPoints[0].GetEpisode());
    EXPECT_EQ(cMapWayPoint::kLevel, gWayPoints[0].GetKind());
    EXPECT_EQ(120, gWayPoints[0].GetPos().x);
    EXPECT_EQ(345, gWayPoints[0].GetPos().y);
    EXPECT_EQ(0, gWayPoints[0].GetResult());
    EXPECT_EQ(cMapWayPoint::kMiniGame, gWayPoints[1].GetKind());
    EXPECT_EQ(2, gWayPoints[1].GetEpisode());

    // Loading again appends.
    LoadWayPoints();
    EXPECT_EQ(4u, gWayPoints.size());
}

TEST_F(GameData, EpisodesAreReadFromTheWayPoints) {
    data("Data/shared.ini", wayPoints("0=level, 1, 0, 0\r\n1=mini, 1, 0, 0\r\n2=level, 2, 0, 0\r\n"
                                      "3=level, 3, 0, 0\r\n4=level, 3, 0, 0\r\n"));
    EXPECT_TRUE(IsEpisodeStart(0));  // even before any way point is loaded
    LoadWayPoints();
    bool starts[] = {true, false, true, true, false};
    for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(starts[i], IsEpisodeStart(i)) << i;
    EXPECT_FALSE(IsEpisodeStart(5));
    cArray<uint32_t> ends = EpisodeEnds();
    ASSERT_EQ(3u, ends.size());
    EXPECT_EQ(1u, ends[0]);
    EXPECT_EQ(2u, ends[1]);
    EXPECT_EQ(4u, ends[2]);
}

TEST_F(GameData, SchoolItemsAreReadWholeWithTheirGrants) {
    // Long section names and many of them: far more than a fixed 10 kB list of names holds.
    std::string items =
        "[first]\r\ntype=shoes\r\nhero=jenny\r\nprice=-5\r\nbonus.ability=-1500\r\n"
        "bonus.wait_time=300\r\nbonus.service=-2\r\nbonus.text=faster\r\nallowed_from_level=4\r\n"
        "grade=2\r\nobjects=sofa, nowhere, lamp\r\nreplace_costs=10, 20\r\n";
    const int extra = 300;
    for (int i = 0; i < extra; ++i)
        items += "[school_item_with_a_rather_long_section_name_" + std::to_string(i) +
                 "]\r\ntype=line" + std::to_string(i) + "\r\n";
    data("Data/Menu/UISchool/items.ini", items);
    data("Data/Episodes/e1/objects.ini", "[lamp]\r\nname=Lamp\r\ntype=decor\r\n");
    data("Data/Episodes/e3/objects.ini",
         "[sofa]\r\nname=Sofa\r\ntype=seat\r\n[lamp]\r\nname=Other lamp\r\n");
    data("Data/translation.ini",
         "#SCHOOL_ITEM_DESCRIPTION_first=Runs\r\n#SCHOOL_ITEM_BONUS_DESCRIPTION_first=+1\r\n");

    LoadSchoolItems();
    ASSERT_EQ(1u + extra, gSchoolItems.size());
    const cSchoolItem& item = *gSchoolItems[0];
    EXPECT_STREQ("first", item.name.c_str());
    EXPECT_STREQ("shoes", item.type.c_str());
    EXPECT_STREQ("jenny", item.hero.c_str());
    EXPECT_EQ(0, item.price);
    EXPECT_EQ(-1500, item.bonusAbility);
    EXPECT_EQ(300 & 0xFF, item.bonusWaitTime);
    EXPECT_EQ(0, item.bonusService);
    EXPECT_STREQ("faster", item.bonusText.c_str());
    EXPECT_EQ(4, item.allowedFromLevel);
    EXPECT_EQ(2, item.grade);
    EXPECT_EQ(2u, item.replaceCosts.Count());
    EXPECT_EQ(u"Runs", item.description);
    EXPECT_EQ(u"+1", item.bonusDescription);
    // The sofa only episode 3 has; "nowhere" no episode has; the lamp comes from episode 1.
    ASSERT_EQ(2u, item.grants.size());
    EXPECT_STREQ("sofa", item.grants[0].section.c_str());
    EXPECT_STREQ("Sofa", item.grants[0].name.c_str());
    EXPECT_STREQ("seat", item.grants[0].type.c_str());
    EXPECT_STREQ("Lamp", item.grants[1].name.c_str());
    EXPECT_STREQ("school_item_with_a_rather_long_section_name_299",
                 gSchoolItems[extra]->name.c_str());
    EXPECT_EQ(u"", gSchoolItems[extra]->description);

    gGameFinished = true;
    FreeGameData();
    EXPECT_EQ(0u, gSchoolItems.size());
    EXPECT_FALSE(gGameFinished);
}

TEST_F(GameData, RoomSpritesLoadOnceAndAnswerOnlyTheirKinds) {
    std::string coin = std::string(VELMORA_GAME_DIR) + "/Data/Sprites/coin.tga";
    data("Data/Episodes/e1/objects.ini", "[Main]\r\nsingle_room_spr=" + coin +
                                              "\r\ndouble_room_spr=" + coin + ", 100, 2\r\n"
                                              "luxe_room_spr=" + coin + "\r\n");
    EXPECT_EQ(nullptr, GetRoomSprite(0));
    LoadRoomSprites();
    ASSERT_EQ(4u, gRoomSprites.size());
    EXPECT_NE(nullptr, GetRoomSprite(0));
    EXPECT_NE(nullptr, GetRoomSprite(1));
    EXPECT_EQ(nullptr, GetRoomSprite(3));  // no president's room in this file
    EXPECT_EQ(nullptr, GetRoomSprite(4));
    EXPECT_EQ(nullptr, GetRoomSprite(-1));
    LoadRoomSprites();
    EXPECT_EQ(4u, gRoomSprites.size());
    FreeGameData();
    EXPECT_EQ(0u, gRoomSprites.size());
    EXPECT_EQ(nullptr, GetRoomSprite(0));
}

TEST_F(GameData, HeroesAreBuiltAnewForEveryLoadAndFreedWithTheRest) {
    for (const char* hero : {"Jenny", "Maid", "Porter"})
        data(std::string("Data/Heroes/") + hero + "/" + hero + ".ini",
             std::string("[Main]\r\nname=") + hero + "\r\n");
    // A caption longer than the buffer is cut to 63 characters.
    data("Data/translation.ini", "#COMBO=" + std::string(70, 'x') + "\r\n");
    LoadHeroes();
    ASSERT_NE(nullptr, gJenny);
    ASSERT_NE(nullptr, gMaid);
    ASSERT_NE(nullptr, gPorter);
    EXPECT_STREQ("Jenny", gJenny->GetName());
    EXPECT_STREQ("Maid", gMaid->GetName());
    EXPECT_STREQ("Porter", gPorter->GetName());
    EXPECT_EQ(std::u16string(63, u'x'), std::u16string(gComboText));
    // Again: the old heroes go (the leak checker would see three left behind), new ones come.
    gJenny->AddTask(kCocktail, nullptr);
    LoadHeroes();
    ASSERT_NE(nullptr, gJenny);
    EXPECT_EQ(0, gJenny->TaskCount());
    EXPECT_STREQ("Porter", gPorter->GetName());

    LoadFxList();
    CreateComicsManager();
    FreeGameData();
    EXPECT_EQ(nullptr, gJenny);
    EXPECT_EQ(nullptr, gMaid);
    EXPECT_EQ(nullptr, gPorter);
    EXPECT_EQ(u'\0', gComboText[0]);
    EXPECT_EQ(nullptr, gFxManager);
    EXPECT_EQ(nullptr, gFlyingTips);
    EXPECT_EQ(nullptr, gComics);
    // The world no longer reaches what was freed.
    EXPECT_EQ(nullptr, worldFxManager());
    EXPECT_EQ(nullptr, worldFlyingTips());
}

TEST_F(GameData, EffectsAreReplacedAndResetAndTheComicsMadeOnce) {
    ResetFx();  // nothing to reset yet
    LoadFxList();
    ASSERT_NE(nullptr, gFxManager);
    ASSERT_NE(nullptr, gFlyingTips);
    EXPECT_EQ(gFxManager, worldFxManager());
    EXPECT_EQ(gFlyingTips, worldFlyingTips());
    gFlyingTips->Launch(10, 10, 500, 20, FlyingTips::kGain);
    EXPECT_EQ(1u, gFlyingTips->Count());
    ResetFx();
    EXPECT_EQ(0u, gFlyingTips->Count());
    LoadFxList();
    EXPECT_EQ(gFlyingTips, worldFlyingTips());

    CreateComicsManager();
    cComicsManager* comics = gComics;
    ASSERT_NE(nullptr, comics);
    CreateComicsManager();
    EXPECT_EQ(comics, gComics);
}

TEST_F(GameData, HandObjectsLoadOncePerNameFromTheFileFormat) {
    std::string coin = std::string(VELMORA_GAME_DIR) + "/Data/Sprites/coin.tga";
    data("Data/HandObj/HandObjects.ini",
         "[Main]\r\nfname_format=Data/HandObj/%s/%s.ini\r\nobjects=cup0, tray1, cup0, ghost0\r\n");
    data("Data/HandObj/cup0/cup0.ini", "[Stand]\r\nsprite=" + coin +
                                           "\r\nspr_x=3\r\n[DownLeft]\r\nspr_y=-7\r\n");
    data("Data/HandObj/tray1/tray1.ini", "[Left]\r\nsprite=" + coin + "\r\n");
    LoadHandObjects();
    EXPECT_EQ(3u, gHandObjects.size());  // the repeated name counts once
    struct Case {
        const char* name;
        int direction;
        bool found, sprite;
    } cases[] = {
        {"cup0", 0, true, true},   {"cup0", 8, true, false},  {"tray1", 1, true, true},
        {"tray1", 0, true, false}, {"ghost0", 4, true, false}, {"cup0", 9, false, false},
        {"cup0", -1, false, false}, {"cup", 0, false, false},  {"", 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.direction));
        const AnimDesc* entry = FindHandObjectEntry(c.name, c.direction);
        ASSERT_EQ(c.found, entry != nullptr);
        if (entry) {
            EXPECT_EQ(c.sprite, entry->sprite != nullptr);
        }
        HandObjectView view;
        EXPECT_EQ(c.found, worldHandObject(c.name, c.direction, &view));
    }
    EXPECT_EQ(-7, FindHandObjectEntry("cup0", 8)->spr_y);
    HandObjectView view;
    ASSERT_TRUE(worldHandObject("cup0", 0, &view));
    EXPECT_EQ(3, view.offset.x);

    // Loading again keeps what is held.
    const AnimDesc* first = FindHandObjectEntry("cup0", 0);
    LoadHandObjects();
    EXPECT_EQ(first, FindHandObjectEntry("cup0", 0));
    EXPECT_EQ(3u, gHandObjects.size());
    FreeGameData();
    EXPECT_EQ(0u, gHandObjects.size());
    EXPECT_FALSE(worldHandObject("cup0", 0, &view));

    // A format with other conversions only takes the name where "%s" stands.
    data("Data/HandObj/HandObjects.ini",
         "[Main]\r\nfname_format=Data/HandObj/%d%n%s.ini\r\nobjects=cup0\r\n");
    data("Data/HandObj/%d%ncup0.ini", "[Up]\r\nspr_x=12\r\n");
    LoadHandObjects();
    ASSERT_NE(nullptr, FindHandObjectEntry("cup0", 3));
    EXPECT_EQ(12, FindHandObjectEntry("cup0", 3)->spr_x);
}

// The bundled data, read from the build's game folder.
TEST_F(GameData, TheBundledMapHasFourEpisodesOfTwelveWayPoints) {
    testsupport::InFolder source(VELMORA_GAME_DIR);
    iniFreeAll();
    LoadWayPoints();
    ASSERT_EQ(48u, gWayPoints.size());
    for (uint32_t i = 0; i < 48; ++i) {
        EXPECT_EQ(static_cast<int32_t>(i / 12 + 1), gWayPoints[i].GetEpisode()) << i;
        bool mini = i % 12 == 5 || i % 12 == 11;
        EXPECT_EQ(mini ? cMapWayPoint::kMiniGame : cMapWayPoint::kLevel, gWayPoints[i].GetKind())
            << i;
        // Episodes start at every twelfth way point...
        EXPECT_EQ(i % 12 == 0, IsEpisodeStart(i)) << i;
    }
    // ...and close at 11, 23, 35 and 47.
    cArray<uint32_t> ends = EpisodeEnds();
    ASSERT_EQ(4u, ends.size());
    for (uint32_t e = 0; e < 4; ++e) EXPECT_EQ(12 * e + 11, ends[e]);
    for (const char* key : {"goal_string_font", "day_label_font", "combo_font"}) {
        const char* font = iniGetString("Data/shared.ini", "GameWindow", key, "");
        EXPECT_NE('\0', font[0]) << key;
        EXPECT_TRUE(fileExists(font)) << key;
    }
}

TEST_F(GameData, TheBundledSchoolTeachesJennyFourSkills) {
    testsupport::InFolder source(VELMORA_GAME_DIR);
    iniFreeAll();
    LoadSchoolItems();
    // Jenny's four lines come first; the Maid's and the Porter's follow.
    ASSERT_GE(gSchoolItems.size(), 4u);
    const char* lines[] = {"shoes_jenny", "charm", "cooking", "manager"};
    for (uint32_t i = 0; i < 4; ++i) {
        const cSchoolItem& item = *gSchoolItems[i];
        EXPECT_STREQ(lines[i], item.type.c_str());
        EXPECT_STREQ("jenny", item.hero.c_str());
        EXPECT_GT(item.price, 0) << lines[i];
        EXPECT_NE(nullptr, item.iconNormal) << lines[i];
        EXPECT_NE(nullptr, item.iconDisabled) << lines[i];
        EXPECT_FALSE(item.description.empty()) << lines[i];
        EXPECT_FALSE(item.bonusDescription.empty()) << lines[i];
    }
}

TEST_F(GameData, TheBundledHandObjectsShowWhatEveryRequestAndTheCartPutInHand) {
    testsupport::InFolder source(VELMORA_GAME_DIR);
    iniFreeAll();
    LoadHandObjects();
    std::vector<std::string> carried = {"Cart"};
    for (int kind = 0; kind < kRequestKinds; ++kind) {
        const char* hand =
            iniGetString("Data/Request/Request.ini", RequestKindName(kind), "hand_obj", "");
        if (*hand) carried.push_back(hand);
    }
    ASSERT_GT(carried.size(), 1u);
    for (const std::string& name : carried)
        for (int direction = 0; direction < cHandObject::kDirections; ++direction) {
            const AnimDesc* entry = FindHandObjectEntry((name + "0").c_str(), direction);
            ASSERT_NE(nullptr, entry) << name;
            EXPECT_NE(nullptr, entry->sprite) << name << " " << direction;
        }
}

}  // namespace
