// Whole animations (stops, marks, the hint fade, length), the list's name index, the comics
// manager, and the comics shipped in Data/.
#include "anim/animation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "anim/comics.h"
#include "anim_fixtures.h"
#include "engine/data/ini.h"
#include "tests/support/temp_folder.h"

namespace {

void writeAnm(const std::string& name, const std::string& source) {
    writeText(name, compileAnm(source));
}

// A hold at 3 s, a mark at 8 s, ten seconds long; a sound at 0.
const char* kStops = R"(
object "A"
  position 0 0 0
  size 0 10 10
  scale 0 1
  alpha 0 1 sound "begin"
  alpha 3 1 stop 2
  alpha 8 1 stop 1
  alpha 10 1
end
)";

// Two seconds, no stops, a sound at 0.
const char* kPlain = R"(
object "B"
  scale 0 1 sound "begin"
  alpha 0 1
  alpha 2 1
end
)";

struct Anim : ::testing::Test {
    static void SetUpTestSuite() {
        writeJpeg("data/comics/FrameH.jpg", 64, 8, [](int, int) { return Rgb{0, 0, 0}; });
        writeAnm("stops.anm", kStops);
        writeAnm("plain.anm", kPlain);
    }
    std::unique_ptr<C_Animation> load(const char* name) {
        std::unique_ptr<C_Animation> a(new C_Animation(name));
        EXPECT_EQ(a->Load(), kAnimOk);
        a->LoadResources();
        a->BuildSoundKeys();
        a->BuildStops();
        return a;
    }
    Recorder rec;
};

TEST_F(Anim, HoldingAtAStopAndTheHint) {
    auto a = load("stops.anm");
    EXPECT_FLOAT_EQ(a->Length(), 10);
    // The first draw past an unpassed stop holds there, and the hint is full at once.
    EXPECT_FLOAT_EQ(a->Draw(5, 1, Vec2f(512, 384), 1), 3);
    EXPECT_FLOAT_EQ(a->HintLevel(), 1);
    EXPECT_TRUE(a->IsWaitingAtStop(3));
    EXPECT_FALSE(a->IsWaitingAtStop(2.9f));
    // With stops off nothing holds; leaving the hold fades the hint twice as fast.
    EXPECT_FLOAT_EQ(a->Draw(3.1f, 1, Vec2f(512, 384), 0), 3.1f);
    EXPECT_NEAR(a->HintLevel(), 1 - 2 * 0.1f / 0.5f, 1e-5f);

    // A key at the stop passes it, and the next draw goes on.
    EXPECT_FLOAT_EQ(a->NextStop(3), 3);
    EXPECT_FLOAT_EQ(a->Draw(3.5f, 1, Vec2f(512, 384), 1), 3.5f);
    // From elsewhere the next mark is the target; past the last one, the time itself.
    EXPECT_FLOAT_EQ(a->NextStop(4), 8);
    EXPECT_FLOAT_EQ(a->NextStop(9), 9);
    // Rebuilding the stops makes the stop hold again.
    a->BuildStops();
    EXPECT_FLOAT_EQ(a->Draw(4, 1, Vec2f(512, 384), 1), 3);
}

TEST_F(Anim, AMarkAndAStopAtOneTime) {
    writeAnm("tie.anm", R"(
object
  scale 0 1
  alpha 0 1
  alpha 2 1 stop 1
  frame 2 0 stop 2
end
)");
    auto a = load("tie.anm");
    EXPECT_FLOAT_EQ(a->NextStop(1), 2);  // the mark wins; the stop stays unpassed
    EXPECT_TRUE(a->IsWaitingAtStop(2));
    EXPECT_FLOAT_EQ(a->Draw(2.5f, 1, Vec2f(0, 0), 1), 2);
}

