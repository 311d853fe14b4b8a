// Sound fixtures made by the tests: WAV and Ogg Vorbis bytes, files in a private folder, log lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// One RIFF chunk: id, little-endian size, body, a pad byte when the body is odd.
Bytes riffChunk(const char* id, const Bytes& body);
// The 16 bytes of a PCM "fmt " chunk body.
Bytes fmtBody(int channels, int rate, int bits, int tag = 1);
// "RIFF", size, "WAVE", then the chunks as given.
Bytes riffWave(const std::vector<Bytes>& chunks);
// A plain WAV file: fmt and data chunks.
Bytes wavFile(int channels, int rate, int bits, const Bytes& pcm);

// An Ogg Vorbis file of the interleaved samples (frames = samples.size() / channels).
Bytes oggFile(int channels, int rate, const std::vector<int16_t>& samples);

// A sine of `frames` frames at `hz`, same on every channel, amplitude ~0.7 of full scale.
std::vector<int16_t> sine(int frames, int channels, int rate, double hz);
Bytes toBytes(const std::vector<int16_t>& samples);

// Writes the bytes into the process's private temporary folder; returns the full path.
std::string writeFixture(const std::string& name, const Bytes& bytes);
// The log so far, and its lines.
std::string logText();
// Lines in the log so far. The tests run inside the temporary folder, so the log is their own.
int logLines();
