// The mini-game pieces on their own: serving, hit tests, glow, flights, labels, the darkness and
// the carried icons.
#include <gtest/gtest.h>

#include "engine/data/ini.h"
#include "minigames/pieces.h"
#include "tests/minigames/minigame_fixture.h"

namespace {

class Pieces : public ::testing::Test {
protected:
    static void SetUpTestSuite() { openDisplay(); }
    static void TearDownTestSuite() { closeDisplay(); }
    void SetUp() override {
        writeSprite("Pc/obj.tga", 40, 20, 0xFF0000);
        writeSprite("Pc/white.tga", 4, 4, 0xFFFFFF);
        iniFreeAll();
    }
    // Writes the file and drops what the store held of it.
    static void file(const std::string& name, const std::string& text) {
        FILE* f = fopen(name.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
        iniFreeAll();
    }
};

TEST_F(Pieces, ObjectIsServedOnlyWhenWantedAndOnce) {
    file("pc.ini", "[Param]\nalpha_speed=100\n[broken_0]\nx=10\ny=10\nsprite=Pc/obj.tga\n");
    cMiniGameObjectBase o;
    o.Load("pc.ini", 0);
    EXPECT_FALSE(o.Serve());  // done at construction
    o.SetWanted(true);
    EXPECT_TRUE(o.Serve());
    EXPECT_FALSE(o.Serve());
    // Without a fixed look the served object stays gone.
    for (int i = 0; i < 10; ++i) o.Update(25);
    EXPECT_TRUE(o.IsGone());
    EXPECT_EQ(o.GetAlpha(), 0);
}

TEST_F(Pieces, HitTests) {
    file("pc.ini", "[broken_0]\nx=10\ny=10\nsprite=Pc/obj.tga\n[broken_1]\nx=10\ny=10\n");
    cMiniGameObjectBase o, bare;
    o.Load("pc.ini", 0);
    bare.Load("pc.ini", 1);
    struct Point {
        int x, y;
        bool in;
    } points[] = {{11, 11, true}, {49, 29, true}, {10, 15, false}, {50, 15, false},
                  {30, 30, false}, {30, 10, false}};
    for (const Point& p : points) {
        o.HitTestPoint(p.x, p.y);
        EXPECT_EQ(o.IsHovered(), p.in) << p.x << "," << p.y;
        bare.HitTestPoint(p.x, p.y);
        EXPECT_FALSE(bare.IsHovered());
    }
    struct Box {
        MgRect r;
        bool in;
    } boxes[] = {{{0, 0, 10, 10}, true},    {{50, 30, 60, 40}, true}, {{0, 0, 9, 50}, false},
                 {{51, 0, 60, 50}, false},  {{0, 31, 60, 40}, false}, {{20, 15, 25, 18}, true}};
    for (const Box& b : boxes) {
        EXPECT_EQ(o.HitTestRect(b.r), b.in) << b.r.left << "," << b.r.top;
        EXPECT_FALSE(bare.HitTestRect(b.r));
    }
}

TEST_F(Pieces, GlowFollowsHoverBlinkAndWish) {
    file("pc.ini", "[Hint]\nblink_duration=100\nblink_max_alpha=200\nblink_count=2\n"
                   "[broken_0]\nx=0\ny=0\nsprite=Pc/obj.tga\n");
    cMiniGameObjectBase o;
    o.Load("pc.ini", 0);
    o.SetWanted(true);
    o.Update(25);
    EXPECT_EQ(o.GetGlow(), 0);  // no blink at the start
    o.HitTestPoint(5, 5);
    o.Update(25);
    EXPECT_EQ(o.GetGlow(), 200);
    o.SetGlowEnabled(false);
    o.Update(25);
    EXPECT_EQ(o.GetGlow(), 0);
    // A blink runs whatever the object's state, then ends.
    o.SetWanted(false);
    o.ResetBlink();
    o.Update(25);
    EXPECT_GT(o.GetGlow(), 0);
    o.Update(100);
    EXPECT_TRUE(o.IsBlinkOver());
    EXPECT_EQ(o.GetGlow(), 0);
}

TEST_F(Pieces, FlightControlPointStaysOnScreen) {
    struct Case {
        int x, y;
        float tx, ty;
        float cx, cy;
    } cases[] = {
        {100, 500, 600, 100, 300, 300},
        {100, 150, 600, 100, 300, 0},
        {100, 500, -400, 100, 0, 300},
    };
    for (const Case& c : cases) {
        file("pc.ini", "[Param]\nalpha_speed=51\n[broken_0]\nx=" + std::to_string(c.x) +
                           "\ny=" + std::to_string(c.y) + "\nsprite=Pc/obj.tga\n");
        cMiniGameObjectBase o;
        o.Load("pc.ini", 0);
        o.SetWanted(true);
        ASSERT_TRUE(o.FlyTo(Vec2f(c.tx, c.ty)));
        EXPECT_FALSE(o.FlyTo(Vec2f(c.tx, c.ty)));
        EXPECT_FLOAT_EQ(o.FlightControl().x, c.cx);
        EXPECT_FLOAT_EQ(o.FlightControl().y, c.cy);
        ASSERT_TRUE(o.Serve());
        for (int i = 0; i < 5; ++i) o.Update(25);
        EXPECT_FALSE(o.IsFlying());
        EXPECT_EQ(o.FlightPoint().x, static_cast<int>(c.tx));
    }
}

TEST_F(Pieces, LabelRisesFadesAndFinishes) {
    cFloatingLabel label(50, 300, nullptr, nullptr);
    label.SetText("15");
    for (int i = 0; i < 127; ++i) label.Update(25);
    EXPECT_FALSE(label.IsFinished());
    label.Update(25);
    EXPECT_TRUE(label.IsFinished());
    EXPECT_EQ(label.GetPoint().y, 300 - 256);
    EXPECT_EQ(label.Clock(), 128 * 25);
}

// The white spot on a black darkness over a grey screen: with radius 0 the darkness covers all.
TEST_F(Pieces, DarknessBandsAroundTheSpot) {
    writeSprite("Pc/black.tga", 4, 4, 0x010101);
    file("pc.ini", "[Darkness]\nspotSpr=Pc/white.tga\ndarknessSpr=Pc/black.tga\nspotRadius=50\n"
                   "alpha=255\n");
    cDarkness d;
    d.Load("pc.ini");
    auto pixel = [](int x, int y) {
        int w, h, pitch, rs, gs, bs, rb, gb, bb;
        uint16_t* p = grLockSpriteEx(grScreen(), &w, &h, &pitch, &rs, &gs, &bs, &rb, &gb, &bb);
        const uint16_t v = p[y * (pitch / 2) + x];
        grUnlockSprite(grScreen());
        return v;
    };
    auto fill = [] { grDrawPrimitive(0, 0, 1024, 768, 0xFF808080u, 1); };
    fill();
    d.SetPosition(Point2i(500, 400));
    d.Draw();
    EXPECT_EQ(pixel(500, 400), 0xFFFF);  // in the spot
    EXPECT_EQ(pixel(10, 10), pixel(1000, 700));
    EXPECT_NE(pixel(10, 10), 0xFFFF);

    file("pc.ini", "[Darkness]\nspotSpr=Pc/white.tga\ndarknessSpr=Pc/black.tga\nalpha=255\n");
    d.Load("pc.ini");
    fill();
    d.SetPosition(Point2i(500, 400));
    d.Draw();
    const uint16_t dark = pixel(10, 10);
    for (Point2i p : {Point2i(500, 400), Point2i(499, 399), Point2i(1000, 700), Point2i(500, 10)})
        EXPECT_EQ(pixel(p.x, p.y), dark) << p.x << "," << p.y;

    // Missing a picture: nothing drawn.
    file("pc.ini", "[Darkness]\nspotSpr=Pc/white.tga\nalpha=255\n");
    d.Load("pc.ini");
    fill();
    const uint16_t grey = pixel(10, 10);
    d.Draw();
    EXPECT_EQ(pixel(10, 10), grey);
}

TEST_F(Pieces, IconCarriedDroppedAndUsed) {
    file("pc.ini", "[icon_3]\nsprite=Pc/obj.tga\n");
    cMiniGameIcon icon;
    icon.Load("pc.ini", 3);
    EXPECT_EQ(icon.GetId(), 3);
    icon.SetHome({0, 700, 60, 760});
    icon.PickUp(300, 300);
    EXPECT_EQ(icon.GetState(), cMiniGameIcon::kCarried);
    EXPECT_EQ(icon.GetRect().left, 280);
    EXPECT_EQ(icon.GetRect().top, 290);
    icon.Drop();
    EXPECT_EQ(icon.GetState(), cMiniGameIcon::kHome);
    EXPECT_EQ(icon.GetRect().top, 700);
    icon.MarkUsed();
    icon.PickUp(300, 300);
    icon.Drop();
    EXPECT_EQ(icon.GetState(), cMiniGameIcon::kUsed);
}

}  // namespace

namespace {

// A customer's patience: waiting, hurrying from 6/7 of it, leaving angry at its end unless
// served; patience runs only while the game runs.
TEST_F(Pieces, FaceTimings) {
    writeSprite("Pc/cell.tga", 60, 60, 0x0000FF);
    file("pc.ini", "[Request]\ncell=Pc/cell.tga\npos_x=0\npos_y=708\nmove_speed=10\nwait_time=700\n");
    for (bool served : {false, true}) {
        cMiniGameFace face(2);
        face.Load("pc.ini", 0);
        const int wait = face.WaitTime();
        ASSERT_GE(wait, 700);
        ASSERT_LE(wait, 3700);
        EXPECT_EQ(face.GetWantedId(), 2);  // new
        face.Enter(0, false);
        EXPECT_EQ(face.GetWantedId(), -1);
        face.Update(25, true);
        EXPECT_EQ(face.GetState(), cMiniGameFace::kWaiting);
        face.Update(wait, false);  // the game is not running: no patience lost
        EXPECT_EQ(face.Waited(), 0);
        const int hurry = wait * 6 / 7;
        face.Update(hurry - 1, true);
        EXPECT_EQ(face.GetState(), cMiniGameFace::kWaiting);
        face.Update(1, true);
        EXPECT_EQ(face.GetState(), cMiniGameFace::kHurrying);
        EXPECT_EQ(face.GetWantedId(), 2);
        if (served) {
            face.SetSatisfied();
            face.SetLeaving();
        } else {
            face.Update(wait - hurry, true);
        }
        EXPECT_TRUE(face.IsLeaving());
        EXPECT_EQ(face.IsSatisfied(), served);
        for (int i = 0; i < 6; ++i) face.Update(25, true);
        EXPECT_TRUE(face.IsGone());
    }
}

// Places and speeds far outside any screen (as a fuzzer found) are held, so the face's movement
// and its hearts bar's place stay inside int (the sanitizers would stop an overflow); a speed
// below 0 is taken as 0, which leaves a face that must come up where it stands.
TEST_F(Pieces, FacePlacesAndSpeedsOutOfAllProportionAreHeld) {
    writeSprite("Pc/cell.tga", 60, 60, 0x0000FF);
    file("pc.ini", "[Request]\ncell=Pc/cell.tga\npos_x=2147483647\npos_y=900147483647\n"
                   "face_x=-2147483648\nmove_speed=-2147483648\nwait_time=700\n"
                   "[HeartsBar]\ntype=progress\nx=-1\ny=-1\n");
    cMiniGameFace face(1);
    face.Load("pc.ini", 0);
    face.Enter(0, false);
    for (int i = 0; i < 200; ++i) face.Update(25, true);
    EXPECT_EQ(face.GetState(), cMiniGameFace::kEntering);
    face.Draw();
}

}  // namespace
