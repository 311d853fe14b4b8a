// The high-score table: rows from scores.ini, the default file and the last fallback, a finished
// game entering in place of the lowest row, a damaged file, and one table for all players.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_data.h"
#include "game/profile.h"
#include "screens/scores.h"
#include "tests/screens/screen_fixture.h"

namespace {

constexpr const char* kLayout = "Data/Menu/UIScores/UIScores.ini";

struct Row {
    std::u16string name;
    int32_t value;
    bool operator==(const Row& o) const { return name == o.name && value == o.value; }
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << std::string(r.name.begin(), r.name.end()) << "=" << r.value;
}

class Scores : public ScreenTest {
protected:
    void build(int count) {
        data(kLayout, "[Main]\r\nxs=600\r\nys=500\r\n" + buttonSection("Ok", 250, 440) +
                          "[Config]\r\ntop_text_y=100\r\nleft_margin=50\r\nright_margin=550\r\n"
                          "stride=30\r\nscores_count=" + std::to_string(count) + "\r\n");
        gUIScores = makeScreen<UIScores>(kLayout);
    }
    UIScores* scores() { return static_cast<UIScores*>(gUIScores.get()); }
    std::vector<Row> rows() {
        std::vector<Row> out;
        for (uint32_t i = 0; i < scores()->entries().size(); ++i) {
            const ScoreEntry& e = scores()->entries()[i];
            out.push_back({e.name() ? e.name() : u"", e.value});
        }
        return out;
    }
    void writeScores(const std::string& text) {
        user.write("Velmora Test/scores.ini", text);
        iniFreeAll();
    }
};

TEST_F(Scores, RowsComeFromTheUserFileThenTheDefaultsThenTheFallback) {
    data("Data/Menu/UIScores/default.ini",
         "[score0]\r\nname=Ada\r\nvalue=500\r\n[score1]\r\nname=Bo\r\nvalue=300\r\n"
         "[score2]\r\nname=Cy\r\nvalue=-7\r\n");
    writeScores("[score1]\r\nname=" + std::string(300, 'x') + "\r\nvalue=900\r\n"
                "[score2]\r\nname=Di\r\nvalue=-40\r\n[score3]\r\nname=\r\nvalue=5\r\n");
    build(4);
    const std::vector<Row> expected = {{std::u16string(256, u'x'), 900},
                                       {u"Orvo", 1000},
                                       {u"Ada", 500},
                                       {u"Di", 0}};
    std::vector<Row> want = expected;
    std::swap(want[0], want[1]);  // highest first
    EXPECT_EQ(rows(), want);
    // The whole table is stored in order, the defaults included.
    build(4);
    EXPECT_EQ(rows(), want);
    char16_t name[8] = {};
    int value = -1;
    scoresGetWide("score3", "name", name, 8);
    scoresGetInt("score3", "value", &value);
    EXPECT_EQ(std::u16string(name), u"Di");
    EXPECT_EQ(value, 0);
    EXPECT_STREQ(scores()->section, "UIScores");
}

TEST_F(Scores, AFinishedGameTakesTheLowestPlaceEvenBelowEveryRow) {
    data("Data/Menu/UIScores/default.ini",
         "[score0]\r\nname=Ada\r\nvalue=500\r\n[score1]\r\nname=Bo\r\nvalue=200\r\n"
         "[score2]\r\nname=Cy\r\nvalue=200\r\n");
    build(3);
    scoresAddFinishedGame(u"Eve", 10);
    EXPECT_EQ(rows(), (std::vector<Row>{{u"Ada", 500}, {u"Cy", 200}, {u"Eve", 10}}));
    scoresAddFinishedGame(u"Fay", 5000000000ull);  // beyond 32 bits: the largest score
    EXPECT_EQ(rows(), (std::vector<Row>{{u"Fay", INT32_MAX}, {u"Ada", 500}, {u"Cy", 200}}));
    build(3);  // read back from scores.ini
    EXPECT_EQ(rows(), (std::vector<Row>{{u"Fay", INT32_MAX}, {u"Ada", 500}, {u"Cy", 200}}));
}

TEST_F(Scores, AnEmptyTableTakesTheFinishedGameAsItsOnlyRow) {
    build(0);
    EXPECT_TRUE(rows().empty());
    scoresAddFinishedGame(u"Eve", 42);
    EXPECT_EQ(rows(), (std::vector<Row>{{u"Eve", 42}}));
}

TEST_F(Scores, ADamagedFileKeepsWhatCanBeRead) {
    writeScores(std::string("[score0]\r\nname=Kim\r\nvalue=77\r\n[score1\r\nname=\xff\xfe\x00") +
                std::string("\0\0\x01[[=\r\nvalue=zz\r\n[score2]\r\nname", 24));
    build(3);
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_EQ(rows()[0], (Row{u"Orvo", 1000}));
    EXPECT_NE(std::find(rows().begin(), rows().end(), Row{u"Kim", 77}), rows().end());
}

TEST_F(Scores, OkClosesTheModalTable) {
    build(1);
    gUIMainMenu.Reset(new Window);
    settle(gUIMainMenu.get());
    settle(scores(), false, true);
    click(scores(), "Ok");
    settleAll();
    EXPECT_FALSE(running(scores()));
    EXPECT_TRUE(running(gUIMainMenu.get()));
}

TEST_F(Scores, OneTableForEveryPlayerAndTheLastWayPointEntersIt) {
    data("Data/shared.ini", "[WayPoints]\r\n0=level, 1, 10, 10\r\n");
    LoadWayPoints();
    build(1);
    CreatePlayer("profile.aaaaaaaaaa", u"Anna");
    ASSERT_NE(gCurrentProfile, nullptr);
    gCurrentProfile->AddCash(250);
    gCurrentProfile->GoToLevel(1);
    ASSERT_TRUE(gGameFinished);
    const std::vector<Row> after = rows();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].name, u"Anna");
    CreatePlayer("profile.bbbbbbbbbb", u"Ben");
    build(1);
    EXPECT_EQ(rows(), after);
}

}  // namespace
