// Requests: loading by kind, ageing by state, withdrawal by kind group, and the wait clock.
#include "world/request.h"

#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_request", [] { logOpen(); });

class Requests : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text =
            "[Main]\n[Progress]\nsprite=clock.tga\nperiod=1000\nframes=4\nx=3\ny=4\n";
        for (int k = 0; k < kRequestKinds; ++k) {
            text += std::string("[") + RequestKindName(k) + "]\nhero=Jenny\ntarget=T\n";
            if (k == kCocktail) text += "price=50\nhand_obj=glass\n";
            if (k == kCards) text += "target1=TDown\nprice=0\n";
        }
        writeFile("Data/Request/Request.ini", text);
        writePicture("clock.tga", 8, 32, 255, 255, 255);
        target.GetBody().position = Vec2f(1, 1);
        game.objects = {{"T", &target}, {"TDown", &targetDown}};
        game.heroes = {{"Jenny", &hero}};
    }

    FakeGame game;
    FakeHero hero;
    cLevelObj owner, target, targetDown;
};

TEST(RequestKinds, NamesAreExactAndCaseSensitive) {
    const struct {
        const char* name;
        int kind;
    } cases[] = {{"Water", 22}, {"CalmBaby", 0}, {"Repair", 19}, {"water", 23},
                 {"", 23},      {nullptr, 23},   {"Waterx", 23}};
    for (const auto& c : cases)
        EXPECT_EQ(c.kind, RequestKindFromName(c.name)) << (c.name ? c.name : "null");
    EXPECT_EQ(nullptr, RequestKindName(23));
}

TEST_F(Requests, LoadAddsBonusesOnlyToPricesAndTimesAboveZero) {
    hero.waitBonus = 100;
    game.priceBonus = 7;
    game.timeBonus = 30;
    target.SetBonuses(0, 5);
    owner.SetBonuses(20, 0);
    cRequest r;
    r.Load(kCocktail, 1000, &owner, 0);
    EXPECT_EQ(kRequestLoaded, r.GetState());
    EXPECT_EQ(&hero, r.GetHero());
    EXPECT_EQ(&target, r.GetTarget());
    EXPECT_EQ(50 + 5 + 7, r.GetPrice());
    EXPECT_EQ(1000 + 100 + 20 + 30, r.GetWaitTime());
    EXPECT_STREQ("glass", r.GetHandObject());
    EXPECT_TRUE(owner.IsOccupied());

    hero.waitBonus = 0;
    cRequest free;
    free.Load(kCards, 0, nullptr, 0);  // no price, no waiting time: no bonuses
    EXPECT_EQ(0, free.GetPrice());
    EXPECT_EQ(0, free.GetWaitTime());
    EXPECT_EQ(0.5f, free.GetTimeRatio());
    free.SetWaiting();
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(1, free.Update(1000));

    cRequest none;
    none.Load(kNoRequest, 1000, &owner, 0);
    EXPECT_EQ(kRequestNone, none.GetState());
}

TEST_F(Requests, CardsForAnOwnerDownstairsGoToTheOtherTable) {
    cLevelObj down;
    writeFile("objs.ini", "[O]\nname=RoomDown2\n");
    down.Load("objs.ini", "O");
    cRequest r;
    r.Load(kCards, 0, &down, 0);
    EXPECT_EQ(&targetDown, r.GetTarget());
    r.Load(kCards, 0, &owner, 0);
    EXPECT_EQ(&target, r.GetTarget());
}

TEST_F(Requests, UpdateByState) {
    cRequest r;
    EXPECT_EQ(0, r.Update(25));  // none
    r.Load(kClean, 1000, nullptr, 0);
    EXPECT_EQ(0, r.Update(25));  // loaded
    r.SetWaiting();
    // A jumping bubble does not age; the jump ends after 1.52 s.
    r.StartAlert();
    for (int t = 0; t < 1525; t += 25) ASSERT_EQ(1, r.Update(25));
    EXPECT_FALSE(r.IsAlerting());
    EXPECT_EQ(0, r.GetElapsed());
    // The wait runs out once: 0 at that update, then done.
    for (int t = 25; t < 1000; t += 25) ASSERT_EQ(1, r.Update(25)) << t;
    EXPECT_EQ(0, r.Update(25));
    EXPECT_TRUE(r.IsDone());
    EXPECT_EQ(1, r.Update(25));
    r.SetServing();
    EXPECT_EQ(1, r.Update(25));
}

