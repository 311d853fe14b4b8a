// Clients: the stay from arrival to leaving, queues, the drop onto a room, request choice,
// payment and mood, the crying baby.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/client.h"
#include "world/draw_list.h"
#include "world/hero.h"
#include "world/room.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_client", [] { logOpen(); });


class Staff : public cHero {
public:
    bool IsUnavailable() const override { return false; }
    void Summon(int) override {}
};

// A hotel: two check-in places, two check-out places, rooms and the level's values.
struct Hotel : FakeGame {
    std::vector<cLevelObj*> checkIn, checkOut;
    std::vector<cClient*> guests;
    std::vector<cRoom*> rooms;
    int ttl = 1000, maxTip = 10, weights[kRequestKinds] = {};
    float direct = 1, indirect = 1;
    int outdoorA = 0, outdoorB = 0;
    int scheduled = 0, released = 0;
    std::vector<std::pair<int, int>> popularity;  // amount, fly
    std::vector<int> money, loyaltyShown;
    cBaseObj* dragged = nullptr;

    static cLevelObj* frontFree(const std::vector<cLevelObj*>& q, const cLevelObj* p) {
        for (size_t i = 1; i < q.size(); ++i)
            if (q[i] == p) return q[i - 1]->IsOccupied() ? nullptr : q[i - 1];
        return nullptr;
    }
    static cLevelObj* lastFree(const std::vector<cLevelObj*>& q) {
        for (size_t i = q.size(); i-- > 0;)
            if (!q[i]->IsOccupied()) return q[i];
        return nullptr;
    }
    cLevelObj* GetFirstCheckInPlace() override { return checkIn.empty() ? nullptr : checkIn[0]; }
    cLevelObj* GetLastFreeCheckInPlace() override { return lastFree(checkIn); }
    cLevelObj* GetNextCheckInPlace(const cLevelObj* p) override { return frontFree(checkIn, p); }
    cLevelObj* GetFirstCheckOutPlace() override { return checkOut.empty() ? nullptr : checkOut[0]; }
    cLevelObj* GetLastFreeCheckOutPlace() override { return lastFree(checkOut); }
    cLevelObj* GetNextCheckOutPlace(const cLevelObj* p) override { return frontFree(checkOut, p); }
    cBaseObj* FindClientAtObject(const cLevelObj* o) override {
        for (cClient* c : guests)
            if (c->GetRoom() == o) return c;
        return nullptr;
    }
    const cRequest* FindRequest(int kind, bool waiting) override {
        for (cClient* c : guests)
            if (c->GetRequest().GetKind() == kind && (!waiting || c->GetRequest().IsWaiting()))
                return &c->GetRequest();
        return nullptr;
    }
    int CountRequestsOfKind(int kind, const cBaseObj* except) override {
        int n = 0;
        for (cClient* c : guests)
            if (c != except && c->GetRequest().GetKind() == kind) ++n;
        return n;
    }
    cLevelObj* FindRoomByNumber(int grade) override {
        for (cRoom* r : rooms)
            if (r->UpgradeLevel() == grade) return r;
        return nullptr;
    }
    cBaseObj* GetDraggedObject() override { return dragged; }
    int GetRequestTtl() override { return ttl; }
    int GetRequestWeight(int k) override { return k < kRequestKinds ? weights[k] : 0; }
    void GetDecreaseRatios(float* d, float* i) override {
        *d = direct;
        *i = indirect;
    }
    void GetOutdoorRequestPriority(int* a, int* b) override {
        *a = outdoorA;
        *b = outdoorB;
    }
    int GetMaxCostTipClient() override { return maxTip; }
    void AddPopularity(int amount, int fly, Point2i) override { popularity.push_back({amount, fly}); }
    void AddMoney(int amount, int) override { money.push_back(amount); }
    void ShowLoyaltyChange(int change, Point2i) override { loyaltyShown.push_back(change); }
    void ScheduleNextClient() override { ++scheduled; }
    void ReleaseNextClient() override { ++released; }
};

