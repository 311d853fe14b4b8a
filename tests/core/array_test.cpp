// Tests of the growable array, its Shell sort, the auto-growing slot array and the small helpers.
#include "core/array.h"

#include "core/autoarray.h"
#include "counted.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

cArray<int> make(std::initializer_list<int> values) {
    cArray<int> a;
    for (int v : values) a.push_back(v);
    return a;
}

std::vector<int> items(const cArray<int>& a) {
    std::vector<int> out;
    for (uint32_t i = 0; i < a.size(); ++i) out.push_back(a[i]);
    return out;
}

TEST(cArray, PushBackDoublesTheCapacity) {
    const struct {
        int pushes;
        uint32_t capacity;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {5, 8}, {9, 16}};
    for (const auto& c : cases) {
        cArray<int> a;
        for (int i = 0; i < c.pushes; ++i) a.push_back(i);
        EXPECT_EQ(a.capacity(), c.capacity) << c.pushes;
        EXPECT_EQ(a.size(), uint32_t(c.pushes));
    }
}

TEST(cArray, PushingAnOwnElementWhileFull) {
    cArray<CString> a;
    a.push_back("first");
    a.push_back("second");
    ASSERT_EQ(a.size(), a.capacity());
    a.push_back(a[0]);  // the source lives in the block that growing replaces
    a.insert(1, a[2]);
    EXPECT_STREQ(a[3].c_str(), "first");
    EXPECT_STREQ(a[1].c_str(), "first");
}

TEST(cArray, ClearKeepsTheBlockAndReserveIsExact) {
    cArray<int> a = make({1, 2, 3});
    const int* block = &a[0];
    a.clear();
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(a.capacity(), 4u);
    a.push_back(7);
    EXPECT_EQ(&a[0], block);
    EXPECT_EQ(a.capacity(), 4u);

    a.reserve(2);
    EXPECT_EQ(a.capacity(), 4u);
    a.reserve(13);
    EXPECT_EQ(a.capacity(), 13u);
    EXPECT_EQ(items(a), std::vector<int>{7});

    a.release();
    EXPECT_EQ(a.capacity(), 0u);
    EXPECT_EQ(a.size(), 0u);
}

TEST(cArray, Erase) {
    const struct {
        uint32_t index;
        uint32_t result;
        std::vector<int> after;
    } cases[] = {
        {0, 0, {20, 30}},
        {1, 1, {10, 30}},
        {2, 2, {10, 20}},
        {3, cArray<int>::kNoIndex, {10, 20, 30}},
        {0xFFFFFFFFu, cArray<int>::kNoIndex, {10, 20, 30}},
    };
    for (const auto& c : cases) {
        cArray<int> a = make({10, 20, 30});
        EXPECT_EQ(a.erase(c.index), c.result) << c.index;
        EXPECT_EQ(items(a), c.after) << c.index;
        EXPECT_EQ(a.capacity(), 4u);
    }
}

