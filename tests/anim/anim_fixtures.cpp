// Fixtures of the animation tests.
#include "anim_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tools/anmgen_text.h"

std::vector<DrawCall> Recorder::draws;
std::vector<TextCall> Recorder::texts;
std::vector<SoundCall> Recorder::sounds;

namespace {

void recordDraw(sMaterial material, int x, int y, int w, int h, HSPRITE sprite, int, int, int,
                int, uint32_t colour, int time) {
    Recorder::draws.push_back({materialCode(material), x, y, w, h, sprite, colour, time});
}

void recordText(sMaterial, CGraphFont*, int x, int y, float scaleX, float, const char16_t* text,
                uint32_t colour, int, int, int) {
    Recorder::texts.push_back({x, y, scaleX, text, colour});
}

sndSound* recordSound(const char* name, int, float, float pan, float) {
    Recorder::sounds.push_back({name, pan});
    return nullptr;
}

}  // namespace

int materialCode(const sMaterial& m) {
    // Stored as b, a, c, d.
    return m.bytes[1] << 24 | m.bytes[0] << 16 | m.bytes[2] << 8 | m.bytes[3];
}

Recorder::Recorder() {
    clear();
    animOutput() = {recordDraw, recordText, recordSound};
}

Recorder::~Recorder() {
    animOutputReset();
    clear();
}

void Recorder::clear() {
    draws.clear();
    texts.clear();
    sounds.clear();
}

const char* fixedFont() {
    static bool made = false;
    if (!made) {
        writeTga24("Fonts/fixed.tga", 16, 16, [](int, int) { return Rgb{200, 200, 200}; });
        std::string metrics = "10 10 52\n";
        for (int c = 'A'; c <= 'Z'; ++c) metrics += std::to_string(c) + " 0 0 10\n";
        for (int c = 'a'; c <= 'z'; ++c) metrics += std::to_string(c) + " 0 0 10\n";
        writeText("Fonts/fixed.fh", metrics);
        made = true;
    }
    return "Fonts/fixed.tga";
}

C_VectorKey* vectorKey(cArray<C_VectorKey*>& track, float t, float x, float y, int kind) {
    C_VectorKey* k = new C_VectorKey;
    k->time = t;
    k->value.Set(x, y);
    k->filter[0].kind = k->filter[1].kind = kind;
    track.push_back(k);
    return k;
}

C_FloatKey* floatKey(cArray<C_FloatKey*>& track, float t, float v, int kind) {
    C_FloatKey* k = new C_FloatKey;
    k->time = t;
    k->value = v;
    k->filter.kind = kind;
    track.push_back(k);
    return k;
}

C_ColorKey* colourKey(cArray<C_ColorKey*>& track, float t, uint32_t c, int kind) {
    C_ColorKey* k = new C_ColorKey;
    k->time = t;
    k->colour = c;
    for (C_FilterDesc& f : k->filter) f.kind = kind;
    track.push_back(k);
    return k;
}

void placeNode(C_AnimationObject& o, float x, float y, float w, float h) {
    vectorKey(o.position, 0, x, y);
    vectorKey(o.size, 0, w, h);
    floatKey(o.scaleKeys, 0, 1);
    floatKey(o.alphaKeys, 0, 1);
}

char16_t* strdup16(const char16_t* text) {
    const std::u16string s(text);
    char16_t* copy = static_cast<char16_t*>(malloc((s.size() + 1) * sizeof(char16_t)));
    std::copy(s.c_str(), s.c_str() + s.size() + 1, copy);
    return copy;
}

std::string compileAnm(const std::string& source) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(anmCompile(source, "test.txt", bytes, error)) << error;
    return std::string(bytes.begin(), bytes.end());
}
