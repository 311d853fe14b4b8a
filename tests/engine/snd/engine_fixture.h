// The sound engine on the bare mixer: a clock the test moves, output pulled by hand, files on disk.
#pragma once

#include "engine/snd/snd_internal.h"
#include "fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class SoundEngine : public ::testing::Test {
protected:
    static unsigned now;
    static unsigned clock() { return now; }

    void SetUp() override {
        now = 1000;
        sndSetClock(clock);
        sndResetRandom();
        sndInitWithoutDevice();
    }
    void TearDown() override {
        sndStopMusicNow();
        sndDone();
        sndSetClock(nullptr);
        for (int g = 0; g < 3; ++g) sndSetGroupVolume(1.0f, g);
    }

    // Mixes `ms` milliseconds of output (stereo samples), then moves the clock on and ticks.
    static std::vector<int16_t> run(int ms) {
        std::vector<int16_t> out(2 * (ms * 441 / 10));
        mixerFill(out.data(), static_cast<int>(out.size() / 2));
        now += static_cast<unsigned>(ms);
        sndTick(0);
        return out;
    }

    static SndRecord* record(sndSound* s) { return sndResolve(s); }
    static SndVoice& voice(sndSound* s) { return record(s)->voices[record(s)->voice]; }
    // The volume the output applies to the sound, in hundredths of a decibel.
    static int appliedDb(sndSound* s) { return mixGetVolume(voice(s).buffer); }
};

// A 16-bit WAV of `frames` frames, every sample `value`, written into the test folder.
std::string constantWav(const std::string& name, int frames, int16_t value, int channels = 2,
                        int rate = 44100);
// A 16-bit stereo WAV at 44100 Hz whose samples all differ from their neighbours.
std::string patternWav(const std::string& name, int frames, std::vector<int16_t>* samples);
// Writes a text file into the test folder (folders created); returns its relative name.
std::string writeText(const std::string& name, const std::string& text);
