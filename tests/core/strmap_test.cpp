// Tests of the string-keyed tree map: lookups, handle values, iteration order, and the red-black
// shape checked against std::map after every step of random insert/set/erase runs.
#include "core/strmap.h"

#include "core/rcptr.h"
#include "counted.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using IntMap = cStrMap<int>;

std::vector<std::string> keysInOrder(const IntMap& m) {
    std::vector<std::string> out;
    for (IntMap::Iterator it = m.Begin(); !it.AtEnd(); it.Next())
        out.push_back(it.Node()->key.c_str());
    return out;
}

// Returns the black height of the subtree, or -1 after recording a failure.
int checkSubtree(const IntMap::Node* n, const IntMap::Node* parent, const CString* lo,
                 const CString* hi, int* nodes) {
    if (!n) return 1;
    ++*nodes;
    if (n->parent != parent) {
        ADD_FAILURE() << "parent link of " << n->key.c_str();
        return -1;
    }
    if ((lo && !lo->Less(n->key)) || (hi && !n->key.Less(*hi))) {
        ADD_FAILURE() << "search order at " << n->key.c_str();
        return -1;
    }
    if (n->colour == IntMap::kRed && ((n->left && n->left->colour == IntMap::kRed) ||
                                      (n->right && n->right->colour == IntMap::kRed))) {
        ADD_FAILURE() << "red node with a red child: " << n->key.c_str();
        return -1;
    }
    int left = checkSubtree(n->left, n, lo, &n->key, nodes);
    int right = checkSubtree(n->right, n, &n->key, hi, nodes);
    if (left < 0 || right < 0) return -1;
    if (left != right) {
        ADD_FAILURE() << "black heights differ under " << n->key.c_str();
        return -1;
    }
    return left + (n->colour == IntMap::kBlack ? 1 : 0);
}

void checkRedBlack(const IntMap& m) {
    const IntMap::Node* root = m.Root();
    if (root) {
        EXPECT_EQ(root->colour, IntMap::kBlack);
    }
    int nodes = 0;
    checkSubtree(root, nullptr, nullptr, nullptr, &nodes);
    EXPECT_EQ(uint32_t(nodes), m.size());
}

TEST(cStrMap, InsertRefusesDuplicatesAndSetReplaces) {
    IntMap m;
    EXPECT_TRUE(m.Insert("k", 1));
    EXPECT_FALSE(m.Insert("k", 2));
    EXPECT_EQ(*m.FindValue("k"), 1);
    m.Set("k", 3);
    CString key("other");
    m[key].Set(4);
    EXPECT_EQ(*m.FindValue("k"), 3);
    EXPECT_EQ(*m.FindValue("other"), 4);
    EXPECT_EQ(m.size(), 2u);
    EXPECT_EQ(m.FindNode("absent"), nullptr);
    EXPECT_EQ(m.FindValue("absent"), nullptr);
}

TEST(cStrMap, IterationIsByteOrder) {
    IntMap m;
    EXPECT_TRUE(m.Begin().AtEnd());
    for (const char* k : {"b", "a", "c", "B", "ab", ""}) m.Set(k, 0);
    EXPECT_EQ(keysInOrder(m), (std::vector<std::string>{"", "B", "a", "ab", "b", "c"}));
    EXPECT_NE(m.FindNode("B"), m.FindNode("b"));  // letter case makes different keys
}

TEST(cStrMap, EraseRootOfThree) {
    IntMap m;
    for (const char* k : {"b", "a", "c"}) m.Set(k, 0);
    ASSERT_STREQ(m.Root()->key.c_str(), "b");
    EXPECT_TRUE(m.Erase("b"));
    EXPECT_FALSE(m.Erase("b"));
    EXPECT_EQ(m.size(), 2u);
    EXPECT_EQ(keysInOrder(m), (std::vector<std::string>{"a", "c"}));
    checkRedBlack(m);
}

