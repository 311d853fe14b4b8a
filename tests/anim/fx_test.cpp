// Effect actor and emitter tests: source rectangle rules, drawing with flips and rotation, the
// emitter's section, its jitter box and what a second load leaves behind.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/fx.h"
#include "core/random.h"
#include "engine/gr/registry.h"
#include "tests/anim/fx_fixtures.h"

namespace {

using namespace fxtest;

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255};

// 8 x 4: the left half red, the right half blue.
const char* twoColourSprite() {
    writeTga24("Data/Fx/halves.tga", 8, 4, [](int x, int) { return x < 4 ? kRed : kBlue; });
    return "Data/Fx/halves.tga";
}

TEST(FxActor, SourceRectangleRules) {
    FxActor none(nullptr);
    float x, y, w, h;
    none.GetSourceRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 0.0f);
    EXPECT_EQ(h, 0.0f);

    FxActor actor(twoColourSprite());
    actor.GetSourceRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 8.0f);
    EXPECT_EQ(h, 4.0f);
    actor.SetSourceRect(1, 1, 2, 2);
    for (const float* bad : {(const float[]){-1, 0, 1, 1}, (const float[]){0, -1, 1, 1},
                             (const float[]){0, 0, -1, 1}, (const float[]){0, 0, 1, -1}})
        actor.SetSourceRect(bad[0], bad[1], bad[2], bad[3]);
    actor.GetSourceRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 1.0f);
    EXPECT_EQ(w, 2.0f);
    EXPECT_EQ(h, 2.0f);
}

TEST(FxActor, DrawAtPlacesTheCentreAndFlipsAboutIt) {
    FxActor actor(twoColourSprite());
    actor.SetMaterial(copyMaterial());
    actor.SetCentre(4, 2);
    DrawTarget target(32, 32, "actor_target");

    actor.DrawAt(10, 10, 1, 1);
    EXPECT_EQ(target.painted(), (DrawTarget::Box{6, 8, 8, 4}));
    EXPECT_EQ(target.at(6, 8), rgb565(kRed));
    EXPECT_EQ(target.at(13, 8), rgb565(kBlue));

    // Scaled, the offset by the centre stays unscaled: the top-left corner does not move.
    target.clear();
    actor.DrawAt(10, 10, 2, 2);
    EXPECT_EQ(target.painted(), (DrawTarget::Box{6, 8, 16, 8}));

    // Flipped in x the width is negative: the sprite mirrors and lies left of the corner.
    target.clear();
    actor.SetFlip(true, false);
    actor.DrawAt(20, 10, 1, 1);
    const DrawTarget::Box box = target.painted();
    EXPECT_EQ(box.w, 8);
    EXPECT_EQ(box.h, 4);
    EXPECT_EQ(target.at(box.x, box.y), rgb565(kBlue));
    EXPECT_EQ(target.at(box.x + 7, box.y), rgb565(kRed));
}

TEST(FxActor, DrawRotatedTurnsTheCornersAboutThePoint) {
    FxActor actor(twoColourSprite());
    actor.SetMaterial(copyMaterial());
    DrawTarget target(32, 32, "rotated_target");
    // A quarter turn takes the corners (0,0) (8,0) (8,4) (0,4) to (0,0) (0,8) (-4,8) (-4,0).
    actor.DrawRotated(20, 10, 1.5707964f, 1, 1);
    const DrawTarget::Box box = target.painted();
    EXPECT_NEAR(box.x, 16, 1);
    EXPECT_NEAR(box.y, 10, 1);
    EXPECT_NEAR(box.w, 4, 1);
    EXPECT_NEAR(box.h, 8, 1);
    EXPECT_EQ(target.at(18, 11), rgb565(kRed));  // the left half went to the top
    EXPECT_EQ(target.at(18, 16), rgb565(kBlue));
}

TEST(FxActor, CopyHoldsItsOwnReference) {
    FxActor* actor = new FxActor(twoColourSprite());
    actor->SetColour(0.5f, 0.25f, 1, 1);
    FxActor* copy = actor->Copy();
    delete actor;
    ASSERT_NE(grRegistryFind("Data/Fx/halves.tga"), nullptr);
    EXPECT_EQ(copy->PackedColour(), 0xFF7F3FFFu);
    delete copy;
    EXPECT_EQ(grRegistryFind("Data/Fx/halves.tga"), nullptr);
}

void writeEmitterData() {
    writeSolidSprite("Data/Fx/dot.tga", 4, 4, {255, 255, 255});
    ParticleParams p = quietParams();
    p.rate = 400;
    writeParticleFile("Data/Fx/dot.psi", p);
    writeFxIni(
        "[Box]\nactor = Data/Fx/dot.tga\nsystem = Data/Fx/dot.psi\n"
        "spread_range_x = 10\nspread_range_y = 20\n"
        "[Point]\nactor = Data/Fx/dot.tga\nsystem = Data/Fx/dot.psi\n"
        "[Negative]\nactor = Data/Fx/dot.tga\nspread_range_x = -5\nspread_range_y = 3\n"
        "[NoActor]\nsystem = Data/Fx/dot.psi\n");
}

