// The reader base class, its looping read and the choice of reader by file extension.
#include "engine/snd/sndfile.h"

#include "core/strings.h"

#include <cstring>

CFileSND::CFileSND() : format(), dataSize(0), position(0) {}

CFileSND::~CFileSND() {}

int CFileSND::Open(const char*) { return 1; }

void CFileSND::Rewind() {}

unsigned CFileSND::Read(void*, unsigned, int) { return 0; }

int CFileSND::Close(int code) { return code; }

unsigned CFileSND::ReadSome(unsigned char*, unsigned) { return 0; }

unsigned CFileSND::ReadLooping(void* buffer, unsigned bytes, int loop) {
    if (!buffer) return 0;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    unsigned delivered = 0;
    // Set after a rewind until the new pass delivers a byte: an empty or undecodable file
    // would otherwise be rewound forever.
    bool freshPass = false;
    while (delivered < bytes) {
        unsigned got = position < dataSize ? ReadSome(out + delivered, bytes - delivered) : 0;
        if (got > 0) {
            delivered += got;
            freshPass = false;
            continue;
        }
        if (!loop || freshPass) break;
        Rewind();
        freshPass = true;
    }
    // Unsigned 8-bit samples are silent at 0x80, not at 0.
    memset(out + delivered, format.bitsPerSample == 8 ? 0x80 : 0, bytes - delivered);
    return delivered;
}

bool sndHasExtension(const char* name, const char* extension) {
    const char* dot = name ? strrchr(name, '.') : nullptr;
    return dot && strCmpNoCase(dot + 1, extension) == 0;
}

CFileSND* sndCreateFileByExt(const char* name) {
    if (sndHasExtension(name, "wav")) return CFileWAV::Create();
    if (sndHasExtension(name, "ogg")) return CFileOGG::Create();
    return nullptr;
}

const char* CFileSND::FormatProblem() const {
    if (format.formatTag != WAVE_FORMAT_PCM) return "not PCM";
    if (format.channels != 1 && format.channels != 2) return "not mono or stereo";
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return "not 8 or 16 bits";
    if (format.samplesPerSec < 100 || format.samplesPerSec > 200000) return "rate out of range";
    if (format.blockAlign != format.channels * format.bitsPerSample / 8)
        return "block align does not match the format";
    if (format.avgBytesPerSec != format.samplesPerSec * format.blockAlign)
        return "bytes per second do not match the format";
    return nullptr;
}
