// Fuzzes the level world's readers: the input, cut at its first two zero bytes, becomes a
// map.ini, an objects file and a walker file; the map is loaded, the objects stamp their masks,
// the walker searches and walks, and everything is drawn into a small target. The objects file
// also serves as the musician's, the carried objects' and the flower's file (and as the flower's
// levels file), and the cash desk takes its first section. The walker file also serves as a
// monster's, a robber's, the Maid's, the Porter's, a client's with its companion and the kid's.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "fuzz/fuzz_support.h"
#include "world/cash.h"
#include "world/client.h"
#include "world/draw_list.h"
#include "world/flower.h"
#include "world/gift.h"
#include "world/level_object.h"
#include "world/maid.h"
#include "world/monster.h"
#include "world/moving.h"
#include "world/musician.h"
#include "world/pair.h"
#include "world/porter.h"
#include "world/walkmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = fuzzsupport::scratchDir();
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(dir.c_str()) != 0) abort();
    mkdir("Data", 0755);
    mkdir("Data/Episodes", 0755);
    mkdir("Data/Episodes/e1", 0755);

    size_t cut[2] = {size, size};
    for (size_t i = 0, n = 0; i < size && n < 2; ++i)
        if (data[i] == 0) cut[n++] = i;
    const size_t objectsStart = cut[0] < size ? cut[0] + 1 : size;
    const size_t walkerStart = cut[1] < size ? cut[1] + 1 : size;
    fuzzsupport::writeScratch("Data/Episodes/e1/map.ini", data, cut[0]);
    fuzzsupport::writeScratch("objects.ini", data + objectsStart,
                              (cut[1] < size ? cut[1] : size) - objectsStart);
    fuzzsupport::writeScratch("walker.ini", data + walkerStart, size - walkerStart);
    iniFreeAll();

    cWalkMap map;
    map.Load(1, Point2i(0, 0));
    cWalkMap::SetCurrent(&map);
    {
        char sections[2048];
        iniGetSections("objects.ini", sections, sizeof sections);
        cLevelObj objects[4];
        int n = 0;
        for (const char* s = sections; *s && n < 4; s += strlen(s) + 1)
            objects[n++].Load("objects.ini", s);

        cMovingObj walker;
        walker.Load("walker.ini");
        const Point2i size2 = map.GetSize(), step = map.Step(), offset = map.Offset();
        const Point2i far(offset.x + size2.x * step.x - 1, offset.y + size2.y * step.y - 1);
        walker.WalkTo(far, 3, 2);
        for (int i = 0; i < 200 && walker.GetState() == 2; ++i) walker.Update(25);
        walker.WalkTo(offset, 3, 2);

        cMusician musician;
        musician.Load("objects.ini");
        cCash cash;
        cash.Load("objects.ini", sections);
        cash.PickUp();
        cGift gift;
        gift.Load("objects.ini", 0);
        cSweets sweets;
        sweets.Load("objects.ini", 0);
        cFlower flower;
        flower.Load(0, "objects.ini", "objects.ini", "level1");
        cLevelObj* kinds[] = {&musician, &cash, &gift, &sweets, &flower};
        musician.SetAnimation(cMusician::kPlayStart, false);
        musician.SetState(cMusician::kPlaying);
        for (int i = 0; i < 400; ++i)
            for (cLevelObj* k : kinds) k->Update(25);
        cMonster monster;
        monster.Load("walker.ini");
        cRobber robber;
        robber.Load("walker.ini");
        cMaid maid;
        maid.Load("walker.ini");
        cPorter porter;
        porter.Load("walker.ini");
        cClient guest;
        guest.Load("walker.ini");
        cPairClient companion(&guest);
        companion.Load("walker.ini");
        CowboyKid kid(&guest);
        kid.Load("walker.ini");
        cBaseObj* walkers[] = {&monster, &robber, &maid, &porter, &guest, &companion, &kid};

        cClient client;
        gift.GiveTo(&client);
        sweets.GiveTo(&client);

        HSPRITE target = grCreateSprite(64, 48, "fuzz_world_target");
        HSPRITE previous = grSetTarget(target);
        DrawList list;
        for (int i = 0; i < n; ++i) {
            objects[i].Update(25);
            objects[i].AddToDrawList(&list);
        }
        for (cLevelObj* k : kinds) k->AddToDrawList(&list);
        for (cBaseObj* w : walkers) w->AddToDrawList(&list);
        gift.DrawAtCursor(Point2i(10, 10));
        sweets.DrawAtCursor(Point2i(10, 10));
        walker.Update(25);
        walker.AddToDrawList(&list);
        list.Flush();
        grSetTarget(previous);
        grFreeSprite(target);
    }
    cWalkMap::SetCurrent(nullptr);
    iniFreeAll();
    if (chdir(here) != 0) abort();
    return 0;
}
