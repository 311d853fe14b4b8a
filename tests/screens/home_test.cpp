// The home driven through the window manager: which items are offered, the growing preview, an
// installation stored at once, and the scenery's timing.
#include "screens/home.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "engine/data/ini.h"
#include "tests/engine/gr/gr_fixtures.h"
#include "tests/screens/between_fixture.h"

namespace {

const char kLayout[] = "Data/Menu/UIHome/UIHome.ini";

const char kHomeLayout[] =
    "[Main]\r\nx=0\r\ny=0\r\nxs=1024\r\nys=768\r\n"
    "[Config]\r\ncell=Data/Menu/UIHome/cell.tga\r\ndisabled_cell=Data/Menu/UIHome/cell.tga\r\n"
    "cells_count=4\r\ncell_stride=100\r\ncell_base_pos=100, 50\r\n"
    "[Panel]\r\nx=0\r\ny=0\r\nxs=1024\r\nys=100\r\n"
    "[BtnInstall]\r\ntype=sprite\r\nstage=1\r\nx=800\r\ny=700\r\nxs=100\r\nys=40\r\n"
    "[BtnBack]\r\ntype=sprite\r\nstage=1\r\nx=900\r\ny=700\r\nxs=100\r\nys=40\r\n"
    "[fountain]\r\nsprite=Data/Menu/UIHome/deco.tga\r\nitemName=pond\r\n"
    "[jumpingFish]\r\nrepeatPeriod=500\r\njumpingArea=40, 20\r\nitemName=pond\r\n";

// Six items; "bench" needs "pond" installed first.
const char kItems[] =
    "[pond]\r\nobject1=Data/Menu/UIHome/deco.tga, 10, 300\r\n"
    "[bench]\r\ndepends_on=pond\r\nobject1=Data/Menu/UIHome/deco.tga, 200, 300, 2\r\n"
    "[lamp]\r\nobject1=Data/Menu/UIHome/deco.tga, 300, 300\r\n"
    "object2=Data/Menu/UIHome/deco.tga, 340, 300\r\n"
    "[tree]\r\nobject1=Data/Menu/UIHome/deco.tga, 400, 300\r\n"
    "[swing]\r\nobject1=Data/Menu/UIHome/deco.tga, 500, 300\r\n"
    "[nothing]\r\nobject1=Data/Menu/UIHome/deco.tga, 1\r\n"
    "[rose]\r\nobject1=Data/Menu/UIHome/deco.tga, 600, 300\r\n";

class Home : public BetweenLevels {
protected:
    void SetUp() override {
        BetweenLevels::SetUp();
        writeTga24("Data/Menu/UIHome/cell.tga", 100, 80, [](int, int) { return Rgb{40, 80, 120}; });
        writeTga24("Data/Menu/UIHome/deco.tga", 20, 40, [](int, int) { return Rgb{200, 80, 20}; });
        data(kLayout, kHomeLayout);
        data("Data/Menu/UIHome/items.ini", kItems);
        data("Data/Fx/fx.ini", "[HomeItemInstallBoom]\r\ndelay=0.25\r\n");
    }
    void TearDown() override {
        closeHome();
        BetweenLevels::TearDown();
    }
    void closeHome() {
        WM::Get()->Clear();
        home.reset();
    }
    // expert of the four levels finished at expert grade, and those items installed.
    void openHome(int expert, std::initializer_list<const char*> installed) {
        for (int i = 0; i < expert; ++i) gWayPoints[static_cast<uint32_t>(i)].SetResult(3);
        for (const char* name : installed) gCurrentProfile->AddHomeItem(name);
        home = std::make_unique<UIHome>();
        open(home.get(), kLayout);
    }
    std::string offer() {
        std::string names;
        for (int i = 0; i < home->DisplayCount(); ++i)
            names += std::string(i ? " " : "") + home->Displayed(i)->name.c_str() +
                     (home->Displayed(i)->available ? "+" : "");
        return names;
    }
    void hover(int k) { WM::Get()->OnMouseMove(0, uiPack(100 + 100 * k, 50)); }
    const HomeItem* displayed(const char* name) {
        for (int i = 0; i < home->DisplayCount(); ++i)
            if (strcmp(home->Displayed(i)->name.c_str(), name) == 0) return home->Displayed(i);
        return nullptr;
    }
    int cellOf(const char* name) {
        for (int i = 0; i < home->DisplayCount(); ++i)
            if (home->Displayed(i) == displayed(name)) return i;
        return -1;
    }

