// Speed of the game's start-up: the shared background, the first screens and the 18 loading
// stages back to back (no 200 ms pacing) until the main menu exists, on the bundled data; beside
// a reference that reads and converts the same image files alone. Run from the source folder
// after a build, so that the generated pictures are there.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/gr/gr.h"
#include "engine/gr/registry.h"
#include "engine/gr/sprite.h"
#include "game/game_data.h"
#include "screens/holders.h"
#include "screens/loading.h"
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

}  // namespace

BENCHMARK(BM_StartUpToMainMenu)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RefReadTheSamePictures)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("%zu image files\n", gFiles.size());
    return 0;
}
