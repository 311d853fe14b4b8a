// The particle system: the 128-byte definition file, emission with a carried fraction, motion
// under radial, tangential and gravity acceleration, and drawing with the system's actor.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "anim/fx.h"
#include "anim/fx_internal.h"
#include "core/random.h"
#include "engine/data/file.h"
#include "engine/platform/log.h"

namespace {

constexpr float kQuarterTurn = 1.5707963705062866f;

float R(float x) { return static_cast<float>(gParticleRandom.Real(x)); }

uint32_t wordAt(const unsigned char* data, int index) {
    const unsigned char* p = data + index * 4;
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

const char* particleParamsParse(const unsigned char* data, size_t size, ParticleParams* out) {
    std::memset(out, 0, sizeof *out);
    if (!data || size != kParticleFileSize) return "not 128 bytes long";
    float f[32];
    for (int i = 0; i < 32; ++i) {
        const uint32_t w = wordAt(data, i);
        std::memcpy(&f[i], &w, 4);
    }
    // Words 0 (the actor slot), 1 (an integer) and 7 (the follow byte and padding) hold no float.
    for (int i = 2; i < 32; ++i)
        if (i != 7 && !std::isfinite(f[i])) return "holds a number that is not finite";
    ParticleParams p;
    p.rate = static_cast<int32_t>(wordAt(data, 1));
    p.duration = f[2];
    p.lifeMin = f[3];
    p.lifeMax = f[4];
    p.direction = f[5];
    p.spread = f[6];
    p.follow = data[28];
    p.speedMin = f[8];
    p.speedMax = f[9];
    p.gravityMin = f[10];
    p.gravityMax = f[11];
    p.radialMin = f[12];
    p.radialMax = f[13];
    p.tangentialMin = f[14];
    p.tangentialMax = f[15];
    p.sizeStart = f[16];
    p.sizeEnd = f[17];
    p.sizeVariance = f[18];
    p.spinStart = f[19];
    p.spinEnd = f[20];
    p.spinVariance = f[21];
    for (int c = 0; c < 4; ++c) {
        p.startColour[c] = f[22 + c];
        p.endColour[c] = f[26 + c];
    }
    p.colourVariance = f[30];
    p.alphaVariance = f[31];
    *out = p;
    return nullptr;
}

ParticleSystem::ParticleSystem(const char* path, FxActor* actor) {
    unsigned char* block = nullptr;
    const int size = fileLoad(path, &block);
    const char* fault = size > 0 ? particleParamsParse(block, static_cast<size_t>(size), &params_)
                        : fileExists(path)  ? "not 128 bytes long"
                                            : "not found";
    if (size <= 0) std::memset(&params_, 0, sizeof params_);
    if (block) memFree(block);
    if (fault) logPrintf("Particle file '%s': %s; it emits nothing\n", path ? path : "", fault);
    init(actor);
}

ParticleSystem::ParticleSystem(const ParticleParams& params, FxActor* actor) : params_(params) {
    init(actor);
}

namespace {
int gPoolsUpFront = 0;
}  // namespace

ParticlePoolsUpFront::ParticlePoolsUpFront() { ++gPoolsUpFront; }
ParticlePoolsUpFront::~ParticlePoolsUpFront() { --gPoolsUpFront; }

ParticlePool::ParticlePool(const ParticlePool& other) { *this = other; }

ParticlePool& ParticlePool::operator=(const ParticlePool& other) {
    if (this == &other) return *this;
    if (other.places_ || gPoolsUpFront > 0) Make();
    // Bytes, not values: places no particle has used yet hold nothing to read.
    if (other.places_) std::memcpy(places_, other.places_, sizeof(Particle) * kPlaces);
    return *this;
}

void ParticlePool::Make() {
    if (!places_) places_ = new Particle[kPlaces];
}

void ParticleSystem::init(FxActor* actor) {
    actor_ = actor;
    clock_ = kStopped;
    carry_ = 0;
    previous_.Set(0, 0);
    current_.Set(0, 0);
    offset_.Set(0, 0);
    scale_ = 1;
    live_ = 0;
    bounds_.Clear();
    tracking_ = false;
    if (gPoolsUpFront > 0) pool_.Make();
}

void ParticleSystem::SetPosition(float x, float y, bool carry) {
    if (carry) {
        const float dx = x - current_.x, dy = y - current_.y;
        for (int i = 0; i < live_; ++i) {
            pool_[i].x += dx;
            pool_[i].y += dy;
        }
        previous_.x += dx;
        previous_.y += dy;
    } else if (clock_ == kStopped) {
        previous_.Set(x, y);
    } else {
        previous_ = current_;
    }
    current_.Set(x, y);
}

void ParticleSystem::Start() {
    pool_.Make();
    clock_ = params_.duration == kEndless ? kEndless : 0.0f;
}

void ParticleSystem::Stop(bool clear) {
    clock_ = kStopped;
    if (clear) {
        live_ = 0;
        bounds_.Clear();
    }
}

void ParticleSystem::StartAt(float x, float y) {
    Stop(false);
    SetPosition(x, y, false);
    Start();
}

void ParticleSystem::SetDrawOffset(float x, float y) { offset_.Set(x, y); }

void ParticleSystem::Update(float dt) {
    if (clock_ >= 0) {
        clock_ += dt;
        if (clock_ >= params_.duration) clock_ = kStopped;
    }

    if (tracking_) bounds_.Clear();
    const float ex = current_.x, ey = current_.y;
    for (int i = 0; i < live_;) {
        Particle& p = pool_[i];
        p.age += dt;
        // Written so that a life that is not a number ends too, instead of filling the pool.
        if (!(p.age < p.life)) {
            --live_;
            pool_[i] = pool_[live_];
            continue;
        }
        Vec2 r(p.x - ex, p.y - ey);
        r.Normalize();
        p.vx += (r.x * p.radial - r.y * p.tangential) * dt;
        p.vy += (r.y * p.radial + r.x * p.tangential) * dt;
        p.vy += p.gravity * dt;
        p.x += p.vx * dt;
        p.y += p.vy * dt;
        p.spin += p.spinRate * dt;
        p.size += p.sizeRate * dt;
        for (int c = 0; c < 4; ++c) p.colour[c] += p.colourRate[c] * dt;
        if (tracking_) bounds_.Add(p.x, p.y);
        ++i;
    }

    if (clock_ == kStopped) {
        previous_ = current_;
        return;
    }

    const float x = static_cast<float>(params_.rate) * dt + carry_;
    const float whole = std::trunc(x);
    carry_ = x - whole;
    // Bounded by the free places before the conversion, so no rate can overflow the count.
    const float room = static_cast<float>(kMaxParticles - live_);
    const int n = whole >= room ? kMaxParticles - live_ : whole > 0 ? static_cast<int>(whole) : 0;
    for (int k = 0; k < n; ++k) emit(live_++);
    previous_ = current_;
}

void ParticleSystem::emit(int index) {
    const ParticleParams& q = params_;
    Particle& p = pool_[index];
    p.age = 0;
    p.life = q.lifeMin + R(q.lifeMax - q.lifeMin);
    const float s = R(1);
    p.x = previous_.x + (current_.x - previous_.x) * s;
    p.y = previous_.y + (current_.y - previous_.y) * s;
    p.x += R(4) - 2;
    p.y += R(4) - 2;
    float angle = q.direction - kQuarterTurn + R(q.spread) - q.spread / 2;
    if (q.follow) {
        Vec2 a = previous_, b = current_;
        a.Normalize();
        b.Normalize();
        const float c = FloatClamp(a.x * b.x + a.y * b.y, -1.0f, 1.0f);
        angle += std::acos(c) + kQuarterTurn;
    }
    const float speed = q.speedMin + R(q.speedMax - q.speedMin);
    p.vx = std::cos(angle) * speed;
    p.vy = std::sin(angle) * speed;
    p.gravity = q.gravityMin + R(q.gravityMax - q.gravityMin);
    p.radial = q.radialMin + R(q.radialMax - q.radialMin);
    p.tangential = q.tangentialMin + R(q.tangentialMax - q.tangentialMin);
    p.size = q.sizeStart + R((q.sizeEnd - q.sizeStart) * q.sizeVariance);
    p.sizeRate = (q.sizeEnd - p.size) / p.life;
    p.spin = q.spinStart + R((q.spinEnd - q.spinStart) * q.spinVariance);
    p.spinRate = (q.spinEnd - p.spin) / p.life;
    for (int c = 0; c < 3; ++c)
        p.colour[c] = q.startColour[c] + R((q.endColour[c] - q.startColour[c]) * q.colourVariance);
    p.colour[3] = q.startColour[3] + R((q.endColour[3] - q.startColour[3]) * q.alphaVariance);
    for (int c = 0; c < 4; ++c) p.colourRate[c] = (q.endColour[c] - p.colour[c]) / p.life;
    if (tracking_) bounds_.Add(p.x, p.y);
}

void ParticleSystem::Draw() {
    if (!actor_ || live_ == 0) return;
    float r, g, b, a;
    actor_->GetColour(&r, &g, &b, &a);
    const uint32_t actorRgb = actor_->PackedColour() & 0x00FFFFFFu;
    const bool actorColour = params_.startColour[0] < 0;
    for (int i = 0; i < live_; ++i) {
        const Particle& p = pool_[i];
        const uint32_t packed =
            actorColour ? (fxChannel(p.colour[3]) << 24) | actorRgb
                        : fxPack(p.colour[0], p.colour[1], p.colour[2], p.colour[3]);
        actor_->SetColour(((packed >> 16) & 0xFF) / 255.0f, ((packed >> 8) & 0xFF) / 255.0f,
                          (packed & 0xFF) / 255.0f, (packed >> 24) / 255.0f);
        const float size = p.size * scale_;
        actor_->DrawAt(p.x * scale_ + offset_.x, p.y * scale_ + offset_.y, size, size);
    }
    actor_->SetColour(r, g, b, a);
}

void ParticleBounds::Add(float x, float y) {
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

bool ParticleBounds::Contains(float x, float y) const {
    return !empty && x >= minX && x < maxX && y >= minY && y < maxY;
}

bool ParticleBounds::Overlaps(const ParticleBounds& o) const {
    if (empty || o.empty) return false;
    const float dx = std::fabs((minX + maxX) - (o.minX + o.maxX)) * 0.5f;
    const float dy = std::fabs((minY + maxY) - (o.minY + o.maxY)) * 0.5f;
    return dx < ((maxX - minX) + (o.maxX - o.minX)) * 0.5f &&
           dy < ((maxY - minY) + (o.maxY - o.minY)) * 0.5f;
}

// --- The group ---------------------------------------------------------------------------------

ParticleSystem* ParticleGroup::Add(const ParticleParams& params, FxActor* actor, float x, float y) {
    if (count_ >= kMaxSystems) return nullptr;
    ParticleSystem* system = new ParticleSystem(params, actor);
    system->StartAt(x, y);
    system->SetDrawOffset(offset_.x, offset_.y);
    systems_[count_++] = system;
    return system;
}

void ParticleGroup::removeAt(int i) {
    delete systems_[i];
    systems_[i] = systems_[--count_];
    systems_[count_] = nullptr;
}

void ParticleGroup::Update(float dt) {
    for (int i = 0; i < count_;) {
        systems_[i]->Update(dt);
        if (systems_[i]->Clock() == ParticleSystem::kStopped && systems_[i]->LiveCount() == 0)
            removeAt(i);  // the last member now sits at i and is updated next
        else
            ++i;
    }
}

void ParticleGroup::Draw() {
    for (int i = 0; i < count_; ++i) systems_[i]->Draw();
}

void ParticleGroup::SetOffset(float x, float y) {
    offset_.Set(x, y);
    for (int i = 0; i < count_; ++i) systems_[i]->SetDrawOffset(x, y);
}

bool ParticleGroup::Contains(const ParticleSystem* system) const {
    for (int i = 0; i < count_; ++i)
        if (systems_[i] == system) return true;
    return false;
}

bool ParticleGroup::Remove(ParticleSystem* system) {
    for (int i = 0; i < count_; ++i)
        if (systems_[i] == system) {
            removeAt(i);
            return true;
        }
    return false;
}

void ParticleGroup::Clear() {
    while (count_ > 0) removeAt(count_ - 1);
}
