// Tests of the sound engine over the bare mixer, with a clock the test moves.
#include "engine_fixture.h"

#include <algorithm>

namespace {

bool all(const std::vector<int16_t>& out, int16_t value) {
    return std::all_of(out.begin(), out.end(), [value](int16_t s) { return s == value; });
}

int gFadeEnds = 0;
void countFadeEnd(sndSound*) { ++gFadeEnds; }

}  // namespace

TEST(SoundConversions, DecibelsPanAndFrequency) {
    struct {
        float linear;
        int hundredths;
    } volumes[] = {{0.0f, -10000}, {0.002f, -6726}, {0.01f, -4881}, {0.1f, -1973}, {0.25f, -1093},
                   {0.5f, -512},   {0.75f, -208},   {0.9f, -73},    {1.0f, 0}};
    for (const auto& c : volumes) EXPECT_EQ(sndLinearToDb(c.linear), c.hundredths) << c.linear;

    struct {
        int hundredths;
        float linear;
    } back[] = {{-10000, 0.0f},         {-5000, 3 / 255.0f},  {-2000, 25 / 255.0f}, {-1000, 71 / 255.0f},
                {-500, 130 / 255.0f},   {-100, 222 / 255.0f}, {0, 1.0f}};
    for (const auto& c : back) EXPECT_FLOAT_EQ(sndDbToLinear(c.hundredths), c.linear) << c.hundredths;

    struct {
        float pan;
        int output;
    } pans[] = {{-1.0f, -10000}, {-0.5f, -512}, {-0.1f, -73}, {0.0f, 0}, {0.1f, 73}, {0.5f, 512}, {1.0f, 10000}};
    for (const auto& c : pans) EXPECT_EQ(sndPanToOutput(c.pan), c.output) << c.pan;
    EXPECT_FLOAT_EQ(sndOutputToPan(10000), 1.0f);
    EXPECT_FLOAT_EQ(sndOutputToPan(-10000), -1.0f);
    EXPECT_FLOAT_EQ(sndOutputToPan(512), 1.0f - 128 / 255.0f);
    EXPECT_FLOAT_EQ(sndOutputToPan(0), 0.0f);

    struct {
        float factor;
        unsigned rate;
        int hz;
    } rates[] = {{1.0f, 22050, 22050}, {2.0f, 22050, 44100}, {0.5f, 44100, 22050},
                 {10.0f, 44100, 200000}, {0.001f, 44100, 100}};
    for (const auto& c : rates) EXPECT_EQ(sndFactorToHz(c.factor, c.rate), c.hz) << c.factor;
}

TEST(SoundConversions, TheEnginesOwnGeneratorPicksVoices) {
    sndResetRandom();
    int picks[4];
    for (int& p : picks) p = sndRandom(8);
    EXPECT_EQ(std::vector<int>(picks, picks + 4), (std::vector<int>{4, 7, 5, 7}));
}

TEST_F(SoundEngine, FrequencyIsAFactorOfTheFilesOwnRate) {
    sndSound* slow = sndGetSound(constantWav("slow.wav", 2205, 100, 1, 22050).c_str(), 0);
    sndSound* fast = sndGetSound(constantWav("fast.wav", 4410, 100).c_str(), 0);
    ASSERT_TRUE(slow && fast);
    EXPECT_EQ(mixGetFrequency(voice(slow).buffer), 22050);
    sndSetFrequency(slow, 1.0f);
    EXPECT_EQ(mixGetFrequency(voice(slow).buffer), 22050);
    sndSetFrequency(slow, 2.0f);
    EXPECT_EQ(mixGetFrequency(voice(slow).buffer), 44100);
    sndSetFrequency(fast, 10.0f);
    EXPECT_EQ(mixGetFrequency(voice(fast).buffer), 200000);
}

TEST_F(SoundEngine, StaticUpToTheRingSizeStreamedAboveAndForMusic) {
    // 32768 stereo 16-bit frames are exactly 131072 bytes.
    sndSound* exact = sndGetSound(constantWav("exact.wav", 32768, 100).c_str(), 0);
    sndSound* over = sndGetSound(constantWav("over.wav", 32769, 100).c_str(), 0);
    sndSound* music = sndGetSound(constantWav("small.wav", 100, 100).c_str(), SND_GROUP_MUSIC);
    ASSERT_TRUE(exact && over && music);
    EXPECT_EQ(voice(exact).reader, nullptr);
    EXPECT_EQ(voice(exact).bufferBytes, 131072);
    EXPECT_NE(voice(over).reader, nullptr);
    EXPECT_EQ(voice(over).bufferBytes, SND_RING_BYTES);
    EXPECT_NE(voice(music).reader, nullptr);
    // An instance in another group is judged again by its own group.
    sndSound* effect = sndGetSound("small.wav", 0);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(voice(effect).reader, nullptr);
    EXPECT_NE(voice(effect).buffer, nullptr);
}