TEST_F(Anim, DrawHookBarsAndEmptyAnimations) {
    static int hookCalls;
    static float hookOpacity;
    hookCalls = 0;
    auto a = load("stops.anm");
    a->SetDrawHook([](float, float opacity, const Vec2f*) {
        ++hookCalls;
        hookOpacity = opacity;
    });
    a->Draw(2.9f, 1, Vec2f(512, 384), 1);
    EXPECT_EQ(hookCalls, 0);  // not holding: no hint
    rec.clear();
    a->Draw(3.1f, 0.5f, Vec2f(512, 384), 1);
    EXPECT_EQ(hookCalls, 1);
    EXPECT_NEAR(hookOpacity, 0.5f * 0.4f, 1e-5f);  // the hint rose by 0.2 s / 0.5 s
    // The letterbox bars, top and bottom, black through their own alpha.
    ASSERT_EQ(rec.draws.size(), 2u);
    EXPECT_EQ(rec.draws[0].y, 0);
    EXPECT_EQ(rec.draws[1].y, 768 - 8);
    EXPECT_EQ(rec.draws[1].material, 0x0402011E);
    EXPECT_EQ(rec.draws[1].colour, 0xFF000000u);

    C_Animation empty("never there.anm");
    EXPECT_EQ(empty.Load(), kAnimOk);
    EXPECT_EQ(empty.Length(), 0);
    empty.AdvanceSeconds(5);
    EXPECT_EQ(empty.Time(), 0);
    EXPECT_FLOAT_EQ(empty.NextStop(1.5f), 1.5f);
}

