// Counts the heap allocations made through operator new while a scope is open.
#pragma once

namespace alloccount {

// Allocations since the scope opened.
class Scope {
public:
    Scope();
    ~Scope();
    long count() const;

private:
    long start_;
};

}  // namespace alloccount
