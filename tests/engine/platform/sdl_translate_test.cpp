// System events turned into window messages, one table row per event.
#include <gtest/gtest.h>

#include <vector>

#include "engine/platform/platform_internal.h"
#include "engine/platform/testing.h"

// Found by argument lookup, so beside the message type.
bool operator==(const PlatMessage& a, const PlatMessage& b) {
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

std::ostream& operator<<(std::ostream& os, const PlatMessage& m) {
    return os << "(" << m.message << ", 0x" << std::hex << m.wParam << ", 0x" << m.lParam
              << std::dec << ")";
}

namespace {

intptr_t packed(int x, int y) { return (uint16_t(x)) | intptr_t(uint16_t(y)) << 16; }

std::vector<PlatMessage> translate(const PlatTestEvent& event) {
    PlatMessage out[kPlatTestMaxMessages];
    int n = platTestTranslate(event, out, kPlatTestMaxMessages);
    return std::vector<PlatMessage>(out, out + n);
}

PlatTestEvent button(bool down, PlatTestButton which, int x, int y, int clicks = 1) {
    return platTestButton(down, which, x, y, clicks);
}
PlatTestEvent key(bool down, const char* name, int modifiers = 0, bool repeat = false) {
    return platTestKey(down, name, 0, modifiers, repeat);
}
constexpr bool kPress = true, kRelease = false;

constexpr intptr_t kUp = KEYDATA_REPEAT | KEYDATA_RELEASE;
intptr_t keyData(int scan) { return 1 | intptr_t(scan) << 16; }

struct Case {
    const char* name;
    PlatTestEvent event;
    std::vector<PlatMessage> expected;
};

TEST(SdlTranslate, EachEventGivesItsMessages) {
    const Case cases[] = {
        {"left down", button(kPress, PLAT_TEST_LEFT, 10, 20),
         {{WM_LBUTTONDOWN, MK_LBUTTON, packed(10, 20)}}},
        {"left double click", button(kPress, PLAT_TEST_LEFT, 10, 20, 2),
         {{WM_LBUTTONDBLCLK, MK_LBUTTON, packed(10, 20)}}},
        {"left third click", button(kPress, PLAT_TEST_LEFT, 10, 20, 3),
         {{WM_LBUTTONDOWN, MK_LBUTTON, packed(10, 20)}}},
        {"left up", button(kRelease, PLAT_TEST_LEFT, 639, 479),
         {{WM_LBUTTONUP, 0, packed(639, 479)}}},
        {"right down", button(kPress, PLAT_TEST_RIGHT, 1, 2),
         {{WM_RBUTTONDOWN, MK_RBUTTON, packed(1, 2)}}},
        {"right double click", button(kPress, PLAT_TEST_RIGHT, 1, 2, 2),
         {{WM_RBUTTONDBLCLK, MK_RBUTTON, packed(1, 2)}}},
        {"right up", button(kRelease, PLAT_TEST_RIGHT, 1, 2),
         {{WM_RBUTTONUP, 0, packed(1, 2)}}},
        {"middle down", button(kPress, PLAT_TEST_MIDDLE, 3, 4),
         {{WM_MBUTTONDOWN, MK_MBUTTON, packed(3, 4)}}},
        {"middle double click", button(kPress, PLAT_TEST_MIDDLE, 3, 4, 2),
         {{WM_MBUTTONDBLCLK, MK_MBUTTON, packed(3, 4)}}},
        {"middle up", button(kRelease, PLAT_TEST_MIDDLE, 3, 4),
         {{WM_MBUTTONUP, 0, packed(3, 4)}}},
        {"side button", button(kPress, PLAT_TEST_X1, 3, 4), {}},
        {"move with buttons held, outside the window",
         platTestMotion(MK_LBUTTON | MK_RBUTTON, -1, 5),
         {{WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, 0xFFFF | intptr_t(5) << 16}}},
        {"wheel away", platTestWheel(1), {{WM_MOUSEWHEEL, uintptr_t(120) << 16, packed(0, 0)}}},
        {"wheel towards, flipped", platTestWheel(2, true),
         {{WM_MOUSEWHEEL, uintptr_t(uint16_t(-240)) << 16, packed(0, 0)}}},
        {"letter down", platTestKey(kPress, "A", 'a'),
         {{WM_KEYDOWN, 'A', keyData(0x1E)}}},
        {"letter repeat", platTestKey(kPress, "A", 'a', 0, true),
         {{WM_KEYDOWN, 'A', keyData(0x1E) | KEYDATA_REPEAT}}},
        {"letter up", platTestKey(kRelease, "A", 'a'),
         {{WM_KEYUP, 'A', keyData(0x1E) | kUp}}},
        {"letter of another layout keeps the key's position",
         platTestKey(kPress, "Q", 'a'), {{WM_KEYDOWN, 'A', keyData(0x10)}}},
        {"digit", key(kPress, "7"), {{WM_KEYDOWN, '7', keyData(0x08)}}},
        {"F12", key(kPress, "F12"), {{WM_KEYDOWN, 123, keyData(0x58)}}},
        {"space", key(kPress, "Space"),
         {{WM_KEYDOWN, 32, keyData(0x39)}}},
        {"left arrow is extended", key(kPress, "Left"),
         {{WM_KEYDOWN, 37, keyData(0x4B) | KEYDATA_EXTENDED}}},
        {"down arrow up", key(kRelease, "Down"),
         {{WM_KEYUP, 40, keyData(0x50) | KEYDATA_EXTENDED | kUp}}},
        {"right shift", key(kPress, "Right Shift", PLAT_TEST_SHIFT),
         {{WM_KEYDOWN, 16, keyData(0x36)}}},
        {"right control", key(kPress, "Right Ctrl", PLAT_TEST_CTRL),
         {{WM_KEYDOWN, 17, keyData(0x1D) | KEYDATA_EXTENDED}}},
        {"pause", key(kPress, "Pause"),
         {{WM_KEYDOWN, 19, keyData(0x45)}}},
        {"enter gives its character", key(kPress, "Return"),
         {{WM_KEYDOWN, 13, keyData(0x1C)}, {WM_CHAR, 13, keyData(0x1C)}}},
        {"keypad enter", key(kPress, "Keypad Enter"),
         {{WM_KEYDOWN, 13, keyData(0x1C) | KEYDATA_EXTENDED},
          {WM_CHAR, 13, keyData(0x1C) | KEYDATA_EXTENDED}}},
        {"escape gives its character", key(kPress, "Escape"),
         {{WM_KEYDOWN, 27, keyData(0x01)}, {WM_CHAR, 27, keyData(0x01)}}},
        {"backspace repeats its character",
         key(kPress, "Backspace", 0, true),
         {{WM_KEYDOWN, 8, keyData(0x0E) | KEYDATA_REPEAT},
          {WM_CHAR, 8, keyData(0x0E) | KEYDATA_REPEAT}}},
        {"tab gives its character", key(kPress, "Tab"),
         {{WM_KEYDOWN, 9, keyData(0x0F)}, {WM_CHAR, 9, keyData(0x0F)}}},
        {"enter up gives no character", key(kRelease, "Return"),
         {{WM_KEYUP, 13, keyData(0x1C) | kUp}}},
        {"alt alone", key(kPress, "Left Alt", PLAT_TEST_ALT),
         {{WM_SYSKEYDOWN, 18, keyData(0x38) | KEYDATA_ALT}}},
        {"alt+enter is a system key without character",
         key(kPress, "Return", PLAT_TEST_ALT),
         {{WM_SYSKEYDOWN, 13, keyData(0x1C) | KEYDATA_ALT}}},
        {"alt+F4 up", key(kRelease, "F4", PLAT_TEST_ALT),
         {{WM_SYSKEYUP, 115, keyData(0x3E) | KEYDATA_ALT | kUp}}},
        {"key without a code", key(kPress, "AudioNext"), {}},
        {"ascii text", platTestText("ok"), {{WM_CHAR, 'o', 1}, {WM_CHAR, 'k', 1}}},
        {"text beyond ascii, with a character outside the basic plane",
         platTestText("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
         {{WM_CHAR, 0xE9, 1}, {WM_CHAR, 0x20AC, 1}, {WM_CHAR, 0xD83D, 1}, {WM_CHAR, 0xDE00, 1}}},
        {"malformed text", platTestText("\xC3(\xFF"),
         {{WM_CHAR, 0xFFFD, 1}, {WM_CHAR, '(', 1}, {WM_CHAR, 0xFFFD, 1}}},
        {"focus gained", platTestWindow(PLAT_TEST_FOCUS_GAINED), {{WM_ACTIVATEAPP, 1, 0}}},
        {"focus lost", platTestWindow(PLAT_TEST_FOCUS_LOST), {{WM_ACTIVATEAPP, 0, 0}}},
        {"minimised", platTestWindow(PLAT_TEST_MINIMIZED), {{WM_SIZE, SIZE_MINIMIZED, 0}}},
        {"restored", platTestWindow(PLAT_TEST_RESTORED),
         {{WM_SIZE, SIZE_RESTORED, packed(640, 480)}}},
        {"exposed", platTestWindow(PLAT_TEST_EXPOSED), {}},
        {"close", platTestWindow(PLAT_TEST_CLOSE), {{WM_CLOSE, 0, 0}}},
        {"quit", platTestQuit(), {{WM_QUIT, 0, 0}}},
        {"restore request", platTestRestoreRequest(), {{WM_INSTANCE_RESTORE, 0, 0}}},
        {"joystick motion", platTestJoystickMotion(), {}},
    };
    for (const Case& c : cases) {
        platTestTranslateReset(640, 480);
        EXPECT_EQ(translate(c.event), c.expected) << c.name;
    }
}

TEST(SdlTranslate, StateCarriesButtonsModifiersPositionAndSize) {
    platTestTranslateReset(640, 480);
    translate(key(kPress, "Left Ctrl", PLAT_TEST_CTRL));
    translate(platTestMotion(0, 30, 40));
    std::vector<PlatMessage> expected = {{WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, packed(30, 40)}};
    EXPECT_EQ(translate(button(kPress, PLAT_TEST_LEFT, 30, 40)), expected);
    expected = {{WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, packed(31, 40)}};
    EXPECT_EQ(translate(button(kPress, PLAT_TEST_RIGHT, 31, 40)), expected);
    expected = {{WM_MOUSEWHEEL, uintptr_t(uint16_t(-120)) << 16 | MK_LBUTTON | MK_RBUTTON | MK_CONTROL,
                 packed(31, 40)}};
    EXPECT_EQ(translate(platTestWheel(-1)), expected);
    translate(key(kRelease, "Left Ctrl"));
    expected = {{WM_LBUTTONUP, MK_RBUTTON, packed(31, 40)}};
    EXPECT_EQ(translate(button(kRelease, PLAT_TEST_LEFT, 31, 40)), expected);

    EXPECT_TRUE(translate(platTestWindow(PLAT_TEST_SIZE_CHANGED, 1024, 768)).empty());
    expected = {{WM_SIZE, SIZE_RESTORED, packed(1024, 768)}};
    EXPECT_EQ(translate(platTestWindow(PLAT_TEST_RESTORED)), expected);
}

TEST(SdlTranslate, TextConversionsRoundTrip) {
    const char16_t title[] = u"H\u00f4tel \u20ac \U0001F600";
    char utf8[64];
    utf16ToUtf8(title, utf8, sizeof utf8);
    EXPECT_STREQ(utf8, "H\xC3\xB4tel \xE2\x82\xAC \xF0\x9F\x98\x80");
    char16_t back[64];
    EXPECT_TRUE(utf8ToUtf16(utf8, back, 64));
    EXPECT_EQ(std::u16string(back), std::u16string(title));

    // Cut at whole characters, never in the middle of a pair or a sequence.
    char small[9];
    utf16ToUtf8(title, small, sizeof small);
    EXPECT_STREQ(small, "H\xC3\xB4tel ");
    char16_t shortBuffer[10];
    EXPECT_FALSE(utf8ToUtf16(utf8, shortBuffer, 10));
    EXPECT_EQ(std::u16string(shortBuffer), u"H\u00f4tel \u20ac ");
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    utf16ToUtf8(lone, utf8, sizeof utf8);
    EXPECT_STREQ(utf8, "a\xEF\xBF\xBD" "b");
}

}  // namespace
