// Shared body of the image reader fuzz targets: open the input as a file block, then run every
// conversion the sprite code uses over the whole decoded image.
#pragma once

#include "engine/gr/image.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

inline int fuzzImageReader(cFileImage& image, const uint8_t* data, size_t size) {
    fuzzsupport::scratchDir();  // the log goes to /dev/null
    if (size > (1u << 22)) return 0;
    unsigned char* block = static_cast<unsigned char*>(malloc(size ? size : 1));
    if (size) memcpy(block, data, size);
    if (image.OpenMemory(block, static_cast<int>(size)) != 0) return 0;

    // Any size the reader accepts is decoded, but the conversions run over corners of at most
    // 256 x 256 source pixels, scaled down to at most 64 x 64 so that every pixel of a corner is
    // still read, and the whole-picture passes only over pictures of at most 512 x 512 pixels:
    // their paths depend on the edges and the scale, not on the size, and a small file that
    // declares a large picture would otherwise spend seconds in instrumented per-pixel loops.
    const int w = image.Width(), h = image.Height();
    const int sw = w < 256 ? w : 256, sh = h < 256 ? h : 256;
    const int tw = sw < 64 ? sw : 64, th = sh < 64 ? sh : 64;
    const bool whole = static_cast<long>(w) * h <= (1L << 18);
    std::vector<uint16_t> pixels(tw * th);
    std::vector<uint8_t> plane(tw * th);
    image.Convert(0, 0, sw, sh, pixels.data(), 0, 0, tw, th, 2, 2 * tw, 5, 6, 5, 0, 11, 5, 0, 0);
    image.ExtractChannel(0, 0, sw, sh, plane.data(), 0, 0, tw, th, 1, tw, 8, 0);
    image.Convert(w - sw, h - 1, sw, -sh, pixels.data(), 0, 0, tw, th, 2, 2 * tw, 5, 6, 5, 0, 11,
                  5, 0, 0);
    if (image.BitsPerPixel() == 8) {
        image.MaskFromBlack(0, 0, sw, sh, plane.data(), 0, 0, tw, th, 1, tw, 8, 0);
        image.UsesBlack();
        if (whole) {
            std::vector<uint8_t> indices(static_cast<size_t>(w) * h);
            image.ReadIndexRows(indices.data(), w);
        }
    }
    if (whole) image.Dither(5, 6, 5);
    image.Convert(w - sw, h - sh, sw, sh, pixels.data(), 0, 0, tw, th, 2, 2 * tw, 5, 6, 5, 0, 11,
                  5, 0, 0);
    return 0;
}
