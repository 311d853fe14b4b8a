// Draws the comics' pictures: the scene backdrops (JPEG), the characters, speech bubble, lamp
// glow and four-frame sparkle (TGA with alpha), the letterbox bars and the dark end-fade image.
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
using picgen::mix;

// A shape of one colour anywhere on the canvas.
template <typename Inside>
void fill(Canvas& cv, Inside inside, Rgb c) {
    cv.shape(0, 0, cv.w, cv.h, inside, [=](double, double) { return c; });
}

void ellipse(Canvas& cv, double cx, double cy, double rx, double ry, Rgb c) {
    cv.shape(int(cx - rx) - 1, int(cy - ry) - 1, int(cx + rx) + 2, int(cy + ry) + 2,
             [=](double x, double y) {
                 const double dx = (x - cx) / rx, dy = (y - cy) / ry;
                 return dx * dx + dy * dy < 1.0;
             },
             [=](double, double) { return c; });
}

void disc(Canvas& cv, double cx, double cy, double r, Rgb c) { ellipse(cv, cx, cy, r, r, c); }

void gradient(Canvas& cv, Rgb top, Rgb bottom, int y0, int y1) {
    for (int y = y0; y < y1 && y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) cv.blend(x, y, mix(top, bottom, double(y - y0) / (y1 - y0)), 1.0);
}

bool writeJpegOf(const std::string& path, const Canvas& cv) {
    return writeJpeg(path.c_str(), cv.w, cv.h, cv.bytes(false, false), 88);
}

bool writeRgba(const std::string& path, const Canvas& cv) {
    return writeTga(path.c_str(), cv.w, cv.h, 32, cv.bytes(true, true), false);
}

// A small hotel front: walls, windows (some lit), a door and an awning.
void hotel(Canvas& im, double x0, double base, double width, double height, bool night) {
    const Rgb wall = night ? Rgb{70, 60, 90} : Rgb{214, 170, 120};
    im.rect(x0, base - height, x0 + width, base, wall);
    im.rect(x0 - 8, base - height - 14, x0 + width + 8, base - height, {120, 50, 50});
    unsigned seed = 7;
    for (double y = base - height + 24; y < base - 80; y += 52)
        for (double x = x0 + 20; x < x0 + width - 40; x += 56) {
            seed = seed * 1103515245u + 12345u;
            const bool lit = night ? (seed >> 16) % 3 != 0 : false;
            im.rect(x, y, x + 34, y + 36, lit ? Rgb{255, 220, 120} : Rgb{90, 120, 160});
        }
    const double door = x0 + width / 2;
    im.rect(door - 30, base - 70, door + 30, base, {90, 50, 30});
    im.rect(door - 50, base - 86, door + 50, base - 70, {180, 40, 40});
}

Canvas street() {
    Canvas im(480, 320, {0, 0, 0}, 1.0);
    gradient(im, {120, 180, 240}, {230, 220, 200}, 0, 250);
    disc(im, 400, 60, 30, {255, 236, 160});
    im.rect(0, 250, 480, 320, {150, 140, 130});
    hotel(im, 110, 260, 260, 220, false);
    return im;
}

Canvas lobby() {
    Canvas im(480, 320, {0, 0, 0}, 1.0);
    gradient(im, {180, 140, 110}, {120, 90, 70}, 0, 220);
    gradient(im, {110, 60, 50}, {70, 40, 30}, 220, 320);
    im.rect(300, 150, 470, 230, {90, 55, 35});       // front desk
    im.rect(300, 140, 470, 152, {200, 160, 90});
    disc(im, 385, 134, 8, {230, 200, 80});             // desk bell
    for (int i = 0; i < 4; ++i) im.rect(40 + i * 60, 40, 80 + i * 60, 110, {140, 110, 80});
    ellipse(im, 120, 290, 110, 16, {160, 40, 40});     // rug
    return im;
}

Canvas night() {
    Canvas im(480, 320, {0, 0, 0}, 1.0);
    gradient(im, {10, 15, 50}, {50, 40, 90}, 0, 260);
    for (int i = 0; i < 40; ++i) disc(im, (i * 97) % 480, (i * 53) % 200, 1.2, {255, 255, 230});
    disc(im, 80, 60, 24, {240, 240, 210});
    im.rect(0, 260, 480, 320, {40, 40, 55});
    hotel(im, 110, 270, 260, 230, true);
    return im;
}

