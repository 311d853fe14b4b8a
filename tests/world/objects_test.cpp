// Base objects, walkers, level and action objects, the draw list and the factory.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
#include "tests/support/temp_folder.h"
#include "tests/world/alloc_count.h"
#include "tests/world/world_fakes.h"
#include "world/coordinates.h"
#include "world/draw_list.h"
#include "world/factory.h"
#include "world/level_object.h"
#include "world/moving.h"
#include "world/musician.h"
#include "world/walkmap.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_objects", [] { logOpen(); });

// Objects on a 20 x 20 walk grid of 10-pixel cells at (0, 0), all free but cell (8, 0).
class World : public ::testing::Test {
protected:
    void SetUp() override {
        std::string map = "[Main]\noffset=0,0\nstep=10,10\nsize=200,200\n[map]\nnodes8=2\n";
        writeFile("Data/Episodes/e1/map.ini", map);
        ASSERT_TRUE(walk.Load(1, Point2i(0, 0)));
        cWalkMap::SetCurrent(&walk);
        std::string request = "[Main]\n";
        for (int k = 0; k < kRequestKinds; ++k)
            request += std::string("[") + RequestKindName(k) + "]\nhero=Jenny\n";
        writeFile("Data/Request/Request.ini", request);
        writePicture("pic.tga", 4, 4, 255, 0, 0);
        writePicture("strip.tga", 4, 44, 0, 255, 0);
        game.heroes = {{"Jenny", &hero}};
    }
    void TearDown() override { cWalkMap::SetCurrent(nullptr); }

    // The bar that section of ini makes, waiting to be cleaned (an attached request for Jenny).
    void loadBarToClean(cLevelObj* bar, cRequest* attached, const char* ini) {
        writeFile("objs.ini", ini);
        bar->Load("objs.ini", "Bar");
        attached->Load(kClean, 0, nullptr, 0);
        bar->SetAttached(attached);
    }

    cWalkMap walk;
    FakeGame game;
    FakeHero hero;
};

