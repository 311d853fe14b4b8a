// Particle system tests: emission timing and the pool limit, motion, the follow flag, placement
// along a moving emitter, drawing colours and bad definition files.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "anim/fx.h"
#include "core/random.h"
#include "tests/anim/fx_fixtures.h"

namespace {

using namespace fxtest;

constexpr float kStep = 0.025f;

struct EmissionCase {
    const char* name;
    int rate;
    float duration;
    float life;
    int steps;
    std::vector<int> live;  // after each step
    float clock;            // after the last step
};

TEST(ParticleSystem, EmissionTable) {
    const EmissionCase cases[] = {
        // The carry grows by a quarter per step.
        {"rate 10", 10, -1, 100, 8, {0, 0, 0, 1, 1, 1, 1, 2}, -1},
        {"endless until stopped", 400, -1, 100, 3, {10, 20, 30}, -1},
        {"duration 0 stops before emitting", 400, 0, 100, 2, {0, 0}, -2},
        {"duration ends the emission", 400, 0.05f, 100, 3, {10, 10, 10}, -2},
        {"life 0 dies in the next update", 400, -1, 0, 3, {10, 10, 10}, -1},
        // 500 at once; at the third step all die and as many are born in the same update.
        {"pool limit", 20000, -1, 0.05f, 3, {500, 500, 500}, -1},
    };
    for (const EmissionCase& c : cases) {
        SCOPED_TRACE(c.name);
        gParticleRandom.Seed(7);
        ParticleParams p = quietParams();
        p.rate = c.rate;
        p.duration = c.duration;
        p.lifeMin = p.lifeMax = c.life;
        ParticleSystem s(p, nullptr);
        s.StartAt(10, 10);
        for (int i = 0; i < c.steps; ++i) {
            s.Update(kStep);
            EXPECT_EQ(s.LiveCount(), c.live[i]) << "step " << i;
        }
        EXPECT_EQ(s.Clock(), c.clock);
    }
}

TEST(ParticleSystem, PoolLimitRenewsDeadParticlesInTheSameUpdate) {
    ParticleParams p = quietParams();
    p.rate = 20000;
    p.lifeMin = p.lifeMax = 0.05f;
    ParticleSystem s(p, nullptr);
    s.StartAt(0, 0);
    s.Update(kStep);
    s.Update(kStep);
    EXPECT_FLOAT_EQ(s.At(0).age, kStep);
    s.Update(kStep);
    ASSERT_EQ(s.LiveCount(), 500);
    for (int i = 0; i < 500; ++i) ASSERT_EQ(s.At(i).age, 0.0f) << i;
}

TEST(ParticleSystem, HugeRatesAreBoundedByTheFreePlaces) {
    ParticleParams p = quietParams();
    p.rate = std::numeric_limits<int32_t>::max();
    ParticleSystem s(p, nullptr);
    s.StartAt(0, 0);
    s.Update(1000.0f);
    EXPECT_EQ(s.LiveCount(), 500);
}

// The pool comes with the first start; a copy owns its own, with the live particles in it.
TEST(ParticleSystem, CopiesTakeTheLiveParticlesIntoAPoolOfTheirOwn) {
    ParticleParams p = quietParams();
    p.rate = 400;
    p.speedMin = p.speedMax = 100;
    ParticleSystem never(p, nullptr);
    never.Update(kStep);  // not started: nothing to move, nothing emitted
    EXPECT_EQ(never.LiveCount(), 0);
    ParticleSystem s(p, nullptr);
    s.StartAt(0, 0);
    s.Update(kStep);
    ASSERT_EQ(s.LiveCount(), 10);
    ParticleSystem copy(s);
    never = s;
    for (ParticleSystem* c : {&copy, &never}) {
        ASSERT_EQ(c->LiveCount(), 10);
        EXPECT_EQ(c->At(9).y, s.At(9).y);
    }
    const float y = copy.At(0).y;
    s.Update(kStep);
    EXPECT_EQ(copy.At(0).y, y);
    copy.Update(kStep);
    EXPECT_EQ(copy.LiveCount(), 20);
}

TEST(ParticleSystem, StopLetsParticlesPlayOutOrClearsThem) {
    ParticleParams p = quietParams();
    p.rate = 400;
    p.speedMin = p.speedMax = 100;
    ParticleSystem s(p, nullptr);
    s.StartAt(0, 0);
    s.Update(kStep);
    s.Stop(false);
    const float y = s.At(0).y;
    s.Update(kStep);
    EXPECT_EQ(s.LiveCount(), 10);
    EXPECT_LT(s.At(0).y, y);  // still moving up
    s.Stop(true);
    EXPECT_EQ(s.LiveCount(), 0);
}

TEST(ParticleSystem, OneParticleMovesAsComputedByHand) {
    ParticleParams p = quietParams();
    p.rate = 10;
    p.radialMin = p.radialMax = 10;
    p.tangentialMin = p.tangentialMax = 20;
    p.gravityMin = p.gravityMax = 30;
    ParticleSystem s(p, nullptr);
    s.StartAt(50, 50);
    s.Update(0.1f);
    ASSERT_EQ(s.LiveCount(), 1);
    s.Params().rate = 0;
    const Particle born = s.At(0);
    EXPECT_EQ(born.vx, 0.0f);
    EXPECT_EQ(born.vy, 0.0f);
    EXPECT_NEAR(born.x, 50, 2);
    EXPECT_NEAR(born.y, 50, 2);
    // The emitter straight below: away from it is up (0, -1), the turn of that is (1, 0).
    s.SetPosition(born.x, born.y + 10, false);
    s.Update(0.1f);
    // v = (0, -1) * 10 * 0.1 + (1, 0) * 20 * 0.1 + (0, 30 * 0.1) = (2, 2); moved by v * 0.1.
    EXPECT_FLOAT_EQ(s.At(0).vx, 2.0f);
    EXPECT_FLOAT_EQ(s.At(0).vy, 2.0f);
    EXPECT_FLOAT_EQ(s.At(0).x, born.x + 0.2f);
    EXPECT_FLOAT_EQ(s.At(0).y, born.y + 0.2f);
}

TEST(ParticleSystem, FollowFlagAddsTheEmittersTurn) {
    for (int follow : {0, 1}) {
        ParticleParams p = quietParams();
        p.rate = 40;
        p.speedMin = p.speedMax = 100;
        p.follow = static_cast<uint8_t>(follow);
        ParticleSystem s(p, nullptr);
        s.StartAt(100, 0);
        s.SetPosition(0, 100, false);  // a quarter turn about the screen's origin
        s.Update(kStep);
        ASSERT_EQ(s.LiveCount(), 1);
        EXPECT_NEAR(s.At(0).vx, 0, 1e-3);
        EXPECT_NEAR(s.At(0).vy, follow ? 100 : -100, 1e-3) << "follow " << follow;
    }
}

TEST(ParticleSystem, ParticlesOfOneStepSpreadAlongTheEmittersWay) {
    gParticleRandom.Seed(3);
    ParticleParams p = quietParams();
    p.rate = 8000;
    ParticleSystem s(p, nullptr);
    s.StartAt(0, 0);
    s.SetPosition(100, 0, false);
    s.Update(kStep);
    ASSERT_EQ(s.LiveCount(), 200);
    float lo = 1e9f, hi = -1e9f;
    for (int i = 0; i < s.LiveCount(); ++i) {
        EXPECT_GE(s.At(i).x, -2.0f);
        EXPECT_LE(s.At(i).x, 102.0f);
        EXPECT_LE(std::fabs(s.At(i).y), 2.0f);
        lo = std::fmin(lo, s.At(i).x);
        hi = std::fmax(hi, s.At(i).x);
    }
    EXPECT_LT(lo, 10);
    EXPECT_GT(hi, 90);
    // With carry the live particles move along with the emitter.
    const float x0 = s.At(0).x;
    s.SetPosition(150, 0, true);
    EXPECT_FLOAT_EQ(s.At(0).x, x0 + 50);
}

// One particle drawn with a white sprite tinted by the particle's colour, beside the actor drawn
// alone in the colour expected: both must land the same pixel.
struct ColourProbe {
    FxActor actor;
    ColourProbe(float r, float g, float b) : actor("Data/Fx/white8.tga") {
        actor.SetMaterial(tintMaterial());
        actor.SetColour(r, g, b, 1);
    }
    uint16_t particle(const ParticleParams& p) {
        ParticleSystem s(p, &actor);
        s.StartAt(16, 16);
        s.Update(kStep);
        DrawTarget target(32, 32, "particle_target");
        float r, g, b, a;
        actor.GetColour(&r, &g, &b, &a);
        s.Draw();
        float r2, g2, b2, a2;
        actor.GetColour(&r2, &g2, &b2, &a2);
        EXPECT_TRUE(r == r2 && g == g2 && b == b2 && a == a2);  // the actor's colour comes back
        return target.at(20, 20);
    }
    uint16_t alone(float r, float g, float b) {
        FxActor plain("Data/Fx/white8.tga");
        plain.SetMaterial(tintMaterial());
        plain.SetColour(r, g, b, 1);
        DrawTarget target(32, 32, "alone_target");
        plain.DrawAt(16, 16, 1, 1);
        return target.at(20, 20);
    }
};

TEST(ParticleSystem, ColoursAreClampedPerChannel) {
    writeSolidSprite("Data/Fx/white8.tga", 8, 8, {255, 255, 255});
    ParticleParams p = quietParams();
    p.rate = 40;
    const float start[4] = {2.0f, -1.0f, 0.5f, 1.0f};
    for (int c = 0; c < 4; ++c) p.startColour[c] = p.endColour[c] = start[c];
    // Red full, green none, blue half: no channel bleeds into its neighbour.
    ColourProbe probe(1, 1, 1);
    EXPECT_EQ(probe.particle(p), probe.alone(1.0f, 0.0f, 127 / 255.0f));
}

TEST(ParticleSystem, NegativeStartRedDrawsInTheActorsColour) {
    writeSolidSprite("Data/Fx/white8.tga", 8, 8, {255, 255, 255});
    ParticleParams p = quietParams();
    p.rate = 40;
    p.startColour[0] = -1;
    ColourProbe probe(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(probe.particle(p), probe.alone(0.0f, 1.0f, 0.0f));
    EXPECT_NE(probe.alone(0.0f, 1.0f, 0.0f), probe.alone(1.0f, 1.0f, 1.0f));
}

TEST(ParticleSystem, BadFilesEmitNothingAndLogOneLineEach) {
    ParticleParams good = quietParams();
    good.rate = 400;
    const std::string bytes = particleBytes(good);
    std::string nan = bytes;
    const float bad = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&nan[12], &bad, 4);  // life minimum
    struct {
        const char* name;
        std::string data;
    } files[] = {
        {"Data/Fx/empty.psi", ""},
        {"Data/Fx/short.psi", bytes.substr(0, 127)},
        {"Data/Fx/long.psi", bytes + "x"},
        {"Data/Fx/nan.psi", nan},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        writeText(f.name, f.data);
        const int before = logLines();
        ParticleSystem s(f.name, nullptr);
        EXPECT_EQ(logLines(), before + 1);
        EXPECT_NE(logText().find(f.name), std::string::npos);
        s.StartAt(0, 0);
        s.Update(1.0f);
        EXPECT_EQ(s.LiveCount(), 0);
    }
    writeText("Data/Fx/good.psi", bytes);
    ParticleSystem s("Data/Fx/good.psi", nullptr);
    EXPECT_EQ(s.Params().rate, 400);
    EXPECT_EQ(s.Params().lifeMax, 100.0f);
}

TEST(ParticleSystem, LifeThatIsNotANumberStillEnds) {
    ParticleParams p = quietParams();
    p.rate = 400;
    p.lifeMin = p.lifeMax = std::numeric_limits<float>::quiet_NaN();
    ParticleSystem s(p, nullptr);
    s.StartAt(0, 0);
    s.Update(kStep);
    s.Stop(false);
    s.Update(kStep);
    EXPECT_EQ(s.LiveCount(), 0);
}

}  // namespace

