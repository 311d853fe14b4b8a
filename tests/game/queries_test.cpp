// The level's finders over clients and objects, its check-in and check-out queues, clients coming
// and going, and the orders a click gives the heroes, on a small fixture hotel.
#include <cstring>
#include <string>
#include <vector>

#include "game/game_data.h"
#include "tests/game/level_harness.h"
#include "world/client.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/musician.h"
#include "world/porter.h"
#include "world/request.h"
#include "world/room.h"

namespace {

using leveltest::LevelHarness;

const char kAllObjects[] = "Desk,Bar,Table,Camera,Stage,WaitSpot,Mop,Kitchen,Room1,Room2,Band";

const char kObjectSections[] =
    "[Desk]\nname=Desk\n[Bar]\nname=Bar\n[Table]\nname=Table\n[Camera]\nname=Camera\n"
    "[Stage]\nname=Stage\n[WaitSpot]\nname=WaitSpot\n[Mop]\nname=Mop\n[Kitchen]\nname=Kitchen\n"
    "[Room1]\ntype=room\ngrade=0\nname=Room1\n[Room2]\ntype=room\ngrade=1\nname=Room2\n"
    "[Band]\nname=Band\ntype=musician\ninifile=Data/band.ini\n"
    "[In1]\nname=In1\n[In2]\nname=In2\n[In3]\nname=In3\n[Out1]\nname=Out1\n[Out2]\nname=Out2\n";

const char kRequests[] =
    "[CheckIn]\nhero=Jenny\n[CheckOut]\nhero=Jenny\ntarget=Desk\n"
    "[Cocktail]\nhero=Jenny\ntarget=Bar\nhand_obj=Glass\n[News]\nhero=Jenny\n"
    "[Food]\nhero=Porter\ntarget=Kitchen\n[Clean]\nhero=Maid\nhand_obj=Mop\n"
    "[Cards]\nhero=Porter\ntarget=Table\n[Photo]\nhero=Porter\ntarget=Camera\n"
    "[Music]\nhero=Jenny\ntarget=Band\n[Repair]\nhero=Porter\n[CalmBaby]\nhero=Jenny\n";

// A client the tests place by hand: its partner, its room and the request put aside.
class Guest : public cClient {
public:
    void Link(cClient* partner) { linked_ = partner; }  // the guest deletes it
    void StayIn(cRoom* room) { room_ = room; }
    cRequest& Stashed() { return stashed_; }
};

// A Maid with a thing in her hand from the start.
class HoldingMaid : public cMaid {
public:
    void Hold(const char* name) { copyHandName(leftHand_, name); }
};

// Loads a request of the kind on the object and brings it to a request state.
void ask(cRequest& request, int kind, cLevelObj* owner, int state) {
    request.Load(kind, 0, owner, 0);
    if (state == kRequestWaiting) request.SetWaiting();
    if (state == kRequestServing) request.SetServing();
    if (state == kRequestDone) request.SetDone();
}

class Queries : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        worldSetObjectMaker(kTypeRoom, makeRoom);
        worldSetObjectMaker(kTypeMusician, cMusician::Make);
        program.write("Data/shared.ini", "[WayPoints]\n0=level, 1, 0, 0\n");
        program.write("Data/Request/Request.ini", kRequests);
        program.write("Data/band.ini", "[Main]\nname=Band\noutline_obj=Stage\n");
        program.write("Data/Episodes/e1/map.ini",
                      "[Main]\nsize=64,64\nstep=32,32\n[map]\nnodes0=11\nnodes1=11\n");
        program.write("Data/Interface/interface.ini", "[Clients]\ntype=text\n");
        program.write("Data/translation.ini", "#INTERFACE_CLIENTS=Guests:\n");
    }
    void TearDown() override {
        worldSetTutorialHook(nullptr);
        LevelHarness::TearDown();
        worldSetObjectMaker(kTypeRoom, nullptr);
        worldSetObjectMaker(kTypeMusician, nullptr);
    }
    cGame* Load(const char* objects = kAllObjects, const std::string& level = "") {
        program.write("Data/Episodes/e1/objects.ini",
                      std::string("[Main]\nobjects=") + objects + "\n" + kObjectSections);
        program.write("Data/Episodes/e1/levels.ini",
                      "[Main]\ncheck_ins=In1, In2, In3\ncheck_outs=Out1, Out2\n"
                      "first_client_start_delay=100\n[level1]\n" + level);
        Start(false);
        game = gameCreateLevel();
        game->SetStaff(&maid, &porter);
        return game;
    }
    cLevelObj* object(const char* name) { return game->FindLevelObjectByName(name); }
    cRoom* room(const char* name) { return dynamic_cast<cRoom*>(object(name)); }
    // A new client at the end of the array, counted active.
    Guest* guest() {
        Guest* g = new Guest;
        game->AddClient(g);
        game->SetClientCount(game->GetClientArraySize());
        return g;
    }
    std::string counterText() {
        char text[64] = {};
        if (UIWnd* w = findChild(game, "Clients")) w->GetTextA(text, sizeof text);
        return text;
    }

    HoldingMaid maid;
    cPorter porter;
};