TEST(AnimList, FindsByNameWithoutCase) {
    C_AnimationList list;
    EXPECT_EQ(list.Add("data/Comics/1.anm"), 0);
    EXPECT_EQ(list.Add("Data/comics/2.anm"), 1);
    EXPECT_EQ(list.Add("data/Comics/1.anm"), 2);
    EXPECT_EQ(list.Add("x.anm"), 3);
    const int lines = logLines();
    EXPECT_EQ(list.Add(""), -1);
    EXPECT_EQ(list.Add(nullptr), -1);
    EXPECT_EQ(logLines(), lines + 2);
    EXPECT_EQ(list.Count(), 4);

    EXPECT_EQ(list.Find("DATA/COMICS/1.ANM"), 0);  // the earlier of two
    EXPECT_EQ(list.Find("data/comics/2.anm"), 1);
    EXPECT_EQ(list.Find("X.ANM"), 3);
    EXPECT_EQ(list.Find("data/Comics/9.anm"), -1);
    EXPECT_EQ(list.Find("data/Comics/1.anm2"), -1);
    EXPECT_EQ(list.Find(""), -1);
    EXPECT_EQ(list.FindAnimation("never added"), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
    list.Clear();
    EXPECT_EQ(list.Find("x.anm"), -1);
}

// Comics 1 (stops), 2 and 3 (plain) are written; 4 and 5 are missing.
struct Comics : Anim {
    static void SetUpTestSuite() {
        Anim::SetUpTestSuite();
        writeAnm("data/Comics/1.anm", kStops);
        writeAnm("data/Comics/2.anm", kPlain);
        writeAnm("data/Comics/3.anm", kPlain);
        writeTga24("Data/dark.tga", 4, 4, [](int, int) { return Rgb{0, 0, 0}; });
        writeText("Data/shared.ini", "[Comics]\ndarkness=Data/dark.tga\n");
    }
    Comics() {
        gComics = &comics;
        comics.LoadAll();
    }
    ~Comics() override { gComics = nullptr; }
    // One fixed step: update, then draw.
    int step() {
        const int r = comics.Update(0.025f);
        comics.Draw(1);
        return r;
    }
    cComicsManager comics;
};

TEST_F(Comics, APlainComicPlaysThenDarkensForOneSecond) {
    comics.Play("DATA/COMICS/3.ANM");
    ASSERT_EQ(comics.Current(), comics.Animations().At(2));
    int steps = 0;
    while (comics.ShownTime() < 2 && steps < 1000) ++steps, step();
    EXPECT_EQ(comics.Fade(), 0);
    int ones = 0;
    while (step() == 1) ++ones;
    EXPECT_NEAR(ones, 40, 1);  // one second of 25 ms steps, the stopping one included
    EXPECT_FALSE(comics.IsShowing());
    EXPECT_EQ(comics.Update(0.025f), 0);
    EXPECT_EQ(comics.Draw(1), 0);
}

TEST_F(Comics, TheDarknessRisesOverTheLastPicture) {
    comics.Play("data/Comics/4.anm");  // missing: no objects, only the darkening
    ASSERT_TRUE(comics.IsShowing());
    for (int i = 0; i < 20; ++i) comics.Update(0.025f);
    rec.clear();
    comics.Draw(1);
    ASSERT_FALSE(rec.draws.empty());
    const DrawCall& dark = rec.draws.back();
    EXPECT_EQ(dark.material, 0x0204011E);
    EXPECT_EQ(dark.w, 1024);
    EXPECT_EQ(dark.h, 768);
    EXPECT_EQ(dark.colour >> 24, static_cast<uint32_t>(comics.Fade() * 255));
    EXPECT_NEAR(comics.Fade(), 0.5f, 1e-4f);
}

TEST_F(Comics, KeysCountOnlyAtStopsAndEscapeSkips) {
    comics.Play("data/Comics/1.anm");
    for (int i = 0; i < 40; ++i) step();  // one second in
    comics.OnButton('A');
    EXPECT_NEAR(comics.ShownTime(), 1, 1e-3f);  // between stops a key does nothing
    // Playing again while a comic shows changes nothing.
    comics.Play("data/Comics/2.anm");
    EXPECT_EQ(comics.Current(), comics.Animations().At(0));

    for (int i = 0; i < 200; ++i) step();
    EXPECT_FLOAT_EQ(comics.ShownTime(), 3);  // held at the stop
    comics.OnButton(1);                      // any key or button releases it
    EXPECT_FLOAT_EQ(comics.ShownTime(), 3);
    step();
    EXPECT_GT(comics.ShownTime(), 3);
    comics.OnButton(27);  // Escape: on to the mark
    EXPECT_FLOAT_EQ(comics.ShownTime(), 8);
    comics.OnButton(27);  // nothing left: stays
    EXPECT_FLOAT_EQ(comics.ShownTime(), 8);
}

TEST_F(Comics, AReplayedComicSoundsFromItsStartAgain) {
    for (int round = 0; round < 2; ++round) {
        rec.clear();
        comics.Play("data/Comics/2.anm");
        while (step() == 1) {
        }
        ASSERT_EQ(rec.sounds.size(), 1u) << round;
        EXPECT_EQ(rec.sounds[0].name, "begin");
    }
    comics.Play("data/Comics/7.anm");  // never loaded
    EXPECT_FALSE(comics.IsShowing());
    comics.OnButton(27);
    EXPECT_EQ(comics.Update(1), 0);
}

TEST_F(Comics, PicturesAreLookedForAtLoadAndDecodedWhenTheComicStarts) {
    // A picture that is there but cut short after its header tells whether it was decoded.
    const unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 0, 24, 0};
    writeText("Data/comic_cut.tga", std::string(header, header + sizeof header));
    writeAnm("data/Comics/5.anm", R"(
object "there"
  sprite "Data/comic_cut.tga"
  alpha 0 1
  alpha 2 1
end
object "gone"
  sprite "Data/comic_gone.tga"
  alpha 0 1
end
)");
    const size_t before = logText().size();
    cComicsManager loaded;
    loaded.LoadAll();
    const std::string atLoad = logText().substr(before);
    EXPECT_NE(atLoad.find("\"file not found\": Data/comic_gone.tga"), std::string::npos) << atLoad;
    EXPECT_EQ(atLoad.find("comic_cut"), std::string::npos) << atLoad;
    loaded.Play("data/Comics/5.anm");
    EXPECT_NE(logText().find("comic_cut", before + atLoad.size()), std::string::npos);
    loaded.Stop();
    std::remove("data/Comics/5.anm");  // the other cases count on a missing fifth comic
}

