// Draws the darkness the window manager fades through and two of the cursors. All 32-bit with
// alpha, rows top first.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/tga_write.h"

namespace {

struct Colour {
    double r, g, b, a;  // 0..255, straight alpha
};

// BGRA pixels, rows top first.
struct Image {
    int w, h;
    std::vector<uint8_t> px;
    Image(int width, int height)
        : w(width), h(height), px(static_cast<size_t>(width) * height * 4, 0) {}
    void set(int x, int y, Colour c, double coverage) {
        uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
        auto byte = [](double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
        p[0] = byte(c.b);
        p[1] = byte(c.g);
        p[2] = byte(c.r);
        p[3] = byte(c.a * coverage);
    }
    bool write(const std::string& path) const { return writeTga(path.c_str(), w, h, 32, px, true); }
    // Frames of the same size one below the other, the first on top.
    static Image strip(const std::vector<Image>& frames) {
        Image out(frames[0].w, frames[0].h * static_cast<int>(frames.size()));
        for (size_t i = 0; i < frames.size(); ++i)
            std::copy(frames[i].px.begin(), frames[i].px.end(),
                      out.px.begin() + static_cast<long>(i * frames[i].px.size()));
        return out;
    }
};

// A shape given by an inside test, anti-aliased by 4 x 4 samples, filled with one colour over
// what the image holds (source-over on straight alpha).
template <class Inside>
void fill(Image& img, Inside inside, Colour c) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
            if (!hits) continue;
            uint8_t* p = &img.px[(static_cast<size_t>(y) * img.w + x) * 4];
            const double k = hits / 16.0 * c.a / 255, a0 = p[3] / 255.0, a = k + a0 * (1 - k);
            auto mixByte = [&](int i, double v) {
                p[i] = static_cast<uint8_t>(std::lround((v * k + p[i] * a0 * (1 - k)) / a));
            };
            mixByte(0, c.b);
            mixByte(1, c.g);
            mixByte(2, c.r);
            p[3] = static_cast<uint8_t>(std::lround(a * 255));
        }
}

// Two of the cursors (the arrow and the hand are drawn from the art's sources): a busy ring for a
// timed click run and a star that twinkles all the time; frames stacked as strips.
bool drawCursors(const std::string& folder) {
    const Colour gold{255, 200, 60, 255};
    std::vector<Image> busy, star;
    for (int i = 0; i < 8; ++i) {
        Image f(32, 32);
        for (int d = 0; d < 8; ++d) {
            const double a = d * M_PI / 4, cx = 16 + 10 * std::cos(a), cy = 16 + 10 * std::sin(a);
            const double shade = ((d - i + 8) % 8) / 7.0;
            fill(f, [&](double x, double y) { return std::hypot(x - cx, y - cy) < 3.2; },
                 {80 + 175 * (1 - shade), 160 + 95 * (1 - shade), 255, 255 - 150 * shade});
        }
        busy.push_back(f);
    }
    for (int i = 0; i < 6; ++i) {
        Image f(32, 32);
        const double size = 9 + 5 * std::sin(i * M_PI / 3);
        fill(f, [&](double x, double y) {
            const double dx = std::fabs(x - 16), dy = std::fabs(y - 16);
            return dx * dy < size * 1.6 && dx < size + 4 && dy < size + 4;
        }, gold);
        star.push_back(f);
    }
    return Image::strip(busy).write(folder + "/busy.tga") &&
           Image::strip(star).write(folder + "/star.tga");
}

}  // namespace

bool drawUiPictures(const std::string& data) {
    // Black and opaque: a 24-bit black picture would be colour-keyed away entirely.
    Image dark(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) dark.set(x, y, {0, 0, 0, 255}, 1.0);
    return dark.write(data + "/Fx/darkness.tga") && drawCursors(data + "/cursor");
}
