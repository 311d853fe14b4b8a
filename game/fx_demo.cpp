// The effects part of the stand-in screen.
#include "game/fx_demo.h"

#include "anim/caption.h"
#include "anim/flying.h"
#include "anim/fx.h"
#include "anim/fx_effects.h"
#include "core/strings.h"

namespace {

constexpr int kKeyFireworks = 'F';
constexpr int kKeyCaption = 'C';
constexpr int kKeyPulse = 'P';
constexpr int kKeyGain = '1';
constexpr int kKeyBust = '3';
constexpr int kKindTranslated = 4;
// Where the coins fly to: the cash counter's place on the level screen.
constexpr float kCashX = 900, kCashY = 60;

}  // namespace

class FxDemo {
public:
    FxDemo() {
        font_ = grLoadFont("Data/Fonts/normal.tga", nullptr);
        large_ = grLoadFont("Data/Fonts/large.tga", nullptr);
        coin_ = grLoadSprite("Data/Fx/tip_money.tga", nullptr, 0);
        effects_.Load(kFxIni);
        effects_.Show().Reset();
        tips_.Load(kFxIni);
        pulse_.Load(kFxIni, "DemoSign");
        sparkle_.Load("hero_skill");
    }
    ~FxDemo() {
        grFreeFont(font_);
        grFreeFont(large_);
        grFreeSprite(coin_);
    }

    void Update(int ms) {
        effects_.Update(ms / 1000.0f);
        tips_.Update(ms);
        texts_.Update(ms);
        caption_.Update(ms);
        pulse_.Update(ms / 1000.0f);
        if (!sparkle_.IsAlive()) sparkle_.StartAt(mouse_);
        sparkle_.SetPosition(mouse_);
        sparkle_.Update(ms);
    }

    void Draw() {
        pulse_.Draw(0xFFFFFFFFu);
        effects_.Draw();
        sparkle_.Draw();
        tips_.Draw();
        texts_.Draw();
        caption_.Draw();
    }

    bool Key(int key) {
        if (key == kKeyFireworks) {
            effects_.Stop();
            effects_.Show().Start();
        } else if (key >= kKeyGain && key <= kKeyBust) {
            const int kind = key - kKeyGain;
            const float x = 120.0f + 260.0f * kind, y = 560;
            tips_.Launch(x, y, kCashX, kCashY, kind);
            const bool loss = kind == FlyingTips::kLoss;
            const ColorRGBA colour =
                loss ? ColorRGBA(255, 90, 80, 255) : ColorRGBA(255, 220, 90, 255);
            texts_.Add(new CFlyUpMoney(font_, loss ? u"-$15" : u"+$25", coin_, x, y - 30, colour));
        } else if (key == kKeyCaption) {
            const bool first = caption_.IsIdle();
            caption_.SetText(large_, first ? "#GAME_LEVEL_UP" : "#GAME_THANK_YOU", kKindTranslated);
            caption_.Start();
        } else if (key == kKeyPulse) {
            pulse_.Start();
        } else {
            return false;
        }
        return true;
    }

    void Mouse(intptr_t position) {
        mouse_.Set(static_cast<float>(static_cast<int16_t>(position & 0xFFFF)),
                   static_cast<float>(static_cast<int16_t>((position >> 16) & 0xFFFF)));
    }

private:
    CGraphFont* font_ = nullptr;
    CGraphFont* large_ = nullptr;
    HSPRITE coin_ = nullptr;
    FxManager effects_;
    FlyingTips tips_;
    CFlyingThingList texts_;
    cBounceCaption caption_;
    PulseSprite pulse_;
    FxEmitter sparkle_;
    Vec2 mouse_{512, 384};
};

FxDemo* fxDemoCreate() { return new FxDemo; }
void fxDemoDestroy(FxDemo* demo) { delete demo; }
void fxDemoUpdate(FxDemo* demo, int milliseconds) { demo->Update(milliseconds); }
void fxDemoDraw(FxDemo* demo) { demo->Draw(); }
bool fxDemoKey(FxDemo* demo, int key) { return demo->Key(key); }
void fxDemoMouse(FxDemo* demo, intptr_t position) { demo->Mouse(position); }

const char* fxDemoHelp() {
    return "F fireworks, 1-3 flying coins, C caption, P pulse; the mouse leaves sparkles.";
}
