// The image readers' conversion rows: every vector row against the old per-pixel conversion for
// every row length 0-99, alone and many rows at once, and whole 1:1 conversions of each TGA depth
// against the old formula.
#include "engine/gr/image_rows.h"
#include "engine/gr/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes randomBytes(std::mt19937& rng, size_t n) {
    Bytes b(n);
    for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
    return b;
}

// The rows under test: the scalar ones, each vector width this processor runs, and the
// permuting pack rows where it runs them.
struct Rows {
    int bytes;
    PackRow pack;
    PlaneRow plane;
    ZeroRow zero;
};

std::vector<Rows> allRows() {
    std::vector<Rows> rows = {{0, imagePackRowScalar, imagePlaneRowScalar, imageZeroRowScalar}};
    for (int bytes : {16, 32, 64})
        if (imagePackRowOf(bytes))
            rows.push_back({bytes, imagePackRowOf(bytes), imagePlaneRowOf(bytes), imageZeroRowOf(bytes)});
    // The byte-permuting pack rows (marked -1) beside the scalar plane and zero rows.
    if (PackRow permuting = imagePackRowPermuting())
        rows.push_back({-1, permuting, imagePlaneRowScalar, imageZeroRowScalar});
    return rows;
}

// A channel as the conversion before the vector rows took it: the source byte at `at`
// shifted down to `bits`, then up to `place`.
struct Channel {
    int at, bits, place;
};

PackLayout layoutOf(int srcBpp, const Channel* c, uint16_t keep) {
    PackLayout l = {srcBpp, {}, {}, {}, keep};
    for (int k = 0; k < 3; ++k) {
        l.down[k] = 8 * c[k].at + 8 - c[k].bits;
        l.mask[k] = 0xFFu >> (8 - c[k].bits);
        l.place[k] = c[k].place;
    }
    return l;
}

TEST(ImageRows, PackRowsMatchTheOldConversionForEveryLength) {
    struct Case {
        Channel c[3];
        uint16_t keep;
    } cases[] = {
        {{{0, 5, 11}, {1, 6, 5}, {2, 5, 0}}, 0},       // JPEG and PNG into RGB565
        {{{2, 5, 11}, {1, 6, 5}, {0, 5, 0}}, 0},       // TGA into RGB565
        {{{2, 5, 10}, {1, 5, 5}, {0, 5, 0}}, 0x8000},  // RGB555 keeps its top bit
        {{{3, 4, 8}, {0, 4, 4}, {1, 4, 0}}, 0xF000},   // the fourth byte as a channel
        {{{1, 1, 15}, {2, 8, 4}, {0, 3, 0}}, 0x0008},
    };
    std::mt19937 rng(31);
    for (const Rows& rows : allRows())
        for (const Case& c : cases)
            for (int bpp : {3, 4}) {
                if (bpp == 3 && c.c[0].at == 3) continue;
                const PackLayout l = layoutOf(bpp, c.c, c.keep);
                for (int n = 0; n <= 99; ++n) {
                    SCOPED_TRACE(testing::Message() << rows.bytes << "-byte rows, " << bpp
                                                    << " bytes a pixel, keep " << c.keep << ", n " << n);
                    // Exactly the row's bytes, so the sanitizers see any read past it.
                    const Bytes in = randomBytes(rng, static_cast<size_t>(n) * bpp);
                    Bytes out = randomBytes(rng, 2 * n + 8);
                    Bytes want = out;
                    for (int i = 0; i < n; ++i) {
                        const uint8_t* p = &in[static_cast<size_t>(i) * bpp];
                        uint16_t v = static_cast<uint16_t>((want[2 * i] | want[2 * i + 1] << 8) & c.keep);
                        for (const Channel& ch : c.c) v = static_cast<uint16_t>(v | (p[ch.at] >> (8 - ch.bits)) << ch.place);
                        want[2 * i] = static_cast<uint8_t>(v);
                        want[2 * i + 1] = static_cast<uint8_t>(v >> 8);
                    }
                    rows.pack(in.data(), out.data(), n, l);
                    ASSERT_EQ(out, want);
                }
            }
}

