// Animation nodes: reading and writing records, track evaluation, the world transform down the
// tree, key editing, stops and sounds.
#include "anim/animation_object.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <type_traits>

#include "core/text.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/engine.h"
#include "engine/platform/platform.h"
#include "engine/snd/snd.h"

namespace {

int gNextSerial = 0;

// The smallest object record: fixed fields, empty texts, no children, empty tracks.
constexpr size_t kMinObjectBytes = 88;

// Calls f with the key array of a track; -1 for an unknown track.
template <class Obj, class F>
int visitTrack(Obj& o, int track, F f) {
    switch (track) {
        case kTrackPosition: return f(o.position);
        case kTrackSize: return f(o.size);
        case kTrackScale: return f(o.scaleKeys);
        case kTrackAlpha: return f(o.alphaKeys);
        case kTrackRotation: return f(o.rotation);
        case kTrackFrame: return f(o.frame);
        case kTrackColour: return f(o.colourKeys);
        default: return -1;
    }
}

template <class K>
int findKey(const cArray<K*>& keys, float t) {
    if (keys.size() == 0 || !keys[0] || !(t >= keys[0]->time)) return -1;
    // The last key whose time is not after t; of keys sharing one time, the later.
    uint32_t lo = 0, hi = keys.size();
    while (lo < hi) {
        const uint32_t mid = (lo + hi) / 2;
        if (keys[mid] && keys[mid]->time <= t) lo = mid + 1;
        else hi = mid;
    }
    return static_cast<int>(lo) - 1;
}

// The key at or before t and, when t lies inside a segment, the next key with the segment's
// normalised time. Keys sharing a time never form a segment: t is then past the later one.
template <class K>
const K* segmentAt(const cArray<K*>& keys, float t, const K** next, float* u) {
    *next = nullptr;
    const int i = findKey(keys, t);
    if (i < 0) return nullptr;
    const K* k = keys[i];
    if (t > k->time && static_cast<uint32_t>(i) + 1 < keys.size() && keys[i + 1]) {
        *next = keys[i + 1];
        *u = (t - k->time) / ((*next)->time - k->time);
    }
    return k;
}

bool evalFloat(const cArray<C_FloatKey*>& keys, float t, float* out) {
    const C_FloatKey* next;
    float u = 0.0f;
    const C_FloatKey* k = segmentAt(keys, t, &next, &u);
    if (!k) return false;
    *out = next ? next->filter.Blend(k->value, next->value, u) : k->value;
    return true;
}

bool evalVector(const cArray<C_VectorKey*>& keys, float t, Vec2f* out) {
    const C_VectorKey* next;
    float u = 0.0f;
    const C_VectorKey* k = segmentAt(keys, t, &next, &u);
    if (!k) return false;
    *out = k->value;
    if (next) {
        out->x = next->filter[0].Blend(k->value.x, next->value.x, u);
        out->y = next->filter[1].Blend(k->value.y, next->value.y, u);
    }
    return true;
}

uint32_t evalColour(const cArray<C_ColorKey*>& keys, float t) {
    const C_ColorKey* next;
    float u = 0.0f;
    const C_ColorKey* k = segmentAt(keys, t, &next, &u);
    if (!k) return 0xFFFFFFu;
    uint32_t packed = 0;
    for (int ch = 0; ch < 3; ++ch) {
        const float a = static_cast<float>((k->colour >> (8 * ch)) & 0xFF);
        float v = a;
        if (next)
            v = next->filter[ch].Blend(a, static_cast<float>((next->colour >> (8 * ch)) & 0xFF), u);
        packed |= static_cast<uint32_t>(FloatClamp(v, 0.0f, 255.0f)) << (8 * ch);
    }
    return packed;
}

float evalScale(const cArray<C_FloatKey*>& keys, float t) {
    float s = 0.0f;
    if (evalFloat(keys, t, &s) && !(s >= 0.0f)) s = 0.0f;
    return s;
}

float evalAlpha(const cArray<C_FloatKey*>& keys, float t) {
    float a = 0.0f;
    if (evalFloat(keys, t, &a)) a = FloatClamp(a, 0.0f, 1.0f);
    return a;
}

Vec2f evalSize(const cArray<C_VectorKey*>& keys, float t) {
    Vec2f s(0.0f, 0.0f);
    if (evalVector(keys, t, &s)) {
        if (!(s.x >= 0.0f)) s.x = 0.0f;
        if (!(s.y >= 0.0f)) s.y = 0.0f;
    }
    return s;
}

// Screen coordinates far outside any target are held where int conversion stays defined.
int pixel(float v) {
    if (!(v > -1.0e9f)) return -1000000000;
    if (v > 1.0e9f) return 1000000000;
    return static_cast<int>(v);
}

// The angle of a direction in [0, 2 pi).
float directionAngle(float x, float y) {
    const float length = vecLength(x, y);
    if (length <= 0.00001f) return 0.0f;
    x /= length;
    y /= length;
    constexpr float kPi = 3.1415927f;
    float angle;
    if (std::fabs(y) < std::fabs(x)) {
        angle = std::asin(y);
        if (x < 0.0f) angle = kPi - angle;
    } else {
        angle = std::acos(x);
        if (y < 0.0f) angle = 2.0f * kPi - angle;
    }
    if (angle < 0.0f) angle += 2.0f * kPi;
    return angle;
}

template <class K>
void freeKeys(cArray<K*>& keys) {
    for (uint32_t i = 0; i < keys.size(); ++i) delete keys[i];
    keys.clear();
}

template <class K>
bool readTrack(AnmReader& in, cArray<K*>& keys, size_t keyBytes) {
    int32_t count = 0;
    if (!in.Count(&count, keyBytes, "key")) return false;
    for (int32_t i = 0; i < count; ++i) {
        K* key = new K;
        if (key->Read(in) != kAnimOk) {
            delete key;
            return false;
        }
        // Key search and segment times rely on the order.
        if (keys.size() && key->time < keys[keys.size() - 1]->time) {
            delete key;
            return in.Fail("key times go backwards");
        }
        keys.push_back(key);
    }
    return true;
}

template <class K>
void writeTrack(AnmWriter& out, const cArray<K*>& keys) {
    out.I32(static_cast<int32_t>(keys.size()));
    for (uint32_t i = 0; i < keys.size(); ++i) keys[i]->Write(out);
}

bool readPath(AnmReader& in, char** path) {
    if (!in.String(path)) return false;
    *path = C_AnimationObject::NormalizePath(*path);
    return true;
}

void drawThroughEngine(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx,
                       int sy, int sw, int sh, uint32_t colour, int time) {
    grDraw(material, x, y, w, h, sprite, sx, sy, sw, sh, colour, time);
}

const AnimOutput kEngineOutput = {drawThroughEngine, grDrawTextColor, sndPlayEx};
AnimOutput gOutput = kEngineOutput;

}  // namespace