namespace {

TEST(ParticleSystem, BoundsFollowTheLiveParticlesWhileTracked) {
    gParticleRandom.Seed(3);
    ParticleParams p = quietParams();
    p.rate = 400;
    p.lifeMin = p.lifeMax = 100;
    p.speedMin = p.speedMax = 40;
    p.spread = 6.2831853f;
    ParticleSystem s(p, nullptr);
    s.StartAt(100, 100);
    s.Update(kStep);
    EXPECT_TRUE(s.Bounds().empty);  // off unless asked for
    s.SetBoundsTracking(true);
    for (int i = 0; i < 10; ++i) s.Update(kStep);
    const ParticleBounds& b = s.Bounds();
    ASSERT_FALSE(b.empty);
    for (int i = 0; i < s.LiveCount(); ++i) {
        EXPECT_GE(s.At(i).x, b.minX);
        EXPECT_LE(s.At(i).x, b.maxX);
        EXPECT_GE(s.At(i).y, b.minY);
        EXPECT_LE(s.At(i).y, b.maxY);
    }
    EXPECT_LT(b.minX, 100);  // spread all round the emitter
    EXPECT_GT(b.maxY, 100);
    s.Stop(true);
    EXPECT_TRUE(s.Bounds().empty);
}

TEST(ParticleBounds, ContainsAndOverlaps) {
    ParticleBounds a, b, empty;
    a.Add(0, 0);
    a.Add(10, 10);
    b.Add(9, 9);
    b.Add(20, 20);
    const struct {
        float x, y;
        bool in;
    } points[] = {{0, 0, true}, {5, 9.9f, true}, {10, 5, false}, {5, 10, false}, {-1, 5, false}};
    for (const auto& c : points) EXPECT_EQ(a.Contains(c.x, c.y), c.in) << c.x << "," << c.y;
    EXPECT_FALSE(empty.Contains(0, 0));
    EXPECT_TRUE(a.Overlaps(b));
    ParticleBounds far;
    far.Add(10, 0);  // touching edges do not overlap
    far.Add(20, 10);
    EXPECT_FALSE(a.Overlaps(far));
    EXPECT_FALSE(a.Overlaps(empty));
}

TEST(ParticleGroup, HoldsAHundredAndLetsFinishedSystemsGo) {
    gParticleRandom.Seed(5);
    ParticleParams p = quietParams();
    p.rate = 400;
    p.duration = 0.05f;
    p.lifeMin = p.lifeMax = 0.1f;
    ParticleGroup group;
    group.SetOffset(3, 4);
    for (int i = 0; i < ParticleGroup::kMaxSystems; ++i)
        ASSERT_NE(group.Add(p, nullptr, float(i), 0.0f), nullptr);
    EXPECT_EQ(group.Add(p, nullptr, 0, 0), nullptr);  // full
    ParticleSystem* first = group.At(0);
    EXPECT_EQ(first->Clock(), 0.0f);  // started where it was added
    EXPECT_EQ(first->Position().x, 0.0f);

    EXPECT_TRUE(group.Remove(first));
    EXPECT_FALSE(group.Contains(first));
    EXPECT_EQ(group.Count(), 99);

    // Emission ends after two steps; the particles live four more.
    for (int i = 0; i < 3; ++i) group.Update(kStep);
    EXPECT_EQ(group.Count(), 99);
    for (int i = 0; i < 6; ++i) group.Update(kStep);
    EXPECT_EQ(group.Count(), 0);

    ParticleSystem* again = group.Add(p, nullptr, 1, 1);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(group.Contains(again));
    EXPECT_FALSE(group.Remove(nullptr));
    group.Clear();
    EXPECT_EQ(group.Count(), 0);
}

}  // namespace
