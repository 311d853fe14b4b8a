// Ogg Vorbis reader: vorbisfile decoding over a file or a block in memory, 16-bit little-endian output.
#include "engine/platform/log.h"
#include "engine/snd/sndfile.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <ogg/ogg.h>
#include <vorbis/vorbisfile.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

size_t sourceRead(void* buffer, size_t size, size_t count, void* data) {
    auto* source = static_cast<SndSource*>(data);
    if (size == 0 || count == 0) return 0;
    size_t want = count;
    if (want > INT_MAX / size) want = INT_MAX / size;
    int got = source->Read(buffer, static_cast<int>(want * size));
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

int sourceSeek(void* data, ogg_int64_t offset, int whence) {
    auto* source = static_cast<SndSource*>(data);
    ogg_int64_t target = offset;
    if (whence == SEEK_CUR) target += source->offset;
    else if (whence == SEEK_END) target += source->length;
    else if (whence != SEEK_SET) return -1;
    if (target < 0 || target > source->length) return -1;
    return source->Seek(static_cast<long>(target)) ? 0 : -1;
}

long sourceTell(void* data) { return static_cast<SndSource*>(data)->offset; }

// True when a page of the first logical bitstream is missing or damaged: a gap in its page
// sequence numbers (libogg drops pages whose checksum fails, so those show as gaps too). Reads
// the whole file and checks every page; nothing is decoded.
bool hasHole(SndSource& source) {
    if (!source.Seek(0)) return false;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    ogg_page page;
    bool first = true, hole = false;
    int serial = 0;
    long expected = 0;
    for (long left = source.length; !hole;) {
        int got = ogg_sync_pageout(&sync, &page);
        if (got == 1) {
            if (first) {
                serial = ogg_page_serialno(&page);
                expected = ogg_page_pageno(&page);
                first = false;
            }
            if (ogg_page_serialno(&page) != serial) continue;
            hole = ogg_page_pageno(&page) != expected;
            expected = ogg_page_pageno(&page) + 1;
            if (ogg_page_eos(&page)) break;
            continue;
        }
        if (got < 0) continue;  // bytes skipped to the next page: the sequence tells
        if (left <= 0) break;
        const int chunk = left < 65536 ? static_cast<int>(left) : 65536;
        char* buffer = ogg_sync_buffer(&sync, chunk);
        const int read = buffer ? source.Read(buffer, chunk) : 0;
        if (read <= 0) break;
        ogg_sync_wrote(&sync, read);
        left -= read;
    }
    ogg_sync_clear(&sync);
    return hole;
}

enum class Pages { Whole, Hole, Unsure, Cut };

// The quick look taken at every open: from page header to page header, reading the headers
// only, so that a music file is not read whole at start-up. A gap in the first bitstream's
// sequence numbers is a hole; anything that is not a page header where one should start is
// left to hasHole. Checksums are not tested here: a page damaged inside is dropped by the
// decoder and found when the first pass ends short (see ReadSome).
Pages walkPages(SndSource& source) {
    unsigned char h[27 + 255];
    long at = 0, expected = 0;
    uint32_t serial = 0;
    for (bool first = true; at < source.length;) {
        if (!source.ReadAt(at, h, 27) || memcmp(h, "OggS", 4) != 0 || h[4] != 0) return Pages::Unsure;
        const int segments = h[26];
        if (!source.ReadAt(at + 27, h + 27, segments)) return Pages::Unsure;
        long body = 0;
        for (int i = 0; i < segments; ++i) body += h[27 + i];
        const uint32_t pageSerial = h[14] | h[15] << 8 | h[16] << 16 | static_cast<uint32_t>(h[17]) << 24;
        const long sequence = static_cast<long>(h[18] | h[19] << 8 | h[20] << 16 | static_cast<uint32_t>(h[21]) << 24);
        if (first) {
            serial = pageSerial;
            expected = sequence;
            first = false;
        }
        if (pageSerial == serial) {
            if (sequence != expected) return Pages::Hole;
            expected = sequence + 1;
            if (h[5] & 4) return Pages::Whole;  // the end of the bitstream
        }
        at += 27 + segments + body;
    }
    // Page after page up to the end of the file, and none of them closed the stream: the file
    // lost its tail.
    return at >= source.length ? Pages::Cut : Pages::Unsure;
}

}  // namespace

CFileOGG* CFileOGG::Create() { return new CFileOGG(); }

CFileOGG::~CFileOGG() { Close(0); }

int CFileOGG::OpenSource(const char* name) {
    snprintf(logName, sizeof logName, "%s", name);
    const Pages pages = walkPages(source);
    const bool damaged =
        pages == Pages::Hole || ((pages == Pages::Unsure || pages == Pages::Cut) && hasHole(source));
    if (!source.Seek(0)) {
        logPrintf("sound: %s: cannot read\n", name);
        return Close(2);
    }
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
    holeLogged = false;
    if (pages == Pages::Cut)
        logPrintf("sound: %s: the stream has no end page (cut short); playing what is there\n", name);
    // The stream's length counts the samples of missing pages too; a damaged file is decoded
    // once here so that the size is what the reads will really deliver.
    if (damaged) {
        logPrintf("sound: %s: pages missing or damaged; playing on past them\n", name);
        holeLogged = true;
        Rewind();
        unsigned char scratch[8192];
        const unsigned stated = dataSize;
        unsigned decoded = 0;
        for (unsigned got; (got = ReadSome(scratch, sizeof scratch)) > 0;) decoded += got;
        dataSize = decoded < stated ? decoded : stated;
    }
    Rewind();
    return 0;
}

void CFileOGG::Rewind() {
    position = 0;
    if (stream) ov_pcm_seek(stream, 0);
}

unsigned CFileOGG::Read(void* buffer, unsigned bytes, int loop) {
    // The decoder hands out whole sample frames only: a request for part of a frame gives 0,
    // which the looping read would take for the end of the data.
    const unsigned frame = format.blockAlign ? format.blockAlign : 1;
    const unsigned whole = bytes - bytes % frame;
    const unsigned got = ReadLooping(buffer, whole, loop);
    if (buffer && whole < bytes) memset(static_cast<unsigned char*>(buffer) + whole, 0, bytes - whole);
    return got;
}

unsigned CFileOGG::ReadSome(unsigned char* buffer, unsigned bytes) {
    if (!stream || position >= dataSize) return 0;
    // Never past dataSize: the length is that of the first logical bitstream, and a chained
    // file goes on into the next one.
    unsigned want = dataSize - position;
    if (want > bytes) want = bytes;
    int link = 0;
    long got;
    // A hole (missing or damaged pages) is passed over: the pass goes on with what follows it.
    while ((got = ov_read(stream, reinterpret_cast<char*>(buffer), static_cast<int>(want), 0, 2, 1,
                          &link)) == OV_HOLE) {
        if (!holeLogged) logPrintf("sound: %s: pages missing or damaged; playing on past them\n", logName);
        holeLogged = true;
    }
    if (got == 0 && position < dataSize) {
        // The end came early: pages were lost that the look at open did not see. The size is
        // what the pass really gave, so that looping goes on from the end as it is.
        if (!holeLogged)
            logPrintf("sound: %s: ends before its stated length (damaged or cut); taken as it is\n", logName);
        holeLogged = true;
        dataSize = position;
    }
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
    source.Close();
    return code;
}
