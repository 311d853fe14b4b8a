// Speed of the screens between levels, each beside the same draws issued as a flat list:
// - one shop preview frame at 1024 x 768 with every object of the first episode's objects file,
//   drawn scaled through the preview's draw list; the reference issues the same scaled grDraw
//   calls from an array computed beforehand;
// - one home frame with every item installed, the scenery and the install effects running; the
//   reference draws the same pictures from a flat array, and the same effects.
#include <benchmark/benchmark.h>
#include <unistd.h>

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
    std::vector<Draw> previewDraws;
    UIHome* home = nullptr;
    std::vector<Draw> homeDraws;

    World() {
        if (chdir(VELMORA_SOURCE_DIR) != 0) abort();
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
        for (uint32_t i = 0; i < objects.size(); ++i) {
            cLevelObj* o = preview->Object(objects[i]->name.c_str());
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
        const char* pictures[] = {"house.jpg",   "roof.tga",      "flowers.tga", "flowers.tga",
                                  "bench.tga",   "lantern.tga",   "lantern.tga", "basin.tga",
                                  "lily.tga",    "window_box.tga", "window_box.tga", "vane.tga",
                                  "cloud1.tga",  "cloud2.tga",    "cloud1.tga",  "cloud2.tga",
                                  "cloud1.tga",  "bird.tga",      "bird.tga",    "bird.tga",
                                  "fountain.tga", "water.tga",    "fish.tga",    "sun_glow1.tga",
                                  "sun_glow2.tga"};
        int k = 0;
        for (const char* name : pictures) {
            HSPRITE s = grLoadSprite((std::string("Data/Menu/UIHome/") + name).c_str(), nullptr, 0);
            const int w = spriteWidth(s), h = spriteHeight(s);
            homeDraws.push_back({s, (k * 97) % 900, 100 + (k * 61) % 500, w, h, w, h});
            ++k;
        }
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

void BM_HomeFrame(benchmark::State& state) {
    World& w = world();
    for (auto _ : state) {
        w.home->Update(25);
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
        for (const Draw& d : w.homeDraws)
            grDraw(m, d.x, d.y, d.w, d.h, d.sprite, 0, 0, d.sw, d.sh, 0xFFFFFFFFu, 0);
        w.home->Bursts().Draw();
        if (!w.home->Bursts().IsActive()) w.home->Bursts().Start();
    }
}

BENCHMARK(BM_ShopPreviewFrame);
BENCHMARK(BM_ShopPreviewReferenceGrDraw);
BENCHMARK(BM_HomeFrame);
BENCHMARK(BM_HomeReferenceGrDraw);

}  // namespace

BENCHMARK_MAIN();
