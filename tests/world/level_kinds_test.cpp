// The musician, the cash desk, gifts and sweets, and flowers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/random.h"
#include "bench/synthetic_font.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "anim/flying.h"
#include "world/cash.h"
#include "world/client.h"
#include "world/draw_list.h"
#include "world/flower.h"
#include "world/gift.h"
#include "world/jenny.h"
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

    // A guest waiting in the lobby (loyalty 2, happy sound "yay") with a request of the kind.
    static void waitingGuest(cClient& guest, int kind) {
        writeFile("guest.ini", "[Main]\nname=Guest\nloyalty=2\nhappy_sound=yay\n");
        guest.Load("guest.ini");
        guest.SetState(cClient::kStateWaiting);
        guest.GetRequest().Load(kind, 0, nullptr, 0);
    }

    FakeGame game;
    FakeHero jenny;
};

// A guest whose own answer to an order is set by the test.
struct Guest : cClient {
    bool canOrder = true;
    bool CanOrderService() override { return canOrder; }
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
    cLevelObj chair;
    EXPECT_TRUE(cMusician::IsIdleObject(&m));
    EXPECT_FALSE(cMusician::IsIdleObject(&chair));
    m.SetAnimation(cMusician::kPlayStart, false);
    m.SetState(cMusician::kPlaying);
    EXPECT_FALSE(cMusician::IsIdleObject(&m));  // a listening guest keeps listening
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
    Guest client;
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

TEST_F(Kinds, JennysMusicServicePlaysOneTune) {
    writeFile("musician.ini", kMusicianIni);
    writeFile("jenny.ini", "[Main]\nname=Jenny\n");
    Sounds sounds;
    cJenny staff;
    staff.Load("jenny.ini");
    game.heroes = {{"Jenny", &staff}};
    cMusician m;
    m.Load("musician.ini");
    // A listener asking for music at the musician.
    struct Listener : cLevelObj, ClientLink {
        std::vector<bool> served;
        void OnServiceEnd(bool success) override { served.push_back(success); }
        cBaseObj* GetLinked() const override { return nullptr; }
    } listener;
    listener.GetRequest().Load(kMusic, 0, &m, 0);
    listener.GetRequest().SetWaiting();
    game.clients[&m] = &listener;
    staff.AddTask(kMusic, &m);
    EXPECT_FALSE(m.IsActionable());  // already ordered
    staff.SetState(cHero::kStateIdle);
    for (int i = 0; i < 4 && m.IsIdle(); ++i) {
        staff.Update(25);
        m.Update(25);
    }
    ASSERT_FALSE(m.IsIdle());
    EXPECT_EQ(std::vector<bool>{true}, listener.served);
    EXPECT_EQ(0, staff.TaskCount());
    EXPECT_FALSE(m.IsActionable());  // playing: a second order is refused
    for (int i = 0; i < 400 && !m.IsIdle(); ++i) m.Update(25);
    EXPECT_TRUE(m.IsIdle());
    EXPECT_EQ(1, sounds.count("tune"));
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
        Sounds sounds;
        cClient guest;
        waitingGuest(guest, kCards);
        gift.GiveTo(&guest);  // none left: nothing to give
        EXPECT_EQ(c.count != 0 ? 1 : 0, sounds.count("yay")) << c.index;
        EXPECT_EQ(c.count != 0 ? 3 : 2, guest.GetLoyalty()) << c.index;
    }
    cSweets empty;
    empty.Load("carried.ini", 1);  // a negative count loads no candy
    EXPECT_EQ(0, empty.GetCount());
    EXPECT_EQ(nullptr, empty.GetCurrentSprite());
    EXPECT_EQ(0, empty.GetFlipX());
    Sounds sounds;
    cClient guest;
    waitingGuest(guest, kCards);
    empty.GiveTo(&guest);
    EXPECT_EQ(0, sounds.count("yay"));
    EXPECT_EQ(cClient::kStateWaiting, guest.GetState());
}

