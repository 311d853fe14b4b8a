// Speed of text drawing: a frame of 200 lines of 40 glyphs into a 1024 x 768 RGB565 target,
// beside a reference loop that blends the same glyph rectangles with no clipping or dispatch.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/gr/font.h"
#include "engine/gr/gr.h"
#include "engine/gr/image.h"
#include "bench/synthetic_font.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kLines = 200;
constexpr char kLine[] = "HotelVelmora:CheckInRoomServiceLuggage42";
static_assert(sizeof kLine - 1 == 40, "40 glyphs a line");

// The synthetic font in a folder of its own; its image's name, empty when it cannot be written.
std::string syntheticFontFile() {
    char folder[] = "/tmp/velmora_bench_text_XXXXXX";
    if (!mkdtemp(folder)) return "";
    const std::string base = std::string(folder) + "/synthetic";
    return writeSyntheticFont(base) ? base + ".tga" : "";
}

struct Scene {
    CGraphFont* font = nullptr;
    HSPRITE target = nullptr;
    int lineX[kLines], lineY[kLines];

    Scene() {
        const char* bundled = "Data/Fonts/normal.tga";
        std::string name = access(bundled, R_OK) == 0 ? bundled : syntheticFontFile();
        font = grLoadFont(name.c_str(), nullptr);
        target = grCreateSprite(kWidth, kHeight, "bench back buffer");
        grSetTarget(target);
        const int width = grTextWidthA(font, kLine, 40);
        const int height = grFontHeight(font);
        for (int i = 0; i < kLines; ++i) {
            lineX[i] = (i * 53) % (kWidth - width);
            lineY[i] = (i * 37) % (kHeight - height);
        }
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_DrawTextA(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state)
        for (int i = 0; i < kLines; ++i)
            grDrawTextA(s.font, s.lineX[i], s.lineY[i], kLine, 0, -1, -1);
    state.SetItemsProcessed(state.iterations() * kLines * 40);
}

void BM_DrawTextExTinted(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state)
        for (int i = 0; i < kLines; ++i)
            grDrawTextExA(sMaterial(4, 4, 1, 30), s.font, s.lineX[i], s.lineY[i], kLine, 0xC0FFD080,
                          0, -1, -1);
    state.SetItemsProcessed(state.iterations() * kLines * 40);
}

void BM_DrawTextColorScaled(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state)
        for (int i = 0; i < kLines; ++i)
            grDrawTextColorA(sMaterial(2, 2, 1, 30), s.font, s.lineX[i] / 2, s.lineY[i], 1.5f, 1.5f,
                             kLine, 0xFFFFFFFF, 0, -1, -1);
    state.SetItemsProcessed(state.iterations() * kLines * 40);
}

// Reference: the same glyph rectangles blended by their alpha straight into the target's
// pixels, in one loop with nothing to decide per glyph.
void BM_ReferenceBlend(benchmark::State& state) {
    Scene& s = scene();
    CGraphFont* f = s.font;
    grLockSprite(f);
    grLockSprite(s.target);
    const int pitch = s.target->pitch / 2;
    const int fontPitch = f->pitch / 2;
    const int h = f->lineHeight;
    for (auto _ : state) {
        for (int i = 0; i < kLines; ++i) {
            int pen = s.lineX[i];
            for (const char* c = kLine; *c; ++c) {
                const int code = static_cast<unsigned char>(*c);
                const uint16_t g = f->glyph(code);
                const int w = grGlyphWordWidth(g), left = grGlyphWordLeft(g);
                const int gx = f->positions[2 * code], gy = f->positions[2 * code + 1];
                uint16_t* dst = s.target->pixels + s.lineY[i] * pitch + pen + left;
                for (int y = 0; y < h; ++y) {
                    const uint16_t* src = f->pixels + (gy + y) * fontPitch + gx;
                    const uint8_t* a = f->alpha ? f->alpha + (gy + y) * f->width + gx : nullptr;
                    uint16_t* d = dst + y * pitch;
                    for (int x = 0; x < w; ++x) {
                        const int k = a ? a[x] : 255;
                        if (k < 16) continue;
                        if (k >= 240) {
                            d[x] = src[x];
                            continue;
                        }
                        const int dv = d[x], sv = src[x];
                        const int r =
                            (dv & 0xF800) + ((((sv & 0xF800) - (dv & 0xF800)) * k >> 8) & 0xF800);
                        const int gg =
                            (dv & 0x07E0) + ((((sv & 0x07E0) - (dv & 0x07E0)) * k >> 8) & 0x07E0);
                        const int b =
                            (dv & 0x001F) + ((((sv & 0x001F) - (dv & 0x001F)) * k >> 8) & 0x001F);
                        d[x] = static_cast<uint16_t>(r | gg | b);
                    }
                }
                pen += left + w + grGlyphWordExtra(g);
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kLines * 40);
}

}  // namespace

BENCHMARK(BM_DrawTextA)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextExTinted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTextColorScaled)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferenceBlend)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
