// Fuzzes the sound scripts: arbitrary bytes as "sounds.ini" and as the second music list, loaded,
// each sound played and each name asked for as music, then unloaded. The sound engine runs
// without a device, on a clock of its own.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/data/ini.h"
#include "engine/snd/snd.h"
#include "engine/snd/snd_internal.h"
#include "fuzz/fuzz_support.h"

namespace {

unsigned gNow = 0;
unsigned fuzzClock() { return gNow; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        const std::string& dir = fuzzsupport::scratchDir();
        if (mkdir((dir + "/data").c_str(), 0700) != 0 || mkdir((dir + "/data/snd").c_str(), 0700) != 0)
            abort();
        return true;
    }();
    (void)ready;
    if (size > (1u << 16)) return 0;
    // The music list is found from the current folder; libFuzzer's own files are not.
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(fuzzsupport::scratchDir().c_str()) != 0) abort();
    fuzzsupport::writeScratch("sounds.ini", data, size);
    fuzzsupport::writeScratch("data/snd/music.ini", data, size);
    iniFreeAll();
    sndSetClock(fuzzClock);
    sndInitWithoutDevice();
    sndLoadScript("sounds.ini");

    char sections[2048];
    iniGetSections("sounds.ini", sections, sizeof sections);
    int n = 0;
    for (const char* s = sections; *s && n < 8; s += strlen(s) + 1, ++n) {
        sndSound* sound = sndPlay(s, n % 3);
        gNow += 30;
        sndTick(0);
        sndStop(sound);
        sndPlayMusic(s, 1, 1, nullptr);
        gNow += 30;
        sndTick(0);
    }
    sndStopMusicNow();
    sndUnloadScript("sounds.ini");
    sndDone();
    sndSetClock(nullptr);
    iniFreeAll();
    if (chdir(here) != 0) abort();
    return 0;
}