TEST(cStrMap, IteratorSurvivesChangesElsewhere) {
    IntMap m;
    for (int i = 0; i < 40; i += 2) {
        char k[8];
        std::snprintf(k, sizeof k, "%02d", i);
        m.Set(k, i);
    }
    IntMap::Iterator it = m.Begin();
    for (int i = 0; i < 5; ++i) it.Next();
    ASSERT_STREQ(it.Node()->key.c_str(), "10");
    m.Erase("04");
    m.Erase("12");
    m.Erase("30");
    m.Set("11", 11);
    std::vector<std::string> rest;
    for (; !it.AtEnd(); it.Next()) rest.push_back(it.Node()->key.c_str());
    EXPECT_EQ(rest, (std::vector<std::string>{"10", "11", "14", "16", "18", "20", "22", "24",
                                              "26", "28", "32", "34", "36", "38"}));
}

TEST(cStrMap, HandleValuesAreReleasedBySetEraseAndClear) {
    CountsScope scope;
    cStrMap<RCPtr<Counted>> m;
    auto handle = [](int v) {
        RCPtr<Counted> h;
        h.Reset(new Counted(v));
        return h;
    };
    m.Set("a", handle(1));
    m.Set("b", handle(2));
    m.Set("c", handle(3));
    m.Set("a", handle(4));  // replaces: the first object loses its last reference
    EXPECT_EQ(Counted::counts.destroyed, 1);
    EXPECT_EQ((*m.FindValue("a"))->value, 4);
    m.Erase("b");
    EXPECT_EQ(Counted::counts.destroyed, 2);
    m.clear();
    EXPECT_EQ(Counted::counts.destroyed, 4);
    EXPECT_EQ(m.size(), 0u);
    EXPECT_EQ(m.FindNode("c"), nullptr);
    EXPECT_TRUE(m.Begin().AtEnd());
    m.Set("again", handle(5));  // usable after clear; the destructor clears it
}

// Random insert/set/erase runs over a small key space, so that hits and misses both happen.
TEST(cStrMap, MatchesStdMapAndStaysRedBlack) {
    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 rng(seed);
        IntMap m;
        std::map<std::string, int> ref;
        for (int step = 0; step < 3000; ++step) {
            char key[16];
            std::snprintf(key, sizeof key, "k%u", unsigned(rng() % 300));
            int value = int(rng() % 1000);
            switch (rng() % 3) {
                case 0: EXPECT_EQ(m.Insert(key, value), ref.emplace(key, value).second); break;
                case 1:
                    m.Set(key, value);
                    ref[key] = value;
                    break;
                default: EXPECT_EQ(m.Erase(key), ref.erase(key) == 1); break;
            }
            ASSERT_EQ(m.size(), ref.size());
            checkRedBlack(m);
            if (HasFailure()) FAIL() << "seed " << seed << " step " << step;
            const int* found = m.FindValue(key);
            auto r = ref.find(key);
            ASSERT_EQ(found != nullptr, r != ref.end());
            if (found) {
                EXPECT_EQ(*found, r->second);
            }
        }
        std::vector<std::string> refKeys;
        for (const auto& kv : ref) refKeys.push_back(kv.first);
        EXPECT_EQ(keysInOrder(m), refKeys);
        for (IntMap::Iterator it = m.Begin(); !it.AtEnd(); it.Next())
            EXPECT_EQ(it.Node()->value, ref[it.Node()->key.c_str()]);
    }
}

// Ascending keys are the worst case for an unbalanced tree; erasing them in order must keep
// the depth logarithmic.
TEST(cStrMap, SortedInsertAndEraseStayShallow) {
    IntMap m;
    char key[16];
    for (int i = 0; i < 2048; ++i) {
        std::snprintf(key, sizeof key, "%05d", i);
        m.Set(key, i);
    }
    for (int i = 0; i < 1024; ++i) {
        std::snprintf(key, sizeof key, "%05d", i);
        ASSERT_TRUE(m.Erase(key));
        checkRedBlack(m);
        if (HasFailure()) FAIL() << "after erasing " << key;
    }
    int deepest = 0;
    for (IntMap::Iterator it = m.Begin(); !it.AtEnd(); it.Next()) {
        int depth = 0;
        for (const IntMap::Node* n = it.Node(); n; n = n->parent) ++depth;
        deepest = std::max(deepest, depth);
    }
    EXPECT_LE(deepest, 20);  // 2 log2(n + 1) bounds a red-black tree of 1024 entries
}

}  // namespace