TEST_F(Kinds, GivingCheersTheClientAndCalmsABaby) {
    writeFile("carried.ini", kCarriedIni);
    for (int kind : {kCalmBaby, kCards}) {
        cGift gift;
        gift.Load("carried.ini", 0);
        cSweets sweets;
        sweets.Load("carried.ini", 3);
        Sounds sounds;
        cClient a, b;
        waitingGuest(a, kind);
        waitingGuest(b, kind);
        gift.GiveTo(&a);
        sweets.GiveTo(&b);
        gift.GiveTo(nullptr);
        sweets.GiveTo(nullptr);
        EXPECT_EQ(2, gift.GetCount());
        EXPECT_EQ(3, sweets.GetCount());
        EXPECT_EQ(3, a.GetLoyalty());
        EXPECT_EQ(2, b.GetLoyalty());  // sweets do not raise loyalty
        EXPECT_EQ(2, sounds.count("yay"));
        for (cClient* c : {&a, &b}) {
            EXPECT_EQ(cClient::kStateReacting, c->GetState()) << kind;
            // A crying baby is calmed: the request is served and gone; any other stays.
            EXPECT_EQ(kind == kCalmBaby ? kNoRequest : kCards, c->GetRequest().GetKind());
            if (kind == kCards) {
                EXPECT_TRUE(c->GetRequest().IsAlerting());
            }
        }
    }
}

TEST_F(Kinds, GiftLabelShowsAStockAboveOne) {
    ASSERT_TRUE(writeSyntheticFont("label"));
    writeFile("gifts.ini", "[Main0]\nx=30\ny=14\nsprite=pic.tga\ncount=3\n"
                           "[Main1]\nx=30\ny=14\nsprite=pic.tga\ncount=1\n[Font]\nfont=label.tga\n");
    DrawTarget target(64, 32, "labeltarget");
    DrawList list;
    for (int index : {1, 0}) {
        target.clear();
        cGift gift;
        gift.Load("gifts.ini", index);
        gift.AddToDrawList(&list);
        list.Flush();
        const DrawTarget::Box box = target.painted();
        if (index == 1) {
            EXPECT_EQ((DrawTarget::Box{30, 14, 4, 4}), box);  // the box alone
        } else {
            // "x3" centred on the box's middle reaches past it on both sides.
            EXPECT_LT(box.x, 30) << box;
            EXPECT_GT(box.x + box.w, 34) << box;
        }
    }
}

TEST_F(Kinds, SweetsGiveTheirLastCandy) {
    writeFile("carried.ini", kCarriedIni);
    cSweets bowl;
    bowl.Load("carried.ini", 3);
    ASSERT_EQ(4, bowl.GetCount());
    const HSPRITE third = bowl.GetCurrentSprite();
    Sounds sounds;
    cClient guest;
    waitingGuest(guest, kCards);
    bowl.GiveTo(&guest);
    EXPECT_EQ(3, bowl.GetCount());
    EXPECT_NE(third, bowl.GetCurrentSprite());
    EXPECT_NE(nullptr, bowl.GetCurrentSprite());
    EXPECT_EQ(1, bowl.GetFlipX());  // Candy2's
    for (int i = 0; i < 5; ++i) bowl.GiveTo(&guest);
    EXPECT_EQ(0, bowl.GetCount());
    EXPECT_EQ(4, sounds.count("yay"));
    EXPECT_EQ(nullptr, bowl.GetCurrentSprite());
}