// --- Finders ------------------------------------------------------------------------------------

TEST_F(Queries, HeroesObjectsAndHandObjectsByName) {
    Load();
    const struct {
        const char* name;
        HeroLink* hero;
    } heroes[] = {{"Jenny", game->GetJenny()}, {"Maid", &maid},  {"Porter", &porter},
                  {"jenny", nullptr},          {"", nullptr},    {nullptr, nullptr},
                  {"Butler", nullptr}};
    for (const auto& c : heroes) EXPECT_EQ(game->GetHeroByName(c.name), c.hero) << c.name;

    ASSERT_NE(object("Desk"), nullptr);
    EXPECT_STREQ(object("Desk")->GetName(), "Desk");
    EXPECT_EQ(object("In2"), game->CheckIns()[1]);
    for (const char* name : {"", "desk", "Nowhere"}) EXPECT_EQ(object(name), nullptr) << name;
    EXPECT_EQ(game->FindLevelObjectByName(nullptr), nullptr);

    data("Data/HandObj/HandObjects.ini",
         "[Main]\nfname_format=Data/HandObj/%s.ini\nobjects=Glass\n");
    data("Data/HandObj/Glass.ini", "[Stand]\nspr_x=3\n[DownLeft]\nspr_x=8\n");
    LoadHandObjects();
    ASSERT_NE(game->GetHandObjectEntry("Glass", 0), nullptr);
    EXPECT_EQ(game->GetHandObjectEntry("Glass", 0)->spr_x, 3);
    ASSERT_NE(game->GetHandObjectEntry("Glass", 8), nullptr);
    EXPECT_EQ(game->GetHandObjectEntry("Glass", 8)->spr_x, 8);
    for (int index : {-1, 9}) EXPECT_EQ(game->GetHandObjectEntry("Glass", index), nullptr);
    for (const char* name : {"", "Cup", "glass"})
        EXPECT_EQ(game->GetHandObjectEntry(name, 0), nullptr) << name;
    EXPECT_EQ(game->GetHandObjectEntry(nullptr, 0), nullptr);
}

TEST_F(Queries, ClientsFoundByTheirRequestsTarget) {
    Load();
    Guest* a = guest();
    // Which request states a client is found in, by kind: a fetched kind is found until served.
    const struct {
        int kind, state;
        bool found;
    } cases[] = {
        {kCocktail, kRequestLoaded, true},  {kCocktail, kRequestWaiting, true},
        {kCocktail, kRequestServing, false}, {kCocktail, kRequestDone, true},
        {kCheckOut, kRequestLoaded, false}, {kCheckOut, kRequestWaiting, true},
        {kCheckOut, kRequestServing, false}, {kCheckOut, kRequestDone, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(RequestKindName(c.kind)) + " state " + std::to_string(c.state));
        ask(a->GetRequest(), c.kind, room("Room1"), c.state);
        cLevelObj* target = a->GetRequest().GetTarget();
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(game->FindClientByRequestTarget(target), c.found ? a : nullptr);
    }
    EXPECT_EQ(game->FindClientByRequestTarget(nullptr), nullptr);
}

