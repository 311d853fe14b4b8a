// A plain, line-by-line A* with a sorted linked open list, a node pool of blocks with hashed
// binary trees and a bounded neighbour cache: the yardstick the level's solver is checked and
// timed against.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <vector>

#include "world/micropather.h"

namespace literalpather {

struct PathNode {
    uint32_t state;
    float costFromStart, estToGoal, totalCost;
    PathNode* parent;
    uint32_t frame;
    int numAdjacent, cacheIndex;
    PathNode* child[2];
    PathNode *next, *prev;
    bool inOpen, inClosed;

    void Clear() {
        memset(static_cast<void*>(this), 0, sizeof(*this));
        numAdjacent = -1;
        cacheIndex = -1;
    }
    void CalcTotal() {
        totalCost =
            (costFromStart < FLT_MAX && estToGoal < FLT_MAX) ? costFromStart + estToGoal : FLT_MAX;
    }
    void Init(uint32_t f, uint32_t s, float g, float h, PathNode* p) {
        frame = f;
        state = s;
        costFromStart = g;
        estToGoal = h;
        parent = p;
        CalcTotal();
        inOpen = inClosed = false;
    }
    void Unlink() {
        next->prev = prev;
        prev->next = next;
        next = prev = nullptr;
    }
    void AddBefore(PathNode* n) {  // puts n right before this node
        n->next = this;
        n->prev = prev;
        prev->next = n;
        prev = n;
    }
};

struct NodeCost {
    PathNode* node;
    float cost;
};

class PathNodePool {
public:
    PathNodePool(unsigned allocate, unsigned typicalAdjacent) : allocate_(allocate) {
        cacheCap_ = allocate * typicalAdjacent;
        cache_ = new NodeCost[cacheCap_];
        hashShift_ = 3;
        while ((1u << hashShift_) < allocate) ++hashShift_;
        hashTable_ = new PathNode*[1u << hashShift_]();
        freeSentinel_.Clear();
        freeSentinel_.next = freeSentinel_.prev = &freeSentinel_;
        newBlock();
    }
    ~PathNodePool() {
        for (Block* b = blocks_; b;) {
            Block* next = b->next;
            delete[] b->nodes;
            delete b;
            b = next;
        }
        delete[] hashTable_;
        delete[] cache_;
    }

    PathNode* GetPathNode(uint32_t frame, uint32_t state, float g, float h, PathNode* parent) {
        PathNode** link = &hashTable_[state % ((1u << hashShift_) - 1)];
        while (*link) {
            PathNode* n = *link;
            if (n->state == state) {
                if (n->frame != frame) n->Init(frame, state, g, h, parent);
                return n;
            }
            link = &n->child[state < n->state ? 0 : 1];
        }
        if (freeSentinel_.next == &freeSentinel_) newBlock();
        PathNode* n = freeSentinel_.next;
        n->Unlink();
        n->Clear();
        n->Init(frame, state, g, h, parent);
        *link = n;
        return n;
    }
    bool PushCache(const NodeCost* nodes, int count, int* start) {
        if (cacheSize_ + count > cacheCap_) return false;
        memcpy(static_cast<void*>(cache_ + cacheSize_), nodes, sizeof(NodeCost) * count);
        *start = cacheSize_;
        cacheSize_ += count;
        return true;
    }
    void GetCache(int start, int count, NodeCost* out) {
        memcpy(static_cast<void*>(out), cache_ + start, sizeof(NodeCost) * count);
    }

private:
    struct Block {
        Block* next;
        PathNode* nodes;
    };
    void newBlock() {
        Block* b = new Block{blocks_, new PathNode[allocate_]};
        blocks_ = b;
        for (unsigned i = 0; i < allocate_; ++i) {
            b->nodes[i].Clear();
            freeSentinel_.AddBefore(&b->nodes[i]);
        }
    }

