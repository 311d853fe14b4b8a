// The sound engine over the software mixer: the sound library, static and streamed voices, the
// stream thread, fades, group volumes and the conversions to the mixer's decibels.
#include "engine/snd/snd_internal.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "core/strings.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/platform/timer.h"

// Threads and locks. Three threads meet in sound:
// - the main thread calls every snd function and ticks from the main loop;
// - the stream thread ticks every 100 ms to refill the rings of streamed sounds;
// - the audio device's thread only calls mixerFill.
// The library lock (below) serialises the first two: every snd function and every tick hold it
// for their whole work, so no two threads change one record at once. The mixer's own mutex sits
// beneath it and is the only lock the audio thread takes; the library lock is always taken
// first, never the other way round, so the two cannot deadlock.

namespace {

enum { LIBRARY_START = 600, SLOT_BITS = 20, MAX_SLOTS = 1 << SLOT_BITS };

std::recursive_mutex gLock;
using Hold = std::lock_guard<std::recursive_mutex>;

SndRecord** gLibrary = nullptr;
int gLibraryCapacity = 0;
uint64_t gNextId = 0;

bool gReady = false;
bool gDeviceOpen = false;
float gGroupVolume[3] = {1.0f, 1.0f, 1.0f};
unsigned gLastTick = 0;
uint32_t gSeed = 125423;

unsigned timerClock() { return static_cast<unsigned>(lroundf(timerNow())); }
unsigned (*gClock)() = timerClock;

// The stream thread and how it is asked to stop.
std::thread gStreamThread;
std::mutex gWakeLock;
std::condition_variable gWake;
bool gStopThread = false;

void streamThread() {
    std::unique_lock<std::mutex> wake(gWakeLock);
    while (!gStopThread) {
        wake.unlock();
        sndTick(1);
        wake.lock();
        gWake.wait_for(wake, std::chrono::milliseconds(100), [] { return gStopThread; });
    }
}

void stopStreamThread() {
    if (!gStreamThread.joinable()) return;
    {
        std::lock_guard<std::mutex> wake(gWakeLock);
        gStopThread = true;
    }
    gWake.notify_all();
    gStreamThread.join();
    gStopThread = false;
}

float groupVolume(int group) { return group >= 0 && group < 3 ? gGroupVolume[group] : 1.0f; }

SndVoice& current(SndRecord* r) { return r->voices[r->voice]; }

void closeVoice(SndVoice& v) {
    mixRelease(v.buffer);
    v.buffer = nullptr;
    delete v.reader;
    v.reader = nullptr;
}

void setDefaults(SndVoice& v) {
    memset(&v, 0, sizeof v);
    v.maxVolume = 1.0f;
    v.maxFrequency = 1.0f;
}

// Fills `bytes` of the voice's buffer from `offset` with the reader's next bytes; returns the
// file bytes delivered (the silence after the end of a sound that does not loop left out).
unsigned fillFromReader(SndVoice& v, CFileSND* reader, int offset, int bytes, bool loop) {
    void *part1 = nullptr, *part2 = nullptr;
    int bytes1 = 0, bytes2 = 0;
    if (mixLock(v.buffer, offset, bytes, &part1, &bytes1, &part2, &bytes2) != 0) return 0;
    unsigned got = reader->Read(part1, static_cast<unsigned>(bytes1), loop);
    if (bytes2 > 0) got += reader->Read(part2, static_cast<unsigned>(bytes2), loop);
    mixUnlock(v.buffer, part1, bytes1, part2, bytes2);
    return got;
}

void applyVolumeOf(SndRecord* r, float volume) {
    SndVoice& v = current(r);
    if (!v.buffer) return;
    float linear = ((v.maxVolume - v.minVolume) * volume + v.minVolume) * groupVolume(r->group);
    mixSetVolume(v.buffer, sndLinearToDb(linear));
}

void applyVolume(SndRecord* r) { applyVolumeOf(r, r->volume); }

// Brings the voice's played count up to its buffer's play cursor.
void advance(SndRecord* r, SndVoice& v, int cursor) {
    if (!v.buffer || v.bufferBytes <= 0) return;
    if (!v.reader && !r->loop && r->playing && !(mixStatus(v.buffer) & MIX_PLAYING)) {
        // A static sound that plays once has stopped at its end and gone back to the start.
        if (v.played < v.dataSize) v.played = v.dataSize;
    } else {
        v.played += static_cast<unsigned>((cursor - v.lastCursor + v.bufferBytes) % v.bufferBytes);
    }
    v.lastCursor = cursor;
}

// Refills the whole ring of a streamed voice from the start of its file.
void rewindStream(SndRecord* r, SndVoice& v) {
    v.reader->Rewind();
    v.written = fillFromReader(v, v.reader, 0, v.bufferBytes, r->loop);
    v.ringLoops = r->loop;
}

void stopRecord(SndRecord* r) {
    r->ticked = false;
    r->pausedByDeactivation = false;
    SndVoice& v = current(r);
    if (v.buffer && (r->playing || v.moved)) {
        mixStop(v.buffer);
        mixSetPosition(v.buffer, 0);
        if (v.reader) rewindStream(r, v);
        v.played = 0;
        v.lastCursor = 0;
        v.moved = false;
    }
    r->playing = false;
}

bool playRecord(SndRecord* r, int loop);

// Ends the fade; false when the callback freed the record.
bool endFade(SndRecord* r) {
    if (!current(r).reader && !(r->fadeMode & (SND_FADE_IN_FILE | SND_FADE_OUT_FILE)))
        r->ticked = false;
    r->fadeMode &= SND_FADE_IN_FILE | SND_FADE_OUT_FILE;
    r->fadeTimer = 0;
    SndFadeCallback callback = r->fadeCallback;
    r->fadeCallback = nullptr;
    if (callback) {
        sndSound* handle = sndHandle(r);
        callback(handle);
        r = sndResolve(handle);
        if (!r) return false;
    }
    applyVolume(r);
    return true;
}

// One step of the sound's fade, `elapsed` milliseconds on; false when the record was freed.
bool fadeStep(SndRecord* r, int elapsed) {
    SndVoice& v = current(r);
    if (v.dataSize == 0 || v.bytesPerSec == 0) return true;
    const uint64_t p = v.played;
    const uint64_t f = p % v.dataSize;
    const float bytesPerSec = static_cast<float>(v.bytesPerSec);
    r->fadeTimer -= elapsed;

    if (p >= v.dataSize) {
        if (!r->loop) stopRecord(r);
        if (r->voiceCount > 1) {
            stopRecord(r);
            applyVolume(r);
            sndPickVoice(r);
            if (r->loop) {
                sndSound* handle = sndHandle(r);
                playRecord(r, -1);
                r = sndResolve(handle);
                if (!r) return false;
            }
        }
        if ((r->fadeMode & SND_FADE_END_FILE) && !endFade(r)) return false;
    }
    if ((r->fadeMode & SND_FADE_END_TIMER) && r->fadeTimer < 0) return endFade(r);
    if (r->fadeMode & SND_FADE_IN) {
        if (r->fadeTimer > 0 && r->fadeTimer <= 1000) {
            applyVolumeOf(r, r->volume * static_cast<float>(1000 - r->fadeTimer) / 1000.0f);
            return true;
        }
        return endFade(r);
    }
    if (r->fadeMode & SND_FADE_OUT) {
        if (r->fadeTimer > 0 && r->fadeTimer <= 1000) {
            applyVolumeOf(r, r->volume * static_cast<float>(r->fadeTimer) / 1000.0f);
            return true;
        }
        stopRecord(r);
        return endFade(r);
    }
    const float t = static_cast<float>(f) / bytesPerSec;
    if (r->fadeMode & SND_FADE_IN_FILE) {
        // Only the first pass fades in: a looping sound comes back at full volume.
        if (p < v.dataSize && t < 1.0f) {
            applyVolumeOf(r, r->volume * t);
            return true;
        }
        r->fadeMode &= ~SND_FADE_IN_FILE;
        if (!current(r).reader && r->fadeMode == 0) r->ticked = false;
        applyVolume(r);
    }
    if (r->fadeMode & SND_FADE_OUT_FILE) {
        const float duration = static_cast<float>(v.dataSize) / bytesPerSec;
        if (t > duration - 1.0f) applyVolumeOf(r, r->volume * (duration - t));
    }
    return true;
}

// Refills the ring behind the play cursor; false when a fade callback freed the record.
bool streamUpdate(SndRecord* r) {
    SndVoice& v = current(r);
    if (!v.reader || !v.buffer) return true;
    int cursor = 0, write = 0;
    mixGetPosition(v.buffer, &cursor, &write);
    advance(r, v, cursor);
    if (!r->loop && v.written > v.dataSize) v.written = v.dataSize;
    const int o = static_cast<int>(v.written % SND_RING_BYTES);
    int room = cursor - o;
    if (o > cursor) room += SND_RING_BYTES;
    if (room <= 0) return true;
    v.written += fillFromReader(v, v.reader, o, room, r->loop);
    return fadeStep(r, 100);
}

// A static voice's fade runs on the clock; its play cursor gives the position. Fades of short
// sounds are serviced too: a fade-in sets the volume to 0 at once and would otherwise leave the
// sound silent, and a timed fade-out would never stop it.
bool staticUpdate(SndRecord* r, unsigned now) {
    SndVoice& v = current(r);
    if (!v.buffer || !r->playing) return true;
    int cursor = 0, write = 0;
    mixGetPosition(v.buffer, &cursor, &write);
    advance(r, v, cursor);
    int elapsed = static_cast<int>(now - r->serviceTime);
    r->serviceTime = now;
    return fadeStep(r, elapsed < 0 ? 0 : elapsed);
}

// Starts the current voice; false when a fade callback freed the record.
bool playRecord(SndRecord* r, int loop) {
    if (loop >= 0) r->loop = loop != 0;
    SndVoice& v = current(r);
    if (!v.buffer) return true;
    // A ring filled before the sound was set to loop (or not) ends wrong after the first pass.
    if (v.reader && !v.moved && v.ringLoops != r->loop) rewindStream(r, v);
    if (!(mixStatus(v.buffer) & MIX_PLAYING)) {
        int cursor = 0, write = 0;
        mixGetPosition(v.buffer, &cursor, &write);
        // A static voice's cursor is its position in the file.
        if (!v.reader) v.played = static_cast<unsigned>(cursor);
        v.lastCursor = cursor;
    }
    applyVolume(r);
    if (v.reader) r->ticked = true;
    if (r->ticked) {
        r->serviceTime = gClock();
        sndSound* handle = sndHandle(r);
        if (!fadeStep(r, 0)) return false;
        r = sndResolve(handle);
        if (!r) return false;
    }
    SndVoice& now = current(r);
    if (!now.buffer) return true;
    mixPlay(now.buffer, r->loop || now.reader);
    now.moved = true;
    r->playing = true;
    return true;
}

int isPlaying(SndRecord* r) {
    SndVoice& v = current(r);
    if (!v.buffer || !r->playing) return 0;
    r->playing = (mixStatus(v.buffer) & MIX_PLAYING) != 0;
    return r->playing ? 1 : 0;
}

void pauseRecord(SndRecord* r) {
    SndVoice& v = current(r);
    if (v.buffer) mixStop(v.buffer);
    r->playing = false;
}

void setPan(SndRecord* r, float pan) {
    SndVoice& v = current(r);
    if (!v.buffer) return;
    if (!(pan >= -1.0f)) pan = -1.0f;  // NaN too
    if (pan > 1.0f) pan = 1.0f;
    mixSetPan(v.buffer, sndPanToOutput(pan * v.pan));
}

void setFrequency(SndRecord* r, float factor) {
    SndVoice& v = current(r);
    if (v.buffer) mixSetFrequency(v.buffer, sndFactorToHz(factor, v.rate));
}

void setFade(SndRecord* r, int mode, SndFadeCallback callback) {
    r->fadeMode = mode & 63;
    r->fadeTimer = 1000;
    r->ticked = true;
    r->fadeCallback = callback;
    r->serviceTime = gClock();
    if (mode & (SND_FADE_IN_FILE | SND_FADE_IN)) applyVolumeOf(r, 0.0f);
}

// A new instance of a library sound: streamed voices open their files again, static ones share
// the library's data.
SndRecord* newInstance(SndRecord* lib, int group) {
    SndRecord* r = sndNewRecord(lib->name, lib->voiceCount > 1 ? SND_MAX_VOICES : 1, group);
    if (!r) return nullptr;
    r->loop = lib->loop;
    r->voiceCount = lib->voiceCount;
    r->once = lib->once;
    r->volume = lib->volume;
    for (int i = 0; i < lib->voiceCount; ++i) {
        const SndVoice& from = lib->voices[i];
        SndVoice& to = r->voices[i];
        to.rangeSquared = from.rangeSquared;
        memcpy(to.fileName, from.fileName, sizeof to.fileName);
        to.minVolume = from.minVolume;
        to.maxVolume = from.maxVolume;
        to.minFrequency = from.minFrequency;
        to.maxFrequency = from.maxFrequency;
        to.pan = from.pan;
        if (from.reader || lib->opensWhenPlayed) {
            sndOpenVoice(r, i);
        } else if (from.buffer) {
            to.buffer = mixDuplicate(from.buffer);
            to.dataSize = from.dataSize;
            to.bytesPerSec = from.bytesPerSec;
            to.rate = from.rate;
            to.bufferBytes = from.bufferBytes;
        }
    }
    sndPickVoice(r);
    return r;
}

SndRecord* getSound(const char* name, int group) {
    if (!name || !*name) return nullptr;
    SndRecord* lib = sndFind(name, false);
    if (!lib) {
        if (!sndHasExtension(name, "wav") && !sndHasExtension(name, "ogg")) return nullptr;
        SndRecord* r = sndNewRecord(name, 1, group);
        if (!r) return nullptr;
        StrCopyN(r->voices[0].fileName, name, SND_NAME_BYTES - 1);
        sndOpenVoice(r, 0);
        return r;
    }
    if (!lib->once) return newInstance(lib, group);
    if (isPlaying(lib)) return nullptr;
    // Music played as itself opens its files the first time.
    if (lib->opensWhenPlayed) {
        lib->opensWhenPlayed = false;
        for (int i = 0; i < lib->voiceCount; ++i) sndOpenVoice(lib, i);
    }
    return lib;
}

// The hearing factor between listener and source; a sound without a range is heard everywhere.
float attenuation(const SndRecord* r, Point2i listener, Point2i source) {
    if (!r) return 1.0f;
    const int64_t range = r->voices[r->voice].rangeSquared;
    if (range <= 0) return 1.0f;
    const int64_t dx = static_cast<int64_t>(listener.x) - source.x;
    const int64_t dy = static_cast<int64_t>(listener.y) - source.y;
    return static_cast<float>(range - dx * dx - dy * dy) / static_cast<float>(range);
}

// Starts a found sound the way every play by name does: marked for release unless "once".
sndSound* startPlay(SndRecord* r, float volume, float pan, float frequency, bool setPanToo) {
    if (!r->once) r->autoRelease = true;
    if (volume >= 0.0f) r->volume = volume;
    if (frequency >= 0.0f) setFrequency(r, frequency);
    if (setPanToo) setPan(r, pan);
    sndSound* handle = sndHandle(r);
    playRecord(r, 0);
    return handle;
}

}  // namespace

