// Fuzz target: the Ogg Vorbis reader on arbitrary file contents.
#include "sound_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFileOGG reader;
    readSound(reader, data, size, "fuzz.ogg");
    return 0;
}
