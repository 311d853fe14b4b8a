// Speed of the sprite blitter on a 1024x768 RGB565 target beside SDL2's blended blit, pixman's
// OVER compositing and memcpy, all on the same pixels; speed-ups are printed at the end.
#include "engine/gr/blit.h"
#include "engine/gr/gr.h"
#include "engine/gr/sprite.h"
#include "bench/ratio_reporter.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kW = 1024, kH = 768;          // the target, and the 1:1 source
constexpr int kSmallW = 640, kSmallH = 480;  // the source stretched over the target

// Sprite-like alpha: soft-edged discs on a 64-pixel grid, about 45% opaque, 15% edge, 40% clear.
uint8_t discAlpha(int x, int y) {
    float dx = static_cast<float>(x % 64) - 31.5f, dy = static_cast<float>(y % 64) - 31.5f;
    float r = std::sqrt(dx * dx + dy * dy);
    if (r <= 24.0f) return 255;
    if (r >= 29.0f) return 0;
    return static_cast<uint8_t>(255.0f * (29.0f - r) / 5.0f);
}

uint16_t colourAt(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    return static_cast<uint16_t>(((h >> 7) & 0xFFFF) | 0x0821);  // never 0
}

struct Sprite {
    std::unique_ptr<CSpriteExt> s = std::make_unique<CSpriteExt>();
    Sprite(int w, int h, bool withAlpha, bool noise = false) {
        s->width = static_cast<int16_t>(w);
        s->height = static_cast<int16_t>(h);
        s->fullHeight = s->height;
        s->pitch = static_cast<uint16_t>(2 * w);
        s->clipX1 = static_cast<int16_t>(w);
        s->clipY1 = static_cast<int16_t>(h);
        s->pixels = static_cast<uint16_t*>(malloc(static_cast<size_t>(w) * h * 2));
        s->alpha = withAlpha ? static_cast<uint8_t*>(malloc(static_cast<size_t>(w) * h)) : nullptr;
        std::mt19937 rng(5);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                uint8_t a = noise ? static_cast<uint8_t>(rng()) : discAlpha(x, y);
                s->pixels[y * w + x] = colourAt(x, y);
                if (withAlpha) s->alpha[y * w + x] = a;
                else if (a < 128) s->pixels[y * w + x] = 0;  // colour key where it is clear
            }
        }
        s->setKeyPixels(!withAlpha);
    }
};

struct Fixture {
    Sprite target{kW, kH, false};
    Sprite alpha{kW, kH, true};
    Sprite keyed{kW, kH, false};
    Sprite noise{kW, kH, true, true};
    Sprite smallAlpha{kSmallW, kSmallH, true};
    Sprite smallKeyed{kSmallW, kSmallH, false};
    Fixture() {
        for (int i = 0; i < kW * kH; ++i) target.s->pixels[i] = static_cast<uint16_t>(i * 37);
        grSetTarget(target.s.get());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void setPixels(benchmark::State& state) {
    state.counters["px"] = benchmark::Counter(static_cast<double>(kW) * kH,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

struct Case {
    const char* name;
    sMaterial material;
    uint32_t colour;
    bool keyed;
};
const Case kCases[] = {
    {"SpriteAlpha", sMaterial(2, 2, 1, 30), 0xFFFFFFFF, false},
    {"KeyedCopy", sMaterial(2, 1, 1, 30), 0xFFFFFFFF, true},
    {"TintAlpha", sMaterial(4, 4, 1, 30), 0xC0FFC080, false},
    {"Additive", sMaterial(2, 2, 1, 31), 0xFFFFFFFF, false},
};

void BM_Blit(benchmark::State& state, int which, bool scaled) {
    Fixture& f = fixture();
    const Case& c = kCases[which];
    CSprite* src = c.keyed ? (scaled ? f.smallKeyed.s.get() : f.keyed.s.get())
                           : (scaled ? f.smallAlpha.s.get() : f.alpha.s.get());
    for (auto _ : state) {
        grDraw(c.material, 0, 0, kW, kH, src, 0, 0, src->width, src->height, c.colour, 0);
        benchmark::ClobberMemory();
    }
    setPixels(state);
}

// Sprite alpha on random alpha bytes: no uniform runs, the vector rows' worst case.
void BM_BlitNoiseAlpha(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        grDraw(sMaterial(2, 2, 1, 30), 0, 0, kW, kH, f.noise.s.get(), 0, 0, kW, kH, 0xFFFFFFFF, 0);
        benchmark::ClobberMemory();
    }
    setPixels(state);
}

// The scalar rule rows alone, the reference the vector rows must match.
void BM_ScalarRowSpriteAlpha(benchmark::State& state) {
    Fixture& f = fixture();
    RowParams p;
    p.colour = pxSplitColour(0xFFFFFFFF);
    p.skipZero = false;
    RowKernel row = grScalarRow(kRowAlpha);
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y)
            row(f.target.s->pixels + y * kW, f.alpha.s->pixels + y * kW, f.alpha.s->alpha + y * kW,
                kW, p);
        benchmark::ClobberMemory();
    }
    setPixels(state);
}

// ---- references on the same pixels ----

void BM_RefSdlBlend(benchmark::State& state) {
    Fixture& f = fixture();
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(f.target.s->pixels, kW, kH, 16, kW * 2,
                                                          SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < kH; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(src->pixels) + y * src->pitch);
        for (int x = 0; x < kW; ++x) {
            uint32_t p = f.alpha.s->pixels[y * kW + x], a = f.alpha.s->alpha[y * kW + x];
            uint32_t r = (p >> 11) << 3, g = ((p >> 5) & 63) << 2, b = (p & 31) << 3;
            row[x] = a << 24 | (r | r >> 5) << 16 | (g | g >> 6) << 8 | (b | b >> 5);
        }
    }
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
    for (auto _ : state) {
        SDL_BlitSurface(src, nullptr, dst, nullptr);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(dst);
    SDL_FreeSurface(src);
    setPixels(state);
}

void BM_RefPixmanOver(benchmark::State& state) {
    Fixture& f = fixture();
    pixman_image_t* src = pixman_image_create_bits(
        PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(f.alpha.s->pixels), kW * 2);
    pixman_image_t* mask = pixman_image_create_bits(
        PIXMAN_a8, kW, kH, reinterpret_cast<uint32_t*>(f.alpha.s->alpha), kW);
    pixman_image_t* dst = pixman_image_create_bits(
        PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(f.target.s->pixels), kW * 2);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(dst);
    pixman_image_unref(mask);
    pixman_image_unref(src);
    setPixels(state);
}

void BM_RefMemcpy(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        memcpy(f.target.s->pixels, f.alpha.s->pixels, static_cast<size_t>(kW) * kH * 2);
        benchmark::ClobberMemory();
    }
    setPixels(state);
}

