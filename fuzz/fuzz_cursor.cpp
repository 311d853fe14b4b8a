// Fuzzes the cursor manager: arbitrary bytes as data/cursor/cursor.ini, read by a new manager,
// which then selects, moves, clicks and ticks at odd frame times, drawing into a small target.
#include <unistd.h>

#include <cstdint>
#include <string>
#include <sys/stat.h>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "fuzz/fuzz_support.h"
#include "ui/ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = fuzzsupport::scratchDir();
    mkdir((dir + "/data").c_str(), 0700);
    mkdir((dir + "/data/cursor").c_str(), 0700);
    fuzzsupport::writeScratch("data/cursor/cursor.ini", data, size);
    char here[4096];
    // The manager reads its file relative to the current folder.
    if (!getcwd(here, sizeof here) || chdir(dir.c_str()) != 0) return 0;
    iniFreeAll();
    static HSPRITE target = grCreateSprite(64, 64, "fuzz target");
    grSetTarget(target);

    cursorCreate();
    for (int i = 0; i < 24; ++i) {
        if (i % 5 == 0) cursorSelect(i / 5 - 1 + static_cast<int>(size % 3));
        if (i % 3 == 0) cursorClick();
        cursorMove(0, uiPack((i * 29) % 80 - 8, (i * 13) % 80 - 8));
        cursorTick(i % 4 == 0 ? 0 : i * 7);
        if (i == 12) cursorSet(static_cast<int>(size & 1));
    }
    cursorDestroy();
    iniFreeAll();
    if (chdir(here) != 0) abort();
    return 0;
}