AnimOutput& animOutput() { return gOutput; }
void animOutputReset() { gOutput = kEngineOutput; }

C_AnimationObject::C_AnimationObject()
    : id(-1), name(nullptr), clickable(0), serial(gNextSerial++), evalTime(-1.0f),
      offset(0.0f, 0.0f), scale(1.0f), colour(0xFFFFFFu), alpha(1.0f), sizeX(10.0f),
      sizeY(10.0f), parent(nullptr), spriteBlend(1), spritePath(nullptr), frameCount(1),
      sprite(nullptr), maskPath(nullptr), mask(nullptr), font(nullptr), textKey(nullptr),
      textBlend(1), boxWidth(100.0f), boxHeight(10.0f), textScale(1.0f), fontPath(nullptr),
      alignH(0), alignV(0) {
    name = static_cast<char*>(calloc(100, 1));
    if (name) safeSnprintf(name, 100, "Obj %02i", serial + 1);
    Matrix3f::SetIdentity(&world);
    Matrix3f::SetIdentity(&invWorld);
    soundKeys.reserve(5);
    children.reserve(5);
    for (int track = 0; track < kTrackCount; ++track)
        visitTrack(*this, track, [](auto& keys) {
            keys.reserve(5);
            return 0;
        });
}

C_AnimationObject::~C_AnimationObject() { Clear(); }

void C_AnimationObject::Clear() {
    for (int track = 0; track < kTrackCount; ++track)
        visitTrack(*this, track, [](auto& keys) {
            freeKeys(keys);
            return 0;
        });
    freeKeys(soundKeys);
    freeTextLines(lines);
    freeKeys(children);
    for (char** text : {&name, &spritePath, &maskPath, &textKey, &fontPath}) freeAndNull(*text);
    spriteFree(&sprite);
    deleteAndNull(mask);
    fontFree(&font);
}

