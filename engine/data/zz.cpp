// Reader of ".zz" compressed files: a 16-byte header holding the unpacked size, then a zlib stream.
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/data/file_internal.h"
#include "engine/platform/log.h"

namespace {
const long kHeader = 16;
// Far above any data file of the game; a larger header value is damage, not data.
const long kMaxUnpacked = 256L * 1024 * 1024;
// Deflate cannot expand data by more than about 1032 to 1, so a header beyond that is a lie.
const long kMaxRatio = 1032;
}  // namespace

bool nameEndsZz(const char* name) {
    if (!name) return false;
    size_t n = strlen(name);
    return n >= 3 && strcasecmp(name + n - 3, ".zz") == 0;
}

int zzInflate(const unsigned char* data, long size, unsigned char** out, const char* name) {
    *out = nullptr;
    if (!name) name = "";
    if (!data || size < kHeader) {
        logPrintf("zz: %s is shorter than its 16-byte header\n", name);
        return 0;
    }
    char digits[9];
    memcpy(digits, data + 8, 8);
    digits[8] = '\0';
    // Leading digits count, the rest of the field is ignored; anything else is not a size.
    const char* p = digits;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    if (*p == '+') ++p;
    if (*p < '0' || *p > '9') {
        logPrintf("zz: %s has no unpacked size in its header\n", name);
        return 0;
    }
    long unpacked = 0;
    for (; *p >= '0' && *p <= '9'; ++p) unpacked = unpacked * 10 + (*p - '0');
    if (unpacked == 0) return 0;
    long packed = size - kHeader;
    if (unpacked > kMaxUnpacked || unpacked / kMaxRatio > packed) {
        logPrintf("zz: %s claims an unpacked size of %ld from %ld bytes\n", name, unpacked, packed);
        return 0;
    }
    unsigned char* block = static_cast<unsigned char*>(malloc(unpacked + 256));
    if (!block) {
        logPrintf("zz: no memory for %ld bytes of %s\n", unpacked, name);
        return 0;
    }
    uLongf length = static_cast<uLongf>(unpacked);
    int rc = uncompress(block, &length, data + kHeader, static_cast<uLong>(packed));
    // A damaged stream is refused, not handed on as a block of the header's size holding whatever
    // was inflated before the damage: callers would read that as good data.
    if (rc != Z_OK || length == 0) {
        free(block);
        if (rc != Z_OK) logPrintf("zz: %s does not inflate (zlib error %d)\n", name, rc);
        return 0;
    }
    // Callers may read a little past the data (text scanners); keep that tail defined.
    memset(block + length, 0, unpacked + 256 - length);
    *out = block;
    return static_cast<int>(length);
}
