// The Porter: service scripts step by step, repairs before the rest, empty rooms mended or
// upgraded, luggage on the trolley.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/client.h"
#include "world/draw_list.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/room.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_porter", [] { logOpen(); });

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

// A table that counts the steps of its action.
struct Table : cLevelObj {
    std::vector<int> played;
    int PlayAction(int direction) override {
        played.push_back(direction);
        return 1;
    }
};

struct PorterGame : FakeGame {
    std::map<const cLevelObj*, cBaseObj*> owners;  // owner -> client
    cBaseObj* FindClientByRequestOwner(const cLevelObj* o) override {
        auto it = owners.find(o);
        return it == owners.end() ? nullptr : it->second;
    }
};

std::string section(const char* name, int period) {
    return std::string("[") + name + "]\nsprite=porter.tga\nperiod=" + std::to_string(period) +
           "\nframes=1\n";
}

class Porter : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile("Data/Request/Request.ini",
                  "[Cards]\nhero=Porter\n[Chess]\nhero=Porter\n[Fire]\nhero=Porter\n"
                  "[Repair]\nhero=Porter\n[Upgrade]\nhero=Porter\n[Photo]\nhero=Porter\n"
                  "[Luggage]\nhero=Porter\nhand_obj=suitcase\n");
        writePicture("porter.tga", 4, 4, 0, 0, 255);
        writePicture("door.tga", 4, 8, 0, 0, 255);
        std::string ini =
            "[Main]\nname=Porter\n[Actions]\nchess=4\nrepair=2\nupgrade=2\ncards=3\n"
            "photo_delay=3000\n";
        for (const char* s : {"CardsStart", "CardsStand", "CardsLoop", "CardsEnd", "Chess",
                              "RepairUp", "RepairDown", "RepairSwitchUp", "RepairSwitchDown",
                              "PhotoPrepare", "PhotoStand", "PhotoShoot", "PhotoDone"})
            ini += section(s, 400);
        writeFile("porter.ini", ini);
        writeFile("room.ini", "[R]\nname=R\nsprite=door.tga\nperiod=200\nframes=2\n");
        porter.Load("porter.ini");
        game.heroes = {{"Porter", &porter}};
    }
    void steps(int n) {
        for (int i = 0; i < n; ++i) porter.Update(25);
    }
    // A guest whose request of kind is served at target.
    void order(Guest& g, int kind, cLevelObj& target) {
        g.Ask(kind, &owner);
        g.GetRequest().Load(kind, 0, &owner, 0);
        game.clients[&target] = &g;
        porter.AddTask(kind, &target);
        porter.SetState(cHero::kStateIdle);
    }
    PorterGame game;
    FakeProfile school;
    Sounds sounds;
    cPorter porter;
    cLevelObj owner;
};

TEST_F(Porter, ThreeCardDealsThenTheEnd) {
    Table table;
    Guest g;
    order(g, kCards, table);
    std::vector<int> guestAnims;
    for (int i = 0; i < 400 && g.served.empty(); ++i) {
        porter.Update(25);
        // The guest's own update plays its poses out: a deal settles back to waiting, the end to
        // sitting.
        const int a = g.GetAnimIndex();
        if (a != cClient::kAnimCardsIdle && a != cClient::kAnimSit &&
            (guestAnims.empty() || guestAnims.back() != a || porter.Step() == 3)) {
            if (a == cClient::kAnimCardsStart || a == cClient::kAnimCardsLoop ||
                a == cClient::kAnimCardsEnd) {
                guestAnims.push_back(a);
                g.SetAnimation(a == cClient::kAnimCardsEnd ? cClient::kAnimSit
                                                           : cClient::kAnimCardsIdle,
                               false);
            }
        }
    }
    EXPECT_EQ((std::vector<int>{cClient::kAnimCardsStart, cClient::kAnimCardsLoop,
                                cClient::kAnimCardsLoop, cClient::kAnimCardsEnd}),
              guestAnims);
    EXPECT_EQ(cClient::kStateCards, g.GetState());
    EXPECT_EQ(std::vector<bool>{true}, g.served);
    EXPECT_EQ(0, porter.TaskCount());
}

