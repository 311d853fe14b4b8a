// The fireworks show: two rising trails that burst where they arrive and three small bursts, on a
// timetable of the big and small delays, with their sounds.
#include <cstdio>

#include "anim/fx_effects.h"
#include "core/random.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/snd/snd.h"

namespace {

void playEffectSound(const char* name) { sndPlay(name, SND_GROUP_SOUND); }

}  // namespace

FireworksShow::FireworksShow() : playSound_(playEffectSound) {
    for (Vec2& b : balls_) b.Set(0, 0);
}

void FireworksShow::Load(const char* ini) {
    redTrail_.LoadPath(ini, "fireworksTailRed");
    greenTrail_.LoadPath(ini, "fireworksTailGreen");
    redBurst_.Load(ini, "fireworksRed");
    greenBurst_.Load(ini, "fireworksGreen");
    small_[0].Load(ini, "smallFireworksMagenta");
    small_[1].Load(ini, "smallFireworksGold");
    small_[2].Load(ini, "smallFireworksRed");
    smallDelay_ = iniGetFloat(ini, "fireworks", "smallDelay", 0);
    bigDelay_ = iniGetFloat(ini, "fireworks", "bigDelay", 0);
    randomRadius_ = iniGetFloat(ini, "fireworks", "randR", 0);
    for (int i = 0; i < 5; ++i) {
        char key[16];
        snprintf(key, sizeof key, "ballPos%d", i);
        Point2i p(0, 0);
        iniReadIntPair(&p, ini, "fireworks", key);
        balls_[i] = IntPointToVec2(p);
    }
    clock_ = kIdle;
    clearLaunches();
}

Vec2 FireworksShow::ballPoint(int i) {
    if (i < 0 || i >= 5) return Vec2(0, 0);
    const float r = randomRadius_;
    const float y = static_cast<float>(gRandom.Real(r)) + balls_[i].y - r / 2;
    const float x = static_cast<float>(gRandom.Real(r)) + balls_[i].x - r / 2;
    return Vec2(x, y);
}

void FireworksShow::clearLaunches() {
    redTrailLaunched_ = greenTrailLaunched_ = false;
    redBurstLaunched_ = greenBurstLaunched_ = false;
    for (bool& s : smallLaunched_) s = false;
}

void FireworksShow::Start() {
    if (clock_ > kShowLength) clearLaunches();
    clock_ = 0;
}

void FireworksShow::Reset() {
    clock_ = kIdle;
    clearLaunches();
    redTrail_.Stop(true);
    redBurst_.Stop(true);
    greenTrail_.Stop(true);
    greenBurst_.Stop(true);
    for (int i = 0; i < 3; ++i) {
        small_[i].Stop(true);
        const Vec2 p = ballPoint(i);
        small_[i].SetPosition(p.x, p.y);
    }
    const Vec2 green = ballPoint(3);
    greenBurst_.SetPosition(green.x, green.y);
    greenTrail_.SetPathPoint(1, green);
    const Vec2 red = ballPoint(4);
    redBurst_.SetPosition(red.x, red.y);
    redTrail_.SetPathPoint(1, red);
}

// Starts an effect where it stands, once per show, while none of its particles are left.
void FireworksShow::launch(SimpleEffect& effect, bool& launched, const char* sound) {
    if (launched || effect.LiveCount() != 0) return;
    effect.Start(0, -1000);
    playSound_(sound);
    launched = true;
}

void FireworksShow::Update(float dt) {
    if (clock_ > kShowLength) return;
    clock_ += dt;
    const float t = clock_;
    if (t < bigDelay_)
        launch(redTrail_, redTrailLaunched_, "salute_start");
    else if (t < 2 * bigDelay_)
        launch(greenTrail_, greenTrailLaunched_, "salute_start");

    for (int i = 0; i < 3; ++i) {
        if (i * smallDelay_ + bigDelay_ < t && t < (i + 1) * smallDelay_ + bigDelay_)
            launch(small_[i], smallLaunched_[i], "salute_explosion");
        small_[i].Update(dt);
    }

    if (redTrail_.Update(dt))
        launch(redBurst_, redBurstLaunched_, "salute_explosion");
    else
        redBurst_.Update(dt);
    if (greenTrail_.Update(dt))
        launch(greenBurst_, greenBurstLaunched_, "salute_explosion");
    else
        greenBurst_.Update(dt);
}

void FireworksShow::Draw() {
    greenBurst_.Draw();
    greenTrail_.Draw();
    redTrail_.Draw();
    redBurst_.Draw();
    for (SimpleEffect& s : small_) s.Draw();
}
