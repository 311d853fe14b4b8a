// The typed-character buffer, the joystick poll that turns sticks and buttons into key
// messages, and the key-binding table.
#include "engine/platform/input.h"

#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/platform/input_internal.h"
#include "engine/platform/platform.h"

namespace {

// --- Typed characters ---

constexpr int kTypedLength = 31;
// The last byte stays 0, so the tail of the buffer is always a terminated text.
char gTyped[kTypedLength + 1];

// --- Joystick ---

// The dead zone around the middle of each axis, in position units, on both sides. Not on the
// positive side only: a stick at rest reads a unit or two off its middle, and below the middle
// that would hold Left or Up down (and flick it on and off as the reading jitters) while nobody
// touches the stick. Each axis is judged against the middle of its own range.
constexpr int64_t kDeadZone = 32;
constexpr intptr_t kPressData = 15;

struct Joystick {
    int id = -1;
    PlatJoyCaps caps{};
    PlatJoyPos last{};
    InputSink sink = nullptr;
};

Joystick gJoy;

int64_t axisCentre(uint32_t min, uint32_t max) {
    return static_cast<int64_t>(min) + (static_cast<int64_t>(max) - static_cast<int64_t>(min)) / 2;
}

// -1 towards the minimum, 1 towards the maximum, 0 in the dead zone.
int axisSide(uint32_t position, uint32_t min, uint32_t max) {
    int64_t v = static_cast<int64_t>(position) - axisCentre(min, max);
    if (v <= -kDeadZone) return -1;
    if (v >= kDeadZone) return 1;
    return 0;
}

void sendAxis(int before, int now, int negativeCode, int positiveCode, InputSink sink) {
    if (before == now) return;
    if (before == 1) sink(WM_KEYUP, positiveCode, 0);
    if (before == -1) sink(WM_KEYUP, negativeCode, 0);
    if (now == -1) sink(WM_KEYDOWN, negativeCode, kPressData);
    if (now == 1) sink(WM_KEYDOWN, positiveCode, kPressData);
}

// --- Key bindings ---

KeyBinding* gBindings = nullptr;
int gBindingCount = 0;
int gBindingCapacity = 0;

KeyBinding* findCode(int code) {
    if (code == 0) return nullptr;
    for (int i = 0; i < gBindingCount; i++) {
        if (gBindings[i].key1 == code || gBindings[i].key2 == code) return &gBindings[i];
    }
    return nullptr;
}

KeyBinding* findName(const char* name) {
    for (int i = 0; i < gBindingCount; i++) {
        if (strCmpNoCase(gBindings[i].name, name) == 0) return &gBindings[i];
    }
    return nullptr;
}

// Section lists of the binding files are read into this many bytes.
constexpr int kSectionListBytes = 32768;

KeyBinding* append() {
    if (gBindingCount == gBindingCapacity) {
        int capacity = gBindingCapacity ? gBindingCapacity * 2 : 8;
        void* grown = realloc(gBindings, sizeof(KeyBinding) * capacity);
        if (!grown) return nullptr;
        gBindings = static_cast<KeyBinding*>(grown);
        gBindingCapacity = capacity;
    }
    return &gBindings[gBindingCount++];
}

}  // namespace

void typedPush(unsigned int character) {
    memmove(gTyped, gTyped + 1, kTypedLength - 1);
    gTyped[kTypedLength - 1] = static_cast<char>(character & 0xFF);
}

int typedEndsWith(const char* word) {
    if (!word) return 0;
    size_t n = strlen(word);
    if (n == 0 || n > kTypedLength) return 0;
    return strCmpNoCase(gTyped + kTypedLength - n, word) == 0 ? 1 : 0;
}

void joySendChanges(const PlatJoyCaps& caps, const PlatJoyPos& previous, const PlatJoyPos& current,
                    InputSink sink) {
    static const struct { uint32_t bit; int code; } kButtons[] = {
        {1, JOY_BUTTON1}, {2, JOY_BUTTON2}, {4, JOY_BUTTON3}, {8, JOY_BUTTON4}};
    for (const auto& b : kButtons) {
        bool now = (current.buttons & b.bit) != 0;
        bool before = (previous.buttons & b.bit) != 0;
        if (now && !before) sink(WM_KEYDOWN, b.code, kPressData);
        if (!now && before) sink(WM_KEYUP, b.code, kPressData);
    }
    sendAxis(axisSide(previous.x, caps.xMin, caps.xMax), axisSide(current.x, caps.xMin, caps.xMax),
             JOY_LEFT, JOY_RIGHT, sink);
    sendAxis(axisSide(previous.y, caps.yMin, caps.yMax), axisSide(current.y, caps.yMin, caps.yMax),
             JOY_UP, JOY_DOWN, sink);
}

