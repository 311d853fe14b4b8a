// Rooms: the door, the tint by fit, the upgrade cycle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/draw_list.h"
#include "world/room.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_room", [] { logOpen(); });

HSPRITE gSigns[4] = {};
HSPRITE sign(int grade) { return grade >= 0 && grade < 4 ? gSigns[grade] : nullptr; }

struct Guest : cLevelObj, ClientLink {
    cBaseObj* partner = nullptr;
    void OnServiceEnd(bool) override {}
    cBaseObj* GetLinked() const override { return partner; }
    void Wish(int grade) { request_.SetGrade(grade); }
};

struct RoomGame : FakeGame {
    cBaseObj* dragged = nullptr;
    std::map<const cLevelObj*, cBaseObj*> guests;
    std::vector<std::string> calls;
    cBaseObj* GetDraggedObject() override { return dragged; }
    cBaseObj* FindClientAtObject(const cLevelObj* o) override {
        auto it = guests.find(o);
        return it == guests.end() ? nullptr : it->second;
    }
    void ShowBanner(const char* key) override { calls.push_back(key); }
    void SetEventText(const char* text) override { calls.push_back(text); }
    void RecordRoomUpgrade() override { calls.push_back("record"); }
    bool ActivateNextClient() override {
        calls.push_back("activate");
        return true;
    }
    void OnRoomUpgraded() override { calls.push_back("upgraded"); }
};

class Rooms : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile("Data/Request/Request.ini", "[Upgrade]\nhero=Porter\n");
        writePicture("door.tga", 4, 8, 0, 0, 255);
        writeFile("rooms.ini",
                  "[Room1]\nname=Room1\nx=100\ny=200\nsprite=door.tga\nperiod=200\nframes=2\n");
        for (int g = 0; g < 4; ++g) gSigns[g] = reinterpret_cast<HSPRITE>(&gSigns[g]);
        worldSetRoomSprites(sign);
    }
    void TearDown() override { worldSetRoomSprites(nullptr); }
    cRoom* load(cRoom& room, int grade) {
        room.Load("rooms.ini", "Room1", grade);
        return &room;
    }
    RoomGame game;
    Sounds sounds;
};

TEST_F(Rooms, ADoorOpenedToCloseAfterReturnsToItsStateAndShutsAgain) {
    cRoom room;
    load(room, 0);
    ASSERT_TRUE(room.IsDoorClosed());
    room.OpenDoor(true);
    EXPECT_EQ(cRoom::kOpening, room.GetState());
    room.OpenDoor(false);  // already opening: ignored
    int steps = 0;
    while (!room.IsDoorOpen() && steps < 100) {
        room.Update(25);
        ++steps;
    }
    EXPECT_EQ(8, steps);  // 199 ms of door at 25 ms a step
    EXPECT_EQ(cRoom::kClosing, room.GetState());
    while (room.GetState() == cRoom::kClosing && steps < 100) {
        room.Update(25);
        ++steps;
    }
    EXPECT_EQ(cRoom::kNormal, room.GetState());
    EXPECT_TRUE(room.IsDoorClosed());
    EXPECT_EQ(1, sounds.count("door_open"));
    EXPECT_EQ(1, sounds.count("door_close"));
    room.CloseDoor();  // already shut
    EXPECT_EQ(cRoom::kNormal, room.GetState());
}

TEST_F(Rooms, ClosingWhileOpeningKeepsTheStateSavedBeforeTheOpening) {
    cRoom room;
    load(room, 0);
    room.SetState(cRoom::kUpgradeWaits);
    room.OpenDoor(false);
    room.Update(25);
    room.CloseDoor();
    EXPECT_EQ(cRoom::kClosing, room.GetState());
    EXPECT_EQ(cRoom::kUpgradeWaits, room.GetSubState());
    room.OpenDoor(false);  // and back again: still the same state to return to
    EXPECT_EQ(cRoom::kUpgradeWaits, room.GetSubState());
}

TEST_F(Rooms, ADraggedClientTintsRoomsByHowWellTheyFit) {
    Guest client;
    client.Wish(2);
    const struct {
        int grade;
        ColorRGBA tint;
    } cases[] = {{2, ColorRGBA(0, 255, 0, 255)},
                 {3, ColorRGBA(255, 255, 45, 255)},
                 {0, ColorRGBA(255, 0, 0, 255)}};
    for (const auto& c : cases) {
        cRoom room;
        load(room, c.grade);
        game.dragged = &client;
        room.Update(25);
        EXPECT_TRUE(room.IsHighlightOn());
        EXPECT_EQ(c.tint.Argb(), room.GetTint().Argb()) << c.grade;
        game.dragged = nullptr;
        room.Update(25);
        EXPECT_EQ(ColorRGBA(255, 255, 45, 255).Argb(), room.GetTint().Argb());
    }
}

