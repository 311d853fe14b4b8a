// The program's entry: the folder of game.ini, engine start and stop on every way out, and the
// message loop that runs one game frame whenever no message waits.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/strings.h"
#include "engine/data/file.h"
#include "engine/data/ini.h"
#include "engine/data/profile.h"
#include "engine/gr/gr.h"
#include "engine/snd/snd.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/platform/timer.h"

namespace {

bool platformNext(PlatMessage* out, bool wait) { return platNextMessage(out, wait); }

const EngineHooks kPlatformHooks = {platformNext, platSleep, timerNow, platWindowMinimize};
EngineHooks gHooks = kPlatformHooks;

bool gQuitPosted = false;
bool gStopped = true;
bool gExitHooked = false;

constexpr int kPathBytes = 4096;
// Sizes and positions beyond these are damage, not a window anyone had.
constexpr int kMaxWindowSide = 16384;
constexpr int kMaxWindowCoordinate = 32767;
constexpr int kFallbackWidth = 1024, kFallbackHeight = 768;

// The client size settled at the engine's start.
int gStartWidth = 0, gStartHeight = 0;

// The joystick's key messages are handled at once, as if sent to the window.
void joystickSink(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WndProc(message, wParam, lParam);
}

// The five keys go to the disk together: a crash keeps either the old set or the new one.
void saveGeometry() {
    const EngineWindow& w = engineWindow();
    IniSaveScope together;
    profGameSetInt("main", "FullScreen", wndIsFullScreen());
    profGameSetInt("main", "x", w.x);
    profGameSetInt("main", "y", w.y);
    profGameSetInt("main", "xs", w.xs);
    profGameSetInt("main", "ys", w.ys);
}

// One stored window number: absent, a whole number within [min, max], or anything else.
enum class Setting { kAbsent, kSane, kBad };

Setting readSetting(const char* file, const char* key, int min, int max, int* out) {
    static const char absent[] = "";
    const char* text = iniGetString(file, "main", key, absent);
    if (text == absent) return Setting::kAbsent;
    while (*text == ' ' || *text == '\t') ++text;
    char* end = nullptr;
    errno = 0;
    long n = strtol(text, &end, 10);
    if (end == text || errno == ERANGE) return Setting::kBad;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end || n < min || n > max) return Setting::kBad;
    *out = static_cast<int>(n);
    return Setting::kSane;
}

// The window's size and position from the user's settings, then game.ini: a damaged value (not
// a number, a size that is not positive, anything out of all proportion) is passed over for the
// next source, down to 1024x768 and a centred window, with one log line.
void readGeometry(EngineWindow& w) {
    char folder[kPathBytes], saved[kPathBytes + 16];
    getUserFolder(folder, sizeof folder);
    formatString(saved, sizeof saved, "%s/profgame.ini", folder);
    const char* sources[] = {saved, "game.ini"};
    bool damaged = false;

    w.xs = w.ys = 0;
    for (const char* file : sources) {
        int xs = 0, ys = 0;
        Setting a = readSetting(file, "xs", 1, kMaxWindowSide, &xs);
        Setting b = readSetting(file, "ys", 1, kMaxWindowSide, &ys);
        if (a == Setting::kSane && b == Setting::kSane) {
            w.xs = xs;
            w.ys = ys;
            break;
        }
        damaged |= a != Setting::kAbsent || b != Setting::kAbsent;
    }
    if (!w.xs) {
        w.xs = kFallbackWidth;
        w.ys = kFallbackHeight;
        damaged = true;
    }

    int* corner[] = {&w.x, &w.y};
    const char* keys[] = {"x", "y"};
    for (int i = 0; i < 2; ++i) {
        *corner[i] = 0;  // neither file has it
        for (const char* file : sources) {
            Setting s = readSetting(file, keys[i], -kMaxWindowCoordinate, kMaxWindowCoordinate,
                                    corner[i]);
            if (s == Setting::kSane) break;
            if (s == Setting::kBad) {
                damaged = true;
                *corner[i] = -1;  // centred, unless game.ini has a good one
            }
        }
    }
    if (damaged) {
        logPrintf("engineInit: no usable window size or position in %s or game.ini: the window "
                  "is %dx%d%s\n", saved, w.xs, w.ys, w.x == -1 || w.y == -1 ? ", centred" : "");
    }
}

