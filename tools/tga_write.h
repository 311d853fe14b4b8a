// Writes uncompressed TGA files for the data generators (gray, BGR and BGRA, either row order).
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// pixels: rows top first, bpp / 8 bytes per pixel in file order (B, G, R[, A]) or one gray byte.
// The rows go into the file in the order asked for; the descriptor tells readers which it is.
inline bool writeTga(const char* path, int width, int height, int bpp,
                     const std::vector<uint8_t>& pixels, bool topDown) {
    const int bytes = bpp / 8;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        (bytes != 1 && bytes != 3 && bytes != 4) ||
        pixels.size() != static_cast<size_t>(width) * height * bytes) {
        fprintf(stderr, "%s: bad image for TGA output\n", path);
        return false;
    }
    uint8_t header[18] = {};
    header[2] = bytes == 1 ? 3 : 2;  // gray or true colour, uncompressed, no colour map
    header[12] = static_cast<uint8_t>(width);
    header[13] = static_cast<uint8_t>(width >> 8);
    header[14] = static_cast<uint8_t>(height);
    header[15] = static_cast<uint8_t>(height >> 8);
    header[16] = static_cast<uint8_t>(bpp);
    header[17] = static_cast<uint8_t>((bytes == 4 ? 8 : 0) | (topDown ? 0x20 : 0));

    FILE* f = fopen(path, "wb");
    if (!f) {
        perror(path);
        return false;
    }
    bool ok = fwrite(header, 1, sizeof header, f) == sizeof header;
    const size_t rowBytes = static_cast<size_t>(width) * bytes;
    for (int i = 0; i < height && ok; ++i) {
        const int row = topDown ? i : height - 1 - i;
        ok = fwrite(pixels.data() + row * rowBytes, 1, rowBytes, f) == rowBytes;
    }
    ok = fclose(f) == 0 && ok;
    if (!ok) fprintf(stderr, "%s: write failed\n", path);
    return ok;
}
