// The level screen on the bundled first level and on small fixture levels: loading stage by
// stage, the level's states at the fixed step, clicks and keys through the window manager, the
// request kinds of a level, breakages, the counters and the globals a level leaves behind.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "anim/comics.h"
#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/gr/sprite.h"
#include "engine/platform/input.h"
#include "engine/platform/timer.h"
#include "engine/snd/snd.h"
#include "tests/game/level_harness.h"
#include "world/client.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/request.h"

namespace {

using leveltest::LevelHarness;

constexpr int kEscape = 27;

// --- The bundled first level --------------------------------------------------------------------

class SampleLevel : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        Start(true);
    }
};

TEST_F(SampleLevel, EveryKeyAndWidgetOfTheFirstLevelIsThere) {
    const char* levels = "Data/Episodes/e1/levels.ini";
    for (const char* key : {"CashFont", "NoTipsFont", "LoyaltyFont", "MoneySprite", "check_ins",
                            "check_outs", "anger_point", "repair_time", "upgrade_time",
                            "first_client_start_delay", "monsters_way", "uproom0"})
        EXPECT_STRNE(iniGetString(levels, "Main", key, ""), "") << key;
    for (const char* key : {"crashObjects", "crashRoom", "request_ttl", "other_client_start_delay",
                            "checkOutCleanInterval", "cashGoal", "cashExpert", "addPopularity",
                            "maxCostTipClient", "outdoor_request_priority", "requests",
                            "mandatory_room_upgrades"})
        EXPECT_STRNE(iniGetString(levels, "level1", key, ""), "") << key;
    for (const char* hero : {"jenny", "maid", "porter"}) {
        EXPECT_STRNE(iniGetString(levels, "HeroStartPos", hero, ""), "") << hero;
        EXPECT_STRNE(iniGetString(levels, "HeroBasePos", hero, ""), "") << hero;
    }
    EXPECT_STRNE(iniGetString(levels, "HeroWaitPos", "maid", ""), "");
    EXPECT_STRNE(iniGetString(levels, "HeroWaitPos", "porter", ""), "");
    EXPECT_STRNE(iniGetString(levels, "BasePos", "clients", ""), "");
    EXPECT_STRNE(iniGetString("Data/Sounds/music.ini", "Level", "level_music1", ""), "");
    EXPECT_STRNE(iniGetString("Data/Sounds/sounds.ini", "get_ready", "name", ""), "");
    for (const char* text :
         {"#INC_LOYALTY", "#DEC_LOYALTY", "#MENU_DAY", "#INTERFACE_GOAL", "#INTERFACE_EXPERT",
          "#INTERFACE_CLIENTS", "#GAME_GET_READY", "#GAME_GO"})
        EXPECT_FALSE(translated(text).empty()) << text;

    cGame* level = Play();
    EXPECT_NE(level->Background(), nullptr);
    EXPECT_GE(level->GetObjectCount(), 20);
    EXPECT_EQ(level->CheckIns().size(), 3u);
    EXPECT_EQ(level->CheckOuts().size(), 1u);
    ASSERT_NE(level->GetAngerPoint(), nullptr);
    EXPECT_STREQ(level->GetAngerPoint()->GetName(), "AngerPoint");
    for (const char* w : {"BustCounter", "LeftInfo", "RightInfo", "MenuBtn", "Goal", "Cash",
                          "Clients", "TipsBack", "TipsProgress", "TipsSign", "TipsSum", "TipsText"})
        EXPECT_NE(findChild(level, w), nullptr) << w;
    char text[64];
    findChild(level, "Goal")->GetTextA(text, sizeof text);
    EXPECT_STREQ(text, "Goal: 600");
    findChild(level, "Cash")->GetTextA(text, sizeof text);
    EXPECT_STREQ(text, "0");
    // Every kind of the level has its target in the hotel.
    for (const char* kind : {"Cocktail", "Cards", "Music", "Photo", "Souvenir"})
        EXPECT_GT(level->GetRequestWeight(RequestKindFromName(kind)), 0) << kind;
    for (const char* w : {"LeftInfo", "RightInfo", "TipsBack", "TipsSign"})
        EXPECT_NE(findChild(level, w)->sprites[0], nullptr) << w;
    EXPECT_NE(findChild(level, "MenuBtn")->sprites[1], nullptr);
    for (int kind = 0; kind < 4; ++kind) EXPECT_NE(GetRoomSprite(kind), nullptr) << kind;
    // Jenny stands at her start and is found by her exact name only.
    ASSERT_NE(level->GetJenny(), nullptr);
    EXPECT_EQ(level->GetHeroByName("Jenny"), level->GetJenny());
    EXPECT_EQ(level->GetHeroByName("jenny"), nullptr);
    EXPECT_EQ(level->GetJenny()->StartPos().x, 300);
    EXPECT_FLOAT_EQ(level->GetJenny()->GetBody().position.y, 450.0f);
    EXPECT_EQ(gCurrentGame, level);
    EXPECT_EQ(worldGame(), level);
    EXPECT_EQ(cWalkMap::Current(), &level->GetWalkMap());
    // The world reads the level's state through its own view of the level (flowers stop at the
    // level's end): the screen's answer, not the view's neutral default.
    level->SetLevelState(GameLink::kLevelOver);
    EXPECT_EQ(worldGame()->GetLevelState(), GameLink::kLevelOver);
}

