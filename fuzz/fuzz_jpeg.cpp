// Fuzz target: the JPEG reader on arbitrary file contents.
#include "fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    cJPGImage image;
    return fuzzImageReader(image, data, size);
}