// --- Library -----------------------------------------------------------------------------------

std::recursive_mutex& sndLibraryLock() { return gLock; }

SndRecord* sndResolve(sndSound* sound) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(sound);
    if (!value) return nullptr;
    const int slot = static_cast<int>(value & (MAX_SLOTS - 1));
    if (slot >= gLibraryCapacity) return nullptr;
    SndRecord* r = gLibrary[slot];
    return r && r->id == static_cast<uint64_t>(value >> SLOT_BITS) ? r : nullptr;
}

sndSound* sndHandle(const SndRecord* record) {
    if (!record) return nullptr;
    const uintptr_t value =
        static_cast<uintptr_t>(record->id) << SLOT_BITS | static_cast<uintptr_t>(record->slot);
    return reinterpret_cast<sndSound*>(value);
}

SndRecord* sndNewRecord(const char* name, int voices, int group) {
    static_assert(sizeof(uintptr_t) >= 8, "sound handles need 64-bit pointers");
    int slot = 0;
    while (slot < gLibraryCapacity && gLibrary[slot]) ++slot;
    if (slot == gLibraryCapacity) {
        int grown = gLibraryCapacity == 0 ? LIBRARY_START : gLibraryCapacity + gLibraryCapacity / 2;
        if (grown > MAX_SLOTS) grown = MAX_SLOTS;
        if (grown <= gLibraryCapacity) {
            logPrintf("sound: the library is full (%d sounds)\n", gLibraryCapacity);
            return nullptr;
        }
        auto* bigger = static_cast<SndRecord**>(realloc(gLibrary, sizeof(SndRecord*) * grown));
        if (!bigger) return nullptr;
        for (int i = gLibraryCapacity; i < grown; ++i) bigger[i] = nullptr;
        gLibrary = bigger;
        gLibraryCapacity = grown;
    }
    if (voices < 1) voices = 1;
    if (voices > SND_MAX_VOICES) voices = SND_MAX_VOICES;
    auto* r = static_cast<SndRecord*>(calloc(1, sizeof(SndRecord)));
    auto* v = static_cast<SndVoice*>(calloc(voices, sizeof(SndVoice)));
    if (!r || !v) {
        free(r);
        free(v);
        return nullptr;
    }
    for (int i = 0; i < voices; ++i) setDefaults(v[i]);
    r->voices = v;
    r->voiceCapacity = voices;
    r->voiceCount = 1;
    r->group = group & 3;
    r->volume = 1.0f;
    StrCopyN(r->name, name ? name : "", SND_NAME_BYTES);
    r->id = ++gNextId;
    r->slot = slot;
    gLibrary[slot] = r;
    return r;
}