TEST(FxEmitter, LoadsItsSection) {
    writeEmitterData();
    FxEmitter empty;
    EXPECT_FALSE(empty.IsAlive());
    empty.Load(nullptr);
    EXPECT_EQ(empty.System(), nullptr);
    empty.Update(25);  // nothing to do, nothing breaks
    empty.Draw();

    FxEmitter e;
    e.Load("Box");
    ASSERT_NE(e.Actor(), nullptr);
    EXPECT_NE(e.Actor()->Sprite(), nullptr);
    EXPECT_EQ(e.Actor()->Material().bytes[0], sMaterial(4, 4, 1, 30).bytes[0]);
    EXPECT_EQ(e.System()->Actor(), e.Actor());
    EXPECT_EQ(e.SpreadRange().x, 10.0f);
    EXPECT_EQ(e.SpreadRange().y, 20.0f);

    e.Load("Negative");
    EXPECT_EQ(e.SpreadRange().x, 0.0f);
    EXPECT_EQ(e.SpreadRange().y, 3.0f);

    // Without a sprite the actor exists and draws nothing; the system still runs.
    e.Load("NoActor");
    EXPECT_EQ(e.Actor()->Sprite(), nullptr);
    e.StartAt(Vec2(5, 5));
    e.Update(25);
    EXPECT_TRUE(e.IsAlive());
    DrawTarget target(16, 16, "noactor_target");
    e.Draw();
    EXPECT_EQ(target.painted().w, 0);
}

TEST(FxEmitter, JittersInsideTheSpreadBox) {
    writeEmitterData();
    gRandom.Seed(11);
    FxEmitter e;
    e.Load("Box");
    e.StartAt(Vec2(100, 100));
    float loX = 1e9f, hiX = -1e9f, loY = 1e9f, hiY = -1e9f;
    for (int i = 0; i < 200; ++i) {
        e.Update(25);
        const Vec2 p = e.System()->Position();
        EXPECT_GE(p.x, 95.0f);
        EXPECT_LT(p.x, 105.0f);
        EXPECT_GE(p.y, 90.0f);
        EXPECT_LT(p.y, 110.0f);
        loX = std::fmin(loX, p.x), hiX = std::fmax(hiX, p.x);
        loY = std::fmin(loY, p.y), hiY = std::fmax(hiY, p.y);
    }
    EXPECT_LT(loX, 96.0f);
    EXPECT_GT(hiX, 104.0f);
    EXPECT_LT(loY, 92.0f);
    EXPECT_GT(hiY, 108.0f);
    EXPECT_TRUE(e.IsAlive());

    // SetPosition is only stored until the next update; a box of (0, 0) keeps the point on it.
    e.Load("Point");
    e.StartAt(Vec2(10, 10));
    e.SetPosition(Vec2(30, 40));
    EXPECT_EQ(e.System()->Position().x, 10.0f);
    e.Update(25);
    EXPECT_EQ(e.System()->Position().x, 30.0f);
    EXPECT_EQ(e.System()->Position().y, 40.0f);

    e.Stop(false);
    EXPECT_TRUE(e.IsAlive());
    e.Stop(true);
    EXPECT_FALSE(e.IsAlive());
}

TEST(FxEmitter, EveryUpdateDrawsTwiceStoppedOrNot) {
    // The game's sequence must not depend on whether an effect is playing: a stopped emitter with
    // nothing left moves the generator on just as a playing one does, and starts again as before.
    writeEmitterData();
    FxEmitter e;
    e.Load("Box");
    gRandom.Seed(5);
    Random reference(5);
    auto updates = [&](int n) {
        for (int i = 0; i < n; ++i) e.Update(25);
        for (int i = 0; i < 2 * n; ++i) reference.Next();
    };
    updates(700);  // never started, across a regeneration of the generator's block
    EXPECT_FALSE(e.IsAlive());
    e.StartAt(Vec2(100, 100));
    updates(3);
    ASSERT_TRUE(e.IsAlive());
    e.Stop(true);
    updates(2);
    EXPECT_FALSE(e.IsAlive());
    e.StartAt(Vec2(200, 200));
    updates(1);
    EXPECT_TRUE(e.IsAlive());
    EXPECT_GE(e.System()->Position().x, 195.0f);
    EXPECT_LT(e.System()->Position().x, 205.0f);
    EXPECT_EQ(gRandom.Next(), reference.Next());
}

TEST(FxEmitter, SecondLoadAndReleaseFreeWhatWasHeld) {
    writeEmitterData();
    FxEmitter e;
    e.Load("Box");
    e.Load("Point");
    e.Release();
    EXPECT_EQ(e.System(), nullptr);
    EXPECT_EQ(e.Actor(), nullptr);
    EXPECT_EQ(grRegistryFind("Data/Fx/dot.tga"), nullptr);
    e.SetActorMaterial(sMaterial(2, 4, 1, 31));  // no actor: ignored
}

}  // namespace
