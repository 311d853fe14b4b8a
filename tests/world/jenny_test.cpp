// Jenny: fetching and delivering, the hands, one-visit services, her base and idling.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/draw_list.h"
#include "world/jenny.h"
#include "world/room.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_jenny", [] { logOpen(); });

// A client stand-in asking for a service at its owner.
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

struct JennyGame : FakeGame {
    std::map<const cLevelObj*, cBaseObj*> owners;  // owner -> client
    cLevelObj* checkOutPlace = nullptr;
    std::vector<std::string> unlocked;
    cBaseObj* FindClientByRequestOwner(const cLevelObj* o) override {
        auto it = owners.find(o);
        return it == owners.end() ? nullptr : it->second;
    }
    cLevelObj* GetFirstCheckOutPlace() override { return checkOutPlace; }
    void UnlockObjects(const char* name) override { unlocked.push_back(name); }
};

class Jenny : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile("Data/Request/Request.ini",
                  "[Cocktail]\nhero=Jenny\ntarget=Bar\nhand_obj=cocktail\n"
                  "[Food]\nhero=Jenny\ntarget=Kitchen\nhand_obj=food\n"
                  "[News]\nhero=Jenny\ntarget=Desk\nhand_obj=newspaper\n"
                  "[Phone]\nhero=Jenny\ntarget=Desk\nhand_obj=phone\n"
                  "[CheckOut]\nhero=Jenny\ntarget=Desk\n"
                  "[Clean]\nhero=Jenny\n");
        writeFile("jenny.ini", "[Main]\nname=Jenny\n[Actions]\ncook_delay=2000\n");
        jenny.Load("jenny.ini");
        game.heroes = {{"Jenny", &jenny}};
        game.objects = {{"Bar", &bar}, {"Kitchen", &kitchen}, {"Desk", &desk}};
    }
    // A guest at room asking for kind; Jenny queued to fetch and to deliver.
    void order(Guest& g, cLevelObj& room, int kind, cLevelObj& source) {
        g.Ask(kind, &room);
        game.clients[&source] = &g;
        game.owners[&room] = &g;
        jenny.AddTask(kind, &source);
        jenny.AddTask(kind, &room);
    }
    void steps(int n) {
        for (int i = 0; i < n; ++i) jenny.Update(25);
    }
    JennyGame game;
    Sounds sounds;
    cJenny jenny;
    cLevelObj bar, kitchen, desk;
};

TEST_F(Jenny, FoodWaitsForTheCookThenGoesToTheKitchensWaitPoint) {
    cLevelObj room;
    Guest g;
    order(g, room, kFood, kitchen);
    jenny.SetState(cHero::kStateIdle);
    jenny.Update(25);  // walks (at once: no walk map) to the kitchen
    ASSERT_EQ(cHero::kStateService2, jenny.GetState());
    steps(79);  // 1975 ms at the kitchen
    EXPECT_EQ(nullptr, jenny.HandObject(0));
    jenny.Update(25);
    EXPECT_STREQ("food", jenny.HandObject(0));
    EXPECT_EQ(1, sounds.count("action_food"));
    EXPECT_EQ(cHero::kStateIdle, jenny.GetState());
    EXPECT_EQ(1, jenny.TaskCount());  // the delivery
}

TEST_F(Jenny, TwoHandsHoldTwoAndDeliveriesEmptyThemInTurn) {
    cLevelObj r1, r2, r3;
    Guest g1, g2, g3;
    order(g1, r1, kCocktail, bar);
    order(g2, r2, kCocktail, bar);
    order(g3, r3, kCocktail, bar);
    // Fetch first: [bar, r1, bar, r2, bar, r3] as ordered; serve them in that order.
    jenny.SetState(cHero::kStateIdle);
    steps(2);  // fetch 1
    EXPECT_STREQ("cocktail", jenny.HandObject(0));
    EXPECT_EQ(nullptr, jenny.HandObject(1));
    steps(2);  // delivery to r1: another cocktail task queued keeps the hand full
    EXPECT_EQ(std::vector<bool>{true}, g1.served);
    EXPECT_STREQ("cocktail", jenny.HandObject(0));
    steps(2);  // fetch 2 into the free right hand
    EXPECT_STREQ("cocktail", jenny.HandObject(1));
    steps(4);  // deliver r2, fetch 3 with both hands full: nothing new, task spent
    EXPECT_EQ(std::vector<bool>{true}, g2.served);
    EXPECT_STREQ("cocktail", jenny.HandObject(0));
    EXPECT_STREQ("cocktail", jenny.HandObject(1));
    steps(2);  // the last delivery empties only the left hand
    EXPECT_EQ(std::vector<bool>{true}, g3.served);
    EXPECT_EQ(nullptr, jenny.HandObject(0));
    EXPECT_STREQ("cocktail", jenny.HandObject(1));
    EXPECT_EQ(std::vector<std::string>{"cocktail"}, game.unlocked);
    EXPECT_EQ(0, jenny.TaskCount());
}