TEST_F(SampleLevel, TheThreeHeroesTakeTheirPlacesAndTheGuestsWait) {
    cGame* level = Play();
    // The level points at the game data's heroes.
    ASSERT_NE(level->GetMaid(), nullptr);
    ASSERT_NE(level->GetPorter(), nullptr);
    EXPECT_EQ(level->GetJenny(), gJenny);
    EXPECT_EQ(level->GetMaid(), gMaid);
    EXPECT_EQ(level->GetPorter(), gPorter);
    const struct {
        const char* name;
        HeroLink* hero;
    } names[] = {{"Jenny", level->GetJenny()}, {"Maid", level->GetMaid()},
                 {"Porter", level->GetPorter()}, {"maid", nullptr},
                 {"", nullptr},               {nullptr, nullptr}};
    for (const auto& n : names) EXPECT_EQ(level->GetHeroByName(n.name), n.hero) << n.name;
    const struct {
        cHero* hero;
        Point2i start, base, wait;
    } places[] = {{level->GetJenny(), {300, 450}, {300, 450}, {0, 0}},
                  {level->GetMaid(), {120, 600}, {80, 600}, {200, 600}},
                  {level->GetPorter(), {872, 664}, {904, 664}, {808, 664}}};
    for (const auto& p : places) {
        SCOPED_TRACE(p.hero->GetName());
        EXPECT_EQ(p.hero->StartPos().x, p.start.x);
        EXPECT_EQ(p.hero->StartPos().y, p.start.y);
        EXPECT_EQ(p.hero->GetBasePoint().x, p.base.x);
        EXPECT_EQ(p.hero->GetBasePoint().y, p.base.y);
        EXPECT_EQ(p.hero->WaitPos().x, p.wait.x);
        EXPECT_EQ(p.hero->WaitPos().y, p.wait.y);
    }

    // Three businessmen, a grandpa and a traveller, and the extra one, who is held back, of a
    // kind that appears as rarely as any; all wait outside at the door.
    EXPECT_EQ(level->GetClientCount(), 5);
    ASSERT_EQ(level->GetClientsMade(), 6);
    std::map<std::string, int> kinds;
    for (int i = 0; i < 6; ++i) {
        cClient* client = level->GetClient(i);
        ASSERT_NE(client, nullptr);
        ++kinds[client->GetName()];
        EXPECT_EQ(client->GetRequestCount(), 3);
        EXPECT_EQ(client->GetBasePoint().x, 40);
        EXPECT_FLOAT_EQ(client->GetBody().position.y, 420.0f);
    }
    EXPECT_EQ(kinds["Businessman"] + kinds["Grandpa"] + kinds["Traveller"], 6);
    EXPECT_GE(kinds["Businessman"], 3);
    EXPECT_GE(kinds["Grandpa"], 1);
    EXPECT_GE(kinds["Traveller"], 1);
    EXPECT_EQ(level->GetClient(6), nullptr);
    // The first clients come one delay apart while rooms are left; the rooms are the player's.
    const int early = std::max(0, std::min(level->GetRoomCount() - 1, 5));
    ASSERT_EQ(level->ClientStartTimes().size(), static_cast<uint32_t>(1 + early));
    for (int i = 0; i <= early; ++i)
        EXPECT_EQ(level->ClientStartTimes()[static_cast<uint32_t>(i)], 2000 + 6000 * i) << i;
    // Each of the five: 3 requests at a largest tip of 10 give 3 × (3 + 20 - 1) / 2.
    EXPECT_EQ(level->GetPopularityMax(), 5 * 33);
    level->AddPopularity(33, 0, Point2i(0, 0));
    EXPECT_FLOAT_EQ(level->GetBarTarget(), 0.2f);
}

