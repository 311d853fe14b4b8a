// Simple, moving and swinging particle effects, and the effect manager.
#include "anim/fx_effects.h"

#include <cmath>
#include <cstdio>

#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"

namespace {

constexpr const char* kParticleSheet = "data/fx/particles.tga";
constexpr int kCell = 32;
constexpr int kPathSize = 256;  // "path" values are cut to 255 characters

}  // namespace

SimpleEffect::SimpleEffect(const SimpleEffect& other) { *this = other; }

SimpleEffect& SimpleEffect::operator=(const SimpleEffect& other) {
    if (&other == this) return *this;
    SimpleEffect::Release();
    if (other.actor_) actor_ = other.actor_->Copy();
    if (other.system_) {
        system_ = new ParticleSystem(*other.system_);
        system_->SetActor(actor_);
    }
    return *this;
}

void SimpleEffect::Load(const char* ini, const char* section) {
    SimpleEffect::Release();
    actor_ = new FxActor(kParticleSheet);
    actor_->SetSourceRect(static_cast<float>(iniGetInt(ini, section, "actorSpriteX", 0)),
                          static_cast<float>(iniGetInt(ini, section, "actorSpriteY", 0)), kCell,
                          kCell);
    actor_->SetCentre(kCell / 2, kCell / 2);
    actor_->SetMaterial(iniGetInt(ini, section, "blendModeAlpha", 0) ? sMaterial(4, 4, 1, 30)
                                                                      : sMaterial(4, 2, 1, 31));
    char path[kPathSize];
    iniReadString(path, kPathSize, ini, section, "path");
    system_ = new ParticleSystem(path, actor_);
    system_->SetPosition(iniGetFloat(ini, section, "x", 0), iniGetFloat(ini, section, "y", 0),
                         false);
}

void SimpleEffect::Release() {
    deleteAndNull(system_);
    deleteAndNull(actor_);
}

bool SimpleEffect::Update(float dt) {
    if (system_) system_->Update(dt);
    return true;
}

void SimpleEffect::Draw() {
    if (system_) system_->Draw();
}

void SimpleEffect::Start(float x, float y) {
    if (!system_) return;
    if (y >= 0)
        system_->StartAt(x, y);
    else
        system_->Start();
}

void SimpleEffect::SetPosition(float x, float y) {
    if (system_) system_->SetPosition(x, y, false);
}

int SimpleEffect::LiveCount() { return system_ ? system_->LiveCount() : 0; }

void SimpleEffect::Stop(bool clear) {
    if (system_) system_->Stop(clear);
}

void MovingEffect::Release() {
    position_.Set(0, 0);
    path_.clear();
    started_ = false;
    SimpleEffect::Release();
}

bool MovingEffect::Update(float dt) {
    SimpleEffect::Update(dt);
    if (!started_ || path_.size() < 2) return false;
    const Vec2f from = path_[0], to = path_[1];
    const Vec2f way = to - from;
    position_ = position_ + way.Scaled(dt);
    // A step that reaches or passes the end arrives, whatever the step length.
    const Vec2f done = position_ - from;
    const float lengthSquared = way.x * way.x + way.y * way.y;
    const bool passed = done.x * way.x + done.y * way.y >= lengthSquared;
    if (passed) position_ = to;
    SimpleEffect::SetPosition(position_.x, position_.y);
    if (passed || Vec2f::Distance(position_, to) < 2) {
        position_ = to;
        Stop(false);
        return true;
    }
    return false;
}

void MovingEffect::Start(float x, float y) {
    if (started_) return;
    SimpleEffect::Start(x, y);
    started_ = true;
}

void MovingEffect::Stop(bool clear) {
    SimpleEffect::Stop(clear);
    if (path_.size() > 0) position_ = path_[0];
    started_ = false;
}

void MovingEffect::LoadPath(const char* ini, const char* section) {
    Load(ini, section);
    position_.Set(0, 0);
    path_.clear();
    started_ = false;
    const int count = iniGetInt(ini, section, "pointsCount", 0);
    for (int i = 0; i < count; ++i) {
        char x[16], y[16];
        snprintf(x, sizeof x, "x%u", static_cast<unsigned>(i));
        snprintf(y, sizeof y, "y%u", static_cast<unsigned>(i));
        path_.push_back(Vec2f(iniGetFloat(ini, section, x, 0), iniGetFloat(ini, section, y, 0)));
    }
    if (path_.size() > 0) position_ = path_[0];
}

void MovingEffect::SetPathPoint(uint32_t i, const Vec2f& p) {
    if (i < path_.size()) path_[i] = p;
}

void DecreaseSinEffect::Start(float x, float y) {
    if (started_) return;
    MovingEffect::Start(x, y);
    travelled_ = 0;
    offset_ = 0;
    length_ = 0;
    angle_ = 0;
    if (path_.size() < 2) return;
    length_ = Vec2f::Distance(path_[0], path_[1]);
    Vec2f u = path_[1] - path_[0];
    u.Normalize();
    // The direction with its sign: a trail whose end lies lower must not fly to the mirror point.
    angle_ = std::atan2(u.y, u.x);
}

bool DecreaseSinEffect::Update(float dt) {
    SimpleEffect::Update(dt);
    if (!started_ || path_.size() < 2) return false;
    if (travelled_ == length_) {
        Stop(false);
        return true;
    }
    travelled_ += length_ * dt;
    const float amplitude = (1 - travelled_ / length_) * 50;
    const float phase = travelled_ * 8 / length_ * 3.141592f;
    offset_ = std::cos(phase) * amplitude;
    if (length_ * dt >= length_ - travelled_) travelled_ = length_;
    const float c = std::cos(angle_), s = std::sin(angle_);
    SimpleEffect::SetPosition(path_[0].x + c * travelled_ - s * offset_,
                              path_[0].y + s * travelled_ + c * offset_);
    return false;
}

void FxManager::Load(const char* ini) {
    fastWalk_.Load(ini, "fastWalk");
    vacuumCleaner_.Load(ini, "vacuumCleaner");
    show_.Load(ini);
}

void FxManager::Update(float dt) {
    fastWalk_.Update(dt);
    show_.Update(dt);
}

void FxManager::Draw() { show_.Draw(); }

void FxManager::Stop() {
    fastWalk_.Stop(true);
    vacuumCleaner_.Stop(true);
    show_.Reset();
}
