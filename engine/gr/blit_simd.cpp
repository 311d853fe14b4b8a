// Vector rows of the blitter: SSE2 (always there on x86-64) and AVX2 (chosen at run time), both
// built from one source so that they cannot drift apart.
#include "engine/gr/blit.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)

namespace rows_sse2 {
#define VBYTES 16
#include "engine/gr/blit_rows.inc"
#undef VBYTES
}  // namespace rows_sse2

#pragma GCC push_options
#pragma GCC target("avx2")
namespace rows_avx2 {
#define VBYTES 32
#include "engine/gr/blit_rows.inc"
#undef VBYTES
}  // namespace rows_avx2
#pragma GCC pop_options

RowKernel grSse2Row(int row) { return rows_sse2::vectorRow(row); }
// Asked on every draw: the processor is queried once.
RowKernel grAvx2Row(int row) {
    static const bool haveAvx2 = grHaveAvx2();
    return haveAvx2 ? rows_avx2::vectorRow(row) : nullptr;
}
bool grHaveAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#else

RowKernel grSse2Row(int) { return nullptr; }
RowKernel grAvx2Row(int) { return nullptr; }
bool grHaveAvx2() { return false; }

#endif
