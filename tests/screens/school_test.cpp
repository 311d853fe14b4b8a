// The school driven through the window manager: the row's order and buyability, the bars, the
// selection, and skills that stay learnt exactly once across restarts.
#include "screens/school.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "screens/holders.h"
#include "tests/screens/between_fixture.h"
#include "tests/support/child.h"

namespace {

const char kLayout[] = "Data/Menu/UISchool/UISchool.ini";

const char kSchoolLayout[] =
    "[Main]\r\nx=0\r\ny=0\r\nxs=800\r\nys=600\r\n"
    "[Param]\r\ncell_x=100\r\ncell_y=300\r\ncell_w=100\r\ncell_h=100\r\ncash_diffuse_max=200\r\n"
    "[BtnBuy]\r\ntype=sprite\r\nstage=1\r\nx=600\r\ny=520\r\nxs=100\r\nys=40\r\n"
    "[BtnBack]\r\ntype=sprite\r\nstage=1\r\nx=700\r\ny=520\r\nxs=80\r\nys=40\r\n"
    "[ArrowLeft]\r\ntype=sprite\r\nstage=1\r\nx=40\r\ny=320\r\nxs=40\r\nys=40\r\n"
    "[ArrowRight]\r\ntype=sprite\r\nstage=1\r\nx=620\r\ny=320\r\nxs=40\r\nys=40\r\n"
    "[MaidBar]\r\ntype=progress\r\nx=100\r\ny=100\r\nxs=100\r\nys=10\r\n"
    "[JennyBar]\r\ntype=progress\r\nx=300\r\ny=100\r\nxs=100\r\nys=10\r\n"
    "[PorterBar]\r\ntype=progress\r\nx=500\r\ny=100\r\nxs=100\r\nys=10\r\n"
    "[upper_cells]\r\ncount=3\r\n"
    "[upper_cell0]\r\ntype=speed\r\npos=10, 10\r\n[upper_cell1]\r\ntype=tidy\r\npos=60, 10\r\n"
    "[upper_cell2]\r\ntype=lift\r\npos=110, 10\r\n";

// Jenny's speed line of three grades, the maid's tidiness of two, the porter's lifting of one
// that comes late.
const char kItems[] =
    "[speed0]\r\ntype=speed\r\nhero=jenny\r\nprice=50\r\ngrade=0\r\nbonus.text=fast\r\n"
    "[speed1]\r\ntype=speed\r\nhero=jenny\r\nprice=80\r\ngrade=1\r\n"
    "[speed2]\r\ntype=speed\r\nhero=jenny\r\nprice=120\r\ngrade=2\r\n"
    "[tidy0]\r\ntype=tidy\r\nhero=maid\r\nprice=40\r\ngrade=0\r\n"
    "[tidy1]\r\ntype=tidy\r\nhero=maid\r\nprice=500\r\ngrade=1\r\n"
    "[lift0]\r\ntype=lift\r\nhero=porter\r\nprice=10\r\ngrade=0\r\nallowed_from_level=3\r\n";

class School : public BetweenLevels {
protected:
    void SetUp() override {
        BetweenLevels::SetUp();
        data(kLayout, kSchoolLayout);
        data("Data/Menu/UISchool/items.ini", kItems);
        FreeGameData();
        LoadSchoolItems();
    }
    void TearDown() override {
        closeSchool();
        BetweenLevels::TearDown();
    }
    void closeSchool() {
        WM::Get()->Clear();
        school.reset();
    }
    void openSchool(bool replay = false) {
        standOnWayPoint1(replay);
        school = std::make_unique<UISchool>();
        open(school.get(), kLayout);
    }
    std::vector<std::string> row() {
        std::vector<std::string> names;
        for (int i = 0; i < school->EntryCount(); ++i) {
            const SchoolEntry& e = school->Entry(i);
            names.push_back(std::string(e.item->name.c_str()) + (e.buyable ? "+" : ""));
        }
        return names;
    }
    void cell(int k) { click(150 + 100 * k, 350); }
    void buy() { click(650, 540); }
    float bar(const char* name) { return findChild(school.get(), name)->GetValue(); }

