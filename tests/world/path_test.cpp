// The solver: result codes, tie order, untakeable steps, and agreement with the literal search
// over thousands of pairs on several grids, without allocating once warmed up.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <map>
#include <vector>

#include "core/random.h"
#include "tests/world/alloc_count.h"
#include "tests/world/grids.h"
#include "tests/world/literal_pather.h"
#include "world/micropather.h"
#include "world/walkmap.h"

namespace {

using micropather::MicroPather;

// A hand-made graph: edges in the order given, estimate 0.
struct Edges : micropather::Graph {
    std::multimap<uint32_t, micropather::StateCost> edges;
    void add(uint32_t a, uint32_t b, float cost) { edges.insert({a, {b, cost}}); }
    float LeastCostEstimate(uint32_t, uint32_t) override { return 0; }
    void AdjacentCost(uint32_t s, cArray<micropather::StateCost>* out) override {
        auto range = edges.equal_range(s);
        for (auto it = range.first; it != range.second; ++it) out->push_back(it->second);
    }
};

// The walk grid seen as a plain graph (no grid moves declared), so that the solver keeps its
// nodes through its state hash and its neighbour lists.
struct ListedGrid : micropather::Graph {
    Map* grid;
    explicit ListedGrid(Map* g) : grid(g) {}
    float LeastCostEstimate(uint32_t a, uint32_t b) override {
        return grid->LeastCostEstimate(a, b);
    }
    void AdjacentCost(uint32_t s, cArray<micropather::StateCost>* out) override {
        grid->AdjacentCost(s, out);
    }
};

std::vector<uint32_t> toVector(const cArray<uint32_t>& a) {
    std::vector<uint32_t> v;
    for (uint32_t i = 0; i < a.size(); ++i) v.push_back(a[i]);
    return v;
}

TEST(MicroPather, StartEqualToEndReturnsTwoWithCostZeroAndPathUntouched) {
    Edges g;
    MicroPather solver(&g);
    cArray<uint32_t> path;
    path.push_back(42);
    float cost = 5;
    EXPECT_EQ(MicroPather::START_END_SAME, solver.Solve(3, 3, &path, &cost));
    EXPECT_EQ(0.0f, cost);
    EXPECT_EQ(std::vector<uint32_t>{42}, toVector(path));
}

TEST(MicroPather, OfEqualCostsTheOnePushedFirstWins) {
    // 1 -> 2 -> 4 and 1 -> 3 -> 4 cost the same; the first neighbour listed is searched first.
    for (bool twoFirst : {true, false}) {
        Edges g;
        g.add(1, twoFirst ? 2 : 3, 1);
        g.add(1, twoFirst ? 3 : 2, 1);
        g.add(2, 4, 1);
        g.add(3, 4, 1);
        MicroPather solver(&g);
        cArray<uint32_t> path;
        float cost;
        ASSERT_EQ(MicroPather::SOLVED, solver.Solve(1, 4, &path, &cost));
        EXPECT_EQ((std::vector<uint32_t>{1, twoFirst ? 2u : 3u, 4}), toVector(path));
        EXPECT_EQ(2.0f, cost);
    }
}

TEST(MicroPather, StepsCostingTheGreatestFloatAreNeverTaken) {
    Edges g;
    g.add(1, 2, FLT_MAX);
    g.add(2, 3, 1);
    MicroPather solver(&g);
    cArray<uint32_t> path;
    float cost;
    EXPECT_EQ(MicroPather::NO_SOLUTION, solver.Solve(1, 3, &path, &cost));
    EXPECT_EQ(0u, path.size());
}

TEST(MicroPather, PathsListStartTheStatesBetweenAndEnd) {
    Edges g;
    g.add(1, 2, 1);
    g.add(2, 3, 1);
    g.add(3, 4, 1);
    MicroPather solver(&g);
    cArray<uint32_t> path;
    float cost;
    ASSERT_EQ(MicroPather::SOLVED, solver.Solve(1, 2, &path, &cost));
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), toVector(path));
    ASSERT_EQ(MicroPather::SOLVED, solver.Solve(1, 4, &path, &cost));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), toVector(path));
    EXPECT_EQ(3.0f, cost);
    // A later search from the middle, over nodes a former search left behind.
    ASSERT_EQ(MicroPather::SOLVED, solver.Solve(2, 4, &path, &cost));
    EXPECT_EQ((std::vector<uint32_t>{2, 3, 4}), toVector(path));
}