class Clients : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile("Data/Request/Request.ini",
                  "[CheckIn]\nhero=\n[CheckOut]\nhero=Jenny\ntarget=Desk\nprice=50\n"
                  "[Clean]\nhero=Jenny\n"
                  "[Cocktail]\nhero=Jenny\ntarget=Bar\nplace=Room,Table\nprice=20\nhand_obj=c\n"
                  "[Food]\nhero=Jenny\ntarget=Kitchen\nplace=Room\nprice=30\n"
                  "[Phone]\nhero=Jenny\nplace=Room\nprice=10\n"
                  "[Cards]\nhero=Porter\nplace=Table\n"
                  "[Music]\nhero=Jenny\ntarget=Bar\nprice=30\n"
                  "[DecreaseRatio]\ndirect=0.5\nindirect=0.5\n");
        writeFile("Data/Episodes/e1/levels.ini", "[level1]\nTester=3,500,0;Phone,-1000;Food,2\n");
        writeFile("client.ini",
                  "[Main]\nname=Tester\nloyalty=3\nthink_time=100\nbaby_cry=0\n"
                  "[RoomPreferences]\nsingle=1\ndouble=3\nluxe=3\npresident=0\n");
        for (auto* p : {&ci0, &ci1}) hotel.checkIn.push_back(p);
        for (auto* p : {&co0, &co1}) hotel.checkOut.push_back(p);
        hotel.heroes = {{"Jenny", &jenny}, {"Porter", &porter}};
        hotel.objects = {{"Bar", &bar}, {"Desk", &desk}, {"Table", &table}};
        hotel.weights[kCocktail] = 2;
        hotel.weights[kFood] = 1;
        hotel.weights[kPhone] = 5;
        writeFile("room.ini", "[R]\nname=R\n");
        for (int g = 0; g < 4; ++g) {
            rooms[g].Load("room.ini", "R", g);
            hotel.rooms.push_back(&rooms[g]);
        }
    }
    cClient& guest(cClient& c, const char* ini = "client.ini") {
        c.Load(ini);
        hotel.guests.push_back(&c);
        return c;
    }
    void steps(cClient& c, int n) {
        for (int i = 0; i < n; ++i) c.Update(25);
    }

    FakeProfile profile;
    Hotel hotel;
    Sounds sounds;
    Staff jenny, porter;
    cLevelObj ci0, ci1, co0, co1, bar, desk, table;
    cRoom rooms[4];
};

TEST_F(Clients, LoadReadsTheKindAndTheLevelsLine) {
    cClient c;
    guest(c);
    EXPECT_EQ(cClient::kStateOutside, c.GetState());
    EXPECT_EQ(3, c.GetLoyalty());
    EXPECT_EQ(3, c.GetRequestCount());
    EXPECT_EQ(600, c.GetThinkTime());
    // Phone is lowered to none and its weight leaves the total; Food gains 2.
    EXPECT_EQ(0, c.GetWeight(kPhone));
    EXPECT_EQ(3, c.GetWeight(kFood));
    EXPECT_EQ(5, c.GetWeightTotal());

    // A kind the level does not offer cannot be raised, and loyalty is kept within 0..5.
    writeFile("Data/Episodes/e1/levels.ini", "[level1]\nOther=1,2;Clean,4\n");
    writeFile("other.ini", "[Main]\nname=Other\nloyalty=9\n");
    cClient o;
    guest(o, "other.ini");
    EXPECT_EQ(0, o.GetWeight(kClean));
    EXPECT_EQ(0, o.GetRequestCount());  // fewer than three numbers: unchanged
    EXPECT_EQ(5, o.GetLoyalty());
}

