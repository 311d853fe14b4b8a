// Fuzz target: the .anm reader on arbitrary file contents; what it accepts is evaluated, saved
// and must read back into the same bytes.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "anim/animation.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static C_Animation* anim = new C_Animation("");
    const std::string path = fuzzsupport::writeScratch("fuzz.anm", data, size);
    anim->SetFileName(path.c_str());
    if (anim->Load() != kAnimOk) {
        if (anim->ObjectCount() != 0) abort();
        return 0;
    }
    anim->BuildSoundKeys();
    anim->BuildStops();
    const float length = anim->Length();
    for (float t = -1.0f; t <= length + 1.0f; t += (length + 2.0f) / 8.0f) {
        anim->NextStop(t);
        for (int i = 0; i < anim->ObjectCount(); ++i) anim->ObjectAt(i)->Transform(t);
    }
    const std::string saved = fuzzsupport::scratchDir() + "/saved.anm";
    anim->SetFileName(saved.c_str());
    if (anim->Save() != kAnimOk || anim->Load() != kAnimOk) abort();
    anim->SetFileName(path.c_str());
    return 0;
}
