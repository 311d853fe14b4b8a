// Turns SDL events into the window messages the engine's window procedure handles.
#include "engine/platform/platform_internal.h"
#include "engine/platform/sdl_internal.h"

namespace {

// Set-1 keyboard scan codes by key position, as the key messages carry them; the flag marks the
// keys that come with the extended prefix.
struct ScanEntry {
    SDL_Scancode sdl;
    int vk;
    int scan;
    bool extended;
};

const ScanEntry kKeys[] = {
    {SDL_SCANCODE_ESCAPE, 27, 0x01, false},
    {SDL_SCANCODE_1, '1', 0x02, false},
    {SDL_SCANCODE_2, '2', 0x03, false},
    {SDL_SCANCODE_3, '3', 0x04, false},
    {SDL_SCANCODE_4, '4', 0x05, false},
    {SDL_SCANCODE_5, '5', 0x06, false},
    {SDL_SCANCODE_6, '6', 0x07, false},
    {SDL_SCANCODE_7, '7', 0x08, false},
    {SDL_SCANCODE_8, '8', 0x09, false},
    {SDL_SCANCODE_9, '9', 0x0A, false},
    {SDL_SCANCODE_0, '0', 0x0B, false},
    {SDL_SCANCODE_MINUS, 189, 0x0C, false},
    {SDL_SCANCODE_EQUALS, 187, 0x0D, false},
    {SDL_SCANCODE_BACKSPACE, 8, 0x0E, false},
    {SDL_SCANCODE_TAB, 9, 0x0F, false},
    {SDL_SCANCODE_Q, 'Q', 0x10, false},
    {SDL_SCANCODE_W, 'W', 0x11, false},
    {SDL_SCANCODE_E, 'E', 0x12, false},
    {SDL_SCANCODE_R, 'R', 0x13, false},
    {SDL_SCANCODE_T, 'T', 0x14, false},
    {SDL_SCANCODE_Y, 'Y', 0x15, false},
    {SDL_SCANCODE_U, 'U', 0x16, false},
    {SDL_SCANCODE_I, 'I', 0x17, false},
    {SDL_SCANCODE_O, 'O', 0x18, false},
    {SDL_SCANCODE_P, 'P', 0x19, false},
    {SDL_SCANCODE_LEFTBRACKET, 219, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, 221, 0x1B, false},
    {SDL_SCANCODE_RETURN, 13, 0x1C, false},
    {SDL_SCANCODE_LCTRL, 17, 0x1D, false},
    {SDL_SCANCODE_A, 'A', 0x1E, false},
    {SDL_SCANCODE_S, 'S', 0x1F, false},
    {SDL_SCANCODE_D, 'D', 0x20, false},
    {SDL_SCANCODE_F, 'F', 0x21, false},
    {SDL_SCANCODE_G, 'G', 0x22, false},
    {SDL_SCANCODE_H, 'H', 0x23, false},
    {SDL_SCANCODE_J, 'J', 0x24, false},
    {SDL_SCANCODE_K, 'K', 0x25, false},
    {SDL_SCANCODE_L, 'L', 0x26, false},
    {SDL_SCANCODE_SEMICOLON, 186, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, 222, 0x28, false},
    {SDL_SCANCODE_GRAVE, 192, 0x29, false},
    {SDL_SCANCODE_LSHIFT, 16, 0x2A, false},
    {SDL_SCANCODE_BACKSLASH, 220, 0x2B, false},
    {SDL_SCANCODE_NONUSHASH, 220, 0x2B, false},
    {SDL_SCANCODE_Z, 'Z', 0x2C, false},
    {SDL_SCANCODE_X, 'X', 0x2D, false},
    {SDL_SCANCODE_C, 'C', 0x2E, false},
    {SDL_SCANCODE_V, 'V', 0x2F, false},
    {SDL_SCANCODE_B, 'B', 0x30, false},
    {SDL_SCANCODE_N, 'N', 0x31, false},
    {SDL_SCANCODE_M, 'M', 0x32, false},
    {SDL_SCANCODE_COMMA, 188, 0x33, false},
    {SDL_SCANCODE_PERIOD, 190, 0x34, false},
    {SDL_SCANCODE_SLASH, 191, 0x35, false},
    {SDL_SCANCODE_RSHIFT, 16, 0x36, false},
    {SDL_SCANCODE_KP_MULTIPLY, 106, 0x37, false},
    {SDL_SCANCODE_LALT, 18, 0x38, false},
    {SDL_SCANCODE_SPACE, 32, 0x39, false},
    {SDL_SCANCODE_CAPSLOCK, 20, 0x3A, false},
    {SDL_SCANCODE_F1, 112, 0x3B, false},
    {SDL_SCANCODE_F2, 113, 0x3C, false},
    {SDL_SCANCODE_F3, 114, 0x3D, false},
    {SDL_SCANCODE_F4, 115, 0x3E, false},
    {SDL_SCANCODE_F5, 116, 0x3F, false},
    {SDL_SCANCODE_F6, 117, 0x40, false},
    {SDL_SCANCODE_F7, 118, 0x41, false},
    {SDL_SCANCODE_F8, 119, 0x42, false},
    {SDL_SCANCODE_F9, 120, 0x43, false},
    {SDL_SCANCODE_F10, 121, 0x44, false},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144, 0x45, true},
    {SDL_SCANCODE_SCROLLLOCK, 145, 0x46, false},
    {SDL_SCANCODE_KP_7, 103, 0x47, false},
    {SDL_SCANCODE_KP_8, 104, 0x48, false},
    {SDL_SCANCODE_KP_9, 105, 0x49, false},
    {SDL_SCANCODE_KP_MINUS, 109, 0x4A, false},
    {SDL_SCANCODE_KP_4, 100, 0x4B, false},
    {SDL_SCANCODE_KP_5, 101, 0x4C, false},
    {SDL_SCANCODE_KP_6, 102, 0x4D, false},
    {SDL_SCANCODE_KP_PLUS, 107, 0x4E, false},
    {SDL_SCANCODE_KP_1, 97, 0x4F, false},
    {SDL_SCANCODE_KP_2, 98, 0x50, false},
    {SDL_SCANCODE_KP_3, 99, 0x51, false},
    {SDL_SCANCODE_KP_0, 96, 0x52, false},
    {SDL_SCANCODE_KP_PERIOD, 110, 0x53, false},
    {SDL_SCANCODE_NONUSBACKSLASH, 226, 0x56, false},
    {SDL_SCANCODE_F11, 122, 0x57, false},
    {SDL_SCANCODE_F12, 123, 0x58, false},
    {SDL_SCANCODE_F13, 124, 0x64, false},
    {SDL_SCANCODE_F14, 125, 0x65, false},
    {SDL_SCANCODE_F15, 126, 0x66, false},
    {SDL_SCANCODE_F16, 127, 0x67, false},
    {SDL_SCANCODE_F17, 128, 0x68, false},
    {SDL_SCANCODE_F18, 129, 0x69, false},
    {SDL_SCANCODE_F19, 130, 0x6A, false},
    {SDL_SCANCODE_F20, 131, 0x6B, false},
    {SDL_SCANCODE_F21, 132, 0x6C, false},
    {SDL_SCANCODE_F22, 133, 0x6D, false},
    {SDL_SCANCODE_F23, 134, 0x6E, false},
    {SDL_SCANCODE_F24, 135, 0x76, false},
    {SDL_SCANCODE_KP_ENTER, 13, 0x1C, true},
    {SDL_SCANCODE_RCTRL, 17, 0x1D, true},
    {SDL_SCANCODE_KP_DIVIDE, 111, 0x35, true},
    {SDL_SCANCODE_PRINTSCREEN, 44, 0x37, true},
    {SDL_SCANCODE_RALT, 18, 0x38, true},
    {SDL_SCANCODE_PAUSE, 19, 0x45, false},
    {SDL_SCANCODE_HOME, 36, 0x47, true},
    {SDL_SCANCODE_UP, 38, 0x48, true},
    {SDL_SCANCODE_PAGEUP, 33, 0x49, true},
    {SDL_SCANCODE_LEFT, 37, 0x4B, true},
    {SDL_SCANCODE_RIGHT, 39, 0x4D, true},
    {SDL_SCANCODE_END, 35, 0x4F, true},
    {SDL_SCANCODE_DOWN, 40, 0x50, true},
    {SDL_SCANCODE_PAGEDOWN, 34, 0x51, true},
    {SDL_SCANCODE_INSERT, 45, 0x52, true},
    {SDL_SCANCODE_DELETE, 46, 0x53, true},
    {SDL_SCANCODE_LGUI, 91, 0x5B, true},
    {SDL_SCANCODE_RGUI, 92, 0x5C, true},
    {SDL_SCANCODE_APPLICATION, 93, 0x5D, true},
};

