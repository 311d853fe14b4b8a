// Companions: made from the guest's file, following through the stay, the angry leave together,
// and the cowboy kid standing by, setting the baby crying and running between way points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/random.h"
#include "engine/platform/log.h"
#include "engine/snd/snd.h"
#include "engine/snd/snd_internal.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/client.h"
#include "world/pair.h"
#include "world/room.h"
#include "world/walkmap.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_pair", [] { logOpen(); });

// One check-in place, an anger point, one room; requests and rooms are found among the guests
// and their companions.
struct Lobby : FakeGame {
    cLevelObj* checkIn = nullptr;
    cLevelObj* anger = nullptr;
    cRoom* room = nullptr;
    std::vector<cClient*> guests;
    int weights[kRequestKinds] = {};
    int ttl = 1000, scheduled = 0;

    std::vector<cClient*> everyone() const {
        std::vector<cClient*> all;
        for (cClient* g : guests) {
            all.push_back(g);
            if (cClient* c = dynamic_cast<cClient*>(g->GetLinked())) all.push_back(c);
        }
        return all;
    }
    cLevelObj* GetFirstCheckInPlace() override { return checkIn; }
    cLevelObj* GetLastFreeCheckInPlace() override {
        return checkIn && !checkIn->IsOccupied() ? checkIn : nullptr;
    }
    cLevelObj* GetAngerPoint() override { return anger; }
    const cRequest* FindRequest(int kind, bool waiting) override {
        for (cClient* c : everyone())
            if (c->GetRequest().GetKind() == kind && (!waiting || c->GetRequest().IsWaiting()))
                return &c->GetRequest();
        return nullptr;
    }
    cBaseObj* FindClientAtObject(const cLevelObj* o) override {
        for (cClient* c : guests)
            if (c->GetRoom() == o) return c;
        return nullptr;
    }
    cLevelObj* FindRoomByNumber(int grade) override {
        return room && room->UpgradeLevel() == grade ? room : nullptr;
    }
    int GetRequestTtl() override { return ttl; }
    int GetRequestWeight(int k) override { return k < kRequestKinds ? weights[k] : 0; }
    void ScheduleNextClient() override { ++scheduled; }
};

// A 16-bit mono WAV of silence, long enough to be still playing while a test runs.
void writeSilence(const std::string& path) {
    const uint32_t samples = 44100, bytes = samples * 2;
    std::string w = "RIFF";
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) w += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&](uint16_t v) {
        w += static_cast<char>(v & 0xFF);
        w += static_cast<char>(v >> 8);
    };
    u32(36 + bytes);
    w += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(44100);
    u32(88200);
    u16(2);
    u16(16);
    w += "data";
    u32(bytes);
    w.append(bytes, '\0');
    writeFile(path, w);
}

