// The home's scenery.
#include "screens/home_scenery.h"

#include <cmath>
#include <cstring>

#include "core/random.h"
#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/gr/gr.h"
#include "engine/gr/gr_util.h"
#include "engine/snd/snd.h"

namespace {

uint32_t white(int alpha) { return static_cast<uint32_t>(alpha & 0xFF) << 24 | 0xFFFFFFu; }

// A uniform real in [0, x).
float below(float x) { return static_cast<float>(gRandom.Real53() * x); }
float upTo(float x) { return static_cast<float>(gRandom.Real(x)); }

}  // namespace

// --- SceneryItem ---------------------------------------------------------------------------------

void SceneryItem::Load(const char* file, const char* section) {
    anim.Load(file, section);
    cycled = iniGetInt(file, section, "cycled", 0);
    iniReadIntPair(&position, file, section, "pos");
    StrCopyN(itemName, iniGetString(file, section, "itemName", ""), sizeof itemName);
}

void SceneryItem::Update(int ms) {
    time += ms;
    if (cycled && anim.sprite && time >= grSpriteTime(anim.sprite)) time = 0;
}

void SceneryItem::Draw() const {
    if (!anim.sprite || time >= grSpriteTime(anim.sprite)) return;
    int w = spriteWidth(anim.sprite), h = spriteHeight(anim.sprite);
    grDraw(sMaterial(2, 4, 1, 30), position.x, position.y, w * direction, h, anim.sprite, 0, 0, w,
           h, white(anim.alpha), time);
}

// --- HomeFountain --------------------------------------------------------------------------------

HomeFountain::~HomeFountain() {
    if (sound_) sndRelease(sound_);
}

void HomeFountain::Load(const char* file) {
    fountain_.Load(file, "fountain");
    water_.Load(file, "water");
    fish_.Load(file, "jumpingFish");
    repeatPeriod_ = iniGetInt(file, "jumpingFish", "repeatPeriod", 0);
    fishBase_ = fish_.position;
    iniReadIntPair(&area_, file, "jumpingFish", "jumpingArea");
    const char* name = iniGetString(file, "sounds", "fountain_sound", "");
    if (*name) sound_ = sndGetSound(name, 0);
}

void HomeFountain::Reset() {
    fountain_.time = 0;
    water_.time = 0;
    countdown_ = 0;
}

void HomeFountain::ShowPartForItem(const char* name) {
    if (!name) return;
    if (strcmp(fountain_.itemName, name) == 0) shownFountain_ = true;
    if (strcmp(water_.itemName, name) == 0) shownWater_ = true;
    if (strcmp(fish_.itemName, name) == 0) shownFish_ = true;
}

void HomeFountain::StopSound() {
    if (sound_) sndStop(sound_);
}

void HomeFountain::Update(int ms) {
    fountain_.Update(ms);
    if (shownFountain_ && sound_ && !sndIsPlaying(sound_)) sndPlaySound(sound_, 1);
    water_.Update(ms);
    if (countdown_ < 0 || !shownFish_) return;
    countdown_ -= ms;
    if (countdown_ < 0) {
        countdown_ = repeatPeriod_;
        int w = area_.x < 0 ? 0 : area_.x, h = area_.y < 0 ? 0 : area_.y;
        fish_.position.x = fishBase_.x + static_cast<int>(gRandom.IntInclusive(w)) - w / 2;
        fish_.position.y = fishBase_.y + static_cast<int>(gRandom.IntInclusive(h)) - h / 2;
        if (gRandom.Real53() >= 0.5) fish_.Flip();
        fish_.time = 0;
        sndPlay("jumping_fish", 0);
    }
    fish_.Update(ms);
}

void HomeFountain::Draw() const {
    if (shownWater_) water_.Draw();
    if (shownFountain_) fountain_.Draw();
    if (shownFish_) fish_.Draw();
}

// --- HomeSpriteStrip -----------------------------------------------------------------------------

HomeSpriteStrip::~HomeSpriteStrip() {
    items_.release();
    for (uint32_t i = 0; i < sprites_.size(); ++i) delete sprites_[i];
}

void HomeSpriteStrip::Load(const char* file, const char* section) {
    auto real = [&](const char* key) { return iniGetFloat(file, section, key, 0.0f); };
    int spritesCount = iniGetInt(file, section, "spritesCount", 0);
    int itemsCount = iniGetInt(file, section, "itemsCount", 0);
    int rDirection = iniGetInt(file, section, "rDirection", 0);
    float startX = real("startX"), finishX = real("finishX"), deltaX = real("deltaX");
    float topY = real("topY"), bottomY = real("bottomY");
    float speed = real("speed"), deltaS = real("deltaS");
    int minAlpha = iniGetInt(file, section, "minAlpha", 0);
    int maxAlpha = iniGetInt(file, section, "maxAlpha", 0);
    float minAmplitude = real("minAmplitude"), maxAmplitude = real("maxAmplitude");
    float minFrequency = real("minFrequency"), maxFrequency = real("maxFrequency");
    for (int i = 0; i < spritesCount; ++i) {
        char name[64];
        formatString(name, sizeof name, "%s_Item%d", section, i);
        auto* record = new AnimDesc;
        record->Load(file, name);
        sprites_.push_back(record);
    }
    for (int i = 0; i < itemsCount; ++i) {
        if (rDirection != 0 && gRandom.Real53() >= 0.5) {
            float held = startX;
            startX = finishX;
            finishX = held;
        }
        float x0 = startX - deltaX / 2 + below(deltaX);
        float x1 = finishX - deltaX / 2 + below(deltaX);
        float x = x0 + below(x1 - x0);
        float y = topY + below(bottomY - topY);
        float s = speed + (gRandom.Real53() - 0.5 <= 0 ? -deltaS : deltaS) +
                  static_cast<float>(gRandom.Real53());
        uint32_t index = gRandom.Int(spritesCount < 0 ? 0 : static_cast<uint32_t>(spritesCount));
        int spread = maxAlpha - minAlpha;
        int alpha = minAlpha + static_cast<int>(gRandom.Int(spread < 0 ? 0 : static_cast<uint32_t>(spread)));
        Item item;
        if (index < sprites_.size()) {
            item.anim = sprites_[index];
            item.speed = s;
            item.x = x;
            item.y = y;
            item.startX = startX;
            item.finishX = finishX;
            item.baseY = y;
            item.alpha = alpha;
            item.amplitude = minAmplitude + upTo(maxAmplitude - minAmplitude);
            item.frequency = minFrequency + upTo(maxFrequency - minFrequency);
            item.leftward = startX > finishX;
        }
        items_.push_back(item);
    }
}

