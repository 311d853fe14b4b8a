// A synthetic font like the bundled one (32-bit with its own alpha, one glyph set), for benchmark
// runs without the generated data: glyphs 8 to 12 wide on 20-pixel lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/gr/image.h"

// Writes base + ".tga" and its metric file base + ".fh"; false when either cannot be written.
inline bool writeSyntheticFont(const std::string& base) {
    const int width = 512, height = 20;
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = static_cast<uint8_t>((x * 37 + y * 11) & 255);
        }
    cTGAImage writer;
    if (writer.Save((base + ".tga").c_str(), px.data(), 32, width, -height) != 0) return false;
    std::string metrics = "17 20 95\n";
    int x = 0;
    for (int code = 32; code < 127; ++code) {
        const int w = 8 + code % 5;
        metrics +=
            std::to_string(code) + " " + std::to_string(x) + " 0 1 " + std::to_string(w) + " 1\n";
        x += w + 1;
    }
    FILE* f = fopen((base + ".fh").c_str(), "w");
    if (!f) return false;
    fputs(metrics.c_str(), f);
    return fclose(f) == 0;
}