TEST(ImageRows, PlaneAndZeroRowsMatchForEveryLength) {
    std::mt19937 rng(7);
    for (const Rows& rows : allRows()) {
        SCOPED_TRACE(testing::Message() << rows.bytes << "-byte rows");
        for (int n = 0; n <= 99; ++n)
            for (int bpp : {3, 4})
                for (int at = 0; at < bpp; ++at) {
                    const Bytes in = randomBytes(rng, static_cast<size_t>(n) * bpp);
                    Bytes out = randomBytes(rng, n + 8);
                    Bytes want = out;
                    for (int i = 0; i < n; ++i) want[i] = in[static_cast<size_t>(i) * bpp + at];
                    rows.plane(in.data(), out.data(), n, bpp, at);
                    ASSERT_EQ(out, want) << n << " pixels of " << bpp << " bytes, byte " << at;
                }
        for (int n = 0; n <= 99; ++n) {
            std::vector<uint16_t> px(n);
            for (uint16_t& p : px) p = static_cast<uint16_t>(1 + rng() % 0xFFFF);
            // A byte of 0 is not a pixel of 0.
            if (n > 0) px[n / 2] = 0xFF00;
            if (n > 1) px[n / 3] = 0x00FF;
            Bytes bytes(2 * static_cast<size_t>(n));
            if (n) memcpy(bytes.data(), px.data(), bytes.size());
            ASSERT_FALSE(rows.zero(bytes.data(), n)) << n;
            for (int z = 0; z < n; ++z) {
                Bytes with = bytes;
                with[2 * z] = with[2 * z + 1] = 0;
                ASSERT_TRUE(rows.zero(with.data(), n)) << n << " pixels, zero at " << z;
            }
        }
    }
}

TEST(ImageRows, PackAndPlaneInOnePassMatchTheTwoRowsForEveryLength) {
    const PackPlaneRow both = imagePackPlaneRowPermuting();
    if (!both) GTEST_SKIP() << "no row does both on this processor";
    const Channel layouts[][3] = {{{2, 5, 11}, {1, 6, 5}, {0, 5, 0}}, {{0, 5, 11}, {1, 6, 5}, {2, 5, 0}},
                                  {{3, 4, 8}, {0, 4, 4}, {1, 4, 0}}};
    std::mt19937 rng(5);
    for (const auto& channels : layouts)
        for (uint16_t keep : {0, 0xF000})
            for (int at = 0; at < 4; ++at)
                for (int n = 0; n <= 99; ++n) {
                    SCOPED_TRACE(testing::Message() << "keep " << keep << ", byte " << at << ", n " << n);
                    const PackLayout l = layoutOf(4, channels, keep);
                    const Bytes in = randomBytes(rng, static_cast<size_t>(n) * 4);
                    Bytes out = randomBytes(rng, 2 * n + 8), plane = randomBytes(rng, n + 8);
                    Bytes wantOut = out, wantPlane = plane;
                    imagePackRowScalar(in.data(), wantOut.data(), n, l);
                    imagePlaneRowScalar(in.data(), wantPlane.data(), n, 4, at);
                    both(in.data(), out.data(), plane.data(), n, l, at);
                    ASSERT_EQ(out, wantOut);
                    ASSERT_EQ(plane, wantPlane);
                }
}

