// Path search on a hotel floor and a large stress grid: the level's solver beside a flat
// binary-heap A* with an octile estimate and beside the literal linked-list search; and the
// growth of the cost per expanded cell over random floors from 32 x 24 to 256 x 192, printed
// at the end as each size's cost against the smallest one's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "tests/world/grids.h"
#include "tests/world/literal_pather.h"
#include "world/walkmap.h"

namespace {

constexpr int kPairs = 1000;

struct Floor {
    grids::Rows rows;
    std::vector<Cell> cells;
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    int w, h;
    explicit Floor(grids::Rows r)
        : rows(std::move(r)),
          cells(grids::cells(rows)),
          pairs(grids::pairs(rows, kPairs, 11)),
          w(static_cast<int>(rows[0].size())),
          h(static_cast<int>(rows.size())) {}
};

// The growth floors: a fifth of the cells blocked, at 32 x 24 times 1, 2, 4 and 8.
constexpr int kGrowthScales[] = {1, 2, 4, 8};

const Floor& floorOf(int which) {
    static const Floor hotel(grids::hotel());
    static const Floor stress(grids::stress());
    static const Floor growth[4] = {Floor(grids::random(32, 24, 20, 5)),
                                    Floor(grids::random(64, 48, 20, 5)),
                                    Floor(grids::random(128, 96, 20, 5)),
                                    Floor(grids::random(256, 192, 20, 5))};
    return which == 0 ? hotel : which == 1 ? stress : growth[which - 2];
}

// A* over the same eight steps and costs with a binary heap, generation-stamped flat arrays and
// the octile distance as estimate.
class OctileAStar {
public:
    OctileAStar(const Floor& f) : f_(f), n_(f.w * f.h), g_(n_), stamp_(n_, 0), closed_(n_, 0) {}

    bool Solve(uint32_t start, uint32_t end, float* cost) {
        ++gen_;
        heap_.clear();
        expanded_ = 0;
        const int ex = static_cast<int>(end % f_.w), ey = static_cast<int>(end / f_.w);
        auto estimate = [&](int s) {
            const float dx = std::fabs(float(s % f_.w - ex)), dy = std::fabs(float(s / f_.w - ey));
            return dx > dy ? dx + 0.41f * dy : dy + 0.41f * dx;
        };
        stamp_[start] = gen_;
        closed_[start] = 0;
        g_[start] = 0;
        push({estimate(start), static_cast<int>(start)});
        static const int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1}, kDy[8] = {0, 1, 1, 1, 0, -1, -1, -1};
        static const float kCost[8] = {1, 1.41f, 1, 1.41f, 1, 1.41f, 1, 1.41f};
        while (!heap_.empty()) {
            const Entry e = pop();
            if (closed_[e.node] == gen_) continue;
            if (static_cast<uint32_t>(e.node) == end) {
                *cost = g_[e.node];
                return true;
            }
            closed_[e.node] = gen_;
            ++expanded_;
            const int x = e.node % f_.w, y = e.node / f_.w;
            for (int k = 0; k < 8; ++k) {
                const int nx = x + kDx[k], ny = y + kDy[k];
                if (nx < 0 || ny < 0 || nx >= f_.w || ny >= f_.h) continue;
                if (cellBlocked(f_.cells[nx * f_.h + ny].value)) continue;
                const int c = ny * f_.w + nx;
                const float ng = g_[e.node] + kCost[k];
                if (stamp_[c] == gen_ && (closed_[c] == gen_ || ng >= g_[c])) continue;
                stamp_[c] = gen_;
                g_[c] = ng;
                push({ng + estimate(c), c});
            }
        }
        return false;
    }
    uint32_t Expanded() const { return expanded_; }

private:
    struct Entry {
        float f;
        int node;
    };
    void push(Entry e) {
        heap_.push_back(e);
        size_t i = heap_.size() - 1;
        while (i > 0 && heap_[(i - 1) / 2].f > heap_[i].f) {
            std::swap(heap_[i], heap_[(i - 1) / 2]);
            i = (i - 1) / 2;
        }
    }
    Entry pop() {
        const Entry top = heap_[0];
        heap_[0] = heap_.back();
        heap_.pop_back();
        size_t i = 0;
        for (;;) {
            size_t m = i, l = 2 * i + 1, r = l + 1;
            if (l < heap_.size() && heap_[l].f < heap_[m].f) m = l;
            if (r < heap_.size() && heap_[r].f < heap_[m].f) m = r;
            if (m == i) break;
            std::swap(heap_[i], heap_[m]);
            i = m;
        }
        return top;
    }

