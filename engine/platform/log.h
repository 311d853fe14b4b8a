// The engine log (gerr.log in the current directory) and the crash report handler.
#pragma once

#include <string>

// printf-style text into gerr.log, formatted into 4096 bytes at most (longer text is cut); the
// caller supplies the line break. Opens the log at the first call. Returns the bytes written.
int logPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Creates or truncates gerr.log and writes the two header lines (build and run date), once per
// process; a run that logs nothing leaves the previous log alone. When gerr.log cannot be made
// in the current folder (a read-only install), the log is $XDG_STATE_HOME/Velmora/gerr.log, else
// ~/.local/state/Velmora/gerr.log.
void logOpen();

// A start that may yet turn out to be a second copy must not truncate the running copy's log:
// from logHold on (when the log is not open yet), lines wait in memory. logRelease opens the log
// and writes them (nothing when none waits); logDiscard hands them back unwritten and leaves the
// log closed.
void logHold();
void logRelease();
std::string logDiscard();

// Installs the handler that writes a text report with a backtrace into folder (under prefix when
// it is not empty) as "dump<version>.0.dmp", or .1 to .9 when those exist (an existing report
// is never overwritten), on SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT, then lets the process
// die of the signal. Returns 0 and installs nothing when the folder does not exist.
int crashInstall(const char* folder, const char* prefix, const char* version);

// Opens a mail to address with the subject, the text and count files attached (their names lie
// stride bytes apart from files) in the user's mail program through xdg-email, so the user sees
// the mail and sends it. 1 when xdg-email took the mail; 0 when there are no files (nothing is
// done) or xdg-email is missing or refused it (logged).
int crashMail(const char* address, const char* subject, const char* text, const char* files,
              int count, int stride);
