// The engine log (minimal form: the header lines and printf-style lines into gerr.log).
#include "engine/platform/log.h"

#include <cstdarg>
#include <cstdio>

namespace {
FILE* gLog = nullptr;
}

void logOpen() {
    if (gLog) return;
    gLog = fopen("gerr.log", "wb");
}

int logPrintf(const char* format, ...) {
    logOpen();
    if (!gLog) return 0;
    char buffer[4096];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return 0;
    if (n >= static_cast<int>(sizeof buffer)) n = sizeof buffer - 1;
    int written = static_cast<int>(fwrite(buffer, 1, n, gLog));
    fflush(gLog);
    return written;
}
