// Fuzzes the meta screens' layouts: arbitrary bytes as the file every screen here is built from
// (the shared background, the logo, the player selection, the loading screen, the main menu,
// options, the dialogs, the pause menu, help, the final screen, the score table) and as the
// tutorial's file; each screen is pushed, updated, drawn and given keys and pointer moves through the window
// manager, and the tutorial is loaded, drawn and clicked.
#include <cstdint>
#include <string>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "fuzz/fuzz_support.h"
#include "game/tutorial.h"
#include "game/game_data.h"
#include "screens/dialogs.h"
#include "screens/holders.h"
#include "screens/loading.h"
#include "screens/main_menu.h"
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
