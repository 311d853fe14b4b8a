// The engine log: gerr.log, opened at the first line of a run, written line by line and flushed.
#include "engine/platform/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

#include "core/strings.h"
#include "engine/data/file.h"

namespace {
FileHandle* gLog = nullptr;
bool gOpening = false;
// Lines come mostly from the main thread, but the sound stream thread can log too: one line is
// written whole under the lock. The guard is per thread so that a failure inside the file layer
// that logs does not come back into a line being made.
std::recursive_mutex gLock;
thread_local bool gWriting = false;

void writeText(const char* text) { fileWrite(gLog, text, static_cast<int>(strlen(text))); }
}  // namespace

void logOpen() {
    std::lock_guard<std::recursive_mutex> hold(gLock);
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
    if (gWriting || !format) return 0;
    gWriting = true;
    std::lock_guard<std::recursive_mutex> hold(gLock);
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
