// Tests of the sound scripts and of the one current music.
#include "engine_fixture.h"

#include <set>

TEST_F(SoundEngine, ScriptKeysFallBackToMainThenToTheirDefaults) {
    constantWav("tone.wav", 4410, 1000);
    writeText("full.ini",
              "[main]\nmaxvolume=1\nloop=1\n"
              "[plain]\nname=tone.wav\n"
              "[ranged]\nname=tone.wav\nminvolume=0.2\nmaxvolume=0.6\nloop=2\nonce=3\nmode=6\n");
    writeText("bare.ini", "[quiet]\nname=tone.wav\n");
    sndLoadScript("full.ini");
    const int before = logLines();
    sndLoadScript("bare.ini");
    EXPECT_EQ(logLines(), before + 1);
    EXPECT_NE(logText().find("[quiet] has volume 0"), std::string::npos);

    SndRecord* plain = sndFind("plain", true);
    SndRecord* ranged = sndFind("ranged", true);
    SndRecord* quiet = sndFind("quiet", true);
    ASSERT_TRUE(plain && ranged && quiet);
    EXPECT_TRUE(plain->loop);
    EXPECT_FALSE(ranged->loop);  // only the lowest bit counts
    EXPECT_TRUE(ranged->once);
    EXPECT_EQ(ranged->group, 2);
    EXPECT_FLOAT_EQ(plain->voices[0].minFrequency, 1.0f);
    EXPECT_FLOAT_EQ(plain->voices[0].maxFrequency, 1.0f);
    EXPECT_FLOAT_EQ(quiet->voices[0].maxVolume, 0.0f);

    sndSound* full = sndPlay("plain", 0);
    sndSound* silent = sndPlay("quiet", 0);
    ASSERT_TRUE(full && silent);
    EXPECT_EQ(appliedDb(full), 0);
    EXPECT_EQ(appliedDb(silent), -10000);
    // The own volume maps onto the range, then the group scales it: (0.6 - 0.2) * 0.5 + 0.2.
    sndSetGroupVolume(0.5f, 2);
    sndSound* mapped = sndPlayEx("ranged", 2, 0.5f, 0.0f, -1.0f);
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(appliedDb(mapped), sndLinearToDb(0.4f * 0.5f));
}

TEST_F(SoundEngine, VariantsGiveEachInstanceOneOfTheirVoices) {
    constantWav("a.wav", 4410, 1000);
    constantWav("b.wav", 4410, 2000);
    writeText("steps.ini",
              "[main]\nmaxvolume=1\n"
              "[step]\nname0=stepA\nname1=stepB\nname3=ignored\n"
              "[stepA]\nname=a.wav\n[stepB]\nname=b.wav\npan=0.5\n");
    sndLoadScript("steps.ini");
    SndRecord* step = sndFind("step", true);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->voiceCount, 2);
    EXPECT_STREQ(step->voices[1].fileName, "b.wav");
    EXPECT_FLOAT_EQ(step->voices[1].pan, 0.5f);

    std::set<int16_t> heard;
    for (int i = 0; i < 12; ++i) {
        sndSound* s = sndPlay("step", 0);
        ASSERT_NE(s, nullptr);
        heard.insert(run(10)[0]);
        sndStop(s);
    }
    EXPECT_EQ(heard, (std::set<int16_t>{1000, 2000}));
}

TEST_F(SoundEngine, OutOfRangePanAndVolumeAreClampedWithABox) {
    constantWav("loud.wav", 4410, 1000);
    writeText("loud.ini", "[main]\nmaxvolume=1\n[loud]\nname=loud.wav\npan=1.5\nmaxvolume=2\n");
    sndLoadScript("loud.ini");
    SndRecord* loud = sndFind("loud", true);
    ASSERT_NE(loud, nullptr);
    EXPECT_FLOAT_EQ(loud->voices[0].pan, 1.0f);
    EXPECT_FLOAT_EQ(loud->voices[0].maxVolume, 1.0f);
    const std::string log = logText();
    EXPECT_NE(log.find("\"Warning\": Sounds script: pan>1"), std::string::npos);
    EXPECT_NE(log.find("\"Warning\": Sounds script: maxVolume>1"), std::string::npos);
    sndSound* s = sndPlay("loud", 0);
    sndSetPan(s, 2.0f);
    EXPECT_EQ(mixGetPan(voice(s).buffer), 10000);
}

