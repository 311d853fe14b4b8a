// The engine log: gerr.log, opened at the first line of a run, written line by line and flushed.
#include "engine/platform/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/strings.h"
#include "engine/data/file.h"

namespace {
FileHandle* gLog = nullptr;
bool gOpening = false;
bool gWriting = false;

void writeText(const char* text) { fileWrite(gLog, text, static_cast<int>(strlen(text))); }
}  // namespace

void logOpen() {
    if (gLog || gOpening) return;
    gOpening = true;
    gLog = fileOpen("gerr.log", 2);
    gOpening = false;
    if (!gLog) return;
    char line[256];
    formatString(line, sizeof line,
                 "------------------- Compilation data: %s time: %s -------------------\n",
                 __DATE__, __TIME__);
    writeText(line);
    time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    formatString(line, sizeof line,
                 "------------------- Run data: %d:%d:%d time: %d:%d:%d -------------------\n",
                 local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour,
                 local.tm_min, local.tm_sec);
    writeText(line);
}

int logPrintf(const char* format, ...) {
    // A failure inside the file layer may log; it must not come back here while a line is made.
    if (gWriting || !format) return 0;
    gWriting = true;
    logOpen();
    int written = 0;
    if (gLog) {
        char buffer[4096];
        va_list args;
        va_start(args, format);
        int n = vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        if (n >= static_cast<int>(sizeof buffer)) n = sizeof buffer - 1;
        if (n > 0) written = fileWrite(gLog, buffer, n);
    }
    gWriting = false;
    return written;
}
