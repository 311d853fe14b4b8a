// Engine-wide window state and the small window, cursor, directory and command-line services.
#include "engine/platform/engine.h"


#include "core/strings.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"

int uiShowBounds = 0;
int uiLayoutEditor = 0;

namespace {
EngineWindow gWindow = {{0}, 0, 0, 0, 0, 0, 0, 0, 1, false, true, 0};
int gDebug = 0;
int gFullScreen = 0;
int gArgc = 0;
char** gArgv = nullptr;
}  // namespace

EngineWindow& engineWindow() { return gWindow; }

void engineWindowReset() {
    gWindow = EngineWindow{};
    gWindow.active = 1;
    gWindow.cursorVisible = true;
}

void engineSetArgs(int argc, char** argv) {
    gArgc = argv ? argc : 0;
    gArgv = argv;
}

int engineDebug() { return gDebug; }

void engineSetDebug(int value) { gDebug = value; }

int engineLog() { return gWindow.log; }

int wndIsFullScreen() { return gFullScreen; }

void wndSetFullScreenFlag(int fullScreen) { gFullScreen = fullScreen; }

void wndSetPresentWaits(int waits) { gWindow.presentWaits = waits; }

void wndSetIcon(const WndIcon* icon, int big) {
    (void)big;
    if (icon) platWindowSetIcon(icon->pixels, icon->width, icon->height);
}

void wndSetIconFile(const char* file, int big) {
    (void)big;
    logPrintf("wndSetIconFile: %s: icons are not read from image files yet\n", file ? file : "");
}

void wndSetTitle(const char* text) {
    char16_t wide[1024];
    narrowToWide(text ? text : "", wide, 1024);
    platWindowSetTitle(wide);
}

void wndSetCursorPos(int x, int y) { platWarpCursor(x, y); }

void wndCentre() {
    if (!platWindowIsOpen()) return;
    int width, height, screenWidth, screenHeight;
    platWindowGetRect(nullptr, nullptr, &width, &height);
    platDesktopSize(&screenWidth, &screenHeight);
    platWindowSetPos((screenWidth - width) / 2, (screenHeight - height) / 2);
}

void setCursorVisible(int flag) {
    bool visible = flag != 0;
    if (visible == gWindow.cursorVisible) return;
    platShowCursor(visible);
    gWindow.cursorVisible = visible;
}

int errorBox(const char* text, const char* caption, int flags) {
    char16_t wideText[1024];
    char16_t wideCaption[1024];
    narrowToWide(text ? text : "", wideText, 1024);
    narrowToWide(caption ? caption : "", wideCaption, 1024);
    return platMessageBox(wideText, wideCaption, flags);
}

int dirGetCurrent(char16_t* buffer) {
    if (!buffer) return 0;
    if (!platGetCurrentDir(buffer, kDirChars)) {
        // A cut path would name another folder.
        logPrintf("dirGetCurrent: the current folder cannot be read or is longer than %d\n",
                  kDirChars - 1);
        buffer[0] = 0;
        return 0;
    }
    return 1;
}

int dirSetCurrent(const char16_t* path) { return platSetCurrentDir(path) ? 1 : 0; }

int cmdArgCount() { return gArgc; }

void cmdArg(int n, char* buffer, int size) {
    if (!buffer || size < 1) return;
    const char* arg = n >= 0 && n < gArgc && gArgv[n] ? gArgv[n] : "";
    StrCopyN(buffer, arg, size);
}
