// Image file readers (TGA, JPEG, PNG): decode a whole file and convert any rectangle of it,
// box-filtered, into a caller's buffer in a layout described by channel bits and shifts.
#pragma once

// Sprites keep their sizes in 16 bits; the pixel cap bounds every decoding buffer (64 MB at
// four bytes per pixel). Larger images are refused before anything is allocated.
constexpr int kImageMaxSide = 32767;
constexpr long kImageMaxPixels = 1L << 24;

// A 1:1 conversion target that a reader fills while it decodes, a band of rows at a time while
// the band is hot in the cache, so no decoded copy of the whole image is made: colour pixels in
// a layout of channel bits and shifts and, for images with an alpha byte (32 bits), an alpha
// plane. The buffers are asked for once the size is known.
class cImageTarget {
public:
    virtual ~cImageTarget() = default;
    // Called once, before any row, with the image's size and depth: sets colour and pitch, and
    // alpha when bitsPerPixel is 32. False when there is no memory: nothing is written then.
    virtual bool Begin(int width, int height, int bitsPerPixel) = 0;

    int bytesPerPixel = 2;
    int bits[3] = {5, 6, 5};  // R, G, B
    int shifts[3] = {11, 5, 0};
    bool checkZero = false;  // note whether a colour pixel written is 0 (only without alpha)

    unsigned char* colour = nullptr;  // pitch bytes a row
    long pitch = 0;
    unsigned char* alpha = nullptr;  // width bytes a row, or null
    bool zeroSeen = false;
};

// One reader per format. A reader is made by imageOpen, opened once (Open or OpenMemory), asked
// for its size and for conversions, and deleted.
//
// Pixel layouts the readers hold (a pixel is its bytes read as a little-endian integer):
//   TGA 16: R 5 bits at 10, G 5 at 5, B 5 at 0
//   TGA 24/32: bytes B, G, R (A): R 8 at 16, G 8 at 8, B 8 at 0, alpha 8 at 24
//   TGA 8: an index into Palette() (B, G, R entries), converted as TGA 24
//   JPEG 24, PNG 24/32: bytes R, G, B (A): R 8 at 0, G 8 at 8, B 8 at 16, alpha 8 at 24
// Gray JPEG and gray PNG images are expanded to 24 or 32 bits; 16-bit and sub-byte PNG images
// are brought to 8 bits per channel, palette PNG images to 24 bits through their palette.
class cFileImage {
public:
    cFileImage();
    virtual ~cFileImage();
    cFileImage(const cFileImage&) = delete;
    cFileImage& operator=(const cFileImage&) = delete;

    // Loads the file with fileLoad and passes it to OpenMemory. 1 when the file cannot be loaded;
    // that case is not logged, since callers probe for optional files (alpha images).
    virtual int Open(const char* name);
    // Closes, then reads the image from a block that memFree can release. The reader owns the
    // block from here on, also on failure. 0 on success; otherwise nonzero after one log line,
    // and the reader stays empty (width and height 0, no pixels).
    virtual int OpenMemory(unsigned char* block, int size);
    // OpenMemory on a block loaded from the named file: the log lines name that file.
    int OpenMemoryOf(const char* name, unsigned char* block, int size);
    // Reads the named file and converts it 1:1 into target as it decodes; the reader is empty
    // afterwards. 1 when the file cannot be loaded (not logged, as Open); 0 on success; -2 when
    // target.Begin refused; otherwise nonzero after one log line, and rows written so far are
    // not to be used.
    virtual int DecodeFile(const char* name, cImageTarget& target);
    // The same from a block that memFree can release, owned by the reader as with OpenMemory.
    virtual int DecodeMemory(unsigned char* block, int size, cImageTarget& target);
    // TGA only: writes bitsPerPixel * width * |height| / 8 bytes of pixels unchanged after a TGA
    // header; a negative height marks the rows as top-down. 0, or -1 after a log line.
    virtual int Save(const char* name, const void* pixels, int bitsPerPixel, int width, int height);
    // Releases the owned blocks; the reader is empty afterwards. 0.
    virtual int Close();
    // TGA 8-bit only: copies each row (width bytes) into target, top row first. 0 or -1.
    virtual int ReadIndexRows(unsigned char* target, int pitch);
    // TGA only: 256 entries of B, G, R: the colour map, or the gray ramp without one.
    virtual const unsigned char* Palette();

    // The three conversions take a source rectangle (sx, sy, sw, sh; sy counts from the top row,
    // a negative sh walks the rows upward from sy), mapped box-filtered onto a target rectangle
    // (tx, ty, tw, th) of a buffer of bytesPerPixel (1 to 4) bytes per pixel and pitch bytes per
    // row. Each target channel is written at its bits and shift; all other target bits keep their
    // values. 0, or -1 (logged) when the reader has no such pixels or a rectangle is out of range.

