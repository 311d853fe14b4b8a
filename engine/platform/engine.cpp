// Engine-wide window state and the small window, cursor, directory and command-line services.
#include "engine/platform/engine.h"

#include "core/strings.h"
#include "engine/gr/image.h"
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
const PictureHooks kLayerPictures = {platWindowSetIcon, platSetCursorImage, platSetCursorArrow,
                                     platCursorIsOwn};
PictureHooks gPictures = kLayerPictures;
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

void engineSetPictureHooks(const PictureHooks* hooks) {
    gPictures = hooks ? *hooks : kLayerPictures;
}

bool wndReadPicture(const char* who, const char* file, std::vector<uint32_t>* pixels, int* width,
                    int* height) {
    if (!file || !*file) {
        logPrintf("%s: no file named\n", who);
        return false;
    }
    cFileImage* image = imageOpen(file);
    if (!image) {
        logPrintf("%s: %s is not a TGA, JPEG or PNG picture\n", who, file);
        return false;
    }
    bool read = false;
    const int opened = image->Open(file);
    const int w = image->Width(), h = image->Height();
    if (opened != 0 || w < 1 || h < 1) {
        // A reader that failed on the contents has logged why; a missing file is said here.
        if (opened == 1) logPrintf("%s: %s cannot be read\n", who, file);
    } else {
        // Convert writes only the colour bits, so the opaque alpha stays where there is no other.
        pixels->assign(static_cast<size_t>(w) * h, 0xFF000000u);
        read = image->Convert(0, 0, w, h, pixels->data(), 0, 0, w, h, 4, w * 4, 8, 8, 8, 0, 16, 8,
                              0, 0) == 0 &&
               (image->BitsPerPixel() != 32 ||
                image->ExtractChannel(0, 0, w, h, pixels->data(), 0, 0, w, h, 4, w * 4, 8, 24) == 0);
        if (!read) logPrintf("%s: %s: its pixels cannot be converted\n", who, file);
    }
    delete image;
    if (!read) return false;
    *width = w;
    *height = h;
    return true;
}

bool wndCursorIsOwn() { return gPictures.cursorIsOwn(); }

void wndSetIcon(const WndIcon* icon, int big) {
    (void)big;
    if (icon) gPictures.setIcon(icon->pixels, icon->width, icon->height);
}

int wndSetIconFile(const char* file, int big) {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!wndReadPicture("wndSetIconFile", file, &pixels, &width, &height)) return 0;
    const WndIcon icon = {pixels.data(), width, height};
    wndSetIcon(&icon, big);
    return 1;
}

int wndLoadCursorFile(const char* file) {
    // The window procedure passes the remembered name itself back in.
    if (file != gWindow.cursorFile) StrCopyN(gWindow.cursorFile, file, sizeof gWindow.cursorFile);
    if (!file || !*file) {
        gWindow.cursorFile[0] = '\0';
        gPictures.setArrow();
        return 1;
    }
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    // A picture that cannot be read or made leaves the cursor shown until now, never none.
    if (!wndReadPicture("wndLoadCursorFile", gWindow.cursorFile, &pixels, &width, &height))
        return 0;
    return gPictures.setCursor(pixels.data(), width, height, 0, 0) ? 1 : 0;
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
