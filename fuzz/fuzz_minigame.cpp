// Fuzzes the mini-games: arbitrary bytes as the file of one mini-game (the first byte picks the
// episode's kind), which is loaded and then played for a few hundred steps of 25 ms with pointer
// moves and clicks over the screen, an Escape near the end, and a draw every step.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "fuzz/fuzz_support.h"
#include "minigames/minigame.h"
#include "ui/ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int episode = size ? data[0] % 4 + 1 : 1;
    const std::string& dir = fuzzsupport::scratchDir();
    char folder[64];
    snprintf(folder, sizeof folder, "Data/MiniGame/minigame%d", episode);
    const std::string full = dir + "/" + folder;
    for (const std::string& d : {dir + "/Data", dir + "/Data/MiniGame", full})
        mkdir(d.c_str(), 0755);
    char name[96];
    snprintf(name, sizeof name, "%s/minigame%d.ini", folder, episode);
    FILE* f = fopen((dir + "/" + name).c_str(), "wb");
    if (!f) abort();
    if (size > 1) fwrite(data + 1, 1, size - 1, f);
    fclose(f);
    iniFreeAll();

    static HSPRITE target = grCreateSprite(320, 240, "fuzz target");
    grSetTarget(target);
    grSetClip(target, 0, 0, 320, 240);
    cursorCreate();

    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(dir.c_str()) != 0) abort();
    cMiniGameBase* game = CreateMiniGame(episode);
    game->Load(episode);
    uint32_t seed = static_cast<uint32_t>(size) * 2654435761u;
    for (int step = 0; step < 400; ++step) {
        seed = seed * 1103515245u + 12345u;
        const int x = static_cast<int>(seed >> 8) % 1100 - 40;
        const int y = static_cast<int>(seed >> 18) % 800 - 20;
        game->OnMouseMove(0, uiPack(x, y));
        if (step % 3 == 0) game->OnKeyDown(kUiLeftButton, uiPack(x, y));
        if (step == 350) game->OnKeyDown(27, 0);
        if (game->Update(25)) break;  // finished: the screen closed itself
        game->Draw();
    }
    delete game;
    if (chdir(here) != 0) abort();
    cursorDestroy();
    return 0;
}