TEST(cArray, Insert) {
    const struct {
        uint32_t index;
        uint32_t result;
        std::vector<int> after;
    } cases[] = {
        {0, 0, {9, 1, 2, 3}},
        {1, 1, {1, 9, 2, 3}},
        {3, 3, {1, 2, 3, 9}},
        {5, cArray<int>::kNoIndex, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        cArray<int> a = make({1, 2, 3});
        EXPECT_EQ(a.insert(c.index, 9), c.result) << c.index;
        EXPECT_EQ(items(a), c.after) << c.index;
    }
    EXPECT_EQ(make({}).begin(), 0u);

    // Inserting before the end of a full array grows it by one place only.
    cArray<int> full = make({1, 2, 3, 4});
    ASSERT_EQ(full.capacity(), 4u);
    full.insert(1, 9);
    EXPECT_EQ(full.capacity(), 5u);
    full.insert(0, 8);
    EXPECT_EQ(full.capacity(), 6u);
    EXPECT_EQ(items(full), (std::vector<int>{8, 1, 9, 2, 3, 4}));
}

TEST(cArray, Resize) {
    cArray<int> a = make({1, 2, 3});
    a.resize(5, 7);
    EXPECT_EQ(items(a), (std::vector<int>{1, 2, 3, 7, 7}));
    EXPECT_EQ(a.capacity(), 5u);

    cArray<int> roomy = make({1, 2, 3});
    roomy.reserve(10);
    roomy.resize(5, 7);
    EXPECT_EQ(roomy.capacity(), 10u);

    a.resize(2);
    EXPECT_EQ(items(a), (std::vector<int>{1, 2}));
    EXPECT_EQ(a.capacity(), 2u);
    a.resize(2);
    EXPECT_EQ(a.capacity(), 2u);
    a.resize(0);
    EXPECT_EQ(a.capacity(), 0u);
    EXPECT_EQ(a.size(), 0u);
}

TEST(cArray, Move) {
    const struct {
        uint32_t to, from;
        std::vector<int> after;
    } cases[] = {
        {0, 2, {3, 1, 2}}, {9, 0, {2, 3, 1}}, {2, 0, {2, 3, 1}}, {1, 2, {1, 3, 2}},
        {1, 1, {1, 2, 3}}, {0, 3, {1, 2, 3}}, {9, 2, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        cArray<int> a = make({1, 2, 3});
        a.Move(c.to, c.from);
        EXPECT_EQ(items(a), c.after) << c.to << " " << c.from;
    }
    cArray<int> empty;
    empty.Move(0, 0);
    EXPECT_EQ(empty.size(), 0u);
}

TEST(cArray, AssignAndCopyAreDeep) {
    cArray<int> a = make({1, 2, 3, 4, 5});
    cArray<int> b = make({9});
    b.reserve(20);
    EXPECT_EQ(b.Assign(a), 5u);
    EXPECT_EQ(items(b), items(a));
    EXPECT_EQ(b.capacity(), 20u);  // never shrinks
    b[0] = 100;
    EXPECT_EQ(a[0], 1);

    EXPECT_EQ(a.Assign(a), 5u);
    EXPECT_EQ(items(a), (std::vector<int>{1, 2, 3, 4, 5}));

    cArray<int> c(a);
    cArray<int>& same = c;  // self-assignment, through a name the compiler does not flag
    c = same;
    EXPECT_EQ(items(c), items(a));
    EXPECT_NE(&c[0], &a[0]);
}

// The block is made of default-constructed places, copied into by assignment; every place is
// destroyed exactly once when the block goes.
TEST(cArray, ClassElementsLiveInEveryPlace) {
    CountsScope scope;
    {
        cArray<Counted> a;
        a.reserve(4);
        EXPECT_EQ(Counted::counts.constructed, 4);
        Counted v(7);
        a.push_back(v);
        EXPECT_EQ(Counted::counts.assigned, 1);
        a.clear();  // keeps the places alive
        EXPECT_EQ(Counted::counts.destroyed, 0);
        for (int i = 0; i < 5; ++i) a.push_back(Counted(i));
        a.erase(0);
        a.insert(1, v);
        a.Move(0, 3);
        a.resize(2);
        EXPECT_EQ(a.capacity(), 2u);
        EXPECT_EQ(a[0].value, 3);
        EXPECT_EQ(a[1].value, 1);
    }
    EXPECT_EQ(Counted::counts.live(), 0);
}

TEST(cArray, HandlesInsideArraysAreReleasedOnce) {
    CountsScope scope;
    {
        cArray<RCPtr<Counted>> a;
        for (int i = 0; i < 3; ++i) {
            RCPtr<Counted> h;
            h.Reset(new Counted(i));
            a.push_back(h);
        }
        a.erase(0);  // the first object's last handle is overwritten
        EXPECT_EQ(Counted::counts.destroyed, 1);
        cArray<RCPtr<Counted>> copy(a);
        a.release();
        EXPECT_EQ(Counted::counts.destroyed, 1);
        EXPECT_EQ(copy[1]->value, 2);
    }
    EXPECT_EQ(Counted::counts.destroyed, 3);
}

bool less(const int& a, const int& b) { return a < b; }

struct Greater {
    bool operator()(const int& a, const int& b) const { return a > b; }
};

TEST(ShellSort, SmallArrays) {
    const struct {
        std::vector<int> in, ascending;
    } cases[] = {
        {{}, {}}, {{4}, {4}}, {{3, 1, 2}, {1, 2, 3}}, {{2, 2, 1, 1}, {1, 1, 2, 2}},
        {{5, 4, 3, 2, 1, 0, -1, -2, -3}, {-3, -2, -1, 0, 1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        cArray<int> a;
        for (int v : c.in) a.push_back(v);
        Sort(a, less);
        EXPECT_EQ(items(a), c.ascending);
        Sort(a, Greater());
        std::vector<int> descending(c.ascending.rbegin(), c.ascending.rend());
        EXPECT_EQ(items(a), descending);
    }
}

TEST(ShellSort, MatchesStdSortOnRandomData) {
    std::mt19937 rng(7);
    for (int n : {10, 1000, 30000}) {
        cArray<int> a;
        std::vector<int> ref;
        for (int i = 0; i < n; ++i) {
            int v = int(rng() % 1000) - 500;
            a.push_back(v);
            ref.push_back(v);
        }
        Sort(a, less);
        std::sort(ref.begin(), ref.end());
        EXPECT_EQ(items(a), ref) << n;
    }
}

TEST(ShellSort, SortsPairsByValue) {
    cArray<cStrPair> a;
    a.push_back(cStrPair{"c", 3});
    a.push_back(cStrPair{"a", 1});
    a.push_back(cStrPair{"b", 2});
    Sort(a, [](const cStrPair& x, const cStrPair& y) { return x.value < y.value; });
    EXPECT_STREQ(a[0].key.c_str(), "a");
    EXPECT_STREQ(a[1].key.c_str(), "b");
    EXPECT_STREQ(a[2].key.c_str(), "c");
}

TEST(Helpers, DeleteFreeSwapMinMax) {
    CountsScope scope;
    Counted* p = nullptr;
    deleteAndNull(p);
    p = new Counted;
    deleteAndNull(p);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(Counted::counts.destroyed, 1);

    char* block = static_cast<char*>(std::malloc(8));
    freeAndNull(block);
    EXPECT_EQ(block, nullptr);
    freeAndNull(block);

    int x = 1, y = 2;
    int *px = &x, *py = &y;
    swapPtr(&px, &py);
    EXPECT_EQ(*px, 2);
    EXPECT_EQ(*py, 1);

    EXPECT_EQ(IntMax(-3, 2), 2);
    EXPECT_EQ(IntMin(-3, 2), -3);
    EXPECT_EQ(IntMax(4, 4), 4);
}

TEST(cAutoArray, GrowsOnAccessToExactlyTheIndex) {
    int word = 0;
    cAutoArray<int*> a;
    EXPECT_EQ(a.capacityRef(), 0);
    a.at(5) = &word;
    EXPECT_EQ(a.capacityRef(), 6);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a.get(i), nullptr);  // growth zeroes new slots
    a.at(0) = &word;
    a.at(2) = &word;
    EXPECT_EQ(a.capacityRef(), 6);

    a.resize(2);
    EXPECT_EQ(a.capacityRef(), 2);
    EXPECT_EQ(a.get(0), &word);
    EXPECT_EQ(a.get(1), nullptr);
    a.resize(-1);
    EXPECT_EQ(a.capacityRef(), 2);
    a.resize(0);
    EXPECT_EQ(a.capacityRef(), 0);
    a.at(0) = &word;
    EXPECT_EQ(a.capacityRef(), 1);
}

}  // namespace
