// The Maid: timed services with skill speed-ups, tools and the cart, plaids, her button.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/draw_list.h"
#include "world/maid.h"
#include "world/room.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_maid", [] { logOpen(); });

struct Guest : cLevelObj, ClientLink {
    std::vector<bool> served;
    void OnServiceEnd(bool success) override { served.push_back(success); }
    cBaseObj* GetLinked() const override { return nullptr; }
    void Ask(int kind, cLevelObj* owner) {
        request_.Load(kind, 0, owner, 0);
        request_.SetWaiting();
        owner->SetAttached(&request_);
    }
};

struct MaidGame : FakeGame {
    std::map<const cLevelObj*, cBaseObj*> owners;  // owner -> client
    cBaseObj* FindClientByRequestOwner(const cLevelObj* o) override {
        auto it = owners.find(o);
        return it == owners.end() ? nullptr : it->second;
    }
};

SkillInfo skill(const char* name, float ability) {
    SkillInfo s;
    s.name = name;
    s.hero = "maid";
    s.ability = ability;
    return s;
}

class Maid : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile("Data/Request/Request.ini",
                  "[Clean]\nhero=Maid\nhand_obj=broom\n[Plaid]\nhero=Maid\nhand_obj=plaid\n"
                  "[Water]\nhero=Maid\nhand_obj=can\n[Pillow]\nhero=Maid\n");
        writePicture("maid.tga", 4, 4, 0, 0, 255);
        writePicture("door.tga", 4, 8, 0, 0, 255);
        std::string ini = "[Main]\nname=Maid\n[Actions]\nclean=3\npillow=1\n";
        for (const char* s : {"Clean", "Pillow", "Stand"})
            ini += std::string("[") + s + "]\nsprite=maid.tga\nperiod=1000\nframes=1\n";
        writeFile("maid.ini", ini);
        writeFile("room.ini", "[R]\nname=R\nsprite=door.tga\nperiod=200\nframes=2\n");
        maid.Load("maid.ini");
        maid.SetBasePoint(Point2i(0, 0));
        maid.SetWaitPos(Point2i(50, 50));
        room.Load("room.ini", "R", 0);
        game.owners[&room] = &guest;
        game.heroes = {{"Maid", &maid}};
    }
    // Updates until the state leaves `state` (at most `limit` steps); the steps taken.
    int stepsIn(int state, int limit = 1000) {
        int n = 0;
        while (maid.GetState() == state && n < limit) {
            maid.Update(25);
            ++n;
        }
        return n;
    }
    MaidGame game;
    FakeProfile school;
    Sounds sounds;
    cMaid maid;
    cRoom room;
    Guest guest;
};

TEST_F(Maid, CleaningTakesItsLoopsShortenedByTheSkillExactly) {
    const struct {
        float ability;
        int ms;
    } cases[] = {{0, 3000}, {50, 2000}, {25, 2400}};
    for (const auto& c : cases) {
        school.skills = {skill("cleaning", c.ability)};
        maid.ApplySkills();
        guest.served.clear();
        guest.Ask(kClean, &room);
        maid.SetState(cHero::kStateAtBase);
        maid.Update(25);  // home with nothing to do: the broom is put away
        maid.AddTask(kClean, &room);
        room.Enable();  // locked by the order
        maid.SetState(cHero::kStateIdle);
        maid.Update(25);  // no tool yet: home first
        ASSERT_EQ(cHero::kStateService2, maid.GetState());
        maid.Update(25);  // fetches the broom and walks (at once: no walk map) to the room
        ASSERT_EQ(cHero::kStateService1, maid.GetState());
        ASSERT_STREQ("broom", maid.HandObject(0));
        maid.Update(25);  // the service starts
        EXPECT_EQ(cMaid::kAnimClean, maid.GetAnimIndex());
        EXPECT_TRUE(guest.GetRequest().IsDone());
        EXPECT_FALSE(room.IsEnabled());  // released: the room takes its next order
        EXPECT_EQ(cRoom::kOpening, room.GetState());
        EXPECT_EQ(c.ms, 25 * stepsIn(cHero::kStateService1)) << c.ability;
        EXPECT_EQ(std::vector<bool>{true}, guest.served);
        EXPECT_EQ(0, maid.TaskCount());
    }
    EXPECT_EQ(3, sounds.count("cleaning"));
}

