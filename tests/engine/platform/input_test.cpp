// Typed words, the binding table, and the joystick as keys (through a virtual joystick).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/data/ini.h"
#include "engine/platform/input.h"
#include "engine/platform/input_internal.h"
#include "engine/platform/platform.h"
#include "engine/platform/testing.h"
#include "tests/support/temp_folder.h"

namespace {

void typeText(const char* text) {
    for (const char* p = text; *p; p++) typedPush(static_cast<unsigned char>(*p));
}

TEST(TypedBuffer, MatchesTheEndOfWhatWasTyped) {
    typeText("hello GrTracer");
    EXPECT_EQ(typedEndsWith("grtracer"), 1);
    EXPECT_EQ(typedEndsWith("GRTRACER"), 1);
    EXPECT_EQ(typedEndsWith("r"), 1);
    EXPECT_EQ(typedEndsWith("sndtracer"), 0);
    typedPush('x');
    EXPECT_EQ(typedEndsWith("grtracer"), 0);
    // Only the low byte of a character is kept.
    typedPush(0x100 + 'q');
    EXPECT_EQ(typedEndsWith("xq"), 1);
    EXPECT_EQ(typedEndsWith(""), 0);
    EXPECT_EQ(typedEndsWith(nullptr), 0);
}

TEST(TypedBuffer, KeepsTheLast31Characters) {
    const char* word31 = "abcdefghijklmnopqrstuvwxyz01234";
    typeText("!");
    typeText(word31);
    EXPECT_EQ(typedEndsWith(word31), 1);
    EXPECT_EQ(typedEndsWith("!abcdefghijklmnopqrstuvwxyz01234"), 0);
}

intptr_t scan(int code) { return intptr_t(code) << 16 | 1; }

TEST(KeyBindings, InputCodes) {
    EXPECT_EQ(keysCode(1, 0), KEYS_MOUSE_LEFT);
    EXPECT_EQ(keysCode(2, 0), KEYS_MOUSE_RIGHT);
    EXPECT_EQ(keysCode(4, 0), KEYS_MOUSE_MIDDLE);
    EXPECT_EQ(keysCode(JOY_BUTTON1, 15), 132);
    EXPECT_EQ(keysCode(JOY_BUTTON2, 15), 133);
    EXPECT_EQ(keysCode(JOY_BUTTON3, 15), 134);
    EXPECT_EQ(keysCode(JOY_BUTTON4, 15), 135);
    EXPECT_EQ(keysCode(JOY_LEFT, 15), 136);
    EXPECT_EQ(keysCode(JOY_RIGHT, 15), 137);
    EXPECT_EQ(keysCode(JOY_UP, 15), 138);
    EXPECT_EQ(keysCode(JOY_DOWN, 15), 139);
    EXPECT_EQ(keysCode(19, scan(0x45)), KEYS_PAUSE);
    EXPECT_EQ(keysCode('A', scan(0x1E) | KEYDATA_ALT | KEYDATA_EXTENDED), 0x1E);
}

TEST(KeyBindings, BindingMovesKeysBetweenActions) {
    keysClear();
    keysBind("Fire", 'A', scan(0x1E));
    KeyBinding* fire = keysFind('A', scan(0x1E));
    ASSERT_NE(fire, nullptr);
    EXPECT_STREQ(fire->name, "Fire");
    EXPECT_EQ(fire->key1, 0x1E);
    EXPECT_EQ(fire->key2, 0);

    // A second and a third key: the newest is key1, the oldest drops out.
    keysBind("FIRE", 'B', scan(0x30));
    keysBind("fire", 1, 0);
    fire = keysFind(1, 0);
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->key1, KEYS_MOUSE_LEFT);
    EXPECT_EQ(fire->key2, 0x30);
    EXPECT_EQ(keysFind('A', scan(0x1E)), nullptr);

    // Binding a key the action already holds changes nothing.
    keysBind("Fire", 'B', scan(0x30));
    EXPECT_EQ(fire->key1, KEYS_MOUSE_LEFT);
    EXPECT_EQ(fire->key2, 0x30);

    // Another action takes the key away.
    keysBind("Jump", 'B', scan(0x30));
    KeyBinding* jump = keysFind('B', scan(0x30));
    ASSERT_NE(jump, nullptr);
    EXPECT_STREQ(jump->name, "Jump");
    fire = keysFind(1, 0);
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->key1, KEYS_MOUSE_LEFT);
    EXPECT_EQ(fire->key2, 0);

    // A key without a code binds nothing and is never found.
    keysBind("Nothing", 0x5F, 0);
    EXPECT_EQ(keysFind(0x5F, 0), nullptr);

    keysBind("AVeryLongActionNameIndeed", 'C', scan(0x2E));
    KeyBinding* longName = keysFind('C', scan(0x2E));
    ASSERT_NE(longName, nullptr);
    EXPECT_STREQ(longName->name, "AVeryLongAction");
    keysBind("AVeryLongActionNameAgain", 'D', scan(0x20));
    EXPECT_EQ(keysFind('D', scan(0x20)), longName);

    // Many actions: the table grows and keeps them all.
    for (int i = 0; i < 40; i++) {
        char name[16];
        snprintf(name, sizeof name, "act%d", i);
        keysBind(name, 200, scan(0x47 + i));
    }
    KeyBinding* last = keysFind(200, scan(0x47 + 39));
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last->name, "act39");
    keysClear();
    EXPECT_EQ(keysFind(1, 0), nullptr);
}

