// Test support for the platform layer: synthetic input events, a virtual joystick and a look at
// the window, so that tests drive the layer without including SDL themselves. Linked by tests only.
#pragma once

#include <cstdint>

#include "engine/platform/platform.h"

// One input event as the layer receives it from the system, held opaquely.
struct PlatTestEvent {
    alignas(8) unsigned char bytes[64];
};

enum PlatTestButton { PLAT_TEST_LEFT, PLAT_TEST_RIGHT, PLAT_TEST_MIDDLE, PLAT_TEST_X1 };

// Modifier keys held with a key event.
constexpr int PLAT_TEST_SHIFT = 1;
constexpr int PLAT_TEST_CTRL = 2;
constexpr int PLAT_TEST_ALT = 4;

enum PlatTestWindowEvent {
    PLAT_TEST_FOCUS_GAINED,
    PLAT_TEST_FOCUS_LOST,
    PLAT_TEST_MINIMIZED,
    PLAT_TEST_RESTORED,
    PLAT_TEST_EXPOSED,
    PLAT_TEST_CLOSE,
    PLAT_TEST_SIZE_CHANGED,
    PLAT_TEST_ENTER,            // the pointer came into the window
    PLAT_TEST_LEAVE,            // the pointer left the window
    PLAT_TEST_DISPLAY_CHANGED,  // the window moved to another display
};

// Positions are in window pixels.
PlatTestEvent platTestButton(bool down, PlatTestButton button, int x, int y, int clicks = 1);
// held: the MK_LBUTTON, MK_RBUTTON and MK_MBUTTON bits of the buttons held during the move.
PlatTestEvent platTestMotion(uintptr_t held, int x, int y);
PlatTestEvent platTestWheel(int notches, bool flipped = false);
// A key by its position's name ("A", "Return", "Left Alt", "Keypad Enter", ...); letter is the
// letter the keyboard layout gives the key ('a' to 'z'), or 0. An unknown name aborts the test.
PlatTestEvent platTestKey(bool down, const char* keyName, char letter = 0, int modifiers = 0,
                          bool repeat = false);
PlatTestEvent platTestText(const char* utf8);
PlatTestEvent platTestWindow(PlatTestWindowEvent kind, int data1 = 0, int data2 = 0);
PlatTestEvent platTestQuit();
// A second start's request to restore the window, as the translation below knows it.
PlatTestEvent platTestRestoreRequest();
// An event the layer has no message for.
PlatTestEvent platTestJoystickMotion();

// The most messages one event can give.
constexpr int kPlatTestMaxMessages = 32;

// Translation with a state of its own: buttons and modifiers held, the pointer, the client size.
// Reset starts afresh with a client of width x height.
void platTestTranslateReset(int width, int height);
int platTestTranslate(const PlatTestEvent& event, PlatMessage* out, int max);

// Queues the event as if the system had sent it to the layer's window. False when it was refused.
bool platTestPush(const PlatTestEvent& event);

// The layer's window as the system sees it.
bool platTestWindowExists();
// The title in UTF-8; empty without a window.
void platTestWindowTitle(char* out, int size);
bool platTestWindowCoversDesktop();

// A virtual joystick with two axes and four buttons; false (see platTestError) when it cannot be
// made. Its axes run from -32768 to 32767; bit n of buttons is button n + 1.
bool platTestJoystickAttach();
void platTestJoystickSet(int x, int y, uint32_t buttons);
void platTestJoystickDetach();

const char* platTestError();

// Ends the process as the X library does when the connection to the display breaks: exit(1)
// from inside the layer, with the window still open and every thread still running.
[[noreturn]] void platTestDisplayLost();
