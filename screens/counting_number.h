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

// The result screens' entrance: their own children start kSlideDistance pixels up and follow
// y = 50 - 850 (t - 1)^4 down past their places and back up. The slide keeps its offset from the
// layout itself, so every showing ends with the children exactly where the layout puts them,
// whatever the first child's place and however many times the screen has shown.
class SlideIn {
public:
    static constexpr int kSlideDistance = 800;
    // The children have just been moved up by kSlideDistance.
    void Start() { offset_ = -kSlideDistance; }
    // How far the children move down at this clock (ms since the slide began); finished is set
    // once they are back in place (after a second, the moment the curve has come back to them).
    int Step(int clockMs, bool* finished);
    int Offset() const { return offset_; }

private:
    int offset_ = 0;
};
