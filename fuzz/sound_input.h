// Shared by the sound-file fuzz targets: the input goes straight from memory into a reader.
#pragma once

#include "engine/snd/sndfile.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>

namespace {

// Opens the input with the reader and reads it plainly, across the end and looping, in odd
// block sizes; at most a few hundred KB of PCM per input.
void readSound(CFileSND& reader, const uint8_t* data, size_t size, const char* name) {
    fuzzsupport::scratchDir();  // the log goes to /dev/null
    if (size > (1u << 24)) return;
    if (reader.OpenMemory(data, static_cast<unsigned>(size), name) != 0) return;

    static unsigned char block[4093];
    const unsigned limit = 1 << 18;
    unsigned total = 0;
    while (total < limit && reader.Read(block, sizeof block, 0) == sizeof block) total += sizeof block;
    reader.Rewind();
    unsigned looped = reader.dataSize < limit / 2 ? 2 * reader.dataSize + 7 : limit;
    for (unsigned done = 0; done < looped; done += sizeof block) reader.Read(block, sizeof block, 1);
    reader.Close(0);
}

}  // namespace
