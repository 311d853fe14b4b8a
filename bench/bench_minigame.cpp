// Speed of one play frame of each mini-game kind on a 1024 x 768 RGB565 target: the repair game
// under the darkness with its spotlight, the matching game with an icon in hand, the shop counter
// with four customers waiting, and the fly-into-place game with six pieces in flight. Each is
// measured beside a reference that issues the same sprite draws as a flat list of grDraw calls,
// gathered from the scene before timing. Both pictures are compared before the measurements.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/gr/gr.h"
#include "engine/gr/image.h"
#include "engine/gr/sprite.h"
#include "minigames/minigame.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
const sMaterial kAlpha(4, 4, 1, 30);

bool saveTga(const std::string& name, int width, int height, uint32_t argb) {
    std::vector<uint8_t> px(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * width + x) * 4];
            const int shade = (x * 5 + y * 3) & 31;
            p[0] = static_cast<uint8_t>((argb & 0xFF) ^ shade);
            p[1] = static_cast<uint8_t>(((argb >> 8) & 0xFF) ^ shade);
            p[2] = static_cast<uint8_t>(((argb >> 16) & 0xFF) ^ shade);
            p[3] = static_cast<uint8_t>(argb >> 24);
        }
    cTGAImage writer;
    return writer.Save(name.c_str(), px.data(), 32, width, -height) == 0;
}

// Twelve objects in a 4 x 3 grid, six of them wanted; the kind's own sections after them.
std::string sceneIni(int kind) {
    std::string s =
        "[Main]\nx=0\ny=0\nxs=1024\nys=768\n[Back]\ntype=sprite\nstage=0\nx=0\ny=0\nignore=bg.tga\n"
        "[Param]\nduration=600000\nobjects_total=12\nobjects_needed=6\nalpha_speed=5\n"
        "[hint]\ndelay=100000000\n";
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i);
        const std::string x = std::to_string(80 + 220 * (i % 4)), y = std::to_string(60 + 160 * (i / 4));
        s += "[broken_" + n + "]\nx=" + x + "\ny=" + y + "\nsprite=obj.tga\n";
        s += "[" + n + "]\nx=" + x + "\ny=" + y + "\nsprite=fixed.tga\n";
        s += "[extra_" + n + "]\nsprite=extra.tga\n";
        s += "[icon_" + n + "]\nsprite=icon.tga\n";
    }
    if (kind == 1)
        s += "[Darkness]\nspotSpr=spot.tga\ndarknessSpr=dark.tga\nspotRadius=120\nalpha=200\n";
    if (kind == 2) s += "[Cell]\ntype=sprite\nstage=0\nx=120\ny=680\nignore=cell.tga\n";
    if (kind == 3)
        s += "[Cell]\ntype=sprite\nstage=0\nx=100\ny=560\nignore=cell.tga\n"
             "[Request]\ncell=customer.tga\npos_x=60\npos_y=668\nicon_x=70\nicon_y=20\n"
             "move_speed=20\nwait_time=600000\n";
    return s;
}

struct Call {
    int x, y, w, h;
    HSPRITE sprite;
    uint32_t colour;
    sMaterial material = kAlpha;
};

struct Scene {
    cMiniGameBase* game = nullptr;
    std::vector<Call> calls;
};

HSPRITE shared(const char* name) {
    HSPRITE s = grLoadSprite(name, nullptr, 0);
    grFreeSprite(s);  // the game holds its own reference
    return s;
}

void whole(std::vector<Call>& calls, HSPRITE s, int x, int y, uint32_t colour = 0xFFFFFFFFu) {
    calls.push_back({x, y, spriteWidth(s), spriteHeight(s), s, colour});
}