void sndRemove(SndRecord* record) {
    if (!record) return;
    gLibrary[record->slot] = nullptr;
    for (int i = 0; i < record->voiceCapacity; ++i) closeVoice(record->voices[i]);
    free(record->voices);
    free(record);
}

SndRecord* sndFind(const char* name, bool scriptedOnly) {
    if (!name) return nullptr;
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        if (r && (!scriptedOnly || r->scripted) && iniPathEqual(r->name, name) == 0) return r;
    }
    return nullptr;
}

bool sndOpenVoice(SndRecord* record, int voice) {
    SndVoice& v = record->voices[voice];
    closeVoice(v);
    if (!v.fileName[0] || !gReady) return false;
    CFileSND* reader = sndCreateFileByExt(v.fileName);
    if (!reader) {
        logPrintf("sound: %s is neither a .wav nor an .ogg file\n", v.fileName);
        return false;
    }
    if (reader->Open(v.fileName) != 0) {
        delete reader;
        return false;
    }
    const WaveFormat& format = reader->format;
    if (reader->dataSize < format.blockAlign || format.blockAlign == 0) {
        logPrintf("sound: %s holds no sound\n", v.fileName);
        delete reader;
        return false;
    }
    const bool streamed = reader->dataSize > SND_RING_BYTES || record->group == SND_GROUP_MUSIC;
    const int bytes = streamed ? SND_RING_BYTES : static_cast<int>(reader->dataSize);
    v.buffer = mixCreateBuffer(bytes, format.channels, static_cast<int>(format.samplesPerSec),
                               format.bitsPerSample);
    if (!v.buffer) {
        logPrintf("sound: %s: no buffer for it\n", v.fileName);
        delete reader;
        return false;
    }
    v.dataSize = reader->dataSize;
    v.bytesPerSec = format.avgBytesPerSec;
    v.rate = format.samplesPerSec;
    v.bufferBytes = bytes / format.blockAlign * format.blockAlign;
    v.written = fillFromReader(v, reader, 0, v.bufferBytes, record->loop);
    v.ringLoops = record->loop;
    if (streamed) v.reader = reader;
    else delete reader;
    return true;
}

