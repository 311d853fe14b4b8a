// Where a guest in its room on the bundled first level asks for each service the level offers:
// its own room or a lobby object, never nowhere and never another guest's room.
#include "tests/game/level_harness.h"
#include "world/client.h"
#include "world/level_object.h"
#include "world/request.h"
#include "world/room.h"

namespace {

class RequestPlaces : public leveltest::LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        Start(true);
    }
};

TEST_F(RequestPlaces, AGuestInItsRoomFindsAPlaceForEveryKindOfTheLevel) {
    cGame* level = Play();
    cRoom* room = nullptr;
    for (int i = 0; i < level->GetObjectCount() && !room; ++i)
        room = dynamic_cast<cRoom*>(level->GetObject(i));
    ASSERT_NE(room, nullptr);
    cClient* guest = level->GetClient(0);
    ASSERT_NE(guest, nullptr);
    guest->DropOnRoom(room);
    ASSERT_EQ(guest->GetRoom(), room);

    int kinds = 0;
    for (int kind = 0; kind < kRequestKinds; ++kind) {
        if (level->GetRequestWeight(kind) <= 0) continue;
        ++kinds;
        SCOPED_TRACE(RequestKindName(kind));
        // A kind offered both in the room and in the lobby is drawn between them: each draw counts.
        for (int draw = 0; draw < 8; ++draw) {
            cLevelObj* place = guest->FindRequestPlace(kind);
            ASSERT_NE(place, nullptr);
            EXPECT_TRUE(place == room || !dynamic_cast<cRoom*>(place)) << place->GetName();
        }
    }
    EXPECT_GT(kinds, 0);
}

}  // namespace