// The draws of a frame, as the reference issues them.
std::vector<Call> referenceCalls(int kind, cMiniGameBase* g) {
    std::vector<Call> calls;
    whole(calls, shared("bg.tga"), 0, 0);
    calls.back().material = findChild(g, "Back")->material();
    HSPRITE obj = shared("obj.tga"), fixed = shared("fixed.tga"), extra = shared("extra.tga");
    auto objectDraw = [&](const cMiniGameObjectBase* o) {
        const Point2i p = o->BrokenPos();
        if (o->IsFlying()) {
            const Point2i f = o->FlightPoint();
            whole(calls, extra, f.x, f.y);
        } else if (o->IsAvailable() || o->IsFading()) {
            whole(calls, obj, p.x, p.y, static_cast<uint32_t>(o->GetAlpha()) << 24 | 0xFFFFFF);
        }
        if (o->IsDone() || o->IsFadingIn()) whole(calls, fixed, p.x, p.y);
    };
    const auto& objects = g->Objects();
    UIWnd* cellWidget = findChild(&g->InterfaceLayer(), "Cell");
    const sMaterial cellMaterial = cellWidget ? cellWidget->material() : kAlpha;
    if (kind == 3) {
        for (uint32_t i = 0; i < objects.size(); ++i) objectDraw(objects[i]);
        HSPRITE cell = shared("cell.tga"), customer = shared("customer.tga"),
                icon = shared("icon.tga");
        for (int i = 0; i < 4; ++i) {
            whole(calls, cell, 100 + i * spriteWidth(cell), 560);
            calls.back().material = cellMaterial;
        }
        auto* counter = static_cast<cMiniGameEpisode3*>(g);
        for (int i = 0; i < 4; ++i)
            if (const cMiniGameFace* f = counter->Place(i)) {
                whole(calls, customer, f->Position().x, f->Position().y);
                whole(calls, icon, f->GetIconPoint().x, f->GetIconPoint().y);
            }
        return calls;
    }
    for (uint32_t i = 0; i < objects.size(); ++i) objectDraw(objects[i]);
    if (kind == 1) {
        HSPRITE dark = shared("dark.tga"), spot = shared("spot.tga");
        const Point2i c = g->Darkness().Position();
        const int r = 120, l = c.x - r, t = c.y - r, rr = l + 2 * r, b = t + 2 * r;
        const uint32_t a = 200u << 24 | 0xFFFFFF;
        calls.push_back({0, 0, kWidth, t, dark, a});
        calls.push_back({0, b, kWidth, kHeight - b, dark, a});
        calls.push_back({0, t, l, b - t, dark, a});
        calls.push_back({rr, t, kWidth - rr, b - t, dark, a});
        calls.push_back({l, t, 2 * r, 2 * r, spot, a});
    }
    if (kind == 2) {
        HSPRITE cell = shared("cell.tga"), icon = shared("icon.tga");
        for (int i = 0; i < 7; ++i) {
            whole(calls, cell, 120 + i * spriteWidth(cell), 680);
            calls.back().material = cellMaterial;
        }
        auto* matching = static_cast<cMiniGameEpisode2*>(g);
        for (uint32_t i = 0; i < matching->Icons().size(); ++i) {
            const cMiniGameIcon* ic = matching->Icons()[i];
            const MgRect& r = ic->GetRect();
            if (ic->GetState() == cMiniGameIcon::kHome)
                whole(calls, icon, (r.left + r.right - spriteWidth(icon)) / 2,
                      (r.top + r.bottom - spriteHeight(icon)) / 2);
            else if (ic->GetState() == cMiniGameIcon::kCarried)
                whole(calls, icon, r.left, r.top);
        }
    }
    return calls;
}

// The object centre of a wanted object, or (-1, -1).
Point2i wantedCentre(cMiniGameBase* g) {
    for (uint32_t i = 0; i < g->Objects().size(); ++i)
        if (g->Objects()[i]->IsAvailable()) {
            const Point2i p = g->Objects()[i]->BrokenPos();
            return Point2i(p.x + 48, p.y + 48);
        }
    return Point2i(-1, -1);
}