    const Floor& f_;
    int n_;
    std::vector<float> g_;
    std::vector<uint32_t> stamp_, closed_;
    std::vector<Entry> heap_;
    uint32_t gen_ = 0, expanded_ = 0;
};

// Reports time per query and per expanded cell through the counters.
template <class Run>
void measure(benchmark::State& state, Run run) {
    uint64_t expanded = 0, queries = 0;
    for (auto _ : state) {
        for (int i = 0; i < kPairs; ++i) expanded += run(i);
        queries += kPairs;
    }
    state.counters["us/query"] =
        benchmark::Counter(static_cast<double>(queries) * 1e-6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["expanded/query"] = static_cast<double>(expanded) / queries;
    state.counters["ns/expanded"] =
        benchmark::Counter(static_cast<double>(expanded) * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LevelSolver(benchmark::State& state) {
    const Floor& f = floorOf(static_cast<int>(state.range(0)));
    Map map;
    map.SetCells(const_cast<Cell*>(f.cells.data()), f.w, f.h);
    float cost;
    measure(state, [&](int i) {
        map.Solve(f.pairs[i].first, f.pairs[i].second, &cost);
        return map.Solver()->Expanded();
    });
}

void BM_OctileHeap(benchmark::State& state) {
    const Floor& f = floorOf(static_cast<int>(state.range(0)));
    OctileAStar solver(f);
    float cost;
    measure(state, [&](int i) {
        solver.Solve(f.pairs[i].first, f.pairs[i].second, &cost);
        return solver.Expanded();
    });
}

void BM_LiteralSearch(benchmark::State& state) {
    const Floor& f = floorOf(static_cast<int>(state.range(0)));
    Map graph;
    graph.SetCells(const_cast<Cell*>(f.cells.data()), f.w, f.h);
    literalpather::LiteralPather solver(&graph);
    std::vector<uint32_t> path;
    float cost;
    measure(state, [&](int i) {
        solver.Solve(f.pairs[i].first, f.pairs[i].second, &path, &cost);
        return solver.Expanded();
    });
}

// Argument 0: the 32 x 24 hotel floor; 1: the 128 x 96 stress grid; 2 to 5: the growth floors.
// Each is repeated and the least cost per cell kept (see the reporter below).
BENCHMARK(BM_LevelSolver)
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", leastOf);
BENCHMARK(BM_OctileHeap)
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", leastOf);
BENCHMARK(BM_LiteralSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Keeps the cost per expanded cell of every repetition of each run (aggregates left out).
class GrowthReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::vector<double>> nsPerCell;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            auto it = r.counters.find("ns/expanded");
            if (r.run_type == Run::RT_Iteration && it != r.counters.end())
                nsPerCell[r.run_name.function_name + "/" + r.run_name.args].push_back(it->second);
        }
        const std::vector<Run> shown = shownRuns(runs);
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
    // The least over the repetitions (a busy machine only ever adds to a run's time); 0 when
    // the run is missing.
    double least(const std::string& name) const {
        auto it = nsPerCell.find(name);
        if (it == nsPerCell.end() || it->second.empty()) return 0;
        return *std::min_element(it->second.begin(), it->second.end());
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const char* solver : {"BM_LevelSolver", "BM_OctileHeap"}) {
        const double base = reporter.least(std::string(solver) + "/2");
        if (base <= 0) continue;
        std::printf("\n%s, ns per expanded cell, least of the repetitions (against 32 x 24; goal "
                    "within 1.2):\n",
                    solver);
        double least = 0, most = 0;
        for (int i = 0; i < 4; ++i) {
            const double at = reporter.least(std::string(solver) + "/" + std::to_string(i + 2));
            if (at <= 0) continue;
            std::printf("  %3d x %3d  %7.1f  %5.2f\n", 32 * kGrowthScales[i], 24 * kGrowthScales[i],
                        at, at / base);
            least = least > 0 && least < at ? least : at;
            most = most > at ? most : at;
        }
        std::printf("  largest over smallest %.2f\n", most / least);
    }
    return 0;
}
