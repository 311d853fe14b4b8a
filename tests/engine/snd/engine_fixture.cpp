// Sound files and scripts for the engine tests.
#include "engine_fixture.h"

#include <filesystem>
#include <fstream>

unsigned SoundEngine::now = 0;

std::string constantWav(const std::string& name, int frames, int16_t value, int channels, int rate) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * channels, value);
    writeFixture(name, wavFile(channels, rate, 16, toBytes(samples)));
    return name;
}

std::string patternWav(const std::string& name, int frames, std::vector<int16_t>* samples) {
    std::vector<int16_t> s;
    for (int i = 0; i < 2 * frames; ++i) s.push_back(static_cast<int16_t>((i * 7919) % 60000 - 30000));
    writeFixture(name, wavFile(2, 44100, 16, toBytes(s)));
    if (samples) *samples = s;
    return name;
}

std::string writeText(const std::string& name, const std::string& text) {
    std::filesystem::path path(name);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(name, std::ios::binary) << text;
    return name;
}
