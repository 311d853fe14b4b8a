// Fuzzes level loading: arbitrary bytes as the episode's levels.ini, every loading stage of a new
// level screen run on it, then a few seconds of play.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <string>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "fuzz/fuzz_support.h"
#include "game/game.h"
#include "game/game_data.h"
#include "game/profile.h"

namespace {

void write(const char* name, const char* text) {
    fuzzsupport::writeScratch(name, reinterpret_cast<const unsigned char*>(text), strlen(text));
}

// A small hotel in the scratch folder, its user folder and one player.
void setUp() {
    const std::string& dir = fuzzsupport::scratchDir();
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    for (const char* folder : {"/Data", "/Data/Episodes", "/Data/Episodes/e1", "/Data/Request",
                               "/Data/Monsters", "/Data/Monsters/Robber"})
        mkdir((dir + folder).c_str(), 0700);
    write("game.ini", "[main]\nname=fuzz\n");
    write("Data/shared.ini", "[WayPoints]\n0=level, 1, 0, 0\n1=level, 1, 5, 5\n");
    write("Data/Episodes/e1/map.ini", "[Main]\nsize=128,128\nstep=32,32\n[map]\n"
                                      "nodes0=1111\nnodes1=1111\nnodes2=1111\nnodes3=1111\n");
    write("Data/Episodes/e1/objects.ini",
          "[Main]\nobjects=Desk,Bar,Stove\n[Desk]\nname=Desk\nx=10\ny=10\n"
          "[Bar]\nname=Bar\nx=20\ny=20\n[Stove]\nname=Stove\nx=30\ny=30\nbreakable=1\n"
          "[In1]\nname=In1\n[Out1]\nname=Out1\n[Angry]\nname=Angry\n");
    write("Data/Request/Request.ini",
          "[Cocktail]\nhero=Jenny\ntarget=Bar\n[Fire]\nhero=Porter\ntarget=Stove\n"
          "[DecreaseRatio]\ndirect=0.5\nindirect=x\n");
    write("Data/Monsters/Robber/Robber.ini",
          "[Main]\nspeed=3\nattack_speed=5\nthink_time=100, 200\nhealth=2\nsnatchTipsCount=3\n"
          "attackPos=20, 20\nbound_x=-16\nbound_y=-76\nbound_w=32\nbound_h=76\n");
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(dir.c_str()) != 0) abort();
    userFolderCreate();
    LoadWayPoints();
    CreatePlayer("fuzz", u"Fuzz");
    if (chdir(here) != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (setUp(), true);
    (void)ready;
    fuzzsupport::writeScratch("Data/Episodes/e1/levels.ini", data, size);
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(fuzzsupport::scratchDir().c_str()) != 0) abort();
    iniFreeAll();
    cGame* level = gameCreateLevel();
    level->SetLevelState(cGame::kPlaying);
    // Play is bounded by the work of the guests, not by steps alone: a level of many guests plays
    // fewer steps (at least 20), so that an input asking for the most guests does not take ten
    // times as long as the bundled level and slow the whole run down.
    const int guests = level->GetClientsMade();
    const int steps = guests > 20 ? std::max(20, 200 * 20 / guests) : 200;
    for (int i = 0; i < steps; ++i) level->Update(25);
    delete level;
    iniFreeAll();
    if (chdir(here) != 0) abort();
    return 0;
}