TEST_F(SampleLevel, LearntSkillsReachTheHeroesAndJennyLeadsTheOthers) {
    LoadSchoolItems();
    for (uint32_t i = 0; i < gSchoolItems.size(); ++i)
        if (strcmp(gSchoolItems[i]->name.c_str(), "jenny_shoes") == 0 ||
            strcmp(gSchoolItems[i]->name.c_str(), "jenny_manager") == 0)
            gCurrentProfile->AddSchoolItem(gSchoolItems[i]);
    cGame* level = Play();
    EXPECT_EQ(level->GetJenny()->SkillFlag(0), 1);
    EXPECT_FLOAT_EQ(level->GetJenny()->SpeedBonus(), 0.2f);
    // The manager's boost outlives the Maid's and the Porter's own skill reset.
    EXPECT_FLOAT_EQ(level->GetMaid()->ActionBonus(), 0.15f);
    EXPECT_FLOAT_EQ(level->GetPorter()->ActionBonus(), 0.15f);
}

// Every skill the bundled school sells is one its hero knows: learnt, it raises one of its flags.
TEST_F(SampleLevel, EveryBundledSkillIsOneItsHeroKnows) {
    LoadSchoolItems();
    for (uint32_t i = 0; i < gSchoolItems.size(); ++i)
        if (gSchoolItems[i]->grade == 0) gCurrentProfile->AddSchoolItem(gSchoolItems[i]);
    cGame* level = Play();
    for (const cHero* hero : {static_cast<const cHero*>(level->GetJenny()),
                              static_cast<const cHero*>(level->GetMaid()),
                              static_cast<const cHero*>(level->GetPorter())}) {
        int flags = 0;
        for (int f = 0; f < cHero::kSkillFlags; ++f) flags += hero->SkillFlag(f);
        EXPECT_GT(flags, 0) << hero->GetName();
    }
}

// The croupier's bonuses reach the cards and the roulette only, and only once learnt.
TEST_F(SampleLevel, TheCroupierLengthensTheTablesWaitsAndAddsToTheirPopularity) {
    LoadSchoolItems();
    auto waitOf = [](int kind) {
        cRequest r;
        r.Load(kind, 10000, nullptr, 0);
        return r.GetWaitTime();
    };
    cGame* level = Play();
    EXPECT_EQ(level->GetPorter()->GetServiceBonus(kCards), 0);
    EXPECT_EQ(waitOf(kCards), 10000);
    Restart();
    for (uint32_t i = 0; i < gSchoolItems.size(); ++i) {
        if (strcmp(gSchoolItems[i]->name.c_str(), "porter_dealer") == 0) {
            ASSERT_TRUE(gCurrentProfile->AddSchoolItem(gSchoolItems[i]));
        }
    }
    level = Play();
    const cPorter* porter = level->GetPorter();
    const struct {
        int kind, service, wait;
    } cases[] = {{kCards, 2, 150}, {kCasino, 2, 150}, {kChess, 0, 0}, {kLuggage, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(RequestKindName(c.kind));
        EXPECT_EQ(porter->GetServiceBonus(c.kind), c.service);
        EXPECT_EQ(porter->GetWaitTimeBonus(c.kind), c.wait);
    }
    // A card table's request is created with the longer wait.
    EXPECT_EQ(waitOf(kCards), 10150);
    EXPECT_EQ(waitOf(kChess), 10000);
    EXPECT_GT(porter->CardFactor(), 0.0f);
}

TEST_F(SampleLevel, ALevelWithGuestsGoesOnUntilACheatWordEndsIt) {
    cGame* level = Play();
    ASSERT_TRUE(PlayOn());
    Step(40);
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
    for (const char* c = "rz5climbed"; *c; ++c) {
        typedPush(static_cast<unsigned char>(*c));
        level->OnChar(*c, 0);
    }
    Step();
    EXPECT_EQ(level->GetLevelState(), cGame::kLevelOver);
    EXPECT_TRUE(level->AllClientsReleased());
}

TEST_F(SampleLevel, StatesRunFromGetReadyToPlayWithMusicAndTheClockOnlyInPlay) {
    cGame* level = Play();
    EXPECT_EQ(level->GetLevelState(), cGame::kGetReady);
    EXPECT_TRUE(leveltest::wasHeard("get_ready"));
    ASSERT_NE(level->Banner(), nullptr);
    EXPECT_EQ(level->GetLevelClock(), 0);  // the banner holds the level still
    ASSERT_TRUE(PlayOn());
    Step(40);
    EXPECT_EQ(level->GetLevelClock(), 40 * 25);
    // While a tutorial hint is open the level is frozen.
    level->SetLevelState(cGame::kTutorial);
    Step(10);
    EXPECT_EQ(level->GetLevelClock(), 40 * 25);
}

// On a sound device the level's music plays from the start of play, and music stopped while
// the level plays is started again at the next step.
TEST_F(SampleLevel, MusicStoppedDuringPlayStartsAgain) {
    timerInit();
    sndInit(nullptr);
    ASSERT_EQ(sndIsReady(), 1);
    sndLoadScript("Data/Sounds/music.ini");
    Play();
    ASSERT_TRUE(PlayOn());
    Step();
    EXPECT_TRUE(sndIsMusicPlaying());
    sndStopMusicNow();
    ASSERT_FALSE(sndIsMusicPlaying());
    Step();
    EXPECT_TRUE(sndIsMusicPlaying());
    sndStopMusicNow();
    sndUnloadScript("Data/Sounds/music.ini");
    sndDone();
}

TEST_F(SampleLevel, DrawsTheHotelUnderTheInterfaceAndAComicStopsTheLevel) {
    HSPRITE target = grCreateSprite(1024, 768, "level test back buffer");
    HSPRITE screen = grSetTarget(target);
    cGame* level = Play();
    level->xs = 1024;
    level->ys = 768;
    ASSERT_TRUE(PlayOn());
    WM::Get()->Render();
    // The level's picture fills the buffer.
    grLockSprite(target);
    int lit = 0, seen = 0;
    for (int y = 0; y < 768; y += 16)
        for (int x = 0; x < 1024; x += 16, ++seen)
            lit += reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(target->pixels) +
                                              y * target->pitch)[x] != 0;
    EXPECT_GT(lit, seen / 2);

    gComics = new cComicsManager;
    gComics->LoadAll();
    gComics->Play("data/Comics/1.anm");
    ASSERT_TRUE(gComics->IsShowing());
    const int clock = level->GetLevelClock();
    EXPECT_EQ(level->Update(25), 0);
    EXPECT_EQ(level->GetLevelClock(), clock);
    WM::Get()->Render();
    deleteAndNull(gComics);
    Step();
    EXPECT_EQ(level->GetLevelClock(), clock + 25);
    grSetTarget(screen);
    grFreeSprite(target);
}