    // TGA 8-bit only: all ones where any source pixel under the target pixel is not black.
    virtual int MaskFromBlack(int sx, int sy, int sw, int sh, void* target, int tx, int ty, int tw,
                              int th, int bytesPerPixel, int pitch, int bits, int shift);
    // One channel: the alpha byte of 32-bit images, the lowest byte of 24-bit images, the palette
    // colour (its B byte) of 8-bit TGA images.
    virtual int ExtractChannel(int sx, int sy, int sw, int sh, void* target, int tx, int ty, int tw,
                               int th, int bytesPerPixel, int pitch, int bits, int shift);
    // The colour channels; alpha bits and shift are accepted and not used.
    virtual int Convert(int sx, int sy, int sw, int sh, void* target, int tx, int ty, int tw,
                        int th, int bytesPerPixel, int pitch, int rBits, int gBits, int bBits,
                        int aBits, int rShift, int gShift, int bShift, int aShift);
    // TGA and JPEG, 24 and 32 bits: reduces the pixels in place to the given bits per channel
    // (1 to 8) by serpentine error diffusion.
    virtual void Dither(int rBits, int gBits, int bBits);
    // TGA: 1 when the file has no colour map; 0 for the other readers.
    virtual int HasNoColourMap();
    // TGA 8-bit: 1 when some pixel's palette entry is black.
    virtual int UsesBlack();

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    int Frames() const { return frames_; }
    int FrameTime() const { return frameTime_; }

protected:
    // Where a reader's pixels are and how a pixel's channels sit in it.
    struct PixelView {
        unsigned char* top;            // first byte of the top row
        long pitch;                    // bytes from one row to the one below (negative bottom-up)
        int bytesPerPixel;             // 1 to 4
        const unsigned char* palette;  // 256 B, G, R entries for index pixels, else null
        int bits[3], shift[3];         // R, G, B after any palette lookup
        int channelShift;              // ExtractChannel's byte, or -1 when there is none
    };
    // False when the reader holds no pixels.
    virtual bool View(PixelView* view);
    // Converts count rows of band, whose top row is the image's row y, into target (after its
    // Begin): the same bytes Convert and ExtractChannel give for those rows.
    void ConvertBand(const PixelView& band, int y, int count, cImageTarget& target);
    // Serpentine error diffusion over a 24- or 32-bit view.
    void DitherView(const PixelView& view, int rBits, int gBits, int bBits);
    void ResetSize();
    // Name for log lines: the file being opened, or a neutral word for a bare block.
    const char* LogName() const;
    // Checks a decoded size against the caps; logs and gives false when it is refused.
    bool SizeAccepted(const char* format, long width, long height) const;

    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 0;
    int frames_ = 1;
    int frameTime_ = 0;
    const char* logName_ = nullptr;  // set only while OpenMemoryOf runs
};

class cTGAImage : public cFileImage {
public:
    cTGAImage();
    ~cTGAImage() override;
    int OpenMemory(unsigned char* block, int size) override;
    // Reads a file on the disk in bands of rows, each converted as soon as it is read.
    int DecodeFile(const char* name, cImageTarget& target) override;
    int Save(const char* name, const void* pixels, int bitsPerPixel, int width,
             int height) override;
    int Close() override;
    int ReadIndexRows(unsigned char* target, int pitch) override;
    const unsigned char* Palette() override;
    void Dither(int rBits, int gBits, int bBits) override;
    int HasNoColourMap() override;
    int UsesBlack() override;

protected:
    bool View(PixelView* view) override;

private:
    // Checks the header at head (headBytes of a file of size bytes) and takes the size, depth
    // and colour map; the pixels start offset bytes into the file.
    bool Parse(const unsigned char* head, long headBytes, long size, long* offset);
    void FillView(PixelView* view, unsigned char* top, long pitch);

    unsigned char* block_ = nullptr;   // the whole file; pixels are read from it in place
    unsigned char* pixels_ = nullptr;  // first stored row inside block_
    unsigned char header_[12];         // first 12 header bytes of the last file
    unsigned char descriptor_;
    bool colourMapped_ = false;  // 8-bit pixels index palette_
    unsigned char palette_[256 * 3];
};

class cJPGImage : public cFileImage {
public:
    ~cJPGImage() override;
    int OpenMemory(unsigned char* block, int size) override;
    int DecodeMemory(unsigned char* block, int size, cImageTarget& target) override;
    int Close() override;
    void Dither(int rBits, int gBits, int bBits) override;

protected:
    bool View(PixelView* view) override;

private:
    // Into pixels_, or band by band into target when there is one.
    int Decode(unsigned char* block, int size, cImageTarget* target);

    unsigned char* pixels_ = nullptr;  // R, G, B rows, top first (or one band while streaming)
    int stride_ = 0;
};

class cPNGImage : public cFileImage {
public:
    ~cPNGImage() override;
    int OpenMemory(unsigned char* block, int size) override;
    int DecodeMemory(unsigned char* block, int size, cImageTarget& target) override;
    int Close() override;

protected:
    bool View(PixelView* view) override;

private:
    // Into pixels_; band by band into target instead when there is one and the file is not
    // interlaced (an interlaced image is whole only after its last pass).
    int Decode(cImageTarget* target);
    int Take(unsigned char* block, int size, cImageTarget* target);

    unsigned char* block_ = nullptr;  // the file, held while decoding
    int size_ = 0;
    int readPos_ = 0;
    unsigned char* pixels_ = nullptr;   // R, G, B (A) rows, top first
    unsigned char* indices_ = nullptr;  // palette indices while decoding
    unsigned char** rows_ = nullptr;    // row pointers while decoding
    int stride_ = 0;

    friend struct PngCallbacks;
};

// True when part, written in lower case, occurs in the name with A-Z compared without case.
bool imageNameHas(const char* name, const char* part);

// The reader for a file name by its extension (".tga", ".jpg", ".png" anywhere in the name,
// letters A-Z compared without case); null for any other name. The caller deletes it.
cFileImage* imageOpen(const char* name);