Scene makeScene(int kind) {
    Scene s;
    char name[64];
    snprintf(name, sizeof name, "Data/MiniGame/minigame%d", kind);
    if (system((std::string("mkdir -p ") + name).c_str()) != 0) abort();
    snprintf(name, sizeof name, "Data/MiniGame/minigame%d/minigame%d.ini", kind, kind);
    FILE* f = fopen(name, "wb");
    const std::string text = sceneIni(kind);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    s.game = CreateMiniGame(kind);
    s.game->Load(kind);
    for (int i = 0; i < 2000 && s.game->GameState() != kMgPlay; ++i) s.game->Update(25);
    if (kind == 1) s.game->OnMouseMove(0, uiPack(500, 380));
    if (kind == 2) {
        auto* matching = static_cast<cMiniGameEpisode2*>(s.game);
        const MgRect& r = matching->Icons()[0]->GetRect();
        s.game->OnKeyDown(kUiLeftButton, uiPack((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        s.game->OnMouseMove(0, uiPack(30, 560));
    }
    if (kind == 3)
        for (int i = 0; i < 40; ++i) s.game->Update(25);  // the customers take their places
    if (kind == 4) {
        for (int i = 0; i < 5; ++i) {
            const Point2i p = wantedCentre(s.game);
            s.game->OnMouseMove(0, uiPack(p.x, p.y));
            s.game->OnKeyDown(kUiLeftButton, uiPack(p.x, p.y));
        }
        for (int i = 0; i < 10; ++i) s.game->Update(25);  // mid-flight
    }
    s.calls = referenceCalls(kind, s.game);
    return s;
}

struct World {
    HSPRITE target = nullptr;
    Scene scenes[5];
    World() {
        char folder[] = "/tmp/velmora_bench_minigame_XXXXXX";
        if (!mkdtemp(folder) || chdir(folder) != 0) abort();
        bool ok = saveTga("bg.tga", kWidth, kHeight, 0xFF406080) &&
                  saveTga("obj.tga", 96, 96, 0xC0E0A040) && saveTga("fixed.tga", 96, 96, 0xE040C060) &&
                  saveTga("extra.tga", 64, 64, 0xF0C04040) && saveTga("icon.tga", 48, 48, 0xE0F0F040) &&
                  saveTga("cell.tga", 80, 80, 0xFF705030) && saveTga("spot.tga", 64, 64, 0x80101010) &&
                  saveTga("dark.tga", 16, 16, 0xFF000010) &&
                  saveTga("customer.tga", 120, 100, 0xFF608040);
        if (!ok) abort();
        target = grCreateSprite(kWidth, kHeight, "bench back buffer");
        grSetTarget(target);
        cursorCreate();
        for (int kind = 1; kind <= 4; ++kind) scenes[kind] = makeScene(kind);
    }
};

World& world() {
    static World w;
    return w;
}

void reference(const Scene& s) {
    for (const Call& c : s.calls)
        grDraw(c.material, c.x, c.y, c.w, c.h, c.sprite, 0, 0, spriteWidth(c.sprite),
               spriteHeight(c.sprite), c.colour, 0);
}

std::vector<uint16_t> pixels(HSPRITE t) {
    std::vector<uint16_t> out;
    for (int y = 0; y < kHeight; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(
            reinterpret_cast<const uint8_t*>(t->pixels) + y * t->pitch);
        out.insert(out.end(), row, row + kWidth);
    }
    return out;
}

void compare(int kind) {
    World& w = world();
    w.scenes[kind].game->Draw();
    const std::vector<uint16_t> game = pixels(w.target);
    reference(w.scenes[kind]);
    const std::vector<uint16_t> ref = pixels(w.target);
    size_t differ = 0;
    for (size_t i = 0; i < game.size(); ++i) differ += game[i] != ref[i];
    if (differ) fprintf(stderr, "bench_minigame: kind %d: %zu pixels differ\n", kind, differ);
}

void BM_MiniGameFrame(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    static bool compared[5] = {};
    if (!compared[kind]) compare(kind);
    compared[kind] = true;
    cMiniGameBase* g = world().scenes[kind].game;
    for (auto _ : state) g->Draw();
}

void BM_ReferenceFrame(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const Scene& s = world().scenes[kind];
    for (auto _ : state) reference(s);
    state.counters["draws"] = static_cast<double>(s.calls.size());
}

BENCHMARK(BM_MiniGameFrame)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceFrame)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