TEST(Bodies, ContainsCountsEdgesAsInside) {
    Body corner;
    corner.position = Vec2f(10, 20);
    corner.boundOffset = Vec2f(-5, -10);
    corner.boundSize = Vec2f(10, 5);
    Body rigid = corner;
    rigid.rigid = 1;
    const struct {
        const Body* body;
        int x, y;
        bool inside;
    } cases[] = {
        {&corner, 5, 10, true},  {&corner, 15, 15, true},  {&corner, 16, 15, false},
        {&corner, 4, 12, false}, {&corner, 10, 16, false}, {&rigid, 15, 10, true},
        {&rigid, 16, 10, false}, {&rigid, -5, 10, true},   {&rigid, 5, 5, true},
        {&rigid, 5, 4, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.inside, c.body->Contains(c.x, c.y))
            << (c.body->rigid ? "rigid " : "") << c.x << "," << c.y;
}

TEST(Bodies, UnusableNumbersReadAsZero) {
    writeFile("body.ini",
              "[a]\nx=3\ny=4\nspeed=nan\nbound_w=inf\nbound_h=-inf\nbound_x=2.5\n"
              "[b]\nspeed=-3\n[c]\nspeed=2.5\nrigid_body=1\n");
    Body a, b, c;
    a.Load("body.ini", "a");
    b.Load("body.ini", "b");
    c.Load("body.ini", "c");
    EXPECT_EQ(3.0f, a.position.x);
    EXPECT_EQ(0.0f, a.speed);
    EXPECT_EQ(0.0f, a.boundSize.x);
    EXPECT_EQ(0.0f, a.boundSize.y);
    EXPECT_EQ(2.5f, a.boundOffset.x);
    EXPECT_EQ(0.0f, b.speed);
    EXPECT_EQ(2.5f, c.speed);
    EXPECT_EQ(1, c.rigid);
}

TEST_F(World, MasksMarkOnlyBlockedCellsAndOnlyForLevelObjects) {
    // Object at cell (5, 7); mask origin one cell left.
    writeFile("objs.ini",
              "[Sofa]\nx=55\ny=75\nmask=0110,1\nmask_x=-1\n"
              "[Blank]\nx=55\ny=75\nmask=0110 1\n"
              "[Free]\nx=80\ny=0\nmask=0\n"
              "[Edge]\nx=-15\ny=35\nmask=111\n"
              "[Far]\nx=2000000000\ny=35\nmask=1\nmask_x=2000000000\n");
    cLevelObj sofa;
    sofa.Load("objs.ini", "Sofa");
    const cMaskGrid* mask = sofa.GetMask();
    ASSERT_TRUE(mask);
    EXPECT_EQ(4u, mask->Width());
    EXPECT_EQ(2u, mask->Height());
    const int expected[2][4] = {{1, 64, 64, 1}, {64, 1, 1, 1}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(expected[y][x], const_cast<cMaskGrid*>(mask)->CellRef(x, y)) << x << "," << y;
    std::string cells;
    for (int y = 7; y < 9; ++y)
        for (int x = 4; x < 8; ++x) cells += char('0' + walk.GetCell(x, y)->value);
    EXPECT_EQ("12212111", cells);
    // White space ends the list: one row.
    cLevelObj blank;
    blank.Load("objs.ini", "Blank");
    EXPECT_EQ(1u, blank.GetMask()->Height());
    // A free mask cell never frees a wall (cell (8, 0) is blocked in the map).
    cLevelObj free;
    free.Load("objs.ini", "Free");
    EXPECT_EQ(2, walk.GetCell(8, 0)->value);
    // Standing in cell (-1, 3), off the map, the object still blocks the part inside it.
    cLevelObj edge, far;
    edge.Load("objs.ini", "Edge");
    far.Load("objs.ini", "Far");
    EXPECT_EQ(2, walk.GetCell(0, 3)->value);
    EXPECT_EQ(2, walk.GetCell(1, 3)->value);
    EXPECT_EQ(1, walk.GetCell(2, 3)->value);
    // A walker's mask leaves the map alone.
    cBaseObj walker;
    walker.GetBody().position = Vec2f(155, 155);
    walker.LoadMask("objs.ini", "Sofa");
    EXPECT_EQ(1, walk.GetCell(14, 15)->value);
}

TEST_F(World, GrowRevealsFromTheBottomAndTheGlowFadesAfterTheHighlight) {
    writeFile("objs.ini", "[Box]\nx=2\ny=2\nsprite=pic.tga\n");
    cLevelObj box;
    box.Load("objs.ini", "Box");
    box.SetGrow(0.0f);
    DrawTarget target(8, 8, "objtarget");
    DrawList list;
    for (int t = 0; t < 1000; t += 25) box.Update(25);
    list.Add(&box);
    list.Flush();
    EXPECT_EQ((DrawTarget::Box{2, 4, 4, 2}), target.painted());  // lower half at 1000 ms
    for (int t = 0; t < 1000; t += 25) box.Update(25);
    EXPECT_EQ(1.0f, box.GetGrow());
    target.clear();
    list.Add(&box);
    list.Flush();
    EXPECT_EQ((DrawTarget::Box{2, 2, 4, 4}), target.painted());

    box.SetHighlighted(true);
    for (int t = 0; t < 200; t += 25) box.Update(25);
    EXPECT_GT(box.GetPulse(), 0);
    box.SetHighlighted(false);
    int ms = 0;
    while (box.GetPulse() > 0 && ms < 2000) {
        box.Update(25);
        ms += 25;
    }
    EXPECT_NEAR(630, ms, 30);
}

TEST_F(World, BaseDrawMirrorsAndLevelObjectsDrawOnlyTheirFirstAnimation) {
    writeFile("objs.ini", "[Box]\nx=4\ny=2\nsprite=pic.tga\nspr_x=1\nmirror_x=1\n");
    cLevelObj box;
    box.Load("objs.ini", "Box");
    DrawTarget target(12, 8, "mirrortarget");
    DrawList list;
    box.Draw(&list);
    EXPECT_EQ((DrawTarget::Box{0, 2, 3, 4}), target.painted());  // from x = 4 - (1 + 4), clipped
    target.clear();
    list.scale = Vec2f(2.0f, 1.0f);
    list.offset = Point2i(3, 0);
    box.GetBody().position = Vec2f(8, 2);
    box.Draw(&list);
    EXPECT_EQ((DrawTarget::Box{9, 2, 3, 4}), target.painted());  // (8 - 5) * 2 + 3 = 9, clipped
    // The same index keeps the clock and the mirroring.
    box.Update(100);
    box.SetAnimation(0, false);
    EXPECT_EQ(100, box.GetAnimTime());
}

TEST_F(World, ReversedFramesPlayBackwardsAndTheGlowBrightens) {
    // Two 4 x 4 frames: red over blue.
    std::vector<uint8_t> px;
    for (int i = 0; i < 32; ++i)
        px.insert(px.end(), i < 16 ? std::initializer_list<uint8_t>{0, 0, 255}
                                   : std::initializer_list<uint8_t>{255, 0, 0});
    writeTga("two.tga", 4, 8, 24, px, true);
    writeFile("objs.ini",
              "[Fwd]\nx=0\ny=0\nsprite=two.tga\nperiod=200\nframes=2\n"
              "[Back]\nx=0\ny=0\nsprite=two.tga\nperiod=200\nframes=2\nreversed=1\n");
    cLevelObj fwd, back;
    fwd.Load("objs.ini", "Fwd");
    back.Load("objs.ini", "Back");
    DrawTarget target(4, 4, "frametarget");
    DrawList list;
    const uint16_t red = 0xF800, blue = 0x001F;
    fwd.Draw(&list);
    EXPECT_EQ(red, target.at(1, 1));
    back.Draw(&list);
    EXPECT_EQ(blue, target.at(1, 1));  // time 0 backwards is the last frame

    target.clear();
    fwd.SetHighlighted(true);
    fwd.cBaseObj::Update(25);
    ASSERT_GT(fwd.GetPulse(), 0);
    fwd.Draw(&list);
    EXPECT_EQ(0xF800, target.at(1, 1) & 0xF800);
    EXPECT_NE(0, target.at(1, 1) & 0x07FF);  // grey added over the red
}

TEST_F(World, BusyObjectsNeverGlowAndShowTheirExtraSprite) {
    writeFile("objs.ini", "[Main]\nv_spr=pic.tga\n[Desk]\nx=2\ny=2\nv_x=4\nv_y=2\n");
    cLevelObj desk;
    desk.Load("objs.ini", "Desk");
    desk.Update(25);
    cRequest attached;
    attached.Load(kClean, 0, nullptr, 0);
    desk.SetAttached(&attached);
    desk.SetHover(true);
    desk.Update(25);
    EXPECT_TRUE(desk.IsHighlightOn());
    DrawTarget target(12, 12, "busytarget");
    DrawList list;
    desk.Draw(&list);
    EXPECT_EQ(0, target.painted().w);
    desk.Enable();
    desk.Update(25);
    EXPECT_FALSE(desk.IsHighlightOn());
    desk.Draw(&list);
    EXPECT_EQ((DrawTarget::Box{6, 4, 4, 4}), target.painted());
}

TEST_F(World, WalkersArriveFollowTheirPathAndFaceTheirWay) {
    Sounds sounds;
    writeFile("walker.ini", "[Main]\nspeed=2.5\n");
    cMovingObj w;
    w.Load("walker.ini");
    w.GetBody().position = Vec2f(12, 12);
    // Into its own cell: at once in the arrival state, its request waiting.
    w.GetRequest().Load(kClean, 0, nullptr, 0);
    w.WalkTo(Point2i(15, 15), 1, 2);
    EXPECT_EQ(1, w.GetState());
    EXPECT_EQ(0, w.GetSubState());
    EXPECT_TRUE(w.GetRequest().IsWaiting());
    // Three cells right, then on to the arrival state.
    w.WalkTo(Point2i(45, 15), 7, 2);
    EXPECT_EQ(2, w.GetState());
    EXPECT_EQ(7, w.GetSubState());
    int steps = 0;
    while (w.GetState() == 2 && steps < 100) {
        w.Update(25);
        ++steps;
        if (w.GetState() == 2 && w.GetPathIndex() < static_cast<int>(w.GetPath().size())) {
            EXPECT_EQ(5, w.GetWalkDir()) << steps;
        }
    }
    EXPECT_EQ(7, w.GetState());
    EXPECT_EQ(40.0f, w.GetBody().position.x);  // snapped onto the last cell's corner
    EXPECT_EQ(10.0f, w.GetBody().position.y);
    EXPECT_EQ(0, w.GetWalkDir());
    // A diagonal step down-right.
    w.WalkTo(Point2i(55, 25), 3, 2);
    w.Update(25);
    EXPECT_EQ(6, w.GetWalkDir());
    // Speed 0 never leaves the start.
    w.GetBody().speed = 0;
    w.GetBody().position = Vec2f(12, 12);
    w.WalkTo(Point2i(45, 15), 3, 2);
    for (int i = 0; i < 20; ++i) w.Update(25);
    EXPECT_EQ(12.0f, w.GetBody().position.x);
    EXPECT_EQ(2, w.GetState());
}

TEST_F(World, LevelObjectsLoadTheirKeysAndGoIdle) {
    const std::string longName(100, 'S');
    writeFile("objs.ini", "[Main]\nv_spr=pic.tga\n[" + longName +
                              "]\nx=100\ny=50\nname=Bar\nhero_x=5\nhero_y=-5\nclient_x=1\n"
                              "request_x=2\nrequest_y=3\nbreakable=1\nis_sitting_place=1\n"
                              "isSlave=1\noutline_obj=Other\nrequest_grade=2\n"
                              "[Fixed]\nx=10\ny=10\nhero_x=1\nrepair_pos=4,5\n");
    cLevelObj bar;
    bar.Load("objs.ini", longName.c_str());
    EXPECT_EQ(longName, bar.GetSectionName());
    EXPECT_STREQ("Bar", bar.GetName());
    EXPECT_EQ(105, bar.GetHeroPos().x);
    EXPECT_EQ(45, bar.GetHeroPos().y);
    EXPECT_EQ(105, bar.GetRepairPos().x);  // no "repair_pos": the hero point
    EXPECT_EQ(101, bar.GetClientPos().x);
    EXPECT_EQ(102, bar.GetRequestPos().x);
    EXPECT_TRUE(bar.IsBreakable());
    EXPECT_TRUE(bar.IsSittingPlace());
    EXPECT_TRUE(bar.IsSlave());
    EXPECT_STREQ("Other", bar.GetOutlineObject());
    EXPECT_EQ(2, bar.GetRequestGrade());
    EXPECT_TRUE(bar.GetExtraSprite());
    EXPECT_EQ(cLevelObj::kReset, bar.GetState());
    bar.GetRequest().Load(kClean, 0, nullptr, 0);
    bar.Update(25);
    EXPECT_EQ(cLevelObj::kIdle, bar.GetState());
    EXPECT_EQ(kNoRequest, bar.GetRequest().GetKind());
    cLevelObj missing;  // a file that is not there leaves the object unloaded
    missing.Load("missing.ini", "Bar");
    EXPECT_EQ(nullptr, missing.CurrentAnim());
    EXPECT_EQ(0, missing.GetState());
    cLevelObj fixed;
    fixed.Load("objs.ini", "Fixed");
    EXPECT_EQ(14, fixed.GetRepairPos().x);
    EXPECT_EQ(15, fixed.GetRepairPos().y);
}

// Coordinates, bounds and speeds far outside any level (the largest int, as a fuzzer found) are
// held to a sane range with one log line naming the file, and the points built on them stay in
// the int range (the sanitizers would stop a float or int overflow).
TEST_F(World, CoordinatesOutOfAllProportionAreHeldAndLogged) {
    writeFile("huge.ini", "[a]\nx=2147483647\ny=-2147483648\nhero_x=2147483647\n"
                          "hero_y=-2147483647\nrepair_pos=2147483647,1\nspeed=2e21\nbound_w=-1e30\n");
    // The musician reads its own file's [Main] the same way.
    writeFile("band.ini", "[Main]\nx=2147483647\ny=-2147483648\nclient_x=-2147483647\nv_y=2147483647\n");
    // The log this process opened (two test files each enter a folder of their own).
    std::string log;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string to = std::filesystem::read_symlink(fd.path(), ec).string();
        if (!ec && to.size() > 9 && to.compare(to.size() - 9, 9, "/gerr.log") == 0) log = to;
    }
    ASSERT_FALSE(log.empty());
    const size_t before = testsupport::TempFolder::readFile(log).size();
    cLevelObj far;
    far.Load("huge.ini", "a");
    const int limit = 1 << 20;
    EXPECT_EQ(2 * limit, far.GetHeroPos().x);
    EXPECT_EQ(-2 * limit, far.GetHeroPos().y);
    EXPECT_EQ(2 * limit, far.GetRepairPos().x);
    EXPECT_EQ(1 - limit, far.GetRepairPos().y);
    // A pair's first number without its comma still lands in the point: it is held too.
    writeFile("pair.ini", "[Candy0]\npos=2147483647\n");
    Point2i candy(1, 1);
    EXPECT_FALSE(iniReadPoint(&candy, "pair.ini", "Candy0", "pos"));
    EXPECT_EQ(limit, candy.x);
    cMusician band;
    band.Load("band.ini");
    EXPECT_EQ(0, band.GetClientPos().x);
    EXPECT_EQ(-limit, band.GetClientPos().y);
    const std::string said = testsupport::TempFolder::readFile(log).substr(before);
    for (const char* key : {"\"x\"", "\"y\"", "\"hero_x\"", "\"hero_y\"", "\"repair_pos\"",
                            "\"speed\"", "\"bound_w\""})
        EXPECT_NE(said.find(std::string("huge.ini [a] ") + key), std::string::npos) << key << said;
    for (const char* key : {"\"x\"", "\"y\"", "\"client_x\"", "\"v_y\""})
        EXPECT_NE(said.find(std::string("band.ini [Main] ") + key), std::string::npos) << key << said;
}

TEST_F(World, ActionabilityByKind) {
    cLevelObj obj;
    cBaseObj client;
    game.clients[&obj] = &client;
    cRequest& r = client.GetRequest();
    const struct {
        int kind;
        bool waiting, unavailable;
        int taskKind;  // a task of the hero for this object; -1 none
        bool actionable;
    } cases[] = {
        {kCalmBaby, false, true, -1, true},    {kCalmBaby, false, false, kCalmBaby, false},
        {kCards, true, false, -1, true},       {kCards, false, false, -1, false},
        {kCards, true, false, kRepair, false}, {kFire, true, true, -1, false},
        {kClean, false, false, -1, true},      {kClean, false, false, kClean, false},
        {kRepair, false, true, -1, false},     {kCocktail, false, true, -1, true},
        {kMusic, true, true, -1, true},        {kMusic, false, false, -1, false},
        {kPhoto, true, false, -1, true},       {kPhoto, true, false, kPhoto, false},
        {kWater, true, false, -1, false},      {kUpgrade, true, false, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(RequestKindName(c.kind)) + " task " + std::to_string(c.taskKind));
        r.Load(c.kind, 0, &obj, 0);
        if (c.waiting) r.SetWaiting();
        hero.unavailable = c.unavailable;
        hero.tasks.clear();
        if (c.taskKind >= 0) hero.tasks.push_back({c.taskKind, &obj});
        EXPECT_EQ(c.actionable, obj.IsActionable());
    }
    // A luggage asked in a room also names the desk: the desk does not take the order, which
    // would send the Porter to wait there for good.
    cLevelObj room;
    r.Load(kLuggage, 0, &room, 0);
    r.SetWaiting();
    hero.tasks.clear();
    EXPECT_FALSE(obj.IsActionable());
    obj.Enable();  // busy
    EXPECT_FALSE(obj.IsActionable());
    obj.Disable();
    r.Load(kCheckIn, 0, nullptr, 0);
    EXPECT_FALSE(obj.IsActionable());
    obj.SetHover(true);
    EXPECT_TRUE(obj.IsActionable());
}

TEST_F(World, WrongClicksGiveFeedbackByKind) {
    Sounds sounds;
    cLevelObj obj, bar;
    writeFile("objs.ini", "[Bar]\nx=0\ny=0\n");
    bar.Load("objs.ini", "Bar");
    bar.Update(25);
    cRequest attached;
    obj.SetAttached(&attached);
    hero.unavailable = true;
    const struct {
        int kind;
        bool reported;
    } cases[] = {{kCards, true},     {kClean, true},  {kRepair, true},
                 {kCheckOut, false}, {kMusic, false}, {kCheckIn, false}};
    for (const auto& c : cases) {
        game.wrongActions.clear();
        attached.Load(c.kind, 0, nullptr, 0);
        attached.SetWaiting();
        obj.SignalWrongClick();
        EXPECT_EQ(c.reported ? 1u : 0u, game.wrongActions.size()) << RequestKindName(c.kind);
    }
    // A Cocktail whose hero neither has the task nor holds the glass: the target flashes.
    game.objects["Bar"] = &bar;
    writeFile("Data/Request/Request.ini", "[Main]\n[Cocktail]\nhero=Jenny\ntarget=Bar\n");
    attached.Load(kCocktail, 0, nullptr, 0);
    attached.SetWaiting();
    obj.SignalWrongClick();
    EXPECT_EQ(1, sounds.count("wrong_action"));
    EXPECT_EQ(bar.GetStateTime() + 250, bar.GetBlockedUntil());
    // Without a client and attached request: its own Upgrade is reported as a Repair.
    obj.SetAttached(nullptr);
    game.wrongActions.clear();
    writeFile("Data/Request/Request.ini", "[Main]\n[Upgrade]\nhero=Jenny\n");
    obj.GetRequest().Load(kUpgrade, 0, nullptr, 0);
    obj.SignalWrongClick();
    EXPECT_EQ(std::vector<int>{kRepair}, game.wrongActions);
}

// An object Jenny carries (in either hand) does not glow for another serving unless the
// pointer is over it; another thing in her hands changes nothing.
TEST_F(World, AnObjectJennyHoldsGlowsOnlyUnderThePointer) {
    cLevelObj bar;
    cRequest attached;
    loadBarToClean(&bar, &attached, "[Bar]\nname=Bar\nx=0\ny=0\n");
    const struct {
        const char* left;
        const char* right;
        bool hover, glows;
    } cases[] = {
        {"", "", false, true},    {"Bar", "", false, false}, {"", "Bar", false, false},
        {"Bar", "", true, true},  {"Tray", "", false, true}, {"Tray", "Bar", true, true},
    };
    for (const auto& c : cases) {
        hero.hands[0] = c.left;
        hero.hands[1] = c.right;
        bar.SetHover(c.hover);
        bar.Update(25);
        EXPECT_EQ(c.glows, bar.IsHighlightOn()) << c.left << "/" << c.right << " " << c.hover;
    }
}

TEST_F(World, AWrongClickFadesTheOutlineBackInOverAQuarterSecond) {
    Sounds sounds;
    cLevelObj bar;
    cRequest attached;
    loadBarToClean(&bar, &attached, "[Bar]\nx=0\ny=0\noutline=pic.tga\n");
    bar.Update(25);
    ASSERT_TRUE(bar.IsHighlightOn());
    DrawTarget target(4, 4, "outlinetarget");
    DrawList list;
    bar.OnWrongAction();
    EXPECT_EQ(1, sounds.count("wrong_action"));
    uint16_t seen[3];
    for (int i = 0; i < 3; ++i) {
        target.clear();
        bar.Draw(&list);
        seen[i] = target.at(1, 1);
        for (int t = 0; t < 125; t += 25) bar.Update(25);
    }
    EXPECT_EQ(0, seen[0]);                    // gone at the click
    EXPECT_GT(seen[1] >> 11, 0);              // coming back
    EXPECT_GT(seen[2] >> 11, seen[1] >> 11);  // whole again after 250 ms
}

TEST_F(World, BreakingAndRepairRequests) {
    Sounds sounds;
    writeFile("objs.ini",
              "[Tv]\nx=0\ny=0\nbreakable=1\n[Lamp]\nx=0\ny=0\n"
              "[Door]\nx=0\ny=0\nbreakable=1\n[Act]\nsprite=strip.tga\nperiod=1000\n"
              "frames=11\nloops=1\n");
    cLevelObj tv, lamp, door;
    tv.Load("objs.ini", "Tv");
    lamp.Load("objs.ini", "Lamp");
    door.Load("objs.ini", "Door");
    EXPECT_FALSE(lamp.CanBreak());
    EXPECT_TRUE(tv.CanBreak());  // no action object
    cActionObj action;
    action.Load("objs.ini", "Act");
    door.SetActionObject(&action);
    EXPECT_TRUE(door.CanBreak());
    door.PlayAction(0);
    EXPECT_FALSE(door.CanBreak());  // its action runs
    cBaseObj client;
    game.clients[&lamp] = &client;
    lamp.SetBreakable(true);
    EXPECT_FALSE(lamp.CanBreak());  // a client's request is served there

    tv.Break(5000);
    EXPECT_EQ(cLevelObj::kBroken, tv.GetState());
    EXPECT_EQ(kRepair, tv.GetRequest().GetKind());
    EXPECT_TRUE(tv.GetRequest().IsWaiting());
    EXPECT_EQ(1, sounds.count("broke"));
    EXPECT_TRUE(tv.IsActionable());
    hero.tasks.push_back({kFire, &tv});
    EXPECT_FALSE(tv.IsActionable());
    EXPECT_FALSE(tv.CanBreak());
}

TEST_F(World, ActionStepsNinetyMillisecondsAndStopsAfterTwelve) {
    writeFile("objs.ini", "[Act]\nsprite=strip.tga\nperiod=1000\nframes=11\nloops=1\n");
    cActionObj action;
    action.Load("objs.ini", "Act");
    int steps = 0;
    while (action.Play(0)) {
        ++steps;
        EXPECT_EQ(90 * steps, action.GetAnimTime());
    }
    EXPECT_EQ(11, steps);  // the twelfth step stops it
    EXPECT_FALSE(action.IsRunning());
    EXPECT_EQ(1, action.Play(2));
    for (int t = 0; t < 975; t += 25) action.Update(25);
    EXPECT_TRUE(action.IsRunning());
    action.Update(25);
    EXPECT_FALSE(action.IsRunning());
}

TEST_F(World, SlavesGlowWithTheirMaster) {
    writeFile("objs.ini", "[Master]\nx=0\ny=0\noutline_obj=Slave\n[Slave]\nx=0\ny=0\nisSlave=1\n");
    cLevelObj master, slave;
    master.Load("objs.ini", "Master");
    slave.Load("objs.ini", "Slave");
    game.objects["Slave"] = &slave;
    cRequest attached;
    attached.Load(kClean, 0, nullptr, 0);
    for (bool attach : {true, false}) {
        master.SetAttached(attach ? &attached : nullptr);
        slave.Update(25);
        master.Update(25);
        EXPECT_EQ(attach, master.IsHighlightOn());
        EXPECT_EQ(attach, slave.IsHighlightOn());
    }
}

struct Depth : cBaseObj {
    std::vector<int>* order;
    int id;
    Depth(std::vector<int>* o, int i, float y) : order(o), id(i) { body_.position.y = y; }
    void Draw(DrawList*) override { order->push_back(id); }
};

TEST(Drawing, DrawListSortsByDepthHoldsAThousandAndMapsToTheScreen) {
    std::vector<int> order;
    Depth a(&order, 1, 100), b(&order, 2, 50), c(&order, 3, 75);
    DrawList list;
    list.Add(&a);
    list.Add(nullptr);
    list.Add(&b);
    list.Add(&c);
    list.Flush();
    EXPECT_EQ((std::vector<int>{2, 3, 1}), order);
    EXPECT_EQ(0, list.Count());

    std::vector<Depth*> many;
    order.clear();
    order.reserve(1001);
    for (int i = 0; i < 1001; ++i) many.push_back(new Depth(&order, i, float(i)));
    alloccount::Scope scope;
    for (Depth* d : many) d->AddToDrawList(&list);
    list.Flush();
    EXPECT_EQ(0, scope.count());
    EXPECT_EQ(1000u, order.size());
    EXPECT_EQ(999, order.back());
    for (Depth* d : many) delete d;

    list.scale = Vec2f(0.5f, 0.5f);
    list.offset = Point2i(100, 0);
    const Point2i p = list.ToScreen(Point2i(10, 20));
    EXPECT_EQ(105, p.x);
    EXPECT_EQ(10, p.y);
}

TEST_F(World, BaseUpdateAndDrawAllocateNothing) {
    writeFile("objs.ini", "[Box]\nx=2\ny=2\nsprite=pic.tga\n");
    cLevelObj box;
    box.Load("objs.ini", "Box");
    box.SetHighlighted(true);
    box.SetGrow(0.2f);
    DrawTarget target(8, 8, "alloctarget");
    DrawList list;
    box.Update(25);
    alloccount::Scope scope;
    for (int i = 0; i < 40; ++i) {
        box.cBaseObj::Update(25);
        box.AddToDrawList(&list);
        list.Flush();
    }
    EXPECT_EQ(0, scope.count());
}

// The player the factory reads: owned objects of episode 1.
struct FakeProfile : ProfileLink {
    std::vector<ObjectItemInfo> items;
    std::string current, previous;
    FakeProfile() { worldSetProfile(this); }
    ~FakeProfile() override { worldSetProfile(nullptr); }
    int Episode() const override { return 1; }
    int Level() const override { return 3; }
    int ObjectItemCount() const override { return static_cast<int>(items.size()); }
    const ObjectItemInfo* ObjectItem(int i) const override { return &items[i]; }
    const char* CurrentShopItems() const override { return current.c_str(); }
    const char* PreviousShopItems() const override { return previous.c_str(); }
};

ObjectItemInfo item(const char* name, const char* type, const ShopItemInfo* shop = nullptr) {
    ObjectItemInfo i;
    i.name = name;
    i.type = type;
    i.shopItem = shop;
    return i;
}

int gRoomsMade = 0;
cLevelObj* makeRoom(const char* file, const char* section, const char*, int,
                    const ObjectItemInfo*) {
    ++gRoomsMade;
    cLevelObj* room = new cLevelObj();
    room->Load(file, section);
    return room;
}

TEST_F(World, FactoryPicksTheClassBonusesAndGrowIn) {
    writeFile("Data/Episodes/e1/objects.ini",
              "[Room1]\ntype=Room\nx=0\ny=90\n[Room2]\ntype=room\nx=0\ny=10\n"
              "[Sofa]\nx=0\ny=50\naction=SofaAct\n[SofaAct]\nx=0\ny=50\n[Plant]\ntype=flower\n");
    FakeProfile profile;
    worldSetObjectMaker(kTypeRoom, makeRoom);
    ShopItemInfo sofaItem;
    sofaItem.name = "sofa";
    sofaItem.timeBonus = 300;
    sofaItem.priceBonus = 4;
    profile.items = {item("Room1", "room"), item("Sofa", "sofa", &sofaItem), item("Room2", "x")};
    profile.current = "room1, sofa_red";
    profile.previous = "room1";
    cLevelObj* out[kMaxLevelObjects];
    gRoomsMade = 0;
    const int n = createActionObject(out, kMaxLevelObjects);
    ASSERT_EQ(4, n);
    EXPECT_EQ(1, gRoomsMade);  // Room2 has no owned room item: a plain object
    const float ys[4] = {10, 50, 50, 90};
    for (int i = 0; i < n; ++i) EXPECT_EQ(ys[i], out[i]->GetBody().position.y);
    cLevelObj* sofa = nullptr;
    for (int i = 0; i < n; ++i)
        if (std::string(out[i]->GetSectionName()) == "Sofa") sofa = out[i];
    ASSERT_TRUE(sofa);
    EXPECT_TRUE(sofa->GetActionObject());
    EXPECT_EQ(300, sofa->GetTimeBonus());
    EXPECT_EQ(0.0f, sofa->GetGrow());  // bought since the last level
    for (int i = 0; i < n; ++i)
        if (out[i] != sofa && out[i] != sofa->GetActionObject()) {
            EXPECT_EQ(1.0f, out[i]->GetGrow());
        }
    for (int i = 0; i < n; ++i) delete out[i];
    worldSetObjectMaker(kTypeRoom, nullptr);

    EXPECT_EQ(nullptr, createLevelObject("", nullptr));
    cLevelObj* plant = createLevelObject("Plant", nullptr);  // no flower class yet: plain
    ASSERT_TRUE(plant);
    delete plant;

    // At most the capacity, logged.
    profile.items.assign(5, item("Sofa", "sofa"));
    EXPECT_EQ(4, createActionObject(out, 5));
    for (int i = 0; i < 4; ++i) delete out[i];
    worldSetProfile(nullptr);
    EXPECT_EQ(0, createActionObject(out, 5));
}

}  // namespace
