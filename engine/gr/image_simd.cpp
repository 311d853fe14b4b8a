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

namespace {

// Many rows as the single rows take them.
void packRowsByRow(const uint8_t* in, long inPitch, uint8_t* out, long outPitch, int n, int rows,
                   const PackLayout& l, bool* zero) {
    const PackRow row = imagePackRow();
    const ZeroRow zeroRow = imageZeroRow();
    for (int y = 0; y < rows; ++y) {
        row(in + y * inPitch, out + y * outPitch, n, l);
        // Looked for while the row is in the cache.
        if (zero && !*zero) *zero = zeroRow(out + y * outPitch, n);
    }
}

void packPlaneRowsByRow(const uint8_t* in, long inPitch, uint8_t* out, long outPitch,
                        uint8_t* plane, long planePitch, int n, int rows, const PackLayout& l,
                        int at) {
    const PackRow pack = imagePackRow();
    const PlaneRow planeRow = imagePlaneRow();
    for (int y = 0; y < rows; ++y) {
        pack(in + y * inPitch, out + y * outPitch, n, l);
        planeRow(in + y * inPitch, plane + y * planePitch, n, l.srcBpp, at);
    }
}

}  // namespace

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

// Byte-permuting rows (AVX-512 VBMI): 32 pixels a step in 16-bit lanes. One permute of the
// step's 96 or 128 source bytes gathers two bytes of every pixel into its lane (a word); a
// channel is a word shifted right until the channel's top bits sit at its place, and bit selects
// merge the channels. A channel is the high byte of the word that starts one byte before it (the
// pixel's first byte stands in for the byte before it) or, where its bits lie at or above their
// place, the low byte of the word that starts at it. The layout is planned once for all rows,
// so that the usual layouts take two permutes instead of one a channel. The row's end is a
// masked step: exactly the row's bytes are read and written.
namespace imageRowsVbmi {

#define VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

struct Plan {
    alignas(64) uint8_t word[3][64];  // per lane, the source byte of each of its two bytes
    int words;                        // 1 to 3; channel c takes word max(0, c + words - 3)
    int right[3];                     // the channel's shift to its place
    uint16_t mask[3];                 // its bits at its place
    uint16_t keep;
};

// The first byte of each of 32 four-byte pixels, one a byte (the upper half is not used).
#define PIXELS8(J) 4 * (J), 4 * (J + 1), 4 * (J + 2), 4 * (J + 3), 4 * (J + 4), 4 * (J + 5), \
    4 * (J + 6), 4 * (J + 7)
alignas(64) const uint8_t kPixelBytes4[64] = {PIXELS8(0), PIXELS8(8), PIXELS8(16), PIXELS8(24)};
#undef PIXELS8

// The plan of a layout, or false for one that is not byte channels into 16 bits.
bool planOf(const PackLayout& l, Plan* plan) {
    const int bpp = l.srcBpp;
    if (bpp != 3 && bpp != 4) return false;
    int byte[3], lost[3];
    uint16_t mask[3];
    for (int c = 0; c < 3; ++c) {
        byte[c] = l.down[c] / 8;
        lost[c] = l.down[c] % 8;
        const int bits = 8 - lost[c];
        if (l.down[c] < 0 || byte[c] >= bpp || l.mask[c] != (0xFFu >> lost[c]) || l.place[c] < 0 ||
            bits + l.place[c] > 16)
            return false;
        mask[c] = static_cast<uint16_t>(((1u << bits) - 1) << l.place[c]);
    }
    // Selects merge channels that do not overlap; the formula ORs them.
    if ((mask[0] & mask[1]) | (mask[0] & mask[2]) | (mask[1] & mask[2])) return false;
    // Where each channel's word starts: of the choices, the one with the fewest words. Taking
    // every channel as a high byte always works.
    int start[3] = {byte[0] - 1, byte[1] - 1, byte[2] - 1}, fewest = 4;
    for (int low = 0; low < 8; ++low) {
        int s[3], distinct = 0;
        bool ok = true;
        for (int c = 0; c < 3; ++c) {
            const bool inLow = (low >> c) & 1;
            ok = ok && (!inLow || (l.place[c] <= lost[c] && byte[c] + 1 < bpp));
            s[c] = inLow ? byte[c] : byte[c] - 1;
            distinct += (c < 1 || s[0] != s[c]) && (c < 2 || s[1] != s[c]);
        }
        if (ok && distinct < fewest) {
            fewest = distinct;
            memcpy(start, s, sizeof s);
        }
    }
    // Channels in the order of their words, the word shared by two first.
    int order[3] = {0, 1, 2};
    auto uses = [&](int c) { return (start[0] == start[c]) + (start[1] == start[c]) + (start[2] == start[c]); };
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            const int ca = order[a], cb = order[b];
            if (uses(cb) > uses(ca) || (uses(cb) == uses(ca) && start[cb] < start[ca])) {
                order[a] = cb;
                order[b] = ca;
            }
        }
    plan->words = fewest;
    plan->keep = l.keep;
    for (int k = 0; k < 3; ++k) {
        const int c = order[k], w = k + fewest - 3 > 0 ? k + fewest - 3 : 0;
        const int s = start[c];
        for (int j = 0; j < 32; ++j) {
            plan->word[w][2 * j] = static_cast<uint8_t>(bpp * j + (s > 0 ? s : 0));
            plan->word[w][2 * j + 1] = static_cast<uint8_t>(bpp * j + s + 1);
        }
        plan->right[k] = (s == byte[c] ? 0 : 8) + lost[c] - l.place[c];
        plan->mask[k] = mask[c];
    }
    return true;
}