void HomeSpriteStrip::Update(int ms) {
    for (uint32_t i = 0; i < items_.size(); ++i) items_[i].Update(static_cast<float>(ms) / 1000.0f);
}

void HomeSpriteStrip::Draw() const {
    for (uint32_t i = 0; i < items_.size(); ++i) items_[i].Draw();
}

// A strip whose start and finish coincide has no run: the item stands still, without a wave.
void HomeSpriteStrip::Item::Update(float s) {
    if (!anim) return;
    time += static_cast<int32_t>(s * 1000.0f);
    if (anim->sprite && time > grSpriteTime(anim->sprite)) time = 0;
    float span = finishX - startX;
    if (span == 0.0f) return;
    float d = startX < finishX ? 1.0f : -1.0f;
    x += speed * s * d;
    y = baseY + amplitude * std::sin((x - startX) * frequency * 3.1415f / span);
    if ((d > 0 && x > finishX) || (d < 0 && x < finishX)) x = startX;
}

void HomeSpriteStrip::Item::Draw() const {
    if (!anim || !anim->sprite) return;
    int w = spriteWidth(anim->sprite), h = spriteHeight(anim->sprite);
    grDraw(sMaterial(2, 4, 1, 30), static_cast<int>(x), static_cast<int>(y), leftward ? -w : w, h,
           anim->sprite, 0, 0, w, h, white(alpha), time);
}

// --- HomeFlicker ---------------------------------------------------------------------------------

HomeFlicker::~HomeFlicker() {
    for (uint32_t i = 0; i < sprites_.size(); ++i) spriteFree(&sprites_[i]);
}

void HomeFlicker::Load(const char* file) {
    float speed = iniGetFloat(file, "Sun", "alphaSpeed", 0.0f);
    float range = iniGetFloat(file, "Sun", "alphaSpeedRange", 0.0f);
    int n = iniGetInt(file, "Sun", "spritesCount", 0);
    for (int i = 0; i < n; ++i) {
        char key[32];
        formatString(key, sizeof key, "sprite%d", i);
        sprites_.push_back(grLoadSprite(iniGetString(file, "Sun", key, ""), nullptr, 0));
        levels_.push_back(static_cast<float>(gRandom.Real53()));
        speeds_.push_back(speed + upTo(range));
    }
}

void HomeFlicker::Update(int ms) {
    for (uint32_t i = 0; i < levels_.size(); ++i) {
        levels_[i] += speeds_[i] * static_cast<float>(ms) / 1000.0f;
        if (levels_[i] > 1.0f || levels_[i] < 0.0f) {
            levels_[i] = levels_[i] > 1.0f ? 1.0f : 0.0f;
            speeds_[i] = -speeds_[i];
        }
    }
}

void HomeFlicker::Draw() const {
    for (uint32_t i = 0; i < sprites_.size(); ++i) {
        if (!sprites_[i]) continue;
        float l = levels_[i];
        uint32_t r = static_cast<uint32_t>(128 * l), b = static_cast<uint32_t>(64 * l);
        grDrawSpriteColor(sMaterial(4, 2, 1, 31), 0, 0, sprites_[i], 0xFF000000u | r << 16 | r << 8 | b,
                          0);
    }
}

// --- HomeInstallBoom -----------------------------------------------------------------------------

void HomeInstallBoom::Load(const char* file) {
    for (SimpleEffect& burst : bursts_) {
        burst.Load(kFxIni, "HomeItemInstallBoom");
        if (burst.System())
            for (int c = 0; c < 3; ++c)
                burst.System()->Params().endColour[c] = static_cast<float>(gRandom.Real53());
    }
    (void)file;
    delay_ = iniGetFloat(kFxIni, "HomeItemInstallBoom", "delay", 0.0f);
}

void HomeInstallBoom::Start() {
    elapsed_ = 0.0f;
    fired_ = 0;
}

void HomeInstallBoom::Update(float seconds) {
    elapsed_ += seconds;
    if (fired_ < kBursts && static_cast<float>(fired_) * delay_ < elapsed_ &&
        elapsed_ < kBursts * delay_) {
        bursts_[fired_].Start(100.0f + upTo(824.0f), 100.0f + upTo(568.0f));
        ++fired_;
        sndPlay("salute_explosion", 0);
    }
    for (SimpleEffect& burst : bursts_) burst.Update(seconds);
}

void HomeInstallBoom::Draw() {
    for (SimpleEffect& burst : bursts_) burst.Draw();
}

bool HomeInstallBoom::IsActive() {
    if (elapsed_ < 7 * delay_) return true;
    for (SimpleEffect& burst : bursts_)
        if (burst.LiveCount() > 0) return true;
    return false;
}

void HomeInstallBoom::Stop() {
    for (SimpleEffect& burst : bursts_) burst.Stop(true);
}