    PathNode** hashTable_;
    Block* blocks_ = nullptr;
    NodeCost* cache_;
    int cacheCap_, cacheSize_ = 0;
    PathNode freeSentinel_;
    unsigned allocate_;
    unsigned hashShift_;
};

class OpenQueue {
public:
    OpenQueue() {
        sentinel_.Clear();
        sentinel_.totalCost = FLT_MAX;
        sentinel_.next = sentinel_.prev = &sentinel_;
    }
    void Push(PathNode* n) {
        PathNode* at = sentinel_.next;
        while (at != &sentinel_ && at->totalCost <= n->totalCost) at = at->next;
        at->AddBefore(n);
        n->inOpen = true;
    }
    PathNode* Pop() {
        PathNode* n = sentinel_.next;
        n->Unlink();
        n->inOpen = false;
        return n;
    }
    void Update(PathNode* n) {
        if (n->prev != &sentinel_ && n->prev->totalCost > n->totalCost) {
            n->Unlink();
            sentinel_.next->AddBefore(n);
        }
        if (n->next != &sentinel_ && n->totalCost > n->next->totalCost) {
            PathNode* at = n->next;
            n->Unlink();
            while (at != &sentinel_ && at->totalCost < n->totalCost) at = at->next;
            at->AddBefore(n);
        }
    }
    bool Empty() const { return sentinel_.next == &sentinel_; }

private:
    PathNode sentinel_;
};

class LiteralPather {
public:
    LiteralPather(micropather::Graph* graph, unsigned allocate = 250, unsigned typicalAdjacent = 6)
        : pool_(allocate, typicalAdjacent), graph_(graph) {}

    int Solve(uint32_t start, uint32_t end, std::vector<uint32_t>* path, float* cost) {
        *cost = 0;
        expanded_ = 0;
        if (start == end) return micropather::MicroPather::START_END_SAME;
        ++frame_;
        OpenQueue open;
        PathNode* first =
            pool_.GetPathNode(frame_, start, 0, graph_->LeastCostEstimate(start, end), nullptr);
        open.Push(first);
        stateCosts_.clear();
        nodeCosts_.clear();
        while (!open.Empty()) {
            PathNode* n = open.Pop();
            if (n->state == end) {
                buildPath(n, start, end, path);
                *cost = n->costFromStart;
                return micropather::MicroPather::SOLVED;
            }
            n->inClosed = true;
            ++expanded_;
            neighbours(n);
            for (const NodeCost& nc : nodeCosts_) {
                if (nc.cost == FLT_MAX) continue;
                PathNode* c = nc.node;
                const float newCost = n->costFromStart + nc.cost;
                if (c->inOpen || c->inClosed) {
                    if (newCost < c->costFromStart) {
                        c->parent = n;
                        c->costFromStart = newCost;
                        c->estToGoal = graph_->LeastCostEstimate(c->state, end);
                        c->CalcTotal();
                        if (c->inOpen) open.Update(c);
                    }
                } else {
                    c->parent = n;
                    c->costFromStart = newCost;
                    c->estToGoal = graph_->LeastCostEstimate(c->state, end);
                    c->CalcTotal();
                    open.Push(c);
                }
            }
        }
        return micropather::MicroPather::NO_SOLUTION;
    }
    unsigned Expanded() const { return expanded_; }

private:
    void neighbours(PathNode* n) {
        nodeCosts_.clear();
        if (n->numAdjacent == 0) return;
        if (n->cacheIndex < 0) {
            cArray<micropather::StateCost>& adjacent = adjacent_;
            adjacent.clear();
            graph_->AdjacentCost(n->state, &adjacent);
            n->numAdjacent = static_cast<int>(adjacent.size());
            for (uint32_t i = 0; i < adjacent.size(); ++i) {
                PathNode* c =
                    pool_.GetPathNode(frame_, adjacent[i].state, FLT_MAX, FLT_MAX, nullptr);
                nodeCosts_.push_back({c, adjacent[i].cost});
            }
            int start;
            if (!nodeCosts_.empty() &&
                pool_.PushCache(nodeCosts_.data(), static_cast<int>(nodeCosts_.size()), &start))
                n->cacheIndex = start;
        } else {
            nodeCosts_.resize(n->numAdjacent);
            pool_.GetCache(n->cacheIndex, n->numAdjacent, nodeCosts_.data());
            for (NodeCost& nc : nodeCosts_)
                if (nc.node->frame != frame_)
                    nc.node->Init(frame_, nc.node->state, FLT_MAX, FLT_MAX, nullptr);
        }
    }
    static void buildPath(PathNode* goal, uint32_t start, uint32_t end,
                          std::vector<uint32_t>* path) {
        int count = 0;
        for (PathNode* n = goal; n; n = n->parent) ++count;
        path->clear();
        if (count < 3) {
            path->push_back(start);
            path->push_back(end);
            return;
        }
        path->resize(count);
        (*path)[0] = start;
        (*path)[count - 1] = end;
        int i = count - 2;
        for (PathNode* n = goal->parent; i > 0; n = n->parent) (*path)[i--] = n->state;
    }

    PathNodePool pool_;
    micropather::Graph* graph_;
    uint32_t frame_ = 0;
    unsigned expanded_ = 0;
    std::vector<micropather::StateCost> stateCosts_;
    cArray<micropather::StateCost> adjacent_;
    std::vector<NodeCost> nodeCosts_;
};

}  // namespace literalpather
