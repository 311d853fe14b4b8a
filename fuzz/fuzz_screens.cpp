// Fuzzes the meta screens' layouts: arbitrary bytes as the file every screen here is built from
// (the shared background, the logo, the player selection, the loading screen, the main menu,
// options, the dialogs, the pause menu, help, the final screen, the score table, and, for a
// player on a small road of way points, the episode map, the level loading screen and the
// after-level statistics) and as the tutorial's file; each screen is pushed, updated, drawn and
// given keys and pointer moves through the window manager, and the tutorial is loaded, drawn and
// clicked. What the loading screen's stages build from the game's own files (the heroes, the hand
// objects, the effects, the comics, the room sprites and the sixteen screens in their holders)
// cannot change with the input: it is built once, by the game's loading screen run through every
// stage before the first input, and kept, as the game keeps it for the whole run. Run from the
// source folder so that those files are found.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "anim/comics.h"
#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/data/profile.h"
#include "fuzz/fuzz_support.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "game/tutorial.h"
#include "minigames/minigame.h"
#include "screens/after_game.h"
#include "screens/dialogs.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "screens/level_loading.h"
#include "screens/main_menu.h"
#include "screens/map.h"
#include "screens/scores.h"
#include "screens/shared_background.h"
#include "ui/ui.h"

