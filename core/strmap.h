// cStrMap<V>: a red-black tree map from CString keys (byte order) to values, one entry per key.
#pragma once

#include "core/strings.h"

#include <cstdint>
#include <cstring>

// Contract:
// - Every entry is one heap node holding copies of its key and value. Insert allocates one node
//   (freed again when the key is present); Erase and clear free nodes. Nothing else allocates,
//   and look-ups by a plain string make no key.
// - Insert and Erase keep the red-black balance, so every operation is logarithmic.
// - Nodes never move in memory and keep their key and value, so an iterator stays valid across
//   insertions and erasures of other entries (erasing its own node invalidates it).
template <class V>
class cStrMap {
public:
    static constexpr uint8_t kBlack = 0;
    static constexpr uint8_t kRed = 1;

    struct Node {
        Node* left;
        Node* right;
        Node* parent;
        CString key;
        V value;
        uint8_t colour;
    };

    // A light reference to one key of a map; the key must outlive it.
    class Entry {
    public:
        Entry(cStrMap* map, const CString* key) : map_(map), key_(key) {}
        void Set(const V& value) { map_->Set(*key_, value); }

    private:
        cStrMap* map_;
        const CString* key_;
    };

    class Iterator {
    public:
        explicit Iterator(typename cStrMap::Node* node) : node_(node) {}
        bool AtEnd() const { return node_ == nullptr; }
        typename cStrMap::Node* Node() const { return node_; }
        void Next() {
            typename cStrMap::Node* n = node_;
            if (!n) return;
            if (n->right) {
                n = n->right;
                while (n->left) n = n->left;
                node_ = n;
                return;
            }
            while (n->parent && n == n->parent->right) n = n->parent;
            node_ = n->parent;
        }

    private:
        typename cStrMap::Node* node_;
    };

    cStrMap() : root_(nullptr), count_(0) {}
    cStrMap(const cStrMap&) = delete;
    cStrMap& operator=(const cStrMap&) = delete;
    ~cStrMap() { clear(); }

    uint32_t size() const { return count_; }
    Node* Root() const { return root_; }

    Node* FindNode(const CString& key) const {
        Node* n = root_;
        while (n) {
            int order = compare(key, n->key);
            if (order == 0) return n;
            n = order < 0 ? n->left : n->right;
        }
        return nullptr;
    }

    V* FindValue(const CString& key) const {
        Node* n = FindNode(key);
        return n ? &n->value : nullptr;
    }

    // The same for a plain string (null is the empty key), without making a CString of it:
    // look-ups made every frame allocate nothing.
    Node* FindNode(const char* key) const {
        const char* k = key ? key : "";
        Node* n = root_;
        while (n) {
            int order = std::strcmp(k, n->key.c_str());
            if (order == 0) return n;
            n = order < 0 ? n->left : n->right;
        }
        return nullptr;
    }

    V* FindValue(const char* key) const {
        Node* n = FindNode(key);
        return n ? &n->value : nullptr;
    }

    // False, with the map unchanged, when the key is already present.
    bool Insert(const CString& key, const V& value) {
        Node* node = new Node{nullptr, nullptr, nullptr, key, value, kRed};
        if (!root_) {
            node->colour = kBlack;
            root_ = node;
            count_ = 1;
            return true;
        }
        Node* at = root_;
        for (;;) {
            int order = compare(key, at->key);
            if (order == 0) {
                delete node;
                return false;
            }
            Node*& child = order < 0 ? at->left : at->right;
            if (!child) {
                child = node;
                node->parent = at;
                break;
            }
            at = child;
        }
        ++count_;
        insertFixup(node);
        return true;
    }

    void Set(const CString& key, const V& value) {
        if (Node* n = FindNode(key)) {
            n->value = value;
            return;
        }
        Insert(key, value);
    }

    Entry operator[](const CString& key) { return Entry(this, &key); }

    bool Erase(const CString& key) {
        Node* z = FindNode(key);
        if (!z) return false;
        removeNode(z);
        delete z;
        --count_;
        return true;
    }

    // Post-order, without recursion or extra memory: each node goes after both its subtrees.
    void clear() {
        Node* n = root_ ? leafFirst(root_) : nullptr;
        while (n) {
            Node* p = n->parent;
            Node* next = (p && n == p->left && p->right) ? leafFirst(p->right) : p;
            delete n;
            n = next;
        }
        root_ = nullptr;
        count_ = 0;
    }

    Iterator Begin() const {
        Node* n = root_;
        if (n)
            while (n->left) n = n->left;
        return Iterator(n);
    }

private:
    static bool isRed(const Node* n) { return n && n->colour == kRed; }

    // One byte comparison per node instead of Equals and then Less; the same order, since keys
    // hold no NUL bytes.
    static int compare(const CString& a, const CString& b) {
        return std::strcmp(a.c_str(), b.c_str());
    }