char* C_AnimationObject::NormalizePath(char* path) {
    if (!path || path[0] != '\\') return path;
    // A lone backslash leaves an empty text, not none: the field was written.
    const size_t length = strlen(path + 1);
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy) memcpy(copy, path + 1, length + 1);
    free(path);
    return copy;
}

int32_t C_AnimationObject::Read(AnmReader& in, int depth) {
    Clear();
    if (depth >= kAnimMaxDepth) {
        in.Fail("children nest too deep");
        return kAnimFail;
    }
    bool ok = in.I32(&spriteBlend) && in.I32(&clickable) && in.I32(&id) && in.String(&name) &&
              readPath(in, &spritePath) && in.I32(&frameCount) && readPath(in, &maskPath) &&
              in.String(&textKey) && in.I32(&textBlend) && in.F32(&boxWidth) &&
              in.F32(&boxHeight) && readPath(in, &fontPath) && in.I32(&alignH) &&
              in.I32(&alignV);
    int32_t childCount = 0;
    ok = ok && in.Count(&childCount, kMinObjectBytes, "child");
    for (int32_t i = 0; ok && i < childCount; ++i) {
        C_AnimationObject* child = new C_AnimationObject;
        if (child->Read(in, depth + 1) != kAnimOk) {
            delete child;
            ok = false;
            break;
        }
        AddChild(child);
    }
    ok = ok && readTrack(in, position, kVectorKeyBytes) && readTrack(in, size, kVectorKeyBytes) &&
         readTrack(in, scaleKeys, kFloatKeyBytes) && readTrack(in, alphaKeys, kFloatKeyBytes) &&
         readTrack(in, rotation, kFloatKeyBytes) && readTrack(in, frame, kFloatKeyBytes) &&
         readTrack(in, colourKeys, kColorKeyBytes);
    if (ok) return kAnimOk;
    Clear();
    return kAnimFail;
}

int32_t C_AnimationObject::Write(AnmWriter& out) const {
    out.I32(spriteBlend);
    out.I32(clickable);
    out.I32(id);
    out.String(name);
    out.String(spritePath);
    out.I32(frameCount);
    out.String(maskPath);
    out.String(textKey);
    out.I32(textBlend);
    out.F32(boxWidth);
    out.F32(boxHeight);
    out.String(fontPath);
    out.I32(alignH);
    out.I32(alignV);
    out.I32(static_cast<int32_t>(children.size()));
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->Write(out);
    writeTrack(out, position);
    writeTrack(out, size);
    writeTrack(out, scaleKeys);
    writeTrack(out, alphaKeys);
    writeTrack(out, rotation);
    writeTrack(out, frame);
    writeTrack(out, colourKeys);
    return kAnimOk;
}

void C_AnimationObject::LoadSprite() {
    deleteAndNull(mask);
    spriteFree(&sprite);
    if (!spritePath) return;
    sprite = grLoadSprite(spritePath, nullptr, 0);
    if (!sprite) return;
    if (frameCount > 1) grSetFrames(sprite, 1000, frameCount);
    if (maskPath) {
        mask = new C_MaskDesc(maskPath, spriteWidth(sprite), spriteHeight(sprite), frameCount, 1000);
        mask->Load();
    }
}

void C_AnimationObject::LoadAllResources() {
    LoadSprite();
    LoadText();
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->LoadAllResources();
}

void C_AnimationObject::LoadAllSprites() {
    LoadSprite();
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->LoadAllSprites();
}

void C_AnimationObject::FreeAllSprites() {
    deleteAndNull(mask);
    spriteFree(&sprite);
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->FreeAllSprites();
}

void C_AnimationObject::LoadAllTexts() {
    if (spritePath && spritePath[0] && !fileExists(spritePath))
        errorBox(spritePath, "file not found", MB_OKCANCEL);
    LoadText();
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->LoadAllTexts();
}

void C_AnimationObject::BuildAllSoundKeys() {
    BuildSoundKeys();
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->BuildAllSoundKeys();
}

int32_t C_AnimationObject::LoadText() {
    fontFree(&font);
    freeTextLines(lines);
    if (fontPath) font = grLoadFont(fontPath, nullptr);
    if (font && textKey) {
        const char16_t* text = iniGetText("data/translation.ini", "Comics", textKey);
        if (text && text[0]) {
            textScale = 1.0f;
            layoutTextInBox(text, &lines, &textScale, font, boxWidth, boxHeight, 1.0f);
        }
    }
    return kAnimOk;
}