TEST_F(Clients, ATypicalStayFromArrivalToItsFirstRequest) {
    // No walk map: every walk arrives at once, so the walking state never shows.
    cClient c;
    guest(c);
    std::vector<std::pair<int, int>> seen;
    auto note = [&] {
        const std::pair<int, int> s(c.GetState(), c.GetSubState());
        if (seen.empty() || seen.back() != s) seen.push_back(s);
    };
    ASSERT_TRUE(c.EnterCheckInQueue());
    note();
    EXPECT_EQ(&ci0, c.GetRequest().GetOwner());
    c.Update(25);
    EXPECT_TRUE(c.GetRequest().IsWaiting());
    EXPECT_EQ(&c.GetRequest(), ci0.GetAttached());
    // Single 1, double 3, luxe 3, president 0: luxe, the highest of the best liked.
    EXPECT_EQ(2, c.GetRequest().GetGrade());
    c.DropOnRoom(&rooms[2]);
    EXPECT_EQ(4, c.GetLoyalty());
    note();
    gRandom.Seed(5);
    int entering = 0;
    for (int i = 0; i < 200 && c.GetState() != cClient::kStateWaiting; ++i) {
        c.Update(25);
        entering += c.GetState() == cClient::kStateEnteringRoom;
        note();
    }
    ASSERT_EQ(cClient::kStateWaiting, c.GetState());
    EXPECT_EQ(17, entering);  // the step that arrives, then 17 fading steps, the last one inside
    EXPECT_EQ(nullptr, ci0.GetAttached());
    EXPECT_FALSE(ci0.IsOccupied());
    std::vector<std::pair<int, int>> stay = {{1, 0}, {5, 3}, {15, 0}, {3, 0}, {1, 0}};
    if (c.GetRequest().GetOwner() != static_cast<cLevelObj*>(&rooms[2]))
        stay.insert(stay.end() - 1, {16, 1});  // out through the door to the table
    EXPECT_EQ(stay, seen);
    EXPECT_EQ(1, c.GetRequestsMade());
}

TEST_F(Clients, OnlyTheHeadOfTheQueueLosesTime) {
    cClient a, b;
    guest(a);
    guest(b);
    ASSERT_TRUE(a.EnterCheckInQueue());
    ASSERT_TRUE(b.EnterCheckInQueue());
    EXPECT_EQ(&ci1, b.GetRequest().GetOwner());
    // Arriving makes a request wait, so the first step counts before the queue holds it.
    steps(a, 1);
    steps(b, 1);
    const int held = b.GetRequest().GetElapsed();
    steps(a, 4);
    steps(b, 4);
    EXPECT_TRUE(a.GetRequest().IsWaiting());
    EXPECT_TRUE(b.GetRequest().IsServing());
    EXPECT_EQ(held, b.GetRequest().GetElapsed());
    EXPECT_EQ(125, a.GetRequest().GetElapsed());
    // The head goes to a room: the second moves up and starts waiting.
    a.DropOnRoom(&rooms[0]);
    ci0.ClearOccupied();
    ci0.SetAttached(nullptr);
    steps(b, 2);
    EXPECT_EQ(&ci0, b.GetRequest().GetOwner());
    EXPECT_TRUE(b.GetRequest().IsWaiting());
}

TEST_F(Clients, DropsByFitAndOnOccupiedRooms) {
    const struct {
        int roomGrade;
        bool taken;
        int loyalty, loyaltyAfter, state;
    } cases[] = {
        {2, false, 3, 4, cClient::kStateReacting},      // exact fit
        {1, false, 3, 3, cClient::kStateReacting},      // one off
        {0, false, 3, 2, cClient::kStateReacting},      // two off
        {2, false, 5, 5, cClient::kStateReacting},      // already at the top
        {2, true, 3, 2, cClient::kStateWaiting},        // taken: back to its place
        {2, true, 1, 0, cClient::kStateLeavingAngry},   // the last point: it leaves
    };
    for (const auto& k : cases) {
        cClient client;
        guest(client);
        ci0.ClearOccupied();
        ci0.SetAttached(nullptr);
        ASSERT_TRUE(client.EnterCheckInQueue());
        client.Update(25);
        while (client.GetLoyalty() < k.loyalty) client.BecomeHappier();
        while (client.GetLoyalty() > k.loyalty) client.BecomeAngrier();
        hotel.loyaltyShown.clear();
        hotel.popularity.clear();
        cRoom& room = rooms[k.roomGrade];
        if (k.taken) room.GetRequest().Load(kClean, 0, &room, 0);
        client.DropOnRoom(&room);
        const std::string what = std::to_string(k.roomGrade) + (k.taken ? " taken " : " free ") +
                                 std::to_string(k.loyalty);
        EXPECT_EQ(k.loyaltyAfter, client.GetLoyalty()) << what;
        EXPECT_EQ(k.state, client.GetState()) << what;
        EXPECT_EQ(k.loyaltyAfter == k.loyalty ? 0u : 1u, hotel.loyaltyShown.size()) << what;
        if (k.taken) {
            EXPECT_EQ((std::vector<std::pair<int, int>>{{-10, 0}}), hotel.popularity) << what;
            EXPECT_EQ(nullptr, client.GetRoom()) << what;
        } else {
            EXPECT_EQ(&room, client.GetRoom()) << what;
        }
        room.GetRequest().Reset();
        hotel.guests.pop_back();
    }
}