int sndRandom(int n) {
    gSeed = gSeed * 214013u + 2531011u;
    const uint32_t r = (gSeed >> 16) & 0x7FFF;
    return static_cast<int>(static_cast<int64_t>(r) * n / 32768);
}

void sndResetRandom() {
    Hold hold(gLock);
    gSeed = 125423;
}

void sndPickVoice(SndRecord* record) {
    int count = record->voiceCount < 1 ? 1 : record->voiceCount;
    record->voice = sndRandom(count);
}

void sndCollect() {
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        // A sound paused by deactivation is not over: it resumes on activation.
        if (r && r->autoRelease && !r->pausedByDeactivation && !isPlaying(r)) sndRemove(r);
    }
}

int sndLibraryCount() {
    Hold hold(gLock);
    int n = 0;
    for (int i = 0; i < gLibraryCapacity; ++i) n += gLibrary[i] != nullptr;
    return n;
}

// --- Conversions -------------------------------------------------------------------------------

int sndLinearToDb(float linear) {
    float n = roundf(255.0f * linear);
    if (!(n >= 0.0f)) n = 0.0f;  // NaN too
    if (n > 255.0f) n = 255.0f;
    const float level = 10000.0f * log10f(1.0f + 9.0f * log2f(n + 1.0f) / 8.0f);
    return static_cast<int>(lroundf(level)) - 10000;
}