TEST_F(SoundEngine, OverlappingInstancesAddUpAndAreFreedAfterTheyEnd) {
    std::string beep = constantWav("beep.wav", 4410, 1000);
    sndSound* a = sndPlay(beep.c_str(), 0);
    sndSound* b = sndPlay(beep.c_str(), 0);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_TRUE(all(run(50), 2000));
    run(100);
    EXPECT_EQ(sndIsPlaying(a) + sndIsPlaying(b), 0);
    EXPECT_EQ(sndLibraryCount(), 2);
    sndSound* c = sndPlay(beep.c_str(), 0);
    EXPECT_EQ(sndLibraryCount(), 1);
    EXPECT_EQ(sndIsPlaying(c), 1);
}

TEST_F(SoundEngine, HeldHandleStaysSafeAfterCollection) {
    std::string tick = constantWav("tick.wav", 441, 700);
    sndSound* held = sndPlay(tick.c_str(), 0);
    ASSERT_NE(held, nullptr);
    const int slot = record(held)->slot;
    run(20);
    // The next play frees the ended sound and reuses its entry for the new one.
    sndSound* next = sndPlay(tick.c_str(), 0);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(record(held), nullptr);
    EXPECT_EQ(record(next)->slot, slot);
    sndStop(held);
    sndSetVolume(held, 0.0f);
    sndSetFade(held, SND_FADE_OUT, nullptr);
    sndRelease(held);
    EXPECT_EQ(sndIsPlaying(held), 0);
    EXPECT_EQ(sndIsPlaying(next), 1);
    EXPECT_EQ(appliedDb(next), 0);
    EXPECT_TRUE(all(run(5), 700));
}

TEST_F(SoundEngine, DeactivationPausesAndResumesExactlyThePlayingSounds) {
    std::string a = constantWav("a.wav", 100, 1000), b = constantWav("b.wav", 100, 2000);
    std::string c = constantWav("c.wav", 100, 4000), d = constantWav("d.wav", 100, 8000);
    sndSound* kept = sndPlay(a.c_str(), 0);  // marked for release, then looped by its caller
    sndPlaySound(kept, 1);
    sndSound* looping = sndGetSound(b.c_str(), 0);
    sndPlaySound(looping, 1);
    sndSound* stoppedWhileAway = sndGetSound(c.c_str(), 0);
    sndPlaySound(stoppedWhileAway, 1);
    sndSound* neverPlayed = sndGetSound(d.c_str(), 0);
    EXPECT_TRUE(all(run(10), 7000));

    sndPauseAll(0);
    EXPECT_TRUE(all(run(10), 0));
    EXPECT_EQ(sndIsPlaying(kept) + sndIsPlaying(looping) + sndIsPlaying(stoppedWhileAway), 0);
    sndStop(stoppedWhileAway);
    sndPlay(a.c_str(), 0);  // collects while away: a paused sound is not over
    run(10);
    ASSERT_NE(record(kept), nullptr);

    sndPauseAll(1);
    EXPECT_TRUE(all(run(10), 3000));
    EXPECT_EQ(sndIsPlaying(kept), 1);
    EXPECT_EQ(sndIsPlaying(looping), 1);
    EXPECT_EQ(sndIsPlaying(stoppedWhileAway), 0);
    EXPECT_EQ(sndIsPlaying(neverPlayed), 0);
}

TEST_F(SoundEngine, TimedFadeOutTakesTenRefills) {
    sndSound* s = sndGetSound(constantWav("song.wav", 88200, 10000).c_str(), SND_GROUP_MUSIC);
    ASSERT_NE(s, nullptr);
    sndPlaySound(s, 1);
    gFadeEnds = 0;
    sndSetFade(s, SND_FADE_OUT | SND_FADE_END_TIMER, countFadeEnd);
    for (int k = 1; k <= 9; ++k) {
        run(100);
        EXPECT_EQ(appliedDb(s), sndLinearToDb(static_cast<float>(1000 - 100 * k) / 1000.0f)) << k;
        EXPECT_EQ(sndIsPlaying(s), 1);
    }
    EXPECT_EQ(gFadeEnds, 0);
    run(100);
    EXPECT_EQ(sndIsPlaying(s), 0);
    EXPECT_EQ(gFadeEnds, 1);
    EXPECT_EQ(appliedDb(s), 0);
    run(100);
    EXPECT_EQ(gFadeEnds, 1);
}

TEST_F(SoundEngine, StaticFadeInFollowsTheClock) {
    sndSound* s = sndGetSound(constantWav("hum.wav", 4410, 1000).c_str(), 0);
    ASSERT_NE(s, nullptr);
    sndPlaySound(s, 1);
    sndSetFade(s, SND_FADE_IN, nullptr);
    EXPECT_EQ(appliedDb(s), -10000);
    EXPECT_TRUE(all(run(500), 0));
    EXPECT_EQ(appliedDb(s), sndLinearToDb(0.5f));
    run(250);
    EXPECT_EQ(appliedDb(s), sndLinearToDb(0.75f));
    run(250);
    EXPECT_EQ(appliedDb(s), 0);
    EXPECT_FALSE(record(s)->ticked);
    EXPECT_TRUE(all(run(10), 1000));
}

