// The matching game: icons carried from their cells to the objects they belong to.
#include "tests/minigames/minigame_fixture.h"

namespace {

// Seven cells of 50x50 from x = 100 on the bottom row; an icon for each object.
const char kCells[] =
    "[Cell]\r\ntype=sprite\r\nx=100\r\ny=700\r\nnormal=Pic/cell.tga\r\n"
    "[icon_0]\r\nsprite=Pic/icon.tga\r\n[icon_1]\r\nsprite=Pic/icon.tga\r\n"
    "[icon_2]\r\nsprite=Pic/icon.tga\r\n";

class MatchingGame : public MiniGamePlay {
protected:
    void SetUp() override {
        MiniGamePlay::SetUp();
        writeSprite("Pic/cell.tga", 50, 50, 0x0000FF);
        writeSprite("Pic/icon.tga", 20, 20, 0xFFFF00);
        start(new cMiniGameEpisode2, std::string("objects_total=3\r\nobjects_needed=2\r\n"), 100000,
              kCells);
        ASSERT_TRUE(untilPlay());
        ep2 = static_cast<cMiniGameEpisode2*>(game);
    }
    // The centre of icon j at home, and of the object it belongs to.
    Point2i iconAt(int j) {
        const MgRect& r = ep2->Icons()[static_cast<uint32_t>(j)]->GetRect();
        return Point2i((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    Point2i objectOf(int j) {
        return Point2i(100 * (ep2->Icons()[static_cast<uint32_t>(j)]->GetId() + 1) + 20, 120);
    }
    cMiniGameEpisode2* ep2 = nullptr;
};

TEST_F(MatchingGame, IconsSitInTheRowStartingOneCellLeft) {
    ASSERT_EQ(ep2->Icons().size(), 2u);
    EXPECT_EQ(ep2->Icons()[0]->GetRect().left, 50);
    EXPECT_EQ(ep2->Icons()[1]->GetRect().left, 100);
    EXPECT_EQ(ep2->Icons()[1]->GetRect().bottom, 750);
    EXPECT_TRUE(game->Objects()[static_cast<uint32_t>(ep2->Icons()[0]->GetId())]->IsAvailable());
    // The cells stand in a row.
    int cells = 0;
    for (int i = 0; i < game->InterfaceLayer().childCount(); ++i)
        if (game->InterfaceLayer().children[i]->x == 100 + 50 * cells) ++cells;
    EXPECT_EQ(cells, 7);
}

TEST_F(MatchingGame, RightDropServesWrongDropReturnsHome) {
    const Point2i home = iconAt(0);
    click(home.x, home.y);
    ASSERT_EQ(ep2->Carried(), ep2->Icons()[0]);
    // Over the other wanted object: nothing served, the icon goes home, no time lost.
    const Point2i wrong = objectOf(1);
    const int clockBefore = game->clock;
    click(wrong.x, wrong.y);
    EXPECT_EQ(ep2->Carried(), nullptr);
    EXPECT_EQ(ep2->Icons()[0]->GetState(), cMiniGameIcon::kHome);
    EXPECT_EQ(game->Served(), 0);
    EXPECT_EQ(game->clock, clockBefore);
    EXPECT_EQ(game->Labels().size(), 0u);

    click(home.x, home.y);
    const Point2i right = objectOf(0);
    move(right.x, right.y);
    // Carried over its object, the object blinks as the current hint.
    ASSERT_NE(game->Current(), nullptr);
    EXPECT_EQ(game->Current()->GetNumber(), ep2->Icons()[0]->GetId());
    click(right.x, right.y);
    EXPECT_EQ(game->Served(), 1);
    EXPECT_EQ(ep2->Icons()[0]->GetState(), cMiniGameIcon::kUsed);
    EXPECT_EQ(ep2->Carried(), nullptr);
    ASSERT_EQ(game->Labels().size(), 1u);

    const Point2i second = iconAt(1);
    click(second.x, second.y);
    const Point2i target = objectOf(1);
    click(target.x, target.y);
    step();
    EXPECT_EQ(game->GameState(), kMgOver);
}

TEST_F(MatchingGame, DropOnAnIconSwapsButNotTheOneJustDropped) {
    const Point2i first = iconAt(0), second = iconAt(1);
    click(first.x, first.y);
    // Dropped over its own cell: it goes home and is not picked up again.
    click(first.x, first.y);
    EXPECT_EQ(ep2->Carried(), nullptr);
    EXPECT_EQ(ep2->Icons()[0]->GetState(), cMiniGameIcon::kHome);
    // Dropped over the other icon: that one is taken up in the same click.
    click(first.x, first.y);
    click(second.x, second.y);
    EXPECT_EQ(ep2->Carried(), ep2->Icons()[1]);
    EXPECT_EQ(ep2->Icons()[0]->GetState(), cMiniGameIcon::kHome);
}

}  // namespace
