// The musician, the cash desk, gifts and sweets, and flowers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "anim/flying.h"
#include "world/cash.h"
#include "world/gift.h"
#include "world/musician.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_level_kinds", [] { logOpen(); });

// Every request kind served by Jenny, a picture to animate, and a fake level screen.
class Kinds : public ::testing::Test {
protected:
    void SetUp() override {
        std::string request = "[Main]\n";
        for (int k = 0; k < kRequestKinds; ++k)
            request += std::string("[") + RequestKindName(k) + "]\nhero=Jenny\n";
        writeFile("Data/Request/Request.ini", request);
        // Sprites are shared by file name, and with them their timing: one picture per period.
        for (const char* name : {"pic", "i0", "i1", "i2", "ps", "pl", "st"})
            writePicture(std::string(name) + ".tga", 4, 4, 255, 0, 0);
        game.heroes = {{"Jenny", &jenny}};
    }

    FakeGame game;
    FakeHero jenny;
};

// --- Musician ----------------------------------------------------------------------------------

const char kMusicianIni[] =
    "[Main]\nname=Piano\nx=100\ny=200\nhero_x=5\nhero_y=-3\nv_x=1\nv_y=2\nsound=tune\n"
    "outline_obj=Stage\n"
    "[Idle0]\nsprite=i0.tga\nperiod=1000\nframes=1\n"
    "[Idle1]\nsprite=i1.tga\nperiod=800\nframes=1\n"
    "[Idle2]\nsprite=i2.tga\nperiod=600\nframes=1\n"
    "[PlayStart]\nsprite=ps.tga\nperiod=500\nframes=1\nplay_times=0\n"
    "[Play]\nsprite=pl.tga\nperiod=2000\nframes=1\nplay_times=3\n"
    "[PlayStop]\nsprite=st.tga\nperiod=300\nframes=1\n";

TEST_F(Kinds, MusicianLoadsItsPointsAndTable) {
    writeFile("musician.ini", kMusicianIni);
    cMusician m;
    m.Load("");
    EXPECT_EQ(0, m.AnimCount());
    m.Load("musician.ini");
    EXPECT_STREQ("Piano", m.GetName());
    EXPECT_STREQ("Musician_Main", m.GetSectionName());
    EXPECT_EQ(105, m.GetHeroPos().x);
    EXPECT_EQ(197, m.GetHeroPos().y);
    EXPECT_EQ(101, m.GetExtraPos().x);
    EXPECT_EQ(202, m.GetExtraPos().y);
    EXPECT_TRUE(m.IsIdle());
    EXPECT_EQ(cMusician::kIdle0, m.GetAnimIndex());
    const int times[cMusician::kAnimCount] = {1, 1, 1, 1, 3, 1};  // 0 and missing read as 1
    for (int i = 0; i < cMusician::kAnimCount; ++i) EXPECT_EQ(times[i], m.GetPlayTimes(i)) << i;
    cLevelObj stage;
    EXPECT_EQ(nullptr, m.GetOutlineObject());
    game.objects["Stage"] = &stage;
    EXPECT_EQ(&stage, m.GetOutlineObject());
}

TEST_F(Kinds, MusicianTuneRunsStartLoopsAndStop) {
    writeFile("musician.ini", kMusicianIni);
    Sounds sounds;
    cMusician m;
    m.Load("musician.ini");
    m.SetAnimation(cMusician::kPlayStart, false);
    m.SetState(cMusician::kPlaying);
    int tuneAt = -1, stopAt = -1, idleAt = -1;
    for (int t = 25; t <= 10000 && idleAt < 0; t += 25) {
        m.Update(25);
        if (tuneAt < 0 && sounds.count("tune") == 1) tuneAt = t;
        if (stopAt < 0 && m.GetAnimIndex() == cMusician::kPlayStop) stopAt = t;
        if (m.IsIdle()) idleAt = t;
    }
    EXPECT_EQ(500, tuneAt);
    EXPECT_EQ(500 + 3 * 2000, stopAt);
    EXPECT_EQ(500 + 3 * 2000 + 300, idleAt);
    EXPECT_EQ(cMusician::kIdle0, m.GetAnimIndex());
    EXPECT_EQ(1, sounds.count("tune"));
}