// The plan in registers, which the stores of the rows cannot change.
struct Regs {
    __m512i word0, word1, word2, mask0, mask01, used, keep, pick;
    __m128i right0, right1, right2;
    bool full;  // the channels and the kept bits fill the 16 bits without overlapping
    bool keeps;
    bool shift2;
};

// (a & m) | (b & ~m)
VBMI_TARGET static inline __m512i blend(__m512i m, __m512i a, __m512i b) {
    return _mm512_ternarylogic_epi32(a, b, m, 0xE4);
}

// The 32 pixels of a step, from their source bytes in lo and hi; old is what out holds.
template <int Words>
VBMI_TARGET static inline __m512i packStep(const Regs& k, __m512i lo, __m512i hi, __m512i old) {
    const __m512i w0 = _mm512_permutex2var_epi8(lo, k.word0, hi);
    const __m512i w1 = Words > 1 ? _mm512_permutex2var_epi8(lo, k.word1, hi) : w0;
    const __m512i w2 = Words > 2 ? _mm512_permutex2var_epi8(lo, k.word2, hi) : w1;
    const __m512i x0 = _mm512_srl_epi16(w0, k.right0);
    const __m512i x1 = _mm512_srl_epi16(Words > 2 ? w1 : w0, k.right1);
    // A channel already at its place (the top one, often) takes no shift.
    const __m512i x2 = k.shift2 ? _mm512_srl_epi16(w2, k.right2) : w2;
    __m512i r = blend(k.mask01, blend(k.mask0, x0, x1), x2);
    if (!k.full) r = _mm512_and_si512(r, k.used);
    if (k.keeps) r = k.full ? blend(k.keep, old, r) : _mm512_ternarylogic_epi32(r, old, k.keep, 0xF8);
    return r;
}

