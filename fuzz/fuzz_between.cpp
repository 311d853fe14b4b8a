// Fuzzes the screens between levels: arbitrary bytes as the shop's items file and the home's
// items file (split at the first zero byte), then each screen's opening, a few updates, a
// purchase and an installation.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "fuzz/fuzz_support.h"
#include "game/game_data.h"
#include "game/profile.h"
#include "screens/home.h"
#include "screens/shop.h"

namespace {

const char kObjects[] =
    "[Main]\r\nobjects=desk, room_a\r\n[desk]\r\nname=Desk\r\ntype=desk\r\n"
    "[sofa]\r\nname=Sofa\r\ntype=seat\r\ngrade=1\r\n[room_a]\r\ntype=room\r\ngrade=1\r\n";
const char kHomeLayout[] =
    "[Main]\r\nxs=1024\r\nys=768\r\n[Config]\r\ncells_count=4\r\ncell_stride=100\r\n"
    "cell_base_pos=100, 50\r\n[Panel]\r\nxs=1024\r\nys=100\r\n";

void put(const char* name, const std::string& text) {
    std::filesystem::create_directories(
        std::filesystem::path(fuzzsupport::scratchDir() + "/" + name).parent_path());
    fuzzsupport::writeScratch(name, reinterpret_cast<const unsigned char*>(text.data()),
                              text.size());
}

void setUp() {
    const std::string& dir = fuzzsupport::scratchDir();
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    put("game.ini", "[main]\r\nname=fuzz\r\n");
    put("Data/shared.ini", "[WayPoints]\r\n0=level, 1, 0, 0\r\n1=level, 1, 1, 1\r\n");
    put("Data/Episodes/e1/objects.ini", kObjects);
    put("Data/Menu/UIShop/UIShop.ini", "[Main]\r\nxs=800\r\nys=600\r\n");
    put("Data/Menu/UIHome/UIHome.ini", kHomeLayout);
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(dir.c_str()) != 0) abort();
    userFolderCreate();
    LoadWayPoints();
    if (chdir(here) != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (setUp(), true);
    (void)ready;
    const char* text = reinterpret_cast<const char*>(data);
    size_t split = 0;
    while (split < size && data[split]) ++split;
    put("Data/Menu/UIShop/items/e1/items.ini", std::string(text, split));
    put("Data/Menu/UIHome/items.ini",
        split < size ? std::string(text + split + 1, size - split - 1) : std::string());
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(fuzzsupport::scratchDir().c_str()) != 0) abort();
    iniFreeAll();
    // Every input starts from the same new player, rich and with one installation due.
    CreatePlayer("fuzz", u"Fuzz");
    gCurrentProfile->AddCash(100000);
    gWayPoints[0].SetResult(3);
    {
        UIShop shop;
        shop.Create("Data/Menu/UIShop/UIShop.ini", "Main");
        shop.OnShow(0);
        for (int i = 0; i < 4; ++i) shop.Update(25);
        UIWnd buy;
        StrCopyN(buy.section, "Buy", sizeof buy.section);
        shop.OnCommand(&buy);
        shop.Draw();
    }
    {
        UIHome home;
        home.Create("Data/Menu/UIHome/UIHome.ini", "Main");
        home.OnShow(0);
        home.OnKeyDown(1, uiPack(100, 50));
        for (int i = 0; i < 4; ++i) home.Update(25);
        UIWnd install;
        StrCopyN(install.section, "BtnInstall", sizeof install.section);
        home.OnCommand(&install);
        home.Update(25);
        home.Draw();
        home.OnHide(1);
    }
    ReleasePlayer();
    if (chdir(here) != 0) abort();
    return 0;
}