// Many rows at once, walked downward and upward with padded pitches, against the scalar row on
// each row: the plan made once must hold for every row and every row length, and a pixel of 0
// written anywhere is reported. Channels that overlap are ORed, which the rows that plan a
// layout leave to the single rows.
TEST(ImageRows, ManyRowsMatchTheScalarRowOnEachRow) {
    const Channel layouts[][3] = {{{2, 5, 11}, {1, 6, 5}, {0, 5, 0}}, {{0, 5, 11}, {1, 6, 5}, {2, 5, 0}},
                                  {{1, 1, 15}, {2, 8, 4}, {0, 3, 0}}, {{2, 5, 11}, {1, 6, 6}, {0, 5, 0}}};
    std::vector<PackRows> packs = {imagePackRows()};
    if (PackRows permuting = imagePackRowsPermuting()) packs.push_back(permuting);
    std::vector<PackPlaneRows> boths;
    if (PackPlaneRows both = imagePackPlaneRows()) boths.push_back(both);
    if (PackPlaneRows both = imagePackPlaneRowsPermuting()) boths.push_back(both);
    constexpr int kRows = 3;
    std::mt19937 rng(11);
    for (const auto& channels : layouts)
        for (int bpp : {3, 4})
            for (uint16_t keep : {0, 0x0008})
                for (int n = 0; n <= 99; ++n)
                    for (bool upward : {false, true}) {
                        SCOPED_TRACE(testing::Message() << bpp << " bytes a pixel, keep " << keep << ", n "
                                                        << n << (upward ? ", upward" : ", downward"));
                        const PackLayout l = layoutOf(bpp, channels, keep);
                        const long inPitch = static_cast<long>(n) * bpp + 5, outPitch = 2L * n + 6;
                        Bytes in = randomBytes(rng, static_cast<size_t>(inPitch) * kRows);
                        // A black pixel somewhere in most rows sets, a fourth of the time.
                        if (n > 0 && rng() % 4 == 0) {
                            const size_t at = (rng() % kRows) * inPitch + (rng() % n) * bpp;
                            std::fill(in.begin() + at, in.begin() + at + bpp, 0);
                        }
                        const Bytes before = randomBytes(rng, static_cast<size_t>(outPitch) * kRows);
                        const Bytes planeBefore = randomBytes(rng, static_cast<size_t>(n + 3) * kRows);
                        const uint8_t* first = in.data() + (upward ? (kRows - 1) * inPitch : 0);
                        const long step = upward ? -inPitch : inPitch;
                        Bytes want = before, wantPlane = planeBefore;
                        bool wantZero = false;
                        for (int y = 0; y < kRows; ++y) {
                            imagePackRowScalar(first + y * step, want.data() + y * outPitch, n, l);
                            imagePlaneRowScalar(first + y * step, wantPlane.data() + y * (n + 3), n, bpp, bpp - 1);
                            wantZero = wantZero || imageZeroRowScalar(want.data() + y * outPitch, n);
                        }
                        for (PackRows pack : packs) {
                            Bytes out = before;
                            bool zero = false;
                            pack(first, step, out.data(), outPitch, n, kRows, l, &zero);
                            ASSERT_EQ(out, want);
                            ASSERT_EQ(zero, wantZero);
                            out = before;
                            pack(first, step, out.data(), outPitch, n, kRows, l, nullptr);
                            ASSERT_EQ(out, want);
                        }
                        if (bpp != 4) continue;
                        for (PackPlaneRows both : boths) {
                            Bytes out = before, plane = planeBefore;
                            both(first, step, out.data(), outPitch, plane.data(), n + 3, n, kRows, l, 3);
                            ASSERT_EQ(out, want);
                            ASSERT_EQ(plane, wantPlane);
                        }
                    }
}

// ---- whole conversions ----

// A TGA of the given depth from raw pixel bytes, top row first; 8-bit images get a colour map.
Bytes tgaOf(int w, int h, int depth, const Bytes& map, const Bytes& px) {
    Bytes b(18, 0);
    const bool mapped = depth == 8;
    b[1] = mapped ? 1 : 0;
    b[2] = mapped ? 1 : 2;
    b[6] = mapped ? 1 : 0;  // 256 entries
    b[7] = mapped ? 24 : 0;
    b[12] = w & 255;
    b[13] = w >> 8;
    b[14] = h & 255;
    b[15] = h >> 8;
    b[16] = depth;
    b[17] = 0x20 | (depth == 32 ? 8 : 0);
    if (mapped) b.insert(b.end(), map.begin(), map.end());
    b.insert(b.end(), px.begin(), px.end());
    return b;
}

int openBytes(cFileImage& image, const Bytes& bytes) {
    unsigned char* block = static_cast<unsigned char*>(malloc(bytes.size()));
    memcpy(block, bytes.data(), bytes.size());
    return image.OpenMemory(block, static_cast<int>(bytes.size()));
}

uint32_t field(uint32_t p, int shift, int bits) { return (p >> shift) & ((1u << bits) - 1); }