TEST_F(SampleLevel, ClicksGoToTheInterfaceFirstAndEscapeLeavesInAnyState) {
    cGame* level = Play();
    // Escape during the banner leaves; pushing the same level again resumes it.
    WM::Get()->OnKeyDown(kEscape, 0);
    Step(13);
    EXPECT_EQ(WM::Get()->Count(), 0);
    EXPECT_EQ(level->GetLevelState(), cGame::kGetReady);
    WM::Get()->Push(level, false, false, true);
    Step(13);
    ASSERT_TRUE(PlayOn());

    // Hover lights the object under the pointer.
    cLevelObj* piano = level->FindLevelObjectByName("Piano");
    ASSERT_NE(piano, nullptr);
    const Vec2f p = piano->GetBody().position;
    WM::Get()->OnMouseMove(0, at(static_cast<int>(p.x), static_cast<int>(p.y) - 10));
    EXPECT_TRUE(piano->IsHovered());
    WM::Get()->OnKeyDown(1, at(static_cast<int>(p.x), static_cast<int>(p.y) - 10));
    EXPECT_EQ(WM::Get()->Count(), 1);  // an object click keeps the level

    // "MenuBtn" lies over the level and takes the click before any object.
    UIWnd* menu = findChild(level, "MenuBtn");
    ASSERT_NE(menu, nullptr);
    const intptr_t onMenu = at(menu->x + menu->xs / 2, menu->y + menu->ys / 2);
    WM::Get()->OnMouseMove(0, onMenu);
    WM::Get()->OnKeyDown(1, onMenu);
    WM::Get()->OnKeyUp(1, onMenu);
    Step(13);
    EXPECT_EQ(WM::Get()->Count(), 0);
}

TEST_F(SampleLevel, CheatWordsSetTheMoney) {
    cGame* level = Play();
    auto type = [&](const char* word) {
        for (const char* c = word; *c; ++c) {
            typedPush(static_cast<unsigned char>(*c));
            level->OnChar(*c, 0);
        }
    };
    type("rz5coins");
    EXPECT_EQ(level->GetMoney(), 10000);
    type("rz5top");
    EXPECT_EQ(level->GetMoney(), level->GetCashExpert());
    EXPECT_EQ(level->GetPopularity(), 0);
    type("rz5fallen");
    EXPECT_EQ(level->GetMoney(), level->GetCashGoal() - 1);
    type("rz5climbed");
    EXPECT_EQ(level->GetMoney(), level->GetCashGoal());
}

