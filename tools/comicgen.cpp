// Draws the comics' pictures: the scene backdrops (JPEG), the characters, speech bubble, lamp
// glow and four-frame sparkle (TGA with alpha), the letterbox bars and the dark end-fade image.
#include "tools/tga_write.h"

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint8_t byteOf(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// Straight colour and alpha, rows top first.
struct Image {
    int w, h;
    std::vector<Rgb> rgb;
    std::vector<double> alpha;

    Image(int width, int height, Rgb fill, double a)
        : w(width), h(height), rgb(static_cast<size_t>(width) * height, fill),
          alpha(static_cast<size_t>(width) * height, a) {}

    void blend(int x, int y, Rgb c, double k) {
        if (x < 0 || y < 0 || x >= w || y >= h || k <= 0.0) return;
        const size_t i = static_cast<size_t>(y) * w + x;
        const double a0 = alpha[i], a = k + a0 * (1.0 - k), keep = a0 * (1.0 - k);
        rgb[i] = {(c.r * k + rgb[i].r * keep) / a, (c.g * k + rgb[i].g * keep) / a,
                  (c.b * k + rgb[i].b * keep) / a};
        alpha[i] = a;
    }
    // Any shape by an inside test, 4 x 4 samples a pixel.
    void shape(const std::function<bool(double, double)>& inside, Rgb c, double k = 1.0) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int hits = 0;
                for (int s = 0; s < 16; ++s) hits += inside(x + (s % 4 + 0.5) / 4, y + (s / 4 + 0.5) / 4);
                if (hits) blend(x, y, c, k * hits / 16.0);
            }
    }
    void rect(double x0, double y0, double x1, double y1, Rgb c, double k = 1.0) {
        shape([=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, c, k);
    }
    void disc(double cx, double cy, double r, Rgb c, double k = 1.0) {
        shape([=](double x, double y) { return std::hypot(x - cx, y - cy) < r; }, c, k);
    }
    void ellipse(double cx, double cy, double rx, double ry, Rgb c, double k = 1.0) {
        shape([=](double x, double y) {
            const double dx = (x - cx) / rx, dy = (y - cy) / ry;
            return dx * dx + dy * dy < 1.0;
        }, c, k);
    }
    void gradient(Rgb top, Rgb bottom, int y0, int y1) {
        for (int y = y0; y < y1 && y < h; ++y)
            for (int x = 0; x < w; ++x) blend(x, y, mix(top, bottom, double(y - y0) / (y1 - y0)), 1.0);
    }
    std::vector<uint8_t> bgra() const {
        std::vector<uint8_t> out;
        for (size_t i = 0; i < rgb.size(); ++i) {
            out.push_back(byteOf(rgb[i].b));
            out.push_back(byteOf(rgb[i].g));
            out.push_back(byteOf(rgb[i].r));
            out.push_back(byteOf(alpha[i] * 255.0));
        }
        return out;
    }
};

