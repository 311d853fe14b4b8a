// Tests of the simple, moving and swinging effects, the fireworks timetable with its sounds, and
// the effect manager.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "anim/fx_effects.h"
#include "engine/data/ini.h"
#include "tests/anim/fx_fixtures.h"

namespace {

using namespace fxtest;

constexpr const char* kIni = "effects.ini";

void writeEffectData(const std::string& extra = "") {
    writeSolidSprite("Data/Fx/particles.tga", 64, 64, {255, 255, 255});
    ParticleParams p = quietParams();
    p.rate = 400;
    p.lifeMin = p.lifeMax = 0.5f;
    writeParticleFile("Data/Fx/spark.psi", p);
    writeText(kIni,
              "[plain]\npath = Data/Fx/spark.psi\nx = 50\ny = 60\nblendModeAlpha = 1\n"
              "actorSpriteX = 32\n"
              "[line]\npath = Data/Fx/spark.psi\npointsCount = 2\nx0 = 0\ny0 = 0\nx1 = 100\n"
              "y1 = 0\n"
              "[falling]\npath = Data/Fx/spark.psi\npointsCount = 2\nx0 = 100\ny0 = 100\n"
              "x1 = 200\ny1 = 300\n"
              "[single]\npath = Data/Fx/spark.psi\npointsCount = 1\nx0 = 5\ny0 = 5\n" +
                  extra);
    iniFreeAll();
}

TEST(SimpleEffect, LoadsAndStartsInPlaceOrAtAPoint) {
    writeEffectData();
    SimpleEffect e;
    e.Load(kIni, "plain");
    ASSERT_NE(e.System(), nullptr);
    float x, y, w, h;
    e.Actor()->GetSourceRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 32.0f);
    EXPECT_EQ(w, 32.0f);
    EXPECT_EQ(e.Actor()->Material().bytes[0], sMaterial(4, 4, 1, 30).bytes[0]);

    e.Start(0, -1000);
    EXPECT_EQ(e.System()->Position().x, 50.0f);
    EXPECT_EQ(e.System()->Position().y, 60.0f);
    EXPECT_NE(e.System()->Clock(), ParticleSystem::kStopped);
    e.Start(5, 0);
    EXPECT_EQ(e.System()->Position().x, 5.0f);
    EXPECT_EQ(e.System()->Position().y, 0.0f);
    EXPECT_TRUE(e.Update(0.025f));
    EXPECT_EQ(e.LiveCount(), 10);
}

TEST(SimpleEffect, OverlongPathIsCutAt255Characters) {
    const std::string longPath = "Data/Fx/" + std::string(300, 'p') + ".psi";
    writeEffectData("[long]\npath = " + longPath + "\n");
    const int before = logLines();
    SimpleEffect e;
    e.Load(kIni, "long");
    ASSERT_NE(e.System(), nullptr);
    EXPECT_EQ(logLines(), before + 1);
    EXPECT_NE(logText().find("'" + longPath.substr(0, 255) + "'"), std::string::npos);
    e.Start(0, -1000);
    e.Update(0.025f);
    EXPECT_EQ(e.LiveCount(), 0);
}

TEST(SimpleEffect, CopiesDrawWithTheirOwnActor) {
    writeEffectData();
    SimpleEffect* original = new SimpleEffect;
    original->Load(kIni, "plain");
    original->Start(0, -1000);
    original->Update(0.025f);
    SimpleEffect copy(*original);
    SimpleEffect assigned;
    assigned.Load(kIni, "line");
    assigned = *original;
    delete original;
    for (SimpleEffect* e : {&copy, &assigned}) {
        ASSERT_NE(e->Actor(), nullptr);
        EXPECT_EQ(e->System()->Actor(), e->Actor());
        EXPECT_EQ(e->LiveCount(), 10);
        DrawTarget target(128, 128, "copy_target");
        e->Draw();
        EXPECT_GT(target.painted().w, 0);
    }
}

