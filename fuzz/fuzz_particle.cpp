// Fuzzes the particle definition reader: arbitrary bytes as a particle file, loaded through the
// file layer, then run for a second of updates and drawn (without a sprite) so that whatever
// parameters get through must move and age particles without faulting.
#include <cstdint>

#include "anim/fx.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParticleParams params;
    particleParamsParse(data, size, &params);
    const std::string path = fuzzsupport::writeScratch("fuzz.psi", data, size);
    FxActor actor(nullptr);
    ParticleSystem system(path.c_str(), &actor);
    system.StartAt(512, 384);
    for (int i = 0; i < 40; ++i) {
        system.SetPosition(512.0f + i, 384.0f - i, (i & 1) != 0);
        system.Update(0.025f);
        if (system.LiveCount() < 0 || system.LiveCount() > ParticleSystem::kMaxParticles) abort();
    }
    system.Draw();
    system.Stop(true);
    return 0;
}