TEST_F(Kinds, DrawnMarksAndCandiesFollowTheStock) {
    writeFile("objects.ini",
              "[Main]\nv_spr=pic.tga\n[Cash]\nx=0\ny=0\nv_x=20\nv_y=2\n");
    writeFile("bowl.ini",
              "[Main0]\nx=2\ny=2\ncount=2\n[Candy0]\nsprite=i0.tga\npos=0,0\n"
              "[Candy1]\nsprite=i1.tga\npos=10,0\n"
              "[Main1]\nx=30\ny=2\nsprite=pic.tga\ncount=0\n"
              "[Main2]\nx=30\ny=2\nsprite=pic.tga\ncount=1\n");
    DrawTarget target(40, 12, "kindstarget");
    DrawList list;
    // One ordered-mark per ordered check-out, 10 px apart leftwards.
    cCash cash;
    cash.Load("objects.ini", "Cash");
    game.checkOutRequests = game.checkOutPlaces = 3;
    cash.Enable();
    cash.Enable();
    cash.AddToDrawList(&list);
    list.Flush();
    EXPECT_EQ((DrawTarget::Box{10, 2, 14, 4}), target.painted());
    // Every candy, but the carried one stays in the hand.
    target.clear();
    cSweets bowl;
    bowl.Load("bowl.ini", 0);
    bowl.AddToDrawList(&list);
    list.Flush();
    EXPECT_EQ((DrawTarget::Box{2, 2, 14, 4}), target.painted());
    target.clear();
    game.selected = &bowl;
    bowl.AddToDrawList(&list);
    list.Flush();
    EXPECT_EQ((DrawTarget::Box{2, 2, 4, 4}), target.painted());
    target.clear();
    bowl.DrawAtCursor(Point2i(30, 6));
    EXPECT_EQ((DrawTarget::Box{28, 4, 4, 4}), target.painted());
    // A gift given away is gone.
    target.clear();
    cGift gone, one;
    gone.Load("bowl.ini", 1);
    one.Load("bowl.ini", 2);
    gone.AddToDrawList(&list);
    list.Flush();
    EXPECT_EQ(0, target.painted().w);
    one.AddToDrawList(&list);
    list.Flush();
    EXPECT_EQ((DrawTarget::Box{30, 2, 4, 4}), target.painted());
}

// --- Factory -----------------------------------------------------------------------------------

struct Profile : ProfileLink {
    std::vector<ObjectItemInfo> items;
    Profile() { worldSetProfile(this); }
    ~Profile() override { worldSetProfile(nullptr); }
    int Episode() const override { return 1; }
    int Level() const override { return 1; }
    int ObjectItemCount() const override { return static_cast<int>(items.size()); }
    const ObjectItemInfo* ObjectItem(int i) const override { return &items[i]; }
    const char* CurrentShopItems() const override { return ""; }
    const char* PreviousShopItems() const override { return ""; }
};

TEST_F(Kinds, FactoryBuildsEachKindFromItsFiles) {
    writeFile("musician.ini", kMusicianIni);
    writeFile("carried.ini", kCarriedIni);
    writeFile("flower.ini", "[Main2]\nx=7\n");
    writeFile("Data/Episodes/e1/levels.ini", "[level1]\n");
    writeFile("Data/Episodes/e1/objects.ini",
              "[Band]\ntype=musician\ninifile=musician.ini\n[Mute]\ntype=musician\n"
              "[Desk]\ntype=Cash\nx=3\n[Box]\ntype=gift\ninifile=carried.ini\n"
              "[Bowl]\ntype=sweets\ninifile=carried.ini\n[Lily]\ntype=flower\ngrade=2\n"
              "inifile=flower.ini\n");
    Profile profile;
    ObjectItemInfo box, bowl;
    box.name = "Box";
    box.type = "gift";
    box.value = 0;
    bowl.name = "Bowl";
    bowl.type = "sweets";
    bowl.value = 3;
    profile.items = {box, bowl};
    worldSetObjectMaker(kTypeMusician, cMusician::Make);
    worldSetObjectMaker(kTypeCash, cCash::Make);
    worldSetObjectMaker(kTypeGift, cGift::Make);
    worldSetObjectMaker(kTypeSweets, cSweets::Make);
    worldSetObjectMaker(kTypeFlower, cFlower::Make);
    const struct {
        const char* section;
        bool (*is)(cLevelObj*);
    } cases[] = {
        {"Band", [](cLevelObj* o) { return dynamic_cast<cMusician*>(o) != nullptr; }},
        {"Mute", [](cLevelObj* o) { return dynamic_cast<cMusician*>(o) == nullptr; }},
        {"Desk",
         [](cLevelObj* o) { return dynamic_cast<cCash*>(o) && o->GetBody().position.x == 3; }},
        {"Box", [](cLevelObj* o) {
             auto* g = dynamic_cast<cGift*>(o);
             return g && g->GetCount() == 3;
         }},
        {"Bowl", [](cLevelObj* o) {
             auto* b = dynamic_cast<cSweets*>(o);
             return b && b->GetCount() == 4;
         }},
        {"Lily", [](cLevelObj* o) {
             auto* f = dynamic_cast<cFlower*>(o);
             return f && f->GetState() == cFlower::kNewCycle && o->GetBody().position.x == 7;
         }},
    };
    for (const auto& c : cases) {
        cLevelObj* o = createLevelObject(c.section, nullptr);
        ASSERT_TRUE(o) << c.section;
        EXPECT_TRUE(c.is(o)) << c.section;
        delete o;
    }
    for (int t = 0; t < kLevelObjectTypes; ++t)
        worldSetObjectMaker(static_cast<LevelObjectType>(t), nullptr);
}