class Pairs : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile("Data/Request/Request.ini",
                  "[CheckIn]\nhero=\n[CheckOut]\nhero=Jenny\nprice=50\n"
                  "[Cocktail]\nhero=Jenny\nplace=Table\nprice=20\n"
                  "[Phone]\nhero=Jenny\nplace=Room\nprice=10\n");
        levels("monsters_way=40,40; 7 ;x,3;160,160");
        writeFile("Data/Clients/Mum/Mum.ini",
                  "[Main]\nname=Mum\nloyalty=3\nspeed=4\npair=CowboyKid\n");
        writeFile("Data/Clients/CowboyKid/CowboyKid.ini",
                  "[Main]\nname=CowboyKid\nloyalty=3\nspeed=6\nfollow_offset_x=-20\n"
                  "follow_offset_y=4\nstand_offset=15,-5\nbaby_cry_sound=cry.wav\n");
        writeFile("Data/Clients/Dad/Dad.ini", "[Main]\nname=Dad\nloyalty=3\npair=Sister\n");
        // A kind that names itself would bring companions without end.
        writeFile("Data/Clients/Sister/Sister.ini",
                  "[Main]\nname=Sister\nloyalty=2\nfollow_offset_x=12\npair=Sister\n");
        writeFile("Data/Clients/Lone/Lone.ini", "[Main]\nname=Lone\npair=Ghost\n");
        writeFile("objects.ini",
                  "[Table]\nname=Table\nx=100\ny=100\nhero_x=-30\nhero_y=10\nclient_x=20\n"
                  "[Anger]\nname=Anger\nx=150\ny=20\nclient_x=5\n[Place]\nname=Place\nx=60\n"
                  "[R]\nname=R\nx=100\ny=40\n");
        table.Load("objects.ini", "Table");
        angerPoint.Load("objects.ini", "Anger");
        place.Load("objects.ini", "Place");
        room.Load("objects.ini", "R", 0);
        lobby.checkIn = &place;
        lobby.anger = &angerPoint;
        lobby.room = &room;
        lobby.heroes = {{"Jenny", &jenny}};
        lobby.weights[kPhone] = 1;
        lobby.weights[kCocktail] = 1;
        cWalkMap::SetCurrent(nullptr);
        gRandom.Seed(3);
    }
    void TearDown() override { cWalkMap::SetCurrent(nullptr); }

    static void levels(const std::string& main) {
        writeFile("Data/Episodes/e1/levels.ini",
                  "[Main]\n" + main + "\n[level1]\nDad=0,0,0\nSister=1,0,0\nMum=0,0,0\n");
    }
    cClient& guest(cClient& c, const char* kind) {
        const std::string file = std::string("Data/Clients/") + kind + "/" + kind + ".ini";
        c.Load(file.c_str());
        c.LoadLinked(file.c_str());
        lobby.guests.push_back(&c);
        return c;
    }
    // The client waits at the object for a request of that kind, elapsed ms into a 1000 ms wait.
    static void waitAt(cClient& c, int kind, cLevelObj* at, int elapsed) {
        c.GetRequest().Load(kind, 0, at, 0);
        c.GetRequest().SetWaitTime(1000);
        c.GetRequest().SetWaiting();
        c.GetRequest().Update(elapsed);
        c.SetState(cClient::kStateWaiting);
    }
    // "Dad" with his companion, queued, dropped on the room and settled there with her.
    cPairClient& settledPair(cClient& dad) {
        guest(dad, "Dad");
        auto& sister = *dynamic_cast<cPairClient*>(dad.GetLinked());
        EXPECT_TRUE(dad.EnterCheckInQueue());
        dad.DropOnRoom(&room);
        EXPECT_TRUE(stepUntil(dad, [&] { return sister.GetState() == cClient::kStateInRoom; }));
        return sister;
    }
    // Updates the partner (which updates its companion) until done() holds, at most n steps.
    template <typename Done>
    static bool stepUntil(cClient& c, Done done, int n = 400) {
        for (int i = 0; i < n; ++i) {
            if (done()) return true;
            c.Update(25);
        }
        return done();
    }
    static std::string log() { return testsupport::TempFolder::readFile("gerr.log"); }

    FakeProfile profile;
    Lobby lobby;
    FakeHero jenny;
    cLevelObj table, angerPoint, place;
    cRoom room;
};

TEST_F(Pairs, LoadMakesTheCompanionTheGuestsFileNames) {
    cClient mum, dad, lone;
    guest(mum, "Mum");
    guest(dad, "Dad");
    guest(lone, "Lone");

    auto* kid = dynamic_cast<CowboyKid*>(mum.GetLinked());
    ASSERT_NE(nullptr, kid);
    EXPECT_EQ(&mum, kid->GetPartner());
    EXPECT_EQ(cClient::kStateOutside, kid->GetState());
    EXPECT_EQ(-20, kid->GetFollowOffset().x);
    EXPECT_EQ(4, kid->GetFollowOffset().y);
    EXPECT_EQ(15, kid->GetStandOffset().x);
    EXPECT_EQ(-5, kid->GetStandOffset().y);
    // Its own pictures take the card game's records.
    EXPECT_STREQ("BotherStart", kid->Anim(CowboyKid::kAnimBotherStart)->section.c_str());
    EXPECT_STREQ("BotherLoop", kid->Anim(CowboyKid::kAnimBotherLoop)->section.c_str());
    EXPECT_STREQ("BotherEnd", kid->Anim(CowboyKid::kAnimBotherEnd)->section.c_str());
    EXPECT_STREQ("CardsIdle", kid->Anim(cClient::kAnimCardsIdle)->section.c_str());
    // Way points: groups of fewer than two parts are skipped, and so (logged) are non-numbers.
    ASSERT_EQ(2u, kid->GetWayPoints().size());
    EXPECT_EQ(160, kid->GetWayPoints()[1].x);
    EXPECT_NE(std::string::npos, log().find("\"x,3\""));

    // Any other kind is a plain companion, and a companion brings none of its own.
    auto* sister = dynamic_cast<cPairClient*>(dad.GetLinked());
    ASSERT_NE(nullptr, sister);
    EXPECT_EQ(nullptr, dynamic_cast<CowboyKid*>(sister));
    EXPECT_EQ(1, sister->GetRequestCount());
    EXPECT_FALSE(sister->LoadLinked("Data/Clients/Sister/Sister.ini"));
    EXPECT_EQ(nullptr, sister->GetLinked());
    EXPECT_NE(std::string::npos, log().find("no companion of its own"));

    // A pair without a file: the guest comes alone, logged.
    EXPECT_EQ(nullptr, lone.GetLinked());
    EXPECT_NE(std::string::npos, log().find("pair \"Ghost\" has no file"));

    // Asking again keeps the companion there is.
    EXPECT_TRUE(dad.LoadLinked("Data/Clients/Dad/Dad.ini"));
    EXPECT_EQ(sister, dad.GetLinked());
    EXPECT_FALSE(lone.LoadLinked("Data/Clients/Lone/Lone.ini"));
}

