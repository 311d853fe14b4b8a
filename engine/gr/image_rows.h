// Conversion rows of the image readers: byte-sized channels packed into 16-bit pixels, and one
// byte of each pixel copied into a plane. Scalar rows are the reference; vector rows give the
// same bytes, chosen for the processor once.
#pragma once

#include <cstdint>

// How a 3- or 4-byte pixel (its bytes read as a little-endian integer w) becomes a 16-bit
// pixel: out = (out & keep) | sum over c of ((w >> down[c]) & mask[c]) << place[c].
struct PackLayout {
    int srcBpp;        // 3 or 4
    int down[3];       // the channel's byte times 8, plus the bits it loses
    uint32_t mask[3];  // 0xFF >> the bits it loses
    int place[3];      // where the channel sits in the target
    uint16_t keep;     // target bits left as they are
};

// out holds n 16-bit pixels, in the target's byte order, at any address.
typedef void (*PackRow)(const uint8_t* in, uint8_t* out, int n, const PackLayout& l);
// out[i] = in[i * srcBpp + at], at below srcBpp (1 to 4).
typedef void (*PlaneRow)(const uint8_t* in, uint8_t* out, int n, int srcBpp, int at);
// Whether any of n 16-bit pixels is 0.
typedef bool (*ZeroRow)(const uint8_t* p, int n);

void imagePackRowScalar(const uint8_t* in, uint8_t* out, int n, const PackLayout& l);
void imagePlaneRowScalar(const uint8_t* in, uint8_t* out, int n, int srcBpp, int at);
bool imageZeroRowScalar(const uint8_t* p, int n);

// The rows for vectors of `bytes` (16, 32 or 64), null where the processor or the build has none.
PackRow imagePackRowOf(int bytes);
PlaneRow imagePlaneRowOf(int bytes);
ZeroRow imageZeroRowOf(int bytes);

// A pack row and a plane row of the same 4-byte pixels in one pass: colour into out, byte at
// of each pixel into plane.
typedef void (*PackPlaneRow)(const uint8_t* in, uint8_t* out, uint8_t* plane, int n,
                             const PackLayout& l, int at);

// Many rows of n pixels with one layout, which is then looked at once: row y reads
// in + y * inPitch (a negative pitch walks upward) and writes out + y * outPitch, and the plane
// rows plane + y * planePitch. Where zero is not null, *zero becomes true when a pixel written
// is 0 (and is never made false).
typedef void (*PackRows)(const uint8_t* in, long inPitch, uint8_t* out, long outPitch, int n,
                         int rows, const PackLayout& l, bool* zero);
typedef void (*PackPlaneRows)(const uint8_t* in, long inPitch, uint8_t* out, long outPitch,
                              uint8_t* plane, long planePitch, int n, int rows,
                              const PackLayout& l, int at);

// Pack rows that permute bytes (AVX-512 VBMI), null where the processor or the build has none.
PackRow imagePackRowPermuting();
PackPlaneRow imagePackPlaneRowPermuting();
PackRows imagePackRowsPermuting();
PackPlaneRows imagePackPlaneRowsPermuting();

// The fastest rows this processor runs: the single rows, and the rows for many rows, which
// are the single rows one after the other where nothing is faster.
PackRow imagePackRow();
PackRows imagePackRows();
// Pack and plane rows in one pass, or null where the two rows one after the other are as fast.
PackPlaneRows imagePackPlaneRows();
PlaneRow imagePlaneRow();
ZeroRow imageZeroRow();
