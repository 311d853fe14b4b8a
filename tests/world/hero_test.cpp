// The heroes' common base: queue order, withdrawal by kind, hands, combo and timed animations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/hero.h"
#include "world/level_object.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_hero", [] { logOpen(); });

class PlainHero : public cHero {
public:
    bool IsUnavailable() const override { return false; }
    void Summon(int) override {}
    void Hold(const char* left, const char* right) {
        copyHandName(leftHand_, left);
        copyHandName(rightHand_, right);
    }
    void SetActionBonus(float f) { actionBonus_ = f; }
    void Walk(Point2i p) { WalkTo(p, kStateService1, kStateWalking); }
};

struct Tasks {
    std::vector<std::pair<int, const cLevelObj*>> list;
    explicit Tasks(const cHero& h) {
        for (int i = 0; i < h.TaskCount(); ++i) list.push_back({h.Task(i).kind, h.Task(i).target});
    }
};
typedef std::vector<std::pair<int, const cLevelObj*>> TaskList;

// A client stand-in: a level object whose request is served at one object and shown on another.
class StandIn : public cLevelObj {
public:
    void Ask(int kind, cLevelObj* owner) { request_.Load(kind, 0, owner, 0); }
};

class Heroes : public ::testing::Test {
protected:
    void SetUp() override {
        std::string request = "[Main]\n";
        for (int k = 0; k < kRequestKinds; ++k)
            request += std::string("[") + RequestKindName(k) + "]\nhero=Jenny\n" +
                       (k == kCocktail ? "target=Bar\n" : "");
        writeFile("Data/Request/Request.ini", request);
        game.heroes = {{"Jenny", &hero}};
        game.objects = {{"Bar", &x}};
    }
    FakeGame game;
    PlainHero hero;
    cLevelObj a, b, x, y;
};

TEST_F(Heroes, CalmBabyGoesBeforeTheFirstTaskForItsTargetAndBadPairsAreDropped) {
    hero.AddTask(kClean, &y);
    hero.AddTask(kCocktail, &x);
    hero.AddTask(kCheckOut, &x);
    hero.AddTask(kCalmBaby, &x);
    EXPECT_EQ((TaskList{{kClean, &y}, {kCalmBaby, &x}, {kCocktail, &x}, {kCheckOut, &x}}),
              Tasks(hero).list);
    hero.AddTask(kCalmBaby, &a);  // no task for a: appended
    hero.AddTask(kNoRequest, &x);
    hero.AddTask(kClean, nullptr);
    hero.AddTask(-1, &x);
    EXPECT_EQ(5, hero.TaskCount());
    EXPECT_EQ(kCalmBaby, hero.Task(4).kind);

    PlainHero busy;  // the task in progress is for x: the baby comes first
    busy.AddTask(kMusic, &x);
    busy.AddTask(kCalmBaby, &x);
    EXPECT_EQ(kCalmBaby, busy.Task(0).kind);
}

TEST_F(Heroes, HasTaskMatchesAnyTargetForNull) {
    hero.AddTask(kCocktail, &a);
    hero.AddTask(kCocktail, &b);
    EXPECT_TRUE(hero.HasTask(kCocktail, &b));
    EXPECT_TRUE(hero.HasTask(kCocktail, nullptr));
    EXPECT_FALSE(hero.HasTask(kClean, nullptr));
    EXPECT_FALSE(hero.HasTask(kCocktail, &x));
}

TEST_F(Heroes, RemovingByKindWithdrawsAndReleases) {
    // A plain kind: every task for the object goes, others stay.
    hero.AddTask(kClean, &a);
    hero.AddTask(kClean, &b);
    hero.AddTask(kClean, &a);
    a.Enable();
    hero.RemoveTask(kClean, &a);
    EXPECT_EQ((TaskList{{kClean, &b}}), Tasks(hero).list);
    EXPECT_FALSE(a.IsEnabled());

    // A check-out stops after its first removal; a check-in is never a hero's.
    PlainHero h2;
    h2.AddTask(kCheckOut, &a);
    h2.AddTask(kCheckOut, &a);
    h2.AddTask(kCheckIn, &a);
    h2.RemoveTask(kCheckOut, &a);
    h2.RemoveTask(kCheckIn, &a);
    EXPECT_EQ((TaskList{{kCheckOut, &a}, {kCheckIn, &a}}), Tasks(h2).list);
    h2.RemoveTask(kCheckOut, nullptr);
    EXPECT_EQ(2, h2.TaskCount());
}

TEST_F(Heroes, AWithdrawnFetchTakesItsDeliveriesAlong) {
    // Two clients want a cocktail from the bar x, shown on rooms a and b.
    StandIn c1, c2;
    c1.Ask(kCocktail, &a);
    c2.Ask(kCocktail, &b);
    ASSERT_EQ(&x, c1.GetRequest().GetTarget());
    a.SetAttached(&c1.GetRequest());
    b.SetAttached(&c2.GetRequest());
    hero.AddTask(kCocktail, &x);
    hero.AddTask(kClean, &y);
    hero.AddTask(kCocktail, &a);
    hero.AddTask(kCocktail, &b);
    a.Enable();
    b.Enable();
    hero.RemoveTask(kCocktail, &x);
    EXPECT_EQ((TaskList{{kClean, &y}}), Tasks(hero).list);
    EXPECT_FALSE(a.IsEnabled());
    EXPECT_FALSE(b.IsEnabled());
}

