// Fuzzes the resource pack reader: arbitrary bytes as a pack, every entry of its directory
// loaded (twice, to share the block) and released.
#include <cstdint>
#include <cstring>

#include "engine/data/file.h"
#include "engine/data/file_internal.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = fuzzsupport::writeScratch("fuzz.pak", data, size);
    packOpen(path.c_str());
    int count = packEntryCount();
    for (int i = 0; i < count && i < 64; ++i) {
        char name[64];
        strcpy(name, packEntryName(i));
        // A stored ".zz" entry answers to its name without the suffix.
        size_t n = strlen(name);
        if (nameEndsZz(name)) name[n - 3] = '\0';
        if (!packHas(name)) continue;  // shadowed by an earlier entry: keep off the disk
        unsigned char *a = nullptr, *b = nullptr;
        int sa = fileLoad(name, &a);
        int sb = fileLoad(name, &b);
        if (sa > 0 && sb > 0 && a[0] != b[0]) __builtin_trap();
        memFree(a);
        memFree(b);
    }
    packClose(path.c_str());
    packCloseAll();
    return 0;
}
