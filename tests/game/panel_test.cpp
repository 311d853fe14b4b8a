// The command panels on the bundled first level, played through the window manager as a player
// does: which buttons each panel shows, when they light, the flash after a wrong click, calling
// the Porter and the Maid out with a click, and the tutorial's hint at a button.
#include <cstring>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/platform.h"
#include "game/panel.h"
#include "game/tutorial.h"
#include "tests/game/display.h"
#include "tests/game/level_harness.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/porter.h"
#include "world/request.h"

namespace {

using leveltest::LevelHarness;

constexpr const char* kLevels = "Data/Episodes/e1/levels.ini";

// The first level with the Maid and the Porter resting at their base as the level file places
// them, for a level that does not bring its own, and the level objects' requests found for a
// level that does not find them itself.
class StaffedLevel : public cGame {
public:
    StaffedLevel() {
        maid_.Load("Data/Heroes/Maid/Maid.ini");
        porter_.Load("Data/Heroes/Porter/Porter.ini");
        Point2i p(0, 0);
        if (iniReadIntPair(&p, kLevels, "HeroWaitPos", "maid")) maid_.SetWaitPos(p);
        if (iniReadIntPair(&p, kLevels, "HeroWaitPos", "porter")) porter_.SetWaitPos(p);
    }
    HeroLink* GetHeroByName(const char* name) override {
        if (HeroLink* hero = cGame::GetHeroByName(name)) return hero;
        if (name && strcmp(name, "Maid") == 0) return &maid_;
        if (name && strcmp(name, "Porter") == 0) return &porter_;
        return nullptr;
    }
    // A level without clients of its own would end as soon as it starts: this one plays on.
    int Update(int ms) override {
        const int result = cGame::Update(ms);
        if (GetClientsReleased() == 0 && GetLevelState() == kLevelOver) SetLevelState(kPlaying);
        return result;
    }
    const cRequest* FindRequest(int kind, bool waitingOnly) override {
        if (const cRequest* found = cGame::FindRequest(kind, waitingOnly)) return found;
        for (int i = 0; i < GetObjectCount(); ++i) {
            const cRequest& r = GetObject(i)->GetRequest();
            if (r.GetKind() == kind && (!waitingOnly || r.IsWaiting())) return &r;
        }
        return nullptr;
    }

private:
    cMaid maid_;
    cPorter porter_;
};

class Panels : public LevelHarness {
protected:
    void SetUp() override {
        LevelHarness::SetUp();
        Start(true);
    }
    void TearDown() override {
        LevelHarness::TearDown();
        cTutorial::Free();
    }

