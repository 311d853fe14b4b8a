// The sprite registry: sharing by name, reference counts, slot reuse, frames, banks, blank
// sprites, locking and the list in the log.
#include "engine/gr/registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/strings.h"

#include "engine/data/ini.h"
#include "gr_fixtures.h"

namespace {

int indexOf(HSPRITE sprite) {
    for (int i = 0; i < grRegistrySize(); ++i)
        if (grRegistryAt(i) && static_cast<CSprite*>(grRegistryAt(i)) == sprite) return i;
    return -1;
}

Rgb grayish(int x, int y) { return {100 + x, 100 + y, 100}; }

TEST(Registry, SharesByNameAndReusesFreedSlots) {
    writeTga24("Data/Menu/shared.tga", 2, 2, grayish);
    const int before = grRegistryCount();
    HSPRITE a = grLoadSprite("Data/Menu/shared.tga", nullptr, 0);
    HSPRITE b = grLoadSprite("Data/Menu/shared.tga", "ignored.tga", 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(b, a);
    EXPECT_EQ(grRegistryCount(), before + 1);
    EXPECT_EQ(a->references(), 2u);
    // Case and slash direction do not make another sprite.
    EXPECT_EQ(grLoadSprite("data\\menu\\SHARED.TGA", nullptr, 0), a);
    EXPECT_EQ(grSpriteAddRef(a), a);
    EXPECT_EQ(grAddRef(a), a);
    EXPECT_EQ(a->references(), 5u);

    const int slot = indexOf(a);
    ASSERT_GE(slot, 0);
    for (int i = 0; i < 4; ++i) grFreeSprite(a);
    EXPECT_EQ(indexOf(a), slot);  // one reference is left
    grFreeSprite(a);
    EXPECT_EQ(grRegistryAt(slot), nullptr);
    EXPECT_EQ(grRegistryFind("Data/Menu/shared.tga"), nullptr);
    EXPECT_EQ(grRegistryCount(), before);

    writeTga24("next.tga", 1, 1, grayish);
    HSPRITE next = grLoadSprite("next.tga", nullptr, 0);
    EXPECT_EQ(indexOf(next), slot);
    grFreeSprite(next);
    grFreeSprite(nullptr);  // ignored
}

// Holes are refilled lowest slot first whatever order they were made in.
TEST(Registry, HolesRefillLowestSlotFirst) {
    std::vector<HSPRITE> made;
    for (int i = 0; i < 6; ++i)
        made.push_back(grCreateSprite(1, 1, ("hole" + std::to_string(i)).c_str()));
    const int s1 = indexOf(made[1]), s4 = indexOf(made[4]);
    ASSERT_LT(s1, s4);
    grFreeSprite(made[4]);
    grFreeSprite(made[1]);
    HSPRITE low = grCreateSprite(1, 1, "refill low");
    HSPRITE high = grCreateSprite(1, 1, "refill high");
    EXPECT_EQ(indexOf(low), s1);
    EXPECT_EQ(indexOf(high), s4);
    for (HSPRITE h : {made[0], made[2], made[3], made[5], low, high}) grFreeSprite(h);
}

// The first entry in slot order whose name matches, found by looking at every entry.
CSpriteExt* firstByScan(const char* name) {
    for (int i = 0; i < grRegistrySize(); ++i)
        if (grRegistryAt(i) && iniPathEqual(grRegistryAt(i)->name, name) == 0) return grRegistryAt(i);
    return nullptr;
}

// Lookups by name answer as a scan of every entry in slot order does, through sprites of one
// name made twice, frees that leave holes, holes filled under other names, an entry added from
// outside with its name already set, and a cleared table.
TEST(Registry, FindGivesTheFirstMatchingSlotThroughEveryChange) {
    const char* names[] = {"Data/a.tga", "DATA\\A.TGA", "data/b.tga", "Data/c.tga", "c.tga",
                           "Data/A.tgA", "", "Data/none.tga"};
    auto agree = [&](const char* when) {
        for (const char* name : names)
            EXPECT_EQ(grRegistryFind(name), firstByScan(name)) << when << ": " << name;
    };
    HSPRITE a1 = grCreateSprite(1, 1, "Data/a.tga");
    HSPRITE b = grCreateSprite(1, 1, "Data/B.tga");
    HSPRITE a2 = grCreateSprite(2, 2, "data\\a.TGA");  // the same name again: a second entry
    agree("made");
    EXPECT_EQ(grRegistryFind("Data/a.tga"), a1);
    grFreeSprite(a1);
    agree("first freed");
    EXPECT_EQ(grRegistryFind("Data/a.tga"), a2);
    // The hole is filled under another name, then a third "a" goes before the second.
    HSPRITE c = grCreateSprite(1, 1, "Data/c.tga");
    agree("hole refilled");
    grFreeSprite(c);
    HSPRITE a3 = grCreateSprite(3, 3, "DATA/A.TGA");
    agree("third");
    EXPECT_EQ(grRegistryFind("Data/a.tga"), a3);
    auto* outside = new CSpriteExt;
    StrCopyN(outside->name, "c.tga", sizeof outside->name);
    ASSERT_TRUE(grRegistryAdd(outside));
    agree("added from outside");
    EXPECT_EQ(grRegistryFind("C.TGA"), outside);
    grRegistryRemove(outside);
    delete outside;
    agree("removed");
    EXPECT_EQ(grRegistryFind("c.tga"), nullptr);
    grFreeSprite(a2);
    grFreeSprite(a3);
    grFreeSprite(b);
    agree("all freed");
}

TEST(Registry, RefusesNamesThatDoNotFit) {
    const std::string longest(127, 'n');
    const std::string tooLong(128, 'n');
    EXPECT_EQ(grLoadSprite(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(grLoadSprite("", nullptr, 0), nullptr);
    const int lines = logLines();
    EXPECT_EQ(grLoadSprite(tooLong.c_str(), nullptr, 0), nullptr);
    EXPECT_EQ(grLoadSprite("fine.tga", tooLong.c_str(), 0), nullptr);
    EXPECT_EQ(grCreateSprite(4, 4, tooLong.c_str()), nullptr);
    EXPECT_EQ(logLines(), lines + 3);
    EXPECT_EQ(grRegistryFind("fine.tga"), nullptr);

    // 127 characters fit; no alpha name can be made from it, which is logged.
    HSPRITE s = grLoadSprite(longest.c_str(), nullptr, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s->name, longest.c_str());
    EXPECT_STREQ(s->alphaFile, "");
    EXPECT_EQ(spriteWidth(s), 0);
    grFreeSprite(s);
}

TEST(Registry, FramesSplitTheImage) {
    writeTga24("strip.tga", 3, 256, grayish);
    HSPRITE s = grLoadSprite("strip.tga", nullptr, 0);
    ASSERT_EQ(spriteHeight(s), 256);
    grSetFrames(s, 1000, 4);
    EXPECT_EQ(spriteHeight(s), 64);
    EXPECT_EQ(grSpriteFrames(s), 4);
    EXPECT_EQ(grSpriteTime(s), 1000);
    EXPECT_EQ(grFrameOfTime(s, 760), 3);
    EXPECT_EQ(s->clipY1, 256);
    // Zeros from game data are taken as 1, and said so.
    const int lines = logLines();
    grSetFrames(s, 0, 0);
    EXPECT_EQ(logLines(), lines + 1);
    EXPECT_EQ(grSpriteFrames(s), 1);
    EXPECT_EQ(grSpriteTime(s), 1);
    EXPECT_EQ(spriteHeight(s), 256);
    EXPECT_EQ(grFrameOfTime(s, 760), 0);
    grSetFrames(s, 0, 2);
    EXPECT_EQ(spriteHeight(s), 128);
    EXPECT_EQ(grSpriteTime(s), 1);
    EXPECT_EQ(grSpriteFrames(nullptr), 0);
    EXPECT_EQ(grSpriteTime(nullptr), 0);
    grSetFrames(nullptr, 10, 2);
    grFreeSprite(s);

    // An uneven division loses no rows for later counts: every count divides the full height.
    writeTga24("ten.tga", 2, 10, grayish);
    s = grLoadSprite("ten.tga", nullptr, 0);
    for (int count : {3, 2, 3, 1, 4}) {
        grSetFrames(s, 100, count);
        EXPECT_EQ(spriteHeight(s), 10 / count) << count;
        EXPECT_EQ(s->clipY1, 10);
    }
    grFreeSprite(s);
}

TEST(Registry, BanksLoadAndFreeTheirSections) {
    writeTga24("Data/Bank/spin.tga", 2, 64, grayish);
    writeGrayTga("Data/Bank/spin_alpha.tga", 2, 64, [](int, int) { return 77; });
    writeTga24("Data/Bank/still.tga", 2, 64, grayish);
    writeText("Data/bank.ini",
              "[spin]\nname=Data/Bank/spin.tga\nalpha=Data/Bank/spin_alpha.tga\n"
              "length=4\ntime=400\n"
              "[still]\nname=Data/Bank/still.tga\nlength=4\n"
              "[absent]\nname=Data/Bank/absent.tga\n");
    const int before = grRegistryCount();
    grLoadSpriteBank("Data/bank.ini");
    EXPECT_EQ(grRegistryCount(), before + 3);
    CSpriteExt* spin = grRegistryFind("SPIN");
    ASSERT_NE(spin, nullptr);
    EXPECT_STREQ(spin->imageFile, "Data/Bank/spin.tga");
    EXPECT_EQ(spin->height, 16);
    EXPECT_EQ(spin->frames, 4);
    EXPECT_EQ(spin->period, 400);
    ASSERT_NE(spin->alpha, nullptr);
    EXPECT_EQ(spin->alpha[2 * 63], 77);
    CSpriteExt* still = grRegistryFind("still");
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->height, 64);  // "length" without "time" keeps the full height
    CSpriteExt* absent = grRegistryFind("absent");
    ASSERT_NE(absent, nullptr);
    EXPECT_EQ(absent->width, 0);

    // A second load shares the sprites; each free of the bank drops one reference.
    grLoadSpriteBank("Data/bank.ini");
    EXPECT_EQ(grRegistryCount(), before + 3);
    EXPECT_EQ(spin->references(), 2u);
    grFreeSpriteBank("Data/bank.ini");
    EXPECT_EQ(grRegistryFind("spin"), spin);
    grFreeSpriteBank("Data/bank.ini");
    EXPECT_EQ(grRegistryFind("spin"), nullptr);
    EXPECT_EQ(grRegistryCount(), before);
    grLoadSpriteBank("Data/none.ini");
    grLoadSpriteBank(nullptr);
    EXPECT_EQ(grRegistryCount(), before);
}

TEST(Registry, BlankSpritesAndLocking) {
    HSPRITE blank = grCreateSprite(5, 3, "Data/made-up.tga");
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(spriteWidth(blank), 5);
    EXPECT_EQ(spriteHeight(blank), 3);
    EXPECT_STREQ(blank->alphaFile, "");
    EXPECT_EQ(grCreateSprite(0, 3, "zero"), nullptr);
    EXPECT_EQ(grCreateSprite(3, 3, ""), nullptr);

    int w, h, pitch, rs, gs, bs, rb, gb, bb;
    uint16_t* pixels = grLockSpriteEx(blank, &w, &h, &pitch, &rs, &gs, &bs, &rb, &gb, &bb);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(grIsLocked(blank), 1);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(pitch, 10);
    EXPECT_EQ(rs * 100 + gs * 10 + bs, 1150);
    EXPECT_EQ(rb * 100 + gb * 10 + bb, 565);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(pixels[i], 0);
    grUnlockSprite(blank);
    EXPECT_EQ(grIsLocked(blank), 0);
    EXPECT_EQ(blank->pixels, nullptr);
    EXPECT_EQ(grLockSpriteEx(nullptr, &w, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
              nullptr);
    EXPECT_EQ(grIsLocked(nullptr), 0);
    grFreeSprite(blank);
}

TEST(Registry, ListDumpWritesEveryEntry) {
    writeTga24("Data/one.tga", 3, 2, grayish);
    writeTga24("Data/two.tga", 1, 4, grayish);
    HSPRITE one = grLoadSprite("Data/one.tga", nullptr, 0);
    HSPRITE two = grLoadSprite("Data/two.tga", nullptr, 0);
    const size_t logged = logText().size();
    grSpriteListDump();
    const std::string log = logText().substr(logged);
    EXPECT_EQ(log.find("--------- grSpriteListDump() ---------\n"), 0u);
    EXPECT_NE(log.find("Sprite[" + std::to_string(indexOf(one)) + "]: 3x2 Data/one.tga\n"),
              std::string::npos);
    EXPECT_NE(log.find("Sprite[" + std::to_string(indexOf(two)) + "]: 1x4 Data/two.tga\n"),
              std::string::npos);
    int lines = 0;
    for (char c : log) lines += c == '\n';
    EXPECT_EQ(lines, grRegistryCount() + 2);
    grFreeSprite(one);
    grFreeSprite(two);
}

}  // namespace

namespace {

std::vector<uint8_t> pixelsOf(HSPRITE s) {
    std::vector<uint8_t> bytes;
    if (!s->pixels && !s->surface) return bytes;
    grLockSprite(s);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(s->pixels);
    bytes.assign(p, p + static_cast<size_t>(s->pitch) * s->fullHeight);
    if (s->alpha) bytes.insert(bytes.end(), s->alpha, s->alpha + static_cast<size_t>(s->width) * s->fullHeight);
    grUnlockSpriteObj(s);
    return bytes;
}

}  // namespace

// A parked sprite keeps its handle, size and frames and lets its pixels go; unparked, or loaded
// again by name, it has the very same pixels. One drawn into is never parked.
TEST(Registry, AParkedSpriteComesBackTheSame) {
    writeTga32(
        "parked.tga", 3, 8, [](int x, int y) { return Rgb{10 * x, 20 * y, 7}; },
        [](int x, int y) { return 30 * x + y; });
    HSPRITE s = grLoadSprite("parked.tga", nullptr, 0);
    ASSERT_NE(s, nullptr);
    grSetFrames(s, 400, 2);
    grSetClip(s, 1, 1, 2, 3);
    const std::vector<uint8_t> before = pixelsOf(s);
    ASSERT_FALSE(before.empty());

    EXPECT_TRUE(grParkSprite(s));
    EXPECT_TRUE(pixelsOf(s).empty());
    EXPECT_EQ(spriteWidth(s), 3);
    EXPECT_EQ(spriteHeight(s), 4);
    grDrawSprite(0, 0, s, 0);  // draws nothing, touches nothing
    grUnparkSprite(s);
    EXPECT_EQ(pixelsOf(s), before);
    EXPECT_EQ(spriteHeight(s), 4);
    EXPECT_EQ(grSpriteFrames(s), 2);
    EXPECT_EQ(grSpriteTime(s), 400);
    int x0, y0, x1, y1;
    grGetClip(s, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x0 + y0 * 10 + x1 * 100 + y1 * 1000, 1 + 10 + 200 + 3000);

    EXPECT_TRUE(grParkSprite(s));
    EXPECT_EQ(grLoadSprite("parked.tga", nullptr, 0), s);
    EXPECT_EQ(pixelsOf(s), before);
    EXPECT_EQ(grSpriteReferences(s), 2);
    grFreeSprite(s);

    HSPRITE old = grSetTarget(s);
    grSetTarget(old);
    EXPECT_FALSE(grParkSprite(s));
    EXPECT_EQ(pixelsOf(s), before);
    grFreeSprite(s);

    HSPRITE blank = grCreateSprite(4, 4, "blank");
    EXPECT_FALSE(grParkSprite(blank));
    grFreeSprite(blank);
    EXPECT_FALSE(grParkSprite(nullptr));
}
