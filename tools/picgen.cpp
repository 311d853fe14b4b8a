// Draws the bundled test picture (a hotel facade, JPEG) and small sprites with alpha: a coin
// with a separate gray alpha image, a star (PNG) and a four-frame spinning star strip (TGA).
#include "tools/canvas.h"
#include "tools/image_write.h"
#include "tools/tga_write.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using picgen::Canvas;
using picgen::Rgb;
using picgen::byteOf;
using picgen::mix;

constexpr double kPi = 3.14159265358979;

// Small linear congruential generator: the facade's lit windows are the same on every run.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 16;
    }

private:
    uint32_t state_;
};

// 5 x 7 capitals for the hotel sign.
const char* letterRows(char c) {
    switch (c) {
        case 'A': return ".###.#...##...#######...##...##...#";
        case 'E': return "######....#....####.#....#....#####";
        case 'H': return "#...##...##...#######...##...##...#";
        case 'L': return "#....#....#....#....#....#....#####";
        case 'M': return "#...###.###.#.##...##...##...##...#";
        case 'O': return ".###.#...##...##...##...##...#.###.";
        case 'R': return "####.#...##...#####.#.#..#..#.#...#";
        case 'T': return "#####..#....#....#....#....#....#..";
        case 'V': return "#...##...##...##...##...#.#.#...#..";
        default: return nullptr;
    }
}

void drawText(Canvas& cv, const char* text, int x, int y, int scale, Rgb colour, Rgb shadow) {
    for (const char* p = text; *p; ++p, x += 6 * scale) {
        const char* rows = letterRows(*p);
        if (!rows) continue;
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c)
                if (rows[r * 5 + c] == '#') {
                    const int px = x + c * scale, py = y + r * scale;
                    cv.rect(px + 2, py + 2, px + scale + 2, py + scale + 2, shadow, 0.6);
                    cv.rect(px, py, px + scale, py + scale, colour);
                }
    }
}

