// Flying tips, pulsing sprites, rising texts and growing sprites.
#include <gtest/gtest.h>

#include <string>

#include "anim/flying.h"
#include "engine/data/ini.h"
#include "engine/gr/registry.h"
#include "tests/anim/fx_fixtures.h"

namespace {

using namespace fxtest;

constexpr const char* kIni = "flying.ini";

void writeFlyingData(int trailLength, const char* trailStep = "0.1") {
    writeSolidSprite("Data/Fx/plus.tga", 4, 4, {0, 255, 0});
    writeSolidSprite("Data/Fx/minus.tga", 4, 4, {255, 0, 0});
    writeSolidSprite("Data/Fx/money.tga", 6, 6, {255, 255, 0});
    writeSolidSprite("Data/Fx/bust.tga", 4, 4, {0, 0, 255});
    writeText(kIni, "[FlyingTips]\nplusIcon = Data/Fx/plus.tga\nminusIcon = Data/Fx/minus.tga\n"
                    "moneyIcon = Data/Fx/money.tga|100|1\nbustIcon = Data/Fx/bust.tga\n"
                    "trailLength = " + std::to_string(trailLength) +
                        "\ntrailStep = " + trailStep + "\n"
                    "[pulse]\nsprite = Data/Fx/plus.tga\nmaxLoops = 2\nminScale = 0.8\n"
                    "maxScale = 1.2\nmaxAlpha = 1\nx = 50\ny = 60\nloopTime = 1\n"
                    "[still]\nsprite = Data/Fx/plus.tga\nmaxLoops = 2\nminScale = 0.8\n"
                    "maxScale = 1.2\n"
                    "[flat]\nsprite = Data/Fx/plus.tga\nmaxLoops = 2\nminScale = 1\n"
                    "maxScale = 1\nloopTime = 1\n"
                    "[broken]\nsprite = Data/Fx/plus.tga\nmaxLoops = 2\nminScale = nan\n"
                    "maxScale = 1.2\nloopTime = 1\n");
    iniFreeAll();
}

TEST(FlyingTips, LaunchPicksTheCurveAndIcons) {
    writeFlyingData(2);
    FlyingTips tips;
    tips.Load(kIni);
    struct {
        float x, y, tx, ty;
        int kind;
        Vec2f control, start;
        const char* head;
        const char* trail;
    } cases[] = {
        {100, 500, 900, 40, FlyingTips::kGain, {390, 415}, {100, 500}, "money", "plus"},
        {600, 50, 900, 40, FlyingTips::kGain, {300, 0}, {600, 50}, "money", "plus"},
        // A loss flies the same curve from the target back to the point.
        {100, 500, 900, 40, FlyingTips::kLoss, {390, 415}, {900, 40}, "money", "minus"},
        {100, 500, 900, 40, FlyingTips::kBust, {1024, 0}, {100, 500}, "bust", "bust"},
    };
    for (const auto& c : cases) tips.Launch(c.x, c.y, c.tx, c.ty, c.kind);
    ASSERT_EQ(tips.Count(), 4u);
    for (uint32_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const FlyingTipItem& item = tips.At(i);
        EXPECT_EQ(item.control.x, cases[i].control.x);
        EXPECT_EQ(item.control.y, cases[i].control.y);
        EXPECT_EQ(item.start.x, cases[i].start.x);
        EXPECT_EQ(item.start.y, cases[i].start.y);
        EXPECT_EQ(item.headIcon, grRegistryFind(("Data/Fx/" + std::string(cases[i].head) +
                                                 ".tga").c_str()));
        EXPECT_EQ(item.trailIcon, grRegistryFind(("Data/Fx/" + std::string(cases[i].trail) +
                                                  ".tga").c_str()));
        EXPECT_EQ(item.trail.size(), 2u);
    }
}

TEST(FlyingTips, ItemsEndWhenTheirTrailHasPassed) {
    for (int length : {0, 2}) {
        SCOPED_TRACE(length);
        writeFlyingData(length);
        FlyingTips tips;
        tips.Load(kIni);
        tips.Launch(100, 100, 300, 100, FlyingTips::kGain);
        tips.Launch(100, 100, 300, 100, FlyingTips::kGain);
        tips.Update(500);
        // Control point (370, 15): halfway the head is at (285, 57.5), rounded to 58.
        EXPECT_EQ(tips.At(0).current.x, 285);
        EXPECT_EQ(tips.At(0).current.y, 58);
        tips.Update(499 + length * 100);
        EXPECT_EQ(tips.Count(), 2u);
        tips.Update(1);
        EXPECT_EQ(tips.Count(), 0u);
    }
}

TEST(FlyingTips, TrailCopiesShowOnlyWithinTheCurve) {
    writeFlyingData(2);
    FlyingTips tips;
    tips.Load(kIni);
    tips.Launch(100, 100, 300, 100, FlyingTips::kLoss);
    DrawTarget target(400, 200, "tips_target");
    // At t = 0.05 both copies are still before the curve: only the 6 x 6 head shows.
    tips.Update(50);
    tips.Draw();
    DrawTarget::Box box = target.painted();
    EXPECT_EQ(box.w, 6);
    EXPECT_EQ(box.h, 6);
    // At t = 1.15 the head has arrived and gone, the first copy too; the second copy, at 0.95,
    // shows near the end (a loss ends at the launch point).
    target.clear();
    tips.Update(1100);
    tips.Draw();
    box = target.painted();
    EXPECT_EQ(box.w, 4);
    EXPECT_EQ(box.h, 4);
    EXPECT_NEAR(box.x + 2, tips.At(0).trail[1].x, 1);
    // 0.05^2 * 300 + 2 * 0.05 * 0.95 * 370 + 0.95^2 * 100 (the curve runs from the target).
    EXPECT_NEAR(tips.At(0).trail[1].x, 126.15f, 0.01f);
}

TEST(FlyingTips, StepThatIsNotANumberStillLetsItemsEnd) {
    writeFlyingData(3, "nan");
    FlyingTips tips;
    tips.Load(kIni);
    tips.Launch(0, 0, 10, 10, FlyingTips::kGain);
    tips.Update(1000);
    EXPECT_EQ(tips.Count(), 0u);
}

TEST(FlyingTips, NegativeTrailLengthAndSecondLoad) {
    writeFlyingData(-3);
    FlyingTips tips;
    tips.Load(kIni);
    EXPECT_EQ(tips.TrailLength(), 0);
    tips.Launch(0, 0, 10, 10, FlyingTips::kGain);
    writeFlyingData(6);
    tips.Load(kIni);  // releases the first icons and the item
    EXPECT_EQ(tips.Count(), 0u);
    EXPECT_EQ(tips.TrailLength(), 6);
    tips.Release();
    EXPECT_EQ(grRegistryFind("Data/Fx/money.tga"), nullptr);
}

TEST(PulseSprite, StopsAfterItsLoopsAtFixedSteps) {
    writeFlyingData(0);
    PulseSprite pulse;
    pulse.Load(kIni, "pulse");
    EXPECT_EQ(pulse.Position().x, 50.0f);
    pulse.Start();
    ASSERT_TRUE(pulse.IsRunning());
    int steps = 0;
    float lo = 1, hi = 1;
    while (pulse.IsRunning() && steps < 1000) {
        pulse.Update(0.025f);
        lo = std::min(lo, pulse.Scale());
        hi = std::max(hi, pulse.Scale());
        ++steps;
    }
    // Out to 0.8, up to 1.2 and back through 1 is one second: two loops take 80 steps, and a
    // step or so more at each of the four turns where the scale does not land on the end.
    EXPECT_GE(steps, 80);
    EXPECT_LE(steps, 86);
    EXPECT_EQ(pulse.Scale(), 1.0f);
    EXPECT_NEAR(lo, 0.8f, 0.03f);
    EXPECT_NEAR(hi, 1.2f, 0.03f);
    EXPECT_EQ(pulse.Loops(), 2);
}

TEST(PulseSprite, NoLoopTimeOrEqualScalesGiveNoPulse) {
    writeFlyingData(0);
    for (const char* section : {"still", "flat", "broken"}) {
        SCOPED_TRACE(section);
        PulseSprite pulse;
        pulse.Load(kIni, section);
        pulse.Start();
        pulse.Update(0.025f);
        EXPECT_FALSE(pulse.IsRunning());
        EXPECT_EQ(pulse.Scale(), 1.0f);
    }
}

// A font of four glyph sets: set 0 is white, the others red. One glyph, "A", 6 wide.
CGraphFont* fourSetFont() {
    writeTga24("Data/Fx/sets.tga", 32, 32, [](int, int y) {
        return y < 8 ? Rgb{255, 255, 255} : Rgb{255, 0, 0};
    });
    writeText("Data/Fx/sets.fh", "10 8 8\n65 0 0 0 6 0\n");
    return grLoadFont("Data/Fx/sets.tga", nullptr);
}

TEST(CFlyUpMoney, RisesFadesAndDrawsTheFirstGlyphSet) {
    CGraphFont* font = fourSetFont();
    ASSERT_NE(font, nullptr);
    CFlyUpMoney money(font, u"AA", nullptr, 20, 30, ColorRGBA(255, 255, 255, 255));
    for (int i = 0; i < 3; ++i) money.Update(25);
    EXPECT_EQ(money.position.y, 24.0f);
    EXPECT_EQ(money.alpha, 240);
    DrawTarget target(64, 64, "money_target");
    money.Draw();
    const DrawTarget::Box box = target.painted();
    ASSERT_GT(box.w, 0);
    const uint16_t px = target.at(box.x + 1, box.y + 1);
    EXPECT_GT((px >> 5) & 63, 40);  // green: the white set, not a red one

    int updates = 3;
    while (!money.Update(25)) ++updates;
    EXPECT_EQ(updates + 1, 51);
    EXPECT_EQ(money.alpha, 0);
    grFreeFont(font);

    std::u16string longText(300, u'x');
    CFlyUpMoney cut(nullptr, longText.c_str(), nullptr, 0, 0, ColorRGBA(0, 0, 0, 0));
    EXPECT_EQ(std::u16string(cut.Text()), longText.substr(0, 255));
}

TEST(CFlyingThingList, SameSpotMovesOnlyTheNewestUpAndFinishedItemsGo) {
    writeFlyingData(0);
    HSPRITE plus = grLoadSprite("Data/Fx/plus.tga", nullptr, 0);
    {
        CFlyingThingList list;
        list.Add(new CFlyUpMoney(nullptr, u"1", nullptr, 100, 100, ColorRGBA(0, 0, 0, 255)));
        list.Add(new CFlyUpMoney(nullptr, u"2", nullptr, 100, 100, ColorRGBA(0, 0, 0, 255)));
        EXPECT_EQ(list.At(0)->position.y, 80.0f);
        list.Add(new CFlyUpMoney(nullptr, u"3", nullptr, 100, 100, ColorRGBA(0, 0, 0, 255)));
        EXPECT_EQ(list.At(0)->position.y, 80.0f);
        EXPECT_EQ(list.At(1)->position.y, 80.0f);
        EXPECT_EQ(list.At(2)->position.y, 100.0f);

        list.Add(new CScalingObject(plus, 10, 10, 1));
        for (int i = 0; i < 25; ++i) list.Update(25);
        EXPECT_EQ(list.Count(), 4u);
        list.Update(25);  // the 26th takes the growing sprite
        ASSERT_EQ(list.Count(), 3u);
        list.Draw();
        CScalingObject* last = new CScalingObject(plus, 10, 10, 0);
        list.Add(last);
        list.Update(25);
        EXPECT_FLOAT_EQ(last->Scale(), 1.05f);
    }
    // The list deleted its items, and each growing sprite let its reference go.
    grFreeSprite(plus);
    EXPECT_EQ(grRegistryFind("Data/Fx/plus.tga"), nullptr);
}

}  // namespace
