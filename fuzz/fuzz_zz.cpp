// Fuzzes the reader of ".zz" compressed files.
#include <cstdint>

#include "engine/data/file.h"
#include "engine/data/file_internal.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::scratchDir();  // the log goes nowhere
    unsigned char* out = nullptr;
    int n = zzInflate(data, static_cast<long>(size), &out, "fuzz.zz");
    if ((n > 0) != (out != nullptr)) __builtin_trap();
    if (n > 0) {
        volatile unsigned char last = out[n - 1];
        (void)last;
    }
    memFree(out);
    return 0;
}