TEST_F(Clients, RequestChoiceFollowsWeightsAndWhatTheLevelAsks) {
    cClient c;
    guest(c);
    // Weights now: Cocktail 2, Food 3 (Phone lowered to none).
    const auto choose = [&](cClient& who, uint32_t seed) {
        gRandom.Seed(seed);
        return who.ChooseRequestKind();
    };
    int picks[kRequestKinds + 1] = {};
    for (uint32_t s = 0; s < 50; ++s) ++picks[choose(c, s)];
    EXPECT_GT(picks[kCocktail], 0);
    EXPECT_GT(picks[kFood], picks[kCocktail]);
    EXPECT_EQ(50, picks[kCocktail] + picks[kFood]);

    hotel.direct = hotel.indirect = 0.5f;
    // Two cocktails asked elsewhere: direct 0.5 twice takes 2 to 0; Food, of the same hero, is
    // lowered by indirect 0.5 twice, 3 to 1 to 0: nothing is left to ask.
    cClient x, y;
    guest(x);
    guest(y);
    x.GetRequest().Load(kCocktail, 0, &bar, 0);
    y.GetRequest().Load(kCocktail, 0, &bar, 0);
    EXPECT_EQ(kNoRequest, choose(c, 1));
    hotel.guests.resize(1);

    // Equal weights: the kind asked last has half (1 / 2 = 0), so the other one comes.
    hotel.weights[kCocktail] = 1;
    hotel.weights[kFood] = 1;
    hotel.weights[kPhone] = 0;
    writeFile("Data/Episodes/e1/levels.ini", "[level1]\nTester=5,0,0\n");
    cClient d;
    guest(d);
    d.DropOnRoom(&rooms[2]);
    d.MakeRequest();
    const int first = d.GetRequest().GetKind();
    ASSERT_TRUE(first == kCocktail || first == kFood);
    for (uint32_t s = 0; s < 10; ++s) EXPECT_NE(first, choose(d, s));
}

TEST_F(Clients, NoFreePlaceMeansNoRequestThisTime) {
    hotel.weights[kPhone] = 0;
    cClient d;
    guest(d);
    d.DropOnRoom(&rooms[2]);
    rooms[2].SetOccupied();
    table.SetOccupied();
    d.MakeRequest();
    EXPECT_EQ(kNoRequest, d.GetRequest().GetKind());
    EXPECT_EQ(0, d.GetRequestsMade());
    EXPECT_NE(kNoRequest, d.GetFailedKind());
    rooms[2].ClearOccupied();
    d.MakeRequest();
    EXPECT_EQ(1, d.GetRequestsMade());
    EXPECT_EQ(kNoRequest, d.GetFailedKind());
}

TEST_F(Clients, OutdoorPriorityDrawsBetweenRoomAndObject) {
    cClient c;
    guest(c);
    c.DropOnRoom(&rooms[2]);
    hotel.outdoorA = 1;
    hotel.outdoorB = 3;
    int outdoor = 0;
    for (uint32_t s = 0; s < 400; ++s) {
        gRandom.Seed(s);
        Random copy = gRandom;
        const bool expectOutdoor = copy.IntInclusive(3) <= 1;
        cLevelObj* place = c.FindRequestPlace(kCocktail);
        EXPECT_EQ(expectOutdoor ? &table : static_cast<cLevelObj*>(&rooms[2]), place);
        outdoor += expectOutdoor;
    }
    EXPECT_GT(outdoor, 150);
    EXPECT_LT(outdoor, 250);
}