Canvas drawHotel() {
    const int W = 1024, H = 768, horizon = 640;
    Canvas cv(W, H, {0, 0, 0}, 1.0);
    // Evening sky, a low sun and a few soft clouds.
    for (int y = 0; y < horizon; ++y) {
        const Rgb c = mix({38, 84, 160}, {250, 196, 150}, std::pow(y / double(horizon), 1.6));
        cv.rect(0, y, W, y + 1, c);
    }
    for (int y = 0; y < horizon; ++y)
        for (int x = 0; x < W; ++x) {
            const double d = std::hypot(x - 860.0, y - 200.0);
            cv.blend(x, y, {255, 236, 190}, d < 46 ? 1.0 : 0.45 * std::exp(-(d - 46) / 60.0));
            double cloud = 0.0;
            static const double puffs[][4] = {{150, 110, 90, 22}, {220, 100, 70, 26},
                                              {280, 118, 80, 18}, {620, 70, 110, 20},
                                              {700, 60, 70, 24}, {560, 80, 60, 16}};
            for (const auto& p : puffs) {
                const double dx = (x - p[0]) / p[2], dy = (y - p[1]) / p[3];
                cloud += std::exp(-(dx * dx + dy * dy) * 2.0);
            }
            cv.blend(x, y, {255, 246, 240}, std::min(0.85, cloud));
        }
    // Town behind the hotel.
    Lcg rng(0x5EED0001u);
    for (int x = 0; x < W; x += 64) {
        const int top = 400 + static_cast<int>(rng.next() % 120);
        cv.rect(x, top, x + 60, horizon, {92, 102, 140});
    }
    // The facade, lit from the left.
    const int bx0 = 232, bx1 = 792, by0 = 200, by1 = 640;
    for (int x = bx0; x < bx1; ++x)
        cv.rect(x, by0, x + 1, by1, mix({242, 222, 186}, {206, 178, 140}, (x - bx0) / double(bx1 - bx0)));
    cv.rect(bx0 - 12, by0 - 14, bx1 + 12, by0 + 4, {150, 60, 50});
    for (int k = 0; k < 4; ++k) cv.rect(bx0, by0 + 74 + 64 * k, bx1, by0 + 78 + 64 * k, {214, 190, 150});
    cv.rect(bx0 - 6, 474, bx1 + 6, 484, {170, 140, 110});
    // Four floors of seven windows, some lit; the ground floor keeps the middle for the entrance.
    auto window = [&cv, &rng](int x, int y) {
        const bool lit = rng.next() % 3 == 0;
        cv.rect(x - 4, y - 4, x + 48, y + 48, {250, 246, 236});
        for (int r = 0; r < 44; ++r) {
            const Rgb glass = lit ? mix({255, 226, 140}, {240, 180, 90}, r / 44.0)
                                  : mix({120, 150, 200}, {50, 70, 110}, r / 44.0);
            cv.rect(x, y + r, x + 44, y + r + 1, glass);
        }
        cv.rect(x + 20, y, x + 24, y + 44, {250, 246, 236});
        cv.rect(x, y + 18, x + 44, y + 21, {250, 246, 236});
    };
    for (int floor = 0; floor < 4; ++floor)
        for (int col = 0; col < 7; ++col) window(bx0 + 30 + col * 76, by0 + 24 + floor * 64);
    for (int col : {0, 1, 5, 6}) window(bx0 + 30 + col * 76, 540);
    // Entrance with a striped awning, brass frame and two bushes.
    const int dx0 = 462, dx1 = 562;
    cv.rect(dx0 - 8, 520, dx1 + 8, by1, {190, 150, 60});
    for (int r = 528; r < by1; ++r) cv.rect(dx0, r, dx1, r + 1, mix({255, 220, 150}, {200, 140, 70}, (r - 528) / 112.0));
    cv.rect(dx0 + 48, 528, dx0 + 52, by1, {190, 150, 60});
    for (int i = 0; i < 10; ++i)
        cv.rect(dx0 - 40 + i * 18, 492, dx0 - 22 + i * 18, 516, i % 2 ? Rgb{250, 246, 236} : Rgb{190, 40, 50});
    for (int side = 0; side < 2; ++side) {
        const double cx = side ? dx1 + 60 : dx0 - 60, cy = by1 - 22;
        cv.shape(static_cast<int>(cx) - 40, static_cast<int>(cy) - 40, static_cast<int>(cx) + 40, by1,
                 [cx, cy](double x, double y) { return std::hypot(x - cx, (y - cy) * 1.3) < 34; },
                 [cx, cy](double x, double y) {
                     return mix({90, 160, 70}, {30, 90, 40}, std::clamp((x - cx + y - cy + 34) / 68.0, 0.0, 1.0));
                 });
    }
    // Sign above the roof.
    cv.rect(342, 120, 682, 182, {120, 24, 36});
    cv.rect(348, 126, 676, 176, {150, 36, 48});
    drawText(cv, "HOTEL VELMORA", 356, 137, 4, {255, 214, 90}, {60, 10, 20});
    // Pavement, street and lamp posts.
    cv.rect(0, by1, W, 690, {170, 166, 160});
    for (int x = 0; x < W; x += 48) cv.rect(x, by1, x + 2, 690, {140, 136, 130});
    cv.rect(0, 690, W, H, {64, 64, 72});
    for (int x = 20; x < W; x += 120) cv.rect(x, 726, x + 60, 732, {230, 220, 180});
    for (int lx : {120, 904}) {
        cv.rect(lx - 4, 470, lx + 4, by1 + 20, {40, 44, 52});
        const double cx = lx, cy = 462;
        cv.shape(lx - 20, 440, lx + 20, 484,
                 [cx, cy](double x, double y) { return std::hypot(x - cx, y - cy) < 14; },
                 [](double, double) { return Rgb{255, 236, 170}; });
    }
    return cv;
}