    // The level through every loading stage, on the window manager and playing, with both
    // heroes back at their base after the level's opening wave. The player's hints are off: a
    // hint would take the clicks meant for the level.
    cGame* PlayStaffed() {
        gCurrentProfile->SetTutorialOn(false);
        // The player's hotel has a room and a flower besides its furniture.
        for (const char* object : {"Room1", "Flower1"})
            gCurrentProfile->InsertObjectItem(gCurrentProfile->MakeObjectItem(object));
        game = new StaffedLevel;
        for (int stage = 0; stage < cGame::kLoadStages; ++stage) game->LoadLevel(stage);
        WM::Get()->Push(game, false, false, true);
        Step(13);
        EXPECT_TRUE(PlayOn());
        for (const char* name : {"Maid", "Porter"})
            for (int i = 0; i < 2000 && !hero(name)->IsUnavailable(); ++i) Step();
        return game;
    }
    cHero* hero(const char* name) { return dynamic_cast<cHero*>(game->GetHeroByName(name)); }
    static cRoundBtn* buttonOf(cCommandPanel* panel, int kind) {
        for (int i = 0; i < cCommandPanel::kButtons; ++i)
            if (panel->Button(i) && panel->Button(i)->IsShowing() == kind) return panel->Button(i);
        return nullptr;
    }
    // A move and a press of the left button at the point.
    void clickAt(Point2i p) {
        WM::Get()->OnMouseMove(0, at(p.x, p.y));
        WM::Get()->OnKeyDown(1, at(p.x, p.y));
        WM::Get()->OnKeyUp(1, at(p.x, p.y));
    }
    // A point on the object's body, where a click reaches it.
    static Point2i on(const cLevelObj* object) {
        const Vec2f p = object->GetBody().position;
        return Point2i(static_cast<int>(p.x), static_cast<int>(p.y) - 10);
    }
    cLevelObj* brokenObject() {
        for (int i = 0; i < game->GetObjectCount(); ++i)
            if (game->GetObject(i)->GetState() == cLevelObj::kBroken) return game->GetObject(i);
        return nullptr;
    }
    void render() {
        HSPRITE target = grCreateSprite(1024, 768, "panel test back buffer");
        HSPRITE screen = grSetTarget(target);
        WM::Get()->Render();
        grSetTarget(screen);
        grFreeSprite(target);
    }
};

TEST_F(Panels, EachPanelShowsItsHerosKindsOfTheLevel) {
    cGame* level = PlayStaffed();
    struct Expected {
        cCommandPanel* panel;
        const char* hero;
        int kinds[cCommandPanel::kButtons];  // kNoRequest: a free button
    } cases[] = {
        // The Maid cleans and, with a flower in the hotel, waters; the level's other kinds are
        // Jenny's or the Porter's.
        {level->LeftPanel(), "Maid", {kClean, kWater, kNoRequest, kNoRequest}},
        // Repair comes first; cards, photos and souvenirs follow in the level's order.
        {level->RightPanel(), "Porter", {kRepair, kCards, kPhoto, kSouvenir}},
    };
    for (const Expected& e : cases) {
        ASSERT_NE(e.panel, nullptr) << e.hero;
        EXPECT_STREQ(e.panel->HeroName(), e.hero);
        ASSERT_NE(e.panel->BigButton(), nullptr);
        EXPECT_EQ(e.panel->BigButton()->Hero(), hero(e.hero));
        EXPECT_EQ(e.panel->BigButton()->state, UI_NORMAL);
        for (int i = 0; i < cCommandPanel::kButtons; ++i) {
            cRoundBtn* b = e.panel->Button(i);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->IsShowing(), e.kinds[i]) << e.hero << " " << i;
            const bool shown = e.kinds[i] != kNoRequest;
            EXPECT_EQ(b->state, shown ? UI_NORMAL : UI_IGNORE) << e.hero << " " << i;
            EXPECT_EQ(b->Icon() != nullptr, shown) << e.hero << " " << i;
            if (shown) {
                EXPECT_EQ(b->Hero(), hero(e.hero));
            }
        }
    }
    EXPECT_EQ(level->RequestKindsInUse().size(), 0u);
}

TEST_F(Panels, AButtonIsLitAtTheStepAndDrawingOnlyReadsIt) {
    cGame* level = PlayStaffed();
    cRoundBtn* repair = buttonOf(level->RightPanel(), kRepair);
    ASSERT_NE(repair, nullptr);
    Step();
    EXPECT_FALSE(repair->Lit());
    level->BreakRandomObject();
    render();
    EXPECT_FALSE(repair->Lit()) << "a draw decides nothing";
    Step();
    EXPECT_TRUE(repair->Lit());
}

