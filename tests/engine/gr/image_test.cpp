// Tests of the TGA, JPEG and PNG readers on fixtures encoded here, their conversions and their
// refusal of truncated and malformed files.
#include "engine/gr/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "image_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A pattern with distinct channels everywhere, so a swapped channel or row shows.
Rgb pattern(int x, int y) {
    return {(x * 40 + 10) & 255, (y * 70 + 5) & 255, (x * 17 + y * 29 + 3) & 255};
}

// Hands a copy to the reader, which takes ownership of the malloc'd block.
int openBytes(cFileImage& image, const Bytes& bytes) {
    unsigned char* block = static_cast<unsigned char*>(malloc(bytes.empty() ? 1 : bytes.size()));
    if (!bytes.empty()) memcpy(block, bytes.data(), bytes.size());
    return image.OpenMemory(block, static_cast<int>(bytes.size()));
}

// The whole image converted into 32-bit pixels with R at 16, G at 8, B at 0.
std::vector<uint32_t> toRgb888(cFileImage& image) {
    std::vector<uint32_t> out(image.Width() * image.Height(), 0);
    EXPECT_EQ(image.Convert(0, 0, image.Width(), image.Height(), out.data(), 0, 0, image.Width(),
                            image.Height(), 4, image.Width() * 4, 8, 8, 8, 0, 16, 8, 0, 0),
              0);
    return out;
}

uint32_t pack888(Rgb c) {
    return (c.r << 16) | (c.g << 8) | c.b;
}

// ---- fixture encoders ----

struct TgaSpec {
    int idLength = 0, mapType = 0, type = 2, mapFirst = 0, mapLength = 0, mapBits = 0;
    int width = 0, height = 0, depth = 24, descriptor = 0;
};

Bytes makeTga(const TgaSpec& s, const Bytes& map, const Bytes& pixels) {
    Bytes b(18, 0);
    b[0] = s.idLength;
    b[1] = s.mapType;
    b[2] = s.type;
    b[3] = s.mapFirst & 255;
    b[4] = s.mapFirst >> 8;
    b[5] = s.mapLength & 255;
    b[6] = s.mapLength >> 8;
    b[7] = s.mapBits;
    b[12] = s.width & 255;
    b[13] = s.width >> 8;
    b[14] = s.height & 255;
    b[15] = s.height >> 8;
    b[16] = s.depth;
    b[17] = s.descriptor;
    for (int i = 0; i < s.idLength; ++i) b.push_back('i');
    b.insert(b.end(), map.begin(), map.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// True-colour TGA of the pattern; rows stored bottom-up unless topDown.
Bytes patternTga(int w, int h, int depth, bool topDown) {
    Bytes px;
    for (int r = 0; r < h; ++r) {
        const int y = topDown ? r : h - 1 - r;
        for (int x = 0; x < w; ++x) {
            Rgb c = pattern(x, y);
            if (depth == 16) {
                int v = ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3);
                px.push_back(v & 255);
                px.push_back(v >> 8);
                continue;
            }
            px.push_back(c.b);
            px.push_back(c.g);
            px.push_back(c.r);
            if (depth == 32) px.push_back((x * 60 + y) & 255);
        }
    }
    TgaSpec s;
    s.width = w;
    s.height = h;
    s.depth = depth;
    s.descriptor = (topDown ? 0x20 : 0) | (depth == 32 ? 8 : 0);
    return makeTga(s, {}, px);
}

void pngWrite(png_structp png, png_bytep data, size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void pngFlush(png_structp) {}

// rows: packed as libpng expects for the colour type and depth (big-endian 16-bit samples).
Bytes encodePng(int w, int h, int colourType, int depth, const std::vector<Bytes>& rows,
                const std::vector<png_color>& palette = {}, bool interlaced = false) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "png encoder failed";
        return {};
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, w, h, depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const Bytes& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A smooth picture, which JPEG keeps within a few levels.
Bytes smoothRgb(int w, int h) {
    Bytes px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            px.push_back(40 + x * 8);
            px.push_back(200 - y * 6);
            px.push_back(90 + (x + y) * 3);
        }
    return px;
}

// ---- reader choice ----

TEST(ImageOpen, PicksTheReaderByName) {
    struct Case {
        const char* name;
        const char* kind;
    } cases[] = {{"Menu/Back.TGA", "tga"}, {"a.jpg", "jpg"},   {"pics/B.Png", "png"},
                 {"x.tga.png", "tga"},     {"photo.jpeg", ""}, {"noext", ""}};
    for (const Case& c : cases) {
        std::unique_ptr<cFileImage> image(imageOpen(c.name));
        std::string kind = !image                                  ? ""
                           : dynamic_cast<cTGAImage*>(image.get()) ? "tga"
                           : dynamic_cast<cJPGImage*>(image.get()) ? "jpg"
                           : dynamic_cast<cPNGImage*>(image.get()) ? "png"
                                                                   : "?";
        EXPECT_EQ(kind, c.kind) << c.name;
    }
    EXPECT_EQ(imageOpen(nullptr), nullptr);
}

// ---- TGA ----

TEST(TgaReader, TrueColourDepthsAndRowOrders) {
    const int w = 5, h = 3;
    for (int depth : {16, 24, 32})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << depth << " bits, top-down " << topDown);
            cTGAImage image;
            ASSERT_EQ(openBytes(image, patternTga(w, h, depth, topDown)), 0);
            EXPECT_EQ(image.Width(), w);
            EXPECT_EQ(image.Height(), h);
            EXPECT_EQ(image.BitsPerPixel(), depth);
            EXPECT_EQ(image.Frames(), 1);
            std::vector<uint32_t> got = toRgb888(image);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    Rgb c = pattern(x, y);
                    if (depth == 16) c = {c.r & ~7, c.g & ~7, c.b & ~7};
                    EXPECT_EQ(got[y * w + x], pack888(c)) << x << "," << y;
                }
        }
}

