// The window procedure: turns the layer's messages into the game's few input messages, follows
// the program's activation and hosts the typed debug words.
#include "engine/data/file.h"
#include "engine/gr/gr.h"
#include "engine/snd/snd.h"
#include "engine/platform/engine.h"
#include "engine/platform/engine_internal.h"
#include "engine/platform/input.h"
#include "engine/platform/platform.h"

namespace {

constexpr uint32_t WM_DESTROY = 2;
constexpr uint32_t WM_IME_CHAR = 646;
constexpr uintptr_t SIZE_MAXHIDE = 4;
constexpr uintptr_t kAltKey = 18;
// The game hears of the pointer leaving and regaining the client area as message 0 with wParam 3:
// lParam 1 back over the client, 0 off it.
constexpr uint32_t kPointerOver = 0;
constexpr uintptr_t kPointerOverClient = 3;

void toGame(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (engineWindow().running) GameOnMessage(message, wParam, lParam);
}

void activate() {
    EngineWindow& w = engineWindow();
    w.active = 1;
    if (w.minimize == -1) w.minimize = 1;
    sndPauseAll(1);
}

void deactivate() {
    EngineWindow& w = engineWindow();
    w.active = 0;
    if (w.minimize > 0) {
        engineHooks().minimize();
        // Activation may have come back while the window was going down.
        w.minimize = w.active ? 1 : -1;
    }
    sndPauseAll(w.active);
}

void toggle(int& flag) { flag = !flag; }

struct DebugWord {
    const char* word;
    void (*action)();
};

const DebugWord kDebugWords[] = {
    {"grtracer", [] { grSpriteListDump(); }},
    {"sndtracer", [] { sndListDump(); }},
    {"filetracer", [] { fileDumpDirectory(); }},
    {"wgframe", [] { toggle(uiShowBounds); }},
    {"wgmove", [] { toggle(uiLayoutEditor); toggle(uiShowBounds); }},
    {"mousearrow", [] { setCursorVisible(!engineWindow().cursorVisible); }},
};

// Runs the first word the typed characters end with; true when one did.
bool debugWord() {
    for (const DebugWord& d : kDebugWords) {
        if (typedEndsWith(d.word)) {
            d.action();
            return true;
        }
    }
    return false;
}

// The pointer is over the client area again: the window's own cursor comes back if something
// replaced it, and the system's cursor, shown while the pointer was off, hides again.
void pointerOnClient() {
    EngineWindow& w = engineWindow();
    if (w.cursorFile[0] && !wndCursorIsOwn()) wndLoadCursorFile(w.cursorFile);
    if (w.cursorForFrame) {
        setCursorVisible(0);
        w.cursorForFrame = false;
    }
    toGame(kPointerOver, kPointerOverClient, 1);
}

// The pointer left the client area: there the system's cursor shows, not the game's.
void pointerOffClient() {
    EngineWindow& w = engineWindow();
    if (!w.cursorVisible) {
        setCursorVisible(1);
        w.cursorForFrame = true;
    }
    toGame(kPointerOver, kPointerOverClient, 0);
}

// The end of the window: where it stood is kept for the next start, unless it covered the screen.
void destroyed() {
    EngineWindow& w = engineWindow();
    if (!wndIsFullScreen() && platWindowIsOpen()) platWindowGetRect(&w.x, &w.y, nullptr, nullptr);
    enginePostQuit();
}

}  // namespace

intptr_t wndDefault(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    (void)wParam;
    (void)lParam;
    if (message == WM_CLOSE && platWindowIsOpen()) {
        WndProc(WM_DESTROY, 0, 0);
        platWindowClose();
    }
    return 0;
}

intptr_t WndProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: toGame(WM_KEYDOWN, 1, lParam); break;
    case WM_LBUTTONUP: toGame(WM_KEYUP, 1, lParam); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: toGame(WM_KEYDOWN, 2, lParam); break;
    case WM_RBUTTONUP: toGame(WM_KEYUP, 2, lParam); break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: toGame(WM_KEYDOWN, 4, lParam); break;
    case WM_MBUTTONUP: toGame(WM_KEYUP, 4, lParam); break;
    case WM_MOUSEMOVE: toGame(WM_MOUSEMOVE, wParam, lParam); break;
    case WM_MOUSEWHEEL: toGame(WM_MOUSEWHEEL, wParam, lParam); break;
    case WM_IME_CHAR: toGame(WM_CHAR, wParam, lParam); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        toGame(WM_KEYDOWN, wParam, lParam);
        // Alt alone opens nothing.
        if (message == WM_SYSKEYDOWN && wParam == kAltKey) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP: toGame(WM_KEYUP, wParam, lParam); break;
    case WM_CHAR:
        if (wParam == 0xFFFF) return 1;
        typedPush(static_cast<unsigned int>(wParam));
        // The character that completes a debug word is the word's, not the game's.
        if (!debugWord()) toGame(WM_CHAR, wParam, lParam);
        break;
    case WM_ACTIVATEAPP:
        if (wParam == 1 || wParam == 2) activate();
        else deactivate();
        toGame(WM_ACTIVATEAPP, wParam, lParam);
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) deactivate();
        else activate();
        break;
    case WM_NCHITTEST: pointerOnClient(); break;
    case WM_NCMOUSEMOVE: pointerOffClient(); break;
    case WM_DISPLAYCHANGE:
        if (engineWindow().cursorFile[0]) wndLoadCursorFile(engineWindow().cursorFile);
        break;
    case WM_DESTROY: destroyed(); break;
    case WM_INSTANCE_RESTORE: platWindowRestore(); return 0;
    default: break;
    }
    return wndDefault(message, wParam, lParam);
}