TEST_F(Pairs, TheCompanionFollowsIntoTheRoomAndTheCheckOutWaitsForIt) {
    cClient dad;
    guest(dad, "Dad");
    auto& sister = *dynamic_cast<cPairClient*>(dad.GetLinked());
    ASSERT_TRUE(dad.EnterCheckInQueue());
    EXPECT_EQ(cClient::kStateFollowing, sister.GetState());
    dad.Update(25);
    dad.Update(25);  // the companion moves before its partner: it keeps one step behind
    EXPECT_EQ(dad.GetBody().position.x + 12, sister.GetBody().position.x);
    EXPECT_EQ(dad.GetAnimIndex(), sister.GetAnimIndex());

    dad.DropOnRoom(&room);  // an exact fit: 3 becomes 4, and the companion takes it
    EXPECT_EQ(4, sister.GetLoyalty());
    int fadedTogether = 0;
    ASSERT_TRUE(stepUntil(dad, [&] {
        if (dad.GetState() == cClient::kStateEnteringRoom && sister.GetClientAlpha() < 255)
            ++fadedTogether;
        return sister.GetState() == cClient::kStateInRoom;
    }));
    EXPECT_GT(fadedTogether, 0);
    EXPECT_EQ(&room, sister.GetRoom());
    EXPECT_TRUE(sister.IsInOwnRoom());

    // The partner has no requests left, but no check-out while the companion has one to make.
    EXPECT_EQ(kNoRequest, dad.ChooseRequestKind());
    ASSERT_TRUE(stepUntil(dad, [&] { return sister.GetRequestsMade() == 1; }));
    EXPECT_EQ(kPhone, sister.GetRequest().GetKind());
    EXPECT_EQ(kNoRequest, dad.GetRequest().GetKind());
    sister.OnServiceEnd(true);
    EXPECT_TRUE(sister.IsFinished());
    sister.MakeRequest();  // its requests are used up: it never asks for its own check-out
    EXPECT_EQ(kNoRequest, sister.GetRequest().GetKind());

    ASSERT_TRUE(stepUntil(dad, [&] { return dad.GetRequest().GetKind() == kCheckOut; }));
    EXPECT_EQ(cClient::kStateFollowing, sister.GetState());
    EXPECT_EQ(1, lobby.scheduled);
}

