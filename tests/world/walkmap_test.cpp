// The walk map: reading map.ini, refusing bad grids, cells from points, path requests and the
// mask grid.
#include "world/walkmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"

namespace {

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_walkmap", [] { logOpen(); });

// Writes Data/Episodes/e<episode>/map.ini with [Main] and one "nodes%d" line per column text.
void writeMap(int episode, const std::string& main, const std::vector<std::string>& columns) {
    std::string text = "[Main]\n" + main + "\n[map]\n";
    for (size_t x = 0; x < columns.size(); ++x)
        text += "nodes" + std::to_string(x) + "=" + columns[x] + "\n";
    worldtest::writeFile("Data/Episodes/e" + std::to_string(episode) + "/map.ini", text);
}

std::string cellsOf(cWalkMap& map) {
    std::string out;
    for (int y = 0; y < map.GetSize().y; ++y) {
        for (int x = 0; x < map.GetSize().x; ++x) out += char('0' + map.GetCell(x, y)->value);
        out += '/';
    }
    return out;
}

TEST(WalkMap, ReadsColumnsWithMissingCellsFree) {
    // Each "nodes%d" text is one column, top to bottom; short texts leave free cells.
    writeMap(1, "offset=100,50\nstep=10,20\nsize=30,60", {"122", "2", ""});
    cWalkMap map;
    ASSERT_TRUE(map.Load(1, Point2i(0, 0)));
    EXPECT_EQ(3, map.GetSize().x);
    EXPECT_EQ(3, map.GetSize().y);
    EXPECT_EQ("121/211/211/", cellsOf(map));
    EXPECT_EQ(120, map.GetCell(2, 1)->position.x);
    EXPECT_EQ(70, map.GetCell(2, 1)->position.y);
    EXPECT_EQ(nullptr, map.GetCell(3, 0));
}

TEST(WalkMap, PointsTurnIntoCellsByTruncation) {
    writeMap(2, "offset=100,50\nstep=10,10\nsize=100,100", {});
    cWalkMap map;
    ASSERT_TRUE(map.Load(2, Point2i(0, 0)));
    const struct {
        Point2i point, cell;
        bool inside;
    } cases[] = {
        {{105, 55}, {0, 0}, true},  {{130, 50}, {3, 0}, true},  {{95, 55}, {0, 0}, true},
        {{89, 55}, {-1, 0}, false}, {{199, 149}, {9, 9}, true}, {{200, 55}, {10, 0}, false},
    };
    for (const auto& c : cases) {
        const Point2i cell = map.ScreenToCell(c.point);
        EXPECT_EQ(c.cell.x, cell.x) << c.point.x << "," << c.point.y;
        EXPECT_EQ(c.cell.y, cell.y) << c.point.x << "," << c.point.y;
        EXPECT_EQ(c.inside, map.Inside(cell));
    }
    const Vec2f corner = map.CellToScreenF(Point2i(3, 2));
    EXPECT_EQ(130.0f, corner.x);
    EXPECT_EQ(70.0f, corner.y);
}

TEST(WalkMap, BadSizesLeaveAnEmptyGridWhereEveryCellIsOutside) {
    const char* mains[] = {
        "",                                     // no [Main] values at all
        "offset=0,0\nstep=0,10\nsize=100,100",  // zero step
        "offset=0,0\nstep=-10,10\nsize=100,100",
        "offset=0,0\nstep=10,10\nsize=-100,100",
        "offset=0,0\nstep=1,1\nsize=100000,100000",        // too many cells
        "offset=2147483000,0\nstep=10,10\nsize=1000,100",  // positions past the integers
        "offset=0,0\nstep=200,10\nsize=100,100",           // a step wider than the grid: no column
    };
    int episode = 10;
    for (const char* main : mains) {
        SCOPED_TRACE(main);
        writeMap(episode, main, {"1111"});
        cWalkMap map;
        EXPECT_FALSE(map.Load(episode++, Point2i(0, 0)));
        EXPECT_EQ(0, map.GetSize().x);
        EXPECT_EQ(0, map.GetSize().y);
        const Point2i cell = map.ScreenToCell(Point2i(5, 5));
        EXPECT_FALSE(map.Inside(cell));
        cArray<Point2i> path;
        EXPECT_FALSE(map.FindPath(path, Point2i(5, 5), Point2i(50, 50)));
    }
}

TEST(WalkMap, FindPathRefusesOrFinds) {
    // Columns of a 4 x 3 grid; (3, 0) is 2, (3, 1) is 66 ('r'), (3, 2) is 64 ('p').
    writeMap(3, "offset=0,0\nstep=10,10\nsize=40,30", {"111", "121", "211", "2rp"});
    cWalkMap map;
    ASSERT_TRUE(map.Load(3, Point2i(0, 0)));
    const struct {
        Point2i from, to;
        bool found;
        std::vector<Point2i> cells;
    } cases[] = {
        {{5, 5}, {15, 5}, true, {{0, 0}, {1, 0}}},            // neighbours
        {{5, 5}, {8, 8}, false, {}},                          // one cell
        {{5, 5}, {35, 5}, false, {}},                         // target 2
        {{5, 5}, {35, 15}, false, {}},                        // target 66
        {{5, 5}, {35, 25}, false, {}},                        // target 64
        {{5, 5}, {45, 5}, false, {}},                         // outside
        {{-5, 5}, {5, 5}, false, {}},                         // start outside
        {{15, 5}, {25, 15}, true, {{1, 0}, {2, 1}}},          // diagonal past blocks
        {{5, 25}, {25, 25}, true, {{0, 2}, {1, 2}, {2, 2}}},  // along the bottom
    };
    for (const auto& c : cases) {
        cArray<Point2i> path;
        path.push_back(Point2i(9, 9));
        EXPECT_EQ(c.found, map.FindPath(path, c.from, c.to)) << c.to.x << "," << c.to.y;
        ASSERT_EQ(c.cells.size(), path.size()) << c.to.x << "," << c.to.y;
        for (size_t i = 0; i < c.cells.size(); ++i) {
            EXPECT_EQ(c.cells[i].x, path[i].x);
            EXPECT_EQ(c.cells[i].y, path[i].y);
        }
    }
}

TEST(WalkMap, APathAskedAgainIsThePathAFreshMapFinds) {
    // A 9 x 7 grid with a wall across the middle and a gap at each end. Searches of more pairs
    // than the map keeps, each pair asked again after others: every answer, first or again, is
    // what a map that never searched before finds, and a blocked target is refused even after
    // its path was kept.
    writeMap(4, "offset=0,0\nstep=10,10\nsize=90,70",
             {"1111111", "1112111", "1112111", "1112111", "1111111", "1112111", "1112111",
              "1112111", "1111111"});
    cWalkMap map;
    ASSERT_TRUE(map.Load(4, Point2i(0, 0)));
    const Point2i ends[] = {{5, 5},  {85, 65}, {45, 5},  {5, 65},  {85, 5},  {45, 65},
                            {25, 25}, {65, 45}, {15, 55}, {75, 15}, {35, 45}, {55, 25}};
    auto fresh = [](Point2i from, Point2i to) {
        cWalkMap other;
        other.Load(4, Point2i(0, 0));
        cArray<Point2i> path;
        other.FindPath(path, from, to);
        return path;
    };
    // Pairs from the first four ends to all twelve, picked in a scrambled order: some asked
    // again while kept, some after they were forgotten.
    uint32_t pick = 7;
    for (int asked = 0; asked < 150; ++asked) {
        pick = pick * 1103515245u + 12345u;
        const Point2i from = ends[(pick >> 16) % 4], to = ends[(pick >> 20) % 12];
        SCOPED_TRACE(std::to_string(from.x) + "," + std::to_string(from.y) + " to " +
                     std::to_string(to.x) + "," + std::to_string(to.y));
        cArray<Point2i> path;
        const bool found = map.FindPath(path, from, to);
        const cArray<Point2i> expected = fresh(from, to);
        EXPECT_EQ(found, expected.size() > 0);
        ASSERT_EQ(path.size(), expected.size());
        for (uint32_t i = 0; i < path.size(); ++i) {
            EXPECT_EQ(path[i].x, expected[i].x);
            EXPECT_EQ(path[i].y, expected[i].y);
        }
    }
    cArray<Point2i> path;
    ASSERT_TRUE(map.FindPath(path, Point2i(5, 5), Point2i(85, 65)));
    map.GetCell(8, 6)->value = 2;
    EXPECT_FALSE(map.FindPath(path, Point2i(5, 5), Point2i(85, 65)));
    EXPECT_EQ(path.size(), 0u);
}

TEST(MaskGrid, CellsOutsideGoToASpareCell) {
    cMaskGrid grid(3, 2, Point2i(4, 5));
    EXPECT_EQ(1, grid.CellRef(2, 1));
    grid.CellRef(1, 1) = 64;
    EXPECT_FALSE(grid.AccessedOutside());
    for (Point2i p : {Point2i(3, 0), Point2i(-1, 0), Point2i(0, 2), Point2i(0, -1)}) {
        grid.CellRef(p.x, p.y) = 7;
    }
    EXPECT_TRUE(grid.AccessedOutside());
    int sum = 0;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) sum += grid.CellRef(x, y);
    EXPECT_EQ(5 + 64, sum);
    grid.Fill();
    EXPECT_EQ(1, grid.CellRef(1, 1));
    EXPECT_EQ(4, grid.Origin().x);
    cMaskGrid empty(0, 3, Point2i(1, 1));
    EXPECT_EQ(0u, empty.Width());
    EXPECT_EQ(1, empty.Origin().x);
}

}  // namespace