TEST(TgaReader, ConvertsToRgb565KeepingOtherTargetBits) {
    cTGAImage image;
    ASSERT_EQ(openBytes(image, patternTga(4, 2, 24, false)), 0);
    std::vector<uint16_t> rgb565(8, 0);
    ASSERT_EQ(image.Convert(0, 0, 4, 2, rgb565.data(), 0, 0, 4, 2, 2, 8, 5, 6, 5, 0, 11, 5, 0, 0),
              0);
    for (int i = 0; i < 8; ++i) {
        Rgb c = pattern(i % 4, i / 4);
        EXPECT_EQ(rgb565[i], ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
    }
    // 5-5-5 into 16-bit pixels whose top bit is set: that bit stays.
    std::vector<uint16_t> rgb555(8, 0x8000);
    ASSERT_EQ(image.Convert(0, 0, 4, 2, rgb555.data(), 0, 0, 4, 2, 2, 8, 5, 5, 5, 0, 10, 5, 0, 0),
              0);
    Rgb c = pattern(1, 1);
    EXPECT_EQ(rgb555[5], 0x8000 | ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
}

TEST(TgaReader, AlphaAndLowestByteChannels) {
    const int w = 4, h = 3;
    cTGAImage alpha;
    ASSERT_EQ(openBytes(alpha, patternTga(w, h, 32, false)), 0);
    // Into the high byte of 16-bit pixels; the low byte keeps its value.
    std::vector<uint16_t> plane(w * h, 0x0055);
    ASSERT_EQ(alpha.ExtractChannel(0, 0, w, h, plane.data(), 0, 0, w, h, 2, 2 * w, 8, 8), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(plane[y * w + x], (((x * 60 + y) & 255) << 8) | 0x55);

    cTGAImage opaque;
    ASSERT_EQ(openBytes(opaque, patternTga(w, h, 24, true)), 0);
    std::vector<uint8_t> low(w * h);
    ASSERT_EQ(opaque.ExtractChannel(0, 0, w, h, low.data(), 0, 0, w, h, 1, w, 8, 0), 0);
    EXPECT_EQ(low[w + 2], pattern(2, 1).b);

    cTGAImage shallow;
    ASSERT_EQ(openBytes(shallow, patternTga(w, h, 16, true)), 0);
    EXPECT_EQ(shallow.ExtractChannel(0, 0, w, h, low.data(), 0, 0, w, h, 1, w, 8, 0), -1);
}

TEST(TgaReader, GrayAndColourMappedImages) {
    const int w = 3, h = 2;
    // Gray, bottom-up: stored rows {40,0,80} (bottom) then {10,20,30} (top).
    TgaSpec gs;
    gs.type = 3;
    gs.depth = 8;
    gs.width = w;
    gs.height = h;
    cTGAImage gray;
    ASSERT_EQ(openBytes(gray, makeTga(gs, {}, {40, 0, 80, 10, 20, 30})), 0);
    EXPECT_EQ(gray.BitsPerPixel(), 8);
    EXPECT_EQ(gray.HasNoColourMap(), 1);
    EXPECT_EQ(gray.UsesBlack(), 1);
    std::vector<uint32_t> rgb = toRgb888(gray);
    EXPECT_EQ(rgb[0], 0x0A0A0Au);
    EXPECT_EQ(rgb[4], 0x000000u);
    uint8_t rows[2][4] = {};
    ASSERT_EQ(gray.ReadIndexRows(&rows[0][0], 4), 0);
    EXPECT_EQ(rows[0][2], 30);
    EXPECT_EQ(rows[1][0], 40);
    std::vector<uint8_t> values(w * h);
    ASSERT_EQ(gray.ExtractChannel(0, 0, w, h, values.data(), 0, 0, w, h, 1, w, 8, 0), 0);
    EXPECT_EQ(values, (std::vector<uint8_t>{10, 20, 30, 40, 0, 80}));
    // Mask into bit 7 of bytes that hold 0x01: set where the pixel is not black.
    std::vector<uint8_t> mask(w * h, 0x01);
    ASSERT_EQ(gray.MaskFromBlack(0, 0, w, h, mask.data(), 0, 0, w, h, 1, w, 1, 7), 0);
    EXPECT_EQ(mask, (std::vector<uint8_t>{0x81, 0x81, 0x81, 0x81, 0x01, 0x81}));

    // Colour-mapped with an ID field and a 32-bit map of entries 1 to 3, top-down.
    TgaSpec ms;
    ms.idLength = 4;
    ms.mapType = 1;
    ms.type = 1;
    ms.mapFirst = 1;
    ms.mapLength = 3;
    ms.mapBits = 32;
    ms.depth = 8;
    ms.width = w;
    ms.height = h;
    ms.descriptor = 0x20;
    Bytes map = {10, 20, 30, 255, 0, 0, 200, 255, 1, 2, 3, 255};  // B, G, R, A entries
    cTGAImage mapped;
    ASSERT_EQ(openBytes(mapped, makeTga(ms, map, {1, 2, 3, 3, 2, 1})), 0);
    EXPECT_EQ(mapped.HasNoColourMap(), 0);
    EXPECT_EQ(mapped.UsesBlack(), 0);
    const unsigned char* palette = mapped.Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette[3 * 2 + 2], 200);
    EXPECT_EQ(palette[0], 0);
    rgb = toRgb888(mapped);
    EXPECT_EQ(rgb[0], 0x1E140Au);  // entry 1: R 30, G 20, B 10
    EXPECT_EQ(rgb[1], 0xC80000u);
    EXPECT_EQ(rgb[5], 0x1E140Au);
}

TEST(TgaReader, SaveWritesAReadableFile) {
    testsupport::TempFolder dir("velmora_tga");
    ASSERT_TRUE(dir.made());
    const std::string path = dir.file("out.tga");
    // Top row first in memory, saved with a negative height: written top-down.
    const int w = 3, h = 2;
    Bytes px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb c = pattern(x, y);
            px.insert(px.end(), {static_cast<uint8_t>(c.b), static_cast<uint8_t>(c.g),
                                 static_cast<uint8_t>(c.r)});
        }
    // Opened on a colour-mapped file with an ID field first: the header written is still plain.
    TgaSpec ms;
    ms.idLength = 2;
    ms.mapType = 1;
    ms.type = 1;
    ms.mapLength = 1;
    ms.mapBits = 24;
    ms.depth = 8;
    ms.width = 1;
    ms.height = 1;
    cTGAImage writer;
    ASSERT_EQ(openBytes(writer, makeTga(ms, {1, 2, 3}, {0})), 0);
    ASSERT_EQ(writer.Save(path.c_str(), px.data(), 24, w, -h), 0);

    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    uint8_t header[18];
    ASSERT_EQ(fread(header, 1, 18, f), 18u);
    fclose(f);
    EXPECT_EQ(header[0], 0);
    EXPECT_EQ(header[1], 0);
    EXPECT_EQ(header[2], 2);
    EXPECT_EQ(header[14], h);
    EXPECT_EQ(header[17], 0x20);

    std::unique_ptr<cFileImage> reader(imageOpen(path.c_str()));
    ASSERT_EQ(reader->Open(path.c_str()), 0);
    std::vector<uint32_t> got = toRgb888(*reader);
    for (int i = 0; i < w * h; ++i) EXPECT_EQ(got[i], pack888(pattern(i % w, i / w)));

    EXPECT_EQ(writer.Save(dir.file("no/such/dir.tga").c_str(), px.data(), 24, w, h), -1);
    EXPECT_EQ(writer.Save(path.c_str(), px.data(), 12, w, h), -1);
}

TEST(TgaReader, MalformedFilesFailCleanly) {
    TgaSpec base;
    base.width = 2;
    base.height = 2;
    const Bytes fourPixels(12, 7);
    auto with = [&](auto change) {
        TgaSpec s = base;
        change(s);
        return s;
    };
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"header cut", Bytes(17, 0)},
        {"run-length", makeTga(with([](TgaSpec& s) { s.type = 10; }), {}, fourPixels)},
        {"no image", makeTga(with([](TgaSpec& s) { s.type = 0; }), {}, fourPixels)},
        {"map type 2", makeTga(with([](TgaSpec& s) { s.mapType = 2; }), {}, fourPixels)},
        {"15 bits", makeTga(with([](TgaSpec& s) { s.depth = 15; }), {}, fourPixels)},
        {"gray 16", makeTga(with([](TgaSpec& s) {
                                s.type = 3;
                                s.depth = 16;
                            }),
                            {}, fourPixels)},
        {"mapped without map", makeTga(with([](TgaSpec& s) {
                                           s.type = 1;
                                           s.depth = 8;
                                       }),
                                       {}, fourPixels)},
        {"16-bit map", makeTga(with([](TgaSpec& s) {
                                   s.type = 1;
                                   s.depth = 8;
                                   s.mapType = 1;
                                   s.mapLength = 2;
                                   s.mapBits = 16;
                               }),
                               Bytes(4, 1), fourPixels)},
        {"map past 256", makeTga(with([](TgaSpec& s) {
                                     s.type = 1;
                                     s.depth = 8;
                                     s.mapType = 1;
                                     s.mapFirst = 200;
                                     s.mapLength = 57;
                                     s.mapBits = 24;
                                 }),
                                 Bytes(171, 1), fourPixels)},
        {"map cut", makeTga(with([](TgaSpec& s) {
                                s.type = 1;
                                s.depth = 8;
                                s.mapType = 1;
                                s.mapLength = 256;
                                s.mapBits = 24;
                            }),
                            Bytes(100, 1), {})},
        {"zero width", makeTga(with([](TgaSpec& s) { s.width = 0; }), {}, fourPixels)},
        {"too wide", makeTga(with([](TgaSpec& s) {
                                 s.width = 40000;
                                 s.height = 1;
                             }),
                             {}, fourPixels)},
        {"pixels one byte short", makeTga(base, {}, Bytes(11, 7))},
        {"ID field past the end", makeTga(with([](TgaSpec& s) { s.idLength = 255; }), {}, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cTGAImage image;
        EXPECT_NE(openBytes(image, c.file), 0);
        EXPECT_EQ(image.Width(), 0);
        EXPECT_EQ(image.Height(), 0);
        uint32_t sink = 0;
        EXPECT_EQ(image.Convert(0, 0, 1, 1, &sink, 0, 0, 1, 1, 4, 4, 8, 8, 8, 0, 16, 8, 0, 0), -1);
    }
    cTGAImage image;
    EXPECT_NE(image.OpenMemory(nullptr, 10), 0);
}

// ---- scaled conversion ----

TEST(Conversion, BoxFilterAveragesAndPlacesRectangles) {
    const int n = 100;
    Bytes px;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            px.insert(px.end(), {uint8_t(x * 2 + y), uint8_t(y * 2), uint8_t((x * y) & 255)});
    TgaSpec s;
    s.width = s.height = n;
    s.descriptor = 0x20;
    cTGAImage image;
    ASSERT_EQ(openBytes(image, makeTga(s, {}, px)), 0);
    auto at = [&](int x, int y, int c) { return px[(y * n + x) * 3 + c]; };

    std::vector<uint32_t> half(50 * 50);
    ASSERT_EQ(image.Convert(0, 0, n, n, half.data(), 0, 0, 50, 50, 4, 200, 8, 8, 8, 0, 16, 8, 0, 0),
              0);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            uint32_t want = 0;
            for (int c = 0; c < 3; ++c) {
                int sum = at(2 * x, 2 * y, c) + at(2 * x + 1, 2 * y, c) + at(2 * x, 2 * y + 1, c) +
                          at(2 * x + 1, 2 * y + 1, c);
                want |= static_cast<uint32_t>(sum / 4) << (8 * c);
            }
            ASSERT_EQ(half[y * 50 + x], want) << x << "," << y;
        }

    // A 3 x 2 source rectangle at (10, 20) copied to (1, 1) of a 5 x 4 target; the rest stays.
    std::vector<uint32_t> target(5 * 4, 0xDEADBEEF);
    ASSERT_EQ(
        image.Convert(10, 20, 3, 2, target.data(), 1, 1, 3, 2, 4, 20, 8, 8, 8, 0, 0, 8, 16, 0), 0);
    EXPECT_EQ(target[0], 0xDEADBEEFu);
    EXPECT_EQ(target[4 * 5 - 1], 0xDEADBEEFu);
    auto bgrAt = [&](int x, int y) {
        return 0xDE000000u | (at(x, y, 0) << 16) | (at(x, y, 1) << 8) | at(x, y, 2);
    };
    EXPECT_EQ(target[1 * 5 + 1], bgrAt(10, 20));
    EXPECT_EQ(target[2 * 5 + 3], bgrAt(12, 21));

    // A negative height walks upward from the given row: the target is upside down.
    std::vector<uint32_t> flipped(2 * 3);
    ASSERT_EQ(image.Convert(0, 9, 2, -3, flipped.data(), 0, 0, 2, 3, 4, 8, 8, 8, 8, 0, 0, 8, 16, 0),
              0);
    EXPECT_EQ(flipped[0] | 0xDE000000u, bgrAt(0, 9));
    EXPECT_EQ(flipped[2 * 2 + 1] | 0xDE000000u, bgrAt(1, 7));

    // Rectangles outside the image or target layouts that do not fit are refused.
    uint32_t sink[4] = {};
    EXPECT_EQ(image.Convert(99, 0, 2, 1, sink, 0, 0, 1, 1, 4, 4, 8, 8, 8, 0, 16, 8, 0, 0), -1);
    EXPECT_EQ(image.Convert(0, 1, 1, -3, sink, 0, 0, 1, 1, 4, 4, 8, 8, 8, 0, 16, 8, 0, 0), -1);
    EXPECT_EQ(image.Convert(0, 0, 1, 1, sink, 0, 0, 1, 1, 2, 2, 8, 8, 8, 0, 16, 8, 0, 0), -1);
    EXPECT_EQ(image.Convert(0, 0, 1, 1, sink, 0, 0, 0, 1, 4, 4, 8, 8, 8, 0, 16, 8, 0, 0), -1);
}