int joyInit(InputSink sink) {
    gJoy.sink = sink;
    if (platJoyCount() == 0) return 0;
    for (int id = 0; id < 2; id++) {
        PlatJoyPos pos;
        PlatJoyCaps caps;
        if (!platJoyGetPos(id, &pos) || !platJoyGetCaps(id, &caps)) continue;
        gJoy.id = id;
        gJoy.caps = caps;
        // The first poll compares with a stick at rest: one that rests sends nothing (a start
        // from position 0 would release Left and Up, which were never pressed) and one already
        // pushed or held is pressed.
        gJoy.last = PlatJoyPos{static_cast<uint32_t>(axisCentre(caps.xMin, caps.xMax)),
                               static_cast<uint32_t>(axisCentre(caps.yMin, caps.yMax)),
                               static_cast<uint32_t>(axisCentre(caps.zMin, caps.zMax)), 0};
        return 1;
    }
    return 0;
}

void joyPoll() {
    if (gJoy.id < 0 || !gJoy.sink) return;
    PlatJoyPos now;
    if (!platJoyGetPos(gJoy.id, &now)) return;
    joySendChanges(gJoy.caps, gJoy.last, now, gJoy.sink);
    gJoy.last = now;
}

void joyDone() {
    gJoy = Joystick{};
    platJoyClose();
}

int keysCode(uint32_t virtualKey, intptr_t lParam) {
    switch (virtualKey) {
    case 1: return KEYS_MOUSE_LEFT;
    case 2: return KEYS_MOUSE_RIGHT;
    case 4: return KEYS_MOUSE_MIDDLE;
    case JOY_BUTTON1: return KEYS_JOY_BUTTON1;
    case JOY_BUTTON2: return KEYS_JOY_BUTTON1 + 1;
    case JOY_BUTTON3: return KEYS_JOY_BUTTON1 + 2;
    case JOY_BUTTON4: return KEYS_JOY_BUTTON1 + 3;
    case JOY_LEFT: return KEYS_JOY_LEFT;
    case JOY_RIGHT: return KEYS_JOY_RIGHT;
    case JOY_UP: return KEYS_JOY_UP;
    case JOY_DOWN: return KEYS_JOY_DOWN;
    case 19: return KEYS_PAUSE;
    default: return static_cast<int>((lParam >> 16) & 0xFF);
    }
}

int keysBind(const char* action, uint32_t virtualKey, intptr_t lParam) {
    int code = keysCode(virtualKey, lParam);
    if (!action || !*action || code == 0) return 0;
    char name[sizeof(KeyBinding::name)];
    StrCopyN(name, action, sizeof name);
    if (KeyBinding* holder = findCode(code)) {
        if (strCmpNoCase(holder->name, name) == 0) return 0;
        if (holder->key1 == code) holder->key1 = 0;
        else holder->key2 = 0;
    }
    if (KeyBinding* own = findName(name)) {
        own->key2 = own->key1;
        own->key1 = static_cast<int16_t>(code);
        return 0;
    }
    KeyBinding* added = append();
    if (!added) return 0;
    memcpy(added->name, name, sizeof name);
    added->key1 = static_cast<int16_t>(code);
    added->key2 = 0;
    return 0;
}

KeyBinding* keysFind(uint32_t virtualKey, intptr_t lParam) {
    return findCode(keysCode(virtualKey, lParam));
}

void keysClear() {
    free(gBindings);
    gBindings = nullptr;
    gBindingCount = gBindingCapacity = 0;
}

void keysLoad(const char* file) {
    gBindingCount = 0;
    char* sections = static_cast<char*>(malloc(kSectionListBytes));
    if (!sections) return;
    iniGetSections(file, sections, kSectionListBytes);
    for (const char* name = sections; *name; name += strlen(name) + 1) {
        int key1 = iniGetInt(file, name, "key1", 0);
        int key2 = iniGetInt(file, name, "key2", 0);
        if (key1 == 0 && key2 == 0) continue;
        KeyBinding* added = append();
        if (!added) break;
        StrCopyN(added->name, name, sizeof added->name);
        added->key1 = static_cast<int16_t>(key1);
        added->key2 = static_cast<int16_t>(key2);
    }
    free(sections);
}

void keysSave(const char* file) {
    for (int i = 0; i < gBindingCount; i++) {
        iniWriteInt(file, gBindings[i].name, "key1", gBindings[i].key1);
        iniWriteInt(file, gBindings[i].name, "key2", gBindings[i].key2);
    }
}

int keysNames(const char* namesFile, const char* action, char* text1, char* text2, int size) {
    const KeyBinding* found = action ? findName(action) : nullptr;
    if (!found) return 1;
    char code[16];
    formatString(code, sizeof code, "%d", found->key1);
    if (text1) StrCopyN(text1, iniGetString(namesFile, "key", code, ""), size);
    if (found->key2 != 0 && text2) {
        formatString(code, sizeof code, "%d", found->key2);
        StrCopyN(text2, iniGetString(namesFile, "key", code, ""), size);
    }
    return 0;
}