// ---- exactness and the summary ----

// Each case drawn through grDraw against the scalar rule rows applied by hand; false on any
// differing pixel.
bool drawsExactly() {
    Fixture& f = fixture();
    std::vector<uint16_t> want(static_cast<size_t>(kW) * kH), start(want.size());
    std::vector<uint16_t> sRow(kW);
    std::vector<uint8_t> aRow(kW);
    for (size_t i = 0; i < start.size(); ++i) start[i] = static_cast<uint16_t>(i * 7919);
    for (const Case& c : kCases) {
        for (int scaled = 0; scaled < 2; ++scaled) {
            CSprite* src = c.keyed ? (scaled ? f.smallKeyed.s.get() : f.keyed.s.get())
                                   : (scaled ? f.smallAlpha.s.get() : f.alpha.s.get());
            sMaterial m = c.material;
            grClassifyAlpha(&m, c.colour, src);
            RowParams p;
            p.colour = pxSplitColour(c.colour);
            p.skipZero = src->keyPixels();
            int64_t stepX = (static_cast<int64_t>(src->width) << 16) / kW;
            int64_t stepY = (static_cast<int64_t>(src->height) << 16) / kH;
            want = start;
            for (int y = 0; y < kH; ++y) {
                int sy = static_cast<int>((y * stepY) >> 16);
                for (int x = 0; x < kW; ++x) {
                    int sx = static_cast<int>((x * stepX) >> 16);
                    sRow[x] = src->pixels[sy * src->width + sx];
                    aRow[x] = src->alpha ? src->alpha[sy * src->width + sx] : 0;
                }
                grScalarRow(grBlitRowOf(m))(want.data() + y * kW, sRow.data(), aRow.data(), kW, p);
            }
            memcpy(f.target.s->pixels, start.data(), start.size() * 2);
            grDraw(c.material, 0, 0, kW, kH, src, 0, 0, src->width, src->height, c.colour, 0);
            if (memcmp(f.target.s->pixels, want.data(), want.size() * 2) != 0) {
                printf("MISMATCH: %s%s\n", c.name, scaled ? " scaled" : "");
                return false;
            }
        }
    }
    return true;
}

}  // namespace

BENCHMARK(BM_BlitNoiseAlpha)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScalarRowSpriteAlpha)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefSdlBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefPixmanOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefMemcpy)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    for (int c = 0; c < 4; ++c) {
        for (int scaled = 0; scaled < 2; ++scaled) {
            std::string name = std::string("BM_Blit") + kCases[c].name + (scaled ? "/640x480" : "/1:1");
            benchmark::RegisterBenchmark(name.c_str(), BM_Blit, c, scaled != 0)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    printf("vector rows: %s; drawn pixels equal the scalar rules: %s\n",
           grVectorBytes() == 64 ? "AVX-512BW" : grVectorBytes() == 32 ? "AVX2" : "16-byte", drawsExactly() ? "yes" : "NO");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* refs[] = {"BM_RefSdlBlend", "BM_RefPixmanOver", "BM_RefMemcpy"};
    // Speed-ups: how many times faster than each reference, so that 2 reads "twice as fast".
    printf("\n%-34s %9s %10s %10s %10s\n", "ours (1024x768)", "Mpx/s", "x SDL2", "x pixman",
           "x memcpy");
    for (auto& t : reporter.times) {
        if (t.first.rfind("BM_Ref", 0) == 0) continue;
        printf("%-34s %9.0f", t.first.c_str(), kW * kH / t.second);  // time is in microseconds
        for (const char* r : refs) {
            auto it = reporter.times.find(r);
            if (it == reporter.times.end()) printf(" %10s", "-");
            else printf(" %10.2f", it->second / t.second);
        }
        printf("\n");
    }
    for (const char* r : refs) {
        auto it = reporter.times.find(r);
        if (it != reporter.times.end()) printf("%-34s %9.0f\n", r, kW * kH / it->second);
    }
    benchmark::Shutdown();
    return 0;
}
