// Animation nodes: key search, track values and clamps, the evaluation cache, the tree's
// alpha, colour and transforms, key editing, the hit mask, drawing and sounds.
#include "anim/animation_object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "anim_fixtures.h"

namespace {

constexpr float kPi = 3.14159265f;

TEST(AnimNode, FindKey) {
    C_AnimationObject o;
    EXPECT_EQ(o.FindKey(kTrackAlpha, 1), -1);
    for (float t : {1.0f, 2.0f, 2.0f, 3.0f}) floatKey(o.alphaKeys, t, t / 4);
    const struct {
        float t;
        int index;
    } cases[] = {{0.5f, -1}, {1, 0}, {1.5f, 0}, {2, 2}, {2.5f, 2}, {3, 3}, {9, 3}, {NAN, -1}};
    for (const auto& c : cases) EXPECT_EQ(o.FindKey(kTrackAlpha, c.t), c.index) << c.t;
    EXPECT_EQ(o.FindKey(99, 1), -1);
}

TEST(AnimNode, DefaultsSingleKeysAndSegments) {
    C_AnimationObject o;
    // Nothing keyed: no scale, no alpha, white, no size.
    EXPECT_EQ(o.Scale(1), 0);
    EXPECT_EQ(o.Alpha(1), 0);
    EXPECT_EQ(o.Colour(1), 0xFFFFFFu);
    EXPECT_EQ(o.SizeX(1), 0);

    floatKey(o.scaleKeys, 1, 2);
    EXPECT_EQ(o.Scale(0.5f), 0);  // before the first key: the default
    EXPECT_EQ(o.Scale(1), 2);
    EXPECT_EQ(o.Scale(5), 2);

    // Linear, hold and two keys at one time (the later one wins there, nothing divides by 0).
    floatKey(o.alphaKeys, 0, 0);
    floatKey(o.alphaKeys, 1, 1, 0);
    floatKey(o.alphaKeys, 2, 0.2f, 1);
    floatKey(o.alphaKeys, 2, 0.6f);
    floatKey(o.alphaKeys, 3, 0.1f, 0);
    const struct {
        float t, alpha;
    } cases[] = {{0.25f, 0.25f}, {1.5f, 1}, {2, 0.6f}, {2.5f, 0.35f}, {4, 0.1f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(o.Alpha(c.t), c.alpha) << c.t;
}

TEST(AnimNode, ClampsPerTrack) {
    C_AnimationObject o;
    vectorKey(o.position, 0, -50, -60);
    vectorKey(o.size, 0, -5, 8);
    floatKey(o.scaleKeys, 0, -2);
    floatKey(o.alphaKeys, 0, 1.5f);
    floatKey(o.alphaKeys, 1, -0.5f);
    floatKey(o.frame, 0, -3);
    // An eased colour with a huge start slope overshoots: held at 255 and 0.
    colourKey(o.colourKeys, 0, 0x0000F0);
    C_ColorKey* c = colourKey(o.colourKeys, 1, 0x0000F0, 2);
    c->filter[0].c2.y = 1000;
    c->filter[1].c2.y = -1000;

    EXPECT_EQ(o.WorldPosition(0).x, -50);  // positions are not clamped
    EXPECT_EQ(o.Scale(0), 0);
    EXPECT_EQ(o.Alpha(0), 1);
    EXPECT_EQ(o.Alpha(1), 0);
    EXPECT_EQ(o.GetFrame(0), -3);
    o.scaleKeys[0]->value = 1;
    EXPECT_EQ(o.SizeX(0.5f), 0);
    EXPECT_EQ(o.SizeY(0.5f), 8);
    EXPECT_EQ(o.Colour(0.5f), 0x0000FFu);  // red up to 255, green down to 0
}

TEST(AnimNode, TheSameTimeIsNotEvaluatedTwice) {
    C_AnimationObject o;
    floatKey(o.alphaKeys, 0, 0.5f);
    EXPECT_EQ(o.Alpha(1), 0.5f);
    o.alphaKeys[0]->value = 0.9f;
    EXPECT_EQ(o.Alpha(1), 0.5f);
    EXPECT_EQ(o.Alpha(2), 0.9f);
}

TEST(AnimNode, AlphaColourScaleAndPlaceComeDownTheTree) {
    C_AnimationObject* root = new C_AnimationObject;
    C_AnimationObject* mid = new C_AnimationObject;
    C_AnimationObject* leaf = new C_AnimationObject;
    root->AddChild(mid);
    mid->AddChild(leaf);
    placeNode(*root, 100, 100, 10, 10);
    placeNode(*mid, 10, 0, 10, 10);
    placeNode(*leaf, 0, 5, 4, 6);
    root->alphaKeys[0]->value = 0.5f;
    mid->alphaKeys[0]->value = 0.5f;
    leaf->alphaKeys[0]->value = 0.8f;
    colourKey(root->colourKeys, 0, 0x0080FF);  // red 255, green 128, blue 0
    colourKey(leaf->colourKeys, 0, 0xFF80FF);
    floatKey(root->rotation, 0, kPi / 2);
    root->scaleKeys[0]->value = 2;

    EXPECT_FLOAT_EQ(leaf->Alpha(1), 0.2f);
    const uint32_t c = leaf->Colour(1);
    EXPECT_EQ(c & 0xFF, 255u);
    EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 64, 1);
    EXPECT_EQ(c >> 16, 0u);
    EXPECT_EQ(leaf->Scale(1), 2);
    EXPECT_EQ(leaf->SizeX(1), 8);
    // The parent turns a quarter and doubles: (10, 0) then (0, 5) land below it, turned.
    const Vec2f m = mid->WorldPosition(1);
    EXPECT_NEAR(m.x, 100, 1e-4f);
    EXPECT_NEAR(m.y, 120, 1e-4f);
    const Vec2f l = leaf->WorldPosition(1);
    EXPECT_NEAR(l.x, 90, 1e-4f);
    EXPECT_NEAR(l.y, 120, 1e-4f);
    EXPECT_NEAR(leaf->WorldRotation(1), kPi / 2, 1e-5f);
    EXPECT_NEAR(leaf->WorldUpAxis(1).x, 1, 1e-5f);
    EXPECT_FLOAT_EQ(root->GetDuration(), 0);
    floatKey(leaf->frame, 7, 1);
    EXPECT_FLOAT_EQ(root->GetDuration(), 7);
    EXPECT_EQ(root->FindBySerial(leaf->serial), leaf);
    EXPECT_EQ(root->FindBySerial(-5), nullptr);
    delete root;
}

TEST(AnimNode, AddingAndDeletingKeys) {
    C_AnimationObject o;
    EXPECT_EQ(o.AddKey(kTrackScale, -1), -1);
    EXPECT_EQ(o.AddKey(kTrackScale, 2), 0);   // into an empty track
    EXPECT_EQ(o.AddKey(kTrackScale, 2), -1);  // one key per time
    EXPECT_EQ(o.AddKey(kTrackScale, 1), 0);   // before the first
    EXPECT_EQ(o.AddKey(kTrackScale, 3), 2);
    EXPECT_EQ(o.AddKey(kTrackScale, 2.5f), 2);
    ASSERT_EQ(o.KeyCount(kTrackScale), 4);
    EXPECT_EQ(o.GetKey(kTrackScale, 2)->time, 2.5f);
    EXPECT_EQ(o.GetKey(kTrackScale, 4), nullptr);
    EXPECT_EQ(static_cast<C_FloatKey*>(o.GetKey(kTrackScale, 0))->value, 0);
    EXPECT_EQ(o.AddKey(kTrackColour, 1), 0);
    EXPECT_EQ(o.colourKeys[0]->colour, 0xFFFFFFu);

    EXPECT_EQ(o.DeleteKey(kTrackScale, 0), kAnimFail);  // the first key stays
    EXPECT_EQ(o.DeleteKey(kTrackScale, 4), kAnimFail);
    EXPECT_EQ(o.DeleteKey(kTrackScale, 2), kAnimOk);
    EXPECT_EQ(o.KeyCount(kTrackScale), 3);
    EXPECT_EQ(o.GetKey(kTrackScale, 2)->time, 3);

    // Every track at once: keys are added where missing; deleting spares first keys.
    o.AddKeys(1);
    for (int track = 0; track < kTrackCount; ++track) EXPECT_EQ(o.KeyCount(track), track == kTrackScale ? 3 : 1);
    o.AddKeys(3);
    o.DeleteKeysAt(3);
    o.DeleteKeysAt(1);
    for (int track = 0; track < kTrackCount; ++track) EXPECT_EQ(o.KeyCount(track), track == kTrackScale ? 2 : 1);
    EXPECT_EQ(o.SetScale(1, 4), kAnimOk);
    EXPECT_EQ(o.scaleKeys[1]->value, 4);
    EXPECT_EQ(o.SetColour(1, 0x123456), kAnimFail);
    EXPECT_EQ(o.SetPosition(0, 5, 6), kAnimOk);
    EXPECT_EQ(o.position[0]->value.y, 6);
}

TEST(MaskDesc, FramesRowsAndRefusals) {
    // 4 x 2, three frames: frame f has its one solid pixel at (f, 1).
    std::string bits(4 * 2 * 3, '\0');
    for (int f = 0; f < 3; ++f) bits[(f * 2 + 1) * 4 + f] = 11;
    bits[0] = 10;  // 10 and below are transparent
    writeText("masks/m.raw", bits);
    C_MaskDesc mask("masks/m.raw", 4, 2, 3, 1000);
    mask.Load();
    const struct {
        int x, y, time;
        bool hit;
    } cases[] = {{0, 1, 0, true},    {1, 1, 0, false},  {1, 1, 333, true},   {2, 1, 700, true},
                 {0, 1, 1000, true}, {0, 0, 0, false},  {0, 1, -1, false},   {-1, 1, 0, false},
                 {4, 1, 0, false},   {0, 2, 0, false},  {0, 1, -700, false}};
    for (const auto& c : cases)
        EXPECT_EQ(mask.HitTest(c.x, c.y, c.time), c.hit) << c.x << "," << c.y << " at " << c.time;

    // Fewer than one frame counts as one; a missing file leaves the mask transparent.
    C_MaskDesc single("masks/none.raw", 4, 2, -3, 1000);
    EXPECT_EQ(single.frames, 1);
    EXPECT_EQ(single.rows, 2);
    single.Load();
    EXPECT_FALSE(single.HitTest(0, 1, 500));
}

struct AnimDraw : ::testing::Test {
    Recorder rec;
};

TEST_F(AnimDraw, SpriteQuadBlendAndFrame) {
    C_AnimationObject o;
    o.sprite = grCreateSprite(32, 16, "anim quad");
    placeNode(o, 100, 50, 40, 20);
    o.scaleKeys[0]->value = 1.5f;
    o.alphaKeys[0]->value = 0.5f;
    colourKey(o.colourKeys, 0, 0x203040);
    o.Draw(1, 1, Vec2f(512, 384));
    ASSERT_EQ(rec.draws.size(), 1u);
    const DrawCall& d = rec.draws[0];
    EXPECT_EQ(d.x, 612 - 30);
    EXPECT_EQ(d.y, 434 - 15);
    EXPECT_EQ(d.w, 60);
    EXPECT_EQ(d.h, 30);
    EXPECT_EQ(d.material, 0x0404011E);
    EXPECT_EQ(d.colour, 0x7F403020u);
    EXPECT_EQ(d.time, 0);

    o.spriteBlend = 0;
    o.frameCount = 4;
    floatKey(o.frame, 0, 0);
    floatKey(o.frame, 2, 3);
    const struct {
        float t;
        int frame;
    } frames[] = {{0.5f, 750}, {1.5f, 250}, {2, 0}};
    for (const auto& f : frames) {
        rec.clear();
        o.Draw(f.t, 1, Vec2f(0, 0));
        ASSERT_EQ(rec.draws.size(), 1u);
        EXPECT_EQ(rec.draws[0].material, 0x0402011F);
        EXPECT_EQ(rec.draws[0].time, f.frame) << f.t;
    }
}

TEST_F(AnimDraw, TextLinesPerAlignment) {
    C_AnimationObject o;
    o.font = grLoadFont(fixedFont(), nullptr);
    o.textKey = strdup("KEY");
    o.lines.push_back(strdup16(u"ab"));
    o.lines.push_back(strdup16(u"abcd"));
    o.boxWidth = 100;
    o.boxHeight = 40;
    placeNode(o, 200, 100, 0, 0);
    // Line height 10, two lines: 20 high; "ab" is 20 wide, "abcd" 40.
    const struct {
        int h, v;
        int x0, x1, y0;
    } cases[] = {{-1, -1, 150, 150, 80}, {1, 1, 230, 210, 100}, {0, 0, 190, 180, 90},
                 {5, 7, 190, 180, 90}};
    for (const auto& c : cases) {
        rec.clear();
        o.alignH = c.h;
        o.alignV = c.v;
        o.evalTime = -1;
        o.Draw(0, 1, Vec2f(0, 0));
        ASSERT_EQ(rec.texts.size(), 2u);
        EXPECT_EQ(rec.texts[0].x, c.x0) << c.h;
        EXPECT_EQ(rec.texts[1].x, c.x1) << c.h;
        EXPECT_EQ(rec.texts[0].y, c.y0) << c.v;
        EXPECT_EQ(rec.texts[1].y, c.y0 + 10) << c.v;
        EXPECT_EQ(rec.texts[1].text, u"abcd");
    }
}

TEST_F(AnimDraw, TextComesFromTheComicsSectionAndFitsItsBox) {
    writeText("data/translation.ini", "[Comics]\nSAY=abcd abcd abcd abcd\n");
    C_AnimationObject o;
    o.fontPath = strdup(fixedFont());
    o.textKey = strdup("SAY");
    o.boxWidth = 100;
    o.boxHeight = 40;
    o.LoadText();
    ASSERT_NE(o.font, nullptr);
    EXPECT_EQ(o.lines.size(), 3u);  // lines filled to 80 % of the box
    EXPECT_FLOAT_EQ(o.textScale, 1);
    // A box too small for the text at full size shrinks it.
    o.boxWidth = 50;
    o.boxHeight = 10;
    o.LoadText();
    EXPECT_LT(o.textScale, 1);
}

TEST_F(AnimDraw, SoundsOncePannedAndAlsoWhenHidden) {
    C_AnimationObject* root = new C_AnimationObject;
    C_AnimationObject* child = new C_AnimationObject;
    root->AddChild(child);
    placeNode(*root, 384, 0, 10, 10);
    placeNode(*child, 0, 0, 10, 10);
    child->sprite = grCreateSprite(8, 8, "anim child");
    root->alphaKeys[0]->SetSound("start");
    floatKey(root->alphaKeys, 1, 0)->SetSound("hide");
    child->scaleKeys[0]->SetSound("child");
    root->BuildAllSoundKeys();

    // The first draw plays the keys in (-1, t]: those at 0, the children's after drawing them.
    root->Draw(0, 1, Vec2f(512, 0));
    ASSERT_EQ(rec.sounds.size(), 2u);
    EXPECT_EQ(rec.sounds[0].name, "child");
    EXPECT_EQ(rec.sounds[1].name, "start");
    EXPECT_FLOAT_EQ(rec.sounds[1].pan, 1);  // x 896, clamped right
    root->Draw(0, 1, Vec2f(512, 0));
    EXPECT_EQ(rec.sounds.size(), 2u);

    // Hidden: neither it nor its children draw, but its own keys still sound.
    rec.clear();
    root->Draw(1.5f, 1, Vec2f(-100, 0));
    EXPECT_TRUE(rec.draws.empty());
    ASSERT_EQ(rec.sounds.size(), 1u);
    EXPECT_EQ(rec.sounds[0].name, "hide");
    EXPECT_FLOAT_EQ(rec.sounds[0].pan, -1);  // the origin's x when nothing was placed

    // A sound clock set back replays the key at its time.
    rec.clear();
    root->SetTime(0.9f);
    root->Draw(1.5f, 1, Vec2f(512, 0));
    EXPECT_EQ(rec.sounds.size(), 1u);
    delete root;
}

}  // namespace
