// The JPEG reader over libjpeg: baseline and progressive files decoded to R, G, B rows.
#include "engine/gr/image.h"

#include "engine/data/file.h"
#include "engine/platform/log.h"

#include <csetjmp>
#include <cstdio>  // before jpeglib.h, which needs size_t and FILE
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg's default error exit ends the process; ours logs and jumps back into Decode.
struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf jump;
    const char* name;
};

void onError(j_common_ptr cinfo) {
    JpegError* error = reinterpret_cast<JpegError*>(cinfo->err);
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    logPrintf("jpeg: %s: %s\n", error->name, message);
    longjmp(error->jump, 1);
}

// Warnings (recoverable damage) and trace messages are not reported.
void onMessage(j_common_ptr, int) {}

// Rows decoded at once when streaming: the decoder's own batches are at most 4 rows.
constexpr int kBandRows = 16;

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

// The whole file is in the buffer from the start: needing more means the file is truncated.
boolean fillInput(j_decompress_ptr cinfo) {
    ERREXIT(cinfo, JERR_INPUT_EOF);
    return FALSE;
}

void skipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<unsigned long>(count) > src->bytes_in_buffer) ERREXIT(cinfo, JERR_INPUT_EOF);
    src->next_input_byte += count;
    src->bytes_in_buffer -= count;
}

}  // namespace

cJPGImage::~cJPGImage() {
    Close();
}

int cJPGImage::Close() {
    free(pixels_);
    pixels_ = nullptr;
    stride_ = 0;
    ResetSize();
    return 0;
}

int cJPGImage::OpenMemory(unsigned char* block, int size) {
    Close();
    if (!block || size <= 0) {
        if (block) memFree(block);
        logPrintf("jpeg: %s: empty file\n", LogName());
        return 1;
    }
    const int result = Decode(block, size, nullptr);
    memFree(block);  // the decoded rows are all that is kept
    if (result) Close();
    return result;
}

int cJPGImage::DecodeMemory(unsigned char* block, int size, cImageTarget& target) {
    Close();
    if (!block || size <= 0) {
        if (block) memFree(block);
        logPrintf("jpeg: %s: empty file\n", LogName());
        return -1;
    }
    const int result = Decode(block, size, &target);
    memFree(block);
    Close();
    return result == 1 ? -1 : result;  // 1 would say the file could not be loaded
}

// Locals that change after setjmp are kept in members, so a jump back leaves nothing stale.
int cJPGImage::Decode(unsigned char* block, int size, cImageTarget* target) {
    jpeg_decompress_struct cinfo;
    JpegError error;
    jpeg_source_mgr source;
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onError;
    error.manager.emit_message = onMessage;
    error.name = LogName();
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    jpeg_create_decompress(&cinfo);
    source.next_input_byte = block;
    source.bytes_in_buffer = static_cast<size_t>(size);
    source.init_source = initSource;
    source.fill_input_buffer = fillInput;
    source.skip_input_data = skipInput;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = termSource;
    cinfo.src = &source;

    jpeg_read_header(&cinfo, TRUE);
    if (!SizeAccepted("jpeg", cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    // Gray files are expanded too, so every decoded image has the one 24-bit layout.
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3 ||
        !SizeAccepted("jpeg", cinfo.output_width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    stride_ = 3 * static_cast<int>(cinfo.output_width);
    width_ = static_cast<int>(cinfo.output_width);
    height_ = static_cast<int>(cinfo.output_height);
    bitsPerPixel_ = 24;
    // Streaming, a band of rows at a time is decoded and converted while it is in the cache.
    const int bandRows = target ? kBandRows : height_;
    pixels_ = static_cast<unsigned char*>(malloc(static_cast<size_t>(stride_) * bandRows));
    if (!pixels_) {
        logPrintf("jpeg: %s: out of memory\n", LogName());
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    if (target && !target->Begin(width_, height_, bitsPerPixel_)) {
        jpeg_destroy_decompress(&cinfo);
        return -2;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const int first = static_cast<int>(cinfo.output_scanline);
        const int bandTop = target ? 0 : first;
        JSAMPROW rows[kBandRows];
        const int wanted = target ? (height_ - first < bandRows ? height_ - first : bandRows) : 1;
        for (int i = 0; i < wanted; ++i)
            rows[i] = pixels_ + static_cast<size_t>(bandTop + i) * stride_;
        JDIMENSION got = 0;
        while (got < static_cast<JDIMENSION>(wanted)) {
            const JDIMENSION n = jpeg_read_scanlines(&cinfo, rows + got, wanted - got);
            if (n == 0) {
                logPrintf("jpeg: %s: decoding stopped at row %u\n", LogName(), cinfo.output_scanline);
                jpeg_destroy_decompress(&cinfo);
                return 1;
            }
            got += n;
        }
        if (target) {
            PixelView band;
            View(&band);
            ConvertBand(band, first, wanted, *target);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

bool cJPGImage::View(PixelView* view) {
    if (!pixels_) return false;
    view->top = pixels_;
    view->pitch = stride_;
    view->bytesPerPixel = 3;
    view->palette = nullptr;
    for (int c = 0; c < 3; ++c) {
        view->bits[c] = 8;
        view->shift[c] = 8 * c;
    }
    view->channelShift = 0;
    return true;
}

void cJPGImage::Dither(int rBits, int gBits, int bBits) {
    PixelView v;
    if (View(&v)) DitherView(v, rBits, gBits, bBits);
}
