// Speed of the game's start-up and of its main menu, on the bundled data:
// - the shared background, the first screens and the 18 loading stages back to back (no 200 ms
//   pacing) until the main menu exists, beside a reference that reads and converts the same
//   image files alone;
// - one main-menu frame at 1024x768 (the window manager's render and the cursor), beside the
//   same sprites and captions drawn from a flat list gathered beforehand.
// Run from the source folder after a build, so that the generated pictures are there.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/gr/registry.h"
#include "engine/gr/sprite.h"
#include "game/game_data.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "screens/shared_background.h"
#include "bench/ui_reference.h"
#include "ui/ui.h"

namespace {

// The image files the start-up leaves loaded, found by a first run.
std::vector<std::string> gFiles;

void startUpToMainMenu() {
    WM::Create();
    LoadWayPoints();
    LoadSchoolItems();
    screensStart();
    Window* loading = gUIGameLoading.get();
    loading->OnShow(1);
    for (int stage = 0; stage < kLoadingStages; ++stage) loading->Update(kLoadingStageMs);
}

void releaseAll() {
    WM::Destroy();
    screensRelease();
    FreeGameData();
    gWayPoints.clear();
}

bool haveData(benchmark::State& state) {
    if (access("Data/Menu/UISharedBackground/background.jpg", R_OK) == 0) return true;
    state.SkipWithError("no generated data here: run from the source folder after a build");
    return false;
}

void BM_StartUpToMainMenu(benchmark::State& state) {
    if (!haveData(state)) return;
    for (auto _ : state) {
        startUpToMainMenu();
        if (!gUIMainMenu) state.SkipWithError("no main menu was made");
        state.PauseTiming();
        if (gFiles.empty())
            for (int i = 0; i < grRegistrySize(); ++i)
                if (CSpriteExt* s = grRegistryAt(i)) gFiles.push_back(s->name);
        releaseAll();
        state.ResumeTiming();
    }
}

void BM_RefReadTheSamePictures(benchmark::State& state) {
    if (!haveData(state) || gFiles.empty()) {
        state.SkipWithError("the start-up must run first");
        return;
    }
    std::vector<HSPRITE> sprites(gFiles.size());
    for (auto _ : state) {
        for (size_t i = 0; i < gFiles.size(); ++i) sprites[i] = grLoadSprite(gFiles[i].c_str(), nullptr, 0);
        for (HSPRITE s : sprites) grFreeSprite(s);
    }
}

// One flat draw: a widget drawn by plain gr calls with its text lines wrapped beforehand, or a
// figure of the shared background.
struct FlatDraw {
    const UIWnd* widget;
    std::vector<std::u16string> lines;
    const BackgroundFigure* figure;
};

void gather(const UIWnd* w, std::vector<FlatDraw>* out) {
    if (w->hidden()) return;
    auto* text = dynamic_cast<UITextStatic*>(const_cast<UIWnd*>(w));
    out->push_back({w, text ? text->WrappedLines() : std::vector<std::u16string>{}, nullptr});
    if (w == gSharedBackground) {
        const BackgroundFigure* shown[7];
        const int count = sharedBackground()->ShownFigures(shown);
        for (int i = 0; i < count; ++i) out->push_back({w, {}, shown[i]});
    }
    // Compound widgets draw their own parts; plain windows and sprites hold their children.
    if (dynamic_cast<const UIProgress*>(w) || dynamic_cast<const UISwitch*>(w)) return;
    for (int i = 0; i < w->childCount(); ++i) gather(w->children[i], out);
}

// The menu on show and settled, with the custom cursor over it.
struct MenuFrame {
    HSPRITE target = nullptr;
    HSPRITE darkness = nullptr;  // the manager's screen clear
    std::vector<FlatDraw> draws;
    bool ready = false;

    MenuFrame() {
        char user[] = "/tmp/velmora_bench_screens_XXXXXX";
        if (!mkdtemp(user)) return;
        setenv("XDG_DATA_HOME", user, 1);
        userFolderCreate();
        target = grCreateSprite(1024, 768, "bench back buffer");
        grSetTarget(target);
        startUpToMainMenu();
        if (!gUIMainMenu) return;
        cursorCreate();
        cursorMove(0, uiPack(512, 384));
        // The logo the start pushed is dropped first (a closing logo pushes its follower).
        WM::Get()->Clear();
        WM::Get()->Push(gUIMainMenu.get(), true, false, false);
        for (int i = 0; i < 40; ++i) WM::Get()->Update(25);
        darkness = grLoadSprite("Data/fx/darkness.tga", nullptr, 0);
        gather(gUIMainMenu.get(), &draws);
        // Both sides must draw the very same picture, or the comparison means nothing.
        WM::Get()->Render();
        cursorGet()->Draw();
        const std::vector<uint16_t> managed = pixels();
        drawFlat();
        const std::vector<uint16_t> flat = pixels();
        size_t differ = 0;
        for (size_t i = 0; i < managed.size(); ++i) differ += managed[i] != flat[i];
        if (differ) fprintf(stderr, "bench_screens: %zu pixels differ in the menu frame\n", differ);
        ready = differ == 0;
    }

    void drawFlat() const {
        grDraw(sMaterial(2, 4, 1, 30), 0, 0, 1024, 768, darkness, 0, 0, spriteWidth(darkness),
               spriteHeight(darkness), 0xFFFFFFFFu, 0);
        for (const FlatDraw& d : draws) {
            if (d.figure)
                d.figure->Draw(d.widget->tint, d.widget->clock);
            else
                benchref::drawReferenceWidget(d.widget, d.lines);
        }
        const cCursorManager* c = cursorGet();
        if (c->current < 0 || c->current >= static_cast<int>(c->records.size())) return;
        const CursorRecord& pointer = c->records[static_cast<uint32_t>(c->current)];
        grDrawSprite(c->position.x + pointer.offsetX, c->position.y + pointer.offsetY,
                     pointer.sprite, c->clock);
    }

    std::vector<uint16_t> pixels() const {
        grLockSprite(target);
        std::vector<uint16_t> out;
        for (int y = 0; y < 768; ++y) {
            const uint16_t* row = reinterpret_cast<const uint16_t*>(
                reinterpret_cast<const uint8_t*>(target->pixels) + y * target->pitch);
            out.insert(out.end(), row, row + 1024);
        }
        return out;
    }
};

MenuFrame& menuFrame() {
    static MenuFrame f;
    return f;
}

void BM_MainMenuFrame(benchmark::State& state) {
    if (!haveData(state)) return;
    MenuFrame& f = menuFrame();
    if (!f.ready) {
        state.SkipWithError("no main menu on show");
        return;
    }
    for (auto _ : state) {
        WM::Get()->Render();
        cursorGet()->Draw();
    }
    state.counters["draws"] = static_cast<double>(f.draws.size());
}

void BM_RefMainMenuFlatDraws(benchmark::State& state) {
    if (!haveData(state)) return;
    MenuFrame& f = menuFrame();
    if (!f.ready) {
        state.SkipWithError("no main menu on show");
        return;
    }
    for (auto _ : state) f.drawFlat();
}

}  // namespace

BENCHMARK(BM_StartUpToMainMenu)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RefReadTheSamePictures)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_MainMenuFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefMainMenuFlatDraws)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("%zu image files\n", gFiles.size());
    return 0;
}
