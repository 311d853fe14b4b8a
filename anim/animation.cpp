// Animations: loading and saving whole .anm files, play time, stops and marks, the hint fade,
// and the name index of the animation list.
#include "anim/animation.h"

#include <cmath>
#include <cstdlib>

#include "core/text.h"
#include "engine/data/file.h"
#include "engine/gr/gr_util.h"
#include "engine/platform/log.h"

namespace {

constexpr float kNear = 0.00001f;
// The sound clock is set this far before a jump's landing, so that keys at the landing sound.
constexpr float kSoundLead = 0.04f;

// The smallest time among the stops of a kind (not passed ones for holding stops) that satisfy
// after; -1 when there is none.
template <class After>
int earliestStop(const cArray<C_StopKey>& stops, int32_t kind, After after) {
    int found = -1;
    for (uint32_t i = 0; i < stops.size(); ++i) {
        const C_StopKey& s = stops[i];
        if (s.kind != kind || (kind == kStopHold && s.passed) || !after(s.time)) continue;
        if (found < 0 || s.time < stops[found].time) found = static_cast<int>(i);
    }
    return found;
}

int firstUnpassedStop(const cArray<C_StopKey>& stops) {
    return earliestStop(stops, kStopHold, [](float) { return true; });
}

}  // namespace

C_Animation::C_Animation(const char* fileName) {
    SetFileName(fileName);
    stops_.reserve(100);
    objects_.reserve(5);
    frameBars_ = grLoadSprite("data/comics/FrameH.jpg", nullptr, 0);
}

C_Animation::~C_Animation() {
    deleteObjects();
    free(fileName_);
    spriteFree(&frameBars_);
}

void C_Animation::SetFileName(const char* name) {
    free(fileName_);
    fileName_ = strDup(name);
}

void C_Animation::deleteObjects() {
    for (uint32_t i = 0; i < objects_.size(); ++i) delete objects_[i];
    objects_.clear();
}

int32_t C_Animation::Load() {
    deleteObjects();
    if (!fileName_) return kAnimOk;
    if (!fileExists(fileName_)) {
        logPrintf("%s: no such animation file; the animation stays empty\n", fileName_);
        return kAnimOk;
    }
    unsigned char* block = nullptr;
    const int size = fileLoad(fileName_, &block);
    AnmReader in(block, static_cast<size_t>(size), fileName_);
    // The smallest object record is 88 bytes.
    int32_t count = 0;
    if (in.Count(&count, 88, "object")) {
        for (int32_t i = 0; i < count; ++i) {
            C_AnimationObject* object = new C_AnimationObject;
            if (object->Read(in) != kAnimOk) {
                delete object;
                break;
            }
            objects_.push_back(object);
        }
    }
    if (block) memFree(block);
    if (!in.Failed()) return kAnimOk;
    deleteObjects();
    return kAnimFail;
}

int32_t C_Animation::Save() const {
    AnmWriter out;
    out.I32(static_cast<int32_t>(objects_.size()));
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->Write(out);
    if (!fileName_ || fileSave(fileName_, out.Data(), out.Size()) != out.Size()) {
        logPrintf("%s: the animation could not be saved\n", fileName_ ? fileName_ : "(no name)");
        return kAnimFail;
    }
    return kAnimOk;
}

void C_Animation::LoadResources() {
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->LoadAllResources();
}

void C_Animation::LoadSprites() {
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->LoadAllSprites();
}

void C_Animation::FreeSprites() {
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->FreeAllSprites();
}

void C_Animation::LoadTexts() {
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->LoadAllTexts();
}

void C_Animation::BuildSoundKeys() {
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->BuildAllSoundKeys();
}

void C_Animation::BuildStops() {
    lastDrawTime_ = -1.0f;
    stops_.clear();
    stops_.reserve(100);
    for (uint32_t i = 0; i < objects_.size(); ++i)
        if (objects_[i]) objects_[i]->CollectStopKeys(stops_);
}

void C_Animation::Rewind() {
    time_ = shownTime_ = 0.0f;
    BuildStops();
}

float C_Animation::Length() const {
    float longest = 0.0f;
    for (uint32_t i = 0; i < objects_.size(); ++i)
        longest = FloatMax(longest, objects_[i]->GetDuration());
    return longest;
}

int C_Animation::AdvanceSeconds(float s) {
    time_ += s;
    const float length = Length();
    if (time_ >= length) time_ = length;
    return 1;
}

int C_Animation::AdvanceMs(int ms) { return AdvanceSeconds(ms / 1000.0f); }

