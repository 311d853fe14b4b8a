// The program's entry: engine start and stop, and the message loop that runs one game frame
// whenever no message waits.
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

// The joystick's key messages are handled at once, as if sent to the window.
void joystickSink(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WndProc(message, wParam, lParam);
}

void saveGeometry() {
    const EngineWindow& w = engineWindow();
    profGameSetInt("main", "FullScreen", wndIsFullScreen());
    profGameSetInt("main", "x", w.x);
    profGameSetInt("main", "y", w.y);
    profGameSetInt("main", "xs", w.xs);
    profGameSetInt("main", "ys", w.ys);
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

int engineInit() {
    engineWindowReset();
    EngineWindow& w = engineWindow();
    gQuitPosted = false;
    gStopped = false;

    packInit();
    timerInit();
    userFolderCreate();
    crashInstall("dump", "", "0.0");

    const char* name = iniGetString("game.ini", "main", "name", "");
    narrowToWide(name, w.title, sizeof w.title / sizeof w.title[0]);
    if (!w.title[0]) return 0;

    int fullScreen = 0;
    profGameGetInt("main", "xs", &w.xs);
    profGameGetInt("main", "ys", &w.ys);
    profGameGetInt("main", "x", &w.x);
    profGameGetInt("main", "y", &w.y);
    profGameGetInt("main", "FullScreen", &fullScreen);
    wndSetFullScreenFlag(fullScreen);
    w.log = iniGetInt("game.ini", "main", "log", 0);
    w.alwaysActive = iniGetInt("game.ini", "main", "AlwaysActive", 0);
    w.minimize = iniGetInt("game.ini", "main", "Minimize", 0);
    engineSetDebug(iniGetInt("game.ini", "main", "debug", 0));

    if (!platInit()) {
        logPrintf("engineInit: no window system, so no window\n");
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
        gStopped = true;
        platDone();
        return 1;
    }

    bool windowed = (fullScreen & 1) == 0;
    if (platWindowOpen(w.title, w.x, w.y, w.xs, w.ys, !windowed) && windowed) {
        // Opening places the client area; this puts the frame's corner where it was saved.
        platWindowSetPos(w.x, w.y);
    }
    joyInit(joystickSink);
    return 0;
}

void engineDone() {
    if (gStopped) return;
    gStopped = true;
    if (sndIsReady())
        errorBox("Program inited sound with sndInit()", "Program must deinited sound with sndDone()",
                 0);
    if (grIsInited())
        errorBox("Program inited graphics with grInit()",
                 "Program must deinited graphics with grDone()", 0);
    EngineWindow& w = engineWindow();
    if (w.title[0]) {
        joyDone();
        // A loop ended by the system rather than by the window's end leaves the window open;
        // ending it now keeps where it stood.
        wndDefault(WM_CLOSE, 0, 0);
        saveGeometry();
    }
    timerDone();
    packCloseAll();
    iniFreeAll();
    platDone();
}

int engineMain(int argc, char** argv) {
    engineSetArgs(argc, argv);
    if (engineInit()) return 0;
    GameInit();
    EngineWindow& w = engineWindow();
    w.running = true;
    // Without a window nothing could end the loop.
    if (w.title[0] && platWindowIsOpen()) messageLoop();
    GameShutdown();
    engineDone();
    return 0;
}