// The binding table's files, in a folder of their own.
class KeyFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.made());
        keysClear();
        iniFreeAll();
    }
    void TearDown() override {
        keysClear();
        iniFreeAll();
    }
    std::string file(const char* name, const char* text = nullptr) {
        std::string path = (root_ / name).string();
        if (text) std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    testsupport::TempFolder folder_{"velmora_keys"};
    std::filesystem::path root_ = folder_.path();
};

const char* kBindings =
    "[Fire]\nkey1=30\nkey2=129\n"
    "[Idle]\nkey1=0\nkey2=0\n"
    "[Jump]\nkey2=57\n"
    "[AVeryLongActionNameIndeed]\nkey1=200\n";

TEST_F(KeyFiles, LoadSkipsUnboundSectionsAndSaveWritesEveryAction) {
    keysBind("Stale", 'Z', scan(0x2C));
    keysLoad(file("keys.ini", kBindings).c_str());
    EXPECT_EQ(keysFind('Z', scan(0x2C)), nullptr);  // the table was emptied first
    KeyBinding* fire = keysFind(1, 0);
    ASSERT_NE(fire, nullptr);
    EXPECT_STREQ(fire->name, "Fire");
    EXPECT_EQ(fire->key1, 30);
    EXPECT_EQ(fire->key2, KEYS_MOUSE_LEFT);
    KeyBinding* jump = keysFind(' ', scan(57));
    ASSERT_NE(jump, nullptr);
    EXPECT_STREQ(jump->name, "Jump");
    EXPECT_EQ(jump->key1, 0);
    KeyBinding* longName = keysFind(200, scan(200));
    ASSERT_NE(longName, nullptr);
    EXPECT_STREQ(longName->name, "AVeryLongAction");
    char a[32] = "untouched", b[32] = "untouched";
    EXPECT_EQ(keysNames(file("none.ini").c_str(), "Idle", a, b, sizeof a), 1);

    std::string saved = file("saved.ini");
    keysBind("Jump", 'A', scan(0x1E));
    keysSave(saved.c_str());
    keysLoad(saved.c_str());
    jump = keysFind('A', scan(0x1E));
    ASSERT_NE(jump, nullptr);
    EXPECT_STREQ(jump->name, "Jump");
    EXPECT_EQ(jump->key2, 0);  // its old key1, none
    EXPECT_EQ(iniGetInt(saved.c_str(), "Fire", "key2", -1), KEYS_MOUSE_LEFT);
    EXPECT_EQ(iniGetInt(saved.c_str(), "Jump", "key1", -1), 0x1E);

    // A file that is not there leaves the table empty.
    keysLoad(file("missing.ini").c_str());
    EXPECT_EQ(keysFind(1, 0), nullptr);
}

TEST_F(KeyFiles, NamesOfAnActionsKeys) {
    keysLoad(file("keys.ini", kBindings).c_str());
    std::string names = file("names.ini", "[key]\n30=A\n129=Left button\n");
    char one[32] = "untouched", two[32] = "untouched";
    EXPECT_EQ(keysNames(names.c_str(), "fire", one, two, sizeof one), 0);
    EXPECT_STREQ(one, "A");
    EXPECT_STREQ(two, "Left button");
    // key2 of Jump has no name; Jump has no key1, whose text is empty.
    EXPECT_EQ(keysNames(names.c_str(), "Jump", one, two, sizeof one), 0);
    EXPECT_STREQ(one, "");
    EXPECT_STREQ(two, "");
    // Without a key2 the second text is left as it was.
    strcpy(two, "untouched");
    keysBind("Solo", 1, 0);
    EXPECT_EQ(keysNames(names.c_str(), "Solo", one, two, 4), 0);
    EXPECT_STREQ(one, "Lef");
    EXPECT_STREQ(two, "untouched");
    EXPECT_EQ(keysNames(names.c_str(), "Nobody", one, two, sizeof one), 1);
    EXPECT_STREQ(one, "Lef");
}

struct Sent {
    uint32_t message;
    uintptr_t code;
    intptr_t data;
    bool operator==(const Sent& o) const {
        return message == o.message && code == o.code && data == o.data;
    }
};

std::ostream& operator<<(std::ostream& os, const Sent& s) {
    return os << "(" << s.message << ", " << s.code << ", " << s.data << ")";
}

std::vector<Sent> gSent;

void record(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    gSent.push_back({message, wParam, lParam});
}

std::vector<Sent> take() {
    std::vector<Sent> out;
    out.swap(gSent);
    return out;
}

const Sent down(int code) { return {WM_KEYDOWN, uintptr_t(code), 15}; }
const Sent buttonUp(int code) { return {WM_KEYUP, uintptr_t(code), 15}; }
const Sent stickUp(int code) { return {WM_KEYUP, uintptr_t(code), 0}; }

