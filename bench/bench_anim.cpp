// Speed of key-framed animation: a forest of 200 sprite nodes (50 trees, children three levels
// deep), every track keyed, drawn frame after frame 25 ms apart with C_Animation::Draw into a
// 1024 x 768 RGB565 target; beside it the evaluation alone, and a reference that draws the same
// 200 sprites with grDraw from a flat array of places and colours computed beforehand.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "anim/animation.h"
#include "engine/gr/gr.h"
#include "engine/gr/image.h"

namespace {

constexpr int kTrees = 50;
constexpr int kDepth = 4;  // a root and three levels of children
constexpr int kKeys = 10;
constexpr float kLength = 10.0f;
constexpr float kStep = 0.025f;
constexpr int kFrames = static_cast<int>(kLength / kStep);

// Fills every track with kKeys keys; eased curves on position, scale, alpha and colour.
void keyAll(C_AnimationObject* o, int seed, bool root) {
    for (int k = 0; k < kKeys; ++k) {
        const float t = kLength * k / (kKeys - 1);
        const float a = static_cast<float>(seed * 7 + k * 3);
        C_VectorKey* p = new C_VectorKey;
        p->time = t;
        p->value.Set(root ? -400 + std::fmod(a * 37, 800) : 30 * std::sin(a),
                     root ? -300 + std::fmod(a * 23, 600) : 30 * std::cos(a));
        p->filter[0].kind = p->filter[1].kind = 2;
        o->position.push_back(p);
        C_VectorKey* s = new C_VectorKey;
        s->time = t;
        s->value.Set(128, 128);
        o->size.push_back(s);
        auto floatKey = [&](cArray<C_FloatKey*>& track, float v, int kind) {
            C_FloatKey* f = new C_FloatKey;
            f->time = t;
            f->value = v;
            f->filter.kind = kind;
            track.push_back(f);
        };
        floatKey(o->scaleKeys, root ? 0.8f + 0.2f * std::sin(a) : 1.0f, 2);
        floatKey(o->alphaKeys, 0.8f + 0.2f * std::cos(a), 2);
        floatKey(o->rotation, 0.1f * std::sin(a), 0);
        floatKey(o->frame, static_cast<float>(k), 0);
        C_ColorKey* c = new C_ColorKey;
        c->time = t;
        c->colour = 0x808080u + (static_cast<uint32_t>(seed * 5 + k * 11) & 0x7F7F7Fu);
        for (C_FilterDesc& f : c->filter) f.kind = 2;
        o->colourKeys.push_back(c);
    }
}

struct Place {
    int x, y, w, h;
    uint32_t colour;
};

struct Scene {
    HSPRITE target = nullptr;
    HSPRITE sprite = nullptr;
    C_Animation* anim = nullptr;
    std::vector<C_AnimationObject*> nodes;
    std::vector<Place> places;  // kFrames x 200, from the same evaluation

    Scene() {
        // A folder of its own: the sprite file, and no letterbox bars to draw.
        char folder[] = "/tmp/velmora_bench_anim_XXXXXX";
        if (!mkdtemp(folder) || chdir(folder) != 0) abort();
        std::vector<uint8_t> px(128 * 128 * 4);
        for (int i = 0; i < 128 * 128; ++i) {
            const int x = i % 128, y = i / 128;
            px[i * 4] = static_cast<uint8_t>(x * 2);
            px[i * 4 + 1] = static_cast<uint8_t>(y * 2);
            px[i * 4 + 2] = 200;
            px[i * 4 + 3] = static_cast<uint8_t>(std::hypot(x - 64, y - 64) < 60 ? 230 : 0);
        }
        cTGAImage writer;
        if (writer.Save("node.tga", px.data(), 32, 128, -128) != 0) abort();
        target = grCreateSprite(1024, 768, "bench back buffer");
        grSetTarget(target);
        sprite = grLoadSprite("node.tga", nullptr, 0);
        anim = new C_Animation("bench.anm");
        for (int tree = 0; tree < kTrees; ++tree) {
            C_AnimationObject* parent = nullptr;
            for (int level = 0; level < kDepth; ++level) {
                C_AnimationObject* o = new C_AnimationObject;
                o->sprite = grSpriteAddRef(sprite);
                keyAll(o, tree * kDepth + level, level == 0);
                if (parent) parent->AddChild(o);
                else anim->AddObject(o);
                nodes.push_back(o);
                parent = o;
            }
        }
        const Vec2f centre(512, 384);
        for (int f = 0; f < kFrames; ++f) {
            const float t = f * kStep;
            for (C_AnimationObject* o : nodes) {
                o->offset = o->parent ? Vec2f(0, 0) : centre;
                const float a = o->Alpha(t);
                const Vec2f p = o->WorldPosition(t);
                const uint32_t c = o->colour;
                places.push_back({static_cast<int>(p.x - o->sizeX / 2),
                                  static_cast<int>(p.y - o->sizeY / 2), static_cast<int>(o->sizeX),
                                  static_cast<int>(o->sizeY),
                                  ColorRGBA(c & 255, (c >> 8) & 255, (c >> 16) & 255,
                                            static_cast<int>(a * 255))
                                      .Argb()});
            }
        }
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_AnimationDraw(benchmark::State& state) {
    Scene& s = scene();
    int frame = 0;
    for (auto _ : state) {
        s.anim->Draw(frame * kStep, 1.0f, Vec2f(512, 384), 0);
        if (++frame == kFrames) {
            frame = 0;
            s.anim->SetObjectsTime(-1);
        }
    }
    state.SetItemsProcessed(state.iterations() * 200);
}

// The evaluation a draw does, without the drawing.
void BM_AnimationEvaluateOnly(benchmark::State& state) {
    Scene& s = scene();
    int frame = 0;
    for (auto _ : state) {
        const float t = frame * kStep;
        for (C_AnimationObject* o : s.nodes) {
            benchmark::DoNotOptimize(o->Alpha(t));
            benchmark::DoNotOptimize(o->WorldPosition(t));
        }
        if (++frame == kFrames) frame = 0;
    }
    state.SetItemsProcessed(state.iterations() * 200);
}

void BM_ReferenceGrDraw(benchmark::State& state) {
    Scene& s = scene();
    int frame = 0;
    const sMaterial normal(4, 4, 1, 30);
    for (auto _ : state) {
        const Place* p = &s.places[static_cast<size_t>(frame) * s.nodes.size()];
        for (size_t i = 0; i < s.nodes.size(); ++i)
            grDraw(normal, p[i].x, p[i].y, p[i].w, p[i].h, s.sprite, 0, 0, 128, 128, p[i].colour, 0);
        if (++frame == kFrames) frame = 0;
    }
    state.SetItemsProcessed(state.iterations() * 200);
}

}  // namespace

BENCHMARK(BM_AnimationDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnimationEvaluateOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReferenceGrDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