// At 1:1 each box holds one pixel: the value is the source field brought to the target's bits,
// other target bits kept, for the 16-bit sprite layout and the general one alike.
TEST(Conversion, OneToOneTakesEachPixelsOwnValue) {
    const int w = 37, h = 5;
    Bytes px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px.insert(px.end(), {uint8_t(x * 7 + y), uint8_t(255 - x * 3), uint8_t(x * y * 11)});
    TgaSpec spec;
    spec.width = w;
    spec.height = h;
    spec.descriptor = 0x20;
    cTGAImage image;
    ASSERT_EQ(openBytes(image, makeTga(spec, {}, px)), 0);
    struct Case {
        int bytes, bits[3], shifts[3];
        bool flipped;
    } cases[] = {{2, {5, 6, 5}, {11, 5, 0}, false},
                 {2, {5, 5, 5}, {10, 5, 0}, true},
                 {4, {8, 8, 8}, {16, 8, 0}, false},
                 {4, {10, 10, 10}, {20, 10, 0}, true},
                 {3, {3, 3, 2}, {13, 5, 0}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bytes << " bytes, " << c.bits[0] << " bits");
        const int pitch = (w + 2) * c.bytes;
        Bytes target(static_cast<size_t>(pitch) * (h + 1), 0xA5);
        ASSERT_EQ(image.Convert(0, c.flipped ? h - 1 : 0, w, c.flipped ? -h : h, target.data(), 1, 1,
                                w, h, c.bytes, pitch, c.bits[0], c.bits[1], c.bits[2], 0,
                                c.shifts[0], c.shifts[1], c.shifts[2], 0),
                  0);
        uint32_t keep = 0xFFFFFFFFu;
        for (int k = 0; k < 3; ++k) keep &= ~(((1u << c.bits[k]) - 1) << c.shifts[k]);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sy = c.flipped ? h - 1 - y : y;
                const uint8_t* bgr = &px[(sy * w + x) * 3];
                uint32_t want = 0xA5A5A5A5u & keep;
                for (int k = 0; k < 3; ++k) {
                    const uint32_t v = bgr[2 - k];  // red, green, blue
                    want |= (c.bits[k] >= 8 ? v << (c.bits[k] - 8) : v >> (8 - c.bits[k])) << c.shifts[k];
                }
                uint32_t got = 0;
                const uint8_t* out = &target[(y + 1) * pitch + (x + 1) * c.bytes];
                for (int b = 0; b < c.bytes; ++b) got |= static_cast<uint32_t>(out[b]) << (8 * b);
                ASSERT_EQ(got, want & (c.bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * c.bytes)) - 1)) << x << "," << y;
            }
        EXPECT_EQ(target[0], 0xA5);  // the rectangle's neighbours untouched
        EXPECT_EQ(target[(w + 1) * c.bytes], 0xA5);
    }
}