TEST(MovingEffect, ArrivesOnceAStepReachesTheEnd) {
    writeEffectData();
    struct {
        float step;
        int arrivalStep;
    } cases[] = {{0.25f, 4}, {0.3f, 4}, {0.15f, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        MovingEffect e;
        e.LoadPath(kIni, "line");
        e.Start(0, -1000);
        int arrived = 0;
        for (int i = 1; i <= 10 && !arrived; ++i)
            if (e.Update(c.step)) arrived = i;
        EXPECT_EQ(arrived, c.arrivalStep);
        EXPECT_EQ(e.System()->Position().x, 100.0f);
        EXPECT_FALSE(e.IsStarted());
        EXPECT_EQ(e.Position().x, 0.0f);  // back on point 0, ready for the next start
    }
}

TEST(MovingEffect, StartedOnceUntilStoppedAndStillWithoutAPath) {
    writeEffectData();
    MovingEffect e;
    e.LoadPath(kIni, "line");
    e.Start(0, -1000);
    e.Update(0.25f);
    e.Start(70, 70);  // ignored while started
    EXPECT_EQ(e.Position().x, 25.0f);
    EXPECT_EQ(e.System()->Position().x, 25.0f);
    e.Stop(false);
    EXPECT_EQ(e.Position().x, 0.0f);
    e.Start(70, 70);
    EXPECT_EQ(e.System()->Position().x, 70.0f);

    MovingEffect single;
    single.LoadPath(kIni, "single");
    single.Start(0, -1000);
    for (int i = 0; i < 100; ++i) ASSERT_FALSE(single.Update(0.25f));
    EXPECT_EQ(single.Position().x, 5.0f);

    DecreaseSinEffect wave;
    wave.LoadPath(kIni, "single");
    wave.Start(0, -1000);
    EXPECT_FALSE(wave.Update(0.25f));
}

TEST(DecreaseSinEffect, SwingsFromFiftyPixelsToNoneOnItsLine) {
    writeEffectData();
    DecreaseSinEffect first;
    first.LoadPath(kIni, "line");
    first.Start(0, -1000);
    first.Update(0.0001f);
    EXPECT_NEAR(first.System()->Position().y, 50.0f, 0.1f);

    DecreaseSinEffect e;
    e.LoadPath(kIni, "line");
    e.Start(0, -1000);
    int steps = 1;
    while (!e.Update(0.025f) && steps < 100) ++steps;
    // The step that leaves less than one more step of way lands on the end, with what is left
    // of the swing (at most 50 pixels times the step), and the next update reports arrival.
    EXPECT_EQ(steps, 40);
    EXPECT_NEAR(e.System()->Position().x, 100.0f, 0.01f);
    EXPECT_NEAR(e.System()->Position().y, 0.0f, 50 * 0.025f);
}

TEST(DecreaseSinEffect, FallingTrailEndsOnItsOwnEndPoint) {
    writeEffectData();
    DecreaseSinEffect e;
    e.LoadPath(kIni, "falling");
    e.Start(0, -1000);
    for (int i = 0; i < 20; ++i) e.Update(0.025f);
    // Halfway the point lies near the line from (100, 100) to (200, 300), below its start.
    EXPECT_GT(e.System()->Position().y, 150.0f);
    while (!e.Update(0.025f)) {
    }
    EXPECT_NEAR(e.System()->Position().x, 200.0f, 0.5f);
    EXPECT_NEAR(e.System()->Position().y, 300.0f, 0.5f);
}

struct Played {
    std::string name;
    float clock;
};
std::vector<Played> gPlayed;
FireworksShow* gShow = nullptr;
void recordSound(const char* name) { gPlayed.push_back({name, gShow->Clock()}); }

const char* kFireworks =
    "[fireworksTailRed]\npointsCount = 2\nx0 = 100\ny0 = 700\nx1 = 300\ny1 = 200\n"
    "[fireworksTailGreen]\npointsCount = 2\nx0 = 900\ny0 = 700\nx1 = 700\ny1 = 200\n"
    "[fireworks]\nsmallDelay = 0.5\nbigDelay = 1\nrandR = 20\nballPos0 = 200, 300\n"
    "ballPos1 = 500, 250\nballPos2 = 800, 300\nballPos3 = 700, 200\nballPos4 = 300, 200\n";

TEST(FireworksShow, TimetableAndEachSoundOnce) {
    // No burst has a definition file: none ever shows a particle, which must not replay sounds.
    writeEffectData(kFireworks);
    FireworksShow show;
    gShow = &show;
    show.SetSoundPlayer(recordSound);
    show.Load(kIni);
    show.Reset();
    const Vec2f red = show.RedTrail().Path()[1];
    EXPECT_NEAR(red.x, 300, 10);
    EXPECT_NEAR(red.y, 200, 10);
    EXPECT_EQ(show.RedBurst().System()->Position().x, red.x);

    for (int run = 0; run < 2; ++run) {
        gPlayed.clear();
        show.Start();
        for (int i = 0; i < 400; ++i) show.Update(0.025f);
        EXPECT_GT(show.Clock(), 5.0f);
        EXPECT_LT(show.Clock(), 5.03f);  // no update after five seconds
        std::vector<float> starts, bursts;
        for (const Played& p : gPlayed)
            (p.name == "salute_start" ? starts : bursts).push_back(p.clock);
        ASSERT_EQ(starts.size(), 2u) << "run " << run;
        ASSERT_EQ(bursts.size(), 5u) << "run " << run;
        EXPECT_EQ(starts[0], 0.025f);              // the red trail at once
        EXPECT_NEAR(starts[1], 1.0f, 0.03f);       // the green one at the big delay
        // The first small burst opens after 1 s, the red trail arrives a second after its start,
        // the second small burst opens after 1.5 s, the third after 2 s, the green trail arrives.
        const float when[5] = {1.025f, 1.025f, 1.525f, 2.025f, 2.025f};
        for (int i = 0; i < 5; ++i) EXPECT_NEAR(bursts[i], when[i], 0.03f) << i;
    }
    gShow = nullptr;
}

TEST(FireworksShow, HeldAtItsStartPlaysItsFirstSoundOnce) {
    writeEffectData(kFireworks);
    FireworksShow show;
    gShow = &show;
    show.SetSoundPlayer(recordSound);
    show.Load(kIni);
    show.Reset();
    gPlayed.clear();
    for (int i = 0; i < 100; ++i) {
        initFxRecord(show);
        show.Update(0.025f);
    }
    // The clock stays at its first step; the red trail, launched once, still flies its second
    // and bursts, once.
    EXPECT_EQ(show.Clock(), 0.025f);
    ASSERT_EQ(gPlayed.size(), 2u);
    EXPECT_EQ(gPlayed[0].name, "salute_start");
    EXPECT_EQ(gPlayed[1].name, "salute_explosion");
    gShow = nullptr;
}

TEST(FxManager, StopLeavesNoParticle) {
    writeEffectData(std::string(kFireworks) +
                    "[fastWalk]\npath = Data/Fx/spark.psi\n[vacuumCleaner]\npath = "
                    "Data/Fx/spark.psi\n[fireworksRed]\npath = Data/Fx/spark.psi\n"
                    "[smallFireworksGold]\npath = Data/Fx/spark.psi\n");
    FxManager fx;
    fx.Show().SetSoundPlayer([](const char*) {});
    fx.Load(kIni);
    fx.Show().Reset();
    fx.FastWalk().Start(10, 10);
    fx.VacuumCleaner().Start(10, 10);
    fx.VacuumCleaner().Update(0.1f);
    fx.Show().Start();
    for (int i = 0; i < 70; ++i) fx.Update(0.025f);
    EXPECT_GT(fx.FastWalk().LiveCount(), 0);
    EXPECT_GT(fx.VacuumCleaner().LiveCount(), 0);
    EXPECT_GT(fx.Show().SmallBurst(1).LiveCount(), 0);
    EXPECT_GT(fx.Show().RedBurst().LiveCount(), 0);
    fx.Stop();
    EXPECT_EQ(fx.FastWalk().LiveCount(), 0);
    EXPECT_EQ(fx.VacuumCleaner().LiveCount(), 0);
    EXPECT_EQ(fx.Show().SmallBurst(1).LiveCount(), 0);
    EXPECT_EQ(fx.Show().RedBurst().LiveCount(), 0);
    EXPECT_EQ(fx.Show().Clock(), 10.0f);
}

}  // namespace