namespace {

// Twenty steps of updates, keys and pointer moves: the first ones short enough to see the fade
// in, the later ones long enough for the screen's own timers.
void drive(Window* screen, size_t size, int earlyMs = 25, int lateMs = 1000) {
    WM* wm = WM::Get();
    wm->Push(screen, true, (size >> 2) & 1, false);
    for (int step = 0; step < 20 && wm->Count() > 0; ++step) {
        wm->Update(step < 14 ? earlyMs : lateMs);
        const intptr_t at = uiPack((step * 37) % 320, (step * 53) % 240);
        wm->OnMouseMove(0, at);
        const int key = step % 4 == 0 ? kUiEnter : step % 4 == 1 ? kUiLeftButton : 36 + step % 6;
        wm->OnKeyDown(key, at);
        wm->OnKeyUp(key, at);
        wm->Render();
    }
    // Every window still on the stack hears that it is hidden, as at the manager's end: the
    // screens kept between inputs give back the input's shared background.
    WM::Destroy();
    WM::Create();
}

// The window manager's darkness picture, held for the whole run as the game's one manager holds
// it: each input's managers share it instead of looking for the file again (it is missing when
// run from the source folder, and a missing picture is searched for folder by folder).
HSPRITE gDarkness = nullptr;

void releaseFixedData() {
    grFreeSprite(gDarkness);
    releaseScreenHolders();
    FreeGameData();
}

// The game's loading screen run through every stage, once per process; what it built goes at
// the end of the process, as at the game's end.
void loadFixedData() {
    // The log and the user folder are in the scratch folder before anything loads, so that the
    // run writes nothing into the folder it was started from (the score table, the log).
    setenv("XDG_DATA_HOME", fuzzsupport::scratchDir().c_str(), 1);
    userFolderCreate();
    atexit(releaseFixedData);
    gDarkness = grLoadSprite("Data/fx/darkness.tga", nullptr, 0);
    WM::Create();
    {
        const RCPtr<Window> loading = CreateLoadingScreen("Data/Menu/UILoading/UILoading.ini", "Main");
        WM::Get()->Push(loading.get(), true, false, false);
        auto* stages = static_cast<UIGameLoading*>(loading.get());
        for (int i = 0; i < 100 && stages->stage() < kLoadingStages; ++i) WM::Get()->Update(kLoadingStageMs);
        if (stages->stage() < kLoadingStages) abort();
        WM::Get()->Clear();
    }
    WM::Destroy();
}

// The input's own loading screen goes through its fade and part of its first stage's progress,
// never to the stages themselves, which read only the game's files and ran before the first input.
void driveLoading(Window* screen, size_t size) {
    const int step = (kUiFadeMs + kLoadingStageMs / 2) / 20;
    drive(screen, size, step, step);
}

void put(const char* name, const void* data, size_t size) {
    std::filesystem::create_directories(
        std::filesystem::path(fuzzsupport::scratchDir() + "/" + name).parent_path());
    fuzzsupport::writeScratch(name, static_cast<const unsigned char*>(data), size);
}

void put(const char* name, const std::string& text) { put(name, text.data(), text.size()); }

// A player's folder and a road of five way points over two episodes (a mini-game among them),
// in the scratch folder, which is the current one meanwhile.
void roadSetUp() {
    put("game.ini", "[main]\r\nname=fuzz\r\n");
    put("Data/shared.ini",
        "[WayPoints]\r\n0=level, 1, 40, 60\r\n1=level, 1, 100, 60\r\n2=mini, 1, 160, 60\r\n"
        "3=level, 2, 40, 160\r\n4=level, 2, 100, 160\r\n");
    setenv("XDG_DATA_HOME", fuzzsupport::scratchDir().c_str(), 1);
    userFolderCreate();
}

// The map, the level loading screen and the statistics from the bytes, for a player whose first
// episode is done but for its mini-game; the map's own settings file is the bytes too.
void driveRoad(const std::string& file, const uint8_t* data, size_t size) {
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(fuzzsupport::scratchDir().c_str()) != 0) abort();
    static bool ready = (roadSetUp(), true);
    (void)ready;
    put("Data/Menu/UIMap/UIMap.ini", data, size);
    iniFreeAll();
    LoadWayPoints();
    CreatePlayer("fuzz", u"Fuzz");
    gCurrentProfile->SetLevel(size % gWayPoints.size());
    for (uint32_t i = 0; i < 2 && i < gWayPoints.size(); ++i) gWayPoints[i].LoadResult(2 + i);
    WM::Create();
    {
        const RCPtr<Window> road[] = {makeScreen<UIGameMap>(file.c_str()),
                                      makeScreen<UILevelLoading>(file.c_str()),
                                      makeScreen<UIAfterGameStats>(file.c_str())};
        for (const RCPtr<Window>& screen : road) drive(screen.get(), size);
    }
    WM::Destroy();
    // "Play" may have made a level or a mini-game that nothing shows.
    releaseCurrentGame();
    delete gCurrentMiniGame;
    ReleasePlayer();
    gWayPoints.clear();
    if (chdir(here) != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool fixedLoaded = (loadFixedData(), true);
    (void)fixedLoaded;
    const std::string file = fuzzsupport::writeScratch("screen.ini", data, size);
    iniFreeAll();
    static HSPRITE target = grCreateSprite(320, 240, "fuzz target");
    grSetTarget(target);
    grSetClip(target, 0, 0, 320, 240);

    WM::Create();
    auto* background = new SharedBackground;
    background->Create(file.c_str(), "Main");
    gSharedBackground = background;
    {
        const RCPtr<Window> start[] = {
            CreateLogoScreen(file.c_str(), "Main"), CreatePlayerScreen(file.c_str(), "Main"),
            CreateLoadingScreen(file.c_str(), "Main"), makeScreen<UIMainMenu>(file.c_str()),
            makeScreen<UIOptions>(file.c_str())};
        for (const RCPtr<Window>& screen : start) {
            if (screen.get() == start[2].get()) driveLoading(screen.get(), size);
            else drive(screen.get(), size);
        }
    }
    const RCPtr<Window> fixedScores = gUIScores;
    gUIScores = makeScreen<UIScores>(file.c_str());
    if (auto* scores = dynamic_cast<UIScores*>(gUIScores.get())) {
        scoresAddFinishedGame(u"Fuzz", size * 1000);
        scores->LoadEntry("score0");
    }
    const RCPtr<Window> screens[] = {
        makeScreen<UIConfirmDialog>(file.c_str()), makeScreen<UIGameMenuBase>(file.c_str()),
        makeScreen<UIHelp>(file.c_str()), makeScreen<UIFinalScreen>(file.c_str()), gUIScores};
    for (const RCPtr<Window>& screen : screens) drive(screen.get(), size);
    WM::Destroy();
    gUIScores = fixedScores;
    delete gSharedBackground;
    gSharedBackground = nullptr;
    gWayPoints.clear();
    driveRoad(file, data, size);

    cTutorial::Load(file.c_str());
    int shown = 0;
    for (auto it = gTutorial->hints.Begin(); !it.AtEnd() && shown < 8; it.Next(), ++shown)
        gTutorial->ShowAt(it.Node()->key.c_str(), Point2i(shown * 40, 100), shown * 5);
    gTutorial->AddTime(static_cast<int>(size));
    gTutorial->Draw();
    gTutorial->OnMouseDown(kUiLeftButton, uiPack(static_cast<int>(size % 300), 10));
    cTutorial::Free();
    // What the screens started on the data kept between inputs ends with the input.
    if (gComics) gComics->Stop();
    ResetFx();
    gGameFinished = false;
    iniFreeAll();
    return 0;
}