// The desk has the telephone and the papers, and the first guest found there may want the other
// one: a fetch takes what its own kind is carried in. With both hands full, a spare (the same
// object twice, or one no queued task wants) is set down for the new one, so the hands never
// jam with leftovers while guests wait.
TEST_F(Jenny, AFetchTakesItsOwnKindsObjectAndSetsDownASpare) {
    cLevelObj r0, r1, r2;
    Guest g0, g1, g2;
    order(g0, r0, kCocktail, bar);
    jenny.AddTask(kCocktail, &bar);  // a second cocktail, for nobody in the end
    jenny.SetState(cHero::kStateIdle);
    steps(6);
    ASSERT_EQ(std::vector<bool>{true}, g0.served);
    ASSERT_STREQ("cocktail", jenny.HandObject(0));
    ASSERT_STREQ("cocktail", jenny.HandObject(1));

    g1.Ask(kNews, &r1);
    g2.Ask(kPhone, &r2);
    game.clients[&desk] = &g1;  // the papers' guest is found first at the desk
    game.owners[&r1] = &g1;
    game.owners[&r2] = &g2;
    for (auto [kind, object] : {std::pair<int, cLevelObj*>{kNews, &desk}, {kPhone, &desk},
                                {kNews, &r1}, {kPhone, &r2}})
        jenny.AddTask(kind, object);
    steps(2);  // the papers: the second cocktail is a spare
    EXPECT_STREQ("cocktail", jenny.HandObject(0));
    EXPECT_STREQ("newspaper", jenny.HandObject(1));
    steps(2);  // the telephone: the cocktail is wanted by no task, the papers are
    EXPECT_STREQ("phone", jenny.HandObject(0));
    EXPECT_STREQ("newspaper", jenny.HandObject(1));
    steps(4);
    EXPECT_EQ(std::vector<bool>{true}, g1.served);
    EXPECT_EQ(std::vector<bool>{true}, g2.served);
    EXPECT_EQ(0, jenny.TaskCount());
}

TEST_F(Jenny, AFailedDeliveryFreesHerAtOnce) {
    cLevelObj r1, r2;
    Guest g1, g2;
    order(g1, r1, kCocktail, bar);
    g2.Ask(kFood, &r2);
    game.owners[&r2] = &g2;
    jenny.AddTask(kFood, &r2);  // a delivery with nothing fetched for it
    jenny.SetState(cHero::kStateIdle);
    steps(4);  // fetch and deliver to r1
    ASSERT_EQ(std::vector<bool>{true}, g1.served);
    steps(2);  // walks to r2 with empty hands
    EXPECT_TRUE(g2.served.empty());
    EXPECT_EQ(0, jenny.TaskCount());
    EXPECT_EQ(cHero::kStateIdle, jenny.GetState());
}

TEST_F(Jenny, ComingHomeAfterATaskPutsBackWhatSheCarries) {
    cLevelObj room;
    Guest g;
    order(g, room, kCocktail, bar);
    jenny.SetState(cHero::kStateAtBase);
    jenny.Update(25);  // leaves her base for the bar
    EXPECT_TRUE(jenny.HasLeftBase());
    steps(1);
    ASSERT_STREQ("cocktail", jenny.HandObject(0));
    jenny.RemoveTask(kCocktail, &room);  // the client gave up
    jenny.SetState(cHero::kStateAtBase);
    jenny.Update(25);
    EXPECT_EQ(nullptr, jenny.HandObject(0));
    EXPECT_EQ(cJenny::kNoHand, jenny.LeftHandIndex());
    EXPECT_EQ(std::vector<std::string>{"cocktail"}, game.unlocked);
    EXPECT_FALSE(jenny.HasLeftBase());
    EXPECT_EQ(cJenny::kAnimIdle0, jenny.GetAnimIndex());

    cJenny next;  // a new level's Jenny starts at home
    EXPECT_FALSE(next.HasLeftBase());
}