bool writeJpeg(const std::string& path, const Image& im) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        perror(path.c_str());
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(im.w);
    cinfo.image_height = static_cast<JDIMENSION>(im.h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 88, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(im.w) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const size_t y = cinfo.next_scanline;
        for (int x = 0; x < im.w; ++x) {
            const Rgb& c = im.rgb[y * im.w + x];
            row[x * 3] = byteOf(c.r);
            row[x * 3 + 1] = byteOf(c.g);
            row[x * 3 + 2] = byteOf(c.b);
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return fclose(f) == 0;
}

bool writeRgba(const std::string& path, const Image& im) {
    return writeTga(path.c_str(), im.w, im.h, 32, im.bgra(), false);
}

// A small hotel front: walls, windows (some lit), a door and an awning.
void hotel(Image& im, double x0, double base, double width, double height, bool night) {
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

Image street() {
    Image im(480, 320, {0, 0, 0}, 1.0);
    im.gradient({120, 180, 240}, {230, 220, 200}, 0, 250);
    im.disc(400, 60, 30, {255, 236, 160});
    im.rect(0, 250, 480, 320, {150, 140, 130});
    hotel(im, 110, 260, 260, 220, false);
    return im;
}

Image lobby() {
    Image im(480, 320, {0, 0, 0}, 1.0);
    im.gradient({180, 140, 110}, {120, 90, 70}, 0, 220);
    im.gradient({110, 60, 50}, {70, 40, 30}, 220, 320);
    im.rect(300, 150, 470, 230, {90, 55, 35});       // front desk
    im.rect(300, 140, 470, 152, {200, 160, 90});
    im.disc(385, 134, 8, {230, 200, 80});             // desk bell
    for (int i = 0; i < 4; ++i) im.rect(40 + i * 60, 40, 80 + i * 60, 110, {140, 110, 80});
    im.ellipse(120, 290, 110, 16, {160, 40, 40});     // rug
    return im;
}

Image night() {
    Image im(480, 320, {0, 0, 0}, 1.0);
    im.gradient({10, 15, 50}, {50, 40, 90}, 0, 260);
    for (int i = 0; i < 40; ++i) im.disc((i * 97) % 480, (i * 53) % 200, 1.2, {255, 255, 230});
    im.disc(80, 60, 24, {240, 240, 210});
    im.rect(0, 260, 480, 320, {40, 40, 55});
    hotel(im, 110, 270, 260, 230, true);
    return im;
}

Image paper() {
    Image im(1024, 768, {0, 0, 0}, 1.0);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            const double v = 0.5 + 0.5 * std::sin(x * 0.01 + y * 0.013) * std::cos(y * 0.007);
            im.blend(x, y, mix({238, 226, 200}, {222, 205, 175}, v), 1.0);
        }
    return im;
}

// A standing figure: hair, head, body in the given colour, arms and legs.
Image figure(Rgb body, Rgb hair, bool cap) {
    Image im(96, 160, {0, 0, 0}, 0.0);
    im.rect(30, 120, 42, 158, {60, 50, 60});
    im.rect(54, 120, 66, 158, {60, 50, 60});
    im.ellipse(48, 92, 28, 38, body);
    im.rect(14, 66, 24, 116, body);
    im.rect(72, 66, 82, 116, body);
    im.disc(48, 36, 22, hair);
    im.disc(48, 42, 19, {250, 214, 180});
    im.disc(41, 40, 2.5, {40, 30, 30});
    im.disc(55, 40, 2.5, {40, 30, 30});
    im.ellipse(48, 51, 6, 2.5, {190, 80, 80});
    if (cap) im.rect(28, 12, 68, 24, {180, 40, 40});
    return im;
}

Image bubble() {
    Image im(280, 120, {0, 0, 0}, 0.0);
    im.shape([](double x, double y) {
        const double rx = std::max(std::fabs(x - 140) - 110, 0.0), ry = std::max(std::fabs(y - 50) - 20, 0.0);
        return std::hypot(rx, ry) < 26;
    }, {250, 250, 245});
    im.shape([](double x, double y) { return y >= 90 && y < 118 && x > 60 && x < 60 + (118 - y) * 0.9; },
             {250, 250, 245});
    return im;
}

Image glow() {
    Image im(128, 128, {0, 0, 0}, 1.0);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double d = std::hypot(x + 0.5 - 64, y + 0.5 - 64) / 64;
            const double k = std::exp(-d * d * 4.0);
            im.rgb[y * 128 + x] = {255 * k, 200 * k, 110 * k};
        }
    return im;
}

// Four frames one below the other: a four-pointed sparkle turning a quarter of its period.
Image sparkle() {
    Image im(64, 256, {0, 0, 0}, 0.0);
    for (int f = 0; f < 4; ++f) {
        const double turn = f * 3.14159265 / 8, cy = 32 + f * 64;
        im.shape([=](double x, double y) {
            const double dx = x - 32, dy = y - cy;
            const double a = std::atan2(dy, dx) - turn, r = std::hypot(dx, dy);
            return r < 6 + 22 * std::pow(std::fabs(std::cos(2 * a)), 8);
        }, {255, 250, 200});
    }
    return im;
}

// The letterbox bars: dark with a thin gold edge (drawn tinted black in the game).
Image frameBar() {
    Image im(1024, 48, {20, 16, 12}, 1.0);
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
    const bool ok = writeJpeg(d + "street.jpg", street()) && writeJpeg(d + "lobby.jpg", lobby()) &&
                    writeJpeg(d + "night.jpg", night()) && writeJpeg(d + "paper.jpg", paper()) &&
                    writeJpeg(d + "FrameH.jpg", frameBar()) &&
                    writeRgba(d + "zuna.tga", figure({90, 160, 120}, {70, 40, 30}, false)) &&
                    writeRgba(d + "guest.tga", figure({80, 90, 160}, {200, 180, 90}, false)) &&
                    writeRgba(d + "porter.tga", figure({170, 50, 50}, {40, 30, 30}, true)) &&
                    writeRgba(d + "bubble.tga", bubble()) &&
                    writeTga((d + "glow.tga").c_str(), 128, 128, 32, glow().bgra(), false) &&
                    writeRgba(d + "sparkle.tga", sparkle()) &&
                    writeRgba(d + "darkness.tga", Image(16, 16, {0, 0, 0}, 1.0));
    return ok ? 0 : 1;
}
