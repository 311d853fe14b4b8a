// Speed of the screens between levels, each beside the same draws issued as a flat list:
// - one shop preview frame at 1024 x 768 with every object of the first episode's objects file,
//   drawn scaled through the preview's draw list; the reference issues the same scaled grDraw
//   calls from an array computed beforehand;
// - one home frame with every item installed, the scenery and the install effects running; the
//   reference draws the same pictures from a flat array, and the same effects.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/home.h"
#include "screens/mini_level.h"
#include "world/draw_list.h"
#include "world/level_object.h"

namespace {

struct Draw {
    HSPRITE sprite;
    int x, y, w, h, sw, sh;
};

// The bundled data, a player owning every object of the first episode and every home item, and
// a 1024 x 768 target.
struct World {
    HSPRITE target = nullptr;
    MiniLevel* preview = nullptr;
    cLevelObj background;
    std::vector<Draw> previewDraws;
    UIHome* home = nullptr;
    HSPRITE sun[2] = {};
    std::vector<Draw> homeDraws;

    World() {
        if (chdir(VELMORA_GAME_DIR) != 0) abort();
        char user[] = "/tmp/velmora_bench_between_XXXXXX";
        if (!mkdtemp(user)) abort();
        setenv("XDG_DATA_HOME", user, 1);
        userFolderCreate();
        target = grCreateSprite(1024, 768, "bench back buffer");
        grSetTarget(target);
        LoadWayPoints();
        CreatePlayer("bench", u"Bench");
        cPlayerProfile* p = gCurrentProfile;
        static char sections[65536];
        iniGetSections(p->GetObjectsIni(), sections, sizeof sections);
        for (const char* s = sections; *s; s += strlen(s) + 1)
            p->InsertObjectItem(p->MakeObjectItem(s));
        preview = new MiniLevel(392, 36, 0.5f, 0.5f);
        cArray<RCPtr<cObjectItem>> objects;
        p->GetObjectItems(objects);
        background.Load("Data/Episodes/e1/map.ini", "Background");
        for (uint32_t i = 0; i <= objects.size(); ++i) {
            cLevelObj* o = i < objects.size() ? preview->Object(objects[i]->name.c_str()) : &background;
            const AnimDesc* a = o ? o->CurrentAnim() : nullptr;
            if (!a || !a->sprite) continue;
            const Point2i at = preview->List().ToScreen(
                Point2i(static_cast<int>(o->GetBody().position.x) + a->spr_x,
                        static_cast<int>(o->GetBody().position.y) + a->spr_y));
            const int w = spriteWidth(a->sprite), h = spriteHeight(a->sprite);
            previewDraws.push_back({a->sprite, at.x, at.y, w / 2, h / 2, w, h});
        }

        for (uint32_t i = 0; i < gWayPoints.size(); ++i) gWayPoints[i].SetResult(3);
        iniGetSections("Data/Menu/UIHome/items.ini", sections, sizeof sections);
        for (const char* s = sections; *s; s += strlen(s) + 1) p->AddHomeItem(s);
        home = new UIHome;
        home->Create("Data/Menu/UIHome/UIHome.ini", "Main");
        home->OnShow(0);
        home->Bursts().Start();
        for (int i = 0; i < 20; ++i) home->Update(25);
        // The same pictures the home draws this frame, where it draws them.
        auto picture = [&](const char* name, int x, int y, HSPRITE* out) {
            HSPRITE s = grLoadSprite((std::string("Data/Menu/UIHome/") + name).c_str(), nullptr, 0);
            const int w = spriteWidth(s), h = spriteHeight(s);
            homeDraws.push_back({s, x, y, w, h, w, h});
            if (out) *out = s;
        };
        picture("house.png", 0, 0, nullptr);
        picture("sun_glow1.tga", 0, 0, &sun[0]);
        picture("sun_glow2.tga", 0, 0, &sun[1]);
        homeDraws.resize(1);  // the sun draws with its own colours
        auto strip = [&](HomeSpriteStrip& st) {
            for (int i = 0; i < st.ItemCount(); ++i) {
                const HomeSpriteStrip::Item& it = st.At(i);
                if (!it.anim || !it.anim->sprite) continue;
                const int w = spriteWidth(it.anim->sprite), h = spriteHeight(it.anim->sprite);
                homeDraws.push_back({it.anim->sprite, static_cast<int>(it.x), static_cast<int>(it.y),
                                     w, h, w, h});
            }
        };
        strip(home->Clouds());
        picture("roof.tga", 96, 196, nullptr);
        static char values[256];
        for (const char* s = sections; *s; s += strlen(s) + 1)
            for (int k = 1;; ++k) {
                char key[32];
                snprintf(key, sizeof key, "object%d", k);
                const char* v = iniGetString("Data/Menu/UIHome/items.ini", s, key, nullptr);
                if (!v) break;
                int x = 0, y = 0;
                if (sscanf(v, "%255[^,], %d, %d", values, &x, &y) != 3) break;
                HSPRITE o = grLoadSprite(values, nullptr, 0);
                homeDraws.push_back({o, x, y, spriteWidth(o), spriteHeight(o), spriteWidth(o),
                                     spriteHeight(o)});
            }
        picture("water.tga", 700, 612, nullptr);
        picture("fountain.tga", 722, 520, nullptr);
        picture("fish.tga", 760, 600, nullptr);
        strip(home->Birds());
    }
};

World& world() {
    static World w;
    return w;
}

void BM_ShopPreviewFrame(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) w.preview->Draw();
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(w.previewDraws.size()));
}

void BM_ShopPreviewReferenceGrDraw(benchmark::State& state) {
    World& w = world();
    const sMaterial m(2, 4, 1, 30);
    for (auto _ : state)
        for (const Draw& d : w.previewDraws)
            grDraw(m, d.x, d.y, d.w, d.h, d.sprite, 0, 0, d.sw, d.sh, 0xFFFFFFFFu, 0);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(w.previewDraws.size()));
}

// The drawing of a frame; the fireworks move on by one step in both.
void BM_HomeFrame(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        w.home->Bursts().Update(0.025f);
        w.home->Draw();
        // Keeps the fireworks going, frame after frame.
        if (!w.home->Bursts().IsActive()) w.home->Bursts().Start();
    }
}

void BM_HomeReferenceGrDraw(benchmark::State& state) {
    World& w = world();
    const sMaterial m(2, 4, 1, 30);
    for (auto _ : state) {
        w.home->Bursts().Update(0.025f);
        grDrawSprite(0, 0, w.homeDraws[0].sprite, 0);
        for (HSPRITE s : w.sun) grDrawSpriteColor(sMaterial(4, 2, 1, 31), 0, 0, s, 0xFF606030u, 0);
        for (size_t i = 1; i < w.homeDraws.size(); ++i) {
            const Draw& d = w.homeDraws[i];
            grDraw(m, d.x, d.y, d.w, d.h, d.sprite, 0, 0, d.sw, d.sh, 0xFFFFFFFFu, 0);
        }
        w.home->Bursts().Draw();
        w.home->Window::Draw();  // the children: the same code on both sides
        if (!w.home->Bursts().IsActive()) w.home->Bursts().Start();
    }
}

BENCHMARK(BM_ShopPreviewFrame);
BENCHMARK(BM_ShopPreviewReferenceGrDraw);
BENCHMARK(BM_HomeFrame);
BENCHMARK(BM_HomeReferenceGrDraw);

}  // namespace

BENCHMARK_MAIN();
