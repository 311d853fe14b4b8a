// The A* solver: flat node storage (indexed by state on a grid, through a state hash otherwise),
// cached neighbours and an open list indexed by runs of equal total cost.
#include "world/micropather.h"

#include <cfloat>
#include <cstring>

namespace micropather {

namespace {

constexpr int32_t kHead = 0;  // the open list's head node

// A node's mark: the frame that last saw it, and whether it is open or closed in that frame.
constexpr uint32_t kOpen = 1, kClosed = 2;
constexpr uint32_t kLastFrame = (1u << 30) - 1;

// Set in a grid state's open moves once the graph was asked.
constexpr uint16_t kMovesKnown = 0x100;

uint32_t hashState(uint32_t state) { return state * 2654435761u; }

// Totals are bucketed by 1/128: walk costs here are about one a cell, so the open list's few
// hundred totals of a large grid spread over a few hundred buckets.
constexpr double kKeysPerUnit = 128.0;
constexpr int64_t kKeyLimit = int64_t(1) << 60;  // totals beyond (or not a number) share a key

int64_t keyOf(float f) {
    const double scaled = static_cast<double>(f) * kKeysPerUnit;
    if (!(scaled > -static_cast<double>(kKeyLimit))) return -kKeyLimit;
    if (scaled >= static_cast<double>(kKeyLimit)) return kKeyLimit;
    const int64_t truncated = static_cast<int64_t>(scaled);  // rounds toward zero
    return truncated > scaled ? truncated - 1 : truncated;
}

}  // namespace

MicroPather::MicroPather(Graph* graph, uint32_t allocate, uint32_t typicalAdjacent)
    : graph_(graph),
      grid_(false),
      gridMoveCount_(0),
      tableMask_(0),
      freeRun_(0),
      windowLo_(0),
      frame_(0),
      expanded_(0) {
    const Node head = {FLT_MAX, FLT_MAX, 0, -1, kHead, kHead, 0};
    const Move* moves = nullptr;
    uint32_t moveCount = 0;
    const uint32_t cells = graph->GridMoves(&moves, &moveCount);
    if (cells > 0 && cells < 0x7FFFFFFFu && moves && moveCount > 0 && moveCount <= 8) {
        // Every node there is, made now: a search touches no fresh memory and finds a
        // neighbour's node by adding the move's offset.
        grid_ = true;
        gridMoveCount_ = moveCount;
        for (uint32_t k = 0; k < moveCount; ++k) gridMoves_[k] = moves[k];
        nodes_.resize(cells + 1, head);
    } else {
        if (allocate < 1) allocate = 1;
        nodes_.reserve(allocate + 1);
        listed_.reserve(allocate + 1);
        adjacency_.reserve(allocate * typicalAdjacent);
        stateCosts_.reserve(typicalAdjacent > 8 ? typicalAdjacent : 8);
        nodes_.push_back(head);
        const Listed none = {0, -1, -1};
        listed_.push_back(none);
        uint32_t slots = 16;
        while (slots < allocate * 2) slots *= 2;
        table_.resize(slots, -1);
        tableMask_ = slots - 1;
    }
    runs_.reserve(256);
    bucketFirst_.resize(kBuckets, 0);
    occupied_.resize(kBuckets / 64, 0);
}

int32_t MicroPather::nodeOf(uint32_t state) {
    if (grid_) return static_cast<int32_t>(state + 1);
    uint32_t slot = hashState(state) & tableMask_;
    while (table_[slot] >= 0) {
        if (listed_[table_[slot]].state == state) return table_[slot];
        slot = (slot + 1) & tableMask_;
    }
    // Mark 0: not seen until a search reaches it.
    const Node node = {FLT_MAX, FLT_MAX, 0, -1, kHead, kHead, 0};
    const Listed listed = {state, -1, -1};
    const int32_t index = static_cast<int32_t>(nodes_.size());
    nodes_.push_back(node);
    listed_.push_back(listed);
    table_[slot] = index;
    if (nodes_.size() * 2 > table_.size()) {
        // Keep probes short: double the table and place every node again.
        const uint32_t slots = table_.size() * 2;
        table_.clear();
        table_.resize(slots, -1);
        tableMask_ = slots - 1;
        for (uint32_t i = 1; i < listed_.size(); ++i) {
            uint32_t s = hashState(listed_[i].state) & tableMask_;
            while (table_[s] >= 0) s = (s + 1) & tableMask_;
            table_[s] = static_cast<int32_t>(i);
        }
    }
    return index;
}

float MicroPather::setCosts(int32_t n, float g, float h) {
    Node& node = nodes_[n];
    node.g = g;
    node.f = (g < FLT_MAX && h < FLT_MAX) ? g + h : FLT_MAX;
    return node.f;
}

const MicroPather::Neighbour* MicroPather::neighbours(int32_t n, Neighbour* scratch,
                                                     uint32_t* count) {
    if (grid_) {
        uint32_t open = nodes_[n].moves;
        if (!(open & kMovesKnown)) {
            const uint32_t asked = graph_->OpenMoves(static_cast<uint32_t>(n - 1));
            open = (asked & ((1u << gridMoveCount_) - 1)) | kMovesKnown;
            nodes_[n].moves = static_cast<uint16_t>(open);
        }
        open &= 0xFF;
        uint32_t found = 0;
        const uint32_t last = nodes_.size() - 1;
        while (open) {
            const int k = __builtin_ctz(open);
            open &= open - 1;
            const int32_t c = n + gridMoves_[k].offset;
            // A graph that names a move off its grid loses that step rather than the memory.
            if (static_cast<uint32_t>(c - 1) >= last) continue;
            scratch[found].node = c;
            scratch[found].cost = gridMoves_[k].cost;
            ++found;
        }
        *count = found;
        return scratch;
    }
    if (listed_[n].adjStart < 0) {
        stateCosts_.clear();
        graph_->AdjacentCost(listed_[n].state, &stateCosts_);
        const int32_t start = static_cast<int32_t>(adjacency_.size());
        for (uint32_t i = 0; i < stateCosts_.size(); ++i) {
            Neighbour entry = {nodeOf(stateCosts_[i].state), stateCosts_[i].cost};
            adjacency_.push_back(entry);
        }
        listed_[n].adjStart = start;
        listed_[n].adjCount = static_cast<int32_t>(stateCosts_.size());
    }
    *count = static_cast<uint32_t>(listed_[n].adjCount);
    return *count ? &adjacency_[static_cast<uint32_t>(listed_[n].adjStart)] : scratch;
}

void MicroPather::prefetchAround(int32_t n) const {
    // On a large grid a neighbourhood the search has not touched lately is in no cache; asking
    // for it while the node before is searched hides most of the wait.
    if (n == kHead) return;
    const uint32_t last = nodes_.size() - 1;
    for (uint32_t k = 0; k < gridMoveCount_; ++k) {
        const int32_t c = n + gridMoves_[k].offset;
        if (static_cast<uint32_t>(c - 1) < last) __builtin_prefetch(&nodes_[c]);
    }
}

void MicroPather::startFrame() {
    if (++frame_ > kLastFrame) {
        // Marks hold 30 bits of frame: start again from a clean slate.
        for (uint32_t i = 0; i < nodes_.size(); ++i) nodes_[i].mark = 0;
        frame_ = 1;
    }
}

int32_t MicroPather::firstRunAbove(int64_t key) const {
    const int32_t last = runs_[0].prev;
    const int64_t windowHi = windowLo_ + kBuckets;
    const int64_t end = runs_[last].key < windowHi ? runs_[last].key + 1 : windowHi;
    for (int64_t k = key + 1; k < end;) {
        const uint32_t slot = slotOf(k);
        const uint64_t bits = occupied_[slot >> 6] >> (slot & 63);
        if (bits) {
            k += __builtin_ctzll(bits);
            if (k < end) return bucketFirst_[slotOf(k)];
            break;
        }
        k += 64 - (slot & 63);
    }
    // No run in the window above key: the first one beyond the window, if any.
    int32_t r = 0;
    while (runs_[r].prev != 0 && runs_[runs_[r].prev].key >= windowHi) r = runs_[r].prev;
    return r;
}

int32_t MicroPather::runFrom(float f, int64_t key) const {
    const int32_t last = runs_[0].prev;
    if (last == 0 || runs_[last].f < f) return 0;  // the usual case: costlier than every run
    int32_t r;
    if (inWindow(key)) {
        // Every run whose key is in the window is in its bucket.
        const uint32_t slot = slotOf(key);
        r = occupied(slot) ? bucketFirst_[slot] : firstRunAbove(key);
    } else if (key < windowLo_) {
        r = runs_[0].next;
    } else {
        r = 0;
        while (runs_[r].prev != 0 && !(runs_[runs_[r].prev].f < f)) r = runs_[r].prev;
    }
    while (r != 0 && runs_[r].f < f) r = runs_[r].next;
    return r;
}

int32_t MicroPather::newRun(float f, int64_t key, int32_t n, int32_t before) {
    int32_t r = freeRun_;
    if (r != 0) {
        freeRun_ = runs_[r].next;
    } else {
        r = static_cast<int32_t>(runs_.size());
        runs_.push_back(Run());
    }
    Run& run = runs_[r];
    run.f = f;
    run.head = run.tail = n;
    run.key = key;
    run.next = before;
    run.prev = runs_[before].prev;
    runs_[run.prev].next = r;
    runs_[before].prev = r;
    if (inWindow(key)) {
        const uint32_t slot = slotOf(key);
        // Its successor was the bucket's cheapest run, or the bucket was empty: it leads now.
        if (!occupied(slot) || bucketFirst_[slot] == before) {
            setOccupied(slot, true);
            bucketFirst_[slot] = r;
        }
    }
    return r;
}

void MicroPather::eraseRun(int32_t r) {
    const Run& run = runs_[r];
    runs_[run.prev].next = run.next;
    runs_[run.next].prev = run.prev;
    if (inWindow(run.key)) {
        const uint32_t slot = slotOf(run.key);
        if (bucketFirst_[slot] == r) {
            if (run.next != 0 && runs_[run.next].key == run.key)
                bucketFirst_[slot] = run.next;
            else
                setOccupied(slot, false);
        }
    }
    runs_[r].next = freeRun_;
    freeRun_ = r;
}

void MicroPather::slideWindow(int64_t key) {
    const int64_t oldHi = windowLo_ + kBuckets;
    const int64_t lo = key - kBuckets / 2;
    // Runs under the new window leave their buckets (the cheapest runs: they leave soon anyway).
    for (int32_t r = runs_[0].next; r != 0 && runs_[r].key < lo; r = runs_[r].next) {
        if (!inWindow(runs_[r].key)) continue;
        setOccupied(slotOf(runs_[r].key), false);
    }
    windowLo_ = lo;
    // Runs beyond the old window that the new one holds enter their buckets, costliest first so
    // that the cheapest of a bucket is the one left in it.
    for (int32_t r = runs_[0].prev; r != 0 && runs_[r].key >= oldHi; r = runs_[r].prev) {
        if (!inWindow(runs_[r].key)) continue;
        const uint32_t slot = slotOf(runs_[r].key);
        setOccupied(slot, true);
        bucketFirst_[slot] = r;
    }
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

void MicroPather::openPush(int32_t n, float f) {
    const int64_t key = keyOf(f);
    // The search has moved on past the window (totals beyond every scale stay outside).
    if (key - windowLo_ >= kBuckets && key < kKeyLimit) slideWindow(key);
    const int32_t r = runFrom(f, key);
    if (r != 0 && runs_[r].f == f) {
        linkBefore(n, nodes_[runs_[r].tail].next);
        runs_[r].tail = n;
    } else {
        linkBefore(n, r != 0 ? runs_[r].head : kHead);
        newRun(f, key, n, r);
    }
    nodes_[n].mark = frame_ << 2 | kOpen;
}

int32_t MicroPather::openPop() {
    const int32_t r = runs_[0].next;
    const int32_t n = runs_[r].head;
    if (n == runs_[r].tail)
        eraseRun(r);
    else
        runs_[r].head = nodes_[n].next;
    unlink(n);
    return n;
}

void MicroPather::leaveRun(int32_t n, float f) {
    const int32_t r = runFrom(f, keyOf(f));
    Run& run = runs_[r];
    if (run.head == n && run.tail == n)
        eraseRun(r);
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
    const int64_t key = keyOf(f);
    const int32_t r = runFrom(f, key);
    const bool hasRun = r != 0 && runs_[r].f == f;
    if (prev != kHead && nodes_[prev].f > f) {
        // Ahead of every node of the new total.
        unlink(n);
        linkBefore(n, r != 0 ? runs_[r].head : kHead);
        if (hasRun)
            runs_[r].head = n;
        else
            newRun(f, key, n, r);
    } else if (hasRun) {
        // It stays put, right behind the nodes of its new total.
        runs_[r].tail = n;
    } else {
        newRun(f, key, n, r);
    }
}

int MicroPather::Solve(uint32_t startState, uint32_t endState, cArray<uint32_t>* path,
                       float* cost) {
    *cost = 0.0f;
    expanded_ = 0;
    if (startState == endState) return START_END_SAME;
    // A state off the grid has no node: nothing leads there or away.
    if (grid_ && (startState >= nodes_.size() - 1 || endState >= nodes_.size() - 1))
        return NO_SOLUTION;
    startFrame();
    nodes_[kHead].next = kHead;
    nodes_[kHead].prev = kHead;

    const int32_t start = nodeOf(startState);
    nodes_[start].parent = -1;
    const float startF = setCosts(start, 0.0f, graph_->LeastCostEstimate(startState, endState));
    // No runs, empty buckets, and a window from a little under the first total.
    runs_.clear();
    const Run none = {0.0f, kHead, kHead, 0, 0, 0};
    runs_.push_back(none);
    freeRun_ = 0;
    for (uint32_t i = 0; i < occupied_.size(); ++i) occupied_[i] = 0;
    windowLo_ = keyOf(startF) - kBuckets / 4;
    openPush(start, startF);

    const uint32_t seen = frame_;
    Neighbour scratch[8];
    while (nodes_[kHead].next != kHead) {
        const int32_t n = openPop();
        if (grid_) prefetchAround(nodes_[kHead].next);
        if (stateOf(n) == endState) {
            path->clear();
            for (int32_t k = n; k >= 0; k = nodes_[k].parent) path->push_back(stateOf(k));
            for (uint32_t a = 0, b = path->size() - 1; a < b; ++a, --b) {
                const uint32_t held = (*path)[a];
                (*path)[a] = (*path)[b];
                (*path)[b] = held;
            }
            *cost = nodes_[n].g;
            return SOLVED;
        }
        nodes_[n].mark = seen << 2 | kClosed;
        ++expanded_;
        uint32_t count;
        const Neighbour* adjacent = neighbours(n, scratch, &count);
        for (uint32_t i = 0; i < count; ++i) {
            const float step = adjacent[i].cost;
            if (step == FLT_MAX) continue;
            const int32_t c = adjacent[i].node;
            const float newCost = nodes_[n].g + step;
            if (nodes_[c].mark >> 2 == seen) {
                // Open or closed in this search.
                if (newCost < nodes_[c].g) {
                    const float oldF = nodes_[c].f;
                    nodes_[c].parent = n;
                    setCosts(c, newCost, graph_->LeastCostEstimate(stateOf(c), endState));
                    if ((nodes_[c].mark & 3) == kOpen) openUpdate(c, oldF);
                }
            } else {
                nodes_[c].parent = n;
                openPush(c, setCosts(c, newCost, graph_->LeastCostEstimate(stateOf(c), endState)));
            }
        }
    }
    return NO_SOLUTION;
}

}  // namespace micropather