TEST_F(Requests, CancelFadesForHalfASecondEveryTime) {
    cRequest r;
    r.Load(kClean, 0, nullptr, 0);
    r.Cancel();  // not waiting: nothing
    EXPECT_EQ(kRequestLoaded, r.GetState());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        r.SetWaiting();
        r.Cancel();
        int ms = 0;
        while (r.GetState() == kRequestFading) {
            ASSERT_EQ(1, r.Update(25));
            ms += 25;
        }
        EXPECT_NEAR(500, ms, 25);  // the fade runs out after about 500 ms
        EXPECT_TRUE(r.IsDone());
    }
}

TEST_F(Requests, CancelTaskWithdrawsByKindGroup) {
    cBaseObj client;
    const struct {
        int kind;
        bool clientAtTarget;
        bool ownerTaskGone, targetTaskGone;
        int result;
    } cases[] = {
        {kClean, false, true, false, 1},    {kCalmBaby, false, true, false, 1},
        {kCards, false, false, true, 1},    {kCheckOut, false, false, true, 1},
        {kCocktail, false, true, true, 1},  {kNews, true, true, false, 1},
        {kFire, false, false, true, 1},     {kUpgrade, false, true, false, 1},
        {kCheckIn, false, false, false, 0}, {kPhoto, false, false, false, 0},
        {kWater, false, false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(RequestKindName(c.kind));
        hero.tasks = {{c.kind, &owner}, {c.kind, &target}};
        game.clients.clear();
        if (c.clientAtTarget) game.clients[&target] = &client;
        game.upgradeSettled = false;
        cRequest r;
        r.Load(c.kind, 0, &owner, 0);
        owner.Enable();
        EXPECT_EQ(c.result, r.CancelTask());
        EXPECT_EQ(!c.ownerTaskGone, hero.HasTask(c.kind, &owner));
        EXPECT_EQ(!c.targetTaskGone, hero.HasTask(c.kind, &target));
        EXPECT_EQ(c.kind == kUpgrade, game.upgradeSettled);
        EXPECT_EQ(kNoRequest, r.GetKind());
        EXPECT_FALSE(owner.IsOccupied());
        EXPECT_FALSE(owner.IsEnabled());
    }
    // Putting out a fire at a broken object queues its repair.
    target.GetRequest().Load(kRepair, 0, &target, 0);
    hero.tasks.clear();
    cRequest fire;
    fire.Load(kFire, 0, &owner, 0);
    fire.CancelTask();
    EXPECT_TRUE(hero.HasTask(kRepair, &target));
}

TEST_F(Requests, CopiesShareSpritesAndLeaveTheJumpBehind) {
    writeFile("Data/Request/Request.ini",
              "[Main]\noutline=clock.tga\n[Progress]\nsprite=clock.tga\nback=clock.tga\n"
              "[Clean]\nhero=Jenny\nsprite0=clock.tga\nprice=9\n");
    cRequest* a = new cRequest();
    a->Load(kClean, 1000, &owner, 0);
    a->SetWaiting();
    a->StartAlert();
    a->Update(100);
    cRequest b;
    b = *a;
    cRequest c(b);
    delete a;  // the copies keep their own references to the sprites
    EXPECT_TRUE(c.IsWaiting());
    EXPECT_EQ(9, c.GetPrice());
    EXPECT_EQ(&owner, c.GetOwner());
    EXPECT_FALSE(c.IsAlerting());
    DrawTarget target(16, 40, "copytarget");
    c.Draw(Point2i(0, 0), false, true);
    EXPECT_NE(0, target.painted().w);
}

// The searches for a kind skip the guests when no request holds it: the count must follow every
// load, copy, reset and end of a request.
TEST_F(Requests, AKindIsHeldWhileAnyRequestHoldsIt) {
    ASSERT_FALSE(cRequest::AnyOfKind(kCalmBaby));
    {
        cRequest a;
        a.Load(kCalmBaby, 1000, &owner, 0);
        EXPECT_TRUE(cRequest::AnyOfKind(kCalmBaby));
        cRequest b(a), c;
        c = a;
        a.Reset();
        b.Load(kClean, 1000, &owner, 0);
        EXPECT_TRUE(cRequest::AnyOfKind(kCalmBaby));  // c still holds it
        EXPECT_TRUE(cRequest::AnyOfKind(kClean));
        c = a;
        EXPECT_FALSE(cRequest::AnyOfKind(kCalmBaby));
        c = b;
        c = c;
        EXPECT_TRUE(cRequest::AnyOfKind(kClean));
    }
    EXPECT_FALSE(cRequest::AnyOfKind(kClean));
    EXPECT_FALSE(cRequest::AnyOfKind(kNoRequest));
    EXPECT_FALSE(cRequest::AnyOfKind(-1));
}

TEST(RequestHit, BubbleIsACircleOfRadiusThirty) {
    cRequest r;
    const struct {
        int x, y;
        bool hit;
    } cases[] = {{29, 29, true}, {58, 29, true}, {59, 29, false}, {29, 0, true}, {0, 0, false}};
    for (const auto& c : cases) EXPECT_EQ(c.hit, r.HitTest(c.x, c.y, false)) << c.x << "," << c.y;
    EXPECT_TRUE(r.HitTest(38 + 38, 38, true));  // the portrait circle at (38, 38)
    EXPECT_FALSE(r.HitTest(38 + 38, 38, false));
}

TEST_F(Requests, ClockJumpsAtThreeQuartersAndThrobsAtTheEnd) {
    WaitClock clock;
    clock.Load(kRequestFile, "Progress", 20000);
    auto at = [&](uint32_t ms) {
        clock.Reset();
        clock.AddTime(ms);
        return clock.Appearance();
    };
    EXPECT_EQ(1.0f, at(14700).scale);
    EXPECT_GT(at(15000).scale, 1.0f);  // the jump, 14.8 s to 15.2 s
    EXPECT_EQ(1.0f, at(15300).scale);
    EXPECT_EQ(1.0f, at(16900).scale);
    EXPECT_GT(at(17500).scale, 1.0f);  // the throb from 17 s
    const struct {
        uint32_t ms;
        int r, g, b;
    } colours[] = {{0, 0, 255, 0}, {8400, 255, 255, 0}, {20000, 255, 0, 0}, {4200, 127, 255, 0}};
    for (const auto& c : colours) {
        const ColorRGBA colour = at(c.ms).colour;
        EXPECT_EQ(c.r, colour.r) << c.ms;
        EXPECT_EQ(c.g, colour.g) << c.ms;
        EXPECT_EQ(c.b, colour.b) << c.ms;
    }
    // With 10 s the throb from 7 s takes the jump's place at 7.5 s.
    clock.Load(kRequestFile, "Progress", 10000);
    clock.AddTime(7500);
    EXPECT_FLOAT_EQ(WaitClock::Pulse(0.2f, 2500.0f / 3000, 3), clock.Appearance().scale);
    clock.Pause();
    clock.AddTime(100);
    EXPECT_EQ(7500u, clock.Elapsed());
}

TEST_F(Requests, RingingClockSoundsOncePerThrobAndLeavesTheGameGeneratorAlone) {
    Sounds sounds;
    WaitClock clock;
    clock.Load(kRequestFile, "Progress", 10000);
    clock.AddTime(8000);
    gRandom.Seed(5);
    Random expected(5);
    for (int i = 0; i < 40; ++i) clock.Draw(Point2i(0, 0), 1.0f, 0.0f, true);
    EXPECT_EQ(1, sounds.count("alarm_clock"));
    EXPECT_EQ(expected.Next(), gRandom.Next());
    clock.Pause();  // a paused clock does not ring: the next throb rings anew
    clock.Draw(Point2i(0, 0), 1.0f, 0.0f, true);
    clock.Reset();
    clock.AddTime(8000);
    clock.Draw(Point2i(0, 0), 1.0f, 0.0f, true);
    EXPECT_EQ(2, sounds.count("alarm_clock"));
}

}  // namespace