TEST_F(Clients, FastServicesEarnPopularityAndSlowOnesOnlyMoney) {
    const struct {
        int kind, elapsed;
        int popularity, loyalty;
    } cases[] = {
        {kCocktail, 190, 10, 4},  // (10 + 0) x 1 + 0, a loyalty point
        {kCocktail, 200, 0, 3},   // too slow: money only
        {kCheckOut, 100, 5, 3},   // a tenth of the price, no loyalty
    };
    for (const auto& k : cases) {
        hotel.popularity.clear();
        hotel.money.clear();
        cClient c;
        c.Load("client.ini");
        Staff hero;
        hotel.heroes["Jenny"] = &hero;
        c.GetRequest().Load(k.kind, 0, &table, 0);
        c.GetRequest().SetWaitTime(1000);
        c.GetRequest().SetWaiting();
        c.GetRequest().Update(k.elapsed);
        c.OnServiceEnd(true);
        EXPECT_EQ((std::vector<std::pair<int, int>>{{k.popularity, 1}}), hotel.popularity) << k.kind << " " << k.elapsed;
        EXPECT_EQ(std::vector<int>{k.kind == kCheckOut ? 50 : 20}, hotel.money);
        EXPECT_EQ(k.loyalty, c.GetLoyalty());
        hotel.heroes["Jenny"] = &jenny;
    }
}

// A tune is paid once: while the guest listens its request no longer waits, so neither a click
// on the musician nor one on the guest can order (and pay) it again.
TEST_F(Clients, AListeningGuestIsNotServedTheSameTuneAgain) {
    cClient c;
    c.Load("client.ini");
    c.GetRequest().Load(kMusic, 0, &table, 0);
    c.GetRequest().SetWaiting();
    c.SetState(cClient::kStateWaiting);
    c.OnServiceEnd(true);
    EXPECT_EQ(cClient::kStateListening, c.GetState());
    EXPECT_FALSE(c.GetRequest().IsWaiting());
    EXPECT_EQ(std::vector<int>{30}, hotel.money);
}

// A card or casino game ends with the client's own service end: won or lost, it then walks back
// to its room instead of sitting at the table for good.
TEST_F(Clients, AfterACardOrCasinoGameTheClientGoesBackToItsRoom) {
    for (int kind : {kCards, kCasino})
        for (bool success : {true, false}) {
            cClient c;
            guest(c);
            c.DropOnRoom(&rooms[1]);
            c.GetRequest().Load(kind, 0, &table, 0);
            c.GetRequest().SetWaiting();
            c.SetState(kind == kCards ? cClient::kStateCards : cClient::kStateCasino);
            c.OnServiceEnd(success);
            EXPECT_EQ(cClient::kStateReacting, c.GetState()) << kind << " " << success;
            EXPECT_EQ(3, c.GetSubState()) << kind << " " << success;
            // While it reacts, a game it has won no longer waits at the table: the Porter's
            // next task there is for the other chair's guest.
            if (success) {
                EXPECT_TRUE(c.GetRequest().IsServing()) << kind;
            }
            c.Update(25);  // no pictures: the reaction has played at once
            EXPECT_NE(cClient::kStateCards, c.GetState()) << kind << " " << success;
            EXPECT_NE(cClient::kStateCasino, c.GetState()) << kind << " " << success;
            EXPECT_EQ(kNoRequest, c.GetRequest().GetKind()) << kind << " " << success;
        }
}

// The Porter takes a table game's request as he starts to deal; when the task is withdrawn
// before he seats the guest (another guest's failed order at the same table), the guest stops
// waiting for him.
TEST_F(Clients, AGuestWhoseTakenTableGameIsWithdrawnStopsWaiting) {
    cClient c;
    guest(c);
    c.DropOnRoom(&rooms[1]);
    c.GetRequest().Load(kCards, 0, &table, 0);
    c.GetRequest().SetWaiting();
    c.SetState(cClient::kStateWaiting);
    porter.AddTask(kCards, &table);
    c.GetRequest().SetDone();
    c.Update(25);
    EXPECT_EQ(cClient::kStateWaiting, c.GetState()) << "the Porter is on his way";
    porter.RemoveTask(kCards, &table);
    c.Update(25);
    EXPECT_EQ(cClient::kStateReacting, c.GetState());
    EXPECT_EQ(2, c.GetLoyalty()) << "an unserved order costs a point";

    // Withdrawn in the middle of the game: the guest at the cards gets up too.
    cClient d;
    guest(d);
    d.DropOnRoom(&rooms[1]);
    d.GetRequest().Load(kCards, 0, &table, 0);
    porter.AddTask(kCards, &table);
    d.GetRequest().SetDone();
    d.SetState(cClient::kStateCards);
    d.Update(25);
    EXPECT_EQ(cClient::kStateCards, d.GetState()) << "the Porter deals";
    porter.RemoveTask(kCards, &table);
    d.Update(25);
    EXPECT_EQ(cClient::kStateReacting, d.GetState());
}