int32_t C_AnimationObject::Transform(float t) {
    if (t == evalTime) return kAnimOk;
    Vec2f p(0.0f, 0.0f);
    evalVector(position, t, &p);
    float r = 0.0f;
    evalFloat(rotation, t, &r);
    const float s = evalScale(scaleKeys, t);
    colour = evalColour(colourKeys, t);
    alpha = evalAlpha(alphaKeys, t);
    scale = s;
    if (parent) {
        parent->Transform(t);
        world = parent->world;
        scale *= parent->scale;
        alpha *= parent->alpha;
        uint32_t mixed = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const float pc = static_cast<float>((parent->colour >> (8 * ch)) & 0xFF);
            const float oc = static_cast<float>((colour >> (8 * ch)) & 0xFF);
            mixed |= static_cast<uint32_t>(pc / 255.0f * (oc / 255.0f) * 255.0f) << (8 * ch);
        }
        colour = mixed;
    } else {
        Matrix3f::SetIdentity(&world);
    }
    const Vec2f sz = evalSize(size, t);
    sizeX = sz.x * scale;
    sizeY = sz.y * scale;
    Matrix3f m, step;
    Matrix3f::SetRotation(&m, r);
    m *= *Matrix3f::SetScale(&step, s, s);
    m *= *Matrix3f::SetTranslation(&step, p.x, p.y);
    m *= *Matrix3f::SetTranslation(&step, offset.x, offset.y);
    m *= world;
    world = m;
    Matrix3f::InverseAffine(&invWorld, &world);
    evalTime = t;
    return kAnimOk;
}

Vec2f C_AnimationObject::WorldPosition(float t) {
    Transform(t);
    Vec2f out(0.0f, 0.0f);
    const Vec2f zero(0.0f, 0.0f);
    transformPoint(&out, &zero, &world);
    return out;
}

float C_AnimationObject::SizeX(float t) {
    Transform(t);
    return sizeX;
}

float C_AnimationObject::SizeY(float t) {
    Transform(t);
    return sizeY;
}

float C_AnimationObject::Scale(float t) {
    Transform(t);
    return scale;
}

float C_AnimationObject::Alpha(float t) {
    Transform(t);
    return alpha;
}

uint32_t C_AnimationObject::Colour(float t) {
    Transform(t);
    return colour;
}

float C_AnimationObject::WorldRotation(float t) {
    const Vec2f axis = WorldXAxis(t);
    return directionAngle(axis.x, axis.y);
}

Vec2f C_AnimationObject::worldDirection(float t, const Vec2f& direction) {
    const Vec2f origin = WorldPosition(t);
    Vec2f end(0.0f, 0.0f);
    transformPoint(&end, &direction, &world);
    return vecNormalised(end - origin);
}

Vec2f C_AnimationObject::WorldXAxis(float t) { return worldDirection(t, Vec2f(1.0f, 0.0f)); }
Vec2f C_AnimationObject::WorldUpAxis(float t) { return worldDirection(t, Vec2f(0.0f, -1.0f)); }

float C_AnimationObject::GetFrame(float t) const {
    float f = 0.0f;
    evalFloat(frame, t, &f);
    return f;
}

int C_AnimationObject::FindKey(int track, float t) const {
    return visitTrack(*this, track, [t](const auto& keys) { return findKey(keys, t); });
}

int C_AnimationObject::KeyCount(int track) const {
    return visitTrack(*this, track, [](const auto& keys) { return static_cast<int>(keys.size()); });
}

C_KeyBase* C_AnimationObject::GetKey(int track, int i) const {
    C_KeyBase* found = nullptr;
    visitTrack(*this, track, [&](const auto& keys) {
        if (i >= 0 && static_cast<uint32_t>(i) < keys.size()) found = keys[i];
        return 0;
    });
    return found;
}

int C_AnimationObject::AddKey(int track, float t) {
    if (!(t >= 0.0f)) return -1;
    return visitTrack(*this, track, [t](auto& keys) {
        const int i = findKey(keys, t);
        if (i >= 0 && keys[i]->time == t) return -1;
        auto* key = new typename std::remove_pointer<
            typename std::remove_reference<decltype(keys[0])>::type>::type;
        key->time = t;
        keys.insert(static_cast<uint32_t>(i + 1), key);
        return i + 1;
    });
}

