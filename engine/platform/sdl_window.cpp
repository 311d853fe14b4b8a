// The layer's start and stop, the one window, its message queue, the cursor, presentation and
// message boxes, over SDL's video and event services.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "engine/platform/input.h"
#include "engine/platform/log.h"
#include "engine/platform/platform.h"
#include "engine/platform/platform_internal.h"
#include "engine/platform/sdl_internal.h"

namespace {

struct Layer {
    bool joystickStarted = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
    bool glUpload = false;  // the texture takes 16-bit pixels through OpenGL
    int windowedWidth = 0, windowedHeight = 0;
    bool fullScreen = false;
    bool coversByItself = false;  // full screen made by the layer: a borderless desktop-sized window
    bool vsync = false;
    TranslateState translate;
    PlatMessage pending[kMaxMessagesPerEvent];
    int pendingCount = 0, pendingNext = 0;
    uint16_t* lastFrame = nullptr;
    int lastWidth = 0, lastHeight = 0;
    bool frameWaiting = false;  // a headless frame shown and not yet kept in lastFrame
    bool abandoned = false;  // the display may be gone: never call it again
};

Layer gLayer;
// Read by the single-instance listener thread.
std::atomic<bool> gStarted{false};
std::atomic<uint32_t> gRestoreEvent{0};

constexpr int kTitleBytes = 1024;

bool isHeadlessDriver(const char* name) {
    return name && (strcmp(name, "dummy") == 0 || strcmp(name, "offscreen") == 0);
}

void keepWaitingFrame();

void destroyRenderer() {
    keepWaitingFrame();
    if (gLayer.texture) SDL_DestroyTexture(gLayer.texture);
    if (gLayer.renderer) SDL_DestroyRenderer(gLayer.renderer);
    gLayer.texture = nullptr;
    gLayer.renderer = nullptr;
    gLayer.textureWidth = gLayer.textureHeight = 0;
}

// Keeps what the window shows now, for headless runs to check.
void captureWindow() {
    SDL_Surface* surface = SDL_GetWindowSurface(gLayer.window);
    if (!surface) return;
    if (surface->w != gLayer.lastWidth || surface->h != gLayer.lastHeight) {
        free(gLayer.lastFrame);
        gLayer.lastFrame = static_cast<uint16_t*>(malloc(size_t(surface->w) * surface->h * 2));
        gLayer.lastWidth = gLayer.lastFrame ? surface->w : 0;
        gLayer.lastHeight = gLayer.lastFrame ? surface->h : 0;
        if (!gLayer.lastFrame) return;
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels,
                      surface->pitch, SDL_PIXELFORMAT_RGB565, gLayer.lastFrame, surface->w * 2);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
}

// A headless present only marks its frame; it is read back when a test asks for it, or before
// anything that changes the window could change what it shows.
void keepWaitingFrame() {
    if (!gLayer.frameWaiting) return;
    gLayer.frameWaiting = false;
    if (gLayer.window) captureWindow();
}

}  // namespace

int keyShiftHeld() { return (gLayer.translate.modifiers & MK_SHIFT) ? 1 : 0; }

bool platInit() {
    if (gStarted) return true;
    // The engine decides itself what closing and losing focus do; joysticks are read whatever
    // window has the focus, and a click that activates the window still counts.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        logPrintf("platInit: no video: %s\n", SDL_GetError());
        return false;
    }
    // With no display to show it, SDL falls back to a driver that draws into memory: a game
    // nobody can see or end. Only a run that asked for such a driver (the tests) gets one.
    const char* asked = getenv("SDL_VIDEODRIVER");
    if (isHeadlessDriver(SDL_GetCurrentVideoDriver()) && !(asked && *asked)) {
        logPrintf("platInit: no display: neither DISPLAY nor WAYLAND_DISPLAY leads to one, and "
                  "SDL offers only its %s driver\n", SDL_GetCurrentVideoDriver());
        SDL_Quit();
        return false;
    }
    gLayer.joystickStarted = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!gLayer.joystickStarted) logPrintf("platInit: no joystick support: %s\n", SDL_GetError());
    uint32_t restore = SDL_RegisterEvents(1);
    gLayer.translate = TranslateState{};
    gLayer.translate.restoreEvent = restore == static_cast<uint32_t>(-1) ? 0 : restore;
    gRestoreEvent = gLayer.translate.restoreEvent;
    gLayer.pendingCount = gLayer.pendingNext = 0;
    gStarted = true;
    return true;
}

