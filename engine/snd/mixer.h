// The software mixer: sound buffers of PCM that play once or looping at their own rate, volume
// and pan, mixed into the 44100 Hz 16-bit stereo output that the audio device pulls.
#pragma once

#include <cstdint>

// A sound buffer: a block of PCM (8-bit unsigned or 16-bit signed little-endian, mono or
// stereo interleaved, any rate) with its own play position, volume, pan and frequency. Static
// sounds fill it once; streamed sounds use it as a ring that they refill behind the play
// position. Duplicates share the PCM block and have everything else of their own; the block is
// freed with the last buffer that uses it.
struct MixBuffer;

// The output format of mixerFill.
enum { MIX_RATE = 44100, MIX_CHANNELS = 2 };

// Volume in hundredths of a decibel of attenuation: 0 is the sound as recorded, -10000 silent.
// Pan in hundredths of a decibel of attenuation on one side: below 0 the right channel is
// attenuated by -pan, above 0 the left one by pan; -10000 and 10000 silence that side.
// Frequency in sample frames per second of the source. Values outside the ranges are clamped.
enum {
    MIX_VOLUME_MIN = -10000,
    MIX_VOLUME_MAX = 0,
    MIX_PAN_LEFT = -10000,
    MIX_PAN_CENTER = 0,
    MIX_PAN_RIGHT = 10000,
    MIX_FREQUENCY_MIN = 100,
    MIX_FREQUENCY_MAX = 200000,
};

// mixStatus bits.
enum { MIX_PLAYING = 1, MIX_LOOPING = 4 };

// Threading: every function may be called from any thread. One mutex guards all buffer state;
// mixerFill holds it while it mixes one call's frames, every other function only for a few
// field updates or, in mixLock and mixUnlock, one copy of the locked bytes. Writes through a
// lock go to a private copy and reach the buffer at mixUnlock, under the mutex, so a buffer
// can be refilled while it plays. Functions taking a null buffer do nothing and fail.

// A stopped buffer of `bytes` bytes of silence in the given format at volume 0, pan 0 and its
// own rate; the size is cut to whole sample frames. Null when the format cannot be played
// (channels 1 or 2, bits 8 or 16, rate 100..200000) or the size holds no frame.
MixBuffer* mixCreateBuffer(int bytes, int channels, int rate, int bits);
// A stopped buffer at position 0 that shares the original's PCM and copies its format, volume,
// pan and frequency.
MixBuffer* mixDuplicate(MixBuffer* original);
// Stops the buffer and frees it (the PCM with the last buffer that shares it).
void mixRelease(MixBuffer* buffer);

// Plays from the current position, once (loop 0: stops at the end and goes back to 0) or
// looping (loop nonzero). A playing buffer only takes the new loop mode.
void mixPlay(MixBuffer* buffer, int loop);
// Stops where it is; the position stays.
void mixStop(MixBuffer* buffer);
// MIX_PLAYING while it plays, with MIX_LOOPING when it loops; 0 otherwise.
int mixStatus(MixBuffer* buffer);

void mixSetVolume(MixBuffer* buffer, int volume);
int mixGetVolume(MixBuffer* buffer);
void mixSetPan(MixBuffer* buffer, int pan);
int mixGetPan(MixBuffer* buffer);
void mixSetFrequency(MixBuffer* buffer, int frequency);
int mixGetFrequency(MixBuffer* buffer);

// Byte offsets into the buffer. The play position is the first frame that is still to be
// mixed; the write position is the first byte past what the next mix may read, so bytes from
// the write position up to the play position (wrapping) are free to be rewritten. Both are 0
// for a null buffer.
void mixGetPosition(MixBuffer* buffer, int* play, int* write);
// Moves the play position to the frame that holds `offset`; 1 when out of range, else 0.
int mixSetPosition(MixBuffer* buffer, int offset);

// Locks `bytes` bytes from `offset` for writing, wrapping at the end: part 1 runs from offset
// to at most the end, part 2 (null with 0 bytes when the range does not wrap) from the start.
// The parts hold the buffer's current bytes. Returns 0, or 1 when the range is not inside the
// buffer or the buffer is locked already. Writes take effect at mixUnlock.
int mixLock(MixBuffer* buffer, int offset, int bytes, void** part1, int* bytes1, void** part2,
            int* bytes2);
// Stores the first bytes1 and bytes2 bytes of the two parts (each at most what was locked)
// and ends the lock; 1 when the buffer was not locked with these parts, else 0.
int mixUnlock(MixBuffer* buffer, void* part1, int bytes1, void* part2, int bytes2);

// Mixes the next `frames` output frames of every playing buffer into `out` (frames * 2
// interleaved left/right samples), saturating at the 16-bit limits, and advances their play
// positions. Silence when nothing plays. The audio device's callback calls only this.
void mixerFill(int16_t* out, int frames);
