// Speed of particle effects: four systems holding about 2,000 live particles together, updated
// by 25 ms and drawn with a 32 x 32 additive sprite into a 1024 x 768 target, beside references
// in this binary: a flat structure-of-arrays update with the same arithmetic and emission, and
// the same grDraw calls from a flat array. Allocations during updates are counted.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "anim/fx.h"
#include "core/random.h"
#include "engine/gr/gr.h"

namespace {

size_t gAllocations = 0;

}  // namespace

void* operator new(size_t n) {
    ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr float kStep = 0.025f;
constexpr int kSystems = 4;
constexpr int kPerSystem = 500;

ParticleParams benchParams() {
    ParticleParams p{};
    p.rate = 400;  // with lives of 1 to 1.5 s about 500 live particles per system
    p.duration = -1;
    p.lifeMin = 1.0f;
    p.lifeMax = 1.5f;
    p.spread = 6.28f;
    p.speedMin = 50;
    p.speedMax = 150;
    p.gravityMin = 10;
    p.gravityMax = 30;
    p.radialMin = 5;
    p.radialMax = 15;
    p.tangentialMin = -10;
    p.tangentialMax = 10;
    p.sizeStart = 1;
    p.sizeEnd = 0.5f;
    p.sizeVariance = 0.5f;
    const float start[4] = {1, 0.8f, 0.4f, 1}, end[4] = {1, 0.2f, 0.1f, 0};
    for (int c = 0; c < 4; ++c) {
        p.startColour[c] = start[c];
        p.endColour[c] = end[c];
    }
    p.colourVariance = 0.2f;
    return p;
}

// A 32 x 32 sprite of one colour, drawn into a 1024 x 768 target.
struct Canvas {
    HSPRITE target = grCreateSprite(1024, 768, "bench_fx_target");
    HSPRITE sprite = grCreateSprite(32, 32, "bench_fx_particle");
    HSPRITE previous;

    Canvas() : previous(grSetTarget(target)) {
        int w, h, pitch, rs, gs, bs, rb, gb, bb;
        uint16_t* px = grLockSpriteEx(sprite, &w, &h, &pitch, &rs, &gs, &bs, &rb, &gb, &bb);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px[y * (pitch / 2) + x] = 0x4208;
        grUnlockSprite(sprite);
    }
    ~Canvas() {
        grSetTarget(previous);
        grFreeSprite(sprite);
        grFreeSprite(target);
    }
};

struct Systems {
    FxActor actor{nullptr};
    std::vector<ParticleSystem*> systems;

    explicit Systems(HSPRITE sprite) {
        actor.SetSprite(grSpriteAddRef(sprite));
        actor.SetSourceRect(0, 0, 32, 32);
        actor.SetMaterial(sMaterial(4, 2, 1, 31));
        actor.SetCentre(16, 16);
        for (int i = 0; i < kSystems; ++i) {
            systems.push_back(new ParticleSystem(benchParams(), &actor));
            systems.back()->StartAt(200.0f + 200 * i, 384);
        }
        for (int i = 0; i < 120; ++i) Update();  // three seconds: a steady state
    }
    ~Systems() {
        for (ParticleSystem* s : systems) delete s;
    }
    void Update() {
        for (ParticleSystem* s : systems) s->Update(kStep);
    }
    int Live() const {
        int n = 0;
        for (const ParticleSystem* s : systems) n += s->LiveCount();
        return n;
    }
};

// The reference: the same motion, emission and removal over flat arrays.
struct FlatSystem {
    std::vector<float> x, y, vx, vy, gravity, radial, tangential, spin, spinRate, size, sizeRate,
        age, life;
    std::vector<float> colour[4], colourRate[4];
    int live = 0;
    float carry = 0, ex, ey;
    ParticleParams p = benchParams();

    FlatSystem(float x0, float y0) : ex(x0), ey(y0) {
        for (auto* v : {&x, &y, &vx, &vy, &gravity, &radial, &tangential, &spin, &spinRate, &size,
                        &sizeRate, &age, &life})
            v->resize(kPerSystem);
        for (int c = 0; c < 4; ++c) {
            colour[c].resize(kPerSystem);
            colourRate[c].resize(kPerSystem);
        }
    }

    static float R(float v) { return static_cast<float>(gParticleRandom.Real(v)); }

    void move(int from, int to) {
        for (auto* v : {&x, &y, &vx, &vy, &gravity, &radial, &tangential, &spin, &spinRate, &size,
                        &sizeRate, &age, &life})
            (*v)[to] = (*v)[from];
        for (int c = 0; c < 4; ++c) {
            colour[c][to] = colour[c][from];
            colourRate[c][to] = colourRate[c][from];
        }
    }

    void Update(float dt) {
        for (int i = 0; i < live;) {
            age[i] += dt;
            if (!(age[i] < life[i])) {
                move(--live, i);
                continue;
            }
            float rx = x[i] - ex, ry = y[i] - ey;
            const float len = std::sqrt(rx * rx + ry * ry);
            if (len != 0) {
                rx /= len;
                ry /= len;
            }
            vx[i] += (rx * radial[i] - ry * tangential[i]) * dt;
            vy[i] += (ry * radial[i] + rx * tangential[i]) * dt + gravity[i] * dt;
            x[i] += vx[i] * dt;
            y[i] += vy[i] * dt;
            spin[i] += spinRate[i] * dt;
            size[i] += sizeRate[i] * dt;
            for (int c = 0; c < 4; ++c) colour[c][i] += colourRate[c][i] * dt;
            ++i;
        }
        const float n = p.rate * dt + carry;
        const float whole = std::trunc(n);
        carry = n - whole;
        for (int k = 0; k < static_cast<int>(whole) && live < kPerSystem; ++k) emit(live++);
    }

    void emit(int i) {
        age[i] = 0;
        life[i] = p.lifeMin + R(p.lifeMax - p.lifeMin);
        R(1);
        x[i] = ex + R(4) - 2;
        y[i] = ey + R(4) - 2;
        const float angle = p.direction - 1.5707964f + R(p.spread) - p.spread / 2;
        const float speed = p.speedMin + R(p.speedMax - p.speedMin);
        vx[i] = std::cos(angle) * speed;
        vy[i] = std::sin(angle) * speed;
        gravity[i] = p.gravityMin + R(p.gravityMax - p.gravityMin);
        radial[i] = p.radialMin + R(p.radialMax - p.radialMin);
        tangential[i] = p.tangentialMin + R(p.tangentialMax - p.tangentialMin);
        size[i] = p.sizeStart + R((p.sizeEnd - p.sizeStart) * p.sizeVariance);
        sizeRate[i] = (p.sizeEnd - size[i]) / life[i];
        spin[i] = p.spinStart + R((p.spinEnd - p.spinStart) * p.spinVariance);
        spinRate[i] = (p.spinEnd - spin[i]) / life[i];
        for (int c = 0; c < 3; ++c)
            colour[c][i] =
                p.startColour[c] + R((p.endColour[c] - p.startColour[c]) * p.colourVariance);
        colour[3][i] = p.startColour[3] + R((p.endColour[3] - p.startColour[3]) * p.alphaVariance);
        for (int c = 0; c < 4; ++c) colourRate[c][i] = (p.endColour[c] - colour[c][i]) / life[i];
    }
};

void BM_ParticleUpdate(benchmark::State& state) {
    Canvas canvas;
    Systems s(canvas.sprite);
    size_t allocations = 0;
    for (auto _ : state) {
        const size_t before = gAllocations;
        s.Update();
        allocations += gAllocations - before;
    }
    state.counters["live"] = s.Live();
    state.counters["allocs/frame"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_ReferenceFlatUpdate(benchmark::State& state) {
    std::vector<FlatSystem> flat;
    for (int i = 0; i < kSystems; ++i) flat.emplace_back(200.0f + 200 * i, 384.0f);
    for (int k = 0; k < 120; ++k)
        for (FlatSystem& f : flat) f.Update(kStep);
    for (auto _ : state)
        for (FlatSystem& f : flat) f.Update(kStep);
    int live = 0;
    for (const FlatSystem& f : flat) live += f.live;
    state.counters["live"] = live;
}

void BM_ParticleDraw(benchmark::State& state) {
    Canvas canvas;
    Systems s(canvas.sprite);
    for (auto _ : state)
        for (ParticleSystem* system : s.systems) system->Draw();
    state.counters["live"] = s.Live();
}

// The same draws as the systems make, from a flat array of what each one passes.
void BM_ReferenceFlatDraw(benchmark::State& state) {
    Canvas canvas;
    Systems s(canvas.sprite);
    struct DrawArgs {
        int x, y, w, h;
        uint32_t colour;
    };
    std::vector<DrawArgs> draws;
    for (ParticleSystem* system : s.systems)
        for (int i = 0; i < system->LiveCount(); ++i) {
            const Particle& p = system->At(i);
            const uint32_t a = static_cast<uint32_t>(std::fmin(std::fmax(p.colour[3], 0), 1) * 255);
            draws.push_back({static_cast<int>(p.x - 16), static_cast<int>(p.y - 16),
                             static_cast<int>(32 * p.size), static_cast<int>(32 * p.size),
                             (a << 24) | 0xFFC060u});
        }
    const sMaterial additive(4, 2, 1, 31);
    for (auto _ : state)
        for (const DrawArgs& d : draws)
            grDraw(additive, d.x, d.y, d.w, d.h, canvas.sprite, 0, 0, 32, 32, d.colour, 0);
    state.counters["live"] = static_cast<double>(draws.size());
}

BENCHMARK(BM_ParticleUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceFlatUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticleDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceFlatDraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
