// The counting result line.
#include "screens/counting_number.h"

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