// Under a dragged guest a room that cannot take it stays dark: one lived in, one closed for the
// day, one whose own request waits.
TEST_F(Rooms, ARoomThatCannotTakeTheDraggedGuestDoesNotLight) {
    Guest client, lodger;
    client.Wish(0);
    game.dragged = &client;
    for (int c = 0; c < 3; ++c) {
        cRoom room;
        load(room, 0);
        if (c == 0) game.guests[&room] = &lodger;
        if (c == 1) room.MarkClosed();
        if (c == 2) room.BeginUpgrade(1000);
        if (c == 2) room.Update(25);  // the upgrade request now waits on the empty room
        room.Update(25);
        EXPECT_FALSE(room.IsHighlightOn()) << c;
        EXPECT_FALSE(room.CanTakeGuest()) << c;
        game.guests.clear();
    }
    cRoom free;
    load(free, 0);
    free.Update(25);
    EXPECT_TRUE(free.IsHighlightOn());
    game.dragged = nullptr;
}

TEST_F(Rooms, AnUpgradeWaitsForTheGuestToSettle) {
    cRoom room;
    load(room, 1);
    Guest guest, partner;
    guest.SetState(1);  // still checking in
    partner.SetState(3);
    guest.partner = &partner;
    game.guests[&room] = &guest;
    room.BeginUpgrade(4000);
    room.Update(25);
    EXPECT_EQ(cRoom::kNormal, room.GetState());
    EXPECT_TRUE(room.IsUpgradePending());
    guest.SetState(3);
    partner.SetState(2);
    room.Update(25);
    EXPECT_EQ(cRoom::kNormal, room.GetState());
    partner.SetState(3);
    room.Update(25);
    EXPECT_EQ(cRoom::kUpgradeWaits, room.GetState());
    EXPECT_EQ(kUpgrade, room.GetRequest().GetKind());
    EXPECT_TRUE(room.GetRequest().IsWaiting());
    EXPECT_FALSE(room.IsUpgradePending());
    EXPECT_EQ(std::vector<std::string>{"#MSG_UPGRADE_ROOM"}, game.calls);

    // Nobody serves it: when its wait runs out the room drops it.
    for (int t = 0; t < 5000 && room.GetState() == cRoom::kUpgradeWaits; t += 25) room.Update(25);
    EXPECT_EQ(cRoom::kNormal, room.GetState());
    EXPECT_FALSE(room.IsHighlighted());
}

// The wait clock's position is the clock's place inside a bubble, the same for every room: the
// upgrade bubble stays at the room's request point, where a click on it is tested.
TEST_F(Rooms, TheUpgradeBubbleShowsAtTheRoomsRequestPoint) {
    worldSetRoomSprites(nullptr);
    writePicture("icon.tga", 4, 4, 255, 0, 0);
    writeFile("Data/Request/Request.ini",
              "[Upgrade]\nhero=Porter\nsprite0=icon.tga\n[Progress]\nx=30\ny=30\n");
    writeFile("top.ini", "[Top]\nname=Top\nx=100\ny=60\nrequest_x=-90\nrequest_y=-50\n");
    cRoom room;
    room.Load("top.ini", "Top", 0);
    room.BeginUpgrade(4000);
    room.Update(25);
    ASSERT_EQ(cRoom::kUpgradeWaits, room.GetState());
    DrawTarget target(40, 40, "bubbletarget");
    DrawList list;
    room.Draw(&list);
    EXPECT_EQ(0xF800, target.at(11, 11));
    EXPECT_EQ(0, target.at(31, 11));  // nothing at the clock's offset (raised for a top room)
    EXPECT_TRUE(room.HitTestPoint(10 + 29, 10 + 29));  // the bubble's middle
}

TEST_F(Rooms, CompletingAnUpgradeRaisesTheGradeAndTellsTheLevel) {
    cRoom room;
    load(room, 1);
    room.SetOccupied();
    room.CompleteUpgrade();
    EXPECT_EQ(2, room.UpgradeLevel());
    EXPECT_EQ((std::vector<std::string>{"RoomUpgrade_1_2_Room1:Room1", "record", "activate",
                                        "upgraded"}),
              game.calls);
    EXPECT_FALSE(room.IsOccupied());
    EXPECT_EQ(kNoRequest, room.GetRequest().GetKind());
    EXPECT_EQ(1, sounds.count("upgrade_room"));
}

TEST_F(Rooms, OnlyAnIdleUnflaggedBreakableRoomBreaks) {
    writeFile("rooms.ini", "[Room1]\nname=Room1\nx=1\ny=1\nbreakable=1\n");
    cRoom room;
    load(room, 0);
    EXPECT_TRUE(room.CanBreak());
    room.SetBreakFlag();
    EXPECT_FALSE(room.CanBreak());
    cRoom busy;
    load(busy, 0);
    busy.GetRequest().Load(kUpgrade, 0, &busy, 0);
    EXPECT_FALSE(busy.CanBreak());
}

}  // namespace
