// The bundled first level on a 1024 x 768 display, played through the window manager: the hints
// that clients, heroes and the level raise freeze the level until their spot is clicked, a hint
// sends a dragged guest back unless it points at the guest's room, a gift or sweets picked up
// with a click go to the guest clicked next with a swelling copy of their image, a right click
// withdraws orders, and a room's upgrade leaves its record.
#include <cstring>
#include <memory>
#include <string>

#include "engine/gr/gr.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "game/panel.h"
#include "game/profile.h"
#include "game/tutorial.h"
#include "tests/game/display.h"
#include "tests/game/level_harness.h"
#include "tests/game/scripted_player.h"
#include "world/client.h"
#include "world/flower.h"
#include "world/gift.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/request.h"
#include "world/room.h"

namespace {

using leveltest::LevelHarness;

// A point of the first level where neither an object nor the interface answers a click.
const Point2i kEmpty(420, 290);

class HintsAndGifts : public LevelHarness {
protected:
    void SetUp() override {
        GameFolder::SetUp();
        testdisplay::open();
        if (HasFatalFailure()) return;
        Start(true);
    }
    void TearDown() override {
        player_.reset();
        cTutorial::Free();
        LevelHarness::TearDown();
        testdisplay::close();
    }

    // The level playing, with the player's gift and sweets in the hotel and hints on or off.
    cGame* PlayWith(bool hints) {
        gCurrentProfile->SetTutorialOn(hints);
        for (const char* object : {"Gift", "Sweets"})
            gCurrentProfile->InsertObjectItem(gCurrentProfile->MakeObjectItem(object));
        Play();
        EXPECT_TRUE(PlayOn());
        player_ = std::make_unique<ScriptedPlayer>(game, ScriptedPlayer::AtWindowManager());
        return game;
    }
    // Steps until the head of the check-in queue waits to be carried to a room.
    cClient* WaitingGuest() {
        cClient* guest = nullptr;
        for (int i = 0; i < 2000 && !guest; ++i) {
            guest = player_->HeadOfCheckIn();
            if (!guest) Step();
        }
        return guest;
    }
    // Carries the guest into a free room and steps until it is in.
    void PutInRoom(cClient* guest) {
        cRoom* room = player_->FreeRoomFor(guest);
        ASSERT_NE(room, nullptr);
        guest->DropOnRoom(room);
        for (int i = 0; i < 2000 && guest->GetState() != cClient::kStateInRoom; ++i) Step();
        ASSERT_EQ(guest->GetState(), cClient::kStateInRoom);
    }
    // Cuts the guest's stay to one request and steps until it waits at the desk to check out.
    void StepToCheckOut(cClient* guest) {
        int fewer = 1 - guest->GetRemainingRequests();
        guest->AddRequestCount(fewer);
        auto checkingOut = [&] {
            return guest->GetRequest().GetKind() == kCheckOut && guest->CanOrderService();
        };
        for (int i = 0; i < 10000 && !checkingOut(); ++i) Step();
        ASSERT_TRUE(checkingOut());
    }
    template <class T>
    T* Find() {
        for (int i = 0; i < game->GetObjectCount(); ++i)
            if (T* o = dynamic_cast<T*>(game->GetObject(i))) return o;
        return nullptr;
    }
    static Point2i SpotCentre() {
        return gTutorial->spotPos + Point2i(gTutorial->spotSize.x / 2, gTutorial->spotSize.y / 2);
    }
    static bool InSpot(Point2i p) {
        const Point2i a = gTutorial->spotPos, b = a + gTutorial->spotSize;
        return p.x >= a.x && p.x <= b.x && p.y >= a.y && p.y <= b.y;
    }

    // One frame of the whole level into a back buffer.
    static void Render() {
        HSPRITE screen = grScreen();
        HSPRITE target = grCreateSprite(1024, 768, "hand-over test back buffer");
        grSetTarget(target);
        WM::Get()->Render();
        grSetTarget(screen);
        grFreeSprite(target);
    }