// A gold coin: shaded face, darker rim, a raised star. Outside the disc the colour is pure black
// and every inside pixel is kept off black, so the coin also works where black is the key colour.
Canvas drawCoin(int size) {
    Canvas cv(size, size, {0, 0, 0}, 0.0);
    const double c = size / 2.0, radius = size / 2.0 - 1.0;
    cv.shape(0, 0, size, size, [=](double x, double y) { return std::hypot(x - c, y - c) < radius; },
             [=](double x, double y) {
                 const double dx = (x - c) / radius, dy = (y - c) / radius;
                 const double d = std::hypot(dx, dy);
                 double light = 0.65 - 0.35 * (dx + dy) / std::sqrt(2.0);
                 if (d > 0.8) light = 0.9 - light * 0.5;  // the rim is lit from the other side
                 const double a = std::atan2(dy, dx) + kPi / 2;
                 const double star = 0.45 + 0.2 * std::cos(5 * a);
                 if (d < star * 0.8) light += 0.15;
                 Rgb col = mix({150, 96, 16}, {255, 236, 130}, std::clamp(light, 0.0, 1.0));
                 col.r = std::max(col.r, 12.0), col.g = std::max(col.g, 12.0), col.b = std::max(col.b, 12.0);
                 return col;
             });
    return cv;
}

bool insideStar(double x, double y, double cx, double cy, double outer, double turn) {
    const double dx = x - cx, dy = y - cy;
    const double r = std::hypot(dx, dy);
    if (r >= outer) return false;
    // Distance to the edge of a five-pointed star along this angle.
    double a = std::atan2(dy, dx) + kPi / 2 - turn;
    const double sector = 2 * kPi / 5;
    a = std::fmod(std::fmod(a, sector) + sector, sector) - sector / 2;  // -36..36 degrees
    const double inner = outer * 0.45;
    // Edge from the tip (angle 0, outer) to the notch (angle 36, inner) as a straight line.
    const double tipX = outer, notchX = inner * std::cos(sector / 2), notchY = inner * std::sin(sector / 2);
    const double px = r * std::cos(std::fabs(a)), py = r * std::sin(std::fabs(a));
    const double cross = (notchX - tipX) * py - notchY * (px - tipX);
    return cross >= 0.0;  // on the same side of the edge as the centre
}

Canvas drawStar(int size, double turn) {
    Canvas cv(size, size, {255, 240, 170}, 0.0);
    const double c = size / 2.0, outer = size * 0.42;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c) / (size / 2.0);
            cv.blend(x, y, {255, 240, 170}, 0.4 * std::exp(-d * d * 5.0));
        }
    cv.shape(0, 0, size, size, [=](double x, double y) { return insideStar(x, y, c, c, outer, turn); },
             [=](double x, double y) {
                 const double d = std::hypot(x - c, y - c) / outer;
                 return mix({255, 250, 200}, {250, 170, 30}, std::clamp(d, 0.0, 1.0));
             });
    return cv;
}

std::vector<uint8_t> grayAlpha(const Canvas& cv) {
    std::vector<uint8_t> out(cv.alpha.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = byteOf(cv.alpha[i] * 255.0);
    return out;
}

}  // namespace

// The fade darkness and two cursors under the data folder (tools/picgen_ui.cpp).
bool drawUiPictures(const std::string& data);

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: picgen <pictures folder> <sprites folder> [<data folder>]\n");
        return 2;
    }
    const std::string pictures = argv[1], sprites = argv[2];

    // The coin keeps its alpha in a separate gray image, as a 24-bit colour image must.
    const Canvas coin = drawCoin(48);
    const Canvas hotel = drawHotel();
    const Canvas star = drawStar(64, 0.0);
    bool ok = writeJpeg((pictures + "/hotel.jpg").c_str(), hotel.w, hotel.h, hotel.bytes(false, false), 90) &&
              writeTga((sprites + "/coin.tga").c_str(), coin.w, coin.h, 24, coin.bytes(true, false), false) &&
              writeTga((sprites + "/_coin.tga").c_str(), coin.w, coin.h, 8, grayAlpha(coin), false) &&
              writePng((sprites + "/star.png").c_str(), star.w, star.h, 4, star.bytes(false, true));
    if (!ok) return 1;

    // Four frames one below the other; a fifth of a turn brings the star back to its start.
    const int frame = 64;
    std::vector<uint8_t> strip;
    for (int i = 0; i < 4; ++i) {
        const std::vector<uint8_t> f = drawStar(frame, i * (2 * kPi / 5) / 4).bytes(true, true);
        strip.insert(strip.end(), f.begin(), f.end());
    }
    ok = writeTga((sprites + "/star_spin.tga").c_str(), frame, frame * 4, 32, strip, false);
    if (ok && argc == 4) ok = drawUiPictures(argv[3]);
    return ok ? 0 : 1;
}