intptr_t packPoint(int x, int y) {
    return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(x)) |
                                 static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}

uintptr_t modifierBits(uint16_t mod) {
    uintptr_t bits = 0;
    if (mod & KMOD_SHIFT) bits |= MK_SHIFT;
    if (mod & KMOD_CTRL) bits |= MK_CONTROL;
    return bits;
}

uintptr_t buttonBit(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT: return MK_LBUTTON;
    case SDL_BUTTON_RIGHT: return MK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return MK_MBUTTON;
    default: return 0;
    }
}

uintptr_t buttonsFromMask(uint32_t mask) {
    uintptr_t bits = 0;
    if (mask & SDL_BUTTON_LMASK) bits |= MK_LBUTTON;
    if (mask & SDL_BUTTON_RMASK) bits |= MK_RBUTTON;
    if (mask & SDL_BUTTON_MMASK) bits |= MK_MBUTTON;
    return bits;
}

// Decodes one UTF-8 sequence at *p, advancing past it; malformed input gives U+FFFD and moves
// on by one byte.
uint32_t nextCodePoint(const unsigned char*& p) {
    unsigned char c = *p++;
    if (c < 0x80) return c;
    int extra;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
    else return 0xFFFD;
    const unsigned char* q = p;
    for (int i = 0; i < extra; i++, q++) {
        if ((*q & 0xC0) != 0x80) return 0xFFFD;
        cp = cp << 6 | (*q & 0x3F);
    }
    static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    p = q;
    return cp;
}

