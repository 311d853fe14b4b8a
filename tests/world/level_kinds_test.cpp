// The musician, the cash desk, gifts and sweets, and flowers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/random.h"
#include "engine/platform/log.h"
#include "tests/support/temp_folder.h"
#include "tests/world/world_fakes.h"
#include "world/musician.h"

namespace {

using namespace worldtest;

const bool kOwnFolder = testsupport::workInOwnFolder("velmora_level_kinds", [] { logOpen(); });

// Every request kind served by Jenny, a picture to animate, and a fake level screen.
class Kinds : public ::testing::Test {
protected:
    void SetUp() override {
        std::string request = "[Main]\n";
        for (int k = 0; k < kRequestKinds; ++k)
            request += std::string("[") + RequestKindName(k) + "]\nhero=Jenny\n";
        writeFile("Data/Request/Request.ini", request);
        // Sprites are shared by file name, and with them their timing: one picture per period.
        for (const char* name : {"pic", "i0", "i1", "i2", "ps", "pl", "st"})
            writePicture(std::string(name) + ".tga", 4, 4, 255, 0, 0);
        game.heroes = {{"Jenny", &jenny}};
    }

    FakeGame game;
    FakeHero jenny;
};

// --- Musician ----------------------------------------------------------------------------------

const char kMusicianIni[] =
    "[Main]\nname=Piano\nx=100\ny=200\nhero_x=5\nhero_y=-3\nv_x=1\nv_y=2\nsound=tune\n"
    "outline_obj=Stage\n"
    "[Idle0]\nsprite=i0.tga\nperiod=1000\nframes=1\n"
    "[Idle1]\nsprite=i1.tga\nperiod=800\nframes=1\n"
    "[Idle2]\nsprite=i2.tga\nperiod=600\nframes=1\n"
    "[PlayStart]\nsprite=ps.tga\nperiod=500\nframes=1\nplay_times=0\n"
    "[Play]\nsprite=pl.tga\nperiod=2000\nframes=1\nplay_times=3\n"
    "[PlayStop]\nsprite=st.tga\nperiod=300\nframes=1\n";

TEST_F(Kinds, MusicianLoadsItsPointsAndTable) {
    writeFile("musician.ini", kMusicianIni);
    cMusician m;
    m.Load("");
    EXPECT_EQ(0, m.AnimCount());
    m.Load("musician.ini");
    EXPECT_STREQ("Piano", m.GetName());
    EXPECT_STREQ("Musician_Main", m.GetSectionName());
    EXPECT_EQ(105, m.GetHeroPos().x);
    EXPECT_EQ(197, m.GetHeroPos().y);
    EXPECT_EQ(101, m.GetExtraPos().x);
    EXPECT_EQ(202, m.GetExtraPos().y);
    EXPECT_TRUE(m.IsIdle());
    EXPECT_EQ(cMusician::kIdle0, m.GetAnimIndex());
    const int times[cMusician::kAnimCount] = {1, 1, 1, 1, 3, 1};  // 0 and missing read as 1
    for (int i = 0; i < cMusician::kAnimCount; ++i) EXPECT_EQ(times[i], m.GetPlayTimes(i)) << i;
    cLevelObj stage;
    EXPECT_EQ(nullptr, m.GetOutlineObject());
    game.objects["Stage"] = &stage;
    EXPECT_EQ(&stage, m.GetOutlineObject());
}

TEST_F(Kinds, MusicianTuneRunsStartLoopsAndStop) {
    writeFile("musician.ini", kMusicianIni);
    Sounds sounds;
    cMusician m;
    m.Load("musician.ini");
    m.SetAnimation(cMusician::kPlayStart, false);
    m.SetState(cMusician::kPlaying);
    int tuneAt = -1, stopAt = -1, idleAt = -1;
    for (int t = 25; t <= 10000 && idleAt < 0; t += 25) {
        m.Update(25);
        if (tuneAt < 0 && sounds.count("tune") == 1) tuneAt = t;
        if (stopAt < 0 && m.GetAnimIndex() == cMusician::kPlayStop) stopAt = t;
        if (m.IsIdle()) idleAt = t;
    }
    EXPECT_EQ(500, tuneAt);
    EXPECT_EQ(500 + 3 * 2000, stopAt);
    EXPECT_EQ(500 + 3 * 2000 + 300, idleAt);
    EXPECT_EQ(cMusician::kIdle0, m.GetAnimIndex());
    EXPECT_EQ(1, sounds.count("tune"));
}

TEST_F(Kinds, MusicianIdleDrawPicksTheIdle) {
    writeFile("musician.ini", kMusicianIni);
    cMusician m;
    m.Load("musician.ini");
    bool seen[3] = {};
    for (uint32_t seed = 0; seed < 300; ++seed) {
        gRandom.Seed(seed);
        m.SetAnimation(cMusician::kIdle0, false);
        m.Update(999);
        EXPECT_EQ(cMusician::kIdle0, m.GetAnimIndex());  // not yet played through
        m.Update(1);
        const int r = m.GetLastDraw();
        const int expected = r < 3 ? cMusician::kIdle1 : r < 5 ? cMusician::kIdle2 : 0;
        EXPECT_EQ(expected, m.GetAnimIndex()) << r;
        EXPECT_EQ(0, m.GetAnimTime());
        seen[expected] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST_F(Kinds, MusicianTakesAnOrderOnlyWhenIdleAndUnordered) {
    writeFile("musician.ini", kMusicianIni);
    cMusician m;
    m.Load("musician.ini");
    cLevelObj chair;
    cRequest shown;
    FakeClient client;
    EXPECT_FALSE(m.IsActionable());  // nobody asks for music here
    game.clients[&m] = &client;
    client.GetRequest().Load(kMusic, 0, &m, 0);
    ASSERT_EQ(&jenny, client.GetRequest().GetHero());
    const struct {
        const char* what;
        cLevelObj* owner;
        bool attached, canOrder, ordered, playing, actionable;
    } cases[] = {
        {"own request", &m, false, true, false, false, true},
        {"client refuses", &m, false, false, false, false, false},
        {"already ordered", &m, false, true, true, false, false},
        {"playing", &m, false, true, false, true, false},
        {"no owner", nullptr, false, true, false, false, false},
        {"owner without bubble", &chair, false, true, false, false, false},
        {"owner with bubble", &chair, true, false, false, false, true},
    };
    for (const auto& c : cases) {
        client.GetRequest().SetOwner(c.owner);
        chair.SetAttached(c.attached ? &shown : nullptr);
        client.canOrder = c.canOrder;
        jenny.tasks.clear();
        if (c.ordered) jenny.AddTask(kMusic, &m);
        m.SetState(c.playing ? cMusician::kPlaying : cMusician::kIdleState);
        EXPECT_EQ(c.actionable, m.IsActionable()) << c.what;
    }
}

}  // namespace