// --- Flowers -----------------------------------------------------------------------------------

// A breakable flower fresh for 30 s, then thirsty for 4 s, then costing 7 every 1000 ms.
class Flowers : public Kinds {
protected:
    void SetUp() override {
        Kinds::SetUp();
        for (const char* name : {"green", "orange", "pot"})
            writePicture(std::string(name) + ".tga", 2, 2, 0, 200, 0);
        writeFile("flower.ini",
                  "[Main0]\nx=100\ny=100\nbound_x=-10\nbound_y=-40\nbound_w=20\nbound_h=30\n"
                  "sprite=pic.tga\nbreakable=1\npenalty_period=1000\n"
                  "[Main1]\nsprite=pic.tga\n"
                  "[Main2]\nbreakable=1\nbound_w=-20\n"
                  "[Flower0_pot]\nsprite=pot.tga\n"
                  "[GreenLeaf]\nsprite=green.tga\nperiod=400\nframes=4\n"
                  "[OrangeLeaf]\nsprite=orange.tga\nperiod=400\nframes=4\n");
        writeFile("levels.ini",
                  "[level1]\nflowersAreAlive=30000,30000\nflowersAreDying=4000,4000\n"
                  "[level2]\nflowersAreAlive=5000,1000\nflowersAreDying=3000,-9\n");
        game.maxCostTip = 7;
    }

    // Updates in 25 ms steps until the flower reaches state, at most limit ms; the ms taken.
    static int runUntil(cFlower& f, int state, int limit) {
        for (int t = 25; t <= limit; t += 25) {
            f.Update(25);
            if (f.GetState() == state) return t;
        }
        return -1;
    }
    static int leaves(const cFlower& f, uint32_t flag) {
        int n = 0;
        for (int i = 0; i < cFlower::kMaxLeaves; ++i) n += (f.GetLeaf(i).flags & flag) != 0;
        return n;
    }
    static std::string log() { return testsupport::TempFolder::readFile("gerr.log"); }
};