int emit(PlatMessage* out, int max, int n, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (n < max) out[n] = PlatMessage{message, wParam, lParam};
    return n < max ? n + 1 : n;
}

int translateKey(const SDL_KeyboardEvent& key, TranslateState& state, PlatMessage* out, int max) {
    bool down = key.type == SDL_KEYDOWN;
    state.modifiers = modifierBits(key.keysym.mod);
    KeyCodes codes = keyCodes(key.keysym);
    if (codes.vk == 0) return 0;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0 || codes.vk == 18;
    intptr_t data = 1 | static_cast<intptr_t>(codes.scan) << 16;
    if (codes.extended) data |= KEYDATA_EXTENDED;
    if (alt) data |= KEYDATA_ALT;
    if (!down) data |= KEYDATA_REPEAT | KEYDATA_RELEASE;
    else if (key.repeat) data |= KEYDATA_REPEAT;
    uint32_t message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    int n = emit(out, max, 0, message, static_cast<uintptr_t>(codes.vk), data);
    // Text input never carries control characters, so the editing keys give theirs here.
    if (down && !alt) {
        switch (codes.vk) {
        case 8: case 9: case 13: case 27:
            n = emit(out, max, n, WM_CHAR, static_cast<uintptr_t>(codes.vk), data);
            break;
        default: break;
        }
    }
    return n;
}

int translateText(const char* text, PlatMessage* out, int max) {
    int n = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + SDL_TEXTINPUTEVENT_TEXT_SIZE;
    while (p < end && *p) {
        uint32_t cp = nextCodePoint(p);
        if (cp < 0x10000) {
            n = emit(out, max, n, WM_CHAR, cp, 1);
        } else {
            cp -= 0x10000;
            n = emit(out, max, n, WM_CHAR, 0xD800 + (cp >> 10), 1);
            n = emit(out, max, n, WM_CHAR, 0xDC00 + (cp & 0x3FF), 1);
        }
    }
    return n;
}

int translateWindow(const SDL_WindowEvent& w, TranslateState& state, PlatMessage* out, int max) {
    switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: return emit(out, max, 0, WM_ACTIVATEAPP, 1, 0);
    case SDL_WINDOWEVENT_FOCUS_LOST: return emit(out, max, 0, WM_ACTIVATEAPP, 0, 0);
    case SDL_WINDOWEVENT_MINIMIZED: return emit(out, max, 0, WM_SIZE, SIZE_MINIMIZED, 0);
    case SDL_WINDOWEVENT_RESTORED:
        return emit(out, max, 0, WM_SIZE, SIZE_RESTORED, packPoint(state.width, state.height));
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        state.width = w.data1;
        state.height = w.data2;
        return 0;
    case SDL_WINDOWEVENT_CLOSE: return emit(out, max, 0, WM_CLOSE, 0, 0);
    // The client area is all of the window that SDL reports the pointer in: entering it is the
    // pointer coming back onto the client, leaving it the pointer going onto the frame or away.
    case SDL_WINDOWEVENT_ENTER: return emit(out, max, 0, WM_NCHITTEST, 0, 0);
    case SDL_WINDOWEVENT_LEAVE: return emit(out, max, 0, WM_NCMOUSEMOVE, 0, 0);
    case SDL_WINDOWEVENT_DISPLAY_CHANGED: return emit(out, max, 0, WM_DISPLAYCHANGE, 0, 0);
    default: return 0;
    }
}

}  // namespace