struct Case {
    const char* name;
    grids::Rows rows;
    int pairs;
};

// Same code, same path, bit-equal cost as the literal search, both reused for every pair (the
// literal one's neighbour cache fills after 1,500 entries on the larger grids); on a walk grid
// and on the same grid given as a plain graph.
TEST(MicroPather, AgreesWithTheLiteralSearchOnEveryPair) {
    const Case cases[] = {
        {"hotel", grids::hotel(), 1500},
        {"stress", grids::stress(), 800},
        {"open", grids::random(40, 30, 0, 1), 800},
        {"sparse", grids::random(60, 40, 15, 2), 1000},
        {"dense", grids::random(50, 50, 40, 3), 1000},
        {"thin", grids::random(200, 3, 20, 4), 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Cell> cells = grids::cells(c.rows);
        const int h = static_cast<int>(c.rows.size()), w = static_cast<int>(c.rows[0].size());
        Map ours, theirs;
        ours.SetCells(cells.data(), w, h);
        theirs.SetCells(cells.data(), w, h);
        ListedGrid listed(&theirs);
        MicroPather plain(&listed);
        literalpather::LiteralPather literal(&theirs);
        int solved = 0;
        for (const auto& p : grids::pairs(c.rows, c.pairs, 99)) {
            float cost, plainCost, expectedCost;
            std::vector<uint32_t> expected;
            cArray<uint32_t> plainPath;
            const int code = ours.Solve(p.first, p.second, &cost);
            const int plainCode = plain.Solve(p.first, p.second, &plainPath, &plainCost);
            const int expectedCode = literal.Solve(p.first, p.second, &expected, &expectedCost);
            ASSERT_EQ(expectedCode, code) << p.first << " -> " << p.second;
            ASSERT_EQ(expectedCode, plainCode) << p.first << " -> " << p.second;
            if (code != MicroPather::SOLVED) continue;
            ++solved;
            ASSERT_EQ(expected, toVector(ours.StatePath())) << p.first << " -> " << p.second;
            ASSERT_EQ(expected, toVector(plainPath)) << p.first << " -> " << p.second;
            ASSERT_EQ(0, memcmp(&expectedCost, &cost, sizeof cost))
                << p.first << " -> " << p.second;
            ASSERT_EQ(0, memcmp(&expectedCost, &plainCost, sizeof cost))
                << p.first << " -> " << p.second;
        }
        EXPECT_GT(solved, c.pairs / 3);
    }
}

// Random edges whose costs and estimates mix scales far apart: totals a last bit apart, many in a
// small stretch, far above or below the first total (estimates that overshoot or go negative),
// and the greatest float. The estimate depends only on the two states, as a graph's must.
struct Tangle : micropather::Graph {
    std::vector<std::vector<micropather::StateCost>> out;
    uint32_t salt;
    Tangle(uint32_t states, uint32_t seed) : out(states), salt(seed * 2246822519u) {
        static const float kCosts[] = {1.0f, 1.00000012f, 0.333333343f, 0.001f, 0.0078125f,
                                       2.5f, 700.0f, 1.0e7f, 2.0e38f, FLT_MAX};
        Random rnd(seed);
        for (auto& edges : out)
            for (uint32_t k = rnd.Int(6); k > 0; --k) {
                const float base = kCosts[rnd.Int(sizeof kCosts / sizeof kCosts[0])];
                const float cost = base < 10 ? base * (1 + static_cast<float>(rnd.Int(4))) : base;
                edges.push_back({rnd.Int(states), cost});
            }
    }
    float LeastCostEstimate(uint32_t a, uint32_t b) override {
        const uint32_t h = (a * 2654435761u) ^ (b * 40503u) ^ salt;
        switch (h % 9) {
            case 0: return FLT_MAX;
            case 1: return -300.0f;
            case 2: return 5000.0f + static_cast<float>(h >> 28);
            case 3: return 0.0f;
            default: return static_cast<float>((h >> 8) % 512) / 64.0f;
        }
    }
    void AdjacentCost(uint32_t s, cArray<micropather::StateCost>* adjacent) override {
        for (const micropather::StateCost& e : out[s]) adjacent->push_back(e);
    }
};

TEST(MicroPather, AgreesWithTheLiteralSearchOverCostsOfEveryScale) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        Tangle graph(seed % 2 ? 300 : 2000, seed);
        MicroPather ours(&graph);
        literalpather::LiteralPather literal(&graph);
        Random rnd(seed + 100);
        int solved = 0;
        for (int i = 0; i < 400; ++i) {
            const uint32_t a = rnd.Int(graph.out.size()), b = rnd.Int(graph.out.size());
            cArray<uint32_t> path;
            std::vector<uint32_t> expected;
            float cost, expectedCost;
            const int code = ours.Solve(a, b, &path, &cost);
            ASSERT_EQ(literal.Solve(a, b, &expected, &expectedCost), code) << a << " -> " << b;
            if (code != MicroPather::SOLVED) continue;
            ++solved;
            ASSERT_EQ(expected, toVector(path)) << a << " -> " << b;
            ASSERT_EQ(0, memcmp(&expectedCost, &cost, sizeof cost)) << a << " -> " << b;
        }
        EXPECT_GT(solved, 100);
    }
}

