// Sound file readers: RIFF WAVE and Ogg Vorbis files delivered as PCM bytes, with looping reads.
#pragma once

#include <cstdint>

struct FileHandle;
struct OggVorbis_File;

enum { WAVE_FORMAT_PCM = 1 };

// The PCM format of a reader's bytes, the fields of the classic wave format record.
struct WaveFormat {
    uint16_t formatTag;  // always WAVE_FORMAT_PCM once a reader has opened
    uint16_t channels;   // 1 or 2
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;  // samplesPerSec * blockAlign
    uint16_t blockAlign;      // bytes of one sample frame: channels * bitsPerSample / 8
    uint16_t bitsPerSample;   // 8 (unsigned) or 16 (signed little-endian)
    uint16_t extraSize;       // 0
};

// Where a reader's bytes come from: a file of the file layer, or a block of memory the caller
// keeps alive while the reader is open. Reads and seeks stay inside the length.
struct SndSource {
    FileHandle* file = nullptr;
    const unsigned char* memory = nullptr;
    long length = 0;
    long offset = 0;

    bool Open(const char* name);  // false (logged) when the file does not open
    void OpenMemory(const unsigned char* data, unsigned size);
    void Close();
    bool IsOpen() const { return file || memory; }
    bool Seek(long to);               // false outside 0..length
    int Read(void* buffer, int count);  // bytes read; 0 at the end or on an error
    bool ReadAt(long at, void* buffer, int count) { return Seek(at) && Read(buffer, count) == count; }
};

// A sound file open for reading. The caller opens it, sizes its buffer from format and dataSize,
// reads, and deletes the reader. A reader only opens what the mixer can play: PCM of 8 or 16
// bits, one or two channels, 100 to 200000 frames a second.
class CFileSND {
public:
    CFileSND();
    virtual ~CFileSND();
    CFileSND(const CFileSND&) = delete;
    CFileSND& operator=(const CFileSND&) = delete;

    // 0 on success; 1 when the file does not open; 2 when it is not a readable file of the
    // reader's kind (malformed, truncated or of a format that cannot be played). Every failure
    // writes one log line.
    virtual int Open(const char* name);
    // The same on a file's bytes in memory, kept alive by the caller while the reader is open;
    // `name` only names it in the log.
    int OpenMemory(const unsigned char* data, unsigned size, const char* name);
    // Back to the first PCM byte.
    virtual void Rewind();
    // Delivers up to `bytes` PCM bytes and returns how many. At the end of the data a looping
    // read rewinds and goes on from the start; otherwise, and when a whole pass from the start
    // gives nothing, the rest of the buffer is filled with silence that the count leaves out.
    virtual unsigned Read(void* buffer, unsigned bytes, int loop);
    // Releases the file; returns `code` so that failures can end in `return Close(n)`.
    virtual int Close(int code);

    WaveFormat format;
    unsigned dataSize;  // PCM bytes of the whole sound
    unsigned position;  // PCM bytes delivered since the last rewind

protected:
    // Up to `bytes` more bytes of the current pass; 0 ends the pass (end of data or an error).
    virtual unsigned ReadSome(unsigned char* buffer, unsigned bytes);
    // The looping read shared by the readers, over ReadSome and Rewind.
    unsigned ReadLooping(void* buffer, unsigned bytes, int loop);
    // Why `format` cannot be played, or null when it can.
    const char* FormatProblem() const;
    // Reads the header from `source`, opened already; 0 or 2 as Open.
    virtual int OpenSource(const char* name);

    SndSource source;
};

// RIFF WAVE files: the first "fmt " and "data" chunks of the RIFF chunk.
class CFileWAV : public CFileSND {
public:
    static CFileWAV* Create();
    ~CFileWAV() override;

    void Rewind() override;
    unsigned Read(void* buffer, unsigned bytes, int loop) override;
    int Close(int code) override;

protected:
    unsigned ReadSome(unsigned char* buffer, unsigned bytes) override;
    int OpenSource(const char* name) override;

private:
    long dataOffset = 0;  // where the "data" chunk's bytes start in the file
};

// Ogg Vorbis files, decoded to 16-bit PCM; only the first logical bitstream is played. Missing
// or damaged pages are passed over (logged once), and dataSize is what really decodes. Reads
// deliver whole sample frames: the part of a request short of a frame is silence.
class CFileOGG : public CFileSND {
public:
    static CFileOGG* Create();
    ~CFileOGG() override;

    void Rewind() override;
    unsigned Read(void* buffer, unsigned bytes, int loop) override;
    int Close(int code) override;

protected:
    unsigned ReadSome(unsigned char* buffer, unsigned bytes) override;
    int OpenSource(const char* name) override;

private:
    OggVorbis_File* stream = nullptr;  // set while a stream is open
    bool holeLogged = false;  // a damaged stream is logged once per open
    char logName[128] = {};   // the file's name for the log lines of later reads
};

// True when the text after the name's last '.' is the extension, without regard to case.
bool sndHasExtension(const char* name, const char* extension);
// A new reader chosen by the extension after the last '.', without regard to case: "wav" and
// "ogg"; null for any other name. The reader is not opened yet.
CFileSND* sndCreateFileByExt(const char* name);