TEST_F(SoundEngine, LoopingSoundFadesInOnlyOnItsFirstPass) {
    // 1.2 s of music, refilled every 100 ms of output: the fade-in spans the first ten refills.
    sndSound* s = sndGetSound(constantWav("theme.wav", 52920, 8000).c_str(), SND_GROUP_MUSIC);
    ASSERT_NE(s, nullptr);
    sndSetFade(s, SND_FADE_IN_FILE, nullptr);
    sndPlaySound(s, 1);
    EXPECT_EQ(appliedDb(s), -10000);
    for (int k = 1; k <= 30; ++k) {
        run(100);
        const int expected = k < 10 ? sndLinearToDb(static_cast<float>(17640 * k) / 176400.0f) : 0;
        EXPECT_EQ(appliedDb(s), expected) << "refill " << k;
    }
}

TEST_F(SoundEngine, LoopingStreamShorterThanTheRingLoopsSeamlessly) {
    std::vector<int16_t> pcm;
    sndSound* s = sndGetSound(patternWav("short.wav", 1000, &pcm).c_str(), SND_GROUP_MUSIC);
    ASSERT_NE(s, nullptr);
    sndPlaySound(s, 1);
    std::vector<int16_t> out;
    for (int k = 0; k < 20; ++k) {
        auto part = run(100);
        out.insert(out.end(), part.begin(), part.end());
    }
    size_t wrong = 0;
    for (size_t i = 0; i < out.size(); ++i) wrong += out[i] != pcm[i % pcm.size()];
    EXPECT_EQ(wrong, 0u);
}

TEST_F(SoundEngine, StreamThatDoesNotLoopStopsAfterItsFile) {
    std::vector<int16_t> pcm;  // 50000 frames: 200000 bytes, more than the ring
    sndSound* s = sndGetSound(patternWav("long.wav", 50000, &pcm).c_str(), SND_GROUP_MUSIC);
    ASSERT_NE(s, nullptr);
    sndPlaySound(s, 0);
    std::vector<int16_t> out;
    for (int k = 1; k <= 14; ++k) {
        auto part = run(100);
        out.insert(out.end(), part.begin(), part.end());
        // The tick after the file's last frame (frame 50000 is passed in the 12th step) stops it.
        EXPECT_EQ(sndIsPlaying(s), k < 12 ? 1 : 0) << k;
    }
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), out.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + pcm.size(), out.end(), [](int16_t v) { return v == 0; }));
}

TEST_F(SoundEngine, ListDumpWritesEverySound) {
    sndPlay(constantWav("dump.wav", 4410, 1).c_str(), 0);
    const int before = logLines();
    sndListDump();
    EXPECT_EQ(logLines(), before + 3);
    EXPECT_NE(logText().find("SoundLib[0]: SOUND name=dump.wav bQuant=0 bAuto=1 IsPlay=1\n"),
              std::string::npos);
}

TEST_F(SoundEngine, CallerFilledBuffersReadBackAndPositionalPlays) {
    sndSound* s = sndCreateBuffer("pcm", 0, 4000, 2, 44100);
    void *p1 = nullptr, *p2 = nullptr;
    int n1 = 0, n2 = 0;
    ASSERT_EQ(sndLockBuffer(s, 0, 4000, &p1, &n1, &p2, &n2), 0);
    EXPECT_EQ(sndLockBuffer(s, 0, 4000, &p1, &n1, &p2, &n2), 3);  // already locked
    std::fill_n(static_cast<int16_t*>(p1), n1 / 2, int16_t(1200));
    EXPECT_EQ(sndUnlockBuffer(s, p1, n1, p2, n2), 0);
    EXPECT_EQ(sndLockBuffer(nullptr, 0, 4, &p1, &n1, &p2, &n2), 1);
    sndPlaySound(s, 1);
    EXPECT_TRUE(all(run(10), 1200));
    EXPECT_FLOAT_EQ(sndGetDuration(s), 4000 / 176400.0f);
    sndSetVolume(s, 0.5f);
    EXPECT_NEAR(sndGetVolume(s), 0.5f, 0.01f);
    sndSetPan(s, 1.0f);  // no pan range: stays centred
    EXPECT_FLOAT_EQ(sndGetPan(s), 0.0f);

    writeText("pos.ini", "[main]\nmaxvolume=1\n[step]\nname=step.wav\nr=100\n");
    constantWav("step.wav", 44100, 500);
    sndLoadScript("pos.ini");
    EXPECT_EQ(sndPlayAt("step", 0, Point2i(0, 0), Point2i(80, 80)), nullptr);  // out of range
    sndSound* near = sndPlayAt("step", 0, Point2i(0, 0), Point2i(30, 40));
    ASSERT_NE(near, nullptr);
    EXPECT_EQ(appliedDb(near), sndLinearToDb(0.75f));
    EXPECT_EQ(sndPlayAt("step", 0, Point2i(0, 0), Point2i(60, 0)), nullptr);  // quieter than one playing
    sndSound* nearer = sndPlayAt("step", 0, Point2i(0, 0), Point2i(10, 0));
    ASSERT_NE(nearer, nullptr);
    EXPECT_EQ(appliedDb(nearer), sndLinearToDb(0.99f));
}
