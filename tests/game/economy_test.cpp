// The level's economy and outcome on a small fixture hotel: flying texts, goals, the win rule,
// check-outs and room upgrades, the wind-down and end of a level and the cheat words that force it.
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/platform/input.h"
#include "game/profile.h"
#include "tests/game/level_harness.h"
#include "world/client.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/request.h"
#include "world/room.h"

namespace {

using leveltest::heard;
using leveltest::LevelHarness;

const char kObjects[] =
    "[Main]\nobjects=Room1,Room2,Room3,Desk\n"
    "[Room1]\ntype=room\nname=Room1\nx=100\ny=10\n"
    "[Room2]\ntype=room\nname=Room2\nx=200\ny=10\n"
    "[Room3]\ntype=room\nname=Room3\nx=300\ny=10\ngrade=1\n"
    "[Desk]\nname=Desk\nx=40\ny=40\n"
    "[In1]\nname=In1\nx=1\ny=1\n[In2]\nname=In2\nx=2\ny=2\n[In3]\nname=In3\nx=5\ny=5\n[Out1]\nname=Out1\nx=3\ny=3\n";

std::string bundled(const char* relative) {
    std::ifstream in(std::string(VELMORA_GAME_DIR) + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int heardCount(const char* name) {
    int n = 0;
    for (const std::string& s : heard()) n += s == name;
    return n;
}

// Whether either line of the banner has the translated text of the key.
bool bannerShows(const cGame* level, const char* key) {
    const std::u16string text = translated(key);
    for (int i = 0; i < 2 && level->Banner(); ++i) {
        const char16_t* line = level->Banner()->Line(i).Text();
        if (line && text == line) return true;
    }
    return false;
}

class Economy : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        savedGoalType_ = gGoalType;
        gGoalType = 2;
        program.write("Data/shared.ini", "[WayPoints]\n0=level, 1, 0, 0\n");
        program.write("Data/Episodes/e1/objects.ini", kObjects);
        program.write("Data/Request/Request.ini", "[Cocktail]\nhero=Jenny\ntarget=Desk\n");
        program.write("Data/Episodes/e1/map.ini",
                      "[Main]\nsize=64,64\nstep=32,32\n[map]\nnodes0=11\nnodes1=11\n");
        program.write("Data/Interface/interface.ini", bundled("Data/Interface/interface.ini"));
        program.write("Data/translation.ini", bundled("Data/translation.ini"));
        program.write("Data/Clients/Guest/Guest.ini", "[Main]\nname=Guest\nloyalty=1\n");
    }
    void TearDown() override {
        LevelHarness::TearDown();
        delete maid_;
        delete porter_;
        gGoalType = savedGoalType_;
    }

    // The level file and the player owning the three rooms; the first client comes only when
    // a test lets it in.
    void Write(const std::string& level, const std::string& main = "") {
        program.write("Data/Episodes/e1/levels.ini",
                      "[Main]\ncheck_ins=In1, In2, In3\ncheck_outs=Out1\nupgrade_time=5000\n"
                      "first_client_start_delay=100000000\n" +
                          main + "\n[level1]\ncashGoal=100\ncashExpert=200\nGuest=0,0,0\n" +
                          level);
        Start(false);
        for (const char* room : {"Room1", "Room2", "Room3"})
            gCurrentProfile->InsertObjectItem(gCurrentProfile->MakeObjectItem(room));
    }
    // The level loaded, on show and playing, with a Maid and a Porter.
    cGame* Load(const std::string& level = "", const std::string& main = "") {
        Write(level, main);
        Play();
        maid_ = new cMaid;
        porter_ = new cPorter;
        game->SetStaff(maid_, porter_);
        EXPECT_TRUE(PlayOn());
        heard().clear();
        return game;
    }
    // Guests made once the level has loaded, all of them its clients.
    void Guests(int n) {
        for (int i = 0; i < n; ++i) {
            cClient* guest = new cClient;
            guest->Load("Data/Clients/Guest/Guest.ini");
            game->AddClient(guest);
        }
        game->SetClientCount(n);
    }
    cRoom* room(const char* name) { return dynamic_cast<cRoom*>(game->FindLevelObjectByName(name)); }
    cHero* jenny() { return dynamic_cast<cHero*>(game->GetHeroByName("Jenny")); }
    void type(const char* word) {
        for (const char* c = word; *c; ++c) {
            typedPush(static_cast<unsigned char>(*c));
            game->OnChar(*c, 0);
        }
    }
    // Both guests come in and leave; with paid both check-outs are served and the goal is met.
    void ServeTwo(bool paid) {
        Guests(2);
        game->AdmitNextClient();
        game->AdmitNextClient();
        ASSERT_EQ(game->GetClientsIn(), 2);
        for (int i = 0; i < 2; ++i) {
            game->GetClient(i)->GetRequest().Reset();  // as a guest's request is once it leaves
            game->ScheduleNextClient();
        }
        if (paid) {
            game->ReleaseNextClient();
            game->ReleaseNextClient();
        }
        game->AddMoney(150, 0);
        heard().clear();
    }

    cMaid* maid_ = nullptr;
    cPorter* porter_ = nullptr;
    int savedGoalType_ = 2;
};

TEST_F(Economy, PaymentsLoyaltyAndCombosFlyUpAsText) {
    cGame* level = Load();
    const std::u16string noTips = translated("#NO_TIPS");
    ASSERT_FALSE(noTips.empty());
    struct Case {
        void (*show)(cGame*, Point2i);
        std::vector<std::u16string> texts;
    } cases[] = {
        // unpaid: not even the "no tips" line
        {[](cGame* g, Point2i p) { g->ShowTips(0, 7, p); }, {}},
        {[](cGame* g, Point2i p) { g->ShowTips(30, 0, p); }, {u"+30", noTips}},
        {[](cGame* g, Point2i p) { g->ShowTips(30, 4, p); }, {u"+30+4"}},
        {[](cGame* g, Point2i p) { g->ShowLoyaltyChange(0, p); }, {}},
        {[](cGame* g, Point2i p) { g->ShowLoyaltyChange(2, p); }, {translated("#INC_LOYALTY")}},
        {[](cGame* g, Point2i p) { g->ShowLoyaltyChange(-1, p); }, {translated("#DEC_LOYALTY")}},
        {[](cGame* g, Point2i p) { g->ShowCombo(0, p); }, {}},
        {[](cGame* g, Point2i p) { g->ShowCombo(3, p); }, {u"Combo x3!"}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Point2i at(100 + 10 * static_cast<int>(i), 400);
        const uint32_t before = level->FlyingThings().Count();
        cases[i].show(level, at);
        ASSERT_EQ(level->FlyingThings().Count() - before, cases[i].texts.size());
        for (size_t k = 0; k < cases[i].texts.size(); ++k) {
            const auto* item =
                dynamic_cast<const CFlyUpMoney*>(level->FlyingThings().At(before + k));
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(std::u16string(item->Text()), cases[i].texts[k]);
            // The "no tips" line starts 30 pixels above the payment.
            EXPECT_EQ(item->position.y, at.y - 30.0f * k);
        }
    }
    EXPECT_EQ(heardCount("combo"), 1);
}

TEST_F(Economy, GoalAndExpertGoalAreAnnouncedOnceEach) {
    cGame* level = Load();
    level->AddMoney(99, 0);
    EXPECT_EQ(heardCount("goal"), 0);
    // The shown total counts: the end drain's preview reaches the goal without money.
    level->AddMoney(20, 1);
    EXPECT_EQ(level->GetMoney(), 99);
    EXPECT_EQ(heardCount("goal"), 1);
    EXPECT_TRUE(bannerShows(level, "#GAME_GOAL_COMPLETE"));
    char text[64];
    findChild(level, "Goal")->GetTextA(text, sizeof text);
    EXPECT_STREQ(text, "Expert: 200");
    level->AddMoney(101, 0);
    EXPECT_EQ(heardCount("goal"), 2);
    EXPECT_TRUE(bannerShows(level, "#GAME_EXPERT_COMPLETE"));
    level->AddMoney(-200, 0);
    level->AddMoney(300, 0);
    EXPECT_EQ(heardCount("goal"), 2);
}

TEST_F(Economy, WinRule) {
    Write("");
    struct Case {
        int goalType;
        bool upgraded;
        int money, popularity, checkedOut;
        bool won;
    } cases[] = {
        {2, false, 100, 0, 2, true},
        {2, false, 70, 30, 2, true},  // popularity counts towards the cash goal
        {2, false, 99, 0, 2, false},
        {2, false, 500, 0, 1, false},  // the last client never checked out
        {3, false, 500, 0, 2, false},  // a mandatory upgrade not done loses past the expert goal
        {3, true, 100, 0, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        cGame level;
        for (int stage = 0; stage < cGame::kLoadStages; ++stage) level.LoadLevel(stage);
        for (int i = 0; i < 2; ++i) level.AddClient(new cClient);
        level.SetClientCount(2);
        gGoalType = c.goalType;
        if (c.upgraded) level.RecordRoomUpgrade();
        level.AddMoney(c.money, 0);
        level.AddPopularity(c.popularity, 0, Point2i(0, 0));
        for (int i = 0; i < c.checkedOut; ++i) level.ReleaseNextClient();
        EXPECT_EQ(level.IsLevelWon(), c.won);
        EXPECT_EQ(level.GetGoalType(), c.goalType);
    }
}

TEST_F(Economy, AllClientsArrivedWaitsForTheClientAMandatoryUpgradeHoldsBack) {
    cGame* level = Load();
    EXPECT_TRUE(level->AllClientsArrived());  // no clients: all of them are here
    gGoalType = 3;
    EXPECT_FALSE(level->AllClientsArrived());
    level->SetUpgradeSettled();
    EXPECT_TRUE(level->AllClientsArrived());
}

TEST_F(Economy, AWonLevelWindsDownThenEndsWhenTheLastClientIsOut) {
    cGame* level = Load();
    maid_->SetWaitPos(Point2i(400, 300));
    porter_->SetWaitPos(Point2i(420, 300));
    ServeTwo(true);
    cClient* first = level->GetClient(0);
    cClient* second = level->GetClient(1);
    cLevelObj* desk = level->FindLevelObjectByName("Desk");
    desk->GetRequest().Load(kCocktail, 0, desk, 0);
    desk->GetRequest().SetWaiting();
    jenny()->AddTask(kCocktail, desk);

    first->SetState(cClient::kStateInRoom);
    second->SetState(cClient::kStateOutside);
    Step();
    EXPECT_FALSE(level->AllServed());  // one is still in its room
    EXPECT_TRUE(desk->GetRequest().IsWaiting());

    first->SetState(cClient::kStateStanding);
    Step();
    EXPECT_TRUE(level->AllServed());
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);  // one is still in the hotel
    EXPECT_FALSE(desk->GetRequest().IsWaiting());
    EXPECT_EQ(jenny()->TaskCount(), 0);
    EXPECT_TRUE(room("Room1")->IsClosed());

    first->SetState(cClient::kStateOutside);
    Step();
    EXPECT_EQ(level->GetLevelState(), cGame::kLevelOver);
    EXPECT_EQ(heardCount("levelup"), 1);
    EXPECT_TRUE(bannerShows(level, "#GAME_LEVEL_UP"));
    for (cHero* hero : {static_cast<cHero*>(maid_), static_cast<cHero*>(porter_)}) {
        // On its way there, or already there when the walk map has no way to go.
        EXPECT_TRUE(hero->GetState() == cHero::kStateAtWaitPoint ||
                    hero->GetSubState() == cHero::kStateAtWaitPoint);
    }

    // Once the two stand at their wait points and Jenny is at her base, the three applaud.
    maid_->SetState(cHero::kStateAtWaitPoint);
    porter_->SetState(cHero::kStateAtWaitPoint);
    jenny()->SetState(cHero::kStateAtBase);
    Step();
    for (cHero* hero : {static_cast<cHero*>(maid_), static_cast<cHero*>(porter_), jenny()})
        EXPECT_EQ(hero->GetState(), cHero::kStateApplause);
    // The rule is decided once; the screen closes once the banner has come to rest.
    for (int i = 0; i < 2000 && WM::Get()->Count() > 0; ++i) Step();
    EXPECT_EQ(WM::Get()->Count(), 0);
    EXPECT_EQ(heardCount("levelup"), 1);
}

// A companion still in its room or passing its door keeps the level from its end: the doors are
// not shut on it, so it can come out after its partner.
TEST_F(Economy, ACompanionStillInItsRoomHoldsTheLevelsEnd) {
    program.write("Data/Clients/Guest/Guest.ini", "[Main]\nname=Guest\nloyalty=1\npair=Friend\n");
    program.write("Data/Clients/Friend/Friend.ini", "[Main]\nname=Friend\nloyalty=1\n");
    cGame* level = Load();
    ServeTwo(true);
    cClient* first = level->GetClient(0);
    ASSERT_TRUE(first->LoadLinked("Data/Clients/Guest/Guest.ini"));
    cClient* friendOf = static_cast<cClient*>(first->GetLinked());
    for (int i = 0; i < 2; ++i) level->GetClient(i)->SetState(cClient::kStateOutside);
    friendOf->SetState(cClient::kStateInRoom);
    Step();
    EXPECT_FALSE(level->AllServed());
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
    friendOf->SetState(cClient::kStateOutside);
    Step();
    EXPECT_TRUE(level->AllServed());
    EXPECT_EQ(level->GetLevelState(), cGame::kLevelOver);
}

TEST_F(Economy, ALevelWhoseLastCheckOutWasNeverServedIsLost) {
    cGame* level = Load();
    ServeTwo(false);
    level->ReleaseNextClient();
    for (int i = 0; i < 2; ++i) level->GetClient(i)->SetState(cClient::kStateOutside);
    Step();
    EXPECT_EQ(level->GetLevelState(), cGame::kLevelOver);
    EXPECT_EQ(heardCount("leveldefeat"), 1);
    EXPECT_TRUE(bannerShows(level, "#GAME_THANK_YOU"));
    EXPECT_EQ(jenny()->GetState(), cHero::kStateUnhappy);
    EXPECT_EQ(maid_->GetSubState(), 0);  // nobody walks to a wait point
    // The end drain's preview money announces no goal over a lost level.
    level->AddMoney(level->GetCashExpert(), 1);
    EXPECT_EQ(heardCount("goal"), 0);
    EXPECT_FALSE(bannerShows(level, "#GAME_GOAL_COMPLETE"));
}

TEST_F(Economy, AGuestLeavingAngryAtItsCheckOutFreesOneSlotOnly) {
    cGame* level = Load();
    Guests(2);
    level->AdmitNextClient();
    cClient* guest = level->GetClient(0);
    guest->MakeRequest();  // no requests in its stay: the check-out
    ASSERT_EQ(guest->GetRequest().GetKind(), kCheckOut);
    EXPECT_EQ(level->GetClientsGone(), 1);
    guest->OnServiceEnd(false);  // the failed check-out costs its last loyalty point
    EXPECT_EQ(guest->GetLoyalty(), 0);
    EXPECT_EQ(level->GetClientsGone(), 1);
    EXPECT_EQ(level->GetClientsIn(), 0);
    // The freed slot goes to the next guest: nobody is skipped.
    Step();
    EXPECT_EQ(level->GetClientsIn(), 1);
    EXPECT_NE(level->GetClient(1)->GetState(), cClient::kStateOutside);
}

TEST_F(Economy, EachServedClientsThresholdPreparesOneRoomUpgrade) {
    cGame* level = Load("", "uproom0=1, 1\n");
    Guests(1);
    level->AdmitNextClient();
    cClient* guest = level->GetClient(0);
    guest->DropOnRoom(room("Room1"));
    guest->SetState(cClient::kStateStanding);  // not settled in: the room cannot be upgraded now
    level->ReleaseNextClient();
    level->ReleaseNextClient();  // never past the client count
    EXPECT_EQ(level->GetClientsReleased(), 1);
    Step(39);
    EXPECT_EQ(level->GetServedTotal(), 0);  // the counter shows a check-out a second later
    Step();
    EXPECT_EQ(level->GetServedTotal(), 1);
    Step();
    EXPECT_TRUE(room("Room1")->IsUpgradePending());
    EXPECT_FALSE(room("Room2")->IsUpgradePending());
    EXPECT_TRUE(bannerShows(level, "#MSG_PREPARE_TO_UPGRADE_ROOM"));

    // Settled in, the guest lets the first room ask for its upgrade; the threshold, the last of
    // the list, is not acted on again for the second room.
    guest->SetState(cClient::kStateInRoom);
    Step(100);
    EXPECT_EQ(room("Room1")->GetRequest().GetKind(), kUpgrade);
    EXPECT_FALSE(room("Room2")->IsUpgradePending());
    EXPECT_EQ(room("Room2")->GetRequest().GetKind(), kNoRequest);
}

TEST_F(Economy, TheLastTwoClientsEvenOutTheirRequests) {
    // Nobody comes unless let in, and nobody tires of the check-in queue.
    cGame* level = Load("checkOutCleanInterval=100000000\nrequest_ttl=100000\n");
    Guests(4);
    for (int i = 0; i < 3; ++i) level->AdmitNextClient();
    level->ScheduleNextClient();
    ASSERT_EQ(level->GetClientsIn(), 2);
    cClient* second = level->GetClient(2);
    cClient* last = level->GetClient(3);
    int one = 1, five = 5;
    second->AddRequestCount(one);
    last->AddRequestCount(five);
    // One client still to come: it hands one request to the one before it, until that one has 2.
    Step(3);
    EXPECT_EQ(second->GetRemainingRequests(), 2);
    EXPECT_EQ(last->GetRemainingRequests(), 4);
    // Two clients left: half the difference moves over.
    level->ScheduleNextClient();
    Step(3);
    EXPECT_EQ(second->GetRemainingRequests(), 3);
    EXPECT_EQ(last->GetRemainingRequests(), 3);
}

// --- Cheat words --------------------------------------------------------------------------------

struct CheatCase {
    const char* word;
    int goalType;
    const char* mandatory;
    bool won;
};
void PrintTo(const CheatCase& c, std::ostream* out) { *out << c.word << " goal " << c.goalType; }

class CheatWords : public Economy, public ::testing::WithParamInterface<CheatCase> {};

TEST_P(CheatWords, EndTheLevelThroughTheWinRule) {
    const CheatCase& c = GetParam();
    gGoalType = c.goalType;
    cGame* level = Load(c.mandatory);
    Guests(2);
    level->AdmitNextClient();
    // A guest waiting for a cocktail: its request must not keep the level from ending.
    cClient* guest = level->GetClient(0);
    cLevelObj* desk = level->FindLevelObjectByName("Desk");
    guest->GetRequest().Load(kCocktail, 0, desk, 0);
    guest->GetRequest().SetWaiting();
    guest->SetState(cClient::kStateWaiting);
    level->AddPopularity(40, 0, Point2i(0, 0));
    type(c.word);
    Step();
    EXPECT_EQ(level->GetLevelState(), cGame::kLevelOver);
    EXPECT_EQ(heardCount(c.won ? "levelup" : "leveldefeat"), 1);
    EXPECT_EQ(level->GetPopularity(), 0);
    EXPECT_EQ(level->GetClientsReleased(), 2);
    EXPECT_FALSE(guest->IsVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Economy, CheatWords,
    ::testing::Values(CheatCase{"rz5top", 2, "", true}, CheatCase{"rz5fallen", 2, "", false},
                      // the grade-1 room is upgraded at once
                      CheatCase{"rz5climbed", 3, "mandatory_room_upgrades=2\n", true},
                      // no room of grade 3 to upgrade
                      CheatCase{"rz5top", 3, "mandatory_room_upgrades=4\n", false},
                      CheatCase{"rz5fallen", 3, "mandatory_room_upgrades=2\n", false}),
    [](const ::testing::TestParamInfo<CheatCase>& info) {
        return std::string(info.param.word) + "_goal" + std::to_string(info.param.goalType) + "_" +
               std::to_string(info.index);
    });

}  // namespace