TEST(Conversion, DitherKeepsStepsAndAverage) {
    const int w = 8, h = 8;
    for (int value : {100, 255}) {
        SCOPED_TRACE(value);
        Bytes flat(w * h * 3, static_cast<uint8_t>(value));
        TgaSpec s;
        s.width = w;
        s.height = h;
        cTGAImage image;
        ASSERT_EQ(openBytes(image, makeTga(s, {}, flat)), 0);
        image.Dither(5, 6, 5);
        std::vector<uint32_t> got = toRgb888(image);
        double sum[3] = {};
        for (uint32_t p : got) {
            const int r = p >> 16, g = (p >> 8) & 255, b = p & 255;
            EXPECT_EQ(r % 8, 0);
            EXPECT_EQ(g % 4, 0);
            EXPECT_EQ(b % 8, 0);
            sum[0] += r;
            sum[1] += g;
            sum[2] += b;
        }
        const int top[3] = {248, 252, 248};
        for (int c = 0; c < 3; ++c) {
            const double want = value == 255 ? top[c] : value;
            EXPECT_NEAR(sum[c] / (w * h), want, 1.0) << c;
        }
    }
}

// ---- PNG ----

TEST(PngReader, ColourTypesAndDepthsNormalised) {
    const int w = 4, h = 2;
    const std::vector<png_color> pal = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    auto rows = [&](int bytesPerRow, auto sample) {
        std::vector<Bytes> out(h, Bytes(bytesPerRow, 0));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) sample(out[y], x, y);
        return out;
    };
    const std::vector<Bytes> rgbRows = rows(3 * w, [](Bytes& r, int x, int y) {
        Rgb c = pattern(x, y);
        r[3 * x] = c.r;
        r[3 * x + 1] = c.g;
        r[3 * x + 2] = c.b;
    });
    struct Case {
        const char* what;
        Bytes file;
        int bits;
        uint32_t (*expect)(int x, int y);  // R at 16, G at 8, B at 0
        int alpha;                         // alpha of pixel (1, 1), or -1
    };
    std::vector<Case> cases = {
        {"rgb", encodePng(w, h, PNG_COLOR_TYPE_RGB, 8, rgbRows), 24,
         [](int x, int y) { return pack888(pattern(x, y)); }, -1},
        {"rgb interlaced", encodePng(w, h, PNG_COLOR_TYPE_RGB, 8, rgbRows, {}, true), 24,
         [](int x, int y) { return pack888(pattern(x, y)); }, -1},
        {"rgba",
         encodePng(w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8,
                   rows(4 * w,
                        [](Bytes& r, int x, int y) {
                            Rgb c = pattern(x, y);
                            r[4 * x] = c.r;
                            r[4 * x + 1] = c.g;
                            r[4 * x + 2] = c.b;
                            r[4 * x + 3] = x * 50 + y;
                        })),
         32, [](int x, int y) { return pack888(pattern(x, y)); }, 51},
        {"rgb 16-bit",
         encodePng(w, h, PNG_COLOR_TYPE_RGB, 16,
                   rows(6 * w,
                        [](Bytes& r, int x, int y) {
                            Rgb c = pattern(x, y);
                            int v[3] = {c.r, c.g, c.b};
                            for (int k = 0; k < 3; ++k) {
                                r[6 * x + 2 * k] = v[k];
                                r[6 * x + 2 * k + 1] = 0xAB;
                            }
                        })),
         24, [](int x, int y) { return pack888(pattern(x, y)); }, -1},
        {"palette 8-bit",
         encodePng(w, h, PNG_COLOR_TYPE_PALETTE, 8,
                   rows(w, [](Bytes& r, int x, int y) { r[x] = (x + y) % 4; }), pal),
         24,
         [](int x, int y) {
             const uint32_t c[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x090807};
             return c[(x + y) % 4];
         },
         -1},
        {"palette 2-bit",
         encodePng(w, h, PNG_COLOR_TYPE_PALETTE, 2,
                   rows(1, [](Bytes& r, int x, int y) { r[0] |= ((x + y) % 4) << (6 - 2 * x); }),
                   pal),
         24,
         [](int x, int y) {
             const uint32_t c[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x090807};
             return c[(x + y) % 4];
         },
         -1},
        {"gray 8-bit",
         encodePng(w, h, PNG_COLOR_TYPE_GRAY, 8,
                   rows(w, [](Bytes& r, int x, int y) { r[x] = x * 60 + y; })),
         24,
         [](int x, int y) {
             uint32_t g = x * 60 + y;
             return g * 0x010101u;
         },
         -1},
        {"gray 1-bit",
         encodePng(w, h, PNG_COLOR_TYPE_GRAY, 1,
                   rows(1,
                        [](Bytes& r, int x, int y) {
                            if ((x + y) % 2) r[0] |= 0x80 >> x;
                        })),
         24, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0u; }, -1},
        {"gray with alpha",
         encodePng(w, h, PNG_COLOR_TYPE_GRAY_ALPHA, 8,
                   rows(2 * w,
                        [](Bytes& r, int x, int y) {
                            r[2 * x] = 30 * x;
                            r[2 * x + 1] = 100 + y;
                        })),
         32,
         [](int x, int) {
             uint32_t g = 30 * x;
             return g * 0x010101u;
         },
         101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cPNGImage image;
        ASSERT_EQ(openBytes(image, c.file), 0);
        EXPECT_EQ(image.Width(), w);
        EXPECT_EQ(image.Height(), h);
        EXPECT_EQ(image.BitsPerPixel(), c.bits);
        std::vector<uint32_t> got = toRgb888(image);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) EXPECT_EQ(got[y * w + x], c.expect(x, y)) << x << "," << y;
        if (c.alpha >= 0) {
            uint8_t a = 0;
            ASSERT_EQ(image.ExtractChannel(1, 1, 1, 1, &a, 0, 0, 1, 1, 1, 1, 8, 0), 0);
            EXPECT_EQ(a, c.alpha);
        }
    }
}