TEST_F(Panels, EveryButtonLightsAsAFreshSearchSaysStepAfterStep) {
    // The buttons of a step share one search; after each step every button's light must still
    // be what the finders, asked afresh, say.
    cGame* level = PlayStaffed();
    auto waits = [level](const cRoundBtn* b) {
        if (b->state == UI_IGNORE) return false;
        if (b->IsShowing() == kNoRequest) return level->FindWaitingRequestOfHero(b->Hero()) != nullptr;
        if (b->IsShowing() == kRepair)
            return level->FindRequest(kRepair, true) || level->FindRequest(kUpgrade, true);
        return level->FindRequest(b->IsShowing(), true) != nullptr;
    };
    int lit = 0;
    for (int step = 0; step < 400; ++step) {
        if (step % 60 == 0) level->BreakRandomObject();
        Step();
        for (cCommandPanel* panel : {level->LeftPanel(), level->RightPanel()}) {
            ASSERT_NE(panel, nullptr);
            for (int i = -1; i < cCommandPanel::kButtons; ++i) {
                const cRoundBtn* b = i < 0 ? panel->BigButton() : panel->Button(i);
                if (!b) continue;
                EXPECT_EQ(b->Lit(), waits(b)) << "step " << step << ", button " << i;
                lit += b->Lit();
            }
        }
    }
    EXPECT_GT(lit, 0);
}

TEST_F(Panels, ABrokenObjectLightsTheRepairButtonWhoseClickCallsThePorterOut) {
    cGame* level = PlayStaffed();
    cHero* porter = hero("Porter");
    cRoundBtn* repair = buttonOf(level->RightPanel(), kRepair);
    ASSERT_NE(repair, nullptr);
    const Point2i centre = repair->Centre();
    // Nothing waits: the button is dark and takes no click.
    EXPECT_FALSE(repair->UpdateProgress());
    clickAt(centre);
    EXPECT_TRUE(porter->IsUnavailable());
    WM::Get()->OnMouseMove(0, at(0, 0));

    // The Maid's own button answers her requests only (a wilting flower may light it).
    const bool maidAsked = level->LeftPanel()->BigButton()->UpdateProgress();
    level->BreakRandomObject();
    cLevelObj* broken = brokenObject();
    ASSERT_NE(broken, nullptr);
    EXPECT_TRUE(repair->UpdateProgress());
    EXPECT_TRUE(level->RightPanel()->BigButton()->UpdateProgress());
    EXPECT_EQ(level->LeftPanel()->BigButton()->UpdateProgress(), maidAsked);
    EXPECT_EQ(repair->OutlineColour(), 0xFFFFFF2Du);  // yellow: the Porter rests at his base

    // A click on the object while he rests is a wrong action: the button and the Porter's own
    // button flash, the outline white (to show against the yellow) fading in over 250 ms.
    clickAt(on(broken));
    EXPECT_EQ(porter->TaskCount(), 0);
    EXPECT_EQ(repair->FlashEnd(), repair->clock + cRoundBtn::kFlashMs);
    cRoundBtn* big = level->RightPanel()->BigButton();
    EXPECT_EQ(big->FlashEnd(), big->clock + cRoundBtn::kFlashMs);
    EXPECT_EQ(repair->OutlineColour() & 0x00FFFFFFu, 0x00FFFFFFu);
    WM::Get()->OnMouseMove(0, at(0, 0));
    struct {
        int step;
        uint32_t alpha;
    } fade[] = {{0, 0}, {5, 180}, {5, 255}};
    for (const auto& f : fade) {
        Step(f.step);
        EXPECT_EQ(repair->OutlineColour() >> 24, f.alpha) << repair->clock;
    }

    // On the button the outline turns white; the click calls him out, and the object's next
    // click orders the repair.
    WM::Get()->OnMouseMove(0, at(centre.x, centre.y));
    EXPECT_TRUE(repair->Hovered());
    EXPECT_EQ(repair->state, UI_ACTIVE);
    EXPECT_EQ(repair->OutlineColour(), 0xFFFFFFFFu);
    clickAt(centre);
    EXPECT_FALSE(porter->IsUnavailable());
    WM::Get()->OnMouseMove(0, at(0, 0));
    EXPECT_EQ(repair->OutlineColour(), 0x00FFFFFFu);  // clear while he is out
    clickAt(on(broken));
    EXPECT_TRUE(porter->HasTask(kRepair, broken));
}