    std::unique_ptr<UIHome> home;
};

TEST_F(Home, InstallsFollowExpertLevelsAndLimitWhatIsOffered) {
    struct Case {
        int expert;
        std::initializer_list<const char*> installed;
        int left;
        const char* available;  // in file order
    } cases[] = {
        {3, {"tree"}, 2, "pond lamp swing rose"},
        {3, {"pond"}, 2, "bench lamp tree swing"},
        {1, {}, 1, "pond lamp tree"},
        // More items than expert levels: nothing is due, never a negative count.
        {0, {"pond", "tree"}, 0, "bench lamp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.available);
        CreatePlayer("p1", u"Anna");
        for (uint32_t i = 0; i < gWayPoints.size(); ++i) gWayPoints[i].SetResult(0);
        openHome(c.expert, c.installed);
        EXPECT_EQ(c.left, home->InstallsLeft());
        EXPECT_EQ(c.left == 0, home->Panel()->hidden());
        EXPECT_EQ(6, home->DisplayCount());
        std::string available;
        for (const char* name : {"pond", "bench", "lamp", "tree", "swing", "rose"})
            if (displayed(name)->available) available += std::string(available.empty() ? "" : " ") + name;
        EXPECT_EQ(c.available, available);
        // The available ones come first.
        for (int i = 1; i < home->DisplayCount(); ++i)
            EXPECT_FALSE(home->Displayed(i)->available && !home->Displayed(i - 1)->available);
        closeHome();
    }
}

TEST_F(Home, APreviewGrowsInAndTheInstallationIsStoredAtOnce) {
    openHome(2, {});
    int lamp = cellOf("lamp");
    ASSERT_LT(lamp, 3);
    hover(lamp);
    ASSERT_NE(nullptr, home->Current());
    EXPECT_STREQ("lamp", home->Current()->name.c_str());
    frames(4);
    // Hovered objects pulse in place, fully grown.
    EXPECT_LT(home->Current()->objects[0]->highlight, 1.0f);
    EXPECT_EQ(2, home->ObjectsToDraw());
    hover(cellOf("bench"));  // a disabled cell selects nothing
    frames(1);
    EXPECT_EQ(nullptr, home->Current());

    click(100 + 100 * lamp, 50);
    ASSERT_TRUE(home->InstallMode());
    EXPECT_EQ(1.0f, home->Current()->objects[0]->highlight);
    frames(40);
    EXPECT_EQ(41 * 25, home->GrowTimer());
    EXPECT_NEAR(41 * 25 / 2000.0f, home->Current()->objects[0]->grow, 1e-6);
    EXPECT_LT(home->Panel()->y, -home->Panel()->ys);  // out of view while previewing

    click(850, 720);  // install
    EXPECT_FALSE(home->InstallMode());
    EXPECT_EQ(1, home->InstallsLeft());
    restart();
    EXPECT_TRUE(gCurrentProfile->FindHomeItem("lamp"));
    EXPECT_EQ(1, gCurrentProfile->GetHomeItemCount());
    EXPECT_TRUE(home->Bursts().IsActive());
    // The panel returns once the fireworks are over.
    frames(200);
    EXPECT_FALSE(home->Bursts().IsActive());
    EXPECT_EQ(0, home->Panel()->y);
}

// A pointer move that comes in the same frame as the press, while the panel is still in view.
TEST_F(Home, HoveringWhileThePreviewStartsKeepsThePreviewedItem) {
    openHome(2, {});
    const int lamp = cellOf("lamp"), tree = cellOf("tree");
    ASSERT_LT(lamp, 4);
    ASSERT_LT(tree, 4);
    for (int k : {tree, -3}) {  // another item, then no cell at all
        SCOPED_TRACE(k);
        const intptr_t at = uiPack(100 + 100 * lamp, 50);
        WM::Get()->OnMouseMove(0, at);
        WM::Get()->OnKeyDown(kUiLeftButton, at);
        ASSERT_TRUE(home->InstallMode());
        hover(k);
        WM::Get()->OnKeyUp(kUiLeftButton, uiPack(100 + 100 * k, 50));
        frames(1);
        ASSERT_NE(nullptr, home->Current());
        EXPECT_STREQ("lamp", home->Current()->name.c_str());
        EXPECT_EQ(25, home->GrowTimer());  // growing in from the start
        if (k == tree) {
            click(950, 720);  // cancel, and the panel back in view
            frames(10);
        }
    }
    click(850, 720);  // install
    EXPECT_TRUE(gCurrentProfile->FindHomeItem("lamp"));
    EXPECT_FALSE(gCurrentProfile->FindHomeItem("tree"));
}

TEST_F(Home, WithNoInstallsLeftOneBackLeavesAndThePanelRestsOutOfView) {
    openHome(1, {});
    hover(0);
    click(100, 50);
    ASSERT_TRUE(home->InstallMode());
    frames(40);
    click(850, 720);
    EXPECT_EQ(0, home->InstallsLeft());
    frames(300);
    EXPECT_LT(home->Panel()->y, -home->Panel()->ys + 10);
    // Back again: the screen shows the installed item and leaves at the first Back.
    home->OnShow(0);
    EXPECT_TRUE(home->Panel()->hidden());
    click(100, 50);
    EXPECT_FALSE(home->InstallMode());
    click(950, 720);
    frames(14);
    EXPECT_EQ(0, WM::Get()->Count());
}

TEST_F(Home, TheFountainShowsThePartsOfInstalledItemsAndTheFishJumps) {
    openHome(1, {"pond"});
    EXPECT_TRUE(home->Fountain().FountainShown());
    EXPECT_TRUE(home->Fountain().FishShown());
    EXPECT_FALSE(home->Fountain().WaterShown());
    // The reset let the fish jump at the first update; it jumps again every repeat period.
    int countdown = home->Fountain().FishCountdown();
    ASSERT_GT(countdown, 0);
    ASSERT_LE(countdown, 500);
    frames(countdown / 25);
    EXPECT_EQ(countdown % 25, home->Fountain().FishCountdown());
    frames(1);
    EXPECT_EQ(500, home->Fountain().FishCountdown());
}

// --- Scenery ------------------------------------------------------------------------------------

TEST_F(Home, APartThatDoesNotLoopPlaysOnceAndALoopingOneWraps) {
    writeText("scenery.ini",
              "[once]\r\nsprite=Data/Menu/UIHome/deco.tga\r\nperiod=400\r\nframes=4\r\n"
              "[loop]\r\nsprite=Data/Menu/UIHome/deco.tga\r\nperiod=400\r\nframes=4\r\n"
              "cycled=1\r\n");
    iniFreeAll();
    for (const char* section : {"once", "loop"}) {
        SceneryItem part;
        part.Load("scenery.ini", section);
        ASSERT_NE(nullptr, part.anim.sprite);
        for (int i = 0; i < 20; ++i) part.Update(25);
        EXPECT_EQ(part.cycled ? 100 : 500, part.time) << section;
    }
}

TEST_F(Home, AStripItemWrapsToItsStartOnTheSameWaveAndAStillStripStaysPut) {
    HomeSpriteStrip::Item item;
    AnimDesc anim;
    item.anim = &anim;
    item.speed = 100.0f;
    item.startX = 0.0f;
    item.finishX = 100.0f;
    item.baseY = 50.0f;
    item.amplitude = 10.0f;
    item.frequency = 2.0f;
    item.Update(0.25f);
    EXPECT_FLOAT_EQ(25.0f, item.x);
    EXPECT_NEAR(50.0f + 10.0f * std::sin(25.0f * 2.0f * 3.1415f / 100.0f), item.y, 1e-4);
    for (int i = 0; i < 4; ++i) item.Update(0.2f);
    EXPECT_FLOAT_EQ(0.0f, item.x);  // passed the finish at 105

    // Leftward: from 100 down to 0.
    item.startX = 100.0f;
    item.finishX = 0.0f;
    item.x = 5.0f;
    item.Update(0.1f);
    EXPECT_FLOAT_EQ(100.0f, item.x);

    item.finishX = item.startX;
    item.x = 30.0f;
    item.Update(0.1f);
    EXPECT_FLOAT_EQ(30.0f, item.x);
    EXPECT_FALSE(std::isnan(item.y));
}

TEST_F(Home, TheFireworksFireEveryDelayAndHoldUntilTheLastHasFaded) {
    HomeInstallBoom bursts;
    bursts.Load(kLayout);
    ASSERT_FLOAT_EQ(0.25f, bursts.Delay());
    EXPECT_FALSE(bursts.IsActive());
    bursts.Start();
    std::vector<int> firedAt;
    for (int step = 1; step <= 120; ++step) {
        int before = bursts.Fired();
        bursts.Update(0.025f);
        if (bursts.Fired() != before) firedAt.push_back(step);
        if (step == 70) {
            EXPECT_TRUE(bursts.IsActive());
        }
    }
    // The first update at or past 0, 0.25, ... 1.75 seconds, as the float clock counts them.
    ASSERT_EQ(8u, firedAt.size());
    EXPECT_EQ(1, firedAt[0]);
    for (int k = 1; k < 8; ++k) {
        EXPECT_GE(firedAt[static_cast<size_t>(k)], 10 * k);
        EXPECT_LE(firedAt[static_cast<size_t>(k)], 10 * k + 1);
    }
    EXPECT_FALSE(bursts.IsActive());
}

TEST_F(Home, ASunOverlayTurnsAtFullLevelAndFadesAtTheSameSpeed) {
    writeText("sun.ini", "[Sun]\r\nspritesCount=1\r\nsprite0=Data/Menu/UIHome/deco.tga\r\n");
    iniFreeAll();
    HomeFlicker sun;
    sun.Load("sun.ini");
    ASSERT_EQ(1, sun.Count());
    sun.Set(0, 0.99f, 1.0f);
    sun.Update(25);
    EXPECT_FLOAT_EQ(1.0f, sun.Level(0));
    EXPECT_FLOAT_EQ(-1.0f, sun.Speed(0));
    sun.Update(25);
    EXPECT_FLOAT_EQ(0.975f, sun.Level(0));
}

}  // namespace
