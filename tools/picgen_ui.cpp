// Draws the pictures of the widget demo: the darkness the window manager fades through, end-cap
// buttons in four states (left cap, a middle slice to stretch, right cap), a dialog panel, a
// text plate and the star of the key-frame widget. All 32-bit with alpha, rows top first.
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
    // Columns [x0, x1) as an image of their own.
    Image slice(int x0, int x1) const {
        Image out(x1 - x0, h);
        for (int y = 0; y < h; ++y)
            std::copy_n(&px[(static_cast<size_t>(y) * w + x0) * 4], (x1 - x0) * 4,
                        &out.px[static_cast<size_t>(y) * out.w * 4]);
        return out;
    }
};

// Inside a rectangle of size w x h with corners rounded by radius r, at the point (x, y).
bool insideRounded(double x, double y, double w, double h, double r) {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    const double cx = std::clamp(x, r, w - r), cy = std::clamp(y, r, h - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// The share of 4 x 4 samples of the pixel inside the rounded rectangle grown by inset pixels.
double coverage(int x, int y, double w, double h, double r, double inset) {
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
            hits += insideRounded(x + (sx + 0.5) / 4 - inset, y + (sy + 0.5) / 4 - inset,
                                  w - 2 * inset, h - 2 * inset, std::max(0.0, r - inset))
                        ? 1
                        : 0;
    return hits / 16.0;
}

Colour mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

// A rounded panel: a border colour, then a vertical gradient from top to bottom inside it.
Image panel(int w, int h, double radius, double border, Colour edge, Colour top, Colour bottom) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double outer = coverage(x, y, w, h, radius, 0);
            if (outer <= 0) continue;
            const double inner = coverage(x, y, w, h, radius, border);
            const Colour fill = mix(top, bottom, h > 1 ? y / double(h - 1) : 0);
            img.set(x, y, mix(edge, fill, outer > 0 ? inner / outer : 0), outer);
        }
    return img;
}

struct ButtonLook {
    const char* state;
    Colour edge, top, bottom;
};

}  // namespace

bool drawUiPictures(const std::string& data) {
    const std::string fx = data + "/fx", demo = data + "/Menu/UIDemo";
    // Black and opaque: a 24-bit black picture would be colour-keyed away entirely.
    Image dark(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) dark.set(x, y, {0, 0, 0, 255}, 1.0);
    bool ok = dark.write(fx + "/darkness.tga");

    const int capWidth = 20, middleWidth = 4, height = 48;
    const ButtonLook looks[] = {
        {"ignore", {70, 70, 70, 255}, {150, 150, 150, 255}, {110, 110, 110, 255}},
        {"normal", {20, 50, 110, 255}, {90, 140, 220, 255}, {40, 80, 170, 255}},
        {"active", {120, 70, 10, 255}, {255, 210, 110, 255}, {230, 150, 40, 255}},
        {"press", {90, 50, 5, 255}, {200, 130, 30, 255}, {240, 190, 90, 255}},
    };
    for (const ButtonLook& look : looks) {
        const Image whole =
            panel(2 * capWidth + middleWidth, height, 16, 2, look.edge, look.top, look.bottom);
        const std::string state = look.state;
        ok = ok && whole.slice(0, capWidth).write(demo + "/button_left_" + state + ".tga") &&
             whole.slice(capWidth, capWidth + middleWidth).write(demo + "/button_" + state + ".tga") &&
             whole.slice(capWidth + middleWidth, whole.w)
                 .write(demo + "/button_right_" + state + ".tga");
    }

    ok = ok && panel(400, 250, 18, 3, {230, 180, 80, 255}, {40, 55, 95, 245}, {20, 28, 55, 245})
                   .write(demo + "/panel.tga");
    ok = ok && panel(480, 220, 12, 2, {255, 255, 255, 120}, {20, 30, 60, 170}, {10, 15, 35, 190})
                   .write(demo + "/plate.tga");

    // A five-pointed star with a soft golden shading.
    const int size = 48;
    Image star(size, size);
    const double c = (size - 1) / 2.0, outer = size / 2.0 - 1, inner = outer * 0.45;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double px = x + (sx + 0.5) / 4 - c, py = y + (sy + 0.5) / 4 - c;
                    const double angle = std::atan2(py, px) + M_PI / 2;
                    const double sector = std::fmod(angle + 4 * M_PI, 2 * M_PI / 5) / (2 * M_PI / 5);
                    const double edge = inner + (outer - inner) * std::fabs(1 - 2 * sector);
                    hits += std::hypot(px, py) <= edge ? 1 : 0;
                }
            if (!hits) continue;
            const double light = 1 - std::hypot(x - c * 0.7, y - c * 0.7) / (size * 0.9);
            star.set(x, y, mix({200, 120, 10, 255}, {255, 240, 150, 255}, std::clamp(light, 0.0, 1.0)),
                     hits / 16.0);
        }
    return ok && star.write(demo + "/spinner.tga");
}