TEST_F(SampleLevel, MoneyPreviewAndPopularityFloor) {
    cGame* level = Play();
    level->AddMoney(100, 0);
    level->AddMoney(50, 1);
    EXPECT_EQ(level->GetMoney(), 100);
    EXPECT_EQ(level->GetMoneyShown(), 150);
    level->AddPopularity(5, 0, Point2i(0, 0));
    level->AddPopularity(-9, 1, Point2i(0, 0));
    EXPECT_EQ(level->GetPopularity(), 0);
    // Popularity 0: the bar is empty.
    EXPECT_EQ(level->GetBarTarget(), 0.0f);
    // The goal is announced once reached: the label turns to the expert goal.
    level->AddMoney(600, 0);
    char text[64];
    findChild(level, "Goal")->GetTextA(text, sizeof text);
    EXPECT_STREQ(text, "Expert: 900");
}

// --- Fixture levels -----------------------------------------------------------------------------

const char kObjects[] =
    "[Main]\nobjects=Desk,Bar,Stove\n"
    "[Desk]\nname=Desk\nx=10\ny=10\n"
    "[Bar]\nname=Bar\nx=20\ny=20\n"
    "[Stove]\nname=Stove\nx=30\ny=30\nbreakable=1\n"
    "[In1]\nname=In1\nx=1\ny=1\n[In2]\nname=In2\nx=2\ny=2\n[Out1]\nname=Out1\nx=3\ny=3\n"
    "[Angry]\nname=Angry\nx=4\ny=4\n";
const char kRequests[] =
    "[Cocktail]\nhero=Jenny\ntarget=Bar\n[Cards]\nhero=Jenny\ntarget=Table\n"
    "[Fire]\nhero=Porter\ntarget=Stove\n[Clean]\nhero=Maid\n"
    "[DecreaseRatio]\ndirect=0.5\nindirect=0.25\n";

class FixtureLevel : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        program_.write("Data/shared.ini", "[WayPoints]\n0=level, 1, 0, 0\n1=level, 1, 5, 5\n");
        program_.write("Data/Episodes/e1/objects.ini", kObjects);
        program_.write("Data/Request/Request.ini", kRequests);
        program_.write("Data/Episodes/e1/map.ini",
                       "[Main]\nsize=64,64\nstep=32,32\n[map]\nnodes0=11\nnodes1=11\n");
    }
    cGame* Load(const std::string& level, const std::string& main = "") {
        program_.write("Data/Episodes/e1/levels.ini",
                       "[Main]\ncheck_ins=In1, In2, Nowhere\ncheck_outs=Out1\nanger_point=Angry\n"
                       "repair_time=7000\n" + main + "\n[level1]\n" + level);
        Start(false);
        game = gameCreateLevel();
        return game;
    }
    testsupport::TempFolder& program_ = program;
};

TEST_F(FixtureLevel, RequestKindsOfTheLevel) {
    struct Case {
        const char* requests;
        int cocktail, cards, fire, clean;
        int inUse;
        bool fire_;
    } cases[] = {
        // unknown names and entries without a weight are skipped
        {"Cocktail,4;Juggling,3;Clean", 4, 0, 0, 0, 1, false},
        // weight 0 and negative weights are none; a kind listed twice counts once
        {"Cocktail,0;Clean,-5;Cocktail,2;Cocktail,3", 3, 0, 0, 0, 1, false},
        // a missing target silences the kind; a kind without target keeps its weight
        {"Cards,5;Clean,2", 0, 0, 0, 2, 1, false},
        // fire with its target in the hotel
        {"Fire,3", 0, 0, 3, 0, 1, true},
        // weights far beyond any level are held (the clients sum them)
        {"Cocktail,99999999999;Clean,2147483647", 1 << 24, 0, 0, 1 << 24, 2, false},
    };
    Load("");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requests);
        cGame level;
        program_.write("Data/Episodes/e1/levels.ini",
                       std::string("[Main]\n[level1]\nrequests=") + c.requests + "\n");
        iniFreeAll();
        for (int stage = 0; stage < 3; ++stage) level.LoadLevel(stage);
        level.LoadRequests();
        EXPECT_EQ(level.GetRequestWeight(kCocktail), c.cocktail);
        EXPECT_EQ(level.GetRequestWeight(kCards), c.cards);
        EXPECT_EQ(level.GetRequestWeight(kFire), c.fire);
        EXPECT_EQ(level.GetRequestWeight(kClean), c.clean);
        EXPECT_EQ(static_cast<int>(level.RequestKindsInUse().size()), c.inUse);
        EXPECT_EQ(level.HasFire(), c.fire_);
        // Without fire in the level its target never breaks.
        EXPECT_EQ(level.FindLevelObjectByName("Stove")->IsBreakable(), c.fire_);
    }
}

