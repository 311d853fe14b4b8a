// The high-score table: rows from scores.ini, the default file and the last fallback, a finished
// game entering in place of the lowest row, a damaged file, and one table for all players.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/gr/image.h"
#include "engine/gr/sprite.h"
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

TEST_F(Scores, AnEmptyOrOversizedCount) {
    build(-3);
    EXPECT_TRUE(rows().empty());
    build(2000000000);  // would take minutes at start-up
    EXPECT_EQ(rows().size(), 100u);
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

TEST_F(Scores, RowsDrawNamesFromTheLeftMarginAndValuesUpToTheRightOne) {
    // A white font whose glyphs are 3 pixels wide and 4 high.
    std::vector<uint8_t> px(3 * 94 * 4 * 3, 0xFF);
    std::filesystem::create_directories(program.file("Fonts"));
    cTGAImage writer;
    ASSERT_EQ(writer.Save(program.file("Fonts/tiny.tga").c_str(), px.data(), 24, 3 * 94, -4), 0);
    std::string metrics = "2 4 94\n";
    for (int code = 33; code < 127; ++code)
        metrics += std::to_string(code) + " " + std::to_string((code - 33) * 3) + " 0 0 3 1\n";
    program.write("Fonts/tiny.fh", metrics);
    data(kLayout, "[Main]\r\nxs=600\r\nys=500\r\n[Config]\r\nlabel_font=Fonts/tiny.tga\r\n"
                  "top_text_y=100\r\nleft_margin=50\r\nright_margin=550\r\nstride=30\r\n");
    gUIScores = makeScreen<UIScores>(kLayout);
    scoresAddFinishedGame(u"Eve", 42);
    scoresAddFinishedGame(u"Bo", 7);  // replaces Eve: the table keeps its one row
    data(kLayout, "[Main]\r\nxs=600\r\nys=500\r\n[Config]\r\nlabel_font=Fonts/tiny.tga\r\n"
                  "top_text_y=100\r\nleft_margin=50\r\nright_margin=550\r\nstride=30\r\n"
                  "scores_count=2\r\n");
    gUIScores = makeScreen<UIScores>(kLayout);  // Bo and the fallback, highest first
    HSPRITE target = grCreateSprite(600, 500, "scores target");
    HSPRITE previous = grSetTarget(target);
    grSetClip(target, 0, 0, 600, 500);
    scores()->Draw();
    grLockSprite(target);
    auto lit = [&](int x, int y) {
        return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(target->pixels) +
                                           y * target->pitch)[x] != 0;
    };
    for (int row : {100, 130}) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(lit(51, row));
        EXPECT_FALSE(lit(48, row));
        EXPECT_TRUE(lit(548, row));
        EXPECT_FALSE(lit(552, row));
    }
    EXPECT_FALSE(lit(51, 160));  // no third row
    grUnlockSprite(target);
    grSetTarget(previous);
    grFreeSprite(target);
}

}  // namespace