int32_t C_AnimationObject::DeleteKey(int track, int i) {
    const int r = visitTrack(*this, track, [i](auto& keys) {
        if (i < 1 || static_cast<uint32_t>(i) >= keys.size()) return -1;
        delete keys[i];
        keys.erase(static_cast<uint32_t>(i));
        return 0;
    });
    return r == 0 ? kAnimOk : kAnimFail;
}

void C_AnimationObject::AddKeys(float t) {
    for (int track = 0; track < kTrackCount; ++track) AddKey(track, t);
}

void C_AnimationObject::DeleteKeysAt(float t) {
    for (int track = 0; track < kTrackCount; ++track) {
        const int i = FindKey(track, t);
        const C_KeyBase* key = GetKey(track, i);
        if (key && key->time == t) DeleteKey(track, i);
    }
}

namespace {

template <class K, class Set>
int32_t setValue(cArray<K*>& keys, int i, Set set) {
    if (i < 0 || static_cast<uint32_t>(i) >= keys.size()) return kAnimFail;
    set(*keys[i]);
    return kAnimOk;
}

}  // namespace

int32_t C_AnimationObject::SetPosition(int i, float x, float y) {
    return setValue(position, i, [=](C_VectorKey& k) { k.value.Set(x, y); });
}
int32_t C_AnimationObject::SetSize(int i, float x, float y) {
    return setValue(size, i, [=](C_VectorKey& k) { k.value.Set(x, y); });
}
int32_t C_AnimationObject::SetScale(int i, float v) {
    return setValue(scaleKeys, i, [=](C_FloatKey& k) { k.value = v; });
}
int32_t C_AnimationObject::SetAlpha(int i, float v) {
    return setValue(alphaKeys, i, [=](C_FloatKey& k) { k.value = v; });
}
int32_t C_AnimationObject::SetRotation(int i, float v) {
    return setValue(rotation, i, [=](C_FloatKey& k) { k.value = v; });
}
int32_t C_AnimationObject::SetFrame(int i, float v) {
    return setValue(frame, i, [=](C_FloatKey& k) { k.value = v; });
}
int32_t C_AnimationObject::SetColour(int i, uint32_t c) {
    return setValue(colourKeys, i, [=](C_ColorKey& k) { k.colour = c; });
}

float C_AnimationObject::GetDuration() const {
    float longest = 0.0f;
    for (int track = 0; track < kTrackCount; ++track)
        visitTrack(*this, track, [&](const auto& keys) {
            for (uint32_t i = 0; i < keys.size(); ++i) longest = FloatMax(longest, keys[i]->time);
            return 0;
        });
    for (uint32_t i = 0; i < children.size(); ++i)
        longest = FloatMax(longest, children[i]->GetDuration());
    return longest;
}

C_AnimationObject* C_AnimationObject::ChildAt(int i) const {
    if (i < 0 || static_cast<uint32_t>(i) >= children.size()) return nullptr;
    return children[i];
}

void C_AnimationObject::AddChild(C_AnimationObject* child) {
    if (!child) return;
    child->parent = this;
    children.push_back(child);
}

C_AnimationObject* C_AnimationObject::FindBySerial(int n) {
    if (serial == n) return this;
    for (uint32_t i = 0; i < children.size(); ++i)
        if (C_AnimationObject* found = children[i]->FindBySerial(n)) return found;
    return nullptr;
}

Vec2f C_AnimationObject::GetSpriteSize() const {
    if (!sprite) return Vec2f(10.0f, 10.0f);
    return Vec2f(static_cast<float>(spriteWidth(sprite)), static_cast<float>(spriteHeight(sprite)));
}

void C_AnimationObject::CollectStopKeys(cArray<C_StopKey>& list) const {
    for (int track = 0; track < kTrackCount; ++track)
        visitTrack(*this, track, [&](const auto& keys) {
            for (uint32_t i = 0; i < keys.size(); ++i)
                if (keys[i]->stop > 0) list.push_back(C_StopKey(keys[i]->stop, keys[i]->time));
            return 0;
        });
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->CollectStopKeys(list);
}

void C_AnimationObject::BuildSoundKeys() {
    freeKeys(soundKeys);
    for (int track = 0; track < kTrackCount; ++track)
        visitTrack(*this, track, [&](const auto& keys) {
            for (uint32_t i = 0; i < keys.size(); ++i)
                if (keys[i]->sound) soundKeys.push_back(new C_SoundKey(keys[i]->sound, keys[i]->time));
            return 0;
        });
}