TEST_F(Jenny, IdleAnimationsByTheDraw) {
    writePicture("idle.tga", 4, 4, 0, 255, 0);
    std::string ini = "[Main]\nname=Jenny\n";
    for (const char* s : {"Idle1", "Idle2", "Idle3"})
        ini += std::string("[") + s + "]\nsprite=idle.tga\nperiod=1000\nframes=1\n";
    writeFile("idle.ini", ini);
    int seen[3] = {};
    for (int round = 0; round < 30; ++round) {
        cJenny j;
        j.Load("idle.ini");
        j.SetState(cHero::kStateAtBase);
        // Her skill effect's jitter draws twice before her idle draw in the same step.
        Random copy = gRandom;
        copy.RealHalfOpen();
        copy.RealHalfOpen();
        const uint32_t r = copy.Int(100);
        j.Update(25);
        const int expected = r < 33 ? cJenny::kAnimIdle1 : r < 66 ? cJenny::kAnimIdle2 : cJenny::kAnimIdle3;
        EXPECT_EQ(expected, j.GetAnimIndex()) << r;
        EXPECT_EQ(0, j.GetStateTime());
        ++seen[expected - cJenny::kAnimIdle1];
    }
    EXPECT_GT(seen[0] * seen[1] * seen[2], 0);
}

TEST_F(Jenny, ACheckOutWaitsForAClientAtTheDesk) {
    cLevelObj place;
    game.checkOutPlace = &place;
    jenny.AddTask(kCheckOut, &desk);
    jenny.SetState(cHero::kStateIdle);
    steps(3);
    EXPECT_EQ(cHero::kStateService1, jenny.GetState());
    EXPECT_EQ(1, jenny.TaskCount());
    Guest g;
    g.Ask(kCheckOut, &place);
    game.owners[&place] = &g;
    jenny.Update(25);
    EXPECT_EQ(std::vector<bool>{true}, g.served);
    EXPECT_EQ(cHero::kStateAnim2, jenny.GetState());
    EXPECT_EQ(cJenny::kAnimHello, jenny.GetAnimIndex());
    EXPECT_EQ(cJenny::kNoHand, jenny.LeftHandIndex());
    EXPECT_EQ(0, jenny.TaskCount());
}

TEST_F(Jenny, ATaskNotHersIsDroppedInsteadOfBlockingTheQueue) {
    cLevelObj room;
    Guest g;
    jenny.AddTask(kClean, &room);
    order(g, room, kCocktail, bar);
    jenny.SetState(cHero::kStateIdle);
    steps(1);
    EXPECT_FALSE(jenny.HasTask(kClean, nullptr));
    steps(4);
    EXPECT_EQ(std::vector<bool>{true}, g.served);
}

TEST_F(Jenny, DeliveringToARoomOpensItsDoor) {
    writePicture("door.tga", 4, 8, 0, 0, 255);
    writeFile("room.ini", "[R]\nname=R\nsprite=door.tga\nperiod=200\nframes=2\n");
    cRoom room;
    room.Load("room.ini", "R", 0);
    Guest g;
    order(g, room, kCocktail, bar);
    jenny.SetState(cHero::kStateIdle);
    steps(4);
    EXPECT_EQ(std::vector<bool>{true}, g.served);
    EXPECT_EQ(cRoom::kOpening, room.GetState());
}


struct OtherHero : cHero {
    bool IsUnavailable() const override { return true; }
    void Summon(int) override {}
};

