// Fixtures of the animation tests: a recorder of what nodes draw and play, a font of fixed glyph
// widths, keys made in one line, and .anm bytes from a readable description.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "anim/animation_object.h"
#include "tests/engine/gr/gr_fixtures.h"

struct DrawCall {
    int material;  // the four material bytes as the constructor takes them, 0xAABBCCDD
    int x, y, w, h;
    HSPRITE sprite;
    uint32_t colour;
    int time;
};
struct TextCall {
    int x, y;
    float scale;
    std::u16string text;
    uint32_t colour;
};
struct SoundCall {
    std::string name;
    float pan;
};

// Catches the nodes' drawing and sounds for its lifetime.
struct Recorder {
    Recorder();
    ~Recorder();
    static std::vector<DrawCall> draws;
    static std::vector<TextCall> texts;
    static std::vector<SoundCall> sounds;
    void clear();
};

int materialCode(const sMaterial& m);

// "Fonts/fixed.tga": line height 10, every letter 10 pixels wide, the space 5.
const char* fixedFont();

C_VectorKey* vectorKey(cArray<C_VectorKey*>& track, float t, float x, float y, int kind = 0);
C_FloatKey* floatKey(cArray<C_FloatKey*>& track, float t, float v, int kind = 0);
C_ColorKey* colourKey(cArray<C_ColorKey*>& track, float t, uint32_t c, int kind = 0);
// Position, size, scale 1 and alpha 1 from time 0.
void placeNode(C_AnimationObject& o, float x, float y, float w, float h);

// A malloc copy of a UTF-16 text, as text lines are held.
char16_t* strdup16(const char16_t* text);

// The bytes anmgen makes of a description; fails the test when it does not compile.
std::string compileAnm(const std::string& source);
