// The shop counter: customers rise into their places, products fly to them, deliveries count
// when the happy customer has left, and the game is lost once every customer is gone.
#include "tests/minigames/minigame_fixture.h"

namespace {

// Customers in 60x60 cells rise from the bottom edge by 10 pixels an update to y = 708.
std::string counter(int waitTime) {
    return "[Cell]\r\ntype=sprite\r\nx=100\r\ny=600\r\nnormal=Pic/cell.tga\r\n"
           "[Request]\r\ncell=Pic/cell.tga\r\npos_x=100\r\npos_y=768\r\nicon_x=10\r\nicon_y=10\r\n"
           "move_speed=10\r\nwait_time=" +
           std::to_string(waitTime) +
           "\r\n[Faces]\r\ncount=1\r\n0=Pic/face.ini\r\n"
           "[HeartsBar]\r\ntype=sprite\r\nx=5\r\ny=-10\r\n";
}

class Counter : public MiniGamePlay {
protected:
    void play(int waitTime) {
        writeSprite("Pic/cell.tga", 60, 60, 0x0000FF);
        data("Pic/face.ini", "[Main]\r\nhappy_sound=goal\r\nangry_sound=leveldefeat\r\n");
        start(new cMiniGameEpisode3, "objects_total=3\r\nobjects_needed=2\r\n", 100000,
              counter(waitTime));
        ep3 = static_cast<cMiniGameEpisode3*>(game);
        ASSERT_TRUE(untilPlay());
    }
    // The centre of the product that the customer in place p wants.
    Point2i productOf(int p) {
        const int id = ep3->Place(p)->GetWantedId();
        return Point2i(100 * (id + 1) + 20, 120);
    }
    cMiniGameEpisode3* ep3 = nullptr;
};

TEST_F(Counter, CustomersEnterStaggeredIntoTheirPlaces) {
    play(100000);
    ASSERT_NE(ep3->Place(0), nullptr);
    ASSERT_NE(ep3->Place(1), nullptr);
    EXPECT_EQ(ep3->Place(2), nullptr);
    EXPECT_EQ(ep3->Queue().size(), 0u);
    EXPECT_EQ(ep3->Place(1)->Position().x, 100 + 66);
    EXPECT_EQ(ep3->PlacePoint(1).x, 100 + 15 + 60);
    EXPECT_EQ(ep3->PlacePoint(1).y, 600 + 15);
    // A product clicked while its customer is still rising does not match.
    ASSERT_EQ(ep3->Place(0)->GetState(), cMiniGameFace::kEntering);
    const Point2i early = wanted();
    click(early.x, early.y);
    EXPECT_EQ(game->Misses(), 1);
    EXPECT_EQ(game->Labels().size(), 0u);
    step(20);
    EXPECT_EQ(ep3->Place(0)->GetState(), cMiniGameFace::kWaiting);
    EXPECT_EQ(ep3->Place(0)->Position().y, 708);
    EXPECT_EQ(ep3->Place(1)->GetState(), cMiniGameFace::kWaiting);
    EXPECT_EQ(ep3->Place(0)->HeartsBar()->y, 698);
}

TEST_F(Counter, DeliveriesCountWhenTheHappyCustomerHasLeft) {
    play(100000);
    step(20);
    const Point2i first = productOf(0);
    click(first.x, first.y);
    EXPECT_TRUE(ep3->Place(0)->IsSatisfied());
    EXPECT_EQ(game->Served(), 0);
    ASSERT_EQ(game->Labels().size(), 1u);
    step(6);  // the product lands: its customer leaves
    EXPECT_TRUE(ep3->Place(0)->IsLeaving());
    EXPECT_EQ(game->Served(), 0);
    step(8);
    EXPECT_EQ(game->Served(), 1);
    EXPECT_EQ(std::u16string(game->GoalWidget()->caption), u"1/2");
    EXPECT_EQ(ep3->Place(0), nullptr);  // nobody left to take the place

    // The last delivery stops the clock while it flies.
    const Point2i second = productOf(1);
    click(second.x, second.y);
    step();
    EXPECT_TRUE(game->Timer().IsPaused());
    const uint32_t stopped = game->Timer().Elapsed();
    for (int i = 0; i < 40 && game->GameState() == kMgPlay; ++i) step();
    EXPECT_EQ(game->Timer().Elapsed(), stopped);
    EXPECT_EQ(game->GameState(), kMgOver);
    EXPECT_EQ(banner(), "Expert");
}

TEST_F(Counter, WrongProductIsAMiss) {
    play(100000);
    step(20);
    const Point2i other = notWanted();
    click(other.x, other.y);
    EXPECT_EQ(game->Misses(), 1);
    EXPECT_FALSE(ep3->Place(0)->IsSatisfied());
}

// With no patience at all (a negative wait time) every customer leaves angry on arrival, and the
// game is lost with time left.
TEST_F(Counter, LostWhenEveryCustomerIsGone) {
    play(-10000);
    EXPECT_EQ(ep3->Place(0)->WaitTime(), 1);
    for (int i = 0; i < 60 && game->GameState() == kMgPlay; ++i) step();
    EXPECT_EQ(game->GameState(), kMgOver);
    EXPECT_LT(game->clock, 20000);
    EXPECT_EQ(banner(), "Thanks");
    EXPECT_EQ(wayPointResult(), 2);
    EXPECT_EQ(game->Served(), 0);
}

}  // namespace