TEST_F(FixtureLevel, ClientsOfTheLevelListAndTheOneHeldBack) {
    for (const char* kind : {"Anna", "Bert"})
        program_.write(std::string("Data/Clients/") + kind + "/" + kind + ".ini",
                       std::string("[Main]\nname=") + kind + "\n");
    program_.write("Data/Clients/Paired/Paired.ini", "[Main]\nname=Paired\npair=Kid\n");
    program_.write("Data/Clients/Kid/Kid.ini", "[Main]\nname=Kid\n");
    struct Case {
        const char* clients;
        int made, count;
        const char* heldBack;  // the kind of the extra client, made last
        int popularityMax;
    } cases[] = {
        // an empty list: nobody comes and nothing is held back
        {"", 0, 0, nullptr, 0},
        {"Anna,0", 1, 0, "Anna", 0},
        // the extra client is of the kind named least often
        {"Anna,2;Bert,1;Anna,1", 5, 4, "Bert", 3 * 21},
        // an entry without a count is skipped, its kind unseen
        {"Anna;Bert,1", 2, 1, "Bert", 0},
        // a client with a partner comes with it
        {"Paired,2", 3, 2, "Paired", 0},
    };
    Load("");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clients);
        cGame level;
        // Anna asks for 2 requests: 2 × (2 + 2 × 10 - 1) / 2 = 21 towards the bar's maximum.
        program_.write("Data/Episodes/e1/levels.ini",
                       std::string("[Main]\n[level1]\nmaxCostTipClient=10\nAnna=2,0,0\nclients=") +
                           c.clients + "\n");
        iniFreeAll();
        for (int stage = 0; stage < cGame::kLoadStages; ++stage) level.LoadLevel(stage);
        EXPECT_EQ(level.GetClientsMade(), c.made);
        EXPECT_EQ(level.GetClientCount(), c.count);
        EXPECT_EQ(level.GetPopularityMax(), c.popularityMax);
        if (c.heldBack) {
            ASSERT_NE(level.GetClient(c.count), nullptr);
            EXPECT_STREQ(level.GetClient(c.count)->GetName(), c.heldBack);
        }
        const bool paired = strncmp(c.clients, "Paired", 6) == 0;
        for (int i = 0; i < c.made; ++i) EXPECT_EQ(level.GetClient(i)->GetLinked() != nullptr, paired);
        EXPECT_EQ(level.GetClient(c.made), nullptr);
        EXPECT_EQ(level.GetClient(-1), nullptr);
        // Without a maximum the bar stays empty, whatever the popularity.
        level.AddPopularity(5, 0, Point2i(0, 0));
        if (c.popularityMax == 0) {
            EXPECT_EQ(level.GetBarTarget(), 0.0f);
        }
    }
}

TEST_F(FixtureLevel, OwnedItemsBringExtraClientsTakenInTurnFromTheRarestKind) {
    for (const char* kind : {"Anna", "Bert"})
        program_.write(std::string("Data/Clients/") + kind + "/" + kind + ".ini",
                       std::string("[Main]\nname=") + kind + "\n");
    program_.write("Data/Menu/UIShop/items/e1/items.ini",
                   "[desk_item]\nobjects=Desk\nbonus.clients=2\n");
    cGame* level = Load("clients=Bert,1;Anna,1;Bert,1\n");
    delete level;
    game = nullptr;
    ASSERT_TRUE(gCurrentProfile->AddShopItem("desk_item"));
    level = game = gameCreateLevel();
    // Three from the list, then 2 + 1 extra: Anna (named once), Bert, Anna; the last waits.
    ASSERT_EQ(level->GetClientsMade(), 6);
    EXPECT_EQ(level->GetClientCount(), 5);
    int annas = 0;
    for (int i = 0; i < 5; ++i) annas += strcmp(level->GetClient(i)->GetName(), "Anna") == 0;
    EXPECT_EQ(annas, 2);
    EXPECT_STREQ(level->GetClient(5)->GetName(), "Anna");
}