TEST_F(Pairs, AnAngryLeaveTakesBothAndEachWaitsForTheOther) {
    // The companion's last loyalty point goes while it waits outside and its partner is in the
    // room: both leave, the next client is called once, and the companion stands at the anger
    // point until its partner is there too.
    cClient dad;
    cPairClient& sister = settledPair(dad);
    ASSERT_EQ(cClient::kStateInRoom, sister.GetState());
    waitAt(sister, kCocktail, &table, 0);
    while (sister.GetLoyalty() > 0) sister.BecomeAngrier();
    EXPECT_TRUE(sister.IsLeaving());
    EXPECT_TRUE(dad.IsLeaving());
    EXPECT_EQ(1, lobby.scheduled);
    EXPECT_EQ(nullptr, sister.GetRoom());
    EXPECT_EQ(cClient::kStateLeavingAngry, sister.GetState());
    EXPECT_EQ(cClient::kStateLeavingRoom, dad.GetState());
    int stoodAlone = 0;
    ASSERT_TRUE(stepUntil(dad, [&] {
        if (dad.GetState() != cClient::kStateLeavingAngry &&
            sister.GetState() == cClient::kStateLeavingAngry) {
            EXPECT_EQ(cClient::kAnimStand, sister.GetAnimIndex());
            ++stoodAlone;
        }
        return sister.GetState() == cClient::kStateFollowing;
    }));
    EXPECT_GT(stoodAlone, 5);  // the partner's fade through the door
    EXPECT_EQ(cClient::kStateLeavingAngry, dad.GetState());
    EXPECT_EQ(kClean, room.GetRequest().GetKind());  // the partner's leave asks for the cleaning
    ASSERT_TRUE(stepUntil(dad, [&] { return dad.GetState() == cClient::kStateOutside; }));
    EXPECT_EQ(1, lobby.scheduled);
    dad.Update(25);  // out of the hotel together, not left standing at the door
    EXPECT_EQ(cClient::kStateOutside, sister.GetState());

    // The partner first, while its companion follows it: the companion simply keeps following.
    cClient dad2;
    guest(dad2, "Dad");
    auto& sister2 = *dynamic_cast<cPairClient*>(dad2.GetLinked());
    place.ClearOccupied();
    ASSERT_TRUE(dad2.EnterCheckInQueue());
    dad2.LeaveAngry();
    EXPECT_FALSE(sister2.IsLeaving());
    EXPECT_EQ(cClient::kStateFollowing, sister2.GetState());
    ASSERT_TRUE(stepUntil(dad2, [&] { return sister2.GetState() == cClient::kStateOutside; }));
    EXPECT_FALSE(sister2.IsLeaving());
    EXPECT_EQ(2, lobby.scheduled);

}

// The partner leaves angry and its companion misses the moment: a service ending just then sends
// it straight out of the hotel, or it was following and then settled in the room. Either way
// both end outside, and the partner does not stand at the anger point for ever.
class PartnerLeaves : public Pairs, public ::testing::WithParamInterface<bool> {};

TEST_P(PartnerLeaves, NeverWaitingForEverForItsCompanion) {
    const bool settled = GetParam();
    cClient dad;
    cPairClient& sister = settledPair(dad);
    ASSERT_EQ(cClient::kStateInRoom, sister.GetState());
    if (settled) {
        sister.SetState(cClient::kStateFollowing);
        dad.LeaveAngry();
        EXPECT_FALSE(sister.IsLeaving());
        sister.SetState(cClient::kStateInRoom);
    } else {
        waitAt(sister, kCocktail, &table, 0);
        dad.LeaveAngry();
        sister.SetState(cClient::kStateOutside);
    }
    ASSERT_TRUE(stepUntil(dad, [&] {
        return dad.GetState() == cClient::kStateOutside && sister.GetState() == cClient::kStateOutside;
    })) << "partner " << dad.GetState() << ", companion " << sister.GetState();
}

INSTANTIATE_TEST_SUITE_P(Pairs, PartnerLeaves, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return i.param ? "CompanionSettledInTheRoom" : "CompanionWentOut";
                         });

class CowboyKids : public Pairs {
protected:
    void SetUp() override {
        Pairs::SetUp();
        // An open floor of 20 x 20 cells of 10 pixels.
        writeFile("Data/Episodes/e1/map.ini", "[Main]\noffset=0,0\nstep=10,10\nsize=200,200\n");
        ASSERT_TRUE(map.Load(1, Point2i(0, 0)));
        cWalkMap::SetCurrent(&map);
        writeSilence("cry.wav");
        sndInitWithoutDevice();
        gRandom.Seed(11);
    }
    void TearDown() override {
        sndDone();
        Pairs::TearDown();
    }
    bool near(const cBaseObj& o, Point2i p) const {
        const Vec2f d = o.GetBody().position - IntPointToVec2(p);
        return std::sqrt(d.x * d.x + d.y * d.y) < 10.0f;
    }
    static bool running(const CowboyKid& kid) {
        return kid.GetState() == cClient::kStateWalking &&
               kid.GetSubState() == CowboyKid::kStateBothering;
    }
    static sndSound* cry(cClient& c) { return c.GetBabyCrySound(); }

    cWalkMap map;
};