TEST_F(Queries, EachClientIsTestedBeforeItsPartnerAndOnlyActiveClientsCount) {
    Load();
    Guest* a = guest();
    auto* partner = new Guest;
    a->Link(partner);
    Guest* b = guest();
    Guest* heldBack = guest();
    game->SetClientCount(2);
    ask(a->GetRequest(), kCards, object("Table"), kRequestWaiting);
    ask(partner->GetRequest(), kCheckOut, object("Out1"), kRequestWaiting);
    ask(b->GetRequest(), kCheckOut, object("Out1"), kRequestDone);
    ask(heldBack->GetRequest(), kPhoto, object("Stage"), kRequestWaiting);

    // The partner of the first client comes before the second client.
    EXPECT_EQ(game->FindClientByRequestTarget(object("Desk")), partner);
    EXPECT_EQ(game->FindClientByRequestOwner(object("Out1")), partner);
    EXPECT_EQ(game->FindClientByRequestOwner(object("Table")), a);
    // The held-back client is beyond the client count.
    EXPECT_EQ(game->FindClientByRequestTarget(object("Camera")), nullptr);
    EXPECT_EQ(game->FindClientByRequestOwner(object("Stage")), nullptr);
    // Found while waiting or done only.
    a->GetRequest().SetServing();
    EXPECT_EQ(game->FindClientByRequestOwner(object("Table")), nullptr);
    EXPECT_EQ(game->CountCheckOutRequests(), 1);  // the partner's is not counted
    EXPECT_EQ(game->CountRequestsOfKind(kCheckOut, nullptr), 2);
    EXPECT_EQ(game->CountRequestsOfKind(kCheckOut, b), 1);
    EXPECT_EQ(game->CountRequestsOfKind(kPhoto, nullptr), 0);

    // The client, not its partner, stands for the partner's waiting request.
    EXPECT_EQ(game->FindWaitingRequestOfHero(game->GetJenny()), a);
    EXPECT_EQ(game->FindWaitingRequestOfHero(&porter), nullptr);
    EXPECT_EQ(game->FindWaitingRequestOfHero(nullptr), nullptr);
    ask(object("Bar")->GetRequest(), kRepair, object("Bar"), kRequestWaiting);
    EXPECT_EQ(game->FindWaitingRequestOfHero(&porter), object("Bar"));

    game->SetClientCount(3);
    EXPECT_EQ(game->FindClientByRequestTarget(object("Camera")), heldBack);
    EXPECT_EQ(game->CountRequestsOfKind(kPhoto, a), 1);
}

// The finishing word sends every guest out, companions too: a companion left in its room would
// keep the level from ever ending.
TEST_F(Queries, FinishingTheLevelNowSendsTheCompanionsOutToo) {
    Load();
    Guest* a = guest();
    auto* partner = new Guest;
    a->Link(partner);
    a->StayIn(room("Room1"));
    partner->SetState(cClient::kStateInRoom);
    game->FinishLevelNow();
    EXPECT_EQ(a->GetState(), cClient::kStateOutside);
    EXPECT_EQ(partner->GetState(), cClient::kStateOutside);
    game->CheckLevelEnd(25);
    EXPECT_EQ(game->GetLevelState(), cGame::kLevelOver);
}

TEST_F(Queries, RoomsAndTheClientsInThem) {
    Load();
    Guest* a = guest();
    Guest* b = guest();
    b->StayIn(room("Room2"));
    const struct {
        int grade;
        const char* room;
    } rooms[] = {{0, "Room1"}, {1, "Room2"}, {2, nullptr}, {-1, nullptr}};
    for (const auto& c : rooms)
        EXPECT_EQ(game->FindRoomByNumber(c.grade), c.room ? object(c.room) : nullptr) << c.grade;
    EXPECT_EQ(game->FindClientAtObject(room("Room2")), b);
    EXPECT_EQ(game->FindClientAtObject(room("Room1")), nullptr);
    EXPECT_EQ(game->FindClientAtObject(nullptr), nullptr);

    // Gone clients are not waiting any more.
    a->SetState(cClient::kStateOutside);
    b->SetState(cClient::kStateInRoom);
    cArray<cClient*> waiting;
    waiting.push_back(a);
    game->GetWaitingClients(waiting);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0], b);
}