// The levels' music table of a script is read by the game, never a sound: loading the script
// says nothing of it.
TEST_F(SoundEngine, UnloadFreesTheScriptSoundsOnly) {
    constantWav("x.wav", 44100, 1000);
    writeText("un.ini", "[main]\nmaxvolume=1\n[x]\nname=x.wav\n[y]\nname=x.wav\n"
                        "[Level]\nlevel_music1=x\n");
    const int before = logLines();
    sndLoadScript("un.ini");
    EXPECT_EQ(logLines(), before) << logText();
    EXPECT_EQ(sndFind("Level", true), nullptr);
    sndSound* playing = sndPlay("x", 0);
    EXPECT_EQ(sndLibraryCount(), 3);
    sndUnloadScript("un.ini");
    EXPECT_EQ(sndLibraryCount(), 1);
    EXPECT_EQ(sndIsPlaying(playing), 1);
    EXPECT_EQ(sndFind("x", true), nullptr);
}

TEST_F(SoundEngine, MusicSwitchFadesOutThenStartsTheQueuedOne) {
    constantWav("one.wav", 88200, 1000);
    constantWav("two.wav", 88200, 2000);
    constantWav("three.wav", 88200, 3000);
    writeText("music.ini",
              "[main]\nmode=1\nloop=1\nmaxvolume=1\n"
              "[one]\nname=one.wav\n[two]\nname=two.wav\n[three]\nname=three.wav\n");
    sndLoadScript("music.ini");
    const int scripts = sndLibraryCount();

    sndPlayMusic("one", SND_FADE_IN_FILE, 1, nullptr);
    for (int k = 0; k < 12; ++k) run(100);
    EXPECT_EQ(run(10)[0], 1000);
    EXPECT_EQ(sndLibraryCount(), scripts + 1);
    sndPlayMusic("one", SND_FADE_IN_FILE, 1, nullptr);  // already playing: nothing
    EXPECT_EQ(sndLibraryCount(), scripts + 1);

    sndPlayMusic("two", SND_FADE_IN_FILE, 1, nullptr);
    EXPECT_EQ(sndLibraryCount(), scripts + 2);
    for (int k = 0; k < 5; ++k) run(100);
    // A second switch while the first waits replaces the queued music instead of leaking it.
    sndPlayMusic("three", SND_FADE_IN_FILE, 1, nullptr);
    for (int k = 1; k <= 9; ++k) {
        run(100);
        EXPECT_EQ(sndIsMusicPlaying(), 1);
    }
    auto fading = run(100);  // the tenth refill ends the fade-out
    EXPECT_GT(fading[0], 0);
    EXPECT_LT(fading[0], 1000);
    EXPECT_EQ(sndIsMusicPlaying(), 1);
    EXPECT_EQ(run(10)[0], 0);  // the new music fades in from silence
    for (int k = 0; k < 12; ++k) run(100);
    EXPECT_EQ(run(10)[0], 3000);

    sndRelease(nullptr);  // a collection
    EXPECT_EQ(sndLibraryCount(), scripts + 1);
    EXPECT_EQ(sndFind("two", false), sndFind("two", true));
    EXPECT_EQ(sndFind("one", false), sndFind("one", true));
}

