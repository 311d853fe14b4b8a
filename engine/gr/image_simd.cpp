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

#include <immintrin.h>

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

// Byte-permuting rows (AVX-512 VBMI): 32 pixels a step in 16-bit lanes, each channel's byte
// gathered into both bytes of its pixel's lane by one permute of the step's 96 or 128 source
// bytes, then shifted to its place and masked. A source byte v repeated as v * 257 and shifted
// right by 16 - bits - place holds v's top bits exactly at the channel's place, and everything
// else below it, so the mask leaves the scalar formula's value. Reads exactly the step's pixels.
namespace imageRowsVbmi {

#define VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

typedef uint8_t V64 __attribute__((vector_size(64)));
typedef uint16_t V16 __attribute__((vector_size(64)));
typedef long long VI __attribute__((vector_size(64)));

struct Channel {
    VI index;       // the source byte of each lane's pixel, in both of the lane's bytes
    int right;      // 16 - bits - place
    uint16_t mask;  // the channel's bits at its place
};

// The first byte of each lane's pixel, in both of the lane's bytes, for 3- and 4-byte pixels.
#define LANE(J, B) (B) * (J), (B) * (J)
#define LANES8(J, B) LANE(J, B), LANE(J + 1, B), LANE(J + 2, B), LANE(J + 3, B), LANE(J + 4, B), \
    LANE(J + 5, B), LANE(J + 6, B), LANE(J + 7, B)
#define LANES32(B) LANES8(0, B), LANES8(8, B), LANES8(16, B), LANES8(24, B)
const V64 kFirstBytes3 = {LANES32(3)};
const V64 kFirstBytes4 = {LANES32(4)};
#undef LANES32
// The first byte of each of 32 four-byte pixels, one a byte (the upper half is not used).
#define PIXELS8(J) 4 * (J), 4 * (J + 1), 4 * (J + 2), 4 * (J + 3), 4 * (J + 4), 4 * (J + 5), \
    4 * (J + 6), 4 * (J + 7)
const V64 kPixelBytes4 = {PIXELS8(0), PIXELS8(8), PIXELS8(16), PIXELS8(24)};
#undef PIXELS8
#undef LANES8
#undef LANE

// The layout as this row takes it: false for one that is not byte channels into 16 bits.
bool channelsOf(const PackLayout& l, Channel* out) {
    for (int c = 0; c < 3; ++c) {
        const int byte = l.down[c] / 8, lost = l.down[c] % 8, bits = 8 - lost;
        if (l.down[c] < 0 || byte >= l.srcBpp || l.mask[c] != (0xFFu >> lost) || l.place[c] < 0 ||
            bits + l.place[c] > 16)
            return false;
        const V64& first = l.srcBpp == 4 ? kFirstBytes4 : kFirstBytes3;
        out[c].index = (VI)(first + static_cast<uint8_t>(byte));
        out[c].right = 16 - bits - l.place[c];
        out[c].mask = static_cast<uint16_t>(((1u << bits) - 1) << l.place[c]);
    }
    return true;
}

VBMI_TARGET static inline VI channel(VI lo, VI hi, const Channel& c) {
    const VI bytes = (VI)_mm512_permutex2var_epi8((__m512i)lo, (__m512i)c.index, (__m512i)hi);
    return (VI)(((V16)bytes >> c.right) & c.mask);
}

// One step's 32 pixels, from their source bytes in lo and hi, into 64 bytes at out.
VBMI_TARGET static inline void packStep(VI lo, VI hi, uint8_t* out, const Channel& c0,
                                        const Channel& c1, const Channel& c2, uint16_t keep) {
    VI r = channel(lo, hi, c0) | channel(lo, hi, c1) | channel(lo, hi, c2);
    if (keep) {
        V16 old;
        memcpy(&old, out, 64);
        r |= (VI)(old & keep);
    }
    memcpy(out, &r, 64);
}

// Steps of 32 pixels of Bpp bytes; the layout is in locals, which the stores cannot change.
template <int Bpp>
VBMI_TARGET int packSteps(const uint8_t* in, uint8_t* out, int n, const Channel* ch, uint16_t keep) {
    const Channel c0 = ch[0], c1 = ch[1], c2 = ch[2];
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        const uint8_t* p = in + static_cast<long>(i) * Bpp;
        const VI lo = (VI)_mm512_loadu_si512(p);
        const VI hi = Bpp == 4 ? (VI)_mm512_loadu_si512(p + 64)
                               : (VI)_mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 64)));
        packStep(lo, hi, out + 2 * i, c0, c1, c2, keep);
    }
    return i;
}

