// Joysticks read through SDL and reported as positions in 0..65535 per axis with button bits.
#include <SDL2/SDL.h>

#include "engine/platform/platform.h"
#include "engine/platform/sdl_internal.h"

namespace {

constexpr int kMaxJoysticks = 16;
constexpr uint32_t kAxisMax = 65535;
constexpr uint32_t kAxisCentre = kAxisMax / 2;

SDL_Joystick* gJoysticks[kMaxJoysticks];

SDL_Joystick* joystick(int id) {
    if (!platJoystickStarted() || id < 0 || id >= kMaxJoysticks) return nullptr;
    SDL_Joystick*& open = gJoysticks[id];
    if (open && !SDL_JoystickGetAttached(open)) {
        SDL_JoystickClose(open);
        open = nullptr;
    }
    if (!open && id < SDL_NumJoysticks()) open = SDL_JoystickOpen(id);
    return open;
}

uint32_t axis(SDL_Joystick* joy, int index) {
    if (index >= SDL_JoystickNumAxes(joy)) return kAxisCentre;
    return static_cast<uint32_t>(SDL_JoystickGetAxis(joy, index) + 32768);
}

}  // namespace

int platJoyCount() {
    if (!platJoystickStarted()) return 0;
    int n = SDL_NumJoysticks();
    return n > 0 ? n : 0;
}

bool platJoyGetCaps(int id, PlatJoyCaps* caps) {
    SDL_Joystick* joy = joystick(id);
    if (!joy || !caps) return false;
    *caps = PlatJoyCaps{0, kAxisMax, 0, kAxisMax, 0, kAxisMax, SDL_JoystickNumButtons(joy)};
    return true;
}

bool platJoyGetPos(int id, PlatJoyPos* pos) {
    if (!platJoystickStarted() || !pos) return false;
    SDL_JoystickUpdate();
    SDL_Joystick* joy = joystick(id);
    if (!joy) return false;
    pos->x = axis(joy, 0);
    pos->y = axis(joy, 1);
    pos->z = axis(joy, 2);
    pos->buttons = 0;
    int buttons = SDL_JoystickNumButtons(joy);
    for (int i = 0; i < buttons && i < 32; i++) {
        if (SDL_JoystickGetButton(joy, i)) pos->buttons |= 1u << i;
    }
    return true;
}

void platJoyClose() {
    for (SDL_Joystick*& joy : gJoysticks) {
        if (joy) SDL_JoystickClose(joy);
        joy = nullptr;
    }
}