TEST_F(FixtureLevel, TheFirstClientsComeOneDelayApartUntilOneRoomIsLeft) {
    struct Case {
        int rooms, clients;
        std::vector<int> times;
    } cases[] = {
        {3, 5, {1000, 1500, 2000}},
        {3, 1, {1000, 1500}},
        {1, 5, {1000}},
        {0, 5, {1000}},
        {4, 0, {1000}},
    };
    Load("");
    program_.write("Data/Clients/Anna/Anna.ini", "[Main]\nname=Anna\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rooms) + " rooms, " + std::to_string(c.clients) + " clients");
        std::string objects = "[Main]\nobjects=";
        std::string sections;
        for (int i = 0; i < c.rooms; ++i) {
            objects += (i ? ",R" : "R") + std::to_string(i);
            const std::string name = "R" + std::to_string(i);
            sections += "[" + name + "]\nname=" + name + "\ntype=room\n";
        }
        program_.write("Data/Episodes/e1/objects.ini", objects + "\n" + sections);
        // The hotel's objects are the player's: a new player takes the file's list.
        iniFreeAll();
        CreatePlayer("p1", u"Anna");
        // The extra client is held back, so "Anna,n" makes n active ones.
        program_.write("Data/Episodes/e1/levels.ini",
                       "[Main]\nfirst_client_start_delay=1000\n[level1]\n"
                       "other_client_start_delay=500\nclients=Anna," +
                           std::to_string(c.clients) + "\n");
        iniFreeAll();
        cGame level;
        for (int stage = 0; stage < cGame::kLoadStages; ++stage) level.LoadLevel(stage);
        ASSERT_EQ(level.GetRoomCount(), c.rooms);
        ASSERT_EQ(level.GetClientCount(), c.clients);
        ASSERT_EQ(level.ClientStartTimes().size(), c.times.size());
        for (uint32_t i = 0; i < c.times.size(); ++i)
            EXPECT_EQ(level.ClientStartTimes()[i], c.times[i]) << i;
    }
}

TEST_F(FixtureLevel, StagesBuildPlacesAndReadTheLevelValues) {
    // One guest who never gets a room keeps the level from ending.
    program_.write("Data/Clients/Anna/Anna.ini", "[Main]\nname=Anna\n");
    cGame* level = Load("crashObjects=5000/5000\ncrashRoom=9000/4000\nrequest_ttl=20000\n"
                        "cashGoal=300\ncashExpert=500\noutdoor_request_priority=3/4\n"
                        "clients=Anna,1\n");
    // A place the objects file lacks still stands, as a plain object.
    EXPECT_EQ(level->GetObjectCount(), 3 + 3 + 1 + 1);
    EXPECT_EQ(level->CheckIns().size(), 3u);
    EXPECT_STREQ(level->CheckIns()[1]->GetName(), "In2");
    EXPECT_EQ(level->GetRepairTime(), 7000);
    EXPECT_EQ(level->GetRequestTtl(), 20000);
    EXPECT_EQ(level->GetOutdoorPriority().x, 3);
    EXPECT_EQ(level->GetOutdoorPriority().y, 4);
    EXPECT_FLOAT_EQ(level->GetDecreaseDirect(), 0.5f);
    ASSERT_EQ(level->ClientStartTimes().size(), 1u);  // no rooms: only the first client's time
    // The world reads the same values through its link.
    GameLink* link = worldGame();
    ASSERT_EQ(link, level);
    EXPECT_EQ(link->GetRequestTtl(), 20000);
    float direct = 0, indirect = 0;
    link->GetDecreaseRatios(&direct, &indirect);
    EXPECT_FLOAT_EQ(indirect, 0.25f);
    int a = 0, b = 0;
    link->GetOutdoorRequestPriority(&a, &b);
    EXPECT_EQ(b, 4);
    EXPECT_EQ(link->GetFirstCheckInPlace(), level->CheckIns()[0]);
    EXPECT_EQ(link->GetFirstCheckOutPlace(), level->CheckOuts()[0]);
    EXPECT_STREQ(link->GetAngerPoint()->GetName(), "Angry");
    // A window of 0 breaks at exactly its minimum; max below min is read as a fixed time.
    EXPECT_EQ(level->GetNextObjectBreak(), 5000);
    EXPECT_EQ(level->GetObjectBreakRange(), 0);
    EXPECT_EQ(level->GetNextRoomBreak(), 9000);
    EXPECT_EQ(level->GetRoomBreakRange(), 0);
    // The fixture has no room pictures: reading them again never grows the set.
    LoadRoomSprites();
    EXPECT_EQ(gRoomSprites.size(), 4u);
    // Stages past the last do nothing.
    level->LoadLevel(6);
    level->LoadLevel(7);
    EXPECT_EQ(level->GetObjectCount(), 8);

    WM::Get()->Push(level, false, false, true);
    auto playStep = [&] {
        level->SetLevelState(cGame::kPlaying);
        Step();
    };
    for (int i = 0; i < 1000 && level->GetLevelClock() < 5000 - 25; ++i) playStep();
    EXPECT_EQ(level->GetNextObjectBreak(), 5000);
    playStep();
    EXPECT_EQ(level->GetLevelClock(), 5000);
    EXPECT_EQ(level->GetNextObjectBreak(), 10000);
}

