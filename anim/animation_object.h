// One node of a key-framed animation: a sprite and/or a text with seven key tracks, children,
// evaluation at a time down the tree, drawing and the sounds of its keys.
#pragma once

#include <cstdint>

#include "anim/animation_keys.h"
#include "anim/matrix.h"
#include "anim/textbox.h"
#include "core/array.h"
#include "engine/gr/gr.h"

struct sndSound;

// Tracks in the order of the file and of every operation over all of them.
enum AnimTrack {
    kTrackPosition = 0,
    kTrackSize,
    kTrackScale,
    kTrackAlpha,
    kTrackRotation,
    kTrackFrame,
    kTrackColour,
    kTrackCount
};

// Where nodes send their drawing and sounds: the engine's calls, which tests replace to watch.
struct AnimOutput {
    void (*draw)(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int sx, int sy,
                 int sw, int sh, uint32_t colour, int time);
    void (*drawText)(sMaterial material, CGraphFont* font, int x, int y, float scaleX,
                     float scaleY, const char16_t* text, uint32_t colour, int state, int xalign,
                     int yalign);
    sndSound* (*playSound)(const char* name, int group, float volume, float pan, float frequency);
};
AnimOutput& animOutput();
// Puts the engine's calls back.
void animOutputReset();

// Deepest nesting of children a file may hold.
constexpr int kAnimMaxDepth = 64;

class C_AnimationObject {
public:
    C_AnimationObject();
    virtual ~C_AnimationObject();
    C_AnimationObject(const C_AnimationObject&) = delete;
    C_AnimationObject& operator=(const C_AnimationObject&) = delete;

    // Frees keys, sound keys, lines, children, texts, sprite, mask and font.
    void Clear();
    // One object record with its children. kAnimFail (the reader has logged why) leaves the
    // object cleared.
    int32_t Read(AnmReader& in, int depth = 0);
    int32_t Write(AnmWriter& out) const;
    // Drops one leading backslash (freeing the old text); anything else stays.
    static char* NormalizePath(char* path);

    // Sprite (with frames) and mask, then the text, then each child's, depth first.
    void LoadSprite();
    void LoadAllResources();
    // Pictures only (sprite, frames and mask), of this object and its children: an animation
    // that is not shown can let them go and read them again before it shows.
    void LoadAllSprites();
    void FreeAllSprites();
    // Texts only, of this object and its children, in the order LoadAllResources takes them; a
    // picture the tree names that is not there is reported as loading it would report it, without
    // reading the pictures that are.
    void LoadAllTexts();
    void BuildAllSoundKeys();
    int32_t LoadText();

    // Evaluates this node and its ancestors at t; a second call at the same t does nothing.
    int32_t Transform(float t);
    Vec2f WorldPosition(float t);
    float SizeX(float t);
    float SizeY(float t);
    float Scale(float t);
    float Alpha(float t);
    uint32_t Colour(float t);
    float WorldRotation(float t);
    // Unit directions of the node's x axis and of its up axis (0, -1) on the screen.
    Vec2f WorldXAxis(float t);
    Vec2f WorldUpAxis(float t);
    float GetFrame(float t) const;

    // Index of the last key not after t; -1 for an empty track or t before the first key.
    int FindKey(int track, float t) const;
    int KeyCount(int track) const;
    // Null out of range.
    C_KeyBase* GetKey(int track, int i) const;
    // t < 0 or a key at t already: -1; else the index of the new key.
    int AddKey(int track, float t);
    // A key at t in every track where there is none.
    void AddKeys(float t);
    // The first key is never deleted: kAnimFail for i < 1 or out of range.
    int32_t DeleteKey(int track, int i);
    // In every track, the key at exactly t (never a first key).
    void DeleteKeysAt(float t);
    // Key values by track and index: kAnimFail when the key does not exist.
    int32_t SetPosition(int i, float x, float y);
    int32_t SetSize(int i, float x, float y);
    int32_t SetScale(int i, float v);
    int32_t SetAlpha(int i, float v);
    int32_t SetRotation(int i, float v);
    int32_t SetFrame(int i, float v);
    int32_t SetColour(int i, uint32_t c);

    float GetDuration() const;
    int ChildCount() const { return static_cast<int>(children.size()); }
    C_AnimationObject* ChildAt(int i) const;
    // Takes the child over.
    void AddChild(C_AnimationObject* child);
    C_AnimationObject* FindBySerial(int n);
    Vec2f GetSpriteSize() const;

    void CollectStopKeys(cArray<C_StopKey>& list) const;
    void BuildSoundKeys();
    void PlaySounds(float t0, float t1, float x);
    // Sets the sound clock of this node and its descendants.
    void SetTime(float t);

    int32_t Draw(float t, float alphaFactor, const Vec2f& origin);
    int HitTest(const Vec2f& point, float t, float alphaFactor, const Vec2f& origin);

    // The node record; tracks are sorted by key time.
    int32_t id;
    char* name;
    int32_t clickable;
    cArray<C_SoundKey*> soundKeys;
    int32_t serial;
    float evalTime;
    Vec2f offset;
    Matrix3f world;
    Matrix3f invWorld;
    float scale;
    uint32_t colour;
    float alpha;
    float sizeX, sizeY;
    C_AnimationObject* parent;
    int32_t spriteBlend;
    char* spritePath;
    int32_t frameCount;
    HSPRITE sprite;
    char* maskPath;
    C_MaskDesc* mask;
    CGraphFont* font;
    char* textKey;
    int32_t textBlend;
    float boxWidth, boxHeight;
    TextLines lines;
    float textScale;
    char* fontPath;
    int32_t alignH, alignV;
    cArray<C_AnimationObject*> children;
    cArray<C_VectorKey*> position;
    cArray<C_VectorKey*> size;
    cArray<C_FloatKey*> scaleKeys;
    cArray<C_FloatKey*> alphaKeys;
    cArray<C_ColorKey*> colourKeys;
    cArray<C_FloatKey*> rotation;
    cArray<C_FloatKey*> frame;

private:
    int frameArgument(float t) const;
    Vec2f worldDirection(float t, const Vec2f& direction);
};
