// A* search over a caller's graph of numbered states: the solver behind every walk in a level.
#pragma once

#include <cstdint>

#include "core/array.h"

namespace micropather {

struct StateCost {
    uint32_t state;
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
    // NO_SOLUTION; START_END_SAME with cost 0 and the path untouched.
    int Solve(uint32_t startState, uint32_t endState, cArray<uint32_t>* path, float* cost);

    // Nodes taken off the open set by the last search.
    uint32_t Expanded() const { return expanded_; }

private:
    struct Node {
        uint32_t state;
        uint32_t frame;
        float g, h, f;
        int32_t parent;
        int32_t prev, next;  // open-list links; node 0 is the list's head
        int32_t adjStart;    // first neighbour in adjacency_, -1 until asked
        int32_t adjCount;
        uint8_t inOpen, inClosed;
    };
    struct Neighbour {
        int32_t node;
        float cost;
    };
    // A stretch of the open list whose nodes all have the same total cost.
    struct Run {
        float f;
        int32_t head, tail;
    };

    int32_t nodeOf(uint32_t state);
    void init(int32_t n, float g, float h, int32_t parent);
    void setCosts(int32_t n, float g, float h);
    void neighbours(int32_t n);

    // Open list, kept sorted by total cost; runs_ indexes it, costliest run first.
    void openPush(int32_t n);
    int32_t openPop();
    void openUpdate(int32_t n, float oldF);
    uint32_t runAtOrAfter(float f) const;  // index of the run of cost f, or where it would go
    void linkBefore(int32_t n, int32_t at);
    void unlink(int32_t n);
    void leaveRun(int32_t n, float f);
    void insertRun(uint32_t i, float f, int32_t n);  // a run of node n alone, at index i
    void eraseRun(uint32_t i);

    Graph* graph_;
    cArray<Node> nodes_;
    cArray<int32_t> table_;  // open addressing: node index per slot, -1 empty
    uint32_t tableMask_;
    cArray<Neighbour> adjacency_;
    cArray<Run> runs_;
    cArray<StateCost> stateCosts_;
    uint32_t frame_;
    uint32_t expanded_;
};

}  // namespace micropather
