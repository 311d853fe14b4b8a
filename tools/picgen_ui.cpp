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
    Image slice(int x0, int x1) const { return part(x0, 0, x1, h); }
    // The rectangle [x0, x1) x [y0, y1) as an image of its own.
    Image part(int x0, int y0, int x1, int y1) const {
        Image out(x1 - x0, y1 - y0);
        for (int y = y0; y < y1; ++y)
            std::copy_n(&px[(static_cast<size_t>(y) * w + x0) * 4], (x1 - x0) * 4,
                        &out.px[static_cast<size_t>(y - y0) * out.w * 4]);
        return out;
    }
    // Frames of the same size one below the other, the first on top.
    static Image strip(const std::vector<Image>& frames) {
        Image out(frames[0].w, frames[0].h * static_cast<int>(frames.size()));
        for (size_t i = 0; i < frames.size(); ++i)
            std::copy(frames[i].px.begin(), frames[i].px.end(),
                      out.px.begin() + static_cast<long>(i * frames[i].px.size()));
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

// Inside the triangle (ax, ay), (bx, by), (cx, cy), either winding.
bool insideTriangle(double x, double y, double ax, double ay, double bx, double by, double cx,
                    double cy) {
    const double d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by);
    const double d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy);
    const double d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay);
    return !((d1 < 0 || d2 < 0 || d3 < 0) && (d1 > 0 || d2 > 0 || d3 > 0));
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

// The options panel: nine frame pieces sliced from one rounded panel, the switch's two pictures,
// the selector's arrows, the bar's empty and filled tracks and thumb, and the edit box's caps
// and middle.
bool drawPanelPieces(const std::string& demo) {
    const int corner = 24, edge = 8, whole = 2 * corner + edge;
    const Image frame = panel(whole, whole, 20, 4, {230, 180, 80, 255}, {45, 60, 100, 240},
                              {25, 32, 60, 240});
    const int cut[4] = {0, corner, corner + edge, whole};
    const char* names[3][3] = {{"left_top", "top", "right_top"},
                               {"left", "center", "right"},
                               {"left_bottom", "bottom", "right_bottom"}};
    bool ok = true;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            ok = ok && frame.part(cut[c], cut[r], cut[c + 1], cut[r + 1])
                           .write(demo + "/frame_" + names[r][c] + ".tga");

    for (int on = 0; on < 2; ++on) {
        Image sw = panel(80, 32, 16, 2, {20, 30, 50, 255},
                         on ? Colour{90, 200, 110, 255} : Colour{150, 150, 150, 255},
                         on ? Colour{40, 140, 60, 255} : Colour{100, 100, 100, 255});
        const double knob = on ? 64 : 16;
        fill(sw, [&](double x, double y) { return std::hypot(x - knob, y - 16) < 12; },
             {250, 250, 250, 255});
        ok = ok && sw.write(demo + (on ? "/switch_on.tga" : "/switch_off.tga"));
    }
    for (int right = 0; right < 2; ++right) {
        Image a(24, 32);
        fill(a, [&](double x, double y) {
            return right ? insideTriangle(x, y, 4, 4, 4, 28, 21, 16)
                         : insideTriangle(x, y, 20, 4, 20, 28, 3, 16);
        }, {255, 210, 110, 255});
        ok = ok && a.write(demo + (right ? "/arrow_right.tga" : "/arrow_left.tga"));
    }
    ok = ok && panel(240, 16, 8, 2, {20, 30, 50, 255}, {70, 80, 100, 255}, {50, 60, 80, 255})
                   .write(demo + "/track_empty.tga") &&
         panel(240, 16, 8, 2, {90, 60, 10, 255}, {255, 210, 110, 255}, {230, 150, 40, 255})
             .write(demo + "/track_filled.tga") &&
         panel(20, 28, 6, 2, {20, 30, 50, 255}, {250, 250, 250, 255}, {190, 200, 220, 255})
             .write(demo + "/thumb.tga");
    const Image box = panel(28, 36, 10, 2, {230, 180, 80, 255}, {15, 20, 35, 255}, {25, 30, 50, 255});
    return ok && box.slice(0, 12).write(demo + "/edit_left.tga") &&
           box.slice(12, 16).write(demo + "/edit_mid.tga") &&
           box.slice(16, 28).write(demo + "/edit_right.tga");
}

struct ButtonLook {
    const char* state;
    Colour edge, top, bottom;
};

}  // namespace

bool drawUiPictures(const std::string& data) {
    const std::string fx = data + "/Fx", demo = data + "/Menu/UIDemo";
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
    return ok && star.write(demo + "/spinner.tga") && drawCursors(data + "/cursor") &&
           drawPanelPieces(demo);
}
