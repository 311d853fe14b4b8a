// Fuzz target: the TGA reader on arbitrary file contents.
#include "fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    cTGAImage image;
    return fuzzImageReader(image, data, size);
}
