// Test support for the platform layer, over SDL: builds events, feeds the translation, pushes them
// into the queue, attaches a virtual joystick.
#include "engine/platform/testing.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/platform/sdl_internal.h"

static_assert(sizeof(SDL_Event) <= sizeof(PlatTestEvent::bytes), "an SDL event must fit");
static_assert(kPlatTestMaxMessages == kMaxMessagesPerEvent, "the same bound as the layer");

namespace {

// The user event number the translation below takes for restore requests.
constexpr uint32_t kRestoreEvent = SDL_USEREVENT + 7;

TranslateState gState;
SDL_Joystick* gJoy = nullptr;
int gJoyIndex = -1;

PlatTestEvent wrap(const SDL_Event& e) {
    PlatTestEvent out;
    memset(&out, 0, sizeof out);
    memcpy(out.bytes, &e, sizeof e);
    return out;
}

SDL_Event unwrap(const PlatTestEvent& event) {
    SDL_Event e;
    memcpy(&e, event.bytes, sizeof e);
    return e;
}

SDL_Window* layerWindow() {
    for (uint32_t id = 1; id < 1000; id++) {
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    }
    return nullptr;
}

uint8_t sdlButton(PlatTestButton button) {
    switch (button) {
    case PLAT_TEST_LEFT: return SDL_BUTTON_LEFT;
    case PLAT_TEST_RIGHT: return SDL_BUTTON_RIGHT;
    case PLAT_TEST_MIDDLE: return SDL_BUTTON_MIDDLE;
    case PLAT_TEST_X1: return SDL_BUTTON_X1;
    }
    return 0;
}

}  // namespace

PlatTestEvent platTestButton(bool down, PlatTestButton button, int x, int y, int clicks) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = sdlButton(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = static_cast<uint8_t>(clicks);
    e.button.x = x;
    e.button.y = y;
    return wrap(e);
}

PlatTestEvent platTestMotion(uintptr_t held, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    if (held & MK_LBUTTON) e.motion.state |= SDL_BUTTON_LMASK;
    if (held & MK_RBUTTON) e.motion.state |= SDL_BUTTON_RMASK;
    if (held & MK_MBUTTON) e.motion.state |= SDL_BUTTON_MMASK;
    e.motion.x = x;
    e.motion.y = y;
    return wrap(e);
}

PlatTestEvent platTestWheel(int notches, bool flipped) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = notches;
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    return wrap(e);
}

PlatTestEvent platTestKey(bool down, const char* keyName, char letter, int modifiers, bool repeat) {
    SDL_Scancode scancode = SDL_GetScancodeFromName(keyName);
    if (scancode == SDL_SCANCODE_UNKNOWN) {
        fprintf(stderr, "platTestKey: no key is named \"%s\"\n", keyName);
        abort();
    }
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = letter >= 'a' && letter <= 'z' ? SDLK_a + (letter - 'a')
                                                      : SDL_SCANCODE_TO_KEYCODE(scancode);
    uint16_t mod = 0;
    if (modifiers & PLAT_TEST_SHIFT) mod |= KMOD_LSHIFT;
    if (modifiers & PLAT_TEST_CTRL) mod |= KMOD_LCTRL;
    if (modifiers & PLAT_TEST_ALT) mod |= KMOD_LALT;
    e.key.keysym.mod = mod;
    return wrap(e);
}

PlatTestEvent platTestText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return wrap(e);
}

PlatTestEvent platTestWindow(PlatTestWindowEvent kind, int data1, int data2) {
    static const uint8_t kEvents[] = {
        SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED,
        SDL_WINDOWEVENT_RESTORED,     SDL_WINDOWEVENT_EXPOSED,    SDL_WINDOWEVENT_CLOSE,
        SDL_WINDOWEVENT_SIZE_CHANGED, SDL_WINDOWEVENT_ENTER,      SDL_WINDOWEVENT_LEAVE,
        SDL_WINDOWEVENT_DISPLAY_CHANGED,
    };
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = kEvents[kind];
    e.window.data1 = data1;
    e.window.data2 = data2;
    return wrap(e);
}

PlatTestEvent platTestQuit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    return wrap(e);
}

PlatTestEvent platTestRestoreRequest() {
    SDL_Event e{};
    e.type = kRestoreEvent;
    return wrap(e);
}

PlatTestEvent platTestJoystickMotion() {
    SDL_Event e{};
    e.type = SDL_JOYAXISMOTION;
    return wrap(e);
}

void platTestTranslateReset(int width, int height) {
    gState = TranslateState{};
    gState.width = width;
    gState.height = height;
    gState.restoreEvent = kRestoreEvent;
}

int platTestTranslate(const PlatTestEvent& event, PlatMessage* out, int max) {
    return translateEvent(unwrap(event), gState, out, max);
}

bool platTestPush(const PlatTestEvent& event) {
    SDL_Event e = unwrap(event);
    if (SDL_Window* window = layerWindow()) {
        uint32_t id = SDL_GetWindowID(window);
        switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: e.button.windowID = id; break;
        case SDL_MOUSEMOTION: e.motion.windowID = id; break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: e.key.windowID = id; break;
        case SDL_TEXTINPUT: e.text.windowID = id; break;
        case SDL_WINDOWEVENT: e.window.windowID = id; break;
        default: break;
        }
    }
    return SDL_PushEvent(&e) == 1;
}

bool platTestWindowExists() { return layerWindow() != nullptr; }

void platTestWindowTitle(char* out, int size) {
    if (!out || size < 1) return;
    SDL_Window* window = layerWindow();
    snprintf(out, static_cast<size_t>(size), "%s", window ? SDL_GetWindowTitle(window) : "");
}

bool platTestWindowCoversDesktop() {
    SDL_Window* window = layerWindow();
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                         SDL_WINDOW_FULLSCREEN_DESKTOP;
}

bool platTestJoystickAttach() {
    platTestJoystickDetach();
    gJoyIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
    if (gJoyIndex < 0) return false;
    gJoy = SDL_JoystickOpen(gJoyIndex);
    if (!gJoy) {
        SDL_JoystickDetachVirtual(gJoyIndex);
        gJoyIndex = -1;
        return false;
    }
    return true;
}

void platTestJoystickSet(int x, int y, uint32_t buttons) {
    if (!gJoy) return;
    SDL_JoystickSetVirtualAxis(gJoy, 0, static_cast<Sint16>(x));
    SDL_JoystickSetVirtualAxis(gJoy, 1, static_cast<Sint16>(y));
    for (int b = 0; b < 4; b++) SDL_JoystickSetVirtualButton(gJoy, b, (buttons >> b) & 1);
}

void platTestJoystickDetach() {
    if (gJoy) SDL_JoystickClose(gJoy);
    gJoy = nullptr;
    if (gJoyIndex >= 0) SDL_JoystickDetachVirtual(gJoyIndex);
    gJoyIndex = -1;
}

const char* platTestError() { return SDL_GetError(); }

void platTestDisplayLost() { exit(1); }