TEST_F(Queries, RequestsFoundByKindClientsBeforeObjects) {
    Load();
    Guest* a = guest();
    auto* partner = new Guest;
    a->Link(partner);
    guest();  // in its room, asking nothing
    // The baby cries over a Music request put aside.
    ask(a->GetRequest(), kCalmBaby, room("Room1"), kRequestServing);
    ask(a->Stashed(), kMusic, room("Room1"), kRequestWaiting);
    ask(partner->GetRequest(), kCocktail, room("Room1"), kRequestWaiting);
    ask(object("Desk")->GetRequest(), kCocktail, object("Desk"), kRequestWaiting);
    ask(object("Bar")->GetRequest(), kRepair, object("Bar"), kRequestLoaded);
    object("Bar")->SetState(1);

    const struct {
        int kind;
        bool waitingOnly;
        const cRequest* found;
    } cases[] = {
        {kCalmBaby, false, &a->GetRequest()},
        {kCalmBaby, true, nullptr},
        // matched by the request put aside; the client's own request is the answer
        {kMusic, false, &a->GetRequest()},
        {kMusic, true, nullptr},
        {kCocktail, true, &partner->GetRequest()},
        {kRepair, false, &object("Bar")->GetRequest()},
        {kRepair, true, nullptr},
        {kFood, false, nullptr},
        // from kNoRequest on: clients in state 1 and objects in state 1; a guest without a
        // request put aside is no match
        {kNoRequest, false, &object("Bar")->GetRequest()},
        {kNoRequest + 1, false, &object("Bar")->GetRequest()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(game->FindRequest(c.kind, c.waitingOnly), c.found)
            << c.kind << (c.waitingOnly ? " waiting" : "");
    a->SetState(cClient::kStateWaiting);
    EXPECT_EQ(game->FindRequest(kNoRequest + 1, false), &a->GetRequest());
}

// --- Places -------------------------------------------------------------------------------------

TEST_F(Queries, QueuesRunFromTheLastPlaceToTheFirst) {
    Load();
    const cArray<cLevelObj*>& in = game->CheckIns();
    const cArray<cLevelObj*>& out = game->CheckOuts();
    ASSERT_EQ(in.size(), 3u);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(game->GetFirstCheckInPlace(), in[0]);
    EXPECT_EQ(game->GetFirstCheckOutPlace(), out[0]);
    EXPECT_EQ(game->GetCheckOutPlaceCount(), 2);
    const struct {
        const char* occupied;  // places taken, by name
        cLevelObj *lastIn, *beforeIn3, *beforeIn2, *lastOut, *fromRoom, *beforeOut2;
    } cases[] = {
        {"", in[2], in[1], in[0], out[1], out[1], out[0]},
        {"In3,Out2", nullptr, in[1], in[0], nullptr, nullptr, out[0]},
        {"In1,In2,Out1", in[2], nullptr, nullptr, out[1], out[1], nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.occupied);
        for (cLevelObj* p : {in[0], in[1], in[2], out[0], out[1]}) {
            p->ClearOccupied();
            if (strstr(c.occupied, p->GetName())) p->SetOccupied();
        }
        EXPECT_EQ(game->GetLastFreeCheckInPlace(), c.lastIn);
        EXPECT_EQ(game->GetNextCheckInPlace(in[2]), c.beforeIn3);
        EXPECT_EQ(game->GetNextCheckInPlace(in[1]), c.beforeIn2);
        EXPECT_EQ(game->GetLastFreeCheckOutPlace(), c.lastOut);
        EXPECT_EQ(game->GetNextCheckOutPlace(room("Room1")), c.fromRoom);
        EXPECT_EQ(game->GetNextCheckOutPlace(out[1]), c.beforeOut2);
    }
    // The front place and objects outside a queue have nothing before them.
    for (cLevelObj* p : {in[0], object("Desk"), static_cast<cLevelObj*>(nullptr)}) {
        EXPECT_EQ(game->GetNextCheckInPlace(p), nullptr);
        EXPECT_EQ(game->GetNextCheckOutPlace(p), nullptr);
    }
}

// --- Clients coming and going -------------------------------------------------------------------

TEST_F(Queries, WithOneRoomTheNextClientComesACleanIntervalAfterTheFirstHasGone) {
    Load("Desk,Room1", "checkOutCleanInterval=500\n");
    Guest* first = guest();
    Guest* second = guest();
    game->SetLevelState(cGame::kPlaying);
    auto step = [&](int n) {
        for (int i = 0; i < n; ++i) {
            game->SetLevelState(cGame::kPlaying);
            game->Update(25);
        }
    };
    step(3);  // 75 ms: not yet
    EXPECT_EQ(game->GetClientsIn(), 0);
    step(1);
    EXPECT_EQ(game->GetClientsIn(), 1);
    EXPECT_TRUE(leveltest::wasHeard("door_main_bell"));
    EXPECT_EQ(first->GetRequest().GetKind(), kCheckIn);
    EXPECT_TRUE(game->CheckIns()[0]->IsOccupied());
    EXPECT_EQ(counterText(), "Guests: 1/2");
    EXPECT_EQ(game->ClientStartTimes().size(), 0u);
    step(40);
    EXPECT_EQ(game->GetClientsIn(), 1);  // the one room is taken
    EXPECT_EQ(second->GetRequest().GetKind(), kNoRequest);

    const int left = game->GetLevelClock();
    game->ScheduleNextClient();
    EXPECT_EQ(game->GetClientsGone(), 1);
    EXPECT_EQ(game->GetClientsIn(), 0);
    ASSERT_EQ(game->ClientStartTimes().size(), 1u);
    EXPECT_EQ(game->ClientStartTimes()[0], left + 500);
    // Every check-in place taken: the client waits, its time kept, until one frees.
    for (cLevelObj* p : {game->CheckIns()[0], game->CheckIns()[1], game->CheckIns()[2]})
        p->SetOccupied();
    step(21);
    EXPECT_EQ(game->GetClientsIn(), 0);
    EXPECT_EQ(game->ClientStartTimes().size(), 1u);
    game->CheckIns()[2]->ClearOccupied();
    step(1);
    EXPECT_EQ(game->GetClientsIn(), 1);
    EXPECT_EQ(second->GetRequest().GetKind(), kCheckIn);
    EXPECT_EQ(counterText(), "Guests: 2/2");

    // The last departure schedules no one; a second one of the same client is refused.
    game->ScheduleNextClient();
    game->ScheduleNextClient();
    EXPECT_EQ(game->GetClientsIn(), 0);
    EXPECT_EQ(game->GetClientsGone(), 2);
    EXPECT_EQ(game->ClientStartTimes().size(), 0u);
}

TEST_F(Queries, TheHeldBackClientComesAfterARoomUpgrade) {
    Load("Desk,Room1,Room2");
    Guest* first = guest();
    guest();
    game->SetClientCount(1);
    // Whether the first was admitted or not, the held-back one joins on the upgrade.
    EXPECT_TRUE(game->ActivateNextClient());
    EXPECT_EQ(game->GetClientCount(), 2);
    EXPECT_FALSE(game->ActivateNextClient());  // no further client in the array
    game->OnRoomUpgraded();
    game->OnRoomUpgraded();
    EXPECT_EQ(game->GetClientsIn(), 2);
    EXPECT_EQ(first->GetRequest().GetKind(), kCheckIn);
    // Two clients in two rooms: a third one waits for a room.
    guest();
    game->OnRoomUpgraded();
    EXPECT_EQ(game->GetClientsIn(), 2);
}

TEST_F(Queries, TheClientArrayHoldsTwoHundredAndActivationStopsAt199) {
    Load("Desk");
    for (int i = 0; i < cGame::kMaxClients; ++i) ASSERT_TRUE(game->AddClient(new Guest));
    EXPECT_FALSE(game->AddClient(new Guest));  // deleted, not leaked
    EXPECT_EQ(game->GetClientArraySize(), cGame::kMaxClients);
    game->SetClientCount(198);
    EXPECT_TRUE(game->ActivateNextClient());
    EXPECT_FALSE(game->ActivateNextClient());
    EXPECT_EQ(game->GetClientCount(), 199);
    game->SetClientCount(500);
    EXPECT_EQ(game->GetClientCount(), cGame::kMaxClients);
}

// --- Service orders -----------------------------------------------------------------------------

std::vector<std::string> heardHints;
void hearHint(const char* name) { heardHints.push_back(name); }

TEST_F(Queries, AClickQueuesTheServiceWithTheRightHeroAndLocks) {
    Load();
    heardHints.clear();
    worldSetTutorialHook(hearHint);
    Guest* a = guest();
    a->StayIn(room("Room1"));
    cJenny* jenny = game->GetJenny();
    ASSERT_NE(jenny, nullptr);

    EXPECT_EQ(game->OrderService(nullptr), 0);

    // Cocktail: the bar gets the task and the tutorial hears of it.
    ask(a->GetRequest(), kCocktail, room("Room1"), kRequestWaiting);
    EXPECT_EQ(game->OrderService(object("Bar")), 1);
    ASSERT_EQ(jenny->TaskCount(), 1);
    EXPECT_EQ(jenny->Task(0).kind, kCocktail);
    EXPECT_EQ(jenny->Task(0).target, object("Bar"));
    EXPECT_TRUE(object("Bar")->IsEnabled());
    EXPECT_EQ(heardHints, std::vector<std::string>{"Cocktail_Start"});

    // Jenny's waiting spot stays unlocked: the client whose request it carries is locked.
    ask(a->GetRequest(), kNews, object("WaitSpot"), kRequestWaiting);
    object("WaitSpot")->SetAttached(&a->GetRequest());
    EXPECT_EQ(game->OrderService(object("WaitSpot")), 1);
    EXPECT_FALSE(object("WaitSpot")->IsEnabled());
    EXPECT_TRUE(a->IsEnabled());
    ASSERT_EQ(jenny->TaskCount(), 2);
    EXPECT_EQ(jenny->Task(1).kind, kNews);
    EXPECT_EQ(jenny->Task(1).target, object("WaitSpot"));

    // A click on the musician's stage orders the music at the musician.
    a->Disable();
    object("WaitSpot")->SetAttached(nullptr);
    ask(a->GetRequest(), kMusic, room("Room1"), kRequestWaiting);
    ASSERT_NE(dynamic_cast<cMusician*>(object("Band")), nullptr);
    EXPECT_EQ(game->OrderService(object("Stage")), 1);
    ASSERT_EQ(jenny->TaskCount(), 3);
    EXPECT_EQ(jenny->Task(2).kind, kMusic);
    EXPECT_EQ(jenny->Task(2).target, object("Band"));
    EXPECT_TRUE(object("Band")->IsEnabled());
    EXPECT_TRUE(room("Room1")->IsEnabled());
    EXPECT_FALSE(a->IsEnabled());  // the owner is the room, not the musician

    // A check-in is served by dragging, never ordered.
    ask(object("Desk")->GetRequest(), kCheckIn, object("Desk"), kRequestWaiting);
    EXPECT_EQ(game->OrderService(object("Desk")), 0);
    EXPECT_EQ(jenny->TaskCount(), 3);
}

// Once Jenny goes for a cocktail the bar does not light for the same guest again: a second click
// would send her for one that nobody waits for. A second guest asking lights it once more.
TEST_F(Queries, TheBarLightsAgainOnlyForAGuestJennyIsNotFetchingFor) {
    Load();
    Guest* a = guest();
    a->StayIn(room("Room1"));
    cJenny* jenny = game->GetJenny();
    ASSERT_NE(jenny, nullptr);
    ask(a->GetRequest(), kCocktail, room("Room1"), kRequestWaiting);
    EXPECT_TRUE(object("Bar")->IsActionable());
    ASSERT_EQ(game->OrderService(object("Bar")), 1);
    object("Bar")->Disable();  // as after her fetch: the bar is free again, the task still hers
    EXPECT_FALSE(object("Bar")->IsActionable());
    Guest* b = guest();
    b->StayIn(room("Room2"));
    ask(b->GetRequest(), kCocktail, room("Room2"), kRequestWaiting);
    EXPECT_TRUE(object("Bar")->IsActionable());
    EXPECT_EQ(game->CountWaitingFor(kCocktail, object("Bar")), 2);
}

TEST_F(Queries, KindsThatNeedTheHeroQueueNothingWhileItIsOffDuty) {
    Load();
    Guest* a = guest();
    const struct {
        const char* name;
        int kind;
        const char* click;  // the object clicked; the request is the client's unless own is set
        const char* owner;
        bool own;
        bool byMaid;  // else the Porter serves it
        const char* taskTarget;
    } cases[] = {
        {"clean", kClean, "Table", "Table", true, true, "Table"},
        {"food", kFood, "Kitchen", "Room1", false, false, "Kitchen"},
        {"cards", kCards, "Table", "Table", false, false, "Table"},
        {"photo", kPhoto, "Camera", "Stage", false, false, "Camera"},
        {"repair", kRepair, "Bar", "Bar", true, false, "Bar"},
    };
    for (bool offDuty : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (offDuty ? " off duty" : ""));
            // Fresh staff for every case; off duty is waiting at the base.
            cMaid maidNow;
            cPorter porterNow;
            game->SetStaff(&maidNow, &porterNow);
            cHero& hero = c.byMaid ? static_cast<cHero&>(maidNow) : porterNow;
            hero.SetState(offDuty ? cHero::kStateAtBase : cHero::kStateIdle);
            ASSERT_EQ(hero.IsUnavailable(), offDuty);
            game->UnlockObjects(nullptr);
            a->Disable();
            ask(c.own ? object(c.click)->GetRequest() : a->GetRequest(), c.kind, object(c.owner),
                kRequestWaiting);
            // Food is ordered whatever the hero does; the others wait for the hero.
            const bool queued = !offDuty || c.kind == kFood;
            EXPECT_EQ(game->OrderService(object(c.click)), queued ? 1 : 0);
            ASSERT_EQ(hero.TaskCount(), queued ? 1 : 0);
            if (queued) {
                EXPECT_EQ(hero.Task(0).kind, c.kind);
                EXPECT_EQ(hero.Task(0).target, object(c.taskTarget));
            }
            EXPECT_EQ(object(c.click)->IsEnabled(), queued);
            // Cards lock where the client sits, Photo the client itself.
            if (c.kind == kCards) {
                EXPECT_EQ(object("Table")->IsEnabled(), queued);
            }
            if (c.kind == kPhoto) {
                EXPECT_EQ(a->IsEnabled(), queued);
            }
            // The requests name this case's heroes: none may outlive them.
            a->GetRequest().Reset();
            for (const char* o : {"Table", "Kitchen", "Camera", "Bar", "Stage"})
                object(o)->GetRequest().Reset();
        }
    }
    game->SetStaff(&maid, &porter);
}

