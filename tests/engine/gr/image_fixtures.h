// Image fixtures shared by the reader tests and the sprite tests: colours and a JPEG encoder.
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    int r, g, b;
};

// A JPEG of packed 8-bit pixels (3 components RGB, 1 gray) at quality 95 without chroma
// subsampling, so a black block stays black.
std::vector<uint8_t> encodeJpeg(int w, int h, int components, const std::vector<uint8_t>& pixels,
                                bool progressive);