    std::unique_ptr<ScriptedPlayer> player_;
};

// The guest's own hint stops the level; the click on the guest closes it and picks the guest up,
// which points at its room without letting go of it; the click on the room puts it there.
TEST_F(HintsAndGifts, CheckInHintsFreezeTheLevelAndTheirClosingClicksCarryTheGuestIn) {
    cGame* level = PlayWith(true);
    for (int i = 0; i < 2000 && level->GetLevelState() != cGame::kTutorial; ++i) Step();
    ASSERT_EQ(level->GetLevelState(), cGame::kTutorial);
    ASSERT_NE(gOpenHint, nullptr);
    EXPECT_STREQ(gOpenHint->name.c_str(), "CheckIn_Start");
    Render();
    cClient* guest = player_->HeadOfCheckIn();
    ASSERT_NE(guest, nullptr);

    // Frozen: no clock, no walking, no arrivals; a click off the spot changes nothing.
    const int clock = level->GetLevelClock();
    const int clientsIn = level->GetClientsIn();
    const Vec2f stood = guest->GetBody().position;
    Step(40);
    player_->Click(Point2i(1000, 20));
    EXPECT_EQ(level->GetLevelState(), cGame::kTutorial);
    EXPECT_EQ(level->GetLevelClock(), clock);
    EXPECT_EQ(level->GetClientsIn(), clientsIn);
    EXPECT_EQ(guest->GetBody().position.x, stood.x);
    EXPECT_EQ(guest->GetBody().position.y, stood.y);

    cRoom* room = dynamic_cast<cRoom*>(level->FindRoomByNumber(guest->GetRequest().GetGrade()));
    ASSERT_NE(room, nullptr);
    const Point2i from = ScriptedPlayer::HitPoint(guest);
    ASSERT_TRUE(InSpot(from));
    player_->Press(from);
    EXPECT_TRUE(gTutorial->WasShown("CheckIn_Start"));
    EXPECT_EQ(level->GetDraggedObject(), guest);
    ASSERT_EQ(level->GetLevelState(), cGame::kTutorial);
    EXPECT_STREQ(gOpenHint->name.c_str(), "CheckIn_End");
    const Body& rb = room->GetBody();
    const Point2i corner = (rb.position + rb.boundOffset).ToPoint2i();
    EXPECT_EQ(gTutorial->spotPos.x, corner.x);
    EXPECT_EQ(gTutorial->spotPos.y, corner.y);

    const Point2i to = ScriptedPlayer::HitPoint(room);
    ASSERT_TRUE(InSpot(to));
    player_->MoveTo(to);
    player_->Press(to);
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
    EXPECT_EQ(level->GetDraggedObject(), nullptr);
    EXPECT_EQ(guest->GetRoom(), room);
    EXPECT_TRUE(gTutorial->WasShown("CheckIn_End"));
}

// Any hint but the one at the room sends a carried guest back to its place.
TEST_F(HintsAndGifts, AHintDuringADragSendsTheGuestBackUnlessItPointsAtTheRoom) {
    cGame* level = PlayWith(true);
    for (const char* shown : {"CheckIn_Start", "CheckIn_End"}) gTutorial->MarkShown(shown);
    cClient* guest = WaitingGuest();
    ASSERT_NE(guest, nullptr);
    const Vec2f stood = guest->GetBody().position;
    const struct {
        const char* hint;
        bool keepsDrag;
    } cases[] = {{"CheckIn_End", true}, {"Baby", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hint);
        player_->Press(ScriptedPlayer::HitPoint(guest));
        player_->MoveTo(Point2i(600, 400));
        ASSERT_EQ(level->GetDraggedObject(), guest);
        gTutorial->FindHint(c.hint)->shown = false;
        level->OnTutorialEvent(c.hint, kEmpty - Point2i(20, 20), Point2i(40, 40));
        EXPECT_EQ(level->GetLevelState(), cGame::kTutorial);
        EXPECT_EQ(level->GetDraggedObject() == guest, c.keepsDrag);
        if (!c.keepsDrag) {
            EXPECT_EQ(guest->GetBody().position.x, stood.x);
            EXPECT_EQ(guest->GetBody().position.y, stood.y);
            EXPECT_TRUE(guest->GetRequest().IsWaiting());
        }
        // A click on the empty spot closes the hint; the level's own click then puts the guest
        // back.
        player_->Click(SpotCentre());
        EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
        EXPECT_EQ(level->GetDraggedObject(), nullptr);
    }
}

// No hint opens when it was shown, the player's hints are off, the file lacks it, the spot is at
// the origin, or the level is not playing; the heroes' "was it shown" answers as the tutorial.
TEST_F(HintsAndGifts, HintsShownOffMissingOrOutOfPlayNeverOpen) {
    cGame* level = PlayWith(true);
    gTutorial->MarkShown("Baby");
    const struct {
        const char* what;
        const char* hint;
        Point2i at;
        bool hintsOn;
        int state;
    } cases[] = {
        {"shown before", "Baby", {300, 300}, true, cGame::kPlaying},
        {"hints off", "CheckOut", {300, 300}, false, cGame::kPlaying},
        {"not in the file", "Nowhere", {300, 300}, true, cGame::kPlaying},
        {"at the origin", "CheckOut", {0, 0}, true, cGame::kPlaying},
        {"in the get-ready", "CheckOut", {300, 300}, true, cGame::kGetReady},
        {"at the level's end", "CheckOut", {300, 300}, true, cGame::kLevelOver},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gCurrentProfile->SetTutorialOn(c.hintsOn);
        level->SetLevelState(c.state);
        level->OnTutorialEvent(c.hint, c.at, Point2i(30, 30));
        level->OnTutorialEventAt(c.hint, c.at, 15);
        EXPECT_EQ(level->GetLevelState(), c.state);
        EXPECT_EQ(gOpenHint, nullptr);
    }
    level->SetLevelState(cGame::kPlaying);
    gCurrentProfile->SetTutorialOn(true);
    EXPECT_FALSE(level->TutorialHintShown("Clean_Start"));
    EXPECT_TRUE(level->TutorialHintShown("Baby"));
    gCurrentProfile->SetTutorialOn(false);
    EXPECT_TRUE(level->TutorialHintShown("Clean_Start"));
}

// A click picks the gift up and a second puts it back; picked up again, it goes to the waiting
// guest clicked next with a swelling copy of its image there, or to the guest in the room clicked
// next. A click on nobody gives nothing.
TEST_F(HintsAndGifts, AGiftPickedUpGoesToTheGuestClickedNext) {
    cGame* level = PlayWith(false);
    cGift* gift = Find<cGift>();
    ASSERT_NE(gift, nullptr);
    ASSERT_EQ(gift->GetCount(), 3);
    cClient* guest = WaitingGuest();
    ASSERT_NE(guest, nullptr);
    const Point2i onGift = ScriptedPlayer::HitPoint(gift);
    const Point2i onGuest = ScriptedPlayer::HitPoint(guest);
    ASSERT_TRUE(onGift.x >= 0 && onGuest.x >= 0);

    player_->Click(onGift);
    EXPECT_EQ(level->GetSelectedDragObject(), gift);
    Render();  // carried under the pointer
    player_->Click(onGift);
    EXPECT_EQ(level->GetSelectedDragObject(), nullptr);

    // Off every guest: the gift is put down unused.
    const uint32_t flying = level->FlyingThings().Count();
    player_->Click(onGift);
    player_->Click(kEmpty);
    EXPECT_EQ(level->GetSelectedDragObject(), nullptr);
    EXPECT_EQ(gift->GetCount(), 3);
    EXPECT_EQ(level->FlyingThings().Count(), flying);

    const int loyalty = guest->GetLoyalty();
    ASSERT_LT(loyalty, cClient::kMaxLoyalty);
    player_->Click(onGift);
    player_->Click(onGuest);
    EXPECT_EQ(level->GetSelectedDragObject(), nullptr);
    EXPECT_EQ(gift->GetCount(), 2);
    EXPECT_EQ(guest->GetLoyalty(), loyalty + 1);
    // The guest is handed the gift, not carried off to a room.
    EXPECT_EQ(level->GetDraggedObject(), nullptr);
    const CScalingObject* image = nullptr;
    for (uint32_t i = flying; i < level->FlyingThings().Count(); ++i)
        if (auto* s = dynamic_cast<const CScalingObject*>(level->FlyingThings().At(i))) {
            EXPECT_EQ(image, nullptr);
            image = s;
        }
    ASSERT_NE(image, nullptr);
    Render();
    EXPECT_FLOAT_EQ(image->position.x, static_cast<float>(onGuest.x));
    EXPECT_FLOAT_EQ(image->position.y, static_cast<float>(onGuest.y));
    // It swells and fades away.
    Step(30);
    for (uint32_t i = 0; i < level->FlyingThings().Count(); ++i)
        EXPECT_EQ(dynamic_cast<const CScalingObject*>(level->FlyingThings().At(i)), nullptr);

    // A guest staying in its room is handed a gift by a click on the room.
    cRoom* room = player_->FreeRoomFor(guest);
    ASSERT_NE(room, nullptr);
    guest->DropOnRoom(room);
    for (int i = 0; i < 2000 && guest->GetState() != cClient::kStateInRoom; ++i) Step();
    ASSERT_EQ(guest->GetState(), cClient::kStateInRoom);
    guest->BecomeAngrier();  // room for the gift's point
    const int before = guest->GetLoyalty();
    ASSERT_LT(before, cClient::kMaxLoyalty);
    player_->Click(onGift);
    player_->Click(ScriptedPlayer::HitPoint(room));
    EXPECT_EQ(gift->GetCount(), 1);
    EXPECT_EQ(guest->GetLoyalty(), before + 1);
}

// Sweets picked up and handed to a guest whose baby cries calm it at once: the guest asks again
// what it asked before, and its loyalty stays (sweets only cheer).
TEST_F(HintsAndGifts, SweetsHandedToACryingBabysGuestCalmIt) {
    cGame* level = PlayWith(false);
    cSweets* sweets = Find<cSweets>();
    ASSERT_NE(sweets, nullptr);
    EXPECT_EQ(level->GetSweets(), sweets);
    ASSERT_EQ(sweets->GetCount(), 4);
    cClient* guest = WaitingGuest();
    ASSERT_NE(guest, nullptr);
    cRoom* room = player_->FreeRoomFor(guest);
    ASSERT_NE(room, nullptr);
    guest->DropOnRoom(room);
    // The guest goes out for a service in the lobby, where its baby may cry.
    auto outside = [&] {
        return guest->GetState() == cClient::kStateWaiting && guest->GetRequest().IsWaiting() &&
               !guest->IsInOwnRoom();
    };
    for (int i = 0; i < 4000 && !outside(); ++i) Step();
    ASSERT_TRUE(outside());
    const int asked = guest->GetRequest().GetKind();
    guest->StartBabyCry();
    ASSERT_EQ(guest->GetRequest().GetKind(), kCalmBaby);
    const int loyalty = guest->GetLoyalty();

    player_->Click(ScriptedPlayer::HitPoint(sweets));
    ASSERT_EQ(level->GetSelectedDragObject(), sweets);
    Render();  // the last candy under the pointer, the others in the bowl
    const uint32_t flying = level->FlyingThings().Count();
    player_->Click(ScriptedPlayer::HitPoint(guest));
    EXPECT_EQ(level->GetSelectedDragObject(), nullptr);
    EXPECT_EQ(sweets->GetCount(), 3);
    EXPECT_EQ(guest->GetRequest().GetKind(), asked);
    EXPECT_EQ(level->FindRequest(kCalmBaby, false), nullptr);
    EXPECT_EQ(guest->GetLoyalty(), loyalty);
    bool image = false;
    for (uint32_t i = flying; i < level->FlyingThings().Count(); ++i)
        image = image || dynamic_cast<const CScalingObject*>(level->FlyingThings().At(i));
    EXPECT_TRUE(image);
}

// The sweets' hints lead the player through the whole hand-over: the first opens at the bowl and
// its closing click picks the sweets up; the second opens at the guest, and its closing click
// hands them over.
TEST_F(HintsAndGifts, TheSweetsHintsCloseWithTheClicksThatHandTheSweetsOver) {
    cGame* level = PlayWith(true);
    // Only the sweets' hints are still to be shown.
    for (auto it = gTutorial->hints.Begin(); !it.AtEnd(); it.Next())
        if (strncmp(it.Node()->key.c_str(), "Candy_", 6) != 0) it.Node()->value.shown = true;
    cSweets* sweets = Find<cSweets>();
    ASSERT_NE(sweets, nullptr);
    // The bowl offers itself while the pointer rests on it and a guest has waited a while.
    const Point2i onSweets = ScriptedPlayer::HitPoint(sweets);
    player_->MoveTo(onSweets);
    for (int i = 0; i < 4000 && level->GetLevelState() != cGame::kTutorial; ++i) Step();
    ASSERT_EQ(level->GetLevelState(), cGame::kTutorial);
    EXPECT_STREQ(gOpenHint->name.c_str(), "Candy_Start");
    ASSERT_TRUE(InSpot(onSweets));
    player_->Click(onSweets);
    EXPECT_EQ(level->GetSelectedDragObject(), sweets);

    Step();
    ASSERT_EQ(level->GetLevelState(), cGame::kTutorial);
    EXPECT_STREQ(gOpenHint->name.c_str(), "Candy_End");
    EXPECT_TRUE(gTutorial->WasShown("Candy_Start"));
    cClient* guest = player_->HeadOfCheckIn();
    ASSERT_NE(guest, nullptr);
    const Point2i onGuest = ScriptedPlayer::HitPoint(guest);
    ASSERT_TRUE(InSpot(onGuest));
    player_->Click(onGuest);
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
    EXPECT_EQ(level->GetSelectedDragObject(), nullptr);
    EXPECT_EQ(sweets->GetCount(), 3);
    EXPECT_TRUE(gTutorial->WasShown("Candy_End"));
}

// A right click withdraws an order, on the ordered object or on the guest it serves, and puts a
// carried gift down.
TEST_F(HintsAndGifts, ARightClickWithdrawsTheOrderAndPutsTheGiftDown) {
    cGame* level = PlayWith(false);
    cClient* guest = WaitingGuest();
    ASSERT_NE(guest, nullptr);
    ASSERT_NO_FATAL_FAILURE(PutInRoom(guest));
    // One request left in its stay; once that is over the guest asks to check out and queues at
    // the desk.
    ASSERT_NO_FATAL_FAILURE(StepToCheckOut(guest));
    cLevelObj* desk = guest->GetRequest().GetTarget();
    cHero* jenny = level->GetJenny();
    ASSERT_TRUE(desk && jenny);
    auto rightClick = [](Point2i p) {
        WM::Get()->OnMouseMove(0, at(p.x, p.y));
        WM::Get()->OnKeyDown(2, at(p.x, p.y));
        WM::Get()->OnKeyUp(2, at(p.x, p.y));
    };
    const struct {
        const char* what;
        cBaseObj* clicked;
    } cases[] = {{"the desk", desk}, {"the guest", guest}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        player_->Click(ScriptedPlayer::HitPoint(guest));
        Step();  // the guest learns that its check-out is ordered
        ASSERT_TRUE(jenny->HasTask(kCheckOut, desk));
        ASSERT_TRUE(guest->IsEnabled());
        rightClick(ScriptedPlayer::HitPoint(c.clicked));
        EXPECT_FALSE(jenny->HasTask(kCheckOut, desk));
        Step();
    }

    cGift* gift = Find<cGift>();
    ASSERT_NE(gift, nullptr);
    player_->Click(ScriptedPlayer::HitPoint(gift));
    ASSERT_EQ(level->GetSelectedDragObject(), gift);
    rightClick(kEmpty);
    EXPECT_EQ(level->GetSelectedDragObject(), nullptr);
    EXPECT_EQ(gift->GetCount(), 3);
}

// A hero's closing hint once its opening hint was shown: the Maid called out to a thirsty flower
// points at it, and the click that closes the hint orders the watering.
// A click on a guest waiting at the desk orders that guest's check-out, even while another
// guest's wish for the papers (whose request names the same desk) is the first request found
// there: ordering that instead locked the desk, and the guest waited there until its patience ran
// out.
TEST_F(HintsAndGifts, AClickOnAGuestAtTheDeskOrdersItsOwnCheckOut) {
    cGame* level = PlayWith(false);
    cClient* guests[2] = {};
    for (cClient*& guest : guests) {
        guest = WaitingGuest();
        ASSERT_NE(guest, nullptr);
        ASSERT_NO_FATAL_FAILURE(PutInRoom(guest));
    }
    cClient* reading = guests[0];
    cClient* leaving = guests[1];
    ASSERT_NO_FATAL_FAILURE(StepToCheckOut(leaving));
    cLevelObj* desk = leaving->GetRequest().GetTarget();
    reading->GetRequest().Load(kNews, 0, reading->GetRoom(), 0);
    reading->GetRequest().SetWaiting();
    ASSERT_EQ(reading->GetRequest().GetTarget(), desk);
    ASSERT_EQ(level->FindClientByRequestTarget(desk), reading);

    player_->Click(ScriptedPlayer::HitPoint(leaving));
    EXPECT_TRUE(level->GetJenny()->HasTask(kCheckOut, desk));
    EXPECT_FALSE(level->GetJenny()->HasTask(kNews, desk));
}

TEST_F(HintsAndGifts, TheMaidPointsAtTheFlowerOnceTheWaterHintWasShown) {
    gCurrentProfile->InsertObjectItem(gCurrentProfile->MakeObjectItem("Flower1"));
    cGame* level = PlayWith(true);
    for (auto it = gTutorial->hints.Begin(); !it.AtEnd(); it.Next())
        it.Node()->value.shown = strcmp(it.Node()->key.c_str(), "Water_End") != 0;
    cLevelObj* flower = level->FindLevelObjectByName("Flower1");
    ASSERT_NE(flower, nullptr);
    cMaid* maid = level->GetMaid();
    ASSERT_NE(maid, nullptr);
    for (int i = 0; i < 2000 && !maid->IsUnavailable(); ++i) Step();
    ASSERT_TRUE(maid->IsUnavailable());
    // The flower runs dry at once rather than after its fresh spell.
    flower->GetRequest().Load(kWater, 0, flower, 0);
    flower->GetRequest().SetWaiting();
    flower->SetState(cFlower::kThirsty);

    cRoundBtn* water = nullptr;
    for (int i = 0; i < cCommandPanel::kButtons && !water; ++i)
        if (cRoundBtn* b = level->LeftPanel()->Button(i); b && b->IsShowing() == kWater) water = b;
    ASSERT_NE(water, nullptr);
    player_->Click(water->Centre());
    EXPECT_FALSE(maid->IsUnavailable());
    for (int i = 0; i < 2000 && level->GetLevelState() != cGame::kTutorial; ++i) Step();
    ASSERT_EQ(level->GetLevelState(), cGame::kTutorial);
    EXPECT_STREQ(gOpenHint->name.c_str(), "Water_End");
    const Point2i onFlower = ScriptedPlayer::HitPoint(flower);
    ASSERT_TRUE(InSpot(onFlower));
    player_->Click(onFlower);
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
    EXPECT_TRUE(maid->HasTask(kWater, flower));
    EXPECT_TRUE(gTutorial->WasShown("Water_End"));
}

// A room's completed upgrade leaves its record with the level, for the after-level screen to hand
// to the profile.
TEST_F(HintsAndGifts, ACompletedRoomUpgradeIsRecorded) {
    cGame* level = PlayWith(false);
    cRoom* room = Find<cRoom>();
    ASSERT_NE(room, nullptr);
    const int grade = room->UpgradeLevel();
    room->CompleteUpgrade();
    const std::string name = room->GetName();
    ASSERT_EQ(level->RoomUpgradeRecords().size(), 1u);
    EXPECT_EQ(level->RoomUpgradeRecords()[0], "RoomUpgrade_" + std::to_string(grade) + "_" +
                                                  std::to_string(grade + 1) + "_" + name + ":" +
                                                  name);
    EXPECT_TRUE(level->WasRoomUpgraded());
    EXPECT_EQ(level->GetRoomsUpgraded(), 1);
}

}  // namespace
