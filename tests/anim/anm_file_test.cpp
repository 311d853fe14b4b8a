// The .anm file: the byte layout pinned by a hand-assembled file, descriptions compiled and read
// back, the writer's exact mirror, and every truncated or malformed file refused cleanly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

#include "anim/animation.h"
#include "anim_fixtures.h"
#include "tools/anmgen_text.h"

namespace {

// Little-endian fields appended one by one.
struct Bytes {
    std::string b;
    Bytes& i32(int32_t v) {
        b.append(reinterpret_cast<const char*>(&v), 4);
        return *this;
    }
    Bytes& f32(float v) {
        b.append(reinterpret_cast<const char*>(&v), 4);
        return *this;
    }
    Bytes& str(const std::string& s) {
        i32(static_cast<int32_t>(s.size()));
        b += s;
        return *this;
    }
    Bytes& filter(int kind, float c1x = 1, float c1y = 0, float c2x = 1, float c2y = 0) {
        return i32(kind).f32(c1x).f32(c1y).f32(c2x).f32(c2y);
    }
    // An object record up to its child count, with the given texts.
    Bytes& head(const std::string& name, const std::string& sprite = "",
                const std::string& font = "") {
        i32(0).i32(1).i32(42).str(name).str(sprite).i32(3).str("").str("");
        return i32(1).f32(120).f32(30).str(font).i32(-1).i32(1);
    }
    Bytes& emptyTracks() {
        for (int i = 0; i < 7; ++i) i32(0);
        return *this;
    }
};

void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every animation loads its letterbox bars; give the test folder some.
struct AnmFile : ::testing::Test {
    static void SetUpTestSuite() {
        writeJpeg("data/comics/FrameH.jpg", 64, 8, [](int, int) { return Rgb{0, 0, 0}; });
    }
};

// One root with one child; the child has a key in every track, the colour track last.
std::string fixture() {
    Bytes f;
    f.i32(1).head("Root", "\\pics\\a.tga", "\\fonts/f.tga").i32(1);
    f.head("", "pics/b.tga").i32(0);
    f.i32(1).i32(2).f32(0.5f).f32(10).f32(20).filter(0).filter(2, 0.5f, 1, 2, 3).str("door_bell");
    f.i32(1).i32(0).f32(0).f32(64).f32(32).filter(1).filter(1).str("");
    for (int i = 0; i < 4; ++i) f.i32(1).i32(0).f32(1.0f + i).f32(0.25f * i).filter(i % 3).str("");
    f.i32(1).i32(1).f32(2).i32(0x0000FF).filter(0).filter(1).filter(2).str("ding");
    f.emptyTracks();  // the root's tracks
    return f.b;
}

TEST_F(AnmFile, HandAssembledBytesReadFieldForFieldAndSaveBack) {
    const std::string bytes = fixture();
    // Root count, the two records' fields up to their child counts (texts included), child
    // counts, track counts, then keys of 60, 36 and 76 bytes plus their sound texts.
    EXPECT_EQ(bytes.size(), 4 + 83 + 66 + 2 * 4 + 14 * 4 + (60 + 9) + 60 + 4 * 36 + (76 + 4));
    writeFile("fixture.anm", bytes);

    C_Animation anim("fixture.anm");
    ASSERT_EQ(anim.Load(), kAnimOk);
    ASSERT_EQ(anim.ObjectCount(), 1);
    const C_AnimationObject& root = *anim.ObjectAt(0);
    EXPECT_STREQ(root.name, "Root");
    EXPECT_EQ(root.spriteBlend, 0);
    EXPECT_EQ(root.clickable, 1);
    EXPECT_EQ(root.id, 42);
    EXPECT_STREQ(root.spritePath, "pics\\a.tga");  // one leading backslash goes
    EXPECT_STREQ(root.fontPath, "fonts/f.tga");
    EXPECT_EQ(root.maskPath, nullptr);
    EXPECT_EQ(root.textKey, nullptr);
    EXPECT_EQ(root.frameCount, 3);
    EXPECT_EQ(root.boxWidth, 120);
    EXPECT_EQ(root.boxHeight, 30);
    EXPECT_EQ(root.alignH, -1);
    EXPECT_EQ(root.alignV, 1);
    ASSERT_EQ(root.ChildCount(), 1);

    const C_AnimationObject& child = *root.ChildAt(0);
    EXPECT_EQ(child.parent, &root);
    EXPECT_EQ(child.name, nullptr);  // length 0: no name at all
    ASSERT_EQ(child.position.size(), 1u);
    const C_VectorKey& p = *child.position[0];
    EXPECT_EQ(p.stop, 2);
    EXPECT_EQ(p.time, 0.5f);
    EXPECT_EQ(p.value.x, 10);
    EXPECT_EQ(p.value.y, 20);
    EXPECT_EQ(p.filter[1].kind, 2);
    EXPECT_EQ(p.filter[1].c1.x, 0.5f);
    EXPECT_EQ(p.filter[1].c2.y, 3);
    EXPECT_STREQ(p.sound, "door_bell");
    EXPECT_EQ(child.size[0]->value.y, 32);
    EXPECT_EQ(child.scaleKeys[0]->time, 1);
    EXPECT_EQ(child.alphaKeys[0]->value, 0.25f);
    EXPECT_EQ(child.rotation[0]->filter.kind, 2);
    EXPECT_EQ(child.frame[0]->value, 0.75f);
    ASSERT_EQ(child.colourKeys.size(), 1u);
    const C_ColorKey& c = *child.colourKeys[0];
    EXPECT_EQ(c.colour, 0x0000FFu);  // red in the low byte
    EXPECT_EQ(c.filter[0].kind, 0);  // red, green, blue filters in that order
    EXPECT_EQ(c.filter[2].kind, 2);
    EXPECT_STREQ(c.sound, "ding");

    // Saving writes the same bytes, apart from the dropped backslashes.
    anim.SetFileName("saved.anm");
    ASSERT_EQ(anim.Save(), kAnimOk);
    std::string expected = bytes;
    const std::string from[] = {std::string("\x0b\0\0\0\\pics\\a.tga", 15),
                                std::string("\x0c\0\0\0\\fonts/f.tga", 16)};
    const std::string to[] = {std::string("\x0a\0\0\0pics\\a.tga", 14),
                              std::string("\x0b\0\0\0fonts/f.tga", 15)};
    for (int i = 0; i < 2; ++i) expected.replace(expected.find(from[i]), from[i].size(), to[i]);
    EXPECT_EQ(readFile("saved.anm"), expected);
}

TEST_F(AnmFile, NegativeTextLengthsReadAsNoText) {
    Bytes f;
    f.i32(1).i32(1).i32(0).i32(-1).i32(-5).i32(-1).i32(1).i32(0).i32(-100).i32(1).f32(1).f32(1);
    f.i32(-2).i32(0).i32(0).i32(0).emptyTracks();
    writeFile("negative.anm", f.b);
    C_Animation anim("negative.anm");
    ASSERT_EQ(anim.Load(), kAnimOk);
    ASSERT_EQ(anim.ObjectCount(), 1);
    EXPECT_EQ(anim.ObjectAt(0)->name, nullptr);
    EXPECT_EQ(anim.ObjectAt(0)->spritePath, nullptr);
    EXPECT_EQ(anim.ObjectAt(0)->textKey, nullptr);
}

TEST_F(AnmFile, NormalisingPaths) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"\\a\\b.tga", "a\\b.tga"}, {"\\\\a.tga", "\\a.tga"}, {"a.tga", "a.tga"},
                 {"/a.tga", "/a.tga"},      {"\\", ""}};
    for (const auto& c : cases) {
        char* p = C_AnimationObject::NormalizePath(strdup(c.in));
        if (c.out) EXPECT_STREQ(p, c.out) << c.in;
        else EXPECT_EQ(p, nullptr) << c.in;
        free(p);
    }
    EXPECT_EQ(C_AnimationObject::NormalizePath(nullptr), nullptr);
}