KeyCodes keyCodes(const SDL_Keysym& key) {
    KeyCodes codes{0, 0, false};
    for (const ScanEntry& e : kKeys) {
        if (e.sdl == key.scancode) {
            codes = KeyCodes{e.vk, e.scan, e.extended};
            break;
        }
    }
    // Letter keys name the letter of the active layout, wherever the key sits.
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) codes.vk = 'A' + (key.sym - SDLK_a);
    return codes;
}

int translateEvent(const SDL_Event& event, TranslateState& state, PlatMessage* out, int max) {
    switch (event.type) {
    case SDL_QUIT: return emit(out, max, 0, WM_QUIT, 0, 0);
    case SDL_WINDOWEVENT: return translateWindow(event.window, state, out, max);
    case SDL_DISPLAYEVENT: return emit(out, max, 0, WM_DISPLAYCHANGE, 0, 0);
    case SDL_KEYDOWN:
    case SDL_KEYUP: return translateKey(event.key, state, out, max);
    case SDL_TEXTINPUT: return translateText(event.text.text, out, max);
    case SDL_MOUSEMOTION:
        state.buttons = buttonsFromMask(event.motion.state);
        state.mouseX = event.motion.x;
        state.mouseY = event.motion.y;
        return emit(out, max, 0, WM_MOUSEMOVE, state.buttons | state.modifiers,
                    packPoint(event.motion.x, event.motion.y));
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const SDL_MouseButtonEvent& b = event.button;
        uintptr_t bit = buttonBit(b.button);
        if (!bit) return 0;
        bool down = b.type == SDL_MOUSEBUTTONDOWN;
        if (down) state.buttons |= bit;
        else state.buttons &= ~bit;
        state.mouseX = b.x;
        state.mouseY = b.y;
        uint32_t base = bit == MK_LBUTTON ? WM_LBUTTONDOWN
                        : bit == MK_RBUTTON ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
        // Every second click of a run counts as a double click, as a third starts a new run.
        uint32_t message = !down ? base + 1 : (b.clicks >= 2 && b.clicks % 2 == 0) ? base + 2 : base;
        return emit(out, max, 0, message, state.buttons | state.modifiers, packPoint(b.x, b.y));
    }
    case SDL_MOUSEWHEEL: {
        int notches = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        if (notches == 0) return 0;
        uintptr_t wParam = static_cast<uintptr_t>(static_cast<uint16_t>(notches * 120)) << 16 |
                           state.buttons | state.modifiers;
        return emit(out, max, 0, WM_MOUSEWHEEL, wParam, packPoint(state.mouseX, state.mouseY));
    }
    default:
        if (state.restoreEvent != 0 && event.type == state.restoreEvent)
            return emit(out, max, 0, WM_INSTANCE_RESTORE, 0, 0);
        return 0;
    }
}

void utf16ToUtf8(const char16_t* source, char* target, size_t size) {
    if (!target || size < 1) return;
    size_t n = 0;
    if (source) {
        for (const char16_t* p = source; *p; p++) {
            uint32_t cp = *p;
            if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
                p++;
            } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                cp = 0xFFFD;
            }
            char buf[4];
            size_t len;
            if (cp < 0x80) { buf[0] = static_cast<char>(cp); len = 1; }
            else if (cp < 0x800) {
                buf[0] = static_cast<char>(0xC0 | cp >> 6);
                buf[1] = static_cast<char>(0x80 | (cp & 0x3F));
                len = 2;
            } else if (cp < 0x10000) {
                buf[0] = static_cast<char>(0xE0 | cp >> 12);
                buf[1] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
                buf[2] = static_cast<char>(0x80 | (cp & 0x3F));
                len = 3;
            } else {
                buf[0] = static_cast<char>(0xF0 | cp >> 18);
                buf[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
                buf[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
                buf[3] = static_cast<char>(0x80 | (cp & 0x3F));
                len = 4;
            }
            if (n + len >= size) break;
            for (size_t i = 0; i < len; i++) target[n++] = buf[i];
        }
    }
    target[n] = 0;
}

bool utf8ToUtf16(const char* source, char16_t* target, size_t size) {
    if (!target || size < 1) return false;
    size_t n = 0;
    bool whole = true;
    if (source) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(source);
        while (*p) {
            uint32_t cp = nextCodePoint(p);
            size_t len = cp < 0x10000 ? 1 : 2;
            if (n + len >= size) {
                whole = false;
                break;
            }
            if (len == 1) {
                target[n++] = static_cast<char16_t>(cp);
            } else {
                cp -= 0x10000;
                target[n++] = static_cast<char16_t>(0xD800 + (cp >> 10));
                target[n++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
            }
        }
    }
    target[n] = 0;
    return whole;
}
