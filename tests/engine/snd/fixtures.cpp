// Sound fixtures: a RIFF writer, an Ogg Vorbis encoder and a private folder the tests run in.
#include "engine/platform/log.h"
#include "fixtures.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "tests/support/temp_folder.h"

namespace {

void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

// Every test process gets a folder of its own and works inside it (ctest runs them in parallel).
[[maybe_unused]] const bool kOwnFolder = testsupport::workInOwnFolder("velmora_snd", [] {
    logOpen();  // the header lines come first, so tests count only their own lines
});

}  // namespace

Bytes riffChunk(const char* id, const Bytes& body) {
    Bytes b(id, id + 4);
    put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
    return b;
}

Bytes fmtBody(int channels, int rate, int bits, int tag) {
    Bytes b;
    int align = channels * bits / 8;
    put16(b, static_cast<uint16_t>(tag));
    put16(b, static_cast<uint16_t>(channels));
    put32(b, static_cast<uint32_t>(rate));
    put32(b, static_cast<uint32_t>(rate * align));
    put16(b, static_cast<uint16_t>(align));
    put16(b, static_cast<uint16_t>(bits));
    return b;
}

Bytes riffWave(const std::vector<Bytes>& chunks) {
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b = {'R', 'I', 'F', 'F'};
    put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes wavFile(int channels, int rate, int bits, const Bytes& pcm) {
    return riffWave({riffChunk("fmt ", fmtBody(channels, rate, bits)), riffChunk("data", pcm)});
}

Bytes oggFile(int channels, int rate, const std::vector<int16_t>& samples) {
    Bytes out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    EXPECT_EQ(vorbis_encode_init_vbr(&vi, channels, rate, 0.3f), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 7);
    ogg_page og;
    ogg_packet op, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &op, &comments, &codebooks);
    ogg_stream_packetin(&os, &op);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    auto page = [&out](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    while (ogg_stream_flush(&os, &og)) page(og);

    const int frames = static_cast<int>(samples.size()) / channels;
    auto drain = [&]() {
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og)) page(og);
            }
        }
    };
    for (int done = 0; done < frames;) {
        int n = std::min(1024, frames - done);
        float** buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = samples[(done + i) * channels + c] / 32768.0f;
        vorbis_analysis_wrote(&vd, n);
        drain();
        done += n;
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &og)) page(og);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

std::vector<int16_t> sine(int frames, int channels, int rate, double hz) {
    std::vector<int16_t> s;
    for (int i = 0; i < frames; ++i) {
        auto v = static_cast<int16_t>(23000 * std::sin(2 * M_PI * hz * i / rate + 0.5));
        for (int c = 0; c < channels; ++c) s.push_back(v);
    }
    return s;
}

Bytes toBytes(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t v : samples) put16(b, static_cast<uint16_t>(v));
    return b;
}

std::string writeFixture(const std::string& name, const Bytes& bytes) {
    std::string path = testsupport::ownFolder() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string logText() {
    std::ifstream log("gerr.log", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
}

int logLines() {
    std::string text = logText();
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}
