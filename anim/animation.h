// A key-framed animation (the contents of one .anm file): its object trees, play time, stops
// that hold playback until a key, the hint fade while holding, and the list of animations found
// by file name.
#pragma once

#include <cstdint>

#include "anim/animation_object.h"
#include "core/array.h"

// Called after each draw of an animation with (drawn time, opacity, centre).
typedef void (*AnimDrawHook)(float time, float opacity, const Vec2f* centre);

class C_Animation {
public:
    explicit C_Animation(const char* fileName);
    virtual ~C_Animation();
    C_Animation(const C_Animation&) = delete;
    C_Animation& operator=(const C_Animation&) = delete;

    void SetFileName(const char* name);
    const char* FileName() const { return fileName_; }

    // A missing file leaves no objects and gives 0. A truncated or malformed one is logged
    // (file, offset, reason), leaves no objects and gives kAnimFail.
    int32_t Load();
    // kAnimFail (logged) when the file cannot be written.
    int32_t Save() const;
    void LoadResources();
    // Every object's pictures read again, or let go (texts and fonts stay).
    void LoadSprites();
    void FreeSprites();
    // Every object's texts, its pictures only checked for presence (see LoadAllTexts).
    void LoadTexts();
    void BuildSoundKeys();
    // Clears every passed flag: all stops hold again.
    void BuildStops();
    void Rewind();
    float Length() const;
    int AdvanceSeconds(float s);
    int AdvanceMs(int ms);
    bool IsShownAtEnd() const { return shownTime_ >= Length(); }
    bool IsDrawnAtEnd() const { return lastDrawTime_ >= Length(); }
    bool IsWaitingAtStop(float t) const;
    // The time to jump to from t: the nearer of the next mark and the first stop not passed; a
    // stop at t is passed. The objects' sound clocks go to just before the result.
    float NextStop(float t);
    void SkipToNextStop();
    void SetObjectsTime(float t);

    // Draws at t, held at the first stop not passed when stops are on; returns the drawn time.
    float Draw(float t, float opacity, const Vec2f& centre, int stopsOn);
    int DrawCentred(float opacity);
    float DrawAtFraction(float f, float opacity, const Vec2f& centre, int stopsOn);
    void SetDrawHook(AnimDrawHook hook) { hook_ = hook; }

    // Top-level list editing: an index, or -1 / kAnimFail for a bad index, null or duplicate.
    C_AnimationObject* NewObject() const { return new C_AnimationObject; }
    int AddObject(C_AnimationObject* object);
    // Inserts before index (count appends); -1 for an index outside 0..count, null or duplicate.
    int InsertObject(int index, C_AnimationObject* object);
    // Swaps two top-level objects given by pointer or by index; kAnimFail when one is not in the
    // list (or the index is out of range).
    int32_t SwapObjects(C_AnimationObject* a, C_AnimationObject* b);
    int32_t SwapObjectsAt(int i, int j);
    int ObjectCount() const { return static_cast<int>(objects_.size()); }
    C_AnimationObject* ObjectAt(int i) const;
    C_AnimationObject* FindObject(int serial) const;
    // The index of the top-level object with that serial; -1 when none.
    int IndexOfSerial(int serial) const;
    // Takes the object out of the list without deleting it; the caller owns it then.
    int32_t RemoveObjectAt(int i);
    // Deletes the object wherever it hangs (top level or any depth of children); kAnimFail when
    // it is not in this animation.
    int32_t DeleteObject(C_AnimationObject* object);
    int32_t DeleteObjectAt(int i);
    // 1 when a top-level object, asked in order, reports a hit at the point; else 0.
    int HitTest(const Vec2f& point, float t, float opacity, const Vec2f& centre);

    float Time() const { return time_; }
    float ShownTime() const { return shownTime_; }
    float HintLevel() const { return hintLevel_; }

private:
    void deleteObjects();

    float time_ = 0.0f;
    float shownTime_ = 0.0f;
    float lastDrawTime_ = -1.0f;
    float hintLevel_ = 0.0f;
    float hintFadeTime_ = 0.5f;
    AnimDrawHook hook_ = nullptr;
    cArray<C_StopKey> stops_;
    char* fileName_ = nullptr;
    cArray<C_AnimationObject*> objects_;
    HSPRITE frameBars_ = nullptr;
};

// Animations found by file name without regard to A-Z case, through buckets keyed by the first
// letter of the upper-cased name.
class C_AnimationHashMap {
public:
    explicit C_AnimationHashMap(char letter_) : letter(letter_) { indices.reserve(50); }
    virtual ~C_AnimationHashMap() {}

    char letter;
    cArray<int32_t> indices;
};

class C_AnimationList {
public:
    C_AnimationList();
    virtual ~C_AnimationList();
    C_AnimationList(const C_AnimationList&) = delete;
    C_AnimationList& operator=(const C_AnimationList&) = delete;

    // The new animation's index; -1 (logged) for a null or empty name. Names are not checked
    // for duplicates: Find gives the earlier one.
    int Add(const char* path);
    C_Animation* At(int i) const;
    int Find(const char* name) const;
    C_Animation* FindAnimation(const char* name) const { return At(Find(name)); }
    void LoadAll();
    void SaveAll();
    void Clear();
    int Count() const { return static_cast<int>(animations_.size()); }

private:
    void index(int i);

    cArray<C_Animation*> animations_;
    cArray<C_AnimationHashMap*> buckets_;
};
