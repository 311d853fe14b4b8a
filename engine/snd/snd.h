// The sound engine: sounds by name in three volume groups, streaming, fades, scripts and music.
#pragma once

#include "core/values.h"

// A sound as callers hold it: an opaque handle, null for "no sound". A handle stays safe to use
// after its sound has been freed (collected after it ended, unloaded, or at sndDone): calls on it
// then do nothing and queries answer 0. A freed sound's handle never names another sound.
struct sndSound;

// Called once when a fade ends, with the sound that faded. It runs with the sound library locked,
// on the thread that serviced the fade (possibly the stream thread), and may call snd functions.
typedef void (*SndFadeCallback)(sndSound* sound);

// Volume groups: each scales every sound in it by its own volume, set by the options.
enum { SND_GROUP_SOUND = 0, SND_GROUP_MUSIC = 1, SND_GROUP_OTHER = 2 };

// Fade mode bits for sndSetFade and sndPlayMusic.
enum {
    SND_FADE_IN_FILE = 1,      // fade in over the first second of the file
    SND_FADE_OUT_FILE = 2,     // fade out over the last second of the file
    SND_FADE_IN = 4,           // timed fade in
    SND_FADE_OUT = 8,          // timed fade out, then stop
    SND_FADE_END_TIMER = 16,   // the fade ends when its timer runs out
    SND_FADE_END_FILE = 32,    // the fade ends when the file has played through
};

// --- The engine --------------------------------------------------------------------------------

// Opens the audio device and starts the stream thread. When no device opens, sound stays off:
// sounds still exist by name but play nothing. The window is not used. Called once at start-up,
// before the scripts are loaded.
void sndInit(void* window);
// Stops the stream thread (it finishes its tick and is joined), frees every sound, closes the
// device.
void sndDone();
// 1 while the audio device is open.
int sndIsReady();

// A sound to play by name: a new instance of the library sound of that name (a script section
// or a file loaded before), or, for a .wav or .ogg file name not in the library yet, a new
// library sound of that file. A "once" sound is returned itself, and null while it plays. Null
// for any other name. Nothing frees the result but sndRelease, a script unload or sndDone.
sndSound* sndGetSound(const char* name, int group);
// Plays a fresh instance once; it is freed after it ends (the handle stays safe). Null when the
// group's volume is below 0.01 or the name is unknown.
sndSound* sndPlay(const char* name, int group);
// As sndPlay with the volume (when >= 0), the frequency factor (when >= 0) and the pan.
sndSound* sndPlayEx(const char* name, int group, float volume, float pan, float frequency);
// Plays from the current position; loop >= 0 sets looping (nonzero) or not, below 0 keeps it.
void sndPlaySound(sndSound* sound, int loop);
// Stops and rewinds.
void sndStop(sndSound* sound);
// Stops where it is.
void sndPause(sndSound* sound);
int sndIsPlaying(sndSound* sound);
// Stops the sound and lets it be freed, unless it is a "once" sound.
void sndRelease(sndSound* sound);

// The sound's own volume 0..1, scaled by its range and its group's volume.
void sndSetVolume(sndSound* sound, float volume);
// -1 (left) .. 1 (right), scaled by the sound's pan range.
void sndSetPan(sndSound* sound, float pan);
// Playback rate as a factor of the file's own rate; the result is clamped to 100..200000 Hz.
void sndSetFrequency(sndSound* sound, float factor);
// Starts a fade of the given mode bits; a fade in silences the sound at once. Timed fades count
// 100 ms down per refill of a streamed sound and by the clock for a sound held whole in memory.
void sndSetFade(sndSound* sound, int mode, SndFadeCallback callback);

void sndStopGroup(int group);
// Clamped to 0..1; every sound of the group follows at once.
void sndSetGroupVolume(float volume, int group);
float sndGetGroupVolume(int group);

// active 0: pauses every playing sound; nonzero: resumes exactly the sounds that pause stopped
// (and nobody stopped since). Called when the window loses or regains activation.
void sndPauseAll(int active);
// Refills streamed sounds and runs fades; runs at most every 50 ms (fromThread nonzero: 100 ms
// since the last tick of either caller). The main loop calls sndTick(0) every frame.
void sndTick(int fromThread);
// Writes every sound of the library to the log (a debug aid).
void sndListDump();

// Plays the name as sndPlay in group 0, but only when no sound of that name plays; else null.
sndSound* sndPlayUnique(const char* name);
// A sound of one silent 16-bit PCM buffer of that size, filled by the caller through
// sndLockBuffer and sndUnlockBuffer, which return 0, or 1 for no sound, 2 for no buffer and 3
// when the lock or unlock fails.
sndSound* sndCreateBuffer(const char* name, int group, int bytes, int channels, int rate);
int sndLockBuffer(sndSound* sound, int offset, int bytes, void** part1, int* bytes1, void** part2,
                  int* bytes2);
int sndUnlockBuffer(sndSound* sound, void* part1, int bytes1, void* part2, int bytes2);
// Read back from the output; the volume is also stored as the sound's own volume.
float sndGetVolume(sndSound* sound);
float sndGetPan(sndSound* sound);
// Seconds of the sound's file; 0 without one.
float sndGetDuration(sndSound* sound);
// Sets the volume and a rate at position 0..1 of the sound's frequency range, then plays.
void sndSetVolumeFrequency(sndSound* sound, float volume, float position);
// Positional plays: the volume is scaled by (r² - distance²) / r² of the sound's hearing range
// r between the listener and the source; nothing plays beyond the range. A sound without a
// range is heard everywhere. sndPlayAt also plays nothing while an instance of the name plays at
// least as loud.
sndSound* sndPlayAt(const char* name, int group, Point2i listener, Point2i source);
sndSound* sndPlayAtEx(const char* name, int group, Point2i listener, Point2i source, float volume,
                      float pan, float frequency);
void sndPlaySoundAt(sndSound* sound, int loop, Point2i listener, Point2i source);

// --- Sound scripts and music -------------------------------------------------------------------

// A library sound for every section of the INI file but [main], which gives the defaults.
void sndLoadScript(const char* file);
// Frees the library sound of every section name of the file.
void sndUnloadScript(const char* file);

// Plays the one current music by name (a .ogg file, a script section, or a section of
// data/snd/music.ini). While another music plays and the fade has SND_FADE_IN_FILE or
// SND_FADE_OUT, that one fades out first and the new one starts when it ends.
void sndPlayMusic(const char* name, int fadeMode, int loop, SndFadeCallback callback);
// Stops the current music at once (fade 0) or by a timed fade-out; it stays the current music.
void sndStopMusic(int fade);
// Frees the current music (and a queued one) and forgets it.
void sndStopMusicNow();
int sndIsMusicPlaying();
void sndResumeMusic(int loop);
// A music by name as a sound of the music group, or null.
sndSound* sndLoadMusic(const char* name);
// The fade callback that completes a music switch.
void sndSwitchMusic(sndSound* sound);