TEST_F(Panels, OnlyALitButtonTakesTheClickAndItsCircleEdgeCounts) {
    cGame* level = PlayStaffed();
    level->BreakRandomObject();
    cRoundBtn* repair = buttonOf(level->RightPanel(), kRepair);
    cRoundBtn* free = level->LeftPanel()->Button(2);
    ASSERT_NE(repair, nullptr);
    ASSERT_EQ(free->IsShowing(), kNoRequest);
    const Point2i c = repair->Centre();
    const int r = repair->Radius();
    ASSERT_GT(r, 0);
    struct {
        cRoundBtn* button;
        Point2i point;
        bool hit;
    } cases[] = {
        {repair, c, true},
        {repair, c + Point2i(r, 0), true},  // on the edge
        {repair, c + Point2i(0, -r), true},
        {repair, c + Point2i(r, 1), false},
        {repair, c + Point2i(r, r), false},  // inside the square, outside the circle
        {free, free->Centre(), false},       // a free button never takes a click
    };
    for (const auto& k : cases) {
        EXPECT_EQ(k.button->HitTest(k.point.x, k.point.y), k.hit) << k.point.x << "," << k.point.y;
        EXPECT_EQ(level->RightPanel()->BigButton()->state, UI_NORMAL);
    }
    // A hit on a round button lights the panel's big button with it.
    EXPECT_TRUE(level->RightPanel()->HitTest(c.x, c.y));
    EXPECT_EQ(level->RightPanel()->BigButton()->state, UI_ACTIVE);
    EXPECT_FALSE(level->RightPanel()->HitTest(0, 0));
    EXPECT_EQ(level->RightPanel()->BigButton()->state, UI_NORMAL);
}

TEST_F(Panels, TheRepairButtonStandsForARoomUpgradeWhenNoRepairWaits) {
    cGame* level = PlayStaffed();
    cRoundBtn* repair = buttonOf(level->RightPanel(), kRepair);
    cLevelObj* room = level->FindLevelObjectByName("Room1");
    ASSERT_NE(room, nullptr);
    room->GetRequest().Load(kUpgrade, 0, room, 0);
    room->GetRequest().SetWaiting();
    EXPECT_TRUE(repair->UpdateProgress());
    // The hero's own button lights for any of his requests.
    EXPECT_TRUE(level->RightPanel()->BigButton()->UpdateProgress());
    const Point2i c = level->RightPanel()->BigButton()->Centre();
    clickAt(c);
    EXPECT_FALSE(hero("Porter")->IsUnavailable());
    room->GetRequest().Reset();
    EXPECT_FALSE(repair->UpdateProgress());
}

// On a 1024 x 768 display, where the tutorial's spots can be seen.
class PanelsOnScreen : public Panels {
protected:
    void SetUp() override {
        GameFolder::SetUp();
        testdisplay::open();
        if (HasFatalFailure()) return;
        Start(true);
    }
    void TearDown() override {
        cTutorial::Free();
        LevelHarness::TearDown();
        testdisplay::close();
    }
};

TEST_F(PanelsOnScreen, AHintAtTheWaterButtonFreezesTheLevelAndItsClosingClickCallsTheMaid) {
    cGame* level = PlayStaffed();
    gCurrentProfile->SetTutorialOn(true);
    cTutorial::Load("Data/Tutorial/Tutorial.ini");
    cRoundBtn* water = buttonOf(level->LeftPanel(), kWater);
    ASSERT_NE(water, nullptr);
    cLevelObj* flower = level->FindLevelObjectByName("Flower1");
    ASSERT_NE(flower, nullptr);
    flower->GetRequest().Load(kWater, 0, flower, 0);
    flower->GetRequest().SetWaiting();
    ASSERT_FALSE(gTutorial->WasShown("Water_Start"));

    // The next step opens the hint around the lit button; the level waits.
    Step();
    ASSERT_EQ(level->GetLevelState(), cGame::kTutorial);
    const int clock = level->GetLevelClock();
    Step(8);
    EXPECT_EQ(level->GetLevelClock(), clock);

    // The click on the spot closes the hint and reaches the button: the Maid comes out.
    cHero* maid = hero("Maid");
    ASSERT_TRUE(maid->IsUnavailable());
    clickAt(water->Centre());
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
    EXPECT_FALSE(maid->IsUnavailable());
    EXPECT_TRUE(gTutorial->WasShown("Water_Start"));
    render();
    EXPECT_EQ(level->GetLevelState(), cGame::kPlaying);
}

