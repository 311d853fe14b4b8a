// Ogg Vorbis reader: vorbisfile decoding over the file layer, 16-bit little-endian output.
#include "engine/data/file.h"
#include "engine/platform/log.h"
#include "engine/snd/sndfile.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <climits>
#include <cstdio>
#include <new>

namespace {

size_t sourceRead(void* buffer, size_t size, size_t count, void* data) {
    auto* source = static_cast<CFileOGG::Source*>(data);
    if (size == 0 || count == 0) return 0;
    long left = source->length - source->offset;
    size_t want = count;
    if (want > static_cast<size_t>(left) / size) want = static_cast<size_t>(left) / size;
    if (want > INT_MAX / size) want = INT_MAX / size;
    if (want == 0) return 0;
    int got = fileRead(source->file, buffer, static_cast<int>(want * size));
    if (got <= 0) return 0;
    source->offset += got;
    return static_cast<size_t>(got) / size;
}

int sourceSeek(void* data, ogg_int64_t offset, int whence) {
    auto* source = static_cast<CFileOGG::Source*>(data);
    ogg_int64_t target = offset;
    if (whence == SEEK_CUR) target += source->offset;
    else if (whence == SEEK_END) target += source->length;
    else if (whence != SEEK_SET) return -1;
    if (target < 0 || target > source->length) return -1;
    if (fileSeek(source->file, static_cast<long>(target)) != 0) return -1;
    source->offset = static_cast<long>(target);
    return 0;
}

long sourceTell(void* data) { return static_cast<CFileOGG::Source*>(data)->offset; }

}  // namespace

CFileOGG* CFileOGG::Create() { return new CFileOGG(); }

CFileOGG::~CFileOGG() { Close(0); }

int CFileOGG::Open(const char* name) {
    Close(0);
    format = WaveFormat();
    dataSize = 0;
    position = 0;
    source.file = fileOpen(name, 1);
    if (!source.file) {
        logPrintf("sound: cannot open %s\n", name ? name : "(null)");
        return 1;
    }
    source.length = fileSize(source.file);
    source.offset = 0;
    stream = new (std::nothrow) OggVorbis_File;
    ov_callbacks io = {sourceRead, sourceSeek, nullptr, sourceTell};
    // On failure vorbisfile clears the stream itself; the file stays ours to close.
    if (!stream || ov_open_callbacks(&source, stream, nullptr, 0, io) != 0) {
        delete stream;
        stream = nullptr;
        logPrintf("sound: %s: not an Ogg Vorbis stream\n", name);
        return Close(2);
    }
    const char* problem = nullptr;
    vorbis_info* info = ov_info(stream, 0);
    ogg_int64_t samples = ov_pcm_total(stream, 0);
    if (!info) {
        problem = "no stream information";
    } else {
        format.formatTag = WAVE_FORMAT_PCM;
        format.channels = static_cast<uint16_t>(info->channels > 0 && info->channels < 65536 ? info->channels : 0);
        format.samplesPerSec = static_cast<uint32_t>(info->rate > 0 ? info->rate : 0);
        format.bitsPerSample = 16;
        format.blockAlign = static_cast<uint16_t>(format.channels * 2);
        format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
        format.extraSize = 0;
        problem = FormatProblem();
    }
    if (!problem && samples < 0) problem = "no length";
    if (!problem && samples > INT_MAX / format.blockAlign) problem = "too long";
    if (problem) {
        logPrintf("sound: %s: %s\n", name, problem);
        format = WaveFormat();
        return Close(2);
    }
    dataSize = static_cast<unsigned>(samples * 16 * format.channels / 8);
    Rewind();
    return 0;
}

void CFileOGG::Rewind() {
    position = 0;
    if (stream) ov_pcm_seek(stream, 0);
}

unsigned CFileOGG::Read(void* buffer, unsigned bytes, int loop) {
    return ReadLooping(buffer, bytes, loop);
}

unsigned CFileOGG::ReadSome(unsigned char* buffer, unsigned bytes) {
    if (!stream || position >= dataSize) return 0;
    // Never past dataSize: the length is that of the first logical bitstream, and a chained
    // file goes on into the next one.
    unsigned want = dataSize - position;
    if (want > bytes) want = bytes;
    int link = 0;
    long got = ov_read(stream, reinterpret_cast<char*>(buffer), static_cast<int>(want), 0, 2, 1, &link);
    if (got <= 0) return 0;
    position += static_cast<unsigned>(got);
    return static_cast<unsigned>(got);
}

int CFileOGG::Close(int code) {
    if (stream) {
        ov_clear(stream);
        delete stream;
        stream = nullptr;
    }
    if (source.file) fileClose(source.file);
    source = {nullptr, 0, 0};
    return code;
}
