// Counts every heap allocation of the test process: through the sanitizer's allocation hooks
// in sanitizer builds (whose allocator must stay in charge), else through our own operator new.
#include "tests/world/alloc_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocations{0};
}

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's hook installer (its header is not always installed).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*,
                                                                          size_t),
                                                         void (*onFree)(const volatile void*));

namespace {
void onMalloc(const volatile void*, size_t) { ++gAllocations; }
void onFree(const volatile void*) {}
const int kHooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
}  // namespace
#else
void* operator new(std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace alloccount {
Scope::Scope() : start_(gAllocations.load()) {}
Scope::~Scope() {}
long Scope::count() const { return gAllocations.load() - start_; }
}  // namespace alloccount