void platDone() {
    if (!gStarted) return;
    platInstanceRelease();
    platAudioClose();
    platJoyClose();
    platSetCursorArrow();
    platWindowClose();
    gStarted = false;
    gRestoreEvent = 0;
    gLayer.joystickStarted = false;
    // Stopping the video system talks to the display.
    if (!gLayer.abandoned) SDL_Quit();
}

void platAbandonDisplay() {
    gLayer.abandoned = true;
    gLayer.window = nullptr;
    gLayer.renderer = nullptr;
    gLayer.texture = nullptr;
    gLayer.fullScreen = false;
}

bool platJoystickStarted() { return gStarted && gLayer.joystickStarted; }

bool platPushRestoreRequest() {
    uint32_t type = gRestoreEvent;
    if (!gStarted || type == 0) return false;
    SDL_Event event;
    SDL_zero(event);
    event.type = type;
    return SDL_PushEvent(&event) == 1;
}

bool platIsHeadless() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return isHeadlessDriver(SDL_GetCurrentVideoDriver());
    if (isHeadlessDriver(getenv("SDL_VIDEODRIVER"))) return true;
    return !getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY");
}

static void checkFullScreenSize();

bool platWindowOpen(const char16_t* title, int x, int y, int width, int height, bool fullScreen) {
    if (!gStarted) {
        logPrintf("platWindowOpen: the platform layer is not started\n");
        return false;
    }
    if (gLayer.window) {
        logPrintf("platWindowOpen: a window is already open\n");
        return false;
    }
    if (width < 1 || height < 1) {
        logPrintf("platWindowOpen: bad size %dx%d\n", width, height);
        return false;
    }
    char name[kTitleBytes];
    utf16ToUtf8(title, name, sizeof name);
    uint32_t flags = SDL_WINDOW_SHOWN | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    gLayer.window = SDL_CreateWindow(name, x, y, width, height, flags);
    if (!gLayer.window) {
        logPrintf("platWindowOpen: %s\n", SDL_GetError());
        return false;
    }
    gLayer.windowedWidth = width;
    gLayer.windowedHeight = height;
    gLayer.fullScreen = fullScreen;
    SDL_GetWindowSize(gLayer.window, &gLayer.translate.width, &gLayer.translate.height);
    gLayer.renderer = SDL_CreateRenderer(gLayer.window, -1,
                                         gLayer.vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
    if (!gLayer.renderer) logPrintf("platWindowOpen: no renderer: %s\n", SDL_GetError());
    if (fullScreen) checkFullScreenSize();
    SDL_StartTextInput();
    return true;
}

void platWindowClose() {
    if (!gLayer.window) return;
    destroyRenderer();
    SDL_DestroyWindow(gLayer.window);
    gLayer.window = nullptr;
    gLayer.fullScreen = false;
    gLayer.coversByItself = false;
    free(gLayer.lastFrame);
    gLayer.lastFrame = nullptr;
    gLayer.lastWidth = gLayer.lastHeight = 0;
}

bool platWindowIsOpen() { return gLayer.window != nullptr; }

void platWindowSetTitle(const char16_t* title) {
    if (!gLayer.window) return;
    char name[kTitleBytes];
    utf16ToUtf8(title, name, sizeof name);
    SDL_SetWindowTitle(gLayer.window, name);
}

// The frame around the client area, where the window manager tells it; 0 otherwise.
static void frameSize(int* top, int* left) {
    *top = *left = 0;
    if (SDL_GetWindowBordersSize(gLayer.window, top, left, nullptr, nullptr) != 0) *top = *left = 0;
}

void platWindowSetPos(int x, int y) {
    if (!gLayer.window) return;
    int top, left;
    frameSize(&top, &left);
    SDL_SetWindowPosition(gLayer.window, x + left, y + top);
}

void platWindowSetSize(int width, int height) {
    if (!gLayer.window || width < 1 || height < 1) return;
    keepWaitingFrame();
    gLayer.windowedWidth = width;
    gLayer.windowedHeight = height;
    if (!gLayer.fullScreen) SDL_SetWindowSize(gLayer.window, width, height);
}

void platWindowGetRect(int* x, int* y, int* width, int* height) {
    int rx = 0, ry = 0, rw = 0, rh = 0;
    if (gLayer.window) {
        // The display asks for the size alone every frame: the frame is looked up only when
        // the position is wanted.
        if (x || y) {
            int top, left;
            frameSize(&top, &left);
            SDL_GetWindowPosition(gLayer.window, &rx, &ry);
            rx -= left;
            ry -= top;
        }
        SDL_GetWindowSize(gLayer.window, &rw, &rh);
    }
    if (x) *x = rx;
    if (y) *y = ry;
    if (width) *width = rw;
    if (height) *height = rh;
}

void platWindowMinimize() {
    if (gLayer.window) SDL_MinimizeWindow(gLayer.window);
}

void platWindowRestore() {
    if (!gLayer.window) return;
    // Restoring also shows a hidden window; showing it as well would cost the restore message.
    SDL_RestoreWindow(gLayer.window);
    SDL_RaiseWindow(gLayer.window);
}

// The size the window really has on an X display, from the X server: SDL reports the size it
// asked for, which a full-screen request without a window manager never gets. False elsewhere.
static bool realWindowSize(int* width, int* height) {
#ifdef SDL_VIDEO_DRIVER_X11
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(gLayer.window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    // SDL loads the X library itself; the layer borrows the one call it needs from it.
    using GetGeometry = int (*)(Display*, Drawable, ::Window*, int*, int*, unsigned*, unsigned*,
                                unsigned*, unsigned*);
    static void* library = SDL_LoadObject("libX11.so.6");
    static GetGeometry getGeometry =
        library ? reinterpret_cast<GetGeometry>(SDL_LoadFunction(library, "XGetGeometry")) : nullptr;
    ::Window root;
    int x, y;
    unsigned w = 0, h = 0, border, depth;
    if (!getGeometry ||
        !getGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &w, &h, &border,
                     &depth))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
#else
    (void)width;
    (void)height;
    return false;
#endif
}

// After a switch to full screen: a window that did not really grow to the desktop (no window
// manager to do it) is made to cover it by the layer, and the picture is scaled to whatever size
// the window then really has, so it is never cropped.
static void checkFullScreenSize() {
    int desktopWidth, desktopHeight, width, height;
    platDesktopSize(&desktopWidth, &desktopHeight);
    if (!realWindowSize(&width, &height) || (width == desktopWidth && height == desktopHeight))
        return;
    logPrintf("platSetFullScreen: the window stayed %dx%d; covering the %dx%d desktop without "
              "the window manager\n", width, height, desktopWidth, desktopHeight);
    SDL_SetWindowFullscreen(gLayer.window, 0);
    SDL_SetWindowBordered(gLayer.window, SDL_FALSE);
    SDL_SetWindowPosition(gLayer.window, 0, 0);
    SDL_SetWindowSize(gLayer.window, desktopWidth, desktopHeight);
    gLayer.coversByItself = true;
    int sdlWidth, sdlHeight;
    SDL_GetWindowSize(gLayer.window, &sdlWidth, &sdlHeight);
    if (realWindowSize(&width, &height) && (width != sdlWidth || height != sdlHeight)) {
        logPrintf("platSetFullScreen: the window is %dx%d; the picture is scaled to that\n",
                  width, height);
        SDL_SetWindowSize(gLayer.window, width, height);
    }
}

void platSetFullScreen(bool on) {
    if (!gLayer.window || on == gLayer.fullScreen) return;
    keepWaitingFrame();
    if (!on && gLayer.coversByItself) {
        SDL_SetWindowBordered(gLayer.window, SDL_TRUE);
        gLayer.coversByItself = false;
    } else if (SDL_SetWindowFullscreen(gLayer.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        logPrintf("platSetFullScreen: %s\n", SDL_GetError());
        return;
    }
    gLayer.fullScreen = on;
    if (on) checkFullScreenSize();
    // Not every driver gives the windowed size back by itself.
    if (!on) SDL_SetWindowSize(gLayer.window, gLayer.windowedWidth, gLayer.windowedHeight);
}

bool platIsFullScreen() { return gLayer.window && gLayer.fullScreen; }

void platWindowSetIcon(const uint32_t* pixels, int width, int height) {
    if (!gLayer.window || !pixels || width < 1 || height < 1) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width,
                                                           height, 32, width * 4,
                                                           SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(gLayer.window, icon);
    SDL_FreeSurface(icon);
}

void platDesktopSize(int* width, int* height) {
    SDL_DisplayMode mode;
    SDL_zero(mode);
    if (!gStarted || SDL_GetDesktopDisplayMode(0, &mode) != 0) mode.w = mode.h = 0;
    if (width) *width = mode.w;
    if (height) *height = mode.h;
}

bool platNextMessage(PlatMessage* out, bool wait) {
    if (!gStarted || !out) return false;
    for (;;) {
        if (gLayer.pendingNext < gLayer.pendingCount) {
            *out = gLayer.pending[gLayer.pendingNext++];
            return true;
        }
        SDL_Event event;
        if (!(wait ? SDL_WaitEvent(&event) : SDL_PollEvent(&event))) return false;
        gLayer.pendingCount =
            translateEvent(event, gLayer.translate, gLayer.pending, kMaxMessagesPerEvent);
        gLayer.pendingNext = 0;
    }
}

void platPostQuit() {
    if (!gStarted) return;
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void platShowCursor(bool visible) {
    if (gStarted) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

namespace {
// The picture cursor of platSetCursorImage; null while the system's arrow is the window's own.
SDL_Cursor* gPictureCursor = nullptr;
}  // namespace

bool platSetCursorImage(const uint32_t* pixels, int width, int height, int hotX, int hotY) {
    if (!gStarted || gLayer.abandoned || !pixels || width < 1 || height < 1) return false;
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Cursor* made = picture ? SDL_CreateColorCursor(picture, hotX, hotY) : nullptr;
    if (picture) SDL_FreeSurface(picture);
    if (!made) {
        logPrintf("platSetCursorImage: no %dx%d cursor: %s\n", width, height, SDL_GetError());
        return false;
    }
    SDL_SetCursor(made);
    if (gPictureCursor) SDL_FreeCursor(gPictureCursor);
    gPictureCursor = made;
    return true;
}

void platSetCursorArrow() {
    // A display that went away is not asked to free anything.
    if (gStarted && !gLayer.abandoned) {
        if (SDL_Cursor* arrow = SDL_GetDefaultCursor()) SDL_SetCursor(arrow);
        if (gPictureCursor) SDL_FreeCursor(gPictureCursor);
    }
    gPictureCursor = nullptr;
}

bool platCursorIsOwn() {
    if (!gStarted) return true;
    return SDL_GetCursor() == (gPictureCursor ? gPictureCursor : SDL_GetDefaultCursor());
}

void platWarpCursor(int x, int y) {
    if (!gLayer.window) return;
    int wx = x, wy = y;
    // In full screen the back buffer is scaled, so its pixels sit elsewhere in the window.
    if (gLayer.renderer && gLayer.texture) {
        SDL_RenderLogicalToWindow(gLayer.renderer, static_cast<float>(x), static_cast<float>(y),
                                  &wx, &wy);
    }
    SDL_WarpMouseInWindow(gLayer.window, wx, wy);
}

bool platPresent(const uint16_t* pixels, int width, int height, int pitchBytes) {
    if (!gLayer.renderer || !pixels || width < 1 || height < 1 || pitchBytes < width * 2)
        return false;
    if (!gLayer.texture || gLayer.textureWidth != width || gLayer.textureHeight != height) {
        if (gLayer.texture) SDL_DestroyTexture(gLayer.texture);
        gLayer.texture = presentCreateTexture(gLayer.renderer, width, height, &gLayer.glUpload);
        if (!gLayer.texture) {
            logPrintf("platPresent: no %dx%d texture: %s\n", width, height, SDL_GetError());
            gLayer.textureWidth = gLayer.textureHeight = 0;
            return false;
        }
        gLayer.textureWidth = width;
        gLayer.textureHeight = height;
        // The logical size does the fitting and black bars, and maps the mouse back.
        SDL_RenderSetLogicalSize(gLayer.renderer, width, height);
    }
    if (!presentUpload(gLayer.renderer, &gLayer.texture, &gLayer.glUpload, pixels, width, height,
                       pitchBytes)) {
        if (!gLayer.texture) gLayer.textureWidth = gLayer.textureHeight = 0;
        return false;
    }
    SDL_SetRenderDrawColor(gLayer.renderer, 0, 0, 0, 255);
    SDL_RenderClear(gLayer.renderer);
    if (SDL_RenderCopy(gLayer.renderer, gLayer.texture, nullptr, nullptr) != 0) return false;
    SDL_RenderPresent(gLayer.renderer);
    gLayer.frameWaiting = platIsHeadless();
    return true;
}

void platSetVsync(bool on) {
    gLayer.vsync = on;
    if (gLayer.renderer) SDL_RenderSetVSync(gLayer.renderer, on ? 1 : 0);
}

const uint16_t* platLastFrame(int* width, int* height) {
    keepWaitingFrame();
    if (width) *width = gLayer.lastWidth;
    if (height) *height = gLayer.lastHeight;
    return gLayer.lastFrame;
}

namespace {

// The system's box makes one line of each line of its text, however long: the text is broken at
// spaces so that no line runs much past this many characters.
constexpr int kBoxLineChars = 72;

void wrapLines(char* text, int width) {
    int column = 0;
    char* lastSpace = nullptr;
    for (char* p = text; *p; ++p) {
        if (*p == '\n') {
            column = 0;
            lastSpace = nullptr;
            continue;
        }
        if (*p == ' ') lastSpace = p;
        // Bytes of one UTF-8 character after its first do not take a column.
        if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) ++column;
        if (column > width && lastSpace) {
            *lastSpace = '\n';
            column = static_cast<int>(p - lastSpace);
            lastSpace = nullptr;
        }
    }
}

}  // namespace

int platMessageBox(const char16_t* text, const char16_t* caption, int flags) {
    char message[4096], title[1024], body[sizeof title + sizeof message];
    utf16ToUtf8(text, message, sizeof message);
    utf16ToUtf8(caption, title, sizeof title);
    bool okCancel = (flags & 0x0F) == MB_OKCANCEL;
    logPrintf("Message box \"%s\": %s\n", title, message);
    if (gLayer.abandoned || platIsHeadless()) return IDOK;
    wrapLines(message, kBoxLineChars);
    SDL_snprintf(body, sizeof body, "%s%s%s", title, title[0] ? "\n\n" : "", message);
    uint32_t icon = 0;
    switch (flags & 0xF0) {
    case MB_ICONERROR: icon = SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONWARNING: icon = SDL_MESSAGEBOX_WARNING; break;
    case MB_ICONINFORMATION: icon = SDL_MESSAGEBOX_INFORMATION; break;
    default: break;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"},
    };
    SDL_MessageBoxData data;
    SDL_zero(data);
    data.flags = icon;
    data.title = title;
    data.message = body;
    data.numbuttons = okCancel ? 2 : 1;
    data.buttons = buttons;
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) {
        logPrintf("Message box \"%s\" not shown: %s\n", title, SDL_GetError());
        return IDOK;
    }
    if (chosen == -1) return okCancel ? IDCANCEL : IDOK;
    return chosen;
}
