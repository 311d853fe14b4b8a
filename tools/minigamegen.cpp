// Draws the mini-games' pictures into Data/MiniGame/Pictures: a scene per episode, the broken,
// fixed, outline and small icon looks of eight things per episode, the darkness and its spot,
// the wait clock, cells, the cart, customer cells and portraits, the hearts bar, the check, the
// coin, the click animation strip and the tool cursors, in the palette of the art style.
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/canvas.h"
#include "tools/tga_write.h"

namespace {

using picgen::Canvas;
using picgen::Rgb;
using picgen::mix;

constexpr double kPi = 3.14159265358979;

const Rgb kInk{0x3b, 0x2a, 0x24}, kCream{0xff, 0xf4, 0xe0}, kSand{0xf3, 0xd9, 0xb1},
    kHoney{0xf2, 0xb8, 0x4b}, kMustard{0xd9, 0x96, 0x2c}, kCoral{0xe0, 0x70, 0x4f},
    kBrick{0xb8, 0x45, 0x3a}, kTeal{0x3e, 0x9c, 0x96},
    kLeaf{0x8d, 0xbf, 0x6a}, kMoss{0x5a, 0x94, 0x47}, kSky{0x8c, 0xcb, 0xe8},
    kOakLight{0xd9, 0xa0, 0x66}, kOak{0xb8, 0x7a, 0x45}, kWalnut{0x8a, 0x55, 0x30},
    kDusk{0x9c, 0x8c, 0x94}, kSkin{0xf6, 0xcf, 0xa8};

std::string gDir;

bool save(const std::string& name, const Canvas& c, bool alpha = true) {
    const std::string path = gDir + "/" + name;
    return writeTga(path.c_str(), c.w, c.h, alpha ? 32 : 24, c.bytes(true, alpha), true);
}

// Inside tests.
auto roundRect(double x0, double y0, double x1, double y1, double r) {
    return [=](double x, double y) {
        const double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
        return x >= x0 && x <= x1 && y >= y0 && y <= y1 &&
               (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
}
auto ellipse(double cx, double cy, double rx, double ry) {
    return [=](double x, double y) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
}
auto flat(Rgb c) {
    return [c](double, double) { return c; };
}

// A filled shape with an Ink outline of width w around it.
template <typename Inside>
void outlined(Canvas& c, Inside inside, Rgb fill, double w) {
    auto grown = [&](double x, double y) {
        for (int k = 0; k < 8; ++k) {
            const double a = k * kPi / 4;
            if (inside(x + w * std::cos(a), y + w * std::sin(a))) return true;
        }
        return inside(x, y);
    };
    c.shape(0, 0, c.w, c.h, grown, flat(kInk));
    c.shape(0, 0, c.w, c.h, inside, flat(fill));
}

// The eight things of an episode, each in a box of size s: lamp, chair, vase, picture, clock,
// plant, suitcase, teapot, by number.
void drawThing(Canvas& c, int kind, double s, Rgb colour, double ox = 0, double oy = 0) {
    const double u = s / 80.0;
    auto X = [&](double v) { return ox + v * u; };
    auto Y = [&](double v) { return oy + v * u; };
    const Rgb shade = mix(colour, kInk, 0.3);
    switch (kind % 8) {
    case 0:  // lamp
        outlined(c, roundRect(X(36), Y(36), X(44), Y(70), 2 * u), kWalnut, 2 * u);
        outlined(c, roundRect(X(24), Y(66), X(56), Y(74), 3 * u), kWalnut, 2 * u);
        outlined(c, [&](double x, double y) {
            const double t = (y - Y(10)) / (30 * u);
            return t >= 0 && t <= 1 && std::fabs(x - X(40)) <= (12 + 14 * t) * u;
        }, colour, 2 * u);
        break;
    case 1:  // chair
        outlined(c, roundRect(X(18), Y(8), X(62), Y(44), 6 * u), colour, 2 * u);
        outlined(c, roundRect(X(14), Y(40), X(66), Y(54), 4 * u), shade, 2 * u);
        outlined(c, roundRect(X(18), Y(52), X(26), Y(74), 2 * u), kWalnut, 2 * u);
        outlined(c, roundRect(X(54), Y(52), X(62), Y(74), 2 * u), kWalnut, 2 * u);
        break;
    case 2:  // vase
        outlined(c, ellipse(X(40), Y(50), 20 * u, 24 * u), colour, 2 * u);
        outlined(c, roundRect(X(30), Y(10), X(50), Y(30), 4 * u), shade, 2 * u);
        break;
    case 3:  // picture
        outlined(c, roundRect(X(10), Y(14), X(70), Y(66), 4 * u), kOak, 2 * u);
        c.shape(0, 0, c.w, c.h, roundRect(X(18), Y(22), X(62), Y(58), 2 * u), flat(kSky));
        c.shape(0, 0, c.w, c.h, ellipse(X(40), Y(62), 26 * u, 14 * u), flat(colour));
        break;
    case 4:  // clock
        outlined(c, ellipse(X(40), Y(40), 30 * u, 30 * u), colour, 2 * u);
        c.shape(0, 0, c.w, c.h, ellipse(X(40), Y(40), 23 * u, 23 * u), flat(kCream));
        c.rect(static_cast<int>(X(39)), static_cast<int>(Y(22)), static_cast<int>(X(42)),
               static_cast<int>(Y(41)), kInk);
        c.rect(static_cast<int>(X(39)), static_cast<int>(Y(39)), static_cast<int>(X(54)),
               static_cast<int>(Y(42)), kInk);
        break;
    case 5:  // plant
        outlined(c, roundRect(X(26), Y(48), X(54), Y(74), 4 * u), kBrick, 2 * u);
        outlined(c, ellipse(X(30), Y(30), 14 * u, 20 * u), colour, 2 * u);
        outlined(c, ellipse(X(50), Y(26), 14 * u, 22 * u), shade, 2 * u);
        break;
    case 6:  // suitcase
        outlined(c, roundRect(X(30), Y(10), X(50), Y(24), 4 * u), kWalnut, 2 * u);
        outlined(c, roundRect(X(10), Y(20), X(70), Y(70), 6 * u), colour, 2 * u);
        c.rect(static_cast<int>(X(10)), static_cast<int>(Y(42)), static_cast<int>(X(70)),
               static_cast<int>(Y(46)), shade);
        break;
    default:  // teapot
        outlined(c, ellipse(X(40), Y(48), 26 * u, 22 * u), colour, 2 * u);
        outlined(c, roundRect(X(62), Y(36), X(76), Y(44), 3 * u), colour, 2 * u);
        outlined(c, ellipse(X(40), Y(24), 8 * u, 6 * u), shade, 2 * u);
        break;
    }
    // One small shine, top left.
    c.shape(0, 0, c.w, c.h, ellipse(X(28), Y(24), 4 * u, 3 * u),
            [](double, double) { return kCream; });
}

const Rgb kThingColours[8] = {kHoney, kCoral, kTeal, kLeaf, kCoral, kLeaf, kTeal, kHoney};

// The broken look: greyed, with a crack across.
void breakUp(Canvas& c) {
    for (size_t i = 0; i < c.rgb.size(); ++i) c.rgb[i] = mix(c.rgb[i], kDusk, 0.55);
    for (int t = 0; t < 60; ++t) {
        const double x = 20 + t * 0.7, y = 14 + t + 4 * std::sin(t * 0.7);
        for (int d = -1; d <= 1; ++d)
            if (c.alpha[static_cast<size_t>(y) * c.w + static_cast<size_t>(x + d)] > 0.5)
                c.blend(static_cast<int>(x) + d, static_cast<int>(y), kInk, 1.0);
    }
}

// A soft Honey ring around the thing's silhouette, 8 pixels wider on each side.
Canvas strokeOf(const Canvas& thing) {
    Canvas out(thing.w + 8, thing.h + 8, kHoney, 0.0);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            double best = 0;
            for (int dy = -4; dy <= 4; ++dy)
                for (int dx = -4; dx <= 4; ++dx) {
                    const int sx = x - 4 + dx, sy = y - 4 + dy;
                    if (sx < 0 || sy < 0 || sx >= thing.w || sy >= thing.h) continue;
                    if (dx * dx + dy * dy > 16) continue;
                    best = std::max(best, thing.alpha[static_cast<size_t>(sy) * thing.w + sx]);
                }
            out.alpha[static_cast<size_t>(y) * out.w + x] = best * 0.9;
        }
    return out;
}

bool things(int episode) {
    bool ok = true;
    for (int i = 0; i < 8; ++i) {
        const int kind = (i + episode * 3) % 8;
        const Rgb colour = kThingColours[(i + episode) % 8];
        const std::string stem = "e" + std::to_string(episode) + "_" + std::to_string(i);
        Canvas fixed(80, 80, kCream, 0.0);
        drawThing(fixed, kind, 80, colour);
        Canvas broken = fixed;
        breakUp(broken);
        Canvas icon(48, 48, kCream, 0.0);
        outlined(icon, ellipse(24, 24, 21, 21), kCream, 2);
        drawThing(icon, kind, 36, colour, 6, 6);
        ok = ok && save(stem + "_fixed.tga", fixed) &&
             save(stem + "_broken.tga", episode == 4 ? fixed : broken) &&
             save(stem + "_stroke.tga", strokeOf(fixed)) && save(stem + "_icon.tga", icon);
    }
    return ok;
}

// A room of the episode: a wall with a window and a floor, the upper part lit.
bool scene(int episode) {
    const Rgb walls[5] = {kSand, kSand, mix(kSky, kCream, 0.5), mix(kLeaf, kCream, 0.6),
                          mix(kHoney, kCream, 0.6)};
    Canvas c(1024, 768, walls[episode], 1.0);
    for (int y = 0; y < 768; ++y)
        c.rect(0, y, 1024, y + 1, mix(walls[episode], kInk, 0.12 * y / 768.0));
    c.rect(0, 470, 1024, 768, kOakLight);
    for (int x = 0; x < 1024; x += 96) c.rect(x, 470, x + 3, 768, kOak);
    c.rect(0, 466, 1024, 474, kWalnut);
    outlined(c, roundRect(600, 60, 860, 260, 12), kSky, 3);
    c.rect(727, 60, 733, 260, kOak);
    c.rect(600, 157, 860, 163, kOak);
    outlined(c, roundRect(80, 40, 360, 110, 16), kCream, 3);  // the goal plate
    return save("e" + std::to_string(episode) + "_scene.tga", c, false);
}

bool pieces() {
    bool ok = true;
    Canvas dark(16, 16, kInk, 0.85);
    ok = ok && save("darkness.tga", dark);
    Canvas spot(128, 128, kInk, 0.0);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double d = std::hypot(x - 63.5, y - 63.5) / 64.0;
            spot.alpha[static_cast<size_t>(y) * 128 + x] =
                0.85 * std::clamp((d - 0.55) / 0.45, 0.0, 1.0);
        }
    ok = ok && save("spot.tga", spot);
    Canvas clock(72, 72, kCream, 0.0);
    outlined(clock, ellipse(36, 38, 30, 30), kCoral, 3);
    clock.shape(0, 0, 72, 72, ellipse(36, 38, 23, 23), flat(kCream));
    outlined(clock, roundRect(30, 2, 42, 10, 3), kHoney, 2);
    ok = ok && save("clock.tga", clock);
    Canvas cell(72, 72, kCream, 0.0);
    outlined(cell, roundRect(4, 4, 68, 68, 14), mix(kCream, kSand, 0.5), 3);
    ok = ok && save("cell.tga", cell);
    Canvas left(72, 72, kCream, 0.0);
    outlined(left, roundRect(4, 4, 68, 68, 14), kHoney, 3);
    ok = ok && save("left_cell.tga", left);
    Canvas cart(520, 170, kCream, 0.0);
    outlined(cart, roundRect(10, 20, 510, 130, 18), kOakLight, 3);
    cart.rect(14, 70, 506, 76, kOak);
    outlined(cart, ellipse(70, 145, 20, 20), kInk, 2);
    outlined(cart, ellipse(450, 145, 20, 20), kInk, 2);
    ok = ok && save("cart.tga", cart);
    Canvas slot(166, 40, kCream, 0.0);
    outlined(slot, roundRect(6, 4, 160, 36, 10), kOak, 3);
    ok = ok && save("slot.tga", slot);
    Canvas customer(160, 130, kCream, 0.0);
    outlined(customer, roundRect(4, 4, 156, 126, 20), kCream, 3);
    outlined(customer, ellipse(112, 44, 34, 28), kSand, 2);  // the bubble
    ok = ok && save("customer_cell.tga", customer);
    Canvas holder(76, 76, kCream, 0.0);
    outlined(holder, ellipse(38, 38, 34, 34), kHoney, 3);
    holder.shape(0, 0, 76, 76, ellipse(38, 38, 28, 28), [](double, double) { return kCream; });
    for (size_t i = 0; i < holder.alpha.size(); ++i)
        if (holder.rgb[i].r == kCream.r && holder.rgb[i].b == kCream.b) holder.alpha[i] = 0;
    ok = ok && save("faceholder.tga", holder);
    for (int mood = 0; mood < 2; ++mood)
        for (int who = 0; who < 3; ++who) {
            const Rgb skins[3] = {kSkin, {0xd9, 0x9a, 0x6c}, {0x9a, 0x62, 0x44}};
            const Rgb hair[3] = {kWalnut, kInk, kMustard};
            Canvas face(64, 64, kCream, 0.0);
            outlined(face, ellipse(32, 26, 24, 18), hair[who], 2);
            outlined(face, ellipse(32, 36, 22, 22), skins[who], 2);
            face.shape(0, 0, 64, 64, ellipse(24, 34, 2.5, 3), flat(kInk));
            face.shape(0, 0, 64, 64, ellipse(40, 34, 2.5, 3), flat(kInk));
            const double bend = mood == 0 ? 1.0 : -1.0;
            face.shape(0, 0, 64, 64, [bend](double x, double y) {
                const double t = (x - 32) / 9;
                return std::fabs(t) <= 1 && std::fabs(y - (46 + bend * 4 * (1 - t * t))) <= 1.3;
            }, flat(kInk));
            if (mood == 1) {
                face.rect(18, 27, 28, 29, kInk);
                face.rect(36, 27, 46, 29, kInk);
            }
            ok = ok && save(std::string(mood == 0 ? "happy" : "angry") + std::to_string(who) +
                                ".tga",
                            face);
        }
    Canvas empty(100, 14, kCream, 0.0), full(100, 14, kCream, 0.0);
    outlined(empty, roundRect(2, 2, 98, 12, 5), mix(kCream, kDusk, 0.4), 2);
    outlined(full, roundRect(2, 2, 98, 12, 5), kCoral, 2);
    ok = ok && save("hearts_empty.tga", empty) && save("hearts_full.tga", full);
    Canvas check(32, 32, kCream, 0.0);
    check.shape(0, 0, 32, 32, [](double x, double y) {
        const bool a = x >= 4 && x <= 14 && std::fabs((y - 16) - (x - 4)) <= 3.5;
        const bool b = x >= 12 && x <= 29 && std::fabs((y - 26) + (x - 12) * 1.2) <= 3.5;
        return a || b;
    }, flat(kMoss));
    ok = ok && save("check.tga", check);
    Canvas coin(28, 28, kCream, 0.0);
    outlined(coin, ellipse(14, 14, 11, 11), kHoney, 2);
    coin.shape(0, 0, 28, 28, ellipse(14, 14, 6, 7), flat(kMustard));
    coin.shape(0, 0, 28, 28, ellipse(10, 9, 2.5, 2), flat(kCream));
    ok = ok && save("coin.tga", coin);
    // The click: a ring that widens and fades over eight frames, stacked downwards.
    Canvas strip(64, 64 * 8, kCream, 0.0);
    for (int f = 0; f < 8; ++f) {
        const double r = 8 + f * 3.2, k = 1.0 - f / 8.0;
        strip.shape(0, f * 64, 64, f * 64 + 64, [=](double x, double y) {
            return std::fabs(std::hypot(x - 32, y - f * 64 - 32) - r) <= 2.5;
        }, flat(kHoney));
        for (int y = f * 64; y < f * 64 + 64; ++y)
            for (int x = 0; x < 64; ++x) strip.alpha[static_cast<size_t>(y) * 64 + x] *= k;
    }
    ok = ok && save("click.tga", strip);
    return ok;
}

// The tool cursors, 40 x 40 with the hot spot in the tool's tip: wrench, glove, tray, magnet.
bool tools() {
    bool ok = true;
    Canvas wrench(40, 40, kCream, 0.0);
    outlined(wrench, [](double x, double y) {
        const double u = (x + y) / std::sqrt(2.0), v = (x - y) / std::sqrt(2.0);
        return u > 10 && u < 52 && std::fabs(v) < 3.5;
    }, kDusk, 2);
    outlined(wrench, ellipse(9, 9, 8, 8), kDusk, 2);
    wrench.shape(0, 0, 40, 40, ellipse(5, 5, 4, 4), [](double, double) { return kCream; });
    ok = ok && save("tool_wrench.tga", wrench);
    Canvas glove(40, 40, kCream, 0.0);
    outlined(glove, roundRect(6, 14, 30, 36, 8), kCream, 2);
    outlined(glove, roundRect(8, 2, 15, 20, 3), kCream, 2);
    outlined(glove, roundRect(17, 4, 24, 20, 3), kCream, 2);
    ok = ok && save("tool_glove.tga", glove);
    Canvas tray(40, 40, kCream, 0.0);
    outlined(tray, ellipse(20, 26, 18, 7), kHoney, 2);
    outlined(tray, roundRect(17, 6, 23, 22, 2), kHoney, 2);
    ok = ok && save("tool_tray.tga", tray);
    Canvas magnet(40, 40, kCream, 0.0);
    outlined(magnet, [](double x, double y) {
        const double d = std::hypot(x - 20, y - 24);
        return (d > 7 && d < 15 && y > 24) || ((std::fabs(x - 9) < 4 || std::fabs(x - 31) < 4) && y > 6 && y <= 24);
    }, kCoral, 2);
    magnet.rect(5, 4, 13, 10, kCream);
    magnet.rect(27, 4, 35, 10, kCream);
    ok = ok && save("tool_magnet.tga", magnet);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: minigamegen <Data/MiniGame/Pictures folder>\n");
        return 2;
    }
    gDir = argv[1];
    bool ok = pieces() && tools();
    for (int e = 1; e <= 4; ++e) ok = ok && scene(e) && things(e);
    return ok ? 0 : 1;
}