TEST_F(Flowers, CycleThirstsShedsLeavesDiesAndIsWateredBack) {
    gRandom.Seed(1);
    cFlower f;
    f.Load(0, "flower.ini", "levels.ini", "level1");
    EXPECT_EQ(cFlower::kNewCycle, f.GetState());
    f.Update(25);
    EXPECT_EQ(30000, f.GetAliveTime());  // an empty random part draws 0
    EXPECT_EQ(4000, f.GetDyingTime());
    // Fresh for exactly 30 s: thirsty at the first update past it.
    EXPECT_EQ(30025, runUntil(f, cFlower::kThirsty, 40000));
    EXPECT_EQ(kWater, f.GetRequest().GetKind());
    EXPECT_TRUE(f.GetRequest().IsWaiting());
    // The tint runs from white towards orange over the dying time.
    EXPECT_EQ(255, f.GetFlowerTint().b);
    f.Update(25);
    EXPECT_EQ(1, leaves(f, cFlower::kFalling));  // the first leaf falls at once
    EXPECT_EQ(0, leaves(f, cFlower::kOrange));
    for (int i = 0; i < 79; ++i) f.Update(25);
    EXPECT_EQ(255 - 63, f.GetFlowerTint().g);  // half of the 4000 ms
    EXPECT_EQ(255 - 127, f.GetFlowerTint().b);
    EXPECT_EQ(4000, runUntil(f, cFlower::kDying, 5000) + 2000);
    EXPECT_EQ(2, leaves(f, ~0u));
    EXPECT_EQ(1, leaves(f, cFlower::kOrange));  // dropped after half the dying time
    EXPECT_EQ(ColorRGBA(255, 128, 0, 255).Argb(), f.GetFlowerTint().Argb());
    EXPECT_TRUE(game.popularity.empty());  // the first loss comes at the next update
    f.Update(25);
    ASSERT_EQ(1u, game.popularity.size());
    EXPECT_EQ(-7, game.popularity[0].amount);
    EXPECT_EQ(1, game.popularity[0].fly);
    EXPECT_EQ(100, game.popularity[0].from.x);
    for (int i = 0; i < 80; ++i) f.Update(25);  // 2 s more: two more losses
    EXPECT_EQ(3u, game.popularity.size());
    // Falling leaves land and lie on the floor.
    EXPECT_EQ(0, leaves(f, cFlower::kFalling));
    EXPECT_EQ(2, leaves(f, cFlower::kLying));

    f.SetState(cFlower::kNewCycle);  // watered
    f.Update(25);
    EXPECT_EQ(cFlower::kFresh, f.GetState());
    EXPECT_EQ(0, leaves(f, ~0u));
    EXPECT_EQ(kNoRequest, f.GetRequest().GetKind());
}

TEST_F(Flowers, QuietWhenUnbreakableOverOrSentHome) {
    cFlower plain;
    plain.Load(1, "flower.ini", "levels.ini", "level1");
    EXPECT_EQ(-1, runUntil(plain, cFlower::kThirsty, 100000));
    EXPECT_EQ(0, leaves(plain, ~0u));

    cFlower f;
    f.Load(0, "flower.ini", "levels.ini", "level1");
    ASSERT_GT(runUntil(f, cFlower::kThirsty, 40000), 0);
    f.Update(25);
    game.levelState = GameLink::kLevelOver;  // the end: no time out, no new leaves
    EXPECT_EQ(-1, runUntil(f, cFlower::kDying, 10000));
    EXPECT_EQ(1, leaves(f, ~0u));
    EXPECT_EQ(1, leaves(f, cFlower::kLying));  // the one falling still lands
    game.levelState = 3;
    game.heroesSentHome = true;
    ASSERT_GT(runUntil(f, cFlower::kDying, 10000), 0);
    for (int i = 0; i < 200; ++i) f.Update(25);
    EXPECT_TRUE(game.popularity.empty());
}

TEST_F(Flowers, BadDataIsLoggedAndKeptHarmless) {
    writeFile("bad.ini", "[Main0]\nbreakable=1\nbound_w=-20\nbound_h=5\n");
    cFlower f;
    f.Load(0, "bad.ini", "levels.ini", "level2");
    const std::string text = log();
    EXPECT_NE(text.find("\"flowersAreAlive\": 5000,1000 runs backwards"), std::string::npos);
    EXPECT_NE(text.find("\"flowersAreDying\": 3000,-9 runs backwards"), std::string::npos);
    EXPECT_NE(text.find("bad.ini [Main0] \"penalty_period\""), std::string::npos);
    EXPECT_NE(text.find("bad.ini [Main0] \"bound_w\""), std::string::npos);
    f.Update(25);
    EXPECT_EQ(5000, f.GetAliveTime());
    EXPECT_EQ(3000, f.GetDyingTime());
    ASSERT_GT(runUntil(f, cFlower::kDying, 10000), 0);
    for (int i = 0; i < 400; ++i) f.Update(25);  // 10 s dying without a period: charged once
    EXPECT_EQ(1u, game.popularity.size());
    // Leaves without pictures lie down at once.
    EXPECT_EQ(0, leaves(f, cFlower::kFalling));
    EXPECT_GT(leaves(f, cFlower::kLying), 0);
    f.SetState(cFlower::kNewCycle);
    f.Update(25);
    ASSERT_GT(runUntil(f, cFlower::kDying, 10000), 0);
    f.Update(25);
    EXPECT_EQ(2u, game.popularity.size());  // a new dying spell costs once more
}