class VirtualJoystick : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platInit());
        ASSERT_TRUE(platTestJoystickAttach()) << platTestError();
        gSent.clear();
    }
    void TearDown() override {
        joyDone();
        platTestJoystickDetach();
        platDone();
    }
    // Sets the stick and buttons, then polls once and returns what was sent.
    std::vector<Sent> poll(int x, int y, uint32_t buttons) {
        platTestJoystickSet(x, y, buttons);
        joyPoll();
        return take();
    }
};

TEST_F(VirtualJoystick, ButtonsAndStickBecomeKeyTransitions) {
    ASSERT_EQ(joyInit(record), 1);
    PlatJoyCaps caps;
    ASSERT_TRUE(platJoyGetCaps(0, &caps));
    EXPECT_EQ(caps.buttons, 4);

    EXPECT_TRUE(poll(0, 0, 0).empty());
    // Held buttons go down once and up once.
    EXPECT_EQ(poll(0, 0, 1), std::vector<Sent>{down(JOY_BUTTON1)});
    EXPECT_TRUE(poll(0, 0, 1).empty());
    EXPECT_EQ(poll(0, 0, 0), std::vector<Sent>{buttonUp(JOY_BUTTON1)});
    EXPECT_EQ(poll(0, 0, 2 | 4 | 8),
              (std::vector<Sent>{down(JOY_BUTTON2), down(JOY_BUTTON3), down(JOY_BUTTON4)}));
    EXPECT_EQ(poll(0, 0, 8), (std::vector<Sent>{buttonUp(JOY_BUTTON2), buttonUp(JOY_BUTTON3)}));
    EXPECT_EQ(poll(0, 0, 0), std::vector<Sent>{buttonUp(JOY_BUTTON4)});

    // Small deflections on either side stay in the dead zone.
    EXPECT_TRUE(poll(-20, -20, 0).empty());
    EXPECT_TRUE(poll(20, 20, 0).empty());

    EXPECT_EQ(poll(-32768, 0, 0), std::vector<Sent>{down(JOY_LEFT)});
    EXPECT_TRUE(poll(-100, 0, 0).empty());
    // Straight across: the old side goes up before the new side goes down.
    EXPECT_EQ(poll(32767, 0, 0), (std::vector<Sent>{stickUp(JOY_LEFT), down(JOY_RIGHT)}));
    EXPECT_EQ(poll(0, 0, 0), std::vector<Sent>{stickUp(JOY_RIGHT)});
    EXPECT_EQ(poll(0, -100, 0), std::vector<Sent>{down(JOY_UP)});
    EXPECT_EQ(poll(0, 100, 0), (std::vector<Sent>{stickUp(JOY_UP), down(JOY_DOWN)}));
    EXPECT_EQ(poll(0, 0, 0), std::vector<Sent>{stickUp(JOY_DOWN)});

    joyDone();
    EXPECT_TRUE(poll(-32768, 0, 1).empty());
}

TEST_F(VirtualJoystick, FirstPollReportsWhatIsAlreadyHeld) {
    platTestJoystickSet(32767, 0, 1);
    ASSERT_EQ(joyInit(record), 1);
    joyPoll();
    EXPECT_EQ(take(), (std::vector<Sent>{down(JOY_BUTTON1), down(JOY_RIGHT)}));
}

TEST(Joystick, NoJoystickSendsNothing) {
    ASSERT_TRUE(platInit());
    if (platJoyCount() != 0) GTEST_SKIP() << "a joystick is attached";
    gSent.clear();
    EXPECT_EQ(joyInit(record), 0);
    joyPoll();
    EXPECT_TRUE(gSent.empty());
    platDone();
}

TEST(Joystick, EachAxisIsJudgedAgainstItsOwnRange) {
    PlatJoyCaps caps{0, 65535, 1000, 3000, 0, 65535, 4};
    PlatJoyPos centred{32767, 2000, 32767, 0};
    gSent.clear();
    joySendChanges(caps, centred, PlatJoyPos{32767, 2000, 0, 0}, record);
    EXPECT_TRUE(take().empty());
    joySendChanges(caps, centred, PlatJoyPos{32767, 2031, 0, 0}, record);
    EXPECT_TRUE(take().empty());
    joySendChanges(caps, centred, PlatJoyPos{32767, 1969, 0, 0}, record);
    EXPECT_TRUE(take().empty());
    joySendChanges(caps, centred, PlatJoyPos{32767, 2032, 0, 0}, record);
    EXPECT_EQ(take(), std::vector<Sent>{down(JOY_DOWN)});
    joySendChanges(caps, centred, PlatJoyPos{32767, 1968, 0, 0}, record);
    EXPECT_EQ(take(), std::vector<Sent>{down(JOY_UP)});
    joySendChanges(caps, PlatJoyPos{32767, 1000, 0, 0}, PlatJoyPos{32767, 3000, 0, 0}, record);
    EXPECT_EQ(take(), (std::vector<Sent>{stickUp(JOY_UP), down(JOY_DOWN)}));
}

}  // namespace