TEST_F(Kinds, MusicianIdleDrawPicksTheIdle) {
    writeFile("musician.ini", kMusicianIni);
    cMusician m;
    m.Load("musician.ini");
    bool seen[3] = {};
    for (uint32_t seed = 0; seed < 300; ++seed) {
        gRandom.Seed(seed);
        m.SetAnimation(cMusician::kIdle0, false);
        m.Update(999);
        EXPECT_EQ(cMusician::kIdle0, m.GetAnimIndex());  // not yet played through
        m.Update(1);
        const int r = m.GetLastDraw();
        const int expected = r < 3 ? cMusician::kIdle1 : r < 5 ? cMusician::kIdle2 : 0;
        EXPECT_EQ(expected, m.GetAnimIndex()) << r;
        EXPECT_EQ(0, m.GetAnimTime());
        seen[expected] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST_F(Kinds, MusicianTakesAnOrderOnlyWhenIdleAndUnordered) {
    writeFile("musician.ini", kMusicianIni);
    cMusician m;
    m.Load("musician.ini");
    cLevelObj chair;
    cRequest shown;
    FakeClient client;
    EXPECT_FALSE(m.IsActionable());  // nobody asks for music here
    game.clients[&m] = &client;
    client.GetRequest().Load(kMusic, 0, &m, 0);
    ASSERT_EQ(&jenny, client.GetRequest().GetHero());
    const struct {
        const char* what;
        cLevelObj* owner;
        bool attached, canOrder, ordered, playing, actionable;
    } cases[] = {
        {"own request", &m, false, true, false, false, true},
        {"client refuses", &m, false, false, false, false, false},
        {"already ordered", &m, false, true, true, false, false},
        {"playing", &m, false, true, false, true, false},
        {"no owner", nullptr, false, true, false, false, false},
        {"owner without bubble", &chair, false, true, false, false, false},
        {"owner with bubble", &chair, true, false, false, false, true},
    };
    for (const auto& c : cases) {
        client.GetRequest().SetOwner(c.owner);
        chair.SetAttached(c.attached ? &shown : nullptr);
        client.canOrder = c.canOrder;
        jenny.tasks.clear();
        if (c.ordered) jenny.AddTask(kMusic, &m);
        m.SetState(c.playing ? cMusician::kPlaying : cMusician::kIdleState);
        EXPECT_EQ(c.actionable, m.IsActionable()) << c.what;
    }
}

// --- Cash desk ---------------------------------------------------------------------------------

TEST_F(Kinds, CashTakesOrdersUpToTheCheckOutsAndPlaces) {
    writeFile("objects.ini", "[Cash]\nx=10\ny=20\n");
    cCash cash;
    cash.Load("objects.ini", "Cash");
    game.checkOutRequests = 2;
    game.checkOutPlaces = 2;
    EXPECT_TRUE(cash.IsActionable());
    cash.Enable();
    EXPECT_TRUE(cash.IsActionable());
    EXPECT_TRUE(cash.IsEnabled());
    cash.Enable();
    EXPECT_FALSE(cash.IsActionable());
    cash.Enable();
    EXPECT_EQ(2, cash.GetOrdered());
    game.checkOutPlaces = 1;  // fewer places than clients leaving: one order at a time
    for (int i = 0; i < 3; ++i) cash.Disable();
    EXPECT_EQ(0, cash.GetOrdered());
    EXPECT_FALSE(cash.IsEnabled());
    cash.Enable();
    cash.Enable();
    EXPECT_EQ(1, cash.GetOrdered());
    EXPECT_FALSE(cash.IsActionable());
    game.checkOutRequests = 0;
    cash.Disable();
    EXPECT_FALSE(cash.IsActionable());  // nobody leaving
    worldSetGame(nullptr);
    cash.Enable();
    EXPECT_EQ(0, cash.GetOrdered());
    EXPECT_FALSE(cash.IsActionable());
}

TEST_F(Kinds, CashBouncesOnceAndFlingsMoney) {
    writeFile("objects.ini", "[Cash]\nx=10\ny=20\nsprite=pic.tga\nspr_x=-2\nspr_y=-4\n");
    Sounds sounds;
    FlyingTips tips;
    worldSetFlyingTips(&tips);
    cCash cash;
    cash.Load("objects.ini", "Cash");
    EXPECT_EQ(1, cash.PlayAction(0));
    worldSetFlyingTips(nullptr);
    EXPECT_EQ(1, sounds.count("pickup_money"));
    ASSERT_EQ(1u, tips.Count());
    EXPECT_EQ(8, tips.At(0).current.x);
    EXPECT_EQ(16, tips.At(0).current.y);
    EXPECT_EQ(50.0f, tips.At(0).end.x);
    EXPECT_EQ(20.0f, tips.At(0).end.y);

    float maxX = 1, minY = 1, minX = 1, maxY = 1;
    int restAt = -1;
    for (int t = 25; t <= 1000 && restAt < 0; t += 25) {
        cash.Update(25);
        maxX = std::max(maxX, cash.GetScaleX());
        minY = std::min(minY, cash.GetScaleY());
        minX = std::min(minX, cash.GetScaleX());
        maxY = std::max(maxY, cash.GetScaleY());
        if (!cash.IsBouncing()) restAt = t;
    }
    EXPECT_FLOAT_EQ(1.15f, maxX);
    EXPECT_FLOAT_EQ(0.85f, minY);
    EXPECT_FLOAT_EQ(0.925f, minX);
    EXPECT_FLOAT_EQ(1.075f, maxY);
    EXPECT_EQ(1.0f, cash.GetScaleX());
    EXPECT_EQ(1.0f, cash.GetScaleY());
    EXPECT_GE(restAt, 275);
    EXPECT_LE(restAt, 350);
    EXPECT_EQ(0, cash.GetStateTime());  // the desk's own clocks stand still
}

// --- Gifts and sweets --------------------------------------------------------------------------

const char kCarriedIni[] =
    "[Main0]\nx=30\ny=40\nsprite=pic.tga\ncount=3\n"
    "[Main1]\ncount=-2\n"
    "[Main2]\ncount=100000\n"
    "[Main3]\ncount=4\n"
    "[Candy0]\nsprite=i0.tga\npos=1,2\n"
    "[Candy1]\nsprite=i1.tga\npos=3,4\nflip=1,0\n"
    "[Candy2]\nsprite=i2.tga\npos=5,6\nflip=1,1\n"
    "[Candy3]\nsprite=ps.tga\npos=7,8\n";

TEST_F(Kinds, CarriedStockReadsItsCount) {
    writeFile("carried.ini", kCarriedIni);
    const struct {
        int index, count;
    } cases[] = {{0, 3}, {1, 0}, {2, cDragObj::kMaxCount}, {3, 4}, {7, 0}};
    for (const auto& c : cases) {
        cGift gift;
        gift.Load("carried.ini", c.index);
        EXPECT_EQ(c.count, gift.GetCount()) << c.index;
        gift.SetHover(true);
        EXPECT_EQ(c.count != 0, gift.IsActionable()) << c.index;
        gift.SetHover(false);
        EXPECT_FALSE(gift.IsActionable());
        FakeClient client;
        gift.GiveTo(&client);  // none left: nothing to give
        EXPECT_EQ(c.count != 0 ? 1 : 0, client.happyReactions) << c.index;
    }
    cSweets empty;
    empty.Load("carried.ini", 1);  // a negative count loads no candy
    EXPECT_EQ(0, empty.GetCount());
    EXPECT_EQ(nullptr, empty.GetCurrentSprite());
    EXPECT_EQ(0, empty.GetFlipX());
    FakeClient client;
    empty.GiveTo(&client);
    EXPECT_EQ(0, client.happyReactions);
}

TEST_F(Kinds, GivingCheersTheClientAndCalmsABaby) {
    writeFile("carried.ini", kCarriedIni);
    for (int kind : {kCalmBaby, kCards}) {
        cGift gift;
        gift.Load("carried.ini", 0);
        cSweets sweets;
        sweets.Load("carried.ini", 3);
        FakeClient a, b;
        a.GetRequest().Load(kind, 0, nullptr, 0);
        b.GetRequest().Load(kind, 0, nullptr, 0);
        gift.GiveTo(&a);
        sweets.GiveTo(&b);
        gift.GiveTo(nullptr);
        sweets.GiveTo(nullptr);
        EXPECT_EQ(2, gift.GetCount());
        EXPECT_EQ(3, sweets.GetCount());
        EXPECT_EQ(1, a.happier);
        EXPECT_EQ(0, b.happier);  // sweets do not raise loyalty
        for (FakeClient* c : {&a, &b}) {
            EXPECT_EQ(1, c->happyReactions);
            EXPECT_EQ(1, c->happySounds);
            EXPECT_TRUE(c->GetRequest().IsAlerting());
            EXPECT_EQ(kind == kCalmBaby ? std::vector<int>{1} : std::vector<int>{},
                      c->serviceEnds)
                << kind;
        }
    }
}

TEST_F(Kinds, SweetsGiveTheirLastCandy) {
    writeFile("carried.ini", kCarriedIni);
    cSweets bowl;
    bowl.Load("carried.ini", 3);
    ASSERT_EQ(4, bowl.GetCount());
    const HSPRITE third = bowl.GetCurrentSprite();
    FakeClient client;
    bowl.GiveTo(&client);
    EXPECT_EQ(3, bowl.GetCount());
    EXPECT_NE(third, bowl.GetCurrentSprite());
    EXPECT_NE(nullptr, bowl.GetCurrentSprite());
    EXPECT_EQ(1, bowl.GetFlipX());  // Candy2's
    for (int i = 0; i < 5; ++i) bowl.GiveTo(&client);
    EXPECT_EQ(0, bowl.GetCount());
    EXPECT_EQ(4, client.happyReactions);
    EXPECT_EQ(nullptr, bowl.GetCurrentSprite());
}

}  // namespace
