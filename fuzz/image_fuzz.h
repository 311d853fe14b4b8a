// Shared body of the image reader fuzz targets: open the input as a file block, then run every
// conversion the sprite code uses over the whole decoded image.
#pragma once

#include "engine/gr/image.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

inline int fuzzImageReader(cFileImage& image, const uint8_t* data, size_t size) {
    if (size > (1u << 22)) return 0;
    unsigned char* block = static_cast<unsigned char*>(malloc(size ? size : 1));
    if (size) memcpy(block, data, size);
    if (image.OpenMemory(block, static_cast<int>(size)) != 0) return 0;

    // Scaled down to at most 64 x 64, so every source pixel is still read.
    const int w = image.Width(), h = image.Height();
    const int tw = w < 64 ? w : 64, th = h < 64 ? h : 64;
    std::vector<uint16_t> pixels(tw * th);
    std::vector<uint8_t> plane(tw * th);
    image.Convert(0, 0, w, h, pixels.data(), 0, 0, tw, th, 2, 2 * tw, 5, 6, 5, 0, 11, 5, 0, 0);
    image.ExtractChannel(0, 0, w, h, plane.data(), 0, 0, tw, th, 1, tw, 8, 0);
    image.Convert(0, h - 1, w, -h, pixels.data(), 0, 0, tw, th, 2, 2 * tw, 5, 6, 5, 0, 11, 5, 0, 0);
    if (image.BitsPerPixel() == 8) {
        image.MaskFromBlack(0, 0, w, h, plane.data(), 0, 0, tw, th, 1, tw, 8, 0);
        image.UsesBlack();
        std::vector<uint8_t> indices(static_cast<size_t>(w) * h);
        image.ReadIndexRows(indices.data(), w);
    }
    image.Dither(5, 6, 5);
    image.Convert(0, 0, w, h, pixels.data(), 0, 0, tw, th, 2, 2 * tw, 5, 6, 5, 0, 11, 5, 0, 0);
    return 0;
}
