// The engine log (gerr.log) and the crash handler.
#pragma once

// printf-style line into gerr.log; the caller supplies the line break. Opens the log at the
// first call. Returns the bytes written.
int logPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logOpen();

// Installs the handler that writes a crash report into the dump folder.
int crashInstall(const char* folder, const char* prefix, const char* version);