TEST_F(Clients, LoyaltyStopsAtFiveAndLeavesAtZero) {
    writeFile("five.ini", "[Main]\nname=Five\nloyalty=5\n");
    cClient top;
    guest(top, "five.ini");
    top.BecomeHappier();
    EXPECT_EQ(5, top.GetLoyalty());
    EXPECT_TRUE(hotel.loyaltyShown.empty());

    writeFile("one.ini", "[Main]\nname=One\nloyalty=1\n");
    cClient last;
    guest(last, "one.ini");
    last.BecomeAngrier();
    EXPECT_EQ(0, last.GetLoyalty());
    EXPECT_TRUE(last.IsLeaving());
    EXPECT_EQ(std::vector<int>{-1}, hotel.loyaltyShown);
    EXPECT_EQ(1, hotel.scheduled);

    // The last point lost to a failed service: the reaction to it leaves the client on its way
    // out, not settled back in its room or at its place with its leave spent.
    for (int kind : {kPhone, kCocktail, kCards}) {
        cClient c;
        guest(c, "one.ini");
        // In its room for the phone, at the table for the others.
        if (kind == kPhone) c.DropOnRoom(&rooms[1]);  // one grade off: no loyalty change
        c.GetRequest().Load(kind, 0, kind == kPhone ? static_cast<cLevelObj*>(&rooms[1]) : &table, 0);
        c.GetRequest().SetWaiting();
        c.SetState(cClient::kStateWaiting);
        c.OnServiceEnd(false);
        EXPECT_TRUE(c.IsLeaving()) << kind;
        EXPECT_TRUE(c.GetState() == cClient::kStateLeavingRoom || c.GetState() == cClient::kStateWalking ||
                    c.GetState() == cClient::kStateLeavingAngry)
            << kind << ": state " << c.GetState();
    }
}

TEST_F(Clients, AFailedCheckOutOnTheLastPointSchedulesTheNextClientOnce) {
    writeFile("Data/Episodes/e1/levels.ini", "[level1]\nOne=0,0,0\n");
    writeFile("one.ini", "[Main]\nname=One\nloyalty=1\n");
    cClient c;
    guest(c, "one.ini");
    c.DropOnRoom(&rooms[1]);  // one grade off: no loyalty change
    c.MakeRequest();  // no requests in the stay: the check-out
    ASSERT_EQ(kCheckOut, c.GetRequest().GetKind());
    EXPECT_EQ(1, hotel.scheduled);
    c.OnServiceEnd(false);
    EXPECT_EQ(0, c.GetLoyalty());
    EXPECT_EQ(1, hotel.scheduled);
}

TEST_F(Clients, ATimedOutCheckInLeavesWithoutALoyaltyLoss) {
    cClient c;
    guest(c);
    ASSERT_TRUE(c.EnterCheckInQueue());
    for (int i = 0; i < 200 && c.GetState() == cClient::kStateWaiting; ++i) c.Update(25);
    EXPECT_EQ(3, c.GetLoyalty());
    EXPECT_EQ(1, hotel.scheduled);
    EXPECT_EQ(cClient::kStateReacting, c.GetState());
    EXPECT_EQ(4, c.GetSubState());
}