// Panel files written by the test, loaded over the running level so that their heroes are found.
TEST_F(Panels, APanelShowsItsOwnHerosKindsExactlyNamedAndAtMostFour) {
    struct Case {
        std::string hero;
        std::vector<int> offered, shown;
        const char* storedName;
    };
    const Case cases[] = {
        {"Porter", {kRepair, kCards, kPhoto, kSouvenir, kLuggage}, {kRepair, kCards, kPhoto, kSouvenir},
         "Porter"},
        {"Maid", {kCards, kClean, kCocktail, kNoRequest, -1}, {kClean}, "Maid"},
        // The request file names "Maid": a lower-case panel hero serves nothing.
        {"maid", {kClean, kWater}, {}, "maid"},
        // A name too long for the panel is cut, and then names nobody.
        {"PorterPorterPorter", {kRepair}, {}, "PorterPorterP"},
        {"", {kRepair, kClean}, {}, ""},
    };
    int n = 0;
    for (const Case& k : cases)
        program.write("panel" + std::to_string(n++) + ".ini",
                      "[Main]\nhero=" + k.hero +
                          "\nx=100\ny=50\n[Btn0]\nx=10\nradius_x=4\nradius=20\n"
                          "[Icons]\nRepair0=Data/Interface/icons/repair.tga\n");
    cGame* level = PlayStaffed();
    n = 0;
    for (const Case& k : cases) {
        const std::string file = "panel" + std::to_string(n++) + ".ini";
        cCommandPanel panel;
        panel.Load(file.c_str(), "Main");
        EXPECT_STREQ(panel.HeroName(), k.storedName);
        EXPECT_EQ(panel.BigButton()->Hero(), level->GetHeroByName(k.hero.c_str())) << k.hero;
        for (int kind : k.offered) panel.AddRequest(kind);
        size_t i = 0;
        for (; i < k.shown.size(); ++i)
            EXPECT_EQ(panel.Button(static_cast<int>(i))->IsShowing(), k.shown[i]) << k.hero;
        for (; i < cCommandPanel::kButtons; ++i)
            EXPECT_EQ(panel.Button(static_cast<int>(i))->state, UI_IGNORE) << k.hero << " " << i;
        // Button places are the panel's corner plus the file's offsets.
        EXPECT_EQ(panel.Button(0)->x, 110);
        EXPECT_EQ(panel.Button(0)->Centre().x, 104);
    }
    // A panel of a missing file has its buttons, all free, and no hero.
    cCommandPanel none;
    none.Load("Data/Interface/missing.ini", "Main");
    EXPECT_STREQ(none.HeroName(), "");
    none.FlashRequest(kRepair);
    EXPECT_EQ(none.Button(0)->FlashEnd(), 0);
    // A centre and a radius out of all proportion are held, and the hit test of a showing button
    // does not overflow (the sanitizers would stop it).
    program.write("far.ini", "[Main]\nhero=Maid\nx=100\ny=50\n[Btn0]\nradius_x=2147483647\n"
                             "radius_y=-2147483648\nradius=2147483647\n");
    cCommandPanel far;
    far.Load("far.ini", "Main");
    EXPECT_EQ(far.Button(0)->Centre().x, 100 + (1 << 20));
    far.AddRequest(kClean);
    ASSERT_NE(far.Button(0)->state, UI_IGNORE);
    far.Button(0)->HitTest(-2000000, 2000000);
}

}  // namespace