// Times, goals and tips far outside any level (as a fuzzer found) are held, so that the sums and
// products the level makes of them stay inside int (the sanitizers would stop an overflow).
TEST_F(FixtureLevel, NumbersOutOfAllProportionAreHeld) {
    program_.write("Data/Clients/Anna/Anna.ini", "[Main]\nname=Anna\n");
    cGame* level = Load("crashObjects=-2147483648/2147483647\nrequest_ttl=2147483647\n"
                        "cashGoal=-2147483648\nmaxCostTipClient=2147483647\nclients=Anna,1\n");
    const int limit = 1 << 24;
    EXPECT_EQ(level->GetRequestTtl(), limit);
    EXPECT_EQ(level->GetCashGoal(), -limit);
    EXPECT_EQ(level->GetMaxCostTipClient(), limit);
    EXPECT_EQ(level->GetObjectBreakRange(), 2 * limit);
}

TEST_F(FixtureLevel, PlacesStopAtTheObjectCapacity) {
    std::string objects = "[Main]\nobjects=";
    std::string sections;
    for (int i = 0; i < 199; ++i) {
        objects += (i ? "," : "") + std::string("O") + std::to_string(i);
        sections += "[O" + std::to_string(i) + "]\nname=O" + std::to_string(i) + "\n";
    }
    program_.write(
        "Data/Episodes/e1/objects.ini",
        objects + "\n" + sections + "[In1]\nname=In1\n[In2]\nname=In2\n[Angry]\nname=A\n");
    cGame* level = Load("");
    EXPECT_EQ(level->GetObjectCount(), cGame::kMaxObjects);
    EXPECT_EQ(level->CheckIns().size(), 1u);
    EXPECT_EQ(level->GetAngerPoint(), nullptr);
}

TEST_F(FixtureLevel, ALevelMadeBeforeTheOldOneIsDeletedKeepsTheGlobals) {
    cGame* first = Load("");
    cGame* second = new cGame;
    EXPECT_EQ(gCurrentGame, first);  // a new level takes over only when it loads
    second->LoadLevel(0);
    EXPECT_EQ(gCurrentGame, second);
    delete first;
    game = second;
    EXPECT_EQ(gCurrentGame, second);
    EXPECT_EQ(worldGame(), second);
    EXPECT_EQ(cWalkMap::Current(), &second->GetWalkMap());
    delete second;
    game = nullptr;
    EXPECT_EQ(gCurrentGame, nullptr);
    EXPECT_EQ(worldGame(), nullptr);
    EXPECT_EQ(cWalkMap::Current(), nullptr);
}

TEST_F(FixtureLevel, RoomUpgradeRecordsAreAllKept) {
    cGame* level = Load("");
    level->AddRoomUpgradeRecord("Room1:2");
    level->AddRoomUpgradeRecord("Room2:3");
    ASSERT_EQ(level->RoomUpgradeRecords().size(), 2u);
    EXPECT_EQ(level->RoomUpgradeRecords()[0], "Room1:2");
    EXPECT_EQ(level->RoomUpgradeRecords()[1], "Room2:3");
}

// The music key counts way points along the whole road, not days within an episode.
TEST_F(FixtureLevel, TheLevelMusicIsChosenByTheWayPoint) {
    program_.write("Data/Sounds/music.ini", "[Level]\nlevel_music0=first\nlevel_music1=second\n");
    cGame* level = Load("");
    EXPECT_EQ(level->LevelMusic(), "first");
    gCurrentProfile->SetLevel(1);
    EXPECT_EQ(level->LevelMusic(), "second");
    program_.write("Data/Sounds/music.ini", "[Level]\n");
    iniFreeAll();
    EXPECT_EQ(level->LevelMusic(), "gameplay");
}

TEST_F(FixtureLevel, ServedCounterAdvancesASecondAfterACheckOut) {
    cGame* level = Load("", "uproom0=2, 1\nuproom1=5, 2\n");
    program_.write("Data/Interface/interface.ini", "[BustCounter]\ntype=text\n");
    delete level;
    iniFreeAll();
    level = game = gameCreateLevel();
    EXPECT_EQ(level->GetNextThreshold(), 2);
    level->AdvanceUpgradeProgress(0, 1);
    for (int ms = 25; ms < 1000; ms += 25) level->AdvanceUpgradeProgress(25, 0);
    EXPECT_EQ(level->GetServedTotal(), 0);
    level->AdvanceUpgradeProgress(25, 0);
    EXPECT_EQ(level->GetServedTotal(), 1);
    char text[16];
    findChild(level, "BustCounter")->GetTextA(text, sizeof text);
    EXPECT_STREQ(text, "1/2");
}

}  // namespace
