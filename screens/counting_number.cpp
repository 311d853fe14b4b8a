// The counting result line.
#include "screens/counting_number.h"

#include <cmath>

#include "engine/snd/snd.h"

void CountingNumber::Init(UIWnd* captionWidget, UIWnd* amountWidget, PulseSprite* pulseSprite) {
    caption = dynamic_cast<UITextStatic*>(captionWidget);
    amount = dynamic_cast<UITextStatic*>(amountWidget);
    pulse = pulseSprite;
    soundCountdown = 0;
}

void CountingNumber::showAmount(float value) {
    if (amount) amount->SetTextF("%d", static_cast<int>(value));
}

void CountingNumber::Reset() {
    showAmount(0);
    reserved = 0;
    shown = 0;
    soundCountdown = 0;
}

bool CountingNumber::Update(int ms) {
    if (!(shown < target) && !(pulse && pulse->IsRunning())) return true;
    if (--soundCountdown <= 0) {
        sndPlay("aftergame_menu_points_add", SND_GROUP_SOUND);
        soundCountdown = 5;
    }
    const float next = shown + ms / 1000.0f * target;
    shown = next < target ? next : target;
    showAmount(shown);
    if (pulse) {
        if (!pulse->IsRunning()) pulse->Start();
        pulse->Update(ms / 1000.0f);
    }
    return false;
}

void CountingNumber::Finish() {
    shown = target;
    showAmount(target);
}

void CountingNumber::Draw(uint32_t colour) {
    if (pulse) pulse->Draw(colour);
}

int SlideIn::Step(int clockMs, bool* finished) {
    const double t = clockMs / 1000.0;
    const int target = static_cast<int>(50.0 - 850.0 * std::pow(t - 1.0, 4.0));
    int move = target - offset_;
    offset_ = target;
    *finished = clockMs > 1000 && offset_ <= 0;
    if (*finished) {
        // The last step lands a few pixels past the layout: the children settle on it.
        move -= offset_;
        offset_ = 0;
    }
    return move;
}
