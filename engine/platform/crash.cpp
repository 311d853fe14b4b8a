// The crash handler: a text report with a backtrace, written from the signal handler with
// async-signal-safe calls only, into a report file that never overwrites an earlier one.
#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/strings.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/platform/log.h"

namespace {

const int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
const int kPath = 4096;

// Everything the handler needs is prepared at install time: it may not allocate.
char gReportPath[kPath];
size_t gDigit = 0;  // index of the digit in front of ".dmp"
char gVersion[64];
int gDumpType = 0;
volatile sig_atomic_t gInHandler = 0;
alignas(16) char gAltStack[64 * 1024];

const char* signalName(int sig) {
    switch (sig) {
        case SIGSEGV: return "SIGSEGV";
        case SIGBUS: return "SIGBUS";
        case SIGILL: return "SIGILL";
        case SIGFPE: return "SIGFPE";
        case SIGABRT: return "SIGABRT";
        default: return "signal";
    }
}

void put(int fd, const char* text) {
    size_t n = strlen(text);
    while (n > 0) {
        ssize_t w = write(fd, text, n);
        if (w <= 0) return;
        text += w;
        n -= static_cast<size_t>(w);
    }
}

void putNumber(int fd, uintptr_t value, unsigned base) {
    char digits[32];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value % base];
        value /= base;
    } while (value && n < 31);
    char text[33];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = '\0';
    put(fd, text);
}

[[noreturn]] void dieOf(int sig) {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(sig, &dfl, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(sig);
    _exit(128 + sig);
}

void onFault(int sig, siginfo_t* info, void*) {
    if (gInHandler) dieOf(sig);
    gInHandler = 1;
    int fd = -1;
    for (int d = 0; d < 10 && fd < 0; ++d) {
        gReportPath[gDigit] = static_cast<char>('0' + d);
        fd = open(gReportPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    }
    if (fd >= 0) {
        put(fd, "Velmora crash report\nversion: ");
        put(fd, gVersion);
        put(fd, "\nsignal: ");
        putNumber(fd, static_cast<uintptr_t>(sig), 10);
        put(fd, " (");
        put(fd, signalName(sig));
        put(fd, ")\naddress: 0x");
        putNumber(fd, reinterpret_cast<uintptr_t>(info ? info->si_addr : nullptr), 16);
        put(fd, "\ndump type: ");
        putNumber(fd, static_cast<uintptr_t>(gDumpType), 10);
        put(fd, "\nbacktrace:\n");
        void* frames[64];
        int n = backtrace(frames, 64);
        backtrace_symbols_fd(frames, n, fd);
        fsync(fd);
        close(fd);
    }
    dieOf(sig);
}

}  // namespace

int crashInstall(const char* folder, const char* prefix, const char* version) {
    if (!folder || !*folder || strlen(folder) > 229) return 0;
    char dir[kPath];
    struct stat st {};
    if (!fileResolvePath(folder, dir, kPath, 0) || stat(dir, &st) != 0 || !S_ISDIR(st.st_mode))
        return 0;

    char name[kPath], resolved[kPath];
    bool hasPrefix = prefix && *prefix;
    formatString(name, kPath, "%s/%s%sdump%s.0.dmp", dir, hasPrefix ? prefix : "",
                 hasPrefix ? "/" : "", version ? version : "");
    if (!fileResolvePath(name, resolved, kPath, 1)) return 0;
    // The report goes where the folder was at install time, whatever the directory later is.
    if (resolved[0] == '/') {
        StrCopyN(gReportPath, resolved, kPath);
    } else {
        char cwd[kPath];
        if (!getcwd(cwd, kPath)) return 0;
        if (formatString(gReportPath, kPath, "%s/%s", cwd, resolved) >= kPath - 1) return 0;
    }
    gDigit = strlen(gReportPath) - strlen("0.dmp");
    StrCopyN(gVersion, version ? version : "", sizeof gVersion);

    // The dump type has no meaning for a text report; it is only recorded in it.
    int crash = iniGetInt("game.ini", "main", "crash", 0);
    gDumpType = crash == 0 ? 1 : crash == 2 ? 2 : 0;

    // backtrace loads its unwinder on first use; do that now, not inside the handler.
    void* warm[2];
    backtrace(warm, 2);

    stack_t alt{};
    alt.ss_sp = gAltStack;
    alt.ss_size = sizeof gAltStack;
    sigaltstack(&alt, nullptr);
    struct sigaction sa {};
    sa.sa_sigaction = onFault;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int sig : kSignals) sigaction(sig, &sa, nullptr);
    return 1;
}

extern char** environ;

int crashMail(const char* address, const char* subject, const char* text, const char* files,
              int count, int stride) {
    if (!files || count <= 0) return 0;
    if (stride <= 0 && count > 1) {
        logPrintf("crashMail: %d files need a stride between their names\n", count);
        return 0;
    }
    // The words go to xdg-email as they are, with no shell between, whatever they hold.
    std::vector<const char*> args = {"xdg-email"};
    args.push_back("--subject");
    args.push_back(subject ? subject : "");
    args.push_back("--body");
    args.push_back(text ? text : "");
    for (int i = 0; i < count; ++i) {
        const char* file = files + static_cast<ptrdiff_t>(i) * stride;
        if (!*file) continue;
        args.push_back("--attach");
        args.push_back(file);
    }
    // A recipient that looks like an option would be read as one.
    if (address && *address && *address != '-') args.push_back(address);
    args.push_back(nullptr);

    pid_t child = 0;
    const int failed = posix_spawnp(&child, "xdg-email", nullptr, nullptr,
                                    const_cast<char* const*>(args.data()), environ);
    if (failed) {
        if (failed == ENOENT)
            logPrintf("crashMail: xdg-email is not installed (xdg-utils); the report was not "
                      "mailed\n");
        else
            logPrintf("crashMail: xdg-email cannot be started: %s\n", strerror(failed));
        return 0;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        logPrintf("crashMail: xdg-email could not open the mail (exit status %d)\n",
                  WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return 0;
    }
    return 1;
}