// rows rows of n pixels of Bpp bytes; with Plane, byte at of each pixel into plane as well.
template <int Bpp, int Words, bool Plane>
VBMI_TARGET void packRows(const uint8_t* in, long inPitch, uint8_t* out, long outPitch,
                          uint8_t* plane, long planePitch, int n, int rows, const Plan& p, int at,
                          bool* zero) {
    Regs k;
    k.word0 = _mm512_load_si512(p.word[0]);
    k.word1 = _mm512_load_si512(p.word[Words > 1 ? 1 : 0]);
    k.word2 = _mm512_load_si512(p.word[Words > 2 ? 2 : 0]);
    k.mask0 = _mm512_set1_epi16(static_cast<short>(p.mask[0]));
    k.mask01 = _mm512_set1_epi16(static_cast<short>(p.mask[0] | p.mask[1]));
    const uint16_t used = p.mask[0] | p.mask[1] | p.mask[2];
    k.used = _mm512_set1_epi16(static_cast<short>(used));
    k.keep = _mm512_set1_epi16(static_cast<short>(p.keep));
    k.pick = Plane ? _mm512_add_epi8(_mm512_load_si512(kPixelBytes4), _mm512_set1_epi8(static_cast<char>(at)))
                   : _mm512_setzero_si512();
    k.right0 = _mm_cvtsi32_si128(p.right[0]);
    k.right1 = _mm_cvtsi32_si128(p.right[1]);
    k.right2 = _mm_cvtsi32_si128(p.right[2]);
    k.full = (used | p.keep) == 0xFFFF && (used & p.keep) == 0;
    k.keeps = p.keep != 0;
    k.shift2 = p.right[2] != 0;
    const bool findZero = zero != nullptr;
    __mmask32 zeros = 0;  // lanes of some step that were 0
    for (int y = 0; y < rows; ++y) {
        const uint8_t* src = in + y * inPitch;
        uint8_t* dst = out + y * outPitch;
        int i = 0;
        for (; i + 32 <= n; i += 32) {
            const uint8_t* s = src + static_cast<long>(i) * Bpp;
            const __m512i lo = _mm512_loadu_si512(s);
            const __m512i hi = Bpp == 4 ? _mm512_loadu_si512(s + 64) : _mm512_maskz_loadu_epi8(~0U, s + 64);
            const __m512i old = k.keeps ? _mm512_loadu_si512(dst + 2 * i) : _mm512_setzero_si512();
            const __m512i r = packStep<Words>(k, lo, hi, old);
            _mm512_storeu_si512(dst + 2 * i, r);
            if (findZero) zeros |= _mm512_testn_epi16_mask(r, r);
            if (Plane)
                _mm512_mask_storeu_epi8(plane + y * planePitch + i, ~0U, _mm512_permutex2var_epi8(lo, k.pick, hi));
        }
        if (i == n) continue;
        // The last n - i pixels (1 to 31) in a step whose loads and stores are masked to them.
        const int bytes = (n - i) * Bpp;
        const uint8_t* s = src + static_cast<long>(i) * Bpp;
        const __mmask64 loMask = bytes >= 64 ? ~0ULL : (1ULL << bytes) - 1;
        const __m512i lo = _mm512_maskz_loadu_epi8(loMask, s);
        const __m512i hi = bytes > 64 ? _mm512_maskz_loadu_epi8((1ULL << (bytes - 64)) - 1, s + 64)
                                      : _mm512_setzero_si512();
        const __mmask64 outMask = (1ULL << (2 * (n - i))) - 1;
        const __m512i old = k.keeps ? _mm512_maskz_loadu_epi8(outMask, dst + 2 * i) : _mm512_setzero_si512();
        const __m512i r = packStep<Words>(k, lo, hi, old);
        _mm512_mask_storeu_epi8(dst + 2 * i, outMask, r);
        if (findZero) zeros |= _mm512_mask_testn_epi16_mask((1U << (n - i)) - 1, r, r);
        if (Plane)
            _mm512_mask_storeu_epi8(plane + y * planePitch + i, (1ULL << (n - i)) - 1,
                                    _mm512_permutex2var_epi8(lo, k.pick, hi));
    }
    if (zeros) *zero = true;
}