// Every shipped comic loads without a complaint and names only things that exist.
TEST(ShippedComics, LoadCleanlyAndNameWhatExists) {
    iniFreeAll();
    const std::string logFile = testsupport::ownFolder() + "/gerr.log";
    auto logSize = [&] { return std::ifstream(logFile, std::ios::ate | std::ios::binary).tellg(); };
    testsupport::InFolder source(VELMORA_GAME_DIR);
    char sections[8192];
    iniGetSections("Data/Sounds/sounds.ini", sections, sizeof sections);
    std::set<std::string> sounds;
    for (const char* s = sections; *s; s += strlen(s) + 1) sounds.insert(s);

    const auto before = logSize();
    cComicsManager comics;
    comics.LoadAll();
    EXPECT_EQ(logSize(), before);
    for (int n = 1; n <= 5; ++n) {
        const std::string path = "data/Comics/" + std::to_string(n) + ".anm";
        C_Animation check(path.c_str());
        EXPECT_EQ(check.Load(), kAnimOk) << path;
        C_Animation* a = comics.Animations().At(n - 1);
        ASSERT_NE(a, nullptr);
        ASSERT_GT(a->ObjectCount(), 0) << path;
        cArray<C_StopKey> stops;
        std::vector<C_AnimationObject*> todo;
        for (int i = 0; i < a->ObjectCount(); ++i) todo.push_back(a->ObjectAt(i));
        while (!todo.empty()) {
            C_AnimationObject* o = todo.back();
            todo.pop_back();
            for (int i = 0; i < o->ChildCount(); ++i) todo.push_back(o->ChildAt(i));
            const std::string who = path + " " + (o->name ? o->name : "?");
            // Pictures are held only while the comic shows.
            if (o->spritePath) {
                EXPECT_EQ(o->sprite, nullptr) << who;
                comics.Play(path.c_str());
                EXPECT_NE(o->sprite, nullptr) << who;
                comics.Stop();
                EXPECT_EQ(o->sprite, nullptr) << who;
            }
            if (o->textKey) {
                EXPECT_NE(o->font, nullptr) << who;
                EXPECT_GT(o->lines.size(), 0u) << who;
            }
            for (uint32_t i = 0; i < o->soundKeys.size(); ++i)
                EXPECT_EQ(sounds.count(o->soundKeys[i]->name), 1u) << who << " " << o->soundKeys[i]->name;
            o->CollectStopKeys(stops);
        }
        bool mark = false, hold = false;
        for (uint32_t i = 0; i < stops.size(); ++i) {
            mark = mark || stops[i].kind == kStopMark;
            hold = hold || stops[i].kind == kStopHold;
        }
        EXPECT_TRUE(mark && hold) << path;
    }
    const char16_t* hint = iniGetWideGlobal("Data/translation.ini", "#PRESS_ANY_KEY_FOR_COMICS");
    EXPECT_TRUE(hint && hint[0]);
    iniFreeAll();
}

}  // namespace

namespace {

// Three top-level objects; "B" has a child; "C" is a clickable 8x8 sprite whose mask covers its
// left half only.
const char* kEditing = R"(
object "A"
  alpha 0 1
end
object "B"
  alpha 0 1
  object "B1"
    alpha 0 1
  end
end
object "C"
  clickable 1
  sprite "edit.tga"
  mask "edit.msk"
  position 0 0 0
  size 0 8 8
  scale 0 1
  alpha 0 1
end
)";

std::vector<std::string> names(const C_Animation& a) {
    std::vector<std::string> out;
    for (int i = 0; i < a.ObjectCount(); ++i) out.push_back(a.ObjectAt(i)->name);
    return out;
}

}  // namespace

