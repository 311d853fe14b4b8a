// Vector rows of the blitter, built from one source so that they cannot drift apart: 16-byte
// rows for every GCC and clang target (the vector extensions lower to SSE2, NEON and the like),
// and on x86-64 the AVX2 and AVX-512BW rows chosen at run time. The wider sets are enabled per
// function with the target attribute, which both compilers honour.
#include "engine/gr/blit.h"

#include <cstring>
#include <type_traits>

#if defined(__GNUC__)

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace rows16 {
#define VBYTES 16
#define VTARGET
#define VMASKED 0
#include "engine/gr/blit_rows.inc"
#undef VMASKED
#undef VTARGET
#undef VBYTES
}  // namespace rows16

#if defined(__x86_64__)

namespace rows32 {
#define VBYTES 32
#define VTARGET __attribute__((target("avx2")))
#define VMASKED 0
#include "engine/gr/blit_rows.inc"
#undef VMASKED
#undef VTARGET
#undef VBYTES
}  // namespace rows32

namespace rows64 {
#define VBYTES 64
#define VTARGET __attribute__((target("avx512bw,avx512vl")))
#define VMASKED 1
#include "engine/gr/blit_rows.inc"
#undef VMASKED
#undef VTARGET
#undef VBYTES
}  // namespace rows64

int grVectorBytes() {
    // Asked on every draw: the processor is queried once.
    static const int bytes = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")) return 64;
        if (__builtin_cpu_supports("avx2")) return 32;
        return 16;
    }();
    return bytes;
}

RowKernel grVectorRow(int bytes, int row) {
    if (bytes > grVectorBytes()) return nullptr;
    if (bytes == 64) return rows64::vectorRow(row);
    if (bytes == 32) return rows32::vectorRow(row);
    return bytes == 16 ? rows16::vectorRow(row) : nullptr;
}

RectKernel grVectorRect(int bytes, int row) {
    if (bytes > grVectorBytes()) return nullptr;
    if (bytes == 64) return rows64::vectorRect(row);
    if (bytes == 32) return rows32::vectorRect(row);
    return bytes == 16 ? rows16::vectorRect(row) : nullptr;
}

#else

int grVectorBytes() { return 16; }
RowKernel grVectorRow(int bytes, int row) { return bytes == 16 ? rows16::vectorRow(row) : nullptr; }
RectKernel grVectorRect(int bytes, int row) {
    return bytes == 16 ? rows16::vectorRect(row) : nullptr;
}

#endif

#else

int grVectorBytes() { return 0; }
RowKernel grVectorRow(int, int) { return nullptr; }
RectKernel grVectorRect(int, int) { return nullptr; }

#endif