template <int Bpp, bool Plane>
void packRowsOf(const uint8_t* in, long inPitch, uint8_t* out, long outPitch, uint8_t* plane,
                long planePitch, int n, int rows, const Plan& p, int at, bool* zero) {
    if (p.words == 1)
        packRows<Bpp, 1, Plane>(in, inPitch, out, outPitch, plane, planePitch, n, rows, p, at, zero);
    else if (p.words == 2)
        packRows<Bpp, 2, Plane>(in, inPitch, out, outPitch, plane, planePitch, n, rows, p, at, zero);
    else
        packRows<Bpp, 3, Plane>(in, inPitch, out, outPitch, plane, planePitch, n, rows, p, at, zero);
}

void packRowsPlanned(const uint8_t* in, long inPitch, uint8_t* out, long outPitch, int n, int rows,
                     const PackLayout& l, bool* zero) {
    if (n <= 0 || rows <= 0) return;
    Plan p;
    if (!planOf(l, &p)) {
        packRowsByRow(in, inPitch, out, outPitch, n, rows, l, zero);
        return;
    }
    (l.srcBpp == 4 ? packRowsOf<4, false> : packRowsOf<3, false>)(in, inPitch, out, outPitch,
                                                                   nullptr, 0, n, rows, p, 0, zero);
}

void packPlaneRowsPlanned(const uint8_t* in, long inPitch, uint8_t* out, long outPitch,
                          uint8_t* plane, long planePitch, int n, int rows, const PackLayout& l,
                          int at) {
    if (n <= 0 || rows <= 0) return;
    Plan p;
    if (l.srcBpp != 4 || at < 0 || at > 3 || !planOf(l, &p)) {
        packPlaneRowsByRow(in, inPitch, out, outPitch, plane, planePitch, n, rows, l, at);
        return;
    }
    packRowsOf<4, true>(in, inPitch, out, outPitch, plane, planePitch, n, rows, p, at, nullptr);
}

void packRow(const uint8_t* in, uint8_t* out, int n, const PackLayout& l) {
    packRowsPlanned(in, 0, out, 0, n, 1, l, nullptr);
}

void packPlaneRow(const uint8_t* in, uint8_t* out, uint8_t* plane, int n, const PackLayout& l, int at) {
    packPlaneRowsPlanned(in, 0, out, 0, plane, 0, n, 1, l, at);
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
PackRows imagePackRowsPermuting() { return haveVbmi() ? imageRowsVbmi::packRowsPlanned : nullptr; }
PackPlaneRows imagePackPlaneRowsPermuting() {
    return haveVbmi() ? imageRowsVbmi::packPlaneRowsPlanned : nullptr;
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
PackRow imagePackRowPermuting() { return nullptr; }
PackPlaneRow imagePackPlaneRowPermuting() { return nullptr; }
PackRows imagePackRowsPermuting() { return nullptr; }
PackPlaneRows imagePackPlaneRowsPermuting() { return nullptr; }
PlaneRow imagePlaneRowOf(int bytes) { return bytes == 16 ? imageRows16::planeRow : nullptr; }
ZeroRow imageZeroRowOf(int bytes) { return bytes == 16 ? imageRows16::zeroRow : nullptr; }

#endif

#else

PackRow imagePackRowOf(int) { return nullptr; }
PackRow imagePackRowPermuting() { return nullptr; }
PackPlaneRow imagePackPlaneRowPermuting() { return nullptr; }
PackRows imagePackRowsPermuting() { return nullptr; }
PackPlaneRows imagePackPlaneRowsPermuting() { return nullptr; }
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

PackRows imagePackRows() {
    static const PackRows rows = imagePackRowsPermuting() ? imagePackRowsPermuting() : packRowsByRow;
    return rows;
}

PlaneRow imagePlaneRow() {
    static const PlaneRow row = widest(imagePlaneRowOf, imagePlaneRowScalar);
    return row;
}

PackPlaneRows imagePackPlaneRows() {
    static const PackPlaneRows rows = imagePackPlaneRowsPermuting();
    return rows;
}

ZeroRow imageZeroRow() {
    static const ZeroRow row = widest(imageZeroRowOf, imageZeroRowScalar);
    return row;
}