TEST_F(Maid, AnEmptyRoomIsCleanedUnpaidAndAGuestGoneMidwayIsNotPaid) {
    guest.Ask(kClean, &room);
    maid.AddTask(kClean, &room);
    maid.SetState(cHero::kStateIdle);
    for (int i = 0; i < 3; ++i) maid.Update(25);  // home, fetch, start cleaning
    ASSERT_EQ(cMaid::kAnimClean, maid.GetAnimIndex());
    game.owners.clear();  // the guest leaves while she cleans
    stepsIn(cHero::kStateService1);
    EXPECT_TRUE(guest.served.empty());
    EXPECT_EQ(cRoom::kNormal, room.GetState());
    EXPECT_TRUE(room.GetRequest().GetKind() == kNoRequest || !room.GetRequest().IsWaiting());
    EXPECT_EQ(kNoRequest, maid.ComboAction());
}

TEST_F(Maid, WithTheCartSheNeverGoesHomeForATool) {
    school.skills = {skill("cart", 0)};
    maid.ApplySkills();
    cRoom other;
    other.Load("room.ini", "R", 0);
    Guest g2;
    game.owners[&other] = &g2;
    guest.Ask(kClean, &room);
    g2.Ask(kClean, &other);
    maid.AddTask(kClean, &room);
    maid.AddTask(kClean, &other);
    maid.SetState(cHero::kStateIdle);
    maid.Update(25);
    EXPECT_EQ(cHero::kStateService2, maid.GetState());  // the cart is at home
    maid.Update(25);
    EXPECT_STREQ("Cart", maid.HandObject(0));
    maid.Update(25);
    stepsIn(cHero::kStateService1);
    EXPECT_EQ(std::vector<bool>{true}, guest.served);
    maid.Update(25);  // straight on to the next room
    EXPECT_EQ(cHero::kStateService1, maid.GetState());
    stepsIn(cHero::kStateService1);
    EXPECT_EQ(std::vector<bool>{true}, g2.served);
    EXPECT_STREQ("Cart", maid.HandObject(0));
}

TEST_F(Maid, PlaidsInARowKeepThePlaidTheLastEmptiesHerHand) {
    cRoom other;
    other.Load("room.ini", "R", 0);
    Guest g2;
    game.owners[&other] = &g2;
    guest.Ask(kPlaid, &room);
    g2.Ask(kPlaid, &other);
    maid.AddTask(kPlaid, &room);
    maid.AddTask(kPlaid, &other);
    maid.SetState(cHero::kStateIdle);
    maid.Update(25);  // home for the plaid
    maid.Update(25);
    EXPECT_STREQ("plaid", maid.HandObject(0));
    maid.Update(25);  // delivered
    EXPECT_EQ(std::vector<bool>{true}, guest.served);
    EXPECT_EQ(cRoom::kOpening, room.GetState());
    EXPECT_STREQ("plaid", maid.HandObject(0));
    maid.Update(25);
    maid.Update(25);
    EXPECT_EQ(std::vector<bool>{true}, g2.served);
    EXPECT_EQ(nullptr, maid.HandObject(0));
    EXPECT_EQ(2, sounds.count("action_plaid"));
}

TEST_F(Maid, HerButtonCallsHerOutWithTheToolOrStopsHerOnTheWayHome) {
    maid.SetState(cHero::kStateAtBase);
    EXPECT_TRUE(maid.IsUnavailable());
    maid.Summon(kWater);
    EXPECT_STREQ("can", maid.HandObject(0));
    EXPECT_EQ(cHero::kStateIdle, maid.GetState());  // out at once: no walk map

    maid.SetState(cHero::kStateToBase);
    maid.Summon(kClean);
    EXPECT_EQ(cHero::kStateIdle, maid.GetState());
    EXPECT_STREQ("can", maid.HandObject(0));  // only a call from her base hands her a tool

    maid.SetState(cHero::kStateIdle);
    maid.Summon(kClean);  // already out: nothing
    EXPECT_EQ(cHero::kStateIdle, maid.GetState());
}

TEST_F(Maid, SheIsNeverDrawnAtHerBase) {
    DrawTarget target(4, 4, "maidtarget");
    DrawList list;
    maid.GetBody().position = Vec2f(0, 0);
    maid.SetState(cHero::kStateAtBase);
    maid.SetAnimation(cHero::kAnimStand, false);
    target.clear();
    maid.Draw(&list);
    EXPECT_EQ(0, target.at(1, 1));
    maid.SetState(cHero::kStateIdle);
    maid.Draw(&list);
    EXPECT_EQ(0x001F, target.at(1, 1));
}

}  // namespace