bool C_Animation::IsWaitingAtStop(float t) const {
    const int s = firstUnpassedStop(stops_);
    return s >= 0 && stops_[s].time <= t;
}

float C_Animation::NextStop(float t) {
    const int mark = earliestStop(stops_, kStopMark, [t](float time) { return time > t; });
    const int stop = firstUnpassedStop(stops_);
    float result = t;
    if (mark >= 0 && (stop < 0 || stops_[mark].time <= stops_[stop].time)) {
        result = stops_[mark].time;
    } else if (stop >= 0) {
        result = stops_[stop].time;
        if (std::fabs(t - result) < kNear) stops_[stop].passed = 1;
    }
    SetObjectsTime(result - kSoundLead);
    return result;
}

void C_Animation::SkipToNextStop() {
    shownTime_ = NextStop(shownTime_);
    time_ = shownTime_;
}

void C_Animation::SetObjectsTime(float t) {
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->SetTime(t);
}

float C_Animation::Draw(float t, float opacity, const Vec2f& centre, int stopsOn) {
    float drawn = t;
    bool waiting = false;
    if (stopsOn) {
        const int s = firstUnpassedStop(stops_);
        if (s >= 0 && stops_[s].time <= t) {
            drawn = stops_[s].time;
            waiting = true;
        }
    }
    if (lastDrawTime_ < 0.0f || drawn < lastDrawTime_) lastDrawTime_ = drawn;
    if (hintFadeTime_ <= kNear) {
        hintLevel_ = waiting ? 1.0f : 0.0f;
    } else if (waiting) {
        hintLevel_ = floatMin(hintLevel_ + (t - lastDrawTime_) / hintFadeTime_, 1.0f);
    } else {
        hintLevel_ = FloatMax(hintLevel_ - 2.0f * (t - lastDrawTime_) / hintFadeTime_, 0.0f);
    }
    for (uint32_t i = 0; i < objects_.size(); ++i) objects_[i]->Draw(drawn, opacity, centre);
    if (frameBars_) {
        const int w = spriteWidth(frameBars_), h = spriteHeight(frameBars_);
        const uint32_t black = ColorRGBA(0, 0, 0, 255).Argb();
        animOutput().draw(sMaterial(4, 2, 1, 30), 0, 0, w, h, frameBars_, 0, 0, w, h, black, 0);
        animOutput().draw(sMaterial(4, 2, 1, 30), 0, 768 - h, w, h, frameBars_, 0, 0, w, h, black,
                          0);
    }
    if (hook_ && opacity * hintLevel_ > 0.0f) hook_(drawn, opacity * hintLevel_, &centre);
    lastDrawTime_ = drawn;
    return drawn;
}

int C_Animation::DrawCentred(float opacity) {
    shownTime_ = Draw(time_, opacity, Vec2f(512.0f, 384.0f), 1);
    time_ = shownTime_;
    return 1;
}

float C_Animation::DrawAtFraction(float f, float opacity, const Vec2f& centre, int stopsOn) {
    return Draw(Length() * f, opacity, centre, stopsOn);
}

int C_Animation::AddObject(C_AnimationObject* object) {
    if (!object) return -1;
    for (uint32_t i = 0; i < objects_.size(); ++i)
        if (objects_[i] == object) return -1;
    objects_.push_back(object);
    return static_cast<int>(objects_.size()) - 1;
}

int C_Animation::InsertObject(int index, C_AnimationObject* object) {
    if (index < 0 || index > ObjectCount() || !object) return -1;
    for (uint32_t i = 0; i < objects_.size(); ++i)
        if (objects_[i] == object) return -1;
    objects_.insert(static_cast<uint32_t>(index), object);
    return index;
}

int32_t C_Animation::SwapObjects(C_AnimationObject* a, C_AnimationObject* b) {
    int i = -1, j = -1;
    for (int k = 0; k < ObjectCount(); ++k) {
        if (objects_[k] == a && i < 0) i = k;
        if (objects_[k] == b && j < 0) j = k;
    }
    return SwapObjectsAt(i, j);
}

int32_t C_Animation::SwapObjectsAt(int i, int j) {
    if (!ObjectAt(i) || !ObjectAt(j)) return kAnimFail;
    C_AnimationObject* held = objects_[i];
    objects_[i] = objects_[j];
    objects_[j] = held;
    return kAnimOk;
}

int C_Animation::IndexOfSerial(int serial) const {
    for (int i = 0; i < ObjectCount(); ++i)
        if (objects_[i]->serial == serial) return i;
    return -1;
}

