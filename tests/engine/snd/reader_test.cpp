// Tests of the WAV and Ogg Vorbis readers on files made here, well-formed and damaged.
#include "engine/snd/sndfile.h"
#include "fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace {

using Reader = std::unique_ptr<CFileSND>;

Bytes readAll(CFileSND& r) {
    Bytes all(r.dataSize);
    EXPECT_EQ(r.Read(all.data(), r.dataSize, 0), r.dataSize);
    return all;
}

Bytes pattern(int size) {
    Bytes b(size);
    for (int i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(i * 7 + 3);
    return b;
}

// The 40-byte extensible "fmt " body: tag 0xFFFE, then the sub-format GUID with `subTag`.
Bytes extensibleFmt(int channels, int rate, int bits, int subTag) {
    Bytes b = fmtBody(channels, rate, bits, 0xFFFE);
    Bytes extension = {22, 0, static_cast<uint8_t>(bits), 0, 3, 0, 0, 0,
                       static_cast<uint8_t>(subTag), static_cast<uint8_t>(subTag >> 8), 0, 0, 0, 0, 0x10, 0,
                       0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    b.insert(b.end(), extension.begin(), extension.end());
    return b;
}

// The file without its page number `index` (0 is the first header page).
Bytes withoutOggPage(const Bytes& file, int index) {
    size_t at = 0;
    for (int page = 0; at + 27 <= file.size(); ++page) {
        size_t size = 27 + file[at + 26];
        for (int i = 0; i < file[at + 26]; ++i) size += file[at + 27 + i];
        if (page == index) {
            Bytes out(file.begin(), file.begin() + at);
            out.insert(out.end(), file.begin() + at + size, file.end());
            return out;
        }
        at += size;
    }
    ADD_FAILURE() << "no page " << index;
    return file;
}

int oggPages(const Bytes& file) {
    int pages = 0;
    for (size_t i = 0; i + 4 <= file.size(); ++i) pages += memcmp(&file[i], "OggS", 4) == 0;
    return pages;
}

}  // namespace

TEST(SndReaders, ChosenByExtension) {
    struct Case {
        const char* name;
        int kind;  // 0 none, 1 WAV, 2 OGG
    } cases[] = {{"sound.WAV", 1}, {"a/b.c/x.wav", 1}, {"music.Ogg", 2}, {"sound.mp3", 0},
                 {"sound", 0},     {"dir.wav/x", 0},   {".wav", 1},      {"x.wav.", 0}};
    for (const Case& c : cases) {
        Reader r(sndCreateFileByExt(c.name));
        int kind = !r ? 0 : dynamic_cast<CFileWAV*>(r.get()) ? 1 : dynamic_cast<CFileOGG*>(r.get()) ? 2 : -1;
        EXPECT_EQ(kind, c.kind) << c.name;
    }
    EXPECT_EQ(sndCreateFileByExt(nullptr), nullptr);
}

TEST(SndReaders, WavFormatAndData) {
    struct Case {
        int channels, rate, bits;
        bool dataFirst, extensible;
    } cases[] = {{1, 11025, 8, false, false}, {2, 44100, 16, false, false}, {1, 22050, 16, true, false},
                 {2, 8000, 8, true, false},   {2, 44100, 16, false, true},  {1, 22050, 8, true, true}};
    for (const Case& c : cases) {
        Bytes pcm = pattern(c.channels * c.bits / 8 * 37);
        // An odd-sized chunk ahead (with its pad byte) and both orders of fmt and data.
        Bytes junk = riffChunk("LIST", {1, 2, 3});
        Bytes fmt = riffChunk("fmt ", c.extensible ? extensibleFmt(c.channels, c.rate, c.bits, 1)
                                                   : fmtBody(c.channels, c.rate, c.bits));
        Bytes data = riffChunk("data", pcm);
        Bytes file = c.dataFirst ? riffWave({junk, data, fmt}) : riffWave({junk, fmt, data});
        CFileWAV r;
        ASSERT_EQ(r.Open(writeFixture("f.wav", file).c_str()), 0);
        EXPECT_EQ(r.format.formatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(r.format.channels, c.channels);
        EXPECT_EQ(r.format.samplesPerSec, static_cast<uint32_t>(c.rate));
        EXPECT_EQ(r.format.bitsPerSample, c.bits);
        EXPECT_EQ(r.format.blockAlign, c.channels * c.bits / 8);
        EXPECT_EQ(r.format.avgBytesPerSec, static_cast<uint32_t>(c.rate * c.channels * c.bits / 8));
        EXPECT_EQ(r.format.extraSize, 0);
        EXPECT_EQ(r.dataSize, pcm.size());
        EXPECT_EQ(readAll(r), pcm);
        EXPECT_EQ(r.position, r.dataSize);
        r.Rewind();
        EXPECT_EQ(r.position, 0u);
        EXPECT_EQ(readAll(r), pcm);
    }
}

TEST(SndReaders, OggFormatAndLength) {
    struct Case {
        int channels, rate, frames;
    } cases[] = {{1, 22050, 5000}, {2, 44100, 12345}};
    for (const Case& c : cases) {
        CFileOGG r;
        std::string path = writeFixture("f.ogg", oggFile(c.channels, c.rate, sine(c.frames, c.channels, c.rate, 440)));
        ASSERT_EQ(r.Open(path.c_str()), 0);
        EXPECT_EQ(r.format.formatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(r.format.channels, c.channels);
        EXPECT_EQ(r.format.samplesPerSec, static_cast<uint32_t>(c.rate));
        EXPECT_EQ(r.format.blockAlign, 2 * c.channels);
        EXPECT_EQ(r.format.avgBytesPerSec, static_cast<uint32_t>(2 * c.channels * c.rate));
        EXPECT_EQ(r.format.bitsPerSample, 16);
        EXPECT_EQ(r.dataSize, static_cast<unsigned>(c.frames * c.channels * 2));
        Bytes all = readAll(r);
        r.Rewind();
        EXPECT_EQ(readAll(r), all);
        // Decoding is lossy but the signal survives: the samples swing close to full amplitude.
        int peak = 0;
        for (size_t i = 0; i + 1 < all.size(); i += 2)
            peak = std::max(peak, std::abs(static_cast<int16_t>(all[i] | all[i + 1] << 8)));
        EXPECT_GT(peak, 18000);
    }
}

// Reading across the end of the data, looping and not, for both readers.
TEST(SndReaders, ReadsAcrossTheEnd) {
    struct Case {
        const char* name;
        Bytes file;
        uint8_t silence;
    } cases[] = {
        {"s16.wav", wavFile(2, 44100, 16, pattern(4 * 300)), 0},
        {"u8.wav", wavFile(1, 22050, 8, pattern(500)), 0x80},
        {"mono.ogg", oggFile(1, 22050, sine(3000, 1, 22050, 300)), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reader r(sndCreateFileByExt(c.name));
        ASSERT_EQ(r->Open(writeFixture(c.name, c.file).c_str()), 0);
        Bytes all = readAll(*r);
        const unsigned n = r->dataSize;

        Bytes skip(n - 30), got(100, 0xEE);
        r->Rewind();
        r->Read(skip.data(), n - 30, 1);
        EXPECT_EQ(r->Read(got.data(), 100, 1), 100u);
        Bytes want(all.end() - 30, all.end());
        std::copy(all.begin(), all.begin() + 70, std::back_inserter(want));
        EXPECT_EQ(got, want);
        EXPECT_EQ(r->position, 70u);

        r->Rewind();
        r->Read(skip.data(), n - 30, 0);
        got.assign(100, 0xEE);
        EXPECT_EQ(r->Read(got.data(), 100, 0), 30u);
        want.assign(all.end() - 30, all.end());
        want.resize(100, c.silence);
        EXPECT_EQ(got, want);

        // A looping read longer than the whole sound wraps more than once.
        got.assign(2 * n + 10, 0xEE);
        r->Rewind();
        EXPECT_EQ(r->Read(got.data(), 2 * n + 10, 1), 2 * n + 10);
        EXPECT_TRUE(std::equal(all.begin(), all.end(), got.begin() + n));
        EXPECT_TRUE(std::equal(all.begin(), all.begin() + 10, got.begin() + 2 * n));
    }
}

namespace {

// A reader whose every pass breaks off after `good` of its `size` bytes, like a file that
// stops decoding part way; good = 0 is a file that never decodes.
class BreaksOff : public CFileSND {
public:
    BreaksOff(unsigned size, unsigned good) : good(good) { dataSize = size; }
    void Rewind() override { position = 0; }
    unsigned Read(void* buffer, unsigned bytes, int loop) override { return ReadLooping(buffer, bytes, loop); }

protected:
    unsigned ReadSome(unsigned char* buffer, unsigned bytes) override {
        unsigned n = std::min(bytes, good - std::min(good, position));
        for (unsigned i = 0; i < n; ++i) buffer[i] = static_cast<uint8_t>(position + i + 1);
        position += n;
        return n;
    }

private:
    unsigned good;
};

}  // namespace

TEST(SndReaders, LoopingReadStopsWhenAPassGivesNothing) {
    Bytes got(64, 0xEE);
    BreaksOff never(100, 0);
    EXPECT_EQ(never.Read(got.data(), 64, 1), 0u);
    EXPECT_EQ(got, Bytes(64, 0));

    BreaksOff partly(100, 10);
    EXPECT_EQ(partly.Read(got.data(), 25, 1), 25u);
    EXPECT_EQ(got[9], 10);
    EXPECT_EQ(got[10], 1);
    EXPECT_EQ(got[24], 5);

    CFileWAV wav;
    ASSERT_EQ(wav.Open(writeFixture("empty.wav", wavFile(1, 22050, 16, {})).c_str()), 0);
    EXPECT_EQ(wav.dataSize, 0u);
    got.assign(64, 0xEE);
    EXPECT_EQ(wav.Read(got.data(), 64, 1), 0u);
    EXPECT_EQ(got, Bytes(64, 0));

    CFileOGG ogg;
    ASSERT_EQ(ogg.Open(writeFixture("empty.ogg", oggFile(1, 22050, {})).c_str()), 0);
    EXPECT_EQ(ogg.dataSize, 0u);
    got.assign(64, 0xEE);
    EXPECT_EQ(ogg.Read(got.data(), 64, 1), 0u);
    EXPECT_EQ(got, Bytes(64, 0));
}

TEST(SndReaders, MissingFileFails) {
    int lines = logLines();
    CFileWAV wav;
    CFileOGG ogg;
    EXPECT_EQ(wav.Open("no such file.wav"), 1);
    EXPECT_EQ(ogg.Open("no such file.ogg"), 1);
    EXPECT_EQ(logLines(), lines + 2);
}

TEST(SndReaders, MalformedWavFailsWithOneLogLine) {
    Bytes fmt = riffChunk("fmt ", fmtBody(1, 22050, 16));
    Bytes data = riffChunk("data", pattern(40));
    Bytes badAlign = fmtBody(2, 22050, 16);
    badAlign[12] = 2;
    Bytes badBytesPerSecond = fmtBody(1, 22050, 16);
    badBytesPerSecond[8] ^= 1;
    Bytes hugeChunk = riffChunk("junk", {});
    hugeChunk[7] = 0x7F;
    Bytes wrongRiffSize = riffWave({fmt, data});
    wrongRiffSize[4] += 1;
    Bytes notRiff = riffWave({fmt, data});
    notRiff[3] = 'X';
    Bytes notWave = riffWave({fmt, data});
    notWave[11] = 'X';
    Bytes foreignGuid = extensibleFmt(1, 22050, 16, 1);
    foreignGuid[39] ^= 1;
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"not RIFF", notRiff},
        {"not WAVE", notWave},
        {"RIFF size past the end", wrongRiffSize},
        {"no fmt", riffWave({data})},
        {"no data", riffWave({fmt})},
        {"short fmt", riffWave({riffChunk("fmt ", Bytes(14, 1)), data})},
        {"chunk past the end", riffWave({hugeChunk, fmt, data})},
        {"float", riffWave({riffChunk("fmt ", fmtBody(1, 22050, 32, 3)), data})},
        {"extensible float", riffWave({riffChunk("fmt ", extensibleFmt(1, 22050, 32, 3)), data})},
        {"extensible, classic size", riffWave({riffChunk("fmt ", fmtBody(1, 22050, 16, 0xFFFE)), data})},
        {"extensible, foreign GUID", riffWave({riffChunk("fmt ", foreignGuid), data})},
        {"24 bits", riffWave({riffChunk("fmt ", fmtBody(1, 22050, 24)), data})},
        {"no channels", riffWave({riffChunk("fmt ", fmtBody(0, 22050, 16)), data})},
        {"six channels", riffWave({riffChunk("fmt ", fmtBody(6, 22050, 16)), data})},
        {"rate 0", riffWave({riffChunk("fmt ", fmtBody(1, 0, 16)), data})},
        {"block align", riffWave({riffChunk("fmt ", badAlign), data})},
        {"bytes per second", riffWave({riffChunk("fmt ", badBytesPerSecond), data})},
    };
    for (const Case& c : cases) {
        int lines = logLines();
        CFileWAV r;
        EXPECT_EQ(r.Open(writeFixture("bad.wav", c.file).c_str()), 2) << c.what;
        EXPECT_EQ(r.dataSize, 0u) << c.what;
        EXPECT_EQ(logLines(), lines + 1) << c.what;
    }
}

TEST(SndReaders, TruncatedWavFailsAtEveryLength) {
    Bytes full = riffWave({riffChunk("LIST", Bytes(5, 1)), riffChunk("fmt ", fmtBody(2, 22050, 16)),
                           riffChunk("data", pattern(64))});
    for (size_t cut = 0; cut < full.size(); ++cut) {
        int lines = logLines();
        CFileWAV r;
        EXPECT_EQ(r.Open(writeFixture("cut.wav", Bytes(full.begin(), full.begin() + cut)).c_str()), 2) << cut;
        EXPECT_EQ(logLines(), lines + 1) << cut;
    }
}

TEST(SndReaders, MalformedOggFailsCleanly) {
    Bytes good = oggFile(1, 22050, sine(20000, 1, 22050, 440));
    Bytes garbage = pattern(5000);
    struct Case {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"garbage", garbage},
        {"a WAV", wavFile(1, 22050, 16, pattern(4000))},
        {"cut in the first header", Bytes(good.begin(), good.begin() + 40)},
        {"cut in the codebooks", Bytes(good.begin(), good.begin() + 300)},
        {"three channels", oggFile(3, 22050, sine(2000, 3, 22050, 440))},
    };
    for (const Case& c : cases) {
        int lines = logLines();
        CFileOGG r;
        EXPECT_EQ(r.Open(writeFixture("bad.ogg", c.file).c_str()), 2) << c.what;
        EXPECT_EQ(r.dataSize, 0u) << c.what;
        EXPECT_EQ(logLines(), lines + 1) << c.what;
    }

    // Cut inside the audio: either refused with one log line, or a shorter sound that reads
    // and loops without trouble.
    const unsigned fullSize = 20000 * 2;
    for (size_t cut : {good.size() / 2, good.size() * 3 / 4, good.size() - 10}) {
        int lines = logLines();
        CFileOGG r;
        int result = r.Open(writeFixture("cut.ogg", Bytes(good.begin(), good.begin() + cut)).c_str());
        if (result != 0) {
            EXPECT_EQ(result, 2) << cut;
            EXPECT_EQ(logLines(), lines + 1) << cut;
            continue;
        }
        EXPECT_LE(r.dataSize, fullSize) << cut;
        Bytes got(2 * fullSize);
        r.Read(got.data(), static_cast<unsigned>(got.size()), 1);
        EXPECT_LE(r.position, r.dataSize) << cut;
    }
}

// The decoder gives nothing for part of a frame, which must not read as the end of the data.
TEST(SndReaders, OggReadsWholeFrames) {
    CFileOGG r;
    ASSERT_EQ(r.Open(writeFixture("st.ogg", oggFile(2, 22050, sine(1500, 2, 22050, 300))).c_str()), 0);
    Bytes all = readAll(r);  // 6000 bytes
    r.Rewind();
    Bytes got(1001), want;
    Bytes joined;
    for (int i = 0; i < 8; ++i) {
        got.assign(1001, 0xEE);
        EXPECT_EQ(r.Read(got.data(), 1001, 1), 1000u) << i;
        EXPECT_EQ(got[1000], 0) << i;
        joined.insert(joined.end(), got.begin(), got.begin() + 1000);
    }
    for (int i = 0; i < 8000; ++i) want.push_back(all[i % all.size()]);
    EXPECT_EQ(joined, want);
    got.assign(3, 0xEE);
    EXPECT_EQ(r.Read(got.data(), 3, 1), 0u);
    EXPECT_EQ(got, Bytes(3, 0));
}

// A missing page, or one damaged inside (its checksum fails and the decoder drops it, which
// the look at open does not see): the pass goes on past it, the size becomes what decodes (at
// open, or when the first pass ends), and one log line names the file.
TEST(SndReaders, OggPassesOverMissingPages) {
    // Noise, so that the audio spreads over many pages.
    std::vector<int16_t> noise(90000);
    uint32_t seed = 1;
    for (int16_t& v : noise) v = static_cast<int16_t>((seed = seed * 1103515245 + 12345) >> 17) / 2;
    Bytes good = oggFile(1, 22050, noise);
    ASSERT_GE(oggPages(good), 6);
    CFileOGG intact;
    ASSERT_EQ(intact.Open(writeFixture("good.ogg", good).c_str()), 0);
    Bytes whole = readAll(intact);
    Bytes flipped = good;
    flipped[flipped.size() / 2] ^= 0x5A;
    struct Case {
        const char* what;
        Bytes file;
        bool sizedAtOpen;
    } cases[] = {{"page 3 missing", withoutOggPage(good, 3), true},
                 {"middle page missing", withoutOggPage(good, oggPages(good) / 2), true},
                 {"middle page damaged", flipped, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int lines = logLines();
        CFileOGG r;
        ASSERT_EQ(r.Open(writeFixture("hole.ogg", c.file).c_str()), 0);
        EXPECT_EQ(r.dataSize < intact.dataSize, c.sizedAtOpen);
        Bytes all(r.dataSize + 100, 0xEE);
        const unsigned got = r.Read(all.data(), r.dataSize + 100, 0);
        EXPECT_EQ(got, r.dataSize);
        EXPECT_LT(r.dataSize, intact.dataSize);
        EXPECT_GT(r.dataSize, intact.dataSize / 2);
        all.resize(r.dataSize + 100);
        // What follows the hole is the end of the intact sound.
        EXPECT_TRUE(std::equal(all.end() - 2100, all.end() - 100, whole.end() - 2000));
        // Looping wraps at the real end, not at the damage.
        Bytes twice(2 * r.dataSize);
        r.Rewind();
        EXPECT_EQ(r.Read(twice.data(), 2 * r.dataSize, 1), 2 * r.dataSize);
        EXPECT_TRUE(std::equal(all.begin(), all.end() - 100, twice.begin() + r.dataSize));
        EXPECT_EQ(logLines(), lines + 1);
        EXPECT_NE(logText().find("hole.ogg"), std::string::npos);
    }
}

// The fuzz targets read from memory: the same bytes give the same sound as from a file.
TEST(SndReaders, MemoryBlocksReadLikeFiles) {
    struct Case {
        const char* name;
        Bytes file;
        int result;
    } cases[] = {
        {"m.wav", wavFile(2, 22050, 16, pattern(4 * 500)), 0},
        {"m.ogg", oggFile(1, 22050, sine(4000, 1, 22050, 300)), 0},
        {"bad.wav", pattern(100), 2},
        {"bad.ogg", pattern(100), 2},
        {"empty.ogg", {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reader fromFile(sndCreateFileByExt(c.name)), fromMemory(sndCreateFileByExt(c.name));
        ASSERT_EQ(fromFile->Open(writeFixture(c.name, c.file).c_str()), c.result);
        int lines = logLines();
        ASSERT_EQ(fromMemory->OpenMemory(c.file.data(), static_cast<unsigned>(c.file.size()), c.name), c.result);
        EXPECT_EQ(logLines(), lines + (c.result ? 1 : 0));
        if (c.result) continue;
        EXPECT_EQ(fromMemory->dataSize, fromFile->dataSize);
        EXPECT_EQ(fromMemory->format.channels, fromFile->format.channels);
        EXPECT_EQ(fromMemory->format.samplesPerSec, fromFile->format.samplesPerSec);
        EXPECT_EQ(fromMemory->format.bitsPerSample, fromFile->format.bitsPerSample);
        Bytes a(fromFile->dataSize + 50), b(a.size());
        fromFile->Read(a.data(), static_cast<unsigned>(a.size()), 1);
        fromMemory->Read(b.data(), static_cast<unsigned>(b.size()), 1);
        EXPECT_EQ(a, b);
    }
}
