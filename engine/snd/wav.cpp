// RIFF WAVE reader: a bounds-checked walk over the RIFF chunk, then plain reads of "data".
#include "engine/platform/log.h"
#include "engine/snd/sndfile.h"

#include <climits>
#include <cstring>

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint16_t kFormatExtensible = 0xFFFE;
// The sub-format GUID after its first two bytes (the format tag), the same for every tag.
constexpr unsigned char kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                               0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

CFileWAV* CFileWAV::Create() { return new CFileWAV(); }

CFileWAV::~CFileWAV() { Close(0); }

int CFileWAV::OpenSource(const char* name) {
    const char* problem = nullptr;
    long length = source.length;
    unsigned char header[16];
    long riffEnd = 0;
    if (length < 12 || !source.ReadAt(0, header, 12)) {
        problem = "too short for a RIFF header";
    } else if (memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "WAVE", 4) != 0) {
        problem = "not a RIFF WAVE file";
    } else {
        riffEnd = 8 + static_cast<long>(le32(header + 4));
        if (riffEnd > length) problem = "RIFF chunk runs past the end of the file (truncated)";
        else if (riffEnd < 12) problem = "RIFF chunk too small";
    }

    // Only the first "fmt " and "data" chunks count; the walk stops once both are found, so
    // whatever follows them is never looked at.
    long fmtOffset = -1, fmtSize = 0, dataAt = -1, dataBytes = 0;
    for (long at = 12; !problem && (fmtOffset < 0 || dataAt < 0) && at + 8 <= riffEnd;) {
        if (!source.ReadAt(at, header, 8)) {
            problem = "read error";
            break;
        }
        long size = static_cast<long>(le32(header + 4));
        if (size > riffEnd - at - 8) {
            problem = "chunk runs past the end of the RIFF chunk";
            break;
        }
        if (fmtOffset < 0 && memcmp(header, "fmt ", 4) == 0) {
            fmtOffset = at + 8;
            fmtSize = size;
        } else if (dataAt < 0 && memcmp(header, "data", 4) == 0) {
            dataAt = at + 8;
            dataBytes = size;
        }
        at += 8 + size + (size & 1);
    }
    if (!problem && fmtOffset < 0) problem = "no fmt chunk";
    if (!problem && dataAt < 0) problem = "no data chunk";
    if (!problem && fmtSize < 16) problem = "fmt chunk too small";
    if (!problem && dataBytes > INT_MAX) problem = "data chunk too large";
    if (!problem && !source.ReadAt(fmtOffset, header, 16)) problem = "read error";
    // The extensible record keeps the real format in its sub-format: a GUID whose first two
    // bytes are the classic format tag.
    uint16_t tag = le16(header);
    if (!problem && tag == kFormatExtensible) {
        unsigned char extension[24];
        if (fmtSize < 40) problem = "extensible fmt chunk too small";
        else if (!source.ReadAt(fmtOffset + 16, extension, 24)) problem = "read error";
        else if (le16(extension) < 22) problem = "extensible fmt chunk too small";
        else if (memcmp(extension + 10, kSubFormatTail, sizeof kSubFormatTail) != 0)
            problem = "not PCM";
        else tag = le16(extension + 8);
    }
    if (!problem) {
        format.formatTag = tag;
        format.channels = le16(header + 2);
        format.samplesPerSec = le32(header + 4);
        format.avgBytesPerSec = le32(header + 8);
        format.blockAlign = le16(header + 12);
        format.bitsPerSample = le16(header + 14);
        format.extraSize = 0;
        problem = FormatProblem();
    }
    if (problem) {
        logPrintf("sound: %s: %s\n", name, problem);
        format = WaveFormat();
        return Close(2);
    }
    dataOffset = dataAt;
    dataSize = static_cast<unsigned>(dataBytes);
    Rewind();
    return 0;
}

void CFileWAV::Rewind() {
    position = 0;
    if (source.IsOpen()) source.Seek(dataOffset);
}

unsigned CFileWAV::Read(void* buffer, unsigned bytes, int loop) {
    return ReadLooping(buffer, bytes, loop);
}

unsigned CFileWAV::ReadSome(unsigned char* buffer, unsigned bytes) {
    if (!source.IsOpen() || position >= dataSize) return 0;
    unsigned want = dataSize - position;
    if (want > bytes) want = bytes;
    int got = source.Read(buffer, static_cast<int>(want));
    if (got <= 0) return 0;
    position += static_cast<unsigned>(got);
    return static_cast<unsigned>(got);
}

int CFileWAV::Close(int code) {
    source.Close();
    return code;
}
