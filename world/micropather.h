// A* search over a caller's graph of numbered states: the solver behind every walk in a level.
#pragma once

#include <cstdint>

#include "core/array.h"

namespace micropather {

struct StateCost {
    uint32_t state;
    float cost;
};

// One of a grid graph's moves: from state s to state s + offset, at cost.
struct Move {
    int32_t offset;
    float cost;
};

// The caller's graph. Its adjacency must not change once a state's neighbours were asked: the
// solver keeps every neighbour list for its whole life.
class Graph {
public:
    virtual ~Graph() {}
    virtual float LeastCostEstimate(uint32_t stateStart, uint32_t stateEnd) = 0;
    // Appends each neighbour of state with the cost of the step to it.
    virtual void AdjacentCost(uint32_t state, cArray<StateCost>* adjacent) = 0;
    virtual void PrintStateInfo(uint32_t) {}

    // A graph over the cells of a grid, states 0 to count - 1, whose every step is one of the same
    // few moves (at most 8) may say so: it returns the count and its moves, and then answers
    // OpenMoves (bit k set: move k is a step from state) in place of AdjacentCost, whose list
    // must be the same steps in the order of the moves. The solver then keeps its nodes in
    // arrays indexed by state, sized once. 0: not such a graph.
    virtual uint32_t GridMoves(const Move** moves, uint32_t* moveCount) {
        *moves = nullptr;
        *moveCount = 0;
        return 0;
    }
    virtual uint32_t OpenMoves(uint32_t) { return 0; }
};

// Search order contract (what decides which of several equal-cost paths comes back):
// - the open set is ordered by total cost; of equal totals, a node pushed later leaves later;
// - a node whose cost falls keeps its place when the node before it costs no more than its new
//   total, else it goes ahead of every node of its new total;
// - a closed node that improves takes the new parent and cost but is not searched again;
// - steps costing the greatest float are never taken.
// Nodes, their neighbour lists and the open-set index live for the solver's life and are reused,
// so a search over states seen before allocates nothing.
class MicroPather {
public:
    enum { SOLVED = 0, NO_SOLUTION = 1, START_END_SAME = 2 };

    // allocate and typicalAdjacent size the first storage only.
    MicroPather(Graph* graph, uint32_t allocate = 250, uint32_t typicalAdjacent = 6);
    MicroPather(const MicroPather&) = delete;
    MicroPather& operator=(const MicroPather&) = delete;

    // SOLVED with path = start, the states between, end and cost the end's cost from start;
    // NO_SOLUTION (also for a state off a grid graph's cells); START_END_SAME with cost 0 and
    // the path untouched.
    int Solve(uint32_t startState, uint32_t endState, cArray<uint32_t>* path, float* cost);

    // Nodes taken off the open set by the last search.
    uint32_t Expanded() const { return expanded_; }

private:
    // Everything a search keeps of a state, in one cache line's half: on a large grid the
    // cells a search first reaches are in no cache, and each should cost one line, not three.
    struct alignas(32) Node {
        float g, f;
        uint32_t mark;  // frame << 2 | open or closed; a mark of another frame: not yet seen
        int32_t parent;
        int32_t prev, next;  // open-list links; node 0 is the list's head
        uint16_t moves;      // a grid state's open moves, with kMovesKnown once asked
    };
    struct Neighbour {
        int32_t node;
        float cost;
    };
    // A stretch of the open list whose nodes all have the same total cost. Runs form their own
    // list in the same order (run 0 is its head); key is the total on the bucket scale.
    struct Run {
        float f;
        int32_t head, tail;
        int32_t prev, next;
        int64_t key;
    };
    // Where a node of a graph that is not a grid keeps its state and neighbour list.
    struct Listed {
        uint32_t state;
        int32_t adjStart;  // first neighbour in adjacency_, -1 until asked
        int32_t adjCount;
    };

    int32_t nodeOf(uint32_t state);
    uint32_t stateOf(int32_t n) const {
        return grid_ ? static_cast<uint32_t>(n - 1) : listed_[n].state;
    }
    float setCosts(int32_t n, float g, float h);  // returns the total
    // The node's neighbours: a pointer into adjacency_ or into scratch, which holds 8.
    const Neighbour* neighbours(int32_t n, Neighbour* scratch, uint32_t* count);
    void startFrame();
    void prefetchAround(int32_t n) const;  // the nodes of a grid node's neighbours

    // Open list, kept sorted by total cost. Its runs are found through buckets of a window of
    // the total's scale, each holding its cheapest run, so that finding where a total belongs
    // costs the same however many runs there are; runs outside the window are walked to.
    void openPush(int32_t n, float f);  // f: the node's total
    int32_t openPop();
    void openUpdate(int32_t n, float oldF);
    void linkBefore(int32_t n, int32_t at);
    void unlink(int32_t n);
    void leaveRun(int32_t n, float f);
    int32_t runFrom(float f, int64_t key) const;  // the first run of total f or more, 0: none
    int32_t firstRunAbove(int64_t key) const;    // the first run of a greater key, 0: none
    int32_t newRun(float f, int64_t key, int32_t n, int32_t before);  // of node n alone
    void eraseRun(int32_t r);
    void slideWindow(int64_t key);  // moves the window up so that it holds key
    bool inWindow(int64_t key) const { return key >= windowLo_ && key - windowLo_ < kBuckets; }
    static uint32_t slotOf(int64_t key) { return static_cast<uint32_t>(key) & (kBuckets - 1); }
    bool occupied(uint32_t slot) const { return occupied_[slot >> 6] >> (slot & 63) & 1; }
    void setOccupied(uint32_t slot, bool on) {
        const uint64_t bit = uint64_t(1) << (slot & 63);
        occupied_[slot >> 6] = on ? occupied_[slot >> 6] | bit : occupied_[slot >> 6] & ~bit;
    }
    enum : uint32_t { kBuckets = 2048 };

    Graph* graph_;
    cArray<Node> nodes_;
    // A grid graph: node state + 1.
    bool grid_;
    Move gridMoves_[8];
    uint32_t gridMoveCount_;
    // Any other graph: a state hash and neighbour lists.
    cArray<Listed> listed_;
    cArray<int32_t> table_;  // open addressing: node index per slot, -1 empty
    uint32_t tableMask_;
    cArray<Neighbour> adjacency_;
    cArray<StateCost> stateCosts_;

    cArray<Run> runs_;
    int32_t freeRun_;  // a list of spare runs through next, 0: none
    cArray<int32_t> bucketFirst_;  // by key modulo kBuckets, where occupied_ has the bit
    cArray<uint64_t> occupied_;
    int64_t windowLo_;  // the window holds keys windowLo_ to windowLo_ + kBuckets - 1
    uint32_t frame_;
    uint32_t expanded_;
};

}  // namespace micropather