float sndDbToLinear(int hundredths) {
    const float a = powf(10.0f, static_cast<float>(hundredths + 10000) / 10000.0f) - 1.0f;
    return (roundf(powf(2.0f, 8.0f * a / 9.0f)) - 1.0f) / 255.0f;
}

int sndPanToOutput(float pan) {
    if (pan == 0.0f) return 0;
    const int side = -sndLinearToDb(1.0f - fabsf(pan));
    return pan > 0.0f ? side : -side;
}

float sndOutputToPan(int pan) {
    if (pan == 0) return 0.0f;
    const float side = 1.0f - sndDbToLinear(-abs(pan));
    return pan > 0 ? side : -side;
}

int sndFactorToHz(float factor, unsigned rate) {
    const float hz = roundf(factor * static_cast<float>(rate));
    if (!(hz >= static_cast<float>(MIX_FREQUENCY_MIN))) return MIX_FREQUENCY_MIN;  // NaN too
    if (hz > static_cast<float>(MIX_FREQUENCY_MAX)) return MIX_FREQUENCY_MAX;
    return static_cast<int>(hz);
}

// --- Start and stop ----------------------------------------------------------------------------

void sndSetClock(unsigned (*clock)()) {
    Hold hold(gLock);
    gClock = clock ? clock : timerClock;
    gLastTick = 0;  // a time of the old clock means nothing on the new one
}

