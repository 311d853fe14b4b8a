// Inside the sound engine: the sound record, the library lock and the hooks the tests drive.
#pragma once

#include <cstdint>
#include <mutex>

#include "engine/snd/mixer.h"
#include "engine/snd/snd.h"
#include "engine/snd/sndfile.h"

// Bytes of a streamed sound's ring; files with more PCM than this stream, as all music does.
enum { SND_RING_BYTES = 131072, SND_NAME_BYTES = 64, SND_MAX_VOICES = 8 };

struct SndVoice {
    int rangeSquared;
    char fileName[SND_NAME_BYTES];
    float minVolume, maxVolume;
    float minFrequency, maxFrequency;
    float pan;  // scale of the pans given to sndSetPan
    MixBuffer* buffer;  // null when the file did not open or sound is off
    CFileSND* reader;   // streamed voices only
    unsigned written;   // file bytes written into the ring so far
    bool ringLoops;     // the ring was filled for a looping sound
    // What the voice keeps of its file, also once a static voice's reader is gone.
    unsigned dataSize;
    unsigned bytesPerSec;
    unsigned rate;
    int bufferBytes;  // the ring, or the whole sound of a static voice
    // Where playback stands: bytes of the buffer played since the last rewind, counted from the
    // play cursor's moves, so a streamed voice knows its position in the file.
    int lastCursor;
    uint64_t played;
    bool moved;  // played since the last rewind
};

struct SndRecord {
    bool playing;
    bool loop;
    int group;  // 0..3
    bool ticked;  // the tick services it: it streams or fades
    bool autoRelease;
    int fadeMode;
    int voice;
    int voiceCount;
    bool pausedByDeactivation;
    bool once;
    bool scripted;  // made by a script load, so the script's unload frees it
    // A script's music: its files open when it is first played, since every play streams from
    // a reader of its own and many sections may name the same file.
    bool opensWhenPlayed;
    float volume;
    char name[SND_NAME_BYTES];
    int fadeTimer;
    SndFadeCallback fadeCallback;
    unsigned serviceTime;  // clock of the last fade step of a static voice
    uint64_t id;  // unique over the process: the handle's check
    int slot;
    int voiceCapacity;  // 1 or 8
    SndVoice* voices;
};

// The library lock. Every snd function holds it while it works, and so does the tick on either
// thread; it is recursive because fade callbacks call back into the engine.
std::recursive_mutex& sndLibraryLock();

SndRecord* sndResolve(sndSound* sound);
sndSound* sndHandle(const SndRecord* record);
// A new record in the first free library entry, with default voices; null when memory runs out.
SndRecord* sndNewRecord(const char* name, int voices, int group);
// Takes the record out of the library and frees it with its buffers and readers.
void sndRemove(SndRecord* record);
// The first record of that name (INI path comparison); only script records when scriptedOnly.
SndRecord* sndFind(const char* name, bool scriptedOnly);
// Opens the voice's file into a static or streamed buffer; false (logged) when it cannot.
bool sndOpenVoice(SndRecord* record, int voice);
// The engine's own generator: a choice among n.
int sndRandom(int n);
void sndPickVoice(SndRecord* record);
// Drops the records that ended and were marked for release.
void sndCollect();
int sndLibraryCount();

// The conversions to and from the output's hundredths of a decibel.
int sndLinearToDb(float linear);
float sndDbToLinear(int hundredths);
int sndPanToOutput(float pan);
float sndOutputToPan(int pan);
// The playback rate for a frequency factor: a factor of the file's own rate, so that 1.0 plays
// every file as recorded (a factor of a fixed 44100 Hz would play a 22050 Hz file an octave
// high). Clamped to the mixer's range.
int sndFactorToHz(float factor, unsigned rate);

// Tests: the millisecond clock of the tick (null restores the engine timer), and a start over the
// mixer alone, with no audio device and no stream thread, so the test pulls the output through
// mixerFill and ticks by hand.
void sndSetClock(unsigned (*clock)());
void sndInitWithoutDevice();
// Tests: the generator back at its starting seed.
void sndResetRandom();