TEST_F(AnmFile, DescriptionsCompileIntoTheDescribedTrees) {
    writeFile("story.anm", compileAnm(R"(
        ; a parent with two children
        object "Panel"
          position 0 -100 0
          position 2 100 0 ease
          scale 0 1
          alpha 0 1 stop 1
          object "Face"
            sprite "pics/face.tga"
            frames 4
            blend 0
            size 0 64 64 hold linear
            colour 1 #FF8000 ease sound "click"
          end
          object
            text "HELLO"
            align 1 -1
          end
        end
        object "Second"
          rotation 3 1.5 f(3, 0.5, 1, 2, 0)
        end
    )"));
    C_Animation anim("story.anm");
    ASSERT_EQ(anim.Load(), kAnimOk);
    ASSERT_EQ(anim.ObjectCount(), 2);
    const C_AnimationObject& panel = *anim.ObjectAt(0);
    EXPECT_STREQ(panel.name, "Panel");
    ASSERT_EQ(panel.ChildCount(), 2);
    EXPECT_EQ(panel.position[1]->filter[0].kind, 2);
    EXPECT_EQ(panel.alphaKeys[0]->stop, 1);
    const C_AnimationObject& face = *panel.ChildAt(0);
    EXPECT_EQ(face.frameCount, 4);
    EXPECT_EQ(face.spriteBlend, 0);
    EXPECT_EQ(face.size[0]->filter[0].kind, 1);
    EXPECT_EQ(face.size[0]->filter[1].kind, 0);
    EXPECT_EQ(face.colourKeys[0]->colour, 0x0080FFu);
    EXPECT_STREQ(face.colourKeys[0]->sound, "click");
    EXPECT_EQ(panel.ChildAt(1)->name, nullptr);
    EXPECT_STREQ(panel.ChildAt(1)->textKey, "HELLO");
    EXPECT_EQ(panel.ChildAt(1)->alignH, 1);
    const C_FilterDesc& f = anim.ObjectAt(1)->rotation[0]->filter;
    EXPECT_EQ(f.kind, 3);
    EXPECT_EQ(f.c1.x, 0.5f);
    EXPECT_EQ(f.c2.x, 2);
    EXPECT_FLOAT_EQ(anim.Length(), 3);

    const std::string bytes = readFile("story.anm");
    anim.SetFileName("story2.anm");
    ASSERT_EQ(anim.Save(), kAnimOk);
    EXPECT_EQ(readFile("story2.anm"), bytes);
}

TEST_F(AnmFile, DumpsCompileBackToTheSameBytes) {
    const std::string bytes = fixture();
    std::string text, error;
    ASSERT_TRUE(anmDump(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "f.anm",
                        text, error))
        << error;
    std::vector<uint8_t> again;
    ASSERT_TRUE(anmCompile(text, "dump", again, error)) << error;
    // Only the backslashes the reader drops differ.
    EXPECT_EQ(again.size(), bytes.size() - 2);
    EXPECT_FALSE(anmDump(reinterpret_cast<const uint8_t*>(bytes.data()), 10, "cut.anm", text, error));
    EXPECT_NE(error.find("cut.anm"), std::string::npos);
}

TEST_F(AnmFile, DescriptionErrorsNameTheLine) {
    const struct {
        const char* source;
        const char* error;
    } cases[] = {
        {"object\n  scale 0 x\nend\n", "t.txt:2: 'x' is not a number"},
        {"object\n  alpha 2 1\n  alpha 1 1\nend\n", "t.txt:3: keys of a track must come in time order"},
        {"object\n  size 0 1 2 ease hold linear\nend\n", "t.txt:2: give one filter, or one per component"},
        {"object\n  colour 0 red\nend\n", "t.txt:2: a colour is #RRGGBB or #AARRGGBB"},
        {"object \"open\n", "t.txt:1: text without its closing quote"},
        {"object\n", "t.txt:2: an object is not closed with end"},
        {"end\n", "t.txt:1: end without an object"},
        {"scale 0 1\n", "t.txt:1: 'scale' outside an object"},
        {"object\n  wobble 3\nend\n", "t.txt:2: unknown statement 'wobble'"},
        {"object\n  frames 2.5\nend\n", "t.txt:2: '2.5' is not an integer"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out;
        std::string error;
        EXPECT_FALSE(anmCompile(c.source, "t.txt", out, error)) << c.source;
        EXPECT_EQ(error, c.error) << c.source;
    }
}

TEST_F(AnmFile, MissingFilesAndFailedSaves) {
    C_Animation anim("no such file.anm");
    EXPECT_EQ(anim.Load(), kAnimOk);
    EXPECT_EQ(anim.ObjectCount(), 0);
    anim.SetFileName("no/such/folder/x.anm");
    EXPECT_EQ(anim.Save(), kAnimFail);
    EXPECT_NE(logText().find("no/such/folder/x.anm: the animation could not be saved"),
              std::string::npos);
}

// Loads bytes as a file: the result, and whether exactly one log line came with a failure.
int32_t loadBytes(const std::string& bytes, int* objects, int* lines) {
    writeFile("bad.anm", bytes);
    C_Animation anim("bad.anm");
    const int before = logLines();
    const int32_t r = anim.Load();
    *lines = logLines() - before;
    *objects = anim.ObjectCount();
    return r;
}

TEST_F(AnmFile, EveryTruncationIsRefused) {
    const std::string whole = fixture();
    for (size_t n = 0; n < whole.size(); ++n) {
        int objects = -1, lines = 0;
        EXPECT_EQ(loadBytes(whole.substr(0, n), &objects, &lines), kAnimFail) << n;
        EXPECT_EQ(objects, 0) << n;
        EXPECT_EQ(lines, 1) << n;
    }
    EXPECT_NE(logText().find("bad.anm: offset"), std::string::npos);
}

TEST_F(AnmFile, MalformedFilesAreRefused) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::string deep;
    {
        Bytes f;
        f.i32(1);
        for (int i = 0; i < 70; ++i) f.head("n").i32(1);
        deep = f.b;  // the innermost record never comes: the depth limit speaks first
        deep.append(4000, '\0');
    }
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"negative root count", Bytes().i32(-1).b},
        {"huge root count", Bytes().i32(0x7FFFFFFF).head("a").i32(0).emptyTracks().b},
        {"huge text length", Bytes().i32(1).i32(1).i32(0).i32(0).i32(0x7FFFFFFF).b + "abc"},
        {"huge child count", Bytes().i32(1).head("a").i32(1 << 30).b},
        {"huge key count", Bytes().i32(1).head("a").i32(0).i32(0x10000000).b},
        {"negative key count", Bytes().i32(1).head("a").i32(0).i32(-3).b},
        {"deep nesting", deep},
        {"NaN time",
         Bytes().i32(1).head("a").i32(0).i32(0).i32(0).i32(1).i32(0).f32(nan).f32(1).filter(0).str("").b},
        {"infinite box", Bytes().i32(1).i32(1).i32(0).i32(0).str("a").str("").i32(1).str("").str("")
                             .i32(1).f32(inf).b},
        {"NaN control vector",
         Bytes().i32(1).head("a").i32(0).i32(0).i32(0).i32(1).i32(0).f32(1).f32(1).filter(2, nan).str("").b},
        {"keys out of order", [] {
             Bytes f;
             f.i32(1).head("a").i32(0).i32(0).i32(0).i32(0).i32(2);
             f.i32(0).f32(2).f32(1).filter(0).str("");
             f.i32(0).f32(1).f32(1).filter(0).str("");
             return f.i32(0).i32(0).i32(0).b;
         }()},
    };
    for (const auto& c : cases) {
        int objects = -1, lines = 0;
        // Room behind the damage, so that only the damage itself can be refused.
        EXPECT_EQ(loadBytes(c.bytes + std::string(400, '\0'), &objects, &lines), kAnimFail)
            << c.what;
        EXPECT_EQ(objects, 0) << c.what;
        EXPECT_EQ(lines, 1) << c.what;
    }
    // Keys sharing one time are allowed.
    Bytes same;
    same.i32(1).head("a").i32(0).i32(0).i32(0).i32(0).i32(2);
    same.i32(0).f32(1).f32(0.2f).filter(0).str("").i32(0).f32(1).f32(0.8f).filter(0).str("");
    int objects = 0, lines = 0;
    EXPECT_EQ(loadBytes(same.i32(0).i32(0).i32(0).b, &objects, &lines), kAnimOk);
    EXPECT_EQ(objects, 1);
}

}  // namespace
