// The sound engine on the real audio device (SDL's dummy driver) with its stream thread.
#include "engine/platform/timer.h"
#include "engine_fixture.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

TEST(SoundDevice, InitPlaysStreamsAndDoneJoinsTheThread) {
    timerInit();
    sndInit(nullptr);
    ASSERT_EQ(sndIsReady(), 1);
    sndSound* music = sndGetSound(constantWav("loop.wav", 44100, 3000).c_str(), SND_GROUP_MUSIC);
    ASSERT_NE(music, nullptr);
    sndPlaySound(music, 1);
    sndSound* effect = sndPlay(constantWav("fx.wav", 441, 500).c_str(), SND_GROUP_SOUND);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(sndIsPlaying(music), 1);

    // The device pulls the ring while the stream thread and this thread, as the main loop does,
    // tick: wait until a whole ring more than the first fill was written (the bound only guards
    // a stuck run).
    bool refilled = false;
    for (int i = 0; i < 1000 && !refilled; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        sndTick(0);
        sndSetVolume(music, i % 2 ? 1.0f : 0.5f);
        std::lock_guard<std::recursive_mutex> hold(sndLibraryLock());
        SndRecord* r = sndResolve(music);
        refilled = r && r->voices[r->voice].written > 2u * SND_RING_BYTES;
    }
    EXPECT_TRUE(refilled);
    EXPECT_EQ(sndIsPlaying(music), 1);

    sndDone();
    EXPECT_EQ(sndIsReady(), 0);
    EXPECT_EQ(sndIsPlaying(music), 0);
    EXPECT_EQ(sndLibraryCount(), 0);
}

TEST(SoundDevice, WithoutADeviceSoundsExistButStaySilent) {
    const char* driver = getenv("SDL_AUDIODRIVER");
    const std::string saved = driver ? driver : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    sndInit(nullptr);
    if (saved.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    EXPECT_EQ(sndIsReady(), 0);
    sndSound* s = sndPlay(constantWav("mute.wav", 441, 500).c_str(), SND_GROUP_SOUND);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(sndResolve(s)->voices[0].buffer, nullptr);
    EXPECT_EQ(sndIsPlaying(s), 0);
    sndSetFade(s, SND_FADE_IN, nullptr);
    sndTick(0);
    sndDone();
}
