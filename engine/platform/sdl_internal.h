// Private: the pure translation of SDL events into window messages, and the layer's shared state.
#pragma once

#include <SDL2/SDL.h>

#include "engine/platform/platform.h"

// What the translation remembers between events: the mouse buttons and modifier keys held, the
// last pointer position and the client size.
struct TranslateState {
    uintptr_t buttons = 0;   // MK_LBUTTON, MK_RBUTTON, MK_MBUTTON
    uintptr_t modifiers = 0; // MK_SHIFT, MK_CONTROL as of the last key event
    int mouseX = 0, mouseY = 0;
    int width = 0, height = 0;
    uint32_t restoreEvent = 0; // SDL event type of restore requests; 0 when none is registered
};

// The most messages one event can give: a text-input event of 31 single-byte characters.
constexpr int kMaxMessagesPerEvent = 32;

// Turns one SDL event into zero or more messages (at most max, in order) and updates the state.
// Returns the number written.
int translateEvent(const SDL_Event& event, TranslateState& state, PlatMessage* out, int max);

// The virtual-key code, scan code and extended flag of a key; vk is 0 for keys without one.
struct KeyCodes {
    int vk;
    int scan;
    bool extended;
};
KeyCodes keyCodes(const SDL_Keysym& key);

// Whether platInit could start SDL's joystick support.
bool platJoystickStarted();

// The texture a present uploads its RGB565 back buffer into (sdl_present.cpp): glUpload tells
// whether the pixels go to OpenGL as they are. Null (SDL's error set) when none can be made.
SDL_Texture* presentCreateTexture(SDL_Renderer* renderer, int width, int height, bool* glUpload);
// Uploads width x height pixels into that texture. A refused OpenGL upload is logged, clears
// glUpload and makes the texture anew for SDL to convert into (null when that fails).
bool presentUpload(SDL_Renderer* renderer, SDL_Texture** texture, bool* glUpload,
                   const uint16_t* pixels, int width, int height, int pitchBytes);
