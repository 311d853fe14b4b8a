// The bundled level-world sample data: every object, request, hero and guest loads its pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"
#include "world/client.h"
#include "world/jenny.h"
#include "world/level_object.h"
#include "world/moving.h"
#include "world/pair.h"
#include "world/request.h"
#include "world/walkmap.h"

namespace {

// The sample data, seen from the test's own folder.
const bool kOwnFolder = testsupport::workInOwnFolder("velmora_sample_data", [] {
    std::filesystem::create_directory_symlink(std::string(VELMORA_GAME_DIR) + "/Data", "Data");
    logOpen();
});

TEST(SampleData, EveryMapObjectRequestAndWalkLoadsItsPictures) {
    iniFreeAll();
    cWalkMap map;
    ASSERT_TRUE(map.Load(1, Point2i(0, 0)));
    EXPECT_EQ(32, map.GetSize().x);
    EXPECT_EQ(24, map.GetSize().y);
    cWalkMap::SetCurrent(&map);
    const char* objects = "Data/Episodes/e1/objects.ini";
    char sections[4096];
    iniGetSections(objects, sections, sizeof sections);
    int loaded = 0;
    for (const char* s = sections; *s; s += strlen(s) + 1) {
        // The places where clients stand show nothing of their own.
        const std::string name = s;
        if (name == "Main" || name.rfind("CheckInPlace", 0) == 0 ||
            name.rfind("CheckOutPlace", 0) == 0 || name == "AngerPoint")
            continue;
        cLevelObj o;
        o.Load(objects, s);
        EXPECT_TRUE(o.GetCurrentSprite()) << s;
        EXPECT_TRUE(o.GetExtraSprite()) << s;
        ++loaded;
    }
    EXPECT_GE(loaded, 20);
    cWalkMap::SetCurrent(nullptr);

    for (int k = 0; k < kRequestKinds; ++k) {
        const std::string icon = iniGetString(kRequestFile, RequestKindName(k), "sprite0", "");
        HSPRITE sprite = grLoadSprite(icon.c_str(), nullptr, 0);
        EXPECT_TRUE(sprite) << RequestKindName(k);
        grFreeSprite(sprite);
    }
    cMovingObj jenny;
    jenny.Load("Data/Heroes/Jenny/Jenny.ini");
    EXPECT_GT(jenny.GetBody().speed, 0.0f);
    for (int i = 0; i < cMovingObj::kWalkAnims; ++i)
        EXPECT_TRUE(jenny.Anim(i)->sprite) << cMovingObj::kWalkNames[i];

    cJenny receptionist;
    receptionist.Load("Data/Heroes/Jenny/Jenny.ini");
    for (int i = 0; i < cJenny::kJennyAnims; ++i)
        EXPECT_TRUE(receptionist.Anim(i)->sprite) << "Jenny's record " << i;
    for (int hand = 0; hand < 2; ++hand)
        for (int i = 0; i < cJenny::kHandRecords; ++i)
            EXPECT_TRUE(receptionist.Hand(hand, i).sprite) << receptionist.Hand(hand, i).section.c_str();
    EXPECT_GT(receptionist.CookDelay(), 0);

    cClient guest;
    guest.Load("Data/Clients/Businessman/Businessman.ini");
    EXPECT_STREQ("Businessman", guest.GetName());
    for (int i = 0; i < cClient::kClientAnims; ++i) EXPECT_TRUE(guest.Anim(i)->sprite) << i;
    for (int i = 0; i < cClient::kNoLegs; ++i) EXPECT_TRUE(guest.GetLegs().Anim(i)->sprite) << i;
    EXPECT_GT(guest.GetLoyalty(), 0);
}

TEST(SampleData, TheTravellerComesWithTheCowboyKid) {
    cClient mum;
    mum.Load("Data/Clients/Traveller/Traveller.ini");
    ASSERT_TRUE(mum.LoadLinked("Data/Clients/Traveller/Traveller.ini"));
    const auto* kid = dynamic_cast<const CowboyKid*>(mum.GetLinked());
    ASSERT_NE(nullptr, kid);
    for (const cClient* c : {static_cast<const cClient*>(&mum), static_cast<const cClient*>(kid)})
        for (int i = 0; i < cClient::kClientAnims; ++i)
            EXPECT_TRUE(c->Anim(i)->sprite) << c->GetName() << " " << i;
    EXPECT_STREQ("BotherLoop", kid->Anim(CowboyKid::kAnimBotherLoop)->section.c_str());
}

}  // namespace
