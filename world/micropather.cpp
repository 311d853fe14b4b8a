// The A* solver: flat node storage with a state hash, cached neighbour lists and an open list
// indexed by runs of equal total cost.
#include "world/micropather.h"

#include <cfloat>
#include <cstring>

namespace micropather {

namespace {

constexpr int32_t kHead = 0;  // the open list's head node

uint32_t hashState(uint32_t state) { return state * 2654435761u; }

}  // namespace

// A run put in at i with one block move, the array growing by doubling (its own insert grows it
// one place at a time, copying the whole array on every insert past its capacity).
void MicroPather::insertRun(uint32_t i, float f, int32_t n) {
    const Run run = {f, n, n};
    runs_.push_back(run);
    Run* r = &runs_[0];
    memmove(r + i + 1, r + i, (runs_.size() - 1 - i) * sizeof(Run));
    r[i] = run;
}

void MicroPather::eraseRun(uint32_t i) {
    Run* r = &runs_[0];
    memmove(r + i, r + i + 1, (runs_.size() - 1 - i) * sizeof(Run));
    runs_.erase(runs_.size() - 1);
}

namespace {

}  // namespace

MicroPather::MicroPather(Graph* graph, uint32_t allocate, uint32_t typicalAdjacent)
    : graph_(graph), tableMask_(0), frame_(0), expanded_(0) {
    if (allocate < 1) allocate = 1;
    nodes_.reserve(allocate + 1);
    adjacency_.reserve(allocate * typicalAdjacent);
    runs_.reserve(256);
    stateCosts_.reserve(typicalAdjacent > 8 ? typicalAdjacent : 8);
    Node head = {};
    head.f = FLT_MAX;
    nodes_.push_back(head);
    uint32_t slots = 16;
    while (slots < allocate * 2) slots *= 2;
    table_.resize(slots, -1);
    tableMask_ = slots - 1;
}

int32_t MicroPather::nodeOf(uint32_t state) {
    uint32_t slot = hashState(state) & tableMask_;
    while (table_[slot] >= 0) {
        if (nodes_[table_[slot]].state == state) return table_[slot];
        slot = (slot + 1) & tableMask_;
    }
    Node node = {};
    node.state = state;  // frame 0: stale until a search initialises it
    node.adjStart = -1;
    node.adjCount = -1;
    const int32_t index = static_cast<int32_t>(nodes_.size());
    nodes_.push_back(node);
    table_[slot] = index;
    if (nodes_.size() * 2 > table_.size()) {
        // Keep probes short: double the table and place every node again.
        const uint32_t slots = table_.size() * 2;
        table_.clear();
        table_.resize(slots, -1);
        tableMask_ = slots - 1;
        for (uint32_t i = 1; i < nodes_.size(); ++i) {
            uint32_t s = hashState(nodes_[i].state) & tableMask_;
            while (table_[s] >= 0) s = (s + 1) & tableMask_;
            table_[s] = static_cast<int32_t>(i);
        }
    }
    return index;
}

void MicroPather::setCosts(int32_t n, float g, float h) {
    Node& node = nodes_[n];
    node.g = g;
    node.h = h;
    node.f = (g < FLT_MAX && h < FLT_MAX) ? g + h : FLT_MAX;
}

void MicroPather::init(int32_t n, float g, float h, int32_t parent) {
    Node& node = nodes_[n];
    node.frame = frame_;
    node.parent = parent;
    node.inOpen = 0;
    node.inClosed = 0;
    setCosts(n, g, h);
}

void MicroPather::neighbours(int32_t n) {
    if (nodes_[n].adjStart < 0) {
        stateCosts_.clear();
        graph_->AdjacentCost(nodes_[n].state, &stateCosts_);
        const int32_t start = static_cast<int32_t>(adjacency_.size());
        for (uint32_t i = 0; i < stateCosts_.size(); ++i) {
            Neighbour entry = {nodeOf(stateCosts_[i].state), stateCosts_[i].cost};
            adjacency_.push_back(entry);
        }
        nodes_[n].adjStart = start;
        nodes_[n].adjCount = static_cast<int32_t>(stateCosts_.size());
    }
    const int32_t end = nodes_[n].adjStart + nodes_[n].adjCount;
    for (int32_t i = nodes_[n].adjStart; i < end; ++i) {
        const int32_t c = adjacency_[i].node;
        if (nodes_[c].frame != frame_) init(c, FLT_MAX, FLT_MAX, -1);
    }
}

uint32_t MicroPather::runAtOrAfter(float f) const {
    // runs_ falls from the costliest run to the cheapest: find the first run costing f or less.
    uint32_t lo = 0, hi = runs_.size();
    while (lo < hi) {
        const uint32_t mid = (lo + hi) / 2;
        if (runs_[mid].f > f)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void MicroPather::linkBefore(int32_t n, int32_t at) {
    const int32_t p = nodes_[at].prev;
    nodes_[n].prev = p;
    nodes_[n].next = at;
    nodes_[p].next = n;
    nodes_[at].prev = n;
}

void MicroPather::unlink(int32_t n) {
    nodes_[nodes_[n].prev].next = nodes_[n].next;
    nodes_[nodes_[n].next].prev = nodes_[n].prev;
}

void MicroPather::openPush(int32_t n) {
    const float f = nodes_[n].f;
    const uint32_t i = runAtOrAfter(f);
    if (i < runs_.size() && runs_[i].f == f) {
        linkBefore(n, nodes_[runs_[i].tail].next);
        runs_[i].tail = n;
    } else {
        linkBefore(n, i > 0 ? runs_[i - 1].head : kHead);
        insertRun(i, f, n);
    }
    nodes_[n].inOpen = 1;
}

int32_t MicroPather::openPop() {
    Run& first = runs_[runs_.size() - 1];
    const int32_t n = first.head;
    if (first.head == first.tail)
        runs_.erase(runs_.size() - 1);
    else
        first.head = nodes_[n].next;
    unlink(n);
    nodes_[n].inOpen = 0;
    return n;
}

void MicroPather::leaveRun(int32_t n, float f) {
    const uint32_t i = runAtOrAfter(f);
    Run& run = runs_[i];
    if (run.head == n && run.tail == n)
        eraseRun(i);
    else if (run.head == n)
        run.head = nodes_[n].next;
    else if (run.tail == n)
        run.tail = nodes_[n].prev;
}

void MicroPather::openUpdate(int32_t n, float oldF) {
    const float f = nodes_[n].f;
    if (f == oldF) return;
    const int32_t prev = nodes_[n].prev;
    leaveRun(n, oldF);
    const uint32_t i = runAtOrAfter(f);
    const bool hasRun = i < runs_.size() && runs_[i].f == f;
    if (prev != kHead && nodes_[prev].f > f) {
        // Ahead of every node of the new total.
        unlink(n);
        if (hasRun) {
            linkBefore(n, runs_[i].head);
            runs_[i].head = n;
        } else {
            linkBefore(n, i > 0 ? runs_[i - 1].head : kHead);
            insertRun(i, f, n);
        }
    } else if (hasRun) {
        // It stays put, right behind the nodes of its new total.
        runs_[i].tail = n;
    } else {
        insertRun(i, f, n);
    }
}

int MicroPather::Solve(uint32_t startState, uint32_t endState, cArray<uint32_t>* path,
                       float* cost) {
    *cost = 0.0f;
    expanded_ = 0;
    if (startState == endState) return START_END_SAME;
    ++frame_;
    nodes_[kHead].next = kHead;
    nodes_[kHead].prev = kHead;
    runs_.clear();

    const int32_t start = nodeOf(startState);
    init(start, 0.0f, graph_->LeastCostEstimate(startState, endState), -1);
    openPush(start);

    while (nodes_[kHead].next != kHead) {
        const int32_t n = openPop();
        if (nodes_[n].state == endState) {
            path->clear();
            for (int32_t k = n; k >= 0; k = nodes_[k].parent) path->push_back(nodes_[k].state);
            for (uint32_t a = 0, b = path->size() - 1; a < b; ++a, --b) {
                const uint32_t held = (*path)[a];
                (*path)[a] = (*path)[b];
                (*path)[b] = held;
            }
            *cost = nodes_[n].g;
            return SOLVED;
        }
        nodes_[n].inClosed = 1;
        ++expanded_;
        neighbours(n);
        const int32_t first = nodes_[n].adjStart, last = first + nodes_[n].adjCount;
        for (int32_t i = first; i < last; ++i) {
            const float step = adjacency_[i].cost;
            if (step == FLT_MAX) continue;
            const int32_t c = adjacency_[i].node;
            const float newCost = nodes_[n].g + step;
            if (nodes_[c].inOpen || nodes_[c].inClosed) {
                if (newCost < nodes_[c].g) {
                    const float oldF = nodes_[c].f;
                    nodes_[c].parent = n;
                    setCosts(c, newCost, graph_->LeastCostEstimate(nodes_[c].state, endState));
                    if (nodes_[c].inOpen) openUpdate(c, oldF);
                }
            } else {
                nodes_[c].parent = n;
                setCosts(c, newCost, graph_->LeastCostEstimate(nodes_[c].state, endState));
                openPush(c);
            }
        }
    }
    return NO_SOLUTION;
}

}  // namespace micropather