TEST_F(Clients, ABabyCriesOncePastItsFractionAndDoublesOtherClocks) {
    writeFile("baby.ini", "[Main]\nname=Baby\nloyalty=1\nbaby_cry=0.5\n");
    cClient mum, other;
    guest(mum, "baby.ini");
    guest(other);
    mum.GetRequest().Load(kCocktail, 0, &table, 0);
    mum.GetRequest().SetWaitTime(1000);
    mum.SetState(cClient::kStateWaiting);
    mum.GetRequest().SetWaiting();
    for (int i = 0; i < 20; ++i) mum.Update(25);  // 500 ms: not past half yet
    EXPECT_EQ(kCocktail, mum.GetRequest().GetKind());
    mum.Update(25);
    EXPECT_EQ(kCalmBaby, mum.GetRequest().GetKind());
    EXPECT_EQ(kCocktail, mum.GetStashedRequest().GetKind());

    other.GetRequest().Load(kCocktail, 0, &bar, 0);
    other.GetRequest().SetWaitTime(100000);
    other.SetState(cClient::kStateWaiting);
    other.GetRequest().SetWaiting();
    other.Update(25);
    EXPECT_EQ(50, other.GetRequest().GetElapsed());
}

TEST_F(Clients, AFrightOutsideARoomSendsTheClientHome) {
    cClient c;
    guest(c);
    ASSERT_TRUE(c.EnterCheckInQueue());
    c.Update(25);
    c.Scare(false);
    EXPECT_EQ(cClient::kStateScared, c.GetState());
    c.Update(25);  // no pictures: the fright has played at once
    EXPECT_EQ(cClient::kStateReacting, c.GetState());
    EXPECT_EQ(4, c.GetSubState());
    EXPECT_EQ(1, hotel.scheduled);
    c.Update(25);
    EXPECT_EQ(cClient::kStateOutside, c.GetState());
    EXPECT_FALSE(ci0.IsOccupied());

    cClient d;  // with a room it goes back in, and nobody new is called
    guest(d);
    d.DropOnRoom(&rooms[1]);
    d.Scare(false);
    d.Update(25);
    EXPECT_EQ(3, d.GetSubState());
    EXPECT_EQ(1, hotel.scheduled);
}

TEST_F(Clients, ClicksOrderServicesOnlyWhenTheyCanBeServed) {
    cClient c;
    guest(c);
    ASSERT_TRUE(c.EnterCheckInQueue());
    c.Update(25);
    EXPECT_TRUE(c.CanOrderService());  // the head of the check-in queue
    hotel.dragged = &c;
    EXPECT_FALSE(c.CanOrderService());
    hotel.dragged = nullptr;
    c.Enable();  // already ordered
    EXPECT_FALSE(c.CanOrderService());
    c.Disable();

    // A cocktail at the table: only once the hero holds it or is on the way to fetch it.
    c.GetRequest().Load(kCocktail, 0, &table, 0);
    c.GetRequest().SetWaiting();
    EXPECT_FALSE(c.CanOrderService());
    jenny.AddTask(kCocktail, &bar);
    EXPECT_TRUE(c.CanOrderService());
    c.SetState(cClient::kStateReacting);
    EXPECT_FALSE(c.CanOrderService());

    // A check-out at the front place is ordered once: Jenny's other errands at the desk unlock
    // it while the first order still waits in her queue.
    c.SetState(cClient::kStateWaiting);
    c.GetRequest().Load(kCheckOut, 0, &co0, 0);
    c.GetRequest().SetWaiting();
    ASSERT_EQ(&desk, c.GetRequest().GetTarget());
    EXPECT_TRUE(c.CanOrderService());
    jenny.AddTask(kCheckOut, &desk);
    EXPECT_FALSE(c.CanOrderService());
}

TEST_F(Clients, DrawingShowsTheGuestOnlyInsideTheHotel) {
    writePicture("guest.tga", 4, 4, 255, 0, 0);
    writeFile("drawn.ini", "[Main]\nname=Tester\nloyalty=2\n[Stand]\nsprite=guest.tga\n"
                           "period=1000\nframes=1\n");
    cClient c;
    guest(c, "drawn.ini");
    DrawTarget target(4, 4, "clienttarget");
    DrawList list;
    c.Draw(&list);  // outside: nothing
    EXPECT_EQ(0, target.at(1, 1));
    ASSERT_TRUE(c.EnterCheckInQueue());
    c.Update(25);
    c.GetBody().position = Vec2f(0, 0);
    c.Draw(&list);  // waiting with its bubble at the place
    EXPECT_EQ(0xF800, target.at(1, 1));
}

}  // namespace
