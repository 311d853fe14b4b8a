// The image readers' conversion rows: the scalar rows every build has, and vector rows built
// from one source (image_rows.inc) for 16-byte vectors and, on x86-64, AVX2 and AVX-512BW,
// chosen at run time the way the blitter chooses its rows.
#include "engine/gr/image_rows.h"

#include <cstring>

#include "engine/gr/blit.h"

void imagePackRowScalar(const uint8_t* in, uint8_t* out, int n, const PackLayout& l) {
    for (int i = 0; i < n; ++i, in += l.srcBpp, out += 2) {
        uint32_t w = in[0] | in[1] << 8 | static_cast<uint32_t>(in[2]) << 16;
        if (l.srcBpp == 4) w |= static_cast<uint32_t>(in[3]) << 24;
        uint16_t v = static_cast<uint16_t>(((w >> l.down[0]) & l.mask[0]) << l.place[0] |
                                           ((w >> l.down[1]) & l.mask[1]) << l.place[1] |
                                           ((w >> l.down[2]) & l.mask[2]) << l.place[2]);
        if (l.keep) {
            uint16_t old;
            memcpy(&old, out, 2);
            v = static_cast<uint16_t>(v | (old & l.keep));
        }
        memcpy(out, &v, 2);
    }
}

void imagePlaneRowScalar(const uint8_t* in, uint8_t* out, int n, int srcBpp, int at) {
    for (int i = 0; i < n; ++i) out[i] = in[static_cast<long>(i) * srcBpp + at];
}

bool imageZeroRowScalar(const uint8_t* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[2 * i] == 0 && p[2 * i + 1] == 0) return true;
    return false;
}

#if defined(__GNUC__)

#if defined(__x86_64__)
// The 16-byte rows spread pixels with a byte shuffle, which x86 has from SSSE3 on.
#define ROWS16_TARGET __attribute__((target("ssse3,sse4.1")))
#else
#define ROWS16_TARGET
#endif

namespace imageRows16 {
#define VBYTES 16
#define VTARGET ROWS16_TARGET
#include "engine/gr/image_rows.inc"
#undef VTARGET
#undef VBYTES
}  // namespace imageRows16

#if defined(__x86_64__)

namespace imageRows32 {
#define VBYTES 32
#define VTARGET __attribute__((target("avx2")))
#include "engine/gr/image_rows.inc"
#undef VTARGET
#undef VBYTES
}  // namespace imageRows32

namespace imageRows64 {
#define VBYTES 64
#define VTARGET __attribute__((target("avx512bw,avx512vl")))
#include "engine/gr/image_rows.inc"
#undef VTARGET
#undef VBYTES
}  // namespace imageRows64

namespace {
bool have16() {
    static const bool yes = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1");
    }();
    return yes;
}
}  // namespace

PackRow imagePackRowOf(int bytes) {
    if (bytes == 16 && have16()) return imageRows16::packRow;
    if (bytes < 32 || bytes > grVectorBytes()) return nullptr;
    return bytes == 64 ? imageRows64::packRow : bytes == 32 ? imageRows32::packRow : nullptr;
}

PlaneRow imagePlaneRowOf(int bytes) {
    if (bytes == 16 && have16()) return imageRows16::planeRow;
    if (bytes < 32 || bytes > grVectorBytes()) return nullptr;
    return bytes == 64 ? imageRows64::planeRow : bytes == 32 ? imageRows32::planeRow : nullptr;
}

ZeroRow imageZeroRowOf(int bytes) {
    if (bytes == 16 && have16()) return imageRows16::zeroRow;
    if (bytes < 32 || bytes > grVectorBytes()) return nullptr;
    return bytes == 64 ? imageRows64::zeroRow : bytes == 32 ? imageRows32::zeroRow : nullptr;
}

#else

PackRow imagePackRowOf(int bytes) { return bytes == 16 ? imageRows16::packRow : nullptr; }
PlaneRow imagePlaneRowOf(int bytes) { return bytes == 16 ? imageRows16::planeRow : nullptr; }
ZeroRow imageZeroRowOf(int bytes) { return bytes == 16 ? imageRows16::zeroRow : nullptr; }

#endif

#else

PackRow imagePackRowOf(int) { return nullptr; }
PlaneRow imagePlaneRowOf(int) { return nullptr; }
ZeroRow imageZeroRowOf(int) { return nullptr; }

#endif

// The widest rows that exist here, else the scalar ones.
template <class Row>
Row widest(Row (*of)(int), Row scalar) {
    for (int bytes = 64; bytes >= 16; bytes /= 2)
        if (Row row = of(bytes)) return row;
    return scalar;
}

PackRow imagePackRow() {
    static const PackRow row = widest(imagePackRowOf, imagePackRowScalar);
    return row;
}

PlaneRow imagePlaneRow() {
    static const PlaneRow row = widest(imagePlaneRowOf, imagePlaneRowScalar);
    return row;
}

ZeroRow imageZeroRow() {
    static const ZeroRow row = widest(imageZeroRowOf, imageZeroRowScalar);
    return row;
}
