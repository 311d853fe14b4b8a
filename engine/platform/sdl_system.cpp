// Process services: sleeping, the current directory and the program's own path.
#include <SDL2/SDL.h>
#include <unistd.h>

#include "engine/platform/platform.h"
#include "engine/platform/platform_internal.h"

namespace {
constexpr int kPathBytes = 4096;
}

void platSleep(int milliseconds) {
    if (milliseconds > 0) SDL_Delay(static_cast<Uint32>(milliseconds));
}

bool platGetCurrentDir(char16_t* buffer, int size) {
    if (!buffer || size < 1) return false;
    char path[kPathBytes];
    if (!getcwd(path, sizeof path)) {
        buffer[0] = 0;
        return false;
    }
    return utf8ToUtf16(path, buffer, static_cast<size_t>(size));
}

bool platSetCurrentDir(const char16_t* path) {
    if (!path) return false;
    char name[kPathBytes];
    utf16ToUtf8(path, name, sizeof name);
    return chdir(name) == 0;
}

bool platExecutablePath(char* out, int size) {
    if (!out || size < 2) return false;
    ssize_t n = readlink("/proc/self/exe", out, static_cast<size_t>(size) - 1);
    if (n <= 0 || n >= size - 1) {
        out[0] = 0;
        return false;
    }
    out[n] = 0;
    return true;
}
