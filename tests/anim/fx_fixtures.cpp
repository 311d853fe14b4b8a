// Effect test fixtures.
#include "tests/anim/fx_fixtures.h"

#include <cstring>

#include "engine/data/ini.h"

namespace fxtest {

ParticleParams quietParams() {
    ParticleParams p;
    std::memset(&p, 0, sizeof p);
    p.duration = -1;
    p.lifeMin = p.lifeMax = 100;
    p.sizeStart = p.sizeEnd = 1;
    for (int c = 0; c < 4; ++c) p.startColour[c] = p.endColour[c] = 1;
    return p;
}

std::string particleBytes(const ParticleParams& p) {
    float f[32] = {};
    f[2] = p.duration;
    f[3] = p.lifeMin;
    f[4] = p.lifeMax;
    f[5] = p.direction;
    f[6] = p.spread;
    const float rest[] = {p.speedMin,     p.speedMax,      p.gravityMin,    p.gravityMax,
                          p.radialMin,    p.radialMax,     p.tangentialMin, p.tangentialMax,
                          p.sizeStart,    p.sizeEnd,       p.sizeVariance,  p.spinStart,
                          p.spinEnd,      p.spinVariance,  p.startColour[0], p.startColour[1],
                          p.startColour[2], p.startColour[3], p.endColour[0], p.endColour[1],
                          p.endColour[2], p.endColour[3],  p.colourVariance, p.alphaVariance};
    for (int i = 0; i < 24; ++i) f[8 + i] = rest[i];
    std::string out(128, '\0');
    for (int i = 0; i < 32; ++i) {
        uint32_t w;
        std::memcpy(&w, &f[i], 4);
        if (i == 1) w = static_cast<uint32_t>(p.rate);
        if (i == 7) w = p.follow;
        for (int b = 0; b < 4; ++b) out[i * 4 + b] = static_cast<char>(w >> (8 * b));
    }
    return out;
}

void writeParticleFile(const std::string& name, const ParticleParams& p) {
    writeText(name, particleBytes(p));
}

void writeSolidSprite(const std::string& name, int width, int height, Rgb colour) {
    writeTga24(name, width, height, [&](int, int) { return colour; });
}

void writeFxIni(const std::string& text) {
    writeText(kFxIni, text);
    iniFreeAll();
}

}  // namespace fxtest
