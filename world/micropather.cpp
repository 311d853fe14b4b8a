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

}  // namespace

MicroPather::MicroPather(Graph* graph, uint32_t allocate, uint32_t typicalAdjacent)
    : graph_(graph),
      grid_(false),
      gridMoveCount_(0),
      tableMask_(0),
      runLo_(0),
      runHi_(0),
      frame_(0),
      expanded_(0) {
    const Node head = {FLT_MAX, FLT_MAX, 0, -1};
    const Link unlinked = {kHead, kHead};
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
        links_.resize(cells + 1, unlinked);
        moves_.resize(cells + 1, 0);
    } else {
        if (allocate < 1) allocate = 1;
        nodes_.reserve(allocate + 1);
        links_.reserve(allocate + 1);
        listed_.reserve(allocate + 1);
        adjacency_.reserve(allocate * typicalAdjacent);
        stateCosts_.reserve(typicalAdjacent > 8 ? typicalAdjacent : 8);
        nodes_.push_back(head);
        links_.push_back(unlinked);
        const Listed none = {0, -1, -1};
        listed_.push_back(none);
        uint32_t slots = 16;
        while (slots < allocate * 2) slots *= 2;
        table_.resize(slots, -1);
        tableMask_ = slots - 1;
    }
    runs_.resize(256);
}

int32_t MicroPather::nodeOf(uint32_t state) {
    if (grid_) return static_cast<int32_t>(state + 1);
    uint32_t slot = hashState(state) & tableMask_;
    while (table_[slot] >= 0) {
        if (listed_[table_[slot]].state == state) return table_[slot];
        slot = (slot + 1) & tableMask_;
    }
    const Node node = {FLT_MAX, FLT_MAX, 0, -1};  // mark 0: not seen until a search reaches it
    const Link link = {kHead, kHead};
    const Listed listed = {state, -1, -1};
    const int32_t index = static_cast<int32_t>(nodes_.size());
    nodes_.push_back(node);
    links_.push_back(link);
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

void MicroPather::setCosts(int32_t n, float g, float h) {
    Node& node = nodes_[n];
    node.g = g;
    node.f = (g < FLT_MAX && h < FLT_MAX) ? g + h : FLT_MAX;
}

const MicroPather::Neighbour* MicroPather::neighbours(int32_t n, Neighbour* scratch,
                                                     uint32_t* count) {
    if (grid_) {
        uint32_t open = moves_[n];
        if (!(open & kMovesKnown)) {
            const uint32_t asked = graph_->OpenMoves(static_cast<uint32_t>(n - 1));
            open = (asked & ((1u << gridMoveCount_) - 1)) | kMovesKnown;
            moves_[n] = static_cast<uint16_t>(open);
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

uint32_t MicroPather::runOf(float f) const {
    uint32_t lo = runLo_, hi = runHi_;
    while (lo < hi) {
        const uint32_t mid = (lo + hi) / 2;
        if (runs_[mid].f < f)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void MicroPather::insertRun(uint32_t i, float f, int32_t n) {
    const Run run = {f, n, n};
    if (runLo_ > 0 && i - runLo_ < runHi_ - i) {
        Run* r = &runs_[0];
        memmove(r + runLo_ - 1, r + runLo_, (i - runLo_) * sizeof(Run));
        --runLo_;
        r[i - 1] = run;
        return;
    }
    if (runHi_ == runs_.size()) {
        // Out of room at the costly end: move the runs down to the start, first doubling the
        // storage when they fill half of it, so that this happens rarely.
        const uint32_t count = runHi_ - runLo_;
        if (count * 2 > runs_.size()) runs_.resize(runs_.size() * 2);
        Run* r = &runs_[0];
        memmove(r, r + runLo_, count * sizeof(Run));
        i -= runLo_;
        runLo_ = 0;
        runHi_ = count;
    }
    Run* r = &runs_[0];
    memmove(r + i + 1, r + i, (runHi_ - i) * sizeof(Run));
    ++runHi_;
    r[i] = run;
}

void MicroPather::eraseRun(uint32_t i) {
    Run* r = &runs_[0];
    if (i - runLo_ < runHi_ - 1 - i) {
        memmove(r + runLo_ + 1, r + runLo_, (i - runLo_) * sizeof(Run));
        ++runLo_;
    } else {
        memmove(r + i, r + i + 1, (runHi_ - 1 - i) * sizeof(Run));
        --runHi_;
    }
}

void MicroPather::linkBefore(int32_t n, int32_t at) {
    const int32_t p = links_[at].prev;
    links_[n].prev = p;
    links_[n].next = at;
    links_[p].next = n;
    links_[at].prev = n;
}

void MicroPather::unlink(int32_t n) {
    links_[links_[n].prev].next = links_[n].next;
    links_[links_[n].next].prev = links_[n].prev;
}

void MicroPather::openPush(int32_t n) {
    const float f = nodes_[n].f;
    const uint32_t i = runOf(f);
    if (i < runHi_ && runs_[i].f == f) {
        linkBefore(n, links_[runs_[i].tail].next);
        runs_[i].tail = n;
    } else {
        linkBefore(n, i < runHi_ ? runs_[i].head : kHead);
        insertRun(i, f, n);
    }
    nodes_[n].mark = frame_ << 2 | kOpen;
}

int32_t MicroPather::openPop() {
    Run& first = runs_[runLo_];
    const int32_t n = first.head;
    if (first.head == first.tail)
        ++runLo_;
    else
        first.head = links_[n].next;
    unlink(n);
    return n;
}

void MicroPather::leaveRun(int32_t n, float f) {
    const uint32_t i = runOf(f);
    Run& run = runs_[i];
    if (run.head == n && run.tail == n)
        eraseRun(i);
    else if (run.head == n)
        run.head = links_[n].next;
    else if (run.tail == n)
        run.tail = links_[n].prev;
}

void MicroPather::openUpdate(int32_t n, float oldF) {
    const float f = nodes_[n].f;
    if (f == oldF) return;
    const int32_t prev = links_[n].prev;
    leaveRun(n, oldF);
    const uint32_t i = runOf(f);
    const bool hasRun = i < runHi_ && runs_[i].f == f;
    if (prev != kHead && nodes_[prev].f > f) {
        // Ahead of every node of the new total.
        unlink(n);
        if (hasRun) {
            linkBefore(n, runs_[i].head);
            runs_[i].head = n;
        } else {
            linkBefore(n, i < runHi_ ? runs_[i].head : kHead);
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
    // A state off the grid has no node: nothing leads there or away.
    if (grid_ && (startState >= nodes_.size() - 1 || endState >= nodes_.size() - 1))
        return NO_SOLUTION;
    startFrame();
    links_[kHead].next = kHead;
    links_[kHead].prev = kHead;
    runLo_ = runHi_ = 0;

    const int32_t start = nodeOf(startState);
    nodes_[start].parent = -1;
    setCosts(start, 0.0f, graph_->LeastCostEstimate(startState, endState));
    openPush(start);

    const uint32_t seen = frame_;
    Neighbour scratch[8];
    while (links_[kHead].next != kHead) {
        const int32_t n = openPop();
        if (grid_) prefetchAround(links_[kHead].next);
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
                setCosts(c, newCost, graph_->LeastCostEstimate(stateOf(c), endState));
                openPush(c);
            }
        }
    }
    return NO_SOLUTION;
}

}  // namespace micropather
