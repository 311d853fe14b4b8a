// Shared by the sound-file fuzz targets: the input goes through a scratch file into a reader.
#pragma once

#include "engine/snd/sndfile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// One scratch file per process, removed at exit; the readers open files by name.
const char* scratchPath(const char* suffix) {
    static char path[64];
    if (!path[0]) {
        snprintf(path, sizeof path, "/tmp/velmora_fuzz_XXXXXX%s", suffix);
        int fd = mkstemps(path, static_cast<int>(strlen(suffix)));
        if (fd < 0) abort();
        close(fd);
        atexit([] { unlink(path); });
    }
    return path;
}

// Opens the input with the reader and reads it plainly, across the end and looping, in odd
// block sizes; at most a few hundred KB of PCM per input.
void readSound(CFileSND& reader, const uint8_t* data, size_t size, const char* suffix) {
    const char* path = scratchPath(suffix);
    FILE* f = fopen(path, "wb");
    if (!f) abort();
    if (size) fwrite(data, 1, size, f);
    fclose(f);
    if (reader.Open(path) != 0) return;

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