TEST_F(Jenny, SchoolSkillsApplyOnceWhateverTheCallCount) {
    writeFile("fast.ini", "[Main]\nname=Jenny\nspeed=4\n[Actions]\ncook_delay=2000\n");
    cJenny j;
    j.Load("fast.ini");
    OtherHero porter;
    game.heroes["Porter"] = &porter;
    FakeProfile school;
    auto skill = [](const char* name, const char* hero, float ability) {
        SkillInfo s;
        s.name = name;
        s.hero = hero;
        s.ability = ability;
        return s;
    };
    school.skills = {skill("shoes_jenny", "jenny", 25), skill("charm", "Jenny", 0),
                     skill("cooking", "jenny", 500), skill("manager", "jenny", 10),
                     skill("shoes_maid", "maid", 50)};
    for (int round = 0; round < 2; ++round) {
        porter.ApplySkills();
        j.ApplySkills();
        EXPECT_FLOAT_EQ(5.0f, j.GetBody().speed);
        EXPECT_FLOAT_EQ(0.25f, j.SpeedBonus());
        EXPECT_EQ(1, j.SkillFlag(0));
        EXPECT_EQ(1, j.SkillFlag(1));
        EXPECT_EQ(2500, j.CookDelay());
        EXPECT_FLOAT_EQ(0.1f, porter.ActionBonus());
    }
}

class FacingJenny : public cJenny {
public:
    void Face(int direction, const char* left, const char* right) {
        walkDir_ = direction;
        copyHandName(leftHand_, left);
        copyHandName(rightHand_, right);
        handsByRule();
    }
};

HSPRITE gCarried = nullptr;
bool carried(const char* key, int, HandObjectView* out) {
    if (strcmp(key, "cup0") != 0) return false;
    out->sprite = gCarried;
    return true;
}

TEST_F(Jenny, HandsAndCarriedThingsStackByTheWaySheFaces) {
    // Everything on one 4 x 4 spot: the pixel shows what was drawn last.
    writePicture("body.tga", 4, 4, 0, 0, 255);
    writePicture("hand.tga", 4, 4, 0, 255, 0);
    writePicture("cup.tga", 4, 4, 255, 0, 0);
    std::string ini = "[Main]\nname=Jenny\n[Stand]\nsprite=body.tga\nperiod=1000\nframes=1\n";
    for (const char* walk : {"WalkLeft", "WalkUpLeft", "WalkUp", "WalkUpRight", "WalkRight",
                             "WalkDownRight", "WalkDown", "WalkDownLeft"})
        ini += std::string("[") + walk + "]\nsprite=body.tga\nperiod=1000\nframes=1\n";
    for (const char* hand : {"Left", "Right"})
        for (const char* held : {"Free", "Busy"})
            for (const char* d : {"Left", "UpLeft", "Up", "UpRight", "Right", "DownRight", "Down",
                                  "DownLeft", "Stand"})
                ini += std::string("[Hand") + hand + held + d +
                       "]\nsprite=hand.tga\nperiod=1000\nframes=1\n";
    writeFile("drawn.ini", ini);
    gCarried = grLoadSprite("cup.tga", nullptr, 0);
    ASSERT_TRUE(gCarried);
    worldSetHandObjects(carried);
    FacingJenny j;
    j.Load("drawn.ini");
    j.SetState(cHero::kStateIdle);
    DrawTarget target(4, 4, "jennytarget");
    DrawList list;
    const uint16_t red = 0xF800, green = 0x07E0, blue = 0x001F;
    const struct {
        int direction;
        const char* left;
        const char* right;
        uint16_t top;
    } cases[] = {
        {0, "cup", "cup", red},   // standing: the things she holds in front
        {7, "cup", "", red},      // down: the left one in front of her
        {7, "", "", blue},        // nothing held: the body over the hands
        {1, "cup", "cup", green}, // left: the left hand last
        {3, "cup", "cup", blue},  // up: her back hides it all
        {5, "cup", "cup", green}, // right: the right hand last
    };
    for (const auto& c : cases) {
        j.Face(c.direction, c.left, c.right);
        j.SetAnimation(c.direction == 0 ? cHero::kAnimStand : c.direction - 1, false);
        target.clear();
        j.Draw(&list);
        EXPECT_EQ(c.top, target.at(1, 1)) << c.direction << " " << c.left << "/" << c.right;
    }
    j.SetState(cHero::kStateAnim1);  // calming a baby: no hands, nothing carried
    j.Face(0, "cup", "cup");
    target.clear();
    j.Draw(&list);
    EXPECT_EQ(blue, target.at(1, 1));
    worldSetHandObjects(nullptr);
    grFreeSprite(gCarried);
}

}  // namespace