bool hasGameIni(const char* folder) {
    char path[kPathBytes];
    if (formatString(path, sizeof path, "%s/game.ini", folder) >= kPathBytes - 1) return false;
    struct stat st {};
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// Cuts the last component from an absolute path; false at the root.
bool toParent(char* path) {
    char* slash = strrchr(path, '/');
    if (!slash || (slash == path && !path[1])) return false;
    if (slash == path) {
        path[1] = 0;
    } else {
        *slash = 0;
    }
    return true;
}

void stopEngine(bool fromExit);

// The way out of a process that ends from elsewhere (exit() from a library, as the X library
// does when the display goes away): the engine stops as on a normal end, so that threads are
// joined before the statics that hold them go and the settings are saved.
void atProcessExit() {
    if (gStopped) return;
    logPrintf("engine: the process is ending before the engine stopped; stopping it now\n");
    platAbandonDisplay();
    stopEngine(true);
}

// Takes one message and hands it to the window procedure; false when it was the quit message or
// none was there.
bool dispatch(bool wait, bool* quit) {
    PlatMessage m;
    if (!gHooks.nextMessage(&m, wait)) return false;
    if (m.message == WM_QUIT) {
        *quit = true;
        return false;
    }
    WndProc(m.message, m.wParam, m.lParam);
    return true;
}

void messageLoop() {
    EngineWindow& w = engineWindow();
    bool quit = false;
    bool framed = false;
    float lastFrame = 0;
    while (!quit) {
        // Every waiting message goes before the next frame.
        if (dispatch(false, &quit) || quit) continue;
        if (gQuitPosted) break;
        if (!w.active) {
            if (!w.alwaysActive) {
                if (!dispatch(true, &quit) && !quit) gHooks.sleep(kFramePeriodMs);
                continue;
            }
            gHooks.sleep(kInactiveFramePeriodMs);
        } else if (!w.presentWaits && framed) {
            // Nothing else keeps an idle screen from taking a whole core; messages that arrive
            // meanwhile are still handled before the frame.
            int rest = static_cast<int>(lastFrame + kFramePeriodMs - gHooks.now());
            if (rest > 0) {
                gHooks.sleep(rest);
                continue;
            }
        }
        lastFrame = gHooks.now();
        framed = true;
        joyPoll();
        sndTick(0);
        if (GameFrame()) WndProc(WM_CLOSE, 0, 0);
    }
}

}  // namespace

void engineSetHooks(const EngineHooks* hooks) { gHooks = hooks ? *hooks : kPlatformHooks; }

const EngineHooks& engineHooks() { return gHooks; }

void enginePostQuit() { gQuitPosted = true; }

bool engineFindGameFolder(const char* program) {
    char folder[kPathBytes];
    const bool placed = program && *program == '/' && strlen(program) < sizeof folder;
    // Beside the program first: a build runs from its own folder, whatever the current one holds.
    if (placed) {
        StrCopyN(folder, program, sizeof folder);
        if (toParent(folder) && hasGameIni(folder)) return chdir(folder) == 0;
    }
    if (hasGameIni(".")) return true;
    if (placed) {
        StrCopyN(folder, program, sizeof folder);
        // Each folder above the program.
        while (toParent(folder)) {
            if (hasGameIni(folder)) return chdir(folder) == 0;
        }
        // Where an install put the data: share/velmora beside the program's bin folder.
        StrCopyN(folder, program, sizeof folder);
        char installed[kPathBytes + 16];
        if (toParent(folder) && toParent(folder)) {
            formatString(installed, sizeof installed, "%s/share/velmora", folder);
            if (hasGameIni(installed)) return chdir(installed) == 0;
        }
    }
#ifdef VELMORA_INSTALL_DATA_DIR
    if (hasGameIni(VELMORA_INSTALL_DATA_DIR)) return chdir(VELMORA_INSTALL_DATA_DIR) == 0;
#endif
    return false;
}

void wndGetStartSize(int* xs, int* ys) {
    if (xs) *xs = gStartWidth;
    if (ys) *ys = gStartHeight;
}

