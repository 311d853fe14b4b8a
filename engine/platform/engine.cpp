// Engine-wide state and the message box of 8-bit texts.
#include "engine/platform/engine.h"

#include "core/strings.h"
#include "engine/platform/platform.h"

namespace {
int gDebug = 0;
int gFullScreen = 0;
}  // namespace

int engineDebug() { return gDebug; }

void engineSetDebug(int value) { gDebug = value; }

int wndIsFullScreen() { return gFullScreen; }

void wndSetFullScreenFlag(int fullScreen) { gFullScreen = fullScreen; }

int errorBox(const char* text, const char* caption, int flags) {
    char16_t wideText[1024];
    char16_t wideCaption[1024];
    narrowToWide(text ? text : "", wideText, 1024);
    narrowToWide(caption ? caption : "", wideCaption, 1024);
    return platMessageBox(wideText, wideCaption, flags);
}