int32_t C_Animation::RemoveObjectAt(int i) {
    if (!ObjectAt(i)) return kAnimFail;
    objects_.erase(static_cast<uint32_t>(i));
    return kAnimOk;
}

namespace {

// Takes the object out of the list it hangs in, searching children depth first.
bool unlinkFrom(cArray<C_AnimationObject*>& list, C_AnimationObject* object) {
    for (uint32_t i = 0; i < list.size(); ++i)
        if (list[i] == object) {
            list.erase(i);
            return true;
        }
    for (uint32_t i = 0; i < list.size(); ++i)
        if (list[i] && unlinkFrom(list[i]->children, object)) return true;
    return false;
}

}  // namespace

int32_t C_Animation::DeleteObject(C_AnimationObject* object) {
    if (!object || !unlinkFrom(objects_, object)) return kAnimFail;
    delete object;
    return kAnimOk;
}

int32_t C_Animation::DeleteObjectAt(int i) { return DeleteObject(ObjectAt(i)); }

int C_Animation::HitTest(const Vec2f& point, float t, float opacity, const Vec2f& centre) {
    for (uint32_t i = 0; i < objects_.size(); ++i)
        if (objects_[i] && objects_[i]->HitTest(point, t, opacity, centre)) return 1;
    return 0;
}

C_AnimationObject* C_Animation::ObjectAt(int i) const {
    if (i < 0 || static_cast<uint32_t>(i) >= objects_.size()) return nullptr;
    return objects_[i];
}

C_AnimationObject* C_Animation::FindObject(int serial) const {
    for (uint32_t i = 0; i < objects_.size(); ++i)
        if (C_AnimationObject* found = objects_[i]->FindBySerial(serial)) return found;
    return nullptr;
}

// --- The list ----------------------------------------------------------------------------------

namespace {

char upperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Byte-wise equality of the upper-cased names.
bool sameKey(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (upperLetter(*a) != upperLetter(*b)) return false;
    return *a == *b;
}

}  // namespace

C_AnimationList::C_AnimationList() {
    animations_.reserve(1000);
    buckets_.reserve(50);
}

C_AnimationList::~C_AnimationList() { Clear(); }

int C_AnimationList::Add(const char* path) {
    // The index is keyed by the first letter, which an empty name does not have.
    if (!path || !path[0]) {
        logPrintf("Animation list: an animation needs a file name\n");
        return -1;
    }
    animations_.push_back(new C_Animation(path));
    const int i = static_cast<int>(animations_.size()) - 1;
    index(i);
    return i;
}

void C_AnimationList::index(int i) {
    const char letter = upperLetter(animations_[i]->FileName()[0]);
    for (uint32_t b = 0; b < buckets_.size(); ++b)
        if (buckets_[b]->letter == letter) {
            buckets_[b]->indices.push_back(i);
            return;
        }
    C_AnimationHashMap* bucket = new C_AnimationHashMap(letter);
    bucket->indices.push_back(i);
    buckets_.push_back(bucket);
}

C_Animation* C_AnimationList::At(int i) const {
    if (i < 0 || static_cast<uint32_t>(i) >= animations_.size()) return nullptr;
    return animations_[i];
}

int C_AnimationList::Find(const char* name) const {
    if (!name || !name[0]) return -1;
    const char letter = upperLetter(name[0]);
    for (uint32_t b = 0; b < buckets_.size(); ++b) {
        if (buckets_[b]->letter != letter) continue;
        const cArray<int32_t>& indices = buckets_[b]->indices;
        for (uint32_t k = 0; k < indices.size(); ++k) {
            const C_Animation* a = At(indices[k]);
            if (a && a->FileName() && sameKey(a->FileName(), name)) return indices[k];
        }
        return -1;
    }
    return -1;
}

void C_AnimationList::LoadAll() {
    for (uint32_t i = 0; i < animations_.size(); ++i) {
        C_Animation* a = animations_[i];
        a->Load();
        a->LoadResources();
        a->BuildSoundKeys();
        a->BuildStops();
    }
}

void C_AnimationList::SaveAll() {
    for (uint32_t i = 0; i < animations_.size(); ++i) animations_[i]->Save();
}

void C_AnimationList::Clear() {
    for (uint32_t i = 0; i < animations_.size(); ++i) delete animations_[i];
    animations_.clear();
    for (uint32_t i = 0; i < buckets_.size(); ++i) delete buckets_[i];
    buckets_.clear();
}