    std::unique_ptr<UISchool> school;
};

TEST_F(School, TheRowPutsBuyableSkillsFirstThenByLineAndPrice) {
    openSchool();
    // Grade 0 of each line is buyable when affordable and allowed; higher grades wait.
    EXPECT_EQ((std::vector<std::string>{"speed0+", "tidy0+", "lift0", "speed1", "speed2",
                                        "tidy1"}),
              row());
    EXPECT_TRUE(school->Upper(0)->highlighted);
    EXPECT_FALSE(school->Upper(2)->highlighted);  // lifting comes at way point 3
}

TEST_F(School, APurchaseMovesTheBarAndOpensTheNextGradeOfItsLine) {
    openSchool();
    cell(0);
    ASSERT_STREQ("speed0", school->GetSelected()->item->name.c_str());
    EXPECT_EQ(UISchool::kJenny, school->CurrentHero());
    buy();
    EXPECT_EQ(250, gCurrentProfile->GetSkillPoints());
    EXPECT_TRUE(school->Entry(0).bought);
    // Jenny holds one grade-0 skill of her three items.
    EXPECT_FLOAT_EQ(1.0f / 3.0f, bar("JennyBar"));
    EXPECT_FLOAT_EQ(0.0f, bar("MaidBar"));
    bool speed1 = false;
    for (int i = 0; i < school->EntryCount(); ++i)
        if (strcmp(school->Entry(i).item->name.c_str(), "speed1") == 0) speed1 = school->Entry(i).buyable;
    EXPECT_TRUE(speed1);
    EXPECT_STREQ("fast", school->Upper(0)->name);
    // The next showing drops the learnt grade.
    school->OnShow(0);
    EXPECT_EQ((std::vector<std::string>{"speed1+", "tidy0+", "lift0", "speed2", "tidy1"}), row());
}

TEST_F(School, ASkillStaysLearntOnceAfterARestartOnFreshAndReplayedWayPoints) {
    for (bool replay : {false, true}) {
        SCOPED_TRACE(replay ? "replayed" : "fresh");
        CreatePlayer("p1", u"Anna");
        openSchool(replay);
        ASSERT_EQ(300, gCurrentProfile->GetSkillPoints());
        cell(1);
        ASSERT_STREQ("tidy0", school->GetSelected()->item->name.c_str());
        int status = testsupport::inChild([&] { buy(); });
        ASSERT_TRUE(WIFEXITED(status));
        closeSchool();
        restart();
        EXPECT_EQ(260, gCurrentProfile->GetSkillPoints());
        cArray<cSchoolItem*> learnt;
        gCurrentProfile->GetSchoolItems(learnt);
        ASSERT_EQ(1u, learnt.size());
        EXPECT_STREQ("tidy0", learnt[0]->name.c_str());
    }
}

TEST_F(School, TheSelectionStaysInsideTheRowAndScrollsByOne) {
    openSchool();
    UIWnd* left = findChild(school.get(), "ArrowLeft");
    UIWnd* right = findChild(school.get(), "ArrowRight");
    school->OnCommand(left);
    EXPECT_EQ(0u, school->SelectedIndex());
    for (int i = 0; i < 5; ++i) school->OnCommand(right);
    EXPECT_EQ(5u, school->SelectedIndex());
    EXPECT_EQ(1u, school->First());
    school->OnCommand(right);
    EXPECT_EQ(5u, school->SelectedIndex());
    // A row with nothing left to learn selects nothing and hides the arrows.
    data("Data/Menu/UISchool/items.ini", "");
    FreeGameData();
    LoadSchoolItems();
    school->OnShow(0);
    EXPECT_EQ(nullptr, school->GetSelected());
    EXPECT_TRUE(left->hidden());
    school->OnCommand(left);
    school->OnCommand(right);
    EXPECT_EQ(nullptr, school->GetSelected());
    frames(2);
}

TEST_F(School, APulseSpeedOfZeroHoldsThePulse) {
    openSchool();
    frames(10);
    EXPECT_EQ(200, school->Pulse());
}

TEST_F(School, HeroesAreKnownByTheirExactNames) {
    struct Case {
        const char* hero;
        int expected;
    } cases[] = {{"jenny", UISchool::kJenny}, {"porter", UISchool::kPorter},
                 {"maid", UISchool::kMaid},   {"jennyfer", UISchool::kMaid},
                 {"", UISchool::kMaid}};
    for (const Case& c : cases) EXPECT_EQ(c.expected, UISchool::HeroOf(c.hero)) << c.hero;
}

}  // namespace

namespace {

TEST_F(School, BackGoesToTheEpisodeMap) {
    openSchool();
    gUIGameMap.Reset(new Window);
    click(740, 540);
    frames(14);
    // The school closed itself; the map is the one window on show.
    EXPECT_EQ(1, WM::Get()->Count());
    EXPECT_TRUE(WM::Get()->Close(gUIGameMap.get()));
    closeSchool();
    gUIGameMap.Reset(nullptr);
}

}  // namespace
