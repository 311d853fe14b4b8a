// SDL events turned into window messages, one table row per event.
#include <gtest/gtest.h>

#include <vector>

#include "engine/platform/platform_internal.h"
#include "engine/platform/sdl_internal.h"

// Found by argument lookup, so beside the message type.
bool operator==(const PlatMessage& a, const PlatMessage& b) {
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

std::ostream& operator<<(std::ostream& os, const PlatMessage& m) {
    return os << "(" << m.message << ", 0x" << std::hex << m.wParam << ", 0x" << m.lParam
              << std::dec << ")";
}

namespace {

constexpr uint32_t kRestoreEvent = SDL_USEREVENT + 7;

intptr_t packed(int x, int y) { return (uint16_t(x)) | intptr_t(uint16_t(y)) << 16; }

SDL_Event button(uint32_t type, uint8_t which, int x, int y, uint8_t clicks = 1) {
    SDL_Event e{};
    e.type = type;
    e.button.button = which;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event motion(uint32_t state, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.state = state;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event wheel(int y, bool flipped = false) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = y;
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    return e;
}

SDL_Event key(uint32_t type, SDL_Scancode scancode, SDL_Keycode sym, uint16_t mod = 0,
              uint8_t repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
}

SDL_Event text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event window(uint8_t event, int data1 = 0, int data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
}

SDL_Event plain(uint32_t type) {
    SDL_Event e{};
    e.type = type;
    return e;
}

std::vector<PlatMessage> translate(const SDL_Event& event, TranslateState& state) {
    PlatMessage out[kMaxMessagesPerEvent];
    int n = translateEvent(event, state, out, kMaxMessagesPerEvent);
    return std::vector<PlatMessage>(out, out + n);
}

TranslateState freshState() {
    TranslateState state;
    state.width = 640;
    state.height = 480;
    state.restoreEvent = kRestoreEvent;
    return state;
}

constexpr intptr_t kUp = KEYDATA_REPEAT | KEYDATA_RELEASE;
intptr_t keyData(int scan) { return 1 | intptr_t(scan) << 16; }

struct Case {
    const char* name;
    SDL_Event event;
    std::vector<PlatMessage> expected;
};

TEST(SdlTranslate, EachEventGivesItsMessages) {
    const Case cases[] = {
        {"left down", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20),
         {{WM_LBUTTONDOWN, MK_LBUTTON, packed(10, 20)}}},
        {"left double click", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20, 2),
         {{WM_LBUTTONDBLCLK, MK_LBUTTON, packed(10, 20)}}},
        {"left third click", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20, 3),
         {{WM_LBUTTONDOWN, MK_LBUTTON, packed(10, 20)}}},
        {"left up", button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 639, 479),
         {{WM_LBUTTONUP, 0, packed(639, 479)}}},
        {"right down", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2),
         {{WM_RBUTTONDOWN, MK_RBUTTON, packed(1, 2)}}},
        {"right double click", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2, 2),
         {{WM_RBUTTONDBLCLK, MK_RBUTTON, packed(1, 2)}}},
        {"right up", button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 2),
         {{WM_RBUTTONUP, 0, packed(1, 2)}}},
        {"middle down", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 3, 4),
         {{WM_MBUTTONDOWN, MK_MBUTTON, packed(3, 4)}}},
        {"middle double click", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 3, 4, 2),
         {{WM_MBUTTONDBLCLK, MK_MBUTTON, packed(3, 4)}}},
        {"middle up", button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 3, 4),
         {{WM_MBUTTONUP, 0, packed(3, 4)}}},
        {"side button", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 3, 4), {}},
        {"move with buttons held, outside the window",
         motion(SDL_BUTTON_LMASK | SDL_BUTTON_RMASK, -1, 5),
         {{WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, 0xFFFF | intptr_t(5) << 16}}},
        {"wheel away", wheel(1), {{WM_MOUSEWHEEL, uintptr_t(120) << 16, packed(0, 0)}}},
        {"wheel towards, flipped", wheel(2, true),
         {{WM_MOUSEWHEEL, uintptr_t(uint16_t(-240)) << 16, packed(0, 0)}}},
        {"letter down", key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a),
         {{WM_KEYDOWN, 'A', keyData(0x1E)}}},
        {"letter repeat", key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a, 0, 1),
         {{WM_KEYDOWN, 'A', keyData(0x1E) | KEYDATA_REPEAT}}},
        {"letter up", key(SDL_KEYUP, SDL_SCANCODE_A, SDLK_a),
         {{WM_KEYUP, 'A', keyData(0x1E) | kUp}}},
        {"letter of another layout keeps the key's position",
         key(SDL_KEYDOWN, SDL_SCANCODE_Q, SDLK_a), {{WM_KEYDOWN, 'A', keyData(0x10)}}},
        {"digit", key(SDL_KEYDOWN, SDL_SCANCODE_7, SDLK_7), {{WM_KEYDOWN, '7', keyData(0x08)}}},
        {"F12", key(SDL_KEYDOWN, SDL_SCANCODE_F12, SDLK_F12), {{WM_KEYDOWN, 123, keyData(0x58)}}},
        {"space", key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE),
         {{WM_KEYDOWN, 32, keyData(0x39)}}},
        {"left arrow is extended", key(SDL_KEYDOWN, SDL_SCANCODE_LEFT, SDLK_LEFT),
         {{WM_KEYDOWN, 37, keyData(0x4B) | KEYDATA_EXTENDED}}},
        {"down arrow up", key(SDL_KEYUP, SDL_SCANCODE_DOWN, SDLK_DOWN),
         {{WM_KEYUP, 40, keyData(0x50) | KEYDATA_EXTENDED | kUp}}},
        {"right shift", key(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_RSHIFT),
         {{WM_KEYDOWN, 16, keyData(0x36)}}},
        {"right control", key(SDL_KEYDOWN, SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL),
         {{WM_KEYDOWN, 17, keyData(0x1D) | KEYDATA_EXTENDED}}},
        {"pause", key(SDL_KEYDOWN, SDL_SCANCODE_PAUSE, SDLK_PAUSE),
         {{WM_KEYDOWN, 19, keyData(0x45)}}},
        {"enter gives its character", key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN),
         {{WM_KEYDOWN, 13, keyData(0x1C)}, {WM_CHAR, 13, keyData(0x1C)}}},
        {"keypad enter", key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER),
         {{WM_KEYDOWN, 13, keyData(0x1C) | KEYDATA_EXTENDED},
          {WM_CHAR, 13, keyData(0x1C) | KEYDATA_EXTENDED}}},
        {"escape gives its character", key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE),
         {{WM_KEYDOWN, 27, keyData(0x01)}, {WM_CHAR, 27, keyData(0x01)}}},
        {"backspace repeats its character",
         key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, 1),
         {{WM_KEYDOWN, 8, keyData(0x0E) | KEYDATA_REPEAT},
          {WM_CHAR, 8, keyData(0x0E) | KEYDATA_REPEAT}}},
        {"tab gives its character", key(SDL_KEYDOWN, SDL_SCANCODE_TAB, SDLK_TAB),
         {{WM_KEYDOWN, 9, keyData(0x0F)}, {WM_CHAR, 9, keyData(0x0F)}}},
        {"enter up gives no character", key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN),
         {{WM_KEYUP, 13, keyData(0x1C) | kUp}}},
        {"alt alone", key(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT),
         {{WM_SYSKEYDOWN, 18, keyData(0x38) | KEYDATA_ALT}}},
        {"alt+enter is a system key without character",
         key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT),
         {{WM_SYSKEYDOWN, 13, keyData(0x1C) | KEYDATA_ALT}}},
        {"alt+F4 up", key(SDL_KEYUP, SDL_SCANCODE_F4, SDLK_F4, KMOD_RALT),
         {{WM_SYSKEYUP, 115, keyData(0x3E) | KEYDATA_ALT | kUp}}},
        {"key without a code", key(SDL_KEYDOWN, SDL_SCANCODE_AUDIONEXT, SDLK_AUDIONEXT), {}},
        {"ascii text", text("ok"), {{WM_CHAR, 'o', 1}, {WM_CHAR, 'k', 1}}},
        {"text beyond ascii, with a character outside the basic plane",
         text("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
         {{WM_CHAR, 0xE9, 1}, {WM_CHAR, 0x20AC, 1}, {WM_CHAR, 0xD83D, 1}, {WM_CHAR, 0xDE00, 1}}},
        {"malformed text", text("\xC3(\xFF"),
         {{WM_CHAR, 0xFFFD, 1}, {WM_CHAR, '(', 1}, {WM_CHAR, 0xFFFD, 1}}},
        {"focus gained", window(SDL_WINDOWEVENT_FOCUS_GAINED), {{WM_ACTIVATEAPP, 1, 0}}},
        {"focus lost", window(SDL_WINDOWEVENT_FOCUS_LOST), {{WM_ACTIVATEAPP, 0, 0}}},
        {"minimised", window(SDL_WINDOWEVENT_MINIMIZED), {{WM_SIZE, SIZE_MINIMIZED, 0}}},
        {"restored", window(SDL_WINDOWEVENT_RESTORED),
         {{WM_SIZE, SIZE_RESTORED, packed(640, 480)}}},
        {"exposed", window(SDL_WINDOWEVENT_EXPOSED), {}},
        {"close", window(SDL_WINDOWEVENT_CLOSE), {{WM_CLOSE, 0, 0}}},
        {"quit", plain(SDL_QUIT), {{WM_QUIT, 0, 0}}},
        {"restore request", plain(kRestoreEvent), {{WM_INSTANCE_RESTORE, 0, 0}}},
        {"joystick motion", plain(SDL_JOYAXISMOTION), {}},
    };
    for (const Case& c : cases) {
        TranslateState state = freshState();
        EXPECT_EQ(translate(c.event, state), c.expected) << c.name;
    }
}

TEST(SdlTranslate, StateCarriesButtonsModifiersPositionAndSize) {
    TranslateState state = freshState();
    translate(key(SDL_KEYDOWN, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL), state);
    translate(motion(0, 30, 40), state);
    std::vector<PlatMessage> expected = {{WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, packed(30, 40)}};
    EXPECT_EQ(translate(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 30, 40), state), expected);
    expected = {{WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, packed(31, 40)}};
    EXPECT_EQ(translate(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 31, 40), state), expected);
    expected = {{WM_MOUSEWHEEL, uintptr_t(uint16_t(-120)) << 16 | MK_LBUTTON | MK_RBUTTON | MK_CONTROL,
                 packed(31, 40)}};
    EXPECT_EQ(translate(wheel(-1), state), expected);
    translate(key(SDL_KEYUP, SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0), state);
    expected = {{WM_LBUTTONUP, MK_RBUTTON, packed(31, 40)}};
    EXPECT_EQ(translate(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 31, 40), state), expected);

    EXPECT_TRUE(translate(window(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768), state).empty());
    expected = {{WM_SIZE, SIZE_RESTORED, packed(1024, 768)}};
    EXPECT_EQ(translate(window(SDL_WINDOWEVENT_RESTORED), state), expected);
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
