// Fuzzes the meta screens' layouts: arbitrary bytes as the file every screen here is built from
// (the shared background, the logo, the player selection, the loading screen, the main menu,
// options, the dialogs, the pause menu, help, the final screen, the score table, and, for a
// player on a small road of way points, the episode map, the level loading screen and the
// after-level statistics) and as the tutorial's file; each screen is pushed, updated, drawn and
// given keys and pointer moves through the window manager, and the tutorial is loaded, drawn and
// clicked.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

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

void drive(Window* screen, size_t size) {
    WM* wm = WM::Get();
    wm->Push(screen, true, (size >> 2) & 1, false);
    for (int step = 0; step < 20 && wm->Count() > 0; ++step) {
        wm->Update(step < 14 ? 25 : 1000);
        const intptr_t at = uiPack((step * 37) % 320, (step * 53) % 240);
        wm->OnMouseMove(0, at);
        const int key = step % 4 == 0 ? kUiEnter : step % 4 == 1 ? kUiLeftButton : 36 + step % 6;
        wm->OnKeyDown(key, at);
        wm->OnKeyUp(key, at);
        wm->Render();
    }
    wm->Clear();
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
        for (const RCPtr<Window>& screen : start) drive(screen.get(), size);
    }
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
    // The loading screen's stages may have filled holders and the game data.
    releaseScreenHolders();
    FreeGameData();
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
    iniFreeAll();
    return 0;
}
