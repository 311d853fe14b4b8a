// Fuzzes the player profile: arbitrary bytes as profile.ini, a player read from it, saved, moved
// to the next way point and read again.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "fuzz/fuzz_support.h"
#include "game/game_data.h"
#include "game/profile.h"

namespace {

// The user folder under the scratch folder, and a map of two episodes.
std::string setUp() {
    const std::string& dir = fuzzsupport::scratchDir();
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(dir.c_str()) != 0) abort();
    fuzzsupport::writeScratch("game.ini", reinterpret_cast<const unsigned char*>(
                                              "[main]\r\nname=fuzz\r\n"), 19);
    userFolderCreate();
    if (chdir(here) != 0) abort();
    for (int i = 0; i < 24; ++i)
        gWayPoints.push_back(cMapWayPoint(i / 12 + 1, i % 6 == 5 ? 2 : 1, Point2i(i, i)));
    char folder[1024];
    getUserFolder(folder, sizeof folder);
    return std::string(folder) + "/profile.ini";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = setUp();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    if (size) fwrite(data, 1, size, f);
    fclose(f);
    iniFreeAll();

    char name[256] = "";
    profileName(0, name, sizeof name);
    if (name[0] && SelectPlayer(name)) {
        cPlayerProfile* p = gCurrentProfile;
        p->GetShopItemList();
        p->ComputeTotalScore();
        p->Save();
        if (size & 1) gCurrentProfile->GoToLevel(gCurrentProfile->GetLevel() + 1);
        if (size & 2) gCurrentProfile->GoToLevel(100);
        ReleasePlayer();
        SelectPlayer(name);
    }
    ReleasePlayer();
    iniFreeAll();
    return 0;
}
