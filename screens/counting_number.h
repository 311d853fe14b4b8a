// A result line that counts its amount up to a target in one second, with a ticking sound and
// an optional pulsing picture; the result screens show their figures with it.
#pragma once

#include <cstdint>

#include "anim/flying.h"
#include "ui/ui.h"

class CountingNumber {
public:
    // Caption and amount are kept only when they are text widgets. The pulse stays the caller's.
    void Init(UIWnd* caption, UIWnd* amount, PulseSprite* pulse);
    // The amount shows "0" and counting starts again.
    void Reset();
    void SetTarget(float value) { target = value; }
    // True once the amount has reached the target and the pulse has stopped.
    bool Update(int ms);
    // Shows the target at once.
    void Finish();
    void Draw(uint32_t colour);

    UITextStatic* caption = nullptr;
    UITextStatic* amount = nullptr;
    PulseSprite* pulse = nullptr;
    float reserved = 0;
    float shown = 0;
    float target = 0;
    int32_t soundCountdown = 0;

private:
    void showAmount(float value);
};
