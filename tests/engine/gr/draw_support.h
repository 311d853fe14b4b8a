// Hand-built sprites, a draw target and log reading for the drawing tests.
#pragma once

#include "engine/gr/sprite.h"
#include "tests/support/own_folder.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace drawtest {

// Materials are written in the tests in memory order [alpha source, colour op, 1, combine].
inline sMaterial mem(int b0, int b1, int b2, int b3) {
    return sMaterial(static_cast<uint8_t>(b1), static_cast<uint8_t>(b0), static_cast<uint8_t>(b2),
                     static_cast<uint8_t>(b3));
}

// A sprite in plain memory: the pixel and alpha lists repeat over all frames' pixels.
inline std::unique_ptr<CSpriteExt> makeSprite(int w, int h, const std::vector<uint16_t>& px,
                                              const std::vector<uint8_t>& alpha = {},
                                              int frames = 1) {
    auto s = std::make_unique<CSpriteExt>();
    s->width = static_cast<int16_t>(w);
    s->height = static_cast<int16_t>(h);
    s->frames = static_cast<uint16_t>(frames);
    s->fullHeight = static_cast<int16_t>(h * frames);
    s->pitch = static_cast<uint16_t>(2 * w);
    size_t n = static_cast<size_t>(w) * h * frames;
    s->pixels = static_cast<uint16_t*>(malloc(n * 2));
    for (size_t i = 0; i < n; ++i) s->pixels[i] = px.empty() ? 0 : px[i % px.size()];
    if (!alpha.empty()) {
        s->alpha = static_cast<uint8_t*>(malloc(n));
        for (size_t i = 0; i < n; ++i) s->alpha[i] = alpha[i % alpha.size()];
    }
    s->clipX1 = static_cast<int16_t>(w);
    s->clipY1 = static_cast<int16_t>(h);
    strcpy(s->imageFile, "pic.tga");
    return s;
}

// The draw target for one test, filled with one value.
struct Canvas {
    std::unique_ptr<CSpriteExt> sprite;
    Canvas(int w, int h, uint16_t fill = 0) : sprite(makeSprite(w, h, {fill})) {
        grSetTarget(sprite.get());
    }
    ~Canvas() { grSetTarget(nullptr); }
    uint16_t at(int x, int y) const { return sprite->pixels[y * sprite->width + x]; }
    // One character per pixel: '.' for the fill, the index of the value in values, else '?'.
    std::string picture(uint16_t fill, const std::vector<uint16_t>& values) const {
        std::string out;
        for (int y = 0; y < sprite->height; ++y) {
            for (int x = 0; x < sprite->width; ++x) {
                uint16_t v = at(x, y);
                char c = v == fill ? '.' : '?';
                for (size_t i = 0; i < values.size() && c == '?'; ++i)
                    if (values[i] == v) c = static_cast<char>('0' + i);
                out += c;
            }
            out += '\n';
        }
        return out;
    }
};

inline std::string logText() {
    std::ifstream in("gerr.log", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace drawtest