Canvas paper() {
    Canvas im(1024, 768, {0, 0, 0}, 1.0);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const double v = 0.5 + 0.5 * std::sin(x * 0.01 + y * 0.013) * std::cos(y * 0.007);
            im.blend(x, y, mix({238, 226, 200}, {222, 205, 175}, v), 1.0);
        }
    return im;
}

// A standing figure: hair, head, body in the given colour, arms and legs.
Canvas figure(Rgb body, Rgb hair, bool cap) {
    Canvas im(96, 160, {0, 0, 0}, 0.0);
    im.rect(30, 120, 42, 158, {60, 50, 60});
    im.rect(54, 120, 66, 158, {60, 50, 60});
    ellipse(im, 48, 92, 28, 38, body);
    im.rect(14, 66, 24, 116, body);
    im.rect(72, 66, 82, 116, body);
    disc(im, 48, 36, 22, hair);
    disc(im, 48, 42, 19, {250, 214, 180});
    disc(im, 41, 40, 2.5, {40, 30, 30});
    disc(im, 55, 40, 2.5, {40, 30, 30});
    ellipse(im, 48, 51, 6, 2.5, {190, 80, 80});
    if (cap) im.rect(28, 12, 68, 24, {180, 40, 40});
    return im;
}

Canvas bubble() {
    Canvas im(280, 120, {0, 0, 0}, 0.0);
    const Rgb paper{250, 250, 245};
    fill(im, [](double x, double y) {
        const double rx = std::max(std::fabs(x - 140) - 110, 0.0), ry = std::max(std::fabs(y - 50) - 20, 0.0);
        return std::hypot(rx, ry) < 26;
    }, paper);
    fill(im, [](double x, double y) { return y >= 90 && y < 118 && x > 60 && x < 60 + (118 - y) * 0.9; },
         paper);
    return im;
}

Canvas glow() {
    Canvas im(128, 128, {0, 0, 0}, 1.0);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double d = std::hypot(x + 0.5 - 64, y + 0.5 - 64) / 64;
            const double k = std::exp(-d * d * 4.0);
            im.rgb[y * 128 + x] = {255 * k, 200 * k, 110 * k};
        }
    return im;
}

// Four frames one below the other: a four-pointed sparkle turning a quarter of its period.
Canvas sparkle() {
    Canvas im(64, 256, {0, 0, 0}, 0.0);
    for (int f = 0; f < 4; ++f) {
        const double turn = f * 3.14159265 / 8, cy = 32 + f * 64;
        fill(im, [=](double x, double y) {
            const double dx = x - 32, dy = y - cy;
            const double a = std::atan2(dy, dx) - turn, r = std::hypot(dx, dy);
            return r < 6 + 22 * std::pow(std::fabs(std::cos(2 * a)), 8);
        }, Rgb{255, 250, 200});
    }
    return im;
}

// The letterbox bars: dark with a thin gold edge (drawn tinted black in the game).
Canvas frameBar() {
    Canvas im(1024, 48, {20, 16, 12}, 1.0);
    im.rect(0, 44, 1024, 48, {180, 150, 80});
    return im;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: comicgen <comics folder>\n");
        return 2;
    }
    const std::string d = std::string(argv[1]) + "/";
    const bool ok = writeJpegOf(d + "street.jpg", street()) && writeJpegOf(d + "lobby.jpg", lobby()) &&
                    writeJpegOf(d + "night.jpg", night()) && writeJpegOf(d + "paper.jpg", paper()) &&
                    writeJpegOf(d + "FrameH.jpg", frameBar()) &&
                    writeRgba(d + "zuna.tga", figure({90, 160, 120}, {70, 40, 30}, false)) &&
                    writeRgba(d + "guest.tga", figure({80, 90, 160}, {200, 180, 90}, false)) &&
                    writeRgba(d + "porter.tga", figure({170, 50, 50}, {40, 30, 30}, true)) &&
                    writeRgba(d + "bubble.tga", bubble()) &&
                    writeTga((d + "glow.tga").c_str(), 128, 128, 32, glow().bytes(true, true), false) &&
                    writeRgba(d + "sparkle.tga", sparkle()) &&
                    writeRgba(d + "darkness.tga", Canvas(16, 16, {0, 0, 0}, 1.0));
    return ok ? 0 : 1;
}