TEST_F(Porter, ChessMovesTheTableOnceAtTheMiddleOfEachGame) {
    Table table;
    Guest g;
    g.Ask(kChess, &owner);
    g.GetRequest().Load(kChess, 0, &owner, 0);
    order(g, kChess, table);
    steps(2);  // arrives and sets up the board
    ASSERT_EQ(cPorter::kAnimChess, porter.GetAnimIndex());
    std::vector<int> movesAt;
    for (int t = 0; t < 2000 && g.served.empty(); t += 25) {
        const size_t before = table.played.size();
        porter.Update(25);
        if (table.played.size() > before) movesAt.push_back(porter.GetAnimTime());
    }
    EXPECT_EQ((std::vector<int>{200, 600, 1000, 1400}), movesAt);
    EXPECT_EQ(std::vector<bool>{true}, g.served);
}

TEST_F(Porter, ChessWithoutItsPictureEndsAtOnce) {
    writeFile("bare.ini", "[Main]\nname=Porter\n[Actions]\nchess=4\n");
    cPorter bare;
    bare.Load("bare.ini");
    Table table;
    Guest g;
    g.Ask(kChess, &owner);
    game.clients[&table] = &g;
    bare.AddTask(kChess, &table);
    bare.SetState(cHero::kStateIdle);
    for (int i = 0; i < 5; ++i) bare.Update(25);
    EXPECT_EQ(std::vector<bool>{true}, g.served);
    EXPECT_TRUE(table.played.empty());
}

TEST_F(Porter, AFireOnABrokenObjectIsRepairedFirst) {
    Table stove;
    stove.GetRequest().Load(kRepair, 0, &stove, 0);
    stove.GetRequest().SetWaiting();
    Guest g;
    order(g, kFire, stove);
    steps(2);
    EXPECT_EQ(kRepair, porter.Task(0).kind);
    EXPECT_EQ(kFire, porter.Task(1).kind);
    for (int i = 0; i < 200 && porter.TaskCount() == 2; ++i) porter.Update(25);
    EXPECT_EQ(2, stove.GetState());  // mended
    EXPECT_TRUE(g.served.empty());
    stove.GetRequest().Reset();
    for (int i = 0; i < 200 && g.served.empty(); ++i) porter.Update(25);
    EXPECT_EQ(std::vector<bool>{true}, g.served);
    EXPECT_EQ(std::vector<int>{0}, stove.played);  // the fire put out
}

TEST_F(Porter, PhotoShotComesAfterTheDelayShortenedByTheSkill) {
    SkillInfo s;
    s.name = "photo";
    s.hero = "porter";
    s.ability = 25;
    school.skills = {s};
    porter.ApplySkills();
    Table spot;
    Guest g;
    order(g, kPhoto, spot);
    int waited = 0;
    for (int i = 0; i < 400 && g.served.empty(); ++i) {
        porter.Update(25);
        // The guest arrives at the photo spot once sent there.
        if (porter.GetAnimIndex() == cPorter::kAnimPhotoPrepare) g.SetState(cClient::kStateStanding);
        if (porter.Step() == 3) waited += 25;
    }
    EXPECT_EQ(2250, waited);
    EXPECT_EQ(std::vector<bool>{true}, g.served);
}

TEST_F(Porter, AnEmptyRoomIsMendedByARepairAndRaisedOnlyByAnUpgrade) {
    for (int kind : {kRepair, kUpgrade}) {
        cRoom room;
        room.Load("room.ini", "R", 0);
        if (kind == kRepair) room.SetBreakFlag();
        room.GetRequest().Load(kind, 0, &room, 0);
        room.GetRequest().SetWaiting();
        porter.AddTask(kind, &room);
        porter.SetState(cHero::kStateIdle);
        for (int i = 0; i < 200 && porter.TaskCount() > 0; ++i) porter.Update(25);
        EXPECT_EQ(kind == kUpgrade ? 1 : 0, room.UpgradeLevel()) << kind;
        EXPECT_EQ(cRoom::kNormal, room.GetState());
        EXPECT_EQ(kNoRequest, room.GetRequest().GetKind());
        EXPECT_FALSE(room.HasBreakFlag());
    }
}

TEST_F(Porter, TwoLuggageRoundsKeepTheTrolleyTheLastDropsIt) {
    cRoom r1, r2;
    r1.Load("room.ini", "R", 0);
    r2.Load("room.ini", "R", 0);
    Guest g1, g2;
    g1.Ask(kLuggage, &r1);
    g2.Ask(kLuggage, &r2);
    game.owners = {{&r1, &g1}, {&r2, &g2}};
    porter.AddTask(kLuggage, &r1);
    porter.AddTask(kLuggage, &r2);
    porter.SetState(cHero::kStateIdle);
    steps(2);  // home for the trolley, loads the first
    EXPECT_TRUE(porter.HasTrolley());
    EXPECT_STREQ("suitcase", porter.HandObject(0));
    steps(1);
    EXPECT_EQ(std::vector<bool>{true}, g1.served);
    EXPECT_TRUE(porter.HasTrolley());
    steps(2);  // straight on with the trolley
    EXPECT_EQ(std::vector<bool>{true}, g2.served);
    EXPECT_FALSE(porter.HasTrolley());
    EXPECT_EQ(nullptr, porter.HandObject(0));
    EXPECT_EQ(2, sounds.count("action_luggage"));
}