TEST(PngReader, PaletteImageMatchesItsTrueColourTwin) {
    const int w = 6, h = 5;
    std::vector<png_color> pal;
    for (int i = 0; i < 30; ++i) {
        Rgb c = pattern(i % w, i / w);
        pal.push_back(
            {static_cast<png_byte>(c.r), static_cast<png_byte>(c.g), static_cast<png_byte>(c.b)});
    }
    std::vector<Bytes> indexRows(h, Bytes(w)), rgbRows(h, Bytes(3 * w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int i = y * w + x;
            indexRows[y][x] = i;
            rgbRows[y][3 * x] = pal[i].red;
            rgbRows[y][3 * x + 1] = pal[i].green;
            rgbRows[y][3 * x + 2] = pal[i].blue;
        }
    cPNGImage indexed, twin;
    ASSERT_EQ(openBytes(indexed, encodePng(w, h, PNG_COLOR_TYPE_PALETTE, 8, indexRows, pal)), 0);
    ASSERT_EQ(openBytes(twin, encodePng(w, h, PNG_COLOR_TYPE_RGB, 8, rgbRows)), 0);
    std::vector<uint16_t> a(w * h), b(w * h);
    ASSERT_EQ(indexed.Convert(0, 0, w, h, a.data(), 0, 0, w, h, 2, 2 * w, 5, 6, 5, 0, 11, 5, 0, 0),
              0);
    ASSERT_EQ(twin.Convert(0, 0, w, h, b.data(), 0, 0, w, h, 2, 2 * w, 5, 6, 5, 0, 11, 5, 0, 0), 0);
    EXPECT_EQ(a, b);
}

TEST(PngReader, TruncatedAndMalformedFilesFailCleanly) {
    std::vector<Bytes> rows(8, Bytes(3 * 8, 0));
    for (int y = 0; y < 8; ++y)
        for (int i = 0; i < 24; ++i) rows[y][i] = static_cast<uint8_t>(y * 31 + i * 7);
    const Bytes good = encodePng(8, 8, PNG_COLOR_TYPE_RGB, 8, rows);
    auto cut = [&](size_t n) { return Bytes(good.begin(), good.begin() + n); };
    auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        Bytes b = good;
        for (uint8_t v : bytes) b[at++] = v;
        return b;
    };
    // IHDR data starts at 16: width, height (big-endian), depth, colour type; its CRC follows.
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"not a PNG", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
        {"signature only", cut(8)},
        {"header cut", cut(20)},
        {"image data cut", cut(good.size() / 2)},
        {"end missing one byte of image data", cut(good.size() - 13)},
        {"header checksum wrong", patched(29, {0, 0, 0, 0})},
        {"image data corrupted", patched(45, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cPNGImage image;
        EXPECT_NE(openBytes(image, c.file), 0);
        EXPECT_EQ(image.Width(), 0);
        uint32_t sink = 0;
        EXPECT_EQ(image.Convert(0, 0, 1, 1, &sink, 0, 0, 1, 1, 4, 4, 8, 8, 8, 0, 16, 8, 0, 0), -1);
    }
}

void appendChunk(Bytes& file, const char* type, const Bytes& data) {
    const uint32_t n = static_cast<uint32_t>(data.size());
    Bytes chunk = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
    chunk.insert(chunk.end(),
                 {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
    file.insert(file.end(), chunk.begin(), chunk.end());
}

TEST(PngReader, AbsurdSizesAreRefusedBeforeDecoding) {
    // Valid headers whose sizes are beyond the caps, with the start of the image data behind them.
    for (uint32_t side : {40000u, 8000u}) {
        SCOPED_TRACE(side);
        Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        const Bytes s = {uint8_t(side >> 24), uint8_t(side >> 16), uint8_t(side >> 8),
                         uint8_t(side)};
        Bytes ihdr = s;
        ihdr.insert(ihdr.end(), s.begin(), s.end());
        ihdr.insert(ihdr.end(), {8, PNG_COLOR_TYPE_RGB, 0, 0, 0});
        appendChunk(file, "IHDR", ihdr);
        appendChunk(file, "IDAT", {0x78, 0x9C, 0x63, 0x00});
        cPNGImage image;
        EXPECT_NE(openBytes(image, file), 0);
        EXPECT_EQ(image.Width(), 0);
    }
}

// ---- JPEG ----

TEST(JpegReader, BaselineProgressiveAndGrayDecode) {
    const int w = 16, h = 12;
    const Bytes rgb = smoothRgb(w, h);
    Bytes gray;
    for (int i = 0; i < w * h; ++i) gray.push_back(static_cast<uint8_t>(30 + i % w * 10));
    struct Case {
        const char* what;
        Bytes file;
        int components;
        const Bytes* source;
    } cases[] = {
        {"baseline", encodeJpeg(w, h, 3, rgb, false), 3, &rgb},
        {"progressive", encodeJpeg(w, h, 3, rgb, true), 3, &rgb},
        {"gray", encodeJpeg(w, h, 1, gray, false), 1, &gray},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cJPGImage image;
        ASSERT_EQ(openBytes(image, c.file), 0);
        EXPECT_EQ(image.Width(), w);
        EXPECT_EQ(image.Height(), h);
        EXPECT_EQ(image.BitsPerPixel(), 24);
        std::vector<uint32_t> got = toRgb888(image);
        int worst = 0;
        for (int i = 0; i < w * h; ++i)
            for (int k = 0; k < 3; ++k) {
                const int want = (*c.source)[i * c.components + (c.components == 3 ? k : 0)];
                const int have = (got[i] >> (16 - 8 * k)) & 255;
                worst = std::max(worst, std::abs(want - have));
            }
        EXPECT_LE(worst, 6);
    }
}

TEST(JpegReader, TruncatedAndMalformedFilesFailCleanly) {
    const Bytes good = encodeJpeg(32, 32, 3, smoothRgb(32, 32), false);
    const Bytes progressive = encodeJpeg(32, 32, 3, smoothRgb(32, 32), true);
    auto cut = [](const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + n); };
    // The frame header (SOF0, FF C0) holds the height and width after its length and precision.
    Bytes huge = good;
    for (size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = 0x4E;  // 20000 rows
            huge[i + 6] = 0x20;
            huge[i + 7] = 0x4E;  // 20000 columns
            huge[i + 8] = 0x20;
            break;
        }
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"not a JPEG", Bytes(64, 0x42)},
        {"start marker only", cut(good, 2)},
        {"header cut", cut(good, 100)},
        {"scan cut", cut(good, good.size() / 2)},
        {"end marker missing", cut(good, good.size() - 2)},
        {"progressive scan cut", cut(progressive, progressive.size() * 2 / 3)},
        {"20000 x 20000", huge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cJPGImage image;
        EXPECT_NE(openBytes(image, c.file), 0);
        EXPECT_EQ(image.Width(), 0);
        uint32_t sink = 0;
        EXPECT_EQ(image.Convert(0, 0, 1, 1, &sink, 0, 0, 1, 1, 4, 4, 8, 8, 8, 0, 16, 8, 0, 0), -1);
    }
}

// ---- decoding straight into a target ----

// A target that keeps what a reader streams into it, in buffers that start out as noise so an
// unwritten pixel shows.
struct Recorder : cImageTarget {
    Bytes pixels, plane;
    int width = 0, height = 0, depth = 0;
    bool Begin(int w, int h, int bitsPerPixel) override {
        width = w;
        height = h;
        depth = bitsPerPixel;
        pixels.assign(static_cast<size_t>(w) * h * 2, 0xA5);
        colour = pixels.data();
        pitch = 2L * w;
        if (bitsPerPixel == 32) {
            plane.assign(static_cast<size_t>(w) * h, 0x5A);
            alpha = plane.data();
        }
        return true;
    }
};

// The file decoded whole and converted as the sprite loader did before: RGB565 by Convert, the
// alpha plane by ExtractChannel, the black check over the result; then streamed, which must give
// the same bytes.
void expectStreamMatchesWhole(const std::string& path) {
    SCOPED_TRACE(path);
    std::unique_ptr<cFileImage> whole(imageOpen(path.c_str()));
    ASSERT_EQ(whole->Open(path.c_str()), 0);
    const int w = whole->Width(), h = whole->Height();
    Bytes pixels(static_cast<size_t>(w) * h * 2), plane;
    ASSERT_EQ(whole->Convert(0, 0, w, h, pixels.data(), 0, 0, w, h, 2, 2 * w, 5, 6, 5, 0, 11, 5, 0, 0), 0);
    if (whole->BitsPerPixel() == 32) {
        plane.resize(static_cast<size_t>(w) * h);
        ASSERT_EQ(whole->ExtractChannel(0, 0, w, h, plane.data(), 0, 0, w, h, 1, w, 8, 0), 0);
    }
    bool black = false;
    for (size_t i = 0; i < pixels.size(); i += 2) black = black || (pixels[i] | pixels[i + 1]) == 0;

    std::unique_ptr<cFileImage> streamed(imageOpen(path.c_str()));
    Recorder r;
    r.checkZero = true;
    ASSERT_EQ(streamed->DecodeFile(path.c_str(), r), 0);
    EXPECT_EQ(streamed->Width(), 0);  // nothing is kept
    ASSERT_EQ(r.width, w);
    ASSERT_EQ(r.height, h);
    EXPECT_EQ(r.depth, whole->BitsPerPixel());
    ASSERT_EQ(r.pixels, pixels);
    EXPECT_EQ(r.plane, plane);
    if (plane.empty()) {
        EXPECT_EQ(r.zeroSeen, black);
    }
}

TEST(ImageStream, EveryReaderStreamsTheBytesOfTheWholeConversion) {
    testsupport::TempFolder dir("velmora_stream");
    ASSERT_TRUE(dir.made());
    // TGA: every depth and row order, one pixel, an odd width, and one tall enough to be read in
    // several bands; a black pixel in some, so the check for the key colour is seen both ways.
    const struct {
        int w, h;
    } sizes[] = {{1, 1}, {37, 5}, {97, 1500}};
    for (int depth : {8, 16, 24, 32})
        for (bool topDown : {false, true})
            for (const auto& size : sizes) {
                const int w = size.w, h = size.h;
                Bytes file;
                if (depth == 8) {
                    // Colour-mapped: 256 entries of 24 bits.
                    const TgaSpec s{0, 1, 1, 0, 256, 24, w, h, 8, topDown ? 0x20 : 0};
                    Bytes map, px;
                    for (int i = 0; i < 256 * 3; ++i) map.push_back(static_cast<uint8_t>(i * 7 + 1));
                    map[0] = map[1] = map[2] = 0;
                    // Index 0, black, first comes at pixel 59.
                    for (int i = 0; i < w * h; ++i) px.push_back(static_cast<uint8_t>(i * 13 + 1));
                    file = makeTga(s, map, px);
                } else {
                    file = patternTga(w, h, depth, topDown);
                    if (w > 1) std::fill(file.end() - depth / 8, file.end(), 0);  // the last pixel black
                }
                const std::string name = "d" + std::to_string(depth) + (topDown ? "t" : "b") +
                                         std::to_string(w) + ".tga";
                expectStreamMatchesWhole(dir.write(name, std::string(file.begin(), file.end())));
            }
    // JPEG baseline, progressive and gray, taller than a band; PNG of every colour type, with a
    // palette, 16 bits, gray with alpha, and interlaced (decoded whole, then converted).
    const int w = 37, h = 50;
    std::vector<std::pair<std::string, Bytes>> files = {
        {"a.jpg", encodeJpeg(w, h, 3, smoothRgb(w, h), false)},
        {"b.jpg", encodeJpeg(w, h, 3, smoothRgb(w, h), true)},
        {"c.jpg", encodeJpeg(w, h, 1, Bytes(static_cast<size_t>(w) * h, 90), false)},
    };
    struct PngCase {
        const char* name;
        int colourType, depth, bytesPerPixel;
        bool interlaced;
    } pngs[] = {{"rgb.png", PNG_COLOR_TYPE_RGB, 8, 3, false},
                {"rgba.png", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, false},
                {"rgb16.png", PNG_COLOR_TYPE_RGB, 16, 6, false},
                {"gray.png", PNG_COLOR_TYPE_GRAY, 8, 1, false},
                {"grayalpha.png", PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2, false},
                {"palette.png", PNG_COLOR_TYPE_PALETTE, 8, 1, false},
                {"interlaced.png", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, true}};
    std::vector<png_color> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back({static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i * 3)});
    for (const PngCase& c : pngs) {
        std::vector<Bytes> rows;
        for (int y = 0; y < h; ++y) {
            Bytes row;
            for (int i = 0; i < w * c.bytesPerPixel; ++i) row.push_back(static_cast<uint8_t>((i * 11 + y * 5) % 251));
            rows.push_back(row);
        }
        files.push_back({c.name, encodePng(w, h, c.colourType, c.depth, rows,
                                           c.colourType == PNG_COLOR_TYPE_PALETTE ? palette : std::vector<png_color>{},
                                           c.interlaced)});
    }
    for (const auto& f : files) expectStreamMatchesWhole(dir.write(f.first, std::string(f.second.begin(), f.second.end())));
}

