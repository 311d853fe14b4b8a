// The drawing surface of the picture generators: straight colour and alpha, rows top first,
// with anti-aliased shapes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace picgen {

struct Rgb {
    double r, g, b;
};

inline Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline uint8_t byteOf(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// Straight (not premultiplied) colour and alpha, rows top first.
struct Canvas {
    int w, h;
    std::vector<Rgb> rgb;
    std::vector<double> alpha;

    Canvas(int width, int height, Rgb fill, double a)
        : w(width), h(height), rgb(static_cast<size_t>(width) * height, fill),
          alpha(static_cast<size_t>(width) * height, a) {}

    // Paints colour c over the pixel with coverage k (0..1), source-over.
    void blend(int x, int y, Rgb c, double k) {
        if (x < 0 || y < 0 || x >= w || y >= h || k <= 0.0) return;
        const size_t i = static_cast<size_t>(y) * w + x;
        const double a0 = alpha[i];
        const double a = k + a0 * (1.0 - k);
        const double keep = a0 * (1.0 - k);
        rgb[i] = {(c.r * k + rgb[i].r * keep) / a, (c.g * k + rgb[i].g * keep) / a,
                  (c.b * k + rgb[i].b * keep) / a};
        alpha[i] = a;
    }

    void rect(int x0, int y0, int x1, int y1, Rgb c, double k = 1.0) {
        for (int y = std::max(y0, 0); y < std::min(y1, h); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, w); ++x) blend(x, y, c, k);
    }

    // Any shape given by an inside test, anti-aliased by 8 x 8 samples per pixel.
    template <typename Inside, typename Colour>
    void shape(int x0, int y0, int x1, int y1, Inside inside, Colour colour) {
        for (int y = std::max(y0, 0); y < std::min(y1, h); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, w); ++x) {
                int hits = 0;
                for (int sy = 0; sy < 8; ++sy)
                    for (int sx = 0; sx < 8; ++sx)
                        hits += inside(x + (sx + 0.5) / 8.0, y + (sy + 0.5) / 8.0) ? 1 : 0;
                if (hits) blend(x, y, colour(x + 0.5, y + 0.5), hits / 64.0);
            }
    }

    std::vector<uint8_t> bytes(bool bgr, bool withAlpha) const {
        std::vector<uint8_t> out;
        out.reserve(rgb.size() * (withAlpha ? 4 : 3));
        for (size_t i = 0; i < rgb.size(); ++i) {
            const uint8_t r = byteOf(rgb[i].r), g = byteOf(rgb[i].g), b = byteOf(rgb[i].b);
            out.push_back(bgr ? b : r);
            out.push_back(g);
            out.push_back(bgr ? r : b);
            if (withAlpha) out.push_back(byteOf(alpha[i] * 255.0));
        }
        return out;
    }
};

}  // namespace picgen