VBMI_TARGET void packRow(const uint8_t* in, uint8_t* out, int n, const PackLayout& l) {
    Channel ch[3];
    if (l.srcBpp < 3 || !channelsOf(l, ch)) {
        imagePackRowScalar(in, out, n, l);
        return;
    }
    const int i = l.srcBpp == 4 ? packSteps<4>(in, out, n, ch, l.keep) : packSteps<3>(in, out, n, ch, l.keep);
    if (i < n) {
        const PackRow rest = imagePackRowOf(64);
        (rest ? rest : imagePackRowScalar)(in + static_cast<long>(i) * l.srcBpp, out + 2 * i, n - i, l);
    }
}

// The same steps for 4-byte pixels with byte at of each also gathered into the plane: one more
// permute of bytes already loaded.
VBMI_TARGET void packPlaneRow(const uint8_t* in, uint8_t* out, uint8_t* plane, int n,
                              const PackLayout& l, int at) {
    Channel ch[3];
    int i = 0;
    if (l.srcBpp == 4 && at >= 0 && at < 4 && channelsOf(l, ch)) {
        const Channel c0 = ch[0], c1 = ch[1], c2 = ch[2];
        const uint16_t keep = l.keep;
        const VI pick = (VI)(kPixelBytes4 + static_cast<uint8_t>(at));
        for (; i + 32 <= n; i += 32) {
            const uint8_t* p = in + 4L * i;
            const VI lo = (VI)_mm512_loadu_si512(p);
            const VI hi = (VI)_mm512_loadu_si512(p + 64);
            packStep(lo, hi, out + 2 * i, c0, c1, c2, keep);
            const VI bytes = (VI)_mm512_permutex2var_epi8((__m512i)lo, (__m512i)pick, (__m512i)hi);
            memcpy(plane + i, &bytes, 32);
        }
    }
    if (i < n) {
        imagePackRow()(in + 4L * i, out + 2 * i, n - i, l);
        imagePlaneRow()(in + 4L * i, plane + i, n - i, l.srcBpp, at);
    }
}

#undef VBMI_TARGET

}  // namespace imageRowsVbmi

namespace {
bool haveVbmi() {
    static const bool yes = [] {
        __builtin_cpu_init();
        return grVectorBytes() >= 64 && __builtin_cpu_supports("avx512vbmi");
    }();
    return yes;
}

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

PackRow imagePackRowPermuting() { return haveVbmi() ? imageRowsVbmi::packRow : nullptr; }
PackPlaneRow imagePackPlaneRowPermuting() { return haveVbmi() ? imageRowsVbmi::packPlaneRow : nullptr; }

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
PackRow imagePackRowPermuting() { return nullptr; }
PackPlaneRow imagePackPlaneRowPermuting() { return nullptr; }
PlaneRow imagePlaneRowOf(int bytes) { return bytes == 16 ? imageRows16::planeRow : nullptr; }
ZeroRow imageZeroRowOf(int bytes) { return bytes == 16 ? imageRows16::zeroRow : nullptr; }

#endif

#else

PackRow imagePackRowOf(int) { return nullptr; }
PackRow imagePackRowPermuting() { return nullptr; }
PackPlaneRow imagePackPlaneRowPermuting() { return nullptr; }
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
    static const PackRow row =
        imagePackRowPermuting() ? imagePackRowPermuting() : widest(imagePackRowOf, imagePackRowScalar);
    return row;
}

PlaneRow imagePlaneRow() {
    static const PlaneRow row = widest(imagePlaneRowOf, imagePlaneRowScalar);
    return row;
}

PackPlaneRow imagePackPlaneRow() {
    static const PackPlaneRow row = imagePackPlaneRowPermuting();
    return row;
}

ZeroRow imageZeroRow() {
    static const ZeroRow row = widest(imageZeroRowOf, imageZeroRowScalar);
    return row;
}