void sndInitWithoutDevice() {
    Hold hold(gLock);
    gReady = true;
}

void sndInit(void*) {
    bool opened = true;
    {
        Hold hold(gLock);
        if (!gDeviceOpen) {
            opened = platAudioOpen(mixerFill);
            if (opened) {
                gDeviceOpen = true;
                gReady = true;
                platAudioPause(false);
            }
        }
    }
    if (!opened) {
        logPrintf("sndInit: no audio device, sound is off\n");
        sndDone();
        return;
    }
    if (!gStreamThread.joinable()) gStreamThread = std::thread(streamThread);
}

void sndDone() {
    // Joined before the library lock is taken: the thread may be waiting for it.
    stopStreamThread();
    Hold hold(gLock);
    if (gDeviceOpen) {
        platAudioClose();
        gDeviceOpen = false;
    }
    for (int i = gLibraryCapacity - 1; i >= 0; --i)
        if (gLibrary[i]) sndRemove(gLibrary[i]);
    free(gLibrary);
    gLibrary = nullptr;
    gLibraryCapacity = 0;
    gReady = false;
}

int sndIsReady() {
    Hold hold(gLock);
    return gReady ? 1 : 0;
}

// --- Playing -----------------------------------------------------------------------------------

sndSound* sndGetSound(const char* name, int group) {
    Hold hold(gLock);
    return sndHandle(getSound(name, group));
}

sndSound* sndPlay(const char* name, int group) {
    Hold hold(gLock);
    sndCollect();
    if (groupVolume(group) < 0.01f) return nullptr;
    SndRecord* r = getSound(name, group);
    return r ? startPlay(r, -1.0f, 0.0f, -1.0f, false) : nullptr;
}

sndSound* sndPlayEx(const char* name, int group, float volume, float pan, float frequency) {
    Hold hold(gLock);
    sndCollect();
    if (groupVolume(group) < 0.01f) return nullptr;
    SndRecord* r = getSound(name, group);
    return r ? startPlay(r, volume, pan, frequency, true) : nullptr;
}