TEST_F(Flowers, NeverMoreThanFiftyLeaves) {
    writeFile("levels.ini", "[level1]\nflowersAreAlive=0,0\nflowersAreDying=400000,400000\n");
    cFlower f;
    f.Load(0, "flower.ini", "levels.ini", "level1");
    ASSERT_GT(runUntil(f, cFlower::kThirsty, 1000), 0);
    for (int i = 0; i < 200000 / 25; ++i) f.Update(25);
    EXPECT_EQ(cFlower::kThirsty, f.GetState());
    EXPECT_EQ(cFlower::kMaxLeaves, leaves(f, ~0u));
    for (int i = 0; i < cFlower::kMaxLeaves; ++i) {
        const cFlower::Leaf& leaf = f.GetLeaf(i);
        EXPECT_GE(leaf.start.x, -10 + 1.0f) << i;  // bound_x + 5 % of the width
        EXPECT_LT(leaf.start.x, -10 + 1.0f + 16) << i;
    }
}

TEST_F(Flowers, DrawnWhiteWhileFreshOrangeWhileDying) {
    writePicture("white.tga", 4, 4, 255, 255, 255);
    writeFile("white.ini", "[Main0]\nx=2\ny=2\nsprite=white.tga\nbreakable=1\n"
                           "penalty_period=1000\n");
    writeFile("levels.ini", "[level1]\nflowersAreAlive=100,100\nflowersAreDying=100,100\n");
    cFlower f;
    f.Load(0, "white.ini", "levels.ini", "level1");
    DrawTarget target(8, 8, "flowertarget");
    DrawList list;
    f.Update(25);
    f.AddToDrawList(&list);
    list.Flush();
    EXPECT_EQ(0xFFFF, target.at(3, 3));
    ASSERT_GT(runUntil(f, cFlower::kDying, 1000), 0);
    target.clear();
    f.AddToDrawList(&list);
    list.Flush();
    const uint16_t p = target.at(3, 3);
    EXPECT_NEAR(31, p >> 11, 1);        // red stays
    EXPECT_NEAR(32, (p >> 5) & 63, 1);  // green halves
    EXPECT_EQ(0, p & 31);               // blue is gone
}

TEST_F(Flowers, WaterOrdersNeedAFreeHeroAndAThirstyFlower) {
    cFlower f;
    f.Load(0, "flower.ini", "levels.ini", "level1");
    f.Update(25);
    EXPECT_FALSE(f.CanOrderService());  // fresh: nothing asked yet
    ASSERT_GT(runUntil(f, cFlower::kThirsty, 40000), 0);
    const struct {
        const char* what;
        bool task, unavailable, actionable;
    } cases[] = {
        {"free", false, false, true},
        {"already sent", true, false, false},
        {"off duty", false, true, false},
    };
    for (const auto& c : cases) {
        jenny.tasks.clear();
        if (c.task) jenny.AddTask(kWater, &f);
        jenny.unavailable = c.unavailable;
        EXPECT_EQ(c.actionable, f.IsActionable()) << c.what;
    }
    jenny.tasks.clear();
    jenny.unavailable = false;
    ASSERT_GT(runUntil(f, cFlower::kDying, 10000), 0);
    EXPECT_TRUE(f.CanOrderService());
    game.heroes.clear();  // nobody to send
    f.GetRequest().Load(kWater, 0, &f, 0);
    EXPECT_FALSE(f.CanOrderService());
}

}  // namespace
