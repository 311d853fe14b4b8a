// The emitter record: a particle effect from one section of Data/Fx/fx.ini, jittered inside its
// spread box.
#include "anim/fx.h"
#include "core/array.h"
#include "core/random.h"
#include "engine/data/ini.h"

void FxEmitter::Load(const char* section) {
    if (!section) return;
    Release();
    actor_ = new FxActor(iniGetString(kFxIni, section, "actor", ""));
    actor_->SetMaterial(sMaterial(4, 4, 1, 30));
    system_ = new ParticleSystem(iniGetString(kFxIni, section, "system", ""), actor_);
    spread_.x = FloatMax(iniGetFloat(kFxIni, section, "spread_range_x", 0.0f), 0.0f);
    spread_.y = FloatMax(iniGetFloat(kFxIni, section, "spread_range_y", 0.0f), 0.0f);
}

void FxEmitter::Release() {
    deleteAndNull(system_);
    deleteAndNull(actor_);
    quiet_ = false;
}

void FxEmitter::StartAt(const Vec2& p) {
    position_ = p;
    quiet_ = false;
    if (system_) system_->StartAt(p.x, p.y);
}

void FxEmitter::updateSystem(int ms) {
    if (!system_) return;
    const float y =
        static_cast<float>(gRandom.RealHalfOpen(spread_.y)) + position_.y - spread_.y / 2;
    const float x =
        static_cast<float>(gRandom.RealHalfOpen(spread_.x)) + position_.x - spread_.x / 2;
    system_->SetPosition(x, y, false);
    system_->Update(static_cast<float>(ms) / 1000.0f);
    quiet_ = system_->Clock() == ParticleSystem::kStopped && system_->LiveCount() == 0;
}

void FxEmitter::Draw() {
    if (system_) system_->Draw();
}

void FxEmitter::SetActorMaterial(sMaterial material) {
    if (actor_) actor_->SetMaterial(material);
}