void C_AnimationObject::PlaySounds(float t0, float t1, float x) {
    if (!(t0 < t1)) return;
    const float pan = FloatClamp((x - 512.0f) / 384.0f, -1.0f, 1.0f);
    for (uint32_t i = 0; i < soundKeys.size(); ++i) {
        const C_SoundKey* key = soundKeys[i];
        if (key->name && key->time > t0 && key->time <= t1)
            gOutput.playSound(key->name, SND_GROUP_SOUND, -1.0f, pan, -1.0f);
    }
}

void C_AnimationObject::SetTime(float t) {
    evalTime = t;
    for (uint32_t i = 0; i < children.size(); ++i) children[i]->SetTime(t);
}

int C_AnimationObject::frameArgument(float t) const {
    if (frameCount <= 1) return 0;
    float f = GetFrame(t);
    f -= std::floor(f);
    if (f > 1.0f) f -= 1.0f;
    if (f < 0.0f) f += 1.0f;
    return static_cast<int>(f * 1000.0f);
}

int32_t C_AnimationObject::Draw(float t, float alphaFactor, const Vec2f& origin) {
    const float t0 = evalTime;
    offset = origin;
    const float a = Alpha(t) * alphaFactor;
    float soundX = origin.x;
    if (a > 0.00001f) {
        const Vec2f p = WorldPosition(t);
        soundX = p.x;
        const uint32_t argb = ColorRGBA(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF,
                                        static_cast<int>(a * 255.0f))
                                  .Argb();
        if (sprite) {
            const float w = sizeX, h = sizeY;
            const sMaterial material =
                spriteBlend ? sMaterial(4, 4, 1, 30) : sMaterial(4, 2, 1, 31);
            gOutput.draw(material, pixel(p.x - w / 2), pixel(p.y - h / 2), pixel(w), pixel(h),
                         sprite, 0, 0, spriteWidth(sprite), spriteHeight(sprite), argb,
                         frameArgument(t));
        }
        if (font && textKey) {
            const float s = scale, fs = s * textScale;
            const float bw = boxWidth * s, bh = boxHeight * s;
            // Y points up the screen.
            const float lh = grFontHeight(font) * fs;
            const float total = static_cast<float>(lines.size()) * lh;
            float oy = p.y;
            if (alignV == -1) oy -= bh / 2;
            else if (alignV == 1) oy -= total - bh / 2;
            else oy -= total / 2;
            const sMaterial material = textBlend ? sMaterial(4, 4, 1, 30) : sMaterial(4, 2, 1, 31);
            for (uint32_t i = 0; i < lines.size(); ++i) {
                const float lw = textWidthF(font, lines[i]) * fs;
                float lx = p.x;
                if (alignH == -1) lx -= bw / 2;
                else if (alignH == 1) lx += bw / 2 - lw;
                else lx -= lw / 2;
                gOutput.drawText(material, font, pixel(lx), pixel(oy), fs, fs, lines[i], argb, 0, -1,
                                 -1);
                oy += lh;
            }
        }
        for (uint32_t i = 0; i < children.size(); ++i)
            children[i]->Draw(t, alphaFactor, Vec2f(0.0f, 0.0f));
    }
    PlaySounds(t0, t, soundX);
    return kAnimOk;
}

int C_AnimationObject::HitTest(const Vec2f& point, float t, float alphaFactor, const Vec2f& origin) {
    if (!clickable || !mask) return 0;
    offset = origin;
    if (!(Alpha(t) * alphaFactor > 0.5f)) return 0;
    Vec2f local(0.0f, 0.0f);
    if (transformPoint(&local, &point, &invWorld) != kAnimOk) return 0;
    const Vec2f half = evalSize(size, t).Scaled(0.5f);
    if (!(half.x > 0.00001f && half.y > 0.00001f)) return 0;
    if (local.x < -half.x || local.x >= half.x || local.y < -half.y || local.y >= half.y) return 0;
    const float u = (local.x + half.x) / (2 * half.x), v = (local.y + half.y) / (2 * half.y);
    return mask->HitTest(static_cast<int>(u * spriteWidth(sprite)),
                         static_cast<int>(v * spriteHeight(sprite)), frameArgument(t))
               ? 1
               : 0;
}
