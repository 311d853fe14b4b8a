// A test element that counts its constructions, assignments and destructions.
#pragma once

struct Counts {
    int constructed = 0;  // default and copy constructions
    int assigned = 0;
    int destroyed = 0;
    int live() const { return constructed - destroyed; }
};

class Counted {
public:
    static Counts counts;

    Counted() : value(0) { ++counts.constructed; }
    explicit Counted(int v) : value(v) { ++counts.constructed; }
    Counted(const Counted& o) : value(o.value) { ++counts.constructed; }
    Counted& operator=(const Counted& o) {
        value = o.value;
        ++counts.assigned;
        return *this;
    }
    virtual ~Counted() { ++counts.destroyed; }

    int value;
};

// Starts one test with zeroed counters.
class CountsScope {
public:
    CountsScope() { Counted::counts = Counts(); }
};