sndSound* sndPlayUnique(const char* name) {
    Hold hold(gLock);
    if (!name) return nullptr;
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        if (r && iniPathEqual(r->name, name) == 0 && isPlaying(r)) return nullptr;
    }
    return sndPlay(name, SND_GROUP_SOUND);
}

void sndPlaySound(sndSound* sound, int loop) {
    Hold hold(gLock);
    if (SndRecord* r = sndResolve(sound)) playRecord(r, loop);
}

void sndStop(sndSound* sound) {
    Hold hold(gLock);
    if (SndRecord* r = sndResolve(sound)) stopRecord(r);
}

void sndPause(sndSound* sound) {
    Hold hold(gLock);
    if (SndRecord* r = sndResolve(sound)) pauseRecord(r);
}

int sndIsPlaying(sndSound* sound) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    return r ? isPlaying(r) : 0;
}

void sndRelease(sndSound* sound) {
    Hold hold(gLock);
    sndCollect();
    SndRecord* r = sndResolve(sound);
    if (!r) return;
    stopRecord(r);
    if (!r->once) r->autoRelease = true;
}

void sndSetVolume(sndSound* sound, float volume) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    if (!r) return;
    r->volume = volume;
    applyVolume(r);
}

void sndSetPan(sndSound* sound, float pan) {
    Hold hold(gLock);
    if (SndRecord* r = sndResolve(sound)) setPan(r, pan);
}

void sndSetFrequency(sndSound* sound, float factor) {
    Hold hold(gLock);
    if (SndRecord* r = sndResolve(sound)) setFrequency(r, factor);
}

void sndSetFade(sndSound* sound, int mode, SndFadeCallback callback) {
    Hold hold(gLock);
    if (SndRecord* r = sndResolve(sound)) setFade(r, mode, callback);
}

void sndStopGroup(int group) {
    Hold hold(gLock);
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        if (r && r->playing && r->group == group) stopRecord(r);
    }
}

void sndSetGroupVolume(float volume, int group) {
    Hold hold(gLock);
    if (group < 0 || group > 2) return;
    if (!(volume >= 0.0f)) volume = 0.0f;  // NaN too
    if (volume > 1.0f) volume = 1.0f;
    gGroupVolume[group] = volume;
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        if (r && r->group == group) applyVolume(r);
    }
}

float sndGetGroupVolume(int group) {
    Hold hold(gLock);
    return group >= 0 && group < 3 ? gGroupVolume[group] : 0.0f;
}

void sndPauseAll(int active) {
    Hold hold(gLock);
    for (int i = gLibraryCapacity - 1; i >= 0; --i) {
        SndRecord* r = i < gLibraryCapacity ? gLibrary[i] : nullptr;
        if (!r) continue;
        if (!active) {
            if (isPlaying(r)) {
                r->pausedByDeactivation = true;
                pauseRecord(r);
            }
        } else if (r->pausedByDeactivation) {
            r->pausedByDeactivation = false;
            playRecord(r, r->loop ? 1 : 0);
        }
    }
}

void sndTick(int fromThread) {
    Hold hold(gLock);
    const unsigned now = gClock();
    const int elapsed = static_cast<int>(now - gLastTick);
    if (elapsed < 50 || (fromThread && elapsed < 100)) return;
    gLastTick = now;
    // By index, looking each entry up again: a fade callback may add or free records.
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        if (!r || !r->ticked) continue;
        if (current(r).reader) streamUpdate(r);
        else staticUpdate(r, now);
    }
}

void sndListDump() {
    Hold hold(gLock);
    logPrintf("--- sound library: %d entries ---\n", gLibraryCapacity);
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        if (!r) continue;
        const char* group = r->group == 1 ? "MUSIC " : r->group == 0 ? "SOUND " : "";
        logPrintf("SoundLib[%d]: %sname=%s bQuant=%d bAuto=%d IsPlay=%d\n", i, group, r->name,
                  r->ticked ? 1 : 0, r->autoRelease ? 1 : 0, isPlaying(r));
    }
    logPrintf("--- end of the sound library ---\n");
}

// --- Operations the game does not call -----------------------------------------------------------

