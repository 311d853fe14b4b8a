// The typed-character buffer, the joystick seen as extra keys, and the key-binding table.
#pragma once

#include <cstdint>

// Remembers the low byte of a typed character; the buffer keeps the last 31.
void typedPush(unsigned int character);
// 1 when the last characters typed spell word (A-Z equal to a-z); 0 for a null, empty or longer
// than 31 word. The buffer is not changed.
int typedEndsWith(const char* word);

// 1 while Shift is held, as the layer saw it with its last key event; 0 before any.
int keyShiftHeld();

// Where the joystick sends its key messages: the window procedure, in effect.
typedef void (*InputSink)(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Key codes of the joystick in key-down and key-up messages.
constexpr int JOY_BUTTON1 = 10;
constexpr int JOY_BUTTON2 = 11;
constexpr int JOY_BUTTON3 = 14;
constexpr int JOY_BUTTON4 = 15;
constexpr int JOY_RIGHT = 58;
constexpr int JOY_LEFT = 59;
constexpr int JOY_UP = 60;
constexpr int JOY_DOWN = 61;

// Keeps the sink and takes joystick 0, else 1. Returns 1 when one answered, else 0.
int joyInit(InputSink sink);
// Sends key down and key up for every button and stick direction that changed since the last
// poll (the first poll compares with a centred stick and no buttons). Nothing without a joystick.
void joyPoll();
// Forgets the joystick; joyPoll does nothing until the next joyInit.
void joyDone();

// Input codes of the binding table, beside the keyboard's scan codes.
constexpr int KEYS_MOUSE_LEFT = 129;
constexpr int KEYS_MOUSE_RIGHT = 130;
constexpr int KEYS_MOUSE_MIDDLE = 131;
constexpr int KEYS_JOY_BUTTON1 = 132;  // to 135 for buttons 2 to 4
constexpr int KEYS_JOY_LEFT = 136;
constexpr int KEYS_JOY_RIGHT = 137;
constexpr int KEYS_JOY_UP = 138;
constexpr int KEYS_JOY_DOWN = 139;
constexpr int KEYS_PAUSE = 255;

// One action of the binding table with up to two input codes (0 for none).
struct KeyBinding {
    char name[16];
    int16_t key1;
    int16_t key2;
};

// The input code of a key message: mouse buttons, joystick codes and Pause have codes of their
// own, every other key its scan code (bits 16 to 23 of lParam).
int keysCode(uint32_t virtualKey, intptr_t lParam);
// Binds the input to the action (names compare with A-Z equal to a-z, at most 15 characters
// kept): the code is taken from any other action holding it, becomes the action's key1, and
// the old key1 moves to key2. A new action is appended. An input whose code is 0 is ignored.
// Returns 0.
int keysBind(const char* action, uint32_t virtualKey, intptr_t lParam);
// The first action holding the input's code, or null. Valid until the table changes.
KeyBinding* keysFind(uint32_t virtualKey, intptr_t lParam);
// Empties the table and frees it. The table is a malloc'd block that doubles when full.
void keysClear();
// Empties the table, then adds every section of the INI file whose integers "key1" and "key2"
// (default 0) are not both 0, in file order; names keep their first 15 characters.
void keysLoad(const char* file);
// Writes "key1" and "key2" of every action into the INI file, one section per action.
void keysSave(const char* file);
// The display names of the action's codes: text1 of key1 and, only when key2 is not 0, text2 of
// key2, each the value of the code (as a decimal key) in section "key" of the names file, empty
// when absent, cut to size - 1 bytes. Returns 0, or 1 (texts untouched) when no action has that
// name.
int keysNames(const char* namesFile, const char* action, char* text1, char* text2, int size);