TEST_F(Heroes, AnOutdoorServiceWithdrawnReleasesItsOwnerAndClient) {
    // A client at chess table x asked from room a.
    StandIn client;
    client.Ask(kChess, &a);
    game.clients[&x] = &client;
    client.Enable();
    a.Enable();
    hero.AddTask(kChess, &x);
    hero.RemoveTask(kChess, &x);
    EXPECT_EQ(0, hero.TaskCount());
    EXPECT_FALSE(client.IsEnabled());
    EXPECT_FALSE(a.IsEnabled());
}

TEST_F(Heroes, RemovingTheHeadAbandonsTheWalk) {
    hero.AddTask(kClean, &a);
    hero.AddTask(kClean, &b);
    hero.SetState(cHero::kStateWalking);
    hero.RemoveTask(kClean, &b);
    EXPECT_EQ(cHero::kStateWalking, hero.GetState());  // not the head
    hero.RemoveTask(kClean, &a);
    EXPECT_EQ(cHero::kStateIdle, hero.GetState());
}

TEST_F(Heroes, PruningEmptiesTheQueue) {
    x.GetRequest().Load(kClean, 0, &x, 0);
    x.GetRequest().SetWaiting();
    hero.AddTask(kClean, &x);
    hero.AddTask(kClean, &x);
    hero.AddTask(kCocktail, &y);
    hero.PruneTasks();
    EXPECT_EQ(0, hero.TaskCount());
    EXPECT_EQ(kNoRequest, x.GetRequest().GetKind());
    EXPECT_EQ(cHero::kStateIdle, hero.GetState());
}

TEST_F(Heroes, HandsByKind) {
    hero.Hold("cocktail", "news");
    const struct {
        int kind;
        const char* name;
        bool holding;
    } cases[] = {
        {kCocktail, "cocktail", true}, {kNews, "news", true},   {kFood, "news", true},
        {kClean, "cocktail", true},    {kClean, "news", false}, {kWater, "news", false},
        {kCards, "cocktail", false},   {kCocktail, "", false},  {kCocktail, nullptr, false},
        {kNoRequest, "cocktail", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.holding, hero.IsHolding(c.kind, c.name)) << c.kind << " " << (c.name ? c.name : "null");
    EXPECT_STREQ("news", hero.HandObject(1));
    hero.Hold("", "");
    EXPECT_EQ(nullptr, hero.HandObject(0));
}

struct ComboGame : FakeGame {
    std::vector<int> shown;
    void ShowCombo(int count, Point2i) override { shown.push_back(count); }
};

TEST(HeroCombo, RunsOfEqualServicesCountAndAnIdleHeroBreaksThem) {
    ComboGame game;
    PlainHero hero;
    EXPECT_EQ(1, hero.CountCombo(kClean));
    EXPECT_EQ(2, hero.CountCombo(kClean));
    EXPECT_EQ(3, hero.CountCombo(kClean));
    EXPECT_EQ((std::vector<int>{2, 3}), game.shown);
    EXPECT_EQ(1, hero.CountCombo(kCheckOut));
    EXPECT_EQ(1, hero.CountCombo(kCheckOut));
    hero.CountCombo(kClean);
    hero.SetState(cHero::kStateIdle);
    hero.Update(25);
    EXPECT_EQ(1, hero.CountCombo(kClean));
    EXPECT_EQ(2u, game.shown.size());
}

TEST(HeroTimers, AnActionBonusCarriesFractionsOfAMillisecond) {
    writePicture("unhappy.tga", 4, 4, 255, 0, 0);
    writeFile("hero.ini", "[Main]\nname=Tester\nwait_time=300\n"
                          "[Unhappy]\nsprite=unhappy.tga\nperiod=1000\nframes=1\n");
    for (const auto& c : {std::make_pair(0.25f, 800), std::make_pair(0.0f, 1000)}) {
        PlainHero hero;
        hero.Load("hero.ini");
        EXPECT_STREQ("Tester", hero.GetName());
        EXPECT_EQ(300, hero.TaskDelay());
        hero.SetActionBonus(c.first);
        hero.SetState(cHero::kStateUnhappy);
        hero.Update(25);  // takes up the animation
        int elapsed = 0;
        while (hero.GetState() == cHero::kStateUnhappy && elapsed < 5000) {
            hero.Update(25);
            elapsed += 25;
        }
        EXPECT_EQ(c.second, elapsed) << c.first;
        EXPECT_EQ(cHero::kStateIdle, hero.GetState());
    }
}

}  // namespace