sndSound* sndCreateBuffer(const char* name, int group, int bytes, int channels, int rate) {
    Hold hold(gLock);
    SndRecord* r = sndNewRecord(name, 1, group);
    if (!r) return nullptr;
    if (gReady) {
        SndVoice& v = r->voices[0];
        v.buffer = mixCreateBuffer(bytes, channels, rate, 16);
        if (v.buffer) {
            v.rate = static_cast<unsigned>(rate);
            v.bytesPerSec = static_cast<unsigned>(rate * channels * 2);
            v.bufferBytes = bytes / (channels * 2) * (channels * 2);
            v.dataSize = static_cast<unsigned>(v.bufferBytes);
        } else {
            logPrintf("sndCreateBuffer: %s: cannot make a buffer of %d bytes, %d channels, %d Hz\n",
                      name ? name : "", bytes, channels, rate);
        }
    }
    return sndHandle(r);
}

int sndLockBuffer(sndSound* sound, int offset, int bytes, void** part1, int* bytes1, void** part2,
                  int* bytes2) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    if (!r) return 1;
    if (!current(r).buffer) return 2;
    return mixLock(current(r).buffer, offset, bytes, part1, bytes1, part2, bytes2) ? 3 : 0;
}

int sndUnlockBuffer(sndSound* sound, void* part1, int bytes1, void* part2, int bytes2) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    if (!r) return 1;
    if (!current(r).buffer) return 2;
    return mixUnlock(current(r).buffer, part1, bytes1, part2, bytes2) ? 3 : 0;
}

float sndGetVolume(sndSound* sound) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    if (!r) return 0.0f;
    if (current(r).buffer) {
        const float group = groupVolume(r->group);
        if (group > 0.0f) r->volume = sndDbToLinear(mixGetVolume(current(r).buffer)) / group;
    }
    return r->volume;
}

float sndGetPan(sndSound* sound) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    if (!r || !current(r).buffer) return 0.0f;
    return sndOutputToPan(mixGetPan(current(r).buffer));
}

float sndGetDuration(sndSound* sound) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    if (!r || current(r).bytesPerSec == 0) return 0.0f;
    return static_cast<float>(current(r).dataSize) / static_cast<float>(current(r).bytesPerSec);
}

void sndSetVolumeFrequency(sndSound* sound, float volume, float position) {
    Hold hold(gLock);
    SndRecord* r = sndResolve(sound);
    if (!r) return;
    r->volume = volume;
    applyVolume(r);
    const SndVoice& v = current(r);
    setFrequency(r, v.minFrequency + (v.maxFrequency - v.minFrequency) * position);
    playRecord(r, -1);
}

sndSound* sndPlayAt(const char* name, int group, Point2i listener, Point2i source) {
    Hold hold(gLock);
    sndCollect();
    if (!name || groupVolume(group) < 0.01f) return nullptr;
    const float a = attenuation(sndFind(name, false), listener, source);
    if (a < 0.0f) return nullptr;
    for (int i = 0; i < gLibraryCapacity; ++i) {
        SndRecord* r = gLibrary[i];
        if (r && iniPathEqual(r->name, name) == 0 && isPlaying(r) && r->volume >= a) return nullptr;
    }
    SndRecord* r = getSound(name, group);
    return r ? startPlay(r, r->volume * a, 0.0f, -1.0f, false) : nullptr;
}

sndSound* sndPlayAtEx(const char* name, int group, Point2i listener, Point2i source, float volume,
                      float pan, float frequency) {
    Hold hold(gLock);
    sndCollect();
    if (!name || groupVolume(group) < 0.01f) return nullptr;
    const float a = attenuation(sndFind(name, false), listener, source);
    if (a < 0.0f) return nullptr;
    SndRecord* r = getSound(name, group);
    if (!r) return nullptr;
    return startPlay(r, (volume >= 0.0f ? volume : r->volume) * a, pan, frequency, true);
}

void sndPlaySoundAt(sndSound* sound, int loop, Point2i listener, Point2i source) {
    Hold hold(gLock);
    sndCollect();
    SndRecord* r = sndResolve(sound);
    if (!r) return;
    const float a = attenuation(r, listener, source);
    if (a < 0.0f) return;
    r->volume *= a;
    playRecord(r, loop);
}
