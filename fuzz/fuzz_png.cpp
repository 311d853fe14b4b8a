// Fuzz target: the PNG reader on arbitrary file contents, with chunk checksums made right first
// so the mutations reach the decoder instead of stopping at a checksum.
#include "fuzz/image_fuzz.h"

#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint32_t length =
            (uint32_t(file[at]) << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
        if (length > file.size() - at - 12) break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, file.data() + at + 4, length + 4));
        uint8_t* out = file.data() + at + 8 + length;
        out[0] = uint8_t(crc >> 24);
        out[1] = uint8_t(crc >> 16);
        out[2] = uint8_t(crc >> 8);
        out[3] = uint8_t(crc);
        at += 12 + length;
    }
    cPNGImage image;
    return fuzzImageReader(image, file.data(), file.size());
}