TEST_F(SoundEngine, MusicSectionsOpenTheirFileOnlyWhenPlayed) {
    constantWav("theme.wav", 88200, 1000);
    writeText("tunes.ini",
              "[main]\nmode=1\nloop=1\nmaxvolume=1\n"
              "[menu]\nname=theme.wav\n[game]\nname=theme.wav\n[jingle]\nname=theme.wav\nonce=1\n");
    sndLoadScript("tunes.ini");
    // However many sections name the file, loading the script reads none of them.
    for (const char* section : {"menu", "game", "jingle"}) {
        SndRecord* r = sndFind(section, true);
        ASSERT_NE(r, nullptr) << section;
        EXPECT_EQ(r->voices[0].buffer, nullptr) << section;
        EXPECT_EQ(r->voices[0].reader, nullptr) << section;
    }
    sndPlayMusic("menu", 0, 1, nullptr);
    run(100);
    EXPECT_EQ(run(10)[0], 1000);
    EXPECT_EQ(sndFind("game", true)->voices[0].reader, nullptr);
    sndStopMusic(0);
    // A section played as itself opens on its first play and plays.
    sndSound* jingle = sndPlay("jingle", SND_GROUP_MUSIC);
    ASSERT_NE(jingle, nullptr);
    EXPECT_EQ(record(jingle), sndFind("jingle", true));
    EXPECT_NE(voice(jingle).reader, nullptr);
    EXPECT_EQ(sndIsPlaying(jingle), 1);
    EXPECT_EQ(run(10)[0], 1000);
}

TEST_F(SoundEngine, StoppingMusicFadesOutAndKeepsIt) {
    constantWav("m.wav", 88200, 1000);
    writeText("m.ini", "[main]\nmode=1\nloop=1\nmaxvolume=1\n[m]\nname=m.wav\n");
    sndLoadScript("m.ini");
    sndPlayMusic("m", 0, 1, nullptr);
    run(100);
    sndStopMusic(1);
    for (int k = 1; k <= 9; ++k) run(100);
    EXPECT_EQ(sndIsMusicPlaying(), 1);
    run(100);
    EXPECT_EQ(sndIsMusicPlaying(), 0);
    sndResumeMusic(1);
    EXPECT_EQ(sndIsMusicPlaying(), 1);
    EXPECT_EQ(run(10)[0], 1000);
    sndStopMusic(0);
    EXPECT_EQ(sndIsMusicPlaying(), 0);

    // The same music asked for while it fades out to a stop keeps playing.
    sndPlayMusic("m", 0, 1, nullptr);
    run(100);
    sndStopMusic(8);
    for (int k = 0; k < 5; ++k) run(100);
    sndPlayMusic("m", SND_FADE_IN_FILE, 1, nullptr);
    for (int k = 0; k < 20; ++k) run(100);
    EXPECT_EQ(sndIsMusicPlaying(), 1);
    EXPECT_EQ(run(10)[0], 1000);
}

TEST_F(SoundEngine, MusicByFileNameAndFromTheSecondList) {
    writeFixture("tune.ogg", oggFile(1, 22050, sine(22050, 1, 22050, 440)));
    writeText("data/snd/music.ini", "[tune]\nname=tune.ogg\nmaxvolume=0.5\n[quiet]\nname=tune.ogg\nmaxvolume=0.01\n");
    sndSound* byFile = sndLoadMusic("tune.ogg");
    ASSERT_NE(byFile, nullptr);
    EXPECT_EQ(record(byFile)->group, SND_GROUP_MUSIC);
    EXPECT_NE(voice(byFile).reader, nullptr);
    sndSound* listed = sndLoadMusic("tune");
    ASSERT_NE(listed, nullptr);
    EXPECT_FLOAT_EQ(record(listed)->volume, 0.5f);
    sndSound* quiet = sndLoadMusic("quiet");
    ASSERT_NE(quiet, nullptr);
    EXPECT_FLOAT_EQ(record(quiet)->volume, 1.0f);
    // An unknown name is logged once however often it is asked for.
    const int lines = logLines();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sndLoadMusic("nowhere"), nullptr);
        sndPlayMusic("nowhere", SND_FADE_IN_FILE, 1, nullptr);
    }
    EXPECT_EQ(sndLoadMusic("elsewhere"), nullptr);
    EXPECT_EQ(logLines(), lines + 2);
    EXPECT_NE(logText().find("no music \"nowhere\""), std::string::npos);
}
