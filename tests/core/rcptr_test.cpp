// Tests of the shared handle: sharing, self-assignment and deletion exactly once.
#include "core/rcptr.h"

#include "core/array.h"
#include "counted.h"

#include <gtest/gtest.h>

Counts Counted::counts;

namespace {

struct Derived : Counted {
    explicit Derived(int* flag) : flag_(flag) {}
    ~Derived() override { ++*flag_; }
    int* flag_;
};

TEST(RCPtr, EmptyHandles) {
    CountsScope scope;
    RCPtr<Counted> empty;
    EXPECT_TRUE(empty.IsNull());
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.get(), nullptr);

    RCPtr<Counted> copy(empty);
    EXPECT_TRUE(copy.IsNull());

    RCPtr<Counted> full;
    full.Reset(new Counted(5));
    EXPECT_TRUE(full);
    EXPECT_EQ(full->value, 5);
    full = empty;  // drops the only reference
    EXPECT_TRUE(full.IsNull());
    EXPECT_EQ(Counted::counts.destroyed, 1);
}

TEST(RCPtr, ThreeHandlesDeleteOnceAtTheLast) {
    CountsScope scope;
    auto* a = new RCPtr<Counted>;
    a->Reset(new Counted(1));
    auto* b = new RCPtr<Counted>(*a);
    auto* c = new RCPtr<Counted>;
    *c = *b;
    EXPECT_EQ(a->get(), c->get());
    delete a;
    delete c;
    EXPECT_EQ(Counted::counts.destroyed, 0);
    EXPECT_EQ((*b)->value, 1);
    delete b;
    EXPECT_EQ(Counted::counts.destroyed, 1);
}

TEST(RCPtr, AssignmentsWithinOneRecordDeleteNothing) {
    CountsScope scope;
    RCPtr<Counted> a;
    a.Reset(new Counted);
    RCPtr<Counted> b(a);
    RCPtr<Counted>& same = a;  // self-assignment, through a name the compiler does not flag
    a = same;
    b = a;
    a = b;
    b.Release();
    EXPECT_TRUE(b.IsNull());
    EXPECT_EQ(Counted::counts.destroyed, 0);  // a still holds it: the count stayed right
    a.Release();
    EXPECT_EQ(Counted::counts.destroyed, 1);
    a.Release();  // releasing an empty handle is harmless
    EXPECT_EQ(Counted::counts.destroyed, 1);
}

TEST(RCPtr, ResetReleasesTheOldObject) {
    CountsScope scope;
    RCPtr<Counted> a;
    a.Reset(new Counted(1));
    RCPtr<Counted> kept(a);
    a.Reset(new Counted(2));  // kept still shares the first
    EXPECT_EQ(Counted::counts.destroyed, 0);
    EXPECT_EQ(kept->value, 1);
    a.Reset(nullptr);
    EXPECT_TRUE(a.IsNull());
    EXPECT_EQ(Counted::counts.destroyed, 1);
    kept.Reset(nullptr);
    EXPECT_EQ(Counted::counts.destroyed, 2);
}

TEST(RCPtr, DeletesThroughTheVirtualDestructor) {
    CountsScope scope;
    int derivedGone = 0;
    {
        RCPtr<Counted> base;
        base.Reset(new Derived(&derivedGone));
    }
    EXPECT_EQ(derivedGone, 1);
    EXPECT_EQ(Counted::counts.destroyed, 1);
}

TEST(RCPtr, SwapExchangesWithoutDeleting) {
    CountsScope scope;
    RCPtr<Counted> a, b;
    a.Reset(new Counted(1));
    b.Reset(new Counted(2));
    swapRCPtr(a, b);
    EXPECT_EQ(a->value, 2);
    EXPECT_EQ(b->value, 1);
    EXPECT_EQ(Counted::counts.destroyed, 0);
}

}  // namespace
