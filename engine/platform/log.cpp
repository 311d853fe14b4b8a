// The engine log: gerr.log, opened at the first line of a run, written line by line and flushed.
#include "engine/platform/log.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

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
// While a start does not yet know that it will run, its lines wait here (see logHold).
bool gHolding = false;
std::string gHeld;

constexpr int kPathBytes = 4096;

void writeText(const char* text) { fileWrite(gLog, text, static_cast<int>(strlen(text))); }

// The folder for the log of an install whose own folder cannot be written:
// $XDG_STATE_HOME/Velmora, else ~/.local/state/Velmora, made when missing.
bool stateFolder(char* out) {
    const char* state = getenv("XDG_STATE_HOME");
    const char* home = getenv("HOME");
    if (state && state[0] == '/') {
        formatString(out, kPathBytes, "%s/Velmora", state);
    } else if (home && home[0] == '/') {
        formatString(out, kPathBytes, "%s/.local/state/Velmora", home);
    } else {
        return false;
    }
    // Every folder of the path, as the state folder itself may be missing too.
    for (char* p = out + 1; *p; ++p) {
        if (*p != '/') continue;
        *p = '\0';
        mkdir(out, 0700);
        *p = '/';
    }
    mkdir(out, 0700);
    struct stat st {};
    return stat(out, &st) == 0 && S_ISDIR(st.st_mode);
}

FileHandle* openLogFile() {
    if (FileHandle* here = fileOpen("gerr.log", 2)) return here;
    char folder[kPathBytes], path[kPathBytes + 16];
    if (!stateFolder(folder)) return nullptr;
    formatString(path, sizeof path, "%s/gerr.log", folder);
    return fileOpen(path, 2);
}
}  // namespace

void logOpen() {
    std::lock_guard<std::recursive_mutex> hold(gLock);
    if (gLog || gOpening || gHolding) return;
    gOpening = true;
    gLog = openLogFile();
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
    if (gLog || gHolding) {
        char buffer[4096];
        va_list args;
        va_start(args, format);
        int n = vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        if (n >= static_cast<int>(sizeof buffer)) n = sizeof buffer - 1;
        if (n > 0 && gLog) {
            written = fileWrite(gLog, buffer, n);
        } else if (n > 0) {
            gHeld.append(buffer, static_cast<size_t>(n));
            written = n;
        }
    }
    gWriting = false;
    return written;
}

void logHold() {
    std::lock_guard<std::recursive_mutex> hold(gLock);
    if (!gLog) gHolding = true;
}

void logRelease() {
    std::lock_guard<std::recursive_mutex> hold(gLock);
    if (!gHolding) return;
    gHolding = false;
    std::string held;
    held.swap(gHeld);
    if (held.empty()) return;
    logOpen();
    if (gLog) fileWrite(gLog, held.data(), static_cast<int>(held.size()));
}

std::string logDiscard() {
    std::lock_guard<std::recursive_mutex> hold(gLock);
    gHolding = false;
    std::string held;
    held.swap(gHeld);
    return held;
}