TEST(ImageStream, MissingTruncatedAndRefusedFiles) {
    testsupport::TempFolder dir("velmora_stream");
    ASSERT_TRUE(dir.made());
    const Bytes tga = patternTga(40, 30, 24, false);
    const Bytes jpg = encodeJpeg(40, 30, 3, smoothRgb(40, 30), false);
    std::vector<Bytes> rows(30, Bytes(120, 0x44));
    const Bytes png = encodePng(40, 30, PNG_COLOR_TYPE_RGB, 8, rows);
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {{"short.tga", Bytes(tga.begin(), tga.end() - 100)},
                 {"header.tga", Bytes(tga.begin(), tga.begin() + 10)},
                 {"short.jpg", Bytes(jpg.begin(), jpg.begin() + static_cast<long>(jpg.size()) / 2)},
                 {"short.png", Bytes(png.begin(), png.begin() + static_cast<long>(png.size()) / 2)},
                 {"junk.png", Bytes(300, 0x33)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.write(c.name, std::string(c.bytes.begin(), c.bytes.end()));
        std::unique_ptr<cFileImage> image(imageOpen(path.c_str()));
        Recorder r;
        const int result = image->DecodeFile(path.c_str(), r);
        // A decoding failure, never "no such file".
        EXPECT_NE(result, 0);
        EXPECT_NE(result, 1);
        EXPECT_EQ(image->Width(), 0);
    }
    for (const char* missing : {"none.tga", "none.jpg", "none.png"}) {
        std::unique_ptr<cFileImage> image(imageOpen(missing));
        Recorder r;
        EXPECT_EQ(image->DecodeFile(dir.file(missing).c_str(), r), 1) << missing;
        EXPECT_EQ(r.width, 0) << missing;
    }
    // A target without memory stops the decoding before any row.
    struct Refuser : cImageTarget {
        bool Begin(int, int, int) override { return false; }
    };
    for (const char* name : {"a.tga", "a.jpg", "a.png"}) {
        const Bytes& bytes = name[2] == 't' ? tga : name[2] == 'j' ? jpg : png;
        const std::string path = dir.write(name, std::string(bytes.begin(), bytes.end()));
        std::unique_ptr<cFileImage> image(imageOpen(path.c_str()));
        Refuser r;
        EXPECT_EQ(image->DecodeFile(path.c_str(), r), -2) << name;
    }
}

// ---- by name, from disk ----

TEST(ImageFiles, OpenByNameAndReopen) {
    testsupport::TempFolder dir("velmora_img");
    ASSERT_TRUE(dir.made());
    std::vector<Bytes> rows(2, Bytes(9, 0x80));
    const struct {
        const char* name;
        Bytes bytes;
        int width;
    } files[] = {
        {"a.TGA", patternTga(7, 3, 24, false), 7},
        {"b.png", encodePng(3, 2, PNG_COLOR_TYPE_RGB, 8, rows), 3},
        {"c.jpg", encodeJpeg(5, 4, 3, smoothRgb(5, 4), false), 5},
    };
    std::vector<std::string> paths;
    for (const auto& f : files) {
        paths.push_back(dir.file(f.name));
        FILE* out = fopen(paths.back().c_str(), "wb");
        ASSERT_NE(out, nullptr);
        fwrite(f.bytes.data(), 1, f.bytes.size(), out);
        fclose(out);
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        std::unique_ptr<cFileImage> image(imageOpen(paths[i].c_str()));
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->Open(paths[i].c_str()), 0);
        EXPECT_EQ(image->Width(), files[i].width);
        // Opening again on an open reader replaces the image.
        ASSERT_EQ(image->Open(paths[i].c_str()), 0);
        EXPECT_EQ(image->Width(), files[i].width);
        EXPECT_EQ(image->Open(dir.file("missing.tga").c_str()), 1);
    }
}

}  // namespace
