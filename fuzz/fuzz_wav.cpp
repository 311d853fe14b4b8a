// Fuzz target: the RIFF WAVE reader on arbitrary file contents.
#include "sound_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFileWAV reader;
    readSound(reader, data, size, "fuzz.wav");
    return 0;
}
