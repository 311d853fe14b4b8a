// The reader base class, its looping read and the choice of reader by file extension.
#include "engine/snd/sndfile.h"

#include "core/strings.h"
#include "engine/data/file.h"
#include "engine/platform/log.h"

#include <cstring>

CFileSND::CFileSND() : format(), dataSize(0), position(0) {}

CFileSND::~CFileSND() { source.Close(); }

// Both open forms come here: the reader's own header reading over the opened source.
int CFileSND::Open(const char* name) {
    Close(0);
    format = WaveFormat();
    dataSize = 0;
    position = 0;
    if (!source.Open(name)) return 1;
    return OpenSource(name);
}

int CFileSND::OpenMemory(const unsigned char* data, unsigned size, const char* name) {
    Close(0);
    format = WaveFormat();
    dataSize = 0;
    position = 0;
    source.OpenMemory(data, size);
    return OpenSource(name ? name : "(memory)");
}

int CFileSND::OpenSource(const char*) { return Close(1); }

void CFileSND::Rewind() {}

unsigned CFileSND::Read(void*, unsigned, int) { return 0; }

int CFileSND::Close(int code) {
    source.Close();
    return code;
}

bool SndSource::Open(const char* name) {
    Close();
    file = fileOpen(name, 1);
    if (!file) {
        logPrintf("sound: cannot open %s\n", name ? name : "(null)");
        return false;
    }
    length = fileSize(file);
    return true;
}

void SndSource::OpenMemory(const unsigned char* data, unsigned size) {
    Close();
    // A zero-length block still counts as open, so that it is refused as a file would be.
    static const unsigned char kNothing = 0;
    memory = data ? data : &kNothing;
    length = data ? static_cast<long>(size) : 0;
}

void SndSource::Close() {
    if (file) fileClose(file);
    file = nullptr;
    memory = nullptr;
    length = offset = 0;
}

bool SndSource::Seek(long to) {
    if (to < 0 || to > length) return false;
    if (file && fileSeek(file, to) != 0) return false;
    if (!file && !memory) return false;
    offset = to;
    return true;
}

int SndSource::Read(void* buffer, int count) {
    long left = length - offset;
    if (count <= 0 || left <= 0) return 0;
    if (count > left) count = static_cast<int>(left);
    int got = 0;
    if (file) {
        got = fileRead(file, buffer, count);
    } else if (memory) {
        memcpy(buffer, memory + offset, static_cast<size_t>(count));
        got = count;
    }
    if (got <= 0) return 0;
    offset += got;
    return got;
}

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
