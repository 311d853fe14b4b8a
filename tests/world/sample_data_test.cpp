// The bundled level-world sample data: every object, request, hero and guest loads its pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "tests/engine/gr/draw_target.h"
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

// Every request's icon sits on the bubble's face, never straight on the floor, and the wait clock
// runs round the face: as the wait goes on, nothing changes inside the icon's circle.
TEST(SampleData, EveryBubbleShowsItsIconOnAFaceWithTheWaitClockRoundIt) {
    DrawTarget target(100, 100, "bubbletarget");
    const Point2i at(20, 20);
    for (int k = 0; k < kRequestKinds; ++k) {
        const char* kind = RequestKindName(k);
        HSPRITE icon = grLoadSprite(iniGetString(kRequestFile, kind, "sprite0", ""), nullptr, 0);
        ASSERT_TRUE(icon) << kind;
        const float cx = at.x + iniGetInt(kRequestFile, kind, "request_x", 0) + spriteWidth(icon) / 2.0f;
        const float cy = at.y + iniGetInt(kRequestFile, kind, "request_y", 0) + spriteHeight(icon) / 2.0f;
        const float inner = spriteWidth(icon) / 2.0f;
        grFreeSprite(icon);
        cRequest request;
        request.Load(k, 20000, nullptr, 0);
        request.SetWaiting();
        auto draw = [&] {
            target.clear();
            request.Draw(at, false, false);
            std::vector<uint16_t> pixels;
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 100; ++x) pixels.push_back(target.at(x, y));
            return pixels;
        };
        const std::vector<uint16_t> fresh = draw();
        request.Update(10000);  // half the wait: the clock has turned and changed colour
        const std::vector<uint16_t> half = draw();
        int bare = 0, clockOverIcon = 0, clock = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool inside = std::hypot(x + 0.5f - cx, y + 0.5f - cy) < inner;
                const size_t i = static_cast<size_t>(y * 100 + x);
                if (inside && !fresh[i]) ++bare;
                if (fresh[i] != half[i]) {
                    ++clock;
                    if (inside) ++clockOverIcon;
                }
            }
        EXPECT_EQ(0, bare) << kind << ": pixels of the icon's circle show the floor";
        EXPECT_EQ(0, clockOverIcon) << kind << ": the wait clock runs over the icon";
        EXPECT_GT(clock, 100) << kind << ": the wait clock did not move";
    }
}

}  // namespace