TEST_F(Anim, EditingTheTopLevelList) {
    writeAnm("edit.anm", kEditing);
    auto a = load("edit.anm");
    ASSERT_EQ(names(*a), (std::vector<std::string>{"A", "B", "C"}));
    C_AnimationObject* A = a->ObjectAt(0);
    C_AnimationObject* C = a->ObjectAt(2);

    EXPECT_EQ(a->SwapObjectsAt(0, 2), kAnimOk);
    EXPECT_EQ(names(*a), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(a->SwapObjects(A, C), kAnimOk);
    EXPECT_EQ(names(*a), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(a->IndexOfSerial(C->serial), 2);
    EXPECT_EQ(a->IndexOfSerial(a->ObjectAt(1)->ChildAt(0)->serial), -1);  // children are not top level

    // Moving C to the front: taken out without being deleted, then inserted.
    EXPECT_EQ(a->RemoveObjectAt(2), kAnimOk);
    EXPECT_EQ(a->InsertObject(0, C), 0);
    EXPECT_EQ(names(*a), (std::vector<std::string>{"C", "A", "B"}));

    // Refusals change nothing.
    C_AnimationObject* loose = a->NewObject();
    const struct {
        const char* what;
        int result, expected;
    } refused[] = {
        {"insert past the end", a->InsertObject(4, loose), -1},
        {"insert before 0", a->InsertObject(-1, loose), -1},
        {"insert null", a->InsertObject(0, nullptr), -1},
        {"insert a member again", a->InsertObject(0, A), -1},
        {"swap out of range", a->SwapObjectsAt(0, 3), kAnimFail},
        {"swap a stranger", a->SwapObjects(A, loose), kAnimFail},
        {"remove out of range", a->RemoveObjectAt(3), kAnimFail},
        {"delete a stranger", a->DeleteObject(loose), kAnimFail},
        {"delete null", a->DeleteObject(nullptr), kAnimFail},
        {"delete out of range", a->DeleteObjectAt(-1), kAnimFail},
    };
    for (const auto& r : refused) EXPECT_EQ(r.result, r.expected) << r.what;
    EXPECT_EQ(names(*a), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(a->InsertObject(3, loose), 3);  // the count itself appends

    // A child is found and deleted at any depth; deleting at an index deletes a top-level one.
    C_AnimationObject* B = a->ObjectAt(2);
    EXPECT_EQ(a->DeleteObject(B->ChildAt(0)), kAnimOk);
    EXPECT_EQ(B->ChildCount(), 0);
    EXPECT_EQ(a->DeleteObjectAt(3), kAnimOk);
    EXPECT_EQ(a->DeleteObject(A), kAnimOk);
    EXPECT_EQ(names(*a), (std::vector<std::string>{"C", "B"}));

    // What was edited saves and reads back in its new order.
    a->SetFileName("edited.anm");
    EXPECT_EQ(a->Save(), kAnimOk);
    auto back = load("edited.anm");
    EXPECT_EQ(names(*back), (std::vector<std::string>{"C", "B"}));
}

TEST_F(Anim, HitTestAsksTheTopLevelObjectsThroughTheirMasks) {
    writeTga24("edit.tga", 8, 8, [](int, int) { return Rgb{255, 255, 255}; });
    std::string mask(64, '\0');
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) mask[y * 8 + x] = 11;  // 11 or more is solid
    writeText("edit.msk", mask);
    writeAnm("edit.anm", kEditing);
    auto a = load("edit.anm");
    const Vec2f centre(512, 384);
    a->Draw(0, 1, centre, 1);  // placing the nodes
    EXPECT_EQ(a->HitTest(Vec2f(510, 384), 0, 1, centre), 1);  // left half
    EXPECT_EQ(a->HitTest(Vec2f(514, 384), 0, 1, centre), 0);  // right half is see-through
    EXPECT_EQ(a->HitTest(Vec2f(530, 384), 0, 1, centre), 0);  // outside
    EXPECT_EQ(a->HitTest(Vec2f(510, 384), 0, 0.25f, centre), 0);  // too faint to take a click
}
