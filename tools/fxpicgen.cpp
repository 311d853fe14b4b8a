// Draws the effect pictures: the particle sheet (32 x 32 cells: soft dot, spark, star, puff), the
// emitters' sprites, the four flying-tip icons and the demo's sign, all 32-bit TGA with alpha.
//   fxpicgen <folder>
#include "tools/tga_write.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r, g, b, a;
};

// A shader gives each pixel from its centre relative to the centre of its cell, -1..1 across the
// cell on each axis.
using Shader = std::function<Rgba(double x, double y)>;

uint8_t byteOf(double v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v * 255), 0L, 255L));
}

void paint(std::vector<uint8_t>& px, int width, int cellX, int cellW, int cellH, const Shader& s) {
    for (int y = 0; y < cellH; ++y)
        for (int x = 0; x < cellW; ++x) {
            const double u = (x + 0.5) / cellW * 2 - 1, v = (y + 0.5) / cellH * 2 - 1;
            const Rgba c = s(u, v);
            uint8_t* p = &px[(static_cast<size_t>(y) * width + cellX + x) * 4];
            p[0] = byteOf(c.b);
            p[1] = byteOf(c.g);
            p[2] = byteOf(c.r);
            p[3] = byteOf(c.a);
        }
}

bool write(const std::string& path, int width, int height,
           const std::vector<std::pair<int, Shader>>& cells) {
    // A sheet is a row of square cells; a single picture fills the whole image.
    const int cellW = cells.size() == 1 ? width : height;
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4, 0);
    for (const auto& [index, shader] : cells)
        paint(px, width, index * cellW, cellW, height, shader);
    return writeTga(path.c_str(), width, height, 32, px, true);
}

double smooth(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

Rgba softDot(double x, double y) {
    const double r = std::hypot(x, y);
    return {1, 1, 1, std::pow(1 - smooth(0, 1, r), 1.5)};
}

Rgba spark(double x, double y) {
    const double r = std::hypot(x, y);
    const double rays = std::max(std::exp(-std::fabs(x) * 14), std::exp(-std::fabs(y) * 14));
    return {1, 1, 1, std::clamp(std::exp(-r * 5) + rays * (1 - r), 0.0, 1.0)};
}

Rgba star(double x, double y) {
    const double r = std::hypot(x, y), a = std::atan2(y, x);
    const double edge = 0.45 + 0.45 * std::pow(std::fabs(std::cos(2.5 * a)), 3);
    return {1, 1, 0.85, 1 - smooth(edge - 0.08, edge + 0.04, r)};
}

Rgba puff(double x, double y) {
    const double r = std::hypot(x, y);
    const double lumps = 0.08 * std::sin(5 * std::atan2(y, x)) + 0.05 * std::sin(11 * x * y);
    return {1, 1, 1, 0.8 * (1 - smooth(0.3, 0.95 + lumps, r))};
}

Rgba disc(double x, double y, Rgba fill, double radius = 0.92) {
    const double r = std::hypot(x, y);
    fill.a *= 1 - smooth(radius - 0.06, radius + 0.02, r);
    const double shade = 1 - 0.25 * std::max(0.0, x + y) / 2;
    return {fill.r * shade, fill.g * shade, fill.b * shade, fill.a};
}

// A round face: eyes and a mouth that smiles (up) or frowns.
Rgba smile(double x, double y, Rgba face, bool happy) {
    Rgba c = disc(x, y, face);
    const bool eye = std::hypot(std::fabs(x) - 0.32, y + 0.25) < 0.12;
    const double mouthY = happy ? 0.15 + 0.3 * (1 - x * x) : 0.5 - 0.25 * (1 - x * x);
    const bool mouth = std::fabs(x) < 0.5 && std::fabs(y - mouthY) < 0.07;
    if (eye || mouth) c = {0.1, 0.1, 0.1, c.a};
    return c;
}

Rgba plusSign(double x, double y, Rgba colour, bool vertical) {
    const bool bar = (std::fabs(y) < 0.2 && std::fabs(x) < 0.7) ||
                     (vertical && std::fabs(x) < 0.2 && std::fabs(y) < 0.7);
    Rgba c = disc(x, y, {1, 1, 1, 0.85});
    if (bar) c = {colour.r, colour.g, colour.b, 1};
    return c;
}

Rgba coin(double x, double y) {
    Rgba c = disc(x, y, {1.0, 0.8, 0.2, 1});
    if (std::fabs(std::hypot(x, y) - 0.62) < 0.06) c = {0.8, 0.55, 0.1, c.a};
    return c;
}

Rgba bust(double x, double y) {
    Rgba c = disc(x, y, {0.75, 0.2, 0.2, 1});
    const bool cross = std::fabs(std::fabs(x) - std::fabs(y)) < 0.15 && std::hypot(x, y) < 0.6;
    if (cross) c = {1, 1, 1, c.a};
    return c;
}

// The demo's sign: a rounded golden plate with a darker rim.
Rgba sign(double x, double y) {
    const double dx = std::max(std::fabs(x) - 0.7, 0.0), dy = std::max(std::fabs(y) - 0.3, 0.0);
    const double d = std::hypot(dx, dy);
    const double a = 1 - smooth(0.2, 0.26, d);
    const double rim = smooth(0.1, 0.16, d);
    return {0.95 - 0.4 * rim, 0.75 - 0.35 * rim, 0.25 - 0.1 * rim, a};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: fxpicgen <folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const Rgba green{0.3, 0.85, 0.3, 1}, red{0.9, 0.3, 0.25, 1};
    const bool ok =
        write(dir + "/particles.tga", 128, 32, {{0, softDot}, {1, spark}, {2, star}, {3, puff}}) &&
        write(dir + "/dot.tga", 16, 16, {{0, softDot}}) &&
        write(dir + "/star.tga", 24, 24, {{0, star}}) &&
        write(dir + "/puff.tga", 32, 32, {{0, puff}}) &&
        write(dir + "/smile_green.tga", 24, 24,
              {{0, [&](double x, double y) { return smile(x, y, green, true); }}}) &&
        write(dir + "/smile_red.tga", 24, 24,
              {{0, [&](double x, double y) { return smile(x, y, red, false); }}}) &&
        write(dir + "/tip_plus.tga", 16, 16,
              {{0, [&](double x, double y) { return plusSign(x, y, green, true); }}}) &&
        write(dir + "/tip_minus.tga", 16, 16,
              {{0, [&](double x, double y) { return plusSign(x, y, red, false); }}}) &&
        write(dir + "/tip_money.tga", 28, 28, {{0, coin}}) &&
        write(dir + "/tip_bust.tga", 28, 28, {{0, bust}}) &&
        write(dir + "/sign.tga", 160, 64, {{0, sign}});
    return ok ? 0 : 1;
}