// A 4 x 1 strip of states whose moves are one step right and one too far.
struct Strip : micropather::Graph {
    micropather::Move moves[2] = {{1, 1.0f}, {9, 1.0f}};
    float LeastCostEstimate(uint32_t, uint32_t) override { return 0; }
    void AdjacentCost(uint32_t, cArray<micropather::StateCost>*) override {}
    uint32_t GridMoves(const micropather::Move** m, uint32_t* count) override {
        *m = moves;
        *count = 2;
        return 4;
    }
    uint32_t OpenMoves(uint32_t) override { return 3; }
};

TEST(MicroPather, OnAGridStatesAndStepsOffItsCellsLeadNowhere) {
    Strip strip;
    MicroPather solver(&strip);
    cArray<uint32_t> path;
    float cost;
    EXPECT_EQ(MicroPather::NO_SOLUTION, solver.Solve(0, 4, &path, &cost));
    EXPECT_EQ(MicroPather::NO_SOLUTION, solver.Solve(7, 1, &path, &cost));
    // From the last cell the step right and the one too far both leave the grid.
    EXPECT_EQ(MicroPather::NO_SOLUTION, solver.Solve(3, 0, &path, &cost));
    ASSERT_EQ(MicroPather::SOLVED, solver.Solve(0, 3, &path, &cost));
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3}), toVector(path));
    EXPECT_EQ(3.0f, cost);
}

TEST(MicroPather, RepeatedSearchesAllocateNothing) {
    const grids::Rows rows = grids::stress();
    std::vector<Cell> cells = grids::cells(rows);
    Map map;
    map.SetCells(cells.data(), 128, 96);
    const auto pairs = grids::pairs(rows, 200, 5);
    float cost;
    for (const auto& p : pairs) map.Solve(p.first, p.second, &cost);
    alloccount::Scope scope;
    for (const auto& p : pairs) map.Solve(p.first, p.second, &cost);
    EXPECT_EQ(0, scope.count());
}

}  // namespace