namespace {

// Tells why a second copy ends, on the standard error and, when the first copy did not answer,
// in a box: the log is the running copy's and stays untouched.
void reportSecondCopy(PlatInstance instance, const char* folder) {
    if (instance == PLAT_INSTANCE_RESTORED) {
        fprintf(stderr, "Velmora is already running for this user (%s): its window was brought "
                        "to the front, and this copy ends.\n", folder);
        return;
    }
    char text[1536];
    formatString(text, sizeof text,
                 "Velmora is already running for this user (%s), but it does not answer. This "
                 "copy ends; close the other one, or wait for it, and start again.",
                 folder);
    fprintf(stderr, "%s\n", text);
    errorBox(text, "Velmora is already running", MB_OK | MB_ICONINFORMATION);
}

int startEngine(bool* second) {
    engineWindowReset();
    EngineWindow& w = engineWindow();
    gQuitPosted = false;
    gStopped = false;
    gStartWidth = gStartHeight = 0;
    if (!gExitHooked) gExitHooked = atexit(atProcessExit) == 0;

    packInit();
    timerInit();
    userFolderCreate();
    crashInstall("dump", "", "0.0");

    const char* name = iniGetString("game.ini", "main", "name", "");
    narrowToWide(name, w.title, sizeof w.title / sizeof w.title[0]);
    if (!w.title[0]) {
        char here[kPathBytes];
        if (!getcwd(here, sizeof here)) StrCopyN(here, ".", sizeof here);
        if (fileExists("game.ini"))
            logPrintf("engineInit: %s/game.ini has no [main] \"name\": no window\n", here);
        else
            logPrintf("engineInit: no game.ini in %s, beside the program or where it was "
                      "installed: no window\n", here);
        return 0;
    }

    int fullScreen = 0;
    readGeometry(w);
    gStartWidth = w.xs;
    gStartHeight = w.ys;
    profGameGetInt("main", "FullScreen", &fullScreen);
    wndSetFullScreenFlag(fullScreen);
    w.log = iniGetInt("game.ini", "main", "log", 0);
    w.alwaysActive = iniGetInt("game.ini", "main", "AlwaysActive", 0);
    w.minimize = iniGetInt("game.ini", "main", "Minimize", 0);
    engineSetDebug(iniGetInt("game.ini", "main", "debug", 0));

    if (!platInit()) {
        logPrintf("engineInit: no window system: the window could not be made\n");
        return 0;
    }
    int screenWidth, screenHeight;
    platDesktopSize(&screenWidth, &screenHeight);
    if (w.x < 0 || w.x >= screenWidth) w.x = (screenWidth - w.xs) / 2;
    if (w.y < 0 || w.y >= screenHeight) w.y = (screenHeight - w.ys) / 2;

    char folder[1024];
    getUserFolder(folder, sizeof folder);
    PlatInstance instance = platInstanceAcquire(folder);
    if (instance == PLAT_INSTANCE_RESTORED || instance == PLAT_INSTANCE_OTHER) {
        // The other instance owns the settings: this one must not save over them.
        *second = true;
        reportSecondCopy(instance, folder);
        gStopped = true;
        platDone();
        return 1;
    }

    bool windowed = (fullScreen & 1) == 0;
    w.windowMade = platWindowOpen(w.title, w.x, w.y, w.xs, w.ys, !windowed);
    // Opening places the client area; this puts the frame's corner where it was saved.
    if (w.windowMade && windowed) platWindowSetPos(w.x, w.y);
    if (!w.windowMade) logPrintf("engineInit: the window could not be made\n");
    joyInit(joystickSink);
    return 0;
}

}  // namespace

int engineInit() {
    // Until this copy knows it will run, its log lines wait: a second copy must not truncate the
    // running copy's log.
    logHold();
    bool second = false;
    const int result = startEngine(&second);
    if (second) {
        logDiscard();
    } else {
        logRelease();
    }
    return result;
}

namespace {

void stopEngine(bool fromExit) {
    if (gStopped) return;
    gStopped = true;
    // Leaving from exit(), the game had no chance to stop anything: there is nothing to warn of.
    if (!fromExit && sndIsReady())
        errorBox("Program inited sound with sndInit()", "Program must deinited sound with sndDone()",
                 0);
    if (!fromExit && grIsInited())
        errorBox("Program inited graphics with grInit()",
                 "Program must deinited graphics with grDone()", 0);
    // The sound stream thread must not outlive the statics that hold it, whoever forgot it.
    sndDone();
    EngineWindow& w = engineWindow();
    if (w.title[0]) {
        joyDone();
        // A loop ended by the system rather than by the window's end leaves the window open;
        // ending it now keeps where it stood.
        wndDefault(WM_CLOSE, 0, 0);
        // Only a window that existed has a geometry worth keeping.
        if (w.windowMade) saveGeometry();
    }
    timerDone();
    packCloseAll();
    iniFreeAll();
    platDone();
}

}  // namespace

void engineDone() { stopEngine(false); }

int engineMain(int argc, char** argv) {
    engineSetArgs(argc, argv);
    // Before anything is opened, the log included: every file name is relative to that folder.
    char program[kPathBytes];
    engineFindGameFolder(platExecutablePath(program, sizeof program) ? program : nullptr);
    if (engineInit()) return 0;
    EngineWindow& w = engineWindow();
    if (!w.windowMade) {
        // Without a window the game could only stack up boxes about what it cannot show.
        errorBox("Window did't create!", "You should put GAME.INI into the projects directory",
                 MB_OK | MB_ICONERROR);
        engineDone();
        return 1;
    }
    GameInit();
    w.running = true;
    // Without a window nothing could end the loop.
    if (platWindowIsOpen()) messageLoop();
    GameShutdown();
    engineDone();
    return 0;
}