// The old conversion of one pixel: each source field brought to the target's bits and placed.
uint32_t oldValue(uint32_t p, const int* srcBits, const int* srcShift, const int* tBits,
                  const int* tShift, int count) {
    uint32_t v = 0;
    for (int c = 0; c < count; ++c) {
        const uint64_t f = static_cast<uint64_t>(field(p, srcShift[c], srcBits[c]));
        const uint64_t at = tBits[c] >= srcBits[c] ? f << (tBits[c] - srcBits[c]) : f >> (srcBits[c] - tBits[c]);
        v |= (static_cast<uint32_t>(at) & ((1u << tBits[c]) - 1)) << tShift[c];
    }
    return v;
}

TEST(Conversion, OneToOneMatchesTheOldConversionForEveryWidth) {
    std::mt19937 rng(99);
    const Bytes map = randomBytes(rng, 256 * 3);
    for (int depth : {8, 16, 24, 32})
        for (int w = 1; w <= 99; ++w) {
            SCOPED_TRACE(testing::Message() << depth << "-bit TGA, width " << w);
            const int h = 3, bpp = depth / 8;
            const Bytes px = randomBytes(rng, static_cast<size_t>(w) * h * bpp);
            cTGAImage image;
            ASSERT_EQ(openBytes(image, tgaOf(w, h, depth, map, px)), 0);
            auto pixel = [&](int x, int y) {
                const uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * bpp];
                if (depth == 8) p = &map[3 * p[0]];
                uint32_t v = 0;
                for (int b = 0; b < (depth == 8 ? 3 : bpp); ++b) v |= static_cast<uint32_t>(p[b]) << (8 * b);
                return v;
            };
            const int srcBits[3] = {depth == 16 ? 5 : 8, depth == 16 ? 5 : 8, depth == 16 ? 5 : 8};
            const int srcShift[3] = {depth == 16 ? 10 : 16, depth == 16 ? 5 : 8, 0};
            // The sprite's colour (walked bottom-up too), and RGB555 keeping the top bit.
            struct Target {
                int tBits[3], tShift[3];
                bool flipped;
            } targets[] = {{{5, 6, 5}, {11, 5, 0}, false}, {{5, 5, 5}, {10, 5, 0}, true}};
            for (const Target& t : targets) {
                const Bytes before = randomBytes(rng, static_cast<size_t>(w) * h * 2);
                Bytes out = before;
                ASSERT_EQ(image.Convert(0, t.flipped ? h - 1 : 0, w, t.flipped ? -h : h, out.data(), 0,
                                        0, w, h, 2, 2 * w, t.tBits[0], t.tBits[1], t.tBits[2], 0,
                                        t.tShift[0], t.tShift[1], t.tShift[2], 0),
                          0);
                const uint32_t keep = t.tBits[1] == 5 ? 0x8000 : 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const size_t o = 2 * (static_cast<size_t>(y) * w + x);
                        const uint32_t want = ((before[o] | before[o + 1] << 8) & keep) |
                                              oldValue(pixel(x, t.flipped ? h - 1 - y : y), srcBits,
                                                       srcShift, t.tBits, t.tShift, 3);
                        ASSERT_EQ(out[o] | out[o + 1] << 8, static_cast<int>(want)) << x << "," << y;
                    }
            }
            // The channel plane: alpha of 32 bits, the lowest byte otherwise (16 bits has none).
            Bytes plane(static_cast<size_t>(w) * h, 0x5A);
            const int got = image.ExtractChannel(0, 0, w, h, plane.data(), 0, 0, w, h, 1, w, 8, 0);
            ASSERT_EQ(got, depth == 16 ? -1 : 0);
            if (depth != 16) {
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(plane[static_cast<size_t>(y) * w + x],
                                  field(pixel(x, y), depth == 32 ? 24 : 0, 8));
            }
            if (depth != 8) continue;
            Bytes mask(static_cast<size_t>(w) * h, 0x11);
            ASSERT_EQ(image.MaskFromBlack(0, 0, w, h, mask.data(), 0, 0, w, h, 1, w, 4, 2), 0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(mask[static_cast<size_t>(y) * w + x],
                              (0x11 & ~0x3C) | ((pixel(x, y) & 0xFFFFFF) ? 0x3C : 0));
        }
}

}  // namespace