TEST_F(Queries, AHeldHandObjectIsNotFetchedAgainAndANaturalOrderNeedsARequest) {
    Load();
    ask(object("Mop")->GetRequest(), kClean, object("Mop"), kRequestWaiting);
    maid.Hold("Mop");
    maid.SetState(cHero::kStateIdle);
    EXPECT_EQ(game->OrderService(object("Mop")), 1);
    EXPECT_EQ(maid.TaskCount(), 0);
    EXPECT_TRUE(object("Mop")->IsEnabled());

    // Cards on a table nobody sits at and nothing attached: nothing ordered, nothing locked.
    ask(object("Table")->GetRequest(), kCards, object("Table"), kRequestWaiting);
    EXPECT_EQ(game->OrderService(object("Table")), 0);
    EXPECT_EQ(porter.TaskCount(), 0);
    EXPECT_FALSE(object("Table")->IsEnabled());
    // A plain object without any request orders nothing.
    EXPECT_EQ(game->OrderService(object("Desk")), 0);

    // Unlocking by name leaves the other locked objects alone.
    object("Desk")->Enable();
    game->UnlockObjects("Mop");
    EXPECT_FALSE(object("Mop")->IsEnabled());
    EXPECT_TRUE(object("Desk")->IsEnabled());
}

}  // namespace