    static Node* leafFirst(Node* n) {
        for (;;) {
            if (n->left) n = n->left;
            else if (n->right) n = n->right;
            else return n;
        }
    }

    void replaceChild(Node* parent, Node* old, Node* child) {
        if (!parent) root_ = child;
        else if (parent->left == old) parent->left = child;
        else parent->right = child;
    }

    void rotateLeft(Node* x) {
        Node* y = x->right;
        x->right = y->left;
        if (y->left) y->left->parent = x;
        y->parent = x->parent;
        replaceChild(x->parent, x, y);
        if (!y->parent) y->colour = kBlack;
        y->left = x;
        x->parent = y;
    }

    void rotateRight(Node* x) {
        Node* y = x->left;
        x->left = y->right;
        if (y->right) y->right->parent = x;
        y->parent = x->parent;
        replaceChild(x->parent, x, y);
        if (!y->parent) y->colour = kBlack;
        y->right = x;
        x->parent = y;
    }

    void insertFixup(Node* n) {
        while (n != root_ && isRed(n->parent)) {
            Node* p = n->parent;
            Node* g = p->parent;  // a red parent is never the root
            if (p == g->left) {
                Node* uncle = g->right;
                if (isRed(uncle)) {
                    p->colour = kBlack;
                    uncle->colour = kBlack;
                    g->colour = kRed;
                    n = g;
                    continue;
                }
                if (n == p->right) {
                    n = p;
                    rotateLeft(n);
                }
                n->parent->colour = kBlack;
                n->parent->parent->colour = kRed;
                rotateRight(n->parent->parent);
            } else {
                Node* uncle = g->left;
                if (isRed(uncle)) {
                    p->colour = kBlack;
                    uncle->colour = kBlack;
                    g->colour = kRed;
                    n = g;
                    continue;
                }
                if (n == p->left) {
                    n = p;
                    rotateRight(n);
                }
                n->parent->colour = kBlack;
                n->parent->parent->colour = kRed;
                rotateLeft(n->parent->parent);
            }
        }
        root_->colour = kBlack;
    }

    // Unlinks z from the tree, moving nodes rather than values so other nodes stay put.
    void removeNode(Node* z) {
        Node* x;        // the node that takes the removed place (may be null)
        Node* xParent;  // its parent, since x itself may be null
        uint8_t removedColour = z->colour;
        if (!z->left || !z->right) {
            x = z->left ? z->left : z->right;
            xParent = z->parent;
            replaceChild(z->parent, z, x);
            if (x) x->parent = z->parent;
        } else {
            Node* y = z->right;
            while (y->left) y = y->left;
            removedColour = y->colour;
            x = y->right;
            if (y->parent == z) {
                xParent = y;
            } else {
                xParent = y->parent;
                xParent->left = x;
                if (x) x->parent = xParent;
                y->right = z->right;
                y->right->parent = y;
            }
            replaceChild(z->parent, z, y);
            y->parent = z->parent;
            y->left = z->left;
            y->left->parent = y;
            y->colour = z->colour;
        }
        if (removedColour == kBlack) eraseFixup(x, xParent);
    }

    // x carries one extra black; push it up or resolve it with recolouring and rotations.
    void eraseFixup(Node* x, Node* parent) {
        while (x != root_ && !isRed(x)) {
            if (x == parent->left) {
                Node* w = parent->right;  // never null: x's side is one black short
                if (isRed(w)) {
                    w->colour = kBlack;
                    parent->colour = kRed;
                    rotateLeft(parent);
                    w = parent->right;
                }
                if (!isRed(w->left) && !isRed(w->right)) {
                    w->colour = kRed;
                    x = parent;
                    parent = x->parent;
                    continue;
                }
                if (!isRed(w->right)) {
                    w->left->colour = kBlack;
                    w->colour = kRed;
                    rotateRight(w);
                    w = parent->right;
                }
                w->colour = parent->colour;
                parent->colour = kBlack;
                w->right->colour = kBlack;
                rotateLeft(parent);
                x = root_;
            } else {
                Node* w = parent->left;
                if (isRed(w)) {
                    w->colour = kBlack;
                    parent->colour = kRed;
                    rotateRight(parent);
                    w = parent->left;
                }
                if (!isRed(w->left) && !isRed(w->right)) {
                    w->colour = kRed;
                    x = parent;
                    parent = x->parent;
                    continue;
                }
                if (!isRed(w->left)) {
                    w->right->colour = kBlack;
                    w->colour = kRed;
                    rotateLeft(w);
                    w = parent->left;
                }
                w->colour = parent->colour;
                parent->colour = kBlack;
                w->left->colour = kBlack;
                rotateRight(parent);
                x = root_;
            }
        }
        if (x) x->colour = kBlack;
    }

    Node* root_;
    uint32_t count_;
};