TEST_F(CowboyKids, StandsByThenSetsTheBabyCryingAndRunsBetweenWayPoints) {
    lobby.ttl = 10000;  // the baby's wait outlasts the run between the points
    cClient mum;
    guest(mum, "Mum");
    auto& kid = *dynamic_cast<CowboyKid*>(mum.GetLinked());
    // In the check-in queue it only follows.
    ASSERT_TRUE(mum.EnterCheckInQueue());
    ASSERT_TRUE(stepUntil(mum, [&] { return mum.GetState() == cClient::kStateWaiting; }));
    mum.Update(25);
    EXPECT_EQ(cClient::kStateFollowing, kid.GetState());

    // Waiting at the table: the kid stands beside it until a fifth of the wait and a bit is gone.
    place.ClearOccupied();
    waitAt(mum, kCocktail, &table, 0);
    mum.Update(25);
    EXPECT_EQ(CowboyKid::kStateBeside, kid.GetState());
    EXPECT_EQ(table.GetHeroPos().x + 15, kid.GetBody().position.x);
    EXPECT_EQ(table.GetHeroPos().y - 5, kid.GetBody().position.y);
    ASSERT_TRUE(stepUntil(mum, [&] { return kid.GetState() != CowboyKid::kStateBeside; }));
    EXPECT_GE(mum.GetStashedRequest().GetTimeRatio(), 0.23f);
    EXPECT_EQ(kCalmBaby, mum.GetRequest().GetKind());
    EXPECT_EQ(kCocktail, mum.GetStashedRequest().GetKind());
    EXPECT_TRUE(running(kid));

    // At a way point: the lasso, the cry, the loop, and on to the next point, crying all along.
    std::set<uint32_t> visited;
    int silent = 0;
    for (int i = 0; i < 600 && visited.size() < 2; ++i) {
        mum.Update(25);
        ASSERT_EQ(kCalmBaby, mum.GetRequest().GetKind());
        if (kid.GetState() == CowboyKid::kStateBotherLoop) {
            EXPECT_EQ(CowboyKid::kAnimBotherLoop, kid.GetAnimIndex());
            for (uint32_t p = 0; p < kid.GetWayPoints().size(); ++p)
                if (near(kid, kid.GetWayPoints()[p])) visited.insert(p);
        }
        if (!visited.empty() && !sndIsPlaying(cry(kid))) ++silent;
    }
    EXPECT_EQ(2u, visited.size());
    EXPECT_EQ(0, silent);

    // The baby is calmed: the partner's request comes back, the kid stands by again, its cry
    // stops, and it does not bother a second time during this wait.
    mum.OnServiceEnd(true);
    EXPECT_EQ(kCocktail, mum.GetRequest().GetKind());
    mum.Update(25);
    EXPECT_EQ(CowboyKid::kStateBeside, kid.GetState());
    EXPECT_FALSE(sndIsPlaying(cry(kid)));
    for (int i = 0; i < 10; ++i) mum.Update(25);
    EXPECT_EQ(CowboyKid::kStateBeside, kid.GetState());

    // Back in the room the kid may bother again at the next wait.
    mum.WalkTo(room.GetClientPos(), cClient::kStateInRoom, cClient::kStateWalking);
    mum.Update(25);
    EXPECT_EQ(cClient::kStateFollowing, kid.GetState());
    ASSERT_TRUE(stepUntil(mum, [&] { return kid.GetState() == cClient::kStateInRoom; }));
    waitAt(mum, kCocktail, &table, 300);
    mum.Update(25);
    mum.Update(25);
    EXPECT_TRUE(running(kid));
}

TEST_F(CowboyKids, WithoutWayPointsTheBabyStillCriesButTheKidStays) {
    levels("");
    cClient mum;
    guest(mum, "Mum");
    auto& kid = *dynamic_cast<CowboyKid*>(mum.GetLinked());
    EXPECT_EQ(0u, kid.GetWayPoints().size());
    waitAt(mum, kCocktail, &table, 0);
    mum.Update(25);
    const Vec2f spot = kid.GetBody().position;
    ASSERT_TRUE(stepUntil(mum, [&] { return mum.GetRequest().GetKind() == kCalmBaby; }));
    for (int i = 0; i < 20; ++i) mum.Update(25);
    EXPECT_EQ(CowboyKid::kStateBeside, kid.GetState());
    EXPECT_EQ(spot.x, kid.GetBody().position.x);
    EXPECT_EQ(spot.y, kid.GetBody().position.y);
}

}  // namespace