TEST_F(Porter, HisButtonCallsHimOutWithTheTrolleyForLuggageOrStopsHimOnTheWayHome) {
    struct {
        int state, kind;
        int after;
        bool trolley;
        const char* hand;
    } cases[] = {
        {cHero::kStateAtBase, kRepair, cHero::kStateIdle, false, nullptr},
        {cHero::kStateAtBase, kNoRequest, cHero::kStateIdle, false, nullptr},  // his own button
        {cHero::kStateAtBase, kLuggage, cHero::kStateIdle, true, "suitcase"},
        {cHero::kStateToBase, kLuggage, cHero::kStateIdle, false, nullptr},  // stops, no trolley
        {cHero::kStateIdle, kLuggage, cHero::kStateIdle, false, nullptr},    // already out
        {cHero::kStateService1, kRepair, cHero::kStateService1, false, nullptr},
    };
    for (const auto& c : cases) {
        cPorter p;
        p.Load("porter.ini");
        p.SetState(c.state);
        p.Summon(c.kind);
        // Out at once: no walk map.
        EXPECT_EQ(c.after, p.GetState()) << c.state << " " << c.kind;
        EXPECT_EQ(c.trolley, p.HasTrolley()) << c.state << " " << c.kind;
        if (c.hand) {
            EXPECT_STREQ(c.hand, p.HandObject(0));
        } else {
            EXPECT_EQ(nullptr, p.HandObject(0));
        }
    }
}

TEST_F(Porter, AGuestGoneBeforeTheEndIsNotPaid) {
    Table table;
    Guest g;
    order(g, kChess, table);
    steps(3);
    game.clients.clear();
    steps(200);
    EXPECT_TRUE(g.served.empty());
    EXPECT_EQ(0, porter.TaskCount());
}

// Left half red, right half green: the pixel at the left tells whether it was mirrored.
HSPRITE gHeld = nullptr;
int gHeldFlip = 1;
bool held(const char*, int, HandObjectView* out) {
    out->sprite = gHeld;
    out->flipx = gHeldFlip;
    return true;
}

TEST_F(Porter, HeAndTheMaidMirrorWhatTheyCarryByTheHandObjectsFlip) {
    std::vector<uint8_t> px;
    for (int i = 0; i < 16; ++i)
        px.insert(px.end(), {0, static_cast<uint8_t>(i % 4 < 2 ? 0 : 255),
                             static_cast<uint8_t>(i % 4 < 2 ? 255 : 0)});
    writeTga("held.tga", 4, 4, 24, px, true);
    gHeld = grLoadSprite("held.tga", nullptr, 0);
    ASSERT_TRUE(gHeld);
    worldSetHandObjects(held);
    writeFile("bare.ini", "[Main]\nname=Maid\n");
    cMaid maid;
    maid.Load("bare.ini");
    maid.SetState(cHero::kStateAtBase);
    maid.Summon(kLuggage);  // out with the request's hand object
    porter.SetState(cHero::kStateAtBase);
    porter.Summon(kLuggage);  // out with the trolley
    DrawTarget target(4, 4, "heldtarget");
    DrawList list;
    const uint16_t red = 0xF800, green = 0x07E0;
    // Near the top the Maid holds what she carries 30 px left and 10 px up.
    maid.GetBody().position = Vec2f(30, 10);
    porter.GetBody().position = Vec2f(0, 0);
    for (cHero* hero : {static_cast<cHero*>(&maid), static_cast<cHero*>(&porter)}) {
        ASSERT_EQ(cHero::kStateIdle, hero->GetState());
        for (int flip : {1, -1}) {
            gHeldFlip = flip;
            target.clear();
            hero->Draw(&list);
            EXPECT_EQ(flip < 0 ? green : red, target.at(0, 1)) << hero->GetName() << " " << flip;
        }
    }
    worldSetHandObjects(nullptr);
    grFreeSprite(gHeld);
}

}  // namespace
